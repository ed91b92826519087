#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/UserDefaults.h"

// Typed reads with a default: the stored value when the key exists, else the default. A
// stored value of another kind reads as the store's own conversion of it (false, 0, none),
// not as the default.

bool keyExists(const platform::UserDefaults& defaults, const std::string& key);
bool boolForKey(const platform::UserDefaults& defaults, const std::string& key, bool defaultValue);
std::int64_t integerForKey(
    const platform::UserDefaults& defaults, const std::string& key, std::int64_t defaultValue);
float floatForKey(const platform::UserDefaults& defaults, const std::string& key, float defaultValue);
double doubleForKey(const platform::UserDefaults& defaults, const std::string& key, double defaultValue);
std::optional<std::string> stringForKey(
    const platform::UserDefaults& defaults, const std::string& key, std::optional<std::string> defaultValue);
std::optional<std::vector<std::string>> stringArrayForKey(const platform::UserDefaults& defaults,
    const std::string& key, std::optional<std::vector<std::string>> defaultValue);
std::optional<platform::Array> arrayForKey(const platform::UserDefaults& defaults, const std::string& key,
    std::optional<platform::Array> defaultValue);
std::optional<platform::Dictionary> dictionaryForKey(const platform::UserDefaults& defaults,
    const std::string& key, std::optional<platform::Dictionary> defaultValue);
std::optional<platform::Data> dataForKey(const platform::UserDefaults& defaults, const std::string& key,
    std::optional<platform::Data> defaultValue);
std::optional<platform::Value> objectForKey(const platform::UserDefaults& defaults, const std::string& key,
    std::optional<platform::Value> defaultValue);

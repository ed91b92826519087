#include "QLCoreLibrary/UserDefaultsExtensions.h"

using platform::UserDefaults;

bool keyExists(const UserDefaults& defaults, const std::string& key) {
    return defaults.objectForKey(key).has_value();
}

bool boolForKey(const UserDefaults& defaults, const std::string& key, bool defaultValue) {
    return keyExists(defaults, key) ? defaults.boolForKey(key) : defaultValue;
}

std::int64_t integerForKey(const UserDefaults& defaults, const std::string& key, std::int64_t defaultValue) {
    return keyExists(defaults, key) ? defaults.integerForKey(key) : defaultValue;
}

float floatForKey(const UserDefaults& defaults, const std::string& key, float defaultValue) {
    return keyExists(defaults, key) ? defaults.floatForKey(key) : defaultValue;
}

double doubleForKey(const UserDefaults& defaults, const std::string& key, double defaultValue) {
    return keyExists(defaults, key) ? defaults.doubleForKey(key) : defaultValue;
}

std::optional<std::string> stringForKey(
    const UserDefaults& defaults, const std::string& key, std::optional<std::string> defaultValue) {
    return keyExists(defaults, key) ? defaults.stringForKey(key) : defaultValue;
}

std::optional<std::vector<std::string>> stringArrayForKey(const UserDefaults& defaults,
    const std::string& key, std::optional<std::vector<std::string>> defaultValue) {
    return keyExists(defaults, key) ? defaults.stringArrayForKey(key) : defaultValue;
}

std::optional<platform::Array> arrayForKey(
    const UserDefaults& defaults, const std::string& key, std::optional<platform::Array> defaultValue) {
    return keyExists(defaults, key) ? defaults.arrayForKey(key) : defaultValue;
}

std::optional<platform::Dictionary> dictionaryForKey(
    const UserDefaults& defaults, const std::string& key, std::optional<platform::Dictionary> defaultValue) {
    return keyExists(defaults, key) ? defaults.dictionaryForKey(key) : defaultValue;
}

std::optional<platform::Data> dataForKey(
    const UserDefaults& defaults, const std::string& key, std::optional<platform::Data> defaultValue) {
    return keyExists(defaults, key) ? defaults.dataForKey(key) : defaultValue;
}

std::optional<platform::Value> objectForKey(
    const UserDefaults& defaults, const std::string& key, std::optional<platform::Value> defaultValue) {
    return keyExists(defaults, key) ? defaults.objectForKey(key) : defaultValue;
}

#include "platform/base/UserDefaults.h"

#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PropertyList.h"
#include "platform/base/Sandbox.h"

namespace platform {

namespace {
bool g_loaded = false; // guarded by the instance's mutex
}

UserDefaults::UserDefaults() = default;

UserDefaults& UserDefaults::standardUserDefaults() {
    static UserDefaults instance;
    return instance;
}

void UserDefaults::resetStandardUserDefaults() {
    UserDefaults& defaults = standardUserDefaults();
    std::lock_guard lock(defaults.m_mutex);
    defaults.m_values.clear();
    defaults.m_dirty = false;
    g_loaded = false;
}

std::string UserDefaults::preferencesFilePath() {
    return fs::joinPath(Sandbox::preferencesDirectory(), Bundle::mainBundle().identifier() + ".plist");
}

// Needs m_mutex. A missing or unreadable file reads as an empty store and is left alone. A
// file that was read but cannot be parsed safely is kept aside under a dated name, so that it
// can neither stop every later start nor be overwritten by the defaults.
void UserDefaults::load() {
    if (g_loaded)
        return;
    g_loaded = true;
    m_values.clear();
    m_dirty = false;
    m_damagedFile.reset();
    const std::string path = preferencesFilePath();
    if (auto bytes = fs::readFile(path)) {
        if (auto dict = plist::dictionaryFromBytes(*bytes))
            m_values = std::move(*dict);
        else if (!bytes->empty())
            m_damagedFile = fs::keepAside(path, "damaged");
    }
}

std::optional<std::string> UserDefaults::damagedFileKeptAside() const {
    std::lock_guard lock(m_mutex);
    const_cast<UserDefaults*>(this)->load();
    return m_damagedFile;
}

std::optional<Value> UserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    const_cast<UserDefaults*>(this)->load();
    auto it = m_values.find(key);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? value->toBool() : false;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? value->toInteger() : 0;
}

double UserDefaults::doubleForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? value->toDouble() : 0;
}

float UserDefaults::floatForKey(const std::string& key) const {
    return static_cast<float>(doubleForKey(key));
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto value = objectForKey(key);
    return value ? value->toString() : std::nullopt;
}

std::optional<Array> UserDefaults::arrayForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value || !value->isArray())
        return std::nullopt;
    return value->array();
}

std::optional<std::vector<std::string>> UserDefaults::stringArrayForKey(const std::string& key) const {
    auto array = arrayForKey(key);
    if (!array)
        return std::nullopt;
    std::vector<std::string> strings;
    for (const auto& item : *array) {
        if (!item.isString())
            return std::nullopt; // only a list made wholly of texts counts
        strings.push_back(item.string());
    }
    return strings;
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value || !value->isDictionary())
        return std::nullopt;
    return value->dictionary();
}

std::optional<Data> UserDefaults::dataForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value || !value->isData())
        return std::nullopt;
    return value->data();
}

void UserDefaults::setObject(const std::string& key, Value value) {
    std::lock_guard lock(m_mutex);
    load();
    m_values[key] = std::move(value);
    m_dirty = true;
}

void UserDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(m_mutex);
    load();
    if (m_values.erase(key))
        m_dirty = true;
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(m_mutex);
    load();
    if (!m_dirty)
        return true;
    std::string path = preferencesFilePath();
    fs::createDirectories(Sandbox::preferencesDirectory());
    if (!fs::writeFileAtomically(path, plist::toXML(m_values)))
        return false;
    m_dirty = false;
    return true;
}

void UserDefaults::forgetDamagedFile() {
    std::lock_guard lock(m_mutex);
    m_damagedFile.reset();
}

Dictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(m_mutex);
    const_cast<UserDefaults*>(this)->load();
    return m_values;
}

} // namespace platform

#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "platform/base/Value.h"

namespace platform {

// The per-user key-value store of the sandbox, kept in memory and written to the
// preferences file Library/Preferences/<bundle identifier>.plist as an XML property list.
//
// The file is read once on first use (and again after resetStandardUserDefaults()).
// An unreadable file reads as an empty store. A damaged one (or one that would be unsafe to
// parse) is renamed aside and the store starts empty. Writes are atomic: a crash never
// leaves a half-written file.
class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();
    // Drops the in-memory store; the next standardUserDefaults() reads the file again.
    // Unsaved changes are lost, as on the phone.
    static void resetStandardUserDefaults();

    std::optional<Value> objectForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const; // false when absent
    std::int64_t integerForKey(const std::string& key) const; // 0 when absent
    double doubleForKey(const std::string& key) const; // 0 when absent
    float floatForKey(const std::string& key) const; // 0 when absent
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<Array> arrayForKey(const std::string& key) const;
    std::optional<std::vector<std::string>> stringArrayForKey(const std::string& key) const;
    std::optional<Dictionary> dictionaryForKey(const std::string& key) const;
    std::optional<Data> dataForKey(const std::string& key) const;

    void setObject(const std::string& key, Value value);
    void setBool(const std::string& key, bool value) { setObject(key, Value(value)); }
    void setInteger(const std::string& key, std::int64_t value) {
        setObject(key, Value(static_cast<long long>(value)));
    }
    void setDouble(const std::string& key, double value) { setObject(key, Value(value)); }
    void setFloat(const std::string& key, float value) { setObject(key, Value(value)); }
    void setString(const std::string& key, const std::string& value) { setObject(key, Value(value)); }
    void removeObjectForKey(const std::string& key);

    // Writes the store to the preferences file when it changed since the last write.
    // Returns false when the file could not be written (the store stays in memory).
    bool synchronize();

    // Where a damaged preferences file was moved when the store was last read; none when
    // the file was fine.
    std::optional<std::string> damagedFileKeptAside() const;
    // Once the user was told.
    void forgetDamagedFile();

    // The whole store (for tests and the backup archive's bookkeeping).
    Dictionary dictionaryRepresentation() const;
    // The preferences file of the current sandbox.
    static std::string preferencesFilePath();

private:
    UserDefaults();
    void load();

    mutable std::mutex m_mutex;
    Dictionary m_values;
    bool m_dirty {false};
    std::optional<std::string> m_damagedFile;
};

} // namespace platform

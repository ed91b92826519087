#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace platform {

// Identity of the emulated phone.
class Device {
public:
    static Device& current();

    // A stable identifier generated once per sandbox (kept in Library/), 40 hex digits.
    // When it cannot be stored, the one generated is kept for the rest of the process.
    std::string uniqueIdentifier() const;
    // False when the identifier could not be written to Library/ (a read-only data folder):
    // the next start will be another device to the backup service.
    bool isIdentifierStored() const;
    // The device's own name: the host name unless set.
    std::string name() const;
    // The operating system version, "4.0" unless set.
    std::string systemVersion() const;
    // The hardware model string (as the phone's sysctl "hw.machine"): "x86_64" style.
    std::string machine() const;
    // The model name of the kind of device, "iPhone" unless set ("iPod touch" for the
    // phone's music player sibling).
    std::string model() const;

    // Tests and the shell may set these; an empty text returns to the default.
    void setName(const std::string& name) { m_name = name; }
    void setSystemVersion(const std::string& version) { m_systemVersion = version; }
    void setMachine(const std::string& machine) { m_machine = machine; }
    void setModel(const std::string& model) { m_model = model; }

private:
    Device() = default;
    std::string m_name;
    std::string m_systemVersion;
    std::string m_machine;
    std::string m_model;
    mutable std::mutex m_mutex;
    // Per sandbox root: the identifier and whether it is stored.
    mutable std::map<std::string, std::pair<std::string, bool>> m_identifiers;
};

} // namespace platform

#include "platform/base/Device.h"

#include <cstdio>
#include <random>

#include <sys/utsname.h>
#include <unistd.h>

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

namespace platform {

Device& Device::current() {
    static Device device;
    return device;
}

std::string Device::uniqueIdentifier() const {
    std::lock_guard lock(m_mutex);
    // Kept beside the preferences rather than in them, so that a restored backup from
    // another phone does not make this device pretend to be that one.
    const std::string root = Sandbox::root();
    std::string path = fs::joinPath(Sandbox::libraryDirectory(), "device-identifier");
    if (auto stored = fs::readFile(path); stored && stored->size() == 40) {
        m_identifiers[root] = {*stored, true};
        return *stored;
    }
    // One that could not be stored is still kept for the whole process: a new one on every
    // call would make the service forget the device between two requests.
    if (auto known = m_identifiers.find(root); known != m_identifiers.end())
        return known->second.first;
    std::random_device random;
    std::string id;
    static const char* digits = "0123456789abcdef";
    for (int i = 0; i < 40; ++i)
        id += digits[random() % 16];
    fs::createDirectories(Sandbox::libraryDirectory());
    const bool stored = fs::writeFileAtomically(path, id);
    m_identifiers[root] = {id, stored};
    return id;
}

bool Device::isIdentifierStored() const {
    uniqueIdentifier();
    std::lock_guard lock(m_mutex);
    auto known = m_identifiers.find(Sandbox::root());
    return known != m_identifiers.end() && known->second.second;
}

std::string Device::name() const {
    if (!m_name.empty())
        return m_name;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0 && host[0])
        return host;
    return "Vantrel";
}

std::string Device::systemVersion() const {
    return m_systemVersion.empty() ? "4.0" : m_systemVersion;
}

std::string Device::machine() const {
    if (!m_machine.empty())
        return m_machine;
    struct utsname info { };
    if (uname(&info) == 0)
        return info.machine;
    return "unknown";
}

std::string Device::model() const {
    return m_model.empty() ? "iPhone" : m_model;
}

} // namespace platform

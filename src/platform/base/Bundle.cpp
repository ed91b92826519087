#include "platform/base/Bundle.h"

#include <cstdlib>
#include <filesystem>

#include "platform/base/FileSystem.h"

#ifndef VANTREL_VERSION
#define VANTREL_VERSION "0.0"
#endif

namespace platform {

namespace {
std::string executableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}
} // namespace

Bundle::Bundle()
    : m_version(VANTREL_VERSION) {
    if (const char* path = std::getenv("VANTREL_RESOURCES"); path && *path)
        m_resourcePath = path;
    else
        m_resourcePath = fs::joinPath(executableFolder(), "resources");
}

Bundle& Bundle::mainBundle() {
    static Bundle bundle;
    return bundle;
}

std::optional<std::string> Bundle::pathForResource(const std::string& name, const std::string& type) const {
    std::string file = type.empty() ? name : name + "." + type;
    std::string path = fs::joinPath(m_resourcePath, file);
    if (fs::fileExists(path) && !fs::isDirectory(path))
        return path;
    return std::nullopt;
}

std::vector<std::string> Bundle::resourceFileNames() const {
    return fs::contentsOfDirectory(m_resourcePath);
}

std::optional<std::string> Bundle::objectForInfoDictionaryKey(const std::string& key) const {
    if (key == "CFBundleVersion" || key == "CFBundleShortVersionString")
        return m_version;
    if (key == "CFBundleIdentifier")
        return identifier();
    if (key == "CFBundleDisplayName" || key == "CFBundleName")
        return displayName();
    return std::nullopt;
}

std::string Bundle::version() const {
    return m_version;
}

std::string Bundle::identifier() const {
    return "com.quillon.vantrel";
}

std::string Bundle::displayName() const {
    return "Vantrel";
}

} // namespace platform

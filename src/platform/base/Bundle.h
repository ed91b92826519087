#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The application's read-only resources: the resources/ folder installed next to the
// executable ($VANTREL_RESOURCES overrides), and its information values.
class Bundle {
public:
    static Bundle& mainBundle();

    const std::string& resourcePath() const { return m_resourcePath; }
    // Full path of "<name>.<type>" in the resources (type may be empty), or none.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;
    // File names directly inside the resource folder, in directory-listing order.
    std::vector<std::string> resourceFileNames() const;

    // "CFBundleVersion", "CFBundleShortVersionString", "CFBundleIdentifier",
    // "CFBundleDisplayName", "CFBundleName"; none for unknown keys.
    std::optional<std::string> objectForInfoDictionaryKey(const std::string& key) const;
    std::string version() const; // CFBundleVersion, the build version
    std::string identifier() const; // "com.quillon.vantrel"
    std::string displayName() const; // "Vantrel"

    // Tests: point the bundle at another folder, or override the build version.
    void setResourcePath(const std::string& path) { m_resourcePath = path; }
    void setVersion(const std::string& version) { m_version = version; }

private:
    Bundle();
    std::string m_resourcePath;
    std::string m_version;
};

} // namespace platform

#include "platform/base/Sandbox.h"

#include <cstdlib>
#include <mutex>

#include "platform/base/FileSystem.h"
#include "platform/base/UserDefaults.h"

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_root;

void createFolders(const std::string& root) {
    fs::createDirectories(fs::joinPath(root, "Documents"));
    fs::createDirectories(fs::joinPath(root, "Library/Preferences"));
    fs::createDirectories(fs::joinPath(root, "tmp"));
}
} // namespace

std::string Sandbox::defaultRoot() {
    if (const char* home = std::getenv("VANTREL_HOME"); home && *home)
        return home;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return fs::joinPath(xdg, "vantrel");
    const char* home = std::getenv("HOME");
    return fs::joinPath(home && *home ? home : "/tmp", ".local/share/vantrel");
}

std::string Sandbox::root() {
    std::lock_guard lock(g_mutex);
    if (g_root.empty()) {
        g_root = defaultRoot();
        createFolders(g_root);
    }
    return g_root;
}

void Sandbox::setRoot(const std::string& path) {
    {
        std::lock_guard lock(g_mutex);
        g_root = path;
        createFolders(g_root);
    }
    UserDefaults::resetStandardUserDefaults();
}

std::string Sandbox::documentsDirectory() {
    return fs::joinPath(root(), "Documents");
}

std::string Sandbox::libraryDirectory() {
    return fs::joinPath(root(), "Library");
}

std::string Sandbox::preferencesDirectory() {
    return fs::joinPath(root(), "Library/Preferences");
}

std::string Sandbox::temporaryDirectory() {
    return fs::joinPath(root(), "tmp");
}

} // namespace platform

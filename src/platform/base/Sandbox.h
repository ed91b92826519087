#pragma once

#include <string>

namespace platform {

// The data root of one installation, laid out as on the phone:
//   <root>/Documents            user data (the database, vehicle pictures)
//   <root>/Library/Preferences  the key-value store's file
//   <root>/tmp                  scratch space
// Default root: $VANTREL_HOME, else $XDG_DATA_HOME/vantrel, else ~/.local/share/vantrel.
class Sandbox {
public:
    static std::string root();
    // Switch to another root (tests, `vantrel --data DIR`); creates its folders. The
    // key-value store is reset so that it reads the new root's file.
    static void setRoot(const std::string& path);
    static std::string documentsDirectory();
    static std::string libraryDirectory();
    static std::string preferencesDirectory();
    static std::string temporaryDirectory();
    static std::string defaultRoot();
};

} // namespace platform

#pragma once

#include <string>

// The standard locations that backup and restore work on, and the archive digest.

// The user's documents folder of the current sandbox.
std::string documentsDirectory();
// The user's library folder of the current sandbox.
std::string libraryDirectory();
// Library/Preferences/<bundle identifier>.plist: where the settings are stored.
std::string appPreferencesFile();
// MD5 of the file's bytes as 32 lower-case hex digits. A file that cannot be opened gives the
// digest of no bytes.
std::string md5ForFileAtPath(const std::string& path);

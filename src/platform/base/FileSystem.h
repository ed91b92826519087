#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Small file helpers with the guarantees the application relies on.
namespace fs {

// Writes the whole content to a temporary file in the same folder, flushes it to disk and
// renames it over `path`, so readers see the old or the new file, never a partial one.
bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error = nullptr);
std::optional<std::string> readFile(const std::string& path);
bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
bool createDirectories(const std::string& path);
bool removeItem(const std::string& path); // file or whole folder; true when gone
bool moveItem(const std::string& from, const std::string& to, std::string* error = nullptr);
bool copyItem(const std::string& from, const std::string& to, std::string* error = nullptr);
// Names (not paths) of the entries of a folder, in directory-listing order.
std::vector<std::string> contentsOfDirectory(const std::string& path);
std::string joinPath(const std::string& folder, const std::string& name);
std::string lastPathComponent(const std::string& path);
std::string pathExtension(const std::string& path);
std::string deletingPathExtension(const std::string& path);
// Moves a damaged file or folder out of the way without deleting it: to
// "<name>.<label>-<yyyy-MM-dd-HHmmss>[-N].<extension>" beside it, dated by the platform clock
// in the device time zone. Returns the new path, none when it could not be moved.
std::optional<std::string> keepAside(const std::string& path, const std::string& label);
// Bytes free for an unprivileged writer on the file system holding `path`; none when unknown.
std::optional<unsigned long long> freeSpace(const std::string& path);
// A fresh empty folder under the system temporary folder (tests, staging).
std::string makeTemporaryDirectory(const std::string& prefix);

} // namespace fs
} // namespace platform

#include "platform/base/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/base/Clock.h"
#include "platform/base/DateFormatter.h"

namespace platform::fs {

namespace stdfs = std::filesystem;

namespace {
void setError(std::string* error, const std::string& text) {
    if (error)
        *error = text;
}

bool writeAll(int fd, std::string_view content) {
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}
} // namespace

bool writeFileAtomically(const std::string& path, std::string_view content, std::string* error) {
    std::string temp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        setError(error, std::strerror(errno));
        return false;
    }
    bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
    int savedErrno = errno;
    ::fchmod(fd, 0644);
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        savedErrno = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        setError(error, std::strerror(savedErrno));
        return false;
    }
    // Make the rename itself durable.
    std::string folder = stdfs::path(path).parent_path().string();
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in || stdfs::is_directory(path))
        return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return buffer.str();
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return stdfs::exists(path, ec);
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return stdfs::is_directory(path, ec);
}

bool createDirectories(const std::string& path) {
    std::error_code ec;
    stdfs::create_directories(path, ec);
    return stdfs::is_directory(path, ec);
}

bool removeItem(const std::string& path) {
    std::error_code ec;
    stdfs::remove_all(path, ec);
    return !stdfs::exists(path, ec);
}

bool moveItem(const std::string& from, const std::string& to, std::string* error) {
    std::error_code ec;
    if (stdfs::exists(to, ec)) {
        setError(error, "An item with the same name already exists.");
        return false;
    }
    stdfs::rename(from, to, ec);
    if (ec) {
        setError(error, ec.message());
        return false;
    }
    return true;
}

std::optional<std::string> keepAside(const std::string& path, const std::string& label) {
    DateFormatter formatter;
    formatter.setLocale("en_US_POSIX");
    formatter.setDateFormat("yyyy-MM-dd-HHmmss");
    const std::string folder = stdfs::path(path).parent_path().string();
    const std::string extension = pathExtension(path);
    const std::string stem = deletingPathExtension(lastPathComponent(path)) + "." + label + "-"
        + formatter.stringFromDate(Clock::now());
    for (int attempt = 1; attempt < 100; ++attempt) {
        std::string name = stem + (attempt > 1 ? "-" + std::to_string(attempt) : "");
        if (!extension.empty())
            name += "." + extension;
        const std::string target = joinPath(folder, name);
        std::error_code ec;
        if (stdfs::exists(stdfs::symlink_status(target, ec)))
            continue;
        stdfs::rename(path, target, ec);
        return ec ? std::nullopt : std::optional(target);
    }
    return std::nullopt;
}

std::optional<unsigned long long> freeSpace(const std::string& path) {
    std::error_code ec;
    const auto space = stdfs::space(path, ec);
    if (ec)
        return std::nullopt;
    return static_cast<unsigned long long>(space.available);
}

bool copyItem(const std::string& from, const std::string& to, std::string* error) {
    std::error_code ec;
    if (!stdfs::exists(from, ec)) {
        setError(error, "The file \"" + lastPathComponent(from) + "\" doesn't exist.");
        return false;
    }
    if (stdfs::exists(to, ec)) {
        setError(error, "An item with the same name already exists.");
        return false;
    }
    stdfs::copy(from, to, stdfs::copy_options::recursive, ec);
    if (ec) {
        setError(error, ec.message());
        return false;
    }
    return true;
}

std::vector<std::string> contentsOfDirectory(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (stdfs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string lastPathComponent(const std::string& path) {
    return stdfs::path(path).filename().string();
}

std::string pathExtension(const std::string& path) {
    std::string ext = stdfs::path(path).extension().string();
    return ext.empty() ? ext : ext.substr(1);
}

std::string deletingPathExtension(const std::string& path) {
    stdfs::path p(path);
    return p.replace_extension().string();
}

std::string makeTemporaryDirectory(const std::string& prefix) {
    std::string pattern = (stdfs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        return {};
    return pattern;
}

} // namespace platform::fs

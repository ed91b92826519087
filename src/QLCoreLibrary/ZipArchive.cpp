#include "QLCoreLibrary/ZipArchive.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <sys/stat.h>

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include "platform/base/Calendar.h"
#include "platform/base/Date.h"
#include "platform/base/FileSystem.h"

namespace fs = platform::fs;

namespace {

constexpr size_t kCopyBlock = 4096;

bool isRegularFile(const std::string& path) {
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

zip_fileinfo fileInfoForPath(const std::string& path) {
    zip_fileinfo info {};
    struct stat attributes { };
    if (::stat(path.c_str(), &attributes) != 0)
        return info;
    const auto date = platform::Date::fromTimeIntervalSince1970(static_cast<double>(attributes.st_mtime));
    const auto parts = platform::Calendar().components(date);
    info.tmz_date.tm_sec = static_cast<uInt>(parts.second.value_or(0));
    info.tmz_date.tm_min = static_cast<uInt>(parts.minute.value_or(0));
    info.tmz_date.tm_hour = static_cast<uInt>(parts.hour.value_or(0));
    info.tmz_date.tm_mday = static_cast<uInt>(parts.day.value_or(0));
    info.tmz_date.tm_mon = static_cast<uInt>(parts.month.value_or(1) - 1); // minizip counts from 0
    info.tmz_date.tm_year = static_cast<uInt>(parts.year.value_or(0));
    return info;
}

} // namespace

std::unique_ptr<ZipArchive> ZipArchive::zipArchiveWithFileAtPath(const std::string& path) {
    return std::make_unique<ZipArchive>(path);
}

ZipArchive::ZipArchive(std::string path)
    : m_fileName(std::move(path)) { }

ZipArchive::~ZipArchive() {
    close();
}

bool ZipArchive::openForWriting() {
    if (m_mode != NotOpen)
        return false;
    zipFile zip = zipOpen(m_fileName.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    m_handle = zip;
    m_mode = Writing;
    return true;
}

bool ZipArchive::openForReading() {
    if (m_mode != NotOpen)
        return false;
    unzFile unz = unzOpen(m_fileName.c_str());
    if (!unz)
        return false;
    m_handle = unz;
    m_mode = Reading;
    return true;
}

bool ZipArchive::close() {
    bool closed = false;
    if (m_mode == Reading)
        closed = unzClose(m_handle) == UNZ_OK;
    else if (m_mode == Writing)
        closed = zipClose(m_handle, nullptr) == ZIP_OK;
    m_handle = nullptr;
    m_mode = NotOpen;
    return closed;
}

bool ZipArchive::addFile(const std::string& path) {
    if (m_mode != Writing || !isRegularFile(path))
        return false;
    // Open the source first: an unreadable file must not turn into an empty entry.
    FILE* input = std::fopen(path.c_str(), "rb");
    if (!input)
        return false;
    const zip_fileinfo info = fileInfoForPath(path);
    const std::string name = fs::lastPathComponent(path);
    if (zipOpenNewFileInZip(
            m_handle, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION)
        != ZIP_OK) {
        std::fclose(input);
        return false;
    }
    bool copied = true;
    char buffer[kCopyBlock];
    while (true) {
        const size_t count = std::fread(buffer, 1, sizeof buffer, input);
        if (count > 0 && zipWriteInFileInZip(m_handle, buffer, static_cast<unsigned>(count)) != ZIP_OK) {
            copied = false;
            break;
        }
        if (count < sizeof buffer) {
            copied = copied && !std::ferror(input);
            break;
        }
    }
    std::fclose(input);
    const bool entryClosed = zipCloseFileInZip(m_handle) == ZIP_OK;
    return copied && entryClosed;
}

bool ZipArchive::addFolder(const std::string& folder) {
    if (m_mode != Writing)
        return false;
    for (const auto& name : fs::contentsOfDirectory(folder)) {
        if (name == "." || name == "..")
            continue;
        if (m_skipHiddenFiles && name.front() == '.')
            continue;
        const std::string path = fs::joinPath(folder, name);
        if (path == m_fileName || fs::isDirectory(path))
            continue;
        if (!addFile(path))
            return false;
    }
    return true;
}

bool ZipArchive::isSafeEntryName(const std::string& name) {
    // Longer names than the file system holds could never be written.
    if (name.empty() || name == "." || name == ".." || name.size() > NAME_MAX)
        return false;
    if (name.find_first_of("/\\") != std::string::npos || name.find('\0') != std::string::npos)
        return false;
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return true;
}

bool ZipArchive::currentEntryName(std::string& name) {
    unz_file_info info {};
    if (unzGetCurrentFileInfo(m_handle, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    // Sized to the stored name, so long names are read whole rather than cut short.
    std::string buffer(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo(
            m_handle, &info, buffer.data(), static_cast<uLong>(buffer.size()), nullptr, 0, nullptr, 0)
        != UNZ_OK)
        return false;
    buffer.resize(info.size_filename);
    name = std::move(buffer);
    return true;
}

bool ZipArchive::extractCurrentFileToPath(const std::string& folder) {
    if (m_mode != Reading)
        return false;
    std::string name;
    if (!currentEntryName(name))
        return true;
    if (!isSafeEntryName(name))
        return true;
    if (unzOpenCurrentFile(m_handle) != UNZ_OK)
        return false;
    const std::string path = fs::joinPath(folder, name);
    FILE* output = std::fopen(path.c_str(), "wb");
    bool written = output != nullptr;
    char buffer[kCopyBlock];
    while (written) {
        const int count = unzReadCurrentFile(m_handle, buffer, sizeof buffer);
        if (count < 0)
            written = false;
        if (count <= 0)
            break;
        if (static_cast<unsigned long long>(count) > m_extractionBudget) {
            written = false;
            break;
        }
        m_extractionBudget -= static_cast<unsigned long long>(count);
        if (std::fwrite(buffer, 1, static_cast<size_t>(count), output) != static_cast<size_t>(count))
            written = false;
    }
    // A damaged entry shows up as a checksum error only when it is closed.
    if (unzCloseCurrentFile(m_handle) != UNZ_OK)
        written = false;
    if (output && std::fclose(output) != 0)
        written = false;
    if (!written && output)
        std::remove(path.c_str());
    return written;
}

bool ZipArchive::extractAllToPath(const std::string& folder) {
    if (m_mode != Reading)
        return false;
    int step = unzGoToFirstFile(m_handle);
    while (step == UNZ_OK) {
        if (!extractCurrentFileToPath(folder))
            return false;
        step = unzGoToNextFile(m_handle);
    }
    return step == UNZ_END_OF_LIST_OF_FILE;
}

bool ZipArchive::extractFile(const std::string& name, const std::string& folder) {
    if (m_mode != Reading)
        return false;
    if (unzLocateFile(m_handle, name.c_str(), 1) != UNZ_OK)
        return false;
    return extractCurrentFileToPath(folder);
}

bool ZipArchive::entryInfo(std::vector<EntryInfo>& entries, size_t maxEntries) {
    entries.clear();
    if (m_mode != Reading)
        return false;
    int step = unzGoToFirstFile(m_handle);
    while (step == UNZ_OK) {
        if (entries.size() >= maxEntries)
            return false;
        unz_file_info info {};
        std::string name;
        if (!currentEntryName(name)
            || unzGetCurrentFileInfo(m_handle, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        entries.push_back({std::move(name), static_cast<unsigned long long>(info.uncompressed_size)});
        step = unzGoToNextFile(m_handle);
    }
    return step == UNZ_END_OF_LIST_OF_FILE;
}

std::vector<std::string> ZipArchive::contents() {
    std::vector<std::string> names;
    if (m_mode != Reading)
        return names;
    int step = unzGoToFirstFile(m_handle);
    while (step == UNZ_OK) {
        std::string name;
        if (!currentEntryName(name))
            break;
        names.push_back(std::move(name));
        step = unzGoToNextFile(m_handle);
    }
    return names;
}

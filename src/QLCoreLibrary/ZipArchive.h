#pragma once

#include <memory>
#include <string>
#include <vector>

// A zip archive file written or read through minizip, one entry per file, flat names.
//
// Writing: openForWriting(), addFile()/addFolder(), close(). Every entry is deflated at the
// default level and named by the last path component of its source file.
// Reading: openForReading(), extract...(), contents(), close().
//
// Extraction only ever writes plain file names directly into the target folder: an entry
// whose name holds a path separator, is "." or "..", starts with a drive letter or is longer
// than a file name can be is skipped without writing anything, so an archive cannot place
// files elsewhere. Names are read whole, however long.
//
// One thread at a time; the handle is released by close() or on destruction.
class ZipArchive {
public:
    enum Mode { NotOpen = 0, Reading = 1, Writing = 2 };

    static std::unique_ptr<ZipArchive> zipArchiveWithFileAtPath(const std::string& path);
    explicit ZipArchive(std::string path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    const std::string& fileName() const { return m_fileName; }
    Mode mode() const { return m_mode; }
    // Hidden names (starting with ".") are left out by addFolder(); YES from creation.
    bool skipHiddenFiles() const { return m_skipHiddenFiles; }
    void setSkipHiddenFiles(bool skip) { m_skipHiddenFiles = skip; }

    // Creates or truncates the file. False (and nothing changes) when it cannot.
    bool openForWriting();
    bool openForReading();
    // Releases the handle; true when minizip closed it cleanly. False when not open.
    bool close();

    // Adds one regular file as one entry. False when not open for writing, when the file
    // cannot be read (no entry is then left half-written as success) or minizip refuses.
    bool addFile(const std::string& path);
    // Adds the regular files directly inside the folder (subfolders are not descended into
    // and leave no entry), skipping hidden names and the archive itself. Stops with false at
    // the first file that cannot be added; an empty or unreadable folder gives true.
    bool addFolder(const std::string& folder);

    // Writes the entry at the current position into the folder, replacing a file of the same
    // name. True when written or skipped as unsafe; false when the entry cannot be opened or
    // read, fails its checksum or the file cannot be written (no partial file is left).
    bool extractCurrentFileToPath(const std::string& folder);
    // Every entry in archive order; stops with false at the first entry that fails (entries
    // already written stay) and when the archive's directory is damaged.
    bool extractAllToPath(const std::string& folder);
    // The entry of exactly this name (case-sensitive); false when there is none.
    bool extractFile(const std::string& name, const std::string& folder);
    // Entry names in archive order (empty when not open for reading).
    std::vector<std::string> contents();

    // What the archive's directory says of an entry, before anything is extracted.
    struct EntryInfo {
        std::string name;
        unsigned long long size {0}; // uncompressed, as declared
    };
    // Every entry in archive order; false when the directory cannot be read completely.
    bool entryInfo(std::vector<EntryInfo>& entries, size_t maxEntries);
    // Extraction writes at most this many bytes in all (each entry is also held to its
    // declared size); an entry that would pass it fails as a damaged one. No limit by default.
    void setExtractionLimit(unsigned long long bytes) { m_extractionBudget = bytes; }

    // Whether extraction writes an entry of this name (see the class comment).
    static bool isSafeEntryName(const std::string& name);

private:
    bool currentEntryName(std::string& name);

    std::string m_fileName;
    Mode m_mode {NotOpen};
    void* m_handle {nullptr}; // zipFile in Writing, unzFile in Reading
    bool m_skipHiddenFiles {true};
    unsigned long long m_extractionBudget {~0ull};
};

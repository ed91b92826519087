#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>
#include <utime.h>

#include <minizip/unzip.h>

#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/FileSystem.h"
#include "support/DataFiles.h"
#include "support/TemporarySandbox.h"

namespace fs = platform::fs;

namespace {

struct EntryInfo {
    std::string name;
    unz_file_info info {};
};

// Every entry's stored header, read with minizip directly.
std::vector<EntryInfo> storedEntries(const std::string& path) {
    std::vector<EntryInfo> entries;
    unzFile unz = unzOpen(path.c_str());
    if (!unz)
        return entries;
    for (int step = unzGoToFirstFile(unz); step == UNZ_OK; step = unzGoToNextFile(unz)) {
        EntryInfo entry;
        char name[1024] = {};
        unzGetCurrentFileInfo(unz, &entry.info, name, sizeof name, nullptr, 0, nullptr, 0);
        entry.name = name;
        entries.push_back(entry);
    }
    unzClose(unz);
    return entries;
}

class ZipArchiveTest : public testing::Test {
protected:
    ZipArchiveTest() {
        m_folder = fs::joinPath(m_sandbox.root(), "source");
        m_output = fs::joinPath(m_sandbox.root(), "output");
        m_target = fs::joinPath(m_sandbox.root(), "target");
        for (const auto& folder : {m_folder, m_output, m_target})
            fs::createDirectories(folder);
    }
    std::string source(const std::string& name) const { return fs::joinPath(m_folder, name); }
    std::string output(const std::string& name) const { return fs::joinPath(m_output, name); }

    vantrel::test::TemporarySandbox m_sandbox;
    std::string m_folder;
    std::string m_output;
    std::string m_target; // where archives are extracted
};

} // namespace

TEST_F(ZipArchiveTest, FolderBecomesFlatDeflatedEntriesOfItsVisibleFiles) {
    fs::writeFileAtomically(source("vantrel.db"), std::string(10000, 'd'));
    fs::writeFileAtomically(source("3.png"), "picture");
    fs::writeFileAtomically(source(".DS_Store"), "hidden");
    fs::createDirectories(source("folder"));
    fs::writeFileAtomically(fs::joinPath(source("folder"), "inner.txt"), "not packed");
    const std::string preferences = fs::joinPath(m_sandbox.root(), "com.quillon.vantrel.plist");
    fs::writeFileAtomically(preferences, "<plist/>");
    // 2024-03-05 14:07:09 in New York, the test's time zone.
    utimbuf times {1709665629, 1709665629};
    ::utime(source("3.png").c_str(), &times);

    // The archive lies inside the folder it packs and must not contain itself.
    ZipArchive archive(source("backup.zip"));
    EXPECT_FALSE(archive.addFile(preferences)); // not open yet
    ASSERT_TRUE(archive.openForWriting());
    EXPECT_EQ(archive.mode(), ZipArchive::Writing);
    EXPECT_TRUE(archive.addFolder(m_folder));
    EXPECT_TRUE(archive.addFile(preferences));
    EXPECT_TRUE(archive.close());
    EXPECT_FALSE(archive.close());

    const auto entries = storedEntries(source("backup.zip"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ((std::set<std::string> {entries[0].name, entries[1].name}),
        (std::set<std::string> {"vantrel.db", "3.png"}));
    EXPECT_EQ(entries[2].name, "com.quillon.vantrel.plist");
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.info.compression_method, static_cast<uLong>(Z_DEFLATED)) << entry.name;
        EXPECT_EQ(entry.info.size_file_extra, 0u);
        EXPECT_EQ(entry.info.size_file_comment, 0u);
        EXPECT_EQ(entry.info.external_fa, 0u);
        if (entry.name == "vantrel.db") {
            EXPECT_LT(entry.info.compressed_size, 200u);
        }
        if (entry.name == "3.png") {
            EXPECT_EQ(entry.info.tmu_date.tm_year, 2024u);
            EXPECT_EQ(entry.info.tmu_date.tm_mon, 2u); // zero-based March
            EXPECT_EQ(entry.info.tmu_date.tm_mday, 5u);
            EXPECT_EQ(entry.info.tmu_date.tm_hour, 14u);
            EXPECT_EQ(entry.info.tmu_date.tm_min, 7u);
        }
    }
}

TEST_F(ZipArchiveTest, UnreadableFilesAreRefusedNotPackedEmpty) {
    ZipArchive archive(output("a.zip"));
    ASSERT_TRUE(archive.openForWriting());
    EXPECT_FALSE(archive.addFile(source("missing.db")));
    EXPECT_FALSE(archive.addFile(m_folder)); // a folder is no file
    EXPECT_TRUE(archive.addFolder(fs::joinPath(m_sandbox.root(), "no-such-folder")));
    EXPECT_TRUE(archive.close());
    EXPECT_TRUE(storedEntries(output("a.zip")).empty());
}

TEST_F(ZipArchiveTest, ExtractionReplacesFilesAndFindsNamesCaseSensitively) {
    fs::writeFileAtomically(source("vantrel.db"), "new database");
    fs::writeFileAtomically(source("Notes.txt"), "notes");
    ZipArchive writer(output("a.zip"));
    ASSERT_TRUE(writer.openForWriting());
    ASSERT_TRUE(writer.addFile(source("vantrel.db")));
    ASSERT_TRUE(writer.addFile(source("Notes.txt")));
    ASSERT_TRUE(writer.close());

    fs::writeFileAtomically(fs::joinPath(m_target, "vantrel.db"), "a much longer old database content");

    ZipArchive reader(output("a.zip"));
    EXPECT_FALSE(reader.extractAllToPath(m_target)); // not open
    ASSERT_TRUE(reader.openForReading());
    EXPECT_EQ(reader.contents(), (std::vector<std::string> {"vantrel.db", "Notes.txt"}));
    EXPECT_FALSE(reader.extractFile("notes.txt", m_target));
    EXPECT_FALSE(fs::fileExists(fs::joinPath(m_target, "notes.txt")));
    EXPECT_TRUE(reader.extractFile("Notes.txt", m_target));
    EXPECT_TRUE(reader.extractAllToPath(m_target));
    EXPECT_TRUE(reader.close());
    EXPECT_EQ(fs::readFile(fs::joinPath(m_target, "vantrel.db")), "new database");
    EXPECT_EQ(fs::readFile(fs::joinPath(m_target, "Notes.txt")), "notes");
}

TEST_F(ZipArchiveTest, HostileEntryNamesWriteNothingOutsideTheFolder) {
    const std::string outside = fs::joinPath(m_sandbox.root(), "escaped.txt");
    // Longer than a fixed name buffer of 255 bytes, as long as a file name can be.
    const std::string longName = std::string(251, 'n') + ".txt";
    vantrel::test::writeZip(output("evil.zip"),
        {
            {"../escaped.txt", "up"},
            {outside, "absolute"},
            {"sub/../../escaped.txt", "nested"},
            {"..\\escaped.txt", "backslash"},
            {"C:escaped.txt", "drive"},
            {"..", "dots"},
            {"folder/", ""},
            {"good.txt", "kept"},
            {longName, "long"},
            {std::string(300, 'x'), "too long for any file system"},
        });

    const auto rootBefore = fs::contentsOfDirectory(m_sandbox.root());
    ZipArchive reader(output("evil.zip"));
    ASSERT_TRUE(reader.openForReading());
    EXPECT_EQ(reader.contents().size(), 10u);
    EXPECT_EQ(reader.contents()[8], longName);
    EXPECT_TRUE(reader.extractAllToPath(m_target));
    reader.close();

    EXPECT_FALSE(fs::fileExists(outside));
    EXPECT_EQ(fs::contentsOfDirectory(m_sandbox.root()), rootBefore);
    const auto written = fs::contentsOfDirectory(m_target);
    EXPECT_EQ((std::set<std::string>(written.begin(), written.end())),
        (std::set<std::string> {"good.txt", longName}));
    EXPECT_EQ(fs::readFile(fs::joinPath(m_target, longName)), "long");
}

TEST_F(ZipArchiveTest, DamagedEntryFailsAndLeavesNoPartialFile) {
    std::string content;
    for (int i = 0; i < 5000; ++i)
        content += std::to_string(i * 7919 % 1000) + ",";
    vantrel::test::writeZip(output("a.zip"), {{"first.txt", "fine"}, {"data.csv", content}});
    auto bytes = *fs::readFile(output("a.zip"));
    // Damage the middle of the second entry's compressed data.
    const auto header = bytes.find("data.csv");
    ASSERT_NE(header, std::string::npos);
    bytes[header + 8 + 300] ^= 0x5a;
    bytes[header + 8 + 301] ^= 0xa5;
    fs::writeFileAtomically(output("a.zip"), bytes);

    ZipArchive reader(output("a.zip"));
    ASSERT_TRUE(reader.openForReading());
    EXPECT_FALSE(reader.extractAllToPath(m_target));
    reader.close();
    EXPECT_TRUE(fs::fileExists(fs::joinPath(m_target, "first.txt")));
    EXPECT_FALSE(fs::fileExists(fs::joinPath(m_target, "data.csv")));

    fs::writeFileAtomically(output("not.zip"), "this is no zip archive");
    ZipArchive notZip(output("not.zip"));
    EXPECT_FALSE(notZip.openForReading());
    EXPECT_EQ(notZip.mode(), ZipArchive::NotOpen);
}

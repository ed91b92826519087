#include <gtest/gtest.h>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/FileSystem.h"
#include "platform/base/UserDefaults.h"
#include "support/TemporarySandbox.h"

namespace fs = platform::fs;

namespace {

std::vector<std::string> entriesOf(const std::string& path) {
    ZipArchive archive(path);
    archive.openForReading();
    auto names = archive.contents();
    archive.close();
    return names;
}

std::string document(const std::string& name) {
    return fs::joinPath(documentsDirectory(), name);
}

} // namespace

TEST(BackupArchive, EmptyDocumentsGiveOnlyTheSettingsAndNoSettingsFileIsLeftOut) {
    vantrel::test::TemporarySandbox sandbox;
    const std::string path = BackupArchive::archivePath();
    EXPECT_EQ(fs::lastPathComponent(path), "com.quillon.vantrel.backup.zip");

    ASSERT_FALSE(fs::fileExists(appPreferencesFile()));
    ASSERT_TRUE(BackupArchive::write(path));
    EXPECT_TRUE(entriesOf(path).empty());

    platform::UserDefaults::standardUserDefaults().setString("email", "ann@example.com");
    ASSERT_TRUE(platform::UserDefaults::standardUserDefaults().synchronize());
    ASSERT_TRUE(BackupArchive::write(path));
    EXPECT_EQ(entriesOf(path), std::vector<std::string> {BackupArchive::preferencesEntryName()});
}

TEST(BackupArchive, InstallStopsBeforeMovingAnythingWhenAFolderIsInTheWay) {
    vantrel::test::TemporarySandbox sandbox;
    fs::writeFileAtomically(document("vantrel.db"), "backed up");
    fs::writeFileAtomically(document("1.png"), "picture");
    ASSERT_TRUE(BackupArchive::write(BackupArchive::archivePath()));

    fs::writeFileAtomically(document("vantrel.db"), "current");
    fs::removeItem(document("1.png"));
    fs::createDirectories(document("1.png"));
    const std::string staging = BackupArchive::stagingDirectory();
    ASSERT_TRUE(BackupArchive::stage(BackupArchive::archivePath(), staging));
    EXPECT_EQ(fs::readFile(document("vantrel.db")), "current"); // staging touches nothing

    EXPECT_FALSE(BackupArchive::install(staging));
    EXPECT_EQ(fs::readFile(document("vantrel.db")), "current");

    fs::removeItem(document("1.png"));
    EXPECT_TRUE(BackupArchive::install(staging));
    EXPECT_EQ(fs::readFile(document("vantrel.db")), "backed up");
    EXPECT_EQ(fs::readFile(document("1.png")), "picture");
    EXPECT_FALSE(fs::fileExists(staging));
}

TEST(BackupArchive, StagingAnUnreadableArchiveLeavesNoStagingFolder) {
    vantrel::test::TemporarySandbox sandbox;
    fs::writeFileAtomically(BackupArchive::archivePath(), "no zip");
    EXPECT_FALSE(BackupArchive::stage(BackupArchive::archivePath(), BackupArchive::stagingDirectory()));
    EXPECT_FALSE(fs::fileExists(BackupArchive::stagingDirectory()));
}

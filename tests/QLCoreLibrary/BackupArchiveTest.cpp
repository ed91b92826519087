#include <gtest/gtest.h>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/base/UserDefaults.h"
#include "support/DataFiles.h"
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

std::string picture(int width, int height) {
    return vantrel::test::pngBytes(width, height);
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
    const std::string backedUp = vantrel::test::shippedDatabaseBytes();
    fs::writeFileAtomically(document("vantrel.db"), backedUp);
    fs::writeFileAtomically(document("1.png"), picture(40, 30));
    ASSERT_TRUE(BackupArchive::write(BackupArchive::archivePath()));

    fs::writeFileAtomically(document("vantrel.db"), "current");
    fs::removeItem(document("1.png"));
    fs::createDirectories(document("1.png"));
    const std::string staging = BackupArchive::stagingDirectory();
    ASSERT_EQ(BackupArchive::stage(BackupArchive::archivePath(), staging), RestoreProblem::None);
    EXPECT_EQ(fs::readFile(document("vantrel.db")), "current"); // staging touches nothing

    EXPECT_EQ(BackupArchive::install(staging, nullptr), RestoreProblem::InstallFailed);
    EXPECT_EQ(fs::readFile(document("vantrel.db")), "current");
    EXPECT_FALSE(fs::fileExists(staging));

    fs::removeItem(document("1.png"));
    ASSERT_EQ(BackupArchive::stage(BackupArchive::archivePath(), staging), RestoreProblem::None);
    EXPECT_EQ(BackupArchive::install(staging, [] { return true; }), RestoreProblem::None);
    EXPECT_EQ(fs::readFile(document("vantrel.db")), backedUp);
    EXPECT_EQ(fs::readFile(document("1.png")), picture(40, 30));
    EXPECT_FALSE(fs::fileExists(staging));
    EXPECT_FALSE(fs::fileExists(BackupArchive::previousDataDirectory()));
}

TEST(BackupArchive, HostileArchivesAreRefusedBeforeTheDataIsTouched) {
    vantrel::test::TemporarySandbox sandbox;
    const std::string database = vantrel::test::shippedDatabaseBytes();
    const std::string preferences = BackupArchive::preferencesEntryName();
    std::string scribbled = database;
    for (size_t i = 100; i < scribbled.size(); i += 7)
        scribbled[i] = static_cast<char>(i * 31);
    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>";
    for (int i = 0; i < 30000; ++i)
        deep += "<array>";
    // A PNG header declaring 20000 x 20000 pixels: refused before decoding.
    std::string huge = picture(1, 1);
    huge.replace(16, 8, std::string("\0\0\x4e\x20\0\0\x4e\x20", 8));

    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;
        RestoreProblem expected;
    };
    const Case cases[] = {
        {"text as database", {{"vantrel.db", "hello"}}, RestoreProblem::DamagedDatabase},
        {"empty database", {{"vantrel.db", ""}}, RestoreProblem::DamagedDatabase},
        {"scribbled database", {{"vantrel.db", scribbled}}, RestoreProblem::DamagedDatabase},
        {"truncated database", {{"vantrel.db", database.substr(0, database.size() / 2)}},
            RestoreProblem::DamagedDatabase},
        {"newer database",
            {{"vantrel.db",
                vantrel::test::databaseBytesAfter(
                    "UPDATE SystemData SET Value = '99.0' WHERE Key = 'Schema Version'")}},
            RestoreProblem::NewerDatabase},
        {"legacy name garbage", {{"vantrel.db", database}, {"dovrin.sqlite", "junk"}},
            RestoreProblem::DamagedDatabase},
        {"duplicate entries", {{"vantrel.db", database}, {"vantrel.db", "garbage"}},
            RestoreProblem::DuplicateEntries},
        {"no database", {{"1.png", picture(2, 2)}}, RestoreProblem::NoDatabase},
        {"NUL in settings",
            {{"vantrel.db", database},
                {preferences,
                    std::string("<plist version=\"1.0\"><dict><key>email</key><string>a\0b</string>"
                                "</dict></plist>",
                        70)}},
            RestoreProblem::DamagedSettings},
        {"deep settings", {{"vantrel.db", database}, {preferences, deep}}, RestoreProblem::DamagedSettings},
        {"huge picture", {{"vantrel.db", database}, {"1.png", huge}}, RestoreProblem::DamagedPicture},
        {"picture that is no PNG", {{"vantrel.db", database}, {"2.png", "GIF89a"}},
            RestoreProblem::DamagedPicture},
        {"bomb", {{"vantrel.db", database}, {"filler", std::string(8 * 1024 * 1024, '\0')}},
            RestoreProblem::TooLarge},
    };
    fs::writeFileAtomically(document("vantrel.db"), "current");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vantrel::test::writeZip(BackupArchive::archivePath(), c.entries);
        EXPECT_EQ(BackupArchive::stage(
                      BackupArchive::archivePath(), BackupArchive::stagingDirectory(), 4 * 1024 * 1024),
            c.expected);
        EXPECT_FALSE(fs::fileExists(BackupArchive::stagingDirectory()));
        EXPECT_EQ(fs::contentsOfDirectory(documentsDirectory()), std::vector<std::string> {"vantrel.db"});
        EXPECT_EQ(fs::readFile(document("vantrel.db")), "current");
        EXPECT_FALSE(restoreProblemMessage(c.expected).empty());
    }
    fs::writeFileAtomically(BackupArchive::archivePath(), "no zip");
    EXPECT_EQ(BackupArchive::stage(BackupArchive::archivePath(), BackupArchive::stagingDirectory()),
        RestoreProblem::Unreadable);
    EXPECT_FALSE(fs::fileExists(BackupArchive::stagingDirectory()));
}

TEST(BackupArchive, PreviousDataComesBackWhenTheRestoredDataDoesNotOpenOrTheRestoreWasKilled) {
    vantrel::test::TemporarySandbox sandbox;
    auto& defaults = platform::UserDefaults::standardUserDefaults();
    const std::string backedUp
        = vantrel::test::databaseBytesAfter("INSERT INTO Vehicle (Name) VALUES ('Old')");
    fs::writeFileAtomically(document("vantrel.db"), backedUp);
    defaults.setInteger("themeIndex", 7);
    ASSERT_TRUE(defaults.synchronize());
    ASSERT_TRUE(BackupArchive::write(BackupArchive::archivePath()));

    const std::string current = vantrel::test::shippedDatabaseBytes();
    fs::writeFileAtomically(document("vantrel.db"), current);
    fs::writeFileAtomically(document("1.png"), picture(3, 3)); // not in the backup: stays
    defaults.setInteger("themeIndex", 2);
    ASSERT_TRUE(defaults.synchronize());
    const std::string staging = BackupArchive::stagingDirectory();

    ASSERT_EQ(BackupArchive::stage(BackupArchive::archivePath(), staging), RestoreProblem::None);
    EXPECT_EQ(BackupArchive::install(staging,
                  [&] {
                      EXPECT_EQ(fs::readFile(document("vantrel.db")), backedUp);
                      EXPECT_EQ(defaults.integerForKey("themeIndex"), 7);
                      return false;
                  }),
        RestoreProblem::RestoredDataUnusable);
    EXPECT_EQ(fs::readFile(document("vantrel.db")), current);
    EXPECT_EQ(defaults.integerForKey("themeIndex"), 2);
    EXPECT_TRUE(fs::fileExists(document("1.png")));

    // Killed after the files moved, before the restored data opened: the next start puts
    // the previous data back and clears the staging folder.
    const std::string kept = fs::makeTemporaryDirectory("vantrel-killed");
    ASSERT_EQ(BackupArchive::stage(BackupArchive::archivePath(), staging), RestoreProblem::None);
    BackupArchive::install(staging, [&] {
        fs::copyItem(platform::Sandbox::temporaryDirectory(), fs::joinPath(kept, "tmp"));
        return true;
    });
    EXPECT_EQ(fs::readFile(document("vantrel.db")), backedUp);
    fs::removeItem(platform::Sandbox::temporaryDirectory());
    fs::copyItem(fs::joinPath(kept, "tmp"), platform::Sandbox::temporaryDirectory());
    fs::createDirectories(staging);
    BackupArchive::recoverInterruptedRestore();
    platform::UserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(fs::readFile(document("vantrel.db")), current);
    EXPECT_EQ(defaults.integerForKey("themeIndex"), 2);
    EXPECT_FALSE(fs::fileExists(staging));
    EXPECT_FALSE(fs::fileExists(BackupArchive::previousDataDirectory()));
    fs::removeItem(kept);
}

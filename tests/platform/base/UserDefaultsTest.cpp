#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/UserDefaults.h"
#include "support/TemporarySandbox.h"

using namespace platform;

class UserDefaultsTest : public testing::Test {
protected:
    vantrel::test::TemporarySandbox sandbox;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
};

TEST_F(UserDefaultsTest, EveryKindSurvivesTheFile) {
    defaults.setBool("b", true);
    defaults.setInteger("i", -42);
    defaults.setInteger("big", 5'000'000'000LL);
    defaults.setDouble("d", 2.5);
    defaults.setString("s", "O'Brien & <Co>");
    defaults.setObject("data", Value(Data {0, 1, 255}));
    defaults.setObject("list", Value(Array {Value("a"), Value(3)}));
    defaults.setObject("dict", Value(Dictionary {{"k", Value(true)}}));
    ASSERT_TRUE(defaults.synchronize());

    std::string path = UserDefaults::preferencesFilePath();
    EXPECT_NE(path.find("Library/Preferences/com.quillon.vantrel.plist"), std::string::npos);
    auto text = fs::readFile(path);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("<plist"), std::string::npos);

    UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(defaults.boolForKey("b"));
    EXPECT_EQ(defaults.integerForKey("i"), -42);
    EXPECT_EQ(defaults.integerForKey("big"), 5'000'000'000LL);
    EXPECT_DOUBLE_EQ(defaults.doubleForKey("d"), 2.5);
    EXPECT_EQ(defaults.stringForKey("s"), "O'Brien & <Co>");
    EXPECT_EQ(defaults.dataForKey("data"), (Data {0, 1, 255}));
    EXPECT_EQ(defaults.arrayForKey("list")->size(), 2u);
    EXPECT_TRUE(defaults.dictionaryForKey("dict")->at("k").toBool());
}

TEST_F(UserDefaultsTest, OtherKindsConvertLikeThePhone) {
    defaults.setString("yes", "YES");
    defaults.setString("number", "12");
    defaults.setObject("list", Value(Array {}));
    EXPECT_TRUE(defaults.boolForKey("yes"));
    EXPECT_EQ(defaults.integerForKey("number"), 12);
    EXPECT_EQ(defaults.integerForKey("list"), 0);
    EXPECT_FALSE(defaults.stringForKey("list"));
    EXPECT_EQ(defaults.stringForKey("number"), "12");
    EXPECT_FALSE(defaults.arrayForKey("number"));
}

TEST_F(UserDefaultsTest, DamagedOrHostileFilesAreKeptAsideAndTheStoreStartsEmpty) {
    std::string path = UserDefaults::preferencesFilePath();
    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k</key>";
    for (int i = 0; i < 27000; ++i)
        deep += "<array>";
    std::string deepBinary = "bplist00";
    for (int i = 0; i < 30000; ++i) // arrays each holding the next
        deepBinary += std::string("\xA1", 1) + char(((i + 1) >> 8) & 0xFF) + char((i + 1) & 0xFF);
    deepBinary += std::string(1, '\x08'); // the innermost object: false
    const size_t table = deepBinary.size();
    for (int i = 0; i <= 30000; ++i) {
        const size_t offset = 8 + 3 * size_t(i);
        deepBinary += {char(offset >> 16), char((offset >> 8) & 0xFF), char(offset & 0xFF)};
    }
    std::string trailer(32, '\0');
    trailer[6] = 3; // offset size
    trailer[7] = 2; // reference size
    trailer[14] = char((30001 >> 8) & 0xFF);
    trailer[15] = char(30001 & 0xFF);
    for (int i = 0; i < 8; ++i)
        trailer[24 + i] = char((table >> (8 * (7 - i))) & 0xFF);
    deepBinary += trailer;

    const std::string cases[] = {
        "<plist><dict><key>broken",
        std::string("<plist version=\"1.0\"><dict><key>s</key><string>a\0b</string></dict></plist>", 72),
        "<plist version=\"1.0\"><dict><key>s</key><string>a&#0;b</string></dict></plist>",
        deep,
        deepBinary,
    };
    Clock::setNow(Date::fromTimeIntervalSince1970(1700000000));
    for (const auto& bytes : cases) {
        ASSERT_TRUE(fs::writeFileAtomically(path, bytes));
        UserDefaults::resetStandardUserDefaults();
        EXPECT_TRUE(defaults.dictionaryRepresentation().empty());
        auto aside = defaults.damagedFileKeptAside();
        ASSERT_TRUE(aside);
        EXPECT_TRUE(fs::lastPathComponent(*aside).starts_with("com.quillon.vantrel.damaged-2023-11-"));
        EXPECT_EQ(fs::readFile(*aside), bytes);
        EXPECT_FALSE(fs::fileExists(path));
        fs::removeItem(*aside);
    }

    defaults.setBool("fresh", true);
    ASSERT_TRUE(defaults.synchronize());
    UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(defaults.boolForKey("fresh"));
    EXPECT_FALSE(defaults.damagedFileKeptAside());
}

TEST_F(UserDefaultsTest, FailedWriteIsReportedAndKeepsTheValuesInMemory) {
    fs::removeItem(fs::joinPath(sandbox.root(), "Library"));
    // A file where the folder should be: the preferences folder cannot be created.
    ASSERT_TRUE(fs::writeFileAtomically(fs::joinPath(sandbox.root(), "Library"), "x"));
    defaults.setBool("b", true);
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_TRUE(defaults.boolForKey("b")); // still in memory
}

TEST(FileSystem, AtomicWriteReplacesWholeFile) {
    vantrel::test::TemporarySandbox sandbox;
    std::string path = fs::joinPath(sandbox.root(), "file.txt");
    ASSERT_TRUE(fs::writeFileAtomically(path, "first version, longer"));
    ASSERT_TRUE(fs::writeFileAtomically(path, "second"));
    EXPECT_EQ(fs::readFile(path), "second");
    EXPECT_EQ(fs::contentsOfDirectory(sandbox.root()).size(), 4u); // Documents, Library, tmp, file.txt
    std::string error;
    EXPECT_FALSE(fs::writeFileAtomically(fs::joinPath(sandbox.root(), "missing/file"), "x", &error));
    EXPECT_FALSE(error.empty());
}

#include <gtest/gtest.h>

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

TEST_F(UserDefaultsTest, ResetDropsWhatWasNotSynchronized) {
    defaults.setInteger("kept", 1);
    defaults.synchronize();
    defaults.setInteger("lost", 2);
    UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(defaults.objectForKey("kept"));
    EXPECT_FALSE(defaults.objectForKey("lost"));
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

TEST_F(UserDefaultsTest, CorruptFileReadsEmptyAndStaysUntilNextWrite) {
    std::string path = UserDefaults::preferencesFilePath();
    ASSERT_TRUE(fs::writeFileAtomically(path, "<plist><dict><key>broken"));
    UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(defaults.dictionaryRepresentation().empty());
    EXPECT_TRUE(defaults.synchronize()); // nothing changed: nothing written
    EXPECT_EQ(fs::readFile(path), "<plist><dict><key>broken");

    defaults.setBool("fresh", true);
    ASSERT_TRUE(defaults.synchronize());
    UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(defaults.boolForKey("fresh"));
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

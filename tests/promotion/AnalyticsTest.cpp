#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "promotion/Analytics.h"
#include "support/TemporarySandbox.h"

namespace {

class AnalyticsTest : public testing::Test {
protected:
    AnalyticsTest() { Analytics::reset(); }
    ~AnalyticsTest() override { Analytics::reset(); }
    vantrel::test::TemporarySandbox m_sandbox;
};

} // namespace

TEST_F(AnalyticsTest, KeepsEventsAcrossProcessesOldestFirst) {
    platform::Clock::setNow(platform::Date(1000));
    Analytics::startSession("ABCDEFGHIJ0123456789");
    platform::Clock::setNow(platform::Date(2000));
    Analytics::logError("Crash!", "std::out_of_range", "vector::at");
    EXPECT_EQ(Analytics::sessionKey(), "ABCDEFGHIJ0123456789");

    // A new process reads back what the last one recorded, the crash included.
    Analytics::reset();
    EXPECT_EQ(Analytics::sessionKey(), "");
    std::vector<Analytics::Event> events = Analytics::recentEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Analytics::Event::Kind::Session);
    EXPECT_EQ(events[0].name, "ABCDEFGHIJ0123456789");
    EXPECT_EQ(events[0].date, platform::Date(1000));
    EXPECT_EQ(events[1].kind, Analytics::Event::Kind::Error);
    EXPECT_EQ(events[1].name, "Crash!");
    EXPECT_EQ(events[1].message, "std::out_of_range");
    EXPECT_EQ(events[1].detail, "vector::at");
    EXPECT_EQ(events[1].date, platform::Date(2000));
}

TEST_F(AnalyticsTest, DropsTheOldestBeyondItsCapacity) {
    for (size_t i = 0; i < Analytics::kCapacity + 5; ++i)
        Analytics::logEvent("event " + std::to_string(i));
    Analytics::reset();
    std::vector<Analytics::Event> events = Analytics::recentEvents();
    ASSERT_EQ(events.size(), Analytics::kCapacity);
    EXPECT_EQ(events.front().name, "event 5");
    EXPECT_EQ(events.back().name, "event " + std::to_string(Analytics::kCapacity + 4));
}

TEST_F(AnalyticsTest, ADamagedRecordStartsAfreshAndBadTextIsKept) {
    std::string path = Analytics::eventsFilePath();
    ASSERT_TRUE(platform::fs::createDirectories(path.substr(0, path.rfind('/'))));
    ASSERT_TRUE(platform::fs::writeFileAtomically(path, "[{\"kind\": \"session\", \"na"));
    EXPECT_TRUE(Analytics::recentEvents().empty());

    // An exception text that is not UTF-8 must not cost the record.
    Analytics::logError("Crash!", "Weird", std::string("bad \xff byte"));
    Analytics::reset();
    std::vector<Analytics::Event> events = Analytics::recentEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].message, "Weird");
}

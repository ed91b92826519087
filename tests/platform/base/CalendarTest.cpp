#include <gtest/gtest.h>

#include "platform/base/Calendar.h"
#include "platform/base/DateFormatter.h"
#include "platform/base/TimeZone.h"

using namespace platform;

namespace {

struct ZoneGuard {
    explicit ZoneGuard(const std::string& zone) { TimeZone::setDefault(zone); }
    ~ZoneGuard() { TimeZone::setDefault({}); }
};

Date local(int y, int mo, int d, int h = 0, int mi = 0) {
    return Calendar().dateFromComponents({y, mo, d, h, mi, 0, {}});
}

} // namespace

TEST(Date, ReferenceDateIsFirstOf2001InGMT) {
    EXPECT_EQ(Date(0).description(), "2001-01-01T00:00:00Z");
    EXPECT_DOUBLE_EQ(Date::fromTimeIntervalSince1970(978307200).timeIntervalSinceReferenceDate(), 0);
    EXPECT_EQ(Calendar("GMT").dateFromComponents({2001, 1, 1, 0, 0, 0, {}}), Date(0));
}

TEST(Calendar, ComponentsRoundTripInDeviceZone) {
    ZoneGuard zone("Europe/Berlin");
    Date d = local(2026, 12, 6, 9, 30);
    auto c = Calendar().components(d);
    EXPECT_EQ(*c.year, 2026);
    EXPECT_EQ(*c.month, 12);
    EXPECT_EQ(*c.day, 6);
    EXPECT_EQ(*c.hour, 9);
    EXPECT_EQ(*c.minute, 30);
    EXPECT_EQ(*c.weekday, 1); // a Sunday
    // 09:30 in Berlin in winter is 08:30 GMT.
    EXPECT_EQ(*Calendar("GMT").components(d).hour, 8);
}

TEST(Calendar, OverflowingComponentsCarry) {
    ZoneGuard zone("America/New_York");
    Calendar cal;
    EXPECT_EQ(cal.dateFromComponents({2026, 3, 1, 10, 75, 0, {}}), local(2026, 3, 1, 11, 15));
    EXPECT_EQ(cal.dateFromComponents({2026, 13, 1, 0, 0, 0, {}}), local(2027, 1, 1));
    EXPECT_EQ(cal.dateByAddingComponents({{}, {}, {}, {}, 75, {}, {}}, local(2026, 3, 1, 23, 0)),
        local(2026, 3, 2, 0, 15));
    // Adding a month to 31 January lands on the last day of February.
    EXPECT_EQ(
        cal.dateByAddingComponents({{}, 1, {}, {}, {}, {}, {}}, local(2026, 1, 31)), local(2026, 2, 28));
}

TEST(Calendar, DaylightSavingDayKeepsWallClock) {
    ZoneGuard zone("America/New_York");
    Calendar cal;
    // Clocks go forward on 8 March 2026: that day has 23 hours.
    Date before = local(2026, 3, 7, 9, 0);
    Date after = cal.dateByAddingComponents({{}, {}, 1, {}, {}, {}, {}}, before);
    EXPECT_EQ(*cal.components(after).hour, 9);
    EXPECT_DOUBLE_EQ(after.timeIntervalSinceDate(before), 23 * 3600.0);
    Date nextDay = cal.dateByAddingComponents({{}, {}, 1, {}, {}, {}, {}}, after);
    EXPECT_DOUBLE_EQ(nextDay.timeIntervalSinceDate(after), 24 * 3600.0);
    EXPECT_EQ(cal.startOfDay(local(2026, 3, 8, 15, 0)), local(2026, 3, 8));
    EXPECT_EQ(cal.daysBetween(local(2026, 3, 7, 23, 59), local(2026, 3, 9, 0, 1)), 2);
    EXPECT_EQ(cal.daysBetween(local(2026, 3, 9), local(2026, 3, 7)), -2);
}

TEST(Calendar, MonthsBetweenCountsCompleteMonths) {
    ZoneGuard zone("UTC");
    Calendar cal;
    EXPECT_EQ(cal.monthsBetween(local(2026, 1, 15), local(2026, 4, 14)), 2);
    EXPECT_EQ(cal.monthsBetween(local(2026, 1, 15), local(2026, 4, 15)), 3);
}

TEST(DateFormatter, FixedPatternReadsBackAsLocalMidnight) {
    ZoneGuard zone("Asia/Tokyo");
    DateFormatter f;
    f.setDateFormat("yyyy-MM-dd");
    auto d = f.dateFromString("2026-02-28");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, local(2026, 2, 28));
    EXPECT_EQ(f.stringFromDate(local(2026, 2, 28, 23, 59)), "2026-02-28");
    EXPECT_FALSE(f.dateFromString("28.02.2026"));
    EXPECT_FALSE(f.dateFromString("garbage"));
    EXPECT_FALSE(f.dateFromString(""));
}

#include "data/DBTestSupport.h"

#include "data/DBDateCodec.h"
#include "platform/base/Locale.h"

using namespace vantrel::test;

TEST(DBDateCodec, AgreesWithTheDateFormatterAcrossTimeZoneChanges) {
    for (const char* zone : {"America/New_York", "Europe/Berlin", "America/Sao_Paulo", "Pacific/Auckland"}) {
        ZoneGuard guard(zone);
        auto formatter = DB::dbDateFormatter();
        platform::Date day = platform::Calendar().dateFromComponents({2018, 1, 1, 0, 0, 0, {}});
        for (int i = 0; i < 800; i += 3) {
            platform::Date date
                = platform::Calendar().dateByAddingComponents({{}, {}, i, 13, {}, {}, {}}, day);
            std::string text = formatter.stringFromDate(date);
            EXPECT_EQ(DBDateCodec::textFromDate(date), text) << zone;
            EXPECT_EQ(DBDateCodec::dateFromText(text), formatter.dateFromString(text)) << zone << " " << text;
        }
    }
}

TEST(DBDateCodec, StoredDaysDoNotFollowTheLocalesDigitsOrCalendar) {
    platform::Locale::setCurrent("ar_EG");
    platform::Date date = platform::Calendar().dateFromComponents({2024, 6, 15, 9, 0, 0, {}});
    EXPECT_EQ(DB::dbDateFormatter().stringFromDate(date), "2024-06-15");
    platform::Locale::setCurrent("th_TH");
    EXPECT_EQ(DB::dbDateFormatter().stringFromDate(date), "2024-06-15");
    platform::Locale::setCurrent({});
}

TEST(DBDateCodec, RejectsAnythingButAValidDay) {
    for (const char* bad : {"", "2024-6-15", "2024-06-15 ", "2024-02-30", "2023-02-29", "0000-01-01",
             "garbage!!!", "2024/06/15", "2024-13-01"})
        EXPECT_FALSE(DBDateCodec::dateFromText(bad)) << bad;
    EXPECT_TRUE(DBDateCodec::dateFromText("2024-02-29"));
}

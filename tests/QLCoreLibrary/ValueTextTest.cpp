#include <gtest/gtest.h>

#include "QLCoreLibrary/ValueText.h"
#include "model/FuelText.h"
#include "model/SettingsManager.h"
#include "platform/base/Calendar.h"
#include "platform/base/Locale.h"
#include "platform/base/TimeZone.h"
#include "support/TemporarySandbox.h"

using platform::Locale;

class ValueTextTest : public testing::Test {
protected:
    vantrel::test::TemporarySandbox sandbox;
    void useLocale(const std::string& locale) {
        Locale::setCurrent(locale);
        ResetDecimalSeparatorCache();
    }
};

struct NumberCase {
    const char* locale;
    const char* text;
    float expected;
};

TEST_F(ValueTextTest, ParseFloatFollowsTheLocale) {
    const NumberCase cases[] = {
        {"en_US", "3.5", 3.5f},
        {"en_US", "  42 ", 42.f},
        {"en_US", "-0.25", -0.25f},
        {"en_US", "3,5", 0.f}, // a comma is no decimal separator here
        {"en_US", "1,234.5", 0.f}, // no grouping in a plain number
        {"en_US", "abc", 0.f},
        {"en_US", "", 0.f},
        {"en_US", "12abc", 0.f},
        {"de_DE", "3,5", 3.5f},
        {"de_DE", "3.5", 0.f},
    };
    for (const auto& c : cases) {
        useLocale(c.locale);
        EXPECT_FLOAT_EQ(ParseFloat(std::string(c.text)), c.expected) << c.locale << " '" << c.text << "'";
    }
    EXPECT_EQ(ParseFloat(std::optional<std::string>()), 0.f);
}

TEST_F(ValueTextTest, FormatFloatUsesExactlyTheDigitsAndGrouping) {
    useLocale("en_US");
    EXPECT_EQ(FormatFloat(12.3456f, 2), "12.35");
    EXPECT_EQ(FormatFloat(12.3456f, 0), "12");
    EXPECT_EQ(FormatFloat(1234567.f, 1), "1,234,567.0");
    EXPECT_EQ(FormatFloat(-2.f, 3), "-2.000");
    useLocale("de_DE");
    EXPECT_EQ(FormatFloat(1234.5f, 2), "1.234,50");
}

TEST_F(ValueTextTest, CurrencyTextAndParsingPerLocale) {
    useLocale("en_US");
    EXPECT_EQ(FormatCurrency(1.2f), "$1.20");
    EXPECT_EQ(FormatCurrency(1234.5f), "$1,234.50");
    EXPECT_FLOAT_EQ(ParseCurrency("$12.50"), 12.5f);
    EXPECT_FLOAT_EQ(ParseCurrency("12.50"), 12.5f);
    useLocale("fr_FR");
    std::string euros = FormatCurrency(12.5f);
    EXPECT_EQ(euros.rfind("12,50", 0), 0u) << euros; // the symbol follows the number
    EXPECT_NE(euros.find("€"), std::string::npos);
    EXPECT_FLOAT_EQ(ParseCurrency(euros), 12.5f);
    useLocale("de_DE");
    EXPECT_FLOAT_EQ(ParseCurrency("€3,99"), 3.99f);
}

TEST_F(ValueTextTest, DecimalSeparatorIsComputedOnce) {
    useLocale("de_DE");
    EXPECT_EQ(GetDecimalSeparator(), ",");
    Locale::setCurrent("en_US");
    EXPECT_EQ(GetDecimalSeparator(), ","); // kept for the life of the process
    ResetDecimalSeparatorCache();
    EXPECT_EQ(GetDecimalSeparator(), ".");
}

TEST_F(ValueTextTest, DatesFollowStylesAndRoundTrip) {
    useLocale("en_US");
    platform::TimeZone::setDefault("America/Chicago");
    auto date = platform::Calendar().dateFromComponents({2026, 12, 6, 14, 5, 0, {}});
    EXPECT_EQ(FormatDate(date, DateStyle::Short), "12/6/26");
    EXPECT_EQ(FormatDate(date, DateStyle::Medium), "Dec 6, 2026");
    EXPECT_EQ(FormatDate(date, DateStyle::Long), "December 6, 2026");
    EXPECT_EQ(FormatDate(date, DateStyle::None), "");
    EXPECT_NE(FormatDateTime(date, DateStyle::Short, DateStyle::Short).find("2:05"), std::string::npos);
    auto parsed = ParseDate("Dec 6, 2026", DateStyle::Medium);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, platform::Calendar().startOfDay(date));
    EXPECT_FALSE(ParseDate("not a date", DateStyle::Medium));
    useLocale("de_DE");
    EXPECT_EQ(FormatDate(date, DateStyle::Medium), "06.12.2026");
}

TEST_F(ValueTextTest, FuelTextCarriesTheSettingsLabels) {
    useLocale("en_US");
    auto& settings = SettingsManager::sharedManager();
    const std::pair<int, const char*> economy[]
        = {{0, "MPG"}, {1, "MPG"}, {2, "mi/L"}, {3, "km/L"}, {4, "km/gal"}, {5, "km/gal"}};
    for (auto [code, label] : economy) {
        settings.setFuelEconomyUnit(code);
        EXPECT_EQ(FormatFuelEconomy(28.456f), std::string("28.46 ") + label);
    }
    const std::pair<int, const char*> efficiency[] = {{0, "gal/100mi"}, {1, "gal/100mi"}, {2, "L/100mi"},
        {3, "L/100km"}, {4, "gal/100km"}, {5, "gal/100km"}};
    for (auto [code, label] : efficiency) {
        settings.setFuelEfficiencyUnit(code);
        EXPECT_EQ(FormatFuelEfficiency(7.1f), std::string("7.10 ") + label);
    }
}

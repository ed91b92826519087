#include <gtest/gtest.h>

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "app/AppTestSupport.h"
#include "model/SettingsManager.h"
#include "platform/base/UserDefaults.h"
#include "platform/views/Switch.h"
#include "platform/views/TableViewCell.h"
#include "platform/views/TextField.h"
#include "screens/SettingsViewController.h"
#include "ui/SelectionViewController.h"
#include "ui/ThemeSelectionViewController.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

class SettingsViewControllerTest : public VantrelAppTest {
protected:
    SettingsViewController& open() {
        if (!m_launched)
            launch();
        m_launched = true;
        root().settingsButtonPressed();
        driver().runUntilIdle();
        return top<SettingsViewController>();
    }
    TableViewCell& row(int section, int row) {
        return driver().scrollToRow(*top<SettingsViewController>().settingsTable(), section, row);
    }
    template<typename T> T& control(int section, int index, int tag) {
        auto* view = dynamic_cast<T*>(row(section, index).contentView().viewWithTag(tag));
        if (!view)
            throw std::logic_error("no such control in the row");
        return *view;
    }
    TextField& threshold(int index) {
        return control<TextField>(0, index,
            index == 0 ? SettingsViewController::kDistanceFieldTag : SettingsViewController::kDaysFieldTag);
    }
    bool m_launched {false};
};

} // namespace

TEST_F(SettingsViewControllerTest, ShowsEverySettingUnderItsSection) {
    auto& settings = open();
    EXPECT_EQ(driver().navigationTitle(), "Settings");
    EXPECT_EQ(settings.sections(), (std::vector<std::string> {"Service Alerts", "Units", "Preferences"}));
    TableView& table = *settings.settingsTable();
    EXPECT_EQ(table.numberOfRowsInSection(0), 2);
    EXPECT_EQ(table.numberOfRowsInSection(1), 4);
    EXPECT_EQ(table.numberOfRowsInSection(2), 3);

    EXPECT_EQ(row(0, 0).textLabel().text(), "Distance Before Due");
    EXPECT_EQ(threshold(0).text(), "500");
    EXPECT_EQ(threshold(0).keyboardType(), KeyboardType::NumberPad);
    EXPECT_EQ(row(0, 1).textLabel().text(), "Days Before Due");
    EXPECT_EQ(threshold(1).text(), "14");
    const char* units[][2] = {{"Distance", "Miles"}, {"Fuel", "Gallon (US)"}, {"Economy", "MPG (US)"},
        {"Consumption", "gal/100mi (US)"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(row(1, i).textLabel().text(), units[i][0]);
        EXPECT_EQ(row(1, i).detailTextLabel()->text(), units[i][1]);
    }
    EXPECT_EQ(row(2, 0).textLabel().text(), "Service Reminders");
    EXPECT_TRUE(control<Switch>(2, 0, SettingsViewController::kSwitchTag).isOn());
    EXPECT_EQ(row(2, 1).textLabel().text(), "Auto Update Odometer");
    EXPECT_TRUE(control<Switch>(2, 1, SettingsViewController::kSwitchTag).isOn());
    EXPECT_EQ(row(2, 2).textLabel().text(), "Theme Color");
    keepScreen("settings-theme-0");
}

TEST_F(SettingsViewControllerTest, ThresholdsAreReadUpToTheFirstNonDigitAndKeptInRange) {
    EXPECT_EQ(SettingsViewController::thresholdValue("750"), 750);
    EXPECT_EQ(SettingsViewController::thresholdValue(""), 0);
    EXPECT_EQ(SettingsViewController::thresholdValue("12ab3"), 12);
    EXPECT_EQ(SettingsViewController::thresholdValue("-40"), 0);
    EXPECT_EQ(SettingsViewController::thresholdValue("100000"), 100000);
    EXPECT_EQ(SettingsViewController::thresholdValue("100001"), 100000);
    EXPECT_EQ(SettingsViewController::thresholdValue("99999999999999999999999"), 100000);

    // Pasted into the entry: the same reading, and the entry shows what was stored.
    open();
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 0, 0);
    TextField& distance = threshold(0);
    distance.setText("");
    distance.insertText("-3000 miles");
    driver().pressReturn();
    EXPECT_EQ(SettingsManager::sharedManager().distanceBeforeDue(), 0);
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 0, 0);
    distance.insertText("99999999999");
    driver().pressReturn();
    EXPECT_EQ(SettingsManager::sharedManager().distanceBeforeDue(), 100000);
    EXPECT_EQ(distance.text(), "100000");

    // Cleared: 0. The keypad's Done key ends the editing.
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 0, 1);
    ASSERT_TRUE(threshold(1).isFirstResponder());
    ASSERT_NE(driver().keyboardKey("Done"), nullptr);
    driver().pressDelete();
    driver().pressDelete();
    driver().tap(*driver().keyboardKey("Done"));
    EXPECT_EQ(SettingsManager::sharedManager().daysBeforeDue(), 0);
    EXPECT_EQ(threshold(1).text(), "0");
}

TEST_F(SettingsViewControllerTest, AUnitIsChosenFromItsListWithoutAnAddNewRow) {
    open();
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 1, 1);
    auto& list = top<SelectionViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Fuel Unit");
    EXPECT_EQ(list.values(), (std::vector<std::string> {"Liter", "Gallon (US)", "Gallon (Imperial)"}));
    EXPECT_EQ(list.value(), "Gallon (US)");
    driver().tapRow(*list.selectionTableView(), 0, 2);

    ASSERT_NE(dynamic_cast<SettingsViewController*>(driver().topViewController()), nullptr);
    EXPECT_EQ(SettingsManager::sharedManager().fuelUnit(), 2);
    EXPECT_EQ(row(1, 1).detailTextLabel()->text(), "Gallon (Imperial)");

    driver().tapRow(*top<SettingsViewController>().settingsTable(), 1, 3);
    EXPECT_EQ(driver().navigationTitle(), "Consumption Unit");
    driver().tapRow(*top<SelectionViewController>().selectionTableView(), 0, 3);
    EXPECT_EQ(SettingsManager::sharedManager().fuelEfficiencyUnit(), 3);
    EXPECT_EQ(row(1, 3).detailTextLabel()->text(), "L/100km");
}

TEST_F(SettingsViewControllerTest, ChangesPersistAcrossARelaunch) {
    open();
    driver().tap(control<Switch>(2, 0, SettingsViewController::kSwitchTag));
    driver().tap(control<Switch>(2, 1, SettingsViewController::kSwitchTag));
    EXPECT_FALSE(SettingsManager::sharedManager().serviceReminders());
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 1, 0);
    driver().tapRow(*top<SelectionViewController>().selectionTableView(), 0, 0); // Kilometers
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 1, 1);
    driver().tapRow(*top<SelectionViewController>().selectionTableView(), 0, 0); // Liter
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 2, 2);
    driver().tap(*top<ThemeSelectionViewController>().scrollView()->viewWithTag(8)); // theme 7
    driver().pressBack();
    driver().tapRow(*top<SettingsViewController>().settingsTable(), 0, 1);
    driver().pressDelete();
    driver().pressDelete();
    driver().type(threshold(1), "30");
    driver().pressBack();

    // Gone without resigning active: every change was written at once.
    relaunch();
    SettingsManager& settings = SettingsManager::sharedManager();
    EXPECT_FALSE(settings.serviceReminders());
    EXPECT_FALSE(settings.autoUpdateOdometer());
    EXPECT_EQ(settings.distanceUnit(), 0);
    EXPECT_EQ(settings.fuelUnitShortName(), "L");
    EXPECT_EQ(settings.themeIndex(), 7);
    EXPECT_EQ(settings.daysBeforeDue(), 30);
    m_launched = true;
    open();
    EXPECT_FALSE(control<Switch>(2, 0, SettingsViewController::kSwitchTag).isOn());
    EXPECT_EQ(row(1, 0).detailTextLabel()->text(), "Kilometers");
    EXPECT_EQ(threshold(1).text(), "30");
}

TEST_F(SettingsViewControllerTest, TheThemeSwatchFollowsTheThemeChosen) {
    open();
    auto& swatch = control<QLRoundedRectView>(2, 2, SettingsViewController::kSwatchTag);
    EXPECT_EQ(swatch.strokeColor(), Color::fromHex(0x2F4160));
    EXPECT_EQ(swatch.backgroundColor(), Color::fromHex(0x9CAAC1));
    EXPECT_EQ(swatch.strokeSize(), 3);

    driver().tapRow(*top<SettingsViewController>().settingsTable(), 2, 2);
    auto& themes = top<ThemeSelectionViewController>();
    driver().tap(*themes.scrollView()->viewWithTag(10)); // theme 9
    driver().pressBack();
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 9);
    auto& after = control<QLRoundedRectView>(2, 2, SettingsViewController::kSwatchTag);
    EXPECT_EQ(after.strokeColor(), Color::fromHex(0x993366));
    EXPECT_EQ(after.backgroundColor(), Color::fromHex(0xE5CBD6));
    keepScreen("settings-theme-9");
}

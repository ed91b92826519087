#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/views/Control.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedTableViewController.h"

// Settings: the due-soon thresholds, the measurement units, the reminder and odometer
// switches and the theme. Every change is written to the settings store at once; the
// screen keeps no copy of the values. A threshold being typed is stored when the user
// leaves the screen.
class SettingsViewController : public ThemedTableViewController, public GenericEditViewControllerDelegate {
public:
    static constexpr const char* kLayoutName = "SettingsViewController";
    enum : int { kServiceAlertsSection = 0, kUnitsSection = 1, kPreferencesSection = 2 };
    // Threshold entries: tag 1 distance before due, tag 2 days before due.
    enum : int { kDistanceFieldTag = 1, kDaysFieldTag = 2 };
    static constexpr int kSwitchTag = 2;
    static constexpr int kSwatchTag = 1;
    // Thresholds are stored at most this high, so that due arithmetic stays in range.
    static constexpr int kMaximumThreshold = 100000;

    // Layout "SettingsViewController": a grouped table over the themed background.
    SettingsViewController();

    const std::shared_ptr<platform::views::TableView>& settingsTable() { return tableView(); }
    platform::views::TextField* textFieldBeingEdited() { return entries().textFieldBeingEdited(); }
    const std::vector<std::string>& sections() const { return m_sections; }

    // A threshold as typed: its leading digits (none give 0), at most kMaximumThreshold.
    static int thresholdValue(const std::string& text);

    // The switches' value-changed actions.
    void notificationsSwitchValueChanged(platform::views::Control& control);
    void odometerSwitchValueChanged(platform::views::Control& control);

    void viewDidLoad() override;

    int numberOfSectionsInTableView(platform::views::TableView&) override { return int(m_sections.size()); }
    int numberOfRowsInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 36; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    void willDisplayCell(platform::views::TableView&, platform::views::TableViewCell& cell,
        platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // A unit list's choice; the list's view tag is the unit row.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

private:
    std::shared_ptr<platform::views::TableViewCell> serviceAlertsCell(
        platform::views::TableView& table, int row);
    std::shared_ptr<platform::views::TableViewCell> unitsCell(platform::views::TableView& table, int row);
    std::shared_ptr<platform::views::TableViewCell> preferencesCell(
        platform::views::TableView& table, int row);

    std::vector<std::string> m_sections;
};

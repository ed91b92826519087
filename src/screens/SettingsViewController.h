#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/views/Switch.h"
#include "platform/views/TableView.h"
#include "platform/views/TextField.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedViewController.h"

// Settings: the due-soon thresholds, the measurement units, the reminder and odometer
// switches and the theme. Every change is written to the settings store at once; the
// screen keeps no copy of the values. A threshold being typed is stored when the user
// leaves the screen.
class SettingsViewController : public ThemedViewController,
                               public platform::views::TableViewDataSource,
                               public platform::views::TableViewDelegate,
                               public platform::views::TextFieldDelegate,
                               public GenericEditViewControllerDelegate {
public:
    static constexpr const char* kLayoutName = "SettingsViewController";
    enum : int { kServiceAlertsSection = 0, kUnitsSection = 1, kPreferencesSection = 2 };
    // Threshold entries: tag 1 distance before due, tag 2 days before due.
    enum : int { kDistanceFieldTag = 1, kDaysFieldTag = 2 };
    static constexpr int kSwitchTag = 2;
    static constexpr int kSwatchTag = 1;
    // Longest text a threshold entry takes, in characters.
    static constexpr size_t kMaximumTextLength = 50;
    // Thresholds are stored at most this high, so that due arithmetic stays in range.
    static constexpr int kMaximumThreshold = 100000;

    // Layout "SettingsViewController": a grouped table over the themed background.
    SettingsViewController();
    ~SettingsViewController() override;

    const std::shared_ptr<platform::views::TableView>& settingsTable() const { return m_settingsTable; }
    void setSettingsTable(std::shared_ptr<platform::views::TableView> table);
    platform::views::TextField* textFieldBeingEdited() const { return m_textFieldBeingEdited; }
    const std::vector<std::string>& sections() const { return m_sections; }

    // A threshold as typed: its leading digits (none give 0), at most kMaximumThreshold.
    static int thresholdValue(const std::string& text);

    void notificationsSwitchValueChanged(platform::views::Switch& control);
    void odometerSwitchValueChanged(platform::views::Switch& control);

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

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

    void textFieldDidBeginEditing(platform::views::TextField& field) override;
    bool shouldChangeCharactersInRange(platform::views::TextField& field, platform::views::TextRange range,
        const std::string& replacement) override;
    bool textFieldShouldReturn(platform::views::TextField& field) override;
    void textFieldDidEndEditing(platform::views::TextField& field) override;

    // A unit list's choice; the list's view tag is the unit row.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

private:
    std::shared_ptr<platform::views::TableViewCell> serviceAlertsCell(
        platform::views::TableView& table, int row);
    std::shared_ptr<platform::views::TableViewCell> unitsCell(platform::views::TableView& table, int row);
    std::shared_ptr<platform::views::TableViewCell> preferencesCell(
        platform::views::TableView& table, int row);

    std::shared_ptr<platform::views::TableView> m_settingsTable;
    platform::views::TextField* m_textFieldBeingEdited {nullptr};
    std::vector<std::string> m_sections;
};

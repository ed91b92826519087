#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/NotificationCenter.h"
#include "platform/views/AlertView.h"
#include "platform/views/Switch.h"
#include "platform/views/TableView.h"
#include "platform/views/TextField.h"
#include "platform/views/ViewController.h"

// A small application built on the toolkit the way the product's screens are: a list of
// cars that pushes a form, the form with a name field, a number-pad odometer field, a
// switch and a Save button that asks for confirmation in an alert. Both screens write what happens
// to them into a shared log, so tests can check the order of events.
namespace vantrel::test {

using EventLog = std::vector<std::string>;

class DemoFormViewController;

class DemoListViewController : public platform::views::ViewController,
                               public platform::views::TableViewDataSource,
                               public platform::views::TableViewDelegate {
public:
    DemoListViewController(std::shared_ptr<EventLog> log, std::vector<std::string> cars,
        platform::views::TableViewStyle style = platform::views::TableViewStyle::Plain);

    std::vector<std::string> cars;
    platform::views::TableView& table() { return *m_table; }
    std::shared_ptr<DemoFormViewController> lastForm;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void setEditing(bool editing, bool animated) override;

    int numberOfSectionsInTableView(platform::views::TableView&) override { return 2; }
    int numberOfRowsInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView&, platform::views::IndexPath indexPath) override;
    std::optional<std::string> titleForHeaderInSection(platform::views::TableView&, int section) override;
    bool canEditRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath indexPath) override;
    void commitEditingStyle(platform::views::TableView&, platform::views::TableViewCellEditingStyle style,
        platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath indexPath) override;

private:
    std::shared_ptr<EventLog> m_log;
    platform::views::TableViewStyle m_style;
    std::shared_ptr<platform::views::TableView> m_table;
};

class DemoFormViewController : public platform::views::ViewController,
                               public platform::views::TableViewDataSource,
                               public platform::views::TableViewDelegate,
                               public platform::views::TextFieldDelegate,
                               public platform::views::AlertViewDelegate {
public:
    DemoFormViewController(std::shared_ptr<EventLog> log, std::string name);

    std::string name;
    int odometer {-1};
    bool reminders {true};
    bool saved {false};
    std::shared_ptr<platform::views::TextField> nameField;
    std::shared_ptr<platform::views::TextField> odometerField;
    std::shared_ptr<platform::views::Switch> remindersSwitch;
    platform::views::TableView& table() { return *m_table; }
    std::vector<std::string> keyboardEvents;
    std::vector<platform::graphics::Rect> keyboardFrames;
    int editingChanges {0};

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void save();

    int numberOfSectionsInTableView(platform::views::TableView&) override { return 2; }
    int numberOfRowsInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView&, platform::views::IndexPath indexPath) override;
    std::optional<std::string> titleForHeaderInSection(platform::views::TableView&, int section) override;
    std::optional<std::string> titleForFooterInSection(platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath indexPath) override;

    bool shouldChangeCharactersInRange(platform::views::TextField& field, platform::views::TextRange range,
        const std::string& replacement) override;
    void textFieldDidBeginEditing(platform::views::TextField& field) override;
    void textFieldDidEndEditing(platform::views::TextField& field) override;
    bool textFieldShouldReturn(platform::views::TextField& field) override;

    void clickedButtonAtIndex(platform::views::AlertView& alert, int index) override;
    void didDismissWithButtonIndex(platform::views::AlertView& alert, int index) override;

private:
    std::shared_ptr<EventLog> m_log;
    std::shared_ptr<platform::views::TableView> m_table;
    std::vector<platform::ObserverToken> m_observers;
};

} // namespace vantrel::test

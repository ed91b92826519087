#pragma once

#include <memory>
#include <string>

#include "platform/base/NotificationCenter.h"
#include "platform/views/AlertView.h"
#include "platform/views/Button.h"
#include "ui/ThemedTableViewController.h"

// "Setup": registers the device with the backup service under an e-mail address and a device
// name, changes the name, or deletes the registration from this device. The values being
// edited are taken from the client when the screen is made.
//
// Only the outcome of this screen's own registration closes it (the service's answer, or a
// failed connection while it waits), and only while it is on top, so that whatever else the
// client reports meanwhile never takes the form away from under the user.
class SyncSetupViewController : public ThemedTableViewController, public platform::views::AlertViewDelegate {
public:
    static constexpr const char* kLayoutName = "SyncSetupViewController";
    // The entries, by tag (row + section + 1).
    enum : int { kEmailTag = 1, kDeviceNameTag = 2 };
    // The buttons, by tag: Register, Done and the delete button.
    enum : int { kRegisterTag = 1, kDoneTag = 2, kDeleteButtonTag = 1000 };

    SyncSetupViewController();

    const std::string& email() const { return m_email; }
    const std::string& deviceName() const { return m_deviceName; }
    platform::views::TextField* textFieldBeingEdited() { return entries().textFieldBeingEdited(); }
    platform::views::TextField* emailField() { return entries().field(kEmailTag); }
    platform::views::TextField* deviceNameField() { return entries().field(kDeviceNameTag); }
    platform::views::Button& deleteButton() const { return *m_deleteButton; }

    // Done, Register or the delete button, by its tag.
    void buttonPressed(int tag);
    void registerDevice();
    bool isInputValid();
    // Register or Done on the right, and the delete button, as the registration stands.
    void setupButtons();

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfSectionsInTableView(platform::views::TableView&) override { return 2; }
    int numberOfRowsInSection(platform::views::TableView&, int) override { return 1; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 32; }
    double heightForFooterInSection(platform::views::TableView&, int) override { return 40; }
    std::shared_ptr<platform::views::View> viewForFooterInSection(
        platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // "Confirm Deletion".
    void didDismissWithButtonIndex(platform::views::AlertView& alert, int buttonIndex) override;

private:
    void barButtonPressed(platform::views::BarButtonItem& sender);
    void deleteButtonPressed();
    void statusChanged(const platform::Notification& notification);
    bool isOnTop() const;
    // The account as the client has it now, in the form.
    void takeAccountFromClient();

    std::string m_email;
    std::string m_deviceName;
    std::shared_ptr<platform::views::Button> m_deleteButton;
    platform::ObserverToken m_statusObserver;
    // A registration this screen started has not been answered yet.
    bool m_registering {false};
};

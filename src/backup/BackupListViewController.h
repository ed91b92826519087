#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/base/NotificationCenter.h"
#include "platform/views/AlertView.h"
#include "ui/ThemedTableViewController.h"

class BackupBusyOverlay;

// "Restore": the backups the service holds for the account, newest first as the service
// lists them, each with its device's name and date. Tapping one asks for confirmation, then
// restores it; a successful restore returns to the list of cars.
//
// The confirmation names the backup the user tapped by its identifier, so a list that
// changes meanwhile never makes it restore another one.
class BackupListViewController : public ThemedTableViewController, public platform::views::AlertViewDelegate {
public:
    static constexpr const char* kLayoutName = "BackupListViewController";
    static constexpr double kRowHeight = 55;
    static constexpr const char* kGoneMessage
        = "The chosen backup is no longer stored with the backup service. Nothing was restored.";

    class BackupCell;

    BackupListViewController();

    // The identifier of the backup waiting for the confirmation, if any.
    const std::optional<std::string>& chosenBackup() const { return m_chosenBid; }

    void refreshButtonPressed();

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::views::TableView&, int) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return kRowHeight;
    }
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // "Confirm Restore".
    void didDismissWithButtonIndex(platform::views::AlertView& alert, int buttonIndex) override;

private:
    void statusChanged(const platform::Notification& notification);
    void restoreChosenBackup();

    std::shared_ptr<BackupBusyOverlay> m_overlay;
    platform::ObserverToken m_statusObserver;
    std::optional<std::string> m_chosenBid;
};

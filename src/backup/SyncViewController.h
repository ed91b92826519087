#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/NotificationCenter.h"
#include "platform/views/AlertView.h"
#include "platform/views/ApplicationHost.h"
#include "ui/ThemedTableViewController.h"

class BackupBusyOverlay;

// "Data Backup": the account (set up on SyncSetupViewController), a backup to the service,
// how many backups it holds (tapped: the list to restore from), and, on a host that can
// exchange files with the user's computer, a backup file to download, a restore from such
// a file, an import from another logbook app (previewed on ImportPreviewViewController) and
// the logbook as CSV files to download. The service's sections show once the device is registered; the screen
// follows the client through its status notifications.
class SyncViewController : public ThemedTableViewController, public platform::views::AlertViewDelegate {
public:
    static constexpr const char* kLayoutName = "SyncViewController";
    enum class Section { Account, Backup, Restore, Files };
    // Rows of "Files".
    enum : int { kDownloadRow = 0, kRestoreFromFileRow = 1, kImportRow = 2, kDownloadCsvRow = 3 };

    SyncViewController();
    ~SyncViewController() override;

    // The titles of the service's sections: "Account", "Backup", "Restore".
    const std::vector<std::string>& sections() const { return m_sections; }
    // The sections shown now, in order.
    std::vector<Section> shownSections() const;
    // The row of a section, or none when the section is not shown.
    std::optional<platform::views::IndexPath> indexPathFor(Section section, int row = 0) const;

    void refreshButtonPressed();
    void downloadBackupFile();
    void restoreFromFile();
    void importFromAnotherApp();
    void downloadCsvFiles();

    void viewDidLoad() override;

    int numberOfSectionsInTableView(platform::views::TableView&) override;
    int numberOfRowsInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 36; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    double heightForFooterInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::View> viewForFooterInSection(
        platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // The confirmation of a restore from a file.
    void didDismissWithButtonIndex(platform::views::AlertView& alert, int buttonIndex) override;

private:
    void statusChanged(const platform::Notification& notification);
    void fileChosen(std::optional<platform::views::PickedFile> file);
    void fileChosenForImport(std::optional<platform::views::PickedFile> file);
    void forgetChosenFile();
    std::shared_ptr<platform::views::TableViewCell> restoreCell(platform::views::TableView& table);

    std::vector<std::string> m_sections {"Account", "Backup", "Restore"};
    std::shared_ptr<BackupBusyOverlay> m_overlay;
    platform::ObserverToken m_statusObserver;
    // A file the user chose, while its restore waits for confirmation.
    std::optional<platform::views::PickedFile> m_chosenFile;
};

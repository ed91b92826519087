#include "backup/BackupListViewController.h"

#include "backup/BackupBusyOverlay.h"
#include "backup/BackupServiceClient.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr const char* kCell = "backup-list-cell";
constexpr int kDeviceNameTag = 1001;
constexpr int kDateTag = 1002;

BackupServiceClient& client() {
    return BackupServiceClient::sharedClient();
}

std::string field(const platform::Dictionary& entry, const char* key) {
    auto found = entry.find(key);
    return found == entry.end() ? std::string() : found->second.toString().value_or("");
}

} // namespace

// A backup: its device's name over its date.
class BackupListViewController::BackupCell : public TableViewCell {
public:
    explicit BackupCell(const std::string& identifier)
        : TableViewCell(TableViewCellStyle::Subtitle, identifier) {
        setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        m_deviceName->setTag(kDeviceNameTag);
        m_date->setTag(kDateTag);
        contentView().addSubview(m_deviceName);
        contentView().addSubview(m_date);
    }
    Label& deviceName() const { return *m_deviceName; }
    Label& date() const { return *m_date; }

    void show(const std::string& deviceName, const std::string& date) {
        m_deviceName->setText(deviceName);
        m_date->setText(date);
        for (auto& [label, y] : {std::pair {m_deviceName.get(), 5.0}, std::pair {m_date.get(), 30.0}}) {
            label->sizeToFit();
            label->setFrame({20, y, label->frame().width(), label->frame().height()});
        }
    }

private:
    std::shared_ptr<Label> m_deviceName {std::make_shared<Label>()};
    std::shared_ptr<Label> m_date {std::make_shared<Label>()};
};

BackupListViewController::BackupListViewController()
    : ThemedTableViewController(kLayoutName, TableViewStyle::Plain) { }

void BackupListViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("Restore");
    m_overlay = BackupBusyOverlay::shared();
    m_statusObserver = platform::NotificationCenter::defaultCenter().addObserver(
        BackupServiceClient::StatusChangedNotification,
        [this](const platform::Notification& notification) { statusChanged(notification); });
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Refresh, action(&BackupListViewController::refreshButtonPressed)));
    client().refreshBackupList();
}

void BackupListViewController::refreshButtonPressed() {
    client().refreshBackupList();
}

int BackupListViewController::numberOfRowsInSection(TableView&, int) {
    return static_cast<int>(client().backups().size());
}

std::shared_ptr<TableViewCell> BackupListViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell<BackupCell>(kCell);
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    setLargeFont(cell->deviceName());
    setSmallFont(cell->date());
    const auto& backups = client().backups();
    if (size_t(indexPath.row) < backups.size()) {
        const auto& entry = backups[size_t(indexPath.row)];
        cell->show(field(entry, "deviceName"), BackupServiceClient::formatBackupDate(field(entry, "date")));
    }
    return cell;
}

void BackupListViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    const auto& backups = client().backups();
    if (size_t(indexPath.row) >= backups.size())
        return;
    const auto& entry = backups[size_t(indexPath.row)];
    m_chosenBid = field(entry, "bid");
    auto alert = std::make_shared<AlertView>("Confirm Restore",
        "Restoring will overwrite Vantrel data on this device. Are you sure you want to replace your data "
        "with "
        "data from "
            + field(entry, "deviceName") + " backed up on "
            + BackupServiceClient::formatBackupDate(field(entry, "date")) + "?",
        platform::sharedFrom(this), "Cancel", std::vector<std::string> {"Restore"});
    alert->setTag(indexPath.row);
    alert->show();
}

void BackupListViewController::didDismissWithButtonIndex(AlertView&, int buttonIndex) {
    if (buttonIndex == 1)
        restoreChosenBackup();
    m_chosenBid.reset();
}

void BackupListViewController::restoreChosenBackup() {
    if (!m_chosenBid)
        return;
    const auto& backups = client().backups();
    for (size_t index = 0; index < backups.size(); ++index) {
        if (field(backups[index], "bid") == *m_chosenBid) {
            client().restore(static_cast<int>(index));
            return;
        }
    }
    showAlert(BackupServiceClient::AlertTitle, kGoneMessage);
}

void BackupListViewController::statusChanged(const platform::Notification& notification) {
    auto value = [&notification](const char* key) {
        auto found = notification.userInfo.find(key);
        return found == notification.userInfo.end() ? std::string() : found->second.string();
    };
    const std::string operation = value("operation");
    if (operation == "backuplist") {
        tableView()->reloadData();
    } else if (operation == "restore" && value("status") == "OK") {
        // The restored settings may name another theme.
        resetTheme(this);
        if (NavigationController* navigation = navigationController())
            navigation->popToRootViewControllerAnimated(true);
    }
}

#include "backup/SyncViewController.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "backup/BackupBusyOverlay.h"
#include "backup/BackupFiles.h"
#include "backup/BackupListViewController.h"
#include "backup/BackupServiceClient.h"
#include "backup/CsvFiles.h"
#include "backup/ImportPreviewViewController.h"
#include "backup/SyncSetupViewController.h"
#include "platform/base/FileSystem.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/ActivityIndicatorView.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "transfer/ImportSource.h"
#include "transfer/LogbookImport.h"

using namespace platform::views;

namespace {

constexpr const char* kAccountCell = "account-cell";
constexpr const char* kDataCell = "data-cell";
constexpr const char* kRestoreCell = "restore-cell";
constexpr const char* kFileCell = "file-cell";
constexpr const char* kEmptyCell = "empty-cell";
constexpr const char* kFilesHeading = "Files";
constexpr const char* kFilesFooter
    = "Keep a backup file safe, or restore it in Vantrel elsewhere. Import the history kept in "
      "another logbook app, or take yours along as CSV files.";
constexpr double kFooterMargin = 8;
const char* const kFileRows[]
    = {"Download Backup File", "Restore From File", "Import From Another App", "Download CSV Files"};

BackupServiceClient& client() {
    return BackupServiceClient::sharedClient();
}

ApplicationHost* host() {
    return Application::sharedApplication().host();
}

std::string text(const platform::Dictionary& info, const char* key) {
    auto found = info.find(key);
    return found == info.end() ? std::string() : found->second.toString().value_or("");
}

} // namespace

SyncViewController::SyncViewController()
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped) { }

SyncViewController::~SyncViewController() {
    forgetChosenFile();
}

void SyncViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("Data Backup");
    m_overlay = BackupBusyOverlay::shared();
    client().refreshBackupCount();
    m_statusObserver = platform::NotificationCenter::defaultCenter().addObserver(
        BackupServiceClient::StatusChangedNotification,
        [this](const platform::Notification& notification) { statusChanged(notification); });
    if (client().hasCredentials())
        navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
            BarButtonSystemItem::Refresh, action(&SyncViewController::refreshButtonPressed)));
}

void SyncViewController::refreshButtonPressed() {
    client().refreshBackupCount();
}

std::vector<SyncViewController::Section> SyncViewController::shownSections() const {
    std::vector<Section> shown {Section::Account};
    if (client().hasCredentials()) {
        shown.push_back(Section::Backup);
        shown.push_back(Section::Restore);
    }
    if (ApplicationHost* files = host(); files && files->canTransferFiles())
        shown.push_back(Section::Files);
    return shown;
}

std::optional<IndexPath> SyncViewController::indexPathFor(Section section, int row) const {
    const auto shown = shownSections();
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == section)
            return IndexPath::forRow(row, static_cast<int>(i));
    }
    return std::nullopt;
}

int SyncViewController::numberOfSectionsInTableView(TableView&) {
    return static_cast<int>(shownSections().size());
}

int SyncViewController::numberOfRowsInSection(TableView&, int section) {
    const auto shown = shownSections();
    if (section < 0 || size_t(section) >= shown.size())
        return 0;
    return shown[size_t(section)] == Section::Files ? int(std::size(kFileRows)) : 1;
}

std::shared_ptr<View> SyncViewController::viewForHeaderInSection(TableView&, int section) {
    const auto shown = shownSections();
    if (section < 0 || size_t(section) >= shown.size())
        return nullptr;
    const Section kind = shown[size_t(section)];
    return tableHeaderViewWithText(kind == Section::Files ? kFilesHeading : m_sections[size_t(kind)]);
}

double SyncViewController::heightForFooterInSection(TableView& table, int section) {
    auto files = indexPathFor(Section::Files);
    if (files && files->section == section)
        return viewForFooterInSection(table, section)->frame().height() + kFooterMargin;
    return TableViewDelegate::heightForFooterInSection(table, section);
}

std::shared_ptr<View> SyncViewController::viewForFooterInSection(TableView&, int section) {
    auto files = indexPathFor(Section::Files);
    if (!files || files->section != section)
        return nullptr;
    // As tall as the text needs.
    auto footer = tableFooterViewWithText(kFilesFooter);
    if (!footer->subviews().empty()) {
        View& label = *footer->subviews().front();
        const double height = std::ceil(label.sizeThatFits({label.frame().width(), 0}).height);
        label.setFrame({label.frame().x(), 0, label.frame().width(), height});
        footer->setFrame({footer->frame().x(), footer->frame().y(), footer->frame().width(), height});
    }
    return footer;
}

std::shared_ptr<TableViewCell> SyncViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const auto shown = shownSections();
    if (size_t(indexPath.section) >= shown.size()
        || indexPath.row >= numberOfRowsInSection(table, indexPath.section))
        return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
    const Section kind = shown[size_t(indexPath.section)];
    std::shared_ptr<TableViewCell> cell;
    if (kind == Section::Account) {
        cell = table.dequeueReusableCell(kAccountCell, TableViewCellStyle::Value1);
        cell->textLabel().setText("E-mail");
        const bool registered = client().hasCredentials();
        cell->detailTextLabel()->setText(registered ? client().email() : "Setup");
        cell->setAccessoryType(
            registered ? TableViewCellAccessoryType::None : TableViewCellAccessoryType::DisclosureIndicator);
    } else if (kind == Section::Backup) {
        cell = table.dequeueReusableCell(kDataCell, TableViewCellStyle::Default);
        cell->textLabel().setText("Backup Now");
        cell->setAccessoryType(TableViewCellAccessoryType::None);
    } else if (kind == Section::Restore) {
        cell = restoreCell(table);
    } else {
        cell = table.dequeueReusableCell(kFileCell, TableViewCellStyle::Default);
        cell->textLabel().setText(kFileRows[std::clamp(indexPath.row, 0, int(std::size(kFileRows)) - 1)]);
    }
    cell->setBackgroundColor(Color::white(1, 0.5));
    setSmallFont(cell->textLabel());
    if (Label* detail = cell->detailTextLabel())
        setMediumFont(*detail);
    return cell;
}

std::shared_ptr<TableViewCell> SyncViewController::restoreCell(TableView& table) {
    auto cell = table.dequeueReusableCell(kRestoreCell, TableViewCellStyle::Value1);
    cell->textLabel().setText("Restore From Backup");
    const int count = client().backupCount();
    if (count < 0 && client().isBusy()) {
        auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::Gray);
        spinner->startAnimating();
        cell->setAccessoryView(spinner);
        cell->detailTextLabel()->setText("");
        cell->setAccessoryType(TableViewCellAccessoryType::None);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        return cell;
    }
    cell->setAccessoryView(nullptr);
    if (count > 0) {
        cell->detailTextLabel()->setText(std::to_string(count) + " Available");
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        cell->setSelectionStyle(TableViewCellSelectionStyle::Blue);
    } else {
        cell->detailTextLabel()->setText("No Backup");
        cell->setAccessoryType(TableViewCellAccessoryType::None);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    }
    return cell;
}

void SyncViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    const auto shown = shownSections();
    if (size_t(indexPath.section) >= shown.size())
        return;
    NavigationController* navigation = navigationController();
    switch (shown[size_t(indexPath.section)]) {
    case Section::Account:
        if (navigation)
            navigation->pushViewController(std::make_shared<SyncSetupViewController>(), true);
        break;
    case Section::Backup:
        client().backup();
        break;
    case Section::Restore:
        if (client().backupCount() >= 1 && navigation)
            navigation->pushViewController(std::make_shared<BackupListViewController>(), true);
        break;
    case Section::Files:
        if (indexPath.row == kDownloadRow)
            downloadBackupFile();
        else if (indexPath.row == kRestoreFromFileRow)
            restoreFromFile();
        else if (indexPath.row == kImportRow)
            importFromAnotherApp();
        else
            downloadCsvFiles();
        break;
    }
}

void SyncViewController::statusChanged(const platform::Notification& notification) {
    const std::string operation = text(notification.userInfo, "operation");
    if (operation == "backupcount") {
        tableView()->reloadData();
    } else if (operation == "restore" && text(notification.userInfo, "status") == "OK") {
        // The restored settings may name another theme, and the list of cars is another one.
        resetTheme(this);
        if (NavigationController* navigation = navigationController())
            navigation->popToRootViewControllerAnimated(true);
    }
}

// --- Backup files

void SyncViewController::downloadBackupFile() {
    if (auto problem = BackupFiles::download())
        showAlert(BackupServiceClient::AlertTitle, *problem);
}

void SyncViewController::restoreFromFile() {
    ApplicationHost* files = host();
    if (!files || client().isArchiveOperationRunning())
        return;
    std::weak_ptr<SyncViewController> weak = platform::sharedFrom(this);
    files->pickFile({BackupFiles::kExtension}, [weak](std::optional<PickedFile> file) {
        if (auto self = weak.lock())
            self->fileChosen(std::move(file));
        else if (file)
            platform::fs::removeItem(file->path);
    });
}

void SyncViewController::fileChosen(std::optional<PickedFile> file) {
    if (!file)
        return;
    if (auto problem = BackupFiles::problemWithFile(file->path)) {
        platform::fs::removeItem(file->path);
        showAlert(BackupServiceClient::AlertTitle, *problem);
        return;
    }
    forgetChosenFile();
    m_chosenFile = std::move(file);
    const std::string name
        = m_chosenFile->name.empty() ? "the chosen file" : "the file " + m_chosenFile->name;
    auto alert = std::make_shared<AlertView>("Confirm Restore",
        "Restoring will overwrite Vantrel data on this device. Are you sure you want to replace your data "
        "with "
        "data from "
            + name + "?",
        platform::sharedFrom(this), "Cancel", std::vector<std::string> {"Restore"});
    alert->show();
}

void SyncViewController::didDismissWithButtonIndex(AlertView&, int buttonIndex) {
    if (buttonIndex != 1 || !m_chosenFile) {
        forgetChosenFile();
        return;
    }
    const std::string path = m_chosenFile->path;
    m_chosenFile.reset();
    client().restoreFromFile(path);
}

// --- Other logbooks and CSV files

void SyncViewController::downloadCsvFiles() {
    if (auto problem = CsvFiles::download())
        showAlert(BackupServiceClient::AlertTitle, *problem);
}

void SyncViewController::importFromAnotherApp() {
    ApplicationHost* files = host();
    if (!files)
        return;
    if (client().isArchiveOperationRunning()) {
        showAlert(BackupServiceClient::AlertTitle,
            "A backup or restore is still running. Please try again when it has finished.");
        return;
    }
    std::weak_ptr<SyncViewController> weak = platform::sharedFrom(this);
    files->pickFile(LogbookImport::extensions(), [weak](std::optional<PickedFile> file) {
        if (auto self = weak.lock())
            self->fileChosenForImport(std::move(file));
        else if (file)
            platform::fs::removeItem(file->path);
    });
}

void SyncViewController::fileChosenForImport(std::optional<PickedFile> file) {
    if (!file)
        return;
    std::string problem;
    auto source = CsvFiles::read(*file, problem);
    if (!source) {
        showAlert(BackupServiceClient::AlertTitle, problem);
        return;
    }
    ImportData data = LogbookImport::read(*source, {});
    if (data.format == ImportFormat::Unknown) {
        showAlert(BackupServiceClient::AlertTitle, LogbookImport::kUnknownMessage);
        return;
    }
    if (data.recordCount() == 0 && data.problems.empty()) {
        showAlert(BackupServiceClient::AlertTitle,
            "This " + LogbookImport::formatName(data.format)
                + " file holds no fill-ups, services or repairs Vantrel could import. Nothing was changed.");
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(
            std::make_shared<ImportPreviewViewController>(std::move(*source), std::move(data)), true);
}

void SyncViewController::forgetChosenFile() {
    if (m_chosenFile)
        platform::fs::removeItem(m_chosenFile->path);
    m_chosenFile.reset();
}

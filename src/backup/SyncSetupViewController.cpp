#include "backup/SyncSetupViewController.h"

#include "backup/BackupServiceClient.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/Application.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Window.h"
#include "ui/FormCell.h"

using namespace platform::views;

namespace {

constexpr const char* kCell = "sync-setup-cell";
constexpr double kButtonHeight = 44;
constexpr double kButtonMargin = 10;

const char* const kFooters[] = {
    "A valid email address is required to register with the backup service.",
    "The device name will be used to help you identify backups. The name can be changed if you prefer.",
};

BackupServiceClient& client() {
    return BackupServiceClient::sharedClient();
}

} // namespace

SyncSetupViewController::SyncSetupViewController()
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped) {
    takeAccountFromClient();
    entries().addText(kEmailTag, m_email);
    entries().addText(kDeviceNameTag, m_deviceName);
}

void SyncSetupViewController::takeAccountFromClient() {
    m_email = client().email();
    m_deviceName = client().deviceName();
}

void SyncSetupViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("Setup");

    // The delete button sits below the form, as wide as its rows.
    const double width = tableView()->bounds().width();
    auto footer = std::make_shared<View>(Rect(0, 0, width, kButtonHeight + 2 * kButtonMargin));
    footer->setAutoresizingMask(AutoresizingFlexibleWidth);
    m_deleteButton = std::make_shared<Button>(ButtonType::Custom);
    m_deleteButton->setFrame({kButtonMargin, kButtonMargin, width - 2 * kButtonMargin, kButtonHeight});
    m_deleteButton->setAutoresizingMask(AutoresizingFlexibleWidth);
    m_deleteButton->setTag(kDeleteButtonTag);
    m_deleteButton->setTitle("Delete Registration");
    m_deleteButton->addTarget(
        action(&SyncSetupViewController::deleteButtonPressed), ControlEventTouchUpInside);
    applyThemeToButton(*m_deleteButton, true);
    footer->addSubview(m_deleteButton);
    tableView()->setTableFooterView(footer);

    setupButtons();
    m_statusObserver = platform::NotificationCenter::defaultCenter().addObserver(
        BackupServiceClient::StatusChangedNotification,
        [this](const platform::Notification& notification) { statusChanged(notification); });
}

void SyncSetupViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    if (!client().hasCredentials())
        entries().beginEditing(kEmailTag);
}

void SyncSetupViewController::setupButtons() {
    const bool registered = client().hasCredentials();
    auto button = registered ? std::make_shared<BarButtonItem>(
                      BarButtonSystemItem::Done, action(&SyncSetupViewController::barButtonPressed))
                             : std::make_shared<BarButtonItem>("Register", BarButtonItemStyle::Bordered,
                                 action(&SyncSetupViewController::barButtonPressed));
    button->setTag(registered ? kDoneTag : kRegisterTag);
    navigationItem().setRightBarButtonItem(button);
    if (m_deleteButton)
        m_deleteButton->setHidden(!registered);
}

std::shared_ptr<TableViewCell> SyncSetupViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell<FormCell<TextField>>(
        kCell, Rect(10, 11, 110, 22), Rect(110, 11, 180, 22));
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    const bool email = indexPath.section == 0;
    cell->label().setText(email ? "E-mail" : "Device Name");
    setSmallFont(cell->label());
    TextField& field = cell->value();
    const int tag = indexPath.row + indexPath.section + 1;
    field.setTag(tag);
    field.setTextAlignment(TextAlignment::Right);
    field.setBackgroundColor(Color::clear());
    field.setTextColor(firstColor());
    field.setFont(platform::graphics::Font::systemFontOfSize(16));
    field.setReturnKeyType(ReturnKeyType::Done);
    field.setKeyboardType(email ? KeyboardType::EmailAddress : KeyboardType::Default);
    field.setAutocapitalizationType(email ? AutocapitalizationType::None : AutocapitalizationType::Words);
    field.setAutocorrectionType(AutocorrectionType::No);
    entries().attach(tag, field);
    return cell;
}

std::shared_ptr<View> SyncSetupViewController::viewForFooterInSection(TableView&, int section) {
    if (section < 0 || section > 1)
        return nullptr;
    return tableFooterViewWithText(kFooters[section]);
}

void SyncSetupViewController::didSelectRowAtIndexPath(TableView&, IndexPath indexPath) {
    entries().beginEditing(indexPath.row + indexPath.section + 1);
}

// --- Buttons

void SyncSetupViewController::barButtonPressed(BarButtonItem& sender) {
    buttonPressed(sender.tag());
}

void SyncSetupViewController::deleteButtonPressed() {
    buttonPressed(kDeleteButtonTag);
}

void SyncSetupViewController::buttonPressed(int tag) {
    entries().resign();
    switch (tag) {
    case kDoneTag:
        if (m_email != client().email()) {
            registerDevice();
            return;
        }
        // The name travels with the next backup; the service need not be asked.
        client().saveCredentials(m_email, m_deviceName);
        if (NavigationController* navigation = navigationController())
            navigation->popViewControllerAnimated(true);
        return;
    case kRegisterTag:
        registerDevice();
        return;
    case kDeleteButtonTag:
        std::make_shared<AlertView>("Confirm Deletion",
            "Are you sure you want to delete the backup service registration data from this device?",
            platform::sharedFrom(this), "Keep Data", std::vector<std::string> {"Delete Data"})
            ->show();
        return;
    default:
        return;
    }
}

void SyncSetupViewController::registerDevice() {
    if (!isInputValid() || client().isBusy())
        return;
    m_registering = true;
    client().registerWithEmail(m_email, m_deviceName);
}

bool SyncSetupViewController::isInputValid() {
    if (m_email.empty()) {
        showAlert("Error", "An email address is required.");
        return false;
    }
    if (m_deviceName.empty()) {
        showAlert("Error", "Device name is required.");
        return false;
    }
    return true;
}

void SyncSetupViewController::didDismissWithButtonIndex(AlertView&, int buttonIndex) {
    if (buttonIndex != 1)
        return;
    client().clearCredentials();
    takeAccountFromClient();
    tableView()->reloadData();
    setupButtons();
}

// --- The client

void SyncSetupViewController::statusChanged(const platform::Notification& notification) {
    if (!m_registering)
        return;
    auto operation = notification.userInfo.find("operation");
    const std::string name = operation == notification.userInfo.end() ? "" : operation->second.string();
    if (name != "registerdevice" && name != "connect")
        return;
    m_registering = false;
    client().refreshBackupCount();
    if (isOnTop()) {
        if (NavigationController* navigation = navigationController())
            navigation->popViewControllerAnimated(true);
        return;
    }
    // Covered (by the deletion's confirmation, say): the form shows the outcome instead.
    takeAccountFromClient();
    tableView()->reloadData();
    setupButtons();
}

bool SyncSetupViewController::isOnTop() const {
    NavigationController* navigation = navigationController();
    if (!navigation || navigation->topViewController() != this)
        return false;
    Window* window = Application::sharedApplication().keyWindow();
    return !window || !window->visibleAlert();
}

#include "platform/views/DemoScreens.h"

#include "platform/base/SharedFrom.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"

namespace vantrel::test {

using namespace platform::views;

DemoListViewController::DemoListViewController(
    std::shared_ptr<EventLog> log, std::vector<std::string> cars, TableViewStyle style)
    : cars(std::move(cars))
    , m_log(std::move(log))
    , m_style(style) {
    setTitle("Garage");
}

void DemoListViewController::loadView() {
    m_table = std::make_shared<TableView>(Rect(0, 0, 320, 416), m_style);
    m_table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto self = platform::sharedFrom(this);
    m_table->setDataSource(self);
    m_table->setDelegate(self);
    setView(m_table);
}

void DemoListViewController::viewDidLoad() {
    m_log->push_back("list viewDidLoad");
    navigationItem().setRightBarButtonItem(editButtonItem());
    navigationItem().setLeftBarButtonItem(std::make_shared<BarButtonItem>(BarButtonSystemItem::Add, [this] {
        lastForm = std::make_shared<DemoFormViewController>(m_log, "");
        navigationController()->pushViewController(lastForm, true);
    }));
}

void DemoListViewController::viewWillAppear(bool) {
    m_log->push_back("list viewWillAppear");
    setTitle("Garage");
    m_table->reloadData();
}

void DemoListViewController::viewDidAppear(bool) {
    m_log->push_back("list viewDidAppear");
}

void DemoListViewController::viewWillDisappear(bool) {
    m_log->push_back("list viewWillDisappear");
    // The next screen's back button reads this.
    setTitle("Cars");
}

void DemoListViewController::viewDidDisappear(bool) {
    m_log->push_back("list viewDidDisappear");
}

void DemoListViewController::setEditing(bool editing, bool animated) {
    ViewController::setEditing(editing, animated);
    m_table->setEditing(editing, animated);
}

int DemoListViewController::numberOfRowsInSection(TableView&, int section) {
    return section == 0 ? int(cars.size()) : 1;
}

std::shared_ptr<TableViewCell> DemoListViewController::cellForRowAtIndexPath(TableView& table, IndexPath ip) {
    if (ip.section == 1) {
        auto cell = table.dequeueReusableCellWithIdentifier("Setting");
        if (!cell)
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Value1, "Setting");
        cell->textLabel().setText("Reminders");
        cell->detailTextLabel()->setText("Daily");
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    auto cell = table.dequeueReusableCellWithIdentifier("Car");
    if (!cell)
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "Car");
    cell->textLabel().setText(cars[ip.row]);
    cell->detailTextLabel()->setText(
        "Row " + std::to_string(ip.row + 1) + " of " + std::to_string(cars.size()));
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

std::optional<std::string> DemoListViewController::titleForHeaderInSection(TableView&, int section) {
    return section == 0 ? "Cars" : "Settings";
}

bool DemoListViewController::canEditRowAtIndexPath(TableView&, IndexPath ip) {
    return ip.section == 0;
}

void DemoListViewController::commitEditingStyle(
    TableView& table, TableViewCellEditingStyle style, IndexPath ip) {
    if (style != TableViewCellEditingStyle::Delete)
        return;
    m_log->push_back("delete " + cars[ip.row]);
    cars.erase(cars.begin() + ip.row);
    table.deleteRowsAtIndexPaths({ip}, TableViewRowAnimation::Fade);
}

void DemoListViewController::didSelectRowAtIndexPath(TableView& table, IndexPath ip) {
    table.deselectRowAtIndexPath(ip, true);
    if (ip.section != 0)
        return;
    m_log->push_back("select " + cars[ip.row]);
    lastForm = std::make_shared<DemoFormViewController>(m_log, cars[ip.row]);
    navigationController()->pushViewController(lastForm, true);
}

// ---- Form

DemoFormViewController::DemoFormViewController(std::shared_ptr<EventLog> log, std::string name)
    : name(std::move(name))
    , m_log(std::move(log)) { }

void DemoFormViewController::loadView() {
    m_table = std::make_shared<TableView>(Rect(0, 0, 320, 416), TableViewStyle::Grouped);
    m_table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto self = platform::sharedFrom(this);
    m_table->setDataSource(self);
    m_table->setDelegate(self);
    setView(m_table);

    nameField = std::make_shared<TextField>(Rect(100, 10, 180, 24));
    nameField->setPlaceholder("Vehicle's Name");
    nameField->setFont(Font::systemFontOfSize(17));
    nameField->setReturnKeyType(ReturnKeyType::Done);
    nameField->setClearButtonMode(TextFieldViewMode::WhileEditing);
    nameField->setDelegate(self);
    odometerField = std::make_shared<TextField>(Rect(100, 10, 180, 24));
    odometerField->setPlaceholder("0");
    odometerField->setFont(Font::systemFontOfSize(17));
    odometerField->setTextAlignment(TextAlignment::Right);
    odometerField->setKeyboardType(KeyboardType::NumberPad);
    odometerField->setReturnKeyType(ReturnKeyType::Done);
    odometerField->setDelegate(self);
    odometerField->addTarget([this] { ++editingChanges; }, ControlEventEditingChanged);
    remindersSwitch = std::make_shared<Switch>(Rect(196, 8, 0, 0));
    remindersSwitch->addTarget([this](Control& sender) { reminders = static_cast<Switch&>(sender).isOn(); },
        ControlEventValueChanged);
}

void DemoFormViewController::viewDidLoad() {
    m_log->push_back("form viewDidLoad");
    setTitle(name.empty() ? "Add Car" : name);
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Save, [this] { save(); }));
    auto& center = platform::NotificationCenter::defaultCenter();
    for (const char* name : {kKeyboardWillShowNotification, kKeyboardDidShowNotification,
             kKeyboardWillHideNotification, kKeyboardDidHideNotification}) {
        std::string event = name;
        m_observers.push_back(center.addObserver(event, [this, event](const platform::Notification& n) {
            keyboardEvents.push_back(event);
            keyboardFrames.push_back(keyboardFrameFromUserInfo(n.userInfo));
        }));
    }
}

void DemoFormViewController::viewWillAppear(bool) {
    m_log->push_back("form viewWillAppear");
    nameField->setText(name);
    odometerField->setText(odometer >= 0 ? std::to_string(odometer) : "");
    remindersSwitch->setOn(reminders);
}

void DemoFormViewController::viewDidAppear(bool) {
    m_log->push_back("form viewDidAppear");
}

void DemoFormViewController::viewWillDisappear(bool) {
    m_log->push_back("form viewWillDisappear");
}

void DemoFormViewController::viewDidDisappear(bool) {
    m_log->push_back("form viewDidDisappear");
}

void DemoFormViewController::save() {
    view()->endEditing(true);
    auto alert = std::make_shared<AlertView>("Save Car", "Save " + name + "?", platform::sharedFrom(this),
        "Cancel", std::vector<std::string> {"Save"});
    alert->setTag(7);
    alert->show();
}

int DemoFormViewController::numberOfRowsInSection(TableView&, int section) {
    return section == 0 ? 2 : 1;
}

std::shared_ptr<TableViewCell> DemoFormViewController::cellForRowAtIndexPath(TableView&, IndexPath ip) {
    static const char* titles[2][2] = {{"Name", "Odometer"}, {"Reminders", ""}};
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    auto label = std::make_shared<Label>(Rect(10, 0, 90, 43));
    label->setFont(Font::boldSystemFontOfSize(15));
    label->setText(titles[ip.section][ip.row]);
    cell->contentView().addSubview(label);
    if (ip.section == 0)
        cell->contentView().addSubview(ip.row == 0 ? nameField : odometerField);
    else
        cell->contentView().addSubview(remindersSwitch);
    return cell;
}

std::optional<std::string> DemoFormViewController::titleForHeaderInSection(TableView&, int section) {
    return section == 0 ? "Vehicle" : "Service Alerts";
}

std::optional<std::string> DemoFormViewController::titleForFooterInSection(TableView&, int section) {
    if (section == 1)
        return "Reminders repeat every day until the service is recorded.";
    return std::nullopt;
}

void DemoFormViewController::didSelectRowAtIndexPath(TableView& table, IndexPath ip) {
    table.deselectRowAtIndexPath(ip, false);
    if (ip.section == 0)
        (ip.row == 0 ? nameField : odometerField)->becomeFirstResponder();
}

bool DemoFormViewController::shouldChangeCharactersInRange(
    TextField& field, TextRange, const std::string& replacement) {
    if (&field == odometerField.get()) {
        // Digits only, at most 7 of them.
        for (char c : replacement) {
            if (c < '0' || c > '9')
                return false;
        }
        return replacement.empty() || field.text().size() < 7;
    }
    return true;
}

void DemoFormViewController::textFieldDidBeginEditing(TextField& field) {
    m_log->push_back(&field == nameField.get() ? "begin name" : "begin odometer");
}

void DemoFormViewController::textFieldDidEndEditing(TextField& field) {
    if (&field == nameField.get()) {
        name = field.text();
        m_log->push_back("end name");
    } else {
        odometer = field.text().empty() ? -1 : std::stoi(field.text());
        m_log->push_back("end odometer");
    }
}

bool DemoFormViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return true;
}

void DemoFormViewController::clickedButtonAtIndex(AlertView& alert, int index) {
    m_log->push_back("alert " + std::to_string(alert.tag()) + " clicked " + std::to_string(index));
    if (index == 1)
        saved = true;
}

void DemoFormViewController::didDismissWithButtonIndex(AlertView& alert, int index) {
    m_log->push_back("alert " + std::to_string(alert.tag()) + " dismissed " + std::to_string(index));
    if (saved && navigationController())
        navigationController()->popViewControllerAnimated(true);
}

} // namespace vantrel::test

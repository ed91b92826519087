#include "screens/EditServiceViewController.h"

#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/NavigationController.h"
#include "ui/FormCell.h"

using namespace platform::views;

namespace {

constexpr const char* kEmptyCell = "empty-cell";

} // namespace

EditServiceViewController::EditServiceViewController(const Service& service)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped)
    , m_service(service) {
    FormEntries& form = entries();
    form.addText(kNameTag, m_service.name);
    // Limited after the change, so that a paste cannot bring in an interval that would carry
    // the due reading past what its column holds.
    form.addWholeNumber(kDistanceTag, m_service.frequencyInMiles, kDistanceDigits);
    form.addWholeNumber(kMonthsTag, m_service.frequencyInMonths, kMonthsDigits);
}

void EditServiceViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle(m_service.serviceID != 0 ? m_service.name : "New Service");
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Save, action(&EditServiceViewController::saveButtonPressed)));
}

void EditServiceViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    entries().beginEditing(kNameTag);
}

std::shared_ptr<TableViewCell> EditServiceViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    int tag = indexPath.section + indexPath.row + 1;
    if (tag < kNameTag || tag > kMonthsTag || indexPath.section > 1)
        return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
    auto cell = table.dequeueReusableCell<FormCell<TextField>>(
        kCellIdentifier, Rect(10, 11, 130, 22), Rect(140, 11, 148, 22));
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->label().setTag(kLabelTag);
    setSmallFont(cell->label());
    TextField& field = cell->value();
    field.setTag(tag);
    field.setTextAlignment(TextAlignment::Right);
    field.setFont(platform::graphics::Font::systemFontOfSize(16));
    field.setTextColor(firstColor());
    field.setBackgroundColor(Color::clear());
    field.setReturnKeyType(ReturnKeyType::Done);
    switch (tag) {
    case kNameTag:
        cell->label().setText("Service Name");
        field.setKeyboardType(KeyboardType::ASCIICapable);
        break;
    case kDistanceTag:
        cell->label().setText(SettingsManager::sharedManager().distanceUnitName());
        field.setKeyboardType(KeyboardType::NumberPad);
        break;
    default:
        cell->label().setText("Months");
        field.setKeyboardType(KeyboardType::NumberPad);
        break;
    }
    entries().attach(tag, field);
    return cell;
}

std::shared_ptr<View> EditServiceViewController::viewForHeaderInSection(TableView&, int section) {
    return section == 1 ? tableHeaderViewWithText("Service Interval") : nullptr;
}

void EditServiceViewController::didSelectRowAtIndexPath(TableView&, IndexPath indexPath) {
    entries().beginEditing(indexPath.section + indexPath.row + 1);
}

void EditServiceViewController::saveButtonPressed() {
    entries().resign();
    if (m_service.name.empty()) {
        showAlert("Error", "Service name is required");
        return;
    }
    if (m_service.frequencyInMiles <= 0) {
        showAlert("Error", "Interval in miles is required");
        return;
    }
    if (m_service.frequencyInMonths <= 0) {
        showAlert("Error", "Interval in months is required");
        return;
    }
    bool stored = false;
    if (m_service.serviceID == 0) {
        // A new service: the store adds it to the car with a record not yet performed.
        stored = DB::saveService(m_service);
    } else {
        // Only the name and the interval changed. Saving the car's record again would also
        // raise the car's odometer to its reading, even with odometer updates turned off.
        Service type = m_service;
        type.vehicleID = 0;
        stored = DB::saveService(type);
    }
    if (!stored) {
        showSaveFailedAlert();
        return;
    }
    platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

#include "screens/RecordServiceViewController.h"

#include <algorithm>

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/Clock.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/NavigationController.h"
#include "ui/FormCell.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"

using namespace platform::views;

namespace {

constexpr const char* kEmptyCell = "empty-cell";
const char* const kCellIdentifiers[] = {"date-cell", "odometer-cell", "cost-cell", "notes-cell"};
const char* const kLabels[] = {"Date", "Odometer", "Cost", "Notes"};

const Rect kLabelFrame {10, 11, 100, 22};
const Rect kValueLabelFrame {90, 11, 180, 22};
const Rect kCostFrame {110, 11, 178, 22};
// Six digits at the height of a row's text, right-aligned like the other values.
const Rect kOdometerFrame {168, 10, 120, 0};

} // namespace

RecordServiceViewController::RecordServiceViewController(const Service& service, bool createNew)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped)
    , m_service(service.copy()) {
    if (createNew) {
        // A stored performance stays as it is; the new one is inserted beside it.
        if (m_service.datePerformed)
            m_service.vehicleServiceID = 0;
        m_service.datePerformed = platform::Clock::now();
        m_service.odometer = -1;
        m_service.cost = 0;
        m_service.notes = "";
    }
    FormEntries& form = entries();
    form.addOdometer(kOdometerRow, m_service.odometer);
    form.addMoney(kCostRow, m_service.cost);
}

void RecordServiceViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle(m_service.name);
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Save, action(&RecordServiceViewController::save)));
}

void RecordServiceViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    // Recording starts with the reading.
    entries().beginEditing(kOdometerRow);
}

OdometerView* RecordServiceViewController::odometerView() {
    TextField* entry = entries().field(kOdometerRow);
    return entry ? dynamic_cast<OdometerView*>(entry->superview()) : nullptr;
}

std::shared_ptr<TableViewCell> RecordServiceViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    int row = indexPath.row;
    if (indexPath.section != 0 || row < kDateRow || row > kNotesRow)
        return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
    const char* identifier = kCellIdentifiers[row];
    std::shared_ptr<TableViewCell> cell;
    Label* title = nullptr;
    switch (row) {
    case kOdometerRow: {
        auto odometer
            = table.dequeueReusableCell<FormCell<OdometerView>>(identifier, kLabelFrame, kOdometerFrame);
        odometer->setSelectionStyle(TableViewCellSelectionStyle::None);
        odometer->value().setEditable(true);
        odometer->value().setAutoresizingMask(AutoresizingFlexibleLeftMargin);
        entries().attach(kOdometerRow, odometer->value());
        title = &odometer->label();
        cell = odometer;
        break;
    }
    case kCostRow: {
        auto cost = table.dequeueReusableCell<FormCell<TextField>>(identifier, kLabelFrame, kCostFrame);
        cost->setSelectionStyle(TableViewCellSelectionStyle::None);
        TextField& field = cost->value();
        field.setTextAlignment(TextAlignment::Right);
        field.setFont(platform::graphics::Font::systemFontOfSize(16));
        field.setTextColor(firstColor());
        field.setBackgroundColor(Color::clear());
        field.setKeyboardType(KeyboardType::NumberPad);
        field.setReturnKeyType(ReturnKeyType::Default);
        field.setAutoresizingMask(AutoresizingFlexibleLeftMargin);
        entries().attach(kCostRow, field);
        title = &cost->label();
        cell = cost;
        break;
    }
    default: {
        auto value = table.dequeueReusableCell<FormCell<Label>>(identifier, kLabelFrame, kValueLabelFrame);
        value->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        std::string text;
        if (row == kDateRow) {
            text = m_service.datePerformed ? FormatDate(*m_service.datePerformed, DateStyle::Medium) : "";
        } else {
            // Notes show as one line.
            text = m_service.notes;
            std::replace(text.begin(), text.end(), '\n', ' ');
        }
        value->value().setText(text);
        value->value().setTextAlignment(TextAlignment::Right);
        setMediumFont(value->value());
        title = &value->label();
        cell = value;
        break;
    }
    }
    cell->setTag(row);
    title->setText(kLabels[row]);
    setSmallFont(*title);
    return cell;
}

void RecordServiceViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    NavigationController* navigation = navigationController();
    switch (indexPath.row) {
    case kDateRow: {
        entries().resign();
        auto editor = std::make_shared<GenericEditViewController>(
            GenericEditViewController::DateEditor, EditorValue(m_service.datePerformed));
        editor->setTitle("Service Date");
        editor->setDelegate(platform::sharedFrom(this));
        if (navigation)
            navigation->pushViewController(editor, true);
        break;
    }
    case kOdometerRow:
    case kCostRow:
        entries().beginEditing(indexPath.row);
        break;
    case kNotesRow: {
        entries().resign();
        auto notes = std::make_shared<NotesViewController>();
        notes->setDelegate(platform::sharedFrom(this));
        notes->setTitle("Notes");
        if (navigation)
            navigation->pushViewController(notes, true);
        notes->notesView().setText(m_service.notes);
        break;
    }
    default:
        break;
    }
}

void RecordServiceViewController::didSelectValue(ViewController& editor, const EditorValue& value, int) {
    if (dynamic_cast<GenericEditViewController*>(&editor))
        value.storeDateInto(m_service.datePerformed);
    else if (dynamic_cast<NotesViewController*>(&editor))
        m_service.notes = value.text();
    tableView()->reloadData();
}

void RecordServiceViewController::save() {
    entries().resign();
    if (m_service.odometer < 0) {
        showAlert("Error", "Odometer reading is required.");
        return;
    }
    if (!DB::saveVehicleService(m_service, SettingsManager::sharedManager().autoUpdateOdometer())) {
        showSaveFailedAlert();
        return;
    }
    platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

#include "screens/RecordRepairViewController.h"

#include <algorithm>

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/Clock.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/NavigationController.h"
#include "ui/FormCell.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"

using namespace platform::views;

namespace {

constexpr const char* kEmptyCell = "empty-cell";
const char* const kIdentifiers[] = {"name-cell", "date-cell", "odometer-cell", "cost-cell", "notes-cell"};
const char* const kLabels[] = {"Repair Name", "Date", "Odometer", "Cost", "Notes"};

// Where the views of a row lie (a grouped cell's content is 300 points wide).
const Rect kLabelFrame {15, 0, 195, 41};
// The value labels end short of the disclosure indicator.
const Rect kValueLabelFrame {80, 0, 190, 41};
const Rect kFieldFrame {100, 10, 180, 24};
const Rect kOdometerFrame {160, 10, 120, 0};

} // namespace

RecordRepairViewController::RecordRepairViewController(const Repair& repair, bool createNew)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped)
    , m_repair(repair.copy()) {
    if (createNew) {
        if (m_repair.datePerformed)
            m_repair.repairID = 0;
        m_repair.datePerformed = platform::Clock::now();
        m_repair.odometer = -1;
        m_repair.cost = 0;
        m_repair.notes = "";
    }
    FormEntries& form = entries();
    form.addText(kNameRow, m_repair.name);
    form.addOdometer(kOdometerRow, m_repair.odometer);
    form.addMoney(kCostRow, m_repair.cost);
    form.setLift(kOdometerRow, kLift);
    form.setLift(kCostRow, kLift);
}

void RecordRepairViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle(m_repair.repairID >= 1 ? m_repair.name : "Record Repair");
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Save, action(&RecordRepairViewController::save)));
}

void RecordRepairViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    if (m_repair.name.empty())
        entries().beginEditing(kNameRow);
}

OdometerView* RecordRepairViewController::odometerView() {
    tableView()->layoutIfNeeded();
    auto* cell = dynamic_cast<FormCell<OdometerView>*>(
        tableView()->cellForRowAtIndexPath(IndexPath::forRow(kOdometerRow, 0)));
    return cell ? &cell->value() : nullptr;
}

std::shared_ptr<TableViewCell> RecordRepairViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const int row = indexPath.row;
    if (indexPath.section != 0 || row < 0 || row >= kRowCount)
        return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
    std::shared_ptr<TableViewCell> made;
    if (row == kOdometerRow) {
        auto cell = table.dequeueReusableCell<FormCell<OdometerView>>(
            kIdentifiers[row], kLabelFrame, kOdometerFrame);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->value().setEditable(true);
        entries().attach(kOdometerRow, cell->value());
        setSmallFont(cell->label());
        cell->label().setText(kLabels[row]);
        made = cell;
    } else if (row == kNameRow || row == kCostRow) {
        auto cell
            = table.dequeueReusableCell<FormCell<TextField>>(kIdentifiers[row], kLabelFrame, kFieldFrame);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        TextField& field = cell->value();
        field.setTextAlignment(TextAlignment::Right);
        field.setFont(platform::graphics::Font::systemFontOfSize(16));
        field.setTextColor(firstColor());
        field.setBackgroundColor(Color::clear());
        if (row == kNameRow) {
            field.setKeyboardType(KeyboardType::ASCIICapable);
            field.setReturnKeyType(ReturnKeyType::Done);
        } else {
            field.setKeyboardType(KeyboardType::NumberPad);
            field.setReturnKeyType(ReturnKeyType::Default);
        }
        entries().attach(row, field);
        setSmallFont(cell->label());
        cell->label().setText(kLabels[row]);
        made = cell;
    } else {
        auto cell
            = table.dequeueReusableCell<FormCell<Label>>(kIdentifiers[row], kLabelFrame, kValueLabelFrame);
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        std::string text;
        if (row == kDateRow)
            text = m_repair.datePerformed ? FormatDate(*m_repair.datePerformed, DateStyle::Medium) : "";
        else {
            // Notes show as one line.
            text = m_repair.notes;
            std::replace(text.begin(), text.end(), '\n', ' ');
        }
        cell->value().setText(text);
        cell->value().setTextAlignment(TextAlignment::Right);
        setMediumFont(cell->value());
        setSmallFont(cell->label());
        cell->label().setText(kLabels[row]);
        made = cell;
    }
    made->setTag(row);
    return made;
}

void RecordRepairViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    NavigationController* navigation = navigationController();
    switch (indexPath.row) {
    case kNameRow:
    case kOdometerRow:
    case kCostRow:
        entries().beginEditing(indexPath.row);
        return;
    case kDateRow: {
        entries().resign();
        auto editor = std::make_shared<GenericEditViewController>(
            GenericEditViewController::DateEditor, EditorValue(m_repair.datePerformed));
        editor->setTitle("Repair Date");
        editor->setDelegate(platform::sharedFrom(this));
        if (navigation)
            navigation->pushViewController(editor, true);
        return;
    }
    case kNotesRow: {
        entries().resign();
        auto notes = std::make_shared<NotesViewController>();
        notes->setDelegate(platform::sharedFrom(this));
        notes->setTitle("Notes");
        if (navigation)
            navigation->pushViewController(notes, true);
        notes->notesView().setText(m_repair.notes);
        return;
    }
    default:
        return;
    }
}

void RecordRepairViewController::didSelectValue(ViewController& editor, const EditorValue& value, int) {
    if (dynamic_cast<GenericEditViewController*>(&editor))
        value.storeDateInto(m_repair.datePerformed);
    else if (dynamic_cast<NotesViewController*>(&editor))
        m_repair.notes = value.text();
    tableView()->reloadData();
}

void RecordRepairViewController::save() {
    entries().resign();
    if (m_repair.odometer < 0) {
        showAlert("Error", "Odometer reading is required.");
        return;
    }
    if (!DB::saveRepair(m_repair, SettingsManager::sharedManager().autoUpdateOdometer())) {
        showSaveFailedAlert();
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

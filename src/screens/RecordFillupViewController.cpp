#include "screens/RecordFillupViewController.h"

#include <algorithm>

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/Clock.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/NavigationController.h"
#include "ui/FormCell.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"
#include "ui/SelectionViewController.h"

using namespace platform::views;

namespace {

constexpr const char* kEmptyCell = "empty-cell";
const char* const kIdentifiers[] = {"date-cell", "odometer-cell", "quantity-cell", "cost-per-unit-cell",
    "total-cost-cell", "type-cell", "notes-cell"};
const char* const kTypeNames[] = {"Full", "Partial", "Reset"};

// Where the views of a row lie (a grouped cell's content is 300 points wide).
const Rect kLabelFrame {15, 0, 195, 41};
// The value labels end short of the disclosure indicator.
const Rect kValueLabelFrame {80, 0, 190, 41};
const Rect kFieldFrame {100, 10, 180, 24};
const Rect kOdometerFrame {160, 10, 120, 0};

std::string rowTitle(int row) {
    bool liters = SettingsManager::sharedManager().fuelUnit() == kFuelLiter;
    switch (row) {
    case RecordFillupViewController::kDateRow:
        return "Date";
    case RecordFillupViewController::kOdometerRow:
        return "Odometer";
    case RecordFillupViewController::kQuantityRow:
        return liters ? "Liters" : "Gallons";
    case RecordFillupViewController::kCostPerUnitRow:
        return liters ? "Cost Per Liter" : "Cost Per Gallon";
    case RecordFillupViewController::kTotalCostRow:
        return "Total Cost";
    case RecordFillupViewController::kTypeRow:
        return "Type";
    default:
        return "Notes";
    }
}

} // namespace

RecordFillupViewController::RecordFillupViewController(const Fillup& fillup, bool createNew)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped)
    , m_fillup(fillup.copy()) {
    if (createNew) {
        if (m_fillup.date)
            m_fillup.fillupID = 0;
        m_fillup.date = platform::Clock::now();
        m_fillup.odometer = -1;
        m_fillup.quantity = 0;
        m_fillup.costPerUnit = 0;
        m_fillup.units = SettingsManager::sharedManager().fuelUnit();
        m_fillup.notes = "";
    }
    FormEntries& form = entries();
    form.addOdometer(kOdometerRow, m_fillup.odometer);
    form.addDecimal(kQuantityRow, m_fillup.quantity, 3);
    form.addMoney(kCostPerUnitRow, m_fillup.costPerUnit);
    form.addMoney(
        kTotalCostRow, [this] { return m_fillup.quantity * m_fillup.costPerUnit; },
        [this](double total) {
            // Without a quantity a total says nothing about the price.
            if (m_fillup.quantity > 0)
                m_fillup.costPerUnit = total / m_fillup.quantity;
        });
    form.setLift(kCostPerUnitRow, kLift);
    form.setLift(kTotalCostRow, kLift);
    form.setChangeHandler([this](int key) { entryChanged(key); });
}

void RecordFillupViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("Fill-up");
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Save, action(&RecordFillupViewController::save)));
}

void RecordFillupViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    if (m_fillup.odometer < 1)
        entries().beginEditing(kOdometerRow);
}

std::string RecordFillupViewController::typeName(int type) {
    // Any code beyond Partial counts as a Reset, as the fuel list reads it.
    return kTypeNames[type == kFillupFull ? 0 : type == kFillupPartial ? 1 : 2];
}

OdometerView* RecordFillupViewController::odometerView() {
    tableView()->layoutIfNeeded();
    auto* cell = dynamic_cast<FormCell<OdometerView>*>(
        tableView()->cellForRowAtIndexPath(IndexPath::forRow(kOdometerRow, 0)));
    return cell ? &cell->value() : nullptr;
}

void RecordFillupViewController::entryChanged(int key) {
    FormEntries& form = entries();
    // The entry being typed answers what it shows; the others, the record's values.
    double quantity = form.numberValue(kQuantityRow);
    if (key == kQuantityRow || key == kCostPerUnitRow) {
        if (TextField* total = form.field(kTotalCostRow))
            total->setText(FormatCurrency(quantity * form.numberValue(kCostPerUnitRow)));
    } else if (key == kTotalCostRow && quantity > 0) {
        if (TextField* price = form.field(kCostPerUnitRow))
            price->setText(FormatCurrency(form.numberValue(kTotalCostRow) / quantity));
    }
}

std::shared_ptr<TableViewCell> RecordFillupViewController::cellForEntry(TableView& table, int row) {
    if (row == kOdometerRow) {
        auto cell = table.dequeueReusableCell<FormCell<OdometerView>>(
            kIdentifiers[row], kLabelFrame, kOdometerFrame);
        cell->value().setEditable(true);
        entries().attach(kOdometerRow, cell->value());
        cell->label().setText(rowTitle(row));
        setSmallFont(cell->label());
        return cell;
    }
    auto cell = table.dequeueReusableCell<FormCell<TextField>>(kIdentifiers[row], kLabelFrame, kFieldFrame);
    TextField& field = cell->value();
    field.setTextAlignment(TextAlignment::Right);
    field.setFont(platform::graphics::Font::systemFontOfSize(16));
    field.setTextColor(firstColor());
    field.setBackgroundColor(Color::clear());
    field.setKeyboardType(KeyboardType::NumberPad);
    field.setReturnKeyType(ReturnKeyType::Default);
    entries().attach(row, field);
    cell->label().setText(rowTitle(row));
    setSmallFont(cell->label());
    return cell;
}

std::shared_ptr<TableViewCell> RecordFillupViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const int row = indexPath.row;
    if (indexPath.section != 0 || row < 0 || row >= kRowCount)
        return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
    std::shared_ptr<TableViewCell> made;
    if (row >= kOdometerRow && row <= kTotalCostRow) {
        made = cellForEntry(table, row);
        made->setSelectionStyle(TableViewCellSelectionStyle::None);
    } else {
        auto cell
            = table.dequeueReusableCell<FormCell<Label>>(kIdentifiers[row], kLabelFrame, kValueLabelFrame);
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        std::string text;
        if (row == kDateRow) {
            text = m_fillup.date ? FormatDate(*m_fillup.date, DateStyle::Medium) : "";
        } else if (row == kTypeRow) {
            text = typeName(m_fillup.type);
        } else {
            // Notes show as one line.
            text = m_fillup.notes;
            std::replace(text.begin(), text.end(), '\n', ' ');
        }
        cell->value().setText(text);
        cell->value().setTextAlignment(TextAlignment::Right);
        setMediumFont(cell->value());
        cell->label().setText(rowTitle(row));
        setSmallFont(cell->label());
        made = cell;
    }
    made->setTag(row);
    return made;
}

void RecordFillupViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    if (row >= kOdometerRow && row <= kTotalCostRow) {
        entries().beginEditing(row);
        return;
    }
    entries().resign();
    auto self = platform::sharedFrom(this);
    std::shared_ptr<ViewController> editor;
    if (row == kDateRow) {
        auto date = std::make_shared<GenericEditViewController>(
            GenericEditViewController::DateEditor, EditorValue(m_fillup.date));
        date->setDelegate(self);
        date->setTitle("Fillup Date");
        editor = date;
    } else if (row == kTypeRow) {
        auto types = std::make_shared<SelectionViewController>(
            std::vector<std::string>(std::begin(kTypeNames), std::end(kTypeNames)), typeName(m_fillup.type));
        types->setAllowAddNew(false);
        types->setDelegate(self);
        types->setTitle("Fill-up Type");
        editor = types;
    } else if (row == kNotesRow) {
        auto notes = std::make_shared<NotesViewController>();
        notes->setDelegate(self);
        notes->setTitle("Notes");
        if (NavigationController* navigation = navigationController())
            navigation->pushViewController(notes, true);
        notes->notesView().setText(m_fillup.notes);
        return;
    }
    if (NavigationController* navigation = navigationController(); navigation && editor)
        navigation->pushViewController(editor, true);
}

void RecordFillupViewController::didSelectValue(ViewController& editor, const EditorValue& value, int index) {
    if (dynamic_cast<GenericEditViewController*>(&editor))
        value.storeDateInto(m_fillup.date);
    else if (dynamic_cast<NotesViewController*>(&editor))
        m_fillup.notes = value.text();
    else if (dynamic_cast<SelectionViewController*>(&editor) && index >= kFillupFull && index <= kFillupReset)
        m_fillup.type = index;
    tableView()->reloadData();
}

void RecordFillupViewController::save() {
    entries().resign();
    if (m_fillup.odometer < 0) {
        showAlert("Error", "Odometer reading is required.");
        return;
    }
    if (m_fillup.quantity == 0) {
        showAlert("Error", "Quantity is required.");
        return;
    }
    if (!DB::saveFillup(m_fillup, SettingsManager::sharedManager().autoUpdateOdometer())) {
        showSaveFailedAlert();
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

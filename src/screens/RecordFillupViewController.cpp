#include "screens/RecordFillupViewController.h"

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/Clock.h"
#include "platform/base/SharedFrom.h"
#include "ui/OdometerView.h"
#include "ui/SelectionViewController.h"

using namespace platform::views;

namespace {

const char* const kIdentifiers[] = {"date-cell", "odometer-cell", "quantity-cell", "cost-per-unit-cell",
    "total-cost-cell", "type-cell", "notes-cell"};
const char* const kTypeNames[] = {"Full", "Partial", "Reset"};

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
    : RecordFormViewController(kLayoutName, kStandardFrames, kOdometerRow)
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
    RecordFormViewController::viewDidLoad();
    setTitle("Fill-up");
}

void RecordFillupViewController::viewDidAppear(bool animated) {
    RecordFormViewController::viewDidAppear(animated);
    if (m_fillup.odometer < 1)
        entries().beginEditing(kOdometerRow);
}

std::string RecordFillupViewController::typeName(int type) {
    // Any code beyond Partial counts as a Reset, as the fuel list reads it.
    return kTypeNames[type == kFillupFull ? 0 : type == kFillupPartial ? 1 : 2];
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

std::shared_ptr<TableViewCell> RecordFillupViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const int row = indexPath.row;
    if (indexPath.section != 0 || row < 0 || row >= kRowCount)
        return emptyCell(table);
    switch (row) {
    case kDateRow:
        return editorCell(table, row, kIdentifiers[row], rowTitle(row), dateText());
    case kOdometerRow:
        return odometerCell(table, row, kIdentifiers[row], rowTitle(row));
    case kTypeRow:
        return editorCell(table, row, kIdentifiers[row], rowTitle(row), typeName(m_fillup.type));
    case kNotesRow:
        return editorCell(table, row, kIdentifiers[row], rowTitle(row), notesText());
    default:
        return entryCell(table, row, kIdentifiers[row], rowTitle(row));
    }
}

void RecordFillupViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    switch (indexPath.row) {
    case kDateRow:
        editDate("Fillup Date");
        return;
    case kTypeRow: {
        entries().resign();
        auto types = std::make_shared<SelectionViewController>(
            std::vector<std::string>(std::begin(kTypeNames), std::end(kTypeNames)), typeName(m_fillup.type));
        types->setAllowAddNew(false);
        types->setDelegate(platform::sharedFrom(this));
        types->setTitle("Fill-up Type");
        pushEditor(types);
        return;
    }
    case kNotesRow:
        editNotes();
        return;
    default:
        entries().beginEditing(indexPath.row);
        return;
    }
}

void RecordFillupViewController::didSelectValue(ViewController& editor, const EditorValue& value, int index) {
    if (dynamic_cast<SelectionViewController*>(&editor) && index >= kFillupFull && index <= kFillupReset)
        m_fillup.type = index;
    RecordFormViewController::didSelectValue(editor, value, index);
}

std::optional<std::string> RecordFillupViewController::missingValue() const {
    if (m_fillup.quantity == 0)
        return "Quantity is required.";
    return std::nullopt;
}

bool RecordFillupViewController::store() {
    return DB::saveFillup(m_fillup, SettingsManager::sharedManager().autoUpdateOdometer());
}

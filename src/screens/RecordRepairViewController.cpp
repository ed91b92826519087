#include "screens/RecordRepairViewController.h"

#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/Clock.h"
#include "ui/OdometerView.h"

using namespace platform::views;

namespace {

const char* const kIdentifiers[] = {"name-cell", "date-cell", "odometer-cell", "cost-cell", "notes-cell"};
const char* const kLabels[] = {"Repair Name", "Date", "Odometer", "Cost", "Notes"};

} // namespace

RecordRepairViewController::RecordRepairViewController(const Repair& repair, bool createNew)
    : RecordFormViewController(kLayoutName, kStandardFrames, kOdometerRow)
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
    RecordFormViewController::viewDidLoad();
    setTitle(m_repair.repairID >= 1 ? m_repair.name : "Record Repair");
}

void RecordRepairViewController::viewDidAppear(bool animated) {
    RecordFormViewController::viewDidAppear(animated);
    if (m_repair.name.empty())
        entries().beginEditing(kNameRow);
}

std::shared_ptr<TableViewCell> RecordRepairViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const int row = indexPath.row;
    if (indexPath.section != 0 || row < 0 || row >= kRowCount)
        return emptyCell(table);
    switch (row) {
    case kNameRow:
        return entryCell(
            table, row, kIdentifiers[row], kLabels[row], KeyboardType::ASCIICapable, ReturnKeyType::Done);
    case kOdometerRow:
        return odometerCell(table, row, kIdentifiers[row], kLabels[row]);
    case kCostRow:
        return entryCell(table, row, kIdentifiers[row], kLabels[row]);
    case kDateRow:
        return editorCell(table, row, kIdentifiers[row], kLabels[row], dateText());
    default:
        return editorCell(table, row, kIdentifiers[row], kLabels[row], notesText());
    }
}

void RecordRepairViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    switch (indexPath.row) {
    case kNameRow:
    case kOdometerRow:
    case kCostRow:
        entries().beginEditing(indexPath.row);
        return;
    case kDateRow:
        editDate("Repair Date");
        return;
    case kNotesRow:
        editNotes();
        return;
    default:
        return;
    }
}

bool RecordRepairViewController::store() {
    return DB::saveRepair(m_repair, SettingsManager::sharedManager().autoUpdateOdometer());
}

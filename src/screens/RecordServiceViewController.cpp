#include "screens/RecordServiceViewController.h"

#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/Clock.h"
#include "platform/base/NotificationCenter.h"
#include "ui/OdometerView.h"

using namespace platform::views;

namespace {

const char* const kCellIdentifiers[] = {"date-cell", "odometer-cell", "cost-cell", "notes-cell"};
const char* const kLabels[] = {"Date", "Odometer", "Cost", "Notes"};

// The odometer holds six digits at the height of a row's text, right-aligned like the other
// values.
const RecordFormViewController::Frames kFrames {
    {10, 11, 100, 22}, {90, 11, 180, 22}, {110, 11, 178, 22}, {168, 10, 120, 0}};

} // namespace

RecordServiceViewController::RecordServiceViewController(const Service& service, bool createNew)
    : RecordFormViewController(kLayoutName, kFrames, kOdometerRow)
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
    RecordFormViewController::viewDidLoad();
    setTitle(m_service.name);
}

void RecordServiceViewController::viewDidAppear(bool animated) {
    RecordFormViewController::viewDidAppear(animated);
    // Recording starts with the reading.
    entries().beginEditing(kOdometerRow);
}

std::shared_ptr<TableViewCell> RecordServiceViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const int row = indexPath.row;
    if (indexPath.section != 0 || row < kDateRow || row > kNotesRow)
        return emptyCell(table);
    const char* identifier = kCellIdentifiers[row];
    switch (row) {
    case kOdometerRow: {
        auto cell = odometerCell(table, row, identifier, kLabels[row]);
        cell->value().setAutoresizingMask(AutoresizingFlexibleLeftMargin);
        return cell;
    }
    case kCostRow: {
        auto cell = entryCell(table, row, identifier, kLabels[row]);
        cell->value().setAutoresizingMask(AutoresizingFlexibleLeftMargin);
        return cell;
    }
    case kDateRow:
        return editorCell(table, row, identifier, kLabels[row], dateText());
    default:
        return editorCell(table, row, identifier, kLabels[row], notesText());
    }
}

void RecordServiceViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    switch (indexPath.row) {
    case kDateRow:
        editDate("Service Date");
        break;
    case kOdometerRow:
    case kCostRow:
        entries().beginEditing(indexPath.row);
        break;
    case kNotesRow:
        editNotes();
        break;
    default:
        break;
    }
}

bool RecordServiceViewController::store() {
    if (!DB::saveVehicleService(m_service, SettingsManager::sharedManager().autoUpdateOdometer()))
        return false;
    platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
    return true;
}

#include "screens/ServiceHistoryViewController.h"

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "screens/RecordServiceViewController.h"
#include "ui/OdometerView.h"
#include "ui/PlaceholderCell.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr double kLineHeight = 24;

} // namespace

// A performance: its date and reading on one line, its notes below. The views are placed
// when the row is about to show, from the room the content has then (less while editing).
class ServiceHistoryViewController::HistoryCell : public TableViewCell {
public:
    explicit HistoryCell(const std::string& identifier)
        : TableViewCell(TableViewCellStyle::Default, identifier) {
        setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        setSelectionStyle(TableViewCellSelectionStyle::Gray);
        m_date->setTag(kDateTag);
        m_odometer->setTag(kOdometerTag);
        m_notes->setTag(kNotesTag);
        contentView().addSubview(m_date);
        contentView().addSubview(m_odometer);
        contentView().addSubview(m_notes);
    }
    Label& date() const { return *m_date; }
    OdometerView& odometer() const { return *m_odometer; }
    Label& notes() const { return *m_notes; }

    void place() {
        Rect content = contentView().bounds();
        double y = (content.height() - kLineHeight) / 2;
        m_date->setFrame({10, y, 150, kLineHeight});
        m_odometer->setFrame({content.width() - 130, y, 0, kLineHeight});
        m_notes->setFrame({10, content.height() - 18, 200, 13});
    }

private:
    std::shared_ptr<Label> m_date {std::make_shared<Label>()};
    std::shared_ptr<OdometerView> m_odometer {std::make_shared<OdometerView>()};
    std::shared_ptr<Label> m_notes {std::make_shared<Label>()};
};

ServiceHistoryViewController::ServiceHistoryViewController(const Service& service)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Plain)
    , m_service(service) { }

void ServiceHistoryViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    navigationItem().setRightBarButtonItem(editButtonItem());
}

void ServiceHistoryViewController::reloadService() {
    Service stored = DB::lastService(m_service.serviceID, m_service.vehicleID);
    if (stored.serviceID == m_service.serviceID && stored.vehicleID == m_service.vehicleID)
        m_service = std::move(stored);
}

void ServiceHistoryViewController::viewWillAppear(bool animated) {
    ThemedTableViewController::viewWillAppear(animated);
    reloadService();
    setTitle(m_service.name);
    m_history = DB::serviceHistoryForVehicle(m_service.vehicleID, m_service.serviceID);
    tableView()->reloadData();
}

void ServiceHistoryViewController::viewWillDisappear(bool animated) {
    ThemedTableViewController::viewWillDisappear(animated);
    // The next screen's back button reads "History".
    setTitle("History");
}

std::shared_ptr<TableViewCell> ServiceHistoryViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    if (m_history.empty()) {
        auto cell = table.dequeueReusableCell<PlaceholderCell>(kPlaceholderIdentifier);
        const std::string& name = m_service.name;
        cell->show("Record " + name,
            "You have not recorded " + name + " service for this car. Tap here to record " + name
                + " service.");
        return cell;
    }
    auto cell = table.dequeueReusableCell<HistoryCell>(kCellIdentifier);
    const Service& performance = m_history.at(size_t(indexPath.row));
    cell->date().setText(
        performance.datePerformed ? FormatDate(*performance.datePerformed, DateStyle::Medium) : "");
    setLargeFont(cell->date());
    cell->odometer().setValue(performance.odometer);
    cell->notes().setText(performance.notes);
    setSmallFont(cell->notes());
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    return cell;
}

void ServiceHistoryViewController::willDisplayCell(TableView&, TableViewCell& cell, IndexPath) {
    if (auto* row = dynamic_cast<HistoryCell*>(&cell)) {
        cell.layoutIfNeeded();
        row->place();
    }
}

void ServiceHistoryViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    std::shared_ptr<RecordServiceViewController> record;
    if (m_history.empty())
        record = std::make_shared<RecordServiceViewController>(m_service, true);
    else if (indexPath.row < int(m_history.size()))
        record = std::make_shared<RecordServiceViewController>(m_history[size_t(indexPath.row)], false);
    NavigationController* navigation = navigationController();
    if (record && navigation)
        navigation->pushViewController(record, true);
}

void ServiceHistoryViewController::commitEditingStyle(
    TableView& table, TableViewCellEditingStyle style, IndexPath indexPath) {
    if (style != TableViewCellEditingStyle::Delete || indexPath.row >= int(m_history.size()))
        return;
    if (!DB::deleteVehicleService(m_history[size_t(indexPath.row)])) {
        showSaveFailedAlert();
        return;
    }
    m_history.erase(m_history.begin() + indexPath.row);
    platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
    if (!m_history.empty()) {
        table.deleteRowsAtIndexPaths({indexPath}, TableViewRowAnimation::Fade);
        return;
    }
    // The last performance was reset rather than deleted: a first performance goes into it.
    reloadService();
    table.reloadData();
}

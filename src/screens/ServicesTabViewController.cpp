#include "screens/ServicesTabViewController.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "QLCoreLibrary/ImageExtensions.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "screens/EditServiceViewController.h"
#include "screens/LastServiceViewController.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr double kStripWidth = 10;
constexpr double kTextX = 20;

std::string lowercased(std::string text) {
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace

// A row: the status strip along the left edge, the name and the status line beside it.
class ServicesTabViewController::ServiceCell : public TableViewCell {
public:
    explicit ServiceCell(const std::string& identifier)
        : TableViewCell(TableViewCellStyle::Default, identifier) {
        setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        m_strip->setTag(kStripTag);
        m_name->setTag(kNameTag);
        m_status->setTag(kStatusTag);
        contentView().addSubview(m_strip);
        contentView().addSubview(m_name);
        contentView().addSubview(m_status);
    }
    ImageView& strip() const { return *m_strip; }
    Label& name() const { return *m_name; }
    Label& status() const { return *m_status; }

    // Sizes a label to its text, but never past the right edge of the content.
    void fit(Label& label) {
        label.sizeToFit();
        Rect frame = label.frame();
        double room = contentView().bounds().width() - frame.x() - 5;
        if (frame.width() > room)
            label.setFrame({frame.x(), frame.y(), std::max(0.0, room), frame.height()});
    }

private:
    std::shared_ptr<ImageView> m_strip {std::make_shared<ImageView>(Rect(0, 0, kStripWidth, kRowHeight - 1))};
    std::shared_ptr<Label> m_name {std::make_shared<Label>(Rect(kTextX, 5, 0, 0))};
    std::shared_ptr<Label> m_status {std::make_shared<Label>(Rect(kTextX, 30, 0, 0))};
};

ServicesTabViewController::ServicesTabViewController(const Vehicle& vehicle)
    : VehiclePageViewController(kLayoutName, TableViewStyle::Plain, vehicle) { }

void ServicesTabViewController::viewDidLoad() {
    VehiclePageViewController::viewDidLoad();
    setTitle("Services");
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Add, action(&ServicesTabViewController::addNew)));
}

void ServicesTabViewController::reloadPage() {
    // The car as stored now (its odometer may have moved), for the pages the bar opens.
    Vehicle stored = DB::getVehicleWithID(vehicle().vid);
    if (stored.vid == vehicle().vid)
        setVehicle(std::move(stored));
    m_services = DB::serviceSummaryForVehicle(vehicle().vid);
    tableView()->reloadData();
}

std::string ServicesTabViewController::statusLine(const Service& service, const std::string& unitName) {
    if (!service.datePerformed)
        return "Service not recorded yet";
    // Negated in 64 bits: the remaining values may be as low as 32 bits go.
    std::int64_t miles = service.milesRemaining();
    std::int64_t days = service.daysRemaining();
    if (days < 0 && miles < 0)
        return "Overdue by " + std::to_string(-miles) + " " + unitName + " and " + std::to_string(-days)
            + " days";
    if (days < 0)
        return "Overdue by " + std::to_string(-days) + " days";
    if (miles < 0)
        return "Overdue by " + std::to_string(-miles) + " " + unitName;
    return "Due in " + std::to_string(miles) + " " + unitName + " or " + std::to_string(days) + " days";
}

std::shared_ptr<TableViewCell> ServicesTabViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell<ServiceCell>(kCellIdentifier);
    const Service& service = m_services.at(size_t(indexPath.row));
    setLargeFont(cell->name());
    setSmallFont(cell->status());
    cell->name().setText(service.name);
    cell->status().setText(
        statusLine(service, lowercased(SettingsManager::sharedManager().distanceUnitName())));
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    return cell;
}

void ServicesTabViewController::willDisplayCell(TableView&, TableViewCell& cell, IndexPath indexPath) {
    auto* row = dynamic_cast<ServiceCell*>(&cell);
    if (!row || indexPath.row >= int(m_services.size()))
        return;
    cell.layoutIfNeeded();
    SettingsManager& settings = SettingsManager::sharedManager();
    DueStatus status
        = m_services[size_t(indexPath.row)].dueStatus(settings.distanceBeforeDue(), settings.daysBeforeDue());
    Size strip {kStripWidth, cell.bounds().height() - 1};
    row->strip().setFrame({0, 0, strip.width, strip.height});
    row->strip().setImage(glossyImageWithColor(dueStatusColor(status), strip, 0));
    row->fit(row->name());
    row->fit(row->status());
}

void ServicesTabViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row >= int(m_services.size()))
        return;
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(
            std::make_shared<LastServiceViewController>(m_services[size_t(indexPath.row)]), true);
}

void ServicesTabViewController::commitEditingStyle(
    TableView& table, TableViewCellEditingStyle style, IndexPath indexPath) {
    if (style != TableViewCellEditingStyle::Delete || indexPath.row >= int(m_services.size()))
        return;
    const Service& service = m_services[size_t(indexPath.row)];
    if (!DB::deleteVehicleServiceHistory(service.vehicleID, service.serviceID)) {
        showSaveFailedAlert();
        return;
    }
    m_services.erase(m_services.begin() + indexPath.row);
    table.deleteRowsAtIndexPaths({indexPath}, TableViewRowAnimation::Fade);
    platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
}

void ServicesTabViewController::addNew() {
    Service service;
    service.vehicleID = vehicle().vid;
    service.frequencyInMiles = kNewServiceMiles;
    service.frequencyInMonths = kNewServiceMonths;
    service.notes = "";
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<EditServiceViewController>(service), true);
}

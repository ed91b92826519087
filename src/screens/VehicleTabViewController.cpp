#include "screens/VehicleTabViewController.h"

#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "screens/EditVehicleViewController.h"
#include "ui/BadgeView.h"
#include "ui/LabelExtensions.h"
#include "ui/OdometerView.h"
#include "ui/ThemedView.h"
#include "ui/VTPlainCellBackgroundView.h"
#include "ui/VehiclePages.h"

using namespace platform::views;

namespace {

constexpr double kHeaderHeight = 100;

struct MenuRow {
    const char* title;
    const char* detail;
};

MenuRow rowFor(int page) {
    switch (page) {
    case VehiclePages::kServices:
        return {"Services", "View, record or add services."};
    case VehiclePages::kRepairs:
        return {"Repairs", "View or record repairs."};
    case VehiclePages::kFuel:
        return {"Fuel", "Record fill-ups and view fuel performance."};
    case VehiclePages::kReports:
        return {"Reports", "View charts for this car."};
    default:
        return {"Edit", "Modify data or change picture for this car."};
    }
}

// The header over the rows: the picture on the left; the model line, the odometer and the
// notes beside it. The rows fill the rest of the screen.
void buildLayout(ViewController& controller) {
    auto& menu = static_cast<VehicleTabViewController&>(controller);
    Rect bounds = Screen::mainScreen().contentBounds();
    auto background = std::make_shared<ThemedView>(bounds);
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);

    auto header = std::make_shared<VTPlainCellBackgroundView>(Rect(0, 0, bounds.width(), kHeaderHeight));
    header->setAutoresizingMask(AutoresizingFlexibleWidth);
    auto picture = std::make_shared<ImageView>(Rect(10, 10, 80, 80));
    picture->setOpaque(false);
    double x = 100, width = bounds.width() - x - 10;
    auto model = std::make_shared<Label>(Rect(x, 8, width, 24));
    auto odometer = std::make_shared<OdometerView>(Rect(x, 36, 120, 0));
    auto notes = std::make_shared<Label>(Rect(x, 62, width, 34));
    notes->setNumberOfLines(2);
    for (const std::shared_ptr<View>& view : {std::shared_ptr<View>(picture), std::shared_ptr<View>(model),
             std::shared_ptr<View>(odometer), std::shared_ptr<View>(notes)})
        header->addSubview(view);
    background->addSubview(header);

    auto table = std::make_shared<TableView>(
        Rect(0, kHeaderHeight, bounds.width(), bounds.height() - kHeaderHeight), TableViewStyle::Plain);
    table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(table);

    menu.setView(background);
    menu.setTableView(table);
    menu.setHeader(header, picture, model, odometer, notes);
}

} // namespace

// A row of the menu: a subtitle cell with a disclosure indicator and a badge, shown on the
// services row only.
class VehicleTabViewController::MenuCell : public TableViewCell {
public:
    explicit MenuCell(const std::string& identifier)
        : TableViewCell(TableViewCellStyle::Subtitle, identifier) {
        setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        m_badge->setTag(kBadgeTag);
        m_badge->setHidden(true);
        contentView().addSubview(m_badge);
    }
    BadgeView& badge() const { return *m_badge; }

private:
    std::shared_ptr<BadgeView> m_badge {std::make_shared<BadgeView>()};
};

VehicleTabViewController::VehicleTabViewController(const Vehicle& vehicle)
    : ThemedTableViewController(kLayoutName, buildLayout)
    , m_vehicleID(vehicle.vid)
    , m_pages(VehiclePages::pages()) { }

void VehicleTabViewController::setHeader(std::shared_ptr<View> header, std::shared_ptr<ImageView> picture,
    std::shared_ptr<Label> modelLabel, std::shared_ptr<OdometerView> odometer,
    std::shared_ptr<Label> notesLabel) {
    m_vehicleDetailView = std::move(header);
    m_picture = std::move(picture);
    m_modelLabel = std::move(modelLabel);
    m_odometer = std::move(odometer);
    m_notesLabel = std::move(notesLabel);
}

void VehicleTabViewController::viewWillAppear(bool animated) {
    // The base applies the theme, which reloads the rows; they are drawn once the counts
    // below are known.
    ThemedTableViewController::viewWillAppear(animated);
    if (auto* header = dynamic_cast<VTPlainCellBackgroundView*>(m_vehicleDetailView.get()))
        applyThemeToBackgroundView(*header);
    setLargeFont(*m_modelLabel);
    setSmallFont(*m_notesLabel);

    Vehicle vehicle = DB::getVehicleWithID(m_vehicleID);
    setTitle(vehicle.name);
    m_picture->setImage(vehicle.picture());
    m_odometer->setValue(vehicle.odometer);
    m_modelLabel->setText(vehicle.modelLine());
    m_notesLabel->setText(vehicle.notes);
    alignTop(*m_notesLabel);
    SettingsManager& settings = SettingsManager::sharedManager();
    m_dueServiceCount
        = DB::dueServiceCountForVehicle(vehicle, settings.daysBeforeDue(), settings.distanceBeforeDue());
    tableView()->reloadData();
}

std::shared_ptr<TableViewCell> VehicleTabViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell<MenuCell>(kCellIdentifier);
    MenuRow row = rowFor(indexPath.row == 0 ? VehiclePages::kCar : m_pages.at(size_t(indexPath.row - 1)));
    cell->textLabel().setText(row.title);
    cell->detailTextLabel()->setText(row.detail);
    setLargeFont(cell->textLabel());
    setSmallFont(*cell->detailTextLabel());
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    return cell;
}

void VehicleTabViewController::willDisplayCell(TableView&, TableViewCell& cell, IndexPath indexPath) {
    auto* menuCell = dynamic_cast<MenuCell*>(&cell);
    if (!menuCell)
        return;
    BadgeView& badge = menuCell->badge();
    bool services = indexPath.row > 0 && m_pages.at(size_t(indexPath.row - 1)) == VehiclePages::kServices;
    badge.setHidden(!services || m_dueServiceCount < 1);
    if (!services)
        return;
    badge.setText(std::to_string(m_dueServiceCount));
    Rect frame = badge.frame();
    Rect content = cell.bounds();
    badge.setFrame({content.width() - frame.width() - 25, (content.height() - frame.height()) / 2,
        frame.width(), frame.height()});
}

void VehicleTabViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    NavigationController* navigation = navigationController();
    if (!navigation)
        return;
    Vehicle vehicle = DB::getVehicleWithID(m_vehicleID);
    std::shared_ptr<ViewController> next = indexPath.row == 0
        ? std::make_shared<EditVehicleViewController>(vehicle)
        : VehiclePages::makePage(m_pages.at(size_t(indexPath.row - 1)), vehicle);
    if (next)
        navigation->pushViewController(next, true);
}

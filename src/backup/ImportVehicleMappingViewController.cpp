#include "backup/ImportVehicleMappingViewController.h"

#include "backup/ImportPreviewViewController.h"
#include "data/DB.h"
#include "platform/views/NavigationController.h"

using namespace platform::views;

namespace {

constexpr const char* kCell = "import-mapping-cell";

std::string makeAndModel(const Vehicle& car) {
    std::string text = car.make;
    if (!car.model.empty())
        text += (text.empty() ? "" : " ") + car.model;
    return text;
}

} // namespace

ImportVehicleMappingViewController::ImportVehicleMappingViewController(size_t vehicle, std::string name,
    ImportPlan::Target current, std::weak_ptr<ImportPreviewViewController> preview)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped)
    , m_vehicle(vehicle)
    , m_name(std::move(name))
    , m_current(current)
    , m_preview(std::move(preview))
    , m_cars(DB::vehiclesWithServiceDueInDays(0, 0)) { }

void ImportVehicleMappingViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle(m_name);
}

ImportPlan::Target ImportVehicleMappingViewController::targetAtRow(int row) const {
    if (row <= 0)
        return {ImportPlan::Target::NewVehicle, 0};
    if (size_t(row) <= m_cars.size())
        return {ImportPlan::Target::ExistingVehicle, m_cars[size_t(row) - 1].vid};
    return {ImportPlan::Target::Skip, 0};
}

std::shared_ptr<View> ImportVehicleMappingViewController::viewForHeaderInSection(TableView&, int) {
    return tableHeaderViewWithText("Import Into");
}

std::shared_ptr<View> ImportVehicleMappingViewController::viewForFooterInSection(TableView&, int) {
    return tableFooterViewWithText("Into a car of yours, rows the car already has (same date, odometer and "
                                   "quantity) are left out.");
}

std::shared_ptr<TableViewCell> ImportVehicleMappingViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell(kCell, TableViewCellStyle::Subtitle);
    const ImportPlan::Target target = targetAtRow(indexPath.row);
    std::string title = "A New Car", detail = "Named " + m_name;
    if (target.kind == ImportPlan::Target::ExistingVehicle) {
        const Vehicle& car = m_cars[size_t(indexPath.row) - 1];
        title = car.name;
        detail = makeAndModel(car);
    } else if (target.kind == ImportPlan::Target::Skip) {
        title = "Don't Import";
        detail = "Leave this car's rows out";
    }
    cell->textLabel().setText(title);
    cell->detailTextLabel()->setText(detail);
    cell->setAccessoryType(
        target == m_current ? TableViewCellAccessoryType::Checkmark : TableViewCellAccessoryType::None);
    cell->setBackgroundColor(Color::white(1, 0.5));
    setMediumFont(cell->textLabel());
    setExtraSmallFont(*cell->detailTextLabel());
    return cell;
}

void ImportVehicleMappingViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    m_current = targetAtRow(indexPath.row);
    table.reloadData();
    if (auto preview = m_preview.lock())
        preview->setTarget(m_vehicle, m_current);
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

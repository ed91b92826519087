#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Vehicle.h"
#include "transfer/ImportPlan.h"
#include "ui/ThemedTableViewController.h"

class ImportPreviewViewController;

// Where one car of an imported file goes: "A New Car", one of the cars already in Vantrel, or
// "Don't Import". The choice carries a checkmark; tapping another hands it to the preview and
// returns there.
class ImportVehicleMappingViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "ImportVehicleMappingViewController";

    // `vehicle` is the index of the file's car in the preview, `name` its name in the file.
    ImportVehicleMappingViewController(size_t vehicle, std::string name, ImportPlan::Target current,
        std::weak_ptr<ImportPreviewViewController> preview);

    // The choice on `row`: the new car first, the cars in their list order, none last.
    ImportPlan::Target targetAtRow(int row) const;
    const ImportPlan::Target& current() const { return m_current; }

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return int(m_cars.size()) + 2; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 36; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(platform::views::TableView&, int) override;
    double heightForFooterInSection(platform::views::TableView&, int) override { return 52; }
    std::shared_ptr<platform::views::View> viewForFooterInSection(platform::views::TableView&, int) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    size_t m_vehicle;
    std::string m_name;
    ImportPlan::Target m_current;
    std::weak_ptr<ImportPreviewViewController> m_preview;
    std::vector<Vehicle> m_cars;
};

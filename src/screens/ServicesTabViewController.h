#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Service.h"
#include "model/Vehicle.h"
#include "ui/VehiclePageViewController.h"

// The scheduled services of one car, each with a strip in its due-status colour and a line
// saying when it is next due or by how much it is overdue. Add opens the interval editor
// for a new service; a row opens the service's detail; swipe to delete removes the service
// with its whole history. The list is read afresh each time it is about to appear, so what
// the service screens saved shows on return. The vehicle tab bar runs along the bottom.
class ServicesTabViewController : public VehiclePageViewController {
public:
    static constexpr const char* kLayoutName = "ServicesTabViewController";
    static constexpr const char* kCellIdentifier = "ServiceListCell";
    // The row's views.
    enum : int { kStripTag = 1000, kNameTag = 1001, kStatusTag = 1002 };
    static constexpr double kRowHeight = 55;
    // What Add proposes for a new service.
    static constexpr int kNewServiceMiles = 12000;
    static constexpr int kNewServiceMonths = 12;

    explicit ServicesTabViewController(const Vehicle& vehicle);

    const std::vector<Service>& services() const { return m_services; }
    const std::shared_ptr<platform::views::TableView>& serviceTableView() { return tableView(); }

    // "Service not recorded yet", "Overdue by ..." or "Due in ...", with `unitName` in lower
    // case as the distance.
    static std::string statusLine(const Service& service, const std::string& unitName);

    void addNew();

    int tabBarTag() const override { return VehiclePages::kServices; }

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return int(m_services.size()); }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return kRowHeight;
    }
    void willDisplayCell(platform::views::TableView&, platform::views::TableViewCell& cell,
        platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    bool canEditRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return true;
    }
    void commitEditingStyle(platform::views::TableView& table,
        platform::views::TableViewCellEditingStyle style, platform::views::IndexPath indexPath) override;

private:
    class ServiceCell;

    void reloadPage() override;

    std::vector<Service> m_services;
};

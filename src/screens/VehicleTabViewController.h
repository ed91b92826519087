#pragma once

#include <memory>
#include <vector>

#include "model/Vehicle.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "ui/ThemedTableViewController.h"

class OdometerView;

// The screen of one car: a header with its picture, model line, odometer and notes, and rows
// leading to the car's editor and its pages (services with a badge of those due, repairs,
// fuel, reports; a page the application does not have is not offered). The car is read
// afresh each time the menu is about to appear, so what the other screens saved shows.
class VehicleTabViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "VehicleTabViewController";
    static constexpr const char* kCellIdentifier = "vehicle-menu-table-cell";
    static constexpr int kBadgeTag = 1000;
    static constexpr double kRowHeight = 60;

    explicit VehicleTabViewController(const Vehicle& vehicle);

    int vehicleID() const { return m_vehicleID; }
    int dueServiceCount() const { return m_dueServiceCount; }
    // The header and its views (from the layout).
    const std::shared_ptr<platform::views::View>& vehicleDetailView() const { return m_vehicleDetailView; }
    platform::views::ImageView& picture() const { return *m_picture; }
    platform::views::Label& modelLabel() const { return *m_modelLabel; }
    OdometerView& odometer() const { return *m_odometer; }
    platform::views::Label& notesLabel() const { return *m_notesLabel; }
    void setHeader(std::shared_ptr<platform::views::View> header,
        std::shared_ptr<platform::views::ImageView> picture,
        std::shared_ptr<platform::views::Label> modelLabel, std::shared_ptr<OdometerView> odometer,
        std::shared_ptr<platform::views::Label> notesLabel);
    // The page each row opens after the Edit row: VehiclePages tags.
    const std::vector<int>& pageRows() const { return m_pages; }

    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return 1 + int(m_pages.size()); }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return kRowHeight;
    }
    void willDisplayCell(platform::views::TableView&, platform::views::TableViewCell& cell,
        platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    class MenuCell;

    int m_vehicleID;
    int m_dueServiceCount {0};
    std::vector<int> m_pages;
    std::shared_ptr<platform::views::View> m_vehicleDetailView;
    std::shared_ptr<platform::views::ImageView> m_picture;
    std::shared_ptr<platform::views::Label> m_modelLabel;
    std::shared_ptr<OdometerView> m_odometer;
    std::shared_ptr<platform::views::Label> m_notesLabel;
};

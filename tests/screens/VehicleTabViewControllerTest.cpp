#include <gtest/gtest.h>

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "app/AppTestSupport.h"
#include "app/VehiclePageRegistry.h"
#include "data/DB.h"
#include "platform/views/Label.h"
#include "screens/EditVehicleViewController.h"
#include "screens/VehicleTabViewController.h"
#include "ui/BadgeView.h"
#include "ui/OdometerView.h"
#include "ui/VTTabBar.h"
#include "ui/VehiclePages.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

// A vehicle page as the real ones are built: a list with the tab bar along the bottom.
class StandInPage : public ThemedTableViewController, public VTTabPage {
public:
    StandInPage(int tag, Vehicle vehicle)
        : ThemedTableViewController("StandInPage", TableViewStyle::Plain)
        , m_tag(tag)
        , m_vehicle(std::move(vehicle)) { }
    int tabBarTag() const override { return m_tag; }
    void viewDidLoad() override {
        ThemedTableViewController::viewDidLoad();
        bar = std::make_shared<VTTabBar>(Rect(0, 0, view()->bounds().width(), VTTabBar::kHeight));
        setBottomBar(bar);
    }
    void viewWillAppear(bool animated) override {
        ThemedTableViewController::viewWillAppear(animated);
        bar->setBackgroundColor(firstColor());
        bar->setVehicle(m_vehicle);
    }
    int numberOfRowsInSection(TableView&, int) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath) override { return nullptr; }

    std::shared_ptr<VTTabBar> bar;

private:
    int m_tag;
    Vehicle m_vehicle;
};

class VehicleMenuTest : public VantrelAppTest {
protected:
    void TearDown() override {
        for (int tag :
            {VehiclePages::kServices, VehiclePages::kRepairs, VehiclePages::kFuel, VehiclePages::kReports})
            VehiclePages::registerPage(tag, {});
        registerVehiclePages();
        VantrelAppTest::TearDown();
    }
    void standInFor(std::vector<int> tags) { m_standIns = std::move(tags); }
    VehicleTabViewController& openMenu(int row = 0) {
        launch();
        // In place of the pages the application registered at launch: only the stand-ins.
        for (int tag :
            {VehiclePages::kServices, VehiclePages::kRepairs, VehiclePages::kFuel, VehiclePages::kReports})
            VehiclePages::registerPage(tag, {});
        for (int tag : m_standIns)
            VehiclePages::registerPage(
                tag, [tag](const Vehicle& vehicle) { return std::make_shared<StandInPage>(tag, vehicle); });
        driver().tapRow(*root().table(), 0, row);
        return top<VehicleTabViewController>();
    }
    std::vector<ViewController*> stack() {
        std::vector<ViewController*> screens;
        for (auto& screen : driver().navigationController()->viewControllers())
            screens.push_back(screen.get());
        return screens;
    }

private:
    std::vector<int> m_standIns;
};

} // namespace

TEST_F(VehicleMenuTest, ACarOpensItsMenuWhichShowsTheCarAfreshOnEveryAppearance) {
    standInFor({VehiclePages::kServices, VehiclePages::kFuel});
    Vehicle car = addVehicle("Roadster", 48210, "Mazda", "MX-5", 1994);
    recordService(car, "Oil Change", localTime(2010, 1, 5), 30000); // long overdue
    auto& menu = openMenu();
    EXPECT_EQ(driver().navigationTitle(), "Roadster");
    EXPECT_EQ(driver().backButtonTitle(), "Cars");
    EXPECT_EQ(menu.modelLabel().text(), "1994 Mazda MX-5 ");
    EXPECT_EQ(menu.odometer().value(), 48210);
    // Edit, then only the pages this build has, in the tab bar's order.
    TableView& rows = *menu.tableView();
    ASSERT_EQ(rows.numberOfRowsInSection(0), 3);
    EXPECT_EQ(driver().scrollToRow(rows, 0, 0).textLabel().text(), "Edit");
    EXPECT_EQ(driver().scrollToRow(rows, 0, 1).textLabel().text(), "Services");
    EXPECT_EQ(driver().scrollToRow(rows, 0, 2).detailTextLabel()->text(),
        "Record fill-ups and view fuel performance.");
    // The services row carries the count of services due; no other row has a badge.
    EXPECT_GE(menu.dueServiceCount(), 1);
    auto badge = [&](int row) {
        return dynamic_cast<BadgeView*>(driver().scrollToRow(rows, 0, row).contentView().viewWithTag(1000));
    };
    ASSERT_TRUE(badge(1));
    EXPECT_FALSE(badge(1)->isHidden());
    EXPECT_EQ(badge(1)->text(), std::to_string(menu.dueServiceCount()));
    EXPECT_TRUE(badge(0)->isHidden());
    EXPECT_TRUE(badge(2)->isHidden());
    keepScreen("vehicle-menu");

    // Renamed in the editor, the menu's title follows on return.
    driver().tapRow(rows, 0, 0);
    auto& editor = top<EditVehicleViewController>();
    driver().tap(*editor.nameField());
    driver().typeForwarded(" II");
    driver().pressRightBarButton();
    EXPECT_EQ(driver().topViewController(), &menu);
    EXPECT_EQ(driver().navigationTitle(), "Roadster II");
}

TEST_F(VehicleMenuTest, TheTabBarReplacesItsOwnPageAndIgnoresTapsWhileSwitching) {
    standInFor({VehiclePages::kServices, VehiclePages::kRepairs, VehiclePages::kFuel});
    addVehicle("Roadster");
    auto& menu = openMenu();
    driver().tapRow(*menu.tableView(), 0, 1);
    auto* services = dynamic_cast<StandInPage*>(driver().topViewController());
    ASSERT_NE(services, nullptr);
    VTTabBar& bar = *services->bar;
    // Car and the three pages there are, sharing the strip.
    ASSERT_EQ(bar.buttons().size(), 4u);
    EXPECT_EQ(bar.buttonWithTag(VehiclePages::kReports), nullptr);
    EXPECT_EQ(VTTabBar::selectedButton(), VehiclePages::kServices);
    EXPECT_EQ(bar.selector().frame(), bar.buttonWithTag(VehiclePages::kServices)->frame());
    keepScreen("vehicle-tab-bar");

    // Fuel then, before the switch is done (two taps handled in one turn of the main loop),
    // Car: the second tap is not taken.
    bar.buttonPressed(VehiclePages::kFuel);
    EXPECT_TRUE(bar.isSwitching());
    bar.buttonPressed(VehiclePages::kCar);
    driver().runUntilIdle();
    auto* fuel = dynamic_cast<StandInPage*>(driver().topViewController());
    ASSERT_NE(fuel, nullptr);
    EXPECT_EQ(fuel->tabBarTag(), VehiclePages::kFuel);
    ASSERT_EQ(stack().size(), 3u);
    EXPECT_EQ(stack()[1], &menu);

    // Car goes back to the menu; the selection stays with the page last shown.
    driver().tap(*fuel->bar->buttonWithTag(VehiclePages::kCar));
    EXPECT_EQ(driver().topViewController(), &menu);
    EXPECT_EQ(stack().size(), 2u);
}

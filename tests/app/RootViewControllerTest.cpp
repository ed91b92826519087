#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/StartupViewController.h"
#include "app/VehicleListTableViewCell.h"
#include "data/DB.h"
#include "platform/base/FileSystem.h"
#include "platform/views/Application.h"
#include "platform/views/NavigationController.h"
#include "screens/AboutViewController.h"
#include "screens/EditVehicleViewController.h"
#include "screens/SettingsViewController.h"
#include "screens/VehicleTabViewController.h"
#include "screens/WebBrowserViewController.h"
#include "ui/BadgeView.h"
#include "ui/OdometerView.h"
#include "ui/ThemeSelectionViewController.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

class RootViewControllerTest : public VantrelAppTest {
protected:
    TableView& table() { return *root().table(); }
    VehicleListTableViewCell& cell(int row) {
        return dynamic_cast<VehicleListTableViewCell&>(driver().scrollToRow(table(), 0, row));
    }
    std::vector<std::string> listedNames() {
        std::vector<std::string> names;
        for (int row = 0; row < table().numberOfRowsInSection(0); ++row)
            names.push_back(cell(row).nameLabel().text());
        return names;
    }
    static std::vector<std::string> storedNames() {
        std::vector<std::string> names;
        for (const Vehicle& vehicle : DB::vehiclesWithServiceDueInDays(14, 500))
            names.push_back(vehicle.name);
        return names;
    }
    bool hasEditButton() {
        return driver().navigationController()->navigationBar().rightButtonView() != nullptr;
    }
    bool startScreenShown() {
        return root().view()->viewWithTag(RootViewController::kStartupViewTag) != nullptr;
    }
    void tapToolbarItem(size_t index) {
        View* button = root().toolbar()->viewForItem(root().toolbar()->items().at(index).get());
        ASSERT_NE(button, nullptr);
        driver().tap(*button);
    }
};

} // namespace

TEST_F(RootViewControllerTest, AddingTheFirstCarNeedsANameAndReplacesTheStartScreenWithTheList) {
    launch();
    // A first launch: the start screen and nothing to edit.
    ASSERT_TRUE(startScreenShown());
    EXPECT_FALSE(hasEditButton());
    keepScreen("start-screen");
    driver().tapRow(*root().startupController()->startupTable(), 0, 0);
    auto& editor = top<EditVehicleViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Add Car");
    EXPECT_EQ(driver().backButtonTitle(), "Cars");

    driver().pressRightBarButton();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Invalid Data");
    EXPECT_EQ(driver().alert()->message, "Vehicle's Name is required.");
    EXPECT_EQ(driver().alert()->buttons, std::vector<std::string> {"OK"});
    EXPECT_FALSE(driver().window().pressBackButton()); // the device's back waits for the alert
    driver().dismissAlert(0);
    EXPECT_TRUE(storedNames().empty());

    driver().type(*editor.nameField(), "Family Car");
    driver().tap(*editor.odometerView());
    driver().type(editor.odometerView()->hiddenTextField(), "12345");
    driver().pressRightBarButton();

    ASSERT_EQ(driver().topViewController(), &root());
    EXPECT_FALSE(startScreenShown());
    EXPECT_EQ(root().startupController(), nullptr);
    EXPECT_TRUE(hasEditButton());
    ASSERT_EQ(table().numberOfRowsInSection(0), 1);
    VehicleListTableViewCell& row = cell(0);
    EXPECT_EQ(row.nameLabel().text(), "Family Car");
    EXPECT_EQ(row.modelLabel().text(), "Model not specified");
    EXPECT_EQ(row.odometer().value(), 12345);
    EXPECT_TRUE(row.badgeView().isHidden());
    EXPECT_FALSE(row.vehicleImageView().image().isNull());
    EXPECT_EQ(storedNames(), std::vector<std::string> {"Family Car"});
}

TEST_F(RootViewControllerTest, ModelLineTakesWhatIsGivenEachWithATrailingBlank) {
    auto line = [](int year, const std::string& make, const std::string& model) {
        Vehicle vehicle;
        vehicle.year = year;
        vehicle.make = make;
        vehicle.model = model;
        return vehicle.modelLine();
    };
    EXPECT_EQ(line(0, "", ""), "Model not specified");
    EXPECT_EQ(line(2010, "", "Civic"), "2010 Civic ");
    EXPECT_EQ(line(0, "Saab", ""), "Saab ");
    EXPECT_EQ(line(-1, "Saab", "900"), "Saab 900 ");
}

TEST_F(RootViewControllerTest, TheOrderTheUserDragsHoldsAcrossARelaunch) {
    addVehicle("Alpha");
    addVehicle("Bravo");
    addVehicle("Charlie");
    launch();
    ASSERT_EQ(listedNames(), (std::vector<std::string> {"Alpha", "Bravo", "Charlie"}));

    driver().pressRightBarButton(); // Edit
    ASSERT_TRUE(table().isEditing());
    // Dragged below Charlie, Alpha makes the rows it passes stand aside into the gap it leaves.
    View& handle = *table().cellForRowAtIndexPath({0, 0})->reorderControl();
    const Point start = handle.convertRectToView(handle.bounds(), nullptr).center();
    const double rowHeight = table().rectForRowAtIndexPath({0, 0}).height();
    Application& app = Application::sharedApplication();
    app.touchDown(start);
    for (int step = 1; step <= 10; ++step)
        app.touchMove({start.x, start.y + 2 * rowHeight * step / 10});
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 1})->frame().y(), table().rectForRowAtIndexPath({0, 0}).y());
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 2})->frame().y(), table().rectForRowAtIndexPath({0, 1}).y());
    app.touchUp({start.x, start.y + 2 * rowHeight});
    driver().runUntilIdle();
    EXPECT_EQ(listedNames(), (std::vector<std::string> {"Bravo", "Charlie", "Alpha"}));
    driver().moveRow(table(), 0, 2, 1);
    driver().pressRightBarButton(); // Done
    EXPECT_FALSE(table().isEditing());

    relaunch();
    EXPECT_EQ(listedNames(), (std::vector<std::string> {"Bravo", "Alpha", "Charlie"}));
    EXPECT_EQ(storedNames(), (std::vector<std::string> {"Bravo", "Alpha", "Charlie"}));
    // A car added later goes below the order the user made.
    addVehicle("Delta");
    relaunch();
    EXPECT_EQ(listedNames(), (std::vector<std::string> {"Bravo", "Alpha", "Charlie", "Delta"}));
}

TEST_F(RootViewControllerTest, DeletingTheLastCarBringsTheStartScreenBack) {
    Vehicle first = addVehicle("First");
    addVehicle("Second");
    launch();
    std::string picture = first.pictureFile();
    ASSERT_TRUE(platform::fs::writeFileAtomically(picture, "png"));

    driver().swipeRow(table(), 0, 0);
    driver().tapDeleteConfirmation(table(), 0, 0);
    EXPECT_EQ(listedNames(), std::vector<std::string> {"Second"});
    EXPECT_FALSE(platform::fs::fileExists(picture));
    EXPECT_TRUE(hasEditButton());
    EXPECT_FALSE(startScreenShown());

    driver().pressRightBarButton(); // Edit
    TableViewCell& last = driver().scrollToRow(table(), 0, 0);
    ASSERT_NE(last.editingControl(), nullptr);
    driver().tap(*last.editingControl());
    driver().tapDeleteConfirmation(table(), 0, 0);

    EXPECT_TRUE(storedNames().empty());
    EXPECT_EQ(table().numberOfRowsInSection(0), 0);
    EXPECT_TRUE(startScreenShown());
    EXPECT_FALSE(hasEditButton());
    EXPECT_FALSE(root().isEditing());
    EXPECT_FALSE(table().isEditing());
}

TEST_F(RootViewControllerTest, InEditModeARowOpensTheEditorOnTheStoredCarOtherwiseItsMenu) {
    Vehicle car = addVehicle("Wagon", 5000, "Volvo", "V70", 1999);
    launch();

    driver().tapRow(table(), 0, 0);
    EXPECT_EQ(top<VehicleTabViewController>().vehicleID(), car.vid);
    driver().pressBack();
    EXPECT_FALSE(table().indexPathForSelectedRow());

    // Changed behind the list's back: the editor reads the car afresh.
    car.odometer = 5100;
    DB::saveVehicle(car);
    driver().pressRightBarButton(); // Edit
    driver().tapRow(table(), 0, 0);
    auto& editor = top<EditVehicleViewController>();
    EXPECT_EQ(editor.vehicle().vid, car.vid);
    EXPECT_EQ(editor.vehicle().odometer, 5100);
    EXPECT_EQ(driver().navigationTitle(), "Wagon");
    EXPECT_EQ(driver().backButtonTitle(), "Cars");

    driver().pressBack();
    EXPECT_EQ(driver().navigationTitle(), "Vantrel");
    EXPECT_EQ(cell(0).odometer().value(), 5100);
}

TEST_F(RootViewControllerTest, ToolbarAndStartRowsReachEveryAction) {
    launch();
    TableView& start = *root().startupController()->startupTable();

    driver().tapRow(start, 0, 1);
    EXPECT_NE(dynamic_cast<SettingsViewController*>(driver().topViewController()), nullptr);
    driver().pressBack();

    driver().tapRow(start, 0, 2);
    EXPECT_NE(dynamic_cast<ThemeSelectionViewController*>(driver().topViewController()), nullptr);
    driver().pressBack();

    ThemedViewController::setSelectedTheme(2);
    driver().tapRow(start, 0, 3);
    auto* help = dynamic_cast<WebBrowserViewController*>(driver().window().topPresentedController());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->url(), ThemedViewController::helpURL());
    EXPECT_NE(help->url().find("mobile/vantrel/help/?t=3781df"), std::string::npos);
    // The device's own back closes a screen presented over the others.
    EXPECT_TRUE(driver().window().pressBackButton());
    driver().runUntilIdle();
    EXPECT_EQ(dynamic_cast<WebBrowserViewController*>(driver().window().topPresentedController()), nullptr);

    tapToolbarItem(2); // Add
    EXPECT_NE(dynamic_cast<EditVehicleViewController*>(driver().topViewController()), nullptr);
    driver().pressBack();

    tapToolbarItem(4); // Help
    EXPECT_NE(dynamic_cast<WebBrowserViewController*>(driver().window().topPresentedController()), nullptr);
    dynamic_cast<WebBrowserViewController*>(driver().window().topPresentedController())->closeButtonPressed();
    driver().runUntilIdle();

    tapToolbarItem(5); // About
    EXPECT_NE(dynamic_cast<AboutViewController*>(driver().window().topPresentedController()), nullptr);
}

#include <gtest/gtest.h>

#include <algorithm>

#include "app/AppTestSupport.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/views/Label.h"
#include "screens/RecordRepairViewController.h"
#include "screens/RepairHistoryCell.h"
#include "screens/RepairsTabViewController.h"
#include "screens/VehicleTabViewController.h"
#include "ui/NotesView.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"
#include "ui/VehiclePages.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

class RepairsScreensTest : public VantrelAppTest {
protected:
    RepairsTabViewController& openRepairs() {
        launch();
        driver().tapRow(*root().table(), 0, 0);
        auto& menu = top<VehicleTabViewController>();
        const std::vector<int>& pages = menu.pageRows();
        auto repairs = std::find(pages.begin(), pages.end(), int(VehiclePages::kRepairs));
        EXPECT_NE(repairs, pages.end());
        driver().tapRow(*menu.tableView(), 0, 1 + int(repairs - pages.begin()));
        return top<RepairsTabViewController>();
    }
    RepairHistoryCell& row(RepairsTabViewController& list, int r) {
        auto* cell = dynamic_cast<RepairHistoryCell*>(&driver().scrollToRow(*list.tableView(), 0, r));
        if (!cell)
            throw std::logic_error("not a repair row");
        return *cell;
    }
    void deleteRow(RepairsTabViewController& list, int r) {
        driver().swipeRow(*list.tableView(), 0, r);
        driver().tapDeleteConfirmation(*list.tableView(), 0, r);
    }
};

} // namespace

TEST_F(RepairsScreensTest, ARepairIsRecordedCorrectedAndDeletedBackToTheInvitation) {
    Vehicle car = addVehicle("Van", 50000);
    auto& list = openRepairs();
    EXPECT_EQ(driver().navigationTitle(), "Repairs");
    TableView& table = *list.tableView();
    ASSERT_EQ(table.numberOfRowsInSection(0), 1);
    EXPECT_EQ(driver().scrollToRow(table, 0, 0).textLabel().text(), "Record A Repair");
    EXPECT_FALSE(list.canEditRowAtIndexPath(table, IndexPath::forRow(0, 0)));
    keepScreen("repairs-list-empty");

    // A new repair: the name has the keyboard, and the form stays where it is for it.
    driver().tapRow(table, 0, 0);
    auto& form = top<RecordRepairViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Record Repair");
    ASSERT_TRUE(form.nameField()->isFirstResponder());
    driver().type(*form.nameField(), "Brake pads");
    EXPECT_EQ(form.tableView()->frame().y(), 0);
    driver().pressReturn();
    driver().pressRightBarButton();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Error");
    EXPECT_EQ(driver().alert()->message, "Odometer reading is required.");
    driver().dismissAlert(0);
    // The odometer and the cost lift the form above the keypad.
    driver().tap(*form.odometerView());
    driver().type(form.odometerView()->hiddenTextField(), "52000");
    EXPECT_EQ(form.tableView()->frame().y(), -RecordRepairViewController::kLift);
    driver().type(*form.costField(), "240.5");
    keepScreen("record-repair-keypad");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &list);
    ASSERT_EQ(table.numberOfRowsInSection(0), 1);
    EXPECT_EQ(row(list, 0).nameLabel().text(), "Brake pads");
    EXPECT_EQ(row(list, 0).odometer().value(), 52000);
    EXPECT_EQ(row(list, 0).dateLabel().text(), "Mar 1, 2011");
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 52000);

    // A second one with odometer updates off leaves the car's reading alone.
    SettingsManager::sharedManager().setAutoUpdateOdometer(false);
    driver().pressRightBarButton();
    auto& second = top<RecordRepairViewController>();
    driver().type(*second.nameField(), "Wiper blades");
    driver().tap(*second.odometerView());
    driver().type(second.odometerView()->hiddenTextField(), "53000");
    driver().tapRow(*second.tableView(), 0, RecordRepairViewController::kNotesRow);
    top<NotesViewController>().notesView().setText("Both sides");
    driver().pressBack();
    driver().pressRightBarButton();
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 52000);
    ASSERT_EQ(table.numberOfRowsInSection(0), 2);
    EXPECT_EQ(row(list, 0).nameLabel().text(), "Wiper blades");
    EXPECT_EQ(row(list, 0).notesLabel().text(), "Both sides");
    keepScreen("repairs-list");

    // Corrected: the stored repair opens under its name and keeps what was not touched.
    driver().tapRow(table, 0, 1);
    auto& correct = top<RecordRepairViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Brake pads");
    driver().tap(*correct.costField());
    EXPECT_EQ(correct.costField()->text(), "240.50");
    for (int deletion = 0; deletion < 5; ++deletion)
        driver().pressDelete();
    driver().type(*correct.costField(), "60");
    driver().pressRightBarButton();
    std::vector<Repair> stored = DB::allRepairsForVehicle(car);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].name, "Brake pads");
    EXPECT_EQ(stored[1].cost, 260);
    EXPECT_EQ(stored[1].odometer, 52000);

    deleteRow(list, 0);
    EXPECT_EQ(row(list, 0).nameLabel().text(), "Brake pads");
    deleteRow(list, 0);
    EXPECT_TRUE(DB::allRepairsForVehicle(car).empty());
    ASSERT_EQ(table.numberOfRowsInSection(0), 1);
    EXPECT_EQ(driver().scrollToRow(table, 0, 0).textLabel().text(), "Record A Repair");
}

#include <gtest/gtest.h>

#include <cmath>

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "app/AppTestSupport.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/views/Application.h"
#include "platform/views/DatePicker.h"
#include "platform/views/Label.h"
#include "screens/EditServiceViewController.h"
#include "screens/LastServiceViewController.h"
#include "screens/RecordServiceViewController.h"
#include "screens/ServiceHistoryViewController.h"
#include "screens/ServicesTabViewController.h"
#include "screens/SettingsViewController.h"
#include "screens/VehicleTabViewController.h"
#include "ui/BadgeView.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"
#include "ui/ThemedViewController.h"
#include "ui/VTTabBar.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

using Form = EditServiceViewController;
using Record = RecordServiceViewController;

class ServiceScreensTest : public VantrelAppTest {
protected:
    // A car whose starter services were all removed.
    static Vehicle carWithoutServices(const std::string& name, int odometer) {
        Vehicle car = addVehicle(name, odometer);
        for (const Service& service : DB::serviceSummaryForVehicle(car.vid))
            DB::deleteVehicleServiceHistory(car.vid, service.serviceID);
        return car;
    }
    VehicleTabViewController& openMenu() {
        launch();
        driver().tapRow(*root().table(), 0, 0);
        return top<VehicleTabViewController>();
    }
    ServicesTabViewController& openServices() {
        auto& menu = openMenu();
        driver().tapRow(*menu.tableView(), 0, 1);
        return top<ServicesTabViewController>();
    }
    template<typename T> T& view(TableView& table, int section, int row, int tag) {
        auto* found
            = dynamic_cast<T*>(driver().scrollToRow(table, section, row).contentView().viewWithTag(tag));
        if (!found)
            throw std::logic_error("no such view in the row");
        return *found;
    }
    std::string statusOf(ServicesTabViewController& list, int row) {
        return view<Label>(*list.serviceTableView(), 0, row, ServicesTabViewController::kStatusTag).text();
    }
    // The status strip's colour where its gloss has faded, as drawn on the screen.
    Color stripColor(ServicesTabViewController& list, int row) {
        auto& strip = view<ImageView>(*list.serviceTableView(), 0, row, ServicesTabViewController::kStripTag);
        Rect onScreen = strip.convertRectToView(strip.bounds(), nullptr);
        return driver().render().colorAtPoint({onScreen.midX(), onScreen.y() + onScreen.height() * 0.85});
    }
    static void expectColor(Color seen, std::uint32_t hex) {
        Color want = Color::fromHex(hex);
        EXPECT_LT(std::abs(seen.red - want.red) + std::abs(seen.green - want.green)
                + std::abs(seen.blue - want.blue),
            0.15)
            << "expected " << std::hex << hex;
    }
    std::string valueShown(Record& record, int row) {
        return view<Label>(*record.serviceTableView(), 0, row, 2).text();
    }
    void expectAlert(const std::string& message) {
        auto alert = driver().alert();
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->title, "Error");
        EXPECT_EQ(alert->message, message);
        driver().dismissAlert(0);
    }
    // Types a reading on the record form's odometer, tapping the drum first when it has no
    // keyboard.
    void typeReading(const std::string& digits) {
        OdometerView& odometer = *top<Record>().odometerView();
        if (!odometer.hiddenTextField().isFirstResponder())
            driver().tap(odometer);
        driver().type(odometer.hiddenTextField(), digits);
    }
    static int appBadge() { return Application::sharedApplication().applicationIconBadgeNumber(); }
    void tapCar() {
        auto& list = top<ServicesTabViewController>();
        driver().tap(*list.tabBar().buttonWithTag(VehiclePages::kCar));
    }
};

} // namespace

TEST_F(ServiceScreensTest, OneServiceFromItsFirstIntervalThroughItsRecordsAndAway) {
    Vehicle car = carWithoutServices("Roadster", 10000);
    auto& list = openServices();
    EXPECT_EQ(driver().navigationTitle(), "Services");
    EXPECT_TRUE(list.services().empty());

    // Add: the interval editor proposes 12000 miles or 12 months; the name is required.
    driver().pressRightBarButton();
    auto& added = top<Form>();
    EXPECT_EQ(driver().navigationTitle(), "New Service");
    EXPECT_TRUE(added.field(Form::kNameTag)->isFirstResponder());
    EXPECT_EQ(added.field(Form::kDistanceTag)->text(), "12000");
    EXPECT_EQ(added.field(Form::kMonthsTag)->text(), "12");
    driver().pressRightBarButton();
    expectAlert("Service name is required");
    driver().type(*added.field(Form::kNameTag), "Oil Change");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &list);
    ASSERT_EQ(list.services().size(), 1u);
    const Service stored = list.services()[0];
    EXPECT_EQ(stored.frequencyInMiles, 12000);
    EXPECT_EQ(stored.frequencyInMonths, 12);
    EXPECT_EQ(view<Label>(*list.serviceTableView(), 0, 0, ServicesTabViewController::kNameTag).text(),
        "Oil Change");
    EXPECT_EQ(statusOf(list, 0), "Service not recorded yet");
    expectColor(stripColor(list, 0), 0x434343);

    driver().tapRow(*list.serviceTableView(), 0, 0);
    auto& detail = top<LastServiceViewController>();
    const LastServiceViewController::Views& shown = detail.views();
    EXPECT_EQ(driver().navigationTitle(), "Service");
    EXPECT_EQ(shown.descriptionLabel->text(), "Every 12000 miles or 12 months");
    EXPECT_EQ(detail.status(), DueStatus::NotRecorded);
    EXPECT_EQ(shown.lastRecordedDateLabel->text(), "");

    // Record: today, no reading, no cost. The reading is required; a cost over 1,000 is
    // stored whole; the date comes from the date editor.
    driver().pressRightBarButton();
    auto& record = top<Record>();
    TableView& form = *record.serviceTableView();
    EXPECT_EQ(driver().navigationTitle(), "Oil Change");
    EXPECT_TRUE(record.odometerView()->hiddenTextField().isFirstResponder());
    EXPECT_EQ(record.odometerView()->value(), -1);
    EXPECT_EQ(record.costField()->text(), "$0.00");
    EXPECT_EQ(valueShown(record, Record::kDateRow), "Mar 1, 2011");
    driver().pressRightBarButton();
    expectAlert("Odometer reading is required.");
    typeReading("10500");
    driver().tapRow(form, 0, Record::kCostRow);
    EXPECT_EQ(record.costField()->text(), "");
    driver().type(*record.costField(), "1250.5");
    driver().tapRow(form, 0, Record::kDateRow);
    auto& date = top<GenericEditViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Service Date");
    date.datePicker()->setDate(localTime(2011, 1, 15, 12));
    date.datePicker()->sendActionsForControlEvents(ControlEventValueChanged);
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &record);
    EXPECT_EQ(valueShown(record, Record::kDateRow), "Jan 15, 2011");
    EXPECT_EQ(record.costField()->text(), "$1,250.50");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &detail);

    // The due values the store computes from it: on schedule.
    EXPECT_EQ(shown.lastRecordedOdometer->value(), 10500);
    EXPECT_EQ(shown.lastRecordedDateLabel->text(), "Jan 15, 2011");
    EXPECT_EQ(shown.costLabel->text(), "$1,250.50");
    EXPECT_EQ(shown.nextDueOdometer->value(), 22500);
    EXPECT_EQ(shown.nextDueDateLabel->text(), "Jan 15, 2012");
    EXPECT_EQ(detail.status(), DueStatus::OnSchedule);
    std::vector<Service> history = DB::serviceHistoryForVehicle(car.vid, stored.serviceID);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_DOUBLE_EQ(history[0].cost, 1250.5);
    EXPECT_EQ(history[0].vehicleServiceID, stored.vehicleServiceID); // written into the kept record
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 10500); // raised: auto-update is on
    EXPECT_EQ(appBadge(), 0);

    // The interval: digits only, six for the distance and three for the months, counted after
    // the change, so a paste cannot bring in more.
    driver().tap(*shown.editButton);
    auto& interval = top<Form>();
    EXPECT_EQ(driver().navigationTitle(), "Oil Change");
    driver().tapRow(*interval.serviceTableView(), 1, 0);
    TextField& distance = *interval.field(Form::kDistanceTag);
    ASSERT_TRUE(distance.isFirstResponder());
    distance.insertText("34");
    EXPECT_EQ(distance.text(), "12000");
    distance.insertText("9");
    distance.insertText("9");
    EXPECT_EQ(distance.text(), "120009");
    for (int i = 0; i < 6; ++i)
        driver().pressDelete();
    driver().type(distance, "400");
    driver().tapRow(*interval.serviceTableView(), 1, 1);
    TextField& months = *interval.field(Form::kMonthsTag);
    months.insertText("1a");
    months.insertText("000");
    EXPECT_EQ(months.text(), "12");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &detail);
    EXPECT_EQ(shown.descriptionLabel->text(), "Every 400 miles or 12 months");
    EXPECT_EQ(shown.nextDueOdometer->value(), 10900);
    EXPECT_EQ(detail.status(), DueStatus::DueSoon);
    EXPECT_EQ(appBadge(), 1); // at once, not at the next resignation

    // Recorded again: a second performance, not an overwrite.
    driver().pressRightBarButton();
    typeReading("11000");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &detail);
    EXPECT_EQ(shown.lastRecordedDateLabel->text(), "Mar 1, 2011");
    EXPECT_EQ(shown.nextDueOdometer->value(), 11400);
    EXPECT_EQ(shown.nextDueDateLabel->text(), "Mar 1, 2012");
    EXPECT_EQ(DB::serviceHistoryForVehicle(car.vid, stored.serviceID).size(), 2u);

    // The history, newest first. Correct the latest reading; the older cost is looked at
    // for editing, without grouping, and left as it was.
    driver().tap(*shown.historyButton);
    auto& past = top<ServiceHistoryViewController>();
    TableView& rows = *past.serviceTableView();
    EXPECT_EQ(driver().navigationTitle(), "Oil Change");
    ASSERT_EQ(rows.numberOfRowsInSection(0), 2);
    using History = ServiceHistoryViewController;
    EXPECT_EQ(view<Label>(rows, 0, 1, History::kDateTag).text(), "Jan 15, 2011");
    EXPECT_EQ(view<OdometerView>(rows, 0, 1, History::kOdometerTag).value(), 10500);
    driver().tapRow(rows, 0, 1);
    EXPECT_EQ(driver().backButtonTitle(), "History");
    driver().tapRow(*top<Record>().serviceTableView(), 0, Record::kCostRow);
    EXPECT_EQ(top<Record>().costField()->text(), "1250.50");
    driver().pressRightBarButton();
    EXPECT_DOUBLE_EQ(DB::serviceHistoryForVehicle(car.vid, stored.serviceID)[1].cost, 1250.5);

    driver().tapRow(rows, 0, 0);
    auto& correction = top<Record>();
    EXPECT_EQ(correction.odometerView()->value(), 11000);
    for (int i = 0; i < 3; ++i)
        driver().pressDelete();
    typeReading("200");
    driver().tapRow(*correction.serviceTableView(), 0, Record::kNotesRow);
    driver().type(top<NotesViewController>().notesView(), "Synthetic");
    driver().pressBack();
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &past);
    EXPECT_EQ(view<OdometerView>(rows, 0, 0, History::kOdometerTag).value(), 11200);
    EXPECT_EQ(view<Label>(rows, 0, 0, History::kNotesTag).text(), "Synthetic");
    EXPECT_EQ(view<Label>(rows, 0, 1, History::kNotesTag).text(), "");
    EXPECT_EQ(DB::serviceHistoryForVehicle(car.vid, stored.serviceID).size(), 2u);

    // Deleted down to the placeholder: the service stays, not recorded.
    driver().swipeRow(rows, 0, 1);
    driver().tapDeleteConfirmation(rows, 0, 1);
    ASSERT_EQ(rows.numberOfRowsInSection(0), 1);
    driver().swipeRow(rows, 0, 0);
    driver().tapDeleteConfirmation(rows, 0, 0);
    ASSERT_TRUE(past.history().empty());
    ASSERT_EQ(rows.numberOfRowsInSection(0), 1);
    TableViewCell& placeholder = driver().scrollToRow(rows, 0, 0);
    EXPECT_EQ(placeholder.textLabel().text(), "Record Oil Change");
    EXPECT_EQ(placeholder.detailTextLabel()->text(),
        "You have not recorded Oil Change service for this car. Tap here to record Oil Change service.");
    EXPECT_FALSE(past.canEditRowAtIndexPath(rows, {0, 0}));
    EXPECT_EQ(appBadge(), 0);
    driver().pressBack();
    EXPECT_EQ(detail.status(), DueStatus::NotRecorded);
    EXPECT_EQ(shown.lastRecordedDateLabel->text(), "");

    // The placeholder records the first performance into the record the service keeps.
    const int kept = DB::lastService(stored.serviceID, car.vid).vehicleServiceID;
    driver().tap(*shown.historyButton);
    driver().tapRow(*top<History>().serviceTableView(), 0, 0);
    typeReading("11300");
    driver().pressRightBarButton();
    history = DB::serviceHistoryForVehicle(car.vid, stored.serviceID);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].vehicleServiceID, kept);
    driver().pressBack();
    driver().pressBack();
    ASSERT_EQ(driver().topViewController(), &list);
    EXPECT_EQ(statusOf(list, 0), "Due in 400 miles or 365 days");
    expectColor(stripColor(list, 0), 0xF1D200);
    EXPECT_EQ(appBadge(), 1);

    // Deleting the service takes its history with it, and the counts drop everywhere.
    driver().swipeRow(*list.serviceTableView(), 0, 0);
    driver().tapDeleteConfirmation(*list.serviceTableView(), 0, 0);
    EXPECT_TRUE(list.services().empty());
    EXPECT_TRUE(DB::serviceSummaryForVehicle(car.vid).empty());
    EXPECT_TRUE(DB::serviceHistoryForVehicle(car.vid, stored.serviceID).empty());
    EXPECT_EQ(appBadge(), 0);
    tapCar();
    auto& menu = top<VehicleTabViewController>();
    EXPECT_EQ(driver().navigationController()->viewControllers().size(), 2u);
    EXPECT_EQ(menu.dueServiceCount(), 0);
}

TEST_F(ServiceScreensTest, ThresholdsAndTheOdometerSettingDecideWhatShowsAsDue) {
    Vehicle car = addVehicle("Wagon", 20000);
    recordService(car, "Brake Inspection", localTime(2011, 2, 1), 19000); // 14000 to go
    recordService(car, "Tire Rotation", localTime(2011, 1, 1), 12800); // 300 to go
    launch();
    EXPECT_EQ(root().vehicles().at(0).dueServiceCount, 1);

    // Due soon from 15000 miles before: the brakes join the tyres, on the icon at once and
    // on the list, the menu and the services page when they show.
    root().settingsButtonPressed();
    driver().runUntilIdle();
    auto& settings = top<SettingsViewController>();
    driver().tapRow(*settings.settingsTable(), 0, 0);
    for (int i = 0; i < 3; ++i)
        driver().pressDelete();
    driver().type(*driver()
                       .scrollToRow(*settings.settingsTable(), 0, 0)
                       .contentView()
                       .viewWithTag(SettingsViewController::kDistanceFieldTag),
        "15000");
    driver().pressBack();
    EXPECT_EQ(appBadge(), 2);
    EXPECT_EQ(root().vehicles().at(0).dueServiceCount, 2);
    driver().tapRow(*root().table(), 0, 0);
    auto& menu = top<VehicleTabViewController>();
    EXPECT_EQ(menu.dueServiceCount(), 2);
    auto& badge = view<BadgeView>(*menu.tableView(), 0, 1, VehicleTabViewController::kBadgeTag);
    EXPECT_FALSE(badge.isHidden());
    EXPECT_EQ(badge.text(), "2");
    driver().tapRow(*menu.tableView(), 0, 1);
    auto& list = top<ServicesTabViewController>();
    ASSERT_EQ(list.services().at(1).name, "Brake Inspection");
    EXPECT_EQ(statusOf(list, 1), "Due in 14000 miles or 336 days");
    expectColor(stripColor(list, 1), 0xF1D200);

    // Recorded with the odometer setting off, the car keeps its reading.
    SettingsManager::sharedManager().setAutoUpdateOdometer(false);
    driver().tapRow(*list.serviceTableView(), 0, 1);
    driver().pressRightBarButton();
    typeReading("25000");
    driver().pressRightBarButton();
    driver().pressBack();
    EXPECT_EQ(statusOf(list, 1), "Due in 20000 miles or 365 days");
    EXPECT_EQ(appBadge(), 1);
    // Nor does a change of the interval move it.
    driver().tapRow(*list.serviceTableView(), 0, 1);
    driver().tap(*top<LastServiceViewController>().views().editButton);
    driver().pressRightBarButton();
    driver().pressBack();
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 20000);
    tapCar();
    EXPECT_EQ(&top<VehicleTabViewController>(), &menu);
    EXPECT_EQ(menu.odometer().value(), 20000);

    // With it on, the car's reading follows the record.
    SettingsManager::sharedManager().setAutoUpdateOdometer(true);
    driver().tapRow(*menu.tableView(), 0, 1);
    auto& again = top<ServicesTabViewController>();
    ASSERT_EQ(again.services().at(4).name, "Tire Rotation");
    driver().tapRow(*again.serviceTableView(), 0, 4);
    driver().pressRightBarButton();
    typeReading("26000");
    driver().pressRightBarButton();
    driver().pressBack();
    EXPECT_EQ(statusOf(again, 4), "Due in 7500 miles or 183 days");
    EXPECT_EQ(statusOf(again, 1), "Due in 14000 miles or 365 days");
    tapCar();
    EXPECT_EQ(menu.odometer().value(), 26000);
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 26000);
    EXPECT_EQ(menu.dueServiceCount(), 2); // both within 15000 miles
}

// The service screens as a person sees them, in a theme without and one with the header
// colour; with $VANTREL_RENDER_DIR set each is kept as "<screen>-theme-<n>.png".
class ServiceScreensRenderTest : public ServiceScreensTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ServiceScreensTest::SetUp();
        SettingsManager::sharedManager().setThemeIndex(GetParam());
    }
    void shot(const std::string& name) { keepScreen(name + "-theme-" + std::to_string(GetParam())); }
};

TEST_P(ServiceScreensRenderTest, EveryStateOnTheListAndEveryScreenOfAService) {
    Vehicle car = addVehicle("Wagon", 20000);
    Service oil = recordService(car, "Oil Change", localTime(2010, 6, 1), 14000);
    oil.notes = "Synthetic 5W-30, filter changed too.";
    DB::saveVehicleService(oil, false);
    recordService(car, "Tire Rotation", localTime(2011, 1, 1), 12800);
    recordService(car, "Brake Inspection", localTime(2011, 2, 1), 19000);
    auto& list = openServices();
    struct Row {
        const char* status;
        std::uint32_t colour;
    };
    const Row rows[] = {{"Service not recorded yet", 0x434343}, // Air Filter
        {"Due in 14000 miles or 336 days", 0x4DA72C}, // Brake Inspection
        {"Service not recorded yet", 0x434343}, // Coolant Flush
        {"Overdue by 1000 miles and 90 days", 0xC30404}, // Oil Change
        {"Due in 300 miles or 121 days", 0xF1D200}}; // Tire Rotation
    ASSERT_EQ(list.services().size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(statusOf(list, i), rows[i].status) << "row " << i;
        expectColor(stripColor(list, i), rows[i].colour);
    }
    VTTabBar& bar = list.tabBar();
    EXPECT_EQ(bar.selector().frame(), bar.buttonWithTag(VehiclePages::kServices)->frame());
    shot("services-list");

    driver().tapRow(*list.serviceTableView(), 0, 3);
    auto& detail = top<LastServiceViewController>();
    EXPECT_EQ(detail.status(), DueStatus::Overdue);
    shot("service-detail");
    driver().pressRightBarButton();
    auto& record = top<Record>();
    typeReading("20150");
    driver().tapRow(*record.serviceTableView(), 0, Record::kCostRow);
    driver().type(*record.costField(), "45.9");
    EXPECT_NE(driver().keyboardKey("."), nullptr); // the keypad's extra key
    shot("record-service");
    driver().pressRightBarButton();
    driver().tap(*detail.views().historyButton);
    shot("service-history");
    driver().pressBack();
    driver().tap(*detail.views().editButton);
    driver().tapRow(*top<Form>().serviceTableView(), 1, 0);
    shot("service-interval");
    driver().pressBack();
    driver().pressBack();
    driver().tapRow(*list.serviceTableView(), 0, 0);
    driver().tap(*top<LastServiceViewController>().views().historyButton);
    shot("service-history-empty");
}

INSTANTIATE_TEST_SUITE_P(Themes, ServiceScreensRenderTest, testing::Values(0, 2));

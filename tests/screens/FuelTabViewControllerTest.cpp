#include <gtest/gtest.h>

#include <algorithm>

#include "QLCoreLibrary/ValueText.h"
#include "app/AppTestSupport.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/Clock.h"
#include "platform/base/Locale.h"
#include "platform/views/Label.h"
#include "screens/FillupHistoryCell.h"
#include "screens/FuelTabViewController.h"
#include "screens/RecordFillupViewController.h"
#include "screens/VehicleTabViewController.h"
#include "ui/OdometerView.h"
#include "ui/SelectionViewController.h"
#include "ui/VehiclePages.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

struct Line {
    std::string economy;
    std::string purchase;
    std::string total;
};

class FuelScreensTest : public VantrelAppTest {
protected:
    void TearDown() override {
        VantrelAppTest::TearDown();
        platform::Locale::setCurrent("");
        ResetDecimalSeparatorCache();
    }
    static void useLocale(const std::string& identifier) {
        platform::Locale::setCurrent(identifier);
        ResetDecimalSeparatorCache();
    }
    static SettingsManager& settings() { return SettingsManager::sharedManager(); }

    // A fill-up as an earlier run of the application stored it.
    static Fillup store(const Vehicle& car, int day, int odometer, double quantity, double price,
        int type = kFillupFull, int units = kFuelUSGallon) {
        Fillup fillup;
        fillup.vehicleID = car.vid;
        fillup.date = localTime(2011, 3, day);
        fillup.odometer = odometer;
        fillup.quantity = quantity;
        fillup.costPerUnit = price;
        fillup.units = units;
        fillup.type = type;
        DB::saveFillup(fillup, false);
        return fillup;
    }

    // Through the car's menu to its fuel page (from the car list, launching first if need be).
    FuelTabViewController& openFuel() {
        if (!m_launched)
            launch();
        m_launched = true;
        if (driver().topViewController() == &root())
            driver().tapRow(*root().table(), 0, 0);
        auto& menu = top<VehicleTabViewController>();
        const std::vector<int>& pages = menu.pageRows();
        auto fuel = std::find(pages.begin(), pages.end(), int(VehiclePages::kFuel));
        EXPECT_NE(fuel, pages.end());
        driver().tapRow(*menu.tableView(), 0, 1 + int(fuel - pages.begin()));
        return top<FuelTabViewController>();
    }

    // Add on the fuel list, then the form as a person fills it in at the pump.
    void record(const std::string& odometer, const std::string& quantity, const std::string& price,
        int type = kFillupFull) {
        driver().pressRightBarButton();
        auto& form = top<RecordFillupViewController>();
        // The odometer has the keyboard as the form appears.
        driver().type(form.odometerView()->hiddenTextField(), odometer);
        driver().type(*form.quantityField(), quantity);
        driver().type(*form.costPerUnitField(), price);
        if (type != kFillupFull)
            chooseType(form, type);
        driver().pressRightBarButton();
    }
    void chooseType(RecordFillupViewController& form, int type) {
        driver().tapRow(*form.tableView(), 0, RecordFillupViewController::kTypeRow);
        auto& types = top<SelectionViewController>();
        EXPECT_EQ(driver().navigationTitle(), "Fill-up Type");
        driver().tapRow(*types.selectionTableView(), 0, type);
        EXPECT_EQ(driver().topViewController(), &form);
    }

    Line row(FuelTabViewController& list, int r) {
        auto* cell = dynamic_cast<FillupHistoryCell*>(&driver().scrollToRow(*list.tableView(), 0, r));
        if (!cell)
            return {"<not a fill-up row>", "", ""};
        return {cell->economyLabel().text(), cell->purchaseLabel().text(), cell->totalLabel().text()};
    }
    std::vector<std::string> economies(FuelTabViewController& list) {
        std::vector<std::string> lines;
        for (int r = 0; r < list.tableView()->numberOfRowsInSection(0); ++r)
            lines.push_back(row(list, r).economy);
        return lines;
    }
    void deleteRow(FuelTabViewController& list, int r) {
        driver().swipeRow(*list.tableView(), 0, r);
        driver().tapDeleteConfirmation(*list.tableView(), 0, r);
    }
    static std::vector<int> storedOdometers(const Vehicle& car) {
        std::vector<int> odometers;
        for (const Fillup& fillup : DB::fillupsForVehicle(car, kFuelUSGallon, kDistanceMiles, 6))
            odometers.push_back(fillup.odometer);
        return odometers;
    }

private:
    bool m_launched {false};
};

} // namespace

// Full, Partial, Full: the tank from the first to the second Full fill-up, with the fuel of
// both later ones, shows on the two fill-ups that were bought into it; the newest has none.
TEST_F(FuelScreensTest, AFullAPartialAndAFullShowTheTankEconomyInTheUnitsOfTheSettings) {
    settings().setDistanceUnit(kDistanceKilometers);
    settings().setFuelUnit(kFuelLiter);
    settings().setFuelEconomyUnit(3); // km/L
    settings().setFuelEfficiencyUnit(3); // L/100km
    Vehicle car = addVehicle("Hatch", 900);
    auto& list = openFuel();
    EXPECT_EQ(driver().navigationTitle(), "Fuel");

    // No fill-ups: one invitation, which cannot be deleted and records the first.
    TableView& table = *list.tableView();
    ASSERT_EQ(table.numberOfRowsInSection(0), 1);
    EXPECT_EQ(table.rectForRowAtIndexPath(IndexPath::forRow(0, 0)).height(), 80);
    EXPECT_EQ(driver().scrollToRow(table, 0, 0).textLabel().text(), "Record A Fill-up");
    EXPECT_FALSE(list.canEditRowAtIndexPath(table, IndexPath::forRow(0, 0)));
    keepScreen("fuel-list-empty");
    driver().tapRow(table, 0, 0);
    auto& form = top<RecordFillupViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Fill-up");
    EXPECT_TRUE(form.odometerView()->hiddenTextField().isFirstResponder());
    driver().type(form.odometerView()->hiddenTextField(), "1000");
    driver().type(*form.quantityField(), "40");
    driver().type(*form.costPerUnitField(), "1.5");
    // The total follows while the price is typed.
    EXPECT_EQ(form.totalCostField()->text(), "$60.00");
    keepScreen("fill-up-form-keypad");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &list);

    platform::Clock::setNow(localTime(2011, 3, 8, 18, 0));
    record("1200", "10", "1.5", kFillupPartial);
    platform::Clock::setNow(localTime(2011, 3, 15, 18, 0));
    record("1500", "25", "1.6");

    // 500 km on 10 + 25 litres.
    ASSERT_EQ(table.numberOfRowsInSection(0), 3);
    EXPECT_EQ(row(list, 0).economy, "");
    EXPECT_EQ(row(list, 0).purchase, "25.000L @ $1.60/L (F)");
    EXPECT_EQ(row(list, 0).total, "$40.00");
    EXPECT_EQ(row(list, 1).economy, "14.29 km/L | 7.00 L/100km");
    EXPECT_EQ(row(list, 1).purchase, "10.000L @ $1.50/L (P)");
    EXPECT_EQ(row(list, 2).economy, "14.29 km/L | 7.00 L/100km");
    EXPECT_EQ(row(list, 2).total, "$60.00");
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 1500);
    keepScreen("fuel-list-litres");

    // In US gallons and miles per gallon the same tank reads the same.
    driver().pressBack();
    settings().setFuelUnit(kFuelUSGallon);
    settings().setFuelEconomyUnit(0); // MPG (US)
    auto& again = openFuel();
    EXPECT_EQ(row(again, 1).economy, "33.60 MPG | 7.00 L/100km");
    EXPECT_EQ(row(again, 1).purchase, "2.642gal @ $5.68/gal (P)");
    EXPECT_EQ(row(again, 1).total, "$15.00");
    EXPECT_EQ(row(again, 0).purchase, "6.604gal @ $6.06/gal (F)");
    keepScreen("fuel-list-gallons");
}

TEST_F(FuelScreensTest, CorrectionsDeletionsAResetAndALowerReadingKeepEveryRowRight) {
    Vehicle car = addVehicle("Wagon", 900);
    store(car, 1, 1000, 10, 3);
    store(car, 8, 1300, 10, 3);
    store(car, 15, 1600, 12, 3);
    store(car, 22, 1900, 25, 3);
    store(car, 29, 2200, 15, 3);
    platform::Clock::setNow(localTime(2011, 3, 30, 9, 0));
    auto& list = openFuel();
    EXPECT_EQ(economies(list),
        std::vector<std::string>({"", "20.00 MPG | 5.00 gal/100mi", "12.00 MPG | 8.33 gal/100mi",
            "25.00 MPG | 4.00 gal/100mi", "30.00 MPG | 3.33 gal/100mi"}));

    // The newest row is the newest fill-up; the one before it becomes the newest.
    deleteRow(list, 0);
    EXPECT_EQ(storedOdometers(car), std::vector<int>({1000, 1300, 1600, 1900}));
    EXPECT_EQ(row(list, 0).economy, "");
    // A Full fill-up from the middle: the tank before it now runs on to the next one, at once.
    deleteRow(list, 1);
    EXPECT_EQ(storedOdometers(car), std::vector<int>({1000, 1300, 1900}));
    EXPECT_EQ(economies(list),
        std::vector<std::string>({"", "24.00 MPG | 4.17 gal/100mi", "30.00 MPG | 3.33 gal/100mi"}));

    // Corrected to Partial, the second fill-up no longer closes the first tank.
    driver().tapRow(*list.tableView(), 0, 1);
    auto& form = top<RecordFillupViewController>();
    EXPECT_EQ(form.fillup().odometer, 1300);
    chooseType(form, kFillupPartial);
    driver().pressRightBarButton();
    EXPECT_EQ(economies(list),
        std::vector<std::string>({"", "25.71 MPG | 3.89 gal/100mi", "25.71 MPG | 3.89 gal/100mi"}));

    // A Reset ends the open tank without a figure and opens the next one.
    platform::Clock::setNow(localTime(2011, 4, 5, 9, 0));
    record("2400", "8", "3", kFillupReset);
    EXPECT_EQ(row(list, 0).purchase, "8.000gal @ $3.00/gal (R)");
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 2400);
    // With odometer updates off the car keeps its reading.
    settings().setAutoUpdateOdometer(false);
    platform::Clock::setNow(localTime(2011, 4, 12, 9, 0));
    record("2700", "10", "3");
    EXPECT_EQ(DB::getVehicleWithID(car.vid).odometer, 2400);
    EXPECT_EQ(economies(list),
        std::vector<std::string>({"", "30.00 MPG | 3.33 gal/100mi", "", "25.71 MPG | 3.89 gal/100mi",
            "25.71 MPG | 3.89 gal/100mi"}));

    // A reading below the last one is a mistake the list points out, even on the newest row.
    platform::Clock::setNow(localTime(2011, 4, 19, 9, 0));
    record("2500", "9", "3");
    EXPECT_EQ(row(list, 0).economy, "Invalid odometer reading.");
    keepScreen("fuel-list-invalid");
}

TEST_F(FuelScreensTest, AFillupWithoutFuelShowsNoFigure) {
    // Quantities of 0 come from old or restored databases; the form never saves one.
    Vehicle car = addVehicle("Oldtimer");
    store(car, 1, 1000, 0, 3);
    store(car, 8, 1300, 0, 3);
    store(car, 15, 1600, 10, 3);
    auto& list = openFuel();
    EXPECT_EQ(economies(list), std::vector<std::string>({"", "30.00 MPG | 3.33 gal/100mi", ""}));
}

TEST_F(FuelScreensTest, TheFormChecksItsValuesAndKeepsTotalAndPriceInStep) {
    Vehicle car = addVehicle("Van", 900);
    auto& list = openFuel();
    driver().pressRightBarButton();
    auto& form = top<RecordFillupViewController>();
    driver().pressRightBarButton();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Error");
    EXPECT_EQ(driver().alert()->message, "Odometer reading is required.");
    driver().dismissAlert(0);
    driver().tap(*form.odometerView());
    driver().type(form.odometerView()->hiddenTextField(), "1000");
    driver().pressRightBarButton();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->message, "Quantity is required.");
    driver().dismissAlert(0);

    // A total typed with the quantity works the price out at once. (The price row lifts the
    // form, which brings the total above the keypad.)
    driver().type(*form.quantityField(), "20");
    driver().tap(*form.costPerUnitField());
    driver().type(*form.totalCostField(), "50");
    EXPECT_EQ(form.costPerUnitField()->text(), "$2.50");
    EXPECT_EQ(form.tableView()->frame().y(), -RecordFillupViewController::kLift); // above the keypad
    driver().tap(*form.quantityField());
    EXPECT_EQ(form.fillup().costPerUnit, 2.5);
    // A price of three decimals stays as typed through focus and blur, with the total after it.
    driver().tap(*form.costPerUnitField());
    while (!form.costPerUnitField()->text().empty())
        driver().pressDelete();
    driver().type(*form.costPerUnitField(), "3.499");
    EXPECT_EQ(form.totalCostField()->text(), "$69.98");
    keepScreen("fill-up-form-gallons");
    driver().tap(*form.totalCostField());
    driver().tap(*form.costPerUnitField());
    driver().tap(*form.quantityField());
    EXPECT_EQ(form.fillup().costPerUnit, 3.499);
    EXPECT_EQ(form.costPerUnitField()->text(), "$3.50");
    // 1,200 is offered for editing without its grouping and saved whole.
    while (!form.quantityField()->text().empty())
        driver().pressDelete();
    driver().type(*form.quantityField(), "1200");
    driver().tap(*form.costPerUnitField());
    EXPECT_EQ(form.quantityField()->text(), "1,200.000");
    driver().tap(*form.quantityField());
    EXPECT_EQ(form.quantityField()->text(), "1200.000");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &list);
    std::vector<Fillup> stored = DB::fillupsForVehicle(car, kFuelUSGallon, kDistanceMiles, 6);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].quantity, 1200);
    EXPECT_EQ(stored[0].costPerUnit, 3.499);
    EXPECT_EQ(row(list, 0).total, "$4,198.80");

    // A store that takes no writes: the row stays, the form stays open, and both say so.
    refuseWrites();
    deleteRow(list, 0);
    ASSERT_TRUE(driver().alert());
    EXPECT_NE(driver().alert()->message.find("could not be deleted"), std::string::npos);
    driver().dismissAlert(0);
    EXPECT_EQ(row(list, 0).total, "$4,198.80");
    record("1300", "10", "3");
    ASSERT_TRUE(driver().alert());
    EXPECT_NE(driver().alert()->message.find("could not be saved"), std::string::npos);
    driver().dismissAlert(0);
    EXPECT_EQ(top<RecordFillupViewController>().fillup().odometer, 1300);
}

TEST_F(FuelScreensTest, ADecimalCommaAndACurrencyWithoutCents) {
    useLocale("de_DE");
    settings().setFuelUnit(kFuelLiter);
    Vehicle car = addVehicle("Kombi", 900);
    auto& list = openFuel();
    driver().pressRightBarButton();
    auto& form = top<RecordFillupViewController>();
    driver().type(form.odometerView()->hiddenTextField(), "1000");
    // The keypad's extra key types the comma.
    driver().type(*form.quantityField(), "45,5");
    driver().type(*form.costPerUnitField(), "1,459");
    EXPECT_EQ(form.totalCostField()->text(), FormatCurrency(45.5 * 1.459));
    driver().pressRightBarButton();
    EXPECT_EQ(row(list, 0).purchase, "45,500L @ " + FormatCurrency(1.459) + "/L (F)");
    EXPECT_EQ(DB::fillupsForVehicle(car, kFuelLiter, kDistanceMiles, 6).at(0).costPerUnit, 1.459);
    keepScreen("fuel-list-de");

    // A ¥6,000 fill-up: touching its total changes nothing; a new total sets the price.
    driver().pressBack();
    useLocale("ja_JP");
    store(car, 2, 1400, 40, 150, kFillupFull, kFuelLiter);
    auto& yen = openFuel();
    EXPECT_EQ(row(yen, 0).total, FormatCurrency(6000));
    driver().tapRow(*yen.tableView(), 0, 0);
    auto& fillup = top<RecordFillupViewController>();
    driver().tap(*fillup.totalCostField());
    EXPECT_EQ(fillup.totalCostField()->text(), "6000");
    driver().tap(*fillup.quantityField());
    EXPECT_EQ(fillup.fillup().costPerUnit, 150);
    driver().tap(*fillup.costPerUnitField());
    driver().tap(*fillup.totalCostField());
    for (int deletion = 0; deletion < 3; ++deletion)
        driver().pressDelete();
    driver().type(*fillup.totalCostField(), "600");
    EXPECT_EQ(fillup.costPerUnitField()->text(), FormatCurrency(165));
    driver().pressRightBarButton();
    EXPECT_EQ(DB::fillupsForVehicle(car, kFuelLiter, kDistanceMiles, 6).at(1).costPerUnit, 165);
}

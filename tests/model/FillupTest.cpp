#include <gtest/gtest.h>

#include "model/Fillup.h"
#include "model/Units.h"

namespace {

Fillup tank(double quantity, double price, int units) {
    Fillup fillup;
    fillup.quantity = quantity;
    fillup.refuelQuantity = quantity;
    fillup.costPerUnit = price;
    fillup.units = units;
    return fillup;
}

} // namespace

TEST(FillupUnits, QuantityAndPriceFactorsForEveryPair) {
    struct Case {
        int from, to;
        double quantityFactor, priceFactor;
    };
    const Case cases[] = {
        {kFuelLiter, kFuelUSGallon, 0.264172052, 3.78541178},
        {kFuelLiter, kFuelImperialGallon, 0.219969157, 4.54609188},
        {kFuelUSGallon, kFuelLiter, 3.78541178, 0.264172052},
        {kFuelUSGallon, kFuelImperialGallon, 0.83267384, 1.20095042},
        {kFuelImperialGallon, kFuelLiter, 4.54609188, 0.219969157},
        {kFuelImperialGallon, kFuelUSGallon, 1.20095042, 0.83267384},
        {kFuelLiter, 7, 0.219969157, 4.54609188}, // an unknown target counts as the other gallon
    };
    for (const Case& c : cases) {
        Fillup fillup = tank(10, 2, c.from);
        EXPECT_FLOAT_EQ(fillup.quantityWithUnit(c.to), static_cast<float>(10 * c.quantityFactor))
            << c.from << "->" << c.to;
        EXPECT_FLOAT_EQ(fillup.costPerUnitWithUnit(c.to), static_cast<float>(2 * c.priceFactor))
            << c.from << "->" << c.to;
    }
    Fillup unknown = tank(10, 2, 5);
    EXPECT_EQ(unknown.quantityWithUnit(kFuelLiter), 0);
    EXPECT_EQ(unknown.costPerUnitWithUnit(kFuelLiter), 0);
    unknown.convertToUnit(kFuelUSGallon);
    EXPECT_EQ(unknown.quantity, 0);
    EXPECT_EQ(unknown.costPerUnit, 0);
    EXPECT_EQ(unknown.units, kFuelUSGallon);
}

TEST(FillupUnits, ConvertingKeepsTheTotalWithinSinglePrecision) {
    Fillup fillup = tank(10, 3.00, kFuelUSGallon);
    fillup.convertToUnit(kFuelLiter);
    EXPECT_EQ(fillup.units, kFuelLiter);
    EXPECT_FLOAT_EQ(static_cast<float>(fillup.quantity), 37.8541178f);
    EXPECT_FLOAT_EQ(static_cast<float>(fillup.refuelQuantity), 37.8541178f);
    EXPECT_FLOAT_EQ(static_cast<float>(fillup.costPerUnit), 0.792516156f);
    EXPECT_NEAR(fillup.totalCost(), 30, 1e-5);

    Fillup same = tank(10.123456789012, 1.987654321098, kFuelLiter);
    same.convertToUnit(kFuelLiter);
    EXPECT_EQ(same.quantity, 10.123456789012) << "no narrowing when the unit is the same";
    EXPECT_EQ(same.costPerUnit, 1.987654321098);
}

TEST(FillupEconomy, EveryCodeFromMilesAndGallons) {
    Fillup fillup = tank(10, 3, kFuelUSGallon);
    fillup.distance = 300;
    fillup.distanceUnit = kDistanceMiles;
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(0), 30);
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(1), 300 / (10 * 0.83267384f));
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(2), 300 / (10 * 3.78541178f));
    EXPECT_NEAR(fillup.economyWithUnit(3), 12.754f, 0.001f);
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(4), 300 * 1.609344f / 10);
    EXPECT_FLOAT_EQ(fillup.efficiencyWithUnit(0), 10.0f / 300 * 100);
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(9), 30) << "unknown code: fuel as stored, distance in miles";
}

TEST(FillupEconomy, KilometresAndLitres) {
    Fillup fillup = tank(40, 1.5, kFuelLiter);
    fillup.distance = 500;
    fillup.distanceUnit = kDistanceKilometers;
    EXPECT_FLOAT_EQ(fillup.efficiencyWithUnit(3), 8);
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(3), 12.5);
    EXPECT_FLOAT_EQ(fillup.economyWithUnit(2), static_cast<float>(500 * 0.621371192) / 40);
}

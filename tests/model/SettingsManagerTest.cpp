#include <gtest/gtest.h>

#include "QLCoreLibrary/UserDefaultsExtensions.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/UserDefaults.h"
#include "support/TemporarySandbox.h"

using platform::UserDefaults;

class SettingsManagerTest : public testing::Test {
protected:
    vantrel::test::TemporarySandbox sandbox;
    SettingsManager& settings = SettingsManager::sharedManager();
};

TEST_F(SettingsManagerTest, StoringTheDefaultMakesTheKeyExist) {
    auto& store = UserDefaults::standardUserDefaults();
    EXPECT_FALSE(keyExists(store, "daysBeforeDue"));
    settings.setDaysBeforeDue(14);
    EXPECT_TRUE(keyExists(store, "daysBeforeDue"));
    EXPECT_EQ(integerForKey(store, "daysBeforeDue", 99), 14);
    // A stored value of another kind converts rather than falling back to the default.
    store.setString("serviceReminders", "no");
    EXPECT_FALSE(settings.serviceReminders());
}

TEST_F(SettingsManagerTest, ShortNamesOfTheGallonsAndOfAnUnknownUnit) {
    settings.setFuelUnit(kFuelImperialGallon);
    EXPECT_EQ(settings.fuelUnitShortName(), "gal");
    settings.setFuelUnit(9);
    EXPECT_EQ(settings.fuelUnitName(), "");
}

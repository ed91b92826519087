#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>

#include "QLCoreLibrary/ApplicationExtensions.h"
#include "QLCoreLibrary/BackupArchive.h"
#include "app/AppTestSupport.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/Clock.h"
#include "platform/base/Device.h"
#include "platform/base/FileSystem.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/TimeZone.h"
#include "platform/base/UserDefaults.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "promotion/Analytics.h"
#include "promotion/iTunesHelper.h"
#include "screens/SettingsViewController.h"

using namespace vantrel::test;
using platform::views::Application;
using platform::views::LocalNotification;
using platform::views::RepeatInterval;

namespace {

class VantrelAppDelegateTest : public VantrelAppTest {
protected:
    void TearDown() override {
        platform::Device::current().setSystemVersion("");
        VantrelAppTest::TearDown();
    }

    // Three cars whose services come due: two by distance (due dates in summer), one by
    // date (due 10 March, fewer than 14 days away).
    void addDueServices() {
        Vehicle family = addVehicle("Family Car", 10000);
        recordService(family, "Oil Change", localTime(2011, 2, 1), 5200); // due at 10200: 200 to go
        Vehicle van = addVehicle("Van", 20000);
        recordService(van, "Tire Rotation", localTime(2011, 1, 15), 12700); // due at 20200
        Vehicle coupe = addVehicle("Coupe", 3000);
        recordService(coupe, "Oil Change", localTime(2010, 9, 10), 2500); // due 10 March 2011
    }

    static std::vector<LocalNotification> reminders() {
        return Application::sharedApplication().scheduledLocalNotifications();
    }
};

// Puts the keypad key back on the keyboard as the platform does, for a number pad entry that
// has the keyboard now; answers whether the delegate added its key.
bool keyAddedOn(const char* notification) {
    Application& application = Application::sharedApplication();
    platform::views::View* keyboard = keyboardView(application);
    if (!keyboard)
        return false;
    if (platform::views::View* key = keyboard->viewWithTag(kKeypadAuxButtonTag))
        key->removeFromSuperview();
    platform::NotificationCenter::defaultCenter().post(notification);
    return keyboard->viewWithTag(kKeypadAuxButtonTag) != nullptr;
}

[[noreturn]] void stallTheEngine() {
    throw std::runtime_error("the engine stalled");
}

} // namespace

TEST_F(VantrelAppDelegateTest, LaunchOpensTheDatabaseAndShowsTheVehicleListInAKeyWindow) {
    launch();

    EXPECT_TRUE(platform::fs::fileExists(driver().sandbox().documents() + "/vantrel.db"));
    ASSERT_NE(DB::helper(), nullptr);
    ASSERT_TRUE(delegate().window());
    EXPECT_TRUE(delegate().window()->isKeyWindow());
    EXPECT_EQ(delegate().window()->rootViewController(), delegate().navigationController());
    EXPECT_EQ(driver().topViewController(), &root());
    EXPECT_EQ(driver().navigationTitle(), "Vantrel");

    // The usage recorder's session started with the application's key.
    EXPECT_TRUE(std::regex_match(Analytics::sessionKey(), std::regex("[A-Z0-9]{20}")));
    ASSERT_FALSE(Analytics::recentEvents().empty());
    EXPECT_EQ(Analytics::recentEvents().back().kind, Analytics::Event::Kind::Session);

    Application::sharedApplication().terminate();
    EXPECT_EQ(DB::helper(), nullptr);
}

TEST_F(VantrelAppDelegateTest, DamagedDataIsKeptAsideAndTheUserToldOnce) {
    const std::string documents = driver().sandbox().documents();
    platform::fs::createDirectories(documents);
    platform::fs::writeFileAtomically(documents + "/vantrel.db", "scribbled over");
    platform::fs::writeFileAtomically(
        platform::UserDefaults::preferencesFilePath(), std::string("<plist>\0", 8));
    // Left by a restore that was killed.
    platform::fs::createDirectories(BackupArchive::stagingDirectory());
    platform::UserDefaults::resetStandardUserDefaults();
    launch();

    auto alert = driver().alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title, "Vantrel");
    EXPECT_EQ(alert->buttons, std::vector<std::string> {"OK"});
    EXPECT_NE(alert->message.find(documents + "/vantrel.damaged-2011-03-01-0950"), std::string::npos)
        << alert->message;
    EXPECT_NE(alert->message.find("restore it from the backup screen"), std::string::npos);
    EXPECT_NE(alert->message.find("settings could not be read"), std::string::npos);
    EXPECT_FALSE(platform::fs::fileExists(BackupArchive::stagingDirectory()));
    keepScreen("damaged-data-notice");
    driver().dismissAlert(0);
    // The fresh database works.
    addVehicle("Fresh start");
    EXPECT_EQ(DB::vehiclesWithServiceDueInDays(14, 500).size(), 1u);

    relaunch();
    EXPECT_FALSE(driver().alert() && driver().alert()->title == "Vantrel"
        && driver().alert()->message.find("damaged") != std::string::npos);
}

TEST_F(VantrelAppDelegateTest, ResigningSchedulesADailyReminderPerDueServiceOneMinuteApart) {
    launch();
    addDueServices();

    Application::sharedApplication().resignActive();

    std::vector<LocalNotification> scheduled = reminders();
    ASSERT_EQ(scheduled.size(), 3u);
    // Soonest due first, fourteen days before the due day, at 09:50 + 1:15, + 1:16, + 1:17.
    EXPECT_EQ(scheduled[0].alertBody, "Oil Change for Coupe is due");
    EXPECT_EQ(scheduled[0].fireDate, localTime(2011, 2, 24, 11, 5)); // in the past: handed over as is
    EXPECT_EQ(scheduled[1].alertBody, "Tire Rotation for Van is due");
    EXPECT_EQ(scheduled[1].fireDate, localTime(2011, 7, 1, 11, 6));
    EXPECT_EQ(scheduled[2].alertBody, "Oil Change for Family Car is due");
    EXPECT_EQ(scheduled[2].fireDate, localTime(2011, 7, 18, 11, 7));
    for (const LocalNotification& reminder : scheduled) {
        EXPECT_EQ(reminder.repeatInterval, RepeatInterval::Day);
        EXPECT_EQ(reminder.timeZone, platform::TimeZone::defaultIdentifier());
        EXPECT_EQ(reminder.soundName, LocalNotification::kDefaultSoundName);
    }
    EXPECT_EQ(Application::sharedApplication().applicationIconBadgeNumber(), 3);

    // Rebuilt, not added to, on the next resignation; minutes past the hour carry over.
    platform::Clock::setNow(localTime(2011, 3, 2, 22, 50));
    Application::sharedApplication().becomeActive();
    Application::sharedApplication().resignActive();
    scheduled = reminders();
    ASSERT_EQ(scheduled.size(), 3u);
    EXPECT_EQ(scheduled[2].fireDate, localTime(2011, 7, 19, 0, 7));
}

TEST_F(VantrelAppDelegateTest, LongOverdueServicesGiveOneNoticeNamingThemAwayAndNoneInFront) {
    platform::Clock::setNow(localTime(2025, 3, 1, 9, 50));
    launch();
    for (const char* name : {"Roadster", "Van", "Coupe"}) {
        Vehicle car = addVehicle(name, 90000);
        recordService(car, "Oil Change", localTime(2015, 3, 1), 1000);
    }
    Application& application = Application::sharedApplication();
    application.enterBackground();
    driver().runUntilIdle();
    ASSERT_EQ(driver().presentedNotifications().size(), 1u);
    EXPECT_EQ(driver().presentedNotifications()[0].alertBody,
        "3 services are due: Oil Change for Roadster, Oil Change for Van, Oil Change for Coupe");
    EXPECT_EQ(application.applicationIconBadgeNumber(), 3);

    // Back in front the reminders are rebuilt on the next resignation only; in front they
    // fire unseen.
    application.becomeActive();
    platform::Clock::setNow(localTime(2025, 3, 2, 11, 10));
    driver().runUntilIdle();
    EXPECT_EQ(driver().presentedNotifications().size(), 1u);
}

TEST_F(VantrelAppDelegateTest, ThresholdsDecideWhatIsDueAndRemindersOffStillSetTheBadge) {
    launch();
    addDueServices();
    Application& application = Application::sharedApplication();
    SettingsManager& settings = SettingsManager::sharedManager();

    settings.setServiceReminders(false);
    application.resignActive();
    EXPECT_TRUE(reminders().empty());
    EXPECT_EQ(application.applicationIconBadgeNumber(), 3);

    // Narrower thresholds: only the coupe's oil change (9 days away) is due. Resigning also
    // writes them to disk.
    settings.setServiceReminders(true);
    settings.setDistanceBeforeDue(100);
    settings.setDaysBeforeDue(10);
    application.becomeActive();
    application.resignActive();
    ASSERT_EQ(reminders().size(), 1u);
    EXPECT_EQ(reminders()[0].fireDate, localTime(2011, 2, 28, 11, 5));
    EXPECT_EQ(application.applicationIconBadgeNumber(), 1);
    platform::UserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(settings.daysBeforeDue(), 10);

    // Nothing due: no reminder, no badge.
    settings.setDistanceBeforeDue(0);
    settings.setDaysBeforeDue(0);
    application.becomeActive();
    application.resignActive();
    EXPECT_TRUE(reminders().empty());
    EXPECT_EQ(application.applicationIconBadgeNumber(), 0);
}

TEST_F(VantrelAppDelegateTest, TheRatingPromptComesOnActivationsAfterLaunchOrTheBackgroundOnly) {
    launch();
    // The first activation only starts the three-day wait.
    EXPECT_FALSE(driver().alert());
    EXPECT_TRUE(platform::UserDefaults::standardUserDefaults().objectForKey(iTunesHelper::kNextRequestKey));
    EXPECT_FALSE(delegate().isEnteringForeground());

    platform::Clock::advance(iTunesHelper::kRequestInterval);
    // An interruption (a call, a locked screen) is not a return to the foreground.
    Application::sharedApplication().resignActive();
    Application::sharedApplication().becomeActive();
    driver().runUntilIdle();
    EXPECT_FALSE(driver().alert());

    leaveAndReturn();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Like Vantrel?");
}

TEST_F(VantrelAppDelegateTest, TheKeypadKeyReturnsOnTheKeyboardNotificationOfTheSystemVersion) {
    struct Case {
        const char* version;
        bool willShow;
    };
    bool launched = false;
    for (Case c : {Case {"3.1.3", true}, Case {"3.2", false}, Case {"4.0", false}}) {
        SCOPED_TRACE(c.version);
        platform::Device::current().setSystemVersion(c.version);
        if (launched)
            relaunch();
        else
            launch();
        launched = true;
        EXPECT_DOUBLE_EQ(
            VantrelAppDelegate::systemVersionNumber(), std::stod(std::string(c.version).substr(0, 3)));

        // A number pad entry with the keyboard: the settings' distance threshold.
        root().settingsButtonPressed();
        driver().runUntilIdle();
        auto& settings = top<SettingsViewController>();
        driver().tapRow(*settings.settingsTable(), 0, 0);
        ASSERT_NE(keyboardView(Application::sharedApplication()), nullptr);

        EXPECT_EQ(keyAddedOn(platform::views::kKeyboardWillShowNotification), c.willShow);
        EXPECT_EQ(keyAddedOn(platform::views::kKeyboardDidShowNotification), !c.willShow);
    }
}

TEST(UncaughtExceptionHandlerDeathTest, AnExceptionThatEndsTheProcessIsOnRecordAfterwards) {
    // Forked, so that the dying process writes into this test's sandbox.
    GTEST_FLAG_SET(death_test_style, "fast");
    TemporarySandbox sandbox;
    Analytics::reset();
    EXPECT_DEATH(
        {
            installUncaughtExceptionHandler();
            installUncaughtExceptionHandler(); // twice changes nothing
            []() noexcept { stallTheEngine(); }();
        },
        "");
    // The process that died wrote its crash into this sandbox.
    Analytics::reset();
    std::vector<Analytics::Event> events = Analytics::recentEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, "Crash!");
    EXPECT_EQ(events[0].message, "std::runtime_error");
    EXPECT_EQ(events[0].detail, "the engine stalled");

    // Anything thrown is reported by its type.
    uncaughtExceptionHandler(std::make_exception_ptr(42));
    EXPECT_EQ(Analytics::recentEvents().back().message, "int");
    Analytics::reset();
}

#include <gtest/gtest.h>

#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/base/TimeZone.h"
#include "platform/views/NavigationController.h"
#include "platform/views/StatusBar.h"
#include "platform/views/WebView.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;
using platform::Calendar;
using platform::Clock;
using platform::Date;

Date localTime(int y, int m, int d, int h, int min) {
    return Calendar().dateFromComponents({y, m, d, h, min, {}, {}});
}

// An application delegate as the product's is written: it builds its window itself and
// adds its navigation controller's view to it.
class LoggingDelegate : public ApplicationDelegate {
public:
    std::vector<std::string> events;
    std::vector<std::string> received;
    std::shared_ptr<Window> window;
    std::shared_ptr<NavigationController> nav;

    bool didFinishLaunchingWithOptions(Application&, const platform::Dictionary&) override {
        events.push_back("launch");
        window = std::make_shared<Window>();
        auto root = std::make_shared<ViewController>();
        root->setTitle("Root");
        nav = std::make_shared<NavigationController>(root);
        window->addSubview(nav->view());
        window->makeKeyAndVisible();
        return true;
    }
    void applicationDidBecomeActive(Application&) override { events.push_back("active"); }
    void applicationWillResignActive(Application&) override { events.push_back("resign"); }
    void applicationDidEnterBackground(Application&) override { events.push_back("background"); }
    void applicationWillEnterForeground(Application&) override { events.push_back("foreground"); }
    void applicationWillTerminate(Application&) override { events.push_back("terminate"); }
    void didReceiveLocalNotification(Application&, const LocalNotification& n) override {
        received.push_back(n.alertBody);
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        delegate = std::make_shared<LoggingDelegate>();
        driver.launch(delegate);
    }
    Application& app() { return Application::sharedApplication(); }

    AppDriver driver;
    std::shared_ptr<LoggingDelegate> delegate;
};

TEST_F(ApplicationTest, LifecycleCallsComeInThePhonesOrder) {
    app().enterBackground();
    app().enterForeground();
    app().becomeActive();
    app().resignActive();
    app().becomeActive();
    app().terminate();
    EXPECT_EQ(delegate->events,
        (std::vector<std::string> {"launch", "active", "resign", "background", "foreground", "active",
            "resign", "active", "terminate"}));
    EXPECT_EQ(app().applicationState(), ApplicationState::NotRunning);
}

TEST_F(ApplicationTest, AViewAddedToTheWindowMakesItsControllerTheRoot) {
    EXPECT_EQ(driver.window().rootViewController(), delegate->nav);
    EXPECT_EQ(delegate->nav->view()->frame(), Rect(0, 20, 320, 460));
    EXPECT_TRUE(delegate->nav->topViewController()->isVisible());
    EXPECT_EQ(driver.navigationTitle(), "Root");
}

TEST_F(ApplicationTest, RemindersFireByTheClockAndRepeatDaily) {
    Clock::setNow(localTime(2011, 3, 1, 9, 50));
    LocalNotification reminder;
    reminder.alertBody = "Oil Change for Civic is due";
    reminder.fireDate = localTime(2011, 3, 1, 11, 5);
    reminder.timeZone = platform::TimeZone::defaultIdentifier();
    reminder.soundName = LocalNotification::kDefaultSoundName;
    reminder.repeatInterval = RepeatInterval::Day;
    app().scheduleLocalNotification(reminder);
    LocalNotification once;
    once.alertBody = "Once";
    once.fireDate = localTime(2011, 3, 1, 12, 0);
    app().scheduleLocalNotification(once);
    EXPECT_EQ(app().scheduledLocalNotifications().size(), 2u);

    Clock::setNow(localTime(2011, 3, 1, 11, 6));
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(delegate->received, (std::vector<std::string> {"Oil Change for Civic is due"}));
    auto scheduled = app().scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 2u);
    EXPECT_EQ(*scheduled[0].fireDate, localTime(2011, 3, 2, 11, 5));

    // In the background the host shows them instead.
    app().enterBackground();
    Clock::setNow(localTime(2011, 3, 3, 8, 0));
    platform::RunLoop::main().runUntilIdle();
    ASSERT_EQ(driver.presentedNotifications().size(), 2u);
    EXPECT_EQ(driver.presentedNotifications()[0].alertBody, "Oil Change for Civic is due");
    EXPECT_EQ(driver.presentedNotifications()[1].alertBody, "Once");
    scheduled = app().scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_EQ(*scheduled[0].fireDate, localTime(2011, 3, 3, 11, 5));

    app().cancelAllLocalNotifications();
    EXPECT_TRUE(app().scheduledLocalNotifications().empty());
}

TEST_F(ApplicationTest, RemindersFiringTogetherMakeOneNoticeThatLaterOnesJoin) {
    auto reminder = [](const std::string& name, Date fire) {
        LocalNotification n;
        n.alertBody = name + " is due";
        n.fireDate = fire;
        n.repeatInterval = RepeatInterval::Day;
        n.soundName = LocalNotification::kDefaultSoundName;
        n.threadIdentifier = "services";
        n.summaryArgument = name;
        n.summaryFormat = "%u services are due: %@";
        return n;
    };
    Clock::setNow(localTime(2025, 3, 1, 9, 50));
    app().enterBackground();
    app().scheduleLocalNotification(reminder("Oil Change for Roadster", localTime(2015, 3, 1, 11, 5)));
    app().scheduleLocalNotification(reminder("Brakes for Van", localTime(2024, 1, 1, 11, 6)));
    app().scheduleLocalNotification(reminder("Tyres for Coupe", localTime(2025, 3, 1, 11, 7)));
    platform::RunLoop::main().runUntilIdle();
    ASSERT_EQ(driver.presentedNotifications().size(), 1u);
    EXPECT_EQ(driver.presentedNotifications()[0].alertBody,
        "2 services are due: Oil Change for Roadster, Brakes for Van");
    // Ten years of missed days: the next firing is today's.
    auto scheduled = app().scheduledLocalNotifications();
    EXPECT_EQ(*scheduled[0].fireDate, localTime(2025, 3, 1, 11, 5));
    EXPECT_EQ(*scheduled[1].fireDate, localTime(2025, 3, 1, 11, 6));

    // The next firings join the notice instead of adding three more.
    Clock::setNow(localTime(2025, 3, 1, 11, 8));
    platform::RunLoop::main().runUntilIdle();
    ASSERT_EQ(driver.presentedNotifications().size(), 2u);
    EXPECT_EQ(driver.presentedNotifications()[1].alertBody,
        "3 services are due: Oil Change for Roadster, Brakes for Van, Tyres for Coupe");

    // In front nothing is shown; once seen, the next time away starts a new notice.
    app().becomeActive();
    Clock::setNow(localTime(2025, 3, 2, 11, 6));
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(driver.presentedNotifications().size(), 2u);
    EXPECT_EQ(delegate->received.size(), 2u);
    app().enterBackground();
    Clock::setNow(localTime(2025, 3, 3, 11, 5));
    platform::RunLoop::main().runUntilIdle();
    ASSERT_EQ(driver.presentedNotifications().size(), 3u);
    // Yesterday's tyres reminder, due after the application went away, comes with today's oil.
    EXPECT_EQ(driver.presentedNotifications()[2].alertBody,
        "2 services are due: Oil Change for Roadster, Tyres for Coupe");
}

TEST_F(ApplicationTest, TheNextFiringOfALongMissedRepeatIsWorkedOutNotSteppedTo) {
    LocalNotification everyMinute;
    everyMinute.fireDate = localTime(2015, 1, 1, 0, 0).addingTimeInterval(30);
    everyMinute.repeatInterval = RepeatInterval::Minute;
    std::string zone = platform::TimeZone::defaultIdentifier();
    // Over five million minutes, and three centuries of days: beyond any stepping.
    EXPECT_EQ(
        *Application::nextFireDate(everyMinute, zone, localTime(2025, 3, 1, 9, 50).addingTimeInterval(10)),
        localTime(2025, 3, 1, 9, 50).addingTimeInterval(30));
    LocalNotification daily;
    daily.fireDate = localTime(1700, 6, 1, 11, 5);
    daily.timeZone = zone;
    daily.repeatInterval = RepeatInterval::Day;
    EXPECT_EQ(
        *Application::nextFireDate(daily, zone, localTime(2025, 3, 1, 11, 5)), localTime(2025, 3, 2, 11, 5));
    EXPECT_EQ(
        *Application::nextFireDate(daily, zone, localTime(2025, 3, 1, 11, 4)), localTime(2025, 3, 1, 11, 5));
    // Months keep the day of the month they started on where they can.
    LocalNotification monthly;
    monthly.fireDate = localTime(2011, 1, 31, 8, 0);
    monthly.repeatInterval = RepeatInterval::Month;
    EXPECT_EQ(
        *Application::nextFireDate(monthly, zone, localTime(2011, 2, 3, 8, 0)), localTime(2011, 2, 28, 8, 0));
    EXPECT_EQ(
        *Application::nextFireDate(monthly, zone, localTime(2011, 3, 5, 8, 0)), localTime(2011, 3, 31, 8, 0));
    LocalNotification once;
    once.fireDate = localTime(2011, 1, 31, 8, 0);
    EXPECT_FALSE(Application::nextFireDate(once, zone, localTime(2011, 3, 5, 8, 0)));
}

TEST_F(ApplicationTest, WallClockRemindersFollowTheDeviceTimeZone) {
    platform::TimeZone::setDefault("Europe/Berlin");
    LocalNotification floating;
    floating.fireDate = localTime(2011, 6, 1, 11, 0);
    floating.timeZone = "Europe/Berlin";
    LocalNotification fixed = floating;
    fixed.timeZone.reset();
    std::string zone = platform::TimeZone::defaultIdentifier();
    platform::TimeZone::setDefault("America/New_York");
    EXPECT_EQ(*Application::effectiveFireDate(floating, zone), localTime(2011, 6, 1, 11, 0));
    EXPECT_EQ(*Application::effectiveFireDate(fixed, zone), *fixed.fireDate);
    EXPECT_NE(*fixed.fireDate, localTime(2011, 6, 1, 11, 0));
}

TEST_F(ApplicationTest, AddressesAndNetworkIndicatorGoThroughTheHost) {
    EXPECT_TRUE(app().openURL("http://example.invalid/help"));
    driver.setCanOpenURLs(false);
    EXPECT_FALSE(app().canOpenURL("mailto:someone"));
    EXPECT_EQ(driver.openedURLs(), std::vector<std::string> {"http://example.invalid/help"});
    app().setNetworkActivityIndicatorVisible(true);
    EXPECT_TRUE(driver.window().statusBar().showsNetworkActivity());
}

TEST_F(ApplicationTest, WebViewsLoadThroughTheirDelegateAndTheHost) {
    struct Browser : WebViewDelegate {
        std::vector<std::string> events;
        bool shouldStartLoadWithRequest(WebView&, const std::string& url, WebViewNavigationType) override {
            events.push_back("should " + url);
            return url.find("blocked") == std::string::npos;
        }
        void webViewDidStartLoad(WebView&) override { events.push_back("start"); }
        void webViewDidFinishLoad(WebView& web) override { events.push_back("finish " + web.title()); }
        void didFailLoadWithError(WebView&, const std::string& error) override {
            events.push_back("fail " + error);
        }
    };
    auto browser = std::make_shared<Browser>();
    auto web = std::make_shared<WebView>(Rect(0, 0, 320, 416));
    web->setDelegate(browser);
    delegate->nav->topViewController()->view()->addSubview(web);
    web->loadRequest("help/index.html");
    EXPECT_TRUE(web->isLoading());
    ASSERT_EQ(app().webViews().size(), 1u);
    EXPECT_EQ(app().webViews()[0]->frameInWindow(), Rect(0, 64, 320, 416));
    web->hostDidFinishLoad("Help");
    EXPECT_FALSE(web->isLoading());
    EXPECT_FALSE(web->hostWillNavigate("blocked.html", WebViewNavigationType::LinkClicked));
    EXPECT_TRUE(web->hostWillNavigate("help/page2.html", WebViewNavigationType::LinkClicked));
    web->hostDidFailLoad("offline");
    EXPECT_TRUE(web->canGoBack());
    web->goBack();
    EXPECT_EQ(web->url(), "help/index.html");
    EXPECT_EQ(browser->events,
        (std::vector<std::string> {"should help/index.html", "start", "finish Help", "should blocked.html",
            "should help/page2.html", "start", "fail offline", "should help/index.html", "start"}));
    web->removeFromSuperview();
    EXPECT_TRUE(app().webViews().empty());
}

} // namespace
} // namespace vantrel::test

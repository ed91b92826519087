#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "platform/views/ActivityIndicatorView.h"
#include "platform/views/Application.h"
#include "screens/WebBrowserViewController.h"
#include "ui/ThemedViewController.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

class WebBrowserViewControllerTest : public VantrelAppTest {
protected:
    WebBrowserViewController& openHelp() {
        launch();
        root().helpButtonPressed();
        driver().runUntilIdle();
        auto* browser = dynamic_cast<WebBrowserViewController*>(driver().window().topPresentedController());
        if (!browser)
            throw std::logic_error("the help browser is not shown");
        return *browser;
    }
    static BarButtonItem& item(WebBrowserViewController& browser, size_t position) {
        return *browser.toolbar()->items().at(position);
    }
    static std::optional<BarButtonSystemItem> stopRefresh(WebBrowserViewController& browser) {
        return item(browser, WebBrowserViewController::kStopRefreshPosition).systemItem();
    }
    void tapItem(WebBrowserViewController& browser, size_t position) {
        View* button = browser.toolbar()->viewForItem(&item(browser, position));
        ASSERT_NE(button, nullptr);
        driver().tap(*button);
    }
};

} // namespace

TEST_F(WebBrowserViewControllerTest, ShowsTheManualWithItsTitleOnceLoaded) {
    auto& browser = openHelp();
    EXPECT_EQ(browser.url(), ThemedViewController::helpURL());
    EXPECT_EQ(browser.browser()->url(), browser.url());
    ASSERT_EQ(Application::sharedApplication().webViews().size(), 1u);

    // Loading: Stop, a spinning indicator, "Loading...".
    EXPECT_EQ(browser.titleBar().title(), "Loading...");
    EXPECT_EQ(stopRefresh(browser), BarButtonSystemItem::Stop);
    EXPECT_TRUE(browser.activityIndicator()->isAnimating());

    browser.browser()->hostDidFinishLoad("Vantrel User Manual");
    driver().runUntilIdle();
    EXPECT_EQ(browser.titleBar().title(), "Vantrel User Manual");
    EXPECT_EQ(stopRefresh(browser), BarButtonSystemItem::Refresh);
    EXPECT_FALSE(browser.activityIndicator()->isAnimating());
    EXPECT_FALSE(item(browser, 0).isEnabled());
    // Nowhere to go: both arrows look it, faded on the bar.
    auto arrowBrightness = [&](size_t position) {
        platform::graphics::Image screen = driver().render(); // lays the bar out
        View* button = browser.toolbar()->viewForItem(&item(browser, position));
        Rect frame = button->convertRectToView(button->bounds(), nullptr);
        double brightest = 0;
        for (double x = frame.x(); x < frame.maxX(); x += 1)
            for (double y = frame.y(); y < frame.maxY(); y += 1) {
                platform::graphics::Color c = screen.colorAtPoint({x, y});
                brightest = std::max(brightest, c.red + c.green + c.blue);
            }
        return brightest;
    };
    double faded = arrowBrightness(0);
    EXPECT_LT(faded, 2.2);
    EXPECT_NEAR(arrowBrightness(2), faded, 0.05);

    // A link inside the page, then back.
    ASSERT_TRUE(browser.browser()->hostWillNavigate("settings.html", WebViewNavigationType::LinkClicked));
    browser.browser()->hostDidFinishLoad("");
    EXPECT_EQ(browser.titleBar().title(), ""); // a page without a title
    EXPECT_TRUE(item(browser, 0).isEnabled());
    EXPECT_GT(arrowBrightness(0), 2.8);
    tapItem(browser, 0);
    EXPECT_EQ(browser.browser()->url(), browser.url());
    EXPECT_TRUE(item(browser, 2).isEnabled());

    // Reload.
    browser.browser()->hostDidFinishLoad("Vantrel User Manual");
    tapItem(browser, WebBrowserViewController::kStopRefreshPosition);
    EXPECT_TRUE(browser.browser()->isLoading());
    EXPECT_EQ(stopRefresh(browser), BarButtonSystemItem::Stop);
}

TEST_F(WebBrowserViewControllerTest, OnlyAFailureTheUserDidNotCauseRaisesTheConnectionAlert) {
    auto& browser = openHelp();
    tapItem(browser, WebBrowserViewController::kStopRefreshPosition); // Stop
    EXPECT_FALSE(browser.browser()->isLoading());
    EXPECT_EQ(stopRefresh(browser), BarButtonSystemItem::Refresh);
    EXPECT_FALSE(browser.activityIndicator()->isAnimating());
    EXPECT_FALSE(driver().alert());

    // A cancelled load reported by the host shows nothing either.
    browser.browser()->reload();
    browser.browser()->hostDidFailLoad("NSURLErrorDomain error -999 (cancelled)");
    driver().runUntilIdle();
    EXPECT_FALSE(driver().alert());

    browser.browser()->reload();
    browser.browser()->hostDidFailLoad("Could not connect to the server.");
    driver().runUntilIdle();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Error");
    EXPECT_EQ(driver().alert()->message,
        "Could not load the page. Please check if your internet connection is working.");
    EXPECT_EQ(browser.titleBar().title(), "");
    EXPECT_EQ(stopRefresh(browser), BarButtonSystemItem::Refresh);
    driver().dismissAlert(0);

    // Close stops loading and returns to the list.
    browser.browser()->reload();
    auto web = browser.browser();
    driver().tap(*browser.navigationBar()->leftButtonView());
    EXPECT_FALSE(web->isLoading());
    EXPECT_EQ(driver().topViewController(), &root());
}

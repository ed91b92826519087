#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/views/Application.h"
#include "platform/views/Window.h"
#include "promotion/iTunesHelper.h"
#include "support/RedirectServer.h"
#include "ui/ViewExtensions.h"

using namespace vantrel::test;
using platform::UserDefaults;

namespace {

class iTunesHelperTest : public VantrelAppTest {
protected:
    void SetUp() override {
        VantrelAppTest::SetUp();
        m_version = platform::Bundle::mainBundle().version();
        launch(); // the first activation starts the three-day wait
    }
    void TearDown() override {
        iTunesHelper::setMobileBaseURL("");
        platform::Bundle::mainBundle().setVersion(m_version);
        VantrelAppTest::TearDown();
    }
    static double nextRequest() {
        return UserDefaults::standardUserDefaults().doubleForKey(iTunesHelper::kNextRequestKey);
    }
    static double now() { return platform::Clock::now().timeIntervalSinceReferenceDate(); }
    bool busy() { return driver().window().viewWithTag(kBusyOverlayTag) != nullptr; }
    // Runs the main loop until the redirect chain has ended.
    void finishRequest() {
        platform::RunLoop::main().runUntil([this] { return !busy(); }, 20);
        driver().runUntilIdle();
    }

    std::string m_version;
};

} // namespace

TEST_F(iTunesHelperTest, PromptsEveryThreeDaysUntilDeclinedForGood) {
    // The first activation only stored the moment three days ahead.
    EXPECT_FALSE(driver().alert());
    EXPECT_DOUBLE_EQ(nextRequest(), now() + iTunesHelper::kRequestInterval);
    platform::Clock::advance(iTunesHelper::kRequestInterval - 1);
    EXPECT_FALSE(iTunesHelper::shouldAskForReview());
    platform::Clock::advance(1);
    leaveAndReturn();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Like Vantrel?");
    EXPECT_EQ(driver().alert()->message,
        "If so, please rate this version with 5 stars on the App Store so we can keep the free updates "
        "coming.");
    EXPECT_EQ(driver().alert()->buttons,
        (std::vector<std::string> {"Remind me later", "Yes, rate it!", "Don't ask again"}));
    // While it shows, another activation adds nothing.
    leaveAndReturn();
    EXPECT_EQ(driver().window().alertStack().size(), 1u);

    // Remind me later: three days from the answer, kept on disk at once.
    platform::Clock::advance(500);
    driver().dismissAlert(0);
    EXPECT_FALSE(iTunesHelper::isReviewRequestVisible());
    UserDefaults::resetStandardUserDefaults();
    EXPECT_DOUBLE_EQ(nextRequest(), now() + iTunesHelper::kRequestInterval);

    platform::Clock::advance(iTunesHelper::kRequestInterval);
    leaveAndReturn();
    driver().dismissAlert(2); // Don't ask again
    platform::Bundle::mainBundle().setVersion("9.9");
    platform::Clock::advance(100 * iTunesHelper::kRequestInterval);
    leaveAndReturn();
    EXPECT_FALSE(driver().alert());
}

TEST_F(iTunesHelperTest, RatingOpensTheReviewPageAndSilencesThePromptUntilTheNextBuild) {
    RedirectServer site;
    site.redirect("/review/vantrel", "/go/review");
    site.redirect("/go/review", "itms-apps://store.example/app/id123?action=viewContentsUserReviews");
    iTunesHelper::setMobileBaseURL(site.base());

    platform::Clock::advance(iTunesHelper::kRequestInterval);
    leaveAndReturn();
    driver().dismissAlert(1);
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey(iTunesHelper::kReviewedForVersionKey),
        platform::Bundle::mainBundle().version());
    EXPECT_TRUE(busy());
    finishRequest();
    EXPECT_EQ(driver().openedURLs(),
        std::vector<std::string> {"itms-apps://store.example/app/id123?action=viewContentsUserReviews"});

    platform::Clock::advance(10 * iTunesHelper::kRequestInterval);
    leaveAndReturn();
    EXPECT_FALSE(driver().alert());
    platform::Bundle::mainBundle().setVersion(m_version + ".1");
    leaveAndReturn();
    EXPECT_TRUE(driver().alert());
}

TEST_F(iTunesHelperTest, StoreLinksEndWhereTheChainEndsAndReviewPagesCountAsRated) {
    RedirectServer site;
    site.redirect("/appstore", "/apps/");
    site.page("/apps/");
    site.redirect("/appstore/vantrel", "itms://store.example/app/id123?action=viewContentsUserReviews");
    iTunesHelper::setMobileBaseURL(site.base());

    iTunesHelper::openAppStore();
    finishRequest();
    EXPECT_EQ(driver().openedURLs(), std::vector<std::string> {site.url("/apps/")});
    EXPECT_FALSE(UserDefaults::standardUserDefaults().stringForKey(iTunesHelper::kReviewedForVersionKey));

    iTunesHelper::openAppPage();
    finishRequest();
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey(iTunesHelper::kReviewedForVersionKey),
        platform::Bundle::mainBundle().version());
}

TEST_F(iTunesHelperTest, OtherSchemesOpenAtOnceAndAFailureIsReported) {
    iTunesHelper::openURL("itms-apps://store.example/app/id123");
    EXPECT_FALSE(busy());
    EXPECT_EQ(driver().openedURLs(), std::vector<std::string> {"itms-apps://store.example/app/id123"});

    std::string refused = refusedURL();
    iTunesHelper::setMobileBaseURL(refused.substr(0, refused.rfind('/') + 1));
    iTunesHelper::openReviews();
    finishRequest();
    ASSERT_TRUE(driver().alert());
    EXPECT_EQ(driver().alert()->title, "Connection Failed!");
    EXPECT_EQ(driver().alert()->message, "Could not connect to iTunes. Please try again later.");
    EXPECT_EQ(driver().openedURLs().size(), 1u);
}

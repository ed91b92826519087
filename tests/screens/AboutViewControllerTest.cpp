#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "platform/base/Bundle.h"
#include "platform/base/RunLoop.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"
#include "promotion/iTunesHelper.h"
#include "screens/AboutViewController.h"
#include "support/RedirectServer.h"
#include "ui/ThemedViewController.h"
#include "ui/ViewExtensions.h"

using namespace vantrel::test;
using namespace platform::views;

namespace {

class AboutViewControllerTest : public VantrelAppTest {
protected:
    std::unique_ptr<AppDriver> makeDriver() override { return std::make_unique<MailingAppDriver>(); }
    void TearDown() override {
        iTunesHelper::setMobileBaseURL("");
        VantrelAppTest::TearDown();
    }
    AboutViewController& open() {
        launch();
        root().aboutButtonPressed();
        driver().runUntilIdle();
        auto* about = dynamic_cast<AboutViewController*>(driver().window().topPresentedController());
        if (!about)
            throw std::logic_error("the about screen is not shown");
        return *about;
    }
    TableViewCell& row(AboutViewController& about, int index) {
        return driver().scrollToRow(*about.table(), 0, index);
    }
};

} // namespace

TEST_F(AboutViewControllerTest, ShowsTheProductTheMakerAndFourActions) {
    auto& about = open();
    std::string version = platform::Bundle::mainBundle().version();
    EXPECT_EQ(about.versionLabel()->text(), "Version " + version);
    EXPECT_EQ(about.versionLabel()->textColor(), Color::whiteColor());
    EXPECT_EQ(about.companyLabel()->textColor(), ThemedViewController::tableViewHeaderColor());
    EXPECT_FALSE(about.logoImageView()->image().isNull());
    EXPECT_EQ(about.logoImageView()->image().size().width, 48);

    const char* titles[] = {"Vantrel", "Quillon Software Solutions", "More Great Applications", "Contact Us",
        "Write A Review", "Tell A Friend"};
    const double heights[] = {85, 85, 57, 75, 57, 57};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(row(about, i).textLabel().text(), titles[i]);
        EXPECT_EQ(about.table()->rectForRowAtIndexPath(IndexPath::forRow(i, 0)).height(), heights[i]);
        EXPECT_EQ(row(about, i).accessoryType(),
            i < 2 ? TableViewCellAccessoryType::None : TableViewCellAccessoryType::DisclosureIndicator);
    }
    EXPECT_EQ(row(about, 0).detailTextLabel()->text().rfind("Version " + version + "\n", 0), 0u);
    EXPECT_NE(row(about, 0).accessoryView(), nullptr);
    EXPECT_EQ(
        row(about, 3).detailTextLabel()->text(), "Have a suggestion or problem? Just drop us a message.");
    keepScreen("about-theme-0");

    // The first two rows do nothing.
    driver().tapRow(*about.table(), 0, 0);
    driver().tapRow(*about.table(), 0, 1);
    EXPECT_TRUE(driver().openedURLs().empty());
    EXPECT_FALSE(about.table()->indexPathForSelectedRow());

    driver().tap(*about.navigationBar()->leftButtonView());
    EXPECT_EQ(driver().window().topPresentedController(), delegate().navigationController().get());
}

TEST_F(AboutViewControllerTest, TheMailRowsWriteToUsOrToAFriend) {
    auto& about = open();
    driver().tapRow(*about.table(), 0, 3);
    ASSERT_EQ(driver().openedURLs().size(), 1u);
    std::string contact = driver().openedURLs()[0];
    EXPECT_EQ(contact.rfind("mailto:support%40quillonsoftware.com?", 0), 0u);
    EXPECT_NE(
        contact.find("subject=Vantrel%20v" + platform::Bundle::mainBundle().version()), std::string::npos);

    driver().tapRow(*about.table(), 0, 5);
    ASSERT_EQ(driver().openedURLs().size(), 2u);
    std::string tell = driver().openedURLs()[1];
    EXPECT_EQ(tell.rfind("mailto:?", 0), 0u);
    EXPECT_NE(tell.find("Check%20out%20this%20application"), std::string::npos);
}

TEST_F(AboutViewControllerTest, TheStoreRowsFollowTheMakersLinksIntoTheStore) {
    RedirectServer site;
    site.redirect("/appstore", "itms-apps://store.example/artist/quillon");
    site.redirect("/review/vantrel", "itms-apps://store.example/app/id1?action=viewContentsUserReviews");
    iTunesHelper::setMobileBaseURL(site.base());
    auto& about = open();

    driver().tapRow(*about.table(), 0, 2);
    platform::RunLoop::main().runUntil([&] { return driver().openedURLs().size() == 1; }, 20);
    driver().tapRow(*about.table(), 0, 4);
    platform::RunLoop::main().runUntil([&] { return driver().openedURLs().size() == 2; }, 20);
    driver().runUntilIdle();
    EXPECT_EQ(driver().openedURLs(),
        (std::vector<std::string> {"itms-apps://store.example/artist/quillon",
            "itms-apps://store.example/app/id1?action=viewContentsUserReviews"}));
    EXPECT_EQ(driver().window().viewWithTag(kBusyOverlayTag), nullptr);
}

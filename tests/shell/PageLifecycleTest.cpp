#include <gtest/gtest.h>

#include "platform/views/Application.h"
#include "shell/PageLifecycle.h"
#include "support/AppDriver.h"

using namespace platform::views;
using shell::PageLifecycle;
using shell::PageState;

namespace {

class RecordingDelegate : public ApplicationDelegate {
public:
    std::vector<std::string> calls;
    void applicationDidBecomeActive(Application&) override { calls.push_back("active"); }
    void applicationWillResignActive(Application&) override { calls.push_back("resign"); }
    void applicationDidEnterBackground(Application&) override { calls.push_back("background"); }
    void applicationWillEnterForeground(Application&) override { calls.push_back("foreground"); }
};

PageState page(int id, bool visible, bool focused = true) {
    PageState state;
    state.page = id;
    state.visible = visible;
    state.focused = focused;
    return state;
}

class PageLifecycleTest : public testing::Test {
protected:
    void SetUp() override {
        delegate = std::make_shared<RecordingDelegate>();
        Application::sharedApplication().setDelegate(delegate);
        Application::sharedApplication().launch();
        delegate->calls.clear();
    }
    std::vector<std::string> takeCalls() { return std::exchange(delegate->calls, {}); }

    vantrel::test::AppDriver driver;
    std::shared_ptr<RecordingDelegate> delegate;
    PageLifecycle lifecycle {Application::sharedApplication()};
};

} // namespace

TEST_F(PageLifecycleTest, NoPageMeansBackgroundAndTheFirstPageBringsItBack) {
    lifecycle.apply();
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"resign", "background"}));
    EXPECT_EQ(Application::sharedApplication().applicationState(), ApplicationState::Background);

    lifecycle.pageChanged(page(1, true));
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"foreground", "active"}));
    EXPECT_EQ(Application::sharedApplication().applicationState(), ApplicationState::Active);
}

TEST_F(PageLifecycleTest, StaysActiveWhileAnyPageIsShown) {
    lifecycle.pageChanged(page(1, true));
    lifecycle.pageChanged(page(2, true));
    lifecycle.pageChanged(page(1, false));
    EXPECT_TRUE(takeCalls().empty());
    lifecycle.pageClosed(2);
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"resign", "background"}));
    lifecycle.pageChanged(page(1, true));
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"foreground", "active"}));
    lifecycle.pageClosed(1);
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"resign", "background"}));
    lifecycle.pageClosed(1); // already gone
    EXPECT_TRUE(takeCalls().empty());
}

TEST_F(PageLifecycleTest, AShownPageWithoutFocusIsInactiveNotBackground) {
    lifecycle.pageChanged(page(1, true, true));
    lifecycle.pageChanged(page(1, true, false));
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"resign"}));
    EXPECT_EQ(Application::sharedApplication().applicationState(), ApplicationState::Inactive);
    lifecycle.pageChanged(page(1, true, true));
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"active"}));

    // From the background a shown but unfocused page only enters the foreground.
    lifecycle.pageChanged(page(1, false, false));
    takeCalls();
    lifecycle.pageChanged(page(1, true, false));
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"foreground"}));
    EXPECT_EQ(lifecycle.target(), PageLifecycle::Target::Inactive);
}

TEST_F(PageLifecycleTest, NothingHappensBeforeLaunchOrAfterTermination) {
    Application::sharedApplication().terminate();
    takeCalls();
    lifecycle.pageChanged(page(1, true));
    lifecycle.pageClosed(1);
    EXPECT_TRUE(takeCalls().empty());
}

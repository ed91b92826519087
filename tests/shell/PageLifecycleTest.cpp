#include <gtest/gtest.h>

#include "platform/views/Application.h"
#include "shell/PageLifecycle.h"
#include "shell/ShellTestSupport.h"
#include "support/AppDriver.h"

using namespace platform::views;
using shell::PageLifecycle;
using shell::PageState;

namespace {

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
        Application::sharedApplication().setDelegate(delegate);
        Application::sharedApplication().launch();
        delegate->calls.clear();
    }
    std::vector<std::string> takeCalls() { return std::exchange(delegate->calls, {}); }

    vantrel::test::AppDriver driver;
    std::shared_ptr<vantrel::test::ShellDemoDelegate> delegate {
        std::make_shared<vantrel::test::ShellDemoDelegate>()};
    PageLifecycle lifecycle {Application::sharedApplication()};
};

} // namespace

TEST_F(PageLifecycleTest, NoPageMeansBackgroundAndAnyShownPageKeepsItActive) {
    lifecycle.apply();
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"resign", "background"}));
    EXPECT_EQ(Application::sharedApplication().applicationState(), ApplicationState::Background);

    lifecycle.pageChanged(page(1, true));
    EXPECT_EQ(takeCalls(), (std::vector<std::string> {"foreground", "active"}));
    EXPECT_EQ(Application::sharedApplication().applicationState(), ApplicationState::Active);
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

#include <gtest/gtest.h>

#include "platform/views/ActionSheet.h"
#include "platform/views/AlertButton.h"
#include "platform/views/AlertView.h"
#include "platform/views/ScrollView.h"
#include "platform/views/Toolbar.h"
#include "platform/views/ViewController.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;

class Screen : public ::testing::Test {
protected:
    void SetUp() override {
        screen = std::make_shared<ViewController>();
        driver.launchWithRootViewController(screen);
    }
    AppDriver driver;
    std::shared_ptr<ViewController> screen;
};

TEST_F(Screen, ScrollViewTellsItsDelegateAndStaysWithinItsInsets) {
    struct Recorder : ScrollViewDelegate {
        std::vector<std::string> events;
        void scrollViewWillBeginDragging(ScrollView&) override { events.push_back("begin"); }
        void scrollViewDidEndDragging(ScrollView&, bool) override { events.push_back("end"); }
        void scrollViewDidScroll(ScrollView& view) override {
            if (events.empty() || events.back() != "scroll")
                events.push_back("scroll");
        }
    } recorder;
    auto scroll = std::make_shared<ScrollView>(Rect(0, 0, 320, 400));
    scroll->setContentSize({320, 1000});
    scroll->setContentInset({50, 0, 20, 0});
    scroll->setDelegate(&recorder);
    screen->view()->addSubview(scroll);
    EXPECT_EQ(scroll->minimumContentOffset(), (Point {0, -50}));
    EXPECT_EQ(scroll->maximumContentOffset(), (Point {0, 620}));
    // A drag that starts on a button inside is taken over by the scroll view.
    auto button = std::make_shared<Button>(Rect(100, 100, 120, 100));
    int presses = 0;
    button->addTarget([&] { ++presses; }, ControlEventTouchUpInside);
    scroll->addSubview(button);
    driver.drag({160, 170}, {160, 70});
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(scroll->contentOffset().y, 100);
    EXPECT_EQ(recorder.events, (std::vector<std::string> {"begin", "scroll", "end"}));
    scroll->scrollRectToVisible(Rect(0, 900, 10, 10), false);
    EXPECT_EQ(scroll->contentOffset().y, 510);
    scroll->scrollRectToVisible(Rect(0, 0, 10, 10), false);
    EXPECT_EQ(scroll->contentOffset().y, 0);
    // Content that fits does not scroll unless asked to bounce.
    scroll->setContentSize({320, 100});
    scroll->setContentInset({});
    EXPECT_FALSE(scroll->canScrollVertically());
    driver.drag({160, 300}, {160, 100});
    EXPECT_EQ(scroll->contentOffset().y, 0);
}

TEST_F(Screen, ToolbarSharesRoomAmongFlexibleSpaces) {
    auto toolbar = std::make_shared<Toolbar>(Rect(0, 416, 320, 44));
    screen->view()->addSubview(toolbar);
    auto left = std::make_shared<BarButtonItem>("Backup", BarButtonItemStyle::Bordered);
    auto right = std::make_shared<BarButtonItem>(BarButtonSystemItem::Action);
    toolbar->setItems({left, std::make_shared<BarButtonItem>(BarButtonSystemItem::FlexibleSpace), right});
    toolbar->setTintColor(Color::fromHex(0x2F4160));
    toolbar->layoutIfNeeded();
    View* leftView = toolbar->viewForItem(left.get());
    View* rightView = toolbar->viewForItem(right.get());
    ASSERT_TRUE(leftView && rightView);
    EXPECT_EQ(leftView->frame().x(), 6);
    EXPECT_EQ(rightView->frame().maxX(), 314);
}

TEST_F(Screen, AlertButtonsStackWithCancelLast) {
    struct Recorder : AlertViewDelegate {
        int clicked = -1;
        void clickedButtonAtIndex(AlertView&, int index) override { clicked = index; }
    } recorder;
    auto alert = std::make_shared<AlertView>(
        "Restore", "Choose", &recorder, "Cancel", std::vector<std::string> {"Latest", "Oldest"});
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
    EXPECT_EQ(alert->addButtonWithTitle("Pick"), 3);
    alert->show();
    driver.window().layoutIfNeeded();
    AlertButton* cancel = alert->buttonAtIndex(0);
    AlertButton* latest = alert->buttonAtIndex(1);
    AlertButton* pick = alert->buttonAtIndex(3);
    EXPECT_LT(latest->frame().y(), pick->frame().y());
    EXPECT_LT(pick->frame().y(), cancel->frame().y());
    driver.dismissAlert(3);
    EXPECT_EQ(recorder.clicked, 3);
    EXPECT_FALSE(alert->isVisible());
}

TEST_F(Screen, NewerAlertsShowOverOlderOnes) {
    auto first = std::make_shared<AlertView>("First", "", nullptr, "OK");
    auto second = std::make_shared<AlertView>("Second", "", nullptr, "OK");
    first->show();
    second->show();
    EXPECT_EQ(driver.alert()->title, "Second");
    driver.dismissAlert(0);
    EXPECT_EQ(driver.alert()->title, "First");
    driver.dismissAlert(0);
    EXPECT_FALSE(driver.alert());
}

TEST_F(Screen, ActionSheetIndexesDestructiveFirstAndCancelLast) {
    struct Recorder : ActionSheetDelegate {
        std::vector<int> dismissed;
        void didDismissWithButtonIndex(ActionSheet&, int index) override { dismissed.push_back(index); }
    } recorder;
    auto sheet
        = std::make_shared<ActionSheet>("", &recorder, "Cancel", "Delete", std::vector<std::string> {"Keep"});
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->cancelButtonIndex(), 2);
    sheet->showInView(screen->view().get());
    driver.tapActionSheetButton(1);
    EXPECT_EQ(recorder.dismissed, std::vector<int> {1});
}

} // namespace
} // namespace vantrel::test

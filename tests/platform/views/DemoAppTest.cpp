// The toolkit as a screen uses it, driven through AppDriver like a person would.

#include <gtest/gtest.h>

#include "platform/views/DemoScreens.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;

class DemoApp : public ::testing::Test {
protected:
    void launch(std::vector<std::string> cars, TableViewStyle style = TableViewStyle::Plain) {
        list = std::make_shared<DemoListViewController>(log, std::move(cars), style);
        nav = std::make_shared<NavigationController>(list);
        driver.launchWithRootViewController(nav);
    }
    std::vector<std::string> since(size_t mark) const { return {log->begin() + long(mark), log->end()}; }

    AppDriver driver;
    std::shared_ptr<EventLog> log = std::make_shared<EventLog>();
    std::shared_ptr<DemoListViewController> list;
    std::shared_ptr<NavigationController> nav;
};

TEST_F(DemoApp, LaunchPushAndBackCallTheLifecycleInOrderAndTitleTheBackButton) {
    launch({"Civic", "Golf"});
    EXPECT_EQ(*log, (EventLog {"list viewDidLoad", "list viewWillAppear", "list viewDidAppear"}));
    EXPECT_EQ(list->view()->frame(), Rect(0, 44, 320, 416));
    size_t mark = log->size();
    driver.tapRow(list->table(), 0, 1);
    EXPECT_EQ(since(mark),
        (EventLog {"select Golf", "form viewDidLoad", "list viewWillDisappear", "form viewWillAppear",
            "list viewDidDisappear", "form viewDidAppear"}));
    EXPECT_EQ(driver.topViewController(), list->lastForm.get());
    EXPECT_EQ(driver.navigationTitle(), "Golf");
    // The list renamed itself as it disappeared; the back button shows the new title.
    EXPECT_EQ(driver.backButtonTitle(), "Cars");

    mark = log->size();
    driver.pressBack();
    EXPECT_EQ(since(mark),
        (EventLog {
            "form viewWillDisappear", "list viewWillAppear", "form viewDidDisappear", "list viewDidAppear"}));
    EXPECT_EQ(driver.topViewController(), list.get());
    EXPECT_EQ(list->lastForm->navigationController(), nullptr);
    EXPECT_EQ(driver.navigationTitle(), "Garage");
}

TEST_F(DemoApp, BackButtonPrefersThePreviousScreensBackItem) {
    launch({"Civic"});
    list->navigationItem().setBackBarButtonItem(std::make_shared<BarButtonItem>(
        "Garage", BarButtonItemStyle::Bordered, BarButtonItem::SimpleAction {}));
    driver.tapRow(list->table(), 0, 0);
    EXPECT_EQ(driver.backButtonTitle(), "Garage");
    list->lastForm->navigationItem().setHidesBackButton(true);
    EXPECT_EQ(nav->navigationBar().backButtonView(), nullptr);
}

TEST_F(DemoApp, AlertBlocksTouchesBelowAndTellsTheDelegateTheButtonIndex) {
    launch({"Civic"});
    driver.tapRow(list->table(), 0, 0);
    auto form = list->lastForm;
    driver.pressRightBarButton();
    auto alert = driver.alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->buttons, (std::vector<std::string> {"Cancel", "Save"}));
    size_t mark = log->size();
    // The back button is under the dimmed layer: the finger lands on the layer.
    driver.tapAt({30, 42});
    EXPECT_TRUE(since(mark).empty());
    driver.dismissAlert(0);
    EXPECT_EQ(since(mark), (EventLog {"alert 7 clicked 0", "alert 7 dismissed 0"}));
    EXPECT_EQ(driver.topViewController(), form.get());

    driver.pressRightBarButton();
    mark = log->size();
    driver.dismissAlert(1);
    EXPECT_EQ(since(mark)[0], "alert 7 clicked 1");
    EXPECT_EQ(since(mark)[1], "alert 7 dismissed 1");
    EXPECT_TRUE(form->saved);
    EXPECT_EQ(driver.topViewController(), list.get());
}

TEST_F(DemoApp, NumberPadTypesDigitsAndRejectsWhatTheDelegateRefuses) {
    launch({"Civic"});
    driver.tapRow(list->table(), 0, 0);
    auto form = list->lastForm;
    driver.type(*form->odometerField, "12045");
    EXPECT_EQ(form->odometerField->text(), "12045");
    EXPECT_EQ(form->editingChanges, 5);
    Keyboard* keyboard = driver.window().keyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->keyboardType(), KeyboardType::NumberPad);
    // The host forwards a letter; the delegate refuses it.
    driver.typeForwarded("x");
    EXPECT_EQ(form->odometerField->text(), "12045");
    EXPECT_EQ(form->editingChanges, 5);
    driver.pressDelete();
    EXPECT_EQ(form->odometerField->text(), "1204");
    // Setting the text from code asks nobody and tells nobody.
    form->odometerField->setText("99");
    EXPECT_EQ(form->editingChanges, 6);
}

TEST_F(DemoApp, KeyboardNotificationsFollowTheEntries) {
    launch({"Civic"});
    driver.tapRow(list->table(), 0, 0);
    auto form = list->lastForm;
    driver.tap(*form->nameField);
    EXPECT_EQ(form->keyboardEvents,
        (std::vector<std::string> {kKeyboardWillShowNotification, kKeyboardDidShowNotification}));
    EXPECT_EQ(form->keyboardFrames.back(), Rect(0, 264, 320, 216));
    // Moving to another entry keeps the keyboard up (rebuilt, shown again, never hidden).
    size_t mark = log->size();
    driver.tap(*form->odometerField);
    EXPECT_EQ(since(mark), (EventLog {"end name", "begin odometer"}));
    EXPECT_EQ(form->keyboardEvents.size(), 4u);
    EXPECT_EQ(form->keyboardEvents[2], kKeyboardWillShowNotification);
    // Save ends editing: the hide notifications follow the entry's end.
    mark = log->size();
    driver.pressRightBarButton();
    EXPECT_EQ(since(mark)[0], "end odometer");
    ASSERT_EQ(form->keyboardEvents.size(), 6u);
    EXPECT_EQ(form->keyboardEvents[4], kKeyboardWillHideNotification);
    EXPECT_EQ(form->keyboardEvents[5], kKeyboardDidHideNotification);
    EXPECT_EQ(form->keyboardFrames.back(), Rect(0, 480, 320, 216));
    EXPECT_EQ(keyboardFrameFromUserInfo({}), Rect());
    EXPECT_FALSE(driver.window().isKeyboardVisible());
}

TEST_F(DemoApp, SwipeToDeleteAsksForConfirmation) {
    launch({"Civic", "Golf", "Polo"});
    driver.swipeRow(list->table(), 0, 1);
    ASSERT_EQ(list->table().indexPathShowingDeleteConfirmation(), (IndexPath {0, 1}));
    // A tap elsewhere takes the button away and selects nothing.
    size_t mark = log->size();
    driver.tapRow(list->table(), 0, 0);
    EXPECT_TRUE(since(mark).empty());
    EXPECT_FALSE(list->table().indexPathShowingDeleteConfirmation());
    driver.swipeRow(list->table(), 0, 1);
    driver.tapDeleteConfirmation(list->table(), 0, 1);
    EXPECT_EQ(list->cars, (std::vector<std::string> {"Civic", "Polo"}));
    EXPECT_EQ(log->back(), "delete Golf");
    EXPECT_EQ(list->table().numberOfRowsInSection(0), 2);
    EXPECT_EQ(list->table().cellForRowAtIndexPath({0, 1})->textLabel().text(), "Polo");
    // Rows the data source does not let edit do not swipe.
    driver.swipeRow(list->table(), 1, 0);
    EXPECT_FALSE(list->table().indexPathShowingDeleteConfirmation());
}

TEST_F(DemoApp, EditModeDeletesWithTheMinusControlAndDeleteButton) {
    launch({"Civic", "Golf", "Polo"});
    driver.pressRightBarButton();
    EXPECT_TRUE(list->isEditing());
    EXPECT_EQ(nav->navigationBar().rightButtonView()->title(), "Done");
    TableViewCell* cell = list->table().cellForRowAtIndexPath({0, 2});
    ASSERT_NE(cell->editingControl(), nullptr);
    EXPECT_EQ(list->table().cellForRowAtIndexPath({1, 0})->editingControl(), nullptr);
    // Editing rows do not select.
    size_t mark = log->size();
    driver.tapRow(list->table(), 0, 0);
    EXPECT_TRUE(since(mark).empty());
    driver.tap(*cell->editingControl());
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    driver.tapDeleteConfirmation(list->table(), 0, 2);
    EXPECT_EQ(list->cars, (std::vector<std::string> {"Civic", "Golf"}));
    driver.pressRightBarButton();
    EXPECT_FALSE(list->isEditing());
    EXPECT_EQ(nav->navigationBar().rightButtonView()->title(), "Edit");
    EXPECT_EQ(list->table().cellForRowAtIndexPath({0, 0})->editingControl(), nullptr);
}

TEST_F(DemoApp, BusyWindowIgnoresInput) {
    launch({"Civic"});
    driver.window().setUserInteractionEnabled(false);
    size_t mark = log->size();
    driver.tapAt({40, 90});
    EXPECT_TRUE(since(mark).empty());
    EXPECT_FALSE(Application::sharedApplication().typeText("a"));
    driver.window().setUserInteractionEnabled(true);
    driver.tapRow(list->table(), 0, 0);
    EXPECT_EQ(driver.topViewController(), list->lastForm.get());
}

} // namespace
} // namespace vantrel::test

#include <gtest/gtest.h>

#include "platform/base/Calendar.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/ActionSheet.h"
#include "platform/views/AlertButton.h"
#include "platform/views/AlertView.h"
#include "platform/views/Button.h"
#include "platform/views/DatePicker.h"
#include "platform/views/ImageView.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Label.h"
#include "platform/views/PickerView.h"
#include "platform/views/ScrollView.h"
#include "platform/views/TextField.h"
#include "platform/views/TextView.h"
#include "platform/views/Toolbar.h"
#include "platform/views/ViewController.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;

// A screen to put controls on.
class ControlScreen : public ::testing::Test {
protected:
    void SetUp() override {
        screen = std::make_shared<ViewController>();
        driver.launchWithRootViewController(screen);
    }
    template<typename T> std::shared_ptr<T> add(std::shared_ptr<T> view) {
        screen->view()->addSubview(view);
        return view;
    }

    AppDriver driver;
    std::shared_ptr<ViewController> screen;
};

TEST_F(ControlScreen, ButtonSendsTouchUpInsideOnlyForATouchThatEndsInside) {
    auto button = add(Button::buttonWithType(ButtonType::RoundedRect));
    button->setFrame(Rect(20, 20, 100, 37));
    std::vector<std::string> events;
    button->addTarget([&] { events.push_back("down"); }, ControlEventTouchDown);
    button->addTarget([&](Control& sender) { events.push_back(sender.isHighlighted() ? "up lit" : "up"); },
        ControlEventTouchUpInside);
    button->addTarget([&] { events.push_back("outside"); }, ControlEventTouchUpOutside);
    driver.tap(*button);
    EXPECT_EQ(events, (std::vector<std::string> {"down", "up"}));
    events.clear();
    // Dragged far away before lifting.
    driver.drag({60, 58}, {300, 400});
    EXPECT_EQ(events, (std::vector<std::string> {"down", "outside"}));
    events.clear();
    button->setEnabled(false);
    driver.tap(*button);
    EXPECT_TRUE(events.empty());
    button->removeTargets(ControlEventAllEvents);
    EXPECT_EQ(button->allControlEvents(), 0u);
}

TEST_F(ControlScreen, ButtonStatesFallBackToNormal) {
    auto button = add(std::make_shared<Button>(Rect(0, 0, 100, 40)));
    button->setTitle("Save");
    button->setTitle("Saving", ControlStateHighlighted);
    button->setTitleColor(Color::black());
    EXPECT_EQ(button->currentTitle(), "Save");
    button->setHighlighted(true);
    EXPECT_EQ(button->currentTitle(), "Saving");
    EXPECT_EQ(button->titleLabel().text(), "Saving");
    EXPECT_EQ(button->currentTitleColor(), Color::black());
    button->setHighlighted(false);
    button->setSelected(true);
    EXPECT_EQ(button->currentTitle(), "Save");
    EXPECT_EQ(button->titleForState(ControlStateDisabled), "Save");
    // Title and image sit side by side, centred within the content insets.
    button->setContentEdgeInsets({0, 10, 0, 10});
    button->layoutIfNeeded();
    Rect title = button->titleLabel().frame();
    EXPECT_NEAR(title.midX(), 50, 1);
    EXPECT_GE(title.minX(), 10);
}

TEST_F(ControlScreen, LabelSizesToItsTextAndTruncatesOneLine) {
    auto label = add(std::make_shared<Label>(Rect(0, 0, 10, 10)));
    label->setFont(Font::systemFontOfSize(17));
    label->setText("Odometer");
    label->sizeToFit();
    EXPECT_GT(label->frame().width(), 50);
    EXPECT_LT(label->frame().width(), 100);
    EXPECT_NEAR(label->frame().height(), std::ceil(label->font().lineHeight()), 1);
    label->setNumberOfLines(0);
    label->setText("A label of many words that wraps over several lines");
    Size size = label->sizeThatFits({100, 0});
    EXPECT_LE(size.width, 100);
    EXPECT_GT(size.height, 2 * label->font().lineHeight());
    label->setHighlightedTextColor(Color::whiteColor());
    label->setHighlighted(true);
    EXPECT_EQ(label->currentTextColor(), Color::whiteColor());
}

TEST_F(ControlScreen, TextFieldRulesForTypingDeletingClearingAndReturning) {
    struct Rules : TextFieldDelegate {
        std::vector<std::pair<TextRange, std::string>> asked;
        bool allowClear = false;
        int returns = 0;
        bool shouldChangeCharactersInRange(
            TextField&, TextRange range, const std::string& replacement) override {
            asked.emplace_back(range, replacement);
            return replacement != "!";
        }
        bool textFieldShouldClear(TextField&) override { return allowClear; }
        bool textFieldShouldReturn(TextField&) override {
            ++returns;
            return true;
        }
    };
    auto rules = std::make_shared<Rules>();
    auto field = add(std::make_shared<TextField>(Rect(10, 100, 300, 31)));
    field->setBorderStyle(TextBorderStyle::RoundedRect);
    field->setClearButtonMode(TextFieldViewMode::WhileEditing);
    field->setDelegate(rules);
    int changes = 0;
    field->addTarget([&] { ++changes; }, ControlEventEditingChanged);
    int notifications = 0;
    auto token
        = platform::NotificationCenter::defaultCenter().addObserver(TextField::kTextDidChangeNotification,
            [&](const platform::Notification& n) { notifications += n.object == field.get(); });
    driver.type(*field, "Café!");
    EXPECT_EQ(field->text(), "Café");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(notifications, 4);
    EXPECT_EQ(rules->asked[3].first, (TextRange {3, 0}));
    EXPECT_EQ(rules->asked[3].second, "é");
    // Deleting asks about the whole last character.
    driver.pressDelete();
    EXPECT_EQ(rules->asked.back().first, (TextRange {3, 2}));
    EXPECT_EQ(field->text(), "Caf");
    // The return key asks, types nothing and (without an end-on-exit action) keeps editing.
    driver.pressReturn();
    EXPECT_EQ(rules->returns, 1);
    EXPECT_EQ(field->text(), "Caf");
    EXPECT_TRUE(field->isEditing());
    // The clear button asks first.
    ASSERT_TRUE(field->isClearButtonVisible());
    Rect clear = field->convertRectToView(field->clearButtonRect(), nullptr);
    driver.tapAt(clear.center());
    EXPECT_EQ(field->text(), "Caf");
    rules->allowClear = true;
    driver.tapAt(clear.center());
    EXPECT_EQ(field->text(), "");
    // An end-on-exit action makes the return key end editing.
    field->addTarget([] {}, ControlEventEditingDidEndOnExit);
    driver.pressReturn();
    EXPECT_FALSE(field->isEditing());
}

TEST_F(ControlScreen, SecureAndDisabledFields) {
    auto field = add(std::make_shared<TextField>(Rect(10, 100, 300, 31)));
    field->setSecureTextEntry(true);
    field->setText("abc");
    EXPECT_EQ(field->displayedText(), "\u2022\u2022\u2022");
    field->setEnabled(false);
    EXPECT_FALSE(field->becomeFirstResponder());
    // A delegate may refuse editing.
    struct Refuse : TextFieldDelegate {
        bool textFieldShouldBeginEditing(TextField&) override { return false; }
    };
    auto refuse = std::make_shared<Refuse>();
    field->setEnabled(true);
    field->setDelegate(refuse);
    EXPECT_FALSE(field->becomeFirstResponder());
    EXPECT_FALSE(driver.window().isKeyboardVisible());
}

TEST_F(ControlScreen, TextViewTypesLinesThroughItsDelegate) {
    struct Notes : TextViewDelegate {
        int changes = 0;
        bool shouldChangeTextInRange(TextView&, TextRange, const std::string& replacement) override {
            return replacement != "#";
        }
        void textViewDidChange(TextView&) override { ++changes; }
    };
    auto notes = std::make_shared<Notes>();
    auto textView = add(std::make_shared<TextView>(Rect(0, 0, 320, 100)));
    textView->setTextViewDelegate(notes);
    driver.type(*textView, "Oil#\nFilter");
    EXPECT_EQ(textView->text(), "Oil\nFilter");
    EXPECT_EQ(notes->changes, 10);
    EXPECT_EQ(driver.window().keyboard()->keyboardType(), KeyboardType::Default);
    for (int i = 0; i < 8; ++i)
        driver.typeForwarded("\nline");
    // The content grew and the end is in view.
    EXPECT_GT(textView->contentSize().height, 100);
    EXPECT_NEAR(textView->contentOffset().y, textView->maximumContentOffset().y, 1);
    textView->setEditable(false);
    EXPECT_FALSE(textView->isFirstResponder());
}

TEST_F(ControlScreen, PickerSelectsTheTappedRowAndTellsTheDelegate) {
    struct Makes : PickerViewDataSource, PickerViewDelegate {
        std::vector<std::string> makes {"Audi", "BMW", "Ford", "Honda", "Volvo"};
        std::vector<int> selected;
        int numberOfRowsInComponent(PickerView&, int) override { return int(makes.size()); }
        std::string titleForRow(PickerView&, int row, int) override { return makes[row]; }
        void didSelectRow(PickerView&, int row, int) override { selected.push_back(row); }
    };
    auto makes = std::make_shared<Makes>();
    auto picker = add(std::make_shared<PickerView>(Rect(0, 200, 320, 0)));
    picker->setDataSource(makes);
    picker->setDelegate(makes);
    EXPECT_EQ(picker->frame().height(), PickerView::kHeight);
    EXPECT_EQ(picker->selectedRowInComponent(0), -1);
    picker->selectRow(2, 0, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    EXPECT_TRUE(makes->selected.empty());
    // Tap the row drawn below the band.
    Rect below = picker->convertRectToView(picker->rectForRow(3, 0), nullptr);
    driver.tapAt(below.center());
    EXPECT_EQ(picker->selectedRowInComponent(0), 3);
    // Drag the wheel up by two rows.
    Point start = picker->convertPointToView(picker->bounds().center(), nullptr);
    driver.drag(start, {start.x, start.y - 88});
    EXPECT_EQ(picker->selectedRowInComponent(0), 4);
    EXPECT_EQ(makes->selected, (std::vector<int> {3, 4}));
    picker->selectRow(9, 0, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), -1);
}

TEST_F(ControlScreen, DatePickerKeepsDatesWithinItsLimits) {
    using platform::Calendar;
    using platform::DateComponents;
    auto day = [](int y, int m, int d) { return Calendar().dateFromComponents({y, m, d, 10, {}, {}, {}}); };
    auto picker = add(std::make_shared<DatePicker>(Rect(0, 200, 320, 0)));
    int changes = 0;
    picker->addTarget([&] { ++changes; }, ControlEventValueChanged);
    picker->setDate(day(2011, 1, 31));
    EXPECT_EQ(picker->pickerView().selectedRowInComponent(0), 0);
    EXPECT_EQ(picker->pickerView().selectedRowInComponent(1), 30);
    EXPECT_EQ(changes, 0);
    // Turning the month to February lands on its last day, at the same time of day.
    Rect february = picker->convertRectToView(picker->pickerView().rectForRow(1, 0), nullptr);
    driver.tapAt(february.center());
    DateComponents picked = Calendar().components(picker->date());
    EXPECT_EQ(picked.month, 2);
    EXPECT_EQ(picked.day, 28);
    EXPECT_EQ(picked.hour, 10);
    EXPECT_EQ(changes, 1);
    picker->setMaximumDate(day(2011, 2, 10));
    EXPECT_EQ(Calendar().components(picker->date()).day, 10);
    picker->setDate(day(1999, 1, 1));
    picker->setMinimumDate(day(2005, 6, 1));
    EXPECT_EQ(Calendar().components(picker->date()).year, 2005);
}

TEST_F(ControlScreen, ScrollViewTellsItsDelegateAndStaysWithinItsInsets) {
    struct Recorder : ScrollViewDelegate {
        std::vector<std::string> events;
        void scrollViewWillBeginDragging(ScrollView&) override { events.push_back("begin"); }
        void scrollViewDidEndDragging(ScrollView&, bool) override { events.push_back("end"); }
        void scrollViewDidScroll(ScrollView& view) override {
            if (events.empty() || events.back() != "scroll")
                events.push_back("scroll");
        }
    };
    auto recorder = std::make_shared<Recorder>();
    auto scroll = add(std::make_shared<ScrollView>(Rect(0, 0, 320, 400)));
    scroll->setContentSize({320, 1000});
    scroll->setContentInset({50, 0, 20, 0});
    scroll->setDelegate(recorder);
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
    EXPECT_EQ(recorder->events, (std::vector<std::string> {"begin", "scroll", "end"}));
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

TEST_F(ControlScreen, ToolbarSharesRoomAmongFlexibleSpaces) {
    auto toolbar = add(std::make_shared<Toolbar>(Rect(0, 416, 320, 44)));
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

TEST_F(ControlScreen, AlertButtonsStackWithCancelLast) {
    struct Recorder : AlertViewDelegate {
        int clicked = -1;
        void clickedButtonAtIndex(AlertView&, int index) override { clicked = index; }
    };
    auto recorder = std::make_shared<Recorder>();
    auto alert = std::make_shared<AlertView>(
        "Restore", "Choose", recorder, "Cancel", std::vector<std::string> {"Latest", "Oldest"});
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
    EXPECT_EQ(recorder->clicked, 3);
    EXPECT_FALSE(alert->isVisible());
}

TEST_F(ControlScreen, NewerAlertsShowOverOlderOnes) {
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

TEST_F(ControlScreen, ActionSheetIndexesDestructiveFirstAndCancelLast) {
    struct Recorder : ActionSheetDelegate {
        std::vector<int> dismissed;
        void didDismissWithButtonIndex(ActionSheet&, int index) override { dismissed.push_back(index); }
    };
    auto recorder = std::make_shared<Recorder>();
    auto sheet
        = std::make_shared<ActionSheet>("", recorder, "Cancel", "Delete", std::vector<std::string> {"Keep"});
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->cancelButtonIndex(), 2);
    sheet->showInView(screen->view().get());
    driver.tapActionSheetButton(1);
    EXPECT_EQ(recorder->dismissed, std::vector<int> {1});
}

TEST(ImageView, ContentModesPlaceTheImage) {
    Rect bounds(0, 0, 100, 50);
    Size image {20, 10};
    EXPECT_EQ(ImageView::imageRect(ContentMode::ScaleToFill, image, bounds), bounds);
    EXPECT_EQ(ImageView::imageRect(ContentMode::ScaleAspectFit, {50, 50}, bounds), Rect(25, 0, 50, 50));
    EXPECT_EQ(ImageView::imageRect(ContentMode::ScaleAspectFill, {50, 50}, bounds), Rect(0, -25, 100, 100));
    EXPECT_EQ(ImageView::imageRect(ContentMode::Center, image, bounds), Rect(40, 20, 20, 10));
    EXPECT_EQ(ImageView::imageRect(ContentMode::BottomRight, image, bounds), Rect(80, 40, 20, 10));
}

} // namespace
} // namespace vantrel::test

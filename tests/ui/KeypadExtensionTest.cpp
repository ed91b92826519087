// The application's own key in the number pad's blank place.

#include "QLCoreLibrary/ApplicationExtensions.h"

#include "QLCoreLibrary/ValueText.h"
#include "platform/base/Locale.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/Button.h"
#include "platform/views/Keyboard.h"
#include "ui/KitTestSupport.h"
#include "ui/OdometerView.h"

using namespace platform;
using namespace platform::views;
using vantrel::test::KitTest;

namespace {

// A form with an odometer (number pad, Done) and two amount entries (number pad, default
// return key), adding the key when an entry begins editing and again whenever the keyboard
// shows, as the screens and the application delegate do.
class Keypad : public KitTest, public TextFieldDelegate {
protected:
    void SetUp() override {
        KitTest::SetUp();
        odometer = std::make_shared<OdometerView>(Rect(10, 30, 100, 0));
        odometer->setEditable(true);
        odometer->setDelegate(this);
        content().addSubview(odometer);
        quantity = amountField(Rect(10, 70, 200, 30));
        price = amountField(Rect(10, 110, 200, 30));
        name = std::make_shared<TextField>(Rect(10, 150, 200, 30));
        name->setDelegate(this);
        content().addSubview(name);
        keyboardShown = NotificationCenter::defaultCenter().addObserver(kKeyboardDidShowNotification,
            [](const Notification&) { addStockButtonToKeypad(Application::sharedApplication()); });
    }
    void TearDown() override {
        keyboardShown.remove();
        Locale::setCurrent("");
        ResetDecimalSeparatorCache();
        KitTest::TearDown();
    }

    std::shared_ptr<TextField> amountField(Rect frame) {
        auto field = std::make_shared<TextField>(frame);
        field->setKeyboardType(KeyboardType::NumberPad);
        field->setDelegate(this);
        content().addSubview(field);
        return field;
    }

    void textFieldDidBeginEditing(TextField&) override {
        addStockButtonToKeypad(Application::sharedApplication());
    }

    std::vector<Button*> keys() {
        std::vector<Button*> found;
        if (View* keyboard = keyboardView(Application::sharedApplication())) {
            for (const auto& subview : keyboard->subviews()) {
                if (subview->tag() == kKeypadAuxButtonTag)
                    found.push_back(dynamic_cast<Button*>(subview.get()));
            }
        }
        return found;
    }

    // Taps the key as a finger would, through the window.
    void tapKey() {
        ASSERT_EQ(keys().size(), 1u);
        Button* key = keys().front();
        const Point centre = key->convertPointToView(key->bounds().center(), nullptr);
        window().touchDown(centre);
        window().touchUp(centre);
    }

    std::shared_ptr<OdometerView> odometer;
    std::shared_ptr<TextField> quantity;
    std::shared_ptr<TextField> price;
    std::shared_ptr<TextField> name;
    ObserverToken keyboardShown;
};

} // namespace

TEST_F(Keypad, FindsTheKeyboardOnlyWhileItShows) {
    EXPECT_EQ(keyboardView(Application::sharedApplication()), nullptr);
    EXPECT_EQ(firstResponder(Application::sharedApplication()), nullptr);
    // With no text entry first responder, asking for the key does nothing.
    addStockButtonToKeypad(Application::sharedApplication());
    quantity->becomeFirstResponder();
    EXPECT_EQ(firstResponder(Application::sharedApplication()), quantity.get());
    View* keyboard = keyboardView(Application::sharedApplication());
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard, window().keyboard());
}

TEST_F(Keypad, DoneKeyEndsTheOdometerEntry) {
    odometer->becomeFirstResponder();
    ASSERT_EQ(keys().size(), 1u);
    Button* key = keys().front();
    EXPECT_EQ(key->currentTitle(), "Done");
    EXPECT_EQ(key->frame(), Rect(0, 163, 105, 53));
    EXPECT_TRUE(key->backgroundImageForState(ControlStateNormal));
    EXPECT_TRUE(key->backgroundImageForState(ControlStateHighlighted));
    EXPECT_EQ(key->titleColorForState(ControlStateNormal), Color::fromHex(0x5B6270));
    renderScreen("keypad-done");

    Application::sharedApplication().typeText("8");
    tapKey();
    EXPECT_FALSE(odometer->hiddenTextField().isEditing());
    EXPECT_EQ(odometer->value(), 8);
    EXPECT_EQ(keyboardView(Application::sharedApplication()), nullptr);
}

TEST_F(Keypad, DecimalKeyTypesOneSeparator) {
    Locale::setCurrent("de_DE");
    ResetDecimalSeparatorCache();
    quantity->becomeFirstResponder();
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), ",");
    renderScreen("keypad-decimal-de");
    Application::sharedApplication().typeText("12");
    int changes = 0;
    quantity->addTarget([&] { ++changes; }, ControlEventEditingChanged);
    tapKey();
    tapKey();
    EXPECT_EQ(quantity->text(), "12,");
    EXPECT_EQ(changes, 0); // setting the text sends no editing event
    EXPECT_TRUE(quantity->isEditing());
    Application::sharedApplication().typeText("5");
    tapKey();
    EXPECT_EQ(quantity->text(), "12,5");
}

TEST_F(Keypad, TwoEntriesInTurnNeverLeaveTwoKeys) {
    odometer->becomeFirstResponder();
    EXPECT_EQ(keys().size(), 1u);
    quantity->becomeFirstResponder();
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), ".");
    // Asked again for the same entry (the keyboard showing again), still one key.
    addStockButtonToKeypad(Application::sharedApplication());
    addStockButtonToKeypad(Application::sharedApplication());
    EXPECT_EQ(keys().size(), 1u);
    tapKey();
    EXPECT_EQ(quantity->text(), ".");

    price->becomeFirstResponder();
    ASSERT_EQ(keys().size(), 1u);
    Application::sharedApplication().typeText("3");
    tapKey();
    EXPECT_EQ(price->text(), "3.");
    EXPECT_EQ(quantity->text(), ".");

    odometer->becomeFirstResponder();
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), "Done");
}

TEST_F(Keypad, OtherKeyboardsGetNoKeyAndLoseAnEarlierOne) {
    quantity->becomeFirstResponder();
    View* keyboard = keyboardView(Application::sharedApplication());
    ASSERT_NE(keyboard, nullptr);
    ASSERT_EQ(keys().size(), 1u);
    // A key placed for the earlier entry is removed even on a keyboard that is not rebuilt.
    name->becomeFirstResponder();
    auto stray = std::make_shared<Button>();
    stray->setTag(kKeypadAuxButtonTag);
    keyboardView(Application::sharedApplication())->addSubview(stray);
    addStockButtonToKeypad(Application::sharedApplication());
    EXPECT_TRUE(keys().empty());
}

TEST_F(Keypad, AuxButtonWithOwnTitleAndAction) {
    quantity->becomeFirstResponder();
    int presses = 0;
    addAuxButtonToKeypadWithTitle(Application::sharedApplication(), "±", [&] { ++presses; });
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), "±");
    tapKey();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(quantity->text(), "");
}

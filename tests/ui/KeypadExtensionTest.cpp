// The application's own key in the number pad's blank place, used as a person would.

#include "QLCoreLibrary/ApplicationExtensions.h"
#include "platform/base/SharedFrom.h"

#include "QLCoreLibrary/ValueText.h"
#include "platform/base/Locale.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/Button.h"
#include "platform/views/Keyboard.h"
#include "ui/KitTestSupport.h"
#include "ui/OdometerView.h"
#include "ui/ThemedViewController.h"

using namespace platform;
using namespace platform::views;

namespace {

// A fill-up style form: an odometer (number pad, Done), two amounts (number pad, default
// return key) and a name. Like the application's forms it adds the key when an entry
// begins editing; like the application delegate, the test adds it again whenever the
// keyboard shows.
class FillupForm : public ThemedViewController, public TextFieldDelegate {
public:
    void viewDidLoad() override {
        ThemedViewController::viewDidLoad();
        odometer = std::make_shared<OdometerView>(Rect(10, 30, 150, 0));
        odometer->setEditable(true);
        odometer->setDelegate(platform::sharedFrom(this));
        quantity = amountField(Rect(10, 80, 200, 30));
        price = amountField(Rect(10, 120, 200, 30));
        name = std::make_shared<TextField>(Rect(10, 160, 200, 30));
        name->setBorderStyle(TextBorderStyle::RoundedRect);
        name->setDelegate(platform::sharedFrom(this));
        view()->addSubview(odometer);
        view()->addSubview(name);
    }
    std::shared_ptr<TextField> amountField(Rect frame) {
        auto field = std::make_shared<TextField>(frame);
        field->setBorderStyle(TextBorderStyle::RoundedRect);
        field->setKeyboardType(KeyboardType::NumberPad);
        field->setDelegate(platform::sharedFrom(this));
        view()->addSubview(field);
        return field;
    }
    void textFieldDidBeginEditing(TextField&) override {
        addStockButtonToKeypad(Application::sharedApplication());
    }

    std::shared_ptr<OdometerView> odometer;
    std::shared_ptr<TextField> quantity, price, name;
};

class Keypad : public vantrel::test::KitScreenTest {
protected:
    void SetUp() override {
        KitScreenTest::SetUp();
        form = std::make_shared<FillupForm>();
        show(form);
        keyboardShown = NotificationCenter::defaultCenter().addObserver(kKeyboardDidShowNotification,
            [](const Notification&) { addStockButtonToKeypad(Application::sharedApplication()); });
    }
    void TearDown() override {
        keyboardShown.remove();
        Locale::setCurrent("");
        ResetDecimalSeparatorCache();
        KitScreenTest::TearDown();
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

    std::shared_ptr<FillupForm> form;
    ObserverToken keyboardShown;
};

} // namespace

TEST_F(Keypad, FindsTheKeyboardOnlyWhileItShows) {
    Application& app = Application::sharedApplication();
    EXPECT_EQ(keyboardView(app), nullptr);
    EXPECT_EQ(firstResponder(app), nullptr);
    // With no text entry first responder, asking for the key does nothing.
    addStockButtonToKeypad(app);
    driver().tap(*form->quantity);
    EXPECT_EQ(firstResponder(app), form->quantity.get());
    ASSERT_NE(keyboardView(app), nullptr);
    EXPECT_EQ(keyboardView(app), driver().window().keyboard());
}

TEST_F(Keypad, DecimalKeyTypesOneSeparator) {
    Locale::setCurrent("de_DE");
    ResetDecimalSeparatorCache();
    driver().tap(*form->quantity);
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), ",");
    int changes = 0;
    form->quantity->addTarget([&] { ++changes; }, ControlEventEditingChanged);
    driver().type(*form->quantity, "12,,5");
    EXPECT_EQ(form->quantity->text(), "12,5");
    EXPECT_EQ(changes, 3); // the digits; setting the separator sends no editing event
    driver().type(*form->quantity, ",");
    EXPECT_EQ(form->quantity->text(), "12,5");
    EXPECT_TRUE(form->quantity->isEditing());
    renderScreen("keypad-decimal-de");
}

TEST_F(Keypad, TwoEntriesInTurnNeverLeaveTwoKeysAndDoneEndsTheOdometerEntry) {
    // The odometer with its Done key, then the quantity with its decimal key, then back.
    driver().tap(*form->odometer);
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), "Done");
    EXPECT_EQ(keys().front()->frame(), Rect(0, 163, 105, 53));
    EXPECT_TRUE(keys().front()->backgroundImageForState(ControlStateHighlighted));
    driver().type(form->odometer->hiddenTextField(), "61250");
    renderScreen("keypad-done");
    EXPECT_EQ(keys().size(), 1u);
    driver().type(*form->quantity, "40.5");
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), ".");
    EXPECT_EQ(form->quantity->text(), "40.5");
    EXPECT_EQ(form->odometer->value(), 61250);
    // Asked again for the same entry (the keyboard showing again), still one key.
    addStockButtonToKeypad(Application::sharedApplication());
    EXPECT_EQ(keys().size(), 1u);

    driver().type(*form->price, "1.299");
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(form->price->text(), "1.299");
    EXPECT_EQ(form->quantity->text(), "40.5");

    driver().tap(*form->odometer);
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), "Done");
    driver().tap(*driver().keyboardKey("Done"));
    EXPECT_FALSE(form->odometer->hiddenTextField().isEditing());
    EXPECT_EQ(form->odometer->value(), 61250);
    EXPECT_FALSE(driver().window().isKeyboardVisible());
}

TEST_F(Keypad, OtherKeyboardsGetNoKeyAndLoseAnEarlierOne) {
    driver().tap(*form->quantity);
    ASSERT_EQ(keys().size(), 1u);
    driver().tap(*form->name);
    EXPECT_TRUE(keys().empty());
    // A key left on the keyboard (one not rebuilt between entries) is removed too.
    auto stray = std::make_shared<Button>();
    stray->setTag(kKeypadAuxButtonTag);
    keyboardView(Application::sharedApplication())->addSubview(stray);
    addStockButtonToKeypad(Application::sharedApplication());
    EXPECT_TRUE(keys().empty());
}

TEST_F(Keypad, AuxButtonWithOwnTitleAndAction) {
    driver().tap(*form->quantity);
    int presses = 0;
    addAuxButtonToKeypadWithTitle(Application::sharedApplication(), "±", [&] { ++presses; });
    ASSERT_EQ(keys().size(), 1u);
    EXPECT_EQ(keys().front()->currentTitle(), "±");
    driver().tap(*driver().keyboardKey("±"));
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(form->quantity->text(), "");
}

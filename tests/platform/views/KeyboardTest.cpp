#include <gtest/gtest.h>

#include "platform/base/Locale.h"
#include "platform/base/NotificationCenter.h"
#include "platform/views/Button.h"
#include "platform/views/Keyboard.h"
#include "platform/views/KeyboardKey.h"
#include "platform/views/TextField.h"
#include "platform/views/ViewController.h"
#include "platform/views/Window.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        screen = std::make_shared<ViewController>();
        driver.launchWithRootViewController(screen);
        field = std::make_shared<TextField>(Rect(10, 60, 300, 31));
        screen->view()->addSubview(field);
    }
    Keyboard& keyboard() { return *driver.window().keyboard(); }
    void tapKey(const std::string& title) {
        View* key = driver.keyboardKey(title);
        ASSERT_NE(key, nullptr) << title;
        driver.tap(*key);
    }

    AppDriver driver;
    std::shared_ptr<ViewController> screen;
    std::shared_ptr<TextField> field;
};

TEST_F(KeyboardTest, NumberPadHasDigitsDeleteAndABlankKey) {
    field->setKeyboardType(KeyboardType::NumberPad);
    driver.tap(*field);
    ASSERT_TRUE(driver.window().isKeyboardVisible());
    EXPECT_EQ(keyboard().frame(), Rect(0, 264, 320, 216));
    EXPECT_EQ(keyboard().keys().size(), 12u);
    driver.window().layoutIfNeeded();
    KeyboardKey* blank = keyboard().keyWithTitle("");
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->kind(), KeyboardKey::Kind::Blank);
    // The blank key's face is the phone's (0, 163) 105 x 53 below a one-point hairline.
    EXPECT_EQ(blank->frame(), Rect(0, 162, 105, 54));
    for (const char* digit : {"1", "9", "0"})
        tapKey(digit);
    driver.tap(*blank);
    tapKey("delete");
    EXPECT_EQ(field->text(), "19");
}

TEST_F(KeyboardTest, DecimalPadTypesTheLocalesSeparator) {
    platform::Locale::setCurrent("de_DE");
    field->setKeyboardType(KeyboardType::DecimalPad);
    driver.type(*field, "12,5");
    EXPECT_EQ(field->text(), "12,5");
    // A device keyboard's mark types the locale's separator too.
    Application::sharedApplication().typeText("5.");
    EXPECT_EQ(field->text(), "12,55,");
    EXPECT_EQ(driver.keyboardKey("."), nullptr);
}

TEST_F(KeyboardTest, LetterKeysFollowTheAutomaticCapitals) {
    field->setAutocapitalizationType(AutocapitalizationType::Words);
    driver.tap(*field);
    EXPECT_TRUE(keyboard().isShifted());
    tapKey("g");
    EXPECT_FALSE(keyboard().isShifted());
    tapKey("o");
    tapKey("space");
    EXPECT_TRUE(keyboard().isShifted());
    tapKey("x");
    EXPECT_EQ(field->text(), "Go X");
    // Numbers and punctuation behind the 123 key, and back.
    tapKey("123");
    EXPECT_TRUE(keyboard().isShowingNumbers());
    tapKey("7");
    tapKey("ABC");
    tapKey("shift");
    tapKey("z");
    EXPECT_EQ(field->text(), "Go X7Z");
    field->resignFirstResponder();
    field->setText("");
    field->setAutocapitalizationType(AutocapitalizationType::AllCharacters);
    driver.tap(*field);
    tapKey("a");
    tapKey("b");
    EXPECT_EQ(field->text(), "AB");
}

TEST_F(KeyboardTest, ReturnKeyAndAddressKeysFollowTheEntry) {
    field->setReturnKeyType(ReturnKeyType::Go);
    driver.tap(*field);
    KeyboardKey* key = keyboard().keyWithTitle("Go");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->kind(), KeyboardKey::Kind::Return);
    auto url = std::make_shared<TextField>(Rect(10, 100, 300, 31));
    url->setKeyboardType(KeyboardType::URL);
    screen->view()->addSubview(url);
    driver.tap(*url);
    tapKey(".com");
    EXPECT_EQ(url->text(), ".com");
    EXPECT_EQ(Application::sharedApplication().activeInputTraits()->keyboardType, KeyboardType::URL);
    url->resignFirstResponder();
    url->setKeyboardType(KeyboardType::EmailAddress);
    driver.tap(*url);
    tapKey("@");
    EXPECT_EQ(url->text(), ".com@");
}

TEST_F(KeyboardTest, HostKeysNeedAnEntryWithTheKeyboard) {
    EXPECT_FALSE(Application::sharedApplication().typeText("a"));
    EXPECT_FALSE(Application::sharedApplication().activeInputTraits());
    driver.tap(*field);
    EXPECT_TRUE(Application::sharedApplication().typeText("a\u00e9"));
    EXPECT_TRUE(Application::sharedApplication().pressDeleteKey());
    EXPECT_EQ(field->text(), "a");
    EXPECT_GE(driver.keyboardChanges(), 1);
}

TEST_F(KeyboardTest, ADevicesOwnKeyboardTakesThePlaceOfTheDrawnOne) {
    std::vector<Rect> shown;
    auto observer = platform::NotificationCenter::defaultCenter().addObserver(kKeyboardDidShowNotification,
        [&](const platform::Notification& n) { shown.push_back(keyboardFrameFromUserInfo(n.userInfo)); });
    driver.window().takeTransitions();
    driver.window().setHostKeyboard(true);
    driver.tap(*field);
    // Not drawn and not in the way, but the entry still types through it.
    EXPECT_TRUE(keyboard().isHidden());
    EXPECT_TRUE(driver.window().takeTransitions().empty());
    EXPECT_TRUE(Application::sharedApplication().typeText("hé"));
    EXPECT_EQ(field->text(), "hé");
    // The device says how much of the screen its keyboard covers: the entry's screen hears of it.
    driver.window().setHostKeyboard(true, 260);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], Rect(0, 264, 320, 216));
    EXPECT_EQ(shown[1], Rect(0, 220, 320, 260));
    EXPECT_EQ(driver.window().keyboardFrame(), Rect(0, 220, 320, 260));
    // Back to the drawn keyboard: it shows and slides.
    driver.window().setHostKeyboard(false);
    EXPECT_FALSE(keyboard().isHidden());
    field->resignFirstResponder();
    driver.tap(*field);
    auto moves = driver.window().takeTransitions();
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].kind, Window::Transition::Kind::KeyboardDown);
    EXPECT_EQ(moves[1].kind, Window::Transition::Kind::KeyboardUp);
    EXPECT_EQ(moves[1].region, Rect(0, 264, 320, 216));
}

TEST_F(KeyboardTest, ADeviceKeyboardsDecimalMarkAndReturnFindTheKeyInTheBlankPlace) {
    field->setKeyboardType(KeyboardType::NumberPad);
    driver.tap(*field);
    // An application's key over the blank one, as the keypad extension lays it.
    auto key = std::make_shared<Button>(Rect(0, 163, 105, 53));
    int presses = 0;
    key->addTarget([&] { ++presses; }, ControlEventTouchUpInside);
    keyboard().addSubview(key);
    Application::sharedApplication().typeText("12.5");
    EXPECT_EQ(field->text(), "125");
    EXPECT_EQ(presses, 1);
    // Return presses that key only when it is the entry's Done key, not its decimal key.
    Application::sharedApplication().pressReturnKey();
    EXPECT_EQ(presses, 1);
    field->setReturnKeyType(ReturnKeyType::Done);
    Application::sharedApplication().pressReturnKey();
    EXPECT_EQ(presses, 2);
}

TEST_F(KeyboardTest, AnEntryMovedWithinTheWindowKeepsTheKeyboard) {
    driver.tap(*field);
    auto holder = std::make_shared<View>(Rect(0, 200, 320, 44));
    screen->view()->addSubview(holder);
    holder->addSubview(field);
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(driver.window().isKeyboardVisible());
    holder->removeFromSuperview();
    EXPECT_FALSE(field->isEditing());
    EXPECT_FALSE(driver.window().isKeyboardVisible());
}

} // namespace
} // namespace vantrel::test

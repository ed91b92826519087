#include "ui/OdometerView.h"

#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Touch.h"
#include "ui/KitTestSupport.h"
#include "ui/ThemedViewController.h"

using namespace platform::views;
using vantrel::test::KitScreenTest;
using vantrel::test::KitTest;

namespace {

// Records what the odometer passes on from its hidden entry.
class Recorder : public TextFieldDelegate {
public:
    void textFieldDidBeginEditing(TextField& field) override {
        events += "begin:" + std::to_string(field.tag()) + " ";
    }
    void textFieldDidEndEditing(TextField& field) override {
        auto* odometer = dynamic_cast<OdometerView*>(field.superview());
        events += "end:" + std::to_string(odometer ? odometer->value() : -99) + " ";
    }
    bool textFieldShouldReturn(TextField&) override {
        events += "return ";
        return true;
    }
    std::string events;
};

// A screen holding an editable odometer whose delegate records the passed-on events.
class OdometerScreen : public ThemedViewController {
public:
    void viewDidLoad() override {
        ThemedViewController::viewDidLoad();
        odometer = std::make_shared<OdometerView>(Rect(20, 40, 150, 0));
        odometer->setEditable(true);
        odometer->setDelegate(recorder);
        odometer->setTag(7);
        view()->addSubview(odometer);
    }
    std::shared_ptr<Recorder> recorder {std::make_shared<Recorder>()};
    std::shared_ptr<OdometerView> odometer;
};

class Odometer : public vantrel::test::KitScreenTest {
protected:
    void SetUp() override {
        KitScreenTest::SetUp();
        screen = std::make_shared<OdometerScreen>();
        show(screen);
        odometer = screen->odometer;
    }

    void tapOdometer() { driver().tap(*odometer); }
    // Keys of the number pad, one per character.
    void type(const std::string& keys) { driver().type(odometer->hiddenTextField(), keys); }
    void deleteKey() { driver().pressDelete(); }

    std::shared_ptr<OdometerScreen> screen;
    std::shared_ptr<OdometerView> odometer;
};

using OdometerDrawing = KitTest;

} // namespace

TEST_F(OdometerDrawing, ShowsSixDigitsOrDashes) {
    OdometerView fresh;
    EXPECT_EQ(fresh.value(), -1);
    EXPECT_EQ(fresh.displayText(), "------");
    EXPECT_EQ(fresh.hiddenTextField().text(), "-1");
    fresh.setValue(0);
    EXPECT_EQ(fresh.displayText(), "------");
    fresh.setValue(42);
    EXPECT_EQ(fresh.displayText(), "000042");
    EXPECT_EQ(fresh.hiddenTextField().text(), "42");
    fresh.setValue(123456);
    EXPECT_EQ(fresh.displayText(), "123456");
    fresh.setValue(1234567);
    EXPECT_EQ(fresh.displayText(), "1234567");
}

TEST_F(OdometerDrawing, KeepsItsShape) {
    OdometerView view;
    view.setFrame({5, 6, 200, 90});
    EXPECT_EQ(view.frame(), Rect(5, 6, 200, 40));
    view.setFrame({0, 0, 0, 30});
    EXPECT_EQ(view.frame(), Rect(0, 0, 150, 30));
    view.setFrame({1, 2, 0, 0});
    EXPECT_EQ(view.frame(), Rect(1, 2, 0, 0));
    EXPECT_EQ(OdometerView(Rect(0, 0, 90, 0)).frame(), Rect(0, 0, 90, 18));
    EXPECT_EQ(OdometerView::fromLayoutFrame({88, 50, 90, 0})->frame(), Rect(88, 50, 90, 18));
    EXPECT_EQ(OdometerView::fromLayoutFrame({0, 0, 0, 30})->frame(), Rect(0, 0, 0, 0));

    view.setTag(102);
    EXPECT_EQ(view.hiddenTextField().tag(), 102);
}

TEST_F(Odometer, TappingAnEditableDrumOpensTheNumberPadAndPassesItsEventsOn) {
    tapOdometer();
    EXPECT_TRUE(odometer->hiddenTextField().isEditing());
    ASSERT_NE(driver().window().keyboard(), nullptr);
    EXPECT_EQ(driver().window().keyboard()->keyboardType(), KeyboardType::NumberPad);
    EXPECT_EQ(screen->recorder->events, "begin:7 ");
    type("512");
    driver().pressReturn();
    // The return key is passed on but does not end the editing by itself.
    EXPECT_TRUE(odometer->hiddenTextField().isEditing());
    odometer->hiddenTextField().resignFirstResponder();
    EXPECT_EQ(screen->recorder->events, "begin:7 return end:512 ");

    // A read-only drum takes no touches at all.
    odometer->setEditable(false);
    driver().tapAt(odometer->convertPointToView(odometer->bounds().center(), nullptr));
    EXPECT_FALSE(odometer->hiddenTextField().isEditing());
}

TEST_F(Odometer, OnlySixDigitsAreTyped) {
    odometer->setValue(99999);
    tapOdometer();
    type("9");
    EXPECT_EQ(odometer->value(), 999999);
    odometer->setValue(123456);
    type("7");
    EXPECT_EQ(odometer->value(), 123456);
    // Several digits at once (pasted) cannot overflow the drum either.
    odometer->setValue(12);
    odometer->hiddenTextField().insertText("34567");
    EXPECT_EQ(odometer->value(), 12);
    odometer->hiddenTextField().insertText("3456");
    EXPECT_EQ(odometer->value(), 123456);
    // Nothing but digits.
    odometer->setValue(15);
    driver().typeForwarded("a");
    driver().typeForwarded(".");
    driver().typeForwarded(",");
    driver().typeForwarded("-");
    odometer->hiddenTextField().insertText("1.5");
    odometer->hiddenTextField().insertText("２");
    EXPECT_EQ(odometer->value(), 15);
    EXPECT_EQ(odometer->hiddenTextField().text(), "15");
}

TEST_F(Odometer, DeletingTheLastDigitLeavesNoReading) {
    odometer->setValue(35);
    tapOdometer();
    deleteKey();
    EXPECT_EQ(odometer->value(), 3);
    deleteKey();
    EXPECT_EQ(odometer->value(), -1);
    EXPECT_EQ(odometer->displayText(), "------");
    // Deleting with no reading keeps it that way.
    deleteKey();
    EXPECT_EQ(odometer->value(), -1);
    type("0");
    EXPECT_EQ(odometer->value(), 0);
    deleteKey();
    EXPECT_EQ(odometer->value(), -1);
    type("8");
    EXPECT_EQ(odometer->value(), 8);
}

TEST_F(OdometerDrawing, IntValueReadsLikeThePhone) {
    EXPECT_EQ(OdometerView::intValue("123"), 123);
    EXPECT_EQ(OdometerView::intValue("  -12abc"), -12);
    EXPECT_EQ(OdometerView::intValue("abc"), 0);
    EXPECT_EQ(OdometerView::intValue(""), 0);
    EXPECT_EQ(OdometerView::intValue("99999999999999999999"), 2147483647);
    EXPECT_EQ(OdometerView::intValue("-99999999999999999999"), -2147483648LL);
}

TEST_F(OdometerDrawing, Pictures) {
    auto odometer = std::make_shared<OdometerView>(Rect(0, 0, 150, 0));
    odometer->setValue(42);
    auto reading = render(*odometer, "odometer-42");
    EXPECT_EQ(reading.size(), Size(150, 30));
    // The drum is dark, its rounded corners clear.
    EXPECT_LT(reading.colorAtPoint({62, 2}).red, 0.4);
    // The inner shadow darkens the drum's top edge.
    EXPECT_LT(reading.colorAtPoint({62, 1.5}).red, reading.colorAtPoint({62, 12}).red);
    EXPECT_EQ(reading.colorAtPoint({0.25, 0.25}).alpha, 0);
    // The last cell shows a white "2" across its middle; the first a "0".
    auto hasWhite = [&](double left) {
        for (double x = left + 3; x < left + 22; x += 0.5) {
            const Color c = reading.colorAtPoint({x, 15});
            if (c.red > 0.7 && c.green > 0.7)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(hasWhite(125));
    EXPECT_TRUE(hasWhite(0));

    odometer->setValue(-1);
    auto none = render(*odometer, "odometer-none");
    EXPECT_LT(none.colorAtPoint({12.5, 8}).red, 0.7);
}

#include "ui/ThemedViewController.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "model/SettingsManager.h"
#include "platform/base/Device.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/AlertView.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableView.h"
#include "platform/views/TextField.h"
#include "platform/views/Toolbar.h"
#include "ui/Configuration.h"
#include "ui/DeviceHardware.h"
#include "ui/FeedbackMail.h"
#include "ui/KitTestSupport.h"
#include "ui/ShadowView.h"
#include "ui/ThemedView.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;
using vantrel::test::KitTest;

namespace {

// A screen with the views applyTheme looks after, counting what the base calls.
class FormScreen : public ThemedViewController, public TableViewDataSource {
public:
    void loadView() override {
        auto root = std::make_shared<ThemedView>(Rect(0, 0, 320, 416));
        plainTable = std::make_shared<TableView>(Rect(0, 0, 320, 200), TableViewStyle::Plain);
        footedTable = std::make_shared<TableView>(Rect(0, 200, 320, 100), TableViewStyle::Plain);
        footer = std::make_shared<View>(Rect(0, 0, 320, 20));
        footedTable->setTableFooterView(footer);
        groupedTable = std::make_shared<TableView>(Rect(0, 300, 320, 72), TableViewStyle::Grouped);
        toolbar = std::make_shared<Toolbar>(Rect(0, 372, 320, 44));
        field = std::make_shared<TextField>(Rect(10, 10, 100, 30));
        for (auto& table : {plainTable, footedTable, groupedTable}) {
            table->setDataSource(platform::sharedFrom(this));
            root->addSubview(table);
        }
        root->addSubview(toolbar);
        root->addSubview(field);
        setView(root);
    }
    void applyTheme() override {
        ++themed;
        ThemedViewController::applyTheme();
    }
    void keyboardWillShow(const platform::Notification&) override { keyboard += "willShow "; }
    void keyboardDidShow(const platform::Notification&) override { keyboard += "didShow "; }
    void keyboardWillHide(const platform::Notification&) override { keyboard += "willHide "; }
    void keyboardDidHide(const platform::Notification&) override { keyboard += "didHide "; }

    int numberOfRowsInSection(TableView&, int) override {
        ++rowQueries;
        return 1;
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath) override {
        return std::make_shared<TableViewCell>(TableViewCellStyle::Default, "cell");
    }

    std::shared_ptr<TableView> plainTable, footedTable, groupedTable;
    std::shared_ptr<View> footer;
    std::shared_ptr<Toolbar> toolbar;
    std::shared_ptr<TextField> field;
    int themed {0};
    int rowQueries {0};
    std::string keyboard;
};

// A host whose device may or may not have a mail handler.
class MailDriver : public vantrel::test::AppDriver {
public:
    bool canSendMail() override { return mail; }
    bool mail {true};
};

class Themes : public vantrel::test::KitScreenTest {
protected:
    std::unique_ptr<vantrel::test::AppDriver> makeDriver() override { return std::make_unique<MailDriver>(); }
    MailDriver& mailDriver() { return static_cast<MailDriver&>(driver()); }

    // A navigation stack showing a form screen, as the application shows its screens.
    std::shared_ptr<FormScreen> showForm() {
        auto screen = std::make_shared<FormScreen>();
        show(screen);
        return screen;
    }
};

} // namespace

TEST_F(Themes, HeaderColourAndHelpAddressFollowTheFlag) {
    ThemedViewController::setSelectedTheme(2);
    EXPECT_EQ(ThemedViewController::selectedTheme(), 2);
    EXPECT_EQ(ThemedViewController::tableViewHeaderColor(), colorWithHex(0x3781DF));
    EXPECT_EQ(ThemedViewController::helpURL(), "http://127.0.0.1:8080/mobile/vantrel/help/?t=3781df");

    ThemedViewController::setSelectedTheme(0);
    EXPECT_EQ(ThemedViewController::tableViewHeaderColor(), Color::whiteColor());
    EXPECT_EQ(ThemedViewController::helpURL(), "http://127.0.0.1:8080/mobile/vantrel/help/");

    Configuration::setHelpBaseURL("http://127.0.0.1:9123");
    ThemedViewController::setSelectedTheme(7);
    EXPECT_EQ(ThemedViewController::helpURL(), "http://127.0.0.1:9123/mobile/vantrel/help/?t=0d1c40");
    Configuration::setHelpBaseURL("");
}

TEST_F(Themes, SelectingStoresTheNumberAndRepaintsTheReceiver) {
    auto screen = showForm();
    const int before = screen->themed;
    // Nothing is selected at start-up, so selecting theme 0 is a change.
    SettingsManager::sharedManager().setThemeIndex(3);
    ThemedViewController::setSelectedTheme(0, screen.get());
    EXPECT_EQ(screen->themed, before + 1);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 0);

    ThemedViewController::setSelectedTheme(21, screen.get());
    EXPECT_EQ(screen->themed, before + 2);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 21);
    EXPECT_EQ(navigation->navigationBar().tintColor(), colorWithHex(0xBD6100));

    // The theme already selected changes nothing and stores nothing.
    SettingsManager::sharedManager().setThemeIndex(4);
    ThemedViewController::setSelectedTheme(21, screen.get());
    EXPECT_EQ(screen->themed, before + 2);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 4);
}

TEST_F(Themes, ResetTakesTheStoredThemeOrThemeZero) {
    SettingsManager::sharedManager().setThemeIndex(12);
    ThemedViewController::resetTheme();
    EXPECT_EQ(ThemedViewController::selectedTheme(), 12);
    EXPECT_EQ(ThemedViewController::firstColor(), colorWithHex(0xB2A519));

    for (int stored : {35, 99, -2}) {
        ThemedViewController::setSelectedTheme(5);
        SettingsManager::sharedManager().setThemeIndex(stored);
        ThemedViewController::resetTheme();
        EXPECT_EQ(ThemedViewController::selectedTheme(), 0) << stored;
        EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 0);
    }
    // A number outside the table from code selects theme 0 rather than reading past it.
    ThemedViewController::setSelectedTheme(5);
    ThemedViewController::setSelectedTheme(35);
    EXPECT_EQ(ThemedViewController::selectedTheme(), 0);
}

TEST_F(Themes, ApplyThemePaintsBarsAndTables) {
    ThemedViewController::setSelectedTheme(9);
    auto screen = showForm();
    EXPECT_GE(screen->themed, 1); // on appearing

    ASSERT_TRUE(screen->topShadowView());
    EXPECT_EQ(screen->topShadowView()->frame(), Rect(0, 0, 320, 13));
    EXPECT_EQ(screen->view()->subviews().front(), screen->topShadowView());

    EXPECT_EQ(screen->toolbar->tintColor(), colorWithHex(0x993366));
    EXPECT_EQ(navigation->navigationBar().tintColor(), colorWithHex(0x993366));
    for (auto& table : {screen->plainTable, screen->footedTable, screen->groupedTable}) {
        EXPECT_EQ(table->separatorStyle(), TableViewCellSeparatorStyle::None);
        EXPECT_EQ(table->backgroundColor(), Color::clear());
    }
    auto* shadowFooter = dynamic_cast<ShadowView*>(screen->plainTable->tableFooterView().get());
    ASSERT_NE(shadowFooter, nullptr);
    EXPECT_EQ(shadowFooter->frame().size, Size(320, 13));
    EXPECT_EQ(screen->footedTable->tableFooterView(), screen->footer); // kept
    EXPECT_FALSE(screen->groupedTable->tableFooterView()); // never for grouped tables

    // Again: still one top shadow, and the tables were reloaded.
    const int queries = screen->rowQueries;
    screen->applyTheme();
    driver().window().layoutIfNeeded();
    int shadows = 0;
    for (auto& subview : screen->view()->subviews())
        shadows += dynamic_cast<ShadowView*>(subview.get()) != nullptr;
    EXPECT_EQ(shadows, 1);
    EXPECT_GT(screen->rowQueries, queries);
    renderScreen("themed-form-theme-9");
}

TEST_F(Themes, KeyboardHooksFollowTheNotifications) {
    auto screen = showForm();
    driver().type(*screen->field, "x");
    screen->field->resignFirstResponder();
    EXPECT_EQ(screen->keyboard, "willShow didShow willHide didHide ");

    // A released screen hears nothing more.
    std::weak_ptr<FormScreen> weak = screen;
    auto other = std::make_shared<FormScreen>();
    navigation->setViewControllers({other}, false);
    screen.reset();
    EXPECT_TRUE(weak.expired());
    driver().type(*other->field, "y");
    EXPECT_EQ(other->keyboard, "willShow didShow ");
}

TEST_F(Themes, FontHelpersSetEveryAttribute) {
    ThemedViewController::setSelectedTheme(2);
    const Color first = colorWithHex(0x3781DF);
    // Each font helper sets every attribute, so a label restyled from large to small
    // loses the large style's colour and shadow.
    Label label;
    ThemedViewController::setLargeFont(label);
    EXPECT_EQ(label.textColor(), first);
    EXPECT_EQ(label.shadowColor(), Color::whiteColor());
    ThemedViewController::setSmallFont(label);
    EXPECT_EQ(label.font(), Font::systemFontOfSize(14));
    EXPECT_EQ(label.textColor(), Color::black());
    EXPECT_FALSE(label.shadowColor());
    ThemedViewController::setMediumFont(label);
    EXPECT_EQ(label.textColor(), first);
}

TEST_F(Themes, HeaderAndFooterTextsFollowTheFlag) {
    auto labelOf = [](const std::shared_ptr<View>& view) {
        return dynamic_cast<Label*>(view->subviews().front().get());
    };
    ThemedViewController::setSelectedTheme(2);
    for (const auto& view : {ThemedViewController::tableHeaderViewWithText("Units"),
             ThemedViewController::tableFooterViewWithText("Reminders fire before the due day.")}) {
        Label* text = labelOf(view);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->textColor(), colorWithHex(0x3781DF));
        EXPECT_EQ(text->shadowColor(), Color::whiteColor());
    }
    ThemedViewController::setSelectedTheme(0);
    for (const auto& view : {ThemedViewController::tableHeaderViewWithText("Units"),
             ThemedViewController::tableFooterViewWithText("Reminders fire before the due day.")}) {
        EXPECT_EQ(labelOf(view)->textColor(), Color::whiteColor());
        EXPECT_FALSE(labelOf(view)->shadowColor());
    }
    auto plain = ThemedViewController::plainTableHeaderViewWithText("2010");
    auto* background = dynamic_cast<VTPlainCellBackgroundView*>(plain.get());
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->strokeColor(), colorWithHex(0x2F4160));
    EXPECT_EQ(labelOf(plain)->text(), "2010");
}

TEST_F(Themes, ButtonsGetGlossyFaces) {
    ThemedViewController::setSelectedTheme(30);
    Button button(Rect(20, 20, 280, 44));
    ThemedViewController::applyThemeToButton(button, true);
    const auto normal = button.backgroundImageForState(ControlStateNormal);
    const auto pressed = button.backgroundImageForState(ControlStateHighlighted);
    ASSERT_TRUE(normal);
    ASSERT_TRUE(pressed);
    EXPECT_EQ(normal.size(), Size(23, 44)); // radius 11: 2 × 11 + 1 wide
    EXPECT_EQ(normal.leftCapWidth(), 11);
    // The faces are the first and third colours.
    EXPECT_GT(normal.colorAtPoint({11, 40}).blue, normal.colorAtPoint({11, 40}).red);
    EXPECT_GT(pressed.colorAtPoint({11, 40}).red, pressed.colorAtPoint({11, 40}).blue);

    ThemedViewController::applyThemeToButton(button, false);
    EXPECT_EQ(button.backgroundImageForState(ControlStateNormal).size(), Size(2, 44));
}

TEST_F(Themes, MailGoesToTheHandlerWithTheDeviceFooter) {
    platform::Device::current().setMachine("iPhone2,1");
    platform::Device::current().setSystemVersion("4.0");
    auto screen = showForm();
    EXPECT_TRUE(screen->presentMailViewControllerWithSubject("Vantrel & me", "Hi there", "a@b.example"));
    const auto& opened = driver().openedURLs();
    ASSERT_EQ(opened.size(), 1u);
    // Plain text: a mailto: body has no markup, and its line breaks are CR LF.
    EXPECT_EQ(opened[0],
        "mailto:a%40b.example?subject=Vantrel%20%26%20me&body=Hi%20there%0D%0A%0D%0A--%20%0D%0A"
        "Device%3A%20iPhone%203GS%20%28iOS%204.0%29");
    EXPECT_EQ(FeedbackMail::mailBody("Hi"), "Hi\n\n-- \nDevice: iPhone 3GS (iOS 4.0)");
    screen->presentMailViewControllerWithSubject("Tell a friend", "Look\n\nhttp://x.example/", std::nullopt);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(
        opened[1].rfind(
            "mailto:?subject=Tell%20a%20friend&body=Look%0D%0A%0D%0Ahttp%3A%2F%2Fx.example%2F%0D%0A", 0),
        0u);
    EXPECT_FALSE(driver().alert());
    platform::Device::current().setMachine("");
    platform::Device::current().setSystemVersion("");
}

TEST_F(Themes, WithoutMailTheUserIsTold) {
    mailDriver().mail = false;
    auto screen = showForm();
    EXPECT_FALSE(screen->presentMailViewControllerWithSubject("Feedback", "Hello", std::nullopt));
    EXPECT_TRUE(driver().openedURLs().empty());
    const auto alert = driver().alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title, "Error");
    EXPECT_EQ(alert->message,
        "Email cannot be sent because you have not configured an email account. Please use the Settings "
        "application to configure an email account then try again.");
    EXPECT_EQ(alert->buttons, std::vector<std::string> {"OK"});
    renderScreen("mail-not-set-up");
    driver().dismissAlert(0);
    EXPECT_FALSE(driver().alert());
}

TEST(DeviceHardware, NamesKnownModelsAndFallsBackByModel) {
    EXPECT_EQ(platformStringForMachine("iPhone3,1", "iPhone"), "iPhone 4");
    EXPECT_EQ(platformStringForMachine("i386", "iPhone"), "iPhone Simulator");
    EXPECT_EQ(platformStringForMachine("x86_64", "iPhone"), "Unknown iPhone");
    EXPECT_EQ(platformStringForMachine("iPhone9,9", "iPod touch"), "Unknown iPod");
    platform::Device::current().setMachine("aarch64");
    EXPECT_EQ(platformString(), "Unknown iPhone");
    platform::Device::current().setModel("iPod touch");
    EXPECT_EQ(platformString(), "Unknown iPod");
    platform::Device::current().setModel("");
    platform::Device::current().setMachine("");
}

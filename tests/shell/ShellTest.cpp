#include <gtest/gtest.h>

#include <set>

#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Screen.h"
#include "platform/views/WebView.h"
#include "shell/Remembered.h"
#include "shell/Shell.h"
#include "shell/ShellTestSupport.h"
#include "support/AppDriver.h"

using namespace platform::views;
using namespace vantrel::test;
using nlohmann::json;
using shell::InputBatch;
using shell::KeyEvent;
using shell::PageState;
using shell::PointerEvent;

namespace {

class TurningController : public ViewController {
public:
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation) override { return true; }
};

class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        shell.setLocalBaseURL("http://127.0.0.1:8080/");
        shell.launch([&] {
            app().setDelegate(delegate);
            app().launch();
        });
    }

    static Application& app() { return Application::sharedApplication(); }

    int openPage(bool landscape = false, double scale = 2, bool camera = false) {
        int page = *hub.open();
        shell.pageOpened(page);
        PageState state;
        state.page = page;
        state.landscape = landscape;
        state.scale = scale;
        state.camera = camera;
        shell.pageChanged(state);
        return page;
    }

    // A page as the browser reports it: the room it has for the screen (CSS pixels, upright)
    // and whether the device has a keyboard of its own.
    int openPageWithDisplay(double width, double height, double scale, bool ownKeyboard) {
        int page = *hub.open();
        shell.pageOpened(page);
        PageState state;
        state.page = page;
        state.scale = scale;
        state.displayWidth = width;
        state.displayHeight = height;
        state.ownKeyboard = ownKeyboard;
        shell.pageChanged(state);
        return page;
    }

    void send(int page, std::vector<shell::InputEvent> events) {
        shell.handleInput(InputBatch {page, std::move(events)});
        driver.runUntilIdle();
        shell.renderFrames();
    }

    void tap(int page, double x, double y) {
        send(page,
            {PointerEvent {PointerEvent::Phase::Down, x, y}, PointerEvent {PointerEvent::Phase::Up, x, y}});
    }

    json state() { return json::parse(shell.stateJSON()); }

    AppDriver driver;
    shell::PageHub hub;
    shell::Shell shell {app(), hub};
    std::shared_ptr<ShellDemoDelegate> delegate {std::make_shared<ShellDemoDelegate>()};
};

} // namespace

TEST_F(ShellTest, StartsInTheBackgroundAndAPageBringsItForwardWithTheWholeFrame) {
    EXPECT_EQ(delegate->calls, (std::vector<std::string> {"active", "resign", "background"}));
    int page = openPage();
    EXPECT_EQ(app().applicationState(), ApplicationState::Active);

    auto messages = takeMessages(hub, page);
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0].first, "hello");
    EXPECT_EQ(messages[0].second["page"], page);
    EXPECT_EQ(messages[1].first, "state");
    EXPECT_EQ(messages[1].second["title"], "Vantrel");
    auto frames = messagesNamed(messages, "frame");
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(frames.back()["whole"]); // the page fetches its parts
    EXPECT_EQ(frames.back()["w"], 640);
    EXPECT_EQ(frames.back()["h"], 960);
    ASSERT_NE(shell.frameStream(2), nullptr);
    EXPECT_NE(shell.frameStream(2)->framePNG(), nullptr);

    shell.pageClosed(page);
    EXPECT_EQ(app().applicationState(), ApplicationState::Background);
}

TEST_F(ShellTest, ATapPushesAScreenAndThePageHearsOfTheChangedPart) {
    int page = openPage(false, 3);
    takeMessages(hub, page);
    std::uint64_t before = shell.frameStream(3)->latest()->sequence;
    tap(page, 22, 42); // the add button
    ASSERT_NE(delegate->list->lastForm, nullptr);
    EXPECT_EQ(delegate->navigation->topViewController(), delegate->list->lastForm.get());

    // Below the status bar everything changed: at this size the patch comes in strips, each
    // with the key of its pixels.
    auto frames = messagesNamed(takeMessages(hub, page), "frame");
    ASSERT_GT(frames.size(), 2u);
    for (size_t part = 0; part < frames.size(); ++part) {
        EXPECT_FALSE(frames[part]["full"]);
        EXPECT_EQ(frames[part]["seq"], before + 1 + part);
        EXPECT_EQ(frames[part]["part"], part);
        EXPECT_EQ(frames[part]["parts"], frames.size());
        EXPECT_EQ(frames[part]["key"].get<std::string>().size(), 32u);
        EXPECT_NE(shell.frameStream(3)->patchPNG(frames[part]["seq"]), nullptr);
    }

    // Nothing new to draw, nothing sent.
    shell.renderFrames();
    EXPECT_TRUE(messagesNamed(takeMessages(hub, page), "frame").empty());

    // The device's own back goes back as the bar's back button does, and the page hears when
    // there is one to go back with.
    EXPECT_TRUE(state()["back"]);
    send(page, {KeyEvent {KeyEvent::Kind::Back, {}}});
    EXPECT_EQ(delegate->navigation->topViewController(), delegate->list.get());
    EXPECT_FALSE(state()["back"]);
}

TEST_F(ShellTest, KeysReachTheEntryAndThePageLearnsWhichKeyboardItWants) {
    int page = openPage();
    tap(page, 22, 42);
    auto form = delegate->list->lastForm;
    shell.renderFrames();
    json entries = state()["entries"];
    ASSERT_EQ(entries.size(), 2u); // where a tap will start editing, before it does
    std::set<std::string> modes {entries[0]["mode"], entries[1]["mode"]};
    EXPECT_EQ(modes, (std::set<std::string> {"text", "numeric"}));
    EXPECT_NE(entries[0]["y"], entries[1]["y"]);
    driver.tap(*form->nameField);
    shell.renderFrames();
    json keyboard = state()["keyboard"];
    ASSERT_TRUE(keyboard.is_object());
    EXPECT_EQ(keyboard["mode"], "text");
    EXPECT_EQ(keyboard["enter"], "done");

    send(page,
        {KeyEvent {KeyEvent::Kind::Text, "Civic"}, KeyEvent {KeyEvent::Kind::Delete, {}},
            KeyEvent {KeyEvent::Kind::Text, "c Sí"}});
    EXPECT_EQ(form->nameField->text(),
        "Civi"
        "c Sí");

    driver.tap(*form->odometerField);
    shell.renderFrames();
    EXPECT_EQ(state()["keyboard"]["mode"], "numeric");
    send(page, {KeyEvent {KeyEvent::Kind::Text, "120"}, KeyEvent {KeyEvent::Kind::Return, {}}});
    EXPECT_EQ(form->odometerField->text(), "120");
    EXPECT_TRUE(state()["keyboard"].is_null());
}

TEST_F(ShellTest, TheScreenTakesTheShapeOfThePageInUseAndItsKeyboard) {
    // A 390 x 844 phone at pixel ratio 3: 320 points wide, as tall as the display allows.
    int phone = openPageWithDisplay(390, 844, 1170 / 320.0, true);
    EXPECT_EQ(Screen::mainScreen().height(), 692);
    EXPECT_EQ(delegate->window->bounds(), Rect(0, 0, 320, 692));
    EXPECT_EQ(delegate->navigation->view()->frame(), Rect(0, 20, 320, 672));
    EXPECT_EQ(state()["screen"]["h"], 692.0);
    auto frames = messagesNamed(takeMessages(hub, phone), "frame");
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()["w"], 1170);
    EXPECT_EQ(frames.back()["h"], 2531); // 692 points at 3.65625, rounded up
    // Touches reach the whole height; the entry raises the phone's keyboard, not the drawn one.
    tap(phone, 22, 42);
    auto form = delegate->list->lastForm;
    ASSERT_TRUE(form);
    driver.tap(*form->nameField);
    shell.renderFrames();
    EXPECT_EQ(state()["keyboard"]["drawn"], false);
    EXPECT_TRUE(driver.window().keyboard()->isHidden());

    // A desktop window of 1280 x 800 is wider than tall: the screen keeps its smallest height.
    int desktop = openPageWithDisplay(1280 - 52, 800 - 198, 1, false);
    EXPECT_EQ(Screen::mainScreen().height(), 480);
    EXPECT_EQ(state()["screen"]["h"], 480.0);
    EXPECT_EQ(state()["keyboard"]["drawn"], true);
    EXPECT_FALSE(driver.window().keyboard()->isHidden());
    takeMessages(hub, desktop);
    shell.renderFrames();

    // The phone is used again, then closed: the desktop leads.
    send(phone, {KeyEvent {KeyEvent::Kind::Text, "Z"}});
    EXPECT_EQ(shell.leadingPage(), phone);
    EXPECT_EQ(Screen::mainScreen().height(), 692);
    shell.pageClosed(phone);
    EXPECT_EQ(shell.leadingPage(), desktop);
    EXPECT_EQ(Screen::mainScreen().height(), 480);
    EXPECT_EQ(form->nameField->text(), "Z");
}

TEST_F(ShellTest, AnAnimatedPushReachesThePageAsAMoveWithItsFrame) {
    int page = openPage();
    takeMessages(hub, page);
    delegate->navigation->pushViewController(std::make_shared<TurningController>(), true);
    shell.renderFrames();
    auto frames = messagesNamed(takeMessages(hub, page), "frame");
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_EQ(frames[0]["moves"].size(), 1u);
    EXPECT_EQ(frames[0]["moves"][0]["kind"], "push");
    EXPECT_EQ(frames[0]["moves"][0]["y"], 20.0);
    EXPECT_EQ(frames[0]["moves"][0]["h"], 460.0);
    delegate->navigation->popViewControllerAnimated(false);
    shell.renderFrames();
    frames = messagesNamed(takeMessages(hub, page), "frame");
    ASSERT_FALSE(frames.empty());
    for (auto& frame : frames)
        EXPECT_FALSE(frame.contains("moves"));
}

TEST_F(ShellTest, EachPageGetsFramesAtItsOwnScale) {
    int sharp = openPage(false, 3);
    int plain = openPage(false, 2);
    takeMessages(hub, sharp);
    takeMessages(hub, plain);
    tap(plain, 22, 42);
    auto sharpFrames = messagesNamed(takeMessages(hub, sharp), "frame");
    auto plainFrames = messagesNamed(takeMessages(hub, plain), "frame");
    ASSERT_GT(sharpFrames.size(), 1u); // in strips at the larger scale
    ASSERT_EQ(plainFrames.size(), 1u);
    EXPECT_EQ(sharpFrames[0]["scale"], 3.0);
    EXPECT_EQ(sharpFrames[0]["w"], 960);
    EXPECT_EQ(sharpFrames[0]["h"], 1440);
    EXPECT_EQ(plainFrames[0]["w"], 640);
}

TEST_F(ShellTest, AddressesOpenOnThePageThatTouchedLast) {
    int first = openPage();
    int second = openPage();
    tap(second, 160, 10); // the status bar: nothing happens
    takeMessages(hub, first);
    takeMessages(hub, second);

    EXPECT_TRUE(app().openURL("https://example.com/manual"));
    EXPECT_TRUE(app().openURL("mailto:support@example.com?subject=Vantrel"));
    EXPECT_FALSE(app().openURL("itms-apps://store/app"));
    EXPECT_FALSE(app().openURL("javascript:alert(1)"));
    EXPECT_FALSE(app().canOpenURL("file:///etc/passwd"));
    EXPECT_TRUE(messagesNamed(takeMessages(hub, first), "openURL").empty());
    auto opened = messagesNamed(takeMessages(hub, second), "openURL");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0]["url"], "https://example.com/manual");
    EXPECT_EQ(opened[1]["url"], "mailto:support@example.com?subject=Vantrel");
}

TEST_F(ShellTest, PicturesComeFromThePageAndANewRequestCancelsTheOldOne) {
    int page = openPage(false, 2, true);
    tap(page, 160, 10);
    takeMessages(hub, page);
    EXPECT_TRUE(shell.isSourceTypeAvailable(ImagePickerSourceType::Camera));

    std::vector<std::string> answers;
    shell.pickImage(ImagePickerSourceType::Camera,
        [&](platform::graphics::Image image) { answers.push_back(image ? "picture" : "cancelled"); });
    shell.pickImage(ImagePickerSourceType::PhotoLibrary,
        [&](platform::graphics::Image image) { answers.push_back(image ? "picture" : "cancelled"); });
    auto picks = messagesNamed(takeMessages(hub, page), "pick");
    ASSERT_EQ(picks.size(), 2u);
    EXPECT_EQ(picks[0]["camera"], true);
    EXPECT_EQ(picks[1]["camera"], false);
    EXPECT_EQ(answers, (std::vector<std::string> {"cancelled"}));

    platform::graphics::ImageContext image(platform::graphics::Size(4, 4), true, 1);
    shell.handlePicture(picks[0]["id"], image.image()); // the old request is over
    EXPECT_EQ(answers.size(), 1u);
    shell.handlePicture(picks[1]["id"], image.image());
    shell.handlePicture(picks[1]["id"], image.image());
    EXPECT_EQ(answers, (std::vector<std::string> {"cancelled", "picture"}));
}

TEST_F(ShellTest, RemindersGoToTheOpenPagesTaggedByThreadAndAreNotKeptForLater) {
    LocalNotification reminder;
    reminder.alertBody = "2 services are due: Oil Change for Civic, Brakes for Golf";
    reminder.soundName = LocalNotification::kDefaultSoundName;
    reminder.threadIdentifier = "services";
    // Nobody sees a reminder with no page open; the page that opens brings the application
    // to the front, where none is shown.
    shell.presentLocalNotification(reminder);
    int page = openPage();
    EXPECT_TRUE(messagesNamed(takeMessages(hub, page), "notify").empty());

    int other = openPage();
    takeMessages(hub, other);
    shell.presentLocalNotification(reminder);
    for (int shown : {page, other}) {
        auto notices = messagesNamed(takeMessages(hub, shown), "notify");
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0]["body"], "2 services are due: Oil Change for Civic, Brakes for Golf");
        EXPECT_EQ(notices[0]["sound"], true);
        EXPECT_EQ(notices[0]["tag"], "services");
    }
}

TEST_F(ShellTest, TheBadgeIsInTheTitle) {
    openPage();
    app().setApplicationIconBadgeNumber(3);
    shell.renderFrames();
    EXPECT_EQ(state()["title"], "(3) Vantrel");
    EXPECT_EQ(state()["badge"], 3);
    app().setApplicationIconBadgeNumber(0);
    shell.renderFrames();
    EXPECT_EQ(state()["title"], "Vantrel");
}

TEST_F(ShellTest, WebContentOfTheShellsOwnAddressLoadsFromThePagesOrigin) {
    int page = openPage();
    auto webView = std::make_shared<WebView>(Rect(0, 64, 320, 372));
    delegate->window->addSubview(webView);
    webView->loadRequest("http://127.0.0.1:8080/mobile/vantrel/help/?t=c03030");
    shell.renderFrames();
    json web = state()["web"];
    ASSERT_EQ(web.size(), 1u);
    EXPECT_EQ(web[0]["src"], "/mobile/vantrel/help/?t=c03030");
    EXPECT_EQ(web[0]["y"], 64.0);
    EXPECT_EQ(web[0]["h"], 372.0);
    int id = web[0]["id"];
    int generation = web[0]["load"];

    shell.handleWebContent({page, id, shell::WebContentEvent::Kind::Loaded, "Vantrel Help", ""});
    EXPECT_FALSE(webView->isLoading());
    EXPECT_EQ(webView->title(), "Vantrel Help");

    shell.handleWebContent(
        {page, id, shell::WebContentEvent::Kind::Navigated, "", "/mobile/vantrel/help/fuel.html"});
    EXPECT_EQ(webView->url(), "http://127.0.0.1:8080/mobile/vantrel/help/fuel.html");
    EXPECT_TRUE(webView->canGoBack());
    shell.renderFrames();
    EXPECT_GT(state()["web"][0]["load"].get<int>(), generation);

    // Reloading the same address loads it again.
    shell.handleWebContent({page, id, shell::WebContentEvent::Kind::Loaded, "Fuel", ""});
    shell.renderFrames();
    generation = state()["web"][0]["load"];
    webView->reload();
    shell.renderFrames();
    EXPECT_GT(state()["web"][0]["load"].get<int>(), generation);

    EXPECT_EQ(shell.pageAddressFor("https://example.com/"), "https://example.com/");
    EXPECT_EQ(shell.pageAddressFor("file:///etc/passwd"), "about:blank");
    EXPECT_EQ(shell.pageAddressFor("javascript:alert(1)"), "about:blank");

    webView->setHidden(true);
    shell.renderFrames();
    EXPECT_TRUE(state()["web"].empty());
}

TEST_F(ShellTest, TheScreenTurnsWithThePageWhereTheScreenOnTopAllowsIt) {
    int page = openPage(true);
    EXPECT_FALSE(isLandscape(delegate->window->interfaceOrientation())); // the list stands upright
    EXPECT_EQ(state()["rotates"], false); // so the page shows no turn button
    delegate->navigation->pushViewController(std::make_shared<TurningController>(), false);
    shell.renderFrames();
    EXPECT_TRUE(isLandscape(delegate->window->interfaceOrientation()));
    EXPECT_EQ(state()["landscape"], true);
    EXPECT_EQ(state()["rotates"], true);
    EXPECT_EQ(state()["screen"], (json {{"w", 480.0}, {"h", 320.0}}));
    auto frames = messagesNamed(takeMessages(hub, page), "frame");
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()["w"], 960);
    EXPECT_EQ(frames.back()["h"], 640);

    delegate->navigation->popViewControllerAnimated(false);
    shell.renderFrames();
    EXPECT_FALSE(isLandscape(delegate->window->interfaceOrientation()));
}

TEST_F(ShellTest, TerminatingResignsFirst) {
    openPage();
    delegate->calls.clear();
    shell.terminate();
    EXPECT_EQ(delegate->calls, (std::vector<std::string> {"resign", "terminate"}));
    EXPECT_EQ(app().applicationState(), ApplicationState::NotRunning);
}

// A start after a phone's page led: the screen has that phone's height and its first frame is
// drawn at its scale before any page opens, so the page hears of it at once.
class ShellAfterAPhoneTest : public ShellTest {
protected:
    void SetUp() override {
        shell::RememberedDisplay {1170 / 320.0, 692}.save();
        ShellTest::SetUp();
    }
};

TEST_F(ShellAfterAPhoneTest, TheFirstFrameIsDrawnForThatPhoneBeforeItsPageComes) {
    EXPECT_EQ(Screen::mainScreen().height(), 692);
    std::vector<std::uint64_t> drawn;
    ASSERT_NE(shell.drawnFrames(1170 / 320.0), nullptr);
    for (auto& part : shell.drawnFrames(1170 / 320.0)->wholeParts())
        drawn.push_back(part.sequence);
    ASSERT_FALSE(drawn.empty());

    int phone = openPageWithDisplay(390, 844, 1170 / 320.0, true);
    auto frames = messagesNamed(takeMessages(hub, phone), "frame");
    ASSERT_EQ(frames.size(), drawn.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(frames[i]["seq"], drawn[i]);
        EXPECT_EQ(frames[i]["h"], 2531);
    }

    // A desktop window leads now: the next start prepares for it instead. What makes no sense
    // is ignored.
    openPageWithDisplay(1280 - 52, 800 - 198, 1, false);
    EXPECT_EQ(shell::RememberedDisplay::load(), (shell::RememberedDisplay {1, 480}));
    shell::RememberedDisplay {9, 480}.save();
    EXPECT_EQ(shell::RememberedDisplay::load(), std::nullopt);
}

// A start after faces were used: they are loaded while the loop is idle, before a screen
// needs them; what makes no sense in the file is left out.
class ShellWithFacesRememberedTest : public ShellTest {
protected:
    void SetUp() override {
        const std::string caches = platform::fs::joinPath(platform::Sandbox::libraryDirectory(), "Caches");
        platform::fs::createDirectories(caches);
        platform::fs::writeFileAtomically(platform::fs::joinPath(caches, "faces.json"),
            R"([{"family": "Liberation Sans", "bold": true, "italic": false, "size": 23.125},
                {"family": "Liberation Sans", "bold": true, "italic": false, "size": -4},
                {"family": 7, "bold": true, "italic": false, "size": 12}, "Arial"])");
        ShellTest::SetUp();
    }
};

TEST_F(ShellWithFacesRememberedTest, AreLoadedWhileIdleAndTheFacesUsedSinceComeFirst) {
    using platform::graphics::Font;
    const Font remembered = Font::boldSystemFontOfSize(23.125);
    EXPECT_EQ(shell::RememberedFaces::load(), std::vector<Font> {remembered});
    EXPECT_FALSE(remembered.isLoaded()); // not while the first page may still be decoding
    ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return remembered.isLoaded(); }, 5));

    const Font used = Font::italicSystemFontOfSize(31.5);
    used.lineHeight();
    shell.terminate();
    auto faces = shell::RememberedFaces::load();
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(faces.front(), used);
    EXPECT_LE(faces.size(), shell::RememberedFaces::kMost);
}

TEST(ShellInputMode, FollowsTheKeyboardType) {
    EXPECT_EQ(shell::Shell::inputModeFor(int(KeyboardType::Default)), "text");
    EXPECT_EQ(shell::Shell::inputModeFor(int(KeyboardType::NumberPad)), "numeric");
    EXPECT_EQ(shell::Shell::inputModeFor(int(KeyboardType::DecimalPad)), "decimal");
    EXPECT_EQ(shell::Shell::inputModeFor(int(KeyboardType::EmailAddress)), "email");
    EXPECT_EQ(shell::Shell::inputModeFor(int(KeyboardType::URL)), "url");
    EXPECT_EQ(shell::Shell::inputModeFor(int(KeyboardType::PhonePad)), "tel");
}

#include "support/AppDriver.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/views/AlertButton.h"
#include "platform/views/Button.h"
#include "platform/views/Keyboard.h"
#include "platform/views/KeyboardKey.h"
#include "platform/views/Label.h"
#include "platform/views/Screen.h"
#include "platform/views/TableViewCell.h"

namespace vantrel::test {

using namespace platform::views;
using platform::graphics::Rect;

namespace {

// Launches a window whose root is the given controller.
class RootDelegate : public ApplicationDelegate {
public:
    explicit RootDelegate(std::shared_ptr<ViewController> root)
        : m_root(std::move(root)) { }
    bool didFinishLaunchingWithOptions(Application&, const platform::Dictionary&) override {
        m_window = std::make_shared<Window>();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        return true;
    }

private:
    std::shared_ptr<ViewController> m_root;
    std::shared_ptr<Window> m_window;
};

bool isPad(KeyboardType type) {
    return type == KeyboardType::NumberPad || type == KeyboardType::DecimalPad
        || type == KeyboardType::PhonePad;
}

std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> result;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        result.push_back(text.substr(i, length));
        i += length;
    }
    return result;
}

} // namespace

AppDriver::AppDriver() {
    platform::views::Screen::mainScreen().setHeight(platform::views::Screen::kMinimumHeight);
    Application::sharedApplication().reset();
    Application::sharedApplication().setHost(this);
}

AppDriver::~AppDriver() {
    Application& app = Application::sharedApplication();
    if (app.host() == this)
        app.setHost(nullptr);
    app.reset();
    m_delegate.reset();
    platform::RunLoop::main().reset();
    platform::views::Screen::mainScreen().setHeight(platform::views::Screen::kMinimumHeight);
}

void AppDriver::launch(std::shared_ptr<ApplicationDelegate> delegate) {
    m_delegate = delegate;
    Application& app = Application::sharedApplication();
    app.setHost(this);
    app.setDelegate(std::move(delegate));
    app.launch();
    runUntilIdle();
}

void AppDriver::launchWithRootViewController(std::shared_ptr<ViewController> root) {
    launch(std::make_shared<RootDelegate>(std::move(root)));
}

Window& AppDriver::window() {
    Window* window = Application::sharedApplication().keyWindow();
    if (!window)
        throw std::logic_error("AppDriver: no key window (was the application launched?)");
    return *window;
}

void AppDriver::runUntilIdle() {
    platform::RunLoop::main().runUntilIdle();
}

void AppDriver::tapAt(Point point) {
    Application& app = Application::sharedApplication();
    app.touchDown(point);
    app.touchUp(point);
    runUntilIdle();
}

void AppDriver::drag(Point from, Point to, int steps) {
    Application& app = Application::sharedApplication();
    app.touchDown(from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        double t = double(i) / steps;
        app.touchMove({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
    }
    app.touchUp(to);
    runUntilIdle();
}

AppDriver::Point AppDriver::visibleCenter(const View& view) {
    window().layoutIfNeeded();
    Rect visible = view.convertRectToView(view.bounds(), nullptr).intersection(window().bounds());
    for (const View* v = view.superview(); v; v = v->superview()) {
        if (v->clipsToBounds())
            visible = visible.intersection(v->convertRectToView(v->bounds(), nullptr));
    }
    if (visible.isEmpty())
        return {-1, -1};
    return visible.center();
}

bool AppDriver::reaches(const View* hit, const View& target) const {
    if (!hit)
        return false;
    return hit == &target || hit->isDescendantOfView(&target) || target.isDescendantOfView(hit);
}

void AppDriver::tap(const View& view) {
    Point p = visibleCenter(view);
    if (p.x < 0) {
        ADD_FAILURE() << "tap: " << view.description() << " is not on screen";
        return;
    }
    View* hit = window().hitTest(p);
    if (!reaches(hit, view)) {
        ADD_FAILURE() << "tap: the finger on " << view.description() << " lands on "
                      << (hit ? hit->description() : std::string("nothing"));
        return;
    }
    tapAt(p);
}

TableViewCell& AppDriver::scrollToRow(TableView& table, int section, int row) {
    IndexPath ip {section, row};
    if (section >= table.numberOfSections() || row >= table.numberOfRowsInSection(section))
        throw std::out_of_range("AppDriver: no row " + ip.description());
    for (int attempt = 0; attempt < 60; ++attempt) {
        window().layoutIfNeeded();
        Rect rowRect = table.rectForRowAtIndexPath(ip);
        // The part of the table the finger can reach: on screen and not under the keyboard.
        Rect area = table.convertRectToView(table.bounds(), nullptr).intersection(window().bounds());
        if (window().isKeyboardVisible())
            area = area.intersection(Rect(0, 0, window().bounds().width(), window().keyboardFrame().minY()));
        Rect rowOnScreen = table.convertRectToView(rowRect, nullptr);
        double dy = 0;
        if (rowOnScreen.maxY() > area.maxY())
            dy = rowOnScreen.maxY() - area.maxY();
        else if (rowOnScreen.minY() < area.minY())
            dy = rowOnScreen.minY() - area.minY();
        if (dy == 0)
            break;
        double reach = std::max(20.0, area.height() - 4 * platform::views::Touch::kTapSlop);
        dy = std::clamp(dy, -reach, reach);
        if (std::abs(dy) <= platform::views::Touch::kTapSlop)
            dy = dy > 0 ? platform::views::Touch::kTapSlop + 2 : -platform::views::Touch::kTapSlop - 2;
        double before = table.contentOffset().y;
        double x = area.midX();
        drag({x, area.midY() + dy / 2}, {x, area.midY() - dy / 2}, 8);
        if (table.contentOffset().y == before) {
            // The row cannot be brought further (the content ends); take what shows.
            break;
        }
    }
    TableViewCell* cell = table.cellForRowAtIndexPath(ip);
    if (!cell)
        throw std::logic_error("AppDriver: row " + ip.description() + " has no cell after scrolling");
    return *cell;
}

void AppDriver::tapRow(TableView& table, int section, int row) {
    TableViewCell& cell = scrollToRow(table, section, row);
    Rect content = cell.contentView().convertRectToView(cell.contentView().bounds(), nullptr);
    Point p {content.x() + std::min(40.0, content.width() / 3), content.midY()};
    View* hit = window().hitTest(p);
    if (!reaches(hit, cell)) {
        ADD_FAILURE() << "tapRow: the finger on row " << IndexPath {section, row}.description()
                      << " lands on " << (hit ? hit->description() : std::string("nothing"));
        return;
    }
    tapAt(p);
}

void AppDriver::swipeRow(TableView& table, int section, int row) {
    TableViewCell& cell = scrollToRow(table, section, row);
    Rect r = cell.convertRectToView(cell.bounds(), nullptr);
    drag({r.maxX() - 30, r.midY()}, {r.minX() + 40, r.midY()}, 6);
}

void AppDriver::tapDeleteConfirmation(TableView& table, int section, int row) {
    TableViewCell* cell = table.cellForRowAtIndexPath({section, row});
    View* button = cell ? cell->deleteConfirmationButton() : nullptr;
    if (!button) {
        ADD_FAILURE() << "tapDeleteConfirmation: row " << IndexPath {section, row}.description()
                      << " shows no Delete button";
        return;
    }
    tap(*button);
}

void AppDriver::moveRow(TableView& table, int section, int fromRow, int toRow) {
    TableViewCell& cell = scrollToRow(table, section, fromRow);
    View* handle = cell.reorderControl();
    if (!handle) {
        ADD_FAILURE() << "moveRow: row " << fromRow << " has no reorder control";
        return;
    }
    Point start = visibleCenter(*handle);
    Rect from = table.convertRectToView(table.rectForRowAtIndexPath({section, fromRow}), nullptr);
    Rect to = table.convertRectToView(table.rectForRowAtIndexPath({section, toRow}), nullptr);
    double dy = to.midY() - from.midY();
    drag(start, {start.x, start.y + dy}, 10);
}

View* AppDriver::keyboardKey(const std::string& title) {
    Keyboard* keyboard = window().keyboard();
    if (!keyboard)
        return nullptr;
    // Front-most first, so a key an application laid over the keyboard wins.
    const auto& subviews = keyboard->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        View* view = it->get();
        if (view->isHidden())
            continue;
        if (auto* key = dynamic_cast<KeyboardKey*>(view)) {
            std::string legend = key->currentTitle().empty() ? key->keyText() : key->currentTitle();
            if (legend == title && key->kind() != KeyboardKey::Kind::Blank)
                return key;
        } else if (auto* button = dynamic_cast<Button*>(view)) {
            if (button->currentTitle() == title)
                return button;
        }
    }
    return nullptr;
}

void AppDriver::type(const View& entry, const std::string& text) {
    if (!entry.isFirstResponder())
        tap(entry);
    if (!entry.isFirstResponder()) {
        ADD_FAILURE() << "type: " << entry.description() << " did not take the keyboard";
        return;
    }
    for (const std::string& character : characters(text)) {
        if (character == "\n") {
            pressReturn();
            continue;
        }
        Keyboard* keyboard = window().keyboard();
        if (!keyboard) {
            ADD_FAILURE() << "type: the keyboard went away before \"" << character << "\"";
            return;
        }
        if (!isPad(keyboard->keyboardType())) {
            typeForwarded(character);
            continue;
        }
        if (View* key = keyboardKey(character)) {
            tap(*key);
            continue;
        }
        ADD_FAILURE() << "type: the number keyboard has no key \"" << character << "\"";
        return;
    }
}

void AppDriver::typeForwarded(const std::string& text) {
    Application::sharedApplication().typeText(text);
    runUntilIdle();
}

void AppDriver::pressDelete() {
    if (View* key = keyboardKey("delete")) {
        tap(*key);
        return;
    }
    Application::sharedApplication().pressDeleteKey();
    runUntilIdle();
}

void AppDriver::pressReturn() {
    if (Keyboard* keyboard = window().keyboard()) {
        if (KeyboardKey* key = keyboard->keyWithTitle(
                returnKeyTitle(keyboard->input() ? keyboard->input()->textInputTraits().returnKeyType
                                                 : ReturnKeyType::Default))) {
            if (key->kind() == KeyboardKey::Kind::Return) {
                tap(*key);
                return;
            }
        }
    }
    Application::sharedApplication().pressReturnKey();
    runUntilIdle();
}

NavigationController* AppDriver::navigationController() {
    ViewController* top = window().topPresentedController();
    if (!top)
        return nullptr;
    if (auto* nav = dynamic_cast<NavigationController*>(top))
        return nav;
    return top->navigationController();
}

ViewController* AppDriver::topViewController() {
    if (NavigationController* nav = navigationController())
        return nav->topViewController();
    return window().topPresentedController();
}

void AppDriver::pressRightBarButton() {
    NavigationController* nav = navigationController();
    View* button = nullptr;
    if (nav) {
        button = nav->navigationBar().rightButtonView();
        if (!button)
            button = nav->navigationBar().rightCustomView();
    }
    if (!button) {
        ADD_FAILURE() << "pressRightBarButton: the navigation bar has no right button";
        return;
    }
    tap(*button);
}

void AppDriver::pressLeftBarButton() {
    NavigationController* nav = navigationController();
    View* button = nullptr;
    if (nav) {
        button = nav->navigationBar().leftButtonView();
        if (!button)
            button = nav->navigationBar().leftCustomView();
    }
    if (!button) {
        ADD_FAILURE() << "pressLeftBarButton: the navigation bar has no left button";
        return;
    }
    tap(*button);
}

void AppDriver::pressBack() {
    NavigationController* nav = navigationController();
    View* button = nav ? nav->navigationBar().backButtonView() : nullptr;
    if (!button) {
        ADD_FAILURE() << "pressBack: the navigation bar has no back button";
        return;
    }
    tap(*button);
}

std::string AppDriver::navigationTitle() {
    NavigationController* nav = navigationController();
    if (!nav)
        return "";
    nav->navigationBar().layoutIfNeeded();
    Label* label = nav->navigationBar().titleLabel();
    return label && label->superview() ? label->text() : "";
}

std::string AppDriver::backButtonTitle() {
    NavigationController* nav = navigationController();
    BarButtonView* back = nav ? nav->navigationBar().backButtonView() : nullptr;
    return back ? back->title() : "";
}

AlertView* AppDriver::alertView() {
    return dynamic_cast<AlertView*>(window().visibleAlert());
}

std::optional<AppDriver::AlertInfo> AppDriver::alert() {
    AlertView* view = alertView();
    if (!view)
        return std::nullopt;
    AlertInfo info {view->title(), view->message(), {}};
    for (int i = 0; i < view->numberOfButtons(); ++i)
        info.buttons.push_back(view->buttonTitleAtIndex(i));
    return info;
}

void AppDriver::dismissAlert(int buttonIndex) {
    AlertView* view = alertView();
    AlertButton* button = view ? view->buttonAtIndex(buttonIndex) : nullptr;
    if (!button) {
        ADD_FAILURE() << "dismissAlert: no alert button " << buttonIndex << " on screen";
        return;
    }
    auto keep = view->sharedFromThis();
    tap(*button);
}

ActionSheet* AppDriver::actionSheet() {
    return dynamic_cast<ActionSheet*>(window().visibleAlert());
}

void AppDriver::tapActionSheetButton(int buttonIndex) {
    ActionSheet* sheet = actionSheet();
    AlertButton* button = sheet ? sheet->buttonAtIndex(buttonIndex) : nullptr;
    if (!button) {
        ADD_FAILURE() << "tapActionSheetButton: no action sheet button " << buttonIndex << " on screen";
        return;
    }
    auto keep = sheet->sharedFromThis();
    tap(*button);
}

platform::graphics::Image AppDriver::render() {
    return window().render(2);
}

bool AppDriver::renderPNG(const std::string& path) {
    return window().renderPNG(path, 2);
}

bool AppDriver::openURL(const std::string& url) {
    m_openedURLs.push_back(url);
    return m_canOpenURLs;
}

bool AppDriver::canOpenURL(const std::string&) {
    return m_canOpenURLs;
}

void AppDriver::presentLocalNotification(const LocalNotification& notification) {
    m_presented.push_back(notification);
}

bool AppDriver::isSourceTypeAvailable(ImagePickerSourceType type) {
    return type != ImagePickerSourceType::Camera || m_cameraAvailable;
}

bool AppDriver::saveFile(
    const std::string& path, const std::string& suggestedName, const std::string& contentType) {
    auto bytes = platform::fs::readFile(path);
    if (!bytes)
        return false;
    m_savedFiles.push_back({suggestedName, contentType, std::move(*bytes)});
    return true;
}

void AppDriver::pickFile(const std::vector<std::string>&,
    std::function<void(std::optional<platform::views::PickedFile>)> completion) {
    if (!m_nextFile) {
        completion(std::nullopt);
        return;
    }
    // A copy of its own, which the application removes when it is done with it.
    const std::string path = platform::fs::joinPath(
        platform::Sandbox::temporaryDirectory(), "picked-file-" + std::to_string(++m_picks));
    platform::fs::createDirectories(platform::Sandbox::temporaryDirectory());
    platform::fs::writeFileAtomically(path, *m_nextFile);
    completion(platform::views::PickedFile {path, m_nextFileName});
}

void AppDriver::pickImage(ImagePickerSourceType, std::function<void(platform::graphics::Image)> completion) {
    auto picture = m_nextPicture;
    completion(picture);
}

} // namespace vantrel::test

#include "shell/Shell.h"

#include <chrono>
#include <cmath>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/views/Application.h"
#include "platform/views/Screen.h"
#include "platform/views/ViewController.h"
#include "platform/views/WebView.h"
#include "platform/views/Window.h"

namespace shell {

using nlohmann::json;
using namespace platform::views;

namespace {

// Text from the application may hold bytes that are not UTF-8; they must not stop a message.
std::string dumpJSON(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

const char* transitionName(Window::Transition::Kind kind) {
    switch (kind) {
    case Window::Transition::Kind::Push:
        return "push";
    case Window::Transition::Kind::Pop:
        return "pop";
    case Window::Transition::Kind::Present:
        return "present";
    case Window::Transition::Kind::Dismiss:
        return "dismiss";
    case Window::Transition::Kind::KeyboardUp:
        return "keyboardUp";
    case Window::Transition::Kind::KeyboardDown:
        return "keyboardDown";
    }
    return "push";
}

// A frame as the pages hear of it: its size and patch in pixels, and the movements (in
// points) that led to it, for the page to show as a slide from the frame before.
std::string noticeMessage(const FrameStream::Notice& notice, double scale, bool full,
    const std::vector<Window::Transition>& moves = {}) {
    json message = {{"seq", notice.sequence}, {"scale", scale}, {"w", notice.width}, {"h", notice.height},
        {"x", notice.x}, {"y", notice.y}, {"pw", notice.patchWidth}, {"ph", notice.patchHeight},
        {"full", full}, {"part", notice.part}, {"parts", notice.parts}, {"whole", notice.whole}};
    if (!notice.key.empty())
        message["key"] = notice.key;
    if (!notice.backdrop.empty())
        message["backdrop"] = notice.backdrop;
    if (notice.onBackdrop) {
        message["onBackdrop"] = true;
        message["sent"] = {notice.sentX, notice.sentY, notice.sentWidth, notice.sentHeight};
    }
    if (!moves.empty()) {
        json list = json::array();
        for (auto& move : moves) {
            list.push_back({{"kind", transitionName(move.kind)}, {"x", move.region.x()},
                {"y", move.region.y()}, {"w", move.region.width()}, {"h", move.region.height()}});
        }
        message["moves"] = list;
    }
    return dumpJSON(message);
}

} // namespace

Shell::Shell(Application& application, PageHub& hub)
    : m_application(application)
    , m_hub(hub)
    , m_lifecycle(application)
    , m_screenState(application) { }

Shell::~Shell() {
    platform::RunLoop::main().cancel(m_facesTimer);
    if (m_application.host() == this)
        m_application.setHost(nullptr);
}

void Shell::launch(const std::function<void()>& launch) {
    m_application.setHost(this);
    // The screen as the leading page last showed it, drawn and encoded at its scale while the
    // browser loads the page: a page of the same display finds its first frame ready.
    auto remembered = RememberedDisplay::load();
    m_display = remembered;
    if (remembered)
        platform::views::Screen::mainScreen().setHeight(remembered->height);
    launch();
    m_lifecycle.apply();
    if (remembered)
        m_frames.expect(remembered->scale);
    renderFrames();
    scheduleClockTick();
    // The faces of screens shown lately are matched on Pango's font thread once the first
    // frame is out, and loaded here one per turn of the loop, between whatever comes.
    m_rememberedFaces = RememberedFaces::load();
    m_facesTimer = platform::RunLoop::main().performAfterDelay(kFacesAfterStart, [this] {
        for (auto& face : m_rememberedFaces)
            face.prefetch();
        loadFaces(0);
    });
    if (remembered)
        return;
    // Else drawn once, unseen: the first drawing loads the fonts and pictures, which takes
    // longer than drawing again, and the first encoding sets up its buffers; done while the
    // browser is still loading the page, the page's first frame comes sooner.
    platform::RunLoop::main().post([this] {
        if (Window* window = m_application.keyWindow(); window && m_openPages.empty()) {
            window->render(kCanonicalScale);
            FrameStream::prepareEncoders(platform::views::Screen::kWidth, PageMessages::kMaxScale);
        }
    });
}

// The status bar shows the time: a frame is due when the minute turns even if nothing else
// happens.
void Shell::scheduleClockTick() {
    double seconds = platform::Clock::now().timeIntervalSince1970();
    double untilNextMinute = 60 - std::fmod(seconds, 60) + 0.05;
    m_clockTimer = platform::RunLoop::main().performAfterDelay(untilNextMinute, [this] {
        m_clockTimer = 0;
        scheduleClockTick();
    });
}

// Work of a task that changes nothing on the screen: when nothing else ran since the screen
// was drawn, the loop need not draw it again after this task.
void Shell::unseen(const std::function<void()>& work) {
    platform::RunLoop& loop = platform::RunLoop::main();
    const bool onlyThis = loop.tasksRun() == m_tasksRunAtRender + 1;
    work();
    if (onlyThis)
        m_tasksRunAtRender = loop.tasksRun();
}

void Shell::loadFaces(size_t next) {
    m_facesTimer = 0;
    // The turn that finds nothing left to load is unseen too, or it would cost a drawing.
    unseen([&] {
        if (next >= m_rememberedFaces.size())
            return;
        m_rememberedFaces[next].load();
        m_facesTimer = platform::RunLoop::main().performAfterDelay(0, [this, next] { loadFaces(next + 1); });
    });
}

void Shell::terminate() {
    platform::RunLoop::main().cancel(std::exchange(m_settledTimer, 0));
    platform::RunLoop::main().cancel(std::exchange(m_facesTimer, 0));
    RememberedFaces::save(platform::graphics::Font::facesUsed(), m_rememberedFaces);
    m_application.resignActive();
    m_application.terminate();
    if (m_pictureCompletion)
        std::exchange(m_pictureCompletion, nullptr)(platform::graphics::Image {});
    m_files.cancel();
}

void Shell::pageOpened(int page) {
    m_openPages.push_back(page);
    m_hub.send(page, "hello", dumpJSON(json {{"page", page}}));
    m_hub.send(page, "state", stateJSON());
    sendLatestFrame(page, kCanonicalScale);
}

// A page that starts showing a scale hears of its latest frame: of the parts it came in when
// it came whole, else of the frame to fetch whole.
void Shell::sendLatestFrame(int page, double scale) {
    FrameStream* stream = m_frames.drawn(scale);
    if (!stream || !stream->latest())
        return;
    double rounded = FramePublisher::scaleOf(FramePublisher::keyOf(scale));
    std::vector<FrameStream::Notice> parts = stream->wholeParts();
    if (parts.empty())
        parts.push_back(*stream->latest());
    for (auto& part : parts)
        sendFrameNotice(page, noticeMessage(part, rounded, true));
    if (!stream->backdropKey().empty())
        sendBackdrop(page, rounded, stream->backdropKey());
}

void Shell::sendBackdrop(int page, double scale, const std::string& key) {
    m_hub.send(page, "backdrop", dumpJSON(json {{"scale", scale}, {"key", key}}));
}

// The backdrop changed (a theme, a size, a page at a new scale): drawn on a turn of its own,
// after the frame that showed the change has gone out, and told to the pages, which fetch it
// once idle.
void Shell::drawBackdrops() {
    m_backdropsDue = false;
    Window* window = m_application.keyWindow();
    if (!window)
        return;
    unseen([&] {
        for (auto& [scale, key] : m_frames.updateBackdrops(*window)) {
            for (auto& [page, state] : m_pages) {
                if (FramePublisher::keyOf(state.scale) == FramePublisher::keyOf(scale))
                    sendBackdrop(page, scale, key);
            }
        }
    });
}

void Shell::pageChanged(const PageState& state) {
    if (std::find(m_openPages.begin(), m_openPages.end(), state.page) == m_openPages.end())
        return;
    auto previous = m_pages.find(state.page);
    bool known = previous != m_pages.end();
    bool newScale
        = !known || FramePublisher::keyOf(previous->second.scale) != FramePublisher::keyOf(state.scale);
    bool wasInFront = known && previous->second.visible && previous->second.focused;
    if (!known || previous->second.landscape != state.landscape)
        m_deviceLandscape = state.landscape;
    m_pages[state.page] = state;
    // A page that comes to the front leads, as does the first one.
    if (!m_pages.contains(m_leadingPage) || (state.visible && state.focused && !wasInFront))
        m_leadingPage = state.page;
    const double height = platform::views::Screen::mainScreen().height();
    followLeadingPage();
    m_lifecycle.pageChanged(state);
    m_frames.stopExpecting();
    FrameStream* drawn = m_frames.drawn(state.scale);
    const bool unchanged = platform::views::Screen::mainScreen().height() == height && !state.landscape;
    if (newScale && unchanged && drawn && drawn->latest()) {
        // Drawn before this page came (at the scale expected at launch, or for another page):
        // it hears of that frame at once, and of what changed since a moment later, once it
        // has shown it: drawing the screen again at once took the processor from its decoding.
        sendLatestFrame(state.page, state.scale);
        m_tasksRunAtRender = platform::RunLoop::main().tasksRun();
        platform::RunLoop::main().cancel(m_settledTimer);
        m_settledTimer = platform::RunLoop::main().performAfterDelay(kNewPageSettles, [this] {
            m_settledTimer = 0;
            renderFrames();
        });
    } else if (newScale) {
        // A whole frame drawn just now reached the page with the others' notices.
        std::uint64_t before = drawn && drawn->latest() ? drawn->latest()->sequence : 0;
        renderFrames();
        FrameStream* stream = m_frames.drawn(state.scale);
        auto latest = stream ? stream->latest() : std::nullopt;
        if (!latest || latest->sequence == before || !latest->whole)
            sendLatestFrame(state.page, state.scale);
    }
}

void Shell::pageClosed(int page) {
    std::erase(m_openPages, page);
    m_pages.erase(page);
    m_lifecycle.pageClosed(page);
    if (m_lastInputPage == page)
        m_lastInputPage = 0;
    if (m_leadingPage == page) {
        m_leadingPage = 0;
        for (auto it = m_openPages.rbegin(); it != m_openPages.rend() && !m_leadingPage; ++it) {
            if (m_pages.contains(*it))
                m_leadingPage = *it;
        }
        followLeadingPage();
    }
}

void Shell::lead(int page) {
    if (page == m_leadingPage || !m_pages.contains(page))
        return;
    m_leadingPage = page;
    followLeadingPage();
}

// The screen takes the leading page's shape and keyboard. Touches already handled were
// measured on the frame that page showed, so this happens between batches only.
void Shell::followLeadingPage() {
    auto it = m_pages.find(m_leadingPage);
    Window* window = m_application.keyWindow();
    if (it == m_pages.end() || !window)
        return;
    const PageState& page = it->second;
    platform::views::Screen& screen = platform::views::Screen::mainScreen();
    if (page.displayWidth > 0 && page.displayHeight > 0) {
        double height = platform::views::Screen::heightFitting(page.displayWidth, page.displayHeight);
        if (height != screen.height()) {
            screen.setHeight(height);
            window->screenDidResize();
        }
    }
    window->setHostKeyboard(page.ownKeyboard, page.keyboardHeight);
    RememberedDisplay display {PageMessages::roundedScale(page.scale), screen.height()};
    if (display != m_display) {
        display.save();
        m_display = display;
    }
}

double Shell::scaleOf(int page) const {
    auto it = m_pages.find(page);
    return FramePublisher::scaleOf(
        FramePublisher::keyOf(it == m_pages.end() ? kCanonicalScale : it->second.scale));
}

void Shell::handleInput(const InputBatch& batch) {
    m_lastInputPage = batch.page;
    for (const InputEvent& event : batch.events) {
        if (auto* pointer = std::get_if<PointerEvent>(&event)) {
            platform::graphics::Point point(pointer->x, pointer->y);
            switch (pointer->phase) {
            case PointerEvent::Phase::Down:
                m_application.touchDown(point);
                break;
            case PointerEvent::Phase::Move:
                m_application.touchMove(point);
                break;
            case PointerEvent::Phase::Up:
                m_application.touchUp(point);
                break;
            case PointerEvent::Phase::Cancel:
                if (Window* window = m_application.keyWindow())
                    window->touchCancel();
                break;
            }
        } else {
            const auto& key = std::get<KeyEvent>(event);
            switch (key.kind) {
            case KeyEvent::Kind::Text:
                m_application.typeText(key.text);
                break;
            case KeyEvent::Kind::Delete:
                m_application.pressDeleteKey();
                break;
            case KeyEvent::Kind::Return:
                m_application.pressReturnKey();
                break;
            case KeyEvent::Kind::Back:
                if (Window* window = m_application.keyWindow())
                    window->pressBackButton();
                break;
            }
        }
    }
    lead(batch.page);
}

void Shell::handleWebContent(const WebContentEvent& event) {
    WebView* webView = m_screenState.webViewWithID(event.webView);
    if (!webView)
        return;
    switch (event.kind) {
    case WebContentEvent::Kind::Loaded:
        webView->hostDidFinishLoad(event.title);
        break;
    case WebContentEvent::Kind::Failed:
        webView->hostDidFailLoad("The page could not be loaded.");
        break;
    case WebContentEvent::Kind::Navigated: {
        std::string url = event.url;
        if (url.starts_with("/")) {
            if (m_localBaseURL.empty())
                return;
            url = m_localBaseURL + url.substr(1);
        }
        if (url != webView->url())
            webView->hostWillNavigate(url, WebViewNavigationType::LinkClicked);
        break;
    }
    }
}

void Shell::handleFile(int request, std::optional<platform::views::PickedFile> file) {
    m_files.answer(request, std::move(file));
}

void Shell::handlePicture(int request, platform::graphics::Image image) {
    if (request != m_pictureRequest || !m_pictureCompletion)
        return;
    std::exchange(m_pictureCompletion, nullptr)(std::move(image));
}

FrameStream* Shell::frameStream(double scale) {
    if (FrameStream* stream = m_frames.stream(scale))
        return stream;
    // Asked for now, drawn from the next rendering on.
    if (platform::RunLoop::main().isMainThread()) {
        renderFrames();
        return m_frames.drawn(scale);
    }
    // A rendering begun before the scale was asked for (the launch's, say) may end first:
    // waits for one that drew it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::uint64_t count = renderCount();
    platform::RunLoop::main().post([this] { renderFrames(); });
    FrameStream* drawn = m_frames.drawn(scale);
    while (!drawn) {
        const double left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || !waitForRenderAfter(count, left))
            break;
        count = renderCount();
        drawn = m_frames.drawn(scale);
    }
    return drawn;
}

void Shell::sendFrameNotice(int page, const std::string& message) {
    m_hub.send(page, "frame", message);
}

void Shell::syncOrientation() {
    Window* window = m_application.keyWindow();
    if (!window)
        return;
    InterfaceOrientation desired
        = m_deviceLandscape ? InterfaceOrientation::LandscapeRight : InterfaceOrientation::Portrait;
    InterfaceOrientation current = window->interfaceOrientation();
    if (current != desired) {
        if (!window->setInterfaceOrientation(desired) && isLandscape(current))
            window->setInterfaceOrientation(InterfaceOrientation::Portrait);
        return;
    }
    if (!isLandscape(current))
        return;
    // A screen that only stands upright came on top while the device lies on its side.
    ViewController* decider = window->topPresentedController();
    while (decider && decider->visibleChildViewController())
        decider = decider->visibleChildViewController();
    if (decider && !decider->shouldAutorotateToInterfaceOrientation(current))
        window->setInterfaceOrientation(InterfaceOrientation::Portrait);
}

void Shell::renderFramesIfTasksRan() {
    if (platform::RunLoop::main().tasksRun() != m_tasksRunAtRender)
        renderFrames();
}

void Shell::renderFrames() {
    m_tasksRunAtRender = platform::RunLoop::main().tasksRun();
    syncOrientation();
    if (Window* window = m_application.keyWindow()) {
        std::vector<Window::Transition> moves = window->takeTransitions();
        std::set<int> pageScales;
        for (auto& [page, state] : m_pages)
            pageScales.insert(FramePublisher::keyOf(state.scale));
        for (auto& frame : m_frames.publish(*window, pageScales)) {
            int key = FramePublisher::keyOf(frame.scale);
            for (auto& notice : frame.notices) {
                // The movements go with the frame's first part.
                std::string message = noticeMessage(notice, frame.scale, false,
                    notice.part == 0 ? moves : std::vector<Window::Transition> {});
                for (int page : m_openPages) {
                    auto state = m_pages.find(page);
                    double pageScale = state == m_pages.end() ? kCanonicalScale : state->second.scale;
                    if (FramePublisher::keyOf(pageScale) == key)
                        sendFrameNotice(page, message);
                }
            }
        }
        if (!m_backdropsDue && m_frames.backdropsBehind(*window)) {
            m_backdropsDue = true;
            platform::RunLoop::main().post([this] { drawBackdrops(); });
        }
    }
    std::string state = m_screenState.build(m_localBaseURL);
    bool changed;
    {
        std::lock_guard lock(m_stateMutex);
        changed = state != m_state;
        m_state = state;
    }
    if (changed)
        m_hub.broadcast("state", state);
    {
        std::lock_guard lock(m_renderMutex);
        ++m_renderCount;
    }
    m_rendered.notify_all();
}

bool Shell::waitForRenderAfter(std::uint64_t count, double timeoutSeconds) const {
    std::unique_lock lock(m_renderMutex);
    m_rendered.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
        [&] { return m_stopWaiting || m_renderCount.load() > count; });
    return m_renderCount.load() > count;
}

void Shell::stopWaiting() {
    {
        std::lock_guard lock(m_renderMutex);
        m_stopWaiting = true;
    }
    m_rendered.notify_all();
}

std::string Shell::stateJSON() const {
    std::lock_guard lock(m_stateMutex);
    return m_state.empty() ? "{}" : m_state;
}

int Shell::targetPage() const {
    if (m_lastInputPage
        && std::find(m_openPages.begin(), m_openPages.end(), m_lastInputPage) != m_openPages.end())
        return m_lastInputPage;
    return 0;
}

bool Shell::canOpenURL(const std::string& url) {
    return url.starts_with("http://") || url.starts_with("https://") || url.starts_with("mailto:");
}

bool Shell::openURL(const std::string& url) {
    if (!canOpenURL(url) || m_openPages.empty() || !PageMessages::isValidText(url, 8192))
        return false;
    std::string message = dumpJSON(json {{"url", url}});
    if (int page = targetPage())
        m_hub.send(page, "openURL", message);
    else
        m_hub.send(m_openPages.back(), "openURL", message);
    return true;
}

// Reminders reach the pages only while the application is not in front (the platform shows
// nothing while it is active). One fired with no page open is seen by nobody, as on a phone
// left in a drawer; the page that opens next brings the application to the front, where a
// phone would not show it either. A notice carries its thread as a tag, so the page replaces
// the thread's earlier notice instead of adding one.
void Shell::presentLocalNotification(const LocalNotification& notification) {
    if (m_openPages.empty())
        return;
    std::string tag
        = notification.threadIdentifier.empty() ? notification.alertBody : notification.threadIdentifier;
    m_hub.broadcast("notify",
        dumpJSON({{"body", notification.alertBody}, {"sound", notification.soundName.has_value()},
            {"title", platform::Bundle::mainBundle().displayName()}, {"tag", tag}}));
}

bool Shell::isSourceTypeAvailable(ImagePickerSourceType type) {
    if (type != ImagePickerSourceType::Camera)
        return true;
    int page = targetPage();
    auto state = m_pages.find(page);
    return state != m_pages.end() && state->second.camera;
}

void Shell::pickImage(ImagePickerSourceType type, std::function<void(platform::graphics::Image)> completion) {
    if (m_pictureCompletion)
        std::exchange(m_pictureCompletion, nullptr)(platform::graphics::Image {});
    int page = targetPage();
    if (!page && !m_openPages.empty())
        page = m_openPages.back();
    if (!page) {
        completion(platform::graphics::Image {});
        return;
    }
    m_pictureCompletion = std::move(completion);
    ++m_pictureRequest;
    m_hub.send(page, "pick",
        dumpJSON({{"id", m_pictureRequest}, {"camera", type == ImagePickerSourceType::Camera}}));
}

bool Shell::saveFile(
    const std::string& path, const std::string& suggestedName, const std::string& contentType) {
    int page = targetPage();
    if (!page && !m_openPages.empty())
        page = m_openPages.back();
    if (!page)
        return false;
    auto id = m_files.offer(path, suggestedName, contentType);
    if (!id)
        return false;
    m_hub.send(
        page, "download", dumpJSON({{"url", "/download/" + std::to_string(*id)}, {"name", suggestedName}}));
    return true;
}

void Shell::pickFile(const std::vector<std::string>& extensions,
    std::function<void(std::optional<platform::views::PickedFile>)> completion) {
    int page = targetPage();
    if (!page && !m_openPages.empty())
        page = m_openPages.back();
    if (!page) {
        m_files.cancel();
        completion(std::nullopt);
        return;
    }
    std::string accept;
    for (const auto& extension : extensions)
        accept += (accept.empty() ? "" : ",") + extension;
    const int id = m_files.request(std::move(completion));
    m_hub.send(page, "pickFile", dumpJSON({{"id", id}, {"accept", accept}}));
}

} // namespace shell

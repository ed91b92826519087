#include "shell/Shell.h"

#include <chrono>
#include <cmath>
#include <set>

#include <nlohmann/json.hpp>

#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/views/Application.h"
#include "platform/views/BarButtonView.h"
#include "platform/views/Label.h"
#include "platform/views/TextField.h"
#include "platform/views/ViewController.h"
#include "platform/views/WebView.h"
#include "platform/views/Window.h"

namespace shell {

using nlohmann::json;
using namespace platform::views;

namespace {

int quarters(double scale) {
    return static_cast<int>(std::lround(PageMessages::roundedScale(scale) * 4));
}

bool isShown(const View& view) {
    for (const View* v = &view; v; v = v->superview()) {
        if (v->isHidden())
            return false;
    }
    return true;
}

std::string enterKeyHint(ReturnKeyType type) {
    switch (type) {
    case ReturnKeyType::Go:
    case ReturnKeyType::Join:
    case ReturnKeyType::Route:
    case ReturnKeyType::EmergencyCall:
        return "go";
    case ReturnKeyType::Next:
        return "next";
    case ReturnKeyType::Search:
        return "search";
    case ReturnKeyType::Send:
        return "send";
    case ReturnKeyType::Done:
        return "done";
    case ReturnKeyType::Default:
        break;
    }
    return "enter";
}

std::string autocapitalize(AutocapitalizationType type) {
    switch (type) {
    case AutocapitalizationType::None:
        return "off";
    case AutocapitalizationType::Words:
        return "words";
    case AutocapitalizationType::AllCharacters:
        return "characters";
    case AutocapitalizationType::Sentences:
        break;
    }
    return "sentences";
}

// Text from the application may hold bytes that are not UTF-8; they must not stop a message.
std::string dumpJSON(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

// The texts on screen with where they show (window points): read aloud by screen readers
// from the page, and used by scripts to find what to tap.
void collectTexts(const View& view, platform::graphics::Rect visible, json& texts, json& entries) {
    if (view.isHidden() || view.alpha() <= 0 || texts.size() >= 200)
        return;
    platform::graphics::Rect frame = view.convertRectToView(view.bounds(), nullptr).intersection(visible);
    if (frame.isEmpty())
        return;
    std::string text;
    if (auto* label = dynamic_cast<const Label*>(&view))
        text = label->text();
    else if (auto* field = dynamic_cast<const TextField*>(&view))
        text = field->text().empty() ? field->placeholder() : field->text();
    else if (auto* button = dynamic_cast<const BarButtonView*>(&view))
        text = button->title();
    if (!text.empty())
        texts.push_back({{"text", text}, {"x", frame.x()}, {"y", frame.y()}, {"w", frame.width()},
            {"h", frame.height()}});
    // Where a tap starts editing: a phone browser raises its keyboard only for a focus given
    // while the finger is lifted, before the shell could answer.
    if (auto* entry = dynamic_cast<const KeyInput*>(&view); entry && view.isUserInteractionEnabled()) {
        entries.push_back({{"x", frame.x()}, {"y", frame.y()}, {"w", frame.width()}, {"h", frame.height()},
            {"mode", Shell::inputModeFor(static_cast<int>(entry->textInputTraits().keyboardType))}});
    }
    if (view.clipsToBounds())
        visible = frame;
    for (auto& subview : view.subviews())
        collectTexts(*subview, visible, texts, entries);
}

json noticeJSON(const FrameStream::Notice& notice, double scale, bool full) {
    return {{"seq", notice.sequence}, {"scale", scale}, {"w", notice.width}, {"h", notice.height},
        {"x", notice.x}, {"y", notice.y}, {"pw", notice.patchWidth}, {"ph", notice.patchHeight},
        {"full", full}};
}

} // namespace

Shell::Shell(Application& application, PageHub& hub)
    : m_application(application)
    , m_hub(hub)
    , m_lifecycle(application) { }

Shell::~Shell() {
    if (m_application.host() == this)
        m_application.setHost(nullptr);
}

void Shell::launch(const std::function<void()>& launch) {
    m_application.setHost(this);
    launch();
    m_lifecycle.apply();
    renderFrames();
    scheduleClockTick();
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

void Shell::terminate() {
    m_application.resignActive();
    m_application.terminate();
    if (m_pictureCompletion)
        std::exchange(m_pictureCompletion, nullptr)(platform::graphics::Image {});
}

void Shell::pageOpened(int page) {
    m_openPages.push_back(page);
    m_hub.send(page, "hello", dumpJSON(json {{"page", page}}));
    m_hub.send(page, "state", stateJSON());
    if (auto latest = streamFor(kCanonicalScale).latest())
        sendFrameNotice(page, *latest, kCanonicalScale, true);
}

void Shell::pageChanged(const PageState& state) {
    if (std::find(m_openPages.begin(), m_openPages.end(), state.page) == m_openPages.end())
        return;
    auto previous = m_pages.find(state.page);
    bool newScale = previous == m_pages.end() || quarters(previous->second.scale) != quarters(state.scale);
    if (previous == m_pages.end() || previous->second.landscape != state.landscape)
        m_deviceLandscape = state.landscape;
    m_pages[state.page] = state;
    m_lifecycle.pageChanged(state);
    if (newScale) {
        renderFrames();
        double scale = quarters(state.scale) / 4.0;
        if (auto latest = streamFor(scale).latest())
            sendFrameNotice(state.page, *latest, scale, true);
    }
}

void Shell::pageClosed(int page) {
    std::erase(m_openPages, page);
    m_pages.erase(page);
    m_lifecycle.pageClosed(page);
    if (m_lastInputPage == page)
        m_lastInputPage = 0;
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
            }
        }
    }
}

WebView* Shell::webViewWithID(int id) const {
    for (auto& content : m_webContents) {
        if (content.id == id)
            return content.view.lock().get();
    }
    return nullptr;
}

void Shell::handleWebContent(const WebContentEvent& event) {
    WebView* webView = webViewWithID(event.webView);
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

void Shell::handlePicture(int request, platform::graphics::Image image) {
    if (request != m_pictureRequest || !m_pictureCompletion)
        return;
    std::exchange(m_pictureCompletion, nullptr)(std::move(image));
}

FrameStream& Shell::streamFor(double scale) {
    int key = quarters(scale);
    std::lock_guard lock(m_streamsMutex);
    auto& stream = m_streams[key];
    if (!stream)
        stream = std::make_unique<FrameStream>(key / 4.0);
    return *stream;
}

FrameStream* Shell::frameStream(double scale) {
    std::lock_guard lock(m_streamsMutex);
    auto it = m_streams.find(quarters(scale));
    return it == m_streams.end() ? nullptr : it->second.get();
}

void Shell::sendFrameNotice(int page, const FrameStream::Notice& notice, double scale, bool full) {
    m_hub.send(page, "frame", dumpJSON(noticeJSON(notice, scale, full)));
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

void Shell::renderFrames() {
    syncOrientation();
    if (Window* window = m_application.keyWindow()) {
        std::set<int> scales {quarters(kCanonicalScale)};
        for (auto& [page, state] : m_pages)
            scales.insert(quarters(state.scale));
        for (int key : scales) {
            double scale = key / 4.0;
            auto notice = streamFor(scale).publish(window->render(scale));
            if (!notice)
                continue;
            for (int page : m_openPages) {
                auto state = m_pages.find(page);
                int pageScale
                    = state == m_pages.end() ? quarters(kCanonicalScale) : quarters(state->second.scale);
                if (pageScale == key)
                    sendFrameNotice(page, *notice, scale, false);
            }
        }
    }
    std::string state = buildState();
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
    return m_rendered.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
        [&] { return m_stopWaiting || m_renderCount.load() > count; });
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

std::string Shell::inputModeFor(int keyboardType) {
    switch (static_cast<KeyboardType>(keyboardType)) {
    case KeyboardType::URL:
        return "url";
    case KeyboardType::NumberPad:
        return "numeric";
    case KeyboardType::PhonePad:
    case KeyboardType::NamePhonePad:
        return "tel";
    case KeyboardType::EmailAddress:
        return "email";
    case KeyboardType::DecimalPad:
        return "decimal";
    default:
        return "text";
    }
}

std::string Shell::pageAddressFor(const std::string& url) const {
    if (!m_localBaseURL.empty() && url.starts_with(m_localBaseURL))
        return "/" + url.substr(m_localBaseURL.size());
    if (url.starts_with("http://") || url.starts_with("https://"))
        return url;
    return "about:blank";
}

std::string Shell::buildState() {
    int badge = m_application.applicationIconBadgeNumber();
    std::string name = platform::Bundle::mainBundle().displayName();
    json state;
    state["badge"] = badge;
    state["title"] = badge > 0 ? "(" + std::to_string(badge) + ") " + name : name;
    state["reminders"] = m_application.scheduledLocalNotifications().size();
    Window* window = m_application.keyWindow();
    state["landscape"] = window && isLandscape(window->interfaceOrientation());
    if (auto traits = m_application.activeInputTraits()) {
        state["keyboard"] = {{"type", static_cast<int>(traits->keyboardType)},
            {"mode", inputModeFor(static_cast<int>(traits->keyboardType))},
            {"enter", enterKeyHint(traits->returnKeyType)},
            {"autocapitalize", autocapitalize(traits->autocapitalizationType)},
            {"autocorrect", traits->autocorrectionType != AutocorrectionType::No},
            {"secure", traits->secureTextEntry}};
    } else {
        state["keyboard"] = nullptr;
    }

    std::erase_if(m_webContents, [](const WebContent& content) { return content.view.expired(); });
    json web = json::array();
    for (auto& webView : m_application.webViews()) {
        if (!isShown(*webView))
            continue;
        auto it = std::find_if(m_webContents.begin(), m_webContents.end(),
            [&](const WebContent& content) { return content.view.lock() == webView; });
        if (it == m_webContents.end()) {
            m_webContents.push_back({m_nextWebContent++, webView, "", false, 0});
            it = std::prev(m_webContents.end());
        }
        if (webView->url() != it->url || (webView->isLoading() && !it->loading))
            ++it->generation;
        it->url = webView->url();
        it->loading = webView->isLoading();
        auto frame = webView->frameInWindow();
        web.push_back({{"id", it->id}, {"src", pageAddressFor(webView->url())}, {"load", it->generation},
            {"x", frame.x()}, {"y", frame.y()}, {"w", frame.width()}, {"h", frame.height()}});
    }
    state["web"] = web;
    json texts = json::array();
    json entries = json::array();
    if (window)
        collectTexts(*window, window->bounds(), texts, entries);
    state["texts"] = texts;
    state["entries"] = entries;
    return dumpJSON(state);
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

} // namespace shell

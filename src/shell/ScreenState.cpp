#include "shell/ScreenState.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "platform/base/Bundle.h"
#include "platform/views/Application.h"
#include "platform/views/BarButtonView.h"
#include "platform/views/Button.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Label.h"
#include "platform/views/TextField.h"
#include "platform/views/ViewController.h"
#include "platform/views/WebView.h"
#include "platform/views/Window.h"

namespace shell {

using nlohmann::json;
using namespace platform::views;

namespace {

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

json rectJSON(Rect rect) {
    return {{"x", rect.x()}, {"y", rect.y()}, {"w", rect.width()}, {"h", rect.height()}};
}

void collectTexts(const View& view, Rect visible, json& texts, json& entries) {
    if (view.isHidden() || view.alpha() <= 0 || texts.size() >= 200)
        return;
    Rect frame = view.convertRectToView(view.bounds(), nullptr).intersection(visible);
    if (frame.isEmpty())
        return;
    std::string text;
    if (auto* label = dynamic_cast<const Label*>(&view))
        text = label->text();
    else if (auto* field = dynamic_cast<const TextField*>(&view))
        text = field->text().empty() ? field->placeholder() : field->text();
    else if (auto* button = dynamic_cast<const BarButtonView*>(&view))
        text = button->title();
    if (!text.empty()) {
        json item = rectJSON(frame);
        item["text"] = text;
        texts.push_back(std::move(item));
    }
    // Where a tap starts editing: a phone browser raises its keyboard only for a focus given
    // while the finger is lifted, before the shell could answer.
    if (auto* entry = dynamic_cast<const KeyInput*>(&view); entry && view.isUserInteractionEnabled()) {
        json item = rectJSON(frame);
        item["mode"] = ScreenState::inputModeFor(static_cast<int>(entry->textInputTraits().keyboardType));
        entries.push_back(std::move(item));
    }
    if (view.clipsToBounds())
        visible = frame;
    for (auto& subview : view.subviews())
        collectTexts(*subview, visible, texts, entries);
}

// Where the entry being edited shows: a hidden entry (the odometer's) stands for the view that
// shows it.
Rect entryFrame(const View* entry) {
    while (entry && entry->superview() && (!isShown(*entry) || entry->bounds().isEmpty()))
        entry = entry->superview();
    return entry ? entry->convertRectToView(entry->bounds(), nullptr) : Rect();
}

// A number pad whose bottom-left key an application made a decimal key asks for the device's
// decimal keyboard.
std::string keyboardMode(const Keyboard* keyboard, const TextInputTraits& traits) {
    std::string mode = ScreenState::inputModeFor(static_cast<int>(traits.keyboardType));
    if (keyboard && traits.keyboardType == KeyboardType::NumberPad) {
        if (auto* key = dynamic_cast<const Button*>(keyboard->keyOverBlankPlace())) {
            std::string title = key->currentTitle();
            if (title == "." || title == ",")
                mode = "decimal";
        }
    }
    return mode;
}

bool topScreenTurns(Window& window) {
    ViewController* decider = window.topPresentedController();
    while (decider && decider->visibleChildViewController())
        decider = decider->visibleChildViewController();
    return decider
        && (decider->shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeRight)
            || decider->shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
}

// Text from the application may hold bytes that are not UTF-8; they must not stop a message.
std::string dumpJSON(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace

ScreenState::ScreenState(Application& application)
    : m_application(application) { }

std::string ScreenState::inputModeFor(int keyboardType) {
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

std::string ScreenState::pageAddressFor(const std::string& localBaseURL, const std::string& url) {
    if (!localBaseURL.empty() && url.starts_with(localBaseURL))
        return "/" + url.substr(localBaseURL.size());
    if (url.starts_with("http://") || url.starts_with("https://"))
        return url;
    return "about:blank";
}

WebView* ScreenState::webViewWithID(int id) const {
    for (auto& content : m_webContents) {
        if (content.id == id)
            return content.view.lock().get();
    }
    return nullptr;
}

std::string ScreenState::build(const std::string& localBaseURL) {
    int badge = m_application.applicationIconBadgeNumber();
    std::string name = platform::Bundle::mainBundle().displayName();
    json state;
    state["badge"] = badge;
    state["title"] = badge > 0 ? "(" + std::to_string(badge) + ") " + name : name;
    state["reminders"] = m_application.scheduledLocalNotifications().size();
    Window* window = m_application.keyWindow();
    state["landscape"] = window && isLandscape(window->interfaceOrientation());
    state["rotates"] = window && topScreenTurns(*window);
    state["back"] = window && window->backButton();
    if (window)
        state["screen"] = {{"w", window->bounds().width()}, {"h", window->bounds().height()}};
    if (auto traits = m_application.activeInputTraits()) {
        Keyboard* keyboard = window ? window->keyboard() : nullptr;
        state["keyboard"] = {{"type", static_cast<int>(traits->keyboardType)},
            {"mode", keyboardMode(keyboard, *traits)}, {"enter", enterKeyHint(traits->returnKeyType)},
            {"autocapitalize", autocapitalize(traits->autocapitalizationType)},
            {"autocorrect", traits->autocorrectionType != AutocorrectionType::No},
            {"secure", traits->secureTextEntry}, {"drawn", window && !window->usesHostKeyboard()},
            {"text",
                keyboard && keyboard->input() && !traits->secureTextEntry ? keyboard->input()->text() : ""},
            {"field", rectJSON(entryFrame(window ? window->firstResponder() : nullptr))}};
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
        json item = rectJSON(webView->frameInWindow());
        item["id"] = it->id;
        item["src"] = pageAddressFor(localBaseURL, webView->url());
        item["load"] = it->generation;
        web.push_back(std::move(item));
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

} // namespace shell

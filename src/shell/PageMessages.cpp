#include "shell/PageMessages.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/net/JSON.h"

namespace shell {

using nlohmann::json;

namespace {

std::optional<json> parseObject(const std::string& body, std::string& error) {
    if (platform::net::JSON::nestsDeeperThan(body)) {
        error = "the body nests too deeply";
        return std::nullopt;
    }
    json value = json::parse(body, nullptr, false);
    if (value.is_discarded() || !value.is_object()) {
        error = "the body is not a JSON object";
        return std::nullopt;
    }
    return value;
}

bool readPage(const json& object, int& page, std::string& error) {
    auto it = object.find("page");
    if (it == object.end() || !it->is_number_integer() || it->get<long long>() < 1
        || it->get<long long>() > 1'000'000'000) {
        error = "page must be a positive whole number";
        return false;
    }
    page = static_cast<int>(it->get<long long>());
    return true;
}

bool readBool(const json& object, const char* key, bool& value, std::string& error) {
    auto it = object.find(key);
    if (it == object.end())
        return true;
    if (!it->is_boolean()) {
        error = std::string(key) + " must be true or false";
        return false;
    }
    value = it->get<bool>();
    return true;
}

bool readString(
    const json& object, const char* key, std::string& value, size_t maxBytes, std::string& error) {
    auto it = object.find(key);
    if (it == object.end())
        return true;
    if (!it->is_string() || !PageMessages::isValidText(it->get<std::string>(), maxBytes)) {
        error = std::string(key) + " must be text of at most " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    value = it->get<std::string>();
    return true;
}

std::optional<InputEvent> parseEvent(const json& event, std::string& error) {
    if (!event.is_object() || !event.contains("type") || !event["type"].is_string()) {
        error = "every event needs a type";
        return std::nullopt;
    }
    std::string type = event["type"];
    if (type == "down" || type == "move" || type == "up" || type == "cancel") {
        PointerEvent pointer;
        pointer.phase = type == "down" ? PointerEvent::Phase::Down
            : type == "move"           ? PointerEvent::Phase::Move
            : type == "up"             ? PointerEvent::Phase::Up
                                       : PointerEvent::Phase::Cancel;
        for (auto [key, target] : {std::pair {"x", &pointer.x}, std::pair {"y", &pointer.y}}) {
            auto it = event.find(key);
            if (it == event.end() || !it->is_number()) {
                error = std::string("a pointer event needs a number ") + key;
                return std::nullopt;
            }
            double value = it->get<double>();
            if (!std::isfinite(value) || value < 0 || value > PageMessages::kMaxCoordinate) {
                error = std::string(key) + " is outside the screen";
                return std::nullopt;
            }
            *target = value;
        }
        return pointer;
    }
    if (type == "text") {
        auto it = event.find("text");
        if (it == event.end() || !it->is_string() || it->get<std::string>().empty()
            || !PageMessages::isValidText(it->get<std::string>(), PageMessages::kMaxTextBytes)) {
            error = "text must be 1 to " + std::to_string(PageMessages::kMaxTextBytes)
                + " bytes of text without control characters";
            return std::nullopt;
        }
        return KeyEvent {KeyEvent::Kind::Text, it->get<std::string>()};
    }
    if (type == "delete")
        return KeyEvent {KeyEvent::Kind::Delete, {}};
    if (type == "return")
        return KeyEvent {KeyEvent::Kind::Return, {}};
    if (type == "back")
        return KeyEvent {KeyEvent::Kind::Back, {}};
    error = "unknown event type " + type.substr(0, 32);
    return std::nullopt;
}

} // namespace

bool PageMessages::isValidText(const std::string& text, size_t maxBytes) {
    if (text.size() > maxBytes)
        return false;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x20 || lead == 0x7f)
            return false;
        size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 0x6    ? 2
            : (lead >> 4) == 0xe    ? 3
            : (lead >> 3) == 0x1e   ? 4
                                    : 0;
        if (length == 0 || i + length > text.size())
            return false;
        unsigned codePoint = length == 1 ? lead : lead & (0x7f >> length);
        for (size_t k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3f);
        }
        // Overlong forms, surrogates and C1 controls are not text.
        static constexpr unsigned minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < minimum[length] || codePoint > 0x10ffff
            || (codePoint >= 0xd800 && codePoint <= 0xdfff) || (codePoint >= 0x80 && codePoint < 0xa0))
            return false;
        i += length;
    }
    return true;
}

double PageMessages::roundedScale(double scale) {
    double clamped = std::clamp(scale, kMinScale, kMaxScale);
    return std::round(clamped * platform::views::Screen::kWidth) / platform::views::Screen::kWidth;
}

std::optional<InputBatch> PageMessages::parseInput(const std::string& body, std::string& error) {
    auto object = parseObject(body, error);
    if (!object)
        return std::nullopt;
    InputBatch batch;
    if (!readPage(*object, batch.page, error) || !readBool(*object, "frame", batch.waitForFrame, error))
        return std::nullopt;
    if (auto it = object->find("n"); it != object->end()) {
        if (!it->is_number_unsigned()) {
            error = "n must be a whole number";
            return std::nullopt;
        }
        batch.number = it->get<std::uint64_t>();
    }
    auto events = object->find("events");
    if (events == object->end() || !events->is_array() || events->empty() || events->size() > kMaxEvents) {
        error = "events must be a list of 1 to " + std::to_string(kMaxEvents) + " events";
        return std::nullopt;
    }
    for (const json& event : *events) {
        auto parsed = parseEvent(event, error);
        if (!parsed)
            return std::nullopt;
        batch.events.push_back(std::move(*parsed));
    }
    return batch;
}

std::optional<PageState> PageMessages::parsePageState(const std::string& body, std::string& error) {
    auto object = parseObject(body, error);
    if (!object)
        return std::nullopt;
    PageState state;
    if (!readPage(*object, state.page, error) || !readBool(*object, "visible", state.visible, error)
        || !readBool(*object, "focused", state.focused, error)
        || !readBool(*object, "landscape", state.landscape, error)
        || !readBool(*object, "camera", state.camera, error))
        return std::nullopt;
    if (auto it = object->find("scale"); it != object->end()) {
        if (!it->is_number() || !std::isfinite(it->get<double>()) || it->get<double>() <= 0
            || it->get<double>() > 16) {
            error = "scale must be a number from 0 to 16";
            return std::nullopt;
        }
        state.scale = roundedScale(it->get<double>());
    }
    if (auto it = object->find("display"); it != object->end()) {
        auto side = [&](const char* key, double& value) {
            auto found = it->is_object() ? it->find(key) : it->end();
            if (!it->is_object() || found == it->end() || !found->is_number()
                || !std::isfinite(found->get<double>()) || found->get<double>() < 0
                || found->get<double>() > kMaxDisplaySide)
                return false;
            value = found->get<double>();
            return true;
        };
        if (!side("w", state.displayWidth) || !side("h", state.displayHeight)) {
            error = "display must hold a width w and a height h in pixels";
            return std::nullopt;
        }
    }
    if (!readBool(*object, "ownKeyboard", state.ownKeyboard, error))
        return std::nullopt;
    if (auto it = object->find("keyboardHeight"); it != object->end()) {
        if (!it->is_number() || !std::isfinite(it->get<double>()) || it->get<double>() < 0
            || it->get<double>() > kMaxCoordinate) {
            error = "keyboardHeight must be a number of points within the screen";
            return std::nullopt;
        }
        state.keyboardHeight = it->get<double>();
    }
    return state;
}

std::optional<PageState> PageMessages::parsePageState(const std::string& body, int page, std::string& error) {
    auto object = parseObject(body, error);
    if (!object)
        return std::nullopt;
    (*object)["page"] = page;
    return parsePageState(object->dump(), error);
}

std::optional<WebContentEvent> PageMessages::parseWebContent(const std::string& body, std::string& error) {
    auto object = parseObject(body, error);
    if (!object)
        return std::nullopt;
    WebContentEvent event;
    if (!readPage(*object, event.page, error))
        return std::nullopt;
    auto id = object->find("webView");
    if (id == object->end() || !id->is_number_integer() || id->get<long long>() < 1
        || id->get<long long>() > 1'000'000'000) {
        error = "webView must be a positive whole number";
        return std::nullopt;
    }
    event.webView = static_cast<int>(id->get<long long>());
    auto kind = object->find("event");
    std::string name = kind != object->end() && kind->is_string() ? kind->get<std::string>() : "";
    if (name == "load")
        event.kind = WebContentEvent::Kind::Loaded;
    else if (name == "error")
        event.kind = WebContentEvent::Kind::Failed;
    else if (name == "navigate")
        event.kind = WebContentEvent::Kind::Navigated;
    else {
        error = "event must be load, error or navigate";
        return std::nullopt;
    }
    if (!readString(*object, "title", event.title, kMaxTitleBytes, error)
        || !readString(*object, "url", event.url, kMaxURLBytes, error))
        return std::nullopt;
    if (event.kind == WebContentEvent::Kind::Navigated
        && !(event.url.starts_with("http://") || event.url.starts_with("https://")
            || event.url.starts_with("/"))) {
        error = "url must be a web address";
        return std::nullopt;
    }
    return event;
}

} // namespace shell

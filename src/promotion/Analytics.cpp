#include "promotion/Analytics.h"

#include <deque>
#include <mutex>

#include <nlohmann/json.hpp>

#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/net/JSON.h"

namespace {

using Event = Analytics::Event;

std::mutex g_mutex;
std::string g_sessionKey;
std::deque<Event> g_events;
bool g_loaded = false;

const char* kindName(Event::Kind kind) {
    switch (kind) {
    case Event::Kind::Session:
        return "session";
    case Event::Kind::Error:
        return "error";
    case Event::Kind::Event:
        break;
    }
    return "event";
}

Event::Kind kindFromName(const std::string& name) {
    if (name == "session")
        return Event::Kind::Session;
    if (name == "error")
        return Event::Kind::Error;
    return Event::Kind::Event;
}

// Needs g_mutex. A missing or damaged file simply starts an empty record.
void loadLocked() {
    if (g_loaded)
        return;
    g_loaded = true;
    auto text = platform::fs::readFile(Analytics::eventsFilePath());
    if (!text || platform::net::JSON::nestsDeeperThan(*text))
        return;
    nlohmann::json list = nlohmann::json::parse(*text, nullptr, false);
    if (!list.is_array())
        return;
    for (const auto& item : list) {
        if (!item.is_object())
            continue;
        Event event;
        event.kind = kindFromName(item.value("kind", ""));
        event.date = platform::Date(item.value("date", 0.0));
        event.name = item.value("name", "");
        event.message = item.value("message", "");
        event.detail = item.value("detail", "");
        g_events.push_back(std::move(event));
    }
    while (g_events.size() > Analytics::kCapacity)
        g_events.pop_front();
}

// Needs g_mutex.
void saveLocked() {
    nlohmann::json list = nlohmann::json::array();
    for (const Event& event : g_events) {
        list.push_back({{"kind", kindName(event.kind)}, {"date", event.date.timeIntervalSinceReferenceDate()},
            {"name", event.name}, {"message", event.message}, {"detail", event.detail}});
    }
    std::string path = Analytics::eventsFilePath();
    platform::fs::createDirectories(path.substr(0, path.rfind('/')));
    // Invalid UTF-8 in an exception text must not cost the whole record.
    platform::fs::writeFileAtomically(
        path, list.dump(1, ' ', false, nlohmann::json::error_handler_t::replace));
}

void record(Event event) {
    std::lock_guard lock(g_mutex);
    loadLocked();
    event.date = platform::Clock::now();
    g_events.push_back(std::move(event));
    while (g_events.size() > Analytics::kCapacity)
        g_events.pop_front();
    saveLocked();
}

} // namespace

void Analytics::startSession(const std::string& apiKey) {
    {
        std::lock_guard lock(g_mutex);
        g_sessionKey = apiKey;
    }
    record({Event::Kind::Session, {}, apiKey, {}, {}});
}

void Analytics::logEvent(const std::string& name) {
    record({Event::Kind::Event, {}, name, {}, {}});
}

void Analytics::logError(const std::string& name, const std::string& message, const std::string& exception) {
    record({Event::Kind::Error, {}, name, message, exception});
}

std::vector<Analytics::Event> Analytics::recentEvents() {
    std::lock_guard lock(g_mutex);
    loadLocked();
    return {g_events.begin(), g_events.end()};
}

std::string Analytics::sessionKey() {
    std::lock_guard lock(g_mutex);
    return g_sessionKey;
}

std::string Analytics::eventsFilePath() {
    return platform::fs::joinPath(
        platform::fs::joinPath(platform::Sandbox::libraryDirectory(), "Analytics"), "events.json");
}

void Analytics::reset() {
    std::lock_guard lock(g_mutex);
    g_sessionKey.clear();
    g_events.clear();
    g_loaded = false;
}

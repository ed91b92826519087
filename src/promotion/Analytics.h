#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/base/Date.h"

// Usage reporting of our own in place of a vendor's SDK: it keeps the last events (session
// starts, errors and crashes) in the sandbox's Library folder, so that a crash recorded by
// the uncaught-exception handler is still there after the process has ended. Nothing leaves
// the device.
//
// Thread-safe: the crash handler may run on any thread.
class Analytics {
public:
    struct Event {
        enum class Kind { Session, Event, Error };
        Kind kind {Kind::Event};
        platform::Date date;
        std::string name; // session: the API key; error: the event name ("Crash!")
        std::string message; // error: the exception's name
        std::string detail; // error: what the exception said
    };

    // At most this many events are kept; older ones are dropped first.
    static constexpr std::size_t kCapacity = 100;

    // Starts a session for the application's API key: reads back the events kept so far and
    // records the start.
    static void startSession(const std::string& apiKey);
    static void logEvent(const std::string& name);
    static void logError(const std::string& name, const std::string& message, const std::string& exception);

    // The kept events, oldest first.
    static std::vector<Event> recentEvents();
    // The API key of the running session; empty before startSession.
    static std::string sessionKey();
    // Where the events are kept: Library/Analytics/events.json of the current sandbox.
    static std::string eventsFilePath();
    // Tests: forget the session and the events held in memory (the file stays).
    static void reset();
};

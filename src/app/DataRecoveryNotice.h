#pragma once

#include <optional>
#include <string>

// What the user is told, once, after a launch that found damaged data: a database or a
// settings file that could not be read was kept aside under a dated name and the
// application started without it. Shown as an alert titled "Vantrel" with an "OK" button.
class DataRecoveryNotice {
public:
    // The message for the files kept aside by this launch; none when nothing was damaged.
    // Consumes the record, so a later call (and a later launch) says nothing more.
    static std::optional<std::string> takeMessage();
    // Shows takeMessage() on the key window, if there is one to show. Main thread.
    static void showIfNeeded();
};

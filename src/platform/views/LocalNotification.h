#pragma once

#include <optional>
#include <string>

#include "platform/base/Date.h"
#include "platform/base/Value.h"

namespace platform::views {

enum class RepeatInterval { None, Minute, Hour, Day, Week, Month, Year };

// A reminder the application hands to the platform. The application object keeps it
// until it fires (or repeats) and the host shows it to the user.
struct LocalNotification {
    static constexpr const char* kDefaultSoundName = "UILocalNotificationDefaultSoundName";

    std::optional<Date> fireDate;
    // With a time zone the fire date is a wall-clock time of the device's time zone: when
    // the device changes zone, the reminder still fires at the same local time. Without
    // one it is an absolute moment.
    std::optional<std::string> timeZone;
    std::string alertBody;
    std::string alertAction;
    bool hasAction {true};
    std::optional<std::string> soundName;
    RepeatInterval repeatInterval {RepeatInterval::None};
    int applicationIconBadgeNumber {0};
    Dictionary userInfo;
    // Reminders of one thread that fire while the application is not active are shown as one
    // notice: the alert body alone for a single reminder, otherwise `summaryFormat` with "%u"
    // replaced by how many there are and "%@" by their summary arguments joined with ", "
    // ("%u services are due: %@"). Reminders without a thread are shown one by one.
    std::string threadIdentifier;
    std::string summaryArgument;
    std::string summaryFormat;

    bool operator==(const LocalNotification&) const = default;
};

} // namespace platform::views

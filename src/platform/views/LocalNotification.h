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

    bool operator==(const LocalNotification&) const = default;
};

} // namespace platform::views

#pragma once

#include <string>
#include <string_view>

namespace server {

// Text from clients made safe for a log line: control characters (line breaks included),
// backslashes and bytes that are not valid UTF-8 are written as escapes (\n, \\, \x1b), so
// a device name cannot forge a line or hide in the terminal that shows the log.
class LogText {
public:
    static std::string escaped(std::string_view text);
};

} // namespace server

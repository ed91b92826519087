#pragma once

#include <string>

namespace platform {

// The device locale, e.g. "en_US", "de_DE", "fr_FR". Read from LC_ALL, LC_NUMERIC, LANG
// (first one set, encoding and modifier stripped; "C"/"POSIX" mean en_US), overridable.
class Locale {
public:
    static std::string current();
    // Tests: force a locale; an empty identifier returns to the environment's.
    static void setCurrent(const std::string& identifier);
};

} // namespace platform

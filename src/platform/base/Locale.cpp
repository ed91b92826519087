#include "platform/base/Locale.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_override;

// "de_DE.UTF-8@euro" -> "de_DE"; "C"/"POSIX" -> "en_US"
std::string normalise(std::string value) {
    auto cut = value.find_first_of(".@");
    if (cut != std::string::npos)
        value.erase(cut);
    if (value.empty() || value == "C" || value == "POSIX")
        return "en_US";
    return value;
}
} // namespace

std::string Locale::current() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_override.empty())
            return g_override;
    }
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return normalise(value);
    }
    return "en_US";
}

void Locale::setCurrent(const std::string& identifier) {
    std::lock_guard lock(g_mutex);
    g_override = identifier;
}

} // namespace platform

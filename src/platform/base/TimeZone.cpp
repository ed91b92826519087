#include "platform/base/TimeZone.h"

#include <cstdlib>
#include <mutex>

#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace platform {

namespace {
std::mutex g_mutex;
std::string g_override;

std::string environmentZone() {
    const char* tz = std::getenv("TZ");
    if (tz && *tz) {
        std::string id = tz;
        if (id.front() == ':')
            id.erase(0, 1);
        return id;
    }
    // Detecting the host zone reads the system configuration; the data store asks for the
    // zone on every date it reads, so detect it once per process.
    static const std::string host = [] {
        std::unique_ptr<icu::TimeZone> detected(icu::TimeZone::detectHostTimeZone());
        icu::UnicodeString id;
        detected->getID(id);
        std::string result;
        id.toUTF8String(result);
        return result.empty() ? std::string("UTC") : result;
    }();
    return host;
}
} // namespace

std::string TimeZone::defaultIdentifier() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_override.empty())
            return g_override;
    }
    return environmentZone();
}

void TimeZone::setDefault(const std::string& identifier) {
    std::lock_guard lock(g_mutex);
    g_override = identifier;
}

std::unique_ptr<icu::TimeZone> TimeZone::createDefault() {
    return create(defaultIdentifier());
}

std::unique_ptr<icu::TimeZone> TimeZone::create(const std::string& identifier) {
    return std::unique_ptr<icu::TimeZone>(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(identifier)));
}

int TimeZone::secondsFromGMT(double secondsSinceReferenceDate) {
    auto zone = createDefault();
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone->getOffset((secondsSinceReferenceDate + 978307200.0) * 1000.0, false, raw, dst, status);
    return U_SUCCESS(status) ? (raw + dst) / 1000 : 0;
}

} // namespace platform

#pragma once

#include <optional>
#include <string>

#include "platform/base/Date.h"

namespace platform {

// Locale-aware date text on ICU, in the device time zone unless told otherwise.
class DateFormatter {
public:
    enum class Style { None = 0, Short = 1, Medium = 2, Long = 3, Full = 4 };

    DateFormatter(); // device locale and time zone, styles None/None
    void setDateStyle(Style style) {
        m_dateStyle = style;
        m_pattern.clear();
    }
    void setTimeStyle(Style style) {
        m_timeStyle = style;
        m_pattern.clear();
    }
    // A fixed pattern ("yyyy-MM-dd") overrides the styles.
    void setDateFormat(std::string pattern) { m_pattern = std::move(pattern); }
    void setLocale(std::string locale) { m_locale = std::move(locale); }
    void setTimeZone(std::string identifier) { m_timeZone = std::move(identifier); }

    std::string stringFromDate(Date date) const;
    // Lenient parsing is off: text that does not match gives none. Missing time fields are
    // midnight in the formatter's time zone.
    std::optional<Date> dateFromString(const std::string& text) const;

private:
    Style m_dateStyle {Style::None};
    Style m_timeStyle {Style::None};
    std::string m_pattern;
    std::string m_locale;
    std::string m_timeZone;
};

} // namespace platform

#include "platform/base/Calendar.h"

#include <cmath>
#include <memory>

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include "platform/base/TimeZone.h"

namespace platform {

namespace {

std::unique_ptr<icu::Calendar> makeCalendar(const std::string& zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto tz = zone.empty() ? TimeZone::createDefault() : TimeZone::create(zone);
    auto calendar = std::make_unique<icu::GregorianCalendar>(tz.release(), status);
    calendar->setLenient(true);
    return calendar;
}

void setDate(icu::Calendar& calendar, Date date) {
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(date.icuMillis(), status);
}

Date dateOf(const icu::Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    return Date::fromIcuMillis(calendar.getTime(status));
}

int get(const icu::Calendar& calendar, UCalendarDateFields field) {
    UErrorCode status = U_ZERO_ERROR;
    return calendar.get(field, status);
}

} // namespace

Calendar::Calendar(std::string timeZoneIdentifier)
    : m_timeZone(std::move(timeZoneIdentifier)) { }

DateComponents Calendar::components(Date date) const {
    auto calendar = makeCalendar(m_timeZone);
    setDate(*calendar, date);
    DateComponents c;
    c.year = get(*calendar, UCAL_EXTENDED_YEAR);
    c.month = get(*calendar, UCAL_MONTH) + 1;
    c.day = get(*calendar, UCAL_DATE);
    c.hour = get(*calendar, UCAL_HOUR_OF_DAY);
    c.minute = get(*calendar, UCAL_MINUTE);
    c.second = get(*calendar, UCAL_SECOND);
    c.weekday = get(*calendar, UCAL_DAY_OF_WEEK);
    return c;
}

Date Calendar::dateFromComponents(const DateComponents& c) const {
    auto calendar = makeCalendar(m_timeZone);
    calendar->clear();
    // Set the coarse fields first; lenient mode then carries overflowing fine fields.
    calendar->set(UCAL_EXTENDED_YEAR, c.year.value_or(1));
    calendar->set(UCAL_MONTH, c.month.value_or(1) - 1);
    calendar->set(UCAL_DATE, c.day.value_or(1));
    calendar->set(UCAL_HOUR_OF_DAY, c.hour.value_or(0));
    calendar->set(UCAL_MINUTE, c.minute.value_or(0));
    calendar->set(UCAL_SECOND, c.second.value_or(0));
    return dateOf(*calendar);
}

Date Calendar::dateByAddingComponents(const DateComponents& c, Date date) const {
    auto calendar = makeCalendar(m_timeZone);
    setDate(*calendar, date);
    UErrorCode status = U_ZERO_ERROR;
    if (c.year)
        calendar->add(UCAL_YEAR, *c.year, status);
    if (c.month)
        calendar->add(UCAL_MONTH, *c.month, status);
    if (c.day)
        calendar->add(UCAL_DATE, *c.day, status);
    if (c.hour)
        calendar->add(UCAL_HOUR_OF_DAY, *c.hour, status);
    if (c.minute)
        calendar->add(UCAL_MINUTE, *c.minute, status);
    if (c.second)
        calendar->add(UCAL_SECOND, *c.second, status);
    return U_SUCCESS(status) ? dateOf(*calendar) : date;
}

Date Calendar::startOfDay(Date date) const {
    auto calendar = makeCalendar(m_timeZone);
    setDate(*calendar, date);
    calendar->set(UCAL_HOUR_OF_DAY, 0);
    calendar->set(UCAL_MINUTE, 0);
    calendar->set(UCAL_SECOND, 0);
    calendar->set(UCAL_MILLISECOND, 0);
    return dateOf(*calendar);
}

int Calendar::daysBetween(Date from, Date to) const {
    auto calendar = makeCalendar(m_timeZone);
    setDate(*calendar, startOfDay(from));
    UErrorCode status = U_ZERO_ERROR;
    int days = calendar->fieldDifference(startOfDay(to).icuMillis(), UCAL_DATE, status);
    return U_SUCCESS(status) ? days : 0;
}

int Calendar::monthsBetween(Date from, Date to) const {
    auto calendar = makeCalendar(m_timeZone);
    setDate(*calendar, from);
    UErrorCode status = U_ZERO_ERROR;
    int months = calendar->fieldDifference(to.icuMillis(), UCAL_MONTH, status);
    return U_SUCCESS(status) ? months : 0;
}

} // namespace platform

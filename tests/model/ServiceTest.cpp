#include <gtest/gtest.h>

#include "model/Service.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "support/TemporarySandbox.h"

using platform::Date;

namespace {

Date local(int y, int m, int d, int h = 0) {
    return platform::Calendar().dateFromComponents({y, m, d, h, 0, 0, {}});
}

Service performed(int milesRemaining, std::optional<Date> dueDate) {
    Service service;
    service.datePerformed = local(2024, 1, 1);
    service.currentOdometer = 10000;
    service.dueMiles = 10000 + milesRemaining;
    service.dueDate = dueDate;
    return service;
}

} // namespace

TEST(ServiceRecord, DaysRemainingTruncatesTowardZero) {
    Date due = local(2024, 6, 15);
    EXPECT_EQ(Service::daysRemaining(due, due.addingTimeInterval(-10 * 3600)), 0);
    EXPECT_EQ(Service::daysRemaining(due, due.addingTimeInterval(10 * 3600)), 0);
    EXPECT_EQ(Service::daysRemaining(due, due.addingTimeInterval(-36 * 3600)), 1);
    EXPECT_EQ(Service::daysRemaining(due, due.addingTimeInterval(36 * 3600)), -1);
    EXPECT_EQ(Service::daysRemaining(std::nullopt, due), 0);
    EXPECT_EQ(Service::daysRemaining(Date(1e300), Date(0)), INT32_MAX) << "no overflow";
}

TEST(ServiceRecord, RemainingValuesFollowTheClock) {
    vantrel::test::TemporarySandbox sandbox;
    platform::Clock::setNow(local(2024, 6, 1, 12));
    Service service = performed(-150, local(2024, 6, 21));
    EXPECT_EQ(service.milesRemaining(), -150);
    EXPECT_EQ(service.daysRemaining(), 19);
    platform::Clock::advance(86400);
    EXPECT_EQ(service.daysRemaining(), 18);
}

TEST(ServiceRecord, DueStatusRule) {
    vantrel::test::TemporarySandbox sandbox;
    platform::Clock::setNow(local(2024, 6, 1, 12));
    Date in20Days = local(2024, 6, 22);
    EXPECT_EQ(performed(400, in20Days).dueStatus(500, 14), DueStatus::DueSoon);
    EXPECT_EQ(performed(600, in20Days).dueStatus(500, 14), DueStatus::OnSchedule);
    EXPECT_EQ(performed(0, in20Days).dueStatus(500, 14), DueStatus::Overdue);
    EXPECT_EQ(performed(600, local(2024, 6, 10)).dueStatus(500, 14), DueStatus::DueSoon);
    EXPECT_EQ(performed(600, local(2024, 6, 2)).dueStatus(500, 14), DueStatus::Overdue)
        << "12 hours left is 0 days";
    Service never = performed(-5000, local(2020, 1, 1));
    never.datePerformed.reset();
    EXPECT_EQ(never.dueStatus(500, 14), DueStatus::NotRecorded);
}

#pragma once

struct sqlite3;

// SQL functions the query file relies on, registered on every connection:
//   ClockNow()          the platform clock's now, seconds since the reference date. "Today"
//   ClockToday()        and "now" in every query come from the platform clock (tests set it),
//                       never from SQLite's own 'now'.
//   AddMonths(day, n)   a stored day plus n calendar months, the day of month clamped to the
//                       target month ("2024-01-31" + 1 = "2024-02-29"); null for a bad day.
//   ServiceDueStatus(datePerformed, dueMiles, dueDate, currentOdometer, daysBeforeDue,
//                    milesBeforeDue, now)
//                       the DueStatus code of a vehicle-service row, by the same function
//                       (dueStatusFor) and the same date reading as the Service record, so
//                       that the due queries agree with the screens.
//   IsServiceDue(...)   the same arguments; 1 when overdue or due soon, else 0.
class DBFunctions {
public:
    // False when SQLite refuses a registration.
    static bool registerFunctions(sqlite3* database);
};

#pragma once

#include <string>

struct sqlite3;

// Whether a database file can serve as the application's data: it opens, SQLite finds its
// pages consistent, and it has the schema marker (the 'Schema Version' row of SystemData)
// at a version this build can read or bring up to date.
//
// Only proof of damage counts as damage: a file that cannot be opened for lack of rights, or
// is locked by another process, is "cannot open", so that nobody moves a sound database
// aside because of a passing condition.
class DatabaseFileCheck {
public:
    enum class Result { Usable, Missing, CannotOpen, Damaged, NewerSchema };

    // `thorough`: SQLite's full integrity check; otherwise its quick check (pages and
    // structure, not index contents), which is cheap enough for every start.
    static Result checkFile(const std::string& path, bool thorough);
    // The same checks over a connection that is already open.
    static Result checkConnection(sqlite3* database, bool thorough);
};

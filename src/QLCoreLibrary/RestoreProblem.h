#pragma once

#include <string>

// Why a backup was not restored, one reason per refusal, each with the message a screen
// shows the user (under the product's name, with an "OK" button). In every case but
// None the data on the device is as it was before the restore began.
enum class RestoreProblem {
    None,
    Unreadable, // not a zip archive, or its directory is damaged
    DuplicateEntries, // the same file twice: which one would be restored is anyone's guess
    TooLarge, // expands past the sane maximum
    NotEnoughSpace, // expands past what the device has free
    NoDatabase,
    DamagedDatabase, // does not open, fails SQLite's integrity check, or has no schema marker
    NewerDatabase, // made by a newer version: this build cannot read it
    DamagedSettings,
    DamagedPicture, // not a PNG, undecodable, or too large to decode
    InstallFailed, // a file could not be moved into place
    RestoredDataUnusable, // installed, but the restored database would not open
};

std::string restoreProblemMessage(RestoreProblem problem);

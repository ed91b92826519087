#pragma once

#include <string>

#include "QLCoreLibrary/RestoreProblem.h"

// The checks a staged backup passes before any of it replaces the user's data: the database
// opens, passes SQLite's full integrity check and has a schema this build can read or
// update; the settings file parses safely; every picture is a PNG that decodes within the
// size limit.
class StagedBackupCheck {
public:
    static constexpr long long kMaxPictureBytes = 16LL * 1024 * 1024;
    static constexpr int kMaxPictureSide = 4096;

    // The first problem found in the staged files, or None.
    static RestoreProblem check(const std::string& stagingFolder);
};

#include "QLCoreLibrary/RestoreProblem.h"

std::string restoreProblemMessage(RestoreProblem problem) {
    const std::string unchanged = " Your data was not changed.";
    switch (problem) {
    case RestoreProblem::None:
        return {};
    case RestoreProblem::Unreadable:
        return "The backup could not be restored." + unchanged;
    case RestoreProblem::DuplicateEntries:
        return "The backup is damaged: it holds the same file more than once." + unchanged;
    case RestoreProblem::TooLarge:
        return "The backup is larger than Vantrel can restore." + unchanged;
    case RestoreProblem::NotEnoughSpace:
        return "There is not enough free space on this device to restore the backup." + unchanged;
    case RestoreProblem::NoDatabase:
        return "The backup holds no Vantrel database." + unchanged;
    case RestoreProblem::DamagedDatabase:
        return "The database in the backup is damaged." + unchanged;
    case RestoreProblem::NewerDatabase:
        return "The backup was made by a newer version of Vantrel. Please update Vantrel to restore it."
            + unchanged;
    case RestoreProblem::DamagedSettings:
        return "The settings in the backup are damaged." + unchanged;
    case RestoreProblem::DamagedPicture:
        return "A vehicle picture in the backup is damaged or too large." + unchanged;
    case RestoreProblem::InstallFailed:
        return "The backup could not be restored." + unchanged;
    case RestoreProblem::RestoredDataUnusable:
        return "The restored data could not be opened, so your previous data was kept.";
    }
    return {};
}

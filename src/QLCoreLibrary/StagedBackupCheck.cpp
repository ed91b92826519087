#include "QLCoreLibrary/StagedBackupCheck.h"

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/DatabaseFileCheck.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PropertyList.h"
#include "platform/graphics/Image.h"

namespace fs = platform::fs;

namespace {

bool isUsablePicture(const std::string& path) {
    auto bytes = fs::readFile(path);
    int width = 0, height = 0;
    if (!bytes || static_cast<long long>(bytes->size()) > StagedBackupCheck::kMaxPictureBytes
        || !platform::graphics::Image::pngPixelSize(*bytes, width, height)
        || width > StagedBackupCheck::kMaxPictureSide || height > StagedBackupCheck::kMaxPictureSide)
        return false;
    return !platform::graphics::Image::imageWithData(*bytes).isNull();
}

} // namespace

RestoreProblem StagedBackupCheck::check(const std::string& stagingFolder) {
    bool hasDatabase = false;
    for (const auto& name : fs::contentsOfDirectory(stagingFolder)) {
        const std::string path = fs::joinPath(stagingFolder, name);
        // The legacy name counts too: connecting moves it over the database.
        if (name == "vantrel.db" || name == "dovrin.sqlite") {
            hasDatabase = true;
            switch (DatabaseFileCheck::checkFile(path, true)) {
            case DatabaseFileCheck::Result::Usable:
                break;
            case DatabaseFileCheck::Result::NewerSchema:
                return RestoreProblem::NewerDatabase;
            default:
                return RestoreProblem::DamagedDatabase;
            }
        } else if (name == BackupArchive::preferencesEntryName()) {
            auto bytes = fs::readFile(path);
            if (!bytes || !platform::plist::dictionaryFromBytes(*bytes))
                return RestoreProblem::DamagedSettings;
        } else if (fs::pathExtension(name) == "png" && !isUsablePicture(path)) {
            return RestoreProblem::DamagedPicture;
        }
    }
    return hasDatabase ? RestoreProblem::None : RestoreProblem::NoDatabase;
}

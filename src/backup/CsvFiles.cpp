#include "backup/CsvFiles.h"

#include "backup/BackupServiceClient.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Application.h"
#include "transfer/ImportSource.h"
#include "transfer/LogbookExport.h"
#include "transfer/LogbookImport.h"

namespace fs = platform::fs;

namespace {

const char* kBusyMessage = "A backup or restore is still running. Please try again when it has finished.";
const char* kNotWrittenMessage = "The CSV files could not be written.";
const char* kNotHandedOverMessage = "The CSV files could not be saved on this device.";

} // namespace

std::optional<std::string> CsvFiles::download() {
    // A backup or restore has the database closed.
    if (BackupServiceClient::sharedClient().isArchiveOperationRunning())
        return kBusyMessage;
    const std::string name = LogbookExport::suggestedFileName();
    const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), name);
    fs::createDirectories(platform::Sandbox::temporaryDirectory());
    if (!LogbookExport::writeZip(path))
        return kNotWrittenMessage;
    auto* host = platform::views::Application::sharedApplication().host();
    const bool handedOver = host && host->saveFile(path, name, kContentType);
    fs::removeItem(path);
    if (!handedOver)
        return kNotHandedOverMessage;
    return std::nullopt;
}

std::optional<ImportSource> CsvFiles::read(const platform::views::PickedFile& file, std::string& problem) {
    const std::string name = file.name.empty() ? fs::lastPathComponent(file.path) : file.name;
    auto source = ImportSource::open(file.path, name, problem);
    fs::removeItem(file.path);
    if (source && source->files().empty()) {
        problem = LogbookImport::kUnknownMessage;
        return std::nullopt;
    }
    return source;
}

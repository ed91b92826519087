#include "support/DataFiles.h"

#include <minizip/zip.h>
#include <sqlite3.h>

#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/ImageContext.h"

namespace fs = platform::fs;

namespace vantrel::test {

std::string shippedDatabaseBytes() {
    return fs::readFile(fs::joinPath(platform::Bundle::mainBundle().resourcePath(), "vantrel.db"))
        .value_or("");
}

std::string databaseBytesAfter(const std::string& sql) {
    const std::string folder = fs::makeTemporaryDirectory("vantrel-db");
    const std::string path = fs::joinPath(folder, "vantrel.db");
    fs::writeFileAtomically(path, shippedDatabaseBytes());
    sqlite3* database = nullptr;
    sqlite3_open(path.c_str(), &database);
    sqlite3_exec(database, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(database);
    std::string bytes = fs::readFile(path).value_or("");
    fs::removeItem(folder);
    return bytes;
}

std::string pngBytes(int width, int height) {
    platform::graphics::ImageContext context(
        platform::graphics::Size {double(width), double(height)}, true, 1);
    return context.image().pngData();
}

void writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& [name, content] : entries) {
        zip_fileinfo info {};
        zipOpenNewFileInZip(
            zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

std::string zipArchiveBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string folder = fs::makeTemporaryDirectory("vantrel-zip");
    const std::string path = fs::joinPath(folder, "archive.zip");
    writeZip(path, entries);
    std::string bytes = fs::readFile(path).value_or("");
    fs::removeItem(folder);
    return bytes;
}

} // namespace vantrel::test

#include "FuzzTargets.h"

#include <string>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/DBHelper.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PropertyList.h"
#include "platform/base/Sandbox.h"
#include "platform/net/JSON.h"
#include "shell/PageMessages.h"

namespace fuzz {

namespace {

std::string text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace

int json(const std::uint8_t* data, std::size_t size) {
    const std::string input = text(data, size);
    if (auto value = platform::net::JSON::decode(input))
        platform::net::JSON::encode(*value);
    platform::net::JSON::decodeObject(input);
    return 0;
}

int plist(const std::uint8_t* data, std::size_t size) {
    if (auto dictionary = platform::plist::dictionaryFromBytes(text(data, size)))
        platform::plist::toXML(*dictionary);
    return 0;
}

int zip(const std::uint8_t* data, std::size_t size) {
    const std::string archive = BackupArchive::archivePath();
    platform::fs::createDirectories(platform::Sandbox::temporaryDirectory());
    platform::fs::writeFileAtomically(archive, text(data, size));
    // A small expansion limit keeps each run fast; the checks are the same.
    BackupArchive::stage(archive, BackupArchive::stagingDirectory(), 8 * 1024 * 1024);
    platform::fs::removeItem(BackupArchive::stagingDirectory());
    platform::fs::removeItem(archive);
    return 0;
}

int queries(const std::uint8_t* data, std::size_t size) {
    DBHelper::parseQueries(text(data, size));
    return 0;
}

int pageMessages(const std::uint8_t* data, std::size_t size) {
    const std::string body = text(data, size);
    std::string error;
    shell::PageMessages::parseInput(body, error);
    shell::PageMessages::parsePageState(body, error);
    shell::PageMessages::parseWebContent(body, error);
    return 0;
}

} // namespace fuzz

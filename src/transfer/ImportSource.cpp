#include "transfer/ImportSource.h"

#include <algorithm>

#include <unicode/ucnv.h>

#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/FileSystem.h"
#include "transfer/ImportValues.h"

namespace fs = platform::fs;

namespace {

constexpr size_t kMaxEntries = 64;
constexpr unsigned long long kMaxExtractedBytes = 64ull * 1024 * 1024;
constexpr const char* kUnreadable = "The file could not be read. Nothing was changed.";
constexpr const char* kNoCsv = "This archive holds no CSV file Vantrel could import. Nothing was changed.";
constexpr const char* kConverted
    = "The file is not UTF-8 text: it was read as Western European (Windows-1252) "
      "text. Check the names and notes in the first rows.";

bool isValidUTF8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

bool isTextName(const std::string& name) {
    const std::string extension = ImportValues::lowerCase(fs::pathExtension(name));
    return extension == "csv" || extension == "txt";
}

} // namespace

std::optional<std::string> ImportSource::decode(std::string bytes, bool& converted) {
    converted = false;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    if (bytes.find('\0') != std::string::npos)
        return std::nullopt;
    if (isValidUTF8(bytes))
        return bytes;
    UErrorCode status = U_ZERO_ERROR;
    std::string text(bytes.size() * 3 + 1, '\0');
    const int32_t length = ucnv_convert("UTF-8", "windows-1252", text.data(), int32_t(text.size()),
        bytes.data(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.resize(size_t(length));
    converted = true;
    return text;
}

ImportSource ImportSource::fromText(std::string name, std::string text) {
    ImportSource source;
    source.m_name = name;
    source.m_files.push_back({std::move(name), std::move(text)});
    return source;
}

std::optional<ImportSource> ImportSource::open(
    const std::string& path, const std::string& name, std::string& problem) {
    auto bytes = fs::readFile(path);
    if (!bytes) {
        problem = kUnreadable;
        return std::nullopt;
    }
    ImportSource source;
    source.m_name = name;
    bool converted = false;
    if (!bytes->starts_with("PK\x03\x04")) {
        auto text = decode(std::move(*bytes), converted);
        if (!text) {
            problem = "";
            return source; // no text: nothing any reader recognises
        }
        source.m_files.push_back({name, std::move(*text)});
        if (converted)
            source.m_notices.push_back(kConverted);
        return source;
    }

    ZipArchive archive(path);
    std::vector<ZipArchive::EntryInfo> entries;
    if (!archive.openForReading() || !archive.entryInfo(entries, kMaxEntries)) {
        problem = kUnreadable;
        return std::nullopt;
    }
    const std::string folder = fs::makeTemporaryDirectory("vantrel-import");
    archive.setExtractionLimit(kMaxExtractedBytes);
    for (const ZipArchive::EntryInfo& entry : entries) {
        if (!isTextName(entry.name) || !ZipArchive::isSafeEntryName(entry.name))
            continue;
        if (!archive.extractFile(entry.name, folder))
            continue;
        auto text = decode(fs::readFile(fs::joinPath(folder, entry.name)).value_or(""), converted);
        if (text && !text->empty())
            source.m_files.push_back({entry.name, std::move(*text)});
        if (converted
            && std::find(source.m_notices.begin(), source.m_notices.end(), kConverted)
                == source.m_notices.end())
            source.m_notices.push_back(kConverted);
    }
    archive.close();
    fs::removeItem(folder);
    if (source.m_files.empty()) {
        problem = kNoCsv;
        return std::nullopt;
    }
    return source;
}

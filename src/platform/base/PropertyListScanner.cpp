#include "platform/base/PropertyListScanner.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace platform::plist {

namespace {

constexpr std::string_view kBinaryMagic = "bplist00";
// Each reference to an object is followed again; shared objects could otherwise multiply.
constexpr size_t kMaxBinaryVisits = 1000000;

std::uint64_t readBigEndian(std::string_view bytes, size_t at, size_t width) {
    std::uint64_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The value of a numeric character reference ("#65", "#x41") or -1 when it is not one.
long long characterReference(std::string_view entity) {
    if (entity.size() < 2 || entity[0] != '#')
        return -1;
    const bool hex = entity[1] == 'x' || entity[1] == 'X';
    size_t i = hex ? 2 : 1;
    if (i >= entity.size())
        return -1;
    long long value = 0;
    for (; i < entity.size(); ++i) {
        const char c = entity[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return -1;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF)
            return 0x110000;
    }
    return value;
}

} // namespace

bool PropertyListScanner::isSafe(std::string_view bytes, std::string* reason) {
    std::string why;
    bool safe = false;
    if (bytes.empty())
        why = "the file is empty";
    else if (bytes.size() > kMaxBytes)
        why = "the file is too large";
    else if (bytes.substr(0, kBinaryMagic.size()) == kBinaryMagic)
        safe = scanBinary(bytes, why);
    else
        safe = scanXML(bytes, why);
    if (reason)
        *reason = why;
    return safe;
}

bool PropertyListScanner::scanXML(std::string_view text, std::string& reason) {
    if (text.find('\0') != std::string_view::npos) {
        reason = "the text holds a NUL character";
        return false;
    }
    int depth = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '&') {
            const size_t end = text.find(';', i);
            if (end == std::string_view::npos || end - i > 12) {
                ++i;
                continue;
            }
            const long long value = characterReference(text.substr(i + 1, end - i - 1));
            if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
                reason = "a character reference is not a character";
                return false;
            }
            i = end + 1;
            continue;
        }
        if (c != '<') {
            ++i;
            continue;
        }
        auto skipPast = [&](std::string_view terminator) {
            const size_t end = text.find(terminator, i);
            i = end == std::string_view::npos ? text.size() : end + terminator.size();
        };
        std::string_view rest = text.substr(i);
        if (rest.starts_with("<?")) {
            skipPast("?>");
        } else if (rest.starts_with("<!--")) {
            skipPast("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipPast("]]>");
        } else if (rest.starts_with("<!")) {
            skipPast(">");
        } else {
            const size_t end = text.find('>', i);
            if (end == std::string_view::npos)
                break;
            if (text[i + 1] == '/')
                --depth;
            else if (text[end - 1] != '/' && ++depth > kMaxDepth) {
                reason = "the document nests too deeply";
                return false;
            }
            i = end + 1;
        }
    }
    return true;
}

bool PropertyListScanner::scanBinary(std::string_view bytes, std::string& reason) {
    reason = "the binary property list is damaged";
    constexpr size_t kTrailer = 32;
    if (bytes.size() < kBinaryMagic.size() + kTrailer)
        return false;
    const size_t trailer = bytes.size() - kTrailer;
    const size_t offsetSize = static_cast<unsigned char>(bytes[trailer + 6]);
    const size_t refSize = static_cast<unsigned char>(bytes[trailer + 7]);
    const std::uint64_t objectCount = readBigEndian(bytes, trailer + 8, 8);
    const std::uint64_t top = readBigEndian(bytes, trailer + 16, 8);
    const std::uint64_t tableOffset = readBigEndian(bytes, trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || objectCount == 0
        || objectCount > kMaxBinaryObjects || top >= objectCount || tableOffset < kBinaryMagic.size()
        || tableOffset > trailer || (trailer - tableOffset) / offsetSize < objectCount)
        return false;

    auto objectOffset = [&](std::uint64_t index) {
        return readBigEndian(bytes, static_cast<size_t>(tableOffset + index * offsetSize), offsetSize);
    };
    // A container's element count: the marker's low nibble, or an integer object after it.
    auto containerCount = [&](size_t at, std::uint64_t& count, size_t& first) {
        count = static_cast<unsigned char>(bytes[at]) & 0x0F;
        first = at + 1;
        if (count != 0x0F)
            return true;
        if (first >= tableOffset || (static_cast<unsigned char>(bytes[first]) & 0xF0) != 0x10)
            return false;
        const size_t width = size_t(1) << (static_cast<unsigned char>(bytes[first]) & 0x0F);
        if (width > 8 || first + 1 + width > tableOffset)
            return false;
        count = readBigEndian(bytes, first + 1, width);
        first += 1 + width;
        return true;
    };

    std::vector<std::pair<std::uint64_t, int>> pending {{top, 1}};
    size_t visits = 0;
    while (!pending.empty()) {
        const auto [index, depth] = pending.back();
        pending.pop_back();
        if (++visits > kMaxBinaryVisits) {
            reason = "the binary property list refers to its objects too often";
            return false;
        }
        const std::uint64_t offset = objectOffset(index);
        if (offset < kBinaryMagic.size() || offset >= tableOffset)
            return false;
        const unsigned marker = static_cast<unsigned char>(bytes[static_cast<size_t>(offset)]) >> 4;
        if (marker != 0xA && marker != 0xC && marker != 0xD)
            continue;
        if (depth > kMaxDepth) {
            reason = "the document nests too deeply";
            return false;
        }
        std::uint64_t count = 0;
        size_t first = 0;
        if (!containerCount(static_cast<size_t>(offset), count, first))
            return false;
        const std::uint64_t references = marker == 0xD ? count * 2 : count;
        if (count > objectCount * 2 || references > (tableOffset - first) / refSize)
            return false;
        if (visits + pending.size() + references > kMaxBinaryVisits) {
            reason = "the binary property list refers to its objects too often";
            return false;
        }
        for (std::uint64_t r = 0; r < references; ++r) {
            const std::uint64_t child
                = readBigEndian(bytes, static_cast<size_t>(first + r * refSize), refSize);
            if (child >= objectCount)
                return false;
            pending.emplace_back(child, depth + 1);
        }
    }
    return true;
}

} // namespace platform::plist

#pragma once

#include <string>
#include <string_view>

namespace platform::plist {

// A look at property-list bytes before libplist parses them. libplist trusts its input: a
// document nested some ten thousand levels deep exhausts the stack, and a NUL character
// inside a text trips an assertion that aborts the process. Settings files come from disk
// and from restored backups, so they are scanned first and refused when they could do
// either.
class PropertyListScanner {
public:
    // Far more than any settings file holds.
    static constexpr size_t kMaxBytes = 4 * 1024 * 1024;
    static constexpr int kMaxDepth = 32;
    static constexpr size_t kMaxBinaryObjects = 100000;

    // True when the bytes are an XML or binary property list within the limits above, with
    // no NUL character (raw or as a character reference) in XML text and, for the binary
    // form, a well-formed trailer and object table whose references stay inside it.
    // `reason` says why not.
    static bool isSafe(std::string_view bytes, std::string* reason = nullptr);

private:
    static bool scanXML(std::string_view text, std::string& reason);
    static bool scanBinary(std::string_view bytes, std::string& reason);
};

} // namespace platform::plist

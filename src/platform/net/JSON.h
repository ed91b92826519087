#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Value.h"

namespace platform::net {

// JSON text to and from property-list values, on nlohmann-json.
//
// JSON null has no property-list form: a null member of an object is left out, a null
// element of an array is dropped, and a null document decodes to none.
class JSON {
public:
    // Deeper documents are refused as malformed: nothing this system exchanges nests more
    // than a few levels, and converting a deep document would exhaust the stack.
    static constexpr int kMaxDepth = 64;

    // Any JSON document; none for text that is not JSON (or is null) or nests deeper than
    // kMaxDepth.
    static std::optional<Value> decode(std::string_view text);
    // Only a JSON object; none for anything else.
    static std::optional<Dictionary> decodeObject(std::string_view text);
    // Whether arrays and objects in the text nest deeper than `maxDepth` (brackets inside
    // strings do not count). Cheap enough to run before any parser sees the text.
    static bool nestsDeeperThan(std::string_view text, int maxDepth = kMaxDepth);
    // Compact JSON text; binary data is written as an array of byte values.
    static std::string encode(const Value& value);
};

} // namespace platform::net

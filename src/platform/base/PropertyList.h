#pragma once

#include <optional>
#include <string>

#include "platform/base/Value.h"

namespace platform::plist {

// XML property-list text of a dictionary.
std::string toXML(const Dictionary& dictionary);
// Parses XML or binary property-list bytes; none unless the top level is a dictionary, and
// none for bytes that PropertyListScanner finds unsafe to hand to the parser.
std::optional<Dictionary> dictionaryFromBytes(const std::string& bytes);

} // namespace platform::plist

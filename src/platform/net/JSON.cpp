#include "platform/net/JSON.h"

#include <nlohmann/json.hpp>

namespace platform::net {

namespace {

std::optional<Value> toValue(const nlohmann::json& json) {
    switch (json.type()) {
    case nlohmann::json::value_t::boolean:
        return Value(json.get<bool>());
    case nlohmann::json::value_t::number_integer:
        return Value(static_cast<long long>(json.get<std::int64_t>()));
    case nlohmann::json::value_t::number_unsigned: {
        const auto number = json.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(INT64_MAX))
            return Value(static_cast<double>(number));
        return Value(static_cast<long long>(number));
    }
    case nlohmann::json::value_t::number_float:
        return Value(json.get<double>());
    case nlohmann::json::value_t::string:
        return Value(json.get<std::string>());
    case nlohmann::json::value_t::array: {
        Array array;
        array.reserve(json.size());
        for (const auto& element : json)
            if (auto value = toValue(element))
                array.push_back(std::move(*value));
        return Value(std::move(array));
    }
    case nlohmann::json::value_t::object: {
        Dictionary dictionary;
        for (const auto& [key, element] : json.items())
            if (auto value = toValue(element))
                dictionary.emplace(key, std::move(*value));
        return Value(std::move(dictionary));
    }
    default:
        return std::nullopt;
    }
}

nlohmann::json toJSON(const Value& value) {
    return std::visit(
        [](const auto& v) -> nlohmann::json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, Array>) {
                auto array = nlohmann::json::array();
                for (const auto& element : v)
                    array.push_back(toJSON(element));
                return array;
            } else if constexpr (std::is_same_v<T, Dictionary>) {
                auto object = nlohmann::json::object();
                for (const auto& [key, element] : v)
                    object[key] = toJSON(element);
                return object;
            } else {
                return nlohmann::json(v);
            }
        },
        value.storage());
}

} // namespace

bool JSON::nestsDeeperThan(std::string_view text, int maxDepth) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

std::optional<Value> JSON::decode(std::string_view text) {
    if (nestsDeeperThan(text))
        return std::nullopt;
    auto json = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded())
        return std::nullopt;
    return toValue(json);
}

std::optional<Dictionary> JSON::decodeObject(std::string_view text) {
    auto value = decode(text);
    if (!value || !value->isDictionary())
        return std::nullopt;
    return value->dictionary();
}

std::string JSON::encode(const Value& value) {
    // Invalid UTF-8 in a text is replaced rather than thrown about.
    return toJSON(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace platform::net

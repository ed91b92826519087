#include "platform/base/PropertyList.h"

#include <memory>

#include <plist/plist.h>

#include "platform/base/PropertyListScanner.h"

namespace platform::plist {

namespace {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

plist_t toNode(const Value& value) {
    struct Visitor {
        plist_t operator()(bool v) const { return plist_new_bool(v ? 1 : 0); }
        // Signed values travel as two's complement; the XML writer prints them signed.
        plist_t operator()(std::int64_t v) const { return plist_new_uint(static_cast<uint64_t>(v)); }
        plist_t operator()(double v) const { return plist_new_real(v); }
        plist_t operator()(const std::string& v) const { return plist_new_string(v.c_str()); }
        plist_t operator()(const Data& v) const {
            return plist_new_data(reinterpret_cast<const char*>(v.data()), v.size());
        }
        plist_t operator()(const Array& v) const {
            plist_t array = plist_new_array();
            for (const auto& item : v)
                plist_array_append_item(array, toNode(item));
            return array;
        }
        plist_t operator()(const Dictionary& v) const {
            plist_t dict = plist_new_dict();
            for (const auto& [key, item] : v)
                plist_dict_set_item(dict, key.c_str(), toNode(item));
            return dict;
        }
    };
    return std::visit(Visitor {}, value.storage());
}

std::optional<Value> fromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return Value(b != 0);
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return Value(static_cast<long long>(u));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return Value(d);
    }
    case PLIST_STRING: {
        char* s = nullptr;
        plist_get_string_val(node, &s);
        std::string text = s ? s : "";
        free(s);
        return Value(std::move(text));
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        Data data(reinterpret_cast<uint8_t*>(bytes), reinterpret_cast<uint8_t*>(bytes) + length);
        free(bytes);
        return Value(std::move(data));
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return Value(sec + usec / 1e6); // seconds since the reference date
    }
    case PLIST_ARRAY: {
        Array array;
        uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            if (auto item = fromNode(plist_array_get_item(node, i)))
                array.push_back(std::move(*item));
        }
        return Value(std::move(array));
    }
    case PLIST_DICT: {
        Dictionary dict;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, &key, &item);
            if (!item) {
                free(key);
                break;
            }
            if (auto value = fromNode(item))
                dict[key] = std::move(*value);
            free(key);
        }
        free(iter);
        return Value(std::move(dict));
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::string toXML(const Dictionary& dictionary) {
    PlistPtr root(toNode(Value(dictionary)));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(root.get()), &xml, &length);
    std::string text(xml ? xml : "", length);
    plist_to_xml_free(xml);
    return text;
}

std::optional<Dictionary> dictionaryFromBytes(const std::string& bytes) {
    if (!PropertyListScanner::isSafe(bytes))
        return std::nullopt;
    plist_t node = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &node);
    if (!node)
        return std::nullopt;
    PlistPtr root(node);
    if (plist_get_node_type(node) != PLIST_DICT)
        return std::nullopt;
    auto value = fromNode(node);
    if (!value)
        return std::nullopt;
    return value->dictionary();
}

} // namespace platform::plist

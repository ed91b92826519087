#include "platform/base/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace platform {

namespace {
const std::string kEmptyString;
const Data kEmptyData;
const Array kEmptyArray;
const Dictionary kEmptyDictionary;

double parseNumber(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? 0 : value;
}
} // namespace

bool Value::toBool() const {
    if (auto* b = std::get_if<bool>(&m_storage))
        return *b;
    if (auto* i = std::get_if<std::int64_t>(&m_storage))
        return *i != 0;
    if (auto* d = std::get_if<double>(&m_storage))
        return *d != 0;
    if (auto* s = std::get_if<std::string>(&m_storage)) {
        if (strcasecmp(s->c_str(), "yes") == 0 || strcasecmp(s->c_str(), "true") == 0)
            return true;
        return parseNumber(*s) != 0;
    }
    return false;
}

std::int64_t Value::toInteger() const {
    if (auto* b = std::get_if<bool>(&m_storage))
        return *b ? 1 : 0;
    if (auto* i = std::get_if<std::int64_t>(&m_storage))
        return *i;
    if (auto* d = std::get_if<double>(&m_storage))
        return std::isfinite(*d) ? static_cast<std::int64_t>(*d) : 0;
    if (auto* s = std::get_if<std::string>(&m_storage)) {
        double v = parseNumber(*s);
        return std::isfinite(v) ? static_cast<std::int64_t>(v) : 0;
    }
    return 0;
}

double Value::toDouble() const {
    if (auto* d = std::get_if<double>(&m_storage))
        return *d;
    if (auto* s = std::get_if<std::string>(&m_storage))
        return parseNumber(*s);
    return static_cast<double>(toInteger());
}

std::optional<std::string> Value::toString() const {
    if (auto* s = std::get_if<std::string>(&m_storage))
        return *s;
    if (auto* b = std::get_if<bool>(&m_storage))
        return std::string(*b ? "1" : "0");
    if (auto* i = std::get_if<std::int64_t>(&m_storage))
        return std::to_string(*i);
    if (auto* d = std::get_if<double>(&m_storage)) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.15g", *d);
        return std::string(buffer);
    }
    return std::nullopt;
}

const std::string& Value::string() const {
    auto* s = std::get_if<std::string>(&m_storage);
    return s ? *s : kEmptyString;
}

const Data& Value::data() const {
    auto* d = std::get_if<Data>(&m_storage);
    return d ? *d : kEmptyData;
}

const Array& Value::array() const {
    auto* a = std::get_if<Array>(&m_storage);
    return a ? *a : kEmptyArray;
}

const Dictionary& Value::dictionary() const {
    auto* d = std::get_if<Dictionary>(&m_storage);
    return d ? *d : kEmptyDictionary;
}

} // namespace platform

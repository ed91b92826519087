#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

class Value;
using Data = std::vector<std::uint8_t>;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value>;

// A property-list value: what the key-value store and notifications carry.
class Value {
public:
    using Storage = std::variant<bool, std::int64_t, double, std::string, Data, Array, Dictionary>;

    Value()
        : m_storage(false) { }
    Value(bool v)
        : m_storage(v) { }
    Value(int v)
        : m_storage(std::int64_t(v)) { }
    Value(long v)
        : m_storage(std::int64_t(v)) { }
    Value(long long v)
        : m_storage(std::int64_t(v)) { }
    Value(double v)
        : m_storage(v) { }
    Value(float v)
        : m_storage(double(v)) { }
    Value(const char* v)
        : m_storage(std::string(v)) { }
    Value(std::string v)
        : m_storage(std::move(v)) { }
    Value(Data v)
        : m_storage(std::move(v)) { }
    Value(Array v)
        : m_storage(std::move(v)) { }
    Value(Dictionary v)
        : m_storage(std::move(v)) { }

    bool isBool() const { return std::holds_alternative<bool>(m_storage); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(m_storage); }
    bool isDouble() const { return std::holds_alternative<double>(m_storage); }
    bool isNumber() const { return isBool() || isInteger() || isDouble(); }
    bool isString() const { return std::holds_alternative<std::string>(m_storage); }
    bool isData() const { return std::holds_alternative<Data>(m_storage); }
    bool isArray() const { return std::holds_alternative<Array>(m_storage); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(m_storage); }

    // Conversions as the phone's store makes them: numbers convert among themselves,
    // texts are parsed ("YES"/"true"/non-zero for booleans), anything else is false/0.
    bool toBool() const;
    std::int64_t toInteger() const;
    double toDouble() const;
    // Texts as they are, numbers in their plain decimal form; none for other kinds.
    std::optional<std::string> toString() const;

    // Typed access; the empty value of the type when the kind differs.
    const std::string& string() const;
    const Data& data() const;
    const Array& array() const;
    const Dictionary& dictionary() const;

    const Storage& storage() const { return m_storage; }
    bool operator==(const Value&) const = default;

private:
    Storage m_storage;
};

} // namespace platform

#pragma once

#include <optional>
#include <string>
#include <variant>

#include "platform/base/Date.h"

namespace platform::views {
class ViewController;
}

// A value handed back by a value editor: a text (text, list and selection editors, notes),
// a date (the date editor), or none (a date text that could not be read).
class EditorValue {
public:
    EditorValue() = default;
    EditorValue(std::string text)
        : m_value(std::move(text)) { }
    EditorValue(const char* text)
        : m_value(std::string(text)) { }
    EditorValue(platform::Date date)
        : m_value(date) { }
    EditorValue(std::optional<platform::Date> date) {
        if (date)
            m_value = *date;
    }

    bool isNone() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isText() const { return std::holds_alternative<std::string>(m_value); }
    bool isDate() const { return std::holds_alternative<platform::Date>(m_value); }
    // The text; empty for a date or none.
    const std::string& text() const;
    std::optional<platform::Date> date() const;
    // Writes the date into `target` (a Date or an optional one) when there is one: a date
    // editor that could not read its text hands back none, which must not erase a date.
    template<class T> bool storeDateInto(T& target) const {
        std::optional<platform::Date> value = date();
        if (value)
            target = *value;
        return value.has_value();
    }

    bool operator==(const EditorValue&) const = default;

private:
    std::variant<std::monostate, std::string, platform::Date> m_value;
};

// What a form screen implements to receive the value chosen in a value editor it opened.
// `editor` is the reporting editor (tell them apart by class, GenericEditViewController,
// SelectionViewController or NotesViewController, or by which row opened it); `index` is
// the chosen row of a selection list, or 0.
class GenericEditViewControllerDelegate {
public:
    virtual ~GenericEditViewControllerDelegate() = default;
    virtual void didSelectValue(platform::views::ViewController& editor, const EditorValue& value, int index)
        = 0;
};

inline const std::string& EditorValue::text() const {
    static const std::string empty;
    const std::string* text = std::get_if<std::string>(&m_value);
    return text ? *text : empty;
}

inline std::optional<platform::Date> EditorValue::date() const {
    const platform::Date* date = std::get_if<platform::Date>(&m_value);
    return date ? std::optional<platform::Date>(*date) : std::nullopt;
}

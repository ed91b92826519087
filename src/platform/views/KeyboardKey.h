#pragma once

#include <string>

#include "platform/views/Button.h"

namespace platform::views {

// One key of the on-screen keyboard: a button that draws the key face itself.
class KeyboardKey : public Button {
public:
    enum class Kind {
        Character, // types its text
        Delete,
        Return,
        Shift,
        ModeChange, // letters <-> numbers and punctuation
        Blank, // the number pad's empty bottom-left key: does nothing
    };
    enum class Face { Pad, PadDark, Letter, Function, Space, ReturnBlue };

    KeyboardKey(Kind kind, std::string text, Face face);

    Kind kind() const { return m_kind; }
    // What a character key types ("a", "7", ".").
    const std::string& keyText() const { return m_text; }
    void setSubtitle(std::string subtitle) { m_subtitle = std::move(subtitle); }

    void drawRect(graphics::Context& context, Rect rect) override;
    void layoutSubviews() override;

private:
    void drawDeleteSymbol(graphics::Context& context, Rect r);
    void drawShiftSymbol(graphics::Context& context, Rect r);

    Kind m_kind;
    std::string m_text;
    std::string m_subtitle;
    Face m_face;
};

} // namespace platform::views

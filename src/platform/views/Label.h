#pragma once

#include <optional>
#include <string>

#include "platform/graphics/Font.h"
#include "platform/graphics/TextLayout.h"
#include "platform/views/View.h"

namespace platform::views {

using graphics::Font;
using graphics::LineBreakMode;
using graphics::TextAlignment;

// Read-only text: one line by default, cut with "…" at the end when it does not fit; more
// lines with numberOfLines (0 = as many as fit). The text is centred vertically. Labels
// take no touches (user interaction is off), so touches reach the view behind them.
class Label : public View {
public:
    // Glyphs may overhang the label's lines (descenders, italics).
    bool clipsDrawingToBounds() const override { return false; }
    Label();
    explicit Label(Rect frame);

    const std::string& text() const { return m_text; }
    void setText(std::string text);
    const Font& font() const { return m_font; }
    void setFont(Font font);
    Color textColor() const { return m_textColor; }
    void setTextColor(Color color);
    std::optional<Color> highlightedTextColor() const { return m_highlightedTextColor; }
    void setHighlightedTextColor(std::optional<Color> color);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    TextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(TextAlignment alignment);
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode mode);
    // No shadow while the colour is absent.
    std::optional<Color> shadowColor() const { return m_shadowColor; }
    void setShadowColor(std::optional<Color> color);
    Size shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(Size offset);
    // One-line labels may shrink the font down to minimumFontSize to fit the width.
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSize; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    double minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(double size) { m_minimumFontSize = size; }

    // The text's size for the given width (one line: unconstrained).
    Size sizeThatFits(Size size) const override;
    // Where the text is drawn within `bounds` for at most `lines` lines (0 = no limit).
    Rect textRectForBounds(Rect bounds, int lines) const;
    // The colour the text is drawn in now.
    Color currentTextColor() const;

    void drawRect(graphics::Context& context, Rect rect) override;

protected:
    // Draws the text in `rect` (subclasses may pad or move it).
    virtual void drawTextInRect(graphics::Context& context, Rect rect);

private:
    Font fittingFont() const;

    std::string m_text;
    Font m_font {Font::systemFontOfSize(17)};
    Color m_textColor {Color::black()};
    std::optional<Color> m_highlightedTextColor;
    bool m_highlighted {false};
    bool m_enabled {true};
    TextAlignment m_textAlignment {TextAlignment::Left};
    int m_numberOfLines {1};
    LineBreakMode m_lineBreakMode {LineBreakMode::TailTruncation};
    std::optional<Color> m_shadowColor;
    Size m_shadowOffset {0, -1};
    bool m_adjustsFontSize {false};
    double m_minimumFontSize {0};
};

} // namespace platform::views

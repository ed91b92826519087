#include "platform/views/Label.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Context.h"

namespace platform::views {

using graphics::TextLayout;

Label::Label() {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

Label::Label(Rect frame)
    : View(frame) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void Label::setText(std::string text) {
    if (m_text == text)
        return;
    m_text = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(Font font) {
    m_font = std::move(font);
    setNeedsDisplay();
}

void Label::setTextColor(Color color) {
    m_textColor = color;
    setNeedsDisplay();
}

void Label::setHighlightedTextColor(std::optional<Color> color) {
    m_highlightedTextColor = color;
    setNeedsDisplay();
}

void Label::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    setNeedsDisplay();
}

void Label::setEnabled(bool enabled) {
    m_enabled = enabled;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
    m_textAlignment = alignment;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines) {
    m_numberOfLines = std::max(0, lines);
    setNeedsDisplay();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    m_lineBreakMode = mode;
    setNeedsDisplay();
}

void Label::setShadowColor(std::optional<Color> color) {
    m_shadowColor = color;
    setNeedsDisplay();
}

void Label::setShadowOffset(Size offset) {
    m_shadowOffset = offset;
    setNeedsDisplay();
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts) {
    m_adjustsFontSize = adjusts;
    setNeedsDisplay();
}

Color Label::currentTextColor() const {
    if (m_highlighted && m_highlightedTextColor)
        return *m_highlightedTextColor;
    if (!m_enabled)
        return Color::gray();
    return m_textColor;
}

Font Label::fittingFont() const {
    if (!m_adjustsFontSize || m_numberOfLines != 1 || m_text.empty())
        return m_font;
    double width = bounds().width();
    double minimum = m_minimumFontSize > 0 ? m_minimumFontSize : m_font.pointSize();
    Font font = m_font;
    while (font.pointSize() > minimum && TextLayout::sizeWithFont(m_text, font).width > width)
        font = font.fontWithSize(std::max(minimum, font.pointSize() - 1));
    return font;
}

Size Label::sizeThatFits(Size size) const {
    if (m_text.empty())
        return {0, 0};
    if (m_numberOfLines == 1)
        return TextLayout::sizeWithFont(m_text, m_font);
    double width = size.width > 0 ? size.width : 100000;
    double height = m_numberOfLines > 0 ? m_numberOfLines * m_font.lineHeight() : 0;
    // With no line limit the text wraps; truncation only ever cuts a last line.
    LineBreakMode mode = m_lineBreakMode;
    if (mode == LineBreakMode::Clip || height == 0)
        mode = mode == LineBreakMode::CharacterWrap ? mode : LineBreakMode::WordWrap;
    return TextLayout::sizeWithFont(m_text, m_font, Size {width, height}, mode);
}

Rect Label::textRectForBounds(Rect rect, int lines) const {
    Font font = fittingFont();
    double lineHeight = std::ceil(font.lineHeight());
    double maxHeight = lines > 0 ? std::min(rect.height(), lines * lineHeight) : rect.height();
    maxHeight = std::max(maxHeight, lineHeight);
    Size size;
    if (lines == 1)
        size = {rect.width(), lineHeight};
    else
        size = TextLayout::sizeWithFont(m_text, font, Size {rect.width(), maxHeight}, m_lineBreakMode);
    double height = std::min(size.height, std::max(rect.height(), lineHeight));
    double y = rect.y() + std::floor((rect.height() - height) / 2);
    return Rect(rect.x(), y, rect.width(), height);
}

void Label::drawRect(graphics::Context& context, Rect) {
    if (m_text.empty())
        return;
    drawTextInRect(context, bounds());
}

void Label::drawTextInRect(graphics::Context& context, Rect rect) {
    Rect textRect = textRectForBounds(rect, m_numberOfLines);
    Font font = fittingFont();
    // One line never wraps: the truncation modes cut it at the width.
    LineBreakMode mode = m_lineBreakMode;
    if (m_numberOfLines == 1 && (mode == LineBreakMode::WordWrap || mode == LineBreakMode::CharacterWrap))
        mode = LineBreakMode::Clip;
    if (m_shadowColor && m_shadowColor->alpha > 0) {
        context.setFillColor(*m_shadowColor);
        context.drawText(m_text, textRect.offsetBy(m_shadowOffset.width, m_shadowOffset.height), font, mode,
            m_textAlignment);
    }
    context.setFillColor(currentTextColor());
    context.drawText(m_text, textRect, font, mode, m_textAlignment);
}

} // namespace platform::views

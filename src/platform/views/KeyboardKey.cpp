#include "platform/views/KeyboardKey.h"

#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Label.h"

namespace platform::views {

KeyboardKey::KeyboardKey(Kind kind, std::string text, Face face)
    : Button(ButtonType::Custom)
    , m_kind(kind)
    , m_text(std::move(text))
    , m_face(face) {
    // The face and the legend are drawn by the key itself.
    titleLabel().setHidden(true);
    setOpaque(face == Face::Pad || face == Face::PadDark);
}

void KeyboardKey::layoutSubviews() {
    Button::layoutSubviews();
    // The key draws its legend itself.
    titleLabel().setHidden(true);
}

void KeyboardKey::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    bool pressed = isHighlighted();
    Color legend = Color::black();
    switch (m_face) {
    case Face::Pad:
    case Face::PadDark: {
        // Number pad keys touch each other, with a dark hairline between them.
        Rect face(b.x(), b.y() + 1, b.width(), b.height() - 1);
        if (m_face == Face::PadDark)
            fillVerticalGradient(context, face, Color::fromHex(pressed ? 0xFFFFFF : 0xB3B8C1),
                Color::fromHex(pressed ? 0xD5D8DE : 0x9EA3AD));
        else if (pressed)
            fillVerticalGradient(context, face, Color::fromHex(0x7E8DA8), Color::fromHex(0x5B6A87));
        else
            fillVerticalGradient(context, face, Color::fromHex(0xFDFDFD), Color::fromHex(0xD8DADF));
        if (pressed && m_face == Face::Pad)
            legend = Color::whiteColor();
        break;
    }
    case Face::Letter:
    case Face::Function:
    case Face::Space:
    case Face::ReturnBlue: {
        Rect face = b.insetBy(3, 5);
        Color top = Color::fromHex(0xFCFCFD), bottom = Color::fromHex(0xDDDEE1);
        if (m_face == Face::Function) {
            top = Color::fromHex(0xA9AFBA);
            bottom = Color::fromHex(0x8D94A1);
            legend = Color::whiteColor();
        }
        if (m_face == Face::ReturnBlue) {
            top = Color::fromHex(0x5A8CF0);
            bottom = Color::fromHex(0x2F64DB);
            legend = Color::whiteColor();
        }
        if (pressed) {
            top = darker(top, 0.25);
            bottom = darker(bottom, 0.25);
        }
        context.saveGState();
        context.setShadowWithColor({0, 1}, 0, Color::black().withAlpha(0.5));
        addRoundedRectPath(context, face, 5);
        context.setFillColor(bottom);
        context.fillPath();
        context.restoreGState();
        context.saveGState();
        addRoundedRectPath(context, face, 5);
        context.clip();
        fillVerticalGradient(context, face, top, bottom);
        context.restoreGState();
        break;
    }
    }

    if (m_kind == Kind::Blank)
        return;
    if (m_kind == Kind::Delete) {
        drawDeleteSymbol(context, b);
        return;
    }
    if (m_kind == Kind::Shift) {
        drawShiftSymbol(context, b);
        return;
    }
    std::string text = currentTitle().empty() ? m_text : currentTitle();
    bool pad = m_face == Face::Pad || m_face == Face::PadDark;
    Font font = pad ? Font::boldSystemFontOfSize(m_subtitle.empty() ? 24 : 26)
                    : Font::boldSystemFontOfSize(text.size() > 1 ? 15 : 22);
    double height = std::ceil(font.lineHeight());
    double top = pad && !m_subtitle.empty() ? b.y() + (b.height() - height - 12) / 2
                                            : b.y() + (b.height() - height) / 2;
    context.setFillColor(legend);
    context.drawText(text, Rect(b.x(), std::floor(top), b.width(), height), font, LineBreakMode::Clip,
        TextAlignment::Center);
    if (pad && !m_subtitle.empty()) {
        Font small = Font::boldSystemFontOfSize(10);
        context.setFillColor(legend.withAlpha(0.8));
        context.drawText(m_subtitle, Rect(b.x(), std::floor(top + height - 2), b.width(), 13), small,
            LineBreakMode::Clip, TextAlignment::Center);
    }
}

void KeyboardKey::drawDeleteSymbol(graphics::Context& context, Rect b) {
    Point c = b.center();
    double w = 22, h = 16;
    bool dark = m_face == Face::Function || isHighlighted();
    Color color
        = m_face == Face::PadDark ? Color::white(0.2) : (dark ? Color::whiteColor() : Color::white(0.2));
    context.saveGState();
    context.setStrokeColor(color);
    context.setLineWidth(1.5);
    context.setLineJoin(graphics::LineJoin::Round);
    context.beginPath();
    context.moveToPoint(c.x - w / 2, c.y);
    context.addLineToPoint(c.x - w / 2 + 7, c.y - h / 2);
    context.addLineToPoint(c.x + w / 2, c.y - h / 2);
    context.addLineToPoint(c.x + w / 2, c.y + h / 2);
    context.addLineToPoint(c.x - w / 2 + 7, c.y + h / 2);
    context.closePath();
    context.strokePath();
    context.strokeLineSegments(
        {{c.x - 1, c.y - 4}, {c.x + 7, c.y + 4}, {c.x + 7, c.y - 4}, {c.x - 1, c.y + 4}});
    context.restoreGState();
}

void KeyboardKey::drawShiftSymbol(graphics::Context& context, Rect b) {
    Point c = b.center();
    context.saveGState();
    context.setFillColor(isSelected() ? Color::whiteColor() : Color::white(0.25));
    context.beginPath();
    context.moveToPoint(c.x, c.y - 9);
    context.addLineToPoint(c.x + 9, c.y + 1);
    context.addLineToPoint(c.x + 4, c.y + 1);
    context.addLineToPoint(c.x + 4, c.y + 8);
    context.addLineToPoint(c.x - 4, c.y + 8);
    context.addLineToPoint(c.x - 4, c.y + 1);
    context.addLineToPoint(c.x - 9, c.y + 1);
    context.closePath();
    context.fillPath();
    context.restoreGState();
}

} // namespace platform::views

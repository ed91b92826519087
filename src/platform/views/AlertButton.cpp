#include "platform/views/AlertButton.h"

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Label.h"

namespace platform::views {

AlertButton::AlertButton(const std::string& title, Look look, int index)
    : Button(ButtonType::Custom)
    , m_look(look)
    , m_index(index) {
    setTitle(title);
    bool dark = look == Look::Sheet;
    titleLabel().setFont(
        Font::boldSystemFontOfSize(look == Look::Alert || look == Look::AlertCancel ? 18 : 19));
    setTitleColor(dark ? Color::black() : Color::whiteColor());
    setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    setTitleShadowColor(dark ? Color::whiteColor().withAlpha(0.6) : Color::black().withAlpha(0.5));
    titleLabel().setShadowOffset({0, dark ? 1.0 : -1.0});
}

void AlertButton::drawRect(graphics::Context& context, Rect) {
    Rect face = bounds().insetBy(0.5, 0.5);
    bool pressed = isHighlighted();
    Color top, bottom, stroke;
    switch (m_look) {
    case Look::Alert:
        top = Color::whiteColor().withAlpha(pressed ? 0.55 : 0.35);
        bottom = Color::whiteColor().withAlpha(pressed ? 0.35 : 0.12);
        stroke = Color::black().withAlpha(0.45);
        break;
    case Look::AlertCancel:
        top = Color::white(0.55, pressed ? 0.5 : 0.3);
        bottom = Color::black().withAlpha(pressed ? 0.1 : 0.25);
        stroke = Color::black().withAlpha(0.5);
        break;
    case Look::Sheet:
        top = pressed ? Color::fromHex(0x058CF5) : Color::whiteColor();
        bottom = pressed ? Color::fromHex(0x015EE6) : Color::white(0.86);
        stroke = Color::black().withAlpha(0.6);
        break;
    case Look::SheetCancel:
        top = pressed ? Color::white(0.15) : Color::white(0.45);
        bottom = pressed ? Color::white(0.05) : Color::white(0.22);
        stroke = Color::black().withAlpha(0.7);
        break;
    case Look::SheetDestructive:
        top = pressed ? Color::fromHex(0xA0140C) : Color::fromHex(0xE9524A);
        bottom = pressed ? Color::fromHex(0x780E08) : Color::fromHex(0xB8140B);
        stroke = Color::black().withAlpha(0.6);
        break;
    }
    context.saveGState();
    addRoundedRectPath(context, face, m_look == Look::Alert || m_look == Look::AlertCancel ? 6 : 9);
    context.clip();
    fillVerticalGradient(context, face, top, bottom);
    context.restoreGState();
    addRoundedRectPath(context, face, m_look == Look::Alert || m_look == Look::AlertCancel ? 6 : 9);
    context.setStrokeColor(stroke);
    context.setLineWidth(1);
    context.strokePath();
}

} // namespace platform::views

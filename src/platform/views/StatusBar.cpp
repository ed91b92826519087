#include "platform/views/StatusBar.h"

#include <cmath>
#include <numbers>

#include "platform/base/Clock.h"
#include "platform/base/DateFormatter.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Screen.h"

namespace platform::views {

using graphics::Font;

StatusBar::StatusBar()
    : View(Rect(0, 0, Screen::kWidth, Screen::kStatusBarHeight)) {
    setAutoresizingMask(AutoresizingFlexibleWidth);
    setUserInteractionEnabled(false);
}

void StatusBar::setStyle(StatusBarStyle style) {
    m_style = style;
    setNeedsDisplay();
}

void StatusBar::setShowsNetworkActivity(bool shows) {
    m_networkActivity = shows;
    setNeedsDisplay();
}

std::string StatusBar::timeText() const {
    DateFormatter formatter;
    formatter.setTimeStyle(DateFormatter::Style::Short);
    return formatter.stringFromDate(Clock::now());
}

void StatusBar::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    bool dark = m_style != StatusBarStyle::Default;
    if (dark) {
        context.setFillColor(Color::black());
        context.fillRect(b);
    } else {
        fillVerticalGradient(context, b, Color::fromHex(0xE7E7E7), Color::fromHex(0xA9A9A9));
        context.setFillColor(Color::fromHex(0x7F7F7F));
        context.fillRect(Rect(b.x(), b.maxY() - 1, b.width(), 1));
    }
    Color ink = dark ? Color::whiteColor() : Color::black();
    Color faint = dark ? Color::white(0.35) : Color::white(0.55);

    // Signal: five bars of rising height.
    for (int i = 0; i < 5; ++i) {
        double h = 3 + i * 2;
        context.setFillColor(i < 4 ? ink : faint);
        context.fillRect(Rect(6 + i * 4, 15 - h, 3, h));
    }
    Font small = Font::boldSystemFontOfSize(12);
    context.setFillColor(ink);
    context.drawText("Vantrel", Rect(29, 3, 60, 15), small, LineBreakMode::Clip, TextAlignment::Left);

    if (m_networkActivity) {
        // A small spinner of twelve spokes.
        Point c {94, 10};
        context.saveGState();
        context.setLineWidth(1.5);
        context.setLineCap(graphics::LineCap::Round);
        for (int i = 0; i < 12; ++i) {
            double a = i * std::numbers::pi / 6;
            context.setStrokeColor(ink.withAlpha(0.25 + 0.75 * i / 11));
            context.strokeLineSegments({{c.x + 3 * std::cos(a), c.y + 3 * std::sin(a)},
                {c.x + 6 * std::cos(a), c.y + 6 * std::sin(a)}});
        }
        context.restoreGState();
    }

    Font clock = Font::boldSystemFontOfSize(14);
    context.setFillColor(ink);
    context.drawText(
        timeText(), Rect(b.x(), 2, b.width(), 17), clock, LineBreakMode::Clip, TextAlignment::Center);

    // Battery, nearly full.
    Rect battery(b.maxX() - 32, 5, 24, 10);
    context.setStrokeColor(ink);
    context.strokeRectWithWidth(battery.insetBy(0.5, 0.5), 1);
    context.setFillColor(ink);
    context.fillRect(Rect(battery.maxX(), 8, 2, 4));
    context.fillRect(battery.insetBy(2, 2));
}

} // namespace platform::views

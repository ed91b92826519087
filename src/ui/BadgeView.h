#pragma once

#include <string>

#include "platform/graphics/Font.h"
#include "platform/views/View.h"

// A count badge: a short text in a glossy pill with a white rim and, optionally, a soft
// shadow. The view sizes itself to its text when the text changes, resetting its origin:
// the caller positions it afterwards. Never opaque; background colours are ignored.
class BadgeView : public platform::views::View {
public:
    BadgeView();
    explicit BadgeView(platform::views::Rect frame);

    const std::string& text() const { return m_text; }
    // A different text re-measures the badge (calculateMetrics) and redraws it.
    void setText(const std::string& text);
    platform::views::Color fillColor() const { return m_fillColor; }
    // A different colour redraws the badge.
    void setFillColor(platform::views::Color color);
    // Plain setters: no re-measuring, no redraw.
    platform::views::Color textColor() const { return m_textColor; }
    void setTextColor(platform::views::Color color) { m_textColor = color; }
    const platform::graphics::Font& font() const { return m_font; }
    void setFont(platform::graphics::Font font) { m_font = std::move(font); }
    bool drawShadow() const { return m_drawShadow; }
    void setDrawShadow(bool drawShadow) { m_drawShadow = drawShadow; }

    // Where the bubble lies inside the view.
    platform::views::Rect badgeBounds() const { return m_badgeBounds; }
    // Sizes the bubble to the text (its width at least its height, plus a quarter of the
    // text height on each side) and the view to the bubble, with a 4-point margin all round
    // for the shadow when drawShadow is on.
    void calculateMetrics();

    void setOpaque(bool) override { View::setOpaque(false); }
    void setBackgroundColor(std::optional<platform::views::Color>) override { }
    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;

private:
    void init();

    std::string m_text;
    platform::views::Color m_fillColor {platform::views::Color::red_()};
    platform::views::Color m_textColor {platform::views::Color::whiteColor()};
    platform::graphics::Font m_font {platform::graphics::Font::boldSystemFontOfSize(18)};
    bool m_drawShadow {true};
    platform::views::Rect m_badgeBounds;
};

#pragma once

#include <optional>

#include "platform/views/View.h"

// A rounded panel: filled with its own background colour and outlined in strokeColor,
// optionally over a soft shadow (drawn within a 4-point margin). The platform background
// stays clear: backgroundColor() here is the fill, View::backgroundColor() stays none.
class QLRoundedRectView : public platform::views::View {
public:
    // The corner radius starts at a fifth of the smaller side of the initial frame.
    QLRoundedRectView();
    explicit QLRoundedRectView(platform::views::Rect frame);

    std::optional<platform::views::Color> backgroundColor() const { return m_fillColor; }
    // Stores the fill (when different) and redraws.
    void setBackgroundColor(std::optional<platform::views::Color> color) override;
    platform::views::Color strokeColor() const { return m_strokeColor; }
    void setStrokeColor(platform::views::Color color);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    // Width of the outline; 0 draws none.
    double strokeSize() const { return m_strokeSize; }
    void setStrokeSize(double size);
    // A picture repeated over the panel instead of the fill colour (a glossy face), tiles
    // starting at the bounds' origin; a null image goes back to the colour.
    const platform::graphics::Image& fillPattern() const { return m_fillPattern; }
    void setFillPattern(platform::graphics::Image pattern);
    bool drawShadow() const { return m_drawShadow; }
    void setDrawShadow(bool drawShadow);

    // The panel's outline within the bounds: inset 4 points for the shadow, then by the
    // stroke size; the radius is at most half of either side.
    platform::views::Rect panelRect() const;
    double effectiveCornerRadius() const;

    void setFrame(platform::views::Rect frame) override;
    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;

private:
    void init();

    std::optional<platform::views::Color> m_fillColor;
    platform::graphics::Image m_fillPattern;
    platform::views::Color m_strokeColor {platform::views::Color::black()};
    double m_cornerRadius {0};
    double m_strokeSize {0};
    bool m_drawShadow {false};
};

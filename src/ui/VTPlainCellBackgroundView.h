#pragma once

#include "platform/views/View.h"

// The background of a plain table cell: the view's background colour with a 1-point
// separator in strokeColor along the bottom edge. Not opaque.
class VTPlainCellBackgroundView : public platform::views::View {
public:
    VTPlainCellBackgroundView();
    explicit VTPlainCellBackgroundView(platform::views::Rect frame);

    platform::views::Color strokeColor() const { return m_strokeColor; }
    void setStrokeColor(platform::views::Color color);

    // The fill is the background colour, which the view paints before drawRect.
    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;

private:
    platform::views::Color m_strokeColor {platform::views::Color::clear()};
};

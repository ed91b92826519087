#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

namespace platform::graphics {
class Context;
}

// Shapes the toolkit's own views share (bars, keys, cells, alerts).
namespace platform::views {

// Replaces the current path with a rounded rectangle.
void addRoundedRectPath(graphics::Context& context, graphics::Rect rect, double radius);
// Rounded only at the top or only at the bottom (grouped table cells).
void addPartlyRoundedRectPath(
    graphics::Context& context, graphics::Rect rect, double radius, bool roundTop, bool roundBottom);
// A vertical gradient between two colours over `rect` (clipped to it).
void fillVerticalGradient(
    graphics::Context& context, graphics::Rect rect, graphics::Color top, graphics::Color bottom);
// The phone's bar face in `tint`: a lighter glossy upper half over the tint.
void fillBarGradient(graphics::Context& context, graphics::Rect rect, graphics::Color tint);
graphics::Color lighter(graphics::Color color, double amount);
graphics::Color darker(graphics::Color color, double amount);
// A right-pointing chevron (disclosure indicator) centred at `center`.
void strokeChevron(
    graphics::Context& context, graphics::Point center, double size, graphics::Color color, double width);

} // namespace platform::views

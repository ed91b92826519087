#include "platform/views/DrawingHelpers.h"

#include <algorithm>
#include <numbers>

#include "platform/graphics/Context.h"

namespace platform::views {

using graphics::Color;
using graphics::Context;
using graphics::Rect;

void addRoundedRectPath(Context& context, Rect rect, double radius) {
    addPartlyRoundedRectPath(context, rect, radius, true, true);
}

void addPartlyRoundedRectPath(Context& context, Rect r, double radius, bool roundTop, bool roundBottom) {
    radius = std::max(0.0, std::min({radius, r.width() / 2, r.height() / 2}));
    double top = roundTop ? radius : 0, bottom = roundBottom ? radius : 0;
    context.beginPath();
    context.moveToPoint(r.minX(), r.minY() + top);
    if (top > 0)
        context.addArcToPoint(r.minX(), r.minY(), r.minX() + top, r.minY(), top);
    else
        context.addLineToPoint(r.minX(), r.minY());
    if (top > 0)
        context.addArcToPoint(r.maxX(), r.minY(), r.maxX(), r.minY() + top, top);
    else
        context.addLineToPoint(r.maxX(), r.minY());
    if (bottom > 0)
        context.addArcToPoint(r.maxX(), r.maxY(), r.maxX() - bottom, r.maxY(), bottom);
    else
        context.addLineToPoint(r.maxX(), r.maxY());
    if (bottom > 0)
        context.addArcToPoint(r.minX(), r.maxY(), r.minX(), r.maxY() - bottom, bottom);
    else
        context.addLineToPoint(r.minX(), r.maxY());
    context.closePath();
}

void fillVerticalGradient(Context& context, Rect rect, Color top, Color bottom) {
    context.saveGState();
    context.clipToRect(rect);
    graphics::Gradient gradient {{{0, top}, {1, bottom}}};
    context.drawLinearGradient(gradient, {rect.x(), rect.minY()}, {rect.x(), rect.maxY()});
    context.restoreGState();
}

Color lighter(Color c, double amount) {
    return {c.red + (1 - c.red) * amount, c.green + (1 - c.green) * amount, c.blue + (1 - c.blue) * amount,
        c.alpha};
}

Color darker(Color c, double amount) {
    return {c.red * (1 - amount), c.green * (1 - amount), c.blue * (1 - amount), c.alpha};
}

void fillBarGradient(Context& context, Rect rect, Color tint) {
    context.saveGState();
    context.clipToRect(rect);
    graphics::Gradient gradient {{
        {0, lighter(tint, 0.45)},
        {0.5, lighter(tint, 0.15)},
        {0.5, tint},
        {1, darker(tint, 0.08)},
    }};
    context.drawLinearGradient(gradient, {rect.x(), rect.minY()}, {rect.x(), rect.maxY()});
    context.restoreGState();
}

void strokeChevron(Context& context, graphics::Point c, double size, Color color, double width) {
    context.saveGState();
    context.setStrokeColor(color);
    context.setLineWidth(width);
    context.setLineCap(graphics::LineCap::Square);
    context.setLineJoin(graphics::LineJoin::Miter);
    context.beginPath();
    context.moveToPoint(c.x - size / 2, c.y - size);
    context.addLineToPoint(c.x + size / 2, c.y);
    context.addLineToPoint(c.x - size / 2, c.y + size);
    context.strokePath();
    context.restoreGState();
}

} // namespace platform::views

#include "ui/MetalView.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/graphics/Context.h"

using namespace platform::views;

void MetalView::drawRect(platform::graphics::Context& context, Rect rect) {
    QLDrawLinearGradient(
        context, rect, colorWithHex(0xF0F0F0), colorWithHex(0xCCCCCC), QLGradientTopToBottom, 0.8);
    context.setLineWidth(1);
    context.setStrokeColor(Color::whiteColor());
    context.strokeLineSegments({{0, 0}, {rect.width(), 0}});
    context.setStrokeColor(Color::gray());
    context.strokeLineSegments({{0, rect.height()}, {rect.width(), rect.height()}});
}

#include "QLCoreLibrary/DrawingUtilities.h"

#include <algorithm>
#include <cmath>

using namespace platform::graphics;

void QLDrawLinearGradient(
    Context& context, Rect rect, const Color& first, const Color& second, int direction, float endLocation) {
    context.setInterpolationQuality(InterpolationQuality::High);
    Point end {0, 0};
    switch (direction) {
    case 0:
        end = {0, rect.height()};
        break;
    case 1:
        end = {rect.width(), 0};
        break;
    case 2:
        end = {rect.width(), rect.height()};
        break;
    default:
        break;
    }
    double location
        = std::isfinite(endLocation) ? std::clamp(static_cast<double>(endLocation), 0.0, 1.0) : 1.0;
    Gradient gradient {{{0, first}, {location, second}}};
    context.drawLinearGradient(gradient, {0, 0}, end, 0);
}

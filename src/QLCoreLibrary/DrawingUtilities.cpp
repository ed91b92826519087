#include "QLCoreLibrary/DrawingUtilities.h"

#include "platform/graphics/ImageContext.h"

#include <cstring>

using namespace platform::graphics;

void QLAddRoundedRect(Context& context, Rect rect, double ovalWidth, double ovalHeight) {
    if (ovalWidth == 0 || ovalHeight == 0) {
        context.addRect(rect);
        return;
    }
    // Scaling the space makes every corner an arc of radius 1; the path keeps the shape
    // once the state is restored.
    context.saveGState();
    context.translateCTM(rect.minX(), rect.minY());
    context.scaleCTM(ovalWidth, ovalHeight);
    const double w = rect.standardized().width() / ovalWidth;
    const double h = rect.standardized().height() / ovalHeight;
    context.moveToPoint(w, h / 2);
    context.addArcToPoint(w, h, w / 2, h, 1);
    context.addArcToPoint(0, h, 0, h / 2, 1);
    context.addArcToPoint(0, 0, w / 2, 0, 1);
    context.addArcToPoint(w, 0, w, h / 2, 1);
    context.closePath();
    context.restoreGState();
}

void QLBeginImageContext(Size size, bool opaque) {
    ImageContext::beginImageContext(size, opaque, 0);
}

void QLDrawLinearGradient(
    Context& context, Rect rect, const Color& first, const Color& second, int direction, double endLocation) {
    Point end;
    switch (direction) {
    case QLGradientTopToBottom:
        end = {0, rect.height()};
        break;
    case QLGradientLeftToRight:
        end = {rect.width(), 0};
        break;
    case QLGradientDiagonal:
        end = {rect.width(), rect.height()};
        break;
    default:
        end = {0, 0};
        break;
    }
    Gradient gradient;
    gradient.stops = {{0, first}, {endLocation, second}};
    context.saveGState();
    context.setInterpolationQuality(InterpolationQuality::High);
    context.drawLinearGradient(gradient, {0, 0}, end, 0);
    context.restoreGState();
}

QLLogoMetrics QLGetLogoMetrics(double width) {
    QLLogoMetrics metrics;
    const double n = double(std::strlen(kQLLogoText));
    metrics.s = width / 7;
    metrics.g = 0.15 * metrics.s;
    metrics.d = metrics.s - metrics.g;
    metrics.m = (width - (7 * metrics.d + 6 * metrics.g)) / 2;
    metrics.imageSize = {width, n * metrics.d + (n - 1) * metrics.g + 2 * metrics.m};
    return metrics;
}

Image QLGetLogoImage(const Color& color, double width) {
    const QLLogoMetrics metrics = QLGetLogoMetrics(width);
    QLBeginImageContext(metrics.imageSize, false);
    Context* context = ImageContext::currentContext();
    const std::string text = kQLLogoText;
    for (size_t row = 0; row < text.size(); ++row) {
        const unsigned code = static_cast<unsigned char>(text[row]);
        const double y = metrics.m + double(row) * (metrics.d + metrics.g);
        for (int column = 0; column < 7; ++column) {
            if (!(code & (1u << (6 - column))))
                continue;
            const double x = metrics.m + column * (metrics.d + metrics.g);
            QLAddRoundedRect(*context, {x, y, metrics.d, metrics.d}, 1.5 * metrics.g, 1.5 * metrics.g);
        }
    }
    context->setFillColor(color);
    context->fillPath();
    Image image = ImageContext::imageFromCurrentImageContext();
    ImageContext::endImageContext();
    return image;
}

Size MeasureText(Context& context, const std::string& text) {
    const Point start = context.textPosition();
    context.setTextDrawingMode(TextDrawingMode::Invisible);
    context.showTextAtPoint(start.x, start.y, text);
    const Point end = context.textPosition();
    return {end.x - start.x, end.y - start.y};
}

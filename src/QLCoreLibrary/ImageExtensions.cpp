#include "QLCoreLibrary/ImageExtensions.h"

#include <algorithm>
#include <cmath>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/ImageContext.h"

using namespace platform::graphics;
namespace fs = platform::fs;

Image glossyImageWithColor(const Color& color, Size size, double cornerRounding) {
    QLBeginImageContext(size, false);
    Context* context = ImageContext::currentContext();
    const Rect whole {0, 0, size.width, size.height};
    context->clearRect(whole);
    if (cornerRounding > 0) {
        context->beginPath();
        QLAddRoundedRect(*context, whole, cornerRounding, cornerRounding);
        context->clip();
    }
    QLDrawLinearGradient(*context, whole, shiftHue(color, 0, -0.1, 0.1), color, QLGradientTopToBottom, 1);

    const Rect gloss {0, 0, size.width, size.height / 2 + 1};
    QLDrawLinearGradient(
        *context, gloss, Color::white(1, 0.5), Color::white(1, 0.1), QLGradientTopToBottom, 1);

    context->setLineWidth(1);
    context->setStrokeColor(Color::white(1, 0.5));
    context->strokeLineSegments({{0, 1}, {size.width, 1}});
    context->setStrokeColor(Color::white(0, 0.5));
    context->strokeLineSegments({{0, size.height}, {size.width, size.height}});

    Image image = ImageContext::imageFromCurrentImageContext();
    ImageContext::endImageContext();
    return image.stretchableImageWithLeftCapWidth(int(cornerRounding), 0);
}

Image stretchableGlossyImageWithColor(const Color& color, double height, double cornerRounding) {
    const double width = cornerRounding > 0 ? 2 * cornerRounding + 1 : 2;
    return glossyImageWithColor(color, {width, height}, cornerRounding);
}

Image imageWithContentsOfResolutionIndependentFile(const std::string& path) {
    if (ImageContext::mainScreenScale() == 2.0) {
        const std::string extension = fs::pathExtension(path);
        std::string doubled = fs::deletingPathExtension(path) + "@2x";
        if (!extension.empty())
            doubled += "." + extension;
        if (fs::fileExists(doubled)) {
            Image image = Image::imageWithContentsOfFile(doubled);
            if (image)
                return image.withScale(2);
        }
    }
    return Image::imageWithContentsOfFile(path);
}

Image imageByScalingToSize(const Image& image, Size size) {
    double scale = ImageContext::mainScreenScale();
    if (!(scale > 0))
        scale = 1;
    if (image.isNull() || !(size.width > 0) || !(size.height > 0) || !std::isfinite(size.width)
        || !std::isfinite(size.height))
        return {};
    const Size target {size.width * scale, size.height * scale};
    const Size upright {image.size().width * image.scale(), image.size().height * image.scale()};

    // Pixels throughout; the context maps them back to points at the end.
    Rect drawn {0, 0, target.width, target.height};
    if (upright.width != target.width || upright.height != target.height) {
        const double factor = std::max(target.width / upright.width, target.height / upright.height);
        const double width = upright.width * factor, height = upright.height * factor;
        drawn = {(target.width - width) / 2, (target.height - height) / 2, width, height};
    }
    ImageContext bitmap(size, false, scale);
    Context& context = bitmap.context();
    context.setInterpolationQuality(InterpolationQuality::High);
    const Image plain = image.stretchableImageWithLeftCapWidth(0, 0);
    plain.drawInRect(
        context, {drawn.x() / scale, drawn.y() / scale, drawn.width() / scale, drawn.height() / scale});
    return bitmap.image();
}

Image roundedCornerImageWithRadius(const Image& image, int radius) {
    if (image.isNull())
        return {};
    const Size size = image.size();
    QLBeginImageContext(size, false);
    Context* context = ImageContext::currentContext();
    context->beginPath();
    QLAddRoundedRect(*context, {0, 0, size.width, size.height}, radius, radius);
    context->clip();
    drawInContext(image, *context);
    Image rounded = ImageContext::imageFromCurrentImageContext();
    ImageContext::endImageContext();
    return rounded;
}

void drawInContext(const Image& image, Context& context) {
    if (image.isNull())
        return;
    const Size size = image.size();
    image.stretchableImageWithLeftCapWidth(0, 0).drawInRect(context, {0, 0, size.width, size.height});
}

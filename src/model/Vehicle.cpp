#include "model/Vehicle.h"

#include <algorithm>

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/graphics/ImageContext.h"

namespace {

// The image drawn inside a rounded-rectangle clip of its own size.
platform::graphics::Image roundedCorners(const platform::graphics::Image& image, double radius) {
    using namespace platform::graphics;
    Size size = image.size();
    if (image.isNull() || size.width <= 0 || size.height <= 0)
        return image;
    ImageContext canvas(size, false, image.scale());
    Context& context = canvas.context();
    double r = std::min({radius, size.width / 2, size.height / 2});
    context.beginPath();
    context.moveToPoint(r, 0);
    context.addArcToPoint(size.width, 0, size.width, size.height, r);
    context.addArcToPoint(size.width, size.height, 0, size.height, r);
    context.addArcToPoint(0, size.height, 0, 0, r);
    context.addArcToPoint(0, 0, size.width, 0, r);
    context.closePath();
    context.clip();
    image.drawInRect(context, Rect(0, 0, size.width, size.height));
    return canvas.image();
}

} // namespace

std::string Vehicle::modelLine() const {
    std::string line;
    if (year > 0)
        line += std::to_string(year) + " ";
    if (!make.empty())
        line += make + " ";
    if (!model.empty())
        line += model + " ";
    return line.empty() ? "Model not specified" : line;
}

std::string Vehicle::pictureFile() const {
    return platform::fs::joinPath(platform::Sandbox::documentsDirectory(), std::to_string(vid) + ".png");
}

platform::graphics::Image Vehicle::picture() const {
    if (m_picture.isNull()) {
        std::string file = pictureFile();
        if (platform::fs::fileExists(file))
            m_picture = platform::graphics::Image::imageWithContentsOfFile(file);
        else
            m_picture = roundedCorners(platform::graphics::Image::imageNamed("SampleCar.png"), 10);
    }
    return m_picture;
}

#include "platform/views/ImageView.h"

#include <algorithm>

#include "platform/graphics/Context.h"

namespace platform::views {

ImageView::ImageView() {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

ImageView::ImageView(Rect frame)
    : View(frame) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

ImageView::ImageView(Image image)
    : View(Rect(Point {}, image.size()))
    , m_image(std::move(image)) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void ImageView::setImage(Image image) {
    m_image = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlightedImage(Image image) {
    m_highlightedImage = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    setNeedsDisplay();
}

Size ImageView::sizeThatFits(Size) const {
    return m_image ? m_image.size() : Size {};
}

Rect ImageView::imageRect(ContentMode mode, Size image, Rect b) {
    if (image.width <= 0 || image.height <= 0)
        return b;
    double sx = b.width() / image.width, sy = b.height() / image.height;
    auto centred = [&](double w, double h) {
        return Rect(b.x() + (b.width() - w) / 2, b.y() + (b.height() - h) / 2, w, h);
    };
    switch (mode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw:
        return b;
    case ContentMode::ScaleAspectFit: {
        double s = std::min(sx, sy);
        return centred(image.width * s, image.height * s);
    }
    case ContentMode::ScaleAspectFill: {
        double s = std::max(sx, sy);
        return centred(image.width * s, image.height * s);
    }
    case ContentMode::Center:
        return centred(image.width, image.height);
    case ContentMode::Top:
        return Rect(b.x() + (b.width() - image.width) / 2, b.y(), image.width, image.height);
    case ContentMode::Bottom:
        return Rect(
            b.x() + (b.width() - image.width) / 2, b.maxY() - image.height, image.width, image.height);
    case ContentMode::Left:
        return Rect(b.x(), b.y() + (b.height() - image.height) / 2, image.width, image.height);
    case ContentMode::Right:
        return Rect(
            b.maxX() - image.width, b.y() + (b.height() - image.height) / 2, image.width, image.height);
    case ContentMode::TopLeft:
        return Rect(b.x(), b.y(), image.width, image.height);
    case ContentMode::TopRight:
        return Rect(b.maxX() - image.width, b.y(), image.width, image.height);
    case ContentMode::BottomLeft:
        return Rect(b.x(), b.maxY() - image.height, image.width, image.height);
    case ContentMode::BottomRight:
        return Rect(b.maxX() - image.width, b.maxY() - image.height, image.width, image.height);
    }
    return b;
}

void ImageView::drawRect(graphics::Context& context, Rect) {
    const Image& image = m_highlighted && m_highlightedImage ? m_highlightedImage : m_image;
    if (!image)
        return;
    // Aspect fill may overflow the view: it is cut only when the view clips to its bounds.
    image.drawInRect(context, imageRect(contentMode(), image.size(), bounds()));
}

} // namespace platform::views

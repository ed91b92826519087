#pragma once

#include "platform/graphics/Image.h"
#include "platform/views/View.h"

namespace platform::views {

using graphics::Image;

// Shows an image according to the content mode (scale to fill by default). Takes no
// touches unless user interaction is turned on.
class ImageView : public View {
public:
    ImageView();
    explicit ImageView(Rect frame);
    // Frame of the image's size at the origin.
    explicit ImageView(Image image);

    const Image& image() const { return m_image; }
    void setImage(Image image);
    const Image& highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(Image image);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);

    Size sizeThatFits(Size size) const override;
    void drawRect(graphics::Context& context, Rect rect) override;

    // Where an image of `imageSize` lands in `bounds` under `mode`.
    static Rect imageRect(ContentMode mode, Size imageSize, Rect bounds);

private:
    Image m_image;
    Image m_highlightedImage;
    bool m_highlighted {false};
};

} // namespace platform::views

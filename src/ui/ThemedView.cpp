#include "ui/ThemedView.h"

#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/graphics/Context.h"
#include "ui/ThemedViewController.h"

using platform::graphics::Image;
using platform::views::Rect;

// The gradient runs from the bounds' top to their bottom, over every pixel.
bool ThemedView::drawsOpaquely() const {
    return bounds().origin == platform::views::Point {} && ThemedViewController::secondColor().alpha >= 1
        && ThemedViewController::thirdColor().alpha >= 1;
}

void ThemedView::drawRect(platform::graphics::Context& context, Rect rect) {
    QLDrawLinearGradient(context, rect, ThemedViewController::secondColor(),
        ThemedViewController::thirdColor(), QLGradientTopToBottom, 0.8);
    // Decoded once per view rather than on every frame.
    if (!m_lineArt)
        m_lineArt = Image::imageNamed(kLineArtImageName);
    if (m_lineArt)
        m_lineArt.drawAtPoint(context, {0, bounds().maxY() - m_lineArt.size().height});
}

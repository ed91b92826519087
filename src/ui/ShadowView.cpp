#include "ui/ShadowView.h"

#include "platform/graphics/Context.h"

using namespace platform::views;

ShadowView::ShadowView() {
    init();
}

ShadowView::ShadowView(Rect frame)
    : View(frame) {
    init();
}

void ShadowView::init() {
    setOpaque(false);
    setBackgroundColor(std::nullopt);
}

void ShadowView::drawRect(platform::graphics::Context& context, Rect) {
    const Rect b = bounds();
    context.saveGState();
    // Views share the window's picture: clearing would punch through to whatever lies
    // behind (a non-opaque view starts out clear anyway).
    // A white block just above the strip casts its shadow down into the view. The offset
    // was designed for a context whose shadow offsets point up; this context's point down.
    context.setShadow({0, 5}, 10);
    context.setFillColor(Color::whiteColor());
    context.fillRect(b.offsetBy(0, -b.height()));
    context.restoreGState();
}

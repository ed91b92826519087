#pragma once

#include "platform/views/View.h"

// A strip whose top edge is darkened by a soft shadow, as if the bar above it cast one.
// Clear and non-opaque; the themed screens keep one under the navigation bar and as the
// footer of plain tables.
class ShadowView : public platform::views::View {
public:
    ShadowView();
    explicit ShadowView(platform::views::Rect frame);

    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;

private:
    void init();
};

#pragma once

#include "platform/graphics/Image.h"
#include "platform/views/View.h"

// A screen background: a top-to-bottom gradient from the current theme's second colour to
// its third (reached at 0.8 of the height), with the line art standing on the bottom edge.
class ThemedView : public platform::views::View {
public:
    using View::View;

    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;
    bool drawsOpaquely() const override;

    static constexpr const char* kLineArtImageName = "Background-Line-Art.png";

private:
    platform::graphics::Image m_lineArt;
};

#pragma once

#include "platform/graphics/Image.h"
#include "platform/views/TextView.h"

// Multi-line notes on ruled paper: a text view in the system font of 17 points that always
// bounces vertically, over a background of one ruled line per line of text in the current
// theme's colours (taken when the view is made).
class NotesView : public platform::views::TextView {
public:
    explicit NotesView(platform::views::Rect frame);

    // One ruled line's tile: the view's width by the height of a line of text.
    const platform::graphics::Image& backgroundTile() const { return m_tile; }
    void renderBackground();

    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;

private:
    platform::graphics::Image m_tile;
};

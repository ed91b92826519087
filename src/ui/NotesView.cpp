#include "ui/NotesView.h"

#include <cmath>

#include "QLCoreLibrary/ColorExtensions.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/TextLayout.h"
#include "ui/ThemedViewController.h"

using namespace platform::views;
using platform::graphics::Font;
using platform::graphics::Gradient;
using platform::graphics::ImageContext;
using platform::graphics::TextLayout;

NotesView::NotesView(Rect frame)
    : TextView(frame) {
    setFont(Font::systemFontOfSize(17));
    setAlwaysBounceVertical(true);
    setBackgroundColor(std::nullopt);
    renderBackground();
}

void NotesView::renderBackground() {
    const double h = TextLayout::sizeWithFont("The Quick Brown Fox Jumps Over The Lazy Dog.", font()).height;
    const double w = frame().width();
    if (w <= 0 || h <= 0) {
        m_tile = {};
        return;
    }
    const Color third = ThemedViewController::thirdColor();
    ImageContext tile({w, h}, false, 0);
    auto& context = tile.context();
    context.setFillColor(Color::whiteColor());
    context.fillRect({0, 0, w, h});
    context.drawLinearGradient(Gradient {{{0, changeAlpha(third, 0.75)}, {0.5, changeAlpha(third, 0.25)},
                                   {1, changeAlpha(third, 0.75)}}},
        {0, 0}, {w, h});
    context.setStrokeColor(ThemedViewController::secondColor());
    context.setLineWidth(1);
    context.strokeLineSegments({{0, h - 10.5}, {w, h - 10.5}});
    m_tile = tile.image();
}

void NotesView::drawRect(platform::graphics::Context& context, Rect rect) {
    // The pattern is laid in content coordinates, so the lines scroll with the text.
    if (m_tile) {
        const Size tile = m_tile.size();
        const double top = std::floor(rect.minY() / tile.height) * tile.height;
        for (double y = top; y < rect.maxY(); y += tile.height) {
            for (double x = std::floor(rect.minX() / tile.width) * tile.width; x < rect.maxX();
                 x += tile.width)
                m_tile.drawAtPoint(context, {x, y});
        }
    }
    TextView::drawRect(context, rect);
}

#include "platform/views/TableSectionTitleView.h"

#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"

namespace platform::views {

namespace {

constexpr Color kGroupedHeaderText = Color::rgba(0.30, 0.34, 0.42);

} // namespace

TableSectionTitleView::TableSectionTitleView(std::string title, bool plain, bool header)
    : m_title(std::move(title))
    , m_plain(plain)
    , m_header(header) {
    setUserInteractionEnabled(false);
    setOpaque(plain);
}

void TableSectionTitleView::drawRect(graphics::Context& context, Rect) {
    using graphics::Font;
    Rect b = bounds();
    if (m_plain) {
        fillVerticalGradient(
            context, b, Color::rgba(0.565, 0.624, 0.671, 0.95), Color::rgba(0.722, 0.757, 0.780, 0.95));
        context.setFillColor(Color::rgba(0.44, 0.49, 0.53));
        context.fillRect(Rect(b.x(), b.y(), b.width(), 1));
        Font font = Font::boldSystemFontOfSize(18);
        Rect text(12, std::floor((b.height() - font.lineHeight()) / 2), b.width() - 24,
            std::ceil(font.lineHeight()));
        context.setFillColor(Color::black().withAlpha(0.35));
        context.drawText(
            m_title, text.offsetBy(0, 1), font, LineBreakMode::TailTruncation, TextAlignment::Left);
        context.setFillColor(Color::whiteColor());
        context.drawText(m_title, text, font, LineBreakMode::TailTruncation, TextAlignment::Left);
        return;
    }
    Font font = m_header ? Font::boldSystemFontOfSize(17) : Font::systemFontOfSize(15);
    Rect text = m_header ? Rect(20, b.height() - std::ceil(font.lineHeight()) - 7, b.width() - 40,
                    std::ceil(font.lineHeight()))
                         : Rect(20, 6, b.width() - 40, b.height() - 10);
    TextAlignment alignment = m_header ? TextAlignment::Left : TextAlignment::Center;
    context.setFillColor(Color::whiteColor());
    context.drawText(m_title, text.offsetBy(0, 1), font, LineBreakMode::WordWrap, alignment);
    context.setFillColor(kGroupedHeaderText);
    context.drawText(m_title, text, font, LineBreakMode::WordWrap, alignment);
}

} // namespace platform::views

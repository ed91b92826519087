#include "platform/graphics/TextLayout.h"

#include "platform/graphics/Context.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform::graphics {

namespace {

// The phone's measuring answers whole points; a hair of tolerance keeps 13.0000001 at 13.
double roundUp(double value) {
    return std::max(0.0, std::ceil(value - 1e-6));
}

bool isTruncation(LineBreakMode mode) {
    return mode == LineBreakMode::HeadTruncation || mode == LineBreakMode::MiddleTruncation
        || mode == LineBreakMode::TailTruncation;
}

// Single-line operations treat the wrapping modes as clipping.
LineBreakMode singleLineMode(LineBreakMode mode) {
    return isTruncation(mode) ? mode : LineBreakMode::Clip;
}

double alignmentFactor(TextAlignment alignment) {
    switch (alignment) {
    case TextAlignment::Center:
        return 0.5;
    case TextAlignment::Right:
        return 1;
    case TextAlignment::Left:
        break;
    }
    return 0;
}

} // namespace

TextLayout::TextLayout(
    const std::string& text, const Font& font, Size constraint, LineBreakMode mode, TextAlignment alignment)
    : m_constraint(constraint)
    , m_alignment(alignment) {
    if (!std::isfinite(m_constraint.width) || m_constraint.width < 0)
        m_constraint.width = 0;
    if (!std::isfinite(m_constraint.height) || m_constraint.height < 0)
        m_constraint.height = 0;

    m_layout = pango_layout_new(Font::pangoContext());
    pango_layout_set_font_description(m_layout, font.pangoDescription());
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        pango_layout_set_text(m_layout, text.data(), static_cast<int>(text.size()));
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        pango_layout_set_text(m_layout, valid, -1);
        g_free(valid);
    }
    switch (alignment) {
    case TextAlignment::Left:
        pango_layout_set_alignment(m_layout, PANGO_ALIGN_LEFT);
        break;
    case TextAlignment::Center:
        pango_layout_set_alignment(m_layout, PANGO_ALIGN_CENTER);
        break;
    case TextAlignment::Right:
        pango_layout_set_alignment(m_layout, PANGO_ALIGN_RIGHT);
        break;
    }

    const double width = m_constraint.width;
    const double height = m_constraint.height;
    if (width > 0 && mode != LineBreakMode::Clip) {
        m_alignsItself = true;
        pango_layout_set_width(m_layout, static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(
            m_layout, mode == LineBreakMode::CharacterWrap ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
        if (isTruncation(mode)) {
            pango_layout_set_ellipsize(m_layout,
                mode == LineBreakMode::HeadTruncation         ? PANGO_ELLIPSIZE_START
                    : mode == LineBreakMode::MiddleTruncation ? PANGO_ELLIPSIZE_MIDDLE
                                                              : PANGO_ELLIPSIZE_END);
            // As many lines as fit the height, at least one, the last one truncated; Pango
            // skips the ellipsis when given a height below one line, so pass a line count.
            int lines = 1;
            if (height > 0) {
                PangoLayoutLine* first = pango_layout_get_line_readonly(m_layout, 0);
                PangoRectangle lineRect;
                pango_layout_line_get_extents(first, nullptr, &lineRect);
                double lineHeight = lineRect.height / double(PANGO_SCALE);
                if (lineHeight > 0)
                    lines = std::max(1, static_cast<int>(std::floor((height + 1e-6) / lineHeight)));
            }
            pango_layout_set_height(m_layout, -std::min(lines, 10000));
        }
    }

    // Hide whole lines that do not fit the height (Pango keeps one line per paragraph).
    m_lineCount = pango_layout_get_line_count(m_layout);
    PangoRectangle logical;
    pango_layout_get_extents(m_layout, nullptr, &logical);
    m_height = logical.height / double(PANGO_SCALE);
    if (height > 0 && m_height > height + 1e-6 && m_lineCount > 1) {
        PangoLayoutIter* iter = pango_layout_get_iter(m_layout);
        int visible = 0;
        double bottom = 0;
        do {
            int y0 = 0, y1 = 0;
            pango_layout_iter_get_line_yrange(iter, &y0, &y1);
            double lineBottom = y1 / double(PANGO_SCALE);
            if (visible > 0 && lineBottom > height + 1e-6)
                break;
            ++visible;
            bottom = lineBottom;
        } while (pango_layout_iter_next_line(iter));
        pango_layout_iter_free(iter);
        m_lineCount = visible;
        m_height = bottom;
        m_heightLimited = true;
    }
}

TextLayout::~TextLayout() {
    if (m_layout)
        g_object_unref(m_layout);
}

TextLayout::TextLayout(TextLayout&& other) noexcept {
    *this = std::move(other);
}

TextLayout& TextLayout::operator=(TextLayout&& other) noexcept {
    if (this != &other) {
        if (m_layout)
            g_object_unref(m_layout);
        m_layout = std::exchange(other.m_layout, nullptr);
        m_constraint = other.m_constraint;
        m_alignment = other.m_alignment;
        m_alignsItself = other.m_alignsItself;
        m_lineCount = other.m_lineCount;
        m_height = other.m_height;
        m_heightLimited = other.m_heightLimited;
    }
    return *this;
}

Size TextLayout::size() const {
    if (!m_layout)
        return {};
    // The widest line's logical width; with a constraint the answer never exceeds it.
    double width = 0;
    PangoLayoutIter* iter = pango_layout_get_iter(m_layout);
    int line = 0;
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        width = std::max(width, logical.width / double(PANGO_SCALE));
    } while (++line < m_lineCount && pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    if (m_constraint.width > 0)
        width = std::min(width, m_constraint.width);
    return {roundUp(width), roundUp(m_height)};
}

int TextLayout::lineCount() const {
    return m_lineCount;
}

double TextLayout::baseline() const {
    return m_layout ? pango_layout_get_baseline(m_layout) / double(PANGO_SCALE) : 0;
}

bool TextLayout::isTruncated() const {
    if (!m_layout)
        return false;
    return pango_layout_is_ellipsized(m_layout) || m_heightLimited;
}

void TextLayout::drawAtPoint(Context& context, Point origin) const {
    if (!m_layout)
        return;
    Point topLeft = origin;
    if (!m_alignsItself && m_constraint.width > 0) {
        // Without a Pango width the lines align among themselves; place the block. Text
        // wider than the constraint starts at the left edge so that its start stays readable.
        PangoRectangle logical;
        pango_layout_get_extents(m_layout, nullptr, &logical);
        double slack = m_constraint.width - logical.width / double(PANGO_SCALE);
        topLeft.x += std::max(0.0, slack) * alignmentFactor(m_alignment);
    }
    context.showLayout(m_layout, topLeft, m_heightLimited ? m_height : 0);
}

Size TextLayout::drawInRect(Context& context, const std::string& text, Rect rect, const Font& font,
    LineBreakMode mode, TextAlignment alignment) {
    TextLayout layout(text, font, rect.size, mode, alignment);
    context.saveGState();
    context.clipToRect(rect);
    layout.drawAtPoint(context, rect.origin);
    context.restoreGState();
    return layout.size();
}

Size TextLayout::drawAtPoint(Context& context, const std::string& text, Point point, double width,
    const Font& font, LineBreakMode mode) {
    TextLayout layout(text, font, {width, 0}, singleLineMode(mode));
    Size size = layout.size();
    context.saveGState();
    context.clipToRect({point.x, point.y - size.height, std::max(0.0, width), size.height * 3});
    layout.drawAtPoint(context, point);
    context.restoreGState();
    return size;
}

Size TextLayout::drawAtPoint(Context& context, const std::string& text, Point point, const Font& font) {
    TextLayout layout(text, font);
    layout.drawAtPoint(context, point);
    return layout.size();
}

Size TextLayout::sizeWithFont(const std::string& text, const Font& font) {
    return TextLayout(text, font).size();
}

Size TextLayout::sizeWithFont(const std::string& text, const Font& font, double width, LineBreakMode mode) {
    return TextLayout(text, font, {width, 0}, singleLineMode(mode)).size();
}

Size TextLayout::sizeWithFont(
    const std::string& text, const Font& font, Size constraint, LineBreakMode mode) {
    return TextLayout(text, font, constraint, mode).size();
}

} // namespace platform::graphics

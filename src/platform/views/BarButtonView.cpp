#include "platform/views/BarButtonView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/TextLayout.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Touch.h"

namespace platform::views {

using graphics::Font;
using graphics::TextLayout;

namespace {
const Font& titleFont() {
    static const Font font = Font::boldSystemFontOfSize(12);
    return font;
}
constexpr Color kDoneBlue = Color::rgba(0.22, 0.42, 0.85);
} // namespace

BarButtonView::BarButtonView(std::shared_ptr<BarButtonItem> item, Kind kind)
    : m_item(std::move(item))
    , m_kind(kind) {
    setOpaque(false);
    setEnabled(m_item ? m_item->isEnabled() : true);
}

BarButtonView::BarButtonView(std::string title, std::function<void()> back)
    : m_kind(Kind::Back)
    , m_backTitle(std::move(title))
    , m_back(std::move(back)) {
    setOpaque(false);
}

std::string BarButtonView::title() const {
    if (m_kind == Kind::Back)
        return m_backTitle;
    return m_item ? m_item->title() : "";
}

void BarButtonView::setTint(Color tint) {
    m_tint = tint;
    setNeedsDisplay();
}

bool BarButtonView::hasIcon() const {
    if (!m_item || m_kind == Kind::Back)
        return false;
    if (m_item->image())
        return true;
    return m_item->systemItem() && m_item->title().empty();
}

Size BarButtonView::sizeThatFits(Size) const {
    double height = 30;
    if (m_item && m_item->width() > 0)
        return {m_item->width(), height};
    if (hasIcon()) {
        if (m_item->image())
            return {std::max(32.0, std::ceil(m_item->image().size().width) + 14), height};
        return {m_kind == Kind::ToolbarItem && m_item->style() == BarButtonItemStyle::Plain ? 40.0 : 36.0,
            height};
    }
    double text = TextLayout::sizeWithFont(title(), titleFont()).width;
    double width = text + (m_kind == Kind::Back ? 26 : 20);
    return {std::min(std::max(width, m_kind == Kind::Back ? 50.0 : 48.0), m_maximumWidth), height};
}

void BarButtonView::endTracking(Touch& touch) {
    if (!isWithinReach(touch.locationInView(this)))
        return;
    if (m_kind == Kind::Back) {
        if (m_back) {
            auto back = m_back;
            back();
        }
        return;
    }
    if (m_item)
        m_item->press();
}

void BarButtonView::drawFace(graphics::Context& context, Rect face) {
    Color fill = m_item && m_item->style() == BarButtonItemStyle::Done ? kDoneBlue : darker(m_tint, 0.1);
    if (m_item && m_item->tintColor())
        fill = *m_item->tintColor();
    if (isHighlighted())
        fill = darker(fill, 0.3);
    // The back button points left.
    auto path = [&] {
        if (m_kind == Kind::Back) {
            double r = 4, arrow = 11;
            context.beginPath();
            context.moveToPoint(face.minX(), face.midY());
            context.addLineToPoint(face.minX() + arrow, face.minY());
            context.addArcToPoint(face.maxX(), face.minY(), face.maxX(), face.minY() + r, r);
            context.addArcToPoint(face.maxX(), face.maxY(), face.maxX() - r, face.maxY(), r);
            context.addLineToPoint(face.minX() + arrow, face.maxY());
            context.closePath();
        } else {
            addRoundedRectPath(context, face, 5);
        }
    };
    context.saveGState();
    context.setShadowWithColor({0, 1}, 0, Color::whiteColor().withAlpha(0.25));
    path();
    context.setFillColor(fill);
    context.fillPath();
    context.restoreGState();
    context.saveGState();
    path();
    context.clip();
    graphics::Gradient gloss {
        {{0, lighter(fill, 0.35)}, {0.5, lighter(fill, 0.1)}, {0.5, fill}, {1, darker(fill, 0.05)}}};
    context.drawLinearGradient(gloss, {0, face.minY()}, {0, face.maxY()});
    context.restoreGState();
    path();
    context.setStrokeColor(darker(fill, 0.45));
    context.setLineWidth(1);
    context.strokePath();
}

void BarButtonView::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    bool plain = m_item && m_item->style() == BarButtonItemStyle::Plain && m_kind == Kind::ToolbarItem;
    if (m_item && m_item->customView())
        return;
    Rect face = b.insetBy(0.5, 0.5);
    if (!plain)
        drawFace(context, face);
    else if (isHighlighted()) {
        context.setFillColor(Color::whiteColor().withAlpha(0.35));
        context.fillEllipseInRect(Rect(b.midX() - 16, b.midY() - 16, 32, 32));
    }
    Color ink = isEnabled() ? Color::whiteColor() : Color::whiteColor().withAlpha(0.45);
    if (hasIcon()) {
        drawIcon(context, face, ink);
        return;
    }
    std::string text = title();
    double left = m_kind == Kind::Back ? face.x() + 13 : face.x() + 6;
    double width = face.maxX() - 6 - left;
    double lineHeight = std::ceil(titleFont().lineHeight());
    Rect textRect(left, std::floor(face.midY() - lineHeight / 2), width, lineHeight);
    context.setFillColor(Color::black().withAlpha(0.45));
    context.drawText(
        text, textRect.offsetBy(0, -1), titleFont(), LineBreakMode::TailTruncation, TextAlignment::Center);
    context.setFillColor(ink);
    context.drawText(text, textRect, titleFont(), LineBreakMode::TailTruncation, TextAlignment::Center);
}

void BarButtonView::drawIcon(graphics::Context& context, Rect face, Color ink) {
    Point c = face.center();
    if (m_item->image()) {
        Size s = m_item->image().size();
        // Faded like a title when there is nothing to do.
        m_item->image().drawInRect(context,
            Rect(std::floor(c.x - s.width / 2), std::floor(c.y - s.height / 2), s.width, s.height),
            isEnabled() ? 1.0 : 0.35);
        return;
    }
    context.saveGState();
    context.setShadowWithColor({0, -1}, 0, Color::black().withAlpha(0.4));
    context.setStrokeColor(ink);
    context.setFillColor(ink);
    context.setLineWidth(2.5);
    context.setLineCap(graphics::LineCap::Round);
    context.setLineJoin(graphics::LineJoin::Round);
    switch (*m_item->systemItem()) {
    case BarButtonSystemItem::Add:
        context.setLineWidth(3);
        context.strokeLineSegments({{c.x - 6, c.y}, {c.x + 6, c.y}, {c.x, c.y - 6}, {c.x, c.y + 6}});
        break;
    case BarButtonSystemItem::Stop:
        context.strokeLineSegments(
            {{c.x - 5, c.y - 5}, {c.x + 5, c.y + 5}, {c.x + 5, c.y - 5}, {c.x - 5, c.y + 5}});
        break;
    case BarButtonSystemItem::Refresh: {
        context.beginPath();
        context.addArc(c.x, c.y, 6.5, -std::numbers::pi * 0.35, std::numbers::pi * 1.4, 0);
        context.strokePath();
        double a = -std::numbers::pi * 0.35;
        Point tip {c.x + 6.5 * std::cos(a), c.y + 6.5 * std::sin(a)};
        context.beginPath();
        context.moveToPoint(tip.x + 4, tip.y + 1);
        context.addLineToPoint(tip.x - 3, tip.y - 4);
        context.addLineToPoint(tip.x - 2, tip.y + 4);
        context.closePath();
        context.fillPath();
        break;
    }
    case BarButtonSystemItem::Action: {
        context.setLineWidth(2);
        context.beginPath();
        context.moveToPoint(c.x - 4, c.y - 2);
        context.addLineToPoint(c.x - 8, c.y - 2);
        context.addLineToPoint(c.x - 8, c.y + 8);
        context.addLineToPoint(c.x + 8, c.y + 8);
        context.addLineToPoint(c.x + 8, c.y - 2);
        context.addLineToPoint(c.x + 4, c.y - 2);
        context.strokePath();
        context.strokeLineSegments({{c.x, c.y + 3}, {c.x, c.y - 8}});
        context.beginPath();
        context.moveToPoint(c.x - 4, c.y - 5);
        context.addLineToPoint(c.x, c.y - 9);
        context.addLineToPoint(c.x + 4, c.y - 5);
        context.strokePath();
        break;
    }
    case BarButtonSystemItem::Trash:
        context.setLineWidth(2);
        context.strokeRect(Rect(c.x - 5, c.y - 4, 10, 12));
        context.strokeLineSegments(
            {{c.x - 8, c.y - 6}, {c.x + 8, c.y - 6}, {c.x - 2, c.y - 8}, {c.x + 2, c.y - 8}});
        break;
    case BarButtonSystemItem::Camera:
        context.fillRect(Rect(c.x - 9, c.y - 5, 18, 12));
        context.fillRect(Rect(c.x - 4, c.y - 8, 8, 3));
        context.setFillColor(darker(m_tint, 0.2));
        context.fillEllipseInRect(Rect(c.x - 4, c.y - 3, 8, 8));
        break;
    case BarButtonSystemItem::Play:
        context.beginPath();
        context.moveToPoint(c.x - 5, c.y - 7);
        context.addLineToPoint(c.x + 7, c.y);
        context.addLineToPoint(c.x - 5, c.y + 7);
        context.closePath();
        context.fillPath();
        break;
    case BarButtonSystemItem::Pause:
        context.fillRect(Rect(c.x - 6, c.y - 7, 4, 14));
        context.fillRect(Rect(c.x + 2, c.y - 7, 4, 14));
        break;
    case BarButtonSystemItem::Search:
        context.strokeEllipseInRect(Rect(c.x - 7, c.y - 7, 10, 10));
        context.strokeLineSegments({{c.x + 2, c.y + 2}, {c.x + 7, c.y + 7}});
        break;
    default:
        // Compose, reply, organize, bookmarks, rewind, fast forward: a simple glyph.
        context.strokeRect(Rect(c.x - 7, c.y - 6, 14, 12));
        break;
    }
    context.restoreGState();
}

} // namespace platform::views

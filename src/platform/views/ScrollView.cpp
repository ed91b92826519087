#include "platform/views/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Touch.h"

namespace platform::views {

ScrollView::ScrollView() {
    setClipsToBounds(true);
}

ScrollView::ScrollView(Rect frame)
    : View(frame) {
    setClipsToBounds(true);
}

void ScrollView::setContentSize(Size size) {
    m_contentSize = size;
    setNeedsLayout();
}

void ScrollView::setContentInset(EdgeInsets inset) {
    m_contentInset = inset;
    setNeedsLayout();
}

Point ScrollView::minimumContentOffset() const {
    return {-m_contentInset.left, -m_contentInset.top};
}

Point ScrollView::maximumContentOffset() const {
    Point minimum = minimumContentOffset();
    double maxX = m_contentSize.width + m_contentInset.right - bounds().width();
    double maxY = m_contentSize.height + m_contentInset.bottom - bounds().height();
    return {std::max(minimum.x, maxX), std::max(minimum.y, maxY)};
}

Point ScrollView::clampedOffset(Point offset) const {
    Point lo = minimumContentOffset(), hi = maximumContentOffset();
    return {std::clamp(offset.x, lo.x, hi.x), std::clamp(offset.y, lo.y, hi.y)};
}

void ScrollView::setContentOffset(Point offset, bool animated) {
    Rect b = bounds();
    if (b.origin == offset)
        return;
    setBounds(Rect(offset, b.size));
    contentOffsetDidChange();
    if (auto delegate = m_delegate.lock())
        delegate->scrollViewDidScroll(*this);
    if (auto delegate = m_delegate.lock(); animated && delegate)
        delegate->scrollViewDidEndScrollingAnimation(*this);
}

void ScrollView::scrollRectToVisible(Rect rect, bool animated) {
    Rect visible = bounds();
    Point offset = visible.origin;
    if (rect.maxY() > visible.maxY())
        offset.y = rect.maxY() - visible.height();
    if (rect.minY() < offset.y)
        offset.y = rect.minY();
    if (rect.maxX() > visible.maxX())
        offset.x = rect.maxX() - visible.width();
    if (rect.minX() < offset.x)
        offset.x = rect.minX();
    setContentOffset(clampedOffset(offset), animated);
}

bool ScrollView::canScrollVertically() const {
    return m_scrollEnabled
        && (m_alwaysBounceVertical
            || m_contentSize.height + m_contentInset.top + m_contentInset.bottom > bounds().height());
}

bool ScrollView::canScrollHorizontally() const {
    return m_scrollEnabled
        && (m_alwaysBounceHorizontal
            || m_contentSize.width + m_contentInset.left + m_contentInset.right > bounds().width());
}

bool ScrollView::shouldCaptureTouch(const Touch& touch) const {
    if (m_tracking || !m_scrollEnabled)
        return false;
    double dx = std::abs(touch.windowLocation().x - touch.startLocation().x);
    double dy = std::abs(touch.windowLocation().y - touch.startLocation().y);
    return (dy >= dx && canScrollVertically()) || (dx > dy && canScrollHorizontally());
}

void ScrollView::beginCapturedTouch(Touch& touch) {
    m_tracking = true;
    m_dragStartLocation = touch.startLocation();
    m_dragStartOffset = contentOffset();
    startDragging(touch);
}

void ScrollView::startDragging(Touch&) {
    if (m_dragging)
        return;
    m_dragging = true;
    if (auto delegate = m_delegate.lock())
        delegate->scrollViewWillBeginDragging(*this);
    setNeedsDisplay();
}

void ScrollView::dragTo(Touch& touch) {
    Point now = touch.windowLocation();
    Point offset = m_dragStartOffset;
    if (canScrollHorizontally())
        offset.x -= now.x - m_dragStartLocation.x;
    if (canScrollVertically())
        offset.y -= now.y - m_dragStartLocation.y;
    Point clamped = clampedOffset(offset);
    if (m_bounces) {
        // Past an edge the content follows the finger at half speed.
        offset.x = clamped.x + (offset.x - clamped.x) / 2;
        offset.y = clamped.y + (offset.y - clamped.y) / 2;
    } else {
        offset = clamped;
    }
    setContentOffset(offset);
}

void ScrollView::endDragging() {
    if (!m_dragging)
        return;
    m_dragging = false;
    // Snap back inside the content.
    setContentOffset(clampedOffset(contentOffset()));
    if (auto delegate = m_delegate.lock())
        delegate->scrollViewDidEndDragging(*this, false);
    didEndDragging();
    setNeedsDisplay();
}

void ScrollView::touchesBegan(Touch& touch) {
    m_tracking = true;
    m_dragStartLocation = touch.windowLocation();
    m_dragStartOffset = contentOffset();
}

void ScrollView::touchesMoved(Touch& touch) {
    if (!m_tracking)
        return;
    if (!m_dragging && touch.hasMovedFar() && (canScrollVertically() || canScrollHorizontally()))
        startDragging(touch);
    if (m_dragging)
        dragTo(touch);
}

void ScrollView::touchesEnded(Touch& touch) {
    if (!m_tracking)
        return;
    m_tracking = false;
    if (m_dragging)
        endDragging();
    else if (!touch.hasMovedFar())
        didTap(touch);
}

void ScrollView::touchesCancelled(Touch&) {
    m_tracking = false;
    endDragging();
}

void ScrollView::drawOverlay(graphics::Context& context, Rect) {
    if (!m_dragging)
        return;
    Rect b = bounds();
    context.setFillColor(Color::black().withAlpha(0.45));
    if (m_showsVerticalIndicator && m_contentSize.height > b.height()) {
        double length = std::max(20.0, b.height() * b.height() / m_contentSize.height);
        double range = std::max(1.0, m_contentSize.height - b.height());
        double fraction = std::clamp(b.y() / range, 0.0, 1.0);
        Rect bar(b.maxX() - 6, b.y() + 2 + fraction * (b.height() - length - 4), 3.5, length);
        addRoundedRectPath(context, bar, 1.75);
        context.fillPath();
    }
    if (m_showsHorizontalIndicator && m_contentSize.width > b.width()) {
        double length = std::max(20.0, b.width() * b.width() / m_contentSize.width);
        double range = std::max(1.0, m_contentSize.width - b.width());
        double fraction = std::clamp(b.x() / range, 0.0, 1.0);
        Rect bar(b.x() + 2 + fraction * (b.width() - length - 4), b.maxY() - 6, length, 3.5);
        addRoundedRectPath(context, bar, 1.75);
        context.fillPath();
    }
}

} // namespace platform::views

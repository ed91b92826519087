#include "platform/views/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Clock.h"
#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Touch.h"

namespace platform::views {

namespace {

// The glide: the speed kept per millisecond, the slowest flick that glides and the slowest
// speed still worth a frame (points per second), the fastest, and how recent the finger's
// movement must be to count.
constexpr double kSpeedKeptPerMillisecond = 0.997;
constexpr double kSlowestFlick = 160;
constexpr double kSlowestGlide = 40;
constexpr double kFastestGlide = 6000;
constexpr double kRecentMovement = 0.1;
constexpr double kGlideStep = 1.0 / 60;

bool g_flicksGlide = false;

double secondsNow() {
    return Clock::now().timeIntervalSinceReferenceDate();
}

} // namespace

void ScrollView::setFlicksGlide(bool glide) {
    g_flicksGlide = glide;
}

ScrollView::~ScrollView() {
    if (m_decelerationTimer)
        RunLoop::main().cancel(m_decelerationTimer);
}

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
    m_samples.clear();
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
    const double time = secondsNow();
    m_samples.emplace_back(time, contentOffset());
    while (m_samples.size() > 2 && time - m_samples.front().first > kRecentMovement)
        m_samples.pop_front();
}

Point ScrollView::velocityAtLift() const {
    // Only a finger still moving flings: its movement over the last moments, by their time.
    if (m_samples.size() < 2 || secondsNow() - m_samples.back().first > kRecentMovement / 2)
        return {};
    const auto& [firstTime, first] = m_samples.front();
    const auto& [lastTime, last] = m_samples.back();
    const double elapsed = lastTime - firstTime;
    if (elapsed < 0.008)
        return {};
    auto speed = [](double distance, double seconds) {
        return std::clamp(distance / seconds, -kFastestGlide, kFastestGlide);
    };
    return {speed(last.x - first.x, elapsed), speed(last.y - first.y, elapsed)};
}

void ScrollView::endDragging(bool lifted) {
    if (!m_dragging)
        return;
    m_dragging = false;
    Point velocity = lifted && g_flicksGlide ? velocityAtLift() : Point {};
    m_samples.clear();
    // Past an edge it snaps back inside the content, and does not glide.
    const bool inside = clampedOffset(contentOffset()) == contentOffset();
    setContentOffset(clampedOffset(contentOffset()));
    const bool glides = inside && std::hypot(velocity.x, velocity.y) >= kSlowestFlick;
    if (auto delegate = m_delegate.lock())
        delegate->scrollViewDidEndDragging(*this, glides);
    didEndDragging();
    setNeedsDisplay();
    if (!glides)
        return;
    m_velocity = velocity;
    m_lastStep = secondsNow();
    scheduleGlideStep();
}

void ScrollView::scheduleGlideStep() {
    std::weak_ptr<View> weak = sharedFromThis();
    m_decelerationTimer = RunLoop::main().performAfterDelay(kGlideStep, [weak] {
        if (auto view = std::static_pointer_cast<ScrollView>(weak.lock())) {
            view->m_decelerationTimer = 0;
            view->decelerate();
        }
    });
}

void ScrollView::decelerate() {
    const double time = secondsNow();
    const double elapsed = std::clamp(time - m_lastStep, 0.0, 0.1);
    m_lastStep = time;
    const double kept = std::pow(kSpeedKeptPerMillisecond, elapsed * 1000);
    // The distance covered while the speed falls from v to v * kept.
    const double travel = (1 - kept) / -std::log(kSpeedKeptPerMillisecond) / 1000;
    Point offset = contentOffset();
    offset.x += m_velocity.x * travel;
    offset.y += m_velocity.y * travel;
    m_velocity = {m_velocity.x * kept, m_velocity.y * kept};
    Point clamped = clampedOffset(offset);
    if (clamped.x != offset.x)
        m_velocity.x = 0;
    if (clamped.y != offset.y)
        m_velocity.y = 0;
    setContentOffset(clamped);
    if (std::hypot(m_velocity.x, m_velocity.y) < kSlowestGlide || !window()) {
        setNeedsDisplay();
        return;
    }
    scheduleGlideStep();
}

void ScrollView::stopDecelerating() {
    if (!m_decelerationTimer)
        return;
    RunLoop::main().cancel(m_decelerationTimer);
    m_decelerationTimer = 0;
    m_velocity = {};
    setNeedsDisplay();
}

void ScrollView::touchesBegan(Touch& touch) {
    m_touchStoppedGlide = isDecelerating();
    stopDecelerating();
    m_tracking = true;
    m_dragStartLocation = touch.windowLocation();
    m_dragStartOffset = contentOffset();
    m_samples.clear();
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
        endDragging(true);
    else if (!touch.hasMovedFar() && !m_touchStoppedGlide)
        didTap(touch);
    m_touchStoppedGlide = false;
}

void ScrollView::touchesCancelled(Touch&) {
    m_tracking = false;
    m_touchStoppedGlide = false;
    endDragging();
}

void ScrollView::drawOverlay(graphics::Context& context, Rect) {
    if (!m_dragging && !isDecelerating())
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

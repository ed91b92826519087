#pragma once

#include <deque>
#include <memory>

#include "platform/base/RunLoop.h"
#include "platform/views/View.h"

namespace platform::views {

class ScrollView;

// What a scroll view tells its delegate. Every operation is optional.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView&) { }
    virtual void scrollViewWillBeginDragging(ScrollView&) { }
    virtual void scrollViewDidEndDragging(ScrollView&, bool willDecelerate) { }
    virtual void scrollViewDidEndScrollingAnimation(ScrollView&) { }
};

// A view that shows part of a larger content area and moves it with the finger. The
// content offset is the bounds origin. A drag that starts on a subview (a button, a cell)
// is taken over by the scroll view once the finger moves further than a tap allows, and
// the subview's touch is cancelled. Dragging past an edge stretches (bounces) and snaps
// back when the finger lifts; without bounces the offset stays within the content.
// A finger that lifts while moving leaves the content gliding on, slowing down, until it
// stops, reaches an edge, or a finger touches it again (that touch only stops it).
class ScrollView : public View {
public:
    ScrollView();
    explicit ScrollView(Rect frame);
    ~ScrollView() override;

    // Whether a flick leaves the content gliding. Off unless the host turns it on: a host
    // whose touches come from a person does; scripted touches keep exact offsets.
    static void setFlicksGlide(bool glide);

    Size contentSize() const { return m_contentSize; }
    virtual void setContentSize(Size size);
    Point contentOffset() const { return bounds().origin; }
    // Scrolling changes the bounds origin and tells the delegate.
    void setContentOffset(Point offset, bool animated = false);
    EdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(EdgeInsets inset);
    Point minimumContentOffset() const;
    Point maximumContentOffset() const;
    // Scrolls the least distance that shows `rect` (content coordinates).
    void scrollRectToVisible(Rect rect, bool animated);

    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces) { m_bounces = bounces; }
    bool alwaysBounceVertical() const { return m_alwaysBounceVertical; }
    void setAlwaysBounceVertical(bool value) { m_alwaysBounceVertical = value; }
    bool alwaysBounceHorizontal() const { return m_alwaysBounceHorizontal; }
    void setAlwaysBounceHorizontal(bool value) { m_alwaysBounceHorizontal = value; }
    bool showsVerticalScrollIndicator() const { return m_showsVerticalIndicator; }
    void setShowsVerticalScrollIndicator(bool shows) { m_showsVerticalIndicator = shows; }
    bool showsHorizontalScrollIndicator() const { return m_showsHorizontalIndicator; }
    void setShowsHorizontalScrollIndicator(bool shows) { m_showsHorizontalIndicator = shows; }

    // Held weakly: one that has gone is not called.
    std::shared_ptr<ScrollViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<ScrollViewDelegate> delegate) { m_delegate = std::move(delegate); }

    bool isDragging() const { return m_dragging; }
    bool isTracking() const { return m_tracking; }
    bool isDecelerating() const { return m_decelerationTimer != 0; }
    void stopDecelerating();
    bool canScrollVertically() const;
    bool canScrollHorizontally() const;

    // Touch takeover (the window asks while a finger moves over a subview).
    virtual bool shouldCaptureTouch(const Touch& touch) const;
    virtual void beginCapturedTouch(Touch& touch);

    void touchesBegan(Touch& touch) override;
    void touchesMoved(Touch& touch) override;
    void touchesEnded(Touch& touch) override;
    void touchesCancelled(Touch& touch) override;
    void drawOverlay(graphics::Context& context, Rect rect) override;

protected:
    // Hooks for subclasses (the table view): a touch that ended without dragging, and the
    // end of a drag.
    virtual void didTap(Touch& touch) { }
    virtual void didEndDragging() { }
    virtual void contentOffsetDidChange() { }
    Point clampedOffset(Point offset) const;
    void startDragging(Touch& touch);
    void dragTo(Touch& touch);
    // `lifted`: the finger left the screen (it may fling the content), rather than the
    // touch being cancelled.
    void endDragging(bool lifted = false);
    // The touch under way began by stopping a glide: it selects nothing.
    bool touchStoppedGlide() const { return m_touchStoppedGlide; }

private:
    void scheduleGlideStep();
    void decelerate();
    Point velocityAtLift() const;

    Size m_contentSize;
    EdgeInsets m_contentInset;
    bool m_scrollEnabled {true};
    bool m_bounces {true};
    bool m_alwaysBounceVertical {false};
    bool m_alwaysBounceHorizontal {false};
    bool m_showsVerticalIndicator {true};
    bool m_showsHorizontalIndicator {true};
    std::weak_ptr<ScrollViewDelegate> m_delegate;
    bool m_tracking {false};
    bool m_dragging {false};
    Point m_dragStartLocation;
    Point m_dragStartOffset;
    // Recent offsets while dragging, with when (seconds): the speed at the lift.
    std::deque<std::pair<double, Point>> m_samples;
    Point m_velocity; // points per second, while gliding
    double m_lastStep {0};
    RunLoop::TimerId m_decelerationTimer {0};
    bool m_touchStoppedGlide {false};
};

} // namespace platform::views

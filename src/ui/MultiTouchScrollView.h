#pragma once

#include "platform/views/ScrollView.h"

// Told which subview a finished tap landed on.
class MultiTouchScrollViewDelegate {
public:
    virtual ~MultiTouchScrollViewDelegate() = default;
    virtual void subViewTouched(platform::views::View& view) = 0;
};

// A scroll view that reports the deepest subview under a finished tap to its delegate (the
// theme grid's swatches). Drags scroll as usual and report nothing.
class MultiTouchScrollView : public platform::views::ScrollView {
public:
    using ScrollView::ScrollView;

    // Not owned: the delegate must outlive the view or be cleared first.
    MultiTouchScrollViewDelegate* multiTouchDelegate() const { return m_multiTouchDelegate; }
    void setMultiTouchDelegate(MultiTouchScrollViewDelegate* delegate) { m_multiTouchDelegate = delegate; }

protected:
    void didTap(platform::views::Touch& touch) override;

private:
    MultiTouchScrollViewDelegate* m_multiTouchDelegate {nullptr};
};

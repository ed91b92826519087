#pragma once

#include <memory>

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

    // Held weakly: one that has gone is not called.
    std::shared_ptr<MultiTouchScrollViewDelegate> multiTouchDelegate() const {
        return m_multiTouchDelegate.lock();
    }
    void setMultiTouchDelegate(std::weak_ptr<MultiTouchScrollViewDelegate> delegate) {
        m_multiTouchDelegate = std::move(delegate);
    }

protected:
    void didTap(platform::views::Touch& touch) override;

private:
    std::weak_ptr<MultiTouchScrollViewDelegate> m_multiTouchDelegate;
};

#include "ui/MultiTouchScrollView.h"

#include "platform/views/Touch.h"

using namespace platform::views;

void MultiTouchScrollView::didTap(Touch& touch) {
    auto delegate = m_multiTouchDelegate.lock();
    if (!delegate)
        return;
    View* hit = hitTest(touch.locationInView(this));
    if (hit && hit != this)
        delegate->subViewTouched(*hit);
}

#include "ui/MultiTouchScrollView.h"

#include "platform/views/Touch.h"

using namespace platform::views;

void MultiTouchScrollView::didTap(Touch& touch) {
    if (!m_multiTouchDelegate)
        return;
    View* hit = hitTest(touch.locationInView(this));
    if (hit && hit != this)
        m_multiTouchDelegate->subViewTouched(*hit);
}

#include "ui/BadgeView.h"

#include <cmath>

#include "platform/graphics/TextLayout.h"
#include "ui/KitTestSupport.h"

using namespace platform::views;
using platform::graphics::Font;
using platform::graphics::TextLayout;
using vantrel::test::KitTest;

namespace {

using Badge = KitTest;

} // namespace

TEST_F(Badge, OneDigitMakesAPillHalfAgainAsWideAsHighWithOrWithoutTheShadowMargin) {
    BadgeView badge(Rect(100, 100, 10, 10));
    badge.setText("1");
    const Size digit = TextLayout::sizeWithFont("1", Font::boldSystemFontOfSize(18));
    ASSERT_LT(digit.width, digit.height);
    EXPECT_EQ(badge.badgeBounds(), Rect(4, 4, std::ceil(1.5 * digit.height), digit.height));
    // The frame holds a 4-point margin for the shadow, its origin reset for the caller.
    EXPECT_EQ(badge.frame(), Rect(-4, -4, badge.badgeBounds().width() + 8, badge.badgeBounds().height() + 8));
    // Without the shadow the frame is the bubble.
    badge.setDrawShadow(false);
    badge.setText("7");
    EXPECT_EQ(badge.frame(), Rect(0, 0, std::ceil(1.5 * digit.height), digit.height));
    EXPECT_EQ(badge.badgeBounds(), badge.frame());
}

TEST_F(Badge, TheSameTextIsMeasuredOnce) {
    BadgeView badge;
    badge.setText("3");
    badge.setFrame({50, 60, badge.frame().width(), badge.frame().height()});
    badge.setText("3");
    EXPECT_EQ(badge.frame().origin, Point(50, 60));
    // Plain setters measure nothing either.
    badge.setFont(Font::boldSystemFontOfSize(30));
    badge.setDrawShadow(false);
    EXPECT_EQ(badge.frame().origin, Point(50, 60));
    badge.setText("4");
    EXPECT_EQ(badge.frame().origin, Point(0, 0));
}

TEST_F(Badge, Pictures) {
    BadgeView one;
    one.setText("1");
    auto single = render(one, "badge-1");
    const Rect bubble = one.badgeBounds();
    // Red inside, a white rim on the left edge, the shadow margin clear at the corner.
    const Color middle = single.colorAtPoint({bubble.x() + 4, bubble.midY() + 4});
    EXPECT_GT(middle.red, 0.6);
    EXPECT_LT(middle.green, 0.3);
    const Color rim = single.colorAtPoint({bubble.minX() + 0.25, bubble.midY()});
    EXPECT_GT(rim.green, 0.8);
    EXPECT_LT(single.colorAtPoint({0.25, 0.25}).alpha, 0.2);
}

#include "platform/graphics/Geometry.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace platform::graphics;

TEST(GraphicsGeometry, RectEdgesAndStandardizing) {
    Rect r(10, 20, -4, 6); // negative width: spans 6..10
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.midY(), 23);
    EXPECT_EQ(r.standardized(), Rect(6, 20, 4, 6));
    EXPECT_TRUE(r.isEmpty());
    EXPECT_FALSE(Rect(0, 0, 1, 1).isEmpty());
}

TEST(GraphicsGeometry, ContainsIsHalfOpen) {
    Rect r(0, 0, 10, 10);
    EXPECT_TRUE(r.contains(Point {0, 0}));
    EXPECT_TRUE(r.contains(Point {9.99, 9.99}));
    EXPECT_FALSE(r.contains(Point {10, 5}));
    EXPECT_FALSE(r.contains(Point {5, 10}));
    EXPECT_TRUE(r.contains(Rect(0, 0, 10, 10)));
    EXPECT_FALSE(r.contains(Rect(1, 1, 10, 1)));
}

TEST(GraphicsGeometry, IntersectionUnionAndIntegral) {
    Rect a(0, 0, 10, 10), b(5, 5, 10, 10);
    EXPECT_EQ(a.intersection(b), Rect(5, 5, 5, 5));
    EXPECT_TRUE(a.intersects(b));
    EXPECT_TRUE(a.intersection(Rect(10, 0, 5, 5)).isEmpty()); // touching edges do not overlap
    EXPECT_EQ(a.unionWith(b), Rect(0, 0, 15, 15));
    EXPECT_EQ(a.unionWith(Rect()), a); // an empty rect adds nothing
    EXPECT_EQ(Rect(0.5, 1.2, 2.2, 2.9).integral(), Rect(0, 1, 3, 4));
    EXPECT_EQ(a.insetBy(2, 3), Rect(2, 3, 6, 4));
    EXPECT_EQ(a.inset(EdgeInsets {1, 2, 3, 4}), Rect(2, 1, 4, 6));
}

TEST(GraphicsGeometry, AffineTransformsComposeInOrder) {
    // Scale then translate: the translation is not scaled.
    AffineTransform t = AffineTransform::scale(2, 3).concat(AffineTransform::translation(10, 20));
    Point p = t.apply({1, 1});
    EXPECT_DOUBLE_EQ(p.x, 12);
    EXPECT_DOUBLE_EQ(p.y, 23);
    // Translate then scale: it is.
    p = AffineTransform::translation(10, 20).concat(AffineTransform::scale(2, 3)).apply({1, 1});
    EXPECT_DOUBLE_EQ(p.x, 22);
    EXPECT_DOUBLE_EQ(p.y, 63);
    // A quarter turn takes +x to +y (clockwise on a y-down screen).
    p = AffineTransform::rotation(std::numbers::pi / 2).apply({1, 0});
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
}

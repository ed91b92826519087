#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/ShadowBlur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace platform::graphics;

namespace {

const Color kRed = Color::rgba(1, 0, 0);
const Color kBlue = Color::rgba(0, 0, 1);

// Colour of the device pixel covering a point (points, scale applied).
Color at(const Image& image, double x, double y) {
    return image.colorAtPoint({x, y});
}

bool isColor(const Color& c, const Color& expected, double tolerance = 0.02) {
    return std::abs(c.red - expected.red) <= tolerance && std::abs(c.green - expected.green) <= tolerance
        && std::abs(c.blue - expected.blue) <= tolerance && std::abs(c.alpha - expected.alpha) <= tolerance;
}

} // namespace

TEST(GraphicsContext, FillRectIsSharpAtScaleTwo) {
    ImageContext image({20, 20}, false, 2);
    Context& ctx = image.context();
    ctx.setFillColor(kRed);
    ctx.fillRect({5, 5, 5.5, 10});
    Image result = image.image();
    EXPECT_EQ(result.pixelWidth(), 40);
    // Half-point edges fall on device pixels: full coverage inside, none outside.
    EXPECT_TRUE(isColor(result.pixelAt(10, 10), kRed));
    EXPECT_TRUE(isColor(result.pixelAt(20, 29), kRed));
    EXPECT_EQ(result.pixelAt(21, 10).alpha, 0);
    EXPECT_EQ(result.pixelAt(9, 10).alpha, 0);
}

TEST(GraphicsContext, StateIsSavedAndRestored) {
    ImageContext image({30, 10}, false, 1);
    Context& ctx = image.context();
    ctx.setFillColor(kRed);
    ctx.saveGState();
    ctx.setFillColor(kBlue);
    ctx.clipToRect({0, 0, 10, 10});
    ctx.translateCTM(5, 0);
    ctx.setAlpha(0.5);
    ctx.fillRect({0, 0, 30, 10}); // blue, half alpha, only 5..10 after the clip
    ctx.restoreGState();
    ctx.restoreGState(); // an extra restore is ignored
    EXPECT_EQ(ctx.fillColor(), kRed);
    EXPECT_EQ(ctx.alpha(), 1);
    EXPECT_EQ(ctx.getCTM(), AffineTransform::identity());
    ctx.fillRect({20, 0, 10, 10});
    Image result = image.image();
    EXPECT_EQ(result.pixelAt(2, 5).alpha, 0);
    EXPECT_TRUE(isColor(result.pixelAt(7, 5), kBlue.withAlpha(0.5)));
    EXPECT_EQ(result.pixelAt(12, 5).alpha, 0);
    EXPECT_TRUE(isColor(result.pixelAt(25, 5), kRed));
}

TEST(GraphicsContext, ClipToPathAndEvenOddFill) {
    ImageContext image({40, 40}, false, 1);
    Context& ctx = image.context();
    ctx.addEllipseInRect({0, 0, 40, 40});
    ctx.clip();
    EXPECT_TRUE(ctx.isPathEmpty()); // clipping consumes the path
    ctx.setFillColor(kRed);
    ctx.addRect({0, 0, 40, 40});
    ctx.addRect({15, 15, 10, 10});
    ctx.eoFillPath();
    Image result = image.image();
    EXPECT_EQ(result.pixelAt(1, 1).alpha, 0); // corner: outside the circular clip
    EXPECT_TRUE(isColor(result.pixelAt(8, 20), kRed)); // inside the ring
    EXPECT_EQ(result.pixelAt(20, 20).alpha, 0); // the even-odd hole
    Rect box = ctx.clipBoundingBox();
    EXPECT_NEAR(box.width(), 40, 1);
}

TEST(GraphicsContext, ArcsSweepClockwiseOnScreenForFlagZero) {
    // A pie slice from 0 to 90 degrees with flag 0 covers the lower right quadrant.
    ImageContext image({40, 40}, false, 1);
    Context& ctx = image.context();
    ctx.setFillColor(kRed);
    ctx.moveToPoint(20, 20);
    ctx.addArc(20, 20, 18, 0, std::numbers::pi / 2, 0);
    ctx.closePath();
    ctx.fillPath();
    Image result = image.image();
    EXPECT_TRUE(isColor(result.pixelAt(28, 28), kRed));
    EXPECT_EQ(result.pixelAt(28, 12).alpha, 0);
    EXPECT_EQ(result.pixelAt(12, 28).alpha, 0);

    // Flag 1 sweeps the other way round: three quarters.
    ImageContext other({40, 40}, false, 1);
    other.context().moveToPoint(20, 20);
    other.context().addArc(20, 20, 18, 0, std::numbers::pi / 2, 1);
    other.context().fillPath();
    Image three = other.image();
    EXPECT_EQ(three.pixelAt(28, 28).alpha, 0);
    EXPECT_GT(three.pixelAt(28, 12).alpha, 0.9);
    EXPECT_GT(three.pixelAt(12, 28).alpha, 0.9);
}

TEST(GraphicsContext, ArcToPointRoundsACorner) {
    ImageContext image({40, 40}, false, 1);
    Context& ctx = image.context();
    ctx.moveToPoint(0, 20);
    ctx.addArcToPoint(0, 0, 20, 0, 10); // the top-left corner rounded with radius 10
    ctx.addLineToPoint(20, 0);
    Point p = ctx.currentPoint();
    EXPECT_NEAR(p.x, 20, 1e-9);
    ctx.addLineToPoint(20, 20);
    ctx.closePath();
    Rect box = ctx.pathBoundingBox();
    EXPECT_NEAR(box.minX(), 0, 1e-6);
    EXPECT_NEAR(box.minY(), 0, 1e-6);
    ctx.fillPath();
    Image result = image.image();
    EXPECT_EQ(result.pixelAt(1, 1).alpha, 0); // cut off by the arc
    EXPECT_GT(result.pixelAt(10, 10).alpha, 0.9);
    EXPECT_GT(result.pixelAt(1, 19).alpha, 0.9);
}

TEST(GraphicsContext, AntialiasOffGivesHardEdges) {
    auto partialPixels = [](bool antialias) {
        ImageContext image({30, 30}, false, 2);
        image.context().setShouldAntialias(antialias);
        image.context().fillEllipseInRect({3.3, 3.3, 23, 23});
        Image result = image.image();
        int partial = 0;
        for (int y = 0; y < result.pixelHeight(); ++y)
            for (int x = 0; x < result.pixelWidth(); ++x) {
                double a = result.pixelAt(x, y).alpha;
                partial += a > 0 && a < 1;
            }
        return partial;
    };
    EXPECT_GT(partialPixels(true), 50);
    EXPECT_EQ(partialPixels(false), 0);
}

TEST(GraphicsContext, StrokeWidthDashAndFillStroke) {
    ImageContext image({100, 20}, false, 1);
    Context& ctx = image.context();
    ctx.setStrokeColor(kBlue);
    ctx.setLineWidth(4);
    ctx.setLineDash(0, {10, 10});
    ctx.moveToPoint(0, 10);
    ctx.addLineToPoint(100, 10);
    ctx.strokePath();
    Image result = image.image();
    EXPECT_TRUE(isColor(result.pixelAt(5, 9), kBlue)); // first dash
    EXPECT_EQ(result.pixelAt(15, 9).alpha, 0); // gap
    EXPECT_TRUE(isColor(result.pixelAt(25, 11), kBlue)); // second dash
    EXPECT_EQ(result.pixelAt(5, 6).alpha, 0); // 4 wide: rows 8 to 11

    // Unusable dash patterns turn dashing off rather than breaking the context.
    ImageContext solid({100, 20}, false, 1);
    solid.context().setLineDash(0, {0, 0});
    solid.context().setLineDash(0, {-1, 5});
    solid.context().setLineWidth(2);
    solid.context().strokeLineSegments({{0, 10}, {100, 10}});
    EXPECT_GT(solid.image().pixelAt(15, 10).alpha, 0.9);

    // Fill-and-stroke: the fill inside, the stroke on the edge.
    ImageContext both({40, 40}, false, 1);
    both.context().setFillColor(kRed);
    both.context().setStrokeColor(kBlue);
    both.context().setLineWidth(4);
    both.context().addRect({10, 10, 20, 20});
    both.context().drawPath(PathDrawingMode::FillStroke);
    Image shape = both.image();
    EXPECT_TRUE(isColor(shape.pixelAt(20, 20), kRed));
    EXPECT_TRUE(isColor(shape.pixelAt(20, 9), kBlue));
    EXPECT_TRUE(isColor(shape.pixelAt(20, 11), kBlue));
    EXPECT_TRUE(both.context().isPathEmpty());
}

TEST(GraphicsContext, ClearRectMakesTransparentAndKeepsThePath) {
    ImageContext image({20, 20}, false, 1);
    Context& ctx = image.context();
    ctx.setFillColor(kRed);
    ctx.fillRect({0, 0, 20, 20});
    ctx.addRect({0, 0, 5, 5});
    ctx.setAlpha(0.2);
    ctx.clearRect({10, 0, 10, 20});
    EXPECT_FALSE(ctx.isPathEmpty());
    Image result = image.image();
    EXPECT_TRUE(isColor(result.pixelAt(5, 5), kRed));
    EXPECT_EQ(result.pixelAt(15, 5).alpha, 0);
}

TEST(GraphicsContext, TransformsMoveDrawing) {
    ImageContext image({40, 40}, false, 2);
    Context& ctx = image.context();
    // Flip as the charts do: y grows upwards from the bottom.
    ctx.translateCTM(0, 40);
    ctx.scaleCTM(1, -1);
    Point base = ctx.convertToBase({10, 5});
    EXPECT_DOUBLE_EQ(base.x, 10);
    EXPECT_DOUBLE_EQ(base.y, 35);
    ctx.setFillColor(kRed);
    ctx.fillRect({0, 0, 10, 5}); // the bottom-left corner
    ctx.scaleCTM(0, 1); // singular: ignored
    ctx.concatCTM({0, 0, 0, 0, 0, 0});
    ctx.fillRect({30, 30, 10, 10}); // top-right, still drawn
    Image result = image.image();
    EXPECT_TRUE(isColor(at(result, 5, 37), kRed));
    EXPECT_EQ(at(result, 5, 2).alpha, 0);
    EXPECT_TRUE(isColor(at(result, 35, 5), kRed));

    ImageContext rotated({40, 40}, false, 1);
    rotated.context().translateCTM(20, 20);
    rotated.context().rotateCTM(std::numbers::pi / 2);
    rotated.context().fillRect({5, -2, 10, 4}); // along +x, turned onto +y
    EXPECT_GT(rotated.image().pixelAt(20, 30).alpha, 0.9);
    EXPECT_EQ(rotated.image().pixelAt(30, 20).alpha, 0);
}

TEST(GraphicsContext, LinearGradientEndsAndExtension) {
    Gradient gradient {{{0, kRed}, {1, kBlue}}};
    ImageContext image({100, 10}, false, 1);
    Context& ctx = image.context();
    ctx.drawLinearGradient(gradient, {20, 0}, {80, 0});
    Image plain = image.image();
    EXPECT_EQ(plain.pixelAt(10, 5).alpha, 0); // not extended before the start
    EXPECT_EQ(plain.pixelAt(90, 5).alpha, 0); // nor after the end
    EXPECT_TRUE(isColor(plain.pixelAt(20, 5), kRed, 0.05));
    EXPECT_TRUE(isColor(plain.pixelAt(79, 5), kBlue, 0.05));
    Color middle = plain.pixelAt(50, 5);
    EXPECT_NEAR(middle.red, 0.5, 0.05);
    EXPECT_NEAR(middle.blue, 0.5, 0.05);

    ImageContext extended({100, 10}, false, 1);
    extended.context().drawLinearGradient(gradient, {20, 0}, {80, 0}, GradientDrawsBeforeStartLocation);
    EXPECT_TRUE(isColor(extended.image().pixelAt(5, 5), kRed));
    EXPECT_EQ(extended.image().pixelAt(90, 5).alpha, 0);
    extended.context().drawLinearGradient(gradient, {20, 0}, {80, 0}, GradientDrawsAfterEndLocation);
    EXPECT_TRUE(isColor(extended.image().pixelAt(95, 5), kBlue));

    // Vertical, clipped, with a stop in the middle and the context alpha.
    ImageContext vertical({10, 100}, false, 1);
    vertical.context().clipToRect({0, 0, 5, 100});
    vertical.context().setAlpha(0.5);
    vertical.context().drawLinearGradient(
        {{{0, kRed}, {0.5, Color::rgba(0, 1, 0)}, {1, kBlue}}}, {0, 0}, {0, 100});
    Image v = vertical.image();
    EXPECT_TRUE(isColor(v.pixelAt(2, 50), Color::rgba(0, 1, 0, 0.5), 0.05));
    EXPECT_EQ(v.pixelAt(7, 50).alpha, 0);

    // A gradient without length draws nothing.
    ImageContext degenerate({10, 10}, false, 1);
    degenerate.context().drawLinearGradient(gradient, {0, 0}, {0, 0}, 3);
    EXPECT_EQ(degenerate.image().pixelAt(5, 5).alpha, 0);
}

TEST(GraphicsContext, ShadowIsOffsetAndBlurred) {
    ImageContext image({100, 100}, false, 2);
    Context& ctx = image.context();
    ctx.setShadowWithColor({10, 20}, 8, Color::black());
    ctx.setFillColor(kRed);
    ctx.fillRect({20, 20, 40, 40});
    Image result = image.image();
    // The shape itself.
    EXPECT_TRUE(isColor(at(result, 40, 40), kRed));
    // Below and right of the shape: the shadow, dark and opaque in its middle.
    Color inside = at(result, 55, 70);
    EXPECT_GT(inside.alpha, 0.9);
    EXPECT_LT(inside.red, 0.1);
    // Nothing above/left of the shape (the offset pushes the shadow away from there).
    EXPECT_EQ(at(result, 15, 15).alpha, 0);
    // The edge is soft: partial alpha across the shadow's bottom edge at y = 80.
    double near = at(result, 50, 78).alpha, edge = at(result, 50, 80.5).alpha, far = at(result, 50, 84).alpha;
    EXPECT_GT(near, edge);
    EXPECT_GT(edge, far);
    EXPECT_GT(edge, 0.2);
    EXPECT_LT(edge, 0.8);
    EXPECT_EQ(at(result, 50, 95).alpha, 0);

    // Restoring the state removes the shadow.
    ImageContext second({100, 100}, false, 2);
    second.context().saveGState();
    second.context().setShadow({10, 10}, 0);
    second.context().restoreGState();
    second.context().fillRect({20, 20, 20, 20});
    EXPECT_EQ(at(second.image(), 45, 45).alpha, 0);
}

TEST(GraphicsContext, ShadowOffsetIgnoresTheTransformAndComesFromOutside) {
    // A shape above the target casts its shadow into it (the odometer's inner shadow).
    ImageContext image({100, 40}, false, 2);
    Context& ctx = image.context();
    ctx.translateCTM(0, 40);
    ctx.scaleCTM(1, -1); // flipped: the offset still points down the screen
    ctx.setShadowWithColor({0, 10}, 6, Color::black());
    ctx.fillRect({0, 40, 100, 20}); // entirely above the target in base space
    Image result = image.image();
    double top = at(result, 50, 1).alpha, lower = at(result, 50, 10).alpha;
    EXPECT_GT(top, 0.5);
    EXPECT_GT(top, lower);
    EXPECT_LT(at(result, 50, 30).alpha, 0.05);
}

TEST(GraphicsShadowBlur, SpreadsAndKeepsCoverage) {
    ShadowBlur none(0);
    EXPECT_EQ(none.extent(), 0);
    ShadowBlur blur(10);
    EXPECT_GE(blur.extent(), 10);
    EXPECT_LE(blur.extent(), 20);

    const int w = 64, h = 64;
    std::vector<std::uint8_t> pixels(w * h, 0);
    for (int y = 28; y < 36; ++y)
        for (int x = 28; x < 36; ++x)
            pixels[y * w + x] = 255;
    long before = 0, after = 0;
    for (auto p : pixels)
        before += p;
    blur.apply(pixels.data(), w, h, w);
    for (auto p : pixels)
        after += p;
    EXPECT_NEAR(double(after), double(before), before * 0.05);
    EXPECT_GT(pixels[32 * w + 32], pixels[32 * w + 40]);
    EXPECT_GT(pixels[32 * w + 40], 0);
    EXPECT_EQ(pixels[0], 0);
}

// A remembered blur must only ever stand in for the very same mask blurred the same way.
TEST(GraphicsShadowBlur, ARememberedMaskIsReusedOnlyForTheSameMaskAndBlur) {
    const int w = 48, h = 40;
    auto square = [&](int at) {
        std::vector<std::uint8_t> pixels(w * h, 0);
        for (int y = at; y < at + 8; ++y)
            for (int x = at; x < at + 8; ++x)
                pixels[y * w + x] = 200;
        return pixels;
    };
    for (double radius : {6.0, 10.0, 6.0}) {
        for (int at : {10, 20, 10}) {
            ShadowBlur blur(radius);
            auto expected = square(at), remembered = square(at);
            blur.apply(expected.data(), w, h, w);
            blur.applyRemembering(remembered.data(), w, h, w);
            ASSERT_EQ(remembered, expected) << radius << " " << at;
        }
    }
}

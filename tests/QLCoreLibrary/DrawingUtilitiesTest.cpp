#include "QLCoreLibrary/DrawingUtilities.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/TextLayout.h"

using namespace platform::graphics;

namespace {

const Color kRed = Color::rgba(1, 0, 0);
const Color kBlue = Color::rgba(0, 0, 1);

bool near(const Color& a, const Color& b, double tolerance = 0.03) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance
        && std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

// A 20 x 20 point picture of a red-to-blue gradient in the given direction.
Image gradient(int direction, double endLocation = 1) {
    ImageContext image({20, 20}, false, 1);
    QLDrawLinearGradient(image.context(), {0, 0, 20, 20}, kRed, kBlue, direction, endLocation);
    return image.image();
}

} // namespace

TEST(DrawingUtilities, LinearGradientRunsInTheGivenDirection) {
    Image down = gradient(QLGradientTopToBottom);
    EXPECT_TRUE(near(down.colorAtPoint({10, 0.5}), kRed, 0.06));
    EXPECT_TRUE(near(down.colorAtPoint({10, 19.5}), kBlue, 0.06));
    // Rows are uniform across.
    EXPECT_TRUE(near(down.colorAtPoint({1, 10}), down.colorAtPoint({18, 10}), 0.01));

    Image across = gradient(QLGradientLeftToRight);
    EXPECT_TRUE(near(across.colorAtPoint({0.5, 10}), kRed, 0.06));
    EXPECT_TRUE(near(across.colorAtPoint({19.5, 10}), kBlue, 0.06));

    Image diagonal = gradient(QLGradientDiagonal);
    EXPECT_TRUE(near(diagonal.colorAtPoint({0.5, 0.5}), kRed, 0.06));
    EXPECT_TRUE(near(diagonal.colorAtPoint({19.5, 19.5}), kBlue, 0.06));
    EXPECT_TRUE(near(diagonal.colorAtPoint({19.5, 0.5}), diagonal.colorAtPoint({0.5, 19.5}), 0.02));

    // Any other direction has no length: nothing is drawn.
    EXPECT_EQ(gradient(7).colorAtPoint({10, 10}).alpha, 0);
}

TEST(DrawingUtilities, LinearGradientReachesTheSecondColourAtTheEndLocation) {
    Image image = gradient(QLGradientTopToBottom, 0.5);
    EXPECT_TRUE(near(image.colorAtPoint({10, 12}), kBlue, 0.02));
    EXPECT_TRUE(near(image.colorAtPoint({10, 19.5}), kBlue, 0.02));
    EXPECT_GT(image.colorAtPoint({10, 3}).red, 0.5);
}

TEST(DrawingUtilities, LinearGradientUsesOnlyTheRectangleSize) {
    // The rectangle's origin is ignored: the gradient starts at the context origin.
    ImageContext image({20, 20}, false, 1);
    QLDrawLinearGradient(image.context(), {10, 10, 10, 10}, kRed, kBlue, QLGradientTopToBottom, 1);
    Image drawn = image.image();
    EXPECT_TRUE(near(drawn.colorAtPoint({10, 0.5}), kRed, 0.1));
    // Nothing beyond the end, ten points down.
    EXPECT_EQ(drawn.colorAtPoint({10, 15}).alpha, 0);
}

TEST(DrawingUtilities, RoundedRectWithoutOvalIsAPlainRectangle) {
    for (auto [ovalWidth, ovalHeight] : {std::pair {0.0, 6.0}, std::pair {6.0, 0.0}}) {
        ImageContext image({20, 20}, false, 1);
        Context& context = image.context();
        QLAddRoundedRect(context, {2, 2, 16, 16}, ovalWidth, ovalHeight);
        EXPECT_EQ(context.pathBoundingBox(), Rect(2, 2, 16, 16));
        context.setFillColor(kRed);
        context.fillPath();
        EXPECT_TRUE(near(image.image().colorAtPoint({2.5, 2.5}), kRed));
    }
}

TEST(DrawingUtilities, RoundedRectCutsEllipticCorners) {
    ImageContext image({40, 50}, false, 1);
    Context& context = image.context();
    context.translateCTM(1, 1); // the state is restored around the path, not reset
    // Corners 12 points across and 8 down.
    QLAddRoundedRect(context, {0, 0, 30, 40}, 12, 8);
    EXPECT_EQ(context.getCTM(), AffineTransform::translation(1, 1));
    const Rect box = context.pathBoundingBox();
    EXPECT_NEAR(box.x(), 0, 1e-6);
    EXPECT_NEAR(box.width(), 30, 1e-6);
    EXPECT_NEAR(box.height(), 40, 1e-6);
    context.setFillColor(kRed);
    context.fillPath();
    Image drawn = image.image();
    EXPECT_EQ(drawn.colorAtPoint({1.5, 1.5}).alpha, 0);
    EXPECT_EQ(drawn.colorAtPoint({30.5, 40.5}).alpha, 0);
    // Elliptic: further along the top edge than down the side.
    EXPECT_EQ(drawn.colorAtPoint({4, 1.5}).alpha, 0);
    EXPECT_TRUE(near(drawn.colorAtPoint({16, 20}), kRed));
    // The edges are straight between the corners.
    EXPECT_TRUE(near(drawn.colorAtPoint({16, 1.5}), kRed));
    EXPECT_TRUE(near(drawn.colorAtPoint({1.5, 20}), kRed));
    EXPECT_TRUE(near(drawn.colorAtPoint({1.5, 10}), kRed));
}

TEST(DrawingUtilities, LogoHasADotForEverySetBit) {
    ImageContext::setMainScreenScale(1);
    Image logo = QLGetLogoImage(kBlue, 70);
    ImageContext::setMainScreenScale(2);
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo.size(), Size(70, 70));
    const QLLogoMetrics m = QLGetLogoMetrics(70);
    const std::string text = kQLLogoText;
    for (size_t row = 0; row < text.size(); ++row) {
        for (int column = 0; column < 7; ++column) {
            const bool set = (static_cast<unsigned char>(text[row]) >> (6 - column)) & 1;
            const Point centre {m.m + column * (m.d + m.g) + m.d / 2, m.m + row * (m.d + m.g) + m.d / 2};
            const Color pixel = logo.colorAtPoint(centre);
            EXPECT_EQ(set, pixel.alpha > 0.9) << "row " << row << " column " << column;
            if (set) {
                EXPECT_TRUE(near(pixel, kBlue));
            }
        }
    }
}

TEST(DrawingUtilities, MeasureTextAnswersTheAdvanceAndLeavesTextInvisible) {
    ImageContext image({100, 40}, false, 1);
    Context& context = image.context();
    const Font font = Font::fontWithName("Helvetica-Bold", 20);
    context.selectFont(font);
    context.setTextPosition({5, 30});
    const Size wide = MeasureText(context, "WW");
    const Size narrow = MeasureText(context, "i");
    EXPECT_GT(wide.width, 2 * narrow.width);
    EXPECT_NEAR(wide.width, TextLayout::sizeWithFont("WW", font).width, 1.0);
    EXPECT_EQ(wide.height, 0);
    EXPECT_EQ(context.textDrawingMode(), TextDrawingMode::Invisible);
    // Measuring drew nothing.
    Image drawn = image.image();
    for (double x = 5; x < 40; x += 2)
        EXPECT_EQ(drawn.colorAtPoint({x, 24}).alpha, 0);
}

#include "QLCoreLibrary/DrawingUtilities.h"
#include "QLCoreLibrary/ColorExtensions.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

using namespace platform::graphics;

namespace {

const Color kRed = Color::rgba(1, 0, 0), kBlue = Color::rgba(0, 0, 1);

Image gradient(int direction, float endLocation, Rect rect = Rect(0, 0, 100, 50)) {
    ImageContext image({100, 50}, false, 1);
    QLDrawLinearGradient(image.context(), rect, kRed, kBlue, direction, endLocation);
    EXPECT_EQ(image.context().interpolationQuality(), InterpolationQuality::High);
    return image.image();
}

} // namespace

TEST(DrawingUtilities, ChangeAlphaKeepsTheColour) {
    Color c = changeAlpha(Color::rgba(0.2, 0.4, 0.6, 1), 0.05f);
    EXPECT_DOUBLE_EQ(c.red, 0.2);
    EXPECT_DOUBLE_EQ(c.blue, 0.6);
    EXPECT_FLOAT_EQ(static_cast<float>(c.alpha), 0.05f);
    EXPECT_EQ(changeAlpha(kRed, 7).alpha, 1);
}

TEST(DrawingUtilities, LinearGradientDirections) {
    Image down = gradient(0, 1);
    EXPECT_GT(down.pixelAt(50, 0).red, 0.95);
    EXPECT_GT(down.pixelAt(50, 49).blue, 0.95);
    EXPECT_NEAR(down.pixelAt(0, 25).red, down.pixelAt(99, 25).red, 1e-9); // constant across

    Image across = gradient(1, 1);
    EXPECT_GT(across.pixelAt(0, 25).red, 0.95);
    EXPECT_GT(across.pixelAt(99, 25).blue, 0.95);

    Image diagonal = gradient(2, 1);
    EXPECT_GT(diagonal.pixelAt(0, 0).red, 0.95);
    EXPECT_GT(diagonal.pixelAt(99, 49).blue, 0.95);

    EXPECT_EQ(gradient(7, 1).pixelAt(50, 25).alpha, 0); // no length: nothing painted

    // The second colour is reached at the end location and not extended past the end.
    Image early = gradient(0, 0.5f);
    EXPECT_GT(early.pixelAt(50, 24).blue, 0.9);
    EXPECT_GT(early.pixelAt(50, 40).blue, 0.95);
    // Only the rect's size counts: the gradient starts at the context origin.
    Image offset = gradient(0, 1, Rect(50, 25, 100, 25));
    EXPECT_GT(offset.pixelAt(10, 0).red, 0.95);
    EXPECT_EQ(offset.pixelAt(10, 30).alpha, 0);
}

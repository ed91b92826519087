// Colour and image extensions of the drawing toolkit.

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/ImageExtensions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/base/FileSystem.h"
#include "platform/graphics/ImageContext.h"

using namespace platform;
using namespace platform::graphics;

namespace {

bool near(const Color& a, const Color& b, double tolerance = 0.03) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance
        && std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

class DrawingImages : public testing::Test {
protected:
    void TearDown() override { ImageContext::setMainScreenScale(2); }
};

// `size` points at scale 1: the left half red, the right half blue.
Image halves(Size size) {
    ImageContext image(size, false, 1);
    image.context().setFillColor(Color::rgba(1, 0, 0));
    image.context().fillRect({0, 0, size.width / 2, size.height});
    image.context().setFillColor(Color::rgba(0, 0, 1));
    image.context().fillRect({size.width / 2, 0, size.width / 2, size.height});
    return image.image();
}

} // namespace

TEST(DrawingColors, HexComponents) {
    const Color grey = colorWithHex(0x333333);
    EXPECT_DOUBLE_EQ(grey.red, 0.2);
    EXPECT_DOUBLE_EQ(grey.green, 0.2);
    EXPECT_DOUBLE_EQ(grey.blue, 0.2);
    EXPECT_DOUBLE_EQ(grey.alpha, 1);
    const RGBA c = RGBComponents(colorWithHex(0xFF8000));
    EXPECT_DOUBLE_EQ(c.red, 1);
    EXPECT_DOUBLE_EQ(c.green, 128 / 255.0);
    EXPECT_DOUBLE_EQ(c.blue, 0);
    EXPECT_EQ(changeAlpha(colorWithHex(0x3781DF), 0.35),
        Color::rgba(0x37 / 255.0, 0x81 / 255.0, 0xDF / 255.0, 0.35));
}

TEST(DrawingColors, HSBOfPureAndGreyColours) {
    struct Case {
        std::uint32_t hex;
        double hue, saturation, brightness;
    };
    for (const Case& c : {
             Case {0xFF0000, 0, 1, 1},
             Case {0x00FF00, 120 / 360.0, 1, 1},
             Case {0x0000FF, 240 / 360.0, 1, 1},
             Case {0xFF00FF, 300 / 360.0, 1, 1}, // red is the largest: a negative angle wraps
             Case {0x808080, 0, 0, 128 / 255.0},
             Case {0x000000, 0, 0, 0},
             Case {0xFFFFFF, 0, 0, 1},
         }) {
        const auto hsb = HSBComponents(colorWithHex(c.hex).withAlpha(0.4));
        ASSERT_TRUE(hsb);
        EXPECT_NEAR(hsb->hue, c.hue, 1e-9) << std::hex << c.hex;
        EXPECT_NEAR(hsb->saturation, c.saturation, 1e-9) << std::hex << c.hex;
        EXPECT_NEAR(hsb->brightness, c.brightness, 1e-9) << std::hex << c.hex;
        EXPECT_DOUBLE_EQ(hsb->alpha, 0.4);
    }
    EXPECT_FALSE(HSBComponents(Color::rgba(NAN, 0, 0)));
}

TEST(DrawingColors, HSBRoundTrip) {
    for (std::uint32_t hex : {0x2F4160u, 0x3781DFu, 0xBD6100u, 0x80B89Du, 0x993366u, 0xE57D69u, 0x5B6270u}) {
        const Color color = colorWithHex(hex);
        const auto hsb = HSBComponents(color);
        ASSERT_TRUE(hsb);
        EXPECT_TRUE(near(colorWithHSB(hsb->hue, hsb->saturation, hsb->brightness, 1), color, 1e-9))
            << std::hex << hex;
        EXPECT_TRUE(near(shiftHue(color, 0, 0, 0), color, 1e-9));
    }
}

TEST(DrawingColors, ShiftsAreClamped) {
    // Saturation 0.05 less 0.1 is no saturation at all: a grey of the same brightness.
    const Color pale = colorWithHSB(0.6, 0.05, 0.8, 0.5);
    const Color grey = shiftHue(pale, 0, -0.1, 0);
    EXPECT_NEAR(HSBComponents(grey)->saturation, 0, 1e-9);
    EXPECT_TRUE(near(grey, Color::rgba(0.8, 0.8, 0.8, 0.5), 1e-9));

    EXPECT_TRUE(near(shiftHue(colorWithHex(0xCC0000), 0, 0, 0.5), colorWithHex(0xFF0000), 1e-9));
    EXPECT_TRUE(near(shiftHue(colorWithHex(0x330000), 0, 0, -0.3), Color::black(), 1e-9));
    // The hue is clamped, not turned round: blue pushed past a full turn ends at 1, red.
    EXPECT_TRUE(near(shiftHue(colorWithHex(0x0000FF), 0.5, 0, 0), colorWithHex(0xFF0000), 1e-9));
    EXPECT_TRUE(near(shiftHue(colorWithHex(0x00FF00), -1 / 3.0, 0, 0), colorWithHex(0xFF0000), 1e-9));
}

TEST_F(DrawingImages, StretchableGlossyWidthsAndCaps) {
    const Color tint = colorWithHex(0x3781DF);
    Image rounded = stretchableGlossyImageWithColor(tint, 30, 5);
    EXPECT_EQ(rounded.size(), Size(11, 30));
    EXPECT_EQ(rounded.leftCapWidth(), 5);
    EXPECT_EQ(rounded.topCapHeight(), 0);

    Image square = stretchableGlossyImageWithColor(tint, 44, 0);
    EXPECT_EQ(square.size(), Size(2, 44));
    EXPECT_EQ(square.leftCapWidth(), 0);
    // No rounded clip: the corner is painted.
    EXPECT_GT(square.colorAtPoint({0.25, 43.5}).alpha, 0.9);
    EXPECT_EQ(rounded.colorAtPoint({0.25, 29.75}).alpha, 0);

    // A fractional rounding keeps its whole points as the cap.
    Image button = stretchableGlossyImageWithColor(tint, 37, 9.25);
    EXPECT_DOUBLE_EQ(button.size().width, 19.5);
    EXPECT_EQ(button.leftCapWidth(), 9);
}

TEST_F(DrawingImages, GlossyFaceIsLighterAtTheTop) {
    const Color tint = colorWithHex(0x2F4160);
    Image face = glossyImageWithColor(tint, {40, 40}, 0);
    EXPECT_EQ(face.size(), Size(40, 40));
    const Color top = face.colorAtPoint({20, 4});
    const Color lowMiddle = face.colorAtPoint({20, 30});
    EXPECT_GT(top.red + top.green + top.blue, lowMiddle.red + lowMiddle.green + lowMiddle.blue);
    // Below the gloss the face runs into the tint itself.
    EXPECT_TRUE(near(face.colorAtPoint({20, 38}), tint, 0.06));
}

TEST_F(DrawingImages, ResolutionIndependentLoadingPrefersTheDoubleFile) {
    const std::string folder = fs::makeTemporaryDirectory("vantrel-kit-images");
    const std::string path = fs::joinPath(folder, "car.png");
    ASSERT_TRUE(halves({4, 2}).writeToFile(path));
    ASSERT_TRUE(halves({8, 4}).writeToFile(fs::joinPath(folder, "car@2x.png")));

    ImageContext::setMainScreenScale(2);
    Image sharp = imageWithContentsOfResolutionIndependentFile(path);
    EXPECT_EQ(sharp.pixelWidth(), 8);
    EXPECT_EQ(sharp.size(), Size(4, 2));

    ImageContext::setMainScreenScale(1);
    Image plain = imageWithContentsOfResolutionIndependentFile(path);
    EXPECT_EQ(plain.pixelWidth(), 4);
    EXPECT_EQ(plain.scale(), 1);

    EXPECT_FALSE(imageWithContentsOfResolutionIndependentFile(fs::joinPath(folder, "missing.png")));
    fs::removeItem(folder);
}

TEST_F(DrawingImages, ScalingFillsTheSizeAndCutsTheOverflowEqually) {
    ImageContext::setMainScreenScale(1);
    // 40 x 20 into 20 x 20: scaled by 1, ten points cut off on each side.
    Image scaled = imageByScalingToSize(halves({40, 20}), {20, 20});
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled.size(), Size(20, 20));
    EXPECT_TRUE(near(scaled.colorAtPoint({2, 10}), Color::rgba(1, 0, 0)));
    EXPECT_TRUE(near(scaled.colorAtPoint({17, 10}), Color::rgba(0, 0, 1)));

    // Scaled up by the larger ratio: 10 x 20 into 40 x 40 becomes 40 x 80, cut top and bottom.
    Image tall = imageByScalingToSize(halves({10, 20}), {40, 40});
    EXPECT_EQ(tall.size(), Size(40, 40));
    EXPECT_TRUE(near(tall.colorAtPoint({10, 1}), Color::rgba(1, 0, 0)));
    EXPECT_TRUE(near(tall.colorAtPoint({30, 39}), Color::rgba(0, 0, 1)));

    // At scale 2 the result keeps the requested size in points.
    ImageContext::setMainScreenScale(2);
    Image doubled = imageByScalingToSize(halves({40, 20}), {20, 20});
    EXPECT_EQ(doubled.pixelWidth(), 40);
    EXPECT_EQ(doubled.size(), Size(20, 20));

    EXPECT_FALSE(imageByScalingToSize(Image {}, {20, 20}));
    EXPECT_FALSE(imageByScalingToSize(halves({4, 4}), {0, 20}));
}

TEST_F(DrawingImages, ScalingTurnsThePictureUpright) {
    ImageContext::setMainScreenScale(1);
    // Stored left red, right blue; turned 90° clockwise to show, red is on top.
    Image turned = halves({20, 10}).withOrientation(ImageOrientation::Right);
    Image upright = imageByScalingToSize(turned, {10, 20});
    EXPECT_EQ(upright.orientation(), ImageOrientation::Up);
    EXPECT_TRUE(near(upright.colorAtPoint({5, 2}), Color::rgba(1, 0, 0)));
    EXPECT_TRUE(near(upright.colorAtPoint({5, 18}), Color::rgba(0, 0, 1)));
}

TEST_F(DrawingImages, RoundedCornersAreCutAndTheSizeKept) {
    ImageContext::setMainScreenScale(2);
    Image rounded = roundedCornerImageWithRadius(halves({64, 64}), 10);
    EXPECT_EQ(rounded.size(), Size(64, 64));
    EXPECT_EQ(rounded.colorAtPoint({0.5, 0.5}).alpha, 0);
    EXPECT_EQ(rounded.colorAtPoint({63.5, 63.5}).alpha, 0);
    EXPECT_TRUE(near(rounded.colorAtPoint({10, 32}), Color::rgba(1, 0, 0)));
    EXPECT_TRUE(near(rounded.colorAtPoint({40, 1}), Color::rgba(0, 0, 1)));
}

TEST_F(DrawingImages, DrawInContextDrawsUprightAtTheOrigin) {
    ImageContext target({10, 20}, false, 1);
    drawInContext(halves({20, 10}).withOrientation(ImageOrientation::Left), target.context());
    Image drawn = target.image();
    // Turned 90° anticlockwise: the right (blue) half comes to the top.
    EXPECT_TRUE(near(drawn.colorAtPoint({5, 2}), Color::rgba(0, 0, 1)));
    EXPECT_TRUE(near(drawn.colorAtPoint({5, 18}), Color::rgba(1, 0, 0)));
}

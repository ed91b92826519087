#include "platform/graphics/Image.h"
#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;
using namespace platform::graphics;

namespace {

const Color kRed = Color::rgba(1, 0, 0);
const Color kGreen = Color::rgba(0, 1, 0);
const Color kBlue = Color::rgba(0, 0, 1);
const Color kWhite = Color::rgba(1, 1, 1);

bool isColor(const Color& c, const Color& expected, double tolerance = 0.02) {
    return std::abs(c.red - expected.red) <= tolerance && std::abs(c.green - expected.green) <= tolerance
        && std::abs(c.blue - expected.blue) <= tolerance && std::abs(c.alpha - expected.alpha) <= tolerance;
}

// A 2 x 1 point picture at `scale`: red left half, blue right half.
Image redBlue(double scale) {
    ImageContext image({2, 1}, false, scale);
    image.context().setFillColor(kRed);
    image.context().fillRect({0, 0, 1, 1});
    image.context().setFillColor(kBlue);
    image.context().fillRect({1, 0, 1, 1});
    return image.image();
}

class GraphicsImage : public testing::Test {
protected:
    void SetUp() override { m_folder = fs::makeTemporaryDirectory("vantrel-image-test"); }
    void TearDown() override {
        ImageContext::setMainScreenScale(2);
        fs::removeItem(m_folder);
    }
    std::string path(const std::string& name) const { return fs::joinPath(m_folder, name); }

    std::string m_folder;
};

} // namespace

TEST_F(GraphicsImage, PngRoundTripKeepsPixelsAndTransparency) {
    ImageContext context({10, 10}, false, 1);
    context.context().setFillColor(kRed.withAlpha(0.5));
    context.context().fillRect({0, 0, 5, 10});
    Image original = context.image();
    ASSERT_TRUE(original.writeToFile(path("round.png")));
    // Written atomically: no temporary file is left beside it.
    EXPECT_EQ(fs::contentsOfDirectory(m_folder), std::vector<std::string> {"round.png"});

    Image loaded = Image::imageWithContentsOfFile(path("round.png"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.scale(), 1);
    EXPECT_EQ(loaded.size(), (Size {10, 10}));
    EXPECT_TRUE(isColor(loaded.pixelAt(2, 2), kRed.withAlpha(0.5)));
    EXPECT_EQ(loaded.pixelAt(7, 2).alpha, 0);

    // The fast encoder decodes to the same pixels.
    Image fast = Image::imageWithData(original.pngData(true), 1);
    ASSERT_TRUE(fast);
    for (int y = 0; y < 10; y += 3)
        for (int x = 0; x < 10; ++x)
            EXPECT_TRUE(isColor(fast.pixelAt(x, y), original.pixelAt(x, y), 0.01)) << x << "," << y;
}

TEST_F(GraphicsImage, OpaqueImagesEncodeWithoutAlpha) {
    ImageContext context({4, 4}, true, 1);
    context.context().setFillColor(kGreen);
    context.context().fillRect({0, 0, 2, 4});
    Image image = context.image();
    EXPECT_TRUE(isColor(image.pixelAt(3, 0), Color::black())); // opaque contexts start black
    for (bool fast : {false, true}) {
        Image decoded = Image::imageWithData(image.pngData(fast));
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(isColor(decoded.pixelAt(0, 0), kGreen));
        EXPECT_TRUE(isColor(decoded.pixelAt(3, 3), Color::black()));
    }
}

TEST_F(GraphicsImage, MissingOrBrokenFilesGiveNullImages) {
    EXPECT_FALSE(Image::imageWithContentsOfFile(path("none.png")));
    ASSERT_TRUE(fs::writeFileAtomically(path("broken.png"), "not a png"));
    EXPECT_FALSE(Image::imageWithContentsOfFile(path("broken.png")));
    EXPECT_FALSE(Image::imageWithData("\x89PNG\r\n\x1a\n truncated"));
    Image null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.size(), (Size {}));
    EXPECT_TRUE(null.pngData().empty());
    EXPECT_FALSE(null.writeToFile(path("null.png")));
    ImageContext context({4, 4}, false, 1);
    null.drawInRect(context.context(), {0, 0, 4, 4}); // nothing to draw, no harm
}

TEST_F(GraphicsImage, DoubleResolutionFilesArePickedAtScaleTwo) {
    ASSERT_TRUE(redBlue(1).writeToFile(path("Bar.png")));
    ASSERT_TRUE(redBlue(2).writeToFile(path("Bar@2x.png")));

    ImageContext::setMainScreenScale(2);
    Image retina = Image::imageWithContentsOfFile(path("Bar.png"));
    ASSERT_TRUE(retina);
    EXPECT_EQ(retina.scale(), 2);
    EXPECT_EQ(retina.pixelWidth(), 4);
    EXPECT_EQ(retina.size(), (Size {2, 1}));

    // Named directly, an @2x file has scale 2 whatever the screen.
    ImageContext::setMainScreenScale(1);
    EXPECT_EQ(Image::imageWithContentsOfFile(path("Bar@2x.png")).scale(), 2);
    Image plain = Image::imageWithContentsOfFile(path("Bar.png"));
    EXPECT_EQ(plain.scale(), 1);
    EXPECT_EQ(plain.pixelWidth(), 2);
}

TEST_F(GraphicsImage, ImageNamedReadsTheBundle) {
    std::string saved = Bundle::mainBundle().resourcePath();
    Bundle::mainBundle().setResourcePath(m_folder);
    ASSERT_TRUE(redBlue(1).writeToFile(path("Swatch.png")));
    ASSERT_TRUE(redBlue(2).writeToFile(path("Swatch@2x.png")));
    ImageContext::setMainScreenScale(2);
    Image named = Image::imageNamed("Swatch");
    Image withExtension = Image::imageNamed("Swatch.png");
    Bundle::mainBundle().setResourcePath(saved);
    ASSERT_TRUE(named);
    EXPECT_EQ(named.scale(), 2);
    EXPECT_EQ(named.size(), (Size {2, 1}));
    EXPECT_TRUE(withExtension);
    EXPECT_FALSE(Image::imageNamed("NoSuchImage"));
    EXPECT_FALSE(Image::imageNamed(""));
}

TEST_F(GraphicsImage, DrawingScalesIntoTheRect) {
    Image source = redBlue(1);
    ImageContext target({20, 10}, false, 2);
    target.context().setInterpolationQuality(InterpolationQuality::None);
    target.context().drawImage(source, Rect(0, 0, 20, 10));
    target.context().drawImage(source, Point {0, 0}); // at its own size, over the corner
    Image result = target.image();
    EXPECT_TRUE(isColor(result.colorAtPoint({5, 5}), kRed));
    EXPECT_TRUE(isColor(result.colorAtPoint({15, 5}), kBlue));
    EXPECT_TRUE(isColor(result.colorAtPoint({1.5, 0.5}), kBlue));
}

TEST_F(GraphicsImage, OrientationTurnsThePicture) {
    Image stored = redBlue(1); // red left, blue right as stored
    struct Case {
        ImageOrientation orientation;
        Size size;
        Point red; // where red ends up when drawn upright
        Point blue;
    } cases[] = {
        {ImageOrientation::Up, {2, 1}, {0.5, 0.5}, {1.5, 0.5}},
        {ImageOrientation::Down, {2, 1}, {1.5, 0.5}, {0.5, 0.5}},
        {ImageOrientation::UpMirrored, {2, 1}, {1.5, 0.5}, {0.5, 0.5}},
        {ImageOrientation::DownMirrored, {2, 1}, {0.5, 0.5}, {1.5, 0.5}},
        // Turned clockwise: the stored left edge becomes the top.
        {ImageOrientation::Right, {1, 2}, {0.5, 0.5}, {0.5, 1.5}},
        // Turned anticlockwise: the stored left edge becomes the bottom.
        {ImageOrientation::Left, {1, 2}, {0.5, 1.5}, {0.5, 0.5}},
        {ImageOrientation::LeftMirrored, {1, 2}, {0.5, 0.5}, {0.5, 1.5}},
        {ImageOrientation::RightMirrored, {1, 2}, {0.5, 1.5}, {0.5, 0.5}},
    };
    for (const Case& c : cases) {
        Image oriented = stored.withOrientation(c.orientation);
        EXPECT_EQ(oriented.size(), c.size) << int(c.orientation);
        EXPECT_TRUE(isColor(oriented.colorAtPoint(c.red), kRed)) << int(c.orientation);

        ImageContext target(oriented.size(), false, 4);
        target.context().setInterpolationQuality(InterpolationQuality::None);
        oriented.drawAtPoint(target.context(), {0, 0});
        Image drawn = target.image();
        EXPECT_TRUE(isColor(drawn.colorAtPoint(c.red), kRed)) << int(c.orientation);
        EXPECT_TRUE(isColor(drawn.colorAtPoint(c.blue), kBlue)) << int(c.orientation);

        // The PNG is written upright.
        Image decoded = Image::imageWithData(oriented.pngData(), 1);
        EXPECT_EQ(decoded.size(), c.size) << int(c.orientation);
        EXPECT_TRUE(isColor(decoded.colorAtPoint(c.red), kRed)) << int(c.orientation);
    }
}

TEST_F(GraphicsImage, StretchableImagesKeepTheirCaps) {
    // 11 x 5 points: a 5-point red left cap, a white middle column, a 5-point blue right cap.
    ImageContext source({11, 5}, false, 2);
    source.context().setFillColor(kRed);
    source.context().fillRect({0, 0, 5, 5});
    source.context().setFillColor(kWhite);
    source.context().fillRect({5, 0, 1, 5});
    source.context().setFillColor(kBlue);
    source.context().fillRect({6, 0, 5, 5});
    Image stretchable = source.image().stretchableImageWithLeftCapWidth(5, 0);
    EXPECT_EQ(stretchable.leftCapWidth(), 5);

    ImageContext wide({100, 5}, false, 2);
    stretchable.drawInRect(wide.context(), {0, 0, 100, 5});
    Image result = wide.image();
    EXPECT_TRUE(isColor(result.colorAtPoint({4.5, 2}), kRed, 0.05)); // cap unscaled
    EXPECT_TRUE(isColor(result.colorAtPoint({50, 2}), kWhite, 0.05)); // middle stretched
    EXPECT_TRUE(isColor(result.colorAtPoint({94, 2}), kWhite, 0.05));
    EXPECT_TRUE(isColor(result.colorAtPoint({95.5, 2}), kBlue, 0.05)); // right cap unscaled

    // Narrower than both caps: they shrink, the middle vanishes.
    ImageContext narrow({6, 5}, false, 2);
    stretchable.drawInRect(narrow.context(), {0, 0, 6, 5});
    EXPECT_TRUE(isColor(narrow.image().colorAtPoint({1, 2}), kRed, 0.05));
    EXPECT_TRUE(isColor(narrow.image().colorAtPoint({5, 2}), kBlue, 0.05));

    // Without caps the whole picture scales.
    ImageContext scaled({110, 5}, false, 2);
    source.image().drawInRect(scaled.context(), {0, 0, 110, 5});
    EXPECT_TRUE(isColor(scaled.image().colorAtPoint({45, 2}), kRed, 0.05));
}

TEST_F(GraphicsImage, ImageDrawingCastsShadowsAndHonoursAlpha) {
    ImageContext source({10, 10}, true, 1);
    source.context().setFillColor(kWhite);
    source.context().fillRect({0, 0, 10, 10});
    ImageContext target({40, 40}, false, 1);
    target.context().setShadowWithColor({10, 10}, 0, Color::black());
    target.context().setAlpha(0.5);
    source.image().drawInRect(target.context(), {5, 5, 10, 10});
    Image result = target.image();
    EXPECT_NEAR(result.pixelAt(8, 8).alpha, 0.5, 0.02);
    EXPECT_NEAR(result.pixelAt(22, 22).alpha, 0.5, 0.02); // the shadow, at half alpha too
    EXPECT_LT(result.pixelAt(22, 22).red, 0.05);
}

TEST_F(GraphicsImage, ImageContextStack) {
    EXPECT_EQ(ImageContext::currentContext(), nullptr);
    EXPECT_FALSE(ImageContext::imageFromCurrentImageContext());
    ImageContext::setMainScreenScale(2);
    ImageContext::beginImageContext({3, 3}, false, 0); // scale 0: the screen's
    ImageContext::beginImageContext({5, 5}, false, 1);
    ASSERT_NE(ImageContext::currentContext(), nullptr);
    EXPECT_EQ(ImageContext::currentContext()->scale(), 1);
    ImageContext::endImageContext();
    ImageContext::currentContext()->fillRect({0, 0, 3, 3});
    Image image = ImageContext::imageFromCurrentImageContext();
    ImageContext::endImageContext();
    ImageContext::endImageContext(); // unbalanced: ignored
    EXPECT_EQ(image.scale(), 2);
    EXPECT_EQ(image.pixelWidth(), 6);
    EXPECT_EQ(image.pixelAt(5, 5).alpha, 1);
    EXPECT_EQ(ImageContext::currentContext(), nullptr);

    // A snapshot does not change with later drawing.
    ImageContext context({2, 2}, false, 1);
    Image before = context.image();
    context.context().fillRect({0, 0, 2, 2});
    EXPECT_EQ(before.pixelAt(0, 0).alpha, 0);
    EXPECT_EQ(context.image().pixelAt(0, 0).alpha, 1);
}

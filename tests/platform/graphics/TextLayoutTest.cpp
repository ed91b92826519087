#include "platform/graphics/TextLayout.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform::graphics;

namespace {

// Bounds (in points) of the pixels that are not transparent.
Rect inkBounds(const Image& image) {
    int x0 = image.pixelWidth(), y0 = image.pixelHeight(), x1 = -1, y1 = -1;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            if (image.pixelAt(x, y).alpha > 0.2) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return {};
    double s = image.scale();
    return {x0 / s, y0 / s, (x1 + 1 - x0) / s, (y1 + 1 - y0) / s};
}

const std::string kSentence = "The quick brown fox jumps over the lazy dog";

} // namespace

TEST(GraphicsFont, NamesMapToLiberationFaces) {
    Font bold = Font::fontWithName("Helvetica-Bold", 20);
    EXPECT_EQ(bold.familyName(), "Liberation Sans");
    EXPECT_TRUE(bold.isBold());
    EXPECT_EQ(bold.pointSize(), 20);
    EXPECT_EQ(Font::fontWithName("Helvetica", 12), Font::systemFontOfSize(12));
    EXPECT_EQ(Font::boldSystemFontOfSize(18), Font::fontWithName("Helvetica-Bold", 18));
    EXPECT_EQ(Font::fontWithName("Times-Italic", 12).familyName(), "Liberation Serif");
    EXPECT_TRUE(Font::fontWithName("Times-Italic", 12).isItalic());
    EXPECT_EQ(Font::fontWithName("Courier", 12).familyName(), "Liberation Mono");
    EXPECT_EQ(Font::systemFontOfSize(-3).pointSize(), 12); // nonsense sizes fall back
}

TEST(GraphicsFont, VerticalMetricsScaleWithSize) {
    Font small = Font::systemFontOfSize(10), large = Font::systemFontOfSize(20);
    EXPECT_GT(small.ascender(), 0);
    EXPECT_LT(small.descender(), 0);
    EXPECT_GE(small.lineHeight(), small.ascender() - small.descender() - 1e-9);
    EXPECT_NEAR(large.lineHeight(), 2 * small.lineHeight(), 0.05);
    // Liberation Sans is metric-compatible: a line is a little over 1.1 em.
    EXPECT_NEAR(large.lineHeight() / 20, 1.15, 0.05);
}

TEST(GraphicsTextLayout, SingleLineSizesAreWholePointsAndGrowWithText) {
    Font font = Font::systemFontOfSize(12);
    Size shortSize = TextLayout::sizeWithFont("10.00", font);
    Size longSize = TextLayout::sizeWithFont("1000.00", font);
    EXPECT_GT(longSize.width, shortSize.width);
    EXPECT_EQ(shortSize.height, longSize.height);
    EXPECT_EQ(shortSize.width, std::ceil(shortSize.width));
    EXPECT_EQ(shortSize.height, std::ceil(font.lineHeight() - 1e-6));
    EXPECT_GT(TextLayout::sizeWithFont("W", Font::boldSystemFontOfSize(12)).width,
        TextLayout::sizeWithFont("i", font).width);
    // Empty text: no width, one line high (the phone measures empty labels that way).
    Size empty = TextLayout::sizeWithFont("", font);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, shortSize.height);
    // Explicit line breaks start new lines even unconstrained.
    EXPECT_EQ(
        TextLayout::sizeWithFont("a\nb", font).height, TextLayout(std::string("a\nb"), font).size().height);
    EXPECT_EQ(TextLayout("a\nb", font).lineCount(), 2);
}

TEST(GraphicsTextLayout, WrappingForAWidth) {
    Font font = Font::systemFontOfSize(14);
    Size oneLine = TextLayout::sizeWithFont(kSentence, font);
    Size wrapped = TextLayout::sizeWithFont(kSentence, font, Size {120, 0}, LineBreakMode::WordWrap);
    EXPECT_LE(wrapped.width, 120);
    EXPECT_GT(wrapped.height, 2 * oneLine.height);
    TextLayout words(kSentence, font, {120, 0}, LineBreakMode::WordWrap);
    EXPECT_GE(words.lineCount(), 3);
    EXPECT_FALSE(words.isTruncated());

    // A word longer than the line is broken rather than overflowing.
    Size longWord
        = TextLayout::sizeWithFont(std::string(60, 'm'), font, Size {100, 0}, LineBreakMode::WordWrap);
    EXPECT_LE(longWord.width, 100);
    EXPECT_GT(longWord.height, oneLine.height);

    // A height limit keeps whole lines only, but at least one.
    TextLayout limited(kSentence, font, {120, 2.5 * font.lineHeight()}, LineBreakMode::WordWrap);
    EXPECT_EQ(limited.lineCount(), 2);
    EXPECT_TRUE(limited.isTruncated());
    EXPECT_LE(limited.size().height, std::ceil(2.5 * font.lineHeight()));
    TextLayout tiny(kSentence, font, {120, 3}, LineBreakMode::WordWrap);
    EXPECT_EQ(tiny.lineCount(), 1);
    EXPECT_TRUE(tiny.isTruncated());
}

TEST(GraphicsTextLayout, ClipAndTruncationStayOnOneLine) {
    Font font = Font::systemFontOfSize(14);
    Size full = TextLayout::sizeWithFont(kSentence, font);

    Size clipped = TextLayout::sizeWithFont(kSentence, font, 100, LineBreakMode::Clip);
    EXPECT_EQ(clipped.width, 100);
    EXPECT_EQ(clipped.height, full.height);
    // The single-line measure treats the wrapping modes as clipping.
    EXPECT_EQ(TextLayout::sizeWithFont(kSentence, font, 100, LineBreakMode::WordWrap), clipped);

    for (LineBreakMode mode :
        {LineBreakMode::HeadTruncation, LineBreakMode::MiddleTruncation, LineBreakMode::TailTruncation}) {
        TextLayout layout(kSentence, font, {100, 0}, mode);
        EXPECT_TRUE(layout.isTruncated());
        EXPECT_EQ(layout.lineCount(), 1);
        EXPECT_LE(layout.size().width, 100);
        EXPECT_EQ(layout.size().height, full.height);
    }
    // A box lower than one line still shows one truncated line.
    TextLayout low(kSentence, font, {100, font.lineHeight() - 2}, LineBreakMode::TailTruncation);
    EXPECT_EQ(low.lineCount(), 1);
    EXPECT_TRUE(low.isTruncated());
    EXPECT_LE(low.size().width, 100);
    // Text that fits is not truncated.
    EXPECT_FALSE(TextLayout("Fuel", font, {100, 0}, LineBreakMode::TailTruncation).isTruncated());
    // Truncation in a taller box wraps and truncates the last line that fits.
    TextLayout twoLines(
        kSentence + " " + kSentence, font, {100, 2 * font.lineHeight() + 1}, LineBreakMode::TailTruncation);
    EXPECT_EQ(twoLines.lineCount(), 2);
    EXPECT_TRUE(twoLines.isTruncated());
}

TEST(GraphicsTextLayout, BadInputIsMeasuredSafely) {
    Font font = Font::systemFontOfSize(12);
    Size invalid = TextLayout::sizeWithFont(std::string("ab\xff\xfe"
                                                        "cd"),
        font);
    EXPECT_GT(invalid.width, 0);
    Size nan = TextLayout::sizeWithFont(kSentence, font, Size {NAN, INFINITY}, LineBreakMode::WordWrap);
    EXPECT_EQ(nan, TextLayout::sizeWithFont(kSentence, font));
    Size zeroWidth = TextLayout::sizeWithFont(kSentence, font, 0, LineBreakMode::TailTruncation);
    EXPECT_EQ(zeroWidth, TextLayout::sizeWithFont(kSentence, font));
}

TEST(GraphicsTextLayout, DrawingHonoursAlignmentAndClipping) {
    Font font = Font::systemFontOfSize(12);
    auto inkFor = [&](TextAlignment alignment) {
        ImageContext image({200, 40}, false, 2);
        image.context().setFillColor(Color::black());
        image.context().drawText("40.00", Rect(0, 10, 200, 20), font, LineBreakMode::Clip, alignment);
        return inkBounds(image.image());
    };
    Rect left = inkFor(TextAlignment::Left), center = inkFor(TextAlignment::Center),
         right = inkFor(TextAlignment::Right);
    EXPECT_LT(left.minX(), 3);
    EXPECT_NEAR(center.midX(), 100, 3);
    EXPECT_GT(right.maxX(), 196);
    EXPECT_LE(right.maxX(), 200);
    EXPECT_GE(left.minY(), 10); // below the rect's top

    // Drawn into a narrow rect, nothing lands outside it.
    ImageContext image({200, 40}, false, 2);
    image.context().setFillColor(Color::black());
    image.context().drawText(
        kSentence, Rect(20, 5, 60, 30), font, LineBreakMode::WordWrap, TextAlignment::Left);
    Rect ink = inkBounds(image.image());
    EXPECT_GE(ink.minX(), 20);
    EXPECT_LE(ink.maxX(), 80);
    EXPECT_LE(ink.maxY(), 35);
    EXPECT_GT(ink.height(), font.lineHeight()); // wrapped onto a second line
}

TEST(GraphicsTextLayout, DrawAtPointForWidthCutsTheLine) {
    Font font = Font::systemFontOfSize(12);
    ImageContext image({300, 30}, false, 1);
    image.context().setFillColor(Color::black());
    Size drawn = image.context().drawText(kSentence, Point {10, 5}, 50, font, LineBreakMode::Clip);
    EXPECT_EQ(drawn.width, 50);
    Rect ink = inkBounds(image.image());
    EXPECT_GE(ink.minX(), 10);
    EXPECT_LE(ink.maxX(), 60);
}

TEST(GraphicsTextLayout, InvisibleDrawingMeasuresTheAdvance) {
    // Measuring by drawing: the text position moves by the advance but nothing is drawn
    // (how far is checked with the drawing utilities).
    ImageContext image({100, 40}, false, 2);
    Context& ctx = image.context();
    Font font = Font::fontWithName("Helvetica-Bold", 20);
    ctx.selectFont(font);
    ctx.setTextDrawingMode(TextDrawingMode::Invisible);
    ctx.setTextPosition({5, 30});
    Point before = ctx.textPosition();
    ctx.showText("8");
    double advance = ctx.textPosition().x - before.x;
    EXPECT_GT(advance, 5);
    EXPECT_EQ(ctx.textPosition().y, before.y);
    EXPECT_TRUE(inkBounds(image.image()).isEmpty());

    // Filled, the glyph sits on the baseline given.
    ctx.setTextDrawingMode(TextDrawingMode::Fill);
    ctx.setFillColor(Color::black());
    ctx.showTextAtPoint(10, 30, "8");
    Rect ink = inkBounds(image.image());
    EXPECT_NEAR(ink.maxY(), 30, 1);
    EXPECT_GT(ink.minX(), 9.5);
    EXPECT_NEAR(ctx.textPosition().x, 10 + advance, 1e-9);
}

TEST(GraphicsTextLayout, StrokeModeDrawsOutlinesInTheStrokeColour) {
    ImageContext image({60, 60}, false, 2);
    Context& ctx = image.context();
    ctx.selectFont(Font::boldSystemFontOfSize(40));
    ctx.setFillColor(Color::rgba(1, 0, 0));
    ctx.setStrokeColor(Color::rgba(0, 0, 1));
    ctx.setTextDrawingMode(TextDrawingMode::Stroke);
    ctx.showTextAtPoint(10, 50, "I");
    Image result = image.image();
    bool blue = false, red = false;
    for (int y = 0; y < result.pixelHeight(); ++y)
        for (int x = 0; x < result.pixelWidth(); ++x) {
            Color c = result.pixelAt(x, y);
            blue |= c.alpha > 0.5 && c.blue > 0.8;
            red |= c.alpha > 0.5 && c.red > 0.8;
        }
    EXPECT_TRUE(blue);
    EXPECT_FALSE(red);
}

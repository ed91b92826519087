#include <gtest/gtest.h>

#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"
#include "shell/FrameStream.h"

using namespace platform::graphics;
using shell::FrameStream;

namespace {

// A 40 x 30 point screen at scale 2, white, with an optional red square.
Image screenWith(std::optional<Rect> red, Size size = Size(40, 30), double scale = 2) {
    ImageContext image(size, true, scale);
    image.context().setFillColor(Color::whiteColor());
    image.context().fillRect(Rect(0, 0, size.width, size.height));
    if (red) {
        image.context().setFillColor(Color::rgba(1, 0, 0));
        image.context().fillRect(*red);
    }
    return image.image();
}

} // namespace

TEST(FrameStream, TheFirstFrameIsWholeAndAnUnchangedOneIsNoFrame) {
    FrameStream stream(2);
    EXPECT_FALSE(stream.latest());
    EXPECT_EQ(stream.framePNG(), nullptr);
    auto first = stream.publish(screenWith(std::nullopt));
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], (FrameStream::Notice {1, 80, 60, 0, 0, 80, 60, 0, 1, true}));
    EXPECT_TRUE(stream.publish(screenWith(std::nullopt)).empty());
    EXPECT_EQ(stream.latest()->sequence, 1u);

    std::uint64_t sequence = 0;
    auto png = stream.framePNG(&sequence);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(sequence, 1u);
    Image decoded = Image::imageWithData(*png, 2);
    EXPECT_EQ(decoded.pixelWidth(), 80);
    EXPECT_EQ(decoded.pixelHeight(), 60);
}

// Cells of many colours in rows alike and unlike, at an odd width: every channel and both row
// filters of the encoding.
TEST(FrameStream, EveryPixelOfAVariedFrameComesBackExactly) {
    ImageContext drawing(Size(41, 29), true, 3);
    for (int row = 0; row < 29; ++row) {
        for (int column = 0; column < 41; ++column) {
            drawing.context().setFillColor(Color::fromHex(
                ((row * 37 + column * 11) & 0xff) << 16 | ((row * 5) & 0xff) << 8 | ((column * 23) & 0xff)));
            drawing.context().fillRect(Rect(column, row, 1, 1));
        }
    }
    Image sent = drawing.image();
    FrameStream stream(3);
    stream.publish(sent);
    Image received = Image::imageWithData(*stream.framePNG(), 3);
    ASSERT_EQ(received.pixelWidth(), 123);
    ASSERT_EQ(received.pixelHeight(), 87);
    for (int y = 0; y < 87; ++y) {
        for (int x = 0; x < 123; ++x)
            ASSERT_EQ(received.pixelAt(x, y).hex(), sent.pixelAt(x, y).hex()) << x << "," << y;
    }
}

TEST(FrameStream, APatchHoldsExactlyWhatChanged) {
    FrameStream stream(2);
    stream.publish(screenWith(std::nullopt));
    auto notices = stream.publish(screenWith(Rect(10, 5, 4, 3)));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], (FrameStream::Notice {2, 80, 60, 20, 10, 8, 6}));

    FrameStream::Notice kept;
    auto patch = stream.patchPNG(2, &kept);
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(kept, notices[0]);
    Image decoded = Image::imageWithData(*patch, 1);
    ASSERT_EQ(decoded.pixelWidth(), 8);
    ASSERT_EQ(decoded.pixelHeight(), 6);
    EXPECT_EQ(decoded.pixelAt(0, 0), Color::rgba(1, 0, 0));
    EXPECT_EQ(decoded.pixelAt(7, 5), Color::rgba(1, 0, 0));

    // The whole frame follows the patch.
    Image whole = Image::imageWithData(*stream.framePNG(), 2);
    EXPECT_EQ(whole.pixelAt(21, 11), Color::rgba(1, 0, 0));
    EXPECT_EQ(whole.pixelAt(19, 11), Color::whiteColor());
}

TEST(FrameStream, ATurnedScreenIsSentWholeAndOldPatchesAreDropped) {
    FrameStream stream(2);
    stream.publish(screenWith(std::nullopt));
    auto turned = stream.publish(screenWith(std::nullopt, Size(30, 40)));
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_EQ(turned[0], (FrameStream::Notice {2, 60, 80, 0, 0, 60, 80, 0, 1, true}));

    for (int i = 0; i < int(FrameStream::kKeptPatches) + 1; ++i)
        ASSERT_FALSE(stream.publish(screenWith(Rect(i % 20, 1, 1, 1), Size(30, 40))).empty());
    EXPECT_EQ(stream.patchPNG(2), nullptr);
    EXPECT_NE(stream.patchPNG(stream.latest()->sequence), nullptr);
}

TEST(FrameStream, ALargeChangeComesInStripsOnAFixedGridThatMakeTheWholeFrame) {
    FrameStream stream(3);
    Size screen(320, 480);
    auto first = stream.publish(screenWith(std::nullopt, screen, 3));
    ASSERT_EQ(first.size(), 4u); // 1440 rows in strips of 128 points (384 rows)
    EXPECT_TRUE(first.back().whole);
    EXPECT_EQ(stream.wholeParts(), first); // what a page that opens now fetches
    auto notices = stream.publish(screenWith(Rect(0, 20, 320, 460), screen, 3));
    ASSERT_EQ(notices.size(), 4u);
    EXPECT_EQ(notices[0], (FrameStream::Notice {5, 960, 1440, 0, 60, 960, 324, 0, 4, false, notices[0].key}));
    EXPECT_EQ(stream.latest()->sequence, 8u);
    EXPECT_TRUE(stream.wholeParts().empty());
    int y = 60;
    for (auto& notice : notices) {
        EXPECT_EQ(notice.y, y);
        EXPECT_EQ(notice.patchWidth, 960);
        EXPECT_EQ(notice.key.size(), 32u); // what its pixels hash to
        y += notice.patchHeight;
        Image strip = Image::imageWithData(*stream.patchPNG(notice.sequence), 1);
        ASSERT_EQ(strip.pixelHeight(), notice.patchHeight);
        EXPECT_EQ(strip.pixelAt(0, 0), Color::rgba(1, 0, 0));
        EXPECT_EQ(strip.pixelAt(959, notice.patchHeight - 1), Color::rgba(1, 0, 0));
    }
    EXPECT_EQ(y, 1440);
    EXPECT_EQ(notices[1].key, notices[2].key); // the same pixels
    EXPECT_NE(notices[0].key, notices[1].key);
    Image whole = Image::imageWithData(*stream.framePNG(), 3);
    EXPECT_EQ(whole.pixelAt(5, 59), Color::whiteColor());
    EXPECT_EQ(whole.pixelAt(5, 1439), Color::rgba(1, 0, 0));
}

// Back and forth between two screens: the screen shown again has the same keys and is not
// encoded again; a screen that differs in one strip gets another key for that strip only.
TEST(FrameStream, AScreenShownAgainKeepsItsKeysAndEncoding) {
    auto screen = [](std::vector<Rect> dots) {
        ImageContext image(Size(320, 480), true, 3);
        image.context().setFillColor(Color::whiteColor());
        image.context().fillRect(Rect(0, 0, 320, 480));
        image.context().setFillColor(Color::rgba(1, 0, 0));
        image.context().fillRect(Rect(0, 20, 320, 460));
        image.context().setFillColor(Color::rgba(0, 0, 1));
        for (auto& dot : dots)
            image.context().fillRect(dot);
        return image.image();
    };
    FrameStream stream(3);
    Image white = screenWith(std::nullopt, Size(320, 480), 3);
    stream.publish(white);
    auto first = stream.publish(screen({Rect(10, 100, 5, 5)}));
    stream.publish(white);
    auto again = stream.publish(screen({Rect(10, 100, 5, 5)}));
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].key, first[i].key);
        EXPECT_EQ(stream.patchPNG(again[i].sequence).get(), stream.patchPNG(first[i].sequence).get());
    }
    stream.publish(white);
    auto other = stream.publish(screen({Rect(10, 100, 5, 5), Rect(10, 400, 5, 5)})); // 1200 rows down
    ASSERT_EQ(other.size(), first.size());
    for (size_t i = 0; i < other.size(); ++i) {
        bool dotted = other[i].y <= 1200 && 1200 < other[i].y + other[i].patchHeight;
        EXPECT_EQ(other[i].key != first[i].key, dotted) << i;
    }
}

// The backdrop is a pattern of many colours; a screen shows it with content over a part. Once
// a page has fetched it, a part sends only the rectangle that differs from it, and drawn over
// it that makes the frame exactly; a part that is all backdrop sends nothing; the whole frame
// stays whole.
TEST(FrameStream, PartsOnTheBackdropMakeTheFrameExactly) {
    const Size size(320, 480);
    auto draw = [&](int content) { // 0: none; others: its content this many points lower
        ImageContext image(size, true, 3);
        for (int row = 0; row < 48; ++row) {
            for (int column = 0; column < 32; ++column) {
                image.context().setFillColor(Color::fromHex((row * 5) << 16 | (column * 7) << 8 | 40));
                image.context().fillRect(Rect(column * 10, row * 10, 10, 10));
            }
        }
        if (content) {
            image.context().setFillColor(Color::rgba(0.2, 0.6, 0.3));
            image.context().fillRect(Rect(30, 100 + content, 200, 250));
            image.context().fillRect(Rect(300, 20 + content, 3, 3));
        }
        return image.image();
    };
    const Image backdrop = draw(0);
    const Image white = screenWith(std::nullopt, size, 3);
    FrameStream stream(3);
    stream.setBackdrop(1, backdrop);
    stream.publish(white);
    auto before = stream.publish(draw(1));
    ASSERT_FALSE(before.empty());
    const std::string key = stream.backdropKey();
    EXPECT_EQ(key.size(), 32u);
    for (auto& notice : before)
        EXPECT_FALSE(notice.onBackdrop); // no page holds the backdrop yet

    EXPECT_EQ(stream.backdropPNG("another"), nullptr);
    auto sent = stream.backdropPNG(key);
    ASSERT_NE(sent, nullptr);
    EXPECT_EQ(Image::imageWithData(*sent, 3).pixelAt(500, 700), backdrop.pixelAt(500, 700));

    // Strips 1 and 3 have the pixels of before and keep that encoding.
    stream.publish(white);
    const Image next = draw(2);
    auto notices = stream.publish(next);
    ASSERT_EQ(notices.size(), 4u);
    for (auto& notice : notices) {
        EXPECT_EQ(notice.onBackdrop, notice.part % 2 == 0) << notice.part;
        EXPECT_EQ(notice.backdrop, notice.onBackdrop ? key : "");
        int x0 = notice.x, y0 = notice.y;
        if (notice.onBackdrop)
            x0 = notice.sentX, y0 = notice.sentY;
        Image part = Image::imageWithData(*stream.patchPNG(notice.sequence), 1);
        for (int y = notice.y; y < notice.y + notice.patchHeight; ++y) {
            for (int x = 0; x < notice.patchWidth; ++x) {
                Color shown = part.pixelAt(x - x0, y - y0);
                if (shown.alpha == 0) {
                    ASSERT_TRUE(notice.onBackdrop) << x << "," << y;
                    shown = backdrop.pixelAt(x, y);
                }
                ASSERT_EQ(shown.hex(), next.pixelAt(x, y).hex()) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(notices[0].sentY, 66); // from the dot's top
    Image whole = Image::imageWithData(*stream.framePNG(), 1);
    for (Point at : {Point(500, 700), Point(950, 1400)})
        EXPECT_EQ(whole.pixelAt(at.x, at.y), next.pixelAt(at.x, at.y));

    // The backdrop itself: nothing to send of the strips not seen before.
    stream.publish(white);
    auto bare = stream.publish(backdrop);
    EXPECT_TRUE(bare[0].onBackdrop);
    EXPECT_EQ(bare[0].sentWidth, 0);
    EXPECT_TRUE(stream.patchPNG(bare[0].sequence)->empty());

    // Turned, the window has none: the one held stays.
    stream.setBackdrop(2, Image {});
    EXPECT_EQ(stream.backdropKey(), key);

    // Another backdrop (a theme chosen): parts as they are until a page has that one.
    stream.setBackdrop(3, screenWith(Rect(0, 0, 10, 10), size, 3));
    stream.publish(white);
    for (auto& notice : stream.publish(draw(3)))
        EXPECT_FALSE(notice.onBackdrop);
}

#pragma once

#include <cstdint>
#include <string>

namespace platform::graphics {

// A small PNG writer for Cairo's 32-bit pixels, for screen frames sent to the browser many
// times a second: rows filtered one by one (Up or Sub, quick to decode), compressed with libdeflate.
class PngEncoder {
public:
    enum class Speed { Fast, Small };

    // `pixels`: rows of native-endian 32-bit premultiplied ARGB (or xRGB when !hasAlpha),
    // `stride` bytes apart. Answers the PNG file bytes, empty on failure.
    //
    // `reference` (xRGB only; the same layout and stride): pixels a reader already has. Where a
    // pixel equals the reference's it is written as a colour the PNG marks transparent, so a
    // reader draws the reference first and the image over it; runs of it deflate to almost
    // nothing. `holes` tells whether any pixel was left out that way.
    static std::string encode(const unsigned char* pixels, int width, int height, int stride, bool hasAlpha,
        Speed speed = Speed::Fast, const unsigned char* reference = nullptr, bool* holes = nullptr);
};

} // namespace platform::graphics

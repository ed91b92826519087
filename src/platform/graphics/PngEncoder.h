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
    static std::string encode(const unsigned char* pixels, int width, int height, int stride, bool hasAlpha,
        Speed speed = Speed::Fast);
};

} // namespace platform::graphics

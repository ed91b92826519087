#include "platform/graphics/PngEncoder.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace platform::graphics {

namespace {

void appendUint32(std::string& out, std::uint32_t value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendUint32(out, static_cast<std::uint32_t>(data.size()));
    const size_t start = out.size();
    out.append(type, 4);
    out.append(data);
    uLong crc
        = crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(out.size() - start));
    appendUint32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::string PngEncoder::encode(
    const unsigned char* pixels, int width, int height, int stride, bool hasAlpha, Speed speed) {
    if (!pixels || width <= 0 || height <= 0 || stride < width * 4)
        return {};
    const int channels = hasAlpha ? 4 : 3;
    const size_t rowBytes = static_cast<size_t>(width) * channels;

    z_stream stream {};
    // Filter "Sub" with run-length matching suits flat interface pictures and is quick.
    if (deflateInit2(&stream, speed == Speed::Fast ? 1 : 6, Z_DEFLATED, 15, 8,
            speed == Speed::Fast ? Z_RLE : Z_DEFAULT_STRATEGY)
        != Z_OK)
        return {};
    std::string compressed;
    compressed.resize(deflateBound(&stream, static_cast<uLong>((rowBytes + 1) * height)));
    stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
    stream.avail_out = static_cast<uInt>(compressed.size());

    std::vector<unsigned char> raw(rowBytes), filtered(rowBytes + 1);
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        const unsigned char* source = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, source + static_cast<std::ptrdiff_t>(x) * 4, 4);
            unsigned a = hasAlpha ? pixel >> 24 : 255;
            unsigned r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
            if (a != 255 && a != 0) {
                r = (r * 255 + a / 2) / a, g = (g * 255 + a / 2) / a, b = (b * 255 + a / 2) / a;
            }
            unsigned char* out = raw.data() + static_cast<std::ptrdiff_t>(x) * channels;
            out[0] = static_cast<unsigned char>(r > 255 ? 255 : r);
            out[1] = static_cast<unsigned char>(g > 255 ? 255 : g);
            out[2] = static_cast<unsigned char>(b > 255 ? 255 : b);
            if (hasAlpha)
                out[3] = static_cast<unsigned char>(a);
        }
        filtered[0] = 1; // Sub
        for (size_t i = 0; i < rowBytes; ++i)
            filtered[i + 1]
                = static_cast<unsigned char>(raw[i] - (i >= size_t(channels) ? raw[i - channels] : 0));
        stream.next_in = filtered.data();
        stream.avail_in = static_cast<uInt>(filtered.size());
        ok = deflate(&stream, y + 1 == height ? Z_FINISH : Z_NO_FLUSH) != Z_STREAM_ERROR
            && stream.avail_in == 0;
    }
    ok = ok && stream.avail_out > 0;
    compressed.resize(stream.total_out);
    deflateEnd(&stream);
    if (!ok)
        return {};

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    appendUint32(header, static_cast<std::uint32_t>(width));
    appendUint32(header, static_cast<std::uint32_t>(height));
    header += char(8); // bits per channel
    header += char(hasAlpha ? 6 : 2); // RGBA or RGB
    header.append("\0\0\0", 3); // deflate, adaptive filtering, no interlace
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace platform::graphics

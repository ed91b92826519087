#include "platform/graphics/PngEncoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform::graphics {

namespace {

void appendUint32(std::string& out, std::uint32_t value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

void appendChunk(std::string& out, const char* type, const unsigned char* data, size_t size) {
    appendUint32(out, static_cast<std::uint32_t>(size));
    const size_t start = out.size();
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), size);
    uLong crc
        = crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(out.size() - start));
    appendUint32(out, static_cast<std::uint32_t>(crc));
}

enum Filter : unsigned char { kNone = 0, kSub = 1, kUp = 2 };

// Where further levels stop paying for screens: the bytes barely shrink, the time grows.
constexpr int kFastLevel = 6;

// A row of Cairo's pixels as PNG bytes: RGB, or RGBA with the alpha taken out again.
void convertRow(const unsigned char* source, int width, bool hasAlpha, unsigned char* out) {
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(source);
    if (!hasAlpha) {
        // One four-byte store per pixel, its last byte overwritten by the next pixel (the
        // row has a byte to spare after it): half the time of three single-byte stores.
        for (int x = 0; x < width; ++x) {
            std::uint32_t rgb = __builtin_bswap32(pixels[x] << 8); // R, G, B, 0 in memory
            std::memcpy(out, &rgb, 4);
            out += 3;
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        std::uint32_t pixel = pixels[x];
        unsigned r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
        unsigned a = pixel >> 24;
        if (a != 255 && a != 0) {
            r = (r * 255 + a / 2) / a, g = (g * 255 + a / 2) / a, b = (b * 255 + a / 2) / a;
        }
        out[0] = static_cast<unsigned char>(r > 255 ? 255 : r);
        out[1] = static_cast<unsigned char>(g > 255 ? 255 : g);
        out[2] = static_cast<unsigned char>(b > 255 ? 255 : b);
        out[3] = static_cast<unsigned char>(a);
        out += 4;
    }
}

// Filters one row into out[0] (the filter type) and out[1..]: rows equal to the one above
// become zeros (Up); others take Sub or Up, whichever leaves smaller values (the usual guess
// at what deflates best; summed over the whole row, which the compiler vectorizes). Sub suits the flat
// colours and horizontal gradients of interface pictures, Up what repeats down the screen. Paeth would save a
// few per cent more but takes browsers three times as long to decode.
void filterRow(const unsigned char* __restrict row, const unsigned char* __restrict above, size_t size,
    int channels, unsigned char* __restrict out) {
    const size_t c = static_cast<size_t>(channels);
    unsigned char* filtered = out + 1;
    if (above && std::memcmp(row, above, size) == 0) {
        out[0] = kUp;
        std::memset(filtered, 0, size);
        return;
    }
    bool up = false;
    if (above) {
        unsigned sub = 0, vertical = 0; // at most 512 a pixel: room for 8 million across
        for (size_t i = c; i < size; ++i) {
            auto left = static_cast<signed char>(row[i] - row[i - c]);
            auto top = static_cast<signed char>(row[i] - above[i]);
            sub += static_cast<unsigned>(left < 0 ? -left : left);
            vertical += static_cast<unsigned>(top < 0 ? -top : top);
        }
        up = vertical < sub;
    }
    if (up) {
        out[0] = kUp;
        for (size_t i = 0; i < size; ++i)
            filtered[i] = static_cast<unsigned char>(row[i] - above[i]);
        return;
    }
    out[0] = kSub;
    for (size_t i = 0; i < c && i < size; ++i)
        filtered[i] = row[i];
    for (size_t i = c; i < size; ++i)
        filtered[i] = static_cast<unsigned char>(row[i] - row[i - c]);
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

} // namespace

std::string PngEncoder::encode(
    const unsigned char* pixels, int width, int height, int stride, bool hasAlpha, Speed speed) {
    if (!pixels || width <= 0 || height <= 0 || stride < width * 4)
        return {};
    const int channels = hasAlpha ? 4 : 3;
    const size_t rowBytes = static_cast<size_t>(width) * channels;

    // Kept between frames: fresh buffers of this size cost more in page faults than in work.
    thread_local std::vector<unsigned char> filtered, compressed, rows;
    filtered.resize((rowBytes + 1) * static_cast<size_t>(height));
    const size_t rowSpace = rowBytes + 1; // each row a byte to spare for convertRow
    rows.resize(rowSpace * 2);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = rows.data() + rowSpace * static_cast<size_t>(y % 2);
        const unsigned char* above
            = y > 0 ? rows.data() + rowSpace * static_cast<size_t>((y + 1) % 2) : nullptr;
        convertRow(pixels + static_cast<std::ptrdiff_t>(y) * stride, width, hasAlpha, row);
        filterRow(row, above, rowBytes, channels, filtered.data() + (rowBytes + 1) * static_cast<size_t>(y));
    }

    // libdeflate compresses a whole buffer at once, faster and smaller than zlib's stream at
    // the same level.
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> fast(
        libdeflate_alloc_compressor(kFastLevel));
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> small(
        libdeflate_alloc_compressor(9));
    libdeflate_compressor* compressor = speed == Speed::Fast ? fast.get() : small.get();
    if (!compressor)
        return {};
    compressed.resize(libdeflate_zlib_compress_bound(compressor, filtered.size()));
    size_t size = libdeflate_zlib_compress(
        compressor, filtered.data(), filtered.size(), compressed.data(), compressed.size());
    if (size == 0)
        return {};

    std::string png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(size + 64);
    unsigned char header[13];
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(static_cast<std::uint32_t>(width) >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(height) >> (24 - 8 * i));
    }
    header[8] = 8; // bits per channel
    header[9] = hasAlpha ? 6 : 2; // RGBA or RGB
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filtering, no interlace
    appendChunk(png, "IHDR", header, sizeof header);
    appendChunk(png, "IDAT", compressed.data(), size);
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace platform::graphics

#include "platform/graphics/Image.h"

#include <cstdint>
#include <cstdio>

#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/PngEncoder.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace platform::graphics {

namespace {

std::shared_ptr<cairo_surface_t> adopt(cairo_surface_t* surface) {
    return std::shared_ptr<cairo_surface_t>(surface, cairo_surface_destroy);
}

// Pixels we can read directly: 32 bits per pixel, with or without alpha.
cairo_surface_t* normalized(cairo_surface_t* surface) {
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS
        || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
        if (surface)
            cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24)
        return surface;
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    cairo_surface_t* converted = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(converted);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return converted;
}

struct ByteReader {
    std::string_view bytes;
    size_t position {0};
};

cairo_status_t readBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<ByteReader*>(closure);
    if (reader->bytes.size() - reader->position < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes.data() + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

bool swapsAxes(ImageOrientation o) {
    return o == ImageOrientation::Left || o == ImageOrientation::Right || o == ImageOrientation::LeftMirrored
        || o == ImageOrientation::RightMirrored;
}

cairo_filter_t filterFor(InterpolationQuality quality) {
    switch (quality) {
    case InterpolationQuality::None:
        return CAIRO_FILTER_NEAREST;
    case InterpolationQuality::Low:
        return CAIRO_FILTER_FAST;
    case InterpolationQuality::High:
        return CAIRO_FILTER_BEST;
    case InterpolationQuality::Medium:
    case InterpolationQuality::Default:
        break;
    }
    return CAIRO_FILTER_GOOD;
}

// The split of one axis of a stretchable image: source segment edges (points of the
// upright image) and destination edges.
struct Segments {
    int count {1};
    double source[4] {};
    double dest[4] {};
};

Segments segmentsFor(double imageLength, int cap, double destStart, double destLength) {
    Segments s;
    if (cap <= 0 || imageLength <= cap) {
        s.source[0] = 0, s.source[1] = imageLength;
        s.dest[0] = destStart, s.dest[1] = destStart + destLength;
        return s;
    }
    double first = cap;
    double last = std::max(0.0, imageLength - cap - 1);
    double middle = imageLength - first - last;
    s.count = 3;
    s.source[0] = 0, s.source[1] = first, s.source[2] = first + middle, s.source[3] = imageLength;
    double shrink = destLength < first + last ? destLength / (first + last) : 1;
    s.dest[0] = destStart;
    s.dest[1] = destStart + first * shrink;
    s.dest[2] = destStart + destLength - last * shrink;
    s.dest[3] = destStart + destLength;
    return s;
}

} // namespace

Image::Image(cairo_surface_t* surface, double scale, ImageOrientation orientation)
    : m_scale(std::isfinite(scale) && scale > 0 ? scale : 1)
    , m_orientation(orientation) {
    if (surface) {
        cairo_surface_reference(surface);
        if (cairo_surface_t* pixels = normalized(surface))
            m_pixels = adopt(pixels);
    }
}

namespace {

std::string readHeader(const std::string& path) {
    std::string header(24, '\0');
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    header.resize(std::fread(header.data(), 1, header.size(), file));
    std::fclose(file);
    return header;
}

// Pictures come from users and restored backups: one that would take gigabytes to decode is
// refused before any pixel is.
bool isDecodable(std::string_view bytes) {
    int width = 0, height = 0;
    return Image::pngPixelSize(bytes, width, height)
        && static_cast<long long>(width) * height <= Image::kMaxDecodedPixels;
}

} // namespace

cairo_surface_t* Image::reusableSurface() const {
    if (!m_pixels || m_pixels.use_count() != 1 || cairo_surface_get_reference_count(m_pixels.get()) != 1)
        return nullptr;
    return m_pixels.get();
}

Image Image::imageWithContentsOfFile(const std::string& path) {
    std::string chosen = path;
    double scale = 1;
    std::string base = fs::deletingPathExtension(path);
    std::string extension = fs::pathExtension(path);
    if (base.size() >= 3 && base.compare(base.size() - 3, 3, "@2x") == 0) {
        scale = 2;
    } else if (ImageContext::mainScreenScale() >= 2) {
        std::string retina = base + "@2x" + (extension.empty() ? "" : "." + extension);
        if (fs::fileExists(retina)) {
            chosen = retina;
            scale = 2;
        }
    }
    if (!isDecodable(readHeader(chosen)))
        return {};
    cairo_surface_t* surface = normalized(cairo_image_surface_create_from_png(chosen.c_str()));
    if (!surface)
        return {};
    Image image;
    image.m_pixels = adopt(surface);
    image.m_scale = scale;
    return image;
}

Image Image::imageNamed(const std::string& name) {
    if (name.empty())
        return {};
    std::string file = fs::pathExtension(name).empty() ? name + ".png" : name;
    std::string path = fs::joinPath(Bundle::mainBundle().resourcePath(), file);
    // Named images are shared, as on the phone; themes ask for the same ones every frame.
    thread_local std::map<std::string, Image> cache;
    std::string key = path + "|" + std::to_string(ImageContext::mainScreenScale());
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    Image image = imageWithContentsOfFile(path);
    if (image)
        cache.emplace(key, image);
    return image;
}

bool Image::pngPixelSize(std::string_view bytes, int& width, int& height) {
    static constexpr std::string_view signature {"\x89PNG\r\n\x1a\n", 8};
    if (bytes.size() < 24 || bytes.substr(0, 8) != signature || bytes.substr(12, 4) != "IHDR")
        return false;
    auto read = [&](size_t at) {
        std::uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    const std::uint32_t w = read(16), h = read(20);
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

Image Image::imageWithData(std::string_view pngBytes, double scale) {
    if (!isDecodable(pngBytes))
        return {};
    ByteReader reader {pngBytes};
    cairo_surface_t* surface = normalized(cairo_image_surface_create_from_png_stream(readBytes, &reader));
    if (!surface)
        return {};
    Image image;
    image.m_pixels = adopt(surface);
    image.m_scale = std::isfinite(scale) && scale > 0 ? scale : 1;
    return image;
}

int Image::pixelWidth() const {
    return m_pixels ? cairo_image_surface_get_width(m_pixels.get()) : 0;
}

int Image::pixelHeight() const {
    return m_pixels ? cairo_image_surface_get_height(m_pixels.get()) : 0;
}

Size Image::size() const {
    Size stored {pixelWidth() / m_scale, pixelHeight() / m_scale};
    return swapsAxes(m_orientation) ? Size {stored.height, stored.width} : stored;
}

Image Image::withOrientation(ImageOrientation orientation) const {
    Image copy = *this;
    copy.m_orientation = orientation;
    return copy;
}

Image Image::withScale(double scale) const {
    Image copy = *this;
    if (std::isfinite(scale) && scale > 0)
        copy.m_scale = scale;
    return copy;
}

Image Image::stretchableImageWithLeftCapWidth(int leftCapWidth, int topCapHeight) const {
    Image copy = *this;
    copy.m_leftCapWidth = std::max(0, leftCapWidth);
    copy.m_topCapHeight = std::max(0, topCapHeight);
    return copy;
}

namespace {

// Stored pixels to upright points.
cairo_matrix_t pixelToUpright(
    ImageOrientation orientation, double storedWidth, double storedHeight, double scale) {
    const double w = storedWidth, h = storedHeight;
    cairo_matrix_t m;
    switch (orientation) {
    case ImageOrientation::Up:
        cairo_matrix_init(&m, 1, 0, 0, 1, 0, 0);
        break;
    case ImageOrientation::Down:
        cairo_matrix_init(&m, -1, 0, 0, -1, w, h);
        break;
    case ImageOrientation::Left: // turned anticlockwise: (x, y) -> (y, w - x)
        cairo_matrix_init(&m, 0, -1, 1, 0, 0, w);
        break;
    case ImageOrientation::Right: // turned clockwise: (x, y) -> (h - y, x)
        cairo_matrix_init(&m, 0, 1, -1, 0, h, 0);
        break;
    case ImageOrientation::UpMirrored:
        cairo_matrix_init(&m, -1, 0, 0, 1, w, 0);
        break;
    case ImageOrientation::DownMirrored:
        cairo_matrix_init(&m, 1, 0, 0, -1, 0, h);
        break;
    case ImageOrientation::LeftMirrored: // transposed
        cairo_matrix_init(&m, 0, 1, 1, 0, 0, 0);
        break;
    case ImageOrientation::RightMirrored: // (x, y) -> (h - y, w - x)
        cairo_matrix_init(&m, 0, -1, -1, 0, h, w);
        break;
    }
    cairo_matrix_t toPoints;
    cairo_matrix_init_scale(&toPoints, 1 / scale, 1 / scale);
    cairo_matrix_t result;
    cairo_matrix_multiply(&result, &toPoints, &m); // first to points, then turn
    return result;
}

} // namespace

void Image::drawInRect(Context& context, Rect rect) const {
    drawInRect(context, rect, 1);
}

void Image::drawInRect(Context& context, Rect rect, double alpha) const {
    if (!m_pixels || !std::isfinite(rect.x()) || !std::isfinite(rect.y()) || !std::isfinite(rect.width())
        || !std::isfinite(rect.height()))
        return;
    rect = rect.standardized();
    Size upright = size();
    if (rect.isEmpty() || upright.width <= 0 || upright.height <= 0)
        return;

    const cairo_matrix_t toUpright
        = pixelToUpright(m_orientation, pixelWidth() / m_scale, pixelHeight() / m_scale, m_scale);
    const Segments columns = segmentsFor(upright.width, m_leftCapWidth, rect.x(), rect.width());
    const Segments rows = segmentsFor(upright.height, m_topCapHeight, rect.y(), rect.height());
    const bool patched = columns.count > 1 || rows.count > 1;
    const cairo_filter_t filter = filterFor(context.interpolationQuality());
    const double paintAlpha = std::clamp(alpha, 0.0, 1.0) * context.alpha();
    cairo_surface_t* pixels = m_pixels.get();

    auto paint = [&](cairo_t* cr) {
        for (int row = 0; row < rows.count; ++row) {
            for (int column = 0; column < columns.count; ++column) {
                double sx = columns.source[column], sw = columns.source[column + 1] - sx;
                double sy = rows.source[row], sh = rows.source[row + 1] - sy;
                double dx = columns.dest[column], dw = columns.dest[column + 1] - dx;
                double dy = rows.dest[row], dh = rows.dest[row + 1] - dy;
                if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
                    continue;
                // pixels -> upright points -> this patch of the destination
                cairo_matrix_t patch;
                cairo_matrix_init(&patch, dw / sw, 0, 0, dh / sh, dx - sx * dw / sw, dy - sy * dh / sh);
                cairo_matrix_t toUser;
                cairo_matrix_multiply(&toUser, &toUpright, &patch);
                // Each patch samples only its own pixels, so a stretched middle does not
                // blend into the caps beside it.
                cairo_surface_t* source = pixels;
                bool subSurface = false;
                if (patched) {
                    cairo_matrix_t toStored = toUpright;
                    cairo_matrix_invert(&toStored);
                    double xs[2] = {sx, sx + sw}, ys[2] = {sy, sy + sh};
                    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
                    for (double ux : xs)
                        for (double uy : ys) {
                            double px = ux, py = uy;
                            cairo_matrix_transform_point(&toStored, &px, &py);
                            x0 = std::min(x0, px), y0 = std::min(y0, py), x1 = std::max(x1, px),
                            y1 = std::max(y1, py);
                        }
                    x0 = std::round(x0), y0 = std::round(y0), x1 = std::round(x1), y1 = std::round(y1);
                    if (x1 > x0 && y1 > y0) {
                        source = cairo_surface_create_for_rectangle(pixels, x0, y0, x1 - x0, y1 - y0);
                        subSurface = true;
                        cairo_matrix_t offset;
                        cairo_matrix_init_translate(&offset, x0, y0);
                        cairo_matrix_t shifted;
                        cairo_matrix_multiply(&shifted, &offset, &toUser);
                        toUser = shifted;
                    }
                }
                cairo_matrix_t patternMatrix = toUser;
                if (cairo_matrix_invert(&patternMatrix) != CAIRO_STATUS_SUCCESS) {
                    if (subSurface)
                        cairo_surface_destroy(source);
                    continue;
                }
                cairo_save(cr);
                cairo_new_path(cr);
                // Pixel-aligned patch clips meet without seams.
                if (patched)
                    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
                cairo_rectangle(cr, dx, dy, dw, dh);
                cairo_clip(cr);
                cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source);
                cairo_pattern_set_matrix(pattern, &patternMatrix);
                cairo_pattern_set_filter(pattern, filter);
                cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
                cairo_set_source(cr, pattern);
                cairo_paint_with_alpha(cr, paintAlpha);
                cairo_pattern_destroy(pattern);
                if (subSurface)
                    cairo_surface_destroy(source);
                cairo_restore(cr);
            }
        }
    };

    cairo_t* cr = context.cairo();
    cairo_path_t* path = cairo_has_current_point(cr) ? cairo_copy_path(cr) : nullptr;
    cairo_new_path(cr);
    Rect deviceBounds;
    {
        double xs[4] = {rect.minX(), rect.maxX(), rect.minX(), rect.maxX()};
        double ys[4] = {rect.minY(), rect.minY(), rect.maxY(), rect.maxY()};
        double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
        for (int i = 0; i < 4; ++i) {
            cairo_user_to_device(cr, &xs[i], &ys[i]);
            x0 = std::min(x0, xs[i]), y0 = std::min(y0, ys[i]);
            x1 = std::max(x1, xs[i]), y1 = std::max(y1, ys[i]);
        }
        deviceBounds = {x0, y0, x1 - x0, y1 - y0};
    }
    context.paintWithShadow(deviceBounds, paint);
    if (path) {
        cairo_append_path(cr, path);
        cairo_path_destroy(path);
    }
}

void Image::drawAtPoint(Context& context, Point point) const {
    Size s = size();
    drawInRect(context, {point.x, point.y, s.width, s.height});
}

namespace {

// The upright pixels as an image surface (a new reference).
cairo_surface_t* uprightSurface(const Image& image) {
    cairo_surface_t* stored = image.cairoSurface();
    if (image.orientation() == ImageOrientation::Up)
        return cairo_surface_reference(stored);
    int width = image.pixelWidth(), height = image.pixelHeight();
    if (swapsAxes(image.orientation()))
        std::swap(width, height);
    cairo_surface_t* surface
        = cairo_image_surface_create(cairo_image_surface_get_format(stored), width, height);
    Context context(surface, image.scale());
    Image unstretched = image.stretchableImageWithLeftCapWidth(0, 0);
    unstretched.drawInRect(context, {0, 0, width / image.scale(), height / image.scale()});
    cairo_surface_flush(surface);
    return surface;
}

} // namespace

std::string Image::pngData(bool compressionFast) const {
    if (!m_pixels)
        return {};
    cairo_surface_t* surface = uprightSurface(*this);
    std::string bytes;
    if (compressionFast) {
        cairo_surface_flush(surface);
        bytes = PngEncoder::encode(cairo_image_surface_get_data(surface),
            cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
            cairo_image_surface_get_stride(surface),
            cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32, PngEncoder::Speed::Fast);
    } else if (cairo_surface_write_to_png_stream(surface, appendBytes, &bytes) != CAIRO_STATUS_SUCCESS) {
        bytes.clear();
    }
    cairo_surface_destroy(surface);
    return bytes;
}

bool Image::writeToFile(const std::string& path, std::string* error) const {
    std::string bytes = pngData();
    if (bytes.empty()) {
        if (error)
            *error = "The image could not be encoded as PNG.";
        return false;
    }
    return fs::writeFileAtomically(path, bytes, error);
}

Color Image::pixelAt(int x, int y) const {
    if (!m_pixels || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight())
        return Color::clear();
    cairo_surface_t* surface = m_pixels.get();
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface)
        + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    std::uint32_t pixel;
    std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof pixel);
    double a = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32 ? (pixel >> 24) / 255.0 : 1.0;
    if (a == 0)
        return Color::clear();
    auto channel = [&](int shift) { return std::min(1.0, ((pixel >> shift) & 0xff) / 255.0 / a); };
    return Color::rgba(channel(16), channel(8), channel(0), a);
}

Color Image::colorAtPoint(Point point) const {
    if (!m_pixels)
        return Color::clear();
    cairo_matrix_t m
        = pixelToUpright(m_orientation, pixelWidth() / m_scale, pixelHeight() / m_scale, m_scale);
    if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS)
        return Color::clear();
    double x = point.x, y = point.y;
    cairo_matrix_transform_point(&m, &x, &y);
    return pixelAt(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

} // namespace platform::graphics

#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

typedef struct _cairo_surface cairo_surface_t;

namespace platform::graphics {

class Context;

// How the stored pixels are turned to be shown upright, as a camera records it.
enum class ImageOrientation {
    Up, // as stored
    Down, // turned 180°
    Left, // turned 90° anticlockwise
    Right, // turned 90° clockwise
    UpMirrored, // mirrored left to right
    DownMirrored, // mirrored top to bottom
    LeftMirrored, // mirrored, then turned 90° anticlockwise
    RightMirrored, // mirrored, then turned 90° clockwise
};

// An immutable bitmap (32-bit premultiplied ARGB) with a scale (pixels per point), an
// orientation and optional stretch caps. A cheap value: copies share the pixels. A
// default-constructed image is null (no pixels); loaders answer a null image on failure.
class Image {
public:
    // Larger PNGs are not decoded (64 MB of pixels).
    static constexpr long long kMaxDecodedPixels = 4096LL * 4096;

    Image() = default;
    // Takes a reference to `surface` (an image surface) holding the pixels as stored.
    Image(cairo_surface_t* surface, double scale, ImageOrientation orientation = ImageOrientation::Up);

    // Loads a PNG file (none when it declares more than kMaxDecodedPixels). When the main screen scale
    // (ImageContext::mainScreenScale) is 2 and
    // "<base>@2x.<ext>" exists beside it, that file is loaded with scale 2; a path that names
    // an "@2x" file itself also gives scale 2.
    static Image imageWithContentsOfFile(const std::string& path);
    // A PNG from the bundle's resource folder: "name" or "name.png", with the "@2x" rule.
    static Image imageNamed(const std::string& name);
    // Decodes PNG bytes; the image gets `scale`.
    static Image imageWithData(std::string_view pngBytes, double scale = 1);
    // The pixel size a PNG declares in its header, read without decoding anything; false
    // for bytes that do not start like a PNG. Lets callers refuse a picture whose decoding
    // would take gigabytes.
    static bool pngPixelSize(std::string_view pngBytes, int& width, int& height);

    explicit operator bool() const { return m_pixels != nullptr; }
    bool isNull() const { return m_pixels == nullptr; }

    // Size in points as shown (orientation applied): pixels ÷ scale, width and height
    // swapped for the left and right orientations.
    Size size() const;
    double scale() const { return m_scale; }
    ImageOrientation orientation() const { return m_orientation; }
    int pixelWidth() const; // as stored
    int pixelHeight() const; // as stored

    // Same pixels, another orientation or scale.
    Image withOrientation(ImageOrientation orientation) const;
    Image withScale(double scale) const;

    // Stretchable images, as on the phone: the left cap is drawn unscaled, the one-point
    // column after it is stretched, and the rest (width - left cap - 1) is the right cap
    // drawn unscaled; the same vertically with the top cap. A cap of 0 scales the whole
    // image that way. Drawn smaller than its caps, the caps shrink proportionally.
    Image stretchableImageWithLeftCapWidth(int leftCapWidth, int topCapHeight) const;
    int leftCapWidth() const { return m_leftCapWidth; }
    int topCapHeight() const { return m_topCapHeight; }

    // Drawing into a context: in `rect` (scaled, or stretched by the caps), or at its size.
    void drawInRect(Context& context, Rect rect) const;
    void drawAtPoint(Context& context, Point point) const;
    // Same, multiplying its alpha.
    void drawInRect(Context& context, Rect rect, double alpha) const;

    // PNG encoding of the upright pixels (orientation applied). compressionFast trades size
    // for speed (frames sent to the browser). Empty on failure.
    std::string pngData(bool compressionFast = false) const;
    // Writes the PNG atomically (a temporary file in the same folder, then a rename).
    bool writeToFile(const std::string& path, std::string* error = nullptr) const;

    // Raw pixel access (stored layout, orientation not applied), unpremultiplied.
    Color pixelAt(int x, int y) const;
    // The upright pixel under a point in points (orientation and scale applied).
    Color colorAtPoint(Point point) const;

    // For the graphics layer: the stored pixels.
    cairo_surface_t* cairoSurface() const { return m_pixels.get(); }
    // The stored pixels to draw into again, when this image is their only holder (a frame
    // buffer handed back for the next frame), else null. Drawing into them changes this image.
    cairo_surface_t* reusableSurface() const;

private:
    std::shared_ptr<cairo_surface_t> m_pixels;
    double m_scale {1};
    ImageOrientation m_orientation {ImageOrientation::Up};
    int m_leftCapWidth {0};
    int m_topCapHeight {0};
};

} // namespace platform::graphics

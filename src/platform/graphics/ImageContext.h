#pragma once

#include "platform/graphics/Context.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <memory>

namespace platform::graphics {

// An offscreen bitmap to draw into and take images from. Either used directly
// (ImageContext ctx(size, false, 2); draw on ctx.context(); ctx.image()) or through the
// phone-style stack of current image contexts (begin / current / image / end), which
// drawing helpers without a context parameter use.
class ImageContext {
public:
    // `size` in points (rounded up to whole pixels); scale 0 means the main screen scale.
    // An opaque context starts opaque black and its image has no transparency; a
    // non-opaque one starts fully transparent.
    ImageContext(Size size, bool opaque = false, double scale = 0);
    ~ImageContext();
    ImageContext(const ImageContext&) = delete;
    ImageContext& operator=(const ImageContext&) = delete;

    Context& context() { return *m_context; }
    Size size() const { return m_size; }
    double scale() const { return m_scale; }
    // A snapshot of what has been drawn so far (later drawing does not change it).
    Image image() const;
    // What has been drawn, without a copy; the context draws nothing more afterwards.
    Image takeImage();

    // The stack of current image contexts (per thread).
    static void beginImageContext(Size size, bool opaque = false, double scale = 0);
    static Context* currentContext(); // null when no image context is open
    static Image imageFromCurrentImageContext(); // null image when none is open
    static void endImageContext(); // ignored when none is open

    // The main screen's scale (pixels per point), 2 unless set (tests, the shell).
    static double mainScreenScale();
    static void setMainScreenScale(double scale);

private:
    Size m_size;
    double m_scale {1};
    bool m_opaque {false};
    cairo_surface_t* m_surface {nullptr};
    std::unique_ptr<Context> m_context;
};

} // namespace platform::graphics

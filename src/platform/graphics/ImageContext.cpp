#include "platform/graphics/ImageContext.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace platform::graphics {

namespace {

std::atomic<double> g_mainScreenScale {2};

std::vector<std::unique_ptr<ImageContext>>& contextStack() {
    thread_local std::vector<std::unique_ptr<ImageContext>> stack;
    return stack;
}

int pixels(double points, double scale) {
    double value = std::isfinite(points) && points > 0 ? std::ceil(points * scale - 1e-6) : 0;
    return static_cast<int>(std::min(value, 32767.0)); // Cairo's image size limit
}

} // namespace

ImageContext::ImageContext(Size size, bool opaque, double scale)
    : m_size(size)
    , m_scale(std::isfinite(scale) && scale > 0 ? scale : mainScreenScale())
    , m_opaque(opaque) {
    m_surface = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
        pixels(size.width, m_scale), pixels(size.height, m_scale));
    m_context = std::make_unique<Context>(m_surface, m_scale);
}

ImageContext::~ImageContext() {
    m_context.reset();
    cairo_surface_destroy(m_surface);
}

Image ImageContext::image() const {
    cairo_surface_flush(m_surface);
    int width = cairo_image_surface_get_width(m_surface), height = cairo_image_surface_get_height(m_surface);
    if (width == 0 || height == 0)
        return {};
    cairo_surface_t* copy
        = cairo_image_surface_create(cairo_image_surface_get_format(m_surface), width, height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, m_surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    Image result(copy, m_scale);
    cairo_surface_destroy(copy);
    return result;
}

Image ImageContext::takeImage() {
    m_context.reset();
    cairo_surface_flush(m_surface);
    if (cairo_image_surface_get_width(m_surface) == 0 || cairo_image_surface_get_height(m_surface) == 0)
        return {};
    Image result(m_surface, m_scale);
    // The image holds the pixels now; a fresh (empty) surface keeps this context harmless.
    cairo_surface_destroy(m_surface);
    m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 0, 0);
    m_context = std::make_unique<Context>(m_surface, m_scale);
    return result;
}

void ImageContext::beginImageContext(Size size, bool opaque, double scale) {
    contextStack().push_back(std::make_unique<ImageContext>(size, opaque, scale));
}

Context* ImageContext::currentContext() {
    auto& stack = contextStack();
    return stack.empty() ? nullptr : &stack.back()->context();
}

Image ImageContext::imageFromCurrentImageContext() {
    auto& stack = contextStack();
    return stack.empty() ? Image() : stack.back()->image();
}

void ImageContext::endImageContext() {
    auto& stack = contextStack();
    if (!stack.empty())
        stack.pop_back();
}

double ImageContext::mainScreenScale() {
    return g_mainScreenScale.load();
}

void ImageContext::setMainScreenScale(double scale) {
    if (std::isfinite(scale) && scale > 0)
        g_mainScreenScale.store(scale);
}

} // namespace platform::graphics

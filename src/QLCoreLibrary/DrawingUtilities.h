#pragma once

#include <string>

#include "platform/graphics/Color.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

// The in-house drawing toolkit: rounded rectangles, offscreen image contexts, two-colour
// gradients, the maker's logo and text measuring. Main thread only.

// Adds a closed rounded-rectangle subpath to the context's current path; each corner is a
// quarter ellipse of ovalWidth by ovalHeight. With either oval size 0 the plain rectangle
// is added. The graphics state is left as it was.
void QLAddRoundedRect(
    platform::graphics::Context& context, platform::graphics::Rect rect, double ovalWidth, double ovalHeight);

// Begins an offscreen image context of `size` points at the main screen's pixel scale and
// makes it the current one (platform::graphics::ImageContext::currentContext()). The caller
// ends it with ImageContext::endImageContext().
void QLBeginImageContext(platform::graphics::Size size, bool opaque);

// Gradient directions of QLDrawLinearGradient.
enum QLGradientDirection : int {
    QLGradientTopToBottom = 0,
    QLGradientLeftToRight = 1,
    QLGradientDiagonal = 2,
};

// Draws a two-stop gradient, `first` at 0 and `second` at `endLocation` (0..1), from the
// context origin to (0, h), (w, 0) or (w, h) of the rectangle's size for the directions
// 0, 1 and 2 (any other direction draws nothing). Only the rectangle's size is used: the
// caller translates or clips to place it. Nothing is drawn beyond the gradient's ends.
void QLDrawLinearGradient(platform::graphics::Context& context, platform::graphics::Rect rect,
    const platform::graphics::Color& first, const platform::graphics::Color& second, int direction,
    double endLocation);

// The maker's dot-matrix logo: one row of seven dots per character of "QUILLON", a dot for
// every set bit of the character code (bit 6 on the left), in `color`, `width` points wide.
platform::graphics::Image QLGetLogoImage(const platform::graphics::Color& color, double width);

// Geometry of the logo for a width: dot pitch s, gap g, dot size d, margin m.
struct QLLogoMetrics {
    double s {0};
    double g {0};
    double d {0};
    double m {0};
    platform::graphics::Size imageSize;
};
QLLogoMetrics QLGetLogoMetrics(double width);
inline constexpr const char* kQLLogoText = "QUILLON";

// The advance of `text` in the context's selected font, found by drawing it invisibly at
// the current text position. The text drawing mode stays invisible afterwards: the caller
// sets the fill mode again before drawing.
platform::graphics::Size MeasureText(platform::graphics::Context& context, const std::string& text);

#pragma once

#include <string>

#include "platform/graphics/Color.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

// Image helpers of the in-house library: glossy bar and button faces, resolution-dependent
// files, and the scaling and rounding of photographs. Main thread only (they draw through
// the current image context).

// The glossy face of bars and buttons in `color`, `size` points, clipped to rounded corners
// of `cornerRounding` when above 0. Stretchable: left cap = the rounding (whole points),
// top cap 0.
platform::graphics::Image glossyImageWithColor(
    const platform::graphics::Color& color, platform::graphics::Size size, double cornerRounding);

// The narrowest glossy face that stretches to any width: 2 × rounding + 1 points wide when
// the rounding is above 0, else 2, and `height` high.
platform::graphics::Image stretchableGlossyImageWithColor(
    const platform::graphics::Color& color, double height, double cornerRounding);

// On a screen of scale 2 the "<base>@2x.<ext>" file beside `path` when it exists (at scale
// 2), otherwise `path` itself. A null image when neither loads.
platform::graphics::Image imageWithContentsOfResolutionIndependentFile(const std::string& path);

// The image upright (its orientation applied), filling `size` points at the main screen's
// scale: scaled by the larger ratio and centred, the overflow cut off equally on both
// sides. An image of exactly that pixel size is copied unscaled. The result has the screen
// scale, so its size in points is `size`. A null image for a null image or an empty size.
platform::graphics::Image imageByScalingToSize(
    const platform::graphics::Image& image, platform::graphics::Size size);

// The image with its corners cut to quarter circles of `radius` points, same size.
platform::graphics::Image roundedCornerImageWithRadius(const platform::graphics::Image& image, int radius);

// Draws the image upright at its size at the context's origin.
void drawInContext(const platform::graphics::Image& image, platform::graphics::Context& context);

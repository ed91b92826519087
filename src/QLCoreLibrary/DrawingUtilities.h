#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Geometry.h"

// The in-house drawing functions.

// Sets high interpolation quality on the context (it stays set) and paints a two-stop
// gradient over the context's current clip: `first` at 0, `second` at `endLocation`, from the
// context origin (0, 0) to (0, height) for direction 0 (top to bottom), (width, 0) for 1
// (left to right), (width, height) for 2 (diagonal); any other direction has no length and
// paints nothing. Only the rectangle's size is used. Nothing is painted beyond the ends.
void QLDrawLinearGradient(platform::graphics::Context& context, platform::graphics::Rect rect,
    const platform::graphics::Color& first, const platform::graphics::Color& second, int direction,
    float endLocation);

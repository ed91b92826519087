#pragma once

#include <cstdint>
#include <optional>

#include "platform/graphics/Color.h"

// Colour helpers of the in-house library. Every colour of this platform is a device-RGB
// colour with alpha, so the component accessors always have an answer.

// 0xRRGGBB: each byte ÷ 255, alpha 1.
platform::graphics::Color colorWithHex(std::uint32_t hex);

struct RGBA {
    double red {0};
    double green {0};
    double blue {0};
    double alpha {0};
};
RGBA RGBComponents(const platform::graphics::Color& color);

// The same red, green and blue with another alpha.
platform::graphics::Color changeAlpha(const platform::graphics::Color& color, double alpha);

// Hue (a full turn is 1), saturation, brightness and alpha, each 0..1. A colour without
// saturation has hue 0 (it carries no meaning then).
struct HSBA {
    double hue {0};
    double saturation {0};
    double brightness {0};
    double alpha {0};
};
// None only for a colour that is not RGB; here that is one whose components are not
// finite numbers.
std::optional<HSBA> HSBComponents(const platform::graphics::Color& color);

// The colour of the given hue, saturation and brightness, each clamped to 0..1.
platform::graphics::Color colorWithHSB(double hue, double saturation, double brightness, double alpha);

// The colour with its hue, saturation and brightness moved by the differences (the results
// clamped to 0..1), alpha unchanged. A colour without HSB components is answered as it is.
platform::graphics::Color shiftHue(
    const platform::graphics::Color& color, double hue, double saturation, double brightness);

#include "QLCoreLibrary/ColorExtensions.h"

#include <algorithm>
#include <cmath>

using platform::graphics::Color;

Color colorWithHex(std::uint32_t hex) {
    return Color::rgba(((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0, 1);
}

RGBA RGBComponents(const Color& color) {
    return {color.red, color.green, color.blue, color.alpha};
}

Color changeAlpha(const Color& color, double alpha) {
    return Color::rgba(color.red, color.green, color.blue, alpha);
}

std::optional<HSBA> HSBComponents(const Color& color) {
    const RGBA c = RGBComponents(color);
    if (!std::isfinite(c.red) || !std::isfinite(c.green) || !std::isfinite(c.blue) || !std::isfinite(c.alpha))
        return std::nullopt;
    const double r = c.red * 255, g = c.green * 255, b = c.blue * 255;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    HSBA result;
    result.alpha = c.alpha;
    result.brightness = max / 255;
    result.saturation = max != 0 ? (max - min) / max : 0;
    if (result.saturation != 0) {
        const double delta = max - min;
        double degrees;
        if (max == r)
            degrees = 60 * (g - b) / delta;
        else if (max == g)
            degrees = 60 * (2 + (b - r) / delta);
        else
            degrees = 60 * (4 + (r - g) / delta);
        if (degrees < 0)
            degrees += 360;
        result.hue = degrees / 360;
    }
    return result;
}

Color colorWithHSB(double hue, double saturation, double brightness, double alpha) {
    auto unit = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    const double h = unit(hue), s = unit(saturation), v = unit(brightness), a = unit(alpha);
    if (s == 0)
        return Color::rgba(v, v, v, a);
    // A hue of 1 is a full turn: the same as 0.
    const double sector = h >= 1 ? 0 : h * 6;
    const int i = int(std::floor(sector));
    const double f = sector - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return Color::rgba(v, t, p, a);
    case 1:
        return Color::rgba(q, v, p, a);
    case 2:
        return Color::rgba(p, v, t, a);
    case 3:
        return Color::rgba(p, q, v, a);
    case 4:
        return Color::rgba(t, p, v, a);
    default:
        return Color::rgba(v, p, q, a);
    }
}

Color shiftHue(const Color& color, double hue, double saturation, double brightness) {
    const std::optional<HSBA> hsb = HSBComponents(color);
    if (!hsb)
        return color;
    return colorWithHSB(
        hsb->hue + hue, hsb->saturation + saturation, hsb->brightness + brightness, hsb->alpha);
}

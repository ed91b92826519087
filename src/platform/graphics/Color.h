#pragma once

#include <cstdint>
#include <string>

namespace platform::graphics {

// An RGBA colour with components in 0..1 (device RGB).
struct Color {
    double red {0};
    double green {0};
    double blue {0};
    double alpha {1};

    static constexpr Color rgba(double r, double g, double b, double a = 1) { return {r, g, b, a}; }
    static constexpr Color white(double w, double a = 1) { return {w, w, w, a}; }
    // 0xRRGGBB
    static constexpr Color fromHex(std::uint32_t hex, double a = 1) {
        return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0, a};
    }

    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color whiteColor() { return {1, 1, 1, 1}; }
    static constexpr Color clear() { return {0, 0, 0, 0}; }
    static constexpr Color red_() { return {1, 0, 0, 1}; }
    static constexpr Color darkGray() { return {1.0 / 3, 1.0 / 3, 1.0 / 3, 1}; }
    static constexpr Color lightGray() { return {2.0 / 3, 2.0 / 3, 2.0 / 3, 1}; }
    static constexpr Color gray() { return {0.5, 0.5, 0.5, 1}; }
    // The phone's grouped-table background.
    static constexpr Color groupTableViewBackground() { return {0.773, 0.800, 0.831, 1}; }

    constexpr Color withAlpha(double a) const { return {red, green, blue, a}; }
    // 0xRRGGBB, components rounded and clamped.
    std::uint32_t hex() const;
    bool operator==(const Color&) const = default;
    std::string description() const;
};

} // namespace platform::graphics

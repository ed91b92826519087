#pragma once

#include <array>
#include <cstdint>

namespace platform::graphics {

// Blurs an 8-bit alpha mask the way shadows soften: three box blurs in each direction,
// which together approach a Gaussian whose standard deviation is half the blur radius.
// Pixels outside the mask count as transparent.
class ShadowBlur {
public:
    // `radius` in device pixels; 0 (or less) leaves masks unchanged.
    explicit ShadowBlur(double radius);

    // How far, in pixels, the blur spreads a pixel's coverage.
    int extent() const { return m_radii[0] + m_radii[1] + m_radii[2]; }

    void apply(std::uint8_t* pixels, int width, int height, int stride) const;
    // As apply, but a mask blurred the same way before comes from memory: the same shadows
    // recur in every frame (an odometer's digits and inner shadows in each row of a list), and
    // blurring is most of what they cost. Safe from any thread.
    void applyRemembering(std::uint8_t* pixels, int width, int height, int stride) const;

private:
    std::array<int, 3> m_radii {};
};

} // namespace platform::graphics

#pragma once

#include <array>
#include <cstdint>

// One row of the colour theme table. The first colour tints bars and colours medium and
// large labels, cell strokes and button faces; the second and third are the top and bottom
// of the screen background (the third also the pressed-button face and the swatch fill).
// With headerFlag set, table section headers and footers are drawn in the first colour
// (with a white shadow) instead of white.
struct Theme {
    std::uint32_t first {0};
    std::uint32_t second {0};
    std::uint32_t third {0};
    bool headerFlag {false};
};

inline constexpr int kThemeCount = 35;

// The 35 themes, by theme number.
inline constexpr std::array<Theme, kThemeCount> kThemes {{
    {0x2F4160, 0x2F4160, 0x9CAAC1, false},
    {0x554564, 0x554564, 0x93BEF9, false},
    {0x3781DF, 0xFFFFFF, 0xA0C4EB, true},
    {0x006FE0, 0x006FE0, 0xFBAF5F, false},
    {0x7E7E7E, 0xD2D2D2, 0xB2B2B2, true},
    {0x333333, 0x555555, 0x888888, false},
    {0x007C96, 0x6AB5C5, 0xA9D3DD, true},
    {0x0D1C40, 0x818DAB, 0xC9CDDE, true},
    {0x4C0066, 0xC193CC, 0xD4B6DD, true},
    {0x993366, 0xD1A3B8, 0xE5CBD6, true},
    {0x8C0C00, 0xDC899A, 0xECC1C8, true},
    {0xBD6100, 0xD8A263, 0xEACDAE, true},
    {0xB2A519, 0xD4CB81, 0xE6DDB6, true},
    {0x877359, 0xB6A899, 0xD6CCC3, true},
    {0x7D7D36, 0xBEBE9A, 0xD7D7C0, true},
    {0x1C400D, 0xA0BA98, 0xD2E1CE, true},
    {0x336657, 0x8FACA3, 0xC5D6CD, true},
    {0x007C96, 0xE57D69, 0xE57D69, true},
    {0x0D1C40, 0x746753, 0xBDB193, true},
    {0x993366, 0x80B89D, 0x80B89D, true},
    {0x4C4C4C, 0x397B6D, 0x5ECFB8, true},
    {0xBD6100, 0x2D5077, 0x4A8BD9, false},
    {0xB2A519, 0x2F3B76, 0x636DD4, false},
    {0x877359, 0x3D4F63, 0x5C656F, false},
    {0x7D7D36, 0x47476D, 0x6E6E9E, false},
    {0x1C400D, 0x523056, 0x8F7099, false},
    {0x336657, 0x6E525B, 0x9E7B86, false},
    {0xC35E4B, 0x359DB1, 0x8BC4D1, true},
    {0xBBAF93, 0x818DAB, 0xC9CDDE, false},
    {0x3B795B, 0xC78FAA, 0xDFBECC, true},
    {0x2F70BE, 0xD08F41, 0xE5C39D, true},
    {0x3741A5, 0xC6BC55, 0xDED59E, true},
    {0x58687B, 0x9D8C77, 0xB9AC9D, true},
    {0x606096, 0xA8A878, 0xBBBB96, true},
    {0xA17884, 0x76998E, 0x95B1A7, false},
}};

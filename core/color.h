// Colours as the programs store them: a 24-bit RGB triple, and the Windows colour value
// (0x00BBGGRR in a 32-bit integer) that dialogs and back colours are given in.
#pragma once

#include <cstdint>

namespace tess {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A Windows colour value; -1 is what the colour dialog returns when cancelled.
using ColorRef = int32_t;

inline constexpr ColorRef MakeColorRef(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<ColorRef>(r | (g << 8) | (b << 16));
}

inline constexpr Rgb ToRgb(ColorRef colour) {
    return Rgb{static_cast<uint8_t>(colour & 0xFF), static_cast<uint8_t>((colour >> 8) & 0xFF),
               static_cast<uint8_t>((colour >> 16) & 0xFF)};
}

// A colour value that names a plain RGB colour (no system-colour or palette flags, not -1).
inline constexpr bool IsPlainColorRef(ColorRef colour) { return (colour & ~0xFFFFFF) == 0; }

} // namespace tess

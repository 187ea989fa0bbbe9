// Pictures made in code for the engine tests: solid, patterned and random ones of any size, with
// or without transparent pixels.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "core/picture.h"

namespace tess::testing {

struct PixelRgba {
    uint8_t r, g, b, a;
};

inline Picture MakePicture(int32_t width, int32_t height, const std::vector<PixelRgba>& pixels) {
    std::vector<uint8_t> rgba;
    for (const PixelRgba& p : pixels) {
        rgba.push_back(p.r);
        rgba.push_back(p.g);
        rgba.push_back(p.b);
        rgba.push_back(p.a);
    }
    return Picture::FromRgba(width, height, rgba.data()).value();
}

inline Picture SolidPicture(int32_t width, int32_t height, PixelRgba colour) {
    return MakePicture(width, height, std::vector<PixelRgba>(static_cast<size_t>(width) * height, colour));
}

// Random opaque colours, with about a quarter of the pixels transparent when asked.
inline Picture RandomPicture(int32_t width, int32_t height, bool transparent, std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<PixelRgba> pixels;
    for (int32_t i = 0; i < width * height; ++i) {
        uint8_t alpha = transparent && byte(rng) < 64 ? 0 : 255;
        pixels.push_back({static_cast<uint8_t>(byte(rng)), static_cast<uint8_t>(byte(rng)),
                          static_cast<uint8_t>(byte(rng)), alpha});
    }
    if (transparent)
        pixels[0].a = 0;  // make sure at least one pixel is transparent
    return MakePicture(width, height, pixels);
}

} // namespace tess::testing

// Pictures made in code for benchmarks and build comparisons: red grows to the right, green
// downwards, blue is noise, and optionally a diagonal pattern of transparent pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace tess::testing {

// Top-down RGBA rows; the same variant always gives the same noise.
inline std::vector<uint8_t> GradientRgba(int32_t w, int32_t h, bool holes, uint32_t variant) {
    std::mt19937 rng(variant);
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(x * 255 / std::max(1, w - 1));
            p[1] = static_cast<uint8_t>(y * 255 / std::max(1, h - 1));
            p[2] = static_cast<uint8_t>(rng() & 255);
            p[3] = holes && (x + y) % 5 == 0 ? 0 : 255;
        }
    return rgba;
}

} // namespace tess::testing

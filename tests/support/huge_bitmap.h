// A bitmap that announces far more pixels than it holds: the picture refused by its header alone
// in the loader's, the skin maker's and the composer's tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tess::testing {

// A Windows bitmap's file and version-1 headers for `width` x `height` pixels of `bits` each,
// `compression` as the header names it, then `paletteBytes` and `pixelBytes` bytes, all zero.
inline std::vector<uint8_t> BitmapWithHeaders(uint32_t width, uint32_t height, uint16_t bits,
                                              uint32_t compression, size_t paletteBytes, size_t pixelBytes) {
    std::vector<uint8_t> bmp(54 + paletteBytes + pixelBytes, 0);
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, static_cast<uint32_t>(54 + paletteBytes));
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = static_cast<uint8_t>(bits);
    put32(30, compression);
    return bmp;
}

// An RLE8 bitmap of `side` x `side` pixels in 1080 bytes: the headers, a full palette and one
// end-of-picture code, so every pixel is skipped. 8192 x 8192 lies within the loader's limits
// and takes 256 MB to decode.
inline std::vector<uint8_t> HugeRle8Bitmap(uint32_t side = 8192) {
    std::vector<uint8_t> bmp = BitmapWithHeaders(side, side, 8, 1 /* RLE8 */, 1024, 2);
    bmp[bmp.size() - 1] = 1;
    return bmp;
}

} // namespace tess::testing

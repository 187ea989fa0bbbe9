// libFuzzer target: any bytes given to DecodePicture must give a picture or an error value with
// a message, never a crash, a sanitizer report, a leak, a hang or unbounded memory. A decoded
// picture's area sums are read back to check them against its pixels.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "core/picture_loader.h"

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // At most 4 Mpixels, so that each run stays fast and far below the RSS limit. The limit
    // checks are the same code as with the loader's own limits; sides keep the full 16384.
    const tess::PictureLimits limits{tess::kMaxPictureSide, 4 * 1024 * 1024};
    tess::Result<tess::Picture> result = tess::DecodePicture(data, size, limits);
    if (!result.ok()) {
        Require(!result.error().message.empty());
        return 0;
    }
    const tess::Picture& picture = result.value();
    const int32_t w = picture.width(), h = picture.height();
    Require(w > 0 && h > 0 && w <= limits.maxSide && h <= limits.maxSide &&
            int64_t{w} * h <= limits.maxPixels);
    // JPEGs are opaque (GIFs, RLE bitmaps and PNGs may leave pixels transparent).
    Require(data[0] != 0xFF || !picture.hasTransparency());

    const tess::FootprintSums all =
        picture.sums(tess::AxisFootprint::Of(0, w, w), tess::AxisFootprint::Of(0, h, h));
    Require(all.opaque >= 0 && all.opaque <= double(w) * h);
    (void)picture.sums(tess::AxisFootprint::Of(w * 0.25, w * 0.75 + 0.5, w),
                       tess::AxisFootprint::Of(0.3, h - 0.3, h));
    (void)picture.pixelAt(w - 1, h - 1);
    (void)picture.pixelAt(w / 2, h / 2);

    // Small pictures: the picture's total against the pixels one by one.
    if (int64_t{w} * h <= 4096) {
        double r = 0;
        uint64_t alpha = 0;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                // A partly transparent pixel reads premultiplied: no channel exceeds its alpha.
                const tess::Rgba p = picture.pixelAt(x, y);
                Require(p.r <= p.a && p.g <= p.a && p.b <= p.a);
                r += p.r;
                alpha += p.a;
            }
        // Colour sums are whole numbers; the opaque area is in 255ths, divided where the sums
        // are combined, so it may differ from the pixels' own quotient in the last bits.
        Require(r == all.r && std::abs(alpha / 255.0 - all.opaque) <= 1e-9 * (1 + all.opaque));
    }
    return 0;
}

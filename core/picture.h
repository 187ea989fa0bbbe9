// A decoded picture kept as its pixels plus column sums per band of rows, so that the exact area
// average of any rectangle of it costs little more than one pass along it: scaled drawing.
#pragma once

// Both builds are x86 with SSE2; the sums are computed two lanes at a time, which gives the same
// IEEE results as one at a time.
#include <emmintrin.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "color.h"
#include "pixel_buffer.h"
#include "result.h"

namespace tess {

// The part of one picture axis that a destination pixel's footprint covers, split into at most
// three runs of whole cells: a partly covered first cell, fully covered cells, a partly covered
// last cell. Cell weights say how much of each cell the footprint covers.
struct AxisFootprint {
    int runs = 0;
    int32_t edge[4] = {};   // run k covers cells [edge[k], edge[k + 1])
    double weight[3] = {};  // coverage of each cell of run k, in (0, 1]
    double length = 0;      // the covered extent in picture pixels

    // The footprint [from, to) on an axis of `cells` pixels; the range is clipped to the axis.
    // An empty result (runs == 0) covers nothing.
    static AxisFootprint Of(double from, double to, int32_t cells);
};

// Weighted channel sums of a footprint: colour sums over pixels weighted by their alpha, and the
// opaque area.
struct FootprintSums {
    double r = 0, g = 0, b = 0, opaque = 0;  // in this order: stored two lanes at a time
};

// Edge sums of one picture column edge within a footprint's rows: r, g, b and opaque area.
struct EdgeSums {
    double lane[4];
};

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

class Picture {
public:
    // The empty picture: no pixels; drawing it draws nothing.
    Picture() = default;

    // A picture from top-down rows of RGBA pixels, copied. Alpha weighs a pixel: 255 is opaque,
    // 0 transparent, and a pixel in between adds its colour and its coverage in proportion, so
    // that it is mixed over what lies beneath.
    static Result<Picture> FromRgba(int32_t width, int32_t height, const uint8_t* rgba);
    // The same, taking over a decoder's buffer instead of copying it; its pixels are rewritten in
    // place into the form the sums read. An empty buffer is refused.
    static Result<Picture> FromPixels(PixelBuffer&& rgba);

    bool empty() const { return !data_; }
    int32_t width() const { return data_ ? data_->width : 0; }
    int32_t height() const { return data_ ? data_->height : 0; }
    bool hasTransparency() const { return data_ && data_->coverage != Coverage::Opaque; }

    // Natural size in twips for a screen of the given twips per pixel.
    double widthTwips(double twipsPerPixel) const { return width() * twipsPerPixel; }
    double heightTwips(double twipsPerPixel) const { return height() * twipsPerPixel; }

    // One pixel; transparent pixels read as {0, 0, 0, 0}, partly transparent ones give their
    // colour weighted by their alpha (as the sums see it) and that alpha.
    Rgba pixelAt(int32_t x, int32_t y) const;

    // Sums over the rectangle fx × fy, each cell weighted by its coverage on both axes. This is
    // the one definition every renderer follows: through the edge sums below when the footprint's
    // rows allow exact 32-bit sums, cell block by cell block otherwise.
    FootprintSums sums(const AxisFootprint& fx, const AxisFootprint& fy) const;

    // Whether edgeSums is exact for the rows of `fy` (true for all but extreme shrinking).
    bool edgeSumsExact(const AxisFootprint& fy) const;
    // For each picture column edge X (in increasing order), the sums of the cells left of X
    // within the rows of `fy`, each row weighted by its coverage: lanes r, g, b and opaque area.
    void edgeSums(const AxisFootprint& fy, const int32_t* edges, size_t count, EdgeSums* out) const;
    // The footprint fx × fy from the edge sums of fy: the sums at fx's edge k are
    // edgeSums[index[k]] (fx.runs + 1 of them).
    static FootprintSums Combine(const AxisFootprint& fx, const EdgeSums* edgeSums, const int32_t* index) {
        __m128d low = _mm_setzero_pd(), high = _mm_setzero_pd();
        const double* before = edgeSums[index[0]].lane;
        for (int k = 0; k < fx.runs; ++k) {
            const double* after = edgeSums[index[k + 1]].lane;
            const __m128d w = _mm_set1_pd(fx.weight[k]);
            low = _mm_add_pd(low, _mm_mul_pd(w, _mm_sub_pd(_mm_loadu_pd(after), _mm_loadu_pd(before))));
            high = _mm_add_pd(high, _mm_mul_pd(w, _mm_sub_pd(_mm_loadu_pd(after + 2), _mm_loadu_pd(before + 2))));
            before = after;
        }
        FootprintSums s;
        _mm_storeu_pd(&s.r, low);
        _mm_storeu_pd(&s.b, high);
        return s;
    }
    // The footprint summed block by block in 64 bits, for rows too tall for edge sums.
    FootprintSums blockwiseSums(const AxisFootprint& fx, const AxisFootprint& fy) const;

    // Bytes held for the picture: its pixels and its column sums.
    size_t memoryBytes() const;

    // Rows per band of the column sums.
    static constexpr int32_t kBandRows = 8;

private:
    // How a picture's pixels take part in the sums. Opaque pictures keep their pixels as given
    // and the opaque area is the covered area. Binary ones (alpha 0 or 255 only) hold 0 or 1 in
    // the fourth byte and black where transparent, so the fourth sum counts opaque cells.
    // Weighted ones hold colours premultiplied by alpha and alpha itself, whose sum is the opaque
    // area in 255ths.
    enum class Coverage { Opaque, Binary, Weighted };

    struct Data {
        int32_t width = 0, height = 0;
        Coverage coverage = Coverage::Opaque;
        PixelBuffer pixels;
        // For band k = 1 .. height / kBandRows, per column, the r, g, b and fourth-byte sums of
        // the rows above k × kBandRows: row k - 1 of width × 4 sums (at most 255 × height each).
        std::unique_ptr<uint32_t[]> columnSums;
        size_t bands = 0;
    };

    // The largest rectangle whose channel sums (255 per cell) fit in a signed 32-bit integer:
    // edge sums up to it are converted from exact 32-bit integers.
    static constexpr uint64_t kMaxExactCells = 0x7FFFFFFFull / 255;

    // Exact channel sums over whole cells [x0, x1) × [y0, y1); out[3] is the opaque count (or
    // for a weighted picture the alpha sum).
    void blockSums(int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint64_t out[4]) const;
    // Per column in [x0, x1), the sums of rows [y0, y1) into `out` ((x1 - x0) × 4 lanes).
    void columnSumsOf(int32_t y0, int32_t y1, int32_t x0, int32_t x1, uint32_t* out) const;
    const uint8_t* pixel(int32_t x, int32_t y) const {
        return data_->pixels.row(y) + static_cast<size_t>(x) * 4;
    }

    // The weighted number of cells of a footprint on one axis.
    static double CoveredCells(const AxisFootprint& f) {
        double cells = 0;
        for (int k = 0; k < f.runs; ++k)
            cells += f.weight[k] * (f.edge[k + 1] - f.edge[k]);
        return cells;
    }

    std::shared_ptr<const Data> data_;
};

} // namespace tess

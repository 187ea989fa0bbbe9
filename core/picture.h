// A decoded picture kept as a summed-area table, so that the area average of any rectangle of it
// costs the same whatever its size: the basis of scaled drawing without aliasing.
#pragma once

// Both builds are x86 with SSE2; the sums are computed two lanes at a time, which gives the same
// IEEE results as one at a time.
#include <emmintrin.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "color.h"
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

// Weighted channel sums of a footprint: colour sums over opaque pixels and the opaque area.
struct FootprintSums {
    double r = 0, g = 0, b = 0, opaque = 0;  // in this order: stored two lanes at a time
};

// Edge sums of one picture column edge within a footprint's rows: r, g, b and opaque count.
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

    // A picture from top-down rows of RGBA pixels; alpha below 128 marks a transparent pixel,
    // anything else is opaque (the formats read here have binary transparency at most).
    static Result<Picture> FromRgba(int32_t width, int32_t height, const uint8_t* rgba);

    bool empty() const { return !data_; }
    int32_t width() const { return data_ ? data_->width : 0; }
    int32_t height() const { return data_ ? data_->height : 0; }
    bool hasTransparency() const { return data_ && data_->channels == 4; }

    // Natural size in twips for a screen of the given twips per pixel.
    double widthTwips(double twipsPerPixel) const { return width() * twipsPerPixel; }
    double heightTwips(double twipsPerPixel) const { return height() * twipsPerPixel; }

    // One pixel; transparent pixels read as {0, 0, 0, 0}.
    Rgba pixelAt(int32_t x, int32_t y) const;

    // Sums over the rectangle fx × fy, each cell weighted by its coverage on both axes. This is
    // the one definition every renderer follows: through the edge sums below when the footprint's
    // rows allow exact 32-bit differences, cell block by cell block otherwise.
    FootprintSums sums(const AxisFootprint& fx, const AxisFootprint& fy) const;

    // Whether edgeSums is exact for the rows of `fy` (true for all but extreme shrinking).
    bool edgeSumsExact(const AxisFootprint& fy) const;
    // For each picture column edge X, the sums of the cells left of X within the rows of `fy`,
    // each row weighted by its coverage: lanes r, g, b and opaque count.
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

    // Bytes held by the table, for memory accounting.
    size_t memoryBytes() const;

private:
    struct Data {
        int32_t width = 0, height = 0;
        int channels = 3;                 // r, g, b and, for pictures with transparency, opaque count
        std::unique_ptr<uint32_t[]> table;  // (width + 1) × (height + 1) corners × channels
        size_t tableSize = 0;
    };

    // The largest rectangle whose channel sums (255 per cell) fit in a signed 32-bit integer,
    // so that the table's wrapped differences are exact and convert directly to double.
    static constexpr uint64_t kMaxExactCells = 0x7FFFFFFFull / 255;

    // Exact channel sums over whole cells [x0, x1) × [y0, y1), in bands of rows small enough
    // for the wrapped differences; out[3] is the opaque count.
    void blockSums(int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint64_t out[4]) const;
    const uint32_t* corner(int32_t x, int32_t y) const {
        return data_->table.get() +
               (static_cast<size_t>(y) * (data_->width + 1) + x) * data_->channels;
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

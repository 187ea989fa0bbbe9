// A retained RGB drawing surface in pixels with a scale of its own (units across its inner area),
// a back colour, clearing and exact scaled drawing of whole pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "color.h"
#include "picture.h"
#include "result.h"

namespace tess {

// Twips per pixel at 96 dots per inch.
inline constexpr double kTwipsPerPixel96 = 15.0;

// The picture footprints of a set of pixel columns, with the picture edges they need gathered
// once, so that a row computes the edge sums of each edge a single time for all its columns.
class ColumnFootprints {
public:
    // Adds a column's footprint and returns its index.
    size_t add(const AxisFootprint& fx);
    // Merges the edges of all footprints added; call once before the rows are painted.
    void finish();
    const AxisFootprint& footprint(size_t i) const { return prints_[i]; }

    // The edge sums of every gathered edge for the rows of `fy`.
    void rowSums(const Picture& picture, const AxisFootprint& fy, std::vector<EdgeSums>& out) const;
    // The sums of footprint i × fy, the same value as Picture::sums gives: from `row` when the
    // rows allow edge sums, block by block otherwise.
    FootprintSums sums(const Picture& picture, size_t i, const AxisFootprint& fy, bool exact,
                       const std::vector<EdgeSums>& row) const {
        const AxisFootprint& fx = prints_[i];
        if (!exact)
            return picture.blockwiseSums(fx, fy);
        return Picture::Combine(fx, row.data(), &edgeIndex_[i * 4]);
    }

private:
    std::vector<AxisFootprint> prints_;
    std::vector<int32_t> edges_;
    std::vector<int32_t> edgeIndex_;  // four per footprint, into edges_
};

class Surface {
public:
    // A surface of the given pixel size (each side clamped to 0..kMaxSide) measured in twips
    // (`twipsPerPixel` units per pixel), white and cleared.
    explicit Surface(int32_t widthPx = 0, int32_t heightPx = 0,
                     double twipsPerPixel = kTwipsPerPixel96);

    int32_t widthPx() const { return width_; }
    int32_t heightPx() const { return height_; }
    double twipsPerPixel() const { return twipsPerPixel_; }

    // Changes the pixel size; what was drawn stays where it overlaps, new parts take the back
    // colour. An axis with a scale of its own keeps it, a twips axis follows the new size. A
    // negative size or one beyond kMaxSide is refused and leaves the surface as it was.
    Status resize(int32_t widthPx, int32_t heightPx);
    // Sizes in twips, converted to whole pixels (nearest, halves to even), refused likewise.
    Status setWidthTwips(double twips);
    Status setHeightTwips(double twips);
    static constexpr int32_t kMaxSide = 32767;

    // The inner area's extent in the surface's units.
    double scaleWidth() const { return customWidth_ ? scaleWidth_ : width_ * twipsPerPixel_; }
    double scaleHeight() const { return customHeight_ ? scaleHeight_ : height_ * twipsPerPixel_; }
    // Gives an axis a scale of its own: the inner width (height) then spans `units` units.
    void setScaleWidth(double units);
    void setScaleHeight(double units);

    ColorRef backColor() const { return backColor_; }
    // Sets the back colour and fills the surface with it; -1 and other non-RGB values are refused.
    Status setBackColor(ColorRef colour);
    // Fills the surface with its back colour.
    void clear();

    // Draws the whole picture scaled into [x, x + w) × [y, y + h) in the surface's units. A pixel
    // belongs to the copy when its centre lies in that rectangle; its colour is the area average
    // of the part of the picture its footprint covers, transparent parts mixed with what was
    // there by their share of the footprint. Anything outside the surface is clipped.
    void drawPicture(const Picture& picture, double x, double y, double w, double h);

    Rgb pixelAt(int32_t x, int32_t y) const;
    // Top-down rows of RGB bytes, no padding.
    const std::vector<uint8_t>& pixels() const { return pixels_; }

    // --- Pieces of drawing shared by every renderer, so that they agree to the bit. ---

    // Centre and edges of pixel column (row) p in the surface's units.
    double columnCentre(int32_t p) const { return (p + 0.5) * scaleWidth() / width_; }
    double columnEdge(int32_t p) const { return p * scaleWidth() / width_; }
    double rowCentre(int32_t p) const { return (p + 0.5) * scaleHeight() / height_; }
    double rowEdge(int32_t p) const { return p * scaleHeight() / height_; }

    // Whether a centre lies in the half-open span [origin, origin + extent).
    static bool Covers(double origin, double extent, double centre) {
        return origin <= centre && centre < origin + extent;
    }
    // The picture cells under the span [edge0, edge1) of a copy at `origin` of size `extent`.
    static AxisFootprint Footprint(double edge0, double edge1, double origin, double extent,
                                   int32_t cells) {
        return AxisFootprint::Of((edge0 - origin) * cells / extent, (edge1 - origin) * cells / extent,
                                 cells);
    }
    // The pixel columns [first, last) whose centres the span [origin, origin + extent) covers.
    void coveredColumns(double origin, double extent, int32_t& first, int32_t& last) const;
    void coveredRows(double origin, double extent, int32_t& first, int32_t& last) const;

    // Paints pixel (px, py) from the footprint sums of a footprint covering `area` cells.
    void paint(int32_t px, int32_t py, bool transparent, const FootprintSums& sums, double area) {
        uint8_t* out = &pixels_[(static_cast<size_t>(py) * width_ + px) * 3];
        if (!transparent) {
            // r and g, then b (and opaque / opaque), each divided by the opaque area.
            const __m128d opaque = _mm_set1_pd(sums.opaque);
            const __m128i rg = ToChannels(_mm_div_pd(_mm_loadu_pd(&sums.r), opaque));
            const __m128i bo = ToChannels(_mm_div_pd(_mm_loadu_pd(&sums.b), opaque));
            out[0] = static_cast<uint8_t>(_mm_cvtsi128_si32(rg));
            out[1] = static_cast<uint8_t>(_mm_cvtsi128_si32(_mm_srli_si128(rg, 4)));
            out[2] = static_cast<uint8_t>(_mm_cvtsi128_si32(bo));
            return;
        }
        // What shows through the transparent share of the footprint is what was drawn before.
        const double through = area - sums.opaque > 0 ? area - sums.opaque : 0.0;
        out[0] = ToChannel((sums.r + through * out[0]) / area);
        out[1] = ToChannel((sums.g + through * out[1]) / area);
        out[2] = ToChannel((sums.b + through * out[2]) / area);
    }
    // Two channel values rounded to the nearest bytes, in the low two 32-bit lanes; the same
    // rounding as ToChannel.
    static __m128i ToChannels(__m128d values) {
        const __m128d clamped = _mm_min_pd(_mm_max_pd(values, _mm_setzero_pd()), _mm_set1_pd(255.0));
        return _mm_cvttpd_epi32(_mm_add_pd(clamped, _mm_set1_pd(0.5)));
    }
    // A channel value rounded to the nearest byte; the sums are never negative.
    static uint8_t ToChannel(double value) {
        return static_cast<uint8_t>((value > 0.0 ? (value < 255.0 ? value : 255.0) : 0.0) + 0.5);
    }

private:
    int32_t width_ = 0, height_ = 0;
    double twipsPerPixel_ = kTwipsPerPixel96;
    bool customWidth_ = false, customHeight_ = false;
    double scaleWidth_ = 0, scaleHeight_ = 0;
    ColorRef backColor_ = MakeColorRef(255, 255, 255);
    std::vector<uint8_t> pixels_;
};

} // namespace tess

// Picture's sums: the pixels plus, per band of eight rows, running column sums from the top, so
// that a footprint's rows sum from two stored rows and at most 14 pixel rows, in exact integers.
#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace tess {

AxisFootprint AxisFootprint::Of(double from, double to, int32_t cells) {
    AxisFootprint f;
    if (!(from < static_cast<double>(cells)) || !(to > 0.0))
        return f;
    from = std::max(from, 0.0);
    to = std::min(to, static_cast<double>(cells));
    if (!(to > from))
        return f;
    auto first = static_cast<int32_t>(std::floor(from));
    auto end = static_cast<int32_t>(std::ceil(to));
    f.length = to - from;
    if (end - first == 1) {
        f.runs = 1;
        f.edge[0] = first;
        f.edge[1] = end;
        f.weight[0] = f.length;
        return f;
    }
    f.edge[0] = first;
    f.edge[1] = first + 1;
    f.weight[0] = (first + 1) - from;
    int run = 1;
    if (end - 1 > first + 1) {
        f.edge[2] = end - 1;
        f.weight[1] = 1.0;
        run = 2;
    }
    f.edge[run + 1] = end;
    f.weight[run] = to - (end - 1);
    f.runs = run + 1;
    return f;
}

namespace {

const __m128i kZero = _mm_setzero_si128();

// A pixel's four bytes as four 32-bit lanes.
inline __m128i Widen(const uint8_t* p) {
    int32_t packed;
    std::memcpy(&packed, p, 4);
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packed), kZero), kZero);
}

inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Rows of pixels to add to column sums: [first, first + count).
struct RowRange {
    int32_t first = 0, count = 0;
};

// For columns [x0, x1) of a picture `width` pixels wide, writes to `out` (four 32-bit lanes per
// column) `plus` − `minus` (either may be null for zero) plus the pixels of two row ranges of at
// most 257 rows together: those are summed in 16-bit lanes four columns at a time, one load per
// row, and widened once. With `alpha`, every byte read is also ANDed into it, so that a picture
// is found opaque in the pass that sums it.
struct BytesSeen {
    __m128i four = _mm_set1_epi8(-1);  // sixteen bytes at a time
    uint8_t alpha = 0xFF;              // the alpha bytes of single pixels
    bool allOpaque() const {
        return alpha == 0xFF && (_mm_movemask_epi8(_mm_cmpeq_epi8(four, _mm_set1_epi8(-1))) & 0x8888) == 0x8888;
    }
};

void SumColumns(const uint8_t* pixels, int32_t width, int32_t x0, int32_t x1, const uint32_t* plus,
                const uint32_t* minus, const RowRange (&ranges)[2], uint32_t* out, BytesSeen* seen = nullptr) {
    const size_t stride = static_cast<size_t>(width) * 4;
    auto base = [&](int32_t x) {
        __m128i v = plus ? Load(plus + static_cast<size_t>(x) * 4) : kZero;
        return minus ? _mm_sub_epi32(v, Load(minus + static_cast<size_t>(x) * 4)) : v;
    };
    int32_t x = x0;
    for (; x + 4 <= x1; x += 4) {
        __m128i low = kZero, high = kZero;
        for (const RowRange& range : ranges) {
            const uint8_t* p = pixels + static_cast<size_t>(range.first) * stride + static_cast<size_t>(x) * 4;
            for (int32_t r = 0; r < range.count; ++r, p += stride) {
                const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                if (seen)
                    seen->four = _mm_and_si128(seen->four, four);
                low = _mm_add_epi16(low, _mm_unpacklo_epi8(four, kZero));
                high = _mm_add_epi16(high, _mm_unpackhi_epi8(four, kZero));
            }
        }
        uint32_t* o = out + static_cast<size_t>(x - x0) * 4;
        Store(o, _mm_add_epi32(base(x), _mm_unpacklo_epi16(low, kZero)));
        Store(o + 4, _mm_add_epi32(base(x + 1), _mm_unpackhi_epi16(low, kZero)));
        Store(o + 8, _mm_add_epi32(base(x + 2), _mm_unpacklo_epi16(high, kZero)));
        Store(o + 12, _mm_add_epi32(base(x + 3), _mm_unpackhi_epi16(high, kZero)));
    }
    for (; x < x1; ++x) {
        __m128i sum = base(x);
        for (const RowRange& range : ranges)
            for (int32_t r = 0; r < range.count; ++r) {
                const uint8_t* p = pixels + static_cast<size_t>(range.first + r) * stride + static_cast<size_t>(x) * 4;
                if (seen)
                    seen->alpha &= p[3];
                sum = _mm_add_epi32(sum, Widen(p));
            }
        Store(out + static_cast<size_t>(x - x0) * 4, sum);
    }
}

// Whether all alpha bytes are 255, and whether all are 0 or 255.
struct AlphaKinds {
    bool opaque = true, binary = true;
};

AlphaKinds ClassifyAlpha(const uint8_t* rgba, size_t pixels) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    __m128i notFull = kZero, partial = kZero;
    size_t i = 0;
    for (; i + 4 <= pixels; i += 4) {
        const __m128i alpha = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba + i * 4)), alphaMask);
        const __m128i full = _mm_cmpeq_epi32(alpha, alphaMask);
        const __m128i none = _mm_cmpeq_epi32(alpha, kZero);
        notFull = _mm_or_si128(notFull, _mm_andnot_si128(full, alphaMask));
        partial = _mm_or_si128(partial, _mm_andnot_si128(_mm_or_si128(full, none), alphaMask));
    }
    AlphaKinds kinds;
    kinds.opaque = _mm_movemask_epi8(notFull) == 0;
    kinds.binary = _mm_movemask_epi8(partial) == 0;
    for (; i < pixels; ++i) {
        const uint8_t a = rgba[i * 4 + 3];
        kinds.opaque = kinds.opaque && a == 255;
        kinds.binary = kinds.binary && (a == 0 || a == 255);
    }
    return kinds;
}

// Fills the running column sums of every whole band of rows; returns whether every pixel,
// including the rows below the last whole band, is opaque.
bool BuildColumnSums(const uint8_t* pixels, int32_t width, int32_t height, size_t bands, uint32_t* sums) {
    const size_t row = static_cast<size_t>(width) * 4;
    BytesSeen seen;
    for (size_t k = 0; k < bands; ++k) {
        const RowRange band[2] = {{static_cast<int32_t>(k) * Picture::kBandRows, Picture::kBandRows}, {}};
        SumColumns(pixels, width, 0, width, k ? sums + (k - 1) * row : nullptr, nullptr, band, sums + k * row, &seen);
    }
    const size_t summedRows = bands * Picture::kBandRows;
    return seen.allOpaque() &&
           ClassifyAlpha(pixels + summedRows * row, (static_cast<size_t>(height) - summedRows) * width).opaque;
}

} // namespace

Result<Picture> Picture::FromRgba(int32_t width, int32_t height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba)
        return Error{ErrorCode::InvalidArgument, "A picture needs a positive size and pixels"};
    Result<PixelBuffer> copy = PixelBuffer::Allocate(width, height);
    if (!copy)
        return Error{ErrorCode::OutOfMemory, "Out of memory"};
    std::memcpy(copy.value().data(), rgba, copy.value().sizeBytes());
    return FromPixels(std::move(copy).value());
}

Result<Picture> Picture::FromPixels(PixelBuffer&& rgba) {
    const int32_t width = rgba.width(), height = rgba.height();
    if (rgba.empty() || width <= 0 || height <= 0)
        return Error{ErrorCode::InvalidArgument, "A picture needs a positive size and pixels"};
    const uint64_t pixelCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    const uint64_t bands = static_cast<uint64_t>(height / kBandRows);
    const uint64_t sumCount = bands * static_cast<uint64_t>(width) * 4;
    if (sumCount * sizeof(uint32_t) > std::numeric_limits<size_t>::max())
        return Error{ErrorCode::OutOfMemory, "Out of memory"};
    try {
        auto data = std::make_shared<Data>();
        data->width = width;
        data->height = height;
        data->bands = static_cast<size_t>(bands);
        uint8_t* pixels = rgba.data();
        data->pixels = std::move(rgba);
        if (bands > 0)
            data->columnSums.reset(new uint32_t[static_cast<size_t>(sumCount)]);
        // Most pictures are opaque, found so while their sums are built; the others are rewritten
        // and summed again.
        if (BuildColumnSums(pixels, width, height, data->bands, data->columnSums.get()))
            data->coverage = Coverage::Opaque;
        else if (ClassifyAlpha(pixels, static_cast<size_t>(pixelCount)).binary) {
            // Transparent pixels become black with a zero fourth byte, opaque ones hold 1 there,
            // so that every sum is a plain sum of bytes and the fourth counts opaque cells.
            data->coverage = Coverage::Binary;
            for (size_t i = 0; i < pixelCount; ++i) {
                uint8_t* p = pixels + i * 4;
                const uint8_t keep = p[3] ? 0xFF : 0;
                p[0] &= keep;
                p[1] &= keep;
                p[2] &= keep;
                p[3] = p[3] ? 1 : 0;
            }
        } else {
            data->coverage = Coverage::Weighted;
            for (size_t i = 0; i < pixelCount; ++i) {
                uint8_t* p = pixels + i * 4;
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<uint8_t>((p[c] * p[3] + 127) / 255);
            }
        }
        if (data->coverage != Coverage::Opaque)
            BuildColumnSums(pixels, width, height, data->bands, data->columnSums.get());
        Picture picture;
        picture.data_ = std::move(data);
        return picture;
    } catch (const std::bad_alloc&) {
        return Error{ErrorCode::OutOfMemory, "Out of memory"};
    }
}

void Picture::columnSumsOf(int32_t y0, int32_t y1, int32_t x0, int32_t x1, uint32_t* out) const {
    const int32_t firstBand = (y0 + kBandRows - 1) / kBandRows, lastBand = y1 / kBandRows;
    const size_t row = static_cast<size_t>(data_->width) * 4;
    auto bandSums = [&](int32_t k) { return k ? data_->columnSums.get() + (k - 1) * row : nullptr; };
    if (firstBand < lastBand) {
        // Whole bands from the stored sums, the rows above and below them from the pixels.
        const RowRange rest[2] = {{y0, firstBand * kBandRows - y0}, {lastBand * kBandRows, y1 - lastBand * kBandRows}};
        SumColumns(data_->pixels.data(), data_->width, x0, x1, bandSums(lastBand), bandSums(firstBand), rest, out);
    } else {
        const RowRange rows[2] = {{y0, y1 - y0}, {}};
        SumColumns(data_->pixels.data(), data_->width, x0, x1, nullptr, nullptr, rows, out);
    }
}

void Picture::blockSums(int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint64_t out[4]) const {
    std::vector<uint32_t> columns(static_cast<size_t>(x1 - x0) * 4);
    columnSumsOf(y0, y1, x0, x1, columns.data());
    for (int c = 0; c < 4; ++c)
        out[c] = 0;
    for (size_t i = 0; i < columns.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            out[c] += columns[i + c];
    if (data_->coverage == Coverage::Opaque)
        out[3] = static_cast<uint64_t>(x1 - x0) * static_cast<uint64_t>(y1 - y0);
}

FootprintSums Picture::blockwiseSums(const AxisFootprint& fx, const AxisFootprint& fy) const {
    double acc[4] = {0, 0, 0, 0};
    for (int l = 0; l < fy.runs; ++l)
        for (int k = 0; k < fx.runs; ++k) {
            uint64_t block[4];
            blockSums(fx.edge[k], fx.edge[k + 1], fy.edge[l], fy.edge[l + 1], block);
            const double w = fx.weight[k] * fy.weight[l];
            for (int c = 0; c < 4; ++c)
                acc[c] += w * static_cast<double>(block[c]);
        }
    if (data_->coverage == Coverage::Weighted)
        acc[3] /= 255.0;
    return FootprintSums{acc[0], acc[1], acc[2], acc[3]};
}

namespace {

// Edge sums over `Runs` runs of rows, walking the columns left to right once: per run a running
// 32-bit sum of its column sums (exact, see edgeSumsExact), read at each edge and weighted by the
// run's coverage, four lanes at a time. A run of one row reads the pixels themselves; the middle
// run of three reads `middle`, its column sums. An opaque picture's fourth lane is replaced by
// the covered area, a weighted picture's alpha sum turned into an area.
template <int Runs>
void EdgeSumsKernel(const uint8_t* const* rows, const uint32_t* middle, const AxisFootprint& fy,
                    const int32_t* edges, size_t count, EdgeSums* out) {
    __m128i running[Runs];
    __m128d weight[Runs];
    for (int l = 0; l < Runs; ++l) {
        running[l] = kZero;
        weight[l] = _mm_set1_pd(fy.weight[l]);
    }
    int32_t x = 0;
    for (size_t n = 0; n < count; ++n) {
        for (const int32_t to = edges[n]; x < to; ++x)
            for (int l = 0; l < Runs; ++l)
                running[l] = _mm_add_epi32(running[l], Runs == 3 && l == 1 ? Load(middle + static_cast<size_t>(x) * 4)
                                                                           : Widen(rows[l] + static_cast<size_t>(x) * 4));
        __m128d low = _mm_setzero_pd(), high = _mm_setzero_pd();
        for (int l = 0; l < Runs; ++l) {
            low = _mm_add_pd(low, _mm_mul_pd(weight[l], _mm_cvtepi32_pd(running[l])));
            high = _mm_add_pd(high, _mm_mul_pd(weight[l], _mm_cvtepi32_pd(_mm_shuffle_epi32(running[l], 0xEE))));
        }
        _mm_storeu_pd(out[n].lane, low);
        _mm_storeu_pd(out[n].lane + 2, high);
    }
}

} // namespace

void Picture::edgeSums(const AxisFootprint& fy, const int32_t* edges, size_t count, EdgeSums* out) const {
    if (count == 0)
        return;
    if (fy.runs == 0) {
        std::fill(out, out + count, EdgeSums{});
        return;
    }
    const uint8_t* rows[3] = {};
    for (int l = 0; l < fy.runs; ++l)
        rows[l] = pixel(0, fy.edge[l]);
    switch (fy.runs) {
    case 1:
        EdgeSumsKernel<1>(rows, nullptr, fy, edges, count, out);
        break;
    case 2:
        EdgeSumsKernel<2>(rows, nullptr, fy, edges, count, out);
        break;
    default: {
        // Reused between calls: a row of column sums is needed for every row drawn.
        thread_local std::vector<uint32_t> middle;
        const int32_t columns = edges[count - 1];
        middle.resize(static_cast<size_t>(columns) * 4);
        columnSumsOf(fy.edge[1], fy.edge[2], 0, columns, middle.data());
        EdgeSumsKernel<3>(rows, middle.data(), fy, edges, count, out);
    }
    }
    if (data_->coverage == Coverage::Opaque) {
        const double covered = CoveredCells(fy);
        for (size_t n = 0; n < count; ++n)
            out[n].lane[3] = edges[n] * covered;
    } else if (data_->coverage == Coverage::Weighted) {
        for (size_t n = 0; n < count; ++n)
            out[n].lane[3] /= 255.0;
    }
}

bool Picture::edgeSumsExact(const AxisFootprint& fy) const {
    int32_t tallest = 0;
    for (int l = 0; l < fy.runs; ++l)
        tallest = std::max(tallest, fy.edge[l + 1] - fy.edge[l]);
    return static_cast<uint64_t>(data_->width) * static_cast<uint64_t>(tallest) <= kMaxExactCells;
}

FootprintSums Picture::sums(const AxisFootprint& fx, const AxisFootprint& fy) const {
    if (!data_ || fx.runs == 0 || fy.runs == 0)
        return {};
    if (!edgeSumsExact(fy))
        return blockwiseSums(fx, fy);
    EdgeSums atEdges[4];
    edgeSums(fy, fx.edge, static_cast<size_t>(fx.runs) + 1, atEdges);
    static constexpr int32_t kInOrder[4] = {0, 1, 2, 3};
    return Combine(fx, atEdges, kInOrder);
}

Rgba Picture::pixelAt(int32_t x, int32_t y) const {
    if (!data_ || x < 0 || y < 0 || x >= data_->width || y >= data_->height)
        return {};
    const uint8_t* p = pixel(x, y);
    switch (data_->coverage) {
    case Coverage::Opaque:
        return Rgba{p[0], p[1], p[2], 255};
    case Coverage::Binary:
        return p[3] ? Rgba{p[0], p[1], p[2], 255} : Rgba{};
    default:
        return p[3] ? Rgba{p[0], p[1], p[2], p[3]} : Rgba{};
    }
}

size_t Picture::memoryBytes() const {
    if (!data_)
        return 0;
    return static_cast<size_t>(data_->width) * data_->height * 4 +
           data_->bands * static_cast<size_t>(data_->width) * 4 * sizeof(uint32_t);
}

} // namespace tess

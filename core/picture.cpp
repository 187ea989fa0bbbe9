// Picture's sums: the pixels plus, per band of eight rows, running column sums from the top, so
// that a footprint's rows sum from two stored rows and at most 8 pixel rows, in exact integers.
#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// Rows added to and taken from the stored sums: at most 255 rows each, so that each is summed
// in 16-bit lanes.
struct RowRanges {
    RowRange added[2], removed[2];
};

// With it, SumColumns ANDs every byte it reads into `four` or `alpha`, so that a picture is
// found opaque in the pass that sums it.
struct BytesSeen {
    __m128i four = _mm_set1_epi8(-1);  // sixteen bytes at a time
    uint8_t alpha = 0xFF;              // the alpha bytes of single pixels
    bool allOpaque() const {
        return alpha == 0xFF && (_mm_movemask_epi8(_mm_cmpeq_epi8(four, _mm_set1_epi8(-1))) & 0x8888) == 0x8888;
    }
};

// Sums of rows of pixels for four columns at a time, in 16-bit lanes: one load per row.
struct FourColumns {
    __m128i low = kZero, high = kZero;

    void add(const uint8_t* pixels, size_t stride, const RowRange& range, BytesSeen* seen) {
        const uint8_t* p = pixels + static_cast<size_t>(range.first) * stride;
        for (int32_t r = 0; r < range.count; ++r, p += stride) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            if (seen)
                seen->four = _mm_and_si128(seen->four, four);
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(four, kZero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(four, kZero));
        }
    }
    // Column k of the four as 32-bit lanes.
    __m128i column(int k) const {
        const __m128i half = k < 2 ? low : high;
        return k % 2 ? _mm_unpackhi_epi16(half, kZero) : _mm_unpacklo_epi16(half, kZero);
    }
};

// For columns [x0, x1) of a picture `width` pixels wide, writes to `out` (four 32-bit lanes per
// column) `plus` − `minus` (either may be null for zero), plus the pixels of the added rows,
// minus those of the removed rows. The 32-bit lanes wrap, and the result is exact whenever the
// true column sum is a 32-bit number.
void SumColumns(const uint8_t* pixels, int32_t width, int32_t x0, int32_t x1, const uint32_t* plus,
                const uint32_t* minus, const RowRanges& rows, uint32_t* out, BytesSeen* seen = nullptr) {
    const size_t stride = static_cast<size_t>(width) * 4;
    const bool removes = rows.removed[0].count > 0 || rows.removed[1].count > 0;
    auto base = [&](int32_t x) {
        __m128i v = plus ? Load(plus + static_cast<size_t>(x) * 4) : kZero;
        return minus ? _mm_sub_epi32(v, Load(minus + static_cast<size_t>(x) * 4)) : v;
    };
    int32_t x = x0;
    for (; x + 4 <= x1; x += 4) {
        const uint8_t* column = pixels + static_cast<size_t>(x) * 4;
        FourColumns added, removed;
        for (const RowRange& range : rows.added)
            added.add(column, stride, range, seen);
        for (const RowRange& range : rows.removed)
            removed.add(column, stride, range, nullptr);
        uint32_t* o = out + static_cast<size_t>(x - x0) * 4;
        for (int k = 0; k < 4; ++k) {
            __m128i sum = _mm_add_epi32(base(x + k), added.column(k));
            if (removes)
                sum = _mm_sub_epi32(sum, removed.column(k));
            Store(o + k * 4, sum);
        }
    }
    for (; x < x1; ++x) {
        __m128i sum = base(x);
        for (const RowRange& range : rows.added)
            for (int32_t r = 0; r < range.count; ++r) {
                const uint8_t* p = pixels + static_cast<size_t>(range.first + r) * stride + static_cast<size_t>(x) * 4;
                if (seen)
                    seen->alpha &= p[3];
                sum = _mm_add_epi32(sum, Widen(p));
            }
        for (const RowRange& range : rows.removed)
            for (int32_t r = 0; r < range.count; ++r)
                sum = _mm_sub_epi32(sum, Widen(pixels + static_cast<size_t>(range.first + r) * stride +
                                               static_cast<size_t>(x) * 4));
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
        const RowRanges band{{{static_cast<int32_t>(k) * Picture::kBandRows, Picture::kBandRows}, {}}, {}};
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
    // Rows [y0, y1) as the stored rows [8 × low, 8 × high) corrected by the pixel rows between
    // each end and the nearer band edge (at most 4 each), or as plain pixel rows when fewer.
    const int32_t bands = static_cast<int32_t>(data_->bands);
    auto nearest = [&](int32_t y) { return std::min(bands, (y + kBandRows / 2) / kBandRows); };
    const int32_t low = nearest(y0), high = std::max(low, nearest(y1));
    const int32_t corrections = std::abs(y0 - low * kBandRows) + std::abs(y1 - high * kBandRows);
    const size_t row = static_cast<size_t>(data_->width) * 4;
    auto bandSums = [&](int32_t k) { return k ? data_->columnSums.get() + (k - 1) * row : nullptr; };
    RowRanges rows;
    if (low == high || corrections >= y1 - y0) {
        rows.added[0] = {y0, y1 - y0};
        SumColumns(data_->pixels.data(), data_->width, x0, x1, nullptr, nullptr, rows, out);
        return;
    }
    auto correct = [&](int32_t from, int32_t to, int side) {
        if (from < to)
            rows.added[side] = {from, to - from};
        else
            rows.removed[side] = {to, from - to};
    };
    correct(y0, low * kBandRows, 0);
    correct(high * kBandRows, y1, 1);
    SumColumns(data_->pixels.data(), data_->width, x0, x1, bandSums(high), bandSums(low), rows, out);
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

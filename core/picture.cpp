// The summed-area table behind Picture: built once when the picture is made, then read a few
// corners per footprint edge. Sums wrap modulo 2^32 and are exact while a rectangle's true sum
// fits in 31 bits; larger rectangles are split into row bands that do.
#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

// Fills the (width + 1) × (height + 1) corner table of an opaque picture: each corner holds the
// r, g and b sums of all cells above and to the left of it, four lanes moved at a time (the
// fourth lane's store is overwritten by the next corner; the table has one spare element at its
// end for the last). Returns false, leaving the table unfinished, at the first transparent pixel.
bool BuildOpaqueTable(int32_t width, int32_t height, const uint8_t* rgba, uint32_t* table) {
    const size_t stride = static_cast<size_t>(width + 1) * 3;
    std::fill(table, table + stride + 1, 0u);
    const __m128i zero = _mm_setzero_si128();
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = rgba + static_cast<size_t>(y) * width * 4;
        const uint32_t* above = table + static_cast<size_t>(y) * stride + 3;
        uint32_t* row = table + static_cast<size_t>(y + 1) * stride;
        row[0] = row[1] = row[2] = 0;
        row += 3;
        __m128i running = zero;
        for (int32_t x = 0; x < width; ++x, src += 4, above += 3, row += 3) {
            if (src[3] < 128)
                return false;
            int32_t packed;
            std::memcpy(&packed, src, 4);
            const __m128i pixel = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packed), zero), zero);
            running = _mm_add_epi32(running, pixel);
            const __m128i sums = _mm_add_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(above)), running);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row), sums);
        }
    }
    return true;
}

// The same for a picture with transparent cells, which add nothing to the colour sums and are
// not counted in the fourth sum, the opaque count.
void BuildTransparentTable(int32_t width, int32_t height, const uint8_t* rgba, uint32_t* table) {
    const size_t stride = static_cast<size_t>(width + 1) * 4;
    std::fill(table, table + stride, 0u);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = rgba + static_cast<size_t>(y) * width * 4;
        const uint32_t* above = table + static_cast<size_t>(y) * stride + 4;
        uint32_t* row = table + static_cast<size_t>(y + 1) * stride;
        row[0] = row[1] = row[2] = row[3] = 0;
        row += 4;
        uint32_t running[4] = {0, 0, 0, 0};
        for (int32_t x = 0; x < width; ++x, src += 4, above += 4, row += 4) {
            const uint32_t opaque = src[3] >= 128 ? 1u : 0u;
            running[0] += src[0] * opaque;
            running[1] += src[1] * opaque;
            running[2] += src[2] * opaque;
            running[3] += opaque;
            for (int c = 0; c < 4; ++c)
                row[c] = above[c] + running[c];
        }
    }
}

} // namespace

Result<Picture> Picture::FromRgba(int32_t width, int32_t height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba)
        return Error{ErrorCode::InvalidArgument, "A picture needs a positive size and pixels"};
    try {
        // Most pictures are opaque: build for three sums and start again with four only when a
        // transparent pixel turns up.
        auto data = std::make_shared<Data>();
        data->width = width;
        data->height = height;
        for (int channels : {3, 4}) {
            const size_t stride = static_cast<size_t>(width + 1) * channels;
            // One spare element: the edge sums read four lanes from every corner.
            const size_t size = stride * (static_cast<size_t>(height) + 1) + 1;
            data->table.reset();
            data->table.reset(new uint32_t[size]);
            data->tableSize = size;
            data->channels = channels;
            data->table[size - 1] = 0;
            if (channels == 4)
                BuildTransparentTable(width, height, rgba, data->table.get());
            else if (!BuildOpaqueTable(width, height, rgba, data->table.get()))
                continue;
            break;
        }
        Picture picture;
        picture.data_ = std::move(data);
        return picture;
    } catch (const std::bad_alloc&) {
        return Error{ErrorCode::OutOfMemory, "Out of memory"};
    }
}

void Picture::blockSums(int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint64_t out[4]) const {
    const int ch = data_->channels;
    const uint64_t cols = static_cast<uint64_t>(x1 - x0);
    // Row bands small enough for the wrapped 32-bit sums to be exact.
    const int32_t band = static_cast<int32_t>(std::max<uint64_t>(1, kMaxExactCells / cols));
    for (int c = 0; c < 4; ++c)
        out[c] = 0;
    for (int32_t top = y0; top < y1; top += band) {
        const int32_t bottom = std::min(y1, top + band);
        const uint32_t* a = corner(x0, top);
        const uint32_t* b = corner(x1, top);
        const uint32_t* c = corner(x0, bottom);
        const uint32_t* d = corner(x1, bottom);
        for (int k = 0; k < ch; ++k)
            out[k] += static_cast<uint32_t>(d[k] - c[k] - b[k] + a[k]);
    }
    if (ch == 3)
        out[3] = cols * static_cast<uint64_t>(y1 - y0);
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
    return FootprintSums{acc[0], acc[1], acc[2], acc[3]};
}

namespace {

// Edge sums over `Runs` runs of rows: per edge, each run is the wrapped difference of two table
// rows (exact, see edgeSumsExact) weighted by the run's coverage, four lanes at a time. A table
// of three channels reads a fourth lane that belongs to the next corner; it is replaced by the
// covered area, since every cell of such a picture is opaque.
template <int Channels, int Runs>
void EdgeSumsKernel(const uint32_t* table, size_t stride, const AxisFootprint& fy, double rows,
                    const int32_t* edges, size_t count, EdgeSums* out) {
    const uint32_t* row[Runs + 1];
    __m128d weight[Runs];
    for (int l = 0; l <= Runs; ++l)
        row[l] = table + static_cast<size_t>(fy.edge[l]) * stride;
    for (int l = 0; l < Runs; ++l)
        weight[l] = _mm_set1_pd(fy.weight[l]);
    for (size_t n = 0; n < count; ++n) {
        const size_t at = static_cast<size_t>(edges[n]) * Channels;
        __m128i above = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[0] + at));
        __m128d low = _mm_setzero_pd(), high = _mm_setzero_pd();
        for (int l = 0; l < Runs; ++l) {
            const __m128i below = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row[l + 1] + at));
            const __m128i run = _mm_sub_epi32(below, above);
            low = _mm_add_pd(low, _mm_mul_pd(weight[l], _mm_cvtepi32_pd(run)));
            high = _mm_add_pd(high, _mm_mul_pd(weight[l], _mm_cvtepi32_pd(_mm_shuffle_epi32(run, 0xEE))));
            above = below;
        }
        _mm_storeu_pd(out[n].lane, low);
        _mm_storeu_pd(out[n].lane + 2, high);
        if constexpr (Channels == 3)
            out[n].lane[3] = edges[n] * rows;
    }
}

template <int Channels>
void EdgeSumsFor(const uint32_t* table, size_t stride, const AxisFootprint& fy, double rows,
                 const int32_t* edges, size_t count, EdgeSums* out) {
    switch (fy.runs) {
    case 1:
        return EdgeSumsKernel<Channels, 1>(table, stride, fy, rows, edges, count, out);
    case 2:
        return EdgeSumsKernel<Channels, 2>(table, stride, fy, rows, edges, count, out);
    default:
        return EdgeSumsKernel<Channels, 3>(table, stride, fy, rows, edges, count, out);
    }
}

} // namespace

void Picture::edgeSums(const AxisFootprint& fy, const int32_t* edges, size_t count, EdgeSums* out) const {
    const size_t stride = static_cast<size_t>(data_->width + 1) * data_->channels;
    const double rows = CoveredCells(fy);
    if (data_->channels == 3)
        EdgeSumsFor<3>(data_->table.get(), stride, fy, rows, edges, count, out);
    else
        EdgeSumsFor<4>(data_->table.get(), stride, fy, rows, edges, count, out);
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
    uint64_t s[4];
    blockSums(x, x + 1, y, y + 1, s);
    if (s[3] == 0)
        return {};
    return Rgba{static_cast<uint8_t>(s[0]), static_cast<uint8_t>(s[1]), static_cast<uint8_t>(s[2]), 255};
}

size_t Picture::memoryBytes() const { return data_ ? data_->tableSize * sizeof(uint32_t) : 0; }

} // namespace tess

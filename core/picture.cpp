// The summed-area table behind Picture: built once when the picture is made, then read with at
// most sixteen corner lookups per footprint. Sums wrap modulo 2^32 and are exact while a block's
// true sum fits in 32 bits; larger blocks are split into row bands that do.
#include "picture.h"

#include <cmath>
#include <new>

namespace tess {

namespace {

// The largest block whose channel sum (255 per cell) always fits in 32 bits.
constexpr uint64_t kMaxExactCells = 0xFFFFFFFFull / 255;

} // namespace

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

Result<Picture> Picture::FromRgba(int32_t width, int32_t height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba)
        return Error{ErrorCode::InvalidArgument, "A picture needs a positive size and pixels"};
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    bool transparent = false;
    for (size_t i = 0; i < pixelCount && !transparent; ++i)
        transparent = rgba[i * 4 + 3] < 128;

    try {
        auto data = std::make_shared<Data>();
        data->width = width;
        data->height = height;
        data->channels = transparent ? 4 : 3;
        const int ch = data->channels;
        const size_t stride = static_cast<size_t>(width + 1) * ch;
        data->table.assign(stride * (static_cast<size_t>(height) + 1), 0u);

        uint32_t* table = data->table.data();
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* src = rgba + static_cast<size_t>(y) * width * 4;
            const uint32_t* above = table + static_cast<size_t>(y) * stride;
            uint32_t* row = table + static_cast<size_t>(y + 1) * stride;
            uint32_t running[4] = {0, 0, 0, 0};
            for (int32_t x = 0; x < width; ++x, src += 4) {
                const bool opaque = src[3] >= 128;
                running[0] += opaque ? src[0] : 0;
                running[1] += opaque ? src[1] : 0;
                running[2] += opaque ? src[2] : 0;
                running[3] += opaque ? 1 : 0;
                const size_t at = static_cast<size_t>(x + 1) * ch;
                for (int c = 0; c < ch; ++c)
                    row[at + c] = above[at + c] + running[c];
            }
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

FootprintSums Picture::sums(const AxisFootprint& fx, const AxisFootprint& fy) const {
    FootprintSums s;
    if (!data_)
        return s;
    const int ch = data_->channels;
    for (int l = 0; l < fy.runs; ++l) {
        for (int k = 0; k < fx.runs; ++k) {
            const int32_t x0 = fx.edge[k], x1 = fx.edge[k + 1];
            const int32_t y0 = fy.edge[l], y1 = fy.edge[l + 1];
            uint64_t block[4] = {0, 0, 0, 0};
            const uint64_t cells = static_cast<uint64_t>(x1 - x0) * static_cast<uint64_t>(y1 - y0);
            if (cells <= kMaxExactCells) {
                const uint32_t* a = corner(x0, y0);
                const uint32_t* b = corner(x1, y0);
                const uint32_t* c = corner(x0, y1);
                const uint32_t* d = corner(x1, y1);
                for (int n = 0; n < ch; ++n)
                    block[n] = static_cast<uint32_t>(d[n] - c[n] - b[n] + a[n]);
                if (ch == 3)
                    block[3] = cells;
            } else {
                blockSums(x0, x1, y0, y1, block);
            }
            const double w = fx.weight[k] * fy.weight[l];
            s.r += w * static_cast<double>(block[0]);
            s.g += w * static_cast<double>(block[1]);
            s.b += w * static_cast<double>(block[2]);
            s.opaque += w * static_cast<double>(block[3]);
        }
    }
    return s;
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

size_t Picture::memoryBytes() const { return data_ ? data_->table.size() * sizeof(uint32_t) : 0; }

} // namespace tess

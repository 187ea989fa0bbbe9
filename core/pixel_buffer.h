// An owning buffer of top-down RGBA rows that the picture decoders fill: allocated through the
// loader's allocation tracker, so that a decode's budget and statistics cover it, and move-only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "result.h"

namespace tess {

class PixelBuffer {
public:
    // The empty buffer: no pixels.
    PixelBuffer() = default;

    // width × height pixels, all zero (transparent black), from the allocation tracker: the open
    // AllocationScope counts the block against its budget and statistics. OutOfMemory when the
    // budget or the system refuses it; InvalidArgument for a side that is not positive.
    // The buffer may outlive that scope: the scope lets the block go when it closes, and the
    // buffer frees it when it goes itself.
    static Result<PixelBuffer> Allocate(int32_t width, int32_t height);

    // Takes over `block`, width × height RGBA pixels that AllocationScope::Allocate gave (the
    // pixels stb_image decoded), with the same lifetime as an allocated buffer. Null gives the
    // empty buffer.
    static PixelBuffer Adopt(int32_t width, int32_t height, uint8_t* block);

    ~PixelBuffer();
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    bool empty() const { return !data_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // Bytes from one row to the next: 4 a pixel, rows are not padded.
    size_t stride() const { return static_cast<size_t>(width_) * 4; }
    size_t sizeBytes() const { return stride() * static_cast<size_t>(height_); }

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    uint8_t* row(int32_t y) { return data_ + static_cast<size_t>(y) * stride(); }
    const uint8_t* row(int32_t y) const { return data_ + static_cast<size_t>(y) * stride(); }

private:
    PixelBuffer(int32_t width, int32_t height, uint8_t* data)
        : width_(width), height_(height), data_(data) {}

    int32_t width_ = 0;
    int32_t height_ = 0;
    uint8_t* data_ = nullptr;
};

} // namespace tess

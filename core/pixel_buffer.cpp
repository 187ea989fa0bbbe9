// The owning pixel buffer: its block comes from the allocation tracker and is marked as kept, so
// that the AllocationScope it was made under counts it but does not free it when it closes.
#include "pixel_buffer.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "stb_image_impl.h"

namespace tess {

Result<PixelBuffer> PixelBuffer::Allocate(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0)
        return Error{ErrorCode::InvalidArgument, "A pixel buffer needs at least one pixel"};
    const uint64_t bytes = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 4;
    void* block = bytes <= std::numeric_limits<size_t>::max()
                      ? stb::AllocationScope::Allocate(static_cast<size_t>(bytes))
                      : nullptr;
    if (!block)
        return Error{ErrorCode::OutOfMemory, "Not enough memory to decode the picture"};
    // The tracker zero-fills every block: all pixels start transparent.
    return Adopt(width, height, static_cast<uint8_t*>(block));
}

PixelBuffer PixelBuffer::Adopt(int32_t width, int32_t height, uint8_t* block) {
    if (!block)
        return PixelBuffer();
    stb::AllocationScope::Keep(block);
    return PixelBuffer(width, height, block);
}

PixelBuffer::~PixelBuffer() { stb::AllocationScope::Free(data_); }

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : width_(std::exchange(other.width_, 0)), height_(std::exchange(other.height_, 0)),
      data_(std::exchange(other.data_, nullptr)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        stb::AllocationScope::Free(data_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
}

} // namespace tess

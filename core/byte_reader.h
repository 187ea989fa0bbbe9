// A bounds-checked cursor over bytes held in memory, for the decoders of our own: integers of
// either byte order, skips and sub-ranges, with running out of bytes as a sticky failed state.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tess {

// Every read checks what is left. A read past the end reads as zero, moves nothing and fails the
// reader; every read after that fails too, so a decoder may read a whole header and check
// failed() once. The reader does not own its bytes and copies as a plain value (a copy reads
// ahead without moving the original).
class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool failed() const { return failed_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return failed_ ? 0 : size_ - pos_; }
    bool has(size_t count) const { return remaining() >= count; }

    uint8_t u8() {
        const uint8_t* p = take(1);
        return p ? p[0] : 0;
    }
    uint16_t u16le() {
        const uint8_t* p = take(2);
        return p ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
    }
    uint16_t u16be() {
        const uint8_t* p = take(2);
        return p ? static_cast<uint16_t>((p[0] << 8) | p[1]) : 0;
    }
    uint32_t u32le() {
        const uint8_t* p = take(4);
        return p ? p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24) : 0;
    }
    uint32_t u32be() {
        const uint8_t* p = take(4);
        return p ? (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3] : 0;
    }

    // Moves past `count` bytes; false (and failed) if fewer are left.
    bool skip(size_t count) {
        const uint8_t* ignored;
        return advance(count, ignored);
    }

    // The next `count` bytes (at least one), moved past; null (and failed) if fewer are left.
    // The pointer is good for exactly `count` bytes.
    const uint8_t* bytes(size_t count) { return take(count); }

    // The next `count` bytes as a reader of their own, moved past; a failed reader (and this one
    // failed) if fewer are left.
    ByteReader sub(size_t count) {
        const uint8_t* p = nullptr;
        const bool ok = advance(count, p);
        ByteReader range(p, ok ? count : 0);
        range.failed_ = !ok;
        return range;
    }

    // The bytes from `offset` (counted from the start) to the end as a reader of their own;
    // a failed reader if `offset` lies past the end.
    ByteReader from(size_t offset) const {
        ByteReader rest(data_, size_);
        rest.failed_ = failed_ || offset > size_;
        rest.pos_ = rest.failed_ ? 0 : offset;
        return rest;
    }

private:
    bool advance(size_t count, const uint8_t*& p) {
        if (failed_ || count > size_ - pos_) {
            failed_ = true;
            p = nullptr;
            return false;
        }
        p = data_ + pos_;
        pos_ += count;
        return true;
    }
    // For reads of at least one byte, where a null pointer can only mean failure.
    const uint8_t* take(size_t count) {
        const uint8_t* p = nullptr;
        return advance(count, p) ? p : nullptr;
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace tess

// Decoding the first image of a GIF ourselves, as browsers lay it down: on the logical screen,
// clipped to it, transparent wherever it draws nothing. The work is bounded by the image's pixels:
// once the image is full, the rest of its code stream is skipped block by block, unread.
#include <vector>

#include "byte_reader.h"
#include "picture_decoding.h"

namespace tess::decoding {

namespace {

constexpr const char* kGif = "GIF";

// Skips a chain of data sub-blocks ending with an empty one; false if the file ends first.
bool SkipSubBlocks(ByteReader& r) {
    for (;;) {
        const size_t length = r.u8();
        if (r.failed())
            return false;
        if (length == 0)
            return true;
        if (!r.skip(length))
            return false;
    }
}

struct Frame {
    int64_t x = 0, y = 0, width = 0, height = 0;
    bool interlaced = false;
    const uint8_t* colours = nullptr;  // RGB triplets
    uint32_t colourCount = 0;
    int32_t transparent = -1;  // the colour index that draws nothing, if any
};

// Where the image's pixels go, in the order the code stream gives them.
class FrameWriter {
public:
    FrameWriter(const Frame& frame, PixelBuffer& screen) : f_(frame), screen_(screen) {}

    bool full() const { return row_ >= f_.height; }

    void Put(uint32_t index) {
        const int64_t sx = f_.x + column_, sy = f_.y + row_;
        if (sx < screen_.width() && sy < screen_.height() && index < f_.colourCount &&
            static_cast<int32_t>(index) != f_.transparent) {
            uint8_t* out = screen_.row(static_cast<int32_t>(sy)) + static_cast<size_t>(sx) * 4;
            const uint8_t* colour = f_.colours + 3 * index;
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
            out[3] = 255;
        }
        if (++column_ < f_.width)
            return;
        column_ = 0;
        if (!f_.interlaced) {
            ++row_;
            return;
        }
        // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th
        // from 2, every 2nd from 1.
        static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= f_.height && pass_ < 3)
            row_ = kStart[++pass_];
    }

private:
    const Frame& f_;
    PixelBuffer& screen_;
    int64_t column_ = 0, row_ = 0;
    int pass_ = 0;
};

// Decodes the LZW code stream at the reader (after its code size byte) into `out`, then moves
// the reader past the stream's end. A stream may start without a clear code, reach the 12-bit code size and
// go on without clearing the full table (browsers keep using it as it is), and end early (the
// rest of the image stays transparent); a stream cut off by the end of the file is an error.
Check DecodeRaster(ByteReader& r, int codeSize, FrameWriter& out) {
    constexpr int32_t kMaxCodes = 4096;
    // Each code's string is the string of `prefix` followed by `suffix`.
    std::vector<uint16_t> prefix(kMaxCodes), suffix(kMaxCodes), first(kMaxCodes), length(kMaxCodes);
    std::vector<uint16_t> string(kMaxCodes);
    const int32_t clear = 1 << codeSize;
    for (int32_t code = 0; code < clear; ++code) {
        suffix[code] = first[code] = static_cast<uint16_t>(code);
        length[code] = 1;
    }
    int32_t codeBits = codeSize + 1;
    int32_t next = clear + 2;
    int32_t old = -1;
    uint32_t bits = 0;
    int32_t validBits = 0;
    size_t blockLeft = 0;

    while (!out.full()) {
        if (validBits < codeBits) {
            if (blockLeft == 0) {
                blockLeft = r.u8();
                if (r.failed())
                    return Truncated(kGif);
                if (blockLeft == 0)
                    return std::nullopt;  // the data ended before the image was full
                if (!r.has(blockLeft))
                    return Truncated(kGif);
            }
            --blockLeft;
            bits |= static_cast<uint32_t>(r.u8()) << validBits;
            validBits += 8;
            continue;
        }
        const int32_t code = static_cast<int32_t>(bits & ((1u << codeBits) - 1));
        bits >>= codeBits;
        validBits -= codeBits;
        if (code == clear) {
            codeBits = codeSize + 1;
            next = clear + 2;
            old = -1;
            continue;
        }
        if (code == clear + 1)
            break;
        if (old < 0 ? code >= clear : code > next || (code == next && next == kMaxCodes))
            return Corrupt(kGif, "bad code in the image data");
        if (old >= 0 && next < kMaxCodes) {
            // The code not yet in the table is the previous string plus its own first pixel.
            prefix[next] = static_cast<uint16_t>(old);
            suffix[next] = code == next ? first[old] : first[code];
            first[next] = first[old];
            length[next] = static_cast<uint16_t>(length[old] + 1);
            ++next;
        }
        // Checked after every code, not only after one that adds an entry: with code size 1 (below
        // the format's minimum of 2) the table ends the first width before any entry is added,
        // and the codes widen after the first one, as giflib and stb read them.
        if (next == (1 << codeBits) && codeBits < 12)
            ++codeBits;
        const int32_t count = length[code];
        int32_t c = code;
        for (int32_t i = count - 1; i >= 0; --i, c = prefix[c])
            string[i] = suffix[c];
        for (int32_t i = 0; i < count && !out.full(); ++i)
            out.Put(string[i]);
        old = code;
    }
    r.skip(blockLeft);  // within the block, whose length was checked
    if (!SkipSubBlocks(r))
        return Truncated(kGif);
    return std::nullopt;
}

// A colour table of 2 << (flags & 7) entries at the reader, if the flags announce one.
Check ReadColourTable(ByteReader& r, uint8_t flags, Frame& frame) {
    if (!(flags & 0x80))
        return std::nullopt;
    frame.colourCount = 2u << (flags & 7);
    frame.colours = r.bytes(3 * size_t{frame.colourCount});
    if (!frame.colours)
        return Truncated(kGif);
    return std::nullopt;
}

// The logical screen and the first image's descriptor and colour tables, checked against the
// limits; the reader ends after them, at the image's LZW code size.
Check ReadHeaders(ByteReader& r, const PictureLimits& limits, int64_t& screenWidth,
                  int64_t& screenHeight, Frame& frame) {
    r.skip(6);  // the signature
    screenWidth = r.u16le();
    screenHeight = r.u16le();
    const uint8_t screenFlags = r.u8();
    r.skip(2);  // background colour and aspect ratio
    if (r.failed())
        return Truncated(kGif);
    if (Check size = CheckSize(kGif, screenWidth, screenHeight, limits))
        return size;
    if (Check table = ReadColourTable(r, screenFlags, frame))
        return table;
    for (;;) {
        const uint8_t tag = r.u8();
        if (r.failed())
            return Truncated(kGif);
        if (tag == 0x2C)
            break;
        if (tag == 0x3B)
            return Corrupt(kGif, "it holds no image");
        if (tag != 0x21)
            return Corrupt(kGif, "unknown block");
        const uint8_t label = r.u8();
        if (r.failed())
            return Truncated(kGif);
        // A graphic control extension before the image may name its transparent colour.
        if (label == 0xF9) {
            ByteReader control = r;
            const uint8_t length = control.u8(), flags = control.u8();
            control.skip(2);  // delay
            const uint8_t index = control.u8();
            if (!control.failed() && length >= 4)
                frame.transparent = (flags & 1) ? index : -1;
        }
        if (!SkipSubBlocks(r))
            return Truncated(kGif);
    }
    frame.x = r.u16le();
    frame.y = r.u16le();
    frame.width = r.u16le();
    frame.height = r.u16le();
    const uint8_t localFlags = r.u8();
    if (r.failed())
        return Truncated(kGif);
    frame.interlaced = (localFlags & 0x40) != 0;
    if (Check table = ReadColourTable(r, localFlags, frame))
        return table;
    if (!frame.colours)
        return Corrupt(kGif, "it has no colour table");
    // The image may reach past the screen, where it is clipped; its pixels bound the decoding
    // work, so they are held to the same limit as the picture's.
    if (frame.width * frame.height > limits.maxPixels)
        return Error{ErrorCode::PictureTooLarge, "The GIF picture's image is too large (" +
                                                     std::to_string(frame.width) + " x " +
                                                     std::to_string(frame.height) + " pixels)"};
    return std::nullopt;
}

} // namespace

Result<PictureSize> InspectGif(const uint8_t* d, size_t n, const PictureLimits& limits) {
    int64_t screenWidth = 0, screenHeight = 0;
    Frame frame;
    ByteReader r(d, n);
    if (Check headers = ReadHeaders(r, limits, screenWidth, screenHeight, frame))
        return std::move(*headers);
    return PictureSize{static_cast<int32_t>(screenWidth), static_cast<int32_t>(screenHeight)};
}

Result<Picture> DecodeGif(const uint8_t* d, size_t n, const PictureLimits& limits) {
    int64_t screenWidth = 0, screenHeight = 0;
    Frame frame;
    ByteReader r(d, n);
    if (Check headers = ReadHeaders(r, limits, screenWidth, screenHeight, frame))
        return std::move(*headers);
    // Codes are at most 12 bits wide, and the first code is one bit wider than this size.
    const int codeSize = r.u8();
    if (r.failed())
        return Truncated(kGif);
    if (codeSize < 1 || codeSize > 11)
        return Corrupt(kGif, "bad LZW code size");

    Result<PixelBuffer> buffer = PixelBuffer::Allocate(static_cast<int32_t>(screenWidth),
                                                       static_cast<int32_t>(screenHeight));
    if (!buffer)
        return buffer.error();
    PixelBuffer& screen = buffer.value();
    FrameWriter writer(frame, screen);
    if (frame.width > 0 && frame.height > 0) {
        if (Check raster = DecodeRaster(r, codeSize, writer))
            return std::move(*raster);
    } else if (!SkipSubBlocks(r)) {
        return Truncated(kGif);
    }
    return Picture::FromPixels(std::move(screen));
}

} // namespace tess::decoding

// The core's private door to stb_image (Debian's libstb-dev, v2.27): the decoder is compiled once,
// in stb_image_impl.cpp, with only JPEG and its zlib inflater enabled, without stdio, and with
// its assertions turned into exceptions and its allocations routed through AllocationScope.
// Only the picture loader (and its tests) should include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>

#include "pixel_buffer.h"

namespace tess::stb {

// Thrown in place of an abort when one of stb_image's internal assertions fails on hostile data.
class AssertionFailure : public std::exception {
public:
    explicit AssertionFailure(const char* expression) : expression_(expression) {}
    const char* what() const noexcept override { return "stb_image assertion failed"; }
    const char* expression() const noexcept { return expression_; }

private:
    const char* expression_;
};

// What stb allocated while one AllocationScope was open.
struct AllocationStats {
    size_t allocations = 0;      // blocks handed out (a reallocation counts as one)
    size_t largestBlock = 0;     // bytes of the largest block asked for
    size_t peakBytes = 0;        // most bytes held at once
    size_t reclaimedBlocks = 0;  // blocks stb still held when the scope closed, freed by it
    bool refused = false;        // an allocation failed (system or budget)
};

// While alive, every block stb_image (or a PixelBuffer) allocates on this thread is tracked; the
// destructor frees the blocks still held, so a decode abandoned by an exception (or by an stb
// error path that forgets a block) leaks nothing. Blocks marked with Keep belong to an owner that
// frees them itself (a PixelBuffer): the closing scope lets them go instead, so they may outlive
// it. Blocks are zero-filled, so a picture decoded from partial data never shows leftover heap
// contents. Scopes nest; each tracks the blocks allocated under it.
class AllocationScope {
public:
    // `budgetBytes` caps the bytes held at once; past it an allocation fails as out of memory.
    explicit AllocationScope(size_t budgetBytes = DefaultBudget());
    ~AllocationScope();
    AllocationScope(const AllocationScope&) = delete;
    AllocationScope& operator=(const AllocationScope&) = delete;

    const AllocationStats& stats() const { return stats_; }

    // The budget of scopes made without one: unlimited unless a test set a smaller one for
    // this thread (SetDefaultBudgetForTesting; 0 restores unlimited).
    static size_t DefaultBudget();
    static void SetDefaultBudgetForTesting(size_t budgetBytes);

    // The stats of the scope most recently closed on this thread.
    static AllocationStats LastClosedStats();

    // Used by the STBI_MALLOC / STBI_REALLOC / STBI_FREE macros.
    static void* Allocate(size_t size);
    static void* Reallocate(void* block, size_t size);
    static void Free(void* block);

    // Marks a block as kept by an owner that frees it with Free: when its scope closes, the
    // block leaves the scope (which stops counting it) instead of being freed.
    static void Keep(void* block);

    struct Block;

private:
    // Counts a request of `size` bytes against `scope` (none: outside any scope) holding
    // `othersLive` bytes in other blocks; false, and the scope marked refused, when it does not fit.
    static bool Admit(AllocationScope* scope, size_t size, size_t othersLive);
    // Fills in a fresh or moved block's header and links it to `scope`; returns its payload.
    static void* Adopt(Block* block, size_t size, AllocationScope* scope);
    void link(Block* block);
    void unlink(Block* block);

    AllocationScope* outer_;
    Block* head_ = nullptr;
    size_t budget_;
    size_t liveBytes_ = 0;
    AllocationStats stats_;
};

// What stbi_info_from_memory does, but asking only the JPEG reader, so that its failure reason
// survives (stbi_info_from_memory ends on "unknown image type" after any failure). The size the
// header announces; false if stb refuses the header.
bool JpegInfo(const uint8_t* bytes, int length, int* width, int* height);

// stbi_load_from_memory with 4 channels (top-down RGBA): stb's own block, handed over as a
// PixelBuffer. Empty if stb fails.
PixelBuffer LoadRgba(const uint8_t* bytes, int length);

// Inflates the zlib stream `in` into exactly the `capacity` bytes at `out`, which never grow:
// the number of bytes the stream gave, or -1 if it is damaged or would give more than
// `capacity`. Allocates nothing.
int Inflate(const uint8_t* in, int inLength, uint8_t* out, int capacity);

// Makes stb's bit reversal fail its assertion on a width it never meets in a stream, for the
// tests only: shows that an assertion inside stb throws AssertionFailure instead of aborting.
int BitReverseForTesting(int value, int bits);

// stbi_failure_reason: a short code such as "too large" or "outofmem"; never null.
const char* FailureReason();

} // namespace tess::stb

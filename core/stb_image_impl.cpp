// The one build of stb_image in the core. Debian's copy (v2.27, a 2022 snapshot) predates later
// upstream security fixes, so it is compiled narrowly: JPEG and the zlib inflater only (the PNG
// decoder of our own inflates into a buffer that never grows with it), no stdio, no HDR
// or float paths, no SIMD (the host and the 32-bit Windows builds then decode JPEGs with the same
// integer code and give the same pixels), sides of at most 16384 pixels, internal functions with
// internal linkage (STB_IMAGE_STATIC: nothing else can reach the animated-GIF, flip, 16-bit or
// float entry points), assertions that throw instead of aborting and allocations that an
// AllocationScope tracks. core/CMakeLists.txt adds -fwrapv for this file: stb's integer IDCT
// overflows int on hostile coefficients, which then wraps by definition. The picture loader
// checks each file's structure before stb sees it.
#include "stb_image_impl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "picture_loader.h"

namespace tess::stb::detail {
[[noreturn]] void AssertionFailed(const char* expression) { throw AssertionFailure(expression); }
} // namespace tess::stb::detail

#define STBI_ONLY_JPEG
#define STBI_SUPPORT_ZLIB
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_SIMD
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_STATIC
#define STBI_ASSERT(x) ((x) ? (void)0 : ::tess::stb::detail::AssertionFailed(#x))
#define STBI_MALLOC(size) ::tess::stb::AllocationScope::Allocate(size)
#define STBI_REALLOC(block, size) ::tess::stb::AllocationScope::Reallocate(block, size)
#define STBI_FREE(block) ::tess::stb::AllocationScope::Free(block)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == tess::kMaxPictureSide,
              "stb's own side limit must match the loader's");

namespace tess::stb {

// Each block starts with this header; stb gets the bytes after it. The header is padded to 48
// bytes so the block keeps malloc's 16-byte alignment on 32- and 64-bit targets alike.
struct AllocationScope::Block {
    Block* prev;
    Block* next;
    AllocationScope* owner;
    size_t size;
    bool kept;  // its owner frees it; a closing scope lets it go
};

namespace {

constexpr size_t kHeaderBytes = 48;
static_assert(sizeof(AllocationScope::Block) <= kHeaderBytes);

thread_local AllocationScope* t_current = nullptr;
thread_local size_t t_defaultBudget = 0;  // 0: unlimited
thread_local AllocationStats t_lastStats;

AllocationScope::Block* HeaderOf(void* block) {
    return reinterpret_cast<AllocationScope::Block*>(static_cast<unsigned char*>(block) -
                                                     kHeaderBytes);
}

void* PayloadOf(AllocationScope::Block* header) {
    return reinterpret_cast<unsigned char*>(header) + kHeaderBytes;
}

} // namespace

AllocationScope::AllocationScope(size_t budgetBytes) : outer_(t_current), budget_(budgetBytes) {
    t_current = this;
}

AllocationScope::~AllocationScope() {
    while (head_) {
        Block* block = head_;
        unlink(block);
        if (block->kept)
            continue;
        ++stats_.reclaimedBlocks;
        std::free(block);
    }
    t_current = outer_;
    t_lastStats = stats_;
}

size_t AllocationScope::DefaultBudget() {
    return t_defaultBudget ? t_defaultBudget : std::numeric_limits<size_t>::max();
}

void AllocationScope::SetDefaultBudgetForTesting(size_t budgetBytes) { t_defaultBudget = budgetBytes; }

AllocationStats AllocationScope::LastClosedStats() { return t_lastStats; }

void AllocationScope::link(Block* block) {
    block->owner = this;
    block->prev = nullptr;
    block->next = head_;
    if (head_)
        head_->prev = block;
    head_ = block;
    liveBytes_ += block->size;
    if (liveBytes_ > stats_.peakBytes)
        stats_.peakBytes = liveBytes_;
}

void AllocationScope::unlink(Block* block) {
    if (block->prev)
        block->prev->next = block->next;
    else
        head_ = block->next;
    if (block->next)
        block->next->prev = block->prev;
    liveBytes_ -= block->size;
    block->prev = block->next = nullptr;
    block->owner = nullptr;
}

bool AllocationScope::Admit(AllocationScope* scope, size_t size, size_t othersLive) {
    if (scope) {
        ++scope->stats_.allocations;
        if (size > scope->stats_.largestBlock)
            scope->stats_.largestBlock = size;
    }
    const bool fits = size <= std::numeric_limits<size_t>::max() - kHeaderBytes &&
                      (!scope || size <= scope->budget_ - std::min(scope->budget_, othersLive));
    if (!fits && scope)
        scope->stats_.refused = true;
    return fits;
}

void* AllocationScope::Adopt(Block* block, size_t size, AllocationScope* scope) {
    block->size = size;
    block->kept = false;
    block->owner = nullptr;
    block->prev = block->next = nullptr;
    if (scope)
        scope->link(block);
    return PayloadOf(block);
}

void* AllocationScope::Allocate(size_t size) {
    AllocationScope* scope = t_current;
    if (!Admit(scope, size, scope ? scope->liveBytes_ : 0))
        return nullptr;
    // Zero-filled, so pixels that corrupt data never writes read as zero rather than old heap.
    auto* block = static_cast<Block*>(std::calloc(1, kHeaderBytes + size));
    if (!block) {
        if (scope)
            scope->stats_.refused = true;
        return nullptr;
    }
    return Adopt(block, size, scope);
}

void* AllocationScope::Reallocate(void* payload, size_t size) {
    if (!payload)
        return Allocate(size);
    Block* old = HeaderOf(payload);
    AllocationScope* owner = old->owner;
    const size_t oldSize = old->size;
    if (!Admit(owner, size, owner ? owner->liveBytes_ - oldSize : 0))
        return nullptr;
    if (owner)
        owner->unlink(old);
    auto* block = static_cast<Block*>(std::realloc(old, kHeaderBytes + size));
    if (!block) {
        if (owner) {
            owner->link(old);  // realloc failed: the old block is still valid and still ours
            owner->stats_.refused = true;
        }
        return nullptr;
    }
    if (size > oldSize)
        std::memset(static_cast<unsigned char*>(PayloadOf(block)) + oldSize, 0, size - oldSize);
    const bool kept = block->kept;
    void* moved = Adopt(block, size, owner);
    block->kept = kept;
    return moved;
}

void AllocationScope::Free(void* payload) {
    if (!payload)
        return;
    Block* block = HeaderOf(payload);
    if (block->owner)
        block->owner->unlink(block);
    std::free(block);
}

void AllocationScope::Keep(void* payload) {
    if (payload)
        HeaderOf(payload)->kept = true;
}

bool JpegInfo(const uint8_t* bytes, int length, int* width, int* height) {
    stbi__g_failure_reason = nullptr;
    stbi__context context;
    stbi__start_mem(&context, bytes, length);
    int components = 0;
    return stbi__jpeg_info(&context, width, height, &components) != 0;
}

PixelBuffer LoadRgba(const uint8_t* bytes, int length) {
    stbi__g_failure_reason = nullptr;
    int width = 0, height = 0, components = 0;
    uint8_t* pixels = stbi_load_from_memory(bytes, length, &width, &height, &components, 4);
    return PixelBuffer::Adopt(width, height, pixels);
}

int Inflate(const uint8_t* in, int inLength, uint8_t* out, int capacity) {
    stbi__g_failure_reason = nullptr;
    return stbi_zlib_decode_buffer(reinterpret_cast<char*>(out), capacity,
                                   reinterpret_cast<const char*>(in), inLength);
}

int BitReverseForTesting(int value, int bits) { return stbi__bit_reverse(value, bits); }

const char* FailureReason() {
    const char* reason = stbi_failure_reason();
    return reason ? reason : "";
}

} // namespace tess::stb

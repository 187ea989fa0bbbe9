// The registry as the programs use it: the Win32 key and value calls behind an interface, with
// Win32's handle numbers, value types and error codes, an owner that closes a key, and the reads
// and writes that the programs share over it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tess::platform {

// Key handles have the numbers of Win32's HKEY values, so the predefined roots keep theirs.
using RegKey = uint32_t;
inline constexpr RegKey kHKeyCurrentUser = 0x80000001;
inline constexpr RegKey kHKeyLocalMachine = 0x80000002;

// Value types.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

// The Win32 error codes the calls return.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorKeyDeleted = 1018;

// Each call behaves like the Win32 call named beside it. Key paths are relative to `root` (a
// predefined root or an open key) with backslashes between names; names compare without regard
// to case; an empty value name is the key's default value.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // RegOpenKeyA: opens an existing key; `out` is 0 after a failure. An empty path gives `root`
    // itself back, not a new handle, so closing it closes `root`.
    virtual long OpenKey(RegKey root, const std::string& subKey, RegKey* out) = 0;
    // RegCreateKeyA: opens the key, creating it and any missing keys above it first.
    virtual long CreateKey(RegKey root, const std::string& subKey, RegKey* out) = 0;
    // RegQueryValueExA: `type` may be null. With `data` null, only the type and the size in bytes
    // are reported. A `*size` too small for the data gives kErrorMoreData and the size needed.
    // On success `*size` is the data's size.
    virtual long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                              uint32_t* size) = 0;
    // RegSetValueExA: stores `size` bytes of `data` as they are, replacing any value of that name.
    virtual long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                            uint32_t size) = 0;
    // RegDeleteValueA.
    virtual long DeleteValue(RegKey key, const std::string& name) = 0;
    // RegDeleteKeyA: deletes a key without subkeys (one with subkeys gives kErrorAccessDenied).
    virtual long DeleteKey(RegKey root, const std::string& subKey) = 0;
    // RegCloseKey: the handle is invalid afterwards.
    virtual long CloseKey(RegKey key) = 0;
};

// Owns an open key and closes it through the interface it was opened with.
class ScopedRegKey {
public:
    ScopedRegKey(RegistryApi& api, RegKey key) : api_(&api), key_(key) {}
    ~ScopedRegKey() { reset(); }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    ScopedRegKey(ScopedRegKey&& other) noexcept : api_(other.api_), key_(other.release()) {}
    ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
        if (this != &other) {
            reset();
            api_ = other.api_;
            key_ = other.release();
        }
        return *this;
    }

    RegKey get() const { return key_; }
    // Gives up ownership without closing.
    RegKey release() {
        const RegKey key = key_;
        key_ = 0;
        return key;
    }
    void reset() {
        if (key_ != 0)
            api_->CloseKey(release());
    }

private:
    RegistryApi* api_;
    RegKey key_;
};

// An opened key and the result of the call that opened it; `key` holds 0 unless ok(). The code
// stays a Win32 error code because callers tell a missing key from one that is refused.
struct [[nodiscard]] OpenedKey {
    long error;
    ScopedRegKey key;
    bool ok() const { return error == kErrorSuccess; }
};

enum class IfMissing { Fail, Create };

// Opens `path` below `root` (RegOpenKeyA), or with IfMissing::Create opens it and creates it and
// the keys above it when missing (RegCreateKeyA), and owns the key.
OpenedKey OpenKey(RegistryApi& registry, RegKey root, const std::string& path,
                  IfMissing ifMissing = IfMissing::Fail);

// Opens `path` below `root`, creating it when missing, and stores `size` bytes of `data` as the
// value `name`. The result of the first call that failed, else kErrorSuccess.
long WriteValue(RegistryApi& registry, RegKey root, const std::string& path,
                const std::string& name, uint32_t type, const uint8_t* data, uint32_t size);

// The bytes of a REG_DWORD, which is little-endian whatever the host.
std::array<uint8_t, 4> DwordBytes(uint32_t value);

// A REG_SZ value of an open key, read up to its first NUL; nothing when it is missing, of another
// type or unreadable.
std::optional<std::string> RegQueryString(RegistryApi& registry, RegKey key,
                                          const std::string& name);

} // namespace tess::platform

// The registry string helpers over RegistryApi, closing every key they open, and the file test
// over the file system's file length.
#include "m_pic.h"

#include <array>
#include <cstdint>
#include <limits>

namespace tess::skinmaker {

namespace {

constexpr const char* kQueryFailed = "False";

} // namespace

std::string GetRegString(platform::RegistryApi& registry, platform::RegKey root, const std::string& key,
                         const std::string& valueName) {
    const platform::OpenedKey owner = OpenKey(registry, root, key);
    if (!owner.ok())
        return {};
    const platform::RegKey opened = owner.key.get();

    uint32_t type = 0;
    uint32_t size = 0;
    if (registry.QueryValueEx(opened, valueName, &type, nullptr, &size) != platform::kErrorSuccess)
        return kQueryFailed;
    if (type != platform::kRegSz)
        return {};

    // Room for the longest accepted text and its terminating NUL. The second query is told the
    // buffer's real size rather than the size learnt above, so a longer value, also one that grew
    // in between, is refused by the call instead of overrunning the buffer.
    std::array<uint8_t, kRegStringCapacity + 1> buffer{};
    uint32_t got = static_cast<uint32_t>(buffer.size());
    const long read = registry.QueryValueEx(opened, valueName, &type, buffer.data(), &got);
    if (read == platform::kErrorMoreData || (read == platform::kErrorSuccess && type != platform::kRegSz))
        return {};
    if (read != platform::kErrorSuccess)
        return kQueryFailed;

    size_t length = 0;
    while (length < got && buffer[length] != 0)
        ++length;
    if (length > kRegStringCapacity)
        return {};
    return std::string(reinterpret_cast<const char*>(buffer.data()), length);
}

bool SetRegString(platform::RegistryApi& registry, platform::RegKey root, const std::string& key,
                  const std::string& valueName, const std::string& data) {
    if (data.find('\0') != std::string::npos ||
        data.size() >= std::numeric_limits<uint32_t>::max())
        return false;
    const uint32_t bytes = static_cast<uint32_t>(data.size() + 1);  // with the terminating NUL
    return platform::WriteValue(registry, root, key, valueName, platform::kRegSz,
                      reinterpret_cast<const uint8_t*>(data.c_str()), bytes) == platform::kErrorSuccess;
}

bool DeleteRegValue(platform::RegistryApi& registry, platform::RegKey root, const std::string& key,
                    const std::string& valueName) {
    const platform::OpenedKey opened = OpenKey(registry, root, key);
    return opened.ok() && registry.DeleteValue(opened.key.get(), valueName) == platform::kErrorSuccess;
}

} // namespace tess::skinmaker

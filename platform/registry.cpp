// The shared registry reads and writes over RegistryApi: every key they open is owned, so it is
// closed on every path, and a string is read in two steps so its size is never guessed.
#include "platform/registry.h"

#include <vector>

namespace tess::platform {

OpenedKey OpenKey(RegistryApi& registry, RegKey root, const std::string& path,
                  IfMissing ifMissing) {
    RegKey opened = 0;
    const long error = ifMissing == IfMissing::Create ? registry.CreateKey(root, path, &opened)
                                                      : registry.OpenKey(root, path, &opened);
    return {error, ScopedRegKey(registry, error == kErrorSuccess ? opened : 0)};
}

long WriteValue(RegistryApi& registry, RegKey root, const std::string& path,
                const std::string& name, uint32_t type, const uint8_t* data, uint32_t size) {
    const OpenedKey opened = OpenKey(registry, root, path, IfMissing::Create);
    if (!opened.ok())
        return opened.error;
    return registry.SetValueEx(opened.key.get(), name, type, data, size);
}

std::array<uint8_t, 4> DwordBytes(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

std::optional<std::string> RegQueryString(RegistryApi& registry, RegKey key,
                                          const std::string& name) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (registry.QueryValueEx(key, name, &type, nullptr, &size) != kErrorSuccess || type != kRegSz)
        return std::nullopt;
    // One byte more than reported, so the value comes back terminated even when it was stored
    // without its NUL; a value that grew in between fails with kErrorMoreData.
    std::vector<uint8_t> buffer(size + 1, ' ');
    uint32_t got = size + 1;
    if (registry.QueryValueEx(key, name, &type, buffer.data(), &got) != kErrorSuccess ||
        type != kRegSz)
        return std::nullopt;
    const std::string text(buffer.begin(), buffer.begin() + got);
    return text.substr(0, text.find('\0'));
}

} // namespace tess::platform

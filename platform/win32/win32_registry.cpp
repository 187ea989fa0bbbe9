// Each call passes its strings to the ANSI function unchanged and converts between RegKey and
// HKEY and between uint32_t and DWORD at the boundary.
#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <cstdint>

namespace tess::platform::win32 {

// A key handle has 32 significant bits in 32-bit and 64-bit programs alike; a 64-bit program
// sign-extends them (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 there).
static_assert(sizeof(RegKey) == 4 && sizeof(HKEY) >= sizeof(RegKey));

namespace {

HKEY ToHkey(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(key)));
}
RegKey FromHkey(HKEY key) { return static_cast<RegKey>(reinterpret_cast<uintptr_t>(key)); }

} // namespace

long Win32Registry::OpenKey(RegKey root, const std::string& subKey, RegKey* out) {
    HKEY opened = nullptr;
    const LONG error = RegOpenKeyA(ToHkey(root), subKey.c_str(), &opened);
    *out = error == ERROR_SUCCESS ? FromHkey(opened) : 0;
    return error;
}

long Win32Registry::CreateKey(RegKey root, const std::string& subKey, RegKey* out) {
    HKEY created = nullptr;
    const LONG error = RegCreateKeyA(ToHkey(root), subKey.c_str(), &created);
    *out = error == ERROR_SUCCESS ? FromHkey(created) : 0;
    return error;
}

long Win32Registry::QueryValueEx(RegKey key, const std::string& name, uint32_t* type,
                                 uint8_t* data, uint32_t* size) {
    DWORD gotType = 0;
    DWORD gotSize = size ? *size : 0;
    const LONG error = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, type ? &gotType : nullptr,
                                        data, size ? &gotSize : nullptr);
    if (type && (error == ERROR_SUCCESS || error == ERROR_MORE_DATA))
        *type = gotType;
    if (size && (error == ERROR_SUCCESS || error == ERROR_MORE_DATA))
        *size = gotSize;
    return error;
}

long Win32Registry::SetValueEx(RegKey key, const std::string& name, uint32_t type,
                               const uint8_t* data, uint32_t size) {
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueA(ToHkey(key), name.c_str());
}

long Win32Registry::DeleteKey(RegKey root, const std::string& subKey) {
    return RegDeleteKeyA(ToHkey(root), subKey.c_str());
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

} // namespace tess::platform::win32

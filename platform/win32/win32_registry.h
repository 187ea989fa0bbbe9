// The registry interface over the real Win32 calls of advapi32, for the programs and for tests
// that check the in-memory registry against Windows.
#pragma once

#include "platform/registry.h"

namespace tess::platform::win32 {

// Key numbers are HKEY values as they are: the programs are 32-bit, so a handle fits RegKey.
class Win32Registry : public RegistryApi {
public:
    long OpenKey(RegKey root, const std::string& subKey, RegKey* out) override;
    long CreateKey(RegKey root, const std::string& subKey, RegKey* out) override;
    long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                      uint32_t* size) override;
    long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long DeleteKey(RegKey root, const std::string& subKey) override;
    long CloseKey(RegKey key) override;
};

} // namespace tess::platform::win32

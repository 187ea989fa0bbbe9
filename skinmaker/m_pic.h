// The skin maker's registry and file test helpers: read, write and delete a string value in the
// registry, and whether a file is there with at least one byte.
#pragma once

#include <string>

#include "platform/registry.h"

namespace tess::skinmaker {

// Where the browser takes its toolbar background from: a REG_SZ path below HKEY_CURRENT_USER.
inline constexpr const char* kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr const char* kBackBitmapValue = "BackBitmap";

// The longest text read back from a value, in characters.
inline constexpr size_t kRegStringCapacity = 255;

// The value's text (up to its first NUL, whether it was stored with a terminating NUL or not);
// "False" when the key opens but the value cannot be queried (it does not exist); "" when the
// key cannot be opened, the value is not REG_SZ, or its text is longer than kRegStringCapacity.
std::string GetRegString(platform::RegistryApi& registry, platform::RegKey root, const std::string& key,
                         const std::string& valueName);

// Creates or opens the key and writes `data` as REG_SZ with its terminating NUL. True only when
// the value was written; text with a NUL inside is refused, since it could not be read back.
bool SetRegString(platform::RegistryApi& registry, platform::RegKey root, const std::string& key,
                  const std::string& valueName, const std::string& data);

// True when the key opened and the value was deleted.
bool DeleteRegValue(platform::RegistryApi& registry, platform::RegKey root, const std::string& key,
                    const std::string& valueName);

} // namespace tess::skinmaker

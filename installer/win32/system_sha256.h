// The SHA-256 of bytes in memory, computed by the system's own cryptographic provider (advapi32's
// CryptoAPI, one of the system's known libraries).
#pragma once

#include <vector>

#include "core/result.h"
#include "installer/install_services.h"

namespace tess::installer::win32 {

// NotSupported when the system has no provider of SHA-256 (before Windows XP SP3).
Result<Sha256Digest> SystemSha256(const std::vector<uint8_t>& bytes);

class Win32Sha256Hasher : public Sha256Hasher {
public:
    Result<Sha256Digest> Sha256(const std::vector<uint8_t>& bytes) override { return SystemSha256(bytes); }
};

} // namespace tess::installer::win32

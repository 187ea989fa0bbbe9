// SHA-256 through a verification-only context of the AES provider, the system's provider that
// knows CALG_SHA_256; no key container is opened or made.
#include "system_sha256.h"

#include <windows.h>

#include <wincrypt.h>

#include <algorithm>

#include "platform/win32/handles.h"

namespace tess::installer::win32 {

Result<Sha256Digest> SystemSha256(const std::vector<uint8_t>& bytes) {
    using platform::win32::UniqueCryptContext;
    using platform::win32::UniqueCryptHash;
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        return Error{ErrorCode::NotSupported, "the system offers no SHA-256 provider"};
    const UniqueCryptContext context(provider);
    HCRYPTHASH made = 0;
    if (!CryptCreateHash(context.get(), CALG_SHA_256, 0, 0, &made))
        return Error{ErrorCode::NotSupported, "the system's provider does not hash SHA-256"};
    const UniqueCryptHash hash(made);
    // CryptHashData takes at most 4 GB minus one a call.
    for (size_t at = 0; at < bytes.size();) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1u << 30));
        if (!CryptHashData(hash.get(), bytes.data() + at, part, 0))
            return Error{ErrorCode::CannotOpen, "the bytes could not be hashed"};
        at += part;
    }
    Sha256Digest digest{};
    DWORD length = static_cast<DWORD>(digest.size());
    if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &length, 0) || length != digest.size())
        return Error{ErrorCode::CannotOpen, "the digest could not be read"};
    return digest;
}

} // namespace tess::installer::win32

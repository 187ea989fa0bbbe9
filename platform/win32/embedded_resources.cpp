// Finds a raw picture resource in the running program and decodes it in place: resource memory
// belongs to the loaded module, so nothing here has to be released.
#include "platform/win32/embedded_resources.h"

#include <windows.h>

#include <string>

#include "core/picture_loader.h"

namespace tess::platform::win32 {

Result<Picture> LoadEmbeddedPicture(const char* name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, RT_RCDATA);
    if (!info)
        return Error{ErrorCode::FileNotFound, std::string("the program holds no picture resource ") + name};
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, info);
    if (!bytes || size == 0)
        return Error{ErrorCode::CannotOpen, std::string("cannot load the picture resource ") + name};
    return DecodePicture(static_cast<const uint8_t*>(bytes), size);
}

} // namespace tess::platform::win32

// WNetGetConnectionA from mpr.dll, loaded for each question only: the drive list asks once each
// time it is filled, which costs little next to the question itself.
#include "platform/win32/network_drives.h"

#include <windows.h>

#include <winnetwk.h>

#include <vector>

#include "core/ascii_case.h"
#include "platform/win32/system_library.h"

namespace tess::platform::win32 {

Result<std::string> NetworkDriveShare(char letter) {
    const char lower = AsciiLower(letter);
    if (lower < 'a' || lower > 'z')
        return Error{ErrorCode::InvalidArgument, std::string("no drive letter: ") + letter};
    const char drive = static_cast<char>(lower - 'a' + 'A');
    auto library = SystemLibrary::Load("mpr.dll");
    if (!library) return library.error();
    auto getConnection = library.value().function<decltype(&WNetGetConnectionA)>("WNetGetConnectionA");
    if (!getConnection) return getConnection.error();

    const char local[] = {drive, ':', '\0'};
    std::vector<char> remote(MAX_PATH);
    DWORD length = static_cast<DWORD>(remote.size());
    DWORD result = getConnection.value()(local, remote.data(), &length);
    if (result == ERROR_MORE_DATA) {
        remote.resize(length);
        result = getConnection.value()(local, remote.data(), &length);
    }
    if (result == NO_ERROR) return std::string(remote.data());
    if (result == ERROR_NOT_CONNECTED)
        return Error{ErrorCode::FileNotFound, std::string(local) + " is no network drive"};
    return Error{ErrorCode::CannotOpen,
                 "the share of " + std::string(local) + " cannot be read (error " + std::to_string(result) + ")"};
}

} // namespace tess::platform::win32

// The folder name of the code-page cases, the check that Wine gave the driver the code page it
// was started for (Wine takes it from the Unix locale, so a wrong locale shows here), and UTF-8.
#include "code_page.h"

#include <windows.h>

#include <algorithm>

namespace tess::e2e {

std::wstring Wide(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

Result<std::string> CodePageFolderName() {
    char asked[16] = {};
    const DWORD length = GetEnvironmentVariableA(kCodePageVariable, asked, sizeof asked);
    if (length == 0)
        return std::string();
    if (length >= sizeof asked)
        return Error{ErrorCode::InvalidArgument, std::string(kCodePageVariable) + " is not a code page"};
    const std::string page = asked;
    const std::string actual = std::to_string(GetACP());
    if (page != actual)
        return Error{ErrorCode::InvalidArgument,
                     "the run was started for code page " + page + " but the driver's is " + actual +
                         " (is the locale installed? scripts/setup-deps.sh makes it)"};
    return Utf8(L"\u76AE\u80A4 \u0421\u043A\u0438\u043D\u044B");
}

} // namespace tess::e2e

// The folder names of the code-page cases, and the check that Wine gave the run the code page
// it was started for (Wine takes it from the Unix locale, so a wrong locale shows here).
#include "code_page.h"

#include <windows.h>

namespace tess::e2e {

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
                     "the run was started for code page " + page + " but the system's is " + actual +
                         " (is the locale installed? scripts/setup-deps.sh makes it)"};
    // "Skins – test" and "Скины", in the bytes of their code pages.
    if (page == "1252")
        return std::string("Skins \x96 test");
    if (page == "1251")
        return std::string("\xd1\xea\xe8\xed\xfb");
    return Error{ErrorCode::InvalidArgument, "no folder name is known for code page " + page};
}

} // namespace tess::e2e

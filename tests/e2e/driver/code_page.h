// Folder names beyond ASCII for the cases that run a program under a given ANSI code page: the
// page is asked for with TESS_E2E_CODE_PAGE, and a run that Wine gave another page fails.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::e2e {

// The variable that names the code page a case must run under ("1252", "1251").
inline constexpr const char* kCodePageVariable = "TESS_E2E_CODE_PAGE";

// A folder name in the system's code page holding a character of that page beyond ASCII that
// Latin-1 does not share: under 1252 an en dash, under 1251 Cyrillic letters. Empty when
// TESS_E2E_CODE_PAGE is not set; an error when the system's code page is another one, or when
// no name is known for the page asked for.
Result<std::string> CodePageFolderName();

} // namespace tess::e2e

// Names beyond the driver's code page: the folder name of the code-page cases and the conversions
// by which the driver hands such names to the system and reads them back through the wide calls.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::e2e {

// The variable that names the code page the driver must run under ("1252", "1251").
inline constexpr const char* kCodePageVariable = "TESS_E2E_CODE_PAGE";

// The programs declare UTF-8 as their code page, so they reach any name whatever the system's
// code page; the driver declares nothing and runs in the locale's page. Its texts are UTF-8
// (ASCII is the same in both): the names of files, folders, registry keys and values and
// programs, and the texts of edit boxes and lists, go to the system and come back through the
// wide calls, never through the driver's own code page, which lacks most of them.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// A folder name, in UTF-8, that neither code page 1252 nor 1251 can spell: "皮肤 Скины". Empty
// when TESS_E2E_CODE_PAGE is not set; an error when the driver's code page is another one.
Result<std::string> CodePageFolderName();

} // namespace tess::e2e

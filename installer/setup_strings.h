// The setup program's text helpers: NUL-terminated buffers, quote replacement, folder separators,
// and the shortened paths that its pages show; trimming is the programs' own (core/text.h).
#pragma once

#include <string>

#include "core/text.h"
#include "platform/path_text.h"

namespace tess::installer {

// A fixed buffer's text: what comes before its first NUL.
inline std::string StringFromBuffer(const std::string& buffer) { return CutAtNull(buffer); }

// Turns every double quote into an apostrophe.
void ReplaceDoubleQuotes(std::string& text);

// Ends the path with a backslash unless its trimmed form ends in '\' or '/' already; trailing
// spaces go first, and an empty path becomes "\".
void AddDirSep(std::string& path);

// The folder shown on the folder page: the application folder `installDir` & "\Tessary", or
// when that exceeds 35 characters, "..." with the last 24 characters of `installDir` and
// "\Tessary". Characters are those of the code page `page`, of one byte or several.
std::string ChooseFolderDisplayPath(const std::string& installDir,
                                    const platform::CodePage& page = platform::CodePage::Active());
// The folder on the ready page: `installDir`, or "..." with its last 30 characters past 35.
std::string ReadyShortPath(const std::string& installDir,
                           const platform::CodePage& page = platform::CodePage::Active());
// A program's path in the installation lines: "..." with its last 40 characters past 40.
std::string ProgramDisplayPath(const std::string& path, const platform::CodePage& page = platform::CodePage::Active());

} // namespace tess::installer

// The programs' text helpers over ANSI bytes: trimming spaces and cutting a buffer's text at its
// first NUL, as the system's calls and the setup program's texts need them.
#pragma once

#include <string>

namespace tess {

// Removes leading and trailing spaces (only spaces: a tab or a line break is text).
std::string TrimSpaces(const std::string& text);
std::string TrimTrailingSpaces(const std::string& text);

// The text before the first NUL, or all of it when there is none.
std::string CutAtNull(const std::string& text);

} // namespace tess

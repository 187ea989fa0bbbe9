// The characters of a Windows code page as the system reports them (lead bytes, or UTF-8), which
// the path functions of platform/path_text.h step over.
#pragma once

#include "platform/path_text.h"

namespace tess::platform::win32 {

// The code page `id` (CP_ACP for the program's ANSI code page): UTF-8 for code page 65001,
// otherwise every byte the system calls a lead byte of it. A code page the system does not know
// has none.
CodePage SystemCodePage(unsigned id);

} // namespace tess::platform::win32

// The ANSI code page's lead bytes from the system, asked once per program: the code page of the
// A functions is fixed for a process's life.
#include "platform/win32/code_page.h"

#include <windows.h>

namespace tess::platform {

const CodePage& CodePage::Active() {
    static const CodePage active = win32::SystemCodePage(CP_ACP);
    return active;
}

} // namespace tess::platform

namespace tess::platform::win32 {

CodePage SystemCodePage(unsigned id) {
    std::bitset<256> leadBytes;
    for (unsigned byte = 0; byte < 256; ++byte)
        leadBytes.set(byte, IsDBCSLeadByteEx(id, static_cast<BYTE>(byte)) != FALSE);
    return CodePage(leadBytes);
}

} // namespace tess::platform::win32

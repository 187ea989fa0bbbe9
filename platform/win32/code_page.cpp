// The ANSI code page's characters from the system, asked once per program: the code page of the
// A functions is fixed for a process's life, UTF-8 when the manifest's request was honoured.
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
    // The system reports no lead bytes for UTF-8, whose characters it reads from their first byte.
    if (id == CP_UTF8 || (id == CP_ACP && GetACP() == CP_UTF8))
        return CodePage::Utf8();
    std::bitset<256> leadBytes;
    for (unsigned byte = 0; byte < 256; ++byte)
        leadBytes.set(byte, IsDBCSLeadByteEx(id, static_cast<BYTE>(byte)) != FALSE);
    return CodePage(leadBytes);
}

} // namespace tess::platform::win32

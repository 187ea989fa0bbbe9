// The host's narrow code page: paths there are UTF-8 or single bytes, and neither has a byte
// below 0x80 inside a character of several bytes, so every byte counts as a character of its own.
#include "platform/path_text.h"

namespace tess::platform {

const CodePage& CodePage::Active() {
    static const CodePage singleBytes;
    return singleBytes;
}

} // namespace tess::platform

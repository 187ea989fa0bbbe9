// Code page 932's lead bytes, for the tests that read paths as a Japanese system does: there the
// byte after a lead byte may be a backslash ("ソ" is 0x83 0x5C) or an ASCII letter ("ア" is 0x83 0x41).
#pragma once

#include "platform/path_text.h"

namespace tess::testing {

inline const platform::CodePage kCodePage932{{0x81, 0x9F}, {0xE0, 0xFC}};

} // namespace tess::testing

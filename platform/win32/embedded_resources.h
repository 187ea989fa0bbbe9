// Pictures stored in the running program's own resources (artwork, the browser toolbar that the
// preview draws over the skin), decoded like picture files.
#pragma once

#include "core/picture.h"
#include "core/result.h"

namespace tess::platform::win32 {

// Decodes the raw picture resource `name` of the running program. Errors: FileNotFound when the
// program holds no such resource, CannotOpen when it cannot be loaded, and the decoder's errors
// when its bytes are not a picture.
Result<Picture> LoadEmbeddedPicture(const char* name);

} // namespace tess::platform::win32

// A screenshot of one window, frame included, written as a bitmap file: what the screenshot
// tours leave for a person to look at.
#pragma once

#include <windows.h>

#include <string>

#include "core/result.h"

namespace tess::e2e {

// Brings the window to the front and repaints it first unless `repaint` is false (a window whose
// program is busy is taken as the screen shows it: asking it to repaint would wait for it).
Status WriteWindowShot(HWND window, const std::string& path, bool repaint = true);

} // namespace tess::e2e

// The mouse buttons and shift keys of a Win32 input message in the model's terms: button bits
// 1 left, 2 right, 4 middle; shift bits 1 Shift, 2 Ctrl, 4 Alt.
#pragma once

#include <windows.h>

#include "ui/controls.h"

namespace tess::ui::win32 {

// The buttons held down, from a mouse message's key flags.
int ButtonsOf(WPARAM keys);
// The shift keys, from a mouse message's key flags and the keyboard state for Alt.
int ShiftOf(WPARAM keys);
// The shift keys held while the current key message was sent; `altFlag` is bit 29 of its
// lParam, which a system key message sets while Alt is down.
int KeyShift(bool altFlag);

} // namespace tess::ui::win32

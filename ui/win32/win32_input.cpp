// Translating a message's key flags and the keyboard state into the model's button and shift
// bits.
#include "ui/win32/win32_input.h"

namespace tess::ui::win32 {

int ButtonsOf(WPARAM keys) {
    int buttons = 0;
    if (keys & MK_LBUTTON) buttons |= kLeftButton;
    if (keys & MK_RBUTTON) buttons |= kRightButton;
    if (keys & MK_MBUTTON) buttons |= kMiddleButton;
    return buttons;
}

int ShiftOf(WPARAM keys) {
    int shift = 0;
    if (keys & MK_SHIFT) shift |= kShiftKey;
    if (keys & MK_CONTROL) shift |= kCtrlKey;
    if (GetKeyState(VK_MENU) < 0) shift |= kAltKey;
    return shift;
}

int KeyShift(bool altFlag) {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftKey;
    if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlKey;
    if (altFlag || GetKeyState(VK_MENU) < 0) shift |= kAltKey;
    return shift;
}

} // namespace tess::ui::win32

// The keyboard as a user presses it: real input through the system, so that the focus at the
// moment of each press and each release decides which window receives it.
#pragma once

#include <windows.h>

#include "core/result.h"
#include "wait.h"

namespace tess::e2e {

// Waits until `window` is the foreground window, where the keyboard's input goes, then presses
// and releases `virtualKey` there.
Status TypeKey(HWND window, UINT virtualKey, Timeout timeout = kDefaultTimeout);

// Answers a message box from the keyboard as a hand does: `virtualKey` goes down while the box
// is in front, and comes up only once the box has closed, so that the release reaches whatever
// window has the focus then (the box's owner, which a message box closed by the press hands the
// focus back to).
Status AnswerWithKey(HWND box, UINT virtualKey, Timeout timeout = kDefaultTimeout);

} // namespace tess::e2e

// Keys through SendInput. The system delivers them to the focus of the foreground window, so each
// gesture first waits until the intended window is in front.
#include "keyboard.h"

#include <string>

namespace tess::e2e {

namespace {

Status SendKey(UINT virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (SendInput(1, &input, sizeof input) != 1)
        return Error{ErrorCode::CannotOpen, "the system refused the key: error " + std::to_string(GetLastError())};
    return Status::Ok();
}

Status AwaitForeground(HWND window, Timeout timeout) {
    if (!IsWindow(window))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    return WaitUntil([&] { return GetForegroundWindow() == window; }, "the window to come to the front", timeout);
}

} // namespace

Status TypeKey(HWND window, UINT virtualKey, Timeout timeout) {
    if (Status front = AwaitForeground(window, timeout); !front)
        return front;
    if (Status down = SendKey(virtualKey, false); !down)
        return down;
    return SendKey(virtualKey, true);
}

Status AnswerWithKey(HWND box, UINT virtualKey, Timeout timeout) {
    if (Status front = AwaitForeground(box, timeout); !front)
        return front;
    if (Status down = SendKey(virtualKey, false); !down)
        return down;
    const Status closed = WaitUntil([&] { return !IsWindow(box); }, "the message box to close", timeout);
    // Released in any case, so that no key stays down for what follows.
    const Status up = SendKey(virtualKey, true);
    return closed ? up : closed;
}

} // namespace tess::e2e

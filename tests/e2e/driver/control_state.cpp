// Control state read with messages to the control (answered by its own thread, within a time
// limit) and with the system's window flags.
#include "control_state.h"

namespace tess::e2e {

namespace {

Result<LRESULT> Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, Timeout timeout) {
    DWORD_PTR result = 0;
    if (!IsWindow(window))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                             &result))
        return Error{ErrorCode::CannotOpen, "the control did not answer message " + std::to_string(message)};
    return static_cast<LRESULT>(result);
}

} // namespace

Result<std::string> Text(HWND control, Timeout timeout) {
    const auto length = Ask(control, WM_GETTEXTLENGTH, 0, 0, timeout);
    if (!length)
        return length.error();
    std::string text(static_cast<size_t>(length.value()) + 1, '\0');
    const auto got = Ask(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), timeout);
    if (!got)
        return got.error();
    text.resize(static_cast<size_t>(got.value()));
    return text;
}

Result<int> CheckState(HWND button, Timeout timeout) {
    const auto state = Ask(button, BM_GETCHECK, 0, 0, timeout);
    if (!state)
        return state.error();
    return static_cast<int>(state.value());
}

Result<ScrollState> ScrollStateOf(HWND bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    if (!GetScrollInfo(bar, SB_CTL, &info))
        return Error{ErrorCode::CannotOpen, "cannot read the scroll bar"};
    return ScrollState{info.nMin, info.nMax, info.nPos};
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool IsVisible(HWND window) { return IsWindowVisible(window) != FALSE; }

} // namespace tess::e2e

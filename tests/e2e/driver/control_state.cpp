// Control state read with messages to the control (answered by its own thread, within a time
// limit) and with the system's window flags.
#include "control_state.h"

#include "code_page.h"

namespace tess::e2e {

namespace {

// The messages of a list box, or of the list of a combo box.
struct ListMessages {
    UINT count, textLength, text, selected;
};

Result<ListMessages> ListMessagesOf(HWND list) {
    char name[32] = {};
    GetClassNameA(list, name, sizeof name);
    if (lstrcmpiA(name, "ListBox") == 0)
        return ListMessages{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL};
    if (lstrcmpiA(name, "ComboBox") == 0)
        return ListMessages{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL};
    return Error{ErrorCode::InvalidArgument, std::string("not a list: a window of class ") + name};
}

} // namespace

Result<std::vector<std::string>> ListEntries(HWND list, Timeout timeout) {
    const auto messages = ListMessagesOf(list);
    if (!messages)
        return messages.error();
    const auto count = SendWithin(list, messages.value().count, 0, 0, timeout);
    if (!count)
        return count.error();
    std::vector<std::string> entries;
    for (LRESULT i = 0; i < count.value(); ++i) {
        // Asked in UTF-16: Wine hands another program's entries to an ANSI caller unconverted.
        const auto length = SendWideWithin(list, messages.value().textLength, static_cast<WPARAM>(i), 0, timeout);
        if (!length || length.value() < 0)
            return Error{ErrorCode::CannotOpen, "cannot read entry " + std::to_string(i)};
        std::wstring wide(static_cast<size_t>(length.value()) + 1, L'\0');
        const auto got = SendWideWithin(list, messages.value().text, static_cast<WPARAM>(i),
                                 reinterpret_cast<LPARAM>(wide.data()), timeout);
        if (!got || got.value() < 0 || got.value() > length.value())
            return Error{ErrorCode::CannotOpen, "cannot read entry " + std::to_string(i)};
        wide.resize(static_cast<size_t>(got.value()));
        entries.push_back(Utf8(wide));
    }
    return entries;
}

Result<int> SelectedEntry(HWND list, Timeout timeout) {
    const auto messages = ListMessagesOf(list);
    if (!messages)
        return messages.error();
    const auto selected = SendWithin(list, messages.value().selected, 0, 0, timeout);
    if (!selected)
        return selected.error();
    return static_cast<int>(selected.value());
}

Result<std::string> Text(HWND control, Timeout timeout) {
    const auto length = SendWideWithin(control, WM_GETTEXTLENGTH, 0, 0, timeout);
    if (!length)
        return length.error();
    std::wstring text(static_cast<size_t>(length.value()) + 1, L'\0');
    const auto got = SendWideWithin(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), timeout);
    if (!got)
        return got.error();
    text.resize(static_cast<size_t>(got.value()));
    return Utf8(text);
}

Result<int> CheckState(HWND button, Timeout timeout) {
    const auto state = SendWithin(button, BM_GETCHECK, 0, 0, timeout);
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

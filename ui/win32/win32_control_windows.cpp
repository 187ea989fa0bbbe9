// The messages behind the typed control windows: text and font, checks and button styles, edit
// margins, list and combo box contents and selections, and scroll bar ranges.
#include "ui/win32/win32_control_windows.h"

#include <algorithm>

namespace tess::ui::win32 {

std::string WindowRef::text() const {
    const int length = GetWindowTextLengthA(window_);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = GetWindowTextA(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void WindowRef::setText(const std::string& text) const { SetWindowTextA(window_, text.c_str()); }

HFONT WindowRef::font() const { return reinterpret_cast<HFONT>(send(WM_GETFONT)); }

void WindowRef::setFont(HFONT font, bool redraw) const {
    send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void WindowRef::setIcon(HANDLE icon, bool small) const {
    send(WM_SETICON, small ? ICON_SMALL : ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

bool WindowRef::hidesMnemonics() const { return (send(WM_QUERYUISTATE) & UISF_HIDEACCEL) != 0; }

HBRUSH WindowRef::staticColours(HDC dc, HWND control) const {
    return reinterpret_cast<HBRUSH>(
        send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
}

void ButtonWindow::setChecked(bool on) const { send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }

void ButtonWindow::setDefault(bool on) const {
    send(BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void EditWindow::setMargins(int left, int right) const {
    send(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
}

void EditWindow::setReadOnly(bool on) const { send(EM_SETREADONLY, on ? TRUE : FALSE); }

void RowsWindow::replace(const std::vector<std::string>& items) const {
    if (messages_.drawnOnceFilled) send(WM_SETREDRAW, FALSE);
    send(messages_.reset);
    for (const std::string& item : items)
        send(messages_.add, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (!messages_.drawnOnceFilled) return;
    send(WM_SETREDRAW, TRUE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void RowsWindow::select(int row) const { send(messages_.setSelection, static_cast<WPARAM>(row)); }

int RowsWindow::selected() const { return static_cast<int>(send(messages_.getSelection)); }

namespace {

const RowsWindow::Messages kListBoxMessages{LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL,
                                            LB_GETCURSEL, true};
const RowsWindow::Messages kComboBoxMessages{CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL,
                                             CB_GETCURSEL, false};

} // namespace

ListBoxWindow::ListBoxWindow(HWND window) : RowsWindow(window, kListBoxMessages) {}

ComboBoxWindow::ComboBoxWindow(HWND window) : RowsWindow(window, kComboBoxMessages) {}

void ScrollBarWindow::setRangeAndPosition(int min, int max, int position) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = min;
    info.nMax = max;
    info.nPage = 0;
    info.nPos = position;
    SetScrollInfo(hwnd(), SB_CTL, &info, TRUE);
}

} // namespace tess::ui::win32

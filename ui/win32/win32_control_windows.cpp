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

void ListBoxWindow::replace(const std::vector<std::string>& items) const {
    // Drawn once at the end rather than after every row.
    send(WM_SETREDRAW, FALSE);
    send(LB_RESETCONTENT);
    for (const std::string& item : items) send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    send(WM_SETREDRAW, TRUE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void ListBoxWindow::select(int row) const { send(LB_SETCURSEL, static_cast<WPARAM>(row)); }

int ListBoxWindow::selected() const { return static_cast<int>(send(LB_GETCURSEL)); }

void ComboBoxWindow::replace(const std::vector<std::string>& items) const {
    send(CB_RESETCONTENT);
    for (const std::string& item : items) send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBoxWindow::select(int row) const { send(CB_SETCURSEL, static_cast<WPARAM>(row)); }

int ComboBoxWindow::selected() const { return static_cast<int>(send(CB_GETCURSEL)); }

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

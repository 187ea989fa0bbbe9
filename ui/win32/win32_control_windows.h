// Typed views of the system's control windows: the messages of STATIC, BUTTON, EDIT, LISTBOX,
// COMBOBOX and SCROLLBAR windows as calls, each message sent from one place. None owns its window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tess::ui::win32 {

// Any window: its text, font and icons, and the colours it gives its STATIC children.
class WindowRef {
public:
    explicit WindowRef(HWND window) : window_(window) {}
    HWND hwnd() const { return window_; }

    std::string text() const;
    void setText(const std::string& text) const;
    HFONT font() const;
    void setFont(HFONT font, bool redraw) const;
    // The icon of the title bar (small) or of the task switcher (big).
    void setIcon(HANDLE icon, bool small) const;
    // Whether the window hides its mnemonics' underlines until the keyboard is used.
    bool hidesMnemonics() const;
    // The brush this window paints its STATIC child `control` with, having set `dc`'s colours;
    // null when it leaves that to the system.
    HBRUSH staticColours(HDC dc, HWND control) const;

protected:
    LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
        return SendMessageA(window_, message, wparam, lparam);
    }

private:
    HWND window_;
};

// A BUTTON window: push button, check box or option button.
class ButtonWindow : public WindowRef {
public:
    using WindowRef::WindowRef;
    void setChecked(bool on) const;
    // Marks a push button as the one Enter presses (or no longer).
    void setDefault(bool on) const;
};

// An EDIT window.
class EditWindow : public WindowRef {
public:
    using WindowRef::WindowRef;
    // The space left and right of the text, in pixels.
    void setMargins(int left, int right) const;
    void setReadOnly(bool on) const;
};

// A window of rows of text with at most one selected: a list box or a combo box, whose messages
// differ only in their names.
class RowsWindow : public WindowRef {
public:
    // The messages of one kind of window.
    struct Messages {
        UINT reset, add, setSelection, getSelection;
        // Whether the window is drawn once when filled rather than after every row.
        bool drawnOnceFilled;
    };

    // Fills the window with `items` in their order.
    void replace(const std::vector<std::string>& items) const;
    // Selects a row; -1 clears the selection.
    void select(int row) const;
    // The selected row, -1 for none.
    int selected() const;

protected:
    RowsWindow(HWND window, const Messages& messages) : WindowRef(window), messages_(messages) {}

private:
    const Messages& messages_;
};

// A LISTBOX window, drawn once when filled.
class ListBoxWindow : public RowsWindow {
public:
    explicit ListBoxWindow(HWND window);
};

// A drop-down COMBOBOX window.
class ComboBoxWindow : public RowsWindow {
public:
    explicit ComboBoxWindow(HWND window);
};

// A SCROLLBAR window (the bar is the window itself).
class ScrollBarWindow : public WindowRef {
public:
    using WindowRef::WindowRef;
    // The range from `min` to `max` (min <= max) and the thumb's position, without a page.
    void setRangeAndPosition(int min, int max, int position) const;
};

} // namespace tess::ui::win32

// The one window procedure of the binding: the object is bound to its window at WM_NCCREATE (or,
// for a window of a system class, when it subclasses it), and messages are cracked into typed calls.
#pragma once

#include <windows.h>

namespace tess::ui::win32 {

class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // The window this object handles; null before creation and after WM_NCDESTROY.
    HWND hwnd() const { return hwnd_; }

    // Whether a window procedure of the binding is running on this thread, so that an object
    // whose window is being closed is not freed under the procedure that called for it.
    static bool InsideProcedure();

    // Asks `parent` to paint what lies beneath its child `child` into `dc`, in the child's
    // client coordinates; false when the parent has nothing of its own to show there.
    static bool RequestBackdrop(HWND parent, HDC dc, HWND child);

protected:
    // Registers the class on first use; every class of the binding runs Procedure.
    static void RegisterClassOnce(const char* name, UINT classStyle, HBRUSH background);
    // Creates a window of a registered class bound to this object; null on failure.
    HWND createWindow(const char* className, DWORD exStyle, const char* title, DWORD style,
                      const RECT& placement, HWND parent, HMENU menuOrId);
    // Binds this object to a window of a system class (STATIC, ...) made elsewhere: its messages
    // go through Procedure too, and what this object leaves unhandled goes on to the class's own
    // procedure, which also keeps the window's font. Undone when the window or this object goes.
    // Done with user32 alone, so that no program needs the common controls library for it.
    bool subclass(HWND window);

    // Typed handlers; those returning bool say whether they handled the message, otherwise the
    // system's default handling runs.
    virtual bool paints() const { return false; }
    virtual void onPaint(HDC) {}
    virtual bool onEraseBackground(HDC) { return false; }
    virtual void onCommand(int, int, HWND) {}
    virtual void onVerticalScroll(int, int, HWND) {}
    virtual HBRUSH onControlColour(HDC, HWND) { return nullptr; }
    virtual bool onClose() { return false; }
    virtual void onMouseUp(POINT) {}
    virtual void onDoubleClick(POINT) {}
    // A button pressed and a move of the mouse, in the control model's button and shift bits
    // (kLeftButton, kShiftKey, ...): the one button pressed, or every button held during a move;
    // a release of any button with the buttons still held.
    virtual bool onButtonDown(int /*button*/, int /*shift*/, POINT) { return false; }
    virtual bool onMouseMoved(int /*buttons*/, int /*shift*/, POINT) { return false; }
    virtual void onButtonUp(int /*buttons*/) {}
    // A system key released (Alt itself or a key held with it: its virtual key code) or a
    // character typed with Alt (WM_SYSKEYUP, WM_SYSCHAR); true keeps it from the system.
    virtual bool onSystemKey(bool /*character*/, int /*key*/) { return false; }
    virtual void onMoved() {}
    virtual bool paintBackdrop(HDC, HWND) { return false; }
    virtual bool onActivate(bool) { return false; }
    virtual bool onFocus() { return false; }
    virtual void onEnableChanged() {}
    // The window moved to a monitor of another DPI (or its DPI changed): the new DPI and the
    // outer rectangle the system suggests for it.
    virtual bool onDpiChanged(int /*dpi*/, const RECT& /*suggested*/) { return false; }
    virtual void onDestroyed() {}

    HFONT font() const { return font_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT crack(UINT message, WPARAM wparam, LPARAM lparam);
    // The handling of a message this object left alone: the system class's, else the default.
    LRESULT passOn(UINT message, WPARAM wparam, LPARAM lparam);
    void unsubclass();

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    WNDPROC classProcedure_ = nullptr;
};

} // namespace tess::ui::win32

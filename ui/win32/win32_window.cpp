// The binding's window procedure: binds objects to windows (its own classes' and subclassed ones),
// cracks the messages the binding handles into typed calls, and unbinds the object when its window
// is gone.
#include "ui/win32/win32_window.h"

#include "platform/win32/handles.h"
#include "ui/win32/win32_input.h"

namespace tess::ui::win32 {

using platform::win32::PaintDc;

namespace {

thread_local int procedureDepth = 0;

UINT BackdropMessage() {
    static const UINT message = RegisterWindowMessageA("TessPaintBackdrop");
    return message;
}

POINT PointOf(LPARAM lparam) {
    return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

} // namespace

WindowBase::~WindowBase() {
    // The holder decides whether the window is destroyed; a window that outlives this object
    // must no longer reach it.
    if (!hwnd_) return;
    unsubclass();
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

bool WindowBase::InsideProcedure() { return procedureDepth > 0; }

bool WindowBase::RequestBackdrop(HWND parent, HDC dc, HWND child) {
    return parent && SendMessageA(parent, BackdropMessage(), reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(child)) != 0;
}

void WindowBase::RegisterClassOnce(const char* name, UINT classStyle, HBRUSH background) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &WindowBase::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

HWND WindowBase::createWindow(const char* className, DWORD exStyle, const char* title, DWORD style,
                              const RECT& placement, HWND parent, HMENU menuOrId) {
    return CreateWindowExA(exStyle, className, title, style, placement.left, placement.top,
                           placement.right - placement.left, placement.bottom - placement.top,
                           parent, menuOrId, GetModuleHandleA(nullptr), this);
}

bool WindowBase::subclass(HWND window) {
    if (!window || hwnd_) return false;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hwnd_ = window;
    classProcedure_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowBase::Procedure)));
    if (classProcedure_) return true;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    return false;
}

void WindowBase::unsubclass() {
    if (!classProcedure_) return;
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProcedure_));
    classProcedure_ = nullptr;
}

LRESULT WindowBase::passOn(UINT message, WPARAM wparam, LPARAM lparam) {
    if (classProcedure_) return CallWindowProcA(classProcedure_, hwnd_, message, wparam, lparam);
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = window;
    } else {
        self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(window, message, wparam, lparam);

    ++procedureDepth;
    const LRESULT result = self->crack(message, wparam, lparam);
    --procedureDepth;
    if (message == WM_NCDESTROY) {
        self->unsubclass();
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->onDestroyed();
    }
    return result;
}

LRESULT WindowBase::crack(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        if (paints()) {
            PaintDc dc(hwnd_);
            onPaint(dc.get());
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (paints()) {
            onPaint(reinterpret_cast<HDC>(wparam));
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (onEraseBackground(reinterpret_cast<HDC>(wparam))) return 1;
        break;
    case WM_COMMAND:
        onCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return 0;
    case WM_VSCROLL:
        // Scroll positions of the bars here fit in 16 bits, so the one in the message serves.
        onVerticalScroll(LOWORD(wparam), static_cast<short>(HIWORD(wparam)),
                         reinterpret_cast<HWND>(lparam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush = onControlColour(reinterpret_cast<HDC>(wparam),
                                           reinterpret_cast<HWND>(lparam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_CLOSE:
        if (onClose()) return 0;
        break;
    // Releases and double clicks go on to the default handling too, which a system class may
    // need (a STATIC's click notifications).
    case WM_LBUTTONUP:
        onMouseUp(PointOf(lparam));
        onButtonUp(ButtonsOf(wparam));
        break;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        onButtonUp(ButtonsOf(wparam));
        break;
    case WM_LBUTTONDOWN:
        if (onButtonDown(kLeftButton, ShiftOf(wparam), PointOf(lparam))) return 0;
        break;
    case WM_RBUTTONDOWN:
        if (onButtonDown(kRightButton, ShiftOf(wparam), PointOf(lparam))) return 0;
        break;
    case WM_MBUTTONDOWN:
        if (onButtonDown(kMiddleButton, ShiftOf(wparam), PointOf(lparam))) return 0;
        break;
    case WM_MOUSEMOVE:
        if (onMouseMoved(ButtonsOf(wparam), ShiftOf(wparam), PointOf(lparam))) return 0;
        break;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        if (onSystemKey(message == WM_SYSCHAR, static_cast<int>(wparam))) return 0;
        break;
    case WM_MOVE:
        onMoved();
        break;
    case WM_LBUTTONDBLCLK:
        onDoubleClick(PointOf(lparam));
        break;
    case WM_ACTIVATE:
        if (onActivate(LOWORD(wparam) != WA_INACTIVE)) return 0;
        break;
    case WM_SETFOCUS:
        if (onFocus()) return 0;
        break;
    case WM_ENABLE:
        onEnableChanged();
        break;
    case WM_DPICHANGED:
        // Both halves of wParam carry the new DPI; lParam the rectangle the system suggests.
        if (onDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam))) return 0;
        break;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wparam);
        if (classProcedure_) break;
        if (LOWORD(lparam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        if (classProcedure_) break;
        return reinterpret_cast<LRESULT>(font_);
    default:
        if (message == BackdropMessage())
            return paintBackdrop(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)) ? 1
                                                                                               : 0;
        break;
    }
    return passOn(message, wparam, lparam);
}

} // namespace tess::ui::win32

// Owning wrappers of Win32 handles (windows, device contexts, GDI objects, menus, kernel
// handles, global atoms, CryptoAPI contexts); a raw handle passed around is a non-owning view.
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <utility>

namespace tess::platform::win32 {

// One owned handle released by Release::operator(); movable, not copyable.
template <typename Handle, typename Release, Handle kNone = Handle{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != kNone; }
    // Gives up ownership, e.g. when the system takes the handle over (a menu set on a window).
    Handle release() { return std::exchange(handle_, kNone); }
    void reset(Handle h = kNone) {
        if (handle_ != kNone) Release{}(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = kNone;
};

struct DestroyWindowRelease {
    void operator()(HWND h) const { DestroyWindow(h); }
};
struct DestroyMenuRelease {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct DeleteObjectRelease {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DeleteDcRelease {
    void operator()(HDC h) const { DeleteDC(h); }
};
struct CloseHandleRelease {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct DeleteAtomRelease {
    void operator()(ATOM a) const { GlobalDeleteAtom(a); }
};
struct FreeLibraryRelease {
    void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct DestroyIconRelease {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct FindCloseRelease {
    void operator()(HANDLE h) const { FindClose(h); }
};

struct CryptReleaseContextRelease {
    void operator()(HCRYPTPROV h) const { CryptReleaseContext(h, 0); }
};
struct CryptDestroyHashRelease {
    void operator()(HCRYPTHASH h) const { CryptDestroyHash(h); }
};

using UniqueWindow = UniqueHandle<HWND, DestroyWindowRelease>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuRelease>;
using UniqueFont = UniqueHandle<HFONT, DeleteObjectRelease>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteObjectRelease>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObjectRelease>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDcRelease>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandleRelease>;
using UniqueGlobalAtom = UniqueHandle<ATOM, DeleteAtomRelease>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibraryRelease>;
using UniqueIcon = UniqueHandle<HICON, DestroyIconRelease>;
using UniqueCryptContext = UniqueHandle<HCRYPTPROV, CryptReleaseContextRelease>;
using UniqueCryptHash = UniqueHandle<HCRYPTHASH, CryptDestroyHashRelease>;
// A search from FindFirstFile; INVALID_HANDLE_VALUE, its failure, is never owned.
using UniqueFind = UniqueHandle<HANDLE, FindCloseRelease>;

// A window's (or, for a null window, the screen's) device context from GetDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of one WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects a GDI object into a device context for one scope and puts the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace tess::platform::win32

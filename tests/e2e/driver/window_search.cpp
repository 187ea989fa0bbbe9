// Window enumeration with the searches polled until their window appears.
#include "window_search.h"

#include "ui/win32/control_tag.h"

namespace tess::e2e {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM into) {
    reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

Result<HWND> FindTopWindowOnce(const WindowQuery& query) {
    HWND hidden = nullptr;
    for (HWND window : TopWindows()) {
        if (Caption(window) != query.title)
            continue;
        if (!query.className.empty() && ClassName(window) != query.className)
            continue;
        if (query.processId && ProcessOf(window) != query.processId)
            continue;
        if (IsWindowVisible(window))
            return window;
        if (!hidden && !query.visibleOnly)
            hidden = window;
    }
    if (hidden)
        return hidden;
    return Error{ErrorCode::FileNotFound, "no top-level window titled \"" + query.title + "\"" +
                                              (query.className.empty() ? "" : " of class " + query.className)};
}

} // namespace

std::string ClassName(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::string Caption(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

std::string ControlName(HWND control) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(control, ui::win32::kControlTagProperty)));
    if (!atom)
        return "";
    char name[256] = {};
    const UINT length = GlobalGetAtomNameA(atom, name, sizeof name);
    return std::string(name, length);
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> windows;
    EnumChildWindows(top, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

Result<HWND> FindTopWindow(const WindowQuery& query, Timeout timeout) {
    return WaitFor<HWND>([&] { return FindTopWindowOnce(query); }, timeout);
}

Status WaitForWindowGone(HWND window, Timeout timeout) {
    return WaitUntil([&] { return !IsWindow(window); }, "a window to close", timeout);
}

Result<HWND> FindControl(HWND top, const std::string& name, Timeout timeout) {
    return WaitFor<HWND>(
        [&]() -> Result<HWND> {
            for (HWND control : Descendants(top))
                if (ControlName(control) == name)
                    return control;
            return Error{ErrorCode::FileNotFound, "no control named " + name};
        },
        timeout);
}

Result<HWND> FindControl(HWND top, const std::string& className, const std::string& caption, Timeout timeout) {
    return WaitFor<HWND>(
        [&]() -> Result<HWND> {
            for (HWND control : Descendants(top))
                if (ClassName(control) == className && Caption(control) == caption)
                    return control;
            return Error{ErrorCode::FileNotFound, "no " + className + " control captioned \"" + caption + "\""};
        },
        timeout);
}

} // namespace tess::e2e

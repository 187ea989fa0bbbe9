// Finding another program's windows as a user sees them: top-level windows by exact title and
// class, controls by the name tag the binding gives them or by class and caption.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/result.h"
#include "wait.h"

namespace tess::e2e {

struct WindowQuery {
    std::string title;      // exact
    std::string className;  // exact; empty for any class
    DWORD processId = 0;    // 0 for any process
    // Only a shown window: a dialog is shown once its controls are made.
    bool visibleOnly = false;
};

// The top-level window that matches, waiting for it; a visible match is preferred to a hidden
// one. The returned handle is a view: the window belongs to the program under test.
Result<HWND> FindTopWindow(const WindowQuery& query, Timeout timeout = kDefaultTimeout);
// Waits until `window` no longer exists.
Status WaitForWindowGone(HWND window, Timeout timeout = kDefaultTimeout);

// A descendant of `top` whose name tag is `name`.
Result<HWND> FindControl(HWND top, const std::string& name, Timeout timeout = kDefaultTimeout);
// A descendant of `top` of class `className` whose caption is exactly `caption`.
Result<HWND> FindControl(HWND top, const std::string& className, const std::string& caption,
                         Timeout timeout = kDefaultTimeout);

// The name tag of a control; empty when it has none.
std::string ControlName(HWND control);
std::string ClassName(HWND window);
// The caption the system keeps for a window (no message is sent, so it works on a busy program).
std::string Caption(HWND window);
// All descendants of `top`, in creation order per parent.
std::vector<HWND> Descendants(HWND top);

} // namespace tess::e2e

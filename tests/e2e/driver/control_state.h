// Reading the state of another program's controls: texts, check marks, scroll positions,
// enabled and visible.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/result.h"
#include "wait.h"

namespace tess::e2e {

// The text a control holds, asked of the control itself (edit boxes keep theirs apart from the
// caption the system knows).
Result<std::string> Text(HWND control, Timeout timeout = kDefaultTimeout);
// BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE of a check box or option button.
Result<int> CheckState(HWND button, Timeout timeout = kDefaultTimeout);

struct ScrollState {
    int minimum = 0, maximum = 0, position = 0;
};
// A scroll bar control's range and thumb position, as the system keeps them (no message is sent).
Result<ScrollState> ScrollStateOf(HWND bar);

// The entries of a list box or a combo box, top to bottom.
Result<std::vector<std::string>> ListEntries(HWND list, Timeout timeout = kDefaultTimeout);
// The selected entry's index of a list box or a combo box; -1 when none is selected.
Result<int> SelectedEntry(HWND list, Timeout timeout = kDefaultTimeout);

// Whether the window itself is enabled (a control in a disabled frame may still be).
bool IsEnabled(HWND window);
// Whether the window and its parents are shown.
bool IsVisible(HWND window);

} // namespace tess::e2e

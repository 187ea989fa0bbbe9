// What a user does to another program's controls, delivered as the messages the system would
// send: button clicks, scroll bar gestures, menu commands, keys and typed text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/result.h"
#include "wait.h"
#include "window_search.h"

namespace tess::e2e {

// Posts a click: the driver goes on at once, so a modal box that the click opens does not hold
// it up. Wait for the click's effect afterwards.
Status Click(HWND button);
// Sends a click and returns once the button's handler has run. Only for clicks that open no
// modal window: the call would wait for that window to close, up to `timeout`.
Status ClickAndWait(HWND button, Timeout timeout = kDefaultTimeout);

// A scroll bar gesture, as SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_TOP, SB_BOTTOM
// or SB_ENDSCROLL, sent as WM_VSCROLL (WM_HSCROLL for a horizontal bar) to the bar's parent
// with the bar as lParam. Returns once the parent has handled it.
Status Scroll(HWND bar, int code, Timeout timeout = kDefaultTimeout);
// Drags the thumb to `position` and lets go: THUMBTRACK, THUMBPOSITION, then ENDSCROLL. The
// position travels in the high word of wParam, as a 16-bit value: the receiver reads it as a
// signed short for negative ranges.
Status DragThumb(HWND bar, int position, Timeout timeout = kDefaultTimeout);
// Only the THUMBTRACK part, for looking at the state while the thumb is held.
Status TrackThumb(HWND bar, int position, Timeout timeout = kDefaultTimeout);

// Picks a menu item from `window`'s menu bar as a user does with the keyboard: Alt with the bar
// item's key, then the key of each item down to the one picked, as given by the '&' in the
// captions, e.g. {"&File", "&New"}. Returns once the menu has closed; the item's command has then
// been posted. Only the '&' keys are used: the captions themselves cannot be read from another
// program under Wine. A key that picks nothing (no such item) is an error, and the menu is closed
// again. A disabled item is not run; Wine closes the menu on its key all the same, so that the
// pick succeeds there and only the missing effect shows it. A menu that closes before its first
// level shows has run nothing (an activation change still under way cancels it: Wine under load)
// and is picked again, once at most: the second pick is reported on stderr, so that a run that
// needed it says so, and a pick that needs a third fails.
Status PickMenuItem(HWND window, const std::vector<std::string>& path, Timeout timeout = kDefaultTimeout);
// The same for an item that opens a window (a dialog, another form), which is returned. The
// cancelled menu above may also close only after it has shown, which looks like a pick of the
// item: a pick is taken for cancelled, and made again, also when no window matching `opened`
// shows while `window` still takes input, as a command that opens a modal or hides its form
// leaves it disabled or hidden.
Result<HWND> PickMenuItemForWindow(HWND window, const std::vector<std::string>& path, const WindowQuery& opened,
                                   Timeout timeout = kDefaultTimeout);

// A user's pick of entry `index` in a list box (a click, or with `open` a double click) or a
// combo box (a choice from its drop-down list): the entry is selected and the owner told, as
// the control tells it. Posted, so that a message box the pick brings up does not hold the
// driver.
Status PickListEntry(HWND list, int index, bool open = false, Timeout timeout = kDefaultTimeout);

// Posts a key press (WM_KEYDOWN then WM_KEYUP) to the window that has the focus in the thread
// of `window`, or to `window` itself when no window there has the focus.
Status PressKey(HWND window, UINT virtualKey);

// Replaces the text of an edit box (or an edit combo box), as typing it would; the edit box
// tells its parent of the change.
Status SetText(HWND edit, const std::string& text, Timeout timeout = kDefaultTimeout);

} // namespace tess::e2e

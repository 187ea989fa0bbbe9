// The mouse as a user moves it: real input through the system, so that the window under the
// pointer, its hit testing and any mouse capture decide which window receives each event.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "core/result.h"
#include "wait.h"

namespace tess::e2e {

// A point of `window`'s client area on the screen.
Result<POINT> ScreenPointOf(HWND window, POINT client);

// Moves the pointer to `screen` and waits until the system reports it there.
Status MovePointer(POINT screen, Timeout timeout = kDefaultTimeout);

// A left click at a point of `window`'s client area: whatever window the system finds there
// (a transparent label lets it through to what lies beneath) receives it. The click is
// delivered without waiting for its effect, so a modal box it opens does not hold the driver.
// Clicks follow one another at least the double-click time apart, so that each counts alone.
Status ClickAt(HWND window, POINT client);
// The same in the middle of `window`.
Status ClickCentre(HWND window);

// Presses the left button at a point of `window`'s client area, moves through `screenPath`
// (screen points) and releases the button at the last of them. The moves start once `window`
// has captured the mouse, as a window that follows a drag does on the press, and the call
// returns once it has let the mouse go again. After the move to point i, the drag goes on only
// once `followed(i)` holds (when given): what the program shows once it has handled that move,
// however long a loaded machine takes; without it, moves the program has not yet taken may be
// merged, as the system merges them for a slow program.
Status DragThrough(HWND window, POINT from, const std::vector<POINT>& screenPath,
                   const std::function<bool(size_t)>& followed = {});

} // namespace tess::e2e

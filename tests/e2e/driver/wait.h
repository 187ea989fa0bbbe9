// Waiting for a condition in another program by polling it, with a time limit, so that tests
// never depend on fixed pauses.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "core/result.h"

namespace tess::e2e {

using Timeout = std::chrono::milliseconds;
// Long enough for a slow start of a program under Wine.
inline constexpr Timeout kDefaultTimeout{15000};

// Polls `done` until it holds or `timeout` has passed; a zero timeout asks once. The error
// (TimedOut) says `what` was awaited.
Status WaitUntil(const std::function<bool()>& done, const std::string& what, Timeout timeout = kDefaultTimeout);

// The short pause between two polls.
void PauseBetweenPolls();

// Sends a message to another program's window and waits for its thread to handle it, at most
// `timeout`: TimedOut when the window is there but busy, InvalidArgument when it is gone. The
// wide form for messages whose text travels as UTF-16.
Result<LRESULT> SendWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam, Timeout timeout);
Result<LRESULT> SendWideWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam, Timeout timeout);

// The same for a search: polls `find` until it gives a value. A search that never succeeds
// gives its last error, which says what was not found, and how long it was looked for.
template <typename T>
Result<T> WaitFor(const std::function<Result<T>()>& find, Timeout timeout = kDefaultTimeout) {
    Result<T> found = find();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!found && std::chrono::steady_clock::now() < deadline) {
        PauseBetweenPolls();
        found = find();
    }
    if (!found && timeout.count() > 0)
        return Error{found.error().code, found.error().message + " within " + std::to_string(timeout.count()) + " ms"};
    return found;
}

} // namespace tess::e2e

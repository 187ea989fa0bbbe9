// Polling with a deadline: a condition is asked every few milliseconds until it holds; messages
// sent with a time limit.
#include "wait.h"

namespace tess::e2e {

namespace {

using SendFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);

Result<LRESULT> SendThrough(SendFunction send, HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            Timeout timeout) {
    if (!IsWindow(window))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    if (send(window, message, wparam, lparam, SMTO_NORMAL, static_cast<UINT>(timeout.count()), &result))
        return static_cast<LRESULT>(result);
    const DWORD error = GetLastError();
    if (!IsWindow(window))
        return Error{ErrorCode::InvalidArgument, "the window went while it was sent message " + std::to_string(message)};
    // Not every system sets ERROR_TIMEOUT for a receiver that is too slow.
    if (error == ERROR_TIMEOUT || error == ERROR_SUCCESS)
        return Error{ErrorCode::TimedOut, "the window did not handle message " + std::to_string(message) +
                                              " within " + std::to_string(timeout.count()) + " ms"};
    return Error{ErrorCode::CannotOpen,
                 "cannot send message " + std::to_string(message) + ": error " + std::to_string(error)};
}

} // namespace

Result<LRESULT> SendWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam, Timeout timeout) {
    return SendThrough(SendMessageTimeoutA, window, message, wparam, lparam, timeout);
}

Result<LRESULT> SendWideWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam, Timeout timeout) {
    return SendThrough(SendMessageTimeoutW, window, message, wparam, lparam, timeout);
}

void PauseBetweenPolls() { Sleep(10); }

Status WaitUntil(const std::function<bool()>& done, const std::string& what, Timeout timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return Error{ErrorCode::TimedOut,
                         "timed out after " + std::to_string(timeout.count()) + " ms waiting for " + what};
        PauseBetweenPolls();
    }
    return Status::Ok();
}

} // namespace tess::e2e

// Polling with a deadline: a condition is asked every few milliseconds until it holds.
#include "wait.h"

#include <windows.h>

namespace tess::e2e {

void PauseBetweenPolls() { Sleep(10); }

Status WaitUntil(const std::function<bool()>& done, const std::string& what, Timeout timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return Error{ErrorCode::FileNotFound,
                         "timed out after " + std::to_string(timeout.count()) + " ms waiting for " + what};
        PauseBetweenPolls();
    }
    return Status::Ok();
}

} // namespace tess::e2e

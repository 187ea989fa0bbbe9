// The application window runs the binding's window procedure like every other window, so that a
// close request reaches the program through the same typed handler.
#include "ui/win32/application_window.h"

namespace tess::ui::win32 {

ApplicationWindow::ApplicationWindow(const std::string& title, std::function<void()> onClose)
    : onClose_(std::move(onClose)) {
    constexpr const char* kClass = "TessApplication";
    RegisterClassOnce(kClass, 0, nullptr);
    // Never shown: WS_OVERLAPPED without WS_VISIBLE.
    window_.reset(createWindow(kClass, 0, title.c_str(), WS_OVERLAPPED, RECT{0, 0, 0, 0}, nullptr,
                               nullptr));
}

bool ApplicationWindow::onClose() {
    if (onClose_) onClose_();
    return true;
}

} // namespace tess::ui::win32

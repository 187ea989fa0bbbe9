// The window's rectangle is copied from the screen, since the frame is drawn by the window
// manager, and written through the engine's own bitmap writer.
#include "tests/e2e/driver/window_shot.h"

#include <vector>

#include "platform/picture_files.h"
#include "core/picture.h"
#include "core/surface.h"
#include "tests/e2e/driver/screen_capture.h"
#include "ui/win32/win32_handles.h"

namespace tess::e2e {

Status WriteWindowShot(HWND window, const std::string& path, bool repaint) {
    if (repaint) {
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    }
    Sleep(300);  // the window manager's frame is drawn by another process
    RECT r{};
    GetWindowRect(window, &r);
    ui::win32::WindowDc screen(nullptr);
    auto shot = CaptureDrawing(r.right - r.left, r.bottom - r.top, [&](HDC into) {
        return BitBlt(into, 0, 0, r.right - r.left, r.bottom - r.top, screen.get(), r.left, r.top, SRCCOPY) != 0;
    });
    if (!shot) return shot.error();
    std::vector<uint8_t> rgba;
    for (const Rgb& p : shot.value().pixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, 255});
    auto picture = Picture::FromRgba(shot.value().width, shot.value().height, rgba.data());
    if (!picture) return picture.error();
    Surface surface(shot.value().width, shot.value().height);
    surface.drawPicture(picture.value(), 0, 0, surface.scaleWidth(), surface.scaleHeight());
    return WriteBitmap(platform::SystemFileSystem(), surface, path);
}

} // namespace tess::e2e

// The window's rectangle is copied from the screen, since the frame is drawn by the window
// manager, and written through the engine's own bitmap writer.
#include "tests/e2e/driver/window_shot.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/picture.h"
#include "core/surface.h"
#include "tests/e2e/driver/screen_capture.h"

namespace tess::e2e {

Status WriteWindowShot(HWND window, const std::string& path, bool repaint) {
    if (repaint) {
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    }
    // The frame may be drawn by another process (a window manager): the copy is taken once the
    // screen there holds still.
    RECT r{};
    GetWindowRect(window, &r);
    auto shot = CaptureScreenArea(r);
    if (!shot) return shot.error();
    std::vector<uint8_t> rgba;
    for (const Rgb& p : shot.value().pixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, 255});
    auto picture = Picture::FromRgba(shot.value().width, shot.value().height, rgba.data());
    if (!picture) return picture.error();
    Surface surface(shot.value().width, shot.value().height);
    surface.drawPicture(picture.value(), 0, 0, surface.scaleWidth(), surface.scaleHeight());
    return platform::WriteBitmap(platform::SystemFileSystem(), surface, path);
}

} // namespace tess::e2e

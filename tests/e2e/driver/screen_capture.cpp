// Pixels gathered in a 32-bit top-down DIB section, whose bits are then read directly: copied
// from the screen's device context, or drawn for comparison.
#include "screen_capture.h"

#include <chrono>

#include "platform/win32/handles.h"
#include "ui/win32/win32_bitmaps.h"

namespace tess::e2e {

using platform::win32::SelectedObject;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueMemoryDc;
using platform::win32::WindowDc;

namespace {

// How long a capture waits for the screen to hold still, and how often it looks.
constexpr std::chrono::milliseconds kSettleLimit{2000};
constexpr DWORD kSettlePause = 30;

} // namespace

Result<Capture> CaptureDrawing(int32_t width, int32_t height, const std::function<bool(HDC)>& draw) {
    if (width <= 0 || height <= 0)
        return Error{ErrorCode::InvalidArgument, "nothing to capture"};
    const auto pixels = ui::win32::PaintedPixels(width, height, draw);
    if (!pixels)
        return Error{ErrorCode::CannotOpen, "cannot draw the capture"};
    Capture capture;
    capture.width = width;
    capture.height = height;
    capture.pixels.reserve(pixels->size());
    for (uint32_t px : *pixels)
        capture.pixels.push_back(Rgb{static_cast<uint8_t>(px >> 16), static_cast<uint8_t>(px >> 8),
                                     static_cast<uint8_t>(px)});
    return capture;
}

Result<Capture> CaptureScreenArea(const RECT& area) {
    WindowDc screen(nullptr);
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    const auto copy = [&] {
        return CaptureDrawing(width, height, [&](HDC into) {
            return BitBlt(into, 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY) != FALSE;
        });
    };
    // What a program paints reaches the screen a moment later (Wine hands it to the X server
    // from a surface of the window); two copies alike mean it has arrived.
    auto last = copy();
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    while (last && std::chrono::steady_clock::now() < deadline) {
        Sleep(kSettlePause);
        auto next = copy();
        if (!next || next.value().pixels == last.value().pixels)
            return next;
        last = std::move(next);
    }
    return last;
}

Result<Capture> CaptureClient(HWND window) {
    if (!IsWindow(window))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    // On top of everything, and painted: a repaint of another program's window is sent to it,
    // so the pixels are on the screen when RedrawWindow returns.
    HWND top = GetAncestor(window, GA_ROOT);
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return CaptureScreenArea(RECT{origin.x, origin.y, origin.x + client.right - client.left,
                                  origin.y + client.bottom - client.top});
}

} // namespace tess::e2e

// Shows that a Win32 GUI program works under Wine on the test display: a window is created,
// shown and painted, its pixels read back, then closed through its message loop.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 240;
constexpr COLORREF kFillColour = RGB(12, 200, 34);
constexpr UINT_PTR kGiveUpTimer = 1;

struct MessageCounts {
    int create = 0;
    int paint = 0;
    int destroy = 0;
    int nc_destroy = 0;
    bool gave_up = false;
};

MessageCounts counts;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            ++counts.create;
            return 0;
        case WM_PAINT: {
            ++counts.paint;
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            HBRUSH brush = CreateSolidBrush(kFillColour);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_TIMER:
            if (wparam == kGiveUpTimer) {
                counts.gave_up = true;
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            ++counts.destroy;
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            ++counts.nc_destroy;
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

bool Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "window_smoke: %s\n", what);
    }
    return condition;
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    window_class.lpszClassName = L"TessaryWindowSmoke";
    if (!Check(RegisterClassExW(&window_class) != 0, "RegisterClassEx failed")) {
        return 1;
    }

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Window smoke test", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!Check(window != nullptr, "CreateWindowEx failed")) {
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    bool ok = Check(counts.create == 1, "WM_CREATE did not arrive once");
    ok &= Check(counts.paint >= 1, "UpdateWindow sent no WM_PAINT");
    ok &= Check(IsWindowVisible(window) != FALSE, "the window is not visible");
    RECT client;
    GetClientRect(window, &client);
    ok &= Check(client.right == kClientWidth && client.bottom == kClientHeight,
                "the client area does not have the size asked for");

    // What WM_PAINT drew must be what the window's device context gives back.
    HDC dc = GetDC(window);
    const COLORREF centre = GetPixel(dc, kClientWidth / 2, kClientHeight / 2);
    const COLORREF corner = GetPixel(dc, kClientWidth - 1, kClientHeight - 1);
    ReleaseDC(window, dc);
    ok &= Check(centre == kFillColour && corner == kFillColour,
                "the painted pixels do not read back as the fill colour");

    // Close the way a user would; the timer ends a loop that would otherwise never finish.
    SetTimer(window, kGiveUpTimer, 10000, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    ok &= Check(!counts.gave_up, "WM_CLOSE did not destroy the window within 10 s");
    ok &= Check(counts.destroy == 1 && counts.nc_destroy == 1,
                "WM_DESTROY and WM_NCDESTROY did not arrive once each");
    ok &= Check(IsWindow(window) == FALSE, "the window still exists after WM_CLOSE");
    return ok ? 0 : 1;
}

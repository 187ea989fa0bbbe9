// Message boxes read through their child controls: the text is the static with id 0xFFFF; the
// icon static is compared by its pixels, as icon handles are not shared between programs.
#include "message_box.h"

#include <algorithm>

#include "control_state.h"
#include "screen_capture.h"
#include "window_search.h"

namespace tess::e2e {

namespace {

// A system icon drawn as a static control draws it, at the control's size, on a plain ground.
Result<Capture> DrawnIcon(HICON icon, int32_t w, int32_t h, int ground) {
    return CaptureDrawing(w, h, [&](HDC dc) {
        RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(ground)));
        return DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL) != FALSE;
    });
}

// Whether the capture shows the icon: every pixel the icon covers fully (the same on black and
// on white) is the same on the screen; pixels it leaves through show the dialog's ground.
bool SameOpaquePixels(const Capture& seen, const Capture& onBlack, const Capture& onWhite) {
    size_t opaque = 0;
    for (size_t i = 0; i < seen.pixels.size(); ++i) {
        if (!(onBlack.pixels[i] == onWhite.pixels[i]))
            continue;
        ++opaque;
        if (!(seen.pixels[i] == onBlack.pixels[i]))
            return false;
    }
    // An icon that covers almost nothing cannot be told from the ground.
    return opaque * 4 >= seen.pixels.size();
}

} // namespace

Result<HWND> FindMessageBox(DWORD processId, const std::string& caption, Timeout timeout) {
    return FindTopWindow({caption, kDialogClass, processId, true}, timeout);
}

Result<std::string> MessageText(HWND box, Timeout timeout) {
    HWND text = GetDlgItem(box, kMessageTextId);
    if (!text)
        return Error{ErrorCode::FileNotFound, "the window has no message text"};
    return Text(text, timeout);
}

std::vector<int> MessageButtons(HWND box) {
    std::vector<int> ids;
    for (HWND child : Descendants(box))
        if (ClassName(child) == "Button" && IsWindowVisible(child))
            ids.push_back(GetDlgCtrlID(child));
    std::sort(ids.begin(), ids.end());
    return ids;
}

MessageIcon MessageIconOf(HWND box, Timeout timeout) {
    HWND shown = nullptr;
    for (HWND child : Descendants(box))
        if (ClassName(child) == "Static" && IsWindowVisible(child) &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            shown = child;
    if (!shown)
        return MessageIcon::None;
    const std::pair<LPCSTR, MessageIcon> icons[] = {{IDI_QUESTION, MessageIcon::Question},
                                                    {IDI_EXCLAMATION, MessageIcon::Exclamation},
                                                    {IDI_ASTERISK, MessageIcon::Information},
                                                    {IDI_HAND, MessageIcon::Error}};
    // A box that has only just opened may not have reached the screen yet.
    MessageIcon found = MessageIcon::None;
    (void)WaitUntil(
        [&] {
            const auto seen = CaptureClient(shown);
            if (!seen)
                return false;
            const int32_t w = seen.value().width, h = seen.value().height;
            for (const auto& [name, icon] : icons) {
                HICON candidate = LoadIconA(nullptr, name);
                const auto onBlack = DrawnIcon(candidate, w, h, BLACK_BRUSH);
                const auto onWhite = DrawnIcon(candidate, w, h, WHITE_BRUSH);
                if (onBlack && onWhite && SameOpaquePixels(seen.value(), onBlack.value(), onWhite.value()))
                    found = icon;
            }
            return found != MessageIcon::None;
        },
        "a known icon", timeout);
    return found;
}

Status PressMessageButton(HWND box, int button, Timeout timeout) {
    HWND control = GetDlgItem(box, button);
    if (!control || !IsWindowVisible(control))
        return Error{ErrorCode::InvalidArgument, "the box has no button " + std::to_string(button)};
    if (!PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control)))
        return Error{ErrorCode::CannotOpen, "cannot press button " + std::to_string(button)};
    return WaitForWindowGone(box, timeout);
}

} // namespace tess::e2e

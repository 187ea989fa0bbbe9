// The common dialogs answered through their controls, found by id among all of the dialog's
// descendants since the Explorer-style open dialog may nest them in a child dialog.
#include "common_dialogs.h"

#include "control_state.h"
#include "gestures.h"
#include "message_box.h"
#include "window_search.h"

namespace tess::e2e {

namespace {

HWND DescendantWithId(HWND dialog, int id, const char* className) {
    for (HWND child : Descendants(dialog))
        if (GetDlgCtrlID(child) == id && ClassName(child) == className)
            return child;
    return nullptr;
}

// The edit box that takes the file name: edt1 itself, or the edit inside the combo box cmb13
// (Wine's open dialog nests it as ComboBoxEx32 > ComboBox > Edit, all with the combo's id).
HWND FileNameEdit(HWND dialog) {
    if (HWND edit = DescendantWithId(dialog, kFileNameEditId, "Edit"))
        return edit;
    return DescendantWithId(dialog, kFileNameComboId, "Edit");
}

// Presses a button of the dialog by its command, as the button's click would.
Status Command(HWND dialog, int id) {
    HWND button = DescendantWithId(dialog, id, "Button");
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        return Error{ErrorCode::CannotOpen, "cannot press button " + std::to_string(id)};
    return Status::Ok();
}

// A message box the dialog shows over itself, e.g. to refuse what was typed.
HWND ComplaintOf(HWND dialog) {
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    HWND found = nullptr;
    for (HWND window = GetTopWindow(nullptr); window && !found; window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && GetWindow(window, GW_OWNER) == dialog && IsWindowVisible(window) &&
            ClassName(window) == kDialogClass)
            found = window;
    }
    return found;
}

// Presses OK and waits until the dialog has closed. When it answers with a message box instead,
// that box is closed and its text returned as the error; the dialog then stays open.
Status PressOkAndWait(HWND dialog, Timeout timeout) {
    if (Status pressed = Command(dialog, IDOK); !pressed)
        return pressed;
    HWND complaint = nullptr;
    Status ended = WaitUntil(
        [&] {
            complaint = IsWindow(dialog) ? ComplaintOf(dialog) : nullptr;
            return !IsWindow(dialog) || complaint;
        },
        "the dialog to close", timeout);
    if (!ended || !complaint)
        return ended;
    const auto text = MessageText(complaint, timeout);
    const std::string said = Caption(complaint) + ": " + (text ? text.value() : std::string());
    const auto buttons = MessageButtons(complaint);
    if (!buttons.empty())
        (void)PressMessageButton(complaint, buttons.front(), timeout);
    return Error{ErrorCode::InvalidArgument, "the dialog refused the answer (" + said + ")"};
}

} // namespace

Status AnswerOpenDialog(DWORD processId, const std::string& path, const std::string& title, Timeout timeout) {
    const auto dialog = FindTopWindow({title, kDialogClass, processId, true}, timeout);
    if (!dialog)
        return dialog.status();
    // The dialog fills itself in after it has appeared.
    const auto name = WaitFor<HWND>(
        [&]() -> Result<HWND> {
            if (HWND edit = FileNameEdit(dialog.value()))
                return edit;
            return Error{ErrorCode::FileNotFound, "the open dialog has no file name box"};
        },
        timeout);
    if (!name)
        return name.status();
    if (Status typed = SetText(name.value(), path, timeout); !typed)
        return typed;
    return PressOkAndWait(dialog.value(), timeout);
}

Status AnswerColorDialog(DWORD processId, Rgb colour, const std::string& title, Timeout timeout) {
    const auto dialog = FindTopWindow({title, kDialogClass, processId, true}, timeout);
    if (!dialog)
        return dialog.status();
    HWND red = DescendantWithId(dialog.value(), kRedEditId, "Edit");
    if (!red)
        return Error{ErrorCode::FileNotFound, "the colour dialog has no red box"};
    if (!IsWindowVisible(red) || !IsWindowEnabled(red)) {
        if (Status opened = Command(dialog.value(), kDefineCustomColorsId); !opened)
            return opened;
        if (Status shown = WaitUntil([&] { return IsWindowVisible(red) && IsWindowEnabled(red); },
                                     "the custom colour part to open", timeout);
            !shown)
            return shown;
    }
    const std::pair<int, uint8_t> channels[] = {{kRedEditId, colour.r}, {kGreenEditId, colour.g}, {kBlueEditId, colour.b}};
    for (const auto& [id, value] : channels) {
        HWND box = DescendantWithId(dialog.value(), id, "Edit");
        if (!box)
            return Error{ErrorCode::FileNotFound, "the colour dialog has no box " + std::to_string(id)};
        if (Status typed = SetText(box, std::to_string(value), timeout); !typed)
            return typed;
    }
    // The dialog recomputes the other boxes as each one changes; all three must hold the colour.
    for (const auto& [id, value] : channels) {
        const auto shown = Text(DescendantWithId(dialog.value(), id, "Edit"), timeout);
        if (!shown || shown.value() != std::to_string(value))
            return Error{ErrorCode::InvalidArgument, "the colour dialog shows " +
                                                         (shown ? shown.value() : std::string("nothing")) +
                                                         " in box " + std::to_string(id) + " instead of " +
                                                         std::to_string(value)};
    }
    return PressOkAndWait(dialog.value(), timeout);
}

Status CancelDialog(DWORD processId, const std::string& title, Timeout timeout) {
    const auto dialog = FindTopWindow({title, kDialogClass, processId, true}, timeout);
    if (!dialog)
        return dialog.status();
    if (Status pressed = Command(dialog.value(), IDCANCEL); !pressed)
        return pressed;
    return WaitForWindowGone(dialog.value(), timeout);
}

} // namespace tess::e2e

// Answering the system's open and colour dialogs that a program under test shows: typing a
// file name or a colour and pressing OK, or cancelling.
#pragma once

#include <windows.h>

#include <string>

#include "core/color.h"
#include "core/result.h"
#include "wait.h"

namespace tess::e2e {

// The titles the system gives the dialogs when the program sets none.
inline constexpr const char* kOpenDialogTitle = "Open";
inline constexpr const char* kColorDialogTitle = "Color";

// Control ids of the dialogs. The open dialog's file name box is the edit edt1 in the old style
// and the combo box cmb13 in the Explorer style (Wine: an edit in a combo box in a ComboBoxEx32,
// all three with id cmb13); the colour dialog's "Define Custom Colors >>" button and its red,
// green and blue boxes, which Wine hides until that button is pressed.
inline constexpr int kFileNameEditId = 0x480;
inline constexpr int kFileNameComboId = 0x47C;
inline constexpr int kDefineCustomColorsId = 719;
inline constexpr int kRedEditId = 706, kGreenEditId = 707, kBlueEditId = 708;

// Waits for the program's open dialog (titled `title`), types `path` as the file name, presses
// OK and waits until the dialog has closed. Wine's dialog takes only backslashes: a '/' brings
// "Invalid character(s) in path". When the dialog refuses the answer with a message box, that
// box is closed and its text is the error; the dialog stays open, e.g. for CancelDialog.
Status AnswerOpenDialog(DWORD processId, const std::string& path, const std::string& title = kOpenDialogTitle,
                        Timeout timeout = kDefaultTimeout);
// Waits for the program's colour dialog, opens its custom colour part if it is closed, types the
// colour's red, green and blue, presses OK and waits until it has closed.
Status AnswerColorDialog(DWORD processId, Rgb colour, const std::string& title = kColorDialogTitle,
                         Timeout timeout = kDefaultTimeout);
// Waits for a dialog of the program titled `title`, cancels it and waits until it has closed.
Status CancelDialog(DWORD processId, const std::string& title, Timeout timeout = kDefaultTimeout);

} // namespace tess::e2e

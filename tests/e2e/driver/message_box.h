// The modal message boxes of a program under test: waiting for one by its caption, reading its
// text, buttons and icon, and answering it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/result.h"
#include "wait.h"

namespace tess::e2e {

// The dialog class of message boxes and common dialogs.
inline constexpr const char* kDialogClass = "#32770";
// The id of a message box's text.
inline constexpr int kMessageTextId = 0xFFFF;

enum class MessageIcon { None, Question, Exclamation, Information, Error };

// A message box (a #32770 window of the program, captioned exactly `caption`), waiting for it.
Result<HWND> FindMessageBox(DWORD processId, const std::string& caption, Timeout timeout = kDefaultTimeout);
// Its text.
Result<std::string> MessageText(HWND box, Timeout timeout = kDefaultTimeout);
// The ids of the buttons it shows (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7, ...), in ascending order.
std::vector<int> MessageButtons(HWND box);
// Which of the system's icons it shows (None when it shows none), told by comparing what the
// screen shows with each icon drawn here; the box is brought to the front for that. An icon not
// recognised within `timeout` is reported as None.
MessageIcon MessageIconOf(HWND box, Timeout timeout = kDefaultTimeout);
// Presses the button with id `button` and waits until the box has closed. A box without that
// button is an error and stays open.
Status PressMessageButton(HWND box, int button, Timeout timeout = kDefaultTimeout);

} // namespace tess::e2e

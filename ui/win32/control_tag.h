// The tag the Win32 binding puts on each control's window so that a driver outside the program
// (the end-to-end tests) finds a control by its model name, as a user finds it by its place.
#pragma once

namespace tess::ui::win32 {

// Window property naming a window's model control: a global atom of the name, e.g. "Command4",
// "Option1(2)" or "SclWidth".
inline constexpr const char* kControlTagProperty = "TessControl";

} // namespace tess::ui::win32

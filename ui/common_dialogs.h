// The system's common dialogs (open, save, colour, font) and the few window services a dialog
// component needs, behind interfaces, with portable copies of the records the dialogs are given.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/color.h"

namespace tess::ui {

// Window handles, message parameters and device contexts as the system passes them.
using WindowHandle = uintptr_t;
using DeviceContext = uintptr_t;

// The open and save dialogs' record. Field names and meanings are the system's; text fields
// hold the bytes the system reads or writes, in the ANSI code page. `lpstrFilter` holds its
// entries separated by NULs and ends in two NULs; `lpstrFile` and `lpstrFileTitle` hold the
// whole buffer, NULs and padding included, and the system may write up to nMaxFile and
// nMaxFileTitle bytes into them.
struct OpenFileNameRecord {
    uint32_t lStructSize = 0;
    WindowHandle hwndOwner = 0;
    uintptr_t hInstance = 0;
    std::string lpstrFilter;
    std::optional<std::string> lpstrCustomFilter;  // none: no custom filter is kept
    uint32_t nMaxCustFilter = 0;
    uint32_t nFilterIndex = 0;
    std::string lpstrFile;
    uint32_t nMaxFile = 0;
    std::string lpstrFileTitle;
    uint32_t nMaxFileTitle = 0;
    std::string lpstrInitialDir;
    std::optional<std::string> lpstrTitle;  // none: the system's own title (Open, Save As)
    uint32_t Flags = 0;
    uint16_t nFileOffset = 0;
    uint16_t nFileExtension = 0;
    std::string lpstrDefExt;
    intptr_t lCustData = 0;
    uintptr_t lpfnHook = 0;  // no hook procedure is ever handed over
    std::optional<std::string> lpTemplateName;
};

// The colour dialog's record; the 16 custom colours are the array the dialog edits in place.
struct ChooseColorRecord {
    uint32_t lStructSize = 0;
    WindowHandle hwndOwner = 0;
    uintptr_t hInstance = 0;
    ColorRef rgbResult = 0;
    std::array<ColorRef, 16> lpCustColors{};
    uint32_t Flags = 0;
    intptr_t lCustData = 0;
    uintptr_t lpfnHook = 0;
    std::optional<std::string> lpTemplateName;
};

// The font the font dialog starts on and returns. The face name is the field's 32 bytes; a
// name the system can read ends in a NUL within them.
struct LogFontRecord {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    std::array<char, 32> lfFaceName{};
};

// The font dialog's record; its LOGFONT travels beside it.
struct ChooseFontRecord {
    uint32_t lStructSize = 0;
    WindowHandle hwndOwner = 0;
    DeviceContext hDC = 0;
    int32_t iPointSize = 0;
    uint32_t Flags = 0;
    ColorRef rgbColors = 0;
    intptr_t lCustData = 0;
    uintptr_t lpfnHook = 0;
    std::optional<std::string> lpTemplateName;
    uintptr_t hInstance = 0;
    std::optional<std::string> lpszStyle;
    uint16_t nFontType = 0;
    int32_t nSizeMin = 0;
    int32_t nSizeMax = 0;
};

// Flag and message values of the dialogs that a caller or the dialog component uses.
inline constexpr uint32_t kOfnOverwritePrompt = 0x2;
inline constexpr uint32_t kOfnHideReadOnly = 0x4;
inline constexpr uint32_t kCcRgbInit = 0x1;
inline constexpr uint32_t kCcEnableHook = 0x10;
inline constexpr uint32_t kCcEnableTemplate = 0x20;
inline constexpr uint32_t kCfScreenFonts = 0x1;
inline constexpr uint32_t kCfPrinterFonts = 0x2;
inline constexpr uint32_t kCfEnableHook = 0x8;
inline constexpr uint32_t kCfEnableTemplate = 0x10;
inline constexpr uint32_t kCfInitToLogFontStruct = 0x40;
inline constexpr uint32_t kCfEffects = 0x100;
inline constexpr uint32_t kCfApply = 0x200;
inline constexpr uint32_t kCfLimitSize = 0x2000;
inline constexpr uint16_t kBoldFontType = 0x100;

// The four dialogs. Each shows a modal dialog, reads and updates the record, and returns 1
// when the user confirmed and 0 when the user cancelled or the dialog could not be shown.
class CommonDialogs {
public:
    virtual ~CommonDialogs() = default;
    virtual int GetOpenFileNameA(OpenFileNameRecord& record) = 0;
    virtual int GetSaveFileNameA(OpenFileNameRecord& record) = 0;
    virtual int ChooseColorA(ChooseColorRecord& record) = 0;
    virtual int ChooseFontA(ChooseFontRecord& record, LogFontRecord& font) = 0;
};

// A window rectangle in screen pixels, right and bottom exclusive.
struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

// What a dialog component needs of the system besides the dialogs: defaults for its records,
// and the window calls with which it centres a dialog and answers the dialog's notifications.
class DialogPlatform {
public:
    virtual ~DialogPlatform() = default;
    // GetSysColor(index).
    virtual ColorRef sysColor(int index) const = 0;
    // The folder of the running program, without a trailing backslash.
    virtual std::string programFolder() const = 0;
    // The default printer's device context, 0 when there is none. It stays valid while the
    // platform lives.
    virtual DeviceContext printerDC() = 0;
    // Twips per screen pixel vertically: 15 at 96 dots per inch.
    virtual double twipsPerPixelY() const = 0;

    virtual WindowHandle parentOf(WindowHandle window) const = 0;
    // GetWindowRect; nothing when the handle names no window.
    virtual std::optional<PixelRect> windowRect(WindowHandle window) const = 0;
    // The desktop work area (SystemParametersInfoA 48); nothing when the call fails.
    virtual std::optional<PixelRect> workArea() const = 0;
    // The screen's width and height in pixels.
    virtual int32_t screenWidthPixels() const = 0;
    virtual int32_t screenHeightPixels() const = 0;
    // MoveWindow, repainting.
    virtual void moveWindow(WindowHandle window, int32_t left, int32_t top, int32_t width,
                            int32_t height) = 0;
    // SetWindowLongA.
    virtual void setWindowLong(WindowHandle window, int32_t index, int32_t value) = 0;
    // The notification code of the NMHDR a WM_NOTIFY's lParam points to; 0 for a null pointer.
    virtual int32_t notifyCode(intptr_t lParam) const = 0;
};

} // namespace tess::ui

// The common dialogs and the dialog platform over comdlg32 and user32: portable records copied
// into the system's records, the system called, and its answers copied back.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "platform/win32/handles.h"
#include "ui/common_dialogs.h"

namespace tess::ui::win32 {

// The system entry points the dialogs are shown through. A test replaces them to see the exact
// records handed to the system.
struct CommonDialogCalls {
    BOOL(WINAPI* getOpenFileName)(LPOPENFILENAMEA) = ::GetOpenFileNameA;
    BOOL(WINAPI* getSaveFileName)(LPOPENFILENAMEA) = ::GetSaveFileNameA;
    BOOL(WINAPI* chooseColor)(LPCHOOSECOLORA) = ::ChooseColorA;
    BOOL(WINAPI* chooseFont)(LPCHOOSEFONTA) = ::ChooseFontA;
};

class Win32CommonDialogs : public CommonDialogs {
public:
    explicit Win32CommonDialogs(CommonDialogCalls calls = {}) : calls_(calls) {}

    int GetOpenFileNameA(OpenFileNameRecord& record) override;
    int GetSaveFileNameA(OpenFileNameRecord& record) override;
    int ChooseColorA(ChooseColorRecord& record) override;
    int ChooseFontA(ChooseFontRecord& record, LogFontRecord& font) override;

private:
    int fileDialog(BOOL(WINAPI* call)(LPOPENFILENAMEA), OpenFileNameRecord& record);
    CommonDialogCalls calls_;
};

class Win32DialogPlatform : public DialogPlatform {
public:
    ColorRef sysColor(int index) const override;
    std::string programFolder() const override;
    // The default printer's context, made on first use and deleted with the platform.
    DeviceContext printerDC() override;
    double twipsPerPixelY() const override;
    WindowHandle parentOf(WindowHandle window) const override;
    std::optional<PixelRect> windowRect(WindowHandle window) const override;
    std::optional<PixelRect> workArea() const override;
    int32_t screenWidthPixels() const override;
    int32_t screenHeightPixels() const override;
    void moveWindow(WindowHandle window, int32_t left, int32_t top, int32_t width,
                    int32_t height) override;
    void setWindowLong(WindowHandle window, int32_t index, int32_t value) override;
    int32_t notifyCode(intptr_t lParam) const override;

private:
    platform::win32::UniqueHandle<HDC, platform::win32::DeleteDcRelease> printer_;
};

} // namespace tess::ui::win32

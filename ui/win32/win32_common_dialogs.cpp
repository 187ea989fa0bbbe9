// The system's records built from the portable ones: text fields as NUL-terminated buffers that
// are at least as large as the record says, so the system never writes past them.
#include "ui/win32/win32_common_dialogs.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/path_text.h"

namespace tess::ui::win32 {

using platform::win32::WindowDc;

namespace {

// The component states the record sizes of the 32-bit programs. Where this build's layout is
// another (the x86-64 build the tests run on where 32-bit programs cannot), the system gets its
// own size of the same record version; in the 32-bit programs the two are the same.
DWORD SystemSize(uint32_t stated, uint32_t size32, size_t sizeHere) {
    return stated == size32 ? static_cast<DWORD>(sizeHere) : stated;
}

// A writable buffer holding the text and a NUL, grown with NULs to the room the system is
// told it has.
std::vector<char> WritableBuffer(const std::string& text, size_t room) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    if (buffer.size() < room) buffer.resize(room, '\0');
    return buffer;
}

std::string BufferText(const std::vector<char>& buffer) {
    return std::string(buffer.data(), buffer.size());
}

const char* OptionalText(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

template <typename Hook>
Hook HookProcedure(uintptr_t address) {
    return reinterpret_cast<Hook>(address);
}

} // namespace

int Win32CommonDialogs::GetOpenFileNameA(OpenFileNameRecord& record) {
    return fileDialog(calls_.getOpenFileName, record);
}

int Win32CommonDialogs::GetSaveFileNameA(OpenFileNameRecord& record) {
    return fileDialog(calls_.getSaveFileName, record);
}

int Win32CommonDialogs::fileDialog(BOOL(WINAPI* call)(LPOPENFILENAMEA),
                                   OpenFileNameRecord& record) {
    // The list must end in two NULs; two more keep even a list without them from being read
    // past its end.
    const std::string filter = record.lpstrFilter + std::string(2, '\0');
    std::vector<char> file = WritableBuffer(record.lpstrFile, record.nMaxFile);
    std::vector<char> fileTitle = WritableBuffer(record.lpstrFileTitle, record.nMaxFileTitle);
    std::vector<char> customFilter;
    if (record.lpstrCustomFilter) {
        customFilter = WritableBuffer(*record.lpstrCustomFilter, record.nMaxCustFilter);
    }

    // Fields past the record's declared size stay zero; the system reads only lStructSize bytes.
    OPENFILENAMEA ofn{};
    ofn.lStructSize = SystemSize(record.lStructSize, 76, OPENFILENAME_SIZE_VERSION_400A);
    ofn.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    ofn.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrCustomFilter = record.lpstrCustomFilter ? customFilter.data() : nullptr;
    ofn.nMaxCustFilter = record.nMaxCustFilter;
    ofn.nFilterIndex = record.nFilterIndex;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = record.nMaxFile;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = record.nMaxFileTitle;
    ofn.lpstrInitialDir = record.lpstrInitialDir.c_str();
    ofn.lpstrTitle = OptionalText(record.lpstrTitle);
    ofn.Flags = record.Flags;
    ofn.nFileOffset = record.nFileOffset;
    ofn.nFileExtension = record.nFileExtension;
    ofn.lpstrDefExt = record.lpstrDefExt.c_str();
    ofn.lCustData = record.lCustData;
    ofn.lpfnHook = HookProcedure<LPOFNHOOKPROC>(record.lpfnHook);
    ofn.lpTemplateName = OptionalText(record.lpTemplateName);

    const BOOL confirmed = call(&ofn);

    record.lpstrFile = BufferText(file);
    record.lpstrFileTitle = BufferText(fileTitle);
    if (record.lpstrCustomFilter) record.lpstrCustomFilter = BufferText(customFilter);
    record.nFilterIndex = ofn.nFilterIndex;
    record.Flags = ofn.Flags;
    record.nFileOffset = ofn.nFileOffset;
    record.nFileExtension = ofn.nFileExtension;
    return confirmed ? 1 : 0;
}

int Win32CommonDialogs::ChooseColorA(ChooseColorRecord& record) {
    COLORREF custom[16];
    std::transform(record.lpCustColors.begin(), record.lpCustColors.end(), custom,
                   [](ColorRef c) { return static_cast<COLORREF>(c); });

    CHOOSECOLORA cc{};
    cc.lStructSize = SystemSize(record.lStructSize, 36, sizeof cc);
    cc.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    cc.hInstance = reinterpret_cast<HWND>(record.hInstance);
    cc.rgbResult = static_cast<COLORREF>(record.rgbResult);
    cc.lpCustColors = custom;
    cc.Flags = record.Flags;
    cc.lCustData = record.lCustData;
    cc.lpfnHook = HookProcedure<LPCCHOOKPROC>(record.lpfnHook);
    cc.lpTemplateName = OptionalText(record.lpTemplateName);

    const BOOL confirmed = calls_.chooseColor(&cc);

    // The dialog edits the custom colours in place, also when the user then cancels.
    std::transform(std::begin(custom), std::end(custom), record.lpCustColors.begin(),
                   [](COLORREF c) { return static_cast<ColorRef>(c); });
    record.rgbResult = static_cast<ColorRef>(cc.rgbResult);
    record.Flags = cc.Flags;
    return confirmed ? 1 : 0;
}

int Win32CommonDialogs::ChooseFontA(ChooseFontRecord& record, LogFontRecord& font) {
    LOGFONTA lf{};
    lf.lfHeight = font.lfHeight;
    lf.lfWidth = font.lfWidth;
    lf.lfEscapement = font.lfEscapement;
    lf.lfOrientation = font.lfOrientation;
    lf.lfWeight = font.lfWeight;
    lf.lfItalic = font.lfItalic;
    lf.lfUnderline = font.lfUnderline;
    lf.lfStrikeOut = font.lfStrikeOut;
    lf.lfCharSet = font.lfCharSet;
    lf.lfOutPrecision = font.lfOutPrecision;
    lf.lfClipPrecision = font.lfClipPrecision;
    lf.lfQuality = font.lfQuality;
    lf.lfPitchAndFamily = font.lfPitchAndFamily;
    static_assert(sizeof lf.lfFaceName == sizeof font.lfFaceName);
    std::memcpy(lf.lfFaceName, font.lfFaceName.data(), sizeof lf.lfFaceName);

    // The style buffer, when there is one, is written by the system with a face-name's room.
    std::vector<char> style;
    if (record.lpszStyle) style = WritableBuffer(*record.lpszStyle, LF_FACESIZE);

    CHOOSEFONTA cf{};
    cf.lStructSize = SystemSize(record.lStructSize, 60, sizeof cf);
    cf.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    cf.hDC = reinterpret_cast<HDC>(record.hDC);
    cf.lpLogFont = &lf;
    cf.iPointSize = record.iPointSize;
    cf.Flags = record.Flags;
    cf.rgbColors = static_cast<COLORREF>(record.rgbColors);
    cf.lCustData = record.lCustData;
    cf.lpfnHook = HookProcedure<LPCFHOOKPROC>(record.lpfnHook);
    cf.lpTemplateName = OptionalText(record.lpTemplateName);
    cf.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
    cf.lpszStyle = record.lpszStyle ? style.data() : nullptr;
    cf.nFontType = record.nFontType;
    cf.nSizeMin = record.nSizeMin;
    cf.nSizeMax = record.nSizeMax;

    const BOOL confirmed = calls_.chooseFont(&cf);

    font.lfHeight = lf.lfHeight;
    font.lfWidth = lf.lfWidth;
    font.lfEscapement = lf.lfEscapement;
    font.lfOrientation = lf.lfOrientation;
    font.lfWeight = lf.lfWeight;
    font.lfItalic = lf.lfItalic;
    font.lfUnderline = lf.lfUnderline;
    font.lfStrikeOut = lf.lfStrikeOut;
    font.lfCharSet = lf.lfCharSet;
    font.lfOutPrecision = lf.lfOutPrecision;
    font.lfClipPrecision = lf.lfClipPrecision;
    font.lfQuality = lf.lfQuality;
    font.lfPitchAndFamily = lf.lfPitchAndFamily;
    std::memcpy(font.lfFaceName.data(), lf.lfFaceName, sizeof lf.lfFaceName);
    if (record.lpszStyle) record.lpszStyle = BufferText(style);
    record.iPointSize = cf.iPointSize;
    record.Flags = cf.Flags;
    record.rgbColors = static_cast<ColorRef>(cf.rgbColors);
    record.nFontType = cf.nFontType;
    return confirmed ? 1 : 0;
}

ColorRef Win32DialogPlatform::sysColor(int index) const {
    return static_cast<ColorRef>(GetSysColor(index));
}

std::string Win32DialogPlatform::programFolder() const {
    std::vector<char> path(MAX_PATH);
    DWORD length = 0;
    // A path that fills the buffer may have been cut: try again with more room.
    while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
               path.size() &&
           path.size() < 32768) {
        path.resize(path.size() * 2);
    }
    return platform::ParentFolder(std::string_view(path.data(), length));
}

DeviceContext Win32DialogPlatform::printerDC() {
    if (!printer_) {
        // The default printer, without a dialog and without a warning when there is none.
        PRINTDLGA pd{};
        pd.lStructSize = sizeof pd;
        pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC | PD_NOWARNING;
        if (PrintDlgA(&pd)) printer_.reset(pd.hDC);
        if (pd.hDevMode) GlobalFree(pd.hDevMode);
        if (pd.hDevNames) GlobalFree(pd.hDevNames);
    }
    return reinterpret_cast<DeviceContext>(printer_.get());
}

double Win32DialogPlatform::twipsPerPixelY() const {
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

WindowHandle Win32DialogPlatform::parentOf(WindowHandle window) const {
    return reinterpret_cast<WindowHandle>(GetParent(reinterpret_cast<HWND>(window)));
}

std::optional<PixelRect> Win32DialogPlatform::windowRect(WindowHandle window) const {
    RECT r;
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &r)) return std::nullopt;
    return PixelRect{r.left, r.top, r.right, r.bottom};
}

std::optional<PixelRect> Win32DialogPlatform::workArea() const {
    RECT r;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return std::nullopt;
    return PixelRect{r.left, r.top, r.right, r.bottom};
}

int32_t Win32DialogPlatform::screenWidthPixels() const { return GetSystemMetrics(SM_CXSCREEN); }

int32_t Win32DialogPlatform::screenHeightPixels() const { return GetSystemMetrics(SM_CYSCREEN); }

void Win32DialogPlatform::moveWindow(WindowHandle window, int32_t left, int32_t top,
                                     int32_t width, int32_t height) {
    MoveWindow(reinterpret_cast<HWND>(window), left, top, width, height, TRUE);
}

void Win32DialogPlatform::setWindowLong(WindowHandle window, int32_t index, int32_t value) {
    SetWindowLongA(reinterpret_cast<HWND>(window), index, value);
}

int32_t Win32DialogPlatform::notifyCode(intptr_t lParam) const {
    if (lParam == 0) return 0;
    NMHDR header;
    std::memcpy(&header, reinterpret_cast<const void*>(lParam), sizeof header);
    return static_cast<int32_t>(header.code);
}

} // namespace tess::ui::win32

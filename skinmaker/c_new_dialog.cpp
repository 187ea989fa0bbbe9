// The dialog component's behaviour: the filter's two forms, the records each dialog is handed,
// what is read back after OK, the errors of a cancel, and the hook and centring procedures.
#include "skinmaker/c_new_dialog.h"

#include <algorithm>
#include <cstring>

#include "core/number_rules.h"
#include "core/text.h"

namespace tess::skinmaker {

namespace {

// Characters the open and save dialogs' file buffer holds: the name and NULs after it.
constexpr size_t kFileBufferChars = 261;
constexpr uint32_t kMaxFileChars = 260;
// Spaces that follow the file title, room for the title the dialog writes.
constexpr size_t kFileTitlePadding = 256;
constexpr uint32_t kMaxFileTitleChars = 260;

constexpr uint32_t kOpenFileNameSize = 76;
constexpr uint32_t kChooseColorSize = 36;
constexpr uint32_t kChooseFontSize = 60;

constexpr uint32_t kWmDestroy = 0x2;
constexpr uint32_t kWmNotify = 0x4E;
constexpr uint32_t kWmInitDialog = 0x110;
constexpr int32_t kCdnSelChange = -602;
constexpr int32_t kCdnFolderChange = -603;
constexpr int32_t kCdnFileOk = -606;
constexpr int32_t kCdnTypeChange = -607;

DialogError CancelSelected(int32_t number) {
    return DialogError{number, "Run-time error", "Cancel was selected"};
}

bool EndsInTwoNuls(const std::string& s) {
    return s.size() >= 2 && s[s.size() - 1] == '\0' && s[s.size() - 2] == '\0';
}

// The system's form of a filter: "|" becomes NUL, and the text ends in two NULs.
std::string ToSystemFilter(std::string text) {
    std::replace(text.begin(), text.end(), '|', '\0');
    if (!EndsInTwoNuls(text)) text.push_back('\0');
    if (!EndsInTwoNuls(text)) text.push_back('\0');
    return text;
}

// A text cut at its first NUL, without leading and trailing spaces.
std::string StripNull(const std::string& text) { return TrimSpaces(CutAtNull(text)); }

DialogError Overflow() { return DialogError{6, "", "Overflow"}; }

} // namespace

cNewDialog::cNewDialog(ui::CommonDialogs& dialogs, ui::DialogPlatform& platform)
    : dialogs_(dialogs), platform_(platform) {
    setFilter("All Files|*.*");
    initDir_ = platform_.programFolder();
    for (int i = 0; i < static_cast<int>(customColors_.size()); ++i) {
        customColors_[i] = platform_.sysColor(i);
    }
}

std::string cNewDialog::filter() const {
    std::string text = filter_;
    std::replace(text.begin(), text.end(), '\0', '|');
    for (int i = 0; i < 2 && !text.empty() && text.back() == '|'; ++i) text.pop_back();
    return text;
}

void cNewDialog::setFilter(const std::string& text) { filter_ = ToSystemFilter(text); }

ColorRef cNewDialog::customColor(int index) const {
    if (index < 0 || index >= static_cast<int>(customColors_.size())) return -1;
    return customColors_[index];
}

int32_t cNewDialog::fontSize() const {
    return static_cast<int32_t>(RoundHalfEven(font_.size));
}

DialogOutcome cNewDialog::ShowOpen() { return showFileDialog(false); }

DialogOutcome cNewDialog::ShowSave() { return showFileDialog(true); }

DialogOutcome cNewDialog::showFileDialog(bool save) {
    // The buffer has room for 261 characters; a longer name cannot be handed over.
    if (fileName_.size() > kFileBufferChars) {
        return DialogError{5, "", "Invalid procedure call or argument"};
    }
    ui::OpenFileNameRecord r;
    r.lStructSize = kOpenFileNameSize;
    r.hwndOwner = hwnd_;
    r.lpstrFilter = filter_;
    r.nFilterIndex = static_cast<uint32_t>(static_cast<int32_t>(filterIndex_));
    r.lpstrFile = fileName_ + std::string(kFileBufferChars - fileName_.size(), '\0');
    r.nMaxFile = kMaxFileChars;
    r.lpstrFileTitle = fileTitle_ + std::string(kFileTitlePadding, ' ');
    r.nMaxFileTitle = kMaxFileTitleChars;
    r.lpstrInitialDir = initDir_;
    // Without a title of its own the dialog shows the system's; an empty text would show none.
    if (!dialogTitle_.empty()) r.lpstrTitle = dialogTitle_;
    r.Flags = flags_;
    r.lpstrDefExt = defaultExt_;
    // Ignored by the system, since no template flag is set.
    r.lpTemplateName.emplace(1, '0');

    const int result = save ? dialogs_.GetSaveFileNameA(r) : dialogs_.GetOpenFileNameA(r);
    if (result != 1) {
        if (cancelError_) return CancelSelected(save ? 1001 : 1002);
        return {};
    }
    flags_ = r.Flags;
    defaultExt_ = r.lpstrDefExt;
    fileName_ = StripNull(r.lpstrFile);
    fileTitle_ = StripNull(r.lpstrFileTitle);
    fileExt_ = static_cast<int16_t>(r.nFileExtension);
    // The list handed back is the one handed over; it is kept whole, so that another dialog
    // on this component gets every entry and the two NULs that end the list.
    filter_ = ToSystemFilter(r.lpstrFilter);
    initDir_ = StripNull(r.lpstrInitialDir);
    filterIndex_ = static_cast<int16_t>(r.nFilterIndex);
    return {};
}

DialogOutcome cNewDialog::ShowColor() {
    ui::ChooseColorRecord r;
    r.lStructSize = kChooseColorSize;
    r.hwndOwner = hwnd_;
    r.rgbResult = color_;
    r.lpCustColors = customColors_;
    r.Flags = flags_ & ~(ui::kCcEnableHook | ui::kCcEnableTemplate);

    const int result = dialogs_.ChooseColorA(r);
    // The dialog edits the custom colours in place, whether or not the user confirms.
    customColors_ = r.lpCustColors;
    if (result == 1) {
        color_ = r.rgbResult;
        return {};
    }
    if (cancelError_) return DialogError{1004, "", "Choose Color Dialog was canceled"};
    color_ = -1;
    return {};
}

DialogOutcome cNewDialog::ShowFont() {
    ui::DeviceContext dc = 0;
    if (flags_ & ui::kCfPrinterFonts) {
        dc = platform_.printerDC();
    } else {
        flags_ |= ui::kCfScreenFonts;
    }
    if (fontColor_ > 0) flags_ |= ui::kCfEffects;
    if (fontMinSize_ > 0 || fontMaxSize_ > 0) flags_ |= ui::kCfLimitSize;
    flags_ &= ~(ui::kCfEnableHook | ui::kCfEnableTemplate | ui::kCfApply);
    flags_ |= ui::kCfInitToLogFontStruct;

    const Result<int32_t> height = ToInt32(-(font_.size * 20 / platform_.twipsPerPixelY()));
    const Result<int32_t> pointSize = ToInt32(font_.size * 10);
    if (!height.ok() || !pointSize.ok()) return Overflow();

    ui::LogFontRecord lf;
    lf.lfHeight = height.value();
    lf.lfWeight = font_.weight();
    lf.lfItalic = font_.italic ? 1 : 0;
    lf.lfUnderline = font_.underline ? 1 : 0;
    lf.lfStrikeOut = font_.strikethrough ? 1 : 0;
    // The last byte stays NUL, so the system never reads a name past the field.
    std::memcpy(lf.lfFaceName.data(), font_.name.data(),
                std::min(font_.name.size(), lf.lfFaceName.size() - 1));

    ui::ChooseFontRecord cf;
    cf.lStructSize = kChooseFontSize;
    cf.hwndOwner = hwnd_;
    cf.hDC = dc;
    cf.iPointSize = pointSize.value();
    cf.Flags = flags_;
    cf.rgbColors = fontColor_;
    cf.nSizeMin = fontMinSize_;
    cf.nSizeMax = fontMaxSize_;

    if (dialogs_.ChooseFontA(cf, lf) != 1) {
        if (cancelError_) return CancelSelected(1001);
        return {};
    }
    flags_ = cf.Flags;
    fontColor_ = cf.rgbColors;
    font_.setBold((cf.nFontType & ui::kBoldFontType) != 0);
    font_.italic = lf.lfItalic != 0;
    font_.strikethrough = lf.lfStrikeOut != 0;
    font_.underline = lf.lfUnderline != 0;
    font_.setWeight(lf.lfWeight);
    font_.size = cf.iPointSize / 10.0;
    const auto& face = lf.lfFaceName;
    font_.name.assign(face.data(), std::find(face.begin(), face.end(), '\0') - face.begin());
    return {};
}

intptr_t cNewDialog::DialogHook(ui::WindowHandle hDlg, uint32_t msg, uintptr_t, intptr_t lParam) {
    switch (msg) {
    case kWmInitDialog:
        if (InitDialog) InitDialog(hDlg);
        break;
    case kWmNotify:
        switch (platform_.notifyCode(lParam)) {
        case kCdnSelChange:
            if (FileChange) FileChange(hDlg);
            break;
        case kCdnFolderChange:
            if (FolderChange) FolderChange(hDlg);
            break;
        case kCdnTypeChange:
            if (TypeChange) TypeChange(hDlg);
            break;
        case kCdnFileOk:
            // A result of 0 in the dialog's result slot accepts the file.
            platform_.setWindowLong(hDlg, 0, 0);
            break;
        default:
            break;
        }
        break;
    case kWmDestroy:
        if (DialogClose) DialogClose();
        break;
    default:
        break;
    }
    return 0;
}

void cNewDialog::CenterDialog(ui::WindowHandle hDlg, std::optional<ui::WindowHandle> centerOn) {
    const ui::WindowHandle frame = platform_.parentOf(hDlg);
    const std::optional<ui::PixelRect> frameRect = platform_.windowRect(frame);
    if (!frameRect) return;

    ui::PixelRect target;
    if (centerOn) {
        target = platform_.windowRect(*centerOn).value_or(ui::PixelRect{});
    } else if (std::optional<ui::PixelRect> area = platform_.workArea()) {
        target = *area;
    } else {
        target = {0, 0, platform_.screenWidthPixels(), platform_.screenHeightPixels()};
    }
    if (target.right < 1 || target.bottom < 1) return;

    const int32_t width = frameRect->right - frameRect->left;
    const int32_t height = frameRect->bottom - frameRect->top;
    const int32_t left = target.left + ((target.right - target.left) - width) / 2;
    const int32_t top = target.top + ((target.bottom - target.top) - height) / 2;
    platform_.moveWindow(frame, left, top, width, height);
}

} // namespace tess::skinmaker

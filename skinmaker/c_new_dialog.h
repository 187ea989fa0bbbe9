// cNewDialog, the skin maker's component around the common dialogs: properties a caller sets,
// the open, save, colour and font dialogs that read and fill them, and the dialog hook helpers.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/color.h"
#include "ui/common_dialogs.h"

namespace tess::skinmaker {

// A run-time error a dialog operation reports to its caller.
struct DialogError {
    int32_t number = 0;
    std::string source;
    std::string description;
    bool operator==(const DialogError&) const = default;
};

// What a Show operation reports: nothing, or the run-time error it raised.
class [[nodiscard]] DialogOutcome {
public:
    DialogOutcome() = default;
    DialogOutcome(DialogError error) : error_(std::move(error)) {}
    bool ok() const { return !error_.has_value(); }
    const std::optional<DialogError>& error() const { return error_; }

private:
    std::optional<DialogError> error_;
};

// The font the font dialog starts on and fills in. Bold and weight are one setting: bold sets
// the weight to 700 (400 when cleared), and a weight above 550 reads as bold.
class DialogFont {
public:
    std::string name = "MS Sans Serif";
    double size = 8;  // points
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool bold() const { return weight_ > 550; }
    void setBold(bool on) { weight_ = on ? 700 : 400; }
    int32_t weight() const { return weight_; }
    void setWeight(int32_t weight) { weight_ = weight; }

private:
    int32_t weight_ = 400;
};

class cNewDialog {
public:
    // The dialogs and the platform must outlive the component.
    cNewDialog(ui::CommonDialogs& dialogs, ui::DialogPlatform& platform);
    // The same, on one object that is both.
    template <typename System>
        requires std::derived_from<System, ui::CommonDialogs> &&
                 std::derived_from<System, ui::DialogPlatform>
    explicit cNewDialog(System& system) : cNewDialog(system, system) {}

    // Whether a cancelled dialog reports a run-time error.
    bool cancelError() const { return cancelError_; }
    void setCancelError(bool on) { cancelError_ = on; }
    const std::string& defaultExt() const { return defaultExt_; }
    void setDefaultExt(std::string ext) { defaultExt_ = std::move(ext); }
    const std::string& dialogTitle() const { return dialogTitle_; }
    void setDialogTitle(std::string title) { dialogTitle_ = std::move(title); }
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string name) { fileName_ = std::move(name); }
    const std::string& fileTitle() const { return fileTitle_; }
    void setFileTitle(std::string title) { fileTitle_ = std::move(title); }
    int16_t filterIndex() const { return filterIndex_; }
    void setFilterIndex(int16_t index) { filterIndex_ = index; }
    // The filter as entries separated by "|" ("Graphic Files|*.gif;*.jpg;*.jpeg;*.bmp;*.dib;*.png");
    // it is kept in the system's form, entries separated by NULs and ending in two NULs.
    std::string filter() const;
    void setFilter(const std::string& text);

    // One flags value, named for each dialog it is meant for.
    uint32_t flags() const { return flags_; }
    void setFlags(uint32_t flags) { flags_ = flags; }
    uint32_t fileFlags() const { return flags_; }
    void setFileFlags(uint32_t flags) { flags_ = flags; }
    uint32_t fontFlags() const { return flags_; }
    void setFontFlags(uint32_t flags) { flags_ = flags; }
    uint32_t colorFlags() const { return flags_; }
    void setColorFlags(uint32_t flags) { flags_ = flags; }

    const std::string& initDir() const { return initDir_; }
    void setInitDir(std::string folder) { initDir_ = std::move(folder); }
    // The window that owns the dialogs.
    ui::WindowHandle hwnd() const { return hwnd_; }
    void setHwnd(ui::WindowHandle window) { hwnd_ = window; }
    // Offset of the extension in the file name the last open or save dialog returned.
    int16_t fileExt() const { return fileExt_; }
    void setFileExt(int16_t offset) { fileExt_ = offset; }
    // Kept for the caller only; no dialog is given a hook.
    bool hook() const { return hook_; }
    void setHook(bool on) { hook_ = on; }

    void setFontMinSize(int32_t points) { fontMinSize_ = points; }
    void setFontMaxSize(int32_t points) { fontMaxSize_ = points; }
    ColorRef fontColor() const { return fontColor_; }
    void setFontColor(ColorRef colour) { fontColor_ = colour; }
    ColorRef color() const { return color_; }
    void setColor(ColorRef colour) { color_ = colour; }
    // Custom colour 0 to 15 of the colour dialog; -1 for any other index.
    ColorRef customColor(int index) const;

    DialogFont& font() { return font_; }
    void setFont(DialogFont font) { font_ = std::move(font); }
    bool fontBold() const { return font_.bold(); }
    void setFontBold(bool on) { font_.setBold(on); }
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool on) { font_.italic = on; }
    const std::string& fontName() const { return font_.name; }
    void setFontName(std::string name) { font_.name = std::move(name); }
    // The size in whole points, halves to the even neighbour.
    int32_t fontSize() const;
    void setFontSize(double points) { font_.size = points; }

    // Show a dialog; the results land in the properties. A cancelled dialog reports an error
    // only when cancelError() is set. Every other outcome is ok().
    DialogOutcome ShowOpen();
    DialogOutcome ShowSave();
    DialogOutcome ShowColor();
    DialogOutcome ShowFont();

    // A hook procedure for the dialogs: turns their messages into the events below and
    // accepts a file the user confirms. Always returns 0.
    intptr_t DialogHook(ui::WindowHandle hDlg, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    // Centres the dialog's frame window on another window, or on the work area.
    void CenterDialog(ui::WindowHandle hDlg, std::optional<ui::WindowHandle> centerOn = {});

    std::function<void(ui::WindowHandle)> InitDialog;
    std::function<void(ui::WindowHandle)> FileChange;
    std::function<void(ui::WindowHandle)> FolderChange;
    // Declared with the others for callers that attach to every event; the hook accepts the
    // file itself and does not raise it.
    std::function<void(ui::WindowHandle)> DialogOK;
    std::function<void(ui::WindowHandle)> TypeChange;
    std::function<void()> DialogClose;

private:
    DialogOutcome showFileDialog(bool save);

    ui::CommonDialogs& dialogs_;
    ui::DialogPlatform& platform_;

    bool cancelError_ = false;
    std::string defaultExt_;
    std::string dialogTitle_;
    std::string fileName_;
    std::string fileTitle_;
    int16_t filterIndex_ = 1;
    std::string filter_;
    uint32_t flags_ = 0;
    std::string initDir_;
    ui::WindowHandle hwnd_ = 0;
    int16_t fileExt_ = 0;
    bool hook_ = false;
    int32_t fontMinSize_ = 0;
    int32_t fontMaxSize_ = 0;
    ColorRef fontColor_ = 0;
    ColorRef color_ = 0;
    std::array<ColorRef, 16> customColors_{};
    DialogFont font_;
};

} // namespace tess::skinmaker

// Common dialogs and their platform for headless tests: a test queues the user's answers, and
// every dialog keeps the record it was handed so the test can check what a caller asked for.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/common_dialogs.h"

namespace tess::ui {

// What the user picks in a scripted font dialog.
struct FontChoice {
    std::string faceName = "MS Sans Serif";
    int32_t pointSizeTenths = 80;
    int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    ColorRef color = 0;
    uint16_t fontType = 0;
};

// The dialogs with the screen, windows and system colours they run on, all set up by the test;
// calls that change windows are recorded.
class ScriptedDialogs : public CommonDialogs, public DialogPlatform {
public:
    // The next open (save) dialog returns this path, as the system writes it into the file
    // buffer, with the file title and the name and extension offsets.
    void answerOpen(std::string path) { queue(Kind::Open, true, std::move(path)); }
    void cancelOpen() { queue(Kind::Open, false); }
    void answerSave(std::string path) { queue(Kind::Save, true, std::move(path)); }
    void cancelSave() { queue(Kind::Save, false); }
    // The next colour dialog returns this colour; `custom` replaces the custom colours, as a
    // user who edits them does, whether the dialog is then confirmed or cancelled.
    void answerColor(ColorRef colour, std::optional<std::array<ColorRef, 16>> custom = {});
    void cancelColor(std::optional<std::array<ColorRef, 16>> custom = {});
    void answerFont(FontChoice choice);
    void cancelFont() { queue(Kind::Font, false); }

    // The records the dialogs were handed, as they were before the dialog changed them.
    const std::vector<OpenFileNameRecord>& openRecords() const { return openRecords_; }
    const std::vector<OpenFileNameRecord>& saveRecords() const { return saveRecords_; }
    const std::vector<ChooseColorRecord>& colorRecords() const { return colorRecords_; }
    const std::vector<std::pair<ChooseFontRecord, LogFontRecord>>& fontRecords() const {
        return fontRecords_;
    }

    // Dialogs that were shown with no answer queued for them, or with an answer for another
    // dialog first in the queue; each was cancelled. A test expects this to stay empty.
    const std::vector<std::string>& unexpected() const { return unexpected_; }
    // Answers no dialog has used yet.
    size_t pendingAnswers() const { return answers_.size(); }

    int GetOpenFileNameA(OpenFileNameRecord& record) override;
    int GetSaveFileNameA(OpenFileNameRecord& record) override;
    int ChooseColorA(ChooseColorRecord& record) override;
    int ChooseFontA(ChooseFontRecord& record, LogFontRecord& font) override;

    // The platform, as the test sets it up. System colours 0 to 15 are the classic Windows ones.
    std::array<ColorRef, 16> sysColors{0xC8C8C8, 0x808000, 0x800000, 0x808080,
                                       0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
                                       0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0,
                                       0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0};
    std::string folder = "C:\\Program Files\\Tessary";
    DeviceContext printer = 0;
    int printerRequests = 0;
    double twipsPerPixel = 15;

    struct Window {
        WindowHandle parent = 0;
        PixelRect rect;
    };
    std::map<WindowHandle, Window> windows;
    std::optional<PixelRect> work = PixelRect{0, 0, 1024, 740};
    int32_t screenWidth = 1024, screenHeight = 768;
    // Notification codes of the NMHDRs that message parameters point to.
    std::map<intptr_t, int32_t> notifications;

    // Calls that changed windows, in order.
    struct Move {
        WindowHandle window;
        int32_t left, top, width, height;
        bool operator==(const Move&) const = default;
    };
    std::vector<Move> moves;
    struct WindowLong {
        WindowHandle window;
        int32_t index, value;
        bool operator==(const WindowLong&) const = default;
    };
    std::vector<WindowLong> windowLongs;

    ColorRef sysColor(int index) const override;
    std::string programFolder() const override { return folder; }
    DeviceContext printerDC() override;
    double twipsPerPixelY() const override { return twipsPerPixel; }
    WindowHandle parentOf(WindowHandle window) const override;
    std::optional<PixelRect> windowRect(WindowHandle window) const override;
    std::optional<PixelRect> workArea() const override { return work; }
    int32_t screenWidthPixels() const override { return screenWidth; }
    int32_t screenHeightPixels() const override { return screenHeight; }
    void moveWindow(WindowHandle window, int32_t left, int32_t top, int32_t width,
                    int32_t height) override;
    void setWindowLong(WindowHandle window, int32_t index, int32_t value) override;
    int32_t notifyCode(intptr_t lParam) const override;

private:
    enum class Kind { Open, Save, Color, Font };
    struct Answer {
        Kind kind = Kind::Open;
        bool confirm = false;
        std::string path;
        ColorRef colour = 0;
        std::optional<std::array<ColorRef, 16>> custom;
        FontChoice font;
    };
    void queue(Kind kind, bool confirm, std::string path = {});
    // The first queued answer when it is meant for this dialog; otherwise nothing, recorded.
    std::optional<Answer> take(Kind kind);
    int fileDialog(Kind kind, OpenFileNameRecord& record);

    std::deque<Answer> answers_;
    std::vector<OpenFileNameRecord> openRecords_, saveRecords_;
    std::vector<ChooseColorRecord> colorRecords_;
    std::vector<std::pair<ChooseFontRecord, LogFontRecord>> fontRecords_;
    std::vector<std::string> unexpected_;
};

} // namespace tess::ui

// The dialog component against scripted dialogs: defaults, the filter's two forms, the records
// each dialog is handed, what is read back, cancels and their errors, the hook and centring.
#include <gtest/gtest.h>

#include <string>

#include "skinmaker/c_new_dialog.h"
#include "ui/headless/scripted_dialogs.h"

using namespace tess;
using namespace tess::skinmaker;
using namespace std::string_literals;
using ui::ScriptedDialogs;

namespace {

class CNewDialogTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(dialogs.unexpected().empty()); }

    // The filter a cancelled open dialog is handed: the component's stored form.
    std::string storedFilter() {
        dialogs.cancelOpen();
        EXPECT_TRUE(dialog.ShowOpen().ok());
        return dialogs.openRecords().back().lpstrFilter;
    }

    ScriptedDialogs dialogs;
    cNewDialog dialog{dialogs};
};

} // namespace

TEST_F(CNewDialogTest, StartsWithItsDefaults) {
    EXPECT_FALSE(dialog.cancelError());
    EXPECT_EQ(dialog.defaultExt(), "");
    EXPECT_EQ(dialog.dialogTitle(), "");
    EXPECT_EQ(dialog.fileName(), "");
    EXPECT_EQ(dialog.fileTitle(), "");
    EXPECT_EQ(dialog.filter(), "All Files|*.*");
    EXPECT_EQ(dialog.filterIndex(), 1);
    EXPECT_EQ(dialog.initDir(), "C:\\Program Files\\Tessary");
    EXPECT_EQ(dialog.hwnd(), 0u);
    EXPECT_EQ(dialog.flags(), 0u);
    EXPECT_EQ(dialog.color(), 0);
    EXPECT_EQ(dialog.fontName(), "MS Sans Serif");
    EXPECT_EQ(dialog.fontSize(), 8);
    EXPECT_FALSE(dialog.fontBold());
    EXPECT_FALSE(dialog.fontItalic());
    EXPECT_EQ(storedFilter(), "All Files\0*.*\0\0"s);
    // The first open dialog starts in the program's folder.
    EXPECT_EQ(dialogs.openRecords().back().lpstrInitialDir, "C:\\Program Files\\Tessary");
    // No title: the dialog shows the system's own.
    EXPECT_FALSE(dialogs.openRecords().back().lpstrTitle.has_value());
}

TEST_F(CNewDialogTest, FilterIsStoredWithNulsAndReadBackWithPipes) {
    dialog.setFilter("Graphic Files|*.gif;*.jpg;*.bmp");
    EXPECT_EQ(dialog.filter(), "Graphic Files|*.gif;*.jpg;*.bmp");
    EXPECT_EQ(storedFilter(), "Graphic Files\0*.gif;*.jpg;*.bmp\0\0"s);

    dialog.setFilter("Pictures|*.gif|Bitmaps|*.bmp");
    EXPECT_EQ(dialog.filter(), "Pictures|*.gif|Bitmaps|*.bmp");
    EXPECT_EQ(storedFilter(), "Pictures\0*.gif\0Bitmaps\0*.bmp\0\0"s);

    // One trailing pipe gets one NUL added, two get none; both read back without them.
    dialog.setFilter("A|*.a|");
    EXPECT_EQ(storedFilter(), "A\0*.a\0\0"s);
    EXPECT_EQ(dialog.filter(), "A|*.a");
    dialog.setFilter("A|*.a||");
    EXPECT_EQ(storedFilter(), "A\0*.a\0\0"s);
    EXPECT_EQ(dialog.filter(), "A|*.a");

    dialog.setFilter("");
    EXPECT_EQ(storedFilter(), "\0\0"s);
    EXPECT_EQ(dialog.filter(), "");
}

TEST_F(CNewDialogTest, FlagsAreOneValueUnderFourNames) {
    dialog.setFontFlags(0x41);
    EXPECT_EQ(dialog.fileFlags(), 0x41u);
    EXPECT_EQ(dialog.flags(), 0x41u);
    EXPECT_EQ(dialog.colorFlags(), 0x41u);
    dialog.setColorFlags(6);
    EXPECT_EQ(dialog.fontFlags(), 6u);
}

TEST_F(CNewDialogTest, OpenHandsOverTheRecordOfItsProperties) {
    dialog.setFilter("Graphic Files|*.gif;*.jpg;*.bmp");
    dialog.setFileName("C:\\old.gif");
    dialog.setFileTitle("old.gif");
    dialog.setFilterIndex(1);
    dialog.setFileFlags(6);
    dialog.setHwnd(0x1234);
    dialog.setDialogTitle("Choose");
    dialog.setDefaultExt("gif");
    dialogs.cancelOpen();
    ASSERT_TRUE(dialog.ShowOpen().ok());

    const ui::OpenFileNameRecord& r = dialogs.openRecords().at(0);
    EXPECT_EQ(r.lStructSize, 76u);
    EXPECT_EQ(r.hwndOwner, 0x1234u);
    EXPECT_EQ(r.hInstance, 0u);
    EXPECT_FALSE(r.lpstrCustomFilter.has_value());
    EXPECT_EQ(r.nMaxCustFilter, 0u);
    EXPECT_EQ(r.nFilterIndex, 1u);
    EXPECT_EQ(r.lpstrFile, "C:\\old.gif" + std::string(251, '\0'));
    EXPECT_EQ(r.nMaxFile, 260u);
    EXPECT_EQ(r.lpstrFileTitle, "old.gif" + std::string(256, ' '));
    EXPECT_EQ(r.nMaxFileTitle, 260u);
    EXPECT_EQ(r.lpstrTitle, "Choose");
    EXPECT_EQ(r.Flags, 6u);  // nothing added
    EXPECT_EQ(r.nFileOffset, 0);
    EXPECT_EQ(r.nFileExtension, 0);
    EXPECT_EQ(r.lpstrDefExt, "gif");
    EXPECT_EQ(r.lCustData, 0);
    EXPECT_EQ(r.lpfnHook, 0u);
    EXPECT_EQ(r.lpTemplateName, "0");
    // Cancelled without the error flag: every property as it was.
    EXPECT_EQ(dialog.fileName(), "C:\\old.gif");
    EXPECT_EQ(dialog.fileTitle(), "old.gif");

    dialogs.cancelSave();
    ASSERT_TRUE(dialog.ShowSave().ok());
    ASSERT_EQ(dialogs.saveRecords().size(), 1u);
    EXPECT_EQ(dialogs.saveRecords()[0].lpstrFile, r.lpstrFile);
    EXPECT_EQ(dialogs.saveRecords()[0].lpstrFilter, r.lpstrFilter);
}

TEST_F(CNewDialogTest, FileNameLongerThanTheBufferFailsBeforeAnyDialog) {
    dialog.setFileName(std::string(262, 'x'));
    const DialogOutcome outcome = dialog.ShowOpen();
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error()->number, 5);
    EXPECT_TRUE(dialogs.openRecords().empty());
    EXPECT_FALSE(dialog.ShowSave().ok());
    EXPECT_TRUE(dialogs.saveRecords().empty());

    // 261 characters still fit, with no NUL after them.
    dialog.setFileName(std::string(261, 'x'));
    dialogs.cancelOpen();
    EXPECT_TRUE(dialog.ShowOpen().ok());
    EXPECT_EQ(dialogs.openRecords().at(0).lpstrFile, std::string(261, 'x'));
}

TEST_F(CNewDialogTest, OpenReadsBackTheChosenFileTrimmed) {
    dialog.setInitDir("  C:\\Start  ");
    dialogs.answerOpen("  C:\\My Pictures\\sea side.jpg ");
    ASSERT_TRUE(dialog.ShowOpen().ok());
    // Spaces inside the path stay; those before the first and after the last character go.
    EXPECT_EQ(dialog.fileName(), "C:\\My Pictures\\sea side.jpg");
    EXPECT_EQ(dialog.fileTitle(), "sea side.jpg");
    EXPECT_EQ(dialog.fileExt(), 26);  // offset in the buffer the dialog wrote
    EXPECT_EQ(dialog.initDir(), "C:\\Start");
    EXPECT_EQ(dialog.filterIndex(), 1);
}

TEST_F(CNewDialogTest, SecondDialogGetsTheWholeFilterList) {
    dialog.setFilter("Graphic Files|*.gif;*.jpg;*.bmp|Bitmaps|*.bmp");
    dialogs.answerOpen("C:\\a.gif");
    ASSERT_TRUE(dialog.ShowOpen().ok());
    EXPECT_EQ(dialog.filter(), "Graphic Files|*.gif;*.jpg;*.bmp|Bitmaps|*.bmp");
    dialogs.answerSave("C:\\b.bmp");
    ASSERT_TRUE(dialog.ShowSave().ok());
    dialogs.cancelOpen();
    ASSERT_TRUE(dialog.ShowOpen().ok());
    const std::string list = "Graphic Files\0*.gif;*.jpg;*.bmp\0Bitmaps\0*.bmp\0\0"s;
    EXPECT_EQ(dialogs.saveRecords().at(0).lpstrFilter, list);
    EXPECT_EQ(dialogs.openRecords().at(1).lpstrFilter, list);
    EXPECT_EQ(dialog.fileName(), "C:\\b.bmp");
}

TEST_F(CNewDialogTest, CancelReportsTheErrorOfEachDialogWhenAsked) {
    dialog.setCancelError(true);
    dialog.setFileName("keep.gif");
    dialog.setColor(0x123456);

    dialogs.cancelOpen();
    DialogOutcome open = dialog.ShowOpen();
    ASSERT_FALSE(open.ok());
    EXPECT_EQ(*open.error(), (DialogError{1002, "Run-time error", "Cancel was selected"}));
    dialogs.cancelSave();
    DialogOutcome save = dialog.ShowSave();
    ASSERT_FALSE(save.ok());
    EXPECT_EQ(*save.error(), (DialogError{1001, "Run-time error", "Cancel was selected"}));
    dialogs.cancelFont();
    DialogOutcome font = dialog.ShowFont();
    ASSERT_FALSE(font.ok());
    EXPECT_EQ(*font.error(), (DialogError{1001, "Run-time error", "Cancel was selected"}));
    dialogs.cancelColor();
    DialogOutcome colour = dialog.ShowColor();
    ASSERT_FALSE(colour.ok());
    EXPECT_EQ(*colour.error(), (DialogError{1004, "", "Choose Color Dialog was canceled"}));

    EXPECT_EQ(dialog.fileName(), "keep.gif");
    EXPECT_EQ(dialog.color(), 0x123456);
    // The font dialog's own flag changes stay.
    EXPECT_EQ(dialog.flags(), ui::kCfScreenFonts | ui::kCfInitToLogFontStruct);
}

TEST_F(CNewDialogTest, ColourDialogReturnsTheColourOrMinusOne) {
    dialog.setColor(0x00FF00);
    dialog.setColorFlags(ui::kCcRgbInit | ui::kCcEnableHook | ui::kCcEnableTemplate | 0x100);
    dialog.setHwnd(77);
    dialogs.answerColor(0x0000FF);
    ASSERT_TRUE(dialog.ShowColor().ok());
    EXPECT_EQ(dialog.color(), 0x0000FF);

    const ui::ChooseColorRecord& r = dialogs.colorRecords().at(0);
    EXPECT_EQ(r.lStructSize, 36u);
    EXPECT_EQ(r.hwndOwner, 77u);
    EXPECT_EQ(r.rgbResult, 0x00FF00);
    EXPECT_EQ(r.Flags, ui::kCcRgbInit | 0x100);  // hook and template bits cleared
    EXPECT_EQ(dialog.colorFlags(), ui::kCcRgbInit | ui::kCcEnableHook | ui::kCcEnableTemplate | 0x100);
    EXPECT_EQ(r.lpfnHook, 0u);
    EXPECT_FALSE(r.lpTemplateName.has_value());
    EXPECT_EQ(r.lpCustColors, dialogs.sysColors);

    dialogs.cancelColor();
    ASSERT_TRUE(dialog.ShowColor().ok());
    EXPECT_EQ(dialog.color(), -1);
}

TEST_F(CNewDialogTest, CustomColoursStartAsSystemColoursAndKeepTheDialogsEdits) {
    EXPECT_EQ(dialog.customColor(0), 0xC8C8C8);  // the scroll bar colour
    EXPECT_EQ(dialog.customColor(15), dialogs.sysColors[15]);
    EXPECT_EQ(dialog.customColor(16), -1);
    EXPECT_EQ(dialog.customColor(-1), -1);

    std::array<ColorRef, 16> edited = dialogs.sysColors;
    edited[3] = 0x010203;
    dialogs.cancelColor(edited);
    ASSERT_TRUE(dialog.ShowColor().ok());
    EXPECT_EQ(dialog.customColor(3), 0x010203);
    dialogs.cancelColor();
    ASSERT_TRUE(dialog.ShowColor().ok());
    EXPECT_EQ(dialogs.colorRecords().at(1).lpCustColors, edited);
}

TEST_F(CNewDialogTest, FontDialogFlagsFollowTheProperties) {
    // Screen fonts and the LOGFONT start are added; no colour, no size limits.
    dialogs.cancelFont();
    ASSERT_TRUE(dialog.ShowFont().ok());
    EXPECT_EQ(dialogs.fontRecords().at(0).first.Flags, 0x41u);
    EXPECT_EQ(dialogs.fontRecords().at(0).first.hDC, 0u);
    EXPECT_EQ(dialogs.printerRequests, 0);

    // Printer fonts take the printer's context instead of screen fonts; a colour adds
    // effects, a maximum size the limit; hook, template and apply are cleared.
    dialogs.printer = 0xD00;
    dialog.setFontFlags(ui::kCfPrinterFonts | ui::kCfEnableHook | ui::kCfEnableTemplate |
                        ui::kCfApply);
    dialog.setFontColor(0xFF);
    dialog.setFontMaxSize(72);
    dialogs.cancelFont();
    ASSERT_TRUE(dialog.ShowFont().ok());
    const ui::ChooseFontRecord& cf = dialogs.fontRecords().at(1).first;
    EXPECT_EQ(cf.Flags, 0x2142u);
    EXPECT_EQ(dialog.fontFlags(), 0x2142u);
    EXPECT_EQ(cf.hDC, 0xD00u);
    EXPECT_EQ(cf.nSizeMax, 72);
    EXPECT_EQ(cf.nSizeMin, 0);
    EXPECT_EQ(cf.rgbColors, 0xFF);

    // A colour that is not above 0 adds no effects.
    dialog.setFontFlags(0);
    dialog.setFontColor(-1);
    dialog.setFontMaxSize(0);
    dialogs.cancelFont();
    ASSERT_TRUE(dialog.ShowFont().ok());
    EXPECT_EQ(dialogs.fontRecords().at(2).first.Flags, 0x41u);
}

TEST_F(CNewDialogTest, FontDialogStartsOnTheFontObject) {
    dialog.setFontBold(true);
    dialog.setFontItalic(true);
    dialog.font().underline = true;
    dialog.setFontName(std::string(40, 'N'));
    dialog.setFontSize(9.375);  // 187.5 twips, 12.5 pixels at 15 twips per pixel
    dialogs.cancelFont();
    ASSERT_TRUE(dialog.ShowFont().ok());
    const auto& [cf, lf] = dialogs.fontRecords().at(0);
    EXPECT_EQ(cf.lStructSize, 60u);
    EXPECT_EQ(cf.iPointSize, 94);  // 93.75, to the nearest
    EXPECT_EQ(lf.lfHeight, -12);   // halves to the even neighbour
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    // A long name is cut so that the field still ends in a NUL.
    EXPECT_EQ(std::string(lf.lfFaceName.data(), 32), std::string(31, 'N') + '\0');

    dialog.setFont(DialogFont{});
    dialog.setFontSize(7);
    dialogs.twipsPerPixel = 12;
    dialogs.cancelFont();
    ASSERT_TRUE(dialog.ShowFont().ok());
    const ui::LogFontRecord& plain = dialogs.fontRecords().at(1).second;
    EXPECT_EQ(plain.lfHeight, -12);  // 140 twips over 12 is 11.67 pixels
    EXPECT_EQ(plain.lfWeight, 400);
    EXPECT_EQ(std::string(plain.lfFaceName.data(), 32),
              "MS Sans Serif" + std::string(19, '\0'));
}

TEST_F(CNewDialogTest, FontDialogReadsBackTheChosenFont) {
    dialogs.answerFont({"Arial", 125, 700, true, true, true, 0x0000FF, ui::kBoldFontType});
    ASSERT_TRUE(dialog.ShowFont().ok());
    EXPECT_EQ(dialog.fontName(), "Arial");
    EXPECT_EQ(dialog.font().size, 12.5);
    EXPECT_EQ(dialog.fontSize(), 12);
    EXPECT_TRUE(dialog.fontBold());
    EXPECT_EQ(dialog.font().weight(), 700);
    EXPECT_TRUE(dialog.fontItalic());
    EXPECT_TRUE(dialog.font().underline);
    EXPECT_TRUE(dialog.font().strikethrough);
    EXPECT_EQ(dialog.fontColor(), 0x0000FF);
    EXPECT_EQ(dialog.flags(), 0x41u);
}

TEST_F(CNewDialogTest, HookTurnsMessagesIntoEvents) {
    std::vector<std::string> events;
    dialog.InitDialog = [&](ui::WindowHandle h) { events.push_back("init " + std::to_string(h)); };
    dialog.FileChange = [&](ui::WindowHandle h) { events.push_back("file " + std::to_string(h)); };
    dialog.FolderChange = [&](ui::WindowHandle h) { events.push_back("folder " + std::to_string(h)); };
    dialog.TypeChange = [&](ui::WindowHandle h) { events.push_back("type " + std::to_string(h)); };
    dialog.DialogOK = [&](ui::WindowHandle) { events.push_back("ok"); };
    dialog.DialogClose = [&] { events.push_back("close"); };
    dialogs.notifications = {{100, -602}, {101, -603}, {102, -607}, {103, -606}, {104, -601}};

    EXPECT_EQ(dialog.DialogHook(5, 0x110, 0, 0), 0);
    for (intptr_t lParam = 100; lParam <= 104; ++lParam) dialog.DialogHook(5, 0x4E, 0, lParam);
    dialog.DialogHook(5, 0x111, 0, 100);  // WM_COMMAND: nothing
    EXPECT_EQ(dialog.DialogHook(5, 0x2, 0, 0), 0);

    EXPECT_EQ(events, (std::vector<std::string>{"init 5", "file 5", "folder 5", "type 5", "close"}));
    // The file-OK notification accepts the file through the dialog's result slot.
    EXPECT_EQ(dialogs.windowLongs, (std::vector<ScriptedDialogs::WindowLong>{{5, 0, 0}}));
}

TEST_F(CNewDialogTest, CenterDialogMovesTheFrameOverItsTarget) {
    dialogs.windows[10] = {20, {}};
    dialogs.windows[20] = {0, {100, 100, 400, 300}};  // 300 by 200
    dialogs.windows[30] = {0, {50, 60, 251, 161}};    // 201 by 101

    dialog.CenterDialog(10);
    dialog.CenterDialog(10, 30);  // halves of -99 truncate toward zero
    dialogs.work.reset();
    dialog.CenterDialog(10);
    EXPECT_EQ(dialogs.moves, (std::vector<ScriptedDialogs::Move>{
                                  {20, 362, 270, 300, 200},
                                  {20, 1, 11, 300, 200},
                                  {20, 362, 284, 300, 200}}));

    // A target that ends left of or above the screen's first pixel leaves the frame alone.
    dialogs.windows[31] = {0, {-300, 10, 0, 200}};
    dialog.CenterDialog(10, 31);
    dialog.CenterDialog(10, 99);  // no such window
    EXPECT_EQ(dialogs.moves.size(), 3u);
}

TEST(ScriptedDialogs, ShowingADialogNobodyExpectedIsRecordedAndCancelled) {
    ScriptedDialogs dialogs;
    ui::OpenFileNameRecord file;
    file.nMaxFile = 260;
    EXPECT_EQ(dialogs.GetOpenFileNameA(file), 0);
    dialogs.answerColor(0xFF);
    EXPECT_EQ(dialogs.GetSaveFileNameA(file), 0);
    ASSERT_EQ(dialogs.unexpected().size(), 2u);
    EXPECT_NE(dialogs.unexpected()[1].find("colour"), std::string::npos);
    // The colour answer is still there for the colour dialog.
    EXPECT_EQ(dialogs.pendingAnswers(), 1u);
    ui::ChooseColorRecord colour;
    EXPECT_EQ(dialogs.ChooseColorA(colour), 1);
    EXPECT_EQ(colour.rgbResult, 0xFF);
}

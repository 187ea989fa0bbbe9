// The records the dialog component hands to comdlg32, captured byte for byte through replaced
// entry points; the real dialog platform; and a real open dialog that the user cancels.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "skinmaker/c_new_dialog.h"
#include "ui/headless/scripted_dialogs.h"
#include "ui/win32/win32_common_dialogs.h"

using namespace tess;
using namespace tess::skinmaker;
using namespace std::string_literals;
using ui::win32::CommonDialogCalls;
using ui::win32::Win32CommonDialogs;
using ui::win32::Win32DialogPlatform;

// The layouts the system expects of the 32-bit programs (the x86-64 build that runs these tests
// where 32-bit programs cannot run has layouts of its own).
#ifndef _WIN64
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76);
static_assert(sizeof(CHOOSECOLORA) == 36);
static_assert(sizeof(CHOOSEFONTA) == 60);
#endif
static_assert(sizeof(LOGFONTA) == 60);

namespace {

// The replaced entry points run whatever the current test put here.
std::function<BOOL(OPENFILENAMEA*)> g_open, g_save;
std::function<BOOL(CHOOSECOLORA*)> g_colour;
std::function<BOOL(CHOOSEFONTA*)> g_font;

BOOL WINAPI FakeOpen(LPOPENFILENAMEA ofn) { return g_open(ofn); }
BOOL WINAPI FakeSave(LPOPENFILENAMEA ofn) { return g_save(ofn); }
BOOL WINAPI FakeColour(LPCHOOSECOLORA cc) { return g_colour(cc); }
BOOL WINAPI FakeFont(LPCHOOSEFONTA cf) { return g_font(cf); }

// A NUL-separated list up to and including its two closing NULs.
std::string FilterList(const char* list) {
    const char* end = list;
    while (end[0] != '\0' || end[1] != '\0') ++end;
    return std::string(list, end + 2);
}

class CommonDialogRecords : public ::testing::Test {
protected:
    void TearDown() override {
        g_open = nullptr;
        g_save = nullptr;
        g_colour = nullptr;
        g_font = nullptr;
    }

    Win32CommonDialogs system{CommonDialogCalls{FakeOpen, FakeSave, FakeColour, FakeFont}};
    ui::ScriptedDialogs platform;
    cNewDialog dialog{system, platform};
};

} // namespace

TEST_F(CommonDialogRecords, OpenRecordCarriesEveryFieldAndTakesTheAnswerBack) {
    dialog.setFilter("Graphic Files|*.gif;*.jpg;*.bmp");
    dialog.setFileName("C:\\old.gif");
    dialog.setFilterIndex(1);
    dialog.setFileFlags(6);
    dialog.setHwnd(0x4321);
    dialog.setDialogTitle("Choose");
    dialog.setDefaultExt("gif");

    OPENFILENAMEA seen{};
    std::string filter, file, fileTitle, initialDir, title, defExt, templateName;
    g_open = [&](OPENFILENAMEA* ofn) {
        std::memcpy(&seen, ofn, std::min<size_t>(ofn->lStructSize, sizeof seen));
        filter = FilterList(ofn->lpstrFilter);
        file.assign(ofn->lpstrFile, 262);
        fileTitle.assign(ofn->lpstrFileTitle, 257);
        initialDir = ofn->lpstrInitialDir;
        title = ofn->lpstrTitle ? ofn->lpstrTitle : "(none)";
        defExt = ofn->lpstrDefExt;
        templateName = ofn->lpTemplateName;
        // The user's choice, written as the system writes it: the title fills all the room
        // the record gives it.
        std::strcpy(ofn->lpstrFile, "C:\\My Pictures\\sea side.jpg");
        std::memset(ofn->lpstrFileTitle, 'T', ofn->nMaxFileTitle - 1);
        ofn->lpstrFileTitle[ofn->nMaxFileTitle - 1] = '\0';
        ofn->nFileOffset = 15;
        ofn->nFileExtension = 24;
        ofn->nFilterIndex = 2;
        ofn->Flags |= OFN_EXTENSIONDIFFERENT;
        return TRUE;
    };
    ASSERT_TRUE(dialog.ShowOpen().ok());

    EXPECT_EQ(seen.lStructSize, OPENFILENAME_SIZE_VERSION_400A);
    EXPECT_EQ(seen.hwndOwner, reinterpret_cast<HWND>(0x4321));
    EXPECT_EQ(seen.hInstance, nullptr);
    EXPECT_EQ(filter, "Graphic Files\0*.gif;*.jpg;*.bmp\0\0"s);
    EXPECT_EQ(seen.lpstrCustomFilter, nullptr);
    EXPECT_EQ(seen.nMaxCustFilter, 0u);
    EXPECT_EQ(seen.nFilterIndex, 1u);
    EXPECT_EQ(file, "C:\\old.gif" + std::string(252, '\0'));
    EXPECT_EQ(seen.nMaxFile, 260u);
    EXPECT_EQ(fileTitle, std::string(256, ' ') + '\0');
    EXPECT_EQ(seen.nMaxFileTitle, 260u);
    EXPECT_EQ(initialDir, "C:\\Program Files\\Tessary");
    EXPECT_EQ(title, "Choose");
    EXPECT_EQ(seen.Flags, 6u);
    EXPECT_EQ(seen.nFileOffset, 0);
    EXPECT_EQ(seen.nFileExtension, 0);
    EXPECT_EQ(defExt, "gif");
    EXPECT_EQ(seen.lCustData, 0);
    EXPECT_EQ(seen.lpfnHook, nullptr);
    EXPECT_EQ(templateName, "0");

    EXPECT_EQ(dialog.fileName(), "C:\\My Pictures\\sea side.jpg");
    EXPECT_EQ(dialog.fileTitle(), std::string(259, 'T'));
    EXPECT_EQ(dialog.fileExt(), 24);
    EXPECT_EQ(dialog.filterIndex(), 2);
    EXPECT_EQ(dialog.fileFlags(), 6u | OFN_EXTENSIONDIFFERENT);
    EXPECT_EQ(dialog.filter(), "Graphic Files|*.gif;*.jpg;*.bmp");
}

TEST_F(CommonDialogRecords, SaveGoesThroughTheSaveCall) {
    int opened = 0, saved = 0;
    g_open = [&](OPENFILENAMEA*) {
        ++opened;
        return FALSE;
    };
    g_save = [&](OPENFILENAMEA*) {
        ++saved;
        return FALSE;
    };
    dialog.setCancelError(true);
    const DialogOutcome outcome = dialog.ShowSave();
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error()->number, 1001);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(opened, 0);
}

TEST_F(CommonDialogRecords, ColourRecordHasTheCustomColoursAndClearedHookBits) {
    dialog.setColor(0x00FF00);
    dialog.setColorFlags(CC_RGBINIT | CC_ENABLEHOOK | CC_ENABLETEMPLATE | CC_FULLOPEN);
    dialog.setHwnd(0x99);
    CHOOSECOLORA seen{};
    COLORREF custom[16];
    g_colour = [&](CHOOSECOLORA* cc) {
        seen = *cc;
        std::memcpy(custom, cc->lpCustColors, sizeof custom);
        cc->lpCustColors[2] = RGB(1, 2, 3);  // the user edits a custom colour, then cancels
        return FALSE;
    };
    ASSERT_TRUE(dialog.ShowColor().ok());

    EXPECT_EQ(seen.lStructSize, sizeof(CHOOSECOLORA));
    EXPECT_EQ(seen.hwndOwner, reinterpret_cast<HWND>(0x99));
    EXPECT_EQ(seen.hInstance, nullptr);
    EXPECT_EQ(seen.rgbResult, 0x00FF00u);
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN));
    EXPECT_EQ(seen.lCustData, 0);
    EXPECT_EQ(seen.lpfnHook, nullptr);
    EXPECT_EQ(seen.lpTemplateName, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(custom[i], static_cast<COLORREF>(platform.sysColors[i]));

    EXPECT_EQ(dialog.color(), -1);
    EXPECT_EQ(dialog.customColor(2), static_cast<ColorRef>(RGB(1, 2, 3)));
}

TEST_F(CommonDialogRecords, FontRecordStartsOnTheFontAndTakesTheChoiceBack) {
    dialog.setFontColor(0xFF);
    dialog.setFontMaxSize(72);
    dialog.setFontBold(true);
    CHOOSEFONTA seen{};
    LOGFONTA font{};
    g_font = [&](CHOOSEFONTA* cf) {
        seen = *cf;
        font = *cf->lpLogFont;
        std::strcpy(cf->lpLogFont->lfFaceName, "Arial");
        cf->lpLogFont->lfWeight = FW_NORMAL;
        cf->lpLogFont->lfItalic = TRUE;
        cf->iPointSize = 120;
        cf->nFontType = SCREEN_FONTTYPE;
        cf->rgbColors = RGB(0, 128, 0);
        return TRUE;
    };
    ASSERT_TRUE(dialog.ShowFont().ok());

    EXPECT_EQ(seen.lStructSize, sizeof(CHOOSEFONTA));
    EXPECT_EQ(seen.hDC, nullptr);
    EXPECT_EQ(seen.iPointSize, 80);
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS | CF_LIMITSIZE |
                                             CF_INITTOLOGFONTSTRUCT));
    EXPECT_EQ(seen.rgbColors, 0xFFu);
    EXPECT_EQ(seen.nSizeMin, 0);
    EXPECT_EQ(seen.nSizeMax, 72);
    EXPECT_EQ(seen.lpfnHook, nullptr);
    EXPECT_EQ(seen.lpTemplateName, nullptr);
    EXPECT_EQ(seen.lpszStyle, nullptr);
    EXPECT_EQ(font.lfHeight, -11);  // 8 points at 15 twips per pixel: 10.67 pixels
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(std::string(font.lfFaceName, 32), "MS Sans Serif" + std::string(19, '\0'));

    EXPECT_EQ(dialog.fontName(), "Arial");
    EXPECT_EQ(dialog.fontSize(), 12);
    EXPECT_FALSE(dialog.fontBold());
    EXPECT_TRUE(dialog.fontItalic());
    EXPECT_EQ(dialog.fontColor(), static_cast<ColorRef>(RGB(0, 128, 0)));
}

TEST(Win32DialogPlatform, AnswersFromTheSystem) {
    Win32DialogPlatform platform;
    const std::string folder = platform.programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesA((folder + "\\tess_win32_tests.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform.sysColor(COLOR_BTNFACE), static_cast<ColorRef>(GetSysColor(COLOR_BTNFACE)));

    NMHDR header{nullptr, 0, static_cast<UINT>(CDN_SELCHANGE)};
    EXPECT_EQ(platform.notifyCode(reinterpret_cast<intptr_t>(&header)), -602);
    EXPECT_EQ(platform.notifyCode(0), 0);
}

TEST(Win32DialogPlatform, CenterDialogMovesTheRealFrame) {
    Win32DialogPlatform platform;
    ui::ScriptedDialogs unused;
    cNewDialog dialog(unused, platform);
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 3, 4, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND inner = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, frame, nullptr,
                                 nullptr, nullptr);
    HWND target = CreateWindowExA(0, "STATIC", "target", WS_POPUP, 100, 50, 501, 301, nullptr,
                                  nullptr, nullptr, nullptr);

    dialog.CenterDialog(reinterpret_cast<ui::WindowHandle>(inner),
                        reinterpret_cast<ui::WindowHandle>(target));
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 100 + (501 - 300) / 2);
    EXPECT_EQ(r.top, 50 + (301 - 200) / 2);
    EXPECT_EQ(r.right - r.left, 300);

    RECT area;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    dialog.CenterDialog(reinterpret_cast<ui::WindowHandle>(inner));
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, area.left + (area.right - area.left - 300) / 2);
    EXPECT_EQ(r.top, area.top + (area.bottom - area.top - 200) / 2);

    DestroyWindow(target);
    DestroyWindow(frame);
}

namespace {

// The system's dialogs, remembering what the open dialog returned.
class RecordingDialogs : public Win32CommonDialogs {
public:
    int GetOpenFileNameA(ui::OpenFileNameRecord& record) override {
        lastResult = Win32CommonDialogs::GetOpenFileNameA(record);
        return lastResult;
    }
    int lastResult = -1;
};

BOOL CALLBACK TakeVisibleDialog(HWND window, LPARAM out) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
}

// A visible dialog box among the thread's top-level windows.
HWND FindDialogOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, TakeVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

TEST(RealOpenDialog, CancelReturnsZeroAndKeepsTheFileName) {
    HWND owner = CreateWindowExA(0, "STATIC", "Tessary", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    RecordingDialogs system;
    Win32DialogPlatform platform;
    cNewDialog dialog(system, platform);
    dialog.setFilter("Graphic Files|*.gif;*.jpg;*.bmp");
    dialog.setFileName("unchanged.gif");
    dialog.setFileFlags(OFN_HIDEREADONLY);
    dialog.setHwnd(reinterpret_cast<ui::WindowHandle>(owner));

    // The user: waits for the dialog to appear and presses Cancel, again until it is gone.
    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<bool> done{false}, seen{false};
    char caption[64] = {};
    std::thread user([&] {
        for (int tries = 0; tries < 1200 && !done; ++tries) {
            if (HWND box = FindDialogOf(uiThread)) {
                if (!seen) GetWindowTextA(box, caption, sizeof caption);
                seen = true;
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
            Sleep(50);
        }
    });
    const DialogOutcome outcome = dialog.ShowOpen();
    done = true;
    user.join();
    DestroyWindow(owner);

    EXPECT_TRUE(seen) << "the open dialog never appeared";
    // Without a title of the component's own, the system's is shown.
    EXPECT_STREQ(caption, "Open");
    EXPECT_EQ(system.lastResult, 0);
    EXPECT_TRUE(outcome.ok());
    EXPECT_EQ(dialog.fileName(), "unchanged.gif");
}

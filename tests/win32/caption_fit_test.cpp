// Every caption of the three programs' real windows at the screen's DPI, measured in the font
// its window uses against its client box, enabled and disabled; the menu bars on one row; the
// font each program chose the largest that fits, and a window's layout when its DPI changes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "installer/frm_main.h"
#include "installer/frm_path.h"
#include "platform/win32/handles.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/frm_about.h"
#include "skinmaker/frm_collection.h"
#include "skinmaker/ie_main.h"
#include "tests/support/fake_install_services.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_registry.h"
#include "tests/support/scripted_shell.h"
#include "ui/headless/scripted_dialogs.h"
#include "ui/win32/win32_host.h"
#include "uninstaller/frm_uninstall.h"

using namespace tess;
using namespace tess::skinmaker;
using namespace tess::ui;
using namespace tess::ui::win32;
using namespace tess::platform::win32;

namespace {

// What a caption takes in the font its window was given, laid out as the control lays it out:
// the box the layout gives it, and the ink of each way the caption is drawn, which a scalable
// face's letters may carry past that box.
struct CaptionExtent {
    SIZE layout{};
    RECT ink{};      // colour rendering, as an enabled control draws it
    RECT monoInk{};  // one bit a pixel, as a disabled control draws it into its mask
};

// The box the pixels that differ from white fill, relative to the layout's origin at (pad, pad).
RECT InkOf(HDC dc, int width, int height, int pad) {
    RECT ink{width, height, -pad, -pad};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
                ink.left = std::min<LONG>(ink.left, x - pad);
                ink.top = std::min<LONG>(ink.top, y - pad);
                ink.right = std::max<LONG>(ink.right, x - pad + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y - pad + 1);
            }
    return ink;
}

// The font the window draws its caption in: its own, or the system's when it was given none.
HGDIOBJ FontOf(HWND window) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    return font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
}

CaptionExtent MeasureCaption(HWND window, const std::string& text, UINT format, int wrapWidth) {
    WindowDc screen(window);
    const HGDIOBJ face = FontOf(window);
    CaptionExtent extent;
    {
        SelectedObject selected(screen.get(), face);
        RECT box{0, 0, wrapWidth, 0};
        DrawTextA(screen.get(), text.c_str(), -1, &box, format | DT_CALCRECT | DT_EXPANDTABS);
        extent.layout = {box.right - box.left, box.bottom - box.top};
    }
    // Drawn unclipped with room all round, black on white.
    const int pad = extent.layout.cy;
    const int width = extent.layout.cx + 2 * pad, height = extent.layout.cy + 2 * pad;
    for (bool mono : {false, true}) {
        UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        UniqueBitmap bitmap(mono ? CreateBitmap(width, height, 1, 1, nullptr)
                                 : CreateCompatibleBitmap(screen.get(), width, height));
        SelectedObject selectedBitmap(dc.get(), bitmap.get());
        SelectedObject selectedFont(dc.get(), face);
        RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc.get(), RGB(0, 0, 0));
        SetBkMode(dc.get(), TRANSPARENT);
        RECT box{pad, pad, pad + extent.layout.cx, pad + extent.layout.cy};
        DrawTextA(dc.get(), text.c_str(), -1, &box, format | DT_NOCLIP | DT_EXPANDTABS);
        (mono ? extent.monoInk : extent.ink) = InkOf(dc.get(), width, height, pad);
    }
    return extent;
}

// The width and height of the layout's box and the ink together.
SIZE Span(const CaptionExtent& e) {
    const RECT& a = e.ink;
    const RECT& b = e.monoInk;
    return {std::max({e.layout.cx, a.right, b.right}) - std::min({0L, a.left, b.left}),
            std::max({e.layout.cy, a.bottom, b.bottom}) - std::min({0L, a.top, b.top})};
}

// The face the font mapper really gave the window's font.
std::string FaceOf(HWND window) {
    WindowDc dc(window);
    SelectedObject selected(dc.get(), FontOf(window));
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc.get(), LF_FACESIZE, face);
    return face;
}

// The part of the client box the control leaves to its caption.
SIZE RoomFor(const Control& c, HWND window, int dpi) {
    RECT client{};
    GetClientRect(window, &client);
    return CaptionRoom(c.kind(), {client.right, client.bottom}, dpi,
                       MeasureCaption(window, "0", DT_SINGLELINE, 0).layout.cx);
}

// What one look at a form's captions found: how many controls show one, how many of those it
// measured in their windows, and every caption that does not fit, as "name: text (w x h in w x h)".
struct CaptionCheck {
    int captioned = 0;
    int measured = 0;
    std::vector<std::string> misfits;
};

CaptionCheck CheckCaptions(const Win32Host& host, const Form& form) {
    CaptionCheck check;
    std::vector<std::string>& out = check.misfits;
    const int dpi = host.screenOf(form).dpiY;
    ForEachControl(form, [&](Control& c) {
        const std::string* caption = CaptionOf(c);
        if (!caption || caption->empty()) return;
        ++check.captioned;
        HWND window = host.controlWindow(form, c);
        if (!window) return;
        ++check.measured;
        const bool wraps = c.kind() == ControlKind::Label && static_cast<Label&>(c).wordWrap();
        const SIZE room = RoomFor(c, window, dpi);
        const CaptionExtent extent = wraps ? MeasureCaption(window, *caption, DT_WORDBREAK, room.cx)
                                           : MeasureCaption(window, *caption, 0, 0);
        const SIZE text = Span(extent);
        // The system's buttons draw a disabled caption through a one-bit mask exactly as large
        // as its layout, so ink past the layout is lost there however wide the control is.
        const bool masked = !IsWindowEnabled(window) && c.kind() != ControlKind::Label &&
                            c.kind() != ControlKind::Frame;
        const RECT& mono = extent.monoInk;
        const bool cut = masked && (mono.left < 0 || mono.top < 0 || mono.right > extent.layout.cx ||
                                    mono.bottom > extent.layout.cy);
        // A face the system lacks comes out in another, of other widths, and measuring that
        // one would say nothing of the face asked for.
        const auto* own = c.kind() == ControlKind::Label ? &static_cast<Label&>(c).font() : nullptr;
        if (const std::string face = FaceOf(window);
            own && *own && lstrcmpiA(face.c_str(), (*own)->name.c_str()) != 0)
            out.push_back(c.name() + ": in " + face + " for " + (*own)->name);
        if (text.cx > room.cx || text.cy > room.cy || cut)
            out.push_back(c.name() + (c.index() >= 0 ? "(" + std::to_string(c.index()) + ")" : "") +
                          ": \"" + *caption + "\" " + std::to_string(text.cx) + "x" +
                          std::to_string(text.cy) + " in " + std::to_string(room.cx) + "x" +
                          std::to_string(room.cy) + (IsWindowEnabled(window) ? "" : " disabled") +
                          (cut ? " cut by its mask" : ""));
    });
    return check;
}

// The form's captions in both states: what the program shows before it has anything to edit,
// and once everything is enabled. `minimum` is how many captions the form shows in windows of
// their own: a control left without one would otherwise drop out of the measuring unseen.
void ExpectCaptionsFit(Win32Host& host, Form& form, int minimum) {
    if (!host.loaded(form)) {
        ASSERT_TRUE(host.realize(form).ok());
    }
    for (bool enabled : {true, false}) {
        ForEachControl(form, [&](Control& c) { c.setEnabled(enabled); });
        const CaptionCheck check = CheckCaptions(host, form);
        EXPECT_GE(check.measured, minimum) << form.name() << ": captions measured in windows, of " << check.captioned;
        EXPECT_EQ(check.misfits, std::vector<std::string>{})
            << form.name() << (enabled ? " enabled" : " disabled");
    }
    // A menu bar wider than the window breaks onto a second row and hides the client area's top.
    if (HWND window = reinterpret_cast<HWND>(host.windowHandle(form)); window && GetMenu(window)) {
        MENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        ASSERT_TRUE(GetMenuBarInfo(window, OBJID_MENU, 0, &bar));
        EXPECT_LE(bar.rcBar.bottom - bar.rcBar.top, GetSystemMetrics(SM_CYMENU) + 1) << form.name();
    }
}

// Each program's windows made as the program makes them, on doubles of its services.
struct SkinMakerWindows {
    explicit SkinMakerWindows(Win32Host& host, MemoryRegistry& registry)
        : env{host, registry, shell, files, [this] { return std::make_unique<cNewDialog>(dialogs, dialogs); },
              "C:\\App", Picture()} {}
    tess::testing::ScriptedShell shell;
    ScriptedDialogs dialogs;
    tess::testing::MemoryFileSystem files;
    SkinMakerEnv env;
    IeMain main{env};
    FrmCollection collection{env, main};
    FrmAbout about{env};
    std::vector<CaptionBox> captions() { return WindowCaptions(env, main); }
    std::vector<Form*> forms() { return {&main.form, &collection.form, &about.form}; }
};

struct SetupWindows {
    explicit SetupWindows(Win32Host& host, MemoryRegistry& registry)
        : env{host, registry, system, files, cabinet, links, folders, hasher, {}, "C:\\Setup", "",
              Picture(), Picture()} {
        files.addDrive('c', "system");
    }
    tess::testing::FakeSystem system;
    tess::testing::MemoryFileSystem files;
    tess::testing::FakeCabinet cabinet{files};
    tess::testing::FakeLinks links;
    tess::testing::FakeProgramFolders folders{files};
    tess::testing::FakeHasher hasher;
    installer::SetupEnv env;
    installer::FrmMain wizard{env};
    installer::FrmPath chooser{env, wizard};
    std::vector<CaptionBox> captions() { return installer::WindowCaptions(env, wizard); }
    std::vector<Form*> forms() { return {&wizard.form, &chooser.form}; }
};

struct UninstallerWindows {
    explicit UninstallerWindows(Win32Host& host, MemoryRegistry& registry)
        : env{host, registry, files, "C:\\App", [](int) { return std::string(); }, {},
              "C:\\App\\remover.exe"} {}
    tess::testing::MemoryFileSystem files;
    uninstaller::UninstallEnv env;
    uninstaller::Uninstall window{env};
    std::vector<CaptionBox> captions() { return CaptionBoxes(window.form); }
    std::vector<Form*> forms() { return {&window.form}; }
};

// The captions of the form that do not fit, enabled and disabled.
std::vector<std::string> MisfitsIn(const Win32Host& host, Form& form) {
    std::vector<std::string> misfits;
    for (bool enabled : {true, false}) {
        ForEachControl(form, [&](Control& c) { c.setEnabled(enabled); });
        for (std::string& misfit : CheckCaptions(host, form).misfits)
            misfits.push_back(form.name() + "." + misfit + (enabled ? "" : " (disabled)"));
    }
    return misfits;
}

// Gives every window of the form, but labels in a font of their own, another dialog font, with
// the form's autosized labels measured in it, as the host gives a form the font it chose.
void UseDialogFont(Win32Host& host, Form& form, const DialogFontChoice& choice, HFONT font) {
    form.setTextMeasure(std::make_shared<const Win32TextMeasure>(host.screenOf(form), choice));
    if (HWND window = reinterpret_cast<HWND>(host.windowHandle(form)))
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ForEachControl(form, [&](Control& c) {
        const bool own = c.kind() == ControlKind::Label && static_cast<Label&>(c).font();
        if (HWND window = host.controlWindow(form, c); window && !own)
            SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    });
}

// The program's font, chosen at the screen's DPI for its captions: every caption fits it, and
// the candidate one step larger leaves some caption of some window without room. The forms are
// unloaded after.
template <typename Windows>
void ExpectTheLargestThatFits(const char* program) {
    SCOPED_TRACE(program);
    Win32Host host{program};
    MemoryRegistry registry;
    Windows windows(host, registry);
    host.setCaptions(windows.captions());
    const ScreenMeasure& screen = host.screen();
    const DialogFontChoice chosen = host.fontsAt(screen.dpiY).choice;
    std::cout << program << " at " << screen.dpiY << " DPI: " << chosen.face << ", "
              << chosen.heightPx << " pixels" << (chosen.raster ? " (raster)" : "") << "\n";
    for (Form* form : windows.forms()) {
        ASSERT_TRUE(host.realize(*form).ok());
        EXPECT_EQ(MisfitsIn(host, *form), std::vector<std::string>{});
    }
    const std::vector<DialogFontChoice> candidates = DialogFontCandidates(screen);
    const auto at = std::find(candidates.begin(), candidates.end(), chosen);
    ASSERT_NE(at, candidates.end());
    if (at != candidates.begin()) {
        const DialogFontChoice& larger = *(at - 1);
        const UniqueFont font = CreateDialogFont(larger);
        std::vector<std::string> misfits;
        for (Form* form : windows.forms()) {
            UseDialogFont(host, *form, larger, font.get());
            for (std::string& misfit : MisfitsIn(host, *form)) misfits.push_back(std::move(misfit));
        }
        ASSERT_FALSE(misfits.empty()) << larger.face << " at " << larger.heightPx << " pixels fits too";
        std::cout << "  one step larger, " << larger.heightPx << " pixels, leaves " << misfits.size()
                  << " without room, as " << misfits.front() << "\n";
        for (Form* form : windows.forms()) host.unload(*form);
        return;
    }
    // Nothing is larger than 8 points at this DPI.
    EXPECT_EQ(chosen.heightPx, MulDiv(8, screen.dpiY, 72));
    for (Form* form : windows.forms()) host.unload(*form);
}

class CaptionFit : public ::testing::Test {
protected:
    void SetUp() override {
        // The runs that set the DPI through the registry name it, so that a setting the system
        // did not take cannot pass as a run at 96 DPI.
        if (const char* expected = std::getenv("TESS_EXPECTED_DPI")) {
            ASSERT_EQ(host.screen().dpiX, std::atoi(expected));
            ASSERT_EQ(host.screen().dpiY, std::atoi(expected));
        }
    }

    Win32Host host{"Caption Test"};
    MemoryRegistry registry;
};

TEST_F(CaptionFit, TheSkinMakersWindows) {
    SkinMakerWindows windows(host, registry);
    host.setCaptions(windows.captions());
    ExpectCaptionsFit(host, windows.main.form, 25);
    ExpectCaptionsFit(host, windows.collection.form, 4);
    ExpectCaptionsFit(host, windows.about.form, 5);
    for (Form* form : windows.forms()) host.unload(*form);
}

TEST_F(CaptionFit, TheSetupWizardOnEachPageAndItsChooser) {
    SetupWindows windows(host, registry);
    installer::FrmMain& wizard = windows.wizard;
    host.setCaptions(windows.captions());
    wizard.Form_Load();
    // The installing page runs the installation; the others are shown as the buttons reach them.
    // Each page shows its own captions: the page number and how many it shows.
    for (auto [page, captions] : {std::pair<int16_t, int>{1, 5}, {2, 7}, {3, 6}, {5, 5}}) {
        wizard.WizardPage = page;
        wizard.UpdateInfo();
        SCOPED_TRACE("page " + std::to_string(page));
        ExpectCaptionsFit(host, wizard.form, captions);
    }
    ExpectCaptionsFit(host, windows.chooser.form, 6);
    for (Form* form : windows.forms()) host.unload(*form);
}

TEST_F(CaptionFit, TheUninstallersWindow) {
    UninstallerWindows windows(host, registry);
    host.setCaptions(windows.captions());
    ExpectCaptionsFit(host, windows.window.form, 4);
    host.unload(windows.window.form);
}

TEST_F(CaptionFit, EachProgramsFontIsTheLargestThatFitsItsCaptions) {
    ExpectTheLargestThatFits<SkinMakerWindows>("Tessary");
    ExpectTheLargestThatFits<SetupWindows>("orvinst");
    ExpectTheLargestThatFits<UninstallerWindows>("remover");
}

// The main window told that its DPI changed, to 144 and then to 120, as a move to another
// monitor tells it: the window takes the rectangle suggested, the font chosen for that DPI and
// its controls' twips at that DPI, and its captions fit there.
TEST_F(CaptionFit, TheMainWindowLaysItselfOutAgainWhenItsDpiChanges) {
    SkinMakerWindows windows(host, registry);
    host.setCaptions(windows.captions());
    Form& form = windows.main.form;
    ASSERT_TRUE(host.realize(form).ok());
    const HWND window = reinterpret_cast<HWND>(host.windowHandle(form));
    for (const int dpi : {144, 120}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        RECT before{};
        GetWindowRect(window, &before);
        const int from = host.screenOf(form).dpiY;
        RECT suggested{before.left + 7, before.top + 5, 0, 0};
        suggested.right = suggested.left + MulDiv(before.right - before.left, dpi, from);
        suggested.bottom = suggested.top + MulDiv(before.bottom - before.top, dpi, from);
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

        const ScreenMeasure& screen = host.screenOf(form);
        ASSERT_EQ(screen.dpiY, dpi);
        RECT outer{}, client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        EXPECT_EQ(outer.left, suggested.left);
        EXPECT_EQ(outer.top, suggested.top);
        EXPECT_EQ(client.right, screen.pixelsX(form.rect().width));
        EXPECT_EQ(client.bottom, screen.pixelsY(form.rect().height));
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)),
                  host.fontsAt(dpi).font.get());
        // Controls on the form and in frames are placed in twips; a picture box's children in
        // its picture's scale, and a drive list's window is as tall as its list dropped down.
        int placed = 0;
        ForEachControl(form, [&](Control& c) {
            const HWND own = host.controlWindow(form, c);
            const Control* parent = c.parent();
            if (!own || c.kind() == ControlKind::DriveListBox || !parent ||
                (parent->kind() != ControlKind::Form && parent->kind() != ControlKind::Frame))
                return;
            RECT at{};
            GetWindowRect(own, &at);
            MapWindowPoints(HWND_DESKTOP, GetParent(own), reinterpret_cast<POINT*>(&at), 2);
            const RECT want = TwipsToPixels(screen, c.rect());
            EXPECT_TRUE(EqualRect(&at, &want)) << c.name() << " at " << at.left << "," << at.top << " "
                                               << at.right - at.left << "x" << at.bottom - at.top;
            ++placed;
        });
        EXPECT_GE(placed, 25);
        ExpectCaptionsFit(host, form, 25);
    }
    for (Form* each : windows.forms()) host.unload(*each);
}

} // namespace

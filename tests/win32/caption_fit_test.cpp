// Every caption of the three programs' real windows at the screen's DPI, measured in the font
// its window uses against its client box, enabled and disabled; the menu bars on one row.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "installer/frm_main.h"
#include "installer/frm_path.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/frm_about.h"
#include "skinmaker/frm_collection.h"
#include "skinmaker/ie_main.h"
#include "tests/support/fake_install_services.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_registry.h"
#include "tests/support/scripted_shell.h"
#include "ui/headless/scripted_dialogs.h"
#include "ui/win32/win32_handles.h"
#include "ui/win32/win32_host.h"
#include "uninstaller/frm_uninstall.h"

using namespace tess;
using namespace tess::ui;
using namespace tess::ui::win32;

namespace {

// The caption of a control that shows one, or null.
const std::string* CaptionOf(const Control& c) {
    switch (c.kind()) {
    case ControlKind::Label: return &static_cast<const Label&>(c).caption();
    case ControlKind::Frame: return &static_cast<const Frame&>(c).caption();
    case ControlKind::CommandButton: return &static_cast<const CommandButton&>(c).caption();
    case ControlKind::CheckBox: return &static_cast<const CheckBox&>(c).caption();
    case ControlKind::OptionButton: return &static_cast<const OptionButton&>(c).caption();
    default: return nullptr;
    }
}

void ForEachControl(const Container& container, const std::function<void(Control&)>& visit) {
    for (Control* child : container.children()) {
        visit(*child);
        if (child->kind() == ControlKind::Frame || child->kind() == ControlKind::PictureBox)
            ForEachControl(static_cast<const Container&>(*child), visit);
    }
}

// What a caption takes in the font its window was given, laid out as the control lays it out.
SIZE TextExtent(HWND window, const std::string& text, UINT format, int wrapWidth) {
    WindowDc dc(window);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    SelectedObject selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    RECT box{0, 0, wrapWidth, 0};
    DrawTextA(dc.get(), text.c_str(), -1, &box, format | DT_CALCRECT | DT_EXPANDTABS);
    SIZE extent{box.right - box.left, box.bottom - box.top};
    // A scalable face's first and last letters may reach beyond their advance widths, and a
    // caption that fits by its advances alone still loses their edge.
    ABC first{}, last{};
    if (!(format & DT_WORDBREAK) && !text.empty() && GetCharABCWidthsA(dc.get(), static_cast<unsigned char>(text.front()),
                                           static_cast<unsigned char>(text.front()), &first) &&
        GetCharABCWidthsA(dc.get(), static_cast<unsigned char>(text.back()),
                          static_cast<unsigned char>(text.back()), &last))
        extent.cx += std::max(0, -first.abcA) + std::max(0, -last.abcC);
    return extent;
}

// The part of the client box the control leaves to its caption.
SIZE RoomFor(const Control& c, HWND window, int dpi) {
    RECT client{};
    GetClientRect(window, &client);
    SIZE room{client.right, client.bottom};
    switch (c.kind()) {
    case ControlKind::CommandButton:
        // The raised edge and the focus rectangle inside it.
        room.cx -= 2 * MulDiv(3, dpi, 96);
        room.cy -= 2 * MulDiv(3, dpi, 96);
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        // The mark, 13 pixels at 96 DPI, and the gap of half a digit's width after it.
        room.cx -= MulDiv(13, dpi, 96) + TextExtent(window, "0", DT_SINGLELINE, 0).cx / 2;
        break;
    case ControlKind::Frame:
        // The caption starts at a margin from the etched edge and keeps one at its end.
        room.cx -= 2 * MulDiv(6, dpi, 96);
        break;
    default:
        break;
    }
    return room;
}

// Every caption of the form that does not fit, as "name: text (w x h in w x h)".
std::vector<std::string> Misfits(const Win32Host& host, const Form& form) {
    std::vector<std::string> out;
    const int dpi = host.screen().dpiY;
    ForEachControl(form, [&](Control& c) {
        const std::string* caption = CaptionOf(c);
        HWND window = host.controlWindow(form, c);
        if (!caption || caption->empty() || !window) return;
        const bool wraps = c.kind() == ControlKind::Label && static_cast<Label&>(c).wordWrap();
        const SIZE room = RoomFor(c, window, dpi);
        const SIZE text = wraps ? TextExtent(window, *caption, DT_WORDBREAK, room.cx)
                                : TextExtent(window, *caption, 0, 0);
        if (text.cx > room.cx || text.cy > room.cy)
            out.push_back(c.name() + (c.index() >= 0 ? "(" + std::to_string(c.index()) + ")" : "") +
                          ": \"" + *caption + "\" " + std::to_string(text.cx) + "x" +
                          std::to_string(text.cy) + " in " + std::to_string(room.cx) + "x" +
                          std::to_string(room.cy) + (IsWindowEnabled(window) ? "" : " disabled"));
    });
    return out;
}

// The form's captions in both states: what the program shows before it has anything to edit,
// and once everything is enabled.
void ExpectCaptionsFit(Win32Host& host, Form& form) {
    if (!host.loaded(form)) {
        ASSERT_TRUE(host.realize(form).ok());
    }
    for (bool enabled : {true, false}) {
        ForEachControl(form, [&](Control& c) { c.setEnabled(enabled); });
        EXPECT_EQ(Misfits(host, form), std::vector<std::string>{})
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
    tess::testing::ScriptedShell shell;
    ScriptedDialogs dialogs;
    tess::testing::MemoryFileSystem files;
    SkinMakerEnv env{host, registry, shell, files,
                     [&] { return std::make_unique<cNewDialog>(dialogs, dialogs); }, "C:\\App",
                     Picture()};
    IeMain main(env);
    ExpectCaptionsFit(host, main.form);
    FrmCollection collection(env, main);
    ExpectCaptionsFit(host, collection.form);
    FrmAbout about(env);
    ExpectCaptionsFit(host, about.form);
}

TEST_F(CaptionFit, TheSetupWizardOnEachPageAndItsChooser) {
    tess::testing::FakeSystem system;
    tess::testing::MemoryFileSystem files;
    tess::testing::FakeCabinet cabinet{files};
    tess::testing::FakeLinks links;
    files.addDrive('c', "system");
    installer::SetupEnv env{host, registry, system, files, cabinet, links, "C:\\Setup", "",
                            Picture(), Picture()};
    installer::FrmMain wizard(env);
    wizard.Form_Load();
    // The installing page runs the installation; the others are shown as the buttons reach them.
    for (int16_t page : {1, 2, 3, 5}) {
        wizard.WizardPage = page;
        wizard.UpdateInfo();
        SCOPED_TRACE("page " + std::to_string(page));
        ExpectCaptionsFit(host, wizard.form);
    }
    installer::FrmPath chooser(env, wizard);
    ExpectCaptionsFit(host, chooser.form);
}

TEST_F(CaptionFit, TheUninstallersWindow) {
    tess::testing::MemoryFileSystem files;
    uninstaller::UninstallEnv env{host, registry, files, "C:\\App", [] { return std::string(); },
                                  Picture(), "C:\\App\\remover.exe"};
    uninstaller::Uninstall window(env);
    ExpectCaptionsFit(host, window.form);
}

} // namespace

// The controls of a painted, borderless window and of a folder chooser on real windows: the
// form's drawing and picture read back, transparent labels over the artwork, released keys
// with Alt, mouse presses and moves with capture, stacking, placement, and the folder and
// drive lists over the system's drives.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/picture.h"
#include "platform/file_system.h"
#include "platform/win32/handles.h"
#include "ui/controls.h"
#include "ui/file_system_folders.h"
#include "ui/win32/win32_bitmaps.h"
#include "ui/win32/win32_host.h"

using namespace tess;
using namespace tess::ui;
using namespace tess::ui::win32;
using namespace tess::platform::win32;

namespace {

constexpr Rgb kArtwork{200, 180, 40};
constexpr Rgb kPatch{0, 0, 120};

std::shared_ptr<const Picture> SolidPicture(int w, int h, Rgb c) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = c.r;
        rgba[i + 1] = c.g;
        rgba[i + 2] = c.b;
        rgba[i + 3] = 255;
    }
    return std::make_shared<const Picture>(Picture::FromRgba(w, h, rgba.data()).value());
}

uint32_t Packed(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }
uint32_t Packed(ColorRef c) { return Packed(Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}); }

// What a window paints into its client area, read back as 0x00RRGGBB pixels.
struct Painted {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int count(uint32_t colour) const {
        int n = 0;
        for (uint32_t p : pixels) n += p == colour;
        return n;
    }
};

Painted PrintClient(HWND window) {
    Painted out;
    RECT client{};
    GetClientRect(window, &client);
    out.width = client.right;
    out.height = client.bottom;
    auto pixels = PaintedPixels(out.width, out.height, [&](HDC dc) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        return true;
    });
    if (pixels) out.pixels = std::move(*pixels);
    return out;
}

void PumpPending(Win32Host& host) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) host.dispatch(message);
}

struct MouseEvent {
    int button, shift;
    double x, y;
    bool operator==(const MouseEvent&) const = default;
};

// The wizard's shape: a borderless window covered by its artwork, a button area with a caption
// over it, a transparent page text and an opaque label.
class WizardWindowTest : public ::testing::Test {
protected:
    WizardWindowTest()
        : host("Wizard Test"),
          form("frmMain", {0, 0, 5325, 3510}, "Halvory Installation", Form::Border::None),
          area(&form, "Image1", {1860, 2580, 1035, 525}, true, 1),
          caption(&form, "Label2", {1890, 2700, 945, 375}, "&Prev", Label::Align::Center, 1),
          about(&form, "About", {540, 720, 4245, 1500}, "WWWW WWWW", Label::Align::Center),
          opaque(&form, "Label9", {300, 300, 600, 255}, "x") {
        form.setPicture(SolidPicture(355, 234, kArtwork));
        for (Label* l : {&caption, &about}) {
            l->setBackStyle(Label::BackStyle::Transparent);
            l->setFont({"Arial", 12, true});
        }
        about.setForeColor(MakeColorRef(0, 255, 255));
        form.onKeyUp = [this](int code, int shift) { keys.emplace_back(code, shift); };
        form.onMouseDown = [this](int b, int s, double x, double y) { downs.push_back({b, s, x, y}); };
        form.onMouseMove = [this](int b, int s, double x, double y) { moves.push_back({b, s, x, y}); };
    }

    void SetUp() override {
        ASSERT_TRUE(host.realize(form).ok());
        ASSERT_TRUE(host.show(form, false).ok());
        top = reinterpret_cast<HWND>(host.windowHandle(form));
        ASSERT_NE(top, nullptr);
        PumpPending(host);
    }
    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
    }

    HWND window(const Control& c) const { return host.controlWindow(form, c); }
    int px(double twips) const { return host.screen().pixelsX(twips); }
    int py(double twips) const { return host.screen().pixelsY(twips); }
    bool at96Dpi() const { return host.screen().dpiX == 96 && host.screen().dpiY == 96; }

    Win32Host host;
    Form form;
    ImageBox area;
    Label caption, about, opaque;
    HWND top = nullptr;
    std::vector<std::pair<int, int>> keys;
    std::vector<MouseEvent> downs, moves;
};

TEST_F(WizardWindowTest, BorderlessWindowKeepsItsTaskBarButtonAndCaption) {
    char title[128] = {};
    GetWindowTextA(top, title, sizeof title);
    EXPECT_STREQ(title, "Halvory Installation");
    const LONG style = GetWindowLongA(top, GWL_STYLE), ex = GetWindowLongA(top, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(ex & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(ex & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(GetWindow(top, GW_OWNER), nullptr);
    // No frame: the outer rectangle is the inner one.
    EXPECT_EQ(form.outerRect().width, form.rect().width);
}

TEST_F(WizardWindowTest, DrawingIsPaintedOverThePictureAndClearedByCls) {
    if (!at96Dpi()) GTEST_SKIP() << "the picture is pixel for pixel only at 96 DPI";
    form.setForeColor(MakeColorRef(0, 0, 64));
    form.setDrawWidth(30);
    form.line(4000, 1800, 4600, 1800);
    form.setDrawWidth(1);
    form.setForeColor(MakeColorRef(96, 96, 96));
    form.setFillColor(MakeColorRef(0, 255, 0));
    form.setFillStyle(Form::FillStyle::Solid);
    form.circle(4895, 3074, 318);
    form.setFontName("Arial");
    form.setFontBold(true);
    form.setFontSize(20);
    form.setForeColor(MakeColorRef(255, 0, 0));
    form.setCurrentX(1350);
    form.setCurrentY(150);
    form.print("Tessary 1.0");

    Painted shown = PrintClient(top);
    ASSERT_EQ(shown.width, 355);
    ASSERT_EQ(shown.height, 234);
    EXPECT_EQ(shown.at(5, 5), Packed(kArtwork));
    EXPECT_EQ(shown.at(290, 120), Packed(MakeColorRef(0, 0, 64)));      // on the bar
    EXPECT_EQ(shown.at(290, 120 + 14), Packed(MakeColorRef(0, 0, 64)));  // 30 pixels thick
    EXPECT_EQ(shown.at(290, 120 + 17), Packed(kArtwork));
    EXPECT_EQ(shown.at(326, 205), Packed(MakeColorRef(0, 255, 0)));      // the circle's centre
    EXPECT_EQ(shown.at(326, 205 - 21), Packed(MakeColorRef(96, 96, 96)));  // its outline
    // The printed text's pixels lie right of and below the current position.
    int red = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            if (shown.at(x, y) == 0xFF0000) {
                ++red;
                EXPECT_GE(x, 90);
                EXPECT_GE(y, 10);
            }
    EXPECT_GT(red, 50);

    form.cls();
    shown = PrintClient(top);
    EXPECT_EQ(shown.at(290, 120), Packed(kArtwork));
    EXPECT_EQ(shown.at(326, 205), Packed(kArtwork));
    EXPECT_EQ(shown.count(0xFF0000), 0);
}

TEST_F(WizardWindowTest, TransparentLabelsShowTheArtworkAndTheCoveringPictureBeneath) {
    if (!at96Dpi()) GTEST_SKIP() << "the picture is pixel for pixel only at 96 DPI";
    form.setForeColor(MakeColorRef(0, 0, 64));
    form.setDrawWidth(10);
    form.line(540, 720 + 150, 4785, 720 + 150);  // a bar across the page text's top

    Painted text = PrintClient(window(about));
    EXPECT_EQ(text.at(0, 0), Packed(kArtwork));
    EXPECT_EQ(text.at(text.width - 1, text.height - 1), Packed(kArtwork));
    EXPECT_EQ(text.at(2, 10), Packed(MakeColorRef(0, 0, 64)));  // the drawing shows through
    EXPECT_GT(text.count(0x00FFFF), 20);                        // the caption in its colour

    // The empty button area shows the artwork; covered, it shows the patch, and so does the
    // caption above it.
    EXPECT_EQ(PrintClient(window(area)).at(1, 1), Packed(kArtwork));
    EXPECT_EQ(PrintClient(window(caption)).at(1, 1), Packed(kArtwork));
    area.setPicture(SolidPicture(8, 8, kPatch), 15);
    EXPECT_EQ(PrintClient(window(area)).at(1, 1), Packed(kPatch));
    EXPECT_EQ(PrintClient(window(caption)).at(1, 1), Packed(kPatch));
    area.setPicture(nullptr, 15);
    EXPECT_EQ(PrintClient(window(caption)).at(1, 1), Packed(kArtwork));

    // An opaque label keeps its own back colour.
    EXPECT_EQ(PrintClient(window(opaque)).at(0, 0),
              Packed(static_cast<ColorRef>(GetSysColor(COLOR_BTNFACE))));
}

TEST_F(WizardWindowTest, ACaptionBeneathATransparentLabelShowsThroughIt) {
    // The page text reaches down over the button caption, as the wizard's does.
    about.setHeight(2265);
    about.setCaption("");
    const Painted over = PrintClient(window(about));
    // The caption's black letters lie in the part of the page text above the button.
    EXPECT_GT(over.count(0x000000), 20);
    caption.setVisible(false);
    EXPECT_EQ(PrintClient(window(about)).count(0x000000), 0);
}

TEST_F(WizardWindowTest, LabelsAndImageBoxesStackInTheModelsOrder) {
    // Created after the area, the caption lies above it.
    auto above = [](HWND a, HWND b) {
        for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == a) return true;
        return false;
    };
    EXPECT_TRUE(above(window(caption), window(area)));
    caption.sendToBack();
    EXPECT_TRUE(above(window(area), window(caption)));
    caption.bringToFront();
    EXPECT_TRUE(above(window(caption), window(area)));
    area.bringToFront();
    EXPECT_TRUE(above(window(area), window(caption)));
}

TEST_F(WizardWindowTest, ReleasedKeysReachTheFormWithAltAsShift4) {
    PostMessageA(top, WM_KEYUP, VK_RETURN, 0xC0000001);
    PostMessageA(top, WM_SYSKEYUP, 'E', 0xE0000001);  // bit 29: Alt is down
    PumpPending(host);
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{VK_RETURN, 0}, {'E', 4}}));

    // Typed for real: Alt+N, then N alone, which the system menu must not have taken.
    keys.clear();
    SetForegroundWindow(top);
    SetFocus(top);
    PumpPending(host);
    auto key = [](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return in;
    };
    INPUT typed[] = {key(VK_MENU, false), key('N', false), key('N', true), key(VK_MENU, true),
                     key('N', false), key('N', true)};
    ASSERT_EQ(SendInput(6, typed, sizeof(INPUT)), 6u);
    // Until both releases of N have come through the queue, waking whenever input arrives.
    std::vector<std::pair<int, int>> letters;
    for (const DWORD start = GetTickCount(); letters.size() < 2 && GetTickCount() - start < 5000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpPending(host);
        letters.clear();
        for (auto k : keys)
            if (k.first == 'N') letters.push_back(k);
    }
    EXPECT_EQ(letters, (std::vector<std::pair<int, int>>{{'N', 4}, {'N', 0}}));

    form.setEnabled(false);
    keys.clear();
    PostMessageA(top, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    PumpPending(host);
    EXPECT_TRUE(keys.empty());
}

TEST_F(WizardWindowTest, MousePressesAndMovesInTwipsWithCaptureWhileDown) {
    const double tx = host.screen().twipsPerPixelX(), ty = host.screen().twipsPerPixelY();
    SendMessageA(top, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    EXPECT_EQ(GetCapture(), top);
    SendMessageA(top, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_SHIFT,
                 MAKELPARAM(static_cast<WORD>(-5), 400));  // left the window, still dragged
    SendMessageA(top, WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(top, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(3, 4));
    SendMessageA(top, WM_RBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(downs, (std::vector<MouseEvent>{{1, 0, 10 * tx, 20 * ty}, {2, 2, 3 * tx, 4 * ty}}));
    EXPECT_EQ(moves, (std::vector<MouseEvent>{{3, 1, -5 * tx, 400 * ty}}));

    // The page text reports in its own twips and holds the mouse likewise.
    std::vector<MouseEvent> labelDowns, labelMoves;
    about.onMouseDown = [&](int b, int s, double x, double y) { labelDowns.push_back({b, s, x, y}); };
    about.onMouseMove = [&](int b, int s, double x, double y) { labelMoves.push_back({b, s, x, y}); };
    SendMessageA(window(about), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 8));
    EXPECT_EQ(GetCapture(), window(about));
    SendMessageA(window(about), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(9, static_cast<WORD>(-3)));
    SendMessageA(window(about), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(labelDowns, (std::vector<MouseEvent>{{1, 0, 7 * tx, 8 * ty}}));
    EXPECT_EQ(labelMoves, (std::vector<MouseEvent>{{1, 0, 9 * tx, -3 * ty}}));
}

TEST_F(WizardWindowTest, PlacementTopMostAndTheModelFollowingTheWindow) {
    form.setTopMost(true);
    EXPECT_NE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    form.move(1500, 3000);
    RECT outer{};
    GetWindowRect(top, &outer);
    EXPECT_EQ(outer.left, px(1500));
    EXPECT_EQ(outer.top, py(3000));
    EXPECT_EQ(outer.right - outer.left, px(5325));
    form.setTopMost(false);
    EXPECT_EQ(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // Moved by the system, the model reads the window's place.
    SetWindowPos(top, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(form.outerRect().left, 40 * host.screen().twipsPerPixelX());
    EXPECT_EQ(form.outerRect().top, 50 * host.screen().twipsPerPixelY());

    EXPECT_EQ(host.screenWidthTwips(), GetSystemMetrics(SM_CXSCREEN) * host.screen().twipsPerPixelX());
    EXPECT_GT(host.screenHeightTwips(), 0);
}

TEST(Win32FormFrame, FramedFormReportsItsOuterSize) {
    Win32Host host("Frame Test");
    Form dialog("frmPath", {0, 0, 3930, 4605}, "Change Directory", Form::Border::FixedDialog);
    Label prompt(&dialog, "lblPrompt", {210, 120, 3525, 195}, "Select installation directory");
    Label path(&dialog, "lblPath", {210, 420, 330, 195}, "Path");
    prompt.setWordWrap(true);
    prompt.setAutoSize(true);
    path.setAutoSize(true);
    ASSERT_TRUE(host.realize(dialog).ok());
    HWND top = reinterpret_cast<HWND>(host.windowHandle(dialog));
    RECT outer{};
    GetWindowRect(top, &outer);
    const ScreenMeasure& s = host.screen();
    EXPECT_EQ(dialog.outerRect().width, (outer.right - outer.left) * s.twipsPerPixelX());
    EXPECT_EQ(dialog.outerRect().height, (outer.bottom - outer.top) * s.twipsPerPixelY());
    EXPECT_GT(dialog.outerRect().height, dialog.rect().height);

    // Self-sizing labels take the size of their text in the window's font.
    HWND label = host.controlWindow(dialog, path);
    WindowDc dc(label);
    SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32A(dc.get(), "Path", 4, &text);
    EXPECT_EQ(path.rect().width, text.cx * s.twipsPerPixelX());
    RECT placed{};
    GetClientRect(label, &placed);
    EXPECT_EQ(placed.right, text.cx);
    EXPECT_EQ(prompt.rect().width, 3525);  // wrapped: keeps its width
    EXPECT_GT(prompt.rect().height, 0);
}

// The folder chooser's lists over the system's drives: under Wine, C: and Z:.
class FolderListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        base = std::string(temp) + "tess_dirlist_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(base.c_str(), nullptr);
        CreateDirectoryA((base + "\\beta").c_str(), nullptr);
        CreateDirectoryA((base + "\\Alpha").c_str(), nullptr);
        CreateDirectoryA((base + "\\Alpha\\inner").c_str(), nullptr);
        CloseHandle(CreateFileA((base + "\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    }
    void TearDown() override {
        DeleteFileA((base + "\\file.txt").c_str());
        RemoveDirectoryA((base + "\\Alpha\\inner").c_str());
        RemoveDirectoryA((base + "\\Alpha").c_str());
        RemoveDirectoryA((base + "\\beta").c_str());
        RemoveDirectoryA(base.c_str());
    }
    std::string base;
    platform::FileSystem& folders = platform::SystemFileSystem();
    FileSystemFolders listed{folders, folders};
};

TEST_F(FolderListsTest, SystemDrivesAndFolders) {
    std::string letters;
    for (const platform::DriveInfo& d : folders.List()) letters += d.letter;
    EXPECT_NE(letters.find('c'), std::string::npos);
    EXPECT_NE(letters.find('z'), std::string::npos);
    auto names = folders.ListFolders(base);
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(names.value(), (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_FALSE(folders.ListFolders(base + "\\missing").ok());
    EXPECT_FALSE(folders.ListFolders(base + "\\file.txt").ok());
    auto current = folders.CurrentFolder('c');
    ASSERT_TRUE(current.ok());
    EXPECT_EQ(current.value().substr(0, 3), "C:\\");
}

TEST_F(FolderListsTest, ListsShowTheModelAndPassTheUsersPicksOn) {
    Win32Host host("Folder Test");
    Form dialog("frmPath", {0, 0, 3930, 4605}, "Change Directory", Form::Border::FixedDialog);
    DirListBox dirs(&dialog, "dirDirs", {210, 1320, 3510, 1890}, listed);
    DriveListBox drives(&dialog, "drvDrives", {216, 3600, 3510, 315}, listed);
    ASSERT_TRUE(dirs.setPath(base));
    int dirChanges = 0, driveChanges = 0;
    dirs.onChange = [&] { ++dirChanges; };
    drives.onChange = [&] { ++driveChanges; };
    ASSERT_TRUE(host.realize(dialog).ok());
    ASSERT_TRUE(host.show(dialog, false).ok());
    HWND frame = reinterpret_cast<HWND>(host.windowHandle(dialog));
    HWND list = host.controlWindow(dialog, dirs);
    HWND combo = host.controlWindow(dialog, drives);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(combo, nullptr);

    const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    ASSERT_EQ(rows, static_cast<int>(dirs.rows().size()));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), dirs.openRow());
    char text[MAX_PATH] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(rows - 2), reinterpret_cast<LPARAM>(text));
    EXPECT_NE(std::string(text).find("Alpha"), std::string::npos);

    // A double click on "Alpha" opens it.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(rows - 2), 0);
    SendMessageA(frame, WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(dirs.path(), base + "\\Alpha");
    EXPECT_EQ(dirChanges, 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(dirs.rows().size()));

    // The drive list: every drive, the model's selection, and the user's pick.
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(drives.entries().size()));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), drives.listIndex());
    // Whichever of C: and Z: is not selected (the program starts on either).
    const char other = drives.drive()[0] == 'z' ? 'c' : 'z';
    int pick = -1;
    for (size_t i = 0; i < drives.entries().size(); ++i)
        if (drives.entries()[i][0] == other) pick = static_cast<int>(i);
    ASSERT_GE(pick, 0);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(pick), 0);
    SendMessageA(frame, WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(drives.drive()[0], other);
    EXPECT_EQ(driveChanges, 1);
    ASSERT_TRUE(drives.setDrive(other == 'z' ? "C:" : "Z:"));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), drives.listIndex());
    EXPECT_EQ(driveChanges, 2);

    // A folder that is not there is refused and the list stays.
    EXPECT_FALSE(dirs.setPath(base + "\\missing").ok());
    EXPECT_EQ(dirs.path(), base + "\\Alpha");
    host.unload(dialog);
}

} // namespace

// The control model's real windows: layout in pixels, the messages a user's actions send and the
// handlers they reach, model changes shown without echo, disabled frames, painted pixels, the
// dialog keys, modal forms, message boxes, the single-instance guard and the application window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/picture.h"
#include "core/surface.h"
#include "platform/file_system.h"
#include "platform/win32/handles.h"
#include "platform/win32/program.h"
#include "ui/controls.h"
#include "ui/file_system_folders.h"
#include "ui/win32/control_tag.h"
#include "ui/win32/win32_bitmaps.h"
#include "ui/win32/win32_host.h"
#include "ui/win32/win32_metrics.h"
#include "ui/win32/application_window.h"

using namespace tess;
using namespace tess::ui;
using namespace tess::ui::win32;
using namespace tess::platform::win32;
using tess::platform::win32::SingleInstanceGuard;

namespace {

constexpr ColorRef kBlue = MakeColorRef(0, 0, 255);

std::shared_ptr<const Picture> RgbaPicture(int w, int h, const std::vector<uint8_t>& rgba) {
    return std::make_shared<const Picture>(Picture::FromRgba(w, h, rgba.data()).value());
}

std::string TextOf(HWND window) {
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

// A control's window found the way an outside driver finds it: by the name it is tagged with.
struct TagSearch {
    std::string name;
    HWND found = nullptr;
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        auto* search = reinterpret_cast<TagSearch*>(self);
        const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, kControlTagProperty)));
        char name[256] = {};
        if (atom && GlobalGetAtomNameA(atom, name, sizeof name) && search->name == name) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
};

HWND FindTagged(HWND root, const std::string& name) {
    TagSearch search{name};
    EnumChildWindows(root, &TagSearch::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A child's rectangle in its parent's client pixels.
RECT PlacedIn(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What a window paints into its client area, read back as 0x00RRGGBB pixels.
std::vector<uint32_t> PrintClient(HWND window, int& width, int& height) {
    RECT client{};
    GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    auto pixels = PaintedPixels(width, height, [&](HDC dc) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        return true;
    });
    return pixels ? std::move(*pixels) : std::vector<uint32_t>{};
}

uint32_t Packed(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

void PumpPending(Win32Host& host) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) host.dispatch(message);
}

// Answers the first message box that comes up with No, noting its owner and caption.
struct Answerer {
    static inline HWND owner = nullptr;
    static inline std::string caption;
    static void CALLBACK Answer(HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowA("#32770", nullptr);
        if (!box) return;
        KillTimer(nullptr, id);
        owner = GetWindow(box, GW_OWNER);
        caption = TextOf(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    }
};

// A form with one of every control kind, its handlers counting their runs.
class BindingTest : public ::testing::Test {
protected:
    BindingTest()
        : host("Binding Test"),
          form("frmTest", {0, 0, 6000, 4500}, "Binding", Form::Border::FixedSingle),
          frame(&form, "Frame1", {150, 150, 2400, 3000}, "Move"),
          bar(&frame, "SclHorizonal", {270, 540, 285, 1935}, -100, 100, 1, 5, 0),
          text(&frame, "txtHorizonal", {900, 300, 1200, 285}),
          check(&frame, "Check1", {900, 700, 1200, 255}, "&Lock", 1),
          option0(&frame, "Option1", {900, 1100, 1200, 255}, "&Tile", 0),
          option1(&frame, "Option1", {900, 1400, 1200, 255}, "&Single", 1),
          apply(&frame, "Command4", {900, 2000, 1035, 375}, "&Apply"),
          caption(&frame, "Label3", {150, 2100, 1200, 255}, "Bac&kground"),
          picture(&form, "Picture1", {3000, 150, 1500, 1500}, kBlue),
          image(&picture, "Image1", {0, 0, 750, 750}, true),
          closeButton(&form, "Command3", {3000, 3840, 1065, 375}, "&Close"),
          fileMenu("file", "&File"), newItem("mNew", "&New"), separator("mSep", "-"),
          viewItem("mViewColl", "&View Collection") {
        option0.setValue(true);
        apply.setDefault(true);
        apply.setTabIndex(1);  // created after the label that overlaps it
        closeButton.setCancel(true);
        fileMenu.add(newItem);
        fileMenu.add(separator);
        fileMenu.add(viewItem);
        form.addMenu(fileMenu);
        picture.setSurface(Surface(100, 100));
        (void)picture.setBackColor(kBlue);

        bar.onChange = [this] { ++barChanges; };
        bar.onScroll = [this] { ++barScrolls; };
        text.onChange = [this] { ++textChanges; };
        check.onClick = [this] { ++checkClicks; };
        option0.onClick = [this] { ++option0Clicks; };
        option1.onClick = [this] { ++option1Clicks; };
        apply.onClick = [this] { ++applyClicks; };
        closeButton.onClick = [this] { ++closeClicks; };
        newItem.onClick = [this] { ++newPicks; };
        form.onUnload = [this] { ++unloads; };
    }

    void SetUp() override {
        ASSERT_TRUE(host.realize(form).ok());
        ASSERT_TRUE(host.show(form, false).ok());
        top = reinterpret_cast<HWND>(host.windowHandle(form));
        ASSERT_NE(top, nullptr);
    }

    HWND window(const std::string& name) const { return FindTagged(top, name); }

    void scroll(int code, int position = 0) {
        SendMessageA(window("Frame1"), WM_VSCROLL, MAKEWPARAM(code, position),
                     reinterpret_cast<LPARAM>(window("SclHorizonal")));
    }

    // The id of the first item of the first menu.
    UINT firstMenuItemId() const { return GetMenuItemID(GetSubMenu(GetMenu(top), 0), 0); }

    Win32Host host;
    Form form;
    Frame frame;
    VScrollBar bar;
    TextBox text;
    CheckBox check;
    OptionButton option0, option1;
    CommandButton apply;
    Label caption;
    PictureBox picture;
    ImageBox image;
    CommandButton closeButton;
    MenuItem fileMenu, newItem, separator, viewItem;
    HWND top = nullptr;
    int barChanges = 0, barScrolls = 0, textChanges = 0, checkClicks = 0, option0Clicks = 0,
        option1Clicks = 0, applyClicks = 0, closeClicks = 0, newPicks = 0, unloads = 0;
};

} // namespace

TEST(TwipsToPixels, RoundsToTheNearestPixelAtEachDpi) {
    EXPECT_EQ(ToPixels(9270, 15), 618);
    EXPECT_EQ(ToPixels(9270, 12), 773);   // 772.5 at 120 DPI
    EXPECT_EQ(ToPixels(9270, 10), 927);   // 144 DPI
    EXPECT_EQ(ToPixels(-15000, 15), -1000);
    EXPECT_EQ(ToPixels(7, 15), 0);
    EXPECT_EQ(ToPixels(8, 15), 1);
}

TEST_F(BindingTest, WindowsTakeTheModelsLayoutInPixels) {
    ASSERT_EQ(host.twipsPerPixelX(), 15.0) << "the test display runs at 96 DPI";
    RECT client{};
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(TextOf(top), "Binding");
    const LONG style = GetWindowLongA(top, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    // Children are placed relative to their container's client area.
    const RECT frameAt = PlacedIn(window("Frame1"));
    const RECT frameWanted{10, 10, 170, 210};
    EXPECT_TRUE(EqualRect(&frameAt, &frameWanted));
    const RECT barAt = PlacedIn(window("SclHorizonal"));
    EXPECT_EQ(GetParent(window("SclHorizonal")), window("Frame1"));
    EXPECT_EQ(barAt.left, 18);
    EXPECT_EQ(barAt.top, 36);
    EXPECT_EQ(barAt.right - barAt.left, 19);
    EXPECT_EQ(barAt.bottom - barAt.top, 129);
    const RECT pictureAt = PlacedIn(window("Picture1"));
    EXPECT_EQ(pictureAt.left, 200);
    EXPECT_EQ(pictureAt.right - pictureAt.left, 100);

    // The standard classes in the kinds the model asks for; every control has its own ID.
    const auto kind = [&](const char* name) { return GetWindowLongA(window(name), GWL_STYLE) & BS_TYPEMASK; };
    EXPECT_EQ(kind("Check1"), BS_CHECKBOX);
    EXPECT_EQ(kind("Option1(0)"), BS_RADIOBUTTON);
    EXPECT_EQ(kind("Command4"), BS_DEFPUSHBUTTON);
    EXPECT_EQ(kind("Command3"), BS_PUSHBUTTON);
    EXPECT_TRUE(GetWindowLongA(window("txtHorizonal"), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    std::vector<int> ids;
    for (const char* name : {"Frame1", "SclHorizonal", "txtHorizonal", "Check1", "Option1(0)",
                             "Option1(1)", "Command4", "Label3", "Picture1", "Command3"}) {
        ASSERT_NE(window(name), nullptr) << name;
        ids.push_back(GetDlgCtrlID(window(name)));
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), IDOK) + std::count(ids.begin(), ids.end(), IDCANCEL), 0);

    // The model's values are shown from the start.
    EXPECT_EQ(SendMessageA(window("Check1"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(window("Option1(0)"), BM_GETCHECK, 0, 0), BST_CHECKED);
    int lo = 0, hi = 0;
    GetScrollRange(window("SclHorizonal"), SB_CTL, &lo, &hi);
    EXPECT_EQ(lo, -100);
    EXPECT_EQ(hi, 100);
    EXPECT_EQ(GetMenuState(GetSubMenu(GetMenu(top), 0), 1, MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));

    // A label that overlaps a button lies beneath it, whatever the creation order.
    bool labelBelowButton = false;
    for (HWND w = GetWindow(window("Command4"), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        labelBelowButton |= w == window("Label3");
    EXPECT_TRUE(labelBelowButton);
    EXPECT_EQ(TextOf(window("Label3")), "Bac&kground");
}

TEST_F(BindingTest, ScrollMessagesReachTheScrollBarsGestures) {
    const HWND barWindow = window("SclHorizonal");
    scroll(SB_LINEDOWN);
    scroll(SB_ENDSCROLL);
    EXPECT_EQ(bar.value(), 1);
    scroll(SB_PAGEDOWN);
    EXPECT_EQ(bar.value(), 6);
    scroll(SB_LINEUP);
    scroll(SB_PAGEUP);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(barChanges, 4);
    EXPECT_EQ(barScrolls, 0);

    // Dragging fires Scroll on every move and Change once at the release.
    scroll(SB_THUMBTRACK, 40);
    scroll(SB_THUMBTRACK, 55);
    EXPECT_EQ(bar.value(), 55);
    EXPECT_EQ(GetScrollPos(barWindow, SB_CTL), 55);
    EXPECT_EQ(barScrolls, 2);
    EXPECT_EQ(barChanges, 4);
    scroll(SB_THUMBPOSITION, 55);
    scroll(SB_ENDSCROLL);
    EXPECT_EQ(barChanges, 5);

    for (int i = 0; i < 50; ++i) scroll(SB_PAGEUP);
    EXPECT_EQ(bar.value(), -100);
    EXPECT_EQ(GetScrollPos(barWindow, SB_CTL), -100);
}

TEST_F(BindingTest, ClicksMenusKeysAndTheCloseBoxReachTheirHandlers) {
    SendMessageA(window("Check1"), BM_CLICK, 0, 0);
    EXPECT_EQ(check.value(), 0);
    EXPECT_EQ(checkClicks, 1);
    EXPECT_EQ(SendMessageA(window("Check1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessageA(window("Option1(1)"), BM_CLICK, 0, 0);
    EXPECT_TRUE(option1.value());
    EXPECT_FALSE(option0.value());
    EXPECT_EQ(option1Clicks, 1);
    EXPECT_EQ(SendMessageA(window("Option1(0)"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(window("Option1(1)"), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(window("Option1(1)"), BM_CLICK, 0, 0);  // already set: no second click
    EXPECT_EQ(option1Clicks, 1);

    SendMessageA(window("Command4"), BM_CLICK, 0, 0);
    EXPECT_EQ(applyClicks, 1);

    SetWindowTextA(window("txtHorizonal"), "typed");
    EXPECT_EQ(text.text(), "typed");
    EXPECT_EQ(textChanges, 1);

    SendMessageA(top, WM_COMMAND, MAKEWPARAM(firstMenuItemId(), 0), 0);
    EXPECT_EQ(newPicks, 1);
    newItem.setEnabled(false);
    EXPECT_TRUE(GetMenuState(GetSubMenu(GetMenu(top), 0), 0, MF_BYPOSITION) & MF_GRAYED);
    SendMessageA(top, WM_COMMAND, MAKEWPARAM(firstMenuItemId(), 0), 0);
    EXPECT_EQ(newPicks, 1);

    // Enter and Esc as the dialog keys report them.
    SendMessageA(top, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    SendMessageA(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(applyClicks, 2);
    EXPECT_EQ(closeClicks, 1);

    SendMessageA(top, WM_CLOSE, 0, 0);
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(IsWindow(top));
}

TEST_F(BindingTest, RealKeysGoThroughTheDialogKeysOfTheForm) {
    SetForegroundWindow(top);
    SetFocus(window("txtHorizonal"));
    PumpPending(host);
    PostMessageA(window("txtHorizonal"), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpPending(host);
    EXPECT_EQ(closeClicks, 1);
    PostMessageA(window("txtHorizonal"), WM_KEYDOWN, VK_RETURN, 0);
    PumpPending(host);
    EXPECT_EQ(applyClicks, 1);
    // Alt+A presses "&Apply" by its mnemonic.
    PostMessageA(window("txtHorizonal"), WM_SYSCHAR, 'a', 1 << 29);
    PumpPending(host);
    EXPECT_EQ(applyClicks, 2);
}

TEST_F(BindingTest, ModelChangesShowWithoutComingBackAsUserChanges) {
    text.setText("42%");
    EXPECT_EQ(TextOf(window("txtHorizonal")), "42%");
    EXPECT_EQ(textChanges, 1);  // the model's own run, not one from EN_CHANGE as well

    bar.setValue(30);
    EXPECT_EQ(GetScrollPos(window("SclHorizonal"), SB_CTL), 30);
    EXPECT_EQ(barChanges, 1);

    check.setValue(0);
    EXPECT_EQ(SendMessageA(window("Check1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(checkClicks, 1);

    option1.setValue(true);
    EXPECT_EQ(SendMessageA(window("Option1(0)"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(window("Option1(1)"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(option0Clicks + option1Clicks, 1);

    apply.setCaption("&Go");
    EXPECT_EQ(TextOf(window("Command4")), "&Go");
    frame.setCaption("Size");
    EXPECT_EQ(frame.caption(), "Size");
    form.setCaption("Renamed");
    EXPECT_EQ(TextOf(top), "Renamed");

    // Styles the window was made with follow the model's later changes.
    const HWND box = window("txtHorizonal");
    text.setLocked(true);
    EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & ES_READONLY);
    text.setLocked(false);
    EXPECT_FALSE(GetWindowLongA(box, GWL_STYLE) & ES_READONLY);
    apply.setDefault(false);
    EXPECT_EQ(GetWindowLongA(window("Command4"), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    apply.setDefault(true);
    EXPECT_EQ(GetWindowLongA(window("Command4"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    apply.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(window("Command4")));
    apply.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(window("Command4")));
    apply.setRect({1500, 600, 600, 300});
    const RECT moved = PlacedIn(window("Command4"));
    EXPECT_EQ(moved.left, 100);
    EXPECT_EQ(moved.top, 40);
    EXPECT_EQ(moved.right - moved.left, 40);

    // A handler that changes its own control while the user types: the window follows.
    text.onChange = [this] {
        if (text.text() != "fixed") text.setText("fixed");
    };
    SetWindowTextA(window("txtHorizonal"), "user");
    EXPECT_EQ(text.text(), "fixed");
    EXPECT_EQ(TextOf(window("txtHorizonal")), "fixed");
}

TEST_F(BindingTest, ADisabledFrameKeepsInputFromItsChildren) {
    frame.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(window("Frame1")));
    EXPECT_FALSE(apply.acceptsInput());

    SendMessageA(window("Command4"), BM_CLICK, 0, 0);
    SendMessageA(window("Check1"), BM_CLICK, 0, 0);
    SendMessageA(window("Option1(1)"), BM_CLICK, 0, 0);
    scroll(SB_LINEDOWN);
    scroll(SB_THUMBTRACK, 50);
    scroll(SB_ENDSCROLL);
    SetWindowTextA(window("txtHorizonal"), "typed");
    EXPECT_EQ(applyClicks + checkClicks + option1Clicks + barChanges + barScrolls + textChanges, 0);
    EXPECT_EQ(check.value(), 1);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(GetScrollPos(window("SclHorizonal"), SB_CTL), 0);
    EXPECT_EQ(SendMessageA(window("Check1"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(window("Option1(1)"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(TextOf(window("txtHorizonal")), "");  // the refused typing is taken back

    frame.setEnabled(true);
    SendMessageA(window("Command4"), BM_CLICK, 0, 0);
    EXPECT_EQ(applyClicks, 1);
}

TEST_F(BindingTest, PictureBoxShowsItsSurfaceWithTransparentImagesComposited) {
    // A 2 × 2 picture: red, transparent, transparent, green, over the top-left quarter.
    image.setPicture(RgbaPicture(2, 2, {255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 255}), 15);
    picture.surface().drawPicture(*RgbaPicture(1, 1, {255, 255, 0, 255}), 750, 750, 300, 300);
    picture.refresh();

    Surface expected = picture.surface();
    expected.drawPicture(*image.picture(), 0, 0, 750, 750);
    int w = 0, h = 0;
    const std::vector<uint32_t> shown = PrintClient(window("Picture1"), w, h);
    ASSERT_EQ(w, 100);
    ASSERT_EQ(h, 100);
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mismatches += shown[y * w + x] != Packed(expected.pixelAt(x, y));
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(shown[10 * w + 10], 0xFF0000u);   // red quarter of the image
    EXPECT_EQ(shown[10 * w + 40], 0x0000FFu);   // transparent: the box's blue shows
    EXPECT_EQ(shown[40 * w + 40], 0x00FF00u);
    EXPECT_EQ(shown[60 * w + 60], 0xFFFF00u);   // drawn on the surface itself

    // The real paint path puts the same pixels on the screen.
    UpdateWindow(top);
    WindowDc dc(window("Picture1"));
    EXPECT_EQ(GetPixel(dc.get(), 10, 10) & 0xFFFFFF, static_cast<COLORREF>(RGB(255, 0, 0)));
    EXPECT_EQ(GetPixel(dc.get(), 40, 10) & 0xFFFFFF, static_cast<COLORREF>(RGB(0, 0, 255)));

    // Moving or hiding the image changes what is shown.
    image.setVisible(false);
    const std::vector<uint32_t> hidden = PrintClient(window("Picture1"), w, h);
    EXPECT_EQ(hidden[10 * w + 10], 0x0000FFu);
}

TEST_F(BindingTest, AnImageBoxInAFrameDrawsOverTheFramesBackground) {
    ImageBox preview(&frame, "Image2", {2100, 2400, 150, 150}, true);
    host.unload(form);
    ASSERT_TRUE(host.realize(form).ok());
    top = reinterpret_cast<HWND>(host.windowHandle(form));
    preview.setPicture(RgbaPicture(2, 1, {0, 0, 255, 255, 0, 0, 0, 0}), 15);
    int w = 0, h = 0;
    const std::vector<uint32_t> shown = PrintClient(window("Image2"), w, h);
    ASSERT_EQ(w, 10);
    const uint32_t face = GetSysColor(COLOR_BTNFACE);
    const uint32_t faceRgb = ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
    EXPECT_EQ(shown[2 * w + 1], 0x0000FFu);
    EXPECT_EQ(shown[2 * w + 8], faceRgb);
}

TEST_F(BindingTest, UnloadingFromTheCloseHandlerDestroysTheWindows) {
    const HWND button = window("Command4");
    form.onUnload = [this] { host.unload(form); };
    SendMessageA(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(host.loaded(form));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(host.windowHandle(form), 0u);
    EXPECT_FALSE(form.visible());
    // The model goes on without windows.
    text.setText("after");
    bar.setValue(10);
    EXPECT_EQ(barChanges, 1);
}

TEST_F(BindingTest, AModalFormDisablesTheOthersUntilItIsHidden) {
    Form dialog("frmAbout", {0, 0, 3000, 1500}, "About", Form::Border::FixedDialog);
    dialog.setCentred(true);
    CommandButton ok(&dialog, "cmdOK", {900, 900, 1035, 375}, "OK");
    bool ownerDisabled = false;
    ok.onClick = [&] {
        ownerDisabled = !IsWindowEnabled(top);
        host.hide(dialog);
    };
    struct Clicker {
        static void CALLBACK Click(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND dialogWindow = FindWindowA("TessForm", "About");
            SendMessageA(FindTagged(dialogWindow, "cmdOK"), BM_CLICK, 0, 0);
        }
    };
    SetTimer(nullptr, 0, 100, &Clicker::Click);
    EXPECT_TRUE(host.show(dialog, true).ok());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_FALSE(IsWindowVisible(reinterpret_cast<HWND>(host.windowHandle(dialog))));

    // Centred in the work area.
    RECT work{}, outer{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(reinterpret_cast<HWND>(host.windowHandle(dialog)), &outer);
    EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1);
    host.unload(dialog);
}

TEST_F(BindingTest, MessageBoxesAreOwnedByTheFormAndCaptionedWithTheTitle) {
    SetActiveWindow(top);
    SetTimer(nullptr, 0, 50, &Answerer::Answer);
    EXPECT_EQ(host.messageBox("Delete it?", kMbYesNo | kMbIconQuestion), kIdNo);
    EXPECT_EQ(Answerer::owner, top);
    EXPECT_EQ(Answerer::caption, "Binding Test");

    SetTimer(nullptr, 0, 50, &Answerer::Answer);
    host.messageBox("Note", kMbOk, "Own caption");
    EXPECT_EQ(Answerer::caption, "Own caption");
}

TEST(ProgramServices, OnlyTheFirstHolderOfTheMutexRuns) {
    const std::string name = "Local\\TessBindingTest" + std::to_string(GetCurrentProcessId());
    {
        auto first = SingleInstanceGuard::Acquire(name);
        ASSERT_TRUE(first.ok());
        EXPECT_FALSE(first.value().anotherRunning());
        auto second = SingleInstanceGuard::Acquire(name);
        ASSERT_TRUE(second.ok());
        EXPECT_TRUE(second.value().anotherRunning());
    }
    auto again = SingleInstanceGuard::Acquire(name);
    ASSERT_TRUE(again.ok());
    EXPECT_FALSE(again.value().anotherRunning());
}

TEST(ProgramServices, TheApplicationWindowIsFoundByTitleAndClosesOnRequest) {
    const std::string title = "TessBindingApp" + std::to_string(GetCurrentProcessId());
    int closes = 0;
    ApplicationWindow app(title, [&] { ++closes; });
    ASSERT_TRUE(app.created());
    const HWND found = FindWindowA(nullptr, title.c_str());
    ASSERT_NE(found, nullptr);
    EXPECT_FALSE(IsWindowVisible(found));
    SendMessageA(found, WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
}

namespace {

// The collection window's kind of layout: a file list in a frame, a bordered image below, a
// dialog frame, and labels with fonts and wrapping of their own.
class ListAndLabelTest : public ::testing::Test {
protected:
    ListAndLabelTest()
        : host("List Test"),
          folders(platform::SystemFileSystem(), platform::SystemFileSystem()),
          form("frmList", {0, 0, 4230, 4155}, "Skin Collection", Form::Border::FixedDialog),
          frame(&form, "Frame1", {90, 60, 4000, 3225}, ""),
          list(&frame, "File1", {90, 210, 3795, 2430}, folders),
          image(&form, "Image1", {90, 3390, 4005, 660}, true),
          title(&form, "Label1", {210, 150, 2895, 465}, "Tessary 1.0", Label::Align::Center) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tess-list-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* name : {"b.bmp", "A.bmp", "c.bmp", "note.txt"}) touch(name);
        image.setBorder(true);
        list.onClick = [this] { ++clicks; };
        list.onDblClick = [this] { ++doubleClicks; };
    }
    ~ListAndLabelTest() override {
        for (const char* name : {"b.bmp", "A.bmp", "c.bmp", "note.txt"})
            DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    void SetUp() override {
        list.setPattern("*.bmp");
        ASSERT_TRUE(list.setPath(folder).ok());
        ASSERT_TRUE(host.realize(form).ok());
        ASSERT_TRUE(host.show(form, false).ok());
        top = reinterpret_cast<HWND>(host.windowHandle(form));
        ASSERT_NE(top, nullptr);
    }

    void touch(const char* name) {
        HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }

    HWND window(const std::string& name) const { return FindTagged(top, name); }

    // What the list box shows, row by row.
    std::vector<std::string> rows() const {
        const HWND box = window("File1");
        std::vector<std::string> shown;
        const auto count = SendMessageA(box, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char row[MAX_PATH] = {};
            SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
            shown.push_back(row);
        }
        return shown;
    }
    LRESULT shownSelection() const { return SendMessageA(window("File1"), LB_GETCURSEL, 0, 0); }

    // The user's selection of a row: what the list box itself does and tells its parent.
    void userSelects(int row, WORD code = LBN_SELCHANGE) {
        const HWND box = window("File1");
        SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code),
                     reinterpret_cast<LPARAM>(box));
    }

    Win32Host host;
    FileSystemFolders folders;
    Form form;
    Frame frame;
    FileListBox list;
    ImageBox image;
    Label title;
    std::string folder;
    HWND top = nullptr;
    int clicks = 0, doubleClicks = 0;
};

// The rows of a label's client area that hold text, top and bottom.
std::pair<int, int> InkedRows(HWND label) {
    int w = 0, h = 0;
    const std::vector<uint32_t> shown = PrintClient(label, w, h);
    const uint32_t back = shown.empty() ? 0 : shown[0];
    int first = -1, last = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (shown[y * w + x] != back) {
                if (first < 0) first = y;
                last = y;
            }
    return {first, last};
}

} // namespace

TEST_F(ListAndLabelTest, TheFileListShowsTheModelsEntriesAndSelectionWithoutEcho) {
    const HWND box = window("File1");
    ASSERT_NE(box, nullptr);
    char className[32] = {};
    GetClassNameA(box, className, sizeof className);
    EXPECT_EQ(lstrcmpiA(className, "ListBox"), 0);
    const LONG style = GetWindowLongA(box, GWL_STYLE);
    EXPECT_TRUE(style & LBS_NOTIFY);
    EXPECT_FALSE(style & LBS_SORT);
    EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    const RECT at = PlacedIn(box);
    EXPECT_EQ(at.right - at.left, 253);
    EXPECT_EQ(at.bottom - at.top, 162);

    EXPECT_EQ(rows(), (std::vector<std::string>{"A.bmp", "b.bmp", "c.bmp"}));
    EXPECT_EQ(shownSelection(), LB_ERR);

    list.setListIndex(0);
    EXPECT_EQ(shownSelection(), 0);
    EXPECT_EQ(clicks, 1);  // the model's own run, none from the list box as well

    userSelects(2);
    EXPECT_EQ(list.listIndex(), 2);
    EXPECT_EQ(clicks, 2);
    userSelects(2, LBN_DBLCLK);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 2);

    // A new listing replaces the rows and clears the selection.
    DeleteFileA((folder + "\\A.bmp").c_str());
    ASSERT_TRUE(list.refresh().ok());
    EXPECT_EQ(rows(), (std::vector<std::string>{"b.bmp", "c.bmp"}));
    EXPECT_EQ(shownSelection(), LB_ERR);
    list.setListIndex(1);
    EXPECT_EQ(shownSelection(), 1);

    // A disabled frame refuses the user's selection, and the box goes back to the model's.
    frame.setEnabled(false);
    userSelects(0);
    userSelects(0, LBN_DBLCLK);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(shownSelection(), 1);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(ListAndLabelTest, DialogFrameBorderedImageAndLabelFonts) {
    const LONG style = GetWindowLongA(top, GWL_STYLE);
    EXPECT_TRUE(style & WS_DLGFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    // A flat one-pixel border around the stretched picture.
    const HWND picture = window("Image1");
    EXPECT_TRUE(GetWindowLongA(picture, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongA(picture, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    RECT outer{}, inner{};
    GetWindowRect(picture, &outer);
    GetClientRect(picture, &inner);
    EXPECT_EQ(outer.right - outer.left, 267);
    EXPECT_EQ(inner.right, 265);
    image.setPicture(RgbaPicture(1, 1, {0, 0, 255, 255}), 15);
    int w = 0, h = 0;
    const std::vector<uint32_t> shown = PrintClient(picture, w, h);
    ASSERT_EQ(w, 265);
    EXPECT_EQ(shown[0], 0x0000FFu);
    EXPECT_EQ(shown[(h - 1) * w + w - 1], 0x0000FFu);
    // Without its border the box shows the picture over the whole of its window.
    image.setBorder(false);
    EXPECT_FALSE(GetWindowLongA(picture, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(PrintClient(picture, w, h)[0], 0x0000FFu);
    EXPECT_EQ(w, 267);

    // Without a font of its own a label has the window's; with one, that face, weight and
    // points for the screen's DPI, and a change of font shows.
    const HWND label = window("Label1");
    const auto windowFont = SendMessageA(label, WM_GETFONT, 0, 0);
    EXPECT_NE(windowFont, 0);
    title.setFont({"Arial", 15.75, true});
    const auto own = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    ASSERT_NE(own, nullptr);
    EXPECT_NE(reinterpret_cast<LRESULT>(own), windowFont);
    LOGFONTA made{};
    ASSERT_EQ(GetObjectA(own, sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_STREQ(made.lfFaceName, "Arial");
    EXPECT_EQ(made.lfHeight, -21);  // 15.75 points at 96 DPI
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    title.setFont({"Arial", 12, false});
    const auto second = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    ASSERT_EQ(GetObjectA(second, sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_EQ(made.lfHeight, -16);
    EXPECT_EQ(made.lfWeight, FW_NORMAL);
    // The size follows the screen's DPI.
    const UniqueFont large = CreatePointFont(ScreenMeasure{120, 120}, "Arial", 15.75, true);
    ASSERT_EQ(GetObjectA(large.get(), sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_EQ(made.lfHeight, -26);
}

TEST_F(ListAndLabelTest, OnlyWrappingLabelsBreakTheirCaptionOntoMoreLines) {
    // Each label is two lines high and narrower than its caption.
    const std::string caption = "Find more updates on the web site";
    Label left(&form, "LabelLeft", {90, 90, 600, 600}, caption);
    Label centred(&form, "LabelCentre", {900, 90, 600, 600}, caption, Label::Align::Center);
    Label wrapped(&form, "LabelWrap", {1800, 90, 600, 600}, caption, Label::Align::Center);
    wrapped.setWordWrap(true);
    Label leftWrapped(&form, "LabelLeftWrap", {2700, 90, 600, 600}, caption);
    leftWrapped.setWordWrap(true);
    host.unload(form);
    ASSERT_TRUE(host.realize(form).ok());
    top = reinterpret_cast<HWND>(host.windowHandle(form));

    EXPECT_EQ(GetWindowLongA(window("LabelLeft"), GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
    EXPECT_EQ(GetWindowLongA(window("LabelLeftWrap"), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    EXPECT_EQ(GetWindowLongA(window("LabelWrap"), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(TextOf(window("LabelCentre")), caption);

    TEXTMETRICA metrics{};
    {
        WindowDc dc(window("LabelLeft"));
        SelectedObject selected(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(window("LabelLeft"), WM_GETFONT, 0, 0)));
        GetTextMetricsA(dc.get(), &metrics);
    }
    const int lineHeight = metrics.tmHeight;
    for (const char* name : {"LabelLeft", "LabelCentre"}) {
        const auto [first, last] = InkedRows(window(name));
        EXPECT_GE(first, 0) << name << " shows its caption";
        EXPECT_LT(last, lineHeight) << name << " keeps its caption on one line";
    }
    for (const char* name : {"LabelWrap", "LabelLeftWrap"}) {
        const auto [first, last] = InkedRows(window(name));
        EXPECT_GE(first, 0) << name;
        EXPECT_GE(last, lineHeight) << name << " wraps onto a second line";
    }

    // Centred, the caption lies elsewhere than left-aligned in a box of the same size.
    int w = 0, h = 0;
    EXPECT_NE(PrintClient(window("LabelCentre"), w, h), PrintClient(window("LabelLeft"), w, h));
    // Wrapping turned on once the window is shown takes effect in it.
    left.setWordWrap(true);
    EXPECT_EQ(GetWindowLongA(window("LabelLeft"), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    EXPECT_GE(InkedRows(window("LabelLeft")).second, lineHeight);
    // The labels go before the form's windows, which must not outlive them.
    host.unload(form);
}

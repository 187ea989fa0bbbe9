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
#include "ui/controls.h"
#include "ui/win32/win32_handles.h"
#include "ui/win32/win32_host.h"
#include "ui/win32/win32_metrics.h"
#include "ui/win32/win32_program.h"

using namespace tess;
using namespace tess::ui;
using namespace tess::ui::win32;

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
        const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, "TessControl")));
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
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDc screen(nullptr);
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    std::vector<uint32_t> pixels;
    if (!bitmap || !dc) return pixels;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
    }
    for (uint32_t& px : pixels) px &= 0xFFFFFF;
    return pixels;
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
        host.show(form, false);
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
    host.show(dialog, true);
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

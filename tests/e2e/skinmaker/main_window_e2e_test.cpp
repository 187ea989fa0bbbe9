// The real skin maker worked from outside as a user works it: start states, the open and colour
// dialogs, scroll bars and modes, applying at each resolution, the collection question, removing
// the skin, refusals, a second copy, close requests, and the preview read back from the screen.
#include <windows.h>
#include <psapi.h>

#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/skin_layout.h"
#include "tests/e2e/skinmaker/skinmaker_session.h"

namespace tess::e2e {
namespace {

using SkinMakerE2E = SkinMakerSession;

TEST_F(SkinMakerE2E, StartStatesFollowTheToolbarValue) {
    // No toolbar key: nothing to show, "Re&move Skin" keeps its design state.
    start();
    EXPECT_TRUE(enabled("Command5"));
    EXPECT_TRUE(enabled("Command1"));
    EXPECT_FALSE(enabled("Command4"));
    EXPECT_FALSE(enabled("cmdReset"));
    EXPECT_FALSE(enabled("SclWidth"));
    EXPECT_EQ(text("txtWidth"), "100%");
    ASSERT_OK(program->terminate());

    // The key without the value: nothing to remove.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kToolbarKey, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    start();
    EXPECT_FALSE(enabled("Command5"));
    ASSERT_OK(program->terminate());

    // A value naming a deleted file.
    ASSERT_OK(WriteRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap", folder + "\\gone.bmp"));
    start();
    EXPECT_TRUE(enabled("Command5"));
    EXPECT_EQ(text("txtFile"), "");
}

TEST_F(SkinMakerE2E, CurrentSkinIsShownInThePreviewAsTheEngineDrawsIt) {
    const std::string skin = DataPicture("bmp-8bit.bmp");
    ASSERT_OK(WriteRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap", skin));
    start();
    EXPECT_TRUE(enabled("Command5"));
    EXPECT_FALSE(enabled("SclWidth"));
    EXPECT_EQ(text("txtFile"), "");

    // The engine's preview of the picture tiled at 100 % on the button face, under the toolbar.
    EXPECT_EQ(previewPixelsDifferingFromTiled(skin), 0);
}

TEST_F(SkinMakerE2E, PicturesOfEachKindAppliedAtEachResolutionMatchTheComposer) {
    start();
    // A GIF with a transparent colour, tiled at 640 with offsets moved by the scroll bars.
    browse(DataPicture("gif-transparent.gif"));
    EXPECT_EQ(text("txtFile"), DataPicture("gif-transparent.gif"));
    EXPECT_TRUE(enabled("Command4"));
    ASSERT_OK(ClickAndWait(control("Option2(0)")));
    ASSERT_OK(Scroll(control("SclHorizonal"), SB_PAGEDOWN));
    ASSERT_OK(Scroll(control("SclHorizonal"), SB_LINEDOWN));
    ASSERT_OK(DragThumb(control("SclVertical"), -30));
    EXPECT_EQ(text("txtHorizonal"), "6%");
    EXPECT_EQ(text("txtVertical"), "-30%");
    apply(IDNO);
    EXPECT_EQ(toolbarValue(), folder + "\\Skin.bmp");
    keepForComparison("gif-tile-640.bmp",
                      "--picture " + std::string(TESS_HOST_DATA_DIR) +
                          "/pictures/gif-transparent.gif --mode tile --horizontal 6 --vertical -30 "
                          "--resolution 640");

    // A JPEG, single, sized under Lock, on a colour chosen in the colour dialog, at 720.
    browse(DataPicture("jpeg-progressive.jpg"));
    ASSERT_OK(ClickAndWait(control("Option1(1)")));
    EXPECT_TRUE(enabled("Command2"));
    ASSERT_OK(Click(control("Command2")));
    ASSERT_OK(AnswerColorDialog(program->processId(), Rgb{10, 120, 200}));
    ASSERT_OK(DragThumb(control("SclWidth"), 150));
    EXPECT_EQ(text("txtHeight"), "150%");
    ASSERT_OK(ClickAndWait(control("Option2(1)")));
    apply(IDNO);
    keepForComparison("jpeg-single-720.bmp",
                      "--picture " + std::string(TESS_HOST_DATA_DIR) +
                          "/pictures/jpeg-progressive.jpg --mode single --width 150 --height 150 "
                          "--background 0A78C8 --resolution 720");

    // A bitmap stretched at 800 and at 1024; a new picture takes the swatch's colour again.
    browse(DataPicture("bmp-8bit.bmp"));
    ASSERT_OK(ClickAndWait(control("Option1(2)")));
    EXPECT_FALSE(enabled("SclWidth"));
    EXPECT_FALSE(enabled("Check1"));
    ASSERT_OK(ClickAndWait(control("Option2(2)")));
    apply(IDNO);
    keepForComparison("bmp-stretch-800.bmp", "--picture " + std::string(TESS_HOST_DATA_DIR) +
                                                 "/pictures/bmp-8bit.bmp --mode stretch "
                                                 "--background 0A78C8 --resolution 800");
    ASSERT_OK(ClickAndWait(control("Option2(3)")));
    apply(IDNO);
    keepForComparison("bmp-stretch-1024.bmp", "--picture " + std::string(TESS_HOST_DATA_DIR) +
                                                  "/pictures/bmp-8bit.bmp --mode stretch "
                                                  "--background 0A78C8 --resolution 1024");

    // An interlaced PNG with an alpha channel, tiled at 1024.
    const std::string png = WindowsPath(std::string(TESS_TEST_DATA_DIR) + "/png/png-rgba-8-adam7.png");
    browse(png);
    EXPECT_EQ(text("txtFile"), png);
    apply(IDNO);
    keepForComparison("png-tile-1024.bmp", "--picture " + std::string(TESS_HOST_DATA_DIR) +
                                               "/png/png-rgba-8-adam7.png --mode tile "
                                               "--background 0A78C8 --resolution 1024");
}

TEST_F(SkinMakerE2E, CollectionQuestionRemoveSkinAndRefusals) {
    start();
    browse(DataPicture("bmp-24bit.bmp"));
    apply(IDYES);
    // The skin is kept once the question is answered, a moment after the box has gone.
    EXPECT_TRUE(WaitUntil([&] { return FileExists(folder + "\\Collection\\Skin0001.bmp"); }, "Skin0001.bmp").ok());
    // The next apply rewrites the kept skin without asking.
    ASSERT_OK(Click(control("Command4")));
    answer("Tessary", IDOK);
    ASSERT_OK(WaitUntil([&] { return IsEnabled(control("Command4")); }, "the window back"));
    EXPECT_FALSE(FindMessageBox(program->processId(), "Confirm", Timeout{1500}).ok());
    EXPECT_FALSE(FileExists(folder + "\\Collection\\Skin0002.bmp"));

    // A new picture is asked about again; No keeps the collection as it is.
    browse(DataPicture("gif87-opaque.gif"));
    apply(IDNO);
    EXPECT_FALSE(FileExists(folder + "\\Collection\\Skin0002.bmp"));

    // "Re&move Skin": No keeps the value, Yes deletes it and leaves the file.
    ASSERT_OK(Click(control("Command5")));
    EXPECT_EQ(answer("Confirm", IDNO), "Do you want to delete IE Skin");
    EXPECT_EQ(toolbarValue(), folder + "\\Skin.bmp");
    ASSERT_OK(Click(control("Command5")));
    answer("Confirm", IDYES);
    ASSERT_OK(WaitUntil([&] { return !IsEnabled(control("Command5")); }, "Remove Skin disabled"));
    EXPECT_EQ(toolbarValue(), "(none)");
    EXPECT_TRUE(FileExists(folder + "\\Skin.bmp"));

    // A picture wider than 1600 pixels is refused and the earlier one stays.
    const std::string wide = folder + "\\wide.bmp";
    ASSERT_TRUE(platform::WriteBitmap(platform::SystemFileSystem(), Surface(1601, 4), wide).ok());
    browse(wide);
    EXPECT_EQ(answer("Tessary", IDOK), "Picture is too large to load");
    EXPECT_EQ(text("txtFile"), DataPicture("gif87-opaque.gif"));
}

// The most memory the process has held at once, in bytes; 0 if the system does not say.
size_t PeakWorkingSet(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return 0;
    PROCESS_MEMORY_COUNTERS counters{};
    const BOOL read = K32GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    return read ? counters.PeakWorkingSetSize : 0;
}

TEST_F(SkinMakerE2E, TooWidePicturesAreRefusedFromTheirHeaderAndTheTallestIsApplied) {
    const auto large = [](const char* name) {
        return WindowsPath(std::string(TESS_LARGE_PICTURES) + "/" + name);
    };
    start();
    // Decoded, these would not fit beside the program in 2 GB of address space; refused from
    // their headers, they never make the program hold even the 8192 x 8192 picture's 256 MB of
    // pixels.
    for (const char* name : {"huge-rle8-8192x8192.bmp", "photo-8000x6000.jpg"}) {
        browse(large(name));
        EXPECT_EQ(answer("Tessary", IDOK), "Picture is too large to load") << name;
        EXPECT_EQ(text("txtFile"), "") << name;
    }
    const size_t peak = PeakWorkingSet(program->processId());
    EXPECT_GT(peak, 0u);
    EXPECT_LT(peak, 256u * 1024 * 1024);

    // 1600 x 16384: the widest at 96 DPI and the tallest the loader takes.
    browse(large("tall-1600x16384.jpg"));
    EXPECT_EQ(text("txtFile"), large("tall-1600x16384.jpg"));
    EXPECT_TRUE(enabled("Command4"));
    apply(IDNO);
    EXPECT_EQ(toolbarValue(), folder + "\\Skin.bmp");
    keepForComparison("jpeg-tall-tile-800.bmp",
                      "--picture " + std::string(TESS_HOST_LARGE_PICTURES) + "/tall-1600x16384.jpg");
}

TEST_F(SkinMakerE2E, OnlyOneCopyRunsAndCloseRequestsEndIt) {
    start();
    // A second copy ends at once without a window.
    auto second = RunningProgram::Start({folder + "\\Tessary.exe", {}, folder, {}});
    ASSERT_TRUE(second.ok());
    EXPECT_TRUE(second.value().waitForExit().ok());
    EXPECT_TRUE(program->running());

    // The hidden application window answers a close request by title.
    HWND application = FindWindowA(nullptr, "Tessary");
    ASSERT_NE(application, nullptr);
    SendMessageTimeoutA(application, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(program->waitForExit().ok());

    // Esc presses "&Close".
    start();
    ASSERT_OK(PressKey(main, VK_ESCAPE));
    EXPECT_TRUE(program->waitForExit().ok());
}

// Sets the screen's dots per inch for programs started afterwards, where Wine reads it.
void SetLogPixels(DWORD dpi) {
    for (auto [root, key] : {std::pair{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                             std::pair{HKEY_LOCAL_MACHINE,
                                       "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}}) {
        HKEY k = nullptr;
        if (RegCreateKeyA(root, key, &k) != ERROR_SUCCESS) continue;
        RegSetValueExA(k, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(k);
    }
}

TEST_F(SkinMakerE2E, At120DpiTheWindowScalesAndTheSkinKeepsItsPixelWidth) {
    SetLogPixels(120);
    struct Restore {
        ~Restore() { SetLogPixels(96); }
    } restore;
    start();
    // 12 twips a pixel: the 9270 × 4350-twip window and the 598 × 67 preview grow by a quarter.
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_NEAR(client.right, 9270 / 12.0, 1);
    Capture preview = MUST(CaptureClient(control("PicTarget")));
    EXPECT_NEAR(preview.width, 598 * 1.25, 1);
    EXPECT_NEAR(preview.height, 67 * 1.25, 1);

    browse(DataPicture("bmp-24bit.bmp"));
    ASSERT_OK(ClickAndWait(control("Option2(0)")));
    apply(IDNO);
    Picture skin = MUST(platform::LoadPicture(platform::SystemFileSystem(), folder + "\\Skin.bmp"));
    EXPECT_EQ(skin.width(), 640);
    EXPECT_EQ(skin.height(), 167);  // 2000 twips at 12 twips a pixel
}

TEST_F(SkinMakerE2E, TwoCopiesStartedTogetherLeaveOne) {
    auto first = RunningProgram::Start({folder + "\\Tessary.exe", {}, folder, {}});
    auto second = RunningProgram::Start({folder + "\\Tessary.exe", {}, folder, {}});
    ASSERT_TRUE(first.ok() && second.ok());
    auto window = FindTopWindow({kSkinMakerCaption, "", 0, true});
    ASSERT_TRUE(window.ok());
    // One of them ends by itself; the other keeps its window.
    ASSERT_OK(WaitUntil([&] { return first.value().running() != second.value().running(); },
                        "one copy to end"));
    EXPECT_TRUE(IsWindowVisible(window.value()));
}

} // namespace
} // namespace tess::e2e

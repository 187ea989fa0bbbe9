// A session with the real skin maker for the end-to-end tests: a program folder of its own with
// a copy of Tessary.exe (below a folder named beyond the driver's code page when one is asked for), a
// reset toolbar key, and the steps a user takes in the main window.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/product.h"
#include "core/skin_layout.h"
#include "skinmaker/m_pic.h"
#include "tests/e2e/driver/code_page.h"
#include "tests/e2e/driver/common_dialogs.h"
#include "tests/e2e/driver/control_state.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/registry_files.h"
#include "tests/e2e/driver/screen_capture.h"
#include "tests/e2e/driver/test_results.h"
#include "tests/e2e/driver/window_search.h"

namespace tess::e2e {

using product::kSkinMakerCaption;
using skinmaker::kToolbarKey;

inline std::string DataPicture(const std::string& name) {
    return WindowsPath(std::string(TESS_TEST_DATA_DIR) + "/pictures/" + name);
}

class SkinMakerSession : public ::testing::Test {
protected:
    void SetUp() override {
        // Under a code page asked for (TESS_E2E_CODE_PAGE), the program folder lies below one
        // named beyond that code page on the run's own drive C:, which no other run shares; the
        // folder's names are UTF-8 and go to the system through the wide calls.
        const auto beyondCodePage = CodePageFolderName();
        ASSERT_TRUE(beyondCodePage.ok()) << beyondCodePage.error().message;
        const std::string parent =
            beyondCodePage.value().empty() ? WindowsPath(TESS_E2E_WORK) : "C:\\" + beyondCodePage.value();
        folder = parent + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryW(Wide(parent).c_str(), nullptr);
        CreateDirectoryW(Wide(folder).c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(Wide(WindowsPath(TESSARY_EXE)).c_str(), Wide(folder + "\\Tessary.exe").c_str(), FALSE));
        DeleteFileW(Wide(folder + "\\Skin.bmp").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kToolbarKey);
    }
    void TearDown() override {
        if (program && program->running()) (void)program->terminate();
        program.reset();
    }

    void start() {
        auto started = RunningProgram::Start({folder + "\\Tessary.exe", {}, folder, {}});
        ASSERT_TRUE(started.ok()) << started.error().message;
        program.emplace(std::move(started).value());
        auto window = FindTopWindow({kSkinMakerCaption, "", program->processId(), true});
        ASSERT_TRUE(window.ok()) << window.error().message;
        main = window.value();
    }

    // Picks a menu item of the main window and gives the window titled `caption` that it opens;
    // null when no such window showed.
    HWND pickForWindow(const std::vector<std::string>& path, const std::string& caption) {
        const auto shown = PickMenuItemForWindow(main, path, {caption, "", program->processId(), true});
        if (!shown) {
            ADD_FAILURE() << shown.error().message;
            return nullptr;
        }
        return shown.value();
    }

    HWND control(const std::string& name) { return MUST(FindControl(main, name)); }
    bool enabled(const std::string& name) { return IsEnabled(control(name)); }
    std::string text(const std::string& name) { return MUST(Text(control(name))); }

    // Waits for the message box with `caption`, reads it and presses `button`.
    std::string answer(const std::string& caption, int button) {
        HWND box = MUST(FindMessageBox(program->processId(), caption));
        if (!box) return "(no message box)";
        std::string said = MUST(MessageText(box));
        EXPECT_TRUE(PressMessageButton(box, button).ok());
        return said;
    }

    void browse(const std::string& path) {
        ASSERT_OK(Click(control("Command1")));
        ASSERT_OK(AnswerOpenDialog(program->processId(), path));
    }

    // "&Apply": the success box, then the collection question answered with `add`.
    void apply(int add) {
        ASSERT_OK(Click(control("Command4")));
        EXPECT_EQ(answer("Tessary", IDOK),
                  "Successfully Created IE Skin. Test IE Skin by opening new Internet Explorer window.");
        EXPECT_EQ(answer("Confirm", add), "Do you want to add IE Skin to Skin Collection");
    }

    std::string toolbarValue() {
        auto v = ReadRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap");
        return v ? v.value() : "(none)";
    }

    // Keeps the skin just written for the comparison with the host build's composer, with the
    // composer's arguments for the same layout.
    void keepForComparison(const std::string& name, const std::string& composerArguments) {
        const std::string out = WindowsPath(TESS_E2E_OUT);
        CreateDirectoryA(out.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(Wide(folder + "\\Skin.bmp").c_str(), Wide(out + "\\" + name).c_str(), FALSE));
        std::ofstream manifest(out + "\\manifest.txt", std::ios::app);
        manifest << name << ' ' << composerArguments << '\n';
    }

    // The number of preview pixels on the screen that differ from the engine's preview of
    // `skin` tiled at 100 % on the button face, under the toolbar picture; -1 when the sizes
    // differ or a picture cannot be read.
    int previewPixelsDifferingFromTiled(const std::string& skin) {
        auto picture = platform::LoadPicture(platform::SystemFileSystem(), skin);
        auto toolbar = platform::LoadPicture(platform::SystemFileSystem(), TESS_TOOLBAR_PICTURE);
        auto shown = CaptureClient(control("PicTarget"));
        if (!picture || !toolbar || !shown) return -1;
        Surface expected = MakePreviewSurface();
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        if (!expected.setBackColor(MakeColorRef(GetRValue(face), GetGValue(face), GetBValue(face))).ok())
            return -1;
        SkinLayout layout;
        const Picture& p = picture.value();
        PreviewTile(layout, {p, p.width() * 15.0, p.height() * 15.0}, expected);
        expected.drawPicture(toolbar.value(), 0, 0, 9000, 1035);
        const Capture& c = shown.value();
        if (c.width != expected.widthPx() || c.height != expected.heightPx()) return -1;
        int differing = 0;
        for (int32_t y = 0; y < c.height; ++y)
            for (int32_t x = 0; x < c.width; ++x)
                if (!(c.at(x, y) == expected.pixelAt(x, y))) ++differing;
        return differing;
    }

    std::string folder;
    std::optional<RunningProgram> program;
    HWND main = nullptr;
};

} // namespace tess::e2e

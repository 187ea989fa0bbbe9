// A headless skin maker for window tests: a temporary folder for pictures with the data folder
// apart from them (as the user's own is), an in-memory registry, scripted message boxes and
// dialogs, picture files written on demand, and a redraw counter.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/ie_main.h"
#include "skinmaker/m_pic.h"
#include "tests/support/memory_registry.h"
#include "tests/support/scripted_shell.h"
#include "tests/support/test_pictures.h"
#include "ui/headless/headless_host.h"
#include "ui/headless/scripted_dialogs.h"

namespace tess::testing {

// Counts the times a control's image was refreshed.
class RefreshCounter : public ui::ControlPeer {
public:
    void propertyChanged(ui::Property what) override {
        if (what == ui::Property::Image) ++count;
    }
    int count = 0;
};

class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(double twipsPerPixel = 15.0) : host("Tessary", twipsPerPixel) {}

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tess-main-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        data = folder / "AppData" / "Tessary";
        std::filesystem::create_directories(data);
    }
    void TearDown() override {
        window.reset();
        std::error_code ec;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(folder, ec);
    }

    // The data folder as the program names it: backslashes on Windows, slashes here.
    std::string dataFolder() const { return data.string(); }
    std::string skinPath() const { return (data / "Skin.bmp").string(); }
    std::string collectionPath(int n) const {
        char name[32];
        std::snprintf(name, sizeof name, "Skin%04d.bmp", n);
        return (data / "Collection" / name).string();
    }

    // Creates the window and runs its start, as the program does.
    IeMain& start() {
        env = std::make_unique<SkinMakerEnv>(SkinMakerEnv{
            host, registry, shell, platform::SystemFileSystem(),
            [this] { return std::make_unique<cNewDialog>(dialogs, dialogs); },
            dataFolder(), SolidPicture(800, 92, {0, 0, 0, 0})});
        env->buttonFace = MakeColorRef(212, 208, 200);
        window = std::make_unique<IeMain>(*env);
        window->PicTarget.setPeer(&redraws);
        window->Form_Load();
        host.showOrReport(window->form, false);
        return *window;
    }

    // Writes a bitmap of the given size, each pixel coloured by its position.
    std::string writePicture(const std::string& name, int32_t width, int32_t height) {
        std::vector<PixelRgba> pixels;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                pixels.push_back({static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 13),
                                  static_cast<uint8_t>((x + y) * 3), 255});
        Picture picture = MakePicture(width, height, pixels);
        Surface surface(width, height);
        surface.drawPicture(picture, 0, 0, surface.scaleWidth(), surface.scaleHeight());
        const std::string path = (folder / name).string();
        EXPECT_TRUE(WriteBitmap(platform::SystemFileSystem(), surface, path).ok());
        return path;
    }

    // Opens a picture through "&Browse", answering the open dialog with `path`.
    void browse(const std::string& path) {
        dialogs.answerOpen(path);
        ASSERT_TRUE(window->Command1.press());
    }

    std::string toolbarValue() {
        return GetRegString(registry, kHKeyCurrentUser, kToolbarKey, kBackBitmapValue);
    }

    std::filesystem::path folder;
    std::filesystem::path data;
    MemoryRegistry registry;
    ui::HeadlessHost host;
    ui::ScriptedDialogs dialogs;
    ScriptedShell shell;
    std::unique_ptr<SkinMakerEnv> env;
    std::unique_ptr<IeMain> window;
    RefreshCounter redraws;
};

} // namespace tess::testing

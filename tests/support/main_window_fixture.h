// A headless skin maker for window tests: the in-memory file system with a folder for pictures
// and the data folder apart from it (as the user's own is), an in-memory registry, scripted
// message boxes and dialogs, picture files written on demand, and a redraw counter.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/product.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/ie_main.h"
#include "skinmaker/m_pic.h"
#include "tests/support/memory_file_system.h"
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
    explicit MainWindowTest(double twipsPerPixel = 15.0) : host("Tessary", twipsPerPixel) {
        files.addFolder(pictures);
        files.addFolder(data);
    }
    void TearDown() override { window.reset(); }

    std::string dataFolder() const { return data; }
    std::string skinPath() const { return data + "\\" + product::kSkinFile; }
    std::string collectionPath(int n) const {
        char name[32];
        std::snprintf(name, sizeof name, "Skin%04d.bmp", n);
        return data + "\\" + product::kCollectionFolder + "\\" + name;
    }
    // A file of the pictures folder, whether there or not.
    std::string picturePath(const std::string& name) const { return pictures + "\\" + name; }

    bool exists(const std::string& path) const { return files.contents(path).has_value(); }
    std::vector<uint8_t> fileBytes(const std::string& path) const {
        const std::string bytes = files.contents(path).value_or("");
        return {bytes.begin(), bytes.end()};
    }

    // Creates the window and runs its start, as the program does.
    skinmaker::IeMain& start() {
        env = std::make_unique<skinmaker::SkinMakerEnv>(skinmaker::SkinMakerEnv{
            host, registry, shell, files,
            [this] { return std::make_unique<skinmaker::cNewDialog>(dialogs, dialogs); },
            dataFolder(), SolidPicture(800, 92, {0, 0, 0, 0})});
        env->buttonFace = MakeColorRef(212, 208, 200);
        window = std::make_unique<skinmaker::IeMain>(*env);
        window->PicTarget.setPeer(&redraws);
        window->Form_Load();
        host.showOrReport(window->form, false);
        return *window;
    }

    // Writes a bitmap of the given size into the pictures folder, each pixel coloured by its
    // position.
    std::string writePicture(const std::string& name, int32_t width, int32_t height) {
        return writePictureAt(picturePath(name), width, height);
    }
    std::string writePictureAt(const std::string& path, int32_t width, int32_t height) {
        std::vector<PixelRgba> pixels;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                pixels.push_back({static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 13),
                                  static_cast<uint8_t>((x + y) * 3), 255});
        Picture picture = MakePicture(width, height, pixels);
        Surface surface(width, height);
        surface.drawPicture(picture, 0, 0, surface.scaleWidth(), surface.scaleHeight());
        EXPECT_TRUE(platform::WriteBitmap(files, surface, path).ok());
        return path;
    }

    // Opens a picture through "&Browse", answering the open dialog with `path`.
    void browse(const std::string& path) {
        dialogs.answerOpen(path);
        ASSERT_TRUE(window->Command1.press());
    }

    std::string toolbarValue() {
        return skinmaker::GetRegString(registry, platform::kHKeyCurrentUser, skinmaker::kToolbarKey, skinmaker::kBackBitmapValue);
    }

    const std::string pictures = "C:\\Users\\me\\Pictures";
    const std::string data = "C:\\Users\\me\\AppData\\Local\\Tessary";
    MemoryFileSystem files;
    MemoryRegistry registry;
    ui::HeadlessHost host;
    ui::ScriptedDialogs dialogs;
    ScriptedShell shell;
    std::unique_ptr<skinmaker::SkinMakerEnv> env;
    std::unique_ptr<skinmaker::IeMain> window;
    RefreshCounter redraws;
};

} // namespace tess::testing

// The uninstaller's Win32 services on the real system: wildcard and named deletion, the shell's
// deletion of a folder with its contents and of one holding a file in use, the listing of what is
// left, the command line handed to the temporary copy, and an icon turned into a picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/win32_bitmaps.h"
#include "uninstaller/win32/temporary_copy.h"
#include "uninstaller/win32/win32_removal_files.h"

using namespace tess;
using namespace tess::uninstaller::win32;

namespace {

void Touch(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
}

class RemovalFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        root = std::string(temp) + "tess-removal-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        app = root + "\\Tessary";
        for (const std::string& folder : {root, app, app + "\\Collection", app + "\\Collection\\Old"})
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        for (const char* name : {"\\Tessary.exe", "\\Skin.bmp", "\\readme.txt", "\\Collection\\Skin0001.bmp",
                                 "\\Collection\\Old\\Skin0009.bmp"})
            Touch(app + name);
        Touch(root + "\\neighbour.txt");
    }
    void TearDown() override {
        files.ShellDelete(root, false).ok();
    }

    std::string root, app;
    Win32RemovalFiles files;
};

TEST_F(RemovalFiles, DeletesByPatternByNameAndFoldersOnlyWhenEmpty) {
    EXPECT_EQ(files.ListTree(app).size(), 7u);
    ASSERT_TRUE(files.DeleteMatching(app, "*.*").ok());
    EXPECT_FALSE(files.FileExists(app + "\\Skin.bmp"));
    EXPECT_TRUE(files.FolderExists(app + "\\Collection"));  // folders are not files
    EXPECT_EQ(files.DeleteMatching(app, "*.*").error().code, ErrorCode::FileNotFound);
    // Names are matched without regard to case, as the system does.
    EXPECT_TRUE(files.RemoveFile(app + "\\collection\\skin0001.BMP").ok());
    EXPECT_EQ(files.RemoveFile(app + "\\Skin.bmp").error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(files.RemoveFolder(app + "\\Collection").error().code, ErrorCode::DeleteFailed);
    EXPECT_TRUE(files.FolderExists(app + "\\Collection\\Old"));
    EXPECT_TRUE(files.FileExists(root + "\\neighbour.txt"));
}

TEST_F(RemovalFiles, TheShellTakesAFolderWithItsContentsButNotAFileInUse) {
    HANDLE held = CreateFileA((app + "\\Skin.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.RemoveFile(app + "\\Skin.bmp").error().code, ErrorCode::DeleteFailed);
    // The shell gives up at the file in use: it stays, and so does its folder.
    EXPECT_FALSE(files.ShellDelete(app, true).ok());
    EXPECT_TRUE(files.FileExists(app + "\\Skin.bmp"));
    EXPECT_TRUE(files.FolderExists(app));
    CloseHandle(held);

    // Once it is free, the folder goes with the rest, its neighbour stays.
    EXPECT_TRUE(files.ShellDelete(app, true).ok());
    EXPECT_FALSE(files.FolderExists(app));
    EXPECT_TRUE(files.FileExists(root + "\\neighbour.txt"));
    EXPECT_FALSE(files.ShellDelete(app, true).ok());
}

TEST(TemporaryCopy, TakesTheFolderOnlyAfterItsSwitch) {
    EXPECT_EQ(AppDirArgument("/appdir \"C:\\Program Files\\Tessary\"").value_or("-"), "C:\\Program Files\\Tessary");
    EXPECT_EQ(AppDirArgument("/appdir C:\\Tessary").value_or("-"), "C:\\Tessary");
    EXPECT_FALSE(AppDirArgument("").has_value());
    EXPECT_FALSE(AppDirArgument("/appdir").has_value());
    EXPECT_FALSE(AppDirArgument("/appdir \"\"").has_value());
    EXPECT_FALSE(AppDirArgument("C:\\Tessary").has_value());
}

TEST(IconPicture, KeepsTheColoursAndTheTransparentPartsOfAnIcon) {
    // A 32-pixel icon: the left half a solid red, the right half masked out.
    std::vector<uint8_t> andMask(32 * 4, 0), xorBits(32 * 32 * 4, 0);
    for (int y = 0; y < 32; ++y) {
        andMask[y * 4 + 2] = andMask[y * 4 + 3] = 0xFF;
        for (int x = 0; x < 16; ++x) {
            uint8_t* px = &xorBits[(y * 32 + x) * 4];
            px[2] = 0xFF;  // BGRA red
        }
    }
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, andMask.data());
    HBITMAP colour = CreateBitmap(32, 32, 1, 32, xorBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    ASSERT_NE(icon, nullptr);
    const auto picture = tess::ui::win32::IconPicture(icon, 32);
    DestroyIcon(icon);
    ASSERT_TRUE(picture.has_value());
    ASSERT_TRUE(picture->hasTransparency());
    const auto left = picture->pixelAt(3, 7);
    EXPECT_EQ(left, (Rgba{255, 0, 0, 255}));
    EXPECT_LT(picture->pixelAt(20, 7).a, 128);
    EXPECT_LT(picture->pixelAt(31, 31).a, 128);
}

} // namespace

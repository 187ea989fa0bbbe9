// The collection window, the feedback page and the About box of the real skin maker, worked from
// outside: keeping skins, applying, double clicks, deleting with both answers, editing through the
// system's association, the browser's command line, the modal About box, and a program folder
// the user may not write.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>

#include "core/picture_loader.h"
#include "tests/e2e/driver/associations.h"
#include "tests/e2e/skinmaker/skinmaker_session.h"

namespace tess::e2e {
namespace {

constexpr const char* kCollectionCaption = "Skin Collection";

class CollectionE2E : public SkinMakerSession {
protected:
    void openCollection() {
        collection = pickForWindow({"&File", "&View Collection"}, kCollectionCaption);
        ASSERT_NE(collection, nullptr);
        ASSERT_OK(WaitUntil([&] { return !IsWindowVisible(main); }, "the main window hidden"));
    }
    HWND in(const std::string& name) { return MUST(FindControl(collection, name)); }

    std::vector<std::string> entries() {
        std::vector<std::string> names;
        HWND list = in("File1");
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        // Asked in UTF-16: Wine hands another process's list texts over in that form only.
        for (int i = 0; i < count; ++i) {
            wchar_t name[MAX_PATH] = {};
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(Utf8(name));
        }
        return names;
    }
    // Selects an entry as a click on it does.
    void select(int index) {
        HWND list = in("File1");
        SendMessageA(list, LB_SETCURSEL, index, 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    // A double click on an entry: posted, since it opens a message box.
    void doubleClick(int index) {
        select(index);
        HWND list = in("File1");
        PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    }
    std::string collectionFile(int n) {
        char name[32];
        std::snprintf(name, sizeof name, "\\Collection\\Skin%04d.bmp", n);
        return folder + name;
    }

    HWND collection = nullptr;
};

TEST_F(CollectionE2E, KeepApplyDeleteAndComeBack) {
    std::vector<std::string> pictures = {DataPicture("bmp-24bit.bmp"), DataPicture("gif87-opaque.gif"),
                                         DataPicture("jpeg-baseline.jpg")};
    // Under a code page case the JPEG is "图片.jpg" in the program's folder, a name beyond the
    // driver's code page that the open dialog hands the program in UTF-8.
    if (MUST(CodePageFolderName()) != "") {
        const std::string named = folder + "\\" + Utf8(L"\u56FE\u7247.jpg");
        ASSERT_TRUE(CopyFileW(Wide(pictures[2]).c_str(), Wide(named).c_str(), FALSE));
        pictures[2] = named;
    }
    start();
    for (const std::string& picture : pictures) {
        browse(picture);
        apply(IDYES);
        // Read through the wide call, so the value is compared as the program wrote it.
        EXPECT_EQ(toolbarValue(), folder + "\\Skin.bmp") << picture;
    }
    // The last skin, written whole at the resolution the window starts with, 800 by 600.
    const auto skin = MUST(ReadFileBytes(folder + "\\Skin.bmp"));
    EXPECT_EQ(MUST(DecodePicture(skin.data(), skin.size())).width(), 800);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(WaitUntil([&] { return FileExists(collectionFile(n)); }, "the kept skin").ok()) << n;

    openCollection();
    EXPECT_EQ(entries(), (std::vector<std::string>{"Skin0001.bmp", "Skin0002.bmp", "Skin0003.bmp"}));
    EXPECT_TRUE(IsEnabled(in("Command4")));

    // "&Apply" on the second, a double click on the third.
    select(1);
    ASSERT_OK(Click(in("Command4")));
    EXPECT_EQ(answer("Tessary", IDOK), "IE Skin is successfully updated");
    EXPECT_EQ(toolbarValue(), collectionFile(2));
    doubleClick(2);
    EXPECT_EQ(answer("Tessary", IDOK), "IE Skin is successfully updated");
    EXPECT_EQ(toolbarValue(), collectionFile(3));

    // Deleting the current skin: No keeps it; Yes and No delete only the file.
    select(2);
    ASSERT_OK(Click(in("Command1")));
    EXPECT_EQ(answer("Tessary", IDNO),
              "This file is currently enabled as default skin for IE. Do you want to delete it?");
    EXPECT_TRUE(FileExists(collectionFile(3)));
    ASSERT_OK(Click(in("Command1")));
    answer("Tessary", IDYES);
    EXPECT_EQ(answer("Confirm", IDNO), "Do you want to delete IE Skin");
    ASSERT_OK(WaitUntil([&] { return !FileExists(collectionFile(3)); }, "Skin0003.bmp deleted"));
    EXPECT_EQ(toolbarValue(), collectionFile(3));

    // Apply the first and delete it answering Yes twice: file and value go.
    select(0);
    ASSERT_OK(Click(in("Command4")));
    answer("Tessary", IDOK);
    ASSERT_OK(Click(in("Command1")));
    answer("Tessary", IDYES);
    answer("Confirm", IDYES);
    ASSERT_OK(WaitUntil([&] { return !FileExists(collectionFile(1)); }, "Skin0001.bmp deleted"));
    EXPECT_EQ(toolbarValue(), "(none)");

    // The last one goes without a question; then nothing is left to apply or delete.
    ASSERT_OK(Click(in("Command1")));
    ASSERT_OK(WaitUntil([&] { return entries().empty(); }, "an empty list"));
    EXPECT_FALSE(IsEnabled(in("Command1")));
    EXPECT_FALSE(IsEnabled(in("Command4")));

    // Closing shows the main window again, with "Re&move Skin" off since the value is gone.
    ASSERT_OK(Click(in("Command3")));
    ASSERT_OK(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, "the main window back"));
    EXPECT_FALSE(IsEnabled(control("Command5")));
}

// The collection lists a kept bitmap by whatever name the folder holds it under, as the program
// reaches every name through UTF-8, and applies it by that name.
TEST_F(CollectionE2E, NamesBeyondTheCodePageAreListedAndAppliedExactly) {
    const std::string kept = folder + "\\Collection";
    const std::string named = Utf8(L"\u56FE\u7247.bmp");
    CreateDirectoryW(Wide(kept).c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Wide(DataPicture("bmp-24bit.bmp")).c_str(), Wide(kept + "\\" + named).c_str(), FALSE));

    start();
    openCollection();
    EXPECT_EQ(entries(), std::vector<std::string>{named});
    select(0);
    ASSERT_OK(Click(in("Command4")));
    EXPECT_EQ(answer("Tessary", IDOK), "IE Skin is successfully updated");
    EXPECT_EQ(toolbarValue(), kept + "\\" + named);
}

// A name that is no text, half of a surrogate pair alone, has no spelling even in UTF-8: the
// system's conversion would put a replacement character there, naming another file, so the
// collection leaves it out and lists the rest.
TEST_F(CollectionE2E, NamesBeyondTheCodePageLeaveOutHalfASurrogatePair) {
    const std::wstring kept = Wide(folder + "\\Collection");
    CreateDirectoryW(kept.c_str(), nullptr);
    const std::wstring broken = kept + L"\\Skin\xD800.bmp";
    if (!CopyFileW(Wide(DataPicture("bmp-24bit.bmp")).c_str(), broken.c_str(), FALSE))
        GTEST_SKIP() << "the system makes no file whose name holds half a surrogate pair (error "
                     << GetLastError() << "), as Wine makes none; Windows does";
    ASSERT_TRUE(CopyFileW(Wide(DataPicture("bmp-24bit.bmp")).c_str(), (kept + L"\\Skin0001.bmp").c_str(), FALSE));

    start();
    openCollection();
    EXPECT_EQ(entries(), std::vector<std::string>{"Skin0001.bmp"});
}

TEST_F(CollectionE2E, ApplyingWithoutAPictureRestartsTheMainWindowFromTheSkin) {
    const std::string kept = folder + "\\Collection";
    CreateDirectoryA(kept.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(DataPicture("bmp-24bit-topdown.bmp").c_str(), (kept + "\\Skin0001.bmp").c_str(), FALSE));
    start();
    openCollection();
    ASSERT_OK(Click(in("Command4")));
    answer("Tessary", IDOK);
    ASSERT_OK(Click(in("Command3")));
    ASSERT_OK(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, "the main window back"));
    EXPECT_TRUE(IsEnabled(control("Command5")));
    EXPECT_FALSE(IsEnabled(control("SclWidth")));

    // The preview shows the applied skin tiled, as the engine draws it.
    EXPECT_EQ(previewPixelsDifferingFromTiled(kept + "\\Skin0001.bmp"), 0);
}

TEST_F(CollectionE2E, EditOpensTheBitmapWithItsAssociationOrSaysWhyNot) {
    const std::string kept = folder + "\\Collection";
    CreateDirectoryA(kept.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(DataPicture("bmp-8bit.bmp").c_str(), (kept + "\\Skin0001.bmp").c_str(), FALSE));
    const std::string opener = folder + "\\opener\\tess_e2e_fake_opener.exe";
    CreateDirectoryA((folder + "\\opener").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(WindowsPath(TESS_FAKE_OPENER).c_str(), opener.c_str(), FALSE));
    const std::string log = folder + "\\opener\\opened.log";

    ASSERT_OK(AssociateExtension(".bmp", "TessaryTest.Bitmap", "\"" + opener + "\" \"%1\""));
    start();
    openCollection();
    ASSERT_OK(Click(in("Command2")));
    EXPECT_NE(MUST(WaitForLines(log, 1, "the bitmap's program to run")).find("Skin0001.bmp"), std::string::npos);
    EXPECT_EQ(Caption(collection), kept + "\\Skin0001.bmp");
    EXPECT_FALSE(FindMessageBox(program->processId(), "Tessary", Timeout{1500}).ok());

    // Without an association the shell's refusal is told in the table's words.
    ASSERT_OK(RemoveAssociation(".bmp"));
    ASSERT_OK(Click(in("Command2")));
    const std::string said = answer("Tessary", IDOK);
    EXPECT_TRUE(said == "No association for file extension" || said == "File not found" ||
                said == "Unknown error" || said == "Incomplete or invalid file association")
        << said;
}

TEST_F(CollectionE2E, SendProblemStartsTheBrowserWithTheFeedbackPage) {
    const std::string opener = folder + "\\opener\\tess_e2e_fake_opener.exe";
    CreateDirectoryA((folder + "\\opener").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(WindowsPath(TESS_FAKE_OPENER).c_str(), opener.c_str(), FALSE));
    ASSERT_OK(AssociateExtension(".htm", "TessaryTest.Page", "\"" + opener + "\" \"%1\""));
    start();
    ASSERT_OK(PickMenuItem(main, {"&Help", "&Send Problem"}));
    const std::string log = folder + "\\opener\\opened.log";
    const std::string line = MUST(WaitForLines(log, 1, "the browser to run"));
    EXPECT_NE(line.find("tess_e2e_fake_opener.exe"), std::string::npos) << line;
    EXPECT_NE(line.find("http://www.tessary.example/guestbook/sign.html"), std::string::npos) << line;
    ASSERT_OK(WaitUntil([&] { return !FileExists(folder + "\\Test.htm"); }, "Test.htm gone"));
    EXPECT_FALSE(FindMessageBox(program->processId(), "Browser Not Found...", Timeout{1000}).ok());
}

TEST_F(CollectionE2E, AboutIsModalAndClosesWithOkAndEsc) {
    start();
    for (UINT closeKey : {0u, static_cast<UINT>(VK_ESCAPE)}) {
        HWND about = pickForWindow({"&Help", "&About"}, "About");
        ASSERT_NE(about, nullptr);
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_EQ(MUST(Text(MUST(FindControl(about, "Label1")))), "Tessary 1.0");
        if (closeKey)
            ASSERT_OK(PressKey(about, closeKey));
        else
            ASSERT_OK(Click(MUST(FindControl(about, "OKButton"))));
        ASSERT_OK(WaitForWindowGone(about));
        ASSERT_OK(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, "the main window enabled"));
    }
}

// A skin maker whose folder no program may write, as Program Files is to a standard user: the
// runner (run-read-only.sh) names it in TESS_E2E_READ_ONLY_FOLDER, a read-only mount holding a
// copy of Tessary.exe.
class ReadOnlyFolderE2E : public SkinMakerSession {
protected:
    void SetUp() override {
        const char* given = std::getenv("TESS_E2E_READ_ONLY_FOLDER");
        ASSERT_NE(given, nullptr) << "run through run-read-only.sh, which names the read-only folder";
        folder = WindowsPath(given);
        ASSERT_TRUE(FileExists(folder + "\\Tessary.exe")) << folder;
        RegDeleteKeyA(HKEY_CURRENT_USER, kToolbarKey);
    }
};

TEST_F(ReadOnlyFolderE2E, TheSkinAndTheCollectionGoToTheUsersLocalData) {
    char local[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local), S_OK);
    const std::string data = std::string(local) + "\\Tessary";
    start();
    browse(DataPicture("bmp-24bit.bmp"));
    apply(IDYES);

    // The value names the real file in the user's own folder, which any program reads.
    EXPECT_EQ(toolbarValue(), data + "\\Skin.bmp");
    HBITMAP skin = static_cast<HBITMAP>(
        LoadImageA(nullptr, (data + "\\Skin.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(skin, nullptr) << GetLastError();
    BITMAP shape{};
    EXPECT_EQ(GetObjectA(skin, sizeof shape, &shape), static_cast<int>(sizeof shape));
    DeleteObject(skin);
    EXPECT_EQ(shape.bmWidth, 800);
    EXPECT_EQ(shape.bmHeight, 133);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(data + "\\Collection\\Skin0001.bmp"); }, "the kept skin").ok());
    EXPECT_EQ(MUST(ReadFileBytes(data + "\\Collection\\Skin0001.bmp")), MUST(ReadFileBytes(data + "\\Skin.bmp")));
}

} // namespace
} // namespace tess::e2e

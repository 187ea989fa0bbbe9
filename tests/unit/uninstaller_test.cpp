// The uninstaller over in-memory files and registry: the removal's order and what it survives,
// the check that keeps it out of foreign folders, and its window's questions and reports.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/product.h"
#include "platform/system_info.h"
#include "platform/path_text.h"
#include "skinmaker/m_pic.h"
#include "tests/support/code_page_932.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_registry.h"
#include "ui/headless/headless_host.h"
#include "uninstaller/folder_check.h"
#include "uninstaller/frm_uninstall.h"
#include "uninstaller/product_removal.h"

using namespace tess;
using namespace tess::uninstaller;
using namespace tess::testing;

namespace {

const std::string kApp = "C:\\Program Files\\Tessary";
const std::string kPrograms = "C:\\All\\Programs";
const std::string kGroup = kPrograms + "\\Tessary";
// Where an earlier version put its group: the user's own Programs folder.
const std::string kUserPrograms = "C:\\Users\\me\\Start Menu\\Programs";
const std::string kUserGroup = kUserPrograms + "\\Tessary";
// The temporary copy's own folder, on the application folder's volume.
const std::string kCopyFolder = "C:\\Temp\\Tessary-copy";
using skinmaker::kBackBitmapValue;
using skinmaker::kToolbarKey;

// The Programs folders as the system names them; an empty path for one it cannot find.
std::function<std::string(int)> ShellFolders(const std::string& common = kPrograms,
                                             const std::string& user = kUserPrograms) {
    return [=](int csidl) {
        return csidl == platform::kCsidlCommonPrograms ? common : csidl == platform::kCsidlPrograms ? user : "";
    };
}

class Removal : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Tessary.exe", "remover.exe", "Skin.bmp", "Collection\\Skin1.bmp",
                                 "Collection\\Skin2.bmp"})
            files.addFile(kApp + "\\" + name);
        files.addFile(kGroup + "\\Tessary.lnk");
        files.addFile(kGroup + "\\Uninstall Tessary.lnk");
        files.addFile(kUserGroup + "\\Tessary.lnk");
        files.addFile(kUserGroup + "\\Uninstall Tessary.lnk");
        files.addFile(kPrograms + "\\Other\\Other.lnk");
        files.addFile(kUserPrograms + "\\Other\\Other.lnk");
        files.addFile("C:\\Program Files\\Neighbour\\keep.txt");
        put(product::kUninstallKey, "UninstallString", "\"" + kApp + "\\remover.exe\"");
        put(product::kAppPathKey, "Path", kApp + "\\Tessary.exe");
        put(product::kSettingsKey, "Last", "1");
        platform::RegKey k = 0;
        ASSERT_EQ(registry.CreateKey(platform::kHKeyCurrentUser, kToolbarKey, &k), platform::kErrorSuccess);
        const std::string skin = kApp + "\\Skin.bmp";
        registry.SetValueEx(k, "BackBitmap", platform::kRegSz, reinterpret_cast<const uint8_t*>(skin.data()),
                            static_cast<uint32_t>(skin.size()));
        registry.CloseKey(k);
    }
    void put(const std::string& key, const std::string& name, const std::string& value) {
        platform::RegKey k = 0;
        ASSERT_EQ(registry.CreateKey(platform::kHKeyLocalMachine, key, &k), platform::kErrorSuccess);
        registry.SetValueEx(k, name, platform::kRegSz, reinterpret_cast<const uint8_t*>(value.data()),
                            static_cast<uint32_t>(value.size()));
        registry.CloseKey(k);
    }
    RemovalReport remove(const std::string& programs = kPrograms, const std::string& own = {},
                         const std::string& userPrograms = kUserPrograms) {
        return RemoveProduct(files, registry, kApp, ShellFolders(programs, userPrograms), own);
    }

    MemoryFileSystem files;
    MemoryRegistry registry;
};

TEST_F(Removal, TakesEverythingInOrderAndLeavesTheToolbarValueAndTheNeighbours) {
    const RemovalReport report = remove();
    EXPECT_TRUE(report.complete());
    EXPECT_TRUE(report.stayed.empty());
    // Entry by entry, never through the shell's recursive deletion; of the earlier per-user
    // group only the product's shortcuts; the application folder last, after the uninstall entry.
    EXPECT_EQ(files.log, (std::vector<std::string>{"tree " + kGroup,
                                                   "tree " + kUserGroup + " only Tessary.lnk, Uninstall Tessary.lnk",
                                                   "tree " + kApp}));
    EXPECT_FALSE(files.FolderExists(kApp));
    EXPECT_FALSE(files.FolderExists(kGroup));
    EXPECT_FALSE(files.FolderExists(kUserGroup));
    EXPECT_TRUE(files.FileExists(kUserPrograms + "\\Other\\Other.lnk"));
    for (const char* key : {product::kUninstallKey, product::kAppPathKey, product::kSettingsKey})
        EXPECT_FALSE(registry.KeyExists(platform::kHKeyLocalMachine, key)) << key;
    EXPECT_TRUE(files.FileExists(kPrograms + "\\Other\\Other.lnk"));
    EXPECT_TRUE(files.FileExists("C:\\Program Files\\Neighbour\\keep.txt"));
    const auto toolbar = registry.Stored(platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue);
    ASSERT_TRUE(toolbar.has_value());
    EXPECT_EQ(std::string(toolbar->bytes.begin(), toolbar->bytes.end()), kApp + "\\Skin.bmp");
}

TEST_F(Removal, MissingPiecesDoNotStopTheRest) {
    // An empty collection, no skin, keys removed by hand, no program group.
    MemoryFileSystem bare;
    bare.addFile(kApp + "\\Tessary.exe");
    bare.addFolder(kApp + "\\Collection");
    ASSERT_EQ(registry.DeleteKey(platform::kHKeyLocalMachine, product::kUninstallKey), platform::kErrorSuccess);
    ASSERT_EQ(registry.DeleteKey(platform::kHKeyLocalMachine, product::kSettingsKey), platform::kErrorSuccess);
    const RemovalReport report = RemoveProduct(bare, registry, kApp, ShellFolders());
    EXPECT_TRUE(report.complete());
    EXPECT_FALSE(bare.FolderExists(kApp));
    EXPECT_FALSE(registry.KeyExists(platform::kHKeyLocalMachine, product::kAppPathKey));

    // A second run finds nothing and still says so truthfully.
    EXPECT_TRUE(RemoveProduct(bare, registry, kApp, ShellFolders()).complete());
}

TEST_F(Removal, WhatCouldNotGoIsReported) {
    files.holdOpen(kApp + "\\Collection\\Skin2.bmp");
    registry.RefuseKey(platform::kHKeyLocalMachine, product::kAppPathKey);
    // A folder that cannot be listed is named, not taken for empty.
    files.addFile(kApp + "\\Locked\\secret.txt");
    files.refuseListing(kApp + "\\Locked");
    // The user's own files in an earlier version's group are no shortcuts of the product's.
    files.addFile(kUserGroup + "\\notes.txt");
    files.addFile(kUserGroup + "\\Mine\\Tessary.lnk");
    const RemovalReport report = remove();
    EXPECT_FALSE(report.complete());
    EXPECT_EQ(report.stayed,
              (std::vector<std::string>{kApp + "\\Collection\\Skin2.bmp", kApp + "\\Locked (it could not be listed)",
                                        std::string("HKEY_LOCAL_MACHINE\\") + product::kAppPathKey,
                                        kUserGroup}));
    EXPECT_TRUE(files.FileExists(kUserGroup + "\\notes.txt"));
    EXPECT_TRUE(files.FileExists(kUserGroup + "\\Mine\\Tessary.lnk"));
    EXPECT_FALSE(files.FileExists(kUserGroup + "\\Tessary.lnk"));
    EXPECT_FALSE(files.FileExists(kUserGroup + "\\Uninstall Tessary.lnk"));
    // Everything else went, the keys on either side of the refused one included.
    EXPECT_FALSE(files.FileExists(kApp + "\\Tessary.exe"));
    EXPECT_FALSE(files.FileExists(kApp + "\\Collection\\Skin1.bmp"));
    EXPECT_FALSE(registry.KeyExists(platform::kHKeyLocalMachine, product::kUninstallKey));
    EXPECT_FALSE(registry.KeyExists(platform::kHKeyLocalMachine, product::kSettingsKey));
    EXPECT_FALSE(files.FolderExists(kGroup));
}

TEST_F(Removal, WithoutAProgramsFolderTheRootOfTheDriveIsLeftAlone) {
    files.addFile("C:\\Tessary\\unrelated.txt");
    files.addFile("C:\\Tessary\\Tessary.lnk");
    const RemovalReport report = remove("", {}, "");
    EXPECT_TRUE(report.noProgramsFolder);
    EXPECT_FALSE(report.complete());
    EXPECT_TRUE(report.stayed.empty());
    EXPECT_TRUE(files.FileExists("C:\\Tessary\\unrelated.txt"));
    EXPECT_TRUE(files.FileExists("C:\\Tessary\\Tessary.lnk"));
    EXPECT_TRUE(files.FolderExists(kGroup));
    for (const std::string& step : files.log)
        EXPECT_EQ(step.find(" \\Tessary"), std::string::npos) << step;
}

TEST_F(Removal, TheRunningUninstallersOwnFileIsToldApart) {
    const std::string own = kApp + "\\remover.exe";
    files.run(own);
    const RemovalReport report = remove(kPrograms, own);
    EXPECT_TRUE(report.heldFileLeft);
    EXPECT_TRUE(report.complete());
    EXPECT_TRUE(files.FileExists(own));

    // Anything else left beside it is still reported.
    MemoryFileSystem busy;
    busy.addFile(own);
    busy.addFile(kApp + "\\Skin.bmp");
    busy.run(own);
    busy.holdOpen(kApp + "\\Skin.bmp");
    const RemovalReport partly = RemoveProduct(busy, registry, kApp, ShellFolders(), own);
    EXPECT_FALSE(partly.heldFileLeft);
    EXPECT_EQ(partly.stayed, std::vector<std::string>{kApp + "\\Skin.bmp"});
}

TEST_F(Removal, LinksGoAsLinksAndNothingBehindThemIsTouched) {
    // A collection that points at the user's pictures, a file link, and a link in the group.
    MemoryFileSystem linked;
    linked.addFile(kApp + "\\Tessary.exe");
    linked.addLink(kApp + "\\Collection", "D:\\Photos", true);
    linked.addLink(kApp + "\\Help\\notes.txt", "D:\\Docs\\notes.txt", false);
    linked.addLink(kGroup + "\\Pictures", "D:\\Photos", true);
    linked.addFile(kGroup + "\\Tessary.lnk");
    for (const char* kept : {"D:\\Photos\\holiday.bmp", "D:\\Photos\\Trip\\day1.bmp", "D:\\Docs\\notes.txt"})
        linked.addFile(kept);
    const RemovalReport report = RemoveProduct(linked, registry, kApp, ShellFolders());
    EXPECT_TRUE(report.complete()) << ::testing::PrintToString(report.stayed);
    for (const char* kept : {"D:\\Photos\\holiday.bmp", "D:\\Photos\\Trip\\day1.bmp", "D:\\Docs\\notes.txt"})
        EXPECT_TRUE(linked.FileExists(kept)) << kept;
    EXPECT_FALSE(linked.FolderExists(kApp));
    EXPECT_FALSE(linked.FolderExists(kGroup));

    // An application folder or group that is itself a link goes as one; what it points to stays,
    // and the report says so instead of calling the removal complete. No shortcut is deleted
    // through a link in an earlier group's place either.
    MemoryFileSystem swapped;
    swapped.addFile("D:\\Real\\Tessary\\Tessary.exe");
    swapped.addFile("D:\\Real\\Group\\Tessary.lnk");
    swapped.addFile("D:\\Real\\Other\\Tessary.lnk");
    swapped.addLink(kApp, "D:\\Real\\Tessary", true);
    swapped.addLink(kGroup, "D:\\Real\\Group", true);
    swapped.addLink(kUserGroup, "D:\\Real\\Other", true);
    const RemovalReport throughLinks = RemoveProduct(swapped, registry, kApp, ShellFolders());
    EXPECT_EQ(swapped.logged("unlink"), (std::vector<std::string>{kGroup, kApp}));
    EXPECT_TRUE(swapped.FileExists("D:\\Real\\Tessary\\Tessary.exe"));
    EXPECT_TRUE(swapped.FileExists("D:\\Real\\Group\\Tessary.lnk"));
    EXPECT_TRUE(swapped.FileExists("D:\\Real\\Other\\Tessary.lnk"));
    EXPECT_FALSE(swapped.FolderExists(kApp));
    EXPECT_FALSE(swapped.FolderExists(kGroup));
    EXPECT_FALSE(swapped.FolderExists(kUserGroup));
    EXPECT_FALSE(throughLinks.complete());
    EXPECT_EQ(throughLinks.stayed,
              (std::vector<std::string>{"D:\\Real\\Tessary, which " + kApp + " was a link to",
                                        "D:\\Real\\Group, which " + kGroup + " was a link to"}));
}

// Names the code page spells only by look-alikes ("..＼..＼victim.txt", listed as "..?..?victim.txt")
// go by their exact names, and a folder swapped for a link once it was looked at goes as a link:
// neither reaches a file outside.
TEST_F(Removal, LookAlikeNamesAndASwappedFolderReachNothingOutside) {
    files.addFile(kApp + "\\..?..?victim.txt");
    files.addFile(kApp + "\\Collection\\..?..?victim.txt");
    files.addFile("C:\\victim.txt", "keep");
    files.addFile("C:\\Program Files\\victim.txt", "keep");
    EXPECT_TRUE(remove().complete());
    EXPECT_FALSE(files.FolderExists(kApp));
    EXPECT_EQ(files.contents("C:\\victim.txt"), "keep");
    EXPECT_EQ(files.contents("C:\\Program Files\\victim.txt"), "keep");

    MemoryFileSystem swapped;
    swapped.addFile(kApp + "\\Tessary.exe");
    swapped.addFile("D:\\Outside\\keep.txt");
    swapped.beforeChange = [&](const std::string& entry) {
        if (entry == "tree " + kApp)
            swapped.addLink(kApp, "D:\\Outside", true);
    };
    (void)RemoveProduct(swapped, registry, kApp, ShellFolders());
    EXPECT_TRUE(swapped.FileExists("D:\\Outside\\keep.txt"));
    EXPECT_FALSE(swapped.IsLink(kApp));
}

TEST(FolderCheck, PathsCompareAsTheSystemDoes) {
    using platform::SamePath;
    EXPECT_TRUE(SamePath("C:\\Program Files\\Tessary", "c:\\program files\\TESSARY\\"));
    EXPECT_TRUE(SamePath("C:\\\\Tessary", "C:\\Tessary"));
    EXPECT_TRUE(SamePath("C:/Tools/Tessary", "C:\\Tools\\Tessary"));
    EXPECT_TRUE(SamePath("\\\\server\\share\\Tessary", "\\\\SERVER\\share\\Tessary"));
    EXPECT_FALSE(SamePath("\\\\server\\share", "\\server\\share"));
    EXPECT_FALSE(SamePath("C:\\Tessary", "C:\\Tessary2"));

    // In code page 932 "ソ" is 0x83 0x5C and "ア" 0x83 0x41: their second bytes are no backslash
    // and no capital, while the ASCII letters around them still fold.
    const std::string so = "\x83\x5C";
    const platform::CodePage singleBytes;
    EXPECT_TRUE(SamePath("C:\\" + so + "\\Tessary", "C:\\" + so + "Tessary", singleBytes));
    EXPECT_FALSE(SamePath("C:\\" + so + "\\Tessary", "C:\\" + so + "Tessary", kCodePage932));
    EXPECT_FALSE(SamePath("C:\\" + so, "C:\\\x83", kCodePage932));
    EXPECT_TRUE(SamePath("C:\\" + so + "\\Tessary\\", "c:\\" + so + "\\TESSARY", kCodePage932));
    EXPECT_FALSE(SamePath("C:\\\x83\x41", "C:\\\x83\x61", kCodePage932));
    EXPECT_TRUE(SamePath("C:\\X\x83\x41", "c:\\x\x83\x41", kCodePage932));
    EXPECT_EQ(CommandFolder("\"C:\\" + so + "\\remover.exe\"", kCodePage932), "C:\\" + so);

    EXPECT_EQ(CommandFolder("\"C:\\Program Files\\Tessary\\remover.exe\""),
              "C:\\Program Files\\Tessary");
    EXPECT_EQ(CommandFolder("C:\\Tessary\\remover.exe"), "C:\\Tessary");
    EXPECT_EQ(CommandFolder("  \"C:\\A B\\Tessary\\remover.exe\" /x"), "C:\\A B\\Tessary");
    EXPECT_EQ(CommandFolder("remover.exe"), "");
    EXPECT_EQ(CommandFolder(""), "");
}

TEST_F(Removal, OnlyTheInstalledFolderIsAccepted) {
    EXPECT_TRUE(CheckApplicationFolder(registry, files, kApp).installed);
    EXPECT_TRUE(CheckApplicationFolder(registry, files, "c:\\program files\\tessary").installed);

    const FolderCheck desktop = CheckApplicationFolder(registry, files, "C:\\Users\\me\\Desktop");
    EXPECT_FALSE(desktop.installed);
    EXPECT_NE(desktop.reason.find("C:\\Users\\me\\Desktop"), std::string::npos);
    // A folder of the right name that the entry does not name.
    files.addFile("D:\\Old\\Tessary\\Tessary.exe");
    const FolderCheck old = CheckApplicationFolder(registry, files, "D:\\Old\\Tessary");
    EXPECT_FALSE(old.installed);
    EXPECT_NE(old.reason.find(kApp), std::string::npos);

    // With the entry gone, a folder that still holds the skin maker is accepted, an empty one not.
    ASSERT_EQ(registry.DeleteKey(platform::kHKeyLocalMachine, product::kUninstallKey), platform::kErrorSuccess);
    EXPECT_TRUE(CheckApplicationFolder(registry, files, "D:\\Old\\Tessary").installed);
    EXPECT_FALSE(CheckApplicationFolder(registry, files, "D:\\Empty\\Tessary").installed);
    // A drive root is never a program folder, whatever the entry says.
    put(product::kUninstallKey, "UninstallString", "C:\\remover.exe");
    EXPECT_FALSE(CheckApplicationFolder(registry, files, "C:").installed);
    EXPECT_FALSE(CheckApplicationFolder(registry, files, "C:\\").installed);

    // In code page 932 a folder named "ソTessary" ends in the bytes "\Tessary", and is not the
    // application folder "Tessary" in the folder "ソ" that the entry names.
    const std::string folderSo = "C:\\\x83\x5C";
    put(product::kUninstallKey, "UninstallString", "\"" + folderSo + "\\Tessary\\remover.exe\"");
    EXPECT_TRUE(CheckApplicationFolder(registry, files, folderSo + "\\Tessary", kCodePage932).installed);
    const FolderCheck named = CheckApplicationFolder(registry, files, folderSo + "Tessary", kCodePage932);
    EXPECT_FALSE(named.installed);
    EXPECT_NE(named.reason.find(std::string("not a ") + product::kName + " program folder"), std::string::npos)
        << named.reason;
}

class UninstallWindow : public Removal {
protected:
    UninstallEnv env() {
        // The system's icons are 32 pixels at 96 DPI (15 twips a pixel), 48 at 144 (10).
        const auto icon = [](double twipsPerPixel) {
            const int side = static_cast<int>(std::lround(480 / twipsPerPixel));
            return Picture::FromRgba(side, side, std::vector<uint8_t>(side * side * 4, 200).data()).value();
        };
        UninstallEnv made{host, registry, files, kApp, ShellFolders(), icon, own};
        made.removeAtRestart = [this](const std::string& path) {
            atRestart.push_back(path);
            return true;
        };
        made.closeRunningCopy = [this] { ++closeRequests; };
        return made;
    }

    ui::HeadlessHost host{"Uninstaller"};
    // Start answered Yes, the report OK: what was asked.
    const std::vector<ui::HeadlessHost::AskedBox>& reportAfterYes(UninstallEnv& e) {
        Uninstall window(e);
        host.showOrReport(window.form, false);
        host.answerNext(ui::kIdYes);
        host.answerNext(ui::kIdOk);
        window.Command1.press();
        return host.asked();
    }

    std::string own = "C:\\Users\\me\\AppData\\Local\\Temp\\tes1.tmp";
    std::vector<std::string> atRestart;
    int closeRequests = 0;
};

TEST_F(UninstallWindow, ShowsItsControlsAndAsksTheSkinMakerToClose) {
    UninstallEnv e = env();
    Uninstall window(e);
    EXPECT_EQ(window.form.caption(), "Uninstall");
    EXPECT_EQ(window.form.borderStyle(), ui::Form::Border::FixedSingle);
    EXPECT_TRUE(window.form.centred());
    EXPECT_EQ(window.Label1.caption(), "Uninstall Tessary");
    EXPECT_EQ(window.Label1.font(), (ui::FontSpec{"MS Sans Serif", 13.5, false}));
    EXPECT_EQ(window.Label2.caption(), "Click Strat to Start Tessary Unstalltion");
    EXPECT_EQ(window.Command1.caption(), "Start");
    EXPECT_EQ(window.Command2.rect(), (ui::TwipsRect{2580, 1020, 1095, 405}));
    window.Form_Load();
    EXPECT_EQ(closeRequests, 1);
    ASSERT_TRUE(window.Image1.picture());
    // The box takes the icon's own size: 32 pixels of 15 twips.
    EXPECT_EQ(window.Image1.rect(), (ui::TwipsRect{120, 150, 480, 480}));
    // On a monitor of 144 DPI the icon is made again at the size the system gives it there.
    window.form.dpiChanged(10);
    ASSERT_TRUE(window.Image1.picture());
    EXPECT_EQ(window.Image1.picture()->width(), 48);
    EXPECT_EQ(window.Image1.rect(), (ui::TwipsRect{120, 150, 480, 480}));
}

TEST_F(UninstallWindow, NoKeepsEverythingAndYesRemovesAndReports) {
    UninstallEnv e = env();
    Uninstall window(e);
    window.Form_Load();
    host.showOrReport(window.form, false);
    host.answerNext(ui::kIdNo);
    window.Command1.press();
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Do you want to uninstall Tessary");
    EXPECT_EQ(host.asked()[0].flags, 292);
    EXPECT_EQ(host.asked()[0].caption, "Tessary");
    EXPECT_TRUE(files.log.empty());
    EXPECT_TRUE(registry.KeyExists(platform::kHKeyLocalMachine, product::kUninstallKey));
    EXPECT_FALSE(host.ended());

    host.answerNext(ui::kIdYes);
    host.answerNext(ui::kIdOk);
    window.Command1.press();
    ASSERT_EQ(host.asked().size(), 3u);
    EXPECT_EQ(host.asked()[2].text, "Uninstallation Complete");
    EXPECT_EQ(host.asked()[2].flags, 0);
    EXPECT_EQ(host.asked()[2].caption, "Uninstaller");
    EXPECT_TRUE(host.ended());
    EXPECT_EQ(host.exitCode(), kExitRemoved);
    EXPECT_FALSE(files.FolderExists(kApp));
    EXPECT_TRUE(atRestart.empty());
}

TEST_F(UninstallWindow, AForeignFolderIsRefusedWithoutAQuestion) {
    files.addFile("C:\\Users\\me\\Desktop\\notes.txt");
    files.addFile("C:\\Users\\me\\Desktop\\remover.exe");
    UninstallEnv e = env();
    e.appDir = "C:\\Users\\me\\Desktop";
    e.copyFiles = {kCopyFolder + "\\remover.exe", kCopyFolder};
    Uninstall window(e);
    host.showOrReport(window.form, false);
    host.answerNext(ui::kIdOk);
    window.Command1.press();
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text.rfind("Nothing was removed: ", 0), 0u) << host.asked()[0].text;
    EXPECT_EQ(host.asked()[0].flags, ui::kMbIconExclamation);
    EXPECT_TRUE(files.log.empty());
    EXPECT_TRUE(files.FileExists("C:\\Users\\me\\Desktop\\notes.txt"));
    EXPECT_TRUE(registry.KeyExists(platform::kHKeyLocalMachine, product::kUninstallKey));
    EXPECT_FALSE(host.ended());
    window.Command2.press();
    EXPECT_TRUE(host.ended());
    EXPECT_EQ(host.exitCode(), kExitNothingRemoved);
    // A copy refused its folder, then closed, leaves nothing for the next start.
    EXPECT_TRUE(atRestart.empty());
}

TEST_F(UninstallWindow, WhatStayedIsNamed) {
    files.holdOpen(kApp + "\\Skin.bmp");
    UninstallEnv e = env();
    ASSERT_EQ(reportAfterYes(e).size(), 2u);
    EXPECT_EQ(host.asked()[1].text,
              "Uninstallation is not complete. These could not be removed:\r\n" + kApp +
                  "\\Skin.bmp");
    EXPECT_EQ(host.asked()[1].flags, ui::kMbIconExclamation);
    EXPECT_TRUE(host.ended());
    EXPECT_EQ(host.exitCode(), kExitNotComplete);
}

TEST_F(UninstallWindow, RunFromTheApplicationFolderItsOwnFileIsLeftForTheRestart) {
    own = kApp + "\\remover.exe";
    files = MemoryFileSystem();
    files.addFile(own);
    files.run(own);
    put(product::kUninstallKey, "UninstallString", "\"" + own + "\"");
    UninstallEnv e = env();
    ASSERT_EQ(reportAfterYes(e).size(), 2u);
    EXPECT_EQ(host.asked()[1].text, "Uninstallation Complete\r\n\r\nThe uninstaller itself will be "
                                    "removed when the computer restarts.");
    EXPECT_EQ(atRestart, (std::vector<std::string>{own, kApp}));
    EXPECT_EQ(host.exitCode(), kExitRemovedAtRestart);
}

TEST_F(UninstallWindow, TheCopyGoesAtTheRestartOnlyAfterYesAndMovesTheWaitingOriginalAside) {
    own = kApp + "\\remover.exe";
    files.run(own);
    files.addFolder(kCopyFolder);
    std::vector<std::string> setAside;
    UninstallEnv e = env();
    e.copyFiles = {kCopyFolder + "\\remover.exe", kCopyFolder};
    e.setAside = [&](const std::string& path) {
        setAside.push_back(path);
        return files.MoveReplacing(path, kCopyFolder + "\\installed-remover.exe").ok();
    };
    Uninstall declined(e);
    host.showOrReport(declined.form, false);
    host.answerNext(ui::kIdNo);
    declined.Command1.press();
    EXPECT_TRUE(atRestart.empty());
    EXPECT_TRUE(setAside.empty());
    ASSERT_EQ(reportAfterYes(e).size(), 3u);
    EXPECT_EQ(setAside, std::vector<std::string>{own});
    EXPECT_EQ(host.asked()[2].text, "Uninstallation Complete");
    EXPECT_FALSE(files.FolderExists(kApp));
    // The copy's file, then its folder; the set-aside original is scheduled by the move itself.
    EXPECT_EQ(atRestart, e.copyFiles);
    EXPECT_EQ(host.exitCode(), kExitRemoved);
}

TEST_F(UninstallWindow, AnOwnFileThatCannotBeLeftForTheRestartAndAMissingGroupAreReported) {
    own = kApp + "\\remover.exe";
    files.run(own);
    UninstallEnv e = env();
    e.removeAtRestart = [](const std::string&) { return false; };
    e.shellFolder = ShellFolders("");
    ASSERT_EQ(reportAfterYes(e).size(), 2u);
    EXPECT_EQ(host.asked()[1].text,
              "Uninstallation is not complete. These could not be removed:\r\n" + own +
                  "\r\nthe Start menu group (the Programs folder could not be found)");
    EXPECT_EQ(host.exitCode(), kExitNotComplete);
}

} // namespace

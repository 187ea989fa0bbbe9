// Every interrupted step recovers: the installation, a reinstallation over a working one, the
// removal, "&Apply" and the collection's addition, each cut short after every one of its changes
// in turn; what is left is held to what a user may find, and the program run again on it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ascii_case.h"
#include "core/product.h"
#include "installer/installation.h"
#include "platform/picture_files.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/ie_main.h"
#include "skinmaker/m_pic.h"
#include "tests/support/crash_clock.h"
#include "tests/support/fake_install_services.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_registry.h"
#include "tests/support/scripted_shell.h"
#include "tests/support/test_pictures.h"
#include "ui/headless/headless_host.h"
#include "ui/headless/scripted_dialogs.h"
#include "uninstaller/folder_check.h"
#include "uninstaller/frm_uninstall.h"

using namespace tess;
using namespace tess::skinmaker;
using namespace tess::testing;

namespace {

const std::string kSetupFolder = "D:\\Downloads";
const std::string kCabinet = kSetupFolder + "\\tess10.cab";
const std::string kInstallDir = "C:\\Program Files";
const std::string kApp = kInstallDir + "\\Tessary";
const std::string kSkinMaker = kApp + "\\Tessary.exe";
const std::string kRemover = kApp + "\\remover.exe";
// The common Programs folder FakeSystem names, and the user's own.
const std::string kGroup = "C:\\All\\Programs\\Tessary";
const std::string kUserPrograms = "C:\\Users\\me\\Start Menu\\Programs";
// The folder the waiting uninstaller made for its copy, which takes the installed file aside.
const std::string kCopyFolder = "C:\\Temp\\Tessary-copy";
// The skin maker's data folder, apart from the programs, as a standard user's is.
const std::string kData = "C:\\Users\\me\\AppData\\Local\\Tessary";
const std::string kPicture = "C:\\Users\\me\\Pictures\\photo.bmp";

// A pair of programs as one version's cabinet packs them.
struct Pair {
    std::string skinMaker, remover;
    std::map<std::string, std::string> entries() const {
        return {{product::kProgramFile, skinMaker}, {product::kUninstallerFile, remover}};
    }
};
const Pair kOld{std::string(1400, 't'), std::string(600, 'r')};
const Pair kNew{std::string(1500, 'T'), std::string(700, 'R')};

// A computer: its files and its registry, as one program leaves them to the next.
struct Machine {
    MemoryFileSystem files;
    std::unique_ptr<MemoryRegistry> registry = std::make_unique<MemoryRegistry>();

    // The same computer started again: no program holds a file, no key is open.
    Machine restarted() const { return {files.restarted(), registry->Restarted()}; }
    // Every file, folder, key and value, to compare computers by.
    std::map<std::string, std::string> state() const {
        std::map<std::string, std::string> all;
        for (const auto& [path, what] : files.snapshot())
            all["file " + path] = what;
        for (const auto& [key, what] : registry->Contents())
            all["registry " + key] = what;
        return all;
    }
};

// Where two states differ, one line each with the start of both values, or nothing.
std::vector<std::string> Differences(const std::map<std::string, std::string>& found,
                                     const std::map<std::string, std::string>& expected) {
    const auto shown = [](const std::map<std::string, std::string>& state, const std::string& key) {
        const auto at = state.find(key);
        return at == state.end() ? std::string("(absent)") : at->second.substr(0, 40);
    };
    std::map<std::string, std::string> all = found;
    all.insert(expected.begin(), expected.end());
    std::vector<std::string> lines;
    for (const auto& [key, what] : all)
        if (shown(found, key) != shown(expected, key) || found.count(key) != expected.count(key))
            lines.push_back(key + ": " + shown(found, key) + " where " + shown(expected, key) + " was expected");
    return lines;
}

void ExpectSame(const std::map<std::string, std::string>& found, const std::map<std::string, std::string>& expected) {
    EXPECT_EQ(Differences(found, expected), std::vector<std::string>{});
}

bool Below(const std::string& path, const std::string& folder) {
    const std::string p = AsciiLower(path), f = AsciiLower(folder);
    return p == f || p.rfind(f + "\\", 0) == 0;
}

// The files of `m` that lie outside `product`: what no step of the product may touch.
std::map<std::string, std::string> FilesOutside(const Machine& m, const std::vector<std::string>& product) {
    std::map<std::string, std::string> outside;
    for (const auto& [path, what] : m.files.snapshot()) {
        bool ours = false;
        for (const std::string& folder : product)
            ours |= Below(path, folder);
        if (!ours)
            outside[path] = what;
    }
    return outside;
}

// The state of `m` without what lies below `left`.
std::map<std::string, std::string> StateWithout(const Machine& m, const std::vector<std::string>& left) {
    std::map<std::string, std::string> kept;
    for (const auto& [key, what] : m.state()) {
        bool dropped = false;
        for (const std::string& path : left)
            dropped |= Below(key, "file " + path);
        if (!dropped)
            kept[key] = what;
    }
    return kept;
}

// Files and keys of other programs around the product's, which nothing may touch.
void AddNeighbours(Machine& m) {
    for (const char* path : {"C:\\Program Files\\Neighbour\\keep.txt", "C:\\All\\Programs\\Other\\Other.lnk",
                             "C:\\Users\\me\\Start Menu\\Programs\\Other.lnk", "D:\\Downloads\\other.zip",
                             "C:\\Temp\\unrelated.txt", "C:\\Users\\me\\AppData\\Local\\Other\\data.bin"})
        m.files.addFile(path, std::string("belongs to ") + path);
    // The keys every system has above the product's, with another program's entry.
    for (const char* key : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Neighbour"}) {
        platform::RegKey made = 0;
        EXPECT_EQ(m.registry->CreateKey(platform::kHKeyLocalMachine, key, &made), platform::kErrorSuccess);
        EXPECT_EQ(m.registry->CloseKey(made), platform::kErrorSuccess);
    }
}

// One step of a program, cut short by the clock. It calls `begin` where the step begins, so that
// what it does before (starting a window, opening a picture) is not counted.
using Operation = std::function<void(Machine&, const std::function<void()>& begin)>;

struct Cut {
    Machine after;  // as the computer's restart finds it
    int changes = 0;  // made by the step
};

// Runs `operation` on a copy of `start` that dies after `stopAfter` changes of the step, or never.
Cut RunCut(const Machine& start, const Operation& operation, std::optional<int> stopAfter) {
    Machine m = start.restarted();
    CrashClock clock;
    m.files.clock = &clock;
    m.registry->UseClock(&clock);
    int before = 0;
    operation(m, [&] {
        before = clock.changes();
        if (stopAfter)
            clock.stopAfter(*stopAfter);
    });
    return {m.restarted(), clock.changes() - before};
}

// The setup program run from kSetupFolder with `pair` in its cabinet, into kInstallDir.
installer::InstallReport RunSetup(Machine& m, const Pair& pair) {
    FakeCabinet cabinet(m.files);
    cabinet.entries = pair.entries();
    FakeLinks links;
    links.files = &m.files;
    FakeSystem system;
    FakeProgramFolders folders(m.files);
    FakeHasher hasher;
    const installer::PackedDigests packed = DigestsOf(cabinet.entries);
    return installer::InstallFiles({m.files, cabinet, *m.registry, links, system, folders, hasher, packed},
                                   kSetupFolder, kInstallDir);
}

// The uninstaller's copy started for `appDir` and answered Yes, while the original waits holding
// its file, which the copy takes aside into its own folder.
void RunRemoval(Machine& m, const std::string& appDir) {
    const std::string original = appDir + "\\" + product::kUninstallerFile;
    m.files.addFolder(kCopyFolder);
    m.files.run(original);
    ui::HeadlessHost host(uninstaller::kUninstallerTitle);
    uninstaller::UninstallEnv env{host, *m.registry, m.files, appDir,
                                  [](int csidl) {
                                      return csidl == platform::kCsidlCommonPrograms ? std::string("C:\\All\\Programs")
                                             : csidl == platform::kCsidlPrograms     ? kUserPrograms
                                                                           : std::string();
                                  },
                                  {}, original};
    env.removeAtRestart = [](const std::string&) { return true; };
    env.setAside = [&](const std::string& path) {
        return m.files.MoveReplacing(path, kCopyFolder + "\\installed-remover.exe").ok();
    };
    env.copyFiles = {kCopyFolder + "\\" + product::kUninstallerFile, kCopyFolder};
    uninstaller::Uninstall window(env);
    host.showOrReport(window.form, false);
    host.answerNext(ui::kIdYes);
    window.Command1.press();
}

std::optional<std::string> Text(const Machine& m, const char* key, const char* name) {
    const auto value = m.registry->Stored(platform::kHKeyLocalMachine, key, name);
    if (!value)
        return std::nullopt;
    return std::string(value->bytes.begin(), value->bytes.end());
}

// Whether the system's list of programs shows the product: an entry with a name and a command.
bool Listed(const Machine& m) {
    return Text(m, product::kUninstallKey, product::kDisplayName) &&
           Text(m, product::kUninstallKey, product::kUninstallString);
}

// The removal as the system's list starts it: the entry's command, which must name a whole
// uninstaller of a version this test installs.
void RunRegisteredRemoval(Machine& m) {
    const std::string command = Text(m, product::kUninstallKey, product::kUninstallString).value_or("");
    const std::string program = command.size() > 2 ? command.substr(1, command.size() - 2) : command;
    const std::optional<std::string> bytes = m.files.contents(program);
    ASSERT_TRUE(bytes == kNew.remover || bytes == kOld.remover) << "the entry's command names no uninstaller: "
                                                               << command;
    RunRemoval(m, uninstaller::CommandFolder(command));
}

// The uninstall entry's values, as the registry holds them.
std::map<std::string, std::string> Entry(const Machine& m) {
    const std::string key = "HKLM\\" + AsciiLower(product::kUninstallKey);
    std::map<std::string, std::string> values;
    for (const auto& [path, what] : m.registry->Contents())
        if (path.rfind(key + "|", 0) == 0)
            values[path.substr(key.size() + 1)] = what;
    return values;
}

// A version as it is installed: its programs in the application folder and its entry.
struct Installed {
    Pair pair;
    std::map<std::string, std::string> entry;
};

bool Holds(const Machine& m, const Installed& version) {
    return m.files.contents(kSkinMaker) == version.pair.skinMaker && m.files.contents(kRemover) == version.pair.remover &&
           Entry(m) == version.entry;
}

// A computer with a version installed by its own setup, the skin and a kept skin in the
// application folder, and other programs' files around it.
Machine InstalledMachine(const Pair& pair, const std::string& version) {
    Machine m;
    AddNeighbours(m);
    m.files.addFile(kCabinet, "cabinet");
    (void)RunSetup(m, pair);
    platform::RegKey key = 0;
    EXPECT_EQ(m.registry->OpenKey(platform::kHKeyLocalMachine, product::kUninstallKey, &key), platform::kErrorSuccess);
    EXPECT_EQ(m.registry->SetValueEx(key, product::kDisplayVersion, platform::kRegSz,
                                     reinterpret_cast<const uint8_t*>(version.data()),
                                     static_cast<uint32_t>(version.size())),
              platform::kErrorSuccess);
    EXPECT_EQ(m.registry->CloseKey(key), platform::kErrorSuccess);
    m.files.addFile(kApp + "\\Skin.bmp", "a skin");
    m.files.addFile(kApp + "\\Collection\\Skin0001.bmp", "a kept skin");
    return m.restarted();
}

// Checks every crash point of a setup run from `start` with the new version's cabinet: at each, a
// whole pair of `versions` with its entry, or no listed entry; the files outside untouched; setup
// run again gives what an uninterrupted run gives; and the removal, from the entry where it is
// listed and after setup where it is not, leaves what it leaves after an uninterrupted setup.
// Returns the number of crash points.
int CheckEverySetupCrash(const Machine& start, const std::vector<Installed>& versions) {
    const Operation setup = [](Machine& m, const std::function<void()>& begin) {
        begin();
        (void)RunSetup(m, kNew);
    };
    const std::vector<std::string> product = {kApp, kGroup, kCabinet, kCopyFolder};
    const Cut whole = RunCut(start, setup, std::nullopt);
    Machine removed = whole.after.restarted();
    RunRemoval(removed, kApp);
    EXPECT_FALSE(removed.files.FolderExists(kApp));
    for (int n = 0; n <= whole.changes; ++n) {
        SCOPED_TRACE("setup cut short after " + std::to_string(n) + " of " + std::to_string(whole.changes) +
                     " changes");
        const Cut cut = RunCut(start, setup, n);
        if (n == 0)
            ExpectSame(cut.after.state(), start.state());
        ExpectSame(FilesOutside(cut.after, product), FilesOutside(start, product));
        if (Listed(cut.after)) {
            bool holdsOne = false;
            for (const Installed& version : versions)
                holdsOne |= Holds(cut.after, version);
            EXPECT_TRUE(holdsOne) << "a listed entry without the whole pair it was written for";
        }

        Machine again = cut.after.restarted();
        EXPECT_EQ(RunSetup(again, kNew).outcome,
                  n < whole.changes ? installer::InstallReport::Outcome::Installed
                                    : installer::InstallReport::Outcome::NoCabinet);
        ExpectSame(again.state(), whole.after.state());

        Machine removing = cut.after.restarted();
        if (!Listed(removing)) {
            // The user runs setup again, from a cabinet fetched anew if this one went.
            if (!removing.files.FileExists(kCabinet))
                removing.files.addFile(kCabinet, "cabinet");
            (void)RunSetup(removing, kNew);
        }
        RunRegisteredRemoval(removing);
        ExpectSame(StateWithout(removing, {kCabinet, kCopyFolder}), StateWithout(removed, {kCabinet, kCopyFolder}));
    }
    return whole.changes + 1;
}

TEST(Recovery, AnInstallationCutShortAnywhereIsTakenOverByTheNextSetupOrRemoval) {
    Machine start;
    AddNeighbours(start);
    start.files.addFolder("C:\\All\\Programs");
    start.files.addFile(kCabinet, "cabinet");
    Machine installed = start.restarted();
    (void)RunSetup(installed, kNew);
    ASSERT_TRUE(Listed(installed));
    EXPECT_GT(CheckEverySetupCrash(start, {{kNew, Entry(installed)}}), 30);
}

TEST(Recovery, AReinstallationCutShortAnywhereLeavesOneWholePairOrNoListedEntry) {
    Machine start = InstalledMachine(kOld, "0.9");
    start.files.addFile(kCabinet, "cabinet");
    Machine updated = start.restarted();
    (void)RunSetup(updated, kNew);
    ASSERT_TRUE(Holds(start, {kOld, Entry(start)}));
    ASSERT_NE(Entry(start), Entry(updated));
    EXPECT_GT(CheckEverySetupCrash(start, {{kOld, Entry(start)}, {kNew, Entry(updated)}}), 30);
}

TEST(Recovery, ARemovalCutShortAnywhereCanBeRunAgainFromTheListOrLeavesOnlyWhatSetupTakesOver) {
    Machine start = InstalledMachine(kNew, product::kVersion);
    start.files.addFolder(kCopyFolder);
    const Installed installed{kNew, Entry(start)};
    const std::vector<std::string> product = {kApp, kGroup, kCopyFolder};
    const Operation removal = [](Machine& m, const std::function<void()>& begin) {
        begin();
        RunRemoval(m, kApp);
    };
    const Cut whole = RunCut(start, removal, std::nullopt);
    EXPECT_FALSE(whole.after.files.contents(kSkinMaker));
    EXPECT_FALSE(whole.after.files.contents(kGroup + "\\Tessary.lnk"));
    EXPECT_FALSE(Listed(whole.after));
    for (int n = 0; n <= whole.changes; ++n) {
        SCOPED_TRACE("removal cut short after " + std::to_string(n) + " of " + std::to_string(whole.changes) +
                     " changes");
        const Cut cut = RunCut(start, removal, n);
        if (n == 0)
            ExpectSame(cut.after.state(), start.state());
        ExpectSame(FilesOutside(cut.after, product), FilesOutside(start, product));
        Machine again = cut.after.restarted();
        if (Listed(again)) {
            EXPECT_TRUE(Holds(again, installed)) << "a listed entry without the whole pair it was written for";
        } else {
            again.files.addFile(kCabinet, "cabinet");
            (void)RunSetup(again, kNew);
        }
        RunRegisteredRemoval(again);
        ExpectSame(StateWithout(again, {kCabinet}), StateWithout(whole.after, {kCabinet}));
    }
    EXPECT_GT(whole.changes, 10);
}

// The skin maker started on `m`, with kPicture opened through "&Browse", then "&Apply" pressed at
// `begin` and the question of the collection answered.
void Apply(Machine& m, const std::function<void()>& begin, bool addToCollection) {
    ui::HeadlessHost host("Tessary");
    ui::ScriptedDialogs dialogs;
    ScriptedShell shell;
    SkinMakerEnv env{host,    *m.registry, shell, m.files, [&] { return std::make_unique<cNewDialog>(dialogs, dialogs); },
                     kData, SolidPicture(800, 92, {0, 0, 0, 0})};
    IeMain window(env);
    window.Form_Load();
    host.showOrReport(window.form, false);
    dialogs.answerOpen(kPicture);
    ASSERT_TRUE(window.Command1.press());
    begin();
    host.answerNext(addToCollection ? ui::kIdYes : ui::kIdNo);
    window.Command4.press();
}

// A user's skin maker data: a skin applied earlier and one kept, and a picture to make a new one.
Machine SkinMakerMachine() {
    Machine m;
    AddNeighbours(m);
    Surface earlier(32, 16);
    EXPECT_TRUE(earlier.setBackColor(MakeColorRef(10, 200, 30)).ok());
    m.files.addFolder(kData + "\\Collection");
    EXPECT_TRUE(platform::WriteBitmap(m.files, earlier, kData + "\\Skin.bmp").ok());
    EXPECT_TRUE(platform::WriteBitmap(m.files, earlier, kData + "\\Collection\\Skin0001.bmp").ok());
    Surface photo(40, 30);
    m.files.addFolder("C:\\Users\\me\\Pictures");
    photo.drawPicture(SolidPicture(40, 30, {200, 40, 90, 255}), 0, 0, photo.scaleWidth(), photo.scaleHeight());
    EXPECT_TRUE(platform::WriteBitmap(m.files, photo, kPicture).ok());
    EXPECT_TRUE(SetRegString(*m.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue,
                             "C:\\Windows\\Web\\toolbar.bmp"));
    return m.restarted();
}

// Checks every crash point of "&Apply": "Skin.bmp" is always the old whole bitmap or the new one,
// nothing outside the data folder is touched, and "&Apply" pressed again after the restart gives
// what it gives uninterrupted. Returns the number of crash points.
int CheckEveryApplyCrash(bool addToCollection) {
    const Machine start = SkinMakerMachine();
    const Operation apply = [&](Machine& m, const std::function<void()>& begin) { Apply(m, begin, addToCollection); };
    const Cut whole = RunCut(start, apply, std::nullopt);
    const std::string skin = kData + "\\Skin.bmp";
    const std::optional<std::string> before = start.files.contents(skin), after = whole.after.files.contents(skin);
    EXPECT_TRUE(before && after && before != after);
    EXPECT_EQ(GetRegString(*whole.after.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue), skin);
    EXPECT_EQ(whole.after.files.contents(kData + "\\Collection\\Skin0002.bmp").has_value(), addToCollection);
    for (int n = 0; n <= whole.changes; ++n) {
        SCOPED_TRACE("\"&Apply\" cut short after " + std::to_string(n) + " of " + std::to_string(whole.changes) +
                     " changes");
        const Cut cut = RunCut(start, apply, n);
        if (n == 0)
            ExpectSame(cut.after.state(), start.state());
        const std::optional<std::string> left = cut.after.files.contents(skin);
        EXPECT_TRUE(left == before || left == after) << "Skin.bmp is neither the old bitmap nor the new one";
        ExpectSame(FilesOutside(cut.after, {kData}), FilesOutside(start, {kData}));
        // Cut short after its last change, the step was whole; pressed again it would keep the
        // skin once more.
        Machine again = cut.after.restarted();
        if (n < whole.changes)
            Apply(again, [] {}, addToCollection);
        ExpectSame(again.state(), whole.after.state());
    }
    return whole.changes + 1;
}

TEST(Recovery, ApplyCutShortAnywhereLeavesAWholeSkinAndCompletesWhenPressedAgain) {
    EXPECT_GE(CheckEveryApplyCrash(false), 4);
}

TEST(Recovery, AddingToTheCollectionCutShortAnywhereCompletesUnderTheSameNumber) {
    EXPECT_GE(CheckEveryApplyCrash(true), 7);
}

} // namespace

// The installation over in-memory services: what is written where, the application folder made
// or taken over and the folders refused, the checks that keep a failed extraction or replacement,
// or a program other than the build packed, from touching the installed programs or registering
// anything, the Start-menu group with and without a Programs folder, and the registry settings
// and default folder beneath them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "installer/installation.h"
#include "installer/main_varies.h"
#include "tests/support/fake_install_services.h"
#include "tests/support/memory_registry.h"

using namespace tess;
using namespace tess::installer;
using namespace tess::testing;

namespace {

const char* const kSetup = "D:\\Downloads";
const char* const kCab = "D:\\Downloads\\tess10.cab";
const char* const kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessary";
const char* const kAppPaths =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessary.exe";

std::string StoredText(const MemoryRegistry& registry, const std::string& key,
                       const std::string& name) {
    const auto value = registry.Stored(platform::kHKeyLocalMachine, key, name);
    if (!value)
        return "<missing>";
    EXPECT_EQ(value->type, platform::kRegSz) << name;
    return std::string(value->bytes.begin(), value->bytes.end());
}

// The files directly in `folder`, by name, with their contents.
std::map<std::string, std::string> FilesIn(MemoryFileSystem& files, const std::string& folder) {
    std::map<std::string, std::string> found;
    const Result<std::vector<std::string>> names = files.ListFiles(folder, "*");
    if (!names)
        return found;
    for (const std::string& name : names.value())
        found[name] = files.contents(folder + "\\" + name).value_or("<unreadable>");
    return found;
}

// The folders a system has before the setup program runs, and the cabinet beside it.
void PrepareSystem(MemoryFileSystem& files) {
    for (const char* folder : {"C:\\Program Files", "C:\\Apps", "C:\\Users\\me\\Start Menu\\Programs",
                               "C:\\All\\Programs"})
        files.addFolder(folder);
    files.addFile(kCab, "cabinet bytes");
}

std::optional<uint32_t> StoredDword(const MemoryRegistry& registry, const std::string& name) {
    const auto value = registry.Stored(platform::kHKeyLocalMachine, kUninstall, name);
    if (!value || value->type != platform::kRegDword || value->bytes.size() != 4)
        return std::nullopt;
    return value->bytes[0] | value->bytes[1] << 8 | value->bytes[2] << 16 |
           static_cast<uint32_t>(value->bytes[3]) << 24;
}

class Installation : public ::testing::Test {
protected:
    MemoryFileSystem files;
    FakeCabinet cabinet{files};
    MemoryRegistry registry;
    FakeLinks links;
    FakeSystem system;
    FakeProgramFolders folders{files};
    FakeHasher hasher;
    PackedDigests packed;

    void SetUp() override {
        PrepareSystem(files);
        cabinet.entries = {{"Tessary.exe", std::string(1500, 'T')},
                           {"remover.exe", std::string(700, 'R')}};
        packed = DigestsOf(cabinet.entries);
    }
    InstallReport Install(const std::string& installDir = "C:\\Program Files") {
        return InstallFiles({files, cabinet, registry, links, system, folders, hasher, packed}, kSetup, installDir);
    }
};

} // namespace

TEST_F(Installation, InstallsRegistersAndRemovesTheCabinet) {
    // Read-only programs, and a read-only leftover of an earlier replacement, are replaced all
    // the same; the read-only skin keeps its attribute. A folder holding only the product's own
    // files, whatever their case, and the leftovers of interrupted runs is taken over.
    const std::string app = "C:\\Program Files\\Tessary";
    files.markReadOnly(kCab);
    for (const char* name : {"Tessary.exe", "remover.exe", "remover.exe.old", "Skin.bmp"}) {
        files.addFile(app + "\\" + name, "old version");
        files.markReadOnly(app + "\\" + name);
    }
    for (const char* name : {"Tessary.exe.new", "TESSARY.EXE.OLD", "remover.exe.new.partial", "Skin.bmp.partial",
                             "collection\\Skin0001.bmp", "Collection\\skin9999.BMP.partial"})
        files.addFile(app + "\\" + name, "earlier run");
    const InstallReport report = Install();
    EXPECT_TRUE(files.isReadOnly(app + "\\Skin.bmp"));
    EXPECT_EQ(folders.asked, (std::vector<std::string>{"create " + app, "take over " + app}));

    EXPECT_EQ(report.outcome, InstallReport::Outcome::Installed);
    EXPECT_EQ(report.appDir, "C:\\Program Files\\Tessary");
    EXPECT_TRUE(files.FolderExists("C:\\Program Files\\Tessary"));
    // The old program was replaced, and nothing of the way the new ones came is left beside them:
    // an earlier run's unfinished arrival is written over and moved into place like this run's.
    EXPECT_EQ(FilesIn(files, "C:\\Program Files\\Tessary"),
              (std::map<std::string, std::string>{{"Tessary.exe", std::string(1500, 'T')},
                                                  {"remover.exe", std::string(700, 'R')},
                                                  {"Skin.bmp", "old version"},
                                                  {"Skin.bmp.partial", "earlier run"}}));
    EXPECT_EQ(report.lines, (std::vector<std::string>{"C:\\Program Files\\Tessary\\Tessary.exe",
                                                      "C:\\Program Files\\Tessary\\remover.exe"}));

    EXPECT_EQ(StoredText(registry, kUninstall, "DisplayName"), "Tessary");
    EXPECT_EQ(StoredText(registry, kUninstall, "UninstallString"),
              "\"C:\\Program Files\\Tessary\\remover.exe\"");
    EXPECT_EQ(StoredText(registry, kUninstall, "DisplayIcon"),
              "C:\\Program Files\\Tessary\\Tessary.exe");
    EXPECT_EQ(StoredText(registry, kUninstall, "DisplayVersion"), "1.0");
    EXPECT_EQ(StoredText(registry, kUninstall, "Publisher"), "Halvory");
    EXPECT_EQ(StoredText(registry, kUninstall, "InstallLocation"), "C:\\Program Files\\Tessary");
    EXPECT_EQ(StoredDword(registry, "EstimatedSize"), 3u);  // 2200 bytes, rounded up to KiB
    EXPECT_EQ(StoredDword(registry, "NoModify"), 1u);
    EXPECT_EQ(StoredDword(registry, "NoRepair"), 1u);
    EXPECT_EQ(StoredText(registry, kAppPaths, ""), "C:\\Program Files\\Tessary\\Tessary.exe");
    EXPECT_EQ(StoredText(registry, kAppPaths, "Path"), "C:\\Program Files\\Tessary\\Tessary.exe");
    EXPECT_TRUE(report.registryFailures.empty());
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    // The group is every user's, shortcuts and folder alike; the user's own Programs get nothing.
    const std::string group = "C:\\All\\Programs\\Tessary";
    EXPECT_TRUE(files.FolderExists(group));
    EXPECT_EQ(report.group.folder, group);
    EXPECT_FALSE(files.FolderExists("C:\\Users\\me\\Start Menu\\Programs\\Tessary"));
    ASSERT_EQ(links.links.size(), 2u);
    EXPECT_EQ(links.links[0].path, group + "\\Tessary.lnk");
    EXPECT_EQ(links.links[0].target, "C:\\Program Files\\Tessary\\Tessary.exe");
    EXPECT_EQ(links.links[0].arguments, "");
    EXPECT_EQ(links.links[1].path, group + "\\Uninstall Tessary.lnk");
    EXPECT_EQ(links.links[1].target, "C:\\Program Files\\Tessary\\remover.exe");
    EXPECT_FALSE(report.groupSkipped);

    // Opened once for both programs, and let go of before its deletion.
    EXPECT_EQ(cabinet.opened, 1);
    EXPECT_FALSE(files.FileExists(kCab));
    EXPECT_TRUE(report.cabinetDeleted);

    // A second run from the same folder finds no cabinet and changes nothing.
    const size_t made = files.logged("mkdir").size();
    EXPECT_EQ(Install().outcome, InstallReport::Outcome::NoCabinet);
    EXPECT_EQ(files.logged("mkdir").size(), made);
}

// The cabinet lies in a folder the user can write: what is deleted is the file there, never what a
// link put in its place points to.
TEST_F(Installation, ACabinetThatIsALinkKeepsWhatItPointsTo) {
    ASSERT_TRUE(files.RemoveFile(kCab).ok());
    files.addFile("D:\\Kept\\tess10.cab", "cabinet bytes");
    files.addLink(kCab, "D:\\Kept\\tess10.cab", false);
    const InstallReport report = Install();
    EXPECT_EQ(report.outcome, InstallReport::Outcome::Installed);
    EXPECT_FALSE(report.cabinetDeleted);
    EXPECT_EQ(files.contents("D:\\Kept\\tess10.cab"), "cabinet bytes");
}

TEST_F(Installation, AnEmptyOrMissingCabinetChangesNothing) {
    files.addFile(kCab, "");
    const InstallReport report = Install();
    EXPECT_EQ(report.outcome, InstallReport::Outcome::NoCabinet);
    EXPECT_TRUE(files.logged("mkdir").empty());
    EXPECT_TRUE(cabinet.written.empty());
    EXPECT_FALSE(registry.KeyExists(platform::kHKeyLocalMachine, kUninstall));
}

TEST_F(Installation, AProgramThatDidNotArriveArrivedOtherOrCannotBeReplacedChangesNoInstalledProgram) {
    const std::string app = "C:\\Apps\\Tessary";
    const std::map<std::string, std::string> pair = {{"Tessary.exe", "old T"}, {"remover.exe", "old R"}};
    const std::map<std::string, std::string> built = {{"Tessary.exe", "T"}, {"remover.exe", "R"}};
    struct Case {
        const char* what;
        std::map<std::string, std::string> entries;
        std::map<std::string, std::string> installed;  // in the application folder beforehand
        std::set<std::string> locked;
        std::vector<std::string> missing;
        std::vector<std::string> damaged = {};
        // What the cabinet gives from its second extraction on, when not `entries`.
        std::optional<std::map<std::string, std::string>> later = std::nullopt;
        bool hashFails = false;
    };
    const std::vector<Case> cases = {
        {"skin maker absent", {{"remover.exe", "R"}}, {}, {}, {"Tessary.exe"}},
        {"uninstaller empty", {{"Tessary.exe", "T"}, {"remover.exe", ""}}, {}, {}, {"remover.exe"}},
        {"damaged cabinet", {}, {}, {}, {"Tessary.exe", "remover.exe"}},
        {"damaged cabinet over an installation", {}, pair, {}, {"Tessary.exe", "remover.exe"}},
        {"uninstaller empty over an installation", {{"Tessary.exe", "T"}, {"remover.exe", ""}}, pair,
         {}, {"remover.exe"}},
        // The uninstaller is replaced first and put back when the skin maker cannot follow.
        {"installed skin maker running", built, pair, {"Tessary.exe"}, {"Tessary.exe"}},
        {"installed uninstaller held", built, pair, {"remover.exe"}, {"remover.exe"}},
        // An uninstaller that was not there before goes again.
        {"skin maker running without an uninstaller", built, {{"Tessary.exe", "old T"}}, {"Tessary.exe"},
         {"Tessary.exe"}},
        // Programs other than the build packed, however they came, are never put in place.
        {"skin maker changed by one byte", {{"Tessary.exe", "t"}, {"remover.exe", "R"}}, pair, {}, {},
         {"Tessary.exe"}},
        {"the second extraction another cabinet's", built, pair, {}, {}, {"remover.exe"},
         std::map<std::string, std::string>{{"Tessary.exe", "T"}, {"remover.exe", "other R"}}},
        {"no digest to be had", built, pair, {}, {"Tessary.exe", "remover.exe"}, {}, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem caseFiles;
        PrepareSystem(caseFiles);
        for (const auto& [name, bytes] : c.installed)
            caseFiles.addFile(app + "\\" + name, bytes);
        for (const std::string& name : c.locked)
            caseFiles.holdOpen(app + "\\" + name);
        FakeCabinet caseCabinet(caseFiles);
        caseCabinet.entries = c.entries;
        caseCabinet.laterEntries = c.later;
        MemoryRegistry caseRegistry;
        // An installed pair has its entry, which the system lists.
        if (!c.installed.empty()) {
            EXPECT_TRUE(WriteRegistration(caseRegistry, app, 1).empty());
        }
        const std::map<std::string, std::string> registered = caseRegistry.Contents();
        FakeLinks caseLinks;
        FakeProgramFolders caseFolders(caseFiles);
        FakeHasher caseHasher;
        caseHasher.fails = c.hashFails;
        const PackedDigests caseDigests = DigestsOf(built);
        const InstallReport report =
            InstallFiles({caseFiles, caseCabinet, caseRegistry, caseLinks, system, caseFolders, caseHasher, caseDigests},
                         kSetup, "C:\\Apps");

        EXPECT_EQ(report.outcome, c.damaged.empty() ? InstallReport::Outcome::ProgramsMissing
                                                    : InstallReport::Outcome::SetupDamaged);
        EXPECT_EQ(report.missingPrograms, c.missing);
        EXPECT_EQ(report.damagedPrograms, c.damaged);
        for (const std::string& program : c.missing) {
            EXPECT_NE(std::find(report.lines.begin(), report.lines.end(),
                                program + " could not be installed."),
                      report.lines.end());
        }
        // Byte for byte what was installed before, and no file of the attempt beside it.
        EXPECT_EQ(FilesIn(caseFiles, app), c.installed);
        EXPECT_TRUE(caseFiles.FileExists(kCab));
        EXPECT_FALSE(report.cabinetDeleted);
        // Nothing registered, and an installation's entry listed again as it was.
        EXPECT_EQ(caseRegistry.Contents(), registered);
        EXPECT_TRUE(caseLinks.links.empty());
    }
}

// Damaged setup files are named as such, and running the same files again is not what helps.
TEST_F(Installation, ADamagedProgramIsToldAsDamagedSetupFiles) {
    cabinet.entries["Tessary.exe"][700] ^= 1;
    const InstallReport report = Install();
    const std::vector<std::string> told = {
        "The setup files are damaged: Tessary.exe is not the one this setup was made with.",
        "Nothing was changed; please download the setup again."};
    EXPECT_EQ(report.failure, told);
    EXPECT_TRUE(std::equal(told.begin(), told.end(), report.lines.end() - 2));
}

TEST_F(Installation, AFolderHoldingMoreThanTheProductsOwnFilesIsRefusedAndLeftAsItWas) {
    const std::string app = "C:\\Apps\\Tessary";
    const std::string foreign = app + " holds files that are not Tessary's: nothing was installed there.";
    const std::vector<std::string> createOnly = {"create " + app}, takenOver = {"create " + app, "take over " + app};
    using Prepare = std::function<void(MemoryFileSystem&)>;
    using TakeOver = std::function<Status(MemoryFileSystem&, const std::string&)>;
    struct Case {
        const char* what;
        Prepare prepare;
        TakeOver takeOver;
        std::string line;
        std::vector<std::string> asked;
        std::vector<std::string> log = {};  // what the file system was asked to change
    };
    const Prepare installed = [&](MemoryFileSystem& f) { f.addFile(app + "\\Tessary.exe", "old T"); };
    const TakeOver taken = [](MemoryFileSystem&, const std::string&) { return Status::Ok(); };
    const auto adding = [&](const std::string& name) {
        return [&, name](MemoryFileSystem& f) { f.addFile(app + name); };
    };
    const auto linking = [&](const std::string& name, const std::string& target, bool folder) {
        return [&, name, target, folder](MemoryFileSystem& f) { f.addLink(app + name, target, folder); };
    };
    const std::vector<Case> cases = {
        {"a library beside the programs", adding("\\version.dll"), taken, foreign, createOnly},
        {"a program that is a link", linking("\\Tessary.exe", "C:\\Windows\\notepad.exe", false), taken, foreign,
         createOnly},
        {"the collection a link", linking("\\Collection", "C:\\Windows", true), taken, foreign, createOnly},
        {"a link in the collection", linking("\\Collection\\Skin0001.bmp", "C:\\Windows\\a.bmp", false), taken,
         foreign, createOnly},
        {"the folder itself a link", linking("", "C:\\Windows", true), taken, foreign, createOnly},
        {"a file where the folder goes", adding(""), taken, foreign, createOnly},
        {"another file in the collection", adding("\\Collection\\notes.txt"), taken, foreign, createOnly},
        {"a folder in the collection", adding("\\Collection\\Old\\Skin0001.bmp"), taken, foreign, createOnly},
        // What it holds once no one else can change it is what counts.
        {"a library planted before the take-over took hold", installed,
         [](MemoryFileSystem& f, const std::string& path) {
             f.addFile(path + "\\version.dll");
             return Status::Ok();
         },
         foreign, takenOver},
        {"a link the take-over met", installed,
         [](MemoryFileSystem&, const std::string& path) -> Status { return Error{ErrorCode::InvalidArgument, path}; },
         foreign, takenOver},
        {"permissions that cannot be set", installed,
         [](MemoryFileSystem&, const std::string& path) -> Status { return Error{ErrorCode::WriteFailed, path}; },
         "The permissions of " + app + " could not be set: nothing was installed there.", takenOver},
        {"a base folder where nothing may be made", [](MemoryFileSystem& f) { f.refuseWritesIn("C:\\Apps"); }, taken,
         app + " could not be created: nothing was installed there.", createOnly, {"mkdir " + app}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem caseFiles;
        PrepareSystem(caseFiles);
        c.prepare(caseFiles);
        FakeCabinet caseCabinet(caseFiles);
        caseCabinet.entries = cabinet.entries;
        MemoryRegistry caseRegistry;
        FakeLinks caseLinks;
        FakeProgramFolders caseFolders(caseFiles);
        caseFolders.takeOver = [&](const std::string& path) { return c.takeOver(caseFiles, path); };
        const InstallReport report = InstallFiles(
            {caseFiles, caseCabinet, caseRegistry, caseLinks, system, caseFolders, hasher, packed}, kSetup,
            "C:\\Apps");

        EXPECT_EQ(report.outcome, InstallReport::Outcome::FolderRefused);
        const std::vector<std::string> told = {c.line, "The setup files were kept; please run setup again."};
        EXPECT_EQ(report.failure, told);
        EXPECT_EQ(report.lines, told);
        EXPECT_EQ(caseFolders.asked, c.asked);
        EXPECT_EQ(caseFiles.log, c.log);
        EXPECT_TRUE(caseCabinet.written.empty());
        EXPECT_TRUE(caseFiles.FileExists(kCab));
        EXPECT_FALSE(caseRegistry.KeyExists(platform::kHKeyLocalMachine, kUninstall));
        EXPECT_TRUE(caseLinks.links.empty());
    }
}

TEST_F(Installation, WithoutAProgramsFolderTheGroupIsSkippedNotMadeAtTheRoot) {
    // Nor in the user's own Programs folder, which is still known.
    system.specialFolders.erase(platform::kCsidlCommonPrograms);
    const InstallReport report = Install("C:\\");

    EXPECT_EQ(report.outcome, InstallReport::Outcome::Installed);
    // A drive root as base folder gives the doubled backslash, which the file system accepts.
    EXPECT_EQ(report.appDir, "C:\\\\Tessary");
    EXPECT_TRUE(report.groupSkipped);
    EXPECT_EQ(report.lines.back(), "No Start menu group: the Programs folder was not found.");
    EXPECT_EQ(files.logged("mkdir"), (std::vector<std::string>{"C:\\\\Tessary"}));
    EXPECT_EQ(folders.asked, (std::vector<std::string>{"create C:\\\\Tessary"}));
    EXPECT_TRUE(links.links.empty());
    EXPECT_EQ(report.group.failedShortcuts,
              (std::vector<std::string>{"Tessary", "Uninstall Tessary"}));
    EXPECT_EQ(StoredText(registry, kUninstall, "UninstallString"), "\"C:\\\\Tessary\\remover.exe\"");
    EXPECT_TRUE(report.cabinetDeleted);
}

TEST_F(Installation, GroupFolderNamesAndShellFolderChoice) {
    // Double quotes become apostrophes; the shortcuts go into the group folder.
    GroupReport quoted = CreateProgramGroup(system, files, links, "C:\\A", "\"\"", true, false,
                                            {{" Tessary.exe ", " Tessary "}});
    EXPECT_EQ(quoted.folder, "C:\\Users\\me\\Start Menu\\Programs\\''");
    EXPECT_TRUE(quoted.folderReady);
    ASSERT_EQ(links.links.size(), 1u);
    EXPECT_EQ(links.links[0].path, quoted.folder + "\\Tessary.lnk");
    EXPECT_EQ(links.links[0].target, "C:\\A\\Tessary.exe");
    EXPECT_EQ(links.links[0].description, "Tessary");

    // An empty name makes no group folder: the shortcuts go into the shell folder itself.
    GroupReport empty = CreateProgramGroup(system, files, links, "C:\\A", "", false, false,
                                           {{"remover.exe", "Uninstall Tessary"}});
    EXPECT_EQ(empty.folder, "");
    ASSERT_EQ(links.links.size(), 2u);
    EXPECT_EQ(links.links[1].path, "C:\\All\\Programs\\Uninstall Tessary.lnk");
    EXPECT_TRUE(empty.failedShortcuts.empty());

    EXPECT_EQ(GroupShellFolder(system, true, false), platform::kCsidlPrograms);
    EXPECT_EQ(GroupShellFolder(system, false, false), platform::kCsidlCommonPrograms);
    EXPECT_EQ(GroupShellFolder(system, false, true), platform::kCsidlCommonStartMenu);
    system.version = platform::OsVersion{1, 4};  // the Windows 95 family has only per-user folders
    EXPECT_EQ(GroupShellFolder(system, false, true), platform::kCsidlStartMenu);
}

TEST(InstallerSettings, RefusesEmptyNamesAndReportsRegistryErrors) {
    MemoryRegistry registry;
    const SettingResult noApp = SaveStringSetting(registry, "  ", "S", "K", "v");
    EXPECT_EQ(noApp.number, kSettingAppNameEmpty);
    EXPECT_EQ(noApp.description, "AppName may not be empty");
    const SettingResult noSection = SaveStringSetting(registry, "App", "   ", "K", "v");
    EXPECT_EQ(noSection.number, -2147220503);
    EXPECT_EQ(noSection.description, "Section may not be empty");
    EXPECT_EQ(SaveStringSetting(registry, "App", "S", " ", "v").number, kSettingKeyEmpty);
    EXPECT_FALSE(registry.KeyExists(platform::kHKeyLocalMachine, "SOFTWARE\\App"));

    // Parts of the key path are trimmed, the value name is not; no NUL is stored.
    ASSERT_TRUE(SaveStringSetting(registry, " App ", " Sec ", "  Name", "text").ok());
    const auto stored = registry.Stored(platform::kHKeyLocalMachine, "SOFTWARE\\App\\Sec", "  Name");
    ASSERT_TRUE(stored);
    EXPECT_EQ(std::string(stored->bytes.begin(), stored->bytes.end()), "text");

    registry.RefuseKey(platform::kHKeyLocalMachine, "SOFTWARE\\Locked", platform::kErrorAccessDenied);
    const SettingResult refused = SaveStringSetting(registry, "Locked", "S", "K", "v");
    EXPECT_EQ(refused.number, -2147219504 + 5);
    EXPECT_EQ(refused.description, "Could not open/create registry section");

    registry.FailValueWrites(platform::kErrorInvalidParameter);
    const SettingResult unwritten = SaveDwordSetting(registry, "App", "Sec", "N", 1);
    EXPECT_EQ(unwritten.number, -2147219504 + 87);
    EXPECT_EQ(unwritten.description, "Could not set key value");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(InstallerSettings, DefaultFolderFromTheRegistryOrTheFirstFixedDrive) {
    MemoryRegistry registry;
    FakeSystem system;
    MemoryFileSystem drives;
    EXPECT_EQ(InitInstallDir(registry, system, drives), "C:\\");  // no value: the first fixed drive

    ASSERT_TRUE(SaveStringSetting(registry, "Microsoft\\Windows", "CurrentVersion",
                                  "ProgramFilesDir", "C:\\Program Files")
                    .ok());
    EXPECT_EQ(InitInstallDir(registry, system, drives), "C:\\Program Files");
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    // Without a readable version the registry is not asked.
    system.version.reset();
    drives.addDrive('a', "", true, platform::Drives::Removable);
    drives.addDrive('c', "", true, platform::Drives::CdRom);
    drives.addDrive('d', "", true, platform::Drives::Fixed);
    drives.addDrive('e', "", true, platform::Drives::Fixed);
    EXPECT_EQ(InitInstallDir(registry, system, drives), "D:\\");
    MemoryFileSystem noneFixed;
    noneFixed.addDrive('c', "", true, platform::Drives::CdRom);
    EXPECT_EQ(FirstFixedDrive(noneFixed), "C:\\");

    // NT before version 4 is not a version-4 system; the Windows 95 family is.
    system.version = platform::OsVersion{2, 3};
    EXPECT_FALSE(IsWin4(system));
    system.version = platform::OsVersion{1, 4};
    EXPECT_TRUE(IsWin95(system));
    EXPECT_TRUE(IsWin4(system));
}

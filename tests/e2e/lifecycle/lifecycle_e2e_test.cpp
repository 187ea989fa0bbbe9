// The product's whole life in one fresh prefix: installed from the distributable, used, removed
// through the command the system's list runs, which ends with the removal and tells its outcome
// in its exit code; nothing left but the toolbar setting; foreign copies remove nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <list>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/common_dialogs.h"
#include "tests/e2e/driver/control_state.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/installed_programs.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/registry_files.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/test_results.h"
#include "tests/e2e/driver/window_search.h"
#include "tests/e2e/installer/installed_product.h"
#include "skinmaker/m_pic.h"
#include "uninstaller/frm_uninstall.h"

namespace tess::e2e {
namespace {

using skinmaker::kToolbarKey;
const std::string kDownloads = "C:\\Downloads";

std::string Or(const Result<std::string>& read, const std::string& otherwise) {
    return read ? read.value() : otherwise;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool KeyExists(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// The files and folders waiting to be removed at the next start, in order, without the "\\??\\"
// the system puts before each.
std::vector<std::string> PendingRemovals() {
    HKEY session = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &session) != ERROR_SUCCESS)
        return {};
    std::vector<char> pending(16384);
    DWORD size = static_cast<DWORD>(pending.size() - 2);
    const LONG read = RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(pending.data()), &size);
    RegCloseKey(session);
    std::vector<std::string> removals;
    if (read != ERROR_SUCCESS) return removals;
    // Pairs of a source and a target; an empty target removes the source.
    std::vector<std::string> names;
    for (size_t at = 0; at < size;) {
        const std::string name(pending.data() + at);
        names.push_back(name);
        at += name.size() + 1;
    }
    for (size_t i = 0; i + 1 < names.size(); i += 2)
        if (names[i + 1].empty()) removals.push_back(names[i].rfind("\\??\\", 0) == 0 ? names[i].substr(4) : names[i]);
    return removals;
}

// The last place of `path` in `list`, or -1.
int LastPlace(const std::vector<std::string>& list, const std::string& path) {
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (SamePath(list[i], path)) return i;
    return -1;
}

// Whether Wine's list of installed programs shows the product.
bool Listed() {
    auto list = InstalledProgramsList();
    EXPECT_TRUE(list.ok()) << list.error().message;
    return list.ok() && ListsProgram(list.value(), "Tessary", "Tessary");
}

class ProductLife : public ::testing::Test {
protected:
    // The program showing `window`, started by another one; ended with the test at the latest.
    RunningProgram* adopt(HWND window) {
        auto adopted = RunningProgram::Adopt(window);
        EXPECT_TRUE(adopted.ok()) << adopted.error().message;
        if (!adopted) return nullptr;
        started.push_back(std::move(adopted).value());
        return &started.back();
    }
    std::string programFile(const RunningProgram& program) {
        auto file = program.programFile();
        return file ? file.value() : "(" + file.error().message + ")";
    }

    // The message box of `processId` titled `caption`: its text, answered with `button`.
    std::string answer(DWORD processId, const std::string& caption, int button) {
        auto box = FindMessageBox(processId, caption);
        if (!box) return "(no message box: " + box.error().message + ")";
        auto said = MessageText(box.value());
        EXPECT_TRUE(PressMessageButton(box.value(), button).ok());
        return said ? said.value() : "(unreadable)";
    }
    std::string text(HWND top, const char* name) {
        auto control = FindControl(top, name);
        if (!control) return "(no " + std::string(name) + ")";
        auto t = Text(control.value());
        return t ? t.value() : "(unreadable)";
    }
    void install() {
        const std::string setup = kDownloads + "\\Tessary-1.0";
        CreateDirectoryA(kDownloads.c_str(), nullptr);
        CreateDirectoryA(setup.c_str(), nullptr);
        for (const char* name : {"orvinst.exe", "tess10.cab"})
            ASSERT_TRUE(CopyFileA((WindowsPath(TESS_DISTRIBUTABLE_DIR) + "\\" + name).c_str(),
                                  (setup + "\\" + name).c_str(), FALSE)) << name;
        auto program = RunningProgram::Start({setup + "\\orvinst.exe", {}, setup, {}});
        ASSERT_OK(program);
        auto wizard = FindTopWindow({"Halvory Installation", "", program.value().processId(), true});
        ASSERT_OK(wizard);
        for (const char* page : {"Choose Directory", "Click Next to Start Copying Files.",
                                 "Tessary Installation is Finished."}) {
            ASSERT_OK(PressKey(wizard.value(), VK_RETURN));
            ASSERT_OK(WaitUntil([&] { return text(wizard.value(), "About").find(page) != std::string::npos; },
                                std::string("the page saying ") + page));
        }
        ASSERT_OK(PressKey(wizard.value(), VK_RETURN));
        EXPECT_EQ(answer(program.value().processId(), "Tessary installation", IDNO), "Do you want to run Tessary");
        ASSERT_OK(program.value().waitForExit());
    }

    // The skin maker started from its Start-menu shortcut, as the user starts it.
    void startSkinMaker() {
        const std::string shortcut = group + "\\Tessary.lnk";
        ASSERT_TRUE(FileExists(shortcut));
        ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", shortcut.c_str(), nullptr, nullptr,
                                                          SW_SHOWNORMAL)), 32);
        auto window = FindTopWindow({kSkinMakerCaption, "", 0, true});
        ASSERT_OK(window);
        skinMaker = window.value();
        skinMakerProgram = adopt(skinMaker);
        ASSERT_NE(skinMakerProgram, nullptr);
        skinMakerProcess = skinMakerProgram->processId();
        EXPECT_EQ(programFile(*skinMakerProgram), app + "\\Tessary.exe");
    }

    // A picture opened, applied and kept in the collection.
    void makeSkin(const std::string& picture) {
        auto browse = FindControl(skinMaker, "Command1");
        ASSERT_OK(browse);
        ASSERT_OK(Click(browse.value()));
        ASSERT_OK(AnswerOpenDialog(skinMakerProcess, WindowsPath(std::string(TESS_TEST_DATA_DIR) + "/pictures/" + picture)));
        auto apply = FindControl(skinMaker, "Command4");
        ASSERT_OK(apply);
        ASSERT_OK(Click(apply.value()));
        EXPECT_EQ(answer(skinMakerProcess, "Tessary", IDOK),
                  "Successfully Created IE Skin. Test IE Skin by opening new Internet Explorer window.");
        EXPECT_EQ(answer(skinMakerProcess, "Confirm", IDYES), "Do you want to add IE Skin to Skin Collection");
    }

    // The command the system's list of programs runs to remove the product, started as it does.
    Result<RunningProgram> startRegisteredCommand() {
        auto command = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
        if (!command) return command.error();
        std::string program = command.value();
        if (program.size() > 2 && program.front() == '"') program = program.substr(1, program.find('"', 1) - 1);
        return RunningProgram::Start({program, {}, {}, {}});
    }

    // The uninstaller's window, once it shows.
    HWND uninstallWindow(DWORD processId = 0) {
        auto window = FindTopWindow({"Uninstall", "", processId, true});
        EXPECT_TRUE(window.ok()) << window.error().message;
        return window ? window.value() : nullptr;
    }
    void clickStart(HWND window) {
        auto start = FindControl(window, "Command1");
        ASSERT_OK(start);
        ASSERT_OK(Click(start.value()));
    }

    // The command the system's list runs, started; its copy's window found, Start clicked and
    // the question answered Yes. The command ends only with the copy.
    void uninstallAnsweringYes() {
        auto command = startRegisteredCommand();
        ASSERT_OK(command);
        removal.emplace(std::move(command).value());
        HWND window = uninstallWindow();
        ASSERT_NE(window, nullptr);
        removalCopy = adopt(window);
        ASSERT_NE(removalCopy, nullptr);
        clickStart(window);
        EXPECT_EQ(answer(removalCopy->processId(), "Tessary", IDYES), "Do you want to uninstall Tessary");
    }

    // A copy of the uninstaller in `folder`, started there: Start refuses, Close ends it.
    void refusedCopy(const std::string& folder, const std::string& expectedReason) {
        auto copy = RunningProgram::Start({folder + "\\remover.exe", {}, folder, {}});
        ASSERT_OK(copy);
        HWND window = uninstallWindow(copy.value().processId());
        ASSERT_NE(window, nullptr);
        clickStart(window);
        const std::string said = answer(copy.value().processId(), "Uninstaller", IDOK);
        EXPECT_EQ(said.rfind("Nothing was removed: ", 0), 0u) << said;
        EXPECT_NE(said.find(expectedReason), std::string::npos) << said;
        EXPECT_FALSE(FindMessageBox(copy.value().processId(), "Tessary", Timeout{1000}).ok());
        auto close = FindControl(window, "Command2");
        ASSERT_OK(close);
        ASSERT_OK(Click(close.value()));
        ASSERT_OK(copy.value().waitForExit());
    }

    std::string app = ProgramFilesFolder() + "\\Tessary";
    std::string group = ProgramsFolder() + "\\Tessary";
    std::string userGroup = UserProgramsFolder() + "\\Tessary";
    HWND skinMaker = nullptr;
    RunningProgram* skinMakerProgram = nullptr;
    DWORD skinMakerProcess = 0;
    std::list<RunningProgram> started;
    // The registered command and its copy, once uninstallAnsweringYes has started them.
    std::optional<RunningProgram> removal;
    RunningProgram* removalCopy = nullptr;
};

TEST_F(ProductLife, InstallUseAndUninstallLeaveOnlyTheToolbarSetting) {
    install();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(Listed());
    EXPECT_TRUE(FileExists(app + "\\remover.exe"));
    // The group is every user's: both shortcuts in the common Programs folder, none in the user's.
    ASSERT_FALSE(SamePath(ProgramsFolder(), UserProgramsFolder())) << ProgramsFolder();
    for (const char* shortcut : {"\\Tessary.lnk", "\\Uninstall Tessary.lnk"})
        EXPECT_TRUE(FileExists(group + shortcut)) << group << shortcut;
    EXPECT_FALSE(FolderExists(userGroup));

    // A copy of the uninstaller in a folder of other files removes nothing there or elsewhere.
    const std::string tools = kDownloads + "\\tools";
    CreateDirectoryA(tools.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((app + "\\remover.exe").c_str(), (tools + "\\remover.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((app + "\\Tessary.exe").c_str(), (tools + "\\holiday.exe").c_str(), FALSE));
    refusedCopy(tools, tools);
    EXPECT_TRUE(FileExists(tools + "\\holiday.exe"));
    EXPECT_TRUE(FileExists(tools + "\\remover.exe"));
    EXPECT_TRUE(FileExists(app + "\\Tessary.exe"));
    EXPECT_TRUE(KeyExists(kUninstallKey));

    startSkinMaker();
    ASSERT_FALSE(HasFatalFailure());
    makeSkin("gif87-opaque.gif");
    makeSkin("jpeg-baseline.jpg");
    ASSERT_FALSE(HasFatalFailure());
    const std::string skin = app + "\\Skin.bmp";
    EXPECT_EQ(Or(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), ""), "Tessary");
    EXPECT_EQ(Or(ReadRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap"), ""), skin);
    // Each skin is kept a moment after its question is answered.
    for (const char* kept : {"\\Skin0001.bmp", "\\Skin0002.bmp"})
        EXPECT_TRUE(WaitUntil([&] { return FileExists(app + "\\Collection" + kept); }, kept).ok()) << kept;
    ASSERT_TRUE(IsWindow(skinMaker));

    // The registered command hands over to a copy of itself, whose window asks the running skin
    // maker to close, and waits for it: Close ends both and says that nothing was removed.
    const std::vector<std::string> pendingBefore = PendingRemovals();
    auto declined = startRegisteredCommand();
    ASSERT_OK(declined);
    HWND window = uninstallWindow();
    ASSERT_NE(window, nullptr);
    RunningProgram* declinedCopy = adopt(window);
    ASSERT_NE(declinedCopy, nullptr);
    const std::string declinedFile = programFile(*declinedCopy);
    EXPECT_NE(declinedCopy->processId(), declined.value().processId());
    ASSERT_OK(skinMakerProgram->waitForExit());
    EXPECT_TRUE(declined.value().running());
    auto close = FindControl(window, "Command2");
    ASSERT_OK(close);
    ASSERT_OK(Click(close.value()));
    ASSERT_OK(declinedCopy->waitForExit());
    auto declinedCode = declined.value().waitForExit();
    ASSERT_OK(declinedCode);
    EXPECT_EQ(declinedCode.value(), static_cast<DWORD>(uninstaller::kExitNothingRemoved));
    EXPECT_TRUE(FileExists(app + "\\remover.exe"));
    EXPECT_TRUE(KeyExists(kUninstallKey));
    // Nothing waits for the next start: the original removed the copy and its folder itself.
    EXPECT_EQ(PendingRemovals(), pendingBefore);
    EXPECT_FALSE(FolderExists(declinedFile.substr(0, declinedFile.find_last_of('\\')))) << declinedFile;

    // An earlier version's group in the user's own Programs folder, its two shortcuts only.
    ASSERT_TRUE(CreateDirectoryA(userGroup.c_str(), nullptr));
    for (const char* shortcut : {"\\Tessary.lnk", "\\Uninstall Tessary.lnk"})
        ASSERT_TRUE(CopyFileA((group + shortcut).c_str(), (userGroup + shortcut).c_str(), FALSE)) << shortcut;

    // Again: the copy runs from a folder of its own, new in the temporary folder.
    auto registered = startRegisteredCommand();
    ASSERT_OK(registered);
    window = uninstallWindow();
    ASSERT_NE(window, nullptr);
    RunningProgram* uninstallerProgram = adopt(window);
    ASSERT_NE(uninstallerProgram, nullptr);
    const DWORD uninstaller = uninstallerProgram->processId();
    const std::string copy = programFile(*uninstallerProgram);
    const std::string copyFolder = copy.substr(0, copy.find_last_of('\\'));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_TRUE(SamePath(copyFolder.substr(0, copyFolder.find_last_of('\\') + 1), temp)) << copy << " is not in " << temp;
    EXPECT_EQ(copyFolder.substr(copyFolder.find_last_of('\\') + 1).rfind("Tessary-", 0), 0u) << copy;
    EXPECT_TRUE(SamePath(copy.substr(copyFolder.size()), "\\remover.exe")) << copy;
    EXPECT_EQ(text(window, "Label2"), "Click Strat to Start Tessary Unstalltion");

    // No changes nothing; Yes removes everything and says so, and only then does the registered
    // command end, with success. Until Yes nothing waits for the next start.
    EXPECT_EQ(PendingRemovals(), pendingBefore);
    clickStart(window);
    EXPECT_EQ(answer(uninstaller, "Tessary", IDNO), "Do you want to uninstall Tessary");
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(FileExists(app + "\\Tessary.exe"));
    EXPECT_TRUE(FileExists(app + "\\Collection\\Skin0002.bmp"));
    EXPECT_TRUE(KeyExists(kAppPathKey));
    clickStart(window);
    EXPECT_EQ(answer(uninstaller, "Tessary", IDYES), "Do you want to uninstall Tessary");
    auto report = FindMessageBox(uninstaller, "Uninstaller");
    ASSERT_OK(report);
    EXPECT_EQ(MessageIconOf(report.value()), MessageIcon::None);
    EXPECT_TRUE(registered.value().running());
    EXPECT_EQ(answer(uninstaller, "Uninstaller", IDOK), "Uninstallation Complete");
    ASSERT_OK(uninstallerProgram->waitForExit());
    auto code = registered.value().waitForExit();
    ASSERT_OK(code);
    EXPECT_EQ(code.value(), static_cast<DWORD>(uninstaller::kExitRemoved));

    EXPECT_FALSE(FolderExists(app));
    EXPECT_FALSE(FolderExists(group));
    EXPECT_FALSE(FolderExists(userGroup));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(KeyExists(kAppPathKey));
    EXPECT_FALSE(KeyExists("SOFTWARE\\Tessary"));
    EXPECT_FALSE(Listed());
    EXPECT_EQ(Or(ReadRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap"), ""), skin);
    EXPECT_TRUE(FileExists(tools + "\\holiday.exe"));
    // The installed uninstaller, which its waiting program held, was moved beside the copy; the
    // next start removes both files, then their folder.
    const std::string setAside = copyFolder + "\\installed-remover.exe";
    EXPECT_TRUE(FileExists(setAside));
    const std::vector<std::string> pending = PendingRemovals();
    const int folderPlace = LastPlace(pending, copyFolder);
    EXPECT_GE(LastPlace(pending, copy), 0) << copy;
    EXPECT_GE(LastPlace(pending, setAside), 0) << setAside;
    EXPECT_GT(folderPlace, LastPlace(pending, copy));
    EXPECT_GT(folderPlace, LastPlace(pending, setAside));
    EXPECT_EQ(LastPlace(pending, app), -1);

    // Run again from a restored folder, the uninstaller finds no installation and says so.
    CreateDirectoryA(app.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((tools + "\\remover.exe").c_str(), (app + "\\remover.exe").c_str(), FALSE));
    refusedCopy(app, "not installed");
    EXPECT_TRUE(FileExists(app + "\\remover.exe"));
}

TEST_F(ProductLife, AFileInUseStaysAndTheRegisteredCommandEndsWithAFailure) {
    install();
    ASSERT_FALSE(HasFatalFailure());
    // Held open as a program reading it would, without letting it be deleted.
    const std::string inUse = app + "\\Tessary.exe";
    HANDLE opened = CreateFileA(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(opened, INVALID_HANDLE_VALUE);
    platform::win32::UniqueKernelHandle held(opened);

    uninstallAnsweringYes();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_OK(FindMessageBox(removalCopy->processId(), "Uninstaller"));
    EXPECT_TRUE(removal->running());
    EXPECT_EQ(answer(removalCopy->processId(), "Uninstaller", IDOK),
              "Uninstallation is not complete. These could not be removed:\r\n" + inUse);
    auto code = removal->waitForExit();
    ASSERT_OK(code);
    EXPECT_EQ(code.value(), static_cast<DWORD>(uninstaller::kExitNotComplete));
    EXPECT_TRUE(FileExists(inUse));
    EXPECT_FALSE(FileExists(app + "\\remover.exe"));
    EXPECT_FALSE(KeyExists(kUninstallKey));
}

// Files named "..＼..＼victim.txt" (fullwidth reverse solidi, which the code page lacks and whose
// look-alike is a backslash) in the application folder and the collection go by their exact names;
// the files that the look-alike names, two folders up, stay.
TEST_F(ProductLife, LookAlikeNamesGoExactlyAndNothingOutsideTheFolder) {
    install();
    ASSERT_FALSE(HasFatalFailure());
    const std::string collection = app + "\\Collection";
    ASSERT_TRUE(CreateDirectoryA(collection.c_str(), nullptr));
    for (const std::string& folder : {app, collection}) {
        const std::wstring odd = std::wstring(folder.begin(), folder.end()) + L"\\..\uFF3C..\uFF3Cvictim.txt";
        HANDLE made = CreateFileW(odd.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(made, INVALID_HANDLE_VALUE) << folder;
        CloseHandle(made);
    }
    const std::string upTwo[] = {app.substr(0, app.find_last_of('\\', app.find_last_of('\\') - 1)) + "\\victim.txt",
                                 app.substr(0, app.find_last_of('\\')) + "\\victim.txt"};
    for (const std::string& victim : upTwo) {
        HANDLE made = CreateFileA(victim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(made, INVALID_HANDLE_VALUE) << victim;
        CloseHandle(made);
    }

    uninstallAnsweringYes();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(answer(removalCopy->processId(), "Uninstaller", IDOK), "Uninstallation Complete");
    auto code = removal->waitForExit();
    ASSERT_OK(code);
    EXPECT_EQ(code.value(), static_cast<DWORD>(uninstaller::kExitRemoved));
    EXPECT_FALSE(FolderExists(app));
    for (const std::string& victim : upTwo)
        EXPECT_TRUE(FileExists(victim)) << victim;
}

} // namespace
} // namespace tess::e2e

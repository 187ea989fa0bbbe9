// A session with the real setup program for the end-to-end tests: a setup folder of its own with
// orvinst.exe (and a cabinet when wanted; below a folder named beyond the driver's code page when
// one is asked for), the wizard on the screen, and a user's steps on it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver/code_page.h"
#include "tests/e2e/driver/control_state.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/pointer.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/registry_files.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window_search.h"
#include "tests/e2e/installer/installed_product.h"

namespace tess::e2e {

inline constexpr const char* kWizardTitle = "Halvory Installation";
inline constexpr const char* kSetupCaption = "Halvory Setup";
inline constexpr const char* kChooserTitle = "Change Directory";

// Page texts as far as a case needs them to tell the pages apart.
inline constexpr const char* kWelcomePage = "Welcome to Tessary Installation Program.";
inline constexpr const char* kChoosePage = "Choose Directory for Tessary Installation.";
inline constexpr const char* kReadyPage = "Click Next to Start Copying Files.";
inline constexpr const char* kFinishedPage = "Tessary Installation is Finished.";
inline constexpr const char* kNotFinishedPage = "Tessary Installation is not complete.";

// Every file directly in `folder` deleted; what earlier runs left there must not count.
inline void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((Wide(folder + "\\") + entry.cFileName).c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// A chain of folders made one level at a time; existing ones are fine.
inline bool MakeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
        const std::string part = path.substr(0, at);
        if (!CreateDirectoryW(Wide(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (at == std::string::npos) return true;
    }
}

class SetupSession : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name)
            if (c == '/') c = '.';
        // Under a code page asked for (TESS_E2E_CODE_PAGE), the setup folder lies below one named
        // beyond that code page on the run's own drive C:, reached through the wide calls.
        const auto beyondCodePage = CodePageFolderName();
        ASSERT_TRUE(beyondCodePage.ok()) << beyondCodePage.error().message;
        folder = (beyondCodePage.value().empty() ? WindowsPath(TESS_E2E_WORK) : "C:\\" + beyondCodePage.value()) +
                 "\\" + name;
        ASSERT_TRUE(MakeFolders(folder)) << folder;
        EmptyFolder(folder);
        ASSERT_TRUE(
            CopyFileW(Wide(WindowsPath(ORVINST_EXE)).c_str(), Wide(folder + "\\orvinst.exe").c_str(), FALSE));
    }
    void TearDown() override {
        if (program && program->running()) (void)program->terminate();
    }

    // The cabinet the setup program looks for beside itself.
    std::string cabinet() const { return folder + "\\tess10.cab"; }
    void placeCabinet(const std::string& source = WindowsPath(TESS_E2E_CABINET)) {
        ASSERT_TRUE(CopyFileW(Wide(source).c_str(), Wide(cabinet()).c_str(), FALSE)) << source;
    }
    // The default application folder.
    static std::string defaultAppFolder() { return ProgramFilesFolder() + "\\Tessary"; }

    // Starts the setup program and waits for its wizard.
    void start(std::vector<std::pair<std::string, std::string>> environment = {}) {
        auto started = RunningProgram::Start({folder + "\\orvinst.exe", {}, folder, std::move(environment)});
        ASSERT_TRUE(started.ok()) << started.error().message;
        program.emplace(std::move(started).value());
        auto found = FindTopWindow({kWizardTitle, "", program->processId(), true});
        ASSERT_TRUE(found.ok()) << found.error().message;
        wizard = found.value();
    }

    HWND control(const std::string& name, HWND top = nullptr) {
        auto found = FindControl(top ? top : wizard, name);
        EXPECT_TRUE(found.ok()) << "no control " << name;
        return found ? found.value() : nullptr;
    }
    std::string text(const char* name) {
        auto found = FindControl(wizard, name);
        if (!found) return "(no " + std::string(name) + ")";
        auto t = Text(found.value());
        return t ? t.value() : "(unreadable)";
    }
    // Waits until the page text says `expected` somewhere.
    void awaitPage(const std::string& expected) {
        const Status shown = WaitUntil([&] { return text("About").find(expected) != std::string::npos; },
                                       "the page text \"" + expected + "\"");
        ASSERT_TRUE(shown.ok()) << shown.error().message << "; the page says: " << text("About");
    }
    // Presses a key and waits for the page whose text says `expected`.
    void keyUntil(UINT key, const std::string& expected) {
        ASSERT_TRUE(PressKey(wizard, key).ok());
        awaitPage(expected);
    }
    // Clicks the middle of a button area of the artwork, as a user clicks its caption.
    void clickArea(const char* name) {
        const Status clicked = ClickCentre(control(name));
        ASSERT_TRUE(clicked.ok()) << name << ": " << clicked.error().message;
    }
    void clickUntil(const char* name, const std::string& expected) {
        clickArea(name);
        awaitPage(expected);
    }
    // Waits for the message box with `caption` of the setup program (or of the process
    // `processId`), reads it and presses `button`.
    std::string answer(const std::string& caption, int button, DWORD processId = 0) {
        auto box = FindMessageBox(processId ? processId : program->processId(), caption);
        if (!box) return "(no message box)";
        auto said = MessageText(box.value());
        EXPECT_TRUE(PressMessageButton(box.value(), button).ok());
        return said ? said.value() : "(unreadable)";
    }
    // From the first page to the last with Enter; the installation runs on the way.
    void installWithKeys() {
        keyUntil(VK_RETURN, kChoosePage);
        keyUntil(VK_RETURN, kReadyPage);
        keyUntil(VK_RETURN, kFinishedPage);
    }

    std::string folder;
    std::optional<RunningProgram> program;
    HWND wizard = nullptr;
};

} // namespace tess::e2e

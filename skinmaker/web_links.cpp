// Opening web pages through the shell with a temporary page that finds the browser, and the
// shell's error texts.
#include "skinmaker/web_links.h"

#include "core/error_rules.h"
#include "core/text.h"
#include "platform/file_system.h"

namespace tess::skinmaker {

namespace {

constexpr const char* kBrowserNotFound = "Could not open your browser!";
constexpr const char* kBrowserNotFoundCaption = "Browser Not Found...";
constexpr const char* kPageFailed = "Web page fialed to be opened.";
constexpr const char* kPageFailedCaption = "Website URL Failed...";

// Writes the temporary page's one line; false when it could not be written whole.
bool WriteTemporaryPage(platform::Files& files, const std::string& path) {
    static constexpr char kLine[] = "<HTML> <\\HTML>\r\n";
    return files.WriteFileReplacing(path, std::vector<uint8_t>(kLine, kLine + sizeof kLine - 1)).ok();
}

} // namespace

std::string ShellErrorText(int code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Path not found";
    case 5: return "Access denied";
    case 8: return "Out of memory";
    case 11: return "Invalid EXE file or error in EXE image";
    case 26: return "A sharing violation occurred";
    case 27: return "Incomplete or invalid file association";
    case 28: return "DDE Time out";
    case 29: return "DDE transaction failed";
    case 30: return "DDE busy";
    case 31: return "No association for file extension";
    case 32: return "DLL not found";
    default: return "Unknown error";
    }
}

void OpenLink(ShellApi& shell, ui::Host& host, platform::Files& files, const std::string& dataFolder,
              const std::string& WebSiteStr, bool OpenNew) {
    HandlerErrors<OnError::Resume> on;
    const std::string page = dataFolder + "\\Test.htm";
    if (!WriteTemporaryPage(files, page)) {
        // No page to ask about (a read-only folder, say): the shell opens the address itself.
        on.step(files.RemoveFile(page));
        if (shell.ShellExecute(0, "Open", WebSiteStr, "", "", kShowNormal) <= 32)
            host.messageBox(kPageFailed, ui::kMbIconExclamation, kPageFailedCaption);
        return;
    }
    std::string browser(255, ' ');
    const int found = shell.FindExecutable(page, "", browser);
    browser = TrimSpaces(browser);
    if (found <= 32) {
        host.messageBox(kBrowserNotFound, ui::kMbIconExclamation, kBrowserNotFoundCaption);
    } else {
        const int opened = OpenNew ? shell.ShellExecute(0, "Open", browser, WebSiteStr, "", kShowNormal)
                                   : shell.ShellExecute(0, "Open", WebSiteStr, "", "", kShowNormal);
        if (opened <= 32) host.messageBox(kPageFailed, ui::kMbIconExclamation, kPageFailedCaption);
    }
    on.step(files.RemoveFile(page));
}

} // namespace tess::skinmaker

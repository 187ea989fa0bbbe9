// The group folder is created one level deep inside a shell folder that exists already; when that
// shell folder is unknown the step is skipped rather than creating a folder at a drive's root.
#include "program_group.h"

#include <optional>

#include "main_varies.h"
#include "setup_strings.h"

namespace tess::installer {

namespace {

// The shell folder's path with `name` appended; nothing when the shell folder is unknown.
std::optional<std::string> InShellFolder(const platform::SystemInfo& system, int csidl,
                                         const std::string& name) {
    const Result<std::string> shellFolder = system.SpecialFolder(csidl);
    if (!shellFolder.ok() || TrimSpaces(shellFolder.value()).empty())
        return std::nullopt;
    std::string folder = shellFolder.value();
    AddDirSep(folder);
    return folder + name;
}

bool MakeFolder(platform::Files& files, const std::string& folder) {
    const Status made = files.CreateFolder(folder);
    return made.ok() || made.error().code == ErrorCode::AlreadyExists;
}

} // namespace

int GroupShellFolder(const platform::SystemInfo& system, bool perUser, bool startMenu) {
    if (perUser || IsWin95(system))
        return startMenu ? platform::kCsidlStartMenu : platform::kCsidlPrograms;
    return startMenu ? platform::kCsidlCommonStartMenu : platform::kCsidlCommonPrograms;
}

GroupReport CreateProgramGroup(const platform::SystemInfo& system, platform::Files& files,
                               ShellLinks& links, const std::string& appDir,
                               std::string folderName, bool perUser, bool startMenu,
                               const std::vector<GroupShortcut>& shortcuts) {
    GroupReport report;
    ReplaceDoubleQuotes(folderName);
    // The shortcuts go into the group folder, so that the group is the one place the uninstaller
    // removes; without a name there is no group folder and they lie in the shell folder itself.
    const std::optional<std::string> folder =
        InShellFolder(system, GroupShellFolder(system, perUser, startMenu), folderName);
    report.noShellFolder = !folder;
    bool linkFolderReady = folder.has_value();
    if (folder && !folderName.empty()) {
        report.folder = *folder;
        report.folderReady = MakeFolder(files, *folder);
        linkFolderReady = report.folderReady;
    }
    const std::string linkPrefix = !folder ? "" : folderName.empty() ? *folder : *folder + "\\";
    for (const GroupShortcut& shortcut : shortcuts) {
        const std::string caption = TrimSpaces(shortcut.caption);
        const std::string target = appDir + "\\" + TrimSpaces(shortcut.program);
        if (!linkFolderReady ||
            !links.CreateLink(linkPrefix + caption + ".lnk", target, "", caption).ok())
            report.failedShortcuts.push_back(caption);
    }
    return report;
}

} // namespace tess::installer

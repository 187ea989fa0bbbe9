// Drives from GetLogicalDrives with their labels (or the shares of network drives), current
// folders from GetFullPathName of a drive alone, and subfolders from FindFirstFile, without "."
// and "..".
#include "ui/win32/win32_folder_system.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "core/ascii_case.h"
#include "platform/win32/network_drives.h"
#include "ui/win32/win32_handles.h"

namespace tess::ui::win32 {

namespace {

// No message boxes from the system for a drive without a medium.
class QuietErrors {
public:
    QuietErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    UINT previous_;
};

} // namespace

std::vector<DriveInfo> Win32FolderSystem::drives() const {
    QuietErrors quiet;
    std::vector<DriveInfo> found;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        DriveInfo drive;
        drive.letter = static_cast<char>('a' + i);
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_REMOTE) {
            // A share that cannot be read leaves the drive without a description.
            if (auto share = platform::win32::NetworkDriveShare(drive.letter))
                drive.description = std::move(share).value();
        } else if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) {
            // Asking a removable drive for its label would wait for its medium.
            char label[MAX_PATH + 1] = {};
            if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                      nullptr, 0))
                drive.description = label;
        }
        found.push_back(std::move(drive));
    }
    return found;
}

Result<std::string> Win32FolderSystem::currentFolder(char drive) const {
    QuietErrors quiet;
    const std::string driveName{static_cast<char>(std::toupper(static_cast<unsigned char>(drive))), ':'};
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(driveName.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return Error{ErrorCode::CannotOpen, "Drive " + driveName + " cannot be read"};
    std::string path(full, length);
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

char Win32FolderSystem::currentDrive() const {
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length >= 2 && length < sizeof folder && folder[1] == ':') return AsciiLower(folder[0]);
    return 'c';
}

Result<std::vector<std::string>> Win32FolderSystem::subfolders(const std::string& folder) const {
    QuietErrors quiet;
    const std::string pattern = folder + (folder.empty() || folder.back() != '\\' ? "\\*" : "*");
    WIN32_FIND_DATAA entry{};
    HANDLE first = FindFirstFileA(pattern.c_str(), &entry);
    if (first == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty root has no entries at all, not even "." and "..".
        if (error == ERROR_FILE_NOT_FOUND && folder.size() == 3)
            return std::vector<std::string>{};
        return Error{error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND
                         ? ErrorCode::FileNotFound
                         : ErrorCode::CannotOpen,
                     "The folder " + folder + " cannot be read"};
    }
    UniqueFind search(first);
    std::vector<std::string> names;
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(first, &entry));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

} // namespace tess::ui::win32

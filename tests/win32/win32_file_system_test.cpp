// The file system cases on the real file system through the Win32 one, each in a fresh folder of
// its own in the temporary folder that is deleted with everything in it afterwards; the lead bytes
// the paths are split by, as the system reports them.
#include <windows.h>

#include <winioctl.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>

#include "platform/file_system.h"
#include "platform/win32/code_page.h"
#include "platform/win32/handles.h"
#include "tests/support/code_page_932.h"
#include "tests/support/file_system_cases.h"

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A junction at `link` to the folder `target`, as the system's mklink /j makes it; 0, or the
// system's error.
DWORD MakeJunction(const std::string& link, const std::string& target) {
    struct {
        DWORD tag;
        WORD dataLength, reserved;
        WORD substituteOffset, substituteLength, printOffset, printLength;
        WCHAR names[MAX_PATH * 2 + 8];
    } buffer{};
    const std::wstring substitute = L"\\??\\" + Wide(target), print = Wide(target);
    buffer.tag = IO_REPARSE_TAG_MOUNT_POINT;
    buffer.substituteLength = static_cast<WORD>(substitute.size() * sizeof(WCHAR));
    buffer.printOffset = static_cast<WORD>(buffer.substituteLength + sizeof(WCHAR));
    buffer.printLength = static_cast<WORD>(print.size() * sizeof(WCHAR));
    std::wmemcpy(buffer.names, substitute.c_str(), substitute.size() + 1);
    std::wmemcpy(buffer.names + substitute.size() + 1, print.c_str(), print.size() + 1);
    buffer.dataLength = static_cast<WORD>(8 + buffer.printOffset + buffer.printLength + sizeof(WCHAR));
    if (!CreateDirectoryA(link.c_str(), nullptr)) return GetLastError();
    HANDLE opened = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD error = opened == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (opened != INVALID_HANDLE_VALUE) {
        tess::platform::win32::UniqueKernelHandle folder(opened);
        DWORD returned = 0;
        if (!DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, &buffer, 8 + buffer.dataLength, nullptr, 0,
                             &returned, nullptr))
            error = GetLastError();
    }
    if (error) RemoveDirectoryA(link.c_str());
    return error;
}

bool IsReparsePoint(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class Win32FilesBackend {
public:
    Win32FilesBackend() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        base_ = std::string(temp) + "tess-files-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++made_);
        EXPECT_TRUE(CreateDirectoryA(base_.c_str(), nullptr)) << base_;
    }
    ~Win32FilesBackend() {
        held_.clear();
        // Links first, so that the shell's deletion cannot reach what they point to.
        tess::platform::FileSystem& fs = files();
        for (const std::string& path : fs.ListTree(base_)) {
            if (fs.IsLink(path)) {
                EXPECT_TRUE(fs.RemoveLink(path).ok()) << path;
            }
        }
        EXPECT_TRUE(fs.ShellDelete(base_, false).ok());
        EXPECT_EQ(GetFileAttributesA(base_.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    tess::platform::FileSystem& files() { return tess::platform::SystemFileSystem(); }
    const std::string& base() const { return base_; }
    // The system's two kinds of folder link: a symbolic link, else a junction.
    bool MakeLink(const std::string& link, const std::string& target, bool folder) {
        if (CreateSymbolicLinkA(link.c_str(), target.c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) &&
            IsReparsePoint(link))
            return true;
        if (folder) {
            RemoveDirectoryA(link.c_str());
            return MakeJunction(link, target) == 0 && IsReparsePoint(link);
        }
        DeleteFileA(link.c_str());
        return false;
    }
    void HoldOpen(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        held_[path] = tess::platform::win32::UniqueKernelHandle(file);
    }
    void Release(const std::string& path) { held_.erase(path); }
    void MakeReadOnly(const std::string& path) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
    }
    std::string WriteBeyondCodePage(const std::string& folder) {
        const std::wstring name = Wide(folder) + L"\\..\uFF3C..\uFF3Cvictim.txt";
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << folder;
        CloseHandle(file);
        // The test programs run with a code page of one byte a character, which has no fullwidth
        // reverse solidus.
        return folder + "\\..?..?victim.txt";
    }
    bool IsReadOnly(const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    }

private:
    static inline int made_ = 0;
    std::string base_;
    std::map<std::string, tess::platform::win32::UniqueKernelHandle> held_;
};

} // namespace

namespace tess::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemCases, Win32FilesBackend);
} // namespace tess::testing

namespace {

// The native tests read paths with code page 932's lead bytes as written in the tests; the system
// must report the same ones, whatever code page is active.
TEST(Win32CodePage, LeadBytesAreTheSystems) {
    const tess::platform::CodePage japanese = tess::platform::win32::SystemCodePage(932);
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        EXPECT_EQ(japanese.isLeadByte(c), tess::testing::kCodePage932.isLeadByte(c)) << byte;
    }
}

} // namespace

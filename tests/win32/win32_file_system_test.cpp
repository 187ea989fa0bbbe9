// The file system cases on the real file system through the Win32 one, each in a fresh folder of
// its own in the temporary folder that is deleted with everything in it afterwards; the walks over
// links the system reports as Windows does; the lead bytes paths are split by, as the system has them.
#include <windows.h>

#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/code_page.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_file_system.h"
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
        // Links go as links, so that what they point to outside the base stays.
        EXPECT_EQ(files().RemoveTree(base_), std::vector<std::string>{});
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
    // This program holds the skin maker's manifest, and so runs under UTF-8 where the system
    // honours it; otherwise under the system's code page, of one byte a character here, which has
    // no fullwidth reverse solidus. UTF-8 lacks only half a surrogate pair, a name Windows makes
    // and Wine does not.
    tess::testing::OddName WriteBeyondCodePage(const std::string& folder) {
        const bool utf8 = tess::platform::CodePage::Active().isUtf8();
        const std::wstring lookAlike = Wide(folder) + L"\\..\uFF3C..\uFF3Cvictim.txt";
        if (utf8 && Write(lookAlike + L"\xD800"))
            return {folder + "\\..\xEF\xBC\xBC..\xEF\xBC\xBCvictim.txt?", false};
        EXPECT_TRUE(Write(lookAlike)) << folder;
        if (utf8)
            return {folder + "\\..\xEF\xBC\xBC..\xEF\xBC\xBCvictim.txt", true};
        return {folder + "\\..?..?victim.txt", false};
    }
    static bool Write(const std::wstring& name) {
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
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

using tess::platform::win32::EntryCalls;

// Entries that answer the file system's calls as Windows documents, with the links Wine makes
// none of: FindFirstFileW and GetFileAttributesW report a link's own attributes, never its
// target's, and FindFirstFileW puts a reparse point's tag in dwReserved0 ("Reparse Point Tags");
// a junction and a folder's symbolic link are folders with FILE_ATTRIBUTE_REPARSE_POINT, a file's
// symbolic link a file with it. A path through a link leads on in its target, as the system's
// paths do, so that a walk that entered a link would list and delete what lies outside. The
// calls are noted in `calls`, "find", "hold", "rmdir" or "delete" and the path.
class DocumentedEntries final : public EntryCalls {
public:
    void Folder(const std::wstring& path) { entries_[Key(path)] = {path, FILE_ATTRIBUTE_DIRECTORY, 0, {}}; }
    void File(const std::wstring& path) { entries_[Key(path)] = {path, FILE_ATTRIBUTE_ARCHIVE, 0, {}}; }
    void Link(const std::wstring& path, const std::wstring& target, DWORD tag, bool folder) {
        const DWORD kind = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        entries_[Key(path)] = {path, kind | FILE_ATTRIBUTE_REPARSE_POINT, tag, Key(target)};
    }
    bool Has(const std::wstring& path) const { return entries_.count(Key(path)) > 0; }
    std::vector<std::string> calls;

    DWORD Attributes(const std::wstring& path) override {
        const Entry* entry = EntryAt(Resolved(path, false));
        if (!entry)
            SetLastError(ERROR_FILE_NOT_FOUND);
        return entry ? entry->attributes : INVALID_FILE_ATTRIBUTES;
    }
    DWORD Find(const std::wstring& search, std::vector<WIN32_FIND_DATAW>& found) override {
        Note("find", search);
        const std::wstring folder = Resolved(search.substr(0, search.rfind(L'\\')), true);
        const Entry* listed = EntryAt(folder);
        if (search.substr(search.rfind(L'\\') + 1) != L"*" || !listed || !(listed->attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return ERROR_PATH_NOT_FOUND;
        }
        // A folder below a drive's root lists itself and its parent first.
        for (const wchar_t* dots : {L".", L".."}) {
            WIN32_FIND_DATAW data{};
            data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
            std::wmemcpy(data.cFileName, dots, std::wcslen(dots) + 1);
            found.push_back(data);
        }
        for (const auto& [key, entry] : entries_) {
            if (key.rfind(folder + L"\\", 0) != 0 || key.find(L'\\', folder.size() + 1) != std::wstring::npos)
                continue;
            WIN32_FIND_DATAW data{};
            data.dwFileAttributes = entry.attributes;
            // Undefined for an entry that is no reparse point: a tag there, so that code which
            // read it without the attribute would take a folder for a link.
            data.dwReserved0 = entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT ? entry.tag : IO_REPARSE_TAG_MOUNT_POINT;
            const std::wstring name = entry.path.substr(entry.path.rfind(L'\\') + 1);
            std::wmemcpy(data.cFileName, name.c_str(), name.size() + 1);
            found.push_back(data);
        }
        return ERROR_SUCCESS;
    }
    std::shared_ptr<void> Hold(const std::wstring& path, DWORD& attributes) override {
        Note("hold", path);
        attributes = Attributes(path);
        return attributes == INVALID_FILE_ATTRIBUTES ? nullptr : std::make_shared<int>(0);
    }
    bool RemoveFolder(const std::wstring& path) override {
        Note("rmdir", path);
        const std::wstring at = Resolved(path, false);
        const Entry* entry = EntryAt(at);
        if (!entry || !(entry->attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetLastError(entry ? ERROR_DIRECTORY : ERROR_FILE_NOT_FOUND);
            return false;
        }
        const bool empty = std::none_of(entries_.begin(), entries_.end(),
                                        [&](const auto& other) { return other.first.rfind(at + L"\\", 0) == 0; });
        if (!(entry->attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !empty) {
            SetLastError(ERROR_DIR_NOT_EMPTY);
            return false;
        }
        entries_.erase(at);
        return true;
    }
    tess::Status DeleteEntry(const std::wstring& path, const std::string& shown, bool links) override {
        Note("delete", path);
        const std::wstring at = Resolved(path, false);
        const Entry* entry = EntryAt(at);
        if (!entry)
            return tess::Error{tess::ErrorCode::FileNotFound, shown};
        if ((entry->attributes & FILE_ATTRIBUTE_DIRECTORY) || (!links && (entry->attributes & FILE_ATTRIBUTE_REPARSE_POINT)))
            return tess::Error{tess::ErrorCode::InvalidArgument, shown + " is not a plain file"};
        entries_.erase(at);
        return tess::Status::Ok();
    }

private:
    struct Entry {
        std::wstring path;
        DWORD attributes = 0, tag = 0;
        std::wstring target;  // a link's, by key
    };
    static std::wstring Key(std::wstring path) {
        if (path.rfind(L"\\\\?\\", 0) == 0)
            path.erase(0, 4);
        std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
        return path;
    }
    const Entry* EntryAt(const std::wstring& key) const {
        const auto found = entries_.find(key);
        return found == entries_.end() ? nullptr : &found->second;
    }
    // The key of `path` with every link on the way replaced by its target, the last one too when
    // `last` (as a handle opened without FILE_FLAG_OPEN_REPARSE_POINT would be).
    std::wstring Resolved(const std::wstring& path, bool last) const {
        const std::wstring key = Key(path);
        std::wstring at;
        for (size_t start = 0; start <= key.size();) {
            const size_t end = std::min(key.find(L'\\', start), key.size());
            at += (at.empty() ? L"" : L"\\") + key.substr(start, end - start);
            const Entry* entry = EntryAt(at);
            if (entry && (entry->attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (end < key.size() || last))
                at = entry->target;
            start = end + 1;
        }
        return at;
    }
    void Note(const char* call, const std::wstring& path) { calls.push_back(std::string(call) + " " + Narrow(Key(path))); }
    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    std::map<std::wstring, Entry> entries_;
};

// The removal and the listing of a tree take each kind of link as itself: a junction, a folder's
// symbolic link and a file's are listed, removed by their own names and never listed through,
// inside the tree and given as the tree; what they lead to stays whole. Every entry goes by the
// exact wide name it is listed under, whatever the code page spells of it.
TEST(Win32LinkWalk, EveryKindOfLinkGoesAsItselfAndIsNeverEntered) {
    DocumentedEntries entries;
    tess::platform::win32::Win32FileSystem fs(entries);
    for (const wchar_t* folder : {L"C:\\T", L"C:\\T\\Photos", L"C:\\T\\Tessary", L"C:\\T\\Tessary\\Collection"})
        entries.Folder(folder);
    for (const wchar_t* file : {L"C:\\T\\Photos\\holiday.bmp", L"C:\\T\\Tessary\\Tessary.exe",
                                L"C:\\T\\Tessary\\Collection\\Skin0001.bmp"})
        entries.File(file);
    entries.Link(L"C:\\T\\Tessary\\Pictures", L"C:\\T\\Photos", IO_REPARSE_TAG_MOUNT_POINT, true);
    entries.Link(L"C:\\T\\Tessary\\Albums", L"C:\\T\\Photos", IO_REPARSE_TAG_SYMLINK, true);
    entries.Link(L"C:\\T\\Tessary\\photo.bmp", L"C:\\T\\Photos\\holiday.bmp", IO_REPARSE_TAG_SYMLINK, false);
    entries.Link(L"C:\\T\\Alias", L"C:\\T\\Photos", IO_REPARSE_TAG_MOUNT_POINT, true);
    // Names beyond a code page of single bytes: "图片.bmp", which UTF-8 spells, and one holding half
    // a surrogate pair, which no code page spells and which shows '?' there.
    entries.File(L"C:\\T\\Tessary\\Collection\\\u56FE\u7247.bmp");
    entries.File(L"C:\\T\\Tessary\\Collection\\Skin\xD800.bmp");
    const std::string app = "C:\\T\\Tessary";
    const std::string picture = tess::platform::CodePage::Active().isUtf8() ? "\xE5\x9B\xBE\xE7\x89\x87.bmp" : "??.bmp";

    for (const char* link : {"\\Pictures", "\\ALBUMS", "\\photo.bmp"})
        EXPECT_TRUE(fs.IsLink(app + link)) << link;
    EXPECT_FALSE(fs.IsLink(app + "\\Collection"));
    EXPECT_FALSE(fs.IsLink(app + "\\Tessary.exe"));
    std::vector<std::string> listed = fs.ListTree(app);
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected{app + "\\Albums", app + "\\Collection", app + "\\Collection\\Skin0001.bmp",
                                      app + "\\Collection\\Skin?.bmp", app + "\\Collection\\" + picture,
                                      app + "\\Pictures", app + "\\Tessary.exe", app + "\\photo.bmp"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(fs.RemoveLink(app + "\\Collection").error().code, tess::ErrorCode::InvalidArgument);
    EXPECT_TRUE(entries.Has(L"C:\\T\\Tessary\\Collection"));

    entries.calls.clear();
    EXPECT_EQ(fs.RemoveTree(app), std::vector<std::string>{});
    EXPECT_EQ(fs.RemoveTree("C:\\T\\Alias"), std::vector<std::string>{});
    EXPECT_FALSE(entries.Has(L"C:\\T\\Tessary"));
    EXPECT_FALSE(entries.Has(L"C:\\T\\Alias"));
    EXPECT_TRUE(entries.Has(L"C:\\T\\Photos\\holiday.bmp"));
    for (const char* call : {"rmdir c:\\t\\tessary\\pictures", "rmdir c:\\t\\tessary\\albums",
                             "delete c:\\t\\tessary\\photo.bmp", "rmdir c:\\t\\alias"})
        EXPECT_NE(std::find(entries.calls.begin(), entries.calls.end(), call), entries.calls.end()) << call;
    for (const std::string& call : entries.calls) {
        EXPECT_EQ(call.find("find c:\\t\\tessary\\pictures"), std::string::npos) << call;
        EXPECT_EQ(call.find("find c:\\t\\tessary\\albums"), std::string::npos) << call;
        EXPECT_EQ(call.find("find c:\\t\\alias"), std::string::npos) << call;
    }

    // RemoveLink takes a file's link by itself and a folder's with RemoveDirectory.
    entries.Folder(L"C:\\T\\Tessary");
    entries.Link(L"C:\\T\\Tessary\\photo.bmp", L"C:\\T\\Photos\\holiday.bmp", IO_REPARSE_TAG_SYMLINK, false);
    entries.Link(L"C:\\T\\Tessary\\Pictures", L"C:\\T\\Photos", IO_REPARSE_TAG_MOUNT_POINT, true);
    EXPECT_TRUE(fs.RemoveLink(app + "\\photo.bmp").ok());
    EXPECT_TRUE(fs.RemoveLink(app + "\\Pictures").ok());
    EXPECT_FALSE(entries.Has(L"C:\\T\\Tessary\\Pictures"));
    EXPECT_FALSE(entries.Has(L"C:\\T\\Tessary\\photo.bmp"));
    EXPECT_TRUE(entries.Has(L"C:\\T\\Photos\\holiday.bmp"));
}

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

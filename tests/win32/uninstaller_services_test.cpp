// The uninstaller's Win32 services on the real system: the temporary copy's private folder, its
// permissions and command line, a running program's file set aside, and an icon turned into a
// picture. Its file operations are the file system's, checked by the file system cases.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/handles.h"
#include "ui/win32/win32_bitmaps.h"
#include "uninstaller/win32/temporary_copy.h"

using namespace tess;
using namespace tess::uninstaller::win32;

namespace {

void Touch(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
}

class RemovalFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        root = std::string(temp) + "tess-removal-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        app = root + "\\Tessary";
        for (const std::string& folder : {root, app, app + "\\Collection", app + "\\Collection\\Old"})
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        for (const char* name : {"\\Tessary.exe", "\\Skin.bmp", "\\readme.txt", "\\Collection\\Skin0001.bmp",
                                 "\\Collection\\Old\\Skin0009.bmp"})
            Touch(app + name);
        Touch(root + "\\neighbour.txt");
    }
    void TearDown() override {
        (void)files.RemoveTree(root);
    }

    std::string root, app;
    platform::FileSystem& files = platform::SystemFileSystem();
};

struct LocalFreeRelease {
    void operator()(PSECURITY_DESCRIPTOR descriptor) const { LocalFree(descriptor); }
};

// The access list of a file or folder: whether it is protected, and each entry's trustee,
// inheritance and rights.
struct AccessList {
    bool protectedList = false;
    std::vector<std::tuple<WELL_KNOWN_SID_TYPE, BYTE, ACCESS_MASK>> entries;
};

AccessList ReadAccessList(const std::string& path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR read = nullptr;
    AccessList list;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &read) != ERROR_SUCCESS)
        return list;
    platform::win32::UniqueHandle<PSECURITY_DESCRIPTOR, LocalFreeRelease> descriptor(read);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor.get(), &control, &revision);
    list.protectedList = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry) || static_cast<ACE_HEADER*>(entry)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        PSID sid = &allowed->SidStart;
        const WELL_KNOWN_SID_TYPE who = IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ? WinBuiltinAdministratorsSid
                                        : IsWellKnownSid(sid, WinLocalSystemSid)        ? WinLocalSystemSid
                                                                                         : WinNullSid;
        list.entries.emplace_back(who, static_cast<BYTE>(allowed->Header.AceFlags & ~INHERITED_ACE), allowed->Mask);
    }
    return list;
}

TEST_F(RemovalFiles, APrivateFolderIsAlwaysANewOne) {
    // A folder someone made first under the name tried first is passed over, untouched.
    const std::string planted = root + "\\Tessary-planted";
    ASSERT_TRUE(CreateDirectoryA(planted.c_str(), nullptr));
    Touch(planted + "\\version.dll");
    const std::vector<std::string> names{"Tessary-planted", "Tessary-second"};
    size_t next = 0;
    const auto folder = CreatePrivateFolder(root, [&] { return names[next++ % names.size()]; });
    ASSERT_TRUE(folder.ok()) << folder.error().message;
    EXPECT_EQ(folder.value().path, root + "\\Tessary-second");
    EXPECT_TRUE(files.FileExists(planted + "\\version.dll"));
    EXPECT_EQ(CreatePrivateFolder(root, [] { return std::string("Tessary-planted"); }, 3).error().code,
              ErrorCode::AlreadyExists);

    const std::string random = RandomFolderName();
    EXPECT_EQ(random.rfind(kCopyFolderPrefix, 0), 0u) << random;
    EXPECT_NE(random, RandomFolderName());
    // Only a folder of that name directly in the temporary folder is a copy's own.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(PrivateFolderOf(temp + random + "\\remover.exe"), temp + random);
    const std::string systemTemp = SystemTempFolder() + "\\" + random;
    EXPECT_EQ(PrivateFolderOf(systemTemp + "\\remover.exe"), systemTemp);
    EXPECT_EQ(PrivateFolderOf(folder.value().path + "\\remover.exe"), "");
    EXPECT_EQ(PrivateFolderOf(std::string(temp) + "Downloads\\remover.exe"), "");
}

TEST_F(RemovalFiles, APrivateFolderCannotBeRenamedOrDeletedWhileItIsHeld) {
    auto folder = CreatePrivateFolder(root, [] { return std::string("Tessary-held"); });
    ASSERT_TRUE(folder.ok()) << folder.error().message;
    const std::string path = folder.value().path, moved = root + "\\Tessary-moved";
    EXPECT_FALSE(MoveFileExA(path.c_str(), moved.c_str(), 0));
    EXPECT_FALSE(RemoveDirectoryA(path.c_str()));
    // What the copy needs still works: a file made inside, the folder made the current one.
    Touch(path + "\\remover.exe");
    char before[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, before), 0u);
    EXPECT_TRUE(SetCurrentDirectoryA(path.c_str()));
    ASSERT_TRUE(SetCurrentDirectoryA(before));
    EXPECT_TRUE(files.FolderExists(path));

    folder.value().held.reset();
    EXPECT_TRUE(MoveFileExA(path.c_str(), moved.c_str(), 0));
    EXPECT_TRUE(DeleteFileA((moved + "\\remover.exe").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(moved.c_str()));
}

TEST(TemporaryCopy, APrivateFolderIsMadeOnlyOnAVolumeThatKeepsPermissions) {
    const std::string temp = "C:\\Users\\me\\AppData\\Local\\Temp", systemTemp = "D:\\Windows\\Temp";
    // The drive letters of the volumes that keep permissions.
    const auto keepingOn = [](std::string drives) {
        return [drives](const std::string& folder) { return drives.find(folder[0]) != std::string::npos; };
    };
    EXPECT_EQ(PrivateFolderParent(temp, systemTemp, keepingOn("CD")), temp);
    // A temporary folder on FAT: the system's own, where its volume keeps permissions.
    EXPECT_EQ(PrivateFolderParent(temp, systemTemp, keepingOn("D")), systemTemp);
    EXPECT_EQ(PrivateFolderParent(temp, systemTemp, keepingOn("")), "");

    char windows[MAX_PATH] = {};
    ASSERT_GT(GetSystemWindowsDirectoryA(windows, MAX_PATH), 0u);
    EXPECT_EQ(SystemTempFolder(), std::string(windows) + "\\Temp");
    // The system's volume keeps permissions on every system the uninstaller runs on.
    EXPECT_TRUE(KeepsPermissions(SystemTempFolder()));
    EXPECT_FALSE(KeepsPermissions("Q:\\no such volume"));
}

// The descriptor a private folder is made with, read back in the descriptor language: owned by
// the administrators, full access for them and the system, for the folder and all made inside,
// and nothing inherited from the temporary folder.
TEST(TemporaryCopy, APrivateFolderIsMadeForAdministratorsAndTheSystemOnly) {
    const auto descriptor = PrivateFolderDescriptor();
    ASSERT_TRUE(descriptor.ok()) << descriptor.error().message;
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor.value().get(), SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text,
        nullptr));
    const std::string converted = text;
    LocalFree(text);
    EXPECT_EQ(converted, "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");
}

// The same read back from the folder made, where the file system keeps it.
TEST_F(RemovalFiles, OnlyAdministratorsAndTheSystemMayUseAPrivateFolder) {
    // Wine keeps no permissions on files: a folder made here with a protected list of its own
    // tells whether this system does.
    PSECURITY_DESCRIPTOR made = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;SY)", SDDL_REVISION_1, &made,
                                                                     nullptr));
    platform::win32::UniqueHandle<PSECURITY_DESCRIPTOR, LocalFreeRelease> probe(made);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, probe.get(), FALSE};
    ASSERT_TRUE(CreateDirectoryA((root + "\\probe").c_str(), &attributes));
    if (!ReadAccessList(root + "\\probe").protectedList)
        GTEST_SKIP() << "this system does not keep the permissions of files (Wine keeps none); the descriptor "
                        "made is checked by TemporaryCopy.APrivateFolderIsMadeForAdministratorsAndTheSystemOnly";

    // Full access for the administrators and the system, for the folder and all made inside it,
    // nothing inherited from the temporary folder.
    const auto created = CreatePrivateFolder(root, [] { return std::string("Tessary-acl"); });
    ASSERT_TRUE(created.ok()) << created.error().message;
    const std::string folder = created.value().path;
    const std::vector<std::tuple<WELL_KNOWN_SID_TYPE, BYTE, ACCESS_MASK>> privateEntries{
        {WinBuiltinAdministratorsSid, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_ALL_ACCESS},
        {WinLocalSystemSid, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_ALL_ACCESS}};
    const AccessList list = ReadAccessList(folder);
    EXPECT_TRUE(list.protectedList);
    EXPECT_EQ(list.entries, privateEntries);
    Touch(folder + "\\remover.exe");
    const AccessList inside = ReadAccessList(folder + "\\remover.exe");
    ASSERT_EQ(inside.entries.size(), 2u);
    EXPECT_EQ(std::get<0>(inside.entries[0]), WinBuiltinAdministratorsSid);
    EXPECT_EQ(std::get<0>(inside.entries[1]), WinLocalSystemSid);
}

TEST_F(RemovalFiles, ARunningProgramsFileCannotBeDeletedButIsSetAsideForTheRestart) {
    // A program running from the application folder, as the waiting original does.
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string running = app + "\\remover.exe";
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\notepad.exe").c_str(), running.c_str(), TRUE));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    std::string line = "\"" + running + "\"";
    ASSERT_TRUE(CreateProcessA(running.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, root.c_str(),
                               &startup, &started));
    platform::win32::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    WaitForInputIdle(process.get(), 10000);

    EXPECT_FALSE(DeleteFileA(running.c_str()));
    const auto folder = CreatePrivateFolder(root, [] { return std::string("Tessary-copy"); });
    ASSERT_TRUE(folder.ok()) << folder.error().message;
    EXPECT_TRUE(SetAside(running, folder.value().path));
    EXPECT_FALSE(files.FileExists(running));
    EXPECT_TRUE(files.FileExists(folder.value().path + "\\installed-remover.exe"));
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
}

TEST(TemporaryCopy, TakesTheFolderOnlyAfterItsSwitch) {
    EXPECT_EQ(AppDirArgument("/appdir \"C:\\Program Files\\Tessary\"").value_or("-"), "C:\\Program Files\\Tessary");
    EXPECT_EQ(AppDirArgument("/appdir C:\\Tessary").value_or("-"), "C:\\Tessary");
    EXPECT_FALSE(AppDirArgument("").has_value());
    EXPECT_FALSE(AppDirArgument("/appdir").has_value());
    EXPECT_FALSE(AppDirArgument("/appdir \"\"").has_value());
    EXPECT_FALSE(AppDirArgument("C:\\Tessary").has_value());
}

TEST(IconPicture, KeepsTheColoursAndTheTransparentPartsOfAnIcon) {
    // A 32-pixel icon: the left half a solid red, the right half masked out.
    std::vector<uint8_t> andMask(32 * 4, 0), xorBits(32 * 32 * 4, 0);
    for (int y = 0; y < 32; ++y) {
        andMask[y * 4 + 2] = andMask[y * 4 + 3] = 0xFF;
        for (int x = 0; x < 16; ++x) {
            uint8_t* px = &xorBits[(y * 32 + x) * 4];
            px[2] = 0xFF;  // BGRA red
        }
    }
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, andMask.data());
    HBITMAP colour = CreateBitmap(32, 32, 1, 32, xorBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    ASSERT_NE(icon, nullptr);
    const auto picture = tess::ui::win32::IconPicture(icon, 32);
    DestroyIcon(icon);
    ASSERT_TRUE(picture.has_value());
    ASSERT_TRUE(picture->hasTransparency());
    const auto left = picture->pixelAt(3, 7);
    EXPECT_EQ(left, (Rgba{255, 0, 0, 255}));
    EXPECT_LT(picture->pixelAt(20, 7).a, 128);
    EXPECT_LT(picture->pixelAt(31, 31).a, 128);
}

} // namespace

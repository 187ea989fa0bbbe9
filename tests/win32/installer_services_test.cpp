// The setup program's Win32 services on the real system: entries taken out of cabinets made by
// gcab (byte for byte, unknown and hostile names, damaged data, the cabinet held while open), the
// system's SHA-256, a shortcut read back through the shell's link object, the application folder's
// permissions, made and taken over, the system library loader, starting a program as the
// desktop's user, and the system's folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installer/win32/cabinet_extractor.h"
#include "installer/win32/shell_link.h"
#include "platform/file_system.h"
#include "platform/win32/desktop_shell.h"
#include "installer/win32/system_sha256.h"
#include "platform/win32/folder_security.h"
#include "platform/win32/handles.h"
#include "platform/win32/network_drives.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_system_info.h"

using namespace tess;
using namespace tess::installer;
using namespace tess::installer::win32;
using namespace tess::platform::win32;

namespace {

const std::string kCabinets = TESS_TEST_CABINET_DIR;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The names in a folder, "." and ".." left out.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// One entry taken out of the cabinet at `cab`, opened for that alone.
Status ExtractOnce(const std::string& cab, const std::string& entry, const std::string& dest) {
    Result<std::unique_ptr<OpenedCabinet>> opened = OpenCabinet(cab);
    if (!opened)
        return opened.error();
    return opened.value()->Extract(entry, dest);
}

// A fresh folder below the temporary folder, removed with its files afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        dir = std::string(temp) + "tess-installer-" + std::to_string(GetCurrentProcessId()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA((dir + "\\dest").c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* sub : {"\\dest", ""}) {
            for (const std::string& name : Listing(dir + sub))
                DeleteFileA((dir + sub + "\\" + name).c_str());
            RemoveDirectoryA((dir + sub).c_str());
        }
    }
};

class CabinetExtraction : public ScratchFolder {};
class InstallerShell : public ScratchFolder {};

// A folder below the scratch folder, with what the tests put in it, removed before the scratch
// folder itself.
class ProgramFolderSecurity : public ScratchFolder {
protected:
    std::string app;
    void SetUp() override {
        ScratchFolder::SetUp();
        app = dir + "\\Tessary";
    }
    void TearDown() override {
        for (const char* sub : {"\\Collection", ""}) {
            for (const std::string& name : Listing(app + sub))
                DeleteFileA((app + sub + "\\" + name).c_str());
            RemoveDirectoryA((app + sub).c_str());
        }
        ScratchFolder::TearDown();
    }
};

// A descriptor's owner and access list in the system's descriptor language.
std::string DescriptorText(PSECURITY_DESCRIPTOR descriptor) {
    char* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr))
        return "(not convertible: error " + std::to_string(GetLastError()) + ")";
    const std::string converted = text;
    LocalFree(text);
    return converted;
}

std::string MadeDescriptorText(FolderAccess access, Placement placement) {
    const Result<UniqueSecurityDescriptor> made = MakeDescriptor(access, placement);
    return made ? DescriptorText(made.value().get()) : "(" + made.error().message + ")";
}

// What the file system keeps for `path`.
std::string StoredDescriptorText(const std::string& path) {
    PSECURITY_DESCRIPTOR read = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &read) != ERROR_SUCCESS)
        return "(unreadable)";
    const UniqueSecurityDescriptor descriptor(read);
    return DescriptorText(descriptor.get());
}

} // namespace

TEST_F(CabinetExtraction, TakesEachNamedEntryAndOnlyThat) {
    const std::string cab = kCabinets + "\\good.cab";
    for (const char* entry : {"alpha.txt", "beta.bin"}) {
        SCOPED_TRACE(entry);
        const std::string dest = dir + "\\dest\\copy-of-" + entry;
        WriteAll(dest, "an older file that is longer than some entries, to be replaced whole");
        // What a run cut short left on its way in is written over and moved into place too.
        WriteAll(dest + ".partial", "an earlier run's unfinished arrival");
        const Status extracted = ExtractOnce(cab, entry, dest);
        ASSERT_TRUE(extracted.ok()) << extracted.error().message;
        const std::string expected = ReadAll(kCabinets + "\\good\\" + entry);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ReadAll(dest), expected);
    }
    // Entry names compare without regard to case, as file names do.
    EXPECT_TRUE(ExtractOnce(cab, "ALPHA.TXT", dir + "\\dest\\upper.txt").ok());
    EXPECT_EQ(Listing(dir + "\\dest").size(), 3u);

    const Status unknown = ExtractOnce(cab, "gamma.txt", dir + "\\dest\\gamma.txt");
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error().code, ErrorCode::FileNotFound);
    EXPECT_FALSE(ExtractOnce(dir + "\\absent.cab", "alpha.txt", dir + "\\dest\\x").ok());
    EXPECT_EQ(Listing(dir + "\\dest").size(), 3u);  // nothing left behind by the failures
}

TEST_F(CabinetExtraction, DamagedDataLeavesTheDestinationAlone) {
    std::string bytes = ReadAll(kCabinets + "\\good.cab");
    ASSERT_GT(bytes.size(), 40u);
    // The first folder record, right after the 36-byte header, gives where its data blocks
    // start; each block is an 8-byte header (with the checksum) and the compressed bytes.
    const size_t data = static_cast<uint8_t>(bytes[36]) | static_cast<uint8_t>(bytes[37]) << 8;
    ASSERT_LT(data + 40, bytes.size());
    for (size_t at = data + 12; at < data + 40; ++at)
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    WriteAll(dir + "\\damaged.cab", bytes);
    WriteAll(dir + "\\dest\\beta.bin", "previous");
    EXPECT_FALSE(ExtractOnce(dir + "\\damaged.cab", "beta.bin", dir + "\\dest\\beta.bin").ok());
    EXPECT_EQ(ReadAll(dir + "\\dest\\beta.bin"), "previous");
    EXPECT_EQ(Listing(dir + "\\dest"), std::vector<std::string>{"beta.bin"});

    WriteAll(dir + "\\truncated.cab", ReadAll(kCabinets + "\\good.cab").substr(0, 60));
    EXPECT_FALSE(ExtractOnce(dir + "\\truncated.cab", "alpha.txt", dir + "\\dest\\a").ok());
}

// gcab stores names as given, so the hostile names are made by overwriting placeholders of the
// same length in the stored file names: "zzzevil.txt" becomes "..\evil.txt" and "yyyabs.txt"
// becomes "C:\abs.txt".
TEST_F(CabinetExtraction, HostileEntryNamesWriteNothingOutsideTheDestination) {
    std::string bytes = ReadAll(kCabinets + "\\hostile.cab");
    const size_t up = bytes.find(std::string("zzzevil.txt\0", 12));
    const size_t root = bytes.find(std::string("yyyabs.txt\0", 11));
    ASSERT_NE(up, std::string::npos);
    ASSERT_NE(root, std::string::npos);
    bytes.replace(up, 3, "..\\");
    bytes.replace(root, 3, "C:\\");
    const std::string cab = dir + "\\hostile.cab";
    WriteAll(cab, bytes);

    const std::string dest = dir + "\\dest";
    EXPECT_FALSE(ExtractOnce(cab, "evil.txt", dest + "\\evil.txt").ok());
    EXPECT_FALSE(ExtractOnce(cab, "abs.txt", dest + "\\abs.txt").ok());
    const Status asked = ExtractOnce(cab, "..\\evil.txt", dest + "\\evil.txt");
    ASSERT_FALSE(asked.ok());
    EXPECT_EQ(asked.error().code, ErrorCode::InvalidArgument);
    EXPECT_FALSE(ExtractOnce(cab, "C:\\abs.txt", dest + "\\abs.txt").ok());
    // The harmless entry of the same cabinet still comes out.
    ASSERT_TRUE(ExtractOnce(cab, "good.txt", dest + "\\good.txt").ok());
    EXPECT_EQ(ReadAll(dest + "\\good.txt"), "harmless");

    EXPECT_EQ(Listing(dest), std::vector<std::string>{"good.txt"});
    EXPECT_FALSE(Exists(dir + "\\evil.txt"));
    EXPECT_FALSE(Exists("C:\\abs.txt"));
}

// While the setup program holds the cabinet, which lies in a folder the user can write, no one can
// change, rename or delete it, and every entry comes from that one opening.
TEST_F(CabinetExtraction, AHeldCabinetKeepsOthersFromChangingItAndGivesEveryEntry) {
    const std::string box = dir + "\\box", moved = dir + "\\box-moved";
    ASSERT_TRUE(CreateDirectoryA(box.c_str(), nullptr));
    const std::string cab = box + "\\held.cab";
    const std::string bytes = ReadAll(kCabinets + "\\good.cab");
    WriteAll(cab, bytes);
    bool folderMoved = false;
    {
        Result<std::unique_ptr<OpenedCabinet>> opened = OpenCabinet(cab);
        ASSERT_TRUE(opened.ok()) << opened.error().message;
        OpenedCabinet& held = *opened.value();
        EXPECT_EQ(held.Length(), bytes.size());

        const HANDLE writer = CreateFileA(cab.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(DeleteFileA(cab.c_str()));
        EXPECT_FALSE(MoveFileExA(cab.c_str(), (box + "\\moved.cab").c_str(), MOVEFILE_REPLACE_EXISTING));
        // Windows keeps the folder of an open file from being renamed; where a system lets it go
        // (Wine does), another cabinet under the old name, lacking these entries, is never read.
        folderMoved = MoveFileExA(box.c_str(), moved.c_str(), 0);
        if (folderMoved) {
            ASSERT_TRUE(CreateDirectoryA(box.c_str(), nullptr));
            WriteAll(cab, ReadAll(kCabinets + "\\hostile.cab"));
        }

        // One opening serves every entry, each extraction reading from the start.
        for (int round = 0; round < 2; ++round) {
            for (const char* entry : {"beta.bin", "alpha.txt"}) {
                SCOPED_TRACE(entry);
                const Status extracted = held.Extract(entry, dir + "\\dest\\" + entry);
                ASSERT_TRUE(extracted.ok()) << extracted.error().message;
                EXPECT_EQ(ReadAll(dir + "\\dest\\" + entry), ReadAll(kCabinets + "\\good\\" + entry));
            }
        }
    }
    // Let go of, it is the user's again.
    EXPECT_TRUE(DeleteFileA((folderMoved ? moved + "\\held.cab" : cab).c_str()));
    DeleteFileA(cab.c_str());
    RemoveDirectoryA(moved.c_str());
    RemoveDirectoryA(box.c_str());

    // A cabinet another program is still writing, a folder, and nothing at all are not opened.
    const std::string writingCab = dir + "\\writing.cab";
    WriteAll(writingCab, bytes);
    const HANDLE writing = CreateFileA(writingCab.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writing, INVALID_HANDLE_VALUE);
    const auto refused = OpenCabinet(writingCab);
    CloseHandle(writing);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code, ErrorCode::CannotOpen);
    ASSERT_FALSE(OpenCabinet(dir + "\\dest").ok());
    EXPECT_EQ(OpenCabinet(dir + "\\dest").error().code, ErrorCode::CannotOpen);
    ASSERT_FALSE(OpenCabinet(dir + "\\absent.cab").ok());
    EXPECT_EQ(OpenCabinet(dir + "\\absent.cab").error().code, ErrorCode::FileNotFound);
}

TEST(SystemSha256, GivesTheStandardTestVectors) {
    const auto hex = [](const std::string& text) {
        const Result<Sha256Digest> digest = SystemSha256(std::vector<uint8_t>(text.begin(), text.end()));
        if (!digest)
            return "(" + digest.error().message + ")";
        std::string out;
        for (const uint8_t byte : digest.value()) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", byte);
            out += pair;
        }
        return out;
    };
    EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST_F(InstallerShell, ShortcutReadsBackWithTargetAndDescription) {
    const std::string target = dir + "\\Tessary.exe";
    WriteAll(target, "MZ");
    const std::string linkPath = dir + "\\Tessary.lnk";
    const Status made = CreateShellLink(linkPath, target, "", "Tessary");
    ASSERT_TRUE(made.ok()) << made.error().message;

    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        IShellLinkA* link = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)), S_OK);
        IPersistFile* file = nullptr;
        ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
        const std::wstring wide(linkPath.begin(), linkPath.end());
        EXPECT_EQ(file->Load(wide.c_str(), STGM_READ), S_OK);
        char path[MAX_PATH] = {};
        char description[MAX_PATH] = {};
        EXPECT_EQ(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH), S_OK);
        EXPECT_EQ(link->GetDescription(description, MAX_PATH), S_OK);
        EXPECT_EQ(lstrcmpiA(path, target.c_str()), 0) << path;
        EXPECT_STREQ(description, "Tessary");
        file->Release();
        link->Release();
    }
    CoUninitialize();

    // The folder of the link must exist; a missing one is an error, not a silent success.
    EXPECT_FALSE(CreateShellLink(dir + "\\missing\\x.lnk", target, "", "x").ok());
}

TEST(ProgramFolderDescriptors, EveryoneReadsAndRunsTheAdministratorsOwnAndChange) {
    // The users' rights spelt as the system's own constants, so that a slip in the number shows.
    char readAndRun[16];
    std::snprintf(readAndRun, sizeof readAndRun, "0x%lx",
                  static_cast<unsigned long>(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
    const auto entries = [&](const std::string& flags) {
        return "(A;" + flags + ";FA;;;SY)(A;" + flags + ";FA;;;BA)(A;" + flags + ";" + readAndRun + ";;;BU)";
    };
    // Protected from the parent's entries, passed on to folders and files made inside, and, below
    // the folder, the same entries as inherited ones only.
    EXPECT_EQ(MadeDescriptorText(FolderAccess::Programs, Placement::Folder), "O:BAD:PAI" + entries("OICI"));
    EXPECT_EQ(MadeDescriptorText(FolderAccess::Programs, Placement::FolderInside), "O:BAD:AI" + entries("OICIID"));
    EXPECT_EQ(MadeDescriptorText(FolderAccess::Programs, Placement::FileInside), "O:BAD:AI" + entries("ID"));
    EXPECT_EQ(MadeDescriptorText(FolderAccess::Private, Placement::Folder),
              "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");
}

TEST_F(ProgramFolderSecurity, AFolderIsMadeOnceAndTakenOverWithoutLeavingIt) {
    Win32ProgramFolders folders;
    const Status made = folders.Create(app);
    ASSERT_TRUE(made.ok()) << made.error().message;
    EXPECT_EQ(GetFileAttributesA(app.c_str()) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    // A name taken, by a folder or a file, is never made again.
    EXPECT_EQ(folders.Create(app).error().code, ErrorCode::AlreadyExists);
    WriteAll(dir + "\\plain", "x");
    EXPECT_EQ(folders.Create(dir + "\\plain").error().code, ErrorCode::AlreadyExists);
    EXPECT_EQ(folders.Create(dir + "\\missing\\Tessary").error().code, ErrorCode::WriteFailed);

    ASSERT_TRUE(CreateDirectoryA((app + "\\Collection").c_str(), nullptr));
    WriteAll(app + "\\Tessary.exe", "MZ");
    WriteAll(app + "\\Collection\\Skin0001.bmp", "BM");
    const Status taken = folders.TakeOver(app);
    EXPECT_TRUE(taken.ok()) << taken.error().message;
    EXPECT_EQ(folders.TakeOver(dir + "\\plain").error().code, ErrorCode::InvalidArgument);
    EXPECT_EQ(folders.TakeOver(dir + "\\missing").error().code, ErrorCode::CannotOpen);

    // A second name of a file outside would carry the new permissions out with it.
    WriteAll(dir + "\\outside.bmp", "BM");
    ASSERT_TRUE(CreateHardLinkA((app + "\\Collection\\Skin0002.bmp").c_str(), (dir + "\\outside.bmp").c_str(),
                                nullptr));
    const Status shared = folders.TakeOver(app);
    ASSERT_FALSE(shared.ok());
    EXPECT_EQ(shared.error().code, ErrorCode::InvalidArgument) << shared.error().message;
    ASSERT_TRUE(DeleteFileA((app + "\\Collection\\Skin0002.bmp").c_str()));

    // A link inside is never entered, where the system makes one it lists as a link (Wine makes
    // none: its links to Windows paths dangle and are not listed).
    const std::string link = app + "\\Skin.bmp";
    if (CreateSymbolicLinkA(link.c_str(), (dir + "\\outside.bmp").c_str(), 0) &&
        GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES &&
        (GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        const Status linked = folders.TakeOver(app);
        ASSERT_FALSE(linked.ok());
        EXPECT_EQ(linked.error().code, ErrorCode::InvalidArgument) << linked.error().message;
    }
}

TEST_F(ProgramFolderSecurity, WhatIsMadeAndTakenOverKeepsItsDescriptorsWhereTheSystemKeepsThem) {
    Win32ProgramFolders folders;
    ASSERT_TRUE(folders.Create(app).ok());
    const std::string stored = StoredDescriptorText(app);
    if (stored != MadeDescriptorText(FolderAccess::Programs, Placement::Folder))
        GTEST_SKIP() << "this system does not keep the permissions of files (Wine keeps none; the descriptors "
                        "made are checked by ProgramFolderDescriptors.*): " << stored;
    ASSERT_TRUE(CreateDirectoryA((app + "\\Collection").c_str(), nullptr));
    WriteAll(app + "\\Collection\\Skin0001.bmp", "BM");
    ASSERT_TRUE(folders.TakeOver(app).ok());
    EXPECT_EQ(StoredDescriptorText(app), MadeDescriptorText(FolderAccess::Programs, Placement::Folder));
    EXPECT_EQ(StoredDescriptorText(app + "\\Collection"),
              MadeDescriptorText(FolderAccess::Programs, Placement::FolderInside));
    EXPECT_EQ(StoredDescriptorText(app + "\\Collection\\Skin0001.bmp"),
              MadeDescriptorText(FolderAccess::Programs, Placement::FileInside));
}

// A desktop shell that answers as told and notes what it was asked to start.
class ScriptedDesktopShell : public DesktopShell {
public:
    explicit ScriptedDesktopShell(Result<ShellAnswer> answer) : answer_(std::move(answer)) {}
    Result<ShellAnswer> Start(const std::string& program, const std::string& folder) override {
        asked.push_back(program + " in " + folder);
        return answer_;
    }
    std::vector<std::string> asked;

private:
    Result<ShellAnswer> answer_;
};

// The program is missing, so that only a direct start of it fails, with its own message.
TEST_F(InstallerShell, AProgramStartsDirectlyOnlyWhereNoDesktopShellAnswers) {
    const std::string program = dir + "\\Tessary.exe";
    ScriptedDesktopShell taking(ShellAnswer::Started);
    EXPECT_TRUE(StartAsDesktopUser(program, taking).ok());
    EXPECT_EQ(taking.asked, std::vector<std::string>{program + " in " + dir});

    ScriptedDesktopShell refusing(Error{ErrorCode::CannotOpen, "the desktop's shell: starting failed"});
    const Status refused = StartAsDesktopUser(program, refusing);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message, "the desktop's shell: starting failed");

    ScriptedDesktopShell absent(ShellAnswer::NoDesktopShell);
    const Status direct = StartAsDesktopUser(program, absent);
    EXPECT_EQ(absent.asked.size(), 1u);
    ASSERT_FALSE(direct.ok());
    EXPECT_EQ(direct.error().message.rfind("cannot start " + program, 0), 0u) << direct.error().message;
}

TEST_F(InstallerShell, SystemServicesAnswer) {
    // Only a bare name is loaded, from the system folder.
    EXPECT_TRUE(LoadSystemLibrary("cabinet.dll"));
    EXPECT_FALSE(LoadSystemLibrary(dir + "\\cabinet.dll"));
    EXPECT_NE(RestrictDllSearchPath(), DllSearchRestriction::None);
    // A library or function that is missing is an error to show, not a null pointer to call.
    const auto network = SystemLibrary::Load("mpr.dll");
    ASSERT_TRUE(network.ok()) << network.error().message;
    EXPECT_TRUE(network.value().function<decltype(&GetLastError)>("WNetGetConnectionA").ok());
    const auto noFunction = network.value().function<decltype(&GetLastError)>("NoSuchFunction");
    ASSERT_FALSE(noFunction.ok());
    EXPECT_EQ(noFunction.error().message, "the system library mpr.dll has no NoSuchFunction");
    const auto noLibrary = SystemLibrary::Load("tess-no-such-library.dll");
    ASSERT_FALSE(noLibrary.ok());
    EXPECT_EQ(noLibrary.error().message, "the system library tess-no-such-library.dll cannot be loaded");
    // The system drive is no network drive; a letter that is no drive is refused before asking.
    const auto local = NetworkDriveShare('c');
    ASSERT_FALSE(local.ok());
    EXPECT_EQ(local.error().code, ErrorCode::FileNotFound) << local.error().message;
    const auto notADrive = NetworkDriveShare('1');
    ASSERT_FALSE(notADrive.ok());
    EXPECT_EQ(notADrive.error().code, ErrorCode::InvalidArgument);
    EXPECT_EQ(platform::SystemFileSystem().Type('c'), platform::Drives::Fixed);

    const Win32SystemInfo system;
    ASSERT_TRUE(system.Version().has_value());
    EXPECT_EQ(system.Version()->platformId, static_cast<uint32_t>(VER_PLATFORM_WIN32_NT));
    const Result<std::string> programs = system.SpecialFolder(platform::kCsidlPrograms);
    ASSERT_TRUE(programs.ok());
    EXPECT_TRUE(Exists(programs.value())) << programs.value();
    EXPECT_NE(programs.value().back(), '\\');
    ASSERT_TRUE(system.SystemFolder().ok());
    EXPECT_TRUE(Exists(system.SystemFolder().value() + "\\cabinet.dll"));
    ASSERT_TRUE(system.TempFolder().ok());
    EXPECT_EQ(system.TempFolder().value().back(), '\\');
}

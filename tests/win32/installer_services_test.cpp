// The setup program's Win32 services on the real system: entries taken out of cabinets made by
// gcab (byte for byte, unknown and hostile names, damaged data), a shortcut read back through the
// shell's link object, the system library loader and the system's folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installer/win32/cabinet_extractor.h"
#include "installer/win32/shell_link.h"
#include "platform/win32/network_drives.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_system_info.h"
#include "ui/win32/win32_handles.h"

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

} // namespace

TEST_F(CabinetExtraction, TakesEachNamedEntryAndOnlyThat) {
    const std::string cab = kCabinets + "\\good.cab";
    for (const char* entry : {"alpha.txt", "beta.bin"}) {
        SCOPED_TRACE(entry);
        const std::string dest = dir + "\\dest\\copy-of-" + entry;
        WriteAll(dest, "an older file that is longer than some entries, to be replaced whole");
        const Status extracted = ExtractCabinetEntry(cab, entry, dest);
        ASSERT_TRUE(extracted.ok()) << extracted.error().message;
        const std::string expected = ReadAll(kCabinets + "\\good\\" + entry);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ReadAll(dest), expected);
    }
    // Entry names compare without regard to case, as file names do.
    EXPECT_TRUE(ExtractCabinetEntry(cab, "ALPHA.TXT", dir + "\\dest\\upper.txt").ok());
    EXPECT_EQ(Listing(dir + "\\dest").size(), 3u);

    const Status unknown = ExtractCabinetEntry(cab, "gamma.txt", dir + "\\dest\\gamma.txt");
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error().code, ErrorCode::FileNotFound);
    EXPECT_FALSE(ExtractCabinetEntry(dir + "\\absent.cab", "alpha.txt", dir + "\\dest\\x").ok());
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
    EXPECT_FALSE(ExtractCabinetEntry(dir + "\\damaged.cab", "beta.bin", dir + "\\dest\\beta.bin").ok());
    EXPECT_EQ(ReadAll(dir + "\\dest\\beta.bin"), "previous");
    EXPECT_EQ(Listing(dir + "\\dest"), std::vector<std::string>{"beta.bin"});

    WriteAll(dir + "\\truncated.cab", ReadAll(kCabinets + "\\good.cab").substr(0, 60));
    EXPECT_FALSE(ExtractCabinetEntry(dir + "\\truncated.cab", "alpha.txt", dir + "\\dest\\a").ok());
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
    EXPECT_FALSE(ExtractCabinetEntry(cab, "evil.txt", dest + "\\evil.txt").ok());
    EXPECT_FALSE(ExtractCabinetEntry(cab, "abs.txt", dest + "\\abs.txt").ok());
    const Status asked = ExtractCabinetEntry(cab, "..\\evil.txt", dest + "\\evil.txt");
    ASSERT_FALSE(asked.ok());
    EXPECT_EQ(asked.error().code, ErrorCode::InvalidArgument);
    EXPECT_FALSE(ExtractCabinetEntry(cab, "C:\\abs.txt", dest + "\\abs.txt").ok());
    // The harmless entry of the same cabinet still comes out.
    ASSERT_TRUE(ExtractCabinetEntry(cab, "good.txt", dest + "\\good.txt").ok());
    EXPECT_EQ(ReadAll(dest + "\\good.txt"), "harmless");

    EXPECT_EQ(Listing(dest), std::vector<std::string>{"good.txt"});
    EXPECT_FALSE(Exists(dir + "\\evil.txt"));
    EXPECT_FALSE(Exists("C:\\abs.txt"));
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

    const Win32SystemInfo system;
    ASSERT_TRUE(system.Version().has_value());
    EXPECT_EQ(system.Version()->platformId, static_cast<uint32_t>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(system.DriveType(2), kDriveFixed);
    const Result<std::string> programs = system.SpecialFolder(kCsidlPrograms);
    ASSERT_TRUE(programs.ok());
    EXPECT_TRUE(Exists(programs.value())) << programs.value();
    EXPECT_NE(programs.value().back(), '\\');
    ASSERT_TRUE(system.SystemFolder().ok());
    EXPECT_TRUE(Exists(system.SystemFolder().value() + "\\cabinet.dll"));
    ASSERT_TRUE(system.TempFolder().ok());
    EXPECT_EQ(system.TempFolder().value().back(), '\\');
}

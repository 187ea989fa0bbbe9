// The in-memory registry and the skin maker's registry helpers over it, including failures made
// on purpose; the in-memory file system through the file system cases, and the host's file
// system on Windows-style paths with the skin maker's file test; collection names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <utility>

#include "core/collection_naming.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "skinmaker/m_pic.h"
#include "tests/support/file_system_cases.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_registry.h"
#include "tests/support/registry_cases.h"

using namespace tess;
using namespace tess::skinmaker;
namespace fs = std::filesystem;

namespace {

class MemoryBackend {
public:
    platform::RegistryApi& api() { return registry_; }
    std::string base() const { return "Software\\TessaryRegistryTest"; }

private:
    MemoryRegistry registry_;
};

// Hands every call to a MemoryRegistry, and lets a test change the store right after the first
// query that asks only for a value's size, as another program might.
class MemoryFilesBackend {
public:
    MemoryFilesBackend() { files_.addFolder(base()); }
    platform::FileSystem& files() { return files_; }
    std::string base() const { return "C:\\Users\\me\\Work"; }
    bool MakeLink(const std::string& link, const std::string& target, bool folder) {
        files_.addLink(link, target, folder);
        return true;
    }
    void HoldOpen(const std::string& path) { files_.holdOpen(path); }
    void Release(const std::string& path) { files_.release(path); }
    void MakeReadOnly(const std::string& path) { files_.markReadOnly(path); }
    bool IsReadOnly(const std::string& path) { return files_.isReadOnly(path); }
    tess::testing::OddName WriteBeyondCodePage(const std::string& folder) {
        files_.addFile(folder + "\\..?..?victim.txt");
        return {folder + "\\..?..?victim.txt", false};
    }

private:
    tess::testing::MemoryFileSystem files_;
};

class ChangingRegistry : public platform::RegistryApi {
public:
    explicit ChangingRegistry(MemoryRegistry& inner) : inner_(inner) {}
    std::function<void()> afterSizeQuery;

    long OpenKey(platform::RegKey r, const std::string& s, platform::RegKey* o) override { return inner_.OpenKey(r, s, o); }
    long CreateKey(platform::RegKey r, const std::string& s, platform::RegKey* o) override { return inner_.CreateKey(r, s, o); }
    long QueryValueEx(platform::RegKey k, const std::string& n, uint32_t* t, uint8_t* d, uint32_t* s) override {
        const long result = inner_.QueryValueEx(k, n, t, d, s);
        if (!d && afterSizeQuery)
            std::exchange(afterSizeQuery, nullptr)();
        return result;
    }
    long SetValueEx(platform::RegKey k, const std::string& n, uint32_t t, const uint8_t* d, uint32_t s) override {
        return inner_.SetValueEx(k, n, t, d, s);
    }
    long DeleteValue(platform::RegKey k, const std::string& n) override { return inner_.DeleteValue(k, n); }
    long DeleteKey(platform::RegKey r, const std::string& s) override { return inner_.DeleteKey(r, s); }
    long CloseKey(platform::RegKey k) override { return inner_.CloseKey(k); }

private:
    MemoryRegistry& inner_;
};

void WriteString(MemoryRegistry& reg, const std::string& key, const std::string& name,
                 const std::string& bytes) {
    platform::RegKey k = 0;
    ASSERT_EQ(reg.CreateKey(platform::kHKeyCurrentUser, key, &k), platform::kErrorSuccess);
    ASSERT_EQ(reg.SetValueEx(k, name, platform::kRegSz, reinterpret_cast<const uint8_t*>(bytes.data()),
                             static_cast<uint32_t>(bytes.size())),
              platform::kErrorSuccess);
    ASSERT_EQ(reg.CloseKey(k), platform::kErrorSuccess);
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tess-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // The programs' way of naming files: a folder without a trailing separator, to which
        // literals starting with a backslash are appended.
        app_ = dir_.string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    static void MakeFile(const fs::path& path, size_t bytes) {
        std::ofstream out(path, std::ios::binary);
        out << std::string(bytes, 'b');
    }

    fs::path dir_;
    std::string app_;
    platform::FileSystem& files_ = platform::SystemFileSystem();
};

} // namespace

namespace tess::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryCases, MemoryBackend);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, FileSystemCases, MemoryFilesBackend);
} // namespace tess::testing

TEST(MemoryRegistry, StoresBytesAsWrittenAndHandlesAreNeverReused) {
    MemoryRegistry reg;
    WriteString(reg, "Software\\T", "bare", "abc");
    const auto stored = reg.Stored(platform::kHKeyCurrentUser, "software\\t", "BARE");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, platform::kRegSz);
    EXPECT_EQ(stored->bytes, (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_FALSE(reg.Stored(platform::kHKeyLocalMachine, "Software\\T", "bare").has_value());

    platform::RegKey first = 0, second = 0;
    ASSERT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, "Software\\T", &first), platform::kErrorSuccess);
    ASSERT_EQ(reg.CloseKey(first), platform::kErrorSuccess);
    ASSERT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, "Software\\T", &second), platform::kErrorSuccess);
    EXPECT_NE(first, second);
    EXPECT_EQ(reg.CloseKey(first), platform::kErrorInvalidHandle);
    EXPECT_EQ(reg.OpenKey(0x1234, "x", &first), platform::kErrorInvalidHandle);
    EXPECT_EQ(reg.OpenHandleCount(), 1u);
    // The predefined roots stay usable after a close and cannot be deleted.
    EXPECT_EQ(reg.CloseKey(platform::kHKeyCurrentUser), platform::kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(platform::kHKeyCurrentUser, ""), platform::kErrorAccessDenied);
    EXPECT_TRUE(reg.KeyExists(platform::kHKeyCurrentUser, "SOFTWARE\\t"));
}

TEST(MemoryRegistry, RefusedKeysAndFailingWritesAffectOnlyWhatTheyName) {
    MemoryRegistry reg;
    reg.RefuseKey(platform::kHKeyCurrentUser, "Software\\Locked");
    platform::RegKey k = 99;
    EXPECT_EQ(reg.CreateKey(platform::kHKeyCurrentUser, "software\\locked\\below", &k), platform::kErrorAccessDenied);
    EXPECT_EQ(k, 0u);
    EXPECT_FALSE(reg.KeyExists(platform::kHKeyCurrentUser, "Software\\Locked"));
    // Reached through an open key above it, the key is refused too.
    platform::RegKey software = 0;
    ASSERT_EQ(reg.CreateKey(platform::kHKeyCurrentUser, "Software", &software), platform::kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(software, "Locked", &k), platform::kErrorAccessDenied);
    EXPECT_EQ(reg.CreateKey(software, "LockedNot", &k), platform::kErrorSuccess);
    reg.CloseKey(k);
    EXPECT_EQ(reg.CreateKey(platform::kHKeyLocalMachine, "Software\\Locked", &k), platform::kErrorSuccess);
    reg.CloseKey(k);

    const uint8_t byte = 7;
    reg.FailValueWrites(platform::kErrorAccessDenied);
    EXPECT_EQ(reg.SetValueEx(software, "v", platform::kRegBinary, &byte, 1), platform::kErrorAccessDenied);
    reg.FailValueWrites(platform::kErrorSuccess);
    ASSERT_EQ(reg.SetValueEx(software, "v", platform::kRegBinary, &byte, 1), platform::kErrorSuccess);
    reg.FailValueDeletes(platform::kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteValue(software, "v"), platform::kErrorAccessDenied);
    EXPECT_TRUE(reg.Stored(platform::kHKeyCurrentUser, "Software", "v").has_value());
    reg.CloseKey(software);
}

TEST(RegistryHelpers, FailuresAreReportedAndEveryKeyIsClosed) {
    MemoryRegistry reg;
    const std::string path = "C:\\Tessary\\Skin.bmp";
    WriteString(reg, kToolbarKey, kBackBitmapValue, path + '\0');

    // A value that cannot be written is a failure even though the key opened.
    reg.FailValueWrites(platform::kErrorAccessDenied);
    EXPECT_FALSE(SetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, "C:\\x.bmp"));
    reg.FailValueWrites(platform::kErrorSuccess);
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue), path);

    reg.FailValueDeletes(platform::kErrorAccessDenied);
    EXPECT_FALSE(DeleteRegValue(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue));
    reg.FailValueDeletes(platform::kErrorSuccess);

    EXPECT_TRUE(SetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, "C:\\y.bmp"));
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, "nothing"), "False");
    WriteString(reg, kToolbarKey, "Expand", "x");
    EXPECT_TRUE(DeleteRegValue(reg, platform::kHKeyCurrentUser, kToolbarKey, "Expand"));
    EXPECT_EQ(reg.OpenHandleCount(), 0u);

    // A key that refuses to open reads as "" although the value is there.
    reg.RefuseKey(platform::kHKeyCurrentUser, kToolbarKey);
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue), "");
    EXPECT_FALSE(SetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, path));
    EXPECT_FALSE(DeleteRegValue(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue));
    EXPECT_EQ(reg.Stored(platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue)->bytes.size(), 9u);
    EXPECT_EQ(reg.OpenHandleCount(), 0u);

    // The shared opening keeps the call's own code, which tells a refused key from a missing one
    // (the uninstaller reports the first as still there), and closes what it opened.
    EXPECT_EQ(OpenKey(reg, platform::kHKeyCurrentUser, kToolbarKey).error, platform::kErrorAccessDenied);
    EXPECT_EQ(OpenKey(reg, platform::kHKeyCurrentUser, "Software\\Made").error, platform::kErrorFileNotFound);
    {
        const platform::OpenedKey made = OpenKey(reg, platform::kHKeyCurrentUser, "Software\\Made", platform::IfMissing::Create);
        ASSERT_TRUE(made.ok());
        EXPECT_NE(made.key.get(), 0u);
        EXPECT_EQ(reg.OpenHandleCount(), 1u);
    }
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
    EXPECT_TRUE(OpenKey(reg, platform::kHKeyCurrentUser, "Software\\Made").ok());
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(RegistryHelpers, GetRegStringCopesWithAValueChangedBetweenItsQueries) {
    MemoryRegistry inner;
    ChangingRegistry reg(inner);
    WriteString(inner, kToolbarKey, kBackBitmapValue, std::string("C:\\a.bmp") + '\0');

    // Grown past the buffer after its size was learnt: refused by the second query, not copied.
    reg.afterSizeQuery = [&] { WriteString(inner, kToolbarKey, kBackBitmapValue, std::string(4000, 'g')); };
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue), "");

    // Deleted in between: the value cannot be queried.
    WriteString(inner, kToolbarKey, kBackBitmapValue, "short");
    reg.afterSizeQuery = [&] { ASSERT_TRUE(DeleteRegValue(inner, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue)); };
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue), "False");

    // Turned into another type in between.
    WriteString(inner, kToolbarKey, kBackBitmapValue, "short");
    reg.afterSizeQuery = [&] {
        platform::RegKey k = 0;
        inner.OpenKey(platform::kHKeyCurrentUser, kToolbarKey, &k);
        inner.SetValueEx(k, kBackBitmapValue, platform::kRegExpandSz, reinterpret_cast<const uint8_t*>("x"), 1);
        inner.CloseKey(k);
    };
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue), "");
    EXPECT_EQ(inner.OpenHandleCount(), 0u);
}

TEST_F(TempFolder, HasContentNeedsAFileOfAtLeastOneByte) {
    MakeFile(dir_ / "empty.bmp", 0);
    MakeFile(dir_ / "one.bmp", 1);
    EXPECT_FALSE(platform::HasContent(files_, app_ + "\\empty.bmp"));
    EXPECT_TRUE(platform::HasContent(files_, app_ + "\\one.bmp"));
    EXPECT_FALSE(platform::HasContent(files_, app_ + "\\missing.bmp"));
    EXPECT_FALSE(platform::HasContent(files_, app_ + "\\no folder\\one.bmp"));
    EXPECT_FALSE(platform::HasContent(files_, app_));
    EXPECT_FALSE(platform::HasContent(files_, ""));
    EXPECT_FALSE(platform::HasContent(files_, app_ + std::string("\\one.bmp\0", 9)));
    ASSERT_TRUE(files_.FileLength(app_ + "\\one.bmp").ok());
    EXPECT_EQ(files_.FileLength(app_ + "\\one.bmp").value(), 1u);
    EXPECT_EQ(files_.FileLength(app_ + "\\missing.bmp").error().code, ErrorCode::FileNotFound);
}

TEST_F(TempFolder, FoldersAndFilesAreMadeAndRemovedOnWindowsStylePaths) {
    const std::string folder = CollectionFolder(app_);
    ASSERT_TRUE(files_.CreateFolder(folder).ok());
    EXPECT_TRUE(fs::is_directory(dir_ / "Collection"));
    Status again = files_.CreateFolder(folder);
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error().code, ErrorCode::AlreadyExists);

    // A file in the way or a missing parent is a real failure, not an existing folder.
    MakeFile(dir_ / "plain", 1);
    Status blocked = files_.CreateFolder(app_ + "\\plain");
    ASSERT_FALSE(blocked.ok());
    EXPECT_NE(blocked.error().code, ErrorCode::AlreadyExists);
    Status orphan = files_.CreateFolder(app_ + "\\none\\deeper");
    ASSERT_FALSE(orphan.ok());
    EXPECT_NE(orphan.error().code, ErrorCode::AlreadyExists);

    // The bitmap writer takes the same paths.
    Surface skin(3, 2);
    const std::string file = CollectionFileName(app_, 1);
    ASSERT_TRUE(platform::WriteBitmap(files_, skin, file).ok());
    EXPECT_TRUE(fs::is_regular_file(dir_ / "Collection" / "Skin0001.bmp"));
    EXPECT_TRUE(platform::HasContent(files_, file));

    ASSERT_TRUE(files_.RemoveFile(file).ok());
    EXPECT_FALSE(fs::exists(dir_ / "Collection" / "Skin0001.bmp"));
    Status missing = files_.RemoveFile(file);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
    EXPECT_FALSE(files_.RemoveFile(folder).ok());
    EXPECT_TRUE(fs::is_directory(dir_ / "Collection"));
}

TEST(CollectionNaming, NamesAreNumberedWithFourDigitsBelowTheFolder) {
    EXPECT_EQ(CollectionFolder("C:\\Tessary"), "C:\\Tessary\\Collection");
    EXPECT_EQ(CollectionFileName("C:\\Tessary", 1), "C:\\Tessary\\Collection\\Skin0001.bmp");
    EXPECT_EQ(CollectionFileName("C:\\Tessary", 42), "C:\\Tessary\\Collection\\Skin0042.bmp");
    EXPECT_EQ(CollectionFileName("C:\\Tessary", 9999), "C:\\Tessary\\Collection\\Skin9999.bmp");

    // Read back, in any case, only within the numbers the collection gives out.
    for (const char* name : {"Skin0001.bmp", "SKIN0042.BMP", "skin9999.Bmp"})
        EXPECT_TRUE(IsCollectionFileName(name)) << name;
    for (const char* name : {"Skin0000.bmp", "Skin001.bmp", "Skin10000.bmp", "Skin00a1.bmp", "Skin0001.bmp.dll",
                             "Skin0001.dll", "Skin-001.bmp", "Pict0001.bmp", ""})
        EXPECT_FALSE(IsCollectionFileName(name)) << name;
}

TEST(CollectionNaming, TheLowestFreeNumberIsTakenAndAFullCollectionGivesNothing) {
    std::set<std::string> taken;
    const auto exists = [&](const std::string& name) { return taken.count(name) > 0; };
    const std::string app = "C:\\Tessary";
    EXPECT_EQ(FirstFreeCollectionFile(app, exists), CollectionFileName(app, 1));

    for (int n = 1; n <= 9; ++n)
        taken.insert(CollectionFileName(app, n));
    EXPECT_EQ(FirstFreeCollectionFile(app, exists), CollectionFileName(app, 10));
    taken.erase(CollectionFileName(app, 3));
    EXPECT_EQ(FirstFreeCollectionFile(app, exists), CollectionFileName(app, 3));

    for (int n = 1; n <= 9999; ++n)
        taken.insert(CollectionFileName(app, n));
    int asked = 0;
    EXPECT_EQ(FirstFreeCollectionFile(app, [&](const std::string& name) { ++asked; return exists(name); }), "");
    EXPECT_EQ(asked, 9999);
    taken.erase(CollectionFileName(app, 9999));
    EXPECT_EQ(FirstFreeCollectionFile(app, exists), CollectionFileName(app, 9999));
}

TEST_F(TempFolder, EmptyCollectionFilesCountAsFree) {
    const auto exists = [this](const std::string& path) { return platform::HasContent(files_, path); };
    ASSERT_TRUE(files_.CreateFolder(CollectionFolder(app_)).ok());
    MakeFile(dir_ / "Collection" / "Skin0001.bmp", 0);
    EXPECT_EQ(FirstFreeCollectionFile(app_, exists), CollectionFileName(app_, 1));
    MakeFile(dir_ / "Collection" / "Skin0001.bmp", 10);
    MakeFile(dir_ / "Collection" / "Skin0002.bmp", 10);
    MakeFile(dir_ / "Collection" / "Skin0003.bmp", 0);
    EXPECT_EQ(FirstFreeCollectionFile(app_, exists), CollectionFileName(app_, 3));
    // Without the folder nothing exists, so the first name comes back.
    EXPECT_EQ(FirstFreeCollectionFile(app_ + "\\elsewhere", exists),
              CollectionFileName(app_ + "\\elsewhere", 1));
}

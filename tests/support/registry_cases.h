// Registry cases every RegistryApi must pass alike: the Win32 behaviour the programs rely on and
// the skin maker's string helpers over it. Run on the in-memory registry and on Wine's registry.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "skinmaker/m_pic.h"
#include "uninstaller/product_removal.h"

namespace tess::testing {

// The skin maker's string helpers these cases hold to the same behaviour.
using skinmaker::DeleteRegValue;
using skinmaker::GetRegString;
using skinmaker::kBackBitmapValue;
using skinmaker::kRegStringCapacity;
using skinmaker::SetRegString;

// Backend: default-constructible; `api()` gives the registry and `base()` a key path below
// HKEY_CURRENT_USER that does not exist yet; the destructor removes whatever was made below it.
template <typename Backend>
class RegistryCases : public ::testing::Test {
protected:
    platform::RegistryApi& reg() { return backend_.api(); }
    std::string Key(const std::string& sub) const { return backend_.base() + "\\" + sub; }

    // Stores the first `count` bytes of `bytes` as a value, creating its key.
    void Put(const std::string& key, const std::string& name, uint32_t type,
             const std::string& bytes, size_t count) {
        ASSERT_LE(count, bytes.size());
        platform::RegKey k = 0;
        ASSERT_EQ(reg().CreateKey(platform::kHKeyCurrentUser, key, &k), platform::kErrorSuccess);
        platform::ScopedRegKey owner(reg(), k);
        ASSERT_EQ(reg().SetValueEx(k, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                                   static_cast<uint32_t>(count)),
                  platform::kErrorSuccess);
    }
    // A REG_SZ with its NUL counted.
    void PutString(const std::string& key, const std::string& name, const std::string& text) {
        Put(key, name, platform::kRegSz, text + std::string(1, '\0'), text.size() + 1);
    }
    // The value's type and bytes as the registry reports them; type 0 when it cannot be read.
    std::pair<uint32_t, std::string> Raw(const std::string& key, const std::string& name) {
        platform::RegKey k = 0;
        if (reg().OpenKey(platform::kHKeyCurrentUser, key, &k) != platform::kErrorSuccess)
            return {0, {}};
        platform::ScopedRegKey owner(reg(), k);
        uint32_t type = 0, size = 0;
        if (reg().QueryValueEx(k, name, &type, nullptr, &size) != platform::kErrorSuccess)
            return {0, {}};
        std::string bytes(size, '\0');
        uint32_t got = size;
        if (reg().QueryValueEx(k, name, &type, reinterpret_cast<uint8_t*>(bytes.data()), &got) !=
            platform::kErrorSuccess)
            return {0, {}};
        bytes.resize(got);
        return {type, bytes};
    }

    Backend backend_;
};

TYPED_TEST_SUITE_P(RegistryCases);

TYPED_TEST_P(RegistryCases, KeysOpenWhenPresentAndAreCreatedWithTheirParents) {
    platform::RegistryApi& reg = this->reg();
    platform::RegKey k = 123;
    EXPECT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, this->Key("a"), &k), platform::kErrorFileNotFound);
    EXPECT_EQ(k, 0u);

    ASSERT_EQ(reg.CreateKey(platform::kHKeyCurrentUser, this->Key("a\\b\\c"), &k), platform::kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), platform::kErrorSuccess);
    // Names compare without regard to case, also through an open key as the root.
    platform::RegKey a = 0;
    ASSERT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, this->Key("A"), &a), platform::kErrorSuccess);
    platform::ScopedRegKey ownA(reg, a);
    ASSERT_EQ(reg.OpenKey(a, "B\\c", &k), platform::kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), platform::kErrorSuccess);
    // Empty names between backslashes are passed over; a leading backslash is refused.
    ASSERT_EQ(reg.OpenKey(a, "b\\\\c\\", &k), platform::kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), platform::kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(a, "\\b", &k), platform::kErrorBadPathname);
    // An empty path: opening gives the same handle back, creating a new one.
    ASSERT_EQ(reg.OpenKey(a, "", &k), platform::kErrorSuccess);
    EXPECT_EQ(k, a);
    ASSERT_EQ(reg.CreateKey(a, "", &k), platform::kErrorSuccess);
    EXPECT_NE(k, a);
    EXPECT_EQ(reg.CloseKey(k), platform::kErrorSuccess);

    // A key with subkeys is not deleted; leaves are, and are then gone.
    EXPECT_EQ(reg.DeleteKey(platform::kHKeyCurrentUser, this->Key("a\\b")), platform::kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteKey(a, "b\\C"), platform::kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(a, "b\\c", &k), platform::kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteKey(a, "b\\c"), platform::kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteKey(a, "b"), platform::kErrorSuccess);
}

TYPED_TEST_P(RegistryCases, ClosedAndDeletedKeysRefuseFurtherCalls) {
    platform::RegistryApi& reg = this->reg();
    platform::RegKey k = 0;
    ASSERT_EQ(reg.CreateKey(platform::kHKeyCurrentUser, this->Key("k"), &k), platform::kErrorSuccess);
    ASSERT_EQ(reg.CloseKey(k), platform::kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), platform::kErrorInvalidHandle);
    uint32_t size = 0;
    EXPECT_EQ(reg.QueryValueEx(k, "v", nullptr, nullptr, &size), platform::kErrorInvalidHandle);

    // A key deleted while a handle to it is open fails through that handle.
    ASSERT_EQ(reg.CreateKey(platform::kHKeyCurrentUser, this->Key("gone"), &k), platform::kErrorSuccess);
    platform::ScopedRegKey owner(reg, k);
    ASSERT_EQ(reg.DeleteKey(platform::kHKeyCurrentUser, this->Key("gone")), platform::kErrorSuccess);
    const uint8_t byte = 1;
    EXPECT_EQ(reg.SetValueEx(k, "v", platform::kRegBinary, &byte, 1), platform::kErrorKeyDeleted);
    EXPECT_EQ(reg.QueryValueEx(k, "v", nullptr, nullptr, &size), platform::kErrorKeyDeleted);
}

TYPED_TEST_P(RegistryCases, QueriesReportTypeAndSizeAndAskForRoom) {
    platform::RegistryApi& reg = this->reg();
    this->Put(this->Key("q"), "Bin", platform::kRegBinary, std::string("\x01\x02\x00\x04\x05", 5), 5);
    platform::RegKey k = 0;
    ASSERT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, this->Key("q"), &k), platform::kErrorSuccess);
    platform::ScopedRegKey owner(reg, k);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(reg.QueryValueEx(k, "bin", &type, nullptr, &size), platform::kErrorSuccess);
    EXPECT_EQ(type, platform::kRegBinary);
    EXPECT_EQ(size, 5u);

    uint8_t buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    size = 4;
    type = 0;
    EXPECT_EQ(reg.QueryValueEx(k, "BIN", &type, buffer, &size), platform::kErrorMoreData);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, platform::kRegBinary);
    size = sizeof buffer;
    ASSERT_EQ(reg.QueryValueEx(k, "Bin", &type, buffer, &size), platform::kErrorSuccess);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6), (std::vector<uint8_t>{1, 2, 0, 4, 5, 9}));

    EXPECT_EQ(reg.QueryValueEx(k, "other", &type, nullptr, &size), platform::kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteValue(k, "other"), platform::kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteValue(k, "BIN"), platform::kErrorSuccess);
    EXPECT_EQ(reg.QueryValueEx(k, "Bin", &type, nullptr, &size), platform::kErrorFileNotFound);
}

TYPED_TEST_P(RegistryCases, StringsKeepTheirBytesAndGetANulWhenThereIsRoom) {
    platform::RegistryApi& reg = this->reg();
    // Three characters written without their NUL (the byte after them is not a NUL either).
    this->Put(this->Key("s"), "bare", platform::kRegSz, "abcX", 3);
    this->PutString(this->Key("s"), "whole", "abc");
    this->Put(this->Key("s"), "empty", platform::kRegSz, "", 0);
    platform::RegKey k = 0;
    ASSERT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, this->Key("s"), &k), platform::kErrorSuccess);
    platform::ScopedRegKey owner(reg, k);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(reg.QueryValueEx(k, "bare", &type, nullptr, &size), platform::kErrorSuccess);
    EXPECT_EQ(size, 3u);
    char text[8];
    std::memset(text, 'x', sizeof text);
    size = sizeof text;
    ASSERT_EQ(reg.QueryValueEx(k, "bare", &type, reinterpret_cast<uint8_t*>(text), &size),
              platform::kErrorSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(text, 5), std::string("abc\0x", 5));

    std::memset(text, 'x', sizeof text);
    size = 3;
    ASSERT_EQ(reg.QueryValueEx(k, "bare", &type, reinterpret_cast<uint8_t*>(text), &size),
              platform::kErrorSuccess);
    EXPECT_EQ(std::string(text, 4), "abcx");

    std::memset(text, 'x', sizeof text);
    size = sizeof text;
    ASSERT_EQ(reg.QueryValueEx(k, "whole", &type, reinterpret_cast<uint8_t*>(text), &size),
              platform::kErrorSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::string(text, 5), std::string("abc\0x", 5));

    ASSERT_EQ(reg.QueryValueEx(k, "empty", &type, nullptr, &size), platform::kErrorSuccess);
    EXPECT_EQ(type, platform::kRegSz);
    EXPECT_EQ(size, 0u);
    std::memset(text, 'x', sizeof text);
    size = sizeof text;
    ASSERT_EQ(reg.QueryValueEx(k, "empty", &type, reinterpret_cast<uint8_t*>(text), &size),
              platform::kErrorSuccess);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(text[0], 'x');
}

TYPED_TEST_P(RegistryCases, GetRegStringTellsMissingKeyMissingValueAndOtherTypesApart) {
    platform::RegistryApi& reg = this->reg();
    const std::string key = this->Key("Toolbar");
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "");

    this->Put(key, "Other", platform::kRegDword, std::string(4, '\0'), 4);
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "False");
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, "Other"), "");

    this->PutString(key, kBackBitmapValue, "C:\\Tessary\\Skin.bmp");
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, "backbitmap"), "C:\\Tessary\\Skin.bmp");

    const std::string path = "C:\\Tessary\\Collection\\Skin0002.bmp";
    this->Put(key, kBackBitmapValue, platform::kRegSz, path + "X", path.size());  // stored without its NUL
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), path);

    this->Put(key, kBackBitmapValue, platform::kRegExpandSz, path + std::string(1, '\0'), path.size() + 1);
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "");

    this->Put(key, kBackBitmapValue, platform::kRegSz, "", 0);
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "");
    this->PutString(key, kBackBitmapValue, "");
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "");

    // The text ends at its first NUL.
    this->Put(key, kBackBitmapValue, platform::kRegSz, std::string("ab\0cd\0", 6), 6);
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "ab");
}

TYPED_TEST_P(RegistryCases, GetRegStringReadsUpTo255CharactersAndRefusesLongerText) {
    const std::string key = this->Key("Toolbar");
    const std::string longest(kRegStringCapacity, 'p');
    const std::string tooLong(kRegStringCapacity + 1, 'q');
    const auto read = [&] {
        return GetRegString(this->reg(), platform::kHKeyCurrentUser, key, kBackBitmapValue);
    };

    this->PutString(key, kBackBitmapValue, longest);
    EXPECT_EQ(read(), longest);
    this->Put(key, kBackBitmapValue, platform::kRegSz, longest + "X", longest.size());
    EXPECT_EQ(read(), longest);

    this->PutString(key, kBackBitmapValue, tooLong);
    EXPECT_EQ(read(), "");
    this->Put(key, kBackBitmapValue, platform::kRegSz, tooLong + "X", tooLong.size());
    EXPECT_EQ(read(), "");
    this->PutString(key, kBackBitmapValue, std::string(5000, 'r'));
    EXPECT_EQ(read(), "");
}

TYPED_TEST_P(RegistryCases, SetRegStringCreatesTheKeyAndWritesTheTextWithItsNul) {
    platform::RegistryApi& reg = this->reg();
    const std::string key = this->Key("Made\\Toolbar");
    const std::string path = "C:\\Program Files\\Tessary\\Skin.bmp";
    ASSERT_TRUE(SetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue, path));
    EXPECT_EQ(this->Raw(key, kBackBitmapValue),
              (std::pair<uint32_t, std::string>{platform::kRegSz, path + std::string(1, '\0')}));
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), path);

    // A value of another type is replaced; the longest readable text comes back whole.
    this->Put(key, "Num", platform::kRegDword, std::string(4, '\x07'), 4);
    const std::string longest(kRegStringCapacity, 'z');
    ASSERT_TRUE(SetRegString(reg, platform::kHKeyCurrentUser, key, "Num", longest));
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, "Num"), longest);

    // Text with a NUL inside would read back cut short: refused, the old value stays.
    EXPECT_FALSE(SetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue, std::string("a\0b", 3)));
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), path);
}

TYPED_TEST_P(RegistryCases, DeleteRegValueSucceedsOnlyForAnExistingValue) {
    platform::RegistryApi& reg = this->reg();
    const std::string key = this->Key("Toolbar");
    EXPECT_FALSE(DeleteRegValue(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue));
    this->PutString(key, kBackBitmapValue, "C:\\Tessary\\Skin.bmp");
    this->PutString(key, "Kept", "x");
    EXPECT_TRUE(DeleteRegValue(reg, platform::kHKeyCurrentUser, key, "BACKBITMAP"));
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue), "False");
    EXPECT_FALSE(DeleteRegValue(reg, platform::kHKeyCurrentUser, key, kBackBitmapValue));
    EXPECT_EQ(GetRegString(reg, platform::kHKeyCurrentUser, key, "Kept"), "x");
}

// The uninstaller deletes its keys by a name that ends in a backslash; a key with keys below it
// stays, and the keys after a missing one are still deleted.
TYPED_TEST_P(RegistryCases, KeysAreDeletedByNamesEndingInABackslashButNotWithSubkeys) {
    platform::RegistryApi& reg = this->reg();
    this->PutString(this->Key("Entry"), "DisplayName", "Tessary");
    this->PutString(this->Key("Parent\\Child"), "v", "x");
    EXPECT_EQ(uninstaller::DeleteRegKey(reg, platform::kHKeyCurrentUser, this->Key("Missing"), ""), false);
    EXPECT_TRUE(uninstaller::DeleteRegKey(reg, platform::kHKeyCurrentUser, this->Key("Entry"), ""));
    platform::RegKey k = 0;
    EXPECT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, this->Key("Entry"), &k), platform::kErrorFileNotFound);
    EXPECT_FALSE(uninstaller::DeleteRegKey(reg, platform::kHKeyCurrentUser, this->Key("Parent"), ""));
    ASSERT_EQ(reg.OpenKey(platform::kHKeyCurrentUser, this->Key("Parent\\Child"), &k), platform::kErrorSuccess);
    reg.CloseKey(k);
    EXPECT_TRUE(uninstaller::DeleteRegKey(reg, platform::kHKeyCurrentUser, this->Key("Parent"), "Child"));
}

REGISTER_TYPED_TEST_SUITE_P(RegistryCases, KeysOpenWhenPresentAndAreCreatedWithTheirParents,
                            ClosedAndDeletedKeysRefuseFurtherCalls,
                            QueriesReportTypeAndSizeAndAskForRoom,
                            StringsKeepTheirBytesAndGetANulWhenThereIsRoom,
                            GetRegStringTellsMissingKeyMissingValueAndOtherTypesApart,
                            GetRegStringReadsUpTo255CharactersAndRefusesLongerText,
                            SetRegStringCreatesTheKeyAndWritesTheTextWithItsNul,
                            DeleteRegValueSucceedsOnlyForAnExistingValue,
                            KeysAreDeletedByNamesEndingInABackslashButNotWithSubkeys);

} // namespace tess::testing

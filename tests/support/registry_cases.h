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
    RegistryApi& reg() { return backend_.api(); }
    std::string Key(const std::string& sub) const { return backend_.base() + "\\" + sub; }

    // Stores the first `count` bytes of `bytes` as a value, creating its key.
    void Put(const std::string& key, const std::string& name, uint32_t type,
             const std::string& bytes, size_t count) {
        ASSERT_LE(count, bytes.size());
        RegKey k = 0;
        ASSERT_EQ(reg().CreateKey(kHKeyCurrentUser, key, &k), kErrorSuccess);
        ScopedRegKey owner(reg(), k);
        ASSERT_EQ(reg().SetValueEx(k, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                                   static_cast<uint32_t>(count)),
                  kErrorSuccess);
    }
    // A REG_SZ with its NUL counted.
    void PutString(const std::string& key, const std::string& name, const std::string& text) {
        Put(key, name, kRegSz, text + std::string(1, '\0'), text.size() + 1);
    }
    // The value's type and bytes as the registry reports them; type 0 when it cannot be read.
    std::pair<uint32_t, std::string> Raw(const std::string& key, const std::string& name) {
        RegKey k = 0;
        if (reg().OpenKey(kHKeyCurrentUser, key, &k) != kErrorSuccess)
            return {0, {}};
        ScopedRegKey owner(reg(), k);
        uint32_t type = 0, size = 0;
        if (reg().QueryValueEx(k, name, &type, nullptr, &size) != kErrorSuccess)
            return {0, {}};
        std::string bytes(size, '\0');
        uint32_t got = size;
        if (reg().QueryValueEx(k, name, &type, reinterpret_cast<uint8_t*>(bytes.data()), &got) !=
            kErrorSuccess)
            return {0, {}};
        bytes.resize(got);
        return {type, bytes};
    }

    Backend backend_;
};

TYPED_TEST_SUITE_P(RegistryCases);

TYPED_TEST_P(RegistryCases, KeysOpenWhenPresentAndAreCreatedWithTheirParents) {
    RegistryApi& reg = this->reg();
    RegKey k = 123;
    EXPECT_EQ(reg.OpenKey(kHKeyCurrentUser, this->Key("a"), &k), kErrorFileNotFound);
    EXPECT_EQ(k, 0u);

    ASSERT_EQ(reg.CreateKey(kHKeyCurrentUser, this->Key("a\\b\\c"), &k), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), kErrorSuccess);
    // Names compare without regard to case, also through an open key as the root.
    RegKey a = 0;
    ASSERT_EQ(reg.OpenKey(kHKeyCurrentUser, this->Key("A"), &a), kErrorSuccess);
    ScopedRegKey ownA(reg, a);
    ASSERT_EQ(reg.OpenKey(a, "B\\c", &k), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), kErrorSuccess);
    // Empty names between backslashes are passed over; a leading backslash is refused.
    ASSERT_EQ(reg.OpenKey(a, "b\\\\c\\", &k), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(a, "\\b", &k), kErrorBadPathname);
    // An empty path: opening gives the same handle back, creating a new one.
    ASSERT_EQ(reg.OpenKey(a, "", &k), kErrorSuccess);
    EXPECT_EQ(k, a);
    ASSERT_EQ(reg.CreateKey(a, "", &k), kErrorSuccess);
    EXPECT_NE(k, a);
    EXPECT_EQ(reg.CloseKey(k), kErrorSuccess);

    // A key with subkeys is not deleted; leaves are, and are then gone.
    EXPECT_EQ(reg.DeleteKey(kHKeyCurrentUser, this->Key("a\\b")), kErrorAccessDenied);
    EXPECT_EQ(reg.DeleteKey(a, "b\\C"), kErrorSuccess);
    EXPECT_EQ(reg.OpenKey(a, "b\\c", &k), kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteKey(a, "b\\c"), kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteKey(a, "b"), kErrorSuccess);
}

TYPED_TEST_P(RegistryCases, ClosedAndDeletedKeysRefuseFurtherCalls) {
    RegistryApi& reg = this->reg();
    RegKey k = 0;
    ASSERT_EQ(reg.CreateKey(kHKeyCurrentUser, this->Key("k"), &k), kErrorSuccess);
    ASSERT_EQ(reg.CloseKey(k), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(k), kErrorInvalidHandle);
    uint32_t size = 0;
    EXPECT_EQ(reg.QueryValueEx(k, "v", nullptr, nullptr, &size), kErrorInvalidHandle);

    // A key deleted while a handle to it is open fails through that handle.
    ASSERT_EQ(reg.CreateKey(kHKeyCurrentUser, this->Key("gone"), &k), kErrorSuccess);
    ScopedRegKey owner(reg, k);
    ASSERT_EQ(reg.DeleteKey(kHKeyCurrentUser, this->Key("gone")), kErrorSuccess);
    const uint8_t byte = 1;
    EXPECT_EQ(reg.SetValueEx(k, "v", kRegBinary, &byte, 1), kErrorKeyDeleted);
    EXPECT_EQ(reg.QueryValueEx(k, "v", nullptr, nullptr, &size), kErrorKeyDeleted);
}

TYPED_TEST_P(RegistryCases, QueriesReportTypeAndSizeAndAskForRoom) {
    RegistryApi& reg = this->reg();
    this->Put(this->Key("q"), "Bin", kRegBinary, std::string("\x01\x02\x00\x04\x05", 5), 5);
    RegKey k = 0;
    ASSERT_EQ(reg.OpenKey(kHKeyCurrentUser, this->Key("q"), &k), kErrorSuccess);
    ScopedRegKey owner(reg, k);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(reg.QueryValueEx(k, "bin", &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(size, 5u);

    uint8_t buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    size = 4;
    type = 0;
    EXPECT_EQ(reg.QueryValueEx(k, "BIN", &type, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, kRegBinary);
    size = sizeof buffer;
    ASSERT_EQ(reg.QueryValueEx(k, "Bin", &type, buffer, &size), kErrorSuccess);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6), (std::vector<uint8_t>{1, 2, 0, 4, 5, 9}));

    EXPECT_EQ(reg.QueryValueEx(k, "other", &type, nullptr, &size), kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteValue(k, "other"), kErrorFileNotFound);
    EXPECT_EQ(reg.DeleteValue(k, "BIN"), kErrorSuccess);
    EXPECT_EQ(reg.QueryValueEx(k, "Bin", &type, nullptr, &size), kErrorFileNotFound);
}

TYPED_TEST_P(RegistryCases, StringsKeepTheirBytesAndGetANulWhenThereIsRoom) {
    RegistryApi& reg = this->reg();
    // Three characters written without their NUL (the byte after them is not a NUL either).
    this->Put(this->Key("s"), "bare", kRegSz, "abcX", 3);
    this->PutString(this->Key("s"), "whole", "abc");
    this->Put(this->Key("s"), "empty", kRegSz, "", 0);
    RegKey k = 0;
    ASSERT_EQ(reg.OpenKey(kHKeyCurrentUser, this->Key("s"), &k), kErrorSuccess);
    ScopedRegKey owner(reg, k);

    uint32_t type = 0, size = 0;
    ASSERT_EQ(reg.QueryValueEx(k, "bare", &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 3u);
    char text[8];
    std::memset(text, 'x', sizeof text);
    size = sizeof text;
    ASSERT_EQ(reg.QueryValueEx(k, "bare", &type, reinterpret_cast<uint8_t*>(text), &size),
              kErrorSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(text, 5), std::string("abc\0x", 5));

    std::memset(text, 'x', sizeof text);
    size = 3;
    ASSERT_EQ(reg.QueryValueEx(k, "bare", &type, reinterpret_cast<uint8_t*>(text), &size),
              kErrorSuccess);
    EXPECT_EQ(std::string(text, 4), "abcx");

    std::memset(text, 'x', sizeof text);
    size = sizeof text;
    ASSERT_EQ(reg.QueryValueEx(k, "whole", &type, reinterpret_cast<uint8_t*>(text), &size),
              kErrorSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::string(text, 5), std::string("abc\0x", 5));

    ASSERT_EQ(reg.QueryValueEx(k, "empty", &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 0u);
    std::memset(text, 'x', sizeof text);
    size = sizeof text;
    ASSERT_EQ(reg.QueryValueEx(k, "empty", &type, reinterpret_cast<uint8_t*>(text), &size),
              kErrorSuccess);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(text[0], 'x');
}

TYPED_TEST_P(RegistryCases, GetRegStringTellsMissingKeyMissingValueAndOtherTypesApart) {
    RegistryApi& reg = this->reg();
    const std::string key = this->Key("Toolbar");
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "");

    this->Put(key, "Other", kRegDword, std::string(4, '\0'), 4);
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "False");
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, "Other"), "");

    this->PutString(key, kBackBitmapValue, "C:\\Tessary\\Skin.bmp");
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, "backbitmap"), "C:\\Tessary\\Skin.bmp");

    const std::string path = "C:\\Tessary\\Collection\\Skin0002.bmp";
    this->Put(key, kBackBitmapValue, kRegSz, path + "X", path.size());  // stored without its NUL
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), path);

    this->Put(key, kBackBitmapValue, kRegExpandSz, path + std::string(1, '\0'), path.size() + 1);
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "");

    this->Put(key, kBackBitmapValue, kRegSz, "", 0);
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "");
    this->PutString(key, kBackBitmapValue, "");
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "");

    // The text ends at its first NUL.
    this->Put(key, kBackBitmapValue, kRegSz, std::string("ab\0cd\0", 6), 6);
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "ab");
}

TYPED_TEST_P(RegistryCases, GetRegStringReadsUpTo255CharactersAndRefusesLongerText) {
    const std::string key = this->Key("Toolbar");
    const std::string longest(kRegStringCapacity, 'p');
    const std::string tooLong(kRegStringCapacity + 1, 'q');
    const auto read = [&] {
        return GetRegString(this->reg(), kHKeyCurrentUser, key, kBackBitmapValue);
    };

    this->PutString(key, kBackBitmapValue, longest);
    EXPECT_EQ(read(), longest);
    this->Put(key, kBackBitmapValue, kRegSz, longest + "X", longest.size());
    EXPECT_EQ(read(), longest);

    this->PutString(key, kBackBitmapValue, tooLong);
    EXPECT_EQ(read(), "");
    this->Put(key, kBackBitmapValue, kRegSz, tooLong + "X", tooLong.size());
    EXPECT_EQ(read(), "");
    this->PutString(key, kBackBitmapValue, std::string(5000, 'r'));
    EXPECT_EQ(read(), "");
}

TYPED_TEST_P(RegistryCases, SetRegStringCreatesTheKeyAndWritesTheTextWithItsNul) {
    RegistryApi& reg = this->reg();
    const std::string key = this->Key("Made\\Toolbar");
    const std::string path = "C:\\Program Files\\Tessary\\Skin.bmp";
    ASSERT_TRUE(SetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue, path));
    EXPECT_EQ(this->Raw(key, kBackBitmapValue),
              (std::pair<uint32_t, std::string>{kRegSz, path + std::string(1, '\0')}));
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), path);

    // A value of another type is replaced; the longest readable text comes back whole.
    this->Put(key, "Num", kRegDword, std::string(4, '\x07'), 4);
    const std::string longest(kRegStringCapacity, 'z');
    ASSERT_TRUE(SetRegString(reg, kHKeyCurrentUser, key, "Num", longest));
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, "Num"), longest);

    // Text with a NUL inside would read back cut short: refused, the old value stays.
    EXPECT_FALSE(SetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue, std::string("a\0b", 3)));
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), path);
}

TYPED_TEST_P(RegistryCases, DeleteRegValueSucceedsOnlyForAnExistingValue) {
    RegistryApi& reg = this->reg();
    const std::string key = this->Key("Toolbar");
    EXPECT_FALSE(DeleteRegValue(reg, kHKeyCurrentUser, key, kBackBitmapValue));
    this->PutString(key, kBackBitmapValue, "C:\\Tessary\\Skin.bmp");
    this->PutString(key, "Kept", "x");
    EXPECT_TRUE(DeleteRegValue(reg, kHKeyCurrentUser, key, "BACKBITMAP"));
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, kBackBitmapValue), "False");
    EXPECT_FALSE(DeleteRegValue(reg, kHKeyCurrentUser, key, kBackBitmapValue));
    EXPECT_EQ(GetRegString(reg, kHKeyCurrentUser, key, "Kept"), "x");
}

// The uninstaller deletes its keys by a name that ends in a backslash; a key with keys below it
// stays, and the keys after a missing one are still deleted.
TYPED_TEST_P(RegistryCases, KeysAreDeletedByNamesEndingInABackslashButNotWithSubkeys) {
    RegistryApi& reg = this->reg();
    this->PutString(this->Key("Entry"), "DisplayName", "Tessary");
    this->PutString(this->Key("Parent\\Child"), "v", "x");
    EXPECT_EQ(uninstaller::DeleteRegKey(reg, kHKeyCurrentUser, this->Key("Missing"), ""), false);
    EXPECT_TRUE(uninstaller::DeleteRegKey(reg, kHKeyCurrentUser, this->Key("Entry"), ""));
    RegKey k = 0;
    EXPECT_EQ(reg.OpenKey(kHKeyCurrentUser, this->Key("Entry"), &k), kErrorFileNotFound);
    EXPECT_FALSE(uninstaller::DeleteRegKey(reg, kHKeyCurrentUser, this->Key("Parent"), ""));
    ASSERT_EQ(reg.OpenKey(kHKeyCurrentUser, this->Key("Parent\\Child"), &k), kErrorSuccess);
    reg.CloseKey(k);
    EXPECT_TRUE(uninstaller::DeleteRegKey(reg, kHKeyCurrentUser, this->Key("Parent"), "Child"));
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

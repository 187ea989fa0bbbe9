// Where a path splits, whether it ends in a separator and which names a pattern matches, read
// byte by byte, in code page 932, where the second byte of a character may be a backslash, and
// in UTF-8, where a character takes up to four bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "platform/path_text.h"
#include "tests/support/code_page_932.h"

using namespace tess::platform;
using tess::testing::kCodePage932;

namespace {

// "C:\ソ" and "C:\ソ\x.exe" in code page 932's bytes.
const std::string kKatakanaSo = "\x83\x5C";
const std::string kFolder = "C:\\" + kKatakanaSo;
const std::string kFile = kFolder + "\\x.exe";

TEST(PathText, SplitsOnlyAtSeparatorsOfTheirOwn) {
    const CodePage singleBytes;
    EXPECT_EQ(LastName("C:\\Tools/Tessary\\remover.exe", singleBytes), "remover.exe");
    EXPECT_EQ(ParentFolder("C:\\Tools/Tessary\\remover.exe", singleBytes), "C:\\Tools/Tessary");
    EXPECT_EQ(LastName("remover.exe", singleBytes), "remover.exe");
    EXPECT_EQ(ParentFolder("remover.exe", singleBytes), "");
    EXPECT_TRUE(EndsWithSeparator("C:\\", singleBytes));
    EXPECT_FALSE(EndsWithSeparator("", singleBytes));

    // The byte before a separator is a second byte 0x5C: the split falls after it.
    EXPECT_EQ(LastName(kFile, kCodePage932), "x.exe");
    EXPECT_EQ(ParentFolder(kFile, kCodePage932), kFolder);
    // A name that ends in that second byte has no separator after it.
    EXPECT_EQ(LastName(kFolder, kCodePage932), kKatakanaSo);
    EXPECT_EQ(ParentFolder(kFolder, kCodePage932), "C:");
    EXPECT_FALSE(EndsWithSeparator(kFolder, kCodePage932));
    EXPECT_TRUE(EndsWithSeparator(kFolder + "\\", kCodePage932));
    // "ソTessary" is one name, not "Tessary" inside a folder.
    EXPECT_EQ(LastName("C:\\" + kKatakanaSo + "Tessary", kCodePage932), kKatakanaSo + "Tessary");
    EXPECT_EQ(NextSeparator(kFile, 3, kCodePage932), 5u);
    // A lead byte that ends the text stands alone.
    EXPECT_EQ(LastName("C:\\a\x83", kCodePage932), "a\x83");
}

TEST(PathText, Utf8CharactersAreWholeSequencesAndAnythingElseSingleBytes) {
    const CodePage utf8 = CodePage::Utf8();
    // "程序\图片.jpg": a separator between two characters of three bytes each.
    const std::string folder = "\xE7\xA8\x8B\xE5\xBA\x8F", picture = "\xE5\x9B\xBE\xE7\x89\x87.jpg";
    EXPECT_EQ(utf8.charLength(picture, 0), 3u);
    EXPECT_EQ(LastName("C:\\" + folder + "\\" + picture, utf8), picture);
    EXPECT_EQ(CharacterCount("C:\\" + folder + "\\" + picture, utf8), 12u);
    EXPECT_EQ(CharacterCount("\xC3\xA4\xD0\x96\xF0\x9F\x98\x80", utf8), 3u);  // "äЖ😀": two, two and four bytes

    // Malformed or cut short: each byte is a character, and none is read past the text's end.
    for (const std::string& odd : {std::string("\xE5\x9B"), std::string("\xF0\x9F\x98"),
                                   std::string("\xE5\x9B\x41"), std::string("\xC0\xAF"),
                                   std::string("\xE0\x80\xAF"), std::string("\xED\xA0\x80"),
                                   std::string("\xF4\x90\x80\x80"), std::string("\x9B\xBE")})
        EXPECT_EQ(CharacterCount(odd, utf8), odd.size()) << CharacterCount(odd, utf8);
    EXPECT_EQ(utf8.charLength(std::string_view("\xE5\x9B\xBE", 2), 0), 1u);

    // A shortened text keeps whole characters.
    EXPECT_EQ(LastCharacters(folder + "\\" + picture, 7, utf8), "\\" + picture);
    EXPECT_EQ(LastCharacters(picture, 6, utf8), picture);
    EXPECT_EQ(LastCharacters(picture, 9, utf8), picture);
    EXPECT_EQ(LastCharacters("\x83\x5C\x83\x41", 1, kCodePage932), "\x83\x41");

    // Only ASCII letters fold: "Ä" and "ä" name two files.
    EXPECT_TRUE(SamePath("C:\\" + folder + "\\Tessary\\", "c:\\" + folder + "\\TESSARY", utf8));
    EXPECT_FALSE(SamePath("C:\\\xC3\x84", "C:\\\xC3\xA4", utf8));
}

TEST(PathText, PatternsMatchWholeCharacters) {
    // "ア" (0x83 0x41) and "ヂ" (0x83 0x61) differ only in a second byte that is an ASCII letter.
    const std::string a = "\x83\x41", di = "\x83\x61";
    EXPECT_TRUE(MatchesPattern(a + ".BMP", "*.bmp", kCodePage932));
    EXPECT_FALSE(MatchesPattern(a + ".bmp", di + ".bmp", kCodePage932));
    EXPECT_TRUE(MatchesPattern(a + ".bmp", "?.bmp", kCodePage932));
    EXPECT_FALSE(MatchesPattern(a + ".bmp", "?.bmp", CodePage()));
    EXPECT_TRUE(MatchesPattern("X" + a, "x*", kCodePage932));

    // "图.BMP" in UTF-8: one character of three bytes for one '?', none for three.
    const std::string tu = "\xE5\x9B\xBE";
    EXPECT_TRUE(MatchesPattern(tu + ".BMP", "?.bmp", CodePage::Utf8()));
    EXPECT_FALSE(MatchesPattern(tu + ".bmp", "???.bmp", CodePage::Utf8()));
    EXPECT_TRUE(MatchesPattern(tu + "x.bmp", tu + "?.*", CodePage::Utf8()));
    EXPECT_FALSE(MatchesPattern("\xE5\x9B.bmp", "?.bmp", CodePage::Utf8()));
}

} // namespace

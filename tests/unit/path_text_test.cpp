// Where a path splits, whether it ends in a separator and which names a pattern matches, read
// byte by byte and in code page 932, where the second byte of a character may be a backslash.
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

TEST(PathText, PatternsMatchWholeCharacters) {
    // "ア" (0x83 0x41) and "ヂ" (0x83 0x61) differ only in a second byte that is an ASCII letter.
    const std::string a = "\x83\x41", di = "\x83\x61";
    EXPECT_TRUE(MatchesPattern(a + ".BMP", "*.bmp", kCodePage932));
    EXPECT_FALSE(MatchesPattern(a + ".bmp", di + ".bmp", kCodePage932));
    EXPECT_TRUE(MatchesPattern(a + ".bmp", "?.bmp", kCodePage932));
    EXPECT_FALSE(MatchesPattern(a + ".bmp", "?.bmp", CodePage()));
    EXPECT_TRUE(MatchesPattern("X" + a, "x*", kCodePage932));
}

} // namespace

// The setup program's command line, its string helpers and the shortened paths of its pages,
// at the lengths where they switch from the full text to the shortened one.
#include <gtest/gtest.h>

#include <string>

#include "installer/command_line.h"
#include "installer/setup_strings.h"

using namespace tess;
using namespace tess::installer;

namespace {

// A folder name of exactly `length` characters.
std::string FolderOfLength(size_t length) {
    std::string folder = "C:\\";
    while (folder.size() < length)
        folder += static_cast<char>('a' + folder.size() % 26);
    return folder;
}

} // namespace

TEST(InstallerCommandLine, ReadsTheSourceFolderAndTheSilentSwitch) {
    EXPECT_EQ(ProcessCommandLine("c:\\setup").sourcePath, "c:\\setup");
    EXPECT_FALSE(ProcessCommandLine("c:\\setup").silent);
    EXPECT_EQ(ProcessCommandLine("  \"C:\\My Setup\" other").sourcePath, "C:\\My Setup");

    const CommandLine silent = ProcessCommandLine("/S log src");
    EXPECT_TRUE(silent.silent);
    EXPECT_EQ(silent.silentLog, "log");
    EXPECT_EQ(silent.sourcePath, "src");

    // What stands before the switch is dropped; "/s" inside a path counts as the switch.
    const CommandLine inPath = ProcessCommandLine("d:/setup here");
    EXPECT_TRUE(inPath.silent);
    EXPECT_EQ(inPath.silentLog, "etup");
    EXPECT_EQ(inPath.sourcePath, "here");

    const CommandLine bare = ProcessCommandLine("/s");
    EXPECT_TRUE(bare.silent);
    EXPECT_EQ(bare.sourcePath, "");
    // An open quote after the switch stops the reading with no source folder.
    EXPECT_EQ(ProcessCommandLine("/s \"log src").sourcePath, "");
    EXPECT_EQ(ProcessCommandLine("").sourcePath, "");
}

TEST(InstallerCommandLine, ExtractsOneArgumentAtATime) {
    std::string text = "  one/two three";
    EXPECT_EQ(ExtractFilenameArg(text), "one");
    EXPECT_EQ(text, "/two three");
    // A slash starts the rest, so the argument in front of it is empty.
    EXPECT_EQ(ExtractFilenameArg(text), std::nullopt);

    text = "\" spaced \"rest";
    EXPECT_EQ(ExtractFilenameArg(text), "spaced");
    EXPECT_EQ(text, "rest");
    text = "\"   \" x";
    EXPECT_EQ(ExtractFilenameArg(text), std::nullopt);
    text = "\"open";
    EXPECT_EQ(ExtractFilenameArg(text), std::nullopt);
    text = "a\"b";
    EXPECT_EQ(ExtractFilenameArg(text), "a");
    EXPECT_EQ(text, "\"b");
    text = "last";
    EXPECT_EQ(ExtractFilenameArg(text), "last");
    EXPECT_EQ(text, "");
}

TEST(InstallerStrings, EditsTextsAsTheSetupProgramNeeds) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(CutAtNull(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(StringFromBuffer("abc"), "abc");

    std::string quoted = "a\"b\"";
    ReplaceDoubleQuotes(quoted);
    EXPECT_EQ(quoted, "a'b'");
    std::string onlyQuotes = "\"\"";
    ReplaceDoubleQuotes(onlyQuotes);
    EXPECT_EQ(onlyQuotes, "''");

    std::string path = "C:\\Tools  ";
    AddDirSep(path);
    EXPECT_EQ(path, "C:\\Tools\\");
    path = "C:\\Tools\\";
    AddDirSep(path);
    EXPECT_EQ(path, "C:\\Tools\\");
    path = "C:/Tools/";
    AddDirSep(path);
    EXPECT_EQ(path, "C:/Tools/");
    path = "";
    AddDirSep(path);
    EXPECT_EQ(path, "\\");
}

TEST(InstallerStrings, ShortensPathsPastTheirLimits) {
    // "\Tessary" adds 8 characters: a folder of 27 gives 35 in full, one of 28 gives 36.
    const std::string folder27 = FolderOfLength(27);
    const std::string folder28 = FolderOfLength(28);
    EXPECT_EQ(ChooseFolderDisplayPath(folder27), folder27 + "\\Tessary");
    EXPECT_EQ(ChooseFolderDisplayPath(folder28), "..." + folder28.substr(4) + "\\Tessary");
    EXPECT_EQ(ChooseFolderDisplayPath("C:\\" + std::string(24, 'x')),
              "C:\\" + std::string(24, 'x') + "\\Tessary");
    const std::string long36 = "C:\\" + std::string(25, 'y');  // 28 + 8 = 36
    EXPECT_EQ(ChooseFolderDisplayPath(long36), "..." + long36.substr(long36.size() - 24) + "\\Tessary");

    EXPECT_EQ(ReadyShortPath(FolderOfLength(35)), FolderOfLength(35));
    const std::string folder36 = FolderOfLength(36);
    EXPECT_EQ(ReadyShortPath(folder36), "..." + folder36.substr(6));
    EXPECT_EQ(ReadyShortPath(std::string(35, 'z')), std::string(35, 'z'));
    EXPECT_EQ(ReadyShortPath(std::string(36, 'z')), "..." + std::string(30, 'z'));

    const std::string path40 = FolderOfLength(40);
    const std::string path41 = FolderOfLength(41);
    EXPECT_EQ(ProgramDisplayPath(path40), path40);
    EXPECT_EQ(ProgramDisplayPath(path41), "..." + path41.substr(1));

    // In UTF-8 the limits count characters, and a cut never halves one: "C:\程序\" and 29 of "图"
    // is 35 characters in 97 bytes, one more "图" is 36.
    const tess::platform::CodePage utf8 = tess::platform::CodePage::Utf8();
    const auto tu = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "\xE5\x9B\xBE";
        return text;
    };
    const std::string chinese35 = "C:\\\xE7\xA8\x8B\xE5\xBA\x8F\\" + tu(29);
    EXPECT_EQ(ReadyShortPath(chinese35, utf8), chinese35);
    EXPECT_EQ(ReadyShortPath(chinese35 + tu(1), utf8), "..." + tu(30));
    EXPECT_EQ(ChooseFolderDisplayPath(chinese35, utf8), "..." + tu(24) + "\\Tessary");
}

// File-system cases every platform::FileSystem must pass alike: the Windows behaviour the three
// programs rely on. Run on the in-memory file system and on Wine's through the Win32 one.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tess::testing {

// Backend: default-constructible; `files()` gives the file system and `base()` a folder that
// exists and is empty, without a trailing backslash; `MakeLink` makes a link (false where the
// system makes none of that kind); `HoldOpen` opens a file without leave to delete it, until
// `Release`; `MakeReadOnly` gives a file the read-only attribute and `IsReadOnly` asks for it;
// `WriteBeyondCodePage(folder)` writes a file whose name holds characters the code page lacks and
// gives an `OddName`: its path as listings show it, with '?' for each, or, where the system makes
// no such name, writes "..＼..＼victim.txt" (fullwidth reverse solidi) and gives its exact path
// with `spelled` set, as UTF-8, which spells every other name, does. The destructor removes
// whatever was made below the base.
struct OddName {
    std::string path;
    bool spelled = false;
};

template <typename Backend>
class FileSystemCases : public ::testing::Test {
protected:
    platform::FileSystem& fs() { return backend_.files(); }
    std::string Base() const { return backend_.base(); }
    std::string At(const std::string& relative) const { return backend_.base() + "\\" + relative; }
    void Write(const std::string& relative, const std::string& bytes = "x") {
        ASSERT_TRUE(fs().WriteFileReplacing(At(relative), std::vector<uint8_t>(bytes.begin(), bytes.end())).ok())
            << relative;
    }
    void Folder(const std::string& relative) { ASSERT_TRUE(fs().CreateFolder(At(relative)).ok()) << relative; }
    std::string Read(const std::string& relative) {
        auto bytes = fs().ReadWholeFile(At(relative), 1 << 20);
        return bytes ? std::string(bytes.value().begin(), bytes.value().end()) : "<" + bytes.error().message + ">";
    }
    std::vector<std::string> Files(const std::string& folder, const std::string& pattern) {
        auto names = fs().ListFiles(folder, pattern);
        return names ? names.value() : std::vector<std::string>{"<error>"};
    }
    // The application folder the uninstaller's cases work on, with a neighbour beside it.
    void MakeApplicationFolder() {
        for (const char* folder : {"Tessary", "Tessary\\Collection", "Tessary\\Collection\\Old"})
            Folder(folder);
        for (const char* name : {"Tessary\\Tessary.exe", "Tessary\\Skin.bmp", "Tessary\\readme.txt",
                                 "Tessary\\Collection\\Skin0001.bmp", "Tessary\\Collection\\Old\\Skin0009.bmp",
                                 "neighbour.txt"})
            Write(name);
    }

    Backend backend_;
};

TYPED_TEST_SUITE_P(FileSystemCases);

TYPED_TEST_P(FileSystemCases, NamesCompareWithoutRegardToCaseAndKeepTheirOwn) {
    platform::FileSystem& fs = this->fs();
    this->Folder("Collection");
    this->Write("Collection\\Skin0001.bmp", "first");
    EXPECT_TRUE(fs.FileExists(this->At("COLLECTION\\skin0001.BMP")));
    EXPECT_TRUE(fs.FolderExists(this->At("collection")));
    EXPECT_FALSE(fs.FileExists(this->At("collection")));  // folders are not files
    EXPECT_FALSE(fs.FolderExists(this->At("Collection\\Skin0001.bmp")));
    const Result<uint64_t> length = fs.FileLength(this->At("collection\\SKIN0001.bmp"));
    ASSERT_TRUE(length.ok());
    EXPECT_EQ(length.value(), 5u);
    EXPECT_EQ(this->Files(this->At("COLLECTION"), "*"), std::vector<std::string>{"Skin0001.bmp"});
    EXPECT_EQ(fs.CreateFolder(this->At("COLLECTION")).error().code, ErrorCode::AlreadyExists);

    // A replacing write under another case replaces that file and leaves no temporary file.
    this->Write("collection\\SKIN0001.BMP", "second!");
    EXPECT_EQ(this->Read("Collection\\Skin0001.bmp"), "second!");
    EXPECT_EQ(this->Files(this->At("Collection"), "*").size(), 1u);

    // A missing parent or a file in the way is a real failure, not an existing folder.
    const Status orphan = fs.CreateFolder(this->At("none\\deeper"));
    ASSERT_FALSE(orphan.ok());
    EXPECT_NE(orphan.error().code, ErrorCode::AlreadyExists);
    const Status blocked = fs.CreateFolder(this->At("collection\\skin0001.bmp"));
    ASSERT_FALSE(blocked.ok());
    EXPECT_NE(blocked.error().code, ErrorCode::AlreadyExists);
    EXPECT_FALSE(fs.WriteFileReplacing(this->At("Collection"), {1}).ok());
    EXPECT_FALSE(fs.WriteFileReplacing(this->At("none\\Skin.bmp"), {1}).ok());
    EXPECT_FALSE(fs.FileExists(this->At("none\\Skin.bmp")));

    EXPECT_EQ(fs.FileLength(this->At("Collection")).error().code, ErrorCode::CannotOpen);
    EXPECT_EQ(fs.FileLength(this->At("missing.bmp")).error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(fs.ReadWholeFile(this->At("Collection"), 100).error().code, ErrorCode::CannotOpen);
    EXPECT_EQ(fs.ReadWholeFile(this->At("missing.bmp"), 100).error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(fs.ReadWholeFile(this->At("Collection\\Skin0001.bmp"), 6).error().code, ErrorCode::FileTooLarge);

    EXPECT_TRUE(fs.RemoveFile(this->At("COLLECTION\\skin0001.bmp")).ok());
    EXPECT_FALSE(fs.FileExists(this->At("Collection\\Skin0001.bmp")));
    EXPECT_EQ(fs.RemoveFile(this->At("Collection\\Skin0001.bmp")).error().code, ErrorCode::FileNotFound);
    EXPECT_FALSE(fs.RemoveFile(this->At("Collection")).ok());
    EXPECT_TRUE(fs.FolderExists(this->At("Collection")));
}

TYPED_TEST_P(FileSystemCases, PatternsAndListingsMatchAsTheSystemsDo) {
    platform::FileSystem& fs = this->fs();
    const std::string base = this->Base();
    for (const char* name : {"b.BMP", "a.bmp", "c.txt", "readme", "ab.txt"})
        this->Write(name);
    for (const char* folder : {"Sub", "alpha", "alpha\\inner"})
        this->Folder(folder);
    EXPECT_EQ(this->Files(base, "*.bmp"), (std::vector<std::string>{"a.bmp", "b.BMP"}));
    // A final ".*" also matches a name without an extension, so "*.*" matches every file.
    EXPECT_EQ(this->Files(base, "*.*"), (std::vector<std::string>{"a.bmp", "ab.txt", "b.BMP", "c.txt", "readme"}));
    EXPECT_EQ(this->Files(base, "?.TXT"), std::vector<std::string>{"c.txt"});
    EXPECT_EQ(this->Files(base + "\\", "read*"), std::vector<std::string>{"readme"});
    const Result<std::vector<std::string>> folders = fs.ListFolders(base);
    ASSERT_TRUE(folders.ok());
    EXPECT_EQ(folders.value(), (std::vector<std::string>{"alpha", "Sub"}));
    EXPECT_FALSE(fs.ListFiles(this->At("missing"), "*").ok());
    EXPECT_FALSE(fs.ListFolders(this->At("missing")).ok());
    EXPECT_FALSE(fs.ListFolders(this->At("c.txt")).ok());

    // The whole tree as full paths below the folder as it was named.
    std::vector<std::string> tree = fs.ListTree(base);
    std::sort(tree.begin(), tree.end());
    std::vector<std::string> expected;
    for (const char* name : {"Sub", "a.bmp", "ab.txt", "alpha", "alpha\\inner", "b.BMP", "c.txt", "readme"})
        expected.push_back(this->At(name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree, expected);
    EXPECT_TRUE(fs.ListTree(this->At("missing")).empty());

}

// The replacing move, and its refusal over a file held open without leave to delete it, which
// keeps both files as they were: the installation's way back relies on that.
TYPED_TEST_P(FileSystemCases, AMoveReplacesInOneStepOrLeavesBothFiles) {
    platform::FileSystem& fs = this->fs();
    this->Write("arrived.exe", "new");
    this->Write("installed.exe", "old");
    ASSERT_TRUE(fs.MoveReplacing(this->At("arrived.exe"), this->At("INSTALLED.exe")).ok());
    EXPECT_EQ(this->Read("installed.exe"), "new");
    EXPECT_FALSE(fs.FileExists(this->At("arrived.exe")));
    this->Write("arrived.exe", "newer");
    this->backend_.HoldOpen(this->At("installed.exe"));
    EXPECT_FALSE(fs.MoveReplacing(this->At("arrived.exe"), this->At("installed.exe")).ok());
    this->backend_.Release(this->At("installed.exe"));
    EXPECT_EQ(this->Read("installed.exe"), "new");
    EXPECT_EQ(this->Read("arrived.exe"), "newer");
    EXPECT_EQ(fs.MoveReplacing(this->At("absent.exe"), this->At("installed.exe")).error().code,
              ErrorCode::FileNotFound);
    EXPECT_EQ(this->Read("installed.exe"), "new");
}

// A read-only file is neither replaced nor deleted by name until its attribute is taken off, and
// taking it off touches nothing else.
TYPED_TEST_P(FileSystemCases, AReadOnlyFileIsReplacedOnlyOnceItsAttributeIsOff) {
    platform::FileSystem& fs = this->fs();
    const std::string installed = this->At("installed.exe"), arrived = this->At("arrived.exe");
    this->Write("installed.exe", "old");
    this->Write("arrived.exe", "new");
    this->backend_.MakeReadOnly(installed);
    ASSERT_TRUE(this->backend_.IsReadOnly(installed));
    ASSERT_TRUE(fs.ClearReadOnly(installed).ok());
    EXPECT_FALSE(this->backend_.IsReadOnly(installed));
    EXPECT_TRUE(fs.ClearReadOnly(installed).ok());
    EXPECT_EQ(fs.ClearReadOnly(this->Base()).error().code, ErrorCode::InvalidArgument);
    EXPECT_EQ(fs.ClearReadOnly(this->At("absent.exe")).error().code, ErrorCode::FileNotFound);

    this->backend_.MakeReadOnly(installed);
    if (fs.MoveReplacing(arrived, installed).ok())
        GTEST_SKIP() << "this system replaces a read-only file (Wine does, run as root); Windows refuses";
    EXPECT_FALSE(fs.RemoveFile(installed).ok());
    EXPECT_EQ(this->Read("installed.exe"), "old");
    ASSERT_TRUE(fs.ClearReadOnly(installed).ok());
    EXPECT_TRUE(fs.MoveReplacing(arrived, installed).ok());
    EXPECT_EQ(this->Read("installed.exe"), "new");
}

TYPED_TEST_P(FileSystemCases, ALinkIsListedAndRemovedButNeverEntered) {
    platform::FileSystem& fs = this->fs();
    this->MakeApplicationFolder();
    const std::string app = this->At("Tessary"), outside = this->At("Photos");
    const std::string link = app + "\\Pictures", fileLink = app + "\\photo.bmp";
    this->Folder("Photos");
    this->Write("Photos\\holiday.bmp");
    if (!this->backend_.MakeLink(link, outside, true))
        GTEST_SKIP() << "this system makes no folder link (Wine makes none; Win32LinkWalk runs the link walk "
                        "over links reported as Windows reports them)";
    EXPECT_TRUE(fs.IsLink(link));
    EXPECT_TRUE(fs.IsLink(app + "\\PICTURES"));
    EXPECT_FALSE(fs.IsLink(app + "\\Collection"));
    EXPECT_TRUE(fs.FolderExists(link));
    const Result<std::string> target = fs.LinkTarget(link);
    ASSERT_TRUE(target.ok()) << target.error().message;
    EXPECT_EQ(target.value(), outside);
    EXPECT_EQ(fs.LinkTarget(app + "\\Collection").error().code, ErrorCode::InvalidArgument);
    // Listing the link's own files goes through it, as a listing of "link\*" does.
    EXPECT_EQ(this->Files(link, "*"), std::vector<std::string>{"holiday.bmp"});
    const bool withFileLink = this->backend_.MakeLink(fileLink, outside + "\\holiday.bmp", false);

    const std::vector<std::string> listed = fs.ListTree(app);
    EXPECT_NE(std::find(listed.begin(), listed.end(), link), listed.end());
    EXPECT_EQ(std::find(listed.begin(), listed.end(), link + "\\holiday.bmp"), listed.end());
    EXPECT_EQ(listed.size(), withFileLink ? 9u : 8u);
    EXPECT_EQ(fs.RemoveLink(app + "\\Collection").error().code, ErrorCode::InvalidArgument);
    EXPECT_TRUE(fs.FolderExists(app + "\\Collection"));

    ASSERT_TRUE(fs.RemoveLink(link).ok());
    EXPECT_FALSE(fs.FolderExists(link));
    if (withFileLink) {
        EXPECT_TRUE(fs.FileExists(fileLink));
        ASSERT_TRUE(fs.RemoveLink(fileLink).ok());
        EXPECT_FALSE(fs.FileExists(fileLink));
    }
    EXPECT_TRUE(fs.FileExists(outside + "\\holiday.bmp"));

    // The tree removal takes a link inside as a link, and a link given to it as itself.
    ASSERT_TRUE(this->backend_.MakeLink(link, outside, true));
    ASSERT_TRUE(this->backend_.MakeLink(this->At("Alias"), outside, true));
    EXPECT_EQ(fs.RemoveTree(app), std::vector<std::string>{});
    EXPECT_EQ(fs.RemoveTree(this->At("Alias")), std::vector<std::string>{});
    EXPECT_FALSE(fs.FolderExists(app));
    EXPECT_FALSE(fs.IsLink(this->At("Alias")));
    EXPECT_TRUE(fs.FileExists(outside + "\\holiday.bmp"));
}

// A tree goes entry by entry, read-only files too; what a program holds stays and is named, with
// the folders above it; nothing outside is touched. A plain file goes by itself, nothing else.
TYPED_TEST_P(FileSystemCases, ATreeGoesEntryByEntryAndWhatStaysIsNamed) {
    platform::FileSystem& fs = this->fs();
    this->MakeApplicationFolder();
    const std::string app = this->At("Tessary"), held = app + "\\Collection\\Skin0001.bmp";
    this->backend_.MakeReadOnly(app + "\\Skin.bmp");
    this->backend_.HoldOpen(held);
    EXPECT_EQ(fs.RemoveTree(app), std::vector<std::string>{held});
    EXPECT_FALSE(fs.FileExists(app + "\\Skin.bmp"));
    EXPECT_FALSE(fs.FolderExists(app + "\\Collection\\Old"));
    this->backend_.Release(held);
    EXPECT_EQ(fs.RemoveTree(app), std::vector<std::string>{});
    EXPECT_FALSE(fs.FolderExists(app));
    EXPECT_EQ(fs.RemoveTree(app), std::vector<std::string>{});
    EXPECT_EQ(this->Read("neighbour.txt"), "x");

    // Only the entries named, and the folder once that empties it.
    this->Folder("Group");
    for (const char* name : {"Group\\Tessary.lnk", "Group\\mine.txt"})
        this->Write(name);
    EXPECT_EQ(fs.RemoveTree(this->At("Group"), {"TESSARY.lnk", "Uninstall Tessary.lnk"}), std::vector<std::string>{});
    EXPECT_EQ(this->Files(this->At("Group"), "*"), std::vector<std::string>{"mine.txt"});
    EXPECT_EQ(fs.RemoveTree(this->At("Group"), {"mine.txt"}), std::vector<std::string>{});
    EXPECT_FALSE(fs.FolderExists(this->At("Group")));

    this->Write("plain.txt");
    this->backend_.MakeReadOnly(this->At("plain.txt"));
    EXPECT_TRUE(fs.RemovePlainFile(this->At("plain.txt")).ok());
    EXPECT_FALSE(fs.FileExists(this->At("plain.txt")));
    EXPECT_EQ(fs.RemovePlainFile(this->At("plain.txt")).error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(fs.RemovePlainFile(this->Base()).error().code, ErrorCode::InvalidArgument);
}

// A name that the code page spells only by a look-alike is never listed for use and names nothing;
// the deletions that work by listing take it by its exact name, and never the file two folders up
// that the look-alike "..\..\victim.txt" would name. A code page that spells "..＼..＼victim.txt"
// exactly (UTF-8) lists it and names that file by it, never the one two folders up.
TYPED_TEST_P(FileSystemCases, ANameBeyondTheCodePageIsTakenExactlyOrNotAtAll) {
    platform::FileSystem& fs = this->fs();
    this->Folder("A");
    this->Folder("A\\B");
    this->Write("victim.txt", "keep");
    this->Write("A\\B\\plain.bmp");
    const std::string folder = this->At("A\\B");
    const OddName odd = this->backend_.WriteBeyondCodePage(folder);
    const std::string oddName = odd.path.substr(folder.size() + 1);
    const std::vector<std::string> usable =
        odd.spelled ? std::vector<std::string>{oddName, "plain.bmp"} : std::vector<std::string>{"plain.bmp"};
    EXPECT_EQ(this->Files(folder, "*"), usable);
    const std::vector<std::string> listed = fs.ListTree(folder);
    EXPECT_NE(std::find(listed.begin(), listed.end(), odd.path), listed.end()) << odd.path;
    EXPECT_EQ(fs.FileExists(odd.path), odd.spelled);
    EXPECT_EQ(fs.RemoveTree(this->At("A")), std::vector<std::string>{});
    EXPECT_FALSE(fs.FolderExists(this->At("A")));
    EXPECT_EQ(this->Read("victim.txt"), "keep");
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemCases, NamesCompareWithoutRegardToCaseAndKeepTheirOwn,
                            PatternsAndListingsMatchAsTheSystemsDo,
                            AMoveReplacesInOneStepOrLeavesBothFiles, AReadOnlyFileIsReplacedOnlyOnceItsAttributeIsOff,
                            ATreeGoesEntryByEntryAndWhatStaysIsNamed, ANameBeyondTheCodePageIsTakenExactlyOrNotAtAll,
                            ALinkIsListedAndRemovedButNeverEntered);

} // namespace tess::testing

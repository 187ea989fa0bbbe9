// The controls a painted, borderless window and a folder chooser are made of, headless: a form's
// drawing, picture, placement and input; transparent, coloured, self-sizing labels with mouse
// input; stacking; and the file, folder and drive lists over a file system held in memory.
#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"
#include "ui/controls.h"
#include "ui/file_system_folders.h"
#include "ui/headless/headless_host.h"

namespace tess::testing {
namespace {

using ui::DrawOp;
using ui::Form;
using ui::Label;
using ui::Property;

// Counts what the model reports to its binding.
struct CountingPeer : ui::ControlPeer {
    std::map<Property, int> seen;
    void propertyChanged(Property what) override { ++seen[what]; }
};

// A measure of fixed character cells, so that sizes are known exactly.
struct CellMeasure : ui::TextMeasure {
    mutable int calls = 0;
    mutable double lastWrap = -1;
    mutable const ui::FontSpec* lastFont = nullptr;
    ui::TwipsSize extent(const ui::FontSpec* font, const std::string& text,
                         double wrap) const override {
        ++calls;
        lastWrap = wrap;
        lastFont = font;
        const double w = text.size() * 100.0;
        const int lines = wrap > 0 ? static_cast<int>((w + wrap - 1) / wrap) : 1;
        return {wrap > 0 ? std::min(w, wrap) : w, std::max(lines, 1) * 200.0};
    }
};

struct MouseEvent {
    int button, shift;
    double x, y;
    bool operator==(const MouseEvent&) const = default;
};

// A shown borderless form of the wizard's size.
struct ShownForm : Form {
    ShownForm() : Form("frmTest", {0, 0, 5325, 3510}, "Test", Form::Border::None) {
        setVisible(true);
    }
};

TEST(FormDrawingTest, StepsKeepTheColoursPenAndFontOfTheirMoment) {
    ShownForm form;
    CountingPeer peer;
    form.setPeer(&peer);

    form.setForeColor(MakeColorRef(0, 0, 64));
    form.setDrawWidth(30);
    form.line(4000, 1800, 4600, 1800);
    EXPECT_EQ(form.currentX(), 4600);
    EXPECT_EQ(form.currentY(), 1800);

    form.setForeColor(MakeColorRef(96, 96, 96));
    form.setDrawWidth(0);  // too thin: one pixel
    form.setFillColor(MakeColorRef(0, 255, 0));
    form.circle(4895, 3074, 318);                   // transparent fill: outline only
    form.setFillStyle(Form::FillStyle::Solid);
    form.circle(100, 200, 50);
    EXPECT_EQ(form.currentX(), 100);
    EXPECT_EQ(form.currentY(), 200);

    ASSERT_EQ(form.drawing().size(), 3u);
    const DrawOp& bar = form.drawing()[0];
    EXPECT_EQ(bar.kind, DrawOp::Kind::Line);
    EXPECT_EQ(bar.color, MakeColorRef(0, 0, 64));
    EXPECT_EQ(bar.width, 30);
    EXPECT_EQ(bar.x2, 4600);
    EXPECT_EQ(form.drawing()[1].width, 1);
    EXPECT_EQ(form.drawing()[1].color, MakeColorRef(96, 96, 96));
    EXPECT_FALSE(form.drawing()[1].fill.has_value());
    EXPECT_EQ(form.drawing()[2].fill, MakeColorRef(0, 255, 0));
    EXPECT_EQ(form.drawing()[2].radius, 50);
    EXPECT_EQ(peer.seen[Property::Drawing], 3);
    form.setPeer(nullptr);
}

TEST(FormDrawingTest, PrintWritesAtTheCurrentPositionAndMovesALineDown) {
    ShownForm form;
    auto cells = std::make_shared<CellMeasure>();
    form.setTextMeasure(cells);
    form.setFontName("Arial");
    form.setFontBold(true);
    form.setFontSize(12);
    form.setForeColor(MakeColorRef(0, 255, 255));
    form.setCurrentX(1425);
    form.setCurrentY(1050);
    form.print("          Starting");
    EXPECT_EQ(form.currentX(), 0);
    EXPECT_EQ(form.currentY(), 1050 + 200);

    form.setFontSize(20);
    form.setForeColor(0);
    form.setCurrentX(1380);
    form.setCurrentY(1355);
    form.print("Tessary 1.0");

    ASSERT_EQ(form.drawing().size(), 2u);
    const DrawOp& first = form.drawing()[0];
    EXPECT_EQ(first.kind, DrawOp::Kind::Print);
    EXPECT_EQ(first.text, "          Starting");
    EXPECT_EQ(first.x1, 1425);
    EXPECT_EQ(first.y1, 1050);
    EXPECT_EQ(first.font, (ui::FontSpec{"Arial", 12, true}));
    EXPECT_EQ(first.color, MakeColorRef(0, 255, 255));
    EXPECT_EQ(form.drawing()[1].font.points, 20);
    EXPECT_EQ(form.drawing()[1].color, 0);
}

TEST(FormDrawingTest, ClsClearsTheDrawingButNotThePicture) {
    ShownForm form;
    CountingPeer peer;
    form.setPeer(&peer);
    const auto picture = std::make_shared<const Picture>(
        Picture::FromRgba(1, 1, std::vector<uint8_t>{1, 2, 3, 255}.data()).value());
    form.setPicture(picture);
    form.setPicture(picture);
    EXPECT_EQ(peer.seen[Property::Picture], 1);

    form.cls();  // nothing drawn yet: nothing to tell
    EXPECT_EQ(peer.seen[Property::Drawing], 0);
    form.line(0, 0, 10, 10);
    form.cls();
    EXPECT_TRUE(form.drawing().empty());
    EXPECT_EQ(form.currentX(), 0);
    EXPECT_EQ(form.currentY(), 0);
    EXPECT_EQ(form.picture(), picture);
    EXPECT_EQ(peer.seen[Property::Drawing], 2);
    form.setPeer(nullptr);
}

TEST(FormPlacementTest, TopMostMoveAndOuterRectangle) {
    ShownForm form;
    CountingPeer peer;
    form.setPeer(&peer);
    form.setTopMost(true);
    form.setTopMost(true);
    EXPECT_EQ(peer.seen[Property::TopMost], 1);
    form.setTopMost(false);
    EXPECT_EQ(peer.seen[Property::TopMost], 2);

    EXPECT_EQ(form.outerRect(), (ui::TwipsRect{0, 0, 5325, 3510}));
    form.setFrameSize(90, 450);
    form.move(100, 200);
    EXPECT_EQ(form.outerRect(), (ui::TwipsRect{100, 200, 5415, 3960}));
    EXPECT_EQ(form.rect().width, 5325);
    EXPECT_EQ(peer.seen[Property::Rect], 1);
    form.setPeer(nullptr);

    ui::HeadlessHost host("Setup");
    EXPECT_EQ(host.screenWidthTwips(), 12000);
    EXPECT_EQ(host.screenHeightTwips(), 9000);
    host.setScreenSize(15360, 11520);
    EXPECT_EQ(host.screenWidthTwips(), 15360);
}

TEST(HostTest, AFormThatCannotBeShownIsReportedToTheUser) {
    // A host whose system refuses every window.
    struct RefusingHost : ui::HeadlessHost {
        using HeadlessHost::HeadlessHost;
        Status show(ui::Form&, bool) override {
            return Error{ErrorCode::CannotOpen, "The window of frmMain cannot be created"};
        }
    } host("Setup");
    ShownForm form;
    EXPECT_FALSE(host.showOrReport(form, true));
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "The window of frmMain cannot be created");
    EXPECT_EQ(host.asked()[0].flags, ui::kMbOk | ui::kMbIconStop);
    EXPECT_EQ(host.asked()[0].caption, "Setup");

    ui::HeadlessHost working("Setup");
    EXPECT_TRUE(working.showOrReport(form, false));
    EXPECT_TRUE(working.asked().empty());
}

TEST(FormInputTest, KeysAndMouseReachTheFormOnlyWhileItTakesInput) {
    ShownForm form;
    std::vector<std::pair<int, int>> keys;
    std::vector<MouseEvent> downs, moves;
    form.onKeyUp = [&](int code, int shift) { keys.emplace_back(code, shift); };
    form.onMouseDown = [&](int b, int s, double x, double y) { downs.push_back({b, s, x, y}); };
    form.onMouseMove = [&](int b, int s, double x, double y) { moves.push_back({b, s, x, y}); };

    EXPECT_TRUE(form.keyUp('E', ui::kAltKey));
    EXPECT_TRUE(form.mouseDown(ui::kRightButton, ui::kShiftKey, 15, 30));
    EXPECT_TRUE(form.mouseMove(ui::kLeftButton | ui::kRightButton, 0, 45, 60));
    form.setEnabled(false);
    EXPECT_FALSE(form.keyUp(13, 0));
    EXPECT_FALSE(form.mouseDown(ui::kLeftButton, 0, 0, 0));
    EXPECT_FALSE(form.mouseMove(ui::kLeftButton, 0, 0, 0));

    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{'E', 4}}));
    EXPECT_EQ(downs, (std::vector<MouseEvent>{{2, 1, 15, 30}}));
    EXPECT_EQ(moves, (std::vector<MouseEvent>{{3, 0, 45, 60}}));
}

TEST(LabelTest, ColourStyleAndMouseInput) {
    ShownForm form;
    Label about(&form, "About", {540, 720, 4245, 2265}, "text", Label::Align::Center);
    CountingPeer peer;
    about.setPeer(&peer);
    about.setForeColor(MakeColorRef(0, 255, 255));
    about.setForeColor(MakeColorRef(0, 255, 255));
    about.setBackStyle(Label::BackStyle::Transparent);
    about.setBackStyle(Label::BackStyle::Transparent);
    EXPECT_EQ(peer.seen[Property::ForeColor], 1);
    EXPECT_EQ(peer.seen[Property::BackStyle], 1);
    EXPECT_EQ(about.foreColor(), MakeColorRef(0, 255, 255));
    about.setAlign(Label::Align::Left);
    about.setAlign(Label::Align::Left);
    EXPECT_EQ(peer.seen[Property::Alignment], 1);
    EXPECT_EQ(about.align(), Label::Align::Left);

    std::vector<MouseEvent> downs, moves;
    about.onMouseDown = [&](int b, int s, double x, double y) { downs.push_back({b, s, x, y}); };
    about.onMouseMove = [&](int b, int s, double x, double y) { moves.push_back({b, s, x, y}); };
    EXPECT_TRUE(about.mouseDown(1, 0, 30, 45));
    EXPECT_TRUE(about.mouseMove(1, 2, -15, 4000));  // captured: outside the label
    about.setVisible(false);
    EXPECT_FALSE(about.mouseDown(1, 0, 0, 0));
    EXPECT_EQ(downs, (std::vector<MouseEvent>{{1, 0, 30, 45}}));
    EXPECT_EQ(moves, (std::vector<MouseEvent>{{1, 2, -15, 4000}}));
    about.setPeer(nullptr);
}

TEST(LabelTest, SelfSizingLabelsFollowCaptionFontAndMeasure) {
    ShownForm form;
    Label title(&form, "Label1", {1590, 330, 2235, 285}, "Tessary 1.0 Setup");
    Label prompt(&form, "lblPrompt", {210, 120, 3525, 195}, "Select installation directory");
    Label fixed(&form, "Label3", {420, 1680, 3405, 675}, "C:\\Program Files");
    title.setFont({"Arial", 12.75, true});
    prompt.setWordWrap(true);
    title.setAutoSize(true);
    prompt.setAutoSize(true);

    // The measure the binding gives sizes them again.
    auto cells = std::make_shared<CellMeasure>();
    form.setTextMeasure(cells);
    EXPECT_EQ(title.rect(), (ui::TwipsRect{1590, 330, 1700, 200}));
    EXPECT_EQ(prompt.rect(), (ui::TwipsRect{210, 120, 3525, 200}));  // 2900 wide: one line
    EXPECT_EQ(fixed.rect(), (ui::TwipsRect{420, 1680, 3405, 675}));

    title.setCaption("Setup");
    EXPECT_EQ(title.rect().width, 500);
    ASSERT_NE(cells->lastFont, nullptr);
    EXPECT_EQ(cells->lastFont->points, 12.75);
    prompt.setCaption(std::string(80, 'x'));  // 8000 twips in a 3525 wide label: three lines
    EXPECT_EQ(cells->lastWrap, 3525);
    EXPECT_EQ(prompt.rect(), (ui::TwipsRect{210, 120, 3525, 600}));
    const int calls = cells->calls;
    fixed.setCaption("D:\\");
    EXPECT_EQ(cells->calls, calls);
    EXPECT_EQ(fixed.rect().width, 3405);
}

TEST(LabelTest, ApproximateMeasureBreaksLinesAndWords) {
    const ui::ApproximateTextMeasure measure;
    const ui::FontSpec ten{"Arial", 10, false};  // 100 twips a character, 240 a line
    EXPECT_EQ(measure.extent(&ten, "abcd", 0), (ui::TwipsSize{400, 240}));
    EXPECT_EQ(measure.extent(&ten, "ab\r\nabcdef\n", 0), (ui::TwipsSize{600, 720}));
    EXPECT_EQ(measure.extent(&ten, "", 0), (ui::TwipsSize{0, 240}));
    // "aaa bbb cc" in 700 twips: "aaa bbb" fits, "cc" goes below.
    EXPECT_EQ(measure.extent(&ten, "aaa bbb cc", 700), (ui::TwipsSize{700, 480}));
}

TEST(StackingTest, SendToBackAndBringToFrontReorderOnlyWhenTheyMove) {
    ShownForm form;
    ui::ImageBox a(&form, "Image1", {0, 0, 10, 10}, true, 3);
    Label b(&form, "Label3", {0, 0, 10, 10}, "");
    Label c(&form, "About", {0, 0, 10, 10}, "");
    CountingPeer peer;
    b.setPeer(&peer);
    b.sendToBack();
    EXPECT_EQ(form.children(), (std::vector<ui::Control*>{&b, &a, &c}));
    b.sendToBack();
    EXPECT_EQ(peer.seen[Property::ZOrder], 1);
    b.bringToFront();
    EXPECT_EQ(form.children(), (std::vector<ui::Control*>{&a, &c, &b}));
    EXPECT_EQ(peer.seen[Property::ZOrder], 2);
    EXPECT_EQ(b.form(), &form);
    b.setPeer(nullptr);
}

class FolderListTest : public ::testing::Test {
protected:
    FolderListTest() {
        fs.addDrive('a', "");
        fs.addDrive('c', "system");
        fs.addDrive('d', "", false);  // a drive without its medium
        fs.addDrive('z', "\\\\server\\share");
        fs.addFolder("C:\\Program Files\\Common Files");
        fs.addFolder("C:\\Program Files\\accessories");
        fs.addFolder("C:\\Windows");
        fs.addFolder("Z:\\home");
        fs.setCurrentFolder('z', "Z:\\home");
    }
    static std::vector<std::string> Names(const ui::DirListBox& list) {
        std::vector<std::string> names;
        for (const auto& row : list.rows()) names.push_back(row.name);
        return names;
    }
    MemoryFileSystem fs;
    ui::FileSystemFolders folders{fs, fs};
    ShownForm form;
};

TEST_F(FolderListTest, PathListsAncestorsThenSubfoldersAndChangesOnlyOnChange) {
    ui::DirListBox dirs(&form, "dirDirs", {210, 1320, 3510, 1890}, folders);
    EXPECT_EQ(dirs.path(), "C:\\");
    int changes = 0;
    dirs.onChange = [&] { ++changes; };

    ASSERT_TRUE(dirs.setPath("C:\\Program Files\\"));
    EXPECT_EQ(dirs.path(), "C:\\Program Files");
    EXPECT_EQ(Names(dirs), (std::vector<std::string>{"C:\\", "Program Files", "accessories",
                                                     "Common Files"}));
    EXPECT_EQ(dirs.openRow(), 1);
    EXPECT_TRUE(dirs.rows()[1].open);
    EXPECT_FALSE(dirs.rows()[2].open);
    EXPECT_EQ(dirs.rows()[3].path, "C:\\Program Files\\Common Files");
    EXPECT_EQ(dirs.rows()[3].depth, 2);
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(dirs.setPath("C:\\Program Files"));
    EXPECT_EQ(changes, 1);

    // Relative, ".." and rooted paths resolve from the open folder.
    ASSERT_TRUE(dirs.setPath("Common Files"));
    EXPECT_EQ(dirs.path(), "C:\\Program Files\\Common Files");
    ASSERT_TRUE(dirs.setPath("..\\..\\Windows"));
    EXPECT_EQ(dirs.path(), "C:\\Windows");
    ASSERT_TRUE(dirs.setPath("\\"));
    EXPECT_EQ(dirs.path(), "C:\\");
    EXPECT_EQ(Names(dirs), (std::vector<std::string>{"C:\\", "Program Files", "Windows"}));
    // A drive alone opens that drive's current folder.
    ASSERT_TRUE(dirs.setPath("z:"));
    EXPECT_EQ(dirs.path(), "Z:\\home");
    EXPECT_EQ(changes, 5);

    // The user's double click opens a row.
    ASSERT_TRUE(dirs.open(0));
    EXPECT_EQ(dirs.path(), "Z:\\");
    EXPECT_EQ(changes, 6);
    dirs.setEnabled(false);
    EXPECT_FALSE(dirs.open(1));
    EXPECT_EQ(dirs.path(), "Z:\\");
}

TEST_F(FolderListTest, UnreadableDriveOrMissingFolderIsAnErrorAndChangesNothing) {
    ui::DirListBox dirs(&form, "dirDirs", {}, folders);
    ASSERT_TRUE(dirs.setPath("C:\\Windows"));
    CountingPeer peer;
    dirs.setPeer(&peer);
    int changes = 0;
    dirs.onChange = [&] { ++changes; };
    const auto before = Names(dirs);

    for (const char* bad : {"d:", "D:\\", "D:\\Data", "C:\\Missing", "Q:\\", "\\\\server\\x"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(dirs.setPath(bad).ok());
        EXPECT_EQ(dirs.path(), "C:\\Windows");
    }
    EXPECT_EQ(Names(dirs), before);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(peer.seen[Property::Value], 0);
    dirs.setPeer(nullptr);
}

TEST_F(FolderListTest, DriveListEntriesSelectionAndChanges) {
    fs.setCurrentDrive('z');
    ui::DriveListBox drives(&form, "drvDrives", {216, 3600, 3510, 315}, folders);
    EXPECT_EQ(drives.entries(),
              (std::vector<std::string>{"a:", "c: [system]", "d:", "z: [\\\\server\\share]"}));
    EXPECT_EQ(drives.drive(), "z: [\\\\server\\share]");
    int changes = 0;
    drives.onChange = [&] { ++changes; };

    ASSERT_TRUE(drives.setDrive("C:\\Program Files"));
    EXPECT_EQ(drives.drive(), "c: [system]");
    ASSERT_TRUE(drives.setDrive("c:"));
    EXPECT_EQ(changes, 1);
    // An unreadable drive can be chosen; an unknown letter cannot.
    ASSERT_TRUE(drives.setDrive("D:"));
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(drives.setDrive("q:").ok());
    EXPECT_FALSE(drives.setDrive("").ok());
    EXPECT_EQ(drives.drive(), "d:");
    EXPECT_TRUE(drives.pick(0));
    EXPECT_EQ(drives.drive(), "a:");
    EXPECT_FALSE(drives.pick(4));
    EXPECT_EQ(changes, 3);
}

// The chooser's use of the two lists: a drive change opens that drive, and an unreadable one is
// reported to the handler, which returns both lists to the last good folder.
TEST_F(FolderListTest, DriveChangeHandlerRecoversFromAnUnreadableDrive) {
    ui::DriveListBox drives(&form, "drvDrives", {}, folders);
    ui::DirListBox dirs(&form, "dirDirs", {}, folders);
    std::string current = "C:\\Program Files";
    std::vector<std::string> errors;
    ASSERT_TRUE(dirs.setPath(current));
    dirs.onChange = [&] { current = dirs.path(); };
    drives.onChange = [&] {
        if (Status s = dirs.setPath(drives.drive().substr(0, 2)); !s) {
            errors.push_back(s.error().message);
            // Selecting the drive again opens its current folder first, which moves `current`.
            const std::string back = current;
            (void)drives.setDrive(back.substr(0, 2));
            (void)dirs.setPath(back);
        }
    };

    EXPECT_TRUE(drives.pick(2));  // d:, no medium
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(drives.drive(), "c: [system]");
    EXPECT_EQ(dirs.path(), "C:\\Program Files");

    EXPECT_TRUE(drives.pick(3));
    EXPECT_EQ(dirs.path(), "Z:\\home");
    EXPECT_EQ(current, "Z:\\home");
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(FolderListTest, FileListListsMatchingFilesOfTheFileSystemItIsGiven) {
    fs.addFile("C:\\Windows\\b.bmp");
    fs.addFile("C:\\Windows\\a.BMP");
    fs.addFile("C:\\Windows\\notes.txt");
    fs.addFolder("C:\\Windows\\Skins.bmp");  // a folder is never listed
    ui::FileListBox files(&form, "File1", {90, 210, 3795, 2430}, folders);
    files.setPattern("*.bmp");
    ASSERT_TRUE(files.setPath("c:\\windows"));
    EXPECT_EQ(files.entries(), (std::vector<std::string>{"a.BMP", "b.bmp"}));
    ASSERT_TRUE(files.click(1));
    files.setPattern("*.*");
    EXPECT_EQ(files.entries(), (std::vector<std::string>{"a.BMP", "b.bmp", "notes.txt"}));
    EXPECT_EQ(files.listIndex(), -1);
    EXPECT_FALSE(files.setPath("C:\\Missing"));
    EXPECT_TRUE(files.entries().empty());
}
} // namespace
} // namespace tess::testing

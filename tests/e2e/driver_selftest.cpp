// Proves the end-to-end driver against the fixture program: each case starts the fixture, works
// it only through the driver and checks what the fixture shows or leaves behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <optional>
#include <string>

#include "tests/e2e/driver/associations.h"
#include "tests/e2e/driver/common_dialogs.h"
#include "tests/e2e/driver/control_state.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/registry_files.h"
#include "tests/e2e/driver/screen_capture.h"
#include "tests/e2e/driver/test_results.h"
#include "tests/e2e/driver/window_search.h"

using namespace tess;
using namespace tess::e2e;
using namespace std::chrono_literals;

namespace {

constexpr char kFixtureTitle[] = "Tessary Driver Fixture";
constexpr char kFixtureClass[] = "TessDriverFixture";
constexpr char kFixtureKey[] = "Software\\Tessary Driver Fixture";

// Success, or a failure that carries the driver's message.
::testing::AssertionResult Ok(const Status& status) {
    if (status.ok())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << status.error().message;
}

// The value of a Result, or a test failure that names its error.
template <typename T>
T Must(Result<T> result) {
    if (!result.ok()) {
        ADD_FAILURE() << result.error().message;
        return T{};
    }
    return std::move(result).value();
}

// A file of the test data, named with backslashes as the dialogs want.
std::string DataPath(const std::string& relative) {
    std::string path = std::string(TESS_TEST_DATA_DIR) + "\\" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class Driver : public ::testing::Test {
protected:
    void SetUp() override { start({}); }

    // Starts the fixture in a folder of its own with a greeting in its environment and waits
    // for its window.
    void start(const std::vector<std::string>& arguments) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tess-e2e-" + name;
        CreateDirectoryA(folder_.c_str(), nullptr);
        greeting_ = "greetings to " + name;
        program_.reset();
        auto started =
            RunningProgram::Start({TESS_E2E_FIXTURE, arguments, folder_, {{"TESS_FIXTURE_GREETING", greeting_}}});
        ASSERT_TRUE(started.ok()) << started.error().message;
        program_.emplace(std::move(started).value());
        const auto window = FindTopWindow({kFixtureTitle, kFixtureClass, pid()});
        ASSERT_TRUE(window.ok()) << window.error().message;
        window_ = window.value();
    }

    DWORD pid() const { return program_->processId(); }
    HWND control(const std::string& name) { return Must(FindControl(window_, name)); }
    std::string text(const std::string& name) { return Must(Text(control(name))); }
    // Waits until a label shows `expected`, as a posted gesture takes effect a moment later.
    Status waitForText(const std::string& name, const std::string& expected) {
        HWND label = control(name);
        return WaitUntil(
            [&] {
                const auto shown = Text(label);
                return shown.ok() && shown.value() == expected;
            },
            name + " to show \"" + expected + "\"");
    }

    std::string folder_, greeting_;
    std::optional<RunningProgram> program_;
    HWND window_ = nullptr;
};

} // namespace

TEST_F(Driver, StartsInTheFolderAndEnvironmentGivenAndReportsTheExitCode) {
    EXPECT_EQ(Must(ReadRegistryString(HKEY_CURRENT_USER, kFixtureKey, "Greeting")), greeting_);
    const auto started = Must(ReadFileBytes(folder_ + "\\fixture-started.txt"));
    EXPECT_EQ(std::string(started.begin(), started.end()), folder_);
    EXPECT_TRUE(program_->running());

    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&File", "E&xit"})));
    EXPECT_EQ(Must(program_->waitForExit()), 5u);
    EXPECT_FALSE(program_->running());
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(Driver, TerminatesAProgramAndTimesOutWaitingForOneThatRuns) {
    const auto early = program_->waitForExit(200ms);
    ASSERT_FALSE(early.ok());
    EXPECT_NE(early.error().message.find("did not end"), std::string::npos);
    EXPECT_EQ(early.error().code, ErrorCode::TimedOut);
    EXPECT_EQ(WaitForWindowGone(window_, 100ms).error().code, ErrorCode::TimedOut);
    ASSERT_TRUE(Ok(program_->terminate(42)));
    EXPECT_FALSE(program_->running());
    EXPECT_EQ(Must(program_->waitForExit(0ms)), 42u);
    EXPECT_TRUE(Ok(WaitForWindowGone(window_)));
}

TEST_F(Driver, FindsWindowsAndControlsByNameTagAndByCaption) {
    // The wrong class, the wrong process or a title that is only a prefix find nothing.
    EXPECT_FALSE(FindTopWindow({kFixtureTitle, "Edit", pid()}, 100ms).ok());
    EXPECT_FALSE(FindTopWindow({kFixtureTitle, kFixtureClass, pid() + 4}, 100ms).ok());
    EXPECT_FALSE(FindTopWindow({"Tessary Driver", kFixtureClass, 0}, 100ms).ok());
    EXPECT_EQ(Must(FindTopWindow({kFixtureTitle, "", 0}, 0ms)), window_);

    HWND single = control("Option1(1)");
    EXPECT_EQ(ClassName(single), "Button");
    EXPECT_EQ(Caption(single), "&Single");
    EXPECT_EQ(ControlName(single), "Option1(1)");
    EXPECT_NE(single, control("Option1(0)"));
    EXPECT_EQ(Must(FindControl(window_, "Button", "&Count")), control("cmdCount"));
    EXPECT_EQ(ClassName(control("SclValue")), "ScrollBar");
    EXPECT_EQ(ControlName(window_), "");

    const auto missing = FindControl(window_, "Option1(2)", 100ms);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
    EXPECT_FALSE(FindControl(window_, "Button", "Count", 0ms).ok());
}

TEST_F(Driver, ReadsTextsChecksScrollPositionsAndStates) {
    EXPECT_EQ(text("txtName"), "hello");
    EXPECT_EQ(text("cmdColour"), "Co&lour");
    EXPECT_EQ(Must(CheckState(control("Check1"))), BST_CHECKED);
    EXPECT_EQ(Must(CheckState(control("Option1(0)"))), BST_CHECKED);
    EXPECT_EQ(Must(CheckState(control("Option1(1)"))), BST_UNCHECKED);
    const ScrollState bar = Must(ScrollStateOf(control("SclValue")));
    EXPECT_EQ(bar.minimum, -100);
    EXPECT_EQ(bar.maximum, 100);
    EXPECT_EQ(bar.position, 0);
    EXPECT_FALSE(IsEnabled(control("cmdOff")));
    EXPECT_TRUE(IsEnabled(control("cmdCount")));
    EXPECT_FALSE(IsVisible(control("lblHidden")));
    EXPECT_TRUE(IsVisible(control("lblCount")));
}

TEST_F(Driver, PicksMenuItemsByTheirKeys) {
    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&Help", "&About"})));
    const HWND about = Must(FindMessageBox(pid(), "About fixture"));
    ASSERT_TRUE(Ok(PressMessageButton(about, IDOK)));
    // The window an item opens is given back; an item that opens none, its window still taking
    // input, is picked again and then reported.
    const WindowQuery aboutBox{"About fixture", kDialogClass, pid(), true};
    const auto opened = PickMenuItemForWindow(window_, {"&Help", "&About"}, aboutBox);
    ASSERT_TRUE(opened.ok()) << opened.error().message;
    ASSERT_TRUE(Ok(PressMessageButton(opened.value(), IDOK)));
    const auto none = PickMenuItemForWindow(window_, {"&File", "&Disabled"}, aboutBox, 1000ms);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error().code, ErrorCode::TimedOut);

    // Keys that pick nothing are errors, and leave the menu closed for what follows.
    EXPECT_FALSE(PickMenuItem(window_, {"&File", "&Nothing"}).ok());
    EXPECT_FALSE(PickMenuItem(window_, {"&Quit", "&About"}).ok());
    EXPECT_FALSE(PickMenuItem(window_, {"File", "Exit"}).ok());
    // A disabled item does not run; a click queued after the pick shows the pick has been handled.
    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&File", "&Disabled"})));
    ASSERT_TRUE(Ok(Click(control("cmdCount"))));
    EXPECT_TRUE(Ok(waitForText("lblCount", "Count 1")));
    EXPECT_EQ(text("lblAnswer"), "");

    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&File", "&Colour...\tCtrl+K"})));
    ASSERT_TRUE(Ok(CancelDialog(pid(), kColorDialogTitle)));
    EXPECT_TRUE(Ok(waitForText("lblColour", "cancelled")));
}

TEST_F(Driver, ClicksButtonsAndTypesText) {
    ASSERT_TRUE(Ok(ClickAndWait(control("cmdCount"))));
    ASSERT_TRUE(Ok(ClickAndWait(control("cmdCount"))));
    // A sent click has been handled when the call returns.
    EXPECT_EQ(text("lblCount"), "Count 2");

    ASSERT_TRUE(Ok(Click(control("Check1"))));
    HWND lock = control("Check1");
    EXPECT_TRUE(Ok(WaitUntil([&] { return Must(CheckState(lock)) == BST_UNCHECKED; }, "Lock to clear")));
    ASSERT_TRUE(Ok(Click(control("Option1(1)"))));
    HWND tile = control("Option1(0)");
    EXPECT_TRUE(Ok(WaitUntil([&] { return Must(CheckState(tile)) == BST_UNCHECKED; }, "Tile to clear")));
    EXPECT_EQ(Must(CheckState(control("Option1(1)"))), BST_CHECKED);

    ASSERT_TRUE(Ok(SetText(control("txtName"), "typed by the driver")));
    EXPECT_EQ(text("txtName"), "typed by the driver");
    EXPECT_FALSE(Click(nullptr).ok());
}

TEST_F(Driver, SendsScrollBarGesturesToTheParent) {
    HWND bar = control("SclValue");
    ASSERT_TRUE(Ok(Scroll(bar, SB_LINEDOWN)));
    EXPECT_EQ(text("lblScroll"), "pos 1 track 0 ends 0");
    ASSERT_TRUE(Ok(Scroll(bar, SB_PAGEUP)));
    EXPECT_EQ(text("lblScroll"), "pos -4 track 0 ends 0");
    EXPECT_EQ(Must(ScrollStateOf(bar)).position, -4);

    // A negative thumb position survives its trip through 16 bits.
    ASSERT_TRUE(Ok(TrackThumb(bar, -35)));
    EXPECT_EQ(text("lblScroll"), "pos -4 track -35 ends 0");
    ASSERT_TRUE(Ok(DragThumb(bar, 77)));
    EXPECT_EQ(text("lblScroll"), "pos 77 track 77 ends 1");
    EXPECT_EQ(Must(ScrollStateOf(bar)).position, 77);
    ASSERT_TRUE(Ok(Scroll(bar, SB_BOTTOM)));
    ASSERT_TRUE(Ok(Scroll(bar, SB_ENDSCROLL)));
    EXPECT_EQ(text("lblScroll"), "pos 100 track 77 ends 2");
}

TEST_F(Driver, AnswersMessageBoxesAndReadsThem) {
    for (const auto& [button, shown] : {std::pair{IDNO, "No"}, std::pair{IDYES, "Yes"}}) {
        ASSERT_TRUE(Ok(Click(control("cmdAsk"))));
        const HWND box = Must(FindMessageBox(pid(), "Fixture question"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Must(MessageText(box)), "Shall we go on?");
        EXPECT_EQ(MessageButtons(box), (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(MessageIconOf(box), MessageIcon::Question);
        // A button the box does not have is refused and the box stays.
        EXPECT_FALSE(PressMessageButton(box, IDOK).ok());
        EXPECT_TRUE(IsWindow(box));
        ASSERT_TRUE(Ok(PressMessageButton(box, button)));
        EXPECT_FALSE(IsWindow(box));
        EXPECT_TRUE(Ok(waitForText("lblAnswer", shown)));
    }

    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&Help", "&About"})));
    const HWND about = Must(FindMessageBox(pid(), "About fixture"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Must(MessageText(about)), "Driver fixture 1.0");
    EXPECT_EQ(MessageButtons(about), std::vector<int>{IDOK});
    EXPECT_EQ(MessageIconOf(about), MessageIcon::Information);
    EXPECT_TRUE(Ok(PressMessageButton(about, IDOK)));
    EXPECT_FALSE(FindMessageBox(pid(), "About fixture", 0ms).ok());
}

TEST_F(Driver, AnswersAndCancelsTheOpenDialog) {
    const std::string picture = DataPath("pictures\\gif-transparent.gif");
    ASSERT_TRUE(FileExists(picture));
    ASSERT_TRUE(Ok(Click(control("cmdOpen"))));
    ASSERT_TRUE(Ok(AnswerOpenDialog(pid(), picture)));
    EXPECT_TRUE(Ok(waitForText("txtFile", picture)));

    // A refused name is an error carrying the dialog's complaint; the dialog stays open.
    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&File", "&Open..."})));
    const auto refused = AnswerOpenDialog(pid(), "C:/windows/win.ini");
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().message.find("Invalid character"), std::string::npos) << refused.error().message;
    ASSERT_TRUE(Ok(CancelDialog(pid(), kOpenDialogTitle)));
    EXPECT_TRUE(Ok(waitForText("txtFile", "(cancelled)")));
}

TEST_F(Driver, AnswersAndCancelsTheColourDialog) {
    ASSERT_TRUE(Ok(Click(control("cmdColour"))));
    ASSERT_TRUE(Ok(AnswerColorDialog(pid(), Rgb{18, 52, 86})));
    EXPECT_TRUE(Ok(waitForText("lblColour", "123456")));

    // Opened a second time the dialog starts with its custom part closed again.
    ASSERT_TRUE(Ok(PickMenuItem(window_, {"&File", "&Colour..."})));
    ASSERT_TRUE(Ok(AnswerColorDialog(pid(), Rgb{255, 0, 7})));
    EXPECT_TRUE(Ok(waitForText("lblColour", "FF0007")));

    ASSERT_TRUE(Ok(Click(control("cmdColour"))));
    ASSERT_TRUE(Ok(CancelDialog(pid(), kColorDialogTitle)));
    EXPECT_TRUE(Ok(waitForText("lblColour", "cancelled")));
}

TEST_F(Driver, PressesEscapeInTheFocusedWindow) {
    ASSERT_TRUE(Ok(ClickAndWait(control("cmdCount"))));
    ASSERT_TRUE(Ok(PressKey(window_, VK_ESCAPE)));
    EXPECT_EQ(Must(program_->waitForExit()), 27u);
}

TEST_F(Driver, CapturesTheClientAreaFromTheScreen) {
    const Capture area = Must(CaptureClient(control("picArea")));
    ASSERT_EQ(area.width, 200);
    ASSERT_EQ(area.height, 40);
    EXPECT_EQ(area.at(0, 0), (Rgb{200, 30, 40}));
    EXPECT_EQ(area.at(99, 39), (Rgb{200, 30, 40}));
    EXPECT_EQ(area.at(100, 0), (Rgb{20, 60, 220}));
    EXPECT_EQ(area.at(199, 39), (Rgb{20, 60, 220}));

    // The whole client area holds the painted strip 10 pixels in from its corner.
    const Capture window = Must(CaptureClient(window_));
    ASSERT_GE(window.width, 210);
    EXPECT_EQ(window.at(10, 10), (Rgb{200, 30, 40}));
    EXPECT_NE(window.at(9, 9), (Rgb{200, 30, 40}));
}

TEST(DriverRegistryAndFiles, WritesReadsAndDeletesStringValues) {
    const std::string key = "Software\\Tessary Driver Selftest";
    ASSERT_TRUE(Ok(WriteRegistryString(HKEY_CURRENT_USER, key, "Path", "C:\\some where\\Skin.bmp")));
    EXPECT_EQ(Must(ReadRegistryString(HKEY_CURRENT_USER, key, "Path")), "C:\\some where\\Skin.bmp");
    ASSERT_TRUE(Ok(WriteRegistryString(HKEY_CURRENT_USER, key, "Path", "")));
    EXPECT_EQ(Must(ReadRegistryString(HKEY_CURRENT_USER, key, "Path")), "");
    ASSERT_TRUE(Ok(DeleteRegistryValue(HKEY_CURRENT_USER, key, "Path")));
    const auto gone = ReadRegistryString(HKEY_CURRENT_USER, key, "Path");
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key + "\\Missing", "Path").error().code, ErrorCode::FileNotFound);
    EXPECT_TRUE(Ok(DeleteRegistryValue(HKEY_CURRENT_USER, key + "\\Missing", "Path")));

    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExA(raw, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(raw);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "Number").error().code, ErrorCode::InvalidArgument);

    const std::string gif = DataPath("pictures\\gif-transparent.gif");
    const auto bytes = Must(ReadFileBytes(gif));
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_FALSE(FileExists(DataPath("pictures")));
    EXPECT_EQ(ReadFileBytes(gif + ".missing").error().code, ErrorCode::FileNotFound);
}

TEST_F(Driver, PassesArgumentsAsTheProgramSplitsThem) {
    // Spaces, quotes, backslashes before a quote and at the end, an empty argument.
    const std::vector<std::string> arguments = {"plain", "two words", "say \"hi\"", "a\\\\\"b c",
                                                "ends in\\", "", "C:\\Program Files\\x"};
    start(arguments);
    std::string joined;
    for (size_t i = 0; i < arguments.size(); ++i)
        joined += (i ? "|" : "") + arguments[i];
    EXPECT_EQ(Must(ReadRegistryString(HKEY_CURRENT_USER, kFixtureKey, "Arguments")), joined);
    EXPECT_EQ(QuoteArgument("plain"), "plain");
    EXPECT_FALSE(RunningProgram::Start({"C:\\no\\such\\program.exe", {}, "", {}}).ok());
}

namespace {

// The fake opener copied into a folder of its own (with a space in its name, as an installed
// program's folder has), so that its log holds only this test's opens.
class ShellAssociations : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = std::string(temp) + "tess e2e " + name;
        CreateDirectoryA(folder_.c_str(), nullptr);
        opener_ = folder_ + "\\fake opener.exe";
        log_ = folder_ + "\\opened.log";
        ASSERT_TRUE(CopyFileA(TESS_E2E_FAKE_OPENER, opener_.c_str(), FALSE)) << GetLastError();
        DeleteFileA(log_.c_str());
    }

    std::string write(const std::string& fileName, const std::string& content) {
        const std::string path = folder_ + "\\" + fileName;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr) << path;
        if (file) {
            std::fputs(content.c_str(), file);
            std::fclose(file);
        }
        return path;
    }

    std::string command() const { return "\"" + opener_ + "\" \"%1\""; }

    // The fake opener's log once it holds `lines` lines.
    std::string waitForLog(size_t lines) { return MUST(WaitForLines(log_, lines, "the fake opener's log")); }

    static int Code(HINSTANCE result) { return static_cast<int>(reinterpret_cast<INT_PTR>(result)); }

    // Whether a copy of the opener runs: each open starts one, which writes its line and ends.
    static bool OpenerRuns() {
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return true;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        bool found = false;
        for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
            found = lstrcmpiA(entry.szExeFile, "fake opener.exe") == 0;
        CloseHandle(snapshot);
        return found;
    }

    std::string folder_, opener_, log_;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

TEST_F(ShellAssociations, AnAssociatedPageIsFoundAndOpenedWithTheRegisteredProgram) {
    const std::string page = write("Test.htm", "<HTML> <\\HTML>\r\n");
    ASSERT_TRUE(Ok(AssociateExtension(".htm", "TessTestPage", command())));

    char found[MAX_PATH + 1] = {};
    const int code = Code(FindExecutableA(page.c_str(), nullptr, found));
    EXPECT_GT(code, 32);
    EXPECT_EQ(lstrcmpiA(found, opener_.c_str()), 0) << found;

    // The "Open" verb on the page runs the program with the page on its command line.
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
    std::string log = waitForLog(1);
    EXPECT_TRUE(Contains(log, "\"" + page + "\"")) << log;

    // The program found for pages, opened with an address as its parameters, gets the address.
    EXPECT_GT(Code(ShellExecuteA(nullptr, "Open", found, "http://example.invalid/guest?a=1", nullptr,
                                 SW_SHOWNORMAL)),
              32);
    log = waitForLog(2);
    EXPECT_TRUE(Contains(log.substr(log.find('\n')), "http://example.invalid/guest?a=1")) << log;
}

TEST_F(ShellAssociations, ABitmapOpensInItsFolderAndFailsOnceTheAssociationIsRemoved) {
    const std::string bitmap = write("Skin0001.bmp", "BM");
    ASSERT_TRUE(Ok(AssociateExtension(".bmp", "TessTestPicture", command())));
    EXPECT_GT(Code(ShellExecuteA(nullptr, "Open", bitmap.c_str(), nullptr, (folder_ + "\\").c_str(),
                                 SW_SHOWNORMAL)),
              32);
    EXPECT_TRUE(Contains(waitForLog(1), "\"" + bitmap + "\""));

    ASSERT_TRUE(Ok(RemoveAssociation(".bmp")));
    EXPECT_FALSE(ReadRegistryString(HKEY_CLASSES_ROOT, ".bmp", "").ok());
    EXPECT_TRUE(Ok(RemoveAssociation(".bmp")));  // nothing left to remove is no failure
    const int opened = Code(ShellExecuteA(nullptr, "Open", bitmap.c_str(), nullptr, folder_.c_str(), SW_SHOWNORMAL));
    EXPECT_EQ(opened, SE_ERR_NOASSOC);
    char found[MAX_PATH + 1] = "untouched";
    EXPECT_EQ(Code(FindExecutableA(bitmap.c_str(), nullptr, found)), SE_ERR_NOASSOC);
    EXPECT_STREQ(found, "");
    // Nothing more was started: once no copy of the opener runs, the log holds every open.
    EXPECT_TRUE(Ok(WaitUntil([] { return !OpenerRuns(); }, "the opener to end")));
    EXPECT_EQ(waitForLog(1).find('\n'), waitForLog(1).rfind('\n'));

    // Names that are not extensions never reach the registry.
    EXPECT_EQ(RemoveAssociation("").error().code, ErrorCode::InvalidArgument);
    EXPECT_EQ(RemoveAssociation("bmp").error().code, ErrorCode::InvalidArgument);
    EXPECT_EQ(AssociateExtension(".bmp", "", command()).error().code, ErrorCode::InvalidArgument);
}


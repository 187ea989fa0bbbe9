// The control model's own rules, without a window: change handlers, option groups, the scroll
// bar's gestures, the input rule of containers, and what the binding is told of each property.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/memory_file_system.h"
#include "tests/support/test_pictures.h"
#include "ui/controls.h"
#include "ui/file_system_folders.h"

namespace tess::testing {
namespace {

using ui::Property;

// Counts what the model reports to its binding.
struct CountingPeer : ui::ControlPeer {
    std::map<Property, int> seen;
    void propertyChanged(Property what) override { ++seen[what]; }
    int total() const {
        int n = 0;
        for (const auto& [what, count] : seen) n += count;
        return n;
    }
};

// A shown form with every kind of control that takes input inside one frame.
class ControlModelTest : public ::testing::Test {
protected:
    ControlModelTest() {
        form.setVisible(true);
        button.setDefault(true);
        EXPECT_TRUE(files.setPath("C:\\Skins").ok());
    }

    static MemoryFileSystem Drives() {
        MemoryFileSystem fs;
        fs.addDrive('c', "system");
        fs.addDrive('e', "");
        fs.addFolder("C:\\Windows");
        for (const char* file : {"C:\\Skins\\a.bmp", "C:\\Skins\\b.bmp"}) fs.addFile(file);
        return fs;
    }

    MemoryFileSystem fs = Drives();
    ui::FileSystemFolders folders{fs, fs};
    ui::Form form{"frmModel", {0, 0, 6000, 4000}, "Model", ui::Form::Border::FixedSingle};
    ui::Frame frame{&form, "Frame1", {0, 0, 5000, 3000}, "Frame"};
    ui::Label label{&frame, "Label1", {0, 0, 900, 300}, "Label"};
    ui::CommandButton button{&frame, "Command1", {}, "OK"};
    ui::TextBox text{&frame, "Text1", {}, "old"};
    ui::CheckBox check{&frame, "Check1", {}, "Check"};
    ui::OptionButton optA{&frame, "Option1", {}, "A", 0};
    ui::OptionButton optB{&frame, "Option1", {}, "B", 1};
    ui::VScrollBar bar{&frame, "VScroll1", {}, 0, 100, 1, 10, 50};
    ui::ImageBox image{&frame, "Image1", {}, true};
    ui::FileListBox files{&frame, "File1", {}, folders};
    ui::DriveListBox drives{&frame, "Drive1", {}, folders};
    ui::DirListBox dirs{&frame, "Dir1", {}, folders};
};

// One control with a value: how to read it, what the binding is told, its change handler, and
// the same value, a new one by code and another by the user's gesture.
struct ValueCase {
    const char* name;
    ui::Control& control;
    std::function<std::string()> value;
    Property shown;
    std::function<void()>& handler;
    std::function<void()> setSame, setByCode, setByUser;
    std::string afterCode, afterUser;
};

TEST_F(ControlModelTest, ChangeHandlersRunOnceAtTheEndOfTheSetterOnlyOnARealChange) {
    const auto number = [](int v) { return std::to_string(v); };
    std::vector<ValueCase> cases = {
        {"text box", text, [&] { return text.text(); }, Property::Text, text.onChange,
         [&] { text.setText("old"); }, [&] { text.setText("new"); }, [&] { text.type("typed"); },
         "new", "typed"},
        {"check box", check, [&] { return number(check.value()); }, Property::Value, check.onClick,
         [&] { check.setValue(0); }, [&] { check.setValue(1); }, [&] { check.press(); }, "1", "0"},
        // The user can only set a button, so it is cleared first (which runs no handler).
        {"option button", optB, [&] { return number(optB.value()); }, Property::Value,
         optB.onClick, [&] { optB.setValue(false); }, [&] { optB.setValue(true); },
         [&] {
             optB.setValue(false);
             optB.press();
         },
         "1", "1"},
        {"scroll bar, clamped", bar, [&] { return number(bar.value()); }, Property::Value,
         bar.onChange, [&] { bar.setValue(50); }, [&] { bar.setValue(500); },
         [&] { bar.lineBy(-1); }, "100", "99"},
        {"file list", files, [&] { return number(files.listIndex()); }, Property::Value,
         files.onClick, [&] { files.setListIndex(-1); }, [&] { files.setListIndex(1); },
         [&] { files.click(0); }, "1", "0"},
        {"drive list", drives, [&] { return drives.drive(); }, Property::Value, drives.onChange,
         [&] { (void)drives.setDrive("C:\\Windows"); }, [&] { (void)drives.setDrive("e:"); },
         [&] { drives.pick(0); }, "e:", "c: [system]"},
    };
    for (ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        CountingPeer peer;
        c.control.setPeer(&peer);
        // What the handler found each time it ran: the control's value, and how often the
        // binding had been told by then.
        std::vector<std::string> seen;
        std::vector<int> told;
        c.handler = [&] {
            seen.push_back(c.value());
            told.push_back(peer.seen[c.shown]);
        };

        c.setSame();
        EXPECT_TRUE(seen.empty());
        EXPECT_EQ(peer.total(), 0);

        c.setByCode();
        c.setByCode();
        EXPECT_EQ(seen, std::vector<std::string>{c.afterCode});
        EXPECT_EQ(told, std::vector<int>{1});
        EXPECT_EQ(peer.total(), 1);

        c.setByUser();
        EXPECT_EQ(seen.size(), 2u);
        if (seen.size() == 2) {
            EXPECT_EQ(seen[1], c.afterUser);
            EXPECT_EQ(told[1], peer.seen[c.shown]) << "the binding was told after the handler ran";
        }
        c.control.setPeer(nullptr);
        c.handler = nullptr;
    }
}

TEST_F(ControlModelTest, OptionButtonsClearTheOthersOfTheirContainerBeforeTheHandler) {
    ui::OptionButton elsewhere(&form, "Option2", {}, "C");
    elsewhere.setValue(true);
    optA.setValue(true);
    CountingPeer peerA;
    optA.setPeer(&peerA);
    int clicksA = 0;
    optA.onClick = [&] { ++clicksA; };
    std::vector<bool> seen;  // A, B and the other group's button as B's handler found them
    optB.onClick = [&] { seen = {optA.value(), optB.value(), elsewhere.value()}; };

    EXPECT_TRUE(optB.press());
    EXPECT_EQ(seen, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(peerA.seen[Property::Value], 1);
    EXPECT_EQ(clicksA, 0) << "a cleared button runs no handler";

    // Setting False only clears; pressing a set button changes nothing.
    seen.clear();
    optB.setValue(false);
    EXPECT_FALSE(optA.value() || optB.value());
    EXPECT_TRUE(seen.empty());
    optA.setValue(true);
    EXPECT_TRUE(optA.press());
    EXPECT_EQ(clicksA, 1);
    optA.setPeer(nullptr);
}

TEST_F(ControlModelTest, ScrollBarGesturesClampAndFireTheirEvent) {
    int changes = 0, scrolls = 0, seenValue = -1;
    bar.onChange = [&] { ++changes, seenValue = bar.value(); };
    bar.onScroll = [&] { ++scrolls, seenValue = bar.value(); };
    struct Step {
        const char* gesture;
        std::function<bool()> act;
        bool accepted;
        int value, changes, scrolls;
    };
    const std::vector<Step> steps = {
        {"arrow down", [&] { return bar.lineBy(+1); }, true, 51, 1, 0},
        {"page up", [&] { return bar.pageBy(-1); }, true, 41, 2, 0},
        {"drag", [&] { return bar.dragTo(60); }, true, 60, 2, 1},
        {"drag past the end", [&] { return bar.dragTo(130); }, true, 100, 2, 2},
        {"release", [&] { return bar.release(); }, true, 100, 3, 2},
        {"release without a drag", [&] { return bar.release(); }, false, 100, 3, 2},
        {"arrow down at the end", [&] { return bar.lineBy(+1); }, true, 100, 3, 2},
        {"drag away and back, release",
         [&] { return bar.dragTo(20) && bar.dragTo(100) && bar.release(); }, true, 100, 3, 4},
        {"code past the start",
         [&] {
             bar.setValue(-20);
             return true;
         },
         true, 0, 4, 4},
        {"page up at the start", [&] { return bar.pageBy(-1); }, true, 0, 4, 4},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.gesture);
        EXPECT_EQ(s.act(), s.accepted);
        EXPECT_EQ(bar.value(), s.value);
        EXPECT_EQ(changes, s.changes);
        EXPECT_EQ(scrolls, s.scrolls);
        EXPECT_EQ(seenValue, s.value) << "an event ran before the value was set";
    }

    // A range given upside down (the minimum below) clamps the same way.
    ui::VScrollBar reversed(&frame, "VScroll2", {}, 10, 0, 1, 5, 5);
    reversed.setValue(20);
    EXPECT_EQ(reversed.value(), 10);
    reversed.setValue(-5);
    EXPECT_EQ(reversed.value(), 0);
}

TEST_F(ControlModelTest, ADisabledOrHiddenContainerKeepsItsChildrenFromInput) {
    int handled = 0;
    const auto count = [&] { ++handled; };
    text.onChange = check.onClick = optB.onClick = bar.onChange = bar.onScroll = count;
    files.onClick = files.onDblClick = drives.onChange = dirs.onChange = count;
    label.onClick = button.onClick = image.onClick = count;
    label.onMouseDown = [&](int, int, double, double) { ++handled; };
    const std::vector<std::pair<const char*, std::function<bool()>>> gestures = {
        {"label click", [&] { return label.click(); }},
        {"label press", [&] { return label.mouseDown(ui::kLeftButton, 0, 1, 1); }},
        {"button", [&] { return button.press(); }},
        {"Enter", [&] { return form.pressKey(ui::Form::Key::Enter); }},
        {"typing", [&] { return text.type("typed"); }},
        {"check box", [&] { return check.press(); }},
        {"option button", [&] { return optB.press(); }},
        {"arrow", [&] { return bar.lineBy(+1); }},
        {"page", [&] { return bar.pageBy(+1); }},
        {"drag", [&] { return bar.dragTo(90); }},
        {"image", [&] { return image.press(); }},
        {"file click", [&] { return files.click(1); }},
        {"file double click", [&] { return files.doubleClick(0); }},
        {"drive pick", [&] { return drives.pick(1); }},
        {"folder open", [&] { return dirs.open(1).ok(); }},
    };
    const std::vector<std::pair<const char*, std::function<void(bool)>>> blockers = {
        {"frame disabled", [&](bool on) { frame.setEnabled(!on); }},
        {"frame hidden", [&](bool on) { frame.setVisible(!on); }},
        {"form disabled", [&](bool on) { form.setEnabled(!on); }},
    };
    for (const auto& [blocker, block] : blockers) {
        block(true);
        for (const auto& [gesture, act] : gestures) EXPECT_FALSE(act()) << gesture << ", " << blocker;
        block(false);
    }
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(text.text(), "old");
    EXPECT_EQ(bar.value(), 50);
    EXPECT_EQ(files.listIndex(), -1);

    // Code still sets values inside a disabled container, and input reaches them once it is
    // enabled again.
    frame.setEnabled(false);
    text.setText("by code");
    EXPECT_EQ(handled, 1);
    frame.setEnabled(true);
    for (const auto& [gesture, act] : gestures) EXPECT_TRUE(act()) << gesture;
    EXPECT_EQ(text.text(), "typed");
    EXPECT_GT(handled, 10);
}

TEST_F(ControlModelTest, EveryPropertyTellsTheBindingOnceAndOnlyOnARealChange) {
    ui::PictureBox box(&form, "Picture1", {0, 0, 600, 600}, MakeColorRef(255, 255, 255));
    ui::MenuItem menu("mnuFile", "&File");
    const auto picture = std::make_shared<const Picture>(SolidPicture(2, 2, {1, 2, 3, 255}));
    struct PropertyCase {
        const char* name;
        std::function<void(ui::ControlPeer*)> attach;
        Property what;
        std::function<void()> change;
    };
    const auto peerOf = [](auto& control) {
        return [&control](ui::ControlPeer* p) { control.setPeer(p); };
    };
    const std::vector<PropertyCase> cases = {
        {"position", peerOf(text), Property::Rect, [&] { text.setLeft(120); }},
        {"enabled", peerOf(check), Property::Enabled, [&] { check.setEnabled(false); }},
        {"visible", peerOf(bar), Property::Visible, [&] { bar.setVisible(false); }},
        {"label caption", peerOf(label), Property::Caption, [&] { label.setCaption("New"); }},
        {"label alignment", peerOf(label), Property::Alignment,
         [&] { label.setAlign(ui::Label::Align::Right); }},
        {"label font", peerOf(label), Property::Font, [&] { label.setFont({"Arial", 12, true}); }},
        {"label word wrap", peerOf(label), Property::WordWrap, [&] { label.setWordWrap(true); }},
        {"label colour", peerOf(label), Property::ForeColor,
         [&] { label.setForeColor(MakeColorRef(0, 0, 255)); }},
        {"label back style", peerOf(label), Property::BackStyle,
         [&] { label.setBackStyle(ui::Label::BackStyle::Transparent); }},
        {"frame caption", peerOf(frame), Property::Caption, [&] { frame.setCaption("Other"); }},
        {"button caption", peerOf(button), Property::Caption, [&] { button.setCaption("Go"); }},
        {"button default", peerOf(button), Property::Default, [&] { button.setDefault(false); }},
        {"text box locked", peerOf(text), Property::Locked, [&] { text.setLocked(true); }},
        {"form caption", peerOf(form), Property::Caption, [&] { form.setCaption("Other"); }},
        {"form topmost", peerOf(form), Property::TopMost, [&] { form.setTopMost(true); }},
        {"form colour", peerOf(form), Property::BackColor,
         [&] { form.setBackColor(MakeColorRef(9, 9, 9)); }},
        {"form picture", peerOf(form), Property::Picture, [&] { form.setPicture(picture); }},
        {"picture box picture", peerOf(box), Property::Picture,
         [&] { box.setPicture(picture, 15); }},
        {"picture box border", peerOf(box), Property::Border, [&] { box.setBorder(true); }},
        {"image box picture", peerOf(image), Property::Picture,
         [&] { image.setPicture(picture, 15); }},
        {"image box border", peerOf(image), Property::Border, [&] { image.setBorder(true); }},
        {"menu enabled", peerOf(menu), Property::Enabled, [&] { menu.setEnabled(false); }},
    };
    for (const PropertyCase& c : cases) {
        SCOPED_TRACE(c.name);
        CountingPeer peer;
        c.attach(&peer);
        c.change();
        EXPECT_EQ(peer.seen[c.what], 1);
        EXPECT_EQ(peer.total(), 1);
        c.change();
        EXPECT_EQ(peer.total(), 1);
        c.attach(nullptr);
    }

    // A picture box's colour fills it each time it is set, which is a change of its image;
    // the colour itself is reported only when it changes, and a refused colour changes nothing.
    box.setSurface(Surface(4, 4, 15));
    CountingPeer peer;
    box.setPeer(&peer);
    const ColorRef red = MakeColorRef(255, 0, 0);
    EXPECT_TRUE(box.setBackColor(red).ok());
    box.surface().drawPicture(*picture, 0, 0, 60, 60);
    ASSERT_EQ(box.surface().pixelAt(0, 0), ToRgb(MakeColorRef(1, 2, 3)));
    EXPECT_TRUE(box.setBackColor(red).ok());
    EXPECT_EQ(box.surface().pixelAt(0, 0), ToRgb(red));
    EXPECT_FALSE(box.setBackColor(-1).ok());
    EXPECT_EQ(box.backColor(), red);
    EXPECT_EQ(peer.seen[Property::BackColor], 1);
    EXPECT_EQ(peer.seen[Property::Image], 2);
    EXPECT_EQ(peer.total(), 3);
    box.setPeer(nullptr);
}

} // namespace
} // namespace tess::testing

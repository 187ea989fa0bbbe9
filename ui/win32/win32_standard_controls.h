// Views of the controls the system's own window classes draw: labels (STATIC), buttons, check
// boxes and option buttons (BUTTON), text boxes (EDIT), file lists (LISTBOX) and scroll bars.
#pragma once

#include <string>
#include <vector>

#include "ui/win32/win32_control_view.h"

namespace tess::ui::win32 {

// A label: the window's font or one of its own, made for the screen's DPI; a caption that
// does not wrap stays on its line whatever the alignment; a caption colour of its own; a
// transparent label shows its container's artwork behind the caption. Presses and moves of the
// mouse go to the model, with the mouse captured while a button is down. The STATIC window is
// subclassed for this, and still sees every message the view does not keep from it.
class LabelView : public ViewOf<Label>, public WindowBase {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;
    // Draws the caption alone with its top left at `at` in `dc`, for a transparent label above
    // this one, whose backdrop shows this caption through it.
    void paintCaptionAt(HDC dc, POINT at);

private:
    void show(Property what) override;
    void showDpi() override { showFont(); }
    void showFont();
    void drawCaption(HDC dc, RECT box);
    // The STATIC class wraps centred and right-aligned text and knows neither colours nor
    // transparency; such labels are painted here instead.
    bool paintsItself() const;
    void paint(HDC dc);
    bool paints() const override { return paintsItself(); }
    void onPaint(HDC dc) override { paint(dc); }
    bool onEraseBackground(HDC) override { return paintsItself(); }
    bool onButtonDown(int button, int shift, POINT at) override;
    bool onMouseMoved(int buttons, int shift, POINT at) override;
    void onButtonUp(int buttons) override;
    platform::win32::UniqueFont ownFont_;
};

class ButtonView : public ViewOf<CommandButton> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
};

class TextBoxView : public ViewOf<TextBox> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showText();
};

// A check box the binding checks itself (BS_CHECKBOX): a click asks the model, and the box
// shows whatever value the model then holds.
class CheckBoxView : public ViewOf<CheckBox> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showValue();
};

// One option button (BS_RADIOBUTTON). `startsGroup` marks the first of a run of option
// buttons in one container; the set one of a group is its tab stop.
class OptionButtonView : public ViewOf<OptionButton> {
public:
    OptionButtonView(const BindingContext& c, ContainerWindow& p, OptionButton& model, int id,
                     bool startsGroup)
        : ViewOf(c, p, model, id), startsGroup_(startsGroup) {}
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showValue();
    bool startsGroup_;
};

// A file list: the model's entries in the model's order and its selection. The user's clicks
// go to the model, which may refuse them; the list then shows the model's selection again.
class FileListView : public ViewOf<FileListBox> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showEntriesAndSelection();
    std::vector<std::string> shown_;
};

// A folder list (LISTBOX): the root, the folders down to the open one and its subfolders,
// indented by depth. A double click opens a row; the list shows the model's rows again after.
class DirListView : public ViewOf<DirListBox> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showRows();
};

// A drive list: a drop-down COMBOBOX of the model's entries with its selection.
class DriveListView : public ViewOf<DriveListBox> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void notified(int code) override;

private:
    // The window's height includes the dropped-down list.
    RECT placement() const override;
    void show(Property what) override;
    void showEntries();
    std::vector<std::string> shown_;
};

class ScrollBarView : public ViewOf<VScrollBar> {
public:
    using ViewOf::ViewOf;
    void create() override;
    void scrolled(int code, int position) override;

    // The model's value as a bar position and back: the bar's minimum is always at the top,
    // so a range given from high to low is mirrored.
    static int PositionOf(const VScrollBar& bar, int value);
    static int ValueOf(const VScrollBar& bar, int position);

private:
    void show(Property what) override;
    void showRangeAndValue();
};

} // namespace tess::ui::win32

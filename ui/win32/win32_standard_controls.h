// Views of the controls the system's own window classes draw: labels (STATIC), buttons, check
// boxes and option buttons (BUTTON), text boxes (EDIT) and vertical scroll bars (SCROLLBAR).
#pragma once

#include "ui/win32/win32_control_view.h"

namespace tess::ui::win32 {

class LabelView : public ControlView {
public:
    LabelView(const BindingContext& c, ContainerWindow& p, Label& model, int id)
        : ControlView(c, p, model, id), label_(model) {}
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    Label& label_;
};

class ButtonView : public ControlView {
public:
    ButtonView(const BindingContext& c, ContainerWindow& p, CommandButton& model, int id)
        : ControlView(c, p, model, id), button_(model) {}
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    CommandButton& button_;
};

class TextBoxView : public ControlView {
public:
    TextBoxView(const BindingContext& c, ContainerWindow& p, TextBox& model, int id)
        : ControlView(c, p, model, id), box_(model) {}
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showText();
    TextBox& box_;
};

// A check box the binding checks itself (BS_CHECKBOX): a click asks the model, and the box
// shows whatever value the model then holds.
class CheckBoxView : public ControlView {
public:
    CheckBoxView(const BindingContext& c, ContainerWindow& p, CheckBox& model, int id)
        : ControlView(c, p, model, id), box_(model) {}
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showValue();
    CheckBox& box_;
};

// One option button (BS_RADIOBUTTON). `startsGroup` marks the first of a run of option
// buttons in one container; the set one of a group is its tab stop.
class OptionButtonView : public ControlView {
public:
    OptionButtonView(const BindingContext& c, ContainerWindow& p, OptionButton& model, int id,
                     bool startsGroup)
        : ControlView(c, p, model, id), option_(model), startsGroup_(startsGroup) {}
    void create() override;
    void notified(int code) override;

private:
    void show(Property what) override;
    void showValue();
    OptionButton& option_;
    bool startsGroup_;
};

class ScrollBarView : public ControlView {
public:
    ScrollBarView(const BindingContext& c, ContainerWindow& p, VScrollBar& model, int id)
        : ControlView(c, p, model, id), bar_(model) {}
    void create() override;
    void scrolled(int code, int position) override;

    // The model's value as a bar position and back: the bar's minimum is always at the top,
    // so a range given from high to low is mirrored.
    static int PositionOf(const VScrollBar& bar, int value);
    static int ValueOf(const VScrollBar& bar, int position);

private:
    void show(Property what) override;
    void showRangeAndValue();
    VScrollBar& bar_;
};

} // namespace tess::ui::win32

// The control model's behaviour: change handlers that fire only on real changes, option groups,
// clamped scroll bars with their gestures, and the input rule of disabled containers.
#include "ui/controls.h"

#include <algorithm>

#include "core/file_system.h"

namespace tess::ui {

Control::Control(ControlKind kind, Container* parent, std::string name, TwipsRect rect, int index)
    : kind_(kind), parent_(parent), name_(std::move(name)), index_(index), rect_(rect) {
    if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void Control::setRect(const TwipsRect& rect) {
    if (rect == rect_) return;
    rect_ = rect;
    notify(Property::Rect);
}

void Control::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    notify(Property::Enabled);
}

void Control::setVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    notify(Property::Visible);
}

bool Control::acceptsInput() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->enabled_ || !c->visible_) return false;
    return true;
}

void Control::bringToFront() {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end() || it + 1 == siblings.end()) return;
    siblings.erase(it);
    siblings.push_back(this);
    notify(Property::ZOrder);
}

Label::Label(Container* parent, std::string name, TwipsRect rect, std::string caption, Align align,
             int index)
    : Control(ControlKind::Label, parent, std::move(name), rect, index),
      caption_(std::move(caption)), align_(align) {}

void Label::setCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    notify(Property::Caption);
}

void Label::setFont(FontSpec font) {
    if (font_ == font) return;
    font_ = std::move(font);
    notify(Property::Font);
}

Frame::Frame(Container* parent, std::string name, TwipsRect rect, std::string caption)
    : Container(ControlKind::Frame, parent, std::move(name), rect), caption_(std::move(caption)) {}

void Frame::setCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    notify(Property::Caption);
}

CommandButton::CommandButton(Container* parent, std::string name, TwipsRect rect,
                             std::string caption)
    : Control(ControlKind::CommandButton, parent, std::move(name), rect),
      caption_(std::move(caption)) {}

void CommandButton::setCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    notify(Property::Caption);
}

bool CommandButton::press() {
    if (!acceptsInput()) return false;
    if (onClick) onClick();
    return true;
}

TextBox::TextBox(Container* parent, std::string name, TwipsRect rect, std::string text)
    : Control(ControlKind::TextBox, parent, std::move(name), rect), text_(std::move(text)) {}

void TextBox::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    notify(Property::Text);
    if (onChange) onChange();
}

bool TextBox::type(std::string text) {
    if (!acceptsInput() || locked_) return false;
    setText(std::move(text));
    return true;
}

CheckBox::CheckBox(Container* parent, std::string name, TwipsRect rect, std::string caption,
                   int value)
    : Control(ControlKind::CheckBox, parent, std::move(name), rect), caption_(std::move(caption)),
      value_(value) {}

void CheckBox::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    notify(Property::Value);
    if (onClick) onClick();
}

bool CheckBox::press() {
    if (!acceptsInput()) return false;
    setValue(value_ == 1 ? 0 : 1);
    return true;
}

OptionButton::OptionButton(Container* parent, std::string name, TwipsRect rect,
                           std::string caption, int index)
    : Control(ControlKind::OptionButton, parent, std::move(name), rect, index),
      caption_(std::move(caption)) {}

void OptionButton::setValue(bool on) {
    if (on == value_) return;
    if (on && parent()) {
        for (Control* sibling : parent()->children()) {
            if (sibling != this && sibling->kind() == ControlKind::OptionButton) {
                auto* other = static_cast<OptionButton*>(sibling);
                if (other->value_) {
                    other->value_ = false;
                    other->notify(Property::Value);
                }
            }
        }
    }
    value_ = on;
    notify(Property::Value);
    if (on && onClick) onClick();
}

bool OptionButton::press() {
    if (!acceptsInput()) return false;
    setValue(true);
    return true;
}

VScrollBar::VScrollBar(Container* parent, std::string name, TwipsRect rect, int min, int max,
                       int smallChange, int largeChange, int value)
    : Control(ControlKind::VScrollBar, parent, std::move(name), rect), min_(min), max_(max),
      small_(smallChange), large_(largeChange), value_(value) {}

int VScrollBar::clamp(int v) const {
    const int lo = std::min(min_, max_), hi = std::max(min_, max_);
    return std::clamp(v, lo, hi);
}

void VScrollBar::setValue(int value) {
    value = clamp(value);
    if (value == value_) return;
    value_ = value;
    notify(Property::Value);
    if (onChange) onChange();
}

bool VScrollBar::lineBy(int direction) {
    if (!acceptsInput()) return false;
    setValue(value_ + direction * small_);
    return true;
}

bool VScrollBar::pageBy(int direction) {
    if (!acceptsInput()) return false;
    setValue(value_ + direction * large_);
    return true;
}

bool VScrollBar::dragTo(int value) {
    if (!acceptsInput()) return false;
    if (!dragging_) {
        dragging_ = true;
        dragStart_ = value_;
    }
    value = clamp(value);
    if (value != value_) {
        value_ = value;
        notify(Property::Value);
    }
    if (onScroll) onScroll();
    return true;
}

bool VScrollBar::release() {
    if (!dragging_) return false;
    dragging_ = false;
    if (value_ != dragStart_ && onChange) onChange();
    return true;
}

PictureBox::PictureBox(Container* parent, std::string name, TwipsRect rect, ColorRef backColor)
    : Container(ControlKind::PictureBox, parent, std::move(name), rect), backColor_(backColor) {
    (void)surface_.setBackColor(backColor);
}

Status PictureBox::setBackColor(ColorRef colour) {
    if (Status s = surface_.setBackColor(colour); !s) return s;
    backColor_ = colour;
    notify(Property::BackColor);
    return Status::Ok();
}

void PictureBox::setSurface(Surface surface) {
    surface_ = std::move(surface);
    (void)surface_.setBackColor(backColor_);
    notify(Property::Image);
}

void PictureBox::clear() {
    surface_.clear();
    notify(Property::Image);
}

void PictureBox::setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel) {
    picture_ = std::move(picture);
    if (autoSize_) {
        const double w = picture_ ? picture_->width() * twipsPerPixel : rect().width;
        const double h = picture_ ? picture_->height() * twipsPerPixel : rect().height;
        setRect({rect().left, rect().top, w, h});
    }
    notify(Property::Picture);
}

ImageBox::ImageBox(Container* parent, std::string name, TwipsRect rect, bool stretch, int index)
    : Control(ControlKind::ImageBox, parent, std::move(name), rect, index), stretch_(stretch) {}

void ImageBox::setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel) {
    picture_ = std::move(picture);
    if (!stretch_ && picture_)
        setRect({rect().left, rect().top, picture_->width() * twipsPerPixel,
                 picture_->height() * twipsPerPixel});
    notify(Property::Picture);
}

bool ImageBox::press() {
    if (!acceptsInput()) return false;
    if (onClick) onClick();
    return true;
}

FileListBox::FileListBox(Container* parent, std::string name, TwipsRect rect)
    : Control(ControlKind::FileListBox, parent, std::move(name), rect) {}

Status FileListBox::setPath(std::string folder) {
    path_ = std::move(folder);
    return refresh();
}

void FileListBox::setPattern(std::string pattern) {
    if (pattern == pattern_) return;
    pattern_ = std::move(pattern);
    (void)refresh();
}

Status FileListBox::refresh() {
    listIndex_ = -1;
    auto listed = ListFiles(path_, pattern_);
    entries_ = listed ? std::move(listed).value() : std::vector<std::string>{};
    notify(Property::Value);
    return listed.status();
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) return;
    const bool changed = index != listIndex_;
    listIndex_ = index;
    if (changed) notify(Property::Value);
    if (changed && index >= 0 && onClick) onClick();
}

bool FileListBox::click(int index) {
    if (!acceptsInput() || index < 0 || index >= listCount()) return false;
    setListIndex(index);
    return true;
}

bool FileListBox::doubleClick(int index) {
    if (!click(index)) return false;
    if (onDblClick) onDblClick();
    return true;
}

MenuItem::MenuItem(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {}

void MenuItem::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (peer_) peer_->propertyChanged(Property::Enabled);
}

bool MenuItem::pick() {
    if (separator()) return false;
    for (const MenuItem* m = this; m; m = m->parent_)
        if (!m->enabled_) return false;
    if (onClick) onClick();
    return true;
}

Form::Form(std::string name, TwipsRect rect, std::string caption, Border border)
    : Container(ControlKind::Form, nullptr, std::move(name), rect), caption_(std::move(caption)),
      border_(border) {
    setVisible(false);
}

void Form::setCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    notify(Property::Caption);
}

void Form::collectButtons(const Container& c, bool cancel, CommandButton*& found) const {
    for (Control* child : c.children()) {
        if (found) return;
        if (child->kind() == ControlKind::CommandButton) {
            auto* b = static_cast<CommandButton*>(child);
            if (cancel ? b->isCancel() : b->isDefault()) found = b;
        } else if (auto* inner = dynamic_cast<Container*>(child)) {
            collectButtons(*inner, cancel, found);
        }
    }
}

CommandButton* Form::defaultButton() const {
    CommandButton* found = nullptr;
    collectButtons(*this, false, found);
    return found;
}

CommandButton* Form::cancelButton() const {
    CommandButton* found = nullptr;
    collectButtons(*this, true, found);
    return found;
}

bool Form::pressKey(Key key) {
    CommandButton* b = key == Key::Escape ? cancelButton() : defaultButton();
    return b && b->press();
}

} // namespace tess::ui

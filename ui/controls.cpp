// The control model's behaviour: change handlers that fire only on real changes, option groups,
// clamped scroll bars with their gestures, the input rule of disabled containers, self-sizing
// labels and the forms' drawing and input.
#include "ui/controls.h"

#include <algorithm>
#include <cmath>


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
    set(rect_, rect, Property::Rect);
}

void Control::setEnabled(bool on) {
    set(enabled_, on, Property::Enabled);
}

void Control::setVisible(bool on) {
    set(visible_, on, Property::Visible);
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

void Control::sendToBack() {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end() || it == siblings.begin()) return;
    siblings.erase(it);
    siblings.insert(siblings.begin(), this);
    notify(Property::ZOrder);
}

Form* Control::form() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return c->kind_ == ControlKind::Form ? static_cast<Form*>(c) : nullptr;
}

namespace {

const ApproximateTextMeasure kApproximateMeasure;

// The lines of a text broken at CR LF or a lone LF; an empty text is one empty line.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') {
            lines.emplace_back();
            continue;
        }
        lines.back() += text[i];
    }
    return lines;
}

} // namespace

TwipsSize ApproximateTextMeasure::extent(const FontSpec* font, const std::string& text,
                                         double wrapWidth) const {
    const double em = (font ? font->points : 8.0) * 20.0;
    const double charWidth = em / 2;
    const double lineHeight = std::round(em * 1.2);
    double widest = 0;
    int lineCount = 0;
    for (const std::string& line : SplitLines(text)) {
        double width = line.size() * charWidth;
        int rows = 1;
        if (wrapWidth > 0 && width > wrapWidth) {
            // Greedy breaking between words; a word wider than the line keeps a row of its own.
            double run = 0;
            width = 0;
            size_t start = 0;
            while (start <= line.size()) {
                size_t end = line.find(' ', start);
                if (end == std::string::npos) end = line.size();
                const double word = (end - start) * charWidth;
                const double withWord = run == 0 ? word : run + charWidth + word;
                if (run > 0 && withWord > wrapWidth) {
                    width = std::max(width, run);
                    ++rows;
                    run = word;
                } else {
                    run = withWord;
                }
                start = end + 1;
            }
            width = std::max(width, run);
        }
        widest = std::max(widest, width);
        lineCount += rows;
    }
    return {widest, lineCount * lineHeight};
}

Label::Label(Container* parent, std::string name, TwipsRect rect, std::string caption, Align align,
             int index)
    : Control(ControlKind::Label, parent, std::move(name), rect, index),
      caption_(std::move(caption)), align_(align) {}

void Label::setCaption(std::string caption) {
    if (set(caption_, std::move(caption), Property::Caption)) fit();
}

void Label::setAlign(Align align) {
    set(align_, align, Property::Alignment);
}

void Label::setFont(FontSpec font) {
    if (set(font_, std::move(font), Property::Font)) fit();
}

void Label::setWordWrap(bool on) {
    if (set(wordWrap_, on, Property::WordWrap)) fit();
}

void Label::setForeColor(ColorRef colour) {
    set(foreColor_, colour, Property::ForeColor);
}

void Label::setBackStyle(BackStyle style) {
    set(backStyle_, style, Property::BackStyle);
}

void Label::setAutoSize(bool on) {
    autoSize_ = on;
    fit();
}

void Label::fit() {
    if (!autoSize_) return;
    const Form* owner = form();
    const TextMeasure& measure = owner ? owner->textMeasure() : kApproximateMeasure;
    const TwipsSize size =
        measure.extent(font_ ? &*font_ : nullptr, caption_, wordWrap_ ? rect().width : 0);
    setRect({rect().left, rect().top, wordWrap_ ? rect().width : size.width, size.height});
}


Frame::Frame(Container* parent, std::string name, TwipsRect rect, std::string caption)
    : Container(ControlKind::Frame, parent, std::move(name), rect), caption_(std::move(caption)) {}

void Frame::setCaption(std::string caption) {
    set(caption_, std::move(caption), Property::Caption);
}

CommandButton::CommandButton(Container* parent, std::string name, TwipsRect rect,
                             std::string caption)
    : Control(ControlKind::CommandButton, parent, std::move(name), rect),
      caption_(std::move(caption)) {}

void CommandButton::setCaption(std::string caption) {
    set(caption_, std::move(caption), Property::Caption);
}

void CommandButton::setDefault(bool on) {
    set(default_, on, Property::Default);
}

TextBox::TextBox(Container* parent, std::string name, TwipsRect rect, std::string text)
    : Control(ControlKind::TextBox, parent, std::move(name), rect), text_(std::move(text)) {}

void TextBox::setText(std::string text) {
    if (set(text_, std::move(text), Property::Text)) fire(onChange);
}

void TextBox::setLocked(bool on) {
    set(locked_, on, Property::Locked);
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
    if (set(value_, value, Property::Value)) fire(onClick);
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
                other->set(other->value_, false, Property::Value);
            }
        }
    }
    set(value_, on, Property::Value);
    if (on) fire(onClick);
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
    if (set(value_, clamp(value), Property::Value)) fire(onChange);
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
    set(value_, clamp(value), Property::Value);
    fire(onScroll);
    return true;
}

bool VScrollBar::release() {
    if (!dragging_) return false;
    dragging_ = false;
    if (value_ != dragStart_) fire(onChange);
    return true;
}

PictureBox::PictureBox(Container* parent, std::string name, TwipsRect rect, ColorRef backColor)
    : Container(ControlKind::PictureBox, parent, std::move(name), rect), backColor_(backColor) {
    (void)surface_.setBackColor(backColor);
}

Status PictureBox::setBackColor(ColorRef colour) {
    if (Status s = surface_.setBackColor(colour); !s) return s;
    set(backColor_, colour, Property::BackColor);
    notify(Property::Image);
    return Status::Ok();
}

void PictureBox::setBorder(bool on) {
    set(border_, on, Property::Border);
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
    // Pictures are immutable, so the same one again shows nothing new; a self-sizing box still
    // takes its size at the twips per pixel given now.
    const bool changed = picture != picture_;
    picture_ = std::move(picture);
    if (autoSize_) {
        const double w = picture_ ? picture_->width() * twipsPerPixel : rect().width;
        const double h = picture_ ? picture_->height() * twipsPerPixel : rect().height;
        setRect({rect().left, rect().top, w, h});
    }
    if (changed) notify(Property::Picture);
}

ImageBox::ImageBox(Container* parent, std::string name, TwipsRect rect, bool stretch, int index)
    : Control(ControlKind::ImageBox, parent, std::move(name), rect, index), stretch_(stretch) {}

void ImageBox::setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel) {
    const bool changed = picture != picture_;
    picture_ = std::move(picture);
    if (!stretch_ && picture_)
        setRect({rect().left, rect().top, picture_->width() * twipsPerPixel,
                 picture_->height() * twipsPerPixel});
    if (changed) notify(Property::Picture);
}

void ImageBox::setBorder(bool on) {
    set(border_, on, Property::Border);
}

FileListBox::FileListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders)
    : Control(ControlKind::FileListBox, parent, std::move(name), rect), folders_(folders) {}

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
    auto listed = folders_.ListFiles(path_, pattern_);
    entries_ = listed ? std::move(listed).value() : std::vector<std::string>{};
    notify(Property::Value);
    return listed.status();
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) return;
    if (set(listIndex_, index, Property::Value) && index >= 0) fire(onClick);
}

bool FileListBox::click(int index) {
    if (!acceptsInput() || index < 0 || index >= listCount()) return false;
    setListIndex(index);
    return true;
}

bool FileListBox::doubleClick(int index) {
    if (!click(index)) return false;
    fire(onDblClick);
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
    set(caption_, std::move(caption), Property::Caption);
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

void Form::setTopMost(bool on) {
    set(topMost_, on, Property::TopMost);
}

TwipsRect Form::outerRect() const {
    const TwipsRect& r = rect();
    return {r.left, r.top, r.width + frameWidth_, r.height + frameHeight_};
}

void Form::setFrameSize(double extraWidth, double extraHeight) {
    frameWidth_ = extraWidth;
    frameHeight_ = extraHeight;
}

void Form::setBackColor(ColorRef colour) {
    set(backColor_, colour, Property::BackColor);
}

void Form::setPicture(std::shared_ptr<const Picture> picture) {
    set(picture_, std::move(picture), Property::Picture);
}

DrawOp Form::stroke(DrawOp::Kind kind) const {
    DrawOp op;
    op.kind = kind;
    op.color = foreColor_;
    op.width = drawWidth_;
    return op;
}

void Form::record(DrawOp op, double nextX, double nextY) {
    currentX_ = nextX;
    currentY_ = nextY;
    drawing_.push_back(std::move(op));
    notify(Property::Drawing);
}

void Form::line(double x1, double y1, double x2, double y2) {
    DrawOp op = stroke(DrawOp::Kind::Line);
    op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    record(std::move(op), x2, y2);
}

void Form::circle(double x, double y, double radius) {
    DrawOp op = stroke(DrawOp::Kind::Circle);
    op.x1 = x, op.y1 = y;
    op.radius = radius;
    if (fillStyle_ == FillStyle::Solid) op.fill = fillColor_;
    record(std::move(op), x, y);
}

void Form::print(const std::string& text) {
    DrawOp op;
    op.kind = DrawOp::Kind::Print;
    op.x1 = currentX_, op.y1 = currentY_;
    op.color = foreColor_;
    op.text = text;
    op.font = drawFont_;
    record(std::move(op), 0, currentY_ + textMeasure().extent(&drawFont_, text, 0).height);
}

void Form::cls() {
    currentX_ = 0;
    currentY_ = 0;
    if (drawing_.empty()) return;
    drawing_.clear();
    notify(Property::Drawing);
}

const TextMeasure& Form::textMeasure() const {
    return measure_ ? *measure_ : kApproximateMeasure;
}

void Form::setTextMeasure(std::shared_ptr<const TextMeasure> measure) {
    if (measure == measure_) return;
    measure_ = std::move(measure);
    fitLabels(*this);
}

void Form::fitLabels(Container& c) {
    for (Control* child : c.children()) {
        if (child->kind() == ControlKind::Label)
            static_cast<Label*>(child)->fit();
        else if (auto* inner = dynamic_cast<Container*>(child))
            fitLabels(*inner);
    }
}

bool Form::keyUp(int keyCode, int shift) {
    if (!acceptsInput()) return false;
    if (onKeyUp) onKeyUp(keyCode, shift);
    return true;
}

} // namespace tess::ui

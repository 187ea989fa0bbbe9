// The standard controls' windows: styles from the model at creation, the model's values shown
// in the window, and the user's clicks, typing and scrolling passed to the model's gestures.
#include "ui/win32/win32_standard_controls.h"

#include <algorithm>
#include <string>

namespace tess::ui::win32 {

namespace {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

HWND CreateStandard(const char* className, DWORD exStyle, const std::string& text, DWORD style,
                    const RECT& r, HWND parent, HMENU id) {
    return CreateWindowExA(exStyle, className, text.c_str(), style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent, id,
                           GetModuleHandleA(nullptr), nullptr);
}

} // namespace

void LabelView::create() {
    DWORD align = SS_LEFT;
    if (label_.align() == Label::Align::Right) align = SS_RIGHT;
    if (label_.align() == Label::Align::Center) align = SS_CENTER;
    adopt(CreateStandard("STATIC", 0, label_.caption(), childStyle() | align | SS_NOTIFY,
                         placement(), parent_.hwnd(), idAsMenu()));
}

void LabelView::show(Property what) {
    if (what == Property::Caption) SetWindowTextA(handle(), label_.caption().c_str());
}

void LabelView::notified(int code) {
    if (code == STN_CLICKED && label_.acceptsInput() && label_.onClick) label_.onClick();
}

void ButtonView::create() {
    const DWORD kind = button_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    adopt(CreateStandard("BUTTON", 0, button_.caption(),
                         childStyle() | WS_TABSTOP | WS_GROUP | kind, placement(),
                         parent_.hwnd(), idAsMenu()));
}

void ButtonView::show(Property what) {
    if (what == Property::Caption) SetWindowTextA(handle(), button_.caption().c_str());
}

void ButtonView::notified(int code) {
    if (code == BN_CLICKED && !showingModel()) button_.press();
}

void TextBoxView::create() {
    DWORD style = childStyle() | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_LEFT;
    if (box_.locked()) style |= ES_READONLY;
    Showing showing(*this);
    adopt(CreateStandard("EDIT", WS_EX_CLIENTEDGE, box_.text(), style, placement(),
                         parent_.hwnd(), idAsMenu()));
    // Narrow margins, as the boxes' measures expect: the font's own would hide a short value's
    // last character. Set after the font, which resets them.
    SendMessageA(handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
}

void TextBoxView::showText() {
    // A window that shows the text already keeps its caret, e.g. while the user types.
    if (WindowText(handle()) == box_.text()) return;
    Showing showing(*this);
    SetWindowTextA(handle(), box_.text().c_str());
}

void TextBoxView::show(Property what) {
    if (what == Property::Text) showText();
}

void TextBoxView::notified(int code) {
    if (code != EN_CHANGE || showingModel()) return;
    // Typing the model refuses (a disabled container, a locked box) is taken back.
    if (!box_.type(WindowText(handle()))) showText();
}

void CheckBoxView::create() {
    adopt(CreateStandard("BUTTON", 0, box_.caption(),
                         childStyle() | WS_TABSTOP | WS_GROUP | BS_CHECKBOX, placement(),
                         parent_.hwnd(), idAsMenu()));
    showValue();
}

void CheckBoxView::showValue() {
    Showing showing(*this);
    SendMessageA(handle(), BM_SETCHECK, box_.value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBoxView::show(Property what) {
    if (what == Property::Value) showValue();
}

void CheckBoxView::notified(int code) {
    if (code == BN_CLICKED && !showingModel()) box_.press();
}

void OptionButtonView::create() {
    DWORD style = childStyle() | BS_RADIOBUTTON;
    if (startsGroup_) style |= WS_GROUP;
    adopt(CreateStandard("BUTTON", 0, option_.caption(), style, placement(), parent_.hwnd(),
                         idAsMenu()));
    showValue();
}

void OptionButtonView::showValue() {
    Showing showing(*this);
    SendMessageA(handle(), BM_SETCHECK, option_.value() ? BST_CHECKED : BST_UNCHECKED, 0);
    // Tab lands on the set button of the group: focusing an unset one would choose it.
    LONG_PTR style = GetWindowLongPtrA(handle(), GWL_STYLE);
    style = option_.value() ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(handle(), GWL_STYLE, style);
}

void OptionButtonView::show(Property what) {
    if (what == Property::Value) showValue();
}

void OptionButtonView::notified(int code) {
    if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && !showingModel()) option_.press();
}

int ScrollBarView::PositionOf(const VScrollBar& bar, int value) {
    if (bar.min() <= bar.max()) return value;
    return bar.min() + bar.max() - value;
}

int ScrollBarView::ValueOf(const VScrollBar& bar, int position) {
    return PositionOf(bar, position);  // mirroring is its own inverse
}

void ScrollBarView::create() {
    adopt(CreateStandard("SCROLLBAR", 0, {}, childStyle() | WS_TABSTOP | WS_GROUP | SBS_VERT,
                         placement(), parent_.hwnd(), idAsMenu()));
    showRangeAndValue();
}

void ScrollBarView::showRangeAndValue() {
    Showing showing(*this);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = std::min(bar_.min(), bar_.max());
    info.nMax = std::max(bar_.min(), bar_.max());
    info.nPage = 0;
    info.nPos = PositionOf(bar_, bar_.value());
    SetScrollInfo(handle(), SB_CTL, &info, TRUE);
}

void ScrollBarView::show(Property what) {
    if (what == Property::Value || what == Property::Range) showRangeAndValue();
}

void ScrollBarView::scrolled(int code, int position) {
    if (showingModel()) return;
    switch (code) {
    case SB_LINEUP: bar_.lineBy(-1); break;
    case SB_LINEDOWN: bar_.lineBy(+1); break;
    case SB_PAGEUP: bar_.pageBy(-1); break;
    case SB_PAGEDOWN: bar_.pageBy(+1); break;
    case SB_THUMBTRACK: bar_.dragTo(ValueOf(bar_, position)); break;
    case SB_THUMBPOSITION:
    case SB_ENDSCROLL: bar_.release(); break;
    case SB_TOP:
        if (bar_.acceptsInput()) bar_.setValue(bar_.min());
        break;
    case SB_BOTTOM:
        if (bar_.acceptsInput()) bar_.setValue(bar_.max());
        break;
    default: break;
    }
    // The bar shows the model's value whatever the model made of the gesture.
    showRangeAndValue();
}

} // namespace tess::ui::win32

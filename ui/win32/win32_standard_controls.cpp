// The standard controls' windows: styles from the model at creation, the model's values shown
// in the window, and the user's clicks, typing and scrolling passed to the model's gestures.
#include "ui/win32/win32_standard_controls.h"

#include "ui/win32/win32_input.h"

#include <algorithm>
#include <string>

namespace tess::ui::win32 {

using platform::win32::SelectedObject;

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

bool LabelView::paintsItself() const {
    return label_.backStyle() == Label::BackStyle::Transparent || label_.foreColor() ||
           (!label_.wordWrap() && label_.align() != Label::Align::Left);
}

void LabelView::create() {
    DWORD align = label_.wordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
    if (label_.align() == Label::Align::Right) align = SS_RIGHT;
    if (label_.align() == Label::Align::Center) align = SS_CENTER;
    adopt(CreateStandard("STATIC", 0, label_.caption(), childStyle() | align | SS_NOTIFY,
                         placement(), parent_.hwnd(), idAsMenu()));
    if (!handle()) return;
    // Should the system refuse, the STATIC class alone shows the caption.
    (void)subclass(handle());
    showFont();
}

void LabelView::showFont() {
    HFONT font = context_.font;
    ownFont_.reset();
    if (const auto& fontWanted = label_.font()) {
        ownFont_ = CreatePointFont(context_.screen, fontWanted->name, fontWanted->points, fontWanted->bold);
        if (ownFont_) font = ownFont_.get();
    }
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void LabelView::show(Property what) {
    if (!handle()) return;
    if (what == Property::Caption) SetWindowTextA(handle(), label_.caption().c_str());
    if (what == Property::Font) showFont();
    if (what == Property::Alignment || what == Property::WordWrap) {
        // The STATIC class keeps its alignment and its wrapping in its style.
        LONG style = GetWindowLongA(handle(), GWL_STYLE) & ~static_cast<LONG>(SS_TYPEMASK);
        style |= label_.align() == Label::Align::Right    ? SS_RIGHT
                 : label_.align() == Label::Align::Center ? SS_CENTER
                 : label_.wordWrap()                      ? SS_LEFT
                                                          : SS_LEFTNOWORDWRAP;
        SetWindowLongA(handle(), GWL_STYLE, style);
    }
    if (what == Property::ForeColor || what == Property::BackStyle ||
        what == Property::Alignment || what == Property::WordWrap)
        InvalidateRect(handle(), nullptr, TRUE);
}

void LabelView::notified(int code) {
    if (code == STN_CLICKED) label_.click();
}

bool LabelView::onButtonDown(int button, WPARAM keys, POINT at) {
    if (label_.onMouseDown || label_.onMouseMove) {
        // Captured while a button is down, so that a drag that leaves the label goes on.
        SetCapture(handle());
        label_.mouseDown(button, ShiftOf(keys), context_.screen.twipsX(at.x),
                         context_.screen.twipsY(at.y));
    }
    // The STATIC class still sees the press, for its click notification.
    return false;
}

bool LabelView::onMouseMoved(WPARAM keys, POINT at) {
    if (label_.onMouseMove)
        label_.mouseMove(ButtonsOf(keys), ShiftOf(keys), context_.screen.twipsX(at.x),
                         context_.screen.twipsY(at.y));
    return false;
}

void LabelView::onButtonUp(WPARAM keys) {
    if (ButtonsOf(keys) == 0 && GetCapture() == handle()) ReleaseCapture();
}

// Paints as the STATIC class does (the parent's colours, the window's font, grey when
// disabled, mnemonics) with the label's own colour, over the artwork beneath it when
// transparent, and without breaking lines of a label that does not wrap: a caption wider than
// the box is clipped at both sides instead of running onto a line the box may not have.
void LabelView::paint(HDC dc) {
    const HWND window = handle();
    RECT client{};
    GetClientRect(window, &client);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(window)));
    const bool transparent = label_.backStyle() == Label::BackStyle::Transparent;
    if (!transparent || !WindowBase::RequestBackdrop(GetParent(window), dc, window))
        FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    drawCaption(dc, client);
}

void LabelView::paintCaptionAt(HDC dc, POINT at) {
    RECT box{};
    GetClientRect(handle(), &box);
    OffsetRect(&box, at.x, at.y);
    const int saved = SaveDC(dc);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    drawCaption(dc, box);
    RestoreDC(dc, saved);
}

void LabelView::drawCaption(HDC dc, RECT box) {
    const HWND window = handle();
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    if (!IsWindowEnabled(window))
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    else if (label_.foreColor())
        SetTextColor(dc, static_cast<COLORREF>(*label_.foreColor()));
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_EXPANDTABS;
    if (label_.align() == Label::Align::Right) format |= DT_RIGHT;
    else if (label_.align() == Label::Align::Center) format |= DT_CENTER;
    if (label_.wordWrap()) format |= DT_WORDBREAK;
    if (SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
    const std::string text = WindowText(window);
    DrawTextA(dc, text.c_str(), -1, &box, format);
}

void ButtonView::create() {
    const DWORD kind = button_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    adopt(CreateStandard("BUTTON", 0, button_.caption(),
                         childStyle() | WS_TABSTOP | WS_GROUP | kind, placement(),
                         parent_.hwnd(), idAsMenu()));
}

void ButtonView::show(Property what) {
    if (what == Property::Caption) SetWindowTextA(handle(), button_.caption().c_str());
    if (what == Property::Default)
        SendMessageA(handle(), BM_SETSTYLE, button_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                     TRUE);
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
    if (what == Property::Locked) SendMessageA(handle(), EM_SETREADONLY, box_.locked(), 0);
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

void FileListView::create() {
    // No sorting of its own and no rounding of the height to whole rows: the model orders the
    // entries and gives the box its size.
    adopt(CreateStandard("LISTBOX", WS_EX_CLIENTEDGE, {},
                         childStyle() | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY |
                             LBS_NOINTEGRALHEIGHT,
                         placement(), parent_.hwnd(), idAsMenu()));
    showEntriesAndSelection();
}

int FileListView::selectedRow() const {
    return static_cast<int>(SendMessageA(handle(), LB_GETCURSEL, 0, 0));
}

void FileListView::showEntriesAndSelection() {
    if (!handle()) return;
    Showing showing(*this);
    // Filled again only when the entries changed, so that a new selection keeps the scroll.
    if (shown_ != list_.entries()) {
        SendMessageA(handle(), WM_SETREDRAW, FALSE, 0);
        SendMessageA(handle(), LB_RESETCONTENT, 0, 0);
        for (const std::string& entry : list_.entries())
            SendMessageA(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        SendMessageA(handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(handle(), nullptr, TRUE);
        shown_ = list_.entries();
    }
    if (selectedRow() != list_.listIndex())
        SendMessageA(handle(), LB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
}

void FileListView::show(Property what) {
    if (what == Property::Value) showEntriesAndSelection();
}

void FileListView::notified(int code) {
    if (showingModel()) return;
    if (code == LBN_SELCHANGE)
        list_.click(selectedRow());
    else if (code == LBN_DBLCLK)
        list_.doubleClick(selectedRow());
    else
        return;
    // A click the model refused (a disabled frame) leaves the model's selection in view.
    showEntriesAndSelection();
}

void DirListView::create() {
    adopt(CreateStandard("LISTBOX", WS_EX_CLIENTEDGE, {},
                         childStyle() | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY |
                             LBS_NOINTEGRALHEIGHT,
                         placement(), parent_.hwnd(), idAsMenu()));
    showRows();
}

void DirListView::showRows() {
    if (!handle()) return;
    Showing showing(*this);
    SendMessageA(handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(handle(), LB_RESETCONTENT, 0, 0);
    for (const DirListBox::Row& row : list_.rows()) {
        // Open folders are marked as the open ones, subfolders as closed ones.
        const std::string text = std::string(static_cast<size_t>(row.depth) * 2, ' ') +
                                 (row.open ? "- " : "+ ") + row.name;
        SendMessageA(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageA(handle(), LB_SETCURSEL, static_cast<WPARAM>(list_.openRow()), 0);
    SendMessageA(handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle(), nullptr, TRUE);
}

void DirListView::show(Property what) {
    if (what == Property::Value) showRows();
}

void DirListView::notified(int code) {
    if (showingModel() || code != LBN_DBLCLK) return;
    const int row = static_cast<int>(SendMessageA(handle(), LB_GETCURSEL, 0, 0));
    // A folder that cannot be opened leaves the list where it was.
    (void)list_.open(row);
    showRows();
}

RECT DriveListView::placement() const {
    RECT r = ControlView::placement();
    r.bottom += MulDiv(160, context_.screen.dpiY, 96);
    return r;
}

void DriveListView::create() {
    adopt(CreateStandard("COMBOBOX", 0, {},
                         childStyle() | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST,
                         placement(), parent_.hwnd(), idAsMenu()));
    showEntries();
}

void DriveListView::showEntries() {
    if (!handle()) return;
    Showing showing(*this);
    if (shown_ != list_.entries()) {
        SendMessageA(handle(), CB_RESETCONTENT, 0, 0);
        for (const std::string& entry : list_.entries())
            SendMessageA(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        shown_ = list_.entries();
    }
    SendMessageA(handle(), CB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
}

void DriveListView::show(Property what) {
    if (what == Property::Value) showEntries();
}

void DriveListView::notified(int code) {
    if (showingModel() || code != CBN_SELCHANGE) return;
    list_.pick(static_cast<int>(SendMessageA(handle(), CB_GETCURSEL, 0, 0)));
    // The handler may have chosen another drive again, or the model refused the pick.
    showEntries();
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

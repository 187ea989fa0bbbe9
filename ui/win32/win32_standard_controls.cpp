// The standard controls' windows: styles from the model at creation, the model's values shown
// in the window, and the user's clicks, typing and scrolling passed to the model's gestures.
#include "ui/win32/win32_standard_controls.h"

#include "ui/win32/win32_control_windows.h"

#include <algorithm>
#include <string>

namespace tess::ui::win32 {

using platform::win32::SelectedObject;

namespace {

// The controls the tab key reaches, each a group of the dialog keys of its own.
constexpr DWORD kTabStop = WS_TABSTOP | WS_GROUP;
// No sorting of its own and no rounding of the height to whole rows: the model orders the
// entries and gives the box its size.
constexpr DWORD kListBoxStyle = kTabStop | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

// Shows a list's entries and its selection. The rows are filled again only when the entries
// changed, so that a new selection keeps the list's scroll position.
void ShowEntries(const RowsWindow& window, std::vector<std::string>& shown,
                 const std::vector<std::string>& entries, int selected) {
    if (shown != entries) {
        window.replace(entries);
        shown = entries;
    }
    if (window.selected() != selected) window.select(selected);
}

} // namespace

bool LabelView::paintsItself() const {
    return model_.backStyle() == Label::BackStyle::Transparent || model_.foreColor() ||
           (!model_.wordWrap() && model_.align() != Label::Align::Left);
}

void LabelView::create() {
    DWORD align = model_.wordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
    if (model_.align() == Label::Align::Right) align = SS_RIGHT;
    if (model_.align() == Label::Align::Center) align = SS_CENTER;
    if (!createStandard("STATIC", 0, model_.caption(), align | SS_NOTIFY)) return;
    // Should the system refuse, the STATIC class alone shows the caption.
    (void)subclass(handle());
    showFont();
}

void LabelView::showFont() {
    HFONT font = context_.font;
    ownFont_.reset();
    if (const auto& fontWanted = model_.font()) {
        ownFont_ = CreatePointFont(context_.screen, fontWanted->name, fontWanted->points, fontWanted->bold);
        if (ownFont_) font = ownFont_.get();
    }
    WindowRef(handle()).setFont(font, true);
}

void LabelView::show(Property what) {
    if (!handle()) return;
    if (what == Property::Caption) WindowRef(handle()).setText(model_.caption());
    if (what == Property::Font) showFont();
    if (what == Property::Alignment || what == Property::WordWrap) {
        // The STATIC class keeps its alignment and its wrapping in its style.
        LONG style = GetWindowLongA(handle(), GWL_STYLE) & ~static_cast<LONG>(SS_TYPEMASK);
        style |= model_.align() == Label::Align::Right    ? SS_RIGHT
                 : model_.align() == Label::Align::Center ? SS_CENTER
                 : model_.wordWrap()                      ? SS_LEFT
                                                          : SS_LEFTNOWORDWRAP;
        SetWindowLongA(handle(), GWL_STYLE, style);
    }
    if (what == Property::ForeColor || what == Property::BackStyle ||
        what == Property::Alignment || what == Property::WordWrap)
        InvalidateRect(handle(), nullptr, TRUE);
}

void LabelView::notified(int code) {
    if (code == STN_CLICKED) model_.click();
}

bool LabelView::onButtonDown(int button, int shift, POINT at) {
    if (model_.onMouseDown || model_.onMouseMove) {
        // Captured while a button is down, so that a drag that leaves the label goes on.
        SetCapture(handle());
        model_.mouseDown(button, shift, context_.screen.twipsX(at.x),
                         context_.screen.twipsY(at.y));
    }
    // The STATIC class still sees the press, for its click notification.
    return false;
}

bool LabelView::onMouseMoved(int buttons, int shift, POINT at) {
    if (model_.onMouseMove)
        model_.mouseMove(buttons, shift, context_.screen.twipsX(at.x),
                         context_.screen.twipsY(at.y));
    return false;
}

void LabelView::onButtonUp(int buttons) {
    if (buttons == 0 && GetCapture() == handle()) ReleaseCapture();
}

// Paints as the STATIC class does (the parent's colours, the window's font, grey when
// disabled, mnemonics) with the label's own colour, over the artwork beneath it when
// transparent, and without breaking lines of a label that does not wrap: a caption wider than
// the box is clipped at both sides instead of running onto a line the box may not have.
void LabelView::paint(HDC dc) {
    const HWND window = handle();
    RECT client{};
    GetClientRect(window, &client);
    const HBRUSH brush = WindowRef(GetParent(window)).staticColours(dc, window);
    const bool transparent = model_.backStyle() == Label::BackStyle::Transparent;
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
    const WindowRef window(handle());
    const HFONT font = window.font();
    SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    if (!IsWindowEnabled(window.hwnd()))
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    else if (model_.foreColor())
        SetTextColor(dc, static_cast<COLORREF>(*model_.foreColor()));
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_EXPANDTABS;
    if (model_.align() == Label::Align::Right) format |= DT_RIGHT;
    else if (model_.align() == Label::Align::Center) format |= DT_CENTER;
    if (model_.wordWrap()) format |= DT_WORDBREAK;
    if (window.hidesMnemonics()) format |= DT_HIDEPREFIX;
    const std::string text = window.text();
    DrawTextA(dc, text.c_str(), -1, &box, format);
}

void ButtonView::create() {
    const DWORD kind = model_.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    createStandard("BUTTON", 0, model_.caption(), kTabStop | kind);
}

void ButtonView::show(Property what) {
    if (what == Property::Caption) ButtonWindow(handle()).setText(model_.caption());
    if (what == Property::Default) ButtonWindow(handle()).setDefault(model_.isDefault());
}

void ButtonView::notified(int code) {
    if (code == BN_CLICKED && !showingModel()) model_.press();
}

void TextBoxView::create() {
    DWORD style = kTabStop | ES_AUTOHSCROLL | ES_LEFT;
    if (model_.locked()) style |= ES_READONLY;
    Showing showing(*this);
    createStandard("EDIT", WS_EX_CLIENTEDGE, model_.text(), style);
    // Narrow margins, as the boxes' measures expect: the font's own would hide a short value's
    // last character. Set after the font, which resets them.
    EditWindow(handle()).setMargins(1, 1);
}

void TextBoxView::showText() {
    // A window that shows the text already keeps its caret, e.g. while the user types.
    const EditWindow edit(handle());
    if (edit.text() == model_.text()) return;
    Showing showing(*this);
    edit.setText(model_.text());
}

void TextBoxView::show(Property what) {
    if (what == Property::Text) showText();
    if (what == Property::Locked) EditWindow(handle()).setReadOnly(model_.locked());
}

void TextBoxView::notified(int code) {
    if (code != EN_CHANGE || showingModel()) return;
    // Typing the model refuses (a disabled container, a locked box) is taken back.
    if (!model_.type(EditWindow(handle()).text())) showText();
}

void CheckBoxView::create() {
    createStandard("BUTTON", 0, model_.caption(), kTabStop | BS_CHECKBOX);
    showValue();
}

void CheckBoxView::showValue() {
    Showing showing(*this);
    ButtonWindow(handle()).setChecked(model_.value() == 1);
}

void CheckBoxView::show(Property what) {
    if (what == Property::Value) showValue();
}

void CheckBoxView::notified(int code) {
    if (code == BN_CLICKED && !showingModel()) model_.press();
}

void OptionButtonView::create() {
    createStandard("BUTTON", 0, model_.caption(),
                   BS_RADIOBUTTON | (startsGroup_ ? WS_GROUP : 0));
    showValue();
}

void OptionButtonView::showValue() {
    Showing showing(*this);
    ButtonWindow(handle()).setChecked(model_.value());
    // Tab lands on the set button of the group: focusing an unset one would choose it.
    LONG_PTR style = GetWindowLongPtrA(handle(), GWL_STYLE);
    style = model_.value() ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(handle(), GWL_STYLE, style);
}

void OptionButtonView::show(Property what) {
    if (what == Property::Value) showValue();
}

void OptionButtonView::notified(int code) {
    if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && !showingModel()) model_.press();
}

void FileListView::create() {
    createStandard("LISTBOX", WS_EX_CLIENTEDGE, {}, kListBoxStyle);
    showEntriesAndSelection();
}

void FileListView::showEntriesAndSelection() {
    if (!handle()) return;
    Showing showing(*this);
    ShowEntries(ListBoxWindow(handle()), shown_, model_.entries(), model_.listIndex());
}

void FileListView::show(Property what) {
    if (what == Property::Value) showEntriesAndSelection();
}

void FileListView::notified(int code) {
    if (showingModel()) return;
    const int row = ListBoxWindow(handle()).selected();
    if (code == LBN_SELCHANGE)
        model_.click(row);
    else if (code == LBN_DBLCLK)
        model_.doubleClick(row);
    else
        return;
    // A click the model refused (a disabled frame) leaves the model's selection in view.
    showEntriesAndSelection();
}

void DirListView::create() {
    createStandard("LISTBOX", WS_EX_CLIENTEDGE, {}, kListBoxStyle);
    showRows();
}

void DirListView::showRows() {
    if (!handle()) return;
    Showing showing(*this);
    std::vector<std::string> lines;
    for (const DirListBox::Row& row : model_.rows()) {
        // Open folders are marked as the open ones, subfolders as closed ones.
        lines.push_back(std::string(static_cast<size_t>(row.depth) * 2, ' ') +
                        (row.open ? "- " : "+ ") + row.name);
    }
    const ListBoxWindow window(handle());
    window.replace(lines);
    window.select(model_.openRow());
}

void DirListView::show(Property what) {
    if (what == Property::Value) showRows();
}

void DirListView::notified(int code) {
    if (showingModel() || code != LBN_DBLCLK) return;
    const int row = ListBoxWindow(handle()).selected();
    // A folder that cannot be opened leaves the list where it was.
    (void)model_.open(row);
    showRows();
}

RECT DriveListView::placement() const {
    RECT r = ControlView::placement();
    r.bottom += MulDiv(160, context_.screen.dpiY, 96);
    return r;
}

void DriveListView::create() {
    createStandard("COMBOBOX", 0, {}, kTabStop | WS_VSCROLL | CBS_DROPDOWNLIST);
    showEntries();
}

void DriveListView::showEntries() {
    if (!handle()) return;
    Showing showing(*this);
    ShowEntries(ComboBoxWindow(handle()), shown_, model_.entries(), model_.listIndex());
}

void DriveListView::show(Property what) {
    if (what == Property::Value) showEntries();
}

void DriveListView::notified(int code) {
    if (showingModel() || code != CBN_SELCHANGE) return;
    model_.pick(ComboBoxWindow(handle()).selected());
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
    createStandard("SCROLLBAR", 0, {}, kTabStop | SBS_VERT);
    showRangeAndValue();
}

void ScrollBarView::showRangeAndValue() {
    Showing showing(*this);
    ScrollBarWindow(handle()).setRangeAndPosition(std::min(model_.min(), model_.max()),
                                                  std::max(model_.min(), model_.max()),
                                                  PositionOf(model_, model_.value()));
}

void ScrollBarView::show(Property what) {
    if (what == Property::Value || what == Property::Range) showRangeAndValue();
}

void ScrollBarView::scrolled(int code, int position) {
    if (showingModel()) return;
    switch (code) {
    case SB_LINEUP: model_.lineBy(-1); break;
    case SB_LINEDOWN: model_.lineBy(+1); break;
    case SB_PAGEUP: model_.pageBy(-1); break;
    case SB_PAGEDOWN: model_.pageBy(+1); break;
    case SB_THUMBTRACK: model_.dragTo(ValueOf(model_, position)); break;
    case SB_THUMBPOSITION:
    case SB_ENDSCROLL: model_.release(); break;
    case SB_TOP:
        if (model_.acceptsInput()) model_.setValue(model_.min());
        break;
    case SB_BOTTOM:
        if (model_.acceptsInput()) model_.setValue(model_.max());
        break;
    default: break;
    }
    // The bar shows the model's value whatever the model made of the gesture.
    showRangeAndValue();
}

} // namespace tess::ui::win32

// Building a form's windows from the model: the top-level window's styles, size and menus,
// every control's view in tab order, and the form's keys, menu picks and close box.
#include "ui/win32/win32_form_window.h"

#include <algorithm>

#include "ui/win32/win32_drawn_controls.h"
#include "ui/win32/win32_control_windows.h"
#include "ui/win32/win32_host.h"
#include "ui/win32/win32_standard_controls.h"

namespace tess::ui::win32 {

using platform::win32::UniqueMenu;

namespace {

constexpr const char* kFormClass = "TessForm";

} // namespace

MenuView::MenuView(MenuItem& item, HMENU owner, UINT idOrPosition, bool byPosition, HWND form)
    : item_(item), owner_(owner), idOrPosition_(idOrPosition), byPosition_(byPosition),
      form_(form) {
    item_.setPeer(this);
}

void MenuView::propertyChanged(Property what) {
    if (what != Property::Enabled) return;
    EnableMenuItem(owner_, idOrPosition_,
                   (byPosition_ ? MF_BYPOSITION : MF_BYCOMMAND) |
                       (item_.enabled() ? MF_ENABLED : MF_GRAYED));
    if (form_) DrawMenuBar(form_);
}

FormWindow::FormWindow(Win32Host& host, BindingContext context, Form& form)
    : host_(host), context_(context), form_(form) {}

FormWindow::~FormWindow() { close(); }

DWORD FormWindow::style() const {
    DWORD style = WS_CLIPCHILDREN;
    switch (form_.borderStyle()) {
    case Form::Border::None: style |= WS_POPUP; break;
    case Form::Border::FixedSingle:
    case Form::Border::FixedDialog: style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU; break;
    }
    if (!form_.enabled()) style |= WS_DISABLED;
    return style;
}

DWORD FormWindow::extendedStyle() const {
    DWORD ex = WS_EX_CONTROLPARENT;
    if (form_.borderStyle() == Form::Border::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
    // A borderless window keeps its button (and caption) in the task bar.
    if (form_.borderStyle() == Form::Border::None) ex |= WS_EX_APPWINDOW;
    if (form_.topMost()) ex |= WS_EX_TOPMOST;
    return ex;
}

bool FormWindow::create() {
    RegisterClassOnce(kFormClass, 0, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    UniqueMenu menu = buildMenus();
    if (!createWindow(kFormClass, extendedStyle(), form_.caption().c_str(), style(),
                      outerPixels(static_cast<bool>(menu)), nullptr, menu.get()))
        return false;
    menu.release();  // the window destroys its menu
    window_.reset(hwnd());
    for (auto& m : menuViews_) m->setForm(hwnd());
    const WindowRef window(hwnd());
    window.setFont(context_.font, false);
    fitClient();
    reportFrameSize();
    loadIcons();
    tag_.reset(GlobalAddAtomA(form_.name().c_str()));
    SetPropA(hwnd(), kControlTagProperty,
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(tag_.get())));
    form_.setPeer(this);
    attached_ = true;
    build(form_, *this);
    // Made at the system's DPI, the window may lie on a monitor of another.
    if (const int dpi = WindowDpi(hwnd(), context_.screen.dpiY); dpi != context_.screen.dpiY)
        applyDpi(dpi, nullptr);
    return true;
}

void FormWindow::loadIcons() {
    if (form_.icon().empty()) return;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const WindowRef window(hwnd());
    const int dpi = context_.screen.dpiY;
    for (const bool small : {false, true}) {
        const int w = SystemMetricAt(small ? SM_CXSMICON : SM_CXICON, dpi);
        const int h = SystemMetricAt(small ? SM_CYSMICON : SM_CYICON, dpi);
        if (HANDLE icon = LoadImageA(instance, form_.icon().c_str(), IMAGE_ICON, w, h, LR_SHARED))
            window.setIcon(static_cast<HICON>(icon), small);
    }
}

void FormWindow::applyDpi(int dpi, const RECT* outer) {
    const DpiFonts& fonts = host_.fontsAt(dpi);
    context_.screen = fonts.screen;
    context_.font = fonts.font.get();
    // Autosized labels fit themselves to their captions in the new font.
    form_.setTextMeasure(fonts.measure);
    WindowRef(hwnd()).setFont(context_.font, false);
    for (auto& view : views_) view->dpiChanged();
    loadIcons();
    canvas_.invalidate();
    if (outer)
        SetWindowPos(hwnd(), nullptr, outer->left, outer->top, outer->right - outer->left,
                     outer->bottom - outer->top, SWP_NOZORDER | SWP_NOACTIVATE);
    fitClient();
    reportFrameSize();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    form_.dpiChanged(context_.screen.twipsPerPixelX());
}

bool FormWindow::onDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0 || !attached_) return false;
    applyDpi(dpi, &suggested);
    return true;
}

void FormWindow::close() {
    if (attached_) {
        form_.setPeer(nullptr);
        attached_ = false;
    }
    for (auto& view : views_) view->detach();
    menuViews_.clear();
    menuItems_.clear();
    if (hwnd()) RemovePropA(hwnd(), kControlTagProperty);
    tag_.reset();
    window_.reset();
}

// Menus: a bar of popups (or plain commands), each item with an ID of its own.
UniqueMenu FormWindow::buildMenus() {
    if (form_.menus().empty()) return UniqueMenu();
    UniqueMenu bar(CreateMenu());
    UINT position = 0;
    for (MenuItem* menu : form_.menus()) appendMenu(bar.get(), *menu, position++);
    return bar;
}

void FormWindow::appendMenu(HMENU into, MenuItem& item, UINT position) {
    if (item.separator()) {
        AppendMenuA(into, MF_SEPARATOR, 0, nullptr);
        return;
    }
    const UINT state = item.enabled() ? MF_ENABLED : MF_GRAYED;
    if (!item.children().empty()) {
        HMENU popup = CreatePopupMenu();
        UINT inner = 0;
        for (MenuItem* child : item.children()) appendMenu(popup, *child, inner++);
        AppendMenuA(into, MF_STRING | MF_POPUP | state, reinterpret_cast<UINT_PTR>(popup),
                    item.caption().c_str());
        menuViews_.push_back(std::make_unique<MenuView>(item, into, position, true, hwnd()));
        return;
    }
    const int id = nextMenuId_++;
    AppendMenuA(into, MF_STRING | state, static_cast<UINT_PTR>(id), item.caption().c_str());
    menuItems_[id] = &item;
    menuViews_.push_back(std::make_unique<MenuView>(item, into, id, false, hwnd()));
}

std::unique_ptr<ControlView> FormWindow::makeView(Control& control, ContainerWindow& into,
                                                  bool startsOptionGroup) {
    const int id = nextControlId_++;
    switch (control.kind()) {
    case ControlKind::Label:
        return std::make_unique<LabelView>(context_, into, static_cast<Label&>(control), id);
    case ControlKind::CommandButton:
        return std::make_unique<ButtonView>(context_, into, static_cast<CommandButton&>(control), id);
    case ControlKind::TextBox:
        return std::make_unique<TextBoxView>(context_, into, static_cast<TextBox&>(control), id);
    case ControlKind::CheckBox:
        return std::make_unique<CheckBoxView>(context_, into, static_cast<CheckBox&>(control), id);
    case ControlKind::OptionButton:
        return std::make_unique<OptionButtonView>(context_, into,
                                                  static_cast<OptionButton&>(control), id,
                                                  startsOptionGroup);
    case ControlKind::VScrollBar:
        return std::make_unique<ScrollBarView>(context_, into, static_cast<VScrollBar&>(control), id);
    case ControlKind::FileListBox:
        return std::make_unique<FileListView>(context_, into, static_cast<FileListBox&>(control), id);
    case ControlKind::DirListBox:
        return std::make_unique<DirListView>(context_, into, static_cast<DirListBox&>(control), id);
    case ControlKind::DriveListBox:
        return std::make_unique<DriveListView>(context_, into, static_cast<DriveListBox&>(control),
                                               id);
    case ControlKind::Frame:
        return std::make_unique<FrameView>(context_, into, static_cast<Frame&>(control), id);
    case ControlKind::PictureBox:
        return std::make_unique<PictureBoxView>(context_, into, static_cast<PictureBox&>(control), id);
    case ControlKind::ImageBox:
        if (control.parent() && control.parent()->kind() == ControlKind::PictureBox)
            return std::make_unique<CompositedImageView>(
                context_, static_cast<PictureBoxView&>(into), static_cast<ImageBox&>(control), id);
        return std::make_unique<ImageBoxView>(context_, into, static_cast<ImageBox&>(control), id);
    default:
        return nullptr;
    }
}

void FormWindow::build(Container& model, ContainerWindow& into) {
    // Tab order is creation order. The option buttons of one container are created together
    // where the first of them comes, so that they form one group of the dialog keys.
    std::vector<Control*> ordered(model.children());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    std::vector<Control*> sequence;
    bool optionsPlaced = false;
    for (Control* c : ordered) {
        if (c->kind() != ControlKind::OptionButton) {
            sequence.push_back(c);
        } else if (!optionsPlaced) {
            optionsPlaced = true;
            for (Control* o : ordered)
                if (o->kind() == ControlKind::OptionButton) sequence.push_back(o);
        }
    }

    bool firstOption = true;
    for (Control* c : sequence) {
        const bool option = c->kind() == ControlKind::OptionButton;
        auto view = makeView(*c, into, option && firstOption);
        if (option) firstOption = false;
        if (!view) continue;
        view->create();
        ContainerWindow* inner = view->asContainer();
        views_.push_back(std::move(view));
        if (inner) build(static_cast<Container&>(*c), *inner);
    }
    into.restack(model);
}

HWND FormWindow::controlWindow(const Control& control) const {
    if (&control == &form_) return hwnd();
    for (const auto& view : views_)
        if (&view->model() == &control) return view->handle();
    return nullptr;
}

RECT FormWindow::childPixels(const TwipsRect& rect) const {
    return TwipsToPixels(context_.screen, rect);
}

RECT FormWindow::outerPixels(bool withMenu) const {
    const TwipsRect& r = form_.rect();
    RECT outer{0, 0, context_.screen.pixelsX(r.width), context_.screen.pixelsY(r.height)};
    AdjustWindowRectAt(outer, style(), withMenu, extendedStyle(), context_.screen.dpiY);
    OffsetRect(&outer, context_.screen.pixelsX(r.left) - outer.left,
               context_.screen.pixelsY(r.top) - outer.top);
    return outer;
}

void FormWindow::fitClient() {
    // A menu bar that wraps takes client height; the form keeps the inner size it was given.
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int wantW = context_.screen.pixelsX(form_.rect().width);
    const int wantH = context_.screen.pixelsY(form_.rect().height);
    const int dw = wantW - client.right, dh = wantH - client.bottom;
    if (dw == 0 && dh == 0) return;
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::reportFrameSize() {
    RECT outer{}, client{};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    form_.setFrameSize(context_.screen.twipsX((outer.right - outer.left) - client.right),
                       context_.screen.twipsY((outer.bottom - outer.top) - client.bottom));
}

void FormWindow::artworkChanged() {
    canvas_.invalidate();
    // Transparent labels and empty image boxes show the artwork too.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::onPaint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    canvas_.copyTo(dc, client, POINT{0, 0}, form_, context_.screen, SIZE{client.right, client.bottom});
}

bool FormWindow::paintBackdrop(HDC dc, HWND child) {
    if (!paints() || GetParent(child) != hwnd()) return false;
    RECT client{}, area{};
    GetClientRect(hwnd(), &client);
    GetClientRect(child, &area);
    POINT origin{0, 0};
    MapWindowPoints(child, hwnd(), &origin, 1);
    canvas_.copyTo(dc, area, origin, form_, context_.screen, SIZE{client.right, client.bottom});
    // The image boxes and transparent labels behind the child show through it, back to front,
    // with their pictures and captions.
    const ControlView* above = ControlView::Of(child);
    for (const Control* sibling : form_.children()) {
        if (above && sibling == &above->model()) break;
        const bool image = sibling->kind() == ControlKind::ImageBox;
        const bool label = sibling->kind() == ControlKind::Label &&
                           static_cast<const Label*>(sibling)->backStyle() == Label::BackStyle::Transparent;
        if ((!image && !label) || !sibling->visible()) continue;
        for (ControlView* view : childViews()) {
            if (&view->model() != sibling || !view->handle()) continue;
            POINT at{0, 0};
            MapWindowPoints(view->handle(), child, &at, 1);
            if (image)
                static_cast<ImageBoxView*>(view)->paintAt(dc, at);
            else
                static_cast<LabelView*>(view)->paintCaptionAt(dc, at);
        }
    }
    return true;
}

bool FormWindow::onButtonDown(int button, int shift, POINT at) {
    if (!form_.onMouseDown && !form_.onMouseMove) return false;
    // Captured while a button is down, so that a drag that leaves the window goes on.
    SetCapture(hwnd());
    form_.mouseDown(button, shift, context_.screen.twipsX(at.x),
                    context_.screen.twipsY(at.y));
    return true;
}

bool FormWindow::onMouseMoved(int buttons, int shift, POINT at) {
    if (!form_.onMouseMove) return false;
    form_.mouseMove(buttons, shift, context_.screen.twipsX(at.x),
                    context_.screen.twipsY(at.y));
    return true;
}

void FormWindow::onButtonUp(int buttons) {
    if (buttons == 0 && GetCapture() == hwnd()) ReleaseCapture();
}

bool FormWindow::onSystemKey(bool character, int key) {
    // Alt with a letter on a form without a menu bar is a key for the form's own handler: the
    // character would only make the system beep, and releasing Alt on a borderless window
    // would open its system menu, which takes the next keys.
    if (!form_.menus().empty()) return false;
    if (character) return true;
    return form_.borderStyle() == Form::Border::None && key == VK_MENU;
}

void FormWindow::onMoved() {
    if (!attached_ || IsIconic(hwnd())) return;
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    followingWindow_ = true;
    form_.move(context_.screen.twipsX(outer.left), context_.screen.twipsY(outer.top));
    followingWindow_ = false;
}

void FormWindow::showWindow(bool visible) {
    if (!visible) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    if (!shownOnce_) {
        shownOnce_ = true;
        if (form_.centred()) {
            RECT work{}, outer{};
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            GetWindowRect(hwnd(), &outer);
            const int w = outer.right - outer.left, h = outer.bottom - outer.top;
            SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - w) / 2,
                         work.top + (work.bottom - work.top - h) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ShowWindow(hwnd(), SW_SHOW);
}

void FormWindow::propertyChanged(Property what) {
    if (!hwnd()) return;
    switch (what) {
    case Property::Caption:
        SetWindowTextA(hwnd(), form_.caption().c_str());
        break;
    case Property::Visible:
        showWindow(form_.visible());
        break;
    case Property::Enabled:
        EnableWindow(hwnd(), form_.enabled() ? TRUE : FALSE);
        break;
    case Property::Rect: {
        if (followingWindow_) break;
        const RECT outer = outerPixels(GetMenu(hwnd()) != nullptr);
        SetWindowPos(hwnd(), nullptr, outer.left, outer.top, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
        fitClient();
        break;
    }
    case Property::ZOrder:
        BringWindowToTop(hwnd());
        break;
    case Property::TopMost:
        SetWindowPos(hwnd(), form_.topMost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    case Property::Picture:
    case Property::BackColor:
    case Property::Drawing:
        artworkChanged();
        break;
    default:
        break;
    }
}

void FormWindow::onCommand(int id, int code, HWND from) {
    if (from) {
        ContainerWindow::onCommand(id, code, from);
        return;
    }
    // The dialog keys: Enter and Esc arrive as IDOK and IDCANCEL; control and menu IDs
    // never take those values.
    if (id == IDOK) {
        form_.pressKey(Form::Key::Enter);
    } else if (id == IDCANCEL) {
        form_.pressKey(Form::Key::Escape);
    } else if (auto it = menuItems_.find(id); it != menuItems_.end()) {
        it->second->pick();
    }
}

bool FormWindow::onClose() {
    // A form without an unload handler closes like any window: its windows go.
    if (form_.onUnload)
        form_.requestClose();
    else
        host_.unload(form_);
    return true;
}

bool FormWindow::onActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
        return false;
    }
    return onFocus();
}

bool FormWindow::onFocus() {
    HWND target = lastFocus_;
    if (!target || !IsWindow(target) || !IsChild(hwnd(), target) || !IsWindowEnabled(target) ||
        !IsWindowVisible(target))
        target = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
    if (!target) return false;
    SetFocus(target);
    return true;
}

} // namespace tess::ui::win32

// Control windows and their containers: placing, tagging, the common properties, and the
// routing of a standard control's notifications back to its view.
#include "ui/win32/win32_control_view.h"

#include "ui/win32/win32_control_windows.h"

namespace tess::ui::win32 {

namespace {

constexpr const char* kViewProperty = "TessView";

} // namespace

RECT TwipsToPixels(const ScreenMeasure& screen, const TwipsRect& r) {
    const int left = screen.pixelsX(r.left), top = screen.pixelsY(r.top);
    return RECT{left, top, left + screen.pixelsX(r.width), top + screen.pixelsY(r.height)};
}

void ContainerWindow::placeChildren() {
    for (ControlView* child : children_) child->place();
}

void ContainerWindow::restack(const Container& model) {
    const auto& order = model.children();
    // Front-most first, each sent to the bottom: the last one sent is the back-most.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const Control* c = *it;
        if (c->kind() != ControlKind::Label && c->kind() != ControlKind::ImageBox) continue;
        for (ControlView* view : children_)
            if (&view->model() == c && view->handle())
                SetWindowPos(view->handle(), HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void ContainerWindow::onCommand(int, int code, HWND from) {
    if (ControlView* view = ControlView::Of(from)) view->notified(code);
}

void ContainerWindow::onVerticalScroll(int code, int position, HWND bar) {
    if (ControlView* view = ControlView::Of(bar)) view->scrolled(code, position);
}

ControlView::ControlView(const BindingContext& context, ContainerWindow& parent, Control& model,
                         int id)
    : context_(context), parent_(parent), control_(model), id_(id) {
    control_.setPeer(this);
    parent_.addChild(*this);
}

ControlView::~ControlView() { detach(); }

ControlView* ControlView::Of(HWND window) {
    if (!window) return nullptr;
    return static_cast<ControlView*>(GetPropA(window, kViewProperty));
}

void ControlView::adopt(HWND window) {
    handle_ = window;
    if (!window) return;
    // Members of a control array are told apart by their index: "Option1(2)".
    const std::string tag = control_.index() < 0
                                ? control_.name()
                                : control_.name() + "(" + std::to_string(control_.index()) + ")";
    tag_.reset(GlobalAddAtomA(tag.c_str()));
    SetPropA(window, kControlTagProperty,
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(tag_.get())));
    SetPropA(window, kViewProperty, this);
    WindowRef(window).setFont(context_.font, false);
}

bool ControlView::createStandard(const char* className, DWORD exStyle, const std::string& text,
                                 DWORD style) {
    const RECT r = placement();
    adopt(CreateWindowExA(exStyle, className, text.c_str(), childStyle() | style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, parent_.hwnd(), idAsMenu(),
                          GetModuleHandleA(nullptr), nullptr));
    return handle_ != nullptr;
}

void ControlView::detach() {
    if (attached_) {
        control_.setPeer(nullptr);
        attached_ = false;
    }
    if (handle_ && IsWindow(handle_)) {
        RemovePropA(handle_, kControlTagProperty);
        RemovePropA(handle_, kViewProperty);
    }
    tag_.reset();
}

DWORD ControlView::childStyle() const {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (control_.visible()) style |= WS_VISIBLE;
    if (!control_.enabled()) style |= WS_DISABLED;
    return style;
}

void ControlView::showBorder(bool on) {
    if (!handle_) return;
    LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    style = on ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(handle_, GWL_STYLE, style);
    // The system reads a changed frame style only when told to.
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void ControlView::place() {
    if (handle_) {
        const RECT r = placement();
        RECT now{};
        GetWindowRect(handle_, &now);
        MapWindowPoints(HWND_DESKTOP, parent_.hwnd(), reinterpret_cast<POINT*>(&now), 2);
        if (!EqualRect(&now, &r))
            MoveWindow(handle_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    if (ContainerWindow* self = asContainer()) self->placeChildren();
}

void ControlView::dpiChanged() {
    if (handle_) WindowRef(handle_).setFont(context_.font, false);
    showDpi();
    place();
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void ControlView::propertyChanged(Property what) {
    if (!handle_) {
        show(what);
        return;
    }
    Showing showing(*this);
    switch (what) {
    case Property::Rect:
        place();
        break;
    case Property::Enabled:
        EnableWindow(handle_, control_.enabled() ? TRUE : FALSE);
        break;
    case Property::Visible:
        ShowWindow(handle_, control_.visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case Property::ZOrder: {
        const ControlKind kind = control_.kind();
        const Container* container = control_.parent();
        if (container && (kind == ControlKind::Label || kind == ControlKind::ImageBox)) {
            parent_.restack(*container);
            break;
        }
        const bool back = container && !container->children().empty() &&
                          container->children().front() == &control_;
        SetWindowPos(handle_, back ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (back && container) parent_.restack(*container);
        break;
    }
    default:
        break;
    }
    show(what);
}

} // namespace tess::ui::win32

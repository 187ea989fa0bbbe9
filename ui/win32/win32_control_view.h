// The base of every control's real window: the link between a model control and its window
// (tag, control ID, routing of notifications, echo suppression) and the containers that hold them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/controls.h"
#include "ui/win32/control_tag.h"
#include "ui/win32/win32_metrics.h"
#include "ui/win32/win32_window.h"

namespace tess::ui::win32 {

// What every window of one binding shares.
struct BindingContext {
    ScreenMeasure screen;
    HFONT font = nullptr;
};

class ControlView;

// A rectangle in twips as whole pixels of the screen: each value rounded on its own.
RECT TwipsToPixels(const ScreenMeasure& screen, const TwipsRect& rect);

// A window that holds control windows: it places them in its own units and routes the
// notifications the standard controls send their parent to the control's view.
class ContainerWindow : public WindowBase {
public:
    // A child's rectangle in this window's client pixels.
    virtual RECT childPixels(const TwipsRect& rect) const = 0;
    void addChild(ControlView& child) { children_.push_back(&child); }
    const std::vector<ControlView*>& childViews() const { return children_; }
    // Moves every child window to where its rectangle now maps.
    void placeChildren();
    // Puts the windows of the model's labels and image boxes beneath the other controls (whose
    // order is the tab order), in the model's order among themselves.
    void restack(const Container& model);
    // A child drawn into this container's own image changed.
    virtual void childImageChanged() {}

protected:
    void onCommand(int id, int code, HWND from) override;
    void onVerticalScroll(int code, int position, HWND bar) override;

private:
    std::vector<ControlView*> children_;
};

class ControlView : public ControlPeer {
public:
    ControlView(const BindingContext& context, ContainerWindow& parent, Control& model, int id);
    ~ControlView() override;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    Control& model() const { return control_; }
    // The control's window, null for a control drawn into its container's image. The
    // container's window owns it.
    HWND handle() const { return handle_; }
    int id() const { return id_; }

    virtual void create() = 0;
    // The container this view is, if any.
    virtual ContainerWindow* asContainer() { return nullptr; }

    void propertyChanged(Property what) final;
    // Notifications the standard control sends to its parent (BN_CLICKED, EN_CHANGE, ...).
    virtual void notified(int) {}
    virtual void scrolled(int, int) {}

    void place();
    // The binding context's DPI and font changed: the window takes the font, shows again what
    // depends on the DPI and moves to where its rectangle now maps.
    void dpiChanged();
    // Cuts the link to the model and removes the window's tag; the window itself goes with
    // its top-level window.
    void detach();

    // The view of a control window, or null.
    static ControlView* Of(HWND window);

protected:
    // Shows a change of a property the base does not handle itself.
    virtual void show(Property) {}
    // Remakes what the view drew or made for the old DPI (fonts of its own, images).
    virtual void showDpi() {}
    // Binds a created window: tag, routing, font.
    void adopt(HWND window);
    // Creates a window of a system class (STATIC, BUTTON, ...) at the view's place in its
    // container, with the view's ID, `style` added to childStyle(), and binds it; whether the
    // system made it.
    bool createStandard(const char* className, DWORD exStyle, const std::string& text,
                        DWORD style);
    // WS_CHILD with the model's visibility and enabled state.
    DWORD childStyle() const;
    // Adds or removes the flat one-pixel border of a window already made; the client area
    // shrinks or grows by it.
    void showBorder(bool on);
    virtual RECT placement() const { return parent_.childPixels(control_.rect()); }
    HMENU idAsMenu() const { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)); }

    // While a view shows the model's value in its window, the notifications this causes are
    // not the user's.
    class Showing {
    public:
        explicit Showing(ControlView& view) : view_(view) { ++view_.showing_; }
        ~Showing() { --view_.showing_; }
        Showing(const Showing&) = delete;
        Showing& operator=(const Showing&) = delete;

    private:
        ControlView& view_;
    };
    bool showingModel() const { return showing_ > 0; }

    const BindingContext& context_;
    ContainerWindow& parent_;

private:
    Control& control_;
    int id_;
    HWND handle_ = nullptr;
    platform::win32::UniqueGlobalAtom tag_;
    int showing_ = 0;
    bool attached_ = true;
};

// The view of one kind of control, which holds its model as that kind: a view states only its
// window's creation and what it shows of the model and hands back to it.
template <typename Model>
class ViewOf : public ControlView {
public:
    ViewOf(const BindingContext& context, ContainerWindow& parent, Model& model, int id)
        : ControlView(context, parent, model, id), model_(model) {}

protected:
    Model& model_;
};

} // namespace tess::ui::win32

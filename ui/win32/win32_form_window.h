// A form's real windows: the top-level window with its menu bar and artwork, and the views of
// all its controls built from the model's tree; the form's own notifications, mouse, keys and
// close box.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "ui/win32/win32_control_view.h"
#include "ui/win32/win32_form_canvas.h"

namespace tess::ui::win32 {

class Win32Host;

// One item of a menu bar: shows the model's enabled state.
class MenuView : public ControlPeer {
public:
    // `byPosition`: the item is a popup, addressed by its position in `owner`.
    MenuView(MenuItem& item, HMENU owner, UINT idOrPosition, bool byPosition, HWND form);
    ~MenuView() override { item_.setPeer(nullptr); }
    MenuView(const MenuView&) = delete;
    MenuView& operator=(const MenuView&) = delete;
    void setForm(HWND form) { form_ = form; }
    void propertyChanged(Property what) override;

private:
    MenuItem& item_;
    HMENU owner_;
    UINT idOrPosition_;
    bool byPosition_;
    HWND form_;
};

class FormWindow : public ContainerWindow, public ControlPeer {
public:
    // `context`: the screen and font of the system's DPI, which the window changes for its
    // monitor's once it is made and whenever it moves to a monitor of another DPI.
    FormWindow(Win32Host& host, BindingContext context, Form& form);
    ~FormWindow() override;

    // Creates the top-level window (hidden) and all control windows; false when the system
    // refused the top-level window.
    bool create();
    // Cuts every link to the model and destroys the windows; the object may then be freed.
    void close();

    Form& model() const { return form_; }
    const ScreenMeasure& screen() const { return context_.screen; }
    HWND controlWindow(const Control& control) const;

    RECT childPixels(const TwipsRect& rect) const override;
    void propertyChanged(Property what) override;

private:
    void build(Container& model, ContainerWindow& into);
    std::unique_ptr<ControlView> makeView(Control& control, ContainerWindow& into,
                                          bool startsOptionGroup);
    platform::win32::UniqueMenu buildMenus();
    void appendMenu(HMENU into, MenuItem& item, UINT position);
    void showWindow(bool visible);
    // The window's outer rectangle on the screen: the model's position, and its inner size with
    // the frame (and a menu bar of one line) around it.
    RECT outerPixels(bool withMenu) const;
    void fitClient();
    void reportFrameSize();
    void artworkChanged();
    void loadIcons();
    // Lays the window out at a DPI: its font chosen again for it, every control's font, place
    // and pictures, the window's icons and its frame; then the outer rectangle, if one is given,
    // with the client area made the form's size at that DPI.
    void applyDpi(int dpi, const RECT* outer);
    DWORD style() const;
    DWORD extendedStyle() const;

    void onCommand(int id, int code, HWND from) override;
    bool onClose() override;
    bool onActivate(bool active) override;
    bool onFocus() override;
    void onDestroyed() override { window_.release(); }
    bool paints() const override { return FormCanvas::Shows(form_); }
    void onPaint(HDC dc) override;
    bool onEraseBackground(HDC) override { return paints(); }
    bool paintBackdrop(HDC dc, HWND child) override;
    bool onButtonDown(int button, int shift, POINT at) override;
    bool onMouseMoved(int buttons, int shift, POINT at) override;
    void onButtonUp(int buttons) override;
    bool onSystemKey(bool character, int key) override;
    void onMoved() override;
    bool onDpiChanged(int dpi, const RECT& suggested) override;

    Win32Host& host_;
    // The views of the controls hold this by reference, and see it change with the DPI.
    BindingContext context_;
    Form& form_;
    platform::win32::UniqueWindow window_;
    platform::win32::UniqueGlobalAtom tag_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::vector<std::unique_ptr<MenuView>> menuViews_;
    std::map<int, MenuItem*> menuItems_;
    int nextControlId_ = 100;
    int nextMenuId_ = 30000;
    bool shownOnce_ = false;
    bool attached_ = false;
    HWND lastFocus_ = nullptr;
    FormCanvas canvas_;
    // Set while the model's position is taken from the window, so that it is not sent back.
    bool followingWindow_ = false;
};

} // namespace tess::ui::win32

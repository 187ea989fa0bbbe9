// Views of the controls the binding draws itself: frames (group-box containers), picture
// boxes painted from their retained surface with their image boxes composited in, and image
// boxes with a window of their own.
#pragma once

#include <cstdint>
#include <vector>

#include "core/surface.h"
#include "ui/win32/win32_control_view.h"

namespace tess::ui::win32 {

// A top-down 32-bit image ready for the screen.
struct ScreenImage {
    int width = 0, height = 0;
    std::vector<uint32_t> bgrx;

    static ScreenImage Of(const Surface& surface);
    // Stretches the image over `dest`.
    void paint(HDC dc, const RECT& dest) const;
};

class FrameView : public ViewOf<Frame>, public ContainerWindow {
public:
    using ViewOf::ViewOf;
    void create() override;
    ContainerWindow* asContainer() override { return this; }
    RECT childPixels(const TwipsRect& rect) const override;

private:
    void show(Property what) override;
    bool paints() const override { return true; }
    void onPaint(HDC dc) override;
    void onEnableChanged() override { InvalidateRect(hwnd(), nullptr, TRUE); }
};

// A picture box: its surface stretched over the inner client area, image boxes placed in it
// drawn into a copy of the surface, other children placed in the surface's units.
class PictureBoxView : public ViewOf<PictureBox>, public ContainerWindow {
public:
    using ViewOf::ViewOf;
    void create() override;
    ContainerWindow* asContainer() override { return this; }
    RECT childPixels(const TwipsRect& rect) const override;
    void childImageChanged() override;

    // What the box shows: the surface with the image boxes drawn on it (composed again only
    // after a change, and only when asked for).
    const ScreenImage& image();

private:
    void show(Property what) override;
    void showDpi() override { childImageChanged(); }
    bool paints() const override { return true; }
    void onPaint(HDC dc) override;
    bool onEraseBackground(HDC) override { return true; }
    HBRUSH onControlColour(HDC dc, HWND control) override;
    void onMouseUp(POINT at) override;
    void onDoubleClick(POINT at) override;
    // The units of the box's scale per client pixel on each axis.
    bool unitsPerPixel(double& x, double& y) const;
    ImageBox* imageAt(POINT at) const;

    ScreenImage image_;
    bool stale_ = true;
    platform::win32::UniqueBrush backBrush_;
    ColorRef backBrushColour_ = -1;
    bool afterDoubleClick_ = false;
};

// An image box outside picture boxes: its picture over what lies beneath it (the container's
// artwork where it has some, else the button face).
class ImageBoxView : public ViewOf<ImageBox>, public WindowBase {
public:
    using ViewOf::ViewOf;
    void create() override;
    // Paints what the box shows into `dc` with its top left at `origin`.
    void paintAt(HDC dc, POINT origin);

private:
    const ScreenImage& composed();
    void show(Property what) override;
    void showDpi() override { stale_ = true; }
    bool paints() const override { return true; }
    void onPaint(HDC dc) override;
    bool onEraseBackground(HDC) override { return true; }
    void onMouseUp(POINT at) override;
    void onDoubleClick(POINT at) override;

    ScreenImage image_;
    bool stale_ = true;
    // Whether the image holds the container's artwork, which may change without the box.
    bool overArtwork_ = false;
    bool afterDoubleClick_ = false;
};

// An image box inside a picture box: no window; the picture box draws it.
class CompositedImageView : public ViewOf<ImageBox> {
public:
    CompositedImageView(const BindingContext& c, PictureBoxView& p, ImageBox& model, int id)
        : ViewOf(c, p, model, id), box_(p) {}
    void create() override {}

private:
    void show(Property) override { box_.childImageChanged(); }
    PictureBoxView& box_;
};

} // namespace tess::ui::win32

// The picture box (a container with a retained surface, a back colour and a picture) and the
// image box that shows a picture, stretched or at its natural size.
#pragma once

#include <functional>
#include <memory>

#include "core/color.h"
#include "core/picture.h"
#include "core/result.h"
#include "core/surface.h"
#include "ui/control.h"

namespace tess::ui {

// A drawing surface with a retained image, a back colour, and (for a self-sizing box) the
// picture assigned to it. Its scale is twips unless the logic gives the surface one of its own.
class PictureBox : public Container {
public:
    PictureBox(Container* parent, std::string name, TwipsRect rect, ColorRef backColor);
    ColorRef backColor() const { return backColor_; }
    // Sets the back colour and fills the box with it, even when the colour stays the same (the
    // fill is a change of the image, as clear is); -1 is refused with an error.
    Status setBackColor(ColorRef colour);
    bool border() const { return border_; }
    void setBorder(bool on);

    // The retained image; the logic draws on it and then calls refresh.
    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }
    void setSurface(Surface surface);
    void refresh() { notify(Property::Image); }
    void clear();

    // The picture assigned to the box: a self-sizing box takes its size in twips at the
    // screen's twips per pixel.
    const std::shared_ptr<const Picture>& picture() const { return picture_; }
    void setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; }
    std::function<void()> onClick;

private:
    ColorRef backColor_;
    bool border_ = false;
    bool autoSize_ = false;
    Surface surface_;
    std::shared_ptr<const Picture> picture_;
};

// Shows a picture, stretched to the box or at its natural size; transparent parts of the
// picture let what lies below show.
class ImageBox : public Control {
public:
    ImageBox(Container* parent, std::string name, TwipsRect rect, bool stretch, int index = -1);
    bool stretch() const { return stretch_; }
    bool border() const { return border_; }
    void setBorder(bool on);
    const std::shared_ptr<const Picture>& picture() const { return picture_; }
    // A box that does not stretch takes the picture's natural size in twips.
    void setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel);
    bool press() { return clickInput(onClick); }
    std::function<void()> onClick;
    std::function<void()> onDblClick;

private:
    bool stretch_;
    bool border_ = false;
    std::shared_ptr<const Picture> picture_;
};

} // namespace tess::ui

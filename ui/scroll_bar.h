// The vertical scroll bar: a clamped value with its line and page steps, and the gestures of
// its arrows, page areas and thumb.
#pragma once

#include <functional>

#include "ui/control.h"

namespace tess::ui {

// A vertical scroll bar: the minimum at the top. Values are clamped to the range.
class VScrollBar : public Control {
public:
    VScrollBar(Container* parent, std::string name, TwipsRect rect, int min, int max,
               int smallChange, int largeChange, int value);
    int min() const { return min_; }
    int max() const { return max_; }
    int smallChange() const { return small_; }
    int largeChange() const { return large_; }
    int value() const { return value_; }
    // Clamps to the range and runs onChange when the value really changes.
    void setValue(int value);

    // The user's gestures. Arrows and page clicks change the value and fire Change; dragging
    // the thumb moves the value and fires Scroll, and the release fires Change once.
    bool lineBy(int direction);   // -1 up, +1 down
    bool pageBy(int direction);
    bool dragTo(int value);
    bool release();

    std::function<void()> onChange;
    std::function<void()> onScroll;

private:
    int clamp(int v) const;
    int min_, max_, small_, large_, value_;
    bool dragging_ = false;
    int dragStart_ = 0;
};

} // namespace tess::ui

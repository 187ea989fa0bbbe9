// The drag arithmetic of the setup window: the free position that follows the pointer, the four
// edges caught, held and let go in a fixed order, and the result rounded to whole pixels.
#include "window_drag.h"

#include <cmath>

#include "core/number_rules.h"

namespace tess::installer {

namespace {

// One edge's exclusive choice for this move. A free edge within reach is caught: the window
// jumps to `caughtAt`. A held edge stays at `heldAt` (where the window is now) while within
// reach, and is let go by the first move beyond it, leaving `position` as it was.
void ApplyEdge(bool& snapped, double distance, double caughtAt, double heldAt, double& position) {
    const bool withinReach = std::fabs(distance) <= kSnapDistanceTwips;
    if (snapped) {
        if (withinReach)
            position = heldAt;
        else
            snapped = false;
    } else if (withinReach) {
        position = caughtAt;
        snapped = true;
    }
}

} // namespace

Status PressForDrag(DragState& state, float x, float y) {
    const auto roundedY = ToInt32(y);
    if (!roundedY)
        return roundedY.error();
    state.dragX = x;
    state.dragY = roundedY.value();
    return Status::Ok();
}

Result<std::optional<WindowPixels>> MoveForDrag(DragState& state, int16_t button, float x,
                                                float y, const WindowTwips& window,
                                                const ScreenTwips& screen) {
    if (button != kLeftButtonOnly)
        return std::optional<WindowPixels>{};
    if (x == state.dragX && static_cast<double>(y) - state.dragY == 0)
        return std::optional<WindowPixels>{};
    if (!(screen.twipsPerPixelX > 0) || !(screen.twipsPerPixelY > 0))
        return Error{ErrorCode::InvalidArgument, "The screen's twips per pixel must be positive"};

    // Horizontal positions are single precision like the pointer's; vertical ones whole twips.
    const double freeLeft = Single(window.left + Single(static_cast<double>(x) - state.dragX));
    const auto freeTop = ToInt32(window.top + (static_cast<double>(y) - state.dragY));
    if (!freeTop)
        return freeTop.error();
    const double distRight = Single(screen.width - Single(freeLeft + window.width));
    const auto distBottom = ToInt32(screen.height - (freeTop.value() + window.height));
    if (!distBottom)
        return distBottom.error();
    const auto flushBottom = ToInt32(screen.height - window.height);
    if (!flushBottom)
        return flushBottom.error();

    // The flags change only once the whole move has succeeded.
    DragState next = state;
    double newLeft = freeLeft;
    double newTop = freeTop.value();
    ApplyEdge(next.snapBottom, distBottom.value(), flushBottom.value(), window.top, newTop);
    ApplyEdge(next.snapTop, freeTop.value(), 0, window.top, newTop);
    ApplyEdge(next.snapRight, distRight, Single(screen.width - window.width), window.left,
              newLeft);
    ApplyEdge(next.snapLeft, freeLeft, 0, window.left, newLeft);

    const auto left = ToInt32(newLeft / screen.twipsPerPixelX);
    const auto top = ToInt32(newTop / screen.twipsPerPixelY);
    const auto width = ToInt32(window.width / screen.twipsPerPixelX);
    const auto height = ToInt32(window.height / screen.twipsPerPixelY);
    for (const auto* part : {&left, &top, &width, &height})
        if (!*part)
            return part->error();
    state = next;
    return std::optional<WindowPixels>{
        WindowPixels{left.value(), top.value(), width.value(), height.value()}};
}

} // namespace tess::installer

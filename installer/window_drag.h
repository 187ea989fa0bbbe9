// Dragging the borderless setup window by its background or page text, with each window edge
// snapping flush to the screen edge it comes near and held there until pulled clearly away.
#pragma once

#include <cstdint>
#include <optional>

#include "core/result.h"

namespace tess::installer {

// How near (in twips) an edge must come to catch, and how far it must be pulled to let go.
inline constexpr double kSnapDistanceTwips = 300;

// The mouse button value of the left button alone; any other value does not drag.
inline constexpr int16_t kLeftButtonOnly = 1;

// Where the last press happened and which edges are held. Lives for the whole run: the flags
// are changed only by moves, never by a press or a release.
struct DragState {
    float dragX = 0;       // press position, in the pressed surface's coordinates
    int32_t dragY = 0;     // the same, rounded to a whole twip
    bool snapBottom = false;
    bool snapTop = false;
    bool snapRight = false;
    bool snapLeft = false;
};

// The window's outer rectangle in twips.
struct WindowTwips {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The screen's size in twips and the twips of one pixel along each axis.
struct ScreenTwips {
    double width = 0;
    double height = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
};

// The window's new outer rectangle in pixels, ready for SetWindowPos.
struct WindowPixels {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    friend bool operator==(const WindowPixels&, const WindowPixels&) = default;
};

// A press with any button on the background or the page text: remembers where it happened.
// Fails only when Y does not fit a 32-bit integer.
Status PressForDrag(DragState& state, float x, float y);

// A pointer move over the background or the page text. Returns where the window goes, or
// nothing when it stays put (another button than the left alone, or no movement). Fails when a
// position does not fit a 32-bit integer or a twips-per-pixel value is zero.
Result<std::optional<WindowPixels>> MoveForDrag(DragState& state, int16_t button, float x,
                                                float y, const WindowTwips& window,
                                                const ScreenTwips& screen);

} // namespace tess::installer

// Dragging the setup window: the free move, catching an edge at 300 twips but not at 301,
// holding and letting go, corners, which edge wins when two apply, buttons, and rounding.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "installer/window_drag.h"

namespace tess::installer {
void PrintTo(const WindowPixels& p, std::ostream* out) {
    *out << "{" << p.left << ", " << p.top << ", " << p.width << ", " << p.height << "}";
}
} // namespace tess::installer

using namespace tess;
using namespace tess::installer;

namespace {

// A 1024 × 768 screen at 15 twips a pixel and the setup window's outer size.
const ScreenTwips kScreen{15360, 11520, 15, 15};
constexpr double kWidth = 5325;
constexpr double kHeight = 3510;

WindowTwips At(double left, double top) { return {left, top, kWidth, kHeight}; }

// Presses at (1000, 1000) in the pressed surface and moves the pointer by (dx, dy) with the
// left button, the window being at `window`. Returns the placement, failing the test on error.
std::optional<WindowPixels> Drag(DragState& state, const WindowTwips& window, double dx,
                                 double dy, const ScreenTwips& screen = kScreen) {
    EXPECT_TRUE(PressForDrag(state, 1000, 1000).ok());
    auto moved = MoveForDrag(state, kLeftButtonOnly, static_cast<float>(1000 + dx),
                             static_cast<float>(1000 + dy), window, screen);
    EXPECT_TRUE(moved.ok());
    return moved.ok() ? moved.value() : std::nullopt;
}

// A further move of the same drag: the pointer now (dx, dy) from where it was pressed.
std::optional<WindowPixels> Continue(DragState& state, const WindowTwips& window, double dx,
                                     double dy) {
    auto moved = MoveForDrag(state, kLeftButtonOnly, static_cast<float>(1000 + dx),
                             static_cast<float>(1000 + dy), window, kScreen);
    EXPECT_TRUE(moved.ok());
    return moved.ok() ? moved.value() : std::nullopt;
}

} // namespace

TEST(WindowDrag, FollowsThePointerAwayFromTheEdges) {
    DragState state;
    EXPECT_EQ(Drag(state, At(3000, 3000), 150, -300), (WindowPixels{210, 180, 355, 234}));
    EXPECT_FALSE(state.snapLeft || state.snapTop || state.snapRight || state.snapBottom);

    // A press on the page text has its own origin; only the difference moves the window.
    ASSERT_TRUE(PressForDrag(state, 40, 25).ok());
    auto moved = MoveForDrag(state, kLeftButtonOnly, 70, 55, At(3000, 3000), kScreen);
    ASSERT_TRUE(moved.ok());
    EXPECT_EQ(moved.value(), (WindowPixels{202, 202, 355, 234}));
}

TEST(WindowDrag, AnEdgeIsCaughtAt300TwipsButNotAt301FromEitherSide) {
    struct Case {
        const char* edge;
        double freeLeft, freeTop;
        WindowPixels expected;
    };
    const double farRight = kScreen.width - kWidth;   // 10035: flush right
    const double farBottom = kScreen.height - kHeight;  // 8010: flush bottom
    const Case cases[] = {
        {"left inside", 300, 3000, {0, 200, 355, 234}},
        {"left inside, free", 301, 3000, {20, 200, 355, 234}},
        {"left outside", -300, 3000, {0, 200, 355, 234}},
        {"left outside, free", -301, 3000, {-20, 200, 355, 234}},
        {"top inside", 3000, 300, {200, 0, 355, 234}},
        {"top inside, free", 3000, 301, {200, 20, 355, 234}},
        {"top outside", 3000, -300, {200, 0, 355, 234}},
        {"right", farRight - 300, 3000, {669, 200, 355, 234}},
        {"right, free", farRight - 301, 3000, {649, 200, 355, 234}},
        {"right beyond", farRight + 300, 3000, {669, 200, 355, 234}},
        {"bottom", 3000, farBottom - 300, {200, 534, 355, 234}},
        {"bottom, free", 3000, farBottom - 301, {200, 514, 355, 234}},
        {"bottom beyond", 3000, farBottom + 300, {200, 534, 355, 234}},
    };
    for (const Case& c : cases) {
        DragState state;
        EXPECT_EQ(Drag(state, At(3000, 3000), c.freeLeft - 3000, c.freeTop - 3000), c.expected)
            << c.edge;
    }
}

TEST(WindowDrag, AHeldEdgeStaysUntilTheFirstMoveBeyond300) {
    DragState state;
    ASSERT_EQ(Drag(state, At(600, 3000), -400, 0), (WindowPixels{0, 200, 355, 234}));
    ASSERT_TRUE(state.snapLeft);

    // The window jumped to 0, so the pointer is now 200 twips right of where it was pressed.
    // Pulling on to 300 keeps the window there, while the other axis still follows.
    EXPECT_EQ(Continue(state, At(0, 3000), 300, 45), (WindowPixels{0, 203, 355, 234}));
    EXPECT_TRUE(state.snapLeft);
    EXPECT_EQ(Continue(state, At(0, 3045), 315, 0), (WindowPixels{21, 203, 355, 234}));
    EXPECT_FALSE(state.snapLeft);
    // Free again: the next move within reach catches it anew.
    EXPECT_EQ(Continue(state, At(315, 3045), -15, 0), (WindowPixels{0, 203, 355, 234}));
    EXPECT_TRUE(state.snapLeft);

    // A new press does not free a held edge: a window 15 twips from the edge stays put rather
    // than being caught flush.
    EXPECT_EQ(Drag(state, At(15, 3045), 285, 0), (WindowPixels{1, 203, 355, 234}));
    EXPECT_TRUE(state.snapLeft);
}

TEST(WindowDrag, ACornerSnapsBothEdges) {
    DragState state;
    const double flushRight = kScreen.width - kWidth;
    const double flushBottom = kScreen.height - kHeight;
    EXPECT_EQ(Drag(state, At(5000, 5000), flushRight - 200 - 5000, flushBottom + 100 - 5000),
              (WindowPixels{669, 534, 355, 234}));
    EXPECT_TRUE(state.snapRight && state.snapBottom);
    EXPECT_FALSE(state.snapLeft || state.snapTop);

    DragState topLeft;
    EXPECT_EQ(Drag(topLeft, At(3000, 3000), -2850, -3250), (WindowPixels{0, 0, 355, 234}));
    EXPECT_TRUE(topLeft.snapLeft && topLeft.snapTop);
}

TEST(WindowDrag, TopWinsOverBottomAndLeftOverRight) {
    // A screen barely larger than the window: both edges of each axis are within reach.
    const ScreenTwips small{kWidth + 75, kHeight + 90, 15, 15};
    DragState state;
    EXPECT_EQ(Drag(state, At(1000, 1000), -955, -960, small), (WindowPixels{0, 0, 355, 234}));
    EXPECT_TRUE(state.snapBottom && state.snapTop && state.snapRight && state.snapLeft);

    // Held on all four: the window stays where it is, even when that is not flush.
    EXPECT_EQ(Continue(state, At(30, 45), 60, 60),
              (WindowPixels{2, 3, 355, 234}));
}

TEST(WindowDrag, OnlyALeftButtonMoveChangesAnything) {
    for (int16_t button : {0, 2, 3, 4, 5}) {
        DragState state;
        ASSERT_TRUE(PressForDrag(state, 1000, 1000).ok());
        // This move would catch the left edge with the left button.
        auto moved = MoveForDrag(state, button, 100, 1000, At(1000, 3000), kScreen);
        ASSERT_TRUE(moved.ok()) << button;
        EXPECT_FALSE(moved.value().has_value()) << button;
        EXPECT_FALSE(state.snapLeft) << button;
    }

    // No movement at the screen's corner, where any real move would catch two edges.
    DragState state;
    ASSERT_TRUE(PressForDrag(state, 120, 80).ok());
    auto still = MoveForDrag(state, kLeftButtonOnly, 120, 80, At(0, 0), kScreen);
    ASSERT_TRUE(still.ok());
    EXPECT_FALSE(still.value().has_value());
    EXPECT_FALSE(state.snapLeft || state.snapTop);
}

TEST(WindowDrag, PositionsRoundHalvesToEven) {
    DragState state;
    // The press rounds Y to a whole twip (100.5 -> 100), so a move back to 100.5 is half a twip
    // of movement, and the free top 3000.5 rounds to 3000.
    ASSERT_TRUE(PressForDrag(state, 50, 100.5f).ok());
    EXPECT_EQ(state.dragY, 100);
    auto moved = MoveForDrag(state, kLeftButtonOnly, 50, 100.5f, At(3000, 3000), kScreen);
    ASSERT_TRUE(moved.ok());
    EXPECT_EQ(moved.value(), (WindowPixels{200, 200, 355, 234}));
    ASSERT_TRUE(PressForDrag(state, 50, 101.5f).ok());
    EXPECT_EQ(state.dragY, 102);

    // 337.5 twips is 22.5 pixels -> 22; 352.5 twips is 23.5 pixels -> 24.
    DragState pixels;
    EXPECT_EQ(Drag(pixels, At(3000, 3000), 337.5 - 3000, 0)->left, 22);
    EXPECT_EQ(Drag(pixels, At(3000, 3000), 352.5 - 3000, 0)->left, 24);

    // Each axis has its own scale: 12 twips a pixel across, 20 down.
    const ScreenTwips uneven{12000, 12000, 12, 20};
    DragState scaled;
    EXPECT_EQ(Drag(scaled, At(3000, 3000), 600, 600, uneven),
              (WindowPixels{300, 180, 444, 176}));
}

TEST(WindowDrag, FailuresLeaveTheStateUnchanged) {
    DragState state;
    ASSERT_EQ(Drag(state, At(600, 3000), -400, 0), (WindowPixels{0, 200, 355, 234}));
    const DragState before = state;

    const Status huge = PressForDrag(state, 0, 3.0e9f);
    ASSERT_FALSE(huge.ok());
    EXPECT_EQ(huge.error().code, ErrorCode::Overflow);
    EXPECT_EQ(state.dragX, before.dragX);
    EXPECT_EQ(state.dragY, before.dragY);

    // A move beyond reach would free the left edge, but the bad scale stops it first.
    const ScreenTwips broken{15360, 11520, 0, 15};
    auto moved = MoveForDrag(state, kLeftButtonOnly, 2000, 1000, At(0, 3000), broken);
    ASSERT_FALSE(moved.ok());
    EXPECT_EQ(moved.error().code, ErrorCode::InvalidArgument);
    EXPECT_TRUE(state.snapLeft);

    // A pointer far beyond any screen overflows the rounded top instead of wrapping.
    auto far = MoveForDrag(state, kLeftButtonOnly, 1000, 2.5e9f, At(0, 3000), kScreen);
    ASSERT_FALSE(far.ok());
    EXPECT_EQ(far.error().code, ErrorCode::Overflow);
    EXPECT_TRUE(state.snapLeft);
}

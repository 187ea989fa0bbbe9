// Dragging the borderless wizard by its background or page text: an edge within 20 pixels of the
// screen's edge lands flush on it, a corner on both, and a drop farther away stays where it fell.
#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

constexpr int kWizardWidth = 355, kWizardHeight = 234;

// Where a drag aims the window's top left, in pixels; a negative coordinate counts from the
// right or bottom edge of the screen to the window's right or bottom edge (-1 - d leaves d
// pixels between them).
struct DragCase {
    const char* name;
    bool byPageText;  // pressed on the page text rather than the background
    POINT aim;
    POINT lands;      // the same way of counting
};

void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }

class SetupDrag : public SetupSession, public ::testing::WithParamInterface<DragCase> {
protected:
    // A coordinate of the window's top left on an axis of `screen` pixels for a window `size` long.
    static LONG Place(LONG counted, int screen, int size) {
        return counted >= 0 ? counted : screen - size - (-1 - counted);
    }
};

TEST_P(SetupDrag, LandsWhereTheSnappingRulesPutIt) {
    start();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT at{};
    ASSERT_TRUE(GetWindowRect(wizard, &at));
    ASSERT_EQ(at.right - at.left, kWizardWidth);
    ASSERT_EQ(at.bottom - at.top, kWizardHeight);

    // Pressed on the page text, or on bare background left of it.
    HWND surface = GetParam().byPageText ? control("About") : wizard;
    const POINT press = GetParam().byPageText ? POINT{40, 40} : POINT{10, 100};
    POINT pressed = press;
    ClientToScreen(surface, &pressed);
    const POINT grip{pressed.x - at.left, pressed.y - at.top};

    // Away from the starting corner first, which lies within reach of two edges, then to the aim.
    const POINT aim{Place(GetParam().aim.x, screenWidth, kWizardWidth),
                    Place(GetParam().aim.y, screenHeight, kWizardHeight)};
    const std::vector<POINT> path{{500 + grip.x, 400 + grip.y}, {aim.x + grip.x, aim.y + grip.y}};
    const POINT lands{Place(GetParam().lands.x, screenWidth, kWizardWidth),
                      Place(GetParam().lands.y, screenHeight, kWizardHeight)};
    // The wizard follows each move where the rules put it: free in the middle, caught near an edge.
    const std::vector<POINT> follows{{500, 400}, lands};
    const Status dragged = DragThrough(surface, press, path, [&](size_t i) {
        return GetWindowRect(wizard, &at) && at.left == follows[i].x && at.top == follows[i].y;
    });
    EXPECT_TRUE(dragged.ok()) << dragged.error().message << ": at " << at.left << ", " << at.top;
    const Status landed = WaitUntil(
        [&] { return GetWindowRect(wizard, &at) && at.left == lands.x && at.top == lands.y; }, "the drop",
        Timeout{3000});
    EXPECT_TRUE(landed.ok()) << "at " << at.left << ", " << at.top << " instead of " << lands.x << ", " << lands.y;
    EXPECT_EQ(at.right - at.left, kWizardWidth);
    EXPECT_EQ(at.bottom - at.top, kWizardHeight);
    // A drag is no click: the wizard stays on its first page.
    EXPECT_NE(text("About").find(kWelcomePage), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    EdgesAndCorners, SetupDrag,
    ::testing::Values(DragCase{"LeftEdgeAt20Pixels", false, {20, 300}, {0, 300}},
                      DragCase{"RightEdge", false, {-1 - 12, 300}, {-1, 300}},
                      DragCase{"TopEdgeByThePageText", true, {400, 15}, {400, 0}},
                      DragCase{"BottomEdge", false, {400, -1 - 18}, {400, -1}},
                      DragCase{"BottomRightCorner", true, {-1 - 10, -1 - 10}, {-1, -1}},
                      DragCase{"TopLeftCorner", false, {6, 3}, {0, 0}},
                      DragCase{"NoEdgeWithin20Pixels", false, {21, 300}, {21, 300}},
                      DragCase{"MiddleOfTheScreen", true, {300, 200}, {300, 200}}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tess::e2e

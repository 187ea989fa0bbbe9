// The windows' own font: the faces and sizes it may take at a DPI, largest first, and the choice
// of the largest at which every caption of a program fits its box, measured on this system.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/caption_boxes.h"
#include "ui/win32/win32_metrics.h"

namespace tess::ui::win32 {

struct DialogFontChoice {
    std::string face;
    int heightPx = 0;  // the character height, which is what a point size measures
    bool raster = false;
    bool operator==(const DialogFontChoice&) const = default;
};

// What the font may be at the screen's DPI, largest first: the raster face at 8 points where the
// system has it drawn for this DPI, then the scalable face from 8 points down, a pixel a step.
std::vector<DialogFontChoice> DialogFontCandidates(const ScreenMeasure& screen);

platform::win32::UniqueFont CreateDialogFont(const DialogFontChoice& choice);

// The margin between a frame's etched edge and its caption, and after the caption.
inline int FrameCaptionMargin(int dpi) { return MulDiv(6, dpi, 96); }

// The room a control of `kind` whose client area is `client` leaves its caption at the DPI: less
// a button's raised edge and the focus rectangle inside it, a check mark (13 pixels at 96 DPI)
// and the gap after it (half of `digitWidth`, a digit's width in the caption's font), and a
// frame's margins.
SIZE CaptionRoom(ControlKind kind, SIZE client, int dpi, int digitWidth);

// The captions in `font` at the screen's measure that do not fit their boxes, as
// "text (w x h in w x h)"; empty when all fit. A caption fits when the box the system lays it out
// in and the ink it leaves in colour and in one bit a pixel lie within the room its control
// leaves it, and, for the buttons, check boxes and option buttons the system draws through a mask
// of the laid-out box when disabled, when its one-bit ink lies within that box too.
std::vector<std::string> CaptionMisfits(const ScreenMeasure& screen, HFONT font,
                                        const std::vector<CaptionBox>& captions);

// The first candidate at which every caption fits, or the smallest when none does.
DialogFontChoice ChooseDialogFont(const ScreenMeasure& screen,
                                  const std::vector<CaptionBox>& captions);

} // namespace tess::ui::win32

// The command line of the skin composer tool: which picture, the layout it is drawn in, and where
// the skin bitmap and its preview go.
#pragma once

#include <string>
#include <vector>

#include "core/color.h"
#include "core/result.h"
#include "core/skin_layout.h"

namespace tess {

struct ComposeOptions {
    std::string picture;
    LayoutMode mode = LayoutMode::Tile;
    LayoutValues values;  // 100 %, 100 %, 0, 0 as the window starts
    // The skin maker sets the preview's back colour from the white swatch when a picture loads.
    ColorRef background = MakeColorRef(255, 255, 255);
    int resolution = kDefaultResolution;  // index into kResolutionPixels
    double twipsPerPixel = 15;
    std::string out;      // the skin bitmap, empty for none
    std::string preview;  // the preview bitmap, empty for none
    bool help = false;
};

// Parses the arguments after the program name. Options take their value as the next argument or
// after "=". A value outside what the skin maker's controls allow is refused, not clamped, so a
// script learns of its mistake. Errors are InvalidArgument with a message for the user.
Result<ComposeOptions> ParseComposeOptions(const std::vector<std::string>& args);

// The help text.
std::string ComposeUsage(const std::string& program);

} // namespace tess

// The layout model of the skin being made and the placement arithmetic that draws it: the
// preview at 0.75 of the final size, and the final composition at the chosen screen width.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>

#include "color.h"
#include "picture.h"
#include "surface.h"
#include "tile_renderer.h"

namespace tess {

enum class LayoutMode { Tile = 0, Single = 1, Stretch = 2 };

// The screen widths the skin can be composed for, by resolution option index.
inline constexpr int32_t kResolutionPixels[] = {640, 720, 800, 1024};
inline constexpr int kResolutionCount = static_cast<int>(std::size(kResolutionPixels));
inline constexpr int kDefaultResolution = 2;  // 800 by 600

// Scroll bar ranges, in percent.
inline constexpr int16_t kMinSize = 5, kMaxSize = 400;
inline constexpr int16_t kMinOffset = -100, kMaxOffset = 100;

// The values one mode keeps while another is shown.
struct SavedLayout {
    int32_t width = 100, height = 100, horizontal = 0;
    double vertical = 0;
};

// The current size and offset values, in percent (the four scroll bars).
struct LayoutValues {
    int16_t width = 100, height = 100, horizontal = 0, vertical = 0;
};

struct SkinLayout {
    LayoutMode mode = LayoutMode::Tile;
    LayoutValues values;
    SavedLayout single, tile;

    // Scratch values of the last placement, in the units of the surface drawn on.
    double ImgWidth = 0, ImgHeight = 0, ImgX = 0, ImgY = 0;
    int32_t TileCols = 0, TileRows = 0;

    bool lock = true;
    // The preview's back colour: what the preview and the final skin are cleared to.
    ColorRef background = MakeColorRef(255, 255, 255);
    int resolution = kDefaultResolution;

    // Markers that keep nested change handlers from redrawing or copying at the wrong moment.
    bool RefreshLocked = false;
    bool SizeLocking = false;
    bool StartLoading = false;
    std::string StartSkin;

    // The default layout in the values and both saved sets; mode, lock, colour and resolution
    // stay as they are.
    void resetValues();
};

// Which tile renderer draws Tile mode: the per-pixel one, or the copy-by-copy reference loop.
enum class TileDrawing { Fast, Reference };

// The source picture with its size in the units of its own box (twips).
struct SourcePicture {
    const Picture& picture;
    double scaleWidth;
    double scaleHeight;
};

// The preview: PicTarget's inner area, 598 × 67 pixels at 96 DPI, 9000 units across and its
// height in twips. `pixelScale` draws it at a higher resolution with the same units.
inline constexpr double kPreviewFactor = 0.75;
inline constexpr double kPreviewScaleWidth = 9000;
Surface MakePreviewSurface(double pixelScale = 1.0);

// Draw the preview in one mode, leaving the placement values in `layout`.
void PreviewStretch(const SourcePicture& source, Surface& target);
void PreviewSingle(SkinLayout& layout, const SourcePicture& source, Surface& target);
void PreviewTile(SkinLayout& layout, const SourcePicture& source, Surface& target,
                 TileDrawing drawing = TileDrawing::Fast);
// The copies Tile mode draws from the layout's placement values: one column and one row beyond
// each edge of the whole-tile count, and on to the far edges where that count falls short.
TileGrid TileGridOf(const SkinLayout& layout, const Surface& surface);
// Clears the target and draws the mode the layout holds.
void DrawPreview(SkinLayout& layout, const SourcePicture& source, Surface& target,
                 TileDrawing drawing = TileDrawing::Fast);

// Sizes the composition surface for a resolution option: 2000 twips high and the option's
// screen width in pixels; an index outside 0..3 leaves the width unchanged.
void ApplyResolution(Surface& final, int resolution);

// The final composition at full size on a surface already sized by ApplyResolution: the
// composition steps of applying a skin, before the bitmap is written.
void ComposeFinal(SkinLayout& layout, const SourcePicture& source, Surface& final,
                  TileDrawing drawing = TileDrawing::Fast);
// The Single-mode part of the composition: centred on a 1380-twip surface, drawn on 2000.
void ComposeFinalCenter(SkinLayout& layout, const SourcePicture& source, Surface& final);

// The surface heights of the composition, in twips.
inline constexpr double kFinalHeight = 2000;
inline constexpr double kFinalStretchHeight = 1700;
inline constexpr double kFinalCentringHeight = 1380;

} // namespace tess

// Placement of the picture copies in Tile, Single and Stretch mode, for the preview and for the
// final composition. Each step follows the stored precision and skips itself when it fails.
#include "skin_layout.h"

#include <algorithm>
#include <cmath>

#include "number_rules.h"
#include "tile_renderer.h"

namespace tess {

void SkinLayout::resetValues() {
    values = LayoutValues{};
    single = SavedLayout{};
    tile = SavedLayout{};
}

Surface MakePreviewSurface(double pixelScale) {
    // 600 × 69 pixels outside with a one-pixel border leave 598 × 67 inside.
    const auto width = ToInt32(598 * pixelScale);
    const auto height = ToInt32(67 * pixelScale);
    Surface target(width ? width.value() : 598, height ? height.value() : 67);
    target.setScaleWidth(kPreviewScaleWidth);
    target.setScaleHeight(67 * kTwipsPerPixel96);
    return target;
}

void PreviewStretch(const SourcePicture& source, Surface& target) {
    target.clear();
    target.drawPicture(source.picture, 0, 0, target.scaleWidth(), target.scaleHeight());
}

void PreviewSingle(SkinLayout& layout, const SourcePicture& source, Surface& target) {
    const LayoutValues& v = layout.values;
    const double boxW = target.scaleWidth(), boxH = target.scaleHeight();
    layout.ImgWidth = v.width * source.scaleWidth / 100 * kPreviewFactor;
    layout.ImgHeight = v.height * source.scaleHeight / 100 * kPreviewFactor;
    // Centred by the picture's 100 % size: other sizes grow right and down from that corner.
    layout.ImgX = (boxW - source.scaleWidth * kPreviewFactor) / 2;
    layout.ImgY = (boxH - source.scaleHeight * kPreviewFactor) / 2;
    const double hx = ((boxW - layout.ImgWidth) / 2 + layout.ImgWidth) * v.horizontal / 100;
    double vy = 0;
    if (auto rounded = ToInt32(((boxH - layout.ImgHeight) / 2 + layout.ImgHeight) * v.vertical / 100))
        vy = rounded.value();
    target.clear();
    target.drawPicture(source.picture, Single(hx + layout.ImgX), Single(vy + layout.ImgY),
                       layout.ImgWidth, layout.ImgHeight);
}

namespace {

void DrawGrid(Surface& surface, const Picture& picture, const TileGrid& grid, TileDrawing drawing) {
    if (drawing == TileDrawing::Reference)
        DrawTilesReference(surface, picture, grid);
    else
        DrawTiles(surface, picture, grid);
}

// The whole-tile counts; a count whose division fails keeps its previous value.
void CountTiles(SkinLayout& layout, const Surface& surface) {
    if (auto cols = IntDivide(surface.scaleWidth(), layout.ImgWidth))
        layout.TileCols = cols.value();
    if (auto rows = IntDivide(surface.scaleHeight(), layout.ImgHeight))
        layout.TileRows = rows.value();
}

// The last copy index the grid draws on one axis: one beyond the whole-tile count, or further
// when the count was taken with a divisor rounded up (a copy size just under a whole number, as
// tiny pictures at small sizes give), which would otherwise leave the far edge bare.
int32_t LastCopy(int32_t count, double origin, double size, double extent) {
    double last = count < INT32_MAX ? count + 1.0 : static_cast<double>(INT32_MAX);
    if (size > 0) {
        const double reaching = std::ceil((extent - origin) / size);
        if (reaching > last)
            last = std::min(reaching, static_cast<double>(INT32_MAX));
    }
    return static_cast<int32_t>(last);
}

} // namespace

TileGrid TileGridOf(const SkinLayout& layout, const Surface& surface) {
    TileGrid grid;
    grid.originX = layout.ImgX;
    grid.originY = layout.ImgY;
    grid.width = layout.ImgWidth;
    grid.height = layout.ImgHeight;
    grid.firstColumn = -1;
    grid.lastColumn = LastCopy(layout.TileCols, layout.ImgX, layout.ImgWidth, surface.scaleWidth());
    grid.firstRow = -1;
    grid.lastRow = LastCopy(layout.TileRows, layout.ImgY, layout.ImgHeight, surface.scaleHeight());
    return grid;
}

void PreviewTile(SkinLayout& layout, const SourcePicture& source, Surface& target,
                 TileDrawing drawing) {
    const LayoutValues& v = layout.values;
    layout.ImgWidth = v.width * source.scaleWidth / 100 * kPreviewFactor;
    layout.ImgHeight = v.height * source.scaleHeight / 100 * kPreviewFactor;
    layout.ImgX = layout.ImgWidth * v.horizontal / 100;
    // The vertical value is negated: a larger value moves the tiles up.
    layout.ImgY = layout.ImgHeight * -v.vertical / 100;
    CountTiles(layout, target);
    target.clear();
    DrawGrid(target, source.picture, TileGridOf(layout, target), drawing);
}

void DrawPreview(SkinLayout& layout, const SourcePicture& source, Surface& target,
                 TileDrawing drawing) {
    switch (layout.mode) {
    case LayoutMode::Single:
        PreviewSingle(layout, source, target);
        break;
    case LayoutMode::Tile:
        PreviewTile(layout, source, target, drawing);
        break;
    case LayoutMode::Stretch:
        PreviewStretch(source, target);
        break;
    }
}

// The composition sizes its surface with constants that always fit, so the resizing statuses
// below are not looked at.
void ApplyResolution(Surface& final, int resolution) {
    (void)final.setHeightTwips(kFinalHeight);
    if (resolution >= 0 && resolution < kResolutionCount)
        (void)final.setWidthTwips(final.twipsPerPixel() * kResolutionPixels[resolution]);
}

void ComposeFinal(SkinLayout& layout, const SourcePicture& source, Surface& final,
                  TileDrawing drawing) {
    const LayoutValues& v = layout.values;
    layout.ImgWidth = Single(source.scaleWidth * v.width / 100);
    layout.ImgHeight = Single(source.scaleHeight * v.height / 100);
    layout.ImgX = Single(v.horizontal * layout.ImgWidth / 100);
    layout.ImgY = -v.vertical * layout.ImgHeight / 100;
    final.clear();
    // A colour the surface refuses leaves it cleared to its previous colour.
    (void)final.setBackColor(layout.background);

    switch (layout.mode) {
    case LayoutMode::Tile:
        CountTiles(layout, final);
        DrawGrid(final, source.picture, TileGridOf(layout, final), drawing);
        break;
    case LayoutMode::Single:
        ComposeFinalCenter(layout, source, final);
        break;
    case LayoutMode::Stretch:
        (void)final.setHeightTwips(kFinalStretchHeight);
        final.drawPicture(source.picture, 0, 0, final.scaleWidth(), final.scaleHeight());
        break;
    }
}

void ComposeFinalCenter(SkinLayout& layout, const SourcePicture& source, Surface& final) {
    const LayoutValues& v = layout.values;
    // The centring terms and the vertical shift are measured on a shorter surface than the one
    // drawn on, which keeps the picture above the middle of the skin.
    (void)final.setHeightTwips(kFinalCentringHeight);
    layout.ImgWidth = Single(source.scaleWidth * v.width / 100);
    layout.ImgHeight = Single(source.scaleHeight * v.height / 100);
    layout.ImgX = Single((final.scaleWidth() - source.scaleWidth) / 2);
    layout.ImgY = (final.scaleHeight() - source.scaleHeight) / 2;
    const double h =
        Single(((final.scaleWidth() - layout.ImgWidth) / 2 + layout.ImgWidth) * v.horizontal / 100);
    double shift = 0;
    if (auto rounded =
            ToInt32(((final.scaleHeight() - layout.ImgHeight) / 2 + layout.ImgHeight) * v.vertical / 100))
        shift = rounded.value();
    final.clear();
    (void)final.setHeightTwips(kFinalHeight);
    final.drawPicture(source.picture, Single(h + layout.ImgX), Single(shift + layout.ImgY),
                      layout.ImgWidth, layout.ImgHeight);
}

} // namespace tess

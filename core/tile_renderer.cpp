// The tile renderers. Copy positions grow monotonically with the index, so the copies holding a
// given centre form one contiguous index range on each axis; finding it per column and per row
// makes the fast renderer's cost follow the surface, not the copy count.
#include "tile_renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "number_rules.h"

namespace tess {

double TileGrid::columnX(int32_t i) const { return Single(originX + i * width); }

double TileGrid::rowY(int32_t j) const { return Single(originY + j * height); }

int64_t TileGrid::copies() const {
    if (lastColumn < firstColumn || lastRow < firstRow)
        return 0;
    return (static_cast<int64_t>(lastColumn) - firstColumn + 1) *
           (static_cast<int64_t>(lastRow) - firstRow + 1);
}

void DrawTilesReference(Surface& surface, const Picture& picture, const TileGrid& grid) {
    for (int64_t i = grid.firstColumn; i <= grid.lastColumn; ++i)
        for (int64_t j = grid.firstRow; j <= grid.lastRow; ++j)
            surface.drawPicture(picture, grid.columnX(static_cast<int32_t>(i)),
                                grid.rowY(static_cast<int32_t>(j)), grid.width, grid.height);
}

namespace {

// The copies along one axis that hold one pixel centre, with the picture cells each one maps
// under that pixel.
struct AxisCover {
    int32_t count = 0;
    size_t firstFootprint = 0;  // index into the axis's footprint list
};

// For every pixel of an axis, the index range of copies holding its centre. `position(i)` is the
// copy's origin, monotone in i; `centre(p)`/`edge(p)` describe the pixels.
template <typename PositionFn, typename CentreFn, typename EdgeFn>
void CoverAxis(int32_t pixels, int32_t firstCopy, int32_t lastCopy, double extent, double origin,
               int32_t cells, PositionFn position, CentreFn centre, EdgeFn edge,
               std::vector<AxisCover>& cover, std::vector<AxisFootprint>& footprints) {
    cover.assign(static_cast<size_t>(pixels), AxisCover{});
    footprints.clear();
    if (lastCopy < firstCopy || !(extent > 0))
        return;
    for (int32_t p = 0; p < pixels; ++p) {
        const double c = centre(p);
        // Start at the copy the spacing predicts, then settle on the exact bounds.
        double guess = std::floor((c - origin) / extent);
        if (std::isnan(guess))
            continue;
        guess = std::clamp(guess, static_cast<double>(firstCopy), static_cast<double>(lastCopy));
        int32_t hi = static_cast<int32_t>(guess);
        while (hi < lastCopy && position(hi + 1) <= c)
            ++hi;
        while (hi >= firstCopy && position(hi) > c)
            --hi;
        if (hi < firstCopy)
            continue;
        int32_t lo = hi;
        while (lo >= firstCopy && Surface::Covers(position(lo), extent, c))
            --lo;
        ++lo;
        if (lo > hi)
            continue;
        cover[p].count = hi - lo + 1;
        cover[p].firstFootprint = footprints.size();
        for (int32_t i = lo; i <= hi; ++i)
            footprints.push_back(Surface::Footprint(edge(p), edge(p + 1), position(i), extent, cells));
    }
}

} // namespace

void DrawTiles(Surface& surface, const Picture& picture, const TileGrid& grid) {
    if (picture.empty())
        return;
    std::vector<AxisCover> columns, rows;
    std::vector<AxisFootprint> columnPrints, rowPrints;
    CoverAxis(
        surface.widthPx(), grid.firstColumn, grid.lastColumn, grid.width, grid.originX,
        picture.width(), [&](int32_t i) { return grid.columnX(i); },
        [&](int32_t p) { return surface.columnCentre(p); },
        [&](int32_t p) { return surface.columnEdge(p); }, columns, columnPrints);
    CoverAxis(
        surface.heightPx(), grid.firstRow, grid.lastRow, grid.height, grid.originY, picture.height(),
        [&](int32_t j) { return grid.rowY(j); }, [&](int32_t p) { return surface.rowCentre(p); },
        [&](int32_t p) { return surface.rowEdge(p); }, rows, rowPrints);

    // An opaque copy replaces the pixel outright, so only the last copy drawn there matters.
    const bool opaque = !picture.hasTransparency();
    for (int32_t py = 0; py < surface.heightPx(); ++py) {
        const AxisCover& row = rows[py];
        if (row.count == 0)
            continue;
        for (int32_t px = 0; px < surface.widthPx(); ++px) {
            const AxisCover& column = columns[px];
            if (column.count == 0)
                continue;
            const int32_t i0 = opaque ? column.count - 1 : 0;
            const int32_t j0 = opaque ? row.count - 1 : 0;
            for (int32_t i = i0; i < column.count; ++i)
                for (int32_t j = j0; j < row.count; ++j)
                    surface.paint(px, py, picture, columnPrints[column.firstFootprint + i],
                                  rowPrints[row.firstFootprint + j]);
        }
    }
}

} // namespace tess

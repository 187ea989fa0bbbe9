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

// The copies along one axis that hold one pixel centre: a contiguous index range, since copy
// positions never decrease with the index.
struct CopyRange {
    int32_t first = 0, count = 0;
};

template <typename PositionFn>
CopyRange CopiesHolding(double c, int32_t firstCopy, int32_t lastCopy, double extent, double origin,
                        PositionFn position) {
    // Start at the copy the spacing predicts, then settle on the exact bounds.
    double guess = std::floor((c - origin) / extent);
    if (std::isnan(guess))
        return {};
    guess = std::clamp(guess, static_cast<double>(firstCopy), static_cast<double>(lastCopy));
    int32_t hi = static_cast<int32_t>(guess);
    while (hi < lastCopy && position(hi + 1) <= c)
        ++hi;
    while (hi >= firstCopy && position(hi) > c)
        --hi;
    if (hi < firstCopy)
        return {};
    int32_t lo = hi;
    while (lo >= firstCopy && Surface::Covers(position(lo), extent, c))
        --lo;
    return CopyRange{lo + 1, hi - lo};
}

} // namespace

void DrawTiles(Surface& surface, const Picture& picture, const TileGrid& grid) {
    if (picture.empty() || grid.lastColumn < grid.firstColumn || grid.lastRow < grid.firstRow ||
        !(grid.width > 0) || !(grid.height > 0))
        return;
    // An opaque copy replaces the pixel outright, so only the last copy drawn there matters.
    const bool transparent = picture.hasTransparency();
    auto columnX = [&](int32_t i) { return grid.columnX(i); };
    auto rowY = [&](int32_t j) { return grid.rowY(j); };

    // Per pixel column, the footprints of the copies holding its centre, in drawing order.
    ColumnFootprints columns;
    std::vector<CopyRange> columnCopies(static_cast<size_t>(surface.widthPx()));
    for (int32_t px = 0; px < surface.widthPx(); ++px) {
        CopyRange range = CopiesHolding(surface.columnCentre(px), grid.firstColumn, grid.lastColumn,
                                        grid.width, grid.originX, columnX);
        if (!transparent && range.count > 1)
            range = {range.first + range.count - 1, 1};
        CopyRange& entry = columnCopies[static_cast<size_t>(px)];
        entry.count = range.count;
        for (int32_t n = 0; n < range.count; ++n) {
            const size_t index = columns.add(Surface::Footprint(surface.columnEdge(px), surface.columnEdge(px + 1),
                                                                grid.columnX(range.first + n), grid.width,
                                                                picture.width()));
            if (n == 0)
                entry.first = static_cast<int32_t>(index);
        }
    }
    columns.finish();

    std::vector<std::vector<EdgeSums>> rowSums;
    std::vector<AxisFootprint> rowPrints;
    std::vector<char> exact;
    for (int32_t py = 0; py < surface.heightPx(); ++py) {
        CopyRange range = CopiesHolding(surface.rowCentre(py), grid.firstRow, grid.lastRow, grid.height,
                                        grid.originY, rowY);
        if (range.count == 0)
            continue;
        if (!transparent && range.count > 1)
            range = {range.first + range.count - 1, 1};
        rowPrints.resize(static_cast<size_t>(range.count));
        rowSums.resize(static_cast<size_t>(range.count));
        exact.resize(static_cast<size_t>(range.count));
        for (int32_t n = 0; n < range.count; ++n) {
            rowPrints[n] = Surface::Footprint(surface.rowEdge(py), surface.rowEdge(py + 1), grid.rowY(range.first + n),
                                              grid.height, picture.height());
            exact[n] = rowPrints[n].runs > 0 && picture.edgeSumsExact(rowPrints[n]);
            if (exact[n])
                columns.rowSums(picture, rowPrints[n], rowSums[n]);
        }
        for (int32_t px = 0; px < surface.widthPx(); ++px) {
            const CopyRange& copies = columnCopies[static_cast<size_t>(px)];
            for (int32_t i = 0; i < copies.count; ++i) {
                const size_t index = static_cast<size_t>(copies.first + i);
                const AxisFootprint& fx = columns.footprint(index);
                if (fx.runs == 0)
                    continue;
                for (int32_t j = 0; j < range.count; ++j) {
                    const AxisFootprint& fy = rowPrints[j];
                    if (fy.runs == 0)
                        continue;
                    surface.paint(px, py, transparent, columns.sums(picture, index, fy, exact[j], rowSums[j]),
                                  fx.length * fy.length);
                }
            }
        }
    }
}

} // namespace tess

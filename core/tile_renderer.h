// Drawing a grid of equal picture copies: the plain copy-by-copy loop, and a renderer that visits
// each surface pixel once and gives byte-identical results whatever the number of copies.
#pragma once

#include <cstdint>

#include "picture.h"
#include "surface.h"

namespace tess {

// Copies (i, j) for i in [firstColumn, lastColumn] (outer loop) and j in [firstRow, lastRow]
// (inner loop), each `width` × `height` units, copy (i, j) at
// x = Single(originX + i × width), y = Single(originY + j × height).
struct TileGrid {
    double originX = 0, originY = 0;
    double width = 0, height = 0;
    int32_t firstColumn = 0, lastColumn = -1;
    int32_t firstRow = 0, lastRow = -1;

    double columnX(int32_t i) const;
    double rowY(int32_t j) const;
    // Number of copies the grid holds, as a 64-bit count (it can exceed 2^31).
    int64_t copies() const;
};

// Draws every copy in order with Surface::drawPicture.
void DrawTilesReference(Surface& surface, const Picture& picture, const TileGrid& grid);

// The same result, computed per pixel: each pixel is painted by the copies whose rectangles hold
// its centre, in the order the loop would draw them.
void DrawTiles(Surface& surface, const Picture& picture, const TileGrid& grid);

} // namespace tess

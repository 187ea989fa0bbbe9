// The per-pixel tile renderer against the copy-by-copy loop: byte-identical surfaces over random
// grids, layouts, resolutions and pictures, transparent ones included.
#include <gtest/gtest.h>

#include <random>

#include "core/skin_layout.h"
#include "core/tile_renderer.h"
#include "tests/support/test_pictures.h"

using namespace tess;

namespace {

struct Case {
    int32_t pictureW, pictureH;
    bool transparent;
};

// Random surfaces and grids with fractional origins and sizes, custom scales and copies that
// range from far smaller than a pixel to larger than the surface.
TEST(TileRenderer, MatchesTheReferenceLoopOnRandomGrids) {
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Case pictures[] = {{1, 1, false}, {1, 1, true}, {3, 2, false}, {7, 5, true},
                             {32, 32, false}, {50, 9, true}, {13, 40, false}};
    int compared = 0;
    for (int round = 0; round < 300; ++round) {
        const Case c = pictures[round % std::size(pictures)];
        const Picture picture = tess::testing::RandomPicture(c.pictureW, c.pictureH, c.transparent, rng);
        const int32_t w = 1 + static_cast<int32_t>(unit(rng) * 120);
        const int32_t h = 1 + static_cast<int32_t>(unit(rng) * 40);
        Surface fast(w, h);
        if (round % 3 == 0)
            fast.setScaleWidth(w * (5 + unit(rng) * 20));
        ASSERT_TRUE(fast.setBackColor(MakeColorRef(rng() & 255, rng() & 255, rng() & 255)).ok());
        Surface reference = fast;

        TileGrid grid;
        grid.width = fast.scaleWidth() / (0.5 + unit(rng) * 40);
        grid.height = fast.scaleHeight() / (0.5 + unit(rng) * 20);
        grid.originX = (unit(rng) - 0.5) * 4 * grid.width;
        grid.originY = (unit(rng) - 0.5) * 4 * grid.height;
        grid.firstColumn = -1 - static_cast<int32_t>(unit(rng) * 3);
        grid.lastColumn = static_cast<int32_t>(fast.scaleWidth() / grid.width) + static_cast<int32_t>(unit(rng) * 3);
        grid.firstRow = -1 - static_cast<int32_t>(unit(rng) * 3);
        grid.lastRow = static_cast<int32_t>(fast.scaleHeight() / grid.height) + static_cast<int32_t>(unit(rng) * 3);

        DrawTiles(fast, picture, grid);
        DrawTilesReference(reference, picture, grid);
        ASSERT_EQ(fast.pixels(), reference.pixels()) << "round " << round;
        ++compared;
    }
    EXPECT_EQ(compared, 300);
}

// The real layouts: preview and final composition in Tile mode at random sizes, offsets and
// resolutions, for pictures from one pixel to wider than a tile row.
TEST(TileRenderer, MatchesTheReferenceLoopOnSkinLayouts) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> size(kMinSize, kMaxSize), offset(kMinOffset, kMaxOffset);
    const Case pictures[] = {{1, 1, false}, {2, 3, true}, {32, 32, false}, {200, 40, false},
                             {9, 7, true},  {640, 3, false}};
    for (int round = 0; round < 120; ++round) {
        const Case c = pictures[round % std::size(pictures)];
        const Picture picture = tess::testing::RandomPicture(c.pictureW, c.pictureH, c.transparent, rng);
        const SourcePicture source{picture, picture.widthTwips(15), picture.heightTwips(15)};
        SkinLayout layout;
        layout.values = {static_cast<int16_t>(size(rng)), static_cast<int16_t>(size(rng)),
                         static_cast<int16_t>(offset(rng)), static_cast<int16_t>(offset(rng))};
        // Tiny pictures at small sizes make millions of copies; keep the loop affordable.
        if (c.pictureW * c.pictureH < 16) {
            layout.values.width = static_cast<int16_t>(std::max<int>(layout.values.width, 150));
            layout.values.height = static_cast<int16_t>(std::max<int>(layout.values.height, 150));
        }
        layout.background = MakeColorRef(rng() & 255, rng() & 255, rng() & 255);

        Surface previewFast = MakePreviewSurface();
        ASSERT_TRUE(previewFast.setBackColor(layout.background).ok());
        Surface previewReference = previewFast;
        SkinLayout other = layout;
        PreviewTile(layout, source, previewFast, TileDrawing::Fast);
        PreviewTile(other, source, previewReference, TileDrawing::Reference);
        ASSERT_EQ(previewFast.pixels(), previewReference.pixels()) << "preview, round " << round;

        Surface finalFast;
        ApplyResolution(finalFast, round % kResolutionCount);
        Surface finalReference = finalFast;
        ComposeFinal(layout, source, finalFast, TileDrawing::Fast);
        ComposeFinal(other, source, finalReference, TileDrawing::Reference);
        ASSERT_EQ(finalFast.pixels(), finalReference.pixels()) << "final, round " << round;
    }
}

TEST(TileRenderer, OnePixelPictureAtFivePercentMatchesWithMillionsOfCopies) {
    const Picture picture = tess::testing::MakePicture(1, 1, {{10, 200, 30, 255}});
    const SourcePicture source{picture, 15, 15};
    SkinLayout layout;
    layout.values = {5, 5, 37, -63};
    Surface fast = MakePreviewSurface(), reference = MakePreviewSurface();
    SkinLayout other = layout;
    PreviewTile(layout, source, fast, TileDrawing::Fast);
    PreviewTile(other, source, reference, TileDrawing::Reference);
    EXPECT_EQ(layout.TileCols, 9000);  // 9000 \ 0.5625, the divisor rounded to 1
    EXPECT_EQ(fast.pixels(), reference.pixels());
    EXPECT_EQ(fast.pixelAt(300, 30), (Rgb{10, 200, 30}));
    EXPECT_EQ(fast.pixelAt(597, 66), (Rgb{10, 200, 30}));
}

} // namespace

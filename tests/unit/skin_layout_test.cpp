// Placement of the skin in the preview and in the final composition: the worked examples, the
// direction of the offsets in each mode, the surface heights and repeatable output.
#include <gtest/gtest.h>

#include "core/bitmap_writer.h"
#include "core/skin_layout.h"
#include "tests/support/test_pictures.h"

using namespace tess;
using tess::testing::PixelRgba;
using tess::testing::SolidPicture;

namespace {

constexpr PixelRgba kRed{255, 0, 0, 255};
const Rgb kBlue{0, 0, 255};

// A picture whose top half is red and bottom half green, to see which way offsets move it.
Picture TopRedBottomGreen(int32_t w, int32_t h) {
    std::vector<PixelRgba> pixels;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixels.push_back(y < h / 2 ? kRed : PixelRgba{0, 255, 0, 255});
    return tess::testing::MakePicture(w, h, pixels);
}

SourcePicture SourceOf(const Picture& p) { return {p, p.widthTwips(15), p.heightTwips(15)}; }

Surface BluePreview() {
    Surface s = MakePreviewSurface();
    EXPECT_TRUE(s.setBackColor(MakeColorRef(0, 0, 255)).ok());
    return s;
}

// The first and one-past-last pixel column of row `y` that is not the background.
std::pair<int, int> DrawnColumns(const Surface& s, int y, Rgb background) {
    int first = -1, last = -1;
    for (int x = 0; x < s.widthPx(); ++x) {
        if (s.pixelAt(x, y) != background) {
            if (first < 0)
                first = x;
            last = x + 1;
        }
    }
    return {first, last};
}

int FirstDrawnRow(const Surface& s, int x, Rgb background) {
    for (int y = 0; y < s.heightPx(); ++y)
        if (s.pixelAt(x, y) != background)
            return y;
    return -1;
}

} // namespace

TEST(PreviewSingle, CentresTheFullSizeCopyAndGrowsFromItsCorner) {
    const Picture picture = SolidPicture(200, 40, kRed);  // 3000 × 600 twips
    SkinLayout layout;
    Surface target = BluePreview();
    PreviewSingle(layout, SourceOf(picture), target);
    EXPECT_DOUBLE_EQ(layout.ImgWidth, 2250);
    EXPECT_DOUBLE_EQ(layout.ImgHeight, 450);
    EXPECT_DOUBLE_EQ(layout.ImgX, 3375);
    EXPECT_DOUBLE_EQ(layout.ImgY, 277.5);
    // [3375, 5625) units at 9000/598 a pixel: centres of pixels 224 to 373; rows 18 to 47.
    EXPECT_EQ(DrawnColumns(target, 30, kBlue), std::make_pair(224, 374));
    EXPECT_EQ(FirstDrawnRow(target, 300, kBlue), 18);
    EXPECT_EQ(target.pixelAt(300, 47), (Rgb{255, 0, 0}));
    EXPECT_EQ(target.pixelAt(300, 48), kBlue);

    layout.values.width = 200;  // Lock off: only the width changes
    PreviewSingle(layout, SourceOf(picture), target);
    EXPECT_DOUBLE_EQ(layout.ImgWidth, 4500);
    EXPECT_EQ(DrawnColumns(target, 30, kBlue).first, 224);
}

TEST(PreviewSingle, FullOffsetsPutTheCopyJustOutOfView) {
    const Picture picture = SolidPicture(200, 40, kRed);
    SkinLayout layout;
    for (int16_t offset : {int16_t(100), int16_t(-100)}) {
        Surface target = BluePreview();
        layout.values.horizontal = offset;
        PreviewSingle(layout, SourceOf(picture), target);
        EXPECT_EQ(DrawnColumns(target, 30, kBlue).first, -1) << "offset " << offset;
    }
    Surface target = BluePreview();
    layout.values.horizontal = 90;
    PreviewSingle(layout, SourceOf(picture), target);
    auto [first, last] = DrawnColumns(target, 30, kBlue);
    EXPECT_GT(first, 500);
    EXPECT_EQ(last, 598);
}

TEST(PreviewOffsets, VerticalMovesTilesUpButTheSingleCopyDown) {
    const Picture picture = TopRedBottomGreen(40, 20);  // tiles of 450 × 225 units
    SkinLayout layout;
    layout.values.vertical = 50;
    Surface tiles = BluePreview();
    PreviewTile(layout, SourceOf(picture), tiles);
    // Half a tile up: the strip starts with the green bottom half of a tile.
    EXPECT_DOUBLE_EQ(layout.ImgY, -112.5);
    EXPECT_EQ(tiles.pixelAt(10, 0), (Rgb{0, 255, 0}));
    layout.values.vertical = 0;
    PreviewTile(layout, SourceOf(picture), tiles);
    EXPECT_EQ(tiles.pixelAt(10, 0), (Rgb{255, 0, 0}));

    Surface single = BluePreview();
    PreviewSingle(layout, SourceOf(picture), single);
    const int centred = FirstDrawnRow(single, 299, kBlue);
    layout.values.vertical = 50;
    PreviewSingle(layout, SourceOf(picture), single);
    EXPECT_GT(FirstDrawnRow(single, 299, kBlue), centred);
}

TEST(PreviewTile, CountsWholeTilesAndDrawsOneBeyondEachEdge) {
    const Picture picture = SolidPicture(200, 40, kRed);
    SkinLayout layout;
    Surface target = BluePreview();
    PreviewTile(layout, SourceOf(picture), target);
    EXPECT_EQ(layout.TileCols, 4);
    EXPECT_EQ(layout.TileRows, 2);
    const TileGrid grid = TileGridOf(layout, target);
    EXPECT_EQ(std::make_pair(grid.firstColumn, grid.lastColumn), std::make_pair(-1, 5));
    EXPECT_EQ(std::make_pair(grid.firstRow, grid.lastRow), std::make_pair(-1, 3));
    EXPECT_EQ(grid.copies(), 35);
    // Columns -1..5 and rows -1..3 of 2250 × 450 units cover the whole strip.
    for (int y : {0, 33, 66})
        EXPECT_EQ(DrawnColumns(target, y, kBlue), std::make_pair(0, 598));

    const Picture small = SolidPicture(32, 32, kRed);
    layout.values.width = layout.values.height = 5;
    PreviewTile(layout, SourceOf(small), target);
    EXPECT_DOUBLE_EQ(layout.ImgWidth, 18);
    EXPECT_EQ(layout.TileCols, 500);
    EXPECT_EQ(layout.TileRows, 55);
    EXPECT_EQ(TileGridOf(layout, target).copies(), 503 * 58);
}

TEST(PreviewTile, TinyTilesStillCoverTheWholeStrip) {
    // A 5-pixel-wide picture at 17 %: tiles 9.5625 units wide, counted with the divisor rounded
    // to 10, so the whole-tile count alone would stop about 25 pixels short of the right edge.
    const Picture picture = SolidPicture(5, 5, kRed);
    SkinLayout layout;
    layout.values = {17, 17, 0, 0};
    Surface target = BluePreview();
    PreviewTile(layout, SourceOf(picture), target);
    EXPECT_EQ(layout.TileCols, 900);
    EXPECT_EQ(layout.TileRows, 100);
    for (int y = 0; y < target.heightPx(); ++y)
        ASSERT_EQ(DrawnColumns(target, y, kBlue), std::make_pair(0, 598)) << y;

    // The same at full size: a 1-pixel picture at 5 % is 0.75 twips, counted as 1.
    layout.values = {5, 5, 0, 0};
    Surface final;
    ApplyResolution(final, 3);
    ComposeFinal(layout, SourceOf(SolidPicture(1, 1, kRed)), final);
    EXPECT_EQ(layout.TileCols, 15360);
    EXPECT_EQ(final.pixelAt(1023, 132), (Rgb{255, 0, 0}));
}

TEST(PreviewTile, FailedCountKeepsThePreviousValue) {
    SkinLayout layout;
    layout.TileCols = 7;
    layout.TileRows = 3;
    Surface target = BluePreview();
    const Picture empty;
    PreviewTile(layout, SourcePicture{empty, 0, 0}, target);  // sizes of 0: division by zero
    EXPECT_EQ(layout.TileCols, 7);
    EXPECT_EQ(layout.TileRows, 3);
    EXPECT_EQ(DrawnColumns(target, 10, kBlue).first, -1);
}

TEST(PreviewStretch, FillsTheWholePreview) {
    Surface target = BluePreview();
    PreviewStretch(SourceOf(SolidPicture(3, 2, kRed)), target);
    for (int y = 0; y < target.heightPx(); ++y)
        ASSERT_EQ(DrawnColumns(target, y, kBlue), std::make_pair(0, 598)) << y;
}

TEST(FinalComposition, SurfaceHeightsAndWidthsPerModeAndResolution) {
    const Picture picture = SolidPicture(10, 10, kRed);
    const int widths[] = {640, 720, 800, 1024};
    for (int resolution = 0; resolution < 4; ++resolution) {
        for (LayoutMode mode : {LayoutMode::Tile, LayoutMode::Single, LayoutMode::Stretch}) {
            SkinLayout layout;
            layout.mode = mode;
            Surface final;
            ApplyResolution(final, resolution);
            ComposeFinal(layout, SourceOf(picture), final);
            EXPECT_EQ(final.widthPx(), widths[resolution]);
            EXPECT_EQ(final.heightPx(), mode == LayoutMode::Stretch ? 113 : 133);
        }
    }
    Surface final(123, 45);
    ApplyResolution(final, -1);  // no option set: the width stays
    EXPECT_EQ(final.widthPx(), 123);
    EXPECT_EQ(final.heightPx(), 133);
}

TEST(FinalComposition, TileWorkedExample) {
    const Picture picture = SolidPicture(100, 40, kRed);  // 1500 × 600 twips
    SkinLayout layout;
    layout.values = {100, 100, 20, 50};
    Surface final;
    ApplyResolution(final, 2);
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_DOUBLE_EQ(layout.ImgX, 300);
    EXPECT_DOUBLE_EQ(layout.ImgY, -300);
    EXPECT_EQ(layout.TileCols, 8);
    EXPECT_EQ(layout.TileRows, 3);
}

TEST(FinalComposition, PlacementValuesAreSinglePrecision) {
    // 795 twips at 173 % is 1375.35, which a single-precision float holds as 1375.349976.
    const Picture picture = SolidPicture(53, 17, kRed);
    SkinLayout layout;
    layout.values = {173, 61, -12, 100};
    Surface final;
    ApplyResolution(final, 2);
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_EQ(layout.ImgWidth, static_cast<double>(static_cast<float>(1375.35)));
    EXPECT_NE(layout.ImgWidth, 1375.35);
    EXPECT_EQ(layout.ImgHeight, static_cast<double>(static_cast<float>(155.55)));
    EXPECT_EQ(layout.ImgX, static_cast<double>(static_cast<float>(-12 * layout.ImgWidth / 100)));
    EXPECT_EQ(layout.ImgY, -100 * layout.ImgHeight / 100);  // kept in double precision
}

TEST(FinalComposition, TileAtOriginCopiesThePicturePixelForPixel) {
    std::mt19937 rng(3);
    const Picture picture = tess::testing::RandomPicture(7, 5, false, rng);
    SkinLayout layout;
    Surface final;
    ApplyResolution(final, 0);
    ComposeFinal(layout, SourceOf(picture), final);
    for (int y = 0; y < final.heightPx(); ++y) {
        for (int x = 0; x < final.widthPx(); ++x) {
            Rgba p = picture.pixelAt(x % 7, y % 5);
            ASSERT_EQ(final.pixelAt(x, y), (Rgb{p.r, p.g, p.b})) << x << "," << y;
        }
    }
}

TEST(FinalComposition, SingleWorkedExampleAndItsOffsets) {
    const Picture picture = SolidPicture(300, 60, kRed);  // 4500 × 900 twips
    SkinLayout layout;
    layout.mode = LayoutMode::Single;
    layout.background = MakeColorRef(0, 0, 255);
    Surface final;
    ApplyResolution(final, 2);
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_DOUBLE_EQ(layout.ImgX, 3750);
    EXPECT_DOUBLE_EQ(layout.ImgY, 240);
    EXPECT_EQ(final.heightPx(), 133);
    // Drawn at (3750, 240) twips: pixel column 250, row 16, above the middle of 133 rows.
    EXPECT_EQ(DrawnColumns(final, 20, kBlue), std::make_pair(250, 550));
    EXPECT_EQ(FirstDrawnRow(final, 300, kBlue), 16);

    layout.values.horizontal = 10;  // left edge 3750 + 8250 × 10 / 100 = 4575
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_EQ(DrawnColumns(final, 20, kBlue).first, 305);

    layout.values = {50, 100, 0, 0};  // centred by the unscaled width
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_EQ(DrawnColumns(final, 20, kBlue), std::make_pair(250, 400));

    layout.values = {100, 100, 0, 40};  // a positive vertical offset moves it down
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_GT(FirstDrawnRow(final, 300, kBlue), 16);
}

TEST(FinalComposition, TileVerticalOffsetMovesThePatternUp) {
    const Picture picture = TopRedBottomGreen(10, 10);
    SkinLayout layout;
    layout.values.vertical = 50;
    Surface final;
    ApplyResolution(final, 0);
    ComposeFinal(layout, SourceOf(picture), final);
    EXPECT_EQ(final.pixelAt(0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(final.pixelAt(0, 5), (Rgb{255, 0, 0}));
}

TEST(FinalComposition, StretchIgnoresSizeAndOffsetsAndRepeatsExactly) {
    std::mt19937 rng(11);
    const Picture picture = tess::testing::RandomPicture(37, 11, false, rng);
    SkinLayout a, b;
    a.mode = b.mode = LayoutMode::Stretch;
    b.values = {250, 30, -70, 90};
    Surface finalA, finalB;
    ApplyResolution(finalA, 2);
    ApplyResolution(finalB, 2);
    ComposeFinal(a, SourceOf(picture), finalA);
    ComposeFinal(b, SourceOf(picture), finalB);
    EXPECT_EQ(finalA.widthPx(), 800);
    EXPECT_EQ(finalA.heightPx(), 113);
    EXPECT_EQ(EncodeBitmap(finalA), EncodeBitmap(finalB));

    // The same layout composed twice gives the same bytes, in every mode.
    for (LayoutMode mode : {LayoutMode::Tile, LayoutMode::Single}) {
        SkinLayout layout;
        layout.mode = mode;
        layout.values = {73, 120, 15, -33};
        Surface first, second;
        ApplyResolution(first, 3);
        ComposeFinal(layout, SourceOf(picture), first);
        const auto bytes = EncodeBitmap(first);
        ApplyResolution(first, 3);
        ComposeFinal(layout, SourceOf(picture), first);
        EXPECT_EQ(EncodeBitmap(first), bytes);
    }
}

// Scaled drawing on surfaces: which pixels a copy covers, area averaging when shrinking, soft
// edges when enlarging, transparency and partial alpha, clipping, back colours and resizing; and
// the picture sums the drawing reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "core/surface.h"
#include "tests/support/test_pictures.h"

using namespace tess;
using tess::testing::MakePicture;
using tess::testing::PixelRgba;
using tess::testing::SolidPicture;

namespace {

constexpr PixelRgba kRed{255, 0, 0, 255};
constexpr PixelRgba kClear{0, 0, 0, 0};
const Rgb kWhite{255, 255, 255};

// A surface measured one unit per pixel, so positions read as pixel positions.
Surface UnitSurface(int32_t w, int32_t h) { return Surface(w, h, 1.0); }

} // namespace

TEST(SurfaceDrawing, PixelBelongsToACopyWhenItsCentreIsInside) {
    Surface s = UnitSurface(10, 3);
    s.drawPicture(SolidPicture(1, 1, kRed), 2.5, 0.5, 3, 1);
    // Centres 2.5, 3.5 and 4.5 lie in [2.5, 5.5); 5.5 does not. Row centre 0.5 lies in
    // [0.5, 1.5), 1.5 does not.
    for (int x = 0; x < 10; ++x) {
        const bool inside = x >= 2 && x <= 4;
        EXPECT_EQ(s.pixelAt(x, 0), inside ? (Rgb{255, 0, 0}) : kWhite) << "x=" << x;
        EXPECT_EQ(s.pixelAt(x, 1), kWhite) << "x=" << x;
    }
}

TEST(SurfaceDrawing, ShrinkingAveragesTheCoveredArea) {
    Surface s = UnitSurface(2, 1);
    auto picture = MakePicture(4, 1, {{0, 0, 0, 255}, {100, 10, 0, 255}, {200, 30, 9, 255}, {40, 0, 0, 255}});
    s.drawPicture(picture, 0, 0, 1, 1);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{85, 10, 2}));  // (0+100+200+40)/4 = 85, 40/4 = 10, 9/4 = 2.25
    EXPECT_EQ(s.pixelAt(1, 0), kWhite);

    // A 7 × 5 picture shrunk to 2 × 1: the first pixel averages 3.5 columns of every row.
    std::vector<PixelRgba> ramp;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ramp.push_back({static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y * 50), 0, 255});
    Surface t = UnitSurface(2, 1);
    t.drawPicture(MakePicture(7, 5, ramp), 0, 0, 2, 1);
    // Columns 0,1,2 fully and half of 3: (0+10+20+15)/3.5 = 12.857; rows average 100.
    EXPECT_EQ(t.pixelAt(0, 0), (Rgb{13, 100, 0}));
    // Half of 3, then 4,5,6: (15+40+50+60)/3.5 = 47.14.
    EXPECT_EQ(t.pixelAt(1, 0), (Rgb{47, 100, 0}));
}

TEST(SurfaceDrawing, EnlargingStaysSharpWithSoftEdges) {
    Surface s = UnitSurface(5, 1);
    ASSERT_TRUE(s.setBackColor(MakeColorRef(0, 0, 255)).ok());
    auto picture = MakePicture(2, 1, {{0, 0, 0, 255}, {255, 255, 255, 255}});
    // Each cell spans two pixels; the boundary between them falls in the middle of pixel 2.
    s.drawPicture(picture, 0.5, 0, 4, 1);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(s.pixelAt(1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(s.pixelAt(2, 0), (Rgb{128, 128, 128}));  // half of each cell: 127.5 rounds up
    EXPECT_EQ(s.pixelAt(3, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(s.pixelAt(4, 0), (Rgb{0, 0, 255}));      // centre 4.5 is outside [0.5, 4.5)
}

TEST(SurfaceDrawing, OddSizedPicturesCopyExactlyAtWholeScales) {
    std::mt19937 rng(7);
    const Picture picture = tess::testing::RandomPicture(7, 5, false, rng);
    for (int scale : {1, 2, 3}) {
        Surface s(7 * scale + 4, 5 * scale + 2);  // 15 twips a pixel
        s.drawPicture(picture, 2 * 15, 15, 7 * scale * 15, 5 * scale * 15);
        for (int y = 0; y < s.heightPx(); ++y) {
            for (int x = 0; x < s.widthPx(); ++x) {
                const int sx = x - 2, sy = y - 1;
                Rgb expected = kWhite;
                if (sx >= 0 && sy >= 0 && sx < 7 * scale && sy < 5 * scale) {
                    Rgba p = picture.pixelAt(sx / scale, sy / scale);
                    expected = Rgb{p.r, p.g, p.b};
                }
                ASSERT_EQ(s.pixelAt(x, y), expected) << "scale " << scale << " at " << x << "," << y;
            }
        }
    }
}

TEST(SurfaceDrawing, TransparentPartsShowWhatWasThereByCoverage) {
    Surface s = UnitSurface(3, 1);
    ASSERT_TRUE(s.setBackColor(MakeColorRef(0, 0, 255)).ok());
    auto picture = MakePicture(2, 1, {kRed, kClear});
    EXPECT_TRUE(picture.hasTransparency());
    s.drawPicture(picture, 0, 0, 2, 1);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.pixelAt(1, 0), (Rgb{0, 0, 255}));  // fully transparent: the back colour shows
    // Shrunk into one pixel: half red, half what was there.
    s.drawPicture(picture, 2, 0, 1, 1);
    EXPECT_EQ(s.pixelAt(2, 0), (Rgb{128, 0, 128}));
}

TEST(SurfaceDrawing, PartialAlphaMixesThePixelByItsWeight) {
    // Alpha 128 over grey 100: 200 × 128/255 + 100 × 127/255 = 150.2, and so on per channel.
    Surface s = UnitSurface(3, 1);
    ASSERT_TRUE(s.setBackColor(MakeColorRef(100, 100, 100)).ok());
    s.drawPicture(MakePicture(1, 1, {{200, 40, 0, 128}}), 0, 0, 1, 1);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{150, 70, 50}));
    // White at alpha 128 over black gives the midpoint; shrunk with a transparent pixel into one,
    // half of that.
    ASSERT_TRUE(s.setBackColor(MakeColorRef(0, 0, 0)).ok());
    const Picture half = MakePicture(2, 1, {{255, 255, 255, 128}, kClear});
    EXPECT_TRUE(half.hasTransparency());
    s.drawPicture(half, 1, 0, 1, 1);
    s.drawPicture(half, 2, 0, 2, 1);
    EXPECT_EQ(s.pixelAt(1, 0), (Rgb{64, 64, 64}));
    EXPECT_EQ(s.pixelAt(2, 0), (Rgb{128, 128, 128}));
}

TEST(PictureSums, MatchCellByCellSumsAcrossBandsOfRows) {
    // Footprints over tall and wide pictures cross the bands of stored column sums anywhere;
    // opaque, transparent-or-opaque and partly transparent pictures keep at most 6 bytes a pixel.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const auto& [w, h] : {std::pair{37, 70}, std::pair{9, 203}, std::pair{301, 41}}) {
        for (int alphas : {0, 1, 2}) {  // 255 only, 0 or 255, any
            std::vector<PixelRgba> pixels(static_cast<size_t>(w) * h);
            for (PixelRgba& p : pixels) {
                p = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), 255};
                if (alphas == 1 && rng() % 4 == 0)
                    p.a = 0;
                if (alphas == 2)
                    p.a = static_cast<uint8_t>(rng());
            }
            const Picture picture = MakePicture(w, h, pixels);
            EXPECT_LE(picture.memoryBytes(), 6u * w * h);
            for (int trial = 0; trial < 40; ++trial) {
                const double x0 = unit(rng) * w, x1 = x0 + unit(rng) * (w - x0) + 0.01;
                const double y0 = unit(rng) * h, y1 = y0 + unit(rng) * (h - y0) + 0.01;
                double want[4] = {0, 0, 0, 0};
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const double cover = std::max(0.0, std::min<double>(x + 1, x1) - std::max<double>(x, x0)) *
                                             std::max(0.0, std::min<double>(y + 1, y1) - std::max<double>(y, y0));
                        const PixelRgba& p = pixels[static_cast<size_t>(y) * w + x];
                        want[0] += cover * p.r * p.a / 255;
                        want[1] += cover * p.g * p.a / 255;
                        want[2] += cover * p.b * p.a / 255;
                        want[3] += cover * p.a / 255;
                    }
                const FootprintSums got = picture.sums(AxisFootprint::Of(x0, x1, w), AxisFootprint::Of(y0, y1, h));
                // Exact up to rounding, but for colours premultiplied to whole bytes.
                const double area = (std::min<double>(x1, w) - x0) * (std::min<double>(y1, h) - y0);
                const double slack = alphas == 2 ? 0.5 * area + 1e-6 : 1e-6 * (1 + 255 * area);
                EXPECT_NEAR(got.r, want[0], slack) << w << "x" << h << " alphas " << alphas;
                EXPECT_NEAR(got.g, want[1], slack);
                EXPECT_NEAR(got.b, want[2], slack);
                EXPECT_NEAR(got.opaque, want[3], 1e-6 * (1 + area));
            }
        }
    }
}

TEST(SurfaceDrawing, LaterCopiesPaintOverEarlierOnes) {
    Surface s = UnitSurface(4, 1);
    s.drawPicture(SolidPicture(1, 1, kRed), 0, 0, 3, 1);
    s.drawPicture(SolidPicture(1, 1, {0, 255, 0, 255}), 2, 0, 2, 1);
    EXPECT_EQ(s.pixelAt(1, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.pixelAt(2, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.pixelAt(3, 0), (Rgb{0, 255, 0}));
}

TEST(SurfaceDrawing, ClipsCopiesPartlyOrWhollyOutside) {
    Surface s = UnitSurface(4, 2);
    auto picture = MakePicture(4, 1, {{10, 0, 0, 255}, {20, 0, 0, 255}, {30, 0, 0, 255}, {40, 0, 0, 255}});
    s.drawPicture(picture, -2, 0, 4, 1);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{30, 0, 0}));
    EXPECT_EQ(s.pixelAt(1, 0), (Rgb{40, 0, 0}));
    EXPECT_EQ(s.pixelAt(2, 0), kWhite);

    const std::vector<uint8_t> before = s.pixels();
    s.drawPicture(picture, -1e9, 0, 4, 1);
    s.drawPicture(picture, 1e12, 1e12, 4, 1);
    s.drawPicture(picture, 0, 0, 0, 1);
    s.drawPicture(picture, 0, 0, -3, 1);
    s.drawPicture(Picture(), 0, 0, 4, 2);
    EXPECT_EQ(s.pixels(), before);
}

TEST(SurfaceDrawing, CustomScaleMapsUnitsAcrossTheInnerArea) {
    // The preview's measure: 9000 units across 598 pixels.
    Surface s(598, 67);
    s.setScaleWidth(9000);
    EXPECT_DOUBLE_EQ(s.scaleWidth(), 9000);
    EXPECT_DOUBLE_EQ(s.scaleHeight(), 1005);
    s.drawPicture(SolidPicture(1, 1, kRed), 4500, 0, 9000, 1005);
    // Pixel 298's centre is at 298.5 × 9000 / 598 = 4492.5 units, pixel 299's at 4507.5.
    EXPECT_EQ(s.pixelAt(298, 10), kWhite);
    EXPECT_EQ(s.pixelAt(299, 10), (Rgb{255, 0, 0}));
}

TEST(SurfaceBackColor, RefusesMinusOneAndFillsOnChange) {
    Surface s = UnitSurface(2, 2);
    s.drawPicture(SolidPicture(1, 1, kRed), 0, 0, 1, 1);
    Status refused = s.setBackColor(-1);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code, ErrorCode::InvalidArgument);
    EXPECT_EQ(s.backColor(), MakeColorRef(255, 255, 255));
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{255, 0, 0}));  // a refused colour leaves the image alone

    ASSERT_TRUE(s.setBackColor(MakeColorRef(1, 2, 3)).ok());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(s.pixelAt(x, y), (Rgb{1, 2, 3}));
}

TEST(SurfaceSize, ResizeKeepsWhatOverlapsAndTwipsRoundToPixels) {
    Surface s(4, 4);
    s.drawPicture(SolidPicture(1, 1, kRed), 0, 0, 15, 15);
    ASSERT_TRUE(s.setBackColor(MakeColorRef(0, 0, 0)).ok());
    s.drawPicture(SolidPicture(1, 1, kRed), 0, 0, 15, 15);
    ASSERT_TRUE(s.setHeightTwips(2000).ok());  // 133.3 pixels
    EXPECT_EQ(s.heightPx(), 133);
    EXPECT_DOUBLE_EQ(s.scaleHeight(), 1995);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.pixelAt(0, 100), (Rgb{0, 0, 0}));
    ASSERT_TRUE(s.setHeightTwips(1700).ok());
    EXPECT_EQ(s.heightPx(), 113);
    ASSERT_TRUE(s.setWidthTwips(15 * 1024).ok());
    EXPECT_EQ(s.widthPx(), 1024);
    EXPECT_DOUBLE_EQ(s.scaleWidth(), 15360);

    // Sizes that cannot be held are refused and change nothing (on the 32-bit build a product
    // of sides this large would otherwise wrap around the address space).
    for (Status refused : {s.resize(70000, 70000), s.resize(-1, 5), s.setWidthTwips(1e12),
                           s.setHeightTwips(-15 * 3), s.setHeightTwips(std::nan(""))}) {
        ASSERT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error().code == ErrorCode::InvalidArgument ||
                    refused.error().code == ErrorCode::Overflow);
    }
    EXPECT_EQ(s.widthPx(), 1024);
    EXPECT_EQ(s.heightPx(), 113);
    EXPECT_EQ(s.pixelAt(0, 0), (Rgb{255, 0, 0}));
}

TEST(SurfaceDrawing, FootprintsTooLargeForThirtyTwoBitSumsStayExact) {
    // 2902 × 2902 cells of 255 exceed what a wrapped 32-bit difference holds, so the one-pixel
    // drawing sums in bands; the two-pixel drawing still uses the edge sums.
    const int32_t side = 2902;
    std::vector<uint8_t> rgba(static_cast<size_t>(side) * side * 4);
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * side + x) * 4];
            p[0] = x < side / 2 ? 0 : 255;
            p[1] = 77;
            p[2] = 255;
            p[3] = 255;
        }
    const Picture picture = Picture::FromRgba(side, side, rgba.data()).value();
    Surface one = UnitSurface(1, 1);
    one.drawPicture(picture, 0, 0, 1, 1);
    EXPECT_EQ(one.pixelAt(0, 0), (Rgb{128, 77, 255}));
    Surface two = UnitSurface(2, 1);
    two.drawPicture(picture, 0, 0, 2, 1);
    EXPECT_EQ(two.pixelAt(0, 0), (Rgb{0, 77, 255}));
    EXPECT_EQ(two.pixelAt(1, 0), (Rgb{255, 77, 255}));
}

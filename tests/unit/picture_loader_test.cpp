// The picture loader: valid GIF, JPEG, PNG and bitmap files of each kind decode to the patterns
// that tests/data/make-pictures.sh drew them from and to ImageMagick's pixels for the same files;
// every file of the broken corpus (made by tests/data/make-broken.py, plus inputs found by
// fuzzing) gives the error its name announces; file errors, limits, out-of-memory and the
// allocation tracker behind stb_image.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/picture_loader.h"
#include "core/pixel_buffer.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/stb_image_impl.h"
#include "tests/support/huge_bitmap.h"

using namespace tess;
namespace fs = std::filesystem;

namespace {

// ---- the patterns of make-pictures.sh -------------------------------------------------------

Rgba RgbPattern(int x, int y) {
    return {static_cast<uint8_t>(20 + 30 * x), static_cast<uint8_t>(10 + 55 * y),
            static_cast<uint8_t>((23 * x * y + 7 * x + 90) % 256), 255};
}

bool IsHole(int x, int y) { return (x + 2 * y) % 5 == 0; }

Rgba SixteenPattern(int x, int y) {
    const int i = (x + 3 * y) % 16;
    return {static_cast<uint8_t>(16 * i), static_cast<uint8_t>(255 - 16 * i),
            static_cast<uint8_t>((37 * i) % 256), 255};
}

Rgba MonoPattern(int x, int y) {
    const uint8_t v = (3 * x + y) % 5 < 2 ? 255 : 0;
    return {v, v, v, 255};
}

Rgba SmoothPattern(int x, int y) {
    return {static_cast<uint8_t>(40 + 20 * x), static_cast<uint8_t>(60 + 15 * y),
            static_cast<uint8_t>(200 - 10 * x - 8 * y), 255};
}

std::string DataPath(const std::string& relative) {
    return std::string(TESS_TEST_DATA_DIR) + "/" + relative;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decodes a test picture, and checks that its header announced the size it decoded to.
Picture Load(const std::string& name) {
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), DataPath("pictures/" + name));
    if (!picture.ok()) {
        ADD_FAILURE() << name << ": " << picture.error().message;
        return Picture();
    }
    const std::vector<uint8_t> bytes = ReadFile(DataPath("pictures/" + name));
    Result<PictureSize> size = InspectPicture(bytes.data(), bytes.size());
    if (!size.ok()) {
        ADD_FAILURE() << name << ": " << size.error().message;
    } else {
        EXPECT_EQ(size.value().width, picture.value().width()) << name;
        EXPECT_EQ(size.value().height, picture.value().height()) << name;
    }
    return picture.value();
}

template <typename Pattern>
void ExpectExactly(const Picture& picture, int width, int height, Pattern pattern) {
    ASSERT_EQ(picture.width(), width);
    ASSERT_EQ(picture.height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(picture.pixelAt(x, y), pattern(x, y)) << "at " << x << "," << y;
}

struct Differences {
    int largest = 0;     // largest channel difference
    double mean = 0;     // mean channel difference
};

// How far the picture's channels are from the pattern (all pixels must be opaque).
template <typename Pattern>
Differences Compare(const Picture& picture, Pattern pattern) {
    Differences d;
    double total = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgba got = picture.pixelAt(x, y), want = pattern(x, y);
            EXPECT_EQ(got.a, 255) << "at " << x << "," << y;
            for (int diff : {std::abs(got.r - want.r), std::abs(got.g - want.g), std::abs(got.b - want.b)}) {
                d.largest = std::max(d.largest, diff);
                total += diff;
            }
        }
    }
    d.mean = total / (3.0 * picture.width() * picture.height());
    return d;
}

void ExpectAllOpaque(const Picture& picture) {
    EXPECT_FALSE(picture.hasTransparency());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            EXPECT_EQ(picture.pixelAt(x, y).a, 255) << "at " << x << "," << y;
}

// ---- GIF ------------------------------------------------------------------------------------

TEST(PictureLoaderGif, TransparentColourStaysTransparent) {
    const Picture picture = Load("gif-transparent.gif");
    EXPECT_TRUE(picture.hasTransparency());
    ExpectExactly(picture, 7, 5, [](int x, int y) { return IsHole(x, y) ? Rgba{} : RgbPattern(x, y); });
}

TEST(PictureLoaderGif, TransparencyReachesTheSums) {
    const Picture picture = Load("gif-transparent.gif");
    const FootprintSums all = picture.sums(AxisFootprint::Of(0, 7, 7), AxisFootprint::Of(0, 5, 5));
    double opaque = 0, red = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            if (!IsHole(x, y)) {
                opaque += 1;
                red += RgbPattern(x, y).r;
            }
    EXPECT_DOUBLE_EQ(all.opaque, opaque);
    EXPECT_DOUBLE_EQ(all.r, red);
}

TEST(PictureLoaderGif, Gif87aWithoutTransparency) {
    const Picture picture = Load("gif87-opaque.gif");
    EXPECT_FALSE(picture.hasTransparency());
    ExpectExactly(picture, 7, 5, RgbPattern);
}

TEST(PictureLoaderGif, Interlaced) { ExpectExactly(Load("gif-interlaced.gif"), 7, 5, RgbPattern); }

TEST(PictureLoaderGif, OnlyTheFirstFrameOfAnAnimation) {
    ExpectExactly(Load("gif-two-frames.gif"), 7, 5, RgbPattern);
}

TEST(PictureLoaderGif, WhatTheFirstImageDoesNotCoverIsTransparent) {
    // stb would paint the background colour (index 1, opaque black) there; browsers show nothing.
    const Picture picture = Load("gif-small-frame.gif");
    EXPECT_TRUE(picture.hasTransparency());
    ExpectExactly(picture, 7, 5, [](int x, int y) {
        return x >= 2 && x < 5 && y >= 1 && y < 4 ? Rgba{255, 0, 0, 255} : Rgba{};
    });
}

// ---- JPEG -----------------------------------------------------------------------------------

Rgba GreyPattern(int x, int y) {
    const auto v = static_cast<uint8_t>(40 + 15 * x + 12 * y);
    return {v, v, v, 255};
}

// Tolerances: what libjpeg itself gives back for these files at quality 95, with a margin.
TEST(PictureLoaderJpeg, Baseline) {
    const Picture picture = Load("jpeg-baseline.jpg");
    ASSERT_EQ(picture.width(), 9);
    ASSERT_EQ(picture.height(), 7);
    ExpectAllOpaque(picture);
    const Differences d = Compare(picture, SmoothPattern);
    EXPECT_LE(d.largest, 6);
    EXPECT_LE(d.mean, 2.0);
}

TEST(PictureLoaderJpeg, ProgressiveWithSubsampledColour) {
    const Picture picture = Load("jpeg-progressive.jpg");
    ASSERT_EQ(picture.width(), 9);
    ASSERT_EQ(picture.height(), 7);
    ExpectAllOpaque(picture);
    const Differences d = Compare(picture, SmoothPattern);
    EXPECT_LE(d.largest, 22);  // colour at half resolution blurs the 20-per-pixel red ramp
    EXPECT_LE(d.mean, 4.0);
}

TEST(PictureLoaderJpeg, Greyscale) {
    const Picture picture = Load("jpeg-grey.jpg");
    ASSERT_EQ(picture.width(), 9);
    ASSERT_EQ(picture.height(), 7);
    ExpectAllOpaque(picture);
    const Differences d = Compare(picture, GreyPattern);
    EXPECT_LE(d.largest, 4);
    EXPECT_LE(d.mean, 1.5);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            const Rgba p = picture.pixelAt(x, y);
            EXPECT_TRUE(p.r == p.g && p.g == p.b) << "at " << x << "," << y;
        }
}

TEST(PictureLoaderJpeg, SameFromMemoryAndFromFile) {
    const std::vector<uint8_t> bytes = ReadFile(DataPath("pictures/jpeg-progressive.jpg"));
    Result<Picture> fromMemory = DecodePicture(bytes.data(), bytes.size());
    ASSERT_TRUE(fromMemory.ok()) << fromMemory.error().message;
    const Picture fromFile = Load("jpeg-progressive.jpg");
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(fromMemory.value().pixelAt(x, y), fromFile.pixelAt(x, y));
}

// ---- Windows bitmaps ------------------------------------------------------------------------

TEST(PictureLoaderBmp, OneBitPerPixel) { ExpectExactly(Load("bmp-1bit.bmp"), 7, 5, MonoPattern); }
TEST(PictureLoaderBmp, FourBitsPerPixel) { ExpectExactly(Load("bmp-4bit.bmp"), 7, 5, SixteenPattern); }
TEST(PictureLoaderBmp, EightBitsPerPixel) { ExpectExactly(Load("bmp-8bit.bmp"), 7, 5, RgbPattern); }
TEST(PictureLoaderBmp, EightBitsWithAShortPalette) {
    ExpectExactly(Load("bmp-8bit-short-palette.bmp"), 7, 5, RgbPattern);
}
TEST(PictureLoaderBmp, TwentyFourBitsPerPixel) { ExpectExactly(Load("bmp-24bit.bmp"), 7, 5, RgbPattern); }
TEST(PictureLoaderBmp, TopDownRows) { ExpectExactly(Load("bmp-24bit-topdown.bmp"), 7, 5, RgbPattern); }
TEST(PictureLoaderBmp, Os2Headers) {
    ExpectExactly(Load("bmp-os2-24bit.bmp"), 7, 5, RgbPattern);
    ExpectExactly(Load("bmp-os2-8bit.bmp"), 7, 5, RgbPattern);
}

TEST(PictureLoaderBmp, SixteenBitsPerPixel) {
    const Picture picture = Load("bmp-16bit.bmp");
    ASSERT_EQ(picture.width(), 7);
    ASSERT_EQ(picture.height(), 5);
    EXPECT_LE(Compare(picture, RgbPattern).largest, 8);  // five bits per channel
}

TEST(PictureLoaderBmp, ThirtyTwoBitsIsOpaqueWhateverItsAlpha) {
    // The file's alpha channel has zeros where the holes pattern has them; the loader ignores it.
    const Picture picture = Load("bmp-32bit-alpha.bmp");
    ExpectAllOpaque(picture);
    ExpectExactly(picture, 7, 5, RgbPattern);
}

// ---- the same pixels as ImageMagick ---------------------------------------------------------

// ImageMagick's decoding of a test picture, made at build time (tests/data/imagemagick-reference.sh):
// raw RGBA, a GIF's first image laid on its screen, a bitmap opaque.
std::vector<uint8_t> ImageMagickPixels(const std::string& name) {
    return ReadFile(std::string(TESS_PICTURE_REFERENCE_DIR) + "/" + name + ".rgba");
}

// Every test picture, made by ImageMagick or by hand where it writes no such file, has the pixels
// ImageMagick decodes from it: exactly, or within one level for JPEG (another IDCT and colour
// conversion); within two where the colour is subsampled, since stb rounds every doubled chroma
// sample up where libjpeg alternates, and the conversion to red and blue multiplies by up to 1.8. Where the loader leaves a pixel transparent ImageMagick must have it transparent
// too, except for pixels nothing draws, which ImageMagick paints opaque (an RLE bitmap's skipped
// pixels take palette colour 0); `undrawn` counts those. ImageMagick reads an OS/2 2.x bitmap's
// palette as three bytes an entry, where OS/2 and Windows read four; that file, the 8-bit bitmap
// with a longer header, is compared with ImageMagick's decoding of the 8-bit bitmap itself.
TEST(PictureLoaderAgainstImageMagick, EveryTestPictureHasTheSamePixels) {
    const struct {
        const char* name;
        int tolerance;
        int undrawn;
        const char* reference = nullptr;  // another file ImageMagick decodes to the same pixels
    } cases[] = {
        {"gif-transparent.gif", 0, 0},       {"gif87-opaque.gif", 0, 0},
        {"gif-interlaced.gif", 0, 0},        {"gif-two-frames.gif", 0, 0},
        {"gif-small-frame.gif", 0, 0},       {"gif-frame-beyond-screen.gif", 0, 0},
        {"gif-no-clear-code.gif", 0, 0},     {"gif-code-size-11.gif", 0, 0},
        {"gif-full-table-no-clear.gif", 0, 0},
        {"jpeg-baseline.jpg", 1, 0},         {"jpeg-progressive.jpg", 2, 0},
        {"jpeg-grey.jpg", 1, 0},
        {"bmp-1bit.bmp", 0, 0},              {"bmp-4bit.bmp", 0, 0},
        {"bmp-8bit.bmp", 0, 0},              {"bmp-8bit-short-palette.bmp", 0, 0},
        {"bmp-8bit-rle.bmp", 0, 0},          {"bmp-rle4.bmp", 0, 0},
        {"bmp-rle8-delta.bmp", 0, 16},       {"bmp-16bit.bmp", 0, 0},
        {"bmp-16bit-565.bmp", 0, 0},         {"bmp-16bit-565-v1.bmp", 0, 0},
        {"bmp-24bit.bmp", 0, 0},             {"bmp-24bit-topdown.bmp", 0, 0},
        {"bmp-32bit-alpha.bmp", 0, 0},       {"bmp-32bit-v2-bitfields.bmp", 0, 0},
        {"bmp-32bit-v3-bitfields.bmp", 0, 0}, {"bmp-32bit-v4-bitfields.bmp", 0, 0},
        {"bmp-os2-24bit.bmp", 0, 0},         {"bmp-os2-8bit.bmp", 0, 0},
        {"bmp-os2-8bit-last-colours.bmp", 0, 0}, {"bmp-os2v2-8bit.bmp", 0, 0, "bmp-8bit.bmp"},
    };
    size_t listed = 0;
    for (const auto& entry : fs::directory_iterator(DataPath("pictures"))) {
        const std::string name = entry.path().filename().string();
        const auto c = std::find_if(std::begin(cases), std::end(cases),
                                    [&](const auto& c) { return name == c.name; });
        if (c == std::end(cases)) {
            ADD_FAILURE() << name << " is missing from the table";
            continue;
        }
        ++listed;
        const Picture picture = Load(name);
        const std::vector<uint8_t> expected = ImageMagickPixels(c->reference ? c->reference : name);
        ASSERT_EQ(expected.size(), size_t{4} * picture.width() * picture.height()) << name;
        int undrawn = 0, largest = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const Rgba got = picture.pixelAt(x, y);
                const uint8_t* want = &expected[(size_t{4} * picture.width()) * y + 4 * x];
                if (got.a == 0) {
                    undrawn += want[3] != 0;
                    continue;
                }
                ASSERT_EQ(want[3], 255) << name << " at " << x << "," << y;
                for (int diff : {got.r - want[0], got.g - want[1], got.b - want[2]})
                    largest = std::max(largest, std::abs(diff));
            }
        EXPECT_LE(largest, c->tolerance) << name;
        EXPECT_EQ(undrawn, c->undrawn) << name;
    }
    EXPECT_EQ(listed, std::size(cases));
}

// ---- PNG ------------------------------------------------------------------------------------

// Every colour type, legal bit depth and interlacing, with and without tRNS (tests/data/png, made
// by make-png-pictures.py, two of them written by ImageMagick), decodes to ImageMagick's pixels
// exactly: straight RGBA with partial alpha as stored, 16-bit samples rounded as ImageMagick
// rounds them. Where ImageMagick has a pixel fully transparent, only the alpha is compared.
TEST(PictureLoaderPng, EveryColourTypeDepthAndInterlacingHasImageMagicksPixels) {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(DataPath("png"))) {
        const std::string name = entry.path().filename().string();
        ++files;
        const std::vector<uint8_t> bytes = ReadFile(entry.path().string());
        Result<PixelBuffer> pixels = DecodePixels(bytes.data(), bytes.size());
        ASSERT_TRUE(pixels.ok()) << name << ": " << pixels.error().message;
        const PixelBuffer& got = pixels.value();
        Result<PictureSize> size = InspectPicture(bytes.data(), bytes.size());
        ASSERT_TRUE(size.ok()) << name;
        EXPECT_EQ(size.value().width, got.width()) << name;
        EXPECT_EQ(size.value().height, got.height()) << name;
        const std::vector<uint8_t> expected = ImageMagickPixels(name);
        ASSERT_EQ(expected.size(), got.sizeBytes()) << name;
        int wrong = 0;
        for (size_t i = 0; i < expected.size(); i += 4) {
            const bool same = expected[i + 3] == 0 ? got.data()[i + 3] == 0
                                                   : std::equal(&expected[i], &expected[i] + 4, got.data() + i);
            if (!same && wrong++ == 0)
                ADD_FAILURE() << name << ": pixel " << i / 4 << " is " << int(got.data()[i]) << ","
                              << int(got.data()[i + 1]) << "," << int(got.data()[i + 2]) << ","
                              << int(got.data()[i + 3]) << ", ImageMagick has " << int(expected[i]) << ","
                              << int(expected[i + 1]) << "," << int(expected[i + 2]) << "," << int(expected[i + 3]);
        }
        EXPECT_EQ(wrong, 0) << name;
    }
    EXPECT_EQ(files, 54u);
}

TEST(PictureLoaderPng, InflatingStopsAtTheSizeTheHeaderImplies) {
    // A 16 x 16 RGB picture whose 20 KB of image data inflate to 20 MB.
    const std::vector<uint8_t> bomb = ReadFile(DataPath("broken/corrupt-png-image-data-bomb.png"));
    Result<Picture> picture = DecodePicture(bomb.data(), bomb.size());
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::CorruptPicture) << picture.error().message;
    const stb::AllocationStats stats = stb::AllocationScope::LastClosedStats();
    EXPECT_EQ(stats.largestBlock, 16u * (1 + 16 * 3));  // the filtered rows, nothing more
    EXPECT_EQ(stats.peakBytes, stats.largestBlock);
}

// ---- the broken corpus ----------------------------------------------------------------------

TEST(PictureLoaderBroken, EveryFileGivesTheErrorItsNameAnnounces) {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(DataPath("broken"))) {
        const std::string name = entry.path().filename().string();
        ErrorCode expected;
        if (name.rfind("notapicture-", 0) == 0)
            expected = ErrorCode::NotAPicture;
        else if (name.rfind("toolarge-", 0) == 0)
            expected = ErrorCode::PictureTooLarge;
        else if (name.rfind("corrupt-", 0) == 0)
            expected = ErrorCode::CorruptPicture;
        else {
            ADD_FAILURE() << name << ": the name does not say which error to expect";
            continue;
        }
        ++files;
        Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), entry.path().string());
        if (picture.ok()) {
            ADD_FAILURE() << name << " decoded as a " << picture.value().width() << " x "
                          << picture.value().height() << " picture";
            continue;
        }
        EXPECT_EQ(static_cast<int>(picture.error().code), static_cast<int>(expected))
            << name << ": " << picture.error().message;
        EXPECT_FALSE(picture.error().message.empty()) << name;
        // The same from memory.
        const std::vector<uint8_t> bytes = ReadFile(entry.path().string());
        Result<Picture> decoded = DecodePicture(bytes.data(), bytes.size());
        ASSERT_FALSE(decoded.ok()) << name;
        EXPECT_EQ(static_cast<int>(decoded.error().code), static_cast<int>(expected)) << name;
        // The header alone tells a picture too large and a file that is none; damage may lie
        // past the header, so a damaged file may pass the inspection, but not as another error.
        Result<PictureSize> inspected = InspectPicture(bytes.data(), bytes.size());
        if (!inspected.ok())
            EXPECT_EQ(static_cast<int>(inspected.error().code), static_cast<int>(expected)) << name;
        else
            EXPECT_EQ(expected, ErrorCode::CorruptPicture) << name << " passed the inspection";
    }
    EXPECT_GE(files, 60u);
}

TEST(PictureLoaderBroken, FuzzRegressionsDecodeOrFailCleanly) {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(DataPath("fuzz-regressions"))) {
        if (entry.path().extension() == ".md")
            continue;
        ++files;
        Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), entry.path().string());
        if (!picture.ok()) {
            EXPECT_FALSE(picture.error().message.empty()) << entry.path();
        }
    }
    EXPECT_GE(files, 1u);
}

TEST(PictureLoaderBroken, TooLargeIsRefusedBeforeAnyPixelBufferIsAllocated) {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(DataPath("broken"))) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("toolarge-", 0) != 0)
            continue;
        ++files;
        const std::vector<uint8_t> bytes = ReadFile(entry.path().string());
        Result<Picture> picture = DecodePicture(bytes.data(), bytes.size());
        ASSERT_FALSE(picture.ok()) << name;
        EXPECT_EQ(picture.error().code, ErrorCode::PictureTooLarge) << name;
        const stb::AllocationStats stats = stb::AllocationScope::LastClosedStats();
        // Header parsing needs at most stb's decoder state (about 40 KB for GIF); the smallest
        // pixel buffer these files announce is 20000 x 10 x 4 = 800 KB.
        EXPECT_LT(stats.largestBlock, 64u * 1024) << name;
        EXPECT_LT(stats.peakBytes, 64u * 1024) << name;
    }
    EXPECT_GE(files, 8u);
}

// ---- limits ---------------------------------------------------------------------------------

TEST(PictureLoaderLimits, TighterLimitsAreHonoured) {
    const std::vector<uint8_t> bytes = ReadFile(DataPath("pictures/gif-transparent.gif"));
    EXPECT_TRUE(DecodePicture(bytes.data(), bytes.size(), PictureLimits{7, 35}).ok());
    Result<Picture> narrow = DecodePicture(bytes.data(), bytes.size(), PictureLimits{6, 35});
    ASSERT_FALSE(narrow.ok());
    EXPECT_EQ(narrow.error().code, ErrorCode::PictureTooLarge);
    Result<Picture> small = DecodePicture(bytes.data(), bytes.size(), PictureLimits{7, 34});
    ASSERT_FALSE(small.ok());
    EXPECT_EQ(small.error().code, ErrorCode::PictureTooLarge);
    EXPECT_NE(small.error().message.find("7 x 5"), std::string::npos) << small.error().message;
}

TEST(PictureLoaderLimits, LooserLimitsAreClampedToTheLoaders) {
    const std::vector<uint8_t> bytes = ReadFile(DataPath("broken/toolarge-bmp-20000x10.bmp"));
    Result<Picture> picture =
        DecodePicture(bytes.data(), bytes.size(), PictureLimits{1 << 30, int64_t{1} << 40});
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::PictureTooLarge);
}

// A bitmap of `width` x 1 black pixels, 32 bits each.
std::vector<uint8_t> WideBitmap(uint32_t width) {
    return tess::testing::BitmapWithHeaders(width, 1, 32, 0, 0, static_cast<size_t>(width) * 4);
}

TEST(PictureLoaderLimits, TheSideLimitIsInclusive) {
    std::vector<uint8_t> bmp = WideBitmap(16384);
    Result<Picture> picture = DecodePicture(bmp.data(), bmp.size());
    ASSERT_TRUE(picture.ok()) << picture.error().message;
    EXPECT_EQ(picture.value().width(), 16384);
    bmp = WideBitmap(16385);
    Result<Picture> wider = DecodePicture(bmp.data(), bmp.size());
    ASSERT_FALSE(wider.ok());
    EXPECT_EQ(wider.error().code, ErrorCode::PictureTooLarge);
}

// ---- memory and the stb allocation tracker --------------------------------------------------

TEST(PictureLoaderMemory, AllocationFailureIsOutOfMemory) {
    // 1000 bytes: stb cannot even allocate the JPEG decoder's state for the header; 100 and 10000
    // bytes: the GIF's and the bitmap's headers pass and their 140 bytes and 64 KB of pixels do
    // not fit.
    const std::vector<uint8_t> gif = ReadFile(DataPath("pictures/gif-transparent.gif"));
    const std::vector<uint8_t> jpeg = ReadFile(DataPath("pictures/jpeg-progressive.jpg"));
    const std::vector<uint8_t> bmp = WideBitmap(16384);
    const struct {
        const std::vector<uint8_t>* bytes;
        size_t budget;
    } cases[] = {{&gif, 100}, {&jpeg, 1000}, {&bmp, 10000}};
    for (const auto& c : cases) {
        stb::AllocationScope::SetDefaultBudgetForTesting(c.budget);
        Result<Picture> picture = DecodePicture(c.bytes->data(), c.bytes->size());
        stb::AllocationScope::SetDefaultBudgetForTesting(0);
        ASSERT_FALSE(picture.ok()) << c.budget;
        EXPECT_EQ(picture.error().code, ErrorCode::OutOfMemory) << picture.error().message;
        EXPECT_TRUE(DecodePicture(c.bytes->data(), c.bytes->size()).ok());
    }
}

// Pictures of each format announcing 8192 x 8192 pixels (256 MB decoded) in a few kilobytes.
std::vector<uint8_t> HugeGif() {
    // An 8192 x 8192 screen with one 1 x 1 image on it.
    return {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x20, 0x00, 0x20, 0x80, 0, 0,
            0, 0, 0, 255, 255, 255,
            0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
}

std::vector<uint8_t> HugePng() {
    // The header of a 13 x 11 PNG made to announce 8192 x 8192, its CRC made again, then its data.
    std::vector<uint8_t> png = ReadFile(DataPath("png/png-rgb-8.png"));
    const uint8_t side[4] = {0, 0, 0x20, 0};
    std::copy(side, side + 4, png.begin() + 16);
    std::copy(side, side + 4, png.begin() + 20);
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    crc ^= 0xFFFFFFFF;
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return png;
}

std::vector<uint8_t> HugeJpeg() {
    // A small baseline JPEG whose frame header is made to announce 8192 x 8192.
    std::vector<uint8_t> jpeg = ReadFile(DataPath("pictures/jpeg-baseline.jpg"));
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 7] = 0x20;
            jpeg[i + 6] = jpeg[i + 8] = 0x00;
            return jpeg;
        }
    }
    ADD_FAILURE() << "jpeg-baseline.jpg has no baseline frame header";
    return jpeg;
}

TEST(PictureLoaderMemory, TheHeaderTellsTheSizeWithoutAnyPixelBuffer) {
    // Under a 64 KB budget the decode fails for want of its pixel buffer; the inspection, which
    // allocates none, tells the size all the same.
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {{"bitmap", tess::testing::HugeRle8Bitmap()}, {"GIF", HugeGif()}, {"JPEG", HugeJpeg()},
                 {"PNG", HugePng()}};
    for (const auto& c : cases) {
        stb::AllocationScope::SetDefaultBudgetForTesting(64 * 1024);
        Result<PictureSize> size = InspectPicture(c.bytes.data(), c.bytes.size());
        Result<Picture> decoded = DecodePicture(c.bytes.data(), c.bytes.size());
        stb::AllocationScope::SetDefaultBudgetForTesting(0);
        ASSERT_TRUE(size.ok()) << c.name << ": " << size.error().message;
        EXPECT_EQ(size.value().width, 8192) << c.name;
        EXPECT_EQ(size.value().height, 8192) << c.name;
        ASSERT_FALSE(decoded.ok()) << c.name;
        EXPECT_EQ(decoded.error().code, ErrorCode::OutOfMemory) << c.name << ": " << decoded.error().message;
    }
}

TEST(PictureLoaderTracker, FreesWhatIsLeftWhenTheScopeCloses) {
    {
        stb::AllocationScope scope;
        void* a = stb::AllocationScope::Allocate(100);
        void* b = stb::AllocationScope::Allocate(1000);
        void* c = stb::AllocationScope::Allocate(10);
        ASSERT_TRUE(a && b && c);
        stb::AllocationScope::Free(b);
        EXPECT_EQ(scope.stats().allocations, 3u);
        EXPECT_EQ(scope.stats().largestBlock, 1000u);
        EXPECT_EQ(scope.stats().peakBytes, 1110u);
    }
    const stb::AllocationStats stats = stb::AllocationScope::LastClosedStats();
    EXPECT_EQ(stats.reclaimedBlocks, 2u);  // a and c: LeakSanitizer would report them otherwise
}

TEST(PictureLoaderTracker, FreesEverythingWhenADecodeIsAbandonedByAnException) {
    try {
        stb::AllocationScope scope;
        for (int i = 0; i < 10; ++i)
            ASSERT_NE(stb::AllocationScope::Allocate(4096), nullptr);
        throw stb::AssertionFailure("simulated");
    } catch (const stb::AssertionFailure& failure) {
        EXPECT_STREQ(failure.expression(), "simulated");
    }
    EXPECT_EQ(stb::AllocationScope::LastClosedStats().reclaimedBlocks, 10u);
}

TEST(PictureLoaderTracker, AnStbAssertionThrowsInsteadOfAborting) {
    bool thrown = false;
    try {
        (void)stb::BitReverseForTesting(1, 17);
    } catch (const stb::AssertionFailure& failure) {
        thrown = true;
        EXPECT_NE(std::string(failure.expression()).find("bits <= 16"), std::string::npos)
            << failure.expression();
    }
    EXPECT_TRUE(thrown);
}

TEST(PictureLoaderTracker, BlocksAreZeroedAndReallocationKeepsTheContents) {
    stb::AllocationScope scope;
    auto* block = static_cast<uint8_t*>(stb::AllocationScope::Allocate(64));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(std::all_of(block, block + 64, [](uint8_t b) { return b == 0; }));
    for (int i = 0; i < 64; ++i)
        block[i] = static_cast<uint8_t>(i + 1);
    block = static_cast<uint8_t*>(stb::AllocationScope::Reallocate(block, 100000));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(block[i], i + 1);
    EXPECT_TRUE(std::all_of(block + 64, block + 100000, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(scope.stats().peakBytes, 100000u);
    stb::AllocationScope::Free(block);
    stb::AllocationScope::Free(nullptr);
}

TEST(PictureLoaderTracker, BudgetRefusesAndRemembers) {
    stb::AllocationScope scope(1000);
    void* a = stb::AllocationScope::Allocate(600);
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(stb::AllocationScope::Allocate(600), nullptr);
    EXPECT_EQ(stb::AllocationScope::Reallocate(a, 1001), nullptr);  // a stays valid
    EXPECT_TRUE(scope.stats().refused);
    EXPECT_NE(stb::AllocationScope::Reallocate(a, 1000), nullptr);
}

TEST(PictureLoaderTracker, APixelBufferIsCountedByItsScopeAndOutlivesIt) {
    PixelBuffer kept;
    {
        stb::AllocationScope scope(1000);
        Result<PixelBuffer> refused = PixelBuffer::Allocate(16, 16);  // 1024 bytes
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error().code, ErrorCode::OutOfMemory);
        Result<PixelBuffer> buffer = PixelBuffer::Allocate(5, 3);
        ASSERT_TRUE(buffer.ok()) << buffer.error().message;
        EXPECT_EQ(scope.stats().peakBytes, 60u);
        EXPECT_EQ(buffer.value().row(2), buffer.value().data() + 40);
        EXPECT_TRUE(std::all_of(buffer.value().data(), buffer.value().data() + 60,
                                [](uint8_t b) { return b == 0; }));
        kept = std::move(buffer.value());
        EXPECT_TRUE(buffer.value().empty());
    }
    // The closing scope let the buffer's block go rather than freeing it under the buffer.
    EXPECT_EQ(stb::AllocationScope::LastClosedStats().reclaimedBlocks, 0u);
    ASSERT_EQ(kept.width(), 5);
    ASSERT_EQ(kept.height(), 3);
    std::fill(kept.data(), kept.data() + kept.sizeBytes(), uint8_t{7});
    EXPECT_EQ(kept.row(2)[19], 7);
    {
        // Freed under another scope, the block leaves that scope's accounting alone.
        stb::AllocationScope scope(100);
        kept = PixelBuffer();
        EXPECT_TRUE(PixelBuffer::Allocate(5, 5).ok());
        EXPECT_EQ(scope.stats().peakBytes, 100u);
    }
    EXPECT_EQ(stb::AllocationScope::LastClosedStats().reclaimedBlocks, 0u);
}

TEST(PictureLoaderTracker, DecodesOnSeveralThreadsAtOnce) {
    std::atomic<int> failures{0};
    const auto work = [&](const char* name, int width) {
        const std::vector<uint8_t> bytes = ReadFile(DataPath(std::string("pictures/") + name));
        for (int i = 0; i < 40; ++i) {
            Result<Picture> picture = DecodePicture(bytes.data(), bytes.size());
            if (!picture.ok() || picture.value().width() != width)
                ++failures;
            if (stb::AllocationScope::LastClosedStats().reclaimedBlocks != 0)
                ++failures;
        }
    };
    std::thread a(work, "gif-transparent.gif", 7), b(work, "jpeg-progressive.jpg", 9),
        c(work, "bmp-8bit.bmp", 7);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(failures.load(), 0);
}

// ---- files ----------------------------------------------------------------------------------

class PictureLoaderFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tess-picture-loader-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_ / "locked.gif", fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_F(PictureLoaderFiles, EmptyPathGivesTheEmptyPicture) {
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), "");
    ASSERT_TRUE(picture.ok());
    EXPECT_TRUE(picture.value().empty());
}

TEST_F(PictureLoaderFiles, MissingFileIsFileNotFound) {
    Result<Picture> missing = platform::LoadPicture(platform::SystemFileSystem(), (dir_ / "missing.gif").string());
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
    EXPECT_NE(missing.error().message.find("missing.gif"), std::string::npos);
    Result<Picture> inMissingFolder = platform::LoadPicture(platform::SystemFileSystem(), (dir_ / "no-such-folder" / "a.gif").string());
    ASSERT_FALSE(inMissingFolder.ok());
    EXPECT_EQ(inMissingFolder.error().code, ErrorCode::FileNotFound);
}

TEST_F(PictureLoaderFiles, FolderCannotBeOpened) {
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), dir_.string());
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::CannotOpen);
}

// A file the system will not open for reading: under Windows one another program holds open
// without leave to share it, elsewhere one without read permission, loaded by a process that has
// given up root (which reads any file).
TEST_F(PictureLoaderFiles, UnreadableFileCannotBeOpened) {
    const fs::path path = dir_ / "locked.gif";
    fs::copy_file(DataPath("pictures/gif-transparent.gif"), path);
#ifdef _WIN32
    const HANDLE held = CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), path.string());
    CloseHandle(held);
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::CannotOpen) << picture.error().message;
#else
    fs::permissions(path, fs::perms::none);
    const auto loadRefused = [&] {
        Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), path.string());
        return !picture.ok() && picture.error().code == ErrorCode::CannotOpen;
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(loadRefused());
        return;
    }
    // The user and group "nobody".
    EXPECT_EXIT(
        {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                std::_Exit(2);
            std::_Exit(loadRefused() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(PictureLoaderFiles, NamedPipeIsRefusedWithoutBlocking) {
#ifdef _WIN32
    // Windows keeps named pipes below \\.\pipe\; a name there opens as a pipe, not a file.
    const std::string name = "\\\\.\\pipe\\tess-picture-" + std::to_string(GetCurrentProcessId());
    const HANDLE server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0,
                                           nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), name);
    CloseHandle(server);
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::CannotOpen) << picture.error().message;
#else
    const fs::path path = dir_ / "pipe.gif";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), path.string());  // opening it would wait for a writer
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::CannotOpen);
#endif
}

TEST_F(PictureLoaderFiles, FileOverTheCapIsTooLargeWithoutBeingRead) {
    // A sparse file: its size says too large before a byte is read.
    const fs::path path = dir_ / "huge.bmp";
    {
        std::ofstream out(path, std::ios::binary);
        out << "BM";
    }
    fs::resize_file(path, kMaxPictureFileBytes + 1);
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), path.string());
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::PictureTooLarge);
}

TEST_F(PictureLoaderFiles, EmptyFileIsNotAPicture) {
    const fs::path path = dir_ / "empty.jpg";
    std::ofstream(path, std::ios::binary).close();
    Result<Picture> picture = platform::LoadPicture(platform::SystemFileSystem(), path.string());
    ASSERT_FALSE(picture.ok());
    EXPECT_EQ(picture.error().code, ErrorCode::NotAPicture);
}

TEST(PictureLoaderMemoryInput, EmptyAndNullInputs) {
    Result<Picture> empty = DecodePicture(nullptr, 0);
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().code, ErrorCode::NotAPicture);
    Result<Picture> null = DecodePicture(nullptr, 10);
    ASSERT_FALSE(null.ok());
    EXPECT_EQ(null.error().code, ErrorCode::InvalidArgument);
}

} // namespace

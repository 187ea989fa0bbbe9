// Writing skins as bitmap files: the header and row layout, a round trip through the picture
// loader for odd sizes, replacement of an existing file, and failures that leave it untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/bitmap_writer.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "tests/support/test_pictures.h"

using namespace tess;
namespace fs = std::filesystem;

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Surface RandomSurface(int32_t w, int32_t h, uint32_t variant) {
    std::mt19937 rng(variant);
    Surface s(w, h);
    s.drawPicture(tess::testing::RandomPicture(w, h, false, rng), 0, 0, w * 15.0, h * 15.0);
    return s;
}

class BitmapFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tess-bmp-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

} // namespace

TEST(BitmapEncoding, HeaderAndPaddedBottomUpRows) {
    Surface s(5, 3);
    ASSERT_TRUE(s.setBackColor(MakeColorRef(10, 20, 30)).ok());
    s.drawPicture(tess::testing::SolidPicture(1, 1, {200, 100, 50, 255}), 0, 0, 15, 15);  // top-left
    const std::vector<uint8_t> b = EncodeBitmap(s);
    const uint32_t rowBytes = 16;  // 15 bytes of pixels padded to four
    ASSERT_EQ(b.size(), 54u + rowBytes * 3);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Read32(b, 2), b.size());
    EXPECT_EQ(Read32(b, 10), 54u);
    EXPECT_EQ(Read32(b, 14), 40u);
    EXPECT_EQ(Read32(b, 18), 5u);
    EXPECT_EQ(Read32(b, 22), 3u);   // positive height: bottom-up
    EXPECT_EQ(b[28], 24);           // bits per pixel
    EXPECT_EQ(Read32(b, 30), 0u);   // uncompressed
    EXPECT_EQ(Read32(b, 38), 3780u); // 96 DPI in pixels per metre
    EXPECT_EQ(Read32(b, 42), 3780u);
    // The last row in the file is the top row; pixels are stored blue, green, red.
    const size_t top = 54 + rowBytes * 2;
    EXPECT_EQ(b[top], 50);
    EXPECT_EQ(b[top + 1], 100);
    EXPECT_EQ(b[top + 2], 200);
    EXPECT_EQ(b[54], 30);
    EXPECT_EQ(b[54 + 15], 0);  // padding
}

TEST_F(BitmapFiles, RoundTripsOddSizesPixelForPixel) {
    for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {7, 5}, {598, 67}, {801, 2}}) {
        const Surface s = RandomSurface(w, h, static_cast<uint32_t>(w * 1000 + h));
        const fs::path path = dir_ / "Skin.bmp";
        ASSERT_TRUE(platform::WriteBitmap(platform::SystemFileSystem(), s, path.string()).ok());
        auto read = platform::LoadPicture(platform::SystemFileSystem(), path.string());
        ASSERT_TRUE(read.ok()) << read.error().message;
        ASSERT_EQ(read.value().width(), w);
        ASSERT_EQ(read.value().height(), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba p = read.value().pixelAt(x, y);
                ASSERT_EQ((Rgb{p.r, p.g, p.b}), s.pixelAt(x, y)) << w << "x" << h << " at " << x << "," << y;
            }
    }
}

TEST_F(BitmapFiles, ReplacesAnExistingFileAndLeavesNoTemporary) {
    const fs::path path = dir_ / "Skin.bmp";
    ASSERT_TRUE(platform::WriteBitmap(platform::SystemFileSystem(), RandomSurface(9, 4, 1), path.string()).ok());
    const Surface second = RandomSurface(12, 3, 2);
    ASSERT_TRUE(platform::WriteBitmap(platform::SystemFileSystem(), second, path.string()).ok());
    EXPECT_EQ(ReadFile(path), EncodeBitmap(second));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(BitmapFiles, FailuresAreReportedAndKeepTheOldFile) {
    const fs::path path = dir_ / "Skin.bmp";
    const Surface old = RandomSurface(4, 4, 5);
    ASSERT_TRUE(platform::WriteBitmap(platform::SystemFileSystem(), old, path.string()).ok());

    // The temporary name is taken by a folder: the new file cannot even be started.
    fs::create_directory(path.string() + ".partial");
    Status blocked = platform::WriteBitmap(platform::SystemFileSystem(), RandomSurface(6, 6, 6), path.string());
    ASSERT_FALSE(blocked.ok());
    EXPECT_EQ(blocked.error().code, ErrorCode::WriteFailed);
    EXPECT_EQ(ReadFile(path), EncodeBitmap(old));

    Status missingFolder = platform::WriteBitmap(platform::SystemFileSystem(), old, (dir_ / "no such folder" / "Skin.bmp").string());
    ASSERT_FALSE(missingFolder.ok());
    EXPECT_EQ(missingFolder.error().code, ErrorCode::WriteFailed);

    fs::create_directory(dir_ / "folder.bmp");
    Status isFolder = platform::WriteBitmap(platform::SystemFileSystem(), old, (dir_ / "folder.bmp").string());
    ASSERT_FALSE(isFolder.ok());
    EXPECT_EQ(isFolder.error().code, ErrorCode::WriteFailed);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.bmp"));
}

// The setup program's and the uninstaller's resources read back from the data-only libraries the
// build links them into: artwork placed where the window's areas and drawing expect it, icons and
// version information. Their manifests are read from the built programs (embedded_resources_test).
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/picture_loader.h"
#include "platform/win32/handles.h"
#include "tests/win32/resource_reading.h"

using namespace tess;
using namespace tess::testing;

namespace {

using platform::win32::UniqueIcon;

// The sizes and colour depths an icon group offers, each also created as an icon.
struct IconImage {
    int side;
    int bitCount;
    bool creates;
};
std::vector<IconImage> IconImages(HMODULE module, const char* name) {
    const auto group = ResourceBytes(module, name, MAKEINTRESOURCEA(14));
    std::vector<IconImage> images;
    if (group.size() < 6) return images;
    const int count = group[4] | group[5] << 8;
    for (int i = 0; i < count && 6 + 14 * (i + 1) <= static_cast<int>(group.size()); ++i) {
        const uint8_t* entry = group.data() + 6 + 14 * i;
        const int side = entry[0] == 0 ? 256 : entry[0];
        const int bitCount = entry[6] | entry[7] << 8;
        const int id = entry[12] | entry[13] << 8;
        auto bits = ResourceBytes(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
        UniqueIcon icon(bits.empty() ? nullptr
                                     : CreateIconFromResourceEx(bits.data(),
                                                                static_cast<DWORD>(bits.size()),
                                                                TRUE, 0x00030000, side, side, 0));
        images.push_back({side, bitCount, static_cast<bool>(icon)});
    }
    return images;
}

bool IsPanel(const Rgba& c) { return c.r < 24 && c.g < 24 && std::abs(c.b - 64) < 24; }
bool IsYellow(const Rgba& c) { return c.r > 200 && c.g > 150 && c.b < 110; }
bool IsRed(const Rgba& c) { return c.r > 110 && c.g < 90 && c.b < 90; }

// Distance from (x, y) to the segment from (x0, y) to (x1, y) on one row.
double DistanceToBar(double x, double y, double x0, double x1, double barY) {
    const double dx = x < x0 ? x0 - x : (x > x1 ? x - x1 : 0);
    return std::hypot(dx, y - barY);
}

// A window area in pixels, converted from twips (15 a pixel).
struct Area {
    const char* name;
    int left, top, width, height;
    bool contains(int x, int y) const {
        return x >= left / 15 && x < (left + width) / 15 && y >= top / 15 && y < (top + height) / 15;
    }
};
const Area kExit{"Exit", 330, 2580, 1095, 525};
const Area kPrev{"Prev", 1860, 2580, 1035, 525};
const Area kNext{"Next", 2940, 2580, 1035, 525};
const Area kChange{"Change", 3840, 1560, 1065, 525};
const Area kClose{"close mark", 4710, 270, 315, 285};

} // namespace

TEST(InstallerResources, WizardArtworkAndPatchMatchTheWindowsAreas) {
    DataModule setup(TESS_ORVINST_RESOURCES);
    ASSERT_NE(setup.get(), nullptr) << setup.path;
    const auto bytes = ResourceBytes(setup.get(), "WIZARD", MAKEINTRESOURCEA(10));
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes[0], 0xFF);
    ASSERT_EQ(bytes[1], 0xD8);  // a JPEG
    const auto decoded = DecodePicture(bytes.data(), bytes.size());
    ASSERT_TRUE(decoded.ok()) << decoded.error().message;
    const Picture& art = decoded.value();
    ASSERT_EQ(art.width(), 355);
    ASSERT_EQ(art.height(), 234);

    // The frame is grey, the panel dark blue where the page texts go.
    const Rgba frame = art.pixelAt(4, 120);
    EXPECT_TRUE(frame.r > 64 && std::abs(frame.r - frame.b) < 40) << int(frame.r);
    EXPECT_TRUE(IsPanel(art.pixelAt(180, 80)));
    EXPECT_TRUE(IsPanel(art.pixelAt(40, 60)));

    // A yellow face under each button area, and yellow nowhere else but the close mark.
    for (const Area& a : {kExit, kPrev, kNext, kChange})
        EXPECT_TRUE(IsYellow(art.pixelAt((a.left + a.width / 2) / 15, (a.top + a.height / 2) / 15)))
            << a.name;
    // The close mark's disc, left of its dark cross.
    EXPECT_TRUE(IsYellow(art.pixelAt(317, 27)));
    EXPECT_FALSE(IsYellow(art.pixelAt(324, 27)));
    int stray = 0;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            if (IsYellow(art.pixelAt(x, y)) && !kExit.contains(x, y) && !kPrev.contains(x, y) &&
                !kNext.contains(x, y) && !kChange.contains(x, y) && !kClose.contains(x, y))
                ++stray;
    EXPECT_EQ(stray, 0);

    // The installing page retires Exit and Change with 30-pixel bars that have round ends:
    // everything in those areas that is not panel must lie under a bar.
    struct Bar {
        Area area;
        double x0, x1, y;
    };
    for (const Bar& bar : {Bar{kExit, 600 / 15.0, 1200 / 15.0, 2850 / 15.0},
                           Bar{kChange, 4000 / 15.0, 4600 / 15.0, 1800 / 15.0}}) {
        int uncovered = 0;
        for (int y = bar.area.top / 15; y < (bar.area.top + bar.area.height) / 15; ++y)
            for (int x = bar.area.left / 15; x < (bar.area.left + bar.area.width) / 15; ++x)
                if (!IsPanel(art.pixelAt(x, y)) && DistanceToBar(x, y, bar.x0, bar.x1, bar.y) > 14.5)
                    ++uncovered;
        EXPECT_EQ(uncovered, 0) << bar.area.name;
    }

    // The red lamp lies inside the green circle of the last page (radius 318 twips). The corner
    // right of the Next area and below the Change area holds nothing else.
    const double lampX = 4895 / 15.0, lampY = 3074 / 15.0, circle = 318 / 15.0;
    EXPECT_TRUE(IsRed(art.pixelAt(330, 210)));
    int outside = 0, red = 0;
    for (int y = (kChange.top + kChange.height) / 15; y < art.height(); ++y)
        for (int x = (kNext.left + kNext.width) / 15; x < art.width(); ++x)
            if (IsRed(art.pixelAt(x, y))) {
                ++red;
                outside += std::hypot(x - lampX, y - lampY) > circle - 0.5;
            }
    EXPECT_GT(red, 900);
    EXPECT_EQ(outside, 0);

    // The patch that covers a face is the panel's colour throughout.
    const auto patchBytes = ResourceBytes(setup.get(), "PATCH", MAKEINTRESOURCEA(10));
    const auto patch = DecodePicture(patchBytes.data(), patchBytes.size());
    ASSERT_TRUE(patch.ok()) << patch.error().message;
    ASSERT_EQ(patch.value().width(), 107);
    ASSERT_EQ(patch.value().height(), 57);
    const Rgba panel = art.pixelAt(180, 80);
    int differing = 0;
    for (int y = 0; y < patch.value().height(); ++y)
        for (int x = 0; x < patch.value().width(); ++x) {
            const Rgba c = patch.value().pixelAt(x, y);
            differing += std::abs(c.r - panel.r) + std::abs(c.g - panel.g) + std::abs(c.b - panel.b) > 6;
        }
    EXPECT_EQ(differing, 0);
}

TEST(InstallerResources, SetupAndUninstallerDescribeThemselves) {
    struct Program {
        const char* library;
        const char* icon;
        const char* description;
        bool hasArtwork;
    };
    for (const Program& p : {Program{TESS_ORVINST_RESOURCES, "ORVINST", "Tessary Setup", true},
                             Program{TESS_REMOVER_RESOURCES, "REMOVER", "Tessary Uninstall", false}}) {
        SCOPED_TRACE(p.library);
        DataModule module(p.library);
        ASSERT_NE(module.get(), nullptr) << module.path;

        const auto images = IconImages(module.get(), p.icon);
        ASSERT_EQ(images.size(), 2u);
        for (size_t i = 0; i < images.size(); ++i) {
            EXPECT_EQ(images[i].side, i == 0 ? 32 : 16);
            EXPECT_EQ(images[i].bitCount, 4);  // 16 colours
            EXPECT_TRUE(images[i].creates);
        }

        const std::vector<char> version = VersionBlock(module.path);
        EXPECT_EQ(VersionString(version, "ProductName"), "Tessary");
        EXPECT_EQ(VersionString(version, "FileDescription"), p.description);
        EXPECT_EQ(VersionString(version, "CompanyName"), "Halvory");
        EXPECT_EQ(VersionString(version, "FileVersion"), "1.0.0.0");

        EXPECT_EQ(!ResourceBytes(module.get(), "WIZARD", MAKEINTRESOURCEA(10)).empty(), p.hasArtwork);
    }
}

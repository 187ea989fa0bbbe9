// The skin maker's resources read back from a program that embeds them: the toolbar picture
// decodes at its size with a transparent ground, the icon loads in both sizes, and the version
// resource says what the program is; and the manifests of the three programs as built.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/ascii_case.h"
#include "core/product.h"
#include "platform/win32/embedded_resources.h"
#include "platform/win32/handles.h"
#include "skinmaker/skin_maker_env.h"
#include "tests/win32/resource_reading.h"

using namespace tess;
using namespace tess::skinmaker;
using namespace tess::testing;
using tess::platform::win32::LoadEmbeddedPicture;

namespace {

using platform::win32::UniqueIcon;

// The width and height of an icon's colour bitmap.
SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return {0, 0};
    platform::win32::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectA(colour.get(), sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

} // namespace

TEST(EmbeddedResources, ToolbarPictureDecodesWithATransparentGround) {
    const auto toolbar = LoadEmbeddedPicture(kToolbarResource);
    ASSERT_TRUE(toolbar.ok()) << toolbar.error().message;
    const Picture& picture = toolbar.value();
    ASSERT_EQ(picture.width(), 800);
    ASSERT_EQ(picture.height(), 92);
    ASSERT_TRUE(picture.hasTransparency());

    int transparent = 0;
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x)
            transparent += picture.pixelAt(x, y).a == 0;
    // Buttons, texts and boxes cover a minor part: most of the strip lets the skin show.
    EXPECT_GT(transparent, 800 * 92 / 2);
    EXPECT_LT(transparent, 800 * 92 * 19 / 20);
    // The corners are ground; the inside of the address box is opaque white.
    EXPECT_EQ(picture.pixelAt(0, 0).a, 0);
    EXPECT_EQ(picture.pixelAt(799, 91).a, 0);
    EXPECT_EQ(picture.pixelAt(500, 80), (Rgba{255, 255, 255, 255}));
}

TEST(EmbeddedResources, MissingResourcesAreErrors) {
    const auto missing = LoadEmbeddedPicture("NO_SUCH_PICTURE");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
    // The icon exists, but not as raw data.
    EXPECT_FALSE(LoadEmbeddedPicture(kProgramIconResource).ok());
}

TEST(EmbeddedResources, ProgramIconLoadsInBothSizes) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    for (int side : {32, 16}) {
        UniqueIcon icon(static_cast<HICON>(LoadImageA(self, kProgramIconResource, IMAGE_ICON, side, side, 0)));
        ASSERT_TRUE(icon) << side;
        const SIZE size = IconSize(icon.get());
        EXPECT_EQ(size.cx, side);
        EXPECT_EQ(size.cy, side);
    }
    // LoadIcon, as a window class takes it, finds it by name too.
    EXPECT_NE(LoadIconA(self, kProgramIconResource), nullptr);
}

TEST(EmbeddedResources, VersionDescribesTheProgram) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    const std::vector<char> block = VersionBlock(path);
    ASSERT_FALSE(block.empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(VersionString(block, "ProductName"), "Tessary");
    EXPECT_EQ(VersionString(block, "FileDescription"), product::kSkinMakerCaption);
    EXPECT_EQ(VersionString(block, "CompanyName"), "Halvory");
    EXPECT_EQ(VersionString(block, "FileVersion"), "1.0.0.0");
}

// The skin maker runs as the user who starts it, and says so: a manifest without a requested
// execution level would have Windows redirect its writes under Program Files to a store that only
// that program sees, so that the browser would never find the skin the toolbar value names.
// The setup program and the uninstaller ask for administrator rights. All three take UTF-8 as
// their ANSI code page where the system allows it (Windows 10 1903 and later), so that the A
// calls reach every name, whatever the system's code page. Each program holds one
// manifest: with a second one (a toolchain's default manifest, say) Windows could read the other.
// Each draws itself at the DPI of the monitor its window is on where the system can (per monitor,
// second version), and at the system's DPI where it cannot.
TEST(EmbeddedResources, OnlyTheSetupProgramAndTheUninstallerAskForAdministrator) {
    struct Program {
        const char* file;
        const char* identity;
        const char* level;
    };
    for (const Program& p : {Program{TESS_TESSARY_PROGRAM, "Tessary.SkinMaker", "asInvoker"},
                             Program{TESS_ORVINST_PROGRAM, "Tessary.Setup", "requireAdministrator"},
                             Program{TESS_REMOVER_PROGRAM, "Tessary.Uninstall", "requireAdministrator"}}) {
        SCOPED_TRACE(p.file);
        DataModule program(p.file);
        ASSERT_NE(program.get(), nullptr);
        const std::vector<std::string> manifests = ManifestEntries(program.get());
        ASSERT_EQ(manifests.size(), 1u) << (manifests.empty() ? "none" : manifests[0] + ", " + manifests[1]);
        EXPECT_EQ(manifests[0].rfind("#1 ", 0), 0u) << manifests[0];

        const std::string xml = ManifestText(program.get());
        EXPECT_NE(xml.find("name=\"" + std::string(p.identity) + "\""), std::string::npos) << xml;
        EXPECT_NE(xml.find(">true</dpiAware>"), std::string::npos) << xml;
        EXPECT_NE(xml.find(">PerMonitorV2</dpiAwareness>"), std::string::npos) << xml;
        EXPECT_NE(xml.find("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">"
                           "UTF-8</activeCodePage>"),
                  std::string::npos)
            << xml;
        EXPECT_NE(xml.find("<requestedExecutionLevel level=\"" + std::string(p.level) + "\" uiAccess=\"false\"/>"),
                  std::string::npos)
            << xml;
    }

    // Nor does the skin maker's version resource read like a setup program's, which Windows
    // would otherwise start with administrator rights where a manifest is missing or not read.
    const std::vector<char> version = VersionBlock(TESS_TESSARY_PROGRAM);
    ASSERT_FALSE(version.empty());
    for (const char* name : {"CompanyName", "ProductName", "FileDescription", "InternalName", "OriginalFilename"}) {
        const std::string text = AsciiLower(VersionString(version, name));
        for (const char* word : {"install", "setup", "update", "patch"})
            EXPECT_EQ(text.find(word), std::string::npos) << name << " reads \"" << text << "\"";
    }
}

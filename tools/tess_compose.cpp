// The skin composer on the command line: lays a picture out as the skin maker does and writes the
// skin bitmap it would apply, and the toolbar preview, without a window.
#include <cstdio>
#include <string>
#include <vector>

#include "compose_options.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/skin_layout.h"

using namespace tess;

namespace {

// The skin maker refuses pictures whose box would be wider than this.
constexpr double kWidestPictureTwips = 24000;

int Fail(const std::string& message) {
    std::fprintf(stderr, "tess_compose: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = "tess_compose";
    const auto parsed = ParseComposeOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program.c_str(), parsed.error().message.c_str(),
                     program.c_str());
        return 2;
    }
    const ComposeOptions& o = parsed.value();
    if (o.help) {
        std::fputs(ComposeUsage(program).c_str(), stdout);
        return 0;
    }

    // Measured from the header first: a picture too wide is refused without being decoded.
    auto file = platform::ReadPictureFile(platform::SystemFileSystem(), o.picture);
    if (!file)
        return Fail(o.picture + ": " + file.error().message);
    const int32_t width = file.value().size.width;
    if (width * o.twipsPerPixel > kWidestPictureTwips)
        return Fail(o.picture + ": Picture is too large to load (" + std::to_string(width) +
                    " pixels are wider than 24000 twips)");
    auto loaded = platform::DecodePictureFile(file.value());
    if (!loaded)
        return Fail(o.picture + ": " + loaded.error().message);
    const Picture picture = std::move(loaded).value();
    const SourcePicture source{picture, picture.widthTwips(o.twipsPerPixel), picture.heightTwips(o.twipsPerPixel)};

    SkinLayout layout;
    layout.mode = o.mode;
    layout.values = o.values;
    layout.background = o.background;
    layout.resolution = o.resolution;

    if (!o.out.empty()) {
        Surface final(0, 0, o.twipsPerPixel);
        ApplyResolution(final, layout.resolution);
        ComposeFinal(layout, source, final);
        if (Status written = platform::WriteBitmap(platform::SystemFileSystem(), final, o.out); !written)
            return Fail(o.out + ": " + written.error().message);
    }
    if (!o.preview.empty()) {
        Surface preview = MakePreviewSurface();
        if (Status coloured = preview.setBackColor(layout.background); !coloured)
            return Fail(coloured.error().message);
        DrawPreview(layout, source, preview);
        if (Status written = platform::WriteBitmap(platform::SystemFileSystem(), preview, o.preview); !written)
            return Fail(o.preview + ": " + written.error().message);
    }
    return 0;
}

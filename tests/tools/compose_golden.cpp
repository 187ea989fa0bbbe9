// Writes a fixed set of composed skins and previews as bitmap files into the folder named on the
// command line, so that the host and Windows builds can be compared byte for byte.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/gradient_rgba.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/skin_layout.h"

using namespace tess;

namespace {

// Pictures made in code, so the set does not depend on any file: a smooth gradient with noise,
// one with transparent holes, and a single pixel.
Picture MadePicture(int32_t w, int32_t h, bool holes, uint32_t variant) {
    const std::vector<uint8_t> rgba = tess::testing::GradientRgba(w, h, holes, variant);
    return Picture::FromRgba(w, h, rgba.data()).value();
}

struct Named {
    std::string name;
    Picture picture;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: compose_golden OUTPUT_FOLDER [PICTURE_FILE...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<Named> pictures = {{"gradient", MadePicture(53, 17, false, 1)},
                                   {"holes", MadePicture(31, 29, true, 2)},
                                   {"pixel", MadePicture(1, 1, false, 3)},
                                   {"wide", MadePicture(700, 40, false, 4)}};
    for (int i = 2; i < argc; ++i) {
        auto loaded = platform::LoadPicture(platform::SystemFileSystem(), argv[i]);
        if (!loaded) {
            std::fprintf(stderr, "%s: %s\n", argv[i], loaded.error().message.c_str());
            return 1;
        }
        pictures.push_back({"file" + std::to_string(i - 1), std::move(loaded).value()});
    }

    const LayoutValues layouts[] = {{100, 100, 0, 0}, {5, 5, 37, -63}, {173, 61, -12, 100}, {400, 400, -100, 45}};
    int written = 0;
    for (const Named& named : pictures) {
        const SourcePicture source{named.picture, named.picture.widthTwips(15), named.picture.heightTwips(15)};
        for (int mode = 0; mode < 3; ++mode) {
            for (size_t l = 0; l < std::size(layouts); ++l) {
                SkinLayout layout;
                layout.mode = static_cast<LayoutMode>(mode);
                layout.values = layouts[l];
                layout.background = MakeColorRef(12, 200, 99);
                const int resolution = static_cast<int>((l + mode) % kResolutionCount);
                const std::string stem = folder + "/" + named.name + "-m" + std::to_string(mode) + "-l" +
                                         std::to_string(l) + "-r" + std::to_string(resolution);

                Surface preview = MakePreviewSurface();
                (void)preview.setBackColor(layout.background);
                DrawPreview(layout, source, preview);
                Surface final;
                ApplyResolution(final, resolution);
                ComposeFinal(layout, source, final);
                for (auto [surface, suffix] : {std::pair{&preview, "-preview.bmp"}, std::pair{&final, "-final.bmp"}}) {
                    Status status = platform::WriteBitmap(platform::SystemFileSystem(), *surface, stem + suffix);
                    if (!status) {
                        std::fprintf(stderr, "%s\n", status.error().message.c_str());
                        return 1;
                    }
                    ++written;
                }
            }
        }
    }
    std::printf("wrote %d bitmaps to %s\n", written, folder.c_str());
    return 0;
}

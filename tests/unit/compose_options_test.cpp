// The command line of the skin composer tool: defaults of the window's start layout, both value
// forms, the controls' ranges at their edges, and refusals that name what was wrong.
#include <gtest/gtest.h>

#include "tools/compose_options.h"

using namespace tess;

namespace {

Result<ComposeOptions> Parse(std::vector<std::string> extra) {
    std::vector<std::string> args = {"--picture", "in.gif", "--out", "out.bmp"};
    args.insert(args.end(), extra.begin(), extra.end());
    return ParseComposeOptions(args);
}

// The message of a refused command line, or a note that it was taken.
std::string Refusal(const std::vector<std::string>& args) {
    const auto parsed = ParseComposeOptions(args);
    return parsed ? "accepted" : parsed.error().message;
}

} // namespace

TEST(ComposeOptions, DefaultsAreTheStartLayoutOnWhite) {
    const auto parsed = Parse({});
    ASSERT_TRUE(parsed.ok());
    const ComposeOptions& o = parsed.value();
    EXPECT_EQ(o.picture, "in.gif");
    EXPECT_EQ(o.out, "out.bmp");
    EXPECT_EQ(o.preview, "");
    EXPECT_EQ(o.mode, LayoutMode::Tile);
    EXPECT_EQ(o.values.width, 100);
    EXPECT_EQ(o.values.height, 100);
    EXPECT_EQ(o.values.horizontal, 0);
    EXPECT_EQ(o.values.vertical, 0);
    EXPECT_EQ(o.background, MakeColorRef(255, 255, 255));
    EXPECT_EQ(kResolutionPixels[o.resolution], 800);
    EXPECT_EQ(o.twipsPerPixel, 15);
}

TEST(ComposeOptions, ReadsEveryOptionInBothForms) {
    const auto parsed = ParseComposeOptions({"--picture=a b.jpg", "--preview", "p.bmp", "--mode=stretch",
                                             "--width", "5", "--height=400", "--horizontal", "-100",
                                             "--vertical=100", "--background", "#102030",
                                             "--resolution=1024", "--twips-per-pixel", "12.5"});
    ASSERT_TRUE(parsed.ok()) << parsed.error().message;
    const ComposeOptions& o = parsed.value();
    EXPECT_EQ(o.picture, "a b.jpg");
    EXPECT_EQ(o.preview, "p.bmp");
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.mode, LayoutMode::Stretch);
    EXPECT_EQ(o.values.width, 5);
    EXPECT_EQ(o.values.height, 400);
    EXPECT_EQ(o.values.horizontal, -100);
    EXPECT_EQ(o.values.vertical, 100);
    // RRGGBB on the command line, 0x00BBGGRR inside.
    EXPECT_EQ(o.background, 0x00302010);
    EXPECT_EQ(o.resolution, 3);
    EXPECT_EQ(o.twipsPerPixel, 12.5);

    EXPECT_EQ(Parse({"--mode", "single"}).value().mode, LayoutMode::Single);
    EXPECT_EQ(Parse({"--resolution", "640"}).value().resolution, 0);
    EXPECT_EQ(Parse({"--resolution", "720"}).value().resolution, 1);
    EXPECT_EQ(Parse({"--background", "fFa0B1"}).value().background, MakeColorRef(0xFF, 0xA0, 0xB1));
}

TEST(ComposeOptions, RefusesValuesTheControlsCannotHold) {
    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--width", "4"}, {"--width", "401"}, {"--height", "0"}, {"--height", "50%"},
             {"--horizontal", "-101"}, {"--vertical", "101"}, {"--vertical", "1.5"},
             {"--vertical", ""}, {"--width", "99999999999999999999"}, {"--mode", "Tile"},
             {"--mode", "centre"}, {"--resolution", "800x600"}, {"--resolution", "1280"},
             {"--background", "12345"}, {"--background", "1234567"}, {"--background", "GG0000"},
             {"--background", "-12345"}, {"--twips-per-pixel", "0"}, {"--twips-per-pixel", "nan"},
             {"--twips-per-pixel", "1441"}}) {
        const auto parsed = Parse({option + "=" + value});
        ASSERT_FALSE(parsed.ok()) << option << " " << value;
        EXPECT_EQ(parsed.error().code, ErrorCode::InvalidArgument);
        EXPECT_NE(parsed.error().message.find(option), std::string::npos) << parsed.error().message;
    }
}

TEST(ComposeOptions, RefusesIncompleteCommandLines) {
    EXPECT_NE(Refusal({"--out", "x.bmp"}).find("--picture"), std::string::npos);
    EXPECT_NE(Refusal({"--picture", "a.gif"}).find("--out"), std::string::npos);
    EXPECT_NE(Refusal({"--picture", "a.gif", "--out"}).find("needs a value"), std::string::npos);
    // An option is never taken as the value of the one before it.
    EXPECT_NE(Refusal({"--picture", "--out", "x.bmp"}).find("--picture needs a value"), std::string::npos);
    EXPECT_NE(Refusal({"--picture=", "--out", "x.bmp"}).find("--picture"), std::string::npos);
    EXPECT_NE(Refusal({"--picture", "a.gif", "--out", "x.bmp", "extra"}).find("extra"), std::string::npos);
    EXPECT_NE(Refusal({"--picture", "a.gif", "--out", "x.bmp", "--size", "3"}).find("--size"), std::string::npos);
    // Help wins over everything else, even a command line that would be refused.
    for (const auto& args : {std::vector<std::string>{"--width", "3", "--help"},
                             std::vector<std::string>{"-h", "--width", "3"}}) {
        const auto help = ParseComposeOptions(args);
        ASSERT_TRUE(help.ok()) << help.error().message;
        EXPECT_TRUE(help.value().help);
    }
    EXPECT_FALSE(Parse({}).value().help);
}

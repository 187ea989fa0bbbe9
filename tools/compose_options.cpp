// Parsing of the composer's command line: each option's value is checked in full against the
// range the skin maker's controls give it.
#include "compose_options.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace tess {

namespace {

Error Invalid(std::string message) { return Error{ErrorCode::InvalidArgument, std::move(message)}; }

// A whole decimal number with nothing before or after it.
std::optional<long> WholeNumber(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto [next, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || next != end || text.empty())
        return std::nullopt;
    return value;
}

Result<int16_t> Percent(const std::string& option, const std::string& text, int16_t low, int16_t high) {
    const auto value = WholeNumber(text);
    if (!value || *value < low || *value > high)
        return Invalid(option + " takes a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", not '" + text + "'");
    return static_cast<int16_t>(*value);
}

Result<LayoutMode> Mode(const std::string& text) {
    if (text == "tile")
        return LayoutMode::Tile;
    if (text == "single")
        return LayoutMode::Single;
    if (text == "stretch")
        return LayoutMode::Stretch;
    return Invalid("--mode takes tile, single or stretch, not '" + text + "'");
}

Result<int> Resolution(const std::string& text) {
    const auto value = WholeNumber(text);
    for (int i = 0; value && i < kResolutionCount; ++i)
        if (*value == kResolutionPixels[i])
            return i;
    return Invalid("--resolution takes 640, 720, 800 or 1024, not '" + text + "'");
}

Result<ColorRef> Background(const std::string& text) {
    const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    uint32_t rgb = 0;
    const char* end = digits.data() + digits.size();
    auto [next, ec] = std::from_chars(digits.data(), end, rgb, 16);
    if (digits.size() != 6 || ec != std::errc() || next != end)
        return Invalid("--background takes six hexadecimal digits RRGGBB, not '" + text + "'");
    return MakeColorRef(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                        static_cast<uint8_t>(rgb));
}

// Screens have between 1440 (one dot per inch) and 1 twip per pixel.
Result<double> TwipsPerPixel(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [next, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || next != end || !std::isfinite(value) || value < 1 || value > 1440)
        return Invalid("--twips-per-pixel takes a number from 1 to 1440, not '" + text + "'");
    return value;
}

template <typename T>
Status Store(Result<T> parsed, T& into) {
    if (!parsed)
        return parsed.status();
    into = parsed.value();
    return Status::Ok();
}

Status Apply(ComposeOptions& o, const std::string& name, const std::string& value) {
    if (name == "--picture")
        o.picture = value;
    else if (name == "--out")
        o.out = value;
    else if (name == "--preview")
        o.preview = value;
    else if (name == "--mode")
        return Store(Mode(value), o.mode);
    else if (name == "--width")
        return Store(Percent(name, value, kMinSize, kMaxSize), o.values.width);
    else if (name == "--height")
        return Store(Percent(name, value, kMinSize, kMaxSize), o.values.height);
    else if (name == "--horizontal")
        return Store(Percent(name, value, kMinOffset, kMaxOffset), o.values.horizontal);
    else if (name == "--vertical")
        return Store(Percent(name, value, kMinOffset, kMaxOffset), o.values.vertical);
    else if (name == "--background")
        return Store(Background(value), o.background);
    else if (name == "--resolution")
        return Store(Resolution(value), o.resolution);
    else if (name == "--twips-per-pixel")
        return Store(TwipsPerPixel(value), o.twipsPerPixel);
    else
        return Invalid("unknown option " + name);
    if (value.empty())
        return Invalid(name + " needs a path");
    return Status::Ok();
}

} // namespace

Result<ComposeOptions> ParseComposeOptions(const std::vector<std::string>& args) {
    ComposeOptions o;
    // Asking for help is answered whatever else the command line holds.
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return o;
        }
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0)
            return Invalid("unexpected argument '" + arg + "'");
        std::string name = arg, value;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
            value = args[++i];
        } else {
            return Invalid(name + " needs a value");
        }
        if (Status applied = Apply(o, name, value); !applied)
            return applied.error();
    }
    if (o.picture.empty())
        return Invalid("--picture is required");
    if (o.out.empty() && o.preview.empty())
        return Invalid("nothing to write: give --out, --preview or both");
    return o;
}

std::string ComposeUsage(const std::string& program) {
    return "usage: " + program +
           " --picture PATH (--out PATH | --preview PATH) [OPTION...]\n"
           "Writes the skin bitmap the skin maker writes when it applies this layout.\n"
           "\n"
           "  --picture PATH          GIF, JPEG, PNG or Windows bitmap to lay out\n"
           "  --out PATH              the skin bitmap, as wide as the resolution's screen\n"
           "  --preview PATH          the toolbar preview, 598 x 67 pixels (0.75 of the skin)\n"
           "  --mode tile|single|stretch            layout mode (tile)\n"
           "  --width N, --height N   picture size in percent of its own, 5 to 400 (100)\n"
           "  --horizontal N, --vertical N          offsets in percent, -100 to 100 (0)\n"
           "  --background RRGGBB     colour behind the picture (FFFFFF)\n"
           "  --resolution 640|720|800|1024         screen width of the skin (800)\n"
           "  --twips-per-pixel N     the screen's twips per pixel, 15 at 96 DPI (15)\n"
           "  --help                  this text\n"
           "\n"
           "Exit status: 0 written, 1 the picture could not be used or a file not written,\n"
           "2 wrong arguments.\n";
}

} // namespace tess

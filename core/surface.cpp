// Surface storage, back colour, resizing and the one drawing routine every renderer shares:
// which pixels a copy covers and how a covered pixel takes its colour.
#include "surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "number_rules.h"

namespace tess {

namespace {

// Fills rows of RGB pixels with one colour: the first row pixel by pixel, the others copied.
void FillRows(uint8_t* pixels, int32_t width, int32_t height, Rgb colour) {
    if (width <= 0 || height <= 0)
        return;
    for (int32_t x = 0; x < width; ++x) {
        pixels[x * 3] = colour.r;
        pixels[x * 3 + 1] = colour.g;
        pixels[x * 3 + 2] = colour.b;
    }
    const size_t row = static_cast<size_t>(width) * 3;
    for (int32_t y = 1; y < height; ++y)
        std::memcpy(pixels + y * row, pixels, row);
}

} // namespace

Surface::Surface(int32_t widthPx, int32_t heightPx, double twipsPerPixel)
    : twipsPerPixel_(twipsPerPixel) {
    (void)resize(std::clamp(widthPx, 0, kMaxSide), std::clamp(heightPx, 0, kMaxSide));
}

Status Surface::resize(int32_t widthPx, int32_t heightPx) {
    if (widthPx < 0 || heightPx < 0 || widthPx > kMaxSide || heightPx > kMaxSide)
        return Error{ErrorCode::InvalidArgument, "Invalid picture size"};
    if (widthPx == width_ && heightPx == height_)
        return Status::Ok();
    std::vector<uint8_t> next(static_cast<size_t>(widthPx) * heightPx * 3);
    FillRows(next.data(), widthPx, heightPx, ToRgb(backColor_));
    const size_t kept = static_cast<size_t>(std::min(widthPx, width_)) * 3;
    for (int32_t y = 0; y < std::min(heightPx, height_); ++y)
        std::memcpy(&next[static_cast<size_t>(y) * widthPx * 3], &pixels_[static_cast<size_t>(y) * width_ * 3], kept);
    pixels_ = std::move(next);
    width_ = widthPx;
    height_ = heightPx;
    return Status::Ok();
}

static Result<int32_t> TwipsToPixels(double twips, double twipsPerPixel) {
    return ToInt32(twips / twipsPerPixel);
}

Status Surface::setWidthTwips(double twips) {
    auto pixels = TwipsToPixels(twips, twipsPerPixel_);
    return pixels ? resize(pixels.value(), height_) : pixels.status();
}

Status Surface::setHeightTwips(double twips) {
    auto pixels = TwipsToPixels(twips, twipsPerPixel_);
    return pixels ? resize(width_, pixels.value()) : pixels.status();
}

void Surface::setScaleWidth(double units) {
    customWidth_ = true;
    scaleWidth_ = units;
}

void Surface::setScaleHeight(double units) {
    customHeight_ = true;
    scaleHeight_ = units;
}

Status Surface::setBackColor(ColorRef colour) {
    if (!IsPlainColorRef(colour))
        return Error{ErrorCode::InvalidArgument, "Invalid property value"};
    backColor_ = colour;
    clear();
    return Status::Ok();
}

void Surface::clear() { FillRows(pixels_.data(), width_, height_, ToRgb(backColor_)); }

Rgb Surface::pixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    const uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

namespace {

// The index range [first, last) of the n centres, increasing with the index, that lie in
// [origin, origin + extent); `centre` maps an index to its centre. The search starts where the
// even spacing of scale / n puts the bounds and settles them with the exact test.
template <typename CentreFn>
void CoveredRange(int32_t n, double scale, double origin, double extent, CentreFn centre,
                  int32_t& first, int32_t& last) {
    first = last = 0;
    if (n <= 0 || !(extent > 0) || !(scale > 0) || std::isnan(origin))
        return;
    auto estimate = [&](double units) {
        double p = std::ceil(units * n / scale - 0.5);
        if (std::isnan(p))
            return 0;
        return static_cast<int32_t>(std::clamp(p, 0.0, static_cast<double>(n)));
    };
    first = estimate(origin);
    while (first > 0 && centre(first - 1) >= origin)
        --first;
    while (first < n && centre(first) < origin)
        ++first;
    last = std::max(first, estimate(origin + extent));
    while (last > first && !Surface::Covers(origin, extent, centre(last - 1)))
        --last;
    while (last < n && Surface::Covers(origin, extent, centre(last)))
        ++last;
}

} // namespace

void Surface::coveredColumns(double origin, double extent, int32_t& first, int32_t& last) const {
    CoveredRange(width_, scaleWidth(), origin, extent, [this](int32_t p) { return columnCentre(p); },
                 first, last);
}

void Surface::coveredRows(double origin, double extent, int32_t& first, int32_t& last) const {
    CoveredRange(height_, scaleHeight(), origin, extent, [this](int32_t p) { return rowCentre(p); },
                 first, last);
}

size_t ColumnFootprints::add(const AxisFootprint& fx) {
    prints_.push_back(fx);
    for (int k = 0; k <= fx.runs; ++k)
        edges_.push_back(fx.edge[k]);
    return prints_.size() - 1;
}

void ColumnFootprints::finish() {
    std::sort(edges_.begin(), edges_.end());
    edges_.erase(std::unique(edges_.begin(), edges_.end()), edges_.end());
    edgeIndex_.assign(prints_.size() * 4, 0);
    for (size_t i = 0; i < prints_.size(); ++i)
        for (int k = 0; k <= prints_[i].runs; ++k)
            edgeIndex_[i * 4 + k] = static_cast<int32_t>(
                std::lower_bound(edges_.begin(), edges_.end(), prints_[i].edge[k]) - edges_.begin());
}

void ColumnFootprints::rowSums(const Picture& picture, const AxisFootprint& fy,
                               std::vector<EdgeSums>& out) const {
    out.resize(edges_.size());
    picture.edgeSums(fy, edges_.data(), edges_.size(), out.data());
}

void Surface::drawPicture(const Picture& picture, double x, double y, double w, double h) {
    if (picture.empty() || !(w > 0) || !(h > 0))
        return;
    int32_t x0, x1, y0, y1;
    coveredColumns(x, w, x0, x1);
    coveredRows(y, h, y0, y1);
    if (x0 >= x1 || y0 >= y1)
        return;
    ColumnFootprints columns;
    for (int32_t px = x0; px < x1; ++px)
        columns.add(Footprint(columnEdge(px), columnEdge(px + 1), x, w, picture.width()));
    columns.finish();
    const bool transparent = picture.hasTransparency();
    std::vector<EdgeSums> row;
    for (int32_t py = y0; py < y1; ++py) {
        const AxisFootprint fy = Footprint(rowEdge(py), rowEdge(py + 1), y, h, picture.height());
        if (fy.runs == 0)
            continue;
        const bool exact = picture.edgeSumsExact(fy);
        if (exact)
            columns.rowSums(picture, fy, row);
        for (int32_t px = x0; px < x1; ++px) {
            const size_t i = static_cast<size_t>(px - x0);
            const AxisFootprint& fx = columns.footprint(i);
            if (fx.runs == 0)
                continue;
            paint(px, py, transparent, columns.sums(picture, i, fy, exact, row), fx.length * fy.length);
        }
    }
}

} // namespace tess

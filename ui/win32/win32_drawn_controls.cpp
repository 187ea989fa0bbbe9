// Frames, picture boxes and image boxes drawn by the binding: group-box frames with their
// caption, surfaces stretched onto the screen, image boxes composited with the engine's own
// scaled drawing, and clicks on them passed to the model.
#include "ui/win32/win32_drawn_controls.h"

#include <algorithm>
#include <utility>

#include "ui/win32/dialog_font.h"
#include "ui/win32/win32_bitmaps.h"

namespace tess::ui::win32 {

using platform::win32::SelectedObject;
using platform::win32::UniqueBrush;

namespace {

constexpr const char* kFrameClass = "TessFrame";
constexpr const char* kPictureBoxClass = "TessPictureBox";
constexpr const char* kImageBoxClass = "TessImageBox";

SIZE ClientSize(HWND window) {
    RECT r{};
    if (window) GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

ColorRef ButtonFace() { return static_cast<ColorRef>(GetSysColor(COLOR_BTNFACE) & 0xFFFFFF); }

} // namespace

ScreenImage ScreenImage::Of(const Surface& surface) {
    ScreenImage image;
    image.width = surface.widthPx();
    image.height = surface.heightPx();
    const std::vector<uint8_t>& rgb = surface.pixels();
    image.bgrx.resize(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < image.bgrx.size(); ++i) {
        const uint8_t* p = &rgb[i * 3];
        image.bgrx[i] = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
    return image;
}

void ScreenImage::paint(HDC dc, const RECT& dest) const {
    if (width <= 0 || height <= 0) return;
    const BITMAPINFO info = TopDownFormat(width, height);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, 0, 0,
                  width, height, bgrx.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

// --- Frame ---

void FrameView::create() {
    RegisterClassOnce(kFrameClass, CS_HREDRAW | CS_VREDRAW,
                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    createWindow(kFrameClass, WS_EX_CONTROLPARENT, model_.caption().c_str(),
                 childStyle() | WS_CLIPCHILDREN, placement(), parent_.hwnd(), idAsMenu());
    adopt(hwnd());
}

RECT FrameView::childPixels(const TwipsRect& r) const {
    return TwipsToPixels(context_.screen, r);
}

void FrameView::show(Property what) {
    if (what == Property::Caption || what == Property::Enabled)
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrameView::onPaint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    SelectedObject selected(dc, font() ? static_cast<HGDIOBJ>(font())
                                       : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT edge = client;
    edge.top = metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);

    const std::string& caption = model_.caption();
    if (caption.empty()) return;
    RECT text{0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    const int margin = FrameCaptionMargin(context_.screen.dpiX);
    const int pad = MulDiv(2, context_.screen.dpiX, 96);
    RECT behind{margin - pad, 0, margin + text.right + pad, metrics.tmHeight};
    FillRect(dc, &behind, GetSysColorBrush(COLOR_BTNFACE));
    RECT where{margin, 0, margin + text.right, metrics.tmHeight};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    // Unclipped: a last letter whose ink overhangs its advance (the "w" of "Preview" in some
    // faces) would lose its edge to a box of the measured width; the padding takes it.
    DrawTextA(dc, caption.c_str(), -1, &where, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOCLIP);
}

// --- Picture box ---

void PictureBoxView::create() {
    RegisterClassOnce(kPictureBoxClass, CS_DBLCLKS, nullptr);
    DWORD style = childStyle() | WS_CLIPCHILDREN;
    if (model_.border()) style |= WS_BORDER;
    createWindow(kPictureBoxClass, WS_EX_CONTROLPARENT, "", style, placement(), parent_.hwnd(),
                 idAsMenu());
    adopt(hwnd());
}

bool PictureBoxView::unitsPerPixel(double& x, double& y) const {
    const SIZE client = ClientSize(hwnd());
    const Surface& s = model_.surface();
    if (s.widthPx() > 0 && s.heightPx() > 0 && client.cx > 0 && client.cy > 0 &&
        s.scaleWidth() > 0 && s.scaleHeight() > 0) {
        x = s.scaleWidth() / client.cx;
        y = s.scaleHeight() / client.cy;
        return true;
    }
    // A box without an image of its own is measured in twips.
    x = context_.screen.twipsPerPixelX();
    y = context_.screen.twipsPerPixelY();
    return false;
}

RECT PictureBoxView::childPixels(const TwipsRect& r) const {
    double ux = 0, uy = 0;
    unitsPerPixel(ux, uy);
    const int left = ToPixels(r.left, ux), top = ToPixels(r.top, uy);
    return RECT{left, top, left + ToPixels(r.width, ux), top + ToPixels(r.height, uy)};
}

void PictureBoxView::childImageChanged() {
    stale_ = true;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBoxView::show(Property what) {
    switch (what) {
    case Property::Border:
        showBorder(model_.border());
        // The client area changed with the frame, and so did the twips each pixel holds.
        placeChildren();
        childImageChanged();
        break;
    case Property::Image:
        // Drawing may have come with a new scale, which moves the children.
        placeChildren();
        childImageChanged();
        break;
    case Property::Picture:
    case Property::BackColor:
    case Property::Rect:
        childImageChanged();
        break;
    default:
        break;
    }
}

const ScreenImage& PictureBoxView::image() {
    if (!stale_) return image_;
    stale_ = false;
    const Surface& own = model_.surface();
    bool hasImages = false;
    for (const Control* child : model_.children())
        if (child->kind() == ControlKind::ImageBox && child->visible()) hasImages = true;

    if (own.widthPx() > 0 && own.heightPx() > 0 && !hasImages) {
        image_ = ScreenImage::Of(own);
        return image_;
    }
    Surface composed;
    if (own.widthPx() > 0 && own.heightPx() > 0) {
        composed = own;
    } else {
        const SIZE client = ClientSize(hwnd());
        composed = Surface(std::max<LONG>(client.cx, 1), std::max<LONG>(client.cy, 1),
                           context_.screen.twipsPerPixelX());
        (void)composed.setBackColor(model_.backColor());
    }
    // Front-most last, so later image boxes cover earlier ones.
    for (const Control* child : model_.children()) {
        if (child->kind() != ControlKind::ImageBox || !child->visible()) continue;
        const auto& picture = static_cast<const ImageBox*>(child)->picture();
        if (!picture || picture->empty()) continue;
        const TwipsRect& r = child->rect();
        composed.drawPicture(*picture, r.left, r.top, r.width, r.height);
    }
    image_ = ScreenImage::Of(composed);
    return image_;
}

void PictureBoxView::onPaint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const ScreenImage& shown = image();
    if (shown.width > 0 && shown.height > 0) {
        shown.paint(dc, client);
        return;
    }
    UniqueBrush back(CreateSolidBrush(static_cast<COLORREF>(model_.backColor())));
    FillRect(dc, &client, back.get());
}

HBRUSH PictureBoxView::onControlColour(HDC dc, HWND) {
    if (!backBrush_ || backBrushColour_ != model_.backColor()) {
        backBrush_.reset(CreateSolidBrush(static_cast<COLORREF>(model_.backColor())));
        backBrushColour_ = model_.backColor();
    }
    SetBkColor(dc, static_cast<COLORREF>(model_.backColor()));
    return backBrush_.get();
}

ImageBox* PictureBoxView::imageAt(POINT at) const {
    double ux = 0, uy = 0;
    unitsPerPixel(ux, uy);
    const double x = (at.x + 0.5) * ux, y = (at.y + 0.5) * uy;
    const auto& children = model_.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Control* child = *it;
        if (child->kind() != ControlKind::ImageBox || !child->visible()) continue;
        const TwipsRect& r = child->rect();
        if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height)
            return static_cast<ImageBox*>(child);
    }
    return nullptr;
}

void PictureBoxView::onMouseUp(POINT at) {
    // The button's release after a double click belongs to the double click.
    if (std::exchange(afterDoubleClick_, false)) return;
    if (ImageBox* hit = imageAt(at)) {
        hit->press();
        return;
    }
    if (model_.acceptsInput() && model_.onClick) model_.onClick();
}

void PictureBoxView::onDoubleClick(POINT at) {
    afterDoubleClick_ = true;
    ImageBox* hit = imageAt(at);
    if (hit && hit->acceptsInput() && hit->onDblClick) hit->onDblClick();
}

// --- Image box with its own window ---

void ImageBoxView::create() {
    RegisterClassOnce(kImageBoxClass, CS_DBLCLKS, nullptr);
    DWORD style = childStyle();
    if (model_.border()) style |= WS_BORDER;
    createWindow(kImageBoxClass, 0, "", style, placement(), parent_.hwnd(), idAsMenu());
    adopt(hwnd());
}

void ImageBoxView::show(Property what) {
    if (what == Property::Border) showBorder(model_.border());
    if (what == Property::Border || what == Property::Picture || what == Property::Image ||
        what == Property::Rect || what == Property::Visible) {
        stale_ = true;
        // Transparent labels above the box show its picture.
        const RECT area = placement();
        RedrawWindow(parent_.hwnd(), &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

const ScreenImage& ImageBoxView::composed() {
    if (!stale_ && !overArtwork_) return image_;
    stale_ = false;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int w = std::max<LONG>(client.right, 1), h = std::max<LONG>(client.bottom, 1);
    // Drawn one unit per pixel over what lies beneath, so that transparent parts of the
    // picture (and a box without one) show it.
    Surface drawn(w, h, 1.0);
    (void)drawn.setBackColor(ButtonFace());
    overArtwork_ = false;
    const auto beneath = PaintedPixels(w, h, [&](HDC dc) { return RequestBackdrop(parent_.hwnd(), dc, hwnd()); });
    if (beneath) {
        std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
        for (size_t i = 0; i < beneath->size(); ++i) {
            const uint32_t px = (*beneath)[i];
            rgba[i * 4] = static_cast<uint8_t>(px >> 16);
            rgba[i * 4 + 1] = static_cast<uint8_t>(px >> 8);
            rgba[i * 4 + 2] = static_cast<uint8_t>(px);
            rgba[i * 4 + 3] = 255;
        }
        if (auto picture = Picture::FromRgba(w, h, rgba.data())) {
            drawn.drawPicture(picture.value(), 0, 0, w, h);
            overArtwork_ = true;
        }
    }
    if (const auto& picture = model_.picture(); picture && !picture->empty()) {
        if (model_.stretch())
            drawn.drawPicture(*picture, 0, 0, w, h);
        else
            drawn.drawPicture(*picture, 0, 0, picture->width(), picture->height());
    }
    image_ = ScreenImage::Of(drawn);
    return image_;
}

void ImageBoxView::paintAt(HDC dc, POINT origin) {
    const ScreenImage& shown = composed();
    shown.paint(dc, RECT{origin.x, origin.y, origin.x + shown.width, origin.y + shown.height});
}

void ImageBoxView::onPaint(HDC dc) { paintAt(dc, POINT{0, 0}); }

void ImageBoxView::onMouseUp(POINT) {
    if (std::exchange(afterDoubleClick_, false)) return;
    model_.press();
}

void ImageBoxView::onDoubleClick(POINT) {
    afterDoubleClick_ = true;
    if (model_.acceptsInput() && model_.onDblClick) model_.onDblClick();
}

} // namespace tess::ui::win32

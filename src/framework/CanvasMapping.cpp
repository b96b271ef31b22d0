#include "CanvasMapping_p.h"

#include "Graphics_p.h"
#include "framework/SysUtils.h"

#include <QImage>

#include <cstdlib>
#include <utility>

namespace {
constexpr int kTenthsOfMmPerInch = 254;
}

TDeviceScope::TDeviceScope(TCanvas& canvas)
    : c(canvas), mode(canvas.mapMode_), penWidth(canvas.pen_.Width()), fontHeight(canvas.font_.Height()),
      layout(canvas.layout_), origin(canvas.origin_), penPos(canvas.penPos_) {
    c.penPos_ = MapPoint(c, penPos);
    if (mode != MM_TEXT) {  // a mirror alone keeps lengths
        c.pen_.SetWidth(std::max(1, MapLength(c, penWidth)));
        c.font_.SetHeight(fontHeight < 0 ? -MapLength(c, -fontHeight) : MapLength(c, fontHeight));
    }
    c.mapMode_ = MM_TEXT;
    c.layout_ = 0;
    c.origin_ = {0, 0};
}

TDeviceScope::~TDeviceScope() {
    c.mapMode_ = mode;
    c.layout_ = layout;
    c.origin_ = origin;
    c.penPos_ = penPos;
    c.pen_.SetWidth(penWidth);
    c.font_.SetHeight(fontHeight);
}

int MapLength(const TCanvas& c, int logical) { return MulDiv(logical, c.PixelsPerInch(), kTenthsOfMmPerInch); }

int UnmapLength(const TCanvas& c, int pixels) { return MulDiv(pixels, kTenthsOfMmPerInch, c.PixelsPerInch()); }

TPoint MapPoint(const TCanvas& c, TPoint p) {
    const TPoint o = c.ViewportOrg();
    TPoint d = c.MapMode() == MM_TEXT ? TPoint{p.X + o.X, p.Y + o.Y}
                                      : TPoint{MapLength(c, p.X) + o.X, -MapLength(c, p.Y) + o.Y};
    if (IsMirrored(c)) d.X = c.LayoutWidth() - d.X;
    return d;
}

std::vector<TPoint> MapPoints(const TCanvas& c, const std::vector<TPoint>& points) {
    std::vector<TPoint> out;
    out.reserve(points.size());
    for (const TPoint& p : points) out.push_back(MapPoint(c, p));
    return out;
}

TRect MapRect(const TCanvas& c, const TRect& r) {
    const TPoint a = MapPoint(c, {r.Left, r.Top}), b = MapPoint(c, {r.Right, r.Bottom});
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

TRect UnmapRect(const TCanvas& c, const TRect& r) {
    TPoint p[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
    c.DPtoLP(p, 2);
    // The mirror turns the device rectangle's right edge into the logical left one.
    if (IsMirrored(c)) std::swap(p[0].X, p[1].X);
    return {p[0].X, p[0].Y, p[1].X, p[1].Y};
}

Cardinal TCanvas::SetLayout(Cardinal layout) {
    const Cardinal old = layout_;
    layout_ = layout & LAYOUT_RTL;
    const QImage* img = CanvasImage(*this);
    layoutWidth_ = img ? img->width() : 0;
    return old;
}

int TCanvas::SetMapMode(int mode) {
    if (mode != MM_TEXT && mode != MM_LOMETRIC) return 0;
    const int old = mapMode_;
    mapMode_ = mode;
    return old;
}

void TCanvas::LPtoDP(TPoint* points, int count) const {
    for (int i = 0; i < count; ++i) points[i] = MapPoint(*this, points[i]);
}

void TCanvas::DPtoLP(TPoint* points, int count) const {
    for (int i = 0; i < count; ++i) {
        const int x = (layout_ & LAYOUT_RTL ? layoutWidth_ - points[i].X : points[i].X) - origin_.X;
        const int y = points[i].Y - origin_.Y;
        points[i] = mapMode_ == MM_TEXT ? TPoint{x, y} : TPoint{UnmapLength(*this, x), -UnmapLength(*this, y)};
    }
}

int TCanvas::GetDeviceCaps(int index) const {
    const QImage* img = CanvasImage(*this);
    const int w = img ? img->width() : 0, h = img ? img->height() : 0;
    switch (index) {
    case HORZSIZE: return MulDiv(w, kTenthsOfMmPerInch, pixelsPerInch_ * 10);
    case VERTSIZE: return MulDiv(h, kTenthsOfMmPerInch, pixelsPerInch_ * 10);
    case HORZRES:
    case PHYSICALWIDTH: return w;
    case VERTRES:
    case PHYSICALHEIGHT: return h;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return pixelsPerInch_;
    default: return 0;  // PHYSICALOFFSETX/Y among them: our pages print from their edge
    }
}

// The canvas: classic device-context rules on a 32-bit image. Lines, frames,
// rectangle fills, focus rectangles, copies and flood fills are our own
// pixel code (Qt's rasteriser chooses other pixels); curves, polygon
// interiors and text go through QPainter with antialiasing off.

#include "CanvasMapping_p.h"
#include "Graphics_p.h"
#include "QtApp_p.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

constexpr QRgb Opaque = 0xFF000000u;

inline QRgb Rop2(TPenMode m, QRgb p, QRgb d) {
    p &= 0xFFFFFF;
    d &= 0xFFFFFF;
    QRgb r;
    switch (m) {
    case pmBlack: r = 0; break;
    case pmWhite: r = 0xFFFFFF; break;
    case pmNop: r = d; break;
    case pmNot: r = ~d; break;
    case pmCopy: r = p; break;
    case pmNotCopy: r = ~p; break;
    case pmMergePenNot: r = p | ~d; break;
    case pmMaskPenNot: r = p & ~d; break;
    case pmMergeNotPen: r = ~p | d; break;
    case pmMaskNotPen: r = ~p & d; break;
    case pmMerge: r = p | d; break;
    case pmNotMerge: r = ~(p | d); break;
    case pmMask: r = p & d; break;
    case pmNotMask: r = ~(p & d); break;
    case pmXor: r = p ^ d; break;
    case pmNotXor: r = ~(p ^ d); break;
    default: r = p; break;
    }
    return (r & 0xFFFFFF) | Opaque;
}

// Ternary raster operation by its truth table (the high word's low byte of
// the copy mode): bit (P<<2 | S<<1 | D) of the code is the result.
inline QRgb Rop3(unsigned code, QRgb p, QRgb s, QRgb d) {
    switch (code) {
    case 0xCC: return s | Opaque;
    case 0xEE: return (s | d) | Opaque;
    case 0x88: return (s & d) | Opaque;
    case 0x66: return ((s ^ d) & 0xFFFFFF) | Opaque;
    case 0x33: return (~s & 0xFFFFFF) | Opaque;
    default: break;
    }
    QRgb r = 0;
    for (int i = 0; i < 8; ++i)
        if ((code >> i) & 1)
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return (r & 0xFFFFFF) | Opaque;
}

// Dash patterns of one-pixel pens (on, off, ...), starting at a line's first point.
struct DashPattern {
    int n;
    int len[6];
};
const DashPattern* PatternOf(TPenStyle s) {
    static const DashPattern dash{2, {18, 6}};
    static const DashPattern dot{2, {3, 3}};
    static const DashPattern dashDot{4, {9, 6, 3, 6}};
    static const DashPattern dashDotDot{6, {9, 3, 3, 3, 3, 3}};
    switch (s) {
    case psDash: return &dash;
    case psDot: return &dot;
    case psDashDot: return &dashDot;
    case psDashDotDot: return &dashDotDot;
    default: return nullptr;
    }
}
// Whether position k of the pattern is "on".
bool PatternOn(const DashPattern* p, std::int64_t k) {
    int total = 0;
    for (int i = 0; i < p->n; ++i)
        total += p->len[i];
    k %= total;
    for (int i = 0; i < p->n; ++i) {
        if (k < p->len[i])
            return (i % 2) == 0;
        k -= p->len[i];
    }
    return true;
}

// 8x8 hatch patterns, aligned to the device origin.
bool HatchOn(TBrushStyle s, int x, int y) {
    x &= 7;
    y &= 7;
    switch (s) {
    case bsHorizontal: return y == 0;
    case bsVertical: return x == 0;
    case bsFDiagonal: return ((x - y) & 7) == 0;
    case bsBDiagonal: return ((x + y) & 7) == 7;
    case bsCross: return x == 0 || y == 0;
    case bsDiagCross: return ((x - y) & 7) == 0 || ((x + y) & 7) == 7;
    default: return true;
    }
}

QPainter::CompositionMode CompositionOf(TPenMode m) {
    switch (m) {
    case pmBlack: return QPainter::RasterOp_ClearDestination;
    case pmWhite: return QPainter::RasterOp_SetDestination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QImage HatchTexture(TBrushStyle s, QRgb color, bool opaqueGaps, QRgb bk) {
    QImage t(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            t.setPixel(x, y, HatchOn(s, x, y) ? (color | Opaque) : (opaqueGaps ? (bk | Opaque) : 0u));
    return t;
}

}  // namespace

// ---------------------------------------------------------------------------
// TCanvasImpl

TCanvasImpl::TCanvasImpl(TCanvas& canvas) : c(canvas) {}
TCanvasImpl::~TCanvasImpl() = default;

bool TCanvasImpl::Monochrome() const { return owner && owner->Monochrome(); }

bool TCanvasImpl::Begin() {
    img = surface ? surface() : nullptr;
    if (img && (img->isNull() || img->depth() != 32))
        img = nullptr;
    if (!img)
        return false;
    if (c.OnChanging)
        c.OnChanging(&c);
    return true;
}

void TCanvasImpl::End() {
    if (c.OnChange)
        c.OnChange(&c);
    if (changed)
        changed();
}

void TCanvasImpl::SyncBk() {
    // The classic canvas sets the background again whenever it selects a changed brush.
    if (c.brush_.Revision() == bkBrushRev)
        return;
    bkBrushRev = c.brush_.Revision();
    if (c.brush_.Style() == bsSolid) {
        bkMode = OPAQUE;
        bkColor = c.brush_.Color();
    } else {
        bkMode = TRANSPARENT;
        bkColor = ~ColorToRGB(c.brush_.Color()) & 0xFFFFFF;
    }
}

const QFontMetrics& TCanvasImpl::Metrics() {
    if (!fm || fontRev != c.font_.Revision()) {
        fontRev = c.font_.Revision();
        qfont = ToQFont(c.font_);
        fm = std::make_unique<QFontMetrics>(qfont);
        widths.clear();
    }
    return *fm;
}

int TCanvasImpl::TextWidth(const QString& s) {
    const QFontMetrics& m = Metrics();
    auto it = widths.find(s);
    if (it != widths.end())
        return it->second;
    if (widths.size() >= 4096)
        widths.clear();
    const int w = m.horizontalAdvance(s);
    widths.emplace(s, w);
    return w;
}

int TCanvasImpl::ox() const { return c.origin_.X; }
int TCanvasImpl::oy() const { return c.origin_.Y; }

QRect TCanvasImpl::DevRect(const TRect& r) const {
    return QRect(QPoint(r.Left + ox(), r.Top + oy()), QPoint(r.Right + ox() - 1, r.Bottom + oy() - 1));
}

QRegion TCanvasImpl::Visible(const QRect& r) const {
    QRect b = r.intersected(SurfaceRect());
    if (b.isEmpty())
        return QRegion();
    if (!hasClip)
        return QRegion(b);
    return clip.intersected(b);
}

bool TCanvasImpl::VisiblePt(int x, int y) const {
    if (!img || x < 0 || y < 0 || x >= img->width() || y >= img->height())
        return false;
    return !hasClip || clip.contains(QPoint(x, y));
}

bool TCanvasImpl::BrushPaints() const {
    if (c.brush_.Bitmap() && !c.brush_.Bitmap()->Empty())
        return true;
    return c.brush_.Style() != bsClear && c.brush_.Color() != clNone;
}

bool TCanvasImpl::BrushPixel(int x, int y, QRgb& out) const {
    const TBrush& b = c.brush_;
    x -= c.brushOrigin_.X;
    y -= c.brushOrigin_.Y;
    if (TBitmap* pattern = b.Bitmap(); pattern && !pattern->Empty()) {
        const QImage& img = BitmapImage(*pattern);
        const int px = ((x % img.width()) + img.width()) % img.width();
        const int py = ((y % img.height()) + img.height()) % img.height();
        QRgb v = reinterpret_cast<const QRgb*>(img.constScanLine(py))[px] & 0xFFFFFF;
        if (pattern->Monochrome()) {
            TColor col = v == 0 ? c.font_.Color() : bkColor;
            if (col == clNone)
                return false;
            v = ToQRgb(col);
        }
        out = v;
        return true;
    }
    if (b.Style() == bsSolid) {
        out = ToQRgb(b.Color());
        return true;
    }
    if (HatchOn(b.Style(), x, y)) {
        out = ToQRgb(b.Color());
        return true;
    }
    if (bkMode == OPAQUE && bkColor != clNone) {
        out = ToQRgb(bkColor);
        return true;
    }
    return false;
}

void TCanvasImpl::FillDevice(const QRect& r, TPenMode mode, const QRgb* solidColor) {
    if ((!solidColor && !BrushPaints()) || r.isEmpty())
        return;
    SyncBk();
    const bool solid = solidColor || (c.brush_.Style() == bsSolid && !c.brush_.Bitmap());
    const QRgb color = (solidColor ? *solidColor : ToQRgb(c.brush_.Color())) | Opaque;
    for (const QRect& part : Visible(r)) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(img->scanLine(y));
            if (solid && mode == pmCopy) {
                std::fill(row + part.left(), row + part.right() + 1, color);
                continue;
            }
            for (int x = part.left(); x <= part.right(); ++x) {
                QRgb px = color;
                if (solid || BrushPixel(x, y, px))
                    row[x] = Rop2(mode, px, row[x]);
            }
        }
    }
}

void TCanvasImpl::Plot(int x, int y, QRgb color, TPenMode mode) {
    if (!VisiblePt(x, y))
        return;
    QRgb* px = reinterpret_cast<QRgb*>(img->scanLine(y)) + x;
    *px = Rop2(mode, color, *px);
}

bool TCanvasImpl::PenPaints() const { return c.pen_.Style() != psClear && c.pen_.Color() != clNone; }
bool TCanvasImpl::WidePen() const { return c.pen_.Width() > 1; }

namespace {
// 128-bit products: coordinates span up to 2^32, so step counts times lengths
// (and bounds times lengths) can pass 2^63.
__extension__ typedef __int128 Wide;

// Floor division by a positive divisor.
Wide FloorDiv(Wide a, Wide b) {
    Wide q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The box l..r x t..b grown by reach and cut to limit, in 64 bits so that
// points near the limits of int cannot overflow.
QRect GrownBox(int l, int t, int r, int b, int reach, const QRect& limit) {
    const std::int64_t L = std::max<std::int64_t>(std::int64_t(l) - reach, limit.left());
    const std::int64_t T = std::max<std::int64_t>(std::int64_t(t) - reach, limit.top());
    const std::int64_t R = std::min<std::int64_t>(std::int64_t(r) + reach, limit.right());
    const std::int64_t B = std::min<std::int64_t>(std::int64_t(b) + reach, limit.bottom());
    if (L > R || T > B)
        return QRect();
    return QRect(QPoint(int(L), int(T)), QPoint(int(R), int(B)));
}
}  // namespace

void TCanvasImpl::PenLine(QPoint a, QPoint b, std::int64_t* phase) {
    // Bresenham; the last point is left out. Exactly horizontal and vertical
    // lines cover the half-open span between the points.
    SyncBk();
    const std::int64_t x0 = a.x(), y0 = a.y();
    const std::int64_t dx = std::abs(std::int64_t(b.x()) - x0), dy = std::abs(std::int64_t(b.y()) - y0);
    const int sx = b.x() > a.x() ? 1 : -1, sy = b.y() > a.y() ? 1 : -1;
    const std::int64_t steps = std::max(dx, dy);
    const std::int64_t first = *phase;
    *phase += steps;
    if (steps == 0)
        return;
    // Only the steps whose pixel can fall inside the surface and clip are
    // walked: a line with far-away ends would otherwise take billions of steps.
    QRect bounds = SurfaceRect();
    if (hasClip)
        bounds = bounds.intersected(clip.boundingRect());
    if (bounds.isEmpty())
        return;
    // Along the major axis every step moves one pixel; the minor axis has
    // moved k(i) = ceil((i*N - half) / M) pixels before step i, where M and N
    // are the major and minor lengths and half = M / 2 (the error term's
    // start); the error term there is +-(half - i*N + k(i)*M), so the walk can
    // begin at any step and draw exactly the pixels of the full walk.
    const bool xMajor = dx > dy;
    const std::int64_t M = xMajor ? dx : dy, N = xMajor ? dy : dx, half = M / 2;
    const std::int64_t u0 = xMajor ? x0 : y0, v0 = xMajor ? y0 : x0;
    const int su = xMajor ? sx : sy, sv = xMajor ? sy : sx;
    const std::int64_t uL = xMajor ? bounds.left() : bounds.top(), uH = xMajor ? bounds.right() : bounds.bottom();
    const std::int64_t vL = xMajor ? bounds.top() : bounds.left(), vH = xMajor ? bounds.bottom() : bounds.right();
    Wide lo = 0, hi = steps - 1;
    // Major axis: u0 + su*i within [uL, uH].
    lo = std::max<Wide>(lo, su > 0 ? uL - u0 : u0 - uH);
    hi = std::min<Wide>(hi, su > 0 ? uH - u0 : u0 - uL);
    // Minor axis: k(i) within [kLo, kHi]; k is non-decreasing in i.
    const Wide kLo = sv > 0 ? vL - v0 : v0 - vH, kHi = sv > 0 ? vH - v0 : v0 - vL;
    if (N == 0) {
        if (kLo > 0 || kHi < 0)
            return;
    } else {
        lo = std::max(lo, FloorDiv((kLo - 1) * M + half, N) + 1);
        hi = std::min(hi, FloorDiv(kHi * M + half, N));
    }
    if (lo > hi)
        return;
    const std::int64_t start = static_cast<std::int64_t>(lo), last = static_cast<std::int64_t>(hi);
    const Wide k = -FloorDiv(half - Wide(start) * N, M);
    const std::int64_t r = static_cast<std::int64_t>(half - Wide(start) * N + k * M);
    const std::int64_t kk = static_cast<std::int64_t>(k);
    std::int64_t x = x0 + sx * (xMajor ? start : kk), y = y0 + sy * (xMajor ? kk : start);
    std::int64_t err = xMajor ? r : -r;

    const TPen& pen = c.pen_;
    const QRgb color = ToQRgb(pen.Color());
    const DashPattern* pattern = PatternOf(pen.Style());
    const bool gaps = pattern && bkMode == OPAQUE && bkColor != clNone;
    const QRgb gapColor = gaps ? ToQRgb(bkColor) : 0;
    for (std::int64_t i = start; i <= last; ++i) {
        if (!pattern || PatternOn(pattern, first + i))
            Plot(static_cast<int>(x), static_cast<int>(y), color, pen.Mode());
        else if (gaps)
            Plot(static_cast<int>(x), static_cast<int>(y), gapColor, pen.Mode());
        const std::int64_t e = err;
        if (e > -dx) {
            err -= dy;
            x += sx;
        }
        if (e < dy) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvasImpl::PenPolyline(const std::vector<QPoint>& pts, bool closed) {
    if (pts.empty() || !PenPaints())
        return;
    if (WidePen()) {
        // Wide pens: every pixel whose centre lies within half the pen's width
        // of the path, a disc swept along it (round ends and joins, both ends
        // drawn, the same pixels in either direction). Odd widths centre on
        // pixel centres, even ones on pixel corners: a line at y covers the
        // rows y - w/2 to y + (w-1)/2. Each pixel is drawn once, whatever the mode.
        const int w = c.pen_.Width();
        const double r = w / 2.0, o = (w % 2 == 0) ? 0.5 : 0.0;
        const int reach = w / 2 + 1;
        int x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
        for (const QPoint& q : pts) {
            x0 = std::min(x0, q.x()), x1 = std::max(x1, q.x());
            y0 = std::min(y0, q.y()), y1 = std::max(y1, q.y());
        }
        const QRect area = GrownBox(x0, y0, x1, y1, reach, img->rect());
        if (area.isEmpty())
            return;
        std::vector<unsigned char> on(static_cast<size_t>(area.width()) * area.height(), 0);
        auto sweep = [&](QPoint a, QPoint b) {
            const double ax = a.x(), ay = a.y(), dx = b.x() - ax, dy = b.y() - ay, len2 = dx * dx + dy * dy;
            const QRect box = GrownBox(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                                       std::max(a.y(), b.y()), reach, area);
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x) {
                    const double px = x + o - ax, py = y + o - ay;
                    const double t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0.0;
                    const double ex = px - t * dx, ey = py - t * dy;
                    if (ex * ex + ey * ey <= r * r + 1e-9)
                        on[static_cast<size_t>(y - area.top()) * area.width() + (x - area.left())] = 1;
                }
        };
        sweep(pts[0], pts[0]);
        for (size_t i = 0; i + 1 < pts.size(); ++i)
            sweep(pts[i], pts[i + 1]);
        if (closed && pts.size() > 1)
            sweep(pts.back(), pts.front());
        const QRgb color = ToQRgb(c.pen_.Color());
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                if (on[static_cast<size_t>(y) * area.width() + x])
                    Plot(area.left() + x, area.top() + y, color, c.pen_.Mode());
        return;
    }
    std::int64_t phase = 0;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        PenLine(pts[i], pts[i + 1], &phase);
    if (closed && pts.size() > 1)
        PenLine(pts.back(), pts.front(), &phase);
}

void TCanvasImpl::SetupPainter(QPainter& p, bool logical) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (hasClip)
        p.setClipRegion(clip);
    if (logical) {
        p.translate(ox(), oy());
        p.setBrushOrigin(c.brushOrigin_.X - ox(), c.brushOrigin_.Y - oy());
    }
}

void TCanvasImpl::ApplyPen(QPainter& p) const {
    const TPen& pen = c.pen_;
    if (!PenPaints()) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen qp(ToQColor(pen.Color()));
    qp.setWidth(pen.Width());
    qp.setCapStyle(Qt::RoundCap);
    qp.setJoinStyle(pen.Width() > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    if (pen.Width() == 1) {
        if (const DashPattern* d = PatternOf(pen.Style())) {
            QVector<qreal> v;
            for (int i = 0; i < d->n; ++i)
                v << d->len[i];
            qp.setDashPattern(v);
            qp.setCapStyle(Qt::FlatCap);
        }
    }
    p.setPen(qp);
    if (pen.Mode() != pmCopy)
        p.setCompositionMode(CompositionOf(pen.Mode()));
}

void TCanvasImpl::ApplyBrush(QPainter& p) const {
    const TBrush& b = c.brush_;
    if (!BrushPaints()) {
        p.setBrush(Qt::NoBrush);
        return;
    }
    if (b.Bitmap() && !b.Bitmap()->Empty()) {
        // The pattern as the canvas's own fills see it.
        const QImage& img = BitmapImage(*b.Bitmap());
        QImage t(img.size(), QImage::Format_ARGB32);
        for (int y = 0; y < t.height(); ++y)
            for (int x = 0; x < t.width(); ++x) {
                QRgb v;
                t.setPixel(x, y, BrushPixel(x + c.brushOrigin_.X, y + c.brushOrigin_.Y, v) ? (v | Opaque) : 0u);
            }
        p.setBrush(QBrush(t));
        return;
    }
    if (b.Style() == bsSolid) {
        p.setBrush(ToQColor(b.Color()));
        return;
    }
    p.setBrush(QBrush(HatchTexture(b.Style(), ToQRgb(b.Color()), bkMode == OPAQUE && bkColor != clNone,
                                   bkColor == clNone ? 0 : ToQRgb(bkColor))));
}

void TCanvasImpl::Blit(const QRect& dest, const QImage& srcImage, QRect srcRect, TCopyMode rop,
                       const QRgb* transparentKey, const QRgb* brushKey, bool mirrorX, bool mirrorY) {
    if (dest.isEmpty() || srcRect.isEmpty())
        return;
    // The source part is copied first so that a canvas can copy onto itself.
    QImage src = srcImage.copy(srcRect).convertToFormat(QImage::Format_RGB32);
    if (mirrorX || mirrorY)
        src = src.mirrored(mirrorX, mirrorY);
    if (src.size() != dest.size())
        src = src.scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    SyncBk();
    const unsigned code = (rop >> 16) & 0xFF;
    const bool usesPattern = ((code >> 4) & 0x0F) != (code & 0x0F);
    const QRgb keyT = transparentKey ? (*transparentKey & 0xFFFFFF) : 0;
    const QRgb keyB = brushKey ? (*brushKey & 0xFFFFFF) : 0;
    for (const QRect& part : Visible(dest)) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(img->scanLine(y));
            const QRgb* srow = reinterpret_cast<const QRgb*>(src.constScanLine(y - dest.top())) - dest.left();
            for (int x = part.left(); x <= part.right(); ++x) {
                QRgb s = srow[x] & 0xFFFFFF;
                if (transparentKey && s == keyT)
                    continue;
                if (brushKey && s == keyB) {
                    QRgb bp;
                    if (BrushPaints() && BrushPixel(x, y, bp))
                        row[x] = bp | Opaque;
                    continue;
                }
                QRgb pat = 0;
                if (usesPattern && BrushPaints())
                    BrushPixel(x, y, pat);
                row[x] = Rop3(code, pat, s, row[x]);
            }
        }
    }
}

void TCanvasImpl::BlendImage(const QRect& dest, const QImage& src) {
    QPainter p(img);
    SetupPainter(p, false);
    p.drawImage(dest, src);
}

// ---------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas() : d_(std::make_unique<TCanvasImpl>(*this)) {}
TCanvas::~TCanvas() = default;

void AttachCanvas(TCanvas& canvas, std::function<QImage*()> surface) { CanvasAccess::Of(canvas).surface = std::move(surface); }

QImage* CanvasImage(const TCanvas& canvas) {
    auto& d = CanvasAccess::Of(canvas);
    QImage* img = d.surface ? d.surface() : nullptr;
    return (img && !img->isNull()) ? img : nullptr;
}

void SetCanvasChangedHook(TCanvas& canvas, std::function<void()> hook) { CanvasAccess::Of(canvas).changed = std::move(hook); }

TDeviceCanvas::TDeviceCanvas(QPaintDevice& device)
    : image_(std::max(1, device.width()), std::max(1, device.height()), QImage::Format_RGB32) {
    image_.fill(Qt::white);
    AttachCanvas(canvas_, [this] { return &image_; });
}

void TDeviceCanvas::Flush(QPainter& painter) const { painter.drawImage(0, 0, image_); }

bool TCanvas::HandleAllocated() const { return CanvasImage(*this) != nullptr; }

int TCanvas::BkMode() const {
    d_->SyncBk();
    return d_->bkMode;
}
void TCanvas::SetBkMode(int mode) {
    d_->SyncBk();
    d_->bkMode = mode == TRANSPARENT ? TRANSPARENT : OPAQUE;
}
TColor TCanvas::BkColor() const {
    d_->SyncBk();
    return d_->bkColor;
}
void TCanvas::SetBkColor(TColor c) {
    d_->SyncBk();
    d_->bkColor = c;
}

void TCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

namespace {
// A point moved by the canvas origin; a sum past the int range is held at its
// end rather than wrapping (such a point lies far outside any surface anyway).
QPoint Shifted(int x, int y, int ox, int oy) {
    auto add = [](int v, int o) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(v) + o, INT_MIN, INT_MAX));
    };
    return QPoint(add(x, ox), add(y, oy));
}
}  // namespace

void TCanvas::LineTo(int x, int y) {
    if (IsMapped(*this)) {
        const TPoint d = MapPoint(*this, {x, y});
        {
            TDeviceScope s(*this);
            LineTo(d.X, d.Y);
        }
        penPos_ = {x, y};
        return;
    }
    TPoint from = penPos_;
    penPos_ = {x, y};
    if (!d_->Begin())
        return;
    d_->PenPolyline({Shifted(from.X, from.Y, d_->ox(), d_->oy()), Shifted(x, y, d_->ox(), d_->oy())}, false);
    d_->End();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (IsMapped(*this)) {
        const std::vector<TPoint> d = MapPoints(*this, points);
        TDeviceScope s(*this);
        return Polyline(d);
    }
    if (points.empty() || !d_->Begin())
        return;
    std::vector<QPoint> pts;
    for (auto& p : points)
        pts.push_back(Shifted(p.X, p.Y, d_->ox(), d_->oy()));
    d_->PenPolyline(pts, false);
    d_->End();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    if (IsMapped(*this)) {
        const std::vector<TPoint> d = MapPoints(*this, points);
        TDeviceScope s(*this);
        return Polygon(d);
    }
    if (points.size() < 2 || !d_->Begin())
        return;
    d_->SyncBk();
    if (d_->BrushPaints()) {
        QPainter p(d_->img);
        d_->SetupPainter(p);
        p.setPen(Qt::NoPen);
        d_->ApplyBrush(p);
        if (pen_.Mode() != pmCopy)
            p.setCompositionMode(CompositionOf(pen_.Mode()));
        // The outline's coordinates name pixel centres, Qt's name pixel
        // corners: the fill moves half a pixel so that it takes the pixels
        // whose centres are inside and never shows beyond the outline.
        QPolygonF poly;
        for (auto& q : points)
            poly << QPointF(q.X + 0.5, q.Y + 0.5);
        p.drawPolygon(poly, polyFillMode_ == pfWinding ? Qt::WindingFill : Qt::OddEvenFill);
    }
    std::vector<QPoint> pts;
    for (auto& q : points)
        pts.push_back(Shifted(q.X, q.Y, d_->ox(), d_->oy()));
    d_->PenPolyline(pts, true);
    d_->End();
}

void TCanvas::PolyBezier(const std::vector<TPoint>& points) {
    if (IsMapped(*this)) {
        const std::vector<TPoint> d = MapPoints(*this, points);
        TDeviceScope s(*this);
        return PolyBezier(d);
    }
    if (points.size() < 4 || !d_->Begin())
        return;
    // Flattened to short segments drawn with the line rule; unlike a polyline
    // the end point of the curve is drawn.
    std::vector<QPoint> pts;
    pts.emplace_back(points[0].X + d_->ox(), points[0].Y + d_->oy());
    for (size_t i = 0; i + 3 < points.size(); i += 3) {
        const TPoint &p0 = points[i], &p1 = points[i + 1], &p2 = points[i + 2], &p3 = points[i + 3];
        double len = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
                     std::hypot(p3.X - p2.X, p3.Y - p2.Y);
        int n = std::clamp(static_cast<int>(len / 4), 2, 256);
        for (int k = 1; k <= n; ++k) {
            double t = double(k) / n, u = 1 - t;
            double x = u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
            double y = u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
            QPoint q(static_cast<int>(std::lround(x)) + d_->ox(), static_cast<int>(std::lround(y)) + d_->oy());
            if (q != pts.back())
                pts.push_back(q);
        }
    }
    d_->PenPolyline(pts, false);
    if (d_->PenPaints() && !d_->WidePen())
        d_->Plot(pts.back().x(), pts.back().y(), ToQRgb(pen_.Color()), pen_.Mode());
    d_->End();
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TDeviceScope s(*this);
        return Rectangle(d.Left, d.Top, d.Right, d.Bottom);
    }
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (!d_->Begin())
        return;
    QRect all = d_->DevRect({l, t, r, b});
    if (!d_->PenPaints()) {
        // Without a pen the classic rectangle fills one pixel less to the right and bottom.
        d_->FillDevice(all.adjusted(0, 0, -1, -1), pen_.Mode());
        d_->End();
        return;
    }
    const int w = pen_.Width();
    const bool inside = pen_.Style() == psInsideFrame;
    if (w == 1 || inside) {
        const int k = std::min(w, std::max(1, std::min(all.width(), all.height()) / 2 + 1));
        d_->FillDevice(all.adjusted(k, k, -k, -k), pen_.Mode());
        const DashPattern* pattern = PatternOf(pen_.Style());
        if (pattern && w == 1) {
            std::vector<QPoint> pts{all.topLeft(), all.topRight(), all.bottomRight(), all.bottomLeft()};
            d_->PenPolyline(pts, true);
        } else {
            // Solid outline (psInsideFrame: a band of the pen's width inside the bounds).
            const QRgb pc = ToQRgb(pen_.Color());
            QRect bands[4] = {QRect(all.left(), all.top(), all.width(), k),
                              QRect(all.left(), all.bottom() - k + 1, all.width(), k),
                              QRect(all.left(), all.top() + k, k, all.height() - 2 * k),
                              QRect(all.right() - k + 1, all.top() + k, k, all.height() - 2 * k)};
            for (auto& band : bands)
                d_->FillDevice(band, pen_.Mode(), &pc);
        }
        d_->End();
        return;
    }
    // Wide pen: the outline is centred on the one-pixel outline.
    const int a = w / 2;
    QRect outer(QPoint(all.left() - a, all.top() - a), QPoint(all.right() - a + w - 1, all.bottom() - a + w - 1));
    QRect inner(QPoint(all.left() - a + w, all.top() - a + w), QPoint(all.right() - a - 1, all.bottom() - a - 1));
    d_->FillDevice(inner, pen_.Mode());
    QRegion ring = QRegion(outer).subtracted(QRegion(inner));
    const QRgb pc = ToQRgb(pen_.Color());
    for (const QRect& band : ring)
        d_->FillDevice(band, pen_.Mode(), &pc);
    d_->End();
}

void TCanvas::FillRect(const TRect& r) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, r);
        TDeviceScope s(*this);
        return FillRect(d);
    }
    if (!d_->Begin())
        return;
    d_->FillDevice(d_->DevRect(r));
    d_->End();
}

void TCanvas::FrameRect(const TRect& r) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, r);
        TDeviceScope s(*this);
        return FrameRect(d);
    }
    if (IsRectEmpty(r) || !d_->Begin())
        return;
    QRect a = d_->DevRect(r);
    d_->FillDevice(QRect(a.left(), a.top(), a.width(), 1));
    d_->FillDevice(QRect(a.left(), a.bottom(), a.width(), 1));
    d_->FillDevice(QRect(a.left(), a.top() + 1, 1, a.height() - 2));
    d_->FillDevice(QRect(a.right(), a.top() + 1, 1, a.height() - 2));
    d_->End();
}

namespace {
// The outline box of a shape by bounding box l,t,r,b: the pixels l..r-1 and t..b-1.
QRectF ShapeBox(int l, int t, int r, int b) {
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    // Qt's aliased outline of a w x h rectangle covers w+1 x h+1 pixels.
    return QRectF(l, t, r - l - 1, b - t - 1);
}

// The pixel x,y of the ellipse of a w x h box: 0 outside, 1 inside, 2
// outline. A pixel belongs when its centre lies in the ellipse; the outline
// is the pixels with a neighbour outside (a closed line no 4-connected flood
// fill crosses). Small ellipses stay round, and all four quarters match.
// Worked out per pixel, so only the pixels that can show cost anything.
constexpr unsigned char MarkInside = 1, MarkOutline = 2;
unsigned char EllipsePixel(int w, int h, int x, int y) {
    const double a = w / 2.0, b = h / 2.0;
    auto in = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= w || py >= h)
            return false;
        const double dx = (px + 0.5 - a) / a, dy = (py + 0.5 - b) / b;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    };
    if (!in(x, y))
        return 0;
    return in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1) ? MarkInside : MarkOutline;
}

// Whether the pen is drawn by our own one-pixel rules (not Qt's wide or styled strokes).
bool ThinSolidPen(const TCanvasImpl& d) {
    const TPen& pen = d.c.Pen();
    return !d.PenPaints() || (pen.Width() == 1 && (pen.Style() == psSolid || pen.Style() == psInsideFrame));
}

// The mark of pixel x,y of an ellipse shape of a w x h box: with a pen,
// outline and inside; without one the classic shape is one pixel smaller to
// the right and bottom and all inside.
unsigned char EllipseMark(bool pen, int w, int h, int x, int y) {
    if (pen)
        return EllipsePixel(w, h, x, y);
    return x < w - 1 && y < h - 1 && EllipsePixel(w - 1, h - 1, x, y) ? MarkInside : 0;
}

// Paints one marked pixel: the outline in the pen, the inside in the brush.
void PaintMark(TCanvasImpl& d, int px, int py, unsigned char mark, bool fill) {
    QRgb bp;
    if (mark == MarkOutline)
        d.Plot(px, py, ToQRgb(d.c.Pen().Color()), d.c.Pen().Mode());
    else if (mark == MarkInside && fill && d.VisiblePt(px, py) && d.BrushPixel(px, py, bp))
        d.Plot(px, py, bp, d.c.Pen().Mode());
}
}  // namespace

void TCanvas::RoundRect(int l, int t, int r, int b, int w, int h) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        const bool scaled = mapMode_ != MM_TEXT;  // a mirror alone keeps lengths
        const int dw = scaled ? MapLength(*this, w) : w, dh = scaled ? MapLength(*this, h) : h;
        TDeviceScope s(*this);
        return RoundRect(d.Left, d.Top, d.Right, d.Bottom, dw, dh);
    }
    if (!d_->Begin())
        return;
    d_->SyncBk();
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    const int W = r - l, H = b - t, ew = std::min(std::abs(w), W), eh = std::min(std::abs(h), H);
    if (ew < 2 || eh < 2) {
        // No corners to round.
        d_->End();
        Rectangle(l, t, r, b);
        return;
    }
    // The corners are the quarters of the ellipse of the corner size (so all
    // four match, and corners as large as the box give Ellipse's pixels);
    // between them the ellipse's middle column and row stretch.
    if (!ThinSolidPen(*d_)) {
        QPainter p(d_->img);
        d_->SetupPainter(p);
        d_->ApplyPen(p);
        d_->ApplyBrush(p);
        p.drawRoundedRect(ShapeBox(l, t, r, b), ew / 2.0, eh / 2.0);
        d_->End();
        return;
    }
    const bool pen = d_->PenPaints(), fill = d_->BrushPaints();
    const int sw = pen ? W : W - 1, sh = pen ? H : H - 1;  // without a pen one pixel smaller
    const int cw = std::min(ew, sw), ch = std::min(eh, sh);
    if (cw < 1 || ch < 1) {
        d_->End();
        return;
    }
    auto map = [](int k, int size, int e) { return k < (e + 1) / 2 ? k : k >= size - e / 2 ? e - (size - k) : e / 2; };
    const QRect box(l + d_->ox(), t + d_->oy(), sw, sh), showing = box.intersected(d_->img->rect());
    for (int py = showing.top(); py <= showing.bottom(); ++py)
        for (int px = showing.left(); px <= showing.right(); ++px) {
            const int x = px - box.left(), y = py - box.top();
            unsigned char mark = EllipsePixel(cw, ch, map(x, sw, cw), map(y, sh, ch));
            if (!pen && mark)
                mark = MarkInside;
            PaintMark(*d_, px, py, mark, fill);
        }
    d_->End();
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TDeviceScope s(*this);
        return Ellipse(d.Left, d.Top, d.Right, d.Bottom);
    }
    if (!d_->Begin())
        return;
    d_->SyncBk();
    if (!ThinSolidPen(*d_)) {
        QPainter p(d_->img);
        d_->SetupPainter(p);
        d_->ApplyPen(p);
        d_->ApplyBrush(p);
        p.drawEllipse(ShapeBox(l, t, r, b));
        d_->End();
        return;
    }
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    const QRect box(l + d_->ox(), t + d_->oy(), r - l, b - t), showing = box.intersected(d_->img->rect());
    const bool pen = d_->PenPaints(), fill = d_->BrushPaints();
    for (int py = showing.top(); py <= showing.bottom(); ++py)
        for (int px = showing.left(); px <= showing.right(); ++px)
            PaintMark(*d_, px, py, EllipseMark(pen, box.width(), box.height(), px - box.left(), py - box.top()), fill);
    d_->End();
}

namespace {
enum class ArcKind { Arc, Pie, Chord };
// Arcs, pies and chords take their curve from the very pixels that Ellipse
// draws for the same box (Qt's own arcs choose other, smaller ones): the
// outline pixels whose direction from the centre lies between the two rays,
// counter-clockwise from the first, and for a pie the inside pixels between
// the rays, for a chord those on the arc's side of the line joining its ends.
void DrawArcShape(TCanvasImpl& d, ArcKind kind, int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
    const int ox = d.ox(), oy = d.oy();
    const QRectF box = ShapeBox(l + ox, t + oy, r + ox, b + oy);
    const double cx = box.center().x(), cy = box.center().y();
    const double rx = std::max(0.5, box.width() / 2), ry = std::max(0.5, box.height() / 2);
    auto angleOf = [&](double x, double y) {
        double a = std::atan2(-(y - cy), x - cx) * 180.0 / M_PI;
        return a < 0 ? a + 360 : a;
    };
    const double a3 = angleOf(x3 + ox, y3 + oy);
    double span = angleOf(x4 + ox, y4 + oy) - a3;
    while (span <= 0)
        span += 360;
    auto within = [&](int x, int y) {
        if (x == cx && y == cy)
            return true;
        double k = angleOf(x, y) - a3;
        while (k < 0)
            k += 360;
        return k <= span + 1e-9;
    };
    // Where a ray leaves the ellipse.
    auto endOf = [&](double angle) {
        const double c = std::cos(angle * M_PI / 180), s = std::sin(angle * M_PI / 180);
        const double k = 1 / std::sqrt(c * c / (rx * rx) + s * s / (ry * ry));
        return QPoint(static_cast<int>(std::lround(cx + k * c)), static_cast<int>(std::lround(cy - k * s)));
    };
    const QPoint e3 = endOf(a3), e4 = endOf(a3 + span), centre(static_cast<int>(std::lround(cx)),
                                                             static_cast<int>(std::lround(cy)));

    // The ellipse's pixels, where they can show: our own for one-pixel pens,
    // Qt's wide strokes otherwise.
    QRect area;
    std::vector<unsigned char> marks;
    if (ThinSolidPen(d)) {
        const QRect whole(std::min(l, r) + ox, std::min(t, b) + oy, std::abs(r - l), std::abs(b - t));
        area = whole.intersected(d.img->rect());
        marks.resize(static_cast<size_t>(area.width()) * area.height());
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                marks[static_cast<size_t>(y) * area.width() + x] =
                    EllipseMark(d.PenPaints(), whole.width(), whole.height(), x + area.left() - whole.left(),
                                y + area.top() - whole.top());
    } else {
        constexpr QRgb OutlineMark = 0xFF0000FFu, InsideMark = 0xFF00FF00u;
        const int m = d.c.Pen().Width() + 2;
        area = box.toAlignedRect().adjusted(-m, -m, m, m).intersected(d.img->rect());
        if (area.isEmpty())
            return;
        QImage scratch(area.size(), QImage::Format_ARGB32);
        scratch.fill(0u);
        {
            QPainter p(&scratch);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.translate(-area.left(), -area.top());
            d.ApplyPen(p);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            if (p.pen().style() != Qt::NoPen) {
                QPen pen = p.pen();
                pen.setColor(QColor::fromRgba(OutlineMark));
                p.setPen(pen);
            }
            p.setBrush(QBrush(QColor::fromRgba(InsideMark)));
            p.drawEllipse(box);
        }
        marks.assign(static_cast<size_t>(area.width()) * area.height(), 0);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x) {
                const QRgb v = reinterpret_cast<const QRgb*>(scratch.constScanLine(y))[x];
                marks[static_cast<size_t>(y) * area.width() + x] =
                    v == OutlineMark ? MarkOutline : v == InsideMark ? MarkInside : 0;
            }
    }
    if (area.isEmpty())
        return;  // nothing of the shape (its lines included) can show
    const bool pen = d.PenPaints();
    const QRgb penColor = ToQRgb(d.c.Pen().Color());
    const TPenMode mode = d.c.Pen().Mode();
    const bool fill = kind != ArcKind::Arc && d.BrushPaints();
    // The chord's side: where the arc's middle lies relative to the line e3 -> e4.
    const QPoint mid = endOf(a3 + span / 2);
    auto side = [&](QPoint q) {
        return static_cast<long long>(e4.x() - e3.x()) * (q.y() - e3.y()) -
               static_cast<long long>(e4.y() - e3.y()) * (q.x() - e3.x());
    };
    const long long midSide = side(mid);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const unsigned char mark = marks[static_cast<size_t>(y) * area.width() + x];
            const int px = x + area.left(), py = y + area.top();
            if (mark == MarkOutline) {
                if (within(px, py))
                    d.Plot(px, py, penColor, mode);
            } else if (mark == MarkInside && fill) {
                const bool in = kind == ArcKind::Pie ? within(px, py)
                                                     : (span >= 360 || (side(QPoint(px, py)) > 0) == (midSide > 0));
                QRgb bp;
                if (in && d.VisiblePt(px, py) && d.BrushPixel(px, py, bp))
                    d.Plot(px, py, bp, mode);
            }
        }
    if (!pen || kind == ArcKind::Arc || span >= 360)
        return;
    if (kind == ArcKind::Pie)
        d.PenPolyline({e3, centre, e4}, false);
    else
        d.PenPolyline({e3, e4}, false);
    if (!d.WidePen())
        d.Plot(e4.x(), e4.y(), penColor, mode);
}
}  // namespace

void TCanvas::Arc(int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TPoint p3 = MapPoint(*this, {x3, y3}), p4 = MapPoint(*this, {x4, y4});
        if (IsMirrored(*this)) std::swap(p3, p4);  // counter-clockwise turns clockwise in a mirror
        TDeviceScope s(*this);
        return Arc(d.Left, d.Top, d.Right, d.Bottom, p3.X, p3.Y, p4.X, p4.Y);
    }
    if (!d_->Begin())
        return;
    DrawArcShape(*d_, ArcKind::Arc, l, t, r, b, x3, y3, x4, y4);
    d_->End();
}
void TCanvas::Pie(int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TPoint p3 = MapPoint(*this, {x3, y3}), p4 = MapPoint(*this, {x4, y4});
        if (IsMirrored(*this)) std::swap(p3, p4);  // counter-clockwise turns clockwise in a mirror
        TDeviceScope s(*this);
        return Pie(d.Left, d.Top, d.Right, d.Bottom, p3.X, p3.Y, p4.X, p4.Y);
    }
    if (!d_->Begin())
        return;
    d_->SyncBk();
    DrawArcShape(*d_, ArcKind::Pie, l, t, r, b, x3, y3, x4, y4);
    d_->End();
}
void TCanvas::Chord(int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TPoint p3 = MapPoint(*this, {x3, y3}), p4 = MapPoint(*this, {x4, y4});
        if (IsMirrored(*this)) std::swap(p3, p4);  // counter-clockwise turns clockwise in a mirror
        TDeviceScope s(*this);
        return Chord(d.Left, d.Top, d.Right, d.Bottom, p3.X, p3.Y, p4.X, p4.Y);
    }
    if (!d_->Begin())
        return;
    d_->SyncBk();
    DrawArcShape(*d_, ArcKind::Chord, l, t, r, b, x3, y3, x4, y4);
    d_->End();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
    if (IsMapped(*this)) {
        const TPoint d = MapPixel(*this, {x, y});
        TDeviceScope s(*this);
        return FloodFill(d.X, d.Y, color, style);
    }
    if (!d_->Begin())
        return;
    const int dx0 = x + d_->ox(), dy0 = y + d_->oy();
    QImage& img = *d_->img;
    if (!d_->VisiblePt(dx0, dy0) || !d_->BrushPaints()) {
        d_->End();
        return;
    }
    d_->SyncBk();
    const QRgb key = ToQRgb(color) & 0xFFFFFF;
    const int W = img.width(), H = img.height();
    // Decided on the pixels as they were before the fill.
    const QImage before = img.copy();
    auto inside = [&](int px, int py) {
        QRgb v = reinterpret_cast<const QRgb*>(before.constScanLine(py))[px] & 0xFFFFFF;
        return style == fsSurface ? v == key : v != key;
    };
    if (!inside(dx0, dy0)) {
        d_->End();
        return;
    }
    std::vector<unsigned char> seen(static_cast<size_t>(W) * H, 0);
    std::vector<QPoint> stack{QPoint(dx0, dy0)};
    while (!stack.empty()) {
        QPoint q = stack.back();
        stack.pop_back();
        int py = q.y();
        int xl = q.x(), xr = q.x();
        if (seen[static_cast<size_t>(py) * W + xl])
            continue;
        while (xl > 0 && !seen[static_cast<size_t>(py) * W + xl - 1] && inside(xl - 1, py) && d_->VisiblePt(xl - 1, py))
            --xl;
        while (xr < W - 1 && !seen[static_cast<size_t>(py) * W + xr + 1] && inside(xr + 1, py) && d_->VisiblePt(xr + 1, py))
            ++xr;
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(py));
        for (int px = xl; px <= xr; ++px) {
            seen[static_cast<size_t>(py) * W + px] = 1;
            QRgb bp;
            if (d_->BrushPixel(px, py, bp))
                row[px] = bp | Opaque;
        }
        for (int ny : {py - 1, py + 1}) {
            if (ny < 0 || ny >= H)
                continue;
            for (int px = xl; px <= xr; ++px)
                if (!seen[static_cast<size_t>(ny) * W + px] && inside(px, ny) && d_->VisiblePt(px, ny))
                    stack.emplace_back(px, ny);
        }
    }
    d_->End();
}

TColor TCanvas::Pixels(int x, int y) const {
    if (IsMapped(*this)) {
        const TPoint d = MapPixel(*this, {x, y});
        TDeviceScope s(const_cast<TCanvas&>(*this));
        return Pixels(d.X, d.Y);
    }
    QImage* img = CanvasImage(*this);
    int dx = x + origin_.X, dy = y + origin_.Y;
    if (!img || dx < 0 || dy < 0 || dx >= img->width() || dy >= img->height())
        return -1;
    if (d_->hasClip && !d_->clip.contains(QPoint(dx, dy)))
        return -1;
    return FromQRgb(reinterpret_cast<const QRgb*>(img->constScanLine(dy))[dx]);
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    if (IsMapped(*this)) {
        const TPoint d = MapPixel(*this, {x, y});
        TDeviceScope s(*this);
        return SetPixels(d.X, d.Y, c);
    }
    if (c == clNone || !d_->Begin())
        return;
    d_->Plot(x + d_->ox(), y + d_->oy(), ToQRgb(c), pmCopy);
    d_->End();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, r);
        TDeviceScope s(*this);
        return DrawFocusRect(d);
    }
    if (IsRectEmpty(r) || !d_->Begin())
        return;
    // Every other pixel of the one-pixel frame is inverted (by the device
    // checkerboard), so drawing it again restores the pixels.
    QRect a = d_->DevRect(r);
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) == 0 && d_->VisiblePt(x, y)) {
            QRgb* px = reinterpret_cast<QRgb*>(d_->img->scanLine(y)) + x;
            *px = (~*px & 0xFFFFFF) | Opaque;
        }
    };
    for (int x = a.left(); x <= a.right(); ++x) {
        invert(x, a.top());
        if (a.bottom() != a.top())
            invert(x, a.bottom());
    }
    for (int y = a.top() + 1; y < a.bottom(); ++y) {
        invert(a.left(), y);
        if (a.right() != a.left())
            invert(a.right(), y);
    }
    d_->End();
}

bool DrawFocusRect(TCanvas& canvas, const TRect& r) {
    canvas.DrawFocusRect(r);
    return true;
}

// ---------------------------------------------------------------------------
// Copies

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    if (IsMapped(*this)) {
        // Its pixels count as logical units, as every size given to the canvas.
        return StretchDraw({x, y, x + graphic.Width(), mapMode_ == MM_TEXT ? y + graphic.Height() : y - graphic.Height()},
                           graphic);
    }
    if (graphic.Empty())
        return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic& graphic) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, r);
        TDeviceScope s(*this);
        return StretchDraw(d, graphic);
    }
    if (graphic.Empty())
        return;
    graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
    if (IsMapped(*this) || IsMapped(source)) {
        const TRect d = MapRect(*this, dest), sr = MapRect(source, sourceRect);
        TDeviceScope s(*this);
        std::optional<TDeviceScope> sourceScope;
        if (&source != this) sourceScope.emplace(const_cast<TCanvas&>(source));
        return CopyRect(d, source, sr);
    }
    QImage* src = CanvasImage(source);
    if (!src || !d_->Begin())
        return;
    QRect s(sourceRect.Left + source.origin_.X, sourceRect.Top + source.origin_.Y, 1, 1);
    int sw = sourceRect.Width(), sh = sourceRect.Height();
    int dl = dest.Left + origin_.X, dt = dest.Top + origin_.Y, dw = dest.Width(), dh = dest.Height();
    // A negative size on one side mirrors; on both sides it cancels out.
    bool mirrorX = (sw < 0) != (dw < 0), mirrorY = (sh < 0) != (dh < 0);
    int sl = sw < 0 ? s.left() + sw : s.left(), st = sh < 0 ? s.top() + sh : s.top();
    if (dw < 0)
        dl += dw;
    if (dh < 0)
        dt += dh;
    sw = std::abs(sw), sh = std::abs(sh), dw = std::abs(dw), dh = std::abs(dh);
    if (sw == 0 || sh == 0 || dw == 0 || dh == 0) {
        d_->End();
        return;
    }
    // Source parts outside the source surface read as black, as the classic copy does.
    QImage part = src->copy(QRect(sl, st, sw, sh)).convertToFormat(QImage::Format_RGB32);
    TCanvasImpl& from = CanvasAccess::Of(const_cast<TCanvas&>(source));
    if (from.Monochrome() != d_->Monochrome()) {
        // Between colour and monochrome the classic conversion applies: to
        // monochrome, the source's background colour becomes white and every
        // other colour black; from monochrome, black takes this canvas's text
        // colour and white its background colour.
        from.SyncBk();
        d_->SyncBk();
        const QRgb srcBk = ToQRgb(from.bkColor) & 0xFFFFFF;
        const QRgb text = ToQRgb(font_.Color()) | 0xFF000000u, back = ToQRgb(d_->bkColor) | 0xFF000000u;
        for (int y = 0; y < part.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x) {
                const QRgb v = row[x] & 0xFFFFFF;
                if (d_->Monochrome())
                    row[x] = v == srcBk ? 0xFFFFFFFFu : 0xFF000000u;
                else
                    row[x] = v == 0 ? text : back;
            }
        }
    }
    d_->Blit(QRect(dl, dt, dw, dh), part, part.rect(), copyMode_, nullptr, nullptr, mirrorX, mirrorY);
    d_->End();
}

void TCanvas::BrushCopy(const TRect& dest, const TBitmap& bitmap, const TRect& source, TColor color) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, dest);
        TDeviceScope s(*this);
        return BrushCopy(d, bitmap, source, color);
    }
    if (bitmap.Empty() || !d_->Begin())
        return;
    const QImage& src = BitmapImage(bitmap);
    QRgb key = ToQRgb(color);
    d_->Blit(d_->DevRect(dest), src, QRect(source.Left, source.Top, source.Width(), source.Height()), cmSrcCopy,
             nullptr, &key);
    d_->End();
}

// ---------------------------------------------------------------------------
// Clipping, state, locking

void TCanvas::IntersectClipRect(int l, int t, int r, int b) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TDeviceScope s(*this);
        return IntersectClipRect(d.Left, d.Top, d.Right, d.Bottom);
    }
    QRegion rr(QRect(l + origin_.X, t + origin_.Y, std::max(0, r - l), std::max(0, b - t)));
    d_->clip = d_->hasClip ? d_->clip.intersected(rr) : rr;
    d_->hasClip = true;
}

void TCanvas::ExcludeClipRect(int l, int t, int r, int b) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, {l, t, r, b});
        TDeviceScope s(*this);
        return ExcludeClipRect(d.Left, d.Top, d.Right, d.Bottom);
    }
    QRegion rr(QRect(l + origin_.X, t + origin_.Y, std::max(0, r - l), std::max(0, b - t)));
    if (!d_->hasClip) {
        QImage* img = CanvasImage(*this);
        d_->clip = QRegion(img ? img->rect() : QRect(-(1 << 20), -(1 << 20), 1 << 21, 1 << 21));
    }
    d_->clip = d_->clip.subtracted(rr);
    d_->hasClip = true;
}

void TCanvas::SelectClipRgn(const TRegion* region) {
    if (!region) {
        d_->hasClip = false;
        d_->clip = QRegion();
        return;
    }
    d_->clip = RegionAccess::Of(*region);
    d_->hasClip = true;
}

void TCanvas::ExtSelectClipRgn(const TRegion& region, TRegionCombine op) {
    const QRegion& r = RegionAccess::Of(region);
    if (op == RGN_COPY) {
        d_->clip = r;
        d_->hasClip = true;
        return;
    }
    QRegion cur = d_->clip;
    if (!d_->hasClip) {
        QImage* img = CanvasImage(*this);
        cur = QRegion(img ? img->rect() : QRect(-(1 << 20), -(1 << 20), 1 << 21, 1 << 21));
    }
    switch (op) {
    case RGN_AND: cur = cur.intersected(r); break;
    case RGN_OR: cur = cur.united(r); break;
    case RGN_XOR: cur = cur.xored(r); break;
    case RGN_DIFF: cur = cur.subtracted(r); break;
    default: break;
    }
    d_->clip = cur;
    d_->hasClip = true;
}

bool TCanvas::GetClipRgn(TRegion& region) const {
    if (!d_->hasClip)
        return false;
    RegionAccess::Of(region) = d_->clip;
    return true;
}

TRect TCanvas::ClipRect() const {
    if (IsMapped(*this)) {
        TRect d;
        {
            TDeviceScope s(const_cast<TCanvas&>(*this));
            d = ClipRect();
        }
        return UnmapRect(*this, d);
    }
    QImage* img = CanvasImage(*this);
    QRect b = img ? img->rect() : QRect();
    if (d_->hasClip)
        b = d_->hasClip && img ? d_->clip.boundingRect().intersected(b) : d_->clip.boundingRect();
    if (b.isEmpty())
        return {};
    return {b.left() - origin_.X, b.top() - origin_.Y, b.left() + b.width() - origin_.X, b.top() + b.height() - origin_.Y};
}

int TCanvas::SaveDC() {
    d_->SyncBk();
    TCanvasImpl::State s{d_->hasClip, d_->clip, origin_, penPos_, brushOrigin_, d_->bkMode, d_->bkColor, polyFillMode_, copyMode_,
                         {}, {}, {}};
    s.mapMode = mapMode_;
    s.layout = layout_;
    s.layoutWidth = layoutWidth_;
    s.pen.Assign(&pen_);
    s.brush.Assign(&brush_);
    s.font.SetPixelsPerInch(font_.PixelsPerInch());
    s.font.Assign(&font_);
    d_->saved.push_back(std::move(s));
    return static_cast<int>(d_->saved.size());
}

bool TCanvas::RestoreDC(int n) {
    int count = static_cast<int>(d_->saved.size());
    int level = n < 0 ? count + 1 + n : n;
    if (level < 1 || level > count)
        return false;
    TCanvasImpl::State s = std::move(d_->saved[level - 1]);
    d_->saved.resize(level - 1);
    d_->hasClip = s.hasClip;
    d_->clip = s.clip;
    origin_ = s.origin;
    penPos_ = s.penPos;
    brushOrigin_ = s.brushOrigin;
    polyFillMode_ = s.fillMode;
    copyMode_ = s.copyMode;
    mapMode_ = s.mapMode;
    layout_ = s.layout;
    layoutWidth_ = s.layoutWidth;
    pen_.Assign(&s.pen);
    brush_.Assign(&s.brush);
    font_.Assign(&s.font);
    d_->bkBrushRev = brush_.Revision();
    d_->bkMode = s.bkMode;
    d_->bkColor = s.bkColor;
    return true;
}

void TCanvas::Lock() {
    lock_.lock();
    ++lockCount_;
}
bool TCanvas::TryLock() {
    if (!lock_.try_lock())
        return false;
    ++lockCount_;
    return true;
}
void TCanvas::Unlock() {
    --lockCount_;
    lock_.unlock();
}

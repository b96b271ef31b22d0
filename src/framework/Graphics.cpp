// Colours, fonts, pens, brushes, regions and rectangle helpers.

#include "Graphics_p.h"
#include "QtApp_p.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <vector>

bool IntersectRect(TRect& Dest, const TRect& a, const TRect& b) {
    Dest = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(Dest)) {
        Dest = {};
        return false;
    }
    return true;
}

bool UnionRect(TRect& Dest, const TRect& a, const TRect& b) {
    if (IsRectEmpty(a))
        Dest = b;
    else if (IsRectEmpty(b))
        Dest = a;
    else
        Dest = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
    if (IsRectEmpty(Dest)) {
        Dest = {};
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The classic desktop colour scheme, by system colour number.

namespace {
struct SysColorEntry {
    int index;
    Byte r, g, b;
};
constexpr SysColorEntry SysColorTable[] = {
    {0, 212, 208, 200},   // scroll bar
    {1, 58, 110, 165},    // desktop background
    {2, 10, 36, 106},     // active caption
    {3, 128, 128, 128},   // inactive caption
    {4, 212, 208, 200},   // menu
    {5, 255, 255, 255},   // window
    {6, 0, 0, 0},         // window frame
    {7, 0, 0, 0},         // menu text
    {8, 0, 0, 0},         // window text
    {9, 255, 255, 255},   // caption text
    {10, 212, 208, 200},  // active border
    {11, 212, 208, 200},  // inactive border
    {12, 128, 128, 128},  // application workspace
    {13, 10, 36, 106},    // highlight
    {14, 255, 255, 255},  // highlight text
    {15, 212, 208, 200},  // button face
    {16, 128, 128, 128},  // button shadow
    {17, 128, 128, 128},  // gray text
    {18, 0, 0, 0},        // button text
    {19, 212, 208, 200},  // inactive caption text
    {20, 255, 255, 255},  // button highlight
    {21, 64, 64, 64},     // 3-D dark shadow
    {22, 212, 208, 200},  // 3-D light
    {23, 0, 0, 0},        // info text
    {24, 255, 255, 225},  // info background
    {25, 181, 181, 181},  // (unnamed)
    {26, 0, 0, 128},      // hot-tracked item
    {27, 166, 202, 240},  // gradient active caption
    {28, 192, 192, 192},  // gradient inactive caption
    {29, 10, 36, 106},    // menu highlight
    {30, 212, 208, 200},  // menu bar
};
}  // namespace

TColor ColorToRGB(TColor Color) {
    if ((static_cast<std::uint32_t>(Color) & 0xFF000000u) != 0xFF000000u)
        return Color;
    int n = Color & 0xFF;
    for (const auto& e : SysColorTable)
        if (e.index == n)
            return RGB(e.r, e.g, e.b);
    return clBlack;  // an unknown system colour number
}

// ---------------------------------------------------------------------------

void TGraphicsObject::Changed() {
    ++revision_;
    if (OnChange)
        OnChange(this);
}

// MulDiv rounding: halves away from zero.
static int MulDivRound(int a, int b, int c) {
    long long p = static_cast<long long>(a) * b;
    long long q = (std::llabs(p) + c / 2) / c;
    return static_cast<int>(p < 0 ? -q : q);
}
TFont::TFont() : name_(S("Tahoma")), height_(-11) {}

void TFont::Assign(const TPersistent* Source) {
    if (auto f = dynamic_cast<const TFont*>(Source)) {
        if (f == this)
            return;
        name_ = f->name_;
        height_ = f->height_;
        color_ = f->color_;
        style_ = f->style_;
        charset_ = f->charset_;
        pitch_ = f->pitch_;
        escapement_ = f->escapement_;
        orientation_ = f->orientation_;
        if (f->pixelsPerInch_ != pixelsPerInch_)
            height_ = -MulDivRound(f->Size(), pixelsPerInch_, 72);
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TFont::SetName(const String& v) {
    if (v != name_ && !v.empty()) {
        name_ = v;
        Changed();
    }
}
void TFont::SetHeight(int v) {
    if (v != height_) {
        height_ = v;
        Changed();
    }
}
int TFont::Size() const { return -MulDivRound(height_, 72, pixelsPerInch_); }
void TFont::SetSize(int points) { SetHeight(-MulDivRound(points, pixelsPerInch_, 72)); }
void TFont::SetPixelsPerInch(int ppi) {
    if (ppi > 0 && ppi != pixelsPerInch_) {
        pixelsPerInch_ = ppi;
        Changed();
    }
}
void TFont::SetColor(TColor v) {
    if (v != color_) {
        color_ = v;
        Changed();
    }
}
void TFont::SetStyle(TFontStyles v) {
    if (!(v == style_)) {
        style_ = v;
        Changed();
    }
}
void TFont::SetCharset(TFontCharset v) {
    if (v != charset_) {
        charset_ = v;
        Changed();
    }
}
void TFont::SetPitch(TFontPitch v) {
    if (v != pitch_) {
        pitch_ = v;
        Changed();
    }
}
void TFont::SetEscapement(int v) {
    if (v != escapement_) {
        escapement_ = v;
        Changed();
    }
}
void TFont::SetOrientation(int v) {
    if (v != orientation_) {
        orientation_ = v;
        Changed();
    }
}

void TPen::Assign(const TPersistent* Source) {
    if (auto p = dynamic_cast<const TPen*>(Source)) {
        if (p == this)
            return;
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}
void TPen::SetColor(TColor v) {
    if (v != color_) {
        color_ = v;
        Changed();
    }
}
void TPen::SetWidth(int v) {
    v = std::max(v, 1);
    if (v != width_) {
        width_ = v;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle v) {
    if (v != style_) {
        style_ = v;
        Changed();
    }
}
void TPen::SetMode(TPenMode v) {
    if (v != mode_) {
        mode_ = v;
        Changed();
    }
}

void TBrush::Assign(const TPersistent* Source) {
    if (auto b = dynamic_cast<const TBrush*>(Source)) {
        if (b == this)
            return;
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}
void TBrush::SetColor(TColor v) {
    // The classic brush turns solid when a clear brush gets a colour; a
    // clNone brush stays solid and paints nothing.
    if (style_ == bsClear)
        style_ = bsSolid;
    color_ = v;
    Changed();
}
void TBrush::SetBitmap(TBitmap* b) {
    bitmap_ = b;
    Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
    if (v != style_) {
        style_ = v;
        Changed();
    }
}

// ---------------------------------------------------------------------------
// Font substitution: the faces the system names, mapped onto installed ones.

namespace {
struct FontSubstitute {
    const char* name;     // as the system names it (compared case-insensitively)
    const char* family;   // installed family
    int stretch;          // QFont stretch, 100 = normal
};
// The first row of a name whose family is installed wins. The layouts were
// made for the system's own faces: faces with their metrics come first, so
// that captions fit; DejaVu stays where nothing matches, narrowed where the
// original is narrower.
constexpr FontSubstitute FontSubstitutes[] = {
    {"Tahoma", "Tahoma", 100},
    {"Tahoma", "DejaVu Sans", 87},
    {"MS Sans Serif", "MS Sans Serif", 100},
    {"MS Sans Serif", "DejaVu Sans", 87},
    {"Arial", "Liberation Sans", 100},
    {"Arial", "DejaVu Sans", 100},
    {"Times New Roman", "Liberation Serif", 100},
    {"Times New Roman", "DejaVu Serif", 100},
    {"Courier New", "Liberation Mono", 100},
    {"Courier New", "DejaVu Sans Mono", 100},
    {"Courier", "Liberation Mono", 100},
    {"Courier", "DejaVu Sans Mono", 100},
    {"Verdana", "DejaVu Sans", 100},
    {"Segoe UI", "DejaVu Sans", 100},
    {"Symbol", "DejaVu Sans", 100},
};
const FontSubstitute DefaultSubstitute = {"", "DejaVu Sans", 100};

// Faces that ship outside the system's font folders; the application
// registers them itself.
const char* const FontFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
    "/usr/share/wine/fonts/ms_sans_serif.ttf",
};

const FontSubstitute& FindSubstitute(const String& name) {
    static const std::vector<bool> installed = [] {
        EnsureQtApplication();
        std::vector<bool> v;
        for (const auto& s : FontSubstitutes) v.push_back(QFontDatabase::hasFamily(QLatin1String(s.family)));
        return v;
    }();
    QString n = QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
    for (size_t i = 0; i < std::size(FontSubstitutes); ++i)
        if (installed[i] && n.compare(QLatin1String(FontSubstitutes[i].name), Qt::CaseInsensitive) == 0)
            return FontSubstitutes[i];
    return DefaultSubstitute;
}

// Pixel size of the em for a positive (cell) height: the cell is ascent plus descent.
int PixelSizeForCellHeight(const QFont& base, int cell) {
    static std::mutex m;
    static std::map<QString, double> ratio;
    std::lock_guard<std::mutex> g(m);
    QString key = base.family() + QString::number(base.stretch()) + QString::number(base.bold());
    auto it = ratio.find(key);
    if (it == ratio.end()) {
        QFont f(base);
        f.setPixelSize(100);
        QFontMetrics fm(f);
        it = ratio.emplace(key, 100.0 / std::max(1, fm.ascent() + fm.descent())).first;
    }
    return std::max(1, static_cast<int>(std::lround(cell * it->second)));
}
}  // namespace

void RegisterFontFiles() {
    for (const char* file : FontFiles)
        if (QFileInfo::exists(QLatin1String(file))) QFontDatabase::addApplicationFont(QLatin1String(file));
}

QString SubstituteFontFamily(const String& name) { return QString::fromLatin1(FindSubstitute(name).family); }

QFont ToQFont(const TFont& font) {
    EnsureQtApplication();
    const FontSubstitute& s = FindSubstitute(font.Name());
    QFont f(QString::fromLatin1(s.family));
    f.setStretch(s.stretch);
    f.setBold(font.Style().Contains(fsBold));
    f.setItalic(font.Style().Contains(fsItalic));
    f.setUnderline(font.Style().Contains(fsUnderline));
    f.setStrikeOut(font.Style().Contains(fsStrikeOut));
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    // Heights beyond any font engine's are drawn at the largest; the
    // smallest int has no positive counterpart.
    constexpr int MaxPixelSize = 0x7FFF;
    const int h = std::clamp(font.Height(), -MaxPixelSize, MaxPixelSize);
    if (h < 0)
        f.setPixelSize(-h);
    else if (h > 0)
        f.setPixelSize(PixelSizeForCellHeight(f, h));
    else
        f.setPixelSize(11);  // height 0: the default size
    return f;
}

// ---------------------------------------------------------------------------
// Regions

struct TRegion::Impl {
    QRegion r;
};

QRegion& RegionAccess::Of(TRegion& r) { return r.d_->r; }
const QRegion& RegionAccess::Of(const TRegion& r) { return r.d_->r; }

TRegion::TRegion() : d_(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRect& r) : TRegion() {
    if (!IsRectEmpty(r))
        d_->r = QRegion(r.Left, r.Top, r.Width(), r.Height());
}
TRegion::TRegion(const TRegion& o) : d_(std::make_unique<Impl>(*o.d_)) {}
TRegion& TRegion::operator=(const TRegion& o) {
    *d_ = *o.d_;
    return *this;
}
TRegion::~TRegion() = default;

TRegion TRegion::FromPolygon(const std::vector<TPoint>& points, TPolyFillMode mode) {
    TRegion g;
    QPolygon p;
    for (auto& pt : points)
        p << QPoint(pt.X, pt.Y);
    g.d_->r = QRegion(p, mode == pfWinding ? Qt::WindingFill : Qt::OddEvenFill);
    return g;
}

TRegion TRegion::FromEllipse(const TRect& r) {
    TRegion g;
    if (!IsRectEmpty(r))
        g.d_->r = QRegion(r.Left, r.Top, r.Width(), r.Height(), QRegion::Ellipse);
    return g;
}

TRegion TRegion::FromRoundRect(const TRect& r, int w, int h) {
    TRegion g;
    if (IsRectEmpty(r))
        return g;
    QPainterPath path;
    path.addRoundedRect(QRectF(r.Left, r.Top, r.Width(), r.Height()), w / 2.0, h / 2.0);
    g.d_->r = QRegion(path.toFillPolygon().toPolygon());
    return g;
}

void TRegion::Combine(const TRegion& a, const TRegion& b, TRegionCombine op) {
    switch (op) {
    case RGN_AND: d_->r = a.d_->r.intersected(b.d_->r); break;
    case RGN_OR: d_->r = a.d_->r.united(b.d_->r); break;
    case RGN_XOR: d_->r = a.d_->r.xored(b.d_->r); break;
    case RGN_DIFF: d_->r = a.d_->r.subtracted(b.d_->r); break;
    case RGN_COPY: d_->r = a.d_->r; break;
    }
}

void TRegion::Offset(int dx, int dy) { d_->r.translate(dx, dy); }
bool TRegion::Contains(int x, int y) const { return d_->r.contains(QPoint(x, y)); }
bool TRegion::Empty() const { return d_->r.isEmpty(); }
TRect TRegion::BoundsRect() const {
    QRect b = d_->r.boundingRect();
    return b.isEmpty() ? TRect{} : TRect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}
std::vector<TRect> TRegion::Rects() const {
    std::vector<TRect> out;
    for (const QRect& q : d_->r)
        out.push_back({q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
    return out;
}

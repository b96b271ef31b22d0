#pragma once
// Framework internals of the drawing layer, shared by its .cpp files and the
// windows layer: the Qt side of colours, fonts, bitmaps and canvases.

#include "framework/Graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

// The pixels of a raster graphic. Bitmaps keep Format_RGB32; pictures with
// an alpha channel Format_ARGB32_Premultiplied. A bitmap with a pixel format
// below 32 bits also keeps its rows in that format (the "shadow") while a
// caller works on them through ScanLine; whichever side was written last is
// the current one.
struct TImageData {
    int width = 0, height = 0;  // a bitmap may be 10 x 0: no pixels, but a width
    QImage image;
    std::vector<QRgb> palette;       // of pf1bit/pf4bit/pf8bit bitmaps
    std::vector<unsigned char> shadow;
    int shadowStride = 0;
    bool shadowCurrent = false;
};

inline QString QStr(const String& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
inline String FromQStr(const QString& s) { return String(reinterpret_cast<const Char*>(s.utf16()), static_cast<size_t>(s.size())); }

inline QRgb ToQRgb(TColor c) {
    c = ColorToRGB(c);
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline TColor FromQRgb(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }
inline QColor ToQColor(TColor c) { return QColor(ToQRgb(c)); }

// Registers the faces that lie outside the system's font folders; once, when
// the application starts.
void RegisterFontFiles();
// The installed face that stands for a face name the system uses.
QString SubstituteFontFamily(const String& name);
// The Qt font of a TFont at 96 pixels per inch, not antialiased.
QFont ToQFont(const TFont& font);

// The bitmap's pixels (Format_RGB32), current for reading and writing.
QImage& BitmapImage(TBitmap& bitmap);
const QImage& BitmapImage(const TBitmap& bitmap);

// Attaches a canvas to a surface: surface() is asked for the image before
// every operation (nullptr: nothing is drawn). An empty function detaches.
void AttachCanvas(TCanvas& canvas, std::function<QImage*()> surface);
// Called after every drawing operation on the canvas (a bitmap's change notification).
void SetCanvasChangedHook(TCanvas& canvas, std::function<void()> hook);
// The image the canvas draws on now, or nullptr.
QImage* CanvasImage(const TCanvas& canvas);

// A canvas over any paint device (a printer page, a widget): the canvas
// draws with its own pixel rules on an image of the device's size, and
// Flush paints that image onto the device through a painter.
class QPaintDevice;
class TDeviceCanvas {
public:
    explicit TDeviceCanvas(QPaintDevice& device);
    TCanvas& Canvas() { return canvas_; }
    QImage& Image() { return image_; }
    // Paints the image at the device's origin; the image stays as drawn.
    void Flush(QPainter& painter) const;
    // A blank (white) surface again; the canvas keeps its pen, brush and font.
    void Clear() { image_.fill(Qt::white); }

private:
    QImage image_;
    TCanvas canvas_;
};

struct RegionAccess {
    static QRegion& Of(TRegion& r);
    static const QRegion& Of(const TRegion& r);
};

// ---------------------------------------------------------------------------
// The canvas's working state. Surfaces are 32-bit images (RGB32 or ARGB32,
// premultiplied or not); coordinates inside are device coordinates.

class QFontMetrics;
class QPainter;

struct TCanvasImpl {
    explicit TCanvasImpl(TCanvas& canvas);
    ~TCanvasImpl();

    TCanvas& c;
    std::function<QImage*()> surface;
    std::function<void()> changed;  // the owner's notification (a bitmap's OnChange)
    const TBitmap* owner = nullptr;  // the bitmap whose canvas this is
    bool Monochrome() const;
    QImage* img = nullptr;          // valid between Begin and End

    bool hasClip = false;
    QRegion clip;

    int bkMode = OPAQUE;
    TColor bkColor = clWhite;
    unsigned bkBrushRev = ~0u;

    struct State {
        bool hasClip;
        QRegion clip;
        TPoint origin, penPos, brushOrigin;
        int bkMode;
        TColor bkColor;
        TPolyFillMode fillMode;
        TCopyMode copyMode;
        TPen pen;
        TBrush brush;
        TFont font;
        int mapMode = MM_TEXT;
        Cardinal layout = 0;
        int layoutWidth = 0;
    };
    std::vector<State> saved;

    unsigned fontRev = ~0u;
    QFont qfont;
    std::unique_ptr<QFontMetrics> fm;
    // Widths of recently measured texts in the current font: a grid measures
    // the same cell texts on every paint.
    std::unordered_map<QString, int> widths;
    int TextWidth(const QString& s);

    // One drawing operation: Begin finds the surface (false: nothing to draw on).
    bool Begin();
    void End();
    void SyncBk();
    const QFontMetrics& Metrics();

    int ox() const;
    int oy() const;
    QRect DevRect(const TRect& r) const;
    QRect SurfaceRect() const { return img ? img->rect() : QRect(); }
    // The drawable part of a device rectangle: surface, clip.
    QRegion Visible(const QRect& r) const;
    bool VisiblePt(int x, int y) const;

    // Brush pixels: solid colour or hatch in the brush colour; hatch gaps in
    // the background colour when the background is opaque.
    bool BrushPixel(int x, int y, QRgb& out) const;
    bool BrushPaints() const;
    // color: a solid colour instead of the brush (pen bands).
    void FillDevice(const QRect& r, TPenMode mode = pmCopy, const QRgb* color = nullptr);

    void Plot(int x, int y, QRgb color, TPenMode mode);
    // A one-pixel line from a to b without b, continuing the dash pattern at *phase.
    void PenLine(QPoint a, QPoint b, std::int64_t* phase);
    void PenPolyline(const std::vector<QPoint>& pts, bool closed);
    bool PenPaints() const;
    bool WidePen() const;

    // A painter over the surface with the clip, origin and no antialiasing.
    void SetupPainter(QPainter& p, bool logical = true) const;
    void ApplyPen(QPainter& p) const;
    void ApplyBrush(QPainter& p) const;

    // Text: draws one line at the logical top-left (x,y), rotated by the font's escapement.
    void DrawTextLine(int x, int y, const QString& s, const QRect* devClip, bool opaque,
                      const std::vector<int>& underlined, bool expandTabs, bool rtl);
    int LineWidth(const QString& s, bool expandTabs);
    int tabChars = 8;  // tab stops every so many average character widths

    // Copies a source image part into a device rectangle (stretched, nearest
    // pixel) with a raster operation; keyed pixels are left out; replace
    // pixels of that colour with the brush (BrushCopy).
    void Blit(const QRect& dest, const QImage& src, QRect srcRect, TCopyMode rop,
              const QRgb* transparentKey = nullptr, const QRgb* brushKey = nullptr,
              bool mirrorX = false, bool mirrorY = false);
    void BlendImage(const QRect& dest, const QImage& src);
};

struct CanvasAccess {
    static TCanvasImpl& Of(TCanvas& c) { return *c.d_; }
    static const TCanvasImpl& Of(const TCanvas& c) { return *c.d_; }
};


#pragma once
// The drawing half of the framework: colours, fonts, pens, brushes, the
// canvas with the classic device-context rules, and the raster graphics.
//
// Pixel rules every user relies on (they are the classic ones):
// - no antialiasing anywhere, text included;
// - rectangles are right/bottom exclusive: FillRect(l,t,r,b) fills [l,r) x [t,b);
// - MoveTo/LineTo and Polyline never draw the last point;
// - the brush colour clNone draws nothing.

#include "framework/Sets.h"
#include "framework/System.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <vector>

// ---------------------------------------------------------------------------
// Geometry

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }
inline bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline bool PtInRect(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }
inline void OffsetRect(TRect& r, int dx, int dy) { r.Left += dx; r.Right += dx; r.Top += dy; r.Bottom += dy; }
inline void InflateRect(TRect& r, int dx, int dy) { r.Left -= dx; r.Right += dx; r.Top -= dy; r.Bottom += dy; }
// Dest := the common part of a and b; false (and an empty Dest) when there is none.
bool IntersectRect(TRect& Dest, const TRect& a, const TRect& b);
// Dest := the smallest rectangle holding both; an empty one does not count.
bool UnionRect(TRect& Dest, const TRect& a, const TRect& b);

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR plain, 0xFF0000nn system colour nn.

using TColor = std::int32_t;

constexpr TColor SystemColor(int n) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(n)); }

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// System colours resolve through one fixed table of the classic desktop
// values; plain colours, clNone and clDefault pass unchanged.
TColor ColorToRGB(TColor Color);
inline int GetRValue(TColor c) { return c & 0xFF; }
inline int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
inline int GetBValue(TColor c) { return (c >> 16) & 0xFF; }
inline TColor RGB(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }

// ---------------------------------------------------------------------------
// Fonts, pens and brushes. Every change raises OnChange and advances
// Revision (a canvas uses it to know when to rebuild what it caches).

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

using TFontStyles = TSet<TFontStyle>;

using TFontCharset = Byte;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset OEM_CHARSET = 255;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Resolution of every canvas, screen and bitmap alike: the windows are not scaled.
constexpr int ScreenPixelsPerInch = 96;

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;
    unsigned Revision() const { return revision_; }

protected:
    void Changed();

private:
    unsigned revision_ = 0;
};

class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(const TPersistent* Source) override;

    const String& Name() const { return name_; }
    void SetName(const String& v);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return height_; }
    void SetHeight(int v);
    // Points; Size = -Height * 72 / PixelsPerInch rounded.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles v);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset v);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch v);
    // Tenths of a degree, counter-clockwise: 900 reads upward, 2700 and -900 downward.
    int Escapement() const { return escapement_; }
    void SetEscapement(int v);
    int Orientation() const { return orientation_; }
    void SetOrientation(int v);
    // 96 for the screen and bitmaps; a printer's canvas font has the printer's.
    // Assigning a font of another resolution keeps its point size.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi);

protected:
    String ClassName() const override { return S("TFont"); }

private:
    String name_;
    int height_;
    TColor color_ = clWindowText;
    TFontStyles style_;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    int escapement_ = 0;
    int orientation_ = 0;
    int pixelsPerInch_ = ScreenPixelsPerInch;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The sixteen binary raster operations, in their classic order (R2_BLACK .. R2_WHITE).
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
    void Assign(const TPersistent* Source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode v);

protected:
    String ClassName() const override { return S("TPen"); }

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    void Assign(const TPersistent* Source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle v);
    // A pattern brush: the bitmap tiles the fill from the canvas's brush
    // origin (style and colour are then not used). A monochrome (pf1bit)
    // pattern paints its black pixels in the font colour and its white ones
    // in the background colour. Not owned: it must outlive its use.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* b);

protected:
    String ClassName() const override { return S("TBrush"); }

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
};

// ---------------------------------------------------------------------------
// Regions: sets of pixels kept as bands of rectangles, for clipping.

enum TPolyFillMode { pfAlternate = 1, pfWinding = 2 };
enum TRegionCombine { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

class TRegion {
public:
    TRegion();
    explicit TRegion(const TRect& r);
    TRegion(const TRegion&);
    TRegion& operator=(const TRegion&);
    ~TRegion();
    static TRegion FromRect(const TRect& r) { return TRegion(r); }
    static TRegion FromPolygon(const std::vector<TPoint>& points, TPolyFillMode mode = pfAlternate);
    // Rounded rectangle and ellipse regions by bounding box, as the classic calls make them.
    static TRegion FromEllipse(const TRect& r);
    static TRegion FromRoundRect(const TRect& r, int w, int h);

    // this := a <op> b.
    void Combine(const TRegion& a, const TRegion& b, TRegionCombine op);
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool Empty() const;
    TRect BoundsRect() const;
    // The bands, top to bottom and left to right.
    std::vector<TRect> Rects() const;

private:
    friend struct RegionAccess;
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// ---------------------------------------------------------------------------
// Canvas constants

enum TFillStyle { fsSurface, fsBorder };
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
// Text output options (TCanvas::TextFlags): ETO_OPAQUE fills the text's rectangle with the background
// colour, ETO_CLIPPED keeps the text inside it.
constexpr int ETO_OPAQUE = 0x0002;
constexpr int ETO_CLIPPED = 0x0004;

// Copy modes: the classic ternary raster operations.
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// DrawText flags.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_TABSTOP = 0x80;  // with it, bits 8-15 hold the tab size in characters
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_EXTERNALLEADING = 0x200;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_INTERNAL = 0x1000;
constexpr unsigned DT_EDITCONTROL = 0x2000;
constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_MODIFYSTRING = 0x10000;
constexpr unsigned DT_RTLREADING = 0x20000;
// Canvas layouts (TCanvas::SetLayout).
constexpr Cardinal LAYOUT_RTL = 0x00000001;
constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;
constexpr unsigned DT_HIDEPREFIX = 0x100000;
constexpr unsigned DT_PREFIXONLY = 0x200000;

// DrawEdge: border kinds, edges and flags.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned BDR_OUTER = 0x3;
constexpr unsigned BDR_INNER = 0xC;
constexpr unsigned BDR_RAISED = 0x5;
constexpr unsigned BDR_SUNKEN = 0xA;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// DrawFrameControl: kinds and states.
constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr unsigned DFCS_BUTTONRADIOMASK = 0x0002;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr unsigned DFCS_CAPTIONCLOSE = 0x0000;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_TRANSPARENT = 0x0800;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

class TGraphic;
class TStream;

// Font measures of a canvas, in pixels.
struct TTextMetric {
    int tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth, tmMaxCharWidth;
};
struct TCanvasImpl;
struct TDeviceScope;

// Mapping modes: MM_TEXT, device pixels with y down; MM_LOMETRIC, tenths of
// a millimetre with y up (device = MulDiv(logical, dpi, 254), negated for y,
// then moved by the viewport origin).
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;

// GetDeviceCaps indexes.
constexpr int HORZSIZE = 4;    // width in millimetres
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;     // width in pixels
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

// ---------------------------------------------------------------------------
// TCanvas: a drawing surface with the classic device-context rules. A canvas
// draws on the pixels of a bitmap (TBitmap::Canvas), of a printer page, or of
// whatever the framework attaches it to; without a surface every drawing
// call does nothing and measuring still works.

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }
    const TPen& Pen() const { return pen_; }
    const TBrush& Brush() const { return brush_; }
    const TFont& Font() const { return font_; }
    void SetPen(const TPen& p) { pen_.Assign(&p); }
    void SetBrush(const TBrush& b) { brush_.Assign(&b); }
    void SetFont(const TFont& f) { font_.Assign(&f); }

    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode m) { copyMode_ = m; }
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    // Background of text and of the gaps of styled pens: OPAQUE or TRANSPARENT.
    // A brush change sets it again as the classic canvas does: opaque for a
    // solid brush, transparent otherwise.
    int BkMode() const;
    void SetBkMode(int mode);
    TColor BkColor() const;
    void SetBkColor(TColor c);
    // The ETO_* options of TextRect (which adds ETO_CLIPPED itself); code that draws text on the canvas
    // reads them to learn how a handler wants it drawn.
    int TextFlags() const { return textFlags_; }
    void SetTextFlags(int flags) { textFlags_ = flags; }
    // Where brush patterns and hatches start, in device pixels.
    TPoint BrushOrigin() const { return brushOrigin_; }
    void SetBrushOrigin(TPoint p) { brushOrigin_ = p; }
    TPolyFillMode PolyFillMode() const { return polyFillMode_; }
    void SetPolyFillMode(TPolyFillMode m) { polyFillMode_ = m; }
    // Whether a surface is attached.
    bool HandleAllocated() const;

    // Lines and shapes. One-pixel lines leave out their last point; a wider
    // pen paints the pixels whose centres lie within half its width of the
    // path (round ends and joins, both ends drawn, the same in either
    // direction): a line at y covers the rows y - w/2 to y + (w-1)/2.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void PolyBezier(const std::vector<TPoint>& points);
    // Outline in the pen inside [l,r) x [t,b), inside in the brush; without a
    // pen (psClear) the fill is one pixel smaller to the right and bottom.
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Brush only, [l,r) x [t,b); FrameRect: a one-pixel frame in the brush.
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void RoundRect(int l, int t, int r, int b, int w, int h);
    void Ellipse(int l, int t, int r, int b);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Arc, Pie and Chord: the ellipse of the box l,t,r,b from the ray to
    // (x3,y3) counter-clockwise to the ray to (x4,y4).
    void Arc(int l, int t, int r, int b, int x3, int y3, int x4, int y4);
    void Pie(int l, int t, int r, int b, int x3, int y3, int x4, int y4);
    void Chord(int l, int t, int r, int b, int x3, int y3, int x4, int y4);
    void FloodFill(int x, int y, TColor color, TFillStyle style);
    // CLR_INVALID (-1) outside the surface or the clip.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor c);

    // Focus rectangle: dotted, inverting; drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& r);
    // Classic 3-D edges; with BF_ADJUST r shrinks by what was drawn.
    bool DrawEdge(TRect& r, unsigned edge, unsigned flags);
    // Classic frame controls (push button, check box, radio button, scroll
    // and combo arrows); with DFCS_ADJUSTRECT r shrinks to the content.
    bool DrawFrameControl(TRect& r, unsigned kind, unsigned state);

    // Text. The reference point is the top-left of the text cell.
    void TextOut(int x, int y, const String& text);
    void TextRect(const TRect& r, int x, int y, const String& text);
    int TextWidth(const String& text);
    int TextHeight(const String& text);
    TSize TextExtent(const String& text);
    bool GetTextMetrics(TTextMetric& tm);
    // Formatted text with the DT_* flags; returns the height of the text.
    // Empty text draws nothing and returns one line's height; measuring it
    // gives a width of 0 and, for a single line, one line's height.
    int DrawText(const String& text, TRect& r, unsigned flags);

    // Copies.
    void Draw(int x, int y, const TGraphic& graphic);
    void StretchDraw(const TRect& r, const TGraphic& graphic);
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);
    void BrushCopy(const TRect& dest, const TBitmap& bitmap, const TRect& source, TColor color);

    // Clipping. Rectangles are logical; regions are in device coordinates
    // (not moved by the origin), as the classic calls take them.
    void IntersectClipRect(int l, int t, int r, int b);
    void ExcludeClipRect(int l, int t, int r, int b);
    // Replaces the clip with the region; nullptr removes it.
    void SelectClipRgn(const TRegion* region);
    // The clip combined with the region by op (RGN_AND, RGN_OR, RGN_DIFF, ...).
    void ExtSelectClipRgn(const TRegion& region, TRegionCombine op);
    // False when no clip is set (the whole surface is drawable).
    bool GetClipRgn(TRegion& region) const;
    TRect ClipRect() const;

    // Origin offset: logical point (0,0) lies at device point Org.
    TPoint ViewportOrg() const { return origin_; }
    void SetViewportOrg(int x, int y) { origin_ = {x, y}; }
    void OffsetViewportOrg(int dx, int dy) { origin_.X += dx; origin_.Y += dy; }

    // In MM_LOMETRIC every coordinate, rectangle, clip rectangle, pen width
    // and font height given to the canvas is logical and every one it gives
    // back (pen position, text sizes, ClipRect, adjusted rectangles) too;
    // regions, the viewport origin and the brush origin stay in pixels.
    // Rectangles are put in order after mapping, so (0, 0, 254, -254)
    // covers the first inch square. Returns the previous mode; an unknown
    // mode changes nothing and gives 0.
    int SetMapMode(int mode);
    int MapMode() const { return mapMode_; }
    // LAYOUT_RTL mirrors the canvas about the width its surface has when the
    // layout is set (W): a point at x lies at device x' = W - x, so a
    // rectangle [l, r) covers the device pixels [W - r, W - l) while a
    // one-pixel line at x runs along device column W - x, one pixel right of
    // the rectangle's mirror. Texts and pictures keep their orientation and
    // stand at the mirrored place: a text at x ends at W - x, and a left
    // justified DrawText stands at the rectangle's device right. Regions,
    // the brush origin and the viewport origin stay in device pixels.
    // Returns the previous layout.
    Cardinal SetLayout(Cardinal layout);
    Cardinal Layout() const { return layout_; }
    // The width mirrored about while LAYOUT_RTL is set.
    int LayoutWidth() const { return layoutWidth_; }
    // The resolution the mapping works with: the screen's 96 unless the
    // surface says otherwise (a printer page).
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int dpi) { pixelsPerInch_ = dpi > 0 ? dpi : ScreenPixelsPerInch; }
    void LPtoDP(TPoint* points, int count) const;
    void DPtoLP(TPoint* points, int count) const;
    // The classic device facts (LOGPIXELSX, HORZRES, HORZSIZE, ...); 0 for others.
    int GetDeviceCaps(int index) const;

    // Whole state: clip, origin, brush origin, pen position, background, fill
    // mode, copy mode, mapping mode, pen, brush, font.
    int SaveDC();
    // n > 0: the state of that SaveDC; n < 0: counts back from the last.
    bool RestoreDC(int n);

    // For drawing from another thread.
    void Lock();
    bool TryLock();
    void Unlock();
    int LockCount() const { return lockCount_; }

    // Raised before and after each drawing operation.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    String ClassName() const override { return S("TCanvas"); }

private:
    friend struct TCanvasImpl;
    friend struct CanvasAccess;
    friend struct TDeviceScope;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TCopyMode copyMode_ = cmSrcCopy;
    TPoint penPos_;
    TPoint origin_;
    TPoint brushOrigin_;
    TPolyFillMode polyFillMode_ = pfAlternate;
    int mapMode_ = MM_TEXT;
    Cardinal layout_ = 0;
    int layoutWidth_ = 0;
    int pixelsPerInch_ = ScreenPixelsPerInch;
    int lockCount_ = 0;
    int textFlags_ = 0;
    std::recursive_mutex lock_;
    std::unique_ptr<TCanvasImpl> d_;
};

int DrawText(TCanvas& canvas, const String& text, TRect& r, unsigned flags);
bool DrawEdge(TCanvas& canvas, TRect& r, unsigned edge, unsigned flags);
bool DrawFrameControl(TCanvas& canvas, TRect& r, unsigned kind, unsigned state);
bool DrawFocusRect(TCanvas& canvas, const TRect& r);

// ---------------------------------------------------------------------------
// Graphics

struct TImageData;  // the pixels of a raster graphic (framework internal)

class TGraphic : public TGraphicsObject {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int w);
    virtual void SetHeight(int h);
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }

    // A picture that cannot be read raises EInvalidGraphic.
    virtual void LoadFromBytes(const ByteString& data) = 0;
    virtual ByteString SaveToBytes() const;
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    // From the stream's position to its end; to the stream's position.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    // Framework internal: the pixels to draw, or nullptr when empty.
    virtual const TImageData* ImageData() const = 0;

protected:
    friend class TCanvas;
    // Draws the graphic stretched into r.
    virtual void Draw(TCanvas& canvas, const TRect& r) const;
    void Changed();

private:
    bool transparent_ = false;
    bool modified_ = false;
};

// A bitmap too large to allocate.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    void Assign(const TPersistent* Source) override;

    // The bitmap's own canvas: drawing on it changes the bitmap.
    TCanvas& Canvas();
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    // Keeps the old pixels at the top-left; new area is white.
    void SetSize(int w, int h);

    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat f);
    bool Monochrome() const { return pixelFormat_ == pf1bit; }
    void SetMonochrome(bool v);
    // Row y in the bitmap's pixel format, bottom-up as stored in a BMP file
    // would not be: row 0 is the top row. pf32bit and pfDevice rows are
    // B,G,R,x bytes; pf24bit rows B,G,R; pf8bit/pf4bit/pf1bit palette indices.
    void* ScanLine(int y);

    // Transparent drawing leaves the pixels of TransparentColor unchanged.
    // tmAuto: the colour of the bottom-left pixel; setting a colour makes it tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode m);
    // Turns the bitmap into its monochrome mask: white where it had the colour, black elsewhere.
    void Mask(TColor transparentColor);

    // BMP: 1, 4, 8, 24 and 32 bits (and 16 bits and RLE through the platform reader).
    void LoadFromBytes(const ByteString& data) override;
    ByteString SaveToBytes() const override;
    // PNG of the pixels, for tests and tools.
    void SaveToPngFile(const String& fileName) const;

    const TImageData* ImageData() const override;
    TImageData& Data();

protected:
    String ClassName() const override { return S("TBitmap"); }
    void AssignTo(TPersistent* Dest) const override;

private:
    std::unique_ptr<TImageData> d_;
    std::unique_ptr<TCanvas> canvas_;
    TPixelFormat pixelFormat_ = pfDevice;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
};

// Icons and the other pictures keep their alpha channel and are drawn blended.
class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;
    void Assign(const TPersistent* Source) override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetSize(int w, int h);
    bool Transparent() const override { return true; }
    void LoadFromBytes(const ByteString& data) override;
    ByteString SaveToBytes() const override;
    const TImageData* ImageData() const override;
    TImageData& Data();

protected:
    String ClassName() const override { return S("TIcon"); }

private:
    std::unique_ptr<TImageData> d_;
};

// A decoded raster picture of a file format (PNG, JPEG, GIF): read-only pixels with alpha.
class TRasterPicture : public TGraphic {
public:
    TRasterPicture();
    ~TRasterPicture() override;
    void Assign(const TPersistent* Source) override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void LoadFromBytes(const ByteString& data) override;
    ByteString SaveToBytes() const override;
    const TImageData* ImageData() const override;

protected:
    virtual void Decode(const ByteString& data, TImageData& into) = 0;

private:
    std::unique_ptr<TImageData> d_;
    ByteString original_;
};

// PNG through our own decoder over zlib's inflate: colour types 0, 2, 3, 4
// and 6, bit depths 1 to 16, the five filters, Adam7 interlace, tRNS.
class TPngImage : public TRasterPicture {
protected:
    String ClassName() const override { return S("TPngImage"); }
    void Decode(const ByteString& data, TImageData& into) override;
};

// JPEG through libjpeg. Data that ends (or runs into a marker) before the
// last row makes the picture unreadable (EInvalidGraphic) rather than show a
// grey rest; a file that lacks only its end marker reads whole.
//
// Assigning a bitmap or any other graphic encodes its pixels (drawn on
// white) at CompressionQuality (1 to 100, 90 at first); the picture then
// holds what the JPEG data decodes to, and SaveToBytes gives that data.
class TJPEGImage : public TRasterPicture {
public:
    void Assign(const TPersistent* Source) override;
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int quality) { quality_ = quality < 1 ? 1 : quality > 100 ? 100 : quality; }

protected:
    String ClassName() const override { return S("TJPEGImage"); }
    void Decode(const ByteString& data, TImageData& into) override;

private:
    int quality_ = 90;
};

// GIF (first frame) through the platform's picture decoder.
class TGIFImage : public TRasterPicture {
protected:
    String ClassName() const override { return S("TGIFImage"); }
    void Decode(const ByteString& data, TImageData& into) override;
};

// Holds one graphic of whichever kind its file has.
class TPicture : public TGraphicsObject {
public:
    TPicture();
    ~TPicture() override;
    void Assign(const TPersistent* Source) override;

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(const TGraphic* g);  // copies g
    // The graphic as a bitmap; when it is not one, it is replaced by an empty bitmap.
    TBitmap& Bitmap();
    TIcon& Icon();
    int Width() const;
    int Height() const;

    // By extension: .bmp, .ico, .png, .jpg/.jpeg/.jpe/.jfif, .gif.
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    // By content (the platform picture decoder): BMP, ICO, GIF, JPEG, PNG.
    void LoadFromBytes(const ByteString& data);
    void LoadFromStream(TStream& stream);

protected:
    String ClassName() const override { return S("TPicture"); }

private:
    std::unique_ptr<TGraphic> graphic_;
};

// Decodes a picture by its content; raises EInvalidGraphic for anything else.
std::unique_ptr<TGraphic> LoadPictureFromBytes(const ByteString& data);

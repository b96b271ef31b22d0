// Printing: the grid's print settings, the pieces of the page layout
// (rotated text placement, page-number texts, header and footer texts per
// position) and the page engine behind printing, preview and drawing.
#include "grid/ExGrid.h"
#include "grid/ExRichEdit.h"

#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"

#include "framework/DateUtils.h"
#include "framework/Printers.h"
#include "framework/RichEdit.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <functional>
#include <cmath>
#include <cstdlib>
#include <limits>

TPrintSettings::TPrintSettings(TExStringGrid* AOwner)
    : FGrid(AOwner), FTitleLines(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()),
      FFixedFont(std::make_unique<TFont>()), FHeaderFont(std::make_unique<TFont>()),
      FFooterFont(std::make_unique<TFont>()) {}

TPrintSettings::~TPrintSettings() = default;

void TPrintSettings::SetTitleLines(const TStringList& Value) { FTitleLines->Assign(&Value); }

void TPrintSettings::SetFont(const TFont& Value) { FFont->Assign(&Value); }

void TPrintSettings::SetFixedFont(const TFont& Value) { FFixedFont->Assign(&Value); }

void TPrintSettings::SetHeaderFont(const TFont& Value) { FHeaderFont->Assign(&Value); }

void TPrintSettings::SetFooterFont(const TFont& Value) { FFooterFont->Assign(&Value); }

void TPrintSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TPrintSettings*>(Source);
    if (!s) throw EConvertError(u"Invalid class typecast");
    FooterSize = s->FooterSize;
    HeaderSize = s->HeaderSize;
    Time = s->Time;
    Date = s->Date;
    DateFormat = s->DateFormat;
    PageNr = s->PageNr;
    Title = s->Title;
    TitleText = s->TitleText;
    FTitleLines->Assign(s->FTitleLines.get());
    FFont->Assign(s->FFont.get());
    FFixedFont->Assign(s->FFixedFont.get());
    FHeaderFont->Assign(s->FHeaderFont.get());
    FFooterFont->Assign(s->FFooterFont.get());
    Borders = s->Borders;
    BorderStyle = s->BorderStyle;
    Centered = s->Centered;
    RepeatFixedRows = s->RepeatFixedRows;
    RepeatFixedCols = s->RepeatFixedCols;
    LeftSize = s->LeftSize;
    RightSize = s->RightSize;
    ColumnSpacing = s->ColumnSpacing;
    RowSpacing = s->RowSpacing;
    TitleSpacing = s->TitleSpacing;
    Orientation = s->Orientation;
    PagePrefix = s->PagePrefix;
    PageSuffix = s->PageSuffix;
    PageNumberOffset = s->PageNumberOffset;
    MaxPagesOffset = s->MaxPagesOffset;
    FixedWidth = s->FixedWidth;
    FixedHeight = s->FixedHeight;
    UseFixedHeight = s->UseFixedHeight;
    UseFixedWidth = s->UseFixedWidth;
    FitToPage = s->FitToPage;
    JobName = s->JobName;
    PageNumSep = s->PageNumSep;
    NoAutoSize = s->NoAutoSize;
    NoAutoSizeRow = s->NoAutoSizeRow;
    PrintGraphics = s->PrintGraphics;
    UseDisplayFont = s->UseDisplayFont;
    UseDefaultOrientation = s->UseDefaultOrientation;
    BorderColor = s->BorderColor;
}

// ---------------------------------------------------------------------------
// Pieces of the page layout

namespace {

int Half(int V) { return V / 2; }  // truncates toward zero

}  // namespace

void PlaceRotatedBlock(TRect& R, TAlignment HAlign, TVAlignment VAlign, double Angle, int W, int H) {
    const double rad = Angle * 3.14159265358979323846 / 180;
    const int wc = std::abs(int(std::cos(rad) * W)), ws = std::abs(int(std::sin(rad) * W));
    const int hc = std::abs(int(std::cos(rad) * H)), hs = std::abs(int(std::sin(rad) * H));
    const int x1 = R.Left, y1 = R.Top, x2 = R.Right, y2 = R.Bottom;
    const int q = Angle <= 90 ? 0 : Angle <= 180 ? 1 : Angle <= 270 ? 2 : 3;
    // Per quadrant: left, right and centred x; top, bottom and centred y.
    const int xs[4][3] = {{x1, x2 - wc - hs, x1 + Half(x2 - x1 - hs - wc)},
                          {x1 + wc, x2 - hs, x2 - Half(x2 - x1 + hs - wc)},
                          {x1 + hs + wc, x2, x2 - Half(x2 - x1 - hs - wc)},
                          {x1 + hs, x2 - wc, x1 + Half(x2 - x1 + hs - wc)}};
    const int lift = Half(y1 + hc + ws - y2);
    const int ys[4][3] = {{y1 + ws, y2 - hc, y1 + ws - lift},
                          {y1 + ws + hc, y2, y1 + ws + hc - lift},
                          {y1 + hc, y2 - ws, y1 + hc - lift},
                          {y1, y2 - hc - ws, y1 - lift}};
    R.Left = xs[q][HAlign == taLeftJustify ? 0 : HAlign == taRightJustify ? 1 : 2];
    R.Top = ys[q][VAlign == vtaTop ? 0 : VAlign == vtaBottom ? 1 : 2];
}

String PrintPageNumber(const TPrintSettings& S, int PageIndex, int PageInStrip, int Strip, bool MultiStrip,
                       int Total) {
    if (MultiStrip) return IntToStr(PageInStrip + 1) + u"-" + IntToStr(Strip);
    String n = IntToStr(PageIndex + 1 + S.PageNumberOffset);
    if (!S.PageNumSep.empty() && Total > 1) n += S.PageNumSep + IntToStr(Total + S.MaxPagesOffset);
    return n;
}

std::array<String, 7> PrintPositionTexts(const TPrintSettings& S, const String& Time, const String& Date,
                                         const String& PageNumber, const String& Title) {
    std::array<String, 7> texts;
    auto add = [&](TPrintPosition P, const String& Item) {
        if (P == ppNone) return;
        String& t = texts[size_t(P)];
        t = P == ppTopLeft || P == ppBottomLeft ? Item + u" " + t : t + u" " + Item;
    };
    add(S.Time, Time);
    add(S.Date, Date);
    add(S.PageNr, S.PagePrefix + u" " + PageNumber + u" " + S.PageSuffix);
    add(S.Title, Title);
    return texts;
}

// ---------------------------------------------------------------------------
// The page engine: measures columns and rows, splits the range into pages
// down and strips across, writes header and footer texts and draws rows.
// Lengths are tenths of a millimetre with y growing upwards.

struct TExGridTools::TPrintRun {
    TCanvas* C = nullptr;
    int Mode = 0;  // 0 preview drawing, 1 drawing, 2 counting for the printer, 3 counting for a preview
    int Total = -1;
    bool Drawing() const { return Mode <= 1; }
    double L = 254.0 / 96;  // tenths of a millimetre per grid pixel
    int W = 0, H = 0;       // page size (H negative)
    int s = 0;              // column spacing
    int p = 0;              // row pad
    int g2 = 0;             // half a "g"
    int HeaderLine = 0, FooterLine = 0;
    int E = 0, G = 0;  // header and footer bands
    int Strip = 1;
    bool MultiStrip = false;
    bool RepeatCols = false;
    int LastRowAsked = -1, LastRowHeight = 0;
    int TitleHeight = 0;  // the band of a markup title
    int FontKind = -1;  // the print font on the canvas: 0 normal, 1 fixed, -1 another
    int LineHeight[2] = {-1, -1};  // "gh" in each print font
};

int TExGridTools::MapFontHeight(int PointSize) const { return -int(PointSize * 254.0 / 72 * FFontScale); }

// The canvas keeps the print font between cells of the same kind.
const TFont& TExGridTools::PrintBaseFont(bool Fixed) {
    TPrintSettings& ps = FPrintSettings;
    return ps.UseDisplayFont ? (Fixed ? FGrid.FixedFont() : FGrid.Font()) : (Fixed ? ps.FixedFont() : ps.Font());
}

// Draw runs on the canvas switched to device units, its font Font at Size
// points, and gets R in device units; mapping mode and font come back after.
void TExGridTools::PrintInDeviceUnits(TPrintRun& Run, TRect R, const TFont& Font, int Size,
                                      const std::function<void(TRect)>& Draw) {
    TCanvas& c = *Run.C;
    TPoint corners[2] = {TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom}};
    c.LPtoDP(corners, 2);
    const TPoint org = c.ViewportOrg();
    const int saved = c.SaveDC();
    const int mode = c.SetMapMode(MM_TEXT);
    TFont kept;
    kept.Assign(&c.Font());
    c.Font().Assign(&Font);
    c.Font().SetPixelsPerInch(c.PixelsPerInch());
    c.Font().SetSize(Size);
    Draw(Rect(corners[0].X - org.X, corners[0].Y - org.Y, corners[1].X - org.X, corners[1].Y - org.Y));
    c.Font().Assign(&kept);
    c.SetMapMode(mode);
    c.RestoreDC(saved);
    Run.FontKind = -1;
}

// The application's own drawing of a printed cell, in device units, the
// canvas font at the print font's size.
void TExGridTools::PrintCustomCellDraw(TPrintRun& Run, int ACol, int ARow, bool Fixed, TRect Cell) {
    PrintInDeviceUnits(Run, Cell, FPrintSettings.Font(), FPrintSettings.Font().Size(), [&](TRect R) {
        FGrid.OnCustomCellDraw(&FGrid, *Run.C, ACol, ARow, Fixed ? TGridDrawState{gdFixed} : TGridDrawState{}, R, true);
    });
}

void TExGridTools::PrintFont(TPrintRun& Run, int ACol, int ARow) {
    TPrintSettings& ps = FPrintSettings;
    int kind = ACol < FGrid.FixedCols() || ARow < FGrid.FixedRows() ? 1 : 0;
    if (Run.FontKind == kind) return;
    const TFont& f = PrintBaseFont(kind != 0);
    Run.C->Font().Assign(&f);
    Run.C->Font().SetHeight(MapFontHeight(f.Size()));
    Run.FontKind = kind;
    if (Run.LineHeight[kind] < 0) Run.LineHeight[kind] = std::abs(Run.C->TextHeight(u"gh"));
}

namespace {

std::vector<String> CellLines(const String& S) {
    std::vector<String> lines;
    size_t start = 0;
    for (;;) {
        size_t cr = S.find(u'\r', start);
        String line = S.substr(start, cr == String::npos ? String::npos : cr - start);
        if (!line.empty() && line[0] == u'\n') line.erase(0, 1);
        lines.push_back(line);
        if (cr == String::npos) break;
        start = cr + 1;
    }
    return lines;
}

}  // namespace

// The cell's printed height; its width into Width when asked.
int TExGridTools::PrintCellHeight(TPrintRun& Run, int ACol, int ARow, int* Width) {
    if (!FGrid.OnCustomCellSize) return PrintCellMeasure(Run, ACol, ARow, Width);
    TPoint size;
    size.Y = PrintCellMeasure(Run, ACol, ARow, &size.X);
    FGrid.OnCustomCellSize(&FGrid, *Run.C, FGrid.RealColIndex(ACol), ARow, size, true);
    if (Width) *Width = size.X;
    return size.Y;
}

int TExGridTools::PrintCellMeasure(TPrintRun& Run, int ACol, int ARow, int* Width) {
    PrintFont(Run, ACol, ARow);
    const int real = FGrid.RealColIndex(ACol);
    const TPoint graphic = PrintGraphicSize(Run, real, ARow);
    String text = PrintText(real, ARow);
    if (FGrid.GridTextKind(text) == MarkupTextKind) {
        const int limit = FPrintSettings.NoAutoSize ? int(std::lround((FGrid.ColWidths(ACol) + 12) * Run.L)) : 65535;
        int w = 0;
        const int h = PrintMarkup(Run, real, ARow, text, Rect(0, 0, limit, -65535), false, &w);
        if (Width) *Width = w + graphic.X;
        return std::max(h - int(std::lround(Run.p * Run.L)), graphic.Y);
    }
    if (text.empty()) text = u"gh";
    int lines = 1 + int(std::count(text.begin(), text.end(), u'\r'));
    int angle = 0;
    const bool rotated = FGrid.IsRotated(real, ARow, angle) && angle != 0;
    if (!Width && !rotated) return std::max(Run.LineHeight[Run.FontKind] * lines, graphic.Y);
    if (rotated) {
        Run.C->Font().SetEscapement(angle * 10);
        Run.FontKind = -1;  // the next cell takes its own font again
    }
    int w = 0;
    if (lines == 1) w = Run.C->TextWidth(text);
    else
        for (const String& l : CellLines(text)) w = std::max(w, Run.C->TextWidth(l));
    int h = std::abs(Run.C->TextHeight(u"gh")) * lines;
    if (rotated) {
        const double a = angle * 3.14159265358979323846 / 180;
        const int widest = w;
        w = std::abs(int(std::lround(std::cos(a) * w))) + std::abs(int(std::lround(std::sin(a) * h)));
        h = std::abs(int(std::lround(std::sin(a) * widest))) + std::abs(int(std::lround(std::cos(a) * h)));
    }
    if (Width) *Width = std::max(w + graphic.X, graphic.X);
    return std::max(h, graphic.Y);
}

int TExGridTools::PrintMarkup(TPrintRun& Run, int ACol, int ARow, const String& Text, TRect R, bool Draw, int* Width) {
    TPrintSettings& ps = FPrintSettings;
    const bool fixed = ACol < FGrid.FixedCols() || ARow < FGrid.FixedRows();
    TFont& source = ps.UseDisplayFont ? (fixed ? FGrid.FixedFont() : FGrid.Font()) : (fixed ? ps.FixedFont() : ps.Font());
    return PrintMarkupText(Run, source, Text, R, Draw, Width);
}

String TExGridTools::PrintMarkupTitle() {
    TStringList& lines = FPrintSettings.TitleLines();
    String joined;
    for (int i = 0; i < lines.Count(); ++i) joined += lines[i];
    return FGrid.GridTextKind(joined) == MarkupTextKind ? joined : String();
}

int TExGridTools::PrintMarkupText(TPrintRun& Run, TFont& source, const String& Text, TRect R, bool Draw, int* Width) {
    TCanvas& c = *Run.C;
    TMarkupDrawArgs in;
    in.Images = FGrid.FGridImages;
    in.Pictures = FGrid.FPictureContainer;
    in.PictureCache = &FGrid.FImageCache;
    in.MeasureOnly = !Draw;
    in.ImageScale = double(c.PixelsPerInch()) / ScreenPixelsPerInch;
    TMarkupDrawResult out;
    PrintInDeviceUnits(Run, R, source, std::max(1, int(source.Size() * FFontScale)),
                       [&](TRect D) {
                           THiLightColorsScope hi(FGrid.HighlightColor(), FGrid.HighlightTextColor());
                           DrawHTMLText(c, Text, D, in, out);
                       });
    const TPoint org = c.ViewportOrg();
    TPoint extent[2] = {org, TPoint{org.X + out.ExtentX, org.Y + out.ExtentY}};
    c.DPtoLP(extent, 2);
    if (Width) *Width = std::abs(extent[1].X - extent[0].X);
    return std::abs(extent[1].Y - extent[0].Y);
}

String TExGridTools::PrintText(int ACol, int ARow) {
    const TCellType kind = FGrid.GetCellType(ACol, ARow);
    if (FGrid.HasCheckBox(ACol, ARow) || kind == ctRadio || kind == ctDataImage) return {};
    String text = FGrid.GetFormattedCell(ACol, ARow);
    switch (FGrid.GridTextKind(text)) {
    case 2: {
        // The cell keeps its RTF source one byte per character.
        ByteString source;
        source.reserve(text.size());
        for (Char ch : text) source.push_back(char(ch & 0xFF));
        String plain = ReadRTF(source).PlainText();
        while (!plain.empty() && (plain.back() == u'\n' || plain.back() == u'\r')) plain.pop_back();
        return plain;
    }
    case 3: return FGrid.GetCalcCell(ACol, ARow);
    default: return text;
    }
}

// The rich edit draws the cell with its fonts and colours, scaled from the
// screen's 96 pixels per inch to the page, line breaks as on screen.
void TExGridTools::PrintRich(TPrintRun& Run, int ACol, int ARow, TRect R) {
    TCanvas& c = *Run.C;
    TPoint p[3] = {TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom}, TPoint{R.Left + 1000, R.Top}};
    c.LPtoDP(p, 3);
    const double zoom = std::abs(p[2].X - p[0].X) / 1000.0 * Run.L * FFontScale;
    if (zoom <= 0) return;
    auto twips = [&](int Device) { return int(std::lround(Device / zoom * 1440 / 96)); };
    TExRichEdit* re = FGrid.RichEdit();
    FGrid.CellToRich(ACol, ARow, re);
    re->DrawInto(c,
                 Rect(twips(std::min(p[0].X, p[1].X)), twips(std::min(p[0].Y, p[1].Y)), twips(std::max(p[0].X, p[1].X)),
                      twips(std::max(p[0].Y, p[1].Y))),
                 zoom);
}

int TExGridTools::PrintEscapement(int ACol, int ARow) {
    int angle = 0;
    if (!FGrid.IsRotated(ACol, ARow, angle) || angle == 0) return 0;
    return angle * 10;
}

// ---------------------------------------------------------------------------
// Cell graphics on the page

TPoint TExStringGrid::CalcPrintGraphicSize(int ACol, int ARow, TRect Area, double Scale) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!g) return {0, 0};
    const TImageList* list = GetCellImageList(ACol, ARow);
    const int listW = list ? list->Width() : 0, listH = list ? list->Height() : 0;
    switch (g->CellType) {
        case ctBitmap: {
            const TBitmap* b = g->Bitmap();
            return b ? TPoint{b->Width(), b->Height()} : TPoint{0, 0};
        }
        case ctIcon: {
            const TIcon* i = g->Icon();
            return i ? TPoint{i->Width(), i->Height()} : TPoint{0, 0};
        }
        case ctImageList: return {GetCellEx(ACol, ARow).empty() ? listW : 0, listH};
        case ctDataImage: return {listW, listH};
        case ctPicture:
        case ctFilePicture: {
            // Fitted to the area taken back to grid pixels: a picture that
            // keeps its own size prints as large as the screen shows it.
            if (Scale <= 0) return {0, 0};
            return g->GetPictureSize(int(std::lround(std::abs(Area.Right - Area.Left) / Scale)),
                                     int(std::lround(std::abs(Area.Bottom - Area.Top) / Scale)));
        }
        case ctProgress:
        case ctXPProgress: return {ColWidths(DisplColIndex(ACol)), RowHeights(ARow)};
        case ctButton:
        case ctBitButton: return {g->CellIndex & 65535, g->CellIndex >> 16};
        case ctNode:
        case ctProgressPie: return {20, 20};
        case ctRadioButton: return {FControlLook.RadioSize, FControlLook.RadioSize};
        case ctRadio: {
            TBitmap measure(1, 1);
            measure.Canvas().Font().Assign(&Font());
            const int th = measure.Canvas().TextHeight(u"gh");
            const TStringList* items = g->Object<TStringList>();
            const int n = items ? items->Count() : 0;
            return {CalcCellGraphicSize(ACol, ARow, 0).X, g->CellBoolean ? th : th * n};
        }
        case ctImages: return CalcCellGraphicSize(ACol, ARow, 0);
        case ctInterface: {
            IGridCellGraphic* o = g->Object<IGridCellGraphic>();
            const int w = o ? o->GetWidth() : 0, h = o ? o->GetHeight() : 0;
            return {w ? w : ColWidths(DisplColIndex(ACol)), h ? h : RowHeights(ARow)};
        }
        case ctShape: {
            const int s = RowHeights(ARow) - 2 * FXYOffset.Y;
            return {s, s};
        }
        default: return IsCheckBoxKind(g->CellType) ? TPoint{FControlLook.CheckSize, FControlLook.CheckSize} : TPoint{0, 0};
    }
}

TPoint TExGridTools::PrintGraphicSize(TPrintRun& Run, int ACol, int ARow, TRect Area) {
    if (!FPrintSettings.PrintGraphics) return {0, 0};
    if (Area.Right == Area.Left)
        Area = Rect(0, 0, int(std::lround(FGrid.ColWidths(FGrid.DisplColIndex(ACol)) * Run.L)),
                    -int(std::lround(FGrid.RowHeights(ARow) * Run.L)));
    const TPoint size = FGrid.CalcPrintGraphicSize(ACol, ARow, Area, Run.L);
    if (size.X <= 0 && size.Y <= 0) return {0, 0};
    return {int(std::lround(size.X * Run.L)), int(std::lround(size.Y * Run.L))};
}

void TExGridTools::PrintScreenGraphic(TPrintRun& Run, int ACol, int ARow, TCellGraphic& G, TRect Box, int W, int H) {
    if (W <= 0 || H <= 0) return;
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(W, H);
    TCanvas& c = b.Canvas();
    const TColor back = FGrid.CellPropsAssigned(ACol, ARow) ? FGrid.Colors(ACol, ARow) : clNone;
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(back == clNone ? clWhite : back);
    c.FillRect(Rect(0, 0, W, H));
    c.Font().Assign(&FGrid.Font());
    if (G.CellType == ctImageList) {
        TImageList* list = FGrid.GetCellImageList(ACol, ARow);
        if (list && G.CellIndex >= 0 && G.CellIndex < list->Count()) list->Draw(c, 0, 0, G.CellIndex);
    } else {
        // The painter first takes the cell's offsets off all but the bars.
        TRect r = Rect(0, 0, W, H);
        if (G.CellType != ctProgress && G.CellType != ctXPProgress)
            InflateRect(r, FGrid.FXYOffset.X - 1, FGrid.FXYOffset.Y - 1);
        FGrid.DrawCellGraphic(c, ACol, ARow, r, G);
    }
    Run.C->StretchDraw(Box, b);
}

void TExGridTools::PrintGraphic(TPrintRun& Run, int ACol, int ARow, TRect Cell, TRect& Text) {
    const TPoint size = PrintGraphicSize(Run, ACol, ARow, Cell);
    if (size.X == 0 && size.Y == 0) return;
    TCellGraphic* g = FGrid.GetCellGraphic(ACol, ARow);
    if (!g) return;
    TCanvas& c = *Run.C;
    const int cw = Cell.Right - Cell.Left, ch = Cell.Top - Cell.Bottom;
    const int l = Cell.Left + int(std::lround(Run.L));
    // Placed by the graphic's alignment; a check box or radio button alone in
    // its cell by the cell's own alignment.
    const bool box = (IsCheckBoxKind(g->CellType) || g->CellType == ctRadioButton) && FGrid.GetCellEx(ACol, ARow).empty();
    TCellHAlign ha = g->CellHAlign;
    if (box) {
        const TAlignment a = FGrid.DoGetAlignment(ACol, ARow);
        ha = a == taRightJustify ? haRight : a == taCenter ? haCenter : haLeft;
    }
    int left = l, width = size.X;
    if (ha == haRight || ha == haAfterText) {
        left = Cell.Right - size.X;
        Text.Right = left;
    } else if (ha == haCenter) {
        left = Cell.Left + (cw - size.X) / 2;
    } else if (ha == haFull) {
        left = Cell.Left;
        width = cw;
    } else {
        Text.Left = left + size.X;
    }
    TCellVAlign va = g->CellVAlign;
    if (g->CellType == ctNode) va = vaCenter;
    int top = Cell.Top, height = size.Y;
    switch (va) {
        case vaBottom: top = Cell.Bottom + size.Y; break;
        case vaCenter: top = Cell.Top - (ch - size.Y) / 2; break;
        case vaUnderText:
            top = Cell.Bottom + size.Y;
            Text.Bottom = top;
            break;
        case vaAboveText: Text.Top = Cell.Top - size.Y; break;
        case vaFull: height = ch; break;
        default: break;
    }
    TRect at = Rect(left, top, left + width, top - height);
    if (g->CellType == ctProgress || g->CellType == ctXPProgress) {
        // A bar takes the cell's height and then some: 2 L above, 4 L below.
        at.Top += int(std::lround(2 * Run.L));
        at.Bottom -= int(std::lround(4 * Run.L));
    }
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(int(std::lround(Run.L)));
    c.Pen().SetColor(clBlack);
    c.Brush().SetStyle(bsSolid);
    const int q = size.X / 4;
    switch (g->CellType) {
        case ctNode: {
            // A node box with its minus, made a plus while the node is closed.
            c.Brush().SetColor(FCellNode.Color());
            c.Rectangle(at.Left, at.Top, at.Right, at.Bottom);
            const int mx = (at.Left + at.Right) / 2, my = (at.Top + at.Bottom) / 2;
            c.MoveTo(at.Left + q, my);
            c.LineTo(at.Right - q, my);
            if (GetNodeState(ARow)) {
                c.MoveTo(mx, at.Top - q);
                c.LineTo(mx, at.Bottom + q);
            }
            return;
        }
        case ctRadioButton: {
            c.Brush().SetColor(clWhite);
            c.Ellipse(at.Left, at.Top, at.Right, at.Bottom);
            if (!g->CellBoolean) return;
            c.Brush().SetColor(clBlack);
            c.Ellipse(at.Left + q, at.Top - q, at.Right - q, at.Bottom + q);
            return;
        }
        case ctBitmap:
        case ctIcon: {
            TGraphic* pic = g->CellType == ctBitmap ? static_cast<TGraphic*>(g->Bitmap()) : g->Icon();
            if (!pic || pic->Empty()) return;
            if (g->CellType == ctBitmap) pic->SetTransparent(g->CellTransparent);
            c.StretchDraw(at, *pic);
            return;
        }
        case ctPicture:
        case ctFilePicture: {
            TPicture* p = g->Object<TPicture>();
            if (!p || !p->Graphic() || p->Graphic()->Empty()) return;
            p->Graphic()->SetTransparent(g->CellTransparent);
            c.StretchDraw(at, *p->Graphic());
            return;
        }
        case ctImageList:
        case ctDataImage:
        case ctImages:
        case ctRadio:
        case ctProgress:
        case ctXPProgress:
        case ctProgressPie:
        case ctInterface: {
            const TPoint px = FGrid.CalcPrintGraphicSize(ACol, ARow, Cell, Run.L);
            PrintScreenGraphic(Run, ACol, ARow, *g, at, px.X, px.Y);
            return;
        }
        default: break;
    }
    if (!IsCheckBoxKind(g->CellType)) return;  // buttons, shapes and the like print no graphic
    TCheckBoxState state = cbUnchecked;
    FGrid.GetCheckBoxState(ACol, FGrid.RealRowIndex(ARow), state);
    c.Brush().SetColor(clWhite);
    c.Rectangle(at.Left, at.Top, at.Right, at.Bottom);
    if (state == cbUnchecked) return;
    if (state == cbGrayed) c.Pen().SetColor(clGray);
    c.MoveTo(at.Left + q, at.Top - 2 * q);
    c.LineTo(at.Left + 2 * q, at.Bottom + q);
    c.LineTo(at.Right - q, at.Top - q);
}

void TExGridTools::PrintColumnWidths(TPrintRun& Run) {
    TPrintSettings& ps = FPrintSettings;
    FMaxWidths.assign(size_t(std::max(FGrid.ColCount(), FPrintRect.Right + 1)), 0);
    for (int c = FPrintRect.Left; c <= FPrintRect.Right; ++c) {
        if (ps.NoAutoSize) {
            FMaxWidths[size_t(c)] = int(std::lround(FGrid.ColWidths(c) * Run.L));
            continue;
        }
        auto measure = [&](int r) {
            int w = ps.FixedWidth;
            if (!ps.UseFixedWidth) PrintCellHeight(Run, c, r, &w);
            FMaxWidths[size_t(c)] = std::max(FMaxWidths[size_t(c)], w);
        };
        for (int r = FPrintRect.Top; r <= FPrintRect.Bottom; ++r) measure(r);
        if (ps.RepeatFixedRows)
            for (int r = 0; r < FGrid.FixedRows(); ++r) measure(r);
    }
}

int TExGridTools::PrintRowHeight(TPrintRun& Run, int ARow) {
    if (ARow == Run.LastRowAsked) return Run.LastRowHeight;
    TPrintSettings& ps = FPrintSettings;
    int h = 0;
    if (ps.NoAutoSizeRow) {
        h = int(std::lround(FGrid.RowHeights(ARow) * Run.L)) - 4;
    } else if (ps.UseFixedHeight) {
        h = ps.FixedHeight;
    } else {
        for (int c = FPrintRect.Left; c <= FPrintRect.Right; ++c) h = std::max(h, PrintCellHeight(Run, c, ARow, nullptr));
        h += h / 8;
        if (OnPrintSetRowHeight) OnPrintSetRowHeight(&FGrid, ARow, h);
    }
    Run.LastRowAsked = ARow;
    Run.LastRowHeight = h;
    return h;
}

int TExGridTools::PrintRowDrawn(TPrintRun& Run, int ARow) {
    return 2 * Run.p + PrintRowHeight(Run, ARow) + FPrintSettings.RowSpacing;
}

void TExGridTools::PrintDrawRow(TPrintRun& Run, int Y, int ARow, bool FixedPart) {
    TPrintSettings& ps = FPrintSettings;
    TCanvas& c = *Run.C;
    int h = PrintRowDrawn(Run, ARow);
    auto drawCell = [&](int col) {
        int left = FIndents[size_t(col)], right = left + FMaxWidths[size_t(col)] + Run.s;
        // The cell borders in the vocabulary of the screen's (TCellBorder).
        TSet<int> flags;
        switch (ps.Borders) {
            case pbSingle:
            case pbDouble: flags = {cbLeft, cbTop, cbRight, cbBottom}; break;
            case pbHorizontal:
            case pbAroundHorizontal: flags = {cbTop, cbBottom}; break;
            case pbVertical:
            case pbAroundVertical: flags = {cbLeft, cbRight}; break;
            default: break;
        }
        TPen pen;
        pen.SetWidth(1);
        pen.SetColor(ps.BorderColor);
        int real = FGrid.RealColIndex(col);
        FGrid.DoGetCellPrintBorder(real, ARow, pen, flags);
        PrintFont(Run, col, ARow);
        int pitch = Run.LineHeight[Run.FontKind];
        const bool fixed = col < FGrid.FixedCols() || ARow < FGrid.FixedRows();
        // The print colour hook sees the cell's colour and its print font at
        // its point size; what it changes is drawn.
        TBrush brush;
        brush.SetColor(FGrid.CellPropsAssigned(real, ARow) ? FGrid.Colors(real, ARow) : clNone);
        const TFont& base = PrintBaseFont(fixed);
        TFont font;
        font.Assign(&base);
        FGrid.DoGetCellPrintColor(real, ARow, fixed ? TGridDrawState{gdFixed} : TGridDrawState{}, brush, font);
        if (brush.Color() != clNone) {
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(brush.Color());
            c.FillRect(Rect(left, Y, right, Y - h));
        }
        if (font.Name() != base.Name() || font.Size() != base.Size() || font.Style() != base.Style() ||
            font.Color() != base.Color()) {
            c.Font().Assign(&font);
            c.Font().SetHeight(MapFontHeight(font.Size()));
            pitch = std::abs(c.TextHeight(u"gh"));
            Run.FontKind = -1;
        }
        const TRect cell = Rect(left, Y, right, Y - h);
        TRect area = cell;
        PrintGraphic(Run, real, ARow, cell, area);
        c.Brush().SetStyle(bsClear);
        const String text = PrintText(real, ARow);
        std::vector<String> lines = CellLines(text);
        int ty = Y - Run.p;
        TAlignment align = FGrid.DoGetAlignment(real, ARow);
        if (FGrid.GridTextKind(text) == MarkupTextKind) {
            TRect r = area;
            r.Right -= Run.g2 + int(std::lround(2 * Run.L));
            r.Bottom -= int(std::lround(Run.p * Run.L));
            PrintMarkup(Run, real, ARow, text, r, true, nullptr);
            lines.clear();
        } else if (!text.empty() && FGrid.GridTextKind(FGrid.GetFormattedCell(real, ARow)) == RichTextKind) {
            PrintRich(Run, real, ARow, Rect(area.Left + Run.g2, Y - Run.p, area.Right - Run.g2, Y - h));
            lines.clear();
        } else if (const int esc = PrintEscapement(real, ARow); esc != 0 && !lines.empty()) {
            // The turned line is placed in the cell as the screen places it,
            // worked out with y growing downwards.
            c.Font().SetEscapement(esc);
            Run.FontKind = -1;
            const String& l = lines.front();
            int vangle = 0;
            FGrid.IsRotated(real, ARow, vangle);
            TVAlignment va = vtaTop;
            FGrid.CellAlignment(real, ARow, &va);
            TRect down = Rect(area.Left, -(area.Top - Run.g2), area.Right, -(area.Bottom + Run.g2));
            PlaceRotatedBlock(down, align, va, vangle, c.TextWidth(l), std::abs(c.TextHeight(u"gh")) + ps.RowSpacing);
            c.TextRect(cell, down.Left, -down.Top, l);
            lines.clear();
        }
        for (const String& l : lines) {
            int tw = c.TextWidth(l);
            int x = align == taRightJustify ? area.Right - Run.g2 - tw
                    : align == taCenter     ? area.Left + (area.Right - area.Left - tw) / 2
                                            : area.Left + Run.g2;
            c.TextRect(cell, x, ty, l);
            ty -= pitch;
        }
        if (FGrid.OnCustomCellDraw) PrintCustomCellDraw(Run, real, ARow, fixed, cell);
        c.Pen().Assign(&pen);
        if (FPrinter) c.Pen().SetWidth(int(std::lround(pen.Width() * Run.L)));
        int bottom = Y - h;
        if (flags.Contains(cbLeft)) {
            c.MoveTo(left, Y);
            c.LineTo(left, bottom);
        }
        if (flags.Contains(cbRight)) {
            c.MoveTo(right, Y);
            c.LineTo(right, bottom);
        }
        if (flags.Contains(cbTop)) {
            c.MoveTo(left, Y);
            c.LineTo(right, Y);
        }
        if (flags.Contains(cbBottom)) {
            c.MoveTo(left, bottom);
            c.LineTo(right, bottom);
        }
    };
    if (FixedPart)
        for (int col = 0; col < FGrid.FixedCols(); ++col) drawCell(col);
    for (int col = FPrintColStart; col <= FPrintColEnd; ++col)
        if (PrintColWanted(col)) drawCell(col);
}

void TExGridTools::PrintHeaderFooter(TPrintRun& Run, int PageIndex, int PageInStrip) {
    TPrintSettings& ps = FPrintSettings;
    TCanvas& c = *Run.C;
    String number = PrintPageNumber(ps, PageIndex, PageInStrip, Run.Strip, Run.MultiStrip, Run.Total);
    FGrid.DoPrintGetPageNum(Run.MultiStrip ? PageInStrip + 1 : PageIndex + 1, Run.Strip, number);
    const String markup = PrintMarkupTitle();
    String title = ps.TitleText;
    if (title.empty() && ps.TitleLines().Count() > 0 && markup.empty()) title = ps.TitleLines()[0];
    TDateTime now = Now();
    std::array<String, 7> texts =
        PrintPositionTexts(ps, FormatDateTime(u"hh:nn", now), FormatDateTime(ps.DateFormat, now), number, title);
    c.Brush().SetStyle(bsClear);
    for (int pos = ppTopLeft; pos <= ppBottomCenter; ++pos) {
        const String& t = texts[size_t(pos)];
        if (t.empty()) continue;
        bool header = pos <= ppTopCenter;
        TFont& f = header ? ps.HeaderFont() : ps.FooterFont();
        c.Font().Assign(&f);
        c.Font().SetHeight(MapFontHeight(f.Size()));
        int tw = c.TextWidth(t);
        int x = pos == ppTopLeft || pos == ppBottomLeft    ? ps.LeftSize
                : pos == ppTopRight || pos == ppBottomRight ? Run.W - tw - ps.RightSize - 20
                                                            : (Run.W - tw) / 2;
        int y = header ? -ps.HeaderSize : Run.H + ps.FooterSize + Run.p + Run.FooterLine;
        c.TextOut(x, y, t);
        // The further lines of a plain title, one line lower each.
        if (pos == ps.Title && markup.empty() && ps.TitleText.empty()) {
            const int pitch = header ? Run.HeaderLine : Run.FooterLine;
            for (int i = 1; i < ps.TitleLines().Count(); ++i) {
                const String& l = ps.TitleLines()[i];
                const int lx = pos == ppTopLeft || pos == ppBottomLeft    ? ps.LeftSize
                               : pos == ppTopRight || pos == ppBottomRight ? Run.W - c.TextWidth(l) - ps.RightSize - 20
                                                                           : (Run.W - c.TextWidth(l)) / 2;
                c.TextOut(lx, y - i * pitch, l);
            }
        }
        Run.FontKind = -1;
    }
    if (!markup.empty() && ps.Title != ppNone) {
        const bool header = ps.Title <= ppTopCenter;
        TFont& f = header ? ps.HeaderFont() : ps.FooterFont();
        const int top = header ? -ps.HeaderSize - Run.HeaderLine : Run.H + Run.G - ps.FooterSize;
        PrintMarkupText(Run, f, markup, Rect(ps.LeftSize, top, Run.W - ps.RightSize, top - Run.TitleHeight), true, nullptr);
    }
}

int TExGridTools::PrintPages(TCanvas& C, int Mode, int Total) {
    TPrintSettings& ps = FPrintSettings;
    TPrintRun run;
    run.C = &C;
    run.Mode = Mode;
    run.Total = Total;
    FFontScale = 1.0;
    C.Pen().SetColor(clBlack);
    C.Pen().SetStyle(ps.BorderStyle);
    C.Pen().SetWidth(ps.Borders == pbDouble ? 10 : 2);
    C.Font().Assign(&ps.HeaderFont());
    C.Font().SetHeight(MapFontHeight(ps.HeaderFont().Size()));
    run.HeaderLine = std::abs(C.TextHeight(u"gh"));
    C.Font().Assign(&ps.FooterFont());
    C.Font().SetHeight(MapFontHeight(ps.FooterFont().Size()));
    run.FooterLine = std::abs(C.TextHeight(u"gh"));
    PrintFont(run, FGrid.FixedCols(), FGrid.FixedRows());
    run.p = run.LineHeight[0] / 8;
    run.g2 = C.TextWidth(u"g") / 2;
    if (Mode == 2) {
        run.W = FPrevRect.Right - FPrevRect.Left;
        run.H = -(FPrevRect.Bottom - FPrevRect.Top);
    } else {
        TPoint pts[2] = {TPoint{FPrevRect.Left, FPrevRect.Top}, TPoint{FPrevRect.Right, FPrevRect.Bottom}};
        if (!FPrinter) C.DPtoLP(pts, 2);
        run.W = std::abs(pts[1].X - pts[0].X);
        run.H = -std::abs(pts[1].Y - pts[0].Y);
    }
    FPrintPageRect = Rect(0, 0, run.W, run.H);
    run.s = ps.UseFixedWidth ? 0 : ps.ColumnSpacing + 20;
    // The drawing pass after a count measures nothing new: the cells are the same.
    if (FReuseWidths && FRawWidths.size() == FMaxWidths.size() && !FRawWidths.empty()) {
        FMaxWidths = FRawWidths;
    } else {
        PrintColumnWidths(run);
        FRawWidths = FMaxWidths;
    }
    FIndents.assign(FMaxWidths.size() + 1, 0);
    int sum = 0, n = FPrintRect.Right - FPrintRect.Left + 1;
    for (int c = FPrintRect.Left; c <= FPrintRect.Right; ++c) sum += FMaxWidths[size_t(c)] + run.s;
    if (ps.FitToPage != fpNever) {
        int v = n * run.s;
        double r = sum != v ? double(run.W - ps.RightSize - ps.LeftSize - v) / (sum - v) : 1;
        bool keep = ps.FitToPage == fpAlways || (ps.FitToPage == fpShrink && r <= 1) ||
                    (ps.FitToPage == fpGrow && r >= 1);
        if (ps.FitToPage == fpCustom && r != 1) {
            keep = true;
            if (OnFitToPage) OnFitToPage(&FGrid, r, keep);
        }
        if (keep && r != 1) {
            for (int c = FPrintRect.Left; c <= FPrintRect.Right; ++c)
                FMaxWidths[size_t(c)] = int(FMaxWidths[size_t(c)] * r);
            FFontScale = r;
        }
    }
    if (OnPrintSetColumnWidth)
        for (int c = FPrintRect.Left; c <= FPrintRect.Right; ++c) OnPrintSetColumnWidth(&FGrid, c, FMaxWidths[size_t(c)]);
    auto isHeader = [](TPrintPosition P) { return P >= ppTopLeft && P <= ppTopCenter; };
    auto isFooter = [](TPrintPosition P) { return P >= ppBottomLeft; };
    bool anyHeader = isHeader(ps.Time) || isHeader(ps.Date) || isHeader(ps.PageNr) || isHeader(ps.Title);
    bool anyFooter = isFooter(ps.Time) || isFooter(ps.Date) || isFooter(ps.PageNr) || isFooter(ps.Title);
    int titleLines = std::max(0, ps.TitleLines().Count() - 1);
    const String markupTitle = PrintMarkupTitle();
    if (!markupTitle.empty() && ps.Title != ppNone) {
        titleLines = 0;
        TFont& f = isHeader(ps.Title) ? ps.HeaderFont() : ps.FooterFont();
        run.TitleHeight = PrintMarkupText(run, f, markupTitle, Rect(ps.LeftSize, 0, run.W - ps.RightSize, -65535),
                                          false, nullptr);
    }
    run.E = anyHeader ? run.p + run.HeaderLine + ps.HeaderSize : ps.HeaderSize;
    if (isHeader(ps.Title)) run.E += titleLines * run.HeaderLine + (run.TitleHeight ? run.TitleHeight + ps.HeaderSize : 0);
    run.G = anyFooter ? 2 * run.p + 2 * run.FooterLine + ps.FooterSize : run.p + run.FooterLine + ps.FooterSize;
    if (isFooter(ps.Title)) run.G += titleLines * run.FooterLine + run.TitleHeight;

    int fixedCols = FGrid.FixedCols();
    int pageIndex = 0;
    bool cancel = false;
    const bool wholeGrid = FPrintRect.Left == 0 && FPrintRect.Top == 0 && FPrintRect.Right == FGrid.ColCount() - 1 &&
                           FPrintRect.Bottom == FGrid.RowCount() - 1;
    for (int colStart = FPrintRect.Left; colStart <= FPrintRect.Right && !cancel; ++run.Strip) {
        run.RepeatCols = ps.RepeatFixedCols && fixedCols > 0 && (run.Strip > 1 || FPrintRect.Left > fixedCols);
        int running = 0;
        if (run.RepeatCols)
            for (int c = 0; c < fixedCols; ++c) running += FMaxWidths[size_t(c)] + run.s;
        int colEnd = colStart - 1;
        for (int c = colStart; c <= FPrintRect.Right; ++c) {
            if (running + FMaxWidths[size_t(c)] + run.s > run.W - ps.RightSize) break;
            running += FMaxWidths[size_t(c)] + run.s;
            colEnd = c;
        }
        if (colEnd - colStart + 1 < 2) colEnd = std::min(colStart + 1, FPrintRect.Right);
        if (colEnd < FPrintRect.Right) run.MultiStrip = true;
        FPrintColStart = colStart;
        FPrintColEnd = colEnd;
        FPrintPageWidth = running;
        int x = ps.Centered ? 0 : ps.LeftSize;
        if (ps.Centered && running < run.W) x += (run.W - running) / 2;
        if (run.RepeatCols)
            for (int c = 0; c < fixedCols; ++c) {
                FIndents[size_t(c)] = x;
                x += FMaxWidths[size_t(c)] + run.s;
            }
        for (int c = colStart; c <= colEnd; ++c) {
            FIndents[size_t(c)] = x;
            if (PrintColWanted(c)) x += FMaxWidths[size_t(c)] + run.s;
        }
        int row = FPrintRect.Top;
        int pageInStrip = 0;
        auto skipLeftOut = [&] {
            while (row <= FPrintRect.Bottom && !PrintRowWanted(row)) ++row;
        };
        skipLeftOut();
        while (row <= FPrintRect.Bottom && !cancel) {
            int pageNr = pageIndex + 1;
            bool out = run.Drawing() && pageNr >= FPrintPageFrom && pageNr <= FPrintPageTo;
            if (out) {
                if (FPrinter && FPageOutput) {
                    FPrinter->NewPage();
                    C.SetMapMode(MM_LOMETRIC);
                }
                FPageOutput = true;
                if (OnPrintPage) OnPrintPage(&FGrid, C, pageNr, run.W, run.H);
                PrintHeaderFooter(run, pageIndex, pageInStrip);
            }
            int top = -run.E - ps.TitleSpacing;
            int y = top;
            if (row > 0 && ps.RepeatFixedRows && FGrid.FixedRows() > 0 &&
                (pageInStrip > 0 || FPrintRect.Top >= FGrid.FixedRows()))
                for (int r = 0; r < FGrid.FixedRows(); ++r) {
                    if (out) PrintDrawRow(run, y, r, run.RepeatCols);
                    y -= PrintRowDrawn(run, r);
                }
            // A row taller than the page still gets a page of its own.
            bool placed = false;
            for (;;) {
                int h = PrintRowDrawn(run, row);
                if (placed && y - h <= run.H + run.G) break;
                if (out) {
                    FGrid.ExportNotification(wholeGrid ? 1 : 3, row);
                    PrintDrawRow(run, y, row, run.RepeatCols);
                }
                y -= h;
                placed = true;
                ++row;
                skipLeftOut();
                if (row > FPrintRect.Bottom) break;
                bool newPage = false;
                if (OnPrintNewPage) OnPrintNewPage(&FGrid, row, newPage);
                if (newPage) break;
            }
            if (out) {
                if (OnPrintPageDone) OnPrintPageDone(&FGrid, C, row, y, pageNr, run.W, run.H);
                if (OnPrintCancel) OnPrintCancel(&FGrid, pageNr, cancel);
                int bottom = y + run.p / 2;
                int x0 = FIndents[size_t(run.RepeatCols ? 0 : colStart)], x1 = x;
                C.Pen().SetColor(clBlack);
                C.Pen().SetStyle(ps.BorderStyle);
                C.Pen().SetWidth(ps.Borders == pbDouble ? 10 : 2);
                if (ps.Borders == pbAround || ps.Borders == pbAroundVertical || ps.Borders == pbAroundHorizontal) {
                    C.MoveTo(x0, top);
                    C.LineTo(x1, top);
                    C.LineTo(x1, bottom);
                    C.LineTo(x0, bottom);
                    C.LineTo(x0, top);
                }
                if (ps.Borders == pbDouble || ps.Borders == pbHorizontal || ps.Borders == pbAroundHorizontal) {
                    C.MoveTo(x0, bottom);
                    C.LineTo(x1, bottom);
                }
            }
            ++pageIndex;
            ++pageInStrip;
            if (FastPrint && pageIndex > FPrintPageFrom) break;
        }
        colStart = colEnd + 1;
    }
    return pageIndex;
}

void TExGridTools::Print() {
    PrintRect(TGridRect{0, 0, FGrid.ColCount() - 1, FGrid.RowCount() - 1});
}

// The page size comes from the printer; the count runs on its canvas first.
void TExGridTools::PrintRect(TGridRect R) {
    TPrintSettings& ps = FPrintSettings;
    FPrintRect = R;
    TPrinter* pr = Printer();
    if (!ps.UseDefaultOrientation) pr->SetOrientation(ps.Orientation);
    FPrevRect = Rect(0, 0, int(std::lround(254.0 / pr->XResolution() * pr->PageWidth())),
                     int(std::lround(254.0 / pr->YResolution() * pr->PageHeight())));
    pr->SetTitle(ps.JobName);
    pr->BeginDoc();
    FPrinter = pr;
    FPageOutput = false;
    int count = std::numeric_limits<int>::max();
    try {
        if (!FastPrint) {
            pr->Canvas().SetMapMode(MM_LOMETRIC);
            count = PrintPages(pr->Canvas(), 2, -1);
        }
    } catch (...) {
        FPrinter = nullptr;
        pr->Abort();
        throw;
    }
    int from = 1, to = count;
    FPrintPageNum = count;
    if (OnPrintStart) {
        pr->Abort();
        OnPrintStart(&FGrid, count, from, to);
        if (from == 0 || to == 0 || from > to) {
            FPrinter = nullptr;
            return;
        }
        pr->BeginDoc();
    }
    FPrintPageFrom = from;
    FPrintPageTo = to;
    FPrintPageNum = to;
    FReuseWidths = !FastPrint;
    try {
        pr->Canvas().SetMapMode(MM_LOMETRIC);
        PrintPages(pr->Canvas(), 1, count);
    } catch (...) {
        FReuseWidths = false;
        FPrinter = nullptr;
        pr->EndDoc();
        throw;
    }
    FReuseWidths = false;
    FPrinter = nullptr;
    pr->EndDoc();
}

void TExGridTools::PreviewRun(TCanvas& Canvas, TRect R, TGridRect G, bool DrawOnly) {
    FPrintRect = G;
    int saved = Canvas.SaveDC();
    Canvas.SetMapMode(MM_LOMETRIC);
    Canvas.SetViewportOrg(R.Left, R.Top);
    FPrevRect = R;  // the target itself; the page starts at its top-left corner (the viewport origin)
    try {
        if (DrawOnly) {
            FPrintPageFrom = FPrintPageTo = 1;
            FPrintPageNum = 1;
            PrintPages(Canvas, 1, 1);
        } else {
            int count = FastPrint ? 1 : PrintPages(Canvas, 3, -1);
            FPrintPageNum = count;
            FIsPrintPreview = true;
            int from = 1, to = count;
            if (OnPrintStart) OnPrintStart(&FGrid, count, from, to);
            FReuseWidths = !FastPrint;
            if (from > 0 && to > 0 && to >= from) PrintPages(Canvas, 0, count);
            FReuseWidths = false;
        }
    } catch (...) {
        FReuseWidths = false;
        FIsPrintPreview = false;
        Canvas.RestoreDC(saved);
        throw;
    }
    FIsPrintPreview = false;
    Canvas.RestoreDC(saved);
}

void TExGridTools::PrintPreview(TCanvas& Canvas, TRect R) {
    PreviewRun(Canvas, R, TGridRect{0, 0, FGrid.ColCount() - 1, FGrid.RowCount() - 1}, false);
}

void TExGridTools::PrintPreviewRect(TCanvas& Canvas, TRect R, TGridRect G) { PreviewRun(Canvas, R, G, false); }

void TExGridTools::PrintDraw(TCanvas& Canvas, TRect R) {
    PreviewRun(Canvas, R, TGridRect{0, 0, FGrid.ColCount() - 1, FGrid.RowCount() - 1}, true);
}

void TExGridTools::PrintDrawRect(TCanvas& Canvas, TRect R, TGridRect G) { PreviewRun(Canvas, R, G, true); }

void TExGridTools::PrintSelection() { PrintRect(FGrid.Selection()); }

void TExGridTools::PrintPreviewSelection(TCanvas& Canvas, TRect R) { PrintPreviewRect(Canvas, R, FGrid.Selection()); }

bool TExGridTools::PrintRowWanted(int ARow) {
    if (!FPrintChosenRows) return true;
    if (FPrintSettings.FixedCellsAlways && ARow < FGrid.FixedRows()) return true;
    if (FGrid.MouseActions().DisjunctRowSelect()) return FGrid.RowSelect(FGrid.RowSelectIndex(ARow));
    const TGridRect s = FGrid.Selection();
    return ARow >= std::min(s.Top, s.Bottom) && ARow <= std::max(s.Top, s.Bottom);
}

bool TExGridTools::PrintColWanted(int ACol) {
    if (!FPrintChosenCols) return true;
    if (FPrintSettings.FixedCellsAlways && ACol < FGrid.FixedCols()) return true;
    if (FGrid.MouseActions().DisjunctRowSelect()) return true;
    if (FGrid.MouseActions().DisjunctColSelect()) return FGrid.ColSelect(ACol);
    const TGridRect s = FGrid.Selection();
    return ACol >= std::min(s.Left, s.Right) && ACol <= std::max(s.Left, s.Right);
}

void TExGridTools::PrintChosen(bool Rows, TCanvas* Canvas, TRect R) {
    (Rows ? FPrintChosenRows : FPrintChosenCols) = true;
    try {
        if (Canvas) PrintPreview(*Canvas, R);
        else Print();
    } catch (...) {
        FPrintChosenRows = FPrintChosenCols = false;
        throw;
    }
    FPrintChosenRows = FPrintChosenCols = false;
}

void TExGridTools::PrintSelectedRows() { PrintChosen(true, nullptr, {}); }

void TExGridTools::PrintSelectedCols() { PrintChosen(false, nullptr, {}); }

void TExGridTools::PrintPreviewSelectedRows(TCanvas& Canvas, TRect R) { PrintChosen(true, &Canvas, R); }

void TExGridTools::PrintPreviewSelectedCols(TCanvas& Canvas, TRect R) { PrintChosen(false, &Canvas, R); }

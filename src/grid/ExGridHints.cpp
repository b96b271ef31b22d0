// The grid's hints: what the hint of a cell says and where it shows, the
// hint window that draws markup and wide text, and the balloons of cells.
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"
#include "grid/foundation/MarkupText.h"

#include <algorithm>

namespace {

// Markup hints are laid out this wide before the window takes their size.
constexpr int HintLayoutWidth = 1008;
// Room around the text: below it, and beside it for markup and wide text.
constexpr int HintPadBelow = 4;
constexpr int HintPadMarkup = 16;
constexpr int HintPadWide = 8;
// A hint of a cell's own that is not its text shows this far below the cell.
constexpr int HintGapBelowCell = 6;
// A hint moved back inside the monitor keeps this distance from its edge.
constexpr int HintEdgeGap = 2;
constexpr int WideTextKind = 5;

String& LastHintFont() {
    static String name;
    return name;
}

// The grid whose cell hint asked for THTMLHintWindow last: only that hint
// data is a grid (other controls hand their own data to the hint window).
const void*& LastHintGrid() {
    static const void* grid = nullptr;
    return grid;
}

// A link hint shows beside the cursor, this far right and up.
constexpr int AnchorHintDX = 8;
constexpr int AnchorHintDY = -16;

// The size of Text in Font, line by line.
TSize TextBlockSize(const TFont& Font, const String& Text) {
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    TCanvas& c = measure.Canvas();
    c.Font().Assign(&Font);
    TSize s{0, 0};
    size_t start = 0;
    while (start <= Text.size()) {
        size_t end = Text.find(u'\n', start);
        String line = StripCR(Text.substr(start, end == String::npos ? String::npos : end - start));
        s.cx = std::max(s.cx, c.TextWidth(line));
        s.cy += c.TextHeight(u"Wg");
        if (end == String::npos) break;
        start = end + 1;
    }
    return s;
}

bool IsCheckOrRadio(TCellType t) { return t == ctCheckBox || t == ctDataCheckBox || t == ctRadioButton; }

}  // namespace

const String& TExStringGrid::HintFontName() { return LastHintFont(); }

void TExStringGrid::SetUseHTMLHints(bool Value) {
    FUseHTMLHints = Value;
    if (Value) HintWindowClass = [](TComponent* Owner) { return new THTMLHintWindow(Owner); };
    else HintWindowClass = [](TComponent* Owner) { return new THintWindow(Owner); };
}

void TExStringGrid::CMHintShow(TMessage& Message) {
    THintInfo* info = HintInfoOf(Message);
    if (!info) return;
    GetCellHintInfo(info->HintStr, *info);
    Message.Result = 0;
}

void TExStringGrid::GetCellHintInfo(String& HintStr, THintInfo& HintInfo) {
    int ACol = -1, ARow = -1;
    MouseToCell(HintInfo.CursorPos.X, HintInfo.CursorPos.Y, ACol, ARow);
    if (FControlLook.HintMaxWidth > 0) HintInfo.HintMaxWidth = FControlLook.HintMaxWidth;
    LastHintFont() = Font().Name();
    LastHintGrid() = nullptr;
    HintInfo.HintColor = FHintColor;
    if (ACol < 0 || ARow < 0) return;

    int bc = ACol, br = ARow;
    ResolveBaseCell(ACol, ARow, bc, br);
    ACol = bc;
    ARow = br;
    FLastHintPos = {ACol, ARow};
    const TRect R = CellRect(ACol, ARow);
    // The framework asks anew once the mouse leaves this cell.
    HintInfo.CursorRect = R;
    const int N = RealColIndex(ACol);
    TPoint pos{HintInfo.CursorPos.X, R.Bottom + HintGapBelowCell};
    String comment;
    if (IsComment(N, ARow, comment)) {
        HintStr = comment;
        pos = {R.Right, R.Top};
    }

    const bool dataCell = ACol >= TCustomGrid::FixedCols() && ARow >= TCustomGrid::FixedRows() &&
                          ACol < ColCount() - FFixedRightCols && ARow < RowCount() - FFixedFooters;
    const String stored = GetCellEx(N, ARow);
    const int kind = GridTextKind(stored);
    if (kind == MarkupTextKind && FAnchorHint) {
        const TMarkupDrawResult out = MarkupAt(stored, R, HintInfo.CursorPos.X, HintInfo.CursorPos.Y, Font());
        if (!out.AnchorHref.empty()) {
            String A = out.AnchorTitle.empty() ? out.AnchorHref : out.AnchorTitle;
            if (OnAnchorHint) OnAnchorHint(this, ARow, N, A);
            FLastAnchorHint = A;
            HintStr = A;
            pos = {HintInfo.CursorPos.X + AnchorHintDX, HintInfo.CursorPos.Y + AnchorHintDY};
        }
    }
    if (FHintShowCells && dataCell) {
        pos.Y = R.Top;
        if (kind == WideTextKind) HintStr = DecodeWideCellText(stored);
        else if (FHTMLHint || kind != MarkupTextKind) HintStr = stored;
        else HintStr = StripHTMLTags(stored);
    }
    if (FHintShowLargeText) {
        TFont& f = ARow < TCustomGrid::FixedRows() || ACol < TCustomGrid::FixedCols() ? FFixedFont : Font();
        // Measured as shown: markup without its tags, wide text decoded.
        const String shown = kind == MarkupTextKind ? StripHTMLTags(stored)
                             : kind == WideTextKind ? DecodeWideCellText(stored)
                                                    : stored;
        const TSize need = TextBlockSize(f, shown);
        if (need.cx + TotalXOffset() > R.Right - R.Left || need.cy > R.Bottom - R.Top) {
            if (FHintShowLargeTextPos == hpCell) pos = {R.Left, R.Top};
            HintStr = kind == MarkupTextKind && !FHTMLHint ? StripHTMLTags(stored) : stored;
        }
    }
    if (!(FFloatingFooter.Visible() && ARow == RowCount() - 1)) DoGridHint(ACol, ARow, HintStr);

    const int hintKind = CellTextKind(HintStr, true);
    if ((hintKind == MarkupTextKind || hintKind == WideTextKind) && FUseInternalHintClass) {
        HintInfo.HintWindowClass = [](TComponent* Owner) { return new THTMLHintWindow(Owner); };
        HintInfo.HintData = static_cast<void*>(this);
        LastHintGrid() = this;
    }
    HintInfo.HintPos = ClientToScreen(pos);
}

void TExStringGrid::DoGridHint(int ACol, int ARow, String& HintStr) {
    if (OnGridHint) OnGridHint(this, ARow, ACol, HintStr);
    if (!OnGridWideHint) return;
    String wide;
    OnGridWideHint(this, ARow, ACol, wide);
    if (!wide.empty()) HintStr = EncodeWideCellText(wide);
}

// ---------------------------------------------------------------------------
// Comments

void TExStringGrid::AddComment(int ACol, int ARow, const String& Comment) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = ctComment;
    g->CellText = Comment;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveComment(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctComment);
}

bool TExStringGrid::IsComment(int ACol, int ARow, String& Comment) {
    if (ACol < 0 || ARow < 0) return false;
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g || g->CellType != ctComment) return false;
    Comment = g->CellText;
    return true;
}

// ---------------------------------------------------------------------------
// Balloons

void TExStringGrid::AddBalloon(int ACol, int ARow, const String& Title, const String& Text, TBalloonIcon Icon) {
    if (ACol < 0 || ARow < 0 || ACol >= TotalColCount() || ARow >= RowCount()) return;
    TCellGraphic* shown = GetCellGraphic(ACol, ARow);
    TCellGraphic* own = OwnGraphic(ACol, ARow);
    const TCellType kind = GetCellType(ACol, ARow);
    if (shown && !IsCheckOrRadio(kind)) return;
    if (!own) {
        // A check box shared by a whole column gets a graphic of this cell's own.
        own = new TCellGraphic;
        own->CellType = shown ? kind : ctBalloon;
        GetCellProperties(ACol, ARow)->SetGraphicObject(own);
    }
    own->CellAngle = own->CellType == ctBalloon ? 0 : 1;
    own->CellIndex = Byte(Icon);
    own->CellBalloon = {Title, Text};
}

void TExStringGrid::RemoveBalloon(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g) return;
    if (IsCheckOrRadio(g->CellType)) {
        g->CellAngle = 0;
        g->CellBalloon.clear();
    } else if (g->CellType == ctBalloon) {
        GetCellProperties(ACol, ARow)->SetGraphicObject(nullptr);
        delete g;
    }
}

bool TExStringGrid::HasBalloon(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return false;
    int bc = ACol, br = ARow;
    ResolveBaseCell(ACol, ARow, bc, br);
    TCellGraphic* g = OwnGraphic(bc, br);
    return g && g->CellType == ctBalloon;
}

bool TExStringGrid::IsBalloon(int ACol, int ARow, String& Title, String& Text, TBalloonIcon& Icon) {
    if (ACol < 0 || ARow < 0) return false;
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g || !(g->CellType == ctBalloon || (IsCheckOrRadio(g->CellType) && g->CellAngle == 1))) return false;
    Title = g->CellBalloon.size() > 0 ? g->CellBalloon[0] : String();
    Text = g->CellBalloon.size() > 1 ? g->CellBalloon[1] : String();
    Icon = TBalloonIcon(std::clamp<int>(g->CellIndex, 0, biError));
    return true;
}

// ---------------------------------------------------------------------------
// THTMLHintWindow

TSize THTMLHintWindow::Measure(const String& AHint, int MaxWidth, bool& Wide, String& Decoded) {
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    TCanvas& c = measure.Canvas();
    c.Font().Assign(&Font());
    Wide = CellTextKind(AHint, true) == WideTextKind;
    if (Wide) {
        Decoded = DecodeWideCellText(AHint);
        if (!TExStringGrid::HintFontName().empty()) c.Font().SetName(TExStringGrid::HintFontName());
        return c.TextExtent(Decoded);
    }
    TMarkupDrawArgs in;
    in.MeasureOnly = true;
    in.Images = FImages;
    in.Pictures = FPictureContainer;
    in.PictureCache = FPictureCache;
    TMarkupDrawResult out;
    DrawHTMLText(c, AHint, Rect(0, 0, MaxWidth, 4096), in, out);
    return {out.ExtentX, out.ExtentY};
}

void THTMLHintWindow::TakeGridOf(void* AData) {
    // Images of an earlier grid's hint are not kept: that grid may be gone.
    FImages = nullptr;
    FPictureContainer = nullptr;
    FPictureCache = nullptr;
    if (!AData || AData != LastHintGrid()) return;
    auto* grid = static_cast<TExStringGrid*>(AData);
    FImages = grid->GridImages();
    FPictureContainer = grid->PictureContainer();
    FPictureCache = &grid->ImageCache();
}

void THTMLHintWindow::ActivateHintData(TRect ARect, const String& AHint, void* AData) {
    TakeGridOf(AData);
    // The data belongs to this one showing.
    LastHintGrid() = nullptr;
    ActivateHint(ARect, AHint);
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const String& AHint, void* AData) {
    TakeGridOf(AData);
    bool wide = false;
    String decoded;
    const TSize s = Measure(AHint, MaxWidth > 0 ? MaxWidth : HintLayoutWidth, wide, decoded);
    return Rect(0, 0, s.cx, s.cy);
}

void THTMLHintWindow::ActivateHint(TRect ARect, const String& AHint) {
    bool wide = false;
    String decoded;
    const TSize s = Measure(AHint, HintLayoutWidth, wide, decoded);
    FWideCaption = wide ? decoded : String();
    FTextWidth = s.cx;
    FTextHeight = s.cy;
    const int w = s.cx + (wide ? HintPadWide : HintPadMarkup);
    const int h = s.cy + HintPadBelow;
    TRect r = Rect(ARect.Left, ARect.Top, ARect.Left + w, ARect.Top + h);
    const TRect area = Screen->MonitorWorkAreaFromPoint({r.Left, r.Top});
    if (r.Right > area.Right) OffsetRect(r, area.Right - HintEdgeGap - r.Right, 0);
    if (r.Bottom > area.Bottom) OffsetRect(r, 0, area.Bottom - HintEdgeGap - r.Bottom);
    THintWindow::ActivateHint(r, AHint);
}

void THTMLHintWindow::Paint() {
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(r);
    DrawRaisedFrame(c, r, cl3DLight, cl3DDkShadow);
    const int top = (r.Bottom - r.Top - (FTextHeight + 8)) / 2 + 4;
    const TRect t = Rect(r.Left + 4, top, r.Right - 4, top + FTextHeight);
    c.Font().Assign(&Font());
    c.Brush().SetStyle(bsClear);
    if (!FWideCaption.empty()) {
        if (!TExStringGrid::HintFontName().empty()) c.Font().SetName(TExStringGrid::HintFontName());
        TRect tr = t;
        c.DrawText(FWideCaption, tr, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    TMarkupDrawArgs in;
    in.LinkColor = clBlue;
    in.ShadowColor = clGray;
    in.Images = FImages;
    in.Pictures = FPictureContainer;
    in.PictureCache = FPictureCache;
    TMarkupDrawResult out;
    DrawHTMLText(c, Text(), t, in, out);
}

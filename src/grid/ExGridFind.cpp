// Finding texts in the cells: the general search with its options, the
// replace built on it, the prefix search in the sort column, and the
// search panel at the grid's bottom that drives them.
#include "grid/ExGrid.h"

#include "grid/foundation/ExCheckBox.h"
#include "grid/foundation/ExGridButton.h"
#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/GridColors.h"
#include "grid/foundation/GridOptions.h"
#include "grid/foundation/MarkupText.h"

#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/SysUtils.h"

bool TExGridTools::MatchCell(const String& CellText, const String& S, TFindParams P) {
    String text = P.Contains(fnMatchCase) ? CellText : AnsiUpperCase(CellText);
    if (P.Contains(fnIgnoreHTMLTags)) text = StripHTMLTags(text);
    if (S == u"\"\"") return text.empty();
    if (P.Contains(fnMatchRegular)) {
        try {
            return MatchFilterExpression(S, text, P.Contains(fnMatchCase));
        } catch (const std::exception&) {
            return false;
        }
    }
    size_t at = text.find(S);
    if (at == String::npos) return false;
    if (P.Contains(fnMatchStart) && at != 0) return false;
    if (P.Contains(fnMatchFull) && text != S) return false;
    return true;
}

TPoint TExGridTools::Find(TPoint StartCell, const String& S, TFindParams P) { return FindCell(StartCell, S, P, true); }

// Texts are wide already: the wide search differs only in leaving the top row where it is.
TPoint TExGridTools::FindWide(TPoint StartCell, const String& S, TFindParams P) {
    return FindCell(StartCell, S, P, false);
}

TPoint TExGridTools::FindCell(TPoint StartCell, const String& S, TFindParams P, bool Scroll) {
    FGrid.ExportNotification(0, -1);
    FFindParams = P;
    FindBusy = true;
    SearchCache = P.Contains(fnMatchCase) ? S : AnsiUpperCase(S);
    TExStringGrid& g = FGrid;
    if (g.ColCount() == g.FixedCols() || g.ColCount() == 0 || g.RowCount() + g.NumHiddenRows() == g.FixedRows() ||
        g.RowCount() == 0) {
        FindBusy = false;
        g.ExportNotification(2, -1);
        return {-1, -1};
    }
    int c0, c1, r0, r1;
    if (P.Contains(fnIncludeFixed)) {
        c0 = 0;
        c1 = g.ColCount() - 1;
        r0 = 0;
        r1 = g.RowCount() - 1;
    } else {
        c0 = g.FixedCols();
        c1 = g.ColCount() - g.FixedRightCols() - 1;
        r0 = g.FixedRows();
        r1 = g.RowCount() - g.FixedFooters() - 1;
    }
    if (P.Contains(fnSelectedCells)) {
        TGridRect sel = g.Selection();
        c0 = sel.Left;
        c1 = sel.Right;
        r0 = sel.Top;
        r1 = sel.Bottom;
    }
    bool hiddenCols = P.Contains(fnIncludeHiddenColumns), hiddenRows = P.Contains(fnIncludeHiddenRows);
    if (hiddenCols) c1 += g.NumHiddenColumns();
    if (hiddenRows) r1 += g.NumHiddenRows();
    if (P.Contains(fnFindInCurrentRow)) r0 = r1 = g.Row();
    if (P.Contains(fnFindInPresetRow)) r0 = r1 = FindRow;
    if (P.Contains(fnFindInCurrentCol)) c0 = c1 = g.Col();
    if (P.Contains(fnFindInPresetCol)) c0 = c1 = FindCol;
    int w = c1 - c0 + 1, h = r1 - r0 + 1;
    TPoint result{-1, -1};
    if (w > 0 && h > 0) {
        bool byRow = P.Contains(fnDirectionLeftRight), back = P.Contains(fnBackward);
        long long n = (long long)w * h;
        auto index = [&](TPoint c) {
            return byRow ? (long long)(c.Y - r0) * w + (c.X - c0) : (long long)(c.X - c0) * h + (c.Y - r0);
        };
        long long i;
        if (StartCell.X == -1 && StartCell.Y == -1) i = back ? n - 1 : 0;
        else i = index(StartCell) + (back ? -1 : 1);
        for (; i >= 0 && i < n; i += back ? -1 : 1) {
            int c = byRow ? c0 + int(i % w) : c0 + int(i / h);
            int r = byRow ? r0 + int(i / w) : r0 + int(i % h);
            if (byRow && FGrid.IgnoreColumns().HasValue(c)) continue;
            g.ExportNotification(1, r);
            int col = hiddenCols ? c : g.RealColIndex(c);
            String text = hiddenRows ? g.AllCells(col, r) : g.GetCellEx(col, r);
            if (MatchCell(text, SearchCache, P)) {
                result = {c, r};
                break;
            }
        }
    }
    if (result.X < 0) {
        FindBusy = false;
        SearchCell = result;
        g.ExportNotification(2, -1);
        return result;
    }
    SearchCell = result;
    g.ExportNotification(4, -1);
    if (P.Contains(fnAutoGoto)) {
        int row = result.Y;
        if (hiddenRows) {
            if (g.IsHiddenRow(row) && FNumNodes > 0) {
                // The node whose span holds the row opens.
                for (int n = row - 1; n >= 0; --n)
                    if (!g.IsHiddenRow(n) && IsNode(g.DisplRowIndex(n)) && n + GetNodeSpan(g.DisplRowIndex(n)) > row) {
                        ExpandNode(n);
                        break;
                    }
            }
            row = g.IsHiddenRow(row) ? -1 : g.DisplRowIndex(row);
        }
        int col = hiddenCols ? g.DisplColIndex(result.X) : result.X;
        if (row >= 0 && row < g.RowCount() && col >= 0 && col < g.ColCount()) {
            g.SetCol(col);
            g.SetRow(row);
            int f = g.FloatingFooter().Visible() ? 2 : 0;
            if (Scroll && g.Row() > g.TopRow() + g.VisibleRowCount() - f - 2 &&
                g.RowCount() > g.VisibleRowCount() + g.FixedRows() + f)
                g.SetTopRowEx(g.TopRow() + f + 1);
        }
    }
    return result;
}

TPoint TExGridTools::FindFirst(const String& S, TFindParams FindParams) {
    SearchCell = Find({-1, -1}, S, FindParams);
    return SearchCell;
}

TPoint TExGridTools::FindNext() {
    SearchCell = Find(SearchCell, SearchCache, FFindParams);
    return SearchCell;
}

// The case rule of the search holds for the replacing too, so no text that
// the search passed over is changed.
int TExGridTools::Replace(const String& OrigStr, const String& NewStr, TFindParams FindParams) {
    if (OrigStr.empty()) return 0;
    int count = 0;
    TPoint at{-1, -1};
    TReplaceFlags flags = rfReplaceAll;
    if (!FindParams.Contains(fnMatchCase)) flags |= rfIgnoreCase;
    for (;;) {
        at = Find(at, OrigStr, FindParams);
        if (at.X < 0) break;
        int col = FindParams.Contains(fnIncludeHiddenColumns) ? at.X : FGrid.RealColIndex(at.X);
        if (FindParams.Contains(fnIncludeHiddenRows))
            FGrid.SetAllCells(col, at.Y, StringReplace(FGrid.AllCells(col, at.Y), OrigStr, NewStr, flags));
        else
            FGrid.SetCellEx(col, at.Y, StringReplace(FGrid.GetCellEx(col, at.Y), OrigStr, NewStr, flags));
        ++count;
    }
    return count;
}

int TExGridTools::Search(const String& S) {
    if (FGrid.RowCount() < 2) return -1;
    TSortSettings& ss = FGrid.SortSettings();
    int col;
    if (!ss.Show()) col = FGrid.FixedCols();
    else if (ss.IndexShow()) col = FGrid.SortIndexes().Count() > 0 ? FGrid.SortIndexes().GetSortColumns(0) : FGrid.FixedCols();
    else col = ss.Column();
    if (col < 0) return -1;
    for (int r = FGrid.FixedRows(); r < FGrid.RowCount(); ++r) {
        String text = AnsiUpperCase(StripHTMLTags(FGrid.GetCellEx(col, r)));
        if (text.compare(0, S.size(), S) == 0 && text.size() >= S.size()) return r;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// The search panel

void TRetEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        TNotifyEvent& ev = Shift.Contains(ssCtrl) ? OnCtrlReturn : OnReturn;
        Key = 0;
        if (ev) ev(this);
        return;
    }
    TEdit::KeyDown(Key, Shift);
}

// No line break and no beep for Enter.
void TRetEdit::KeyPress(Char& Key) {
    if (Key == u'\r' || Key == u'\n') {
        if (OnKeyPress) OnKeyPress(this, Key);
        Key = 0;
        return;
    }
    TEdit::KeyPress(Key);
}

void TRetEdit::WMGetDlgCode(TMessage& Message) {
    TEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTALLKEYS;
}

// ---------------------------------------------------------------------------
// The search panel's glyphs, drawn anew: arrows down and up, the close
// cross in its three states and the highlighter, each with a greyed form.

TCanvas& GlyphCanvas(TBitmap& B, int W, int H) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    B.SetTransparentColor(GlyphSeeThrough);
    TCanvas& c = B.Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(GlyphSeeThrough);
    c.FillRect(Rect(0, 0, W, H));
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    return c;
}

namespace {

constexpr TColor ArrowColor = 0x9C5A1E;
constexpr TColor GreyedColor = 0xA0A0A0;

void PaintArrow(TBitmap& B, bool Down, TColor Color) {
    TCanvas& c = GlyphCanvas(B, 16, 16);
    c.Pen().SetColor(Color);
    c.Brush().SetColor(Color);
    if (Down) {
        c.FillRect(Rect(6, 2, 10, 8));
        c.Polygon({TPoint{2, 8}, TPoint{13, 8}, TPoint{8, 13}, TPoint{7, 13}});
    } else {
        c.FillRect(Rect(6, 8, 10, 14));
        c.Polygon({TPoint{2, 7}, TPoint{13, 7}, TPoint{8, 2}, TPoint{7, 2}});
    }
}

// Back: the face behind the cross, GlyphSeeThrough for none.
void PaintClose(TBitmap& B, TColor Back, TColor Cross) {
    TCanvas& c = GlyphCanvas(B, 14, 14);
    if (Back != GlyphSeeThrough) {
        c.Brush().SetColor(Back);
        c.FillRect(Rect(1, 1, 13, 13));
    }
    c.Pen().SetColor(Cross);
    c.Pen().SetWidth(2);
    c.MoveTo(4, 4);
    c.LineTo(10, 10);
    c.MoveTo(10, 4);
    c.LineTo(4, 10);
}

// A letter over a marker stripe.
void PaintHighlighter(TBitmap& B, TColor Mark, TColor Ink) {
    TCanvas& c = GlyphCanvas(B, 16, 16);
    c.Brush().SetColor(Mark);
    c.FillRect(Rect(1, 9, 15, 15));
    c.Pen().SetColor(Ink);
    c.MoveTo(3, 13);
    c.LineTo(8, 1);
    c.LineTo(13, 13);
    c.MoveTo(5, 8);
    c.LineTo(11, 8);
}

const TResourceRegistrar SearchGlyphs([] {
    RegisterBitmapResource(u"EXGARDOWN", [](TBitmap& B) { PaintArrow(B, true, ArrowColor); });
    RegisterBitmapResource(u"EXGARDOWND", [](TBitmap& B) { PaintArrow(B, true, GreyedColor); });
    RegisterBitmapResource(u"EXGARUP", [](TBitmap& B) { PaintArrow(B, false, ArrowColor); });
    RegisterBitmapResource(u"EXGARUPD", [](TBitmap& B) { PaintArrow(B, false, GreyedColor); });
    RegisterBitmapResource(u"EXGCLOSE", [](TBitmap& B) { PaintClose(B, GlyphSeeThrough, TColor(0x404040)); });
    RegisterBitmapResource(u"EXGCLOSEH", [](TBitmap& B) { PaintClose(B, TColor(0x3030E0), clWhite); });
    RegisterBitmapResource(u"EXGCLOSED", [](TBitmap& B) { PaintClose(B, TColor(0x2020A0), clWhite); });
    RegisterBitmapResource(u"EXGHI", [](TBitmap& B) { PaintHighlighter(B, clYellow, TColor(0x404040)); });
    RegisterBitmapResource(u"EXGHID", [](TBitmap& B) { PaintHighlighter(B, TColor(0xD8D8D8), GreyedColor); });
});

// Hands the named glyph to Set; nothing without a name.
template <class F>
void WithGlyph(const char16_t* Name, F Set) {
    if (!Name) return;
    TBitmap b;
    LoadBitmapResource(b, Name);
    Set(b);
}

}  // namespace

TSearchPanel::TSearchPanel(TExStringGrid* AGrid) : TPanel(AGrid), FGrid(AGrid) {
    SetBevelOuter(bvNone);
    EditControl = new TRetEdit(this);
    ForwardButton = new TExGridButton(this);
    BackwardButton = new TExGridButton(this);
    ExitButton = new TExGridButton(this);
    HiliteButton = new TExGridButton(this);
    MatchCase = new TExCheckBox(this);
    struct Place {
        TControl* Control;
        int Left, Top, Width, Height;
    } places[] = {
        {EditControl, 25, 6, 110, 21}, {ForwardButton, 140, 5, 90, 23}, {BackwardButton, 235, 5, 90, 23},
        {ExitButton, 5, 7, 14, 14},    {HiliteButton, 330, 5, 90, 23},  {MatchCase, 425, 8, 120, 18},
    };
    for (const Place& p : places) {
        p.Control->SetParent(this);
        p.Control->SetBounds(p.Left, p.Top, p.Width, p.Height);
    }
    struct Glyphs {
        TExGridButton* Button;
        const char16_t *Normal, *Greyed, *Hot, *Down;
    } glyphs[] = {
        {ForwardButton, u"EXGARDOWN", u"EXGARDOWND", nullptr, nullptr},
        {BackwardButton, u"EXGARUP", u"EXGARUPD", nullptr, nullptr},
        {ExitButton, u"EXGCLOSE", nullptr, u"EXGCLOSEH", u"EXGCLOSED"},
        {HiliteButton, u"EXGHI", u"EXGHID", nullptr, nullptr},
    };
    for (const Glyphs& g : glyphs) {
        TExGridButton* b = g.Button;
        WithGlyph(g.Normal, [b](const TBitmap& G) { b->SetGlyph(G); });
        WithGlyph(g.Greyed, [b](const TBitmap& G) { b->SetGlyphDisabled(G); });
        WithGlyph(g.Hot, [b](const TBitmap& G) { b->SetGlyphHot(G); });
        WithGlyph(g.Down, [b](const TBitmap& G) { b->SetGlyphDown(G); });
    }
    for (TExGridButton* b : {ForwardButton, BackwardButton, HiliteButton}) b->SetEnabled(false);
    HiliteButton->SetAllowAllUp(true);
    HiliteButton->SetGroupIndex(1);
    EditControl->OnChange = [this](TObject*) { EditChanged(); };
    EditControl->OnReturn = [this](TObject* s) {
        if (OnForwardClick) OnForwardClick(s);
    };
    EditControl->OnCtrlReturn = [this](TObject* s) {
        if (OnBackwardClick) OnBackwardClick(s);
    };
    ForwardButton->OnClick = [this](TObject* s) {
        if (OnForwardClick) OnForwardClick(s);
    };
    BackwardButton->OnClick = [this](TObject* s) {
        if (OnBackwardClick) OnBackwardClick(s);
    };
    ExitButton->OnClick = [this](TObject* s) {
        if (OnExitClick) OnExitClick(s);
    };
    HiliteButton->OnClick = [this](TObject* s) {
        if (OnHighlightClick) OnHighlightClick(s);
    };
}

void TSearchPanel::SetColorTo(TColor Value) {
    FColorTo = Value;
    Invalidate();
}

void TSearchPanel::EditChanged() {
    bool any = !EditControl->Text().empty();
    for (TExGridButton* b : {ForwardButton, BackwardButton, HiliteButton}) b->SetEnabled(any);
    if (OnEditChange) OnEditChange(this);
}

void TSearchPanel::CreateWnd() {
    TPanel::CreateWnd();
    if (FGrid->ToolsReady()) ReportCreated();
}

void TSearchPanel::ReportCreated() {
    if (FCreatedReported) return;
    FCreatedReported = true;
    if (FGrid->Tools().OnCreatedSearchFooter) FGrid->Tools().OnCreatedSearchFooter(FGrid);
}

void TSearchPanel::Paint() {
    TPanel::Paint();
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    if (FColorTo == clNone) {
        c.Brush().SetColor(Color());
        c.FillRect(r);
    } else {
        DrawGradient(c, Color(), FColorTo, 32, r, false);
    }
    c.Pen().SetColor(FGrid->GridLineColor());
    c.MoveTo(r.Left, r.Top);
    c.LineTo(r.Right, r.Top);
}

void TExGridTools::CreateSearchPanel() {
    FSearchFooter = std::make_unique<TSearchFooter>(&FGrid, false);
    FSearchFooter->OnChange = [this](TObject*) { UpdateSearchPanel(); };
    FSearchPanel = new TSearchPanel(&FGrid);
    FSearchPanel->SetParent(&FGrid);
    FSearchPanel->SetAlign(alBottom);
    FSearchPanel->SetHeight(0);
    FSearchPanel->SetVisible(false);
    FSearchPanel->OnEditChange = [this](TObject*) { SearchPanelEditChange(); };
    FSearchPanel->OnForwardClick = [this](TObject*) { SearchPanelFindNext(); };
    FSearchPanel->OnBackwardClick = [this](TObject*) { SearchPanelFindPrev(); };
    FSearchPanel->OnExitClick = [this](TObject*) { SearchPanelClose(); };
    FSearchPanel->OnHighlightClick = [this](TObject*) { SearchPanelHighlight(); };
}

void TExGridTools::UpdateSearchPanel() {
    if (!FSearchPanel || FGrid.IsLoading()) return;
    TSearchFooter& sf = *FSearchFooter;
    TSearchPanel& p = *FSearchPanel;
    if ((p.HiliteButton->Down() && p.Visible() && !sf.Visible()) || sf.AlwaysHighLight()) UnHilightInGrid(false);
    p.SetColor(sf.Color());
    p.SetColorTo(sf.ColorTo());
    p.ForwardButton->SetCaption(sf.FindNextCaption());
    p.BackwardButton->SetCaption(sf.FindPrevCaption());
    p.HiliteButton->SetCaption(sf.HighLightCaption());
    p.MatchCase->SetCaption(sf.MatchCaseCaption());
    struct HintOf {
        TControl* Control;
        const String& Hint;
    } hints[] = {{p.ForwardButton, sf.HintFindNext()},
                 {p.BackwardButton, sf.HintFindPrev()},
                 {p.ExitButton, sf.HintClose()},
                 {p.HiliteButton, sf.HintHighlight()}};
    for (const HintOf& h : hints) {
        h.Control->SetHint(h.Hint);
        h.Control->SetShowHint(!h.Hint.empty());
    }
    p.Font().Assign(&sf.Font());
    p.HiliteButton->SetVisible(sf.ShowHighLight());
    p.ExitButton->SetVisible(sf.ShowClose());
    p.MatchCase->SetVisible(sf.ShowMatchCase());
    p.BackwardButton->SetVisible(sf.ShowFindPrev());
    p.ForwardButton->SetVisible(sf.ShowFindNext());
    p.MatchCase->SetLeft(sf.ShowHighLight() ? 425 : 330);
    if (sf.Visible()) {
        p.SetVisible(true);
        p.ReportCreated();
        p.SetHeight(32);
        // The current row in view is not left under the panel, also at the view's end.
        if (FGrid.Row() <= FGrid.TopRow() + FGrid.VisibleRowCount()) FGrid.ScrollRowAboveSearchFooter(FGrid.Row());
    } else {
        p.SetHeight(0);
        p.SetVisible(false);
        // A view scrolled past its last page for the panel comes back to it.
        if (FGrid.HandleAllocated()) FGrid.SetTopRow(FGrid.TopRow());
    }
}

TFindParams TExGridTools::PanelParams(bool Stepping) {
    TSearchFooter& sf = *FSearchFooter;
    TFindParams p{fnAutoGoto};
    if (FSearchPanel->HiliteButton->Down()) p.Include(fnIgnoreHTMLTags);
    if (FSearchPanel->MatchCase->Checked()) p.Include(fnMatchCase);
    if (sf.SearchActiveColumnOnly()) p.Include(fnFindInCurrentCol);
    if (sf.SearchMatchStart()) p.Include(fnMatchStart);
    if (!Stepping && sf.SearchFixedCells()) p.Include(fnIncludeFixed);
    if (!Stepping && sf.SearchHiddenRows()) p.Include(fnIncludeHiddenRows);
    if (sf.SearchDirection() == sdLeftRight) p.Include(fnDirectionLeftRight);
    if (sf.SearchColumn() >= 0 && sf.SearchColumn() < FGrid.ColCount()) {
        p.Include(fnFindInPresetCol);
        FindCol = sf.SearchColumn();
    }
    return p;
}

// The search text highlighted (or not) where the footer searches, normal cells only.
void TExGridTools::PanelHighlight(bool On) {
    int col = FSearchFooter->SearchColumn();
    String text = FSearchPanel->EditControl->Text();
    bool doCase = FSearchPanel->MatchCase->Checked();
    if (col == -1) {
        if (On) HilightInGrid(false, doCase, text);
        else UnHilightInGrid(false);
    } else {
        if (On) HilightInCol(false, doCase, col, text);
        else UnHilightInCol(false, col);
    }
}

void TExGridTools::SearchPanelEditChange() {
    String text = FSearchPanel->EditControl->Text();
    bool defaultSearch = true;
    if (OnSearchEditChange) OnSearchEditChange(&FGrid, text, defaultSearch);
    if (!defaultSearch || !FSearchFooter->AutoSearch()) return;
    TFindParams params = PanelParams(false);
    bool highlight = FSearchPanel->HiliteButton->Down() || FSearchFooter->AlwaysHighLight();
    if (highlight) PanelHighlight(false);
    TColor colour = clWindow;
    if (!text.empty()) {
        SearchCell = Find({-1, -1}, text, params);
        FGrid.DoSearchFooterAction(text, SearchCell.X, SearchCell.Y, saFindFirst);
        if (SearchCell.X < 0) {
            colour = clRed;
        } else {
            if (SearchCell.Y < FGrid.RowCount() && SearchCell.X < FGrid.ColCount())
                FGrid.ScrollInView(SearchCell.X, SearchCell.Y);
            if (highlight) PanelHighlight(true);
        }
    }
    if (FSearchPanel->EditControl->Color() != colour) {
        FSearchPanel->EditControl->SetColor(colour);
        FSearchPanel->EditControl->Invalidate();
    }
}

void TExGridTools::ScrollFoundInView() {
    if (SearchCell.X >= 0 && SearchCell.Y < FGrid.RowCount() && SearchCell.X < FGrid.ColCount())
        FGrid.ScrollInView(SearchCell.X, SearchCell.Y);
}

// Keeps the current row clear of the panel and of a floating footer below it.
void TExGridTools::PanelRowStep() {
    TExStringGrid& g = FGrid;
    int v = g.FloatingFooter().Visible() ? 0 : 1;
    if (g.Row() > g.TopRow() + g.VisibleRowCount() + v - 3 && g.RowCount() > g.VisibleRowCount() + g.FixedRows() + 1 - v)
        g.SetTopRowEx(g.TopRow() + 2);
}

void TExGridTools::SearchPanelFindNext() {
    String text = FSearchPanel->EditControl->Text();
    if (!FSearchFooter->AutoSearch()) {
        if (text != FSearchFooter->LastSearch()) SearchCell = {-1, -1};
        FSearchFooter->SetLastSearch(text);
    }
    SearchCell = Find(SearchCell, text, PanelParams(true));
    ScrollFoundInView();
    PanelRowStep();
    FGrid.DoSearchFooterAction(text, SearchCell.X, SearchCell.Y, saFindNext);
    FSearchPanel->Invalidate();
}

void TExGridTools::SearchPanelFindPrev() {
    String text = FSearchPanel->EditControl->Text();
    if (!FSearchFooter->AutoSearch()) {
        if (text != FSearchFooter->LastSearch()) SearchCell = {-1, -1};
        FSearchFooter->SetLastSearch(text);
    }
    TFindParams p = PanelParams(true);
    p.Exclude(fnDirectionLeftRight);  // only the next search goes along the rows
    p.Include(fnBackward);
    SearchCell = Find(SearchCell, text, p);
    PanelRowStep();
    ScrollFoundInView();
    FGrid.DoSearchFooterAction(text, SearchCell.X, SearchCell.Y, saFindPrevious);
    FSearchPanel->Invalidate();
}

void TExStringGrid::DoSearchFooterAction(const String& Value, int ACol, int ARow, TSearchAction SearchAction) {
    if (FTools->OnSearchFooterAction) FTools->OnSearchFooterAction(this, Value, ACol, ARow, SearchAction);
}

void TExGridTools::SearchPanelClose() {
    if (OnSearchFooterClose) OnSearchFooterClose(&FGrid);
    FSearchFooter->SetVisible(false);
}

void TExGridTools::SearchPanelHighlight() { PanelHighlight(FSearchPanel->HiliteButton->Down()); }

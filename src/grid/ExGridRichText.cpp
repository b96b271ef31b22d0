// Drawing rich-text cells through the grid's hidden rich edit, their text
// as saves write it, and the room a cell's text needs (plain, markup and
// rich text alike).
#include "grid/ExRichEdit.h"

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"
#include "grid/foundation/MarkupText.h"

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int TwipsPerInch = 1440, ScreenDpi = 96;
constexpr int ScrollBarRoom = 17;

int ToTwips(int Pixels) { return int(std::lround(double(Pixels) * TwipsPerInch / ScreenDpi)); }

}  // namespace

void TExStringGrid::DrawCellRTF(int ACol, int ARow, TRect ARect, TCanvas& ACanvas) {
    if (IsDesigning()) return;
    TExRichEdit* re = RichEdit();
    CellToRich(ACol, ARow, re);
    const int dc = DisplColIndex(ACol);
    TGridRect sel = Selection();
    const bool inSel = dc >= std::min(sel.Left, sel.Right) && dc <= std::max(sel.Left, sel.Right) &&
                       ARow >= std::min(sel.Top, sel.Bottom) && ARow <= std::max(sel.Top, sel.Bottom);
    const bool focusCell = dc == Col() && ARow == Row() && Focused() && !Options().Contains(goDrawFocusSelected);
    if (inSel && !focusCell && !FSelectionRTFKeep && FSelectionTextColor != clNone) {
        re->SelectAll();
        TRichFormat f = re->SelAttributes();
        f.Color = FSelectionTextColor;
        re->SetSelAttributes(f);
    }
    const int w = ARect.Right - ARect.Left - 2 * FXYOffset.X, h = ARect.Bottom - ARect.Top - 2 * FXYOffset.Y;
    const int left = ToTwips(ARect.Left + FXYOffset.X), top = ToTwips(ARect.Top + FXYOffset.Y);
    re->DrawInto(ACanvas, Rect(left, top, left + ToTwips(w), top + ToTwips(h)));
}

TPoint TExStringGrid::GetCellTextSize(int ACol, int ARow, bool VS, bool SB) {
    String text = GetFormattedCell(ACol, ARow);
    const int kind = GridTextKind(text);
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    TCanvas& c = measure.Canvas();
    c.Font().Assign(&Font());
    TBrush brush;
    DoGetCellColor(ACol, ARow, {}, brush, c.Font());
    if (FZoomFactor != 0) c.Font().SetSize(std::max(1, c.Font().Size() + FZoomFactor));
    if (kind == FormulaTextKind) text = GetCalcCell(ACol, ARow);

    const int dc = DisplColIndex(ACol);
    TRect R = dc >= 0 && dc < ColCount() && ARow >= 0 && ARow < RowCount() ? CellRect(dc, ARow) : TRect{};
    R.Left += FXYOffset.X;
    R.Top += FXYOffset.Y;
    R.Right -= FXYOffset.X;
    R.Bottom -= FXYOffset.Y;
    if (SB) R.Right -= ScrollBarRoom;

    if (kind == MarkupTextKind) {
        const TRect room{R.Left, R.Top, VS ? R.Right : R.Left + 65535, R.Top + 65535};
        const TMarkupDrawResult out = MarkupAt(text, room, -1, -1, c.Font());
        return {out.ExtentX + 2, out.ExtentY + 2};
    }
    if (kind == RichTextKind && !IsDesigning()) {
        // The rich edit reports what its document needs at the cell's width.
        TExRichEdit* re = RichEdit();
        re->SetBounds(0, 0, std::max(0, R.Right - R.Left), std::max(0, R.Bottom - R.Top));
        CellToRich(ACol, ARow, re);
        re->SetWordWrap(WordWrap());
        const TSize need = re->RequestedSize();
        re->SetBounds(0, 0, 0, 0);
        return {need.cx, need.cy + 4};
    }

    if (VS) {
        TRect t{R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2};
        c.DrawText(text, t, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL);
        return {t.Right - t.Left, t.Bottom - t.Top};
    }
    std::vector<String> lines;
    size_t start = 0;
    for (;;) {
        const size_t br = text.find(u'\n', start);
        String line = text.substr(start, br == String::npos ? String::npos : br - start);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        lines.push_back(line);
        if (br == String::npos || !Tools().Multilinecells) break;
        start = br + 1;
    }
    int width = 0;
    for (const String& line : lines) width = std::max(width, c.TextWidth(line));
    return {width, int(lines.size()) * c.TextHeight(u"gh")};
}

String TExStringGrid::SaveCell(int ACol, int ARow) {
    String s = FSaveVirtCells ? GetFormattedCell(ACol, ARow) : GetGridCell(ACol, ARow);
    // A check box that never had a text saves its state; a grey box saves as unchecked.
    if (const TCellType type = s.empty() ? GetCellType(ACol, ARow) : ctEmpty;
        type == ctCheckBox || type == ctTriStateCheckBox) {
        TCheckBoxState state = cbUnchecked;
        GetCheckBoxState(ACol, RealRowIndex(ARow), state);
        s = state == cbChecked ? DoGetCheckTrue(ACol, ARow) : DoGetCheckFalse(ACol, ARow);
    }
    const int kind = CellTextKind(s, true);
    if (kind == MarkupTextKind && !FSaveWithHTML) {
        s = StripHTMLTags(s);
    } else if (kind == RichTextKind) {
        if (FSaveWithRTF) {
            std::erase_if(s, [](Char ch) { return ch == u'\r' || ch == u'\n'; });
        } else {
            TExRichEdit* re = RichEdit();
            CellToRich(ACol, ARow, re);
            s = re->Text();
        }
    }
    if (OnSaveCell) OnSaveCell(this, ACol, ARow, s);
    return s;
}

bool TExStringGrid::SaveCellView(int ACol, int ARow, std::u16string_view& Text) {
    if (OnSaveCell) return false;
    if (FSaveVirtCells) {
        if (OnGetFloatFormat || !DisplTextView(ACol, ARow, Text)) return false;
    } else {
        Text = GetGridCell(ACol, ARow);
    }
    // An empty cell may be a check box that saves its state.
    if (Text.empty()) return false;
    const int kind = CellTextKind(Text, true);
    return kind != RichTextKind && (kind != MarkupTextKind || FSaveWithHTML);
}

void TExStringGrid::LoadCell(int ACol, int ARow, const String& Value) {
    if (!OnLoadCell) {
        SetGridCell(ACol, ARow, Value);
        return;
    }
    String s = Value;
    OnLoadCell(this, ACol, ARow, s);
    SetGridCell(ACol, ARow, s);
}

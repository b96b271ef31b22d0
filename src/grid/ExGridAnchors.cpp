// Links in cell texts: the anchors of markup texts and, with URLShow, texts
// that are a link themselves. A press follows a link (a cell reference moves
// the current cell, anything else opens in the desktop's program); the moving
// mouse reports entering and leaving them and, when asked, underlines only the
// link under it. Addresses in display texts can be turned into links.
#include "grid/ExGrid.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"

#include "framework/Forms.h"
#include "framework/Process.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace {

// A reference to a cell of the grid itself: "cell://R<row>C<col>".
constexpr const char16_t* CellLinkPrefix = u"CELL://";

}  // namespace

TMarkupDrawResult TExStringGrid::MarkupAt(const String& Text, const TRect& R, int X, int Y, TFont& AFont,
                                          const String& ControlID) {
    TMarkupDrawArgs in;
    in.MeasureOnly = true;
    in.HitTestOnly = !ControlID.empty();
    in.ControlID = ControlID;
    in.MouseX = X;
    in.MouseY = Y;
    in.Images = FGridImages;
    in.Pictures = FPictureContainer;
    in.PictureCache = &FImageCache;
    TMarkupDrawResult out;
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    measure.Canvas().Font().Assign(&AFont);
    DrawHTMLText(measure.Canvas(), Text, R, in, out);
    return out;
}

TRect TExStringGrid::MarkupRect(int ACol, int ARow, TFont*& AFont) {
    // The text stands inside the cell's margins, right of a check box.
    TRect R = CellRect(ACol, ARow);
    R.Left += FXYOffset.X + 1;
    R.Top += FXYOffset.Y + 1;
    R.Right -= FXYOffset.X;
    if (HasCheckBox(RealColIndex(ACol), ARow)) R.Left += FControlLook.CheckSize;
    ScrolledTextRect(RealColIndex(ACol), ARow, R);
    const bool fixed = ARow < TCustomGrid::FixedRows() || ACol < TCustomGrid::FixedCols();
    AFont = fixed ? &FFixedFont : &Font();
    return R;
}

String TExStringGrid::AnchorAt(int ACol, int ARow, int X, int Y, String* Title, int* Link) {
    if (Link) *Link = -1;
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return {};
    const int N = RealColIndex(ACol);
    const String text = GetCellEx(N, ARow);
    if (GridTextKind(text) != MarkupTextKind) return FURLShow && IsURLText(text) ? text : String();
    TFont* font = nullptr;
    const TRect R = MarkupRect(ACol, ARow, font);
    const TMarkupDrawResult out = MarkupAt(text, R, X, Y, *font);
    if (Link) *Link = 0;
    // In-text controls are not links.
    if (!out.ControlType.empty() || out.AnchorHref.empty()) return {};
    if (Title) *Title = out.AnchorTitle;
    if (Link) *Link = std::max(out.HotAnchorNumber, 0);
    return out.AnchorHref;
}

bool TExStringGrid::AnchorPress(int ACol, int ARow, int X, int Y) {
    const String anchor = AnchorAt(ACol, ARow, X, Y);
    if (anchor.empty()) return false;
    bool autoHandle = true;
    if (OnAnchorClick) OnAnchorClick(this, ARow, ACol, anchor, autoHandle);
    if (!autoHandle) return true;
    const size_t at = AnsiUpperCase(anchor).find(CellLinkPrefix);
    if (at != String::npos) {
        TPoint cell;
        // A reference outside the grid goes nowhere.
        if (ParseRowColReference(anchor.substr(at + 7), cell) && cell.X >= 0 && cell.Y >= 0 &&
            cell.X < ColCount() && cell.Y < RowCount())
            MoveColRow(cell.X, cell.Y, true, true);
        return true;
    }
    try {
        OpenInDefaultProgram(anchor);
    } catch (const EOSError&) {
        // Without a desktop program the link stays where it is.
    }
    return true;
}

bool TExStringGrid::TrackAnchor(int ACol, int ARow, int X, int Y) {
    String title;
    int link = -1;
    const String anchor = AnchorAt(ACol, ARow, X, Y, &title, &link);
    if (FURLUnderlineOnHover) {
        // The painter underlines the link of the base cell of a merged area.
        int bc = ACol, br = ARow;
        if (link >= 0) ResolveBaseCell(ACol, ARow, bc, br);
        TrackHoverLink(link >= 0 ? TPoint{bc, br} : TPoint{-1, -1}, std::max(link, 0));
    }
    if (anchor.empty()) {
        if (!FAnchor.empty()) {
            const String left = FAnchor;
            FAnchor.clear();
            if (OnAnchorExit) OnAnchorExit(this, ARow, ACol, left);
        }
        return false;
    }
    String hint = title;
    if (hint.empty() && OnAnchorHint) OnAnchorHint(this, ARow, ACol, hint);
    // Another link's hint replaces the one shown.
    if (anchor != FAnchor && hint != FLastAnchorHint && !FLastAnchorHint.empty()) {
        FLastAnchorHint = hint;
        if (THintWindow* w = Application->HintWindow(); w && w->IsHintShowing()) w->ReleaseHandle();
    }
    if (anchor != FAnchor) {
        FAnchor = anchor;
        if (OnAnchorEnter) OnAnchorEnter(this, ARow, ACol, anchor);
    }
    return true;
}

void TExStringGrid::TrackHoverLink(TPoint Cell, int Link) {
    if (Cell == FHoverCell && Link == FHoverLink) return;
    const TPoint old = FHoverCell;
    FHoverCell = Cell;
    FHoverLink = Link;
    if (old.X >= 0 && old.Y >= 0) RepaintCell(old.X, old.Y);
    if (Cell.X >= 0 && Cell.Y >= 0 && Cell != old) RepaintCell(Cell.X, Cell.Y);
}

void TExStringGrid::LinkURLInText(String& Value) const {
    if (!FURLShowInText) return;
    // The address that starts first in the text becomes the link, whichever its kind.
    static const char16_t* const Prefixes[] = {u"HTTP://", u"WWW.",    u"MAILTO:", u"HTTPS://",
                                               u"NNTP://", u"FILE://", u"FTP://"};
    const String upper = AnsiUpperCase(Value);
    const char16_t* first = nullptr;
    size_t at = String::npos;
    for (const char16_t* p : Prefixes) {
        const size_t i = upper.find(p);
        if (i < at) {
            at = i;
            first = p;
        }
    }
    String linked;
    if (first && MakeURLAnchor(Value, first, linked)) Value = linked;
}

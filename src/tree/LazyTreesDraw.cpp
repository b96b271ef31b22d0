// The draw tree: rows, lines, buttons, check boxes and images come from the
// base; the content and its width come from the owner.

#include "tree/LazyTrees_p.h"

int TCustomLazyDrawTree::QueryCellTextWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) {
    int Width = 2 * FTextMargin;
    if (OnGetNodeWidth) OnGetNodeWidth(this, Canvas ? Canvas : &this->Canvas(), Node, Column, Width);
    return Width;
}

TPoint TCustomLazyDrawTree::GetCellContentMargin(PLazyNode Node, TColumnIndex Column,
                                                 TLTCellContentMarginType CellContentMarginType, TCanvas* Canvas) {
    TPoint Margin{0, 0};
    if (OnGetCellContentMargin)
        OnGetCellContentMargin(this, Canvas ? Canvas : &this->Canvas(), Node, Column, CellContentMarginType, Margin);
    return Margin;
}

void TCustomLazyDrawTree::PaintCellContent(TLTPaintInfo& PaintInfo) {
    if (OnDrawNode) OnDrawNode(this, PaintInfo);
}

// Controls placed over cells. A cell keeps its control in its properties, so
// the control travels with the cell through every move of cells; the list
// here only says where they are now, and the update puts each control over
// its cell (hidden while the cell is out of view or hidden).
#include "grid/ExGrid.h"

#include <vector>

namespace {

// A placed control covers its cell's grid lines on the left and top.
TRect OverCell(TRect R) { return {R.Left - 1, R.Top - 1, R.Right, R.Bottom}; }

TControl* ControlOf(TObject* CellObject) {
    auto* props = dynamic_cast<TCellProperties*>(CellObject);
    return props ? props->Control() : nullptr;
}

}  // namespace

TControl* TExStringGrid::CellControls(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return nullptr;
    return ControlOf(GetGridObject(RealColIndex(ACol), ARow));
}

void TExStringGrid::SetCellControls(int ACol, int ARow, TControl* Control) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        throw EExGridError(u"Invalid cell " + IntToStr(ACol) + u"," + IntToStr(ARow) + u" accessed");
    const int real = RealColIndex(ACol);
    if (const int at = FControlList.ControlIndex(real, ARow); at >= 0) FControlList.RemoveControl(at);
    if (!Control) {
        if (CellControls(ACol, ARow)) GetCellProperties(real, ARow)->SetControl(nullptr);
        return;
    }
    FHasPlacedControls = true;
    FControlList.AddControl(real, ARow, Control);
    GetCellProperties(real, ARow)->SetControl(Control);
    Control->FreeNotification(this);
    Control->SetParent(this);
    const TRect R = OverCell(CellRect(ACol, ARow));
    Control->SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}

void TExStringGrid::CellControlsUpdate(bool RebuildList) {
    if (!HandleAllocated()) return;
    if (RebuildList) {
        std::vector<TControl*> before;
        for (int i = 0; i < FControlList.Count(); ++i) before.push_back(FControlList.GetControl(i)->Control);
        FControlList.Clear();
        for (int c = 0; c < TotalColCount(); ++c)
            for (int r = 0; r < RowCount(); ++r)
                if (TControl* ctl = ControlOf(GetGridObject(c, r))) FControlList.AddControl(c, r, ctl);
        // A control whose cell went with its row or column would float over other cells.
        for (TControl* ctl : before)
            if (!HasPlacedControl(ctl)) ctl->SetVisible(false);
        // Controls of hidden rows wait, hidden, in their rows' saved cells.
        for (const TGridItem& item : FGridItems)
            for (int c = 0; c < item.Items().Count(); ++c)
                if (TControl* ctl = ControlOf(item.Object(c))) ctl->SetVisible(false);
    }
    CellScrollBarUpdate();
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    for (int i = 0; i < FControlList.Count(); ++i) {
        const TControlItem* item = FControlList.GetControl(i);
        if (item->X < TotalColCount() && IsHiddenColumn(item->X)) {
            item->Control->SetVisible(false);
            continue;
        }
        const int A = DisplColIndex(item->X), B = item->Y;
        // Controls over fixed cells stay where they were put.
        if (A < fc || B < fr) continue;
        const bool inView = A >= LeftCol() && A <= LeftCol() + VisibleColCount() && B >= TopRow() &&
                            B <= TopRow() + VisibleRowCount() && B < RowCount();
        if (!inView) {
            item->Control->SetVisible(false);
            continue;
        }
        const TRect R = OverCell(CellRect(A, B));
        item->Control->SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
        item->Control->SetVisible(true);
        item->Control->Invalidate();
    }
}

bool TExStringGrid::HasPlacedControl(TControl* Control) const {
    for (int i = 0; i < FControlList.Count(); ++i)
        if (FControlList.GetControl(i)->Control == Control) return true;
    return false;
}

void TExStringGrid::ForgetCellControl(TComponent* AComponent) {
    bool placed = false;
    for (int i = FControlList.Count() - 1; i >= 0; --i)
        if (FControlList.GetControl(i)->Control == AComponent) {
            FControlList.RemoveControl(i);
            placed = true;
        }
    if (!placed) return;
    auto forget = [AComponent](TObject* CellObject) {
        if (auto* props = dynamic_cast<TCellProperties*>(CellObject); props && props->Control() == AComponent)
            props->SetControl(nullptr);
    };
    for (int c = 0; c < TotalColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) forget(GetGridObject(c, r));
    for (const TGridItem& item : FGridItems)
        for (int c = 0; c < item.Items().Count(); ++c) forget(item.Object(c));
}

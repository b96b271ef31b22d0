// The grid in drags with other windows and programs: what a drop does to
// the grid, the drop arrows and scrolling while a drag passes over it, and
// the drags the grid starts.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/ExgDD.h"

#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"

#include <cstdlib>

void GridOleInitialize() {
    // The data-transfer layer needs no start; the formats get their numbers now.
    CF_RTF(), CF_GRIDCOL(), CF_GRIDCELLS(), CF_URL();
}

// ===== the drop target

class TGridDropTarget : public TEXGDropTarget {
public:
    explicit TGridDropTarget(TExStringGrid& AGrid) : FGrid(AGrid), FTools(AGrid.Tools()) {}
    HRESULT DragOver(Cardinal KeyState, TPoint Point, Cardinal& Effect) override {
        TEXGDropTarget::DragOver(KeyState, Point, Effect);
        FLastEffect = Effect;
        return S_OK;
    }
    HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                      Cardinal& Effect) override {
        TEXGDropTarget::DragEnter(Data, KeyState, Point, Effect);
        const Cardinal allowed = Effect;
        // The place is judged at once, not only at the next move.
        if (Effect != DROPEFFECT_NONE) {
            Effect = allowed;
            DragOver(KeyState, Point, Effect);
        }
        FLastEffect = Effect;
        return S_OK;
    }
    // A drop where the last answer was "none" is a leave, as the platform has it.
    HRESULT Drop(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                 Cardinal& Effect) override {
        if (FLastEffect == DROPEFFECT_NONE) {
            DragLeave();
            Effect = DROPEFFECT_NONE;
            return S_OK;
        }
        return TEXGDropTarget::Drop(Data, KeyState, Point, Effect);
    }

protected:
    void DragMouseMove(TPoint P, bool& Allow, TDropFormats Formats) override;
    void DragMouseLeave() override { HideArrows(); }
    void DropText(TPoint P, const String& Text) override;
    void DropStream(TPoint P, std::unique_ptr<TMemoryStream> Stream) override;
    void DropCol(TPoint P, int Col) override;
    void DropRTF(TPoint P, const String& Text) override { DropIntoCell(P, Text, false); }
    void DropURL(TPoint P, const String& URL) override { DropIntoCell(P, URL, true); }
    void DropFiles(TPoint P, TStringList& Names) override;

private:
    // The cell under the screen point (-1 outside) and whether it is the
    // place below the last row where whole rows are appended.
    TPoint CellAt(TPoint P, bool Column, bool& Append);
    void HideArrows(bool All = true);
    void DropIntoCell(TPoint P, const String& Text, bool URL);
    TExStringGrid& FGrid;
    TExGridTools& FTools;
    Cardinal FLastEffect = DROPEFFECT_NONE;
};

TPoint TGridDropTarget::CellAt(TPoint P, bool Column, bool& Append) {
    const TPoint c = FGrid.ScreenToClient(P);
    int col = -1, row = -1;
    FGrid.MouseToCell(c.X, c.Y, col, row);
    Append = false;
    const TDragDropSettings& s = FGrid.DragDropSettings();
    if (row == -1 && !Column && s.OleEntireRows() && s.OleAppendRows() && c.X >= 0 && c.X < FGrid.ClientWidth()) {
        const TRect last = FGrid.CellRect(FGrid.LeftCol(), FGrid.RowCount() - 1);
        if (c.Y >= last.Bottom) {
            col = FGrid.FixedCols();
            row = FGrid.RowCount() - 1;
            Append = true;
        }
    }
    return {col, row};
}

void TGridDropTarget::HideArrows(bool All) {
    FGrid.Arrow(arrLeft)->SetVisible(false);
    FGrid.Arrow(arrDown)->SetVisible(false);
    if (All) FGrid.Arrow(arrUp)->SetVisible(false);
}

void TGridDropTarget::DragMouseMove(TPoint P, bool& Allow, TDropFormats Formats) {
    const bool column = Formats.Contains(dfCol);
    bool append = false;
    TPoint cell = CellAt(P, column, append);
    const TPoint client = FGrid.ScreenToClient(P);
    Allow = cell.X >= 0 && cell.Y >= 0;
    const int fixedRows = FGrid.FixedRows(), fixedCols = FGrid.FixedCols();

    // Scrolling while the pointer is at an edge.
    if (Allow && !column) {
        if ((cell.Y == 0 && FGrid.TopRow() > fixedRows) ||
            (client.Y < 8 && fixedRows == 0 && FGrid.TopRow() > 0))
            FGrid.SetTopRow(FGrid.TopRow() - 1);
        else if (cell.Y == FGrid.TopRow() + FGrid.VisibleRowCount() && cell.Y < FGrid.RowCount())
            FGrid.SetTopRow(FGrid.TopRow() + 1);
        if (FTools.HorzScrollTick()) {
            if (cell.X == 0 && FGrid.LeftCol() > fixedCols)
                FGrid.SetLeftCol(FGrid.LeftCol() - 1);
            else if (cell.X == FGrid.LeftCol() + FGrid.VisibleColCount() && cell.X < FGrid.ColCount())
                FGrid.SetLeftCol(FGrid.LeftCol() + 1);
        }
    }

    if (!column) {
        if (cell.Y >= 0 && cell.Y < fixedRows && !(FGrid.FixedRowAlways() && FGrid.RowCount() == 1)) Allow = false;
    } else if (cell.X < 0 && client.X >= 0 && client.Y >= 0 && client.Y < FGrid.ClientHeight()) {
        cell = {FGrid.ColCount(), 0};
        Allow = true;
    } else {
        Allow = cell.Y >= 0 && cell.Y < fixedRows && cell.X >= fixedCols;
    }
    if (Formats.Contains(dfFile) || Formats.Contains(dfGridCells)) Allow = true;
    if (FTools.OnOleDragOver) FTools.OnOleDragOver(&FGrid, cell.Y, cell.X, Allow);
    if (!Formats.Contains(dfFile)) Allow = Allow && cell.X >= 0 && cell.Y >= 0;

    // Where the drop would land.
    if (Allow && column) {
        const TRect r = cell.X < FGrid.ColCount() ? FGrid.CellRect(cell.X, cell.Y)
                                                  : [&] {
                                                        TRect l = FGrid.CellRect(FGrid.ColCount() - 1, 0);
                                                        return TRect{l.Right, l.Top, l.Right, l.Bottom};
                                                    }();
        const TPoint above = FGrid.ClientToScreen({r.Left, r.Top - 8});
        const TPoint below = FGrid.ClientToScreen({r.Left, r.Bottom});
        FGrid.Arrow(arrDown)->SetBounds(above.X, above.Y, 11, 10);
        FGrid.Arrow(arrUp)->SetBounds(below.X, below.Y, 11, 10);
        FGrid.Arrow(arrDown)->SetVisible(true);
        FGrid.Arrow(arrUp)->SetVisible(true);
        FGrid.Arrow(arrLeft)->SetVisible(false);
    } else if (Allow && cell.X >= 0 && cell.Y >= 0) {
        int col = FGrid.DragDropSettings().OleEntireRows() ? fixedCols : cell.X;
        int row = cell.Y;
        if (row == 0 && FGrid.FixedRowAlways()) row = 1;
        TRect r = FGrid.CellRect(col, std::min(row, FGrid.RowCount() - 1));
        if (append || row >= FGrid.RowCount()) r.Top = r.Bottom;
        const TPoint at = FGrid.ClientToScreen({r.Left - 10, r.Top});
        FGrid.Arrow(arrLeft)->SetBounds(at.X, at.Y, 10, 11);
        FGrid.Arrow(arrLeft)->SetVisible(true);
        FGrid.Arrow(arrUp)->SetVisible(false);
        FGrid.Arrow(arrDown)->SetVisible(false);
    } else {
        HideArrows();
    }
}

void TGridDropTarget::DropText(TPoint P, const String& Text) {
    bool append = false;
    TPoint cell = CellAt(P, false, append);
    int acol = cell.X, arow = cell.Y;
    bool allow = true;
    int cols = 0, rows = 0;
    TExGridTools::GetClipTextSize(Text, cols, rows);
    const int n = rows + 1;
    const TDragDropSettings& s = FGrid.DragDropSettings();
    const bool rowSelect = FGrid.Options().Contains(goRowSelect);
    if (rowSelect) acol = s.OleEntireRows() ? 0 : FGrid.FixedCols();
    if (FTools.OnOleDrop) FTools.OnOleDrop(&FGrid, arow, acol, Text, allow);
    TGridRect sel = FGrid.Selection();
    if (allow && acol >= 0 && arow >= 0) {
        // A move inside the grid removes its rows afterwards: they moved down by the rows inserted
        // (the chosen-row flags move with the inserted rows by themselves). Rows pasted over stay put.
        if (s.OleRemoveRows() && s.OleInsertRows() && FTools.FDropSelection.Top >= arow) {
            FTools.FDropSelection.Top += n;
            FTools.FDropSelection.Bottom += n;
        }
        if (arow == 0 && FGrid.RowCount() == 1 && FGrid.FixedRowAlways()) arow = 1;
        if (s.OleInsertRows()) {
            const int top = FGrid.TopRow();
            if (append) {
                FGrid.SetRowCount(FGrid.RowCount() + n);
                ++arow;
            } else {
                FGrid.InsertRows(arow, n);
            }
            FGrid.SetTopRow(top > FGrid.FixedRows() ? std::min(top + 1, FGrid.RowCount() - 1) : top);
        }
        int r = 0, c = 0;
        FTools.PasteText(acol, arow, r, c, Text);
        acol = std::max(acol, FGrid.FixedCols());
        const int right = rowSelect ? acol + cols - FGrid.FixedCols() : acol + cols - 1;
        sel = TGridRect{std::max(acol, 0), arow, std::min(std::max(right, acol), FGrid.ColCount() - 1),
                        std::min(arow + rows, FGrid.RowCount() - 1)};
        FGrid.SetSelection(sel);
    }
    HideArrows(false);
    if (FGrid.MoveButton()) FGrid.MoveButton()->SetVisible(false);
    if (FTools.OnOleDropped) FTools.OnOleDropped(&FGrid, sel);
}

void TGridDropTarget::DropIntoCell(TPoint P, const String& Text, bool URL) {
    bool append = false;
    const TPoint cell = CellAt(P, false, append);
    bool allow = true;
    if (URL) {
        if (FTools.OnOleDropURL) FTools.OnOleDropURL(&FGrid, cell.Y, cell.X, Text, allow);
    } else if (FTools.OnOleDrop) {
        FTools.OnOleDrop(&FGrid, cell.Y, cell.X, Text, allow);
    }
    if (allow && cell.X >= 0 && cell.Y >= 0) FGrid.SetCells(cell.X, cell.Y, Text);
    HideArrows(false);
}

void TGridDropTarget::DropFiles(TPoint P, TStringList& Names) {
    if (Names.Count() != 1) return;
    const String name = Names.Strings(0);
    bool append = false;
    const TPoint cell = CellAt(P, false, append);
    bool allow = true;
    // The arrows go also when the file does not load.
    struct Hide {
        TGridDropTarget& T;
        ~Hide() { T.HideArrows(false); }
    } hide{*this};
    if (FTools.OnOleDropFile) FTools.OnOleDropFile(&FGrid, cell.Y, cell.X, name, allow);
    if (allow) {
        const String upper = UpperCase(name);
        if (upper.find(u".CSV") != String::npos) {
            bool load = true;
            if (FTools.OnOleDrop) FTools.OnOleDrop(&FGrid, -1, -1, name, load);
            if (load) FTools.LoadFromCSV(name, 0);
        }
        if (upper.find(u".XLS") != String::npos) {
            bool load = true;
            if (FTools.OnOleDrop) FTools.OnOleDrop(&FGrid, -1, -1, name, load);
            if (load) FTools.LoadFromXLS(name);
        }
    }
}

void TGridDropTarget::DropStream(TPoint P, std::unique_ptr<TMemoryStream> Stream) {
    bool append = false;
    const TPoint cell = CellAt(P, false, append);
    if (Stream && cell.X >= 0 && cell.Y >= 0) {
        Stream->SetPosition(0);
        FTools.LoadAtPointFromBinStream(cell, *Stream);
    }
    HideArrows(false);
    if (FGrid.MoveButton()) FGrid.MoveButton()->SetVisible(false);
    if (FTools.OnOleDropped) FTools.OnOleDropped(&FGrid, FGrid.Selection());
}

void TGridDropTarget::DropCol(TPoint P, int Col) {
    bool append = false;
    TPoint cell = CellAt(P, true, append);
    const TPoint client = FGrid.ScreenToClient(P);
    if (cell.X < 0 && client.X >= 0) cell.X = FGrid.ColCount();
    HideArrows();
    if (FGrid.MoveButton()) FGrid.MoveButton()->SetVisible(false);
    const bool enh = FGrid.EnhRowColMove();
    if (FTools.FOleDragCol != -1) {
        // A column brought from a list box: shown again where it was dropped.
        if (FTools.FOleDragList && FTools.FOleDragIndex >= 0 &&
            FTools.FOleDragIndex < FTools.FOleDragList->Items().Count())
            FTools.FOleDragList->Items().Delete(FTools.FOleDragIndex);
        const std::vector<int>& order = FGrid.ColumnOrder();
        const auto it = std::find(order.begin(), order.end(), FTools.FOleDragCol);
        const int pos = it == order.end() ? 0 : int(it - order.begin());
        FGrid.UnHideColumn(pos);
        FGrid.SetEnhRowColMove(true);
        const int to = std::min(cell.X, FGrid.ColCount() - 1);
        if (FGrid.DisplColIndex(pos) != to) FGrid.MoveColumn(FGrid.DisplColIndex(pos), to);
        FGrid.SetEnhRowColMove(enh);
        FTools.FOleDragCol = -1;
    } else if (FGrid.DragDropSettings().OleColumnReorder()) {
        cell.X = std::min(cell.X, FGrid.ColCount() - 1);
        const int from = FGrid.DisplColIndex(Col);
        if (from != cell.X && from >= 0 && from < FGrid.ColCount() && cell.X >= 0) {
            FGrid.SetEnhRowColMove(true);
            FGrid.MoveColumn(from, cell.X);
            FGrid.SetEnhRowColMove(enh);
        }
    }
    if (FTools.OnOleDropCol) FTools.OnOleDropCol(&FGrid, cell.Y, cell.X, Col);
}

// ===== the drop source

class TGridDropSource : public TEXGDropSource {
public:
    explicit TGridDropSource(TExStringGrid& AGrid) : FGrid(AGrid) {}
    Cardinal LastEffect = DROPEFFECT_NONE;

protected:
    void CurrentEffect(Cardinal Effect) override {
        if (Effect & (DROPEFFECT_MOVE | DROPEFFECT_COPY)) LastEffect = Effect & (DROPEFFECT_MOVE | DROPEFFECT_COPY);
    }
    void QueryDrag() override {
        const TPoint p = GetCursorPos();
        TExGridTools& t = FGrid.Tools();
        if (FGrid.DragDropSettings().ShowCells()) {
            if (t.FMoveForm) t.FMoveForm->SetBounds(p.X + 4, p.Y + 4, t.FMoveForm->Width(), t.FMoveForm->Height());
        } else if (FGrid.MoveButton() && FGrid.MoveButton()->Visible()) {
            const TPoint c = FGrid.ScreenToClient(p);
            FGrid.MoveButton()->SetBounds(c.X, c.Y - FGrid.MoveButton()->Height(), FGrid.MoveButton()->Width(),
                                          FGrid.MoveButton()->Height());
        }
    }
    void DragDropStop() override {
        TExGridTools& t = FGrid.Tools();
        if (FGrid.DragDropSettings().ShowCells() && t.FMoveForm) {
            delete t.FMoveForm;
            t.FMoveForm = nullptr;
        }
    }

private:
    TExStringGrid& FGrid;
};

// ===== the grid's side

void TDragDropSettings::SetOleDropRTF(bool Value) {
    FOleDropRTF = Value;
    SetDropRTFEnabled(Value);
}

void TDragDropSettings::SetOleDropTarget(bool Value) {
    FOleDropTarget = Value;
    if (Grid && !Grid->ComponentState().Contains(csDesigning)) Grid->Tools().SetOleDropTargetRegistered(Value);
}

void TExGridTools::SetOleDropTargetRegistered(bool Value) {
    if (Value) {
        FGridDropTarget = std::make_shared<TGridDropTarget>(FGrid);
        FOleDropTargetAssigned = SUCCEEDED(RegisterDragDrop(&FGrid, FGridDropTarget));
        if (FOleDropTargetAssigned) DropTargetLoaded();
    } else if (FOleDropTargetAssigned) {
        RevokeDragDrop(&FGrid);
        FOleDropTargetAssigned = false;
    }
}

IDropTarget* TExGridTools::GridDropTarget() const { return FGridDropTarget.get(); }

void TExGridTools::DropTargetLoaded() {
    if (!FOleDropTargetAssigned || !FGridDropTarget) return;
    const TDragDropSettings& s = FGrid.DragDropSettings();
    FGridDropTarget->AcceptText = s.OleAcceptText();
    FGridDropTarget->AcceptFiles = s.OleAcceptFiles();
    FGridDropTarget->AcceptURLs = s.OleAcceptURLs();
}

bool TExGridTools::HorzScrollTick() {
    if (FGrid.FTimerTicks % 2 != 0) return false;
    ++FGrid.FTimerTicks;
    return true;
}

void TExGridTools::OleArm(int ACol, int ARow, int X, int Y) {
    FOleArmed = ACol >= 0 && ARow >= 0 && FGrid.DragDropSettings().OleDropSource();
    FOleDown = {X, Y};
}

bool TExGridTools::OleDragMove(int ACol, int ARow, int X, int Y, TShiftState Shift) {
    if (!FOleArmed) return false;
    if (!Shift.Contains(ssLeft) || !FGrid.DragDropSettings().OleDropSource()) {
        FOleArmed = false;
        return false;
    }
    const TGridState state = FGrid.GridState();
    if (ACol < 0 || ARow < 0 || state == gsColSizing || state == gsRowSizing) return false;
    if (std::abs(X - FOleDown.X) <= 3 && std::abs(Y - FOleDown.Y) <= 3) return false;
    FOleArmed = false;
    // The drag loop takes the mouse: the press's selecting ends here.
    FGrid.SetGridState(gsNormal);
    OleDragStart(ACol, ARow, X, Y);
    return true;
}

void TExGridTools::OleColumnDragStart(int ACol, int AIndex, TListBox* AList) {
    FOleDragCol = ACol;
    FOleDragIndex = AIndex;
    FOleDragList = AList;
}

void TExGridTools::OleDragStart(int ACol, int ARow, int X, int Y) {
    const TDragDropSettings& s = FGrid.DragDropSettings();
    const bool header = ARow < FGrid.FixedRows();
    if (s.OleColumnsOnly() && !header) return;
    bool allow = true;
    if (OnOleDrag) OnOleDrag(&FGrid, ARow, ACol, FGrid.Cells(FGrid.RealColIndex(ACol), ARow), allow);
    if (!allow) return;
    auto source = std::make_shared<TGridDropSource>(FGrid);
    if (OnOleDragStart) OnOleDragStart(&FGrid, ARow, ACol);
    FGrid.HideInplaceEdit();
    const bool columnDrag = header && s.OleColumnDragDrop();
    TGridRect sel = FGrid.Selection();
    if (s.ShowCells()) {
        // The picture of the visible part of what is dragged, at the pointer.
        TGridRect shown = columnDrag ? TGridRect{ACol, FGrid.TopRow(), ACol, FGrid.RowCount() - 1} : sel;
        shown.Top = std::max(shown.Top, FGrid.TopRow());
        shown.Bottom = std::min(shown.Bottom, FGrid.TopRow() + FGrid.VisibleRowCount());
        if (shown.Top <= shown.Bottom) FMoveForm = SelectionToForm(shown);
        if (FMoveForm) {
            const TPoint at = FGrid.ClientToScreen({X, Y});
            FMoveForm->SetBounds(at.X, at.Y, FMoveForm->Width(), FMoveForm->Height());
        }
    }
    Cardinal effect = DROPEFFECT_NONE;
    if (columnDrag) {
        if (!s.ShowCells() && FGrid.MoveButton()) {
            THeaderDragButton* b = FGrid.MoveButton();
            b->SetCaption(FGrid.Cells(FGrid.RealColIndex(ACol), ARow));
            b->SetBounds(X, Y, FGrid.ColWidths(ACol), FGrid.RowHeights(ARow));
            b->SetVisible(true);
        }
        const HRESULT r = BeginColumnDragDrop(source, ACol, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        if (r != DRAGDROP_S_CANCEL && OnOleDragStop) OnOleDragStop(&FGrid, effect);
        if (FGrid.MoveButton()) FGrid.MoveButton()->SetVisible(false);
        for (TArrowDirection d : {arrUp, arrDown, arrLeft, arrRight}) FGrid.Arrow(d)->SetVisible(false);
    } else {
        FDropSelection = sel;
        const bool rows = FGrid.Options().Contains(goRowSelect) && s.OleEntireRows();
        std::unique_ptr<TMemoryStream> stream;
        if (FGrid.AllowFmtClipboard()) {
            stream = std::make_unique<TMemoryStream>();
            SaveRectToBinStream(sel, *stream);
        }
        const TGridRect textRect = rows ? TGridRect{0, sel.Top, FGrid.ColCount() - 1, sel.Bottom} : sel;
        const bool disjunct = FGrid.MouseActions().DisjunctRowSelect();
        // Rows chosen one by one travel alone, in grid order.
        const String text = disjunct ? FGrid.SelectedText() : GetRectAsText(textRect, false);
        const String rtf = FGrid.Cells(FGrid.RealColIndex(ACol), ARow);
        const HRESULT r =
            BeginTextDragDrop(source, text, rtf, effect, DROPEFFECT_COPY | DROPEFFECT_MOVE, stream.get());
        if (r != DRAGDROP_S_CANCEL && effect == DROPEFFECT_MOVE && !s.OleCopyAlways()) {
            if (s.OleRemoveRows() && FGrid.Options().Contains(goRowSelect)) {
                if (disjunct) FGrid.RemoveSelectedRows();
                else FGrid.RemoveRows(FDropSelection.Top, FDropSelection.Bottom - FDropSelection.Top + 1);
            } else if (disjunct) {
                FGrid.ClearSelection();
            } else {
                FGrid.ClearRect(FDropSelection.Left, FDropSelection.Top, FDropSelection.Right, FDropSelection.Bottom);
            }
        }
        if (r != DRAGDROP_S_CANCEL && OnOleDragStop) OnOleDragStop(&FGrid, effect);
    }
    delete FMoveForm;
    FMoveForm = nullptr;
}

// The grid's keyboard: Escape and Enter typed while the grid or its
// editor has the focus, the Enter and Tab advance, Home and End, wrapping
// arrows, scroll-only keys, clipboard keys, the incremental lookup and the
// last row kept clear of a shown search footer.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "grid/foundation/MarkupText.h"

#include <algorithm>

void TExStringGrid::KeyDown(Word& Key, TShiftState Shift) {
    FTools->KeyDownSelection = Selection();
    if (CellControlKeyDown(Key)) return;
    SearchFooterKey(Key, Shift);
    if (EditStartKey(Key, Shift)) return;
    if (Key == VK_TAB && Options().Contains(goTabs) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) {
        TabAdvance(Shift.Contains(ssShift));
        Key = 0;
        return;
    }
    if (ScrollOnlyKey(Key)) {
        Key = 0;
        return;
    }
    if (Key == VK_SPACE || Key == VK_RETURN) ClickControlByKey(Key);
    if (Key == VK_SPACE) ToggleRadioByKey();
    if (HomeEndKey(Key, Shift)) {
        ConsumeKey(Key, Shift);
        return;
    }
    NodeKey(Key);
    if (RowSelectScrollKey(Key, Shift) || SkipFixedKey(Key, Shift)) return;
    const Word key = Key;
    const int r0 = Row(), c0 = Col(), left = LeftCol();
    const TGridRect before = Selection();
    // Rows chosen by vertical keys leave the columns scrolled as they were.
    const bool keepLeft = (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) &&
                          Options().Contains(goRowSelect) && left != TCustomGrid::FixedCols() &&
                          FNavigation.KeepHorizScroll();
    AutoRowKey(key, Shift, true);
    // A shown search footer covers the grid's bottom: at the end of the view the
    // last row is scrolled clear of it, and keys there keep it clear.
    const bool footer = SearchFooter().Visible();
    const bool footerEnd = footer && TopRow() >= RowCount() - VisibleRowCount();
    const bool onLast = Row() >= RowCount() - 1;
    const bool moveKey = key >= VK_PRIOR && key <= VK_DOWN;  // PgUp, PgDn, End, Home and the arrows
    const bool towardsEnd = key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT || key == VK_DOWN;
    if (footerEnd && onLast) {
        if (key == VK_DOWN) ScrollAboveSearchFooter();
        if (key == VK_DOWN || (key == VK_RIGHT && Col() >= ColCount() - 1) ||
            (key == VK_LEFT && Col() <= TCustomGrid::FixedCols())) {
            ConsumeKey(Key, Shift);
            return;
        }
    }
    const bool otherKey = !moveKey && key != VK_SHIFT && key != VK_MENU;
    const bool footerLock = footerEnd && ((onLast && towardsEnd) || otherKey);
    const int top = TopRow();
    if (footerLock) BeginUpdate();
    if (keepLeft) BeginUpdate();
    TBaseGrid::KeyDown(Key, Shift);
    if (footerLock) {
        // The cell's own scrolling would bring the footer over the last row again.
        if (otherKey) SetTopRow(top, true);
        EndUpdate();
    }
    if (footer && towardsEnd && Row() == RowCount() - 1) ScrollRowAboveSearchFooter(Row());
    if (keepLeft) {
        SetLeftCol(left);
        EndUpdate();
    }
    MoveRowsKey(key, Shift, before, r0);
    CursorAdvanceKey(key, c0, r0);
    SkipDisabledRows(key, r0);
    SyncGridFollow(true, true);
    DisjunctKey(key, Shift);
    if (ClipboardKey(key, Shift)) {
        Key = 0;
        return;
    }
    AutoRowKey(key, Shift, false);
    if (key == VK_F2) DoF2Key(Col(), Row());
}

void TExStringGrid::ConsumeKey(Word& Key, TShiftState Shift) {
    Word pressed = Key;
    Key = 0;
    if (OnKeyDown) OnKeyDown(this, pressed, Shift);
}

bool TExStringGrid::EditStartKey(Word& Key, TShiftState Shift) {
    if (Key != VK_RETURN && Key != VK_F2) return false;
    const int rc = RealColIndex(Col()), r = Row();
    auto editing = [this] { return Options().Contains(goEditing); };
    auto swallow = [&] {
        ConsumeKey(Key, Shift);
        return true;
    };
    // Editing only by double click: Enter and F2 still start it on a cell that may be edited.
    if (FMouseActions.EditOnDblClickOnly() && !editing()) {
        const bool range = FMouseActions.RangeSelectAndEdit();
        FMouseActions.SetRangeSelectAndEdit(true);
        const bool editable = IsEditable(rc, r);
        FMouseActions.SetRangeSelectAndEdit(range);
        if (editable) SetOptions(Options() + TGridOptions{goEditing});
    }
    if (FMouseActions.RangeSelectAndEdit() && !editing()) {
        if (!IsEditable(rc, r)) return swallow();
        SetOptions(Options() + TGridOptions{goEditing});
        // Enter's own character opens the editor (the grid's Enter toggles it).
        if (Key == VK_F2) ShowInplaceEdit();
    }
    if (Key == VK_F2 && editing() && !IsEditable(rc, r)) return swallow();
    if (Key == VK_RETURN && !IsEditable(rc, r)) {
        // A form previewing keys has seen it: the key goes on as the framework's.
        if (TCustomForm* form = GetParentForm(this); form && form->KeyPreview()) {
            if (OnKeyDown) OnKeyDown(this, Key, Shift);
            return true;
        }
        return swallow();
    }
    return false;
}

void TExStringGrid::NodeKey(Word Key) {
    if ((Key != VK_RIGHT && Key != VK_LEFT) || !IsNode(RealRowIndex(Row()))) return;
    if (!IsMergedCell(Col(), Row())) return;  // only the node's merged cell opens and closes it
    if (Key == VK_RIGHT) ExpandNode(RealRowIndex(Row()));
    else ContractNode(RealRowIndex(Row()));
}

bool TExStringGrid::RowClearOfSearchFooter(int ARow) {
    TSearchPanel* panel = SearchPanel();
    if (!panel || !SearchFooter().Visible() || ARow < TopRow() || ARow >= RowCount()) return false;
    // The row's bottom as if the client went on below its end.
    TGridDrawInfo d;
    CalcDrawInfo(d);
    int y = d.Vert.FixedBoundary;
    for (int r = TopRow(); r < ARow; ++r) y += d.Vert.GetExtent(r) + d.Vert.EffectiveLineWidth;
    return y + d.Vert.GetExtent(ARow) <= ClientHeight() - panel->Height() + 2;
}

void TExStringGrid::ScrollRowAboveSearchFooter(int ARow) {
    TSearchPanel* panel = SearchPanel();
    if (!panel || !SearchFooter().Visible() || ARow < TopRow() || ARow >= RowCount()) return;
    if (ClientHeight() <= DefaultRowHeight() + panel->Height()) return;
    while (TopRow() < ARow && !RowClearOfSearchFooter(ARow)) SetTopRow(TopRow() + 1, true);
}

bool TExStringGrid::IsLastDataRow() {
    if (FFloatingFooter.Visible()) return Row() + 2 == RowCount();
    return Row() + 1 == RowCount() - FFixedFooters;
}

void TExStringGrid::SyncGridFollow(bool Cols, bool Rows) {
    TCustomGrid* other = FSyncGrid.Grid();
    if (!other || other == this) return;
    if (Cols && FSyncGrid.SelectionColumn() && Col() >= other->FixedCols() && Col() < other->ColCount())
        other->TCustomGrid::SetCol(Col());
    if (Rows && FSyncGrid.SelectionRow() && Row() >= other->FixedRows() && Row() < other->RowCount())
        other->TCustomGrid::SetRow(Row());
}

bool TExStringGrid::ScrollOnlyKey(Word Key) {
    if (!FNavigation.MoveScrollOnly()) return false;
    const int fr = TCustomGrid::FixedRows(), top = TopRow(), vis = VisibleRowCount();
    switch (Key) {
    case VK_PRIOR: SetTopRow(vis + fr < top ? top - vis : fr); return true;
    case VK_NEXT:
        if (top + vis < RowCount()) SetTopRow(std::min(top + vis, RowCount() - vis));
        return true;
    case VK_END: SetTopRow(std::max(fr, RowCount() - vis)); return true;
    case VK_HOME: SetTopRow(fr); return true;
    case VK_UP:
        if (top > fr) SetTopRow(top - 1);
        return true;
    case VK_DOWN:
        if (top + vis < RowCount()) SetTopRow(top + 1);
        return true;
    default: return false;
    }
}

void TExStringGrid::CursorAdvanceKey(Word Key, int X0, int Y0) {
    const TCursorAdvance how = FNavigation.CursorAdvance();
    if (how == caDefault) return;
    const bool snake = how == caSnake;
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const int lastCol = ColCount() - FFixedRightCols - 1, lastRow = RowCount() - FFixedFooters - 1;
    int c = Col(), r = Row();
    // At an edge the cursor comes in again from the other side; snaking, one row or column on.
    if (Key == VK_LEFT && X0 == fc) {
        c = lastCol;
        if (snake && r > fr) --r;
    } else if (Key == VK_UP && Y0 == fr) {
        r = lastRow;
        if (snake && c > fc) --c;
    } else if (Key == VK_RIGHT && X0 + 1 == ColCount()) {
        c = fc;
        if (snake && r < lastRow) ++r;
    } else if (Key == VK_DOWN && Y0 + 1 == RowCount()) {
        r = fr;
        if (snake && c < lastCol) ++c;
    } else {
        return;
    }
    FocusCell(c, r, true);
}

bool TExStringGrid::ClipboardKey(Word Key, TShiftState Shift) {
    const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
    if (Key == 'A' && ctrl && (Options().Contains(goRowSelect) || Options().Contains(goRangeSelect))) {
        const TGridRect all{FirstDataCol(), TCustomGrid::FixedRows(), ColCount() - FFixedRightCols - 1,
                            RowCount() - FFixedFooters - 1};
        if (all.Right < all.Left || all.Bottom < all.Top) return true;
        if (FMouseActions.DisjunctRowSelect())
            for (int r = all.Top; r <= all.Bottom; ++r) SetRowSelect(RowSelectIndex(r), true);
        AdjustKeySelection();
        FocusCell(all.Right, all.Bottom, true);
        SetSelection(all);
        return true;
    }
    if (!FNavigation.AllowClipboardShortCuts()) return false;
    auto run = [&](const TCanAddRowEvent& Ask, void (TExStringGrid::*Action)()) {
        bool allow = true;
        if (Ask) Ask(this, allow);
        if (allow) (this->*Action)();
        return true;
    };
    if ((ctrl && Key == 'X') || (shift && Key == VK_DELETE))
        return run(OnClipboardCut, &TExStringGrid::CutSelectionToClipboard);
    if (ctrl && (Key == 'C' || Key == VK_INSERT)) return run(OnClipboardCopy, &TExStringGrid::CopySelectionToClipboard);
    if ((ctrl && Key == 'V') || (shift && Key == VK_INSERT))
        return run(OnClipboardPaste, &TExStringGrid::PasteSelectionFromClipboard);
    return false;
}

void TExStringGrid::KeyPress(Char& Key) {
    const int rc = RealColIndex(Col());
    if (Key == 27) {
        if (Options().Contains(goEditing) && FEditing) RestoreEditValue();
        if (OnKeyPress) OnKeyPress(this, Key);
        return;
    }
    if (Key == 13 && !FNavigation.AdvanceOnEnter() && !IsEditable(rc, Row())) {
        if (OnKeyPress) OnKeyPress(this, Key);
        Key = 0;
        return;
    }
    // Enter from an editor, or on a control cell, which opens no editor to take it.
    const bool control = Key == 13 && HasClickControl(rc, Row());
    if (Key == 13 && (!Focused() || control)) {
        AdvanceCell(Col(), Row(), EditorMode(), true, false, false);
        if (!FNavigation.AdvanceAutoEdit()) {
            if (OnKeyPress) OnKeyPress(this, Key);
            Key = 0;
            return;
        }
        if (control) {
            if (OnKeyPress) OnKeyPress(this, Key);
            if (FNavigation.AdvanceOnEnter()) ShowInplaceEdit();
            return;
        }
    }
    if (!Options().Contains(goEditing) && FNavigation.AutoGotoWhenSorted() && Key != 13 && Key != 9) LookupKey(Key);
    TBaseGrid::KeyPress(Key);
}

void TExStringGrid::LookupKey(Char Key) {
    if (!FNavigation.AutoGotoIncremental()) {
        SearchInc = String(1, Key);
    } else {
        if (Key == 8) {
            if (!SearchInc.empty()) SearchInc.pop_back();
        } else {
            SearchInc += Key;
        }
        SearchTics = 0;
    }
    if (SearchInc.empty()) return;
    const int r = Search(AnsiUpperCase(SearchInc));
    if (r >= 0) FocusCell(Col(), r, true);
    else SearchInc.clear();
}

void TExStringGrid::AdvanceCell(int ACol, int ARow, bool EditorShown, bool Forward, bool AutoEdit, bool Force) {
    if (!FNavigation.AdvanceOnEnter() && !Force) return;
    if (FMouseActions.RangeSelectAndEdit() && !Options().Contains(goEditing)) SetOptions(Options() + TGridOptions{goEditing});
    const int c0 = ACol, r0 = ARow;
    FAECol = ACol;
    FAERow = ARow;
    const int firstCol = FirstDataCol(), firstRow = TCustomGrid::FixedRows();
    // ColCount leaves hidden columns out, so only the shown fixed right ones end the data.
    int lastCol = ColCount() - VisibleFixedRightCols() - 1;
    int lastRow = RowCount() - FFixedFooters - 1;
    bool ended = false;
    const TAdvanceDirection dir = FNavigation.AdvanceDirection();
    const bool loop = FNavigation.AdvanceOnEnterLoop();
    // One step from (c, r); false when the cell stays.
    auto step = [&](int& c, int& r) {
        if (Forward && (dir == adLeftRight || dir == adLeftRightInRow)) {
            if (c + CellSpan(c, r).X < lastCol) c += CellSpan(c, r).X + 1;
            else if (dir == adLeftRightInRow) {
                if (!loop) return false;
                c = firstCol;
            } else if (r < lastRow) {
                ++r;
                c = firstCol;
            } else if (FNavigation.AdvanceInsert()) {
                // Past the last cell a row is appended when allowed.
                bool allow = true;
                DoCanAddRow(allow);
                c = firstCol;
                if (allow) {
                    AddRow();
                    lastRow = RowCount() - FFixedFooters - 1;
                    ++r;
                    if (OnAutoAddRow) OnAutoAddRow(this, lastRow);
                    bool any = false;
                    for (int k = TCustomGrid::FixedCols(); k < ColCount() && !any; ++k) {
                        bool e = true;
                        CellEditable(RealColIndex(k), r, e);
                        any = e;
                    }
                    if (!any) {
                        ended = true;
                        return false;
                    }
                }
            } else {
                if (!loop) return false;
                r = firstRow;
                c = firstCol;
            }
        } else if (Forward) {
            if (r < lastRow) ++r;
            else if (dir == adTopBottomInCol) r = firstRow;
            else if (c < lastCol || !FNavigation.AdvanceInsert()) {
                r = firstRow;
                c = c < lastCol ? c + 1 : firstCol;
                Invalidate();
            } else {
                // Past the last cell a new column is appended and entered.
                const int span = CellSpan(c, r).X;
                SetColCount(ColCount() + 1);
                lastCol = ColCount() - VisibleFixedRightCols() - 1;
                r = firstRow;
                c += span + 1;
                if (OnAutoInsertCol) OnAutoInsertCol(this, lastCol);
                Invalidate();
            }
        } else if (dir == adLeftRight) {
            if (c > firstCol) --c;
            else {
                r = r > firstRow ? r - 1 : lastRow;
                c = lastCol;
            }
        } else if (dir == adTopBottom) {
            if (r > firstRow) --r;
            else {
                c = c > firstCol ? c - 1 : lastCol;
                r = lastRow;
            }
        } else {
            return false;
        }
        return true;
    };
    auto editable = [&](int c, int r) {
        bool e = true;
        CellEditable(RealColIndex(c), r, e);
        return e;
    };
    int c = ACol, r = ARow;
    if (!step(c, r) || ended) return;
    // Read-only cells are skipped; a walk back to the start leaves the cursor there.
    while (!editable(c, r) && FNavigation.AdvanceSkipReadOnlyCells()) {
        if ((c == c0 && r == r0) || !step(c, r) || ended) return;
    }
    if (editable(c, r)) {
        bool allow = true;
        if (OnAutoAdvance) {
            OnAutoAdvance(this, FAERow, FAECol, r, c, allow);
            c = std::clamp(c, 0, ColCount() - 1);
            r = std::clamp(r, 0, RowCount() - 1);
        }
        if (!allow) return;
        // The move reports its change once, from the cell the advance started at.
        if (OnCellChanging && (c != Col() || r != Row())) OnCellChanging(this, FAERow, FAECol, r, c, allow);
        FDisableChange = true;
        if (allow) MoveColRow(c, r, true, true);
        else SelectCell(c0, r0);
        FDisableChange = false;
        if (!allow) return;
    } else {
        MoveColRow(c, r, true, true);
    }
    const bool clickTarget = Col() == c && Row() == r && HasClickControl(RealColIndex(c), r);
    if (EditorShown && ((AutoEdit && FNavigation.AdvanceAutoEdit()) || clickTarget) && Col() == c && Row() == r &&
        editable(c, r)) {
        ShowEditor();
        if (clickTarget) {
            // Passing the start cell again switches editing back as that cell had it.
            FDisableChange = true;
            MoveColRow(c0, r0, false, false);
            MoveColRow(c, r, false, false);
            if (!HasClickControl(RealColIndex(c0), r0)) {
                // Entering a control by Enter toggles it, as a click would.
                SimulateCellClick(c, r);
                if (FNavigation.AdvanceDirection() != adLeftRight) HideEditor();
            }
            FDisableChange = false;
            bool allow = true;
            if (OnCellChanging) OnCellChanging(this, r0, c0, Row(), Col(), allow);
            TEditorType startKind = FDefaultEditor;
            GetCellEditor(RealColIndex(c0), r0, startKind);
            if (!IsTextEditorKind(startKind)) HideEditor();
        }
    }
    if (FMouseActions.DisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(RowSelectIndex(Row()), true);
    }
}

bool TExStringGrid::HasClickControl(int ACol, int ARow) {
    return HasGraphicOfKinds(ACol, ARow,
                             {ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctBitButton, ctVirtCheckBox,
                              ctRowCheckBox, ctRadioButton, ctTriStateCheckBox});
}

void TExStringGrid::CursorWalk(bool Forward, bool CommitFirst, const std::function<bool()>& Commit) {
    const int col = Col(), row = Row();
    const int target = Forward ? col + CellSpan(col, row).X + 1 : col - 1;
    const bool inside = Forward ? col < ColCount() - FFixedRightCols - 1 : col > TCustomGrid::FixedCols();
    // A control cell is not edited: the cursor only goes there.
    if (inside && HasClickControl(RealColIndex(target), row)) {
        if (!Commit()) return;
        HideInplaceEdit();
        SetCol(target);
        return;
    }
    if (CommitFirst && !Commit()) return;
    // Closed before the grid takes the focus: a focused editor would keep it.
    HideInplaceEdit();
    if (CanFocus()) SetFocus();
    const TAdvanceDirection direction = FNavigation.AdvanceDirection();
    FNavigation.SetAdvanceDirection(adLeftRight);
    AdvanceCell(col, row, true, Forward, true, true);
    FNavigation.SetAdvanceDirection(direction);
    if (!FNavigation.CursorWalkAlwaysEdit()) HideInplaceEdit();
    else if (!FEditMode && IsEditable(RealColIndex(Col()), Row())) ShowInplaceEdit();
}

bool TExStringGrid::CanSelectCell(int ACol, int ARow) {
    bool can = Options().Contains(goEditing) ? IsEditable(RealColIndex(ACol), ARow) : !IsFixed(ACol, ARow);
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TExStringGrid::SimulateCellClick(int ACol, int ARow) {
    const TRect R = CellRect(ACol, ARow);
    auto down = std::move(OnMouseDown);
    auto up = std::move(OnMouseUp);
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    FForceSel = true;
    const LPARAM at = LPARAM((Word(R.Top + 2) << 16) | Word(R.Left + 2));
    Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Perform(WM_LBUTTONUP, 0, at);
    FForceSel = false;
    OnMouseDown = std::move(down);
    OnMouseUp = std::move(up);
}

int TExStringGrid::FirstSelectableCol(int ARow) {
    for (int c = 0; c < ColCount(); ++c)
        if (CanSelectCell(c, ARow)) return c;
    return -1;
}

int TExStringGrid::LastSelectableCol(int ARow) {
    for (int c = ColCount() - 1; c >= 0; --c)
        if (CanSelectCell(c, ARow)) return c;
    return -1;
}

int TExStringGrid::FirstDataCol() const {
    const int fixed = TCustomGrid::FixedCols();
    return fixed == 0 && FHasNodeRows && ColCount() > 1 ? 1 : fixed;
}

int TExStringGrid::VisibleFixedRightCols() const {
    const int total = ColCount() + FNumHidden;
    int shown = 0;
    for (int rc = std::max(0, total - FFixedRightCols); rc < total; ++rc)
        if (!IsHiddenColumn(rc)) ++shown;
    return shown;
}

bool TExStringGrid::TabStep(bool Backward, bool& HandOn) {
    const int firstCol = FirstDataCol(), firstRow = TCustomGrid::FixedRows();
    const int vfrc = VisibleFixedRightCols();
    const int lastRow = RowCount() - FFixedFooters - 1;
    const int c = Col(), r = Row();
    const TPoint span = CellSpan(c, r);
    // The last (first) selectable base cell of row R searched from column From towards To.
    auto leftIn = [&](int R, int From, int To) {
        for (int k = From; k >= To; --k)
            if (IsBaseCell(k, R) && CanSelectCell(k, R)) return k;
        return -1;
    };
    auto rightIn = [&](int R, int From) {
        for (int k = From; k < ColCount() - vfrc; ++k)
            if (IsBaseCell(k, R) && CanSelectCell(k, R)) return k;
        return -1;
    };
    auto forced = [&](int C, int R) {
        FForceSel = true;
        FocusCell(C, R, true);
        FForceSel = false;
    };
    // Past the end: back to the first row, or a new row, and the focus goes on.
    auto pastTheEnd = [&]() {
        bool allow = !FNavigation.TabToNextAtEnd() && FNavigation.AdvanceInsert();
        if (allow) DoCanAddRow(allow);
        if (allow) {
            // The new row goes above a floating footer's row.
            int added;
            if (FFloatingFooter.Visible()) {
                InsertRows(RowCount() - 1, 1);
                added = RowCount() - 2;
            } else {
                AddRow();
                added = RowCount() - FFixedFooters - 1;
            }
            SetRow(added);
            if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
        } else {
            GotoFirstRow();
        }
        const int first = FirstSelectableCol(Row());
        SetCol(first >= 0 ? first : firstCol);
        HandOn = true;
    };
    if (FNavigation.TabAdvanceDirection() != adLeftRight) {
        // Down (up) the column, then on to the next (previous) one.
        if (Backward) {
            if (r > firstRow) SetRow(r - 1);
            else FocusCell(c > firstCol ? c - 1 : ColCount() - vfrc - 1, lastRow, true);
        } else if (r + span.Y + 1 < RowCount() - FFixedFooters) {
            SetRow(r + span.Y + 1);
        } else {
            GotoFirstRow();
            if (c < ColCount() - vfrc - 1) SetCol(c + 1);
            else {
                SetCol(firstCol);
                HandOn = true;
            }
        }
        return true;
    }
    if (Backward) {
        const int found = c > firstCol ? leftIn(r, c - 1, firstCol) : -1;
        if (found >= 0) {
            SetCol(found);
            return true;
        }
        int row = r > firstRow ? r - 1 : lastRow;
        if (c > firstCol) {
            // Nothing to the left: the last selectable cell of the row above
            // (of the last row, scrolled into view, from the first row).
            const int last = LastSelectableCol(row);
            if (last < 0) return false;
            FocusCell(last, row, true);
            MoveToBaseCell();
            return true;
        }
        // From the first column each row upward is tried once, and round.
        for (int i = 0; i <= lastRow - firstRow; ++i) {
            const int last = leftIn(row, ColCount() - vfrc - 1, TCustomGrid::FixedCols());
            if (last >= 0) {
                FocusCell(last, row, true);
                return true;
            }
            row = row > firstRow ? row - 1 : lastRow;
        }
        return false;
    }
    if (c + span.X + 1 < ColCount() - vfrc) {
        int next = c + span.X + 1;
        while (next < ColCount() - vfrc && !CanSelectCell(next, r)) ++next;
        if (next < ColCount() - vfrc) {
            SetCol(next);
            return true;
        }
        // The rest of the row is refused: on to the next row, whose change is
        // told here as the forced move skips the usual checks.
        FForceSel = true;
        if (r < lastRow) {
            const int first = FirstSelectableCol(r + 1);
            bool allow = true;
            if (OnRowChanging) OnRowChanging(this, r, r + 1, allow);
            if (OnCellChanging) OnCellChanging(this, r, c, r + 1, first, allow);
            if (OnColChanging) OnColChanging(this, c, first, allow);
            if (allow) FocusCell(first >= 0 ? first : TCustomGrid::FixedCols(), r + 1, true);
        } else {
            const int first = FirstSelectableCol(firstRow);
            if (first >= 0) FocusCell(first, firstRow, true);
            HandOn = true;
        }
        FForceSel = false;
        return true;
    }
    if (r < lastRow) {
        const int first = rightIn(r + 1, firstCol);
        if (first >= 0) {
            forced(first, r + 1);
            return true;
        }
        for (int row = r + 2; row <= lastRow; ++row) {
            const int any = FirstSelectableCol(row);
            if (any >= 0) {
                forced(any, row);
                return true;
            }
        }
    }
    pastTheEnd();
    return true;
}

bool TExStringGrid::TabAdvance(bool Backward) {
    if (OnKeyDown) {
        Word key = VK_TAB;
        OnKeyDown(this, key, Backward ? TShiftState{ssShift} : TShiftState{});
        if (key != VK_TAB) return true;
    }
    if (TCustomGrid::FixedCols() >= ColCount() - VisibleFixedRightCols() ||
        TCustomGrid::FixedRows() >= RowCount() - FFixedFooters)
        return true;
    // An editor or handler asking again for the Tab now under way is not moved twice.
    if (Col() == FLastTabCol && Row() == FLastTabRow) return true;
    const int c0 = Col(), r0 = Row();
    bool handOn = false;
    // Editing is judged as the Tab found it: a move onto a cell that cannot be
    // edited switches the option off.
    const bool editing = Options().Contains(goEditing);
    // A cell that cannot be edited while editing, or a merged cell entered
    // past its base, moves on. A walk that finds no cell to stay on (it comes
    // back to the start or gets stuck) leaves the cursor at the start.
    bool settled = false;
    for (int steps = (ColCount() + 1) * (RowCount() + 1); steps > 0; --steps) {
        FLastTabCol = Col();
        FLastTabRow = Row();
        const int rows = RowCount();
        if (!TabStep(Backward, handOn)) break;
        if ((Col() == FLastTabCol && Row() == FLastTabRow) || (Col() == c0 && Row() == r0)) break;
        const bool skip = editing && !IsCellEditable(RealColIndex(Col()), Row());
        settled = (!skip && (Backward || IsBaseCell(Col(), Row()))) || RowCount() != rows ||
                  (handOn && FNavigation.TabToNextAtEnd());
        if (settled) break;
    }
    if (!settled && (Col() != c0 || Row() != r0)) {
        FForceSel = true;
        FocusCell(c0, r0, true);
        FForceSel = false;
        handOn = false;
    }
    if (FNavigation.AdvanceAutoEdit() && !HasClickControl(RealColIndex(Col()), Row()) &&
        IsEditable(RealColIndex(Col()), Row()))
        SimulateCellClick(Col(), Row());
    FLastTabCol = FLastTabRow = -1;
    if (FNavigation.AlwaysEdit() && CanFocus()) SetFocus();
    if (handOn && FNavigation.TabToNextAtEnd()) {
        if (TCustomForm* form = GetParentForm(this)) {
            HideInplaceEdit();
            form->SelectNext(this, !Backward, true);
            return false;
        }
    }
    return true;
}

bool TExStringGrid::HomeEndKey(Word Key, TShiftState Shift) {
    if (Key != VK_HOME && Key != VK_END) return false;
    const THomeEndAction how = FNavigation.HomeEndKey();
    const bool home = Key == VK_HOME, ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    const bool footer = FFloatingFooter.Visible();
    // The floating footer takes the grid's last row.
    const int lastRow = footer && RowCount() > 2 ? RowCount() - 2 : RowCount() - FFixedFooters - 1;
    // A grid holding only its header row keeps the framework's handling.
    if (how != heFirstLastCell && FFixedRowAlways && RowCount() == 1) return false;
    // With no column to stand on the cursor keeps its column.
    auto firstSelectable = [&](int r) {
        const int c = FirstSelectableCol(r);
        return c < 0 ? Col() : c;
    };
    if (how == heFirstLastCell && !ctrl) {
        FocusCell(home ? fc : ColCount() - 1, home ? fr : RowCount() - 1, true);
        MoveToBaseCell();
        return true;
    }
    if (how == heFirstLastRow && !ctrl) {
        const int from = Row(), to = home ? fr : lastRow, left = LeftCol();
        if (shift) {
            // The rows from the one the key was pressed on, the cursor ending on the new row.
            SetSelection({0, from, ColCount() - 1, to});
            if (FMouseActions.DisjunctRowSelect()) SelectRowsFromSelection(false);
        } else {
            FocusCell(Col(), to, true);
            MoveToBaseCell();
            if (FMouseActions.DisjunctRowSelect()) {
                ClearRowSelect();
                SetRowSelect(RowSelectIndex(Row()), true);
            }
        }
        // The last row is shown right above the footers.
        if (!home && (footer || FFixedFooters > 0)) SetTopRow(std::max(fr, RowCount() - VisibleRowCount()));
        if (Options().Contains(goRowSelect) && FNavigation.KeepHorizScroll()) SetLeftCol(left);
        return true;
    }
    if (how == heFirstLastColumn && home && ctrl) {
        FocusCell(firstSelectable(fr), fr, true);
        MoveToBaseCell();
        SetLeftCol(FirstDataCol());
        return true;
    }
    if (how == heFirstLastColumn && !ctrl && !Options().Contains(goRowSelect)) {
        const int r = Row();
        if (shift) {
            // From the current cell to the row's first (last) column, the cursor ending there.
            SetSelection({Col(), r, home ? fc : ColCount() - FFixedRightCols - 1, r});
            InvalidateRow(r);
        } else if (home) {
            FocusCell(firstSelectable(r), r, true);
            MoveToBaseCell();
            SetLeftCol(FirstDataCol());
        } else {
            FocusCell(ColCount() - 1, r, true);
            MoveToBaseCell();
            SetLeftCol(std::max(fc, ColCount() - VisibleColCount()));
        }
        return true;
    }
    return false;
}

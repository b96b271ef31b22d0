// The grid control's cell access: typed views, real-row views, per-cell
// looks, headers, and the check boxes in cells.
#include "grid/ExGrid.h"

#include "grid/foundation/GridText.h"
#include "grid/foundation/GridUndoRedo.h"

#include "framework/SysUtils.h"

#include <cmath>

namespace {

// Markup out of a cell text: <BR> and <HR> become line breaks, other tags vanish.
String StripTags(const String& S) {
    String out;
    for (int i = 0; i < int(S.size()); ++i) {
        if (S[i] != u'<') {
            out += S[i];
            continue;
        }
        int end = int(S.find(u'>', i));
        if (end < 0) {
            out += S.substr(i);
            break;
        }
        String tag = UpperCase(S.substr(i + 1, end - i - 1));
        if (tag == u"BR" || tag == u"HR" || tag == u"BR/" || tag == u"HR/") out += u"\r\n";
        i = end;
    }
    return out;
}

}  // namespace

String TExStringGrid::StrippedCells(int ACol, int ARow) { return StripTags(GetCellEx(ACol, ARow)); }

void TExStringGrid::RepaintDisplCell(int ACol, int ARow) { InvalidateCell(DisplColIndex(ACol), ARow); }

// ---------------------------------------------------------------------------
// Typed views

namespace {

long long ParseInts(const String& Stripped) {
    String s = Trim(Stripped);
    if (s.empty() || s == u"-") return 0;
    Int64 v = 0;
    if (!TryStrToInt64(s, v)) throw EExGridError(u"Cell does not contain integer value");
    return v;
}

double ParseFloats(const String& Stripped) {
    String s = DisplayToFloatText(Stripped);
    if (s.empty() || s == u"-") return 0;
    static const TFormatSettings dot;
    double v = 0;
    if (!TryStrToFloat(s, v, dot)) throw EExGridError(u"Cell does not contain a float value");
    return v;
}

}  // namespace

long long TExStringGrid::Ints(int ACol, int ARow) { return ParseInts(StrippedCells(ACol, ARow)); }

void TExStringGrid::SetInts(int ACol, int ARow, long long Value) {
    SetCellEx(ACol, ARow, IntToStr(Value));
    if (FNumHidden > 0) RepaintDisplCell(ACol, ARow);
}

double TExStringGrid::Floats(int ACol, int ARow) { return ParseFloats(StrippedCells(ACol, ARow)); }

void TExStringGrid::SetFloats(int ACol, int ARow, double Value) {
    SetCellEx(ACol, ARow, Format(GetFloatFormat(ACol, ARow), {Value}));
}

long long TExStringGrid::AllInts(int ACol, int ARow) { return ParseInts(StripTags(AllCells(ACol, ARow))); }

double TExStringGrid::AllFloats(int ACol, int ARow) { return ParseFloats(StripTags(AllCells(ACol, ARow))); }

String TExStringGrid::GetFloatFormat(int, int) { return FFloatFormat; }

// ---------------------------------------------------------------------------
// Real-row views

String TExStringGrid::AllCells(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return {};
    for (const TGridItem& item : FGridItems)
        if (item.Idx == ARow) {
            String s = item.Text(ACol);
            DoGetDisplText(ACol, ARow, s);
            return s;
        }
    return GetCellEx(ACol, DisplRowIndex(ARow));
}

void TExStringGrid::SetAllCells(int ACol, int ARow, const String& Value) {
    if (ACol < 0 || ARow < 0) return;
    for (TGridItem& item : FGridItems)
        if (item.Idx == ARow) {
            item.Grow(ACol + 1);
            item.Items().SetStrings(ACol, Value);
            return;
        }
    int r = DisplRowIndex(ARow);
    SetCellEx(ACol, r, Value);
    if (DisplColIndex(ACol) != ACol) RepaintDisplCell(ACol, r);
}

TObject* TExStringGrid::AllObjects(int ACol, int ARow) {
    for (const TGridItem& item : FGridItems)
        if (item.Idx == ARow) {
            TObject* o = item.Object(ACol);
            if (auto* props = dynamic_cast<TCellProperties*>(o)) return reinterpret_cast<TObject*>(props->CellObject());
            return o;
        }
    return GetObjectEx(ACol, DisplRowIndex(ARow));
}

void TExStringGrid::SetAllObjects(int ACol, int ARow, TObject* Value) {
    if (ACol < 0 || ARow < 0) return;
    for (TGridItem& item : FGridItems)
        if (item.Idx == ARow) {
            item.Grow(ACol + 1);
            if (auto* props = dynamic_cast<TCellProperties*>(item.Object(ACol)))
                props->SetCellObject(reinterpret_cast<std::uintptr_t>(Value));
            else
                item.Items().SetObjects(ACol, Value);
            return;
        }
    SetObjectEx(ACol, DisplRowIndex(ARow), Value);
}

int TExStringGrid::AllColWidths(int ACol) {
    if (IsHiddenColumn(ACol)) return FAllColWidths[ACol];
    return ColWidths(DisplColIndex(ACol));
}

void TExStringGrid::SetAllColWidths(int ACol, int Value) {
    if (ACol < 0) return;
    if (ACol < int(FAllColWidths.size())) FAllColWidths[ACol] = Value;
    if (!IsHiddenColumn(ACol)) SetColWidths(DisplColIndex(ACol), Value);
}

// ---------------------------------------------------------------------------
// Per-cell looks

TColor TExStringGrid::Colors(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->BrushColor() : clNone;
}

void TExStringGrid::SetColors(int ACol, int ARow, TColor Value) {
    GetCellProperties(ACol, ARow)->SetBrushColor(Value);
    if (FUpdateCount == 0) RepaintDisplCell(ACol, ARow);
}

TColor TExStringGrid::FontColors(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->FontColor() : clNone;
}

void TExStringGrid::SetFontColors(int ACol, int ARow, TColor Value) {
    GetCellProperties(ACol, ARow)->SetFontColor(Value);
    RepaintDisplCell(ACol, ARow);
}

TAlignment TExStringGrid::Alignments(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) ? GetCellProperties(ACol, ARow)->Alignment() : taLeftJustify;
}

void TExStringGrid::SetAlignments(int ACol, int ARow, TAlignment Value) {
    GetCellProperties(ACol, ARow)->SetAlignment(Value);
    RepaintDisplCell(ACol, ARow);
}

bool TExStringGrid::ReadOnly(int ACol, int ARow) {
    return CellPropsAssigned(ACol, ARow) && GetCellProperties(ACol, ARow)->ReadOnly();
}

void TExStringGrid::SetReadOnly(int ACol, int ARow, bool Value) {
    GetCellProperties(ACol, ARow)->SetReadOnly(Value);
    RepaintDisplCell(ACol, ARow);
}

// clNone takes away only the colour named: a cell keeps its properties
// while something else of its look still needs them.
void TExStringGrid::SetRowColor(int ARow, TColor Value) {
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        if (Value == clNone) {
            if (!CellPropsAssigned(c, ARow)) continue;
            GetCellProperties(c, ARow)->SetBrushColor(clNone);
        } else
            GetCellProperties(c, ARow)->SetBrushColor(Value);
    }
    InvalidateRow(ARow);
}

void TExStringGrid::SetRowColorTo(int ARow, TColor Value) {
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        if (Value == clNone && !CellPropsAssigned(c, ARow)) continue;
        GetCellProperties(c, ARow)->SetBrushColorTo(Value);
    }
    InvalidateRow(ARow);
}

void TExStringGrid::SetRowFontColor(int ARow, TColor Value) {
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        if (Value == clNone && !CellPropsAssigned(c, ARow)) continue;
        GetCellProperties(c, ARow)->SetFontColor(Value);
    }
    InvalidateRow(ARow);
}

void TExStringGrid::GetCellPropDefaults(int ACol, int ARow, TFont& AFont, TBrush& ABrush, TColor& AColorTo,
                                        TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA,
                                        TVAlignment& VA, bool& WW, TCellGradientDirection& GD) {
    TBaseGrid::GetCellPropDefaults(ACol, ARow, AFont, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, HA, VA, WW,
                                   GD);
    HA = FDefaultAlignment;
    VA = FVAlignment;
    // New properties keep the look the cell is painted with: a header its
    // fixed font and colour, a banded, gradient or selected cell the colour
    // it gets from the grid.
    const int d = DisplColIndex(ACol);
    const bool fixed = IsFixed(d, ARow);
    if (fixed) AFont.Assign(&FFixedFont);
    const TBackGroundDisplay bg = BackGround().Display();
    const TGridRect sel = Selection();
    const bool selected = d >= sel.Left && d <= sel.Right && ARow >= sel.Top && ARow <= sel.Bottom;
    if (fixed || FBands.Active() || bg == bdGradientHorz || bg == bdGradientVert || selected) {
        ABrush.SetColor(clNone);
        AColorTo = clNone;
    }
}

// ---------------------------------------------------------------------------
// Current cell and headers

String TExStringGrid::GetCurrentCell() {
    TPoint b = BaseCell(RealColIndex(Col()), Row());
    return GetGridCell(b.X, b.Y);
}

String TExStringGrid::GetCurrentCellText() {
    TPoint b = BaseCell(RealColIndex(Col()), Row());
    return GetCellEx(b.X, b.Y);
}

void TExStringGrid::SetCurrentCell(const String& Value) {
    TPoint b = BaseCell(RealColIndex(Col()), Row());
    SetCellEx(b.X, b.Y, Value);
}

void TExStringGrid::SetCurrentCellText(const String& Value) {
    TPoint b = BaseCell(RealColIndex(Col()), Row());
    SetEditText(DisplColIndex(b.X), b.Y, Value);
}

int TExStringGrid::ColumnByHeader(const String& Text) {
    for (int i = 0; i < TotalColCount(); ++i)
        if (AllCells(i, 0) == Text) return i;
    return -1;
}

namespace {
String HeaderText(const String& S) {
    String out;
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == u'\\' && i + 1 < S.size() && S[i + 1] == u'n') {
            out += u"\r\n";
            ++i;
        } else
            out += S[i];
    }
    return out;
}
}  // namespace

void TExStringGrid::SetColumnHeaders(const TStringList& Value) {
    FColumnHeaders.BeginUpdate();
    FColumnHeaders.Assign(&Value);
    if (FixedRows() > 0) ClearColumnHeaders();
    FColumnHeaders.EndUpdate();
}

void TExStringGrid::ShowColumnHeaders() {
    if (FixedRows() <= 0) return;
    for (int i = 0; i < FColumnHeaders.Count() && i < TotalColCount(); ++i)
        SetCellEx(i, 0, HeaderText(FColumnHeaders[i]));
}

void TExStringGrid::ClearColumnHeaders() {
    for (int i = 0; i < ColCount(); ++i) SetCellEx(i, 0, u"");
}

void TExStringGrid::SetRowHeaders(const TStringList& Value) { FRowHeaders.Assign(&Value); }

void TExStringGrid::ShowRowHeaders() {
    if (FixedCols() <= 0) return;
    for (int i = 0; i < FRowHeaders.Count() && i < RowCount(); ++i) SetCellEx(0, i, HeaderText(FRowHeaders[i]));
}

// ---------------------------------------------------------------------------
// Cell graphics and check boxes

TCellGraphic* TExStringGrid::OwnGraphic(int ACol, int ARow) {
    if (!CellPropsAssigned(ACol, ARow)) return nullptr;
    return dynamic_cast<TCellGraphic*>(GetCellProperties(ACol, ARow)->GraphicObject());
}

TCellGraphic* TExStringGrid::GetCellGraphic(int ACol, int ARow) {
    TCellGraphic* own = OwnGraphic(ACol, ARow);
    if (ACol != 0 || !FMouseActions.HotmailRowSelect()) return own;
    TCellGraphic& g = FRowCheckGraphic;
    g.CellType = ctRowCheckBox;
    g.CellTransparent = FControlLook.ControlStyle == csFlat;
    const int dataRows = RowCount() - FixedRows();
    if (ARow == 0) {
        // The header's box: checked when every row is, grey when only some are.
        const int selected = SelectedRowCount();
        g.CellAngle = selected > 0 && selected < dataRows ? 1 : 0;
        g.CellBoolean = selected >= dataRows;
    } else {
        g.CellAngle = 0;
        const int real = RealRowIndex(ARow);
        g.CellBoolean = real >= 0 && real < RowCount() + NumHiddenRows() && RowSelect(real);
    }
    return &g;
}

TCellType TExStringGrid::GetCellType(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return ctEmpty;
    if (ACol == 0 && FMouseActions.HotmailRowSelect()) return ctRowCheckBox;
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    return g ? g->CellType : ctEmpty;
}

void TExStringGrid::AddCheckBox(int ACol, int ARow, bool State, bool Data) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = Data ? ctDataCheckBox : ctCheckBox;
    g->CellBoolean = State;
    SetBoxPlacement(*g);
    if (Data) {
        const String text = GetCellEx(ACol, ARow);
        if (text != FCheckTrue && text != FCheckFalse) SetCellEx(ACol, ARow, State ? FCheckTrue : FCheckFalse);
    }
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveCheckBox(int ACol, int ARow) {
    RemoveCellGraphicOfType(ACol, ARow, ctCheckBox);
    RemoveCellGraphicOfType(ACol, ARow, ctTriStateCheckBox);
}

bool TExStringGrid::HasCheckBox(int ACol, int ARow) {
    return HasGraphicOfKinds(ACol, ARow,
                             {ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox});
}

bool TExStringGrid::GetCheckBoxState(int ACol, int ARow, bool& State) {
    TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g) return false;
    switch (g->CellType) {
    case ctCheckBox: State = g->CellBoolean; return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: State = AllCells(ACol, ARow) == DoGetCheckTrue(ACol, DisplRowIndex(ARow)); return true;
    case ctRowCheckBox:
        if (ACol != 0) return false;
        State = RowSelect(ARow);
        return true;
    default: return false;
    }
}

bool TExStringGrid::IsChecked(int ACol, int ARow) {
    bool state = false;
    return GetCheckBoxState(ACol, ARow, state) && state;
}

bool TExStringGrid::SetCheckBoxState(int ACol, int ARow, bool State) {
    TCellGraphic* g = RealRowGraphic(ACol, ARow);
    if (!g) return false;
    const int r = DisplRowIndex(ARow);
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = State;
        if (!IsHiddenRow(ARow)) RepaintDisplCell(ACol, r);
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: SetAllCells(ACol, ARow, State ? DoGetCheckTrue(ACol, r) : DoGetCheckFalse(ACol, r)); return true;
    default: return false;
    }
}

bool TExStringGrid::SetCheckBoxStateEx(int ACol, int ARow, bool State) {
    bool old = false;
    bool had = GetCheckBoxState(ACol, RealRowIndex(ARow), old);
    if (!SetCheckBoxState(ACol, RealRowIndex(ARow), State)) return false;
    if (had && old != State) DoCheckBoxChange(ACol, ARow, State);
    return true;
}

bool TExStringGrid::ToggleCellCheck(int ACol, int ARow, bool User) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g || !IsCheckBoxKind(g->CellType)) return false;
    if (User && !FControlLook.CheckAlwaysActive) {
        bool canEdit = true;
        CellEditable(ACol, ARow, canEdit);
        if (!canEdit) return false;
    }
    bool state = false;
    if (g->CellType == ctCheckBox) {
        g->CellBoolean = !g->CellBoolean;
        state = g->CellBoolean;
    } else if (g->CellType == ctTriStateCheckBox) {
        state = ToggleTriState(*g, ARow);
    } else {
        String old = GetCellEx(ACol, ARow);
        state = old != DoGetCheckTrue(ACol, ARow);
        String now = state ? DoGetCheckTrue(ACol, ARow) : DoGetCheckFalse(ACol, ARow);
        SetCellEx(ACol, ARow, now);
        if (UndoRedo()) UndoRedo()->RegisterChange(ACol, ARow, old, now);
    }
    RepaintDisplCell(ACol, ARow);
    DoCheckBoxChange(ACol, ARow, state);
    FTools->AutoCheckGroupToggle(ACol, ARow, state);
    // A plain box is logged by its check texts; a three-state box is not, as
    // two texts cannot bring back its grey state.
    if (g->CellType == ctCheckBox && UndoRedo()) {
        const String on = DoGetCheckTrue(ACol, ARow), off = DoGetCheckFalse(ACol, ARow);
        if (g->CellBoolean) UndoRedo()->RegisterChange(ACol, ARow, off, on);
        else UndoRedo()->RegisterChange(ACol, ARow, on, off);
    }
    return true;
}

void TExStringGrid::UndoWriteCell(int ACol, int ARow, const String& Value) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (g && g->CellType == ctCheckBox) {
        const String on = DoGetCheckTrue(ACol, ARow);
        if (Value == on || Value == DoGetCheckFalse(ACol, ARow)) {
            g->CellBoolean = Value == on;
            RepaintDisplCell(ACol, ARow);
            return;
        }
    }
    TBaseGrid::UndoWriteCell(ACol, ARow, Value);
}

String TExStringGrid::DoGetCheckTrue(int ACol, int ARow) {
    String s = FCheckTrue;
    if (OnGetCheckTrue) OnGetCheckTrue(this, ACol, ARow, s);
    return s;
}

String TExStringGrid::DoGetCheckFalse(int ACol, int ARow) {
    String s = FCheckFalse;
    if (OnGetCheckFalse) OnGetCheckFalse(this, ACol, ARow, s);
    return s;
}

void TExStringGrid::DoCheckBoxChange(int ACol, int ARow, bool State) {
    if (OnCheckBoxChange) OnCheckBoxChange(this, ACol, ARow, State);
}

void TExStringGrid::DoCellsChanged(TRect R) {
    if (OnCellsChanged) OnCellsChanged(this, R);
    // A copy: a notifier may unregister itself when told.
    const std::vector<TGridChangeNotifier*> notifiers = FNotifierList;
    for (TGridChangeNotifier* n : notifiers) n->CellsChanged(R);
    CalcFooter(-1);
}

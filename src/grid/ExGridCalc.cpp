// Column and row figures over cells read as numbers, the values of the
// floating footer's row, and the footer panel that shows it.
#include "grid/ExGrid.h"

#include "grid/foundation/MarkupRender.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

void TExGridTools::CalcRange(int& FromRow, int& ToRow) {
    if (FromRow == -1 || ToRow == -1) {
        FromRow = FGrid.FixedRows();
        ToRow = FGrid.RowCount() - FGrid.FixedFooters() - 1;
    }
}

bool TExGridTools::RangeIsReal(int ToRow) {
    if (FForceReal) return true;
    return FGrid.FloatingFooter().Visible() ? ToRow > FGrid.RowCount() - 1 : ToRow > FGrid.RowCount();
}

// Node and summary rows of a grouped grid carry headers and results, not data.
bool TExGridTools::CountedRow(int ARow, bool Real) {
    int d = ARow;
    if (Real) {
        if (FGrid.IsHiddenRow(ARow)) return true;
        d = FGrid.DisplRowIndex(ARow);
    }
    if (GroupColumn != -1 && (IsNode(d) || IsSummary(d))) return false;
    return true;
}

namespace {

// A plain whole number of up to 15 digits reads the same in every locale;
// false for anything else.
bool ReadPlainInteger(const String& S, double& Value) {
    size_t i = 0, n = S.size();
    bool negative = n > 0 && S[0] == u'-';
    if (negative) ++i;
    if (i == n || n - i > 15) return false;
    long long v = 0;
    for (; i < n; ++i) {
        Char c = S[i];
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    Value = negative ? -double(v) : double(v);
    return true;
}

}  // namespace

double TExGridTools::ReadValue(int ACol, int ARow, bool Real) {
    if (!Real) {
        double v;
        if (ReadPlainInteger(FGrid.GetCellEx(ACol, ARow), v)) return v;
        return FGrid.Floats(ACol, ARow);
    }
    return FGrid.AllFloats(ACol, ARow);
}

namespace {

// A cell that is covered by another cell's merge holds no value of its own.
bool CoveredCell(TExStringGrid& G, int ACol, int ARow, bool Real) {
    if (Real) {
        if (G.IsHiddenRow(ARow)) return false;
        ARow = G.DisplRowIndex(ARow);
    }
    return G.IsMergedNonBaseCell(ACol, ARow);
}

}  // namespace

double TExGridTools::ColumnSum(int ACol, int FromRow, int ToRow) {
    CalcRange(FromRow, ToRow);
    bool real = RangeIsReal(ToRow);
    double sum = 0;
    FGrid.ExportNotification(0, FromRow);
    for (int r = FromRow; r <= ToRow; ++r) {
        if (!CountedRow(r, real) || CoveredCell(FGrid, ACol, r, real)) continue;
        FGrid.ExportNotification(5, r);
        try {
            sum += ReadValue(ACol, r, real);
        } catch (const Exception&) {
        }
    }
    FGrid.ExportNotification(2, -1);
    return sum;
}

double TExGridTools::ColumnAvg(int ACol, int FromRow, int ToRow) {
    CalcRange(FromRow, ToRow);
    if (ToRow < FromRow) return 0;
    return ColumnSum(ACol, FromRow, ToRow) / (ToRow - FromRow + 1);
}

double TExGridTools::ColumnExtreme(int ACol, int FromRow, int ToRow, bool Largest) {
    CalcRange(FromRow, ToRow);
    bool real = RangeIsReal(ToRow);
    FGrid.ExportNotification(0, FromRow);
    double m = ReadValue(ACol, FromRow, real);
    for (int r = FromRow; r <= ToRow; ++r) {
        if (!CountedRow(r, real) || CoveredCell(FGrid, ACol, r, real)) continue;
        FGrid.ExportNotification(5, r);
        try {
            const double v = ReadValue(ACol, r, real);
            m = Largest ? std::max(m, v) : std::min(m, v);
        } catch (const Exception&) {
        }
    }
    FGrid.ExportNotification(2, -1);
    return m;
}

double TExGridTools::ColumnMin(int ACol, int FromRow, int ToRow) { return ColumnExtreme(ACol, FromRow, ToRow, false); }

double TExGridTools::ColumnMax(int ACol, int FromRow, int ToRow) { return ColumnExtreme(ACol, FromRow, ToRow, true); }

double TExGridTools::ColumnStdDev(int ACol, int FromRow, int ToRow) {
    CalcRange(FromRow, ToRow);
    if (ToRow < FromRow) return 0;
    bool real = RangeIsReal(ToRow);
    FGrid.ExportNotification(0, FromRow);
    double avg = ColumnAvg(ACol, FromRow, ToRow);
    double sq = 0;
    for (int r = FromRow; r <= ToRow; ++r) {
        double d = ReadValue(ACol, r, real) - avg;
        sq += d * d;
    }
    FGrid.ExportNotification(2, -1);
    return std::sqrt(sq / (ToRow - FromRow + 1));
}

double TExGridTools::ColumnDistinct(int ACol, int FromRow, int ToRow) {
    CalcRange(FromRow, ToRow);
    bool real = RangeIsReal(ToRow);
    std::unordered_set<String> seen;
    FGrid.ExportNotification(0, FromRow);
    for (int r = FromRow; r <= ToRow; ++r) {
        FGrid.ExportNotification(5, r);
        seen.insert(AnsiUpperCase(real ? FGrid.AllCells(ACol, r) : FGrid.GetCellEx(ACol, r)));
    }
    FGrid.ExportNotification(2, -1);
    return double(seen.size());
}

double TExGridTools::ColumnCustomCalc(int ACol, int FromRow, int ToRow) {
    double res = 0;
    if (OnColumnCalc) OnColumnCalc(&FGrid, ACol, FromRow, ToRow, res);
    return res;
}

double TExGridTools::RowSum(int ARow, int FromCol, int ToCol) {
    double sum = 0;
    for (int c = FromCol; c <= ToCol; ++c) {
        if (!FGrid.IsBaseCell(c, ARow)) continue;
        try {
            sum += FGrid.Floats(c, ARow);
        } catch (const Exception&) {
        }
    }
    return sum;
}

double TExGridTools::RowAvg(int ARow, int FromCol, int ToCol) {
    if (ToCol < FromCol) return 0;
    return RowSum(ARow, FromCol, ToCol) / (ToCol - FromCol + 1);
}

double TExGridTools::RowMin(int ARow, int FromCol, int ToCol) {
    double m = FGrid.Floats(FromCol, ARow);
    for (int c = FromCol; c <= ToCol; ++c) {
        if (!FGrid.IsBaseCell(c, ARow)) continue;
        try {
            m = std::min(m, FGrid.Floats(c, ARow));
        } catch (const Exception&) {
        }
    }
    return m;
}

double TExGridTools::RowMax(int ARow, int FromCol, int ToCol) {
    double m = FGrid.Floats(FromCol, ARow);
    for (int c = FromCol; c <= ToCol; ++c) {
        if (!FGrid.IsBaseCell(c, ARow)) continue;
        try {
            m = std::max(m, FGrid.Floats(c, ARow));
        } catch (const Exception&) {
        }
    }
    return m;
}

// With hidden rows counted, the data rows run to the real row before the
// footer; reading them by displayed index would take in the footer row
// itself and miss a hidden one whenever exactly one row is hidden.
void TExGridTools::CalcFooter(int ACol) {
    TFloatingFooter& ff = FGrid.FloatingFooter();
    if (!ff.Visible() || ff.FooterStyle() != fsFixedLastRow || !ff.EnableCalculation()) return;
    int last = FGrid.RowCount() - 1;
    int h = ff.CalculateHiddenRows() ? FGrid.NumHiddenRows() : 0;
    int from = FGrid.FixedRows(), to = last - 1 + h;
    int c0 = ACol < 0 ? 0 : ACol, c1 = ACol < 0 ? FGrid.TotalColCount() - 1 : ACol;
    for (int c = c0; c <= c1; ++c) {
        if (!FGrid.CellPropsAssigned(c, last)) continue;
        auto figure = [&](double (TExGridTools::*Calc)(int, int, int)) {
            FForceReal = h > 0;
            try {
                double v = (this->*Calc)(c, from, to);
                FForceReal = false;
                return v;
            } catch (...) {
                FForceReal = false;
                throw;
            }
        };
        switch (FGrid.GetCellProperties(c, last)->CalcType()) {
            case acSUM: FGrid.SetFloats(c, last, figure(&TExGridTools::ColumnSum)); break;
            case acAVG: FGrid.SetFloats(c, last, figure(&TExGridTools::ColumnAvg)); break;
            case acMIN: FGrid.SetFloats(c, last, figure(&TExGridTools::ColumnMin)); break;
            case acMAX: FGrid.SetFloats(c, last, figure(&TExGridTools::ColumnMax)); break;
            case acDISTINCT: FGrid.SetFloats(c, last, figure(&TExGridTools::ColumnDistinct)); break;
            case acSTDDEV: FGrid.SetFloats(c, last, figure(&TExGridTools::ColumnStdDev)); break;
            case acCOUNT: FGrid.SetInts(c, last, FGrid.RowCount() - FGrid.FixedRows() - 1 + h); break;
            case acCUSTOM: {
                String value;
                if (OnFooterCalc) OnFooterCalc(&FGrid, c, last + h, value);
                else if (ff.OnCalcFooter) ff.OnCalcFooter(&FGrid, c, last + h, value);
                FGrid.SetCellEx(c, last, value);
                break;
            }
            default: break;
        }
    }
}

String TExGridTools::FillTemplate(const String& Template) {
    String out;
    size_t i = 0;
    while (i < Template.size()) {
        size_t tag = Template.find(u"<#", i);
        if (tag == String::npos) {
            out += Template.substr(i);
            break;
        }
        out += Template.substr(i, tag - i);
        size_t end = Template.find(u'>', tag);
        if (end == String::npos) {
            // An unclosed tag stays as written.
            out += Template.substr(tag);
            break;
        }
        int col = 0;
        if (TryStrToInt(Template.substr(tag + 2, end - tag - 2), col) && col >= 0)
            out += FGrid.GetCellEx(col, FGrid.Row());
        i = end + 1;
    }
    return out;
}

void TExGridTools::FooterChanged() {
    TFloatingFooter& ff = FGrid.FloatingFooter();
    bool lastRow = ff.Visible() && ff.FooterStyle() == fsFixedLastRow;
    FGrid.SetFixedFooters(lastRow ? 1 : 0);
    FGrid.FHideLastRow = lastRow;
    if (FFooterPanel) {
        FFooterPanel->SetHeight(ff.Visible() ? ff.Height() - 1 : 0);
        FFooterPanel->SetVisible(ff.Visible());
        if (ff.Visible()) FFooterPanel->ReportCreated();
        FFooterPanel->SetShowHint(ff.ShowHint());
        FFooterPanel->Invalidate();
    }
    FGrid.InvalidateGrid();
}

// ---------------------------------------------------------------------------
// The footer panel

TFooterPanel::TFooterPanel(TExStringGrid* AGrid) : TPanel(AGrid), FGrid(AGrid) {
    SetBevelOuter(bvNone);
    SetParent(AGrid);
    SetAlign(alBottom);
    SetHeight(0);
    SetVisible(false);
}

int TFooterPanel::FooterWidth() {
    int w = 0;
    for (int c = 0; c < FGrid->FixedCols(); ++c) w += FGrid->ColWidths(c);
    for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c) w += FGrid->ColWidths(c);
    return w;
}

int TFooterPanel::ColumnAt(int X) {
    int sum = 0;
    for (int c = 0; c < FGrid->FixedCols(); ++c) {
        sum += FGrid->ColWidths(c);
        if (sum >= X) return c;
    }
    for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c) {
        sum += FGrid->ColWidths(c);
        if (sum >= X) return c;
    }
    return -1;
}

void TFooterPanel::CreateWnd() {
    TPanel::CreateWnd();
    if (FGrid->ToolsReady()) ReportCreated();
}

void TFooterPanel::ReportCreated() {
    if (FCreatedReported) return;
    FCreatedReported = true;
    if (FGrid->Tools().OnCreatedFloatingFooter) FGrid->Tools().OnCreatedFloatingFooter(FGrid);
}

void TFooterPanel::Paint() {
    TCanvas& cv = Canvas();
    TFloatingFooter& ff = FGrid->FloatingFooter();
    TExGridTools& tools = FGrid->Tools();
    TRect client = ClientRect();
    int width = std::min(FooterWidth(), int(client.Right));
    cv.Brush().SetStyle(bsSolid);
    cv.Brush().SetColor(FGrid->Color());
    cv.FillRect(client);
    TRect part = Rect(0, 0, width, client.Bottom);
    int last = FGrid->RowCount() - 1;
    switch (ff.FooterStyle()) {
        case fsFixedLastRow: {
            cv.Brush().SetColor(ff.Color());
            cv.FillRect(part);
            int x = 0;
            int top = FGrid->Options().Contains(goFixedHorzLine) ? 1 : 0;
            auto cell = [&](int c) {
                TRect r = Rect(x, top, x + FGrid->ColWidths(c), client.Bottom);
                x = r.Right;
                int real = FGrid->RealColIndex(c);
                if (FGrid->OnGetCellColor) {
                    TBrush brush;
                    brush.SetColor(clNone);
                    TFont font;
                    font.Assign(&FGrid->Font());
                    FGrid->OnGetCellColor(FGrid, last, real, TGridDrawState{gdFixed}, brush, font);
                    if (brush.Color() != clNone) {
                        cv.Brush().SetColor(brush.Color());
                        cv.FillRect(r);
                    }
                }
                TColor own = FGrid->CellPropsAssigned(real, last) ? FGrid->Colors(real, last) : clNone;
                if (own != clNone) {
                    cv.Brush().SetColor(own);
                    cv.FillRect(r);
                }
                if (FGrid->IsBaseCell(real, last)) {
                    if (tools.OnFooterPaint) tools.OnFooterPaint(this, c, cv, r);
                    else static_cast<TBaseGrid*>(FGrid)->DrawGridCell(cv, c, last, r, TGridDrawState{gdFixed});
                }
                if (FGrid->Options().Contains(goFixedVertLine)) {
                    // Fixed columns, and every column of the Vista look, close with the fixed-line colour.
                    bool fixedLine = c < FGrid->FixedCols() || FGrid->Look() == glVista;
                    cv.Pen().SetColor(fixedLine ? FGrid->GridFixedLineColor() : TColor(0x808080));
                    cv.MoveTo(r.Right - 1, r.Top);
                    cv.LineTo(r.Right - 1, r.Bottom);
                }
            };
            for (int c = 0; c < FGrid->FixedCols(); ++c) cell(c);
            for (int c = FGrid->LeftCol(); c < FGrid->ColCount(); ++c) cell(c);
            break;
        }
        case fsColumnPreview:
        case fsCustomPreview: {
            cv.Brush().SetColor(ff.Color());
            cv.FillRect(part);
            cv.Pen().SetColor(TColor(0xFFFFFF));
            cv.MoveTo(part.Left, part.Bottom - 1);
            cv.LineTo(part.Left, part.Top);
            cv.LineTo(part.Right - 1, part.Top);
            cv.Pen().SetColor(TColor(0x808080));
            cv.LineTo(part.Right - 1, part.Bottom - 1);
            cv.LineTo(part.Left, part.Bottom - 1);
            TRect box = Rect(part.Left + 1, part.Top + 1, part.Right - 1, part.Bottom - 1);
            if (ff.FooterStyle() == fsColumnPreview) {
                if (tools.OnFooterPaint) tools.OnFooterPaint(this, ff.Column(), cv, box);
                else static_cast<TBaseGrid*>(FGrid)->DrawGridCell(cv, FGrid->DisplColIndex(ff.Column()), FGrid->Row(), box, TGridDrawState{});
            } else if (FGrid->ComponentState().Contains(csDesigning)) {
                cv.Brush().SetStyle(bsClear);
                cv.TextOut(box.Left + 2, box.Top + 2, ff.CustomTemplate());
            } else {
                cv.Font().Assign(&FGrid->Font());
                cv.Brush().SetStyle(bsClear);
                TMarkupDrawArgs in;
                in.LinkColor = clBlue;
                in.PictureCache = &FGrid->ImageCache();
                TMarkupDrawResult out;
                DrawHTMLText(cv, tools.FillTemplate(ff.CustomTemplate()),
                             Rect(box.Left + 2, box.Top + 2, box.Right, box.Bottom), in, out);
            }
            break;
        }
        case fsCustomPaint:
            if (tools.OnFooterPaint) tools.OnFooterPaint(this, ff.Column(), cv, client);
            break;
    }
    if (ff.BorderColor() != clNone) {
        cv.Pen().SetColor(ff.BorderColor());
        cv.MoveTo(0, 0);
        cv.LineTo(width, 0);
    }
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TPanel::MouseMove(Shift, X, Y);
    if (!FGrid->FloatingFooter().ShowHint()) return;
    int c = ColumnAt(X);
    if (FLastHintX != -1 && c != FLastHintX) Application->CancelHint();
    if (c >= 0) {
        String hint;
        FGrid->DoGridHint(FGrid->RowCount() - 1, c, hint);
        SetHint(hint);
        FLastHintX = c;
    }
}

void TFooterPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPanel::MouseUp(Button, Shift, X, Y);
    if (FGrid->OnClick) FGrid->OnClick(FGrid);
    if (FGrid->OnClickCell) FGrid->OnClickCell(FGrid, FGrid->RowCount() - 1, ColumnAt(X));
}

// ---------------------------------------------------------------------------
// The grid's footer slots

void TExStringGrid::CalcFooterColumn(int ACol) {
    if (FFloatingFooter.Visible() && FFloatingFooter.EnableCalculation()) FDataTools->CalcFooter(ACol);
}

void TExStringGrid::UpdateFooter() {
    if (ToolsReady() && FTools->FooterPanel()) FTools->FooterPanel()->Invalidate();
}

TCanvas& TExStringGrid::GetFooterCanvas() { return FTools->FooterPanel()->Canvas(); }

void TExStringGrid::HiddenLastRowChanged() {
    TBaseGrid::HiddenLastRowChanged();
    UpdateFooter();
}

#include "tables/Table_Window.h"

#include "framework/ComCtrls.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "tables/Table_Frame.h"

#include <utility>

namespace {

constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;
constexpr int Row_Height = 22, Number_Col_Width = 40;
constexpr int Button_Width = 110, Button_Height = 28, Button_Top = 6;

TEditorType Editor_Of(TColKind k) {
    switch (k) {
    case TColKind::ComboList: return edComboList;
    case TColKind::ComboEdit: return edComboEdit;
    case TColKind::CheckBox: return edDataCheckBox;
    case TColKind::Normal: break;
    }
    return edNormal;
}

}  // namespace

TTable_Editor_Form::TTable_Editor_Form(TComponent* AOwner, const String& name, int clientWidth, int clientHeight)
    : TForm(AOwner) {
    SetName(name);
    Set_Shell_Form_Look(this);
    SetBorderStyle(bsDialog);
    SetClientWidth(clientWidth);
    SetClientHeight(clientHeight);
    P_Title = Make_Editor_Panel(this, u"P_Title", alTop, Title_Height);
    L_SW_Code = Make_Label(P_Title, u"L_SW_Code", 12, 4);
    L_SW_Code->Font().SetSize(24);
    L_SW_Code->Font().SetColor(clGray);
    L_SW_Desc = Make_Label(P_Title, u"L_SW_Desc", 14, 46);
    L_SW_Desc->Font().SetStyle(TFontStyles{fsBold});
    P_Button = Make_Editor_Panel(this, u"P_Button", alBottom, Button_Panel_Height);
    Btn_OK = Make_Editor_Button(P_Button, u"Btn_OK", 16);
    Btn_Cancel = Make_Editor_Button(P_Button, u"Btn_Cancel", 134);
    Btn_Cancel->SetModalResult(mrCancel);
}

TPanel* Make_Editor_Panel(TForm* form, const String& name, TAlign align, int height) {
    TPanel* p = new TPanel(form);
    p->SetName(name);
    p->SetParent(form);
    p->SetBevelOuter(bvNone);
    p->SetCaption(String());
    p->SetHeight(height);
    p->SetAlign(align);
    p->SetParentColor(true);
    return p;
}

TFlatButton* Make_Editor_Button(TPanel* P_Button, const String& name, int left) {
    return Make_Button(P_Button, name, left, Button_Top, Button_Width, Button_Height);
}

TPageControl* Make_Editor_Pages(TForm* form) {
    TPageControl* p = new TPageControl(form);
    p->SetName(u"PageControl1");
    p->SetParent(form);
    p->SetAlign(alClient);
    return p;
}

TTabSheet* Make_Tab_Sheet(TForm* form, TPageControl* pages, const String& name) {
    TTabSheet* s = new TTabSheet(form);
    s->SetName(name);
    s->SetPageControl(pages);
    return s;
}

TColor Column_Colour(std::uint32_t rgb) {
    if (rgb == Window_Colour) return clWindow;
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

TExColumnGrid* Make_Table_Grid(TWinControl* parent, const String& name, const TTableDesc& table, int rows) {
    TExColumnGrid* g = new TExColumnGrid(parent);
    g->SetName(name);
    g->SetParent(parent);
    Set_Window_Grid_Look(g);
    g->SetAlign(alClient);
    g->SetColCount(static_cast<int>(table.Columns.size()) + 1);
    g->SetRowCount(rows + 1);
    g->SetFixedRows(1);
    g->SetFixedCols(1);
    g->SetDefaultRowHeight(Row_Height);
    g->SetOptions(g->Options() + TGridOptions{goColSizing, goRangeSelect, goEditing});
    g->Columns().Items(0)->SetWidth(Number_Col_Width);
    for (int c = 0; c < g->Columns().Count(); ++c) g->Columns().Items(c)->HeaderFont().SetStyle(TFontStyles{fsBold});
    for (const TColumnDesc& c : table.Columns) {
        TGridColumnItem* item = g->Columns().Items(c.Col);
        item->SetWidth(c.Width);
        item->SetColor(Column_Colour(c.Colour));
        item->SetEditor(Editor_Of(c.Kind));
        item->SetEditLength(c.Max_Length);
        // The grid's one combo editor takes the limit of the column that has one.
        if (c.Kind == TColKind::ComboEdit && c.Max_Length > 0) g->SetMaxComboLength(c.Max_Length);
        for (const char16_t* t : c.Choices) item->ComboItems().Add(t);
        if (c.Kind == TColKind::CheckBox) {
            item->SetCheckTrue(u"Y");
            item->SetCheckFalse(u"N");
            item->SetAlignment(taCenter);
        }
    }
    return g;
}

void Set_Headers(TExColumnGrid* grid, const TTableDesc& table, int header0) {
    grid->Columns().Items(0)->SetHeader(Lang_Table[header0]);
    for (const TColumnDesc& c : table.Columns) grid->Columns().Items(c.Col)->SetHeader(Lang_Table[c.Header_Text]);
}

void Show_Columns(TExColumnGrid* grid, std::span<const int> hidden) {
    grid->UnHideColumnsAll();
    for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) grid->HideColumn(*it);
}

void Set_Number_Choices(TExColumnGrid* grid, int col, int count) {
    TStringList& items = grid->Columns().Items(col)->ComboItems();
    // One change notice for the whole list, however long.
    items.BeginUpdate();
    items.Clear();
    for (int i = 0; i < count; ++i) items.Add(IntToStr(i));
    items.EndUpdate();
}

void Show_Grid_Hints(TExColumnGrid* grid, TGridHintEvent handler) {
    grid->SetShowHint(true);
    grid->SetHintShowCells(true);
    grid->OnGridHint = std::move(handler);
}

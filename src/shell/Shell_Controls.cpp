#include "shell/Shell_Controls.h"

#include "grid/ExCGrid.h"
#include "shell/Globals.h"

namespace {

constexpr TColor Shell_Back_Color = 0xEDF7F8;  // red 248, green 247, blue 237

template <class T>
T* Place(T* control, TWinControl* parent, const String& name) {
    control->SetName(name);
    control->SetParent(parent);
    return control;
}

}  // namespace

TLabel* Make_Label(TWinControl* parent, const String& name, int left, int top) {
    TLabel* l = Place(new TLabel(parent), parent, name);
    l->SetLeft(left);
    l->SetTop(top);
    return l;
}

TShape* Make_Shape(TWinControl* parent, const String& name, int left, int top, int width, int height) {
    TShape* s = Place(new TShape(parent), parent, name);
    s->SetBounds(left, top, width, height);
    return s;
}

TShellButton* Make_Button(TWinControl* parent, const String& name, int left, int top, int width, int height,
                          bool large) {
    TShellButton* b = Place(new TShellButton(parent), parent, name);
    b->SetBounds(left, top, width, height);
    Set_Shell_Button_Look(b, large);
    return b;
}

void Set_Shell_Button_Look(TShellButton* b, bool large) {
    b->SetStyle(large ? bsNormal : bsEncarta);
    b->SetParentColor(false);
    b->SetColor(Shell_Back_Color);
    b->SetLightColor(clGray);
    b->SetColorWhenDown(0x0080FF);  // orange: red 255, green 128
    b->SetHotTrackColor(clYellow);
    b->SetUseHotTrackFont(false);
}

TPanel* Make_Title_Panel(TWinControl* parent, int width, TLabel** code, TLabel** desc) {
    TPanel* p = Place(new TPanel(parent), parent, u"Panel_Title");
    p->SetBounds(0, 0, width, 64);
    p->SetColor(clWhite);
    p->SetBevelOuter(bvNone);
    *code = Make_Label(p, u"L_SW_Code", 12, 4);
    (*code)->SetCaption(SW_Code);
    (*code)->Font().SetSize(24);
    (*code)->Font().SetColor(clGray);
    *desc = Make_Label(p, u"L_SW_Desc", 14, 44);
    (*desc)->Font().SetStyle(TFontStyles{fsBold});
    return p;
}

void Set_Shell_Form_Look(TForm* form) {
    form->SetBorderStyle(bsSingle);
    form->SetBorderIcons(TBorderIcons{biSystemMenu});
    form->SetPosition(poScreenCenter);
    form->SetScaled(false);
    form->SetColor(Shell_Back_Color);
    form->Font().SetName(u"Verdana");
    form->Font().SetHeight(-11);
}

void Set_Window_Grid_Look(TExColumnGrid* grid) {
    grid->Font().SetName(u"Tahoma");
    grid->Font().SetHeight(-11);
    // The columns that the grid made for itself took the font it had then.
    for (int c = 0; c < grid->Columns().Count(); ++c) {
        grid->Columns().Items(c)->SetFont(grid->Font());
        grid->Columns().Items(c)->SetHeaderFont(grid->Font());
    }
    grid->Navigation().SetAutoComboDropSize(true);
}

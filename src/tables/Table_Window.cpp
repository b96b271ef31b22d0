#include "tables/Table_Window.h"

#include "shell/Globals.h"
#include "tables/Table_Frame.h"

namespace {

constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;
constexpr int Button_Width = 110, Button_Height = 28, Button_Top = 6;

TPanel* Make_Panel(TForm* form, const String& name, TAlign align, int height) {
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

}  // namespace

TEditor_Frame Make_Editor_Frame(TForm* form, int clientWidth, int clientHeight) {
    Set_Shell_Form_Look(form);
    form->SetBorderStyle(bsDialog);
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(clientHeight);
    TEditor_Frame f;
    f.P_Title = Make_Panel(form, u"P_Title", alTop, Title_Height);
    f.L_SW_Code = Make_Label(f.P_Title, u"L_SW_Code", 12, 4);
    f.L_SW_Code->Font().SetSize(24);
    f.L_SW_Code->Font().SetColor(clGray);
    f.L_SW_Desc = Make_Label(f.P_Title, u"L_SW_Desc", 14, 46);
    f.L_SW_Desc->Font().SetStyle(TFontStyles{fsBold});
    f.P_Button = Make_Panel(form, u"P_Button", alBottom, Button_Panel_Height);
    return f;
}

TFlatButton* Make_Editor_Button(TPanel* P_Button, const String& name, int left) {
    return Make_Button(P_Button, name, left, Button_Top, Button_Width, Button_Height);
}

TColor Column_Colour(std::uint32_t rgb) {
    if (rgb == Window_Colour) return clWindow;
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

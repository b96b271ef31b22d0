#include "descfiles/UProfinetFileName.h"

#include "controls/FlatButton.h"
#include "descfiles/UProfinetFileName_Rules.h"
#include "framework/DateUtils.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "shell/Globals.h"

TFProfinetFileName* FProfinetFileName = nullptr;

namespace {

constexpr TColor Window_Colour = 15595512;  // red 248, green 247, blue 237
constexpr TColor Pressed_Colour = 33023;

TPanel* Strip(TWinControl* parent, TAlign align, int height) {
    TPanel* p = new TPanel(parent);
    p->SetParent(parent);
    p->SetAlign(align);
    p->SetHeight(height);
    p->SetBevelOuter(bvNone);
    p->SetColor(Window_Colour);
    return p;
}

TFlatButton* Button(TWinControl* parent, int left, const char16_t* caption, const char16_t* glyph) {
    TFlatButton* b = new TFlatButton(parent);
    b->SetParent(parent);
    b->SetBounds(left, 6, 110, 28);
    b->SetStyle(bsEncarta);
    b->SetColor(Window_Colour);
    b->SetColorWhenDown(Pressed_Colour);
    b->SetHotTrackColor(clYellow);
    b->SetLightColor(clGray);
    TBitmap picture;
    if (LoadFlatButtonResource(glyph, picture)) b->SetGlyph(&picture);
    b->SetCaption(caption);
    return b;
}

template <class T>
T* Place(TWinControl* parent, int left, int top, int width = 0, int height = 0) {
    T* c = new T(parent);
    c->SetParent(parent);
    if (width > 0) c->SetBounds(left, top, width, height);
    else {
        c->SetLeft(left);
        c->SetTop(top);
    }
    return c;
}

}  // namespace

TFProfinetFileName::TFProfinetFileName(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(u"PROFINET XML File Name");
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetColor(Window_Colour);
    Font().SetName(u"Tahoma");
    Font().SetHeight(-11);
    SetClientWidth(540);
    SetClientHeight(205);

    P_Title = Strip(this, alTop, 69);
    L_SW_Code = Place<TLabel>(P_Title, 16, 8);
    L_SW_Code->Font().SetName(u"Verdana");
    L_SW_Code->Font().SetHeight(-32);
    L_SW_Code->Font().SetColor(clGray);
    L_SW_Desc = Place<TLabel>(P_Title, 16, 42);
    L_SW_Desc->SetCaption(u"Create the PROFINET XML GSD File");
    L_SW_Desc->Font().SetName(u"Verdana");
    L_SW_Desc->Font().SetHeight(-11);
    L_SW_Desc->Font().SetStyle({fsBold});
    L_SW_Desc->Font().SetColor(clGray);

    L_Select_Name = Place<TLabel>(this, 16, 70);
    L_Select_Name->SetCaption(u"Select the PROFINET XML File Name");
    L_FixPart_1 = Place<TLabel>(this, 16, 107);
    L_FixPart_1->SetCaption(u"Fixed Part");
    L_XML_Fix1 = Place<TLabel>(this, 16, 126);
    L_XML_Fix1->SetCaption(u"GSDML-V2.25-Korvia-");
    L_UsedPart = Place<TLabel>(this, 179, 107);
    L_UsedPart->SetCaption(u"User Part");
    E_XML_User = Place<TEdit>(this, 179, 123, 267, 21);
    L_FixPart_2 = Place<TLabel>(this, 447, 107);
    L_FixPart_2->SetCaption(u"Fixed Part");
    L_XML_Fix2 = Place<TLabel>(this, 447, 126);

    P_Button = Strip(this, alBottom, 40);
    P_Button->Font().SetName(u"Verdana");
    Btn_OK = Button(P_Button, 16, u"OK", u"FBOK");
    Btn_OK->OnClick = [this](TObject* s) { Btn_OK_Click(s); };
    Btn_Cancel = Button(P_Button, 134, u"Cancel", u"FBCANCEL");
    Btn_Cancel->SetModalResult(mrCancel);

    // The edit field is the first windowed control: it comes first in the tab order.
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFProfinetFileName::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(205);
    L_XML_Fix1->SetCaption(GSDML_Name_Prefix(Model_Code));
    // The accessory models' longer prefix needs a wider window.
    const bool accessory = Model_Code == 25 || Model_Code == 26 || Model_Code == 29;
    SetClientWidth(accessory ? 550 : 540);
    L_UsedPart->SetLeft(accessory ? 189 : 179);
    E_XML_User->SetLeft(accessory ? 189 : 179);
    L_FixPart_2->SetLeft(accessory ? 457 : 447);
    L_XML_Fix2->SetLeft(accessory ? 457 : 447);
    L_XML_Fix2->SetCaption(GSDML_Name_Suffix(Now()));
    Set_Lang();
}

void TFProfinetFileName::FormShow(TObject*) {
    // The date of this showing, so that a program left running past
    // midnight names the file with the day it is written.
    L_XML_Fix2->SetCaption(GSDML_Name_Suffix(Now()));
}

void TFProfinetFileName::Set_Lang() {
    SetCaption(Lang_Table[188]);
    L_SW_Desc->SetCaption(Lang_Table[189]);
    L_Select_Name->SetCaption(Lang_Table[190]);
    L_FixPart_1->SetCaption(Lang_Table[191]);
    L_UsedPart->SetCaption(Lang_Table[192]);
    L_FixPart_2->SetCaption(Lang_Table[193]);
    Btn_OK->SetCaption(Lang_Table[194]);
    Btn_Cancel->SetCaption(Lang_Table[195]);
}

void TFProfinetFileName::Btn_OK_Click(TObject*) {
    String name, error;
    if (!Compose_GSDML_File_Name(L_XML_Fix1->Caption(), E_XML_User->Text(), L_XML_Fix2->Caption(), name, error)) {
        MessageDlg(error, mtError, {mbOK});
        E_XML_User->SetFocus();
        return;
    }
    Name_File_XML = name;
    SetModalResult(mrOk);
}

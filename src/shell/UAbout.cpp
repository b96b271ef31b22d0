#include "shell/UAbout.h"

#include "framework/Dialogs.h"
#include "shell/Globals.h"
#include "shell/UAbout_Logos.h"
#include "shell/UModel_Tables.h"

TFAbout* FAbout = nullptr;

namespace {

// The texts stand right of the logo (which ends at 113), far enough left for
// the longest model title, that of model 35, in the window's bold face.
constexpr int Text_Left = 124, Value_Left = 244;

TImage* Make_Logo(TFAbout* form, const String& name, const unsigned char* bytes, unsigned size) {
    TImage* image = new TImage(form);
    image->SetName(name);
    image->SetParent(form);
    image->SetBounds(32, 24, 81, 81);
    image->SetStretch(true);
    image->Picture().LoadFromBytes(ByteString(reinterpret_cast<const char*>(bytes), size));
    return image;
}

}  // namespace

TFAbout::TFAbout(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FAbout");
    Set_Shell_Form_Look(this);
    SetCaption(u"About...");
    Image2 = Make_Logo(this, u"Image2", Logo_Maker_Png, Logo_Maker_Png_Size);
    Image2->SetCursor(crHandPoint);
    Image2->OnClick = [this](TObject* s) { Label4Click(s); };
    I_PA = Make_Logo(this, u"I_PA", Logo_PA_Png, Logo_PA_Png_Size);
    I_PBX = Make_Logo(this, u"I_PBX", Logo_PBX_Jpeg, Logo_PBX_Jpeg_Size);
    I_PBX->SetTransparent(true);
    Label1 = Make_Label(this, u"Label1", Text_Left, 16);
    Label1->SetCaption(u"Software Bridgeform ");
    Label1->Font().SetStyle(TFontStyles{fsBold});
    Label2 = Make_Label(this, u"Label2", Text_Left, 32);
    Label2->Font().SetStyle(TFontStyles{fsBold});
    Label6 = Make_Label(this, u"Label6", Text_Left, 56);
    Label6->SetCaption(u"Software Code : ");
    Label9 = Make_Label(this, u"Label9", Value_Left, 56);
    Label3 = Make_Label(this, u"Label3", Text_Left, 72);
    Label3->SetCaption(u"Version :");
    Label10 = Make_Label(this, u"Label10", Value_Left, 72);
    Label8 = Make_Label(this, u"Label8", Text_Left, 88);
    Label8->SetCaption(u"Document Code :");
    Label12 = Make_Label(this, u"Label12", Value_Left, 88);
    Label4 = Make_Label(this, u"Label4", Text_Left, 116);
    Label4->SetCaption(Maker_Web_Address);
    Label4->Font().SetColor(clBlue);
    Label4->Font().SetStyle(TFontStyles{fsUnderline});
    Label4->SetCursor(crHandPoint);
    Label4->OnClick = [this](TObject* s) { Label4Click(s); };
    LbButton1 = Make_Button(this, u"LbButton1", 316, 108, 74, 28);
    LbButton1->SetCaption(u"OK");
    LbButton1->SetModalResult(mrOk);
    LbButton1->SetDefault(true);
    OnShow = [this](TObject* s) { FormShow(s); };
    SetClientWidth(406);
    SetClientHeight(148);
}

void TFAbout::FormShow(TObject*) {
    I_PA->SetVisible(false);
    I_PBX->SetVisible(false);
    Image2->SetVisible(true);
    Label4->SetVisible(true);
    if (Model_Code >= 0 && Model_Code <= 35) {
        Label2->SetCaption(SW_Title_Table[Model_Code]);
        Label9->SetCaption(SW_Code_Table[Model_Code]);
        Label10->SetCaption(Model_Version(Model_Code));
        Label12->SetCaption(Model_Manual_Code(Model_Code));
    } else if (Model_Code == 1018) {
        I_PA->SetVisible(true);
        Image2->SetVisible(false);
        Label4->SetVisible(false);
        Label2->SetCaption(u"Modbus Master / SNMP - Converter");
        Label9->SetCaption(u"RVX-TRP Desktop");
        Label10->SetCaption(u"1.700");
        Label12->SetCaption(String());
    } else if (Model_Code == 2004) {
        I_PBX->SetVisible(true);
        Image2->SetVisible(false);
        Label4->SetVisible(false);
        Label2->SetCaption(SW_Title_Table[36]);
        Label9->SetCaption(u"ZK-RS485QWT-091144");
        Label10->SetCaption(u"1.813");
        Label12->SetCaption(String());
    }
    SetClientHeight(148);
    SetClientWidth(406);
}

void TFAbout::Label4Click(TObject*) {
    const String page = Model_Product_Page(Model_Code);
    if (!page.empty())
        OpenLink(page);
}

#include "shell/USoftOptions.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Http.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"

#include <algorithm>

#ifndef CONFIGURATOR_VERSION_HOST
#define CONFIGURATOR_VERSION_HOST "www.bridgeform.example"
#endif

String Version_Service_Host = S(CONFIGURATOR_VERSION_HOST);

String Version_Query_URL(const String& host, const String& code) {
    return u"http://" + host + u"/home/download/GetversionSW.asp?nomesw=" + code;
}

int Conv_Version(const String& text) {
    const std::size_t blank = text.find(u' ');
    const String s = Trim(blank == String::npos ? text : text.substr(blank + 1));
    if (s.size() < 5)
        return -1;
    int value = 0;
    for (std::size_t i : {0, 2, 3, 4}) {
        if (s[i] < u'0' || s[i] > u'9')
            return -1;
        value = value * 10 + (s[i] - u'0');
    }
    return value;
}

bool Is_Newer_Version(const String& reply, const String& local) {
    const String r = UpperCase(Trim(reply));
    if (r.empty() || r == u"VER. 0.000")
        return false;
    const int here = Conv_Version(local);
    const int published = Conv_Version(Trim(reply));
    return here != -1 && published != -1 && here < published;
}

bool Check_Version() {
    // The partner variants ask with model 0's code and compare with its version.
    const int model = (Model_Code == 1018 || Model_Code == 2004) ? 0 : Model_Code;
    if (model < 0 || model > 35)
        return false;
    String reply;
    try {
        const THttpResponse response =
            HttpGet(Version_Query_URL(Version_Service_Host, SW_Code_Update_Table[model]), Version_Query_Timeout_Ms);
        if (response.Ok())
            reply = Utf8ToString(response.Body);
    } catch (const Exception&) {
        // No network, no reply in time: simply no newer version; nothing is shown.
    }
    return Is_Newer_Version(reply, Model_Version(model));
}

TFSoftOptions* FSoftOptions = nullptr;

std::vector<String> Language_File_List() {
    std::vector<String> names;
    try {
        for (const TDirEntry& entry : ListDirectory(Language_Dir))
            // Exactly ".lng": the language is loaded again by its name plus
            // ".lng", and names are case-sensitive here.
            if (!entry.IsDirectory && ExtractFileExt(entry.Name) == u".lng")
                names.push_back(entry.Name);
    } catch (const Exception&) {
        // A folder that cannot be read offers no language.
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const String& a, const String& b) { return AnsiCompareText(a, b) < 0; });
    return names;
}

TFSoftOptions::TFSoftOptions(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FSoftOptions");
    Set_Shell_Form_Look(this);
    Make_Title_Panel(this, 509, &L_SW_Code, &L_SW_Desc);
    Btn_OK = Make_Button(this, u"Btn_OK", 307, 334, 90, 30);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel = Make_Button(this, u"Btn_Cancel", 405, 334, 90, 30);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);

    PC_Options = new TPageControl(this);
    PC_Options->SetName(u"PC_Options");
    PC_Options->SetParent(this);
    PC_Options->SetBounds(8, 72, 493, 254);
    auto sheet = [this](const char16_t* name) {
        TTabSheet* s = new TTabSheet(this);
        s->SetName(name);
        s->SetPageControl(PC_Options);
        return s;
    };
    TS_Language = sheet(u"TS_Language");
    TS_Con_Options = sheet(u"TS_Con_Options");
    TS_AdvanceFunctions = sheet(u"TS_AdvanceFunctions");
    TS_Soft_Settings = sheet(u"TS_Soft_Settings");
    TS_Soft_Settings->SetCaption(u"Software Settings");

    L_Sel_Lang = Make_Label(TS_Language, u"L_Sel_Lang", 12, 8);
    for (int k = 1; k <= 6; ++k) {
        const int left = k <= 3 ? 12 : 248;
        const int top = 30 + ((k - 1) % 3) * 56;
        I_L[k] = new TImage(this);
        I_L[k]->SetName(u"I_L" + IntToStr(k));
        I_L[k]->SetParent(TS_Language);
        I_L[k]->SetBounds(left, top, 48, 48);
        I_L[k]->SetStretch(true);
        I_L[k]->SetCursor(crHandPoint);
        I_L[k]->SetTag(k);
        I_L[k]->OnClick = [this](TObject* s) { LangClick(s); };
        L_L[k] = Make_Label(TS_Language, u"L_L" + IntToStr(k), left + 58, top + 16);
        L_L[k]->SetCursor(crHandPoint);
        L_L[k]->SetTag(k);
        L_L[k]->OnClick = [this](TObject* s) { LangClick(s); };
    }
    I_L[0] = nullptr;
    L_L[0] = nullptr;
    L_Page_Lang = Make_Label(TS_Language, u"L_Page_Lang", 210, 206);
    Btn_Prev = Make_Button(TS_Language, u"Btn_Prev", 12, 198, 90, 26);
    Btn_Prev->OnClick = [this](TObject* s) { Btn_NextClick(s); };
    Btn_Next = Make_Button(TS_Language, u"Btn_Next", 383, 198, 90, 26);
    Btn_Next->OnClick = [this](TObject* s) { Btn_NextClick(s); };

    auto check = [this](TWinControl* parent, const char16_t* name, int top) {
        TCheckBox* c = new TCheckBox(this);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(12, top, 460, 20);
        c->OnClick = [this](TObject* s) { CB_En_ConClick(s); };
        return c;
    };
    CB_En_Con = check(TS_Con_Options, u"CB_En_Con", 16);
    CB_Update = check(TS_Con_Options, u"CB_Update", 44);
    Btn_Check_Update = Make_Button(TS_Con_Options, u"Btn_Check_Update", 12, 80, 220, 30);
    Btn_Check_Update->OnClick = [this](TObject* s) { Btn_Check_UpdateClick(s); };
    LL_Check_Update = new TLinkLabel(this);
    LL_Check_Update->SetName(u"LL_Check_Update");
    LL_Check_Update->SetParent(TS_Con_Options);
    LL_Check_Update->SetLeft(12);
    LL_Check_Update->SetTop(124);
    LL_Check_Update->OnLinkClick = [this](TObject* s, const String& link, TSysLinkType) {
        LL_Check_UpdateLinkClick(s, link);
    };
    Btn_Advance_Functions = Make_Button(TS_AdvanceFunctions, u"Btn_Advance_Functions", 12, 16, 220, 30);
    Btn_Advance_Functions->OnClick = [this](TObject* s) { Btn_Advance_FunctionsClick(s); };
    CB_Soft_Set_Jump_Table = check(TS_Soft_Settings, u"CB_Soft_Set_Jump_Table", 16);
    CB_Soft_Set_Jump_Table->SetCaption(u"Jump into next field in the tables by pressing the Enter Key");
    CB_DoubleClick_Auto_Size = check(TS_Soft_Settings, u"CB_DoubleClick_Auto_Size", 44);
    CB_DoubleClick_Auto_Size->SetCaption(u"Enable Auto Size of Table Columns by Double Click");

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFSoftOptions::FormCreate(TObject*) {
    L_SW_Code->Font().SetSize(Model_Code == 2004 ? 18 : 24);
    L_SW_Code->SetCaption(SW_Code);
    SL_Languages.clear();
    TS_Con_Options->SetTabVisible(Model_Code != 1018 && Model_Code != 2004);
    TS_AdvanceFunctions->SetTabVisible(Model_Code == 4 || Model_Code == 25);
    TS_Soft_Settings->SetTabVisible(Model_Code == 15 || Model_Code == 34);
    SetClientWidth(509);
    SetClientHeight(373);
    Set_Lang();
}

void TFSoftOptions::FormShow(TObject*) {
    Language_In_Use = Language_Name;
    Create_Lang_List();
    Update_CheckBox();
    LL_Check_Update->SetVisible(false);
    PC_Options->SetActivePage(TS_Language);
    CB_En_Con->SetChecked(Opt_Enable_Internet);
    CB_Update->SetChecked(Opt_Enable_Update);
    CB_Soft_Set_Jump_Table->SetChecked(Opt_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->SetChecked(Opt_Double_Click_Auto_Size);
    Update_CheckBox();
}

void TFSoftOptions::Create_Lang_List() {
    SL_Languages = Language_File_List();
    Show_Page = 1;
    Update_Lang_Page(1);
}

void TFSoftOptions::Update_Lang_Page(int Page) {
    const int count = static_cast<int>(SL_Languages.size());
    const int pages = Lang_Page_Count(count);
    L_Sel_Lang->SetCaption(Lang_Table[55] + Language_In_Use);
    L_Page_Lang->SetCaption(Lang_Table[56] + IntToStr(Page) + Lang_Table[57] + IntToStr(pages));
    Btn_Prev->SetVisible(Page != 1);
    Btn_Next->SetVisible(Page != pages);
    const int first = (Page - 1) * 6;
    const int n = std::min(6, count - first);
    for (int k = 1; k <= 6; ++k) {
        if (k > n) {
            I_L[k]->SetVisible(false);
            L_L[k]->SetVisible(false);
            continue;
        }
        const String file = SL_Languages[static_cast<std::size_t>(first + k - 1)];
        const String name = file.substr(0, file.size() - 4);
        L_L[k]->SetCaption(name);
        L_L[k]->SetVisible(true);
        String flag = PathJoin(Language_Dir, name + u".bmp");
        if (!FileExists(flag))
            flag = PathJoin(Language_Dir, u"DefaultFlag.bmp");
        bool shown = false;
        if (FileExists(flag)) {
            try {
                I_L[k]->Picture().LoadFromFile(flag);
                shown = true;
            } catch (const Exception&) {
                // A flag that cannot be read leaves the slot with its name only.
            }
        }
        I_L[k]->SetVisible(shown);
    }
}

void TFSoftOptions::Btn_NextClick(TObject* Sender) {
    const int pages = Lang_Page_Count(static_cast<int>(SL_Languages.size()));
    if (Sender == Btn_Next && Show_Page + 1 <= pages)
        ++Show_Page;
    else if (Sender == Btn_Prev && Show_Page - 1 >= 1)
        --Show_Page;
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(TObject* Sender) {
    const int k = static_cast<int>(static_cast<TComponent*>(Sender)->Tag());
    const std::size_t index = static_cast<std::size_t>((Show_Page - 1) * 6 + k - 1);
    if (k < 1 || index >= SL_Languages.size())
        return;
    const String file = SL_Languages[index];
    const String name = file.substr(0, file.size() - 4);
    const String question = Lang_Table[67] + Language_In_Use + Lang_Table[68] + name + Lang_Table[69];
    if (MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes)
        return;
    Language_In_Use = name;
    // Loaded at once, but kept as the program's language only when the
    // dialog is confirmed.
    const String previous = Language_Name;
    Language_Name = name;
    Load_Language();
    Language_Name = previous;
    if (Change_Language)
        Change_Language();
    L_Sel_Lang->SetCaption(Lang_Table[55] + Language_In_Use);
}

void TFSoftOptions::CB_En_ConClick(TObject*) { Update_CheckBox(); }

void TFSoftOptions::Update_CheckBox() {
    CB_Update->SetEnabled(CB_En_Con->Checked());
    Btn_Check_Update->SetEnabled(CB_Update->Enabled() && CB_Update->Checked());
}

void TFSoftOptions::Btn_Check_UpdateClick(TObject*) {
    if (Check_Version())
        LL_Check_Update->SetCaption(u"<a href=\"" + Model_Download_Page(Model_Code) + u"\">" + Lang_Table[65] + u"</a>");
    else
        LL_Check_Update->SetCaption(Lang_Table[66]);
    LL_Check_Update->SetVisible(true);
}

void TFSoftOptions::LL_Check_UpdateLinkClick(TObject*, const String& Link) { OpenLink(Link); }

void TFSoftOptions::Btn_Advance_FunctionsClick(TObject*) {
    if (Show_Advance_Functions)
        Show_Advance_Functions();
}

void TFSoftOptions::Btn_OKClick(TObject*) {
    Language_Name = Language_In_Use;
    Opt_Enable_Internet = CB_En_Con->Checked();
    Opt_Enable_Update = CB_Update->Checked();
    Opt_Jump_Field_Tables = CB_Soft_Set_Jump_Table->Checked();
    Opt_Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->Checked();
    SetModalResult(mrOk);
}

void TFSoftOptions::Set_Lang() {
    SetCaption(Lang_Table[51]);
    L_SW_Desc->SetCaption(Lang_Table[52]);
    TS_Language->SetCaption(Lang_Table[53]);
    TS_Con_Options->SetCaption(Lang_Table[54]);
    L_Sel_Lang->SetCaption(Lang_Table[55]);
    L_Page_Lang->SetCaption(Lang_Table[56] + u"1" + Lang_Table[57] + u"1");
    Btn_Prev->SetCaption(Lang_Table[58]);
    Btn_Next->SetCaption(Lang_Table[59]);
    CB_En_Con->SetCaption(Lang_Table[60]);
    CB_Update->SetCaption(Lang_Table[61]);
    Btn_Check_Update->SetCaption(Lang_Table[62]);
    Btn_OK->SetCaption(Lang_Table[63]);
    Btn_Cancel->SetCaption(Lang_Table[64]);
    TS_AdvanceFunctions->SetCaption(Lang_Table[855]);
    Btn_Advance_Functions->SetCaption(Lang_Table[856]);
}

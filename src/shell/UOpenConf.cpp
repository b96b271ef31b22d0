#include "shell/UOpenConf.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"

std::vector<String> Load_Existing_Configuration() {
    std::vector<String> names;
    try {
        for (const TDirEntry& entry : ListDirectory(Projects_Dir))
            if (entry.IsDirectory)
                names.push_back(entry.Name);
    } catch (const Exception&) {
        // A folder that cannot be read lists no projects, as an empty one.
    }
    return names;
}

int Search_Open_Conf(const std::vector<String>& SL, const String& name) {
    const String wanted = AnsiUpperCase(name);
    for (std::size_t i = 0; i < SL.size(); ++i)
        if (AnsiUpperCase(SL[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

String Current_Project_Folder_Name() {
    const std::size_t skip = Projects_Dir.size() + 1;
    if (Project_Dir.empty() || Project_Dir.size() < skip)
        return String();
    return Project_Dir.substr(skip);
}

TFOpenConf* FOpenConf = nullptr;

TFOpenConf::TFOpenConf(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FOpenConf");
    Set_Shell_Form_Look(this);
    Make_Title_Panel(this, 377, &L_SW_Code, &L_SW_Desc);
    Label1 = Make_Label(this, u"Label1", 16, 74);
    ListBox1 = new TListBox(this);
    ListBox1->SetName(u"ListBox1");
    ListBox1->SetParent(this);
    ListBox1->SetBounds(16, 92, 345, 208);
    ListBox1->OnClick = [this](TObject* s) { ListBox1Click(s); };
    Btn_OK = Make_Button(this, u"Btn_OK", 174, 310, 90, 30);
    Btn_OK->SetModalResult(mrOk);
    Btn_Cancel = Make_Button(this, u"Btn_Cancel", 271, 310, 90, 30);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFOpenConf::FormCreate(TObject*) {
    // The partner variant's code is long.
    L_SW_Code->Font().SetSize(Model_Code == 2004 ? 18 : 24);
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(377);
    SetClientHeight(351);
    Set_Lang();
}

void TFOpenConf::FormShow(TObject*) {
    SL = Load_Existing_Configuration();
    ListBox1->Items().Clear();
    for (const String& name : SL)
        ListBox1->Items().Add(name);
    const int found = Search_Open_Conf(SL, Current_Project_Folder_Name());
    if (found >= 0) {
        ListBox1->SetItemIndex(found);
        Name_Conf = SL[static_cast<std::size_t>(found)];
    } else if (!SL.empty()) {
        ListBox1->SetItemIndex(0);
        Name_Conf = SL.front();
    }
}

void TFOpenConf::ListBox1Click(TObject*) {
    const int i = ListBox1->ItemIndex();
    if (i >= 0 && i < static_cast<int>(SL.size()))
        Name_Conf = SL[static_cast<std::size_t>(i)];
}

void TFOpenConf::Set_Lang() {
    SetCaption(Lang_Table[46]);
    L_SW_Desc->SetCaption(Lang_Table[47]);
    Label1->SetCaption(Lang_Table[48]);
    Btn_OK->SetCaption(Lang_Table[49]);
    Btn_Cancel->SetCaption(Lang_Table[50]);
}

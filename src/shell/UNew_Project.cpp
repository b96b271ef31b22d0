#include "shell/UNew_Project.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "shell/Globals.h"
#include "shell/UProject_Files.h"

int Create_Project_Folder(const String& name) {
    if (name.empty())
        return 45;
    if (!Is_Plain_Project_Name(name))
        return 43;
    const String folder = Project_Folder(name);
    if (DirectoryExists(folder))
        return 44;
    if (!CreateDir(folder))
        return 43;
    // The image builder writes into "bin"; should it fail here, it reports it then.
    ForceDirectories(PathJoin(folder, u"bin"));
    Project_Name = name;
    Project_Dir = folder;
    Set_Files();
    return 0;
}

TFNew_Project* FNew_Project = nullptr;

TFNew_Project::TFNew_Project(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FNew_Project");
    Set_Shell_Form_Look(this);
    Make_Title_Panel(this, 331, &L_SW_Code, &L_SW_Desc);
    Label1 = Make_Label(this, u"Label1", 16, 74);
    E_New_Proj = new TEdit(this);
    E_New_Proj->SetName(u"E_New_Proj");
    E_New_Proj->SetParent(this);
    E_New_Proj->SetBounds(16, 92, 299, 22);
    E_New_Proj->OnKeyPress = [this](TObject* s, Char& k) { E_New_ProjKeyPress(s, k); };
    Btn_OK = Make_Button(this, u"Btn_OK", 128, 124, 90, 30);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel = Make_Button(this, u"Btn_Cancel", 225, 124, 90, 30);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFNew_Project::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(331);
    SetClientHeight(162);
    Set_Lang();
}

void TFNew_Project::FormShow(TObject*) {
    E_New_Proj->SetText(String());
    if (E_New_Proj->CanFocus())
        SetActiveControl(E_New_Proj);
}

void TFNew_Project::E_New_ProjKeyPress(TObject* Sender, Char& Key) {
    if (Key == 13)
        Btn_OKClick(Sender);
}

void TFNew_Project::Btn_OKClick(TObject*) {
    const int refused = Create_Project_Folder(E_New_Proj->Text());
    if (refused != 0) {
        MessageDlg(Lang_Table[refused], mtError, TMsgDlgButtons{mbOK});
        return;
    }
    SetModalResult(mrOk);
}

void TFNew_Project::Set_Lang() {
    SetCaption(Lang_Table[38]);
    L_SW_Desc->SetCaption(Lang_Table[39]);
    Label1->SetCaption(Lang_Table[40]);
    Btn_OK->SetCaption(Lang_Table[41]);
    Btn_Cancel->SetCaption(Lang_Table[42]);
}

#pragma once
// The new-project dialog and the creation of a project folder.

#include "framework/System.h"
#include "shell/Shell_Controls.h"

// Creates the project folder with its "bin" folder in Projects_Dir and opens
// it (Project_Name, Project_Dir, Set_Files). Returns 0 on success, otherwise
// the index of the text to show: 45 for an empty name, 44 when the folder
// exists, 43 when it cannot be made or the name is not a plain folder name
// ("/", "\", "." and ".." would reach outside "PROJECTS").
int Create_Project_Folder(const String& name);

// The new-project dialog: a name, OK and Cancel. OK creates and opens the
// project and closes with OK; a refused name shows why and keeps the dialog.
class TFNew_Project : public TForm {
public:
    explicit TFNew_Project(TComponent* AOwner);
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* Label1;
    TEdit* E_New_Proj;
    TShellButton* Btn_OK;
    TShellButton* Btn_Cancel;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void E_New_ProjKeyPress(TObject* Sender, Char& Key);
    void Btn_OKClick(TObject* Sender);
    void Set_Lang();
};
extern TFNew_Project* FNew_Project;

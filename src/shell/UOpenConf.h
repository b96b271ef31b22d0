#pragma once
// The open-project dialog and the listing of the existing projects.

#include "framework/System.h"
#include "shell/Shell_Controls.h"

#include <vector>

// The names of the folders in Projects_Dir ("." and ".." and files left out).
std::vector<String> Load_Existing_Configuration();
// The index of the first entry equal to name when both are upper-cased, or -1.
int Search_Open_Conf(const std::vector<String>& SL, const String& name);
// The folder name of the open project: Project_Dir after Projects_Dir and
// the separator; empty when no project is open.
String Current_Project_Folder_Name();

// The open-project dialog: the list of the project folders, the open one
// preselected; OK closes with the chosen name in Name_Conf.
class TFOpenConf : public TForm {
public:
    explicit TFOpenConf(TComponent* AOwner);
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* Label1;
    TListBox* ListBox1;
    TShellButton* Btn_OK;
    TShellButton* Btn_Cancel;

    std::vector<String> SL;  // the project folder names, as listed
    String Name_Conf;        // the chosen project

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void ListBox1Click(TObject* Sender);
    void Set_Lang();
};
extern TFOpenConf* FOpenConf;

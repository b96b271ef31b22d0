#pragma once
// The main window of the configurator: a wizard of numbered steps, from
// "New Configuration" and "Open Configuration" at the top to "Update Device"
// at the bottom, laid out per model. Its creation prepares the program-wide
// state (folders, settings, texts, project paths) that every other window
// reads, so it is created first.

#include "framework/Dialogs.h"
#include "shell/Shell_Controls.h"

#include <functional>
#include <map>

class TFBridgeformeFirmWare : public TForm {
public:
    explicit TFBridgeformeFirmWare(TComponent* AOwner);

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* L_Begin;
    TShape* Shape2;  // the project box
    TLabel* L_Name_Conf;
    TLabel* L_Name_Conf_L2;
    TLabel* L_Step[11];  // L_Step_1 .. L_Step_10 at 1..10
    TShape* Shape1;      // the rule under the last step
    TLabel* L_Korvia;    // the web label
    TLinkLabel* LL_Update;
    TShellButton* Btn_Info;
    TShellButton* Btn_Opz;
    TShellButton* Btn_Close;
    TTimer* Timer_Update;
    TSaveDialog* SaveEDS;
    TSaveDialog* SaveMIB;

    // Every button of the window by its name ("Btn_New", "Btn_CreateBin", ...).
    TShellButton* Button(const String& name) const;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Set_Lang();
    void Change_Language();
    // The click of every button: dispatches by the button.
    void Btn_SNMP_MIB_Click(TObject* Sender);
    void Open_Project();
    void Create_New_Project();
    void Update_Device();
    void PROFINET_XML();
    void Build_EDS_File();
    int Select_Type();
    int Select_Map_SNMP();
    void Save_Setting();
    void Set_Files();
    // Starts an outside program and waits for it (see Start_Program of the shell).
    bool Start_Program(const String& NomeSW, const String& Parameter, bool tipo);
    void Timer_UpdateTimer(TObject* Sender);
    void LL_UpdateLinkClick(TObject* Sender, const String& Link);
    void L_KorviaClick(TObject* Sender);

private:
    struct TAction {
        bool Needs_Project;
        std::function<void()> Run;
    };
    TShellButton* Add_Button(const char16_t* name, int width, int height);
    void Lay_Out_Wizard();
    void Set_Project_Labels();
    void Set_SNMP_Buttons(bool enabled);

    std::map<String, TShellButton*> buttons_;
    std::map<TObject*, TAction> actions_;
};

extern TFBridgeformeFirmWare* FBridgeformeFirmWare;

// The message of every project-bound button while no project is open.
extern const char16_t* const Project_Not_Valid_Message;

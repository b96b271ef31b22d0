#pragma once
// The Options dialog and the online version check.

#include "framework/System.h"
#include "shell/Shell_Controls.h"

#include <functional>
#include <vector>

// The host (with an optional ":port") of the maker's version service. Set
// from the build-time constant; tests point it at a server on loopback.
extern String Version_Service_Host;
// The version query waits at most this long for the connection and the reply.
constexpr int Version_Query_Timeout_Ms = 10000;

// "http://<host>/home/download/GetversionSW.asp?nomesw=<code>".
String Version_Query_URL(const String& host, const String& code);

// A version text as a number: the part after the first blank (all of it when
// there is none), trimmed; its characters 1, 3, 4 and 5 (the point in 2 is
// skipped unchecked) read as a decimal number. "VER. 1.205" gives 1205;
// -1 when the text holds no version.
int Conv_Version(const String& text);

// True when the service's reply names a newer version than local.
// An empty reply and "VER. 0.000" (no version known) are never newer.
bool Is_Newer_Version(const String& reply, const String& local);

// Asks the service for the model's published version (model 0's code and
// version for 1018 and 2004) and compares. Every failure of the request (no
// connection, error status, time-out) counts as "not newer".
bool Check_Version();

// The names of the language files (".lng") in Language_Dir, plain files
// only, sorted without regard to case.
std::vector<String> Language_File_List();
// Six languages to a page: (count + 5) div 6 pages.
inline int Lang_Page_Count(int count) { return (count + 5) / 6; }

// The Options dialog: language pages, the internet options with the manual
// version check, the diagnostics button (models 4 and 25) and the two
// table-editing options (models 15 and 34).
class TFSoftOptions : public TForm {
public:
    explicit TFSoftOptions(TComponent* AOwner);

    int Show_Page = 1;
    std::vector<String> SL_Languages;
    String Language_In_Use;

    // Set by the main window: re-apply the texts to every window, and show
    // the diagnostics window.
    std::function<void()> Change_Language;
    std::function<void()> Show_Advance_Functions;

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TShellButton* Btn_OK;
    TShellButton* Btn_Cancel;
    TPageControl* PC_Options;
    TTabSheet* TS_Language;
    TTabSheet* TS_Con_Options;
    TTabSheet* TS_AdvanceFunctions;
    TTabSheet* TS_Soft_Settings;
    TLabel* L_Sel_Lang;
    TImage* I_L[7];  // I_L1 .. I_L6 at 1..6
    TLabel* L_L[7];  // L_L1 .. L_L6 at 1..6
    TLabel* L_Page_Lang;
    TShellButton* Btn_Prev;
    TShellButton* Btn_Next;
    TCheckBox* CB_En_Con;
    TCheckBox* CB_Update;
    TShellButton* Btn_Check_Update;
    TLinkLabel* LL_Check_Update;
    TShellButton* Btn_Advance_Functions;
    TCheckBox* CB_Soft_Set_Jump_Table;
    TCheckBox* CB_DoubleClick_Auto_Size;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Btn_OKClick(TObject* Sender);
    void LangClick(TObject* Sender);
    void Btn_NextClick(TObject* Sender);
    void CB_En_ConClick(TObject* Sender);
    void Update_CheckBox();
    void Btn_Check_UpdateClick(TObject* Sender);
    void LL_Check_UpdateLinkClick(TObject* Sender, const String& Link);
    void Btn_Advance_FunctionsClick(TObject* Sender);
    void Create_Lang_List();
    void Update_Lang_Page(int Page);
    void Set_Lang();
};
extern TFSoftOptions* FSoftOptions;

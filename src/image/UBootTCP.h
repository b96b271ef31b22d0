#pragma once
// The update step after the images: the dialog that finds the converter
// with a ping and starts the external updater, the job file
// "Ethernet_Update.xml" that tells the updater which firmware or bank file
// goes to which flash address of which processor, and the updater program
// with its command line.

#include "framework/System.h"
#include "image/ImageError.h"
#include "shell/Shell_Controls.h"

#include <functional>
#include <string>

class TXmlDocument;

// The dialog's four check boxes.
struct TUpdate_Options {
    bool Firmware = true;   // CB_Firmware
    bool Read_Firm = true;  // CB_Read_Firm
    bool Conf = true;       // CB_Conf
    bool Read_Conf = true;  // CB_Read_Conf
};

struct TUpdate_Context {
    int Model_Code = 0;
    String IP_Address;  // the four octet fields joined with "." exactly as typed
    String Exe_Dir, Master_Dir, Project_Dir;
    TUpdate_Options Options;
    int map_type_809 = 1;  // SNMP map type of models 16..19 (Get_Map_Type_809)

    // Model_Code and the folders of the shell.
    static TUpdate_Context From_Globals(const String& ipAddress, const TUpdate_Options& options);
};

// The fixed identity codes of the converter processors ("0x" and upper-case
// hexadecimal digits), per model that takes a job; nullptr where the model
// names no such processor. Listed in the README.
struct TProcessor_Identity {
    int Model_Code;
    const char16_t* Main;
    const char16_t* Second;
};
const TProcessor_Identity* Find_Processor_Identity(int modelCode);

// The name at the head of the job's title: the maker's web site, or the
// partner company for the partner variants 1018 and 2004. Listed in the README.
String Update_Title_Name(int modelCode);

// False for the models with their own updater (1, 2, 3, 5, 7, 14, 22, 23, 24).
bool Writes_Update_Job(int modelCode);

// The job tree of each writer, into doc (cleared first).
void Compile_XML_Parameter(TXmlDocument& doc, const TUpdate_Context& ctx);
void Compile_XML_Parameter_802(TXmlDocument& doc, const TUpdate_Context& ctx);
void Compile_XML_Parameter_New_Boot(TXmlDocument& doc, const TUpdate_Context& ctx);

// The job of the model's writer as the bytes of the file.
std::string Update_Job_Text(const TUpdate_Context& ctx);
// Writes Exe_Dir + "/Ethernet_Update.xml" atomically. EImageError when the
// model takes no job or the file cannot be written; the updater must then
// not be started.
void Write_Update_Job(const TUpdate_Context& ctx);

// 1 for models 1018 and 30 and when "ParGen.xml" does not exist; otherwise
// the number in its "SNMP_MapType" (0 when missing or not a number).
int Get_Map_Type_809(int modelCode, const String& pathParGen);

// The program to start and its command line (empty for the job models).
struct TUpdater_Call {
    String Program;
    String Parameters;
};
TUpdater_Call Updater_Call(const TUpdate_Context& ctx);

// The firmware file name in the "MASTER" folder, looked up without regard to
// letter case; the name as given when no file matches.
String Find_Master_File(const String& masterDir, const String& name);

// ---------------------------------------------------------------------------
// The update dialog
// ---------------------------------------------------------------------------
// Two pages on one window: the converter's address with a ping, then after
// "Next" the four option boxes and the button that writes the job and starts
// the updater, waiting for it.

// One echo request: true when the address answered within timeoutMs.
// Raises (EOSError) when the address cannot be pinged at all.
using TEcho_Routine = std::function<bool(const String& address, int timeoutMs)>;

class TFBootTCP : public TForm {
public:
    explicit TFBootTCP(TComponent* AOwner);
    ~TFBootTCP() override;

    // Result of the last echo: 0 none yet, 1 answered. Deliberately not reset
    // between the echoes of one ping: once answered, later rounds count too.
    int ping_ = 0;
    bool Esegui_Ping = false;  // a ping succeeded; "Next" requires it
    int map_type_809 = 1;

    // Named so that tests can shorten them and script the echoes.
    int Echo_Timeout_Ms = 400;     // wait for one echo's reply
    int Ping_Budget_Ms = 10000;    // a ping gives up after this long
    Cardinal Updater_Wait_Ms;      // Start_Program_Limit_Ms
    TEcho_Routine Echo;            // the framework's ICMP echo

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* L_IP_Address;
    TEdit* E_IP1;
    TEdit* E_IP2;
    TEdit* E_IP3;
    TEdit* E_IP4;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* L_Ping;
    TLabel* LPing;
    TPanel* P_Title;
    TPanel* P_Button;
    TFlatButton* Btn_Cancel;
    TFlatButton* Btn_Update;
    TFlatButton* Btn_Next;
    TFlatButton* Btn_Ping;
    TLabel* L_Options;
    TCheckBox* CB_Firmware;
    TCheckBox* CB_Read_Firm;
    TCheckBox* CB_Conf;
    TCheckBox* CB_Read_Conf;

    void FormCreate(TObject* Sender);
    void Set_Lang();
    void FormShow(TObject* Sender);
    void E_IP1KeyPress(TObject* Sender, Char& Key);
    void E_IP2KeyPress(TObject* Sender, Char& Key);
    void E_IP3KeyPress(TObject* Sender, Char& Key);
    void LbButton1Click(TObject* Sender);  // Ping
    void PingReply();                       // an echo was answered
    void LbButton2Click(TObject* Sender);  // Next
    void LbButton4Click(TObject* Sender);  // Execute update firmware

    // Trims IP and splits it at its first three dots (each part trimmed);
    // true when all four parts are integers from 0 to 255.
    static bool Valid_IP(const String& IP, String& IP1, String& IP2, String& IP3, String& IP4);

    // The four octet fields joined with ".", as typed.
    String Typed_Address() const;
    // True while the ping loop runs.
    bool Pinging() const { return pinging_; }

private:
    void Move_Focus(TEdit* next, Char& Key);
    void Show_Page(bool options);
    // One echo on a worker thread, waited for while messages run; false when
    // the echo routine raised.
    bool Run_Echo(const String& address);

    bool pinging_ = false;
    bool echo_failed_ = false;
};
extern TFBootTCP* FBootTCP;

// The hardware order code that the address prompt ends with: the software
// code with GX for CV, and the partner product codes for 1018 and 2004.
String Update_Order_Code(int modelCode);

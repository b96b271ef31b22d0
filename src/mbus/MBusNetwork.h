#pragma once
// The project's M-Bus network: nodes (one per meter), each owning its
// variables (the data records picked out of the meter's answer), the file
// "M_Bus.xml" that holds it, the keys of "ParGen.xml" its editor works with,
// and the number of process-image bytes the network takes.

#include "framework/System.h"

#include <memory>
#include <vector>

// One data record of a meter.
class TVariabile : public TObject {
public:
    bool Enable = false;
    String Description;
    int Type_Of_Data = 0;     // type-of-data code; a scan may give 65535 (none)
    int Function_Field = 0;   // 0 instantaneous, 1 minimum, 2 maximum, 3 during error state
    int Dimension = 0;        // data size code 0..7; a scan may give 255 (no data)
    int Unita = 0;            // 0..10
    bool Scale = false;       // a scale byte follows the value
    Cardinal Storage_Number = 0;
    int Tariff = 0;           // 0..0xFFFFF
    Byte VIFE = 0;
    bool BCDtoINT = false;
    Byte SWAP = 0;
    int Length = 0;           // bytes of a variable-length value, 0..191
    String VIF_ASCII;         // the VIF text of type 21
    bool TP_Mod_Regs = false; // a time point in six bytes
    Byte Position = 0;        // 1..100, for "By Position" nodes
    bool ForceInteger32 = false;
    Byte Post_Operation = 0;
    bool Conv_Float = false;  // model 21
    // SNMP settings of the value (model 21).
    String Var_CommName;
    bool Var_OnChange = false;
    bool Var_OnTimer = false;
    int Var_Timer = 0;
    String Var_Desc;
    String Var_IP_Add;
    String Var_Mnemonic;
};

using TVar_Lista = std::vector<std::unique_ptr<TVariabile>>;

// One meter of the network; it owns its variables.
class TNodo : public TObject {
public:
    bool Enable = false;
    String Description;
    int Node_ID_Primary = 0;    // 0..255
    int Node_ID_Secondary = 0;  // 0..99999999
    Byte Send_SNK = 0;
    Byte Reset_App = 0;
    TVar_Lista Var_List;
    Byte Node_State = 0;        // 1: node-state byte in the image
    Byte Ident_Num = 0;         // 1: identification number (4 bytes) in the image
    Byte BCDtoINT_IN = 0;
    int Swap_Ident = 0;         // 0 "None", 1 "Type 1"
    Byte Node_ID_Type = 0;      // 0 primary, anything else secondary
    Byte Var_List_Type = 0;     // 0 "By Type", 1 "By Position"
    Byte Cut_After = 0;         // index of the frame count 1..250
    // SNMP settings of the node-state value and of the identification number (model 21).
    String NS_CommName;
    bool NS_OnChange = false;
    bool NS_OnTimer = false;
    int NS_Timer = 0;
    String NS_Desc;
    String NS_IP_Add;
    String NS_Mnemonic;
    String IN_CommName;
    bool IN_OnChange = false;
    bool IN_OnTimer = false;
    int IN_Timer = 0;
    String IN_Desc;
    String IN_IP_Add;
    String IN_Mnemonic;
};

using TNodi_List = std::vector<std::unique_ptr<TNodo>>;

// The address in use: the secondary when Node_ID_Type is not 0.
int Active_ID(const TNodo& Node);

// The texts of the editor's combo boxes; a code is the index of its text.
extern const std::vector<String> Type_Of_Data_Texts;  // 26
extern const std::vector<String> VIFE_Texts;          // 126
extern const std::vector<String> Function_Field_Texts;
extern const std::vector<String> Dimension_Texts;
extern const std::vector<String> Post_Operation_Texts;

constexpr int Type_Time_Point = 20;
constexpr int Type_VIF_ASCII = 21;
constexpr int Dim_Variable_Length = 7;

// Reads "M_Bus.xml" into List, appending the nodes in file order (a missing
// file gives nothing). The SNMP attributes are read for model 21 only.
// Returns "" when the whole file was read; otherwise the message of what
// stopped the reading, List holding the nodes read until then.
String Read_MBus_Network(const String& Path, int Model, TNodi_List& List);

// The document the editor writes, as bytes; and written whole to Path
// (EFCreateError on failure, the old file kept).
std::string MBus_Network_Xml(const TNodi_List& List, int Model);
void Write_MBus_Network(const String& Path, int Model, const TNodi_List& List);

// The keys of "ParGen.xml" the editor reads when shown.
struct TMBus_ParGen {
    bool Auto_Calc_Byte_Used = false;
    int Working_Mode = 0;
    int Num_Byte_Par_Gen = 1439;
    int Map_Type_808 = 1;
};
TMBus_ParGen Read_MBus_ParGen(const String& Path, int Model);

// The SNMP map type of the project: 1 for "VARIABLE", else 0 (also when the
// file or the key is missing).
int Read_Map_Type(const String& Path);

// Sets PROFINET_NB_OUT of an existing "ParGen.xml" to Count, appending the
// element when missing; nothing else of the file changes. EFCreateError (or
// the loading error) when it cannot be done.
void Write_NB_OUT(const String& Path, int Count);

// Bytes a variable takes in the process image, and the whole network's count
// (a count of 0 counts as 1).
int Var_Byte_Count(const TNodo& Node, const TVariabile& Var);
// The bytes of the value's data size alone (a variable length its Length,
// an unknown size 2).
int Dimension_Bytes(const TVariabile& Var);
int Calcola_Byte_Usati(const TNodi_List& List);

// Copies of the parts "Copy Variable" and "Copy Node" take: neither the post
// operation, the float conversion nor any SNMP setting.
std::unique_ptr<TVariabile> Copy_Of_Var(const TVariabile& Var);
std::unique_ptr<TNodo> Copy_Of_Node(const TNodo& Node);

// A primary address is 0..255, a secondary one 0..99999999.
constexpr int Max_Node_ID(bool Secondary) { return Secondary ? 99999999 : 255; }

// The node-ID dialog's duplicate check: false when a node of List has Number
// as its address in use and that address is of the same kind (Secondary).
bool Check_Node_ID2(const TNodi_List& List, int Number, bool Secondary);

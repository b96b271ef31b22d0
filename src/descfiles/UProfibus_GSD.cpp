#include "descfiles/UProfibus_GSD.h"

#include "descfiles/DescFile_Text.h"
#include "descfiles/Maker_Identity.h"
#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ParGenFile.h"
#include "shell/ULanguage.h"

#include <memory>

int GSD_Input_Len = 0;
int GSD_Output_Len = 0;

namespace {

constexpr int Module_Size = 64;  // bytes per GSD module; only the last of a direction is shorter
constexpr int Box_Width = 85;    // the comment box, closing "*" included
constexpr int Profibus_Max_Length = 244;  // bytes a DP slave exchanges each way

// ";" and n - 1 "=".
String Rule(int n) { return u";" + StringOfChar(u'=', n - 1); }

// ";==== T " filled with "=" to n characters.
String Title(int n, const String& t) {
    String s = u";==== " + t + u" ";
    if (Length(s) < n) s += StringOfChar(u'=', n - Length(s));
    return s;
}

const String Box = u";*" + StringOfChar(u' ', 82) + u"*";

// A comment-box line: the text, blanks to column 84, "*" in column 85.
String Boxed(const String& text) {
    String s = text;
    if (Length(s) < Box_Width - 1) s += StringOfChar(u' ', Box_Width - 1 - Length(s));
    return s + u"*";
}

int Module_Count(int length) { return length > 0 ? (length + Module_Size - 1) / Module_Size : 0; }

struct TGSD_Model {
    const char16_t* Heading;
    const char16_t* Function_Line;
    const char16_t* Order_Line;
    const char16_t* Model_Name;
    const char16_t* Function_Text;
};

const TGSD_Model Model_23 = {
    u";******************** PROFIBUS Slave / SNMP Agent - Converter ***********************",
    u";* Function:       PROFIBUS Slave / SNMP Agent - Converter                          *",
    u";* Order Number : GX52813-A1                                                        *",
    u"GX52813",
    u"PROFIBUS Slave / SNMP Agent - Converter",
};
const TGSD_Model Model_3 = {
    u";********************* PROFINET / PROFIBUS Slave - Converter ************************",
    u";* Function:       PROFINET / PROFIBUS Slave - Converter                            *",
    u";* Order Number : GX52828-A1                                                        *",
    u"GX52828",
    u"PROFINET / PROFIBUS Slave - Converter",
};

struct TExt_User_Prm {
    const char16_t* Header;
    std::vector<const char16_t*> Lines;
};

const TExt_User_Prm Ext_User_Prm_Data[] = {
    {u"ExtUserPrmData=1 \"[SlotNumber]\"", {u"Unsigned8 0 0-32"}},
    {u"ExtUserPrmData=2 \"Diagnostic Alarm\"", {u"Bit(0) 0 0-1", u"Prm_Text_Ref=1"}},
    {u"ExtUserPrmData=3 \"Process Alarm\"", {u"Bit(1) 0 0-1", u"Prm_Text_Ref=1"}},
    {u"ExtUserPrmData=4 \"Counter mode\"", {u"Unsigned8 0 0-1", u"Prm_Text_Ref=2"}},
    {u"ExtUserPrmData=5 \"Counter timebase (ms)\"", {u"Unsigned8 1 1-5", u"Prm_Text_Ref=3"}},
    {u"ExtUserPrmData=6 \"Counter high-limit\"", {u"Unsigned16 65535 0-65535"}},
    {u"ExtUserPrmData=7 \"Counter low-limit\"", {u"Unsigned16 0 0-65535"}},
};

// Modules of one direction, numbered on from k.
void Add_Modules(std::vector<String>& l, int& k, int length, const String& name, const String& id) {
    if (length <= 0) return;
    const int n = Module_Count(length);
    for (int m = 1; m <= n; ++m) {
        const int size = m < n ? Module_Size : length - Module_Size * (n - 1);
        l.push_back(u"Module=\"" + name + u"  (PORT" + IntToStr(k) + u")    \" 0x" + id + u",0x" + IntToHex(size - 1, 2) +
                    u",0x00,0x" + IntToHex(k, 2));
        l.push_back(IntToStr(k));
        l.push_back(u"EndModule");
        ++k;
    }
}

}  // namespace

bool Read_GSD_Lengths() {
    if (!FileExists(Path_ParGen)) return false;
    const TParGenFile par = TParGenFile::Load(Path_ParGen);
    // What the image takes when a length is missing or no number: nothing
    // for model 3, the whole PROFIBUS data area for the others.
    const int absent = Model_Code == 3 ? 0 : Profibus_Max_Length;
    const int nb_in = Number_Or(par.Raw(u"PROFIBUS_SLAVE_NB_IN"), absent);
    const int nb_out = Number_Or(par.Raw(u"PROFIBUS_SLAVE_NB_OUT"), absent);
    if (Model_Code == 3) {
        GSD_Input_Len = nb_in;
        GSD_Output_Len = nb_out;
    } else {
        GSD_Input_Len = nb_out;
        GSD_Output_Len = nb_in;
    }
    return true;
}

void Check_GSD_Lengths() {
    const String in_field = Model_Code == 3 ? u"PROFIBUS_SLAVE_NB_IN" : u"PROFIBUS_SLAVE_NB_OUT";
    const String out_field = Model_Code == 3 ? u"PROFIBUS_SLAVE_NB_OUT" : u"PROFIBUS_SLAVE_NB_IN";
    const std::pair<int, const String*> lengths[] = {{GSD_Input_Len, &in_field}, {GSD_Output_Len, &out_field}};
    for (const auto& [length, field] : lengths)
        if (length < 0 || length > Profibus_Max_Length)
            throw EDescFileError(Lang_Message(1104, {*field, IntToStr(length), u"0", IntToStr(Profibus_Max_Length)}));
    if (GSD_Input_Len == 0 && GSD_Output_Len == 0) throw EDescFileError(Lang_Message(1105, {in_field, out_field}));
}

std::vector<String> Build_GSD_Lines() {
    Check_GSD_Lengths();
    const TGSD_Model& m = Model_Code == 23 ? Model_23 : Model_3;
    const String vendor = Maker.Vendor_Name;
    const String B;
    const String indent = u";*" + StringOfChar(u' ', 11);
    const String rule_box = u";* " + StringOfChar(u'=', 80) + u" *";
    std::vector<String> l;
    auto add = [&l](std::initializer_list<String> lines) { l.insert(l.end(), lines); };

    // Comment box.
    add({u";", m.Heading, rule_box, Box});
    add({Boxed(u";* Vendor:   " + vendor), Boxed(indent + Maker.Street), Boxed(indent + Maker.Town),
         Boxed(indent + Maker.Province_Country), Boxed(indent + u"Tel. : " + Maker.Telephone),
         Boxed(indent + u"FAX. : " + Maker.Fax), Boxed(indent + u"eMail: " + Maker.Service_Mail)});
    add({Box, rule_box, Box, m.Function_Line, Box, Box, m.Order_Line, Box, Box, u";" + StringOfChar(u'*', 84)});
    add({B, B, u"#Profibus_DP", B, B});

    add({Rule(85), Title(85, u"Prm-Text-Def-List"), Rule(85), B});
    add({u"PrmText=1", u"Text(0)=\"disable\"", u"Text(1)=\"enable\"", u"EndPrmText", B});
    add({u"PrmText  = 2", u"Text(0)  = \"clock up\"", u"Text(1)  = \"clock down\"", u"EndPrmText", B});
    add({u"PrmText  = 3", u"Text(1)  = \"10\"", u"Text(2)  = \"20\"", u"Text(3)  = \"30\"", u"Text(4)  = \"40\"",
         u"Text(5)  = \"50\"", u"EndPrmText", B, B});

    add({Rule(86), Title(86, u"Ext-User-Prm-Data-Def-List"), Rule(86), B});
    for (const TExt_User_Prm& block : Ext_User_Prm_Data) {
        l.push_back(block.Header);
        for (const char16_t* line : block.Lines) l.push_back(line);
        add({u"EndExtUserPrmData", B});
    }
    l.push_back(B);

    add({Rule(86), Title(86, u"General DP Keywords"), Rule(86), B});
    add({u"GSD_Revision = 5", u"Vendor_Name = \"" + vendor + u"\"", u"Model_Name = \"" + String(m.Model_Name) + u"\"",
         u"Revision = \"1.00\"",
         u"Ident_Number = 0x" + IntToHex(Model_Code == 23 ? Maker.Profibus_Ident_Model_23 : Maker.Profibus_Ident_Model_3, 4),
         u"Protocol_Ident = 0", u"Station_Type = 0", u"FMS_supp = 0", u"Hardware_Release = \"V1.00\"",
         u"Software_Release = \"V1.00\"", u"Redundancy = 0", u"Repeater_Ctrl_Sig = 2", u"24V_Pins = 0", B, B});

    add({Rule(79), Title(79, u"Supported baudrates"), Rule(79), B});
    add({u"9.6_supp = 1", u"19.2_supp = 1", u"45.45_supp = 1", u"93.75_supp = 1", u"187.5_supp = 1", u"500_supp = 1",
         u"1.5M_supp = 1", u"3M_supp = 1", u"6M_supp = 1", u"12M_supp = 1", B});
    add({u"MaxTsdr_9.6=15", u"MaxTsdr_19.2=15", u"MaxTsdr_45.45=15", u"MaxTsdr_93.75=15", u"MaxTsdr_187.5=15",
         u"MaxTsdr_500=15", u"MaxTsdr_1.5M=20", u"MaxTsdr_3M=35", u"MaxTsdr_6M=50", u"MaxTsdr_12M=95", B, B});

    const int n_in = Module_Count(GSD_Input_Len);
    const int n_out = Module_Count(GSD_Output_Len);
    add({Rule(79), Title(79, u"Slave specific values"), Rule(79), B});
    add({u"OrderNumber=\"" + String(m.Model_Name) + u"\"", u"Slave_Family = 9@" + vendor + u"@" + m.Model_Name,
         u"Implementation_Type = \"VPC3+\"", u"Info_Text=\"" + vendor + u": " + m.Function_Text + u"\"",
         u"Bitmap_Device = \"DPV0_1N\"", u"Bitmap_SF=\"DPV0_1S\"", B});
    add({u"Freeze_Mode_supp=1", u"Sync_Mode_supp=1", u"Fail_Safe=1", u"Auto_Baud_supp=1", u"Set_Slave_Add_supp=0", B,
         u"Min_Slave_Intervall=6", B});
    add({u"Modular_Station=1", u"Max_Module=" + IntToStr(Int64(n_in) + n_out), u"Modul_Offset=1",
         u"Max_Input_Len=" + IntToStr(GSD_Input_Len), u"Max_Output_Len=" + IntToStr(GSD_Output_Len),
         u"Max_Data_Len=" + IntToStr(Int64(GSD_Input_Len) + GSD_Output_Len), u"Max_Diag_Data_Len=15", B,
         u"WD_Base_1ms_supp = 1", u"Publisher_supp = 1", B});

    add({Rule(79), Title(79, u"User-Prm-Data"), Rule(79), B, u"Max_User_Prm_Data_Len = 12",
         u"Ext_User_Prm_Data_Const(0)= 0x00,0x00,0x00", B});

    add({Rule(79), Title(79, u"Modulstatus"), Rule(79), B});
    add({u"Unit_Diag_Area = 24 - 25", u"Value(1)= \"Slot 1: Module error\"", u"Value(2)= \"Slot 1: Wrong module\"",
         u"Value(3)= \"Slot 1: No module\"", u"Unit_Diag_Area_End"});
    add({u"Unit_Diag_Area = 26 - 27", u"Value(1)= \"Slot 2: Module error\"", u"Value(2)= \"Slot 2: Wrong module\"",
         u"Value(3)= \"Slot 2: No module\"", u"Unit_Diag_Area_End", B, B});

    add({Rule(79), Title(79, u"Module-Definition-List"), Rule(79), B});
    int k = 1;
    Add_Modules(l, k, GSD_Input_Len, u"DI", u"42");
    Add_Modules(l, k, GSD_Output_Len, u"DO", u"82");

    add({B, B, B, u"SlotDefinition"});
    for (int s = 1; s <= n_in + n_out; ++s) {
        const String n = IntToStr(s);
        l.push_back(u"Slot(" + n + u") = \"Slot " + n + u"\" " + n + u" " + n);
    }
    add({u"EndSlotDefinition", B, B, B, B});
    return l;
}

void Write_GSD_File(const String& path) { Save_Desc_Lines(path, Build_GSD_Lines(), TDescEncoding::Ansi); }

String GSD_File_Name(const String& chosen) {
    if (Length(chosen) >= 4 && SameText(Copy(chosen, Length(chosen) - 3, 4), u".gsd")) return chosen;
    return chosen + u".gsd";
}

void Create_GSD_File() {
    try {
        // Without general parameters there are no lengths to describe.
        if (!Read_GSD_Lengths()) {
            MessageDlg(Lang_Table[336], mtError, {mbOK});
            return;
        }
        std::unique_ptr<TSaveDialog> save(new TSaveDialog(nullptr));
        save->InitialDir = Project_Dir;
        save->Filter = u"Generic Station Description (*.gsd)|*.gsd";
        if (!save->Execute()) return;
        const String path = GSD_File_Name(save->FileName);
        if (FileExists(path) && MessageDlg(Lang_Table[335], mtConfirmation, {mbYes, mbNo}) != mrYes) return;
        Write_GSD_File(path);
    } catch (const Exception& e) {
        Show_Desc_Error(e);
    }
}

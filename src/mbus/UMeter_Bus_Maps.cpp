// The editor's whole-network buttons: the SNMP map of the process image's
// values, the address map exported as CSV, and the import of a network file.
#include "framework/Dialogs.h"
#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "mbus/UMeter_Bus.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <filesystem>

String Get_Node_Desc(const TNodo& Node) {
    const String id = Node.Node_ID_Type != 0 ? u"ID Sec : " + IntToStr(Node.Node_ID_Secondary)
                                             : u"ID Pri : " + IntToStr(Node.Node_ID_Primary);
    return id + u" - " + Node.Description;
}

String Get_Var_Desc(const TVariabile& Var) { return Var.Description; }

namespace {

bool Same_File(const String& a, const String& b) {
    std::error_code ec;
    return std::filesystem::equivalent(StringToUtf8(a), StringToUtf8(b), ec);
}

String YN(bool b) { return b ? u"Y" : u"N"; }

// A description the map fills in must pass the map's own rule for object
// names: letters and digits only, beginning with a lower-case letter.
String Default_Desc(const String& text) {
    String d;
    for (const Char c : text) {
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (letter || (!d.empty() && c >= u'0' && c <= u'9')) d += c;
    }
    if (!d.empty() && d[0] >= u'A' && d[0] <= u'Z') d[0] = Char(d[0] - u'A' + u'a');
    return d;
}

TSNMP_Row SNMP_Row(std::size_t row, std::size_t node, int var, const String& nodeDesc, const String& varDesc,
                   const String& comm, bool onChange, bool onTimer, int timer, const char16_t* bits,
                   const String& desc, const String& ip, const String& mnemonic) {
    return {IntToStr(row), IntToStr(node), IntToStr(var), nodeDesc, varDesc, comm, u"String", YN(onChange),
            YN(onTimer),   IntToStr(timer), bits,         desc,     ip,      mnemonic};
}

struct TSNMP_Target {
    String* CommName;
    bool* OnChange;
    bool* OnTimer;
    int* Timer;
    String* Desc;
    String* IP_Add;
    String* Mnemonic;
};

}  // namespace

std::vector<TSNMP_Row> Network_SNMP_Rows(const TNodi_List& List) {
    std::vector<TSNMP_Row> rows;
    for (std::size_t i = 0; i < List.size(); ++i) {
        const TNodo& n = *List[i];
        if (!n.Enable)
            continue;
        const String nd = Get_Node_Desc(n);
        // An object without a description of its own takes the node's followed by its name.
        auto desc = [&](const String& own, const String& name) {
            return own.empty() ? Default_Desc(n.Description + name) : own;
        };
        if (n.Node_State == 1)
            rows.push_back(SNMP_Row(rows.size() + 1, i, -1, nd, u"Node State", n.NS_CommName, n.NS_OnChange,
                                    n.NS_OnTimer, n.NS_Timer, u"3", desc(n.NS_Desc, u"NodeState"), n.NS_IP_Add,
                                    n.NS_Mnemonic));
        if (n.Ident_Num == 1)
            rows.push_back(SNMP_Row(rows.size() + 1, i, -2, nd, u"Identification Number", n.IN_CommName,
                                    n.IN_OnChange, n.IN_OnTimer, n.IN_Timer, u"8", desc(n.IN_Desc, u"IdentNum"),
                                    n.IN_IP_Add, n.IN_Mnemonic));
        for (std::size_t j = 0; j < n.Var_List.size(); ++j) {
            const TVariabile& v = *n.Var_List[j];
            if (v.Enable)
                rows.push_back(SNMP_Row(rows.size() + 1, i, int(j), nd, Get_Var_Desc(v), v.Var_CommName,
                                        v.Var_OnChange, v.Var_OnTimer, v.Var_Timer, u"20",
                                        desc(v.Var_Desc, v.Description), v.Var_IP_Add, v.Var_Mnemonic));
        }
    }
    return rows;
}

void Copy_SNMP_Values(TNodi_List& List, const std::vector<TSNMP_Row>& Rows) {
    for (const TSNMP_Row& r : Rows) {
        const int ni = StrToIntDef(r[1], -3), vi = StrToIntDef(r[2], -3);
        if (ni < 0 || ni >= int(List.size()) || vi < -2)
            continue;
        TNodo& n = *List[ni];
        TSNMP_Target t;
        if (vi == -1)
            t = {&n.NS_CommName, &n.NS_OnChange, &n.NS_OnTimer, &n.NS_Timer, &n.NS_Desc, &n.NS_IP_Add, &n.NS_Mnemonic};
        else if (vi == -2)
            t = {&n.IN_CommName, &n.IN_OnChange, &n.IN_OnTimer, &n.IN_Timer, &n.IN_Desc, &n.IN_IP_Add, &n.IN_Mnemonic};
        else if (vi < int(n.Var_List.size())) {
            TVariabile& v = *n.Var_List[vi];
            t = {&v.Var_CommName, &v.Var_OnChange, &v.Var_OnTimer, &v.Var_Timer, &v.Var_Desc, &v.Var_IP_Add,
                 &v.Var_Mnemonic};
        } else
            continue;
        *t.CommName = r[5];
        *t.OnChange = r[7] == u"Y";
        *t.OnTimer = r[8] == u"Y";
        *t.Timer = StrToIntDef(r[9], 0);
        *t.Desc = r[11];
        *t.IP_Add = r[12];
        *t.Mnemonic = r[13];
    }
}

int Address_Map_Length(const TVariabile& Var) {
    if (Var.Type_Of_Data == Type_Time_Point && Var.TP_Mod_Regs)
        return 6;
    return Var.ForceInteger32 ? 4 : Dimension_Bytes(Var);
}

std::vector<String> Address_Map_Lines(const TNodi_List& List) {
    std::vector<String> lines{u"ID Node; Node Description; Variable Description; Position; Length;"};
    int pos = 0;
    auto line = [&](const String& head, const String& what, int length) {
        lines.push_back(head + what + u"; " + IntToStr(pos) + u"; " + IntToStr(length) + u";");
        pos += length;
    };
    for (const auto& n : List) {
        if (!n->Enable)
            continue;
        const String head = IntToStr(Active_ID(*n)) + u"; " + n->Description + u"; ";
        if (n->Node_State == 1)
            line(head, u"Node State", 1);
        if (n->Ident_Num == 1)
            line(head, u"Identification Number", 4);
        for (const auto& v : n->Var_List) {
            if (!v->Enable)
                continue;
            line(head, v->Description, Address_Map_Length(*v));
            if (v->Scale)
                line(head, u"Scale - " + v->Description, 1);
        }
    }
    return lines;
}

String Address_Map_File_Name(const String& Chosen) {
    return UpperCase(Chosen).find(u".CSV") != String::npos ? Chosen : Chosen + u".csv";
}

void TFMeter_Bus::Btn_Export_MapClick(TObject*) {
    TSaveDialog dlg(nullptr);
    dlg.Filter = u"comma-separated value (*.csv)|*.csv";
    dlg.InitialDir = Project_Dir;
    if (!dlg.Execute())
        return;
    // Single-byte text with CR LF, like the system's other text files.
    String text;
    for (const String& l : Address_Map_Lines(Nodi_List)) text += l + u"\r\n";
    try {
        WriteFileAtomic(Address_Map_File_Name(dlg.FileName), StringToWindows1252(text));
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
    }
}

// The chosen file must read as a network before it replaces the project's;
// the copy lands whole or not at all.
void TFMeter_Bus::Btn_ImportNetClick(TObject* Sender) {
    TOpenDialog dlg(nullptr);
    dlg.Filter = u"XML File (*.xml)|*.xml";
    if (!dlg.Execute())
        return;
    const String source = dlg.FileName;
    TNodi_List probe;
    const String error = Read_MBus_Network(source, Model_Code, probe);
    if (!error.empty()) {
        MessageDlg(error, mtError, TMsgDlgButtons{mbOK});
        return;
    }
    if (Same_File(source, Path_M_Bus))
        return;
    if (FileExists(Path_M_Bus) &&
        MessageDlg(Lang_Table[799], mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes)
        return;
    if (!CopyFile(source, Path_M_Bus, false)) {
        MessageDlg(Lang_Message(1110, {Path_M_Bus}), mtError, TMsgDlgButtons{mbOK});
        return;
    }
    FormShow(Sender);
}

void TFMeter_Bus::Btn_SNMPClick(TObject*) {
    if (!Edit_SNMP_Map)
        return;
    std::vector<TSNMP_Row> rows = Network_SNMP_Rows(Nodi_List);
    // The settings copied back do not count as a change of the network.
    if (Edit_SNMP_Map(rows))
        Copy_SNMP_Values(Nodi_List, rows);
}

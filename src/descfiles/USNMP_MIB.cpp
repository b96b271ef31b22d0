#include "descfiles/USNMP_MIB.h"

#include "descfiles/DescFile_Text.h"
#include "descfiles/Maker_Identity.h"
#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <memory>

std::vector<bool> MIB_Read_Is_Int;
std::vector<bool> MIB_Write_Is_Int;

namespace {

// The flags are filled with the lists; a list filled elsewhere reads as text.
bool Is_Int(const std::vector<bool>& flags, size_t i) { return i < flags.size() && flags[i]; }

TXmlNode Map_Element(const TXmlNode& root, const char16_t* name) {
    TXmlNode table = root.ChildNode(name);
    if (!table)
        throw EDescFileError(Lang_Message(1181, {Path_SNMP_Trap, name}));
    return table;
}

// The longest descriptor a MIB may hold.
constexpr size_t Max_Descriptor = 64;

// A description names its object: the rule the access editor keeps (a
// lower-case letter first, then letters and digits) and the length of a
// descriptor. A hand-edited file that breaks it is refused by its row, for
// strict MIB compilers reject the module. Rule_Text: the editor's text.
void Check_Object_Name(const String& description, int row, const char16_t* table, int rule_text) {
    if (description.empty()) return;  // the object takes a name of the module's own
    int rule = 0;
    if (Check_Name_Chars(description, 1) != 0) rule = rule_text;
    else if (description.size() > Max_Descriptor) rule = 1107;
    if (rule != 0)
        throw EDescFileError(Lang_Message(1106, {IntToStr(row), table, description, Lang_Table[rule]}));
}

void Read_Map(const TXmlNode& table, const char16_t* name, int rule_text, std::vector<String>& list,
              std::vector<bool>& is_int) {
    int row_number = 0;
    for (const TXmlNode& row : table.Children()) {
        ++row_number;
        if (UpperCase(row.AttributeOr(u"Enable", String())) != u"Y") continue;
        const String description = row.AttributeOr(u"Description", String());
        Check_Object_Name(description, row_number, name, rule_text);
        list.push_back(description);
        is_int.push_back(UpperCase(row.AttributeOr(u"Type", String())) == u"INT");
    }
}

void Check_Description(const String& e, const String& map, size_t p) {
    for (Char c : e) {
        if (c == u'"' || c < 0x20 || c == 0x7F)
            throw EDescFileError(Lang_Message(1182, {IntToStr(p), map, Describe_Char(c)}));
    }
}

// The names the module gives its own nodes and objects.
const char16_t* const Fixed_Names[] = {
    u"enterprises", u"identity", u"korvia",      u"gateway",  u"application", u"data",  u"hellostring",
    u"countin",     u"countout", u"bufferin",    u"bufferinval", u"bufferout", u"bufferoutval", u"traps",
    u"trapsval",
};
// Prefixes of names made with a row's position: the nodes' own blocks and
// the objects of rows without a description.
const char16_t* const Numbered_Names[] = {u"bufferinblk", u"bufferoutblk", u"bufferinval", u"bufferoutval", u"trapval"};

void Add_Objects(std::vector<String>& l, const std::vector<String>& list, const std::vector<bool>& is_int,
                 const String& parent, const String& access, const String& map, std::vector<String>& taken) {
    for (size_t i = 0; i < list.size(); ++i) {
        const String& e = list[i];
        const String p = IntToStr(i + 1);
        Check_Description(e, map, i + 1);
        if (!e.empty()) {
            String why = MIB_Name_Clash(e);
            if (why.empty() && std::find(taken.begin(), taken.end(), UpperCase(e)) != taken.end())
                why = Lang_Table[1186];
            if (!why.empty())
                throw EDescFileError(Lang_Message(1183, {e, IntToStr(i + 1), map, why}));
            taken.push_back(UpperCase(e));
        }
        const String name = e.empty() ? parent + p : e;
        const String syntax = Is_Int(is_int, i) ? u"INTEGER" : u"OCTET STRING";
        l.push_back(name + u" OBJECT-TYPE SYNTAX " + syntax + u" MAX-ACCESS " + access +
                    u" STATUS current DESCRIPTION \"" + e + u"\" ::= { " + parent + u" " + p + u" }");
    }
}

}  // namespace

String MIB_Name_Clash(const String& description) {
    // Descriptors that differ only in case are one name to many managers.
    const String d = UpperCase(description);
    for (const char16_t* name : Fixed_Names)
        if (d == UpperCase(name)) return Lang_Message(1187, {name});
    for (const char16_t* prefix : Numbered_Names) {
        const String pre = UpperCase(prefix);
        if (d.size() > pre.size() && d.compare(0, pre.size(), pre) == 0 &&
            std::all_of(d.begin() + pre.size(), d.end(), [](Char c) { return c >= u'0' && c <= u'9'; }))
            return Lang_Message(1188, {prefix});
    }
    return String();
}

void Read_SNMP_Trap_For_MIB() {
    SNMP_MIB_Read_List.clear();
    SNMP_MIB_Write_List.clear();
    MIB_Read_Is_Int.clear();
    MIB_Write_Is_Int.clear();
    if (!FileExists(Path_SNMP_Trap)) return;
    TXmlDocument doc;
    doc.LoadFromFile(Path_SNMP_Trap);
    TXmlNode root = doc.DocumentElement();
    // The editor's texts of its description rule, for the read and the write map.
    Read_Map(Map_Element(root, u"SNMP_Trap_Read"), u"SNMP_Trap_Read", 1077, SNMP_MIB_Read_List, MIB_Read_Is_Int);
    // The M-Bus master / SNMP agent has no write map.
    if (Model_Code != 21)
        Read_Map(Map_Element(root, u"SNMP_Trap_Write"), u"SNMP_Trap_Write", 1079, SNMP_MIB_Write_List,
                 MIB_Write_Is_Int);
}

std::vector<String> Build_MIB_Lines() {
    const String B;
    const String blanks4 = u"    ";
    std::vector<String> l = {
        u"GATEWAY DEFINITIONS ::= BEGIN",
        u"IMPORTS",
        u"       MODULE-IDENTITY, OBJECT-TYPE, NOTIFICATION-TYPE, enterprises",
        u"         FROM SNMPv2-SMI;",
        B,
        u"identity MODULE-IDENTITY",
        u"    LAST-UPDATED \"201701310000Z\"",
        u"    ORGANIZATION \"" + String(Maker.Organization) + u"\"",
        u"    CONTACT-INFO",
        u"\t \"" + String(Maker.Contact_Street),
        blanks4 + Maker.Contact_Town,
        blanks4 + Maker.Contact_Country,
        u"    email:    " + String(Maker.Contact_Mail) + u"\"",
        u"    DESCRIPTION",
        u"\t\"MIB objects for agent module \"",
        u"    REVISION     \"201701310000Z\"",
        u"    DESCRIPTION",
        u"\t\"Corrected notification \"",
        u"    REVISION     \"200202060000Z\"",
        u"    DESCRIPTION",
        u"\t\"First draft\"",
        u"    ::= { korvia 2 }",
        u"korvia          OBJECT IDENTIFIER ::= { enterprises " + IntToStr(Maker.Enterprise_Number) + u" }",
        u"gateway OBJECT IDENTIFIER::= { korvia 1 }",
        u"application OBJECT IDENTIFIER::= { gateway 1 }",
        u"data OBJECT IDENTIFIER::= { application 1 }",
        u"hellostring OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only  STATUS current  DESCRIPTION \"\" ::= { data 1}",
        u"countin  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-only  STATUS current  DESCRIPTION \"\" ::= { data 2}",
        u"countout  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-write STATUS current  DESCRIPTION \"\" ::= { data 3}",
        u"bufferin OBJECT IDENTIFIER::= { data 4 }",
    };
    for (int b = 1; b <= 8; ++b)
        l.push_back(u"bufferinblk" + IntToStr(b) + u" OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n." +
                    IntToStr(b) + u"\" ::= { bufferin " + IntToStr(b) + u" }");
    l.push_back(u" bufferinval OBJECT IDENTIFIER::= { bufferin 9 }");
    std::vector<String> taken;  // the descriptions named so far, upper-cased
    Add_Objects(l, SNMP_MIB_Read_List, MIB_Read_Is_Int, u"bufferinval", u"read-only", Lang_Table[1184], taken);
    l.push_back(u"bufferout OBJECT IDENTIFIER::= { data 5 }");
    for (int b = 1; b <= 8; ++b)
        l.push_back(u"bufferoutblk" + IntToStr(b) + u" OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n." +
                    IntToStr(b) + u"\" ::= { bufferout " + IntToStr(b) + u" }");
    l.push_back(u" bufferoutval OBJECT IDENTIFIER::= { bufferout 9 }");
    Add_Objects(l, SNMP_MIB_Write_List, MIB_Write_Is_Int, u"bufferoutval", u"read-write", Lang_Table[1185], taken);
    l.push_back(u"traps OBJECT IDENTIFIER::= { application 2 }");
    l.push_back(u" trapsval OBJECT IDENTIFIER::= { traps 1 }");
    // Each notification carries the read object of its row.
    for (size_t i = 0; i < SNMP_MIB_Read_List.size(); ++i) {
        const String p = IntToStr(i + 1);
        const String& e = SNMP_MIB_Read_List[i];
        l.push_back(u"trapval" + p + u" NOTIFICATION-TYPE OBJECTS { " + (e.empty() ? u"bufferinval" + p : e) +
                    u" } STATUS current DESCRIPTION \"" + e + u"\" ::= { trapsval " + p + u" }");
    }
    l.push_back(u"END");
    return l;
}

void Write_MIB_File(const String& FileName) { Save_Desc_Lines(FileName, Build_MIB_Lines(), TDescEncoding::Ansi); }

void Create_MIB_File() {
    try {
        std::unique_ptr<TSaveDialog> save(new TSaveDialog(nullptr));
        save->InitialDir = Project_Dir;
        save->Filter = u"Management Information Base (*.mib)|*.mib";
        save->DefaultExt = u"*.mib";
        if (!save->Execute()) return;
        const String path = save->FileName;
        if (FileExists(path) && MessageDlg(Lang_Table[1103], mtConfirmation, {mbYes, mbNo}) != mrYes) return;
        Read_SNMP_Trap_For_MIB();
        Write_MIB_File(path);
    } catch (const Exception& e) {
        Show_Desc_Error(e);
    }
}

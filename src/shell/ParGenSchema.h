#pragma once
// The one definition of "ParGen.xml": every element name, how its text is
// encoded, the form control it belongs to, its "missing" default, and which
// models hold it in which order. The form's reader and writer and every other
// reader of the file work from this table.

#include "framework/System.h"

#include <span>
#include <string_view>
#include <vector>

enum class TParGenEncoding {
    Flag,      // "1" on, "0" off; only exactly "1" reads as on
    Position,  // decimal position in the control's fixed list
    ListText,  // the entry's text as the list shows it; read back trimmed and upper-cased
    Text,      // the edit field's text exactly as typed
    Fixed,     // a constant written whatever the controls hold; never read back
};

// How an element's text turns into its control's state, where that is more
// than its encoding says.
enum class TParGenReading {
    Plain,
    VersionFlag,   // one of SNMP_VERSION1..3: "1" selects its own entry, later ones win
    ZeroOrOther,   // DMX_TYPE: "0" selects position 0, any other text position 1
    DmxCount,      // models 22, 29: the channel count lives in the byte counts
    Ignored,       // the stored text is not used; the control always shows the default
};

struct TParGenElement {
    std::u16string_view Name;
    TParGenEncoding Encoding;
    std::u16string_view Control;  // the form's control
    std::u16string_view Missing;  // default text; positions as decimal text, flags "0"
    std::span<const std::u16string_view> List;  // the fixed list of Position/ListText controls
};

// An element as one model holds it: encoding, control and default resolved
// for that model.
struct TParGenItem {
    const TParGenElement* Element;
    TParGenEncoding Encoding;
    TParGenReading Reading;
    std::u16string_view Control;
    String Missing;     // what the control takes when the element is missing or unreadable
    String NewProject;  // what a new project starts with (usually Missing)
    int Param = 0;      // VersionFlag: the version position the element stands for
};

// All 185 element names, in the table's order.
std::span<const TParGenElement> ParGen_All_Elements();
// nullptr when the name is not an element of the file (names are exact, case included).
const TParGenElement* ParGen_Find_Element(std::u16string_view name);

// The elements of a model's file in the order they are written.
const std::vector<TParGenItem>& ParGen_Model_Items(int model);
// The item of one element for a model; nullptr when the model does not hold it.
const TParGenItem* ParGen_Model_Item(int model, std::u16string_view name);

// The version text of the model ("1.113"), written in the file's comment.
String ParGen_Version(int model);

// True for the 38 model codes the file knows.
bool ParGen_Is_Model(int model);
extern const int ParGen_Model_Codes[38];

// The SNMP-agent models: their top box is the SNMP agent.
bool ParGen_Is_SNMP_Agent(int model);

// The list-text rule: the text trimmed and upper-cased, matched against the
// list's entries upper-cased; no match gives position 0.
int ParGen_List_Text_Code(std::u16string_view text, std::span<const std::u16string_view> list);

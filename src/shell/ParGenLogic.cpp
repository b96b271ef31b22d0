#include "shell/ParGenLogic.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "shell/ParGenFile.h"
#include "shell/ParGenSchema.h"
#include "shell/UModel_Tables.h"

#include <algorithm>
#include <filesystem>

namespace {

bool In(int model, std::initializer_list<int> models) {
    for (int m : models)
        if (m == model) return true;
    return false;
}

String Num(int n) { return Utf8ToString(std::to_string(n)); }

bool File_Exists(const String& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(StringToUtf8(path)), ec);
}

// The strict conversion of the M-Bus count: text that is not a whole number
// is an error the user is told of, naming the file, the entry and the attribute.
int Str_To_Int(const TXmlNode& node, const char16_t* attribute, const String& file, int meter, int entry) {
    try {
        return StrToInt(node.Attribute(attribute).value_or(String()));
    } catch (const EConvertError& e) {
        throw EConvertError(
            Lang_Message(1197, {file, node.NodeName(), Num(entry), Num(meter), attribute, e.Message()}));
    }
}

int Number_Or_Zero(const std::optional<String>& text) { return StrToIntDef(text.value_or(String()), 0); }

// The twelve octet edits of each address block, in the order "." walks them.
struct TAddressBlock {
    std::initializer_list<int> Models;  // where "." moves on; elsewhere it is only discarded
    const char16_t* Ip;
    const char16_t* Sm;
    const char16_t* Gat;
    const char16_t* Suffix;
};

const TAddressBlock Address_Blocks[] = {
    {{}, u"E_IP", u"E_SM", u"E_GAT", u""},
    {{11, 19}, u"E_IP", u"E_SM", u"E_GAT", u"_Modbus_TCP_Master"},
    {{12, 17}, u"E_IP", u"E_SM", u"E_GAT", u"_Modbus_TCP_Slave"},
    {{13, 35}, u"E_EIP_IP", u"E_EIP_SM", u"E_EIP_GAT", u""},
    {{20}, u"E_SNMP_IP", u"E_SNMP_SM", u"E_SNMP_GAT", u""},
    {{31}, u"E_Ethernet_IP", u"E_Ethernet_SM", u"E_Ethernet_GAT", u""},
};

std::vector<String> Octets(const TAddressBlock& b) {
    std::vector<String> names;
    for (const char16_t* p : {b.Ip, b.Sm, b.Gat})
        for (int i = 1; i <= 4; ++i) names.push_back(String(p) + Char(u'0' + i) + b.Suffix);
    return names;
}

}  // namespace

TParGenLogic::TParGenLogic() { Build_Design(); }

TPGControl& TParGenLogic::C(const String& name) {
    auto it = index_.find(name);
    if (it == index_.end()) throw EListError(u"No control " + name);
    return controls_[it->second];
}

const TPGControl& TParGenLogic::C(const String& name) const {
    auto it = index_.find(name);
    if (it == index_.end()) throw EListError(u"No control " + name);
    return controls_[it->second];
}

bool TParGenLogic::Has_Control(const String& name) const { return index_.count(name) != 0; }

void TParGenLogic::Error(int text) {
    if (Show_Error) Show_Error(Lang_Table[text]);
}

void TParGenLogic::Error(int text, int number) {
    if (Show_Error) Show_Error(Lang_Table[text] + Num(number));
}

// ---------------------------------------------------------------- life

void TParGenLogic::FormCreate() {
    TPGControl& code = C(u"L_SW_Code");
    code.FontSize = Model_Code == 2004 ? 18 : 24;  // the partner's long code needs the smaller size
    code.Caption = SW_Code.empty() ? Model_SW_Code(Model_Code) : SW_Code;
    for (const char16_t* b : ParGen_Boxes) Hide(b);
    Collapse_Expand_Creation();
    Move_GroupBoxs();
    Set_Lang();
}

void TParGenLogic::Reset_Values() {
    for (const auto& d : design_) {
        TPGControl& c = C(d.Name);
        c.Text = d.Text;
        c.Checked = d.Checked;
        c.ItemIndex = d.Kind == TPGKind::List ? 0 : -1;
    }
    C(u"E_NB_OUT_PROFINET").Enabled = true;
}

bool TParGenLogic::FormShow() {
    // The files the current step reads; the CAN count reads two.
    std::vector<String> files_being_read;
    try {
        files_being_read = {Path_ModbusM_SetAccess};
        Read_Number_Modbus_Polls();
        files_being_read = {Path_CAN_Rec_Frames, Path_CAN_Send_Frames};
        Read_Number_CAN_Polls();
        files_being_read = {Path_ParGen};
        if (File_Exists(Path_ParGen)) Load(TParGenFile::Load(Path_ParGen));
        else Set_New_Project_Defaults();
    } catch (const Exception& e) {
        // Nothing of an earlier showing may stay in the form: it is not shown.
        String message = e.Message();
        bool named = false;
        for (const String& f : files_being_read) named = named || (!f.empty() && message.find(f) != String::npos);
        if (!named && !files_being_read.front().empty())
            message = u"\"" + files_being_read.front() + u"\": " + message;
        if (Show_Error) Show_Error(message);
        return false;
    }
    Is_Change = false;
    Move_GroupBoxs();
    return true;
}

namespace {

// The child elements of the root's table element; a file without that
// element has no entries.
int Count_Table(const String& path, const char16_t* table) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    return doc.DocumentElement().ChildNode(table).ChildCount();
}

}  // namespace

void TParGenLogic::Read_Number_Modbus_Polls() {
    Num_Modbus_Polls = 0;
    if (!In(Model_Code, {4, 2004}) || !File_Exists(Path_ModbusM_SetAccess)) return;
    const int polls = Count_Table(Path_ModbusM_SetAccess, u"Modbus_Read") + Count_Table(Path_ModbusM_SetAccess, u"Modbus_Write");
    Num_Modbus_Polls = (polls + 7) / 8;  // one bit per poll
}

void TParGenLogic::Read_Number_CAN_Polls() {
    Num_CAN_Polls = 0;
    if (Model_Code != 0) return;
    int count = 0;
    if (File_Exists(Path_CAN_Rec_Frames)) count += Count_Table(Path_CAN_Rec_Frames, u"Receive_Frames");
    if (File_Exists(Path_CAN_Send_Frames)) count += Count_Table(Path_CAN_Send_Frames, u"Send_Frames");
    Num_CAN_Polls = (count + 7) / 8;  // one bit per frame
}

namespace {

bool Is_Dmx_Model(int model) { return model == 22 || model == 29; }
constexpr const char16_t* Dmx_Default_Channels = u"512";

}  // namespace

void TParGenLogic::Set_New_Project_Defaults() {
    Reset_Values();
    for (const auto& item : ParGen_Model_Items(Model_Code)) {
        TPGControl& c = C(String(item.Control));
        const String& v = item.NewProject;
        switch (item.Reading) {
            case TParGenReading::VersionFlag:
                if (v == u"1") c.ItemIndex = item.Param;
                continue;
            case TParGenReading::DmxCount:
                C(u"E_DMX_Num_Channel").Text = Dmx_Default_Channels;
                continue;
            default:
                break;
        }
        if (item.Element->Name == u"Working_mode") {
            C(u"RB_WM_Single_Slave_Mbus").Checked = v == u"1";
            C(u"RB_WM_Normal_Mbus").Checked = v != u"1";
        } else if (c.Kind == TPGKind::Edit) {
            c.Text = v;
        } else if (c.Kind == TPGKind::Check) {
            c.Checked = v == u"1";
        } else if (c.Kind == TPGKind::List) {
            c.ItemIndex = StrToIntDef(v, 0);
        }
    }
    C(u"E_NB_OUT_PROFINET").Enabled = !C(u"CB_Auto_Calc_Bytes").Checked;
}

void TParGenLogic::Load(const TParGenFile& file) {
    // Everything starts from the "missing" defaults, so no value of an earlier
    // showing or another project survives; the version list starts at "3".
    Reset_Values();
    for (const auto& item : ParGen_Model_Items(Model_Code)) {
        TPGControl& c = C(String(item.Control));
        const String name(item.Element->Name);
        const String& m = item.Missing;
        if (item.Reading == TParGenReading::VersionFlag) {
            c.ItemIndex = 2;
            continue;
        }
        if (item.Reading == TParGenReading::DmxCount) continue;
        if (name == u"Working_mode") {
            C(u"RB_WM_Single_Slave_Mbus").Checked = m == u"1";
            C(u"RB_WM_Normal_Mbus").Checked = m != u"1";
            continue;
        }
        if (c.Kind == TPGKind::Edit) c.Text = m;
        else if (c.Kind == TPGKind::Check) c.Checked = m == u"1";
        else if (c.Kind == TPGKind::List) c.ItemIndex = StrToIntDef(m, 0);
    }

    // Loading sets the controls as the user would, in the file's order: a box
    // or button it switches runs its click handler. Of those only the byte
    // calculation and the working mode change values here (the byte count
    // from "M_Bus.xml", and the two are never on together); the edits' and
    // the other boxes' handlers only mark the form changed and lay it out,
    // which the showing resets and does anew.
    for (const auto& item : ParGen_Model_Items(Model_Code)) {
        if (item.Encoding == TParGenEncoding::Fixed || item.Reading == TParGenReading::Ignored ||
            item.Reading == TParGenReading::DmxCount)
            continue;
        const String name(item.Element->Name);
        auto raw = file.Raw(name);
        if (!raw) continue;
        TPGControl& c = C(String(item.Control));
        if (item.Reading == TParGenReading::VersionFlag) {
            if (*raw == u"1") c.ItemIndex = item.Param;
        } else if (name == u"Working_mode") {
            const bool single = *raw == u"1";
            const bool switched = C(u"RB_WM_Single_Slave_Mbus").Checked != single;
            C(u"RB_WM_Single_Slave_Mbus").Checked = single;
            C(u"RB_WM_Normal_Mbus").Checked = !single;
            if (switched && single) RB_WM_Single_Slave_MbusClick();
        } else if (c.Name == u"CB_Auto_Calc_Bytes") {
            const bool on = *raw == u"1";
            if (c.Checked != on) {
                c.Checked = on;
                On_Click(c.Name);
            }
        } else if (item.Reading == TParGenReading::ZeroOrOther) {
            c.ItemIndex = *raw == u"0" ? 0 : 1;
        } else {
            switch (item.Encoding) {
                case TParGenEncoding::Text: c.Text = c.LowerCase ? AnsiLowerCase(*raw) : *raw; break;
                case TParGenEncoding::Flag: c.Checked = *raw == u"1"; break;
                case TParGenEncoding::ListText: c.ItemIndex = file.Position(name); break;
                case TParGenEncoding::Position: {
                    const int pos = StrToIntDef(*raw, -1);
                    // A position outside the fixed list keeps the default.
                    if (pos >= 0 && pos < int(c.Items.size())) c.ItemIndex = pos;
                    break;
                }
                case TParGenEncoding::Fixed: break;
            }
        }
    }

    if (Is_Dmx_Model(Model_Code)) {
        // The channel count lives in the byte count of the chosen direction.
        const bool out = C(u"CB_DMX_DMX").ItemIndex == 1;
        C(u"E_DMX_Num_Channel").Text = file.Raw(out ? u"PROFINET_NB_IN" : u"PROFINET_NB_OUT").value_or(Dmx_Default_Channels);
    }
    C(u"E_NB_OUT_PROFINET").Enabled = !C(u"CB_Auto_Calc_Bytes").Checked;
}

TParGenFile TParGenLogic::To_File() const {
    TParGenFile file;
    for (const auto& item : ParGen_Model_Items(Model_Code)) {
        const String name(item.Element->Name);
        const TPGControl& c = C(String(item.Control));
        String v;
        if (item.Reading == TParGenReading::VersionFlag) {
            v = c.ItemIndex == item.Param ? u"1" : u"0";
        } else if (item.Reading == TParGenReading::DmxCount) {
            const bool out = C(u"CB_DMX_DMX").ItemIndex == 1;
            const bool is_in = name == u"PROFINET_NB_IN";
            v = (out == is_in) ? C(u"E_DMX_Num_Channel").Text : String(u"1");
        } else if (name == u"Working_mode") {
            v = C(u"RB_WM_Single_Slave_Mbus").Checked ? u"1" : u"0";
        } else {
            switch (item.Encoding) {
                case TParGenEncoding::Text: v = c.Text; break;
                case TParGenEncoding::Flag: v = c.Checked ? u"1" : u"0"; break;
                case TParGenEncoding::Position: v = Num(c.ItemIndex); break;
                case TParGenEncoding::ListText:
                    v = c.ItemIndex >= 0 && c.ItemIndex < int(c.Items.size()) ? c.Items[c.ItemIndex] : String();
                    break;
                case TParGenEncoding::Fixed: v = item.Missing; break;
            }
        }
        file.Set(name, v);
    }
    return file;
}

bool TParGenLogic::Btn_OK_Click() {
    if (!Controllo_Dati()) return false;
    try {
        To_File().Save(Path_ParGen);
    } catch (const Exception& e) {
        // The old file stays; the form stays open with the user's values.
        if (Show_Error) Show_Error(e.Message());
        return false;
    }
    return true;
}

bool TParGenLogic::Btn_Cancel_Click() {
    if (!Is_Change) return true;
    return Ask_Yes_No ? Ask_Yes_No(Lang_Table[187]) : true;
}

// ---------------------------------------------------------------- validation

bool TParGenLogic::check_Hex_Privacy_Pass(const String& str) {
    for (Char c : str)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'))) return false;
    return true;
}

bool TParGenLogic::Controllo_Dati() {
    const int model = Model_Code;
    auto n = [this](const char16_t* name) { return StrToIntDef(C(name).Text, -1); };
    auto checked = [this](const char16_t* name) { return C(name).Checked; };
    auto pos = [this](const char16_t* name) { return C(name).ItemIndex; };
    // A range check with its message; false after the message is shown.
    auto range = [&](const char16_t* name, int lo, int hi, int text) {
        const int v = n(name);
        if (v >= lo && v <= hi) return true;
        Error(text);
        return false;
    };
    auto range_n = [&](const char16_t* name, int lo, int hi, int text) {
        const int v = n(name);
        if (v >= lo && v <= hi) return true;
        Error(text, hi);
        return false;
    };
    auto address = [&](const TAddressBlock& b, const char16_t* gatCheck, int firstText) {
        const std::vector<String> octets = Octets(b);
        const size_t count = C(gatCheck).Checked ? 12 : 8;
        for (size_t i = 0; i < count; ++i) {
            const int v = StrToIntDef(C(octets[i]).Text, -1);
            if (v < 0 || v > 255) {
                Error(firstText + int(i));
                return false;
            }
        }
        return true;
    };
    // The privacy pass phrase of version 3 with "Auth Priv".
    auto privacy = [&](const char16_t* passName, const char16_t* hexName) {
        const String p = Trim(C(passName).Text);
        const TPGControl& hex = C(hexName);
        if (hex.Visible && hex.Checked) {
            if (p.size() % 2 != 0) {
                Error(1801);
                return false;
            }
            if (!check_Hex_Privacy_Pass(p)) {
                Error(1802);
                return false;
            }
            return true;
        }
        if (p.size() > 16) {
            Error(1803);
            return false;
        }
        return true;
    };
    auto nb_1439 = [&] { return range(u"E_NB_IN_PROFINET", 1, 1439, 166) && range(u"E_NB_OUT_PROFINET", 1, 1439, 167); };
    const int nb_in = n(u"E_NB_IN_PROFINET");
    const int nb_out = n(u"E_NB_OUT_PROFINET");
    auto diagnostic = [&](int reserved) {
        return !checked(u"CB_PROFINET_En_Diagnostic") ||
               range_n(u"E_PROFINET_Diagnostic_Address", 0, nb_out - reserved, 712);
    };
    const bool snmp = ParGen_Is_SNMP_Agent(model);

    // 1. The address of the top box.
    if (!address(Address_Blocks[0], u"CB_EN_GAT", snmp ? 865 : 152)) return false;

    // The station names go into the device's name and its description file,
    // where only lower case (which the fields turn their letters into) without
    // blanks is valid.
    auto station = [&](const char16_t* element, const char16_t* control, int text) {
        if (!ParGen_Model_Item(model, element)) return true;
        const String& t = C(control).Text;
        const bool blank = std::any_of(t.begin(), t.end(), [](Char c) { return c <= u' '; });
        if (t.size() <= 15 && !blank) return true;
        Error(text);
        return false;
    };
    if (!station(u"PROFINET_NAME_STA", u"E_Profinet_Name_Station", snmp ? 1113 : 1112)) return false;
    if (!station(u"SNMP_Name_of_Station", u"E_SNMP_Name_Of_Station", 1113)) return false;

    // 2. SNMP version 3 of the top box.
    if (snmp && pos(u"CB_PROFI_SNMP_Version") == 2) {
        const int level = pos(u"CB_PROFI_SNMP_Secure_Lev");
        if (level > 0 && Trim(C(u"E_PROFI_SNMP_Auth_Pass").Text).size() < 8) {
            Error(1836);
            return false;
        }
        if (level == 2 && !privacy(u"E_PROFI_SNMP_Priv_Pass", u"CB_PROFI_SNMP_Priv_Pass_Hex")) return false;
    }

    // 3. The port of the top box; model 2004 checks it too, though its layout
    // hides it.
    {
        auto tunnel_port_ok = [&] {
            const int p = n(u"E_PORT");
            return p >= 1 && p <= 65535 && !In(p, {5000, 10000, 10001, 34962, 34963, 34964});
        };
        if (In(model, {0, 4, 8, 24, 25, 27, 2004})) {
            if (!tunnel_port_ok()) return Error(164), false;
        } else if (In(model, {15, 34})) {
            if (!tunnel_port_ok()) return Error(877), false;
        } else if (!snmp) {
            if (n(u"E_PORT") != 34964) return Error(165), false;
        }
    }

    switch (model) {
        case 0: case 27:
            if (!nb_1439() || !diagnostic(8)) return false;
            if (model == 0 && checked(u"CB_PROFINET_En_Modbus_Poll") &&
                !range_n(u"E_PROFINET_ModPolls_Address", 0, nb_out - Num_CAN_Polls, 1839))
                return false;
            break;
        case 1:
            if (!nb_1439() || !diagnostic(8) || !range(u"E_ID_DNET_Master", 0, 63, 168)) return false;
            break;
        case 2:
            if (!range(u"E_ID_DNET_Slave", 0, 63, 169) || !range(u"E_NB_IN_DNET_Slave", 0, 455, 170) ||
                !range(u"E_NB_OUT_DNET_Slave", 0, 455, 171))
                return false;
            break;
        case 3: case 23:
            if (!range(u"E_ID_DEV_PROFI_Slave", 1, 125, 172) || !range(u"E_B_IN_PROFI_Slave", 0, 244, 173) ||
                !range(u"E_B_OUT_PROFI_Slave", 0, 244, 174))
                return false;
            break;
        case 4: case 18: case 25: case 30: case 1018:
            // "500000" and "625000" need the RS485 line.
            if (pos(u"CB_Serial_Modbus_Master") == 0 && pos(u"CB_Baud_Modbus_Master") >= 9) return Error(967), false;
            if (!range(u"E_TO_Modbus_Master", 0, 100000, 175) || !range(u"E_CD_Modbus_Master", 0, 10000, 176))
                return false;
            if (model == 4 || model == 25) {
                if (!nb_1439() || !diagnostic(1)) return false;
                if (checked(u"CB_PROFINET_En_Modbus_Poll") &&
                    !range_n(u"E_PROFINET_ModPolls_Address", 0, nb_in - Num_Modbus_Polls, 958))
                    return false;
                if (pos(u"CB_Stop_Modbus_Master") > 0 && pos(u"CB_Par_Modbus_Master") > 0) return Error(960), false;
            }
            break;
        case 5: case 26:
            if (pos(u"CB_Stop_Modbus_Slave") > 0 && pos(u"CB_Par_Modbus_Slave") > 0) return Error(1830), false;
            if (!range(u"E_ID_Modbus_Slave", 1, 247, 177) || !nb_1439()) return false;
            break;
        case 6: case 14: case 32:
            if (!range(u"E_TO_J1939", 0, 100000, 178) || !range(u"E_J1939_DeviceID", 0, 255, 998)) return false;
            if (checked(u"CB_J1939_En_Not_Std_Cancel_Data") && !range(u"E_J1939_En_Not_Std_Cancel_Data", 0, 255, 999))
                return false;
            break;
        case 7: case 28:
            if (!range(u"E_TO_NMEA2000", 0, 100000, 179)) return false;
            break;
        case 8: case 24: case 33:
            if (!nb_1439()) return false;
            if (model == 8) {
                if (!diagnostic(8)) return false;
                if (checked(u"CB_PROFINET_CANopen_CMD") && !range_n(u"E_PROFINET_CANopen_CMD", 0, nb_out - 14, 976))
                    return false;
            }
            if (!range(u"E_ID_CANopen", 1, 127, 180)) return false;
            if (checked(u"CB_Net_Ope_CANopen") && !range(u"E_NO_Delay_CANopen", 0, 255, 181)) return false;
            if (!range(u"E_SDO_TO_CANopen", 0, 100000, 182)) return false;
            if (checked(u"CB_CANopen_En_Sync") && !range(u"E_CANopen_Sync_Time", 1, 4000000, 905)) return false;
            if (checked(u"CB_CANopen_En_TSDO")) {
                // The triggered SDO needs 10 input and 5 output bytes of the PROFINET side.
                if (nb_in < 10) return Error(993), false;
                if (!range_n(u"E_CANopen_TSDO_Add_In", 0, nb_in - 10, 994)) return false;
                if (nb_out < 5) return Error(995), false;
                if (!range_n(u"E_CANopen_TSDO_Add_Out", 0, nb_out - 5, 996)) return false;
            }
            if (!range(u"E_CANopen_HeartBeatTime", 10, 30000, 1832)) return false;
            break;
        case 9:
            if (!range(u"E_NB_IN_PROFINET", 1, 500, 183) || !range(u"E_NB_OUT_PROFINET", 1, 500, 184)) return false;
            if (pos(u"CB_Ser_DataBits") == 1 && pos(u"CB_Parity_Serial") == 0) return Error(1834), false;
            break;
        case 10: case 21:
            if (model == 10 && !range(u"E_NB_OUT_PROFINET", 1, 1439, 167)) return false;
            if (!range(u"E_CD_Mbus", 0, 864000, 185) || !range(u"E_NSE_MBus", 0, 255, 186)) return false;
            break;
        case 11: case 19:
            if (!range(u"E_TO_Modbus_TCP_Master", 0, 100000, 651) || !range(u"E_CD_Modbus_TCP_Master", 0, 10000, 652))
                return false;
            if (model == 11 && !nb_1439()) return false;
            if (!address(Address_Blocks[1], u"CB_En_GAT_Modbus_TCP_Master", 719)) return false;
            break;
        case 12: case 17: {
            const int p = n(u"E_Port_Modbus_TCP_Slave");
            if (p < 0 || p > 65535 || p == 10000 || (model == 12 && p == n(u"E_PORT"))) return Error(653), false;
            if (model == 12 && !nb_1439()) return false;
            if (!address(Address_Blocks[2], u"CB_En_GAT_Modbus_TCP_Slave", 731)) return false;
            break;
        }
        case 13: case 35:
            if (model == 13 &&
                (!range(u"E_NB_IN_PROFINET", 1, 496, 885) || !range(u"E_NB_OUT_PROFINET", 1, 496, 886)))
                return false;
            if (!address(Address_Blocks[3], u"CB_EIP_EN_GAT", 887)) return false;
            if (model == 35 && (!range(u"E_EIP_Byte_IN", 0, 500, 1842) || !range(u"E_EIP_Byte_OUT", 0, 496, 1843)))
                return false;
            break;
        case 16:
            if (!range(u"E_ID_Modbus_Slave", 1, 247, 177)) return false;
            break;
        case 20:
            if (!range(u"E_NB_IN_PROFINET", 1, 1023, 922) || !range(u"E_NB_OUT_PROFINET", 1, 1023, 923)) return false;
            if (!address(Address_Blocks[4], u"CB_SNMP_En_Gat", 924)) return false;
            if (pos(u"CB_SNMP_Version") == 2 && pos(u"CB_SNMP_Secure_Lev") == 2 &&
                !privacy(u"E_SNMP_Priv_Pass", u"CB_SNMP_Priv_Pass_Hex"))
                return false;
            break;
        case 22: case 29:
            if (!range(u"E_DMX_Num_Channel", 1, 512, 939)) return false;
            break;
        case 31: {
            if (!nb_1439() || !address(Address_Blocks[5], u"CB_Ethernet_En_GAT", 1811)) return false;
            // Ports the converter uses itself.
            auto port_ok = [&](const char16_t* name) {
                const int p = n(name);
                return p >= 0 && p <= 65535 && !In(p, {5000, 36962, 36963, 36964, 49154, 49155});
            };
            if (!port_ok(u"E_Ethernet_TCP_Port")) return Error(1823), false;
            if (!port_ok(u"E_Ethernet_UDP_Port")) return Error(1824), false;
            break;
        }
        default:
            break;
    }
    return true;
}

// ---------------------------------------------------------------- editing

void TParGenLogic::User_Edit(const String& name, const String& typed) {
    TPGControl& c = C(name);
    const String text = c.LowerCase ? AnsiLowerCase(typed) : typed;
    if (c.Text == text) return;
    c.Text = text;
    On_Change(name);
}

void TParGenLogic::User_Select(const String& name, int index) {
    TPGControl& c = C(name);
    if (c.ItemIndex == index) return;
    c.ItemIndex = index;
    On_Change(name);
}

void TParGenLogic::User_Click(const String& name) {
    TPGControl& c = C(name);
    c.Checked = !c.Checked;
    On_Click(name);
}

void TParGenLogic::User_Radio(const String& name) {
    const bool single = name == u"RB_WM_Single_Slave_Mbus";
    const bool was_single = C(u"RB_WM_Single_Slave_Mbus").Checked;
    C(u"RB_WM_Single_Slave_Mbus").Checked = single;
    C(u"RB_WM_Normal_Mbus").Checked = !single;
    if (single && !was_single) RB_WM_Single_Slave_MbusClick();
}

void TParGenLogic::On_Change(const String& sender) {
    Is_Change = true;
    static const char16_t* const selectors[] = {u"CB_SNMP_PROFINET_Map_Type", u"CB_PROFI_SNMP_Secure_Lev",
                                                u"CB_PROFI_SNMP_Version",     u"CB_PROFI_SNMP_Priv_Mode",
                                                u"CB_SNMP_Secure_Lev",        u"CB_SNMP_Version",
                                                u"CB_SNMP_Priv_Mode"};
    for (const char16_t* s : selectors)
        if (sender == s) {
            Move_GroupBoxs();
            return;
        }
}

void TParGenLogic::On_Click(const String& sender) {
    Is_Change = true;
    if (sender == u"CB_Auto_Calc_Bytes") {
        TPGControl& autoCalc = C(u"CB_Auto_Calc_Bytes");
        TPGControl& out = C(u"E_NB_OUT_PROFINET");
        if (autoCalc.Checked && C(u"RB_WM_Single_Slave_Mbus").Checked) {
            Error(859);
            autoCalc.Checked = false;
            On_Click(sender);
        } else if (autoCalc.Checked) {
            out.Enabled = false;
            try {
                out.Text = Num(Calcolate_Byte_Used_in_MBus_Configuration());
            } catch (const Exception& e) {
                // The box stays checked and the field keeps its text.
                if (Show_Error) Show_Error(e.Message());
            }
        } else {
            out.Enabled = true;
        }
    } else if (sender == u"CB_PROFI_SNMP_Priv_Pass_Hex") {
        Move_GroupBoxs();  // the privacy edit's length follows the Hex choice
    }
}

void TParGenLogic::RB_WM_Single_Slave_MbusClick() {
    if (C(u"RB_WM_Single_Slave_Mbus").Checked && C(u"CB_Auto_Calc_Bytes").Checked) {
        Error(858);
        C(u"RB_WM_Normal_Mbus").Checked = true;
        C(u"RB_WM_Single_Slave_Mbus").Checked = false;
    }
}

int TParGenLogic::Calcolate_Byte_Used_in_MBus_Configuration() {
    int total = 0;
    if (File_Exists(Path_M_Bus)) {
        TXmlDocument doc;
        doc.LoadFromFile(Path_M_Bus);
        int meter_no = 0;
        for (const TXmlNode& meter : doc.DocumentElement().Children()) {
            ++meter_no;
            if (meter.Attribute(u"Enable_Node") == String(u"0")) continue;
            if (Number_Or_Zero(meter.Attribute(u"Node_State")) == 1) total += 1;
            if (Number_Or_Zero(meter.Attribute(u"Ident_Num")) == 1) total += 4;
            const int list_type = Number_Or_Zero(meter.Attribute(u"Var_List_Type"));
            int entry = 0;
            for (const TXmlNode& var : meter.Children()) {
                ++entry;
                if (var.Attribute(u"Enable") != String(u"1")) continue;
                int size;
                switch (Str_To_Int(var, u"Dim", Path_M_Bus, meter_no, entry)) {
                    case 0: size = 1; break;
                    case 1: size = 2; break;
                    case 2: size = 4; break;
                    case 3: size = 8; break;
                    case 4: size = 3; break;
                    case 5: size = 6; break;
                    case 6: size = 4; break;
                    case 7: size = Number_Or_Zero(var.Attribute(u"Length")); break;
                    default: size = 2; break;
                }
                const bool regs = var.Attribute(u"TP_Mod_Regs") == String(u"1");
                // Values read as Modbus registers of a transparent meter take 5 bytes.
                if (list_type != 0) total += regs ? 5 : size;
                else total += (Str_To_Int(var, u"Type", Path_M_Bus, meter_no, entry) == 20 && regs) ? 5 : size;
                if (var.Attribute(u"Scale") == String(u"1")) total += 1;
            }
        }
    }
    return total == 0 ? 1 : total;
}

TParGenLogic::TDotMove TParGenLogic::KeyPress_Dot(const String& sender) const {
    TDotMove move;
    if (sender == u"E_CANopen_TSDO_Add_In" || sender == u"E_CANopen_TSDO_Add_Out") {
        move.Consumed = true;
        return move;
    }
    for (const auto& block : Address_Blocks) {
        const std::vector<String> octets = Octets(block);
        for (size_t i = 0; i < octets.size(); ++i) {
            if (octets[i] != sender) continue;
            move.Consumed = true;
            const bool moves = block.Models.size() == 0 || In(Model_Code, block.Models);
            if (moves && i + 1 < octets.size()) move.Next = octets[i + 1];
            return move;
        }
    }
    return move;
}

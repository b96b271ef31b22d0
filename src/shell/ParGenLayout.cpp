// The layout of the general-parameters form per model: the top box with the
// controls the model has, the model's second box below it, OK and Cancel
// under the last box, and the collapse and expand buttons of every box.

#include "shell/Globals.h"
#include "shell/ParGenLogic.h"
#include "shell/ParGenSchema.h"

namespace {

constexpr int Collapsed_Height = 26;  // a collapsed box shows its caption line only
constexpr int Box_Margin = 15;        // below the box's last control
constexpr int Box_Gap = 6;            // between the top box and the second box
constexpr int Buttons_Gap = 13;       // from the last box to OK and Cancel
constexpr int Form_Margin = 54;       // from the last box to the form's bottom

bool In(int model, std::initializer_list<int> models) {
    for (int m : models)
        if (m == model) return true;
    return false;
}

const char16_t* const Byte_Rows[] = {u"L_PROFINET_Byte_IN", u"E_NB_IN_PROFINET", u"L_PROFINET_Byte_OUT",
                                     u"E_NB_OUT_PROFINET", u"CB_PROFINET_En_Diagnostic",
                                     u"E_PROFINET_Diagnostic_Address"};
const char16_t* const Auth_Controls[] = {u"L_PROFI_SNMP_Auth_Pass", u"E_PROFI_SNMP_Auth_Pass", u"L_PROFI_SNMP_Auth_Mode",
                                         u"CB_PROFI_SNMP_Auth_Mode"};
const char16_t* const Priv_Controls[] = {u"L_PROFI_SNMP_Priv_Pass", u"E_PROFI_SNMP_Priv_Pass", u"L_PROFI_SNMP_Priv_Mode",
                                         u"CB_PROFI_SNMP_Priv_Mode"};

// The second box of each model and the control whose bottom gives its height.
struct TSecondBox {
    std::initializer_list<int> Models;
    const char16_t* Box;
    const char16_t* Height_Control;
};

const TSecondBox Second_Boxes[] = {
    {{0, 27, 15, 34}, u"GB_CAN", u"CAN_Baud"},
    {{1}, u"GB_DNET_Master", u"CB_Baud_DNET_Master"},
    {{2}, u"GB_DNET_Slave", u"E_NB_OUT_DNET_Slave"},
    {{3, 23}, u"GB_PROFIBUS_Slave", u"CB_PROFI_Slave_Reset_Data"},
    {{4, 25}, u"GB_Modbus_Master", u"CB_Clear_data_PROFI_Fault_Modbus_Master"},
    {{18, 30, 1018}, u"GB_Modbus_Master", u"E_CD_Modbus_Master"},  // the two check boxes are cut off
    {{5, 26}, u"GB_Modbus_Slave", u"CB_Read_IR"},                  // the swap box is cut off
    {{16}, u"GB_Modbus_Slave", u"CB_ModSlave_SwapBytes"},
    {{6, 14, 32}, u"GB_J1939", u"E_J1939_En_Not_Std_Cancel_Data"},
    {{7, 28}, u"GB_NMEA2000", u"CB_En_Peer_NMEA2000"},
    {{8, 24, 33}, u"GB_CANopen", u"E_CANopen_HeartBeatTime"},
    {{9}, u"GB_Serial", u"CB_Ser_DataBits"},
    {{10, 21}, u"GB_MBus", u"E_NSE_MBus"},
    {{11, 19}, u"GB_Modbus_TCP_Master", u"E_CD_Modbus_TCP_Master"},
    {{12}, u"GB_Modbus_TCP_Slave", u"CB_Modbus_TCP_Slave_Read_IR"},
    {{17}, u"GB_Modbus_TCP_Slave", u"CB_Modbus_TCP_SLave_SwapBytes"},
    {{13}, u"GB_EtherNetIP", u"E_EIP_PORT"},
    {{35}, u"GB_EtherNetIP", u"E_EIP_Byte_OUT"},
    {{20}, u"GB_SNMP", nullptr},  // its own version rows decide
    {{22, 29}, u"GB_DMX", u"E_DMX_Num_Channel"},
    {{31}, u"GB_Ethernet", u"E_Ethernet_UDP_Port"},
};

// The controls that collapsing a box hides.
struct TFirstRow {
    const char16_t* Box;
    std::initializer_list<const char16_t*> Controls;
};

const TFirstRow First_Rows[] = {
    {u"GB_PROFINET", {u"L_PROFINET_IP_Add"}},
    {u"GB_CAN", {u"L_CAN_Baud", u"CAN_Baud"}},
    {u"GB_DNET_Master", {u"L_DNM_IDDev", u"E_ID_DNET_Master"}},
    {u"GB_DNET_Slave", {u"L_DNS_IDDev", u"E_ID_DNET_Slave"}},
    {u"GB_PROFIBUS_Slave", {u"L_PROFIS_IDDev", u"E_ID_DEV_PROFI_Slave"}},
    {u"GB_Modbus_Master", {u"L_ModMaster_Serial", u"CB_Serial_Modbus_Master"}},
    {u"GB_Modbus_Slave", {u"L_ModSlave_Serial", u"CB_Serial_Modbus_Slave"}},
    {u"GB_NMEA2000", {u"L_NMEA_Baud", u"CB_Baud_NMEA2000"}},
    {u"GB_J1939", {u"L_J1939_Baud", u"CB_Baud_J1939"}},
    {u"GB_CANopen", {u"L_CANopen_IDDev", u"E_ID_CANopen"}},
    {u"GB_Serial", {u"L_Ser_Serial", u"CB_Serial_Serial"}},
    {u"GB_MBus", {u"L_MBus_Baud", u"CB_Baud_Mbus"}},
    {u"GB_Modbus_TCP_Master", {u"L_Modbus_TCP_Master_IP_Add"}},
    {u"GB_Modbus_TCP_Slave", {u"L_Modbus_TCP_Slave_IP_Add"}},
    {u"GB_EtherNetIP", {u"L_EIP_IP"}},
    {u"GB_SNMP", {u"L_SNMP_IP_Add"}},
    {u"GB_DMX", {u"L_DMX_DMX", u"CB_DMX_DMX"}},
    {u"GB_Ethernet", {u"L_Ethernet_IP"}},
};

String Box_Of_Button(const String& sender, const char16_t* kind) {
    for (const char16_t* b : ParGen_Boxes)
        if (sender == u"Btn_" + String(b).substr(3) + kind) return b;
    return String();
}

}  // namespace

void TParGenLogic::Show(const String& name, bool visible) { C(name).Visible = visible; }

void TParGenLogic::Place(const String& name, int left, int top, bool visible) {
    TPGControl& c = C(name);
    c.Left = left;
    c.Top = top;
    c.Visible = visible;
}

void TParGenLogic::Hide_Byte_Rows() {
    for (const char16_t* n : Byte_Rows) Hide(n);
}

void TParGenLogic::Collapse_Expand_Creation() {
    for (const char16_t* b : ParGen_Boxes) {
        String name = String(b).substr(3);
        Expanded[b] = true;
        Place(u"Btn_" + name + u"_Collapse", 280, 10, true);
        Place(u"Btn_" + name + u"_Expande", 280, 10, false);
    }
}

void TParGenLogic::Btn_GB_Collapse(const String& sender) {
    String box = Box_Of_Button(sender, u"_Collapse");
    if (!box.empty()) {
        C(box).Height = Collapsed_Height;
        for (const auto& f : First_Rows)
            if (box == f.Box)
                for (const char16_t* n : f.Controls) Hide(n);
        String name = box.substr(3);
        Hide(u"Btn_" + name + u"_Collapse");
        Show(u"Btn_" + name + u"_Expande");
        Expanded[box] = false;
    }
    Move_GroupBoxs();
}

void TParGenLogic::Btn_GB_Expande(const String& sender) {
    String box = Box_Of_Button(sender, u"_Expande");
    if (!box.empty()) {
        for (const auto& f : First_Rows)
            if (box == f.Box)
                for (const char16_t* n : f.Controls) Show(n);
        String name = box.substr(3);
        Show(u"Btn_" + name + u"_Collapse");
        Hide(u"Btn_" + name + u"_Expande");
        Expanded[box] = true;
    }
    Move_GroupBoxs();
}

void TParGenLogic::Move_GroupBoxs() {
    const int model = Model_Code;
    TPGControl& top = C(u"GB_PROFINET");
    Place(u"GB_PROFINET", 8, 70);
    const int h = model == 2004 ? GB_PROFINET_Pos_Obj_PBX() : GB_PROFINET_Pos_Obj();
    if (Expanded[u"GB_PROFINET"]) top.Height = h + Box_Margin;

    const TPGControl* last = &top;
    for (const auto& s : Second_Boxes) {
        if (!In(model, s.Models)) continue;
        TPGControl& box = C(s.Box);
        Place(s.Box, 8, top.Bottom() + Box_Gap);
        String height_control = s.Height_Control ? s.Height_Control : u"";
        if (model == 16) {
            Hide(u"CB_Read_IR");
            Place(u"CB_ModSlave_SwapBytes", 16, 194);
        }
        if (model == 13 || model == 35)
            for (auto n : {u"L_EIP_Byte_IN", u"E_EIP_Byte_IN", u"L_EIP_Byte_OUT", u"E_EIP_Byte_OUT"})
                Show(n, model == 35);
        if (model == 20) {
            // The SNMP box: its version rows at fixed tops, the box ending
            // under the last list shown.
            Place(u"L_SNMP_Version", 16, 315);
            Place(u"CB_SNMP_Version", 82, 312);
            height_control = u"CB_SNMP_Version";
            const bool v3 = C(u"CB_SNMP_Version").ItemIndex == 2;
            const int level = C(u"CB_SNMP_Secure_Lev").ItemIndex;
            for (auto n : {u"L_SNMP_User", u"E_SNMP_User", u"L_SNMP_Secure_Lev", u"CB_SNMP_Secure_Lev"}) Show(n, v3);
            const bool auth = v3 && level > 0;
            for (auto n : {u"L_SNMP_Auth_Pass", u"E_SNMP_Auth_Pass", u"L_SNMP_Auth_Mode", u"CB_SNMP_Auth_Mode"})
                Show(n, auth);
            const bool priv = v3 && level == 2;
            for (auto n : {u"L_SNMP_Priv_Pass", u"E_SNMP_Priv_Pass", u"L_SNMP_Priv_Mode", u"CB_SNMP_Priv_Mode"})
                Show(n, priv);
            if (v3) {
                Place(u"L_SNMP_User", 16, 349);
                Place(u"E_SNMP_User", 82, 346);
                Place(u"L_SNMP_Secure_Lev", 16, 383);
                Place(u"CB_SNMP_Secure_Lev", 148, 380);
                height_control = u"CB_SNMP_Secure_Lev";
            }
            if (auth) {
                Place(u"L_SNMP_Auth_Pass", 16, 417);
                Place(u"E_SNMP_Auth_Pass", 82, 414);
                Place(u"L_SNMP_Auth_Mode", 16, 451);
                Place(u"CB_SNMP_Auth_Mode", 148, 448);
                height_control = u"CB_SNMP_Auth_Mode";
            }
            if (priv) {
                Place(u"L_SNMP_Priv_Pass", 16, 485);
                Place(u"E_SNMP_Priv_Pass", 82, 482);
                Place(u"L_SNMP_Priv_Mode", 16, 519);
                Place(u"CB_SNMP_Priv_Mode", 148, 516);
                height_control = u"CB_SNMP_Priv_Mode";
            }
        }
        if (Expanded[s.Box]) box.Height = C(height_control).Bottom() + Box_Margin;
        last = &box;
        break;
    }

    C(u"Btn_OK").Top = last->Bottom() + Buttons_Gap;
    C(u"Btn_Cancel").Top = C(u"Btn_OK").Top;
    ClientHeight = last->Bottom() + Form_Margin;
    ClientWidth = 312;
}

int TParGenLogic::GB_PROFINET_Pos_Obj() {
    const int model = Model_Code;
    for (auto n : {u"L_SNMP_PROFINET_Contact", u"E_SNMP_PROFINET_Contact", u"L_SNMP_PROFINET_Location",
                   u"E_SNMP_PROFINET_Location", u"L_SNMP_PROFINET_Map_Type", u"CB_SNMP_PROFINET_Map_Type",
                   u"CB_PROFINET_CANopen_CMD", u"E_PROFINET_CANopen_CMD", u"L_PROFI_SNMP_Map", u"CB_PROFI_SNMP_Map",
                   u"CB_Auto_Calc_Bytes"})
        Hide(n);

    // The port row.
    if (In(model, {0, 4, 8, 15, 24, 25, 27, 34})) {
        // The tunnelling port is the user's to choose.
        C(u"L_PROFINET_Port").Caption = Lang_Table[151];
        TPGControl& port = C(u"E_PORT");
        port.Enabled = true;
        port.Left = 148;
        port.Width = 128;
    } else if (ParGen_Is_SNMP_Agent(model)) {
        Hide(u"L_PROFINET_Port");
        Hide(u"E_PORT");
    } else {
        C(u"L_PROFINET_Port").Caption = Lang_Table[92];
        TPGControl& port = C(u"E_PORT");
        port.Enabled = false;
        port.Left = 82;
        port.Width = 192;
    }

    for (auto n : {u"CB_Reply_Tunnel_Port", u"CB_SendBack_CAN_Mess", u"L_Aux_Int_Dim", u"CB_Aux_Int_Dim"}) Hide(n);

    // The byte-count rows of the PROFINET side; labels at left 16, edits at 147.
    auto byte_rows = [this](int labelIn, int labelOut, bool visible) {
        Place(u"L_PROFINET_Byte_IN", 16, labelIn, visible);
        Place(u"E_NB_IN_PROFINET", 147, labelIn - 3, visible);
        Place(u"L_PROFINET_Byte_OUT", 16, labelOut, visible);
        Place(u"E_NB_OUT_PROFINET", 147, labelOut - 3, visible);
    };
    auto diagnostic_row = [this](int top, bool visible) {
        Place(u"CB_PROFINET_En_Diagnostic", 16, top, visible);
        Place(u"E_PROFINET_Diagnostic_Address", 147, top - 3, visible);
    };
    auto polls_row = [this](int top) {
        Place(u"CB_PROFINET_En_Modbus_Poll", 16, top);
        Place(u"E_PROFINET_ModPolls_Address", 147, top - 3);
    };
    auto hide_polls_row = [this] {
        Hide(u"CB_PROFINET_En_Modbus_Poll");
        Hide(u"E_PROFINET_ModPolls_Address");
    };
    auto station = [this](int labelTop, int editTop) {
        Place(u"L_PROFINET_Name_Station", 16, labelTop);
        Place(u"E_Profinet_Name_Station", 16, editTop);
    };
    auto list_bottom_of_version_rows = [this]() -> String {
        if (C(u"CB_PROFI_SNMP_Version").ItemIndex != 2) return u"CB_PROFI_SNMP_Version";
        switch (C(u"CB_PROFI_SNMP_Secure_Lev").ItemIndex) {
            case 1: return u"CB_PROFI_SNMP_Auth_Mode";
            case 2: return u"CB_PROFI_SNMP_Priv_Mode";
            default: return u"CB_PROFI_SNMP_Secure_Lev";
        }
    };

    if (model != 10) {
        Hide(u"GB_Working_Mode_MBus");
    }

    String last;
    if (model == 10) {
        Place(u"GB_Working_Mode_MBus", 8, 272);
        Place(u"CB_Auto_Calc_Bytes", 8, 370);
        Place(u"L_PROFINET_Byte_OUT", 8, 404);
        Place(u"E_NB_OUT_PROFINET", 145, 401);
        Place(u"L_PROFINET_Byte_IN", 8, 404, false);
        Place(u"E_NB_IN_PROFINET", 145, 401, false);
        Hide(u"CB_PROFINET_En_Diagnostic");
        Hide(u"E_PROFINET_Diagnostic_Address");
        last = u"E_NB_IN_PROFINET";
    } else if (In(model, {0, 27})) {
        Place(u"CB_SendBack_CAN_Mess", 16, 225);
        Place(u"CB_Reply_Tunnel_Port", 16, 259);
        station(291, 308);
        byte_rows(345, 379, true);
        diagnostic_row(413, true);
        last = u"E_PROFINET_Diagnostic_Address";
        if (model == 0) {
            C(u"CB_PROFINET_En_Modbus_Poll").Caption = Lang_Table[1838];  // the CAN polls of this model
            polls_row(447);
            last = u"E_PROFINET_ModPolls_Address";
        }
    } else if (In(model, {1, 4, 5, 8, 9, 11, 12, 13, 20, 24, 25, 26, 31})) {
        byte_rows(279, 313, true);
        last = u"E_NB_OUT_PROFINET";
        if (model == 8) {
            diagnostic_row(347, true);
            Place(u"CB_PROFINET_CANopen_CMD", 16, 381);
            Place(u"E_PROFINET_CANopen_CMD", 147, 378);
            last = u"E_PROFINET_CANopen_CMD";
        } else {
            Hide(u"CB_PROFINET_En_Diagnostic");
            Hide(u"E_PROFINET_Diagnostic_Address");
        }
        hide_polls_row();
        if (In(model, {1, 4, 11, 25})) {
            diagnostic_row(347, true);
            last = u"E_PROFINET_Diagnostic_Address";
        }
        if (In(model, {4, 25})) {
            polls_row(381);
            last = u"E_PROFINET_ModPolls_Address";
        }
    } else if (In(model, {15, 34})) {
        Place(u"CB_SendBack_CAN_Mess", 16, 225);
        Place(u"CB_Reply_Tunnel_Port", 16, 259);
        station(291, 308);
        Place(u"L_SNMP_PROFINET_Contact", 16, 345);
        Place(u"E_SNMP_PROFINET_Contact", 82, 342);
        Place(u"L_SNMP_PROFINET_Location", 16, 379);
        Place(u"E_SNMP_PROFINET_Location", 82, 376);
        Place(u"L_Aux_Int_Dim", 16, 345, false);
        Place(u"CB_Aux_Int_Dim", 184, 342, false);
        byte_rows(345, 379, false);
        Show_SNMP_Ver3(true, 413);
        Hide(u"CB_PROFINET_En_Diagnostic");
        Hide(u"E_PROFINET_Diagnostic_Address");
        hide_polls_row();
        Privacy_Step(30, 15);
        last = list_bottom_of_version_rows();
    } else if (model == 21) {
        hide_polls_row();
        station(191, 208);
        Place(u"L_Aux_Int_Dim", 16, 245);
        Place(u"CB_Aux_Int_Dim", 184, 242);
        Place(u"L_SNMP_PROFINET_Contact", 16, 279);
        Place(u"E_SNMP_PROFINET_Contact", 82, 276);
        Place(u"L_SNMP_PROFINET_Location", 16, 313);
        Place(u"E_SNMP_PROFINET_Location", 82, 310);
        const int t = Show_SNMP_Ver3(true, 347);
        Place(u"L_PROFI_SNMP_Map", 16, t);
        Place(u"CB_PROFI_SNMP_Map", 148, t - 3);
        Hide_Byte_Rows();
        Privacy_Step(30, 15);
        last = u"CB_PROFI_SNMP_Map";
    } else if (In(model, {22, 29})) {
        Hide_Byte_Rows();
        for (auto n : {u"CB_Auto_Calc_Bytes", u"CB_SendBack_CAN_Mess", u"CB_Reply_Tunnel_Port", u"L_Aux_Int_Dim",
                       u"CB_Aux_Int_Dim"})
            Hide(n);
        last = u"E_Profinet_Name_Station";
    } else if (In(model, {2, 3, 6, 7, 14, 28})) {
        Hide_Byte_Rows();
        last = u"E_Profinet_Name_Station";
    } else {
        // 23 and the SNMP-agent models with contact, location and map type.
        Hide(u"CB_SendBack_CAN_Mess");
        Hide(u"CB_Reply_Tunnel_Port");
        station(191, 208);
        if (model == 23) {
            for (auto n : {u"L_SNMP_PROFINET_Contact", u"E_SNMP_PROFINET_Contact", u"L_SNMP_PROFINET_Location",
                           u"E_SNMP_PROFINET_Location", u"L_SNMP_PROFINET_Map_Type", u"CB_SNMP_PROFINET_Map_Type"})
                Hide(n);
            Place(u"L_Aux_Int_Dim", 16, 245, false);
            Place(u"CB_Aux_Int_Dim", 184, 242, false);
            Hide_Byte_Rows();
            last = u"E_Profinet_Name_Station";
        } else {
            Place(u"L_SNMP_PROFINET_Contact", 16, 245);
            Place(u"E_SNMP_PROFINET_Contact", 82, 242);
            Place(u"L_SNMP_PROFINET_Location", 16, 279);
            Place(u"E_SNMP_PROFINET_Location", 82, 276);
            Place(u"L_SNMP_PROFINET_Map_Type", 16, 313);
            Place(u"CB_SNMP_PROFINET_Map_Type", 82, 310);
            const bool fixed_map = In(model, {30, 32, 33, 35, 1018});
            if (fixed_map) {
                // These models always use the dynamic map.
                Hide(u"L_SNMP_PROFINET_Map_Type");
                Hide(u"CB_SNMP_PROFINET_Map_Type");
                C(u"CB_SNMP_PROFINET_Map_Type").ItemIndex = 1;
            }
            const bool dynamic = C(u"CB_SNMP_PROFINET_Map_Type").ItemIndex == 1;
            if (dynamic) Show_SNMP_Ver3(true, fixed_map ? 313 : 347);
            else Show_SNMP_Ver3(false, 347);
            Place(u"L_Aux_Int_Dim", 16, 245, false);
            Place(u"CB_Aux_Int_Dim", 184, 242, false);
            Hide_Byte_Rows();
            if (dynamic) Privacy_Step(32, 16);
            last = dynamic ? list_bottom_of_version_rows() : String(u"CB_SNMP_PROFINET_Map_Type");
        }
    }

    // Controls of the second boxes that depend on the model.
    Show(u"CB_Read_IR", In(model, {5, 26}));
    Show(u"CB_Modbus_TCP_Slave_Read_IR");
    Show(u"CB_Modbus_TCP_SLave_SwapBytes", model != 12);
    if (In(model, {4, 25})) {
        Show(u"CB_En_Poll_PROFI_OK_Modbus_Master");
        Place(u"L_ModMaster_Stop", 16, 126);
        Place(u"CB_Stop_Modbus_Master", C(u"CB_Stop_Modbus_Master").Left, 123);
        C(u"L_ModMaster_TO").Top = 160;
        C(u"E_TO_Modbus_Master").Top = 157;
        C(u"L_ModMaster_Idle").Top = 194;
        C(u"E_CD_Modbus_Master").Top = 191;
    } else {
        // Without stop bits the time-out rows move up into the stop-bits row.
        Hide(u"L_ModMaster_Stop");
        Hide(u"CB_En_Poll_PROFI_OK_Modbus_Master");
        Hide(u"CB_Stop_Modbus_Master");
        C(u"L_ModMaster_TO").Top = 126;
        C(u"E_TO_Modbus_Master").Top = 123;
        C(u"L_ModMaster_Idle").Top = 160;
        C(u"E_CD_Modbus_Master").Top = 157;
    }
    return C(last).Bottom();
}

int TParGenLogic::Show_SNMP_Ver3(bool visible, int startTop) {
    auto hide_v3_rows = [this] {
        for (auto n : {u"L_PROFI_SNMP_User", u"E_PROFI_SNMP_User", u"L_PROFI_SNMP_Secure_Lev", u"CB_PROFI_SNMP_Secure_Lev"})
            Hide(n);
        for (auto n : Auth_Controls) Hide(n);
        for (auto n : Priv_Controls) Hide(n);
    };
    // A row: the label on its top, edits 3 pixels higher at 82, lists at 148.
    auto row = [this](const char16_t* labelName, const char16_t* controlName, int top, bool isList) {
        Place(labelName, 16, top);
        Place(controlName, isList ? 148 : 82, top - 3);
    };
    if (!visible) {
        Hide(u"L_PROFI_SNMP_Version");
        Hide(u"CB_PROFI_SNMP_Version");
        hide_v3_rows();
        return startTop;
    }
    Place(u"L_PROFI_SNMP_Version", 16, startTop);
    Place(u"CB_PROFI_SNMP_Version", 82, startTop - 1);
    if (C(u"CB_PROFI_SNMP_Version").ItemIndex != 2) {
        hide_v3_rows();
        return startTop + 34;
    }
    row(u"L_PROFI_SNMP_User", u"E_PROFI_SNMP_User", startTop + 34, false);
    row(u"L_PROFI_SNMP_Secure_Lev", u"CB_PROFI_SNMP_Secure_Lev", startTop + 68, true);
    const int level = C(u"CB_PROFI_SNMP_Secure_Lev").ItemIndex;
    if (level <= 0) {
        for (auto n : Auth_Controls) Hide(n);
        for (auto n : Priv_Controls) Hide(n);
        return startTop + 102;
    }
    row(u"L_PROFI_SNMP_Auth_Pass", u"E_PROFI_SNMP_Auth_Pass", startTop + 102, false);
    row(u"L_PROFI_SNMP_Auth_Mode", u"CB_PROFI_SNMP_Auth_Mode", startTop + 136, true);
    if (level == 2) {
        row(u"L_PROFI_SNMP_Priv_Pass", u"E_PROFI_SNMP_Priv_Pass", startTop + 170, false);
        row(u"L_PROFI_SNMP_Priv_Mode", u"CB_PROFI_SNMP_Priv_Mode", startTop + 204, true);
        return startTop + 238;
    }
    for (auto n : Priv_Controls) Hide(n);
    return startTop + 170;
}

void TParGenLogic::Privacy_Step(int hexLength, int plainLength) {
    // Only with version "3" and "Auth Priv"; otherwise the Hex box and the
    // privacy edit keep their last state.
    if (C(u"CB_PROFI_SNMP_Version").ItemIndex != 2 || C(u"CB_PROFI_SNMP_Secure_Lev").ItemIndex != 2) return;
    TPGControl& hex = C(u"CB_PROFI_SNMP_Priv_Pass_Hex");
    TPGControl& pass = C(u"E_PROFI_SNMP_Priv_Pass");
    if (C(u"CB_PROFI_SNMP_Priv_Mode").ItemIndex == 1) {
        hex.Visible = true;
        hex.Top = C(u"L_PROFI_SNMP_Priv_Pass").Top - 1;
        pass.Left = 110;
        pass.Width = 164;
        pass.MaxLength = hex.Checked ? hexLength : plainLength;
    } else {
        hex.Visible = false;
        pass.Left = 82;
        pass.Width = 192;
        pass.MaxLength = plainLength;
    }
}

int TParGenLogic::GB_PROFINET_Pos_Obj_PBX() {
    Hide(u"L_PROFINET_Port");
    Hide(u"E_PORT");
    C(u"L_PROFINET_Name_Station").Top = 191;
    Show(u"L_PROFINET_Name_Station");
    C(u"E_Profinet_Name_Station").Top = 210;
    Show(u"E_Profinet_Name_Station");
    for (auto n :
         {u"GB_Working_Mode_MBus", u"RB_WM_Normal_Mbus", u"RB_WM_Single_Slave_Mbus", u"CB_Auto_Calc_Bytes",
          u"CB_SendBack_CAN_Mess", u"CB_Reply_Tunnel_Port", u"L_Aux_Int_Dim", u"CB_Aux_Int_Dim",
          u"CB_PROFINET_En_Modbus_Poll", u"E_PROFINET_ModPolls_Address", u"L_SNMP_PROFINET_Contact",
          u"E_SNMP_PROFINET_Contact", u"L_SNMP_PROFINET_Location", u"E_SNMP_PROFINET_Location",
          u"L_SNMP_PROFINET_Map_Type", u"CB_SNMP_PROFINET_Map_Type", u"CB_PROFINET_CANopen_CMD",
          u"E_PROFINET_CANopen_CMD", u"L_PROFI_SNMP_Version", u"CB_PROFI_SNMP_Version", u"L_PROFI_SNMP_User",
          u"E_PROFI_SNMP_User", u"L_PROFI_SNMP_Secure_Lev", u"CB_PROFI_SNMP_Secure_Lev",
          u"CB_PROFI_SNMP_Priv_Pass_Hex", u"L_PROFI_SNMP_Map", u"CB_PROFI_SNMP_Map"})
        Hide(n);
    Hide_Byte_Rows();
    for (auto n : Auth_Controls) Hide(n);
    for (auto n : Priv_Controls) Hide(n);
    return C(u"E_Profinet_Name_Station").Bottom();
}

// The stored layout of the general-parameters form: every control with its
// design place, size, caption and list entries, and the captions the text
// table gives them (Set_Lang).

#include "shell/Globals.h"
#include "shell/ParGenLogic.h"
#include "shell/ParGenSchema.h"

#include <span>

const char16_t* const ParGen_Boxes[18] = {
    u"GB_PROFINET",   u"GB_DNET_Master",       u"GB_DNET_Slave",       u"GB_PROFIBUS_Slave", u"GB_Modbus_Master",
    u"GB_Modbus_Slave", u"GB_NMEA2000",        u"GB_J1939",            u"GB_CANopen",        u"GB_Serial",
    u"GB_MBus",       u"GB_Modbus_TCP_Master", u"GB_Modbus_TCP_Slave", u"GB_EtherNetIP",     u"GB_CAN",
    u"GB_SNMP",       u"GB_DMX",               u"GB_Ethernet"};

namespace {

// Heights of the standard controls at the form's font.
constexpr int Edit_Height = 21;
constexpr int List_Height = 22;
constexpr int Check_Height = 17;
constexpr int Label_Height = 13;
// Rows are 34 pixels apart; a row's edit or list stands 3 pixels above its label.
constexpr int Wide_Left = 82, Wide_Width = 192;
constexpr int Narrow_Left = 148, Narrow_Width = 126;

std::vector<String> Entries(std::span<const std::u16string_view> list) {
    std::vector<String> items;
    for (auto e : list) items.emplace_back(e);
    return items;
}

std::vector<String> Schema_List(const char16_t* element) {
    return Entries(ParGen_Find_Element(element)->List);
}

}  // namespace

void TParGenLogic::Build_Design() {
    auto add = [this](TPGControl c) {
        index_[c.Name] = controls_.size();
        controls_.push_back(std::move(c));
    };
    auto box = [&](const char16_t* name, const char16_t* caption) {
        TPGControl c;
        c.Name = name;
        c.Kind = TPGKind::GroupBox;
        c.Left = 8;
        c.Width = 296;
        c.Height = 26;
        c.Caption = caption;
        add(c);
    };
    auto label = [&](const String& parent, const String& name, int left, int top, int width, const char16_t* caption) {
        TPGControl c;
        c.Name = name;
        c.Kind = TPGKind::Label;
        c.Parent = parent;
        c.Left = left;
        c.Top = top;
        c.Width = width;
        c.Height = Label_Height;
        c.Caption = caption;
        add(c);
    };
    auto edit = [&](const String& parent, const String& name, int left, int top, int width, int maxLength = 0) {
        TPGControl c;
        c.Name = name;
        c.Kind = TPGKind::Edit;
        c.Parent = parent;
        c.Left = left;
        c.Top = top;
        c.Width = width;
        c.Height = Edit_Height;
        c.MaxLength = maxLength;
        add(c);
    };
    auto list = [&](const String& parent, const String& name, int left, int top, int width, std::vector<String> items) {
        TPGControl c;
        c.Name = name;
        c.Kind = TPGKind::List;
        c.Parent = parent;
        c.Left = left;
        c.Top = top;
        c.Width = width;
        c.Height = List_Height;
        c.Items = std::move(items);
        c.ItemIndex = 0;
        add(c);
    };
    auto check = [&](const String& parent, const String& name, int left, int top, int width, const char16_t* caption) {
        TPGControl c;
        c.Name = name;
        c.Kind = TPGKind::Check;
        c.Parent = parent;
        c.Left = left;
        c.Top = top;
        c.Width = width;
        c.Height = Check_Height;
        c.Caption = caption;
        add(c);
    };
    // A row of label and edit or list: the control 3 pixels above the label.
    auto row_edit = [&](const String& parent, const String& lname, const char16_t* caption, int top, const String& ename,
                        int left, int width, int maxLength = 0) {
        label(parent, lname, 16, top, left - 20, caption);
        edit(parent, ename, left, top - 3, width, maxLength);
    };
    auto row_list = [&](const String& parent, const String& lname, const char16_t* caption, int top, const String& cname,
                        int left, int width, std::vector<String> items) {
        label(parent, lname, 16, top, left - 20, caption);
        list(parent, cname, left, top - 3, width, std::move(items));
    };
    // The address block: IP, mask and gateway octets with "." labels between.
    auto address = [&](const String& parent, const String& ipLabel, const String& smLabel, const String& gatCheck,
                       int gatLeft, const std::vector<String>& octets) {
        label(parent, ipLabel, 16, 24, 200, u"IP ADDRESS");
        label(parent, smLabel, 16, 79, 200, u"SUBNET Mask");
        check(parent, gatCheck, gatLeft, 134, 200, u"GATEWAY");
        const int tops[3] = {43, 98, 154};
        for (int r = 0; r < 3; ++r)
            for (int i = 0; i < 4; ++i) {
                edit(parent, octets[r * 4 + i], 16 + 66 * i, tops[r], 60);
                if (i < 3) label(parent, octets[r * 4 + i] + u"_Dot", 78 + 66 * i, tops[r] + 4, 3, u".");
            }
    };
    auto octets = [](const String& ip, const String& sm, const String& gat, const String& suffix) {
        std::vector<String> names;
        for (const String* p : {&ip, &sm, &gat})
            for (int i = 1; i <= 4; ++i) names.push_back(*p + String(1, Char(u'0' + i)) + suffix);
        return names;
    };

    // The form's own labels.
    label(String(), u"L_SW_Code", 16, 8, 280, u"");
    C(u"L_SW_Code").Height = 29;
    label(String(), u"L_SW_Desc", 16, 42, 280, u"Set Communication Parameters");
    C(u"L_SW_Desc").Bold = true;

    // The top box: the PROFINET side or the SNMP agent.
    const String P = u"GB_PROFINET";
    box(u"GB_PROFINET", u" PROFINET ");
    address(P, u"L_PROFINET_IP_Add", u"L_PROFINET_Subnet_Mask", u"CB_EN_GAT", 16, octets(u"E_IP", u"E_SM", u"E_GAT", u""));
    row_edit(P, u"L_PROFINET_Port", u"Port", 191, u"E_PORT", Wide_Left, Wide_Width);
    C(u"E_PORT").Enabled = false;
    C(u"E_PORT").Text = u"34964";
    label(P, u"L_PROFINET_Name_Station", 16, 223, 258, u"PROFINET Name of Station");
    edit(P, u"E_Profinet_Name_Station", 16, 242, 258, 15);
    C(u"E_Profinet_Name_Station").LowerCase = true;  // names of stations are lower case
    {
        TPGControl g;
        g.Name = u"GB_Working_Mode_MBus";
        g.Kind = TPGKind::GroupBox;
        g.Parent = P;
        g.Left = 8;
        g.Top = 272;
        g.Width = 280;
        g.Height = 90;
        g.Caption = u" Working Mode ";
        add(g);
        for (auto [name, top, caption] : {std::tuple{u"RB_WM_Normal_Mbus", 24, u"Normal Mode"},
                                          std::tuple{u"RB_WM_Single_Slave_Mbus", 58, u"Single Slave Mode"}}) {
            TPGControl r;
            r.Name = name;
            r.Kind = TPGKind::Radio;
            r.Parent = u"GB_Working_Mode_MBus";
            r.Left = 9;
            r.Top = top;
            r.Width = 200;
            r.Height = Check_Height;
            r.Caption = caption;
            add(r);
        }
        C(u"RB_WM_Normal_Mbus").Checked = true;
    }
    row_edit(P, u"L_PROFINET_Byte_IN", u"Number Byte IN", 370, u"E_NB_IN_PROFINET", Narrow_Left, Narrow_Width);
    row_edit(P, u"L_PROFINET_Byte_OUT", u"Number Byte Out", 404, u"E_NB_OUT_PROFINET", Narrow_Left, Narrow_Width);
    check(P, u"CB_PROFINET_En_Diagnostic", 16, 438, 128, u"Diagnostic");
    edit(P, u"E_PROFINET_Diagnostic_Address", Narrow_Left, 435, Narrow_Width);
    check(P, u"CB_Auto_Calc_Bytes", 16, 472, 258, u"Auto Calculation of Bytes Used");
    check(P, u"CB_SendBack_CAN_Mess", 16, 506, 258, u"Send Back CAN Messages");
    check(P, u"CB_Reply_Tunnel_Port", 16, 540, 258, u"Replay on the Tunneling Port");
    row_list(P, u"L_Aux_Int_Dim", u"Auxiliary Integer Dimension", 574, u"CB_Aux_Int_Dim", 184, 90,
             Schema_List(u"SNMP_AUX_INT_DIM"));
    check(P, u"CB_PROFINET_En_Modbus_Poll", 16, 608, 128, u"En. Modbus Polls");
    edit(P, u"E_PROFINET_ModPolls_Address", Narrow_Left, 605, Narrow_Width);
    row_edit(P, u"L_SNMP_PROFINET_Contact", u"Contact", 642, u"E_SNMP_PROFINET_Contact", Wide_Left, Wide_Width, 16);
    row_edit(P, u"L_SNMP_PROFINET_Location", u"Location", 676, u"E_SNMP_PROFINET_Location", Wide_Left, Wide_Width, 16);
    row_list(P, u"L_SNMP_PROFINET_Map_Type", u"Map Type", 710, u"CB_SNMP_PROFINET_Map_Type", Wide_Left, Wide_Width,
             Schema_List(u"SNMP_MapType"));
    check(P, u"CB_PROFINET_CANopen_CMD", 16, 744, 128, u"CANopen CMD Ind");
    edit(P, u"E_PROFINET_CANopen_CMD", Narrow_Left, 741, Narrow_Width);
    label(P, u"L_PROFI_SNMP_Version", 16, 778, 62, u"Version");
    list(P, u"CB_PROFI_SNMP_Version", Wide_Left, 777, Wide_Width, Schema_List(u"SNMP_VERSION1"));
    row_edit(P, u"L_PROFI_SNMP_User", u"User", 812, u"E_PROFI_SNMP_User", Wide_Left, Wide_Width, 19);
    row_list(P, u"L_PROFI_SNMP_Secure_Lev", u"Security Level", 846, u"CB_PROFI_SNMP_Secure_Lev", Narrow_Left,
             Narrow_Width, Schema_List(u"SNMP_VER3_SECURITY_LEVEL"));
    row_edit(P, u"L_PROFI_SNMP_Auth_Pass", u"Authority", 880, u"E_PROFI_SNMP_Auth_Pass", Wide_Left, Wide_Width, 15);
    row_list(P, u"L_PROFI_SNMP_Auth_Mode", u"Authority Mode", 914, u"CB_PROFI_SNMP_Auth_Mode", Narrow_Left,
             Narrow_Width, Schema_List(u"SNMP_VER3_AUTHORITY_MODE"));
    row_edit(P, u"L_PROFI_SNMP_Priv_Pass", u"Privacy", 948, u"E_PROFI_SNMP_Priv_Pass", Wide_Left, Wide_Width, 15);
    C(u"L_PROFI_SNMP_Priv_Pass").Width = 46;  // the Hex box stands beside it
    row_list(P, u"L_PROFI_SNMP_Priv_Mode", u"Privacy Mode", 982, u"CB_PROFI_SNMP_Priv_Mode", Narrow_Left, Narrow_Width,
             Schema_List(u"SNMP_VER3_PRIVACY_MODE"));
    check(P, u"CB_PROFI_SNMP_Priv_Pass_Hex", 64, 947, 41, u"Hex");
    C(u"CB_PROFI_SNMP_Priv_Pass_Hex").Visible = false;  // shown only beside an AES privacy pass phrase
    row_list(P, u"L_PROFI_SNMP_Map", u"SNMP Map", 1016, u"CB_PROFI_SNMP_Map", Narrow_Left, Narrow_Width,
             Schema_List(u"SNMP_MAP"));

    // The boxes of the other networks.
    const String CAN = u"GB_CAN";
    box(u"GB_CAN", u" CAN ");
    row_list(CAN, u"L_CAN_Baud", u"Baudrate", 24, u"CAN_Baud", Wide_Left, Wide_Width, Schema_List(u"CAN_BAUDRATE"));

    const String DM = u"GB_DNET_Master";
    box(u"GB_DNET_Master", u" DeviceNet Master ");
    row_edit(DM, u"L_DNM_IDDev", u"ID Device", 24, u"E_ID_DNET_Master", Wide_Left, Wide_Width);
    row_list(DM, u"L_DNM_Baud", u"Baudrate", 58, u"CB_Baud_DNET_Master", Wide_Left, Wide_Width,
             Schema_List(u"DNETM_BAUDRATE"));

    const String DS = u"GB_DNET_Slave";
    box(u"GB_DNET_Slave", u" DeviceNet Slave ");
    row_edit(DS, u"L_DNS_IDDev", u"ID Device", 24, u"E_ID_DNET_Slave", Wide_Left, Wide_Width);
    row_list(DS, u"L_DNS_Baud", u"Baudrate", 58, u"CB_Baud_DNET_Slave", Wide_Left, Wide_Width,
             Schema_List(u"DNETS_BAUDRATE"));
    row_edit(DS, u"L_DNS_Byte_IN", u"Number Byte IN", 92, u"E_NB_IN_DNET_Slave", Narrow_Left, Narrow_Width);
    row_edit(DS, u"L_DNS_Byte_OUT", u"Number Byte Out", 126, u"E_NB_OUT_DNET_Slave", Narrow_Left, Narrow_Width);

    const String PS = u"GB_PROFIBUS_Slave";
    box(u"GB_PROFIBUS_Slave", u" PROFIBUS Slave ");
    row_edit(PS, u"L_PROFIS_IDDev", u"ID Device", 24, u"E_ID_DEV_PROFI_Slave", Wide_Left, Wide_Width);
    row_list(PS, u"L_PROFIS_Baud", u"Baudrate", 58, u"CB_Baud_PROFI_Slave", Wide_Left, Wide_Width,
             Schema_List(u"PROFIBUS_SLAVE_BAUDRATE"));
    C(u"CB_Baud_PROFI_Slave").Enabled = false;
    row_edit(PS, u"L_PROFIS_Byte_IN", u"Number Byte IN", 92, u"E_B_IN_PROFI_Slave", Narrow_Left, Narrow_Width);
    row_edit(PS, u"L_PROFIS_Byte_OUT", u"Number Byte Out", 126, u"E_B_OUT_PROFI_Slave", Narrow_Left, Narrow_Width);
    check(PS, u"CB_PROFI_Slave_Reset_Data", 16, 160, 258, u"Reset PROFIBUS Data on LAN Failure");

    const String MM = u"GB_Modbus_Master";
    box(u"GB_Modbus_Master", u" Modbus Master ");
    row_list(MM, u"L_ModMaster_Serial", u"Serial", 24, u"CB_Serial_Modbus_Master", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_MASTER_SERIAL"));
    row_list(MM, u"L_ModMaster_Baud", u"Baudrate", 58, u"CB_Baud_Modbus_Master", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_MASTER_BAUDRATE"));
    row_list(MM, u"L_ModMaster_Par", u"Parity", 92, u"CB_Par_Modbus_Master", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_MASTER_PARITY"));
    row_list(MM, u"L_ModMaster_Stop", u"Stop Bits", 126, u"CB_Stop_Modbus_Master", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_MASTER_STOPBITS"));
    row_edit(MM, u"L_ModMaster_TO", u"TimeOut (ms)", 160, u"E_TO_Modbus_Master", Narrow_Left, Narrow_Width);
    row_edit(MM, u"L_ModMaster_Idle", u"Communication Idle Time (ms)", 194, u"E_CD_Modbus_Master", 200, 74);
    check(MM, u"CB_En_Poll_PROFI_OK_Modbus_Master", 16, 228, 258, u"Enable Polling when PROFINET OK");
    check(MM, u"CB_Clear_data_PROFI_Fault_Modbus_Master", 16, 262, 258, u"Clear data on PROFINET fault");

    const String MS = u"GB_Modbus_Slave";
    box(u"GB_Modbus_Slave", u" Modbus Slave ");
    row_list(MS, u"L_ModSlave_Serial", u"Serial", 24, u"CB_Serial_Modbus_Slave", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_SLAVE_SERIAL"));
    row_list(MS, u"L_ModSlave_Baud", u"Baudrate", 58, u"CB_Baud_Modbus_Slave", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_SLAVE_BAUDRATE"));
    row_list(MS, u"L_ModSlave_Par", u"Parity", 92, u"CB_Par_Modbus_Slave", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_SLAVE_PARITY"));
    row_list(MS, u"L_ModSlave_StopBits", u"Stop Bits", 126, u"CB_Stop_Modbus_Slave", Wide_Left, Wide_Width,
             Schema_List(u"MODBUS_SLAVE_STOPBITS"));
    row_edit(MS, u"L_ModSlave_IDDev", u"ID Device", 160, u"E_ID_Modbus_Slave", Wide_Left, Wide_Width);
    check(MS, u"CB_Read_IR", 16, 194, 258, u"Read with Input Register / Status Function");
    check(MS, u"CB_ModSlave_SwapBytes", 16, 228, 258, u"Swap bytes of Registers");

    const String NM = u"GB_NMEA2000";
    box(u"GB_NMEA2000", u" NMEA 2000 ");
    row_list(NM, u"L_NMEA_Baud", u"Baudrate", 24, u"CB_Baud_NMEA2000", Wide_Left, Wide_Width,
             Schema_List(u"NMEA2000_BAUDRATE"));
    row_edit(NM, u"L_NMEA_TO", u"Time Out Data (s)", 58, u"E_TO_NMEA2000", Narrow_Left, Narrow_Width);
    check(NM, u"CB_En_Peer_NMEA2000", 16, 92, 258, u"Enable Peer to Peer");

    const String J = u"GB_J1939";
    box(u"GB_J1939", u" J1939 ");
    row_list(J, u"L_J1939_Baud", u"Baudrate", 24, u"CB_Baud_J1939", Wide_Left, Wide_Width,
             Schema_List(u"J1939_BAUDRATE"));
    row_edit(J, u"L_J1939_TO", u"Time Out Data (s)", 58, u"E_TO_J1939", Narrow_Left, Narrow_Width);
    check(J, u"CB_En_Peer_J1939", 16, 92, 258, u"Enable Peer to Peer");
    row_edit(J, u"L_J1939_DeviceID", u"Device ID", 126, u"E_J1939_DeviceID", Narrow_Left, Narrow_Width);
    check(J, u"CB_J1939_En_Not_Std_Cancel_Data", 16, 160, 212, u"Enable Not Standard Cancel Data");
    edit(J, u"E_J1939_En_Not_Std_Cancel_Data", 231, 158, 43);

    const String CO = u"GB_CANopen";
    box(u"GB_CANopen", u" CANopen ");
    row_edit(CO, u"L_CANopen_IDDev", u"Device ID", 24, u"E_ID_CANopen", Wide_Left, Wide_Width);
    row_list(CO, u"L_CANopen_Baud", u"Baudrate", 58, u"CB_Baud_CANopen", Wide_Left, Wide_Width,
             Schema_List(u"CANopen_BAUDRATE"));
    check(CO, u"CB_Set_Ope_CANopen", 16, 92, 258, u"Set Operational State at Start-Up");
    check(CO, u"CB_Net_Ope_CANopen", 16, 126, 220, u"Network Start at Start-up. Delay (s)");
    edit(CO, u"E_NO_Delay_CANopen", 239, 124, 35);
    row_edit(CO, u"L_CANopen_SDOc_TO", u"SDO Client TimeOut (1/10 ms)", 160, u"E_SDO_TO_CANopen", 197, 77);
    check(CO, u"CB_CANopen_En_Sync", 16, 194, 128, u"Enable Sync (ms)");
    edit(CO, u"E_CANopen_Sync_Time", Narrow_Left, 192, Narrow_Width);
    check(CO, u"CB_CANopen_En_Restart", 16, 228, 258, u"Enable Restart CANopen Devices");
    check(CO, u"CB_CANopen_En_Reset_Data", 16, 262, 258, u"Enable Reset Data");
    check(CO, u"CB_CANopen_En_TSDO", 16, 296, 258, u"Enable Triggered SDO");
    row_edit(CO, u"L_CANopen_TSDO_Add_In", u"Address Input Data TSDO", 330, u"E_CANopen_TSDO_Add_In", 214, 60);
    row_edit(CO, u"L_CANopen_TSDO_Add_Out", u"Address Output Data TSDO", 364, u"E_CANopen_TSDO_Add_Out", 214, 60);
    row_edit(CO, u"L_CANopen_HeartBeatTime", u"Heartbeat Time (ms)", 398, u"E_CANopen_HeartBeatTime", Narrow_Left,
             Narrow_Width);

    const String SE = u"GB_Serial";
    box(u"GB_Serial", u" Serial ");
    row_list(SE, u"L_Ser_Serial", u"Serial", 24, u"CB_Serial_Serial", Wide_Left, Wide_Width,
             Schema_List(u"SERIAL_SERIAL"));
    row_list(SE, u"L_Ser_Baud", u"Baudrate", 58, u"CB_Baud_Serial", Wide_Left, Wide_Width,
             Schema_List(u"SERIAL_BAUDRATE"));
    row_list(SE, u"L_Ser_Par", u"Parity", 92, u"CB_Parity_Serial", Wide_Left, Wide_Width,
             Schema_List(u"SERIAL_PARITY"));
    row_list(SE, u"L_Ser_DataBits", u"DataBits", 126, u"CB_Ser_DataBits", Wide_Left, Wide_Width,
             Schema_List(u"SERIAL_DATABITS"));

    const String MB = u"GB_MBus";
    box(u"GB_MBus", u" M-Bus ");
    row_list(MB, u"L_MBus_Baud", u"Baudrate", 24, u"CB_Baud_Mbus", Wide_Left, Wide_Width, Schema_List(u"Meter_Baud"));
    row_list(MB, u"L_MBus_Par", u"Parity", 58, u"CB_Parity_Mbus", Wide_Left, Wide_Width, Schema_List(u"Meter_Par"));
    row_edit(MB, u"L_MBus_CD", u"Cyclic Delay (s)", 92, u"E_CD_Mbus", Narrow_Left, Narrow_Width);
    label(MB, u"L_MBus_NS1", 16, 126, 258, u"Node State value when slave device is not");
    label(MB, u"L_MBus_NS2", 16, 145, 62, u"present");
    edit(MB, u"E_NSE_MBus", Wide_Left, 142, Wide_Width);

    const String TM = u"GB_Modbus_TCP_Master";
    box(u"GB_Modbus_TCP_Master", u" Modbus TCP Master ");
    address(TM, u"L_Modbus_TCP_Master_IP_Add", u"L_Modbus_TCP_Master_SM_Add", u"CB_En_GAT_Modbus_TCP_Master", 17,
            octets(u"E_IP", u"E_SM", u"E_GAT", u"_Modbus_TCP_Master"));
    row_edit(TM, u"L_ModbusTCPMaster_TimeOut", u"TimeOut (ms)", 191, u"E_TO_Modbus_TCP_Master", Narrow_Left,
             Narrow_Width);
    row_edit(TM, u"L_ModbusTCPMaster_CyclicDelay", u"Cyclic Delay (ms)", 225, u"E_CD_Modbus_TCP_Master", Narrow_Left,
             Narrow_Width);

    const String TS = u"GB_Modbus_TCP_Slave";
    box(u"GB_Modbus_TCP_Slave", u" Modbus TCP Slave ");
    address(TS, u"L_Modbus_TCP_Slave_IP_Add", u"L_Modbus_TCP_Slave_SM_Add", u"CB_En_GAT_Modbus_TCP_Slave", 17,
            octets(u"E_IP", u"E_SM", u"E_GAT", u"_Modbus_TCP_Slave"));
    row_edit(TS, u"L_ModbusTCPSlave_Port", u"Port", 191, u"E_Port_Modbus_TCP_Slave", Wide_Left, Wide_Width);
    check(TS, u"CB_Modbus_TCP_Slave_Read_IR", 16, 225, 258, u"Read with Input Register / Status Function");
    check(TS, u"CB_Modbus_TCP_SLave_SwapBytes", 16, 259, 258, u"Swap bytes of Registers");

    const String EI = u"GB_EtherNetIP";
    box(u"GB_EtherNetIP", u" EtherNet/IP ");
    address(EI, u"L_EIP_IP", u"L_EIP_SM", u"CB_EIP_EN_GAT", 17, octets(u"E_EIP_IP", u"E_EIP_SM", u"E_EIP_GAT", u""));
    row_edit(EI, u"L_EIP_Port", u"Port", 191, u"E_EIP_PORT", Wide_Left, Wide_Width);
    C(u"E_EIP_PORT").Enabled = false;
    C(u"E_EIP_PORT").Text = u"44818";
    row_edit(EI, u"L_EIP_Byte_IN", u"Number Byte IN", 225, u"E_EIP_Byte_IN", Narrow_Left, Narrow_Width);
    row_edit(EI, u"L_EIP_Byte_OUT", u"Number Byte Out", 259, u"E_EIP_Byte_OUT", Narrow_Left, Narrow_Width);

    const String SN = u"GB_SNMP";
    box(u"GB_SNMP", u" SNMP ");
    address(SN, u"L_SNMP_IP_Add", u"L_SNMP_SM_Add", u"CB_SNMP_En_Gat", 16,
            octets(u"E_SNMP_IP", u"E_SNMP_SM", u"E_SNMP_GAT", u""));
    label(SN, u"L_SNMP_Name_Of_Station", 16, 191, 258, u"SNMP Name of Station");
    edit(SN, u"E_SNMP_Name_Of_Station", 16, 210, 258, 15);
    C(u"E_SNMP_Name_Of_Station").LowerCase = true;
    row_edit(SN, u"L_SNMP_Contact", u"Contact", 247, u"E_SNMP_Contact", Wide_Left, Wide_Width, 16);
    row_edit(SN, u"L_SNMP_Location", u"Location", 281, u"E_SNMP_Location", Wide_Left, Wide_Width, 16);
    label(SN, u"L_SNMP_Version", 16, 315, 62, u"Version");
    list(SN, u"CB_SNMP_Version", Wide_Left, 312, Wide_Width, Schema_List(u"SNMP_VERSION1"));
    row_edit(SN, u"L_SNMP_User", u"User", 349, u"E_SNMP_User", Wide_Left, Wide_Width, 19);
    row_list(SN, u"L_SNMP_Secure_Lev", u"Security Level", 383, u"CB_SNMP_Secure_Lev", Narrow_Left, Narrow_Width,
             Schema_List(u"SNMP_VER3_SECURITY_LEVEL"));
    row_edit(SN, u"L_SNMP_Auth_Pass", u"Authority", 417, u"E_SNMP_Auth_Pass", Wide_Left, Wide_Width, 15);
    row_list(SN, u"L_SNMP_Auth_Mode", u"Authority Mode", 451, u"CB_SNMP_Auth_Mode", Narrow_Left, Narrow_Width,
             Schema_List(u"SNMP_VER3_AUTHORITY_MODE"));
    row_edit(SN, u"L_SNMP_Priv_Pass", u"Privacy", 485, u"E_SNMP_Priv_Pass", Wide_Left, Wide_Width, 15);
    row_list(SN, u"L_SNMP_Priv_Mode", u"Privacy Mode", 519, u"CB_SNMP_Priv_Mode", Narrow_Left, Narrow_Width,
             Schema_List(u"SNMP_VER3_PRIVACY_MODE"));
    check(SN, u"CB_SNMP_Priv_Pass_Hex", 64, 484, 41, u"Hex");
    row_list(SN, u"L_SNMP_Aux_Int_Dim", u"Auxiliary Integer Dimension", 553, u"CB_SNMP_Aux_Int_Dim", 184, 90,
             Schema_List(u"SNMP_AUX_INT_DIM"));
    for (auto n : {u"CB_SNMP_Priv_Pass_Hex", u"L_SNMP_Aux_Int_Dim", u"CB_SNMP_Aux_Int_Dim"}) C(n).Visible = false;

    const String DX = u"GB_DMX";
    box(u"GB_DMX", u" DMX ");
    row_list(DX, u"L_DMX_DMX", u"DMX", 24, u"CB_DMX_DMX", Wide_Left, Wide_Width, Schema_List(u"DMX_TYPE"));
    row_edit(DX, u"L_DMX_Num_Channal", u"Channel Number", 58, u"E_DMX_Num_Channel", Narrow_Left, Narrow_Width);

    const String ET = u"GB_Ethernet";
    box(u"GB_Ethernet", u" Ethernet ");
    address(ET, u"L_Ethernet_IP", u"L_Ethernet_SM", u"CB_Ethernet_En_GAT", 17,
            octets(u"E_Ethernet_IP", u"E_Ethernet_SM", u"E_Ethernet_GAT", u""));
    row_edit(ET, u"L_Ethernet_TCP_Port", u"TCP Port", 191, u"E_Ethernet_TCP_Port", Wide_Left, Wide_Width);
    row_edit(ET, u"L_Ethernet_UDP_Port", u"UDP Port", 225, u"E_Ethernet_UDP_Port", Wide_Left, Wide_Width);

    // Collapse and expand buttons of every box: small glyph buttons, no caption.
    for (const char16_t* b : ParGen_Boxes)
        for (const char16_t* kind : {u"_Collapse", u"_Expande"}) {
            TPGControl c;
            String boxName(b);
            c.Name = u"Btn_" + boxName.substr(3) + kind;
            c.Kind = TPGKind::Button;
            c.Parent = boxName;
            c.Left = 280;
            c.Top = 10;
            c.Width = 11;
            c.Height = 11;
            add(c);
        }

    for (auto [name, left, caption] : {std::tuple{u"Btn_OK", 68, u"OK"}, std::tuple{u"Btn_Cancel", 192, u"Cancel"}}) {
        TPGControl c;
        c.Name = name;
        c.Kind = TPGKind::Button;
        c.Left = left;
        c.Width = 112;
        c.Height = 28;
        c.Caption = caption;
        add(c);
    }
    design_ = controls_;
}

namespace {

// Captions from the text table, in the order they are applied.
struct TLangCaption {
    int Index;
    const char16_t* Control;
};

const TLangCaption Lang_Captions[] = {
    {87, u"L_SW_Desc"},
    {89, u"L_PROFINET_IP_Add"}, {90, u"L_PROFINET_Subnet_Mask"}, {91, u"CB_EN_GAT"},
    {94, u"GB_Working_Mode_MBus"}, {95, u"RB_WM_Normal_Mbus"}, {96, u"RB_WM_Single_Slave_Mbus"},
    {97, u"L_PROFINET_Byte_IN"}, {98, u"L_PROFINET_Byte_OUT"}, {99, u"GB_CAN"}, {100, u"L_CAN_Baud"},
    {101, u"GB_DNET_Master"}, {102, u"L_DNM_IDDev"}, {103, u"L_DNM_Baud"}, {104, u"GB_DNET_Slave"},
    {105, u"L_DNS_IDDev"}, {106, u"L_DNS_Baud"}, {107, u"L_DNS_Byte_IN"}, {108, u"L_DNS_Byte_OUT"},
    {109, u"GB_PROFIBUS_Slave"}, {110, u"L_PROFIS_IDDev"}, {111, u"L_PROFIS_Baud"}, {112, u"L_PROFIS_Byte_IN"},
    {113, u"L_PROFIS_Byte_OUT"}, {114, u"GB_Modbus_Master"}, {115, u"L_ModMaster_Serial"},
    {116, u"L_ModMaster_Baud"}, {117, u"L_ModMaster_Par"}, {118, u"L_ModMaster_TO"}, {119, u"L_ModMaster_Idle"},
    {120, u"GB_Modbus_Slave"}, {121, u"L_ModSlave_Serial"}, {122, u"L_ModSlave_Baud"}, {123, u"L_ModSlave_Par"},
    {124, u"L_ModSlave_IDDev"},
    {1829, u"L_ModSlave_StopBits"},
    {125, u"GB_NMEA2000"}, {126, u"L_NMEA_Baud"}, {127, u"L_NMEA_TO"}, {128, u"CB_En_Peer_NMEA2000"},
    {129, u"GB_J1939"}, {130, u"L_J1939_Baud"}, {131, u"L_J1939_TO"}, {132, u"CB_En_Peer_J1939"},
    {133, u"GB_CANopen"}, {134, u"L_CANopen_IDDev"}, {135, u"L_CANopen_Baud"}, {136, u"CB_Set_Ope_CANopen"},
    {137, u"CB_Net_Ope_CANopen"}, {138, u"L_CANopen_SDOc_TO"}, {139, u"GB_Serial"}, {140, u"L_Ser_Serial"},
    {141, u"L_Ser_Baud"}, {142, u"L_Ser_Par"}, {143, u"GB_MBus"}, {144, u"L_MBus_Baud"}, {145, u"L_MBus_Par"},
    {146, u"L_MBus_CD"}, {147, u"L_MBus_NS1"}, {148, u"L_MBus_NS2"}, {149, u"Btn_OK"}, {150, u"Btn_Cancel"},
    {646, u"GB_Modbus_TCP_Master"}, {647, u"L_ModbusTCPMaster_TimeOut"}, {648, u"L_ModbusTCPMaster_CyclicDelay"},
    {649, u"GB_Modbus_TCP_Slave"}, {650, u"L_ModbusTCPSlave_Port"},
    {711, u"CB_PROFINET_En_Diagnostic"},
    {713, u"L_Modbus_TCP_Master_IP_Add"}, {714, u"L_Modbus_TCP_Master_SM_Add"}, {715, u"CB_En_GAT_Modbus_TCP_Master"},
    {716, u"L_Modbus_TCP_Slave_IP_Add"}, {717, u"L_Modbus_TCP_Slave_SM_Add"}, {718, u"CB_En_GAT_Modbus_TCP_Slave"},
    {857, u"CB_Auto_Calc_Bytes"}, {861, u"CB_SendBack_CAN_Mess"}, {862, u"CB_Reply_Tunnel_Port"},
    {880, u"GB_EtherNetIP"}, {881, u"L_EIP_IP"}, {882, u"L_EIP_SM"}, {883, u"CB_EIP_EN_GAT"}, {884, u"L_EIP_Port"},
    {900, u"L_Aux_Int_Dim"}, {904, u"CB_CANopen_En_Sync"},
    {917, u"GB_SNMP"}, {918, u"L_SNMP_IP_Add"}, {919, u"L_SNMP_SM_Add"}, {920, u"CB_SNMP_En_Gat"},
    {921, u"L_SNMP_Aux_Int_Dim"},
    {937, u"GB_DMX"}, {938, u"L_DMX_Num_Channal"}, {950, u"L_DMX_DMX"},
    {957, u"CB_PROFINET_En_Modbus_Poll"}, {959, u"L_ModMaster_Stop"},
    {964, u"L_SNMP_PROFINET_Contact"}, {965, u"L_SNMP_PROFINET_Location"}, {966, u"CB_En_Poll_PROFI_OK_Modbus_Master"},
    {968, u"CB_Read_IR"}, {969, u"CB_Modbus_TCP_Slave_Read_IR"}, {970, u"CB_PROFI_Slave_Reset_Data"},
    {864, u"L_SNMP_Name_Of_Station"}, {964, u"L_SNMP_Contact"}, {965, u"L_SNMP_Location"},
    {974, u"CB_PROFINET_CANopen_CMD"}, {975, u"CB_CANopen_En_Restart"}, {977, u"CB_CANopen_En_Reset_Data"},
    {980, u"L_PROFI_SNMP_Version"},
    {984, u"L_PROFI_SNMP_User"}, {985, u"L_PROFI_SNMP_Secure_Lev"}, {986, u"L_PROFI_SNMP_Auth_Pass"},
    {987, u"L_PROFI_SNMP_Auth_Mode"}, {988, u"L_PROFI_SNMP_Priv_Pass"}, {989, u"L_PROFI_SNMP_Priv_Mode"},
    {990, u"CB_CANopen_En_TSDO"}, {991, u"L_CANopen_TSDO_Add_In"}, {992, u"L_CANopen_TSDO_Add_Out"},
    {997, u"L_J1939_DeviceID"}, {1800, u"CB_PROFI_SNMP_Priv_Pass_Hex"}, {1804, u"CB_ModSlave_SwapBytes"},
    {980, u"L_SNMP_Version"},
    {984, u"L_SNMP_User"}, {985, u"L_SNMP_Secure_Lev"}, {986, u"L_SNMP_Auth_Pass"}, {987, u"L_SNMP_Auth_Mode"},
    {988, u"L_SNMP_Priv_Pass"}, {989, u"L_SNMP_Priv_Mode"}, {1800, u"CB_SNMP_Priv_Pass_Hex"},
    {1805, u"GB_Ethernet"}, {1806, u"L_Ethernet_IP"}, {1807, u"L_Ethernet_SM"}, {1808, u"CB_Ethernet_En_GAT"},
    {1809, u"L_Ethernet_TCP_Port"}, {1810, u"L_Ethernet_UDP_Port"},
    {1828, u"CB_Modbus_TCP_SLave_SwapBytes"}, {1831, u"L_CANopen_HeartBeatTime"}, {1833, u"L_Ser_DataBits"},
    {1835, u"CB_Clear_data_PROFI_Fault_Modbus_Master"}, {1837, u"L_PROFI_SNMP_Map"}, {1840, u"L_EIP_Byte_IN"},
    {1841, u"L_EIP_Byte_OUT"},
};

}  // namespace

void TParGenLogic::Set_Lang() {
    const bool snmp = ParGen_Is_SNMP_Agent(Model_Code);
    Caption = Lang_Table[86];
    C(u"GB_PROFINET").Caption = Lang_Table[snmp ? 863 : 88];
    for (const auto& [index, control] : Lang_Captions) C(control).Caption = Lang_Table[index];
    switch (Model_Code) {
        case 0: case 4: case 8: case 15: case 24: case 25: case 27: case 34: case 2004:
            C(u"L_PROFINET_Port").Caption = Lang_Table[811];
            break;
        default:
            C(u"L_PROFINET_Port").Caption = Lang_Table[92];
    }
    C(u"L_PROFINET_Name_Station").Caption = Lang_Table[snmp ? 864 : 93];
    // Three lists take their entries from the text table; none is selected
    // afterwards until the next showing loads the values.
    auto refill = [this](const char16_t* name, int first) {
        TPGControl& c = C(name);
        c.Items = {Lang_Table[first], Lang_Table[first + 1], Lang_Table[first + 2]};
        c.ItemIndex = -1;
    };
    refill(u"CB_Aux_Int_Dim", 901);
    refill(u"CB_PROFI_SNMP_Version", 981);
    refill(u"CB_SNMP_Version", 981);
    for (const char16_t* b : ParGen_Boxes) {
        String name = String(b).substr(3);
        C(u"Btn_" + name + u"_Collapse").Hint = Lang_Table[978];
        C(u"Btn_" + name + u"_Expande").Hint = Lang_Table[979];
    }
}

#include "shell/ParGenSchema.h"

#include "framework/SysUtils.h"
#include "shell/UModel_Tables.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {

using E = TParGenEncoding;
using Names = std::vector<std::u16string_view>;

// The fixed lists of the form's drop-down lists, entry by entry.
constexpr std::u16string_view L_CAN_Baud[] = {u"10K", u"20K", u"50K", u"62.5K", u"100K", u"125K", u"250K", u"500K", u"800K", u"1000K"};
constexpr std::u16string_view L_DNET_Baud[] = {u"125K", u"250K", u"500K"};
constexpr std::u16string_view L_PROFI_Baud[] = {u"Auto Baudrate"};
constexpr std::u16string_view L_Serial[] = {u"RS232", u"RS485"};
constexpr std::u16string_view L_Master_Baud[] = {u"1200", u"2400", u"4800", u"9600", u"19200", u"38400", u"57600", u"115200", u"230400", u"500000", u"625000"};
constexpr std::u16string_view L_Slave_Baud[] = {u"1200", u"2400", u"4800", u"9600", u"19200", u"38400", u"57600", u"115200", u"230400", u"460800"};
constexpr std::u16string_view L_Parity[] = {u"NONE", u"ODD", u"EVEN"};
constexpr std::u16string_view L_Stop[] = {u"1 Stop Bit", u"2 Stop Bits"};
constexpr std::u16string_view L_CAN9_Baud[] = {u"10K", u"20K", u"50K", u"100K", u"125K", u"250K", u"500K", u"800K", u"1000K"};
constexpr std::u16string_view L_Serial_Baud[] = {u"1200", u"2400", u"4800", u"9600", u"19200", u"38400", u"57600", u"115200"};
constexpr std::u16string_view L_DataBits[] = {u"8 bits", u"7 Bits"};
constexpr std::u16string_view L_MBus_Baud[] = {u"300", u"600", u"1200", u"2400", u"4800", u"9600", u"19200", u"38400"};
constexpr std::u16string_view L_MBus_Parity[] = {u"NONE", u"EVEN", u"ODD"};  // EVEN second, unlike the others
constexpr std::u16string_view L_Version[] = {u"1", u"2", u"3"};
constexpr std::u16string_view L_Secure_Lev[] = {u"NoAuth NoPriv", u"Auth NoPriv", u"Auth Priv"};
constexpr std::u16string_view L_Auth_Mode[] = {u"MD5", u"SHA"};
constexpr std::u16string_view L_Priv_Mode[] = {u"DES", u"AES"};
constexpr std::u16string_view L_SNMP_Map[] = {u"Fixed", u"Variable"};
constexpr std::u16string_view L_Map_Type[] = {u"Fixed Map", u"Dynamic Map (Recommended)"};
constexpr std::u16string_view L_Aux_Int_Dim[] = {u"2 Bytes", u"4 Bytes", u"8 Bytes"};  // texts 901 to 903 by default
constexpr std::u16string_view L_DMX[] = {u"IN", u"OUT"};

const TParGenElement Elements[] = {
    // PROFINET group, base elements (every model, first)
    {u"PROFINET_IP1", E::Text, u"E_IP1", u"192", {}},
    {u"PROFINET_IP2", E::Text, u"E_IP2", u"168", {}},
    {u"PROFINET_IP3", E::Text, u"E_IP3", u"0", {}},
    {u"PROFINET_IP4", E::Text, u"E_IP4", u"5", {}},
    {u"PROFINET_SM1", E::Text, u"E_SM1", u"255", {}},
    {u"PROFINET_SM2", E::Text, u"E_SM2", u"255", {}},
    {u"PROFINET_SM3", E::Text, u"E_SM3", u"255", {}},
    {u"PROFINET_SM4", E::Text, u"E_SM4", u"0", {}},
    {u"PROFINET_GAT1", E::Text, u"E_GAT1", u"192", {}},
    {u"PROFINET_GAT2", E::Text, u"E_GAT2", u"168", {}},
    {u"PROFINET_GAT3", E::Text, u"E_GAT3", u"0", {}},
    {u"PROFINET_GAT4", E::Text, u"E_GAT4", u"1", {}},
    {u"PROFINET_EN_GAT", E::Flag, u"CB_EN_GAT", u"0", {}},
    {u"PROFINET_PORT", E::Text, u"E_PORT", u"2000", {}},
    {u"PROFINET_NAME_STA", E::Text, u"E_Profinet_Name_Station", u"devicename1", {}},
    // SNMPv3 block of the PROFINET side
    {u"SNMP_VERSION1", E::Flag, u"CB_PROFI_SNMP_Version", u"0", L_Version},
    {u"SNMP_VERSION2", E::Flag, u"CB_PROFI_SNMP_Version", u"0", L_Version},
    {u"SNMP_VERSION3", E::Flag, u"CB_PROFI_SNMP_Version", u"0", L_Version},
    {u"SNMP_VER3_USER", E::Text, u"E_PROFI_SNMP_User", u"", {}},
    {u"SNMP_VER3_SECURITY_LEVEL", E::ListText, u"CB_PROFI_SNMP_Secure_Lev", u"0", L_Secure_Lev},
    {u"SNMP_VER3_AUTHORITY", E::Text, u"E_PROFI_SNMP_Auth_Pass", u"", {}},
    {u"SNMP_VER3_AUTHORITY_MODE", E::ListText, u"CB_PROFI_SNMP_Auth_Mode", u"0", L_Auth_Mode},
    {u"SNMP_VER3_PRIVACY", E::Text, u"E_PROFI_SNMP_Priv_Pass", u"", {}},
    {u"SNMP_VER3_PRIVACY_MODE", E::ListText, u"CB_PROFI_SNMP_Priv_Mode", u"0", L_Priv_Mode},
    {u"SNMP_VER3_PRIVACY_HEX", E::Flag, u"CB_PROFI_SNMP_Priv_Pass_Hex", u"0", {}},
    {u"SNMP_MAP", E::ListText, u"CB_PROFI_SNMP_Map", u"0", L_SNMP_Map},
    // SNMP identity and options
    {u"SNMP_Contact", E::Text, u"E_SNMP_PROFINET_Contact", u"", {}},
    {u"SNMP_Location", E::Text, u"E_SNMP_PROFINET_Location", u"", {}},
    {u"SNMP_MapType", E::Position, u"CB_SNMP_PROFINET_Map_Type", u"0", L_Map_Type},
    {u"SNMP_AUX_INT_DIM", E::Position, u"CB_Aux_Int_Dim", u"0", L_Aux_Int_Dim},
    // PROFINET group, data sizes and options
    {u"PROFINET_NB_IN", E::Text, u"E_NB_IN_PROFINET", u"1439", {}},
    {u"PROFINET_NB_OUT", E::Text, u"E_NB_OUT_PROFINET", u"1439", {}},
    {u"PROFINET_AUTO_CALC_BYTE", E::Flag, u"CB_Auto_Calc_Bytes", u"0", {}},
    {u"PROFINET_ENABLE_DIAGNOSTIC", E::Flag, u"CB_PROFINET_En_Diagnostic", u"0", {}},
    {u"PROFINET_DIAGNOSTIC_ADDRESS", E::Text, u"E_PROFINET_Diagnostic_Address", u"0", {}},
    {u"PROFINET_ENABLE_MODBUS_POLLS", E::Flag, u"CB_PROFINET_En_Modbus_Poll", u"0", {}},
    {u"PROFINET_MODBUS_POLLS_ADDRESS", E::Text, u"E_PROFINET_ModPolls_Address", u"0", {}},
    {u"PROFINET_ENABLE_CANOPEN_CMD", E::Flag, u"CB_PROFINET_CANopen_CMD", u"0", {}},
    {u"PROFINET_CANOPEN_CMD_INDEX", E::Text, u"E_PROFINET_CANopen_CMD", u"0", {}},
    {u"PROFINET_SEND_BACK_CAN_MESS", E::Flag, u"CB_SendBack_CAN_Mess", u"0", {}},
    {u"PROFINET_SEND_REPLAY_TUNNEL_PORT", E::Flag, u"CB_Reply_Tunnel_Port", u"0", {}},
    {u"Working_mode", E::Flag, u"RB_WM_Single_Slave_Mbus", u"0", {}},  // "1" single-slave mode
    {u"MODBUS_MASTER_NB_IN", E::Text, u"E_NB_IN_PROFINET", u"512", {}},
    {u"MODBUS_MASTER_NB_OUT", E::Text, u"E_NB_OUT_PROFINET", u"512", {}},
    {u"MODBUS_SLAVE_NB_IN", E::Text, u"E_NB_IN_PROFINET", u"512", {}},
    {u"MODBUS_SLAVE_NB_OUT", E::Text, u"E_NB_OUT_PROFINET", u"512", {}},
    {u"MODBUS_TCP_MASTER_NB_IN", E::Text, u"E_NB_IN_PROFINET", u"512", {}},
    {u"MODBUS_TCP_MASTER_NB_OUT", E::Text, u"E_NB_OUT_PROFINET", u"512", {}},
    {u"MODBUS_TCP_Slave_NB_IN", E::Text, u"E_NB_IN_PROFINET", u"512", {}},
    {u"MODBUS_TCP_Slave_NB_OUT", E::Text, u"E_NB_OUT_PROFINET", u"512", {}},
    // CAN
    {u"CAN_BAUDRATE", E::Position, u"CAN_Baud", u"9", L_CAN_Baud},
    // DeviceNet master and slave
    {u"DNETM_ID_DEV", E::Text, u"E_ID_DNET_Master", u"0", {}},
    {u"DNETM_BAUDRATE", E::Position, u"CB_Baud_DNET_Master", u"2", L_DNET_Baud},
    {u"DNETS_ID_DEV", E::Text, u"E_ID_DNET_Slave", u"10", {}},
    {u"DNETS_BAUDRATE", E::Position, u"CB_Baud_DNET_Slave", u"2", L_DNET_Baud},
    {u"DNETS_NB_IN", E::Text, u"E_NB_IN_DNET_Slave", u"455", {}},
    {u"DNETS_NB_OUT", E::Text, u"E_NB_OUT_DNET_Slave", u"455", {}},
    // PROFIBUS slave
    {u"PROFIBUS_SLAVE_ID_DEV", E::Text, u"E_ID_DEV_PROFI_Slave", u"10", {}},
    {u"PROFIBUS_SLAVE_BAUDRATE", E::Position, u"CB_Baud_PROFI_Slave", u"0", L_PROFI_Baud},
    {u"PROFIBUS_SLAVE_NB_IN", E::Text, u"E_B_IN_PROFI_Slave", u"244", {}},
    {u"PROFIBUS_SLAVE_NB_OUT", E::Text, u"E_B_OUT_PROFI_Slave", u"244", {}},
    {u"PROFIBUS_SLAVE_RESET_DATA", E::Flag, u"CB_PROFI_Slave_Reset_Data", u"0", {}},
    // Modbus master
    {u"MODBUS_MASTER_SERIAL", E::Position, u"CB_Serial_Modbus_Master", u"0", L_Serial},
    {u"MODBUS_MASTER_BAUDRATE", E::Position, u"CB_Baud_Modbus_Master", u"7", L_Master_Baud},
    {u"MODBUS_MASTER_PARITY", E::Position, u"CB_Par_Modbus_Master", u"0", L_Parity},
    {u"MODBUS_MASTER_STOPBITS", E::Position, u"CB_Stop_Modbus_Master", u"0", L_Stop},
    {u"MODBUS_MASTER_TIMEOUT", E::Text, u"E_TO_Modbus_Master", u"1000", {}},
    {u"MODBUS_MASTER_CYCLICDELAY", E::Text, u"E_CD_Modbus_Master", u"100", {}},
    {u"MODBUS_MASTER_ENABLE_POLL", E::Flag, u"CB_En_Poll_PROFI_OK_Modbus_Master", u"0", {}},
    {u"MODBUS_MASTER_CLEAR_DATA", E::Flag, u"CB_Clear_data_PROFI_Fault_Modbus_Master", u"0", {}},
    // Modbus slave
    {u"MODBUS_SLAVE_SERIAL", E::Position, u"CB_Serial_Modbus_Slave", u"0", L_Serial},
    {u"MODBUS_SLAVE_BAUDRATE", E::Position, u"CB_Baud_Modbus_Slave", u"7", L_Slave_Baud},
    {u"MODBUS_SLAVE_PARITY", E::Position, u"CB_Par_Modbus_Slave", u"0", L_Parity},
    {u"MODBUS_SLAVE_STOPBITS", E::Position, u"CB_Stop_Modbus_Slave", u"0", L_Stop},
    {u"MODBUS_SLAVE_IDDEVICE", E::Text, u"E_ID_Modbus_Slave", u"10", {}},
    {u"MODBUS_SLAVE_READ_INPUT_REG", E::Flag, u"CB_Read_IR", u"0", {}},
    {u"MODBUS_SLAVE_SWAPBYTES", E::Flag, u"CB_ModSlave_SwapBytes", u"0", {}},
    // J1939
    {u"J1939_BAUDRATE", E::Position, u"CB_Baud_J1939", u"5", L_CAN9_Baud},
    {u"J1939_TIMEOUT", E::Text, u"E_TO_J1939", u"0", {}},
    {u"J1939_PEER_TO_PEER", E::Flag, u"CB_En_Peer_J1939", u"0", {}},
    {u"J1939_ID", E::Text, u"E_J1939_DeviceID", u"0", {}},
    {u"J1939_EN_NOT_STANDARD_CANCEL_DATA", E::Flag, u"CB_J1939_En_Not_Std_Cancel_Data", u"0", {}},
    {u"J1939_NOT_STANDARD_CANCEL_DATA_VALUE", E::Text, u"E_J1939_En_Not_Std_Cancel_Data", u"255", {}},
    // NMEA 2000
    {u"NMEA2000_BAUDRATE", E::Position, u"CB_Baud_NMEA2000", u"5", L_CAN9_Baud},
    {u"NMEA2000_TIMEOUT", E::Text, u"E_TO_NMEA2000", u"0", {}},
    {u"NMEA2000_PEER_TO_PEER", E::Flag, u"CB_En_Peer_NMEA2000", u"0", {}},
    // CANopen
    {u"CANopen_IDDev", E::Text, u"E_ID_CANopen", u"1", {}},
    {u"CANopen_BAUDRATE", E::Position, u"CB_Baud_CANopen", u"5", L_CAN9_Baud},
    {u"CANopen_Set_Operational", E::Flag, u"CB_Set_Ope_CANopen", u"0", {}},
    {u"CANopen_Network_Start", E::Flag, u"CB_Net_Ope_CANopen", u"0", {}},
    {u"CANopen_Delay", E::Text, u"E_NO_Delay_CANopen", u"0", {}},
    {u"CANopen_SDO_TimeOut", E::Text, u"E_SDO_TO_CANopen", u"10000", {}},  // tenths of a millisecond
    {u"CANopen_Sync_Enable", E::Flag, u"CB_CANopen_En_Sync", u"0", {}},
    {u"CANopen_Sync_Time", E::Text, u"E_CANopen_Sync_Time", u"1000", {}},
    {u"CANopen_Enable_Restart", E::Flag, u"CB_CANopen_En_Restart", u"0", {}},
    {u"CANopen_Enable_Reset_Data", E::Flag, u"CB_CANopen_En_Reset_Data", u"0", {}},
    {u"CANopen_Triggered_SDO_Enable", E::Flag, u"CB_CANopen_En_TSDO", u"0", {}},
    {u"CANopen_Triggered_SDO_Address_Input", E::Text, u"E_CANopen_TSDO_Add_In", u"0", {}},
    {u"CANopen_Triggered_SDO_Address_Output", E::Text, u"E_CANopen_TSDO_Add_Out", u"0", {}},
    {u"CANopen_HeartBeat_Time", E::Text, u"E_CANopen_HeartBeatTime", u"1000", {}},
    // Serial
    {u"SERIAL_SERIAL", E::Position, u"CB_Serial_Serial", u"0", L_Serial},
    {u"SERIAL_BAUDRATE", E::Position, u"CB_Baud_Serial", u"7", L_Serial_Baud},
    {u"SERIAL_PARITY", E::Position, u"CB_Parity_Serial", u"0", L_Parity},
    {u"SERIAL_DATABITS", E::Position, u"CB_Ser_DataBits", u"0", L_DataBits},
    // M-Bus
    {u"Meter_Baud", E::Position, u"CB_Baud_Mbus", u"0", L_MBus_Baud},
    {u"Meter_Par", E::Position, u"CB_Parity_Mbus", u"2", L_MBus_Parity},
    {u"Meter_Req_Delay", E::Text, u"E_CD_Mbus", u"100", {}},
    {u"Meter_NS_Error_Code", E::Text, u"E_NSE_MBus", u"0", {}},
    // Modbus TCP master
    {u"Modbus_TCP_Master_TimeOut", E::Text, u"E_TO_Modbus_TCP_Master", u"1000", {}},
    {u"Modbus_TCP_Master_Cyclic", E::Text, u"E_CD_Modbus_TCP_Master", u"100", {}},
    {u"Modbus_TCP_Master_IP1", E::Text, u"E_IP1_Modbus_TCP_Master", u"192", {}},
    {u"Modbus_TCP_Master_IP2", E::Text, u"E_IP2_Modbus_TCP_Master", u"168", {}},
    {u"Modbus_TCP_Master_IP3", E::Text, u"E_IP3_Modbus_TCP_Master", u"0", {}},
    {u"Modbus_TCP_Master_IP4", E::Text, u"E_IP4_Modbus_TCP_Master", u"5", {}},
    {u"Modbus_TCP_Master_SM1", E::Text, u"E_SM1_Modbus_TCP_Master", u"255", {}},
    {u"Modbus_TCP_Master_SM2", E::Text, u"E_SM2_Modbus_TCP_Master", u"255", {}},
    {u"Modbus_TCP_Master_SM3", E::Text, u"E_SM3_Modbus_TCP_Master", u"255", {}},
    {u"Modbus_TCP_Master_SM4", E::Text, u"E_SM4_Modbus_TCP_Master", u"0", {}},
    {u"Modbus_TCP_Master_GAT1", E::Text, u"E_GAT1_Modbus_TCP_Master", u"192", {}},
    {u"Modbus_TCP_Master_GAT2", E::Text, u"E_GAT2_Modbus_TCP_Master", u"168", {}},
    {u"Modbus_TCP_Master_GAT3", E::Text, u"E_GAT3_Modbus_TCP_Master", u"0", {}},
    {u"Modbus_TCP_Master_GAT4", E::Text, u"E_GAT4_Modbus_TCP_Master", u"1", {}},
    {u"Modbus_TCP_Master_EN_GAT", E::Flag, u"CB_En_GAT_Modbus_TCP_Master", u"0", {}},
    // Modbus TCP slave
    {u"Modbus_TCP_Slave_Port", E::Text, u"E_Port_Modbus_TCP_Slave", u"502", {}},
    {u"Modbus_TCP_Slave_IP1", E::Text, u"E_IP1_Modbus_TCP_Slave", u"192", {}},
    {u"Modbus_TCP_Slave_IP2", E::Text, u"E_IP2_Modbus_TCP_Slave", u"168", {}},
    {u"Modbus_TCP_Slave_IP3", E::Text, u"E_IP3_Modbus_TCP_Slave", u"0", {}},
    {u"Modbus_TCP_Slave_IP4", E::Text, u"E_IP4_Modbus_TCP_Slave", u"5", {}},
    {u"Modbus_TCP_Slave_SM1", E::Text, u"E_SM1_Modbus_TCP_Slave", u"255", {}},
    {u"Modbus_TCP_Slave_SM2", E::Text, u"E_SM2_Modbus_TCP_Slave", u"255", {}},
    {u"Modbus_TCP_Slave_SM3", E::Text, u"E_SM3_Modbus_TCP_Slave", u"255", {}},
    {u"Modbus_TCP_Slave_SM4", E::Text, u"E_SM4_Modbus_TCP_Slave", u"0", {}},
    {u"Modbus_TCP_Slave_GAT1", E::Text, u"E_GAT1_Modbus_TCP_Slave", u"192", {}},
    {u"Modbus_TCP_Slave_GAT2", E::Text, u"E_GAT2_Modbus_TCP_Slave", u"168", {}},
    {u"Modbus_TCP_Slave_GAT3", E::Text, u"E_GAT3_Modbus_TCP_Slave", u"0", {}},
    {u"Modbus_TCP_Slave_GAT4", E::Text, u"E_GAT4_Modbus_TCP_Slave", u"1", {}},
    {u"Modbus_TCP_Slave_EN_GAT", E::Flag, u"CB_En_GAT_Modbus_TCP_Slave", u"0", {}},
    {u"Modbus_TCP_Slave_READ_INPUT_REG", E::Flag, u"CB_Modbus_TCP_Slave_Read_IR", u"0", {}},
    {u"Modbus_TCP_Slave_SWAPBYTES", E::Flag, u"CB_Modbus_TCP_SLave_SwapBytes", u"0", {}},
    // EtherNet/IP
    {u"EtherNetIP_IP1", E::Text, u"E_EIP_IP1", u"192", {}},
    {u"EtherNetIP_IP2", E::Text, u"E_EIP_IP2", u"168", {}},
    {u"EtherNetIP_IP3", E::Text, u"E_EIP_IP3", u"0", {}},
    {u"EtherNetIP_IP4", E::Text, u"E_EIP_IP4", u"5", {}},
    {u"EtherNetIP_SM1", E::Text, u"E_EIP_SM1", u"255", {}},
    {u"EtherNetIP_SM2", E::Text, u"E_EIP_SM2", u"255", {}},
    {u"EtherNetIP_SM3", E::Text, u"E_EIP_SM3", u"255", {}},
    {u"EtherNetIP_SM4", E::Text, u"E_EIP_SM4", u"0", {}},
    {u"EtherNetIP_GAT1", E::Text, u"E_EIP_GAT1", u"192", {}},
    {u"EtherNetIP_GAT2", E::Text, u"E_EIP_GAT2", u"168", {}},
    {u"EtherNetIP_GAT3", E::Text, u"E_EIP_GAT3", u"0", {}},
    {u"EtherNetIP_GAT4", E::Text, u"E_EIP_GAT4", u"1", {}},
    {u"EtherNetIP_EN_GAT", E::Flag, u"CB_EIP_EN_GAT", u"0", {}},
    {u"EtherNetIP_PORT", E::Text, u"E_EIP_PORT", u"44818", {}},
    {u"EtherNetIP_Num_Byte_In", E::Text, u"E_EIP_Byte_IN", u"500", {}},
    {u"EtherNetIP_Num_Byte_Out", E::Text, u"E_EIP_Byte_OUT", u"496", {}},
    // SNMP agent of model 20
    {u"SNMP_IP1", E::Text, u"E_SNMP_IP1", u"192", {}},
    {u"SNMP_IP2", E::Text, u"E_SNMP_IP2", u"168", {}},
    {u"SNMP_IP3", E::Text, u"E_SNMP_IP3", u"0", {}},
    {u"SNMP_IP4", E::Text, u"E_SNMP_IP4", u"11", {}},
    {u"SNMP_SM1", E::Text, u"E_SNMP_SM1", u"255", {}},
    {u"SNMP_SM2", E::Text, u"E_SNMP_SM2", u"255", {}},
    {u"SNMP_SM3", E::Text, u"E_SNMP_SM3", u"255", {}},
    {u"SNMP_SM4", E::Text, u"E_SNMP_SM4", u"0", {}},
    {u"SNMP_GAT1", E::Text, u"E_SNMP_GAT1", u"192", {}},
    {u"SNMP_GAT2", E::Text, u"E_SNMP_GAT2", u"168", {}},
    {u"SNMP_GAT3", E::Text, u"E_SNMP_GAT3", u"0", {}},
    {u"SNMP_GAT4", E::Text, u"E_SNMP_GAT4", u"1", {}},
    {u"SNMP_EN_GAT", E::Flag, u"CB_SNMP_En_Gat", u"0", {}},
    {u"SNMP_Name_of_Station", E::Text, u"E_SNMP_Name_Of_Station", u"snmpname1", {}},
    // DMX
    {u"DMX_TYPE", E::Position, u"CB_DMX_DMX", u"1", L_DMX},
    // Ethernet
    {u"Ethernet_IP1", E::Text, u"E_Ethernet_IP1", u"192", {}},
    {u"Ethernet_IP2", E::Text, u"E_Ethernet_IP2", u"168", {}},
    {u"Ethernet_IP3", E::Text, u"E_Ethernet_IP3", u"0", {}},
    {u"Ethernet_IP4", E::Text, u"E_Ethernet_IP4", u"10", {}},
    {u"Ethernet_SM1", E::Text, u"E_Ethernet_SM1", u"255", {}},
    {u"Ethernet_SM2", E::Text, u"E_Ethernet_SM2", u"255", {}},
    {u"Ethernet_SM3", E::Text, u"E_Ethernet_SM3", u"255", {}},
    {u"Ethernet_SM4", E::Text, u"E_Ethernet_SM4", u"0", {}},
    {u"Ethernet_GAT1", E::Text, u"E_Ethernet_GAT1", u"192", {}},
    {u"Ethernet_GAT2", E::Text, u"E_Ethernet_GAT2", u"168", {}},
    {u"Ethernet_GAT3", E::Text, u"E_Ethernet_GAT3", u"0", {}},
    {u"Ethernet_GAT4", E::Text, u"E_Ethernet_GAT4", u"1", {}},
    {u"Ethernet_EN_GAT", E::Flag, u"CB_Ethernet_En_GAT", u"0", {}},
    {u"Ethernet_TCP_Port", E::Text, u"E_Ethernet_TCP_Port", u"2000", {}},
    {u"Ethernet_UDP_Port", E::Text, u"E_Ethernet_UDP_Port", u"2000", {}},
};
static_assert(std::size(Elements) == 185, "the file knows 185 element names");

// Per-model exceptions to an element's entry; the first rule naming the
// element and the model applies. No models listed = every model.
struct TRule {
    std::u16string_view Name;
    std::vector<int> Models;
    TParGenReading Reading;
    std::u16string_view Missing;
    bool Fixed = false;  // written as Missing whatever the control holds
};

const TRule Rules[] = {
    // The tunnelling models keep the port typed; every other model's port is
    // the PROFINET one and the stored text is not used.
    {u"PROFINET_PORT", {0, 4, 8, 15, 24, 25, 27, 34, 2004}, TParGenReading::Plain, u"2000"},
    {u"PROFINET_PORT", {}, TParGenReading::Ignored, u"34964"},
    {u"PROFINET_NB_IN", {9}, TParGenReading::Plain, u"500"},
    {u"PROFINET_NB_IN", {13, 35}, TParGenReading::Plain, u"496"},
    {u"PROFINET_NB_IN", {22, 29}, TParGenReading::DmxCount, u"512"},
    {u"PROFINET_NB_OUT", {9}, TParGenReading::Plain, u"500"},
    {u"PROFINET_NB_OUT", {13, 35}, TParGenReading::Plain, u"496"},
    {u"PROFINET_NB_OUT", {21}, TParGenReading::Plain, u"1024", true},
    {u"PROFINET_NB_OUT", {22, 29}, TParGenReading::DmxCount, u"1"},
    {u"PROFINET_AUTO_CALC_BYTE", {21}, TParGenReading::Plain, u"0", true},
    {u"SNMP_MapType", {30, 32, 33, 35, 1018}, TParGenReading::Plain, u"1", true},
    {u"EtherNetIP_PORT", {}, TParGenReading::Ignored, u"44818"},
    {u"PROFIBUS_SLAVE_BAUDRATE", {}, TParGenReading::Ignored, u"0"},
    {u"DMX_TYPE", {}, TParGenReading::ZeroOrOther, u"1"},
};

// What a new project starts with where it differs from the missing default.
struct TNewRule {
    std::u16string_view Name;
    std::vector<int> Models;
    std::u16string_view Value;
};

const TNewRule New_Project_Rules[] = {
    {u"MODBUS_SLAVE_READ_INPUT_REG", {5, 26}, u"1"},
    {u"Modbus_TCP_Slave_READ_INPUT_REG", {12, 17}, u"1"},
    {u"EtherNetIP_IP4", {13, 35}, u"10"},
    {u"SNMP_MapType", {18}, u"1"},
    // Model 20 allows at most 1023 bytes each way, so a new project starts there.
    {u"PROFINET_NB_IN", {20}, u"1023"},
    {u"PROFINET_NB_OUT", {20}, u"1023"},
    // The version list starts at "3".
    {u"SNMP_VERSION3", {}, u"1"},
};

// Model 20 writes the SNMP names from its own SNMP box.
const std::pair<std::u16string_view, std::u16string_view> Model20_Controls[] = {
    {u"SNMP_Contact", u"E_SNMP_Contact"},
    {u"SNMP_Location", u"E_SNMP_Location"},
    {u"SNMP_VERSION1", u"CB_SNMP_Version"},
    {u"SNMP_VERSION2", u"CB_SNMP_Version"},
    {u"SNMP_VERSION3", u"CB_SNMP_Version"},
    {u"SNMP_VER3_USER", u"E_SNMP_User"},
    {u"SNMP_VER3_SECURITY_LEVEL", u"CB_SNMP_Secure_Lev"},
    {u"SNMP_VER3_AUTHORITY", u"E_SNMP_Auth_Pass"},
    {u"SNMP_VER3_AUTHORITY_MODE", u"CB_SNMP_Auth_Mode"},
    {u"SNMP_VER3_PRIVACY", u"E_SNMP_Priv_Pass"},
    {u"SNMP_VER3_PRIVACY_MODE", u"CB_SNMP_Priv_Mode"},
};

// Groups of elements, in their order.
const Names Base = {u"PROFINET_IP1", u"PROFINET_IP2", u"PROFINET_IP3", u"PROFINET_IP4", u"PROFINET_SM1",
                    u"PROFINET_SM2", u"PROFINET_SM3", u"PROFINET_SM4", u"PROFINET_GAT1", u"PROFINET_GAT2",
                    u"PROFINET_GAT3", u"PROFINET_GAT4", u"PROFINET_EN_GAT", u"PROFINET_PORT", u"PROFINET_NAME_STA"};
const Names SNMPv3 = {u"SNMP_VERSION1", u"SNMP_VERSION2", u"SNMP_VERSION3", u"SNMP_VER3_USER",
                      u"SNMP_VER3_SECURITY_LEVEL", u"SNMP_VER3_AUTHORITY", u"SNMP_VER3_AUTHORITY_MODE",
                      u"SNMP_VER3_PRIVACY", u"SNMP_VER3_PRIVACY_MODE", u"SNMP_VER3_PRIVACY_HEX"};
const Names SNMPv3_No_Hex(SNMPv3.begin(), SNMPv3.end() - 1);
const Names Contact_Location_MapType = {u"SNMP_Contact", u"SNMP_Location", u"SNMP_MapType"};
const Names NB = {u"PROFINET_NB_IN", u"PROFINET_NB_OUT"};
const Names Diagnostic = {u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"};
const Names Modbus_Polls = {u"PROFINET_ENABLE_MODBUS_POLLS", u"PROFINET_MODBUS_POLLS_ADDRESS"};
const Names CAN_Tunnel = {u"PROFINET_SEND_BACK_CAN_MESS", u"PROFINET_SEND_REPLAY_TUNNEL_PORT"};
const Names J1939 = {u"J1939_BAUDRATE", u"J1939_TIMEOUT", u"J1939_PEER_TO_PEER", u"J1939_ID",
                     u"J1939_EN_NOT_STANDARD_CANCEL_DATA", u"J1939_NOT_STANDARD_CANCEL_DATA_VALUE"};
const Names NMEA2000 = {u"NMEA2000_BAUDRATE", u"NMEA2000_TIMEOUT", u"NMEA2000_PEER_TO_PEER"};
const Names CANopen_Head = {u"CANopen_IDDev", u"CANopen_BAUDRATE", u"CANopen_Set_Operational",
                            u"CANopen_Network_Start", u"CANopen_Delay", u"CANopen_SDO_TimeOut",
                            u"CANopen_Sync_Enable", u"CANopen_Sync_Time"};
const Names CANopen_Restart = {u"CANopen_Enable_Restart", u"CANopen_Enable_Reset_Data"};
const Names CANopen_Tail = {u"CANopen_Triggered_SDO_Enable", u"CANopen_Triggered_SDO_Address_Input",
                            u"CANopen_Triggered_SDO_Address_Output", u"CANopen_HeartBeat_Time"};
const Names MBus = {u"Working_mode", u"Meter_Baud", u"Meter_Par", u"Meter_Req_Delay", u"Meter_NS_Error_Code"};
const Names Modbus_TCP_Master = {
    u"Modbus_TCP_Master_TimeOut", u"Modbus_TCP_Master_Cyclic", u"Modbus_TCP_Master_IP1", u"Modbus_TCP_Master_IP2",
    u"Modbus_TCP_Master_IP3", u"Modbus_TCP_Master_IP4", u"Modbus_TCP_Master_SM1", u"Modbus_TCP_Master_SM2",
    u"Modbus_TCP_Master_SM3", u"Modbus_TCP_Master_SM4", u"Modbus_TCP_Master_GAT1", u"Modbus_TCP_Master_GAT2",
    u"Modbus_TCP_Master_GAT3", u"Modbus_TCP_Master_GAT4", u"Modbus_TCP_Master_EN_GAT"};
const Names Modbus_TCP_Slave = {
    u"Modbus_TCP_Slave_Port", u"Modbus_TCP_Slave_IP1", u"Modbus_TCP_Slave_IP2", u"Modbus_TCP_Slave_IP3",
    u"Modbus_TCP_Slave_IP4", u"Modbus_TCP_Slave_SM1", u"Modbus_TCP_Slave_SM2", u"Modbus_TCP_Slave_SM3",
    u"Modbus_TCP_Slave_SM4", u"Modbus_TCP_Slave_GAT1", u"Modbus_TCP_Slave_GAT2", u"Modbus_TCP_Slave_GAT3",
    u"Modbus_TCP_Slave_GAT4", u"Modbus_TCP_Slave_EN_GAT", u"Modbus_TCP_Slave_READ_INPUT_REG"};
const Names EtherNetIP = {u"EtherNetIP_IP1", u"EtherNetIP_IP2", u"EtherNetIP_IP3", u"EtherNetIP_IP4",
                          u"EtherNetIP_SM1", u"EtherNetIP_SM2", u"EtherNetIP_SM3", u"EtherNetIP_SM4",
                          u"EtherNetIP_GAT1", u"EtherNetIP_GAT2", u"EtherNetIP_GAT3", u"EtherNetIP_GAT4",
                          u"EtherNetIP_EN_GAT", u"EtherNetIP_PORT"};
const Names SNMP_Box = {u"SNMP_IP1", u"SNMP_IP2", u"SNMP_IP3", u"SNMP_IP4", u"SNMP_SM1",
                        u"SNMP_SM2", u"SNMP_SM3", u"SNMP_SM4", u"SNMP_GAT1", u"SNMP_GAT2",
                        u"SNMP_GAT3", u"SNMP_GAT4", u"SNMP_EN_GAT", u"SNMP_Name_of_Station"};
const Names Ethernet = {u"Ethernet_IP1", u"Ethernet_IP2", u"Ethernet_IP3", u"Ethernet_IP4", u"Ethernet_SM1",
                        u"Ethernet_SM2", u"Ethernet_SM3", u"Ethernet_SM4", u"Ethernet_GAT1", u"Ethernet_GAT2",
                        u"Ethernet_GAT3", u"Ethernet_GAT4", u"Ethernet_EN_GAT", u"Ethernet_TCP_Port",
                        u"Ethernet_UDP_Port"};

Names Cat(std::initializer_list<Names> parts) {
    Names all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The elements each model writes after the PROFINET base elements.
struct TSequence {
    std::vector<int> Models;
    Names After;
};

const std::vector<TSequence>& Sequences() {
    static const std::vector<TSequence> table = {
        {{0}, Cat({CAN_Tunnel, NB, Diagnostic, Modbus_Polls, {u"CAN_BAUDRATE"}})},
        {{27}, Cat({CAN_Tunnel, NB, Diagnostic, {u"CAN_BAUDRATE"}})},
        {{1}, Cat({NB, Diagnostic, {u"DNETM_ID_DEV", u"DNETM_BAUDRATE"}})},
        {{2}, {u"DNETS_ID_DEV", u"DNETS_BAUDRATE", u"DNETS_NB_IN", u"DNETS_NB_OUT"}},
        {{3}, {u"PROFIBUS_SLAVE_ID_DEV", u"PROFIBUS_SLAVE_BAUDRATE", u"PROFIBUS_SLAVE_NB_IN", u"PROFIBUS_SLAVE_NB_OUT",
               u"PROFIBUS_SLAVE_RESET_DATA"}},
        {{23}, Cat({SNMPv3, {u"PROFIBUS_SLAVE_ID_DEV", u"PROFIBUS_SLAVE_BAUDRATE", u"PROFIBUS_SLAVE_NB_IN",
                             u"PROFIBUS_SLAVE_NB_OUT"}})},
        {{4, 25, 2004}, Cat({{u"MODBUS_MASTER_NB_IN", u"MODBUS_MASTER_NB_OUT"}, Diagnostic, Modbus_Polls,
                             {u"MODBUS_MASTER_SERIAL", u"MODBUS_MASTER_BAUDRATE", u"MODBUS_MASTER_PARITY",
                              u"MODBUS_MASTER_STOPBITS", u"MODBUS_MASTER_TIMEOUT", u"MODBUS_MASTER_CYCLICDELAY",
                              u"MODBUS_MASTER_ENABLE_POLL", u"MODBUS_MASTER_CLEAR_DATA"}})},
        {{18, 30, 1018}, Cat({SNMPv3, Contact_Location_MapType,
                              {u"MODBUS_MASTER_SERIAL", u"MODBUS_MASTER_BAUDRATE", u"MODBUS_MASTER_PARITY",
                               u"MODBUS_MASTER_TIMEOUT", u"MODBUS_MASTER_CYCLICDELAY"}})},
        {{5, 26}, {u"MODBUS_SLAVE_NB_IN", u"MODBUS_SLAVE_NB_OUT", u"MODBUS_SLAVE_SERIAL", u"MODBUS_SLAVE_BAUDRATE",
                   u"MODBUS_SLAVE_PARITY", u"MODBUS_SLAVE_STOPBITS", u"MODBUS_SLAVE_IDDEVICE",
                   u"MODBUS_SLAVE_READ_INPUT_REG"}},
        {{16}, Cat({SNMPv3,
                    {u"MODBUS_SLAVE_SERIAL", u"MODBUS_SLAVE_BAUDRATE", u"MODBUS_SLAVE_PARITY", u"MODBUS_SLAVE_IDDEVICE",
                     u"MODBUS_SLAVE_SWAPBYTES"},
                    Contact_Location_MapType})},
        {{6, 14}, J1939},
        {{32}, Cat({SNMPv3, Contact_Location_MapType, J1939})},
        {{7, 28}, NMEA2000},
        {{8}, Cat({NB, Diagnostic, {u"PROFINET_ENABLE_CANOPEN_CMD", u"PROFINET_CANOPEN_CMD_INDEX"}, CANopen_Head,
                   CANopen_Restart, CANopen_Tail})},
        {{24}, Cat({NB, CANopen_Head, CANopen_Tail})},
        {{33}, Cat({SNMPv3, Contact_Location_MapType, NB, CANopen_Head, CANopen_Restart, CANopen_Tail})},
        {{9}, Cat({NB, {u"SERIAL_SERIAL", u"SERIAL_BAUDRATE", u"SERIAL_PARITY", u"SERIAL_DATABITS"}})},
        {{10}, Cat({{u"PROFINET_NB_OUT", u"PROFINET_AUTO_CALC_BYTE"}, MBus})},
        {{21}, Cat({{u"SNMP_Contact", u"SNMP_Location"}, SNMPv3, {u"SNMP_MAP", u"PROFINET_NB_OUT", u"PROFINET_AUTO_CALC_BYTE"},
                    MBus, {u"SNMP_AUX_INT_DIM"}})},
        {{11}, Cat({{u"MODBUS_TCP_MASTER_NB_IN", u"MODBUS_TCP_MASTER_NB_OUT"}, Diagnostic, Modbus_TCP_Master})},
        {{19}, Cat({SNMPv3, Contact_Location_MapType, Modbus_TCP_Master})},
        {{12}, Cat({{u"MODBUS_TCP_Slave_NB_IN", u"MODBUS_TCP_Slave_NB_OUT"}, Modbus_TCP_Slave})},
        {{17}, Cat({SNMPv3, Modbus_TCP_Slave, Contact_Location_MapType, {u"Modbus_TCP_Slave_SWAPBYTES"}})},
        {{13}, Cat({NB, EtherNetIP})},
        {{35}, Cat({SNMPv3, NB, EtherNetIP, {u"EtherNetIP_Num_Byte_In", u"EtherNetIP_Num_Byte_Out"},
                    Contact_Location_MapType})},
        {{15, 34}, Cat({SNMPv3, CAN_Tunnel, {u"SNMP_AUX_INT_DIM", u"SNMP_Contact", u"SNMP_Location", u"CAN_BAUDRATE"}})},
        {{20}, Cat({NB, SNMP_Box, {u"SNMP_Contact", u"SNMP_Location"}, SNMPv3_No_Hex})},
        {{22, 29}, Cat({NB, {u"DMX_TYPE"}})},
        {{31}, Cat({NB, Ethernet})},
    };
    return table;
}

bool Has(const std::vector<int>& models, int model) {
    return models.empty() || std::find(models.begin(), models.end(), model) != models.end();
}

std::vector<TParGenItem> Build_Items(int model) {
    std::vector<TParGenItem> items;
    const TSequence* seq = nullptr;
    for (const auto& s : Sequences())
        if (std::find(s.Models.begin(), s.Models.end(), model) != s.Models.end()) seq = &s;
    if (!seq) return items;
    for (auto name : Cat({Base, seq->After})) {
        const TParGenElement* e = ParGen_Find_Element(name);
        TParGenItem item{e, e->Encoding, TParGenReading::Plain, e->Control, String(e->Missing), String(), 0};
        for (const auto& r : Rules) {
            if (r.Name != name || !Has(r.Models, model)) continue;
            item.Reading = r.Reading;
            item.Missing = String(r.Missing);
            if (r.Fixed) item.Encoding = E::Fixed;
            break;
        }
        if (name.starts_with(u"SNMP_VERSION")) {
            item.Reading = TParGenReading::VersionFlag;
            item.Param = name.back() - u'1';
        }
        if (model == 20)
            for (const auto& [n, c] : Model20_Controls)
                if (n == name) item.Control = c;
        item.NewProject = item.Missing;
        for (const auto& r : New_Project_Rules)
            if (r.Name == name && Has(r.Models, model)) item.NewProject = String(r.Value);
        items.push_back(item);
    }
    return items;
}

}  // namespace

const int ParGen_Model_Codes[38] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,   13,
                                    14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,   27,
                                    28, 29, 30, 31, 32, 33, 34, 35, 1018, 2004};

std::span<const TParGenElement> ParGen_All_Elements() { return Elements; }

const TParGenElement* ParGen_Find_Element(std::u16string_view name) {
    for (const auto& e : Elements)
        if (e.Name == name) return &e;
    return nullptr;
}

bool ParGen_Is_Model(int model) {
    return std::find(std::begin(ParGen_Model_Codes), std::end(ParGen_Model_Codes), model) !=
           std::end(ParGen_Model_Codes);
}

bool ParGen_Is_SNMP_Agent(int model) {
    switch (model) {
        case 15: case 16: case 17: case 18: case 19: case 21: case 23:
        case 30: case 32: case 33: case 34: case 35: case 1018:
            return true;
        default:
            return false;
    }
}

const std::vector<TParGenItem>& ParGen_Model_Items(int model) {
    static std::mutex lock;
    static std::map<int, std::vector<TParGenItem>> cache;
    std::lock_guard guard(lock);
    auto it = cache.find(model);
    if (it == cache.end()) it = cache.emplace(model, Build_Items(model)).first;
    return it->second;
}

const TParGenItem* ParGen_Model_Item(int model, std::u16string_view name) {
    for (const auto& item : ParGen_Model_Items(model))
        if (item.Element->Name == name) return &item;
    return nullptr;
}

String ParGen_Version(int model) { return Model_Version(model); }


int ParGen_List_Text_Code(std::u16string_view text, std::span<const std::u16string_view> list) {
    auto upper = [](std::u16string_view s) {
        String u(s);
        for (auto& c : u)
            if (c >= u'a' && c <= u'z') c = Char(c - 32);
        return u;
    };
    size_t b = 0, e = text.size();
    while (b < e && text[b] <= u' ') ++b;
    while (e > b && text[e - 1] <= u' ') --e;
    String key = upper(text.substr(b, e - b));
    for (size_t i = 0; i < list.size(); ++i)
        if (upper(list[i]) == key) return int(i);
    return 0;
}

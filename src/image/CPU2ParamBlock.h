#pragma once
// The 2048-byte parameter block of the second processor (the one that carries
// the Ethernet side) of the two-processor models. Its image is the record byte
// for byte; members up to +168 share offsets and meanings with the main block.

#include "image/LeWriter.h"
#include "image/MainParamBlock.h"

#include <array>
#include <cstddef>

// Member offsets of CPU2_Param_Block (widths in the comments).
enum : std::size_t {
    C2_Bus_Baud_Rate = 0,               // u32
    C2_Bus_Baud_Rate_2 = 4,             // u32
    C2_Serial_Baud_Rate = 12,           // u32, written by no reader
    C2_Node_ID = 28,                    // u32
    C2_Timeout = 32,                    // u32
    C2_Cyclic_Delay = 36,               // u32
    C2_IP_Address = 40,                 // 4 bytes
    C2_Subnet_Mask = 44,                // 4 bytes
    C2_Gateway = 48,                    // 4 bytes
    C2_Application_Port = 52,           // u16
    C2_Aux_Port_1 = 54,                 // u16
    C2_Aux_Port_2 = 56,                 // u16
    C2_Request_Count = 72,              // u32
    C2_Request_Table_Address = 76,      // u32
    C2_Station_Name = 80,               // 16 bytes
    C2_Device_Variant = 96,             // u8
    C2_Serial_Mode = 97,                // u8
    C2_Option_Flags = 99,               // u8
    C2_User_Port = 104,                 // u16
    C2_CAN_Frame_Count = 112,           // u32
    C2_NB_In = 116,                     // u32
    C2_NB_Out = 120,                    // u32
    C2_PGN_Rx_Count = 144,              // u32
    C2_PGN_Tx_Count = 148,              // u32
    C2_PGN_Flags = 152,                 // u32
    C2_CANopen_Node_ID = 0x9C,          // u32
    C2_CANopen_Flags = 160,             // u32
    C2_CANopen_Delay_ms = 164,          // u32
    C2_CANopen_SDO_Timeout = 168,       // u32
    C2_CANopen_Counts = 172,            // 6 x u32
    C2_Modbus_Table_Address = 196,      // u32
    C2_CAN_Table_Address = 200,         // u32
    C2_PGN_Table_Addresses = 204,       // 2 x u32
    C2_CANopen_Table_Addresses = 224,   // 6 x u32
    C2_Diagnostic_Address = 384,        // u32
    C2_IP_Address_2 = 388,              // 4 bytes
    C2_Subnet_Mask_2 = 392,             // 4 bytes
    C2_Gateway_2 = 396,                 // 4 bytes
    C2_Port_Baud_Rates = 400,           // 6 x u32
    C2_Port_Parities = 424,             // 6 x u8
    C2_Port_Stop_Bits = 430,            // 6 x u8
    C2_Port_Data_Bits = 436,            // 8 x u8
    C2_SNMP_Station_Name = 1396,        // 16 bytes
    C2_Trap_Read_Count = 1436,          // u32
    C2_Trap_Write_Count = 1440,         // u32
    C2_Trap_Read_Address = 1444,        // u32
    C2_Trap_Write_Address = 1448,       // u32
    C2_SNMP_Flags = 1452,               // u32
    C2_V3_User = 1456,                  // 20 bytes
    C2_V3_Auth_Password = 1476,         // 16 bytes
    C2_V3_Priv_Password = 1492,         // 16 bytes
    C2_Serial_Options = 1520,           // u32
    C2_Command_Address = 1696,          // u32
    C2_CANopen_Sync_Time = 1708,        // u32
    C2_Triggered_SDO_Input_Address = 1712,   // u32
    C2_Triggered_SDO_Output_Address = 1716,  // u32
    C2_Restart_Node_Bits = 1724,        // 16 bytes
    C2_Node_Guard_Count = 1740,         // u32
    C2_Node_Guard_Address = 1744,       // u32
    C2_Modbus_Polls_Address = 1748,     // u32
    C2_Cancel_Data_Value = 1789,        // u8
    C2_Heartbeat_Time = 1790,           // u16
    C2_Contact_Text = 1856,             // 16 bytes
    C2_Location_Text = 1872,            // 16 bytes
    C2_Block_Checksum = Block_Checksum_Offset,  // u32, set by the serialiser
};

class TCPU2_Param_Block {
public:
    TLeBytes Bytes() { return TLeBytes(record_.data(), record_.size(), "CPU2_Param_Block"); }
    const Byte* Data() const { return record_.data(); }

private:
    friend std::size_t Save_CPU2_Param_Block(TCPU2_Param_Block&, std::size_t, TLeBytes);
    std::array<Byte, Param_Block_Size> record_{};
};

// Every member to its default: +0 and +4 250000, +12 9600, +40 192.168.2.205,
// +44 255.255.255.0, +48 255.255.255.255, +52 10000, +54 and +56 10001,
// +436..+443 8 each, everything else 0.
void Init_CPU2_Param_Block(TCPU2_Param_Block& block);

// Stores the byte sum of bytes 0..2043 in the record (+2044), copies the
// 2048 bytes to dst[pos] and returns pos + 2048. The stored sum is not part
// of the sum, so saving twice gives the same bytes.
std::size_t Save_CPU2_Param_Block(TCPU2_Param_Block& block, std::size_t pos, TLeBytes dst);

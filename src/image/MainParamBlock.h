#pragma once
// The parameter block of the converter's main processor: 676 bytes of
// parameters, laid into the image as one 2048-byte block (the parameters,
// zeros, and the byte sum of bytes 0..2043 in bytes 2044..2047). The family
// readers set members by their offsets below; nothing else lives in it.

#include "image/LeWriter.h"

#include <array>
#include <cstddef>

// Member offsets of Main_Param_Block, by the members' names (widths in the
// comments).
namespace MB {
enum : std::size_t {
    Bus_Baud_Rate = 0,                  // u32, bit/s of the CAN-type bus
    Serial_Baud_Rate = 12,              // u32
    Serial_Data_Bits = 16,              // u16
    Serial_Parity = 18,                 // u16
    Serial_Stop_Bits = 20,              // u32
    Slave_ID = 24,                      // u32
    Node_ID = 28,                       // u32
    Timeout = 32,                       // u32, ms
    Cyclic_Delay = 36,                  // u32, ms
    IP_Address = 40,                    // 4 bytes, first dotted number first
    Subnet_Mask = 44,                   // 4 bytes
    Gateway = 48,                       // 4 bytes
    Application_Port = 52,              // u16
    Aux_Port_1 = 54,                    // u16
    Aux_Port_2 = 56,                    // u16
    Function_Flags = 58,                // u16
    Serial2_Baud_Rate = 60,             // u32
    Serial2_Data_Bits = 64,             // u16
    Serial2_Parity = 66,                // u16
    Serial2_Stop_Bits = 68,             // u32
    Request_Count = 72,                 // u32
    Request_Table_Address = 76,         // u32
    Station_Name = 80,                  // 16 bytes
    Device_Variant = 96,                // u8
    Serial_Mode = 97,                   // u8
    Reserved_98 = 98,                   // u8, zeroed by the family readers
    Option_Flags = 99,                  // u8
    User_Port = 104,                    // u16
    CAN_Frame_Count = 112,              // u32
    NB_In = 116,                        // u32
    NB_Out = 120,                       // u32
    DNet_Node_Count = 124,              // u32
    DNet_Master_ID = 128,               // u8
    Profibus_Address = 129,             // u8
    Cancel_Data_Value = 131,            // u8
    DNet_In_Map_Count = 136,            // u32
    DNet_Out_Map_Count = 140,           // u32
    PGN_Rx_Count = 144,                 // u32
    PGN_Tx_Count = 148,                 // u32
    PGN_Flags = 152,                    // u32
    CANopen_Node_ID = 0x9C,             // u32
    CANopen_Flags = 160,                // u32
    CANopen_Delay_ms = 164,             // u32
    CANopen_SDO_Timeout = 168,          // u32
    CANopen_Counts = 172,               // 6 x u32
    Request_Table_Address_2 = 196,      // u32
    PGN_Table_Addresses = 204,          // 2 x u32
    DNet_Section_Addresses = 212,       // 3 x u32
    CANopen_Table_Addresses = 224,      // 6 x u32
    Diagnostic_Address = 300,           // u32
    IP_Address_2 = 304,                 // 4 bytes, the second network port
    Subnet_Mask_2 = 308,                // 4 bytes
    Gateway_2 = 312,                    // 4 bytes
    SNMP_Kind = 356,                    // u32
    CANopen_Sync_Time = 360,            // u32
    Trap_Read_Count = 416,              // u32
    Trap_Write_Count = 420,             // u32
    Trap_Read_Address = 424,            // u32
    Trap_Write_Address = 0x1AC,         // u32
    SNMP_Flags = 432,                   // u32
    Command_Address = 436,              // u32
    SNMP_Station_Name = 440,            // 16 bytes
    Contact_Text = 456,                 // 16 bytes
    Location_Text = 472,                // 16 bytes
    V3_User = 488,                      // 20 bytes
    V3_Auth_Password = 508,             // 16 bytes
    V3_Priv_Password = 524,             // 16 bytes
    Restart_Node_Bits = 540,            // 16 bytes
    Node_Guard_Count = 556,             // u32
    Node_Guard_Address = 560,           // u32
    Triggered_SDO_Input_Address = 580,  // u32
    Triggered_SDO_Output_Address = 584, // u32
    Heartbeat_Time = 668,               // u16
    Modbus_Polls_Address = 672,         // u32
};
}  // namespace MB

// Size of every parameter block in the image, and where its byte sum lies.
constexpr std::size_t Param_Block_Size = 2048;
constexpr std::size_t Block_Checksum_Offset = 2044;

class TMain_Param_Block {
public:
    // Bytes 0..675 of the image. Tail_Array and Tail_Word (image bytes
    // 1912..2043) are zero in every image and are not kept.
    static constexpr std::size_t Member_Size = 676;

    TLeBytes Bytes() { return TLeBytes(members_.data(), members_.size(), "Main_Param_Block"); }
    const Byte* Data() const { return members_.data(); }

private:
    std::array<Byte, Member_Size> members_{};
};

// Every member to its default: +0 125000, +12 9600, +16 8, +52 10000,
// +54 10001, +56 10001, +60 9600, +64 8, +131 255, everything else 0.
void Init_Main_Param_Block(TMain_Param_Block& block);

// Writes the 2048-byte image at dst[pos] (byte sum of 0..2043 in 2044..2047)
// and returns pos + 2048. Raises EImageError when dst has no room.
std::size_t Save_Main_Param_Block(const TMain_Param_Block& block, std::size_t pos, TLeBytes dst);

#pragma once
// Images of the Modbus RTU master models: 4, 25 and 2004 (PROFINET / Modbus
// RTU master) and 18, 30 and 1018 (Modbus RTU master with an SNMP agent).
// The requests of "ModbusM_SetAccess.xml" become 32-byte entries, read rows
// first, then write rows (at most 1024 together).
//
//  4, 2004:  A = main block, requests at 2048 (bank.bin); B = second-processor
//            block (bank1.bin); C = the requests again (bank2.bin, 0 bytes
//            without requests).
//  25:       A = main block, requests at 2048.
//  18, 1018: A = SNMP trap section, main block at 0x6000, requests at 0x6800;
//            B = second-processor block; C = trap section, requests at 0x6000.
//  30:       A as for 18.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"
#include "image/TableFile.h"

#include <functional>

#include <vector>

// One Modbus request as the converter holds it (32 bytes, little-endian).
// The TCP master's entry carries its peer's port and address in the bytes
// that the RTU entry keeps zero.
struct TModbus_Request {
    Word Position = 0;
    Word Start_Bit = 0;
    Cardinal Poll_Time = 0;
    Byte Slave_Address = 0;
    Byte Function_Code = 0;
    Word Start_Address = 0;
    Word Point_Count = 0;
    Word TCP_Port = 0;      // TCP only
    Cardinal IP_Address = 0;  // TCP only: a.b.c.d as a*2^24 + b*2^16 + c*2^8 + d
    Cardinal Error_Limit = 0;
    Byte SNMP_Data_Type = 0;
    Byte Byte_Count = 0;
    Byte Flags = 0;
};
constexpr std::size_t Modbus_Request_Size = 32;

// TModbus_Request.Flags bits.
enum : Byte {
    Request_Flag_On_Change = 0x01,
    Request_Flag_Swap = 0x04,
    Request_Flag_Swap_Word = 0x08,
};

// Function codes.
enum : Byte {
    Modbus_Read_Coils = 1,
    Modbus_Read_Inputs = 2,
    Modbus_Read_Holding_Registers = 3,
    Modbus_Read_Input_Registers = 4,
    Modbus_Write_Coil = 5,
    Modbus_Write_Register = 6,
    Modbus_Write_Coils = 15,
    Modbus_Write_Registers = 16,
};

// Functions 1, 2, 5 and 15 address bits; the others registers.
bool Is_Bit_Function(Byte functionCode);

// The data bytes a request moves: a bit request (functions 1, 2, 5, 15)
// (points + 7) div 8; any other twice the low 8 bits of the point count,
// kept to 8 bits.
Byte Modbus_Byte_Count(Byte functionCode, Word pointCount);

// Writes the entries at dst[pos] and returns pos + 32 per entry.
std::size_t Save_Modbus_Master_Table(const std::vector<TModbus_Request>& requests, std::size_t pos, TLeBytes dst);

// The trap section of the Modbus SNMP models (16 to 19, 30, 1018): read from
// "SNMP_Trap.xml" only with the variable map (SNMP_Map_Type 1); with the
// fixed map the section stays empty and main +416/+420 are 0. cpu2 for the
// models that keep the descriptor there too (18, 1018).
void Read_Modbus_SNMP_Trap(TDeviceImage& image, const TImageSources& sources, TCPU2_Param_Block* cpu2);

// The rows of a request file's "Modbus_Read", then of its "Modbus_Write",
// each turned into a request by readRow(row, write); none when the file does
// not exist. More than limit requests together refuse the build. Sets main
// +72 and CPU2 +72 to the number of requests.
using TRequest_Reader = std::function<TModbus_Request(const TTableRow& row, bool write)>;
std::vector<TModbus_Request> Read_Modbus_Request_File(TDeviceImage& image, const String& path, std::size_t limit,
                                                      const TRequest_Reader& readRow);

void Read_ParGen_Modbus_Master(TDeviceImage& image, const TParGenImage* pg);
// The requests of path (none when it does not exist); sets main +72 and CPU2 +72.
std::vector<TModbus_Request> Read_ModbusM_SetAccess(TDeviceImage& image, const String& path);
void Build_Image_Modbus_Master(TDeviceImage& image, const TImageSources& sources);

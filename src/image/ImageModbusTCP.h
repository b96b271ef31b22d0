#pragma once
// Images of the Modbus TCP families.
//
//  Master 11 (PROFINET / Modbus TCP master): A = main block (bank1.bin, 2048
//  bytes); B = the request table, always all 960 entries (bank2.bin, 0x7800
//  bytes); C = second-processor block (bank3.bin).
//  Master 19 (with an SNMP agent): A = SNMP trap section, main block at
//  0x6000, the whole table at 0x6800 (bank.bin, always 0xE000 bytes).
//  Slave 12 (PROFINET / Modbus TCP slave) and 17 (with an SNMP agent): A =
//  main block, model 17 then the trap section at 2048 (bank.bin); C =
//  second-processor block (bank1.bin).
//
// The request entries are those of the RTU master (image/ImageModbusMaster.h)
// with the peer's TCP port and IPv4 address.

#include "image/DeviceImage.h"
#include "image/ImageModbusMaster.h"
#include "image/ParGenImage.h"

#include <vector>

constexpr std::size_t Modbus_TCP_Table_Entries = 960;

void Read_ParGen_Modbus_TCP_Master(TDeviceImage& image, const TParGenImage* pg);
// The requests of path (none when it does not exist); sets main +72 and CPU2 +72.
std::vector<TModbus_Request> Read_ModbusTCPM_SetAccess(TDeviceImage& image, const String& path);
// All 960 entries at dst[pos], unused ones zero; returns pos + 0x7800.
std::size_t Save_Modbus_TCP_Master_Table(const std::vector<TModbus_Request>& requests, std::size_t pos, TLeBytes dst);
void Build_Image_Modbus_TCP_Master(TDeviceImage& image, const TImageSources& sources);

void Read_ParGen_Modbus_TCP_Slave(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_Modbus_TCP_Slave(TDeviceImage& image, const TImageSources& sources);

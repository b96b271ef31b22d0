#pragma once
// Images of the two families whose image is the main block alone:
//
//  Modbus RTU slave 5, 26 (PROFINET / Modbus RTU slave) and 16 (with an SNMP
//  agent): A = main block (bank.bin); model 16 then the SNMP trap section at
//  2048, whatever the map type (0x6800 bytes).
//  DeviceNet slave 2 (PROFINET / DeviceNet slave): A = main block, of which
//  the writer takes exactly 2048 bytes.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

void Read_ParGen_Modbus_Slave(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_Modbus_Slave(TDeviceImage& image, const TImageSources& sources);

void Read_ParGen_DeviceNet_Slave(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_DeviceNet_Slave(TDeviceImage& image, const TImageSources& sources);

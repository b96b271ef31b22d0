#pragma once
// Images of the EtherNet/IP models 13 (PROFINET / EtherNet/IP) and 35 (SNMP
// agent / EtherNet/IP slave, whose parameters and SNMP maps go to the second
// processor) and of the SNMP agent model 20 (PROFINET slave / SNMP agent).
//
//  13, 35: Bank_Image_A = main block (bank.bin, 2048 bytes), Bank_Image_B =
//          second-processor block (bank1.bin), model 35 also Bank_Image_C =
//          SNMP trap section (bank2.bin, 0x6000 bytes).
//  20:     Bank_Image_A = main block, then the SNMP trap section (bank.bin).

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

void Read_ParGen_EtherNetIP(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_EtherNetIP(TDeviceImage& image, const TImageSources& sources);

void Read_ParGen_SNMP_Agent(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_SNMP_Agent(TDeviceImage& image, const TImageSources& sources);

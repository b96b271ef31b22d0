#pragma once
// What the CAN-side families (CAN, CANopen, J1939, NMEA 2000) read and preset
// alike: the fixed values of the main block set before "ParGen.xml" is read,
// the PROFINET address set and the bus baud-rate list.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

#include <cstddef>

// The presets of the main block: +58 := 0, +96 := variant, +97 := 0,
// +98 := 0, +99 := options, +52 := applicationPort; with toCPU2, +96, +97,
// +99 and +52 go to the same offsets of the second-processor block too.
void Put_Family_Presets(TDeviceImage& image, Byte variant, Byte options, Word applicationPort, bool toCPU2);

// "PROFINET_IP1".."PROFINET_GAT4" with "PROFINET_EN_GAT" into main +40..+51,
// and with toCPU2 into CPU2 +40..+51.
void Put_Profinet_Address(TDeviceImage& image, const TParGenImage& pg, bool toCPU2);

// The bus rates of CANopen, J1939 and NMEA 2000 (CAN has one more, 62500).
extern const Cardinal CAN_Bus_Rates_9[9];

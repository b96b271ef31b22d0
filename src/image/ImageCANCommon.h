#pragma once
// What the CAN-side families (CAN, CANopen, J1939, NMEA 2000) read and preset
// alike: the fixed values of the main block set before "ParGen.xml" is read,
// the PROFINET address set, the bus baud-rate lists and the SNMP agent texts.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

#include <cstddef>
#include <span>

// Station names fill 15 characters of their 16-byte field; the SNMP contact
// and location texts fill their whole field.
constexpr std::size_t Station_Field = 16, Station_Chars = 15;
constexpr std::size_t SNMP_Text_Field = 16, SNMP_Text_Chars = 16;

// The presets of the main block: +58 := 0, +96 := variant, +97 := 0,
// +98 := 0, +99 := options, +52 := applicationPort; with toCPU2, +96, +97,
// +99 and +52 go to the same offsets of the second-processor block too.
void Put_Family_Presets(TDeviceImage& image, Byte variant, Byte options, Word applicationPort, bool toCPU2);

// value into the main block at mainOffset and the second-processor block at cpu2Offset.
void Put_U32_Both(TDeviceImage& image, std::size_t mainOffset, std::size_t cpu2Offset, Cardinal value);

// "PROFINET_IP1".."PROFINET_GAT4" with "PROFINET_EN_GAT" into main +40..+51,
// and with toCPU2 into CPU2 +40..+51.
void Put_Profinet_Address(TDeviceImage& image, const TParGenImage& pg, bool toCPU2);

// The bit rate of a list index: the entry at the key's index, otherValue for
// a number outside the list, and the entry at defaultIndex for a missing key
// or a text that is no number.
Cardinal Read_Baud_Rate(const TParGenImage& pg, const char16_t* key, std::span<const Cardinal> rates,
                        std::size_t defaultIndex, Cardinal otherValue);

// The bus rates of CANopen, J1939 and NMEA 2000 (CAN has one more, 62500).
extern const Cardinal CAN_Bus_Rates_9[9];

// "SNMP_Contact" to main +456 and "SNMP_Location" to main +472, the main block only.
void Put_SNMP_Texts(TDeviceImage& image, const TParGenImage& pg);

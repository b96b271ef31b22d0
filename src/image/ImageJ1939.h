#pragma once
// Images of the J1939 models 6 and 14 (PROFINET / J1939) and 32 (J1939 with
// an SNMP agent) and of the NMEA 2000 models 7 and 28: the main block and the
// receive and transmit parameter-group tables, which both families share;
// model 32 also the SNMP trap section.
//
//  6:      bank1.bin = main block, bank2.bin = both tables (0x8000), bank3.bin = CPU2 block.
//  14:     bank1.bin = main block, bank2.bin = both tables.
//  32:     bank1.bin = main block + trap section (0x6800), bank2.bin = both tables.
//  7, 28:  bank1.bin = the 2048 bytes of the main block, bank2.bin = both tables.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

#include <cstddef>
#include <vector>

constexpr std::size_t PGN_Entry_Size = 32;
constexpr std::size_t PGN_Table_Entries = 512;  // per direction
constexpr std::size_t PGN_Tables_Size = 2 * PGN_Table_Entries * PGN_Entry_Size;

// Both tables as the image holds them (receive first) and what one build
// reads besides them.
struct TPGN_Tables {
    std::vector<Byte> Entries = std::vector<Byte>(PGN_Tables_Size);
    // "J1939_TIMEOUT" or "NMEA2000_TIMEOUT" x 1000: the cancel time-out of
    // receive rows marked "Delete"; 0 without "ParGen.xml".
    Cardinal PGN_Cancel_Timeout = 0;
};

// Receive entries: bytes 0..11 FF, the rest 0; transmit entries the same with byte 30 = 1.
void Clear_PGN_Tables(TPGN_Tables& tables);
void Read_ParGen_J1939(TDeviceImage& image, const TParGenImage* pg, TPGN_Tables& tables);
void Read_ParGen_NMEA2000(TDeviceImage& image, const TParGenImage* pg, TPGN_Tables& tables);
void Read_J1939_Frames(TDeviceImage& image, const TImageSources& sources, TPGN_Tables& tables);
void Read_NMEA_Frames(TDeviceImage& image, const TImageSources& sources, TPGN_Tables& tables);
std::size_t Save_PGN_Tables(const TPGN_Tables& tables, std::size_t pos, TLeBytes dst);
void Build_Image_J1939(TDeviceImage& image, const TImageSources& sources);
void Build_Image_NMEA2000(TDeviceImage& image, const TImageSources& sources);

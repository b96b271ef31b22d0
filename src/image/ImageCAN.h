#pragma once
// Images of the CAN models 0 and 27 (PROFINET / CAN) and 15 and 34 (CAN with
// an SNMP agent): the main block, the CAN frame table of the four CAN files
// and, for 15 and 34, the SNMP trap section.
//
//  0:      bank1.bin = main block, bank2.bin = frame table, bank3.bin = CPU2 block.
//  27:     bank1.bin = main block, bank2.bin = frame table.
//  15, 34: bank1.bin = main block and trap section (0x6800), bank2.bin = frame table.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

#include <array>
#include <vector>

constexpr std::size_t CAN_Frame_Entry_Size = 32;
constexpr std::size_t CAN_Frame_Table_Entries = 1024;  // receive and send frames together

// One frame the converter receives or sends, with the PROFINET position of
// each of its data bytes (-1: not mapped).
struct TCAN_Frame_Entry {
    Cardinal Identifier = 0;  // bit 31: a 29-bit identifier
    Cardinal Send_Period = 0;
    Cardinal Receive_Timeout = 0;
    Byte Direction = 0;  // 0 receive, 1 send
    Byte Data_Length = 0;
    std::array<SmallInt, 8> Byte_Map{-1, -1, -1, -1, -1, -1, -1, -1};
};

// The frames of one build, receive frames first.
using TCAN_Frame_Table = std::vector<TCAN_Frame_Entry>;

void Read_ParGen_CAN(TDeviceImage& image, const TParGenImage* pg);
// Reads the four CAN files into the table and sets CAN_Frame_Count in both blocks.
void Read_CAN_Frames(TDeviceImage& image, const TImageSources& sources, TCAN_Frame_Table& table);
// The entries, 32 bytes each, into Bank_Image_B from 0.
void Save_CAN_Frame_Table(TDeviceImage& image, const TCAN_Frame_Table& table);
void Build_Image_CAN(TDeviceImage& image, const TImageSources& sources);

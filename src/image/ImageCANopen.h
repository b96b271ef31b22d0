#pragma once
// Images of the CANopen models 8 and 24 (PROFINET / CANopen) and 33 (CANopen
// with an SNMP agent): the main block, the six item tables of the SDO server,
// SDO client and PDO files, and for 8 and 33 the node-guarding table and the
// restart bits; model 33 also the SNMP trap section.
//
//  8:  bank1.bin = main block + node guarding (2560), bank2.bin = six tables
//      (0xE000), bank3.bin = CPU2 block, bank4.bin = six tables + node guarding (0xE200).
//  24: bank1.bin = main block, bank2.bin = six tables.
//  33: bank1.bin = main block + node guarding + trap section (0x6A00), bank2.bin = six tables.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

#include <array>
#include <cstddef>
#include <vector>

constexpr std::size_t CANopen_Entry_Size = 32;
constexpr std::size_t CANopen_Tables_Size = 0xE000;  // 1792 entries, always written whole
constexpr std::size_t Node_Guard_Entries = 128;
constexpr std::size_t Node_Guard_Section_Size = Node_Guard_Entries * 4;

// The six tables as the image holds them (SDO server read and write, SDO
// client read and write, receive and transmit PDOs, in this order), the
// node-guarding entries, and what each table holds.
struct TCANopen_Tables {
    std::vector<Byte> Items = std::vector<Byte>(CANopen_Tables_Size);
    std::array<Cardinal, 6> Counts{};
    std::vector<Byte> Node_Guard = std::vector<Byte>(Node_Guard_Section_Size);
    Cardinal Node_Guard_Count = 0;
};

// Every item entry cleared (bytes 12..27 FF, the rest 0), every count 0, node guarding 0.
void Clear_CANopen_Tables(TCANopen_Tables& tables);
void Read_ParGen_CANopen(TDeviceImage& image, const TParGenImage* pg);
// The five CANopen files into the tables, the counts (both blocks), and for
// models 8 and 33 the node-guarding table and the restart bits.
void Read_CANopen_Tables(TDeviceImage& image, const TImageSources& sources, TCANopen_Tables& tables);
std::size_t Save_CANopen_Tables(const TCANopen_Tables& tables, std::size_t pos, TLeBytes dst);
std::size_t Save_Node_Guard_Table(const TCANopen_Tables& tables, std::size_t pos, TLeBytes dst);
void Build_Image_CANopen(TDeviceImage& image, const TImageSources& sources);

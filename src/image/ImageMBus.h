#pragma once
// Images of the M-Bus models 10 (PROFINET / M-Bus) and 21 (M-Bus master /
// SNMP agent). They use two parameter blocks of their own and a binary
// description of the meter network of "M_Bus.xml":
//
//  MBus_Image_Bank  ("bank.bin"):  MBus_Head_Block, 0xC0 at 2048, the network image from 2049
//  MBus_Image_Bank1 ("bank1.bin"): MBus_Bank1_Block
//  MBus_Image_Bank2 ("bank2.bin"): 0xC0, the network image from 1
//  MBus_Image_Bank3 ("bank3.bin"): model 21: the SNMP trap section or the
//                                  fixed-map trap table; model 10: empty
//
// Every position inside a network image counts from the start of its own
// file, so the two copies differ only in those positions: the two
// processors hold the image at the same flash address.
//
// The builder reads "ParGen.xml" and "M_Bus.xml" once and refuses (raising
// EImageError, naming the key, or the node and variable) a "ParGen.xml"
// without a whole number in "Meter_Baud", "Meter_Par" or "Meter_Req_Delay",
// a variable without a whole number in "Type", "Fun_Field" or "Dim", a
// malformed "M_Bus.xml", and a network that outgrows the converter: its
// image beyond the buffer, more than 255 meters, more than 2048 fixed-map
// trap entries or a process-image offset beyond 65535.

#include "image/DeviceImage.h"
#include "image/LeWriter.h"
#include "image/ParGenImage.h"
#include "image/SNMPTrap.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// Member offsets of MBus_Head_Block (widths in the comments).
enum : std::size_t {
    MH_Bus_Baud_Rate = 0,        // u32
    MH_Meter_Baud_Rate = 12,     // u32, the M-Bus speed in bit/s
    MH_Data_Bits = 16,           // u16
    MH_Meter_Parity = 18,        // u16, 0 none, 2 even, 3 odd
    MH_IP_Address = 40,          // 4 bytes, first dotted number first
    MH_Subnet_Mask = 44,         // 4 bytes
    MH_Gateway = 48,             // 4 bytes
    MH_Application_Port = 52,    // u16
    MH_Aux_Port_1 = 54,          // u16
    MH_Aux_Port_2 = 56,          // u16
    MH_Function_Flags = 58,      // u16, 224 model 21, 192 model 10
    MH_Meter_Baud_Rate_2 = 60,   // u32
    MH_Data_Bits_2 = 64,         // u16
    MH_Meter_Parity_2 = 66,      // u16
    MH_Station_Name = 80,        // 16 bytes
    MH_Device_Variant = 96,      // u8, as +58
    MH_NB_In = 116,              // u32
    MH_NB_Out = 120,             // u32, the size of the process data
    MH_Aux_Int_Size = 324,       // u32, model 21: bytes of the auxiliary integer
};

// Member offsets of MBus_Bank1_Block (widths in the comments).
enum : std::size_t {
    M1_Bus_Baud_Rate = 0,          // u32
    M1_Bus_Baud_Rate_2 = 4,        // u32
    M1_Serial_Baud_Rate = 8,       // u32
    M1_IP_Address = 40,            // 4 bytes
    M1_Subnet_Mask = 44,           // 4 bytes
    M1_Gateway = 48,               // 4 bytes
    M1_Application_Port = 52,      // u16
    M1_Aux_Port_1 = 54,            // u16
    M1_Aux_Port_2 = 56,            // u16
    M1_Device_Variant = 59,        // u8, 224 model 21, 192 model 10
    M1_Serial2_Baud_Rate = 60,     // u32
    M1_Second_Address = 72,        // 4 bytes
    M1_Station_Name = 344,         // 16 bytes
    M1_NB_In = 360,                // u32
    M1_NB_Out = 364,               // u32, the size of the process data
    M1_Meter_Baud_Rate = 508,      // u32
    M1_Port_Settings = 520,        // 20 bytes
    M1_Meter_Parity = 523,         // u8
    M1_Fixed_570 = 570,            // u8, a fixed value the converter expects
    M1_Fixed_590 = 590,            // u8, a fixed value the converter expects
    M1_Fixed_596 = 596,            // u32, a flash address the converter expects (0x68800)
    M1_Fixed_600 = 600,            // u32, a fixed value the converter expects
    M1_Trap_Read_Count = 760,      // u32
    M1_Trap_Write_Count = 764,     // u32
    M1_Trap_Read_Address = 768,    // u32
    M1_Trap_Write_Address = 772,   // u32
    M1_SNMP_Flags = 776,           // u32
    M1_V3_User = 780,              // 20 bytes
    M1_V3_Auth_Password = 800,     // 16 bytes
    M1_V3_Priv_Password = 816,     // 16 bytes
    M1_Contact_Text = 832,         // 16 bytes
    M1_Location_Text = 848,        // 16 bytes
    M1_Map_Type = 876,             // u8, 1: the variable SNMP map
};

template <std::size_t Size>
class TMBus_Block {
public:
    static constexpr std::size_t Member_Size = Size;
    explicit TMBus_Block(const char* name) : name_(name) {}
    TLeBytes Bytes() { return TLeBytes(record_.data(), record_.size(), name_); }
    const Byte* Data() const { return record_.data(); }

private:
    const char* name_;
    std::array<Byte, Size> record_{};
};

struct TMBus_Head_Block : TMBus_Block<348> {
    TMBus_Head_Block() : TMBus_Block("MBus_Head_Block") {}
};
struct TMBus_Bank1_Block : TMBus_Block<880> {
    TMBus_Bank1_Block() : TMBus_Block("MBus_Bank1_Block") {}
};

void Init_MBus_Bank_Head(TMBus_Head_Block& block, int model);
void Init_MBus_Bank1_Block(TMBus_Bank1_Block& block, int model);
// A block's members, zeros to 2043 and the byte sum of 0..2043, at dst[pos];
// returns pos + 2048.
std::size_t Save_MBus_Bank_Head(const TMBus_Head_Block& block, std::size_t pos, TLeBytes dst);
std::size_t Save_MBus_Bank1_Block(const TMBus_Bank1_Block& block, std::size_t pos, TLeBytes dst);

// The image builder's working records of the network: only the nodes and
// variables that go into the image, with their process-image places.
namespace USaveBincc {

// The SNMP settings of one value of the fixed map (model 21).
struct TTrap_Settings {
    bool On_Timer = false;
    Cardinal Timer = 0;
    std::optional<String> Community_Name, Description;
    String IP_Address;
};

struct TVariabile {
    Byte Type_Of_Data = 0;
    Byte Function_Field = 0;  // in M-Bus coding: the file's 1 and 2 exchanged
    int Dimension = 0;        // the file's Dim
    Byte Unita = 0;
    bool Scale = false;
    Cardinal Storage_Num = 0;
    Cardinal Tarif = 0;
    Byte VIFE = 0;
    Byte Options = 0;
    Byte Length = 0;
    String VIF_ASCII;          // only for type 21
    Byte Position = 1;
    Byte Post_Ope = 0;
    int Add = 0, Add_End = 0;  // process-image offset of the value and just behind it
    TTrap_Settings Trap;
};

// The process-image places of a node's values.
struct TAdd_Nodo {
    int Add_NS = 0, Add_IN = 0, Add_Start_Var = 0;
};

struct TNodo {
    int File_Index = 0;  // its place among the root's children, from 1, for messages
    Cardinal ID = 1;
    Byte ID_Type = 0;
    Byte SND_NKE = 0, Reset_App = 0, Node_State = 0, Ident_Num = 0, BCDtoINT_IN = 0, Swap_IN = 0;
    Byte Var_Type = 0;
    Byte Cut_After = 250;  // frames to read
    TAdd_Nodo Add;
    TTrap_Settings NS_Trap, IN_Trap;
    std::vector<TVariabile> Vars;
};

}  // namespace USaveBincc

// Option bits of a variable entry.
enum : Byte {
    MBus_Option_BCDtoINT = 0x01,
    MBus_Option_SWAP = 0x02,
    MBus_Option_TP_Mod_Regs = 0x04,
    MBus_Option_ForceInteger32 = 0x08,
    MBus_Option_Conv_Float = 0x10,
};

constexpr int MBus_Trap_Table_Entries = 2048;

// Everything one build reads from the two files.
struct TMBus_Project {
    int Model = 10;
    int Map_Type = 0;      // MBus_Map_Type: 1 the variable SNMP map
    int Working_Mode = 0;  // MBus_Working_Mode: 1 every node's values start at 4
    std::vector<USaveBincc::TNodo> Nodes;
    std::vector<Byte> Stream;  // the parameter stream behind the VIF texts
};

// Reads "ParGen.xml" (nullptr: none) and "M_Bus.xml" at path (none when
// missing) for the model, giving every value its process-image place.
TMBus_Project Read_MBus_Project(int model, const TParGenImage* pg, const String& mbusPath);
// The block fields that "ParGen.xml" sets (none without it).
void Fill_MBus_Blocks(const TMBus_Project& project, const TParGenImage* pg, TMBus_Head_Block& head,
                      TMBus_Bank1_Block& bank1);
// Bytes of the network image, parameter stream included.
std::size_t MBus_Network_Size(const TMBus_Project& project);
// Lays the network image at dst[base], every position counted from the
// start of dst; returns the position behind it.
std::size_t Lay_MBus_Network(const TMBus_Project& project, std::size_t base, TLeBytes dst);
// The fixed-map trap entries (model 21, map type 0), in process-image order.
std::vector<TSNMP_Trap_Entry> Build_MBus_Trap_Table(const TMBus_Project& project);
std::size_t Save_MBus_Trap_Table(const std::vector<TSNMP_Trap_Entry>& table, std::size_t pos, TLeBytes dst);

void Build_Image_MBus(TDeviceImage& image, const TImageSources& sources);

#pragma once
// What one image build works on: the project files it reads, the parameter
// blocks, the SNMP trap tables and the bank buffers it fills. A build starts
// from a fresh TDeviceImage, so nothing of one project's build can reach the
// next one's images.

#include "image/CPU2ParamBlock.h"
#include "image/LeWriter.h"
#include "image/MainParamBlock.h"
#include "image/SNMPTrap.h"

#include <cstddef>
#include <vector>

// The files an image build reads; Path_* strings empty when the model does not use them.
struct TImageSources {
    int Model_Code = 0;
    String Project_Dir;
    String Path_ParGen;
    String Path_SNMP_Trap;
    String Path_M_Bus;
    String Path_ModbusM_SetAccess;
    String Path_ModbusTCPM_SetAccess;
    String Path_DNETM_Net;
    String Path_DNETM_DefOff;
    String Path_CAN_Rec_Frames;
    String Path_CAN_Rec_Info;
    String Path_CAN_Send_Frames;
    String Path_CAN_Send_Info;
    String Path_SDO_Server_CANopen;
    String Path_SDO_Client_CANopen;
    String Path_PDO_CANopen;
    String Path_NodeGuard;
    String Path_ReStart_CANopen;
    String Path_J1939_Rec_Frames;
    String Path_J1939_Send_Frames;
    String Path_NMEA_Rec_Frames;
    String Path_NMEA_Send_Frames;
    String Path_DMX_Default_Values;

    // The open project of the shell: Model_Code, Project_Dir and the Path_* strings.
    static TImageSources From_Globals();
};

// One bank buffer: a fixed capacity (what the largest image of every family
// needs) and the length laid into it by the build. Its memory is taken on
// first use, so a build pays only for the buffers its model fills.
class TBankBuffer {
public:
    TBankBuffer(const char* name, std::size_t capacity) : name_(name), capacity_(capacity) {}
    TLeBytes Bytes();
    const Byte* Data() const { return data_.data(); }
    std::size_t Capacity() const { return capacity_; }
    const char* Name() const { return name_; }
    std::size_t Len = 0;  // bytes laid in by the current build

private:
    const char* name_;
    std::size_t capacity_;
    std::vector<Byte> data_;
};

// The buffers of the bank files (capacities of the converter's largest images).
enum class TBank { A, B, C, D, Profibus_Block, MBus_Bank, MBus_Bank1, MBus_Bank2, MBus_Bank3 };

struct TDeviceImage {
    int Model_Code = 0;
    TMain_Param_Block Main_Param_Block;
    TCPU2_Param_Block CPU2_Param_Block;
    TSNMP_Trap_Tables SNMP_Trap;
    int SNMP_Map_Type = 0;  // 1: the variable map of "SNMP_Trap.xml" is used

    TBankBuffer Bank_Image_A{"Bank_Image_A", 0xE800};
    TBankBuffer Bank_Image_B{"Bank_Image_B", 0x20001};
    TBankBuffer Bank_Image_C{"Bank_Image_C", 0x20001};
    TBankBuffer Bank_Image_D{"Bank_Image_D", 0x20001};
    TBankBuffer Profibus_Block_Image{"Profibus_Block_Image", 2048};
    TBankBuffer MBus_Image_Bank{"MBus_Image_Bank", 200004};
    TBankBuffer MBus_Image_Bank1{"MBus_Image_Bank1", 2048};
    TBankBuffer MBus_Image_Bank2{"MBus_Image_Bank2", 200004};
    TBankBuffer MBus_Image_Bank3{"MBus_Image_Bank3", 400004};

    TBankBuffer& Buffer(TBank bank);
    const TBankBuffer& Buffer(TBank bank) const { return const_cast<TDeviceImage*>(this)->Buffer(bank); }
};

// value into the main block at mainOffset and the second-processor block at
// cpu2Offset: the two-processor models keep most values in both.
void Put_U32_Both(TDeviceImage& image, std::size_t mainOffset, std::size_t cpu2Offset, Cardinal value);

#include "image/DeviceImage.h"

#include "shell/Globals.h"

TImageSources TImageSources::From_Globals() {
    TImageSources s;
    s.Model_Code = ::Model_Code;
    s.Project_Dir = ::Project_Dir;
    s.Path_ParGen = ::Path_ParGen;
    s.Path_SNMP_Trap = ::Path_SNMP_Trap;
    s.Path_M_Bus = ::Path_M_Bus;
    s.Path_ModbusM_SetAccess = ::Path_ModbusM_SetAccess;
    s.Path_ModbusTCPM_SetAccess = ::Path_ModbusTCPM_SetAccess;
    s.Path_DNETM_Net = ::Path_DNETM_Net;
    s.Path_DNETM_DefOff = ::Path_DNETM_DefOff;
    s.Path_CAN_Rec_Frames = ::Path_CAN_Rec_Frames;
    s.Path_CAN_Rec_Info = ::Path_CAN_Rec_Info;
    s.Path_CAN_Send_Frames = ::Path_CAN_Send_Frames;
    s.Path_CAN_Send_Info = ::Path_CAN_Send_Info;
    s.Path_SDO_Server_CANopen = ::Path_SDO_Server_CANopen;
    s.Path_SDO_Client_CANopen = ::Path_SDO_Client_CANopen;
    s.Path_PDO_CANopen = ::Path_PDO_CANopen;
    s.Path_NodeGuard = ::Path_NodeGuard;
    s.Path_ReStart_CANopen = ::Path_ReStart_CANopen;
    s.Path_J1939_Rec_Frames = ::Path_J1939_Rec_Frames;
    s.Path_J1939_Send_Frames = ::Path_J1939_Send_Frames;
    s.Path_NMEA_Rec_Frames = ::Path_NMEA_Rec_Frames;
    s.Path_NMEA_Send_Frames = ::Path_NMEA_Send_Frames;
    s.Path_DMX_Default_Values = ::Path_DMX_Default_Values;
    return s;
}

TLeBytes TBankBuffer::Bytes() {
    if (data_.size() != capacity_) data_.assign(capacity_, 0);
    return TLeBytes(data_.data(), data_.size(), name_);
}

TBankBuffer& TDeviceImage::Buffer(TBank bank) {
    switch (bank) {
    case TBank::A: return Bank_Image_A;
    case TBank::B: return Bank_Image_B;
    case TBank::C: return Bank_Image_C;
    case TBank::D: return Bank_Image_D;
    case TBank::Profibus_Block: return Profibus_Block_Image;
    case TBank::MBus_Bank: return MBus_Image_Bank;
    case TBank::MBus_Bank1: return MBus_Image_Bank1;
    case TBank::MBus_Bank2: return MBus_Image_Bank2;
    case TBank::MBus_Bank3: return MBus_Image_Bank3;
    }
    return Bank_Image_A;
}

void Put_U32_Both(TDeviceImage& image, std::size_t mainOffset, std::size_t cpu2Offset, Cardinal value) {
    image.Main_Param_Block.Bytes().PutU32(mainOffset, value);
    image.CPU2_Param_Block.Bytes().PutU32(cpu2Offset, value);
}

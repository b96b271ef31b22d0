#include "image/ImageCANCommon.h"

#include "framework/SysUtils.h"

const Cardinal CAN_Bus_Rates_9[9] = {10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000};

void Put_Family_Presets(TDeviceImage& image, Byte variant, Byte options, Word applicationPort, bool toCPU2) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    mb.PutU16(MB::Function_Flags, 0);
    mb.PutU8(MB::Device_Variant, variant);
    mb.PutU8(MB::Serial_Mode, 0);
    mb.PutU8(MB::Reserved_98, 0);
    mb.PutU8(MB::Option_Flags, options);
    mb.PutU16(MB::Application_Port, applicationPort);
    if (!toCPU2) return;
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    cb.PutU8(C2_Device_Variant, variant);
    cb.PutU8(C2_Serial_Mode, 0);
    cb.PutU8(C2_Option_Flags, options);
    cb.PutU16(C2_Application_Port, applicationPort);
}

void Put_Profinet_Address(TDeviceImage& image, const TParGenImage& pg, bool toCPU2) {
    TAddressSet set = Read_Address_Set(pg, u"PROFINET_");
    Put_Address_Set(image.Main_Param_Block.Bytes(), MB::IP_Address, MB::Subnet_Mask, MB::Gateway, set);
    if (toCPU2) Put_Address_Set(image.CPU2_Param_Block.Bytes(), C2_IP_Address, C2_Subnet_Mask, C2_Gateway, set);
}

#include "image/CPU2ParamBlock.h"

void Init_CPU2_Param_Block(TCPU2_Param_Block& block) {
    static const Byte defaultAddress[] = {192, 168, 2, 205};
    static const Byte defaultMask[] = {255, 255, 255, 0};
    static const Byte defaultGateway[] = {255, 255, 255, 255};
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(C2_Bus_Baud_Rate, 250000);
    b.PutU32(C2_Bus_Baud_Rate_2, 250000);
    b.PutU32(C2_Serial_Baud_Rate, 9600);
    b.PutBytes(C2_IP_Address, defaultAddress, 4);
    b.PutBytes(C2_Subnet_Mask, defaultMask, 4);
    b.PutBytes(C2_Gateway, defaultGateway, 4);
    b.PutU16(C2_Application_Port, 10000);
    b.PutU16(C2_Aux_Port_1, 10001);
    b.PutU16(C2_Aux_Port_2, 10001);
    b.Fill(C2_Port_Data_Bits, 8, 8);
}

std::size_t Save_CPU2_Param_Block(TCPU2_Param_Block& block, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, Param_Block_Size, 0);  // refuses before anything changes when dst has no room
    block.Bytes().PutU32(C2_Block_Checksum, Byte_Sum(block.Data(), Block_Checksum_Offset));
    dst.PutBytes(pos, block.Data(), Param_Block_Size);
    return pos + Param_Block_Size;
}

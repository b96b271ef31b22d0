#include "image/MainParamBlock.h"

void Init_Main_Param_Block(TMain_Param_Block& block) {
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(MB::Bus_Baud_Rate, 125000);
    b.PutU32(MB::Serial_Baud_Rate, 9600);
    b.PutU16(MB::Serial_Data_Bits, 8);
    b.PutU16(MB::Application_Port, 10000);
    b.PutU16(MB::Aux_Port_1, 10001);
    b.PutU16(MB::Aux_Port_2, 10001);
    b.PutU32(MB::Serial2_Baud_Rate, 9600);
    b.PutU16(MB::Serial2_Data_Bits, 8);
    b.PutU8(MB::Cancel_Data_Value, 255);
}

std::size_t Save_Main_Param_Block(const TMain_Param_Block& block, std::size_t pos, TLeBytes dst) {
    // Room for the whole block first, so that a refused save leaves dst as it was.
    dst.Fill(pos, Param_Block_Size, 0);
    dst.PutBytes(pos, block.Data(), TMain_Param_Block::Member_Size);
    dst.PutU32(pos + Block_Checksum_Offset, Byte_Sum(block.Data(), TMain_Param_Block::Member_Size));
    return pos + Param_Block_Size;
}

#include "image/ImageEthernet.h"

namespace {

constexpr std::array<int, 4> Ethernet_Side_Address{192, 168, 0, 10};
constexpr int Ethernet_Default_Area = 1438;  // bytes of each PROFINET data area
constexpr int Serial_Default_Area = 500;
constexpr Word Ethernet_Default_Port = 10001;

// SERIAL_BAUDRATE index to bit/s; any other index gives 9600.
constexpr Cardinal Serial_Speeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int Serial_Default_Speed_Index = 7;

// SERIAL_SERIAL "0" (RS232) selects mode 9, anything else RS485 (8).
constexpr Byte Serial_Mode_RS485 = 8, Serial_Mode_RS232 = 9;
constexpr Byte Serial_Device_Variant = 2;

// The second processor's serial ports that carry the line.
constexpr std::size_t Serial_Ports[] = {0, 3, 4};

}  // namespace

void Init_Ethernet_Param_Block(TEthernet_Param_Block& block) {
    static const Byte defaultAddress[] = {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255};
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(EB_Bus_Baud_Rate, 250000);
    b.PutU32(EB_Serial_Baud_Rate, 9600);
    b.PutBytes(EB_IP_Address, defaultAddress, sizeof defaultAddress);
    b.PutU16(EB_Application_Port, 5000);
    b.PutU16(EB_TCP_Port, 10001);
    b.PutU16(EB_Aux_Port_2, 10001);
    b.PutU32(EB_Serial2_Baud_Rate, 9600);
}

void Read_ParGen_Ethernet(TEthernet_Param_Block& block, const TParGenImage* pg) {
    if (!pg) return;
    TLeBytes b = block.Bytes();
    Put_Address_Set(b, EB_IP_Address, EB_Subnet_Mask, EB_Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    Put_Station_Name(*pg, b, EB_Station_Name);
    b.PutU32(EB_NB_Out, static_cast<Cardinal>(pg->Number(u"PROFINET_NB_IN", Ethernet_Default_Area)));
    b.PutU32(EB_NB_In, static_cast<Cardinal>(pg->Number(u"PROFINET_NB_OUT", Ethernet_Default_Area)));
    // The Ethernet side's address takes its own default whether the octet is missing or no number.
    TAddressSet ethernet = Read_Address_Set(*pg, u"Ethernet_", Ethernet_Side_Address);
    ethernet.Address = pg->Octets(u"Ethernet_IP", Ethernet_Side_Address);
    Put_Address_Set(b, EB_IP_Address_2, EB_Subnet_Mask_2, EB_Gateway_2, ethernet);
    b.PutU16(EB_TCP_Port, static_cast<Cardinal>(pg->Number(u"Ethernet_TCP_Port", Ethernet_Default_Port)));
    b.PutU16(EB_UDP_Port, static_cast<Cardinal>(pg->Number(u"Ethernet_UDP_Port", Ethernet_Default_Port)));
}

std::size_t Save_Ethernet_Param_Block(TEthernet_Param_Block& block, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, Param_Block_Size, 0);  // refuses before anything changes when dst has no room
    block.Bytes().PutU32(EB_Block_Checksum, Byte_Sum(block.Data(), Block_Checksum_Offset));
    dst.PutBytes(pos, block.Data(), Param_Block_Size);
    return pos + Param_Block_Size;
}

void Build_Image_Ethernet(TDeviceImage& image, const TImageSources& sources) {
    TEthernet_Param_Block block;
    Init_Ethernet_Param_Block(block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Ethernet(block, pg ? &*pg : nullptr);
    image.Bank_Image_A.Len = Save_Ethernet_Param_Block(block, 0, image.Bank_Image_A.Bytes());
}

void Read_ParGen_Serial(TDeviceImage& image, const TParGenImage* pg) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    mb.PutU16(MB::Function_Flags, 0);
    mb.PutU8(MB::Device_Variant, Serial_Device_Variant);
    mb.PutU8(MB::Serial_Mode, Serial_Mode_RS485);
    mb.PutU8(MB::Reserved_98, 0);
    mb.PutU8(MB::Option_Flags, 0);
    cb.PutU8(C2_Device_Variant, Serial_Device_Variant);
    cb.PutU8(C2_Serial_Mode, Serial_Mode_RS485);
    cb.PutU8(C2_Option_Flags, 0);
    cb.PutU16(C2_Application_Port, mb.GetU16(MB::Application_Port));
    if (!pg) return;

    TAddressSet profinet = Read_Address_Set(*pg, u"PROFINET_");
    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, profinet);
    Put_Address_Set(cb, C2_IP_Address, C2_Subnet_Mask, C2_Gateway, profinet);
    Put_Station_Name(*pg, mb, MB::Station_Name);
    Put_Station_Name(*pg, cb, C2_Station_Name);
    Cardinal in = static_cast<Cardinal>(pg->Number(u"PROFINET_NB_IN", Serial_Default_Area));
    Cardinal out = static_cast<Cardinal>(pg->Number(u"PROFINET_NB_OUT", Serial_Default_Area));
    mb.PutU32(MB::NB_In, in);
    cb.PutU32(C2_NB_In, in);
    mb.PutU32(MB::NB_Out, out);
    cb.PutU32(C2_NB_Out, out);

    std::optional<String> serial = pg->Raw(u"SERIAL_SERIAL");
    Byte mode = serial && *serial == u"0" ? Serial_Mode_RS232 : Serial_Mode_RS485;
    mb.PutU8(MB::Serial_Mode, mode);
    cb.PutU8(C2_Serial_Mode, mode);

    Cardinal speed = Read_List_Choice(*pg, u"SERIAL_BAUDRATE", Serial_Speeds, Serial_Default_Speed_Index, 9600);
    Cardinal parity = static_cast<Cardinal>(pg->Number(u"SERIAL_PARITY", 0));
    Cardinal dataBits = pg->Number(u"SERIAL_DATABITS", 0) == 1 ? 7 : 8;
    mb.PutU32(MB::Serial_Baud_Rate, speed);
    mb.PutU32(MB::Serial2_Baud_Rate, speed);
    mb.PutU16(MB::Serial_Parity, parity);
    mb.PutU16(MB::Serial2_Parity, parity);
    mb.PutU16(MB::Serial_Data_Bits, dataBits);
    mb.PutU16(MB::Serial2_Data_Bits, dataBits);
    for (std::size_t port : Serial_Ports) {
        cb.PutU32(C2_Port_Baud_Rates + 4 * port, speed);
        cb.PutU8(C2_Port_Parities + port, parity);
        cb.PutU8(C2_Port_Stop_Bits + port, 1);
        cb.PutU8(C2_Port_Data_Bits + port, dataBits);
    }
}

void Build_Image_Serial(TDeviceImage& image, const TImageSources& sources) {
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Serial(image, pg ? &*pg : nullptr);
    image.Bank_Image_C.Len = 0;
    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, image.Bank_Image_A.Bytes());
    image.Bank_Image_C.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_C.Bytes());
}

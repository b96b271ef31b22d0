#include "image/ImageModbusSlave.h"

#include "image/ImageModbusMaster.h"
#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"


namespace {

// "MODBUS_SLAVE_BAUDRATE": the form's list, by position (the slave's line
// goes to 460800 where the master's list has 500000).
constexpr Cardinal Slave_Baud_Rates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800};
constexpr int Default_Baud_Index = 7;       // 115200, for a missing key or a text that is no number
constexpr Cardinal Other_Baud_Rate = 9600;  // a number outside the list

// "DNETS_BAUDRATE": 125K, 250K, then 500K for every other value.
constexpr Cardinal DeviceNet_Baud_Rates[] = {125000, 250000};
constexpr Cardinal DeviceNet_Other_Baud_Rate = 500000;  // also a missing key (list position 2)

constexpr Byte Serial_Mode_Slave = 0x40;
constexpr Byte Serial_Mode_RS232 = 0x01;
constexpr Byte Serial_Mode_Swap_Bytes = 0x08;

void Preset(TLeBytes mb, Byte variant, Byte serialMode, Byte optionFlags, Word applicationPort) {
    mb.PutU16(MB::Function_Flags, 0);
    mb.PutU8(MB::Device_Variant, variant);
    mb.PutU8(MB::Serial_Mode, serialMode);
    mb.PutU8(MB::Reserved_98, 0);
    mb.PutU8(MB::Option_Flags, optionFlags);
    mb.PutU16(MB::Application_Port, applicationPort);
}

}  // namespace

void Read_ParGen_Modbus_Slave(TDeviceImage& image, const TParGenImage* pg) {
    const bool snmp = image.Model_Code == 16;
    TLeBytes mb = image.Main_Param_Block.Bytes();
    if (snmp)
        Preset(mb, 0, 0, 0, 10000);
    else
        Preset(mb, 2, Serial_Mode_Slave, 0, 5000);
    if (!pg) return;

    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    Put_Station_Name(*pg, mb, snmp ? MB::SNMP_Station_Name : MB::Station_Name);
    if (snmp) Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);

    const bool rs232 = pg->Raw(u"MODBUS_SLAVE_SERIAL") == String(u"0");
    mb.PutU8(MB::Serial_Mode, rs232 ? Serial_Mode_Slave | Serial_Mode_RS232 : Serial_Mode_Slave);
    const Cardinal baud =
        Read_List_Choice(*pg, u"MODBUS_SLAVE_BAUDRATE", Slave_Baud_Rates, Default_Baud_Index, Other_Baud_Rate);
    mb.PutU32(MB::Serial_Baud_Rate, baud);
    mb.PutU32(MB::Serial2_Baud_Rate, baud);
    const int parity = pg->Number(u"MODBUS_SLAVE_PARITY", 0);
    mb.PutU16(MB::Serial_Parity, parity);
    mb.PutU16(MB::Serial2_Parity, parity);
    mb.PutU32(MB::Slave_ID, pg->Number(u"MODBUS_SLAVE_IDDEVICE", 1));
    if (!snmp) {
        const int stopBits = Read_Stop_Bits(*pg, u"MODBUS_SLAVE_STOPBITS");
        mb.PutU32(MB::Serial_Stop_Bits, stopBits);
        mb.PutU32(MB::Serial2_Stop_Bits, stopBits);
        if (pg->Flag(u"MODBUS_SLAVE_READ_INPUT_REG")) mb.PutU16(MB::Function_Flags, mb.GetU16(MB::Function_Flags) | 0x0001);
    }

    if (snmp) {
        if (pg->Flag(u"MODBUS_SLAVE_SWAPBYTES")) mb.PutU8(MB::Serial_Mode, mb.GetU8(MB::Serial_Mode) | Serial_Mode_Swap_Bytes);
        constexpr Cardinal SNMP_Data_Area = 1024;
        mb.PutU32(MB::NB_In, SNMP_Data_Area);
        mb.PutU32(MB::NB_Out, SNMP_Data_Area);
        mb.PutU32(MB::Diagnostic_Address, 0);
        mb.PutU32(MB::SNMP_Kind, 0);
        Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, nullptr);
        image.SNMP_Map_Type = pg->Number(u"SNMP_MapType", 0);
    } else {
        mb.PutU32(MB::NB_In, pg->Number(u"MODBUS_SLAVE_NB_IN", 512));
        mb.PutU32(MB::NB_Out, pg->Number(u"MODBUS_SLAVE_NB_OUT", 512));
    }
}

void Build_Image_Modbus_Slave(TDeviceImage& image, const TImageSources& sources) {
    const bool snmp = image.Model_Code == 16;
    Init_Main_Param_Block(image.Main_Param_Block);
    if (snmp) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    image.SNMP_Map_Type = 0;
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Modbus_Slave(image, pg ? &*pg : nullptr);
    if (snmp) Read_Modbus_SNMP_Trap(image, sources, nullptr);
    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t pos = Save_Main_Param_Block(image.Main_Param_Block, 0, a);
    // Here the trap section follows the block, with or without the variable map.
    if (snmp) pos = Save_SNMP_Trap_Tables(image.SNMP_Trap, pos, a);
    image.Bank_Image_A.Len = pos;
}

void Read_ParGen_DeviceNet_Slave(TDeviceImage& image, const TParGenImage* pg) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    Preset(mb, 0xC0, 0, 4, 5000);
    if (!pg) return;

    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    Put_Station_Name(*pg, mb, MB::Station_Name);
    mb.PutU32(MB::Node_ID, pg->Number(u"DNETS_ID_DEV", 10));
    constexpr int Default_DeviceNet_Baud_Index = 2;
    mb.PutU32(MB::Bus_Baud_Rate, Read_List_Choice(*pg, u"DNETS_BAUDRATE", DeviceNet_Baud_Rates,
                                                 Default_DeviceNet_Baud_Index, DeviceNet_Other_Baud_Rate));
    mb.PutU32(MB::NB_In, pg->Number(u"DNETS_NB_IN", 455));
    mb.PutU32(MB::NB_Out, pg->Number(u"DNETS_NB_OUT", 455));
}

void Build_Image_DeviceNet_Slave(TDeviceImage& image, const TImageSources& sources) {
    Init_Main_Param_Block(image.Main_Param_Block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_DeviceNet_Slave(image, pg ? &*pg : nullptr);
    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, image.Bank_Image_A.Bytes());
}

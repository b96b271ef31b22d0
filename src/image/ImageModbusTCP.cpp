#include "image/ImageModbusTCP.h"

#include "framework/SysUtils.h"
#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"
#include "image/TableFile.h"
#include "shell/Globals.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

namespace {

constexpr Cardinal SNMP_Data_Area = 1024;
constexpr Word Default_Modbus_TCP_Port = 502;
// Where the table lies in flash: bank2.bin of model 11 goes to 0x58000 of
// the main processor and to 0x80000 of the second; model 19's table follows
// its main block at 0x68000.
constexpr Cardinal Table_Address_11 = 0x58000, Table_Address_19 = 0x68800, CPU2_Table_Address = 0x80000;

// "a.b.c.d": the first three dots split the text, the rest after the third
// is the last part; each part, trimmed, must be a number whose low 8 bits
// are the octet. The first number is the most significant.
Cardinal Read_IP_Address(const TTableRow& row) {
    std::optional<String> text = row.Text(u"IP_Address");
    if (!text) row.Fail(Lang_Message(1120, {u"IP_Address"}));
    auto fail = [&] { row.Fail(Lang_Message(1141, {*text})); };
    Cardinal address = 0;
    std::size_t start = 0;
    for (int octet = 0; octet < 4; ++octet) {
        std::size_t end = octet < 3 ? text->find(u'.', start) : text->size();
        if (end == String::npos) fail();
        std::optional<int> value = Table_Number(Trim(text->substr(start, end - start)));
        if (!value) fail();
        address = (address << 8) | (static_cast<Cardinal>(*value) & 0xFF);
        start = end + 1;
    }
    return address;
}

Byte Read_Function(const String& upperType, bool write, Word points) {
    if (write) {
        if (upperType == u"COIL STATUS") return points == 1 ? Modbus_Write_Coil : Modbus_Write_Coils;
        if (upperType == u"HOLDING REGISTER") return points == 1 ? Modbus_Write_Register : Modbus_Write_Registers;
        return 0;
    }
    if (upperType == u"COIL STATUS") return Modbus_Read_Coils;
    if (upperType == u"INPUT STATUS") return Modbus_Read_Inputs;
    if (upperType == u"HOLDING REGISTER") return Modbus_Read_Holding_Registers;
    if (upperType == u"INPUT REGISTER") return Modbus_Read_Input_Registers;
    return 0;  // the converter skips a request it cannot name
}

void Put_Main_And_CPU2(TLeBytes mb, std::size_t mainOffset, TLeBytes cb, std::size_t cpu2Offset, Cardinal value) {
    mb.PutU32(mainOffset, value);
    cb.PutU32(cpu2Offset, value);
}

// Presets shared by both families: the main values go to the second processor too.
void Preset(TLeBytes mb, TLeBytes cb, Byte variant, Word applicationPort) {
    mb.PutU16(MB::Function_Flags, 0);
    mb.PutU8(MB::Device_Variant, variant);
    mb.Fill(MB::Serial_Mode, 3, 0);  // +97..+99
    mb.PutU16(MB::Application_Port, applicationPort);
    cb.PutU8(C2_Device_Variant, variant);
    cb.PutU8(C2_Serial_Mode, 0);
    cb.PutU8(C2_Option_Flags, 0);
    cb.PutU16(C2_Application_Port, applicationPort);
}

// The PROFINET address set into both blocks, and the station name: the SNMP
// models name their agent, the others the PROFINET station in both blocks.
void Read_Profinet_Side(const TParGenImage& pg, TLeBytes mb, TLeBytes cb, bool snmp) {
    TAddressSet profinet = Read_Address_Set(pg, u"PROFINET_");
    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, profinet);
    Put_Address_Set(cb, C2_IP_Address, C2_Subnet_Mask, C2_Gateway, profinet);
    if (snmp) {
        Put_Station_Name(pg, mb, MB::SNMP_Station_Name);
    } else {
        Put_Station_Name(pg, mb, MB::Station_Name);
        Put_Station_Name(pg, cb, C2_Station_Name);
    }
}

// The Modbus TCP port's address set (prefix "Modbus_TCP_Master_" or "Modbus_TCP_Slave_").
void Read_Modbus_TCP_Side(const TParGenImage& pg, TLeBytes mb, TLeBytes cb, const char16_t* prefix) {
    TAddressSet side = Read_Address_Set(pg, prefix);
    Put_Address_Set(mb, MB::IP_Address_2, MB::Subnet_Mask_2, MB::Gateway_2, side);
    Put_Address_Set(cb, C2_IP_Address_2, C2_Subnet_Mask_2, C2_Gateway_2, side);
}

// The SNMP agent of models 17 and 19, in the main block only.
void Read_SNMP_Side(TDeviceImage& image, const TParGenImage& pg, Cardinal kind) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    mb.PutU32(MB::NB_In, SNMP_Data_Area);
    mb.PutU32(MB::NB_Out, SNMP_Data_Area);
    mb.PutU32(MB::Diagnostic_Address, 0);
    mb.PutU32(MB::SNMP_Kind, kind);
    Read_SNMP_Contact_Location(pg, image.Main_Param_Block, nullptr);
    image.SNMP_Map_Type = pg.Number(u"SNMP_MapType", 0);
}

}  // namespace

void Read_ParGen_Modbus_TCP_Master(TDeviceImage& image, const TParGenImage* pg) {
    const bool snmp = image.Model_Code == 19;
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    Preset(mb, cb, snmp ? 3 : 0, snmp ? 10000 : 5000);
    const Cardinal table = snmp ? Table_Address_19 : Table_Address_11;
    mb.PutU32(MB::Request_Table_Address, table);
    mb.PutU32(MB::Request_Table_Address_2, table);
    cb.PutU32(C2_Request_Table_Address, CPU2_Table_Address);
    cb.PutU32(C2_Modbus_Table_Address, CPU2_Table_Address);
    if (!pg) return;

    Read_Profinet_Side(*pg, mb, cb, snmp);
    if (snmp) Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);
    Put_Main_And_CPU2(mb, MB::Timeout, cb, C2_Timeout, pg->Number(u"Modbus_TCP_Master_TimeOut", 1000));
    Put_Main_And_CPU2(mb, MB::Cyclic_Delay, cb, C2_Cyclic_Delay, pg->Number(u"Modbus_TCP_Master_Cyclic", 100));
    if (snmp) {
        Read_SNMP_Side(image, *pg, 0);
    } else {
        Put_Main_And_CPU2(mb, MB::NB_In, cb, C2_NB_In, pg->Number(u"MODBUS_TCP_MASTER_NB_IN", 512));
        Put_Main_And_CPU2(mb, MB::NB_Out, cb, C2_NB_Out, pg->Number(u"MODBUS_TCP_MASTER_NB_OUT", 512));
    }
    Read_Modbus_TCP_Side(*pg, mb, cb, u"Modbus_TCP_Master_");
    if (!snmp) {
        if (auto diagnostic = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"))
            Put_Main_And_CPU2(mb, MB::Diagnostic_Address, cb, C2_Diagnostic_Address, *diagnostic);
    }
}

std::vector<TModbus_Request> Read_ModbusTCPM_SetAccess(TDeviceImage& image, const String& path) {
    const bool snmpTypes = image.Model_Code == 19 && image.SNMP_Map_Type == 0;  // the fixed map names the types
    return Read_Modbus_Request_File(image, path, Modbus_TCP_Table_Entries, [&](const TTableRow& row, bool write) {
        TModbus_Request r;
        r.IP_Address = Read_IP_Address(row);
        r.TCP_Port = static_cast<Word>(row.Number(u"Port", Default_Modbus_TCP_Port));
        r.Slave_Address = static_cast<Byte>(row.Number(u"Slave_ID"));
        const String type = UpperCase(row.Text(u"Type").value_or(String()));  // not trimmed
        r.Point_Count = static_cast<Word>(row.Number(u"NPoint"));
        r.Function_Code = Read_Function(type, write, r.Point_Count);
        r.Byte_Count = Modbus_Byte_Count(r.Function_Code, r.Point_Count);
        r.Start_Address = static_cast<Word>(row.Number(u"Address"));
        r.Poll_Time = static_cast<Cardinal>(row.Number(u"PollTime"));
        r.Error_Limit = static_cast<Cardinal>(row.Number(u"MaxError"));
        if (write && row.Flag(u"OnChange", TFlagFold::Upper)) r.Flags = Request_Flag_On_Change;
        r.Position = static_cast<Word>(row.Number(u"Position"));
        r.Start_Bit = static_cast<Word>(row.Number(u"Bit"));
        if (row.Flag(u"Swap", TFlagFold::Exact)) r.Flags |= Request_Flag_Swap;
        if (row.Flag(u"Swap_Word", TFlagFold::Exact)) r.Flags |= Request_Flag_Swap_Word;
        if (snmpTypes) r.SNMP_Data_Type = static_cast<Byte>(Data_Type_Code(row.Text(u"Format_SNMP").value_or(String())));
        return r;
    });
}

std::size_t Save_Modbus_TCP_Master_Table(const std::vector<TModbus_Request>& requests, std::size_t pos, TLeBytes dst) {
    const std::size_t end = pos + Modbus_TCP_Table_Entries * Modbus_Request_Size;
    dst.Fill(pos, end - pos, 0);
    Save_Modbus_Master_Table(requests, pos, dst);
    return end;
}

void Build_Image_Modbus_TCP_Master(TDeviceImage& image, const TImageSources& sources) {
    const bool snmp = image.Model_Code == 19;
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    if (snmp) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    image.SNMP_Map_Type = 0;
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Modbus_TCP_Master(image, pg ? &*pg : nullptr);
    std::vector<TModbus_Request> requests = Read_ModbusTCPM_SetAccess(image, sources.Path_ModbusTCPM_SetAccess);
    if (snmp) Read_Modbus_SNMP_Trap(image, sources, nullptr);

    if (snmp) {
        TLeBytes a = image.Bank_Image_A.Bytes();
        std::size_t pos = Save_SNMP_Trap_Tables(image.SNMP_Trap, 0, a);
        pos = Save_Main_Param_Block(image.Main_Param_Block, pos, a);
        image.Bank_Image_A.Len = Save_Modbus_TCP_Master_Table(requests, pos, a);
    } else {
        image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, image.Bank_Image_A.Bytes());
        image.Bank_Image_B.Len = Save_Modbus_TCP_Master_Table(requests, 0, image.Bank_Image_B.Bytes());
        image.Bank_Image_C.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_C.Bytes());
    }
}

void Read_ParGen_Modbus_TCP_Slave(TDeviceImage& image, const TParGenImage* pg) {
    const bool snmp = image.Model_Code == 17;
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    Preset(mb, cb, snmp ? 0 : 0x42, snmp ? 10000 : 5000);
    if (!pg) return;

    Read_Profinet_Side(*pg, mb, cb, snmp);
    if (snmp) {
        Read_SNMP_Side(image, *pg, 2);
        Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);
    } else {
        Put_Main_And_CPU2(mb, MB::NB_In, cb, C2_NB_In, pg->Number(u"MODBUS_TCP_Slave_NB_IN", 512));
        Put_Main_And_CPU2(mb, MB::NB_Out, cb, C2_NB_Out, pg->Number(u"MODBUS_TCP_Slave_NB_OUT", 512));
    }
    Read_Modbus_TCP_Side(*pg, mb, cb, u"Modbus_TCP_Slave_");
    const int port = pg->Number(u"Modbus_TCP_Slave_Port", Default_Modbus_TCP_Port);
    mb.PutU16(MB::Aux_Port_1, port);
    cb.PutU16(C2_Aux_Port_1, port);
    // The second processor's bit 6 is the inverse of the main block's "read input registers" bit.
    constexpr Byte CPU2_Slave_Register_Bit = 0x40;
    cb.PutU8(C2_Serial_Mode, cb.GetU8(C2_Serial_Mode) | CPU2_Slave_Register_Bit);
    if (pg->Flag(u"Modbus_TCP_Slave_READ_INPUT_REG")) {
        mb.PutU16(MB::Function_Flags, mb.GetU16(MB::Function_Flags) | 0x0001);
        cb.PutU8(C2_Serial_Mode, cb.GetU8(C2_Serial_Mode) & ~CPU2_Slave_Register_Bit);
    }
    if (snmp && pg->Flag(u"Modbus_TCP_Slave_SWAPBYTES")) mb.PutU8(MB::Serial_Mode, mb.GetU8(MB::Serial_Mode) | 0x08);
}

void Build_Image_Modbus_TCP_Slave(TDeviceImage& image, const TImageSources& sources) {
    const bool snmp = image.Model_Code == 17;
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    if (snmp) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    image.SNMP_Map_Type = 0;
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Modbus_TCP_Slave(image, pg ? &*pg : nullptr);
    if (snmp) Read_Modbus_SNMP_Trap(image, sources, nullptr);

    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t pos = Save_Main_Param_Block(image.Main_Param_Block, 0, a);
    // The slave's trap section follows its block, with or without the variable map.
    if (snmp) pos = Save_SNMP_Trap_Tables(image.SNMP_Trap, pos, a);
    image.Bank_Image_A.Len = pos;
    image.Bank_Image_C.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_C.Bytes());
}

#include "image/ImageModbusMaster.h"

#include "framework/SysUtils.h"
#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"
#include "shell/Globals.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <initializer_list>

namespace {

bool In(int model, std::initializer_list<int> models) {
    for (int m : models)
        if (m == model) return true;
    return false;
}
bool Is_SNMP_Model(int model) { return In(model, {18, 30, 1018}); }
bool Has_CPU2(int model) { return In(model, {4, 2004, 18, 1018}); }

// "MODBUS_MASTER_BAUDRATE": the form's list, by position.
constexpr Cardinal Master_Baud_Rates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 500000, 625000};
constexpr int Default_Baud_Index = 7;     // 115200, for a missing key or a text that is no number
constexpr Cardinal Other_Baud_Rate = 9600;  // a number outside the list

constexpr std::size_t Max_Requests = 1024;  // what the converter's table holds
// Where the second processor finds its copy of the requests (bank2.bin at
// 0x80000, behind the trap section for the SNMP models).
constexpr Cardinal CPU2_Requests_Address = 0x80000;
constexpr Cardinal CPU2_Requests_Address_SNMP = 0x86000;

// The second processor keeps the serial settings per port; the master's
// line is ports 0, 3 and 4.
constexpr int Master_Ports[] = {0, 3, 4};

}  // namespace

bool Is_Bit_Function(Byte functionCode) {
    return functionCode == Modbus_Read_Coils || functionCode == Modbus_Read_Inputs || functionCode == Modbus_Write_Coil ||
           functionCode == Modbus_Write_Coils;
}

Byte Modbus_Byte_Count(Byte functionCode, Word pointCount) {
    return static_cast<Byte>(Is_Bit_Function(functionCode) ? (pointCount + 7) / 8 : 2 * (pointCount & 0xFF));
}

std::size_t Save_Modbus_Master_Table(const std::vector<TModbus_Request>& requests, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, requests.size() * Modbus_Request_Size, 0);  // refuses before anything changes when there is no room
    for (const TModbus_Request& r : requests) {
        dst.PutU16(pos + 0, r.Position);
        dst.PutU16(pos + 2, r.Start_Bit);
        dst.PutU32(pos + 4, r.Poll_Time);
        dst.PutU8(pos + 8, r.Slave_Address);
        dst.PutU8(pos + 9, r.Function_Code);
        dst.PutU16(pos + 10, r.Start_Address);
        dst.PutU16(pos + 12, r.Point_Count);
        dst.PutU16(pos + 14, r.TCP_Port);
        dst.PutU32(pos + 16, r.IP_Address);
        dst.PutU32(pos + 24, r.Error_Limit);
        dst.PutU8(pos + 28, r.SNMP_Data_Type);
        dst.PutU8(pos + 30, r.Byte_Count);
        dst.PutU8(pos + 31, r.Flags);
        pos += Modbus_Request_Size;
    }
    return pos;
}

void Read_Modbus_SNMP_Trap(TDeviceImage& image, const TImageSources& sources, TCPU2_Param_Block* cpu2) {
    if (image.SNMP_Map_Type == 1) {
        Read_SNMP_Trap(image.Model_Code, sources.Path_SNMP_Trap, image.SNMP_Trap, image.Main_Param_Block, cpu2);
    } else {
        TLeBytes mb = image.Main_Param_Block.Bytes();
        mb.PutU32(MB::Trap_Read_Count, 0);
        mb.PutU32(MB::Trap_Write_Count, 0);
    }
}

void Read_ParGen_Modbus_Master(TDeviceImage& image, const TParGenImage* pg) {
    const int model = image.Model_Code;
    const bool snmp = Is_SNMP_Model(model);
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();

    // Fixed before the file is read: they hold even without "ParGen.xml".
    const Byte variant = snmp ? 0 : 2;
    const Byte serialMode = snmp ? 0 : 0x10;
    const Word applicationPort = snmp ? 10000 : 5000;
    mb.PutU16(MB::Function_Flags, 0);
    mb.PutU8(MB::Device_Variant, variant);
    mb.PutU8(MB::Serial_Mode, serialMode);
    mb.PutU8(MB::Reserved_98, 0);
    mb.PutU8(MB::Option_Flags, 0);
    mb.PutU16(MB::Application_Port, applicationPort);
    cb.PutU8(C2_Device_Variant, variant);
    cb.PutU8(C2_Serial_Mode, serialMode);
    cb.PutU8(C2_Option_Flags, 0);
    cb.PutU16(C2_Application_Port, applicationPort);

    if (!pg) {
        // Without the general parameters the converter uses the variable map.
        image.SNMP_Map_Type = 1;
        return;
    }

    TAddressSet profinet = Read_Address_Set(*pg, u"PROFINET_");
    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, profinet);
    Put_Address_Set(cb, C2_IP_Address, C2_Subnet_Mask, C2_Gateway, profinet);
    const Word userPort = snmp ? 0 : Read_Profinet_Port(*pg, 10001);
    mb.PutU16(MB::User_Port, userPort);
    cb.PutU16(C2_User_Port, userPort);
    if (snmp) {
        Put_Station_Name(*pg, mb, MB::SNMP_Station_Name);
        Put_Station_Name(*pg, cb, C2_SNMP_Station_Name);
        Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, &image.CPU2_Param_Block);
    } else {
        Put_Station_Name(*pg, mb, MB::Station_Name);
        Put_Station_Name(*pg, cb, C2_Station_Name);
    }

    // RS232 is "0"; anything else, a missing key included, is RS485.
    const Cardinal rs232 = pg->Raw(u"MODBUS_MASTER_SERIAL") == String(u"0") ? 1 : 0;
    mb.PutU8(MB::Serial_Mode, rs232);
    cb.PutU32(C2_Serial_Options, rs232);

    const Cardinal baud =
        Read_List_Choice(*pg, u"MODBUS_MASTER_BAUDRATE", Master_Baud_Rates, Default_Baud_Index, Other_Baud_Rate);
    mb.PutU32(MB::Serial_Baud_Rate, baud);
    mb.PutU32(MB::Serial2_Baud_Rate, baud);
    const int parity = pg->Number(u"MODBUS_MASTER_PARITY", 0);
    mb.PutU16(MB::Serial_Parity, parity);
    mb.PutU16(MB::Serial2_Parity, parity);
    for (int port : Master_Ports) {
        cb.PutU32(C2_Port_Baud_Rates + 4 * port, baud);
        cb.PutU8(C2_Port_Parities + port, parity);
    }
    if (!snmp) {
        const int stopBits = Read_Stop_Bits(*pg, u"MODBUS_MASTER_STOPBITS");
        mb.PutU32(MB::Serial_Stop_Bits, stopBits);
        mb.PutU32(MB::Serial2_Stop_Bits, stopBits);
        for (int port : Master_Ports) cb.PutU8(C2_Port_Stop_Bits + port, stopBits);
    }
    const int timeout = pg->Number(u"MODBUS_MASTER_TIMEOUT", 1000);
    const int cyclicDelay = pg->Number(u"MODBUS_MASTER_CYCLICDELAY", 100);
    mb.PutU32(MB::Timeout, timeout);
    cb.PutU32(C2_Timeout, timeout);
    mb.PutU32(MB::Cyclic_Delay, cyclicDelay);
    cb.PutU32(C2_Cyclic_Delay, cyclicDelay);

    if (snmp) {
        constexpr Cardinal SNMP_Data_Area = 1024;
        constexpr Cardinal SNMP_Kind_Master = 2;
        mb.PutU32(MB::NB_In, SNMP_Data_Area);
        mb.PutU32(MB::NB_Out, SNMP_Data_Area);
        cb.PutU32(C2_NB_In, SNMP_Data_Area);
        cb.PutU32(C2_NB_Out, SNMP_Data_Area);
        mb.PutU32(MB::Diagnostic_Address, 0);
        cb.PutU32(C2_Diagnostic_Address, 0);
        mb.PutU32(MB::SNMP_Kind, SNMP_Kind_Master);
        Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, &image.CPU2_Param_Block);
        // The partner builds always serve the variable map.
        image.SNMP_Map_Type = model == 18 ? pg->Number(u"SNMP_MapType", 0) : 1;
    } else {
        const int nbIn = pg->Number(u"MODBUS_MASTER_NB_IN", 512);
        const int nbOut = pg->Number(u"MODBUS_MASTER_NB_OUT", 512);
        mb.PutU32(MB::NB_In, nbIn);
        cb.PutU32(C2_NB_In, nbIn);
        mb.PutU32(MB::NB_Out, nbOut);
        cb.PutU32(C2_NB_Out, nbOut);
        if (pg->Flag(u"MODBUS_MASTER_ENABLE_POLL")) {
            mb.PutU16(MB::Function_Flags, mb.GetU16(MB::Function_Flags) | 0x0008);
            cb.PutU8(C2_Serial_Mode, cb.GetU8(C2_Serial_Mode) | 0x80);
        }
        if (pg->Flag(u"MODBUS_MASTER_CLEAR_DATA")) {
            mb.PutU16(MB::Function_Flags, mb.GetU16(MB::Function_Flags) | 0x0400);
            cb.PutU32(C2_Serial_Options, cb.GetU32(C2_Serial_Options) | 0x20);
        }
        if (auto diagnostic = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"))
            mb.PutU32(MB::Diagnostic_Address, *diagnostic);
        cb.PutU32(C2_Diagnostic_Address, mb.GetU32(MB::Diagnostic_Address));
        mb.PutU32(MB::Command_Address,
                  Read_Enabled_Address(*pg, u"PROFINET_ENABLE_MODBUS_POLLS", u"PROFINET_MODBUS_POLLS_ADDRESS").value_or(0));
        cb.PutU32(C2_Command_Address, mb.GetU32(MB::Command_Address));
    }
    cb.PutU32(C2_SNMP_Flags, mb.GetU32(MB::SNMP_Flags));
}

std::vector<TModbus_Request> Read_Modbus_Request_File(TDeviceImage& image, const String& path, std::size_t limit,
                                                      const TRequest_Reader& readRow) {
    std::vector<TModbus_Request> requests;
    if (std::optional<TTableFile> file = TTableFile::Load(path)) {
        const String& what = Lang_Table[1138];
        const TTable reads = file->Table(u"Modbus_Read");
        const TTable writes = file->Table(u"Modbus_Write");
        for (const TTable* table : {&reads, &writes}) {
            for (int i = 0; i < table->Count(); ++i) {
                file->Check_Capacity(requests.size(), limit, what);
                requests.push_back(readRow(table->Row(i), table == &writes));
            }
        }
    }
    image.Main_Param_Block.Bytes().PutU32(MB::Request_Count, static_cast<Cardinal>(requests.size()));
    image.CPU2_Param_Block.Bytes().PutU32(C2_Request_Count, static_cast<Cardinal>(requests.size()));
    return requests;
}

std::vector<TModbus_Request> Read_ModbusM_SetAccess(TDeviceImage& image, const String& path) {
    const bool snmpTypes = image.Model_Code == 18 && image.SNMP_Map_Type == 0;  // the fixed map names the types
    return Read_Modbus_Request_File(image, path, Max_Requests, [&](const TTableRow& row, bool write) {
        TModbus_Request r;
        r.Slave_Address = static_cast<Byte>(row.Number(u"Slave_ID"));
        r.Start_Address = static_cast<Word>(row.Number(u"Address"));
        r.Point_Count = static_cast<Word>(row.Number(u"NPoint"));
        const String type = UpperCase(Trim(row.Text(u"Type").value_or(String())));
        if (write) {
            const bool single = r.Point_Count == 1;
            if (type == u"COIL STATUS")
                r.Function_Code = single ? Modbus_Write_Coil : Modbus_Write_Coils;
            else
                r.Function_Code = single ? Modbus_Write_Register : Modbus_Write_Registers;
        } else if (type == u"COIL STATUS") {
            r.Function_Code = Modbus_Read_Coils;
        } else if (type == u"INPUT STATUS") {
            r.Function_Code = Modbus_Read_Inputs;
        } else if (type == u"HOLDING REGISTER") {
            r.Function_Code = Modbus_Read_Holding_Registers;
        } else {
            r.Function_Code = Modbus_Read_Input_Registers;
        }
        r.Poll_Time = static_cast<Cardinal>(row.Number(u"PollTime"));
        if (write && row.Flag(u"OnChange", TFlagFold::Trim_Upper)) r.Flags = Request_Flag_On_Change;
        r.Error_Limit = static_cast<Cardinal>(row.Number(u"MaxError"));
        r.Position = static_cast<Word>(row.Number(u"Position"));
        if (Is_Bit_Function(r.Function_Code)) r.Start_Bit = static_cast<Word>(row.Number(u"Bit"));
        r.Byte_Count = Modbus_Byte_Count(r.Function_Code, r.Point_Count);
        if (row.Flag(u"Swap", TFlagFold::Exact)) r.Flags |= Request_Flag_Swap;
        if (row.Flag(u"Swap_Word", TFlagFold::Exact)) r.Flags |= Request_Flag_Swap_Word;
        if (snmpTypes) r.SNMP_Data_Type = static_cast<Byte>(Data_Type_Code(row.Text(u"Format_SNMP").value_or(String())));
        // "Force_F16" asks for the multiple-write functions even for one point.
        if (write && row.Flag(u"Force_F16", TFlagFold::Upper)) {
            if (r.Function_Code == Modbus_Write_Coil) r.Function_Code = Modbus_Write_Coils;
            if (r.Function_Code == Modbus_Write_Register) r.Function_Code = Modbus_Write_Registers;
        }
        return r;
    });
}

void Build_Image_Modbus_Master(TDeviceImage& image, const TImageSources& sources) {
    const int model = image.Model_Code;
    const bool snmp = Is_SNMP_Model(model);
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    if (snmp) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    image.SNMP_Map_Type = 0;
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Modbus_Master(image, pg ? &*pg : nullptr);
    std::vector<TModbus_Request> requests = Read_ModbusM_SetAccess(image, sources.Path_ModbusM_SetAccess);
    if (snmp) Read_Modbus_SNMP_Trap(image, sources, Has_CPU2(model) ? &image.CPU2_Param_Block : nullptr);
    if (Has_CPU2(model))
        image.CPU2_Param_Block.Bytes().PutU32(C2_Modbus_Table_Address,
                                              snmp ? CPU2_Requests_Address_SNMP : CPU2_Requests_Address);

    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t pos = 0;
    if (snmp) pos = Save_SNMP_Trap_Tables(image.SNMP_Trap, pos, a);
    pos = Save_Main_Param_Block(image.Main_Param_Block, pos, a);
    image.Bank_Image_A.Len = Save_Modbus_Master_Table(requests, pos, a);
    if (Has_CPU2(model)) {
        image.Bank_Image_B.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_B.Bytes());
        TLeBytes c = image.Bank_Image_C.Bytes();
        pos = snmp ? Save_SNMP_Trap_Tables(image.SNMP_Trap, 0, c) : 0;
        image.Bank_Image_C.Len = Save_Modbus_Master_Table(requests, pos, c);
    }
}

#include "image/ImageEtherNetIP.h"

#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"

namespace {

constexpr std::size_t Station_Field = 16, Station_Chars = 15;
constexpr Cardinal Default_Data_Area = 496;    // bytes of each EtherNet/IP data area
constexpr Cardinal SNMP_Agent_Data_Area = 1024;
constexpr Word SNMP_Agent_Aux_Port = 44818;

// The second port's address: its last octet 10 when missing, 5 when unreadable.
constexpr std::array<int, 4> Second_Port_Missing{192, 168, 0, 10};

}  // namespace

void Read_ParGen_EtherNetIP(TDeviceImage& image, const TParGenImage* pg) {
    const int model = image.Model_Code;
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();

    // Fixed before the file is read: they hold even without "ParGen.xml".
    Word applicationPort = model == 13 ? 5000 : 10000;
    mb.PutU16(MB::Function_Flags, 0);
    mb.Fill(MB::Device_Variant, 4, 0);  // +96..+99
    mb.PutU16(MB::Application_Port, applicationPort);
    mb.PutU16(MB::Aux_Port_1, 0);
    mb.PutU16(MB::Aux_Port_2, 0);
    cb.PutU16(C2_Application_Port, applicationPort);
    cb.PutU16(C2_Aux_Port_1, 0);
    cb.PutU16(C2_Aux_Port_2, 0);
    if (!pg) return;

    TAddressSet profinet = Read_Address_Set(*pg, u"PROFINET_", Default_IP_Address);
    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, profinet);
    Put_Address_Set(cb, C2_IP_Address, C2_Subnet_Mask, C2_Gateway, profinet);
    mb.PutU16(MB::User_Port, 0);

    if (model == 13) {
        Put_Station_Name(*pg, mb, MB::Station_Name);
        Put_Station_Name(*pg, cb, C2_Station_Name);
    } else {
        // Model 35's main processor takes no configuration: the name lives in the second processor only.
        Put_Station_Name(*pg, cb, C2_SNMP_Station_Name);
        Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, &image.CPU2_Param_Block);
        Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, &image.CPU2_Param_Block);
    }
    cb.PutU32(C2_SNMP_Flags, mb.GetU32(MB::SNMP_Flags));

    // The EtherNet/IP side sees the data areas the other way round.
    if (model == 13) {
        Put_U32_Both(image, MB::NB_Out, C2_NB_Out, pg->Number(u"PROFINET_NB_IN", Default_Data_Area));
        Put_U32_Both(image, MB::NB_In, C2_NB_In, pg->Number(u"PROFINET_NB_OUT", Default_Data_Area));
    }
    TAddressSet ethernetIP = Read_Address_Set(*pg, u"EtherNetIP_", Second_Port_Missing);
    Put_Address_Set(mb, MB::IP_Address_2, MB::Subnet_Mask_2, MB::Gateway_2, ethernetIP);
    Put_Address_Set(cb, C2_IP_Address_2, C2_Subnet_Mask_2, C2_Gateway_2, ethernetIP);
    if (model == 35) {
        Put_U32_Both(image, MB::NB_Out, C2_NB_Out, pg->Number(u"EtherNetIP_Num_Byte_In", Default_Data_Area));
        Put_U32_Both(image, MB::NB_In, C2_NB_In, pg->Number(u"EtherNetIP_Num_Byte_Out", Default_Data_Area));
    }
}

void Build_Image_EtherNetIP(TDeviceImage& image, const TImageSources& sources) {
    const int model = image.Model_Code;
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    if (model == 35) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_EtherNetIP(image, pg ? &*pg : nullptr);
    image.Bank_Image_B.Len = 0;
    image.Bank_Image_C.Len = 0;
    if (model == 35)
        Read_SNMP_Trap(model, sources.Path_SNMP_Trap, image.SNMP_Trap, image.Main_Param_Block, &image.CPU2_Param_Block);

    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, image.Bank_Image_A.Bytes());
    image.Bank_Image_B.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_B.Bytes());
    if (model == 35) image.Bank_Image_C.Len = Save_SNMP_Trap_Tables(image.SNMP_Trap, 0, image.Bank_Image_C.Bytes());
}

void Read_ParGen_SNMP_Agent(TDeviceImage& image, const TParGenImage* pg) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    mb.PutU16(MB::Function_Flags, 0);
    mb.Fill(MB::Device_Variant, 4, 0);  // +96..+99
    mb.PutU16(MB::Application_Port, 5000);
    mb.PutU16(MB::Aux_Port_1, SNMP_Agent_Aux_Port);
    mb.PutU16(MB::Aux_Port_2, SNMP_Agent_Aux_Port);
    if (!pg) return;

    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, Read_Address_Set(*pg, u"PROFINET_", Default_IP_Address));
    mb.PutU16(MB::User_Port, 0);
    Put_Station_Name(*pg, mb, MB::Station_Name);
    Put_Address_Set(mb, MB::IP_Address_2, MB::Subnet_Mask_2, MB::Gateway_2, Read_Address_Set(*pg, u"SNMP_", Second_Port_Missing));
    mb.PutU32(MB::SNMP_Kind, 0);
    pg->Put_Text(u"SNMP_Name_of_Station", mb, MB::SNMP_Station_Name, Station_Field, Station_Chars, u"snmpname1");
    Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, nullptr);
    Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);
    // The agent serves fixed data areas, whatever the file says.
    mb.PutU32(MB::NB_In, SNMP_Agent_Data_Area);
    mb.PutU32(MB::NB_Out, SNMP_Agent_Data_Area);
}

void Build_Image_SNMP_Agent(TDeviceImage& image, const TImageSources& sources) {
    Init_Main_Param_Block(image.Main_Param_Block);
    Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_SNMP_Agent(image, pg ? &*pg : nullptr);
    Read_SNMP_Trap(image.Model_Code, sources.Path_SNMP_Trap, image.SNMP_Trap, image.Main_Param_Block, nullptr);

    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t pos = Save_Main_Param_Block(image.Main_Param_Block, 0, a);
    image.Bank_Image_A.Len = Save_SNMP_Trap_Tables(image.SNMP_Trap, pos, a);
}

#include "descfiles/UGSDML_Template.h"

#include "descfiles/DescFile_Text.h"
#include "descfiles/Maker_Identity.h"
#include "descfiles/UGSDML.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <functional>
#include <utility>

namespace {

// The texts that differ between the templates; X, Y1 and Y2 fill the
// patterns of the text table.
struct TModel_Texts {
    const char16_t* Name_DAP1;
    const char16_t* Info_DAP1;
    const char16_t* Info_M1;
    const char16_t* X;
    const char16_t* Name_M_PB1;
    const char16_t* Y1;
    const char16_t* Y2;
};

const TModel_Texts CANopen_Texts = {u"CANOPEN", u"Profinet CANOPEN Adapter", u"CANOPEN Device", u"CANOPEN",
                                    u"CANOPEN Master ", u"CANOPEN", u"CANOPEN module"};
const TModel_Texts Serial_Texts = {u"Serial", u"Profinet SerialPort  Adapter", u"device SerialPort ", u"SerialPort ",
                                   u"SerialPort  Slave ", u"SerialPort ", u"SerialPort "};
const TModel_Texts SNMP_Agent_Texts = {u"SNMPAgent", u"SNMP Agent Adapter", u"device SNMPAgent", u"SNMPAgent",
                                       u"SNMPAgent ", u"SNMPAgent", u"SNMPAgent"};
const TModel_Texts DMX_Texts = {u"DMXSlave", u"DMX Adapter", u"device DMXSlave", u"DMXSlave", u"DMXSlave ",
                                u"DMXSlave", u"DMXSlave"};
const TModel_Texts J1939_Texts = {u"J1939Device", u"Profinet J1939 Adapter", u"device J1939", u"J1939",
                                  u"J1939 Slave ", u"J1939", u"J1939"};
const TModel_Texts NMEA2000_7_Texts = {u"NMEA2000Device", u"Profinet NMEA2000 Adapter", u"device NMEA2000",
                                       u"NMEA2000", u"NMEA2000 Slave ", u"NMEA2000", u"NMEA2000"};
const TModel_Texts NMEA2000_28_Texts = {u"NMEA2000Device", u"Profinet NMEA 2000 Adapter", u"device NMEA 2000",
                                        u"NMEA 2000", u"NMEA 2000 Slave ", u"NMEA 2000", u"NMEA 2000"};
const TModel_Texts CAN_Texts = {u"CAN", u"Profinet CAN Adapter", u"device CAN", u"CAN", u"CAN", u"CAN", u"CAN"};
const TModel_Texts DeviceNet_Master_Texts = {u"DEVICENET", u"Profinet DEVICENET Master Adapter", u"device DEVICENET",
                                             u"DEVICENET", u"DEVICENET ", u"DEVICENET", u"DEVICENET"};
const TModel_Texts DeviceNet_Slave_Texts = {u"DEVICENET", u"Profinet DEVICENET Slave Adapter", u"device DEVICENET",
                                            u"DEVICENET", u"DEVICENET ", u"DEVICENET", u"DEVICENET"};
const TModel_Texts Modbus_Slave_Texts = {u"Serial", u"Profinet MODBUS Slave Adapter", u"dispositivo MODBUS",
                                         u"MODBUS", u"PROFIBUS slave", u"MODBUS Slave", u"MODBUS Slave"};
const TModel_Texts PROFIBUS_Slave_Texts = {u"PROFIBUSslave", u"PROFIBUS Adapter", u"device PROFIBUSSlave",
                                           u"PROFIBUSSlave", u"PROFIBUSSlave ", u"PROFIBUSSlave", u"PROFIBUSSlave"};
const TModel_Texts MBus_Texts = {u"MBmaster", u"Profinet MBUS master Adapter", u"dispositivo MBUS", u"MBUS",
                                 u"MBUS master ", u"MBUS master", u"MBUS master"};
const TModel_Texts Modbus_Master_Texts = {u"Serial", u"Profinet MODBUS Master Adapter", u"dispositivo MODBUS",
                                          u"MODBUS", u"PROFIBUS slave", u"MODBUS master", u"MODBUS master"};
const TModel_Texts Modbus_TCP_Master_Texts = {u"TCPmaster", u"Modbus TCP Master Adapter", u"Modbus TCP Device",
                                              u"Modbus TCP", u"Modbus TCP Master ", u"Modbus TCP", u"Modbus TCP Master"};
const TModel_Texts Modbus_TCP_Slave_Texts = {u"TCPSlave", u"Modbus TCP Slave Adapter", u"device ModBusTCPSlave",
                                             u"ModBusTCPSlave", u"ModBusTCPSlave ", u"ModBusTCPSlave", u"ModBusTCPSlave"};
const TModel_Texts EtherNetIP_Texts = {u"EtherNet/IP", u"Profinet EtherNet/IP Adapter", u"device EtherNet/IP",
                                       u"EtherNet/IP", u"EtherNet/IP", u"EtherNet/IP", u"EtherNet/IP"};
const TModel_Texts Ethernet_Texts = {u"ETHERNETDevice", u"Profinet ETHERNET Adapter", u"device ETHERNET", u"ETHERNET",
                                     u"ETHERNET Device ", u"ETHERNET", u"ETHERNET"};

enum class TFamily { A, B };
enum class TVariant { Plain, PROFIBUS, Modbus_RTU, Two_Modules };

struct TGSDML_Model {
    int Model;
    const TModel_Texts* Texts;
    TFamily Family;
    bool Station_Name;  // false: the fixed text "SERIAL"
    const char16_t* Product_Family;
    const char16_t* Order_Number;
    bool Bom;           // false: no byte-order mark, declared iso-8859-1
    TVariant Variant;
};

const TGSDML_Model GSDML_Models[] = {
    {0, &CAN_Texts, TFamily::A, true, u"GX52829", u"GX52829-A1", false, TVariant::Plain},
    {27, &CAN_Texts, TFamily::A, true, u"GX52814", u"GX52814", false, TVariant::Plain},
    {1, &DeviceNet_Master_Texts, TFamily::A, false, u"GX52831", u"GX52831-A1", true, TVariant::Plain},
    {2, &DeviceNet_Slave_Texts, TFamily::A, false, u"GX52832", u"GX52832-A1", true, TVariant::Plain},
    {3, &PROFIBUS_Slave_Texts, TFamily::A, false, u"GX52828", u"GX52828-A1", true, TVariant::PROFIBUS},
    {4, &Modbus_Master_Texts, TFamily::A, true, u"GX52825", u"GX52825-A1", true, TVariant::Modbus_RTU},
    {25, &Modbus_Master_Texts, TFamily::A, true, u"GX529-K311", u"GX529-K311", true, TVariant::Modbus_RTU},
    {5, &Modbus_Slave_Texts, TFamily::B, true, u"GX52826", u"GX52826-A1", false, TVariant::Modbus_RTU},
    {26, &Modbus_Slave_Texts, TFamily::B, true, u"GX529-K312", u"GX529-K312", false, TVariant::Modbus_RTU},
    {6, &J1939_Texts, TFamily::B, true, u"GX52833", u"GX52833", true, TVariant::Plain},
    {7, &NMEA2000_7_Texts, TFamily::B, true, u"GX52823", u"GX52823", true, TVariant::Plain},
    {8, &CANopen_Texts, TFamily::A, false, u"GX52830", u"GX52830", true, TVariant::Plain},
    {9, &Serial_Texts, TFamily::B, true, u"GX52824", u"GX52824", true, TVariant::Plain},
    {10, &MBus_Texts, TFamily::A, true, u"GX52802", u"GX52802-B2", true, TVariant::Plain},
    {11, &Modbus_TCP_Master_Texts, TFamily::A, false, u"GX52834", u"GX52834", true, TVariant::Two_Modules},
    {12, &Modbus_TCP_Slave_Texts, TFamily::A, true, u"GX52835", u"GX52835-A1", true, TVariant::Plain},
    {13, &EtherNetIP_Texts, TFamily::A, false, u"GX52839", u"GX52839-A1", true, TVariant::Plain},
    {14, &J1939_Texts, TFamily::A, false, u"GX52819", u"GX52819", true, TVariant::Plain},
    {20, &SNMP_Agent_Texts, TFamily::A, true, u"GX52836", u"GX52836-A1", true, TVariant::Plain},
    {22, &DMX_Texts, TFamily::A, false, u"GX52837", u"GX52837-A1", true, TVariant::Plain},
    {29, &DMX_Texts, TFamily::A, false, u"GX529-K314", u"GX529-K314", true, TVariant::Plain},
    {24, &CANopen_Texts, TFamily::A, true, u"GX52817", u"GX52817", true, TVariant::Plain},
    {28, &NMEA2000_28_Texts, TFamily::B, true, u"GX52820", u"GX52820", false, TVariant::Plain},
    {31, &Ethernet_Texts, TFamily::B, true, u"GX52838", u"GX52838", true, TVariant::Plain},
};

const TGSDML_Model* Find_Model(int model) {
    for (const TGSDML_Model& m : GSDML_Models)
        if (m.Model == model) return &m;
    return nullptr;
}

// The row of a writer that serves first (and second): the second code's
// values only when the program is built for it.
const TGSDML_Model& Writer_Model(int first, int second = -1) {
    return *Find_Model(second >= 0 && Model_Code == second ? second : first);
}

using TAttrs = std::vector<std::pair<const char16_t*, String>>;

// The lines of one document, indented by nesting depth.
class TLines {
public:
    void Line(const String& text) { lines_.push_back(StringOfChar(u' ', 2 * depth_) + text); }
    void Open(const char16_t* tag, const TAttrs& attrs = {}) {
        Line(u"<" + String(tag) + Attrs(attrs) + u">");
        ++depth_;
    }
    void Close(const char16_t* tag) {
        --depth_;
        Line(u"</" + String(tag) + u">");
    }
    void Leaf(const char16_t* tag, const TAttrs& attrs) { Line(u"<" + String(tag) + Attrs(attrs) + u"/>"); }
    void Text(const char16_t* tag, const String& text) {
        Line(u"<" + String(tag) + u">" + GSDML_Escape(text) + u"</" + tag + u">");
    }
    void Comment(const String& text) { Line(u"<!--" + text + u"-->"); }
    static String Attrs(const TAttrs& attrs) {
        String s;
        for (const auto& [name, value] : attrs) s += u" " + String(name) + u"=\"" + GSDML_Escape(value) + u"\"";
        return s;
    }
    std::vector<String> lines_;

private:
    int depth_ = 0;
};

const char16_t* const Namespace = u"http://www.profibus.com/GSDML/2003/11/DeviceProfile";

// The module's IOData. The plain templates always write both items, with
// whatever lengths were read; the split module writes an item only when its
// share is positive, and no child at all when neither is.
void Module_IOData(TLines& d, int in, int out, const String& in_text, const String& out_text, bool positive_only) {
    const bool with_in = !positive_only || in > 0;
    const bool with_out = !positive_only || out > 0;
    const TAttrs lengths = {{u"IOPS_Length", u"1"}, {u"IOCS_Length", u"1"}};
    if (!with_in && !with_out) {
        d.Leaf(u"IOData", lengths);
        return;
    }
    auto item = [](int length, const String& text_id) {
        return u"<DataItem" +
               TLines::Attrs({{u"DataType", u"OctetString"}, {u"Length", IntToStr(length)}, {u"TextId", text_id}}) + u"/>";
    };
    d.Open(u"IOData", lengths);
    if (with_in) d.Line(u"<Input>" + item(in, in_text) + u"</Input>");
    if (with_out) d.Line(u"<Output>" + item(out, out_text) + u"</Output>");
    d.Close(u"IOData");
}

// One ModuleItem; M is "M1" or "M2".
void Module_Item(TLines& d, const String& id, const String& ident, const String& sub_ident, const String& M,
                 const std::function<void()>& io_data) {
    d.Open(u"ModuleItem", {{u"ID", id}, {u"ModuleIdentNumber", ident}});
    d.Open(u"ModuleInfo");
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_" + M}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_" + M}});
    d.Leaf(u"OrderNumber", {{u"Value", u"12345-0040-M"}});
    d.Close(u"ModuleInfo");
    d.Open(u"VirtualSubmoduleList");
    d.Open(u"VirtualSubmoduleItem", {{u"ID", id}, {u"SubmoduleIdentNumber", sub_ident}});
    io_data();
    d.Open(u"RecordDataList");
    d.Open(u"ParameterRecordDataItem", {{u"Index", u"128"}, {u"Length", u"2"}});
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_" + M + u"_IDT_REF_channel"}});
    d.Leaf(u"Const", {{u"ByteOffset", u"0"}, {u"Data", u"0x00,0x00"}});
    d.Leaf(u"Ref", {{u"TextId", u"IDT_REF_reaction_to_cpu_stop"},
                    {u"Visible", u"true"},
                    {u"DataType", u"BitArea"},
                    {u"ByteOffset", u"0"},
                    {u"BitOffset", u"0"},
                    {u"BitLength", u"2"},
                    {u"DefaultValue", u"2"},
                    {u"AllowedValues", u"0..2"},
                    {u"ValueItemTarget", u"IDV_reaction_to_cpu_stop"},
                    {u"ID", u"IDT_REF_reaction_to_cpu_stop"}});
    d.Open(u"MenuList");
    d.Open(u"MenuItem", {{u"ID", u"IDT_NAME_" + M + u"_IDT_REF_channel"}});
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_" + M + u"_IDT_REF_channel"}});
    d.Leaf(u"MenuRef", {{u"MenuTarget", u"IDT_NAME_" + M + u"_Base_Parameters"}});
    d.Close(u"MenuItem");
    d.Open(u"MenuItem", {{u"ID", u"IDT_NAME_" + M + u"_Base_Parameters"}});
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_" + M + u"_Base_Parameters"}});
    d.Leaf(u"ParameterRef", {{u"ParameterTarget", u"IDT_REF_reaction_to_cpu_stop"}});
    d.Close(u"MenuItem");
    d.Close(u"MenuList");
    d.Close(u"ParameterRecordDataItem");
    d.Close(u"RecordDataList");
    d.Open(u"ModuleInfo");
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_" + M}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_" + M}});
    d.Close(u"ModuleInfo");
    d.Close(u"VirtualSubmoduleItem");
    d.Close(u"VirtualSubmoduleList");
    d.Close(u"ModuleItem");
}

constexpr int Module_Max = 1024;  // bytes each way that one Modbus TCP master module carries

std::vector<String> Build_Lines(const TGSDML_Model& m) {
    const TModel_Texts& t = *m.Texts;
    const bool family_a = m.Family == TFamily::A;
    const bool rtu = m.Variant == TVariant::Modbus_RTU;
    const int in = GSDML_Input_Len;
    const int out = GSDML_Output_Len;
    const bool second_module = m.Variant == TVariant::Two_Modules && (in > Module_Max || out > Module_Max);
    const String station = m.Station_Name ? GSDML_Station_Name : String(u"SERIAL");
    // A PROFINET name of station is lower case; the implementation type is free text.
    const String dns_name = LowerCase(station);
    const String vendor = Maker.Vendor_Name;
    const String in_text = rtu ? u"IDT_Input" : u"IDT_Input_1";
    const String out_text = rtu ? u"IDT_Output" : u"IDT_Output_1";

    TLines d;
    d.Line(String(u"<?xml version=\"1.0\" encoding=\"") + (m.Bom ? u"UTF-8" : u"iso-8859-1") + u"\"?>");
    d.Comment(u"A fieldbus integration example.");
    d.Open(u"ISO15745Profile", {{u"xmlns", Namespace},
                                {u"xmlns:xsi", u"http://www.w3.org/2001/XMLSchema-instance"},
                                {u"xsi:schemaLocation", String(Namespace) + u" ..\\xsd\\GSDML-DeviceProfile-v2.31.xsd"}});
    d.Open(u"ProfileHeader");
    d.Text(u"ProfileIdentification", u"PROFINET Device Profile");
    d.Text(u"ProfileRevision", u"1.00");
    d.Text(u"ProfileName", u"Device Profile for PROFINET Devices");
    d.Text(u"ProfileSource", u"PROFIBUS Nutzerorganisation e. V. (PNO)");
    d.Text(u"ProfileClassID", u"Device");
    d.Open(u"ISO15745Reference");
    d.Text(u"ISO15745Part", u"4");
    d.Text(u"ISO15745Edition", u"1");
    d.Text(u"ProfileTechnology", u"GSDML");
    d.Close(u"ISO15745Reference");
    d.Close(u"ProfileHeader");

    d.Open(u"ProfileBody");
    d.Open(u"DeviceIdentity", {{u"VendorID", u"0x" + IntToHex(Maker.Profinet_Vendor_ID, 4)},
                               {u"DeviceID", u"0x" + IntToHex(Profinet_Device_ID(m.Model), 4)}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_Device"}});
    d.Leaf(u"VendorName", {{u"Value", vendor}});
    d.Close(u"DeviceIdentity");
    d.Open(u"DeviceFunction");
    d.Leaf(u"Family", {{u"MainFamily", u"Gateway"}, {u"ProductFamily", m.Product_Family}});
    d.Close(u"DeviceFunction");
    d.Open(u"ApplicationProcess");

    d.Open(u"DeviceAccessPointList");
    d.Open(u"DeviceAccessPointItem", {{u"PNIO_Version", u"V2.3"},
                                      {u"RequiredSchemaVersion", u"V2.25"},
                                      {u"ID", u"IDD_1"},
                                      {u"PhysicalSlots", u"0..4"},
                                      {u"ModuleIdentNumber", u"0x00000001"},
                                      {u"MinDeviceInterval", u"64"},
                                      {u"ImplementationType", station},
                                      {u"DNS_CompatibleName", dns_name},
                                      {u"FixedInSlots", u"0"},
                                      {u"ObjectUUID_LocalIndex", u"1"},
                                      {u"MultipleWriteSupported", u"true"},
                                      {u"MaxSupportedRecordSize", u"8192"},
                                      {u"ParameterizationSpeedupSupported", u"true"},
                                      {u"PowerOnToCommReady", u"350"},
                                      {u"DeviceAccessSupported", u"true"},
                                      {u"SharedDeviceSupported", u"true"},
                                      {u"CheckDeviceID_Allowed", u"false"},
                                      {u"NameOfStationNotTransferable", u"true"}});
    d.Open(u"ModuleInfo");
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_DAP1"}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_DAP1"}});
    d.Leaf(u"VendorName", {{u"Value", vendor}});
    d.Leaf(u"OrderNumber", {{u"Value", m.Order_Number}});
    d.Close(u"ModuleInfo");
    d.Open(u"SubslotList");
    d.Leaf(u"SubslotItem", {{u"SubslotNumber", family_a ? u"1" : u"0"}, {u"TextId", u"IDT_SUBSLOT_1"}});
    d.Leaf(u"SubslotItem", {{u"SubslotNumber", u"32768"}, {u"TextId", u"IDT_SUBSLOT_Interface"}});
    d.Leaf(u"SubslotItem", {{u"SubslotNumber", u"32769"}, {u"TextId", u"IDT_SUBSLOT_Port1"}});
    d.Leaf(u"SubslotItem", {{u"SubslotNumber", u"32770"}, {u"TextId", u"IDT_SUBSLOT_Port2"}});
    d.Close(u"SubslotList");
    if (m.Variant == TVariant::PROFIBUS)
        d.Leaf(u"IOConfigData", {{u"MaxInputLength", u"250"}, {u"MaxOutputLength", u"250"}});
    else
        d.Leaf(u"IOConfigData", {{u"MaxInputLength", u"1440"}, {u"MaxOutputLength", u"1440"}, {u"MaxDataLength", u"2880"}});
    d.Open(u"UseableModules");
    d.Leaf(u"ModuleItemRef", {{u"ModuleItemTarget", u"IDM_1"}, {rtu ? u"AllowedInSlots" : u"FixedInSlots", u"1"}});
    if (second_module) d.Leaf(u"ModuleItemRef", {{u"ModuleItemTarget", u"IDM_2"}, {u"FixedInSlots", u"2"}});
    d.Close(u"UseableModules");
    d.Open(u"VirtualSubmoduleList");
    d.Open(u"VirtualSubmoduleItem", {{u"ID", u"IDS_V1"}, {u"SubmoduleIdentNumber", u"0x00000000"}});
    d.Leaf(u"IOData", {{u"IOPS_Length", u"1"}, {u"IOCS_Length", u"1"}});
    d.Open(u"ModuleInfo");
    d.Leaf(u"Name", {{u"TextId", u"IDT_NAME_VS1"}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_VS1"}});
    d.Close(u"ModuleInfo");
    d.Close(u"VirtualSubmoduleItem");
    d.Close(u"VirtualSubmoduleList");
    d.Open(u"SystemDefinedSubmoduleList");
    d.Open(u"InterfaceSubmoduleItem", {{u"ID", u"IDS_I"},
                                       {u"SubmoduleIdentNumber", u"0x00000001"},
                                       {u"SubslotNumber", u"32768"},
                                       {u"TextId", u"IDT_NAME_IS"},
                                       {u"SupportedRT_Classes", u"RT_CLASS_1"},
                                       {u"SupportedProtocols", u"SNMP;LLDP"},
                                       {u"SupportedMibs", u"MIB2"}});
    if (family_a) d.Open(u"ApplicationRelations", {{u"NumberOfAR", u"2"}});
    else d.Open(u"ApplicationRelations");
    d.Leaf(u"TimingProperties",
           {{u"SendClock", u"32"}, {u"ReductionRatio", rtu ? u"1 2 4 8 16 32" : u"1 2 4 8 16 32 64 128 256 512"}});
    d.Close(u"ApplicationRelations");
    d.Close(u"InterfaceSubmoduleItem");
    for (const char16_t* p : {u"1", u"2"})
        d.Leaf(u"PortSubmoduleItem", {{u"ID", u"IDS_P" + String(p)},
                                      {u"SubmoduleIdentNumber", u"0x00000002"},
                                      {u"SubslotNumber", p == String(u"1") ? u"32769" : u"32770"},
                                      {u"TextId", u"IDT_NAME_PS" + String(p)},
                                      {u"MaxPortRxDelay", u"350"},
                                      {u"MaxPortTxDelay", u"160"}});
    d.Close(u"SystemDefinedSubmoduleList");
    d.Comment(u"This element tells the engineering tool that the DAP supports fieldbus integration (slot clusters).");
    d.Comment(u"FieldbusIntegrationSlots MaxSupported=\"127\" Range=\"100..9999\"/");
    d.Close(u"DeviceAccessPointItem");
    d.Close(u"DeviceAccessPointList");

    d.Open(u"ModuleList");
    d.Comment(u"The \"normal\" module carrying the FAP.");
    const bool split = m.Variant == TVariant::Two_Modules;
    Module_Item(d, u"IDM_1", family_a ? u"0x00000002" : u"0x00000001", u"0x00000001", u"M1", [&] {
        // The Modbus TCP master's first module carries at most 1024 bytes each way.
        if (split)
            Module_IOData(d, in > Module_Max ? Module_Max : in, out > Module_Max ? Module_Max : out, in_text, out_text,
                          true);
        else
            Module_IOData(d, in, out, in_text, out_text, false);
    });
    if (second_module)
        Module_Item(d, u"IDM_2", u"0x00000002", u"0x00000002", u"M2", [&] {
            Module_IOData(d, in > Module_Max ? in - Module_Max : 0, out > Module_Max ? out - Module_Max : 0,
                          u"IDT_Input_1", u"IDT_Output_1", true);
        });
    d.Close(u"ModuleList");

    d.Open(u"ValueList");
    d.Open(u"ValueItem", {{u"ID", u"IDV_reaction_to_cpu_stop"}});
    d.Open(u"Assignments");
    d.Leaf(u"Assign", {{u"TextId", u"IDT_ASSIGN_do_set_substitude_values"}, {u"Content", u"0"}});
    d.Leaf(u"Assign", {{u"TextId", u"IDT_ASSIGN_do_values_will_hold"}, {u"Content", u"1"}});
    d.Leaf(u"Assign", {{u"TextId", u"IDT_ASSIGN_do_continue_counting"}, {u"Content", u"2"}});
    d.Close(u"Assignments");
    d.Close(u"ValueItem");
    d.Close(u"ValueList");

    d.Open(u"CategoryList");
    d.Open(u"CategoryItem", {{u"ID", u"IDC_DI"}, {u"TextId", u"IDT_CATEGORY_DI"}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_DI"}});
    d.Close(u"CategoryItem");
    d.Open(u"CategoryItem", {{u"ID", u"IDC_DO"}, {u"TextId", u"IDT_CATEGORY_DO"}});
    d.Leaf(u"InfoText", {{u"TextId", u"IDT_INFO_DO"}});
    d.Close(u"CategoryItem");
    d.Close(u"CategoryList");

    d.Open(u"ExternalTextList");
    d.Open(u"PrimaryLanguage");
    auto text = [&d](const char16_t* id, const String& value) { d.Leaf(u"Text", {{u"TextId", id}, {u"Value", value}}); };
    auto text_vf = [&d](const char16_t* id, const String& value) { d.Leaf(u"Text", {{u"Value", value}, {u"TextId", id}}); };
    const String X = t.X, Y1 = t.Y1, Y2 = t.Y2;
    text(u"IDT_INFO_Device", vendor + u" Gateways");
    text(u"IDT_NAME_DAP1", t.Name_DAP1);
    text(u"IDT_INFO_DAP1", t.Info_DAP1);
    text(u"IDT_SUBSLOT_1", u"Subslot 1");
    text(u"IDT_SUBSLOT_Interface", u"Interface");
    text(u"IDT_SUBSLOT_Port1", u"Port 1");
    text(u"IDT_SUBSLOT_Port2", u"Port 2");
    text(u"IDT_RECORD_NAME_Head", u"Parameters of head module");
    text(u"IDT_REF_Power", u"Percent power");
    text(u"IDT_NAME_VS1", u"Submodule V1");
    text(u"IDT_INFO_VS1", u"Description of submodule V1");
    text(u"IDT_NAME_IS", u"I");
    text(u"IDT_NAME_PS1", u"P1");
    text(u"IDT_NAME_PS2", u"P2");
    text(u"IDT_NAME_M1", u"Module");
    text(u"IDT_INFO_M1", t.Info_M1);
    if (second_module) {
        text(u"IDT_NAME_M2", u"Module2");
        text(u"IDT_INFO_M2", u"Modbus TCP Device 2");
    }
    text(u"IDT_NAME_FAP", u"FAP for " + X);
    text(u"IDT_INFO_FAP", u"Description of FAP for " + X);
    text(u"IDT_RECORD_NAME_SlotCluster", u"Parameters of the FAP");
    text(u"IDT_REF_SlotClusterBegin", u"Beginning of slot cluster");
    text(u"IDT_NAME_M_PB1", t.Name_M_PB1);
    text(u"IDT_INFO_M_PB1", u"Description of " + Y1);
    text(u"IDT_NAME_S_PB1", u"Module of a " + Y1);
    text(u"IDT_INFO_S_PB1", u"Description of module of a " + Y2);
    text(u"IDT_PB_Input", u"Digital input " + Y2);
    text(u"IDT_PB_InputBit0", u"Digital input bit " + Y2);
    text(u"IDT_NAME_S1", u"Submodule 1");
    text(u"IDT_INFO_S1", u"Description of submodule 1");
    if (rtu) {
        text(u"IDT_Input", u"Input byte");
        text(u"IDT_NAME_S2", u"Submodule 2");
        text(u"IDT_INFO_S2", u"Description of submodule 2");
        text(u"IDT_Output", u"Output byte");
    } else {
        text(u"IDT_Input_1", u"Input byte");
        text(u"IDT_Output_1", u"Output word");
    }
    text(u"IDT_CATEGORY_DI", u"Digital Input");
    text(u"IDT_INFO_DI", u"Description of digital input");
    text(u"IDT_CATEGORY_DO", u"Digital output");
    text(u"IDT_INFO_DO", u"Description of digital output");
    text(u"IDT_NAME_M1_IDT_REF_channel", u"Canale x");
    if (second_module) text(u"IDT_NAME_M2_IDT_REF_channel", u"Canale x 2");
    text(u"IDT_REF_reaction_to_cpu_stop", u"Reaction to CPU STOP");
    text(u"IDT_NAME_M1_Base_Parameters", u"Base Parameters");
    if (second_module) text(u"IDT_NAME_M2_Base_Parameters", u"Base Parameters 2");
    text_vf(u"IDT_ASSIGN_do_set_substitude_values", u"Output substitute value");
    text_vf(u"IDT_ASSIGN_do_values_will_hold", u"Keep last value");
    text_vf(u"IDT_ASSIGN_do_continue_counting", u"Continue operation");
    d.Close(u"PrimaryLanguage");
    d.Close(u"ExternalTextList");

    d.Close(u"ApplicationProcess");
    d.Close(u"ProfileBody");
    d.Close(u"ISO15745Profile");
    return std::move(d.lines_);
}

TDescEncoding Encoding_Of(const TGSDML_Model& m) { return m.Bom ? TDescEncoding::Utf8Bom : TDescEncoding::Latin1; }

// The station name is the only text of the project in the document; a
// character that the file's declared encoding cannot hold is named to the
// user rather than written as something else.
void Check_Station_Latin1(const TGSDML_Model& m) {
    if (m.Bom || !m.Station_Name) return;
    const String& name = GSDML_Station_Name;
    for (size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c <= 0xFF) continue;
        // A character beyond U+FFFF is named as itself, not by its first surrogate.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
        throw EDescFileError(Lang_Message(1189, {name, Describe_Char(c)}));
    }
}

// PROFINET carries at most 1440 bytes each way; the PROFIBUS slave model's
// data come from PROFIBUS, which carries at most 244.
void Check_Lengths(const TGSDML_Model& m) {
    const int most = m.Variant == TVariant::PROFIBUS ? 244 : 1440;
    const std::pair<int, const String*> lengths[] = {{GSDML_Input_Len, &GSDML_Input_Field},
                                                     {GSDML_Output_Len, &GSDML_Output_Field}};
    for (const auto& [length, field] : lengths)
        if (length < 0 || length > most)
            throw EDescFileError(Lang_Message(1104, {*field, IntToStr(length), u"0", IntToStr(most)}));
}

void Write_Template(const String& Path, void (*size_reader)(), int first, int second = -1) {
    const TGSDML_Model& m = Writer_Model(first, second);
    size_reader();
    Check_Lengths(m);
    Check_Station_Latin1(m);
    Save_Desc_Lines(Path, Build_Lines(m), Encoding_Of(m));
}

}  // namespace

String GSDML_Escape(const String& text) {
    String out;
    for (size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        switch (c) {
        case u'&': out += u"&amp;"; continue;
        case u'<': out += u"&lt;"; continue;
        case u'>': out += u"&gt;"; continue;
        case u'"': out += u"&quot;"; continue;
        case u'\'': out += u"&apos;"; continue;
        case u'\t': out += u"&#9;"; continue;
        case u'\n': out += u"&#10;"; continue;
        case u'\r': out += u"&#13;"; continue;
        default: break;
        }
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool paired = high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        const bool lone = (high && !paired) || (c >= 0xDC00 && c <= 0xDFFF);
        if (c < 0x20 || c == 0xFFFE || c == 0xFFFF || lone)
            throw EDescFileError(Lang_Message(1190, {Describe_Char(c)}));
        out += c;
        if (paired) out += text[++i];
    }
    return out;
}

bool GSDML_Has_Template(int model) { return Find_Model(model) != nullptr; }

std::vector<String> Build_GSDML_Lines() {
    const TGSDML_Model* m = Find_Model(Model_Code);
    if (!m) return {};
    return Build_Lines(*m);
}

TDescEncoding GSDML_Encoding() {
    const TGSDML_Model* m = Find_Model(Model_Code);
    return m ? Encoding_Of(*m) : TDescEncoding::Utf8Bom;
}

void Write_GSDML_CAN(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_CAN, 0, 27); }
void Write_GSDML_DeviceNet_Master(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_DeviceNet_Master, 1); }
void Write_GSDML_DeviceNet_Slave(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_DeviceNet_Slave, 2); }
void Write_GSDML_PROFIBUS_Slave(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_PROFIBUS_Slave, 3); }
void Write_GSDML_Modbus_Master(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_Modbus_Master, 4, 25); }
void Write_GSDML_Modbus_Slave(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_Modbus_Slave, 5, 26); }
void Write_GSDML_J1939_6(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_J1939, 6); }
void Write_GSDML_NMEA2000_7(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_NMEA2000, 7); }
void Write_GSDML_CANopen_8(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_CANopen, 8); }
void Write_GSDML_Serial(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_Serial, 9); }
void Write_GSDML_MBus(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_MBus, 10); }
void Write_GSDML_Modbus_TCP_Master(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_Modbus_TCP_Master, 11); }
void Write_GSDML_Modbus_TCP_Slave(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_Modbus_TCP_Slave, 12); }
void Write_GSDML_EtherNetIP(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_EtherNetIP, 13); }
void Write_GSDML_J1939_14(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_J1939, 14); }
void Write_GSDML_SNMP_Agent(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_SNMP_Agent, 20); }
void Write_GSDML_DMX(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_DMX, 22, 29); }
void Write_GSDML_CANopen_24(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_CANopen, 24); }
void Write_GSDML_NMEA2000_28(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_NMEA2000, 28); }
void Write_GSDML_Ethernet(const String& Path) { Write_Template(Path, Read_GSDML_Sizes_Ethernet, 31); }

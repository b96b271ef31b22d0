// "Update Device" for the largest projects the converter holds: model 35 with
// a full "ParGen.xml" and 256 enabled rows in each SNMP map; model 18 with
// 1024 Modbus requests and 256 + 256 SNMP rows; model 1 with 64 DeviceNet
// slaves and 1536 mapped bytes each way; the CANopen models 8 and 33 with
// every table full. Each build must stay under 20 ms.
#include "image/ImageBuild.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A project folder with its "bin" folder, removed at the end.
class TBenchProject {
public:
    TBenchProject() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "imagebench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir_ = tmpl;
        std::filesystem::create_directories(dir_ + "/bin");
    }
    ~TBenchProject() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TImageSources sources;

protected:
    void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ + "/" + name, std::ios::binary) << text; }
    String Path(const std::string& name) const { return Utf8ToString(dir_ + "/" + name); }
    std::string dir_;
};

std::string SNMP_Trap_Full() {
    std::string trap = "<SNMP_Trap><SNMP_Trap_Read>";
    for (int i = 0; i < 256; ++i)
        trap += "<row Enable=\"Y\" Community_Name=\"community-" + std::to_string(i) +
                "\" Type=\"Int\" On_Change=\"Y\" On_Command=\"N\" On_Timer=\"Y\" Time=\"1000\" Position=\"" +
                std::to_string(i * 2) + "\" Bit=\"0\" NumBits=\"16\" Description=\"value-" + std::to_string(i) +
                "\" IP_Address=\"192.168.0." + std::to_string(i % 250 + 1) + "\" Conversion=\"Float * 10\" Mnemonic=\"m\"/>";
    trap += "</SNMP_Trap_Read><SNMP_Trap_Write>";
    for (int i = 0; i < 256; ++i)
        trap += "<row Enable=\"Y\" Community_Name=\"private-" + std::to_string(i) + "\" Type=\"String\" Position=\"" +
                std::to_string(512 + i) + "\" Bit=\"0\" NumBits=\"4\" Description=\"setting-" + std::to_string(i) +
                "\" Conversion=\"None\" Mnemonic=\"m\"/>";
    return trap + "</SNMP_Trap_Write></SNMP_Trap>\r\n<!--Version 1.000-->\r\n";
}

class TLargestProject : public TBenchProject {
public:
    explicit TLargestProject(int model = 35) {

        std::string pargen = "<Par_Gen>";
        auto key = [&](const std::string& k, const std::string& v) { pargen += "<" + k + ">" + v + "</" + k + ">"; };
        for (const char* group : {"PROFINET_", "EtherNetIP_"}) {
            for (int i = 1; i <= 4; ++i) {
                key(std::string(group) + "IP" + std::to_string(i), std::to_string(10 + i));
                key(std::string(group) + "SM" + std::to_string(i), "255");
                key(std::string(group) + "GAT" + std::to_string(i), std::to_string(i));
            }
            key(std::string(group) + "EN_GAT", "1");
        }
        key("PROFINET_NAME_STA", "station-name-15");
        key("SNMP_Contact", "contact-16-chars");
        key("SNMP_Location", "location-16-char");
        key("SNMP_VERSION1", "1");
        key("SNMP_VERSION2", "1");
        key("SNMP_VERSION3", "1");
        key("SNMP_VER3_USER", "user-of-19-letters!");
        key("SNMP_VER3_SECURITY_LEVEL", "Auth Priv");
        key("SNMP_VER3_AUTHORITY", "authpassword-15");
        key("SNMP_VER3_AUTHORITY_MODE", "SHA");
        key("SNMP_VER3_PRIVACY_MODE", "AES");
        key("SNMP_VER3_PRIVACY_HEX", "1");
        key("SNMP_VER3_PRIVACY", "00112233445566");
        key("EtherNetIP_Num_Byte_In", "496");
        key("EtherNetIP_Num_Byte_Out", "496");
        key("SNMP_MapType", "1");
        Write("ParGen.xml", pargen + "</Par_Gen>\r\n<!--Version 1.000-->\r\n");

        Write("SNMP_Trap.xml", SNMP_Trap_Full());

        std::string requests = "<EtherNetIP_to_Modbus>";
        for (const char* table : {"Modbus_Read", "Modbus_Write"}) {
            requests += std::string("<") + table + ">";
            for (int i = 0; i < 512; ++i)
                requests += "<row Slave_ID=\"" + std::to_string(i % 247 + 1) + "\" Type=\"Holding Register\" Address=\"" +
                            std::to_string(i) + "\" NPoint=\"2\" PollTime=\"100\" MaxError=\"3\" Position=\"" +
                            std::to_string(4 * i) + "\" Bit=\"0\" Swap=\"N\" Swap_Word=\"N\" OnChange=\"Y\" "
                            "Force_F16=\"N\" Format_SNMP=\"Int 2 bytes\" Mnemonic=\"request\"/>";
            requests += std::string("</") + table + ">";
        }
        Write("ModbusM_SetAccess.xml", requests + "</EtherNetIP_to_Modbus>\r\n<!--Version 1.000-->\r\n");

        // 64 slaves of 24 bytes each way: 1536 mapped bytes in each map.
        std::string slaves = "<DNET_Net>", offsets = "<Define_Offset>";
        for (int id = 0; id < 64; ++id) {
            slaves += "<row ID=\"" + std::to_string(id) + "\" NB_IN=\"24\" NB_OUT=\"24\" Reset_DeviceNet=\"Y\" "
                      "Reset_PROFINET=\"N\" Mnemonic=\"slave\"/>";
            offsets += "<Nodo_DNET>";
            for (const char* side : {"ByteIN", "ByteOUT"}) {
                offsets += std::string("<") + side + ">";
                for (int k = 0; k < 24; ++k)
                    offsets += "<row Offset=\"" + std::to_string(id * 24 + k) + "\" Mnemonic=\"b\"/>";
                offsets += std::string("</") + side + ">";
            }
            offsets += "</Nodo_DNET>";
        }
        Write("DNETM_Net.xml", slaves + "</DNET_Net>\r\n<!--Version 1.000-->\r\n");
        Write("DNETM_DefOff.xml", offsets + "</Define_Offset>\r\n<!--Version 1.000-->\r\n");

        sources.Model_Code = model;
        sources.Project_Dir = Utf8ToString(dir_);
        sources.Path_ParGen = Path("ParGen.xml");
        sources.Path_SNMP_Trap = Path("SNMP_Trap.xml");
        sources.Path_ModbusM_SetAccess = Path("ModbusM_SetAccess.xml");
        sources.Path_DNETM_Net = Path("DNETM_Net.xml");
        sources.Path_DNETM_DefOff = Path("DNETM_DefOff.xml");
    }
};

void BM_Build_Device_Image_Model35(benchmark::State& state) {
    TLargestProject project;
    for (auto _ : state) {
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(project.sources);
        benchmark::DoNotOptimize(image->Bank_Image_C.Len);
        if (image->SNMP_Trap.Read_Count != 256 || image->SNMP_Trap.Write_Count != 256) {
            state.SkipWithError("the project does not fill both SNMP maps");
            break;
        }
    }
    state.SetLabel("256 + 256 SNMP rows");
}
BENCHMARK(BM_Build_Device_Image_Model35)->Unit(benchmark::kMillisecond);

void BM_Build_And_Write_Device_Image_Model35(benchmark::State& state) {
    TLargestProject project;
    for (auto _ : state) Write_Device_Image(*Build_Device_Image(project.sources), project.sources.Project_Dir);
}
BENCHMARK(BM_Build_And_Write_Device_Image_Model35)->Unit(benchmark::kMillisecond);

void BM_Build_Device_Image_Model18(benchmark::State& state) {
    TLargestProject project(18);
    for (auto _ : state) {
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(project.sources);
        benchmark::DoNotOptimize(image->Bank_Image_A.Len);
        if (image->Bank_Image_A.Len != 0xE800 || image->SNMP_Trap.Read_Count != 256 || image->SNMP_Trap.Write_Count != 256) {
            state.SkipWithError("the project does not fill the requests and both SNMP maps");
            break;
        }
    }
    state.SetLabel("1024 requests, 256 + 256 SNMP rows");
}
BENCHMARK(BM_Build_Device_Image_Model18)->Unit(benchmark::kMillisecond);

void BM_Build_Device_Image_Model1(benchmark::State& state) {
    TLargestProject project(1);
    for (auto _ : state) {
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(project.sources);
        const Byte* mb = image->Bank_Image_A.Data() + 14336;
        if (mb[124] != 64 || (mb[136] | mb[137] << 8) != 1536 || (mb[140] | mb[141] << 8) != 1536) {
            state.SkipWithError("the project does not fill the slaves and both maps");
            break;
        }
    }
    state.SetLabel("64 slaves, 1536 + 1536 mapped bytes");
}
BENCHMARK(BM_Build_Device_Image_Model1)->Unit(benchmark::kMillisecond);

// Every CANopen table full, 128 guarded nodes and 127 nodes to restart.
class TCANopenProject : public TBenchProject {
public:
    explicit TCANopenProject(int model) {
        auto rows = [](int count, const std::string& attributes) {
            std::string xml;
            for (int i = 0; i < count; ++i) xml += "<row " + attributes + " Mnemonic=\"n" + std::to_string(i) + "\"/>";
            return xml;
        };
        const std::string sdo = R"(Device_ID="3" Poll_Time="100" Index="8192" SubIndex="1" NByte="4" Address_B1="1" )"
                                R"(Address_B2="2" Address_B3="3" Address_B4="4" On_Change="Y")";
        Write("SDO_Server_CANopen.xml", "<S><SDO_Read>" + rows(512, sdo) + "</SDO_Read><SDO_Write>" + rows(512, sdo) +
                                            "</SDO_Write></S><!--SW_VERSION = 1.508-->");
        Write("SDO_Client_CANopen.xml", "<S><SDO_Read>" + rows(256, sdo) + "</SDO_Read><SDO_Write>" + rows(256, sdo) +
                                            "</SDO_Write></S><!--SW_VERSION = 1.508-->");
        const std::string pdo = R"(COB-ID="385" TimeOut="10" Send_Time="10" Dimension="8" Address_B1="1" Address_B2="2" )"
                                R"(Address_B3="3" Address_B4="4" Address_B5="5" Address_B6="6" Address_B7="7" Address_B8="8" On_Change="Y")";
        Write("PDO_CANopen.xml", "<P><Receive_PDO>" + rows(128, pdo) + "</Receive_PDO><Transmit_PDO>" + rows(128, pdo) +
                                     "</Transmit_PDO></P><!--SW_VERSION = 1.508-->");
        Write("NodeGuard.xml", "<G>" + rows(128, R"(NodeID="5" GuardTime="1000" LifeTimeFactor="3")") + "</G>");
        Write("ReStart_CANopen.xml", "<Enable_ReStart_CANopen>" + rows(127, R"(Enable_ReStart="Y")") + "</Enable_ReStart_CANopen>");
        Write("SNMP_Trap.xml", SNMP_Trap_Full());
        Write("ParGen.xml", "<Par_Gen><CANopen_IDDev>5</CANopen_IDDev><SNMP_VERSION1>1</SNMP_VERSION1></Par_Gen>");
        sources.Model_Code = model;
        sources.Project_Dir = Utf8ToString(dir_);
        sources.Path_ParGen = Path("ParGen.xml");
        sources.Path_SNMP_Trap = Path("SNMP_Trap.xml");
        sources.Path_SDO_Server_CANopen = Path("SDO_Server_CANopen.xml");
        sources.Path_SDO_Client_CANopen = Path("SDO_Client_CANopen.xml");
        sources.Path_PDO_CANopen = Path("PDO_CANopen.xml");
        sources.Path_NodeGuard = Path("NodeGuard.xml");
        sources.Path_ReStart_CANopen = Path("ReStart_CANopen.xml");
    }
};

void BM_Build_Device_Image_CANopen(benchmark::State& state) {
    TCANopenProject project(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(project.sources);
        benchmark::DoNotOptimize(image->Bank_Image_B.Len);
        TLeBytes main = image->Main_Param_Block.Bytes();
        if (main.GetU32(MB::CANopen_Counts) != 512 || main.GetU32(MB::Node_Guard_Count) != 128) {
            state.SkipWithError("the project does not fill the tables");
            break;
        }
    }
    state.SetLabel(state.range(0) == 33 ? "full tables + 256 + 256 SNMP rows" : "full tables");
}
BENCHMARK(BM_Build_Device_Image_CANopen)->Arg(8)->Arg(33)->Unit(benchmark::kMillisecond);

// An M-Bus network of 200 meters with 8 variables each, every value with
// its SNMP settings: 2000 entries of the fixed SNMP map for model 21.
class TMBusProject : public TBenchProject {
public:
    explicit TMBusProject(int model) {
        Write("ParGen.xml", "<Par_Gen><Meter_Baud>5</Meter_Baud><Meter_Par>1</Meter_Par><Meter_Req_Delay>300</Meter_Req_Delay>"
                            "<PROFINET_NB_OUT>1439</PROFINET_NB_OUT></Par_Gen>\r\n<!--Version 1.000-->\r\n");
        auto snmp = [](const std::string& prefix, int n) {
            return prefix + "Community_Name=\"public\" " + prefix + "OnChange=\"1\" " + prefix + "OnTimer=\"1\" " + prefix +
                   "Timer=\"60000\" " + prefix + "Desc=\"value-" + std::to_string(n) + "\" " + prefix + "IP_Add=\"192.168.0." +
                   std::to_string(n % 250 + 1) + "\" " + prefix + "Mnemonic=\"m\" ";
        };
        std::string xml = "<M-Bus_Network>";
        for (int node = 0; node < 200; ++node) {
            xml += "<Nodo Enable_Node=\"1\" ID_Primary=\"" + std::to_string(node % 250 + 1) + "\" ID_Secondary=\"" +
                   std::to_string(10000000 + node) + "\" Descrizione=\"meter\" Send_SND_NKE=\"1\" Reset_App=\"0\" Node_State=\"1\" "
                   "Ident_Num=\"1\" BCDtoINT_IN=\"1\" Swap_IN=\"0\" Node_ID_Type=\"1\" Var_List_Type=\"0\" Cut_After=\"2\" " +
                   snmp("NS_", node) + snmp("IN_", node) + ">";
            for (int v = 0; v < 8; ++v)
                xml += "<Variabile Enable=\"1\" Desc=\"record\" Type=\"" + std::to_string(v == 7 ? 21 : v) +
                       "\" Fun_Field=\"0\" Dim=\"" + std::to_string(v % 7) + "\" Unit=\"1\" Scale=\"0\" StoNumber=\"0\" "
                       "Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" SWAP=\"0\" VIF_ASCII=\"unit\" Length=\"0\" TP_Mod_Regs=\"0\" "
                       "ForceInteger32=\"0\" Position=\"1\" Post_Operation=\"0\" Conv_Float=\"0\" " + snmp("Var_", v) + "/>";
            xml += "</Nodo>";
        }
        Write("M_Bus.xml", xml + "</M-Bus_Network>\r\n<!--SW_VERSION = 1.308-->\r\n");
        sources.Model_Code = model;
        sources.Project_Dir = Utf8ToString(dir_);
        sources.Path_ParGen = Path("ParGen.xml");
        sources.Path_M_Bus = Path("M_Bus.xml");
    }
};

void BM_Build_Device_Image_MBus(benchmark::State& state) {
    const int model = static_cast<int>(state.range(0));
    TMBusProject project(model);
    const std::size_t expected = model == 21 ? 2000 * 48 : 0;
    for (auto _ : state) {
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(project.sources);
        benchmark::DoNotOptimize(image->MBus_Image_Bank.Len);
        if (image->MBus_Image_Bank3.Len != expected) {
            state.SkipWithError("the network does not fill the fixed SNMP map");
            break;
        }
    }
    state.SetLabel("200 meters x 8 variables");
}
BENCHMARK(BM_Build_Device_Image_MBus)->Arg(21)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

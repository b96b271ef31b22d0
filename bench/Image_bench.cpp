// "Update Device" for the largest model-35 project the converter holds: a full
// "ParGen.xml" and 256 enabled rows in each SNMP map. The build must stay
// well under 20 ms.
#include "image/ImageBuild.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A project folder with its "bin" folder in the temporary folder, removed again at the end.
class TBenchProject {
public:
    TBenchProject() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "imagebench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir_ = tmpl;
        std::filesystem::create_directories(dir_ + "/bin");
        sources.Project_Dir = Utf8ToString(dir_);
        sources.Path_ParGen = Utf8ToString(dir_ + "/ParGen.xml");
        sources.Path_SNMP_Trap = Utf8ToString(dir_ + "/SNMP_Trap.xml");
        sources.Path_M_Bus = Utf8ToString(dir_ + "/M_Bus.xml");
    }
    ~TBenchProject() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TBenchProject(const TBenchProject&) = delete;
    TBenchProject& operator=(const TBenchProject&) = delete;
    TImageSources sources;

protected:
    void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ + "/" + name, std::ios::binary) << text; }

private:
    std::string dir_;
};

class TLargestProject : public TBenchProject {
public:
    TLargestProject() {
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
        Write("ParGen.xml", pargen + "</Par_Gen>\r\n<!--Version 1.000-->\r\n");

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
        Write("SNMP_Trap.xml", trap + "</SNMP_Trap_Write></SNMP_Trap>\r\n<!--Version 1.000-->\r\n");

        sources.Model_Code = 35;
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

// The description files of the largest projects the table editors allow:
// an EDS from 30 + 30 PDOs and 500 + 500 SDO objects, a MIB from 256 + 256
// enabled map rows, and a GSDML document. Each runs within one click of the
// wizard, so each must stay well below 100 ms.
#include "descfiles/UEds.h"
#include "descfiles/UGSDML.h"
#include "descfiles/USNMP_MIB.h"
#include "shell/Globals.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class TLargestProject {
public:
    TLargestProject() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "descbench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir_ = tmpl;
        std::string pdo = "<EtherNetIP_to_SDO_CANopen>";
        for (const char* table : {"Receive_PDO", "Transmit_PDO"}) {
            pdo += std::string("<") + table + ">";
            for (int i = 0; i < 30; ++i)
                pdo += "<row COB-ID=\"" + std::to_string(0x181 + i) + "\" Dimension=\"8\"/>";
            pdo += std::string("</") + table + ">";
        }
        Write("PDO_CANopen.xml", pdo + "</EtherNetIP_to_SDO_CANopen>");
        std::string sdo = "<EtherNetIP_to_SDO_CANopen>";
        for (const char* table : {"SDO_Read", "SDO_Write"}) {
            sdo += std::string("<") + table + ">";
            for (int i = 0; i < 500; ++i)
                sdo += "<row Index=\"" + std::to_string(0x2000 + i / 4 + (table[4] == 'W' ? 0x100 : 0)) +
                       "\" SubIndex=\"" + std::to_string(i % 4 + 1) + "\" NByte=\"2\"/>";
            sdo += std::string("</") + table + ">";
        }
        Write("SDO_Server_CANopen.xml", sdo + "</EtherNetIP_to_SDO_CANopen>");
        std::string snmp = "<SNMP_Trap>";
        for (const char* table : {"SNMP_Trap_Read", "SNMP_Trap_Write"}) {
            snmp += std::string("<") + table + ">";
            for (int i = 0; i < 256; ++i)
                snmp += "<row Enable=\"Y\" Type=\"Int\" Description=\"" + std::string(1, table[10]) + "value" +
                        std::to_string(i) + "\"/>";
            snmp += std::string("</") + table + ">";
        }
        Write("SNMP_Trap.xml", snmp + "</SNMP_Trap>");
        Write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>1440</PROFINET_NB_IN><PROFINET_NB_OUT>1440</PROFINET_NB_OUT>"
                            "<PROFINET_NAME_STA>station</PROFINET_NAME_STA></Par_Gen>");
        Path_PDO_CANopen = Path("PDO_CANopen.xml");
        Path_SDO_Server_CANopen = Path("SDO_Server_CANopen.xml");
        Path_SNMP_Trap = Path("SNMP_Trap.xml");
        Path_ParGen = Path("ParGen.xml");
    }
    ~TLargestProject() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    String Path(const std::string& name) const { return Utf8ToString(dir_ + "/" + name); }

private:
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ + "/" + name, std::ios::binary) << text;
    }
    std::string dir_;
};

void BM_EDS_Largest(benchmark::State& state) {
    TLargestProject project;
    Model_Code = 24;
    for (auto _ : state) Write_EDS_File(project.Path("out.eds"));
}
BENCHMARK(BM_EDS_Largest)->Unit(benchmark::kMillisecond);

void BM_MIB_Largest(benchmark::State& state) {
    TLargestProject project;
    Model_Code = 15;
    for (auto _ : state) {
        Read_SNMP_Trap_For_MIB();
        Write_MIB_File(project.Path("out.mib"));
    }
}
BENCHMARK(BM_MIB_Largest)->Unit(benchmark::kMillisecond);

void BM_GSDML(benchmark::State& state) {
    TLargestProject project;
    Model_Code = 24;
    for (auto _ : state) Write_GSDML_For_Model(project.Path("out.xml"));
}
BENCHMARK(BM_GSDML)->Unit(benchmark::kMillisecond);

}  // namespace

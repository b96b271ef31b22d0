// Show and OK of the SNMP map editor with both maps full (2 x 256 enabled
// rows): on stand-in grids (reset, load, numbering; checks and the file
// written) and in the window itself.
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "tables/USNMP_Trap_Access.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

String BenchPath() { return Utf8ToString("/tmp/tables_bench_" + std::to_string(::getpid()) + ".xml"); }

// A full file whose every row passes the checks.
void Write_Full_File(const String& path) {
    StandInGrid read(257, 15), write(257, 10);
    for (int r = 1; r <= SNMP_Map_Row_Count; ++r) {
        const std::string n = std::to_string(r);
        read.SetRow(r, "Y|public|Int|Y|N|Y|1000|" + std::to_string(r % 1024) + "|0|16|r" + n +
                           "|192.168.1.5|Float * 10|Mnemonic " + n);
        write.SetRow(r, "Y|public|String|" + std::to_string(r) + "|0|8|w" + n + "|None|Mnemonic " + n);
    }
    TXmlDocument doc;
    SNMP_Build_Document(doc, read, write, 17);
    doc.SaveToFile(path);
}

void BM_SnmpShow(benchmark::State& state) {
    Load_Default_Texts();
    const String path = BenchPath();
    Write_Full_File(path);
    StandInGrid read(257, 15), write(257, 10);
    for (auto _ : state) {
        TShow_Guard guard;
        SNMP_Show_Tables(guard, read, write, 17, path);
        benchmark::DoNotOptimize(guard.Incomplete());
    }
    std::remove(StringToUtf8(path).c_str());
}
BENCHMARK(BM_SnmpShow)->Unit(benchmark::kMillisecond);

void BM_SnmpOk(benchmark::State& state) {
    Load_Default_Texts();
    const String path = BenchPath();
    Write_Full_File(path);
    StandInGrid read(257, 15), write(257, 10);
    TShow_Guard guard;
    SNMP_Show_Tables(guard, read, write, 17, path);
    std::vector<String> descs;
    for (auto _ : state) {
        if (!SNMP_OK(guard, read, write, 17, true, descs, path)) state.SkipWithError("a full map must pass");
    }
    std::remove(StringToUtf8(path).c_str());
}
BENCHMARK(BM_SnmpOk)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The window's show with both grids: column set-up, the 1,024 Position
// choices of each grid and the full file; then OK with checks and save.

// Windows need a platform; the benchmark runs without a display.
const int Offscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0);

struct Window_Fixture {
    Window_Fixture() {
        (void)Offscreen;
        Load_Default_Texts();
        Model_Code = 17;
        Path_SNMP_Trap = BenchPath();
        Write_Full_File(Path_SNMP_Trap);
        w.reset(new TFSNMP_Trap_Access(nullptr));
        w->AfterConstruction();
    }
    ~Window_Fixture() {
        std::remove(StringToUtf8(Path_SNMP_Trap).c_str());
        Path_SNMP_Trap.clear();
    }
    std::unique_ptr<TFSNMP_Trap_Access> w;
};

void BM_SnmpWindowShow(benchmark::State& state) {
    Window_Fixture f;
    for (auto _ : state) f.w->FormShow(nullptr);
}
BENCHMARK(BM_SnmpWindowShow)->Unit(benchmark::kMillisecond);

void BM_SnmpWindowOk(benchmark::State& state) {
    Window_Fixture f;
    f.w->FormShow(nullptr);
    for (auto _ : state) {
        f.w->SetModalResult(mrNone);
        f.w->Btn_OKClick(nullptr);
        if (f.w->ModalResult() != mrOk) state.SkipWithError("a full map must pass");
    }
}
BENCHMARK(BM_SnmpWindowOk)->Unit(benchmark::kMillisecond);

}  // namespace

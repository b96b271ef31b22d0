// Show and OK of the Modbus master request editor with a full file (2 x 512
// requests) and both Position lists of 1,024 choices (model 18).
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "tables/USetAccess.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Windows need a platform; the benchmark runs without a display.
const int Offscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0);

String BenchPath() { return Utf8ToString("/tmp/setaccess_bench_" + std::to_string(::getpid()) + ".xml"); }

// A full file whose every request passes the checks: one register each,
// two bytes apart.
void Write_Full_File(const String& path) {
    StandInGrid read(513, 13), write(513, 15);
    for (int r = 1; r <= SetAccess_Row_Count; ++r) {
        const std::string n = std::to_string(r), pos = std::to_string(2 * (r - 1));
        read.SetRow(r, "1|Holding Register|" + n + "|1|100|3|" + pos + "|0|N|N|Int 2 bytes|Mnemonic " + n);
        write.SetRow(r, "2|Holding Register|" + n + "|1|100|Y|3|" + pos + "|0|N|N|Int 2 bytes|N|Mnemonic " + n);
    }
    TXmlDocument doc;
    Modbus_Build_Document(SetAccess_Desc, doc, read, write, 18);
    doc.SaveToFile(path);
}

struct Window_Fixture {
    Window_Fixture() {
        (void)Offscreen;
        Load_Default_Texts();
        Model_Code = 18;
        Path_ModbusM_SetAccess = BenchPath();
        Write_Full_File(Path_ModbusM_SetAccess);
        w.reset(new TFSetAccess(nullptr));
        w->AfterConstruction();
    }
    ~Window_Fixture() {
        std::remove(StringToUtf8(Path_ModbusM_SetAccess).c_str());
        Path_ModbusM_SetAccess.clear();
    }
    std::unique_ptr<TFSetAccess> w;
};

void BM_SetAccessWindowShow(benchmark::State& state) {
    Window_Fixture f;
    for (auto _ : state) f.w->FormShow(nullptr);
    if (f.w->ACG_Modbus_Write->GetCellEx(setaccess_col::Slave, SetAccess_Row_Count) != u"2")
        state.SkipWithError("the file must fill both tables");
}
BENCHMARK(BM_SetAccessWindowShow)->Unit(benchmark::kMillisecond);

void BM_SetAccessWindowOk(benchmark::State& state) {
    Window_Fixture f;
    f.w->FormShow(nullptr);
    for (auto _ : state) {
        f.w->SetModalResult(mrNone);
        f.w->bitbtn1Click(nullptr);
        if (f.w->ModalResult() != mrOk) state.SkipWithError("a full file must pass");
    }
}
BENCHMARK(BM_SetAccessWindowOk)->Unit(benchmark::kMillisecond);

}  // namespace

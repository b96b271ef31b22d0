// The grid drop-down with 20,000 items: one typed character (the edit's
// completion and the character lookup) and one opening of the pop-up
// (loading the items, sizing the auto-size column, sorting).
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include "grid/ExCustomGridDropDown.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kItems = 20000;

const bool kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

struct DropDownForm {
    TForm form{nullptr};
    TCustomExGridDropDown* dd;
    DropDownForm() {
        form.SetBounds(0, 0, 400, 300);
        dd = new TCustomExGridDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 160, 21);
        dd->Columns().Add()->Header = u"Name";
        dd->Columns().Add()->AutoSize = true;
        dd->Sorting = ExCustomGridDropDown::gsSingleColumn;
        for (int i = 0; i < kItems; ++i) {
            auto* it = dd->Items().Add();
            // The matches lie at the end, so that the lookup walks every item.
            it->Text().Add((i == kItems - 1 ? u"Z" : u"A") + IntToStr(i));
            it->Text().Add(u"row " + IntToStr(i));
        }
        dd->EndUpdate();
        form.Show();
        dd->SetFocus();
    }
};

void BM_TypedCharacter(benchmark::State& state) {
    DropDownForm f;
    for (auto _ : state) {
        f.dd->SetText(u"");
        SimulateText(u"z");
        benchmark::DoNotOptimize(f.dd->ItemIndex());
    }
}
BENCHMARK(BM_TypedCharacter)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State& state) {
    DropDownForm f;
    f.dd->GetGrid()->SortSettings().SetColumn(0);
    for (auto _ : state) {
        f.dd->ShowDropDown();
        state.PauseTiming();
        f.dd->HideDropDown(true);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

}  // namespace

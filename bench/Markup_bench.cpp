// The markup renderer against plain DrawText on 1,000 one-line texts, and a
// filter condition with many "*" against a long value.

#include "framework/Graphics.h"
#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/MarkupRender.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<String> Texts() {
    std::vector<String> T;
    for (int i = 0; i < 1000; ++i) T.push_back(u"Cell text number " + String(1, char16_t(u'0' + i % 10)));
    return T;
}

void BM_DrawText(benchmark::State& State) {
    TBitmap B(300, 30);
    const auto T = Texts();
    for (auto _ : State)
        for (const String& S : T) {
            TRect R = Rect(0, 0, 300, 30);
            B.Canvas().DrawText(S, R, DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS);
        }
}
BENCHMARK(BM_DrawText);

void BM_DrawHTMLText(benchmark::State& State) {
    TBitmap B(300, 30);
    const auto T = Texts();
    TMarkupDrawArgs In;
    TMarkupDrawResult Out;
    for (auto _ : State)
        for (const String& S : T) DrawHTMLText(B.Canvas(), S, Rect(0, 0, 300, 30), In, Out);
}
BENCHMARK(BM_DrawHTMLText);

void BM_FilterEightStars(benchmark::State& State) {
    const String Value(255, u'a');
    for (auto _ : State) benchmark::DoNotOptimize(MatchFilterExpression(u"*a*a*a*a*a*a*a*b", Value, true));
}
BENCHMARK(BM_FilterEightStars);

}  // namespace

#include "framework/Windows.h"

#include "framework/Forms.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>
#include <map>
#include <mutex>

namespace {
// The classic metrics at 96 dots per inch.
struct MetricEntry {
    int Index;
    int Value;
};
const MetricEntry MetricTable[] = {
    {SM_CXVSCROLL, 17},    {SM_CYHSCROLL, 17},    {SM_CYCAPTION, 19},      {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},      {SM_CXDLGFRAME, 3},    {SM_CYDLGFRAME, 3},      {SM_CYVTHUMB, 17},
    {SM_CXHTHUMB, 17},     {SM_CXICON, 32},       {SM_CYICON, 32},         {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},     {SM_CYMENU, 19},       {SM_CYVSCROLL, 17},      {SM_CXHSCROLL, 17},
    {SM_SWAPBUTTON, 0},    {SM_CXMIN, 112},       {SM_CYMIN, 27},          {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},       {SM_CXFRAME, 4},       {SM_CYFRAME, 4},         {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},   {SM_MENUDROPALIGNMENT, 0}, {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
    {SM_CXSMICON, 16},     {SM_CYSMICON, 16},     {SM_CYSMCAPTION, 15},    {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},        {SM_CXMENUCHECK, 13},  {SM_CYMENUCHECK, 13},    {SM_MOUSEWHEELPRESENT, 1},
    {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
};

// The classic settings of the desktop.
struct ParameterEntry {
    Cardinal Action;
    Int64 Value;
};
const ParameterEntry ParameterTable[] = {
    {SPI_GETWHEELSCROLLLINES, 3},  // lines per wheel notch
    {SPI_GETDRAGFULLWINDOWS, 1},
    {SPI_GETTOOLTIPANIMATION, 1},
    {SPI_GETTOOLTIPFADE, 1},
};

std::mutex OverridesLock;
std::map<std::pair<int, Cardinal>, Int64> Overrides;

bool Overridden(TSystemMetricsGuard::TKind kind, Cardinal index, Int64& value) {
    std::lock_guard<std::mutex> lock(OverridesLock);
    auto it = Overrides.find({int(kind), index});
    if (it == Overrides.end()) return false;
    value = it->second;
    return true;
}

QRect DesktopGeometry() {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return QRect(0, 0, 1024, 768);
    return primary->virtualGeometry();
}

std::atomic<int> Beeps{0};
}  // namespace

int GetSystemMetrics(int Index) {
    Int64 v;
    if (Overridden(TSystemMetricsGuard::Metric, Cardinal(Index), v)) return int(v);
    switch (Index) {
    case SM_CXSCREEN: return Screen->Width();
    case SM_CYSCREEN: return Screen->Height();
    case SM_CXFULLSCREEN: return Screen->WorkAreaWidth();
    case SM_CYFULLSCREEN: return Screen->WorkAreaHeight() - GetSystemMetrics(SM_CYCAPTION);
    case SM_XVIRTUALSCREEN: return DesktopGeometry().left();
    case SM_YVIRTUALSCREEN: return DesktopGeometry().top();
    case SM_CXVIRTUALSCREEN: return DesktopGeometry().width();
    case SM_CYVIRTUALSCREEN: return DesktopGeometry().height();
    case SM_CMONITORS: return Screen->MonitorCount();
    default: break;
    }
    for (const MetricEntry& e : MetricTable)
        if (e.Index == Index) return e.Value;
    return 0;
}

bool SystemParametersInfo(Cardinal Action, Cardinal, void* Param, Cardinal) {
    if (!Param) return false;
    if (Action == SPI_GETWORKAREA) {
        *static_cast<TRect*>(Param) = Screen->WorkAreaRect();
        return true;
    }
    Int64 v = 0;
    bool known = Overridden(TSystemMetricsGuard::Parameter, Action, v);
    for (const ParameterEntry& e : ParameterTable)
        if (!known && e.Action == Action) {
            v = e.Value;
            known = true;
        }
    if (!known) return false;
    if (Action == SPI_GETWHEELSCROLLLINES) *static_cast<Cardinal*>(Param) = Cardinal(v);
    else *static_cast<int*>(Param) = int(v);
    return true;
}

TSystemMetricsGuard::TSystemMetricsGuard(TKind Kind, Cardinal Index, Int64 Value) : FKind(Kind), FIndex(Index) {
    std::lock_guard<std::mutex> lock(OverridesLock);
    auto it = Overrides.find({int(Kind), Index});
    FHadValue = it != Overrides.end();
    FSaved = FHadValue ? it->second : 0;
    Overrides[{int(Kind), Index}] = Value;
}

TSystemMetricsGuard::~TSystemMetricsGuard() {
    std::lock_guard<std::mutex> lock(OverridesLock);
    if (FHadValue) Overrides[{int(FKind), FIndex}] = FSaved;
    else Overrides.erase({int(FKind), FIndex});
}

bool MessageBeep(Cardinal) {
    ++Beeps;
    // Offscreen there is nothing to hear; the count is what tests look at.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        QApplication::beep();
    return true;
}

int MessageBeepCount() { return Beeps.load(); }

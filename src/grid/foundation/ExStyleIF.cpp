#include "grid/foundation/ExStyleIF.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

namespace {

const String Office12General = u"Software\\Microsoft\\Office\\12.0\\Common\\General";
const String Office14General = u"Software\\Microsoft\\Office\\14.0\\Common\\General";
const String Office12Common = u"Software\\Microsoft\\Office\\12.0\\Common";
const String Office14Common = u"Software\\Microsoft\\Office\\14.0\\Common";

// The office schemes a "Theme" value names, per suite version: 1, 2, 3.
constexpr TOfficeTheme Office14Themes[] = {ot2010Blue, ot2010Silver, ot2010Black};
constexpr TOfficeTheme Office12Themes[] = {ot2007Blue, ot2007Silver, ot2007Black};

TThemeNotifier* TheThemeNotifier = nullptr;

}  // namespace

TGPKStyle OfficeThemeStyle(TOfficeTheme Theme) {
    static constexpr struct {
        TOfficeTheme theme;
        TGPKStyle style;
    } table[] = {
        {ot2003Blue, tsOffice2003Blue},     {ot2003Silver, tsOffice2003Silver}, {ot2003Olive, tsOffice2003Olive},
        {ot2003Classic, tsOffice2003Classic}, {ot2007Blue, tsOffice2007Luna},   {ot2007Silver, tsOffice2007Silver},
        {ot2007Black, tsOffice2007Obsidian}, {ot2010Blue, tsOffice2010Blue},   {ot2010Silver, tsOffice2010Silver},
        {ot2010Black, tsOffice2010Black},
    };
    for (const auto& row : table)
        if (row.theme == Theme) return row.style;
    return tsOffice2003Classic;
}

bool IsWinXPOrLater() {
    const TOSVersion v = GetOSVersion();
    return v.Major > 5 || (v.Major == 5 && v.Minor >= 1);
}

bool IsComCtl6() { return GetComCtlMajorVersion() > 5; }

bool IsVistaOrLater() { return ModuleExports(u"kernel32", u"GetLocaleInfoEx"); }

String GetDefaultFontName() { return IsVistaOrLater() ? u"Segoe UI" : u"Tahoma"; }

int GetXPColorScheme() {
    if (!IsWinXPOrLater()) return 0;
    if (!ModuleExports(u"uxtheme.dll", u"IsThemeActive") || !IsThemeActive() || !IsComCtl6()) return 0;
    if (!ModuleExports(u"uxtheme.dll", u"GetCurrentThemeName")) return 0;
    String file, color, size;
    GetCurrentThemeName(file, color, size);
    // The colour name is looked for within each scheme's own name.
    static constexpr struct {
        const char16_t* name;
        int scheme;
    } schemes[] = {{u"NormalColor", 1}, {u"HomeStead", 2}, {u"Metallic", 3}};
    if (color.empty()) return 0;
    for (const auto& s : schemes)
        if (String(s.name).find(color) != String::npos) return s.scheme;
    return 0;
}

int GetOfficeVersion() {
    TRegistryStore reg;
    int result = 0;
    if (reg.KeyExists(Office12General)) result = 1;
    if (reg.KeyExists(Office14General)) result = 2;
    return result;
}

int ReadOfficeThemeValue(TRegistryStore& Reg, const String& Key) {
    if (!Reg.KeyExists(Key) || !Reg.OpenKey(u"\\" + Key, false)) return -1;
    int value = -1;
    // A value that is not a whole number counts as none.
    if (Reg.ValueExists(u"Theme")) {
        try {
            value = Reg.ReadInteger(u"Theme");
        } catch (const EConvertError&) {
            value = -1;
        }
    }
    Reg.CloseKey();
    return value;
}

TOfficeTheme CurrentOfficeTheme() {
    TRegistryStore reg;
    for (const auto& [key, themes] : {std::pair{Office14Common, Office14Themes}, std::pair{Office12Common, Office12Themes}}) {
        const int v = ReadOfficeThemeValue(reg, key);
        if (v >= 1 && v <= 3) return themes[v - 1];
        if (v != -1) return ot2003Blue;
    }
    static constexpr TOfficeTheme byScheme[] = {ot2003Classic, ot2003Blue, ot2003Olive, ot2003Silver};
    const int s = GetXPColorScheme();
    return s >= 0 && s <= 3 ? byScheme[s] : ot2003Classic;
}

// ---------------------------------------------------------------------------
// THandleList

void THandleList::Check(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
}

void THandleList::Insert(int Index, HWND Value) {
    if (Index < 0 || Index > Count()) Check(Index);
    FItems.insert(FItems.begin() + Index, Value);
}

void THandleList::Delete(int Index) {
    Check(Index);
    FItems.erase(FItems.begin() + Index);
}

void THandleList::DeleteValue(HWND Value) {
    for (int i = 0; i < Count(); ++i) {
        if (FItems[size_t(i)] == Value) {
            Delete(i);
            return;
        }
    }
}

bool THandleList::HasValue(HWND Value) const {
    for (HWND h : FItems)
        if (h == Value) return true;
    return false;
}

HWND THandleList::Items(int Index) const {
    Check(Index);
    return FItems[size_t(Index)];
}

void THandleList::SetItems(int Index, HWND Value) {
    Check(Index);
    FItems[size_t(Index)] = Value;
}

// ---------------------------------------------------------------------------
// TRegMonitorThread

TRegMonitorThread::TRegMonitorThread() : TThread(true) {}

TRegMonitorThread::~TRegMonitorThread() = default;

Cardinal TRegMonitorThread::Filter() {
    if (FFilter == 0) FFilter = 15;
    return FFilter;
}

void TRegMonitorThread::Stop() {
    Terminate();
    FEvent.SetEvent();
}

void TRegMonitorThread::RegisterWindow(HWND Value) {
    std::lock_guard lock(FListLock);
    if (!FWinList.HasValue(Value)) FWinList.Add(Value);
}

void TRegMonitorThread::UnRegisterWindow(HWND Value) {
    std::lock_guard lock(FListLock);
    FWinList.DeleteValue(Value);
}

THandleList TRegMonitorThread::WinList() const {
    std::lock_guard lock(FListLock);
    return FWinList;
}

void TRegMonitorThread::Execute() {
    if (!FReg.OpenKey(u"\\" + FKey, false)) throw Exception(u"Unable to open registry key " + FKey);
    // The store tells of every rewrite of its file, the watched key's subtree included.
    FReg.NotifyChange(FEvent);
    while (!Terminated()) {
        if (FEvent.WaitFor(INFINITE) != wrSignaled) continue;
        if (Terminated()) break;
        const String key = FKey;
        const LPARAM path = reinterpret_cast<LPARAM>(key.c_str());
        if (FWnd != 0) SendMessage(FWnd, WM_OFFICETHEMECHANGE, FRootKey, path);
        // The list may change while the windows are told: they are told from a copy.
        const THandleList windows = WinList();
        for (int i = 0; i < windows.Count() && !Terminated(); ++i)
            SendMessage(windows.Items(i), WM_OFFICETHEMECHANGE, FRootKey, path);
        FEvent.ResetEvent();
        if (!Terminated()) FReg.NotifyChange(FEvent);
    }
}

// ---------------------------------------------------------------------------
// The notifier

TThemeNotifierWindow::TThemeNotifierWindow(TComponent* AOwner) : TWinControl(AOwner) {}

void TThemeNotifierWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_OFFICETHEMECHANGE && OnOfficeThemeChange) OnOfficeThemeChange(this);
    TWinControl::Dispatch(Message);
}

TThemeNotifier::TThemeNotifier(TComponent* AOwner) : TComponent(AOwner) {
    const int version = GetOfficeVersion();
    if (version != 1 && version != 2) return;
    FNotifier = new TThemeNotifierWindow(this);
    FNotifier->SetVisible(false);
    if (auto* parent = dynamic_cast<TWinControl*>(AOwner)) FNotifier->SetParent(parent);
    FNotifier->OnOfficeThemeChange = [this](TObject*) {
        if (OnOfficeThemeChange) OnOfficeThemeChange(this);
    };
    FMonitor = new TRegMonitorThread();
    FMonitor->SetWnd(FNotifier->Handle());
    FMonitor->SetFilter(4);  // value changes only
    FMonitor->SetKey(version == 2 ? Office14Common : Office12Common);
    FMonitor->SetRootKey(HKEY_CURRENT_USER);
    FMonitor->SetWatchSub(true);
    FMonitor->Start();
}

TThemeNotifier::~TThemeNotifier() {
    if (FMonitor) {
        // It ends at once: waiting keeps it from telling a window that is going.
        FMonitor->Stop();
        FMonitor->WaitFor();
        delete FMonitor;
        FMonitor = nullptr;
    }
    if (TheThemeNotifier == this) TheThemeNotifier = nullptr;
}

void TThemeNotifier::RegisterWindow(HWND Handle) {
    if (FMonitor) FMonitor->RegisterWindow(Handle);
}

void TThemeNotifier::UnRegisterWindow(HWND Handle) {
    if (FMonitor) FMonitor->UnRegisterWindow(Handle);
}

TThemeNotifier* GetThemeNotifier(TComponent* Owner) {
    if (!TheThemeNotifier) {
        TComponent* owner = Owner;
        if (TCustomForm* main = Application->MainForm(); main && main->HandleAllocated()) owner = main;
        TheThemeNotifier = new TThemeNotifier(owner);
    }
    return TheThemeNotifier;
}

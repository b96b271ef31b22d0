#pragma once
// The style vocabulary the grid library's controls share (presets, colour
// tones, the two style interfaces), the probes of the desktop's look, the
// office colour scheme read from the registry store, and the theme notifier
// that tells registered windows when that scheme may have changed.

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/IniFiles.h"
#include "framework/Threads.h"

#include <mutex>
#include <vector>

// Style presets.
enum TGPKStyle {
    tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
    tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black
};

// One colour set of a flat look.
struct TColorTone {
    TColor BrushColor = clNone;
    TColor BorderColor = clNone;
    TColor TextColor = clNone;
};

// The colour sets of a flat look, passed and kept by value.
struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
};

// A control that takes on a style preset (found with dynamic_cast).
class IGPKStyle {
public:
    virtual ~IGPKStyle() = default;
    virtual void SetComponentStyle(TGPKStyle AStyle) = 0;
};

// A control that takes on colour tones (found with dynamic_cast).
class IGPKTones {
public:
    virtual ~IGPKTones() = default;
    virtual void SetColorTones(const TColorTones& ATones) = 0;
};

enum TOfficeTheme {
    ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black, ot2010Blue,
    ot2010Silver, ot2010Black, otUnknown
};

// The preset a control following the office scheme takes for it.
TGPKStyle OfficeThemeStyle(TOfficeTheme Theme);

// Probes of the desktop, from the framework's fixed answers.
bool IsWinXPOrLater();
bool IsComCtl6();
bool IsVistaOrLater();
// "Segoe UI" from that version on, else "Tahoma".
String GetDefaultFontName();
// 0 no visual style, 1 "NormalColor", 2 "HomeStead", 3 "Metallic".
int GetXPColorScheme();

// 0, or 1 / 2 when the office suite's 12.0 / 14.0 keys exist in the store.
int GetOfficeVersion();
// The whole number "Theme" under the key; -1 when the key or the value is
// missing or the value is not a whole number.
int ReadOfficeThemeValue(TRegistryStore& Reg, const String& Key);
// Never otUnknown.
TOfficeTheme CurrentOfficeTheme();

// The scheme-change message sent to registered windows: WParam the root key,
// LParam the key path (a zero-terminated String buffer valid during the call).
constexpr Cardinal WM_OFFICETHEMECHANGE = 2993;
constexpr WPARAM HKEY_CURRENT_USER = 0x80000001;

// Window handles in insertion order; an index out of range raises EListError.
class THandleList {
public:
    int Count() const { return int(FItems.size()); }
    void Add(HWND Value) { FItems.push_back(Value); }
    void Insert(int Index, HWND Value);
    void Delete(int Index);
    // Removes the first equal entry; nothing when absent.
    void DeleteValue(HWND Value);
    bool HasValue(HWND Value) const;
    HWND Items(int Index) const;
    void SetItems(int Index, HWND Value);

private:
    void Check(int Index) const;
    std::vector<HWND> FItems;
};

// Watches a key of the registry store and sends WM_OFFICETHEMECHANGE to Wnd
// and every listed window (on the user-interface thread) at each change.
class TRegMonitorThread : public TThread {
public:
    TRegMonitorThread();
    ~TRegMonitorThread() override;
    // Ends the thread: marks it terminated and wakes it; it notifies no one after.
    void Stop();

    const String& Key() const { return FKey; }
    void SetKey(const String& Value) { FKey = Value; }
    WPARAM RootKey() const { return FRootKey; }
    void SetRootKey(WPARAM Value) { FRootKey = Value; }
    bool WatchSub() const { return FWatchSub; }
    void SetWatchSub(bool Value) { FWatchSub = Value; }
    // 0 reads as 15 (names, attributes, values, security) and is kept so.
    Cardinal Filter();
    void SetFilter(Cardinal Value) { FFilter = Value; }
    HWND Wnd() const { return FWnd; }
    void SetWnd(HWND Value) { FWnd = Value; }
    // The further windows; changed only through these, under the list's lock.
    void RegisterWindow(HWND Value);
    void UnRegisterWindow(HWND Value);
    THandleList WinList() const;

protected:
    void Execute() override;

private:
    TEvent FEvent{true, false};
    TRegistryStore FReg;
    String FKey;
    WPARAM FRootKey = HKEY_CURRENT_USER;
    bool FWatchSub = false;
    Cardinal FFilter = 0;
    HWND FWnd = 0;
    mutable std::mutex FListLock;
    THandleList FWinList;
};

// A hidden window that turns WM_OFFICETHEMECHANGE into OnOfficeThemeChange.
class TThemeNotifierWindow : public TWinControl {
public:
    explicit TThemeNotifierWindow(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    TNotifyEvent OnOfficeThemeChange;
};

// The one process-wide watcher of the office colour scheme. Without the
// office suite's keys it has neither window nor thread.
class TThemeNotifier : public TComponent {
public:
    explicit TThemeNotifier(TComponent* AOwner);
    ~TThemeNotifier() override;
    // Adds the window once; nothing without a monitor thread.
    void RegisterWindow(HWND Handle);
    void UnRegisterWindow(HWND Handle);
    TRegMonitorThread* RegMonitorThread() const { return FMonitor; }
    TThemeNotifierWindow* NotifierWindow() const { return FNotifier; }

    TNotifyEvent OnOfficeThemeChange;

private:
    TRegMonitorThread* FMonitor = nullptr;
    TThemeNotifierWindow* FNotifier = nullptr;
};

// The notifier, made on first call: owned by the main form when it has its
// window, else by Owner.
TThemeNotifier* GetThemeNotifier(TComponent* Owner);

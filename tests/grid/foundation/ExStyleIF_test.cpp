#include "grid/foundation/ExStyleIF.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const String Office14 = u"\\Software\\Microsoft\\Office\\14.0\\Common";
const String Office12 = u"\\Software\\Microsoft\\Office\\12.0\\Common";

// A registry store file of its own for the run of one test.
struct Registry {
    TempDir dir;
    Registry() { TRegistryStore::SetDefaultFileName(Utf8ToString(dir.file("registry.ini"))); }
    ~Registry() { TRegistryStore::SetDefaultFileName(String()); }
    void Write(const String& key, const String& name, const String& value) {
        TRegistryStore reg;
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteString(name, value);
    }
    void Key(const String& key) {
        TRegistryStore reg;
        ASSERT_TRUE(reg.OpenKey(key, true));
    }
};

// A window that counts the scheme-change messages it gets.
class Listener : public TWinControl {
public:
    using TWinControl::TWinControl;
    int changes = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_OFFICETHEMECHANGE) {
            ++changes;
            lastPath = reinterpret_cast<const Char*>(m.LParam);
        }
        TWinControl::Dispatch(m);
    }
    String lastPath;
};

// Runs the calls of other threads for the user-interface thread until Done.
template <class F>
bool PumpUntil(F Done, int ms = 5000) {
    const auto end = GetTickCount64() + ms;
    while (!Done() && GetTickCount64() < end) CheckSynchronize(10);
    return Done();
}

TEST(ExStyleIF, OfficeThemeFromTheRegistryStore) {
    struct Case {
        const char16_t* v14;  // nullptr: no key
        const char16_t* v12;
        TOfficeTheme want;
    } cases[] = {
        {u"3", u"1", ot2010Black}, {u"1", nullptr, ot2010Blue},  {u"5", u"1", ot2003Blue},
        {nullptr, u"2", ot2007Silver}, {nullptr, u"7", ot2003Blue}, {u"blue", u"3", ot2007Black},
        {u"", u"", ot2003Blue},    // the styled renderer's colour name is "NormalColor"
    };
    for (const Case& c : cases) {
        Registry r;
        if (c.v14) r.Write(Office14, u"Theme", c.v14);
        if (c.v12) r.Write(Office12, u"Theme", c.v12);
        // An empty text counts as no value at all.
        EXPECT_EQ(CurrentOfficeTheme(), c.want) << StringToUtf8(c.v14 ? c.v14 : u"-") << " "
                                                << StringToUtf8(c.v12 ? c.v12 : u"-");
    }
    Registry none;
    SetThemeRenderer(trClassic);
    EXPECT_EQ(GetXPColorScheme(), 0);
    EXPECT_EQ(CurrentOfficeTheme(), ot2003Classic);
    SetThemeRenderer(trStyled);
    EXPECT_EQ(GetXPColorScheme(), 1);
    EXPECT_EQ(GetDefaultFontName(), u"Segoe UI");
    EXPECT_TRUE(IsWinXPOrLater());
    EXPECT_EQ(OfficeThemeStyle(ot2007Black), tsOffice2007Obsidian);
    EXPECT_EQ(OfficeThemeStyle(ot2007Blue), tsOffice2007Luna);

    EXPECT_EQ(GetOfficeVersion(), 0);
    none.Key(u"\\Software\\Microsoft\\Office\\12.0\\Common\\General");
    EXPECT_EQ(GetOfficeVersion(), 1);
    none.Key(u"\\Software\\Microsoft\\Office\\14.0\\Common\\General");
    EXPECT_EQ(GetOfficeVersion(), 2);
}

TEST(ExStyleIF, HandleListAndFilter) {
    THandleList list;
    list.Add(5);
    list.Add(7);
    list.Insert(0, 3);
    list.Add(5);
    list.DeleteValue(5);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0), 3u);
    EXPECT_EQ(list.Items(1), 7u);
    EXPECT_EQ(list.Items(2), 5u);
    list.DeleteValue(99);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THROW(list.Items(3), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);

    TRegMonitorThread monitor;
    EXPECT_EQ(monitor.Filter(), 15u);
    monitor.SetFilter(4);
    EXPECT_EQ(monitor.Filter(), 4u);
    monitor.RegisterWindow(9);
    monitor.RegisterWindow(9);
    EXPECT_EQ(monitor.WinList().Count(), 1);
}

TEST(ExStyleIF, NotifierWithoutOfficeKeysHasNoThread) {
    Registry r;
    TForm form(nullptr);
    TThemeNotifier* n = GetThemeNotifier(&form);
    EXPECT_EQ(GetThemeNotifier(nullptr), n);
    EXPECT_EQ(n->RegMonitorThread(), nullptr);
    EXPECT_EQ(n->NotifierWindow(), nullptr);
    n->RegisterWindow(1);
    n->UnRegisterWindow(1);
    delete n;  // the process-wide reference goes with it
    TThemeNotifier* again = GetThemeNotifier(&form);
    ASSERT_NE(again, nullptr);
    delete again;
}

TEST(ExStyleIF, RewritingTheThemeTellsEveryRegisteredWindowOnce) {
    Registry r;
    r.Key(u"\\Software\\Microsoft\\Office\\14.0\\Common\\General");
    r.Write(Office14, u"Theme", u"1");
    TForm form(nullptr);
    form.SetBounds(10, 10, 200, 100);
    auto* a = new Listener(&form);
    a->SetParent(&form);
    auto* b = new Listener(&form);
    b->SetParent(&form);
    form.Show();

    TThemeNotifier* n = GetThemeNotifier(&form);
    ASSERT_NE(n->RegMonitorThread(), nullptr);
    EXPECT_EQ(n->RegMonitorThread()->Key(), u"Software\\Microsoft\\Office\\14.0\\Common");
    int own = 0;
    n->OnOfficeThemeChange = [&](TObject* sender) {
        EXPECT_EQ(sender, n);
        ++own;
    };
    n->RegisterWindow(a->Handle());
    n->RegisterWindow(b->Handle());
    n->RegisterWindow(a->Handle());

    // The monitor arms its watch on its own thread: rewrite until it has heard one.
    auto rewriteUntil = [&](auto done) {
        const auto end = GetTickCount64() + 5000;
        int v = 0;
        while (!done() && GetTickCount64() < end) {
            r.Write(Office14, u"Theme", IntToStr(1 + v++ % 3));
            PumpUntil(done, 50);
        }
        return done();
    };
    ASSERT_TRUE(rewriteUntil([&] { return a->changes >= 1; }));
    // Each wake tells every registered window once, the duplicate registration included.
    EXPECT_TRUE(PumpUntil([&] { return b->changes == a->changes && own == a->changes; }));
    EXPECT_EQ(a->changes, b->changes);
    EXPECT_EQ(own, a->changes);
    EXPECT_EQ(a->lastPath, u"Software\\Microsoft\\Office\\14.0\\Common");

    n->UnRegisterWindow(b->Handle());
    const int before = a->changes, bBefore = b->changes;
    ASSERT_TRUE(rewriteUntil([&] { return a->changes > before; }));
    EXPECT_EQ(b->changes, bBefore);
    delete n;
}

TEST(ExStyleIF, StoppingAWaitingMonitorSendsNothing) {
    Registry r;
    r.Write(Office14, u"Theme", u"1");
    TForm form(nullptr);
    auto* a = new Listener(&form);
    a->SetParent(&form);
    auto* monitor = new TRegMonitorThread();
    monitor->SetKey(u"Software\\Microsoft\\Office\\14.0\\Common");
    monitor->SetWnd(a->Handle());
    monitor->Start();
    monitor->Stop();
    monitor->WaitFor();
    EXPECT_EQ(monitor->FatalException(), nullptr);
    delete monitor;
    EXPECT_EQ(a->changes, 0);

    // A key that cannot be opened ends the thread with the reason.
    TRegMonitorThread missing;
    missing.SetKey(u"Software\\Nowhere");
    missing.Start();
    missing.WaitFor();
    ASSERT_NE(missing.FatalException(), nullptr);
    EXPECT_EQ(missing.FatalException()->Message(), u"Unable to open registry key Software\\Nowhere");
}

}  // namespace

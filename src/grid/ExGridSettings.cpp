// The grid's column layout and print settings kept between runs.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/CellCodecs.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace {

// Font styles as bits: bold 1, italic 2, underline 4, strike-out 8.
int StyleBits(TFontStyles S) {
    int b = 0;
    for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        if (S.Contains(f)) b |= 1 << int(f);
    return b;
}

TFontStyles BitsStyle(int B) {
    TFontStyles s;
    for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        if (B & (1 << int(f))) s.Include(f);
    return s;
}

String YN(bool V) { return V ? u"Y" : u"N"; }

// The boolean values, in the order written.
struct TPrintFlag {
    const char16_t* Name;
    bool TPrintSettings::*Field;
    bool Default;
};
constexpr TPrintFlag PrintFlags[] = {
    {u"Centered", &TPrintSettings::Centered, true},
    {u"NoAutoSize", &TPrintSettings::NoAutoSize, false},
    {u"UseFixedHeight", &TPrintSettings::UseFixedHeight, false},
    {u"UseFixedWidth", &TPrintSettings::UseFixedWidth, false},
    {u"RepeatFixedRows", &TPrintSettings::RepeatFixedRows, false},
    {u"RepeatFixedCols", &TPrintSettings::RepeatFixedCols, false},
    {u"UseDisplFont", &TPrintSettings::UseDisplayFont, false},
    {u"UseDefOrientation", &TPrintSettings::UseDefaultOrientation, false},
};

struct TPrintInt {
    const char16_t* Name;
    int TPrintSettings::*Field;
    int Default;
};
constexpr TPrintInt Spacings[] = {
    {u"ColumnSpacing", &TPrintSettings::ColumnSpacing, 20},
    {u"RowSpacing", &TPrintSettings::RowSpacing, 20},
    {u"TitleSpacing", &TPrintSettings::TitleSpacing, 20},
    {u"FixedHeight", &TPrintSettings::FixedHeight, 0},
    {u"FixedWidth", &TPrintSettings::FixedWidth, 0},
};
constexpr TPrintInt Margins[] = {
    {u"FooterSize", &TPrintSettings::FooterSize, 100},
    {u"HeaderSize", &TPrintSettings::HeaderSize, 100},
    {u"LeftSize", &TPrintSettings::LeftSize, 100},
    {u"RightSize", &TPrintSettings::RightSize, 100},
};

struct TPrintPos {
    const char16_t* Name;
    TPrintPosition TPrintSettings::*Field;
};
constexpr TPrintPos Positions[] = {
    {u"Date", &TPrintSettings::Date},
    {u"PageNr", &TPrintSettings::PageNr},
    {u"Title", &TPrintSettings::Title},
    {u"Time", &TPrintSettings::Time},
};

struct TPrintText {
    const char16_t* Name;
    String TPrintSettings::*Field;
};

struct TPrintFont {
    const char16_t* Prefix;
    TFont& (TPrintSettings::*Get)();
};
constexpr TPrintFont Fonts[] = {
    {u"Font", &TPrintSettings::Font},
    {u"HeaderFont", &TPrintSettings::HeaderFont},
    {u"FooterFont", &TPrintSettings::FooterFont},
};

}  // namespace

void TExGridTools::SavePrintSettings(const String& Key, const String& Section) {
    TPrintSettings& P = FPrintSettings;
    TIniFile ini(Key);
    for (const TPrintInt& s : Spacings) ini.WriteInteger(Section, s.Name, P.*s.Field);
    for (const TPrintFlag& f : PrintFlags) ini.WriteString(Section, f.Name, YN(P.*f.Field));
    ini.WriteInteger(Section, u"Borders", int(P.Borders));
    ini.WriteInteger(Section, u"BorderColor", int(P.BorderColor));
    ini.WriteInteger(Section, u"BorderStyle", int(P.BorderStyle));
    for (const TPrintPos& p : Positions) ini.WriteInteger(Section, p.Name, int(P.*p.Field));
    ini.WriteString(Section, u"DateFormat", P.DateFormat);
    ini.WriteString(Section, u"TitleText", P.TitleText);
    for (const TPrintInt& m : Margins) ini.WriteInteger(Section, m.Name, P.*m.Field);
    ini.WriteInteger(Section, u"FitToPage", int(P.FitToPage));
    for (const TPrintFont& f : Fonts) {
        TFont& font = (P.*f.Get)();
        const String k = f.Prefix;
        ini.WriteString(Section, k + u"Name", font.Name());
        ini.WriteInteger(Section, k + u"Size", font.Size());
        ini.WriteInteger(Section, k + u"Style", StyleBits(font.Style()));
        ini.WriteInteger(Section, k + u"Color", int(font.Color()));
    }
    ini.WriteString(Section, u"PageNumSep", P.PageNumSep);
    ini.WriteString(Section, u"PageSuffix", P.PageSuffix);
    ini.WriteString(Section, u"PagePrefix", P.PagePrefix);
    ini.WriteInteger(Section, u"Orientation", int(P.Orientation));
    ini.WriteString(Section, u"TitleLines", EscapeLineBreaks(P.TitleLines().Text()));
    ini.WriteString(Section, u"PrintGraphics", YN(P.PrintGraphics));
    ini.UpdateFile();
}

void TExGridTools::LoadPrintSettings(const String& Key, const String& Section) {
    TPrintSettings& P = FPrintSettings;
    TIniFile ini(Key);
    auto flag = [&](const char16_t* Name, bool Default) { return ini.ReadString(Section, Name, YN(Default)) == u"Y"; };
    for (const TPrintInt& s : Spacings) P.*s.Field = ini.ReadInteger(Section, s.Name, s.Default);
    for (const TPrintFlag& f : PrintFlags) P.*f.Field = flag(f.Name, f.Default);
    int v = ini.ReadInteger(Section, u"Borders", 0);
    if (v >= 0 && v <= int(pbCustom)) P.Borders = TPrintBorders(v);
    P.BorderColor = TColor(ini.ReadInteger(Section, u"BorderColor", 0));
    v = ini.ReadInteger(Section, u"BorderStyle", 0);
    if (v >= 0 && v <= int(psInsideFrame)) P.BorderStyle = TPenStyle(v);
    for (const TPrintPos& p : Positions) {
        v = ini.ReadInteger(Section, p.Name, 0);
        P.*p.Field = v >= 1 && v <= 6 ? TPrintPosition(v) : ppNone;
    }
    P.DateFormat = ini.ReadString(Section, u"DateFormat", String());
    P.TitleText = ini.ReadString(Section, u"TitleText", String());
    for (const TPrintInt& m : Margins) P.*m.Field = ini.ReadInteger(Section, m.Name, m.Default);
    v = ini.ReadInteger(Section, u"FitToPage", 0);
    if (v >= 0 && v <= int(fpCustom)) P.FitToPage = TFitToPage(v);
    for (const TPrintFont& f : Fonts) {
        TFont& font = (P.*f.Get)();
        const String k = f.Prefix;
        font.SetName(ini.ReadString(Section, k + u"Name", u"Arial"));
        font.SetSize(ini.ReadInteger(Section, k + u"Size", 10));
        // The stored style replaces the current one, so a plain style can clear bold.
        font.SetStyle(BitsStyle(ini.ReadInteger(Section, k + u"Style", 0)));
        font.SetColor(TColor(ini.ReadInteger(Section, k + u"Color", 0)));
    }
    P.PageNumSep = ini.ReadString(Section, u"PageNumSep", String());
    P.PageSuffix = ini.ReadString(Section, u"PageSuffix", String());
    P.PagePrefix = ini.ReadString(Section, u"PagePrefix", String());
    v = ini.ReadInteger(Section, u"Orientation", 0);
    if (v == 0 || v == 1) P.Orientation = TPrinterOrientation(v);
    TStringList lines;
    lines.SetText(UnescapeLineBreaks(ini.ReadString(Section, u"TitleLines", String())));
    P.SetTitleLines(lines);
    P.PrintGraphics = flag(u"PrintGraphics", false);
    ini.UpdateFile();
}

// ===== column layout

namespace {

// The store ColumnSize names: an INI file held in memory and written on
// Flush, or a registry key with Section as its subkey.
class TColumnStore {
public:
    explicit TColumnStore(const TColumnSize& CS) : FSection(CS.Section()) {
        if (CS.Location() == clIniFile) {
            FIni = std::make_unique<TIniFile>(CS.Key());
            return;
        }
        String key = CS.Key();
        while (!key.empty() && (key[0] == u'\\' || key[0] == u'/')) key.erase(0, 1);
        FPath = u"\\" + key + u"\\" + CS.Section();
        FReg = std::make_unique<TRegistryStore>();
    }
    int Read(const String& Name, int Default) {
        if (FIni) return FIni->ReadInteger(FSection, Name, Default);
        if (!FOpen && !FReg->OpenKey(FPath, false)) return Default;
        FOpen = true;
        if (!FReg->ValueExists(Name)) return Default;
        try {
            return FReg->ReadInteger(Name);
        } catch (const EConvertError&) {
            return Default;
        }
    }
    void Write(const String& Name, int Value) {
        if (FIni) {
            FIni->WriteInteger(FSection, Name, Value);
            return;
        }
        if (!FOpen) FReg->OpenKey(FPath, true);
        FOpen = true;
        FReg->WriteInteger(Name, Value);
    }
    void Flush() {
        if (FIni) FIni->UpdateFile();
    }

private:
    String FSection;
    String FPath;
    std::unique_ptr<TIniFile> FIni;
    std::unique_ptr<TRegistryStore> FReg;
    bool FOpen = false;
};

bool StoreNamed(TExStringGrid& G) {
    const TColumnSize& cs = G.ColumnSize();
    return !G.ComponentState().Contains(csDesigning) && !cs.Key().empty() && !cs.Section().empty();
}

// Item I of a list part, as the platform's list would give it.
const String& Item(const std::vector<String>& L, int I) {
    if (I < 0 || I >= int(L.size())) throw EListError(u"List index out of bounds (" + IntToStr(I) + u")");
    return L[I];
}

std::vector<String> Items(const String& Part) { return Part.empty() ? std::vector<String>() : SplitString(Part, u','); }

String Joined(const std::vector<int>& V) {
    String s;
    for (std::size_t i = 0; i < V.size(); ++i) s += (i ? u"," : u"") + IntToStr(V[i]);
    return s;
}

// Puts the columns, all shown for the move, in the order Stored (position ->
// column) and leaves it as the grid's column order; hidden columns stay hidden.
void ApplyColumnOrder(TExStringGrid& G, const std::vector<int>& Stored) {
    std::vector<int> inverse(Stored.size(), -1);
    for (int p = 0; p < int(Stored.size()); ++p) {
        const auto it = std::find(Stored.begin(), Stored.end(), p);
        if (it != Stored.end()) inverse[p] = int(it - Stored.begin());
    }
    std::vector<int> hidden;
    for (int c = 0; c < G.TotalColCount(); ++c)
        if (G.IsHiddenColumn(c)) hidden.push_back(c);
    G.UnHideColumnsAll();
    G.SetColumnOrder(inverse);
    if (!inverse.empty()) G.ResetColumnOrder();
    for (int c : hidden) G.HideColumn(c);
    G.SetColumnOrder(Stored);
}

}  // namespace

int TExStringGrid::RealColWidth(int ACol) {
    if (IsHiddenColumn(ACol)) return FAllColWidths[ACol];
    return ColWidths(DisplColIndex(ACol));
}

void TExStringGrid::ResetColumnOrder() {
    std::vector<int> order = FColumnOrder;
    const int n = std::min(int(order.size()), TotalColCount());
    const bool enh = FEnhRowColMove, flag = FColMoveFlg;
    FEnhRowColMove = true;  // widths go with their columns
    for (int k = 0; k < n; ++k) {
        const auto it = std::find(order.begin() + k, order.begin() + n, k);
        if (it == order.begin() + n) continue;
        const int j = int(it - order.begin());
        if (j == k) continue;
        MoveColumn(DisplColIndex(j), DisplColIndex(k));
        const int entry = order[j];
        order.erase(order.begin() + j);
        order.insert(order.begin() + k, entry);
    }
    FEnhRowColMove = enh;
    FColMoveFlg = flag;
}

String TExGridTools::ColumnStatesToString() {
    const int n = FGrid.TotalColCount();
    std::vector<int> widths, order = FGrid.ColumnOrder(), shown;
    for (int i = 0; i < n; ++i) {
        widths.push_back(FGrid.RealColWidth(i));
        shown.push_back(FGrid.IsHiddenColumn(i) ? 0 : 1);
    }
    if (order.empty())
        for (int i = 0; i < n; ++i) order.push_back(i);
    return IntToStr(n) + u"#" + Joined(widths) + u"#" + Joined(order) + u"#" + Joined(shown);
}

void TExGridTools::StringToColumnStates(const String& Value) {
    if (Value.find(u'#') == String::npos) return;
    const std::vector<String> parts = SplitString(Value, u'#');
    FGrid.SetColumnOrder({});
    FGrid.UnHideColumnsAll();
    const int n = StrToInt(Item(parts, 0));
    FGrid.SetColCount(n);

    const std::vector<String> order = Items(Item(parts, 2));
    if (!order.empty()) {
        std::vector<int> stored;
        for (int i = 0; i < std::min(n, int(order.size())); ++i) {
            const int v = StrToInt(order[i]);
            if (v != -1) stored.push_back(v);
        }
        ApplyColumnOrder(FGrid, stored);
    }

    // Widths while every column shows, so that hidden ones keep theirs.
    const std::vector<String> widths = Items(Item(parts, 1));
    TColumnSize& cs = FGrid.ColumnSize();
    const bool stretch = cs.Stretch();
    cs.SetStretch(false);
    if (stretch) {
        const int sc = cs.StretchColumn() < 0 || cs.StretchColumn() >= FGrid.ColCount() ? FGrid.ColCount() - 1
                                                                                        : cs.StretchColumn();
        FGrid.SetDefaultColWidth(FGrid.ColWidths(sc));
    }
    for (int i = 0; i < FGrid.ColCount(); ++i) FGrid.SetColWidths(i, StrToInt(Item(widths, i)));
    cs.SetStretch(stretch);

    const std::vector<String> shown = Items(Item(parts, 3));
    for (int c = n - 1; c >= 0; --c)
        if (Item(shown, c) == u"0") FGrid.HideColumn(c);
}

void TExGridTools::SaveColSizes() {
    if (!StoreNamed(FGrid)) return;
    TColumnStore store(FGrid.ColumnSize());
    for (int i = 0; i < FGrid.ColCount(); ++i) store.Write(u"Col" + IntToStr(i), FGrid.ColWidths(i));
    store.Flush();
}

void TExGridTools::LoadColSizes() {
    if (!StoreNamed(FGrid)) return;
    TColumnStore store(FGrid.ColumnSize());
    for (int i = 0; i < FGrid.ColCount(); ++i) {
        const int w = store.Read(u"Col" + IntToStr(i), FGrid.ColWidths(i));
        if (w != FGrid.ColWidths(i)) FGrid.SetColWidths(i, w);
    }
}

void TExGridTools::SaveColPositions() {
    if (!StoreNamed(FGrid)) return;
    TColumnStore store(FGrid.ColumnSize());
    const std::vector<int>& order = FGrid.ColumnOrder();
    for (int i = 0; i < int(order.size()); ++i) store.Write(u"Pos" + IntToStr(i), order[i]);
    store.Flush();
}

void TExGridTools::LoadColPositions() {
    if (!StoreNamed(FGrid)) return;
    TColumnStore store(FGrid.ColumnSize());
    if (store.Read(u"Pos0", -1) == -1) return;
    std::vector<int> stored;
    for (int i = 0; i < FGrid.TotalColCount(); ++i) {
        const int v = store.Read(u"Pos" + IntToStr(i), -1);
        if (v != -1) stored.push_back(v);
    }
    ApplyColumnOrder(FGrid, stored);
}

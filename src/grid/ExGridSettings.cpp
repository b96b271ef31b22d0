// The grid's column layout and print settings kept between runs.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/CellCodecs.h"

#include "framework/Files.h"
#include "framework/IniFiles.h"
#include "framework/Streaming.h"
#include "framework/SysUtils.h"
#include "framework/TextFiles.h"

#include <algorithm>
#include <map>

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

// ===== visual properties

namespace {

constexpr const char16_t* FontStyleNames[] = {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};
constexpr const char16_t* ControlStyleNames[] = {u"csClassic", u"csFlat",  u"csWinXP", u"csVintage",
                                                 u"csGPK",     u"csGlyph", u"csTheme"};
constexpr const char16_t* DisplayNames[] = {u"bdTile", u"bdFixed", u"bdGradientHorz", u"bdGradientVert"};
constexpr const char16_t* CellsNames[] = {u"bcNormal", u"bcFixed", u"bcAll"};

// The colour's identifier, else "$" and its 8 hexadecimal digits in lower case.
String ColorText(TColor C) {
    const String s = ColorToString(C);
    return s.starts_with(u'$') ? LowerCase(s) : s;
}

class TVisualWriter {
public:
    void Text(const char16_t* Key, const String& Value) { FText += Key + (u"=" + Value) + u"\r\n"; }
    void Color(const char16_t* Key, TColor Value) { Text(Key, ColorText(Value)); }
    void Bool(const char16_t* Key, bool Value) { Text(Key, Value ? u"true" : u"false"); }
    void Int(const char16_t* Key, int Value) { Text(Key, IntToStr(Value)); }
    void Font(const String& Prefix, TFont& F) {
        Text((Prefix + u".Color").c_str(), ColorText(F.Color()));
        String styles;
        for (TFontStyle s : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
            if (F.Style().Contains(s)) styles += (styles.empty() ? u"" : u",") + String(FontStyleNames[int(s)]);
        Text((Prefix + u".Style").c_str(), styles);
        Text((Prefix + u".Size").c_str(), IntToStr(F.Size()));
        Text((Prefix + u".Name").c_str(), F.Name());
    }
    const String& Result() const { return FText; }

private:
    String FText;
};

// Keys compare without regard to case; the first line holding a key wins.
class TVisualReader {
public:
    explicit TVisualReader(const std::vector<String>& Lines) {
        for (const String& line : Lines) {
            const std::size_t eq = line.find(u'=');
            if (eq == String::npos) continue;
            FValues.emplace(UpperCase(line.substr(0, eq)), line.substr(eq + 1));
        }
    }
    bool Find(const String& Key, String& Value) const {
        const auto it = FValues.find(UpperCase(Key));
        if (it == FValues.end()) return false;
        Value = it->second;
        return true;
    }
    template <class F> void Color(const String& Key, F Apply) const {
        String v;
        if (Find(Key, v)) Apply(v.empty() ? clNone : StringToColor(v));
    }
    template <class F> void Bool(const String& Key, F Apply) const {
        String v;
        if (Find(Key, v)) Apply(UpperCase(v) == u"TRUE");
    }
    template <class F> void Int(const String& Key, F Apply) const {
        String v;
        if (Find(Key, v)) Apply(StrToInt(v));
    }
    // An identifier that matches none leaves the property as it is.
    template <class F, std::size_t N> void Ident(const String& Key, const char16_t* const (&Names)[N], F Apply) const {
        String v;
        if (!Find(Key, v)) return;
        for (std::size_t i = 0; i < N; ++i)
            if (SameText(v, Names[i])) return Apply(int(i));
    }
    void Font(const String& Prefix, TFont& F) const {
        Color(Prefix + u".Color", [&](TColor c) { F.SetColor(c); });
        String v;
        if (Find(Prefix + u".Style", v)) {
            TFontStyles styles;
            for (TFontStyle s : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
                if (v.find(FontStyleNames[int(s)]) != String::npos) styles.Include(s);
            F.SetStyle(styles);
        }
        Int(Prefix + u".Size", [&](int n) { F.SetSize(n); });
        if (Find(Prefix + u".Name", v)) F.SetName(v);
    }

private:
    std::map<String, String> FValues;
};

}  // namespace

void TExGridTools::SaveVisualProps(const String& FileName) {
    TExStringGrid& G = FGrid;
    TVisualWriter w;
    w.Color(u"Color", G.Color());
    w.Color(u"HintColor", G.HintColor());
    w.Color(u"SelectionColor", G.SelectionColor());
    w.Color(u"SelectionColorTo", G.SelectionColorTo());
    w.Color(u"SelectionMirrorColor", G.SelectionMirrorColor());
    w.Color(u"SelectionMirrorColorTo", G.SelectionMirrorColorTo());
    w.Color(u"SelectionTextColor", G.SelectionTextColor());
    w.Color(u"URLColor", G.URLColor());
    w.Bool(u"URLShow", G.URLShow());
    w.Bool(u"URLShowInText", G.URLShowInText());
    w.Color(u"ScrollColor", G.ScrollColor());
    w.Color(u"ActiveRowColor", G.ActiveRowColor());
    w.Bool(u"ActiveRowShow", G.ActiveRowShow());
    w.Bool(u"ActiveCellShow", G.ActiveCellShow());
    w.Font(u"Font", G.Font());
    w.Color(u"ActiveCellColor", G.ActiveCellColor());
    w.Color(u"ActiveCellColorTo", G.ActiveCellColorTo());
    w.Font(u"ActiveCellFont", G.ActiveCellFont());
    w.Font(u"FixedFont", G.FixedFont());
    TBalloonSettings& balloon = G.Balloon();
    w.Color(u"Balloon.BackgroundColor", balloon.BackgroundColor());
    w.Color(u"Balloon.TextColor", balloon.TextColor());
    w.Int(u"Balloon.Transparency", balloon.Transparency());
    w.Color(u"Bands.PrimaryColor", G.Bands().PrimaryColor());
    w.Color(u"Bands.SecondaryColor", G.Bands().SecondaryColor());
    w.Bool(u"Bands.Active", G.Bands().Active());
    w.Color(u"SortSettings.IndexColor", G.SortSettings().IndexColor());
    w.Color(u"FloatingFooter.Color", G.FloatingFooter().Color());
    const TControlLook& cl = G.ControlLook();
    w.Int(u"ControlLook.CheckSize", cl.CheckSize);
    w.Color(u"ControlLook.Color", cl.Color);
    w.Color(u"ControlLook.CommentColor", cl.CommentColor);
    w.Text(u"ControlLook.ControlStyle", ControlStyleNames[int(cl.ControlStyle)]);
    w.Color(u"ControlLook.FixedGradientFrom", cl.FixedGradientFrom);
    w.Color(u"ControlLook.FixedGradientTo", cl.FixedGradientTo);
    w.Int(u"ControlLook.RadioSize", cl.RadioSize);
    w.Bool(u"ControlLook.FlatButton", cl.FlatButton);
    w.Color(u"ControlLook.ProgressBorderColor", cl.ProgressBorderColor);
    w.Bool(u"ControlLook.ProgressXP", cl.ProgressXP);
    w.Text(u"Look", TExStringGrid::LookToString(G.Look()));
    w.Color(u"SearchFooter.Color", G.SearchFooter().Color());
    w.Color(u"SearchFooter.ColorTo", G.SearchFooter().ColorTo());
    const TGrouping& gr = G.Grouping();
    w.Color(u"Grouping.HeaderColor", gr.HeaderColor());
    w.Color(u"Grouping.HeaderColorTo", gr.HeaderColorTo());
    w.Color(u"Grouping.HeaderTextColor", gr.HeaderTextColor());
    w.Bool(u"Grouping.HeaderUnderline", gr.HeaderUnderline());
    w.Color(u"Grouping.HeaderLineColor", gr.HeaderLineColor());
    w.Int(u"Grouping.HeaderLineWidth", gr.HeaderLineWidth());
    w.Color(u"Grouping.SummaryColor", gr.SummaryColor());
    w.Color(u"Grouping.SummaryColorTo", gr.SummaryColorTo());
    w.Color(u"Grouping.SummaryTextColor", gr.SummaryTextColor());
    w.Bool(u"Grouping.SummaryLine", gr.SummaryLine());
    w.Color(u"Grouping.SummaryLineColor", gr.SummaryLineColor());
    w.Int(u"Grouping.SummaryLineWidth", gr.SummaryLineWidth());
    w.Color(u"GridLineColor", G.GridLineColor());
    w.Color(u"GridFixedLineColor", G.GridFixedLineColor());
    TBackGround& bg = G.BackGround();
    w.Int(u"BackGround.Top", bg.Top());
    w.Int(u"BackGround.Left", bg.Left());
    w.Text(u"BackGround.Display", DisplayNames[int(bg.Display())]);
    w.Text(u"BackGround.Cells", CellsNames[int(bg.Cells())]);
    w.Color(u"BackGround.Color", bg.Color());
    w.Color(u"BackGround.ColorTo", bg.ColorTo());
    try {
        WriteTextFile(FileName, w.Result(), TTextEncoding::Windows1252);
    } catch (const EFCreateError&) {
        throw Exception(u"Cannot Create " + FileName);
    }
}

void TExGridTools::LoadVisualProps(const String& FileName) {
    std::vector<String> lines;
    try {
        lines = ReadTextLines(FileName);
    } catch (const EFOpenError&) {
        throw Exception(u"Cannot open file " + FileName);
    }
    const TVisualReader r(lines);
    TExStringGrid& G = FGrid;
    // The preset first: it resets colours and gradients the file holds too.
    String look;
    if (r.Find(u"Look", look))
        for (int l = glStandard; l < glCustom; ++l)
            if (SameText(look, TExStringGrid::LookToString(TGridLook(l)))) G.SetLook(TGridLook(l));
    r.Color(u"Color", [&](TColor c) { G.SetColor(c); });
    r.Color(u"HintColor", [&](TColor c) { G.SetHintColor(c); });
    r.Color(u"SelectionColor", [&](TColor c) { G.SetSelectionColor(c); });
    r.Color(u"SelectionColorTo", [&](TColor c) { G.SetSelectionColorTo(c); });
    r.Color(u"SelectionMirrorColor", [&](TColor c) { G.SetSelectionMirrorColor(c); });
    r.Color(u"SelectionMirrorColorTo", [&](TColor c) { G.SetSelectionMirrorColorTo(c); });
    r.Color(u"SelectionTextColor", [&](TColor c) { G.SetSelectionTextColor(c); });
    r.Color(u"URLColor", [&](TColor c) { G.SetURLColor(c); });
    r.Bool(u"URLShow", [&](bool b) { G.SetURLShow(b); });
    r.Bool(u"URLShowInText", [&](bool b) { G.SetURLShowInText(b); });
    r.Color(u"ScrollColor", [&](TColor c) { G.SetScrollColor(c); });
    r.Color(u"ActiveRowColor", [&](TColor c) { G.SetActiveRowColor(c); });
    r.Bool(u"ActiveRowShow", [&](bool b) { G.SetActiveRowShow(b); });
    r.Bool(u"ActiveCellShow", [&](bool b) { G.SetActiveCellShow(b); });
    r.Font(u"Font", G.Font());
    r.Color(u"ActiveCellColor", [&](TColor c) { G.SetActiveCellColor(c); });
    r.Color(u"ActiveCellColorTo", [&](TColor c) { G.SetActiveCellColorTo(c); });
    r.Font(u"ActiveCellFont", G.ActiveCellFont());
    r.Font(u"FixedFont", G.FixedFont());
    TBalloonSettings& balloon = G.Balloon();
    r.Color(u"Balloon.BackGroundColor", [&](TColor c) { balloon.SetBackgroundColor(c); });
    r.Color(u"Balloon.TextColor", [&](TColor c) { balloon.SetTextColor(c); });
    r.Int(u"Balloon.Transparency", [&](int n) { balloon.SetTransparency(Byte(n)); });
    r.Color(u"Bands.PrimaryColor", [&](TColor c) { G.Bands().SetPrimaryColor(c); });
    r.Color(u"Bands.SecondaryColor", [&](TColor c) { G.Bands().SetSecondaryColor(c); });
    r.Bool(u"Bands.Active", [&](bool b) { G.Bands().SetActive(b); });
    r.Color(u"SortSettings.IndexColor", [&](TColor c) { G.SortSettings().SetIndexColor(c); });
    r.Color(u"FloatingFooter.Color", [&](TColor c) { G.FloatingFooter().SetColor(c); });
    TControlLook& cl = G.ControlLook();
    r.Int(u"ControlLook.CheckSize", [&](int n) { cl.CheckSize = n; });
    r.Color(u"ControlLook.Color", [&](TColor c) { cl.Color = c; });
    r.Color(u"ControlLook.CommentColor", [&](TColor c) { cl.CommentColor = c; });
    r.Ident(u"ControlLook.ControlStyle", ControlStyleNames, [&](int i) { cl.ControlStyle = TGridControlStyle(i); });
    r.Color(u"ControlLook.FixedGradientFrom", [&](TColor c) { cl.SetFixedGradientFrom(c); });
    r.Color(u"ControlLook.FixedGradientTo", [&](TColor c) { cl.SetFixedGradientTo(c); });
    r.Int(u"ControlLook.RadioSize", [&](int n) { cl.RadioSize = n; });
    r.Bool(u"ControlLook.FlatButton", [&](bool b) { cl.FlatButton = b; });
    r.Color(u"ControlLook.ProgressBorderColor", [&](TColor c) { cl.ProgressBorderColor = c; });
    r.Bool(u"ControlLook.ProgressXP", [&](bool b) { cl.ProgressXP = b; });
    r.Color(u"SearchFooter.Color", [&](TColor c) { G.SearchFooter().SetColor(c); });
    r.Color(u"SearchFooter.ColorTo", [&](TColor c) { G.SearchFooter().SetColorTo(c); });
    TGrouping& gr = G.Grouping();
    r.Color(u"Grouping.HeaderColor", [&](TColor c) { gr.SetHeaderColor(c); });
    r.Color(u"Grouping.HeaderColorTo", [&](TColor c) { gr.SetHeaderColorTo(c); });
    r.Color(u"Grouping.HeaderTextColor", [&](TColor c) { gr.SetHeaderTextColor(c); });
    r.Bool(u"Grouping.HeaderUnderline", [&](bool b) { gr.SetHeaderUnderline(b); });
    r.Color(u"Grouping.HeaderLineColor", [&](TColor c) { gr.SetHeaderLineColor(c); });
    r.Int(u"Grouping.HeaderLineWidth", [&](int n) { gr.SetHeaderLineWidth(n); });
    r.Color(u"Grouping.SummaryColor", [&](TColor c) { gr.SetSummaryColor(c); });
    r.Color(u"Grouping.SummaryColorTo", [&](TColor c) { gr.SetSummaryColorTo(c); });
    r.Color(u"Grouping.SummaryTextColor", [&](TColor c) { gr.SetSummaryTextColor(c); });
    r.Bool(u"Grouping.SummaryLine", [&](bool b) { gr.SetSummaryLine(b); });
    r.Color(u"Grouping.SummaryLineColor", [&](TColor c) { gr.SetSummaryLineColor(c); });
    r.Int(u"Grouping.SummaryLineWidth", [&](int n) { gr.SetSummaryLineWidth(n); });
    r.Color(u"GridLineColor", [&](TColor c) { G.SetGridLineColor(c); });
    r.Color(u"GridFixedLineColor", [&](TColor c) { G.SetGridFixedLineColor(c); });
    TBackGround& bg = G.BackGround();
    r.Int(u"BackGround.Top", [&](int n) { bg.SetTop(n); });
    r.Int(u"BackGround.Left", [&](int n) { bg.SetLeft(n); });
    r.Ident(u"BackGround.Display", DisplayNames, [&](int i) { bg.SetDisplay(TBackGroundDisplay(i)); });
    r.Ident(u"BackGround.Cells", CellsNames, [&](int i) { bg.SetCells(TBackGroundCells(i)); });
    r.Color(u"BackGround.Color", [&](TColor c) { bg.SetColor(c); });
    r.Color(u"BackGround.ColorTo", [&](TColor c) { bg.SetColorTo(c); });
    // The control look's plain fields have no setter of their own.
    G.Invalidate();
}

// The grid's print settings kept in an INI file between runs.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/CellCodecs.h"

#include "framework/IniFiles.h"

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

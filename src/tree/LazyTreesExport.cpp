// The string tree's content as plain text, HTML and RTF, and the text
// formats it renders for the clipboard and for drags. A tree with columns
// exports its visible columns in display order under a heading; one without
// is exported as its one main column.

#include "tree/LazyTrees_p.h"

#include "framework/Encoding.h"
#include "framework/SysUtils.h"

#include <map>

namespace {

const String CRLF = u"\r\n";

String Num(Int64 Value) { return S(std::to_string(Value)); }

String HexColor(TColor Color) {
    const auto RGB = Cardinal(ColorToRGB(Color));
    char Buffer[8];
    std::snprintf(Buffer, sizeof Buffer, "#%02X%02X%02X", RGB & 0xFF, (RGB >> 8) & 0xFF, (RGB >> 16) & 0xFF);
    return S(Buffer);
}

// Markup in a text must not break the table (or the clipboard's HTML).
String EscapeHTML(const String& Text) {
    String R;
    R.reserve(Text.size());
    for (Char C : Text) {
        switch (C) {
        case u'&': R += u"&amp;"; break;
        case u'<': R += u"&lt;"; break;
        case u'>': R += u"&gt;"; break;
        case u'"': R += u"&quot;"; break;
        default: R += C;
        }
    }
    return R;
}

// The CSS properties of a font, without the closing ";}".
String FontStyleProperties(const TFont& Font) {
    String R = u"font-family: '" + Font.Name() + u"'; ";
    if (Font.Size() < 0) R += u"font-size: " + Num(Font.Height()) + u"px; ";
    else R += u"font-size: " + Num(Font.Size()) + u"pt; ";
    R += Font.Style().Contains(fsItalic) ? u"font-style: italic; " : u"font-style: normal; ";
    R += Font.Style().Contains(fsBold) ? u"font-weight: bold; " : u"font-weight: normal; ";
    R += Font.Style().Contains(fsUnderline) ? u"text-decoration: underline; " : u"text-decoration: none; ";
    R += u"color: " + HexColor(Font.Color());
    return R;
}

// Font and colour tables of an RTF document and what is switched on.
struct TRTFWriter {
    std::vector<String> Fonts;
    std::vector<TColor> Colors;
    int CurrentFont = -1;
    int CurrentColor = -1;
    int CurrentSize = -1;
    std::string Body;

    void Text(const String& Text, const TFont& Font) {
        if (Text.empty()) return;
        const TFontStyles Style = Font.Style();
        if (Style.Contains(fsUnderline)) Body += "\\ul";
        if (Style.Contains(fsItalic)) Body += "\\i";
        if (Style.Contains(fsBold)) Body += "\\b";
        auto FontIt = std::find(Fonts.begin(), Fonts.end(), Font.Name());
        const int FontIndex = int(FontIt - Fonts.begin());
        if (FontIt == Fonts.end()) Fonts.push_back(Font.Name());
        if (FontIt == Fonts.end() || FontIndex != CurrentFont) {
            CurrentFont = FontIndex;
            Body += "\\f" + std::to_string(FontIndex);
        }
        const TColor Color = ColorToRGB(Font.Color());
        auto ColorIt = std::find(Colors.begin(), Colors.end(), Color);
        const int ColorIndex = int(ColorIt - Colors.begin());
        if (ColorIt == Colors.end()) Colors.push_back(Color);
        if (ColorIt == Colors.end() || ColorIndex != CurrentColor) {
            CurrentColor = ColorIndex;
            Body += "\\cf" + std::to_string(ColorIndex + 1);
        }
        if (Font.Size() != CurrentSize) {
            CurrentSize = Font.Size();
            Body += "\\fs" + std::to_string(2 * Font.Size());
        }
        Body += ' ';
        for (Char C : Text) {
            if (C == u'\n') Body += "{\\par}";
            else if (C != u'\r') Body += "\\u" + std::to_string(std::int16_t(C)) + "\\'3f";
        }
        if (Style.Contains(fsUnderline)) Body += "\\ul0";
        if (Style.Contains(fsItalic)) Body += "\\i0";
        if (Style.Contains(fsBold)) Body += "\\b0";
    }
};

// The columns an export writes: the visible ones in display order, or the
// one main column (nullptr) of a tree without columns.
std::vector<TLazyTreeColumn*> ExportColumns(TLTHeader& Header) {
    if (!Header.UseColumns()) return {nullptr};
    return Header.Columns().GetVisibleColumns();
}

TColumnIndex IndexOf(const TLazyTreeColumn* Column) { return Column ? Column->Index() : NoColumn; }

bool RightToLeft(const TLazyTreeColumn* Column) {
    return Column && Column->BiDiMode() != TLazyTreeColumn::bdLeftToRight;
}

// A right-to-left column shows its texts mirrored.
TAlignment Mirrored(TAlignment Alignment, bool RightToLeft) {
    if (!RightToLeft || Alignment == taCenter) return Alignment;
    return Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
}

TAlignment CellAlignment(const TLazyTreeColumn* Column) {
    return Column ? Mirrored(Column->Alignment(), RightToLeft(Column)) : taLeftJustify;
}

TAlignment HeadingAlignment(const TLazyTreeColumn& Column) {
    const TAlignment A = Column.Options().Contains(coUseCaptionAlignment) ? Column.CaptionAlignment() : Column.Alignment();
    return Mirrored(A, RightToLeft(&Column));
}

String HTMLAlign(TAlignment A) {
    return A == taRightJustify ? u" align=right" : A == taCenter ? u" align=center" : u" align=left";
}

HGLOBAL BlockOf(std::string_view Bytes) {
    HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, Bytes.size());
    if (Block) std::copy(Bytes.begin(), Bytes.end(), Block->Bytes.begin());
    return Block;
}

}  // namespace

// ---------------------------------------------------------------------------
// Sources
// ---------------------------------------------------------------------------

PLazyNode TCustomLazyStringTree::FirstOfSource(TLSTTextSourceType Source) {
    switch (Source) {
    case tstInitialized: return GetFirstInitialized();
    case tstSelected: return GetFirstSelected();
    case tstCutCopySet: return GetFirstCutCopy();
    case tstVisible: return GetFirstVisible(nullptr, true);
    case tstChecked: return GetFirstChecked(csCheckedNormal);
    default: return GetFirst();
    }
}

PLazyNode TCustomLazyStringTree::NextOfSource(TLSTTextSourceType Source, PLazyNode Node) {
    switch (Source) {
    case tstInitialized: return GetNextInitialized(Node);
    case tstSelected: return GetNextSelected(Node);
    case tstCutCopySet: return GetNextCutCopy(Node);
    case tstVisible: return GetNextVisible(Node, false);
    case tstChecked: return GetNextChecked(Node, csCheckedNormal);
    default: return GetNext(Node);
    }
}

bool TCustomLazyStringTree::NodePassesExportMode(PLazyNode Node) {
    switch (TreeOptions().ExportMode()) {
    case emChecked: return Node->CheckState == csCheckedNormal;
    case emUnchecked: return Node->CheckState == csUncheckedNormal;
    case emVisibleDueToExpansion: return Node->Parent == FRoot || Node->Parent->States.Contains(vsExpanded);
    case emSelected: return Node->States.Contains(vsSelected);
    default: return true;
    }
}

bool TCustomLazyStringTree::ExportsNode(TLTExportType Kind, PLazyNode Node) {
    if (!NodePassesExportMode(Node)) return false;
    return !OnBeforeNodeExport || OnBeforeNodeExport(this, Kind, Node);
}

// ---------------------------------------------------------------------------
// Plain text
// ---------------------------------------------------------------------------

String TCustomLazyStringTree::ContentToText(TLSTTextSourceType Source, const String& Separator) {
    StartOperation(okExport);
    TFinally End{[this] { EndOperation(okExport); }};
    String Buffer;
    if (!Header().UseColumns()) {
        for (PLazyNode Run = FirstOfSource(Source); Run && !OperationCanceled(); Run = NextOfSource(Source, Run)) {
            TLSTGetCellTextEventArgs E(Run, NoColumn, etText);
            DoGetText(E);
            for (Cardinal Level = GetNodeLevel(Run); Level > 0; --Level) Buffer += Separator;
            Buffer += E.CellText;
            Buffer += CRLF;
        }
        return Buffer;
    }
    // The main column is padded to the deepest level, so that the next column lines up.
    const std::vector<TLazyTreeColumn*> Columns = ExportColumns(Header());
    const TColumnIndex Main = Header().GetMainColumn();
    Cardinal MaxLevel = 0;
    for (PLazyNode Run = FirstOfSource(Source); Run; Run = NextOfSource(Source, Run))
        MaxLevel = std::max(MaxLevel, GetNodeLevel(Run));
    String LevelSpacer;
    for (Cardinal I = 0; I < MaxLevel; ++I) LevelSpacer += Separator;
    for (std::size_t I = 0; I < Columns.size(); ++I) {
        Buffer += Columns[I]->GetText();
        if (I + 1 < Columns.size()) {
            if (Columns[I]->Index() == Main) Buffer += LevelSpacer;
            Buffer += Separator;
        }
    }
    Buffer += CRLF;
    for (PLazyNode Run = FirstOfSource(Source); Run && !OperationCanceled(); Run = NextOfSource(Source, Run)) {
        const Cardinal Level = GetNodeLevel(Run);
        for (std::size_t I = 0; I < Columns.size(); ++I) {
            const bool IsMain = Columns[I]->Index() == Main;
            TLSTGetCellTextEventArgs E(Run, Columns[I]->Index(), etText);
            DoGetText(E);
            if (IsMain) Buffer += LevelSpacer.substr(0, Level * Separator.size());
            String Text = E.CellText;
            if (StringOptions().Contains(toShowStaticText) && !E.StaticText.empty()) Text += u" " + E.StaticText;
            if (!Separator.empty() && Text.find(Separator) != String::npos) {
                String Quoted = u"\"";
                for (Char C : Text) Quoted += C == u'"' ? String(u"\"\"") : String(1, C);
                Text = Quoted + u"\"";
            }
            Buffer += Text;
            if (IsMain) Buffer += LevelSpacer.substr(0, (MaxLevel - Level) * Separator.size());
            if (I + 1 < Columns.size()) Buffer += Separator;
        }
        Buffer += CRLF;
    }
    return Buffer;
}

// ---------------------------------------------------------------------------
// HTML
// ---------------------------------------------------------------------------

String TCustomLazyStringTree::ContentToHTML(TLSTTextSourceType Source, const String& Caption) {
    StartOperation(okExport);
    TFinally End{[this] { EndOperation(okExport); }};
    const TLTPaintOptions Paint = TreeOptions().PaintOptions();
    const String Pad = u"padding-left: " + Num(FMargin) + u"px; padding-right: " + Num(FMargin) + u"px;";
    const String LineStyle = u"dotted;";
    String B;
    B += u"<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
    B += u"<style type=\"text/css\">" + CRLF;
    B += u".default{" + FontStyleProperties(Font()) + u";}" + CRLF;
    B += u".header{" + FontStyleProperties(Header().Font()) + u";}" + CRLF;
    if (Paint.Contains(toShowHorzGridLines))
        B += u".noborder{ border-bottom:1px; border-left: 0px; border-right: 0px; border-top: 1px;border-style:" + LineStyle;
    else
        B += u".noborder{border-style: none;";
    B += Pad + u"}" + CRLF;
    B += u".normalborder {vertical-align: top; ";
    B += Paint.Contains(toShowVertGridLines) ? u"border-right: 1px; border-left: 1px; " : u"border-right: none; border-left:none; ";
    B += Paint.Contains(toShowHorzGridLines) ? u"border-top: 1px; border-bottom: 1px; " : u"border-top:none; border-bottom: none;";
    B += u"border-width: thin; border-style: " + LineStyle + Pad + u"}" + u"</style>" + CRLF;

    B += u"<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=" + HexColor(Color()) + u" ";
    if (!Caption.empty()) B += u"caption=\"" + EscapeHTML(Caption) + u"\"";
    if (FBorderStyle != bsNone) B += u" border=\"1\" frame=box";
    B += u" cellspacing=\"0\">" + CRLF;

    Cardinal MaxLevel = 0;
    for (PLazyNode Run = FirstOfSource(Source); Run; Run = NextOfSource(Source, Run))
        if (NodePassesExportMode(Run)) MaxLevel = std::max(MaxLevel, GetNodeLevel(Run));

    const bool UseColumns = Header().UseColumns();
    const std::vector<TLazyTreeColumn*> Columns = ExportColumns(Header());
    const TColumnIndex Main = Header().GetMainColumn();
    if (UseColumns) {
        if (OnBeforeHeaderExport) OnBeforeHeaderExport(this, etHTML);
        B += u"<tr class=\"header\" style=\"" + Pad + u"\">" + CRLF;
        for (TLazyTreeColumn* Column : Columns) {
            if (OnBeforeColumnExport) OnBeforeColumnExport(this, etHTML, Column);
            B += u"<th height=\"" + Num(Header().Height()) + u"px\"";
            if (RightToLeft(Column)) B += u" dir=\"rtl\"";
            B += HTMLAlign(HeadingAlignment(*Column));
            if (MaxLevel > 0 && Column->Index() == Main) B += u" colspan=\"" + Num(MaxLevel + 1) + u"\"";
            B += u" bgcolor=" + HexColor(clBtnFace) + u" width=\"" + Num(Column->Width()) + u"px\">";
            B += EscapeHTML(Column->GetText());
            B += u"</th>";
            if (OnAfterColumnExport) OnAfterColumnExport(this, etHTML, Column);
        }
        B += u"</tr>" + CRLF;
        if (OnAfterHeaderExport) OnAfterHeaderExport(this, etHTML);
    }

    TCanvas& C = Canvas();
    for (PLazyNode Run = FirstOfSource(Source); Run && !OperationCanceled(); Run = NextOfSource(Source, Run)) {
        if (!ExportsNode(etHTML, Run)) continue;
        const Cardinal Level = GetNodeLevel(Run);
        const String Height = Num(GetNodeHeight(Run));
        B += u" <tr class=\"default\">" + CRLF;
        for (TLazyTreeColumn* Column : Columns) {
            const TColumnIndex Index = IndexOf(Column);
            const bool IsMain = Index == (UseColumns ? Main : NoColumn);
            // A column with a colour of its own paints its cells, indentation included.
            const bool OwnColor = Column && !Column->Options().Contains(coParentColor);
            C.Font().Assign(&Font());
            const unsigned Revision = C.Font().Revision();
            DoPaintText(Run, C, Index, ttNormal);
            const bool FontChanged = C.Font().Revision() != Revision;
            if (IsMain) {
                for (Cardinal I = 0; I < Level; ++I) {
                    if (OwnColor)
                        B += u"<td class=\"noborder\" width=\"" + Num(FIndent) + u"\" height=\"" + Height +
                             u"px\" bgcolor=" + HexColor(Column->Color()) + u">&nbsp;</td>";
                    else if (I == 0)
                        B += u" <td height=\"" + Height + u"px\" class=\"normalborder\">&nbsp;</td>";
                    else
                        B += u" <td>&nbsp;</td>";
                }
            }
            if (FontChanged)
                B += u" <td class=\"normalborder\" " + (u" style=\"{" + FontStyleProperties(C.Font()) + u";}\"") +
                     u" height=\"" + Height;
            else
                B += u" <td class=\"normalborder\"  height=\"" + Height;
            B += u"px\"";
            if (RightToLeft(Column)) B += u" dir=\"rtl\"";
            B += HTMLAlign(CellAlignment(Column));
            if (IsMain && MaxLevel > 0 && Level < MaxLevel) B += u" colspan=\"" + Num(MaxLevel - Level + 1) + u"\"";
            if (OwnColor) B += u" bgcolor=" + HexColor(Column->Color());
            B += u">";
            TLSTGetCellTextEventArgs E(Run, Index, etHTML);
            DoGetText(E);
            B += EscapeHTML(E.CellText);
            if (StringOptions().Contains(toShowStaticText) && !E.StaticText.empty()) B += u" " + EscapeHTML(E.StaticText);
            B += u"</td>";
        }
        if (OnAfterNodeExport) OnAfterNodeExport(this, etHTML, Run);
        B += u" </tr>" + CRLF;
    }
    B += u"</table>";
    return B;
}

// ---------------------------------------------------------------------------
// RTF
// ---------------------------------------------------------------------------

ByteString TCustomLazyStringTree::ContentToRTF(TLSTTextSourceType Source) {
    StartOperation(okExport);
    TFinally End{[this] { EndOperation(okExport); }};
    TRTFWriter W;
    W.Body = "\\uc1\\trowd\\trgaph70";
    auto Twips = [](int Pixels) { return std::to_string(Round(double(Pixels) * 1440 / ScreenPixelsPerInch)); };
    const bool UseColumns = Header().UseColumns();
    const std::vector<TLazyTreeColumn*> Columns = ExportColumns(Header());
    const TColumnIndex Main = UseColumns ? Header().GetMainColumn() : NoColumn;
    if (UseColumns) {
        int Right = 0;
        for (TLazyTreeColumn* Column : Columns) W.Body += "\\cellx" + Twips(Right += Column->Width());
    } else {
        W.Body += "\\cellx" + Twips(ClientWidth());
    }
    auto Align = [&W](TAlignment A, bool LeftToo) {
        if (A == taRightJustify) W.Body += "\\qr";
        else if (A == taCenter) W.Body += "\\qc";
        else if (LeftToo) W.Body += "\\ql";
    };
    if (UseColumns) {
        if (OnBeforeHeaderExport) OnBeforeHeaderExport(this, etRTF);
        W.Body += "\\pard\\intbl";
        for (TLazyTreeColumn* Column : Columns) {
            if (OnBeforeColumnExport) OnBeforeColumnExport(this, etRTF, Column);
            Align(HeadingAlignment(*Column), true);
            W.Text(Column->GetText(), Header().Font());
            W.Body += "\\cell";
            if (OnAfterColumnExport) OnAfterColumnExport(this, etRTF, Column);
        }
        W.Body += "\\row";
        if (OnAfterHeaderExport) OnAfterHeaderExport(this, etRTF);
    }
    TCanvas& C = Canvas();
    for (PLazyNode Run = FirstOfSource(Source); Run && !OperationCanceled(); Run = NextOfSource(Source, Run)) {
        if (!ExportsNode(etRTF, Run)) continue;
        const Cardinal Level = GetNodeLevel(Run);
        for (TLazyTreeColumn* Column : Columns) {
            const TColumnIndex Index = IndexOf(Column);
            TLSTGetCellTextEventArgs E(Run, Index, etRTF);
            DoGetText(E);
            W.Body += "\\pard\\intbl";
            Align(CellAlignment(Column), false);
            C.Font().Assign(&Font());
            DoPaintText(Run, C, Index, ttNormal);
            if (Index == Main && Level >= 1) {
                for (Cardinal I = 0; I < Level; ++I) W.Body += "\\tab";
                W.Body += ' ';
            }
            W.Text(E.CellText, C.Font());
            if (StringOptions().Contains(toShowStaticText) && !E.StaticText.empty()) {
                DoPaintText(Run, C, Index, ttStatic);
                W.Text(u" " + E.StaticText, C.Font());
            }
            W.Body += "\\cell";
        }
        W.Body += "\\row\r\n";
        if (OnAfterNodeExport) OnAfterNodeExport(this, etRTF, Run);
    }
    W.Body += "\\pard\\par";

    std::string Doc = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (std::size_t I = 0; I < W.Fonts.size(); ++I)
        Doc += "{\\f" + std::to_string(I) + " " + StringToWindows1252(W.Fonts[I]) + ";}";
    Doc += "}{\\colortbl;";
    for (TColor Color : W.Colors) {
        const auto RGB = Cardinal(Color);
        Doc += "\\red" + std::to_string(RGB & 0xFF) + "\\green" + std::to_string((RGB >> 8) & 0xFF) + "\\blue" +
               std::to_string((RGB >> 16) & 0xFF) + ";";
    }
    Doc += "}";
    Doc += LocaleMeasurementSystem() == 0 ? "\\paperw16840\\paperh11907" : "\\paperw15840\\paperh12240";
    Doc += "\\margl720\\margr720\\margt720\\margb720";
    Doc += W.Body;
    Doc += "}";
    return Doc;
}

// ---------------------------------------------------------------------------
// Custom export and the clipboard
// ---------------------------------------------------------------------------

void TCustomLazyStringTree::ContentToCustom(TLSTTextSourceType Source) {
    StartOperation(okExport);
    TFinally End{[this] { EndOperation(okExport); }};
    if (OnBeforeTreeExport) OnBeforeTreeExport(this, etCustom);
    if (Header().UseColumns() && Header().Options.Contains(hoVisible)) {
        if (OnBeforeHeaderExport) OnBeforeHeaderExport(this, etCustom);
        for (TLazyTreeColumn* Column : ExportColumns(Header())) {
            if (OnBeforeColumnExport) OnBeforeColumnExport(this, etCustom, Column);
            if (OnColumnExport) OnColumnExport(this, etCustom, Column);
            if (OnAfterColumnExport) OnAfterColumnExport(this, etCustom, Column);
        }
        if (OnAfterHeaderExport) OnAfterHeaderExport(this, etCustom);
    }
    for (PLazyNode Run = FirstOfSource(Source); Run && !OperationCanceled(); Run = NextOfSource(Source, Run)) {
        if (!NodePassesExportMode(Run)) continue;
        if (OnBeforeNodeExport) OnBeforeNodeExport(this, etCustom, Run);
        if (OnNodeExport) OnNodeExport(this, etCustom, Run);
        if (OnAfterNodeExport) OnAfterNodeExport(this, etCustom, Run);
    }
    if (OnAfterTreeExport) OnAfterTreeExport(this, etCustom);
}

static std::string ClipboardHTML(const String& HTML) {
    const std::string Body = StringToUtf8(HTML);
    const std::size_t L = Body.size();
    auto Line = [](const char* Label, std::size_t Value) {
        char Buffer[40];
        std::snprintf(Buffer, sizeof Buffer, "%s%.8zu\r\n", Label, Value);
        return std::string(Buffer);
    };
    std::string R = "Version:1.0\r\n";
    R += Line("StartHTML:", 97);
    R += Line("EndHTML:", L + 301);
    R += Line("StartFragment:", 269);
    R += Line("EndFragment:", L + 269);
    R += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    R += "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body><!--StartFragment-->";
    R += Body;
    R += "<!--EndFragment--></body></html>";
    return R;
}

HGLOBAL TCustomLazyStringTree::ContentToClipboard(CLIPFORMAT Format, TLSTTextSourceType Source) {
    std::string Data;
    if (Format == CF_TEXT) {
        Data = StringToWindows1252(ContentToText(Source, u"\t"));
        Data += '\0';
    } else if (Format == CF_UNICODETEXT) {
        Data = StringToUtf16LE(ContentToText(Source, u"\t"));
        Data.append(2, '\0');
    } else if (Format == RegisterClipboardFormat(u"CSV")) {
        Data = StringToWindows1252(ContentToText(Source, String(1, FormatSettings().ListSeparator)));
        Data += '\0';
    } else if (Format == RegisterClipboardFormat(u"Rich Text Format") ||
               Format == RegisterClipboardFormat(u"Rich Text Format Without Objects")) {
        Data = ContentToRTF(Source);
        Data += '\0';
    } else if (Format == RegisterClipboardFormat(u"HTML Format")) {
        Data = ClipboardHTML(ContentToHTML(Source));
        Data += '\0';
    }
    if (Data.empty()) return nullptr;
    return BlockOf(Data);
}

HRESULT TCustomLazyStringTree::RenderFormatData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    HRESULT Result = TBaseLazyTree::RenderFormatData(FormatEtcIn, Medium, ForClipboard);
    if (SUCCEEDED(Result)) return Result;
    try {
        HGLOBAL Block = ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
        if (Block) {
            Medium = STGMEDIUM{};
            Medium.tymed = TYMED_HGLOBAL;
            Medium.hGlobal = Block;
            Result = S_OK;
        }
    } catch (...) {
        Medium = STGMEDIUM{};
        Result = E_FAIL;
    }
    return Result;
}

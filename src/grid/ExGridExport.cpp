// The grid's cells as an XML list of records, and any XML document read
// back into cells.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/Markup.h"

#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Process.h"
#include "framework/SysUtils.h"
#include "framework/TextFiles.h"
#include "framework/XmlDoc.h"

#include <algorithm>
#include <cmath>

namespace {

String Replaced(const String& S, const String& From, const String& To) {
    return StringReplace(S, From, To, rfReplaceAll);
}

// "$amp;" keeps the text free of bare ampersands; files and peers rely on it.
String EscapeXMLText(const String& S) {
    String r = Replaced(S, u"&", u"$amp;");
    r = Replaced(r, u">", u"&gt;");
    r = Replaced(r, u"<", u"&lt;");
    return Replaced(r, u"\"", u"&quot;");
}

String UnescapeXMLText(const String& S) {
    String r = Replaced(S, u"$amp;", u"&");
    r = Replaced(r, u"&gt;", u">");
    r = Replaced(r, u"&lt;", u"<");
    return Replaced(r, u"&quot;", u"\"");
}

// Characters above Latin-1 as character references, so the file holds what
// its declaration promises.
String Latin1Safe(const String& S) {
    String r;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const Char c = S[i];
        if (c <= 0xFF) {
            r += c;
            continue;
        }
        unsigned code = c;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < S.size() && S[i + 1] >= 0xDC00 && S[i + 1] < 0xE000)
            code = 0x10000 + ((unsigned(c) - 0xD800) << 10) + (unsigned(S[++i]) - 0xDC00);
        r += u"&#" + IntToStr(code) + u";";
    }
    return r;
}

}  // namespace

void TExGridTools::SaveToXML(const String& FileName, const String& ListDescr, const String& RecordDescr,
                             const TStringList* FieldDescr, bool ExportEmptyCells) {
    const String CRLF = u"\r\n";
    String text = u"<?xml version=\"1.0\" encoding=\"" + XMLEncoding + u"\" ?>" + CRLF;
    text += u"<" + ListDescr + u">" + CRLF;
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h, r0 = SaveStartRow(), r1 = SaveEndRow();
    FGrid.ExportNotification(0, r0);
    int last = -1;
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5, r);
        text += u"<" + RecordDescr + u">" + CRLF;
        for (int c = c0; c <= c1; ++c) {
            const int rc = SaveColumn(c);
            if (FGrid.IsMergedNonBaseCell(rc, r)) continue;
            String s = FGrid.SaveCell(rc, r);
            if (s.empty() && !ExportEmptyCells) continue;
            if (s.empty() && QuoteEmptyCells) s = u"\"\"";
            const int i = c - c0;
            const String tag = FieldDescr && i < FieldDescr->Count() ? FieldDescr->Strings(i) : u"FIELD" + IntToStr(i);
            text += u"<" + tag + u">" + EscapeXMLText(s) + u"</" + tag + u">" + CRLF;
        }
        text += u"</" + RecordDescr + u">" + CRLF;
        if (OnFileProgress) FileProgress(int(std::nearbyint(double(r) / std::max(1, r1 - r0) * 100.0)), last);
    }
    text += u"</" + ListDescr + u">" + CRLF;
    FGrid.ExportNotification(2);
    const bool utf8 = SameText(XMLEncoding, u"UTF-8");
    try {
        WriteTextFile(FileName, utf8 ? text : Latin1Safe(text), utf8 ? TTextEncoding::Utf8 : TTextEncoding::Latin1);
    } catch (const EFCreateError&) {
        throw EExGridError(u"Cannot Create file " + FileName);
    }
}

// The walk over a document: offsets into the grid and the largest cell reached.
struct TXMLWalk {
    TExStringGrid& Grid;
    TExGridTools& Tools;
    bool LevelToRow;
    bool LoadFieldDescr;
    int C0, R0;
    int M, N;
    int c = 0, r = 0, L = 1;

    bool FixedNames() const { return Tools.SaveFixedCells || Tools.SaveFixedRows; }

    void Reach(int ACol, int ARow) {
        if (Grid.ColCount() < ACol + 1) Grid.SetColCount(ACol + 1);
        if (Grid.RowCount() < ARow + 1) Grid.SetRowCount(ARow + 1);
    }

    void Store(int ACol, int ARow, const String& Value);
    void Walk(const TXmlNode& Node);
};

// Loading goes through the grid's LoadCell, which the tools may call.
void TXMLWalk::Store(int ACol, int ARow, const String& Value) { Tools.LoadXMLCell(ACol, ARow, Value); }

void TExGridTools::LoadXMLCell(int ACol, int ARow, const String& Value) {
    // Cells outside the counts are not kept: nothing is written outside the store.
    if (ACol < FGrid.TotalColCount() && ARow < FGrid.RowCount()) FGrid.LoadCell(ACol, ARow, Value);
}

void TXMLWalk::Walk(const TXmlNode& Node) {
    bool startedRow = false;
    if (Node.Kind() == TXmlNodeKind::Element) {
        const std::vector<TXmlAttribute> attrs = Node.Attributes();
        for (const TXmlAttribute& a : attrs) {
            Reach(C0 + c, R0 + r);
            if (Grid.GetGridCell(C0 + c, 0).empty() && FixedNames()) Store(C0 + c, 0, a.Name);
            Store(C0 + c, R0 + r, UnescapeXMLText(a.Value));
            M = std::max(M, C0 + c);
            N = std::max(N, R0 + r);
            ++c;
        }
        if (LevelToRow && !attrs.empty()) {
            ++r;
            c = L;
            startedRow = true;
        }
    }
    const std::vector<TXmlNode> children = Node.ChildNodes();
    if (children.size() > 1) {
        if (LevelToRow && !startedRow) {
            ++r;
            c = 0;
        }
        ++L;
        for (const TXmlNode& child : children) Walk(child);
    } else if (children.size() == 1) {
        Reach(C0 + c, R0 + r);
        if (Grid.GetGridCell(C0 + c, 0).empty() && FixedNames() && LoadFieldDescr) Store(C0 + c, 0, Node.NodeName());
        String s = UnescapeXMLText(Node.InnerText());
        if (s == u"\"\"" && Tools.QuoteEmptyCells) s.clear();
        Store(C0 + c, R0 + r, s);
        M = std::max(M, C0 + c);
        N = std::max(N, R0 + r);
        ++c;
    } else {
        if (C0 + c >= 0 && R0 + r >= 0) Store(C0 + c, R0 + r, String());
        ++c;
    }
}

void TExGridTools::LoadFromXML(const String& FileName, bool LevelToRow, bool LoadFieldDescr) {
    if (!FileExists(FileName)) throw Exception(u"XML file not found");
    TXmlDocument doc;
    try {
        doc.LoadFromFile(FileName);
    } catch (const EXmlError& e) {
        throw Exception(u"XMLDOM Parsing error " + IntToStr(e.Code()) + u" on line " + IntToStr(e.Line()));
    }
    const int c0 = SaveStartCol();
    const int r0 = (SaveFixedCells || SaveFixedRows) && !LoadFieldDescr ? 0 : FGrid.FixedRows();
    TXMLWalk w{FGrid, *this, LevelToRow, LoadFieldDescr, c0, r0, c0, r0};
    try {
        const std::vector<TXmlNode> top = doc.DocumentElement().ChildNodes();
        for (std::size_t i = 0; i < top.size(); ++i) {
            w.c = 0;
            w.L = 1;
            if (LevelToRow && i == 0 && top[i].Attributes().empty()) w.r = -1;
            w.Walk(top[i]);
            if (!LevelToRow) ++w.r;
        }
        FGrid.SetColCount(w.M + 1);
        FGrid.SetRowCount(w.N + 1);
    } catch (...) {
        FGrid.RecalcFooter(-1);
        throw;
    }
    FGrid.RecalcFooter(-1);
}

// ---------------------------------------------------------------------------
// HTML table

void THTMLSettings::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const THTMLSettings*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    AutoPreview = s->AutoPreview;
    BorderSize = s->BorderSize;
    CellSpacing = s->CellSpacing;
    CellPadding = s->CellPadding;
    ConvertSpecialChars = s->ConvertSpecialChars;
    FooterFile = s->FooterFile;
    HeaderFile = s->HeaderFile;
    NonBreakingText = s->NonBreakingText;
    PrefixTag = s->PrefixTag;
    SaveColor = s->SaveColor;
    SaveFonts = s->SaveFonts;
    SuffixTag = s->SuffixTag;
    Summary = s->Summary;
    TableStyle = s->TableStyle;
    Width = s->Width;
    XHTML = s->XHTML;
}

namespace {

// A colour value that no cell resolves to: the marker of "no background".
constexpr TColor kUnresolved = TColor(0x1FFFFFFF);

String HexRGB(TColor C) {
    const unsigned v = unsigned(ColorToRGB(C));
    const unsigned rgb = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
    String s = IntToHex(int(rgb), 6);
    return s;
}

// Characters outside 7-bit ASCII as character references.
String AsciiSafe(const String& S) {
    String r;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const Char c = S[i];
        if (c < 0x80) {
            r += c;
            continue;
        }
        unsigned code = c;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < S.size() && S[i + 1] >= 0xDC00 && S[i + 1] < 0xE000)
            code = 0x10000 + ((unsigned(c) - 0xD800) << 10) + (unsigned(S[++i]) - 0xDC00);
        r += u"&#" + IntToStr(code) + u";";
    }
    return r;
}

String Trimmed(const String& S) {
    std::size_t a = 0, b = S.size();
    while (a < b && S[a] == u' ') ++a;
    while (b > a && S[b - 1] == u' ') --b;
    return S.substr(a, b - a);
}

}  // namespace

String TExGridTools::SaveToHTMLString(const String& Dir) {
    const String CRLF = u"\r\n";
    const String Q = u"\"";
    const THTMLSettings& hs = FHTMLSettings;
    const int S = SaveFixedCells || SaveFixedCols ? 0 : FGrid.FixedCols();
    int F = SaveFixedCells || SaveFixedRows ? 0 : FGrid.FixedRows();
    int pictures = 1;
    std::vector<String> styles;
    auto styleIndex = [&styles](const String& Style) {
        const auto it = std::find(styles.begin(), styles.end(), Style);
        if (it != styles.end()) return int(it - styles.begin());
        styles.push_back(Style);
        return int(styles.size() - 1);
    };
    // The cell's look as the painter resolves it, as a style class.
    auto cellStyle = [&](int c, int r, bool Fixed, bool& Wrap) {
        TGridDrawState state;
        TBrush brush;
        brush.SetColor(kUnresolved);
        TFont font;
        font.Assign(&FGrid.Font());
        font.SetColor(kUnresolved);
        TColor to = clNone, mirror = clNone, mirrorTo = clNone;
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        bool ww = false;
        TCellGradientDirection gd = GradientVertical;
        FGrid.GetVisualProperties(c, r, state, false, false, true, brush, to, mirror, mirrorTo, font, ha, va, ww, gd);
        Wrap = ww;
        std::vector<String> parts;
        const TColor bg = Fixed ? FGrid.FixedColor() : brush.Color();
        if (bg != kUnresolved && bg != clNone && hs.SaveColor) parts.push_back(u"background-color: #" + HexRGB(bg));
        if (font.Color() != kUnresolved && font.Color() != clNone && hs.SaveColor)
            parts.push_back(u"color: #" + HexRGB(font.Color()));
        parts.push_back(u"font-size:" + IntToStr(font.Size()) + u"pt");
        if (font.Style().Contains(fsItalic)) parts.push_back(u"font-style: italic");
        if (font.Style().Contains(fsBold)) parts.push_back(u"font-weight: bold");
        parts.push_back(u"font-family: " + font.Name());
        if (ha == taRightJustify) parts.push_back(u"text-align: right");
        if (ha == taCenter) parts.push_back(u"text-align: center");
        parts.push_back(va == vtaTop ? u"vertical-align: top"
                                     : va == vtaCenter ? u"vertical-align: middle" : u"vertical-align: bottom");
        String style;
        for (std::size_t i = 0; i < parts.size(); ++i) style += (i ? u";" : u"") + parts[i];
        return styleIndex(style);
    };
    auto spans = [&](int c, int r) {
        String s;
        const TPoint span = FGrid.CellSpan(c, r);
        if (span.X > 0) s += u" COLSPAN=" + Q + IntToStr(span.X + 1) + Q;
        if (span.Y > 0) s += u" ROWSPAN=" + Q + IntToStr(span.Y + 1) + Q;
        return s;
    };
    // The picture of an image of the grid's list, saved as the next JPEG file.
    auto picture = [&](int Index) {
        const String folder = Dir + u"images";
        if (!DirectoryExists(folder) && !ForceDirectories(folder)) throw Exception(u"Cannot create " + folder);
        const String file = folder + u"/img" + IntToStr(pictures++) + u".jpg";
        TBitmap bmp;
        FGrid.GridImages()->GetBitmap(Index, bmp);
        TJPEGImage jpeg;
        jpeg.Assign(&bmp);
        jpeg.SaveToFile(file);
        return u"<img src= " + Q + u"file://" + file + Q + u">";
    };
    auto content = [&](int rc, int r, String text) {
        if (!hs.ExportImages) return text;
        const TCellGraphic* g = FGrid.GetCellGraphic(rc, r);
        if (!g) return text;
        TImageList* images = FGrid.GridImages();
        switch (g->CellType) {
        case ctNode: return u"+" + text;
        case ctImageList:
            if (images && g->CellIndex >= 0 && g->CellIndex < images->Count()) return picture(g->CellIndex) + text;
            return text;
        case ctDataImage: {
            int idx = -1;
            if (images && TryStrToInt(FGrid.GetGridCell(rc, r), idx) && idx >= 0 && idx < images->Count())
                return picture(idx);
            return String();
        }
        default: return text;
        }
    };

    String table;
    bool header = false;
    if (FGrid.FixedRows() > 0 && (SaveFixedCells || SaveFixedRows)) {
        header = true;
        table += u"<TR>" + CRLF;
        for (int c = S; c < FGrid.ColCount(); ++c) {
            int bc = 0, br = 0;
            FGrid.ResolveBaseCell(c, 0, bc, br);
            if (bc != c || br != 0) continue;
            const int rc = FGrid.RealColIndex(c);
            String text = CRToHTMLBreak(FGrid.SaveCell(rc, 0));
            if (text.empty()) text = u"&nbsp;";
            bool wrap = false;
            const int style = cellStyle(c, 0, true, wrap);
            String line = u"<TD class=" + Q + u"c" + IntToStr(style) + Q + spans(c, 0);
            if (!wrap) line += u" nowrap";
            if (c < hs.ColWidths.Count()) line += u" WIDTH=" + IntToStr(hs.ColWidths.GetInteger(c));
            table += line + u">" + text + u"</td>" + CRLF;
        }
        table += u"</TR>" + CRLF;
        F = 1;
    }
    FGrid.ExportNotification(0, F);
    for (int r = F; r < FGrid.RowCount(); ++r) {
        FGrid.ExportNotification(5, r);
        table += u"<TR>" + CRLF;
        for (int c = S; c < FGrid.ColCount(); ++c) {
            int bc = 0, br = 0;
            FGrid.ResolveBaseCell(c, r, bc, br);
            if (bc != c || br != r) continue;
            const int rc = FGrid.RealColIndex(c);
            String text = FGrid.SaveCell(rc, r);
            if (hs.ConvertSpecialChars) text = EncodeHTMLEntities(text, true);
            if (hs.NonBreakingText) text = SpacesToNbsp(text);
            text = CRToHTMLBreak(text);
            const bool fixed = c < FGrid.FixedCols() || r < FGrid.FixedRows();
            bool wrap = false;
            const int style = cellStyle(c, r, fixed, wrap);
            text = content(rc, r, text);
            if (Trimmed(text).empty()) text = u"&nbsp;";
            String line = u"<TD class=" + Q + u"c" + IntToStr(style) + Q + spans(c, r);
            if (!wrap) line += u" nowrap";
            if (!header && c - S < hs.ColWidths.Count())
                line += u" width=" + IntToStr(hs.ColWidths.GetInteger(c - S));
            table += line + u">" + text + u"</td>" + CRLF;
        }
        table += u"</TR>" + CRLF;
    }
    FGrid.ExportNotification(2);

    String out;
    if (hs.XHTML) {
        out += u"<?xml version=" + Q + u"1.0" + Q + u" encoding=" + Q + u"utf-8" + Q + u"?>" + CRLF;
        out += u"<!DOCTYPE html PUBLIC " + Q + u"-//W3C//DTD XHTML 1.0 Strict//EN" + Q + CRLF;
        out += Q + u"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd" + Q + u">" + CRLF;
        out += u"<HTML xmlns=" + Q + u"http://www.w3.org/1999/xhtml" + Q + u" xml:lang=" + Q + u"en" + Q +
               u" lang=" + Q + u"en" + Q + u">" + CRLF;
    }
    out += hs.PrefixTag;
    out += u"<style>" + CRLF;
    for (std::size_t i = 0; i < styles.size(); ++i) out += u".c" + IntToStr(int(i)) + u" {" + styles[i] + u"}" + CRLF;
    out += u"</style>" + CRLF;
    out += u"<TABLE BORDER=" + Q + IntToStr(hs.BorderSize) + Q + u" ";
    out += u"CELLSPACING=" + Q + IntToStr(hs.CellSpacing) + Q + u" ";
    out += u"CELLPADDING=" + Q + IntToStr(hs.CellPadding) + Q + u" ";
    if (!hs.Summary.empty()) out += u"SUMMARY=" + Q + hs.Summary + Q + u" ";
    if (!hs.TableStyle.empty()) out += u" " + hs.TableStyle + u" ";
    out += u" WIDTH=" + Q + IntToStr(hs.Width) + u"%" + Q + u">" + CRLF;
    out += table;
    out += u"</TABLE>" + CRLF;
    if (!hs.SuffixTag.empty()) out += hs.SuffixTag + CRLF;
    if (hs.XHTML) out += u"</HTML>" + CRLF;
    return out;
}

void TExGridTools::WriteHTML(const String& FileName, bool Show, bool Unicode, bool Append) {
    String text;
    if (Append && FileExists(FileName)) {
        // An existing file that cannot be read leaves the new content alone.
        try {
            text = DecodeText(ReadFileBytes(FileName));
            if (!text.empty() && text.back() != u'\n' && text.back() != u'\r') text += u"\r\n";
        } catch (const Exception&) {
            text.clear();
        }
    }
    auto addFile = [&text](const String& Name) {
        for (const String& l : ReadTextLines(Name)) text += l + u"\r\n";
    };
    if (!FHTMLSettings.HeaderFile.empty()) addFile(FHTMLSettings.HeaderFile);
    text += SaveToHTMLString(StringReplace(ExtractFilePath(FileName), u"\\", u"/", rfReplaceAll)) + u"\r\n";
    if (!FHTMLSettings.FooterFile.empty()) addFile(FHTMLSettings.FooterFile);
    if (Unicode)
        WriteTextFile(FileName, text, TTextEncoding::Utf16LE);
    else
        WriteTextFile(FileName, AsciiSafe(text), TTextEncoding::Latin1);
    if (Show || FHTMLSettings.AutoPreview) OpenInDefaultProgram(FileName);
}

void TExGridTools::SaveToHTML(const String& FileName, bool Show, bool Unicode) {
    WriteHTML(FileName, Show, Unicode, false);
}

void TExGridTools::AppendToHTML(const String& FileName, bool Show, bool Unicode) {
    WriteHTML(FileName, Show, Unicode, true);
}

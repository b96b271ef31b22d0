// The grid's cells as an XML list of records, and any XML document read
// back into cells.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"

#include "framework/Files.h"
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
    FGrid.ExportNotification(0);
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h, r0 = SaveStartRow(), r1 = SaveEndRow();
    int last = -1;
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5);
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

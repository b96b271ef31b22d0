// Workbooks (.xlsx), word-processing documents (.docx) and database files.
// The office files are zip packages of XML parts, read through the XML
// document and written as text by us. An existing package is changed by
// splicing only the parts concerned; every other part is copied byte for
// byte, and the new package replaces the file whole or not at all.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"

#include "framework/Database.h"
#include "framework/Files.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "framework/Zip.h"

#include <freexl.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <set>

namespace {

const char* const NsSheet = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const NsRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const NsPackageRel = "http://schemas.openxmlformats.org/package/2006/relationships";
const char* const NsTypes = "http://schemas.openxmlformats.org/package/2006/content-types";
const char* const NsWord = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const char* const XmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
const char* const RelOfficeDocument = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
const char* const RelWorksheet = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char* const TypeWorksheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

// The hourglass while an office file is worked on, the old cursor after.
class THourGlass {
public:
    THourGlass() : FOld(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(FOld); }

private:
    TCursor FOld;
};

class TUpdateLock {
public:
    explicit TUpdateLock(TExStringGrid& G) : FGrid(G) { FGrid.BeginUpdate(); }
    ~TUpdateLock() { FGrid.EndUpdate(); }

private:
    TExStringGrid& FGrid;
};

// Text for element content and attribute values; characters XML cannot
// hold (controls other than tab, LF and CR) are left out so that the part
// stays readable.
std::string XmlText(const String& S) {
    String t;
    t.reserve(S.size());
    for (Char c : S) {
        switch (c) {
        case u'&': t += u"&amp;"; break;
        case u'<': t += u"&lt;"; break;
        case u'>': t += u"&gt;"; break;
        case u'"': t += u"&quot;"; break;
        default:
            if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') break;
            if (c == 0xFFFE || c == 0xFFFF) break;
            t += c;
        }
    }
    return StringToUtf8(t);
}

String LocalName(const TXmlNode& N) {
    const String n = N.NodeName();
    const auto p = n.find(u':');
    return p == String::npos ? n : n.substr(p + 1);
}

String PrefixOf(const TXmlNode& N) {
    const String n = N.NodeName();
    const auto p = n.find(u':');
    return p == String::npos ? String() : n.substr(0, p + 1);
}

TXmlNode ChildLocal(const TXmlNode& N, std::u16string_view Name) {
    for (const TXmlNode& c : N.Children())
        if (LocalName(c) == Name) return c;
    return {};
}

// An attribute by its local name; Prefixed: only one with a prefix (r:id, not Id).
String AttrLocal(const TXmlNode& N, std::u16string_view Name, bool Prefixed = false) {
    for (const TXmlAttribute& a : N.Attributes()) {
        const auto p = a.Name.find(u':');
        if (Prefixed && p == String::npos) continue;
        if ((p == String::npos ? a.Name : a.Name.substr(p + 1)) == Name) return a.Value;
    }
    return {};
}

// A relationship part's targets by id, resolved against the folder of the
// part it belongs to.
std::map<String, std::pair<String, String>> ReadRels(const TZipReader& Zip, const String& RelsName,
                                                   const String& BaseDir) {
    std::map<String, std::pair<String, String>> rels;
    if (!Zip.Contains(RelsName)) return rels;
    TXmlDocument d;
    d.LoadFromUtf8(Zip.Read(RelsName));
    for (const TXmlNode& r : d.DocumentElement().Children()) {
        if (LocalName(r) != u"Relationship") continue;
        String target = r.AttributeOr(u"Target", u"");
        target = !target.empty() && target[0] == u'/' ? target.substr(1) : BaseDir + target;
        rels[r.AttributeOr(u"Id", u"")] = {r.AttributeOr(u"Type", u""), target};
    }
    return rels;
}

// The package's main part (the workbook or the document).
String MainPart(const TZipReader& Zip, const String& Default) {
    for (const auto& [id, rel] : ReadRels(Zip, u"_rels/.rels", u""))
        if (rel.first == S(RelOfficeDocument)) return rel.second;
    return Default;
}

String FolderOf(const String& Part) {
    const auto p = Part.rfind(u'/');
    return p == String::npos ? String() : Part.substr(0, p + 1);
}

String RelsOf(const String& Part) {
    const auto p = Part.rfind(u'/');
    return FolderOf(Part) + u"_rels/" + (p == String::npos ? Part : Part.substr(p + 1)) + u".rels";
}

// ----- workbooks

struct TSheetRef {
    String Name;
    String Part;
    String RelId;
    int SheetId = 0;
};

struct TBook {
    std::unique_ptr<TZipReader> Zip;
    String Part;  // the workbook part
    std::vector<TSheetRef> Sheets;
    int Active = 0;
    std::vector<String> Shared;
};

// Rich text runs joined; phonetic runs left out.
String InlineText(const TXmlNode& N) {
    String s;
    for (const TXmlNode& c : N.Children()) {
        const String n = LocalName(c);
        if (n == u"t")
            s += c.InnerText();
        else if (n == u"r")
            s += ChildLocal(c, u"t").InnerText();
    }
    return s;
}

TBook OpenBook(const String& FileName) {
    try {
        TBook b;
        b.Zip = std::make_unique<TZipReader>(FileName);
        b.Part = MainPart(*b.Zip, u"xl/workbook.xml");
        TXmlDocument wb;
        wb.LoadFromUtf8(b.Zip->Read(b.Part));
        const auto rels = ReadRels(*b.Zip, RelsOf(b.Part), FolderOf(b.Part));
        const TXmlNode root = wb.DocumentElement();
        if (LocalName(root) != u"workbook") throw Exception(u"no workbook");
        for (const TXmlNode& s : ChildLocal(root, u"sheets").Children()) {
            if (LocalName(s) != u"sheet") continue;
            TSheetRef r;
            r.Name = s.AttributeOr(u"name", u"");
            r.RelId = AttrLocal(s, u"id", true);
            r.SheetId = StrToIntDef(s.AttributeOr(u"sheetId", u"0"), 0);
            const auto it = rels.find(r.RelId);
            if (it != rels.end()) r.Part = it->second.second;
            b.Sheets.push_back(r);
        }
        if (b.Sheets.empty()) throw Exception(u"no sheets");
        const TXmlNode view = ChildLocal(ChildLocal(root, u"bookViews"), u"workbookView");
        b.Active = std::clamp(StrToIntDef(view.AttributeOr(u"activeTab", u"0"), 0), 0, int(b.Sheets.size()) - 1);
        for (const auto& [id, rel] : rels) {
            if (!rel.first.ends_with(u"/sharedStrings") || !b.Zip->Contains(rel.second)) continue;
            TXmlDocument sst;
            sst.LoadFromUtf8(b.Zip->Read(rel.second));
            for (const TXmlNode& si : sst.DocumentElement().Children())
                if (LocalName(si) == u"si") b.Shared.push_back(InlineText(si));
        }
        return b;
    } catch (const Exception&) {
        throw Exception(u"Incorrect XLS file");
    }
}

// A cell reference such as "AB12" or "$AB$12": false when it does not read.
bool CellRef(String Ref, int& Col, int& Row) {
    Ref.erase(std::remove(Ref.begin(), Ref.end(), u'$'), Ref.end());
    std::size_t i = 0;
    int c = 0;
    while (i < Ref.size() && ((Ref[i] >= u'A' && Ref[i] <= u'Z') || (Ref[i] >= u'a' && Ref[i] <= u'z'))) {
        c = c * 26 + (std::toupper(int(Ref[i])) - 'A' + 1);
        if (c > 16384) return false;
        ++i;
    }
    const int r = i < Ref.size() && i > 0 ? StrToIntDef(Ref.substr(i), -1) : -1;
    if (r < 1) return false;
    Col = c;
    Row = r;
    return true;
}

// The values of a sheet by (row, column), 1-based, and its used range.
struct TSheetData {
    std::map<std::pair<int, int>, String> Cells;
    String Dimension;
};

// ----- the old binary workbooks and documents (compound files)

// Whether the file is a compound file, the container of the old binary
// workbooks (.xls) and documents (.doc).
bool IsCompoundFile(const String& FileName) {
    static const char Signature[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};
    std::ifstream f(StringToUtf8(FileName), std::ios::binary);
    char head[8] = {};
    return f.read(head, 8) && std::equal(head, head + 8, Signature);
}

// Whether the file is, or by its name would be, in the old binary format
// (extension Ext, ".xls" or ".doc"), which is never written: a package under
// such a name would pass for what it is not.
bool IsLegacyTarget(const String& FileName, const String& Ext) {
    const String lower = LowerCase(FileName);
    return (lower.size() >= Ext.size() && lower.compare(lower.size() - Ext.size(), Ext.size(), Ext) == 0) ||
           IsCompoundFile(FileName);
}

const char16_t* const LegacyWorkbookNotWritten =
    u"Workbooks in the old binary format (.xls) are read but not written: ";
const char16_t* const LegacyDocumentNotWritten = u"Documents in the old binary format (.doc) are not written: ";

// An old binary workbook, read through the library; every failure of it is
// an incorrect file.
class TLegacyBook {
public:
    explicit TLegacyBook(const String& FileName) {
        unsigned int count = 0;
        if (freexl_open(StringToUtf8(FileName).c_str(), &FHandle) != FREEXL_OK ||
            freexl_get_info(FHandle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0) {
            Close();
            throw Exception(u"Incorrect XLS file");
        }
        for (unsigned short i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(FHandle, i, &name) != FREEXL_OK) {
                Close();
                throw Exception(u"Incorrect XLS file");
            }
            Sheets.push_back(Utf8ToString(name ? name : ""));
        }
    }
    ~TLegacyBook() { Close(); }
    TLegacyBook(const TLegacyBook&) = delete;
    TLegacyBook& operator=(const TLegacyBook&) = delete;

    std::vector<String> Sheets;

    // The values of sheet Index by (row, column), 1-based, and the range they span.
    TSheetData Read(int Index) const {
        TSheetData d;
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_select_active_worksheet(FHandle, static_cast<unsigned short>(Index)) != FREEXL_OK ||
            freexl_worksheet_dimensions(FHandle, &rows, &cols) != FREEXL_OK)
            throw Exception(u"Incorrect XLS file");
        int c1 = 1 << 20, c2 = 0, r1 = 1 << 20, r2 = 0;
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(FHandle, r, c, &v) != FREEXL_OK) throw Exception(u"Incorrect XLS file");
                const String s = CellText(v);
                if (s.empty()) continue;
                d.Cells[{int(r) + 1, int(c) + 1}] = s;
                r1 = std::min(r1, int(r) + 1), r2 = std::max(r2, int(r) + 1);
                c1 = std::min(c1, int(c) + 1), c2 = std::max(c2, int(c) + 1);
            }
        if (c2) d.Dimension = TExGridTools::XLSColumnLetters(c1) + IntToStr(r1) + u":" +
                              TExGridTools::XLSColumnLetters(c2) + IntToStr(r2);
        return d;
    }

private:
    static String CellText(const FreeXL_CellValue& V) {
        switch (V.type) {
        case FREEXL_CELL_INT: return IntToStr(V.value.int_value);
        case FREEXL_CELL_DOUBLE: {
            // The shortest text that reads back as the same number, as the
            // newer workbooks store their numbers.
            char buf[32];
            const auto r = std::to_chars(buf, buf + sizeof buf, V.value.double_value);
            return Utf8ToString(std::string(buf, r.ptr));
        }
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME: return Utf8ToString(V.value.text_value ? V.value.text_value : "");
        default: return String();
        }
    }
    void Close() {
        if (FHandle) freexl_close(FHandle);
        FHandle = nullptr;
    }
    const void* FHandle = nullptr;
};

TSheetData ReadSheet(const TBook& B, const TSheetRef& Sheet) {
    try {
        TSheetData d;
        TXmlDocument doc;
        doc.LoadFromUtf8(B.Zip->Read(Sheet.Part));
        const TXmlNode root = doc.DocumentElement();
        d.Dimension = ChildLocal(root, u"dimension").AttributeOr(u"ref", u"");
        int row = 0;
        for (const TXmlNode& r : ChildLocal(root, u"sheetData").Children()) {
            if (LocalName(r) != u"row") continue;
            row = StrToIntDef(r.AttributeOr(u"r", u""), row + 1);
            int col = 0;
            for (const TXmlNode& c : r.Children()) {
                if (LocalName(c) != u"c") continue;
                int cc = col + 1, rr = row;
                const String ref = c.AttributeOr(u"r", u"");
                if (!ref.empty() && !CellRef(ref, cc, rr)) throw Exception(u"bad cell");
                col = cc;
                const String t = c.AttributeOr(u"t", u"n");
                const String v = ChildLocal(c, u"v").InnerText();
                String s;
                if (t == u"s") {
                    const int i = StrToIntDef(v, -1);
                    if (i < 0 || i >= int(B.Shared.size())) throw Exception(u"bad string");
                    s = B.Shared[i];
                } else if (t == u"inlineStr") {
                    s = InlineText(ChildLocal(c, u"is"));
                } else if (t == u"b") {
                    s = v == u"1" ? u"TRUE" : u"FALSE";
                } else if (t == u"e") {
                    continue;  // error values are not loaded
                } else {
                    s = v;
                }
                if (!s.empty()) d.Cells[{rr, cc}] = s;
            }
        }
        if (d.Dimension.empty()) {
            if (d.Cells.empty()) return d;
            int c1 = 1 << 20, c2 = 0;
            for (const auto& [k, v] : d.Cells) c1 = std::min(c1, k.second), c2 = std::max(c2, k.second);
            d.Dimension = TExGridTools::XLSColumnLetters(c1) + IntToStr(d.Cells.begin()->first.first) + u":" +
                          TExGridTools::XLSColumnLetters(c2) + IntToStr(d.Cells.rbegin()->first.first);
        }
        return d;
    } catch (const Exception&) {
        throw Exception(u"Incorrect XLS file");
    }
}

// A tag's attribute value as written (no entities decoded).
std::string TagAttr(const std::string& Tag, const std::string& Name) {
    for (std::size_t p = Tag.find(Name + "="); p != std::string::npos; p = Tag.find(Name + "=", p + 1)) {
        if (p == 0 || !std::isspace(static_cast<unsigned char>(Tag[p - 1]))) continue;
        const std::size_t q = p + Name.size() + 1;
        if (q >= Tag.size()) break;
        const char quote = Tag[q];
        const std::size_t e = Tag.find(quote, q + 1);
        if (e == std::string::npos) break;
        return Tag.substr(q + 1, e - q - 1);
    }
    return {};
}

std::string DropAttr(std::string Tag, const std::string& Name) {
    const std::string v = TagAttr(Tag, Name);
    if (v.empty()) return Tag;
    const std::size_t p = Tag.find(" " + Name + "=");
    if (p != std::string::npos) Tag.erase(p, Name.size() + v.size() + 4);
    return Tag;
}

// The extent of an element named Name (prefix included) that starts at
// From: up to and with its end tag, or its own "/>".
std::size_t ElementEnd(const std::string& X, std::size_t From, const std::string& Name) {
    const std::size_t gt = X.find('>', From);
    if (gt == std::string::npos) return std::string::npos;
    if (X[gt - 1] == '/') return gt + 1;
    const std::size_t e = X.find("</" + Name + ">", gt);
    return e == std::string::npos ? std::string::npos : e + Name.size() + 3;
}

// The first start tag of an element whose local name is Local: its
// position and full name, or npos.
std::size_t FindStart(const std::string& X, const std::string& Local, std::string& Name, std::size_t From = 0) {
    for (std::size_t p = X.find('<', From); p != std::string::npos; p = X.find('<', p + 1)) {
        std::size_t e = p + 1;
        while (e < X.size() && !std::isspace(static_cast<unsigned char>(X[e])) && X[e] != '>' && X[e] != '/') ++e;
        const std::string n = X.substr(p + 1, e - p - 1);
        const std::size_t colon = n.find(':');
        if ((colon == std::string::npos ? n : n.substr(colon + 1)) == Local) {
            Name = n;
            return p;
        }
    }
    return std::string::npos;
}

// A sheet's rows and cells as written, each cell's XML kept whole, so that
// cells outside a written block come back unchanged.
struct TRawSheet {
    std::map<int, std::string> RowTags;                  // the start tag of each row, without "spans"
    std::map<std::pair<int, int>, std::string> Cells;    // (row, column) -> the cell element
};

// A start tag of exactly this name at P.
bool IsTagAt(const std::string& X, std::size_t P, const std::string& Name) {
    if (X.compare(P, Name.size() + 1, "<" + Name) != 0) return false;
    const std::size_t e = P + Name.size() + 1;
    return e < X.size() && (X[e] == '>' || X[e] == '/' || std::isspace(static_cast<unsigned char>(X[e])));
}

TRawSheet ParseRawSheet(const std::string& Data, const std::string& P) {
    TRawSheet s;
    int row = 0, col = 0;
    std::size_t p = 0;
    while ((p = Data.find('<', p)) != std::string::npos) {
        if (IsTagAt(Data, p, P + "row")) {
            const std::size_t gt = Data.find('>', p);
            if (gt == std::string::npos) throw Exception(u"bad row");
            std::string tag = Data.substr(p, gt - p + 1);
            row = StrToIntDef(Utf8ToString(TagAttr(tag, "r")), row + 1);
            col = 0;
            if (tag.ends_with("/>")) tag = tag.substr(0, tag.size() - 2) + ">";
            s.RowTags[row] = DropAttr(tag, "spans");
            p = gt + 1;
        } else if (IsTagAt(Data, p, P + "c")) {
            const std::size_t e = ElementEnd(Data, p, P + "c");
            if (e == std::string::npos) throw Exception(u"bad cell");
            const std::string cell = Data.substr(p, e - p);
            int cc = col + 1, rr = row;
            const std::string ref = TagAttr(cell.substr(0, cell.find('>') + 1), "r");
            if (!ref.empty() && !CellRef(Utf8ToString(ref), cc, rr)) throw Exception(u"bad cell");
            col = cc;
            if (!s.RowTags.count(rr)) s.RowTags[rr] = "<" + P + "row r=\"" + std::to_string(rr) + "\">";
            s.Cells[{rr, cc}] = cell;
            p = e;
        } else {
            ++p;
        }
    }
    return s;
}

std::string RangeText(int C1, int R1, int C2, int R2) {
    return StringToUtf8(TExGridTools::XLSColumnLetters(C1) + IntToStr(R1) + u":" + TExGridTools::XLSColumnLetters(C2) +
                        IntToStr(R2));
}

// The sheet data holding Block (rows of texts from column A of row Top on)
// over the sheet's other cells, and the range it spans.
std::string SheetDataText(TRawSheet& Raw, const std::vector<std::vector<String>>& Block, const std::string& P,
                          std::string& Range, int Top = 1) {
    const int rows = int(Block.size()), cols = rows ? int(Block[0].size()) : 0;
    for (int r = Top; r < Top + rows; ++r)
        for (int c = 1; c <= cols; ++c) {
            const auto it = Raw.Cells.find({r, c});
            const std::string style = it == Raw.Cells.end() ? std::string() : TagAttr(it->second.substr(0, it->second.find('>') + 1), "s");
            const String& v = Block[r - Top][c - 1];
            if (v.empty()) {
                if (it != Raw.Cells.end()) Raw.Cells.erase(it);
                continue;
            }
            if (!Raw.RowTags.count(r)) Raw.RowTags[r] = "<" + P + "row r=\"" + std::to_string(r) + "\">";
            const std::string ref = StringToUtf8(TExGridTools::XLSColumnLetters(c) + IntToStr(r));
            Raw.Cells[{r, c}] = "<" + P + "c r=\"" + ref + "\"" + (style.empty() ? "" : " s=\"" + style + "\"") +
                                " t=\"inlineStr\"><" + P + "is><" + P + "t xml:space=\"preserve\">" + XmlText(v) + "</" +
                                P + "t></" + P + "is></" + P + "c>";
        }
    std::string out = "<" + P + "sheetData>";
    // The written block counts as used, empty cells at its edges too, so
    // that it reads back in its own shape.
    int c1 = 1 << 20, c2 = 0, r1 = 1 << 20, r2 = 0;
    if (rows && cols) c1 = 1, r1 = Top, c2 = cols, r2 = Top + rows - 1;
    for (const auto& [row, tag] : Raw.RowTags) {
        out += tag;
        for (auto it = Raw.Cells.lower_bound({row, 0}); it != Raw.Cells.end() && it->first.first == row; ++it) {
            out += it->second;
            c1 = std::min(c1, it->first.second), c2 = std::max(c2, it->first.second);
            r1 = std::min(r1, row), r2 = std::max(r2, row);
        }
        out += "</" + P + "row>";
    }
    out += "</" + P + "sheetData>";
    Range = c2 ? RangeText(c1, r1, c2, r2) : "A1";
    return out;
}

// The sheet part with its data replaced by Block (from row Top on) over its other cells.
std::string SpliceSheet(const std::string& Sheet, const std::vector<std::vector<String>>& Block, int Top = 1) {
    std::string name;
    const std::size_t p = FindStart(Sheet, "sheetData", name);
    if (p == std::string::npos) throw Exception(u"no sheet data");
    const std::size_t e = ElementEnd(Sheet, p, name);
    if (e == std::string::npos) throw Exception(u"no sheet data");
    const std::string prefix = name.substr(0, name.find(':') == std::string::npos ? 0 : name.find(':') + 1);
    const std::size_t inner = Sheet.find('>', p) + 1;
    TRawSheet raw = ParseRawSheet(inner < e ? Sheet.substr(inner, e - inner) : std::string(), prefix);
    std::string range;
    std::string out = Sheet.substr(0, p) + SheetDataText(raw, Block, prefix, range, Top) + Sheet.substr(e);
    std::string dim;
    const std::size_t d = FindStart(out, "dimension", dim);
    if (d != std::string::npos && d < p) {
        const std::size_t de = out.find('>', d);
        out.replace(d, de - d + 1, "<" + dim + " ref=\"" + range + "\"/>");
    }
    return out;
}

// The row of the sheet's active cell (its first view's selection), 1 without one.
int ActiveCellRow(const std::string& Sheet) {
    std::string name;
    const std::size_t p = FindStart(Sheet, "selection", name);
    if (p == std::string::npos) return 1;
    const std::size_t gt = Sheet.find('>', p);
    if (gt == std::string::npos) return 1;
    int col = 0, row = 0;
    const std::string ref = TagAttr(Sheet.substr(p, gt - p + 1), "activeCell");
    return !ref.empty() && CellRef(Utf8ToString(ref), col, row) && row <= 1048576 ? row : 1;
}

std::string NewSheetPart(const std::vector<std::vector<String>>& Block) {
    TRawSheet raw;
    std::string range;
    const std::string data = SheetDataText(raw, Block, "", range);
    return std::string(XmlHead) + "<worksheet xmlns=\"" + NsSheet + "\" xmlns:r=\"" + NsRel + "\"><dimension ref=\"" +
           range + "\"/>" + data + "</worksheet>";
}

// A workbook of one sheet.
std::map<String, std::string> NewBook(const String& SheetName, const std::vector<std::vector<String>>& Block) {
    std::map<String, std::string> parts;
    parts[u"[Content_Types].xml"] =
        std::string(XmlHead) + "<Types xmlns=\"" + NsTypes +
        "\"><Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" + TypeWorksheet + "\"/></Types>";
    parts[u"_rels/.rels"] = std::string(XmlHead) + "<Relationships xmlns=\"" + NsPackageRel +
                            "\"><Relationship Id=\"rId1\" Type=\"" + RelOfficeDocument +
                            "\" Target=\"xl/workbook.xml\"/></Relationships>";
    parts[u"xl/_rels/workbook.xml.rels"] =
        std::string(XmlHead) + "<Relationships xmlns=\"" + NsPackageRel + "\"><Relationship Id=\"rId1\" Type=\"" +
        RelWorksheet + "\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + NsRel +
        "/styles\" Target=\"styles.xml\"/></Relationships>";
    parts[u"xl/workbook.xml"] = std::string(XmlHead) + "<workbook xmlns=\"" + NsSheet + "\" xmlns:r=\"" + NsRel +
                                "\"><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets><sheet name=\"" +
                                XmlText(SheetName) + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    parts[u"xl/styles.xml"] =
        std::string(XmlHead) + "<styleSheet xmlns=\"" + NsSheet +
        "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";
    parts[u"xl/worksheets/sheet1.xml"] = NewSheetPart(Block);
    return parts;
}

// Inserts Text before the closing tag of the element whose local name is Local.
void InsertBeforeEnd(std::string& X, const std::string& Local, const std::string& Text) {
    std::string name;
    const std::size_t p = FindStart(X, Local, name);
    if (p == std::string::npos) throw Exception(u"missing " + Utf8ToString(Local));
    const std::size_t gt = X.find('>', p);
    if (X[gt - 1] == '/') {
        X.replace(gt - 1, 2, ">" + Text + "</" + name + ">");
        return;
    }
    const std::size_t e = X.find("</" + name + ">", gt);
    if (e == std::string::npos) throw Exception(u"missing end of " + Utf8ToString(Local));
    X.insert(e, Text);
}

std::string PrefixOfName(const std::string& Name) {
    const std::size_t c = Name.find(':');
    return c == std::string::npos ? std::string() : Name.substr(0, c + 1);
}

void WritePackage(const String& FileName, const std::map<String, std::string>& Parts,
                  const std::vector<String>& Order) {
    try {
        TZipWriter w(FileName);
        for (const String& n : Order) w.Add(n, Parts.at(n));
        for (const auto& [n, bytes] : Parts)
            if (std::find(Order.begin(), Order.end(), n) == Order.end()) w.Add(n, bytes);
        w.Commit();
    } catch (const Exception& E) {
        throw EExGridError(u"Cannot Create file " + FileName + u": " + E.Message());
    }
}

// Every part of a package in archive order.
std::vector<String> ReadPackage(const TZipReader& Zip, std::map<String, std::string>& Parts) {
    std::vector<String> order;
    for (const TZipEntry& e : Zip.Entries()) {
        if (e.Name.ends_with(u"/")) continue;
        Parts[e.Name] = Zip.Read(e.Name);
        order.push_back(e.Name);
    }
    return order;
}

// ----- documents

std::string RunsText(const String& S, const std::string& P) {
    std::string out;
    String line;
    bool first = true;
    auto flush = [&] {
        if (!first) out += "<" + P + "br/>";
        first = false;
        if (!line.empty()) out += "<" + P + "t xml:space=\"preserve\">" + XmlText(line) + "</" + P + "t>";
        line.clear();
    };
    for (Char c : S) {
        if (c == u'\r') continue;
        if (c == u'\n')
            flush();
        else
            line += c;
    }
    flush();
    return "<" + P + "r>" + out + "</" + P + "r>";
}

}  // namespace

// ===== A1 addresses

bool TExGridTools::XLSRangeBounds(const String& Address, int& FromCol, int& FromRow, int& ToCol, int& ToRow) {
    FromCol = FromRow = ToCol = ToRow = -1;
    const auto colon = Address.find(u':');
    if (colon == String::npos) {
        // One cell; an address that does not read stands for the first cell.
        if (!CellRef(Address, FromCol, FromRow)) FromCol = FromRow = 1;
        ToCol = FromCol;
        ToRow = FromRow;
        return true;
    }
    String a = Address.substr(0, colon), b = Address.substr(colon + 1);
    if (!a.empty() && a[0] == u'$') a.erase(0, 1);
    if (!b.empty() && b[0] == u'$') b.erase(0, 1);
    if (!a.empty() && a[0] >= u'0' && a[0] <= u'9') {
        // Whole rows.
        FromRow = StrToIntDef(a, -1);
        ToRow = StrToIntDef(b, -1);
        FromCol = 1;
        ToCol = 256;
    } else {
        if (!CellRef(a, FromCol, FromRow)) FromCol = FromRow = -1;
        if (!CellRef(b, ToCol, ToRow)) ToCol = ToRow = -1;
    }
    return FromCol > 0 && FromRow > 0 && ToCol >= FromCol && ToRow >= FromRow;
}

String TExGridTools::XLSColumnLetters(int Col) {
    String s;
    for (; Col > 0; Col = (Col - 1) / 26) s.insert(s.begin(), Char(u'A' + (Col - 1) % 26));
    return s;
}

// ===== workbooks

std::unique_ptr<TStringList> TExGridTools::GetXLSSheets(const String& FileName) {
    THourGlass wait;
    auto list = std::make_unique<TStringList>();
    if (IsCompoundFile(FileName)) {
        for (const String& s : TLegacyBook(FileName).Sheets) list->Add(s);
        return list;
    }
    const TBook b = OpenBook(FileName);
    for (const TSheetRef& s : b.Sheets) list->Add(s.Name);
    return list;
}

void TExGridTools::LoadFromXLS(const String& FileName) { LoadXLS(FileName, nullptr); }

void TExGridTools::LoadFromXLSSheet(const String& FileName, const String& SheetName) { LoadXLS(FileName, &SheetName); }

void TExGridTools::LoadXLS(const String& FileName, const String* SheetName) {
    THourGlass wait;
    struct TChanged {
        TExGridTools& T;
        ~TChanged() { T.CellsLoaded(); }
    } changed{*this};
    // The sheet's values: from the newer package, or from an old binary
    // workbook, whose active sheet is its first (the library does not say).
    TSheetData d;
    auto pick = [&](const std::vector<String>& Names, int Active) {
        if (!SheetName) return Active;
        int sheet = -1;
        for (int i = 0; i < int(Names.size()); ++i)
            if (Names[i] == *SheetName) sheet = i;
        if (sheet < 0) throw EExGridError(u"Excel worksheet " + *SheetName + u" not found");
        return sheet;
    };
    if (IsCompoundFile(FileName)) {
        const TLegacyBook b(FileName);
        d = b.Read(pick(b.Sheets, 0));
    } else {
        const TBook b = OpenBook(FileName);
        std::vector<String> names;
        for (const TSheetRef& s : b.Sheets) names.push_back(s.Name);
        d = ReadSheet(b, b.Sheets[pick(names, b.Active)]);
    }
    int c1, r1, c2, r2;
    if (!XLSRangeBounds(d.Dimension.empty() ? String(u"A1") : d.Dimension, c1, r1, c2, r2))
        throw Exception(u"Incorrect XLS file");
    if (c2 - c1 >= 16384 || r2 - r1 >= 1048576) throw Exception(u"Incorrect XLS file");

    TUpdateLock lock(FGrid);
    const int FC = FGrid.FixedCols(), FR = FGrid.FixedRows();
    const int CO = SaveFixedCells || SaveFixedCols ? 0 : FC;
    const int RO = SaveFixedCells || SaveFixedRows ? 0 : FR;
    const int cols = c2 - c1 + 1 + CO, rows = r2 - r1 + 1 + RO;
    FGrid.SetColCount(cols);
    FGrid.SetRowCount(rows);
    if (FC < cols && FGrid.FixedCols() != FC) FGrid.SetFixedCols(FC);
    if (FR < rows && FGrid.FixedRows() != FR) FGrid.SetFixedRows(FR);
    // The sheet's empty cells show empty: nothing of an earlier content stays in the range.
    // Only what the store holds is walked, not a whole sheet cell by cell.
    const int held = std::min(rows, FGrid.Data().RowExtent());
    for (int r = RO; r < held; ++r) {
        const int width = std::min(cols, FGrid.Data().TextExtent(r));
        for (int c = CO; c < width; ++c)
            if (!FGrid.GetGridCell(c, r).empty()) FGrid.SetGridCell(c, r, String());
    }
    for (const auto& [k, v] : d.Cells) {
        const int r = k.first - r1, c = k.second - c1;
        if (r < 0 || c < 0 || r + RO >= rows || c + CO >= cols) continue;
        FGrid.LoadCell(CO + c, RO + r, v);
    }
}

// A workbook file stands for the open workbook: without CreateNewSheet the
// block goes into its active sheet from the row of the active cell on, and
// with it (or without a file) a new workbook replaces the file.
void TExGridTools::SaveToXLS(const String& FileName, bool CreateNewSheet) {
    WriteXLS(FileName, nullptr, CreateNewSheet);
}

void TExGridTools::SaveToXLSSheet(const String& FileName, const String& SheetName) {
    WriteXLS(FileName, &SheetName, false);
}

void TExGridTools::WriteXLS(const String& FileName, const String* SheetName, bool NewBook) {
    if (IsLegacyTarget(FileName, u".xls")) throw EExGridError(LegacyWorkbookNotWritten + FileName);
    THourGlass wait;
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h, r0 = SaveStartRow(), r1 = SaveEndRow();
    std::vector<std::vector<String>> block;
    FGrid.ExportNotification(0, r0);
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5, r);
        std::vector<String> line;
        for (int c = c0; c <= c1; ++c) {
            String s = FGrid.SaveCell(SaveColumn(c), r);
            s.erase(std::remove(s.begin(), s.end(), u'\r'), s.end());
            line.push_back(s);
        }
        block.push_back(std::move(line));
    }
    FGrid.ExportNotification(2);

    if (NewBook || !FileExists(FileName)) {
        const auto parts = ::NewBook(SheetName ? *SheetName : String(u"Sheet1"), block);
        WritePackage(FileName, parts, {u"[Content_Types].xml", u"_rels/.rels", u"xl/workbook.xml"});
        return;
    }
    std::map<String, std::string> parts;
    std::vector<String> order;
    try {
        TBook b = OpenBook(FileName);
        order = ReadPackage(*b.Zip, parts);
        int sheet = b.Active;
        if (SheetName) {
            sheet = -1;
            for (int i = 0; i < int(b.Sheets.size()); ++i)
                if (b.Sheets[i].Name == *SheetName) sheet = i;
        }
        if (sheet >= 0) {
            std::string& part = parts.at(b.Sheets[sheet].Part);
            part = SpliceSheet(part, block, SheetName ? 1 : ActiveCellRow(part));
        } else {
            // A new sheet: its part, its relationship, its entry and its type.
            int n = 1, id = 0, rel = 1;
            while (parts.count(FolderOf(b.Part) + u"worksheets/sheet" + IntToStr(n) + u".xml")) ++n;
            for (const TSheetRef& s : b.Sheets) id = std::max(id, s.SheetId);
            const String relsName = RelsOf(b.Part);
            const auto rels = ReadRels(*b.Zip, relsName, FolderOf(b.Part));
            while (rels.count(u"rId" + IntToStr(rel))) ++rel;
            const String part = FolderOf(b.Part) + u"worksheets/sheet" + IntToStr(n) + u".xml";
            parts[part] = NewSheetPart(block);
            order.push_back(part);
            const std::string rid = "rId" + std::to_string(rel);
            if (!parts.count(relsName)) {
                parts[relsName] = std::string(XmlHead) + "<Relationships xmlns=\"" + NsPackageRel + "\"/>";
                order.push_back(relsName);
            }
            InsertBeforeEnd(parts[relsName], "Relationships",
                            "<Relationship Id=\"" + rid + "\" Type=\"" + RelWorksheet + "\" Target=\"worksheets/sheet" +
                                std::to_string(n) + ".xml\"/>");
            std::string sheetsName;
            FindStart(parts[b.Part], "sheets", sheetsName);
            const std::string p = PrefixOfName(sheetsName);
            InsertBeforeEnd(parts[b.Part], "sheets",
                            "<" + p + "sheet xmlns:r=\"" + NsRel + "\" name=\"" + XmlText(*SheetName) +
                                "\" sheetId=\"" + std::to_string(id + 1) + "\" r:id=\"" + rid + "\"/>");
            std::string types;
            FindStart(parts.at(u"[Content_Types].xml"), "Types", types);
            InsertBeforeEnd(parts[u"[Content_Types].xml"], "Types",
                            "<" + PrefixOfName(types) + "Override PartName=\"/" + StringToUtf8(part) +
                                "\" ContentType=\"" + TypeWorksheet + "\"/>");
        }
    } catch (const EExGridError&) {
        throw;
    } catch (const Exception& E) {
        throw EExGridError(u"Cannot open workbook " + FileName + u": " + E.Message());
    }
    WritePackage(FileName, parts, order);
}

// ===== documents

// A document file stands for the open document: without CreateNewDocument
// the grid goes to the start of the document in the file, with it (or
// without a file) a new document replaces the file.
void TExGridTools::SaveToDOC(const String& FileName, bool CreateNewDocument) {
    WriteDOC(FileName, nullptr, CreateNewDocument || !FileExists(FileName));
}

void TExGridTools::AppendToDoc(const String& FileName, const String& Bookmark) {
    WriteDOC(FileName, &Bookmark, false);
}

void TExGridTools::WriteDOC(const String& FileName, const String* Bookmark, bool NewDocument) {
    if (IsLegacyTarget(FileName, u".doc")) throw EExGridError(LegacyDocumentNotWritten + FileName);
    THourGlass wait;
    std::map<String, std::string> parts;
    std::vector<String> order;
    String main = u"word/document.xml";
    std::string P = "w:";
    if (!NewDocument) {
        try {
            TZipReader zip(FileName);
            order = ReadPackage(zip, parts);
            main = MainPart(zip, main);
            TXmlDocument d;
            d.LoadFromUtf8(parts.at(main));
            if (LocalName(d.DocumentElement()) != u"document") throw Exception(u"no document");
            P = StringToUtf8(PrefixOf(d.DocumentElement()));
        } catch (const Exception& E) {
            throw EExGridError(u"Cannot open document " + FileName + u": " + E.Message());
        }
    }

    // The window text, then the table of the cells.
    const int rows = FGrid.RowCount(), cols = FGrid.ColCount();
    std::string tbl = "<" + P + "p>" + RunsText(FGrid.Text(), P) + "</" + P + "p>";
    tbl += "<" + P + "tbl><" + P + "tblPr><" + P + "tblW " + P + "w=\"0\" " + P + "type=\"auto\"/><" + P + "tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        tbl += "<" + P + side + " " + P + "val=\"single\" " + P + "sz=\"4\" " + P + "space=\"0\" " + P +
               "color=\"auto\"/>";
    tbl += "</" + P + "tblBorders></" + P + "tblPr><" + P + "tblGrid>";
    for (int g = 0; g < cols; ++g)
        tbl += "<" + P + "gridCol " + P + "w=\"" + std::to_string(FGrid.ColWidths(g) * 15) + "\"/>";
    tbl += "</" + P + "tblGrid>";
    FGrid.ExportNotification(0, 0);
    for (int d = 0; d < rows; ++d) {
        FGrid.ExportNotification(5, d + 1);  // table rows count from 1
        tbl += "<" + P + "tr>";
        for (int g = 0; g < cols; ++g) {
            const int rc = FGrid.RealColIndex(g);
            const TAlignment a = FGrid.CellAlignment(rc, d);
            std::string ppr;
            if (a == taRightJustify) ppr = "right";
            if (a == taCenter) ppr = "center";
            tbl += "<" + P + "tc><" + P + "p>";
            if (!ppr.empty()) tbl += "<" + P + "pPr><" + P + "jc " + P + "val=\"" + ppr + "\"/></" + P + "pPr>";
            tbl += RunsText(FGrid.SaveCell(rc, d), P) + "</" + P + "p></" + P + "tc>";
        }
        tbl += "</" + P + "tr>";
    }
    tbl += "</" + P + "tbl><" + P + "p/>";
    FGrid.ExportNotification(2);

    if (NewDocument) {
        parts[u"[Content_Types].xml"] =
            std::string(XmlHead) + "<Types xmlns=\"" + NsTypes +
            "\"><Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/word/document.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
        parts[u"_rels/.rels"] = std::string(XmlHead) + "<Relationships xmlns=\"" + NsPackageRel +
                                "\"><Relationship Id=\"rId1\" Type=\"" + RelOfficeDocument +
                                "\" Target=\"word/document.xml\"/></Relationships>";
        parts[main] = std::string(XmlHead) + "<w:document xmlns:w=\"" + NsWord + "\"><w:body>" + tbl +
                      "</w:body></w:document>";
        WritePackage(FileName, parts, {u"[Content_Types].xml", u"_rels/.rels", main});
        return;
    }

    std::string& doc = parts[main];
    std::size_t at = std::string::npos;
    if (!Bookmark) {
        // The start of the document: right after the body's opening tag.
        std::string body;
        const std::size_t b = FindStart(doc, "body", body);
        const std::size_t gt = b == std::string::npos ? b : doc.find('>', b);
        if (gt == std::string::npos || doc[gt - 1] == '/') throw EExGridError(u"Cannot open document " + FileName);
        doc.insert(gt + 1, tbl);
        WritePackage(FileName, parts, order);
        return;
    }
    const std::string bm = "<" + P + "bookmarkStart";
    const std::string pEnd = "</" + P + "p>";
    for (std::size_t p = doc.find(bm); p != std::string::npos; p = doc.find(bm, p + 1)) {
        const std::size_t gt = doc.find('>', p);
        if (gt == std::string::npos) break;
        if (TagAttr(doc.substr(p, gt - p + 1), P + "name") != XmlText(*Bookmark)) continue;
        const std::size_t e = doc.find(pEnd, gt);
        if (e != std::string::npos) at = e + pEnd.size();
        break;
    }
    if (at == std::string::npos) {
        // At the end: before the section settings that close the body.
        const std::size_t body = doc.rfind("</" + P + "body>");
        if (body == std::string::npos) throw EExGridError(u"Cannot open document " + FileName);
        at = body;
        const std::size_t sect = doc.rfind("<" + P + "sectPr", body);
        if (sect != std::string::npos) {
            const std::size_t lastP = doc.rfind(pEnd, body), lastT = doc.rfind("</" + P + "tbl>", body);
            if ((lastP == std::string::npos || lastP < sect) && (lastT == std::string::npos || lastT < sect)) at = sect;
        }
    }
    doc.insert(at, tbl);
    WritePackage(FileName, parts, order);
}

// ===== database files

void TExGridTools::LoadFromMDBSQL(const String& FileName, const String& SQL) {
    TDbResult res;
    try {
        TDatabase db(FileName);
        res = db.Query(SQL);
    } catch (const EDatabaseError& E) {
        throw EExGridError(E.Message());
    }
    TUpdateLock lock(FGrid);
    const int FC = FGrid.FixedCols(), FR = FGrid.FixedRows();
    const int n = int(res.Fields.size());
    FGrid.SetColCount(n + FC);
    if (FR > 0)
        for (int i = 0; i < n; ++i) FGrid.SetCells(FC + i, FR - 1, res.Fields[i].Name);
    if (!res.Rows.empty()) FGrid.SetRowCount(FR + int(res.Rows.size()));
    int r = FR;
    for (const auto& rec : res.Rows) {
        if (r >= FGrid.RowCount()) FGrid.SetRowCount(r + 1);
        for (int i = 0; i < n; ++i) FGrid.LoadCell(FC + i, r, rec[i].ActualSize > 0 ? rec[i].Text : String());
        ++r;
    }
}

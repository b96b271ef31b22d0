// Writes the seed corpus of every fuzz target from the writers' own output
// and the tests' data, as fuzz/corpus/<target>/seed_*:
//     fuzz_seeds <corpus folder> <tests folder>
// The inputs are laid out as the targets take them apart (Fuzz_Targets.h).
// Reproducers of findings live beside the seeds under their own names.

#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/Zip.h"
#include "grid/ExGrid.h"
#include "grid/foundation/TestGif.h"
#include "mbus/MBusFixture.h"
#include "mbus/MBusNetwork.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"
#include "shell/UProject_Files.h"
#include "shell/USettings.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <zlib.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

fs::path Corpus, Tests;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

void Seed(const char* target, const std::string& name, const std::string& bytes) {
    const fs::path dir = Corpus / target;
    fs::create_directories(dir);
    std::ofstream(dir / ("seed_" + name), std::ios::binary) << bytes;
}

namespace {

std::string B(int v) { return std::string(1, char(v)); }
std::string Piece(std::string_view bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 0xFFFF);
    return B(int(n & 0xFF)) + B(int(n >> 8)) + std::string(bytes.substr(0, n));
}
std::string Bytes(const TBytes& b) { return std::string(b.begin(), b.end()); }

int Model_Selector(int model) { return Model_Index(model); }

// The place of a project file in Project_Files, by its file name.
int File_Index(const std::string& fileName) {
    const auto& files = Project_Files();
    for (std::size_t i = 0; i < files.size(); ++i)
        if (StringToUtf8(files[i].File_Name) == fileName) return int(i);
    return -1;
}
std::string Project_File(const std::string& fileName, const std::string& bytes) {
    return B(File_Index(fileName)) + Piece(bytes);
}

// The tests' table files by project file name and model ("" model: any).
struct TTableData {
    std::string File;  // project file name
    int Model;         // -1: the file has no model suffix
    std::string Bytes;
};
std::vector<TTableData> Table_Data() {
    std::vector<TTableData> all;
    for (const auto& e : fs::directory_iterator(Tests / "tables" / "data")) {
        std::string stem = e.path().stem().string();
        int model = -1;
        const auto us = stem.rfind('_');
        if (us != std::string::npos && std::isdigit(static_cast<unsigned char>(stem[us + 1]))) {
            model = std::stoi(stem.substr(us + 1));
            stem = stem.substr(0, us);
        }
        all.push_back({stem + ".xml", model, Read(e.path())});
    }
    return all;
}
std::string ParGen_Of(int model) {
    return Read(Tests / "shell" / "data" / "pargen" / ("ParGen_" + std::to_string(model) + ".xml"));
}

// The models that use a project file.
std::vector<int> Users(const std::string& fileName) {
    std::vector<int> models;
    for (const TModel_Info& m : Model_Table) {
        const TProject_File& f = Project_Files()[std::size_t(File_Index(fileName))];
        if (f.Models.empty() || std::find(f.Models.begin(), f.Models.end(), m.Code) != f.Models.end())
            models.push_back(m.Code);
    }
    return models;
}

std::string MBus_Network_Of(int model) {
    TNodi_List list;
    for (int n = 0; n < 3; ++n) {
        auto node = std::make_unique<TNodo>();
        node->Enable = n != 1;
        node->Description = u"Meter " + IntToStr(n) + u" <&>";
        node->Node_ID_Primary = 3 + n;
        node->Node_ID_Secondary = 12345678 + n;
        node->Node_ID_Type = Byte(n % 2);
        node->Var_List_Type = Byte(n == 2);
        node->Cut_After = Byte(10 * n);
        node->Ident_Num = 1;
        node->Node_State = Byte(n % 2);
        node->NS_CommName = u"public";
        node->NS_Timer = 5000;
        for (int v = 0; v < 2 + n; ++v) {
            auto var = std::make_unique<TVariabile>();
            var->Enable = true;
            var->Description = u"Volume m\u00B3 " + IntToStr(v);
            var->Type_Of_Data = (v * 7) % 26;
            var->Function_Field = v % 4;
            var->Dimension = v % 8;
            var->Unita = v % 11;
            var->Storage_Number = Cardinal(v);
            var->Tariff = v;
            var->VIFE = Byte(v * 13);
            var->Length = v == 3 ? 12 : 0;
            var->VIF_ASCII = v == 2 ? u"kWh" : u"";
            var->Position = Byte(v + 1);
            var->Post_Operation = Byte(v % 3);
            var->Var_IP_Add = u"10.0.0." + IntToStr(v);
            node->Var_List.push_back(std::move(var));
        }
        list.push_back(std::move(node));
    }
    return MBus_Network_Xml(list, model);
}

// ---------------------------------------------------------------------------

void ParGen_Seeds() {
    for (const TModel_Info& m : Model_Table) {
        std::string input = B(Model_Selector(m.Code)) + Project_File("ParGen.xml", ParGen_Of(m.Code));
        for (const TTableData& t : Table_Data())
            if (t.Model == m.Code && (t.File == "ModbusM_SetAccess.xml" || t.File.starts_with("CAN_")))
                input += Project_File(t.File, t.Bytes);
        Seed("pargen", "model_" + std::to_string(m.Code), input);
    }
}

void Table_Seeds() {
    for (const TTableData& t : Table_Data()) {
        const std::vector<int> models = t.Model >= 0 ? std::vector<int>{t.Model} : Users(t.File);
        for (int model : models) {
            Model_Code = model;
            Set_Files();
            const TProject_File& f = Project_Files()[std::size_t(File_Index(t.File))];
            const int c = Fuzz_Table_Case(f.Path, model);
            if (c < 0) continue;
            std::string input = B(c) + Project_File("ParGen.xml", ParGen_Of(model)) + Project_File(t.File, t.Bytes);
            // The byte maps read their frames; the offsets read the network.
            for (const TTableData& other : Table_Data())
                if ((t.File == "CAN_Rec_Info.xml" && other.File == "CAN_Rec_Frames.xml") ||
                    (t.File == "CAN_Send_Info.xml" && other.File == "CAN_Send_Frames.xml") ||
                    (t.File == "DNETM_DefOff.xml" && other.File == "DNETM_Net.xml"))
                    input += Project_File(other.File, other.Bytes);
            Seed("table_loaders", t.File.substr(0, t.File.size() - 4) + "_" + std::to_string(model), input);
        }
    }
}

void Image_Seeds() {
    for (const TModel_Info& m : Model_Table) {
        std::string input = B(Model_Selector(m.Code)) + Project_File("ParGen.xml", ParGen_Of(m.Code));
        for (const TTableData& t : Table_Data()) {
            const std::vector<int> users = Users(t.File);
            const bool used = std::find(users.begin(), users.end(), m.Code) != users.end();
            // A file of another model of the same family is the nearest thing to the model's own.
            if (used && (t.Model == m.Code || t.Model == -1 || t.File.starts_with("CAN_") ||
                         t.File.ends_with("CANopen.xml") || t.File == "NodeGuard.xml"))
                input += Project_File(t.File, t.Bytes);
        }
        if (m.Code == 10 || m.Code == 21) input += Project_File("M_Bus.xml", MBus_Network_Of(m.Code));
        Seed("image_builder", "model_" + std::to_string(m.Code), input);
    }
}

void MBus_Network_Seeds() {
    for (int model : {10, 21}) {
        Seed("mbus_network", "model_" + std::to_string(model),
             B(model == 21) + Project_File("ParGen.xml", ParGen_Of(model)) +
                 Project_File("M_Bus.xml", MBus_Network_Of(model)));
    }
}

void Long_Frame_Seeds() {
    Seed("mbus_long_frame", "example", Piece(Bytes(Example_Frame)));
    // Records of every kind: integers of each size, BCD, real, variable
    // length, dates and times, VIF extensions, a manufacturer's part, fillers.
    const TBytes records = {
        0x01, 0xFD, 0x17, 0x05,                          // 1 byte, VIF extension
        0x02, 0x5A, 0x10, 0x01,                          // 2 bytes flow temperature
        0x03, 0x13, 0x15, 0x31, 0x00,                    // 3 bytes volume
        0x04, 0x6D, 0x32, 0x37, 0x1F, 0x15,              // date and time
        0x05, 0x2B, 0x00, 0x00, 0x80, 0x3F,              // real power
        0x06, 0x06, 1, 2, 3, 4, 5, 6,                    // 6 bytes energy
        0x07, 0xFB, 0x0D, 1, 2, 3, 4, 5, 6, 7, 8,        // 8 bytes, second extension table
        0x09, 0x74, 0x12,                                // 2 digit BCD
        0x0A, 0x65, 0x34, 0x12,                          // 4 digit BCD
        0x0B, 0x3B, 0x56, 0x34, 0x12,                    // 6 digit BCD
        0x0C, 0x78, 0x78, 0x56, 0x34, 0x12,              // 8 digit BCD fabrication number
        0x0E, 0x03, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,  // 12 digit BCD
        0x0D, 0xFD, 0x0E, 0x04, 'A', 'B', 'C', 'D',      // variable length text
        0x42, 0x6C, 0x5F, 0x2C,                          // storage 1 date
        0x84, 0x10, 0x13, 0x39, 0x30, 0x00, 0x00,        // tariff 1 volume
        0xC4, 0x40, 0x13, 0x39, 0x30, 0x00, 0x00,        // DIFE chain
        0x04, 0x93, 0x3C, 0x39, 0x30, 0x00, 0x00,        // VIFE after a VIF
        0x04, 0xFF, 0x80, 0x01, 0x39, 0x30, 0x00, 0x00,  // manufacturer VIF with extension
        0x2F, 0x2F,                                      // fillers
        0x0F, 0x01, 0x02, 0x03,                          // manufacturer data to the end
    };
    Seed("mbus_long_frame", "records", Piece(Bytes(Long_Frame(1, records))));
    const TBytes more = {0x04, 0x13, 0x39, 0x30, 0x00, 0x00, 0x1F};
    Seed("mbus_long_frame", "two_frames",
         Piece(Bytes(Long_Frame(5, more))) + Piece(Bytes(Long_Frame(5, {0x02, 0x5A, 0x10, 0x01}))) +
             Piece(Bytes(Long_Frame(9, {0x2F}))));
}

void Wireless_Seeds() {
    const std::string key5(Key5.begin(), Key5.end());
    Seed("mbus_wireless", "mode5_at", B(0) + key5 + Piece(Bytes(Telegram5_At)) + Piece(Bytes(Telegram5_At)));
    TBytes byteModule(Telegram5_At.begin(), Telegram5_At.end() - 1);
    byteModule[0] = Byte(byteModule.size() - 2);
    Seed("mbus_wireless", "mode5_byte", B(1) + key5 + Piece(Bytes(byteModule)) + Piece(Bytes(byteModule)));
    const TBytes telegram7 = {0x43, 0x44, 0x93, 0x15, 0x78, 0x56, 0x34, 0x12, 0x33, 0x03, 0x8C, 0x20, 0x2A, 0x90, 0x0F,
                              0x00, 0x2C, 0x25, 0x01, 0x00, 0x00, 0x00, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                              0x7A, 0x2A, 0x00, 0x20, 0x07, 0x10, 0x65, 0x40, 0xC9, 0x50, 0x6F, 0x71, 0xE1, 0xAE, 0xFA,
                              0x09, 0x04, 0x74, 0xA9, 0x80, 0xCF, 0xF4, 0x9F, 0x8B, 0xAF, 0x45, 0x9A, 0xBC, 0x4A, 0xA2,
                              0x47, 0x7E, 0xDF, 0xB0, 0x97, 0x73, 0x82, 0x9F, 0x00, 0x5A};
    std::string key7;
    for (int i = 0; i < 16; ++i) key7 += B(i);
    Seed("mbus_wireless", "mode7_at", B(0) + key7 + Piece(Bytes(telegram7)) + Piece(Bytes(telegram7)));
    // A plain telegram with the example's records, short application header.
    TBytes plain = {0x00, 0x44, 0x93, 0x15, 0x78, 0x56, 0x34, 0x12, 0x33, 0x03, 0x7A, 0x2A, 0x00, 0x00, 0x00};
    for (Byte b : Wireless_Example_Data()) plain.push_back(b);
    plain.push_back(0x00);
    plain.push_back(0x5A);
    plain[0] = Byte(plain.size() - 3);
    Seed("mbus_wireless", "plain_at", B(0) + std::string(16, '\0') + Piece(Bytes(plain)));
}

void Settings_Seeds() {
    Exe_Dir = Fuzz_Folder();
    const String file = Settings_File_Name();
    Project_Name = u"Plant <1> & \u00E9t\u00E9";
    Last_IP_Address = u"10.0.0.254";
    Language_Name = u"Deutsch";
    Opt_Enable_Internet = true;
    Opt_Enable_Update = false;
    Opt_Jump_Field_Tables = true;
    Opt_Double_Click_Auto_Size = true;
    Save_Setting();
    Seed("settings", "written", ReadFileBytes(file));
    Seed("settings", "declaration_first",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- edited by hand -->\r\n" + ReadFileBytes(file));
}

void Language_Seeds() {
    std::string utf8 = "\xEF\xBB\xBF";
    const std::vector<String> lines = Default_Lang_Lines();
    for (std::size_t i = 0; i < lines.size(); i += 37) utf8 += StringToUtf8(lines[i]) + "\r\n";
    utf8 += "STR57 = \xC2\xB6 / \xC2\xB6\r\nSTR20 = Update Device /#/ wizard button\r\nnot a line\r\nSTR1999 =\r\n";
    Seed("language", "utf8", utf8);
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("STR17 = Neue Konfiguration\r\nSTR9 = \xB6Keine\xB6\r\n")) utf16 += B(c) + B(0);
    Seed("language", "utf16", utf16);
    Seed("language", "ansi", "STR9 = \xB6Keine Konfiguration \xB6\nSTR10 = Caf\xE9\nSTR-1 = x\nSTR2000 = y\nSTR12x= z\n");
}

void Fill_Grid(TExStringGrid& g) {
    g.SetColCount(5);
    g.SetRowCount(6);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c) g.SetCellEx(c, r, IntToStr(c) + u"/" + IntToStr(r));
    g.SetCellEx(1, 1, u"first\r\nsecond");
    g.SetCellEx(2, 1, u"\u03A9mega, \"quoted\"; <b>bold</b> & more");
    g.SetCellEx(3, 1, u"-1.5e3");
    g.MergeCells(2, 3, 2, 2);
    TCellProperties* p = g.GetCellProperties(1, 2);
    p->SetBrushColor(clYellow);
    p->SetFontStyle(TFontStyles{fsBold, fsItalic});
    p->SetAlignment(taRightJustify);
    g.AddCheckBox(4, 2, true);
    g.SetColWidths(2, 81);
    g.SetRowHeights(3, 30);
}

void Grid_Seeds() {
    TExStringGrid g(nullptr);
    Fill_Grid(g);
    {
        TMemoryStream s;
        g.Tools().SaveToBinStream(s);
        Seed("grid_bin_stream", "whole", B(0) + std::string(s.Bytes()));
        TMemoryStream r;
        TGridRect area;
        area.Left = 1;
        area.Top = 1;
        area.Right = 3;
        area.Bottom = 2;
        g.Tools().SaveRectToBinStream(area, r);
        Seed("grid_bin_stream", "rect_at_point", B(1) + std::string(r.Bytes()));
    }
    Seed("grid_bin_stream", "tests_rect", B(1) + Read(Tests / "grid" / "data" / "bin_rect.bin"));

    const String dir = Fuzz_Folder();
    auto written = [&](const char16_t* name, auto&& write) {
        const String file = PathJoin(dir, name);
        write(file);
        return ReadFileBytes(file);
    };
    Seed("grid_loaders", "own_text", B(0) + written(u"g.txt", [&](const String& f) { g.SaveToFile(f, true); }));
    {
        TMemoryStream s;
        g.Tools().SaveToStream(s);
        Seed("grid_loaders", "own_stream", B(1) + std::string(s.Bytes()));
    }
    Seed("grid_loaders", "csv", B(2) + written(u"g.csv", [&](const String& f) { g.Tools().SaveToCSV(f); }));
    g.Tools().Delimiter = u';';
    Seed("grid_loaders", "csv_stream", B(3 + 9) + written(u"g2.csv", [&](const String& f) { g.Tools().SaveToCSV(f, true); }));
    g.Tools().Delimiter = 0;
    {
        TIntList widths(0, 0);
        const std::string fixed = written(u"g.fix", [&](const String& f) { g.Tools().SaveToFixed(f, widths); });
        std::string positions;
        int at = 1;
        for (int i = 0; i < 4; ++i) positions += B(at += (i < widths.Count() ? widths.GetInteger(i) : 5));
        Seed("grid_loaders", "fixed", B(4) + positions + fixed);
    }
    Seed("grid_loaders", "xml",
         B(5 + 0x40) + written(u"g.xml", [&](const String& f) { g.Tools().SaveToXML(f, u"list", u"record", nullptr, true); }));
    Seed("grid_loaders", "print_ini",
         B(6) + written(u"g.ini", [&](const String& f) { g.Tools().SavePrintSettings(f, u"Print"); }));
    Seed("grid_loaders", "visual_props", B(7) + written(u"g.props", [&](const String& f) { g.Tools().SaveVisualProps(f); }));
    Seed("grid_loaders", "column_states", B(8) + StringToUtf8(g.Tools().ColumnStatesToString()));
    const struct {
        const char* File;
        int Loader;
    } data[] = {{"own_ansi.txt", 0},   {"own_unicode.txt", 0}, {"own_stream.bin", 1}, {"csv_ansi.csv", 2},
                {"csv_java.csv", 2},   {"csv_quotes.csv", 3},  {"csv_utf8.csv", 2},   {"grid.xml", 5 + 0x80},
                {"print.ini", 6},      {"visual_props.txt", 7}};
    for (const auto& d : data) Seed("grid_loaders", d.File, B(d.Loader) + Read(Tests / "grid" / "data" / d.File));
    Seed("grid_loaders", "fixed_tests", B(4) + B(1) + B(6) + B(12) + B(20) + Read(Tests / "grid" / "data" / "fixed.txt"));

    // Workbooks: the grid's own, taken apart into its parts, and variants of
    // what other programs write.
    const String book = PathJoin(dir, u"g.xlsx");
    g.Tools().SaveToXLS(book);
    g.Tools().SaveToXLSSheet(book, u"Second & <last>");
    std::map<std::string, std::string> parts;
    std::string input = B(0);
    {
        TZipReader zip(book);
        for (const TZipEntry& e : zip.Entries()) {
            parts[StringToUtf8(e.Name)] = zip.Read(e.Name);
            input += Piece(StringToUtf8(e.Name)) + Piece(parts[StringToUtf8(e.Name)]);
        }
    }
    Seed("grid_workbook", "own_parts", input);
    Seed("grid_workbook", "own_file", B(1) + ReadFileBytes(book));
    auto variant = [&](const char* name, std::map<std::string, std::string> changed) {
        std::string in = B(0);
        for (auto [n, p] : parts) {
            if (changed.count(n)) p = changed[n];
            in += Piece(n) + Piece(p);
        }
        for (const auto& [n, p] : changed)
            if (!parts.count(n)) in += Piece(n) + Piece(p);
        Seed("grid_workbook", name, in);
    };
    const std::string sheetHead =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    variant("kinds_of_cells",
            {{"xl/worksheets/sheet1.xml",
              sheetHead + "<dimension ref=\"B2:E5\"/><sheetData>"
                          "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\" t=\"inlineStr\"><is><r><t>rich</t></r>"
                          "<r><rPr><b/></rPr><t xml:space=\"preserve\"> text</t></r></is></c><c r=\"D2\" t=\"b\"><v>1</v></c>"
                          "<c r=\"E2\" t=\"e\"><v>#DIV/0!</v></c></row>"
                          "<row><c><v>3.25</v></c><c t=\"str\"><f>A1&amp;\"x\"</f><v>1x</v></c><c s=\"1\"><v>44561</v></c></row>"
                          "<row r=\"5\"><c r=\"$E$5\"><v>-7</v></c></row></sheetData>"
                          "<mergeCells count=\"1\"><mergeCell ref=\"B2:C2\"/></mergeCells></worksheet>"},
             {"xl/sharedStrings.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
              "count=\"2\" uniqueCount=\"2\"><si><t>shared &amp; \xC3\xA9t\xC3\xA9</t></si><si><r><t>a</t></r><r><t>b</t></r></si></sst>"}});
    variant("no_dimension", {{"xl/worksheets/sheet1.xml",
                              sheetHead + "<sheetData><row r=\"3\"><c r=\"C3\"><v>1</v></c><c r=\"AA3\"><v>2</v></c></row>"
                                          "<row r=\"7\"><c r=\"B7\"><v>3</v></c></row></sheetData></worksheet>"}});
    Seed("grid_workbook", "empty", B(0));

    // Books laid out otherwise than ours: their own part names, a prefix on
    // every element, several sheets, the active one not the first.
    const std::string xmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
    const std::string nsMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string nsRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const std::string nsPackage = "http://schemas.openxmlformats.org/package/2006/relationships";
    auto rels = [&](const std::vector<std::pair<std::string, std::string>>& typeAndTarget) {
        std::string r = xmlHead + "<Relationships xmlns=\"" + nsPackage + "\">";
        int id = 0;
        for (const auto& [type, target] : typeAndTarget)
            r += "<Relationship Id=\"rId" + std::to_string(++id) + "\" Type=\"" + nsRel + "/" + type + "\" Target=\"" +
                 target + "\"/>";
        return r + "</Relationships>";
    };
    auto otherBook = [&](const char* name, const std::vector<std::pair<std::string, std::string>>& parts) {
        std::string in = B(0);
        for (const auto& [n, p] : parts) in += Piece(n) + Piece(p);
        Seed("grid_workbook", name, in);
    };
    const std::string prefixedSheet = xmlHead + "<x:worksheet xmlns:x=\"" + nsMain + "\"><x:sheetData>";
    otherBook("prefixed_parts",
         {{"_rels/.rels", rels({{"officeDocument", "/book/main.xml"}})},
          {"book/main.xml",
           xmlHead + "<x:workbook xmlns:x=\"" + nsMain + "\" xmlns:r=\"" + nsRel +
               "\"><x:bookViews><x:workbookView activeTab=\"1\"/></x:bookViews><x:sheets>"
               "<x:sheet name=\"A &amp; B\" sheetId=\"4\" r:id=\"rId1\"/><x:sheet name=\"Zwei\" sheetId=\"2\" r:id=\"rId2\"/>"
               "</x:sheets></x:workbook>"},
          {"book/_rels/main.xml.rels",
           rels({{"worksheet", "sheets/one.xml"}, {"worksheet", "sheets/two.xml"}, {"sharedStrings", "text.xml"}})},
          {"book/sheets/one.xml", prefixedSheet + "<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>1</x:v></x:c></x:row>"
                                                   "</x:sheetData></x:worksheet>"},
          {"book/sheets/two.xml",
           prefixedSheet + "<x:row><x:c><x:v>1</x:v></x:c><x:c t=\"s\"><x:v>0</x:v></x:c></x:row><x:row>"
                           "<x:c r=\"c2\" t=\"str\"><x:f>SUM(A1:A1)</x:f><x:v>1</x:v></x:c><x:c r=\"$D$2\" t=\"d\">"
                           "<x:v>2024-02-29T12:00:00</x:v></x:c></x:row></x:sheetData></x:worksheet>"},
          {"book/text.xml", xmlHead + "<x:sst xmlns:x=\"" + nsMain + "\"><x:si><x:t>plain</x:t></x:si><x:si><x:r><x:rPr><x:b/>"
                                      "</x:rPr><x:t>ri</x:t></x:r><x:r><x:t>ch</x:t></x:r><x:rPh sb=\"0\" eb=\"1\"><x:t>"
                                      "\xE3\x83\x95</x:t></x:rPh></x:si></x:sst>"}});
    const std::string sheetStart = xmlHead + "<worksheet xmlns=\"" + nsMain + "\">";
    auto oneSheet = [&](const char* name, const std::string& workbookTail, const std::string& sheet) {
        otherBook(name, {{"_rels/.rels", rels({{"officeDocument", "xl/workbook.xml"}})},
                    {"xl/workbook.xml", xmlHead + "<workbook xmlns=\"" + nsMain + "\" xmlns:r=\"" + nsRel + "\">" + workbookTail},
                    {"xl/_rels/workbook.xml.rels", rels({{"worksheet", "worksheets/sheet1.xml"}})},
                    {"xl/worksheets/sheet1.xml", sheetStart + sheet + "</worksheet>"}});
    };
    const std::string sheetOne = "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    // Cells at the far edges of a sheet, one beyond them, and a single-cell range.
    oneSheet("edges", sheetOne,
             "<dimension ref=\"XFD1\"/><sheetData><row r=\"1\"><c r=\"XFD1\"><v>1</v></c></row>"
             "<row r=\"1048576\"><c r=\"A1048576\" t=\"b\"><v>0</v></c></row></sheetData>");
    oneSheet("beyond_edge", sheetOne, "<sheetData><row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row></sheetData>");
    oneSheet("wide_range", sheetOne, "<dimension ref=\"A1:XFD1048576\"/><sheetData/>");
    // A sheet whose relationship is missing, an active tab beyond the sheets.
    oneSheet("sheet_without_part",
             "<bookViews><workbookView activeTab=\"9\"/></bookViews><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
             "r:id=\"rId1\"/><sheet name=\"Lost\" sheetId=\"2\" r:id=\"rId7\"/></sheets></workbook>",
             "<sheetData><row><c t=\"inlineStr\"><is><t>only</t></is></c></row></sheetData>");
    oneSheet("shared_string_missing", sheetOne, "<sheetData><row><c t=\"s\"><v>3</v></c></row></sheetData>");
    oneSheet("no_sheets", "<sheets/></workbook>", "<sheetData/>");
    // Not a workbook: the package's main part is a document.
    otherBook("document_instead",
         {{"_rels/.rels", rels({{"officeDocument", "word/document.xml"}})},
          {"word/document.xml", xmlHead + "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                          "<w:body/></w:document>"}});
    // The file as a whole, its entries stored rather than deflated.
    {
        const String stored = PathJoin(dir, u"stored.xlsx");
        {
            TZipWriter zip(stored);
            for (const auto& [n, p] : parts) zip.Add(Utf8ToString(n), p, zcStored);
            zip.Commit();
        }
        Seed("grid_workbook", "stored_file", B(1) + ReadFileBytes(stored));
    }
}

// PNG files written here for each colour type and bit depth the decoder
// takes, rows with each of the five filter bytes, a palette with alpha.
std::string Png_Chunk(const char* type, const std::string& data) {
    std::string c = std::string(type, 4) + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(c.data()), uInt(c.size()));
    auto be = [](uLong v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    return be(data.size()) + c + be(crc);
}
std::string Png(int colourType, int depth, int width, int height) {
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    const int rowBytes = (width * channels * depth + 7) / 8;
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += char(y % 5);
        for (int x = 0; x < rowBytes; ++x) raw += char((x * 37 + y * 11) & 0xFF);
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    packed.resize(size);
    std::string ihdr;
    for (int v : {width, height}) ihdr += std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    ihdr += std::string{char(depth), char(colourType), 0, 0, 0};
    std::string png = "\x89PNG\r\n\x1a\n" + Png_Chunk("IHDR", ihdr);
    if (colourType == 3) {
        std::string plte, trns;
        for (int i = 0; i < (1 << depth); ++i) plte += std::string{char(i * 40), char(255 - i * 20), char(i * 7)}, trns += char(i * 16);
        png += Png_Chunk("PLTE", plte) + Png_Chunk("tRNS", trns);
    }
    if (colourType == 2) png += Png_Chunk("tRNS", std::string("\0\x10\0\x20\0\x30", 6));
    png += Png_Chunk("tEXt", std::string("Comment\0seed", 12)) + Png_Chunk("IDAT", packed) + Png_Chunk("IEND", "");
    return png;
}

// JPEG files written through the library in the forms other programs
// write: progressive, greyscale, with restart markers, chroma subsampled.
std::string Jpeg(bool progressive, bool grey, int restart, int sampling) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = 19;
    c.image_height = 13;
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 60, TRUE);
    if (!grey) c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = sampling;
    c.restart_interval = unsigned(restart);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(19 * 3);
    while (c.next_scanline < c.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = (unsigned char)(i * 13 + c.next_scanline * 17);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    std::free(out);
    return bytes;
}

void Markup_Seeds() {
    std::vector<std::pair<std::string, std::string>> pictures;
    for (const auto& e : fs::directory_iterator(Tests / "framework" / "data" / "pictures"))
        pictures.push_back({e.path().filename().string(), Read(e.path())});
    std::sort(pictures.begin(), pictures.end());
    TBitmap bmp(7, 5);
    bmp.Canvas().Brush().SetColor(clRed);
    bmp.Canvas().FillRect(TRect{0, 0, 4, 5});
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
        bmp.SetPixelFormat(f);
        pictures.push_back({"bmp_" + std::to_string(int(f)), bmp.SaveToBytes()});
    }
    for (auto [type, depth] : {std::pair{0, 1}, {0, 2}, {0, 4}, {0, 16}, {2, 8}, {2, 16}, {3, 1}, {3, 2}, {3, 8}, {4, 8},
                               {4, 16}, {6, 8}, {6, 16}})
        pictures.push_back({"png_" + std::to_string(type) + "_" + std::to_string(depth), Png(type, depth, 5, 4)});
    pictures.push_back({"jpeg_progressive", Jpeg(true, false, 0, 1)});
    pictures.push_back({"jpeg_grey", Jpeg(false, true, 0, 1)});
    pictures.push_back({"jpeg_restarts_420", Jpeg(false, false, 1, 2)});
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(30);
    jpeg.Assign(&bmp);
    pictures.push_back({"jpeg_written", jpeg.SaveToBytes()});
    // Icons: one holding a PNG, one holding the bitmap's DIB (its file less
    // the file header, the height doubled for the mask).
    auto ico = [](const std::string& image, int w, int h) {
        std::string d = std::string("\0\0\1\0\1\0", 6) + char(w) + char(h) + std::string("\0\0\1\0\x20\0", 6);
        for (std::size_t v : {image.size(), std::size_t(22)}) d += std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return d + image;
    };
    pictures.push_back({"ico_png", ico(Png(6, 8, 5, 4), 5, 4)});
    bmp.SetPixelFormat(pf32bit);
    std::string dib = bmp.SaveToBytes().substr(14);
    dib[8] = char(10);  // height 5 doubled
    dib += std::string(4 * 5, '\0');  // the AND mask, rows of four bytes
    pictures.push_back({"ico_dib", ico(dib, 7, 5)});
    pictures.push_back({"gif_animated", testgif::Gif(6, 6, {{0, 0, 6, 6, 5, 0}, {1, 1, 3, 3, 0, 1}, {0, 0, 2, 2, 5, 2}})});
    pictures.push_back({"gif_still", testgif::Gif(3, 2, {{0, 0, 3, 2, 0, 3}})});

    const char* const texts[] = {
        "<IMG SRC=\"p0\"> and <A HREF=\"go\"><IMG SRC=\"p1\" ALT=\"p0\" WIDTH=\"20\" HEIGHT=\"9\"></A>",
        "<B>bold</B> <I>it</I> <U>u</U> <S>s</S> <FONT FACE=\"Arial\" SIZE=\"12\" COLOR=\"#FF0000\" BGCOLOR=\"clYellow\">f</FONT>"
        "<BR><SUB>2</SUB><SUP>3</SUP> &amp; &lt; &gt; &quot; &nbsp;&euro;&#65;",
        "<P ALIGN=\"right\">right</P><P align=\"center\">c</P><UL><LI>one<LI>two<UL><LI>deep</UL></UL><HR>"
        "<IND x=\"20\">indented <SHAD>shadow</SHAD> <HI>high</HI> <E>error</E> <Z>hidden</Z>",
        "Name <CONTROL TYPE=\"EDIT\" ID=\"e1\" WIDTH=\"40\" VALUE=\"v\"> <CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\">"
        " <CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"FALSE\"> <CONTROL TYPE=\"COMBO\" ID=\"cb\" WIDTH=\"50\"> "
        "<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"30\" VALUE=\"Go\">",
        "<BODY BGCOLOR=\"#E0E0FF\" BGTOP=\"clRed\" BACKGROUND=\"p2\"><R a=\"90\">turned</R> <IMG SRC=\"IDX:0\"> "
        "<IMG SRC=\"FILE://none.png\"> <IMG SRC=\"p3\" ALIGN=\"middle\"> a long run of words that wraps and ends "
        "in an ellipsis when the rectangle is too narrow for it",
    };
    for (std::size_t t = 0; t < std::size(texts); ++t) {
        std::string input = B(int(t * 37 % 256)) + Piece(texts[t]);
        for (std::size_t k = 0; k < 4; ++k) input += Piece(pictures[(t * 4 + k) % pictures.size()].second);
        Seed("markup", "text_" + std::to_string(t), input);
    }
    for (const auto& [name, bytes] : pictures) Seed("markup", "picture_" + name, B(0) + Piece("<IMG SRC=\"p0\">") + Piece(bytes));
}

}  // namespace

// In a unit of its own: the tree's and the grid's headers share names.
void Tree_Seeds(std::string (*B)(int));

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus folder> <tests folder>\n");
        return 2;
    }
    Corpus = argv[1];
    Tests = argv[2];
    Fuzz_Initialize();
    TFuzzInput none(nullptr, 0);
    Fuzz_Open_Project(4, none);  // the program's folders and a project for Set_Files
    ParGen_Seeds();
    Table_Seeds();
    Image_Seeds();
    MBus_Network_Seeds();
    Long_Frame_Seeds();
    Wireless_Seeds();
    Settings_Seeds();
    Language_Seeds();
    Grid_Seeds();
    Tree_Seeds(B);
    Markup_Seeds();
    return 0;
}

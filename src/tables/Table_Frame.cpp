#include "tables/Table_Frame.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "shell/ParGenFile.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The version each editor writes by model; a row with no models covers
// every other model of the editor.
struct TVersion_Row {
    TTableEditor Editor;
    std::vector<int> Models;
    const char16_t* Version;
};

const TVersion_Row Version_Table[] = {
    {TTableEditor::CAN_Frames, {0}, u"1.113"},
    {TTableEditor::CAN_Frames, {15}, u"1.202"},
    {TTableEditor::CAN_Frames, {27, 34}, u"1.000"},
    {TTableEditor::DeviceNet, {1}, u"1.102"},
    {TTableEditor::Modbus_Master, {4}, u"1.813"},
    {TTableEditor::Modbus_Master, {18, 1018}, u"1.700"},
    {TTableEditor::Modbus_Master, {25}, u"1.000"},
    {TTableEditor::Modbus_Master, {30}, u"1.001"},
    {TTableEditor::Modbus_TCP_Master, {11}, u"1.200"},
    {TTableEditor::Modbus_TCP_Master, {19}, u"1.505"},
    {TTableEditor::J1939, {6}, u"1.206"},
    {TTableEditor::J1939, {14}, u"1.100"},
    {TTableEditor::J1939, {32}, u"1.000"},
    {TTableEditor::NMEA_2000, {7}, u"1.003"},
    {TTableEditor::NMEA_2000, {28}, u"1.000"},
    {TTableEditor::CANopen, {33}, u"1.001"},
    {TTableEditor::CANopen, {}, u"1.508"},
    {TTableEditor::DMX, {22}, u"1.002"},
    {TTableEditor::DMX, {29}, u"1.000"},
    {TTableEditor::SNMP, {15}, u"1.202"},
    {TTableEditor::SNMP, {16}, u"1.103"},
    {TTableEditor::SNMP, {17}, u"1.100"},
    {TTableEditor::SNMP, {18, 1018}, u"1.700"},
    {TTableEditor::SNMP, {19}, u"1.505"},
    {TTableEditor::SNMP, {20}, u"1.200"},
    {TTableEditor::SNMP, {21}, u"1.201"},
    {TTableEditor::SNMP, {30, 33}, u"1.001"},
    {TTableEditor::SNMP, {32, 34, 35}, u"1.000"},
    {TTableEditor::SNMP, {}, u"1.202"},
};

bool Ends_With(const String& text, const String& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

const char16_t* const Missing_Attribute_Text = u"Could not convert variant of type (Null) into type (OleStr)";

String Version_Comment(TTableEditor editor, int model) {
    const TVersion_Row* fallback = nullptr;
    for (const TVersion_Row& row : Version_Table) {
        if (row.Editor != editor) continue;
        if (row.Models.empty()) fallback = &row;
        for (int m : row.Models)
            if (m == model) return String(u"SW_VERSION = ") + row.Version;
    }
    // No editor is opened for a model outside its table; the comment is for
    // information only, so an unknown model gets the editor's other version.
    return String(u"SW_VERSION = ") + (fallback ? fallback->Version : u"");
}

void Reset_Table(IRowGrid& grid, const TTableDesc& table) {
    const int rows = grid.GetRowCount();
    for (int r = 1; r < rows; ++r) {
        grid.SetCellEx(0, r, IntToStr(r));
        for (const TColumnDesc& c : table.Columns) grid.SetCellEx(c.Col, r, String());
    }
}

bool Is_End_Row(const IRowGrid& grid, const TTableDesc& table, int row) {
    if (table.Key_Col == No_Key_Col) return false;
    const String key = grid.GetCellEx(table.Key_Col, row);
    return table.Key_Trimmed ? Trim(key).empty() : key.empty();
}

TXmlNode Table_Element(const TXmlNode& root, const char16_t* name) {
    TXmlNode node = root.ChildNode(name);
    if (!node) throw EXmlError(Lang_Message(1198, {name}));
    return node;
}

void Load_Rows(const TXmlNode& container, IRowGrid& grid, const TTableDesc& table) {
    const int rows = std::min(container.ChildCount(), grid.GetRowCount() - 1);
    for (int i = 0; i < rows; ++i) {
        const TXmlNode row = container.Child(i);
        for (const TColumnDesc& c : table.Columns) {
            std::optional<String> value = row.Attribute(c.Attribute);
            if (!value) {
                if (!c.Missing_Default) throw EConvertError(Missing_Attribute_Text);
                value = c.Missing_Default;
            }
            grid.SetCellEx(c.Col, i + 1, *value);
        }
    }
}

void Save_Rows(TXmlNode container, const IRowGrid& grid, const TTableDesc& table) {
    const int rows = grid.GetRowCount();
    for (int r = 1; r < rows && !Is_End_Row(grid, table, r); ++r) {
        TXmlNode row = container.AddChild(table.Row_Element);
        for (const TColumnDesc& c : table.Columns) row.SetAttribute(c.Attribute, grid.GetCellEx(c.Col, r));
    }
}

void Build_Table_Document(TXmlDocument& doc, const char16_t* root, const String& version,
                          std::initializer_list<TTableGrid> tables) {
    TXmlNode r = doc.CreateRoot(root);
    doc.AddComment(version);
    for (const TTableGrid& t : tables) {
        TXmlNode container = t.Table.Container ? r.AddChild(t.Table.Container) : r;
        if (t.Write_Rows) Save_Rows(container, t.Grid, t.Table);
    }
}

int ParGen_Number(const String& path, const String& element, int defaultValue) {
    if (path.empty() || !FileExists(path)) return defaultValue;
    const std::optional<String> raw = TParGenFile::Load(path).Raw(element);
    return raw ? StrToIntDef(*raw, defaultValue) : defaultValue;
}

String Row_Message(const String& lead, int row, const String& detail, int limit) {
    String text = lead + IntToStr(row) + detail;
    if (Ends_With(detail, u"between 0 and ") || Ends_With(detail, u"between 1 and ")) text += IntToStr(limit);
    return text;
}

void Row_Error(const String& lead, int row, const String& detail, int limit) {
    MessageDlg(Row_Message(lead, row, detail, limit), mtError, TMsgDlgButtons{mbOK});
}

bool All_Different(const std::vector<String>& texts, const String& message) {
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            if (texts[i] == texts[j]) {
                MessageDlg(message, mtError, TMsgDlgButtons{mbOK});
                return false;
            }
    return true;
}

bool Confirm_Delete_Row(IRowGrid& grid, int row, const String& question) {
    if (MessageDlg(question + IntToStr(row), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes) return false;
    Grid_Delete_Row(row, grid);
    return true;
}

void TShow_Guard::Report(const Exception& e) {
    incomplete_ = true;
    MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
}

bool TShow_Guard::Confirm_Replace() const {
    // Writing after a failed show would silently drop the rows that were not read.
    return !incomplete_ ||
           MessageDlg(Lang_Table[1108], mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
}

bool Save_Table_File(const TXmlDocument& doc, const String& path) {
    try {
        doc.SaveToFile(path);
        return true;
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
        return false;
    }
}

bool Check_And_Save(const TShow_Guard& guard, const std::function<bool()>& check,
                    const std::function<void(TXmlDocument&)>& build, const String& path) {
    if (!check() || !guard.Confirm_Replace()) return false;
    TXmlDocument doc;
    build(doc);
    return Save_Table_File(doc, path);
}

#pragma once
// What every table editor shares, without a window: each table described as
// data (its columns and file elements), the reset, load and save of a table
// over a row grid, the version comment written into each file, the row
// messages of the validations, and the handling of a failure while a window
// is shown.

#include "framework/System.h"
#include "shell/UComon.h"

#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

class TXmlDocument;
class TXmlNode;

// The in-place editor of a column.
enum class TColKind { Normal, ComboList, ComboEdit, CheckBox };

// One grid column: its real index, header text, editor, look and the file
// attribute it is written to.
struct TColumnDesc {
    int Col;                // real column index
    int Header_Text;        // Lang_Table index of the header
    TColKind Kind;
    std::span<const char16_t* const> Choices;  // preset choices of a combo column
    int Max_Length;         // most characters typed; 0 = no limit
    int Width;
    std::uint32_t Colour;   // #RRGGBB of the cells; Window_Colour for the window's own
    const char16_t* Attribute;
    // The text a missing attribute loads as; nullptr: the attribute must be
    // present and a missing one ends the loading.
    const char16_t* Missing_Default;
};

constexpr std::uint32_t Window_Colour = 0xFF000000u;
// A table without a key column: every row is written.
constexpr int No_Key_Col = -1;

// One table of a file: where its rows live and where they end.
struct TTableDesc {
    const char16_t* Container;  // the table element under the root; nullptr: the root holds the rows
    const char16_t* Row_Element;
    int Key_Col;                // a row whose key cell is empty ends the table; No_Key_Col: none does
    bool Key_Trimmed;           // a key of blanks is empty too
    int Rows;                   // data rows of the grid
    std::span<const TColumnDesc> Columns;  // data columns 1.., in file order
};

// Editors that write a version comment; Version_Comment gives it by model.
enum class TTableEditor {
    CAN_Frames,
    DeviceNet,
    Modbus_Master,
    Modbus_TCP_Master,
    J1939,
    NMEA_2000,
    CANopen,
    DMX,
    SNMP,
};
// The text of the comment after the root, e.g. "SW_VERSION = 1.100".
String Version_Comment(TTableEditor editor, int model);

// Column 0 of data row r := r, every data column (hidden included) := empty.
void Reset_Table(IRowGrid& grid, const TTableDesc& table);

// True when the row's key cell ends the table.
bool Is_End_Row(const IRowGrid& grid, const TTableDesc& table, int row);

// The text a missing attribute without a default reports.
extern const char16_t* const Missing_Attribute_Text;

// The table element `name` among the root's children; raises EXmlError
// naming it when it is missing.
TXmlNode Table_Element(const TXmlNode& root, const char16_t* name);

// Fills data rows 1.. from the container's child elements by position, no
// more rows than the grid has. A missing attribute gives its default, or,
// without one, raises EConvertError with Missing_Attribute_Text; the rows
// read before it stay.
void Load_Rows(const TXmlNode& container, IRowGrid& grid, const TTableDesc& table);

// Appends one row element per grid row, from row 1 up to the first end row,
// each attribute the cell's text as it stands.
void Save_Rows(TXmlNode container, const IRowGrid& grid, const TTableDesc& table);

// One table of a file with the grid it is shown in.
struct TTableGrid {
    const TTableDesc& Table;
    const IRowGrid& Grid;
    bool Write_Rows = true;  // false: the table element is written empty
};
// The whole file: root, version comment, the table elements (or the rows
// under the root) in the order given.
void Build_Table_Document(TXmlDocument& doc, const char16_t* root, const String& version,
                          std::initializer_list<TTableGrid> tables);

// Reading a whole number from "ParGen.xml": the default without a file, an
// element or a number; a file that cannot be read raises (a failure while
// showing).
int ParGen_Number(const String& path, const String& element, int defaultValue);

// The message of a failed row check: lead, row number and detail joined
// without separators; after a detail that ends in "between 0 and " or
// "between 1 and " the limit follows.
String Row_Message(const String& lead, int row, const String& detail, int limit = 0);
// Shows it in an error box.
void Row_Error(const String& lead, int row, const String& detail, int limit = 0);

// Compares every pair as exact texts; on the first equal pair shows message
// alone (no row) and gives false.
bool All_Different(const std::vector<String>& texts, const String& message);

// The delete question (text then the row number); on Yes the rows below
// move up with every data column. False when the user said No.
bool Confirm_Delete_Row(IRowGrid& grid, int row, const String& question);

// A window's show steps, run so that a failure shows its text in an error box
// and skips the remaining steps; the window opens with what was loaded. OK
// then asks before replacing the file with what was read.
class TShow_Guard {
public:
    // Runs the steps; false when one of them failed.
    template <class Steps>
    bool Run(Steps&& steps) {
        incomplete_ = false;
        try {
            steps();
            return true;
        } catch (const Exception& e) {
            Report(e);
            return false;
        }
    }
    bool Incomplete() const { return incomplete_; }
    // After validation and before writing: true to go on. Asks the question
    // only after a failed show.
    bool Confirm_Replace() const;

private:
    void Report(const Exception& e);
    bool incomplete_ = false;
};

// OK of an editor with a file: runs the checks, asks after a failed show,
// builds the document and writes it. True when the window may close.
bool Check_And_Save(const TShow_Guard& guard, const std::function<bool()>& check,
                    const std::function<void(TXmlDocument&)>& build, const String& path);

// Writes the document to path; a failed write shows its text and gives false
// (the old file stays, the window stays open).
bool Save_Table_File(const TXmlDocument& doc, const String& path);

#pragma once
// The request editor of the Modbus masters, serial and TCP alike: a read and
// a write table of polled requests, the rules OK checks them by, the sizes of
// the data areas they fill and read, the SNMP format column of the SNMP
// models and the file. Each editor gives its own description (columns,
// limits, text indices, models); the window below serves both.

#include "framework/ComCtrls.h"
#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>
#include <vector>

class TXmlDocument;

// The real columns a request rule reads; -1 where the table has none.
struct TRequest_Cols {
    int IP, Port, Slave, Type, Address, NPoint, Poll, Max_Error, Position, Bit, Format;
};

// The checks of one table, in their order, with the text of each (absolute
// Lang_Table indices; 0 where the table has no such check).
struct TRequest_Rules {
    TRequest_Cols Col;
    int IP_Text, Port_Text;
    int Slave_Text, Slave_Min, Slave_Max;
    int Type_Text;
    bool Input_Status_Is_Bit;  // read tables poll inputs bit by bit too
    int Address_Text;
    int NPoint_Text, Bit_NPoint_Max, Register_NPoint_Max;
    int Poll_Text, Poll_Min;
    int Max_Error_Text;
    int Position_Text;
    int Bit_Text;
    int Last_Byte_Text;
    int Format_Text;
};

// The columns but the one at real index col (the format of the models
// without SNMP, which never reach the file).
std::vector<TColumnDesc> Without_Column(std::span<const TColumnDesc> columns, int col);

struct TRequest_Table {
    TTableDesc All;        // every column of the grid, Format SNMP included
    TTableDesc No_Format;  // the file's columns for the models without SNMP
    TRequest_Rules Rules;
    int Header0_Text;
    int Tab_Text;
};

struct TModbus_Editor_Desc {
    const char16_t* Form_Name;
    const char16_t* Root;
    TTableEditor Version;
    String* Path;
    int Rows;
    const TRequest_Table& Read;
    const TRequest_Table& Write;
    std::vector<int> SNMP_Models;  // Format SNMP loaded and written; both sizes 1024
    int Map_Type_Model;            // the one SNMP model that reads SNMP_MapType
    const char16_t* NB_IN_Key;     // the general parameters that size the areas of the others
    const char16_t* NB_OUT_Key;
    int Width_Plain, Width_Map_1, Width_Map_0;
    bool Set_Up_At_Create;  // true: creation runs the column set-up; false: it shows the format of the map-type model
    int Caption_Text, Desc_Text, Lead_Text, Delete_Text;
    int Button_Texts[6];  // OK, Cancel, Delete Row, Insert Row, Copy Row, Paste Row (0: no button)
};

// Size of a data area when nothing says otherwise, and of the SNMP models'.
constexpr int Modbus_Default_Area = 512, Modbus_SNMP_Area = 1024;
// The largest process image of any model: a size past it in a hand-edited
// "ParGen.xml" must not build a huge choice list.
constexpr int Largest_Process_Image = 1440;

bool Is_SNMP_Model(const TModbus_Editor_Desc& d, int model);

// True when the text is not a dotted address of four numbers 0 to 255 (each
// read as a whole number of the cells, hexadecimal and a leading blank
// included; the fourth is all that follows the third point).
bool Check_IP_Address(const String& IP_Address);

// The map type the column set-up works with: 0 for the models without SNMP,
// 1 for the SNMP models that never read it, the project's for the one that does.
int Modbus_Map_Type(const TModbus_Editor_Desc& d, int model, const String& parGenPath);

struct TModbus_Layout {
    int Client_Width;
    bool Format_Shown;     // the Format SNMP columns
    bool Format_Required;  // OK asks for a format
};
TModbus_Layout Modbus_Layout(const TModbus_Editor_Desc& d, int model, int mapType);

struct TModbus_Sizes {
    int NByte_IN;   // the area the read requests fill
    int NByte_OUT;  // the area the write requests read
};
// The areas are crossed: the read requests fill what the general parameters
// call the master's output. Raises when "ParGen.xml" cannot be read.
TModbus_Sizes Modbus_Sizes(const TModbus_Editor_Desc& d, int model, const String& parGenPath);

// The checks of OK, read table first; shows the first failure and gives false.
bool Modbus_Controllo_dati(const TModbus_Editor_Desc& d, const IRowGrid& read, const IRowGrid& write,
                           const TModbus_Sizes& sizes, bool formatRequired);

// Reads the file into the grids; the format only for the SNMP models. Raises
// on a malformed file or a missing table element; rows read before stay.
void Modbus_Load(const TModbus_Editor_Desc& d, const String& path, IRowGrid& read, IRowGrid& write, int model);

void Modbus_Build_Document(const TModbus_Editor_Desc& d, TXmlDocument& doc, const IRowGrid& read,
                           const IRowGrid& write, int model);

// The request editor window: two grids on two tab sheets, the row buttons
// acting on the grid of the active sheet.
class TModbus_Request_Form : public TTable_Editor_Form {
public:
    TModbus_Request_Form(TComponent* AOwner, const TModbus_Editor_Desc& desc);
    ~TModbus_Request_Form() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TPageControl* PageControl1;
    TTabSheet* TS_Modbus_Read;
    TTabSheet* TS_Modbus_Write;
    TExColumnGrid* ACG_Modbus_Read;
    TExColumnGrid* ACG_Modbus_Write;

    int NByte_IN = Modbus_Default_Area;
    int NByte_OUT = Modbus_Default_Area;
    int Select_Type_Map = 0;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void Hide_Columns();
    void Insert_Row(int Num_Row, TExColumnGrid* app_SGA);
    void Delete_Row(int Num_Row, TExColumnGrid* SGA);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);

protected:
    TExColumnGrid* Active_Grid() const;
    IRowGrid& Rows(TExColumnGrid* grid);
    // After a show that read everything (the copy flags of the serial editor).
    virtual void Show_Done() {}
    const TModbus_Editor_Desc& desc_;
    TShow_Guard show_;

private:
    void Apply_Layout(const TModbus_Layout& l);
    std::unique_ptr<TColumnGridRows> read_rows_, write_rows_;
    bool format_required_ = false;
};

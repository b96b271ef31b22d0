#pragma once
// The PROFINET offsets of the DeviceNet slaves' bytes of model 1
// ("DNETM_DefOff.xml"): the slaves come from the network file, and each
// input and output byte of a slave is placed at a byte of the PROFINET
// area, or at none ("None"), with a mnemonic. Every slave's bytes are held
// in memory while the window is open and the file is written from them.

#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class TXmlDocument;

// One slave of the network while the window is open.
class TSlave_DN {
public:
    std::uint8_t ID = 0;
    std::uint16_t ByteIN = 0;
    std::uint16_t ByteOUT = 0;
    // Per input byte (0 .. ByteIN - 1): the offset text ("None" or a
    // decimal PROFINET offset) and the mnemonic; likewise per output byte.
    std::vector<String> SL_ByteIN;
    std::vector<String> SL_ByteIN_M;
    std::vector<String> SL_ByteOUT;
    std::vector<String> SL_ByteOUT_M;
};
using TSlave_List = std::vector<std::unique_ptr<TSlave_DN>>;

// The output byte that uses an offset.
struct TOffsetOwner {
    int ID = -1;
    int Byte = -1;
};

// The PROFINET area without general parameters.
constexpr int Default_Area_Size = 1438;
// The largest process image of any model: the most offset choices offered.
constexpr int Max_Area_Size = 1440;

// The size of a PROFINET area from "ParGen.xml" (1438 without one), within
// 0 .. 1440. A file that cannot be read raises.
int DefOffset_Area_Size(const String& parGenPath, const String& element);

// A slave grid row: the network file's texts as they stand.
struct TSlave_Texts {
    String ID, NB_IN, NB_OUT, Mnemonic;
};

// The network file, when it exists: one slave per child of the root (by
// position), its bytes all "None" with empty mnemonics. A missing
// attribute or a count that is not a whole number raises; the slaves read
// before stay, each with its row of texts.
void Load_Slave_DN(const String& path, TSlave_List& slaves, std::vector<TSlave_Texts>& texts);
// The offsets file, when it exists: the root's child i belongs to slave i;
// rows beyond a slave's byte counts are ignored and bytes without a row
// keep "None". A missing "ByteIN", "ByteOUT" or attribute raises.
void Load_Offset_Slave_DN(const String& path, TSlave_List& slaves);
// The duplicate check of the output bytes: no offset used twice. Shows the
// first clash naming both bytes and gives false.
bool Check_Data(const TSlave_List& slaves, std::map<int, TOffsetOwner>& Check_Byte_Offset);
// The file's document from the slaves: every slave with exactly its bytes.
void Build_Offset_Document(TXmlDocument& doc, const TSlave_List& slaves);

// The offset editor window: the slave grid above a splitter, the byte
// grids of the selected slave on two tab sheets below it.
class TFDefOffset : public TTable_Editor_Form {
public:
    explicit TFDefOffset(TComponent* AOwner);
    ~TFDefOffset() override;

    TPanel* Panel1;
    TLabel* Label1;
    TExColumnGrid* ACG_DN_Slaves;
    TSplitter* Splitter1;
    TPanel* Panel3;
    TLabel* Label2;
    TLabel* Label3;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TExColumnGrid* ACG_ByteIN;
    TExColumnGrid* ACG_ByteOUT;

    TSlave_List List_Slaves_DN;
    int Slave_Before_Select = -1;
    int MAX_BYTE_IN = Default_Area_Size;
    int MAX_BYTE_OUT = Default_Area_Size;
    std::map<int, TOffsetOwner> Check_Byte_Offset;

    void FormCreate(TObject* Sender);
    void Set_Lang();
    void FormShow(TObject* Sender);
    void Load_Slave_DN();
    void Load_Offset_Slave_DN();
    void Select_First();
    void ACG_DN_SlavesClick(TObject* Sender);
    void Update_Slave_DN();
    bool Save_Data_ByteIN_ByteOUT();
    void Reset_Array_Check();
    bool Check_Data();
    bool Save_Offset_Slave_DN();
    void bitbtn1Click(TObject* Sender);

private:
    TShow_Guard show_;
};
extern TFDefOffset* FDefOffset;

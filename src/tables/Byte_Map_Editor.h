#pragma once
// The byte maps of the CAN frames: for each frame of a frames file the image
// position of each of its data bytes, kept in a file of its own row by row
// in the order of the frames. Each editor gives its own description (files,
// texts, the duplicate check of the receive map); the window below serves both.

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <cstdint>
#include <vector>

class TXmlDocument;
struct TCAN_Frame_Desc;

// The data bytes of a CAN frame.
constexpr int CAN_Frame_Bytes = 8;
// The position of a byte that is not mapped.
constexpr std::uint16_t No_Position = 65535;

// One frame: its Dimension and the image position of each of its data bytes
// (PosB[0] is the position of byte 1), or No_Position.
struct TRecInfo {
    std::uint8_t Dim = 0;
    std::uint16_t PosB[CAN_Frame_Bytes] = {No_Position, No_Position, No_Position, No_Position,
                                           No_Position, No_Position, No_Position, No_Position};
};

// The frames in the order of the frames file: their Cob-ID texts and maps.
struct TByte_Map {
    std::vector<String> Cob_ID;
    std::vector<TRecInfo> Data_arr;
};

struct TByte_Map_Desc {
    const char16_t* Form_Name;
    const char16_t* Root;
    const TCAN_Frame_Desc& Frames;
    String* Path;
    const char16_t* Size_Key;  // the general parameter that sizes the image
    bool Duplicate_Check;      // one image byte may not be filled from two places
    int Caption_Text, Desc_Text, OK_Text, Cancel_Text, Title_Cob_Text, Title_Bytes_Text;
    int Byte_Text;  // the text before the field of byte 1; byte n has Byte_Text + n - 1
    int Of_PROFINET_Text, Of_SNMP_Text, Not_In_Use_Text;
    int Range_Text;  // byte n's range message is Range_Text + n
    int Range_End_Text;
    int Dup_Texts[5];  // "Error!! The Byte ", " is used in COB ID ", " in Byte ", " and in COB ID ", " in Byte "
};

// The image size, the positions' upper bound: 1024 for the SNMP models, the
// general parameter otherwise (1439 without one), kept within the largest
// image of any model. Raises when "ParGen.xml" cannot be read.
int Byte_Map_Size(const TByte_Map_Desc& d, int model, const String& parGenPath);

// The frames of the frames file, every row, all positions none. A frame
// joins only once its Dimension is read. Raises on a malformed file, a
// missing table element, a missing Cob_Id or Dimension or one that is no
// number; the frames read before stay.
void Byte_Map_Load_Frames(const TByte_Map_Desc& d, const String& framesPath, TByte_Map& map);
// The positions of the map file, row i for frame i, B1 .. B<Dim> only.
// Raises on a malformed file or a needed attribute missing or no number;
// the positions read before stay.
void Byte_Map_Load(const String& path, TByte_Map& map);

// Every stored position lies in 0 .. size - 1; else shows the range message
// of the first bad byte, sets badFrame to its frame and gives false.
bool Byte_Map_Check_Range(const TByte_Map_Desc& d, const TByte_Map& map, int size, int& badFrame);
// No image position is used twice; else shows who uses it and gives false.
bool Byte_Map_Check_Duplicates(const TByte_Map_Desc& d, const TByte_Map& map);

void Byte_Map_Build_Document(const TByte_Map_Desc& d, TXmlDocument& doc, const TByte_Map& map, int model);

// The byte map window: the frames' list on the left, the eight byte fields of
// the selected frame on the right.
class TByte_Map_Form : public TTable_Editor_Form {
public:
    TByte_Map_Form(TComponent* AOwner, const TByte_Map_Desc& desc);

    TLabel* ST_Title_Cob;
    TLabel* ST_Title_Bytes;
    TListBox* ListBox1;
    TPanel* Panel[CAN_Frame_Bytes];        // Panel1 .. Panel8
    TLabel* StaticText_Byte[CAN_Frame_Bytes];  // StaticText3 .. StaticText10
    TEdit* Edit[CAN_Frame_Bytes];          // Edit1 .. Edit8
    TLabel* StaticText_Of[CAN_Frame_Bytes];    // StaticText11 .. StaticText18
    TLabel* Label_Not_In_Use[CAN_Frame_Bytes];  // Label19 .. Label26

    int Num_Byte_Max = 0;
    TByte_Map Map;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void ListBox1Click(TObject* Sender);
    // The exit of any of the eight fields.
    void EditExit(TObject* Sender);
    void bitbtn1Click(TObject* Sender);

private:
    int Field_Of(TObject* Sender) const;
    // Takes over the field of byte n (0-based) into the selected frame; false
    // when it refuses the text (message shown, focus back in the field).
    bool Take_Over(int n);
    const TByte_Map_Desc& desc_;
    TShow_Guard show_;
    int shown_frame_ = -1;  // the frame the fields show
    int pending_ = -1;      // a field left towards Cancel without being judged
    int refused_ = -1;      // the field whose exit has just refused its text
    bool judging_ = false;  // an error box of a field is up
};

#include "tables/UCAN_Rec_Frames.h"

#include "shell/Globals.h"

namespace {

using namespace canframe_col;
using namespace canrec_col;
using K = TColKind;

const char16_t* const Type_Choices[] = {u"2.0A (11 bits)", u"2.0B (29 bits)"};
constexpr std::span<const char16_t* const> No_Choices;

const TColumnDesc Columns[] = {
    {Cob_ID, 303, K::Normal, No_Choices, 0, 110, Window_Colour, u"Cob_Id", nullptr},
    {Type, 304, K::ComboList, Type_Choices, 0, 85, Window_Colour, u"Type", nullptr},
    {Dimension, 305, K::Normal, No_Choices, 0, 75, Window_Colour, u"Dimension", nullptr},
    {TimeOut, 306, K::Normal, No_Choices, 0, 85, Window_Colour, u"TimeOut", nullptr},
    {Mnemonic, 307, K::Normal, No_Choices, 0, 310, Window_Colour, u"Mnemonic", nullptr},
};

}  // namespace

const TCAN_Frame_Desc CAN_Rec_Frames_Desc = {
    u"FCAN_Rec_Frames",
    u"PROFINET_to_Receive_CAN",
    {u"Receive_Frames", u"row", Cob_ID, false, CAN_Frame_Row_Count, Columns},
    &Path_CAN_Rec_Frames,
    TimeOut,
    1,
    296,
    297,
    {298, 299, 300, 301},
    302,
    308,
    309,
    310,
    311,
    312,
    313,
    314,
};

TFCAN_Rec_Frames* FCAN_Rec_Frames = nullptr;

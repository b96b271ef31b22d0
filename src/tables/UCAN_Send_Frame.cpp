#include "tables/UCAN_Send_Frame.h"

#include "shell/Globals.h"

namespace {

using namespace canframe_col;
using namespace cansend_col;
using K = TColKind;

const char16_t* const Type_Choices[] = {u"2.0A (11 bits)", u"2.0B (29 bits)"};
const char16_t* const Send_Type_Choices[] = {u"On Data Change", u"On Timer"};
constexpr std::span<const char16_t* const> No_Choices;

const TColumnDesc Columns[] = {
    {Cob_ID, 322, K::Normal, No_Choices, 0, 110, Window_Colour, u"Cob_Id", nullptr},
    {Type, 323, K::ComboList, Type_Choices, 0, 85, Window_Colour, u"Type", nullptr},
    {Dimension, 324, K::Normal, No_Choices, 0, 71, Window_Colour, u"Dimension", nullptr},
    {Send_Type, 325, K::ComboList, Send_Type_Choices, 0, 106, Window_Colour, u"Send_Type", nullptr},
    {Timer_Send, 326, K::Normal, No_Choices, 0, 85, Window_Colour, u"Timer_Send", nullptr},
    {Mnemonic, 327, K::Normal, No_Choices, 0, 210, Window_Colour, u"Mnemonic", nullptr},
};

}  // namespace

const TCAN_Frame_Desc CAN_Send_Frames_Desc = {
    u"FCAN_Send_Frame",
    u"PROFINET_to_Send_CAN",
    {u"Send_Frames", u"row", Cob_ID, false, CAN_Frame_Row_Count, Columns},
    &Path_CAN_Send_Frames,
    Timer_Send,
    0,
    315,
    316,
    {317, 318, 319, 320},
    321,
    328,
    329,
    330,
    331,
    332,
    333,
    334,
};

TFCAN_Send_Frame* FCAN_Send_Frame = nullptr;

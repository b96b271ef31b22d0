#include "tables/U_Rec_Info.h"

#include "shell/Globals.h"
#include "tables/UCAN_Rec_Frames.h"

const TByte_Map_Desc Rec_Info_Desc = {
    u"F_Rec_Info",
    u"Receive_Frames_Info",
    CAN_Rec_Frames_Desc,
    &Path_CAN_Rec_Info,
    u"PROFINET_NB_OUT",
    true,
    337,
    338,
    339,
    340,
    341,
    342,
    343,
    351,
    878,
    352,
    352,
    361,
    {362, 363, 364, 365, 366},
};

TF_Rec_Info* F_Rec_Info = nullptr;

#include "tables/U_Sen_Info.h"

#include "shell/Globals.h"
#include "tables/UCAN_Send_Frame.h"

const TByte_Map_Desc Sen_Info_Desc = {
    u"F_Sen_Info",
    u"Send_Frames_Info",
    CAN_Send_Frames_Desc,
    &Path_CAN_Send_Info,
    u"PROFINET_NB_IN",
    false,
    367,
    368,
    369,
    370,
    371,
    372,
    373,
    381,
    879,
    382,
    382,
    391,
    {0, 0, 0, 0, 0},
};

TF_Sen_Info* F_Sen_Info = nullptr;

#pragma once
// The frames the CAN models receive ("CAN_Rec_Frames.xml"), each with its
// reception time-out.

#include "tables/CAN_Frame_Editor.h"

namespace canrec_col {
constexpr int TimeOut = 4, Mnemonic = 5;
}  // namespace canrec_col

extern const TCAN_Frame_Desc CAN_Rec_Frames_Desc;

class TFCAN_Rec_Frames : public TCAN_Frame_Form {
public:
    explicit TFCAN_Rec_Frames(TComponent* AOwner) : TCAN_Frame_Form(AOwner, CAN_Rec_Frames_Desc) {}
};
extern TFCAN_Rec_Frames* FCAN_Rec_Frames;

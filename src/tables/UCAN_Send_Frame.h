#pragma once
// The frames the CAN models send ("CAN_Send_Frames.xml"), each on a change
// of its data or on a timer.

#include "tables/CAN_Frame_Editor.h"

namespace cansend_col {
constexpr int Send_Type = 4, Timer_Send = 5, Mnemonic = 6;
}  // namespace cansend_col

extern const TCAN_Frame_Desc CAN_Send_Frames_Desc;

class TFCAN_Send_Frame : public TCAN_Frame_Form {
public:
    explicit TFCAN_Send_Frame(TComponent* AOwner) : TCAN_Frame_Form(AOwner, CAN_Send_Frames_Desc) {}
};
extern TFCAN_Send_Frame* FCAN_Send_Frame;

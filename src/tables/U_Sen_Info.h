#pragma once
// The byte map of the sent CAN frames ("CAN_Send_Info.xml"); one image byte
// may feed several frame bytes.

#include "tables/Byte_Map_Editor.h"

extern const TByte_Map_Desc Sen_Info_Desc;

class TF_Sen_Info : public TByte_Map_Form {
public:
    explicit TF_Sen_Info(TComponent* AOwner) : TByte_Map_Form(AOwner, Sen_Info_Desc) {}
};
extern TF_Sen_Info* F_Sen_Info;

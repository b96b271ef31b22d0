#pragma once
// The byte map of the received CAN frames ("CAN_Rec_Info.xml"), where no
// image byte may be filled from two places.

#include "tables/Byte_Map_Editor.h"

extern const TByte_Map_Desc Rec_Info_Desc;

class TF_Rec_Info : public TByte_Map_Form {
public:
    explicit TF_Rec_Info(TComponent* AOwner) : TByte_Map_Form(AOwner, Rec_Info_Desc) {}
    bool Controlla_dati() { return Byte_Map_Check_Duplicates(Rec_Info_Desc, Map); }
};
extern TF_Rec_Info* F_Rec_Info;

#pragma once
// The small borderless dialog in which the user types the AES key of an
// encrypted wireless meter as 32 hexadecimal characters. The scan window
// reads E_Key after it closes with OK; the edit keeps its text between uses.

#include "framework/Forms.h"

class TLabel;
class TEdit;
class TFlatButton;

class TFInsertKeyWireless : public TForm {
public:
    explicit TFInsertKeyWireless(TComponent* AOwner);

    TLabel* L_InsKey;
    TEdit* E_Key;
    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;

    void FormCreate(TObject* Sender);
    void Set_Lang();
    // True when every character is 0 to 9 or A to F.
    static bool Check_Data(const String& Text);
    void Btn_OKClick(TObject* Sender);
};

extern TFInsertKeyWireless* FInsertKeyWireless;

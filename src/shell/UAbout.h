#pragma once
// The About window: the converter model, its software code, version and
// manual code, and the maker's logo (a partner's for the partner-branded
// variants). Its texts are fixed English texts, filled at every showing.

#include "shell/Shell_Controls.h"

class TFAbout : public TForm {
public:
    explicit TFAbout(TComponent* AOwner);
    TImage* Image2;  // the maker's logo
    TImage* I_PA;    // partner logo of model 1018
    TImage* I_PBX;   // partner logo of model 2004
    TLabel* Label1;
    TLabel* Label2;  // title
    TLabel* Label3;
    TLabel* Label4;  // the web label
    TLabel* Label6;
    TLabel* Label8;
    TLabel* Label9;   // software code
    TLabel* Label10;  // version
    TLabel* Label12;  // manual code
    TShellButton* LbButton1;

    void FormShow(TObject* Sender);
    void Label4Click(TObject* Sender);
};
extern TFAbout* FAbout;

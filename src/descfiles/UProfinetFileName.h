#pragma once
// The small modal window in which the GSDML file's name is composed: the
// model's fixed prefix, a free user part and the date suffix. The main
// window shows it from its "PROFINET XML" step and, on OK, passes
// Name_File_XML to Create_GSDML_File.

#include "framework/Forms.h"

class TLabel;
class TEdit;
class TPanel;
class TFlatButton;

class TFProfinetFileName : public TForm {
public:
    explicit TFProfinetFileName(TComponent* AOwner);

    TLabel* L_Select_Name;
    TLabel* L_FixPart_1;
    TLabel* L_XML_Fix1;
    TLabel* L_UsedPart;
    TEdit* E_XML_User;
    TLabel* L_FixPart_2;
    TLabel* L_XML_Fix2;
    TPanel* P_Title;
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TPanel* P_Button;
    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;

    // The composed file name; rewritten at every OK.
    String Name_File_XML;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Applies the text table to the captions (at creation and whenever the
    // language changes); the prefix and suffix stay.
    void Set_Lang();
    void Btn_OK_Click(TObject* Sender);
};

extern TFProfinetFileName* FProfinetFileName;

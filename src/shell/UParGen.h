#pragma once
// The general-parameters dialog "Set Communication": the window of the
// project's "ParGen.xml". Its values, layout, checks and editing rules live
// in TParGenLogic; the window shows that state in its controls and passes
// the user's actions to it.

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "shell/ParGenLogic.h"

#include <map>

class TFParGen : public TForm {
public:
    explicit TFParGen(TComponent* AOwner);

    TParGenLogic Logic;

    // The public fields of the form.
    bool& Is_Change = Logic.Is_Change;
    int& Num_Modbus_Polls = Logic.Num_Modbus_Polls;
    int& Num_CAN_Polls = Logic.Num_CAN_Polls;
    bool GB_Visible(const String& box) { return Logic.Expanded[box]; }

    // The control of that name (nil when there is none).
    TControl* Control(const String& name) const;

    void FormCreate(TObject* Sender);
    // Loads the project's values. When a file cannot be read its error has
    // been shown and the showing is abandoned (silently, by EAbort): the form
    // never shows values of an earlier showing.
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void Btn_OK_Click(TObject* Sender);
    void Btn_Cancel_Click(TObject* Sender);
    void Move_GroupBoxs();
    void Set_Lang();

    // Shows the logic's state in the controls.
    void Sync();

private:
    std::map<String, TControl*> controls_;
    bool syncing_ = false;  // the controls' events are the program's own, not the user's
    // Shown while the form is taller than the screen's work area.
    TScrollBar* scroll_ = nullptr;
    void Fit_Work_Area();

    void Create_Controls();
    void Edit_Change(const String& name);
    void List_Change(const String& name);
    void Check_Click(const String& name);
    void Radio_Click(const String& name);
    void Octet_KeyPress(const String& name, Char& Key);
    void Box_Button_Click(const String& name);
};

extern TFParGen* FParGen;

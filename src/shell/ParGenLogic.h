#pragma once
// The general-parameters form without a window: every control of the form as
// plain state (place, size, visibility, caption, value), the layout per model,
// loading and writing "ParGen.xml", the validation Controllo_Dati and the
// editing rules. The window TFParGen mirrors this state into its controls and
// forwards the user's actions here, so everything below runs in tests.

#include "framework/System.h"

#include <functional>
#include <map>
#include <vector>

class TParGenFile;

enum class TPGKind { GroupBox, Label, Edit, List, Check, Radio, Button };

struct TPGControl {
    String Name;
    TPGKind Kind = TPGKind::Label;
    String Parent;  // the group box it stands in; empty: the form
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    bool Enabled = true;
    String Caption;  // labels, check boxes, radio buttons, boxes, buttons
    String Hint;
    String Text;     // edit fields
    int MaxLength = 0;  // 0: no limit
    bool LowerCase = false;  // edit fields: letters typed or loaded become lower case
    bool Checked = false;
    int ItemIndex = -1;
    std::vector<String> Items;
    int FontSize = 0;  // 0: the form's font
    bool Bold = false;
    int Bottom() const { return Top + Height; }
};

// The eighteen group boxes in the order the collapse buttons are created.
extern const char16_t* const ParGen_Boxes[18];

class TParGenLogic {
public:
    TParGenLogic();

    // Controls by name; an unknown name raises EListError.
    TPGControl& C(const String& name);
    const TPGControl& C(const String& name) const;
    bool Has_Control(const String& name) const;
    const std::vector<TPGControl>& Controls() const { return controls_; }
    int ClientWidth = 312;
    int ClientHeight = 0;
    String Caption;  // the form's caption

    // Public fields of the form.
    bool Is_Change = false;
    int Num_Modbus_Polls = 0;
    int Num_CAN_Polls = 0;
    std::map<String, bool> Expanded;  // GB_<box> -> GB_<box>_Visible

    // Messages: an error box with one OK button, a question with Yes and No.
    std::function<void(const String&)> Show_Error;
    std::function<bool(const String&)> Ask_Yes_No;

    // Life of the form.
    void FormCreate();
    // Counts, then the file or the new-project defaults, then the layout.
    // False when a file cannot be read: the error box has named it and the
    // form is not to be shown.
    bool FormShow();
    void Read_Number_Modbus_Polls();
    void Read_Number_CAN_Polls();
    void Set_New_Project_Defaults();
    void Load(const TParGenFile& file);
    TParGenFile To_File() const;
    // Validate, write, and true when the dialog closes with OK.
    bool Btn_OK_Click();
    // True when the dialog closes (with the cancel result).
    bool Btn_Cancel_Click();

    bool Controllo_Dati();
    static bool check_Hex_Privacy_Pass(const String& str);

    // Layout.
    void Move_GroupBoxs();
    void Collapse_Expand_Creation();
    void Btn_GB_Collapse(const String& sender);
    void Btn_GB_Expande(const String& sender);
    void Set_Lang();

    // The user's actions, as the window reports them; each updates the state
    // and runs the handlers of the original controls.
    void User_Edit(const String& name, const String& text);
    void User_Select(const String& name, int index);
    void User_Click(const String& name);       // a check box toggled
    void User_Radio(const String& name);       // a radio button chosen
    void On_Change(const String& sender);
    void On_Click(const String& sender);
    void RB_WM_Single_Slave_MbusClick();
    int Calcolate_Byte_Used_in_MBus_Configuration();

    // A "." typed in one of the address edits: the edit that is to take the
    // focus next (empty: none). Consumed says whether the key is discarded.
    struct TDotMove {
        bool Consumed = false;
        String Next;
    };
    TDotMove KeyPress_Dot(const String& sender) const;

private:
    std::vector<TPGControl> controls_;
    std::map<String, size_t> index_;
    std::vector<TPGControl> design_;  // the stored layout, for resetting values

    void Build_Design();
    void Reset_Values();
    void Error(int text);
    void Error(int text, int number);

    // Layout helpers.
    void Show(const String& name, bool visible = true);
    void Hide(const String& name) { Show(name, false); }
    void Place(const String& name, int left, int top, bool visible = true);
    int GB_PROFINET_Pos_Obj();
    int GB_PROFINET_Pos_Obj_PBX();
    int Show_SNMP_Ver3(bool visible, int startTop);
    void Privacy_Step(int hexLength, int plainLength);
    void Hide_Byte_Rows();
};

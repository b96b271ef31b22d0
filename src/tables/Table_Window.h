#pragma once
// The window parts every table editor shares: the title panel with the
// model's software code and the editor's title, the button panel at the
// bottom with its row of 110 x 28 buttons, and the colours of its columns.

#include "framework/Graphics.h"
#include "shell/Shell_Controls.h"

#include <cstdint>

struct TEditor_Frame {
    TPanel* P_Title;   // top, 69 high
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TPanel* P_Button;  // bottom, 40 high
};
// Gives the form the editors' face (centred, #F8F7ED, fixed client size)
// and adds the two panels.
TEditor_Frame Make_Editor_Frame(TForm* form, int clientWidth, int clientHeight);
// A button of the button panel at left, top 6.
TFlatButton* Make_Editor_Button(TPanel* P_Button, const String& name, int left);

// A column colour written as #RRGGBB (Window_Colour: the window's own).
TColor Column_Colour(std::uint32_t rgb);

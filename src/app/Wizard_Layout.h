#pragma once
// Where the wizard's buttons stand for each model: a column of numbered
// steps, each a row of one or two buttons, "Update Device" always last.

#include "framework/System.h"

#include <vector>

struct TWizard_Place {
    const char16_t* Button;  // the button's name
    int Row;                 // 1..10
    int Column;              // 1 or 2
};

// Every button placed for the model, rows 1.. in order. Buttons not listed
// are hidden.
std::vector<TWizard_Place> Wizard_Places(int model);
// The number of rows, which is the number of visible step labels.
int Wizard_Step_Count(int model);

// Geometry of the main window's client area, in pixels.
constexpr int Wizard_Button_Width = 170;
constexpr int Wizard_Button_Height = 36;
constexpr int Wizard_Column_Left[3] = {0, 80, 258};
inline int Wizard_Row_Top(int row) { return 112 + 44 * (row - 1); }
inline int Wizard_Step_Label_Top(int step) { return 128 + 44 * (step - 1); }
constexpr int Main_Client_Width = 694;
// The rule lies 51 pixels under "Update Device"; the client area ends 152 under it.
inline int Main_Client_Height(int model) { return Wizard_Row_Top(Wizard_Step_Count(model)) + 152; }

#pragma once
// Small builders shared by the shell's windows, which are laid out in code
// at fixed pixel positions, and the push button they use.

#include "controls/FlatButton.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

using TShellButton = TFlatButton;
class TExColumnGrid;

// A label at (left, top), sized to its caption.
TLabel* Make_Label(TWinControl* parent, const String& name, int left, int top);
TShape* Make_Shape(TWinControl* parent, const String& name, int left, int top, int width, int height);
// A push button with the shell's look (flat face, yellow hot track, orange
// when down); large is the plain style of the main window's big buttons.
TShellButton* Make_Button(TWinControl* parent, const String& name, int left, int top, int width, int height,
                          bool large = false);
// Gives a button made elsewhere the shell's look.
void Set_Shell_Button_Look(TShellButton* button, bool large = false);
// The white title panel of a dialog with the model's software code and a
// line under it; returns the description label (the code label in *code).
TPanel* Make_Title_Panel(TWinControl* parent, int width, TLabel** code, TLabel** desc);
// The dialogs' common face: Verdana 11 pixels on the shell's background.
void Set_Shell_Form_Look(TForm* form);
// The face of a grid on a window: the grid's own Tahoma 8 pt, which every
// grid of the windows was designed with (not the window's font), and drop-down
// lists that open as wide as their widest item. Call before the columns are
// made, so that each column's fonts take it.
void Set_Window_Grid_Look(TExColumnGrid* grid);

#pragma once
// Input as a person would give it, for tests and tools: each call goes
// through the same translation into messages as real keyboard and mouse
// input (CN_KEYDOWN, dialog keys, WM_CHAR, capture, enter and leave, ...).
// Keys go to the focused control of the active form; mouse positions are
// client coordinates of the control named.

#include "framework/Controls.h"

void SimulateKeyDown(Word Key, TShiftState Shift = {}, Char Ch = 0);
void SimulateKeyUp(Word Key, TShiftState Shift = {});
// Down and up; Ch is the character the key types (0: the usual one for Key).
void SimulateKey(Word Key, TShiftState Shift = {}, Char Ch = 0);
// Down and up as the window system hands them to the toolkit, whose event
// dispatch offers a key that a window leaves unused to its parent windows.
void SimulateWindowSystemKey(Word Key, TShiftState Shift = {});
// Types each character (its key down and up).
void SimulateText(const String& Text);

void SimulateMouseDown(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift = {});
void SimulateMouseUp(TControl* Control, TMouseButton Button, int X, int Y, TShiftState Shift = {});
void SimulateMouseMove(TControl* Control, int X, int Y, TShiftState Shift = {});
void SimulateClick(TControl* Control, int X, int Y);
void SimulateDblClick(TControl* Control, int X, int Y);
void SimulateWheel(TControl* Control, int X, int Y, int WheelDelta, TShiftState Shift = {});
// The mouse leaves every window of the program.
void SimulateMouseLeave();
// The close box in the title bar of Form is used.
class TCustomForm;
void SimulateCloseBox(TCustomForm* Form);
// The window system gives Form the activation, as a click on it would
// (nil: another program takes it from the program's active form).
void SimulateActivate(TCustomForm* Form);

// A drag as a person would make it, for the next (or the running) drag
// loop: each step moves the pointer over a control (client coordinates)
// with the keys held, or releases the button, or presses Escape. A drag
// whose script runs out goes on with the real mouse.
enum class TDragInput { Move, Release, Escape };
struct TDragStep {
    TDragInput Input = TDragInput::Move;
    TControl* Over = nullptr;
    TPoint Point;
    TShiftState Shift;  // ssLeft is held while moving
};
void SimulateDrag(const std::vector<TDragStep>& Steps);

#pragma once
// The part painters of the grid's cells: the drop-down button of a combo
// cell, the face of a button cell and the spin pair of a spin cell, in one of
// four looks, and the small down arrow of the grid's drop-down marks.

#include "framework/Controls.h"
#include "framework/Windows.h"

#include "grid/foundation/ExStyleIF.h"

// The visual style, the classic frame controls, their flat variant, or a
// flat look painted from a colour-tone record.
enum TPartLook { plThemed, plClassic, plFlat, plToned };
enum TPartState { stNormal, stHot, stDown, stDisabled };

// Window: the control whose visual style is used. The themed look falls back
// to the classic one while the visual-styles binding lacks its entry points.

// 17 pixels wide at the right edge of R, 2 pixels inside it, one in from top
// and bottom. Only the disabled state changes the themed and classic looks.
void DrawComboButton(TCanvas& Canvas, const TControl* Window, TRect R, TPartLook Look, TPartState State,
                     TColorTones Tones);
// A push-button face filling R.
void DrawPushButton(TCanvas& Canvas, const TControl* Window, TRect R, TPartLook Look, TPartState State,
                    TColorTones Tones);
// An up button over a down button, 15 pixels wide at the right edge of R.
// Only the disabled state changes the themed and classic looks.
void DrawSpinButtons(TCanvas& Canvas, const TControl* Window, TRect R, TPartLook Look, TPartState State,
                     TColorTones Tones);
// A filled triangle 7 pixels wide with its top edge at Y, centred on X.
void DrawSmallDownArrow(TCanvas& Canvas, int X, int Y, TColor Color);

// The layered-window calls, made only when the user-interface library
// exports them (true without them, as nothing needs doing); otherwise their
// own answer, false where the desktop cannot make a window translucent.
bool DynUpdateLayeredWindow(HWND Handle, const TPoint* DestPos, const TSize* Size, const TBitmap* Source,
                            const TPoint* SourcePos, TColor Key, const BLENDFUNCTION* Blend, Cardinal Flags);
bool DynSetLayeredWindowAttributes(HWND Handle, TColor Key, Byte Alpha, Cardinal Flags);

#pragma once
// Colour arithmetic and the fills the grid paints with: stepped and mirror
// gradients, the rounded selection pill of the selection styles, and bitmaps
// drawn with one colour see-through. The routines keep no state; each leaves
// the canvas's pen and brush at the last colours it used.

#include "framework/Graphics.h"

// Every channel of the resolved colour halved.
TColor HalveColor(TColor Color);
// Every channel of the resolved colour moved by Percent of itself, held
// within 0..255 (a brightened 240 stays 255 instead of wrapping to 1).
TColor AdjustColorPercent(TColor Color, int Percent);
// The colour at Position (counted from 0) of a gradient spread over
// RangeEnd - RangeStart; ColorFrom unchanged when ColorTo is clNone. Equal
// range ends give the resolved ColorFrom.
TColor InterpolateColor(TColor ColorFrom, TColor ColorTo, int RangeStart, int RangeEnd, int Position);
// Six upper-case hexadecimal digits, red first, of an RGB value (resolved by the caller).
String ColorToHTMLHex(TColor Color);

void FillRectColor(TCanvas& Canvas, const TRect& R, TColor Color);
// A one-pixel frame inside R: Light along the left and top, Dark along the right and bottom.
void DrawRaisedFrame(TCanvas& Canvas, const TRect& R, TColor Light, TColor Dark);
// Steps + 1 bands from FromColor to ToColor (at most one per pixel), left to
// right when Horizontal, else top to bottom; one plain fill when either
// colour is clNone.
void DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R, bool Horizontal);
// A plain, gradient or two-half fill (Color..ColorTo, then
// MirrorColor..MirrorColorTo), split across Vertical, then an optional border.
void DrawMirrorGradient(TCanvas& Canvas, TRect R, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SidesOnly, bool Fill);
// The selection pill over one cell; Side: 0 both rounded ends, 1 the left end
// only, 2 the right end only, 3 neither (a middle cell of a span).
void DrawStyledSelection(TCanvas& Canvas, TColor Color, TColor ColorTo, TColor MirrorColor, TColor MirrorColorTo,
                         TColor TopLineColor, TColor BottomLineColor, TColor BorderColor, TColor EdgeColor,
                         TColor BackgroundColor, TRect R, int Side);
// Bitmap at its own size at R's top-left, its top-left pixel's colour drawn as BackgroundColor.
void DrawBitmapTransparent(TCanvas& Canvas, const TBitmap& Bitmap, TColor BackgroundColor, const TRect& R);
// The same with a bitmap resource of the program (raises EResNotFound for an unknown name).
void DrawResourceBitmapTransparent(TCanvas& Canvas, TColor BackgroundColor, const TRect& R, const String& ResourceName);

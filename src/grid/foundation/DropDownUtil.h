#pragma once
// The drop-down editors' own drawing, text and number routines.

#include "framework/Controls.h"
#include "framework/Graphics.h"

class TImageList;

// Paints the windowless children of a windowed control into a canvas.
class TWinCtrl : public TWinControl {
public:
    using TWinControl::TWinControl;
    void PaintCtrls(TCanvas& Canvas, TControl* First) { PaintControls(Canvas, First); }
};

void DrawSteppedGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                         bool Horizontal);
TColor BlendColor(TColor Color1, TColor Color2, int Percent);
TColor AdjustColorBrightness(TColor Color, int PercentRed, int PercentGreen, int PercentBlue);
void DrawGradientBackground(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor BorderColor,
                            int BorderWidth, bool Vertical);

void DrawImageAndText(TCanvas* Canvas, const TRect& R, const String& Text, const TImageList* Images, int ImageIndex);
void DrawTransparentBitmap(TCanvas& Canvas, const TBitmap& Bitmap, TColor BackgroundColor, const TRect& R);
// X the width, Y the height; (0, 0) for empty text.
TPoint MeasureText(TCanvas& Canvas, const String& Text);
String EllipsisText(TCanvas& Canvas, const String& Text, int MaxWidth, bool AddEllipsis);
TPoint DrawMarkupTextInRect(TCanvas& Canvas, const String& Text, const TRect& R, TImageList* Images, bool Draw,
                            const TObject* WindowHandle);

bool IsListSeparatorChar(Char C);
// 0 integer, 1 number with separators, 2 other, 5 hexadecimal.
int NumberKindOfText(const String& S);
String StripThousandSeparators(const String& S);
int HexDigitValue(Char C);
// Non-digits count as 0; wraps in 32 bits.
int HexToInt(const String& S);
String MatchCaseText(const String& Text, bool CaseSensitive);

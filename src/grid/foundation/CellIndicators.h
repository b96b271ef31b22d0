#pragma once
// Small graphics that show a cell's value: progress bars, a range bar, a
// pie, geometric shapes and the wavy underline under a wrong part of a text.
// The routines keep no state.

#include "framework/Graphics.h"

enum TCellShape {
    csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp, csTriangleDown, csDiamond, csLineVert,
    csLineHorz, csRoundRect, csEllips, csSquare, csRoundSquare, csStar, csArrowUp, csArrowDown, csArrowLeft,
    csArrowRight, csHalfStar
};

struct TProgressDrawInfo {
    TColor Level0Color = clLime, Level0ColorTo = clLime;
    TColor Level1Color = clYellow, Level1ColorTo = clYellow;
    TColor Level2Color = clFuchsia, Level2ColorTo = clFuchsia;
    TColor Level3Color = clRed, Level3ColorTo = clRed;
    int Level1Perc = 70;
    int Level2Perc = 90;
    TColor BorderColor = clBlack;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = true;
    const TFont* Font = nullptr;  // name, size and style of the percentage
    TColor CompleteFontColor = clBlue;
    bool CompletionSmooth = true;
    bool ShowGradient = true;
    int Steps = 11;
    TColor UnCompleteColor = clNone;
    bool Vertical = false;
};

// Printing flips the text's vertical centring as the printer's canvas wants it.
void DrawProgressBar(TCanvas& Canvas, TRect R, TColor Color, TColor TextColor, TColor Color2, TColor TextColor2,
                     double Position, int MarginX, int MarginY, int Min, int Max, const String& Format,
                     TColor BorderColor, bool Printing);
void DrawStyledProgress(TCanvas& Canvas, const TRect& R, int Percent, TProgressDrawInfo Info);
void DrawRangeIndicator(TCanvas& Canvas, const TRect& R, int Value, int Range, bool ShowValue, TColor NegColor,
                        TColor PosColor);
void DrawPieIndicator(TCanvas& Canvas, const TRect& R, TColor Color, double Value, bool Printing);
void DrawCellShape(TCanvas& Canvas, int X, int Y, int W, int H, TCellShape Shape, TColor BrushColor, TColor PenColor);
// The red zigzag under characters ErrPos .. ErrPos + ErrLen - 1 (0-based) of
// Text drawn in one line at Rect's top left in the canvas font.
void DrawWavyUnderline(TObject* Owner, TCanvas& Canvas, const String& Text, const TRect& Rect, int YOffset,
                       int ErrPos, int ErrLen);

#pragma once
// Measuring, drawing and hit-testing of markup texts in a rectangle: cell
// texts, headers, footers and hints. Every line is measured first and then
// drawn with its alignment applied.

#include "framework/Graphics.h"

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

struct TMarkupDrawArgs {
    TImageList* Images = nullptr;     // pictures for "IDX:" sources
    int MouseX = -1;                  // -1: no mouse
    int MouseY = -1;
    int FocusAnchorIndex = -1;        // 0-based anchor with the keyboard focus
    int HoverAnchorNumber = 0;        // 1-based anchor under the mouse; 0 none
    int ShadowShift = 0;
    bool HitTestOnly = false;         // draw nothing; a control with ID ControlID counts as hit
    bool MeasureOnly = false;
    bool ScaleImages = false;
    bool KeepColors = false;
    bool BlinkVisible = true;
    bool HoverUnderlineOnly = false;
    bool WrapWords = false;
    bool EndEllipsis = true;          // a clipped run ends in "..." (never with WrapWords)
    bool MousePressed = false;
    double ImageScale = 1.0;
    TColor LinkColor = clBlue;
    TColor HoverBrushColor = clNone;
    TColor HoverTextColor = clNone;
    TColor ShadowColor = clGray;
    String ControlID;                 // the ID to match in HitTestOnly
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* Pictures = nullptr;
    const TObject* WindowHandle = nullptr;  // whose visual style draws in-text controls
    Byte ReadingOrder = 0;
};

struct TMarkupDrawResult {
    String AnchorHref;      // the anchor under the mouse, or "ctrl" for a control
    String PlainText;
    String FocusHref;
    String AnchorTitle;
    int ExtentX = 0;
    int ExtentY = 0;
    int AnchorCount = 0;
    int HotAnchorNumber = -1;
    TRect HotAnchorRect;
    TRect ControlRect;
    String ControlID;
    String ControlValue;
    String ControlType;
};

// True when the mouse is over an in-text control or a linked picture (or, in
// HitTestOnly, over linked text or at the control with ControlID).
bool DrawHTMLText(TCanvas& Canvas, const String& Text, const TRect& Rect, const TMarkupDrawArgs& In,
                  TMarkupDrawResult& Out);

void SetHiLightColors(TColor Background, TColor Text);
// The highlight colours of one owner's drawing; the shared ones come back after.
struct THiLightColorsScope {
    THiLightColorsScope(TColor Background, TColor Text);
    ~THiLightColorsScope();
    THiLightColorsScope(const THiLightColorsScope&) = delete;
    THiLightColorsScope& operator=(const THiLightColorsScope&) = delete;
    TColor SavedBackground, SavedText;
};
// The text flags for a reading order (0 left to right, 1 right to left,
// 2 right to left without alignment, 3 right-to-left reading only): only in
// a Middle-East system locale (SysLocale) order 1 mirrors the justification
// and every order but 0 reads right to left.
unsigned BiDiDrawTextFlags(unsigned Flags, int ReadingOrder);
void DetectWinXPOrLater();
void SelectAngledFont(TCanvas& Canvas, int Angle);
void RestoreCanvasFont(TCanvas& Canvas);
void StretchDrawBitmapDIB(TCanvas& Canvas, const TRect& R, TBitmap& Bitmap);
// The desktop's icon of a file, folder or file type; Size gets its size.
void DrawSystemIcon(TCanvas& Canvas, int X, int Y, TSize& Size, double Scale, bool ScaleImages, bool Draw,
                    bool Large, const String& Source);
String PasswordMask(const String& Text);

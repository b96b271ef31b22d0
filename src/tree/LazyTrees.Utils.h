#pragma once
// Drawing routines of the tree: fitting texts into a width, blending 32-bit
// bitmaps, colour values for image lists and the strips of a moving picture.

#include "framework/Graphics.h"
#include "framework/System.h"

// S cut to fit Width in the canvas font with "..." appended; EllipsisWidth 0
// measures "..." first. A text that fits is returned unchanged.
String ShortenToWidth(TCanvas& Canvas, const String& S, int Width, int EllipsisWidth);
// Text broken at blanks into lines no wider than Bounds, separated by a line
// feed; a word wider than a line is cut. RightToLeft fills lines from the end.
String WrapToWidth(TCanvas& Canvas, const String& Text, const TRect& Bounds, bool RightToLeft);

// Made by the first tree of the process (every tree's construction asks; only the first does
// the work): the lock, the facts about the machine, the shared pictures, the header's split
// cursors and the clipboard formats. Torn down when the program ends.
void SetUpTreeLibrary();
void TearDownTreeLibrary();
class TCriticalSection;
// Held while a shared picture list is (re)loaded; nil before the set-up.
extern TCriticalSection* TreeLibraryLock;

// Whether the processor has the MMX instructions (the identification instruction exists, its
// signature is 0x50 or above and feature bit 23 is set); false on other processors.
bool ProcessorHasMMX();
// Whether blended drawing is used: the processor's answer at set-up; tests switch it off for the plain paths.
extern bool MMXAvailable;
// The system draws themed parts (the framework answers version 6.1).
extern bool PlatformVersionAtLeast6;
// Blends Color over R of the canvas with constant alpha A (0..255):
// d := (d * (256 - A) + c * A) div 256 per channel.
void BlendRectWithColor(TCanvas& Canvas, const TRect& R, TColor Color, int Alpha);

class TImageList;
// The check pictures drawn by the platform, in the normal and in the flat look, shared by every
// tree: 0 none, 1-4 radio button, 5-8 checked radio button, 9-12 check box, 13-16 checked,
// 17-20 mixed, 21-24 push button, each normal, hot, pressed and disabled.
TImageList* SystemCheckList();
TImageList* SystemFlatCheckList();
// The drawn strips of 25 pictures of 16 x 16 in the same order: 0 light check, 1 dark check, 2 light
// tick, 3 dark tick, 4 flat, 5 XP. All but the XP strip take the system's window, face, shadow and
// text colours.
TImageList* CheckListLight();
TImageList* CheckListDark();
TImageList* TickListLight();
TImageList* TickListDark();
TImageList* CheckListFlat();
TImageList* CheckListXP();
// The strip of a look by its number above.
TImageList* DrawnCheckList(int Look);
// Drop marks (0 left, 1 right) and sort arrows (2 descending, 3 ascending; 4 and 5 themed).
TImageList* UtilityImageList();
// Loads the lists that take the system colours again (the XP strip keeps its own); lists not made yet stay so.
void ReloadRemappedImageLists();
// (Re)fills List from the bitmap resource, a strip of 16 x 16 pictures whose top-left pixel is the
// transparent colour; Remap maps white, silver, grey and black onto the current system colours.
void LoadSharedImageList(TImageList& List, const String& ResourceName, bool Remap);

// Left/Right and Top/Bottom each in ascending order.
TRect NormalizedRect(const TRect& R);

// Blends R of Source into Destination at Target, every byte of a pixel
// (blue, green, red, alpha) alike, d and s the destination and source bytes:
// mode 0 (d * (256 - A) + s * A) div 256 + Bias with A = ConstantAlpha, mode 1
// with A the source pixel's alpha, mode 2 with A = source alpha * ConstantAlpha
// div 256 (the result limited to 0..255); mode 3 blends the colour in Bias
// over R of Destination alone with A = ConstantAlpha (the alpha byte blends
// with 0). Both bitmaps must be pf32bit; other modes do nothing.
void BlendPixels(TBitmap* Source, TBitmap* Destination, const TRect& R, TPoint Target, int Mode, int ConstantAlpha,
                 int Bias);

// An image list's colour value: clNone and clDefault become the lists' own
// "none" and "default" values, any other colour its RGB value.
constexpr Cardinal CLR_NONE = 0xFFFFFFFF;
constexpr Cardinal CLR_DEFAULT = 0xFF000000;
Cardinal ColorToImageListColor(TColor Color);

// When a picture of W x H moves by (-DX, -DY): the whole area, the part of the
// saved background that survives (scrolled by DX, DY), and the strips to read
// from the screen into it (sample) and to give back to the screen (draw); the
// first pair serves a move sideways, the second a move up or down. Unused strips stay empty.
struct TDragStrip {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const TDragStrip&) const = default;
};
struct TDragStrips {
    TRect All, Surviving;
    TDragStrip Sample1, Sample2, Draw1, Draw2;
};
TDragStrips DragStripRects(int W, int H, int DX, int DY);

class TRegion;
// Limits the canvas's drawing to R (logical), and to ExtraRegion (device) as well when one is given.
void ClipCanvasToRect(TCanvas& Canvas, const TRect& R, const TRegion* ExtraRegion = nullptr);
// R becomes the size of Text drawn with Flags, measured from R's top-left corner.
void MeasureTextRect(TCanvas& Canvas, const String& Text, TRect& R, unsigned Flags);
// The whole bitmap stretched into R.
void StretchDrawBitmap(TCanvas& Canvas, const TRect& R, const TBitmap& Bitmap);
// An image of the list in shades of grey.
void DrawImageSaturated(const TImageList& ImageList, TCanvas& Canvas, int X, int Y, int Index);
// An image drawn with an ILD_* style in the list's colours, or grey when not enabled (the style unused).
void DrawListImage(const TImageList& ImageList, int Index, TCanvas& Canvas, int X, int Y, unsigned Style,
                   bool Enabled);

#pragma once
// Drawing routines of the tree: fitting texts into a width.

#include "framework/Graphics.h"
#include "framework/System.h"

// S cut to fit Width in the canvas font with "..." appended; EllipsisWidth 0
// measures "..." first. A text that fits is returned unchanged.
String ShortenToWidth(TCanvas& Canvas, const String& S, int Width, int EllipsisWidth);
// Text broken at blanks into lines no wider than Bounds, separated by a line
// feed; a word wider than a line is cut. RightToLeft fills lines from the end.
String WrapToWidth(TCanvas& Canvas, const String& Text, const TRect& Bounds, bool RightToLeft);

// Whether blended drawing is used; tests switch it off for the plain paths.
extern bool MMXAvailable;
// The system draws themed parts (the framework answers version 6.1).
extern bool PlatformVersionAtLeast6;
// Blends Color over R of the canvas with constant alpha A (0..255):
// d := (d * (256 - A) + c * A) div 256 per channel.
void BlendRectWithColor(TCanvas& Canvas, const TRect& R, TColor Color, int Alpha);

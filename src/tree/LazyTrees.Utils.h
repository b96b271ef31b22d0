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

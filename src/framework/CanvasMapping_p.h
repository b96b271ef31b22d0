#pragma once
// The logical-to-device mapping of a canvas in MM_LOMETRIC. A drawing call
// maps its arguments to pixels and runs once more inside a TDeviceScope,
// which puts the canvas in pixels (MM_TEXT, origin 0, pen width and font
// height in pixels) for that call and restores it afterwards.

#include "framework/Graphics.h"

#include <vector>

struct TDeviceScope {
    explicit TDeviceScope(TCanvas& canvas);
    ~TDeviceScope();
    TDeviceScope(const TDeviceScope&) = delete;
    TDeviceScope& operator=(const TDeviceScope&) = delete;

    TCanvas& c;
    int mode, penWidth, fontHeight;
    Cardinal layout;
    TPoint origin, penPos;
};

inline bool IsMapped(const TCanvas& c) { return c.MapMode() != MM_TEXT || c.Layout() != 0; }
inline bool IsMirrored(const TCanvas& c) { return (c.Layout() & LAYOUT_RTL) != 0; }
// A logical point to pixels, origin included.
TPoint MapPoint(const TCanvas& c, TPoint p);
std::vector<TPoint> MapPoints(const TCanvas& c, const std::vector<TPoint>& points);
// The device pixel of a logical pixel: in a mirror the pixel [x, x + 1)
// lies at W - x - 1, one left of the point x.
inline TPoint MapPixel(const TCanvas& c, TPoint p) {
    TPoint d = MapPoint(c, p);
    if (IsMirrored(c)) --d.X;
    return d;
}
// A logical rectangle to pixels, in order (Left <= Right, Top <= Bottom).
TRect MapRect(const TCanvas& c, const TRect& r);
// Pixels back to logical: the pixel rectangle's top-left becomes Left/Top.
TRect UnmapRect(const TCanvas& c, const TRect& r);
// Lengths.
int MapLength(const TCanvas& c, int logical);
int UnmapLength(const TCanvas& c, int pixels);

#include "grid/foundation/GridColors.h"

#include "framework/Resources.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstdint>

namespace {

int ClampChannel(Int64 v) { return static_cast<int>(std::clamp<Int64>(v, 0, 255)); }

void PenAndBrush(TCanvas& Canvas, TColor C) {
    Canvas.Pen().SetColor(C);
    Canvas.Brush().SetColor(C);
}

}  // namespace

TColor HalveColor(TColor Color) {
    const TColor c = ColorToRGB(Color);
    return RGB(GetRValue(c) >> 1, GetGValue(c) >> 1, GetBValue(c) >> 1);
}

TColor AdjustColorPercent(TColor Color, int Percent) {
    const TColor c = ColorToRGB(Color);
    auto adjust = [Percent](int ch) { return ClampChannel(Round(ch + (ch * Percent) / 100.0)); };
    return RGB(adjust(GetRValue(c)), adjust(GetGValue(c)), adjust(GetBValue(c)));
}

TColor InterpolateColor(TColor ColorFrom, TColor ColorTo, int RangeStart, int RangeEnd, int Position) {
    if (ColorTo == clNone) return ColorFrom;
    const TColor f = ColorToRGB(ColorFrom), t = ColorToRGB(ColorTo);
    if (RangeEnd == RangeStart) return f;
    const double frac = static_cast<double>(Position) / (static_cast<double>(RangeEnd) - RangeStart);
    auto mix = [frac](int a, int b) { return ClampChannel(a + Round((b - a) * frac)); };
    return RGB(mix(GetRValue(f), GetRValue(t)), mix(GetGValue(f), GetGValue(t)), mix(GetBValue(f), GetBValue(t)));
}

String ColorToHTMLHex(TColor Color) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    const int ch[3] = {GetRValue(Color), GetGValue(Color), GetBValue(Color)};
    String s;
    for (int v : ch) {
        s += digits[v >> 4];
        s += digits[v & 15];
    }
    return s;
}

void FillRectColor(TCanvas& Canvas, const TRect& R, TColor Color) {
    Canvas.Brush().SetColor(Color);
    Canvas.FillRect(R);
}

void DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R, bool Horizontal) {
    if (R.Top == R.Bottom) return;
    if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    if (from == clNone || to == clNone) {
        const TColor c = (from == clNone && to != clNone) ? to : from;
        PenAndBrush(Canvas, c);
        // Pen and brush of one colour: the rectangle's pixels are its fill's.
        Canvas.FillRect(R);
        return;
    }
    const int span = Horizontal ? R.Right - R.Left - 1 : R.Bottom - R.Top - 1;
    if (Steps > span) Steps = span;
    if (Steps <= 0) Steps = 1;
    const double stepSize = static_cast<double>(span) / Steps;
    const double dr = static_cast<double>(GetRValue(to) - GetRValue(from)) / Steps;
    const double dg = static_cast<double>(GetGValue(to) - GetGValue(from)) / Steps;
    const double db = static_cast<double>(GetBValue(to) - GetBValue(from)) / Steps;
    const int width = static_cast<int>(Trunc(stepSize + 1));
    for (int i = 0; i <= Steps; ++i) {
        PenAndBrush(Canvas, RGB(ClampChannel(GetRValue(from) + Round(i * dr)),
                                ClampChannel(GetGValue(from) + Round(i * dg)),
                                ClampChannel(GetBValue(from) + Round(i * db))));
        // The band offset is a 16-bit quantity, as the bands are drawn by the original routine.
        const int pos = static_cast<std::uint16_t>(Trunc(i * stepSize));
        if (Horizontal)
            Canvas.FillRect(Rect(R.Left + pos, R.Top, std::min(R.Right, R.Left + pos + width), R.Bottom));
        else
            Canvas.FillRect(Rect(R.Left, R.Top + pos, R.Right, std::min(R.Bottom, R.Top + pos + width)));
    }
}

void DrawRaisedFrame(TCanvas& Canvas, const TRect& R, TColor Light, TColor Dark) {
    Canvas.Pen().SetColor(Light);
    Canvas.MoveTo(R.Left, R.Bottom - 1);
    Canvas.LineTo(R.Left, R.Top);
    Canvas.LineTo(R.Right - 1, R.Top);
    Canvas.Pen().SetColor(Dark);
    Canvas.LineTo(R.Right - 1, R.Bottom - 1);
    Canvas.LineTo(R.Left, R.Bottom - 1);
}

void DrawMirrorGradient(TCanvas& Canvas, TRect R, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SidesOnly, bool Fill) {
    constexpr int steps = 128;
    if (Fill && Color != clNone) {
        if (MirrorColor != clNone) {
            TRect first = R, second = R;
            if (Vertical) {
                first.Bottom = second.Top = R.Top + (R.Bottom - R.Top) / 2;
            } else {
                first.Right = second.Left = R.Left + (R.Right - R.Left) / 2;
            }
            DrawGradient(Canvas, Color, ColorTo, steps, first, !Vertical);
            DrawGradient(Canvas, MirrorColor, MirrorColorTo, steps, second, !Vertical);
        } else if (ColorTo == clNone) {
            PenAndBrush(Canvas, Color);
            Canvas.Brush().SetStyle(bsSolid);
            Canvas.Pen().SetWidth(1);
            Canvas.Pen().SetStyle(psSolid);
            // The plain fill reaches one pixel lower, and so does the frame after it.
            R.Bottom += 1;
            Canvas.FillRect(R);
        } else {
            DrawGradient(Canvas, Color, ColorTo, steps, R, !Vertical);
        }
    }
    if (BorderColor != clNone) {
        if (SidesOnly) {
            Canvas.Pen().SetColor(BorderColor);
            Canvas.MoveTo(R.Left, R.Top);
            Canvas.LineTo(R.Left, R.Bottom);
            Canvas.MoveTo(R.Right - 1, R.Top);
            Canvas.LineTo(R.Right - 1, R.Bottom);
        } else {
            Canvas.Brush().SetColor(BorderColor);
            Canvas.FrameRect(R);
        }
    }
}

void DrawStyledSelection(TCanvas& Canvas, TColor Color, TColor ColorTo, TColor MirrorColor, TColor MirrorColorTo,
                         TColor TopLineColor, TColor BottomLineColor, TColor BorderColor, TColor EdgeColor,
                         TColor BackgroundColor, TRect R, int Side) {
    const bool leftEnd = Side == 0 || Side == 1;
    const bool rightEnd = Side == 0 || Side == 2;
    const int L = R.Left, T = R.Top, Rt = R.Right - 1, B = R.Bottom - 2;
    const int mid = T + (B - T) / 2;
    auto line = [&Canvas](int x1, int y1, int x2, int y2) {
        Canvas.MoveTo(x1, y1);
        Canvas.LineTo(x2, y2);
    };

    Canvas.Pen().SetColor(TopLineColor);
    line(L, T + 1, Rt, T + 1);
    if (leftEnd) line(L + 1, T + 1, L + 1, mid);
    if (rightEnd) line(Rt - 2, T + 1, Rt - 2, mid);

    Canvas.Pen().SetColor(BottomLineColor);
    line(L, B - 1, Rt, B - 1);
    if (leftEnd) line(L + 1, mid, L + 1, B - 1);
    if (rightEnd) line(Rt - 2, mid, Rt - 2, B - 1);

    const int leftInset = (Side == 2 || Side == 3) ? 0 : 2;
    const int rightInset = (Side == 1 || Side == 3) ? 0 : 2;

    Canvas.Pen().SetColor(BorderColor);
    line(L + leftInset, T, Rt - rightInset, T);
    line(L + leftInset, B, Rt - rightInset, B);
    if (rightEnd) line(Rt - 1, T + 2, Rt - 1, B - 1);
    if (leftEnd) line(L, T + 2, L, B - 1);

    if (leftEnd) {
        for (TPoint p : {Point(L + 1, T), Point(L + 1, T + 1), Point(L, T + 1), Point(L + 1, B), Point(L + 1, B - 1),
                         Point(L, B - 1)})
            Canvas.SetPixels(p.X, p.Y, EdgeColor);
        Canvas.SetPixels(L, T, BackgroundColor);
        Canvas.SetPixels(L, B, BackgroundColor);
    }
    if (rightEnd) {
        for (TPoint p : {Point(Rt - 2, T), Point(Rt - 2, T + 1), Point(Rt - 1, T + 1), Point(Rt - 2, B),
                         Point(Rt - 2, B - 1), Point(Rt - 1, B - 1)})
            Canvas.SetPixels(p.X, p.Y, EdgeColor);
        Canvas.SetPixels(Rt - 1, T, BackgroundColor);
        Canvas.SetPixels(Rt - 1, B, BackgroundColor);
    }

    const TRect inner = Rect(L + leftInset, T + 2, Rt - rightInset, B - 1);
    constexpr int steps = 16;
    if (ColorTo == clNone) {
        PenAndBrush(Canvas, Color);
        Canvas.FillRect(inner);
    } else if (MirrorColor == clNone) {
        DrawGradient(Canvas, Color, ColorTo, steps, inner, false);
    } else {
        const int im = inner.Top + (inner.Bottom - inner.Top) / 2;
        DrawGradient(Canvas, Color, ColorTo, steps, Rect(inner.Left, inner.Top, inner.Right, im), false);
        DrawGradient(Canvas, MirrorColor, MirrorColorTo, steps, Rect(inner.Left, im, inner.Right, inner.Bottom), false);
    }
}

void DrawBitmapTransparent(TCanvas& Canvas, const TBitmap& Bitmap, TColor BackgroundColor, const TRect& R) {
    const int w = Bitmap.Width(), h = Bitmap.Height();
    if (w <= 0 || h <= 0) return;
    TBitmap temp(w, h);
    TBitmap& src = const_cast<TBitmap&>(Bitmap);
    const TColor key = src.Canvas().Pixels(0, 0);
    temp.Canvas().Brush().SetColor(BackgroundColor);
    temp.Canvas().BrushCopy(Rect(0, 0, w, h), Bitmap, Rect(0, 0, w, h), key);
    Canvas.CopyRect(Rect(R.Left, R.Top, R.Left + w, R.Top + h), temp.Canvas(), Rect(0, 0, w, h));
}

void DrawResourceBitmapTransparent(TCanvas& Canvas, TColor BackgroundColor, const TRect& R, const String& ResourceName) {
    TBitmap bmp;
    LoadBitmapResource(bmp, ResourceName);
    DrawBitmapTransparent(Canvas, bmp, BackgroundColor, R);
}

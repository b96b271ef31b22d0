#include "grid/foundation/CellIndicators.h"

#include "framework/SysUtils.h"
#include "grid/foundation/GridColors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr TColor PieBorder = 0x808080;
constexpr int BlockWidth = 7, BlockGap = 2;

int Rnd(double V) { return int(Round(V)); }

}  // namespace

void DrawProgressBar(TCanvas& Canvas, TRect R, TColor Color, TColor TextColor, TColor Color2, TColor TextColor2,
                     double Position, int MarginX, int MarginY, int Min, int Max, const String& Fmt,
                     TColor BorderColor, bool Printing) {
    const TColor Saved = Canvas.Brush().Color();
    Canvas.Brush().SetColor(Color);
    Canvas.Pen().SetColor(Color);
    Canvas.Font().SetColor(TextColor);
    const int P = Rnd(Position);
    String Text;
    int Pct;
    if (Fmt.empty()) {
        Text = IntToStr(P) + u"%";
        Pct = P;
    } else {
        const bool Whole = Fmt.find(u'd') != String::npos || Fmt.find(u'u') != String::npos;
        Text = Whole ? Format(Fmt, {P}) : Format(Fmt, {Position});
        // Equal limits give no share at all rather than a division by zero.
        Pct = Max == Min ? 0 : Rnd((Position - Min) * 100 / (Max - Min));
    }
    Pct = std::clamp(Pct, 0, 100);
    R = {R.Left + MarginX, R.Top + MarginY, R.Right - MarginX, R.Bottom - MarginY};
    const int Split = R.Left + Rnd(double(R.Right - R.Left) * Pct / 100);
    const int TX = R.Left + (R.Right - R.Left - Canvas.TextWidth(Text)) / 2;
    const int TY = R.Top + (R.Bottom - R.Top - (Printing ? -1 : 1) * Canvas.TextHeight(Text)) / 2;
    Canvas.TextRect({R.Left, R.Top, Split, R.Bottom}, TX, TY, Text);
    Canvas.Brush().SetColor(Color2);
    Canvas.Pen().SetColor(Color2);
    Canvas.Font().SetColor(TextColor2);
    Canvas.TextRect({Split, R.Top, R.Right, R.Bottom}, TX, TY, Text);
    Canvas.Brush().SetColor(BorderColor);
    Canvas.Pen().SetColor(Saved);
    InflateRect(R, 1, 1);
    if (BorderColor != clNone) Canvas.FrameRect(R);
    Canvas.Brush().SetColor(Saved);
    InflateRect(R, 1, 1);
    Canvas.FrameRect(R);
}

void DrawStyledProgress(TCanvas& Canvas, const TRect& Rect, int Percent, TProgressDrawInfo Info) {
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
    const bool V = Info.Vertical;
    const int Len = (V ? B - T : R - L) - 2;
    const TColor FrameColor = Info.ShowBorder ? Info.BorderColor : Info.UnCompleteColor;
    Canvas.Brush().SetColor(Info.UnCompleteColor);
    Canvas.Pen().SetColor(FrameColor);
    Canvas.Rectangle(L, T, R, B);

    auto Paint = [&](TRect S, TColor C, TColor CT) {
        if (!Info.ShowGradient) {
            FillRectColor(Canvas, S, C);
            return;
        }
        if (!V) {
            const int Mid = S.Top + (S.Bottom - S.Top) / 2;
            DrawGradient(Canvas, CT, C, Info.Steps, {S.Left, S.Top, S.Right, Mid}, false);
            DrawGradient(Canvas, C, CT, Info.Steps, {S.Left, Mid, S.Right, S.Bottom}, false);
        } else {
            const int Mid = S.Left + (S.Right - S.Left) / 2;
            DrawGradient(Canvas, CT, C, Info.Steps, {S.Left, S.Top, Mid, S.Bottom}, true);
            DrawGradient(Canvas, C, CT, Info.Steps, {Mid, S.Top, S.Right, S.Bottom}, true);
        }
    };
    // A segment of length N starting Start pixels into the bar (from the left, or up from the bottom).
    auto Segment = [&](int Start, int N, int Inset) {
        return V ? TRect{L + Inset, B - Inset - Start - N, R - Inset, B - Inset - Start}
                 : TRect{L + Inset + Start, T + Inset, L + Inset + Start + N, B - Inset};
    };

    if (Percent > 0) {
        if (Info.Stacked) {
            const int W0 = Rnd(std::min(Percent, Info.Level1Perc) / 100.0 * Len);
            Paint(Segment(0, W0, 1), Info.Level0Color, Info.Level0ColorTo);
            if (Percent >= Info.Level1Perc) {
                const int W1 = Rnd(Len * double(std::min(Percent, Info.Level2Perc) - Info.Level1Perc) / 100);
                Paint(Segment(W0, W1, 1), Info.Level1Color, Info.Level1ColorTo);
                if (Percent >= Info.Level2Perc) {
                    const int W2 = Percent == 100 ? Len - W0 - W1 : Rnd(Len * double(Percent - Info.Level2Perc) / 100);
                    // Vertical: one pixel above segment 1's top.
                    Paint(Segment(W0 + W1 + (V ? 1 : 0), W2, 1), Info.Level3Color, Info.Level3ColorTo);
                }
            }
        } else {
            TColor C = Info.Level3Color, CT = Info.Level3ColorTo;
            if (Percent < Info.Level1Perc)
                C = Info.Level0Color, CT = Info.Level0ColorTo;
            else if (Percent < Info.Level2Perc)
                C = Info.Level1Color, CT = Info.Level1ColorTo;
            else if (Percent < 100)
                C = Info.Level2Color, CT = Info.Level2ColorTo;
            if (Info.CompletionSmooth) {
                Paint(Segment(0, Rnd(Percent / 100.0 * Len), 1), C, CT);
            } else {
                const int N = Rnd(double(Percent) * Len / 100);
                if (N > 9) {
                    int Start = 0;
                    const int Blocks = N / 9;
                    for (int k = 0; k < Blocks; ++k, Start += BlockWidth + BlockGap)
                        Paint(Segment(Start, BlockWidth, 2), C, CT);
                    if (N % 9 > 2) Paint(Segment(Start, N % 9 - 1, 2), C, CT);
                } else if (N > 1) {
                    Paint(Segment(0, N - 1, 2), C, CT);
                }
            }
        }
    }

    if (Info.ShowPercentage) {
        Canvas.Brush().SetStyle(bsClear);
        if (Info.Font) {
            Canvas.Font().SetName(Info.Font->Name());
            Canvas.Font().SetSize(Info.Font->Size());
            Canvas.Font().SetStyle(Info.Font->Style());
        }
        Canvas.Font().SetColor(Info.CompleteFontColor);
        const String Text = IntToStr(Percent) + u"%";
        const int TW = Canvas.TextWidth(Text), TH = Canvas.TextHeight(Text);
        if (!V) {
            Canvas.TextOut(L + (R - L) / 2 - TW / 2, T + (B - T) / 2 - TH / 2, Text);
        } else {
            TFont Saved;
            Saved.Assign(&Canvas.Font());
            Canvas.Font().SetEscapement(900);
            Canvas.Font().SetOrientation(900);
            Canvas.TextOut(L + (R - L) / 2 - TH / 2, T + (B - T) / 2 + TW / 2, Text);
            Canvas.Font().Assign(&Saved);
        }
    }
    Canvas.Pen().SetColor(FrameColor);
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Rectangle(L, T, R, B);
}

void DrawRangeIndicator(TCanvas& Canvas, const TRect& Rect, int Value, int Range, bool ShowValue, TColor NegColor,
                        TColor PosColor) {
    // A range that is not positive has no scale: nothing to draw.
    if (Range <= 0) return;
    const TRect R = {Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2};
    const int Half = (R.Right - R.Left) / 2;
    const int Mid = R.Left + Half;
    Value = std::clamp(Value, -Range, Range);
    const int W = Rnd(double(Value) * Half / Range);
    if (Value < 0) {
        Canvas.Brush().SetColor(NegColor);
        Canvas.Pen().SetColor(NegColor);
        Canvas.Rectangle(Mid + W, R.Top, Mid, R.Bottom);
    } else {
        Canvas.Brush().SetColor(PosColor);
        Canvas.Pen().SetColor(PosColor);
        Canvas.Rectangle(Mid, R.Top, Mid + W, R.Bottom);
    }
    if (ShowValue) {
        Canvas.SetBkMode(TRANSPARENT);
        const String Text = IntToStr(Value);
        Canvas.Brush().SetStyle(bsClear);
        Canvas.TextOut(Rect.Left + (Rect.Width() - Canvas.TextWidth(Text)) / 2,
                       Rect.Top + (Rect.Height() - Canvas.TextHeight(Text)) / 2, Text);
        Canvas.Brush().SetStyle(bsSolid);
    }
}

void DrawPieIndicator(TCanvas& Canvas, const TRect& R, TColor Color, double Value, bool Printing) {
    Canvas.Pen().SetColor(PieBorder);
    Canvas.Pen().SetWidth(1);
    Canvas.Ellipse(R);
    const int CX = R.Left + (R.Right - R.Left) / 2;
    const int CY = R.Top + (R.Bottom - R.Top) / 2;
    const double A = Value / 100 * 2 * Pi;
    Canvas.MoveTo(CX, R.Top);
    Canvas.LineTo(CX, CY);
    Canvas.LineTo(CX + Rnd((R.Right - R.Left + 1) * 0.5 * std::sin(A)),
                  CY - Rnd((R.Bottom - R.Top + 1) * 0.5 * std::cos(A)));
    Canvas.Brush().SetColor(Color);
    if (Value != 0) Canvas.FloodFill(CX + 1, Printing ? R.Top - 2 : R.Top + 2, PieBorder, fsBorder);
}

void DrawCellShape(TCanvas& Canvas, int X, int Y, int W, int H, TCellShape Shape, TColor BrushColor,
                   TColor PenColor) {
    Canvas.Brush().SetColor(BrushColor);
    Canvas.Pen().SetColor(PenColor);
    if (Shape == csCircle || Shape == csSquare || Shape == csRoundSquare) W = H = std::min(W, H);
    auto Star = [&](std::initializer_list<int> Points) {
        const int CX = X + W / 2, CY = Y + H / 2;
        std::vector<TPoint> P;
        for (int k : Points) {
            const double Th = k * 36.0 * Pi / 180;
            const double RX = k % 2 ? (W / 2) / 3.0 : W / 2, RY = k % 2 ? (H / 2) / 3.0 : H / 2;
            P.push_back({CX + Rnd(std::sin(Th) * RX), CY - Rnd(std::cos(Th) * RY)});
        }
        Canvas.Polygon(P);
    };
    const int W2 = W - W % 2, HQ = W2 / 4, M = H / 2;
    const int H2 = H - H % 2, VQ = H2 / 4, C = W / 2;
    switch (Shape) {
        case csRectangle:
        case csSquare: Canvas.Rectangle(X + 1, Y + 1, X + W - 1, Y + H - 1); break;
        case csCircle:
        case csEllips: Canvas.Ellipse(X, Y, X + W, Y + H); break;
        case csRoundRect:
        case csRoundSquare: Canvas.RoundRect(X, Y, X + W, Y + H, 10, 10); break;
        case csLineVert: Canvas.Rectangle(X + W / 2, Y, X + W / 2 + 1, Y + H); break;
        case csLineHorz: Canvas.Rectangle(X, Y + H / 2, X + W, Y + H / 2 + 1); break;
        case csTriangleLeft: Canvas.Polygon({{X + W, Y}, {X + W, Y + H}, {X, Y + H / 2}}); break;
        case csTriangleRight: Canvas.Polygon({{X, Y}, {X, Y + H}, {X + W, Y + H / 2}}); break;
        case csTriangleUp: Canvas.Polygon({{X, Y + H}, {X + W, Y + H}, {X + W / 2, Y}}); break;
        case csTriangleDown: Canvas.Polygon({{X, Y}, {X + W, Y}, {X + W / 2, Y + H}}); break;
        case csDiamond:
            Canvas.Polygon({{X, Y + H / 2}, {X + W / 2, Y}, {X + 2 * (W / 2), Y + H / 2}, {X + W / 2, Y + 2 * (H / 2)}});
            break;
        case csArrowUp:
            Canvas.Polygon({{X, Y + M}, {X + W2 / 2, Y}, {X + W2, Y + M}, {X + 3 * HQ, Y + M}, {X + 3 * HQ, Y + H},
                            {X + HQ, Y + H}, {X + HQ, Y + M}});
            break;
        case csArrowDown:
            Canvas.Polygon({{X, Y + M}, {X + W2 / 2, Y + H}, {X + W2, Y + M}, {X + 3 * HQ, Y + M}, {X + 3 * HQ, Y},
                            {X + HQ, Y}, {X + HQ, Y + M}});
            break;
        case csArrowLeft:
            Canvas.Polygon({{X, Y + H2 / 2}, {X + C, Y}, {X + C, Y + VQ}, {X + W, Y + VQ}, {X + W, Y + 3 * VQ},
                            {X + C, Y + 3 * VQ}, {X + C, Y + H2}});
            break;
        case csArrowRight:
            Canvas.Polygon({{X + W, Y + H2 / 2}, {X + C, Y}, {X + C, Y + VQ}, {X, Y + VQ}, {X, Y + 3 * VQ},
                            {X + C, Y + 3 * VQ}, {X + C, Y + H2}});
            break;
        case csStar: Star({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}); break;
        case csHalfStar: Star({0, 5, 6, 7, 8, 9}); break;
        default: break;
    }
}

void DrawWavyUnderline(TObject*, TCanvas& Canvas, const String& Text, const TRect& Rect, int YOffset, int ErrPos,
                       int ErrLen) {
    // Character positions in one line at the top of Rect, in the canvas font.
    const int Len = int(Text.size());
    auto PosOf = [&](int i) { return Canvas.TextWidth(Text.substr(0, size_t(std::clamp(i, 0, Len)))); };
    const int Y1 = 0, Y2 = 0;
    const int X1 = ErrPos < Len ? PosOf(ErrPos) : PosOf(Len) + 4;
    const int X2 = ErrPos + ErrLen < Len ? PosOf(ErrPos + ErrLen - 1) : PosOf(Len - 1) + 4;
    Canvas.Pen().SetColor(0x0000FF);
    Canvas.Pen().SetWidth(2);
    Canvas.MoveTo(Rect.Left + X1, Rect.Top + Y1 + YOffset + 3);
    int Level = 3;
    int X = X1;
    for (; X <= X2; X += 3) {
        Level = Level == 3 ? 0 : 3;
        Canvas.LineTo(Rect.Left + X + 3, Rect.Top + Y2 + YOffset + Level);
    }
    Canvas.LineTo(Rect.Left + X + 3, Rect.Top + Y2 + YOffset + (Level == 0 ? 3 : 0));
}

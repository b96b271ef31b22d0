// Fitting texts into a width: the ellipsis shortening measures a logarithmic
// number of prefixes; the word wrap fills line after line.

#include "tree/LazyTrees.Utils.h"

#include "framework/ImgList.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <deque>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

String ShortenToWidth(TCanvas& Canvas, const String& S, int Width, int EllipsisWidth) {
    static const String Ellipsis = u"...";
    if (S.empty() || Width <= 0) return {};
    if (EllipsisWidth == 0) EllipsisWidth = Canvas.TextWidth(Ellipsis);
    // The width always includes the ellipsis, also for the whole text.
    std::size_t Low = 0, High = S.size();
    while (High > Low) {
        std::size_t M = (Low + High + 1) / 2;
        if (Canvas.TextWidth(S.substr(0, M)) + EllipsisWidth <= Width) Low = M;
        else High = M - 1;
    }
    if (Low == S.size()) return S;
    return EllipsisWidth < Width ? S.substr(0, Low) + Ellipsis : String{};
}

String WrapToWidth(TCanvas& Canvas, const String& Text, const TRect& Bounds, bool RightToLeft) {
    auto Trimmed = [](Char C) { return C <= u' '; };
    std::size_t First = 0, Last = Text.size();
    while (First < Last && Trimmed(Text[First])) ++First;
    while (Last > First && Trimmed(Text[Last - 1])) --Last;
    String S = Text.substr(First, Last - First);
    String Result;
    if (S.empty()) return Result;
    const int MaxWidth = Bounds.Right - Bounds.Left;
    std::deque<String> Words;
    for (std::size_t Start = 0;;) {
        std::size_t Blank = S.find(u' ', Start);
        Words.push_back(S.substr(Start, Blank == String::npos ? String::npos : Blank - Start));
        if (Blank == String::npos) break;
        Start = Blank + 1;
    }
    auto Next = [&]() -> String& { return RightToLeft ? Words.back() : Words.front(); };
    auto Use = [&] { RightToLeft ? Words.pop_back() : Words.pop_front(); };
    while (!Words.empty()) {
        String Line;
        bool HasWord = false;
        while (!Words.empty()) {
            String& Word = Next();
            String Candidate = !HasWord ? Word : RightToLeft ? Word + u' ' + Line : Line + u' ' + Word;
            if (Canvas.TextWidth(Candidate) <= MaxWidth) {
                Line = Candidate;
                HasWord = true;
                Use();
                continue;
            }
            if (HasWord) break;
            // A word wider than the line is cut where it fits, at least one character.
            std::size_t K = Word.size() - 1;
            auto Part = [&](std::size_t N) { return RightToLeft ? Word.substr(Word.size() - N) : Word.substr(0, N); };
            while (K >= 2 && Canvas.TextWidth(Part(K)) > MaxWidth) --K;
            if (K < 1) K = 1;
            Line = Part(K);
            Word = RightToLeft ? Word.substr(0, Word.size() - K) : Word.substr(K);
            if (Word.empty()) Use();
            break;
        }
        Result += Line + u'\n';
    }
    if (!Result.empty()) Result.pop_back();
    return Result;
}

bool MMXAvailable = true;
bool PlatformVersionAtLeast6 = true;

bool ProcessorHasMMX() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
    // Fails when the identification instruction is missing (bit 21 of the flags cannot be toggled).
    if (!__get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx)) return false;
    return Eax >= 0x50 && (Edx & (1u << 23)) != 0;
#else
    return false;
#endif
}

void BlendRectWithColor(TCanvas& Canvas, const TRect& R, TColor Color, int Alpha) {
    const unsigned C = unsigned(ColorToRGB(Color));
    const unsigned A = unsigned(std::clamp(Alpha, 0, 255));
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X) {
            TColor Pixel = Canvas.Pixels(X, Y);
            if (Pixel == -1) continue;  // outside the surface or the clip
            unsigned D = unsigned(Pixel), V = 0;
            for (int Shift = 0; Shift < 24; Shift += 8) {
                unsigned d = (D >> Shift) & 0xFF, c = (C >> Shift) & 0xFF;
                V |= ((d * (256 - A) + c * A) / 256) << Shift;
            }
            Canvas.SetPixels(X, Y, TColor(V));
        }
}

TRect NormalizedRect(const TRect& R) {
    return TRect{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
                 std::max(R.Top, R.Bottom)};
}

void BlendPixels(TBitmap* Source, TBitmap* Destination, const TRect& R, TPoint Target, int Mode, int ConstantAlpha,
                 int Bias) {
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    for (TBitmap* B : {Mode == 3 ? Destination : Source, Destination}) {
        Assert(B != nullptr, u"Alpha blending DC error: no bitmap available.");
        Assert(B->PixelFormat() == pf32bit, u"Alpha blending error: bitmap must use 32 bpp.");
    }
    if (Mode < 0 || Mode > 3) return;
    const int W = R.Right - R.Left;
    auto Mix = [](int d, int s, int A) { return (d * (256 - A) + s * A) / 256; };
    for (int Y = 0; Y < R.Bottom - R.Top; ++Y) {
        if (Mode == 3) {
            Byte* D = static_cast<Byte*>(Destination->ScanLine(R.Top + Y)) + 4 * R.Left;
            const int Colour[4] = {(Bias >> 16) & 0xFF, (Bias >> 8) & 0xFF, Bias & 0xFF, 0};
            for (int X = 0; X < W; ++X, D += 4)
                for (int C = 0; C < 4; ++C) D[C] = Byte(Mix(D[C], Colour[C], ConstantAlpha));
            continue;
        }
        const Byte* S = static_cast<const Byte*>(Source->ScanLine(R.Top + Y)) + 4 * R.Left;
        Byte* D = static_cast<Byte*>(Destination->ScanLine(Target.Y + Y)) + 4 * Target.X;
        for (int X = 0; X < W; ++X, S += 4, D += 4) {
            const int A = Mode == 0 ? ConstantAlpha : Mode == 1 ? S[3] : S[3] * ConstantAlpha / 256;
            for (int C = 0; C < 4; ++C) D[C] = Byte(std::clamp(Mix(D[C], S[C], A) + Bias, 0, 255));
        }
    }
}

Cardinal ColorToImageListColor(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return Cardinal(ColorToRGB(Color));
}

TDragStrips DragStripRects(int W, int H, int DX, int DY) {
    TDragStrips S;
    S.All = TRect{0, 0, W, H};
    if (DX > 0) {
        S.Sample1 = {0, 0, DX, H};
        if (DY == 0) {
            S.Surviving = TRect{0, 0, W - DX, H};
            S.Draw1 = {W - DX, 0, DX, H};
        } else if (DY > 0) {
            S.Surviving = TRect{0, 0, W - DX, H - DY};
            S.Sample2 = {DX, 0, W - DX, DY};
            S.Draw1 = {0, H - DY, W - DX, DY};
            S.Draw2 = {W - DX, 0, DX, H};
        } else {
            S.Surviving = TRect{0, -DY, W - DX, H};
            S.Sample2 = {DX, H + DY, W - DX, -DY};
            S.Draw1 = {0, 0, W - DX, -DY};
            S.Draw2 = {W - DX, 0, DX, H};
        }
    } else if (DX < 0) {
        S.Draw1 = {0, 0, -DX, H};
        if (DY == 0) {
            S.Surviving = TRect{-DX, 0, W, H};
            S.Sample1 = {W + DX, 0, -DX, H};
        } else if (DY > 0) {
            S.Surviving = TRect{-DX, 0, W, H};
            S.Sample1 = {0, 0, W + DX, DY};
            S.Sample2 = {W + DX, 0, -DX, H};
            S.Draw2 = {-DX, H - DY, W + DX, DY};
        } else {
            S.Surviving = TRect{-DX, -DY, W, H};
            S.Sample1 = {0, H + DY, W + DX, -DY};
            S.Sample2 = {W + DX, 0, -DX, H};
            S.Draw2 = {-DX, 0, W + DX, -DY};
        }
    } else if (DY >= 0) {
        S.Surviving = TRect{0, 0, W, H - DY};
        S.Sample2 = {0, 0, W, DY};
        S.Draw2 = {0, H - DY, W, DY};
    } else {
        S.Surviving = TRect{0, -DY, W, H};
        S.Sample2 = {0, H + DY, W, -DY};
        S.Draw2 = {0, 0, W, -DY};
    }
    return S;
}

void ClipCanvasToRect(TCanvas& Canvas, const TRect& R, const TRegion* ExtraRegion) {
    TPoint Corners[2] = {{R.Left, R.Top}, {R.Right, R.Bottom}};
    Canvas.LPtoDP(Corners, 2);
    TRegion Clip(NormalizedRect(TRect{Corners[0].X, Corners[0].Y, Corners[1].X, Corners[1].Y}));
    if (ExtraRegion) Clip.Combine(TRegion(Clip), *ExtraRegion, RGN_AND);
    Canvas.SelectClipRgn(&Clip);
}

void MeasureTextRect(TCanvas& Canvas, const String& Text, TRect& R, unsigned Flags) {
    R.Right = R.Left + 1;
    R.Bottom = R.Top + 1;
    Canvas.DrawText(Text, R, Flags | DT_CALCRECT);
}

void StretchDrawBitmap(TCanvas& Canvas, const TRect& R, const TBitmap& Bitmap) { Canvas.StretchDraw(R, Bitmap); }

void DrawImageSaturated(const TImageList& ImageList, TCanvas& Canvas, int X, int Y, int Index) {
    IMAGELISTDRAWPARAMS Params;
    Params.himl = &ImageList;
    Params.i = Index;
    Params.hdcDst = &Canvas;
    Params.x = X;
    Params.y = Y;
    Params.fStyle = ILD_NORMAL;
    Params.fState = ILS_SATURATE;
    ImageList_DrawIndirect(Params);
}

void DrawListImage(const TImageList& ImageList, int Index, TCanvas& Canvas, int X, int Y, unsigned Style,
                   bool Enabled) {
    if (Enabled) ImageList_DrawEx(ImageList, Index, Canvas, X, Y, 0, 0, ImageList.BkColor(), ImageList.BlendColor(), Style);
    else DrawImageSaturated(ImageList, Canvas, X, Y, Index);
}

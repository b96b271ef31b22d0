// Fitting texts into a width: the ellipsis shortening measures a logarithmic
// number of prefixes; the word wrap fills line after line.

#include "tree/LazyTrees.Utils.h"

#include <algorithm>
#include <deque>

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

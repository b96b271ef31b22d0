#include "grid/foundation/DropDownUtil.h"

#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"

#include <algorithm>
#include <cstdint>

// The drop-down editors' gradient and blend round band positions and
// channels their own way (rounded band starts, unclamped far edges, the end
// colour never drawn); the grid's gradient of GridColors truncates and
// clamps. Their pictures differ by a pixel here and there, so they stay apart.

void DrawSteppedGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& Rect,
                         bool Horizontal) {
    TRect R = Rect;
    if (Horizontal)
        --R.Right;
    else
        --R.Bottom;
    if (Steps == 0) Steps = 1;
    const TColor F = ColorToRGB(FromColor), T = ColorToRGB(ToColor);
    const double DR = double(GetRValue(T) - GetRValue(F)) / Steps;
    const double DG = double(GetGValue(T) - GetGValue(F)) / Steps;
    const double DB = double(GetBValue(T) - GetBValue(F)) / Steps;
    const double StepSize = double(Horizontal ? R.Right - R.Left : R.Bottom - R.Top) / Steps;
    for (int i = 0; i < Steps; ++i) {
        const int Red = GetRValue(F) + int(Round(i * DR));
        const int Green = GetGValue(F) + int(Round(i * DG));
        const int Blue = GetBValue(F) + int(Round(i * DB));
        Canvas.Pen().SetColor(Red + Green * 256 + Blue * 65536);
        Canvas.Brush().SetColor(Canvas.Pen().Color());
        const int Pos = std::uint16_t(Round(i * StepSize));
        const int Width = int(Round(StepSize)) + 1;
        if (Horizontal)
            Canvas.Rectangle(R.Left + Pos, R.Top, R.Left + Pos + Width, R.Bottom);
        else
            Canvas.Rectangle(R.Left, R.Top + Pos, R.Right, R.Top + Pos + Width);
    }
}

TColor BlendColor(TColor Color1, TColor Color2, int Percent) {
    if (Percent >= 100) return Color1;
    if (Percent <= 0) return Color2;
    const TColor A = ColorToRGB(Color1), B = ColorToRGB(Color2);
    const double X = Percent / 100.0;
    auto Mix = [&](int C1, int C2) { return int(Round(X * C1 + (1 - X) * C2)); };
    return RGB(Mix(GetRValue(A), GetRValue(B)), Mix(GetGValue(A), GetGValue(B)), Mix(GetBValue(A), GetBValue(B)));
}

TColor AdjustColorBrightness(TColor Color, int PercentRed, int PercentGreen, int PercentBlue) {
    const TColor C = ColorToRGB(Color);
    auto Adjust = [](int Channel, int P) {
        if (Channel == 0) return std::max(0, P) & 0xFF;
        return int(Round(std::min(100, 100 + P) / 100.0 * Channel)) & 0xFF;
    };
    return RGB(Adjust(GetRValue(C), PercentRed), Adjust(GetGValue(C), PercentGreen), Adjust(GetBValue(C), PercentBlue));
}

void DrawGradientBackground(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor BorderColor,
                            int BorderWidth, bool Vertical) {
    if (!Canvas) return;
    if (ColorTo != clNone) {
        DrawSteppedGradient(*Canvas, Color, ColorTo, 80, R, !Vertical);
    } else if (Color != clNone) {
        Canvas->Brush().SetColor(Color);
        Canvas->FillRect(R);
    }
    if (BorderColor != clNone && BorderWidth > 0) {
        Canvas->Brush().SetStyle(bsClear);
        Canvas->Pen().SetWidth(BorderWidth);
        Canvas->Pen().SetColor(BorderColor);
        Canvas->Rectangle(R);
    }
}

void DrawImageAndText(TCanvas* Canvas, const TRect& R, const String& Text, const TImageList* Images, int ImageIndex) {
    if (!Canvas) return;
    TRect TR = R;
    unsigned Flags = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    if (ImageIndex >= 0 && Images) {
        Images->Draw(*Canvas, R.Left + 4, R.Top + (R.Bottom - R.Top - Images->Height()) / 2, ImageIndex, true);
        TR.Left = R.Left + 4 + Images->Width() + 4;
    } else {
        Flags |= DT_CENTER;
    }
    if (!Text.empty()) Canvas->DrawText(Text, TR, Flags);
}

void DrawTransparentBitmap(TCanvas& Canvas, const TBitmap& Bitmap, TColor BackgroundColor, const TRect& R) {
    const int W = R.Width(), H = R.Height();
    if (W <= 0 || H <= 0 || Bitmap.Width() <= 0 || Bitmap.Height() <= 0) return;
    TBitmap Temp(W, H);
    TBitmap& Src = const_cast<TBitmap&>(Bitmap);
    const TColor Key = Src.Canvas().Pixels(0, 0);
    Temp.Canvas().Brush().SetColor(BackgroundColor);
    Temp.Canvas().BrushCopy(Rect(0, 0, W, H), Bitmap, Rect(0, 0, W, H), Key);
    Canvas.CopyRect(R, Temp.Canvas(), Rect(0, 0, W, H));
}

TPoint MeasureText(TCanvas& Canvas, const String& Text) {
    if (Text.empty()) return {0, 0};
    TRect R = {0, 0, 1000, 500};
    Canvas.DrawText(Text, R, DT_CALCRECT | DT_SINGLELINE);
    return {R.Right - R.Left, R.Bottom - R.Top};
}

String EllipsisText(TCanvas& Canvas, const String& Text, int MaxWidth, bool AddEllipsis) {
    if (MeasureText(Canvas, Text).X <= MaxWidth) return Text;
    for (size_t K = 1; K <= Text.size(); ++K) {
        String Candidate = Text.substr(0, Text.size() - K);
        if (AddEllipsis) Candidate += u"...";
        if (MeasureText(Canvas, Candidate).X < MaxWidth) return Candidate;
    }
    return Text;
}

TPoint DrawMarkupTextInRect(TCanvas& Canvas, const String& Text, const TRect& R, TImageList* Images, bool Draw,
                            const TObject* WindowHandle) {
    if (Text.empty()) return {0, 0};
    TMarkupDrawArgs In;
    In.Images = Images;
    In.MouseX = 0;
    In.MouseY = 0;
    In.ShadowShift = 1;
    In.MeasureOnly = !Draw;
    In.KeepColors = true;
    In.ImageScale = 0;
    In.WindowHandle = WindowHandle;
    TMarkupDrawResult Out;
    DrawHTMLText(Canvas, Text, R, In, Out);
    return {Out.ExtentX, Out.ExtentY};
}

bool IsListSeparatorChar(Char C) { return C == u',' || C == u'-' || C == u';'; }

int NumberKindOfText(const String& S) {
    bool IsInt = !S.empty(), IsNum = !S.empty(), IsHex = !S.empty();
    int LastThousand = -1, DecimalCount = 0, MinusCount = 0;
    const Char Thousand = GetThousandSeparatorChar(), Decimal = GetDecimalSeparatorChar();
    for (size_t I = 0; I < S.size(); ++I) {
        const Char C = S[I];
        const bool Digit = C >= u'0' && C <= u'9';
        if (C != u'-' && !Digit) IsInt = false;
        if (C != u',' && C != u'-' && C != u'.' && !Digit) IsNum = false;
        if (C != u'-' && !Digit && !(C >= u'A' && C <= u'F') && !(C >= u'a' && C <= u'f')) IsHex = false;
        if (C == Thousand) {
            // Positions count from 1: a separator as the first character is too close to the start.
            const int Pos = int(I) + 1;
            if (Pos - LastThousand < 3) IsNum = false;
            LastThousand = Pos;
        }
        if (C == Decimal) ++DecimalCount;
        if (C == u'-') ++MinusCount;
    }
    int Kind = IsInt ? 0 : IsNum ? 1 : IsHex ? 5 : 2;
    if (MinusCount > 1 || DecimalCount > 1) Kind = 2;
    return Kind;
}

String StripThousandSeparators(const String& S) {
    String Out;
    const Char Thousand = GetThousandSeparatorChar();
    for (Char C : S)
        if (C != Thousand) Out += C;
    return Out;
}

int HexDigitValue(Char C) {
    if (C >= u'0' && C <= u'9') return C - u'0';
    if (C >= u'A' && C <= u'F') return C - u'A' + 10;
    if (C >= u'a' && C <= u'f') return C - u'a' + 10;
    return 0;
}

int HexToInt(const String& S) {
    std::uint32_t V = 0;
    for (Char C : S) V = V * 16u + std::uint32_t(HexDigitValue(C));
    return int(V);
}

String MatchCaseText(const String& Text, bool CaseSensitive) { return CaseSensitive ? Text : AnsiUpperCase(Text); }

#include "grid/foundation/MarkupRender.h"

#include "framework/ImgList.h"
#include "framework/ShellApi.h"
#include "framework/SysUtils.h"
#include "grid/foundation/ExStyleIF.h"
#include "grid/foundation/ExXPVS.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/Markup.h"
#include "grid/foundation/PictureContainer.h"

#include <algorithm>
#include <cmath>

namespace {

bool WinXPOrLater = true;

// Bottom-aligned single lines with tabs expanded and external leading.
constexpr unsigned MarkupTextFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING;
constexpr int ListIndent = 12;
constexpr int DefaultControlHeight = 25;
constexpr TColor ThemedFrameColor = 0xB99D7F;

enum TAlign { alLeftText, alRightText, alCenterText };

// The flags and saved colours that run across lines; both passes of a line
// start from the same copy, so they end the line in the same state.
struct TFlags {
    bool InAnchor = false;
    bool Sub = false, Sup = false, Shadow = false, Hidden = false, ErrorMark = false, ParaBk = false;
    int ListLevel = 0;
    int AnchorCount = 0;
    int ImageCount = 0;
    String AnchorHref, AnchorTitle;
    int AnchorStartX = 0, AnchorStartTop = 0, AnchorStartLine = 0;
    bool AnchorMarked = false;
    TColor HoverSavedBrush = clNone, HoverSavedText = clNone;
    TColor FontSavedBrush = clNone;
    TColor HiSavedText = clNone, HiSavedBrush = clNone;
    TColor ParaSavedBrush = clNone;
    TRect FocusRect;
};

String Upper(const String& S) { return UpperCase(S); }

bool Contains(const String& S, const char16_t* Sub) { return S.find(Sub) != String::npos; }

// "&nbsp;", "&lt;" and "&gt;" inside a run, in one pass.
String DecodeRun(const String& Run) {
    if (Run.find(u'&') == String::npos) return Run;
    String Out;
    for (size_t i = 0; i < Run.size();) {
        if (Run.compare(i, 6, u"&nbsp;") == 0) {
            Out += u' ';
            i += 6;
        } else if (Run.compare(i, 4, u"&lt;") == 0) {
            Out += u'<';
            i += 4;
        } else if (Run.compare(i, 4, u"&gt;") == 0) {
            Out += u'>';
            i += 4;
        } else {
            Out += Run[i++];
        }
    }
    return Out;
}

// The entity sweep before layout: once, never decoding its own output.
// "&amp;" becomes "&&" in text (one shown "&") and "&" inside tags.
String DecodeSweep(const String& Text) {
    static const struct {
        const char16_t* Entity;
        const char16_t* Text;
    } Table[] = {{u"&amp;", u"&&"},   {u"&quot;", u"\""},   {u"&sect;", u"\u00A7"}, {u"&permil;", u"\u2030"},
                 {u"&reg;", u"\u00AE"}, {u"&copy;", u"\u00A9"}, {u"&para;", u"\u00B6"}, {u"&trade;", u"\u2122"},
                 {u"&euro;", u"\u20AC"}};
    String Out;
    bool InTag = false;
    for (size_t i = 0; i < Text.size();) {
        Char C = Text[i];
        if (C == u'<') InTag = true;
        if (C == u'>') InTag = false;
        bool Done = false;
        if (C == u'&')
            for (const auto& E : Table) {
                String Ent(E.Entity);
                if (Text.size() - i >= Ent.size() && Upper(Text.substr(i, Ent.size())) == Upper(Ent)) {
                    Out += (InTag && Ent == u"&amp;") ? String(u"&") : String(E.Text);
                    i += Ent.size();
                    Done = true;
                    break;
                }
            }
        if (!Done) Out += Text[i++];
    }
    return Out;
}

TColor ReadColor(const String& Value) {
    if (!Value.empty() && Value[0] == u'#') return HTMLHexToColor(Value);
    String Lower = Value;
    for (Char& c : Lower)
        if (c >= u'A' && c <= u'Z') c = Char(c + 32);
    return HTMLColorNameToColor(Lower);
}

bool HasAttr(const String& Tag, const char16_t* Name, int From) {
    size_t Start = size_t(std::max(From, 1) - 1);
    return Start <= Tag.size() && Tag.find(Name, Start) != String::npos;
}

// The quoted value of a link attribute named in any case ("href" as "HREF");
// the value keeps its own case. Found tells whether the name occurs.
String LinkAttribute(const String& Tag, const char16_t* Name, bool* Found = nullptr) {
    const size_t P = Upper(Tag).find(Name, 2);
    if (Found) *Found = P != String::npos;
    if (P == String::npos) return String();
    return MarkupTagAttribute(Tag, Tag.substr(P, std::char_traits<char16_t>::length(Name)), int(P) + 1);
}

TFont SavedRotationFont;
bool RotationSaved = false;

class TRenderer {
public:
    TRenderer(TCanvas& C, const TRect& R, const TMarkupDrawArgs& A, TMarkupDrawResult& O)
        : Canvas(C), Rect(R), In(A), Out(O) {}

    bool Run(const String& Text);

private:
    TCanvas& Canvas;
    TRect Rect;
    const TMarkupDrawArgs& In;
    TMarkupDrawResult& Out;

    TFont BaseFont;
    TColor EntryBrush = clNone;
    bool Themed = false;
    unsigned TextFlags = 0;
    TFlags F;
    TAlign Align = alLeftText;
    int Indent = 0;
    int HotImage = -1;
    int LineIndex = 0;

    // Per line.
    int LineHeight = 0, SubExtra = 0, SupExtra = 0, TextOffset = 0;
    // Per pass.
    bool Measuring = false, Drawing = false, FirstPass = false;
    TRect LR;
    int LineWidth = 0;
    int CurX = 0;
    // Right-to-left runs stand right-justified before the ones drawn already:
    // the right edge of the room left on the line.
    int RunRight = 0;
    bool RightToLeftRuns() const { return (TextFlags & DT_RTLREADING) && (TextFlags & DT_RIGHT); }
    bool LineEnd = false, LineFull = false, ListSeen = false;
    int TrailingWidth = 0;
    String LineVisible;
    bool AnchorHit = false, ControlHit = false;

    int GhHeight() { return Canvas.TextHeight(u"gh"); }
    int Avail() const { return LR.Right - LR.Left; }
    void SetBrush(TColor C) { Canvas.Brush().SetColor(C); }
    TColor BrushOrNone() const { return Canvas.Brush().Style() == bsClear ? clNone : Canvas.Brush().Color(); }
    int RunWidth(const String& S) {
        TRect R = {0, 0, 0x3FFFFFFF, 0x3FFFFFFF};
        Canvas.DrawText(S, R, (TextFlags & ~DT_END_ELLIPSIS) | DT_CALCRECT);
        return R.Width();
    }

    void Layout(String& Text, String& Consumed);
    void TextRun(String& Text, String& Consumed);
    void Tag(String& Text, String& Consumed);
    void OpenTag(const String& T);
    void CloseTag(const String& T);
    void Anchor(const String& T);
    void AnchorEnd();
    void Image(const String& T, const String& UT);
    void Control(const String& T);
    void Place(int W, int H);
    void ControlFace(const TControlTag& C, int W, int FaceHeight, int ControlHeight);
    THTMLPicture* FindPicture(const String& Src);
    void FillBand(int Top, int Height);
    void DrawRun(const String& S, TRect R);
};

THTMLPicture* TRenderer::FindPicture(const String& Src) {
    if (!Contains(Src, u":")) return In.Pictures ? In.Pictures->FindPicture(Src) : nullptr;
    if (!Contains(Src, u"://") || !In.PictureCache) return nullptr;
    THTMLPicture* P = In.PictureCache->FindPicture(Src);
    if (!P) {
        THTMLPicture* New = In.PictureCache->AddPicture();
        New->SetAsynch(false);
        try {
            New->LoadFromURL(Src);
        } catch (const Exception&) {
            // A picture that does not decode takes no space, as a missing one.
        }
        if (New->ID().empty()) New->SetID(Src);
        P = In.PictureCache->FindPicture(Src);
    }
    return P;
}

void TRenderer::FillBand(int Top, int Height) {
    Canvas.Pen().SetColor(Canvas.Brush().Color());
    Canvas.Rectangle(Rect.Left, Top, Rect.Right, Top + Height);
}

void TRenderer::DrawRun(const String& S, TRect R) {
    if (F.Shadow) {
        TColor Saved = Canvas.Font().Color();
        TColor SavedBrush = Canvas.Brush().Color();
        Canvas.Font().SetColor(In.ShadowColor);
        SetBrush(clNone);
        TRect SR = R;
        OffsetRect(SR, In.ShadowShift, In.ShadowShift);
        Canvas.DrawText(S, SR, TextFlags);
        Canvas.Font().SetColor(Saved);
        SetBrush(SavedBrush);
    }
    Canvas.DrawText(S, R, TextFlags);
}

void TRenderer::TextRun(String& Text, String& Consumed) {
    size_t Lt = Text.find(u'<');
    size_t N = Lt == String::npos ? Text.size() : Lt;
    if (In.WrapWords) {
        size_t Blank = Text.find(u' ');
        if (Blank != String::npos && Blank < N) N = Blank + 1;
    }
    String Raw = Text.substr(0, N);
    String Run = DecodeRun(Raw);
    if (Run.empty()) return;
    int H = Canvas.TextHeight(Run);
    if (F.Sub) SubExtra = std::max(SubExtra, H / 4);
    if (F.Sup) SupExtra = std::max(SupExtra, H / 4);
    LineHeight = std::max(LineHeight, H);
    if (FirstPass) Out.PlainText += Run;
    if (F.Hidden) {
        Consumed += Raw;
        Text.erase(0, N);
        return;
    }
    int W = 0;
    if (Measuring) {
        W = RunWidth(Run);
        LineWidth += W;
        // Right-to-left runs are counted from the line's right edge.
        int Mx = RightToLeftRuns() ? LR.Right - In.MouseX : In.MouseX - LR.Left;
        if (Mx >= LineWidth - W && Mx <= LineWidth && F.InAnchor) {
            AnchorHit = true;
            if (In.MouseY > LR.Top) {
                Out.AnchorHref = F.AnchorHref;
                Out.AnchorTitle = F.AnchorTitle;
                F.AnchorMarked = true;
            }
        }
    }
    if (Drawing) {
        TRect R = {CurX, LR.Top, RunRight, LR.Bottom};
        if (F.Sup) R.Bottom -= SupExtra;
        if (F.Sub) R.Bottom += SubExtra;
        R.Bottom -= TextOffset;
        DrawRun(Run, R);
        W = RunWidth(Run);
        LineWidth += W;
        if (F.InAnchor && F.AnchorCount - 1 == In.FocusAnchorIndex) Out.FocusHref = F.AnchorHref;
        if (F.ErrorMark) {
            // A red zigzag along the line's bottom, two pixels per step.
            const int RunLeft = RightToLeftRuns() ? RunRight - W : CurX;
            int X0 = RunLeft - RunLeft % 2;
            int B = LR.Bottom;
            bool Below = X0 % 4 == 0;
            TColor SavedPen = Canvas.Pen().Color();
            int SavedWidth = Canvas.Pen().Width();
            Canvas.Pen().SetColor(0x0000FF);
            Canvas.Pen().SetWidth(1);
            Canvas.MoveTo(X0, Below ? B + 1 : B - 1);
            for (int X = X0; X < RunLeft + W;) {
                X += 2;
                Below = !Below;
                Canvas.LineTo(X, Below ? B + 1 : B - 1);
            }
            Canvas.Pen().SetColor(SavedPen);
            Canvas.Pen().SetWidth(SavedWidth);
        }
    }
    if (Drawing && RightToLeftRuns()) RunRight -= W;
    else CurX += W;
    // Line breaking: only the measuring pass decides; the second pass lays
    // out exactly what the first one took.
    bool Fits = true;
    if (FirstPass) {
        Fits = LineWidth < Avail() || W >= Avail();
        if (!Fits && !LineVisible.empty() && LineVisible.back() != u' ') Fits = true;
    }
    bool FirstText = LineVisible.empty();
    LineVisible += Run;
    if (Fits || !In.WrapWords) {
        Consumed += Raw;
        Text.erase(0, N);
        TrailingWidth = (Run.back() == u' ' && Run.size() == Raw.size()) ? RunWidth(u" ") : 0;
        if (!In.WrapWords && FirstPass && !Fits && !FirstText) Text.clear();
    } else {
        LineWidth -= W;
        LineEnd = true;
    }
}

void TRenderer::Place(int W, int H) {
    if (FirstPass && LineWidth + W > Avail() && W < Avail()) {
        LineFull = true;
        return;
    }
    LineWidth += W;
    CurX += W;
    LineHeight = std::max(LineHeight, H);
}

void TRenderer::Anchor(const String& T) {
    if (Drawing && F.AnchorCount == In.FocusAnchorIndex) {
        F.FocusRect.Left = CurX;
        F.FocusRect.Top = LR.Top;
    }
    ++F.AnchorCount;
    bool Styled = !In.HoverUnderlineOnly || F.AnchorCount == In.HoverAnchorNumber;
    bool Hovered = F.AnchorCount == In.HoverAnchorNumber;
    if (Styled && Drawing) {
        Canvas.Font().SetStyle(Canvas.Font().Style() + TFontStyles{fsUnderline});
        if (In.HoverBrushColor != clNone) {
            F.HoverSavedBrush = BrushOrNone();
            SetBrush(In.HoverBrushColor);
        }
        if (In.HoverTextColor != clNone) {
            F.HoverSavedText = Canvas.Font().Color();
            Canvas.Font().SetColor(In.HoverTextColor);
        }
    }
    if (!In.KeepColors && !(In.HoverTextColor != clNone && Hovered && In.HoverUnderlineOnly))
        Canvas.Font().SetColor(In.LinkColor);
    F.AnchorHref = LinkAttribute(T, u"HREF", &F.InAnchor);
    F.AnchorTitle = LinkAttribute(T, u"TITLE");
    F.AnchorStartX = LineWidth;
    F.AnchorStartTop = LR.Top;
    F.AnchorStartLine = LineIndex;
}

void TRenderer::AnchorEnd() {
    bool Styled = !In.HoverUnderlineOnly || F.AnchorCount == In.HoverAnchorNumber;
    if (Styled && Drawing) {
        Canvas.Font().SetStyle(Canvas.Font().Style() - TFontStyles{fsUnderline});
        if (In.HoverBrushColor != clNone) SetBrush(F.HoverSavedBrush);
        if (In.HoverTextColor != clNone) Canvas.Font().SetColor(F.HoverSavedText);
    }
    if (!In.KeepColors) Canvas.Font().SetColor(BaseFont.Color());
    F.InAnchor = false;
    if (F.AnchorMarked) {
        bool SameLine = F.AnchorStartLine == LineIndex;
        Out.HotAnchorRect = {LR.Left + (SameLine ? F.AnchorStartX : 0), SameLine ? F.AnchorStartTop : LR.Top,
                             LR.Left + LineWidth, LR.Bottom};
        Out.HotAnchorNumber = F.AnchorCount;
        F.AnchorMarked = false;
    }
    if (F.AnchorCount - 1 == In.FocusAnchorIndex) {
        F.FocusRect.Right = CurX;
        F.FocusRect.Bottom = LR.Bottom - TextOffset;
        F.FocusRect.Top = F.FocusRect.Bottom - GhHeight();
        TRect R = F.FocusRect;
        InflateRect(R, 1, 1);
        if (Drawing) Canvas.DrawFocusRect(R);
    }
}

void TRenderer::Image(const String& T, const String& UT) {
    ++F.ImageCount;
    // Sources keep their letter case: file paths are case-sensitive here.
    auto Attr = [&](const char16_t* Name) {
        size_t P = UT.find(Name, 2);
        if (P == String::npos) return String();
        size_t Q1 = UT.find(u'"', P);
        if (Q1 == String::npos) return String();
        size_t Q2 = UT.find(u'"', Q1 + 1);
        if (Q2 == String::npos) return String();
        return T.substr(Q1 + 1, Q2 - Q1 - 1);
    };
    String Src = Attr(u"SRC");
    if (F.ImageCount == HotImage && UT.find(u"ALT", 2) != String::npos) Src = Attr(u"ALT");
    const String USrc = Upper(Src);
    const int Ppi = Canvas.PixelsPerInch();
    int W = 0, H = 0;
    if (Contains(USrc, u"IDX:")) {
        int Index = LeadingIntValue(Src.substr(std::min<size_t>(4, Src.size())));
        if (In.Images && Index >= 0 && Index < In.Images->Count()) {
            W = In.Images->Width() * Ppi / 96;
            H = In.Images->Height() * Ppi / 96;
            if (Drawing) {
                if (In.ScaleImages) {
                    TBitmap B;
                    In.Images->GetBitmap(Index, B);
                    TRect R = Bounds(CurX, LR.Top, int(std::lround(In.Images->Width() * In.ImageScale)),
                                     int(std::lround(In.Images->Height() * In.ImageScale)));
                    StretchDrawBitmapDIB(Canvas, R, B);
                } else {
                    In.Images->Draw(Canvas, CurX, LR.Top, Index);
                }
            }
        }
    } else if (Contains(USrc, u"SSYS:") || Contains(USrc, u"LSYS:")) {
        TSize Size;
        DrawSystemIcon(Canvas, CurX, LR.Top, Size, In.ImageScale, In.ScaleImages, Drawing, Contains(USrc, u"LSYS:"),
                       Src.substr(5));
        W = Size.cx * Ppi / 96;
        H = Size.cy * Ppi / 96;
    } else if (THTMLPicture* P = FindPicture(Src); P && !P->Empty()) {
        int AW = LeadingIntValue(Attr(u"WIDTH")), AH = LeadingIntValue(Attr(u"HEIGHT"));
        int DW = P->Width(), DH = P->Height();
        bool Sized = AW > 0 || AH > 0;
        if (AW > 0 && AH > 0) {
            DW = AW;
            DH = AH;
        } else if (AW > 0) {
            DH = P->Width() > 0 ? int(std::lround(double(AW) * P->Height() / P->Width())) : 0;
            DW = AW;
        } else if (AH > 0) {
            DW = P->Height() > 0 ? int(std::lround(double(AH) * P->Width() / P->Height())) : 0;
            DH = AH;
        }
        if (Drawing) {
            if (Sized) {
                P->SetStretch(true);
                Canvas.StretchDraw(Bounds(CurX, LR.Top, DW, DH), *P);
            } else {
                if (P->FrameCount() > 1) {
                    TColor SavedPen = Canvas.Pen().Color(), SavedBrush = Canvas.Brush().Color();
                    Canvas.Pen().SetColor(EntryBrush);
                    SetBrush(EntryBrush);
                    Canvas.Rectangle(Bounds(CurX, LR.Top, P->MaxWidth(), P->MaxHeight()));
                    Canvas.Pen().SetColor(SavedPen);
                    SetBrush(SavedBrush);
                }
                P->SetStretch(false);
                Canvas.Draw(CurX + P->FrameXPos(), LR.Top + P->FrameYPos(), *P);
            }
        }
        if (!Sized) {
            DW = P->MaxWidth();
            DH = P->MaxHeight();
        }
        W = DW * Ppi / 96;
        H = DH * Ppi / 96;
    }
    int Mx = In.MouseX - LR.Left;
    if (Mx > LineWidth && Mx < LineWidth + W && In.MouseY > LR.Top && In.MouseY < LR.Top + H && F.InAnchor) {
        ControlHit = true;
        Out.AnchorHref = F.AnchorHref;
        Out.AnchorTitle = F.AnchorTitle;
        HotImage = F.ImageCount;
    }
    Place(W, H);
    if (HasAttr(UT, u"ALIGN", 3)) {
        if (Contains(UT, u"\"TOP"))
            TextOffset = LineHeight - GhHeight();
        else if (Contains(UT, u"\"MIDDLE"))
            TextOffset = (LineHeight - GhHeight()) / 2;
    }
}

void TRenderer::ControlFace(const TControlTag& C, int W, int S, int ControlHeight) {
    const int L = CurX, B = LR.Bottom;
    TColor SavedPen = Canvas.Pen().Color(), SavedBrush = Canvas.Brush().Color();
    const int Mx = In.MouseX, My = In.MouseY;
    const int HitHeight = C.Type == u"BUTTON" ? 24 : GhHeight() + 10;
    const bool Over = L - 2 < Mx && Mx < L + W - 2 && B - HitHeight - 2 < My && My < B - 2;
    auto Themed3 = [&](const char16_t* Class, int Part, int State, const TRect& R) {
        HTHEME Th = ThemeAPI.OpenThemeData ? ThemeAPI.OpenThemeData(In.WindowHandle, Class) : 0;
        if (!Th) return false;
        ThemeAPI.DrawThemeBackground(Th, Canvas, Part, State, R, nullptr);
        ThemeAPI.CloseThemeData(Th);
        return true;
    };
    const String& T = C.Type;
    if (T == u"EDIT" || T == u"PASSWORD" || T == u"MASK" || T == u"COMBO") {
        Canvas.Pen().SetColor(Themed ? ThemedFrameColor : clGray);
        SetBrush(clWhite);
        Canvas.Rectangle(L, B - S + 4, L + W, B + 2);
        SetBrush(clNone);
        TRect R = T == u"COMBO" ? TRect{L + 4, B - S + 4, L + W - 18, B} : TRect{L + 2, B - S + 4, L + W, B};
        String V = T == u"PASSWORD" ? PasswordMask(C.Value) : C.Value;
        Canvas.DrawText(V, R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (T == u"COMBO") {
            TRect Btn = {L + W - 18, B - S + 5, L + W - 1, B + 1};
            if (!(Themed && Themed3(u"combobox", 1, Over ? 2 : 1, Btn)))
                Canvas.DrawFrameControl(Btn, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
        }
    } else if (T == u"CHECK" || T == u"RADIO") {
        bool On = Upper(C.Value) == u"TRUE";
        bool Check = T == u"CHECK";
        TRect R = Check ? TRect{L + 2, B - 15, L + 15, B} : TRect{L + 2, B - 14, L + 14, B};
        if (!(Themed && Themed3(u"button", Check ? 3 : 2, On ? 5 : 1, R)))
            Canvas.DrawFrameControl(R, DFC_BUTTON,
                                    (Check ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO) | DFCS_FLAT | (On ? DFCS_CHECKED : 0));
    } else if (T == u"BUTTON") {
        TRect R = {L + 2, B - ControlHeight, L + W - 2, B};
        int State = In.MousePressed ? 3 : Over ? 2 : 1;
        if (!(Themed && Themed3(u"button", 1, State, R))) {
            TRect F2 = R;
            Canvas.DrawFrameControl(F2, DFC_BUTTON, DFCS_BUTTONPUSH | (Over && In.MousePressed ? DFCS_PUSHED : 0));
        }
        SetBrush(clNone);
        TRect TR = R;
        InflateRect(TR, -2, -2);
        Canvas.DrawText(C.Value, TR, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
    Canvas.Pen().SetColor(SavedPen);
    SetBrush(SavedBrush);
}

void TRenderer::Control(const String& T) {
    TControlTag C = ParseControlTag(T.substr(1));
    int ControlHeight = DefaultControlHeight;
    int V;
    if (MarkupValidInt(C.Height, V)) ControlHeight = V;
    int W;
    if (!MarkupValidInt(C.Width, W)) return;  // no (whole) WIDTH: the tag is ignored
    int FaceHeight = (C.Type == u"CHECK" || C.Type == u"RADIO") ? 16 : 23;
    if (ControlHeight > DefaultControlHeight) FaceHeight = ControlHeight - 2;
    LineHeight = std::max(LineHeight, FaceHeight);
    if (Drawing) ControlFace(C, W, FaceHeight, ControlHeight);
    // Edits and other controls are hit over the text height and the frame around it.
    int LW = W, LH = GhHeight() + 10;
    if (C.Type == u"BUTTON" || C.Type == u"COMBO") LH = 25;
    if (C.Type == u"CHECK" || C.Type == u"RADIO") LW = LH = 16;
    int Mx = In.MouseX - LR.Left;
    bool Hit = (Mx > LineWidth && Mx < LineWidth + LW && In.MouseY > LR.Top && In.MouseY < LR.Top + LH) ||
               (In.HitTestOnly && In.ControlID == C.ID);
    if (Hit) {
        ControlHit = true;
        Out.AnchorHref = u"ctrl";
        Out.ControlRect = {LR.Left + LineWidth, LR.Top, LR.Left + LineWidth + LW, LR.Top + LH};
        Out.ControlValue = C.Value;
        Out.ControlID = C.ID;
        Out.ControlType = C.Type;
    }
    Place(LW, LH);
}

void TRenderer::OpenTag(const String& T) {
    const String UT = Upper(T);
    const Char C1 = UT.size() > 1 ? UT[1] : 0;
    const Char C2 = UT.size() > 2 ? UT[2] : 0;
    TFont& Font = Canvas.Font();
    switch (C1) {
        case u'A': Anchor(T); break;
        case u'B':
            if (C2 == u'>') {
                Font.SetStyle(Font.Style() + TFontStyles{fsBold});
            } else if (C2 == u'R') {
                LineEnd = true;
                if (FirstPass) Out.PlainText += u'\r';
            } else if (C2 == u'L') {
                if (!In.BlinkVisible) Font.SetColor(EntryBrush);
            } else if (C2 == u'O') {
                if (Drawing && HasAttr(UT, u"BACKGROUND", 6)) {
                    size_t P = UT.find(u"BACKGROUND", 5);
                    size_t Q1 = UT.find(u'"', P), Q2 = Q1 == String::npos ? Q1 : UT.find(u'"', Q1 + 1);
                    String Src = Q2 == String::npos ? String() : T.substr(Q1 + 1, Q2 - Q1 - 1);
                    THTMLPicture* Pic = Contains(Upper(Src), u"IDX:") ? nullptr : FindPicture(Src);
                    if (Pic && !Pic->Empty() && Pic->Width() > 0 && Pic->Height() > 0) {
                        int Saved = Canvas.SaveDC();
                        Canvas.IntersectClipRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
                        Pic->SetStretch(false);
                        for (int Y = Rect.Top; Y < Rect.Bottom; Y += Pic->Height())
                            for (int X = Rect.Left; X < Rect.Right; X += Pic->Width()) Canvas.Draw(X, Y, *Pic);
                        Canvas.RestoreDC(Saved);
                    }
                }
                if (Drawing && HasAttr(UT, u"BGCOLOR", 6)) {
                    String V = MarkupTagAttribute(UT, u"BGCOLOR", 6);
                    if (Contains(V, u"CL")) SetBrush(ReadColor(V));
                    if (Contains(V, u"#")) SetBrush(HTMLHexToColor(V.substr(V.find(u'#'))));
                    F.FontSavedBrush = Canvas.Brush().Color();
                    TColor SavedPen = Canvas.Pen().Color();
                    Canvas.Pen().SetColor(Canvas.Brush().Color());
                    Canvas.Rectangle(Rect);
                    Canvas.Pen().SetColor(SavedPen);
                }
            }
            break;
        case u'C': Control(T); break;
        case u'E':
            if (Drawing) F.ErrorMark = true;
            break;
        case u'F': {
            if (HasAttr(UT, u"FACE", 6)) Font.SetName(MarkupTagAttribute(UT, u"FACE", 6));
            if (HasAttr(UT, u" COLOR", 6) && !In.KeepColors) Font.SetColor(ReadColor(MarkupTagAttribute(UT, u" COLOR", 6)));
            if (HasAttr(UT, u"BGCOLOR", 6) && Drawing && !In.KeepColors) {
                F.FontSavedBrush = BrushOrNone();
                SetBrush(ReadColor(MarkupTagAttribute(UT, u"BGCOLOR", 6)));
            }
            size_t P = UT.find(u"SIZE", 5);
            if (P != String::npos) {
                size_t Eq = UT.find(u'=', P);
                if (Eq != String::npos) {
                    String V = UT.substr(Eq + 1);
                    if (!V.empty() && V[0] == u'"') V.erase(0, 1);
                    static const int Sizes[] = {8, 10, 12, 14, 16};
                    int N = LeadingIntValue(V);
                    Font.SetSize(N >= 1 && N <= 5 ? Sizes[N - 1] : N);
                }
            }
            break;
        }
        case u'H':
            if (C2 == u'I') {
                if (Drawing) {
                    F.HiSavedText = Font.Color();
                    F.HiSavedBrush = BrushOrNone();
                    SetBrush(HiLightBkColor);
                    Font.SetColor(HiLightTextColor);
                }
            } else if (C2 == u'R') {
                LineEnd = true;
                if (Drawing) {
                    TColor SavedPen = Canvas.Pen().Color();
                    Canvas.Pen().SetColor(clBlack);
                    Canvas.MoveTo(LR.Left, LR.Bottom + 1);
                    Canvas.LineTo(LR.Right, LR.Bottom + 1);
                    Canvas.Pen().SetColor(SavedPen);
                }
            }
            break;
        case u'I':
            if (C2 == u'>') {
                Font.SetStyle(Font.Style() + TFontStyles{fsItalic});
            } else if (C2 == u'N') {
                int X;
                if (MarkupValidInt(MarkupTagAttribute(T, u"x", 3), X) && LineWidth < X) {
                    LineWidth = X;
                    CurX = Rect.Left + X;
                }
            } else if (C2 == u'M') {
                Image(T, UT);
            }
            break;
        case u'L': {
            LineWidth += F.ListLevel * ListIndent;
            if (ListSeen && FirstPass) {
                LineWidth -= F.ListLevel * ListIndent;
                LineFull = true;
                break;
            }
            ListSeen = true;
            CurX += (F.ListLevel - 1) * ListIndent;
            if (Drawing) {
                TRect R = {CurX, LR.Top, CurX + ListIndent + 20, LR.Top + GhHeight()};
                Canvas.DrawText(F.ListLevel % 2 ? u"\u2022" : u"o", R, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
            }
            CurX += ListIndent;
            break;
        }
        case u'P': {
            if (HasAttr(UT, u"ALIGN", 3)) {
                String V = MarkupTagAttribute(UT, u"ALIGN", 3);
                if (Contains(V, u"RIGHT")) Align = alRightText;
                if (Contains(V, u"LEFT")) Align = alLeftText;
                if (Contains(V, u"CENTER")) Align = alCenterText;
            }
            if (HasAttr(UT, u"INDENT", 3)) Indent = LeadingIntValue(MarkupTagAttribute(UT, u"INDENT", 3));
            if (HasAttr(UT, u"BGCOLOR", 3) && Drawing) {
                F.ParaBk = true;
                F.ParaSavedBrush = BrushOrNone();
                TColor Col = ReadColor(MarkupTagAttribute(UT, u"BGCOLOR", 3));
                SetBrush(Col);
                Canvas.Pen().SetColor(Col);
                Canvas.Rectangle(Rect.Left, LR.Top, Rect.Right, LR.Bottom);
            }
            break;
        }
        case u'R': SelectAngledFont(Canvas, LeadingIntValue(MarkupTagAttribute(T, u"a", 3))); break;
        case u'S':
            if (C2 == u'>')
                Font.SetStyle(Font.Style() + TFontStyles{fsStrikeOut});
            else if (C2 == u'H')
                F.Shadow = true;
            else if (UT.compare(0, 5, u"<SUB>") == 0)
                F.Sub = true;
            else if (UT.compare(0, 5, u"<SUP>") == 0)
                F.Sup = true;
            break;
        case u'U':
            if (C2 == u'>') {
                Font.SetStyle(Font.Style() + TFontStyles{fsUnderline});
            } else {
                ++F.ListLevel;
                LineEnd = true;
            }
            break;
        case u'Z': F.Hidden = true; break;
        default: break;  // a tag that selects nothing is dropped
    }
}

void TRenderer::CloseTag(const String& T) {
    const String UT = Upper(T);
    const Char C1 = UT.size() > 2 ? UT[2] : 0;
    const Char C2 = UT.size() > 3 ? UT[3] : 0;
    TFont& Font = Canvas.Font();
    switch (C1) {
        case u'A': AnchorEnd(); break;
        case u'B':
            if (C2 == u'>')
                Font.SetStyle(Font.Style() - TFontStyles{fsBold});
            else
                Font.SetColor(BaseFont.Color());
            break;
        case u'E':
            if (Drawing) F.ErrorMark = false;
            break;
        case u'F':
            Font.SetName(BaseFont.Name());
            Font.SetSize(BaseFont.Size());
            if (Drawing && !In.KeepColors) {
                Font.SetColor(BaseFont.Color());
                SetBrush(F.FontSavedBrush);
            }
            break;
        case u'H':
            if (Drawing) {
                Font.SetColor(F.HiSavedText);
                SetBrush(F.HiSavedBrush);
            }
            break;
        case u'I': Font.SetStyle(Font.Style() - TFontStyles{fsItalic}); break;
        case u'L': LineEnd = true; break;
        case u'P':
            LineEnd = true;
            if (Drawing) {
                SetBrush(F.ParaSavedBrush);
                F.ParaBk = false;
            }
            break;
        case u'R': RestoreCanvasFont(Canvas); break;
        case u'S':
            if (C2 == u'U') {
                F.Sub = F.Sup = false;
            } else if (C2 == u'H') {
                F.Shadow = false;
            } else {
                Font.SetStyle(Font.Style() - TFontStyles{fsStrikeOut});
            }
            break;
        case u'U':
            if (C2 == u'>' || F.ListLevel <= 0)
                Font.SetStyle(Font.Style() - TFontStyles{fsUnderline});
            else
                --F.ListLevel;
            break;
        case u'Z': F.Hidden = false; break;
        default: break;
    }
}

void TRenderer::Tag(String& Text, String& Consumed) {
    if (Text.size() <= 2) {
        Text.clear();
        return;
    }
    size_t Close = Text.find(u'>');
    if (Close == String::npos) {
        Text.clear();
        return;
    }
    const String T = Text.substr(0, Close + 1);
    if (!LineEnd) {
        if (Text[1] == u'/' && Text.size() > 3)
            CloseTag(T);
        else
            OpenTag(T);
    }
    if (LineFull) return;
    Consumed += T;
    Text.erase(0, Close + 1);
}

void TRenderer::Layout(String& Text, String& Consumed) {
    LR.Bottom -= SubExtra;
    LineWidth = 0;
    CurX = LR.Left;
    RunRight = LR.Right;
    AnchorHit = ControlHit = false;
    LineEnd = LineFull = ListSeen = false;
    TrailingWidth = 0;
    LineVisible.clear();
    if (F.ParaBk && Drawing) FillBand(LR.Top, LineHeight);
    while (!Text.empty() && !LineEnd && !LineFull) {
        if (Text[0] != u'<') TextRun(Text, Consumed);
        if (!Text.empty() && Text[0] == u'<' && !LineEnd) Tag(Text, Consumed);
    }
    LineWidth -= TrailingWidth;
    Out.ExtentX = std::max(Out.ExtentX, LineWidth);
    if (Drawing && F.InAnchor && F.AnchorCount - 1 == In.FocusAnchorIndex) {
        F.FocusRect.Right = CurX;
        F.FocusRect.Bottom = LR.Bottom;
        TRect R = F.FocusRect;
        InflateRect(R, 1, 1);
        Canvas.DrawFocusRect(R);
        F.FocusRect.Left = LR.Left + 1;
        F.FocusRect.Top = LR.Bottom;
    }
}

bool TRenderer::Run(const String& Source) {
    const TColor SavedPen = Canvas.Pen().Color();
    const int SavedPenWidth = Canvas.Pen().Width();
    const TColor SavedBrush = Canvas.Brush().Color();
    const TBrushStyle SavedBrushStyle = Canvas.Brush().Style();
    BaseFont.Assign(&Canvas.Font());
    EntryBrush = SavedBrushStyle == bsClear ? clNone : SavedBrush;
    Canvas.Brush().SetColor(clNone);
    Themed = WinXPOrLater && IsThemedXP();

    Out = TMarkupDrawResult();
    if (In.HitTestOnly) Out.ControlID = In.ControlID;
    TextFlags = BiDiDrawTextFlags(MarkupTextFlags | (In.WrapWords || !In.EndEllipsis ? 0 : DT_END_ELLIPSIS),
                                  In.ReadingOrder);

    String Text = Source.find(u'&') != String::npos ? DecodeSweep(Source) : Source;
    Text = LineBreaksToBR(StripTemplateMarkers(Text), true);

    TFont MeasureFont, DrawFont;
    MeasureFont.Assign(&BaseFont);
    DrawFont.Assign(&BaseFont);
    bool Result = false;
    int Y = Rect.Top;
    while (!Text.empty()) {
        TRect MR = {Rect.Left + 1, Y, Rect.Right, Rect.Bottom};
        F.Sub = F.Sup = false;
        SubExtra = SupExtra = TextOffset = 0;
        Canvas.Font().Assign(&MeasureFont);
        const int StartHeight = GhHeight();
        LineHeight = StartHeight;
        const TFlags AtStart = F;
        String Consumed;
        Measuring = true;
        Drawing = false;
        FirstPass = true;
        LR = MR;
        Layout(Text, Consumed);
        MeasureFont.Assign(&Canvas.Font());
        const int Width = LineWidth;

        TRect DR = MR;
        if (Align == alRightText && Rect.Right - Width > DR.Left) DR.Left = Rect.Right - Width;
        if (Align == alCenterText && Rect.Right - DR.Left - Width > 0) DR.Left += (Rect.Right - DR.Left - Width) / 2;
        DR.Left += Indent;
        DR.Bottom = Y + LineHeight + SubExtra + SupExtra;

        if (!In.MeasureOnly) {
            const TFlags AfterMeasure = F;
            F = AtStart;
            Canvas.Font().Assign(&DrawFont);
            Measuring = In.HitTestOnly;
            Drawing = !In.HitTestOnly;
            FirstPass = false;
            LR = DR;
            String Line = Consumed;
            Layout(Line, Consumed);
            DrawFont.Assign(&Canvas.Font());
            // The second pass saw the same markup; keep what only the first one records.
            F.AnchorMarked = F.AnchorMarked || AfterMeasure.AnchorMarked;
            const int Gh = GhHeight();
            const int Bottom = LR.Bottom + SubExtra;
            if (ControlHit || (AnchorHit && In.MouseY > Bottom - TextOffset - Gh && In.MouseY < Bottom - TextOffset))
                Result = true;
        }
        const int Advance = LineHeight + SubExtra + SupExtra;
        Y += Advance;
        Out.ExtentY += Advance;
        ++LineIndex;
        if (Y + StartHeight > Rect.Bottom && !In.MeasureOnly) break;
    }
    if (Out.ExtentY == 0) Out.ExtentY = GhHeight();
    Out.AnchorCount = F.AnchorCount;
    if (RotationSaved) RestoreCanvasFont(Canvas);
    Canvas.Pen().SetColor(SavedPen);
    Canvas.Pen().SetWidth(SavedPenWidth);
    Canvas.Brush().SetColor(SavedBrush);
    Canvas.Brush().SetStyle(SavedBrushStyle);
    Canvas.Font().Assign(&BaseFont);
    return In.MeasureOnly ? false : Result;
}

}  // namespace

bool DrawHTMLText(TCanvas& Canvas, const String& Text, const TRect& Rect, const TMarkupDrawArgs& In,
                  TMarkupDrawResult& Out) {
    TRenderer R(Canvas, Rect, In, Out);
    return R.Run(Text);
}

void SetHiLightColors(TColor Background, TColor Text) {
    HiLightBkColor = Background;
    HiLightTextColor = Text;
}

THiLightColorsScope::THiLightColorsScope(TColor Background, TColor Text)
    : SavedBackground(HiLightBkColor), SavedText(HiLightTextColor) {
    SetHiLightColors(Background, Text);
}

THiLightColorsScope::~THiLightColorsScope() { SetHiLightColors(SavedBackground, SavedText); }

unsigned BiDiDrawTextFlags(unsigned Flags, int ReadingOrder) {
    if (!SysLocale().MiddleEast) return Flags;
    if (ReadingOrder == 1) {
        if (Flags & DT_RIGHT) Flags &= ~DT_RIGHT;
        else if (!(Flags & DT_CENTER)) Flags |= DT_RIGHT;
    }
    if (ReadingOrder != 0) Flags |= DT_RTLREADING;
    return Flags;
}

void DetectWinXPOrLater() { WinXPOrLater = IsWinXPOrLater(); }

void SelectAngledFont(TCanvas& Canvas, int Angle) {
    if (!RotationSaved) {
        SavedRotationFont.Assign(&Canvas.Font());
        RotationSaved = true;
    }
    Canvas.Font().SetEscapement(Angle * 10);
    Canvas.Font().SetOrientation(Angle * 10);
}

void RestoreCanvasFont(TCanvas& Canvas) {
    if (!RotationSaved) return;
    Canvas.Font().Assign(&SavedRotationFont);
    RotationSaved = false;
}

void StretchDrawBitmapDIB(TCanvas& Canvas, const TRect& R, TBitmap& Bitmap) { Canvas.StretchDraw(R, Bitmap); }

void DrawSystemIcon(TCanvas& Canvas, int X, int Y, TSize& Size, double Scale, bool ScaleImages, bool Draw,
                    bool Large, const String& Source) {
    Size = {};
    int Index;
    // An icon index means nothing on this desktop: no icon, no space.
    if (Source.empty() || MarkupValidInt(Source, Index)) return;
    Index = GetFileIcon(Source, Large);
    TImageList& List = SystemImageList(Large);
    if (Index < 0 || Index >= List.Count()) return;
    Size = {List.Width(), List.Height()};
    if (!Draw) return;
    if (!ScaleImages) {
        List.Draw(Canvas, X, Y, Index);
        return;
    }
    TBitmap B;
    List.GetBitmap(Index, B);
    StretchDrawBitmapDIB(Canvas, Rect(X, Y, X + int(std::lround(List.Width() * Scale)),
                                      Y + int(std::lround(List.Height() * Scale))), B);
}

String PasswordMask(const String& Text) { return String(Text.size(), u'*'); }

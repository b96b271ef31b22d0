#include "grid/foundation/ExGridButton.h"

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/ExStyleIF.h"
#include "grid/foundation/ExXPVS.h"

#include <algorithm>

namespace {

constexpr int DropDownWidth = 12;  // the drop-down part at the right edge
constexpr int GradientSteps = 16;

struct TLookPreset {
    TColor Color, ColorTo, ColorHot, ColorHotTo, ColorDown, ColorDownTo, ColorChecked, ColorCheckedTo;
    TColor BorderDownColor, BorderHotColor;
    bool Rounded;
};

const TLookPreset LookPresets[7] = {
    {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, clNone, 0xAF987A, 0xC3CECE, true},
    {clBtnFace, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31, 0xC56A31, false},
    {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
    {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
    {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000, false},
    {clBtnFace, clNone, clBtnFace, clNone, 0xD8D3D2, clNone, 0xCAC7C7, clNone, clNone, clNone, false},
    {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080, false},
};

bool Pressed(TButtonState S) { return S == bsDown || S == bsExclusive; }

void DrawTransparent(TCanvas& Canvas, TBitmap& B, int X, int Y) {
    B.SetTransparent(true);
    B.SetTransparentMode(tmAuto);  // the bottom-left pixel
    Canvas.Draw(X, Y, B);
}

}  // namespace

void DrawButtonGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, TColor FrameColor, int Steps,
                        const TRect& R, bool Horizontal) {
    // The stepped gradient gives up its far pixel; the button's covers it.
    TRect Full = R;
    if (Horizontal)
        ++Full.Right;
    else
        ++Full.Bottom;
    Canvas.Brush().SetStyle(bsSolid);
    DrawSteppedGradient(Canvas, FromColor, ToColor, Steps, Full, Horizontal);
    if (FrameColor != clNone) {
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Pen().SetColor(FrameColor);
        Canvas.Rectangle(R);
        Canvas.Brush().SetStyle(bsSolid);
    }
}

int GetButtonXPColorScheme() {
    if (!IsWinXPOrLater() || !ThemeAPI.IsThemeActive || !ThemeAPI.IsThemeActive() || !ThemeAPI.GetCurrentThemeName)
        return 0;
    String File, Color, Size;
    ThemeAPI.GetCurrentThemeName(File, Color, Size);
    if (Color == u"NormalColor") return 1;
    if (Color == u"HomeStead") return 2;
    if (Color == u"Metallic") return 3;
    return 0;
}

TExGridButton::TExGridButton(TComponent* AOwner)
    : TGraphicControl(AOwner),
      FGlyph(std::make_unique<TBitmap>()),
      FGlyphDisabled(std::make_unique<TBitmap>()),
      FGlyphHot(std::make_unique<TBitmap>()),
      FGlyphDown(std::make_unique<TBitmap>()),
      FGlyphShade(std::make_unique<TBitmap>()) {
    FIsComCtl6 = IsComCtl6();
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    FControlStyle = {csCaptureMouse, csDoubleClicks};
    FWidth = 22;
    FHeight = 23;
    FColor = clBtnFace;
}

TExGridButton::~TExGridButton() = default;

void TExGridButton::SetAllowAllUp(bool V) {
    if (V == FAllowAllUp) return;
    FAllowAllUp = V;
    UpdateExclusive();
}

void TExGridButton::SetGroupIndex(int V) {
    if (V == FGroupIndex) return;
    FGroupIndex = V;
    UpdateExclusive();
}

void TExGridButton::SetDown(bool V) {
    if (FGroupIndex == 0 && FStyle == tasButton) V = false;
    if (FStyle == tasCheck) {
        FDown = V;
        Repaint();
        return;
    }
    if (V == FDown || (FDown && !FAllowAllUp)) return;
    FDown = V;
    if (V) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
        Repaint();
    }
}

#define EXGRIDBUTTON_SETTER(Name, Field, Type)       \
    void TExGridButton::Set##Name(Type V) {          \
        if (V == Field) return;                      \
        Field = V;                                   \
        Invalidate();                                \
    }
EXGRIDBUTTON_SETTER(Flat, FFlat, bool)
EXGRIDBUTTON_SETTER(Layout, FLayout, TButtonLayout)
EXGRIDBUTTON_SETTER(Spacing, FSpacing, int)
EXGRIDBUTTON_SETTER(ShowCaption, FShowCaption, bool)
#undef EXGRIDBUTTON_SETTER

void TExGridButton::SetMargin(int V) {
    if (V == FMargin || V < -1) return;
    FMargin = V;
    Invalidate();
}

void TExGridButton::SetColorTo(TColor V) { FColorTo = V, Invalidate(); }
void TExGridButton::SetColorChecked(TColor V) { FColorChecked = V, Invalidate(); }
void TExGridButton::SetColorCheckedTo(TColor V) { FColorCheckedTo = V, Invalidate(); }
void TExGridButton::SetBorderColor(TColor V) { FBorderColor = V, Invalidate(); }
void TExGridButton::SetStyle(TExGridButtonStyle V) { FStyle = V, Invalidate(); }
void TExGridButton::SetRounded(bool V) { FRounded = V, Invalidate(); }
void TExGridButton::SetDropDownButton(bool V) { FDropDownButton = V, Invalidate(); }

void TExGridButton::SetDropDownMenu(TPopupMenu* V) {
    FDropDownMenu = V;
    if (V) V->FreeNotification(this);
}

void TExGridButton::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TExGridButton::SetShaded(bool V) {
    FShaded = V;
    if (V && !ComponentState().Contains(csLoading)) CreateShade();
}

void TExGridButton::Loaded() {
    TGraphicControl::Loaded();
    if (FShaded) CreateShade();
    if (FAutoThemeAdapt) ThemeAdapt();
}

void TExGridButton::SetAutoThemeAdapt(bool V) {
    FAutoThemeAdapt = V;
    if (V) ThemeAdapt();
}

void TExGridButton::SetGlyph(const TBitmap& V) {
    FGlyph->Assign(&V);
    if (FGlyphDisabled->Empty()) {
        // The greyed copy: every pixel at half its mean brightness, lifted by 96.
        FGlyphDisabled->Assign(&V);
        TCanvas& C = FGlyphDisabled->Canvas();
        for (int y = 0; y < FGlyphDisabled->Height(); ++y)
            for (int x = 0; x < FGlyphDisabled->Width(); ++x) {
                const TColor P = C.Pixels(x, y);
                const int Grey = ((GetRValue(P) + GetGValue(P) + GetBValue(P)) / 3) / 2 + 96;
                C.SetPixels(x, y, RGB(Grey, Grey, Grey));
            }
    }
    if (FShaded) CreateShade();
    Invalidate();
}

void TExGridButton::CreateShade() {
    if (FGlyph->Empty()) return;
    const int W = FGlyph->Width(), H = FGlyph->Height();
    const TColor Key = FGlyph->Canvas().Pixels(0, H - 1);
    // A grey silhouette of the glyph on its own transparent colour.
    FGlyphShade->SetSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            FGlyphShade->Canvas().SetPixels(x, y, FGlyph->Canvas().Pixels(x, y) == Key ? Key : clGray);
}

void TExGridButton::SetLook(int N) {
    if (N < 0 || N > 6) return;
    const TLookPreset& P = LookPresets[N];
    SetColor(P.Color);
    FColorTo = P.ColorTo;
    ColorHot = P.ColorHot;
    ColorHotTo = P.ColorHotTo;
    ColorDown = P.ColorDown;
    ColorDownTo = P.ColorDownTo;
    FColorChecked = P.ColorChecked;
    FColorCheckedTo = P.ColorCheckedTo;
    BorderDownColor = P.BorderDownColor;
    BorderHotColor = P.BorderHotColor;
    FBorderColor = clNone;
    FFlat = true;
    FRounded = P.Rounded;
    FLook = N;
    Invalidate();
}

void TExGridButton::ThemeAdapt() {
    switch (GetButtonXPColorScheme()) {
        case 1: SetLook(2); break;
        case 2: SetLook(3); break;
        case 3: SetLook(4); break;
        default: SetLook(1); break;
    }
}

void TExGridButton::WndProc(TMessage& Message) {
    if ((Message.Msg == WM_THEMECHANGED || Message.Msg == CM_SYSFONTCHANGED) && FAutoThemeAdapt) ThemeAdapt();
    TGraphicControl::WndProc(Message);
}

void TExGridButton::Dispatch(TMessage& Message) {
    if (Message.Msg != CM_BUTTONPRESSED) {
        TGraphicControl::Dispatch(Message);
        return;
    }
    auto* Sender = reinterpret_cast<TExGridButton*>(Message.LParam);
    if (int(Message.WParam) != FGroupIndex || !Sender || Sender == this) return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        if (auto* A = dynamic_cast<TCustomAction*>(Action())) A->SetChecked(false);
        Invalidate();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

std::unique_ptr<TControlActionLink> TExGridButton::CreateActionLink() {
    return std::make_unique<TExGridButtonActionLink>(this);
}

TExGridButtonActionLink::TExGridButtonActionLink(TExGridButton* Client) : TControlActionLink(Client) {}

bool TExGridButtonActionLink::IsCaptionLinked() const {
    return TControlActionLink::IsCaptionLinked() && Button()->Caption() == CustomAction()->Caption();
}

bool TExGridButtonActionLink::IsCheckedLinked() const {
    return TControlActionLink::IsCheckedLinked() && Button()->GroupIndex() != 0 && Button()->AllowAllUp() &&
           CustomAction()->Checked() == Button()->Down();
}

bool TExGridButtonActionLink::IsGroupIndexLinked() const {
    return TControlActionLink::IsGroupIndexLinked() && CustomAction()->GroupIndex() == Button()->GroupIndex();
}

void TExGridButtonActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) Button()->SetDown(Value);
}

void TExGridButtonActionLink::SetGroupIndex(int Value) {
    if (IsGroupIndexLinked()) Button()->SetGroupIndex(Value);
}

void TExGridButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !FParent) return;
    for (int i = 0; i < FParent->ControlCount(); ++i)
        FParent->Controls(i)->Perform(CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this));
}

void TExGridButton::UpdateTracking() {
    if (!FFlat || !Enabled()) return;
    const TPoint P = ScreenToClient(GetCursorPos());
    const bool Inside = P.X >= 0 && P.Y >= 0 && P.X < Width() && P.Y < Height();
    TMessage M;
    if (Inside && !FMouseInControl) CMMouseEnter(M);
    if (!Inside && FMouseInControl) CMMouseLeave(M);
}

void TExGridButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (FDropDownButton && X > ClientRect().Right - DropDownWidth) {
        FState = bsUp;
        if (OnDropDown) OnDropDown(this);
        if (FDropDownMenu) {
            const TPoint P = ClientToScreen({0, Height()});
            FDropDownMenu->PopupComponent = this;
            FDropDownMenu->Popup(P.X, P.Y);
        }
        return;
    }
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = bsDown;
        Repaint();
    }
    FDragging = true;
}

void TExGridButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) {
        if (!FMouseInControl) UpdateTracking();
        return;
    }
    TButtonState New = FDown ? bsExclusive
                             : (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight()) ? bsDown : bsUp;
    if (FStyle == tasCheck && FDown) New = bsDown;
    if (New != FState) {
        FState = New;
        Invalidate();
    }
}

void TExGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    const bool Inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        if (FStyle == tasCheck) {
            SetDown(!FDown);
            FState = bsUp;
        }
        if (Inside) Invalidate();
    } else if (Inside) {
        SetDown(!FDown);
        if (FDown) Repaint();
    } else {
        if (FDown) FState = bsExclusive;
        Invalidate();
    }
    if (Inside) Click();
    UpdateTracking();
}

void TExGridButton::Click() { TGraphicControl::Click(); }

void TExGridButton::WMLButtonDblClk(TWMMouse& Message) {
    TGraphicControl::WMLButtonDblClk(Message);
    if (FDown && OnDblClick) OnDblClick(this);
}

void TExGridButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::CMEnabledChanged(Message);
    UpdateTracking();
    Invalidate();
}

void TExGridButton::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    Invalidate();
}

void TExGridButton::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    Invalidate();
}

void TExGridButton::CMSysColorChange(TMessage& Message) {
    TGraphicControl::CMSysColorChange(Message);
    Invalidate();
}

void TExGridButton::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && Enabled() && Visible() && FParent && FParent->Showing()) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TExGridButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (!FMouseInControl && Enabled() && !GetCaptureControl()) {
        FMouseInControl = true;
        Invalidate();
    }
}

void TExGridButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (FMouseInControl && Enabled() && !FDragging) {
        FMouseInControl = false;
        Invalidate();
    }
}

void TExGridButton::CalcButtonLayout(const TRect& P, TPoint Offset, const String& Caption, TPoint& GlyphPos,
                                     TRect& TextBounds) {
    TButtonLayout Layout = FLayout;
    // Right to left the glyph stands on the other side of the caption.
    if (UseRightToLeftAlignment()) {
        if (Layout == blGlyphLeft) Layout = blGlyphRight;
        else if (Layout == blGlyphRight) Layout = blGlyphLeft;
    }
    const TPoint C = {P.Right - P.Left, P.Bottom - P.Top};
    const TPoint G = FGlyph->Empty() ? TPoint{0, 0} : TPoint{FGlyph->Width(), FGlyph->Height()};
    TRect TR = {0, 0, C.X, 0};
    if (!Caption.empty()) Canvas().DrawText(Caption, TR, DT_CALCRECT | DT_SINGLELINE);
    const TPoint T = Caption.empty() ? TPoint{0, 0} : TPoint{TR.Right - TR.Left, TR.Bottom - TR.Top};
    const bool Horz = Layout == blGlyphLeft || Layout == blGlyphRight;
    TPoint GP, TP;
    if (Horz) {
        GP.Y = (C.Y - G.Y + 1) / 2;
        TP.Y = (C.Y - T.Y + 1) / 2;
    } else {
        GP.X = (C.X - G.X + 1) / 2;
        TP.X = (C.X - T.X + 1) / 2;
    }
    int Spacing = FSpacing, Margin = FMargin;
    if (T.X == 0 || G.X == 0) Spacing = 0;
    const int CA = Horz ? C.X : C.Y, GA = Horz ? G.X : G.Y, TA = Horz ? T.X : T.Y;
    if (Margin == -1) {
        if (Spacing < 0) {
            Margin = (CA - GA - TA) / 3;
            Spacing = Margin;
        } else {
            Margin = (CA - (GA + Spacing + TA) + 1) / 2;
        }
    } else if (Spacing < 0) {
        Spacing = ((CA - (Margin + GA)) - TA) / 2;
    }
    switch (Layout) {
        case blGlyphLeft: GP.X = Margin, TP.X = GP.X + G.X + Spacing; break;
        case blGlyphRight: GP.X = C.X - Margin - G.X, TP.X = GP.X - Spacing - T.X; break;
        case blGlyphTop: GP.Y = Margin, TP.Y = GP.Y + G.Y + Spacing; break;
        case blGlyphBottom: GP.Y = C.Y - Margin - G.Y, TP.Y = GP.Y - Spacing - T.Y; break;
    }
    GlyphPos = {GP.X + P.Left + Offset.X, GP.Y + P.Top + Offset.Y};
    TextBounds = Bounds(TP.X + P.Left + Offset.X, TP.Y + P.Top + Offset.Y, T.X, T.Y);
}

void TExGridButton::DrawGlyph(TPoint G, bool EmptyCaption) {
    TBitmap* B = Pressed(FState) ? FGlyphDown.get() : FMouseInControl ? FGlyphHot.get() : FGlyph.get();
    if (B->Empty()) B = FGlyph.get();
    if (!Enabled()) B = FGlyphDisabled->Empty() ? FGlyph.get() : FGlyphDisabled.get();
    if (B->Empty()) return;
    if (FMouseInControl && FShaded && Enabled() && FState != bsDown && !FGlyphShade->Empty())
        DrawTransparent(Canvas(), *FGlyphShade, EmptyCaption ? G.X : G.X + 2, EmptyCaption ? G.Y : G.Y + 2);
    DrawTransparent(Canvas(), *B, EmptyCaption ? 0 : G.X, EmptyCaption ? 0 : G.Y);
}

void TExGridButton::DrawButtonText(const TRect& R, TButtonState State) {
    TCanvas& C = Canvas();
    C.Brush().SetStyle(bsClear);
    TRect TR = R;
    const unsigned Flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (State == bsDisabled) {
        OffsetRect(TR, 1, 1);
        C.Font().SetColor(clBtnHighlight);
        C.DrawText(Caption(), TR, Flags);
        OffsetRect(TR, -1, -1);
        C.Font().SetColor(clBtnShadow);
    }
    C.DrawText(Caption(), TR, Flags);
    C.Brush().SetStyle(bsSolid);
}

void TExGridButton::DrawButton(TRect P, TPoint Offset, TButtonState State) {
    TPoint G;
    TRect TR;
    CalcButtonLayout(P, Offset, Caption(), G, TR);
    const bool EmptyCaption = Caption().empty();
    if (EmptyCaption) G = {0, 0};
    DrawGlyph(G, EmptyCaption);
    if (!Pressed(State) && FMouseInControl && FShaded && Enabled() && FFlat) OffsetRect(TR, 1, 1);
    if (FShowCaption) DrawButtonText(TR, State);
}

void TExGridButton::Paint() {
    TCanvas& C = Canvas();
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    if (FStyle == tasCheck && FDown) FState = bsDown;
    C.SetFont(Font());
    TRect P = {0, 0, Width(), Height()};
    const bool Hot = FMouseInControl && Enabled();
    auto Fill = [&](TColor From, TColor To, TColor Pen) {
        if (To != clNone) {
            DrawButtonGradient(C, From, To, Pen, GradientSteps, P, false);
        } else {
            C.Brush().SetColor(From);
            C.Pen().SetColor(Pen == clNone ? From : Pen);
            C.Rectangle(P);
        }
    };
    if (FFlat) {
        if (BorderDownColor == clNone || FRounded) InflateRect(P, -1, -1);
        C.Pen().SetWidth(1);
        if (Hot) {
            const bool Dn = FState == bsDown;
            const TColor Border = Dn ? BorderDownColor : BorderHotColor;
            Fill(Dn ? ColorDown : ColorHot, Dn ? ColorDownTo : ColorHotTo, FRounded ? clNone : Border);
            if (FRounded) {
                InflateRect(P, 1, 1);
                C.Brush().SetStyle(bsClear);
                C.Pen().SetColor(Border);
                C.RoundRect(P.Left, P.Top, P.Right, P.Bottom, 8, 8);
                C.Brush().SetStyle(bsSolid);
            }
            if (FDropDownButton) {
                C.Pen().SetColor(Border);
                C.MoveTo(P.Right - DropDownWidth, P.Top);
                C.LineTo(P.Right - DropDownWidth, P.Bottom);
            }
        } else {
            if (FStyle == tasCheck && FDown) {
                Fill(FColorChecked, FColorCheckedTo, BorderDownColor);
            } else if (FColorTo != clNone) {
                DrawButtonGradient(C, Color(), FColorTo, FRounded ? clNone : FDown ? BorderDownColor : FBorderColor,
                                   GradientSteps, P, false);
            } else {
                C.Brush().SetColor(Color());
                C.FillRect(P);
            }
            if (FBorderColor != clNone) {
                C.Brush().SetStyle(bsClear);
                C.Pen().SetColor(FBorderColor);
                if (FRounded) {
                    InflateRect(P, 1, 1);
                    C.RoundRect(P.Left, P.Top, P.Right, P.Bottom, 8, 8);
                } else {
                    C.Rectangle(P);
                }
                C.Brush().SetStyle(bsSolid);
            }
        }
        InflateRect(P, -1, -1);
    } else {
        HTHEME Th = (IsWinXPOrLater() && AutoXPStyle && FIsComCtl6 && ThemeAPI.IsThemeActive &&
                     ThemeAPI.IsThemeActive() && ThemeAPI.OpenThemeData)
                        ? ThemeAPI.OpenThemeData(FParent, u"button")
                        : 0;
        if (Th) {
            ThemeAPI.DrawThemeBackground(Th, C, 1, Pressed(FState) ? 3 : Hot ? 2 : 1, P, nullptr);
            ThemeAPI.CloseThemeData(Th);
        } else {
            C.DrawFrameControl(P, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pressed(FState) ? DFCS_PUSHED : 0));
        }
    }
    TPoint Offset = {0, 0};
    if (Pressed(FState)) {
        if (FState == bsExclusive && (!FFlat || !Hot)) {
            InflateRect(P, 1, 1);
            if (FColorCheckedTo != clNone) {
                DrawButtonGradient(C, FColorChecked, FColorCheckedTo, FDown ? BorderDownColor : FBorderColor,
                                   GradientSteps, P, false);
            } else {
                C.Brush().SetColor(FColorChecked);
                C.FillRect(P);
            }
        }
        if (!FFlat) Offset = {1, 1};
    } else if (FFlat && Hot && FShaded) {
        Offset = {-1, -1};
    }
    if (FDropDownButton) {
        const int M = P.Top + (P.Bottom - P.Top) / 2;
        C.Brush().SetColor(Font().Color());
        C.Pen().SetColor(Font().Color());
        C.Polygon({{P.Right - 8, M - 1}, {P.Right - 4, M - 1}, {P.Right - 6, M + 1}});
        P.Right -= DropDownWidth;
    }
    DrawButton(P, Offset, FDown && FGroupIndex != 0 ? bsDown : FState);
}

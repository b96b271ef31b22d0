#include "grid/foundation/ExCheckBox.h"

#include "framework/Forms.h"
#include "framework/Windows.h"
#include "grid/foundation/ExStyleIF.h"
#include "grid/foundation/ExXPVS.h"

namespace {

constexpr int TextSpacing = 5;
constexpr int MarkStrip = 20;  // the client strip that holds the mark

// Themed mark states: rows unchecked, checked, grayed; columns disabled, down, hot, otherwise.
constexpr int MarkStates[3][4] = {{4, 3, 2, 1}, {8, 7, 6, 5}, {12, 11, 10, 9}};

}  // namespace

TExCheckBox::TExCheckBox(TComponent* AOwner) : TCustomControl(AOwner), FBkgBmp(std::make_unique<TBitmap>()) {
    FIsWinXP = IsWinXPOrLater();
    FWidth = 98;
    FHeight = 20;
    FColor = clWindow;
    FParentColor = true;
    // The box fires its own click on release.
    FControlStyle = {csCaptureMouse, csSetCaption, csDoubleClicks};
}

TExCheckBox::~TExCheckBox() = default;

TRect TExCheckBox::MarkRect() {
    const TRect C = ClientRect();
    const bool Themed = IsThemedXP();
    const int Size = Themed ? 14 : 13;
    const int X = FAlignment == taRightJustify ? C.Right - (Themed ? 15 : 13) : 0;
    int Y = 4;
    if (FBtnVAlign == tlCenter) Y = (C.Bottom - C.Top) / 2 - 6;
    if (FBtnVAlign == tlBottom) Y = C.Bottom - (Themed ? 14 : 17);
    return Bounds(X, Y, Size, Size);
}

void TExCheckBox::InvalidateMark() {
    // The mark's own square (wherever alignment puts it), so hot and pressed looks show.
    if (!HandleAllocated()) return;
    TRect R = MarkRect();
    InflateRect(R, 1, 1);
    InvalidateRect(Handle(), &R, true);
}

void TExCheckBox::SetChecked(bool V) {
    SetState(V ? cbChecked : cbUnchecked);
    Invalidate();
}

void TExCheckBox::SetState(TCheckBoxState V) {
    if (V == FState) return;
    FState = V;
    if (HandleAllocated()) {
        const TRect C = ClientRect();
        TRect R = FAlignment == taRightJustify ? TRect{C.Right - MarkStrip, 0, C.Right, C.Bottom}
                                               : TRect{0, 0, MarkStrip, C.Bottom};
        InvalidateRect(Handle(), &R, true);
    }
}

void TExCheckBox::Toggle() {
    if (!FReadOnly) SetChecked(!Checked());
}

void TExCheckBox::SetButtonVertAlign(TTextLayout V) {
    if (V == FBtnVAlign) return;
    FBtnVAlign = V;
    Invalidate();
}

void TExCheckBox::SetAlignment(TAlignment V) {
    if (V == FAlignment) return;
    FAlignment = V;
    Invalidate();
}

void TExCheckBox::SetEllipsis(bool V) {
    if (V == FEllipsis) return;
    FEllipsis = V;
    Invalidate();
}

void TExCheckBox::SetTransparent(bool V) {
    if (V != FTransparent) {
        FTransparent = V;
        FBkgCache = false;
    }
    Invalidate();
}

void TExCheckBox::SetText(const String& V) {
    FCaption = V;
    TCustomControl::SetText(V);
    Invalidate();
}

void TExCheckBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FTransparent) {
        FBkgCache = false;
        Invalidate();
    }
}

void TExCheckBox::DoEnter() {
    TCustomControl::DoEnter();
    FFocused = true;
    Invalidate();
}

void TExCheckBox::DoExit() {
    TCustomControl::DoExit();
    FFocused = false;
    Invalidate();
}

void TExCheckBox::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TExCheckBox::WMEraseBkgnd(TMessage& Message) {
    if (FTransparent) {
        Message.Result = 1;
        return;
    }
    TCustomControl::WMEraseBkgnd(Message);
}

void TExCheckBox::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), FCaption) && CanFocus()) {
        Toggle();
        if (TabStop()) SetFocus();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TExCheckBox::CMMouseEnter(TMessage& Message) {
    TCustomControl::CMMouseEnter(Message);
    FHot = true;
    InvalidateMark();
}

void TExCheckBox::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    FHot = false;
    InvalidateMark();
}

void TExCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FMouseDown = true;
    if (!FFocused) {
        SetFocus();
        FFocused = true;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
    SetMouseCapture(true);
    FDown = true;
    if (FIsWinXP) InvalidateMark();
}

void TExCheckBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (MouseCapture()) {
        const bool Now = Inside(X, Y);
        if (Now != FDown) {
            FDown = Now;
            InvalidateMark();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TExCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    SetMouseCapture(false);
    FDown = false;
    if (Inside(X, Y) && FFocused && FMouseDown) {
        Toggle();
        Click();
    }
    FMouseDown = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FIsWinXP) InvalidateMark();
}

void TExCheckBox::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        // Enter moves on as Tab does.
        if (TCustomForm* Form = GetParentForm(this)) Form->SelectNext(this, !Shift.Contains(ssShift), true);
    }
    if (Key == VK_SPACE) {
        FDown = true;
        InvalidateMark();
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TExCheckBox::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        FDown = false;
        Toggle();
        Click();
    }
    TCustomControl::KeyUp(Key, Shift);
}

void TExCheckBox::Paint() {
    TCanvas& C = Canvas();
    C.SetFont(Font());
    if (FTransparent) {
        if (!FTransparentCaching) {
            DrawParentBackground(this, C);
        } else {
            if (!FBkgCache) {
                FBkgBmp->SetSize(Width(), Height());
                DrawParentBackground(this, FBkgBmp->Canvas());
                FBkgCache = true;
            }
            C.Draw(0, 0, *FBkgBmp);
        }
    }
    const TRect Mark = MarkRect();
    if (IsThemedXP() && ThemeAPI.OpenThemeData) {
        const int Row = FState == cbChecked ? 1 : FState == cbGrayed ? 2 : 0;
        const int Col = !Enabled() ? 0 : FDown ? 1 : FHot ? 2 : 3;
        if (HTHEME Th = ThemeAPI.OpenThemeData(this, u"button")) {
            ThemeAPI.DrawThemeBackground(Th, C, 3, MarkStates[Row][Col], Mark, nullptr);
            ThemeAPI.CloseThemeData(Th);
        }
    } else {
        TRect R = Mark;
        C.DrawFrameControl(R, DFC_BUTTON,
                           DFCS_BUTTONCHECK | (!Enabled() || FState == cbGrayed ? DFCS_INACTIVE : 0) |
                               (FState == cbChecked ? DFCS_CHECKED : 0));
    }
    TRect R = ClientRect();
    if (FAlignment == taRightJustify) {
        R.Left = 0;
        R.Right -= TextSpacing + 4;
    } else {
        R.Left += TextSpacing + 4;
    }
    R.Top += 4;
    R.Left += 6;
    C.Brush().SetStyle(bsClear);
    const unsigned Flags = FEllipsis ? DT_END_ELLIPSIS : 0;
    if (Enabled()) {
        C.DrawText(FCaption, R, Flags);
    } else {
        TRect S = R;
        OffsetRect(S, 1, 1);
        C.Font().SetColor(clWhite);
        C.DrawText(FCaption, S, Flags);
        C.Font().SetColor(clGray);
        C.DrawText(FCaption, R, Flags);
    }
    if (FFocused) {
        C.Brush().SetStyle(bsSolid);
        C.DrawFocusRect({R.Left - 2, R.Top, R.Left + C.TextWidth(FCaption) + 1, R.Top + C.TextHeight(FCaption) + 1});
    }
}

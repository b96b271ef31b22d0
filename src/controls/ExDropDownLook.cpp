// The drop-down edit's looks: the colour styles of the pop-up, its strips
// and strip buttons, the colour tones, the selection styles, the frame over
// the edit's border and the highlighted pick-only edit.

#include "controls/ExDropDown.h"

#include "controls/ExItemSelector.h"

#include "framework/Streaming.h"
#include "framework/Windows.h"

#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/GridColors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// One colour style: the pop-up, the header (the footer takes the same) and
// the strip buttons.
struct TStyleColors {
    TColor DropDownColor, DropDownColorTo, DropDownBorderColor;  // clNone border: unchanged unless Sets
    bool SetsBorder;
    TColor HeaderColor, HeaderColorTo, FontColor, HeaderBorder;
    TColor Button, ButtonTo, Border, Hot, HotTo, BorderHot, Down, DownTo, BorderDown, Disabled, DisabledTo, Checked,
        CheckedTo, BorderChecked;
};

constexpr TColor N = clNone;
constexpr TColor BtnFace = TColor(0xFF00000F);
// The hot, pressed, disabled and check colours the Office 2003 and 2007 looks share.
#define OFFICE_STATES 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, 0x45667B
#define OFFICE2010_STATES 0x8AE3FD, N, 0x58CAF1, 0x6CD0FF, N, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, N, 0x4FA0CE

// Indexed by TGPKStyle; the tsCustom row is never applied.
const TStyleColors StyleColors[] = {
    /* tsOffice2003Blue */ {0xFFFFFF, N, N, false, 0xFCE1CB, 0xE0A57D, 0, 0x962D00, 0xFCE1CB, 0xE0A57D, N, OFFICE_STATES},
    /* tsOffice2003Silver */ {0xFFFFFF, N, N, false, 0xECE2E1, 0xB39698, 0, 0x947C7C, 0xECE2E1, 0xB39698, N, OFFICE_STATES},
    /* tsOffice2003Olive */ {0xFFFFFF, N, N, false, 0xCFF0EA, 0x8CC0B1, 0, 0x588060, 0xCFF0EA, 0x8CC0B1, N, OFFICE_STATES},
    /* tsOffice2003Classic */ {0xFFFFFF, N, N, false, 0xFFFFFF, 0xC9D1D5, 0, 0x808080, 0xFFFFFF, 0xC9D1D5, N, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285, 0xB59285, 0x6A240A, 0xF2F2F2, 0xB6B6B6, 0xB59285, 0xB59285, 0x6A240A},
    /* tsOffice2007Luna */ {0xF3E5DA, 0xF0DED0, N, true, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF, 0xFFEFE3, 0xFFDDC4, N, OFFICE_STATES},
    /* tsOffice2007Obsidian */ {0xF2F1F0, 0xC9C2BD, N, true, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C, 0xF9F8F8, 0xE4E2DF, N, OFFICE_STATES},
    /* tsWindowsXP */ {0xFFFFFF, N, N, false, 0xFFFFFF, BtnFace, 0, 0x808080, 0xFFFFFF, BtnFace, N, 0xEFD3C6, 0xEFD3C6, TColor(0xFF00000D), 0xB59285, 0xB59285, TColor(0xFF00000D), 0xF2F2F2, 0xB6B6B6, 0xB59285, 0xB59285, TColor(0xFF00000D)},
    /* tsWhidbey */ {0xF5F9FA, 0xA8C0C0, N, false, 0xF5F9FA, 0xA8C0C0, 0, 0x962D00, 0xF5F9FA, 0xA8C0C0, N, OFFICE_STATES},
    /* tsCustom */ {},
    /* tsOffice2007Silver */ {0xF8F7F6, 0xE8E0DB, N, true, 0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F, 0xF9F8F8, 0xE4E2DF, N, OFFICE_STATES},
    /* tsWindowsVista */ {0xFFFFFF, 0xFFFFFF, 0xFCF2DA, true, 0xFFFDF9, 0xFFFAF0, 0, 0xFCF2DA, 0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFFFAF0, 0xFEF9F0, 0xFEDF9A, 0xFEF9F0, 0xFCEFD5, 0xFEDF9A, 0xF7F7F7, 0xF7F7F7, 0xFEF9F0, 0xFCEFD5, 0xFEDF9A},
    /* tsWindows7 */ {0xFFFFFF, 0xFFFFFF, 0xD5C2AA, true, 0xFDFBFA, 0xFDF3EB, 0, 0xD5C2AA, 0xFDFBFA, 0xFDF3EB, 0xD5C2AA, 0xFDFBFA, 0xFDF3EB, 0xCEA27D, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xF7F7F7, 0xF7F7F7, 0xFCEBDC, 0xFCDBC1, 0xCEA27D},
    /* tsTerminal */ {0xFFFFFF, 0xFFFFFF, 0x808080, true, BtnFace, BtnFace, 0, N, BtnFace, BtnFace, 0x808080, 0xB59285, 0xB59285, 0x808080, 0xB59285, 0xB59285, 0x808080, 0xF2F2F2, N, 0xB59285, 0xB59285, 0x808080},
    /* tsOffice2010Blue */ {0xFFFFFF, 0xF1EFED, 0xEDEDEC, true, 0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F, 0xFDF6EF, 0xF0DAC7, 0xC7B29F, OFFICE2010_STATES},
    /* tsOffice2010Silver */ {0xFFFFFF, 0xF1EFED, 0xEDEDEC, true, 0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8, 0xFFFFFF, 0xEDE5E0, 0xD2CDC8, OFFICE2010_STATES},
    /* tsOffice2010Black */ {0xFFFFFF, 0xF1EFED, 0xEDEDEC, true, 0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D, 0xBFBFBF, 0x919191, 0xD7D7D6, OFFICE2010_STATES},
};
#undef OFFICE_STATES
#undef OFFICE2010_STATES

struct TSelectionColors {
    TColor Color, ColorTo;
    TColor Edge, Border, BottomLine, TopLine, MirrorTo, Mirror;
};
// Indexed by TSelectionColorStyle (scCustom unused).
const TSelectionColors SelectionColors[] = {
    {},
    {0xD7FFFD, 0x58D4FC, 0xC3D9DF, 0x8DD7D3, 0xCAF8FF, 0xF4FEFF, 0xB3F1FC, 0x58D4FC},
    {0xFDF8F1, 0xFCEFD5, 0xFCEDCB, 0xFDDE99, 0xFDF5E7, 0xFDFBF6, clNone, clNone},
    {0xFCEBDC, 0xFCDBC1, 0xE0C5AE, 0xCEA27D, 0xFDEADB, 0xFDF4EB, clNone, clNone},
};

}  // namespace

void TExCustomDropDown::SetComponentStyle(TGPKStyle AStyle) {
    FGPKStyle = AStyle;
    if (AStyle == tsCustom) return;
    const TStyleColors& s = StyleColors[AStyle];
    FDropDownColor = s.DropDownColor;
    FDropDownColorTo = s.DropDownColorTo;
    if (s.SetsBorder) FDropDownBorderColor = s.DropDownBorderColor;
    for (TBarAppearance* look : {static_cast<TBarAppearance*>(FDropDownHeader.get()),
                                 static_cast<TBarAppearance*>(FDropDownFooter.get())}) {
        look->SetColor(s.HeaderColor);
        look->SetColorTo(s.HeaderColorTo);
        look->Font().SetColor(s.FontColor);
        look->SetBorderColor(s.HeaderBorder);
    }
    TExButtonAppearance& b = *FButtonAppearance;
    b.SetColor(s.Button);
    b.SetColorTo(s.ButtonTo);
    b.SetBorderColor(s.Border);
    b.SetColorHot(s.Hot);
    b.SetColorHotTo(s.HotTo);
    b.SetBorderColorHot(s.BorderHot);
    b.SetColorDown(s.Down);
    b.SetColorDownTo(s.DownTo);
    b.SetBorderColorDown(s.BorderDown);
    b.SetColorDisabled(s.Disabled);
    b.SetColorDisabledTo(s.DisabledTo);
    b.SetColorChecked(s.Checked);
    b.SetColorCheckedTo(s.CheckedTo);
    b.SetBorderColorChecked(s.BorderChecked);
}

void TExCustomDropDown::SetColorTones(const TColorTones& ATones) {
    if (FButton) {
        FButton->ButtonColor = ATones.Background.BrushColor;
        FButton->ButtonColorHot = ATones.Hover.BrushColor;
        FButton->ButtonColorDown = ATones.Selected.BrushColor;
        FButton->ButtonBorderColor = ATones.Background.BorderColor;
    }
    SetBorderColor(ATones.Background.BorderColor);
}

void TExCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    FSelectionColorStyle = Value;
    if (Value == scCustom) return;
    FSelectionColor = SelectionColors[Value].Color;
    FSelectionColorTo = SelectionColors[Value].ColorTo;
}

void TExCustomDropDown::DrawSelection(TCanvas& Canvas, const TRect& R, int Side, TColor CornerColor) {
    if (FSelectionColorStyle == scCustom) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FSelectionColor);
        Canvas.Pen().SetColor(FSelectionColor);
        Canvas.FillRect(R);
        return;
    }
    const TSelectionColors& c = SelectionColors[FSelectionColorStyle];
    DrawStyledSelection(Canvas, FSelectionColor, FSelectionColorTo, c.Mirror, c.MirrorTo, c.TopLine, c.BottomLine,
                        c.Border, c.Edge, CornerColor, R, Side);
}

void TExCustomDropDown::DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                                     bool Horizontal) {
    DrawSteppedGradient(Canvas, FromColor, ToColor, Steps, R, Horizontal);
}

void TExCustomDropDown::SetBorderColor(TColor Value) {
    if (FBorderColor == Value) return;
    FBorderColor = Value;
    Invalidate();
    if (FButton) FButton->Invalidate();
}

void TExCustomDropDown::SetDisabledBorder(bool Value) {
    if (FDisabledBorder == Value) return;
    FDisabledBorder = Value;
    Invalidate();
}

void TExCustomDropDown::DoLabelClick() {
    if (OnLabelClick) OnLabelClick(this);
}

void TExCustomDropDown::DoLabelDblClick() {
    if (OnLabelDblClick) OnLabelDblClick(this);
}

bool TExCustomDropDown::IsHot() const {
    return !ComponentState().Contains(csDesigning) && (FMouseInControl || Screen->ActiveControl() == this);
}

void TExCustomDropDown::PaintEditArea() {
    if (FEditorEnabled || !Focused() || ComponentState().Contains(csDesigning) || !FFocusDraw || !HandleAllocated())
        return;
    TControlCanvas c;
    c.SetControl(this);
    const int bw = FButton ? FButton->Width() : FDropDownButtonWidth;
    TRect r = Rect(2, 2, Width() - bw - 1, Height() - 2);
    c.Pen().SetColor(clBlack);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clHighlight);
    c.Rectangle(r);
    c.SetFont(Font());
    c.Font().SetColor(clHighlightText);
    c.Brush().SetStyle(bsClear);
    r.Left += 2;
    r.Right -= 3;
    c.DrawText(GetText(), r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void TExCustomDropDown::PaintBorder() {
    if (!HandleAllocated() || ComponentState().Contains(csDesigning)) return;
    if (Enabled() && FBorderColor == clNone && FFocusBorderColor == clNone) return;
    TControlCanvas c;
    c.SetControl(this);
    const TRect r = Rect(0, 0, Width(), Height());
    auto frame = [&](TRect f, TColor col) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(col);
        c.FrameRect(f);
    };
    if (!Enabled() && FIsThemed && FDisabledBorder) {
        frame(r, TColor(0xC0C0C0));
        return;
    }
    if (FBorderColor != clNone && (!Focused() || FFocusBorderColor == clNone)) {
        frame(r, FBorderColor);
        return;
    }
    if (FFocusBorderColor != clNone) {
        if (Focused()) frame(r, FFocusBorderColor);
        return;
    }
    const TColor b = IsHot() ? clBtnFace : Parent() ? Parent()->Color() : clBtnFace;
    frame(r, b);
    frame(Rect(1, 1, r.Right - 1, r.Bottom - 1), b);
}

void TExCustomDropDown::WMPaint(TMessage& Message) {
    TMaskEdit::WMPaint(Message);
    PaintEditArea();
    if (FFocusBorderColor != clNone || FBorderColor != clNone || (!Enabled() && FDisabledBorder)) PaintBorder();
}

void TExCustomDropDown::WMNCPaint(TMessage& Message) {
    TMaskEdit::WMNCPaint(Message);
    if (FFocusBorderColor != clNone || FBorderColor != clNone) PaintBorder();
}

// ---------------------------------------------------------------------------
// The stream image: a few published settings and the two stream-only
// styles, always written; reading them sets the fields only (nothing is
// applied again, the colours come back through their own properties).
// ---------------------------------------------------------------------------
void TExCustomDropDown::RegisterStreamClass(const String& ClassName) {
    using T = TExCustomDropDown;
    TStreamClass c;
    c.ClassName = ClassName;
    c.Properties.push_back(OrdinalProperty<T>(
        u"DropDownWidth", pkInteger, [](T& d) { return d.DropDownWidth(); },
        [](T& d, Int64 v) { d.SetDropDownWidth(int(v)); }, {}, 0));
    c.Properties.push_back(OrdinalProperty<T>(
        u"DropDownHeight", pkInteger, [](T& d) { return d.DropDownHeight(); },
        [](T& d, Int64 v) { d.SetDropDownHeight(int(v)); }, {}, 0));
    c.Properties.push_back(OrdinalProperty<T>(
        u"DropDownColor", pkColor, [](T& d) { return d.DropDownColor(); },
        [](T& d, Int64 v) { d.SetDropDownColor(TColor(v)); }));
    c.Properties.push_back(OrdinalProperty<T>(
        u"DropDownColorTo", pkColor, [](T& d) { return d.DropDownColorTo(); },
        [](T& d, Int64 v) { d.SetDropDownColorTo(TColor(v)); }));
    c.Properties.push_back(OrdinalProperty<T>(
        u"SelectionColor", pkColor, [](T& d) { return d.SelectionColor(); },
        [](T& d, Int64 v) { d.SetSelectionColor(TColor(v)); }));
    c.Properties.push_back(OrdinalProperty<T>(
        u"SelectionColorTo", pkColor, [](T& d) { return d.SelectionColorTo(); },
        [](T& d, Int64 v) { d.SetSelectionColorTo(TColor(v)); }));
    c.DefineProperties = [](TPersistent& o, TFiler& Filer) {
        auto& d = static_cast<T&>(o);
        Filer.DefineProperty(
            u"SelectionColorStyle",
            [&d](TReader& R) {
                const Int64 v = R.ReadInteger();
                if (v >= scCustom && v <= scWindows7) d.FSelectionColorStyle = TSelectionColorStyle(v);
            },
            [&d](TWriter& W) { W.WriteInteger(d.FSelectionColorStyle); }, true);
        Filer.DefineProperty(
            u"GPKStyle",
            [&d](TReader& R) {
                const Int64 v = R.ReadInteger();
                if (v >= tsOffice2003Blue && v <= tsOffice2010Black) d.FGPKStyle = TGPKStyle(v);
            },
            [&d](TWriter& W) { W.WriteInteger(d.FGPKStyle); }, true);
    };
    ::RegisterStreamClass(std::move(c));
}

TPoint CaptionLabelPosition(TLabelPosition Position, const TRect& B, TSize L, int W, int M) {
    const int height = B.Bottom - B.Top, width = B.Right - B.Left;
    const int vcentre = B.Top + (height - L.cy) / 2, hcentre = B.Left + (width - L.cx) / 2;
    switch (Position) {
    case lpLeftTop: return {B.Left - W - M, B.Top};
    case lpLeftCenter: return {B.Left - W - M, vcentre};
    case lpLeftBottom: return {B.Left - W - M, B.Top + height - L.cy};
    case lpTopLeft: return {B.Left, B.Top - L.cy - M};
    case lpBottomLeft: return {B.Left, B.Top + height + M};
    case lpLeftTopLeft: return {B.Left - M, B.Top};
    case lpLeftCenterLeft: return {B.Left - M, vcentre};
    case lpLeftBottomLeft: return {B.Left - M, B.Top + height - L.cy};
    case lpTopCenter: return {hcentre, B.Top - L.cy - M};
    case lpBottomCenter: return {hcentre, B.Top + height + M};
    case lpRightTop: return {B.Left + width + M, B.Top};
    case lpRightCenter: return {B.Left + width + M, vcentre};
    case lpRighBottom: return {B.Left + width + M, B.Top + height - L.cy};
    case lpTopRight: return {B.Left + width - L.cx, B.Top - L.cy - M};
    case lpBottomRight: return {B.Left + width - L.cx, B.Top + height + M};
    }
    return {B.Left, B.Top};
}

// ---------------------------------------------------------------------------
// The caption label
// ---------------------------------------------------------------------------
String TExCustomDropDown::LabelCaption() const { return FLabel ? FLabel->Caption() : String(); }

void TExCustomDropDown::SetLabelCaption(const String& Value) {
    if (!FLabel) {
        FLabel = NewCaptionLabel(*this, FLabelFont);
        FLabel->OnClick = [this](TObject*) { DoLabelClick(); };
        FLabel->OnDblClick = [this](TObject*) { DoLabelDblClick(); };
    }
    FLabel->SetCaption(Value);
    UpdateLabel();
}

void TExCustomDropDown::SetLabelPosition(TLabelPosition Value) {
    FLabelPosition = Value;
    UpdateLabel();
}

void TExCustomDropDown::SetLabelMargin(int Value) {
    FLabelMargin = Value;
    UpdateLabel();
}

void TExCustomDropDown::SetLabelTransparent(bool Value) {
    FLabelTransparent = Value;
    UpdateLabel();
}

void TExCustomDropDown::SetLabelFont(const TFont& Value) {
    FLabelFont.Assign(&Value);
    UpdateLabel();
}

void PlaceCaptionLabel(TLabel& Label, const TControl& Control, TLabelPosition Position, int Margin) {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(Label.Font());
    TRect box = Rect(0, 0, 1000, 255);
    probe.Canvas().DrawText(Label.Caption(), box, DT_CALCRECT | DT_SINGLELINE | DT_HIDEPREFIX);
    const TPoint p = CaptionLabelPosition(Position, Control.BoundsRect(), TSize{Label.Width(), Label.Height()},
                                          box.Right - box.Left, Margin);
    Label.SetBounds(p.X, p.Y, Label.Width(), Label.Height());
    Label.SetVisible(Control.Visible());
}

TLabel* NewCaptionLabel(TWinControl& Control, const TFont& Font) {
    auto* label = new TLabel(&Control);
    label->SetParent(Control.Parent());
    label->SetFocusControl(&Control);
    label->SetFont(Font);
    label->SetParentFont(Control.ParentFont());
    return label;
}

void UpdateCaptionLabel(TLabel& Label, const TControl& Control, TLabelPosition Position, int Margin, bool Transparent,
                        const TFont& Font) {
    if (Label.Parent() != Control.Parent()) Label.SetParent(Control.Parent());
    Label.SetTransparent(Transparent);
    if (!Control.ParentFont()) Label.SetFont(Font);
    PlaceCaptionLabel(Label, Control, Position, Margin);
}

void TExCustomDropDown::UpdateLabel() {
    if (FLabel) UpdateCaptionLabel(*FLabel, *this, FLabelPosition, FLabelMargin, FLabelTransparent, FLabelFont);
}

void TExCustomDropDown::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabel && FLabel->Parent()) UpdateLabel();
}

// ---------------------------------------------------------------------------
// Item list colours by style
// ---------------------------------------------------------------------------
void TExCustomDropDown::ApplyItemAppearanceStyle(TItemAppearance* Appearance, TGPKStyle Style) {
    if (!Appearance || Style == tsCustom) return;
    TItemAppearance& a = *Appearance;
    a.BorderColorHot = clNone;
    a.BorderColorSelected = clNone;
    a.ColorSelectedText = 0;
    a.ColorHotText = 0;
    auto flat = [&](TColor hot, TColor selected, TColor selectedTo) {
        a.ColorHot = a.ColorHotTo = hot;
        a.ColorSelected = selected;
        a.ColorSelectedTo = selectedTo;
        a.ColorMirrorHot = a.ColorMirrorHotTo = a.ColorMirrorSelected = a.ColorMirrorSelectedTo = clNone;
        a.BorderColorTop = a.BorderColorBottom = a.EdgeColor = clNone;
    };
    // Hot and selected gradients without mirror; border, top, bottom and edge lines.
    auto twoTone = [&](const std::array<TColor, 8>& c) {
        a.ColorHot = c[0], a.ColorHotTo = c[1], a.ColorSelected = c[2], a.ColorSelectedTo = c[3];
        a.ColorMirrorHot = a.ColorMirrorHotTo = a.ColorMirrorSelected = a.ColorMirrorSelectedTo = clNone;
        a.BorderColor = c[4], a.BorderColorTop = c[5], a.BorderColorBottom = c[6], a.EdgeColor = c[7];
    };
    const TColor highlight = TColor(0xFF00000D), highlightText = TColor(0xFF00000E);
    switch (Style) {
    case tsOffice2003Blue:
    case tsOffice2003Silver:
    case tsOffice2003Olive:
    case tsWhidbey:
    case tsOffice2007Luna:
    case tsOffice2007Obsidian:
    case tsOffice2007Silver: {
        a.ColorHot = 0xEBFDFF, a.ColorHotTo = 0xACECFF, a.ColorMirrorHot = 0x59DAFF, a.ColorMirrorHotTo = 0xA4E9FF;
        a.ColorSelected = 0xAAD9FF, a.ColorSelectedTo = 0x6EBBFF;
        a.ColorMirrorSelected = 0x42AEFE, a.ColorMirrorSelectedTo = 0x7AE1FE;
        a.BorderColor = 0x42AEFE;
        const bool office2007 = Style == tsOffice2007Luna || Style == tsOffice2007Obsidian || Style == tsOffice2007Silver;
        a.BorderColorTop = office2007 ? TColor(0xF4FEFF) : clNone;
        a.BorderColorBottom = office2007 ? TColor(0xCAF8FF) : clNone;
        a.EdgeColor = office2007 ? TColor(0xC3D9DF) : clNone;
        break;
    }
    case tsOffice2003Classic:
        flat(0xD2BDB6, 0xB59285, 0xB59285);
        a.BorderColor = 0x808080;
        break;
    case tsTerminal:
        flat(0xC0C0C0, highlight, clNone);
        a.BorderColor = 0x808080;
        a.ColorSelectedText = highlightText;
        break;
    case tsWindowsXP:
        flat(0xEFD3C6, highlight, clNone);
        a.BorderColorHot = highlight;
        a.ColorSelectedText = highlightText;
        break;
    case tsWindowsVista: twoTone({0xFFFDF9, 0xFFFAF0, 0xFEF9F0, 0xFCEFD5, 0xFDDE99, 0xFDFBF6, 0xFDF5E7, 0xFCEDCB}); break;
    case tsWindows7: twoTone({0xFDFBFA, 0xFDF3EB, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFDF4EB, 0xFDEADB, 0xE0C5AE}); break;
    case tsOffice2010Blue:
    case tsOffice2010Silver:
    case tsOffice2010Black:
        a.ColorHot = 0xD9F9FD, a.ColorHotTo = 0x8AE3FD, a.ColorMirrorHot = 0x8AE3FD, a.ColorMirrorHotTo = 0xD9F9FD;
        a.ColorSelected = 0x7BEEFF, a.ColorSelectedTo = 0x6CD0FF;
        a.ColorMirrorSelected = 0x6CD0FF, a.ColorMirrorSelectedTo = 0x7BEEFF;
        a.BorderColor = 0x308AC2;
        a.ColorSelectedText = 0;
        a.BorderColorTop = a.BorderColorBottom = a.EdgeColor = clNone;
        break;
    case tsCustom: break;
    }
}

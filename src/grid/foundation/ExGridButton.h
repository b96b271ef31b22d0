#pragma once
// The grid library's light button: windowless, with down state, exclusive
// groups, a check style, flat looks with gradients per state, an optional
// drop-down part with its menu, glyphs per state and seven colour presets.

#include "framework/ActnList.h"
#include "framework/Controls.h"

class TPopupMenu;

enum TExGridButtonStyle { tasButton, tasCheck };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TExGridButton : public TGraphicControl {
public:
    explicit TExGridButton(TComponent* AOwner);
    ~TExGridButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool V);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int V);
    bool Down() const { return FDown; }
    void SetDown(bool V);
    bool Flat() const { return FFlat; }
    void SetFlat(bool V);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout V);
    int Margin() const { return FMargin; }
    void SetMargin(int V);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int V);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool V);
    TExGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TExGridButtonStyle V);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool V);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool V);
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* V);
    bool Shaded() const { return FShaded; }
    void SetShaded(bool V);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool V);
    bool AutoXPStyle = false;
    int Look() const { return FLook; }
    void SetLook(int N);

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor V);
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor V);
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor V);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor V);
    TColor ColorHot = 0xCAC7C7, ColorHotTo = clNone, ColorDown = 0xD8D3D2, ColorDownTo = clNone;
    TColor BorderDownColor = clNone, BorderHotColor = clNone;

    TBitmap& Glyph() { return *FGlyph; }
    void SetGlyph(const TBitmap& V);
    TBitmap& GlyphHot() { return *FGlyphHot; }
    void SetGlyphHot(const TBitmap& V) { FGlyphHot->Assign(&V); }
    TBitmap& GlyphDown() { return *FGlyphDown; }
    void SetGlyphDown(const TBitmap& V) { FGlyphDown->Assign(&V); }
    TBitmap& GlyphDisabled() { return *FGlyphDisabled; }
    void SetGlyphDisabled(const TBitmap& V) { FGlyphDisabled->Assign(&V); }

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    TNotifyEvent OnDropDown;

    // Glyph position and caption rectangle in the paint rectangle P.
    void CalcButtonLayout(const TRect& P, TPoint Offset, const String& Caption, TPoint& GlyphPos, TRect& TextBounds);
    void Click() override;
    void Loaded() override;
    std::unique_ptr<TControlActionLink> CreateActionLink() override;

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMSysColorChange(TMessage& Message) override;
    void CMDialogChar(TCMDialogChar& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    void UpdateExclusive();
    void UpdateTracking();
    void ThemeAdapt();
    void CreateShade();
    void DrawButton(TRect P, TPoint Offset, TButtonState State);
    void DrawGlyph(TPoint G, bool EmptyCaption);
    void DrawButtonText(const TRect& R, TButtonState State);

    bool FIsComCtl6 = false;
    int FGroupIndex = 0;
    std::unique_ptr<TBitmap> FGlyph, FGlyphDisabled, FGlyphHot, FGlyphDown, FGlyphShade;
    bool FDown = false, FDragging = false, FAllowAllUp = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4, FMargin = -1;
    bool FFlat = true, FMouseInControl = false;
    TColor FColorTo = clNone, FBorderColor = clNone;
    bool FShaded = true;
    TColor FColorChecked = clGray, FColorCheckedTo = clNone;
    TExGridButtonStyle FStyle = tasButton;
    int FLook = 0;
    bool FRounded = false, FDropDownButton = false, FAutoThemeAdapt = false;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FShowCaption = true;
    TButtonState FState = bsUp;
};

// The button's link to an action: it follows the action's caption only while
// showing the same caption, its checked state only as a grouped button that
// may go all up and shows the same state, and its group index only while the
// two agree.
class TExGridButtonActionLink : public TControlActionLink {
public:
    explicit TExGridButtonActionLink(TExGridButton* Client);
    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsGroupIndexLinked() const override;
    void SetChecked(bool Value) override;
    void SetGroupIndex(int Value) override;

private:
    TExGridButton* Button() const { return static_cast<TExGridButton*>(FClient); }
    TCustomAction* CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }
};

// Steps bands from FromColor toward ToColor with an optional frame; the
// button's own rounding, kept apart from the grid's gradient on purpose.
void DrawButtonGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, TColor FrameColor, int Steps,
                        const TRect& R, bool Horizontal);
// 1 "NormalColor", 2 "HomeStead", 3 "Metallic", else 0.
int GetButtonXPColorScheme();

#pragma once
// The push button of every window: a flat, completely self-painted face with
// a one-pixel frame, an optional glyph strip, a caption that is cut or
// wrapped, a hot-track colour (optionally fading out through a thread of its
// own), a pressed colour and a dotted focus rectangle. It hands its modal
// result to its form and answers Enter and Escape as a default or cancel
// button.

#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/Threads.h"

#include <memory>

enum TFlatButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
enum TFlatButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TFlatButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TFlatColorStyle {
    lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlat2, lcsUltraFlatXP, lcsAqua,
    lcsDefault, lcsQuicken
};

// One row of the ready-made colour schemes.
struct TFlatColorScheme {
    TFlatColorStyle Style;
    TColor Color, LightColor, ShadowColor, ColorWhenDown, HotTrackColor;
    bool Flat;
    TFlatButtonStyle ButtonStyle;
    TColor CaptionColor;
};
// The scheme of a style other than lcsCustom (nullptr for lcsCustom).
const TFlatColorScheme* FlatColorScheme(TFlatColorStyle Style);

// One row of the stock kinds.
struct TFlatButtonKindInfo {
    TFlatButtonKind Kind;
    TModalResult ModalResult;
    const char* Resource;
    const char* Caption;  // UTF-8
};
const TFlatButtonKindInfo* FlatButtonKindInfo(TFlatButtonKind Kind);

// The button's bitmap resources by name: the ten kind glyphs ("FBOK" ...
// "FBALL") and the popup arrow "FBARROW". False for an unknown name.
bool LoadFlatButtonResource(const String& Name, TBitmap& Bitmap);

// Hot-track blend of Color toward HotTrack by Step/8 (both resolved to plain colours).
TColor FlatHotTrackBlend(TColor Color, TColor HotTrack, int Step);

// The bsModern face: 32 bands from A to Z over L,T to R,B, without outline.
void FillGradient32(TCanvas& Canvas, int L, int T, int R, int B, TColor A, TColor Z);

// Paints a whole button face into Canvas (0,0 to W,H).
void PaintButton(TCanvas& Canvas, int W, int H, TAlignment Alignment, const String& Caption,
                 TFlatButtonLayout Layout, const TFont& Font, TColor ShadowColor, TColor LightColor,
                 TColor HotTrackColor, TColor ColorWhenDown, TColor Color, TFlatButtonStyle Style, bool HasPopupMenu,
                 bool WordWrap, bool Flat, bool Enabled, bool Hot, bool Pressed, const TBitmap& Glyph, int NumGlyphs,
                 int HotTrackStep);

class TFlatButton;
class TCustomAction;

// Drives the fade of a button's hot-track colour: every 30 milliseconds one
// step on the user-interface thread, until the button suspends it.
class TFlatButtonThread : public TThread {
public:
    TFlatButtonThread(TNotifyEvent Notify, TFlatButton* Button);

protected:
    void Execute() override;
    void DoEvent();

private:
    TNotifyEvent FNotify;
    TFlatButton* FButton;
};

class TFlatButton : public TCustomControl {
public:
    explicit TFlatButton(TComponent* AOwner);
    ~TFlatButton() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(TColor Value) { FColorWhenDown = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TBitmap& Glyph() { return *FGlyph; }
    // Copies the bitmap (nullptr empties the glyph); NumGlyphs := width div height.
    void SetGlyph(const TBitmap* Value);
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor Value) { FHotTrackColor = Value; }
    TFont& HotTrackFont() { return *FHTFont; }
    void SetHotTrackFont(const TFont& Value) { FHTFont->Assign(&Value); }
    TFlatButtonKind Kind() const { return FKind; }
    void SetKind(TFlatButtonKind Value);
    TFlatButtonLayout Layout() const { return FLayout; }
    void SetLayout(TFlatButtonLayout Value);
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor Value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    bool UseHotTrackFont() const { return FUseHTFont; }
    void SetUseHotTrackFont(bool Value) { FUseHTFont = Value; }
    // Writing applies a scheme; reading always gives lcsCustom.
    TFlatColorStyle ColorStyle() const { return FDummyStyle; }
    void SetColorStyle(TFlatColorStyle Value);
    TFlatButtonStyle Style() const { return FStyle; }
    void SetStyle(TFlatButtonStyle Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool SlowDecease() const { return FSlowDecease; }
    void SetSlowDecease(bool Value);

    void SetCaption(const String& Value) override;
    String GetCaption() const { return Text(); }
    void SetEnabled(bool Value) override;
    // The button's click, then the action's (when one is set).
    void Click() override;
    // The framework's share of the action, then its image as the glyph
    // while the button has none.
    void ActionChange(TObject* Sender) override;

    // The first form up the chain of owners.
    TCustomForm* OwnerForm() const;

    // The fade's notify method (user-interface thread).
    void FadeStep(TObject* Sender);

    // State for tests and the gallery.
    bool Pressed() const { return bDown; }
    bool CursorOnButton() const { return bCursorOnButton; }
    int HotTrackStep() const { return FHotTrackStep; }
    TFlatButtonThread* FadeThread() const { return FThread; }

    TNotifyEvent OnMouseExit;

protected:
    void Paint() override;
    virtual void DoClick();
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CNKeyDown(TWMKey& Message) override;
    void CNKeyUp(TWMKey& Message) override;
    void CMDialogChar(TCMDialogChar& Message) override;
    void CMDialogKey(TCMDialogKey& Message) override;
    void WMCancelMode(TMessage& Message) override;

private:
    void StopThread();
    // The image of the action's list as a one-image glyph on magenta.
    void CopyActionImage(TCustomAction& Action);
    bool ParentShowing() const;

    TAlignment FAlignment = taCenter;
    TColor FShadowColor = clGray;
    TColor FColorWhenDown = clNone;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<TBitmap> FGlyph;
    TColor FHotTrackColor = clNone;
    std::unique_ptr<TFont> FHTFont;
    TFlatButtonKind FKind = bkCustom;
    TFlatButtonLayout FLayout = blGlyphLeft;
    TColor FLightColor = clWhite;
    TModalResult FModalResult = mrNone;
    int FNumGlyphs = 0;
    bool FUseHTFont = false;
    TFlatColorStyle FDummyStyle = lcsCustom;
    TFlatButtonStyle FStyle = bsNormal;
    bool FDefault = false;
    bool FCancel = false;
    bool FSlowDecease = false;

    bool bDown = false;
    // Enter or Space as pressed on this button: only its own release clicks.
    Word FKeyPressed = 0;
    bool bCursorOnButton = false;
    TFlatButtonThread* FThread = nullptr;
    int FHotTrackStep = 0;
};

#pragma once
// The grid library's owner-drawn check box: a themed or classic mark with a
// caption beside it, optionally transparent on its parent, toggled by the
// mouse, the space key and its accelerator.

#include "framework/Controls.h"
#include "framework/StdCtrls.h"

class TExCheckBox : public TCustomControl {
public:
    explicit TExCheckBox(TComponent* AOwner);
    ~TExCheckBox() override;

    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool V);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState V);
    bool Down() const { return FDown; }
    void SetDown(bool V) { FDown = V; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool V) { FReturnIsTab = V; }
    TTextLayout ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TTextLayout V);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment V);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool V);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool V) { FReadOnly = V; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V);
    bool TransparentChaching() const { return FTransparentCaching; }
    void SetTransparentChaching(bool V) { FTransparentCaching = V; }
    String Text() const override { return FCaption; }
    void SetText(const String& V) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The mark's square in client coordinates.
    TRect MarkRect();

    virtual void Toggle();

protected:
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMDialogChar(TCMDialogChar& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    void InvalidateMark();
    bool Inside(int X, int Y) const { return X >= 0 && X <= Width() && Y >= 0 && Y <= Height(); }

    bool FDown = false;
    TCheckBoxState FState = cbUnchecked;
    bool FFocused = false;
    bool FReturnIsTab = false;
    TTextLayout FBtnVAlign = tlTop;
    TAlignment FAlignment = taLeftJustify;
    bool FEllipsis = false;
    String FCaption = u"TExCheckBox";
    bool FIsWinXP = false;
    bool FHot = false;
    bool FReadOnly = false;
    bool FMouseDown = false;
    std::unique_ptr<TBitmap> FBkgBmp;
    bool FBkgCache = false;
    bool FTransparentCaching = false;
    bool FTransparent = false;
};

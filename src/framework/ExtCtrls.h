#pragma once
// More controls: panels, shapes, bevels, images, radio groups, link labels,
// speed buttons, and the timer component.

#include "framework/Classes.h"
#include "framework/StdCtrls.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// TTimer: OnTimer every Interval milliseconds on the user-interface thread
// while Enabled (and OnTimer is set).
// ---------------------------------------------------------------------------
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal Value);
    TNotifyEvent OnTimer;
    // Framework internal.
    void Tick();

private:
    void Update();
    struct TTimerImpl;
    std::unique_ptr<TTimerImpl> FImpl;
    bool FEnabled = true;
    Cardinal FInterval = 1000;
};

// ---------------------------------------------------------------------------
// TPanel
// ---------------------------------------------------------------------------
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;

private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

// ---------------------------------------------------------------------------
// TShape, TBevel, TImage
// ---------------------------------------------------------------------------
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);

protected:
    void Paint() override;

private:
    TPen FPen;
    TBrush FBrush;
    TShapeType FShape = stRectangle;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture& Picture() { return *FPicture; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // A canvas on the picture's bitmap (the picture becomes a bitmap).
    TCanvas& ImageCanvas();

protected:
    void Paint() override;
    TRect DestRect();

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};

// ---------------------------------------------------------------------------
// TRadioGroup: a group box of radio buttons made from Items.
// ---------------------------------------------------------------------------
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    TStringList& Items() { return *FItems; }
    int ItemIndex() const { return FItemIndex; }
    // Fires OnClick when it changes.
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    TRadioButton* Buttons(int Index) const { return FButtons.at(size_t(Index)); }

protected:
    void WMSize(TWMSize& Message) override;

private:
    void UpdateButtons();
    void ArrangeButtons();
    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

// ---------------------------------------------------------------------------
// TLinkLabel: a label whose caption holds links as <a href="target">text</a>.
// ---------------------------------------------------------------------------
enum TSysLinkType { sltURL, sltID };
using TSysLinkEvent = std::function<void(TObject* Sender, const String& Link, TSysLinkType LinkType)>;

class TLinkLabel : public TWinControl {
public:
    explicit TLinkLabel(TComponent* AOwner);
    String Text() const override { return FText; }
    void SetText(const String& Value) override;
    // A click on a link: the link's target.
    TSysLinkEvent OnLinkClick;
    // Framework internal.
    void LinkClicked(const String& Link);

protected:
    void CreateWnd() override;
};

// ---------------------------------------------------------------------------
// TSpeedButton: a flat windowless button, optionally in a group that keeps
// one button down.
// ---------------------------------------------------------------------------
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap& Glyph() { return *FGlyph; }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    bool FDown = false;
    bool FPressed = false;
    bool FHot = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    int FNumGlyphs = 1;
};

// ---------------------------------------------------------------------------
// TSplitter
// ---------------------------------------------------------------------------
// A bar between an aligned control and the rest of its parent: dragging it
// resizes that control (the one aligned to the same side that touches the
// splitter), live, keeping both it and the space left at least MinSize.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = std::max(1, Value); }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    // The control the splitter resizes now (nil: none touches it).
    TControl* ResizeControl() const;
    // After a drag changed the size.
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;

private:
    bool Vertical() const { return FAlign == alLeft || FAlign == alRight; }
    int FMinSize = 30;
    bool FBeveled = false;
    TControl* FControl = nullptr;  // being resized
    int FStartPos = 0;             // parent coordinate of the press
    int FStartSize = 0;
    int FMaxSize = 0;
    bool FMoved = false;
};

// ---------------------------------------------------------------------------
// TScrollBox
// ---------------------------------------------------------------------------
// A container whose children may reach beyond its client area: scroll bars
// appear as needed (AutoScroll) and scrolling moves the children.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    ~TScrollBox() override;
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    // The scrolled-away part, 0 .. Range - client size.
    int HorzPosition() const { return FPos[0]; }
    int VertPosition() const { return FPos[1]; }
    void SetHorzPosition(int Value) { ScrollTo(0, Value); }
    void SetVertPosition(int Value) { ScrollTo(1, Value); }
    // The extent of the children (with the scrolled part), and the client size.
    int HorzRange() const { return FRange[0]; }
    int VertRange() const { return FRange[1]; }
    // Moves every child by the given distance.
    void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls so that Control (a child at any depth) is in view.
    void ScrollInView(TControl* Control);
    // Works the ranges out anew from the children: done when the box changes
    // size, and to be called after adding or moving children.
    void UpdateScrollBars();
    TRect ClientRect() const override;

protected:
    void CreateWnd() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void Resize() override;

private:
    struct TBars;
    void ScrollTo(int Bar, int Value);
    int Page(int Bar) const;
    bool FAutoScroll = true;
    int FPos[2] = {0, 0};
    int FRange[2] = {0, 0};
    bool FUpdating = false;
    std::unique_ptr<TBars> FBars;
};

#pragma once
// Styled scroll bars for the trees. While an application style is active
// the window's own scroll bars would still show the system's look; this hook
// lays two windows of its own exactly over them and paints the style's bars
// there, while the real bars underneath keep doing the scrolling. It follows
// their size and position, shows hot and pressed arrows and thumbs, and drags
// the thumb itself, telling the tree the positions with scroll messages.

#include "framework/Styles.h"

class TBaseLazyTree;

class TFwStyleScrollBarsHook : public TMouseTrackControlStyleHook {
public:
    // The window over one bar: the mouse passes through it to the tree.
    class TFwStyleScrollBarWindow : public TCustomControl {
    public:
        explicit TFwStyleScrollBarWindow(TComponent* AOwner);
        ~TFwStyleScrollBarWindow() override;
        TFwStyleScrollBarsHook* ScrollBarWindowOwner() const { return FScrollBarWindowOwner; }
        void SetScrollBarWindowOwner(TFwStyleScrollBarsHook* Value) { FScrollBarWindowOwner = Value; }
        bool ScrollBarVertical() const { return FScrollBarVertical; }
        void SetScrollBarVertical(bool Value) { FScrollBarVertical = Value; }
        // What the platform last said of the bar beneath: shown, usable.
        bool ScrollBarVisible() const { return FScrollBarVisible; }
        void SetScrollBarVisible(bool Value) { FScrollBarVisible = Value; }
        bool ScrollBarEnabled() const { return FScrollBarEnabled; }
        void SetScrollBarEnabled(bool Value) { FScrollBarEnabled = Value; }

    protected:
        void CreateParams(TCreateParams& Params) override;
        void WMEraseBkgnd(TMessage& Message) override;
        void WMNCHitTest(TMessage& Message) override;
        void Paint() override;

    private:
        TFwStyleScrollBarsHook* FScrollBarWindowOwner = nullptr;
        bool FScrollBarVertical = false;
        bool FScrollBarVisible = false;
        bool FScrollBarEnabled = false;
    };

    explicit TFwStyleScrollBarsHook(TWinControl* AControl);
    ~TFwStyleScrollBarsHook() override;

    // The looks and places, for those who draw or test against them.
    TThemedScrollBar VertScrollBarSliderState() const { return FVertScrollBarSliderState; }
    TThemedScrollBar VertScrollBarUpButtonState() const { return FVertScrollBarUpButtonState; }
    TThemedScrollBar VertScrollBarDownButtonState() const { return FVertScrollBarDownButtonState; }
    TThemedScrollBar HorzScrollBarSliderState() const { return FHorzScrollBarSliderState; }
    TThemedScrollBar HorzScrollBarUpButtonState() const { return FHorzScrollBarUpButtonState; }
    TThemedScrollBar HorzScrollBarDownButtonState() const { return FHorzScrollBarDownButtonState; }
    TRect VertScrollBarRect() const { return FVertScrollBarRect; }
    TRect HorzScrollBarRect() const { return FHorzScrollBarRect; }
    TFwStyleScrollBarWindow* VertScrollBarWindow() const { return FVertScrollBarWindow; }
    TFwStyleScrollBarWindow* HorzScrollBarWindow() const { return FHorzScrollBarWindow; }
    float ScrollPos() const { return FScrollPos; }
    TRect VertThumbRect();
    TRect HorzThumbRect();

protected:
    void WndProc(TMessage& Message) override;
    void MouseLeftControl() override;
    virtual void MeasureBarRects();
    virtual void PaintHorzBar(TCanvas& DC);
    virtual void PaintVertBar(TCanvas& DC);
    virtual void RepaintBarWindows();
    bool PointInHeader(TPoint P);
    void PositionBarWindows();

private:
    TBaseLazyTree* Tree() const;
    // Client point of a screen point, moved by the frame as the bar rectangles are.
    TPoint PointOffset() const;
    TPoint BarPoint(LPARAM ScreenPoint) const;
    bool Shown(const TFwStyleScrollBarWindow* W) const { return W && W->Visible(); }
    bool Usable(const TFwStyleScrollBarWindow* W) const { return W && W->Visible() && W->Enabled(); }
    void PressNonClient(TMessage& Message);
    void DragThumb(TMessage& Message);
    void EndDrag(TMessage& Message);
    void ReleaseNonClient(TMessage& Message);
    void HotTrack(TMessage& Message);
    bool DragBar(bool Vertical, int MouseCoord);
    void WindowGone(TFwStyleScrollBarWindow* W);

    TRect FHorzScrollBarDownButtonRect{};
    TThemedScrollBar FHorzScrollBarDownButtonState = tsArrowBtnRightNormal;
    TRect FHorzScrollBarRect{};
    TThemedScrollBar FHorzScrollBarSliderState = tsThumbBtnHorzNormal;
    TRect FHorzScrollBarSliderTrackRect{};
    TRect FHorzScrollBarUpButtonRect{};
    TThemedScrollBar FHorzScrollBarUpButtonState = tsArrowBtnLeftNormal;
    TFwStyleScrollBarWindow* FHorzScrollBarWindow = nullptr;
    bool FLeftMouseButtonDown = false;
    int FPrevScrollPos = 0;
    float FScrollPos = 0;
    TRect FVertScrollBarDownButtonRect{};
    TThemedScrollBar FVertScrollBarDownButtonState = tsArrowBtnDownNormal;
    TRect FVertScrollBarRect{};
    TThemedScrollBar FVertScrollBarSliderState = tsThumbBtnVertNormal;
    TRect FVertScrollBarSliderTrackRect{};
    TRect FVertScrollBarUpButtonRect{};
    TThemedScrollBar FVertScrollBarUpButtonState = tsArrowBtnUpNormal;
    TFwStyleScrollBarWindow* FVertScrollBarWindow = nullptr;
};

// Registers the hook for the string and draw trees with the style engine
// (once; the registration is taken back when the program ends).
void RegisterTreeStyleHooks();

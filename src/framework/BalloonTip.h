#pragma once
// Balloon tips: a small top-level window with a title, an icon and a text,
// shown beside a control. One class serves every use: tools whose tip shows
// when the mouse rests on them (the grid's cell balloons), a tip that
// follows a position (tracking), and the balloon an edit field shows for a
// refused entry (EM_SHOWBALLOONTIP), which is one window for the program.

#include "framework/Controls.h"

#include <functional>
#include <memory>

// Title icons.
constexpr int TTI_NONE = 0, TTI_INFO = 1, TTI_WARNING = 2, TTI_ERROR = 3;

// The three delays, by their classic numbers.
constexpr int TTDT_AUTOMATIC = 0, TTDT_RESHOW = 1, TTDT_AUTOPOP = 2, TTDT_INITIAL = 3;

class TBalloonTip : public TCustomControl {
public:
    explicit TBalloonTip(TComponent* AOwner);
    ~TBalloonTip() override;

    // Asked for title, text and icon each time the tip is about to show
    // (they start as the values set below); an empty text shows nothing.
    using TGetTipEvent = std::function<void(TBalloonTip* Sender, TControl* Tool, String& Title, String& Text, int& Icon)>;
    TGetTipEvent OnGetText;
    void SetTipText(const String& Value) { FTipText = Value; }
    const String& TipText() const { return FTipText; }
    // An icon outside TTI_NONE..TTI_ERROR counts as TTI_NONE.
    void SetTitle(const String& Title, int Icon);
    const String& Title() const { return FTitle; }
    int Icon() const { return FIcon; }

    // Text lines break at this width (pixels); 0 or less: no limit.
    int MaxTipWidth() const { return FMaxTipWidth; }
    void SetMaxTipWidth(int Value) { FMaxTipWidth = Value; }
    TColor TipBkColor() const { return FTipBkColor; }
    TColor TipTextColor() const { return FTipTextColor; }
    void SetTipColors(TColor Background, TColor Text);
    // Milliseconds; -1 gives the default (initial 500, reshow 100, auto-pop
    // 5000). TTDT_AUTOMATIC sets all three from one initial value: reshow a
    // fifth of it, auto-pop ten times it (-1: the defaults).
    void SetDelayTime(int Which, int Milliseconds);
    int DelayTime(int Which) const;
    // 255: opaque.
    Byte Opacity() const { return FOpacity; }
    void SetOpacity(Byte Value);

    // Tools: the mouse resting on one for the initial delay shows the tip
    // beside the mouse; moving to another tool within the reshow time shows
    // its tip after the reshow delay; it hides after the auto-pop delay, on
    // a press, or when the mouse leaves the tool.
    void AddTool(TControl* Tool);
    void RemoveTool(TControl* Tool);

    // Shows the tip for Tool at once, its top-left at ScreenPos.
    void Popup(TControl* Tool, TPoint ScreenPos);
    // Hides it.
    void Pop();
    // Tracking: shown (without the auto-pop) at the track position until
    // deactivated.
    void TrackActivate(TControl* Tool, bool Activate);
    void TrackPosition(TPoint ScreenPos);

    bool IsTipShowing() const { return FShowing; }
    TControl* CurrentTool() const { return FCurrentTool; }
    // The size the tip needs for its title and text.
    TSize TipSize();

protected:
    void CreateWnd() override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TTimers;
    void MouseMessage(TControl* Control, const TMessage& Message);
    void ShowFor(TControl* Tool, TPoint ScreenPos, bool AutoPop);
    void TimerExpired();
    bool IsTool(TControl* Control) const;

    String FTipText, FTitle;
    int FIcon = TTI_NONE;
    int FMaxTipWidth = 0;
    TColor FTipBkColor = clInfoBk, FTipTextColor = clInfoText;
    int FDelays[4] = {-1, -1, -1, -1};
    Byte FOpacity = 255;
    std::vector<TControl*> FTools;
    TControl* FCurrentTool = nullptr;
    TControl* FPendingTool = nullptr;
    TPoint FPendingPos;
    bool FShowing = false;
    bool FTracking = false;
    Cardinal FLastHidden = 0;  // tick count when a tip last hid (for the reshow delay)
    int FHookId = 0;
    std::unique_ptr<TTimers> FTimers;
};

// The balloon of edit fields (one window for the whole program).
TBalloonTip& EditBalloonTip();

// EM_SHOWBALLOONTIP's LParam (cbStruct 16, as the classic structure).
struct EDITBALLOONTIP {
    Cardinal cbStruct = 16;
    const Char* pszTitle = nullptr;
    const Char* pszText = nullptr;
    int ttiIcon = TTI_NONE;
};
constexpr Cardinal EM_SHOWBALLOONTIP = 0x1503;
constexpr Cardinal EM_HIDEBALLOONTIP = 0x1504;
// Shows the edit balloon below Edit (EM_SHOWBALLOONTIP's work); hides it.
void ShowEditBalloonTip(TWinControl* Edit, const String& Title, const String& Text, int Icon);
void HideEditBalloonTip(TWinControl* Edit);

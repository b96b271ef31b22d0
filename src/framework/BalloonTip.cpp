#include "framework/BalloonTip.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"
#include "framework/Threads.h"

#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {
constexpr int DefaultDelays[4] = {500, 100, 5000, 500};  // by TTDT_ number: automatic, reshow, auto-pop, initial
constexpr int Padding = 6;
constexpr int IconSize = 16;
constexpr int Radius = 8;
}  // namespace

struct TBalloonTip::TTimers {
    QTimer Show;  // the initial or reshow delay
    QTimer Hide;  // the auto-pop delay
};

TBalloonTip::TBalloonTip(TComponent* AOwner) : TCustomControl(AOwner), FTimers(std::make_unique<TTimers>()) {
    FVisible = false;
    FColor = clInfoBk;
    Font().Assign(&Screen->HintFont());
    FTimers->Show.setSingleShot(true);
    FTimers->Hide.setSingleShot(true);
    QObject::connect(&FTimers->Show, &QTimer::timeout, [this] { Guarded([this] { TimerExpired(); }); });
    QObject::connect(&FTimers->Hide, &QTimer::timeout, [this] { Guarded([this] { Pop(); }); });
}

TBalloonTip::~TBalloonTip() {
    if (FHookId) UnhookCallWndProc(FHookId);
    FTimers.reset();
}

void TBalloonTip::CreateWnd() {
    auto* w = new THostWidget<QWidget>(this, nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    AttachWidget(this, w, true);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setWindowOpacity(FOpacity / 255.0);
}

void TBalloonTip::SetTitle(const String& Title, int Icon) {
    FTitle = Title;
    FIcon = Icon >= TTI_NONE && Icon <= TTI_ERROR ? Icon : TTI_NONE;
}

void TBalloonTip::SetTipColors(TColor Background, TColor Text) {
    FTipBkColor = Background;
    FTipTextColor = Text;
    SetColor(Background);
    Invalidate();
}

void TBalloonTip::SetDelayTime(int Which, int Milliseconds) {
    if (Which == TTDT_AUTOMATIC) {
        FDelays[TTDT_INITIAL] = Milliseconds;
        FDelays[TTDT_RESHOW] = Milliseconds < 0 ? -1 : Milliseconds / 5;
        FDelays[TTDT_AUTOPOP] = Milliseconds < 0 ? -1 : Milliseconds * 10;
        return;
    }
    if (Which >= TTDT_RESHOW && Which <= TTDT_INITIAL) FDelays[Which] = Milliseconds;
}

int TBalloonTip::DelayTime(int Which) const {
    if (Which == TTDT_AUTOMATIC) Which = TTDT_INITIAL;
    if (Which < TTDT_RESHOW || Which > TTDT_INITIAL) return 0;
    return FDelays[Which] < 0 ? DefaultDelays[Which] : FDelays[Which];
}

void TBalloonTip::SetOpacity(Byte Value) {
    FOpacity = Value;
    if (HandleAllocated()) HandleImpl()->Widget->setWindowOpacity(Value / 255.0);
}

bool TBalloonTip::IsTool(TControl* Control) const {
    return std::find(FTools.begin(), FTools.end(), Control) != FTools.end();
}

void TBalloonTip::AddTool(TControl* Tool) {
    if (!Tool || IsTool(Tool)) return;
    FTools.push_back(Tool);
    Tool->FreeNotification(this);
    if (!FHookId)
        FHookId = SetCallWndProcHook([this](TControl* c, const TMessage& m) { MouseMessage(c, m); });
}

void TBalloonTip::RemoveTool(TControl* Tool) {
    FTools.erase(std::remove(FTools.begin(), FTools.end(), Tool), FTools.end());
    if (FCurrentTool == Tool) Pop();
    if (FPendingTool == Tool) {
        FPendingTool = nullptr;
        FTimers->Show.stop();
    }
}

void TBalloonTip::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (auto* c = dynamic_cast<TControl*>(AComponent)) RemoveTool(c);
        if (FCurrentTool == AComponent) FCurrentTool = nullptr;
    }
}

void TBalloonTip::MouseMessage(TControl* Control, const TMessage& Message) {
    if (FTracking) return;
    const bool tool = IsTool(Control);
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        if (!tool) return;
        if (FShowing && FCurrentTool == Control) return;
        const TPoint pos = Control->ClientToScreen({SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
        if (FPendingTool == Control && FTimers->Show.isActive()) {
            FPendingPos = pos;
            return;
        }
        // Moving on from a tip that shows (or just hid) to the next tool
        // waits only the reshow delay.
        const bool recent =
            FShowing || (FLastHidden != 0 && Cardinal(GetTickCount() - FLastHidden) < Cardinal(DelayTime(TTDT_INITIAL)));
        if (FShowing) Pop();
        FPendingTool = Control;
        FPendingPos = pos;
        FTimers->Show.start(recent ? DelayTime(TTDT_RESHOW) : DelayTime(TTDT_INITIAL));
        break;
    }
    case CM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!tool) return;
        if (FPendingTool == Control) {
            FPendingTool = nullptr;
            FTimers->Show.stop();
        }
        if (FCurrentTool == Control) Pop();
        break;
    default:
        break;
    }
}

void TBalloonTip::TimerExpired() {
    TControl* tool = FPendingTool;
    FPendingTool = nullptr;
    if (!tool) return;
    // Below the mouse pointer, as tips show.
    ShowFor(tool, {FPendingPos.X, FPendingPos.Y + 20}, true);
}

TSize TBalloonTip::TipSize() {
    TCanvas& c = Canvas();
    TFont bold;
    bold.Assign(&Font());
    bold.SetStyle(TFontStyles{fsBold});
    const int limit = FMaxTipWidth > 0 ? FMaxTipWidth : 10000;
    int width = 0, height = 0;
    if (!FTitle.empty() || FIcon != TTI_NONE) {
        c.SetFont(bold);
        const TSize t = c.TextExtent(FTitle);
        width = t.cx + (FIcon != TTI_NONE ? IconSize + 4 : 0);
        height = std::max(t.cy, FIcon != TTI_NONE ? IconSize : 0) + 4;
    }
    c.SetFont(Font());
    TRect r = Rect(0, 0, limit, 0);
    c.DrawText(FTipText, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    width = std::min(std::max(width, int(r.Right)), limit);
    height += r.Bottom;
    return {width + 2 * Padding, height + 2 * Padding};
}

void TBalloonTip::ShowFor(TControl* Tool, TPoint ScreenPos, bool AutoPop) {
    String title = FTitle, text = FTipText;
    int icon = FIcon;
    if (OnGetText) OnGetText(this, Tool, title, text, icon);
    FTitle = title;
    FTipText = text;
    FIcon = icon >= TTI_NONE && icon <= TTI_ERROR ? icon : TTI_NONE;
    if (FTipText.empty()) {
        Pop();
        return;
    }
    FCurrentTool = Tool;
    SetColor(FTipBkColor);
    const TSize size = TipSize();
    // Kept on the monitor the position is on.
    const TRect area = Screen->MonitorWorkAreaFromPoint(ScreenPos);
    int x = std::min(ScreenPos.X, int(area.Right) - size.cx);
    int y = std::min(ScreenPos.Y, int(area.Bottom) - size.cy);
    x = std::max(x, int(area.Left));
    y = std::max(y, int(area.Top));
    SetBounds(x, y, size.cx, size.cy);
    FVisible = true;
    FShowing = true;
    QWidget* w = WidgetOf(this);
    w->setGeometry(x, y, size.cx, size.cy);
    w->setWindowOpacity(FOpacity / 255.0);
    w->show();
    Invalidate();
    FTimers->Hide.stop();
    if (AutoPop) FTimers->Hide.start(DelayTime(TTDT_AUTOPOP));
}

void TBalloonTip::Popup(TControl* Tool, TPoint ScreenPos) {
    FTimers->Show.stop();
    FPendingTool = nullptr;
    ShowFor(Tool, ScreenPos, !FTracking);
}

void TBalloonTip::Pop() {
    FTimers->Hide.stop();
    if (!FShowing) return;
    FShowing = false;
    FVisible = false;
    FCurrentTool = nullptr;
    FLastHidden = GetTickCount();
    if (HandleAllocated()) HandleImpl()->Widget->hide();
}

void TBalloonTip::TrackActivate(TControl* Tool, bool Activate) {
    FTracking = Activate;
    FTimers->Show.stop();
    FPendingTool = nullptr;
    if (Activate) ShowFor(Tool, BoundsRect().TopLeft(), false);
    else Pop();
}

void TBalloonTip::TrackPosition(TPoint ScreenPos) {
    if (!FTracking || !FShowing) {
        SetBounds(ScreenPos.X, ScreenPos.Y, Width(), Height());
        return;
    }
    SetBounds(ScreenPos.X, ScreenPos.Y, Width(), Height());
    WidgetOf(this)->move(ScreenPos.X, ScreenPos.Y);
}

void TBalloonTip::Paint() {
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    // The corners outside the rounded frame show the desktop's tip colour.
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clInfoBk);
    c.FillRect(r);
    c.Brush().SetColor(FTipBkColor);
    c.Pen().SetColor(clGray);
    c.RoundRect(r.Left, r.Top, r.Right, r.Bottom, Radius, Radius);
    int y = Padding;
    int x = Padding;
    if (FIcon != TTI_NONE) {
        // Information blue, warning yellow, error red: a disc with its mark.
        static const TColor discs[] = {clNone, TColor(0xD77800), TColor(0x00C8FF), TColor(0x2020E0)};
        static const Char marks[] = {0, u'i', u'!', u'x'};
        c.Brush().SetColor(discs[FIcon]);
        c.Pen().SetColor(discs[FIcon]);
        c.Ellipse(x, y, x + IconSize, y + IconSize);
        c.Brush().SetStyle(bsClear);
        TFont mark;
        mark.Assign(&Font());
        mark.SetStyle(TFontStyles{fsBold});
        mark.SetColor(FIcon == TTI_WARNING ? clBlack : clWhite);
        c.SetFont(mark);
        TRect m = Rect(x, y, x + IconSize, y + IconSize);
        c.DrawText(String(1, marks[FIcon]), m, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        x += IconSize + 4;
    }
    c.Brush().SetStyle(bsClear);
    if (!FTitle.empty() || FIcon != TTI_NONE) {
        TFont bold;
        bold.Assign(&Font());
        bold.SetStyle(TFontStyles{fsBold});
        bold.SetColor(FTipTextColor);
        c.SetFont(bold);
        const int h = std::max(c.TextHeight(u"Ag"), FIcon != TTI_NONE ? IconSize : 0);
        TRect t = Rect(x, y, r.Right - Padding, y + h);
        c.DrawText(FTitle, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        y += h + 4;
    }
    TFont plain;
    plain.Assign(&Font());
    plain.SetColor(FTipTextColor);
    c.SetFont(plain);
    TRect t = Rect(Padding, y, r.Right - Padding, r.Bottom - Padding);
    c.DrawText(FTipText, t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

TBalloonTip& EditBalloonTip() {
    static TBalloonTip* tip = new TBalloonTip(nullptr);  // lives as long as the program
    return *tip;
}

void ShowEditBalloonTip(TWinControl* Edit, const String& Title, const String& Text, int Icon) {
    TBalloonTip& tip = EditBalloonTip();
    tip.OnGetText = nullptr;
    Edit->FreeNotification(&tip);
    tip.SetTitle(Title, Icon);
    tip.SetTipText(Text);
    // Below the edit's text, near its left end.
    tip.Popup(Edit, Edit->ClientToScreen({std::min(10, Edit->Width() / 2), Edit->Height()}));
}

void HideEditBalloonTip(TWinControl* Edit) {
    TBalloonTip& tip = EditBalloonTip();
    if (tip.CurrentTool() == Edit) tip.Pop();
}

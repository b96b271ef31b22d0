// Hints: the tree answers the framework's hint requests with its own hint
// window, which measures and paints a node's hint, a tooltip for a text
// that does not fit, or an owner-drawn picture, and fades or slides it in
// through the tree's timed animation loop.

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Themes.h"
#include "framework/Windows.h"
#include "tree/LazyTrees.Utils.h"

#include <algorithm>

namespace {

constexpr int TTSS_NORMAL = 1;

}  // namespace

// Raised when a hint window goes away, so that an animation still running
// further up the call stack never touches a freed window.
bool HintWindowGone = true;

// ---------------------------------------------------------------------------
// The tree's side
// ---------------------------------------------------------------------------

THintWindowClass TBaseLazyTree::TreeHintWindowClass() {
    return [](TComponent* Owner) -> THintWindow* { return new TLazyTreeHintWindow(Owner); };
}

THintAnimationType TBaseLazyTree::ResolveHintAnimation() {
    THintAnimationType Result = HintAnimation;
    if (Result == hatSystemDefault) {
        int Animate = 0, Fade = 0;
        SystemParametersInfo(SPI_GETTOOLTIPANIMATION, 0, &Animate);
        SystemParametersInfo(SPI_GETTOOLTIPFADE, 0, &Fade);
        Result = !Animate ? hatNone : Fade ? hatFade : hatSlide;
    }
    if (Result == hatFade && !MMXAvailable) Result = hatSlide;
    return Result;
}

void TBaseLazyTree::DoGetHintKind(PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind) {
    if (OnGetHintKind) OnGetHintKind(this, Node, Column, Kind);
    else Kind = DefaultHintKind();
}

void TBaseLazyTree::DoDrawHint(TCanvas& Canvas, PLazyNode Node, TRect R, TColumnIndex Column) {
    if (OnDrawHint) OnDrawHint(this, &Canvas, Node, R, Column);
}

void TBaseLazyTree::DoGetHintSize(PLazyNode Node, TColumnIndex Column, TRect& R) {
    if (OnGetHintSize) OnGetHintSize(this, Node, Column, R);
}

String TBaseLazyTree::QueryCellHint(PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Hint();
}

String TBaseLazyTree::QueryCellTooltip(PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Hint();
}

String TCustomLazyStringTree::QueryCellHint(PLazyNode Node, TColumnIndex Column,
                                            TLTTooltipLineBreakStyle& LineBreakStyle) {
    String Text = TBaseLazyTree::QueryCellHint(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, Text);
    return Text;
}

String TCustomLazyStringTree::QueryCellTooltip(PLazyNode Node, TColumnIndex Column,
                                               TLTTooltipLineBreakStyle& LineBreakStyle) {
    String Text = TBaseLazyTree::QueryCellTooltip(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, Text);
    else Text = GetText(Node, Column);
    return Text;
}

void TBaseLazyTree::CMHintShow(TMessage& Message) {
    Message.Result = 1;
    THintInfo& Info = *HintInfoOf(Message);
    if (PtInRect(FLastHintRect, Info.CursorPos)) return;
    THitInfo Hit = GetHitTestInfoAt(Info.CursorPos.X, Info.CursorPos.Y);
    TCustomForm* Form = GetParentForm(this);
    const bool ShowOk = IsEditing() ? Hit.HitNode != FFocusedNode
                                    : Form ? Form->Active() || Screen->ActiveForm() != nullptr : Focused();
    if (GetCaptureControl() || !ShowHint() || Dragging() || IsMouseSelecting() || FStates.Contains(tsScrolling) ||
        !FHeader->States.Empty() || !ShowOk)
        return;
    Message.Result = 0;
    bool Allowed = false;
    Info.HintStr = u" ";
    const bool OverHeader =
        FHeader->UseColumns() && FHeader->Options.Contains(hoShowHint) && FHeader->InHeader(Info.CursorPos);
    if (OverHeader) {
        // Over the header: the hint of the column under the cursor, valid within its face.
        int Left = 0, Right = 0;
        const TColumnIndex Column = FHeader->Columns().ColumnAtWithBounds(Info.CursorPos, Left, Right);
        Info.CursorRect = TRect{Left, FHeaderRect.Top - FHeaderRect.Bottom, Right, 0};
        Info.HintPos.Y = std::max(Info.HintPos.Y, ClientToScreen(TPoint{0, 0}).Y);
        FHintData.DefaultHint.clear();
        if (Column >= 0 && GetKeyState(VK_LBUTTON) >= 0) {
            FHintData.DefaultHint = FHeader->Columns()[Column]->Hint();
            Allowed = !FHintData.DefaultHint.empty();
        }
        Hit = THitInfo{nullptr, {hiNowhere}, Column};
    } else if (HintMode != hmDefault && Hit.HitNode && Hit.HitColumn >= -1) {
        TLTHintKind Kind = vhkText;
        DoGetHintKind(Hit.HitNode, Hit.HitColumn, Kind);
        FHintData.HintRect = TRect{};
        bool Possible = true;
        if (Kind == vhkOwnerDraw) {
            DoGetHintSize(Hit.HitNode, Hit.HitColumn, FHintData.HintRect);
            Possible = FHintData.HintRect.Right > FHintData.HintRect.Left &&
                       FHintData.HintRect.Bottom > FHintData.HintRect.Top;
        }
        int SpanLeft = 0, SpanRight = ClientWidth();
        if (FHeader->UseColumns() && Hit.HitColumn >= 0) {
            const TLazyTreeColumns& Columns = FHeader->Columns();
            Columns.GetColumnBounds(Hit.HitColumn, SpanLeft, SpanRight);
            // A text may run on over the empty cells after its own.
            if (FOptions->AutoOptions().Contains(toAutoSpanColumns))
                for (TColumnIndex Next = Columns.GetNextVisibleColumn(Hit.HitColumn);
                     Next >= 0 && DoGetCellIsEmpty(Hit.HitNode, Next); Next = Columns.GetNextVisibleColumn(Next))
                    SpanRight += Columns[Next]->Width();
        }
        FHintData.DefaultHint.clear();
        if (Possible && HintMode == hmTooltip) {
            const bool Multiline = Hit.HitNode->States.Contains(vsMultiline);
            TRect R = GetDisplayRect(Hit.HitNode, Hit.HitColumn, true, !Multiline, !Multiline);
            if (!Multiline) {
                const TPoint Margin = GetCellContentMargin(Hit.HitNode, Hit.HitColumn, ccmtBottomRightOnly);
                const bool Inside = PtInRect(R, Info.CursorPos) && Info.CursorPos.X >= SpanLeft &&
                                    Info.CursorPos.X < SpanRight;
                const bool Cut = R.Right + Margin.X > std::min(SpanRight - 1, ClientWidth()) || R.Left < std::max(SpanLeft, 0) ||
                                 R.Bottom > ClientHeight() || R.Top < 0;
                Allowed = Inside && Cut;
            } else {
                Allowed = Hit.HitPositions.Contains(hiOnItemLabel);
            }
            if (Allowed) {
                Info.HintPos = ClientToScreen(TPoint{R.Left, R.Top});
                Info.CursorRect = R;
            }
        } else if (Possible) {
            TRect R = GetDisplayRect(Hit.HitNode, Hit.HitColumn, false);
            R.Left = SpanLeft;
            R.Right = SpanRight;
            Info.CursorRect = R;
            Info.HintPos.Y = std::max(Info.HintPos.Y, ClientToScreen(TPoint{0, R.Bottom}).Y) + 2;
            Allowed = true;
        }
    } else if (HintMode == hmHintAndDefault && !Hit.HitNode) {
        FHintData.DefaultHint = GetShortHint(Hint());
        Allowed = !FHintData.DefaultHint.empty();
    } else if (HintMode == hmDefault) {
        Info.HintStr = GetShortHint(Hint());
    }
    if (!Allowed) {
        FLastHintRect = TRect{};
        if (HintMode != hmDefault || OverHeader) Message.Result = 1;
    } else {
        Info.HintWindowClass = TreeHintWindowClass();
        FHintData.Tree = this;
        FHintData.Column = Hit.HitColumn;
        FHintData.Node = Hit.HitNode;
        FLastHintRect = Info.CursorRect;
        Info.HintData = &FHintData;
    }
    if (Message.Result == 0 && (Allowed || HintMode == hmDefault)) DoStateChange({tsHint});
    else DoStateChange({}, {tsHint});
}

// ---------------------------------------------------------------------------
// The hint window
// ---------------------------------------------------------------------------

TLazyTreeHintWindow::TLazyTreeHintWindow(TComponent* AOwner) : THintWindow(AOwner) { HintWindowGone = false; }

TLazyTreeHintWindow::~TLazyTreeHintWindow() { HintWindowGone = true; }

void TLazyTreeHintWindow::CreateParams(TCreateParams& Params) {
    THintWindow::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

TRect TLazyTreeHintWindow::CalcHintRect(int MaxWidth, const String&, void* AData) {
    if (!AData) return TRect{};
    FHintData = *static_cast<const TLTHintData*>(AData);
    TBaseLazyTree* Tree = FHintData.Tree;
    if (!Tree) return TRect{};
    PLazyNode Node = FHintData.Node;
    if (Node && FHintData.HintRect.Right > FHintData.HintRect.Left) return FHintData.HintRect;
    TLazyTreeColumns& Columns = Tree->Header().Columns();
    FHintData.Alignment = Tree->CellDisplayAlignment(FHintData.Column);
    TCanvas& C = Canvas();
    const bool Tooltip = Node && Tree->HintMode == hmTooltip;
    if (Tooltip) {
        C.SetFont(Tree->Font());
        if (auto* StringTree = dynamic_cast<TCustomLazyStringTree*>(Tree))
            StringTree->OnPaintText ? StringTree->OnPaintText(Tree, &C, Node, FHintData.Column, ttNormal) : void();
    } else {
        C.SetFont(Screen->HintFont());
    }
    TTextMetric Metric;
    C.GetTextMetrics(Metric);
    FTextHeight = Metric.tmHeight;
    FHintData.LineBreakStyle = hlbDefault;
    if (!FHintData.DefaultHint.empty()) FHintData.HintText = FHintData.DefaultHint;
    else if (Tooltip) FHintData.HintText = Tree->QueryCellTooltip(Node, FHintData.Column, FHintData.LineBreakStyle);
    else FHintData.HintText = Tree->QueryCellHint(Node, FHintData.Column, FHintData.LineBreakStyle);
    if (FHintData.HintText.empty()) return TRect{};
    if (!Tooltip) {
        TRect R{0, 0, MaxWidth, FTextHeight};
        C.DrawText(FHintData.HintText, R, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        R.Bottom += 6;
        R.Right += Tree->TextMargin() + FTextHeight;
        return R;
    }
    if (FHintData.LineBreakStyle == hlbDefault)
        FHintData.LineBreakStyle = Node->States.Contains(vsMultiline) ? hlbForceMultiLine : hlbForceSingleLine;
    TRect R;
    if (FHintData.LineBreakStyle == hlbForceMultiLine) {
        R = Tree->GetDisplayRect(Node, FHintData.Column, true);
        TRect T = R;
        C.DrawText(FHintData.HintText, T, DT_CALCRECT | DT_WORDBREAK);
        R.Right = T.Right + Tree->TextMargin() + 1;
        R.Bottom = T.Bottom;
        if (Tree->Header().UseColumns() && Columns.IsValidColumn(FHintData.Column) &&
            int(Node->NodeHeight) + 2 >= R.Bottom - R.Top && Columns[FHintData.Column]->Width() + 2 >= R.Right - R.Left &&
            R.Left >= 0 && Tree->ClientWidth() + 3 >= R.Right && R.Top >= 0 && Tree->ClientHeight() + 3 >= R.Bottom)
            return TRect{};
    } else {
        R = Tree->LastHintRect();
        if (Tree->TreeOptions().PaintOptions().Contains(toShowHorzGridLines)) --R.Bottom;
    }
    R = TRect{R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1};
    OffsetRect(R, -1 - R.Left, -1 - R.Top);
    return R;
}

void TLazyTreeHintWindow::ActivateHint(TRect Rect, const String&) {
    TBaseLazyTree* Tree = FHintData.Tree;
    FAnimationSteps = 0;
    const TPoint Cursor = GetCursorPos();
    if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top || !Tree ||
        !PtInRect(Tree->LastHintRect(), Tree->ScreenToClient(Cursor))) {
        Application->CancelHint();
        return;
    }
    const bool WasAnimating = Tree->TreeStates().Contains(tsInAnimation);
    if (WasAnimating) Tree->DoStateChange({}, {tsInAnimation});
    const int Width = Rect.Right - Rect.Left, Height = Rect.Bottom - Rect.Top;
    // Kept on the desktop.
    const TRect Desktop = Screen->DesktopRect();
    if (Rect.Top + Height > Desktop.Bottom) Rect.Top = Desktop.Bottom - Height;
    if (Rect.Left + Width > Desktop.Right) Rect.Left = Desktop.Right - Width;
    Rect.Top = std::max(Rect.Top, Desktop.Top);
    Rect.Left = std::max(Rect.Left, Desktop.Left);
    Rect.Right = Rect.Left + Width;
    Rect.Bottom = Rect.Top + Height;
    for (TBitmap* B : {&FBackground, &FDrawBuffer, &FTarget}) B->SetSize(Width, Height);
    if (Tree->HandleAllocated()) UpdateWindow(Tree->Handle());
    CaptureScreen(Rect, FBackground);
    FAnimation = Tree->ResolveHintAnimation();
    FFrameReady = FAnimation != hatNone;
    if (FFrameReady) FTarget.Canvas().Draw(0, 0, FBackground);  // nothing of the hint before the first step
    PaintHintPicture(0, -1);  // the picture, ready before the window shows
    THintWindow::ActivateHint(Rect, u" ");
    if (FAnimation == hatFade)
        Tree->RunAnimation(255, int(2 * Tree->AnimationDuration()),
                           [this](int Step, int StepSize, void*) { return AnimateHintStep(Step, StepSize); }, nullptr);
    else if (FAnimation == hatSlide)
        Tree->RunAnimation(Height, int(Tree->AnimationDuration()),
                           [this](int Step, int StepSize, void*) { return AnimateHintStep(Step, StepSize); }, nullptr);
    if (WasAnimating && !HintWindowGone && FHintData.Tree) Tree->DoStateChange({tsCancelHintAnimation});
}

bool TLazyTreeHintWindow::AnimateHintStep(int Step, int StepSize) {
    TBaseLazyTree* Tree = FHintData.Tree;
    if (HintWindowGone || !HandleAllocated() || !Visible() || !Tree ||
        Tree->TreeStates().Contains(tsCancelHintAnimation))
        return false;
    if (StepSize > 0) ++FAnimationSteps;
    PaintHintPicture(Step, StepSize);
    return true;
}

bool TLazyTreeHintWindow::IsHintMsg(const TMessage& Msg) {
    bool Result = THintWindow::IsHintMsg(Msg);
    if (Result && HandleAllocated() && Visible() &&
        (Msg.Msg == 0x00A0 /* non-client mouse move */ || (Msg.Msg >= WM_KEYFIRST && Msg.Msg <= WM_KEYLAST)))
        Result = false;
    return Result;
}

void TLazyTreeHintWindow::Paint() {
    if (FDrawBuffer.Width() != Width() || FDrawBuffer.Height() != Height()) {
        for (TBitmap* B : {&FBackground, &FDrawBuffer, &FTarget}) B->SetSize(Width(), Height());
        PaintHintPicture(0, 0);
    }
    Canvas().Draw(0, 0, FFrameReady ? FTarget : FDrawBuffer);
}

void TLazyTreeHintWindow::PaintHintPicture(int Step, int StepSize) {
    TBaseLazyTree* Tree = FHintData.Tree;
    const int W = FDrawBuffer.Width(), H = FDrawBuffer.Height();
    if (Step == 0 && StepSize <= 0 && Tree) {
        TCanvas& C = FDrawBuffer.Canvas();
        PLazyNode Node = FHintData.Node;
        int Y = 2;
        if (Node && Tree->HintMode == hmTooltip) {
            TRect R;
            String Text;
            Tree->GetTextInfo(Node, FHintData.Column, C.Font(), R, Text);
            Y = FHintData.LineBreakStyle == hlbForceMultiLine ? 1 : (H - (R.Bottom - R.Top)) / 2;
        } else {
            C.SetFont(Screen->HintFont());
        }
        TRect R{0, 0, W, H};
        TLTHintKind Kind = vhkText;
        if (Node) Tree->DoGetHintKind(Node, FHintData.Column, Kind);
        if (Kind == vhkOwnerDraw) {
            Tree->DoDrawHint(C, Node, R, FHintData.Column);
        } else {
            C.Font().SetColor(clInfoText);
            C.Pen().SetColor(clBlack);
            C.Pen().SetStyle(psSolid);
            C.Brush().SetColor(clInfoBk);
            C.Brush().SetStyle(bsSolid);
            const TLTPaintOptions Paint = Tree->TreeOptions().PaintOptions();
            const bool Explorer = Paint.Contains(toUseExplorerTheme);
            HTHEME Theme = PlatformVersionAtLeast6 && IsThemeActive() && (Paint.Contains(toThemeAware) || Explorer)
                               ? OpenThemeData(this, u"tooltip")
                               : HTHEME(0);
            if (Theme && Explorer) {
                DrawThemeBackground(Theme, C, TTP_STANDARD, TTSS_NORMAL, R);
            } else if (Theme) {
                // The tooltip face without its own border, framed by the raised window edge
                // (the renderer draws every window's edge alike).
                const TRect Face{R.Left - 4, R.Top - 4, R.Right + 4, R.Bottom + 4};
                DrawThemeBackground(Theme, C, TTP_STANDARD, TTSS_NORMAL, Face, &R);
                DrawThemeEdge(Theme, C, 0, 0, R, BDR_RAISEDOUTER, BF_RECT, nullptr);
            } else {
                C.Rectangle(R);
            }
            if (Theme) CloseThemeData(Theme);
            R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
            C.SetBkMode(TRANSPARENT);
            R.Top = Y;
            R.Left += 3;
            C.DrawText(FHintData.HintText, R,
                       DT_NOPREFIX | (Node && FHintData.LineBreakStyle == hlbForceMultiLine ? DT_WORDBREAK : 0));
        }
    }
    if (StepSize < 0) return;
    if (StepSize < 1) {
        // Plain painting and the end of an animation show the picture; a fade keeps its last step.
        if (FAnimation != hatFade) FFrameReady = false;
        if (HandleAllocated()) Invalidate();
        return;
    }
    if (FAnimation == hatFade) {
        // From the captured background to the picture, by a constant alpha.
        FTarget.Canvas().Draw(0, 0, FBackground);
        const int Alpha = MulDiv(Step, 256, 255);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const unsigned S = unsigned(FDrawBuffer.Canvas().Pixels(X, Y));
                const unsigned D = unsigned(FTarget.Canvas().Pixels(X, Y));
                unsigned V = 0;
                for (int Shift = 0; Shift < 24; Shift += 8) {
                    unsigned s = (S >> Shift) & 0xFF, d = (D >> Shift) & 0xFF;
                    V |= std::min(255u, (d * unsigned(256 - Alpha) + s * unsigned(Alpha)) / 256) << Shift;
                }
                FTarget.Canvas().SetPixels(X, Y, TColor(V));
            }
    } else if (FAnimation == hatSlide) {
        // The picture's bottom rows come down from the top edge.
        FTarget.Canvas().CopyRect(TRect{0, 0, W, Step}, FDrawBuffer.Canvas(), TRect{0, H - Step, W, H});
        FTarget.Canvas().CopyRect(TRect{0, Step, W, H}, FBackground.Canvas(), TRect{0, Step, W, H});
    } else {
        return;
    }
    FFrameReady = true;
    Invalidate();
    Update();
}

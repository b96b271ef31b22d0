// The tree's hints: the answer to a hint request, the hint window's size
// for plain hints and tooltips, keeping it on the desktop, the animation
// steps, and the messages that leave it open.

#include "tree/LazyTrees.h"
#include "tree/LazyTrees.Utils.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

namespace {

// One top-level node with a text far wider than the window.
struct HintTree {
    HintTree() {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 300, 200);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBorderStyle(TBaseLazyTree::bsNone);
        tree->SetBounds(0, 0, 120, 100);
        tree->SetShowHint(true);
        tree->OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLSTTextType, String& Text) {
            Text = u"A caption much wider than the little window";
        };
        tree->SetRootNodeCount(2);
        form.Show();
        tree->SetFocus();
    }
    ~HintTree() { SetThemeRenderer(trStyled); }
    // Asks the tree as the framework does when the hint pause is over.
    LRESULT Ask(THintInfo& Info, int X, int Y) {
        Info.HintControl = tree;
        Info.CursorPos = TPoint{X, Y};
        Info.CursorRect = tree->ClientRect();
        Info.HintPos = tree->ClientToScreen(TPoint{X, Y + 20});
        Info.HintStr = GetShortHint(tree->Hint());
        Info.HintMaxWidth = 400;
        return tree->Perform(CM_HINTSHOW, 0, LPARAM(&Info));
    }
    // A plain tooltip granted for the first row's cut text.
    THintInfo GrantedTooltip() {
        tree->HintMode = hmTooltip;
        tree->HintAnimation = hatNone;
        THintInfo Info;
        EXPECT_EQ(Ask(Info, 40, 5), 0);
        return Info;
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
};

}  // namespace

TEST(LazyTreesHint, TooltipIsGrantedForACutTextAndSizedToItsRectangle) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    THintInfo Info = f.GrantedTooltip();
    EXPECT_TRUE(Info.HintWindowClass);
    ASSERT_NE(Info.HintData, nullptr);
    const TRect Text = t.GetDisplayRect(t.GetFirst(), -1, true, true, true);  // unclipped, as the tooltip measures it
    EXPECT_EQ(t.LastHintRect(), Text);
    EXPECT_EQ(Info.CursorRect, Text);
    EXPECT_TRUE(t.TreeStates().Contains(tsHint));
    auto* const Data = static_cast<TLTHintData*>(Info.HintData);
    EXPECT_EQ(Data->Node, t.GetFirst());
    std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
    TRect R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
    // One pixel round the text rectangle, at -1, -1.
    EXPECT_EQ(R, (TRect{-1, -1, Text.Right - Text.Left + 1, Text.Bottom - Text.Top + 1}));
    EXPECT_EQ(static_cast<TLazyTreeHintWindow*>(Window.get())->HintData().HintText,
              u"A caption much wider than the little window");
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toShowHorzGridLines});
    R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
    EXPECT_EQ(R.Bottom - R.Top, Text.Bottom - Text.Top + 1);  // the grid line is not part of it
    // Asked again while the cursor stays in the rectangle: nothing changes.
    THintInfo Again;
    EXPECT_EQ(f.Ask(Again, 41, 6), 1);
    EXPECT_EQ(t.LastHintRect(), Text);
    int Pause = 500;
    t.Perform(CM_HINTSHOWPAUSE, 0, LPARAM(&Pause));
    EXPECT_EQ(Pause, 0);  // tooltips come at once
    // A node whose text fits gets no tooltip.
    t.OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex, TLSTTextType, String& Text) { Text = u"Fits"; };
    t.InvalidateNode(t.GetFirst());
    t.ReinitNode(t.GetFirst(), false);
    THintInfo Short;
    EXPECT_EQ(f.Ask(Short, 10, 25), 1);
    EXPECT_EQ(t.LastHintRect(), TRect{});
}

TEST(LazyTreesHint, PlainHintSizeAndDefaultMode) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    t.SetHint(u"Meters found|Long part");
    THintInfo Plain;
    EXPECT_EQ(f.Ask(Plain, 10, 5), 0);
    EXPECT_EQ(Plain.HintStr, u"Meters found");  // the framework's own hint
    EXPECT_EQ(Plain.HintData, nullptr);
    t.HintMode = hmHint;
    std::string Asked;
    t.OnGetHint = [&](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLTTooltipLineBreakStyle&, String& Text) {
        Asked += "node" + std::to_string(Node->Index) + ";";
        Text = u"Meter 1";
    };
    THintInfo Info;
    ASSERT_EQ(f.Ask(Info, 10, 25), 0);
    std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
    TRect R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
    EXPECT_EQ(Asked, "node1;");
    TBitmap Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas().SetFont(Screen->HintFont());
    TTextMetric Metric;
    Measure.Canvas().GetTextMetrics(Metric);
    EXPECT_EQ(R.Bottom - R.Top, Metric.tmHeight + 6);
    EXPECT_EQ(R.Right - R.Left, Measure.Canvas().TextWidth(u"Meter 1") + t.TextMargin() + Metric.tmHeight);
    // Below the nodes a hint-and-default tree shows the control's hint.
    t.HintMode = hmHintAndDefault;
    THintInfo Below;
    ASSERT_EQ(f.Ask(Below, 10, 80), 0);
    EXPECT_EQ(static_cast<TLTHintData*>(Below.HintData)->DefaultHint, u"Meters found");
}

TEST(LazyTreesHint, WindowStaysOnTheDesktopAndKeysLeaveItOpen) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    THintInfo Info = f.GrantedTooltip();
    ASSERT_TRUE(Info.HintWindowClass);
    SimulateMouseMove(&t, 40, 5);
    std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
    TRect R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
    const TRect Desktop = Screen->DesktopRect();
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    struct Case {
        TPoint At, Expected;
    } Cases[] = {
        {{Desktop.Right - W / 2, Desktop.Bottom - H / 2}, {Desktop.Right - W, Desktop.Bottom - H}},
        {{Desktop.Left - 30, Desktop.Top - 40}, {Desktop.Left, Desktop.Top}},
        {{Desktop.Left + 10, Desktop.Top + 20}, {Desktop.Left + 10, Desktop.Top + 20}},
    };
    for (const Case& c : Cases) {
        Window->ActivateHintData(TRect{c.At.X, c.At.Y, c.At.X + W, c.At.Y + H}, Info.HintStr, Info.HintData);
        EXPECT_EQ(Window->Left(), c.Expected.X) << c.At.X;
        EXPECT_EQ(Window->Top(), c.Expected.Y) << c.At.Y;
        EXPECT_EQ(Window->Width(), W);
    }
    EXPECT_TRUE(Window->IsHintShowing());
    TMessage Key{WM_KEYDOWN, VK_DOWN, 0, 0};
    TMessage Click{WM_LBUTTONDOWN, 0, 0, 0};
    EXPECT_FALSE(Window->IsHintMsg(Key));
    EXPECT_TRUE(Window->IsHintMsg(Click));
    // The picture: the info colour inside a black frame, text in it.
    TBitmap Picture;
    Picture.Assign(&static_cast<TLazyTreeHintWindow*>(Window.get())->DrawBuffer());
    EXPECT_EQ(Picture.Canvas().Pixels(0, 0), ColorToRGB(clBlack));
    EXPECT_EQ(Picture.Canvas().Pixels(1, 1), ColorToRGB(clInfoBk));
}

TEST(LazyTreesHint, FadeAndSlideRunTheirStepsWithinTheDuration) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    t.HintMode = hmTooltip;
    t.SetAnimationDuration(20);
    struct Case {
        THintAnimationType Animation;
        bool Mmx;
        THintAnimationType Resolved;
    } Cases[] = {
        {hatFade, true, hatFade},
        {hatSlide, true, hatSlide},
        {hatFade, false, hatSlide},  // no blending: the hint slides
        {hatNone, true, hatNone},
    };
    for (const Case& c : Cases) {
        MMXAvailable = c.Mmx;
        t.HintAnimation = c.Animation;
        EXPECT_EQ(t.ResolveHintAnimation(), c.Resolved);
        THintInfo Info;
        ASSERT_EQ(f.Ask(Info, 40, 5 + int(c.Animation)), 0) << c.Animation;
        SimulateMouseMove(&t, 40, 5 + int(c.Animation));
        std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
        TRect R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
        OffsetRect(R, 100, 100);
        Window->ActivateHintData(R, Info.HintStr, Info.HintData);
        auto* W = static_cast<TLazyTreeHintWindow*>(Window.get());
        const int Height = R.Bottom - R.Top;
        // Fading: 255 levels over 40 ms, in steps of round(255 / 40) = 6 levels at least;
        // sliding: one row or more per step over 20 ms.
        if (c.Resolved == hatFade) {
            EXPECT_GT(W->AnimationSteps(), 0);
            EXPECT_LE(W->AnimationSteps(), 255 / 6);
        } else if (c.Resolved == hatSlide) {
            EXPECT_GT(W->AnimationSteps(), 0);
            EXPECT_LE(W->AnimationSteps(), Height);
        } else {
            EXPECT_EQ(W->AnimationSteps(), 0);
        }
        EXPECT_FALSE(t.TreeStates().Contains(tsInAnimation));
        Application->CancelHint();
        THintInfo Away;
        f.Ask(Away, 5, 95);  // below the nodes: the last rectangle is forgotten
    }
    MMXAvailable = true;
}

TEST(LazyTreesHint, TooltipFaceFollowsTheRendererAndTheThemeOptions) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    const TLTPaintOptions Plain = t.TreeOptions().PaintOptions() - TLTPaintOptions{toThemeAware};
    struct Case {
        TThemeRenderer Renderer;
        TLTPaintOptions Options;
        TColor Frame, Face;
    } Cases[] = {
        {trClassic, Plain + TLTPaintOptions{toThemeAware}, ColorToRGB(clBlack), ColorToRGB(clInfoBk)},
        // The themed face loses its own border to the raised window edge.
        {trStyled, Plain + TLTPaintOptions{toThemeAware}, RGB(130, 135, 144), RGB(255, 255, 255)},
        {trStyled, Plain + TLTPaintOptions{toUseExplorerTheme}, RGB(118, 118, 118), RGB(255, 255, 255)},
        {trStyled, Plain, ColorToRGB(clBlack), ColorToRGB(clInfoBk)},
    };
    for (const Case& c : Cases) {
        SetThemeRenderer(c.Renderer);
        t.TreeOptions().SetPaintOptions(c.Options);
        THintInfo Info = f.GrantedTooltip();
        ASSERT_TRUE(Info.HintWindowClass);
        SimulateMouseMove(&t, 40, 5);
        std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
        TRect R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
        OffsetRect(R, 100, 100);
        Window->ActivateHintData(R, Info.HintStr, Info.HintData);
        const TBitmap& Picture = static_cast<TLazyTreeHintWindow*>(Window.get())->DrawBuffer();
        TBitmap Copy;
        Copy.Assign(&Picture);
        EXPECT_EQ(Copy.Canvas().Pixels(0, 0), c.Frame) << c.Renderer << " " << c.Options.Contains(toUseExplorerTheme);
        EXPECT_EQ(Copy.Canvas().Pixels(Copy.Width() - 1, Copy.Height() - 1), c.Frame);
        EXPECT_EQ(Copy.Canvas().Pixels(1, 1), c.Face);
        Application->CancelHint();
        THintInfo Away;
        f.Ask(Away, 5, 95);
    }
}

TEST(LazyTreesHint, ATextRunningIntoEmptyCellsNeedsNoTooltip) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    for (int I = 0; I < 2; ++I) t.Header().Columns().Add()->SetWidth(60);
    t.OnGetText = [](TBaseLazyTree*, PLazyNode, TColumnIndex Column, TLSTTextType, String& Text) {
        Text = Column == 0 ? String(u"Meter 1234") : String();
    };
    const TRect Text = t.GetDisplayRect(t.GetFirst(), 0, true, true);
    ASSERT_GT(Text.Right, 59) << "cut by its own column";
    ASSERT_LT(Text.Right, 119) << "but not by the two";
    t.HintMode = hmTooltip;
    THintInfo Cut;
    EXPECT_EQ(f.Ask(Cut, 40, 5), 0);
    THintInfo Away;
    f.Ask(Away, 5, 95);
    t.TreeOptions().SetAutoOptions(t.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoSpanColumns});
    THintInfo Spanned;
    EXPECT_EQ(f.Ask(Spanned, 40, 5), 1) << "the text shows whole over the empty cell";
}

TEST(LazyTreesHint, ColumnHintsShowOverTheHeader) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    for (const char16_t* Hint : {u"Secondary address", u""}) {
        TLazyTreeColumn* Column = t.Header().Columns().Add();
        Column->SetWidth(60);
        Column->SetHint(Hint);
    }
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoVisible, hoShowHint});
    const int HeaderHeight = t.HeaderRect().Bottom - t.HeaderRect().Top;
    ASSERT_GT(HeaderHeight, 0);
    THintInfo Info;
    ASSERT_EQ(f.Ask(Info, 30, -5), 0);
    ASSERT_NE(Info.HintData, nullptr);
    EXPECT_EQ(static_cast<TLTHintData*>(Info.HintData)->DefaultHint, u"Secondary address");
    EXPECT_EQ(Info.CursorRect, (TRect{0, -HeaderHeight, 60, 0}));
    EXPECT_GE(Info.HintPos.Y, t.ClientToScreen(TPoint{0, 0}).Y);
    std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
    TRect R = Window->CalcHintRect(400, Info.HintStr, Info.HintData);
    EXPECT_GT(R.Right - R.Left, 0);
    EXPECT_EQ(static_cast<TLazyTreeHintWindow*>(Window.get())->HintData().HintText, u"Secondary address");
    // A column without a hint shows none; nor does the header without the option.
    THintInfo Empty;
    EXPECT_EQ(f.Ask(Empty, 90, -5), 1);
    // Over the header its hints come at once while no hint window stands; over the rows the pause stays.
    t.HintMode = hmHint;
    Window.reset();
    struct Pause {
        int Y;
        bool ShowHint;
        int Want;
    } Pauses[] = {{-5, true, 0}, {5, true, 500}, {-5, false, 500}};
    for (const Pause& c : Pauses) {
        THeaderOptions Options = t.Header().Options;
        if (c.ShowHint) Options.Include(hoShowHint);
        else Options.Exclude(hoShowHint);
        t.Header().SetOptions(Options);
        SimulateMouseMove(&t, 30, c.Y);
        int Got = 500;
        t.Perform(CM_HINTSHOWPAUSE, 0, LPARAM(&Got));
        EXPECT_EQ(Got, c.Want) << c.Y << " " << c.ShowHint;
    }
    t.Header().SetOptions(t.Header().Options - THeaderOptions{hoShowHint});
    THintInfo Off;
    f.Ask(Off, 30, -5);
    EXPECT_EQ(Off.HintData, nullptr);
}

TEST(LazyTreesHint, TextInfoGivesTheCellTextInItsFontCentredOnOneLine) {
    HintTree f;
    TLazyStringTree& t = *f.tree;
    PLazyNode Node = t.GetFirst();
    TBaseLazyTree Base(nullptr);
    TFont Got;
    TRect R{1, 2, 3, 4};
    String Text = u"x";
    Base.GetTextInfo(nullptr, -1, Got, R, Text);
    EXPECT_EQ(R, TRect{});
    EXPECT_TRUE(Text.empty());
    EXPECT_EQ(Got.Size(), Base.Font().Size());
    for (int Size : {0, 20})
        for (bool GridLines : {false, true}) {
            t.OnPaintText = [Size](TBaseLazyTree*, TCanvas* C, PLazyNode, TColumnIndex, TLSTTextType) {
                if (Size) C->Font().SetSize(Size);
            };
            TLTPaintOptions Options = t.TreeOptions().PaintOptions() - TLTPaintOptions{toShowHorzGridLines};
            if (GridLines) Options.Include(toShowHorzGridLines);
            t.TreeOptions().SetPaintOptions(Options);
            t.GetTextInfo(Node, -1, Got, R, Text);
            EXPECT_EQ(Text, u"A caption much wider than the little window");
            EXPECT_EQ(Got.Size(), Size ? Size : t.Font().Size());
            TBitmap Measure;
            Measure.SetSize(1, 1);
            Measure.Canvas().SetFont(Got);
            TTextMetric Metric{};
            Measure.Canvas().GetTextMetrics(Metric);
            const TRect Cell = t.GetDisplayRect(Node, -1, true);
            const int Bottom = Cell.Bottom - (GridLines ? 1 : 0);
            EXPECT_EQ(R.Left, Cell.Left);
            EXPECT_EQ(R.Right, Cell.Right);
            EXPECT_LE(std::abs((R.Bottom - R.Top) - Metric.tmHeight), 1) << Size << GridLines;
            EXPECT_LE(std::abs((R.Top - Cell.Top) - (Bottom - R.Bottom)), 1) << Size << GridLines;
        }
}

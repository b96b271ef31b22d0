#include "controls/ExPageControl.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TColor WindowColor = 0xEDF7F8;

TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

bool Dark(TColor c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }

// A focusable child of a page.
class Field : public TCustomControl {
public:
    explicit Field(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

// The M-Bus network editor's page control: tabs on the left in the flat
// look, two pages, the window's colours and margins.
struct Editor {
    explicit Editor(int pages = 2) {
        form.SetColor(WindowColor);
        form.SetBounds(40, 40, 560, 360);
        pc = new TExPageControl(&form);
        pc->SetParent(&form);
        pc->SetBounds(10, 10, 520, 300);
        pc->SetTabStyle(tsDotNet);
        pc->SetTabPosition(tpLeft);
        pc->SetMultiLine(true);
        pc->SetActiveColor(clSkyBlue);
        pc->SetDefaultTabColor(WindowColor);
        pc->SetTabBackGroundColor(WindowColor);
        pc->TabMargin().SetTopMargin(10);
        pc->TabMargin().SetRightMargin(20);
        pc->SetTabOverlap(0);
        TFont f;
        f.SetName(u"Verdana");
        f.SetHeight(-13);
        pc->SetFont(f);
        pc->SetActiveFont(f);
        const char16_t* captions[] = {u"Nodes     ", u"Variables     ", u"Third     "};
        for (int i = 0; i < pages; ++i) {
            auto* page = new TExTabSheet(&form);
            page->SetName(i == 0 ? u"TS_Nodes" : i == 1 ? u"TS_Variables" : u"TS_Third");
            page->SetExPageControl(pc);
            page->SetColor(WindowColor);
            page->SetTabColor(WindowColor);
            page->SetImageIndex(-1);
            page->SetCaption(captions[i]);
            sheets.push_back(page);
        }
        pc->SetActivePage(sheets[0]);
        form.Show();
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(pc, *b);
        return b;
    }
    TForm form{nullptr};
    TExPageControl* pc;
    std::vector<TExTabSheet*> sheets;
};

}  // namespace

TEST(ExTabSheet, MeasuringTextFollowsCaptionAndCloseButton) {
    struct Case {
        const char16_t* caption;
        bool showClose;
        const char16_t* measuring;
    };
    const Case cases[] = {
        {u"Nodes     ", false, u"Nodes   "}, {u"ab", false, u""}, {u"ab", true, u"ab "}, {u"x", false, u""},
    };
    for (const Case& c : cases) {
        TExTabSheet page(nullptr);
        page.SetShowClose(c.showClose);
        page.SetCaption(c.caption);
        EXPECT_EQ(page.TabCaption(), c.measuring);
        EXPECT_EQ(page.GetCaption(), c.caption);
    }
    // Switching the close button on and off measures from the full caption each time.
    TExTabSheet page(nullptr);
    page.SetCaption(u"Variables     ");
    page.SetShowClose(true);
    page.SetShowClose(false);
    EXPECT_EQ(page.TabCaption(), u"Variables   ");
    EXPECT_EQ(page.GetCaption(), u"Variables     ");
}

TEST(ExPageControl, EditorTabItemsAndRectangles) {
    Editor e;
    TExPageControl& pc = *e.pc;
    ASSERT_EQ(pc.ItemCount(), 2);
    EXPECT_EQ(pc.ItemText(0), u"Nodes   ");
    EXPECT_EQ(pc.ItemText(1), u"Variables   ");
    EXPECT_EQ(pc.ItemObject(1), e.sheets[1]);
    const TRect r0 = pc.GetPageTabRect(e.sheets[0]), r1 = pc.GetPageTabRect(e.sheets[1]);
    EXPECT_EQ(r0.Left, 2);
    EXPECT_EQ(r0.Top, 2);
    EXPECT_EQ(r1.Top, r0.Bottom);
    EXPECT_EQ(r1.Right, r0.Right);
    // The page fills what the tabs leave inside the frame.
    EXPECT_EQ(e.sheets[0]->Left(), r0.Right + 4);
    EXPECT_EQ(e.sheets[0]->Top(), 4);
    EXPECT_EQ(e.sheets[0]->Width(), 520 - 4 - (r0.Right + 4));
    EXPECT_TRUE(e.sheets[0]->Visible());
    EXPECT_FALSE(e.sheets[1]->Visible());
}

TEST(ExPageControl, EditorIsPaintedWithTheFlatLookOnTheLeft) {
    Editor e;
    TExPageControl& pc = *e.pc;
    auto bmp = e.Render();
    TCanvas& c = bmp->Canvas();
    const int W = pc.Width(), H = pc.Height();
    const TRect r0 = pc.GetPageTabRect(e.sheets[0]), r1 = pc.GetPageTabRect(e.sheets[1]);
    const int S = r0.Right, M = r1.Bottom;

    // The strip in the window colour, the page frame in gray with its outer line in the control's colour.
    EXPECT_EQ(c.Pixels(1, M + 20), WindowColor);
    EXPECT_EQ(c.Pixels(W - 2, H / 2), clGray);
    EXPECT_EQ(c.Pixels(W / 2, H - 2), clGray);
    EXPECT_EQ(c.Pixels(W / 2, 0), clGray);
    EXPECT_EQ(c.Pixels(S, M + 20), clGray);
    EXPECT_EQ(c.Pixels(W - 1, H / 2), ColorToRGB(clBtnFace));

    // The active tab: sky blue, gray on its top, left and bottom, open toward the page.
    EXPECT_EQ(c.Pixels(r0.Right - 2, r0.Top + 2), clSkyBlue);
    EXPECT_EQ(c.Pixels(r0.Left + 4, r0.Top), clGray);
    EXPECT_EQ(c.Pixels(r0.Left - 1, r0.Top + 8), clGray);
    EXPECT_EQ(c.Pixels(r0.Left + 4, r0.Bottom), clGray);
    EXPECT_EQ(c.Pixels(S, r0.Top + 8), WindowColor);

    // The other tab: its own colour, a gray edge toward the page and, as the
    // last tab of the strip, the two-pixel sky-blue separator near its bottom.
    EXPECT_EQ(c.Pixels(r1.Right - 2, r1.Top + 4), WindowColor);
    EXPECT_EQ(c.Pixels(S, r1.Top + 8), clGray);
    EXPECT_EQ(c.Pixels(r1.Left + 4, r1.Bottom - 2), clSkyBlue);
    EXPECT_EQ(c.Pixels(r1.Left + 4, r1.Bottom - 3), clSkyBlue);
    EXPECT_NE(c.Pixels(r1.Left + 4, r1.Bottom - 4), clSkyBlue);
}

TEST(ExPageControl, LeftCaptionsReadUpwardFromFourteenAboveTheBottom) {
    Editor e;
    TExPageControl& pc = *e.pc;
    auto bmp = e.Render();
    TCanvas& c = bmp->Canvas();
    struct Tab {
        TExTabSheet* page;
        int xOrigin;
    };
    const TRect r0 = pc.GetPageTabRect(e.sheets[0]), r1 = pc.GetPageTabRect(e.sheets[1]);
    for (const Tab& t : {Tab{e.sheets[0], r0.Left + 3}, Tab{e.sheets[1], r1.Left + 1}}) {
        const TRect r = pc.GetPageTabRect(t.page);
        const int yOrigin = r.Bottom - 14;
        int top = r.Bottom, bottom = -1, leftmost = r.Right;
        for (int y = r.Top; y < r.Bottom - 3; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (Dark(c.Pixels(x, y))) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    leftmost = std::min(leftmost, x);
                }
        ASSERT_GE(bottom, 0);
        EXPECT_LE(bottom, yOrigin);  // nothing below the origin: the text runs upward
        EXPECT_GE(bottom, yOrigin - 3);
        EXPECT_GE(leftmost, t.xOrigin);  // the text cell starts at the origin's x
        EXPECT_GT(yOrigin - top, 30);    // the visible characters only, upward
        // The first letter (a capital) lies at the bottom: its ink reaches
        // further left (toward the letters' tops) than the last, small one.
        auto leftInk = [&](int y0, int y1) {
            int l = r.Right;
            for (int y = y0; y < y1; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    if (Dark(c.Pixels(x, y))) l = std::min(l, x);
            return l;
        };
        EXPECT_LT(leftInk(bottom - 6, bottom + 1), leftInk(top, top + 4));
    }
}

TEST(ExPageControl, ClickOnATabSwitchesThePage) {
    Editor e;
    TExPageControl& pc = *e.pc;
    int changes = 0;
    pc.OnChange = [&](TObject*) { ++changes; };
    const TPoint p = Centre(pc.GetPageTabRect(e.sheets[1]));
    SimulateClick(&pc, p.X, p.Y);
    EXPECT_EQ(pc.ActivePage(), e.sheets[1]);
    EXPECT_EQ(pc.ActivePageIndex(), 1);
    EXPECT_EQ(pc.TabIndex(), 1);
    EXPECT_TRUE(e.sheets[1]->Visible());
    EXPECT_FALSE(e.sheets[0]->Visible());
    EXPECT_EQ(changes, 1);
    auto bmp = e.Render();
    const TRect r1 = pc.GetPageTabRect(e.sheets[1]);
    EXPECT_EQ(bmp->Canvas().Pixels(r1.Right - 2, r1.Top + 2), clSkyBlue);
    // A refusing OnCanChange keeps the page.
    int asked = 0;
    pc.OnCanChange = [&](TObject*, int from, int to, bool& allow) {
        EXPECT_EQ(from, 1);
        EXPECT_EQ(to, 0);  // the page under the mouse
        ++asked;
        allow = false;
    };
    const TPoint q = Centre(pc.GetPageTabRect(e.sheets[0]));
    SimulateClick(&pc, q.X, q.Y);
    EXPECT_EQ(pc.ActivePage(), e.sheets[1]);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(changes, 1);
}

TEST(ExPageControl, CtrlTabCyclesThePagesAndShiftGoesBack) {
    Editor e(3);
    TExPageControl& pc = *e.pc;
    auto* field = new Field(&e.form);
    field->SetParent(e.sheets[0]);
    field->SetBounds(10, 10, 50, 20);
    field->SetFocus();
    ASSERT_TRUE(field->Focused());
    SimulateKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(pc.ActivePage(), e.sheets[1]);
    SimulateKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(pc.ActivePage(), e.sheets[2]);
    SimulateKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(pc.ActivePage(), e.sheets[0]);  // wraps to the first
    SimulateKey(VK_TAB, {ssCtrl, ssShift});
    EXPECT_EQ(pc.ActivePage(), e.sheets[2]);
    // A hidden tab is skipped.
    e.sheets[0]->SetTabVisible(false);
    SimulateKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(pc.ActivePage(), e.sheets[1]);
}

TEST(ExPageControl, HiddenTabsAndTabIndexes) {
    Editor e(3);
    TExPageControl& pc = *e.pc;
    e.sheets[1]->SetTabVisible(false);
    EXPECT_EQ(pc.ItemCount(), 2);
    EXPECT_EQ(e.sheets[1]->TabIndex(), -1);
    EXPECT_EQ(e.sheets[2]->TabIndex(), 1);
    const TPoint p = Centre(pc.TabRect(1));
    EXPECT_EQ(pc.PageIndexAt(p.X, p.Y), 2);
    EXPECT_EQ(pc.FindNextPage(nullptr, true, true), e.sheets[0]);
    EXPECT_EQ(pc.FindNextPage(e.sheets[0], true, true), e.sheets[2]);
    // Hiding the active page's tab makes the page at the same position active.
    e.sheets[0]->SetTabVisible(false);
    EXPECT_EQ(pc.ActivePage(), e.sheets[2]);
    EXPECT_EQ(pc.TabIndex(), 0);
}

TEST(ExPageControl, PageIndexRefusesPlacesOutsideTheList) {
    Editor e(3);
    for (int bad : {3, -1}) {
        try {
            e.sheets[0]->SetPageIndex(bad);
            FAIL() << bad;
        } catch (const EListError& err) {
            EXPECT_EQ(err.Message(), Format(u"%d is an invalid PageIndex value.  PageIndex must be between 0 and 2",
                                            {bad}));
        }
        EXPECT_EQ(e.sheets[0]->PageIndex(), 0);
    }
    e.sheets[0]->SetPageIndex(2);
    EXPECT_EQ(e.pc->Pages(2), e.sheets[0]);
    EXPECT_EQ(e.pc->ItemObject(2), e.sheets[0]);
    EXPECT_EQ(e.pc->ItemObject(0), e.sheets[1]);
    EXPECT_EQ(e.pc->ActivePage(), e.sheets[0]);
}

TEST(ExPageControl, RefusedSettings) {
    Editor e;
    try {
        e.pc->SetTabSplitLine(true);
        FAIL();
    } catch (const Exception& err) {
        EXPECT_EQ(err.Message(), u"TabSplitLine must be false when TabStyle is tsDotNet");
    }
    EXPECT_FALSE(e.pc->TabSplitLine());
    try {
        e.sheets[0]->SetTabEnable(false);
        FAIL();
    } catch (const Exception& err) {
        EXPECT_EQ(err.Message(), u"Can not disable active tab.");
    }
    EXPECT_TRUE(e.sheets[0]->TabEnable());
    e.sheets[1]->SetTabEnable(false);
    EXPECT_FALSE(e.sheets[1]->TabEnable());
    // A disabled page is not activated.
    e.pc->SetActivePage(e.sheets[1]);
    EXPECT_EQ(e.pc->ActivePage(), e.sheets[0]);
}

TEST(ExPageControl, DefaultColoursReachThePagesThatHadTheOldOne) {
    Editor e(3);
    e.sheets[2]->SetTabColor(clRed);
    e.pc->SetDefaultTabColor(clYellow);
    EXPECT_EQ(e.sheets[0]->TabColor(), clYellow);
    EXPECT_EQ(e.sheets[1]->TabColor(), clYellow);
    EXPECT_EQ(e.sheets[2]->TabColor(), clRed);
    // A joining page takes the defaults for its unset colours.
    e.pc->SetDefaultTextColor(clRed);
    TExTabSheet plain(nullptr), own(nullptr);
    own.SetTextColor(1);
    plain.SetExPageControl(e.pc);
    own.SetExPageControl(e.pc);
    EXPECT_EQ(plain.TextColor(), clRed);
    EXPECT_EQ(own.TextColor(), 1);
    plain.SetExPageControl(nullptr);
    own.SetExPageControl(nullptr);
}

TEST(ExPageControl, CloseButtonClosesAndTheClosedPageCanBeReopened) {
    Editor e(3);
    TExPageControl& pc = *e.pc;
    e.sheets[0]->SetShowClose(true);
    EXPECT_EQ(pc.ItemText(0), u"Nodes      ");
    const TRect r0 = pc.GetPageTabRect(e.sheets[0]);
    // The button: left + 2 .. left + 14 across, bottom - TopMargin - 13 .. - 2 along.
    const int bx = r0.Left + 8, by = r0.Bottom - 10 - 7;
    ASSERT_TRUE(pc.PtInCloseButton(e.sheets[0], bx, by));
    bool refuse = true;
    e.sheets[0]->OnCanClose = [&](TObject*, bool& can) { can = !refuse; };
    SimulateClick(&pc, bx, by);
    EXPECT_EQ(pc.ActivePage(), e.sheets[0]);
    refuse = false;
    int closed = 0;
    e.sheets[0]->OnClose = [&](TObject*) { ++closed; };
    SimulateClick(&pc, bx, by);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(pc.ActivePage(), e.sheets[1]);
    EXPECT_EQ(pc.PageCount(), 2);
    EXPECT_EQ(e.sheets[0]->ExPageControl(), nullptr);
    ASSERT_EQ(pc.ClosedTabList().Count(), 1);
    EXPECT_EQ(pc.ClosedTabList()[0], u"TS_Nodes");

    EXPECT_TRUE(pc.OpenClosedTab(u"TS_Nodes"));
    EXPECT_TRUE(pc.OpenClosedTab(u"TS_Nodes"));
    EXPECT_FALSE(pc.OpenClosedTab(u"TS_Other"));
    EXPECT_EQ(pc.PageCount(), 3);
    EXPECT_EQ(pc.Pages(2), e.sheets[0]);  // reopened at the end
    EXPECT_EQ(pc.ClosedTabList().Count(), 1);
}

TEST(ExPageControl, ClosingTheOnlyVisiblePageLeavesNoneActive) {
    Editor e(1);
    TExPageControl& pc = *e.pc;
    e.sheets[0]->SetShowClose(true);
    const TRect r0 = pc.GetPageTabRect(e.sheets[0]);
    SimulateClick(&pc, r0.Left + 8, r0.Bottom - 17);
    EXPECT_EQ(pc.ActivePage(), nullptr);
    EXPECT_EQ(pc.TabIndex(), -1);
    EXPECT_EQ(pc.PageCount(), 0);
    pc.OpenAllClosedTabs();
    EXPECT_EQ(pc.PageCount(), 1);
}

TEST(ExPageControl, BoldActiveFontWidensTheActiveItem) {
    Editor e;
    TExPageControl& pc = *e.pc;
    TFont bold;
    bold.Assign(&pc.Font());
    bold.SetStyle({fsBold});
    pc.SetActiveFont(bold);
    const String item = pc.ItemText(0);
    ASSERT_GT(item.size(), e.sheets[0]->TabCaption().size());
    EXPECT_EQ(item.substr(0, e.sheets[0]->TabCaption().size()), e.sheets[0]->TabCaption());
    EXPECT_EQ(item.find_first_not_of(u' ', e.sheets[0]->TabCaption().size()), String::npos);
    pc.SetActivePage(e.sheets[1]);
    EXPECT_EQ(pc.ItemText(0), e.sheets[0]->TabCaption());
    EXPECT_GT(pc.ItemText(1).size(), e.sheets[1]->TabCaption().size());
}

TEST(ExPageControl, EveryPositionAndStylePaintsItsActiveTab) {
    for (TTabPosition pos : {tpTop, tpBottom, tpLeft, tpRight})
        for (TTabStyle style : {tsClassic, tsDotNet}) {
            Editor e;
            e.pc->SetTabStyle(style);
            e.pc->SetTabPosition(pos);
            auto bmp = e.Render();
            const TRect r = e.pc->GetPageTabRect(e.sheets[0]);
            const TPoint p = Centre(r);
            // Somewhere in the active tab the active colour shows, away from its caption.
            int sky = 0;
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) sky += bmp->Canvas().Pixels(x, y) == clSkyBlue;
            EXPECT_GT(sky, r.Width() * r.Height() / 4) << pos << style;
            EXPECT_NE(bmp->Canvas().Pixels(p.X, p.Y), -1);
        }
}

// ---------------------------------------------------------------------------
// Drawing routines

TEST(TabDrawing, GradientBands) {
    TBitmap b(10, 4);
    DrawTabGradient(b.Canvas(), clRed, clBlue, 0, Rect(0, 0, 10, 4), true);  // 0 steps: one band
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixels(9, 3), clRed);
    DrawTabGradient(b.Canvas(), clBlack, clWhite, 2, Rect(0, 0, 10, 4), true);
    EXPECT_EQ(b.Canvas().Pixels(4, 0), clBlack);
    EXPECT_EQ(b.Canvas().Pixels(5, 0), RGB(128, 128, 128));  // band 1 from x 5, 127.5 rounded to even
    DrawTabGradient(b.Canvas(), clBlack, clWhite, 4, Rect(0, 0, 10, 4), false);
    EXPECT_EQ(b.Canvas().Pixels(3, 0), clBlack);
    EXPECT_EQ(b.Canvas().Pixels(3, 3), RGB(191, 191, 191));  // 0 + round(3 * 255 / 4)
}

TEST(TabDrawing, SlicesStretchTheMiddleRowsAndKeepTheKeyColour) {
    // 4 x 6: rows in distinct colours, bottom-left pixel the key.
    TBitmap src(4, 6);
    const TColor rows[] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
    for (int y = 0; y < 6; ++y) {
        src.Canvas().Brush().SetColor(rows[y]);
        src.Canvas().FillRect(Rect(0, y, 4, y + 1));
    }
    src.Canvas().SetPixels(0, 5, clOlive);
    src.Canvas().SetPixels(3, 0, clOlive);
    TBitmap dst(4, 10);
    dst.Canvas().Brush().SetColor(clWhite);
    dst.Canvas().FillRect(Rect(0, 0, 4, 10));
    DrawVerticalSlices(src, dst.Canvas(), 0, 0, 6);  // length = height: unchanged
    for (int y = 0; y < 6; ++y) EXPECT_EQ(dst.Canvas().Pixels(1, y), rows[y]) << y;
    EXPECT_EQ(dst.Canvas().Pixels(3, 0), clWhite);  // key colour left out

    dst.Canvas().FillRect(Rect(0, 0, 4, 10));
    DrawVerticalSlices(src, dst.Canvas(), 0, 0, 10);
    // Rows 0-2 as they are, rows 2-3 stretched over 4 rows, rows 3-5 at the end.
    EXPECT_EQ(dst.Canvas().Pixels(1, 0), clRed);
    EXPECT_EQ(dst.Canvas().Pixels(1, 2), clBlue);
    EXPECT_EQ(dst.Canvas().Pixels(1, 3), clBlue);   // stretched row 2 (h div 2 - 1)
    EXPECT_EQ(dst.Canvas().Pixels(1, 6), clYellow); // stretched row 3
    EXPECT_EQ(dst.Canvas().Pixels(1, 7), clYellow); // the bottom half starts with row 3
    EXPECT_EQ(dst.Canvas().Pixels(1, 9), clFuchsia);
}

TEST(ExPageControl, HoverColourFollowsTheMouseOverTheTabs) {
    Editor e;
    TExPageControl& pc = *e.pc;
    pc.SetTabHoverColor(clLime);
    pc.SetTabHoverBorder(clRed);
    const TRect r1 = pc.GetPageTabRect(e.sheets[1]);
    SimulateMouseMove(&pc, Centre(r1).X, Centre(r1).Y);
    EXPECT_EQ(pc.HoverTab(), 1);
    {
        auto bmp = e.Render();
        EXPECT_EQ(bmp->Canvas().Pixels(r1.Right - 2, r1.Top + 4), clLime);
        EXPECT_EQ(bmp->Canvas().Pixels(r1.Left - 1, r1.Top + 8), clRed);  // the hover border's left edge
    }
    SimulateMouseLeave();
    EXPECT_EQ(pc.HoverTab(), -1);
    auto bmp = e.Render();
    EXPECT_EQ(bmp->Canvas().Pixels(r1.Right - 2, r1.Top + 4), WindowColor);
}

TEST(ExPageControl, ThreeDimensionalTabsHandTheCaptionsToTheStrip) {
    Editor e;
    TExPageControl& pc = *e.pc;
    pc.SetTabBorder3D(true);
    EXPECT_FALSE(pc.OwnerDraw());
    EXPECT_EQ(pc.ItemText(0), u"Nodes     ");
    pc.SetTabBorder3D(false);
    EXPECT_TRUE(pc.OwnerDraw());
    EXPECT_EQ(pc.ItemText(1), u"Variables   ");
}

TEST(ExPageControl, FreeOnCloseFreesTheClosedPage) {
    Editor e(2);
    TExPageControl& pc = *e.pc;
    pc.SetFreeOnClose(true);
    e.sheets[0]->SetShowClose(true);
    bool freed = false;
    struct Watch : TComponent {
        Watch(bool* f) : TComponent(nullptr), flag(f) {}
        void Notification(TComponent* c, TOperation op) override {
            if (op == opRemove) *flag = true;
            TComponent::Notification(c, op);
        }
        bool* flag;
    } watch(&freed);
    e.sheets[0]->FreeNotification(&watch);
    const TRect r0 = pc.GetPageTabRect(e.sheets[0]);
    SimulateClick(&pc, r0.Left + 8, r0.Bottom - 17);
    EXPECT_TRUE(freed);
    EXPECT_EQ(pc.PageCount(), 1);
    EXPECT_EQ(pc.ActivePage(), e.sheets[1]);
    EXPECT_EQ(pc.ClosedTabList().Count(), 0);
}

TEST(TabMargin, ChangeIsToldBeforeItIsStoredAndAssignIsSilent) {
    TTabMargin m;
    std::vector<std::vector<int>> told;
    m.OnMarginChange = [&](int n, int o, int i) {
        told.push_back({n, o, i, m.TopMargin()});
    };
    m.SetTopMargin(10);
    m.SetTopMargin(10);
    m.SetRightMargin(20);
    EXPECT_EQ(told, (std::vector<std::vector<int>>{{10, 0, 1, 0}, {20, 0, 2, 10}}));
    TTabMargin other;
    other.Assign(&m);
    EXPECT_EQ(other.RightMargin(), 20);
    told.clear();
    m.Assign(&other);
    EXPECT_TRUE(told.empty());
}

TEST(ExPageControl, CloseBoxSitsAtTheMarginsInItsThreeLooks) {
    Editor e;
    TExPageControl& pc = *e.pc;
    pc.SetTabPosition(tpTop);
    pc.TabMargin().SetLeftMargin(3);
    pc.TabMargin().SetTopMargin(1);
    pc.SetTabHoverColor(clLime);  // the close button's hover look needs hover tracking
    e.sheets[0]->SetShowClose(true);
    const TRect r = pc.GetPageTabRect(e.sheets[0]);
    // Active tab: a := left + LeftMargin, b := top + TopMargin + LowerActive; box a+2,b+2 to a+14,b+13.
    const int a = r.Left + 3, b = r.Top + 1 + 2;
    struct Look {
        TColor outline, inside, cross;
    };
    auto probe = [&](const Look& l, const char* name) {
        auto bmp = e.Render();
        TCanvas& c = bmp->Canvas();
        EXPECT_EQ(c.Pixels(a + 2, b + 2), l.outline) << name;
        EXPECT_EQ(c.Pixels(a + 13, b + 12), l.outline) << name;
        EXPECT_EQ(c.Pixels(a + 3, b + 3), l.inside) << name;
        EXPECT_EQ(c.Pixels(a + 5, b + 5), l.cross) << name;   // from a+5,b+5 toward a+11,b+10
        EXPECT_EQ(c.Pixels(a + 5, b + 9), l.cross) << name;   // from a+5,b+9 toward a+11,b+4
        EXPECT_NE(c.Pixels(a + 14, b + 7), l.outline) << name;
    };
    probe({clGray, clWhite, clBlack}, "rest");
    SimulateMouseMove(&pc, a + 8, b + 7);
    probe({clBlack, clWhite, clGray}, "hot");
    SimulateMouseDown(&pc, mbLeft, a + 8, b + 7);
    probe({clBlack, clSilver, clBlack}, "pressed");
}

namespace {

// A control that docks: a form of its own (its caption names the tab) or a plain window control.
struct Docking : ::testing::Test {
    Editor e{2};
    TForm* tool = new TForm(&e.form);
    TWinControl* panel = new TWinControl(&e.form);
    std::vector<std::string> log;
    void SetUp() override {
        e.pc->SetDockSite(true);
        tool->SetCaption(u"Meter list\r\nsecond line");
        tool->SetBounds(600, 40, 150, 120);
        panel->SetBounds(0, 0, 80, 40);
        panel->SetParent(&e.form);
        e.pc->OnDockDrop = [this](TObject*, TDragDockObject* s, int, int) {
            log.push_back("drop " + std::string(s->Control == tool ? "tool" : "panel"));
        };
        e.pc->OnUnDock = [this](TObject*, TControl*, TWinControl* target, bool&) {
            log.push_back(std::string("undock to ") + (target ? "site" : "float"));
        };
    }
};

TEST_F(Docking, ADockedControlGetsAPageOfItsOwnNamedAfterItsForm) {
    // A form not shown yet: its page has the form's caption and a hidden tab.
    ASSERT_TRUE(tool->ManualDock(e.pc));
    ASSERT_EQ(e.pc->PageCount(), 3);
    TExTabSheet* page = e.pc->Pages(2);
    EXPECT_EQ(page->Owner(), e.pc);
    EXPECT_EQ(tool->Parent(), page);
    EXPECT_EQ(tool->HostDockSite(), e.pc);
    EXPECT_EQ(tool->Align(), alClient);
    EXPECT_EQ(page->Caption(), u"Meter list\r\nsecond line");
    EXPECT_FALSE(page->TabVisible());
    EXPECT_EQ(e.pc->ActivePage(), e.sheets[0]);
    EXPECT_EQ(e.pc->GetPageFromDockClient(tool), page);
    EXPECT_EQ(e.pc->GetPageFromDockClient(panel), nullptr);

    // A visible control's page becomes the active page.
    ASSERT_TRUE(panel->ManualDock(e.pc));
    TExTabSheet* own = e.pc->Pages(3);
    EXPECT_TRUE(own->TabVisible());
    EXPECT_EQ(e.pc->ActivePage(), own);
    EXPECT_EQ(log, (std::vector<std::string>{"drop tool", "drop panel"}));

    // It does not dock a second time; its site says so.
    TRect influence{0, 0, 10, 10};
    bool can = true;
    e.pc->GetSiteInfo(panel, influence, {0, 0}, can);
    EXPECT_FALSE(can);
    EXPECT_FALSE(panel->ManualDock(e.pc));

    // The tab follows the docked control's text (its first line) and visibility.
    panel->SetText(u"Meters\nand more");
    EXPECT_EQ(own->Caption(), u"Meters");
    panel->SetVisible(false);
    EXPECT_FALSE(own->TabVisible());
    panel->SetVisible(true);
    EXPECT_TRUE(own->TabVisible());
}

TEST_F(Docking, UndockingFreesThePageAndTheControlFloats) {
    tool->ManualDock(e.pc);
    bool allow = false;
    e.pc->OnUnDock = [&](TObject*, TControl*, TWinControl*, bool& Allow) { Allow = allow; };
    EXPECT_FALSE(tool->ManualFloat(Bounds(300, 300, 150, 120)));  // refused: it stays
    EXPECT_EQ(e.pc->PageCount(), 3);
    allow = true;
    ASSERT_TRUE(tool->ManualFloat(Bounds(300, 300, 150, 120)));
    EXPECT_TRUE(tool->Floating());
    EXPECT_EQ(e.pc->PageCount(), 2);
    EXPECT_EQ(e.pc->GetPageFromDockClient(tool), nullptr);
    EXPECT_EQ(e.pc->ActivePage(), e.sheets[0]);  // the next page forward, wrapping round
    ASSERT_NE(tool->Parent(), nullptr);
    EXPECT_EQ(tool->Parent(), tool->HostDockSite());
    EXPECT_EQ(tool->Parent()->BoundsRect(), Bounds(300, 300, 150, 120));
    // Docked again from its float form, which then goes.
    ASSERT_TRUE(tool->ManualDock(e.pc));
    EXPECT_FALSE(tool->Floating());
    EXPECT_EQ(e.pc->PageCount(), 3);
}

TEST_F(Docking, DraggingADockClientDocksItAndADoubleClickOnItsTabFloatsIt) {
    panel->SetDragKind(dkDock);
    TRect dockRect;
    int overs = 0;
    e.pc->OnDockOver = [&](TObject*, TDragDockObject* s, int, int, TDragState, bool&) {
        ++overs;
        dockRect = s->DockRect;
    };
    const TPoint inside = {300, 150};
    SimulateDrag({{TDragInput::Move, e.pc, inside}, {TDragInput::Release, e.pc, inside}});
    panel->BeginDrag(true);
    EXPECT_GT(overs, 0);
    const TPoint o = e.pc->ClientToScreen({0, 0});
    EXPECT_EQ(dockRect, Bounds(o.X, o.Y, e.pc->Width(), e.pc->Height()));  // the whole page control
    ASSERT_EQ(panel->HostDockSite(), e.pc);
    ASSERT_EQ(e.pc->PageCount(), 3);
    EXPECT_EQ(e.pc->ActivePage(), e.pc->Pages(2));

    // Its tab gives the docked control; a double click there floats it.
    const TPoint tab = Centre(e.pc->GetPageTabRect(e.pc->Pages(2)));
    EXPECT_EQ(e.pc->GetDockClientFromPoint(tab), panel);
    EXPECT_EQ(e.pc->GetDockClientFromPoint(Centre(e.pc->GetPageTabRect(e.sheets[0]))), nullptr);
    SimulateDrag({{TDragInput::Release, e.pc, tab}});  // the press on the tab starts a drag that goes nowhere
    SimulateDblClick(e.pc, tab.X, tab.Y);
    EXPECT_TRUE(panel->Floating());
    EXPECT_EQ(e.pc->PageCount(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"drop panel", "undock to float"}));
}

}  // namespace

#include "framework/TabStrip.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct StripForm {
    StripForm(TTabPosition pos = tpTop, int w = 400, int h = 200) {
        form.SetBounds(50, 50, w + 40, h + 40);
        strip = new TCustomTabControl(&form);
        strip->SetParent(&form);
        strip->SetBounds(10, 10, w, h);
        TFont f;
        f.SetName(u"Tahoma");
        f.SetHeight(-11);
        strip->SetFont(f);
        strip->SetTabPosition(pos);
        for (const char16_t* t : {u"First", u"Second", u"Third tab"}) strip->InsertItem(strip->ItemCount(), t, nullptr);
        form.Show();
    }
    int TextWidth(const String& s) {
        TCanvas c;
        c.SetFont(strip->Font());
        return c.TextWidth(s);
    }
    TForm form{nullptr};
    TCustomTabControl* strip;
};

TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

}  // namespace

TEST(TabStrip, SelectionFollowsItsItemAsItemsComeAndGo) {
    StripForm f;
    TCustomTabControl& s = *f.strip;
    EXPECT_EQ(s.TabIndex(), 0);  // the first item of an empty strip is selected
    s.SetTabIndex(1);
    s.InsertItem(0, u"New", nullptr);
    EXPECT_EQ(s.TabIndex(), 2);
    s.DeleteItem(0);
    EXPECT_EQ(s.TabIndex(), 1);
    s.MoveItem(1, 2);
    EXPECT_EQ(s.TabIndex(), 2);
    EXPECT_EQ(s.ItemText(2), u"Second");
    s.DeleteItem(2);
    EXPECT_EQ(s.TabIndex(), -1);
    s.SetTabIndex(7);
    EXPECT_EQ(s.TabIndex(), -1);
}

TEST(TabStrip, TabRectanglesOnEachSide) {
    for (TTabPosition pos : {tpTop, tpBottom, tpLeft, tpRight}) {
        StripForm f(pos);
        TCustomTabControl& s = *f.strip;
        const TSize size0 = s.TabSize(0);
        EXPECT_EQ(size0.cx, f.TextWidth(u"First") + 12) << pos;
        const TRect r0 = s.TabRect(0), r1 = s.TabRect(1), d = s.DisplayRect();
        const bool horizontal = pos == tpTop || pos == tpBottom;
        if (horizontal) {
            EXPECT_EQ(r0.Width(), size0.cx);
            EXPECT_EQ(r0.Height(), size0.cy);
            EXPECT_EQ(r0.Left, 2);
            EXPECT_EQ(r1.Left, r0.Right);
            EXPECT_EQ(r1.Top, r0.Top);
        } else {
            EXPECT_EQ(r0.Height(), size0.cx);
            EXPECT_EQ(r0.Width(), size0.cy);
            EXPECT_EQ(r0.Top, 2);
            EXPECT_EQ(r1.Top, r0.Bottom);
            EXPECT_EQ(r1.Left, r0.Left);
        }
        switch (pos) {
        case tpTop: EXPECT_EQ(r0.Top, 2); EXPECT_EQ(d.Top, r0.Bottom + 4); break;
        case tpBottom: EXPECT_EQ(r0.Bottom, 198); EXPECT_EQ(d.Bottom, r0.Top - 4); break;
        case tpLeft: EXPECT_EQ(r0.Left, 2); EXPECT_EQ(d.Left, r0.Right + 4); break;
        case tpRight: EXPECT_EQ(r0.Right, 398); EXPECT_EQ(d.Right, r0.Left - 4); break;
        }
        for (int i = 0; i < 3; ++i) EXPECT_EQ(s.IndexOfTabAt(Centre(s.TabRect(i)).X, Centre(s.TabRect(i)).Y), i);
        EXPECT_EQ(s.IndexOfTabAt(Centre(d).X, Centre(d).Y), -1);
    }
}

TEST(TabStrip, MultiLineRowsWrapWithTheFirstRowNextToThePages) {
    StripForm f(tpTop, 120, 150);
    TCustomTabControl& s = *f.strip;
    EXPECT_EQ(s.RowCount(), 1);  // single line: the tabs run past the edge
    s.SetMultiLine(true);
    ASSERT_GE(s.RowCount(), 2);
    const TRect r0 = s.TabRect(0), r2 = s.TabRect(2);
    EXPECT_GT(r0.Top, r2.Top);  // the first row lies nearest to the display area
    EXPECT_EQ(s.DisplayRect().Top, r0.Bottom + 4);
    // Rows are filled out to the strip's width.
    EXPECT_EQ(s.TabRect(2).Right, 118);
    s.SetRaggedRight(true);
    EXPECT_EQ(s.TabRect(2).Right, 2 + s.TabSize(2).cx);
}

TEST(TabStrip, ImageListSizeAndFixedSizesEnlargeTabs) {
    StripForm f(tpTop);
    TCustomTabControl& s = *f.strip;
    const int plain = s.TabSize(0).cx;
    TCustomImageList images(nullptr);
    images.SetWidth(20);
    images.SetHeight(30);
    s.SetImages(&images);
    EXPECT_EQ(s.TabSize(0).cx, plain + 20 + 3);
    EXPECT_EQ(s.TabSize(0).cy, 30 + 6);
    s.SetTabPosition(tpLeft);
    EXPECT_EQ(s.TabSize(0).cx, plain + 30 + 3);  // along a vertical tab the image's height counts
    s.SetImages(nullptr);
    s.SetTabWidth(50);
    s.SetTabHeight(17);
    EXPECT_EQ(s.TabRect(1).Height(), 50);
    EXPECT_EQ(s.TabRect(1).Width(), 17);
}

TEST(TabStrip, UserSelectionAsksChangingThenTellsChange) {
    StripForm f(tpTop);
    TCustomTabControl& s = *f.strip;
    std::vector<std::string> log;
    bool allow = false;
    s.OnChanging = [&](TObject*, bool& a) {
        log.push_back("changing " + std::to_string(s.TabIndex()));
        a = allow;
    };
    s.OnChange = [&](TObject*) { log.push_back("change " + std::to_string(s.TabIndex())); };
    const TPoint p = Centre(s.TabRect(2));
    SimulateClick(&s, p.X, p.Y);
    EXPECT_EQ(s.TabIndex(), 0);
    allow = true;
    SimulateClick(&s, p.X, p.Y);
    EXPECT_EQ(s.TabIndex(), 2);
    s.SetTabIndex(1);  // by program: no notification
    SimulateKey(VK_RIGHT);
    EXPECT_EQ(s.TabIndex(), 2);
    std::vector<std::string> expected{"changing 0", "changing 0", "change 2", "changing 1", "change 2"};
    EXPECT_EQ(log, expected);
}

TEST(TabStrip, OwnerDrawingGetsEveryTabWithItsRectangle) {
    StripForm f(tpLeft);
    TCustomTabControl& s = *f.strip;
    s.SetOwnerDraw(true);
    std::vector<std::pair<int, bool>> drawn;
    s.OnDrawTab = [&](TCustomTabControl* c, int i, const TRect& r, bool active) {
        EXPECT_EQ(r, c->TabRect(i));
        c->Canvas().Brush().SetColor(active ? clRed : clBlue);
        c->Canvas().FillRect(r);
        drawn.push_back({i, active});
    };
    TBitmap bmp;
    RenderControlToBitmap(&s, bmp);
    std::vector<std::pair<int, bool>> expected{{0, true}, {1, false}, {2, false}};
    EXPECT_EQ(drawn, expected);
    const TPoint c1 = Centre(s.TabRect(1));
    EXPECT_EQ(bmp.Canvas().Pixels(c1.X, c1.Y), clBlue);
}

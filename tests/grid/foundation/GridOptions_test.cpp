#include "grid/foundation/GridOptions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GridOptions, SearchFooterTextsDefaultsAndChanges) {
    TSearchFooter plain(nullptr, false), design(nullptr, true);
    struct Text {
        const String& (TSearchFooter::*get)() const;
        const char16_t* designText;
    } texts[] = {
        {&TSearchFooter::FindNextCaption, u"Find &next"}, {&TSearchFooter::FindPrevCaption, u"Find &previous"},
        {&TSearchFooter::MatchCaseCaption, u"Match case"}, {&TSearchFooter::HighLightCaption, u"Highlight"},
        {&TSearchFooter::HintClose, u"Close"},             {&TSearchFooter::HintFindPrev, u"Find previous occurrence"},
        {&TSearchFooter::HintHighlight, u"Highlight occurrences"}, {&TSearchFooter::HintFindNext, u"Find next occurrence"},
    };
    for (const Text& t : texts) {
        EXPECT_EQ((plain.*t.get)(), u"");
        EXPECT_EQ((design.*t.get)(), t.designText);
    }
    EXPECT_EQ(design.ColorTo(), clBtnFace);
    EXPECT_EQ(design.Color(), clWhite);
    EXPECT_FALSE(design.Visible());
    EXPECT_EQ(design.SearchColumn(), -1);
    EXPECT_TRUE(design.AutoSearch());

    int changes = 0;
    design.OnChange = [&](TObject*) { ++changes; };
    design.SetShowFindNext(true);  // unchanged: no report
    EXPECT_EQ(changes, 0);
    design.SetColor(clWhite);  // reported even when unchanged
    EXPECT_EQ(changes, 1);
    design.SetVisible(true);
    design.SetVisible(true);
    EXPECT_EQ(changes, 2);
    design.SetSearchColumn(3);  // plain
    EXPECT_EQ(changes, 2);

    // Assign copies all but AutoSearch, SearchFixedCells, AutoThemeAdapt, LastSearch and OnChange.
    TSearchFooter src(nullptr, true);
    src.SetHintClose(u"Shut");
    src.SetColorTo(0xF0F0F0);
    src.SetAutoSearch(false);
    src.SetSearchFixedCells(true);
    src.SetAutoThemeAdapt(true);
    src.SetLastSearch(u"needle");
    src.Font().SetName(u"Probe Sans");
    src.SetSearchDirection(sdLeftRight);
    plain.Assign(&src);
    EXPECT_EQ(plain.HintClose(), u"Shut");
    EXPECT_EQ(plain.FindNextCaption(), u"Find &next");
    EXPECT_EQ(plain.ColorTo(), 0xF0F0F0);
    EXPECT_EQ(plain.Font().Name(), u"Probe Sans");
    EXPECT_EQ(plain.SearchDirection(), sdLeftRight);
    EXPECT_TRUE(plain.AutoSearch());
    EXPECT_FALSE(plain.SearchFixedCells());
    EXPECT_FALSE(plain.AutoThemeAdapt());
    EXPECT_EQ(plain.LastSearch(), u"");
}

TEST(GridOptions, NavigationRulesAndCopy) {
    TNavigation n;
    EXPECT_FALSE(n.AdvanceOnEnter());
    EXPECT_TRUE(n.AllowClipboardColGrow());
    EXPECT_TRUE(n.SkipFixedCells());
    EXPECT_TRUE(n.AdvanceSkipReadOnlyCells());
    EXPECT_EQ(n.HomeEndKey(), heFirstLastColumn);
    int changes = 0;
    n.OnChange = [&](TObject*) { ++changes; };
    n.SetAdvanceAuto(true);
    EXPECT_TRUE(n.AdvanceOnEnter());
    n.SetAdvanceAuto(false);
    EXPECT_TRUE(n.AdvanceOnEnter());
    EXPECT_EQ(changes, 0);
    n.SetAdvanceDirection(adTopBottom);
    n.SetAdvanceDirection(adTopBottom);
    n.SetAdvanceInsert(true);
    n.SetAutoGotoWhenSorted(true);
    EXPECT_EQ(changes, 2);

    TNavigation copy;
    int copyChanges = 0;
    copy.OnChange = [&](TObject*) { ++copyChanges; };
    n.SetKeepScrollOnSort(true);
    n.SetCursorAdvance(caSnake);
    copy.Assign(&n);
    EXPECT_EQ(copy.AdvanceDirection(), adTopBottom);
    EXPECT_EQ(copy.CursorAdvance(), caSnake);
    EXPECT_TRUE(copy.AdvanceOnEnter());
    EXPECT_FALSE(copy.KeepScrollOnSort());
    EXPECT_EQ(copyChanges, 0);
    copy.SetAdvanceInsert(false);
    EXPECT_EQ(copyChanges, 1);  // its own handler kept
    EXPECT_EQ(changes, 2);
}

TEST(GridOptions, MouseActionsRules) {
    TMouseActions m(nullptr);
    EXPECT_TRUE(m.PreciseNodeClick());
    EXPECT_TRUE(m.AutoSizeColOnDblClick());
    EXPECT_EQ(m.WheelAction(), waMoveSelection);

    // At run time the disjunct selections may all be on.
    m.SetDisjunctRowSelect(true);
    m.SetDisjunctColSelect(true);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.DisjunctColSelect());
    // At design time one clears the other two.
    m.OnIsDesigning = [](TObject*, bool& d) { d = true; };
    m.SetDisjunctCellSelect(true);
    EXPECT_FALSE(m.DisjunctRowSelect());
    EXPECT_FALSE(m.DisjunctColSelect());
    m.SetDisjunctRowSelectDirect(true);
    EXPECT_TRUE(m.DisjunctCellSelect());
    m.OnIsDesigning = nullptr;

    int invalidated = 0, disabled = 0, changes = 0;
    m.OnInvalidate = [&](TObject*) { ++invalidated; };
    m.OnDisableEdit = [&](TObject*) { ++disabled; };
    m.OnChange = [&](TObject*) { ++changes; };
    m.SetDisjunctRowSelect(false);
    m.SetHotmailRowSelect(true);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.CheckAllCheck());
    m.SetHotmailRowSelect(false);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.CheckAllCheck());
    EXPECT_EQ(invalidated, 2);
    m.SetEditOnDblClickOnly(true);
    m.SetEditOnDblClickOnly(false);
    EXPECT_EQ(disabled, 1);
    m.SetWheelAction(waScroll);
    m.SetWheelAction(waScroll);
    EXPECT_EQ(changes, 1);

    TMouseActions copy(nullptr);
    m.SetSizeFixedRow(true);
    m.SetSizeFixedCol(true);
    m.SetHotmailRowSelect(true);
    m.FixedComboValues().Add(u"a");
    m.SetWheelIncrement(3);
    copy.Assign(&m);
    EXPECT_TRUE(copy.SizeFixedCol());
    EXPECT_EQ(copy.WheelIncrement(), 3);
    EXPECT_EQ(copy.WheelAction(), waScroll);
    EXPECT_FALSE(copy.SizeFixedRow());
    EXPECT_FALSE(copy.HotmailRowSelect());
    EXPECT_FALSE(copy.EditOnDblClickOnly());
    EXPECT_EQ(copy.FixedComboValues().Count(), 0);
    EXPECT_FALSE(bool(copy.OnChange));
}

TEST(GridOptions, SyncBandsAndFocusHelper) {
    TStringGrid owner(nullptr), other(nullptr);
    TSyncGrid sync(&owner);
    sync.SetGrid(&owner);
    EXPECT_EQ(sync.Grid(), nullptr);
    sync.SetGrid(&other);
    sync.SetMoveRow(true);
    TSyncGrid copy(&other);
    copy.Assign(&sync);
    EXPECT_EQ(copy.Grid(), nullptr);  // its own owner is refused
    EXPECT_TRUE(copy.MoveRow());

    TBands bands;
    EXPECT_EQ(bands.PrimaryColor(), clInfoBk);
    EXPECT_EQ(bands.SecondaryColor(), clWindow);
    EXPECT_EQ(bands.TotalLength(), 2);
    int changes = 0;
    bands.OnChange = [&](TObject*) { ++changes; };
    bands.SetPrimaryColor(clRed);
    bands.SetPrimaryLength(2);
    EXPECT_EQ(changes, 0);  // inactive bands report nothing
    bands.SetActive(true);
    bands.SetSecondaryLength(3);
    bands.SetSecondaryLength(3);
    bands.SetSecondaryColor(clBlue);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(bands.TotalLength(), 5);
    TBands copyBands;
    copyBands.Assign(&bands);
    EXPECT_EQ(copyBands.TotalLength(), 5);
    EXPECT_TRUE(copyBands.Active());
    EXPECT_EQ(copyBands.PrimaryColor(), clRed);

    TFocusHelper helper, copyHelper;
    helper.SetEnabled(true);
    copyHelper.Assign(&helper);
    EXPECT_TRUE(copyHelper.Enabled());
    copyHelper.Assign(&bands);  // another kind: nothing
    EXPECT_TRUE(copyHelper.Enabled());
}

// A 24-bit bitmap of one colour.
void Fill24(TBitmap& b, int w, int h, TColor c) {
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    b.Canvas().Brush().SetColor(c);
    b.Canvas().FillRect(Rect(0, 0, w, h));
}

const Byte* Pixel32(TGridAlphaMask& m, int x, int y) { return static_cast<const Byte*>(m.ScanLine(y)) + x * 4; }

TEST(GridOptions, MergedMaskIsPremultiplied) {
    TBitmap mask, colour;
    Fill24(mask, 3, 1, clWhite);
    mask.Canvas().SetPixels(1, 0, clBlack);
    mask.Canvas().SetPixels(2, 0, RGB(128, 0, 0));
    Fill24(colour, 3, 1, RGB(200, 100, 51));
    TGridAlphaMask alpha;
    alpha.MergeMask(mask, colour, clNone);
    ASSERT_EQ(alpha.Width(), 3);
    const Byte* white = Pixel32(alpha, 0, 0);
    EXPECT_EQ(std::vector<int>(white, white + 4), (std::vector<int>{51, 100, 200, 255}));
    const Byte* black = Pixel32(alpha, 1, 0);
    EXPECT_EQ(std::vector<int>(black, black + 4), (std::vector<int>{0, 0, 0, 0}));
    const Byte* half = Pixel32(alpha, 2, 0);
    // 200 * 128 / 255 = 100.39, 100 -> 50.2, 51 -> 25.6
    EXPECT_EQ(std::vector<int>(half, half + 4), (std::vector<int>{26, 50, 100, 128}));

    // A 32-bit source or a mask of another size leave the mask as it was.
    TBitmap wide;
    Fill24(wide, 5, 1, clWhite);
    TGridAlphaMask untouched;
    untouched.MergeMask(wide, colour, clNone);
    EXPECT_TRUE(untouched.Empty());
    colour.SetPixelFormat(pf32bit);
    untouched.MergeMask(mask, colour, clNone);
    EXPECT_TRUE(untouched.Empty());

    TGridAlphaMask copy;
    alpha.Opacity = 230;
    copy.Assign(&alpha);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.Opacity, 230);
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
    EXPECT_EQ(std::memcmp(Pixel32(copy, 0, 0), Pixel32(alpha, 0, 0), 12), 0);
}

TEST(GridOptions, BlurSpreadsAndClamps) {
    TBitmap b;
    EXPECT_THROW(GaussianBlur(b, 3.0), EInvalidOperation);  // not 24-bit
    // A white column in a 10-pixel-wide black picture: every column is blurred.
    Fill24(b, 10, 4, clBlack);
    for (int y = 0; y < 4; ++y) b.Canvas().SetPixels(5, y, clWhite);
    GaussianBlur(b, 1.0);
    auto red = [&](int x, int y) { return GetRValue(b.Canvas().Pixels(x, y)); };
    EXPECT_LT(red(5, 0), 255);
    EXPECT_GT(red(5, 0), red(4, 0));
    EXPECT_EQ(red(4, 2), red(6, 2));  // symmetric
    EXPECT_GT(red(4, 2), red(3, 2));
    EXPECT_EQ(red(0, 0), 0);

    // The focus frame's ring: rows and columns in the middle repeat row and column 15.
    TBitmap ring;
    CreateRoundRectMask(ring, 60, 50, 4, 5, 3.0);
    EXPECT_EQ(ring.PixelFormat(), pf24bit);
    for (int x = 0; x < 60; x += 5) EXPECT_EQ(ring.Canvas().Pixels(x, 25), ring.Canvas().Pixels(x, 15)) << x;
    EXPECT_GT(GetRValue(ring.Canvas().Pixels(4, 25)), 100);  // on the ring
    EXPECT_EQ(GetRValue(ring.Canvas().Pixels(30, 25)), 0);   // well inside it
    TBitmap filled;
    CreateRoundRectMask(filled, 30, 30, 0, 5, 0);
    EXPECT_EQ(filled.Canvas().Pixels(15, 15), clWhite);
    EXPECT_EQ(filled.Canvas().Pixels(0, 0), clBlack);
}

}  // namespace

#include "grid/foundation/PartDrawing.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

TEST(GridOptions, FocusWindowIsADisabledTopmostPopup) {
    TForm form(nullptr);
    form.SetBounds(30, 30, 300, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    form.Show();
    edit->SetFocus();
    TGridFocusWindow focus(&form);
    EXPECT_EQ(focus.Width(), 0);
    EXPECT_EQ(focus.Height(), 0);
    EXPECT_EQ(focus.Color(), clRed);
    focus.SetBounds(60, 60, 49, 29);
    focus.HandleNeeded();
    EXPECT_EQ(WindowStyle(&focus), 0x88000000u);
    EXPECT_EQ(Cardinal(GetWindowLong(focus.Handle(), GWL_EXSTYLE)) & 0x88u, 0x88u);
    focus.Show();
    EXPECT_TRUE(edit->Focused());

    // Offscreen the desktop does not compose: the layered calls say so.
    SetWindowLong(focus.Handle(), GWL_EXSTYLE, GetWindowLong(focus.Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    TBitmap ring, colour;
    CreateRoundRectMask(ring, 49, 29, 4, 5, 3.0);
    colour.SetPixelFormat(pf24bit);
    colour.SetSize(49, 29);
    TGridAlphaMask mask;
    mask.MergeMask(ring, colour, clNone);
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = 230;
    blend.AlphaFormat = AC_SRC_ALPHA;
    const TSize size{49, 29};
    const TPoint origin{0, 0};
    EXPECT_EQ(DynUpdateLayeredWindow(focus.Handle(), nullptr, &size, &mask, &origin, 0, &blend, ULW_ALPHA),
              DesktopComposes());
    EXPECT_EQ(DynSetLayeredWindowAttributes(focus.Handle(), 0, 230, LWA_ALPHA), DesktopComposes());
}

}  // namespace

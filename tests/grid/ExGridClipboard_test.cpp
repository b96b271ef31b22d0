#include "grid/ExGrid.h"
#include "grid/foundation/CellCodecs.h"

#include "framework/Clipboard.h"
#include "framework/DataTransfer.h"
#include "framework/DateUtils.h"
#include "framework/Streaming.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The program's clipboard (the platform's, headless too), emptied around each test.
class ExGridClipboard : public ::testing::Test {
protected:
    void SetUp() override { OleSetClipboard(nullptr); }
    void TearDown() override { OleSetClipboard(nullptr); }
};

TGridRect R(int l, int t, int r, int b) {
    TGridRect g;
    g.Left = l;
    g.Top = t;
    g.Right = r;
    g.Bottom = b;
    return g;
}

void Editable(TExStringGrid& g) { g.SetOptions(g.Options() + TGridOptions{goEditing}); }

void Fill(TExStringGrid& g, int cols, int rows) {
    g.SetColCount(cols);
    g.SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) g.SetCellEx(c, r, IntToStr(c) + u"." + IntToStr(r));
}

std::vector<String> Column(TExStringGrid& g, int c, int from, int to) {
    std::vector<String> v;
    for (int r = from; r <= to; ++r) v.push_back(g.GetCellEx(c, r));
    return v;
}

std::vector<String> Row(TExStringGrid& g, int r, int from, int to) {
    std::vector<String> v;
    for (int c = from; c <= to; ++c) v.push_back(g.GetCellEx(c, r));
    return v;
}

}  // namespace

TEST_F(ExGridClipboard, CopiesExactText) {
    TExStringGrid g(nullptr);
    Fill(g, 4, 4);
    g.SetCellEx(2, 2, u"two\r\nlines");
    g.SetSelection(R(1, 1, 2, 2));
    g.Tools().CopySelectionToClipboard();
    EXPECT_EQ(Clipboard().AsText(), u"1.1\t2.1\r\n1.2\t\"two\n\nlines\"\r\n");
    g.SetSelection(R(1, 3, 3, 3));
    g.Tools().CopySelectionToClipboard();
    EXPECT_EQ(Clipboard().AsText(), u"1.3\t2.3\t3.3");
    EXPECT_EQ(g.Tools().ClipTopLeft().X, 1);
    EXPECT_EQ(g.Tools().ClipTopLeft().Y, 3);

    // The selection grows to the merged areas at its corners.
    g.MergeCells(1, 1, 2, 2);
    g.SetSelection(R(2, 2, 2, 2));
    g.Tools().CopySelectionToClipboard();
    EXPECT_EQ(g.Selection().Left, 1);
    EXPECT_EQ(g.Selection().Top, 1);
}

TEST_F(ExGridClipboard, PastesTextInsideTheCountsAndGrowsWhereAllowed) {
    TExStringGrid g(nullptr);
    g.SetColCount(3);
    g.SetRowCount(3);
    int rows = 0, cols = 0;
    // Without editing nothing is pasted.
    EXPECT_EQ(g.Tools().PasteText(1, 1, rows, cols, u"a\tb"), 0);
    EXPECT_EQ(g.GetCellEx(1, 1), u"");

    Editable(g);
    g.Navigation().SetAllowClipboardColGrow(false);
    g.Navigation().SetAllowClipboardRowGrow(false);
    EXPECT_EQ(g.Tools().PasteText(1, 1, rows, cols, u"a\tb\tc\r\nd\te\tf\r\ng\th\ti"), 9);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(Row(g, 1, 1, 2), (std::vector<String>{u"a", u"b"}));
    EXPECT_EQ(Row(g, 2, 1, 2), (std::vector<String>{u"d", u"e"}));

    g.Navigation().SetAllowClipboardColGrow(true);
    g.Navigation().SetAllowClipboardRowGrow(true);
    g.Tools().PasteText(1, 1, rows, cols, u"a\tb\tc\r\nd\te\tf\r\ng\t\"x\ny\v z\"\ti");
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(Row(g, 3, 1, 3), (std::vector<String>{u"g", u"x\ny\r\n z", u"i"}));
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(cols, 3);

    // Events may change or refuse a value; a wide field is decoded for them.
    std::vector<String> seen;
    g.Tools().OnClipboardBeforePasteCell = [](TObject*, int c, int, String& v, bool& allow) {
        allow = c != 2;
        v = v + u"!";
    };
    g.Tools().OnClipboardBeforePasteWideCell = [&](TObject*, int, int, String& v, bool&) { seen.push_back(v); };
    g.Tools().PasteText(1, 2, rows, cols, u"p\tq\t" + EncodeWideCellText(u"\u03A9"));
    EXPECT_EQ(Row(g, 2, 1, 3), (std::vector<String>{u"p!", u"e", EncodeWideCellText(u"\u03A9")}));
    EXPECT_EQ(seen, (std::vector<String>{u"\u03A9"}));

    int c2 = 0, r2 = 0;
    TExGridTools::GetClipTextSize(u"a\tb\r\nc\r\n\r\nd\te\tf\r\n", c2, r2);
    EXPECT_EQ(c2, 3);
    EXPECT_EQ(r2, 2);
}

TEST_F(ExGridClipboard, InsertPasteMakesRowsFirst) {
    TExStringGrid g(nullptr);
    Fill(g, 3, 5);
    Editable(g);
    g.Navigation().SetClipboardPasteAction(paInsert);
    Clipboard().SetAsText(u"x\r\ny\r\nz");
    int rows = 0, cols = 0;
    g.Tools().PasteFromClipboardAt(1, 2, rows, cols);
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(Column(g, 1, 1, 6), (std::vector<String>{u"1.1", u"x", u"y", u"z", u"1.2", u"1.3"}));
}

TEST_F(ExGridClipboard, PrivateFormatCarriesCellsAndTellsItsOrigin) {
    TExStringGrid a(nullptr), b(nullptr);
    Fill(a, 4, 4);
    a.GetCellProperties(2, 2)->SetBrushColor(clAqua);
    a.AddCheckBox(1, 2, true);
    a.Navigation().SetAllowFmtClipboard(true);
    a.SetSelection(R(1, 1, 2, 2));
    a.Tools().CopySelectionToClipboard();

    b.SetColCount(3);
    b.SetRowCount(3);
    Editable(b);
    b.Navigation().SetAllowFmtClipboard(true);
    int rows = 0, cols = 0;
    EXPECT_EQ(b.Tools().PasteFromClipboardAt(2, 2, rows, cols), 4);
    EXPECT_EQ(b.ColCount(), 4);  // grown to hold the clip
    EXPECT_EQ(b.RowCount(), 4);
    EXPECT_EQ(b.GetCellEx(2, 2), u"1.1");
    EXPECT_EQ(b.GetCellEx(3, 3), u"2.2");
    EXPECT_EQ(b.GetCellProperties(3, 3)->BrushColor(), clAqua);
    EXPECT_TRUE(b.IsChecked(2, 3));
    EXPECT_EQ(b.Tools().PasteOrigin().X, -1);
    EXPECT_EQ(b.Tools().PasteOrigin().Y, -1);

    Editable(a);
    a.Tools().PasteFromClipboardAt(0, 0, rows, cols);
    EXPECT_EQ(a.GetCellEx(0, 0), u"1.1");
    EXPECT_EQ(a.Tools().PasteOrigin().X, 1);
    EXPECT_EQ(a.Tools().PasteOrigin().Y, 1);

    // Without the option the same clip pastes as text.
    TExStringGrid c(nullptr);
    Editable(c);
    c.Tools().PasteFromClipboardAt(0, 0, rows, cols);
    EXPECT_EQ(c.GetCellEx(1, 1), u"2.2");
    EXPECT_FALSE(c.CellPropsAssigned(1, 1));
}

TEST_F(ExGridClipboard, DamagedPrivateClipLeavesTheGridAlone) {
    auto data = std::make_shared<TDataObject>();
    data->SetBytes(GridCellsClipboardFormat(), "TPF0\x0bTGridPropIO\x00\x08" "ColCount\x02");
    data->SetText(u"text");
    OleSetClipboard(data);
    TExStringGrid g(nullptr);
    Fill(g, 3, 3);
    Editable(g);
    g.Navigation().SetAllowFmtClipboard(true);
    int rows = 0, cols = 0;
    EXPECT_THROW(g.Tools().PasteFromClipboardAt(1, 1, rows, cols), EReadError);
    EXPECT_EQ(g.GetCellEx(1, 1), u"1.1");
    EXPECT_EQ(g.ColCount(), 3);
}

TEST_F(ExGridClipboard, SmartPasteFillsTheSelection) {
    const String jan = DateToStr(EncodeDate(2025, 1, 15)), feb = DateToStr(EncodeDate(2025, 2, 15));
    const String jul = DateToStr(EncodeDate(2025, 7, 31)), aug = DateToStr(EncodeDate(2025, 8, 31));
    struct Case {
        const char* Name;
        String Clip;
        TGridRect Sel;
        bool ByRow;
        std::vector<String> Want;
    } cases[] = {
        {"integer series", u"1\r\n3\r\n", R(1, 1, 1, 5), false, {u"1", u"3", u"5", u"7", u"9"}},
        {"float series", u"1.5\r\n2", R(1, 1, 1, 4), false, {u"1.50", u"2.00", u"2.50", u"3.00"}},
        {"month by month", jan + u"\t" + feb, R(1, 1, 4, 1), true,
         {jan, feb, DateToStr(EncodeDate(2025, 3, 15)), DateToStr(EncodeDate(2025, 4, 15))}},
        {"ends at a missing 31st", jul + u"\t" + aug, R(1, 1, 4, 1), true, {jul, aug, u"", u""}},
        {"text repeats", u"a\r\nb", R(1, 1, 1, 5), false, {u"a", u"b", u"a", u"b", u"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TExStringGrid g(nullptr);
        g.SetColCount(6);
        g.SetRowCount(7);
        Editable(g);
        g.Navigation().SetAllowSmartClipboard(true);
        g.SetSelection(c.Sel);
        Clipboard().SetAsText(c.Clip);
        g.Tools().PasteSelectionFromClipboard();
        EXPECT_EQ(c.ByRow ? Row(g, 1, 1, 4) : Column(g, 1, 1, int(c.Want.size())), c.Want);
    }

    // One value into a 3 x 3 selection fills all nine cells.
    TExStringGrid g(nullptr);
    Editable(g);
    g.Navigation().SetAllowSmartClipboard(true);
    g.SetSelection(R(1, 1, 3, 3));
    Clipboard().SetAsText(u"v");
    g.Tools().PasteSelectionFromClipboard();
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(Row(g, r, 1, 3), (std::vector<String>{u"v", u"v", u"v"}));
    EXPECT_EQ(g.GetCellEx(4, 1), u"");
}

TEST_F(ExGridClipboard, CutEmptiesOnlyWritableCellsAndHTMLCopy) {
    TExStringGrid g(nullptr);
    Fill(g, 3, 3);
    g.SetSelection(R(1, 1, 2, 2));
    g.Tools().CutSelectionToClipboard();
    EXPECT_EQ(g.GetCellEx(1, 1), u"1.1");  // not editable: kept
    EXPECT_EQ(Clipboard().AsText(), u"1.1\t2.1\r\n1.2\t2.2\r\n");
    Editable(g);
    g.Tools().CutSelectionToClipboard();
    EXPECT_EQ(g.GetCellEx(1, 1), u"");
    EXPECT_EQ(g.GetCellEx(2, 2), u"");
    EXPECT_EQ(g.GetCellEx(0, 0), u"0.0");
    EXPECT_EQ(g.Tools().ClipLastOp(), coCut);

    g.Tools().CopyToClipBoardAsHTML();
    std::shared_ptr<IDataObject> data;
    ASSERT_EQ(OleGetClipboard(data), S_OK);
    ByteString html;
    ASSERT_TRUE(GetFormatBytes(*data, RegisterClipboardFormat(u"HTML Format"), html));
    EXPECT_EQ(html.rfind("Version:1.0", 0), 0u);
    EXPECT_NE(html.find("<TD class=\"c"), std::string::npos);
    EXPECT_EQ(Clipboard().AsText().rfind(u"0.0\t1.0\t2.0\r\n", 0), 0u);
}

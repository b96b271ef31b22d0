#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"

#include "PaintForm.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using Bmp = std::unique_ptr<TBitmap>;

TColor At(const Bmp& b, int x, int y) { return PaintForm::At(b, x, y); }

bool Any(const Bmp& b, TRect R, TColor C) {
    return PaintForm::AnyPixel(b, R, [C](TColor p) { return p == C; });
}

bool Reddish(TColor c) { return GetRValue(c) > 0xC0 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }

// The grid with the painter's editing state and sizing lines in reach.
struct MarkGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    void SetEditing(bool Value) { FEditing = Value; }
    using TExStringGrid::DrawSizingLineX;
    using TExStringGrid::DrawSizingLineY;
};

// A MarkGrid laid out like PaintForm's: cells of 40 x 20, white, no scroll bars.
struct MarkForm {
    PaintForm f;
    MarkGrid* g;
    MarkForm() {
        g = new MarkGrid(&f.form);
        g->SetParent(&f.form);
        g->SetBounds(10, 220, 300, 160);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
    }
    Bmp Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
};

// Row r of column 1 lies at client 41..80 x (21 * r)..(21 * r + 19).
TRect CellArea(int Row) { return Rect(42, 21 * Row + 1, 79, 21 * Row + 19); }

TEST(ExGridRowMarks, DisabledRowsArePaintedInTheDisabledFontColour) {
    PaintForm f;
    for (int r = 1; r < 6; ++r) f.g->SetCells(1, r, u"WWW");
    f.g->SetRowEnabled(3, false);
    auto b = f.Render();
    EXPECT_TRUE(Any(b, CellArea(2), clBlack));
    EXPECT_FALSE(Any(b, CellArea(3), clBlack));
    EXPECT_TRUE(Any(b, CellArea(3), clSilver));
    EXPECT_TRUE(Any(b, CellArea(4), clBlack));

    // Without the disabled font the row keeps its normal text colour.
    f.g->SetUseDisabledFont(false);
    b = f.Render();
    EXPECT_TRUE(Any(b, CellArea(3), clBlack));

    f.g->SetUseDisabledFont(true);
    f.g->SetRowEnabled(3, true);
    b = f.Render();
    EXPECT_TRUE(Any(b, CellArea(3), clBlack));
    EXPECT_TRUE(f.g->UseEnabledRows());
}

TEST(ExGridRowMarks, EnabledRowsReadEnabledUntilSetAndRejectNegativeRows) {
    PaintForm f;
    EXPECT_FALSE(f.g->UseEnabledRows());
    EXPECT_TRUE(f.g->RowEnabled(4));
    EXPECT_TRUE(f.g->RowEnabled(500));
    f.g->SetRowEnabled(4, false);
    EXPECT_FALSE(f.g->RowEnabled(4));
    EXPECT_TRUE(f.g->RowEnabled(5));
    EXPECT_THROW(f.g->SetRowEnabled(-1, false), EExGridError);
}

TEST(ExGridRowMarks, UpAndDownSkipDisabledRows) {
    struct Case {
        std::set<int> disabled;
        int start;
        Word key;
        bool skip;
        int expected;
    };
    const std::vector<Case> cases{
        {{2, 3}, 1, VK_DOWN, true, 4},  {{2, 3}, 4, VK_UP, true, 1},   {{2}, 1, VK_DOWN, false, 2},
        {{8, 9}, 7, VK_DOWN, true, 7},  {{1, 2}, 3, VK_UP, true, 3},   {{5}, 4, VK_DOWN, true, 6},
    };
    for (const Case& c : cases) {
        PaintForm f;
        f.g->Navigation().SetSkipDisabledRows(c.skip);
        f.g->SetRow(c.start);
        for (int r : c.disabled) f.g->SetRowEnabled(r, false);
        f.g->SetFocus();
        SimulateKeyDown(c.key);
        EXPECT_EQ(f.g->Row(), c.expected) << "start " << c.start << " key " << c.key;
    }
}

TEST(ExGridRowMarks, ADisabledRowIsRefusedAsTheCurrentRow) {
    PaintForm f;
    f.g->SetRow(2);
    // Disabling the current row hands the current row to the first enabled data row.
    f.g->SetRowEnabled(1, false);
    f.g->SetRowEnabled(2, false);
    EXPECT_EQ(f.g->Row(), 3);
    f.g->SetRow(1);
    EXPECT_EQ(f.g->Row(), 3);
    SimulateClick(f.g, 60, 21 * 2 + 10);
    EXPECT_EQ(f.g->Row(), 3);
    // Enabling the current row leaves it current.
    f.g->SetRowEnabled(3, true);
    EXPECT_EQ(f.g->Row(), 3);
    // Without skipping, a disabled row can be current.
    f.g->Navigation().SetSkipDisabledRows(false);
    f.g->SetRow(1);
    EXPECT_EQ(f.g->Row(), 1);
}

TEST(ExGridRowMarks, DisabledMarksFollowInsertedAndRemovedRows) {
    PaintForm f;
    f.g->SetRowEnabled(3, false);
    f.g->InsertRows(2, 2);
    EXPECT_TRUE(f.g->RowEnabled(3));
    EXPECT_FALSE(f.g->RowEnabled(5));
    f.g->RemoveRows(1, 1);
    EXPECT_FALSE(f.g->RowEnabled(4));
    EXPECT_TRUE(f.g->RowEnabled(5));
}

TEST(ExGridRowMarks, MarkersAreKeptOnTheCellGraphic) {
    PaintForm f;
    int pos = -1, len = -1;
    f.g->GetMarker(1, 1, pos, len);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(len, 0);
    f.g->AddMarker(1, 1, 2, 3);
    f.g->GetMarker(1, 1, pos, len);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(len, 3);
    EXPECT_EQ(f.g->GetCellType(1, 1), ctEmpty);
    EXPECT_NE(f.g->GetCellGraphic(1, 1), nullptr);
    f.g->RemoveMarker(1, 1);
    EXPECT_EQ(f.g->GetCellGraphic(1, 1), nullptr);

    // A marker on a comment cell only sets its fields, and removing it keeps the comment.
    f.g->AddComment(1, 2, u"note");
    f.g->AddMarker(1, 2, 1, 1);
    EXPECT_EQ(f.g->GetCellType(1, 2), ctComment);
    f.g->RemoveMarker(1, 2);
    f.g->GetMarker(1, 2, pos, len);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(f.g->GetCellType(1, 2), ctComment);

    f.g->AddMarker(1, 3, 0, 2);
    f.g->AddMarker(2, 4, 0, 2);
    f.g->RemoveAllMarkers();
    EXPECT_EQ(f.g->GetCellGraphic(1, 3), nullptr);
    EXPECT_EQ(f.g->GetCellGraphic(2, 4), nullptr);
}

TEST(ExGridRowMarks, MarkedCharactersGetARedZigzagUnderline) {
    // Cell (1, 1): the text starts at client x 43; "iiiiiiWWWW" puts the wide
    // letters at its right half.
    struct Case {
        int pos, len;
        bool left, right;  // red under the first and under the last characters
    };
    const std::vector<Case> cases{{0, 0, false, false}, {0, 3, true, false}, {6, 4, false, true}, {0, 10, true, true}};
    for (const Case& c : cases) {
        PaintForm f;
        f.g->SetColWidths(1, 120);
        f.g->SetCells(1, 1, u"iiiiiiWWWW");
        if (c.len > 0) f.g->AddMarker(1, 1, c.pos, c.len);
        auto b = f.Render();
        const TRect left = Rect(42, 22, 48, 42), right = Rect(65, 22, 85, 42);
        EXPECT_EQ(PaintForm::AnyPixel(b, left, Reddish), c.left) << c.pos << "," << c.len;
        EXPECT_EQ(PaintForm::AnyPixel(b, right, Reddish), c.right) << c.pos << "," << c.len;
    }
}

TEST(ExGridRowMarks, NoImageAndTextLeavesCellsWithAGraphicToTheirGraphic) {
    PaintForm f;
    f.g->SetColWidths(1, 120);
    f.g->SetCells(1, 1, u"WWWW");
    f.g->AddComment(1, 1, u"note");
    f.g->SetCells(1, 2, u"WWWW");
    f.g->AddMarker(1, 2, 0, 0);
    f.g->SetCells(1, 3, u"WWWW");
    const TRect text1 = Rect(42, 22, 90, 40), text2 = Rect(42, 43, 90, 61), text3 = Rect(42, 64, 90, 82);
    auto b = f.Render();
    EXPECT_TRUE(Any(b, text1, clBlack));
    f.g->SetNoImageAndText(true);
    b = f.Render();
    EXPECT_FALSE(Any(b, text1, clBlack));
    EXPECT_TRUE(Any(b, text2, clBlack));  // a marker is no picture
    EXPECT_TRUE(Any(b, text3, clBlack));
}

TEST(ExGridRowMarks, TheCellBeingEditedIsFramed) {
    // The frame lies on the edges of cell (1, 1): in the grid line colour,
    // or in the grid's colour where no grid lines are drawn.
    struct Case {
        bool editing;
        bool lines;
        int lineWidth;
        TColor expected;  // clNone: no frame, so not the line colour
    };
    const std::vector<Case> cases{
        {false, true, 1, clNone}, {true, true, 1, clRed}, {true, false, 1, clYellow}, {true, true, 0, clYellow}};
    for (const Case& c : cases) {
        MarkForm m;
        m.g->SetGridLineColor(clRed);
        m.g->SetColor(clYellow);
        m.g->SetGridLineWidth(c.lineWidth);
        if (!c.lines) m.g->SetOptions(m.g->Options() - TGridOptions{goVertLine, goHorzLine});
        m.g->SetCol(1);
        m.g->SetRow(1);
        m.g->SetEditing(c.editing);
        auto b = m.Render();
        const TRect cell = m.g->CellRect(1, 1);
        for (const TPoint p : {TPoint{cell.Left, (cell.Top + cell.Bottom) / 2}, TPoint{(cell.Left + cell.Right) / 2, cell.Top}}) {
            if (c.expected == clNone) EXPECT_NE(At(b, p.X, p.Y), clRed) << c.lineWidth;
            else EXPECT_EQ(At(b, p.X, p.Y), c.expected) << c.editing << c.lines << c.lineWidth;
        }
    }
}

TEST(ExGridRowMarks, SizingLinesAreDottedAndDrawnTwiceLeaveNoTrace) {
    MarkForm m;
    const auto plain = m.Render();
    struct Case {
        bool vertical;
        int times;
    };
    for (const Case c : {Case{true, 1}, Case{false, 1}, Case{true, 2}, Case{false, 2}}) {
        m.g->OnPainted = [&m, c](TObject*) {
            for (int i = 0; i < c.times; ++i) {
                if (c.vertical) m.g->DrawSizingLineX(100);
                else m.g->DrawSizingLineY(50);
            }
        };
        auto b = m.Render();
        const TRect area = Rect(0, 0, 280, 150);
        if (c.times == 2) {
            EXPECT_TRUE(PaintForm::SameArea(plain, b, area)) << c.vertical;
            continue;
        }
        // Dotted: along the line some pixels changed and some did not.
        int changed = 0, kept = 0;
        for (int i = 60; i < 140; ++i) {
            const int x = c.vertical ? 100 : i, y = c.vertical ? i / 2 + 45 : 50;
            (At(b, x, y) != At(plain, x, y) ? changed : kept)++;
        }
        EXPECT_GT(changed, 0) << c.vertical;
        EXPECT_GT(kept, 0) << c.vertical;
    }
}

TEST(ExGridRowMarks, DraggingAColumnBorderShowsTheSizingLine) {
    PaintForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing});
    const auto plain = f.Render();
    const int border = f.g->CellRect(1, 0).Right - 2;
    SimulateMouseDown(f.g, mbLeft, border, 10);
    SimulateMouseMove(f.g, 120, 10, {ssLeft});
    auto b = f.Render();
    // The line follows the mouse within the offset the press had from the border.
    EXPECT_FALSE(PaintForm::SameArea(plain, b, Rect(114, 60, 126, 150)));
    EXPECT_TRUE(PaintForm::SameArea(plain, b, Rect(130, 60, 200, 150)));
    SimulateMouseUp(f.g, mbLeft, 120, 10);
    EXPECT_NEAR(f.g->ColWidths(1), 80, 2);
    b = f.Render();
    bool line = false;
    for (int y = 60; y < 150; ++y) line = line || (At(b, 120, y) != clWhite && At(b, 120, y) != clSilver);
    EXPECT_FALSE(line);
}

}  // namespace

namespace {

TEST(ExGridRowMarks, TheNodeLookAndTheTypingOptionsStartAtTheirDefaultsAndAreCopied) {
    PaintForm f;
    const TCellNode& n = f.g->CellNode();
    EXPECT_EQ(n.Color(), clSilver);
    EXPECT_EQ(n.NodeColor(), clBlack);
    EXPECT_EQ(n.NodeType(), cnXP);
    EXPECT_EQ(n.NodeIndent(), 12);
    EXPECT_TRUE(n.ShowTree());
    EXPECT_TRUE(n.ShowTreeFull());
    EXPECT_EQ(n.TreeColor(), clGray);
    EXPECT_FALSE(f.g->SizeWhileTyping().Height());
    EXPECT_FALSE(f.g->SizeWhileTyping().Width());
    EXPECT_FALSE(f.g->FocusHelper().Enabled());

    f.g->CellNode().SetTreeColor(clSilver);
    f.g->CellNode().SetNodeIndent(20);
    f.g->FocusHelper().SetEnabled(true);
    f.other->Assign(f.g);
    EXPECT_EQ(f.other->CellNode().TreeColor(), clSilver);
    EXPECT_EQ(f.other->CellNode().NodeIndent(), 20);
    EXPECT_TRUE(f.other->FocusHelper().Enabled());

    // Colour tones give the nodes their flat boxes.
    f.g->SetColorTones(TColorTones{});
    EXPECT_EQ(f.g->CellNode().NodeType(), cnFlat);
}

}  // namespace

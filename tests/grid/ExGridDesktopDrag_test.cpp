// The grid in drags with other programs on the X display: files, text and
// links dragged from another program land in it, and rows dragged out of it
// reach the other program as text. Real X input, two processes.
#include "grid/ExGrid.h"
#include "grid/ExgDD.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include "support/DesktopDrag.h"
#include "support/RealDisplay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A shown form on the left of the screen with a grid of 6 columns and 8
// rows, cells named by column and row; the other program goes to its right.
struct GridForm {
    TForm form{nullptr};
    TExStringGrid* g;
    int overs = 0;  // drags from outside that reached the grid
    GridForm() {
        form.SetBounds(0, 0, 520, 360);
        form.SetCaption(u"grid under test");
        g = new TExStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 500, 320);
        g->SetColCount(6);
        g->SetRowCount(8);
        g->SetDefaultRowHeight(24);
        g->SetDefaultColWidth(70);
        for (int r = 1; r < 8; ++r)
            for (int c = 1; c < 6; ++c) g->SetCellEx(c, r, u"r" + IntToStr(r) + u"c" + IntToStr(c));
        g->Tools().OnOleDragOver = [this](TObject*, int, int, bool&) { ++overs; };
        form.Show();
    }
    TPoint Screen(int ACol, int ARow) const {
        const TRect r = g->CellRect(ACol, ARow);
        return g->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    String Row(int ARow) const {
        String s;
        for (int c = 0; c < g->ColCount(); ++c) s += g->Cells(c, ARow) + u"|";
        return s;
    }
};

}  // namespace

TEST(ExGridRealDisplayDesktopDrag, FilesTextAndLinksFromAnotherProgramLandInTheGrid) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    TempDir dir;
    dir.write("table.csv", "name,value\r\nalpha,1\r\nbeta,2\r\n");
    {
        TExStringGrid book(nullptr);
        book.SetColCount(2);
        book.SetRowCount(2);
        book.SetCells(0, 0, u"sheet");
        book.SetCells(1, 1, u"42");
        book.SaveToXLS(S(dir.file("book.xlsx")));
    }
    dir.write("damaged.xlsx", "PK\x03\x04 not a workbook");
    GridForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});  // text is pasted where it may be edited
    f.g->DragDropSettings().SetOleDropTarget(true);
    ASSERT_TRUE(f.g->Tools().OleDropTargetAssigned());
    std::vector<std::string> files;
    f.g->Tools().OnOleDropFile = [&](TObject*, int, int, const String& Name, bool&) {
        files.push_back(StringToUtf8(Name));
    };
    std::vector<std::string> errors;
    Application->OnException = [&](TObject*, const Exception& E) { errors.push_back(StringToUtf8(E.Message())); };
    struct Restore {
        ~Restore() { Application->OnException = nullptr; }
    } restore;
    TDragPeer peer("source", {600, 40},
                   {"file:" + dir.file("table.csv"), "file:" + dir.file("book.xlsx"), "text:x1\ty1\nx2\ty2",
                    "url:https://example.org/page?id=7", "file:" + dir.file("damaged.xlsx")});
    ASSERT_TRUE(peer.Ready());
    ASSERT_TRUE(RunXSteps({XWindowShown("grid under test")}));

    // Files are read, so they are copied; text and links are moved, as
    // within the program.
    struct Case {
        const char* what;
        int band, col, row;
        const char* action;
        std::function<void()> check;
    };
    const std::vector<Case> cases{
        {"a CSV file loads whole", 0, 2, 3, "copy",
         [&] {
             EXPECT_EQ(f.g->Cells(0, 0), u"name");
             EXPECT_EQ(f.g->Cells(1, 2), u"2");
             EXPECT_EQ(f.g->Cells(0, 2), u"beta");
             EXPECT_EQ(files, std::vector<std::string>{dir.file("table.csv")});
         }},
        {"a workbook loads whole", 1, 1, 2, "copy",
         [&] {
             EXPECT_EQ(f.g->Cells(0, 0), u"sheet");
             EXPECT_EQ(f.g->Cells(1, 1), u"42");
             // The file manager's text that restates the file is no text to paste.
             EXPECT_EQ(f.g->Cells(1, 2).find(u"book.xlsx"), String::npos);
         }},
        {"text is pasted at the cell, its lines as rows", 2, 1, 1, "move",
         [&] {
             EXPECT_EQ(f.g->Cells(1, 1), u"x1");
             EXPECT_EQ(f.g->Cells(2, 1), u"y1");
             EXPECT_EQ(f.g->Cells(1, 2), u"x2");
             EXPECT_EQ(f.g->Cells(2, 2), u"y2");
         }},
        {"a link goes into the cell", 3, 3, 4, "move",
         [&] { EXPECT_EQ(f.g->Cells(3, 4), u"https://example.org/page?id=7"); }},
        // Reported, not thrown through the toolkit's event loop; the grid keeps its cells.
        {"a damaged workbook is reported and changes nothing", 4, 3, 4, nullptr,
         [&] {
             EXPECT_EQ(errors.size(), 1u);
             EXPECT_EQ(f.g->Cells(3, 4), u"https://example.org/page?id=7");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.g->SetColCount(6);
        f.g->SetRowCount(8);
        f.overs = 0;
        errors.clear();
        peer.Clear();
        const TPoint to = f.Screen(c.col, c.row);
        int failed = -1;
        // Pressed in the other program, moved over the grid until the grid
        // has heard of the drag, released there.
        ASSERT_TRUE(RunXSteps({{XMoveTo(peer.Band(c.band)), {}},
                               {{"mousedown", "1"}, {}},
                               {XMoveTo(Plus(peer.Band(c.band), 40, 0)), {}},
                               {XMoveTo(to), {}},
                               {XMoveTo(Plus(to, 2, 2)), {}},
                               {{}, [&] { return f.overs > 0; }},
                               {{"mouseup", "1"}, {}},
                               {{}, [&] { return peer.Has("done"); }}},
                              &failed))
            << "step " << failed;
        c.check();
        if (c.action) EXPECT_EQ(peer.Last("done"), c.action);
        EXPECT_FALSE(f.g->Arrow(arrLeft)->Visible());
    }
}

TEST(ExGridRealDisplayDesktopDrag, RowsDraggedOutReachAnotherProgramAsText) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    GridForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goRowSelect});
    TDragDropSettings& s = f.g->DragDropSettings();
    s.SetOleDropSource(true);
    s.SetOleEntireRows(true);
    s.SetOleRemoveRows(true);
    Cardinal stopped = 99;
    f.g->Tools().OnOleDragStop = [&](TObject*, Cardinal E) { stopped = E; };
    TDragPeer peer("target", {600, 40});
    ASSERT_TRUE(peer.Ready());
    ASSERT_TRUE(RunXSteps({XWindowShown("grid under test")}));

    struct Case {
        bool ctrl;
        const char* action;
        Cardinal effect;
        int rowsLeft;
    };
    // A plain drag moves the rows out of the grid; with Ctrl they are copied.
    for (const Case c : {Case{true, "copy", DROPEFFECT_COPY, 8}, Case{false, "move", DROPEFFECT_MOVE, 6}}) {
        SCOPED_TRACE(c.action);
        peer.Clear();
        stopped = 99;
        f.g->SetSelection(TGridRect{1, 2, 5, 3});
        const TPoint from = f.Screen(2, 2);
        std::vector<TXStep> steps;
        if (c.ctrl) steps.push_back({{"keydown", "ctrl"}, {}});
        for (TXStep step : std::vector<TXStep>{{XMoveTo(from), {}},
                                               {{"mousedown", "1"}, {}},
                                               {XMoveTo(Plus(from, 12, 6)), {}},
                                               {XMoveTo(peer.Middle()), {}},
                                               {{}, [&] { return peer.Has("over"); }},
                                               {{"mouseup", "1"}, {}},
                                               {{}, [&] { return peer.Has("drop") && stopped != 99; }}})
            steps.push_back(step);
        if (c.ctrl) steps.push_back({{"keyup", "ctrl"}, {}});
        int failed = -1;
        ASSERT_TRUE(RunXSteps(steps, &failed)) << "step " << failed;
        EXPECT_EQ(peer.Last("drop"), c.action);
        EXPECT_EQ(peer.Last("text"), "\\tr2c1\\tr2c2\\tr2c3\\tr2c4\\tr2c5\\n\\tr3c1\\tr3c2\\tr3c3\\tr3c4\\tr3c5\\n");
        // Only what the drag can deliver is offered: no rich text here.
        EXPECT_EQ(peer.Last("formats").find("rtf"), std::string::npos) << peer.Last("formats");
        EXPECT_EQ(stopped, c.effect);
        EXPECT_EQ(f.g->RowCount(), c.rowsLeft);
        EXPECT_EQ(f.Row(2), c.ctrl ? u"|r2c1|r2c2|r2c3|r2c4|r2c5|" : u"|r4c1|r4c2|r4c3|r4c4|r4c5|");
    }
}

TEST(ExGridRealDisplayDesktopDrag, ADragThatLeavesTheProgramAndComesBackDropsInIt) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    GridForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goRowSelect});
    f.g->Navigation().SetAllowFmtClipboard(true);
    TDragDropSettings& s = f.g->DragDropSettings();
    s.SetOleDropSource(true);
    s.SetOleDropTarget(true);
    Cardinal stopped = 99;
    f.g->Tools().OnOleDragStop = [&](TObject*, Cardinal E) { stopped = E; };
    TDragPeer peer("target", {600, 40});
    ASSERT_TRUE(peer.Ready());
    f.g->SetSelection(TGridRect{1, 2, 5, 3});
    const TPoint from = f.Screen(2, 2), back = f.Screen(1, 5);
    int failed = -1;
    // Copied (Ctrl), past the other program, back into the grid.
    ASSERT_TRUE(RunXSteps({XWindowShown("grid under test"),
                           {{"keydown", "ctrl"}, {}},
                           {XMoveTo(from), {}},
                           {{"mousedown", "1"}, {}},
                           {XMoveTo(Plus(from, 12, 6)), {}},
                           {XMoveTo(peer.Middle()), {}},
                           {{}, [&] { return peer.Has("over"); }},
                           {XMoveTo(back), {}},
                           {{}, [&] { return f.overs > 0; }},
                           {{"mouseup", "1"}, {}},
                           {{}, [&] { return stopped != 99; }},
                           {{"keyup", "ctrl"}, {}}},
                          &failed))
        << "step " << failed;
    EXPECT_FALSE(peer.Has("drop"));
    EXPECT_EQ(stopped, DROPEFFECT_COPY);
    EXPECT_EQ(f.Row(5), u"|r2c1|r2c2|r2c3|r2c4|r2c5|");
    EXPECT_EQ(f.Row(6), u"|r3c1|r3c2|r3c3|r3c4|r3c5|");
    EXPECT_EQ(f.Row(2), u"|r2c1|r2c2|r2c3|r2c4|r2c5|");
}

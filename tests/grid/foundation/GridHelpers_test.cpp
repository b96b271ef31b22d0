#include "grid/foundation/GridHelpers.h"

#include "framework/Forms.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(GridHelpers, IntListReportsItsCell) {
    TIntList list(3, 7);
    std::vector<std::pair<int, int>> changes;
    list.OnChange = [&](TObject*, int c, int r) { changes.push_back({c, r}); };
    EXPECT_EQ(list.StrValue(), u"");
    list.Insert(0, 5);  // no report
    EXPECT_TRUE(changes.empty());
    list.Add(-1);
    list.SetInteger(0, 3);
    list.Add(17);
    list.DeleteValue(99);
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0], std::make_pair(3, 7));
    EXPECT_EQ(list.StrValue(), u"3,-1,17");
    EXPECT_TRUE(list.HasValue(-1));
    list.DeleteValue(-1);
    EXPECT_EQ(changes.size(), 4u);
    EXPECT_THROW(list.GetInteger(5), EListError);

    list.SetStrValue(u"1, 2 3");
    EXPECT_EQ(list.StrValue(), u"1,2,3");
    EXPECT_THROW(list.SetStrValue(u"4,x,5"), EConvertError);
    EXPECT_EQ(list.StrValue(), u"4");
    list.SetStrValue(u"\"$10\",0x20");
    EXPECT_EQ(list.StrValue(), u"16,32");
}

TEST(GridHelpers, SortOrderText) {
    TSortIndexList sort;
    sort.AddIndex(3, true);
    sort.AddIndex(0, false);
    sort.AddIndex(12, true);
    EXPECT_EQ(sort.SaveToString(), u"u3;d0;u12");
    EXPECT_EQ(sort.FindIndex(12), 2);
    EXPECT_EQ(sort.FindIndex(4), -1);
    sort.SetSortColumns(1, 9);
    EXPECT_FALSE(sort.GetSortDirections(1));
    EXPECT_EQ(sort.GetSortColumns(1), 9);

    int changes = 0;
    sort.OnChange = [&](TObject*, int, int) { ++changes; };
    sort.ToggleIndex(42);
    EXPECT_EQ(changes, 0);
    sort.ToggleIndex(3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sort.SaveToString(), u"d3;d9;u12");

    sort.LoadFromString(u"u1;;x2;d;u0x10");
    EXPECT_EQ(sort.SaveToString(), u"u1;d2;u16");
    sort.LoadFromString(u"u 7z;d-3");
    EXPECT_EQ(sort.GetSortColumns(0), 7);
    EXPECT_EQ(sort.Count(), 2);

    TSortIndexList wide;
    wide.AddIndex(70000, true);
    EXPECT_EQ(wide.SaveToString(), u"u4464");
    EXPECT_EQ(TSortIndexList().SaveToString(), u"");
}

TEST(GridHelpers, FilePictureKeepsItsSizeAndDraws) {
    TempDir dir;
    TBitmap bmp(6, 4);
    bmp.Canvas().Brush().SetColor(clRed);
    bmp.Canvas().FillRect(Rect(0, 0, 6, 4));
    const String file = Utf8ToString(dir.file("p.bmp"));
    bmp.SaveToFile(file);

    TFilePicture pic;
    pic.SetFilename(file);
    EXPECT_EQ(pic.Width(), 6);
    EXPECT_EQ(pic.Height(), 4);
    EXPECT_ANY_THROW(pic.SetFilename(Utf8ToString(dir.file("missing.bmp"))));
    EXPECT_EQ(pic.Filename(), Utf8ToString(dir.file("missing.bmp")));
    EXPECT_EQ(pic.Width(), 6);
    EXPECT_THROW(pic.SetFilename(u""), EInvalidGraphic);

    TFilePicture copy;
    pic.SetFilename(file);
    copy.Assign(&pic);
    EXPECT_EQ(copy.Height(), 4);
    TBitmap target(12, 8);
    target.Canvas().Brush().SetColor(clWhite);
    target.Canvas().FillRect(Rect(0, 0, 12, 8));
    copy.DrawPicture(target.Canvas(), Rect(0, 0, 12, 8));
    EXPECT_EQ(target.Canvas().Pixels(11, 7), clRed);
    TFilePicture empty;
    empty.DrawPicture(target.Canvas(), Rect(0, 0, 12, 8));  // draws nothing, raises nothing
}

TEST(GridHelpers, ControlListAndLineCursor) {
    TForm form(nullptr);
    auto* w = new TWinControl(&form);
    w->SetParent(&form);
    TControlList controls;
    controls.AddControl(1, 2, w);
    controls.AddControl(3, 4, nullptr);
    EXPECT_EQ(controls.ControlIndex(3, 4), 1);
    EXPECT_EQ(controls.ControlIndex(2, 1), -1);
    EXPECT_EQ(controls.GetControl(0)->Control, w);
    EXPECT_TRUE(controls.HasHandle(w->Handle()));
    EXPECT_FALSE(controls.HasHandle(0));
    controls.RemoveControl(0);
    EXPECT_EQ(controls.Count(), 1);
    EXPECT_THROW(controls.GetControl(1), EListError);

    TFileStringList lines;
    lines.Write(u"a");
    lines.Write(u"b");
    lines.WriteLn(u"c");
    lines.Write(u"pending");
    lines.WriteLn(u"");
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines[0], u"abc");
    String line;
    EXPECT_FALSE(lines.Eof());
    lines.ReadLn(line);
    lines.ReadLn(line);
    EXPECT_EQ(line, u"pending");
    EXPECT_TRUE(lines.Eof());
    EXPECT_THROW(lines.ReadLn(line), EListError);
    lines.Reset();
    lines.ReadLn(line);
    EXPECT_EQ(line, u"abc");
}

}  // namespace

#include "framework/Windows.h"

namespace {

TEST(GridHelpers, ArrowWindowsAreShapedPopups) {
    TForm form(nullptr);
    form.SetBounds(30, 30, 300, 200);
    form.Show();
    const TArrowDirection dirs[] = {arrUp, arrDown, arrLeft, arrRight};
    for (TArrowDirection d : dirs) {
        TArrowWindow* arrow = TArrowWindow::Init(&form, d);
        EXPECT_EQ(arrow->Owner(), &form);
        EXPECT_EQ(arrow->Parent(), &form);
        EXPECT_FALSE(arrow->Visible());
        EXPECT_EQ(arrow->Color(), clLime);
        arrow->SetBounds(100, 100, 11, 11);
        arrow->HandleNeeded();
        EXPECT_EQ(WindowStyle(arrow), WS_POPUP);
        TRegion region;
        ASSERT_NE(GetWindowRgn(arrow->Handle(), region), ERROR) << d;
        const TRegion want = TRegion::FromPolygon(TArrowWindow::ArrowPolygon(d), pfWinding);
        EXPECT_EQ(region.Rects(), want.Rects()) << d;
    }
    // Shown, the arrow covers only its shape.
    TArrowWindow* up = TArrowWindow::Init(&form, arrUp);
    up->SetBounds(200, 200, 11, 11);
    up->Show();
    TBitmap shot;
    CaptureScreen(Bounds(200, 200, 11, 11), shot);
    EXPECT_EQ(shot.Canvas().Pixels(5, 3), clLime);
    EXPECT_EQ(shot.Canvas().Pixels(5, 7), clLime);
    EXPECT_NE(shot.Canvas().Pixels(0, 8), clLime);
    EXPECT_NE(shot.Canvas().Pixels(9, 1), clLime);
}

}  // namespace

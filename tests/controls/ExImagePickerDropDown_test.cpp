#include "controls/ExImagePickerDropDown.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Simulate.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

void Fill(TBitmap& b, int w, int h, TColor c) {
    b.SetSize(w, h);
    b.Canvas().Brush().SetColor(c);
    b.Canvas().FillRect(Rect(0, 0, w, h));
}

struct ImagePickerFixture : ::testing::Test {
    TForm form{nullptr};
    TImageList images{8, 8};
    TExImagePickerDropDown* dd = nullptr;
    std::vector<std::string> events;
    void SetUp() override {
        const TColor colours[] = {TColor(0xFF0000), TColor(0x00FF00), TColor(0x0000FF), TColor(0x808080),
                                  TColor(0x00FFFF)};
        for (TColor c : colours) {
            TBitmap b;
            Fill(b, 8, 8, c);
            images.Add(&b, nullptr);
        }
        form.SetBounds(100, 100, 300, 200);
        dd = new TExImagePickerDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 80, 24);
        dd->SetImages(&images);
        dd->OnChange = [this](TObject*) { events.push_back("change"); };
        dd->OnSelect = [this](TObject*) { events.push_back("select"); };
        form.Show();
        dd->SetFocus();
    }
};

TEST_F(ImagePickerFixture, EntriesFromTheImageListAndByImageIndex) {
    dd->AddImagesFromImageList();
    ASSERT_EQ(dd->Items().Count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(dd->Items().GetItem(i)->ImageIndex(), i);
    dd->AddImagesFromImageList();
    EXPECT_EQ(dd->Items().Count(), 10) << "a second call appends";

    dd->SetImageIndex(3);
    EXPECT_EQ(dd->ItemIndex(), 3) << "the first entry with that image";
    EXPECT_EQ(events, (std::vector<std::string>{"change", "select"}));
    dd->SetItemIndex(3);
    EXPECT_EQ(events.size(), 2u) << "the same value fires nothing";
    dd->SetImageIndex(7);
    EXPECT_EQ(dd->ItemIndex(), -1);
    EXPECT_EQ(dd->ImageIndex(), -1);
    dd->SetItemIndex(10);
    EXPECT_EQ(dd->ItemIndex(), -1) << "at or above the count: ignored";
}

TEST_F(ImagePickerFixture, TheEditShowsThePictureBeforeTheListImage) {
    dd->AddImagesFromImageList();
    dd->SetItemIndex(2);  // blue from the list
    auto centre = [&] {
        dd->Repaint();
        TBitmap shot;
        RenderControlToBitmap(dd, shot);
        const TRect r = Rect(0, 0, dd->Width() - dd->DropDownButtonWidth(), dd->Height());
        return shot.Canvas().Pixels((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    EXPECT_EQ(centre(), TColor(0x0000FF));
    Fill(dd->Items().GetItem(2)->Image(), 10, 10, TColor(0x00FF00));
    EXPECT_EQ(centre(), TColor(0x00FF00)) << "the entry's own picture wins";
}

TEST_F(ImagePickerFixture, EntriesFromAFolderKeepFilesThatAreNoPictures) {
    TempDir dir;
    TBitmap pic;
    Fill(pic, 6, 6, TColor(0x123456));
    pic.SaveToFile(Utf8ToString(dir.file("a.bmp")));
    dir.write("b.txt", "not a picture");
    dir.write("c.dat", "skipped by the mask");
    dd->AddImagesFromFolder(Utf8ToString(dir.path() + "/*.bmp"), true);
    ASSERT_EQ(dd->Items().Count(), 1);
    EXPECT_EQ(dd->Items().GetItem(0)->Caption(), u"a.bmp");
    EXPECT_EQ(dd->Items().GetItem(0)->Image().Width(), 6);
    dd->AddImagesFromFolder(Utf8ToString(dir.path() + "/b.*"), true);
    ASSERT_EQ(dd->Items().Count(), 2);
    EXPECT_TRUE(dd->Items().GetItem(1)->Image().Empty());
    EXPECT_EQ(dd->Items().GetItem(1)->Caption(), u"");
    dd->AddImagesFromFolder(Utf8ToString(dir.path() + "/missing/*.bmp"), true);
    EXPECT_EQ(dd->Items().Count(), 2);
}

TEST_F(ImagePickerFixture, ColumnsStepUpAndDownAndEscRestores) {
    dd->AddImagesFromImageList();
    dd->SetColumns(3);
    dd->SetItemIndex(4);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    ASSERT_EQ(dd->ItemSelector()->Columns(), 3);
    SimulateKey(VK_UP);
    EXPECT_TRUE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    SimulateKey(VK_UP);
    EXPECT_EQ(dd->ItemIndex(), 1) << "nothing above the first row";
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 4);

    // A click on an entry picks it and closes.
    dd->ShowDropDown();
    TCustomItemSelector* panel = dd->ItemSelector()->Panel();
    TRect r;
    panel->GetItemRect(2, r);
    SimulateClick(panel, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 2);
}

}  // namespace

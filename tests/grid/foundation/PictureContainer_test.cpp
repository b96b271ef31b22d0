#include "grid/foundation/PictureContainer.h"

#include "TestGif.h"
#include "framework/Resources.h"
#include "framework/Streams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using testgif::Frame;
using testgif::Gif;

std::string ThreeFrames() {
    return Gif(8, 8, {{0, 0, 8, 8, 10, 0}, {2, 3, 3, 2, 10, 1}, {0, 0, 2, 2, 10, 2}});
}

void Load(THTMLPicture& P, const std::string& bytes) {
    TMemoryStream S;
    S.WriteBytes(bytes);
    P.LoadFromStream(&S);
}

TEST(PictureContainer, ThreeFrameGifDrawsTheChosenFrameAtItsOffset) {
    THTMLPicture P;
    Load(P, ThreeFrames());
    EXPECT_TRUE(P.IsGIF());
    EXPECT_EQ(P.FrameCount(), 3);
    EXPECT_EQ(P.Width(), 8);
    EXPECT_EQ(P.MaxWidth(), 8);
    int Changes = 0;
    P.OnFrameChange = [&](TObject*) { ++Changes; };
    P.SetFrame(2);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(P.FrameXPos(), 2);
    EXPECT_EQ(P.FrameYPos(), 3);
    EXPECT_EQ(P.Width(), 3);
    EXPECT_EQ(P.Height(), 2);
    EXPECT_EQ(P.MaxHeight(), 8);

    TBitmap B(30, 30);
    B.Canvas().Brush().SetColor(clWhite);
    B.Canvas().FillRect(Rect(0, 0, 30, 30));
    B.Canvas().Draw(10 + P.FrameXPos(), 10 + P.FrameYPos(), P);
    EXPECT_EQ(B.Canvas().Pixels(12, 13), clLime);
    EXPECT_EQ(B.Canvas().Pixels(14, 14), clLime);
    EXPECT_EQ(B.Canvas().Pixels(11, 13), clWhite);
    EXPECT_EQ(B.Canvas().Pixels(15, 13), clWhite);
    EXPECT_EQ(B.Canvas().Pixels(12, 15), clWhite);

    // Stretched, the frame alone fills the rectangle.
    P.SetStretch(true);
    B.Canvas().FillRect(Rect(0, 0, 30, 30));
    B.Canvas().StretchDraw(Rect(0, 0, 6, 4), P);
    EXPECT_EQ(B.Canvas().Pixels(0, 0), clLime);
    EXPECT_EQ(B.Canvas().Pixels(5, 3), clLime);
    EXPECT_EQ(B.Canvas().Pixels(6, 0), clWhite);

    P.SetFrame(3);
    P.FrameNext();
    EXPECT_EQ(P.Frame(), 1);
    P.FramePrev();
    EXPECT_EQ(P.Frame(), 3);
}

TEST(PictureContainer, StepFollowsTheFrameDelays) {
    THTMLPicture P;
    Load(P, Gif(4, 4, {{0, 0, 4, 4, 20, 0}, {0, 0, 4, 4, 50, 1}}));
    std::vector<int> Moves;
    for (int Call = 1; Call <= 20; ++Call)
        if (P.Step()) Moves.push_back(Call);
    EXPECT_EQ(Moves, (std::vector<int>{4, 9, 11, 16, 18}));
    EXPECT_EQ(P.GetFrameTime(2), 50);
    EXPECT_EQ(P.GetFrameTime(3), -1);

    THTMLPictureCache Cache;
    Load(*Cache.AddPicture(), Gif(4, 4, {{0, 0, 4, 4, 0, 0}, {0, 0, 4, 4, 0, 1}}));
    Cache.AddPicture();
    EXPECT_FALSE(Cache.Animate());  // the first tick only takes the first delay
    EXPECT_TRUE(Cache.Animate());
}

TEST(PictureContainer, FrameMarkerCutShortAtTheEnd) {
    // The last marker's descriptor bytes are missing: it still counts, its geometry is not read.
    std::string g = Gif(4, 4, {{0, 0, 4, 4, 10, 0}});
    g.pop_back();
    const char Marker[] = "\x21\xF9\x04\x00\x0A\x00\x00\x00\x2C\x01";
    g.append(Marker, sizeof Marker - 1);
    THTMLPicture P;
    Load(P, g);
    EXPECT_EQ(P.FrameCount(), 2);
    EXPECT_EQ(P.GetFrameTime(2), 10);
    EXPECT_THROW(P.SetFrame(2), Exception);
}

TEST(PictureContainer, NonPicturesAndPlainPictures) {
    TempDir Dir;
    Dir.write("junk.gif", "this is not a picture");
    THTMLPicture P;
    P.LoadFromFile(S(Dir.file("junk.gif")));
    EXPECT_TRUE(P.Empty());
    P.LoadFromFile(S(Dir.file("missing.gif")));
    EXPECT_TRUE(P.Empty());
    try {
        Load(P, "this is not a picture");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), S("Could not load image. Invalid format"));
    }

    TBitmap Bmp(5, 3);
    THTMLPicture Plain;
    Load(Plain, Bmp.SaveToBytes());
    EXPECT_EQ(Plain.FrameCount(), -1);
    EXPECT_FALSE(Plain.Step());
    EXPECT_EQ(Plain.Width(), 5);
    EXPECT_EQ(Plain.MaxWidth(), 5);
    EXPECT_EQ(Plain.MaxHeight(), 3);

    THTMLPicture Copy;
    Copy.Assign(&Plain);
    EXPECT_FALSE(Copy.Empty());
    EXPECT_EQ(Copy.Height(), 3);
    Copy.Assign(nullptr);
    EXPECT_TRUE(Copy.Empty());
    EXPECT_EQ(Copy.Width(), 0);
}

TEST(PictureContainer, UrlsResourcesAndNames) {
    RegisterDataResource(S("GRIDPICTEST"), Gif(2, 2, {{0, 0, 2, 2, 0, 2}}));
    THTMLPicture P;
    P.SetAsynch(false);
    P.LoadFromURL(S("res://gridpictest"));
    EXPECT_FALSE(P.Empty());
    EXPECT_EQ(P.ID(), S("res://gridpictest"));
    EXPECT_EQ(P.Width(), 2);

    THTMLPicture Web;
    Web.SetAsynch(false);
    Web.LoadFromURL(S("http://example.invalid/a.gif"));
    EXPECT_TRUE(Web.Empty());
    EXPECT_EQ(Web.ID(), S("http://example.invalid/a.gif"));
    THTMLPicture Busy;
    Busy.LoadFromURL(S("http://example.invalid/a.gif"));
    EXPECT_TRUE(Busy.Busy());
    EXPECT_TRUE(Busy.Empty());

    THTMLPictureCache Cache;
    Cache.AddPicture()->SetID(S("file://a.gif"));
    EXPECT_NE(Cache.FindPicture(S("file://a.gif")), nullptr);
    EXPECT_EQ(Cache.FindPicture(S("FILE://a.gif")), nullptr);

    TPictureContainer C(nullptr);
    TPictureItem* Item = C.Items().Add();
    Item->SetName(S("LogoSmall"));
    Item->SetPicture(&P);
    EXPECT_EQ(C.FindPicture(S("LOGOSMALL")), Item->Picture());
    EXPECT_EQ(C.FindPicture(S("Logo")), nullptr);
    EXPECT_EQ(Item->Picture()->Width(), 2);
}

}  // namespace

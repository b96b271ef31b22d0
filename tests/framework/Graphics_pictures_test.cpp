// Pictures: our PNG decoder, JPEG through libjpeg, BMP round trips, the
// picture holder and clear errors for damaged files.

#include "framework/Graphics.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The test data folder; beside this source when the environment does not name it.
std::string Data(const std::string& name) {
    const char* dir = std::getenv("CONFIGURATOR_TEST_DATA");
    std::string base = dir && *dir ? dir : std::filesystem::path(__FILE__).parent_path().string() + "/data";
    return base + "/pictures/" + name;
}

// Draws the picture on a grey bitmap and returns the bitmap (blending shows alpha).
TBitmap& Render(const TGraphic& g, TBitmap& out) {
    out.SetSize(g.Width(), g.Height());
    out.Canvas().Brush().SetColor(clGray);
    out.Canvas().FillRect(Rect(0, 0, g.Width(), g.Height()));
    out.Canvas().Draw(0, 0, g);
    return out;
}

bool Near(TColor a, TColor b, int tol) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

// The logo: 32 x 16, left half red, right half blue, a white 8 x 8 block at the top right.
void ExpectLogo(TBitmap& b, int tol, const std::string& what) {
    EXPECT_EQ(b.Width(), 32) << what;
    EXPECT_EQ(b.Height(), 16) << what;
    EXPECT_TRUE(Near(b.Canvas().Pixels(4, 4), clRed, tol)) << what;
    EXPECT_TRUE(Near(b.Canvas().Pixels(20, 12), clBlue, tol)) << what;
    EXPECT_TRUE(Near(b.Canvas().Pixels(28, 3), clWhite, tol)) << what;
}

TEST(GraphicsPictures, PngLogosDecodeWithEveryColourTypeFilterAndInterlace) {
    struct Case {
        const char* file;
        TColor left, right, topRight;  // expected on a grey background
        TColor probe15;                 // pixel 0,15
    } cases[] = {
        {"logo_rgb.png", clRed, clBlue, clWhite, clRed},
        {"logo_palette4.png", clRed, clBlue, clWhite, clGray},  // tRNS: index 3 transparent at 0,15
        {"logo_gray16.png", RGB(85, 85, 85), RGB(85, 85, 85), clWhite, RGB(85, 85, 85)},
        {"logo_rgb16_trns.png", clRed, clBlue, clGray, clRed},  // white is the transparent key
    };
    for (const auto& k : cases) {
        TPicture pic;
        pic.LoadFromFile(S(Data(k.file)));
        TBitmap b;
        Render(*pic.Graphic(), b);
        EXPECT_EQ(b.Width(), 32) << k.file;
        EXPECT_EQ(b.Height(), 16) << k.file;
        EXPECT_EQ(b.Canvas().Pixels(4, 4), k.left) << k.file;
        EXPECT_EQ(b.Canvas().Pixels(20, 12), k.right) << k.file;
        EXPECT_EQ(b.Canvas().Pixels(28, 3), k.topRight) << k.file;
        EXPECT_EQ(b.Canvas().Pixels(0, 15), k.probe15) << k.file;
    }
    // Adam7 with alpha: the right half is half transparent over grey.
    TPngImage png;
    png.LoadFromFile(S(Data("logo_rgba_adam7.png")));
    TBitmap b;
    Render(png, b);
    EXPECT_EQ(b.Canvas().Pixels(4, 4), clRed);
    EXPECT_TRUE(Near(b.Canvas().Pixels(20, 12), RGB(64, 64, 191), 2)) << std::hex << b.Canvas().Pixels(20, 12);
    for (int y = 0; y < 16; ++y)  // every pass filled its pixels
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(b.Canvas().Pixels(x, y), clRed) << x << "," << y;
    // Grey with alpha: the lower half fully transparent.
    TPngImage ga;
    ga.LoadFromFile(S(Data("logo_graya.png")));
    Render(ga, b);
    EXPECT_EQ(b.Canvas().Pixels(4, 4), RGB(85, 85, 85));
    EXPECT_EQ(b.Canvas().Pixels(4, 12), clGray);
    // One bit per pixel.
    TPngImage one;
    one.LoadFromFile(S(Data("checker_gray1.png")));
    Render(one, b);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(b.Canvas().Pixels(1, 0), clWhite);
    EXPECT_EQ(b.Canvas().Pixels(31, 15), clBlack);
}

TEST(GraphicsPictures, JpegLogoDecodesThroughLibjpeg) {
    TPicture pic;
    pic.LoadFromFile(S(Data("logo.jpg")));
    ASSERT_NE(dynamic_cast<TJPEGImage*>(pic.Graphic()), nullptr);
    TBitmap b;
    Render(*pic.Graphic(), b);
    ExpectLogo(b, 12, "logo.jpg");
}

TEST(GraphicsPictures, DamagedOrUnknownPicturesRaiseInvalidGraphic) {
    TempDir tmp;
    tmp.write("garbage.bmp", "BM this is not a bitmap at all");
    tmp.write("empty.png", "");
    tmp.write("text.gif", "GIF89a but nothing else");
    tmp.write("notes.txt", "hello");
    const std::string files[] = {Data("damaged.png"), Data("damaged.jpg"), tmp.file("garbage.bmp"),
                                 tmp.file("empty.png"), tmp.file("text.gif"), tmp.file("notes.txt")};
    for (const auto& f : files) {
        TPicture pic;
        try {
            pic.LoadFromFile(S(f));
            ADD_FAILURE() << f << " loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_FALSE(e.Message().empty()) << f;
        }
    }
    // Every cut of a good PNG fails cleanly.
    TempDir t2;
    std::string good;
    {
        TPngImage png;
        png.LoadFromFile(S(Data("logo_rgba_adam7.png")));
        good = png.SaveToBytes();
    }
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        TPngImage png;
        EXPECT_THROW(png.LoadFromBytes(good.substr(0, cut)), EInvalidGraphic) << cut;
    }
    // A flipped byte in the data is caught by the checksum.
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x55;
    TPngImage png;
    EXPECT_THROW(png.LoadFromBytes(flipped), EInvalidGraphic);
}

TEST(GraphicsPictures, BitmapsRoundTripThroughBmpInEveryPixelFormat) {
    TempDir tmp;
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        TBitmap a(9, 5);  // odd width: row padding
        a.SetPixelFormat(f);
        a.Canvas().Brush().SetColor(clBlack);
        a.Canvas().FillRect(Rect(0, 0, 4, 5));
        a.Canvas().SetPixels(8, 4, clBlack);
        a.SaveToFile(S(tmp.file("a.bmp")));
        TBitmap b;
        b.LoadFromFile(S(tmp.file("a.bmp")));
        EXPECT_EQ(b.PixelFormat(), f);
        ASSERT_EQ(b.Width(), 9);
        ASSERT_EQ(b.Height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(b.Canvas().Pixels(x, y), a.Canvas().Pixels(x, y)) << f << ":" << x << "," << y;
    }
}

TEST(GraphicsPictures, ScanLineRowsFollowThePixelFormat) {
    TBitmap b(4, 2);
    b.SetPixelFormat(pf24bit);
    auto* row = static_cast<Byte*>(b.ScanLine(1));
    row[0] = 0x30;  // blue
    row[1] = 0x20;  // green
    row[2] = 0x10;  // red
    EXPECT_EQ(b.Canvas().Pixels(0, 1), RGB(0x10, 0x20, 0x30));
    b.SetPixelFormat(pf1bit);
    auto* bits = static_cast<Byte*>(b.ScanLine(0));
    bits[0] = 0x50;  // 0101....: white at x 1 and 3
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(b.Canvas().Pixels(1, 0), clWhite);
    EXPECT_EQ(b.Canvas().Pixels(3, 0), clWhite);
}

}  // namespace

namespace {
TEST(GraphicsPictures, GifAndIconThroughThePlatformDecoderReportTheirSize) {
    TPicture gif;
    gif.LoadFromFile(S(Data("logo.gif")));
    ASSERT_NE(dynamic_cast<TGIFImage*>(gif.Graphic()), nullptr);
    EXPECT_EQ(gif.Width(), 8);
    EXPECT_EQ(gif.Height(), 4);
    TBitmap b;
    Render(*gif.Graphic(), b);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixels(5, 2), clBlue);
    EXPECT_EQ(b.Canvas().Pixels(7, 0), clWhite);

    // An icon written and read back, and found by its content.
    TIcon icon;
    icon.SetSize(16, 16);
    TBitmap face(16, 16);
    face.Canvas().Brush().SetColor(clLime);
    face.Canvas().FillRect(Rect(0, 0, 16, 16));
    TempDir tmp;
    {
        TBitmap drawn;
        drawn.Assign(&face);
        drawn.SaveToFile(S(tmp.file("face.bmp")));
    }
    std::unique_ptr<TGraphic> bmp = LoadPictureFromBytes(tmp.read("face.bmp"));
    ASSERT_NE(dynamic_cast<TBitmap*>(bmp.get()), nullptr);
    EXPECT_EQ(bmp->Width(), 16);
    ByteString ico = icon.SaveToBytes();
    std::unique_ptr<TGraphic> back = LoadPictureFromBytes(ico);
    ASSERT_NE(dynamic_cast<TIcon*>(back.get()), nullptr);
    EXPECT_EQ(back->Width(), 16);
    EXPECT_EQ(back->Height(), 16);
    // A fully transparent icon leaves the canvas alone.
    TBitmap onto(16, 16);
    onto.Canvas().Draw(0, 0, *back);
    EXPECT_EQ(onto.Canvas().Pixels(8, 8), clWhite);
}
}  // namespace

#include <zlib.h>

namespace {
// A PNG of only a header and a tiny data chunk, with valid checksums.
std::string PngClaiming(unsigned w, unsigned h) {
    auto be = [](unsigned v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto chunk = [&](const std::string& type, const std::string& body) {
        std::string tb = type + body;
        return be(unsigned(body.size())) + tb + be(unsigned(crc32(0, reinterpret_cast<const Bytef*>(tb.data()), uInt(tb.size()))));
    };
    std::string ihdr = be(w) + be(h) + std::string{8, 6, 0, 0, 0};
    std::string raw(64, '\0');
    std::string z(128, '\0');
    uLongf zlen = z.size();
    compress(reinterpret_cast<Bytef*>(z.data()), &zlen, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    z.resize(zlen);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", z) + chunk("IEND", "");
}

TEST(GraphicsPictures, HugeClaimedSizesAreRefusedWithoutAllocating) {
    for (unsigned side : {8000u, 100000u, 0x7FFFFFFFu}) {
        TPngImage png;
        EXPECT_THROW(png.LoadFromBytes(PngClaiming(side, side)), EInvalidGraphic) << side;
    }
    // A BMP header claiming a huge bitmap.
    std::string bmp = "BM" + std::string(12, '\0');
    std::string info(40, '\0');
    info[0] = 40;
    info[4] = info[5] = 0x7F;  // width 32639
    info[8] = info[9] = 0x7F;  // height 32639
    info[12] = 1;
    info[14] = 24;
    TBitmap b;
    EXPECT_THROW(b.LoadFromBytes(bmp + info), EInvalidGraphic);
}
}  // namespace

namespace {

// Sets every chunk's checksum right again, so that damage reaches the decoder
// behind the checksum test.
std::string WithFixedChecksums(std::string png) {
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(png.data()) + pos;
        const size_t len = (size_t(p[0]) << 24) | (size_t(p[1]) << 16) | (size_t(p[2]) << 8) | p[3];
        if (len > png.size() - pos - 12)
            break;
        const uLong crc = crc32(0, p + 4, uInt(4 + len));
        for (int i = 0; i < 4; ++i)
            png[pos + 8 + len + i] = static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
        pos += 12 + len;
    }
    return png;
}

std::string ReadData(const std::string& name) {
    std::string bytes;
    FILE* f = std::fopen(Data(name).c_str(), "rb");
    if (!f)
        return bytes;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

// Damaged pictures either decode or raise EInvalidGraphic; nothing else may happen.
template <class Picture>
void LoadOrInvalid(const std::string& bytes, const std::string& what) {
    Picture pic;
    try {
        pic.LoadFromBytes(bytes);
        TBitmap b;
        Render(pic, b);
    } catch (const EInvalidGraphic&) {
    } catch (...) {
        ADD_FAILURE() << what << ": another exception";
    }
}

TEST(GraphicsPictures, FlippedBitsBehindGoodChecksumsNeverCrashTheDecoders) {
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (const char* file : {"logo_rgb.png", "logo_palette4.png", "logo_gray16.png", "logo_rgb16_trns.png",
                             "logo_rgba_adam7.png", "logo_graya.png", "checker_gray1.png"}) {
        const std::string good = ReadData(file);
        ASSERT_FALSE(good.empty()) << file;
        for (int round = 0; round < 1000; ++round) {
            std::string bad = good;
            for (int k = 1 + int(next() % 3); k > 0; --k)
                bad[8 + next() % (bad.size() - 8)] ^= static_cast<char>(1 << (next() % 8));
            LoadOrInvalid<TPngImage>(WithFixedChecksums(bad), std::string(file) + " round " + std::to_string(round));
        }
    }
    // Our BMP reader, in every pixel format, flipped and cut.
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
        TBitmap b(13, 5);
        b.Canvas().Brush().SetColor(clRed);
        b.Canvas().FillRect(Rect(2, 1, 9, 4));
        b.SetPixelFormat(f);
        const std::string good = b.SaveToBytes();
        for (int round = 0; round < 1000; ++round) {
            std::string bad = good;
            for (int k = 1 + int(next() % 3); k > 0; --k)
                bad[2 + next() % 60] ^= static_cast<char>(1 << (next() % 8));  // the headers and palette
            if (round % 4 == 0)
                bad.resize(next() % bad.size());
            LoadOrInvalid<TBitmap>(bad, "bitmap " + std::to_string(f) + " round " + std::to_string(round));
        }
    }
    const std::string jpeg = ReadData("logo.jpg");
    ASSERT_FALSE(jpeg.empty());
    for (int round = 0; round < 1000; ++round) {
        std::string bad = jpeg;
        for (int k = 1 + int(next() % 3); k > 0; --k)
            bad[2 + next() % (bad.size() - 2)] ^= static_cast<char>(1 << (next() % 8));
        LoadOrInvalid<TJPEGImage>(bad, "logo.jpg round " + std::to_string(round));
    }
}

TEST(GraphicsPictures, ATruncatedJpegIsUnreadableButAMissingEndMarkerIsNot) {
    const std::string jpeg = ReadData("logo.jpg");
    ASSERT_GT(jpeg.size(), 100u);
    // Cut inside the compressed data: the rows at the end would be missing.
    for (size_t cut : {jpeg.size() / 2, jpeg.size() - 40, jpeg.size() - 12}) {
        TJPEGImage pic;
        EXPECT_THROW(pic.LoadFromBytes(jpeg.substr(0, cut)), EInvalidGraphic) << cut;
    }
    // Only the end marker lost: every row is there.
    TJPEGImage pic;
    pic.LoadFromBytes(jpeg.substr(0, jpeg.size() - 2));
    TBitmap b;
    ExpectLogo(Render(pic, b), 12, "without end marker");
}

}  // namespace

TEST(GraphicsPictures, ABitmapEncodesToJpegThatDecodesCloseToIt) {
    TBitmap bmp(32, 16);
    TCanvas& c = bmp.Canvas();
    const TColor quarters[] = {clRed, clLime, clBlue, clYellow};
    for (int i = 0; i < 4; ++i) {
        c.Brush().SetColor(quarters[i]);
        c.FillRect(Rect(i * 8, 0, i * 8 + 8, 16));
    }
    auto near = [](TColor a, TColor b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 24;
    };
    std::size_t sizes[2] = {};
    int k = 0;
    for (int quality : {95, 5}) {
        TJPEGImage jpeg;
        jpeg.SetCompressionQuality(quality);
        jpeg.Assign(&bmp);
        EXPECT_EQ(jpeg.Width(), 32);
        EXPECT_EQ(jpeg.Height(), 16);
        const ByteString data = jpeg.SaveToBytes();
        ASSERT_GE(data.size(), 4u);
        EXPECT_EQ(data.substr(0, 2), "\xFF\xD8");
        EXPECT_EQ(data.substr(data.size() - 2), "\xFF\xD9");
        sizes[k++] = data.size();
        TJPEGImage back;  // what another reader sees
        back.LoadFromBytes(data);
        TBitmap shown(32, 16);
        shown.Canvas().Draw(0, 0, back);
        if (quality == 95)
            for (int i = 0; i < 4; ++i)
                EXPECT_TRUE(near(shown.Canvas().Pixels(i * 8 + 4, 8), quarters[i])) << i;
    }
    EXPECT_LT(sizes[1], sizes[0]);
    TJPEGImage empty;
    TBitmap none;
    EXPECT_THROW(empty.Assign(&none), EInvalidGraphic);
}

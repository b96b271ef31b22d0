// The markup renderer with its picture decoder: a text drawn, measured and
// hit-tested, with the pictures it may name (BMP, ICO, GIF with its frames,
// JPEG, PNG) in a container.

#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "grid/foundation/MarkupRender.h"
#include "grid/foundation/PictureContainer.h"

// A byte of switches, the text (a piece, UTF-8), then up to four pictures
// (a piece each) named "p0" to "p3". The text is drawn with the switches;
// each picture is drawn on its own too, and animated pictures step on.
void Fuzz_Markup(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const std::uint8_t flags = in.Byte();
    const String text = Utf8ToString(in.Piece());
    TPictureContainer pictures(nullptr);
    for (int i = 0; i < 4 && !in.Empty(); ++i) {
        TPictureItem* item = pictures.Items().Add();
        item->SetName(u"p" + IntToStr(i));
        TMemoryStream s;
        s.WriteBytes(in.Piece());
        Fuzz_Guarded([&] { item->Picture()->LoadFromStream(&s); });
    }
    THTMLPictureCache cache;
    TBitmap canvas(160, 80);
    auto draw = [&](const String& markup) {
        TMarkupDrawArgs args;
        args.Pictures = &pictures;
        args.PictureCache = &cache;
        args.WrapWords = flags & 1;
        args.HitTestOnly = flags & 2;
        args.MeasureOnly = flags & 4;
        args.ScaleImages = flags & 8;
        args.EndEllipsis = !(flags & 16);
        args.ShadowShift = flags & 32 ? 2 : 0;
        args.MouseX = flags & 64 ? (flags >> 3) * 5 : -1;
        args.MouseY = flags & 64 ? 10 : -1;
        args.ControlID = u"e1";
        TMarkupDrawResult out;
        Fuzz_Guarded([&] { DrawHTMLText(canvas.Canvas(), markup, TRect{0, 0, 160, 80}, args, out); });
    };
    draw(text);
    for (int i = 0; i < pictures.Items().Count(); ++i) draw(u"<IMG SRC=\"p" + IntToStr(i) + u"\">");
    for (int step = 0; step < 8; ++step) {
        bool moved = false;
        Fuzz_Guarded([&] { moved = pictures.Items().Animate(); });
        if (moved) draw(text);
    }
}

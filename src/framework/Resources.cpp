// The resource registry, and the resources of the framework's own controls:
// the push button's stock kind glyphs and its popup arrow.

#include "Resources.h"

#include <map>
#include <mutex>

namespace {

String Key(const String& name) {
    String k = name;
    for (auto& ch : k)
        if (ch >= u'a' && ch <= u'z')
            ch = static_cast<Char>(ch - u'a' + u'A');
    return k;
}

struct Registry {
    std::mutex lock;
    std::map<String, TResourcePainter> bitmaps;
    std::map<String, TCursorPainter> cursors;
    std::map<String, ByteString> data;
};

void RegisterBuiltIns(Registry& r);

Registry& TheRegistry() {
    static Registry* r = [] {
        auto* reg = new Registry;  // lives for the whole program
        RegisterBuiltIns(*reg);
        return reg;
    }();
    return *r;
}

[[noreturn]] void NotFound(const String& name) { throw EResNotFound(u"Resource " + name + u" not found"); }

// ---------------------------------------------------------------------------
// The push button's kind glyphs: 16 colours, two 18-pixel images side by
// side (normal, disabled) on an olive background that the bottom-left pixel
// makes transparent.

constexpr TColor GlyphBack = clOlive;

using Picture = const char* const*;  // 16 rows of 16 characters, '.' background

// Each symbol on a 16 x 16 grid; letters pick colours.
const char* const OkPicture[16] = {
    "................", "................", "..............G.", ".............GG.", "............GG..",
    "...........GG...", "..........GG....", ".G.......GG.....", ".GG.....GG......", "..GG...GG.......",
    "...GG.GG........", "....GGG.........", ".....G..........", "................", "................",
    "................"};
const char* const CrossPicture[16] = {
    "................", "................", "..RR........RR..", "...RR......RR...", "....RR....RR....",
    ".....RR..RR.....", "......RRRR......", ".......RR.......", "......RRRR......", ".....RR..RR.....",
    "....RR....RR....", "...RR......RR...", "..RR........RR..", "................", "................",
    "................"};
const char* const HelpPicture[16] = {
    "................", ".....BBBBB......", "....BB...BB.....", "...BB.....BB....", "...........BB...",
    "..........BB....", ".........BB.....", "........BB......", "........BB......", "........BB......",
    "................", "........BB......", "........BB......", "................", "................",
    "................"};
const char* const NoPicture[16] = {
    "................", ".....RRRRRR.....", "....RR....RR....", "...RR......RR...", "..RR......RRR...",
    "..R......RR.R...", "..R.....RR..R...", "..R....RR...R...", "..R...RR....R...", "..R..RR.....R...",
    "..R.RR.....RR...", "...RR......RR...", "....RR....RR....", ".....RRRRRR.....", "................",
    "................"};
const char* const ClosePicture[16] = {
    "................", "..KKKKKKKK......", "..K......K......", "..K......K......", "..K......K..G...",
    "..K......K..GG..", "..K..GGGGGGGGGG.", "..K..GGGGGGGGGG.", "..K......K..GG..", "..K......K..G...",
    "..K......K......", "..K......K......", "..KKKKKKKK......", "................", "................",
    "................"};
const char* const RetryPicture[16] = {
    "................", "......BBBB......", "....BB....BB....", "...B........B...", "..B.........BBB.",
    "..B..........BB.", "..B.........B.B.", "..B.............", "..B.............", "...B............",
    "....BB....BB....", "......BBBB......", "................", "................", "................",
    "................"};
const char* const IgnorePicture[16] = {
    "................", "................", "....KKKKKKK.....", "...K.......K....", "..K.........K...",
    "..K.........K...", "..K.........K...", "..K.........K...", "..K.........K...", "..K.........K...",
    "...K.......K....", "....KKKKKKK.....", "................", "................", "................",
    "................"};
const char* const AllPicture[16] = {
    "................", "................", "..........G....G", ".........GG...GG", "........GG...GG.",
    ".......GG...GG..", "......GG...GG...", "G....GG...GG....", "GG..GG...GG.....", ".GGGG...GG......",
    "..GG...GG.......", "......GG........", ".....GG.........", "................", "................",
    "................"};

TColor InkOf(char c) {
    switch (c) {
    case 'G': return clGreen;
    case 'R': return clRed;
    case 'B': return clNavy;
    case 'K': return clBlack;
    default: return GlyphBack;
    }
}

void PaintKindGlyph(TBitmap& b, Picture pic, int height) {
    b.SetPixelFormat(pf4bit);
    b.SetSize(36, height);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(GlyphBack);
    c.FillRect(Rect(0, 0, 36, height));
    const int top = (height - 16) / 2;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (pic[y][x] == '.')
                continue;
            c.SetPixels(1 + x, top + y, InkOf(pic[y][x]));
            // The disabled image: a light silhouette under a grey one.
            c.SetPixels(18 + 1 + x + 1, top + y + 1, clWhite);
        }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (pic[y][x] != '.')
                c.SetPixels(18 + 1 + x, top + y, clGray);
}

void PaintPopupArrow(TBitmap& b) {
    // 5 x 3: a small black triangle pointing down on white (the bottom-left pixel).
    b.SetPixelFormat(pf4bit);
    b.SetSize(5, 3);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect(0, 0, 5, 3));
    for (int x = 0; x < 5; ++x)
        c.SetPixels(x, 0, clBlack);
    for (int x = 1; x < 4; ++x)
        c.SetPixels(x, 1, clBlack);
    c.SetPixels(2, 2, clBlack);
}

void RegisterBuiltIns(Registry& r) {
    struct Kind {
        const char* name;
        Picture picture;
    } kinds[] = {
        {"FBOK", OkPicture},         {"FBCANCEL", CrossPicture}, {"FBHELP", HelpPicture},
        {"FBYES", OkPicture},        {"FBNO", NoPicture},        {"FBCLOSE", ClosePicture},
        {"FBABORT", CrossPicture},   {"FBRETRY", RetryPicture},  {"FBIGNORE", IgnorePicture},
        {"FBALL", AllPicture},
    };
    for (const auto& k : kinds) {
        const int height = String(S(k.name)) == u"FBALL" ? 19 : 18;
        Picture pic = k.picture;
        r.bitmaps[S(k.name)] = [pic, height](TBitmap& b) { PaintKindGlyph(b, pic, height); };
    }
    r.bitmaps[u"FBARROW"] = PaintPopupArrow;
}

}  // namespace

void RegisterBitmapResource(const String& name, TResourcePainter painter) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.bitmaps[Key(name)] = std::move(painter);
}

void RegisterCursorResource(const String& name, TCursorPainter painter) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.cursors[Key(name)] = std::move(painter);
}

void RegisterDataResource(const String& name, ByteString data) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.data[Key(name)] = std::move(data);
}

bool ResourceExists(const String& name, TResourceKind kind) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    const String k = Key(name);
    switch (kind) {
    case rkBitmap: return r.bitmaps.count(k) > 0;
    case rkCursor: return r.cursors.count(k) > 0;
    default: return r.data.count(k) > 0;
    }
}

void LoadBitmapResource(TBitmap& bitmap, const String& name) {
    TResourcePainter painter;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> g(r.lock);
        auto it = r.bitmaps.find(Key(name));
        if (it == r.bitmaps.end())
            NotFound(name);
        painter = it->second;
    }
    TBitmap fresh;
    painter(fresh);
    bitmap.Assign(&fresh);
}

void LoadCursorResource(TCursorResource& cursor, const String& name) {
    TCursorPainter painter;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> g(r.lock);
        auto it = r.cursors.find(Key(name));
        if (it == r.cursors.end())
            NotFound(name);
        painter = it->second;
    }
    painter(cursor);
}

ByteString LoadDataResource(const String& name) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    auto it = r.data.find(Key(name));
    if (it == r.data.end())
        NotFound(name);
    return it->second;
}

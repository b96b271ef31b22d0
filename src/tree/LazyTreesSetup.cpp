// What every tree of the process shares, made once by the first tree: the
// lock over the shared pictures, the facts about the machine, the check
// pictures (the platform's check boxes and radio buttons in their normal,
// hot, pressed and disabled looks, our own drawn strips of the other kinds),
// the utility pictures, the header's two split cursors and the clipboard formats.

#include "tree/LazyTrees.ClipboardFormats.h"
#include "tree/LazyTrees.Utils.h"
#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Resources.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include <atomic>
#include <memory>
#include <utility>

namespace {

// Picture 0 is empty; 1-20 radio buttons, check boxes and three-state boxes
// (normal, hot, pressed, disabled; unchecked before checked); 21-24 the push
// buttons of the drawn dark (flat) strip, centred.
void BuildSystemCheckList(TImageList& List, bool Flat, TImageList& PushButtons) {
    const int W = GetSystemMetrics(SM_CXMENUCHECK), H = GetSystemMetrics(SM_CYMENUCHECK);
    List.Clear();
    List.SetSize(W, H);
    List.SetBkColor(clWhite);
    TBitmap Picture(W, H);
    TCanvas& C = Picture.Canvas();
    auto Blank = [&] {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(clRed);
        C.FillRect(TRect{0, 0, W, H});
    };
    const unsigned Looks[4] = {0, DFCS_HOT, DFCS_PUSHED, DFCS_INACTIVE};
    Blank();
    List.AddMasked(Picture, clRed);
    for (int I = 0; I < 20; ++I) {
        Blank();
        unsigned State = I <= 7 ? DFCS_BUTTONRADIO : I <= 15 ? DFCS_BUTTONCHECK : DFCS_BUTTON3STATE;
        State |= Looks[I % 4];
        if ((I >= 4 && I <= 7) || I >= 12) State |= DFCS_CHECKED;
        if (Flat) State |= DFCS_FLAT;
        TRect R{0, 0, W, H};
        C.DrawFrameControl(R, DFC_BUTTON, State);
        List.AddMasked(Picture, clRed);
    }
    for (int I = 21; I <= 24; ++I) {
        Blank();
        PushButtons.Draw(C, (W - PushButtons.Width()) / 2, (H - PushButtons.Height()) / 2, I);
        List.AddMasked(Picture, clRed);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// The drawn check strips and the utility strip
// ---------------------------------------------------------------------------

namespace {

// The strips are drawn in four colours that loading maps onto the current
// system colours (white, silver, grey, black); the ground is the top-left
// pixel's colour, which no picture uses.
constexpr TColor StripGround = TColor(0xFF00FF);
constexpr TColor White = TColor(0xFFFFFF), Silver = TColor(0xC0C0C0), Grey = TColor(0x808080),
                 Black = TColor(0x000000);

enum TStripLook { slLightCheck, slDarkCheck, slLightTick, slDarkTick, slFlat, slXP };

struct TStripColours {
    TColor Frame, FrameHot, Inside, InsideDown, InsideOff, Mark, MarkOff, Mixed;
};

TStripColours ColoursOf(TStripLook Look) {
    switch (Look) {
    case slDarkCheck:
    case slDarkTick: return {Black, Grey, Silver, Grey, Silver, Black, Grey, Grey};
    case slFlat: return {Grey, Black, White, Silver, Silver, Black, Grey, Grey};
    // Not remapped: the XP strip keeps its own colours.
    case slXP:
        return {TColor(0x80511C), TColor(0x3399FF), TColor(0xF4F4F4), TColor(0xD8D8D8), TColor(0xEDEDED),
                TColor(0x21A121), TColor(0xB4C0C0), TColor(0x21A121)};
    default: return {Grey, Black, White, Silver, Silver, Black, Grey, Grey};
    }
}

// Picture I of a strip (1-20: radio, checked radio, box, checked box, mixed box, each normal, hot,
// pressed, disabled; 21-24 push button) drawn into the 16-pixel square at Left.
void PaintStripPicture(TCanvas& C, int Left, int I, TStripLook Look) {
    const TStripColours K = ColoursOf(Look);
    const int Looks = (I - 1) % 4;  // 0 normal, 1 hot, 2 pressed, 3 disabled
    const bool Hot = Looks == 1, Down = Looks == 2, Off = Looks == 3;
    const bool ThreeD = Look == slLightCheck || Look == slDarkCheck;
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    C.Brush().SetStyle(bsSolid);
    const TColor Inside = Off ? K.InsideOff : Down ? K.InsideDown : K.Inside;
    const TColor Mark = Off ? K.MarkOff : K.Mark;
    if (I >= 21) {  // push button: raised, sunken when pressed
        C.Brush().SetColor(Look == slXP ? K.Inside : Silver);
        C.Pen().SetColor(Hot ? K.FrameHot : Off ? K.MarkOff : Black);
        C.Rectangle(Left + 1, 1, Left + 15, 15);
        C.Pen().SetColor(Down ? Grey : White);
        C.MoveTo(Left + 2, 13);
        C.LineTo(Left + 2, 2);
        C.LineTo(Left + 14, 2);
        return;
    }
    const TColor Frame = Hot ? K.FrameHot : Off ? K.MarkOff : K.Frame;
    C.Brush().SetColor(Inside);
    C.Pen().SetColor(Frame);
    if (I <= 8) {  // radio button
        C.Ellipse(Left + 2, 2, Left + 14, 14);
        if (I >= 5) {
            C.Brush().SetColor(Mark);
            C.Pen().SetColor(Mark);
            C.Ellipse(Left + 6, 6, Left + 10, 10);
        }
        return;
    }
    C.Rectangle(Left + 2, 2, Left + 15, 15);
    if (ThreeD) {  // sunken: a dark upper-left edge inside the frame
        C.Pen().SetColor(Off ? K.MarkOff : Grey);
        C.MoveTo(Left + 3, 13);
        C.LineTo(Left + 3, 3);
        C.LineTo(Left + 14, 3);
    }
    if (I >= 17) {  // mixed: a filled square
        C.Brush().SetColor(Off ? K.MarkOff : K.Mixed);
        C.FillRect(TRect{Left + 6, 6, Left + 11, 11});
    } else if (I >= 13) {
        C.Pen().SetColor(Mark);
        const bool Tick = Look == slLightTick || Look == slDarkTick;
        for (int Row = 0; Row < (Tick ? 3 : 2); ++Row) {  // a tick is one stroke heavier
            C.MoveTo(Left + 5, 8 + Row);
            C.LineTo(Left + 7, 10 + Row);
            C.LineTo(Left + 12, 5 + Row);
        }
    }
}

void PaintCheckStrip(TBitmap& Bitmap, TStripLook Look) {
    Bitmap.SetPixelFormat(Look == slXP ? pf24bit : pf32bit);
    Bitmap.SetSize(25 * 16, 16);
    TCanvas& C = Bitmap.Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(StripGround);
    C.FillRect(TRect{0, 0, 25 * 16, 16});
    for (int I = 1; I < 25; ++I) PaintStripPicture(C, I * 16, I, Look);
}

// 0 and 1 the drop marks pointing left and right, 2 and 3 the classic sort arrows (descending,
// ascending), 4 and 5 the themed ones; 6-8 are empty.
void PaintUtilityStrip(TBitmap& Bitmap) {
    Bitmap.SetPixelFormat(pf32bit);
    Bitmap.SetSize(9 * 16, 16);
    TCanvas& C = Bitmap.Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(StripGround);
    C.FillRect(TRect{0, 0, 9 * 16, 16});
    C.Pen().SetColor(Black);
    C.Brush().SetColor(Black);
    C.Polygon({{3, 8}, {11, 3}, {11, 13}});
    C.Polygon({{16 + 12, 8}, {16 + 4, 3}, {16 + 4, 13}});
    // Classic arrows: a grey-and-white raised outline; themed ones: grey, filled.
    auto Arrow = [&](int Left, bool Up, bool Filled) {
        const TPoint A{Left + 4, Up ? 11 : 5}, B{Left + 12, Up ? 11 : 5}, Tip{Left + 8, Up ? 5 : 11};
        if (Filled) {
            C.Pen().SetColor(Grey);
            C.Brush().SetColor(Grey);
            C.Polygon({A, B, Tip});
            return;
        }
        C.Pen().SetColor(Grey);
        C.MoveTo(A.X, A.Y);
        C.LineTo(Tip.X, Tip.Y);
        C.Pen().SetColor(White);
        C.LineTo(B.X, B.Y);
        C.LineTo(A.X, A.Y);
    };
    Arrow(2 * 16, false, false);
    Arrow(3 * 16, true, false);
    Arrow(4 * 16, false, true);
    Arrow(5 * 16, true, true);
}

// The resource lists in the order the set-up makes them: name, and whether
// the four strip colours are mapped onto the system colours.
struct TSharedStrip {
    const char* Name;
    bool Remap;
};
constexpr TSharedStrip SharedStrips[] = {
    {"LT_CHECK_LIGHT", true}, {"LT_CHECK_DARK", true}, {"LT_TICK_LIGHT", true}, {"LT_TICK_DARK", true},
    {"LT_FLAT", true},        {"LT_XP", false},        {"LT_UTILITIES", true},
};
constexpr int UtilityStrip = 6;

// The header's split cursors: a bar across the border with an arrow to each side.
void PaintSplitCursor(TCursorResource& Cursor, bool Vertical) {
    constexpr TColor See = clFuchsia;
    Cursor.Image.SetSize(32, 32);
    Cursor.Image.SetTransparentColor(See);
    TCanvas& C = Cursor.Image.Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(See);
    C.FillRect(TRect{0, 0, 32, 32});
    C.Brush().SetColor(clBlack);
    C.Pen().SetColor(clWhite);
    // Drawn for the column border (arrows left and right); the lower edge turns it by a quarter.
    auto P = [Vertical](int X, int Y) { return Vertical ? TPoint{Y, X} : TPoint{X, Y}; };
    C.Polygon({P(15, 6), P(17, 6), P(17, 13), P(24, 13), P(24, 9), P(30, 16), P(24, 23), P(24, 19), P(17, 19),
               P(17, 26), P(15, 26), P(15, 19), P(8, 19), P(8, 23), P(2, 16), P(8, 9), P(8, 13), P(15, 13)});
    Cursor.HotSpot = TPoint{16, 16};
}

const TResourceRegistrar StripResources([] {
    for (int Look = slLightCheck; Look <= slXP; ++Look)
        RegisterBitmapResource(Utf8ToString(SharedStrips[Look].Name),
                               [Look](TBitmap& Bitmap) { PaintCheckStrip(Bitmap, TStripLook(Look)); });
    RegisterBitmapResource(Utf8ToString(SharedStrips[UtilityStrip].Name), PaintUtilityStrip);
    RegisterCursorResource(u"LT_HEADERSPLIT", [](TCursorResource& Cursor) { PaintSplitCursor(Cursor, false); });
    RegisterCursorResource(u"LT_VERTSPLIT", [](TCursorResource& Cursor) { PaintSplitCursor(Cursor, true); });
});

// Raised once, by the first set-up; never lowered.
std::atomic<int> SetUpCount{0};
bool SetUpDone = false;
std::unique_ptr<TCriticalSection> Lock;
std::unique_ptr<TImageList> StripLists[std::size(SharedStrips)];
std::unique_ptr<TImageList> SystemList, SystemFlatList;

TImageList* SetUpList(const std::unique_ptr<TImageList>& List) {
    SetUpTreeLibrary();
    return List.get();
}

// The tree unit's end: what the first tree made goes with the program.
struct TTearDown {
    ~TTearDown() { TearDownTreeLibrary(); }
} TearDown;

}  // namespace

TCriticalSection* TreeLibraryLock = nullptr;

void SetUpTreeLibrary() {
    if (SetUpCount.load() >= 1 || SetUpCount.fetch_add(1) + 1 != 1) return;
    Lock = std::make_unique<TCriticalSection>();
    TreeLibraryLock = Lock.get();
    MMXAvailable = ProcessorHasMMX();
    PlatformVersionAtLeast6 = GetOSVersion().Major > 5;
    // The framework's clipboard and drag and drop need no initialisation of their own.
    TreeReferenceFormat();
    for (std::size_t I = 0; I < std::size(SharedStrips); ++I) {
        StripLists[I] = std::make_unique<TImageList>();
        LoadSharedImageList(*StripLists[I], Utf8ToString(SharedStrips[I].Name), SharedStrips[I].Remap);
    }
    SystemList = std::make_unique<TImageList>();
    BuildSystemCheckList(*SystemList, false, *StripLists[slDarkCheck]);
    SystemFlatList = std::make_unique<TImageList>();
    BuildSystemCheckList(*SystemFlatList, true, *StripLists[slFlat]);
    Screen->SetCursors(crHeaderSplit, u"LT_HEADERSPLIT");
    Screen->SetCursors(crHeaderVertSplit, u"LT_VERTSPLIT");
    RegisterStandardTreeFormats();
    RegisterTreeStreamClasses();
    SetUpDone = true;
}

void TearDownTreeLibrary() {
    if (!SetUpDone) return;
    SetUpDone = false;
    for (auto& List : StripLists) List.reset();
    SystemList.reset();
    SystemFlatList.reset();
    TreeLibraryLock = nullptr;
    Lock.reset();
}

void LoadSharedImageList(TImageList& List, const String& ResourceName, bool Remap) {
    SetUpTreeLibrary();
    // A list may be reloaded while another thread draws from the shared pictures.
    TreeLibraryLock->Enter();
    struct TLeave {
        ~TLeave() { TreeLibraryLock->Leave(); }
    } Leave;
    TBitmap Strip;
    LoadBitmapResource(Strip, ResourceName);
    if (Strip.Height() < 1) Assert(false, u"Internal image \"" + ResourceName + u"\" is missing or corrupt.");
    if (Remap) {
        const std::pair<TColor, TColor> Map[] = {
            {White, ColorToRGB(clWindow)}, {Silver, ColorToRGB(clBtnFace)}, {Grey, ColorToRGB(clBtnShadow)},
            {Black, ColorToRGB(clBtnText)}};
        TCanvas& C = Strip.Canvas();
        for (int Y = 0; Y < Strip.Height(); ++Y)
            for (int X = 0; X < Strip.Width(); ++X) {
                const TColor P = C.Pixels(X, Y);
                for (const auto& [From, To] : Map)
                    if (P == From) {
                        C.SetPixels(X, Y, To);
                        break;
                    }
            }
    }
    List.Clear();
    List.SetSize(Strip.Height(), Strip.Height());
    List.AddMasked(Strip, Strip.Canvas().Pixels(0, 0));
}

TImageList* CheckListLight() { return SetUpList(StripLists[slLightCheck]); }
TImageList* CheckListDark() { return SetUpList(StripLists[slDarkCheck]); }
TImageList* TickListLight() { return SetUpList(StripLists[slLightTick]); }
TImageList* TickListDark() { return SetUpList(StripLists[slDarkTick]); }
TImageList* CheckListFlat() { return SetUpList(StripLists[slFlat]); }
TImageList* CheckListXP() { return SetUpList(StripLists[slXP]); }
TImageList* UtilityImageList() { return SetUpList(StripLists[UtilityStrip]); }
TImageList* SystemCheckList() { return SetUpList(SystemList); }
TImageList* SystemFlatCheckList() { return SetUpList(SystemFlatList); }

TImageList* DrawnCheckList(int Look) { return SetUpList(StripLists[Look]); }

void ReloadRemappedImageLists() {
    if (!SetUpDone) return;
    for (std::size_t I = 0; I < std::size(SharedStrips); ++I)
        if (SharedStrips[I].Remap) LoadSharedImageList(*StripLists[I], Utf8ToString(SharedStrips[I].Name), true);
}

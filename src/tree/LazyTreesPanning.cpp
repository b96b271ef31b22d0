// Moving the view without the scroll bars: automatic scrolling while a
// rubber band nears an edge, and middle-button panning, in which a mark at
// the start point shows the possible directions and the view scrolls the
// faster the farther the pointer stands from it. Both run on timer 4.

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include <algorithm>
#include <utility>

namespace {

constexpr unsigned ScrollTimer = 4;
constexpr int DeadZone = 8;
constexpr TColor PanningTransparent = TColor(0xFF00FF);

// The eleven marks: which arrows each shows (north, south, east, west).
struct TPanningPicture {
    const char* Name;
    bool N, S, E, W;
};
constexpr TPanningPicture PanningPictures[] = {
    {"LT_MOVEALL", true, true, true, true}, {"LT_MOVEEW", false, false, true, true},
    {"LT_MOVENS", true, true, false, false}, {"LT_MOVEN", true, false, false, false},
    {"LT_MOVES", false, true, false, false}, {"LT_MOVEE", false, false, true, false},
    {"LT_MOVEW", false, false, false, true},  {"LT_MOVENE", true, false, true, false},
    {"LT_MOVENW", true, false, false, true},  {"LT_MOVESE", false, true, true, false},
    {"LT_MOVESW", false, true, false, true},
};

// A grey disc with a dot in its middle and a black arrow head per direction,
// on the transparent magenta.
void PaintPanningPicture(TBitmap& Bitmap, const TPanningPicture& P) {
    Bitmap.SetSize(32, 32);
    TCanvas& C = Bitmap.Canvas();
    C.Brush().SetColor(PanningTransparent);
    C.FillRect(TRect{0, 0, 32, 32});
    C.Brush().SetColor(TColor(0xE0E0E0));
    C.Pen().SetColor(TColor(0x606060));
    C.Ellipse(2, 2, 30, 30);
    C.Brush().SetColor(clBlack);
    C.Pen().SetColor(clBlack);
    C.Ellipse(14, 14, 18, 18);
    if (P.N) C.Polygon({{16, 5}, {11, 10}, {21, 10}});
    if (P.S) C.Polygon({{16, 26}, {11, 21}, {21, 21}});
    if (P.E) C.Polygon({{26, 16}, {21, 11}, {21, 21}});
    if (P.W) C.Polygon({{5, 16}, {10, 11}, {10, 21}});
}

const TResourceRegistrar PanningResources([] {
    for (const TPanningPicture& P : PanningPictures) {
        RegisterBitmapResource(Utf8ToString(P.Name), [P](TBitmap& Bitmap) { PaintPanningPicture(Bitmap, P); });
        RegisterCursorResource(Utf8ToString(P.Name), [P](TCursorResource& Cursor) {
            PaintPanningPicture(Cursor.Image, P);
            Cursor.Image.SetTransparentColor(PanningTransparent);
            Cursor.HotSpot = TPoint{16, 16};
        });
    }
});

// The cursor numbers the panning cursors are registered under with the screen.
constexpr TCursor FirstPanningCursor = 1200;

TCursor PanningCursor(const String& Name) {
    for (std::size_t I = 0; I < std::size(PanningPictures); ++I)
        if (Utf8ToString(PanningPictures[I].Name) == Name) {
            TCursor Index = FirstPanningCursor + TCursor(I);
            TCursorResource Loaded;
            if (!Screen->Cursors(Index, Loaded)) Screen->SetCursors(Index, Name);
            return Index;
        }
    return crDefault;
}

// The mark at the start point: a frameless window shaped to the picture's
// opaque pixels, never activated.
class TPanningWindow : public TCustomControl {
public:
    TPanningWindow(TBaseLazyTree* Owner, const String& PictureName) : TCustomControl(Owner), FTree(Owner) {
        LoadBitmapResource(FPicture, PictureName);
        SetBounds(0, 0, FPicture.Width(), FPicture.Height());
    }
    const TBitmap& Picture() const { return FPicture; }
    void PaintPicture() { Canvas().Draw(0, 0, FPicture); }
    void DefaultMessage(TMessage& Message) { TCustomControl::WndProc(Message); }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
    }
    void CreateWnd() override {
        TCustomControl::CreateWnd();
        TRegion Shape;
        bool Any = false;
        for (int Y = 0; Y < FPicture.Height(); ++Y)
            for (int X = 0; X < FPicture.Width();) {
                if (FPicture.Canvas().Pixels(X, Y) == PanningTransparent) {
                    ++X;
                    continue;
                }
                int Start = X;
                while (X < FPicture.Width() && FPicture.Canvas().Pixels(X, Y) != PanningTransparent) ++X;
                TRegion Run(TRect{Start, Y, X, Y + 1});
                if (Any) Shape.Combine(Shape, Run, RGN_OR);
                else Shape = Run;
                Any = true;
            }
        Assert(Any, u"Invalid wheel panning image.");
        SetWindowRgn(Handle(), &Shape, true);
    }
    // The tree decides what the mark does with its messages.
    void WndProc(TMessage& Message) override {
        if (FTree->PanningWindow() == this) FTree->PanningWindowMessage(Message);
        else DefaultMessage(Message);
    }

private:
    TBaseLazyTree* FTree;
    TBitmap FPicture;
};

}  // namespace

bool TBaseLazyTree::MayAutoScroll() {
    return (IsPanning() || FOptions->AutoOptions().Contains(toAutoScroll)) && FHeader->States.Empty() &&
           (IsMouseSelecting() || FStates.Contains(tsFwDragging) || IsPanning() ||
            (FDragManager && FDragManager->DropTargetActive()));
}

TBaseLazyTree::TScrollDirections TBaseLazyTree::ScrollDirectionsAt(int X, int Y) {
    TScrollDirections Result;
    if (!MayAutoScroll()) return Result;
    if (IsPanning()) {
        if (X - FLastClickPos.X > DeadZone) Result.Include(sdRight);
        if (FLastClickPos.X - X > DeadZone) Result.Include(sdLeft);
        if (FLastClickPos.Y - Y > DeadZone) Result.Include(sdUp);
        if (Y - FLastClickPos.Y > DeadZone) Result.Include(sdDown);
        return Result;
    }
    const int Zone = int(FDefaultNodeHeight);
    if (X < Zone && FOffsetX != 0) Result.Include(sdLeft);
    if (RangeX() > ClientWidth() - FOffsetX && X > ClientWidth() - Zone) Result.Include(sdRight);
    if (Y < Zone && FOffsetY != 0) Result.Include(sdUp);
    if (RangeY() > ClientHeight() - FOffsetY && Y > ClientHeight() - Zone) Result.Include(sdDown);
    // A drag over the tree scrolls only once the pointer has stood in the edge zones for the delay.
    const bool DragOverTree = (FDragManager && FDragManager->DropTargetActive()) || FStates.Contains(tsFwDragging);
    if (!Result.Empty() && DragOverTree) {
        if (FDragScrollStart == 0) FDragScrollStart = std::max<Cardinal>(GetTickCount(), 1);
        if (GetTickCount() - FDragScrollStart < AutoScrollDelay) Result = TScrollDirections();
    }
    return Result;
}

void TBaseLazyTree::ArmAutoScroll(int X, int Y) {
    FScrollDirections = ScrollDirectionsAt(X, Y);
    if (IsPanning()) return;
    const bool Active = FStates.Contains(tsScrolling) || FStates.Contains(tsScrollPending);
    if (!FScrollDirections.Empty() && !Active) {
        DoStateChange({tsScrollPending});
        StartTimer(ScrollTimer, AutoScrollDelay);
    } else if (FScrollDirections.Empty() && Active) {
        StopTimer(ScrollTimer);
        DoStateChange({}, {tsScrolling, tsScrollPending});
    }
}

void TBaseLazyTree::ScrollTimerStep() {
    const TPoint P = ScreenToClient(GetCursorPos());
    const TRect Client = ClientRect();
    const bool Inside = PtInRect(Client, P);
    const bool Panning = IsPanning();
    if (!(IsMouseSelecting() || Inside || Panning)) return;
    if (Panning) FScrollDirections = ScrollDirectionsAt(P.X, P.Y);
    int DX = 0, DY = 0;
    const int StepY = std::min(int(FScrollBarOptions->VerticalIncrement), std::max(1, ClientHeight()));
    const int StepX = int(FScrollBarOptions->HorizontalIncrement);
    if (FScrollDirections.Contains(sdUp)) {
        if (Panning) DY = FLastClickPos.Y - P.Y - DeadZone;
        else DY = Inside ? StepY : StepY * (Client.Top - P.Y);
        if (FOffsetY >= 0) FScrollDirections.Exclude(sdUp);
    }
    if (FScrollDirections.Contains(sdDown)) {
        if (Panning) DY = FLastClickPos.Y - P.Y + DeadZone;
        else DY = Inside ? -StepY : -StepY * (P.Y - Client.Bottom + 1);
        if (ClientHeight() - FOffsetY >= RangeY()) FScrollDirections.Exclude(sdDown);
    }
    if (FScrollDirections.Contains(sdLeft)) {
        if (Panning) DX = FLastClickPos.X - P.X - DeadZone;
        else DX = Inside ? StepX : StepX * (Client.Left - P.X);
        if (FOffsetX >= 0) FScrollDirections.Exclude(sdLeft);
    }
    if (FScrollDirections.Contains(sdRight)) {
        if (Panning) DX = FLastClickPos.X - P.X + DeadZone;
        else DX = Inside ? -StepX : -StepX * (P.X - Client.Right + 1);
        if (ClientWidth() - FOffsetX >= RangeX()) FScrollDirections.Exclude(sdRight);
    }
    if (DX != 0 || DY != 0) {
        SetOffsetXY(FOffsetX + DX, FOffsetY + DY);
        // The band keeps its corner under the pointer while the view moves.
        if (FStates.Contains(tsDrawSelecting) && TrackSelectionRect(P.X, P.Y)) UpdateDrawSelection();
        Invalidate();
    }
    if (HandleAllocated()) UpdateWindow(Handle());
    if (FScrollDirections.Empty() && !Panning) {
        StopTimer(ScrollTimer);
        DoStateChange({}, {tsScrolling, tsScrollPending});
    }
}

void TBaseLazyTree::BeginPanning(TPoint Position) {
    StopTimer(ScrollTimer);
    DoStateChange({tsWheelPanning, tsWheelScrolling});
    const bool Wider = RangeX() > ClientWidth(), Higher = RangeY() > ClientHeight();
    auto* Window = new TPanningWindow(this, Wider && Higher ? u"LT_MOVEALL" : Wider ? u"LT_MOVEEW" : u"LT_MOVENS");
    FPanningWindow = Window;
    Window->SetParent(this);
    Window->SetBounds(Position.X - Window->Width() / 2, Position.Y - Window->Height() / 2, Window->Width(),
                      Window->Height());
    Window->Show();
    if (CanFocus()) SetFocus();
    SetMouseCapture(true);
    StartTimer(ScrollTimer, 20);
}

void TBaseLazyTree::EndPanning() {
    if (!IsPanning()) return;
    StopTimer(ScrollTimer);
    SetMouseCapture(false);
    DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
    delete std::exchange(FPanningWindow, nullptr);
    FPanningCursorName.clear();
    SetCursor(crDefault);
}

void TBaseLazyTree::ChoosePanningCursor(int X, int Y) {
    const bool Wider = RangeX() > ClientWidth(), Higher = RangeY() > ClientHeight();
    const int DX = X - FLastClickPos.X, DY = Y - FLastClickPos.Y;
    const char* Name;
    if (std::abs(DX) <= 7 && std::abs(DY) <= 7) {
        Name = !Wider ? "LT_MOVENS" : Higher ? "LT_MOVEALL" : "LT_MOVEEW";
    } else if (Wider && Higher) {
        static const char* const Grid[3][3] = {{"LT_MOVENW", "LT_MOVEN", "LT_MOVENE"},
                                               {"LT_MOVEW", "LT_MOVES", "LT_MOVEE"},
                                               {"LT_MOVESW", "LT_MOVES", "LT_MOVESE"}};
        int Column = DX < -DeadZone ? 0 : DX > DeadZone ? 2 : 1;
        int Row = DY < -DeadZone ? 0 : DY > DeadZone ? 2 : 1;
        Name = Grid[Row][Column];
        if (Row == 1 && Column == 1) Name = DY < 0 ? "LT_MOVEN" : "LT_MOVES";
        else if (Row == 1 && Column == 0) Name = "LT_MOVEW";
    } else if (Wider) {
        Name = DX < 0 ? "LT_MOVEW" : "LT_MOVEE";
    } else {
        Name = DY < 0 ? "LT_MOVEN" : "LT_MOVES";
    }
    String Chosen = Utf8ToString(Name);
    if (Chosen == FPanningCursorName) return;
    FPanningCursorName = Chosen;
    SetCursor(PanningCursor(Chosen));
}

void TBaseLazyTree::PanningWindowMessage(TMessage& Message) {
    auto* Window = static_cast<TPanningWindow*>(FPanningWindow);
    if (!Window) return;
    if (Message.Msg == WM_PAINT) {
        Window->PaintPicture();
        Message.Result = 0;
        return;
    }
    Window->DefaultMessage(Message);
}

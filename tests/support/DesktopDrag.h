#pragma once
// Drags between the program under test and another program on the same X
// display (tests/support/helpers/drag_peer.cpp), made of real X input.
// For the real-display tests only (see RealDisplay.h).

#include "framework/Graphics.h"
#include "framework/Process.h"
#include "support/TempDir.h"

#include <functional>
#include <string>
#include <vector>

class TDragPeer {
public:
    // Starts the other program as "source" (with its items, see drag_peer)
    // or "target", its window at At, and waits until it shows.
    TDragPeer(const std::string& Mode, TPoint At, const std::vector<std::string>& Items = {});
    // Ends it.
    ~TDragPeer();
    TDragPeer(const TDragPeer&) = delete;
    TDragPeer& operator=(const TDragPeer&) = delete;
    bool Ready() const { return FBounds.Right > FBounds.Left; }
    // A screen point inside the band of an item (a source), or the middle.
    TPoint Band(int Index) const { return {FBounds.Left + 30, FBounds.Top + Index * 40 + 20}; }
    TPoint Middle() const { return {(FBounds.Left + FBounds.Right) / 2, (FBounds.Top + FBounds.Bottom) / 2}; }
    // Its records so far, and the rest of the last one that starts with Key
    // and a blank ("" when there is none).
    std::vector<std::string> Records() const;
    bool Has(const std::string& Key) const;
    std::string Last(const std::string& Key) const;
    // Forgets the records so far.
    void Clear();

private:
    TempDir FDir;
    std::string FRecord;
    TProcess FProcess;
    TRect FBounds;
};

// One step of a scripted person: X input (xdotool's arguments, run to its
// end) or a condition to wait for.
struct TXStep {
    std::vector<std::string> Input;
    std::function<bool()> Until;
};
// Runs the steps one after another while the program handles its events,
// also inside the drag loops that the input starts. False (with the step's
// number in Failed) when a step does not finish within 10 seconds.
bool RunXSteps(const std::vector<TXStep>& Steps, int* Failed = nullptr);
// A step that waits until a window with the title shows on the display.
TXStep XWindowShown(const std::string& Title);
// xdotool's arguments that move the pointer to a screen point and wait
// until it is there.
std::vector<std::string> XMoveTo(TPoint P);
// A screen point moved by (DX, DY).
inline TPoint Plus(TPoint P, int DX, int DY) { return {P.X + DX, P.Y + DY}; }

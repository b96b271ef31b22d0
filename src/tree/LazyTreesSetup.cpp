// The check pictures every tree shares, drawn by the platform: the check
// boxes and radio buttons in their normal, hot, pressed and disabled looks,
// made once for the process.

#include "tree/LazyTrees.Utils.h"

#include "framework/ImgList.h"
#include "framework/Windows.h"

#include <memory>

namespace {

// Picture 0 is empty; 1-20 radio buttons, check boxes and three-state boxes
// (normal, hot, pressed, disabled; unchecked before checked); 21-24 push buttons.
void BuildSystemCheckList(TImageList& List, bool Flat) {
    const int W = GetSystemMetrics(SM_CXMENUCHECK), H = GetSystemMetrics(SM_CYMENUCHECK);
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
    for (unsigned Look : Looks) {
        Blank();
        TRect R{0, 0, W, H};
        C.DrawFrameControl(R, DFC_BUTTON, DFCS_BUTTONPUSH | Look | (Flat ? DFCS_FLAT : 0));
        List.AddMasked(Picture, clRed);
    }
}

TImageList* SharedList(std::unique_ptr<TImageList>& List, bool Flat) {
    if (!List) {
        List = std::make_unique<TImageList>();
        BuildSystemCheckList(*List, Flat);
    }
    return List.get();
}

std::unique_ptr<TImageList> SystemList, SystemFlatList;

}  // namespace

TImageList* SystemCheckList() { return SharedList(SystemList, false); }

TImageList* SystemFlatCheckList() { return SharedList(SystemFlatList, true); }

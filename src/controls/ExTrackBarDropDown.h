#pragma once
// The track-bar drop-down: an integer in a range, shown in the edit and
// picked with a horizontal track bar in the pop-up. With typing off (the
// default) the Up and Down keys and a sideways drag over the edit change
// the value too.

#include "controls/ExDropDown.h"

#include "framework/ComCtrls.h"

class TExTrackBarDropDown : public TExCustomDropDown {
public:
    explicit TExTrackBarDropDown(TComponent* AOwner);

    TTrackBar* TrackBar() const { return FTrackBar; }
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    TNotifyEvent OnTrackChange;

    void Change() override;

protected:
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void WMKeyDown(TWMKey& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void TrackBarChange();
    TTrackBar* FTrackBar = nullptr;
    int FMin = 0, FMax = 10, FPosition = 0, FPageSize = 2, FFrequency = 1;
    bool FMouseDraging = false;
    int FMouseX = 0;
};

#include "grid/ExgDateTimePicker.h"

TExgDateTimePicker::TExgDateTimePicker(TComponent* AOwner) : TCustomDateTimePicker(AOwner) {
    SetMetroStyle(false);
    SetBorderColor(clNone);
    SetBorderStyle(bsNone);
    SetCtl3D(true);
}

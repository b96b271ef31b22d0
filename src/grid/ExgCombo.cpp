// The flat combo box.
#include "grid/ExgCombo.h"

void TExgCustomCombo::SetDropWidth(int Value) {
    FDropWidth = Value;
    if (Value > 0) SetDroppedWidth(Value);
}

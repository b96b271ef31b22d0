#pragma once
#include "framework/Controls.h"

// Creates a control of kind T owned by and placed on parent at the given bounds.
template <class T>
T* Place(TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

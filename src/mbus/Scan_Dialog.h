#pragma once
// What the scan window's dialogs share: placing a control and the grey title
// band with the software code and the dialog's description.

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
    T* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

// The title band across the top of a dialog of the given width.
inline void Place_Title(TWinControl* form, int width, TPanel*& band, TLabel*& code, TLabel*& desc) {
    band = Place<TPanel>(form, 0, 0, width, 60);
    band->SetAlign(alTop);
    band->SetBevelOuter(bvNone);
    code = Place<TLabel>(band, 16, 8, width - 131, 24);
    code->Font().SetHeight(-19);
    code->Font().SetColor(clGray);
    desc = Place<TLabel>(band, 16, 38, 300, 13);
    desc->Font().SetStyle({fsBold});
    desc->Font().SetColor(clGray);
}

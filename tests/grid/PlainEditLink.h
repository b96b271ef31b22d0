#pragma once
// A grid editor link over a plain edit, as an application writes one.

#include "grid/ExGridEditLink.h"

#include "framework/StdCtrls.h"

class TPlainEditLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TEdit* Edit = nullptr;
    TWinControl* GetEditControl() override { return Edit; }
    void CreateEditor(TWinControl* AParent) override {
        if (Edit && Edit->Parent() == AParent) return;
        delete Edit;
        Edit = new TEdit(AParent);
        Edit->SetParent(AParent);
        Edit->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { EditKeyDown(Sender, Key, Shift); };
    }
    void DestroyEditor() override {
        delete Edit;
        Edit = nullptr;
    }
    String GetEditorValue() override { return Edit ? Edit->Text() : String(); }
    void SetEditorValue(const String& S) override { Edit->SetText(S); }
};

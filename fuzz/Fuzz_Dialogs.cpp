#include "Fuzz_Dialogs.h"

#include "framework/Forms.h"

#include <algorithm>

int TFuzzDialogs::MessageBox(const TMessageBoxRequest& Request) {
    if (Request.Buttons.empty()) return IDOK;
    const auto at = std::size_t(std::clamp(Request.DefaultButton, 0, int(Request.Buttons.size()) - 1));
    return Request.Buttons[at];
}

void TFuzzDialogs::ModalFormShown(TCustomForm* Form) {
    if (OnModalForm) OnModalForm(Form);
    // A window its handler left open would hold the run in its loop.
    if (Form->ModalResult() == mrNone) Form->SetModalResult(mrCancel);
}

TFuzzDialogs& Fuzz_Dialogs() {
    static TFuzzDialogs* dialogs = [] {
        auto* d = new TFuzzDialogs;  // lives as long as the process
        SetDialogService(d);
        return d;
    }();
    return *dialogs;
}

void Fuzz_Show_Modal(TCustomForm& Form, const std::function<void()>& Press) {
    Fuzz_Dialogs().OnModalForm = [&](TCustomForm*) { Press(); };
    try {
        Form.ShowModal();
    } catch (const Exception&) {
    }
    Fuzz_Dialogs().OnModalForm = nullptr;
}

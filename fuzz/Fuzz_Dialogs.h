#pragma once
// The answers of a fuzz run: every box gets its default button, every file
// dialog is cancelled, and a window that becomes modal is handed to the
// target's handler (which presses its buttons) and then closed. Nothing is
// recorded, so a long run does not grow.

#include "framework/Dialogs.h"

#include <functional>

class TFuzzDialogs : public TDialogService {
public:
    std::function<void(TCustomForm* Form)> OnModalForm;

    int MessageBox(const TMessageBoxRequest& Request) override;
    bool FileDialog(TFileDialogRequest&) override { return false; }
    bool SelectFolder(const String&, String&) override { return false; }
    void OpenLink(const String&) override {}
    bool PopupMenu(TPopupMenu*, int, int, TMenuItem*& Chosen) override {
        Chosen = nullptr;
        return false;
    }
    void ModalFormShown(TCustomForm* Form) override;
};

// The service, installed on first use for the rest of the process.
TFuzzDialogs& Fuzz_Dialogs();

#pragma once
// The answers of a fuzz run: every box gets its default button, every file
// dialog is cancelled, and a window that becomes modal is handed to the
// target's handler (which presses its buttons) and then closed. Nothing is
// recorded, so a long run does not grow.

#include "framework/Dialogs.h"
#include "framework/Forms.h"

#include <functional>
#include <map>
#include <memory>

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

// A window of class T, made as the program makes it.
template <class T>
T* Fuzz_Make() {
    return new T(nullptr);
}

// The window Make gives for Key (a model code, say), made on first use and
// kept for the rest of the run: making windows is the slow part of a target.
// Never freed, so none outlives the platform at exit.
template <class T, class Key>
T& Fuzz_Window(const Key& K, T* (*Make)()) {
    static auto& windows = *new std::map<Key, std::unique_ptr<T>>;
    std::unique_ptr<T>& w = windows[K];
    if (!w) {
        w.reset(Make());
        w->AfterConstruction();
    }
    return *w;
}

// Shows Form modally, as the wizard does, and runs Press once it is up;
// what the parsers behind it raise is one of the outcomes.
void Fuzz_Show_Modal(TCustomForm& Form, const std::function<void()>& Press);

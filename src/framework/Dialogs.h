#pragma once
// Message boxes, file and folder dialogs and opening links. Everything that
// asks the person goes through one dialog service; a test replaces it with
// a scripted one that answers from a queue and records what was shown, and
// that can drive modal forms.

#include "framework/Classes.h"
#include "framework/Controls.h"

#include <deque>
#include <functional>
#include <vector>

// MessageBox flags: buttons, icon, default button.
constexpr Cardinal MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3;
constexpr Cardinal MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5;
constexpr Cardinal MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20;
constexpr Cardinal MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40;
constexpr Cardinal MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200;
constexpr Cardinal MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000;
// Results: the button pressed.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// Shows a box and returns the ID of the button pressed (IDCANCEL when the
// box was closed without one, if it has a Cancel button).
int MessageBox(HWND hWnd, const String& Text, const String& Caption, Cardinal Type);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
// Returns the modal result of the button pressed (mrYes, mrOk, ...).
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// An information box with an OK button, captioned with the application title.
void ShowMessage(const String& Msg);

// Opens a link (or a file) in the desktop's default program.
void OpenLink(const String& Url);

// ---------------------------------------------------------------------------
// File and folder dialogs
// ---------------------------------------------------------------------------
enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
    ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    // "Description|*.ext|Other|*.a;*.b": pairs of description and patterns.
    String Filter;
    int FilterIndex = 1;
    // Added (without a leading "*." or ".") to a chosen name without extension.
    String DefaultExt;
    String InitialDir;
    String FileName;
    String Title;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    TStringList& Files() { return *FFiles; }
    // Asks the person; true with FileName (and Files) set, false when cancelled.
    virtual bool Execute();

protected:
    virtual bool IsSave() const { return false; }

private:
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
};

// The entries of a "Description|*.a;*.b|..." filter as the desktop's dialog
// lists them: each description followed by its patterns, shown once.
std::vector<String> FileDialogFilters(const String& Filter);

// Asks for a folder; true with Directory set.
bool SelectDirectory(const String& Caption, const String& Root, String& Directory);

// ---------------------------------------------------------------------------
// The dialog service
// ---------------------------------------------------------------------------
enum TDialogKind { dkMessageBox, dkOpenFile, dkSaveFile, dkSelectFolder, dkOpenLink, dkPopupMenu };
enum TDialogIcon { diNone, diError, diWarning, diQuestion, diInformation };

struct TMessageBoxRequest {
    String Caption;
    String Text;
    TDialogIcon Icon = diNone;
    std::vector<int> Buttons;  // IDOK, IDYES, ... in the order shown
    int DefaultButton = 0;     // index into Buttons
};

struct TFileDialogRequest {
    bool Save = false;
    String Title;
    String Filter;
    int FilterIndex = 1;
    String InitialDir;
    String FileName;  // in: proposed name; out: chosen name
    TOpenOptions Options;
    std::vector<String> Files;  // out: all chosen names
};

class TCustomForm;
class TPopupMenu;
class TMenuItem;

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // The ID of the button pressed.
    virtual int MessageBox(const TMessageBoxRequest& Request) = 0;
    virtual bool FileDialog(TFileDialogRequest& Request) = 0;
    virtual bool SelectFolder(const String& Caption, String& Folder) = 0;
    virtual void OpenLink(const String& Url) = 0;
    // Shows a popup menu at a screen point; Chosen is the item picked (nil: none).
    virtual bool PopupMenu(TPopupMenu* Menu, int X, int Y, TMenuItem*& Chosen) = 0;
    // Called when a form has become modal, before its loop runs.
    virtual void ModalFormShown(TCustomForm* Form) {}
};

// The service in use (the desktop's dialogs unless replaced).
TDialogService* DialogService();
// Installs Service (nil: the desktop's again) and returns the previous one.
TDialogService* SetDialogService(TDialogService* Service);

// Answers from queues and records everything shown. An unexpected box (no
// answer queued) is answered with its default button and counted in
// Unanswered; an unexpected file or folder dialog is cancelled.
class TScriptedDialogService : public TDialogService {
public:
    struct Record {
        TDialogKind Kind = dkMessageBox;
        String Caption;
        String Text;
        TDialogIcon Icon = diNone;
        std::vector<int> Buttons;
        int Answer = 0;
        String FileName;  // file and folder dialogs: the answer; links: the address; menus: the item
    };

    TScriptedDialogService();   // installs itself
    ~TScriptedDialogService() override;  // puts the previous service back

    void AnswerBox(int ButtonID) { FBoxAnswers.push_back(ButtonID); }
    // An empty name cancels the dialog.
    void AnswerFile(const String& FileName) { FFileAnswers.push_back(FileName); }
    void AnswerFolder(const String& Folder) { FFolderAnswers.push_back(Folder); }
    // The caption (without "&") of the menu item to pick; empty picks none.
    void AnswerMenu(const String& Caption) { FMenuAnswers.push_back(Caption); }
    // Runs for each form that becomes modal: set its controls, press a button.
    std::function<void(TCustomForm* Form)> OnModalForm;

    std::vector<Record> Shown;
    int Unanswered = 0;
    int PendingAnswers() const { return int(FBoxAnswers.size() + FFileAnswers.size() + FFolderAnswers.size()); }

    int MessageBox(const TMessageBoxRequest& Request) override;
    bool FileDialog(TFileDialogRequest& Request) override;
    bool SelectFolder(const String& Caption, String& Folder) override;
    void OpenLink(const String& Url) override;
    bool PopupMenu(TPopupMenu* Menu, int X, int Y, TMenuItem*& Chosen) override;
    void ModalFormShown(TCustomForm* Form) override;

private:
    TDialogService* FPrevious;
    std::deque<int> FBoxAnswers;
    std::deque<String> FFileAnswers;
    std::deque<String> FFolderAnswers;
    std::deque<String> FMenuAnswers;
};

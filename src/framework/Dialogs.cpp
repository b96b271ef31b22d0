#include "framework/Dialogs.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/Process.h"

#include <algorithm>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString Q(const String& s) { return ToQ(s); }

// "Description|*.a;*.b|..." as the desktop dialog's name filters.
QStringList NameFilters(const String& filter) {
    QStringList result;
    for (const String& f : FileDialogFilters(filter)) result << Q(f);
    return result;
}

// The extension a chosen name gets when it has none ("*.eds", ".eds" and "eds" alike).
String CleanExt(String ext) {
    while (!ext.empty() && (ext[0] == u'*' || ext[0] == u'.')) ext.erase(0, 1);
    return ext;
}

class TDesktopDialogService : public TDialogService {
public:
    int MessageBox(const TMessageBoxRequest& r) override {
        EnsureControlLayer();
        QMessageBox box;
        box.setWindowTitle(Q(r.Caption));
        box.setText(Q(r.Text));
        switch (r.Icon) {
        case diError: box.setIcon(QMessageBox::Critical); break;
        case diWarning: box.setIcon(QMessageBox::Warning); break;
        case diQuestion: box.setIcon(QMessageBox::Question); break;
        case diInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        std::vector<std::pair<QAbstractButton*, int>> buttons;
        for (size_t i = 0; i < r.Buttons.size(); ++i) {
            int id = r.Buttons[i];
            QMessageBox::StandardButton sb = QMessageBox::Ok;
            switch (id) {
            case IDOK: sb = QMessageBox::Ok; break;
            case IDCANCEL: sb = QMessageBox::Cancel; break;
            case IDABORT: sb = QMessageBox::Abort; break;
            case IDRETRY: sb = QMessageBox::Retry; break;
            case IDIGNORE: sb = QMessageBox::Ignore; break;
            case IDYES: sb = QMessageBox::Yes; break;
            case IDNO: sb = QMessageBox::No; break;
            case mrAll: sb = QMessageBox::YesToAll; break;
            case mrNoToAll: sb = QMessageBox::NoToAll; break;
            case mrYesToAll: sb = QMessageBox::YesToAll; break;
            case mrHelp: sb = QMessageBox::Help; break;
            case mrClose: sb = QMessageBox::Close; break;
            default: break;
            }
            QAbstractButton* b = box.addButton(sb);
            buttons.emplace_back(b, id);
            if (int(i) == r.DefaultButton) box.setDefaultButton(static_cast<QPushButton*>(b));
        }
        box.exec();
        for (auto& [b, id] : buttons)
            if (box.clickedButton() == b) return id;
        return IDCANCEL;
    }

    bool FileDialog(TFileDialogRequest& r) override {
        EnsureControlLayer();
        QFileDialog dlg(nullptr, Q(r.Title), Q(r.InitialDir));
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        QStringList filters = NameFilters(r.Filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            if (r.FilterIndex >= 1 && r.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[r.FilterIndex - 1]);
        }
        if (!r.FileName.empty()) dlg.selectFile(Q(r.FileName));
        if (r.Save) {
            dlg.setAcceptMode(QFileDialog::AcceptSave);
            dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.Options.Contains(ofOverwritePrompt));
        } else {
            dlg.setFileMode(r.Options.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                                   : QFileDialog::ExistingFile);
        }
        if (dlg.exec() != QDialog::Accepted) return false;
        r.Files.clear();
        for (const QString& f : dlg.selectedFiles()) r.Files.push_back(FromQ(f));
        if (r.Files.empty()) return false;
        r.FileName = r.Files.front();
        r.FilterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
        return true;
    }

    bool SelectFolder(const String& Caption, String& Folder) override {
        EnsureControlLayer();
        QString dir = QFileDialog::getExistingDirectory(nullptr, Q(Caption), Q(Folder),
                                                        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (dir.isEmpty()) return false;
        Folder = FromQ(dir);
        return true;
    }

    void OpenLink(const String& Url) override { OpenInDefaultProgram(Url); }

    bool PopupMenu(TPopupMenu* Menu, int X, int Y, TMenuItem*& Chosen) override {
        EnsureControlLayer();
        QMenu menu;
        std::function<void(QMenu*, TMenuItem&)> build = [&](QMenu* m, TMenuItem& parent) {
            for (int i = 0; i < parent.Count(); ++i) {
                TMenuItem* item = parent.Items(i);
                if (!item->Visible) continue;
                if (item->IsLine()) {
                    m->addSeparator();
                } else if (item->Count() > 0) {
                    build(m->addMenu(ToQ(item->Caption())), *item);
                } else {
                    QAction* a = m->addAction(ToQ(item->Caption()));
                    if (Menu->Images() && item->ImageIndex >= 0 && item->ImageIndex < Menu->Images()->Count()) {
                        TBitmap picture;
                        Menu->Images()->GetBitmap(item->ImageIndex, picture);
                        a->setIcon(QIcon(QPixmap::fromImage(BitmapImage(picture))));
                    }
                    a->setEnabled(item->Enabled);
                    a->setCheckable(item->Checked || item->RadioItem);
                    a->setChecked(item->Checked);
                    a->setData(QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(item)));
                }
            }
        };
        build(&menu, Menu->Items());
        QAction* a = menu.exec(QPoint(X, Y));
        Chosen = a ? reinterpret_cast<TMenuItem*>(a->data().value<quintptr>()) : nullptr;
        return Chosen != nullptr;
    }
};

TDesktopDialogService DesktopService;
TDialogService* CurrentService = &DesktopService;

TDialogIcon IconOf(Cardinal type) {
    switch (type & 0xF0) {
    case MB_ICONERROR: return diError;
    case MB_ICONQUESTION: return diQuestion;
    case MB_ICONWARNING: return diWarning;
    case MB_ICONINFORMATION: return diInformation;
    default: return diNone;
    }
}

std::vector<int> ButtonsOf(Cardinal type) {
    switch (type & 0x0F) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

}  // namespace

TDialogService* DialogService() { return CurrentService; }

namespace {
// The service for a modal box or dialog, which takes the input from here on.
TDialogService* ModalService() {
    BeginModalInput();
    return CurrentService;
}
}  // namespace

TDialogService* SetDialogService(TDialogService* Service) {
    TDialogService* old = CurrentService;
    CurrentService = Service ? Service : &DesktopService;
    return old;
}

int MessageBox(HWND, const String& Text, const String& Caption, Cardinal Type) {
    TMessageBoxRequest r;
    r.Caption = Caption;
    r.Text = Text;
    r.Icon = IconOf(Type);
    r.Buttons = ButtonsOf(Type);
    r.DefaultButton = std::min(int((Type >> 8) & 0x0F), int(r.Buttons.size()) - 1);
    return ModalService()->MessageBox(r);
}

std::vector<String> FileDialogFilters(const String& Filter) {
    std::vector<String> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = Filter.find(u'|', start);
        parts.push_back(Filter.substr(start, bar == String::npos ? String::npos : bar - start));
        if (bar == String::npos) break;
        start = bar + 1;
    }
    std::vector<String> result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        String patterns = parts[i + 1];
        std::replace(patterns.begin(), patterns.end(), u';', u' ');
        // The desktop's dialog reads the patterns from the last parentheses;
        // a description that already shows them keeps its text.
        const String shown = u"(" + patterns + u")";
        const String& d = parts[i];
        const bool has = d.size() >= shown.size() && d.compare(d.size() - shown.size(), shown.size(), shown) == 0;
        result.push_back(has ? d : d + u" " + shown);
    }
    return result;
}

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    static const struct {
        TMsgDlgBtn Button;
        int Result;
    } Order[] = {
        {mbYes, mrYes}, {mbNo, mrNo}, {mbOK, mrOk}, {mbCancel, mrCancel}, {mbAbort, mrAbort}, {mbRetry, mrRetry},
        {mbIgnore, mrIgnore}, {mbAll, mrAll}, {mbNoToAll, mrNoToAll}, {mbYesToAll, mrYesToAll}, {mbHelp, mrHelp},
        {mbClose, mrClose},
    };
    static const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    TMessageBoxRequest r;
    r.Caption = DlgType == mtCustom ? Application->Title() : S(Captions[DlgType]);
    r.Text = Msg;
    r.Icon = DlgType == mtWarning ? diWarning : DlgType == mtError ? diError
           : DlgType == mtInformation ? diInformation : DlgType == mtConfirmation ? diQuestion : diNone;
    for (auto& o : Order)
        if (Buttons.Contains(o.Button)) r.Buttons.push_back(o.Result);
    if (r.Buttons.empty()) r.Buttons.push_back(mrOk);
    auto index = [&](int result) {
        for (size_t i = 0; i < r.Buttons.size(); ++i)
            if (r.Buttons[i] == result) return int(i);
        return -1;
    };
    r.DefaultButton = index(mrOk) >= 0 ? index(mrOk) : index(mrYes) >= 0 ? index(mrYes) : 0;
    return ModalService()->MessageBox(r);
}

void ShowMessage(const String& Msg) {
    TMessageBoxRequest r;
    r.Caption = Application->Title();
    r.Text = Msg;
    r.Buttons = {IDOK};
    ModalService()->MessageBox(r);
}

void OpenLink(const String& Url) { DialogService()->OpenLink(Url); }

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    TFileDialogRequest r;
    r.Save = IsSave();
    r.Title = Title;
    r.Filter = Filter;
    r.FilterIndex = FilterIndex;
    r.InitialDir = InitialDir;
    r.FileName = FileName;
    r.Options = Options;
    if (!ModalService()->FileDialog(r)) return false;
    String ext = CleanExt(DefaultExt);
    auto fixExt = [&](String name) {
        auto slash = name.find_last_of(u'/');
        auto dot = name.find_last_of(u'.');
        if (!ext.empty() && (dot == String::npos || (slash != String::npos && dot < slash))) name += u"." + ext;
        return name;
    };
    FFiles->Clear();
    if (r.Files.empty()) r.Files.push_back(r.FileName);
    for (const String& f : r.Files) FFiles->Add(fixExt(f));
    FileName = FFiles->Strings(0);
    FilterIndex = r.FilterIndex;
    return true;
}

bool SelectDirectory(const String& Caption, const String& Root, String& Directory) {
    String folder = Directory.empty() ? Root : Directory;
    if (!ModalService()->SelectFolder(Caption, folder)) return false;
    Directory = folder;
    return true;
}

// ---------------------------------------------------------------------------
// TScriptedDialogService
// ---------------------------------------------------------------------------
TScriptedDialogService::TScriptedDialogService() { FPrevious = SetDialogService(this); }

TScriptedDialogService::~TScriptedDialogService() {
    if (DialogService() == this) SetDialogService(FPrevious);
}

int TScriptedDialogService::MessageBox(const TMessageBoxRequest& Request) {
    Record rec;
    rec.Kind = dkMessageBox;
    rec.Caption = Request.Caption;
    rec.Text = Request.Text;
    rec.Icon = Request.Icon;
    rec.Buttons = Request.Buttons;
    if (!FBoxAnswers.empty()) {
        rec.Answer = FBoxAnswers.front();
        FBoxAnswers.pop_front();
    } else {
        ++Unanswered;
        rec.Answer = Request.Buttons.empty() ? IDOK : Request.Buttons[size_t(std::max(0, Request.DefaultButton))];
    }
    Shown.push_back(rec);
    return rec.Answer;
}

bool TScriptedDialogService::FileDialog(TFileDialogRequest& Request) {
    Record rec;
    rec.Kind = Request.Save ? dkSaveFile : dkOpenFile;
    rec.Caption = Request.Title;
    rec.Text = Request.Filter;
    String answer;
    if (!FFileAnswers.empty()) {
        answer = FFileAnswers.front();
        FFileAnswers.pop_front();
    } else {
        ++Unanswered;
    }
    rec.FileName = answer;
    Shown.push_back(rec);
    if (answer.empty()) return false;
    Request.FileName = answer;
    Request.Files = {answer};
    return true;
}

bool TScriptedDialogService::SelectFolder(const String& Caption, String& Folder) {
    Record rec;
    rec.Kind = dkSelectFolder;
    rec.Caption = Caption;
    rec.Text = Folder;
    String answer;
    if (!FFolderAnswers.empty()) {
        answer = FFolderAnswers.front();
        FFolderAnswers.pop_front();
    } else {
        ++Unanswered;
    }
    rec.FileName = answer;
    Shown.push_back(rec);
    if (answer.empty()) return false;
    Folder = answer;
    return true;
}

void TScriptedDialogService::OpenLink(const String& Url) {
    Record rec;
    rec.Kind = dkOpenLink;
    rec.Text = Url;
    rec.FileName = Url;
    Shown.push_back(rec);
}

bool TScriptedDialogService::PopupMenu(TPopupMenu* Menu, int X, int Y, TMenuItem*& Chosen) {
    Record rec;
    rec.Kind = dkPopupMenu;
    Chosen = nullptr;
    String answer;
    if (!FMenuAnswers.empty()) {
        answer = FMenuAnswers.front();
        FMenuAnswers.pop_front();
    } else {
        ++Unanswered;
    }
    std::function<TMenuItem*(TMenuItem&)> find = [&](TMenuItem& parent) -> TMenuItem* {
        for (int i = 0; i < parent.Count(); ++i) {
            TMenuItem* item = parent.Items(i);
            if (StripHotkey(item->Caption()) == answer && item->Visible && item->Enabled) return item;
            if (TMenuItem* sub = find(*item)) return sub;
        }
        return nullptr;
    };
    if (!answer.empty()) Chosen = find(Menu->Items());
    rec.FileName = answer;
    Shown.push_back(rec);
    return Chosen != nullptr;
}

void TScriptedDialogService::ModalFormShown(TCustomForm* Form) {
    if (OnModalForm) OnModalForm(Form);
}

#include "framework/StdCtrls.h"
#include "framework/BalloonTip.h"

#include "framework/Clipboard.h"
#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
// Qt shows "&" as a mnemonic like the classic controls do.
String CRLFToLF(const String& s) {
    String r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\r') {
            r += u'\n';
            if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

String LFToCRLF(const String& s) {
    String r;
    r.reserve(s.size() + 16);
    for (Char c : s) {
        if (c == u'\n') r += u"\r\n";
        else r += c;
    }
    return r;
}
}  // namespace

// ---------------------------------------------------------------------------
// TLabel
// ---------------------------------------------------------------------------
TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FParentColor = true;
    FWidth = 65;
    FHeight = 17;
}

void TLabel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TLabel::SetWordWrap(bool Value) {
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    AdjustBounds();
}

void TLabel::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

unsigned TLabel::TextFlags() const {
    unsigned f = DT_EXPANDTABS;
    if (FWordWrap) f |= DT_WORDBREAK;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    if (FAlignment == taRightJustify) f |= DT_RIGHT;
    else if (FAlignment == taCenter) f |= DT_CENTER;
    return f;
}

void TLabel::AdjustBounds() {
    if (!FAutoSize) return;
    TCanvas measure;
    measure.SetFont(Font());
    TRect r = Rect(0, 0, FWordWrap ? FWidth : 0, 0);
    String text = Text().empty() ? String(u" ") : Text();
    measure.DrawText(text, r, TextFlags() | DT_CALCRECT);
    int w = FWordWrap ? FWidth : r.Right;
    int l = FLeft;
    if (FAlignment == taRightJustify && !FWordWrap) l = FLeft + FWidth - w;
    SetBounds(l, FTop, w, r.Bottom);
}

void TLabel::Paint() {
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Color());
        c.FillRect(r);
    }
    c.Brush().SetStyle(bsClear);
    c.SetFont(Font());
    unsigned flags = TextFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        c.DrawText(Text(), calc, flags | DT_CALCRECT);
        int h = calc.Bottom - calc.Top;
        int offset = FLayout == tlBottom ? r.Bottom - h : (r.Bottom - h) / 2;
        r.Top += offset;
    }
    if (!Enabled()) {
        TRect shifted = r;
        OffsetRect(shifted, 1, 1);
        c.Font().SetColor(clBtnHighlight);
        c.DrawText(Text(), shifted, flags);
        c.Font().SetColor(clBtnShadow);
    }
    c.DrawText(Text(), r, flags);
}

void TLabel::CMTextChanged(TMessage& Message) {
    AdjustBounds();
    Invalidate();
}

void TLabel::CMFontChanged(TMessage& Message) {
    AdjustBounds();
    Invalidate();
}

void TLabel::CMDialogChar(TCMDialogChar& Message) {
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Message.CharCode(), Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

// ---------------------------------------------------------------------------
// TCustomEdit
// ---------------------------------------------------------------------------
TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = 21;
    FColor = clWindow;
    FTabStop = true;
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    HandleNeeded();
}

namespace {
// The window of a many-line edit: its text area's margins are the edit's
// text rectangle.
class TMultiLineWidget : public THostWidget<QPlainTextEdit> {
public:
    using THostWidget<QPlainTextEdit>::THostWidget;
    void SetMargins(const QMargins& m) { setViewportMargins(m); }
    QMargins Margins() const { return viewportMargins(); }
};

// The edit's window, one line or many: what the edit needs of either.
struct EditWindow {
    QLineEdit* line = nullptr;
    TMultiLineWidget* memo = nullptr;
    explicit EditWindow(const TCustomEdit* e) {
        QWidget* w = e->HandleImpl()->Widget;
        line = qobject_cast<QLineEdit*>(w);
        if (!line) memo = dynamic_cast<TMultiLineWidget*>(w);
    }
    QWidget* widget() const { return line ? static_cast<QWidget*>(line) : memo; }
    QString text() const { return line ? line->text() : memo->toPlainText(); }
    bool hasSelection() const { return line ? line->hasSelectedText() : memo->textCursor().hasSelection(); }
    int selStart() const {
        if (line) return line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        return memo->textCursor().selectionStart();
    }
    int selLength() const {
        if (line) return int(line->selectedText().size());
        const QTextCursor c = memo->textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    QString selectedText() const {
        if (line) return line->selectedText();
        QString t = memo->textCursor().selectedText();
        t.replace(QChar(QChar::ParagraphSeparator), QChar(u'\n'));
        return t;
    }
    void setCursor(int pos) {
        if (line) {
            line->setCursorPosition(pos);
            return;
        }
        QTextCursor c = memo->textCursor();
        c.setPosition(std::clamp(pos, 0, int(memo->toPlainText().size())));
        memo->setTextCursor(c);
    }
    void setSelection(int start, int length) {
        if (line) {
            line->setSelection(start, length);
            return;
        }
        const int n = int(memo->toPlainText().size());
        QTextCursor c = memo->textCursor();
        c.setPosition(std::clamp(start, 0, n));
        c.setPosition(std::clamp(start + length, 0, n), QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
    }
    void selectAll() { line ? line->selectAll() : memo->selectAll(); }
    void insert(const QString& t) { line ? line->insert(t) : memo->insertPlainText(t); }
    void del() {
        if (line) line->del();
        else memo->textCursor().removeSelectedText();
    }
    void cut() { line ? line->cut() : memo->cut(); }
    void copy() { line ? line->copy() : memo->copy(); }
    void paste() { line ? line->paste() : memo->paste(); }
    void undo() { line ? line->undo() : memo->undo(); }
    void setReadOnly(bool on) { line ? line->setReadOnly(on) : memo->setReadOnly(on); }
    int charAt(QPoint p) const {
        if (line) return line->cursorPositionAt(p);
        return memo->cursorForPosition(memo->viewport()->mapFrom(memo, p)).position();
    }
    QMargins margins() const { return line ? line->textMargins() : memo->Margins(); }
    void setMargins(const QMargins& m) { line ? line->setTextMargins(m) : memo->SetMargins(m); }
};
}  // namespace

void TCustomEdit::CreateWnd() {
    QWidget* widget;
    if (FMultiLine) {
        auto* m = new TMultiLineWidget(this);
        AttachWidget(this, m, false);
        m->setReadOnly(FReadOnly);
        m->setTabChangesFocus(true);
        m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        QObject::connect(m, &QPlainTextEdit::textChanged, ContextOf(this), [this] {
            if (FSettingText) return;
            FModified = true;
            NotifyCommand(this, EN_UPDATE);
            NotifyCommand(this, EN_CHANGE);
        });
        widget = m;
    } else {
        auto* w = new THostWidget<QLineEdit>(this);
        AttachWidget(this, w, false);
        w->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
        w->setReadOnly(FReadOnly);
        w->setEchoMode(FPasswordChar ? QLineEdit::Password : QLineEdit::Normal);
        QObject::connect(w, &QLineEdit::textEdited, ContextOf(this), [this](const QString&) {
            FModified = true;
            NotifyCommand(this, EN_UPDATE);
            NotifyCommand(this, EN_CHANGE);
        });
        widget = w;
    }
    // The context menu's commands go through the edit's messages too.
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, ContextOf(this), [this, widget](const QPoint& at) {
        EditWindow e(this);
        std::unique_ptr<QMenu> menu(e.line ? e.line->createStandardContextMenu() : e.memo->createStandardContextMenu());
        const struct {
            const char* name;
            Cardinal msg;
        } routed[] = {{"edit-cut", WM_CUT}, {"edit-copy", WM_COPY}, {"edit-paste", WM_PASTE},
                      {"edit-delete", WM_CLEAR}, {"edit-undo", WM_UNDO}};
        for (QAction* a : menu->actions())
            for (const auto& r : routed)
                if (a->objectName() == QLatin1String(r.name)) {
                    QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
                    const Cardinal msg = r.msg;
                    QObject::connect(a, &QAction::triggered, menu.get(), [this, msg] { Guarded([&] { Perform(msg); }); });
                }
        menu->exec(widget->mapToGlobal(at));
    });
}

void TCustomEdit::SetMultiLine(bool Value) {
    if (Value == FMultiLine || (Value && !CanBeMultiLine())) return;
    const String text = Text();
    const int start = SelStart(), length = SelLength();
    const QMargins margins = EditWindow(this).margins();
    const bool focused = Focused();
    DestroyWnd();
    FMultiLine = Value;
    HandleNeeded();
    FSettingText = true;
    SetText(text);
    FSettingText = false;
    EditWindow(this).setMargins(margins);
    SetSelStart(start);
    SetSelLength(length);
    if (focused) SetFocus();
}

TRect TCustomEdit::FormatRect() const {
    EditWindow e(this);
    const QMargins m = e.margins();
    const QWidget* w = e.widget();
    return Rect(m.left(), m.top(), w->width() - m.right(), w->height() - m.bottom());
}

String TCustomEdit::Text() const {
    EditWindow e(this);
    return e.line ? FromQ(e.line->text()) : LFToCRLF(FromQ(e.memo->toPlainText()));
}

void TCustomEdit::SetText(const String& Value) {
    String v = ApplyCase(Value);
    if (v == Text()) return;
    EditWindow e(this);
    if (e.line) {
        // As the classic edit control, the length limit holds for typing only:
        // a longer text set by code is kept whole.
        int limit = FMaxLength > 0 ? FMaxLength : 32767;
        e.line->setMaxLength(std::max(limit, int(v.size())));
        e.line->setText(ToQ(v));
        e.line->setMaxLength(std::max(limit, int(v.size())));
    } else {
        const bool setting = FSettingText;
        FSettingText = true;
        e.memo->setPlainText(ToQ(CRLFToLF(v)));
        FSettingText = setting;
    }
    Perform(CM_TEXTCHANGED);
    // As the classic edit control, a text set by code notifies like typing.
    NotifyCommand(this, EN_UPDATE);
    NotifyCommand(this, EN_CHANGE);
}

void TCustomEdit::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == EN_CHANGE) Change();
    else TWinControl::CNCommand(Message);
}

String TCustomEdit::ApplyCase(const String& Value) const {
    if (FCharCase == ecNormal) return Value;
    QString q = ToQ(Value);
    return FromQ(FCharCase == ecUpperCase ? q.toUpper() : q.toLower());
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (auto* line = EditWindow(this).line) line->setMaxLength(Value > 0 ? Value : 32767);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    if (Value != ecNormal) SetText(Text());
}

void TCustomEdit::SetReadOnly(bool Value) {
    // Through the message, so that a handler of the edit hears of it.
    Perform(EM_SETREADONLY, Value ? 1 : 0);
}

void TCustomEdit::SetPasswordChar(Char Value) {
    FPasswordChar = Value;
    if (auto* line = EditWindow(this).line) line->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

int TCustomEdit::SelStart() const { return EditWindow(this).selStart(); }

void TCustomEdit::SetSelStart(int Value) { EditWindow(this).setCursor(Value); }

int TCustomEdit::SelLength() const { return EditWindow(this).selLength(); }

void TCustomEdit::SetSelLength(int Value) { EditWindow(this).setSelection(SelStart(), Value); }

String TCustomEdit::SelText() const {
    const String t = FromQ(EditWindow(this).selectedText());
    return FMultiLine ? LFToCRLF(t) : t;
}

void TCustomEdit::SetSelText(const String& Value) {
    EditWindow(this).insert(ToQ(FMultiLine ? CRLFToLF(Value) : Value));
    NotifyCommand(this, EN_CHANGE);
}

void TCustomEdit::SelectAll() { EditWindow(this).selectAll(); }
void TCustomEdit::ClearSelection() { EditWindow(this).del(); }

void TCustomEdit::WMKeyDown(TWMKey& Message) {
    if (DoKeyDown(Message)) return;
    const TShiftState shift = KeyDataToShiftState(Message.KeyData()) +
                              (GetKeyState(VK_SHIFT) < 0 ? TShiftState{ssShift} : TShiftState{}) +
                              (GetKeyState(VK_CONTROL) < 0 ? TShiftState{ssCtrl} : TShiftState{});
    const Word key = Message.CharCode();
    Cardinal command = 0;
    if (key == VK_DELETE && shift == TShiftState{ssShift}) command = WM_CUT;
    else if (key == VK_INSERT && shift == TShiftState{ssCtrl}) command = WM_COPY;
    else if (key == VK_INSERT && shift == TShiftState{ssShift}) command = WM_PASTE;
    if (command) {
        Perform(command);
        return;
    }
    DefaultHandler(Message.Message);
}

void TCustomEdit::WMChar(TWMKey& Message) {
    if (DoKeyPress(Message)) return;
    // Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z type these characters.
    switch (Message.CharCode()) {
    case 3: Perform(WM_COPY); return;
    case 22: Perform(WM_PASTE); return;
    case 24: Perform(WM_CUT); return;
    case 26: Perform(WM_UNDO); return;
    default: break;
    }
    if (FCharCase != ecNormal && Message.CharCode() >= 32) {
        String c = ApplyCase(String(1, Char(Message.CharCode())));
        Message.SetCharCode(Word(c[0]));
    }
    DefaultHandler(Message.Message);
}

void TCustomEdit::Dispatch(TMessage& Message) {
    EditWindow w(this);
    switch (Message.Msg) {
    case WM_CUT:
        if (!FReadOnly && FPasswordChar == 0 && w.hasSelection()) {
            w.cut();
            FModified = true;
            NotifyCommand(this, EN_UPDATE);
            NotifyCommand(this, EN_CHANGE);
        }
        return;
    case WM_COPY:
        if (FPasswordChar == 0) w.copy();
        return;
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO: {
        if (FReadOnly) return;
        const QString before = w.text();
        if (Message.Msg == WM_PASTE) w.paste();
        else if (Message.Msg == WM_UNDO) w.undo();
        else if (w.hasSelection()) w.del();
        if (w.text() != before) {
            FModified = true;
            NotifyCommand(this, EN_UPDATE);
            NotifyCommand(this, EN_CHANGE);
        }
        Message.Result = 1;
        return;
    }
    case EM_SETREADONLY:
        FReadOnly = Message.WParam != 0;
        w.setReadOnly(FReadOnly);
        Message.Result = 1;
        return;
    case EM_GETRECT:
        if (Message.LParam) *reinterpret_cast<TRect*>(Message.LParam) = FormatRect();
        return;
    case EM_SETRECT:
    case EM_SETRECTNP: {
        // The text keeps inside the rectangle: the rest of the client area
        // becomes margins (nil: none).
        const TRect* r = reinterpret_cast<const TRect*>(Message.LParam);
        const QWidget* win = w.widget();
        if (r) w.setMargins(QMargins(std::max(0, int(r->Left)), std::max(0, int(r->Top)),
                                     std::max(0, win->width() - int(r->Right)), std::max(0, win->height() - int(r->Bottom))));
        else w.setMargins(QMargins());
        if (Message.Msg == EM_SETRECT) Invalidate();
        return;
    }
    case EM_CHARFROMPOS: {
        const int pos = w.charAt(QPoint(SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())));
        Message.Result = MakeLParam(pos, 0);
        return;
    }
    case EM_GETSEL: {
        const int start = SelStart(), end = start + SelLength();
        if (Message.WParam) *reinterpret_cast<Cardinal*>(Message.WParam) = Cardinal(start);
        if (Message.LParam) *reinterpret_cast<Cardinal*>(Message.LParam) = Cardinal(end);
        Message.Result = MakeLParam(start, end);
        return;
    }
    case EM_SETSEL: {
        // -1 as the start removes the selection; an end of -1 is the text's end.
        const int len = int(w.text().size());
        int start = int(LPARAM(Message.WParam)), end = int(Message.LParam);
        if (start < 0) {
            w.setCursor(w.selStart());
            return;
        }
        if (end < 0 || end > len) end = len;
        start = std::min(start, len);
        w.setSelection(start, end - start);
        return;
    }
    case EM_SHOWBALLOONTIP: {
        const auto* tip = reinterpret_cast<const EDITBALLOONTIP*>(Message.LParam);
        if (!tip) break;
        ShowEditBalloonTip(this, tip->pszTitle ? String(tip->pszTitle) : String(),
                           tip->pszText ? String(tip->pszText) : String(), tip->ttiIcon);
        Message.Result = 1;
        return;
    }
    case EM_HIDEBALLOONTIP:
        HideEditBalloonTip(this);
        Message.Result = 1;
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !FControlState.Contains(csLButtonDown)) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TMaskEdit::SetEditMask(const String& Value) {
    if (Value == FMask.Mask()) return;
    const String text = Text();
    FMask = TEditMask(Value);
    auto* w = WidgetAs<QLineEdit>(this);
    // Every change goes through the mask: the ways in that bypass the key
    // handling (context menu, drops, input methods) are closed while masked.
    const bool masked = !FMask.Empty();
    w->setContextMenuPolicy(masked ? Qt::NoContextMenu : Qt::CustomContextMenu);
    w->setAcceptDrops(!masked);
    w->setAttribute(Qt::WA_InputMethodEnabled, !masked);
    const String shown = masked ? FMask.FormatText(text) : text;
    w->setMaxLength(std::max({FMaxLength > 0 ? FMaxLength : 32767, int(shown.size())}));
    w->setText(ToQ(shown));
    w->setCursorPosition(0);
}

String TMaskEdit::Text() const { return FMask.Empty() ? TCustomEdit::Text() : FMask.StoredText(EditText()); }

String TMaskEdit::EditText() const { return FromQ(WidgetAs<QLineEdit>(this)->text()); }

void TMaskEdit::SetText(const String& Value) {
    if (FMask.Empty()) {
        TCustomEdit::SetText(Value);
        return;
    }
    const String shown = FMask.FormatText(ApplyCase(Value));
    if (shown == EditText()) return;
    ShowMasked(shown, 0, false);
}

void TMaskEdit::ShowMasked(const String& Shown, int Caret, bool ByPerson) {
    auto* w = WidgetAs<QLineEdit>(this);
    const bool changed = Shown != EditText();
    if (changed) {
        w->setMaxLength(std::max(w->maxLength(), int(Shown.size())));
        w->setText(ToQ(Shown));
    }
    w->setCursorPosition(Caret);
    if (!changed) return;
    if (ByPerson) FModified = true;
    else Perform(CM_TEXTCHANGED);
    NotifyCommand(this, EN_CHANGE);
}

void TMaskEdit::ValidateEdit() {
    if (FMask.Empty()) return;
    const String shown = EditText();
    const int bad = FMask.FirstInvalid(shown);
    if (bad < 0) return;
    WidgetAs<QLineEdit>(this)->setCursorPosition(bad);
    FMask.Validate(shown);
}

void TMaskEdit::InsertMasked(const String& S, bool Pasting) {
    if (FReadOnly) return;
    String shown = EditText();
    const int start = SelStart();
    FMask.Clear(shown, start, SelLength());
    int pos = start;
    if (!FMask.InputText(shown, pos, S, Pasting)) return;  // refused as a whole: nothing changes
    ShowMasked(shown, pos, true);
}

void TMaskEdit::ClearMasked(int Start, int Count, int Caret) {
    if (FReadOnly) return;
    String shown = EditText();
    FMask.Clear(shown, Start, Count);
    ShowMasked(shown, Caret, true);
}

void TMaskEdit::SetSelText(const String& Value) {
    if (FMask.Empty()) TCustomEdit::SetSelText(Value);
    else InsertMasked(Value, true);
}

void TMaskEdit::ClearSelection() {
    if (FMask.Empty()) TCustomEdit::ClearSelection();
    else if (SelLength() > 0) ClearMasked(SelStart(), SelLength(), SelStart());
}

void TMaskEdit::PasteFromClipboard() {
    if (Clipboard().HasText()) InsertMasked(Clipboard().AsText(), true);
}

void TMaskEdit::CutToClipboard() {
    if (FPasswordChar || FReadOnly || SelLength() == 0) return;
    Clipboard().SetAsText(SelText());
    ClearSelection();
}

void TMaskEdit::Dispatch(TMessage& Message) {
    if (!FMask.Empty()) {
        // The clipboard commands keep to the mask; undo would bypass it.
        switch (Message.Msg) {
        case WM_CUT: CutToClipboard(); return;
        case WM_COPY:
            if (FPasswordChar == 0) WidgetAs<QLineEdit>(this)->copy();
            return;
        case WM_PASTE:
            if (!FReadOnly) PasteFromClipboard();
            return;
        case WM_CLEAR:
            if (!FReadOnly && SelLength() > 0) ClearSelection();
            return;
        case WM_UNDO: return;
        default: break;
        }
    }
    TCustomEdit::Dispatch(Message);
}

void TMaskEdit::WMKeyDown(TWMKey& Message) {
    if (FMask.Empty()) {
        TCustomEdit::WMKeyDown(Message);
        return;
    }
    if (DoKeyDown(Message)) return;
    const TShiftState shift = KeyDataToShiftState(Message.KeyData());
    switch (Message.CharCode()) {
    case VK_DELETE:
        // Deleting blanks: the positions of a mask never move.
        if (shift.Contains(ssShift)) Perform(WM_CUT);
        else if (SelLength() > 0) ClearSelection();
        else if (const int p = FMask.NextInput(SelStart()); p >= 0) ClearMasked(p, 1, SelStart());
        return;
    case VK_INSERT:
        if (shift.Contains(ssShift)) Perform(WM_PASTE);
        else if (shift.Contains(ssCtrl)) Perform(WM_COPY);
        return;
    // Moving the caret and the selection is the line edit's own.
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_SHIFT: case VK_CONTROL: case VK_MENU:
        DefaultHandler(Message.Message);
        return;
    // Any other key the line edit would act on by itself (undo, deleting
    // words, ...) could break the mask.
    default: return;
    }
}

void TMaskEdit::WMChar(TWMKey& Message) {
    if (FMask.Empty()) {
        TCustomEdit::WMChar(Message);
        return;
    }
    if (DoKeyPress(Message)) return;
    const Char ch = Char(Message.CharCode());
    switch (ch) {
    case 1: SelectAll(); return;                                 // Ctrl+A
    case 3: Perform(WM_COPY); return;                            // Ctrl+C
    case 22: Perform(WM_PASTE); return;                          // Ctrl+V
    case 24: Perform(WM_CUT); return;                            // Ctrl+X
    case 8:
        if (SelLength() > 0) ClearSelection();
        else if (const int p = FMask.PrevInput(SelStart()); p >= 0) ClearMasked(p, 1, p);
        return;
    case 9: case 13: case 27: DefaultHandler(Message.Message); return;
    default: break;
    }
    if (ch < 32) return;  // undo and the like would bypass the mask
    InsertMasked(ApplyCase(String(1, ch)), false);
}

// ---------------------------------------------------------------------------
// TMemo
// ---------------------------------------------------------------------------
TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 185;
    FHeight = 89;
    FColor = clWindow;
    FTabStop = true;
    auto* lines = new TNotifyingStrings;
    lines->OnChanged = [this] { LinesChanged(); };
    FLines.reset(lines);
    HandleNeeded();
}

TMemo::~TMemo() { static_cast<TNotifyingStrings*>(FLines.get())->OnChanged = nullptr; }

void TMemo::SelectAll() { WidgetAs<QPlainTextEdit>(this)->selectAll(); }

String TMemo::SelText() const {
    // The window separates paragraphs with U+2029; the text has line breaks.
    QString q = WidgetAs<QPlainTextEdit>(this)->textCursor().selectedText();
    q.replace(QChar(0x2029), QStringLiteral("\r\n"));
    return FromQ(q);
}

void TMemo::CreateWnd() {
    auto* w = new THostWidget<QPlainTextEdit>(this);
    AttachWidget(this, w, false);
    w->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    w->setReadOnly(FReadOnly);
    w->setTabChangesFocus(false);
    w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(w, &QPlainTextEdit::textChanged, ContextOf(this), [this] { WidgetChanged(); });
}

LRESULT TMemo::NativeDlgCode() const {
    LRESULT r = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    if (FWantReturns) r |= DLGC_WANTALLKEYS;
    if (FWantTabs) r |= DLGC_WANTTAB;
    return r;
}

void TMemo::LinesChanged() {
    if (FSyncing) return;
    FSyncing = true;
    String text = FLines->Text();
    if (text.size() >= 2 && text.substr(text.size() - 2) == u"\r\n") text.resize(text.size() - 2);
    WidgetAs<QPlainTextEdit>(this)->setPlainText(ToQ(CRLFToLF(text)));
    FSyncing = false;
    NotifyCommand(this, EN_CHANGE);
}

void TMemo::WidgetChanged() {
    if (FSyncing) return;
    FSyncing = true;
    FLines->SetText(LFToCRLF(FromQ(WidgetAs<QPlainTextEdit>(this)->toPlainText())));
    FSyncing = false;
    NotifyCommand(this, EN_CHANGE);
}

void TMemo::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == EN_CHANGE) {
        if (OnChange) OnChange(this);
    } else {
        TWinControl::CNCommand(Message);
    }
}

String TMemo::Text() const { return LFToCRLF(FromQ(WidgetAs<QPlainTextEdit>(this)->toPlainText())); }

void TMemo::SetText(const String& Value) {
    if (Value == Text()) return;
    WidgetAs<QPlainTextEdit>(this)->setPlainText(ToQ(CRLFToLF(Value)));
}

void TMemo::SetReadOnly(bool Value) {
    FReadOnly = Value;
    WidgetAs<QPlainTextEdit>(this)->setReadOnly(Value);
}

void TMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    WidgetAs<QPlainTextEdit>(this)->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    auto* w = WidgetAs<QPlainTextEdit>(this);
    bool h = Value == ssHorizontal || Value == ssBoth, v = Value == ssVertical || Value == ssBoth;
    w->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    w->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// ---------------------------------------------------------------------------
// TButton
// ---------------------------------------------------------------------------
TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 75;
    FHeight = 25;
    FTabStop = true;
    FControlStyle = {csSetCaption, csDoubleClicks};
    HandleNeeded();
}

void TButton::CreateWnd() {
    auto* w = new THostWidget<QPushButton>(this);
    AttachWidget(this, w, false);
    w->setAutoDefault(false);
    QObject::connect(w, &QPushButton::clicked, ContextOf(this), [this] { NotifyCommand(this, BN_CLICKED); });
}

String TButton::Text() const { return FromQ(WidgetAs<QPushButton>(this)->text()); }

void TButton::SetText(const String& Value) {
    if (Value == Text()) return;
    WidgetAs<QPushButton>(this)->setText(ToQ(Value));
    Perform(CM_TEXTCHANGED);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    TCustomForm* form = GetParentForm(this);
    FActive = Value && !(form && form->FocusedControl() && dynamic_cast<TButton*>(form->FocusedControl()) &&
                         form->FocusedControl() != this);
    WidgetAs<QPushButton>(this)->setDefault(FActive);
}

LRESULT TButton::NativeDlgCode() const { return DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON); }

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::CMDialogKey(TCMDialogKey& Message) {
    Word key = Message.CharCode();
    if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogChar(Message);
}

void TButton::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == BN_CLICKED) Click();
    else TWinControl::CNCommand(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
    auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
    if (dynamic_cast<TButton*>(sender)) FActive = sender == this;
    else FActive = FDefault;
    WidgetAs<QPushButton>(this)->setDefault(FActive);
    TWinControl::CMFocusChanged(Message);
}

// ---------------------------------------------------------------------------
// TCheckBox, TRadioButton
// ---------------------------------------------------------------------------
TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 97;
    FHeight = 17;
    FTabStop = true;
    FControlStyle = {csSetCaption, csDoubleClicks};
    HandleNeeded();
}

void TCheckBox::CreateWnd() {
    auto* w = new THostWidget<QCheckBox>(this);
    AttachWidget(this, w, false);
    w->setTristate(FAllowGrayed);
    QObject::connect(w, &QCheckBox::clicked, ContextOf(this), [this, w] {
        // The state follows Toggle, not Qt's own idea of the next state.
        {
            QSignalBlocker block(w);
            w->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
        }
        NotifyCommand(this, BN_CLICKED);
    });
}

String TCheckBox::Text() const { return FromQ(WidgetAs<QCheckBox>(this)->text()); }

void TCheckBox::SetText(const String& Value) {
    if (Value == Text()) return;
    WidgetAs<QCheckBox>(this)->setText(ToQ(Value));
    Perform(CM_TEXTCHANGED);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    auto* w = WidgetAs<QCheckBox>(this);
    QSignalBlocker block(w);
    if (Value == cbGrayed) w->setTristate(true);
    w->setCheckState(Value == cbChecked ? Qt::Checked : Value == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    Click();
}

// Unchecked -> checked (-> grayed when allowed) -> unchecked.
void TCheckBox::Toggle() {
    TCheckBoxState next = FState == cbUnchecked ? cbChecked
                        : FState == cbChecked && FAllowGrayed ? cbGrayed : cbUnchecked;
    SetState(next);
}

void TCheckBox::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == BN_CLICKED) Toggle();
    else TWinControl::CNCommand(Message);
}

void TCheckBox::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    WidgetAs<QCheckBox>(this)->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogChar(Message);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 113;
    FHeight = 17;
    FControlStyle = {csSetCaption, csDoubleClicks};
    HandleNeeded();
}

void TRadioButton::CreateWnd() {
    auto* w = new THostWidget<QRadioButton>(this);
    AttachWidget(this, w, false);
    w->setAutoExclusive(false);
    QObject::connect(w, &QRadioButton::clicked, ContextOf(this), [this, w](bool) {
        // A click always leaves the button on; only turning it on counts.
        {
            QSignalBlocker block(w);
            w->setChecked(FChecked);
        }
        NotifyCommand(this, BN_CLICKED);
    });
}

void TRadioButton::DoEnter() {
    if (GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0 || GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0)
        SetChecked(true);
    TWinControl::DoEnter();
}

void TRadioButton::CNCommand(TWMCommand& Message) {
    if (Message.NotifyCode() == BN_CLICKED) SetChecked(true);
    else TWinControl::CNCommand(Message);
}

String TRadioButton::Text() const { return FromQ(WidgetAs<QRadioButton>(this)->text()); }

void TRadioButton::SetText(const String& Value) {
    if (Value == Text()) return;
    WidgetAs<QRadioButton>(this)->setText(ToQ(Value));
    Perform(CM_TEXTCHANGED);
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    SetTabStop(Value);
    {
        auto* w = WidgetAs<QRadioButton>(this);
        QSignalBlocker block(w);
        w->setChecked(Value);
    }
    if (Value) {
        if (FParent)
            for (int i = 0; i < FParent->ControlCount(); ++i)
                if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this)
                    other->SetChecked(false);
        Click();
    }
}

void TRadioButton::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogChar(Message);
}

// ---------------------------------------------------------------------------
// TGroupBox
// ---------------------------------------------------------------------------
TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 185;
    FHeight = 105;
    FParentColor = true;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

void TGroupBox::Paint() {
    TCanvas& c = Canvas();
    c.SetFont(Font());
    int h = c.TextHeight(u"0");
    TRect r = Rect(0, h / 2 - 1, FWidth, FHeight);
    c.DrawEdge(r, EDGE_ETCHED, BF_RECT);
    if (!Text().empty()) {
        TRect t = Rect(8, 0, 0, h);
        c.DrawText(Text(), t, DT_SINGLELINE | DT_CALCRECT);
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Color());
        t.Left -= 1;
        t.Right += 1;
        c.FillRect(t);
        t.Left += 1;
        c.Brush().SetStyle(bsClear);
        c.DrawText(Text(), t, DT_SINGLELINE);
    }
}

void TGroupBox::CMDialogChar(TCMDialogChar& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TGroupBox::CMTextChanged(TMessage& Message) { Invalidate(); }

// ---------------------------------------------------------------------------
// TComboBox
// ---------------------------------------------------------------------------
class TComboWidget : public THostWidget<QComboBox> {
public:
    explicit TComboWidget(TComboBox* combo) : THostWidget<QComboBox>(combo), combo_(combo) {}
    void showPopup() override {
        if (combo_) NotifyCommand(combo_, CBN_DROPDOWN);
        QComboBox::showPopup();
        if (!combo_) return;
        // The list's own width, and its side when it is wider than the box.
        // It drops below the box as the platform's lists do (some styles lay
        // it over the box), and above where the screen ends.
        QWidget* list = view()->window();
        // Never narrower than its widest item as the list draws it (with the
        // room its items, frame and scroll bar take), so no item is cut.
        const int chrome = list->width() - view()->viewport()->width();
        const int width = std::max(combo_->DroppedWidth(), view()->sizeHintForColumn(0) + chrome);
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        const int left = combo_->DropDownAlignRight() ? origin.x() + this->width() - width : origin.x();
        int top = origin.y() + this->height();
        if (const QScreen* s = screen()) {
            const QRect area = s->availableGeometry();
            if (top + list->height() > area.bottom() + 1 && origin.y() - list->height() >= area.top())
                top = origin.y() - list->height();
        }
        list->setGeometry(left, top, width, list->height());
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        // The list took the mouse, and with it the release of the press that
        // opened it: that press must leave no capture behind, or the next
        // click anywhere would go to the drop-down.
        if (combo_ && combo_->MouseCapture()) ReleaseCapture();
        if (combo_) NotifyCommand(combo_, CBN_CLOSEUP);
    }
    void Detach() override {
        combo_ = nullptr;
        THostWidget<QComboBox>::Detach();
    }

private:
    TComboBox* combo_;
};

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 145;
    FHeight = 21;
    FColor = clWindow;
    FTabStop = true;
    FControlStyle = {csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight};
    auto* items = new TNotifyingStrings;
    items->OnChanged = [this] { ItemsChanged(); };
    FItems.reset(items);
    HandleNeeded();
}

TComboBox::~TComboBox() { static_cast<TNotifyingStrings*>(FItems.get())->OnChanged = nullptr; }

void TComboBox::CreateWnd() {
    auto* w = new TComboWidget(this);
    AttachWidget(this, w, false);
}

void TComboBox::InitializeWnd() {
    auto* w = WidgetAs<QComboBox>(this);
    w->setEditable(FStyle == csDropDown || FStyle == csSimple);
    w->setMaxVisibleItems(FDropDownCount);
    w->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(w, QOverload<int>::of(&QComboBox::activated), ContextOf(this), [this](int) {
        if (!FSyncing) NotifyCommand(this, CBN_SELCHANGE);
    });
    ConnectEdit();
    ItemsChanged();
    SetAutoComplete(FAutoComplete);
}

void TComboBox::ConnectEdit() {
    auto* w = WidgetAs<QComboBox>(this);
    if (!w->lineEdit() || w->lineEdit()->property("configurator.connected").isValid()) return;
    w->lineEdit()->setProperty("configurator.connected", true);
    w->lineEdit()->setMouseTracking(true);
    QObject::connect(w->lineEdit(), &QLineEdit::textEdited, ContextOf(this), [this](const QString&) {
        if (FSyncing) return;
        AutoCompleteTyped(FLastEditText);
        FLastEditText = FromQ(WidgetAs<QComboBox>(this)->lineEdit()->text());
        NotifyCommand(this, CBN_EDITCHANGE);
    });
    QObject::connect(w->lineEdit(), &QLineEdit::textChanged, ContextOf(this), [this](const QString& t) {
        if (!FSyncing) FLastEditText = FromQ(t);
    });
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    auto* w = WidgetAs<QComboBox>(this);
    String text = Text();
    int index = ItemIndex();
    w->setEditable(Value == csDropDown || Value == csSimple);
    ConnectEdit();
    SetAutoComplete(FAutoComplete);
    SetItemIndex(index);
    if (index < 0 && w->isEditable()) w->setEditText(ToQ(text));
}

void TComboBox::ItemsChanged() {
    auto* w = WidgetAs<QComboBox>(this);
    if (!w) return;
    FSyncing = true;
    QSignalBlocker block(w);
    String text = w->isEditable() ? FromQ(w->currentText()) : String();
    int index = w->currentIndex();
    QStringList list;
    for (int i = 0; i < FItems->Count(); ++i) list << ToQ(FItems->Strings(i));
    w->clear();
    w->addItems(list);
    w->setCurrentIndex(index < FItems->Count() ? index : -1);
    if (w->isEditable()) w->setEditText(ToQ(text));
    FSyncing = false;
}

int TComboBox::ItemIndex() const {
    auto* w = WidgetAs<QComboBox>(this);
    int i = w->currentIndex();
    // In a drop-down with typing, an edited text that no longer matches selects nothing.
    if (i >= 0 && w->isEditable() && w->currentText() != w->itemText(i)) return -1;
    return i;
}

void TComboBox::SetItemIndex(int Value) {
    auto* w = WidgetAs<QComboBox>(this);
    FSyncing = true;
    QSignalBlocker block(w);
    if (Value < 0 || Value >= FItems->Count()) {
        w->setCurrentIndex(-1);
        if (w->isEditable()) w->setEditText(QString());
    } else {
        w->setCurrentIndex(Value);
        if (w->isEditable()) w->setEditText(w->itemText(Value));
    }
    FSyncing = false;
}

String TComboBox::Text() const { return FromQ(WidgetAs<QComboBox>(this)->currentText()); }

void TComboBox::SetText(const String& Value) {
    auto* w = WidgetAs<QComboBox>(this);
    if (!w->isEditable()) {
        SetItemIndex(FItems->IndexOf(Value));
        return;
    }
    FSyncing = true;
    QSignalBlocker block(w);
    int i = FItems->IndexOf(Value);
    if (i >= 0 && FItems->Strings(i) == Value) w->setCurrentIndex(i);
    w->setEditText(ToQ(Value));
    FSyncing = false;
}

bool TComboBox::DroppedDown() const {
    auto* w = WidgetAs<QComboBox>(this);
    return w->view() && w->view()->isVisible();
}

void TComboBox::SetDroppedDown(bool Value) {
    auto* w = WidgetAs<QComboBox>(this);
    if (Value) w->showPopup();
    else w->hidePopup();
}

void TComboBox::SetDropDownCount(int Value) {
    FDropDownCount = Value;
    WidgetAs<QComboBox>(this)->setMaxVisibleItems(Value);
}

void TComboBox::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (auto* e = WidgetAs<QComboBox>(this)->lineEdit()) e->setMaxLength(Value > 0 ? Value : 32767);
}

void TComboBox::Clear() {
    FItems->Clear();
    SetItemIndex(-1);
}

int TComboBox::SelStart() const {
    auto* e = WidgetAs<QComboBox>(this)->lineEdit();
    return e ? (e->hasSelectedText() ? e->selectionStart() : e->cursorPosition()) : 0;
}

int TComboBox::SelLength() const {
    auto* e = WidgetAs<QComboBox>(this)->lineEdit();
    return e ? int(e->selectedText().size()) : 0;
}

void TComboBox::SetSelStart(int Value) {
    if (auto* e = WidgetAs<QComboBox>(this)->lineEdit()) e->setCursorPosition(Value);
}

void TComboBox::SetSelLength(int Value) {
    if (auto* e = WidgetAs<QComboBox>(this)->lineEdit()) e->setSelection(SelStart(), Value);
}

int TComboBox::CharFromPos(TPoint P) const {
    auto* w = WidgetAs<QComboBox>(this);
    QLineEdit* e = w->lineEdit();
    if (!e) return 0;
    return e->cursorPositionAt(e->mapFrom(w, QPoint(P.X, P.Y)));
}

int TComboBox::DroppedWidth() const { return FDroppedWidth > 0 ? std::max(FDroppedWidth, Width()) : Width(); }

void TComboBox::SetDroppedWidth(int Value) { FDroppedWidth = std::max(0, Value); }

TRect TComboBox::DroppedRect() const {
    auto* w = WidgetAs<QComboBox>(this);
    QWidget* list = w->view()->window();
    if (!DroppedDown() || !list || list == w->window()) return TRect{};
    const QRect g = list->geometry();
    return Rect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

int TComboBox::ItemHeight(int Index) const {
    if (Index == -1) return Height() - 6;
    if (FItemHeight > 0) return FItemHeight;
    return QFontMetrics(ToQFont(Font())).height() + 3;
}

void TComboBox::SetItemHeight(int Index, int Value) {
    if (Value <= 0) return;
    if (Index == -1) {
        SetHeight(Value + 6);
        return;
    }
    FItemHeight = Value;
    auto* w = WidgetAs<QComboBox>(this);
    w->view()->setStyleSheet(QStringLiteral("QAbstractItemView::item { height: %1px; }").arg(Value));
}

void TComboBox::SetAutoComplete(bool Value) {
    FAutoComplete = Value;
    // The completion is our own (AutoCompleteTyped); the window's would
    // complete differently.
    auto* w = WidgetAs<QComboBox>(this);
    if (w->isEditable()) w->setCompleter(nullptr);
}

void TComboBox::AutoCompleteTyped(const String& Before) {
    auto* w = WidgetAs<QComboBox>(this);
    QLineEdit* e = w->lineEdit();
    const QString typed = e->text();
    // Only typing at the end of the text completes; deleting never does.
    if (!FAutoComplete || typed.size() <= qsizetype(Before.size()) || e->cursorPosition() != typed.size() ||
        typed.isEmpty())
        return;
    for (int i = 0; i < FItems->Count(); ++i) {
        const QString item = ToQ(FItems->Strings(i));
        if (item.size() <= typed.size() || !item.startsWith(typed, Qt::CaseInsensitive)) continue;
        FSyncing = true;
        w->setCurrentIndex(i);
        e->setText(item);  // the item as it is written, the typed part too
        e->setSelection(int(typed.size()), int(item.size() - typed.size()));
        FSyncing = false;
        return;
    }
}

void TComboBox::SelectAll() {
    if (auto* e = WidgetAs<QComboBox>(this)->lineEdit()) e->selectAll();
}

void TComboBox::CNCommand(TWMCommand& Message) {
    switch (Message.NotifyCode()) {
    case CBN_SELCHANGE:
        Click();
        Select();
        break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    default: TWinControl::CNCommand(Message); break;
    }
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TComboBox::Select() {
    if (OnSelect) OnSelect(this);
    else Change();
}

void TComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

// ---------------------------------------------------------------------------
// TListBox, TCheckListBox
// ---------------------------------------------------------------------------
// Paints the entries of an owner-drawn list through the list's canvas.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    TOwnerDrawDelegate(TListBox* list, QObject* parent) : QStyledItemDelegate(parent), list_(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QRect r = option.rect;
        if (r.isEmpty()) return;
        QImage img(r.size(), QImage::Format_RGB32);
        img.fill(Qt::white);
        TCanvas& canvas = list_->Canvas();
        AttachCanvas(canvas, [&img] { return &img; });
        canvas.SetViewportOrg(-r.left(), -r.top());
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected) state.Include(odSelected);
        if (option.state & QStyle::State_HasFocus) state.Include(odFocused);
        if (!(option.state & QStyle::State_Enabled)) state.Include(odDisabled);
        Guarded([&] { list_->PaintItem(index.row(), Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), state); });
        canvas.SetViewportOrg(0, 0);
        AttachCanvas(canvas, {});
        painter->drawImage(r.topLeft(), img);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        int h = list_->ItemHeight();
        return QSize(s.width(), h > 0 ? h : s.height());
    }

private:
    TListBox* list_;
};

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FTabStop = true;
    FControlStyle = {csCaptureMouse, csSetCaption, csDoubleClicks};
    auto* items = new TNotifyingStrings;
    items->OnChanged = [this] { ItemsChanged(); };
    FItems.reset(items);
    HandleNeeded();
}

TListBox::~TListBox() { static_cast<TNotifyingStrings*>(FItems.get())->OnChanged = nullptr; }

void TListBox::CreateWnd() {
    auto* w = new THostWidget<QListWidget>(this);
    AttachWidget(this, w, false);
}

void TListBox::InitializeWnd() {
    auto* w = WidgetAs<QListWidget>(this);
    w->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    QObject::connect(w, &QListWidget::currentRowChanged, ContextOf(this), [this, w](int row) {
        if (FSyncing) return;
        // A mouse press makes the row current before it selects it; the
        // click event must already see the row chosen.
        if (!FMultiSelect && row >= 0 && !w->item(row)->isSelected()) {
            QSignalBlocker block(w);
            w->item(row)->setSelected(true);
        }
        NotifyCommand(this, LBN_SELCHANGE);
    });
    QObject::connect(w, &QListWidget::itemDoubleClicked, ContextOf(this), [this](QListWidgetItem*) {
        if (!FSyncing) NotifyCommand(this, LBN_DBLCLK);
    });
    ItemsChanged();
}

void TListBox::ItemsChanged() {
    auto* w = WidgetAs<QListWidget>(this);
    if (!w) return;
    FSyncing = true;
    QSignalBlocker block(w);
    int row = w->currentRow();
    w->clear();
    for (int i = 0; i < FItems->Count(); ++i) w->addItem(ToQ(FItems->Strings(i)));
    if (row < w->count()) w->setCurrentRow(row);
    FSyncing = false;
}

void TListBox::CNCommand(TWMCommand& Message) {
    switch (Message.NotifyCode()) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: TWinControl::CNCommand(Message); break;
    }
}

int TListBox::ItemIndex() const {
    auto* w = WidgetAs<QListWidget>(this);
    int r = w->currentRow();
    if (r >= 0 && !FMultiSelect && !w->item(r)->isSelected()) return -1;
    return r;
}

void TListBox::SetItemIndex(int Value) {
    auto* w = WidgetAs<QListWidget>(this);
    FSyncing = true;
    QSignalBlocker block(w);
    if (Value < 0 || Value >= w->count()) {
        w->setCurrentRow(-1);
        w->clearSelection();
    } else {
        w->setCurrentRow(Value);
    }
    FSyncing = false;
}

void TListBox::SetMultiSelect(bool Value) {
    FMultiSelect = Value;
    WidgetAs<QListWidget>(this)->setSelectionMode(Value ? QAbstractItemView::ExtendedSelection
                                                        : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int Index) const {
    auto* w = WidgetAs<QListWidget>(this);
    if (Index < 0 || Index >= w->count()) throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return w->item(Index)->isSelected();
}

void TListBox::SetSelected(int Index, bool Value) {
    auto* w = WidgetAs<QListWidget>(this);
    if (Index < 0 || Index >= w->count()) throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    FSyncing = true;
    w->item(Index)->setSelected(Value);
    FSyncing = false;
}

int TListBox::SelCount() const { return FMultiSelect ? int(WidgetAs<QListWidget>(this)->selectedItems().size()) : -1; }

int TListBox::TopIndex() const {
    auto* w = WidgetAs<QListWidget>(this);
    QListWidgetItem* it = w->itemAt(2, 2);
    return it ? w->row(it) : 0;
}

void TListBox::SetTopIndex(int Value) {
    auto* w = WidgetAs<QListWidget>(this);
    if (Value >= 0 && Value < w->count()) w->scrollToItem(w->item(Value), QAbstractItemView::PositionAtTop);
}

int TListBox::ItemHeight() const {
    if (FItemHeight > 0) return FItemHeight;
    auto* w = WidgetAs<QListWidget>(this);
    if (FStyle != lbStandard) return w->fontMetrics().height() + 2;
    return w->count() > 0 ? w->visualItemRect(w->item(0)).height() : w->fontMetrics().height();
}

void TListBox::SetItemHeight(int Value) {
    FItemHeight = Value;
    WidgetAs<QListWidget>(this)->doItemsLayout();
}

void TListBox::SetStyle(TListBoxStyle Value) {
    FStyle = Value;
    auto* w = WidgetAs<QListWidget>(this);
    if (Value == lbOwnerDrawFixed || Value == lbOwnerDrawVariable || Value == lbVirtualOwnerDraw) {
        w->setItemDelegate(new TOwnerDrawDelegate(this, w));
        w->setUniformItemSizes(true);
    } else {
        w->setItemDelegate(new QStyledItemDelegate(w));
    }
    w->viewport()->update();
}

void TListBox::PaintItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas& c = *FCanvas;
    c.SetFont(Font());
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    if (State.Contains(odSelected)) {
        c.Brush().SetColor(clHighlight);
        c.Font().SetColor(clHighlightText);
    }
    DrawItem(Index, Rect, State);
    if (State.Contains(odFocused)) c.DrawFocusRect(Rect);
}

void TListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
    auto* w = WidgetAs<QListWidget>(this);
    QListWidgetItem* it = w->itemAt(w->viewport()->mapFrom(w, QPoint(Pos.X, Pos.Y)));
    if (it) return w->row(it);
    return Existing ? -1 : w->count();
}

void TCheckListBox::CreateWnd() { TListBox::CreateWnd(); }

void TCheckListBox::ItemsChanged() {
    FStates.resize(size_t(Items().Count()), cbUnchecked);
    TListBox::ItemsChanged();
    auto* w = WidgetAs<QListWidget>(this);
    if (!w) return;
    FSyncing = true;
    QSignalBlocker block(w);
    for (int i = 0; i < w->count(); ++i) {
        QListWidgetItem* it = w->item(i);
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        TCheckBoxState s = FStates[size_t(i)];
        it->setCheckState(s == cbChecked ? Qt::Checked : s == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    FSyncing = false;
    static bool connectedOnce = false;
    (void)connectedOnce;
    if (!w->property("configurator.checks").isValid()) {
        w->setProperty("configurator.checks", true);
        QObject::connect(w, &QListWidget::itemChanged, ContextOf(this), [this, w](QListWidgetItem* it) {
            if (FSyncing) return;
            int i = w->row(it);
            if (i < 0 || i >= int(FStates.size())) return;
            Qt::CheckState cs = it->checkState();
            FStates[size_t(i)] = cs == Qt::Checked ? cbChecked : cs == Qt::PartiallyChecked ? cbGrayed : cbUnchecked;
            Guarded([this] {
                if (OnClickCheck) OnClickCheck(this);
            });
        });
    }
}

bool TCheckListBox::Checked(int Index) const { return State(Index) == cbChecked; }

void TCheckListBox::SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }

TCheckBoxState TCheckListBox::State(int Index) const {
    if (Index < 0 || Index >= int(FStates.size())) throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return FStates[size_t(Index)];
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
    if (Index < 0 || Index >= int(FStates.size())) throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    FStates[size_t(Index)] = Value;
    auto* w = WidgetAs<QListWidget>(this);
    FSyncing = true;
    QSignalBlocker block(w);
    w->item(Index)->setCheckState(Value == cbChecked ? Qt::Checked : Value == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    FSyncing = false;
}

// ---------------------------------------------------------------------------
// TScrollBar
// ---------------------------------------------------------------------------
namespace {

// The classic bar without its 3-D look: the track in the blend of the face
// and highlight colours, the arrows and the thumb face-coloured with a
// one-pixel shadow frame, the places of every part left to the style.
class TFlatScrollBarStyle : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl Control, const QStyleOptionComplex* Option, QPainter* Painter,
                            const QWidget* Widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(Option);
        if (Control != CC_ScrollBar || !bar) {
            QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
            return;
        }
        const QColor face = ToQColor(ColorToRGB(clBtnFace)), light = ToQColor(ColorToRGB(clBtnHighlight));
        const QColor shadow = ToQColor(ColorToRGB(clBtnShadow));
        const QColor ink = ToQColor(ColorToRGB(bar->state & State_Enabled ? clBtnText : clGrayText));
        Painter->save();
        Painter->fillRect(bar->rect, QColor((face.red() + light.red()) / 2, (face.green() + light.green()) / 2,
                                            (face.blue() + light.blue()) / 2));
        const bool vertical = bar->orientation == Qt::Vertical;
        auto framed = [&](const QRect& r) {
            if (r.isEmpty()) return;
            Painter->fillRect(r, face);
            Painter->setPen(shadow);
            Painter->setBrush(Qt::NoBrush);
            Painter->drawRect(r.adjusted(0, 0, -1, -1));
        };
        auto arrow = [&](const QRect& r, bool back) {
            framed(r);
            const QPoint c = r.center();
            const int k = std::max(2, std::min(r.width(), r.height()) / 4);
            QPolygon tri;
            if (vertical)
                tri << QPoint(c.x() - k, back ? c.y() + k / 2 : c.y() - k / 2)
                    << QPoint(c.x() + k, back ? c.y() + k / 2 : c.y() - k / 2)
                    << QPoint(c.x(), back ? c.y() - k / 2 : c.y() + k / 2);
            else
                tri << QPoint(back ? c.x() + k / 2 : c.x() - k / 2, c.y() - k)
                    << QPoint(back ? c.x() + k / 2 : c.x() - k / 2, c.y() + k)
                    << QPoint(back ? c.x() - k / 2 : c.x() + k / 2, c.y());
            Painter->setPen(ink);
            Painter->setBrush(ink);
            Painter->drawPolygon(tri);
        };
        arrow(subControlRect(CC_ScrollBar, bar, SC_ScrollBarSubLine, Widget), true);
        arrow(subControlRect(CC_ScrollBar, bar, SC_ScrollBarAddLine, Widget), false);
        if (bar->state & State_Enabled && bar->maximum > bar->minimum)
            framed(subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, Widget));
        Painter->restore();
    }
};

QStyle* FlatScrollBarStyle() {
    static QPointer<TFlatScrollBarStyle> style;
    if (!style) {
        style = new TFlatScrollBarStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = 17;
    FTabStop = true;
    HandleNeeded();
}

void TScrollBar::CreateWnd() {
    auto* w = new THostWidget<QScrollBar>(this);
    AttachWidget(this, w, false);
    w->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    if (!FCtl3D) w->setStyle(FlatScrollBarStyle());
    w->setRange(FMin, FMax);
    w->setValue(FPosition);
    QObject::connect(w, &QScrollBar::actionTriggered, ContextOf(this), [this](int action) { UserAction(action); });
    QObject::connect(w, &QScrollBar::sliderReleased, ContextOf(this), [this] { UserAction(-1); });
}

void TScrollBar::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    auto* w = WidgetAs<QScrollBar>(this);
    w->setStyle(Value ? QApplication::style() : FlatScrollBarStyle());
    w->update();
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    FKind = Value;
    WidgetAs<QScrollBar>(this)->setOrientation(Value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
    APosition = std::clamp(APosition, AMin, AMax);
    bool changed = APosition != FPosition;
    FMin = AMin;
    FMax = AMax;
    FPosition = APosition;
    auto* w = WidgetAs<QScrollBar>(this);
    FSyncing = true;
    w->setRange(AMin, AMax);
    w->setValue(APosition);
    w->setSingleStep(SmallChange);
    w->setPageStep(std::max(LargeChange, FPageSize));
    FSyncing = false;
    if (changed) Change();
}

void TScrollBar::SetPageSize(int Value) {
    FPageSize = Value;
    WidgetAs<QScrollBar>(this)->setPageStep(std::max(LargeChange, Value));
}

void TScrollBar::UserAction(int Action) {
    Word code = SB_THUMBPOSITION;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    case -1: code = SB_THUMBPOSITION; break;
    default: break;
    }
    auto* w = WidgetAs<QScrollBar>(this);
    int pos = w->sliderPosition();
    Guarded([&] {
        Cardinal msg = FKind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
        WPARAM wp = MakeWParam(code, pos);
        if (FParent) FParent->Perform(msg, wp, LPARAM(Handle()));
        else Perform(FKind == sbHorizontal ? CN_HSCROLL : CN_VSCROLL, wp, LPARAM(Handle()));
    });
    // The classic bar does not move by itself: the position is what Scroll left.
    FSyncing = true;
    w->setSliderPosition(FPosition);
    w->setValue(FPosition);
    FSyncing = false;
}

void TScrollBar::CNHScroll(TWMScroll& Message) { DoScroll(Message); }
void TScrollBar::CNVScroll(TWMScroll& Message) { DoScroll(Message); }

void TScrollBar::DoScroll(TWMScroll& Message) {
    TScrollCode code = TScrollCode(Message.ScrollCode());
    int pos = FPosition;
    switch (code) {
    case scLineUp: pos -= SmallChange; break;
    case scLineDown: pos += SmallChange; break;
    case scPageUp: pos -= LargeChange; break;
    case scPageDown: pos += LargeChange; break;
    case scPosition: case scTrack: pos = Message.Pos(); break;
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
    }
    pos = std::clamp(pos, FMin, FMax);
    Scroll(code, pos);
    SetPosition(pos);
}

void TScrollBar::Change() {
    if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
    if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

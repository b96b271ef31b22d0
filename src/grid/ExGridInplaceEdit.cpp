// The grid's text editor: the character filter of each text kind, the
// length limit, and validation before Enter and Escape reach the grid.
#include "grid/ExGrid.h"

#include <algorithm>

#include "grid/foundation/GridText.h"

#include "framework/Clipboard.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

namespace {

constexpr Char KeyBack = 8, KeyTab = 9, KeyEnter = 13, KeyEscape = 27;

bool IsControlKey(Char Ch) { return Ch == KeyBack || Ch == KeyTab || Ch == KeyEnter || Ch == KeyEscape; }
bool IsDigit(Char Ch) { return Ch >= u'0' && Ch <= u'9'; }
bool Holds(const String& S, Char Ch) { return S.find(Ch) != String::npos; }

// Ctrl+Enter breaks a line only where the cell can show more than one.
bool TakesLineBreaks(TExStringGrid& G) {
    return G.Navigation().AllowCtrlEnter() && (G.WordWrap() || G.Tools().Multilinecells);
}

}  // namespace

// The editor wraps as the grid does; the grid passes on later changes.
TExInplaceEdit::TExInplaceEdit(TExStringGrid* AGrid) : TInplaceEdit(AGrid), FExGrid(AGrid) {
    SetWordWrap(AGrid->WordWrap());
}

void TExInplaceEdit::UpdateContents() {
    // The grid filling its editor is no change by the user.
    FFilling = true;
    try {
        TInplaceEdit::UpdateContents();
    } catch (...) {
        FFilling = false;
        throw;
    }
    FFilling = false;
    FLengthLimit = FExGrid->GetEditLimit();
    if (FExGrid->FEditControl == edPassword) SetPasswordChar(FExGrid->PasswordChar());
    else SetPasswordChar(0);
    SetWordWrap(FExGrid->WordWrap() && FExGrid->FEditControl != edPassword);
    FColE = FExGrid->Col();
    FRowE = FExGrid->Row();
    FExGrid->DoGetEditorProp(FExGrid->RealColIndex(FExGrid->Col()), FExGrid->Row());
}

void TExInplaceEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // The grid places the editor over the whole cell; its last column and row
    // of pixels stay the cell's.
    TInplaceEdit::SetBounds(ALeft, ATop, std::max(0, AWidth - 1), std::max(0, AHeight - 1));
    if (FExGrid->Col() < 0 || FExGrid->Row() < 0) return;
    TGridDrawState state;
    TBrush brush;
    brush.SetColor(FExGrid->Color());
    TFont font;
    font.Assign(&FExGrid->Font());
    TColor to = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool wrap = false;
    TCellGradientDirection gd = GradientVertical;
    FExGrid->GetVisualProperties(FExGrid->Col(), FExGrid->Row(), state, false, false, true, brush, to, mirror,
                                 mirrorTo, font, ha, va, wrap, gd);
    SetColor(brush.Color());
    SetFont(font);
    SetAlignment(ha);
    FValign = ha == taRightJustify;
}

void TExInplaceEdit::SetVAlign(bool Value) {
    FValign = Value;
    if (Value) SetAlignment(taRightJustify);
    else if (Alignment() == taRightJustify) SetAlignment(taLeftJustify);
}

void TExInplaceEdit::Change() {
    TInplaceEdit::Change();
    if (!FFilling && FExGrid->OnEditChange) FExGrid->OnEditChange(FExGrid, FExGrid->Col(), FExGrid->Row(), Text());
}

void TExInplaceEdit::DoEnter() {
    TInplaceEdit::DoEnter();
    FGotFocus = true;
    FLengthLimit = FExGrid->GetEditLimit();
    const TNavigation& nav = FExGrid->Navigation();
    // A masked text is entered at its first position, unless a press placed the caret.
    if (!EditMask().empty() && nav.ImproveMaskSel() && !FExGrid->LButFlg) {
        SetSelStart(0);
        SetSelLength(1);
        return;
    }
    if (!nav.EditSelectAll()) Deselect();
    TPoint p;
    if (FExGrid->TakeCaretPress(*this, p)) {
        // Over no character the caret stays as it was.
        if (const int at = CharFromPos(p); at >= 0) {
            SetSelStart(at);
            SetSelLength(0);
        }
    }
}

int LookupCompletion(const String& Text, int Caret, const TStringList& Items, bool CaseSensitive, String& Completed) {
    // The completion adds at most this many characters of the item.
    constexpr size_t MaxCompletion = 255;
    const String typed = Text.substr(0, size_t(std::clamp(Caret, 0, int(Text.size()))));
    if (typed.empty()) return -1;
    auto fold = [CaseSensitive](const String& S) { return CaseSensitive ? S : AnsiUpperCase(S); };
    const String prefix = fold(typed);
    for (int i = 0; i < Items.Count(); ++i) {
        const String& item = Items[i];
        if (item.size() < prefix.size() || fold(item.substr(0, prefix.size())) != prefix) continue;
        Completed = typed + item.substr(prefix.size(), MaxCompletion);
        return i;
    }
    return -1;
}

bool TExInplaceEdit::CommitWalk() {
    const String old = FExGrid->FOldCellText;
    if (!FExGrid->ValidateCell(Text())) {
        RestoreRefused();
        FExGrid->FOldCellText = old;
        return false;
    }
    SetText(FExGrid->FNewCellText);
    return true;
}

void TExInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
    // Left at the start or Right at the end of the text walks on to the cell beside.
    if ((Key == VK_LEFT || Key == VK_RIGHT) && FExGrid->Navigation().CursorWalkEditor() && SelLength() == 0 &&
        !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        const bool forward = Key == VK_RIGHT;
        const bool edge = forward ? FSelKeyDown == int(Text().size()) : FSelKeyDown == 0 && SelStart() == 0;
        if (edge) {
            Key = 0;
            FExGrid->CursorWalk(forward, !forward, [this] { return CommitWalk(); });
            return;
        }
    }
    TInplaceEdit::KeyUp(Key, Shift);
    if (Key == VK_LEFT || Key == VK_RIGHT) return;
    DoChange();
    if (FExGrid->SizeWhileTyping().Width()) FExGrid->SizeColToContents(FExGrid->Col(), true);
    if (FExGrid->SizeWhileTyping().Height() && FExGrid->WordWrap()) {
        FExGrid->AutoSizeRow(FExGrid->Row(), 0);
        if (FExGrid->OnEndRowSize) FExGrid->OnEndRowSize(FExGrid, FExGrid->Row());
    }
}

void TExInplaceEdit::DoChange() {
    if (!FWorkmode || SelLength() != 0) return;
    if (!FExGrid->Lookup() || FExGrid->LookupItems().Count() == 0) return;
    String completed;
    const int typed = SelStart();
    if (LookupCompletion(Text(), typed, FExGrid->LookupItems(), FExGrid->LookupCaseSensitive(), completed) < 0) return;
    SetText(completed);
    SetSelStart(typed);
    SetSelLength(int(completed.size()) - typed);
    FGotKey = false;
}

void TExInplaceEdit::WMLButtonDblClk(TWMMouse& Message) {
    TInplaceEdit::WMLButtonDblClk(Message);
    if (FExGrid->OnDblClickCell) FExGrid->OnDblClickCell(FExGrid, FExGrid->Row(), FExGrid->Col());
}

void TExInplaceEdit::DoExit() {
    FExGrid->FStartEditChar = 0;
    if (FExGrid->LookupHistory() && FExGrid->LookupItems().IndexOf(Text()) < 0)
        FExGrid->LookupItems().Add(Text());
    FExGrid->EditHook(false);
    TInplaceEdit::DoExit();
    if (FAltBack) return;
    const bool editing = FExGrid->FEditMode;
    // The edit done is told for the cell the editor stood on, wherever the cursor is now.
    const int col = FColE >= 0 ? FColE : FExGrid->Col(), row = FRowE >= 0 ? FRowE : FExGrid->Row();
    // The focus went to another window: nothing else validates the value. A
    // move to the grid is validated by its cell selection.
    if (editing && FExGrid->FEditing && (!FExGrid->HandleAllocated() || FFocusTo != FExGrid->Handle())) {
        FExGrid->ValidateCell(Text());
        FFilling = true;
        SetText(FExGrid->GetCurrentCell());
        FFilling = false;
        FExGrid->FEditing = false;
        FExGrid->HideInplaceEdit();
    }
    FExGrid->InplaceEditHook(Text(), TPoint{-1, -1}, -1);
    if (!FGotFocus) return;
    FGotFocus = false;
    if (!editing) return;
    FExGrid->FEditMode = false;
    FExGrid->EditingDone(FExGrid->RealColIndex(col), row);
}

void TExInplaceEdit::RestoreRefused() {
    SetText(FExGrid->FNewCellText);
    if (FExGrid->Navigation().EditSelectAll()) SelectAll();
    else Deselect();
}

void TExInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    FExGrid->EditKeyDownHook(Key, Shift);
    const bool ctrl = Shift.Contains(ssCtrl);
    // Ctrl+A selects the text, not the grid's cells (AltGr, reported as Ctrl+Alt, types a character).
    if (Key == 'A' && ctrl && !Shift.Contains(ssAlt)) {
        SelectAll();
        Key = 0;
        return;
    }
    // Plain Home and End stay in the text, even where the caret already is at its edge.
    if ((Key == VK_HOME || Key == VK_END) && !ctrl && !Shift.Contains(ssShift)) {
        SetCaret(Key == VK_HOME ? 0 : int(EditText().size()), false);
        Key = 0;
        return;
    }
    FSelKeyDown = SelStart();
    FGotKey = true;
    if (Key == VK_BACK || Key == VK_DELETE) FWorkmode = false;
    else if (Key != VK_RETURN && Key != VK_UP && Key != VK_DOWN) FWorkmode = true;
    // Up and Down move between the editor's own lines; only from its first or
    // last line do they reach the grid.
    if ((Key == VK_UP || Key == VK_DOWN) && StepLine(Key == VK_UP, Shift.Contains(ssShift))) {
        Key = 0;
        return;
    }
    const bool shiftOnly = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    // Shift with an arrow out of the text ends the edit and leaves the cursor on the cell.
    if (shiftOnly && FExGrid->Navigation().CursorWalkEditor() &&
        ((Key == VK_LEFT && SelStart() == 0 && SelLength() == 0) ||
         (Key == VK_RIGHT && SelStart() + SelLength() == int(Text().size())))) {
        Key = 0;
        if (!CommitWalk()) return;
        FExGrid->HideInplaceEdit();
        if (FExGrid->CanFocus()) FExGrid->SetFocus();
        return;
    }
    if (Key == VK_RETURN && Shift.Contains(ssCtrl) && !TakesLineBreaks(*FExGrid)) {
        Key = 0;
        return;
    }
    if (Key == VK_TAB && FExGrid->EditorTakesTab()) {
        // Tab leaves the cell only with a value the validation accepts.
        Key = 0;
        if (!CommitWalk()) return;
        FExGrid->HideInplaceEdit();
        FExGrid->TabFromEditor(Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        // The text the cell had when editing began; the grid then closes the editor.
        SetText(FExGrid->FCellCache);
        FExGrid->HideInplaceEdit();
    } else if (Key == VK_RETURN && !Shift.Contains(ssCtrl) && !FExGrid->Navigation().LineFeedOnEnter()) {
        String old = FExGrid->FOldCellText;
        if (!FExGrid->ValidateCell(Text())) {
            RestoreRefused();
            FEnterRefused = true;
            FExGrid->FOldCellText = old;
            Key = 0;
            return;
        }
        SetText(FExGrid->FNewCellText);
    }
    if (Key == VK_RETURN && Shift.Contains(ssCtrl) && FExGrid->Navigation().LineFeedOnEnter()) {
        // Enter types the line breaks here, so Ctrl+Enter ends the edit as Enter does elsewhere.
        Key = 0;
        Char enter = KeyEnter;
        KeyPress(enter);
        return;
    }
    if (Key == VK_RETURN && (Shift.Contains(ssCtrl) || Shift.Contains(ssShift))) GrowRowForNewLine();
    FExGrid->EditKeyUpHook(Key, Shift);
    TInplaceEdit::KeyDown(Key, Shift);
}

bool TExInplaceEdit::StepLine(bool Up, bool Extend) {
    const auto lines = Lines();
    const int from = Up ? SelStart() : SelStart() + SelLength();
    size_t i = 0;
    while (i + 1 < lines.size() && lines[i + 1].first <= from) ++i;
    if (Up ? i == 0 : i + 1 == lines.size()) return false;
    const auto [start, length] = lines[Up ? i - 1 : i + 1];
    SetCaret(start + std::min(from - lines[i].first, length), Extend);
    return true;
}

void TExInplaceEdit::GrowRowForNewLine() {
    if (!FExGrid->SizeWhileTyping().Height() || !FExGrid->Tools().Multilinecells) return;
    // The row makes room for the line the key is about to start.
    const int row = FExGrid->Row();
    const int lines = CountTextLines(Text() + u"\r\n ", true);
    if (lines < FExGrid->MaxRowLines(row)) FExGrid->AutoSizeRow(row, 0);
    else FExGrid->SizeRowToLines(row, lines, FExGrid->TotalYOffset());
    if (FExGrid->OnEndRowSize) FExGrid->OnEndRowSize(FExGrid, row);
}

void TExInplaceEdit::KeyPress(Char& Key) {
    // A refused value keeps the Enter from reaching the grid, which would close the editor.
    const bool refused = FEnterRefused;
    FEnterRefused = false;
    if (Key == KeyEnter && refused) {
        Key = 0;
        return;
    }
    if (Key == KeyEnter && !FExGrid->Navigation().LineFeedOnEnter() && !FExGrid->ValidateCell(Text())) {
        SetText(FExGrid->GetCurrentCell());
        Key = 0;
        return;
    }
    TInplaceEdit::KeyPress(Key);
    // A masked entry filled to its end moves on at the next key, as Enter would.
    const String text = EditText();
    if (FExGrid->Navigation().AdvanceAuto() && !EditMask().empty() && !Holds(text, u' ') &&
        SelStart() == int(text.size())) {
        Char enter = KeyEnter;
        FExGrid->KeyPress(enter);
    }
}

bool TExInplaceEdit::FilterChar(Char& Ch) {
    const String text = EditText();
    const String sel = SelText();
    const int caret = SelStart();
    auto refuse = [](bool Beep) {
        if (Beep) MessageBeep(0);
        return false;
    };
    switch (FExGrid->FEditControl) {
    case edNormal:
    case edPassword: return true;
    case edNumeric:
        if (IsControlKey(Ch) || IsDigit(Ch)) return true;
        if (Ch == u'-' && !Holds(text, u'-') && caret == 0) return true;
        return refuse(true);
    case edPositiveNumeric:
        return IsControlKey(Ch) || IsDigit(Ch) || refuse(true);
    case edFloat:
    case edPositiveFloat: {
        if (IsControlKey(Ch) || IsDigit(Ch)) return true;
        const Char dec = FormatSettings().DecimalSeparator;
        if (Ch == dec) return !Holds(text, dec) || Holds(sel, dec) || refuse(false);
        if (Ch == u'-' && FExGrid->FEditControl == edFloat)
            return (caret == 0 && !Holds(text, u'-')) || Holds(sel, u'-') || refuse(true);
        return refuse(false);
    }
    case edCapital:
    case edUpperCase: Ch = AnsiUpperCase(String(1, Ch))[0]; return true;
    case edLowerCase: Ch = AnsiLowerCase(String(1, Ch))[0]; return true;
    case edMixedCase: return true;
    case edValidChars:
        if (Ch == KeyBack || Ch == KeyEnter) return true;
        if (!FExGrid->FValidChars.empty()) return Holds(FExGrid->FValidChars, Ch) || refuse(true);
        return (Ch < 256 && FExGrid->ValidCharSet[Ch]) || refuse(true);
    default: return refuse(false);
    }
}

bool TExInplaceEdit::TypesLineBreakOnEnter() const {
    if (!FExGrid->Navigation().LineFeedOnEnter()) return false;
    switch (FExGrid->FEditControl) {
    case edNormal:
    case edCapital:
    case edMixedCase:
    case edLowerCase:
    case edUpperCase:
    case edValidChars: return true;
    default: return false;
    }
}

void TExInplaceEdit::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    TInplaceEdit::CMWantSpecialKey(Message);
    // As a multi-line edit it keeps Enter and Escape from the form's default and cancel buttons.
    const Word k = Message.CharCode();
    if (FExGrid->EditorClaimsKey(k)) Message.Result = 1;
}

void TExInplaceEdit::WMChar(TWMKey& Message) {
    // The keypad's decimal key (bit 6 of its scan code) types the locale's separator.
    const int scan = int((Message.KeyData() >> 16) & 0xFF);
    if (FExGrid->ExcelStyleDecimalSeparator() && Message.CharCode() == u'.' && (scan & 0x40))
        Message.SetCharCode(GetDecimalSeparatorChar());
    Char ch = Char(Message.CharCode());
    // The character of Ctrl+A: its key already selected the text.
    if (ch == 1) return;
    // A password is entered on one line.
    if (ch == 10 && (!TakesLineBreaks(*FExGrid) || FExGrid->FEditControl == edPassword)) return;
    // A full editor takes only the keys that do not add text.
    if (FLengthLimit > 0 && int(EditText().size()) >= FLengthLimit && SelLength() == 0 && ch != KeyBack &&
        ch != KeyEscape && ch != KeyEnter)
        return;
    if (ch == KeyEnter && TypesLineBreakOnEnter()) {
        if (FExGrid->CanEditModify()) TypeText(u"\r\n");
        return;
    }
    if (ch >= 32 || IsControlKey(ch)) {
        if (!FilterChar(ch)) return;
        Message.SetCharCode(ch);
    }
    TInplaceEdit::WMChar(Message);
    if (FExGrid->FEditControl == edMixedCase && ch >= 32) {
        const int caret = SelStart();
        const String proper = ToProperCase(EditText());
        if (proper != EditText()) {
            SetText(proper);
            SetSelStart(caret);
        }
    }
    // A text typed to the grid's full length moves on as Enter would.
    const TNavigation& nav = FExGrid->Navigation();
    const int full = FExGrid->MaxEditLength();
    if (nav.AdvanceAuto() && nav.AdvanceOnEnter() && full > 0 && int(EditText().size()) == full && SelLength() == 0 &&
        SelStart() == full) {
        Char enter = KeyEnter;
        FExGrid->KeyPress(enter);
    }
}

void TExInplaceEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_KILLFOCUS) FFocusTo = HWND(Message.WParam);
    if ((Message.Msg == WM_SYSKEYDOWN || Message.Msg == WM_SYSKEYUP) && Message.WParam == VK_BACK)
        FAltBack = Message.Msg == WM_SYSKEYDOWN;
    if (Message.Msg == WM_KEYUP) {
        TInplaceEdit::Dispatch(Message);
        // Descendants follow the caret and the formula state after every key.
        if (const int caret = SelStart(); caret > 0) FExGrid->InplaceEditHook(Text(), PosFromChar(caret - 1), caret);
        FExGrid->EditHook(Text().starts_with(u"="));
        return;
    }
    if (Message.Msg == WM_CUT || Message.Msg == WM_COPY) {
        bool allow = true;
        const auto& ask = Message.Msg == WM_CUT ? FExGrid->OnClipboardCut : FExGrid->OnClipboardCopy;
        if (ask) ask(this, allow);
        if (allow) TInplaceEdit::Dispatch(Message);
        return;
    }
    if (Message.Msg != WM_PASTE) {
        TInplaceEdit::Dispatch(Message);
        return;
    }
    String v = Clipboard().AsText();
    bool allow = !v.empty();
    if (FExGrid->OnClipboardPaste) FExGrid->OnClipboardPaste(this, allow);
    if (allow && FExGrid->OnClipboardBeforePasteCell)
        FExGrid->OnClipboardBeforePasteCell(this, FExGrid->Col(), FExGrid->Row(), v, allow);
    if (!allow || (FLengthLimit > 0 && int(v.size()) > FLengthLimit)) return;
    // A pasted cell ends with its line break; the cell does not take it.
    if (v.size() >= 2 && v.find(u"\r\n") == v.size() - 2) v.resize(v.size() - 2);
    const String text = EditText();
    String n = text.substr(0, SelStart()) + v + text.substr(SelStart() + SelLength());
    const int selStart = SelStart();
    const bool hadSel = SelLength() > 0;
    const int kind = ClassifyNumberText(n);
    bool take = true;
    switch (FExGrid->FEditControl) {
    case edNumeric: take = kind == 0; break;
    case edPositiveNumeric: take = kind == 0 && !Holds(n, u'-'); break;
    case edFloat: take = kind == 0 || kind == 1; break;
    case edPositiveFloat: take = (kind == 0 || kind == 1) && !Holds(n, u'-'); break;
    case edMixedCase: n = ToProperCase(n); break;
    case edLowerCase: n = AnsiLowerCase(n); break;
    case edUpperCase: n = AnsiUpperCase(n); break;
    case edValidChars:
        for (Char ch : n) take = take && Holds(FExGrid->FValidChars, ch);
        break;
    default: break;
    }
    if (take && (FLengthLimit < 1 || int(n.size()) <= FLengthLimit)) SetText(n);
    // Taken or not, the cell holds the editor's text and the caret goes past the paste.
    FExGrid->SetCurrentCellText(Text());
    if (hadSel) {
        SetSelStart(selStart);
        SetSelLength(int(v.size()));
    } else {
        SetSelStart(selStart + int(v.size()));
    }
    if (FExGrid->OnClipboardAfterPasteCell)
        FExGrid->OnClipboardAfterPasteCell(this, FExGrid->Col(), FExGrid->Row(), Text());
}

// The grid's in-place text editor, drawn through the canvas.
#include "framework/Grids.h"

#include "framework/Clipboard.h"

#include <algorithm>

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
    FColor = clWindow;
    FTabStop = false;
}

TInplaceEdit::~TInplaceEdit() = default;

String TInplaceEdit::Text() const { return FMask.Empty() ? FText : FMask.StoredText(FText); }

void TInplaceEdit::SetText(const String& Value) {
    const String shown = FMask.Empty() ? Value : FMask.FormatText(Value);
    if (shown == FText) return;
    FText = shown;
    FSelStart = FSelLength = FAnchorPos = 0;
    Change();
    Invalidate();
}

void TInplaceEdit::Change() {
    if (OnChange) OnChange(this);
    // The cell holds what the editor shows; the grid's own refilling is not a change of the cell.
    if (FGrid && !FFilling) FGrid->UpdateText();
}

void TInplaceEdit::SetSelStart(int Value) {
    FSelStart = std::clamp(Value, 0, int(FText.size()));
    FSelLength = 0;
    FAnchorPos = FSelStart;
    Invalidate();
}

void TInplaceEdit::SetSelLength(int Value) {
    FSelLength = std::clamp(Value, 0, int(FText.size()) - FSelStart);
    FAnchorPos = FSelStart;
    Invalidate();
}

String TInplaceEdit::SelText() const { return FText.substr(FSelStart, FSelLength); }

void TInplaceEdit::SetSelText(const String& Value) {
    if (!FMask.Empty()) {
        InsertMasked(Value, true);
        return;
    }
    FText.replace(FSelStart, FSelLength, Value);
    FSelStart += int(Value.size());
    FSelLength = 0;
    FAnchorPos = FSelStart;
    Change();
    Invalidate();
}

void TInplaceEdit::SelectAll() {
    FSelStart = 0;
    FSelLength = int(FText.size());
    FAnchorPos = 0;
    Invalidate();
}

void TInplaceEdit::Deselect() {
    FSelStart = FAnchorPos = int(FText.size());
    FSelLength = 0;
    Invalidate();
}

void TInplaceEdit::SetEditMask(const String& Value) {
    if (Value == FMask.Mask()) return;
    const String text = Text();
    FMask = TEditMask(Value);
    FText = FMask.Empty() ? text : FMask.FormatText(text);
    FSelStart = FSelLength = FAnchorPos = 0;
    Invalidate();
}

void TInplaceEdit::ValidateEdit() {
    if (FMask.Empty() || !FModified) return;
    const int bad = FMask.FirstInvalid(FText);
    if (bad < 0) return;
    SetCaret(bad, false);
    FMask.Validate(FText);
}

void TInplaceEdit::SetPasswordChar(Char Value) {
    FPasswordChar = Value;
    Invalidate();
}

void TInplaceEdit::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TInplaceEdit::SetWordWrap(bool Value) {
    FWordWrap = Value;
    Invalidate();
}

void TInplaceEdit::SetFormatRect(const TRect& R) {
    FFormatRect = R;
    Invalidate();
}

void TInplaceEdit::BoundsChanged() {
    TCustomControl::BoundsChanged();
    FFormatRect = Rect(3, 3, Width() - 2, Height());
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    FFilling = true;
    try {
        SetText(String());
        SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
        SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
        SetMaxLength(FGrid->GetEditLimit());
    } catch (...) {
        FFilling = false;
        throw;
    }
    FFilling = false;
    FModified = false;
}

void TInplaceEdit::Move(const TRect& Loc) {
    if (IsRectEmpty(Loc)) {
        Hide();
        return;
    }
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    if (!Visible()) SetVisible(true);
    if (FGrid && FGrid->Focused() && CanFocus()) SetFocus();
}

void TInplaceEdit::SetVisible(bool Value) {
    // The focus goes back to the grid before the editor disappears.
    if (!Value && Visible() && FGrid && Focused() && FGrid->CanFocus()) FGrid->SetFocus();
    TCustomControl::SetVisible(Value);
}

// ---------------------------------------------------------------------------
// Text layout

String TInplaceEdit::DisplayText() const {
    if (FPasswordChar == 0) return FText;
    String s = FText;
    for (Char& ch : s)
        if (ch != u'\r' && ch != u'\n') ch = FPasswordChar;
    return s;
}

std::vector<std::pair<int, int>> TInplaceEdit::Lines() {
    std::vector<std::pair<int, int>> logical;
    int start = 0;
    const int n = int(FText.size());
    for (int i = 0; i < n; ++i) {
        if (FText[i] == u'\n' || FText[i] == u'\r') {
            logical.push_back({start, i - start});
            if (FText[i] == u'\r' && i + 1 < n && FText[i + 1] == u'\n') ++i;
            start = i + 1;
        }
    }
    logical.push_back({start, n - start});
    const int width = FFormatRect.Right - FFormatRect.Left;
    if (!FWordWrap || width <= 0) return logical;
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    const String shown = DisplayText();
    std::vector<std::pair<int, int>> v;
    for (auto [s0, len] : logical) {
        // Greedy: as many words as fit; a word longer than the line breaks anywhere.
        while (len > 0 && canvas.TextWidth(shown.substr(s0, len)) > width) {
            int fit = 1;
            while (fit < len && canvas.TextWidth(shown.substr(s0, fit + 1)) <= width) ++fit;
            int cut = fit;
            for (int k = fit; k > 0; --k)
                if (shown[s0 + k] == u' ') {
                    cut = k + 1;
                    break;
                }
            v.push_back({s0, cut});
            s0 += cut;
            len -= cut;
        }
        v.push_back({s0, len});
    }
    return v;
}

int TInplaceEdit::LineLeft(int LineWidth) const {
    if (FAlignment == taRightJustify) return FFormatRect.Right - LineWidth;
    if (FAlignment == taCenter) return (FFormatRect.Left + FFormatRect.Right - LineWidth) / 2;
    return FFormatRect.Left;
}

int TInplaceEdit::CharFromPos(TPoint P) {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    const int lineHeight = std::max(1, canvas.TextHeight(u"Wg"));
    const auto lines = Lines();
    const String shown = DisplayText();
    const int li = std::clamp((P.Y - FFormatRect.Top) / lineHeight, 0, int(lines.size()) - 1);
    const auto [start, len] = lines[li];
    const String line = shown.substr(start, len);
    const int x0 = LineLeft(canvas.TextWidth(line));
    int best = 0, bestDist = 1 << 30;
    for (int i = 0; i <= len; ++i) {
        const int x = x0 + canvas.TextWidth(line.substr(0, i));
        const int dist = std::abs(x - P.X);
        if (dist < bestDist) {
            bestDist = dist;
            best = i;
        }
    }
    return start + best;
}

TPoint TInplaceEdit::PosFromChar(int Pos) {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    const int lineHeight = std::max(1, canvas.TextHeight(u"Wg"));
    const auto lines = Lines();
    const String shown = DisplayText();
    size_t li = 0;
    while (li + 1 < lines.size() && lines[li + 1].first <= Pos) ++li;
    const auto [start, len] = lines[li];
    const String line = shown.substr(start, len);
    const int before = std::clamp(Pos - start, 0, len);
    const int x = LineLeft(canvas.TextWidth(line)) + canvas.TextWidth(line.substr(0, size_t(before)));
    return {x, FFormatRect.Top + int(li) * lineHeight};
}

void TInplaceEdit::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    canvas.SetFont(Font());
    const String shown = DisplayText();
    const int lineHeight = std::max(1, canvas.TextHeight(u"Wg"));
    const bool focused = Focused();
    int y = FFormatRect.Top;
    for (const auto& [start, len] : Lines()) {
        const String line = shown.substr(start, len);
        const int x = LineLeft(canvas.TextWidth(line));
        canvas.Brush().SetStyle(bsClear);
        canvas.TextOut(x, y, line);
        // The selected part of this line, drawn over in the highlight colours.
        const int s0 = std::max(FSelStart, start), s1 = std::min(FSelStart + FSelLength, start + len);
        if (focused && s1 > s0) {
            const int sx = x + canvas.TextWidth(line.substr(0, s0 - start));
            const String part = line.substr(s0 - start, s1 - s0);
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(clHighlight);
            canvas.Font().SetColor(clHighlightText);
            canvas.TextRect(Rect(sx, y, sx + canvas.TextWidth(part), y + lineHeight), sx, y, part);
            canvas.SetFont(Font());
        }
        if (focused && FSelLength == 0 && FSelStart >= start && FSelStart <= start + len && !IsCaretHidden(Handle())) {
            const int cx = x + canvas.TextWidth(line.substr(0, FSelStart - start));
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(Font().Color());
            canvas.FillRect(Rect(cx, y, cx + 1, y + lineHeight));
        }
        y += lineHeight;
    }
}

// ---------------------------------------------------------------------------
// Input

void TInplaceEdit::SetCaret(int Pos, bool Extend) {
    Pos = std::clamp(Pos, 0, int(FText.size()));
    if (!Extend) FAnchorPos = Pos;
    FSelStart = std::min(FAnchorPos, Pos);
    FSelLength = std::abs(Pos - FAnchorPos);
    Invalidate();
}

void TInplaceEdit::DeleteSelection() {
    if (FSelLength == 0) return;
    FText.erase(FSelStart, FSelLength);
    FSelLength = 0;
    FAnchorPos = FSelStart;
}

bool TInplaceEdit::CanModify() { return !FGrid || FGrid->CanEditModify(); }

void TInplaceEdit::Modify() {
    FModified = true;
    Change();
    Invalidate();
}

bool TInplaceEdit::InsertMasked(const String& S, bool Pasting) {
    String shown = FText;
    FMask.Clear(shown, FSelStart, FSelLength);
    int pos = FSelStart;
    if (!FMask.InputText(shown, pos, S, Pasting)) return false;  // refused as a whole: nothing changes
    FSelStart = FAnchorPos = pos;
    FSelLength = 0;
    if (shown == FText) {
        Invalidate();
        return true;
    }
    FText = shown;
    Modify();
    return true;
}

void TInplaceEdit::ClearMasked(int Start, int Count) {
    String shown = FText;
    FMask.Clear(shown, Start, Count);
    FSelStart = FAnchorPos = Start;
    FSelLength = 0;
    if (shown == FText) {
        Invalidate();
        return;
    }
    FText = shown;
    Modify();
}

void TInplaceEdit::CopyToClipboard() {
    if (FSelLength > 0 && FPasswordChar == 0) Clipboard().SetAsText(SelText());
}

void TInplaceEdit::CutToClipboard() {
    if (FSelLength == 0 || FPasswordChar != 0 || !CanModify()) return;
    CopyToClipboard();
    if (!FMask.Empty()) {
        ClearMasked(FSelStart, FSelLength);
        return;
    }
    DeleteSelection();
    Modify();
}

void TInplaceEdit::PasteFromClipboard() {
    if (!CanModify() || !Clipboard().HasText()) return;
    const String text = Clipboard().AsText();
    if (!FMask.Empty()) InsertMasked(text, true);
    else TypeText(text);
}

void TInplaceEdit::TypeText(const String& S) {
    if (!FMask.Empty()) {
        InsertMasked(S, false);
        return;
    }
    String add = S;
    if (FMaxLength > 0) {
        const int room = FMaxLength - (int(FText.size()) - FSelLength);
        if (room <= 0) return;
        if (int(add.size()) > room) add.resize(room);
    }
    DeleteSelection();
    FText.insert(FSelStart, add);
    FSelStart += int(add.size());
    FAnchorPos = FSelStart;
    FModified = true;
    Change();
    Invalidate();
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!FGrid) {
        TCustomControl::KeyDown(Key, Shift);
        return;
    }
    const int len = int(FText.size());
    const int selEnd = FSelStart + FSelLength;
    const bool atStart = FSelStart == 0 && (selEnd == 0 || selEnd == len);
    const bool atEnd = (FSelStart == 0 || FSelLength == 0) && selEnd == len;
    auto sendToGrid = [&] {
        FGrid->KeyDown(Key, Shift);
        Key = 0;
    };
    switch (Key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_ESCAPE: sendToGrid(); break;
    case VK_HOME:
        if (Shift.Contains(ssCtrl) || atStart) sendToGrid();
        break;
    case VK_END: case VK_RIGHT:
        if (Shift.Contains(ssCtrl) || atEnd) sendToGrid();
        break;
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) sendToGrid();
        break;
    case VK_DELETE:
        if (Shift.Contains(ssCtrl)) sendToGrid();
        else if (!FGrid->CanEditModify()) Key = 0;
        break;
    case VK_F2:
        if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
        if (Key == VK_F2) {
            Deselect();
            return;
        }
        break;
    default: break;
    }
    if (Key == 0) return;
    if (Key != VK_F2 && FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
    if (Key == 0) return;
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    const bool extend = Shift.Contains(ssShift);
    const int caret = FSelLength == 0 ? FSelStart : (FAnchorPos == FSelStart ? selEnd : FSelStart);
    switch (Key) {
    case VK_LEFT: SetCaret(extend ? caret - 1 : (FSelLength ? FSelStart : caret - 1), extend); break;
    case VK_RIGHT: SetCaret(extend ? caret + 1 : (FSelLength ? selEnd : caret + 1), extend); break;
    case VK_HOME: SetCaret(0, extend); break;
    case VK_END: SetCaret(len, extend); break;
    case VK_INSERT:
        if (Shift.Contains(ssShift)) Perform(WM_PASTE);
        else if (Shift.Contains(ssCtrl)) Perform(WM_COPY);
        break;
    case VK_DELETE:
        if (Shift.Contains(ssShift)) {
            Perform(WM_CUT);
            break;
        }
        if (!FMask.Empty()) {
            // Deleting blanks: the positions of a mask never move.
            if (FSelLength > 0) ClearMasked(FSelStart, FSelLength);
            else if (const int p = FMask.NextInput(FSelStart); p >= 0) {
                const int caret = FSelStart;
                ClearMasked(p, 1);
                SetCaret(caret, false);
            }
            break;
        }
        if (FSelLength == 0 && FSelStart < len) FSelLength = 1;
        if (FSelLength > 0) {
            DeleteSelection();
            FModified = true;
            Change();
            Invalidate();
        }
        break;
    default: break;
    }
}

void TInplaceEdit::KeyPress(Char& Key) {
    if (FGrid) {
        FGrid->KeyPress(Key);
        if (Key >= 32 && !FGrid->CanEditAcceptKey(Key)) Key = 0;
        switch (Key) {
        case 9:
        case 27: Key = 0; break;
        case 13:
            if (FSelStart == 0 && FSelLength == int(FText.size())) Deselect();
            else SelectAll();
            Key = 0;
            break;
        case 0: break;
        default:
            if ((Key == 8 || Key == 22 || Key == 24 || Key >= 32) && !FGrid->CanEditModify()) Key = 0;
            break;
        }
    }
    if (Key != 0) TCustomControl::KeyPress(Key);
}

void TInplaceEdit::WMChar(TWMKey& Message) {
    if (DoKeyPress(Message)) return;
    const Char ch = Char(Message.CharCode());
    if (ch == 8 && !FMask.Empty()) {
        if (FSelLength > 0) ClearMasked(FSelStart, FSelLength);
        else if (const int p = FMask.PrevInput(FSelStart); p >= 0) ClearMasked(p, 1);
    } else if (ch == 8) {
        if (FSelLength == 0 && FSelStart > 0) {
            --FSelStart;
            FSelLength = 1;
            if (FSelStart > 0 && FText[FSelStart] == u'\n' && FText[FSelStart - 1] == u'\r') {
                --FSelStart;
                FSelLength = 2;
            }
        }
        if (FSelLength > 0) {
            DeleteSelection();
            FModified = true;
            Change();
            Invalidate();
        }
    } else if (ch == 3) {  // Ctrl+C, Ctrl+X, Ctrl+V
        Perform(WM_COPY);
    } else if (ch == 24) {
        Perform(WM_CUT);
    } else if (ch == 22) {
        Perform(WM_PASTE);
    } else if (ch == 10 || ch == 13) {
        if (FWantReturns) TypeText(u"\r\n");
    } else if (ch >= 32) {
        TypeText(String(1, ch));
    }
}

void TInplaceEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CUT: CutToClipboard(); return;
    case WM_COPY: CopyToClipboard(); return;
    case WM_PASTE: PasteFromClipboard(); return;
    case WM_CLEAR:
        if (FSelLength > 0 && CanModify()) {
            if (!FMask.Empty()) {
                ClearMasked(FSelStart, FSelLength);
            } else {
                DeleteSelection();
                FModified = true;
                Change();
                Invalidate();
            }
        }
        return;
    case EM_CHARFROMPOS: {
        const int pos = CharFromPos({SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())});
        Message.Result = MakeLParam(pos, 0);
        return;
    }
    default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FGrid && FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused()) SetFocus();
    if (Button == mbLeft) SetCaret(CharFromPos({X, Y}), Shift.Contains(ssShift));
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

#include "framework/Clipboard.h"
#include "framework/Forms.h"
#include "framework/Grids.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include "support/Place.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Records the clipboard commands that reach a control's WndProc.
struct CommandLog {
    explicit CommandLog(TControl* watched) {
        id = SetCallWndProcHook([this, watched](TControl* c, const TMessage& m) {
            if (c == watched && m.Msg >= WM_CUT && m.Msg <= WM_UNDO) seen.push_back(m.Msg);
        });
    }
    ~CommandLog() { UnhookCallWndProc(id); }
    int id;
    std::vector<Cardinal> seen;
};

// One edit of either kind, focused, with its text; Text() reads it back.
struct EditUnderTest {
    TForm form{nullptr};
    TWinControl* edit = nullptr;
    std::function<String()> text;
    std::function<void()> selectAll;
    std::function<void(int)> caretAt;
};

void MakeEdit(EditUnderTest& u) {
    u.form.SetBounds(0, 0, 300, 200);
    auto* e = Place<TEdit>(&u.form, 10, 10, 200, 21);
    u.form.Show();
    u.form.SetFocus();
    e->SetFocus();
    u.edit = e;
    u.text = [e] { return e->Text(); };
    u.selectAll = [e] { e->SelectAll(); };
    u.caretAt = [e](int p) {
        e->SetSelStart(p);
        e->SetSelLength(0);
    };
}

void MakeMultiLineEdit(EditUnderTest& u) {
    MakeEdit(u);
    static_cast<TEdit*>(u.edit)->SetMultiLine(true);
    u.edit->SetFocus();
}

void MakeGridEditor(EditUnderTest& u) {
    u.form.SetBounds(0, 0, 300, 200);
    auto* g = Place<TStringGrid>(&u.form, 10, 10, 250, 150);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    u.form.Show();
    u.form.SetFocus();
    g->SetFocus();
    g->SetCol(1);
    g->SetRow(1);
    g->ShowEditor();
    TInplaceEdit* ed = g->InplaceEditor();
    u.edit = ed;
    u.text = [ed] { return ed->EditText(); };
    u.selectAll = [ed] { ed->SelectAll(); };
    u.caretAt = [ed](int p) {
        ed->SetSelStart(p);
        ed->SetSelLength(0);
    };
}

}  // namespace

TEST(EditMessages, KeysSendTheClipboardCommandsToEveryKindOfEdit) {
    struct Case {
        const char* name;
        Word key;
        TShiftState shift;
        Cardinal command;
        const char16_t* textAfter;      // from "hello" all selected
        const char16_t* clipboardAfter;  // clipboard held "pasted" before
    } cases[] = {
        {"Ctrl+X", 'X', {ssCtrl}, WM_CUT, u"", u"hello"},
        {"Shift+Del", VK_DELETE, {ssShift}, WM_CUT, u"", u"hello"},
        {"Ctrl+C", 'C', {ssCtrl}, WM_COPY, u"hello", u"hello"},
        {"Ctrl+Ins", VK_INSERT, {ssCtrl}, WM_COPY, u"hello", u"hello"},
        {"Ctrl+V", 'V', {ssCtrl}, WM_PASTE, u"pasted", u"pasted"},
        {"Shift+Ins", VK_INSERT, {ssShift}, WM_PASTE, u"pasted", u"pasted"},
    };
    for (auto make : {MakeEdit, MakeMultiLineEdit, MakeGridEditor}) {
        for (const Case& c : cases) {
            EditUnderTest u;
            make(u);
            u.edit->SetText(u"hello");
            u.selectAll();
            ASSERT_EQ(FindFocusedControl(), u.edit) << c.name;
            Clipboard().SetAsText(u"pasted");
            CommandLog log(u.edit);
            SimulateKey(c.key, c.shift);
            EXPECT_EQ(log.seen, std::vector<Cardinal>{c.command}) << c.name << " " << StringToUtf8(u.edit->ClassName());
            EXPECT_EQ(u.text(), c.textAfter) << c.name << " " << StringToUtf8(u.edit->ClassName());
            EXPECT_EQ(Clipboard().AsText(), c.clipboardAfter) << c.name << " " << StringToUtf8(u.edit->ClassName());
        }
    }
}

TEST(EditMessages, ClearAndUndoThroughMessages) {
    for (auto make : {MakeEdit, MakeMultiLineEdit, MakeGridEditor}) {
        EditUnderTest u;
        make(u);
        u.edit->SetText(u"abc");
        u.selectAll();
        u.edit->Perform(WM_CLEAR);
        EXPECT_EQ(u.text(), u"") << StringToUtf8(u.edit->ClassName());
    }
    // The standard edit takes back a typed change with Ctrl+Z (WM_UNDO).
    EditUnderTest u;
    MakeEdit(u);
    u.caretAt(0);
    SimulateText(u"xy");
    EXPECT_EQ(u.text(), u"xy");
    CommandLog log(u.edit);
    SimulateKey('Z', {ssCtrl});
    EXPECT_EQ(log.seen, std::vector<Cardinal>{WM_UNDO});
    EXPECT_EQ(u.text(), u"");
}

namespace {
// An edit that records what its handlers hear.
class WatchedEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::vector<std::string> log;
    LRESULT dlgCode = -1;

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == EM_SETREADONLY) log.push_back(m.WParam ? "readonly on" : "readonly off");
        TEdit::Dispatch(m);
    }
    void CNCommand(TWMCommand& m) override {
        if (m.NotifyCode() == EN_UPDATE) log.push_back("update");
        if (m.NotifyCode() == EN_CHANGE) log.push_back("change");
        TEdit::CNCommand(m);
    }
    void WMGetDlgCode(TMessage& m) override {
        if (dlgCode >= 0) m.Result = dlgCode;
        else TEdit::WMGetDlgCode(m);
    }
    void KeyDown(Word& key, TShiftState shift) override {
        if (key == VK_RETURN) log.push_back("enter");
        TEdit::KeyDown(key, shift);
    }
};
}  // namespace

TEST(EditMessages, ReadOnlyUpdateRectAndCharacterPositions) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* e = Place<WatchedEdit>(&form, 10, 10, 200, 24);
    form.Show();
    form.SetFocus();
    e->SetFocus();

    e->SetReadOnly(true);
    EXPECT_TRUE(e->ReadOnly());
    SimulateText(u"no");
    EXPECT_EQ(e->Text(), u"");
    e->Perform(EM_SETREADONLY, 0);
    EXPECT_FALSE(e->ReadOnly());
    EXPECT_EQ(e->log, (std::vector<std::string>{"readonly on", "readonly off"}));

    e->log.clear();
    SimulateText(u"a");
    e->SetText(u"abcdef");
    EXPECT_EQ(e->log, (std::vector<std::string>{"update", "change", "update", "change"}));

    // The text rectangle.
    TRect r = Rect(6, 2, 150, 22);
    e->Perform(EM_SETRECTNP, 0, LPARAM(&r));
    TRect got;
    e->Perform(EM_GETRECT, 0, LPARAM(&got));
    EXPECT_EQ(got, r);
    EXPECT_EQ(e->FormatRect(), r);

    // Positions: the left edge is before the first character, far right after the last.
    auto charAt = [&](int x) { return int(e->Perform(EM_CHARFROMPOS, 0, MakeLParam(x, 10)) & 0xFFFF); };
    EXPECT_EQ(charAt(0), 0);
    EXPECT_EQ(charAt(149), 6);
    const int mid = charAt(6 + e->Width() / 20);
    EXPECT_GE(mid, 0);
    EXPECT_LE(mid, 6);
    e->Perform(EM_SETRECT, 0, 0);
    EXPECT_EQ(e->FormatRect(), e->ClientRect());
}

TEST(EditMessages, DialogCodeDecidesWhoGetsEnterAndTab) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* e = Place<WatchedEdit>(&form, 10, 10, 100, 24);
    auto* next = Place<TEdit>(&form, 10, 50, 100, 24);
    auto* ok = Place<TButton>(&form, 10, 90, 80, 25);
    int clicks = 0;
    ok->SetDefault(true);
    ok->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    form.SetFocus();
    for (bool wantAll : {false, true}) {
        e->dlgCode = wantAll ? LRESULT(DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS) : -1;
        e->log.clear();
        clicks = 0;
        e->SetFocus();
        SimulateKey(VK_RETURN);
        EXPECT_EQ(clicks, wantAll ? 0 : 1) << wantAll;
        EXPECT_EQ(e->log, wantAll ? std::vector<std::string>{"enter"} : std::vector<std::string>{}) << wantAll;
        e->SetFocus();
        SimulateKey(VK_TAB);
        EXPECT_TRUE(next->Focused()) << wantAll;
    }
}

TEST(EditMessages, HiddenCaretIsCountedAndNotPainted) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* g = Place<TStringGrid>(&form, 10, 10, 250, 150);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    form.Show();
    form.SetFocus();
    g->SetFocus();
    g->ShowEditor();
    TInplaceEdit* ed = g->InplaceEditor();
    ed->SetText(u"");
    ed->Deselect();
    auto caretPixels = [&] {
        TBitmap shot;
        RenderControlToBitmap(ed, shot);
        // The text is empty: the caret is all there is in the text colour.
        int dark = 0;
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                if (shot.Canvas().Pixels(x, y) == ColorToRGB(ed->Font().Color())) ++dark;
        return dark;
    };
    ASSERT_TRUE(ed->Focused());
    EXPECT_GT(caretPixels(), 0);
    EXPECT_TRUE(HideCaret(ed->Handle()));
    EXPECT_TRUE(HideCaret(ed->Handle()));
    EXPECT_EQ(caretPixels(), 0);
    EXPECT_TRUE(ShowCaret(ed->Handle()));
    EXPECT_TRUE(IsCaretHidden(ed->Handle()));
    EXPECT_TRUE(ShowCaret(ed->Handle()));
    EXPECT_FALSE(ShowCaret(ed->Handle()));
    EXPECT_GT(caretPixels(), 0);
    EXPECT_FALSE(HideCaret(0));
    // A standard edit hides its caret too.
    auto* e = Place<TEdit>(&form, 10, 170, 100, 21);
    EXPECT_TRUE(HideCaret(e->Handle()));
    EXPECT_TRUE(IsCaretHidden(e->Handle()));
    EXPECT_TRUE(ShowCaret(e->Handle()));
}

TEST(EditMessages, AMultiLineEditKeepsItsTextAndBreaksLinesWhenItWantsEnter) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* e = Place<WatchedEdit>(&form, 10, 10, 200, 80);
    form.Show();
    form.SetFocus();
    e->SetFocus();
    e->SetText(u"first");
    e->SetSelStart(2);
    e->SetSelLength(2);
    TRect r = Rect(4, 3, 190, 75);
    e->Perform(EM_SETRECTNP, 0, LPARAM(&r));
    e->SetMultiLine(true);
    EXPECT_TRUE(e->MultiLine());
    EXPECT_EQ(e->Text(), u"first");
    EXPECT_EQ(e->SelStart(), 2);
    EXPECT_EQ(e->SelLength(), 2);
    EXPECT_EQ(e->FormatRect(), r);
    EXPECT_TRUE(e->Focused());

    e->SetText(u"one\r\ntwo");
    EXPECT_EQ(e->Text(), u"one\r\ntwo");
    e->dlgCode = LRESULT(DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS);
    e->SetSelStart(3);
    SimulateKey(VK_RETURN);
    SimulateText(u"and");
    EXPECT_EQ(e->Text(), u"one\r\nand\r\ntwo");
    // A point on the second line finds a position there.
    const int pos = int(e->Perform(EM_CHARFROMPOS, 0, MakeLParam(150, 8 + 2 * e->Font().Size() * 2)) & 0xFFFF);
    EXPECT_GT(pos, 3);
    e->SetMultiLine(false);
    EXPECT_FALSE(e->MultiLine());

    // A masked edit stays on one line.
    auto* masked = Place<TMaskEdit>(&form, 10, 100, 100, 21);
    masked->SetEditMask(u"99;1;_");
    masked->SetMultiLine(true);
    EXPECT_FALSE(masked->MultiLine());
}

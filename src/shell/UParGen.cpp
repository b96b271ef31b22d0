#include "shell/UParGen.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/StdCtrls.h"
#include "shell/Globals.h"
#include "shell/Shell_Controls.h"

#include <algorithm>

TFParGen* FParGen = nullptr;

namespace {

// The form's background: red 248, green 247, blue 237.
const TColor Form_Color = RGB(248, 247, 237);

// The small arrow of a collapse (up) or expand (down) button, on the olive
// that the button makes transparent.
void Draw_Box_Glyph(TBitmap& glyph, bool up) {
    constexpr int Size = 7;
    glyph.SetSize(Size, Size);
    TCanvas& c = glyph.Canvas();
    c.Brush().SetColor(clOlive);
    c.FillRect(Rect(0, 0, Size, Size));
    for (int row = 0; row < 4; ++row) {
        const int y = up ? 5 - row : 1 + row;
        for (int x = row; x < Size - row; ++x) c.SetPixels(x, y, clBlack);
    }
}

}  // namespace

TFParGen::TFParGen(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetColor(Form_Color);
    Font().SetName(u"Verdana");
    Font().SetHeight(-11);
    Logic.Show_Error = [](const String& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}); };
    Logic.Ask_Yes_No = [](const String& text) {
        return MessageDlg(text, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
    };
    Create_Controls();
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
}

TControl* TFParGen::Control(const String& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void TFParGen::Create_Controls() {
    // Parents come before their children in the logic's list.
    for (const TPGControl& c : Logic.Controls()) {
        TWinControl* parent = this;
        if (!c.Parent.empty()) parent = static_cast<TWinControl*>(controls_.at(c.Parent));
        const String name = c.Name;
        TControl* w = nullptr;
        switch (c.Kind) {
            case TPGKind::GroupBox: w = new TGroupBox(this); break;
            case TPGKind::Label: {
                auto* l = new TLabel(this);
                l->SetAutoSize(true);
                w = l;
                break;
            }
            case TPGKind::Edit: {
                auto* e = new TEdit(this);
                if (c.LowerCase) e->SetCharCase(ecLowerCase);
                e->OnChange = [this, name](TObject*) { Edit_Change(name); };
                e->OnKeyPress = [this, name](TObject*, Char& Key) { Octet_KeyPress(name, Key); };
                w = e;
                break;
            }
            case TPGKind::List: {
                auto* b = new TComboBox(this);
                b->SetStyle(csDropDownList);  // fixed choices, no typing
                b->OnChange = [this, name](TObject*) { List_Change(name); };
                w = b;
                break;
            }
            case TPGKind::Check: {
                auto* b = new TCheckBox(this);
                b->OnClick = [this, name](TObject*) { Check_Click(name); };
                w = b;
                break;
            }
            case TPGKind::Radio: {
                auto* r = new TRadioButton(this);
                r->OnClick = [this, name](TObject*) { Radio_Click(name); };
                w = r;
                break;
            }
            case TPGKind::Button: {
                auto* b = new TFlatButton(this);
                if (name.ends_with(u"_Collapse") || name.ends_with(u"_Expande")) {
                    TBitmap glyph;
                    Draw_Box_Glyph(glyph, name.ends_with(u"_Collapse"));
                    b->SetGlyph(&glyph);
                }
                if (name == u"Btn_OK" || name == u"Btn_Cancel") Set_Shell_Button_Look(b);
                if (name == u"Btn_OK") b->OnClick = [this](TObject* s) { Btn_OK_Click(s); };
                else if (name == u"Btn_Cancel") b->OnClick = [this](TObject* s) { Btn_Cancel_Click(s); };
                else b->OnClick = [this, name](TObject*) { Box_Button_Click(name); };
                w = b;
                break;
            }
        }
        w->SetName(name);
        w->SetParent(parent);
        controls_[name] = w;
    }
    Sync();
}

void TFParGen::Sync() {
    syncing_ = true;
    try {
        SetCaption(Logic.Caption);
        for (const TPGControl& c : Logic.Controls()) {
            TControl* w = controls_.at(c.Name);
            bool visible = c.Visible;
            // A control below its box's height is cut off; hidden here so that
            // it cannot take the focus either.
            if (!c.Parent.empty() && visible) {
                const TPGControl& box = Logic.C(c.Parent);
                if (c.Top >= box.Height) visible = false;
            }
            switch (c.Kind) {
                case TPGKind::Label: {
                    auto* l = static_cast<TLabel*>(w);
                    l->SetCaption(c.Caption);
                    if (c.Bold) l->Font().SetStyle(TFontStyles{fsBold});
                    if (c.FontSize) l->Font().SetSize(c.FontSize);
                    if (c.Name == u"L_SW_Code" || c.Name == u"L_SW_Desc") l->Font().SetColor(clGray);
                    l->SetLeft(c.Left);
                    l->SetTop(c.Top);
                    break;
                }
                case TPGKind::Edit: {
                    auto* e = static_cast<TEdit*>(w);
                    e->SetMaxLength(c.MaxLength);
                    if (e->Text() != c.Text) e->SetText(c.Text);
                    e->SetBounds(c.Left, c.Top, c.Width, c.Height);
                    break;
                }
                case TPGKind::List: {
                    auto* b = static_cast<TComboBox*>(w);
                    bool same = b->Items().Count() == int(c.Items.size());
                    for (int i = 0; same && i < int(c.Items.size()); ++i) same = b->Items()[i] == c.Items[i];
                    if (!same) {
                        b->Items().Clear();
                        for (const String& item : c.Items) b->Items().Add(item);
                    }
                    if (b->ItemIndex() != c.ItemIndex) b->SetItemIndex(c.ItemIndex);
                    b->SetBounds(c.Left, c.Top, c.Width, c.Height);
                    break;
                }
                case TPGKind::Check: {
                    auto* b = static_cast<TCheckBox*>(w);
                    b->SetCaption(c.Caption);
                    if (b->Checked() != c.Checked) b->SetChecked(c.Checked);
                    b->SetBounds(c.Left, c.Top, c.Width, c.Height);
                    break;
                }
                case TPGKind::Radio: {
                    auto* r = static_cast<TRadioButton*>(w);
                    r->SetCaption(c.Caption);
                    if (r->Checked() != c.Checked) r->SetChecked(c.Checked);
                    r->SetBounds(c.Left, c.Top, c.Width, c.Height);
                    break;
                }
                case TPGKind::GroupBox:
                    w->SetCaption(c.Caption);
                    w->SetBounds(c.Left, c.Top, c.Width, c.Height);
                    break;
                case TPGKind::Button: {
                    w->SetCaption(c.Caption);
                    w->SetHint(c.Hint);
                    w->SetShowHint(!c.Hint.empty());
                    w->SetBounds(c.Left, c.Top, c.Width, c.Height);
                    break;
                }
            }
            w->SetEnabled(c.Enabled);
            w->SetVisible(visible);
        }
        SetClientWidth(Logic.ClientWidth);
        SetClientHeight(Logic.ClientHeight);
        Fit_Work_Area();
    } catch (...) {
        syncing_ = false;
        throw;
    }
    syncing_ = false;
}

// A form that grew below the work area moves up, at most to its top; one
// still taller than the work area while shown scrolls its contents.
void TFParGen::Fit_Work_Area() {
    const TRect work = Screen->WorkAreaRect();
    const int frame = Height() - ClientHeight();
    const int room = work.Bottom - work.Top - frame;
    if (Visible() && room > 0 && Logic.ClientHeight > room) {
        constexpr int bar = 17;
        if (!scroll_) {
            scroll_ = new TScrollBar(this);
            scroll_->SetName(u"SB_Form");
            scroll_->SetKind(sbVertical);
            scroll_->SetParent(this);
            scroll_->OnChange = [this](TObject*) {
                if (!syncing_) Sync();
            };
        }
        const int range = Logic.ClientHeight - room;
        scroll_->SmallChange = 34;
        scroll_->LargeChange = std::max(34, room - 34);
        scroll_->SetParams(std::min(scroll_->Position(), range), 0, range);
        scroll_->SetBounds(Logic.ClientWidth, 0, bar, room);
        scroll_->SetVisible(true);
        const int offset = scroll_->Position();
        for (const TPGControl& c : Logic.Controls())
            if (c.Parent.empty()) controls_.at(c.Name)->SetTop(c.Top - offset);
        SetClientWidth(Logic.ClientWidth + bar);
        SetClientHeight(room);
    } else if (scroll_ && scroll_->Visible()) {
        scroll_->SetVisible(false);
        scroll_->SetPosition(0);
    }
    if (Top() + Height() > work.Bottom) SetTop(std::max<int>(work.Top, work.Bottom - Height()));
}

void TFParGen::FormCreate(TObject*) {
    Logic.FormCreate();
    Sync();
}

void TFParGen::FormShow(TObject*) {
    if (!Logic.FormShow()) {
        // The error box has named the file; the dialog is not shown.
        throw EAbort(u"");
    }
    Sync();
    // The first octet of the top box takes the focus.
    if (auto* first = dynamic_cast<TWinControl*>(Control(u"E_IP1")))
        if (first->CanFocus()) SetActiveControl(first);
}

void TFParGen::FormActivate(TObject*) {
    if (Top() < 0) SetTop(0);
}

void TFParGen::Move_GroupBoxs() {
    Logic.Move_GroupBoxs();
    Sync();
}

void TFParGen::Set_Lang() {
    Logic.Set_Lang();
    Sync();
}

void TFParGen::Btn_OK_Click(TObject*) {
    if (Logic.Btn_OK_Click()) SetModalResult(mrOk);
    Sync();
}

void TFParGen::Btn_Cancel_Click(TObject*) {
    if (Logic.Btn_Cancel_Click()) SetModalResult(mrCancel);
}

void TFParGen::Edit_Change(const String& name) {
    if (syncing_) return;
    Logic.User_Edit(name, static_cast<TEdit*>(controls_.at(name))->Text());
    Sync();
}

void TFParGen::List_Change(const String& name) {
    if (syncing_) return;
    Logic.User_Select(name, static_cast<TComboBox*>(controls_.at(name))->ItemIndex());
    Sync();
}

void TFParGen::Check_Click(const String& name) {
    if (syncing_) return;
    if (Logic.C(name).Checked != static_cast<TCheckBox*>(controls_.at(name))->Checked()) Logic.User_Click(name);
    Sync();
}

void TFParGen::Radio_Click(const String& name) {
    if (syncing_) return;
    if (static_cast<TRadioButton*>(controls_.at(name))->Checked()) Logic.User_Radio(name);
    Sync();
}

void TFParGen::Octet_KeyPress(const String& name, Char& Key) {
    if (Key != u'.') return;
    const TParGenLogic::TDotMove move = Logic.KeyPress_Dot(name);
    if (!move.Consumed) return;
    Key = 0;
    if (move.Next.empty()) return;
    auto* next = dynamic_cast<TWinControl*>(Control(move.Next));
    if (next && next->CanFocus()) {
        next->SetFocus();
        if (auto* e = dynamic_cast<TEdit*>(next)) e->SelectAll();
    }
}

void TFParGen::Box_Button_Click(const String& name) {
    if (name.ends_with(u"_Collapse")) Logic.Btn_GB_Collapse(name);
    else Logic.Btn_GB_Expande(name);
    Sync();
}

#pragma once
// The standard controls: labels, edit fields, memos, buttons, check boxes,
// radio buttons, group boxes, combo boxes, list boxes and scroll bars. They
// are placed at exact pixel positions (Left, Top, Width, Height) like every
// control. Windowed ones wrap a Qt widget; their values live in it.

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/EditMask.h"
#include "framework/Grids.h"

#include <functional>
#include <memory>

class TStringListChanges;

// Notification codes of the standard controls (CN_COMMAND, high word of WParam).
constexpr Word BN_CLICKED = 0;
constexpr Word EN_SETFOCUS = 0x100, EN_KILLFOCUS = 0x200, EN_CHANGE = 0x300, EN_UPDATE = 0x400, EN_MAXTEXT = 0x501;
constexpr Word CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5;
constexpr Word CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;
constexpr Word LBN_SELCHANGE = 1, LBN_DBLCLK = 2;

// ---------------------------------------------------------------------------
// Labels
// ---------------------------------------------------------------------------
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Keeps the size fitted to the caption (on by default).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Without a background of its own the parent shows through.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Shows "&x" as an underlined x; its accelerator focuses FocusControl.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMDialogChar(TCMDialogChar& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    unsigned TextFlags() const;
    void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

// ---------------------------------------------------------------------------
// Edit fields
// ---------------------------------------------------------------------------
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    String Text() const override;
    void SetText(const String& Value) override;
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(Char Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    String SelText() const;
    virtual void SetSelText(const String& Value);
    void SelectAll();
    virtual void ClearSelection();
    void Clear() { SetText(String()); }

    // After every change of the text, by the person or by code.
    TNotifyEvent OnChange;

    // The text rectangle (client coordinates) the text is laid out in.
    TRect FormatRect() const;
    // Many lines (the classic multi-line style): Enter breaks the line when
    // the edit wants all keys, the text holds CR LF line breaks, and the
    // text rectangle applies as for one line. Changing it makes the window
    // anew, keeping text, selection and settings. An edit with a mask stays
    // on one line.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);

    // The edit messages. Keys and the context menu send WM_CUT, WM_COPY,
    // WM_PASTE, WM_CLEAR and WM_UNDO, whose default does the work, so that
    // a derived edit sees each of them. EM_SETREADONLY is how ReadOnly
    // changes; EM_SETRECT / EM_SETRECTNP / EM_GETRECT the text rectangle;
    // EM_CHARFROMPOS; EM_GETSEL / EM_SETSEL; EM_SHOWBALLOONTIP /
    // EM_HIDEBALLOONTIP. A change of the text tells EN_UPDATE, then EN_CHANGE.
    void Dispatch(TMessage& Message) override;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; }
    void WMChar(TWMKey& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void CNCommand(TWMCommand& Message) override;
    void DoEnter() override;
    virtual void Change();
    String ApplyCase(const String& Value) const;

    // The one-line window is made by CreateWnd; false where only one line works.
    virtual bool CanBeMultiLine() const { return true; }
    bool FMultiLine = false;
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FReadOnly = false;
    Char FPasswordChar = 0;
    bool FAutoSelect = true;
    bool FModified = false;
    bool FSettingText = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// An edit field with an input mask ("!99/99/0000;1;_", see TEditMask). The
// mask engine decides every change: typed characters, Delete, Backspace,
// cut and paste go through it, as in the grid's in-place editor. Without a
// mask it is a plain edit.
class TMaskEdit : public TCustomEdit {
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    void Dispatch(TMessage& Message) override;

protected:
    bool CanBeMultiLine() const override { return false; }

public:
    const String& EditMask() const { return FMask.Mask(); }
    void SetEditMask(const String& Value);
    // The text as stored: with or without the literals, as the mask says.
    String Text() const override;
    void SetText(const String& Value) override;
    // The text as shown: one character per mask position, blanks where empty.
    String EditText() const;
    // Raises EDBEditError, the caret on the first wrong position, when the
    // entry does not fill the mask.
    void ValidateEdit();
    // Through the mask: pasted text fills the input positions, cleared
    // positions become blanks.
    void SetSelText(const String& Value) override;
    void ClearSelection() override;

protected:
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;

private:
    void InsertMasked(const String& S, bool Pasting);
    void ClearMasked(int Start, int Count, int Caret);
    void PasteFromClipboard();
    void CutToClipboard();
    void ShowMasked(const String& Shown, int Caret, bool ByPerson);
    TEditMask FMask;
};

// TScrollStyle (ssNone, ssHorizontal, ssVertical, ssBoth) is declared with
// the grids, which share it.

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    // The lines; changing them changes the text shown.
    TStringList& Lines() { return *FLines; }
    String Text() const override;
    void SetText(const String& Value) override;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; }
    void Clear() { SetText(String()); }
    void SelectAll();
    // The selected text.
    String SelText() const;
    TNotifyEvent OnChange;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override;
    void CNCommand(TWMCommand& Message) override;

private:
    void LinesChanged();
    void WidgetChanged();
    std::unique_ptr<TStringList> FLines;
    bool FReadOnly = false;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    int FMaxLength = 0;
    bool FSyncing = false;
};

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    String Text() const override;
    void SetText(const String& Value) override;
    // Enter clicks the default button (unless another button has the focus).
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Escape clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Given to the parent form when clicked.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override;
    void CMDialogKey(TCMDialogKey& Message) override;
    void CMDialogChar(TCMDialogChar& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CNCommand(TWMCommand& Message) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    String Text() const override;
    void SetText(const String& Value) override;
    bool Checked() const { return FState == cbChecked; }
    // Fires OnClick when the state changes, also when code changes it.
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void Toggle();

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_BUTTON; }
    void CMDialogChar(TCMDialogChar& Message) override;
    void CNCommand(TWMCommand& Message) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

// Checking one turns off the other radio buttons of the same parent.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    String Text() const override;
    void SetText(const String& Value) override;
    bool Checked() const { return FChecked; }
    // Turning it on fires OnClick, also from code.
    void SetChecked(bool Value);

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_BUTTON | DLGC_RADIOBUTTON; }
    void CMDialogChar(TCMDialogChar& Message) override;
    void CNCommand(TWMCommand& Message) override;
    // Reached with an arrow key, a radio button turns on, as in a group of the desktop's.
    void DoEnter() override;

private:
    bool FChecked = false;
};

// A frame with a caption around child controls, which it clips.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    void Paint() override;
    void CMDialogChar(TCMDialogChar& Message) override;
    void CMTextChanged(TMessage& Message) override;
};

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // The entries, each with an optional object.
    TStringList& Items() { return *FItems; }
    // -1 when nothing is selected; an index out of range selects nothing.
    // Setting it fires no event.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    String Text() const override;
    void SetText(const String& Value) override;
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    void Clear();
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    void SelectAll();
    // The text position nearest to a client point of the edit field.
    int CharFromPos(TPoint P) const;

    // The list's width when dropped down: never narrower than the combo box;
    // 0 (the default) is the combo box's width.
    int DroppedWidth() const;
    void SetDroppedWidth(int Value);
    // A list wider than the combo box ends at its right edge instead of
    // starting at its left edge.
    bool DropDownAlignRight() const { return FDropDownAlignRight; }
    void SetDropDownAlignRight(bool Value) { FDropDownAlignRight = Value; }
    // The list window's screen rectangle while dropped down (empty otherwise).
    TRect DroppedRect() const;
    // The height of the list's items; ItemHeight(-1) / SetItemHeight(-1, H)
    // is the selection field, whose height sets the combo box's (H + 6).
    int ItemHeight(int Index = 0) const;
    void SetItemHeight(int Index, int Value);
    // Typing at the end of the field completes it with the first item that
    // begins with the typed text (case ignored): the item is selected, its
    // text shown, and the part not typed selected.
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value);

    // A change by the person: a new selection (when OnSelect is not set) or typing.
    TNotifyEvent OnChange;
    // The person selected an entry.
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void CreateWnd() override;
    void InitializeWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void CNCommand(TWMCommand& Message) override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

private:
    friend class TComboWidget;
    void ItemsChanged();
    void ConnectEdit();
    void AutoCompleteTyped(const String& Before);
    String FLastEditText;
    std::unique_ptr<TStringList> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    bool FSyncing = false;
    int FDroppedWidth = 0;
    bool FDropDownAlignRight = false;
    int FItemHeight = 0;  // 0: the font's
    bool FAutoComplete = true;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum TOwnerDrawStateValue {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateValue>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    // Owner-drawn lists paint each entry through OnDrawItem on Canvas (set
    // up with the list's font and brush, or the highlight colours for a
    // selected entry); without a handler the entry is filled and its text drawn.
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    void SetItemHeight(int Value);
    TCanvas& Canvas() { return *FCanvas; }
    TDrawItemEvent OnDrawItem;
    // Framework internal: paints entry Index into Rect of the surface the canvas is attached to.
    void PaintItem(int Index, TRect Rect, TOwnerDrawState State);
    TStringList& Items() { return *FItems; }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int TopIndex() const;
    void SetTopIndex(int Value);
    int ItemHeight() const;
    // The entry at a client point, -1 for none.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;
    void Clear() { FItems->Clear(); }

protected:
    void CreateWnd() override;
    void InitializeWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void CNCommand(TWMCommand& Message) override;
    virtual void ItemsChanged();
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    bool FSyncing = false;

private:
    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    bool FMultiSelect = false;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 0;
};

class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* AOwner) : TListBox(AOwner) {}
    bool Checked(int Index) const;
    void SetChecked(int Index, bool Value);
    TCheckBoxState State(int Index) const;
    void SetState(int Index, TCheckBoxState Value);
    bool AllowGrayed = false;
    // The person changed an entry's check mark.
    TNotifyEvent OnClickCheck;

protected:
    void CreateWnd() override;
    void ItemsChanged() override;

private:
    std::vector<TCheckBoxState> FStates;
};

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    void SetParams(int APosition, int AMin, int AMax);
    int SmallChange = 1;
    int LargeChange = 1;
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    // Off: the bar is drawn flat, its arrows and thumb framed in the shadow
    // colour instead of raised.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS; }
    // The person's scrolling arrives as WM_HSCROLL / WM_VSCROLL at the
    // parent, reflected here with the scroll code and position.
    void CNHScroll(TWMScroll& Message) override;
    void CNVScroll(TWMScroll& Message) override;
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);

private:
    void UserAction(int Action);
    void DoScroll(TWMScroll& Message);
    TScrollBarKind FKind = sbHorizontal;
    bool FCtl3D = true;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
    bool FSyncing = false;
};

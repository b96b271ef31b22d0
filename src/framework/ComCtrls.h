#pragma once
// Common controls: page control with tab sheets, track bar, progress bar,
// tree view, date-time picker and month calendar.

#include "framework/Controls.h"
#include "framework/DateUtils.h"

#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// TPageControl / TTabSheet
// ---------------------------------------------------------------------------
class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    int PageIndex() const;
    void SetPageIndex(int Value);
    // A sheet without a visible tab can still be made active by code.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    // Index among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    void SetText(const String& Value) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    // Changing the page from code fires no event.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The client area the sheets fill.
    TRect DisplayRect() const;
    int TabHeight() const;
    // The tab of page Index in client coordinates, as the strip shows it now
    // (empty when the page has no tab).
    TRect TabRect(int Index) const;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

    // Framework internal.
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void UpdateTabs();
    void TabClicked(int TabIndex);

protected:
    void CreateWnd() override;
    void Paint() override;
    void WMSize(TWMSize& Message) override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS; }

private:
    friend class TTabSheet;
    void PlaceSheets();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    bool FSyncing = false;
};

// ---------------------------------------------------------------------------
// TTrackBar, TProgressBar
// ---------------------------------------------------------------------------
enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    // Moving the slider from code fires no event.
    void SetPosition(int Value);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    // The step of Page Up / Page Down and of a click beside the slider.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    // The person moved the slider.
    TNotifyEvent OnChange;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS; }
    // Page Down moves towards Max, Page Up towards Min, by PageSize.
    void WMKeyDown(TWMKey& Message) override;

private:
    int FMin = 0, FMax = 10, FFrequency = 1, FPageSize = 2;
    TTrackBarOrientation FOrientation = trHorizontal;
    bool FSyncing = false;
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step = 10;
    void StepIt() { SetPosition(FPosition + Step >= FMax && FPosition != FMax ? FMax : FPosition + Step > FMax ? FMin : FPosition + Step); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }

protected:
    void CreateWnd() override;

private:
    int FMin = 0, FMax = 100, FPosition = 0;
};

// ---------------------------------------------------------------------------
// TTreeView: a plain tree of text items with data pointers.
// ---------------------------------------------------------------------------
class TTreeView;
class TTreeNodes;

class TTreeNode {
public:
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    void* Data = nullptr;
    int ImageIndex = -1;
    TTreeNode* Parent() const { return FParent; }
    int Count() const { return int(FChildren.size()); }
    TTreeNode* Item(int Index) const { return FChildren.at(size_t(Index)); }
    int Index() const;
    int Level() const;
    bool HasChildren() const { return !FChildren.empty(); }
    bool Expanded() const;
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    void SetSelected(bool Value);
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in display order (children first).
    TTreeNode* GetNext() const;
    void MakeVisible();
    void Delete();
    void DeleteChildren();
    TTreeView* TreeView() const { return FTree; }
    TTreeNodes* Owner() const;

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode() = default;
    ~TTreeNode();
    TTreeView* FTree = nullptr;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FChildren;
    String FText;
    void* FItem = nullptr;  // the window's item
};

class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* Owner) : FTree(Owner) {}
    ~TTreeNodes();
    // All nodes, in display order.
    int Count() const;
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    // A node after the last sibling of Sibling (a root when Sibling is nil).
    TTreeNode* Add(TTreeNode* Sibling, const String& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const String& S);
    TTreeNode* AddChild(TTreeNode* Parent, const String& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S);
    // A node before Sibling.
    TTreeNode* Insert(TTreeNode* Sibling, const String& S);
    void Delete(TTreeNode* Node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    TTreeView* Owner() const { return FTree; }

private:
    friend class TTreeNode;
    friend class TTreeView;
    TTreeNode* InsertAt(TTreeNode* Parent, int Index, const String& S, void* Ptr);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    TTreeView* FTree;
    std::vector<TTreeNode*> FRoots;
    int FUpdateCount = 0;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* AOwner);
    ~TTreeView() override;
    TTreeNodes& Items() { return *FItems; }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* Node);
    TTreeNode* GetNodeAt(int X, int Y) const;
    TTreeNode* TopItem() const;
    void FullExpand();
    void FullCollapse();
    bool ReadOnly = true;
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    // The selection mark spans the whole row, indentation included.
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);

    // The selection changed (by the person or by code).
    TTVChangedEvent OnChange;
    TTVExpandedEvent OnExpanded;
    TTVExpandedEvent OnCollapsed;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    TTreeNode* NodeOfItem(void* Item) const;
    std::unique_ptr<TTreeNodes> FItems;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FHideSelection = true;
    bool FRowSelect = false;
    bool FSyncing = false;
};

// ---------------------------------------------------------------------------
// Date and time
// ---------------------------------------------------------------------------
enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };
enum TDTDateMode { dmComboBox, dmUpDown };
constexpr Cardinal DTN_DROPDOWN = Cardinal(-754);
constexpr Cardinal DTN_CLOSEUP = Cardinal(-753);

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    TDateTime DateTime() const;
    // Setting the value from code fires no event.
    void SetDateTime(TDateTime Value);
    TDateTime Date() const { return DateOf(DateTime()); }
    void SetDate(TDateTime Value) { SetDateTime(DateOf(Value) + TimeOf(DateTime())); }
    TDateTime Time() const { return TimeOf(DateTime()); }
    void SetTime(TDateTime Value) { SetDateTime(DateOf(DateTime()) + TimeOf(Value)); }
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    // A display format in the run-time library's letters ("dd/mm/yyyy", "hh:nn:ss").
    const String& Format() const { return FFormat; }
    void SetFormat(const String& Value);

    // A check box before the value: cleared, the picker holds no date
    // (Checked false) and its fields take no input; Space toggles it.
    bool ShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // A drop-down calendar (dmComboBox) or up-down arrows (dmUpDown).
    TDTDateMode DateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode Value);
    // The range the value keeps to; 0: no limit.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    // The calendar: F4 or Alt+Down drops it down and closes it again;
    // OnDropDown and OnCloseUp tell of it (DTN_DROPDOWN, DTN_CLOSEUP).
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // The calendar shows week numbers; marks today.
    bool WeekNumbers() const { return FWeekNumbers; }
    void SetWeekNumbers(bool Value);
    bool ShowToday() const { return FShowToday; }
    void SetShowToday(bool Value);
    // The field the caret is in (0: the first of the format), and moving it.
    int Field() const;
    void SetField(int Value);

    // The person changed the value.
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    // The person's change comes back from the parent as DTN_DATETIMECHANGE.
    void CNNotify(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMSysKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;

private:
    void ApplyFormat();
    void ApplyCalendar();
    void ApplyChecked();
    bool DropKey(TWMKey& Message);
    bool FShowCheckbox = false;
    bool FChecked = true;
    TDTDateMode FDateMode = dmComboBox;
    TDateTime FMinDate = 0, FMaxDate = 0;
    bool FWeekNumbers = false;
    bool FShowToday = true;
    bool FDropped = false;
    TDateTimeKind FKind = dtkDate;
    TDTDateFormat FDateFormat = dfShort;
    String FFormat;
    bool FSyncing = false;
};

class TMonthCalendar : public TWinControl {
public:
    explicit TMonthCalendar(TComponent* AOwner);
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    // The person picked a day.
    TNotifyEvent OnChange;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS; }

private:
    bool FSyncing = false;
};

// ---------------------------------------------------------------------------
// The platform's tree-view messages and item record, as other tree controls
// answer them (item handles are the controls' own node references).
// ---------------------------------------------------------------------------
using HTREEITEM = void*;
constexpr Cardinal TV_FIRST = 0x1100;
// WParam non-zero: the text part only; LParam points to a TRect whose first bytes hold the item.
constexpr Cardinal TVM_GETITEMRECT = TV_FIRST + 4;
// WParam one of the TVGN_ relations, LParam the item it starts from.
constexpr Cardinal TVM_GETNEXTITEM = TV_FIRST + 10;
// LParam points to a TVITEMW.
constexpr Cardinal TVM_GETITEMW = TV_FIRST + 62;
constexpr WPARAM TVGN_ROOT = 0, TVGN_NEXT = 1, TVGN_PREVIOUS = 2, TVGN_PARENT = 3, TVGN_CHILD = 4,
                 TVGN_FIRSTVISIBLE = 5, TVGN_NEXTVISIBLE = 6, TVGN_PREVIOUSVISIBLE = 7, TVGN_DROPHILITE = 8,
                 TVGN_CARET = 9, TVGN_LASTVISIBLE = 10;
constexpr Cardinal TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8, TVIF_HANDLE = 0x10,
                   TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40;
constexpr Cardinal TVIS_FOCUSED = 0x1, TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8,
                   TVIS_EXPANDED = 0x20, TVIS_OVERLAYMASK = 0x0F00, TVIS_STATEIMAGEMASK = 0xF000;
struct TVITEMW {
    Cardinal mask = 0;
    HTREEITEM hItem = nullptr;
    Cardinal state = 0;
    Cardinal stateMask = 0;
    Char* pszText = nullptr;
    int cchTextMax = 0;  // characters the buffer holds, the terminating zero included
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};

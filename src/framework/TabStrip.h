#pragma once
// The tab strip: a custom control that keeps one item per tab (a text and
// an object), a selected index with changing and changed notifications, the
// tabs on one of the four sides in one or several rows, optional owner
// drawing, and the geometry others need: the rectangle of each tab and the
// tab at a point. Tabs are sized from their item text in the control's font
// plus the size of the image list, when one is set; the display area is
// what the tabs leave, less a 4-pixel border.

#include "framework/Classes.h"
#include "framework/Controls.h"

#include <functional>
#include <memory>
#include <vector>

// A list of images of one size, drawn by index. The tab strip uses only its
// size to enlarge each tab; the page control draws its images itself.
class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size drops the images.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count() const { return int(FImages.size()); }
    // Adds a copy of the image, cut or padded to the list's size; returns its index.
    int Add(const TBitmap& Image);
    void Clear();
    // Draws image Index at X, Y, its bottom-left pixel's colour transparent.
    void Draw(TCanvas& Canvas, int X, int Y, int Index) const;

    TNotifyEvent OnChange;

private:
    void Changed();
    int FWidth = 16;
    int FHeight = 16;
    std::vector<std::unique_ptr<TBitmap>> FImages;
};

class TCustomTabControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

class TCustomTabControl : public TCustomControl {
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    // The items: one string (the tab text) and one object per tab. The
    // selection keeps to its item when items before it come and go; deleting
    // the selected item selects none; the first item of an empty strip
    // becomes selected.
    const TStrings& Tabs() const { return *FTabs; }
    int ItemCount() const { return FTabs->Count(); }
    String ItemText(int Index) const { return FTabs->Strings(Index); }
    void SetItemText(int Index, const String& Text);
    TObject* ItemObject(int Index) const { return FTabs->Objects(Index); }
    void InsertItem(int Index, const String& Text, TObject* Object);
    void DeleteItem(int Index);
    void MoveItem(int CurIndex, int NewIndex);

    // The selected tab, -1 for none. Setting it sends no notification; a
    // value outside the items selects none.
    int TabIndex() const { return FTabIndex; }
    virtual void SetTabIndex(int Value);

    TTabPosition TabPosition() const { return FTabPosition; }
    virtual void SetTabPosition(TTabPosition Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // Fixed thickness of the tabs (across the text) and fixed length; 0: from the text.
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool Value);
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool Value) { FScrollOpposite = Value; }
    // The image list whose image size enlarges every tab (nil: none).
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // The rectangle of tab Index in client coordinates (empty when out of range).
    TRect TabRect(int Index);
    // The tab at a client point, -1 for none.
    int IndexOfTabAt(int X, int Y);
    // The area the tabs leave for the pages.
    TRect DisplayRect();
    // The size of one tab as the strip measures it.
    TSize TabSize(int Index);
    int RowCount();

    // The platform's item highlight: kept per tab and drawn by the plain look.
    void SetTabHighlighted(int Index, bool Value);
    bool TabHighlighted(int Index) const;

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;
    TDrawTabEvent OnDrawTab;
    TTabGetImageEvent OnGetImageIndex;

protected:
    // Asked before a user's selection moves; false keeps the selection.
    virtual bool CanChange();
    // After a user's selection moved.
    virtual void Change();
    virtual bool CanShowTab(int TabIndex) { return true; }
    virtual int GetImageIndex(int TabIndex);
    // Owner drawing of one tab.
    virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
    // Lets the user's click or key select tab Index (CanChange, then Change).
    void SelectTabByUser(int Index);

    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTARROWS; }
    // The tabs are laid out anew before the next use of the geometry.
    void TabsChanged();

private:
    void Layout();
    void PaintPlainTab(int Index, const TRect& R, bool Active);

    std::unique_ptr<TStrings> FTabs;
    std::vector<TRect> FRects;
    std::vector<bool> FHighlights;
    int FRows = 0;
    TRect FDisplay;
    bool FLayoutValid = false;
    int FLayoutW = -1, FLayoutH = -1;
    unsigned FLayoutFont = 0;
    int FTabIndex = -1;
    TTabPosition FTabPosition = tpTop;
    bool FMultiLine = false;
    bool FOwnerDraw = false;
    int FTabHeight = 0;
    int FTabWidth = 0;
    bool FHotTrack = false;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    TCustomImageList* FImages = nullptr;
};

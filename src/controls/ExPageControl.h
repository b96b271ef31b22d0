#pragma once
// The page control: pages (TExTabSheet) of which one is shown, chosen on a
// strip of tabs that this control paints itself in two looks (classic and
// the flat "dot net" look), with per-page tab colours and gradients, an
// active colour and font, hover colours, close buttons with a list of
// closed pages, hidden and disabled tabs and tab margins. It stands on the
// framework's tab strip, which keeps one item per showing tab.
//
// Other controls dock into it as pages of their own when it is a dock site
// (DockSite). The designer hooks of the original control have no use in
// this program and are left out.

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/TabStrip.h"

#include <functional>
#include <memory>
#include <vector>

enum TGradientDirection { gdVertical, gdHorizontal };
enum TTabStyle { tsClassic, tsDotNet };

class TExPageControl;
class TExTabSheet;

using TTabMarginChangeEvent = std::function<void(int NewValue, int OldValue, int Index)>;
using TCanCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCanChangeEvent = std::function<void(TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;

// ---------------------------------------------------------------------------
// Drawing routines

// Bands from FromColor to ToColor over R (left to right when Horizontal, else top to bottom).
void DrawTabGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R, bool Horizontal);
// Copies the Width x Height part of Bitmap at SourceX, SourceY to X, Y, leaving
// the destination where the bitmap has TransparentColor.
void DrawTabTransparentBitmap(TCanvas& Dest, TBitmap& Bitmap, int X, int Y, int Width, int Height, int SourceX,
                              int SourceY, TColor TransparentColor);
// The same with the source part stretched to Width x Height.
void StretchTransparentBitmap(TCanvas& Dest, TBitmap& Bitmap, int X, int Y, int Width, int Height, int SourceX,
                              int SourceY, int SourceWidth, int SourceHeight, TColor TransparentColor);
// Three-slice stretches of a tab bitmap to Length pixels: top half, the
// middle two rows stretched, bottom half (across: left, middle, right).
void DrawVerticalSlices(TBitmap& Bitmap, TCanvas& Canvas, int X, int Y, int Length);
void DrawHorizontalSlices(TBitmap& Bitmap, TCanvas& Canvas, int X, int Y, int Length);

// ---------------------------------------------------------------------------

class TTabMargin : public TPersistent {
public:
    int LeftMargin() const { return FLeftMargin; }
    int TopMargin() const { return FTopMargin; }
    int RightMargin() const { return FRightMargin; }
    void SetLeftMargin(int Value) { SetByIndex(0, Value); }
    void SetTopMargin(int Value) { SetByIndex(1, Value); }
    void SetRightMargin(int Value) { SetByIndex(2, Value); }
    // Index 0 left, 1 top, 2 right: tells OnMarginChange first, then stores.
    void SetByIndex(int Index, int Value);
    void Assign(const TPersistent* Source) override;

    TTabMarginChangeEvent OnMarginChange;

protected:
    String ClassName() const override { return S("TTabMargin"); }

private:
    int FLeftMargin = 0;
    int FTopMargin = 0;
    int FRightMargin = 0;
};

class TExTabSheet : public TCustomControl {
public:
    explicit TExTabSheet(TComponent* AOwner);
    ~TExTabSheet() override;

    void SetCaption(const String& Value) override;
    String GetCaption() const { return Text(); }
    // The text given to the page control's tab item.
    const String& TabCaption() const { return FTabCaption; }

    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor Value);
    TColor TabColorTo() const { return FTabColorTo; }
    void SetTabColorTo(TColor Value);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    TGradientDirection TabGradientDirection() const { return FTabGradientDirection; }
    void SetTabGradientDirection(TGradientDirection Value);
    TGradientDirection HoverGradientDirection() const { return FHoverGradientDirection; }
    void SetHoverGradientDirection(TGradientDirection Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int StripImageIndex() const { return FImageIndexDummy; }
    TExPageControl* ExPageControl() const { return FExPageControl; }
    void SetExPageControl(TExPageControl* Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool TabShowing() const { return FTabShowing; }
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);
    bool TabEnable() const { return FTabEnable; }
    void SetTabEnable(bool Value);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    void SetColor(TColor Value) override;

    int PageIndex() const;
    void SetPageIndex(int Value);
    int TabIndex() const;

    bool CanClose();
    void DoClose();

    TNotifyEvent OnHide;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    TCanCloseEvent OnCanClose;

protected:
    friend class TExPageControl;
    void Paint() override;
    void DoShow();
    void DoHide();
    void CMShowingChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void UpdateTabShowing();
    void SetTabShowing(bool Value);

private:
    void InvalidateControl();

    String FTabCaption;
    TColor FTextColor = clBlack;
    TColor FTabColor = clNone;
    TColor FTabColorTo = clNone;
    bool FShowClose = false;
    TGradientDirection FTabGradientDirection = gdVertical;
    TGradientDirection FHoverGradientDirection = gdVertical;
    int FImageIndex = -1;
    int FImageIndexDummy = 0;
    TExPageControl* FExPageControl = nullptr;
    bool FTabVisible = true;
    bool FTabShowing = false;
    bool FHighlighted = false;
    bool FTabEnable = true;
    TColor FColorTo = clNone;
    bool FWasShowing = false;
};

class TExPageControl : public TCustomTabControl {
public:
    explicit TExPageControl(TComponent* AOwner);
    ~TExPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    TExTabSheet* Pages(int Index) const;
    TExTabSheet* GetPage(int Index) const { return Pages(Index); }
    TExTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TExTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);

    TExTabSheet* FindNextPage(TExTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    void SelectNextPage(bool GoForward);
    // The page index of the tab at a client point, -1 for none.
    int PageIndexAt(int X, int Y);
    TRect GetPageTabRect(TExTabSheet* Page);
    bool PtInCloseButton(TExTabSheet* Page, int X, int Y);

    bool OpenClosedTab(const String& Name);
    void OpenAllClosedTabs();
    TStringList& ClosedTabList() { return *FClosedTabList; }

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    void SetTabPosition(TTabPosition Value) override;
    TTabMargin& TabMargin() { return *FTabMargin; }
    void SetTabMargin(const TTabMargin* Value);

    TColor DefaultTextColor() const { return FDefaultTextColor; }
    void SetDefaultTextColor(TColor Value);
    TColor DefaultTabColor() const { return FDefaultTabColor; }
    void SetDefaultTabColor(TColor Value);
    TColor DefaultTabColorTo() const { return FDefaultTabColorTo; }
    void SetDefaultTabColorTo(TColor Value);
    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor Value);
    TColor ActiveColorTo() const { return FActiveColorTo; }
    void SetActiveColorTo(TColor Value);
    bool TabBorder3D() const { return FTabBorder3D; }
    void SetTabBorder3D(bool Value);
    TColor TabBorderColor() const { return FTabBorderColor; }
    void SetTabBorderColor(TColor Value);
    TColor TabHoverColor() const { return FTabHoverColor; }
    void SetTabHoverColor(TColor Value) { FTabHoverColor = Value; }
    TColor TabHoverColorTo() const { return FTabHoverColorTo; }
    void SetTabHoverColorTo(TColor Value) { FTabHoverColorTo = Value; }
    TColor TabHoverBorder() const { return FTabHoverBorder; }
    void SetTabHoverBorder(TColor Value) { FTabHoverBorder = Value; }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) { FShowFocus = Value; }
    int TabOverlap() const { return FTabOverlap; }
    void SetTabOverlap(int Value);
    bool TabSheet3D() const { return FTabSheet3D; }
    void SetTabSheet3D(bool Value);
    TColor TabSheetBorderColor() const { return FTabSheetBorderColor; }
    void SetTabSheetBorderColor(TColor Value);
    TColor TabBackGroundColor() const { return FTabBackGroundColor; }
    void SetTabBackGroundColor(TColor Value);
    bool TabSplitLine() const { return FTabSplitLine; }
    void SetTabSplitLine(bool Value);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool Value);
    TBitmap& TabBackGround() { return *FTabBackGround; }
    void SetTabBackGround(const TBitmap* Value);
    TBitmap& TabBackGroundActive() { return *FTabBackGroundActive; }
    void SetTabBackGroundActive(const TBitmap* Value);
    TTabStyle TabStyle() const { return FTabStyle; }
    void SetTabStyle(TTabStyle Value);
    int LowerActive() const { return FLowerActive; }
    void SetLowerActive(int Value);
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
    TFont& ActiveFont() { return *FActiveFont; }
    void SetActiveFont(const TFont& Value);
    TBitmap& CloseGlyph() { return *FCloseGlyph; }
    void SetCloseGlyph(const TBitmap* Value);
    int HoverTab() const { return FHoverTab; }

    String Version() const { return S("1.4.0.0"); }
    void SetVersion(const String&) {}
    int VersionNr() const { return 0x1040000; }

    // Docking: the page a docked control sits in (nil when its dock host is
    // not this control), and the docked control of the tab at a client point.
    TExTabSheet* GetPageFromDockClient(TControl* Client) const;
    TControl* GetDockClientFromPoint(TPoint P);
    void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override;
    void DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept) override;

    // Paints the whole tab area over the strip.
    void PaintTabs(TCanvas& Canvas);
    void DrawCloseButton(TCanvas& Canvas, const TRect& R, bool Active);
    void DrawCloseButtonHot(TCanvas& Canvas, const TRect& R);
    void DrawCloseButtonDown(TCanvas& Canvas, const TRect& R);
    void DrawCloseGlyph(TCanvas& Canvas, int X, int Y);
    void DrawTabFocus(TCanvas& Canvas, const TRect& R, bool Active, int Overlap);

    TNotifyEvent OnChange;
    TCanChangeEvent OnCanChange;

protected:
    friend class TExTabSheet;
    virtual void UpdateActivePage();
    void Loaded() override;
    bool CanShowTab(int TabIndex) override;
    int GetImageIndex(int TabIndex) override;
    bool CanChange() override;
    void Change() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMDialogKey(TCMDialogKey& Message) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void CMDockClient(TDragDockObject& Source) override;
    void CMUnDockClient(TWinControl* NewTarget, TControl* Client) override;
    void CMDockNotification(TControl* Client, Cardinal Msg) override;
    void DoAddDockClient(TControl* Client, const TRect& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;

    void InsertPage(TExTabSheet* Page);
    void RemovePage(TExTabSheet* Page);
    void InsertTab(TExTabSheet* Page);
    void DeleteTab(TExTabSheet* Page, int Index);
    void MoveTab(int CurIndex, int NewIndex);
    void ChangeActivePage(TExTabSheet* Page);
    void AdjustTabText(TExTabSheet* Page);
    void UpdateTab(TExTabSheet* Page);
    void UpdateMarginImages();
    void MarginChanged(int NewValue, int OldValue, int Index);
    void ActiveFontChanged(TObject* Sender);
    void DoTabChange(TObject* Sender);

private:
    enum TCloseLook { CloseRest, CloseHot, CloseDown };
    void DrawCloseBox(TCanvas& Canvas, const TRect& R, TCloseLook Look, bool Lowered);
    TCustomImageList* StripImageList() { return TCustomTabControl::Images(); }

    std::vector<TExTabSheet*> FPages;
    TExTabSheet* FActivePage = nullptr;
    TExTabSheet* FNewDockSheet = nullptr;   // made for a control that docks
    TExTabSheet* FUndockingPage = nullptr;  // whose control is leaving
    std::unique_ptr<TTabMargin> FTabMargin;
    std::unique_ptr<TStringList> FClosedTabList;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TCustomImageList> FDummyImages;
    TColor FDefaultTextColor = clBlack;
    TColor FDefaultTabColor = clBtnFace;
    TColor FDefaultTabColorTo = clNone;
    TColor FActiveColor = clBtnFace;
    TColor FActiveColorTo = clNone;
    bool FTabBorder3D = false;
    TColor FTabBorderColor = clGray;
    TColor FTabHoverColor = clNone;
    TColor FTabHoverColorTo = clNone;
    TColor FTabHoverBorder = clNone;
    bool FShowFocus = false;
    bool FHoverClosedButton = false;
    int FTabOverlap = 0;
    bool FTabSheet3D = false;
    TColor FTabSheetBorderColor = clGray;
    TColor FTabBackGroundColor = clBtnFace;
    bool FTabSplitLine = false;
    bool FRoundEdges = false;
    int FHoverTab = -1;
    std::unique_ptr<TBitmap> FTabBackGround;
    std::unique_ptr<TBitmap> FTabBackGroundActive;
    TTabStyle FTabStyle = tsClassic;
    int FLowerActive = 2;
    bool FPropertiesLoaded = false;
    bool FFreeOnClose = false;
    std::unique_ptr<TFont> FActiveFont;
    std::unique_ptr<TBitmap> FCloseGlyph;
    // The look of the active page's close button between paints (the mouse's doing).
    TCloseLook FCloseLook = CloseRest;
};

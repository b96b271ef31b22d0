#pragma once
// The looks of the header and footer bars of a drop-down window: caption,
// image, gradient, border and a row of buttons each. Every drop-down control
// and the grid's control look create one of each.

#include "framework/Components.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

// A button of a bar. Caption, Enabled and Width report a change through
// their collection; Height and ImageIndex only store.
class THeaderButton : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    // From a button of the same kind; anything else raises as the framework does.
    void Assign(const TPersistent* Source) override;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value);

protected:
    String ClassName() const override { return u"THeaderButton"; }
    void ReportChange();

private:
    String FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    int FHeight = 0;
    int FWidth = 0;
};

class TFooterButton : public THeaderButton {
public:
    using THeaderButton::THeaderButton;
    void Assign(const TPersistent* Source) override;
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

protected:
    String ClassName() const override { return u"TFooterButton"; }

private:
    TModalResult FModalResult = mrNone;
};

// The buttons of a bar, owned by the owner of the look; OnChange reports a
// change of a button's caption, state or width.
class THeaderButtons : public TCollection {
public:
    explicit THeaderButtons(TPersistent* AOwner);
    THeaderButton* Add() { return static_cast<THeaderButton*>(TCollection::Add()); }
    THeaderButton* Insert(int Index) { return static_cast<THeaderButton*>(TCollection::Insert(Index)); }
    THeaderButton* Items(int Index) const { return ItemsAs<THeaderButton>(Index); }
    // The replacement's settings are copied into the button at Index.
    void SetItems(int Index, const THeaderButton* Value) { Items(Index)->Assign(Value); }
    void DoChange();
    TNotifyEvent OnChange;

protected:
    THeaderButtons(TItemFactory Factory, TPersistent* AOwner) : TCollection(std::move(Factory), AOwner) {}
};

class TFooterButtons : public THeaderButtons {
public:
    explicit TFooterButtons(TPersistent* AOwner);
    TFooterButton* Add() { return static_cast<TFooterButton*>(TCollection::Add()); }
    TFooterButton* Insert(int Index) { return static_cast<TFooterButton*>(TCollection::Insert(Index)); }
    TFooterButton* Items(int Index) const { return ItemsAs<TFooterButton>(Index); }
};

// What the header and footer looks share. The gradient direction and button
// alignment are kinds of the looks (the tab control has a gradient kind of
// its own, in another order).
class TBarAppearance : public TPersistent {
public:
    enum TGradientDirection { gdHorizontal, gdVertical };
    enum TButtonAlignment { baLeft, baRight };

    ~TBarAppearance() override;
    TPersistent* Owner() const { return FOwner; }

    bool Visible() const { return FVisible; }
    // A change is reported through OnChange.
    void SetVisible(bool Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    TFont& Font() { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(&Value); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { FGradientDirection = Value; }
    TButtonAlignment ButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TButtonAlignment Value) { FButtonAlignment = Value; }

    // Colours, border colour, font and gradient direction from a look of the same kind.
    void AssignColors(const TPersistent* Source);

    TNotifyEvent OnChange;
    TNotifyEvent OnButtonsChanged;

protected:
    TBarAppearance(TPersistent* AOwner, THeaderButtons* AButtons);
    // Everything but the buttons and the kind's own settings, from a look of the same kind.
    void AssignBar(const TBarAppearance& Source);
    virtual bool SameKind(const TPersistent* Source) const = 0;
    void DoChange();
    void DoButtonsChanged();

    TPersistent* FOwner;
    THeaderButtons* FButtons;

private:
    bool FVisible = true;
    int FHeight = 22;
    int FBorderWidth = 1;
    int FImageIndex = -1;
    String FCaption;
    TColor FColorTo = clWhite;
    TColor FColor = clSilver;
    TColor FBorderColor = clBlack;
    TFont FFont;
    TGradientDirection FGradientDirection = gdVertical;
    TButtonAlignment FButtonAlignment = baRight;
};

class THeaderAppearance : public TBarAppearance {
public:
    explicit THeaderAppearance(TPersistent* AOwner);
    void Assign(const TPersistent* Source) override;
    THeaderButtons& Buttons() { return *FButtons; }
    void SetButtons(const THeaderButtons& Value) { FButtons->Assign(&Value); }

protected:
    bool SameKind(const TPersistent* Source) const override;
    String ClassName() const override { return u"THeaderAppearance"; }
};

class TFooterAppearance : public TBarAppearance {
public:
    explicit TFooterAppearance(TPersistent* AOwner);
    void Assign(const TPersistent* Source) override;
    TFooterButtons& Buttons() { return static_cast<TFooterButtons&>(*FButtons); }
    void SetButtons(const TFooterButtons& Value) { FButtons->Assign(&Value); }
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value) { FSizeGrip = Value; }

protected:
    bool SameKind(const TPersistent* Source) const override;
    String ClassName() const override { return u"TFooterAppearance"; }

private:
    bool FSizeGrip = true;
};

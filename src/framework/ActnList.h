#pragma once
// Actions: one command (its caption, state and handler) shared by the
// controls that offer it. A control linked to an action shows the action's
// caption, hint, enabled and visible state and follows their changes; its
// click runs the action unless the control has a click handler of its own.
// Actions of one owner with the same non-zero group index check exclusively.

#include "framework/Components.h"

#include <functional>
#include <vector>

class TBasicAction;
class TControl;
class TCustomAction;
class TImageList;

// The tie between an action and one of its clients.
class TActionLink {
public:
    explicit TActionLink(TObject* Client) : FClient(Client) {}
    virtual ~TActionLink();
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Runs the action for the client; false when it did nothing.
    virtual bool Execute(TComponent* Target = nullptr);
    // The action changed: the client takes its properties.
    virtual void Change() {}
    // The action was just assigned: the client takes all its properties.
    virtual void ActionAssigned() { Change(); }

    // Whether the client follows the action's caption, checked state and
    // group index; asked before the action takes a new value, so a client
    // can follow only while it still shows the action's old value.
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsGroupIndexLinked() const;
    // The action's caption, checked state or group index is about to change.
    virtual void SetCaption(const String&) {}
    virtual void SetChecked(bool) {}
    virtual void SetGroupIndex(int) {}

protected:
    TObject* FClient;
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    // Runs OnUpdate (where a handler sets the state); false when there is none.
    virtual bool Update();
    // Framework internal: the link of a client.
    void RegisterLink(TActionLink* Link);
    void UnRegisterLink(TActionLink* Link);

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    // The component the action ran for, while it runs.
    TComponent* ActionComponent = nullptr;

protected:
    // Tells every client of a change.
    void Change();
    const std::vector<TActionLink*>& Clients() const { return FClients; }

private:
    std::vector<TActionLink*> FClients;
};

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    // Updates the state first; runs only while enabled.
    bool Execute() override;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Checked() const { return FChecked; }
    // Checking an action of a group unchecks the others of its group.
    void SetChecked(bool Value);
    // 0: no group; otherwise the group among the actions of the same owner.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The list the action belongs to (nil: none); its image list holds the
    // action's image.
    class TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(class TCustomActionList* Value);
    ~TCustomAction() override;

private:
    friend class TCustomActionList;
    class TCustomActionList* FActionList = nullptr;
    String FCaption, FHint;
    bool FEnabled = true, FVisible = true, FChecked = false;
    int FImageIndex = -1;
    int FGroupIndex = 0;

    void UncheckGroup();
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// A list of actions with the image list their images come from. The list
// owns neither: an action or image list that goes away leaves it.
class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TCustomActionList() override;
    int ActionCount() const { return int(FActions.size()); }
    TCustomAction* Actions(int Index) const { return FActions.at(std::size_t(Index)); }
    TImageList* Images() const { return FImages; }
    // The actions' clients take their images anew.
    void SetImages(TImageList* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    void Changed();
    std::vector<TCustomAction*> FActions;
    TImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// The link of a control: the control takes the action's properties in its
// ActionChange (caption, hint, enabled and visible; the caption only while
// it is linked).
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* Client);
    void Change() override;
    void ActionAssigned() override;
    void SetCaption(const String& Value) override;
};

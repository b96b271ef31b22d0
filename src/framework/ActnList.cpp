#include "framework/ActnList.h"

#include "framework/Controls.h"
#include "framework/ImgList.h"

#include <algorithm>

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TBasicAction* Value) {
    if (FAction == Value) return;
    if (FAction) FAction->UnRegisterLink(this);
    FAction = Value;
    if (FAction) {
        FAction->RegisterLink(this);
        ActionAssigned();
    }
}

bool TActionLink::Execute(TComponent* Target) {
    if (!FAction) return false;
    FAction->ActionComponent = Target;
    struct Reset {
        TBasicAction* a;
        ~Reset() { a->ActionComponent = nullptr; }
    } reset{FAction};
    return FAction->Execute();
}

bool TActionLink::IsCaptionLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsCheckedLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsGroupIndexLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }

TBasicAction::~TBasicAction() {
    // The clients forget the action going away.
    std::vector<TActionLink*> clients = FClients;
    for (TActionLink* link : clients) link->SetAction(nullptr);
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterLink(TActionLink* Link) {
    if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end()) FClients.push_back(Link);
}

void TBasicAction::UnRegisterLink(TActionLink* Link) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

void TBasicAction::Change() {
    std::vector<TActionLink*> clients = FClients;
    for (TActionLink* link : clients) link->Change();
}

bool TCustomAction::Execute() {
    Update();
    return FEnabled && TBasicAction::Execute();
}

void TCustomAction::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    std::vector<TActionLink*> clients = Clients();
    for (TActionLink* link : clients) link->SetCaption(Value);
    FCaption = Value;
    Change();
}

void TCustomAction::SetHint(const String& Value) {
    if (FHint == Value) return;
    FHint = Value;
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (FChecked == Value) return;
    std::vector<TActionLink*> clients = Clients();
    for (TActionLink* link : clients) link->SetChecked(Value);
    FChecked = Value;
    if (FChecked) UncheckGroup();
    Change();
}

void TCustomAction::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    std::vector<TActionLink*> clients = Clients();
    for (TActionLink* link : clients) link->SetGroupIndex(Value);
    FGroupIndex = Value;
    if (FChecked) UncheckGroup();
    Change();
}

void TCustomAction::UncheckGroup() {
    if (FGroupIndex <= 0 || !Owner()) return;
    TComponent* owner = Owner();
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        auto* other = dynamic_cast<TCustomAction*>(owner->Components(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
    }
}

void TCustomAction::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Change();
}

TControlActionLink::TControlActionLink(TControl* Client) : TActionLink(Client) {}

void TControlActionLink::Change() {
    if (auto* control = static_cast<TControl*>(FClient); control && FAction) control->ActionChange(FAction);
}

void TControlActionLink::ActionAssigned() {
    // A newly assigned action gives its caption whatever the control showed.
    auto* action = dynamic_cast<TCustomAction*>(FAction);
    if (action && FClient) static_cast<TControl*>(FClient)->SetCaption(action->Caption());
    Change();
}

void TControlActionLink::SetCaption(const String& Value) {
    if (IsCaptionLinked()) static_cast<TControl*>(FClient)->SetCaption(Value);
}

// ---------------------------------------------------------------------------
// Action lists

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetActionList(TCustomActionList* Value) {
    if (FActionList == Value) return;
    if (FActionList) {
        auto& a = FActionList->FActions;
        a.erase(std::remove(a.begin(), a.end(), this), a.end());
    }
    FActionList = Value;
    if (FActionList) FActionList->FActions.push_back(this);
    Change();
}

TCustomActionList::~TCustomActionList() {
    std::vector<TCustomAction*> actions = FActions;
    for (TCustomAction* a : actions) a->SetActionList(nullptr);
    if (FImages) FImages->RemoveFreeNotification(this);
}

void TCustomActionList::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    Changed();
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        Changed();
    }
}

void TCustomActionList::Changed() {
    std::vector<TCustomAction*> actions = FActions;
    for (TCustomAction* a : actions) a->Change();
}

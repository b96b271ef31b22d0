#include "framework/ActnList.h"

#include "framework/Controls.h"

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
    auto* control = static_cast<TControl*>(FClient);
    auto* action = dynamic_cast<TCustomAction*>(FAction);
    if (!control || !action) return;
    if (IsCaptionLinked()) control->SetCaption(action->Caption());
    control->SetHint(action->Hint());
    control->SetEnabled(action->Enabled());
    control->SetVisible(action->Visible());
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

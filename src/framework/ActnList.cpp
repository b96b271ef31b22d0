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
        Change();
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
    FChecked = Value;
    Change();
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
    control->SetCaption(action->Caption());
    control->SetHint(action->Hint());
    control->SetEnabled(action->Enabled());
    control->SetVisible(action->Visible());
}

// Docking of controls into window controls that are dock sites, and
// floating in a form of their own: the least that a control which hosts
// other controls as its pages needs. A dock drag runs in the framework's
// own drag loop (DataTransfer.cpp), which asks the sites here.

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/Messages.h"

#include <algorithm>

namespace {

// How far around a site a dock client is offered it, in pixels.
constexpr int DockInfluence = 10;

TRect ScreenRectOf(const TControl& C) {
    const TPoint o = C.ClientToScreen({0, 0});
    return Bounds(o.X, o.Y, C.Width(), C.Height());
}

bool Within(const TControl* C, const TControl* Ancestor) {
    for (; C; C = C->Parent())
        if (C == Ancestor) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// The client

bool TControl::ManualDock(TWinControl* NewDockSite) {
    if (!NewDockSite || NewDockSite == FHostDockSite || Within(NewDockSite, this)) return false;
    if (FHostDockSite && !FHostDockSite->DoUnDock(NewDockSite, this)) return false;
    TDragDockObject d(this);
    d.DockRect = ScreenRectOf(*NewDockSite);
    d.DragPos = {d.DockRect.Left, d.DockRect.Top};
    d.DragTarget = NewDockSite;
    d.Dropped = true;
    NewDockSite->DockDrop(d, 0, 0);
    return FHostDockSite == NewDockSite;
}

bool TControl::ManualFloat(const TRect& ScreenPos) {
    if (Floating()) {
        FFloatHost->SetBoundsRect(ScreenPos);
        return true;
    }
    if (FHostDockSite && !FHostDockSite->DoUnDock(nullptr, this)) return false;
    TWinControl* old = FFloatHost;
    auto* host = new TForm(nullptr);
    host->SetBoundsRect(ScreenPos);
    host->SetCaption(Text());
    host->SetDockSite(true);
    FFloatHost = host;
    Dock(host, ScreenPos);
    SetAlign(alClient);
    delete old;  // a float form of earlier that the control had left
    if (Visible()) host->Show();
    return true;
}

void TControl::Dock(TWinControl* NewDockSite, const TRect& ARect) {
    TWinControl* previous = FHostDockSite;
    if (previous == NewDockSite) return;
    if (previous) {
        auto& c = previous->FDockClients;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    FHostDockSite = NewDockSite;
    if (NewDockSite) {
        NewDockSite->FDockClients.push_back(this);
        NewDockSite->DoAddDockClient(this, ARect);
    }
    if (previous) previous->DoRemoveDockClient(this);
    // The float form stays empty once the control docked elsewhere.
    if (FFloatHost && previous == FFloatHost && NewDockSite != FFloatHost) {
        TWinControl* host = FFloatHost;
        FFloatHost = nullptr;
        delete host;
    }
}

void TControl::NotifyHostDockSite(TMessage& Message) {
    if (FHostDockSite) FHostDockSite->CMDockNotification(this, Message.Msg);
}

void TControl::LeaveDockSite() {
    if (FHostDockSite) {
        auto& c = FHostDockSite->FDockClients;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
        FHostDockSite = nullptr;
    }
    if (TWinControl* host = FFloatHost) {
        FFloatHost = nullptr;
        delete host;
    }
}

std::unique_ptr<TDragDockObject> TControl::DoStartDock() {
    auto own = std::make_unique<TDragDockObject>(this);
    TDragDockObject* given = own.get();
    if (OnStartDock) OnStartDock(this, given);
    return own;
}

TControl* TControl::DockSiteAt(TDragDockObject& Source, TControl* Over, TPoint Screen) {
    for (TControl* c = Over; c; c = c->Parent()) {
        auto* site = dynamic_cast<TWinControl*>(c);
        // A control cannot dock into itself, nor into its own float form.
        if (!site || !site->DockSite() || Within(site, this) || site == FFloatHost) continue;
        TRect influence = ScreenRectOf(*site);
        influence.Left -= DockInfluence;
        influence.Top -= DockInfluence;
        influence.Right += DockInfluence;
        influence.Bottom += DockInfluence;
        bool canDock = true;
        site->GetSiteInfo(this, influence, Screen, canDock);
        if (canDock && Screen.X >= influence.Left && Screen.X < influence.Right && Screen.Y >= influence.Top &&
            Screen.Y < influence.Bottom)
            return site;
    }
    return nullptr;
}

void TControl::DockMessage(TDragDockObject& Source, TMessage& Message) {
    auto* site = dynamic_cast<TWinControl*>(this);
    if (!site) return;
    const TPoint p = ScreenToClient(Source.DragPos);
    switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        static const TDragState states[] = {dsDragEnter, dsDragLeave, dsDragMove};
        Source.DockRect = Bounds(Source.DragPos.X, Source.DragPos.Y, Source.Control->Width(),
                                 Source.Control->Height());
        bool accept = true;
        site->DockOver(Source, p.X, p.Y, states[Message.WParam], accept);
        Message.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop:
        if (Source.Control->FHostDockSite && !Source.Control->FHostDockSite->DoUnDock(site, Source.Control)) break;
        site->DockDrop(Source, p.X, p.Y);
        break;
    default: break;
    }
}

void TControl::DoEndDock(TObject* Target, int X, int Y, bool Dropped, TPoint Screen) {
    // Let go over no site: the control floats where it was dropped.
    if (!Target && Dropped) ManualFloat(Bounds(Screen.X, Screen.Y, Width(), Height()));
    if (OnEndDock) OnEndDock(this, Target, X, Y);
}

// ---------------------------------------------------------------------------
// The site

void TWinControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
    if (OnGetSiteInfo) OnGetSiteInfo(this, Client, InfluenceRect, MousePos, CanDock);
}

void TWinControl::DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept) {
    if (OnDockOver) OnDockOver(this, &Source, X, Y, State, Accept);
}

void TWinControl::DockDrop(TDragDockObject& Source, int X, int Y) {
    CMDockClient(Source);
    if (OnDockDrop) OnDockDrop(this, &Source, X, Y);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
    bool allow = true;
    if (OnUnDock) OnUnDock(this, Client, NewTarget, allow);
    if (allow) CMUnDockClient(NewTarget, Client);
    return allow;
}

void TWinControl::CMDockClient(TDragDockObject& Source) { Source.Control->Dock(this, Source.DockRect); }

void TWinControl::CMUnDockClient(TWinControl*, TControl*) {}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    Client->SetParent(this);
    const TPoint p = ScreenToClient({ARect.Left, ARect.Top});
    Client->SetBounds(p.X, p.Y, ARect.Right - ARect.Left, ARect.Bottom - ARect.Top);
}

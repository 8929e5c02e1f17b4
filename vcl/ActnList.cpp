// Actions, action lists and the links of controls.
#include "ActnList.h"

#include <algorithm>

#include "Controls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TBasicActionLink, TObject)
VCL_IMPLEMENT_CLASS(TActionLink, TBasicActionLink)
VCL_IMPLEMENT_CLASS(TControlActionLink, TActionLink)
VCL_IMPLEMENT_CLASS(TWinControlActionLink, TControlActionLink)
VCL_IMPLEMENT_CLASS(TBasicAction, TComponent, {
    m.Publish("OnExecute", &TBasicAction::GetOnExecute, &TBasicAction::SetOnExecute);
    m.Publish("OnUpdate", &TBasicAction::GetOnUpdate, &TBasicAction::SetOnUpdate);
})
VCL_IMPLEMENT_CLASS(TContainedAction, TBasicAction, {
    m.Publish("Category", &TContainedAction::GetCategory, &TContainedAction::SetCategory);
})
VCL_IMPLEMENT_CLASS(TCustomAction, TContainedAction)
VCL_IMPLEMENT_CLASS(TAction, TCustomAction, {
    m.Publish("Caption", &TCustomAction::GetCaption, &TCustomAction::SetCaption);
    m.Publish("Checked", &TCustomAction::GetChecked, &TCustomAction::SetChecked).WithDefault(0);
    m.Publish("Enabled", &TCustomAction::GetEnabled, &TCustomAction::SetEnabled).WithDefault(1);
    m.Publish("Hint", &TCustomAction::GetHint, &TCustomAction::SetHint);
    m.Publish("ImageIndex", &TCustomAction::GetImageIndex, &TCustomAction::SetImageIndex).WithDefault(-1);
    m.Publish("ShortCut", &TCustomAction::GetShortCut, &TCustomAction::SetShortCut).WithDefault(0);
    m.Publish("Visible", &TCustomAction::GetVisible, &TCustomAction::SetVisible).WithDefault(1);
})
VCL_IMPLEMENT_CLASS(THintAction, TCustomAction)
VCL_IMPLEMENT_CLASS(TCustomActionList, TComponent)
VCL_IMPLEMENT_CLASS(TActionList, TCustomActionList)

// ---- links -----------------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink()
{
    if (FAction)
        FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (FAction == Value)
        return;
    if (FAction)
        FAction->UnRegisterChanges(this);
    FAction = Value;
    if (Value)
        Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* Target)
{
    if (!FAction)
        return false;
    FAction->ActionComponent = Target;
    struct Reset {
        TBasicAction* action;
        ~Reset() { action->ActionComponent = nullptr; }
    } reset{FAction};
    return FAction->Execute();
}

bool TBasicActionLink::Update()
{
    return FAction && FAction->Update();
}

void TBasicActionLink::Change()
{
    OnChange(this);
}

bool TActionLink::IsCaptionLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsCheckedLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsEnabledLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsHintLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsVisibleLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsShortCutLinked() const { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsOnExecuteLinked() const { return FAction != nullptr; }

bool TControlActionLink::IsOnExecuteLinked() const
{
    return TActionLink::IsOnExecuteLinked() && FClient && FClient->OnClick == FAction->OnExecute;
}

void TControlActionLink::SetOnExecute(TNotifyEvent Value)
{
    if (IsOnExecuteLinked())
        FClient->OnClick = Value;
}

bool ReplaceActionLink(TComponent* Client, TBasicAction*& Action, TActionLink*& Link, TBasicAction* Value,
                       TClass LinkClass)
{
    if (Action == Value)
        return false;
    if (Action)
        Action->RemoveFreeNotification(Client);
    delete Link;
    Link = nullptr;
    Action = Value;
    if (!Value)
        return false;
    TObject* made = LinkClass->Create(nullptr);
    Link = dynamic_cast<TActionLink*>(made);
    if (!Link) {
        delete made;
        Action = nullptr;
        throw EInvalidOperation("%s is no action link", {LinkClass->ClassName()});
    }
    Link->SetClient(Client);
    Link->SetAction(Value);
    Value->FreeNotification(Client);
    return true;
}

bool ActionRemoved(TComponent* AComponent, TBasicAction*& Action, TActionLink*& Link)
{
    if (!AComponent || AComponent != Action)
        return false;
    delete Link;
    Link = nullptr;
    Action = nullptr;
    return true;
}

// ---- actions ---------------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction()
{
    Destroying();
    while (!FClients.empty()) {
        TBasicActionLink* link = FClients.back();
        FClients.pop_back();
        link->FAction = nullptr;
    }
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link)
{
    FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link)
{
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

void TBasicAction::SetOnExecute(TNotifyEvent Value)
{
    for (TBasicActionLink* link : FClients)
        if (auto* a = dynamic_cast<TActionLink*>(link))
            a->SetOnExecute(Value);
    OnExecute = Value;
    Change();
}

void TBasicAction::Change()
{
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
        link->Change();
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

TContainedAction::~TContainedAction()
{
    if (FActionList)
        FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value)
{
    if (FActionList == Value)
        return;
    if (FActionList)
        FActionList->RemoveAction(this);
    if (Value)
        Value->AddAction(this);
}

int TContainedAction::GetIndex() const
{
    return FActionList ? FActionList->IndexOfAction(this) : -1;
}

TComponent* TContainedAction::GetParentComponent() const
{
    return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value)
{
    if (auto* list = dynamic_cast<TCustomActionList*>(Value))
        SetActionList(list);
}

bool TContainedAction::Execute()
{
    if (FActionList && FActionList->ExecuteAction(this))
        return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update()
{
    if (FActionList && FActionList->UpdateAction(this))
        return true;
    return TBasicAction::Update();
}

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

template <class F>
void TCustomAction::ForEachLink(F f)
{
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
        if (auto* a = dynamic_cast<TActionLink*>(link))
            f(a);
}

void TCustomAction::Assign(TPersistent* Source)
{
    if (auto* action = dynamic_cast<TCustomAction*>(Source)) {
        SetCaption(action->FCaption);
        SetHint(action->FHint);
        SetEnabled(action->FEnabled);
        SetChecked(action->FChecked);
        SetVisible(action->FVisible);
        SetShortCut(action->FShortCut);
        SetImageIndex(action->FImageIndex);
        SetHelpContext(action->FHelpContext);
        SetOnExecute(action->OnExecute);
        return;
    }
    TContainedAction::Assign(Source);
}

// Each client hears the new value before the action stores it, so a client still showing the old value
// knows it is linked.
void TCustomAction::SetCaption(const AnsiString& Value)
{
    if (Value == FCaption)
        return;
    ForEachLink([&](TActionLink* l) { l->SetCaption(Value); });
    FCaption = Value;
    Change();
}

void TCustomAction::SetHint(const AnsiString& Value)
{
    if (Value == FHint)
        return;
    ForEachLink([&](TActionLink* l) { l->SetHint(Value); });
    FHint = Value;
    Change();
}

void TCustomAction::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    ForEachLink([&](TActionLink* l) { l->SetEnabled(Value); });
    FEnabled = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    ForEachLink([&](TActionLink* l) { l->SetChecked(Value); });
    FChecked = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    ForEachLink([&](TActionLink* l) { l->SetVisible(Value); });
    FVisible = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value)
{
    if (Value == FShortCut)
        return;
    ForEachLink([&](TActionLink* l) { l->SetShortCut(Value); });
    FShortCut = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value)
{
    if (Value == FImageIndex)
        return;
    ForEachLink([&](TActionLink* l) { l->SetImageIndex(Value); });
    FImageIndex = Value;
    Change();
}

bool TCustomAction::Execute()
{
    Update();
    return FEnabled && TContainedAction::Execute();
}

// ---- action lists ----------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner), FActions(new TList) {}

TCustomActionList::~TCustomActionList()
{
    Destroying();
    while (FActions->GetCount() > 0) {
        auto* action = static_cast<TContainedAction*>(FActions->Last());
        RemoveAction(action);
    }
    delete FActions;
}

TContainedAction* TCustomActionList::GetAction(int Index) const
{
    return static_cast<TContainedAction*>(FActions->GetItems(Index));
}

void TCustomActionList::AddAction(TContainedAction* Action)
{
    if (FActions->IndexOf(Action) >= 0)
        return;
    if (Action->FActionList)
        Action->FActionList->RemoveAction(Action);
    FActions->Add(Action);
    Action->FActionList = this;
}

void TCustomActionList::RemoveAction(TContainedAction* Action)
{
    if (FActions->Remove(Action) >= 0)
        Action->FActionList = nullptr;
}

void TCustomActionList::SetList(TList* Value)
{
    if (!Value || Value == FActions)
        return;
    for (int i = 0; i < FActions->GetCount(); ++i)
        Value->Add(FActions->GetItems(i));
    delete FActions;
    FActions = Value;
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action)
{
    bool handled = false;
    OnExecute(Action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action)
{
    bool handled = false;
    OnUpdate(Action, handled);
    return handled;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int i = 0; i < FActions->GetCount(); ++i) {
        auto* action = GetAction(i);
        if (action->Owner() == Root)
            Proc(action);
    }
}

}  // namespace vcl

// Actions: commands with a caption, hint, state and handler that controls and menu items link to;
// the links copy what the action says into their clients.
#pragma once

#include "Classes.h"
#include "Messages.h"

namespace vcl {

class TBasicAction;
class TCustomAction;
class TCustomActionList;
class TControl;
class TComponent;
using TShortCut = unsigned short;

// The link between an action and the object using it.
class TBasicActionLink : public TObject {
    VCL_CLASS(TBasicActionLink, TObject)
    TBasicActionLink() = default;
    ~TBasicActionLink() override;
    TBasicAction* GetAction() const { return FAction; }
    virtual void SetAction(TBasicAction* Value);
    // The object this link updates (a control, a menu item).
    virtual void SetClient(TObject* Client) { (void)Client; }
    virtual bool Execute(TComponent* Target = nullptr);
    virtual bool Update();
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    virtual void Change();
    TBasicAction* FAction = nullptr;
};

class TActionLink : public TBasicActionLink {
    VCL_CLASS(TActionLink, TBasicActionLink)
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsVisibleLinked() const;
    virtual bool IsShortCutLinked() const;
    virtual bool IsOnExecuteLinked() const;
    virtual void SetCaption(const AnsiString& Value) { (void)Value; }
    virtual void SetChecked(bool Value) { (void)Value; }
    virtual void SetEnabled(bool Value) { (void)Value; }
    virtual void SetHint(const AnsiString& Value) { (void)Value; }
    virtual void SetVisible(bool Value) { (void)Value; }
    virtual void SetShortCut(TShortCut Value) { (void)Value; }
    virtual void SetImageIndex(int Value) { (void)Value; }
    virtual void SetOnExecute(TNotifyEvent Value) { (void)Value; }
};

using TActionEvent = TEvent<TBasicAction*, bool&>;

class TBasicAction : public TComponent {
    VCL_CLASS(TBasicAction, TComponent)
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;
    virtual bool HandlesTarget(TObject* Target) { (void)Target; return false; }
    virtual void UpdateTarget(TObject* Target) { (void)Target; }
    virtual void ExecuteTarget(TObject* Target) { (void)Target; }
    virtual bool Execute();
    virtual bool Update();
    void RegisterChanges(TBasicActionLink* Link);
    void UnRegisterChanges(TBasicActionLink* Link);
    TComponent* ActionComponent = nullptr;
    TNotifyEvent GetOnExecute() const { return OnExecute; }
    void SetOnExecute(TNotifyEvent Value);
    TNotifyEvent GetOnUpdate() const { return OnUpdate; }
    void SetOnUpdate(TNotifyEvent Value) { OnUpdate = Value; }
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    virtual void Change();
    std::vector<TBasicActionLink*> FClients;
};

class TContainedAction : public TBasicAction {
    VCL_CLASS(TContainedAction, TBasicAction)
    using TBasicAction::TBasicAction;
    ~TContainedAction() override;
    TCustomActionList* GetActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    AnsiString GetCategory() const { return FCategory; }
    void SetCategory(const AnsiString& Value) { FCategory = Value; }
    int GetIndex() const;
    bool Execute() override;
    bool Update() override;
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    AnsiString FCategory;
};

class TCustomAction : public TContainedAction {
    VCL_CLASS(TCustomAction, TContainedAction)
    explicit TCustomAction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    bool Execute() override;
    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    AnsiString GetHint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    bool DisableIfNoHandler = true;

private:
    template <class F>
    void ForEachLink(F f);
    AnsiString FCaption;
    AnsiString FHint;
    bool FEnabled = true;
    bool FChecked = false;
    bool FVisible = true;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    int FHelpContext = 0;
};

class TAction : public TCustomAction {
    VCL_CLASS(TAction, TCustomAction)
    using TCustomAction::TCustomAction;
};

// Sets the application's hint (the status bar shows it through ExecuteAction).
class THintAction : public TCustomAction {
    VCL_CLASS(THintAction, TCustomAction)
    using TCustomAction::TCustomAction;
};

class TCustomActionList : public TComponent {
    VCL_CLASS(TCustomActionList, TComponent)
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;
    int GetActionCount() const { return FActions->GetCount(); }
    TContainedAction* GetAction(int Index) const;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);
    int IndexOfAction(const TContainedAction* Action) const { return FActions->IndexOf(const_cast<TContainedAction*>(Action)); }
    // The internal list; a descendant may put a TList descendant of its own in its place.
    TList* GetList() const { return FActions; }
    void SetList(TList* Value);
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    TObject* GetImages() const { return FImages; }
    void SetImages(TObject* Value) { FImages = Value; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TActionEvent OnExecute;
    TActionEvent OnUpdate;

private:
    TList* FActions;
    TObject* FImages = nullptr;
};

class TActionList : public TCustomActionList {
    VCL_CLASS(TActionList, TCustomActionList)
    using TCustomActionList::TCustomActionList;
};

// The link of one kind of client (a control, a menu item): the caption, hint, enabled and visible states
// follow the action while the client still shows what the action said before.
template <class Client>
class TClientActionLink : public TActionLink {
public:
    void SetClient(TObject* AClient) override { FClient = dynamic_cast<Client*>(AClient); }
    bool IsCaptionLinked() const override
    {
        return Shows(TActionLink::IsCaptionLinked(), &TCustomAction::GetCaption, &Client::GetCaption);
    }
    bool IsEnabledLinked() const override
    {
        return Shows(TActionLink::IsEnabledLinked(), &TCustomAction::GetEnabled, &Client::GetEnabled);
    }
    bool IsHintLinked() const override
    {
        return Shows(TActionLink::IsHintLinked(), &TCustomAction::GetHint, &Client::GetHint);
    }
    bool IsVisibleLinked() const override
    {
        return Shows(TActionLink::IsVisibleLinked(), &TCustomAction::GetVisible, &Client::GetVisible);
    }
    void SetCaption(const AnsiString& Value) override
    {
        if (IsCaptionLinked())
            FClient->SetCaption(Value);
    }
    void SetEnabled(bool Value) override
    {
        if (IsEnabledLinked())
            FClient->SetEnabled(Value);
    }
    void SetHint(const AnsiString& Value) override
    {
        if (IsHintLinked())
            FClient->SetHint(Value);
    }
    void SetVisible(bool Value) override
    {
        if (IsVisibleLinked())
            FClient->SetVisible(Value);
    }

protected:
    // Linked: the kind of action carries the value (linkedKind) and the client still shows the action's.
    template <class T, class ClientGetter>
    bool Shows(bool linkedKind, T (TCustomAction::*actionValue)() const, ClientGetter clientValue) const
    {
        auto* action = dynamic_cast<TCustomAction*>(FAction);
        return linkedKind && action && FClient && (FClient->*clientValue)() == (action->*actionValue)();
    }
    Client* FClient = nullptr;
};

// Links of the controls: a control's action link writes into the control.
class TControlActionLink : public TClientActionLink<TControl> {
    VCL_CLASS(TControlActionLink, TActionLink)
    bool IsOnExecuteLinked() const override;
    void SetOnExecute(TNotifyEvent Value) override;
};

class TWinControlActionLink : public TControlActionLink {
    VCL_CLASS(TWinControlActionLink, TControlActionLink)
};

// What every action client (a control, a menu item) does when its action changes: the old link goes, and for
// a new action a link of the client's link class is made and the two watch each other's destruction.
// True when a new action was set: the client then takes the action's properties.
bool ReplaceActionLink(TComponent* Client, TBasicAction*& Action, TActionLink*& Link, TBasicAction* Value,
                       TClass LinkClass);
// Notification of an action client: true when the component going is its action (link and action are dropped).
bool ActionRemoved(TComponent* AComponent, TBasicAction*& Action, TActionLink*& Link);

}  // namespace vcl

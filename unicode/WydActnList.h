// Wide captions and hints carried between actions and the controls and menu items they drive: the wide
// action interface, actions with wide texts, the wide links every control of the layer uses, and the action
// list's design-time upgrade hook.
//
// A control class of the layer takes part by overriding the two class-library members that choose its link
// and copy an action's texts; WYD_ACTION_LINKS declares both in the class body, WYD_WIDE_CONTROL(C) adds
// them to the wide hint and property streaming every control of the layer has.
#pragma once

#include <windows.h>

#include "ActnList.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "WydClasses.h"
#include "WydControls.h"

// {59D0AE37-8161-4AD6-9102-14B28E5761EB}: an action that keeps wide caption and hint answers this interface.
extern const IID IID_IWydAction;

class IWydAction : public IUnknown {
protected:
    ~IWydAction() = default;
};

// The wide action interface of a component: components are not reference counted.
class TWydActionInterface : public IWydAction {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

protected:
    ~TWydActionInterface() = default;
};

// True when the action keeps wide texts of its own.
bool IsWydAction(vcl::TBasicAction* action);

// ---- Wide caption and hint of any action

// The wide values of an action: its own when it keeps them, else its ANSI values widened (and set as ANSI).
WideString WydAction_GetCaption(vcl::TCustomAction* action);
void WydAction_SetCaption(vcl::TCustomAction* action, const WideString& value);
WideString WydAction_GetHint(vcl::TCustomAction* action);
void WydAction_SetHint(vcl::TCustomAction* action, const WideString& value);
// The wide value a link gives its client while the action is changing it; `defaultValue` otherwise.
WideString WydAction_GetNewCaption(vcl::TCustomAction* action, const WideString& defaultValue);
WideString WydAction_GetNewHint(vcl::TCustomAction* action, const WideString& defaultValue);
// The tail of an action's Assign: the wide caption and hint of the source action or control.
void WydAction_AfterInherited_Assign(vcl::TCustomAction* action, vcl::TPersistent* source);

// The wide texts of one action, owned by it. Its class library caption changes in two steps (every linked
// client hears the new value before the action stores it); while that runs the getter answers the wide value
// from before the change, so the clients still showing it know they are linked.
class TCustomActionHelper : public vcl::TComponent {
    VCL_CLASS(TCustomActionHelper, vcl::TComponent)
    explicit TCustomActionHelper(vcl::TComponent* owner);
    // The helper of the action, made when `create` and missing.
    static TCustomActionHelper* Of(vcl::TCustomAction* action, bool create);
    WideString GetCaption();
    void SetCaption(const WideString& value);
    WideString GetHint();
    void SetHint(const WideString& value);
    WideString GetNewCaption(const WideString& defaultValue);
    WideString GetNewHint(const WideString& defaultValue);

private:
    // One wide text next to one ANSI property of the action.
    struct TWideText {
        WideString value;
        bool setting = false;
        WideString before;     // the wide value from before the change in progress
        AnsiString ansiToSet;  // the ANSI value the change in progress sets
    };
    static bool IsSetting(const TWideText& text, const AnsiString& ansiNow);
    static WideString Get(TWideText& text, const AnsiString& ansiNow);
    static void Set(TWideText& text, const WideString& value, const AnsiString& ansiNow,
                    const TSetAnsiStrEvent& setAnsi);
    static WideString GetNew(TWideText& text, const AnsiString& ansiNow, const WideString& defaultValue);
    vcl::TCustomAction* action_ = nullptr;
    TWideText caption_;
    TWideText hint_;
};

// An action of a class-library action class with wide Caption and Hint.
template <class Base>
class TWydActionOf : public Base, public TWydActionInterface {
public:
    using Base::Base;
    bool GetInterface(REFIID iid, void** object) override { return SUCCEEDED(QueryInterface(iid, object)); }
    void Assign(vcl::TPersistent* source) override
    {
        Base::Assign(source);
        WydAction_AfterInherited_Assign(this, source);
    }
    void DefineProperties(vcl::TFiler* filer) override
    {
        Base::DefineProperties(filer);
        WydPersistent_AfterInherited_DefineProperties(filer, this);
    }
    WideString GetCaption() const { return WydAction_GetCaption(Self()); }
    void SetCaption(const WideString& value) { WydAction_SetCaption(this, value); }
    WideString GetHint() const { return WydAction_GetHint(Self()); }
    void SetHint(const WideString& value) { WydAction_SetHint(this, value); }

private:
    vcl::TCustomAction* Self() const { return const_cast<TWydActionOf*>(this); }
};

class TWydCustomAction : public TWydActionOf<vcl::TCustomAction> {
    VCL_CLASS(TWydCustomAction, vcl::TCustomAction)
    using TWydActionOf::TWydActionOf;
};

class TWydAction : public TWydActionOf<vcl::TAction> {
    VCL_CLASS(TWydAction, vcl::TAction)
    using TWydActionOf::TWydActionOf;
};

// ---- The action list and its design-time upgrade

class TWydActionList;
using TUpgradeActionListItemsProc = void (*)(TWydActionList* list);
// Set by a design package; called with an action list that holds actions without wide texts.
extern TUpgradeActionListItemsProc UpgradeActionListItemsProc;

// The item list of an action list in the designer: an added action without wide texts restarts the list's
// upgrade timer.
class TActionListList : public vcl::TList {
    VCL_CLASS(TActionListList, vcl::TList)
    explicit TActionListList(TWydActionList* actionList) : actionList_(actionList) {}
    TWydActionList* GetActionList() const { return actionList_; }

protected:
    void Notify(void* item, vcl::TListNotification action) override;

private:
    TWydActionList* actionList_;
};

// In the designer it offers the actions that keep no wide texts to the upgrade hook, 50 ms after the last
// such action was added; at run time it is the class library's list.
class TWydActionList : public vcl::TActionList {
    VCL_CLASS(TWydActionList, vcl::TActionList)
    explicit TWydActionList(vcl::TComponent* owner);
    vcl::TTimer* GetCheckActionsTimer() const { return checkActionsTimer_; }

private:
    friend class TActionListList;
    void CheckActions(vcl::TObject* sender);
    vcl::TTimer* checkActionsTimer_ = nullptr;
};

// ---- Links: every control and menu item of the layer links to actions through these

// The shared bodies of the links. `inherited` is the class library link's own answer.
bool WydActionLink_IsCaptionLinked(bool inherited, vcl::TBasicAction* action, vcl::TControl* client);
bool WydActionLink_IsHintLinked(bool inherited, vcl::TBasicAction* action, vcl::TControl* client);
void WydActionLink_SetCaption(bool linked, vcl::TBasicAction* action, vcl::TControl* client, const AnsiString& value);
void WydActionLink_SetHint(bool linked, vcl::TBasicAction* action, vcl::TControl* client, const AnsiString& value);

// A control link of the class library made wide: caption and hint travel as the control's wide text and hint.
template <class Base>
class TWydControlActionLinkOf : public Base {
public:
    bool IsCaptionLinked() const override
    {
        return WydActionLink_IsCaptionLinked(Base::IsCaptionLinked(), this->FAction, this->FClient);
    }
    bool IsHintLinked() const override
    {
        return WydActionLink_IsHintLinked(Base::IsHintLinked(), this->FAction, this->FClient);
    }
    void SetCaption(const AnsiString& value) override
    {
        WydActionLink_SetCaption(IsCaptionLinked(), this->FAction, this->FClient, value);
    }
    void SetHint(const AnsiString& value) override
    {
        WydActionLink_SetHint(IsHintLinked(), this->FAction, this->FClient, value);
    }
};

class TWydControlActionLink : public TWydControlActionLinkOf<vcl::TControlActionLink> {
    VCL_CLASS(TWydControlActionLink, vcl::TControlActionLink)
};
class TWydWinControlActionLink : public TWydControlActionLinkOf<vcl::TWinControlActionLink> {
    VCL_CLASS(TWydWinControlActionLink, vcl::TWinControlActionLink)
};
class TWydButtonActionLink : public TWydControlActionLinkOf<vcl::TButtonActionLink> {
    VCL_CLASS(TWydButtonActionLink, vcl::TButtonActionLink)
};
class TWydListViewActionLink : public TWydControlActionLinkOf<vcl::TListViewActionLink> {
    VCL_CLASS(TWydListViewActionLink, vcl::TListViewActionLink)
};
class TWydComboBoxExActionLink : public TWydControlActionLinkOf<vcl::TComboBoxExActionLink> {
    VCL_CLASS(TWydComboBoxExActionLink, vcl::TComboBoxExActionLink)
};
class TWydSpeedButtonActionLink : public TWydControlActionLinkOf<vcl::TSpeedButtonActionLink> {
    VCL_CLASS(TWydSpeedButtonActionLink, vcl::TSpeedButtonActionLink)
};
class TWydToolButtonActionLink : public TWydControlActionLinkOf<vcl::TToolButtonActionLink> {
    VCL_CLASS(TWydToolButtonActionLink, vcl::TToolButtonActionLink)
};

// The link of menu items: captions compare as menu captions (case and accelerator marks ignored).
class TWydMenuActionLink : public vcl::TMenuActionLink {
    VCL_CLASS(TWydMenuActionLink, vcl::TMenuActionLink)
    bool IsCaptionLinked() const override;
    bool IsHintLinked() const override;
    void SetCaption(const AnsiString& value) override;
    void SetHint(const AnsiString& value) override;
};

// The wide link class for a control: by its class (list view, extended combo box, speed button, tool button,
// button control, other windowed control, other control). `inheritedClass` is the class library's link class
// of the control; a wide class that does not descend directly from it raises EWydInternalError.
vcl::TClass WydControl_GetActionLinkClass(const vcl::TControl* control, vcl::TClass inheritedClass);
// Called by a control's ActionChange before the inherited one: the wide caption and hint of a wide action.
void WydControl_BeforeInherited_ActionChange(vcl::TControl* control, vcl::TObject* sender, bool checkDefaults);

// Unit start: the layer's action classes become known to form streams.
void InitWydActnList();

// The link members of a control class whose `inherited` is its class-library base: the wide link matching
// the class library's, and the action's wide caption and hint before the class library's own ActionChange.
#define WYD_ACTION_LINKS                                                                                          \
    vcl::TClass GetActionLinkClass() const override                                                              \
    {                                                                                                            \
        return WydControl_GetActionLinkClass(this, inherited::GetActionLinkClass());                             \
    }                                                                                                            \
    void ActionChange(vcl::TObject* sender, bool checkDefaults) override                                         \
    {                                                                                                            \
        WydControl_BeforeInherited_ActionChange(this, sender, checkDefaults);                                     \
        inherited::ActionChange(sender, checkDefaults);                                                          \
    }

// What every control class C of the layer declares: wide hint, streaming of its wide properties, action links.
#define WYD_WIDE_CONTROL(C)                                                                                       \
    WYD_WIDE_HINT(C)                                                                                             \
    WYD_ACTION_LINKS

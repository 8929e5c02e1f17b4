// Wide captions and hints of actions and of the links between actions and the layer's controls.
#include "WydActnList.h"

#include "WydControls.h"
#include "WydMenus.h"
#include "WydSysUtils.h"

using namespace vcl;

// {59D0AE37-8161-4AD6-9102-14B28E5761EB}
const IID IID_IWydAction = {0x59D0AE37, 0x8161, 0x4AD6, {0x91, 0x02, 0x14, 0xB2, 0x8E, 0x57, 0x61, 0xEB}};

TUpgradeActionListItemsProc UpgradeActionListItemsProc = nullptr;

VCL_IMPLEMENT_CLASS(TCustomActionHelper, TComponent)
VCL_IMPLEMENT_CLASS(TWydCustomAction, TCustomAction, {
    m.Publish("Caption", &TWydCustomAction::GetCaption, &TWydCustomAction::SetCaption);
    m.Publish("Hint", &TWydCustomAction::GetHint, &TWydCustomAction::SetHint);
})
VCL_IMPLEMENT_CLASS(TWydAction, TAction, {
    m.Publish("Caption", &TWydAction::GetCaption, &TWydAction::SetCaption);
    m.Publish("Hint", &TWydAction::GetHint, &TWydAction::SetHint);
})
VCL_IMPLEMENT_CLASS(TActionListList, TList)
VCL_IMPLEMENT_CLASS(TWydActionList, TActionList)
VCL_IMPLEMENT_CLASS(TWydControlActionLink, TControlActionLink)
VCL_IMPLEMENT_CLASS(TWydWinControlActionLink, TWinControlActionLink)
VCL_IMPLEMENT_CLASS(TWydButtonActionLink, TButtonActionLink)
VCL_IMPLEMENT_CLASS(TWydListViewActionLink, TListViewActionLink)
VCL_IMPLEMENT_CLASS(TWydComboBoxExActionLink, TComboBoxExActionLink)
VCL_IMPLEMENT_CLASS(TWydSpeedButtonActionLink, TSpeedButtonActionLink)
VCL_IMPLEMENT_CLASS(TWydToolButtonActionLink, TToolButtonActionLink)
VCL_IMPLEMENT_CLASS(TWydMenuActionLink, TMenuActionLink)

HRESULT STDMETHODCALLTYPE TWydActionInterface::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IWydAction) || IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IWydAction*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

bool IsWydAction(TBasicAction* action)
{
    return Supports(action, IID_IWydAction);
}

// =============================================================================================
// TCustomActionHelper

TCustomActionHelper::TCustomActionHelper(TComponent* owner)
    : TComponent(owner), action_(dynamic_cast<TCustomAction*>(owner))
{
}

TCustomActionHelper* TCustomActionHelper::Of(TCustomAction* action, bool create)
{
    for (int i = 0; i < action->GetComponentCount(); ++i)
        if (auto* helper = dynamic_cast<TCustomActionHelper*>(action->GetComponents(i)))
            return helper;
    return create ? new TCustomActionHelper(action) : nullptr;
}

// The class library is still telling the clients about the change: its ANSI value is not yet the new one.
bool TCustomActionHelper::IsSetting(const TWideText& text, const AnsiString& ansiNow)
{
    return text.setting && ansiNow != text.ansiToSet;
}

WideString TCustomActionHelper::Get(TWideText& text, const AnsiString& ansiNow)
{
    return IsSetting(text, ansiNow) ? text.before : GetSyncedWideString(text.value, ansiNow);
}

void TCustomActionHelper::Set(TWideText& text, const WideString& value, const AnsiString& ansiNow,
                              const TSetAnsiStrEvent& setAnsi)
{
    text.before = Get(text, ansiNow);
    text.ansiToSet = WideToAnsi(value);
    TScopedValue<bool> settingUntilDone(text.setting, true);
    SetSyncedWideString(value, text.value, ansiNow, [&text, &setAnsi](const AnsiString& s) {
        // The empty step of an unchanged ANSI value: the clients are emptied, then take the new text.
        if (s.empty() && !text.ansiToSet.empty())
            text.before.clear();
        setAnsi(s);
    });
}

WideString TCustomActionHelper::GetNew(TWideText& text, const AnsiString& ansiNow, const WideString& defaultValue)
{
    return IsSetting(text, ansiNow) ? text.value : defaultValue;
}

WideString TCustomActionHelper::GetCaption() { return Get(caption_, action_->GetCaption()); }

void TCustomActionHelper::SetCaption(const WideString& value)
{
    TCustomAction* action = action_;
    Set(caption_, value, action->GetCaption(), [action](const AnsiString& s) { action->SetCaption(s); });
}

WideString TCustomActionHelper::GetHint() { return Get(hint_, action_->GetHint()); }

void TCustomActionHelper::SetHint(const WideString& value)
{
    TCustomAction* action = action_;
    Set(hint_, value, action->GetHint(), [action](const AnsiString& s) { action->SetHint(s); });
}

WideString TCustomActionHelper::GetNewCaption(const WideString& defaultValue)
{
    return GetNew(caption_, action_->GetCaption(), defaultValue);
}

WideString TCustomActionHelper::GetNewHint(const WideString& defaultValue)
{
    return GetNew(hint_, action_->GetHint(), defaultValue);
}

// =============================================================================================
// Wide caption and hint of any action

namespace {

TCustomActionHelper* HelperOf(TCustomAction* action, bool create)
{
    return action && IsWydAction(action) ? TCustomActionHelper::Of(action, create) : nullptr;
}

}  // namespace

WideString WydAction_GetCaption(TCustomAction* action)
{
    TCustomActionHelper* helper = HelperOf(action, false);
    return helper ? helper->GetCaption() : AnsiToWide(action->GetCaption());
}

void WydAction_SetCaption(TCustomAction* action, const WideString& value)
{
    if (TCustomActionHelper* helper = HelperOf(action, true))
        helper->SetCaption(value);
    else
        action->SetCaption(WideToAnsi(value));
}

WideString WydAction_GetHint(TCustomAction* action)
{
    TCustomActionHelper* helper = HelperOf(action, false);
    return helper ? helper->GetHint() : AnsiToWide(action->GetHint());
}

void WydAction_SetHint(TCustomAction* action, const WideString& value)
{
    if (TCustomActionHelper* helper = HelperOf(action, true))
        helper->SetHint(value);
    else
        action->SetHint(WideToAnsi(value));
}

WideString WydAction_GetNewCaption(TCustomAction* action, const WideString& defaultValue)
{
    TCustomActionHelper* helper = HelperOf(action, false);
    return helper ? helper->GetNewCaption(defaultValue) : defaultValue;
}

WideString WydAction_GetNewHint(TCustomAction* action, const WideString& defaultValue)
{
    TCustomActionHelper* helper = HelperOf(action, false);
    return helper ? helper->GetNewHint(defaultValue) : defaultValue;
}

// The wide values themselves are copied (setting them sets the ANSI forms too), so a caption outside the
// ANSI code page survives the copy.
void WydAction_AfterInherited_Assign(TCustomAction* action, TPersistent* source)
{
    if (auto* sourceAction = dynamic_cast<TCustomAction*>(source)) {
        WydAction_SetCaption(action, WydAction_GetCaption(sourceAction));
        WydAction_SetHint(action, WydAction_GetHint(sourceAction));
    } else if (auto* control = dynamic_cast<TControl*>(source)) {
        WydAction_SetCaption(action, WydControl_GetText(control));
        WydAction_SetHint(action, WydControl_GetHint(control));
    }
}

// =============================================================================================
// The action list

TWydActionList::TWydActionList(TComponent* owner) : TActionList(owner)
{
    if (!GetComponentState().Contains(csDesigning))
        return;
    checkActionsTimer_ = new TTimer(this);
    checkActionsTimer_->SetEnabled(false);
    checkActionsTimer_->SetInterval(50);
    checkActionsTimer_->SetOnTimer(TNotifyEvent(this, &TWydActionList::CheckActions));
    SetList(new TActionListList(this));
}

void TWydActionList::CheckActions(TObject*)
{
    if (checkActionsTimer_)
        checkActionsTimer_->SetEnabled(false);
    if (!GetComponentState().Contains(csDesigning))
        throw EWydInternalError("WYD Internal Error: CheckActions: the action list is not being designed.");
    if (!UpgradeActionListItemsProc)
        throw EWydInternalError("WYD Internal Error: CheckActions: no upgrade procedure is set.");
    UpgradeActionListItemsProc(this);
}

void TActionListList::Notify(void* item, TListNotification action)
{
    TList::Notify(item, action);
    TTimer* timer = actionList_->checkActionsTimer_;
    if (action != lnAdded || !timer || IsWydAction(static_cast<TContainedAction*>(item)))
        return;
    timer->SetEnabled(false);
    timer->SetEnabled(true);
}

// =============================================================================================
// Links

namespace {

TCustomAction* CustomAction(TBasicAction* action) { return dynamic_cast<TCustomAction*>(action); }

}  // namespace

bool WydActionLink_IsCaptionLinked(bool inherited, TBasicAction* action, TControl* client)
{
    TCustomAction* custom = CustomAction(action);
    return inherited && custom && client && WydControl_GetText(client) == WydAction_GetCaption(custom);
}

bool WydActionLink_IsHintLinked(bool inherited, TBasicAction* action, TControl* client)
{
    TCustomAction* custom = CustomAction(action);
    return inherited && custom && client && WydControl_GetHint(client) == WydAction_GetHint(custom);
}

void WydActionLink_SetCaption(bool linked, TBasicAction* action, TControl* client, const AnsiString& value)
{
    if (linked)
        WydControl_SetText(client, WydAction_GetNewCaption(CustomAction(action), AnsiToWide(value)));
}

void WydActionLink_SetHint(bool linked, TBasicAction* action, TControl* client, const AnsiString& value)
{
    if (linked)
        WydControl_SetHint(client, WydAction_GetNewHint(CustomAction(action), AnsiToWide(value)));
}

bool TWydMenuActionLink::IsCaptionLinked() const
{
    TCustomAction* custom = CustomAction(FAction);
    return TMenuActionLink::IsCaptionLinked() && custom &&
           WideSameCaption(WideGetMenuItemCaption(FClient), WydAction_GetCaption(custom));
}

bool TWydMenuActionLink::IsHintLinked() const
{
    TCustomAction* custom = CustomAction(FAction);
    return TMenuActionLink::IsHintLinked() && custom && WideGetMenuItemHint(FClient) == WydAction_GetHint(custom);
}

void TWydMenuActionLink::SetCaption(const AnsiString& value)
{
    if (!IsCaptionLinked())
        return;
    WideString caption = WydAction_GetNewCaption(CustomAction(FAction), AnsiToWide(value));
    if (auto* item = dynamic_cast<TWydMenuItem*>(FClient))
        item->SetCaption(caption);
    else
        FClient->SetCaption(WideToAnsi(caption));
}

void TWydMenuActionLink::SetHint(const AnsiString& value)
{
    if (!IsHintLinked())
        return;
    WideString hint = WydAction_GetNewHint(CustomAction(FAction), AnsiToWide(value));
    if (auto* item = dynamic_cast<TWydMenuItem*>(FClient))
        item->SetHint(hint);
    else
        FClient->SetHint(WideToAnsi(hint));
}

TClass WydControl_GetActionLinkClass(const TControl* control, TClass inheritedClass)
{
    auto is = [control](TClass cls) { return control->InheritsFrom(cls); };
    TClass result = is(TCustomListView::StaticClass())  ? TWydListViewActionLink::StaticClass()
                    : is(TComboBoxEx::StaticClass())    ? TWydComboBoxExActionLink::StaticClass()
                    : is(TSpeedButton::StaticClass())   ? TWydSpeedButtonActionLink::StaticClass()
                    : is(TToolButton::StaticClass())    ? TWydToolButtonActionLink::StaticClass()
                    : is(TButtonControl::StaticClass()) ? TWydButtonActionLink::StaticClass()
                    : is(TWinControl::StaticClass())    ? TWydWinControlActionLink::StaticClass()
                                                        : TWydControlActionLink::StaticClass();
    if (result->ClassParent() != inheritedClass)
        throw EWydInternalError("WYD Internal Error: WydControl_GetActionLinkClass: %s does not descend from %s.",
                                {result->ClassName(), inheritedClass ? inheritedClass->ClassName() : AnsiString()});
    return result;
}

// A control shows its own text unless it still has none (or only its component name) and the caller asks
// to keep what the control has.
void WydControl_BeforeInherited_ActionChange(TControl* control, TObject* sender, bool checkDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action || !IsWydAction(action))
        return;
    WideString text = WydControl_GetText(control);
    if (!checkDefaults || text.empty() || text == AnsiToWide(control->GetName()))
        WydControl_SetText(control, WydAction_GetCaption(action));
    if (!checkDefaults || WydControl_GetHint(control).empty())
        WydControl_SetHint(control, WydAction_GetHint(action));
}

void InitWydActnList()
{
    RegisterClasses({TWydCustomAction::StaticClass(), TWydAction::StaticClass(), TWydActionList::StaticClass()});
}

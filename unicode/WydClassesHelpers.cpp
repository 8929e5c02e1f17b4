// Wide twins of ANSI properties and the hidden helper components that keep them.
#include <vector>

#include "WydClasses.h"
#include "WydSysUtils.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWideComponentHelper, TComponent)

WideString GetSyncedWideString(WideString& wideStr, const AnsiString& ansiStr)
{
    if (WideToAnsi(wideStr) != ansiStr)
        wideStr = AnsiToWide(ansiStr);
    return wideStr;
}

void SetSyncedWideString(const WideString& value, WideString& wideStr, const AnsiString& ansiStr,
                         const TSetAnsiStrEvent& setAnsiStr)
{
    if (value == GetSyncedWideString(wideStr, ansiStr))
        return;
    AnsiString ansiValue = WideToAnsi(value);
    // A text that has no exact ANSI form may map to the ANSI value already held; passing through the
    // empty value makes the class library see a change all the same. Compared by code unit: a locale
    // comparison could call different texts equal and skip the notification.
    if (AnsiToWide(ansiValue) != value && ansiValue == ansiStr)
        setAnsiStr(AnsiString());
    wideStr = value;
    setAnsiStr(ansiValue);
}

namespace {

std::vector<TWideComponentHelper*>& Orphans()
{
    static std::vector<TWideComponentHelper*> orphans;
    return orphans;
}

int CompareHelperTarget(void* item, void* target)
{
    auto served = reinterpret_cast<uintptr_t>(static_cast<TWideComponentHelper*>(item)->GetComponent());
    auto wanted = reinterpret_cast<uintptr_t>(target);
    return served < wanted ? -1 : served > wanted ? 1 : 0;
}

}  // namespace

TWideComponentHelper::TWideComponentHelper(TComponent*) : TComponent(nullptr)
{
    throw EWydInternalError("WYD Internal Error: TWideComponentHelper.Create should never be encountered.");
}

TWideComponentHelper::TWideComponentHelper(TComponent* component, TComponentList* list)
    : TComponent(nullptr), component_(component), list_(list)
{
    FreeOrphanedWideComponentHelpers();
    int index = 0;
    if (FindSortedListByTarget(list, CompareHelperTarget, component, index))
        throw EWydInternalError("WYD Internal Error: FindWideComponentHelperIndex failed.");
    list->Insert(index, this);
    component->FreeNotification(this);
}

void TWideComponentHelper::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove || component != component_ || !component_)
        return;
    // The component is being destroyed and is walking its notification list: leave the list now (a new
    // component may soon live at the same address) and be freed later.
    component_ = nullptr;
    if (list_)
        list_->Extract(this);
    list_ = nullptr;
    Orphans().push_back(this);
}

TWideComponentHelper* FindWideComponentHelper(TComponentList* list, TComponent* component)
{
    int index = 0;
    if (!list || !component || !FindSortedListByTarget(list, CompareHelperTarget, component, index))
        return nullptr;
    auto* helper = static_cast<TWideComponentHelper*>(list->GetItems(index));
    if (helper->GetComponent() != component)
        throw EWydInternalError("WYD Internal Error: FindWideComponentHelperIndex failed.");
    return helper;
}

void FreeOrphanedWideComponentHelpers()
{
    std::vector<TWideComponentHelper*> orphans;
    orphans.swap(Orphans());
    for (TWideComponentHelper* helper : orphans)
        delete helper;
}

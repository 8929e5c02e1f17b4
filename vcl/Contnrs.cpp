// Object lists: TObjectList (owning or not), TComponentList (drops components as they are freed), stacks.
#include "Contnrs.h"

#include <algorithm>

namespace vcl {

VCL_IMPLEMENT_CLASS(TObjectList, TList)
VCL_IMPLEMENT_CLASS(TComponentList, TObjectList)
VCL_IMPLEMENT_CLASS(TClassList, TList)
VCL_IMPLEMENT_CLASS(TObjectStack, TObject)
VCL_IMPLEMENT_CLASS(TObjectQueue, TObject)

TObjectList::~TObjectList() { Clear(); }

int TObjectList::FindInstanceOf(TClass cls, bool exact, int start) const {
    for (int i = std::max(start, 0); i < GetCount(); ++i) {
        TObject* o = GetItems(i);
        if (o && (exact ? o->ClassType() == cls : o->InheritsFrom(cls))) return i;
    }
    return -1;
}

void TObjectList::Notify(void* item, TListNotification action) {
    if (ownsObjects_ && action == lnDeleted) delete static_cast<TObject*>(item);
    TList::Notify(item, action);
}

// Receives the free notifications of the listed components and takes them out of the list.
class TComponentList::Nexus : public TComponent {
public:
    explicit Nexus(TComponentList* list) : TComponent(nullptr), list_(list) {}

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove && list_) list_->Extract(component);
        TComponent::Notification(component, operation);
    }

private:
    TComponentList* list_;
};

TComponentList::TComponentList(bool ownsObjects) : TObjectList(ownsObjects) {}

TComponentList::~TComponentList() {
    Clear();
    delete nexus_;
}

void TComponentList::Notify(void* item, TListNotification action) {
    if (!nexus_) nexus_ = new Nexus(this);
    auto* component = static_cast<TComponent*>(item);
    if (component) {
        if (action == lnAdded) nexus_->FreeNotification(component);
        else nexus_->RemoveFreeNotification(component);
    }
    TObjectList::Notify(item, action);
}

TObject* TObjectStack::Push(TObject* object) {
    list_.Add(object);
    return object;
}

TObject* TObjectStack::Pop() {
    if (list_.GetCount() == 0) return nullptr;
    TObject* o = static_cast<TObject*>(list_.Last());
    list_.Delete(list_.GetCount() - 1);
    return o;
}

TObject* TObjectStack::Peek() const { return list_.GetCount() ? static_cast<TObject*>(list_.Last()) : nullptr; }

TObject* TObjectQueue::Push(TObject* object) {
    list_.Add(object);
    return object;
}

TObject* TObjectQueue::Pop() {
    if (list_.GetCount() == 0) return nullptr;
    TObject* o = static_cast<TObject*>(list_.First());
    list_.Delete(0);
    return o;
}

TObject* TObjectQueue::Peek() const { return list_.GetCount() ? static_cast<TObject*>(list_.First()) : nullptr; }

}  // namespace vcl

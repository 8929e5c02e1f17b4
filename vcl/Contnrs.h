// Object lists: TObjectList (owning or not), TComponentList (drops components as they are freed), stacks.
#pragma once

#include "Classes.h"

namespace vcl {

class TObjectList : public TList {
    VCL_CLASS(TObjectList, TList)
    explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
    ~TObjectList() override;

    int Add(TObject* object) { return TList::Add(object); }
    void Insert(int index, TObject* object) { TList::Insert(index, object); }
    int Remove(TObject* object) { return TList::Remove(object); }
    TObject* Extract(TObject* object) { return static_cast<TObject*>(TList::Extract(object)); }
    int IndexOf(TObject* object) const { return TList::IndexOf(object); }
    TObject* GetItems(int index) const { return static_cast<TObject*>(Get(index)); }
    void SetItems(int index, TObject* object) { Put(index, object); }
    // Index of the first object of exactly (or, not exact, at least) that class at or after `start`.
    int FindInstanceOf(TClass cls, bool exact = true, int start = 0) const;
    bool GetOwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool ownsObjects_;
};

class TComponentList : public TObjectList {
    VCL_CLASS(TComponentList, TObjectList)
    explicit TComponentList(bool ownsObjects = true);
    ~TComponentList() override;

    int Add(TComponent* component) { return TObjectList::Add(component); }
    void Insert(int index, TComponent* component) { TObjectList::Insert(index, component); }
    int Remove(TComponent* component) { return TObjectList::Remove(component); }
    int IndexOf(TComponent* component) const { return TObjectList::IndexOf(component); }
    TComponent* GetItems(int index) const { return static_cast<TComponent*>(Get(index)); }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    class Nexus;
    Nexus* nexus_ = nullptr;
};

class TClassList : public TList {
    VCL_CLASS(TClassList, TList)
    int Add(TClass cls) { return TList::Add(const_cast<TMetaClass*>(cls)); }
    int IndexOf(TClass cls) const { return TList::IndexOf(const_cast<TMetaClass*>(cls)); }
    TClass GetItems(int index) const { return static_cast<TClass>(Get(index)); }
};

// Last in, first out; the object variant frees nothing (as the pointer lists it stands on).
class TObjectStack : public TObject {
    VCL_CLASS(TObjectStack, TObject)
    int Count() const { return list_.GetCount(); }
    bool AtLeast(int count) const { return list_.GetCount() >= count; }
    TObject* Push(TObject* object);
    TObject* Pop();
    TObject* Peek() const;

private:
    TList list_;
};

class TObjectQueue : public TObject {
    VCL_CLASS(TObjectQueue, TObject)
    int Count() const { return list_.GetCount(); }
    bool AtLeast(int count) const { return list_.GetCount() >= count; }
    TObject* Push(TObject* object);
    TObject* Pop();
    TObject* Peek() const;

private:
    TList list_;
};

}  // namespace vcl

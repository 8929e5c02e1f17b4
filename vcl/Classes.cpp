// Persistent objects, components (ownership, free notification), pointer lists, string lists, collections.
#include "Classes.h"

#include <algorithm>

namespace vcl {

VCL_IMPLEMENT_CLASS(TPersistent, TObject)
VCL_IMPLEMENT_CLASS(TComponent, TPersistent, { m.Publish("Name", &TComponent::GetName, &TComponent::SetName).Stored(false); m.Publish("Tag", &TComponent::GetTag, &TComponent::SetTag).WithDefault(0); })
VCL_IMPLEMENT_CLASS(TList, TObject)
VCL_IMPLEMENT_CLASS(TStrings, TPersistent)
VCL_IMPLEMENT_CLASS(TStringList, TStrings)
VCL_IMPLEMENT_CLASS(TCollectionItem, TPersistent)
VCL_IMPLEMENT_CLASS(TCollection, TPersistent)
VCL_IMPLEMENT_CLASS(TOwnedCollection, TCollection)

// ---------------------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* source) {
    if (source) source->AssignTo(this);
    else AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
    AnsiString sourceName = source ? source->ClassName() : AnsiString("nil");
    throw EConvertError("Cannot assign a %s to a %s", {sourceName, ClassName()});
}

void TPersistent::DefineProperties(TFiler*) {}

AnsiString TPersistent::GetNamePath() {
    return ClassName();
}

// ---------------------------------------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // The last to ask is told first; each Notification removes its entry from the list.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        other->Notification(this, opRemove);
        RemoveNotification(other);
        other->RemoveNotification(this);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::GetComponents(int index) const {
    if (index < 0 || index >= GetComponentCount()) throw EListError("List index out of bounds (%d)", {index});
    return components_[static_cast<size_t>(index)];
}

int TComponent::GetComponentIndex() const {
    if (!owner_) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

AnsiString TComponent::GetNamePath() { return name_; }

void TComponent::SetName(const AnsiString& name) {
    if (name_ == name) return;
    if (!name.empty() && !IsValidIdent(name)) throw EComponentError("'%s' is not a valid component name", {name});
    if (owner_) owner_->ValidateRename(this, name_, name);
    else ValidateRename(nullptr, name_, name);
    name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const AnsiString& curName, const AnsiString& newName) {
    if (component && !SameText(curName, newName) && !newName.empty()) {
        TComponent* other = FindComponent(newName);
        if (other && other != component) throw EComponentError("A component named %s already exists", {newName});
    }
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::ValidateContainer(TComponent* component) {
    if (component == this || component->owner_) throw EComponentError("Cannot insert the component here");
}

void TComponent::InsertComponent(TComponent* component) {
    ValidateContainer(component);
    ValidateRename(component, AnsiString(), component->name_);
    Insert(component);
    if (state_.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    // Last created first. Components that asked for notifications announce their removal to their siblings.
    while (!components_.empty()) {
        TComponent* child = components_.back();
        child->Destroying();
        if (child->state_.Contains(csFreeNotification)) RemoveComponent(child);
        else Remove(child);
        delete child;
    }
}

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_ << csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) {
        RemoveNotification(component);
        component->RemoveNotification(this);
    }
    for (size_t i = components_.size(); i-- > 0;) {
        if (i >= components_.size()) continue;
        components_[i]->Notification(component, operation);
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component) return;
    if (!owner_ || component->owner_ != owner_) {
        if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
            freeNotifies_.push_back(component);
            component->FreeNotification(this);
        }
    }
    state_ << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it != freeNotifies_.end()) freeNotifies_.erase(it);
}

void TComponent::Loaded() { state_ >> csLoading; }

void TComponent::ReadState(TReader* reader) { reader->ReadData(this); }

void TComponent::WriteState(TWriter* writer) { writer->WriteData(this); }

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Updating() { state_ << csUpdating; }

void TComponent::Updated() { state_ >> csUpdating; }

void TComponent::SetDesigning(bool value) {
    SetState(csDesigning, value);
    for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::SetState(TComponentStateItem item, bool on) {
    if (on) state_ << item;
    else state_ >> item;
}

// ---------------------------------------------------------------------------------------------------------
// TList

TList::~TList() { TList::Clear(); }

void TList::Error(const char* message, int data) { throw EListError(message, {data}); }

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
}

void* TList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)];
}

void TList::Put(int index, void* item) {
    CheckIndex(index);
    void* old = items_[static_cast<size_t>(index)];
    if (old == item) return;
    items_[static_cast<size_t>(index)] = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

int TList::Add(void* item) {
    items_.push_back(item);
    if (item) Notify(item, lnAdded);
    return GetCount() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > GetCount()) Error("List index out of bounds (%d)", index);
    items_.insert(items_.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
    CheckIndex(index);
    void* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
    return i;
}

void* TList::Extract(void* item) {
    int i = IndexOf(item);
    if (i < 0) return nullptr;
    items_.erase(items_.begin() + i);
    Notify(item, lnExtracted);
    return item;
}

int TList::IndexOf(void* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
}

void TList::Move(int from, int to) {
    if (from == to) return;
    CheckIndex(from);
    CheckIndex(to);
    void* item = items_[static_cast<size_t>(from)];
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, item);
}

void TList::Sort(TListSortCompare compare) {
    std::stable_sort(items_.begin(), items_.end(), [compare](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Pack() {
    items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Clear() { SetCount(0); }

void TList::SetCount(int count) {
    if (count < 0) Error("List count out of bounds (%d)", count);
    while (GetCount() > count) Delete(GetCount() - 1);
    if (count > GetCount()) items_.resize(static_cast<size_t>(count), nullptr);
}

void TList::SetCapacity(int capacity) {
    if (capacity < GetCount()) Error("List capacity out of bounds (%d)", capacity);
    items_.reserve(static_cast<size_t>(capacity));
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const char* message, int data) { throw EStringListError(message, {data}); }

int TStrings::Add(const AnsiString& s) {
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const AnsiString& s, TObject* object) {
    int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(TStrings* strings) {
    BeginUpdate();
    try {
        for (int i = 0; i < strings->GetCount(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(TPersistent* source) {
    auto* strings = dynamic_cast<TStrings*>(source);
    if (!strings) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        delimiter_ = strings->delimiter_;
        quoteChar_ = strings->quoteChar_;
        AddStrings(strings);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Exchange(int a, int b) {
    BeginUpdate();
    try {
        AnsiString s = Get(a);
        TObject* o = GetObject(a);
        Put(a, Get(b));
        PutObject(a, GetObject(b));
        Put(b, s);
        PutObject(b, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::CompareStrings(const AnsiString& a, const AnsiString& b) const { return AnsiCompareText(a, b); }

int TStrings::IndexOf(const AnsiString& s) const {
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const AnsiString& name) const {
    for (int i = 0; i < GetCount(); ++i) {
        AnsiString s = Get(i);
        size_t p = s.find(nameValueSeparator_);
        if (p != AnsiString::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

void TStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    BeginUpdate();
    try {
        AnsiString s = Get(from);
        TObject* o = GetObject(from);
        Delete(from);
        InsertObject(to, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(TStrings* other) const {
    if (GetCount() != other->GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != other->Get(i)) return false;
    return true;
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int index, const AnsiString& s) {
    TObject* o = GetObject(index);
    BeginUpdate();
    try {
        Delete(index);
        InsertObject(index, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::PutObject(int, TObject*) {}

AnsiString TStrings::GetNames(int index) const {
    AnsiString s = Get(index);
    size_t p = s.find(nameValueSeparator_);
    return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::GetValues(const AnsiString& name) const {
    int i = IndexOfName(name);
    return i < 0 ? AnsiString() : GetValueFromIndex(i);
}

AnsiString TStrings::GetValueFromIndex(int index) const {
    AnsiString s = Get(index);
    size_t p = s.find(nameValueSeparator_);
    return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

void TStrings::SetValues(const AnsiString& name, const AnsiString& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    AnsiString line = name + nameValueSeparator_ + value;
    if (i < 0) Add(line);
    else Put(i, line);
}

AnsiString TStrings::GetTextStr() const {
    AnsiString text;
    for (int i = 0; i < GetCount(); ++i) text += Get(i) + "\r\n";
    return text;
}

void TStrings::SetTextStr(const AnsiString& text) {
    BeginUpdate();
    try {
        Clear();
        size_t i = 0, n = text.size();
        while (i < n) {
            size_t start = i;
            while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
            Add(text.substr(start, i - start));
            if (i < n && text[i] == '\r') ++i;
            if (i < n && text[i] == '\n') ++i;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

AnsiString TStrings::GetDelimitedText() const {
    if (GetCount() == 1 && Get(0).empty()) return AnsiString(2, quoteChar_);
    AnsiString out;
    for (int i = 0; i < GetCount(); ++i) {
        AnsiString s = Get(i);
        bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == quoteChar_ || c == delimiter_;
        });
        if (i) out += delimiter_;
        out += quote ? AnsiQuotedStr(s, quoteChar_) : s;
    }
    return out;
}

void TStrings::SetDelimitedText(const AnsiString& text) {
    auto blank = [](char c) { return c >= 1 && static_cast<unsigned char>(c) <= ' '; };
    BeginUpdate();
    try {
        Clear();
        size_t p = 0, n = text.size();
        while (p < n && blank(text[p])) ++p;
        while (p < n) {
            AnsiString s;
            if (text[p] == quoteChar_) {
                s = AnsiExtractQuotedStr(text, p, quoteChar_);
            } else {
                size_t start = p;
                while (p < n && static_cast<unsigned char>(text[p]) > ' ' && text[p] != delimiter_) ++p;
                s = text.substr(start, p - start);
            }
            Add(s);
            while (p < n && blank(text[p])) ++p;
            if (p < n && text[p] == delimiter_) {
                // A trailing delimiter stands for one more, empty, item.
                if (p + 1 == n) Add(AnsiString());
                do ++p;
                while (p < n && blank(text[p]));
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

AnsiString TStrings::GetCommaText() const {
    auto* self = const_cast<TStrings*>(this);
    char d = delimiter_, q = quoteChar_;
    self->delimiter_ = ',';
    self->quoteChar_ = '"';
    AnsiString text = GetDelimitedText();
    self->delimiter_ = d;
    self->quoteChar_ = q;
    return text;
}

void TStrings::SetCommaText(const AnsiString& text) {
    char d = delimiter_, q = quoteChar_;
    delimiter_ = ',';
    quoteChar_ = '"';
    try {
        SetDelimitedText(text);
    } catch (...) {
        delimiter_ = d;
        quoteChar_ = q;
        throw;
    }
    delimiter_ = d;
    quoteChar_ = q;
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::SaveToFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

void TStrings::LoadFromStream(TStream* stream) {
    Int64 size = stream->GetSize() - stream->GetPosition();
    AnsiString text(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
    if (!text.empty()) stream->ReadBuffer(text.data(), static_cast<int>(text.size()));
    SetTextStr(text);
}

void TStrings::SaveToStream(TStream* stream) {
    AnsiString text = GetTextStr();
    stream->WriteBuffer(text.data(), static_cast<int>(text.size()));
}

void TStrings::DefineProperties(TFiler* filer) {
    bool hasData = GetCount() > 0;
    if (auto* ancestor = dynamic_cast<TStrings*>(filer->GetAncestor())) hasData = !Equals(ancestor);
    filer->DefineProperty("Strings", [this](TReader* r) { ReadData(r); }, [this](TWriter* w) { WriteData(w); },
                          hasData);
}

void TStrings::ReadData(TReader* reader) {
    reader->ReadListBegin();
    BeginUpdate();
    try {
        Clear();
        while (!reader->EndOfList()) Add(reader->ReadString());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    reader->ReadListEnd();
}

void TStrings::WriteData(TWriter* writer) {
    writer->WriteListBegin();
    for (int i = 0; i < GetCount(); ++i) writer->WriteString(Get(i));
    writer->WriteListEnd();
}

// ---------------------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    onChange_ = nullptr;
    onChanging_ = nullptr;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
}

void TStringList::Changed() {
    if (GetUpdateCount() == 0) onChange_(this);
}

void TStringList::Changing() {
    if (GetUpdateCount() == 0) onChanging_(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating) Changing();
    else Changed();
}

int TStringList::CompareStrings(const AnsiString& a, const AnsiString& b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::Add(const AnsiString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const AnsiString& s, TObject* object) {
    int index;
    if (!sorted_) {
        index = GetCount();
    } else if (Find(s, index)) {
        switch (duplicates_) {
        case dupIgnore: return index;
        case dupError: throw EStringListError("String list does not allow duplicates");
        case dupAccept: break;
        }
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    Changing();
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
    Changed();
}

bool TStringList::Find(const AnsiString& s, int& index) const {
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(items_[static_cast<size_t>(mid)].Text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                // With duplicates accepted the search goes on to the first of the equal strings.
                if (duplicates_ != dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

int TStringList::IndexOf(const AnsiString& s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index;
    if (!Find(s, index)) return -1;
    return index;
}

void TStringList::Insert(int index, const AnsiString& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const AnsiString& s, TObject* object) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > GetCount()) Error("List index out of bounds (%d)", index);
    InsertItem(index, s, object);
}

AnsiString TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].Text;
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].Object;
}

void TStringList::Put(int index, const AnsiString& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].Text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].Object = object;
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted_ == sorted) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool value) {
    if (caseSensitive_ == value) return;
    caseSensitive_ = value;
    if (sorted_) Sort();
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->items_[static_cast<size_t>(a)].Text, list->items_[static_cast<size_t>(b)].Text);
    });
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& compare) {
    if (GetCount() < 2) return;
    Changing();
    // Sort an index permutation, so the compare function sees indexes into the unsorted list.
    std::vector<int> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(items_[static_cast<size_t>(i)]);
    items_.swap(sorted);
    Changed();
}

// ---------------------------------------------------------------------------------------------------------
// Collections

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection_ == collection) return;
    if (collection_) collection_->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

int TCollectionItem::GetIndex() const {
    if (!collection_) return -1;
    auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
    int current = GetIndex();
    if (current < 0 || index == current || index < 0 || index >= collection_->GetCount()) return;
    auto& items = collection_->items_;
    items.erase(items.begin() + current);
    items.insert(items.begin() + index, this);
    Changed(true);
}

AnsiString TCollectionItem::GetDisplayName() const { return ClassName(); }

AnsiString TCollectionItem::GetNamePath() {
    if (!collection_) return ClassName();
    return Format("%s[%d]", {collection_->GetNamePath(), GetIndex()});
}

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool allItems) {
    if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection() {
    updateCount_ = 1;
    while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Add() {
    auto* item = dynamic_cast<TCollectionItem*>(itemClass_->Create(nullptr));
    if (!item) throw EInvalidOperation("Cannot create an item of class " + itemClass_->ClassName());
    item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) { delete GetItems(index); }

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    while (!items_.empty()) delete items_.back();
    EndUpdate();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TListNotification) {}

void TCollection::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->items_) Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : items_)
        if (item->id_ == id) return item;
    return nullptr;
}

TCollectionItem* TCollection::GetItems(int index) const {
    if (index < 0 || index >= GetCount()) throw EListError("List index out of bounds (%d)", {index});
    return items_[static_cast<size_t>(index)];
}

void TCollection::SetItems(int index, TCollectionItem* value) { GetItems(index)->Assign(value); }

AnsiString TCollection::GetNamePath() {
    TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    AnsiString path = owner->GetNamePath();
    return path.empty() ? ClassName() : path + ".Items";
}

void TCollection::InsertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Notify(item, lnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    Notify(item, lnExtracted);
    items_.erase(std::find(items_.begin(), items_.end(), item));
    item->collection_ = nullptr;
    Changed();
}

}  // namespace vcl

// Persistent objects, components with ownership and free notification, lists, string lists, collections,
// streams, and form streaming (the "TPF0" binary form format read and written by TReader and TWriter).
#pragma once

#include <map>
#include <memory>

#include "SysUtils.h"

namespace vcl {

class TFiler;
class TReader;
class TWriter;
class TStream;
class TComponent;

enum TOperation { opInsert, opRemove };
enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
                           csFixups, csFreeNotification, csInline, csDesignInstance };
using TComponentState = TSet<TComponentStateItem>;
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TDuplicates { dupIgnore, dupAccept, dupError };
enum TListNotification { lnAdded, lnExtracted, lnDeleted };
enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr TSeekOrigin soFromBeginning = soBeginning, soFromCurrent = soCurrent, soFromEnd = soEnd;

// File modes of TFileStream.
constexpr unsigned fmCreate = 0xFFFF;
constexpr unsigned fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000, fmShareExclusive = 0x0010, fmShareDenyWrite = 0x0020,
                   fmShareDenyRead = 0x0030, fmShareDenyNone = 0x0040;

// ---------------------------------------------------------------------------------------------------------

class TPersistent : public TObject {
    VCL_CLASS(TPersistent, TObject)
    ~TPersistent() override = default;
    // Copies Source into this object; the default asks Source->AssignTo and raises when nobody can.
    virtual void Assign(TPersistent* source);
    // "Owner.Name" path used in messages and by the filer.
    virtual AnsiString GetNamePath();
    // Properties streamed beside the published ones (TFiler::DefineProperty). Public so the filer can call it.
    virtual void DefineProperties(TFiler* filer);
    virtual TPersistent* GetOwner() { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* dest);
    [[noreturn]] void AssignError(TPersistent* source);
};

using TGetChildProc = std::function<void(TComponent*)>;

class TComponent : public TPersistent {
    VCL_CLASS(TComponent, TPersistent)
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* GetOwner() override { return owner_; }
    TComponent* Owner() const { return owner_; }
    const AnsiString& GetName() const { return name_; }
    virtual void SetName(const AnsiString& name);
    int GetTag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    int GetComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* GetComponents(int index) const;
    int GetComponentIndex() const;
    TComponentState GetComponentState() const { return state_; }
    AnsiString GetNamePath() override;

    TComponent* FindComponent(const AnsiString& name) const;
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();
    // Marks this component (and its owned ones) as being destroyed; destructors of descendants that must
    // know it early (windows torn down before the notifications) call it first.
    void Destroying();

    // `component` will get Notification(this, opRemove) when this component is freed, and vice versa.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Streaming hooks.
    virtual void Loaded();
    virtual void ReadState(TReader* reader);
    virtual void WriteState(TWriter* writer);
    virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }
    virtual void SetChildOrder(TComponent* child, int order);
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* parent);
    virtual void Updating();
    virtual void Updated();
    virtual void ValidateRename(TComponent* component, const AnsiString& curName, const AnsiString& newName);

    void SetDesigning(bool value);
    void SetState(TComponentStateItem item, bool on);

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    friend class TReader;

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveNotification(TComponent* component);
    void ValidateContainer(TComponent* component);

    TComponent* owner_ = nullptr;
    AnsiString name_;
    int tag_ = 0;
    TComponentState state_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

// ---------------------------------------------------------------------------------------------------------
// Lists

using TListSortCompare = int (*)(void* item1, void* item2);

class TList : public TObject {
    VCL_CLASS(TList, TObject)
    TList() = default;
    ~TList() override;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    int Remove(void* item);
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Sort(TListSortCompare compare);
    void Pack();
    virtual void Clear();
    void* First() const { return Get(0); }
    void* Last() const { return Get(GetCount() - 1); }
    int GetCount() const { return static_cast<int>(items_.size()); }
    void SetCount(int count);
    int GetCapacity() const { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int capacity);
    void* GetItems(int index) const { return Get(index); }
    void SetItems(int index, void* item) { Put(index, item); }

protected:
    virtual void Notify(void* item, TListNotification action);
    void* Get(int index) const;
    void Put(int index, void* item);
    [[noreturn]] static void Error(const char* message, int data);

private:
    void CheckIndex(int index) const;
    std::vector<void*> items_;
};

// ---------------------------------------------------------------------------------------------------------
// Strings: the abstract core (Get, GetCount, GetObject, Put, PutObject, Insert, Delete, Clear, SetUpdateState)
// that descendants implement, and everything else built on it.

class TStrings : public TPersistent {
    VCL_CLASS(TStrings, TPersistent)
    TStrings() = default;
    ~TStrings() override = default;

    virtual int Add(const AnsiString& s);
    virtual int AddObject(const AnsiString& s, TObject* object);
    void Append(const AnsiString& s) { Add(s); }
    virtual void AddStrings(TStrings* strings);
    void Assign(TPersistent* source) override;
    void BeginUpdate();
    void EndUpdate();
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int a, int b);
    virtual int IndexOf(const AnsiString& s) const;
    virtual int IndexOfName(const AnsiString& name) const;
    int IndexOfObject(TObject* object) const;
    virtual void Insert(int index, const AnsiString& s) = 0;
    virtual void InsertObject(int index, const AnsiString& s, TObject* object);
    virtual void Move(int from, int to);
    bool Equals(TStrings* other) const;
    virtual void LoadFromFile(const AnsiString& fileName);
    virtual void SaveToFile(const AnsiString& fileName);
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream);
    void DefineProperties(TFiler* filer) override;

    virtual int GetCount() const = 0;
    AnsiString GetStrings(int index) const { return Get(index); }
    void SetStrings(int index, const AnsiString& s) { Put(index, s); }
    TObject* GetObjects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }
    AnsiString GetNames(int index) const;
    AnsiString GetValues(const AnsiString& name) const;
    void SetValues(const AnsiString& name, const AnsiString& value);
    AnsiString GetValueFromIndex(int index) const;
    AnsiString GetText() const { return GetTextStr(); }
    void SetText(const AnsiString& text) { SetTextStr(text); }
    AnsiString GetCommaText() const;
    void SetCommaText(const AnsiString& text);
    AnsiString GetDelimitedText() const;
    void SetDelimitedText(const AnsiString& text);
    char GetDelimiter() const { return delimiter_; }
    void SetDelimiter(char c) { delimiter_ = c; }
    char GetQuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char c) { quoteChar_ = c; }
    char GetNameValueSeparator() const { return nameValueSeparator_; }
    int GetUpdateCount() const { return updateCount_; }

    virtual AnsiString Get(int index) const = 0;
    virtual TObject* GetObject(int index) const;
    virtual void Put(int index, const AnsiString& s);
    virtual void PutObject(int index, TObject* object);

protected:
    virtual void SetUpdateState(bool updating);
    virtual AnsiString GetTextStr() const;
    virtual void SetTextStr(const AnsiString& text);
    virtual int CompareStrings(const AnsiString& a, const AnsiString& b) const;
    [[noreturn]] static void Error(const char* message, int data);

private:
    void ReadData(TReader* reader);
    void WriteData(TWriter* writer);
    char delimiter_ = ',';
    char quoteChar_ = '"';
    char nameValueSeparator_ = '=';
    int updateCount_ = 0;
};

class TStringList : public TStrings {
    VCL_CLASS(TStringList, TStrings)
    TStringList() = default;
    ~TStringList() override;

    int Add(const AnsiString& s) override;
    int AddObject(const AnsiString& s, TObject* object) override;
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int a, int b) override;
    // Binary search of a sorted list: true when found; `index` is the match or the insertion point.
    virtual bool Find(const AnsiString& s, int& index) const;
    int IndexOf(const AnsiString& s) const override;
    void Insert(int index, const AnsiString& s) override;
    void InsertObject(int index, const AnsiString& s, TObject* object) override;
    virtual void Sort();
    void CustomSort(const std::function<int(TStringList*, int, int)>& compare);

    int GetCount() const override { return static_cast<int>(items_.size()); }
    AnsiString Get(int index) const override;
    TObject* GetObject(int index) const override;
    void Put(int index, const AnsiString& s) override;
    void PutObject(int index, TObject* object) override;

    bool GetSorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates GetDuplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool GetCaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);
    TNotifyEvent GetOnChange() const { return onChange_; }
    void SetOnChange(TNotifyEvent e) { onChange_ = std::move(e); }
    TNotifyEvent GetOnChanging() const { return onChanging_; }
    void SetOnChanging(TNotifyEvent e) { onChanging_ = std::move(e); }

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    int CompareStrings(const AnsiString& a, const AnsiString& b) const override;
    virtual void InsertItem(int index, const AnsiString& s, TObject* object);

private:
    struct Item {
        AnsiString Text;
        TObject* Object;
    };
    void CheckIndex(int index) const;
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
    TNotifyEvent onChange_, onChanging_;
};

// ---------------------------------------------------------------------------------------------------------
// Collections

class TCollection;

// Descendants keep a constructor taking the collection, defaulted to nullptr, so the collection can create them.
class TCollectionItem : public TPersistent {
    VCL_CLASS(TCollectionItem, TPersistent)
    explicit TCollectionItem(TCollection* collection = nullptr);
    ~TCollectionItem() override;

    TCollection* GetCollection() const { return collection_; }
    virtual void SetCollection(TCollection* collection);
    int GetIndex() const;
    virtual void SetIndex(int index);
    int GetID() const { return id_; }
    virtual AnsiString GetDisplayName() const;
    AnsiString GetNamePath() override;
    TPersistent* GetOwner() override;

protected:
    virtual void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
    VCL_CLASS(TCollection, TPersistent)
    explicit TCollection(TClass itemClass = TCollectionItem::StaticClass());
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* source) override;
    TCollectionItem* FindItemID(int id) const;
    int GetCount() const { return static_cast<int>(items_.size()); }
    TCollectionItem* GetItems(int index) const;
    void SetItems(int index, TCollectionItem* value);
    TClass GetItemClass() const { return itemClass_; }
    AnsiString GetNamePath() override;
    int GetUpdateCount() const { return updateCount_; }

protected:
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TListNotification action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    TClass itemClass_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    int nextId_ = 0;
};

// A collection that reports an owner (for name paths and the form designer's sake).
class TOwnedCollection : public TCollection {
    VCL_CLASS(TOwnedCollection, TCollection)
    TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}
    TPersistent* GetOwner() override { return owner_; }

private:
    TPersistent* owner_;
};

// ---------------------------------------------------------------------------------------------------------
// Streams

class TStream : public TObject {
    VCL_CLASS(TStream, TObject)
    ~TStream() override = default;
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;
    // Raise EReadError / EWriteError when fewer bytes than asked could be moved.
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);
    Int64 CopyFrom(TStream* source, Int64 count);  // count 0 = the whole source from its start
    Int64 GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(Int64 position) { Seek(position, soBeginning); }
    virtual Int64 GetSize();
    virtual void SetSize(Int64 size);
    // Form streaming helpers.
    TComponent* ReadComponent(TComponent* instance);
    TComponent* ReadComponentRes(TComponent* instance);
    void WriteComponent(TComponent* instance);
    void ReadResHeader();
};

class THandleStream : public TStream {
    VCL_CLASS(THandleStream, TStream)
    explicit THandleStream(HANDLE handle) : handle_(handle) {}
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SetSize(Int64 size) override;
    HANDLE GetHandle() const { return handle_; }

protected:
    HANDLE handle_;
};

class TFileStream : public THandleStream {
    VCL_CLASS(TFileStream, THandleStream)
    // Raises EFCreateError "Cannot create file %s" / EFOpenError "Cannot open file %s".
    TFileStream(const AnsiString& fileName, unsigned mode);
    ~TFileStream() override;
    const AnsiString& GetFileName() const { return fileName_; }

private:
    AnsiString fileName_;
};

class TCustomMemoryStream : public TStream {
    VCL_CLASS(TCustomMemoryStream, TStream)
    int Read(void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SaveToStream(TStream* stream);
    void SaveToFile(const AnsiString& fileName);
    void* GetMemory() const { return memory_; }
    Int64 GetSize() override { return size_; }

protected:
    // The stream views `memory` of `size` bytes; the caller keeps it alive.
    void SetPointer(void* memory, Int64 size);
    void* memory_ = nullptr;
    Int64 size_ = 0;
    Int64 position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
    VCL_CLASS(TMemoryStream, TCustomMemoryStream)
    TMemoryStream() = default;
    ~TMemoryStream() override;
    int Write(const void* buffer, int count) override;
    void SetSize(Int64 size) override;
    void Clear();
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const AnsiString& fileName);

private:
    void SetCapacity(Int64 capacity);
    Int64 capacity_ = 0;
};

// A stream over a string held by the stream (bytes, no conversion).
class TStringStream : public TStream {
    VCL_CLASS(TStringStream, TStream)
    explicit TStringStream(const AnsiString& data = AnsiString()) : data_(data) {}
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SetSize(Int64 size) override;
    AnsiString ReadString(int count);
    void WriteString(const AnsiString& s) { WriteBuffer(s.data(), static_cast<int>(s.size())); }
    const AnsiString& GetDataString() const { return data_; }

private:
    AnsiString data_;
    size_t position_ = 0;
};

// A read-only view of a resource of the module (RT_RCDATA for form resources).
class TResourceStream : public TCustomMemoryStream {
    VCL_CLASS(TResourceStream, TCustomMemoryStream)
    // Raises EResNotFound "Resource %s not found".
    TResourceStream(HINSTANCE instance, const AnsiString& resName, const char* resType);
    TResourceStream(HINSTANCE instance, int resId, const char* resType);
    int Write(const void* buffer, int count) override;

private:
    void Initialize(HINSTANCE instance, const char* name, const char* type, const AnsiString& shownName);
};

// ---------------------------------------------------------------------------------------------------------
// Form streaming

// Value types of the binary form format.
enum TValueType : unsigned char {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
    vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
    vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19, vaUTF8String = 20, vaDouble = 21
};
// Flags of a component header: an inherited, a positioned or an inline child.
enum TFilerFlag { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

using TReaderProc = std::function<void(TReader*)>;
using TWriterProc = std::function<void(TWriter*)>;
using TStreamProc = std::function<void(TStream*)>;

class TFiler : public TObject {
    VCL_CLASS(TFiler, TObject)
    explicit TFiler(TStream* stream) : stream_(stream) {}
    // A property the published table does not hold: read and written by the given procedures.
    virtual void DefineProperty(const AnsiString& name, const TReaderProc& readData, const TWriterProc& writeData,
                                bool hasData) = 0;
    virtual void DefineBinaryProperty(const AnsiString& name, const TStreamProc& readData,
                                      const TStreamProc& writeData, bool hasData) = 0;
    TComponent* GetRoot() const { return root_; }
    virtual void SetRoot(TComponent* root) { root_ = root; }
    TPersistent* GetAncestor() const { return ancestor_; }
    void SetAncestor(TPersistent* ancestor) { ancestor_ = ancestor; }
    TComponent* GetLookupRoot() const { return lookupRoot_; }
    TStream* GetStream() const { return stream_; }

protected:
    TStream* stream_;
    TComponent* root_ = nullptr;
    TComponent* lookupRoot_ = nullptr;
    TPersistent* ancestor_ = nullptr;
};

class TReader : public TFiler {
    VCL_CLASS(TReader, TFiler)
    explicit TReader(TStream* stream) : TFiler(stream) {}
    ~TReader() override;

    void DefineProperty(const AnsiString& name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(const AnsiString& name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override;

    // Reads the signature, then the root component into `root` (or a new one when null) and its children.
    TComponent* ReadRootComponent(TComponent* root);
    TComponent* ReadComponent(TComponent* component);
    void ReadSignature();
    void ReadComponents(TComponent* owner, TComponent* parent, const std::function<void(TComponent*)>& proc);

    TValueType NextValue();
    TValueType ReadValue();
    void CheckValue(TValueType value);
    bool EndOfList();
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    void SkipValue();
    AnsiString ReadStr();  // a short string with its length byte
    AnsiString ReadString();      // accepts vaString, vaLString, vaWString (converted), vaUTF8String
    WideString ReadWideString();  // accepts the same
    AnsiString ReadIdent();
    int ReadInteger();
    Int64 ReadInt64();
    bool ReadBoolean();
    char ReadChar();
    wchar_t ReadWideChar();
    long double ReadFloat();
    float ReadSingle();
    double ReadDate();
    Currency ReadCurrency();
    Int64 ReadSet(const TPropInfo& info);
    void ReadCollection(TCollection* collection);
    TPersistent* GetPropertyOwner() const { return propertyOwner_; }
    TComponent* GetOwner() const { return owner_; }
    void SetOwner(TComponent* owner) { owner_ = owner; }
    TComponent* GetParent() const { return parent_; }
    void SetParent(TComponent* parent) { parent_ = parent; }
    // Called by TComponent::ReadState: the properties, then the children.
    void ReadData(TComponent* instance);
    void ReadProperty(TPersistent* instance);

    void Read(void* buffer, int count);
    [[noreturn]] void PropertyError(const AnsiString& name);
    [[noreturn]] void ReadError(const char* message = "Invalid property value");

private:
    struct Fixup {
        TPersistent* Instance;
        const TPropInfo* Prop;
        AnsiString Path;  // "name" or "owner.sub"
    };
    TComponent* ReadRoot(TComponent* root);
    void ReadPropValue(TPersistent* instance, const TPropInfo& info);
    void ReadPrefix(int& flags, int& childPos);
    size_t ReadLength(size_t unit);
    TClass FindComponentClass(const AnsiString& className);
    TComponent* FindReference(const AnsiString& path) const;
    void ResolveFixups();
    void SkipProperty();
    void SkipCollection();

    TComponent* owner_ = nullptr;
    TComponent* parent_ = nullptr;
    TPersistent* propertyOwner_ = nullptr;
    AnsiString propName_;
    bool propertyHandled_ = false;
    int depth_ = 0;  // nesting guard against corrupt streams
    std::vector<TComponent*> loaded_;
    std::vector<Fixup> fixups_;
};

class TWriter : public TFiler {
    VCL_CLASS(TWriter, TFiler)
    explicit TWriter(TStream* stream) : TFiler(stream) {}
    ~TWriter() override;

    void DefineProperty(const AnsiString& name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(const AnsiString& name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override;

    // Writes the signature and the root with its children; with an ancestor (the form it inherits from),
    // components it has too are marked inherited and only values that differ from it are written.
    void WriteDescendent(TComponent* root, TComponent* ancestor);
    void WriteRootComponent(TComponent* root);
    void WriteComponent(TComponent* component);
    void WriteSignature();
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    void WriteValue(TValueType value);
    void WriteStr(const AnsiString& s);  // a short string with its length byte
    void WriteString(const AnsiString& s);
    void WriteWideString(const WideString& s);
    void WriteUTF8Str(const AnsiString& utf8);
    void WriteIdent(const AnsiString& ident);
    void WriteInteger(Int64 value);
    void WriteBoolean(bool value);
    void WriteChar(char c);
    void WriteWideChar(wchar_t c);
    void WriteFloat(long double value);
    void WriteSingle(float value);
    void WriteDate(double value);
    void WriteCurrency(Currency value);
    void WriteCollection(TCollection* collection);
    void WriteSet(Int64 bits, const std::vector<AnsiString>& names);
    // Called by TComponent::WriteState: header, properties, children.
    void WriteData(TComponent* instance);
    void WriteProperties(TPersistent* instance);
    void WritePropName(const AnsiString& name);
    void Write(const void* buffer, int count);

private:
    void WriteProperty(TPersistent* instance, const TPropInfo& info);
    AnsiString ComponentPath(TComponent* component) const;
    AnsiString propPath_;
    TComponent* rootAncestor_ = nullptr;
};

// Registered form resources load through these; the resource is named after the class, in capitals.
TComponent* ReadComponentRes(const AnsiString& resName, TComponent* instance);
// Loads every "TPF0" resource between the instance's class and `rootAncestor` (exclusive), base first;
// false when none was found.
bool InitInheritedComponent(TComponent* instance, TClass rootAncestor);
// The text form ("object frmMain: TfrmMain ... end") as binary "TPF0" stream; raises EParserError.
void ObjectTextToBinary(TStream* input, TStream* output);

// ---- references between components -----------------------------------------------------------

// Points Field at Value and keeps Holder's free notification of the referenced component in step, so
// that Holder's Notification hears when it goes.
template <class T>
void SetComponentReference(TComponent* Holder, T*& Field, T* Value)
{
    if (Field == Value)
        return;
    if (Field)
        Field->RemoveFreeNotification(Holder);
    Field = Value;
    if (Value)
        Value->FreeNotification(Holder);
}

}  // namespace vcl

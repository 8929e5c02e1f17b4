// Wide string lists with byte-order-mark aware streaming, streams opened by wide names, the ANSI view of a wide
// list, growing character buffers and a buffered stream reader.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Contnrs.h"
#include "WydSystem.h"
#include "WydWideStrings.h"

// The character set of a text stream, told by its byte-order mark.
enum TWydStreamCharSet { csAnsi, csUnicode, csUnicodeSwapped, csUtf8 };

// From the stream's position: FF FE, FE FF or EF BB BF leave the stream after the mark; anything else is
// csAnsi with the position unchanged.
TWydStreamCharSet AutoDetectCharacterSet(vcl::TStream* stream);

// ---- Streams by wide names

class TWydFileStream : public vcl::THandleStream {
    VCL_CLASS(TWydFileStream, vcl::THandleStream)
    // Mode vcl::fmCreate creates the file, any other mode opens it. Raises EFCreateError "Cannot create file
    // %s" or EFOpenError "Cannot open file %s".
    TWydFileStream(const WideString& fileName, unsigned mode);
    ~TWydFileStream() override;
};

class TWydMemoryStream : public vcl::TMemoryStream {
    VCL_CLASS(TWydMemoryStream, vcl::TMemoryStream)
    TWydMemoryStream() = default;
    void LoadFromFile(const WideString& fileName);
    void SaveToFile(const WideString& fileName);
};

class TWydResourceStream : public vcl::TCustomMemoryStream {
    VCL_CLASS(TWydResourceStream, vcl::TCustomMemoryStream)
    // Raise EResNotFound "Resource %s not found".
    TWydResourceStream(HINSTANCE instance, const WideString& resName, const wchar_t* resType);
    TWydResourceStream(HINSTANCE instance, int resId, const wchar_t* resType);
    ~TWydResourceStream() override;
    // Raises EStreamError: the resource is read-only.
    int Write(const void* buffer, int count) override;
    void SaveToFile(const WideString& fileName);

private:
    void Initialize(HINSTANCE instance, const wchar_t* name, const wchar_t* type, const WideString& shownName);
    HGLOBAL resource_ = nullptr;
};

// ---- The ANSI view of a wide list

// A class-library list whose file operations take wide names and whose stream operations take a code page.
class TAnsiStrings : public vcl::TStrings {
    VCL_CLASS(TAnsiStrings, vcl::TStrings)
    using vcl::TStrings::LoadFromFile;
    using vcl::TStrings::SaveToFile;
    void LoadFromFile(const WideString& fileName);
    void SaveToFile(const WideString& fileName);
    void LoadFromFileEx(const WideString& fileName, UINT codePage);
    // Code page 65001 (UTF-8) writes the mark EF BB BF first.
    void SaveToFileEx(const WideString& fileName, UINT codePage);
    virtual void LoadFromStreamEx(vcl::TStream* stream, UINT codePage) = 0;
    virtual void SaveToStreamEx(vcl::TStream* stream, UINT codePage) = 0;
};

// Presents a wide list as ANSI strings through a code page (0: the implicit-conversion code page).
class TAnsiStringsForWideStringsAdapter : public TAnsiStrings {
    VCL_CLASS(TAnsiStringsForWideStringsAdapter, TAnsiStrings)
    explicit TAnsiStringsForWideStringsAdapter(TWideStrings* wideStrings, UINT codePage = 0);

    AnsiString Get(int index) const override;
    void Put(int index, const AnsiString& s) override;
    void Insert(int index, const AnsiString& s) override;
    void Clear() override;
    void Delete(int index) override;
    int GetCount() const override;
    vcl::TObject* GetObject(int index) const override;
    void PutObject(int index, vcl::TObject* object) override;
    // A UTF-8 mark at the start is skipped, so a file saved with SaveToFileEx reads back unchanged.
    void LoadFromStreamEx(vcl::TStream* stream, UINT codePage) override;
    void SaveToStreamEx(vcl::TStream* stream, UINT codePage) override;

protected:
    void SetUpdateState(bool updating) override;
    virtual UINT AdapterCodePage() const;

private:
    TWideStrings* wideStrings_;
    UINT codePage_;
};

// ---- Wide string lists with byte-order marks

class TWydStrings : public TWideStrings {
    VCL_CLASS(TWydStrings, TWideStrings)
    TWydStrings();
    ~TWydStrings() override;
    // "Strings", and the UTF-7 copy of items that have no ANSI form.
    void DefineProperties(vcl::TFiler* filer) override;

    virtual void LoadFromStream_BOM(vcl::TStream* stream, bool withBOM);
    // Writes UTF-16LE with CR LF after every line, FF FE first when withBOM.
    virtual void SaveToStream_BOM(vcl::TStream* stream, bool withBOM);
    void LoadFromFile(const WideString& fileName) override;
    void LoadFromStream(vcl::TStream* stream) override;
    // Always UTF-16LE with FF FE, whatever the file read last held.
    void SaveToFile(const WideString& fileName) override;
    void SaveToStream(vcl::TStream* stream) override;

    TWydStreamCharSet GetLastFileCharSet() const { return lastFileCharSet_; }
    TAnsiStrings* GetAnsiStrings() const { return ansiStrings_; }
    void SetAnsiStrings(vcl::TStrings* strings) { ansiStrings_->Assign(strings); }

private:
    TWydStreamCharSet lastFileCharSet_ = csUnicode;
    TAnsiStringsForWideStringsAdapter* ansiStrings_;
};

class TWydStringList;
using TWideStringListSortCompare = int (*)(TWydStringList* list, int index1, int index2);

class TWydStringList : public TWydStrings {
    VCL_CLASS(TWydStringList, TWydStrings)
    TWydStringList() = default;
    ~TWydStringList() override;

    WideString Get(int index) const override;
    int GetCapacity() const override { return capacity_; }
    int GetCount() const override { return count_; }
    vcl::TObject* GetObject(int index) const override;
    void Put(int index, const WideString& s) override;
    void PutObject(int index, vcl::TObject* object) override;
    // Never below the count: a smaller request keeps the count.
    void SetCapacity(int capacity) override;
    int CompareStrings(const WideString& a, const WideString& b) const override;
    int Add(const WideString& s) override;
    int AddObject(const WideString& s, vcl::TObject* object) override;
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const WideString& s) const override;
    int IndexOfName(const WideString& name) const override;
    void Insert(int index, const WideString& s) override;
    void InsertObject(int index, const WideString& s, vcl::TObject* object) override;
    // Refused on a sorted list (before anything moves).
    void Move(int curIndex, int newIndex) override;

    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int index, const WideString& s, vcl::TObject* object);
    // Binary search of a sorted list: true when found; `index` is the match or the insertion point.
    virtual bool Find(const WideString& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(TWideStringListSortCompare compare);
    void ExchangeItems(int index1, int index2);

    bool GetSorted() const { return sorted_; }
    void SetSorted(bool sorted);
    vcl::TDuplicates GetDuplicates() const { return duplicates_; }
    void SetDuplicates(vcl::TDuplicates duplicates) { duplicates_ = duplicates; }
    bool GetCaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);
    vcl::TNotifyEvent OnChange;
    vcl::TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;

private:
    struct Item {
        WideString string;
        vcl::TObject* object = nullptr;
    };
    void Grow();
    void CheckIndex(int index) const;
    void QuickSort(int left, int right, TWideStringListSortCompare compare);

    bool updating_ = false;
    std::vector<Item> items_; // items_.size() is the capacity
    int count_ = 0;
    int capacity_ = 0;
    bool sorted_ = false;
    vcl::TDuplicates duplicates_ = vcl::dupIgnore;
    bool caseSensitive_ = false;
};

// ---- Buffers and the buffered reader

// A growing character buffer; the part beyond the used count is always zero.
template <typename Char> class TBufferedString {
public:
    using String = std::basic_string<Char>;

    void AddChar(Char c) {
        Reserve(count_ + 1);
        buffer_[count_++] = c;
    }
    void AddString(const String& s) {
        Reserve(count_ + s.size());
        std::copy(s.begin(), s.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(count_));
        count_ += s.size();
    }
    // Appends up to n characters, stopping at a NUL.
    void AddBuffer(const Char* p, size_t n) {
        size_t length = 0;
        while (length < n && p[length]) ++length;
        AddString(String(p, length));
    }
    // Empties the buffer; it keeps its size.
    void Clear() {
        std::fill(buffer_.begin(), buffer_.end(), Char(0));
        count_ = 0;
    }
    // The characters up to the first NUL.
    String Value() const { return String(buffer_.c_str()); }
    const Char* BuffPtr() const { return buffer_.c_str(); }

private:
    // Grows geometrically, so appending one character at a time stays linear.
    void Reserve(size_t needed) {
        if (needed < buffer_.size()) return;
        buffer_.resize(std::max<size_t>({needed + 1, 32, buffer_.size() * 2}), Char(0));
    }

    String buffer_;
    size_t count_ = 0;
};

using TBufferedWideString = TBufferedString<wchar_t>;
using TBufferedAnsiString = TBufferedString<char>;

// A read-only stream over another, reading it in blocks of `bufferSize` bytes.
class TBufferedStreamReader : public vcl::TStream {
    VCL_CLASS(TBufferedStreamReader, vcl::TStream)
    explicit TBufferedStreamReader(vcl::TStream* source, int bufferSize = 1024);
    int Read(void* buffer, int count) override;
    // Raises EWydInternalError: the reader cannot write.
    int Write(const void* buffer, int count) override;
    vcl::Int64 Seek(vcl::Int64 offset, vcl::TSeekOrigin origin) override;
    vcl::Int64 GetSize() override { return sourceSize_; }

private:
    void FillBuffer(vcl::Int64 start);

    vcl::TStream* source_;
    vcl::Int64 sourceSize_;
    std::vector<char> buffer_;
    vcl::Int64 bufferStart_;
    vcl::Int64 bufferValid_ = 0; // bytes of buffer_ the source really delivered
    vcl::Int64 position_ = 0;
};

// ---- Sorted lists and COM classes

using TListTargetCompare = int (*)(void* item, void* target);
// Binary search of a class-library list; `index` is the found position or the insertion point.
bool FindSortedListByTarget(vcl::TList* list, TListTargetCompare compare, void* target, int& index);

// Whether a COM class is registered with an in-process server file that exists.
bool ClassIsRegistered(const CLSID& clsid);

// ---- Wide twins of ANSI properties

// A stored wide value counts only while its ANSI form equals the ANSI value the class library holds now;
// any change made through the ANSI property wins on the next read.
using TSetAnsiStrEvent = std::function<void(const AnsiString&)>;
WideString GetSyncedWideString(WideString& wideStr, const AnsiString& ansiStr);
void SetSyncedWideString(const WideString& value, WideString& wideStr, const AnsiString& ansiStr,
                         const TSetAnsiStrEvent& setAnsiStr);

// A hidden companion of one component, kept in a list sorted by the served component's address. When the
// component goes, the helper leaves the list at once and is freed at the next safe moment (never from inside
// the component's own destruction).
class TWideComponentHelper : public vcl::TComponent {
    VCL_CLASS(TWideComponentHelper, vcl::TComponent)
    explicit TWideComponentHelper(vcl::TComponent* component); // raises: helpers are made with their list
    TWideComponentHelper(vcl::TComponent* component, vcl::TComponentList* list);
    vcl::TComponent* GetComponent() const { return component_; }

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    vcl::TComponent* component_ = nullptr;
    vcl::TComponentList* list_ = nullptr;
};

TWideComponentHelper* FindWideComponentHelper(vcl::TComponentList* list, vcl::TComponent* component);
// Frees the helpers whose components have gone (called before the list changes and at unit finalisation).
void FreeOrphanedWideComponentHelpers();

// ---- Wide property filers

// The UTF-8 and UTF-7 companions of wide properties are applied at run time only while this is true.
extern bool RuntimeUTFStreaming;
// Called by a Unicode class's DefineProperties after the inherited one: the companions of its published
// wide string and wide character properties.
void WydPersistent_AfterInherited_DefineProperties(vcl::TFiler* filer, vcl::TPersistent* instance);
// The item lists of wide string lists in form streams.
void WideStrings_DefineProperties(vcl::TFiler* filer, TWideStrings* strings);
void WydStrings_DefineProperties(vcl::TFiler* filer, TWydStrings* strings);

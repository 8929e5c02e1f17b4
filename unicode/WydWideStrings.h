// TWideStrings: the abstract list of wide strings with objects, text, comma text, names and values, and
// UTF-16LE streaming; the wide counterpart of the class library's TStrings.
#pragma once

#include <memory>

#include "Classes.h"
#include "WydSystem.h"

class TWideStrings;

// Something that presents a wide list elsewhere; attached with the list, detached when replaced.
class IWideStringsAdapter {
public:
    virtual ~IWideStringsAdapter() = default;
    virtual void ReferenceStrings(TWideStrings* strings) = 0;
    virtual void ReleaseStrings() = 0;
};

class TWideStringsEnumerator {
public:
    explicit TWideStringsEnumerator(const TWideStrings* strings) : strings_(strings) {}
    bool MoveNext();
    WideString GetCurrent() const;

private:
    const TWideStrings* strings_;
    int index_ = -1;
};

class TWideStrings : public vcl::TPersistent {
    VCL_CLASS(TWideStrings, vcl::TPersistent)
    TWideStrings() = default;
    ~TWideStrings() override;
    TWideStrings(const TWideStrings&) = delete;
    TWideStrings& operator=(const TWideStrings&) = delete;
    // "Strings" in form streams: every item as a wide string.
    void DefineProperties(vcl::TFiler* filer) override;

    // The virtual operations, in the order descendants know them.
    virtual WideString Get(int index) const = 0;
    virtual int GetCapacity() const;
    virtual int GetCount() const = 0;
    virtual vcl::TObject* GetObject(int index) const;
    virtual WideString GetTextStr() const;
    virtual void Put(int index, const WideString& s);
    virtual void PutObject(int index, vcl::TObject* object);
    virtual void SetCapacity(int capacity);
    virtual void SetTextStr(const WideString& text);
    virtual int CompareStrings(const WideString& a, const WideString& b) const;
    virtual int Add(const WideString& s);
    virtual int AddObject(const WideString& s, vcl::TObject* object);
    virtual void AddStrings(vcl::TStrings* strings);
    virtual void AddStrings(TWideStrings* strings);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int index1, int index2);
    // A copy of Text the caller frees with WStrDispose.
    virtual wchar_t* GetTextW() const;
    virtual int IndexOf(const WideString& s) const;
    virtual int IndexOfName(const WideString& name) const;
    virtual int IndexOfObject(vcl::TObject* object) const;
    virtual void Insert(int index, const WideString& s) = 0;
    virtual void InsertObject(int index, const WideString& s, vcl::TObject* object);
    virtual void LoadFromFile(const WideString& fileName);
    virtual void LoadFromStream(vcl::TStream* stream);
    virtual void Move(int curIndex, int newIndex);
    virtual void SaveToFile(const WideString& fileName);
    virtual void SaveToStream(vcl::TStream* stream);
    virtual void SetTextW(const wchar_t* text);

    void Assign(vcl::TPersistent* source) override;

    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return updateCount_; }
    void Append(const WideString& s) { Add(s); }
    // Same count and every item equal by exact comparison.
    bool Equals(const TWideStrings* strings) const;
    TWideStringsEnumerator GetEnumerator() const { return TWideStringsEnumerator(this); }
    // The part before the first '=', empty when s holds none.
    WideString ExtractName(const WideString& s) const;

    WideString GetStrings(int index) const { return Get(index); }
    void SetStrings(int index, const WideString& s) { Put(index, s); }
    vcl::TObject* GetObjects(int index) const { return GetObject(index); }
    void SetObjects(int index, vcl::TObject* object) { PutObject(index, object); }
    WideString GetText() const { return GetTextStr(); }
    void SetText(const WideString& text) { SetTextStr(text); }
    WideString GetCommaText() const;
    void SetCommaText(const WideString& text);
    WideString GetDelimitedText() const;
    void SetDelimitedText(const WideString& text);
    wchar_t GetDelimiter() const;
    // A NUL delimiter would let the parser run past the text's end: it is refused.
    void SetDelimiter(wchar_t delimiter);
    wchar_t GetQuoteChar() const;
    void SetQuoteChar(wchar_t quoteChar);
    wchar_t GetNameValueSeparator() const { return L'='; }
    WideString GetNames(int index) const;
    WideString GetValues(const WideString& name) const;
    void SetValues(const WideString& name, const WideString& value);
    WideString GetValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const WideString& value);
    const std::shared_ptr<IWideStringsAdapter>& GetStringsAdapter() const { return adapter_; }
    void SetStringsAdapter(const std::shared_ptr<IWideStringsAdapter>& adapter);

protected:
    void AssignTo(vcl::TPersistent* dest) override;
    virtual void SetUpdateState(bool updating);
    // Raises EStringListError with the message formatted with `data`.
    [[noreturn]] static void Error(const char* message, int data);

private:
    enum DefinedFlag : unsigned { sdDelimiter = 1, sdQuoteChar = 2 };
    mutable unsigned defined_ = 0;
    mutable wchar_t delimiter_ = L',';
    mutable wchar_t quoteChar_ = L'"';
    int updateCount_ = 0;
    std::shared_ptr<IWideStringsAdapter> adapter_;
};

// The messages of list errors.
extern const char* const SWydListIndexError;   // "List index out of bounds (%d)"
extern const char* const SWydSortedListError;  // "Operation not allowed on sorted list"
extern const char* const SWydDuplicateString;  // "String list does not allow duplicates"

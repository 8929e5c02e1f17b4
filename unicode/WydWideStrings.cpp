// The abstract wide string list: text, delimited text, names and values, assignment and UTF-16LE streaming.
#include "WydWideStrings.h"

#include <algorithm>
#include <vector>

#include "SysUtils.h"
#include "WydClasses.h"
#include "WydWideStrUtils.h"

const char* const SWydListIndexError = "List index out of bounds (%d)";
const char* const SWydSortedListError = "Operation not allowed on sorted list";
const char* const SWydDuplicateString = "String list does not allow duplicates";

VCL_IMPLEMENT_CLASS(TWideStrings, vcl::TPersistent)

namespace {

bool IsBlankOrControl(wchar_t c) { return c >= 1 && c <= L' '; }

// The bytes from the stream's position to its end.
std::vector<char> ReadRest(vcl::TStream* stream) {
    const vcl::Int64 remaining = stream->GetSize() - stream->GetPosition();
    std::vector<char> bytes(remaining > 0 ? static_cast<size_t>(remaining) : 0);
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

} // namespace

bool TWideStringsEnumerator::MoveNext() {
    if (index_ >= strings_->GetCount() - 1) return false;
    ++index_;
    return true;
}

WideString TWideStringsEnumerator::GetCurrent() const { return strings_->Get(index_); }

TWideStrings::~TWideStrings() { SetStringsAdapter(nullptr); }

void TWideStrings::Error(const char* message, int data) { throw vcl::EStringListError(message, {data}); }

int TWideStrings::GetCapacity() const { return GetCount(); }
vcl::TObject* TWideStrings::GetObject(int) const { return nullptr; }
void TWideStrings::PutObject(int, vcl::TObject*) {}
void TWideStrings::SetCapacity(int) {}
void TWideStrings::SetUpdateState(bool) {}

WideString TWideStrings::GetTextStr() const {
    const int count = GetCount();
    size_t size = 0;
    for (int i = 0; i < count; ++i) size += Get(i).size() + 2;
    WideString result;
    result.reserve(size);
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += L"\r\n";
    }
    return result;
}

void TWideStrings::SetTextStr(const WideString& text) {
    vcl::TUpdateScope<TWideStrings> update(this);
    Clear();
    const wchar_t* p = text.c_str();
    while (*p) {
        const wchar_t* start = p;
        while (*p && *p != L'\n' && *p != L'\r' && *p != 0x2028) ++p;
        Add(WideString(start, static_cast<size_t>(p - start)));
        if (*p == L'\r') ++p;
        if (*p == L'\n') ++p;
        if (*p == 0x2028) ++p;
    }
}

int TWideStrings::CompareStrings(const WideString& a, const WideString& b) const {
    return vcl::WideCompareText(a, b);
}

int TWideStrings::Add(const WideString& s) {
    const int index = GetCount();
    Insert(index, s);
    return index;
}

int TWideStrings::AddObject(const WideString& s, vcl::TObject* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TWideStrings::AddStrings(vcl::TStrings* strings) {
    vcl::TUpdateScope<TWideStrings> update(this);
    const int count = strings->GetCount();
    for (int i = 0; i < count; ++i) AddObject(vcl::AnsiToWide(strings->Get(i)), strings->GetObject(i));
}

void TWideStrings::AddStrings(TWideStrings* strings) {
    vcl::TUpdateScope<TWideStrings> update(this);
    // Counted first: adding a list to itself doubles it instead of running for ever.
    const int count = strings->GetCount();
    for (int i = 0; i < count; ++i) AddObject(strings->Get(i), strings->GetObject(i));
}

void TWideStrings::Put(int index, const WideString& s) {
    vcl::TUpdateScope<TWideStrings> update(this);
    vcl::TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

void TWideStrings::Exchange(int index1, int index2) {
    vcl::TUpdateScope<TWideStrings> update(this);
    const WideString s1 = Get(index1);
    vcl::TObject* object1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s1);
    PutObject(index2, object1);
}

wchar_t* TWideStrings::GetTextW() const { return WStrNew(GetTextStr().c_str()); }
void TWideStrings::SetTextW(const wchar_t* text) { SetTextStr(WStrPas(text)); }

int TWideStrings::IndexOf(const WideString& s) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TWideStrings::IndexOfName(const WideString& name) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const WideString s = Get(i);
        const size_t equals = s.find(L'=');
        if (equals != WideString::npos && CompareStrings(s.substr(0, equals), name) == 0) return i;
    }
    return -1;
}

int TWideStrings::IndexOfObject(vcl::TObject* object) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

void TWideStrings::InsertObject(int index, const WideString& s, vcl::TObject* object) {
    vcl::TUpdateScope<TWideStrings> update(this);
    Insert(index, s);
    PutObject(index, object);
}

void TWideStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    // Both indexes are checked before the item leaves its place, so a refused move loses nothing.
    const int count = GetCount();
    if (curIndex < 0 || curIndex >= count) Error(SWydListIndexError, curIndex);
    if (newIndex < 0 || newIndex >= count) Error(SWydListIndexError, newIndex);
    vcl::TUpdateScope<TWideStrings> update(this);
    const WideString s = Get(curIndex);
    vcl::TObject* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
}

void TWideStrings::LoadFromFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TWideStrings::SaveToFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmCreate);
    SaveToStream(&stream);
}

void TWideStrings::LoadFromStream(vcl::TStream* stream) {
    vcl::TUpdateScope<TWideStrings> update(this);
    const std::vector<char> bytes = ReadRest(stream);
    WideString text(bytes.size() / 2, L'\0');
    if (!text.empty()) memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    SetTextStr(text);
}

void TWideStrings::SaveToStream(vcl::TStream* stream) {
    const WideString text = GetTextStr();
    stream->WriteBuffer(text.data(), static_cast<int>(text.size() * sizeof(wchar_t)));
}

void TWideStrings::Assign(vcl::TPersistent* source) {
    if (source == this) return;
    if (auto* wide = dynamic_cast<TWideStrings*>(source)) {
        vcl::TUpdateScope<TWideStrings> update(this);
        Clear();
        defined_ = wide->defined_;
        delimiter_ = wide->delimiter_;
        quoteChar_ = wide->quoteChar_;
        AddStrings(wide);
        return;
    }
    if (auto* ansi = dynamic_cast<vcl::TStrings*>(source)) {
        vcl::TUpdateScope<TWideStrings> update(this);
        Clear();
        SetQuoteChar(vcl::AnsiToWide(AnsiString(1, ansi->GetQuoteChar()))[0]);
        SetDelimiter(vcl::AnsiToWide(AnsiString(1, ansi->GetDelimiter()))[0]);
        AddStrings(ansi);
        return;
    }
    inherited::Assign(source);
}

void TWideStrings::AssignTo(vcl::TPersistent* dest) {
    if (auto* wide = dynamic_cast<TWideStrings*>(dest)) {
        wide->Assign(this);
        return;
    }
    if (auto* ansi = dynamic_cast<vcl::TStrings*>(dest)) {
        ansi->BeginUpdate();
        try {
            ansi->Clear();
            ansi->SetQuoteChar(vcl::WideToAnsi(WideString(1, GetQuoteChar()))[0]);
            ansi->SetDelimiter(vcl::WideToAnsi(WideString(1, GetDelimiter()))[0]);
            const int count = GetCount();
            for (int i = 0; i < count; ++i) ansi->AddObject(vcl::WideToAnsi(Get(i)), GetObject(i));
        } catch (...) {
            ansi->EndUpdate();
            throw;
        }
        ansi->EndUpdate();
        return;
    }
    inherited::AssignTo(dest);
}

void TWideStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TWideStrings::EndUpdate() {
    // An unmatched EndUpdate must not leave the count below zero (silencing every later change).
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) SetUpdateState(false);
}

bool TWideStrings::Equals(const TWideStrings* strings) const {
    const int count = GetCount();
    if (count != strings->GetCount()) return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != strings->Get(i)) return false;
    return true;
}

WideString TWideStrings::ExtractName(const WideString& s) const {
    const size_t equals = s.find(L'=');
    return equals == WideString::npos ? WideString() : s.substr(0, equals);
}

wchar_t TWideStrings::GetDelimiter() const {
    if (!(defined_ & sdDelimiter)) {
        delimiter_ = L',';
        defined_ |= sdDelimiter;
    }
    return delimiter_;
}

void TWideStrings::SetDelimiter(wchar_t delimiter) {
    if (delimiter == 0) return;
    delimiter_ = delimiter;
    defined_ |= sdDelimiter;
}

wchar_t TWideStrings::GetQuoteChar() const {
    if (!(defined_ & sdQuoteChar)) {
        quoteChar_ = L'"';
        defined_ |= sdQuoteChar;
    }
    return quoteChar_;
}

void TWideStrings::SetQuoteChar(wchar_t quoteChar) {
    quoteChar_ = quoteChar;
    defined_ |= sdQuoteChar;
}

WideString TWideStrings::GetDelimitedText() const {
    const int count = GetCount();
    const wchar_t quote = GetQuoteChar();
    const wchar_t delimiter = GetDelimiter();
    if (count == 1 && Get(0).empty()) return WideString(2, quote);
    WideString result;
    for (int i = 0; i < count; ++i) {
        const WideString s = Get(i);
        const bool needsQuotes = std::any_of(s.begin(), s.end(), [&](wchar_t c) {
            return c <= L' ' || c == quote || c == delimiter;
        });
        if (i > 0) result += delimiter;
        result += needsQuotes ? WideQuotedStr(s, quote) : s;
    }
    return result;
}

void TWideStrings::SetDelimitedText(const WideString& text) {
    vcl::TUpdateScope<TWideStrings> update(this);
    Clear();
    const wchar_t quote = GetQuoteChar();
    const wchar_t delimiter = GetDelimiter();
    const wchar_t* p = text.c_str();
    const wchar_t* const end = p + wcslen(p);
    while (p < end && IsBlankOrControl(*p)) ++p;
    while (p < end) {
        if (*p == quote) {
            Add(WideExtractQuotedStr(p, quote));
        } else {
            const wchar_t* start = p;
            while (p < end && *p > L' ' && *p != delimiter) ++p;
            Add(WideString(start, static_cast<size_t>(p - start)));
        }
        while (p < end && IsBlankOrControl(*p)) ++p;
        if (p < end && *p == delimiter) {
            if (p + 1 == end) Add(WideString());
            ++p;
            while (p < end && IsBlankOrControl(*p)) ++p;
        }
    }
}

WideString TWideStrings::GetCommaText() const {
    const unsigned savedDefined = defined_;
    const wchar_t savedDelimiter = delimiter_;
    const wchar_t savedQuote = quoteChar_;
    delimiter_ = L',';
    quoteChar_ = L'"';
    defined_ = sdDelimiter | sdQuoteChar;
    WideString result;
    try {
        result = GetDelimitedText();
    } catch (...) {
        defined_ = savedDefined;
        delimiter_ = savedDelimiter;
        quoteChar_ = savedQuote;
        throw;
    }
    defined_ = savedDefined;
    delimiter_ = savedDelimiter;
    quoteChar_ = savedQuote;
    return result;
}

void TWideStrings::SetCommaText(const WideString& text) {
    SetDelimiter(L',');
    SetQuoteChar(L'"');
    SetDelimitedText(text);
}

WideString TWideStrings::GetNames(int index) const { return ExtractName(Get(index)); }

WideString TWideStrings::GetValues(const WideString& name) const {
    const int index = IndexOfName(name);
    return index >= 0 ? GetValueFromIndex(index) : WideString();
}

void TWideStrings::SetValues(const WideString& name, const WideString& value) {
    int index = IndexOfName(name);
    if (!value.empty()) {
        if (index < 0) index = Add(WideString());
        Put(index, name + L"=" + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

WideString TWideStrings::GetValueFromIndex(int index) const {
    if (index < 0) return WideString();
    // The text after the item's own '=': a locale match may pair names of different lengths.
    const WideString s = Get(index);
    const size_t equals = s.find(L'=');
    return equals == WideString::npos ? WideString() : s.substr(equals + 1);
}

void TWideStrings::SetValueFromIndex(int index, const WideString& value) {
    if (!value.empty()) {
        if (index < 0) index = Add(WideString());
        Put(index, GetNames(index) + L"=" + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

void TWideStrings::SetStringsAdapter(const std::shared_ptr<IWideStringsAdapter>& adapter) {
    if (adapter_) adapter_->ReleaseStrings();
    adapter_ = adapter;
    if (adapter_) adapter_->ReferenceStrings(this);
}

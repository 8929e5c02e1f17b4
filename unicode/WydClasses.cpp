// Wide string lists with byte-order marks, wide-named streams, the ANSI adapter and the buffered reader.
#include "WydClasses.h"

#include <objbase.h>

#include <cstring>

#include "SysUtils.h"
#include "WydSysUtils.h"

VCL_IMPLEMENT_CLASS(TWydFileStream, vcl::THandleStream)
VCL_IMPLEMENT_CLASS(TWydMemoryStream, vcl::TMemoryStream)
VCL_IMPLEMENT_CLASS(TWydResourceStream, vcl::TCustomMemoryStream)
VCL_IMPLEMENT_CLASS(TAnsiStrings, vcl::TStrings)
VCL_IMPLEMENT_CLASS(TAnsiStringsForWideStringsAdapter, TAnsiStrings)
VCL_IMPLEMENT_CLASS(TWydStrings, TWideStrings)
VCL_IMPLEMENT_CLASS(TWydStringList, TWydStrings)
VCL_IMPLEMENT_CLASS(TBufferedStreamReader, vcl::TStream)

using vcl::Int64;

namespace {

const char utf8Mark[] = "\xEF\xBB\xBF";

AnsiString ReadRestBytes(vcl::TStream* stream) {
    const Int64 remaining = stream->GetSize() - stream->GetPosition();
    AnsiString bytes(remaining > 0 ? static_cast<size_t>(remaining) : 0, '\0');
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

WideString SwappedBytes(WideString text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(((c & 0xFF) << 8) | ((c >> 8) & 0xFF));
    return text;
}

} // namespace

TWydStreamCharSet AutoDetectCharacterSet(vcl::TStream* stream) {
    const Int64 start = stream->GetPosition();
    const Int64 remaining = stream->GetSize() - start;
    unsigned char mark[3] = {};
    if (remaining >= 2) {
        stream->ReadBuffer(mark, 2);
        if (mark[0] == 0xFF && mark[1] == 0xFE) return csUnicode;
        if (mark[0] == 0xFE && mark[1] == 0xFF) return csUnicodeSwapped;
        stream->SetPosition(start);
    }
    if (remaining >= 3) {
        stream->ReadBuffer(mark, 3);
        if (memcmp(mark, utf8Mark, 3) == 0) return csUtf8;
        stream->SetPosition(start);
    }
    return csAnsi;
}

// ---- Streams

TWydFileStream::TWydFileStream(const WideString& fileName, unsigned mode)
    : vcl::THandleStream(mode == vcl::fmCreate ? WideFileCreate(fileName) : WideFileOpen(fileName, mode)) {
    if (handle_ != INVALID_HANDLE_VALUE) return;
    const AnsiString shownName = vcl::WideToAnsi(WideExpandFileName(fileName));
    if (mode == vcl::fmCreate) throw vcl::EFCreateError("Cannot create file %s", {shownName});
    throw vcl::EFOpenError("Cannot open file %s", {shownName});
}

TWydFileStream::~TWydFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

void TWydMemoryStream::LoadFromFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TWydMemoryStream::SaveToFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmCreate);
    SaveToStream(&stream);
}

TWydResourceStream::TWydResourceStream(HINSTANCE instance, const WideString& resName, const wchar_t* resType) {
    Initialize(instance, resName.c_str(), resType, resName);
}

TWydResourceStream::TWydResourceStream(HINSTANCE instance, int resId, const wchar_t* resType) {
    // A numbered resource is shown by its number.
    Initialize(instance, MAKEINTRESOURCEW(resId), resType, std::to_wstring(resId));
}

void TWydResourceStream::Initialize(HINSTANCE instance, const wchar_t* name, const wchar_t* type,
                                    const WideString& shownName) {
    const HRSRC info = FindResourceW(instance, name, type);
    resource_ = info ? LoadResource(instance, info) : nullptr;
    if (!resource_) throw vcl::EResNotFound("Resource %s not found", {vcl::WideToAnsi(shownName)});
    SetPointer(LockResource(resource_), SizeofResource(instance, info));
}

TWydResourceStream::~TWydResourceStream() {
    UnlockResource(resource_);
    FreeResource(resource_);
}

int TWydResourceStream::Write(const void*, int) {
    throw vcl::EStreamError("Can't write to a read-only resource stream");
}

void TWydResourceStream::SaveToFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmCreate);
    SaveToStream(&stream);
}

// ---- ANSI view

void TAnsiStrings::LoadFromFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TAnsiStrings::SaveToFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmCreate);
    SaveToStream(&stream);
}

void TAnsiStrings::LoadFromFileEx(const WideString& fileName, UINT codePage) {
    TWydFileStream stream(fileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    LoadFromStreamEx(&stream, codePage);
}

void TAnsiStrings::SaveToFileEx(const WideString& fileName, UINT codePage) {
    TWydFileStream stream(fileName, vcl::fmCreate);
    if (codePage == CP_UTF8) stream.WriteBuffer(utf8Mark, 3);
    SaveToStreamEx(&stream, codePage);
}

TAnsiStringsForWideStringsAdapter::TAnsiStringsForWideStringsAdapter(TWideStrings* wideStrings, UINT codePage)
    : wideStrings_(wideStrings), codePage_(codePage) {}

UINT TAnsiStringsForWideStringsAdapter::AdapterCodePage() const {
    return codePage_ != 0 ? codePage_ : vcl::DefaultSystemCodePage;
}

AnsiString TAnsiStringsForWideStringsAdapter::Get(int index) const {
    return WideStringToStringEx(wideStrings_->Get(index), AdapterCodePage());
}

void TAnsiStringsForWideStringsAdapter::Put(int index, const AnsiString& s) {
    wideStrings_->Put(index, StringToWideStringEx(s, AdapterCodePage()));
}

void TAnsiStringsForWideStringsAdapter::Insert(int index, const AnsiString& s) {
    wideStrings_->Insert(index, StringToWideStringEx(s, AdapterCodePage()));
}

void TAnsiStringsForWideStringsAdapter::Clear() { wideStrings_->Clear(); }
void TAnsiStringsForWideStringsAdapter::Delete(int index) { wideStrings_->Delete(index); }
int TAnsiStringsForWideStringsAdapter::GetCount() const { return wideStrings_->GetCount(); }

vcl::TObject* TAnsiStringsForWideStringsAdapter::GetObject(int index) const {
    return wideStrings_->GetObject(index);
}

void TAnsiStringsForWideStringsAdapter::PutObject(int index, vcl::TObject* object) {
    wideStrings_->PutObject(index, object);
}

void TAnsiStringsForWideStringsAdapter::SetUpdateState(bool updating) {
    if (updating) wideStrings_->BeginUpdate();
    else wideStrings_->EndUpdate();
}

void TAnsiStringsForWideStringsAdapter::LoadFromStreamEx(vcl::TStream* stream, UINT codePage) {
    AnsiString bytes = ReadRestBytes(stream);
    if (codePage == CP_UTF8 && bytes.compare(0, 3, utf8Mark) == 0) bytes.erase(0, 3);
    vcl::TUpdateScope<TWideStrings> update(wideStrings_);
    wideStrings_->SetText(StringToWideStringEx(bytes, codePage));
}

void TAnsiStringsForWideStringsAdapter::SaveToStreamEx(vcl::TStream* stream, UINT codePage) {
    const AnsiString bytes = WideStringToStringEx(wideStrings_->GetText(), codePage);
    stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

// ---- TWydStrings

TWydStrings::TWydStrings() : ansiStrings_(new TAnsiStringsForWideStringsAdapter(this)) {}

TWydStrings::~TWydStrings() { delete ansiStrings_; }

void TWydStrings::LoadFromStream_BOM(vcl::TStream* stream, bool withBOM) {
    vcl::TUpdateScope<TWideStrings> update(this);
    const TWydStreamCharSet charSet = withBOM ? AutoDetectCharacterSet(stream) : csUnicode;
    const AnsiString bytes = ReadRestBytes(stream);
    switch (charSet) {
    case csUnicode: SetTextStr(UCS2ToWideString(bytes)); break;
    case csUnicodeSwapped: SetTextStr(SwappedBytes(UCS2ToWideString(bytes))); break;
    case csUtf8: SetTextStr(UTF8ToWideString(bytes)); break;
    case csAnsi: SetTextStr(StringToWideStringEx(bytes, vcl::DefaultSystemCodePage)); break;
    }
}

void TWydStrings::SaveToStream_BOM(vcl::TStream* stream, bool withBOM) {
    if (withBOM) stream->WriteBuffer("\xFF\xFE", 2);
    const WideString text = GetTextStr();
    stream->WriteBuffer(text.data(), static_cast<int>(text.size() * sizeof(wchar_t)));
}

void TWydStrings::LoadFromStream(vcl::TStream* stream) { LoadFromStream_BOM(stream, true); }
void TWydStrings::SaveToStream(vcl::TStream* stream) { SaveToStream_BOM(stream, true); }

void TWydStrings::LoadFromFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    lastFileCharSet_ = AutoDetectCharacterSet(&stream);
    stream.SetPosition(0);
    LoadFromStream(&stream);
}

void TWydStrings::SaveToFile(const WideString& fileName) {
    TWydFileStream stream(fileName, vcl::fmCreate);
    SaveToStream(&stream);
}

// ---- TWydStringList

TWydStringList::~TWydStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    items_.clear();
    count_ = 0;
    capacity_ = 0;
}

void TWydStringList::CheckIndex(int index) const {
    if (index < 0 || index >= count_) Error(SWydListIndexError, index);
}

void TWydStringList::Changed() {
    if (!updating_) OnChange(this);
}

void TWydStringList::Changing() {
    if (!updating_) OnChanging(this);
}

void TWydStringList::SetUpdateState(bool updating) {
    // The bracket's one OnChanging comes before the flag silences the rest, its one OnChange after.
    if (updating) {
        Changing();
        updating_ = true;
    } else {
        updating_ = false;
        Changed();
    }
}

WideString TWydStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].string;
}

vcl::TObject* TWydStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TWydStringList::Put(int index, const WideString& s) {
    if (sorted_) Error(SWydSortedListError, 0);
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].string = s;
    Changed();
}

void TWydStringList::PutObject(int index, vcl::TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

void TWydStringList::SetCapacity(int capacity) {
    capacity_ = std::max(capacity, count_);
    items_.resize(static_cast<size_t>(capacity_));
}

void TWydStringList::Grow() {
    const int delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
    SetCapacity(capacity_ + delta);
}

int TWydStringList::CompareStrings(const WideString& a, const WideString& b) const {
    return caseSensitive_ ? vcl::WideCompareStr(a, b) : vcl::WideCompareText(a, b);
}

int TWydStringList::Add(const WideString& s) { return AddObject(s, nullptr); }

int TWydStringList::AddObject(const WideString& s, vcl::TObject* object) {
    int index = count_;
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == vcl::dupIgnore) return index;
        if (duplicates_ == vcl::dupError) Error(SWydDuplicateString, 0);
    }
    InsertItem(index, s, object);
    return index;
}

void TWydStringList::InsertItem(int index, const WideString& s, vcl::TObject* object) {
    Changing();
    if (count_ == capacity_) Grow();
    std::move_backward(items_.begin() + index, items_.begin() + count_, items_.begin() + count_ + 1);
    items_[static_cast<size_t>(index)] = Item{s, object};
    ++count_;
    Changed();
}

void TWydStringList::Insert(int index, const WideString& s) { InsertObject(index, s, nullptr); }

void TWydStringList::InsertObject(int index, const WideString& s, vcl::TObject* object) {
    if (sorted_) Error(SWydSortedListError, 0);
    if (index < 0 || index > count_) Error(SWydListIndexError, index);
    InsertItem(index, s, object);
}

void TWydStringList::Clear() {
    if (count_ == 0) return;
    Changing();
    items_.clear();
    items_.shrink_to_fit();
    count_ = 0;
    capacity_ = 0;
    Changed();
}

void TWydStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    std::move(items_.begin() + index + 1, items_.begin() + count_, items_.begin() + index);
    --count_;
    items_[static_cast<size_t>(count_)] = Item{};
    Changed();
}

void TWydStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    ExchangeItems(index1, index2);
    Changed();
}

void TWydStringList::ExchangeItems(int index1, int index2) {
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TWydStringList::Move(int curIndex, int newIndex) {
    if (sorted_ && curIndex != newIndex) Error(SWydSortedListError, 0);
    TWydStrings::Move(curIndex, newIndex);
}

bool TWydStringList::Find(const WideString& s, int& index) const {
    bool found = false;
    int low = 0, high = count_ - 1;
    while (low <= high) {
        const int middle = (low + high) >> 1;
        const int order = CompareStrings(items_[static_cast<size_t>(middle)].string, s);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (order == 0) {
                found = true;
                if (duplicates_ != vcl::dupAccept) low = middle;
            }
        }
    }
    index = low;
    return found;
}

int TWydStringList::IndexOf(const WideString& s) const {
    if (!sorted_) return TWydStrings::IndexOf(s);
    int index = -1;
    return Find(s, index) ? index : -1;
}

int TWydStringList::IndexOfName(const WideString& name) const {
    if (!sorted_) return TWydStrings::IndexOfName(name);
    const WideString prefix = name + L"=";
    int index = -1;
    Find(prefix, index);
    if (index < 0 || index >= count_) return -1;
    const WideString& item = items_[static_cast<size_t>(index)].string;
    if (item.size() < prefix.size() || CompareStrings(item.substr(0, prefix.size()), prefix) != 0) return -1;
    return index;
}

namespace {

int CompareListItems(TWydStringList* list, int index1, int index2) {
    return list->CompareStrings(list->Get(index1), list->Get(index2));
}

} // namespace

void TWydStringList::Sort() { CustomSort(CompareListItems); }

void TWydStringList::CustomSort(TWideStringListSortCompare compare) {
    if (sorted_ || count_ < 2) return;
    Changing();
    QuickSort(0, count_ - 1, compare);
    Changed();
}

void TWydStringList::QuickSort(int left, int right, TWideStringListSortCompare compare) {
    int i = left;
    do {
        i = left;
        int j = right, pivot = (left + right) >> 1;
        do {
            while (compare(this, i, pivot) < 0) ++i;
            while (compare(this, j, pivot) > 0) --j;
            if (i <= j) {
                ExchangeItems(i, j);
                if (pivot == i) pivot = j;
                else if (pivot == j) pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j) QuickSort(left, j, compare);
        left = i;
    } while (i < right);
}

void TWydStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TWydStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_) return;
    caseSensitive_ = caseSensitive;
    // A sorted list must stay sorted under the new comparison (Sort itself skips sorted lists).
    if (sorted_ && count_ >= 2) {
        Changing();
        QuickSort(0, count_ - 1, CompareListItems);
        Changed();
    }
}

// ---- Buffered reader

TBufferedStreamReader::TBufferedStreamReader(vcl::TStream* source, int bufferSize)
    : source_(source), sourceSize_(source->GetSize()), buffer_(static_cast<size_t>(std::max(bufferSize, 1))),
      bufferStart_(-static_cast<Int64>(buffer_.size())) {}

void TBufferedStreamReader::FillBuffer(Int64 start) {
    source_->SetPosition(start);
    bufferStart_ = start;
    bufferValid_ = std::max(source_->Read(buffer_.data(), static_cast<int>(buffer_.size())), 0);
}

int TBufferedStreamReader::Read(void* buffer, int count) {
    if (position_ < 0 || count <= 0 || position_ >= sourceSize_) return 0;
    const Int64 wanted = std::min<Int64>(count, sourceSize_ - position_);
    const Int64 bufferSize = static_cast<Int64>(buffer_.size());
    auto* out = static_cast<char*>(buffer);
    Int64 done = 0;
    while (done < wanted) {
        const Int64 offset = position_ - bufferStart_;
        if (offset >= 0 && offset < bufferValid_) {
            const Int64 n = std::min(wanted - done, bufferValid_ - offset);
            memcpy(out + done, buffer_.data() + offset, static_cast<size_t>(n));
            done += n;
            position_ += n;
        } else if (wanted - done >= bufferSize) {
            // Whole blocks go straight from the source.
            const Int64 blocks = (wanted - done) / bufferSize * bufferSize;
            source_->SetPosition(position_);
            const int got = source_->Read(out + done, static_cast<int>(blocks));
            if (got <= 0) break;
            done += got;
            position_ += got;
        } else {
            FillBuffer(position_);
            if (bufferValid_ == 0) break;
        }
    }
    // Only what the source delivered counts: a short source never yields stale buffer bytes.
    return static_cast<int>(done);
}

int TBufferedStreamReader::Write(const void*, int) {
    throw EWydInternalError("Internal Error: class can not write.");
}

Int64 TBufferedStreamReader::Seek(Int64 offset, vcl::TSeekOrigin origin) {
    switch (origin) {
    case vcl::soBeginning: position_ = offset; break;
    case vcl::soCurrent: position_ += offset; break;
    case vcl::soEnd: position_ = sourceSize_ + offset; break;
    }
    return position_;
}

// ---- Sorted lists and COM classes

bool FindSortedListByTarget(vcl::TList* list, TListTargetCompare compare, void* target, int& index) {
    int low = 0, high = list->GetCount() - 1;
    while (low <= high) {
        const int middle = (low + high) >> 1;
        const int order = compare(list->GetItems(middle), target);
        if (order == 0) {
            index = middle;
            return true;
        }
        if (order < 0) low = middle + 1;
        else high = middle - 1;
    }
    index = low;
    return false;
}

namespace {

WideString ReadDefaultValue(HKEY key, const wchar_t* subKey) {
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, subKey, 0, KEY_READ, &sub) != ERROR_SUCCESS) return WideString();
    DWORD type = 0, size = 0;
    WideString value;
    if (RegQueryValueExW(sub, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size >= sizeof(wchar_t)) {
        value.resize(size / sizeof(wchar_t));
        if (RegQueryValueExW(sub, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
            ERROR_SUCCESS)
            value.clear();
        value.resize(wcsnlen(value.c_str(), value.size()));
        if (type == REG_EXPAND_SZ && !value.empty()) {
            const DWORD needed = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
            WideString expanded(needed, L'\0');
            if (needed && ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed))
                value = expanded.c_str();
        }
    }
    RegCloseKey(sub);
    return value;
}

} // namespace

bool ClassIsRegistered(const CLSID& clsid) {
    LPOLESTR progId = nullptr;
    if (FAILED(ProgIDFromCLSID(clsid, &progId))) return false;
    CoTaskMemFree(progId);
    wchar_t guidText[64] = {};
    StringFromGUID2(clsid, guidText, 64);
    HKEY key = nullptr;
    const WideString keyName = WideString(L"SOFTWARE\\Classes\\CLSID\\") + guidText;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    WideString server = ReadDefaultValue(key, L"InProcServer32");
    if (server.empty()) server = ReadDefaultValue(key, L"InProcServer");
    RegCloseKey(key);
    // A server path may stand in quotes.
    if (server.size() >= 2 && server.front() == L'"' && server.back() == L'"')
        server = server.substr(1, server.size() - 2);
    return !server.empty() && WideFileExists(server);
}

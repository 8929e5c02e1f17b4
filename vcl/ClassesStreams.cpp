// The stream classes of the Classes unit: handle, file, memory, string and resource streams.
#include <algorithm>
#include <cstdlib>

#include "Classes.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TStream, TObject)
VCL_IMPLEMENT_CLASS(THandleStream, TStream)
VCL_IMPLEMENT_CLASS(TFileStream, THandleStream)
VCL_IMPLEMENT_CLASS(TCustomMemoryStream, TStream)
VCL_IMPLEMENT_CLASS(TMemoryStream, TCustomMemoryStream)
VCL_IMPLEMENT_CLASS(TStringStream, TStream)
VCL_IMPLEMENT_CLASS(TResourceStream, TCustomMemoryStream)

// ---------------------------------------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* buffer, int count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

Int64 TStream::GetSize() {
    Int64 position = Seek(0, soCurrent);
    Int64 size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(Int64) {}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
    if (count == 0) {
        source->SetPosition(0);
        count = source->GetSize();
    }
    const Int64 total = count;
    char buffer[61440];
    while (count > 0) {
        int n = static_cast<int>(std::min<Int64>(count, sizeof buffer));
        source->ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        count -= n;
    }
    return total;
}

TComponent* TStream::ReadComponent(TComponent* instance) {
    TReader reader(this);
    return reader.ReadRootComponent(instance);
}

void TStream::WriteComponent(TComponent* instance) {
    TWriter writer(this);
    writer.WriteDescendent(instance, nullptr);
}

// A form stream may come inside a resource file: the 16-bit form (0xFF, type, name, flags, size) the
// development tool writes with WriteComponentRes, or a 32-bit .res file (an empty first entry, then the
// form's entry). Leaves the stream at the "TPF0" signature.
void TStream::ReadResHeader() {
    Int64 start = GetPosition();
    char signature[4] = {};
    if (Read(signature, 4) == 4 && std::memcmp(signature, "TPF0", 4) == 0) {
        SetPosition(start);
        return;
    }
    SetPosition(start);
    unsigned char first = 0;
    ReadBuffer(&first, 1);
    if (first == 0xFF) {
        unsigned char type[2];
        ReadBuffer(type, 2);
        for (char c = 1; c != 0;) ReadBuffer(&c, 1);  // the resource name, zero-terminated
        unsigned char flagsAndSize[6];
        ReadBuffer(flagsAndSize, 6);
        return;
    }
    SetPosition(start);
    DWORD sizes[2] = {};
    ReadBuffer(sizes, sizeof sizes);  // data size, header size
    if (sizes[0] == 0 && sizes[1] == 32) {
        start += 32;
        SetPosition(start);
        ReadBuffer(sizes, sizeof sizes);
    }
    if (sizes[1] < 8 || start + sizes[1] > GetSize()) throw EReadError("Invalid stream format");
    SetPosition(start + sizes[1]);
}

TComponent* TStream::ReadComponentRes(TComponent* instance) {
    ReadResHeader();
    return ReadComponent(instance);
}

// ---------------------------------------------------------------------------------------------------------
// THandleStream, TFileStream

int THandleStream::Read(void* buffer, int count) {
    DWORD done = 0;
    if (count <= 0 || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int>(done);
}

int THandleStream::Write(const void* buffer, int count) {
    DWORD done = 0;
    if (count <= 0 || !WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int>(done);
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (!SetFilePointerEx(handle_, distance, &result, methods[origin])) return -1;
    return result.QuadPart;
}

void THandleStream::SetSize(Int64 size) {
    Int64 position = GetPosition();
    Seek(size, soBeginning);
    Win32Check(SetEndOfFile(handle_));
    if (position < size) Seek(position, soBeginning);
}

TFileStream::TFileStream(const AnsiString& fileName, unsigned mode) : THandleStream(INVALID_HANDLE_VALUE), fileName_(fileName) {
    if (mode == fmCreate) {
        handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file %s", {ExpandFileName(fileName)});
        return;
    }
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned shareIndex = (mode & 0xF0) >> 4;
    handle_ = CreateFileA(fileName.c_str(), access[mode & 3], shareIndex < 5 ? share[shareIndex] : 0, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file %s", {ExpandFileName(fileName)});
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

// ---------------------------------------------------------------------------------------------------------
// Memory streams

void TCustomMemoryStream::SetPointer(void* memory, Int64 size) {
    memory_ = memory;
    size_ = size;
}

int TCustomMemoryStream::Read(void* buffer, int count) {
    if (count <= 0 || position_ >= size_) return 0;
    Int64 n = std::min<Int64>(count, size_ - position_);
    std::memcpy(buffer, static_cast<char*>(memory_) + position_, static_cast<size_t>(n));
    position_ += n;
    return static_cast<int>(n);
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
    Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
    position_ = std::max<Int64>(0, base + offset);
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
    if (size_) stream->WriteBuffer(memory_, static_cast<int>(size_));
}

void TCustomMemoryStream::SaveToFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

TMemoryStream::~TMemoryStream() { std::free(memory_); }

void TMemoryStream::SetCapacity(Int64 capacity) {
    if (capacity == capacity_) return;
    void* grown = capacity ? std::realloc(memory_, static_cast<size_t>(capacity)) : nullptr;
    if (capacity && !grown) throw EOutOfMemory("Out of memory while expanding memory stream");
    if (!capacity) std::free(memory_);
    memory_ = grown;
    capacity_ = capacity;
}

void TMemoryStream::SetSize(Int64 size) {
    if (size < 0) throw EStreamError("Invalid stream size");
    if (size > capacity_) SetCapacity((size + 0x1FFF) & ~Int64(0x1FFF));
    if (size > size_) std::memset(static_cast<char*>(memory_) + size_, 0, static_cast<size_t>(size - size_));
    size_ = size;
    if (position_ > size) position_ = size;
}

int TMemoryStream::Write(const void* buffer, int count) {
    if (count <= 0) return 0;
    Int64 end = position_ + count;
    if (end > size_) {
        if (end > capacity_) SetCapacity((end + 0x1FFF) & ~Int64(0x1FFF));
        if (position_ > size_) std::memset(static_cast<char*>(memory_) + size_, 0, static_cast<size_t>(position_ - size_));
        size_ = end;
    }
    std::memcpy(static_cast<char*>(memory_) + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    size_ = 0;
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
    stream->SetPosition(0);
    Int64 size = stream->GetSize();
    SetSize(size);
    if (size) stream->ReadBuffer(memory_, static_cast<int>(size));
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

// ---------------------------------------------------------------------------------------------------------
// TStringStream

int TStringStream::Read(void* buffer, int count) {
    if (count <= 0 || position_ >= data_.size()) return 0;
    size_t n = std::min(static_cast<size_t>(count), data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return static_cast<int>(n);
}

int TStringStream::Write(const void* buffer, int count) {
    if (count <= 0) return 0;
    if (position_ + static_cast<size_t>(count) > data_.size()) data_.resize(position_ + static_cast<size_t>(count));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += static_cast<size_t>(count);
    return count;
}

Int64 TStringStream::Seek(Int64 offset, TSeekOrigin origin) {
    Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? static_cast<Int64>(position_) : static_cast<Int64>(data_.size());
    position_ = static_cast<size_t>(std::clamp<Int64>(base + offset, 0, static_cast<Int64>(data_.size())));
    return static_cast<Int64>(position_);
}

void TStringStream::SetSize(Int64 size) {
    data_.resize(static_cast<size_t>(std::max<Int64>(size, 0)));
    position_ = std::min(position_, data_.size());
}

AnsiString TStringStream::ReadString(int count) {
    size_t n = std::min(static_cast<size_t>(std::max(count, 0)), data_.size() - position_);
    AnsiString s = data_.substr(position_, n);
    position_ += n;
    return s;
}

// ---------------------------------------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(HINSTANCE instance, const AnsiString& resName, const char* resType) {
    Initialize(instance, resName.c_str(), resType, resName);
}

TResourceStream::TResourceStream(HINSTANCE instance, int resId, const char* resType) {
    Initialize(instance, MAKEINTRESOURCEA(resId), resType, IntToStr(resId));
}

void TResourceStream::Initialize(HINSTANCE instance, const char* name, const char* type, const AnsiString& shownName) {
    HRSRC info = FindResourceA(instance, name, type);
    if (!info) throw EResNotFound("Resource %s not found", {shownName});
    HGLOBAL handle = LoadResource(instance, info);
    if (!handle) throw EResNotFound("Resource %s not found", {shownName});
    SetPointer(LockResource(handle), SizeofResource(instance, info));
}

int TResourceStream::Write(const void*, int) { throw EStreamError("Can't write to a read-only resource stream"); }

}  // namespace vcl

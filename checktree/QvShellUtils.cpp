// Shell utilities and the device-change handler.
#include "QvShellUtils.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "Controls.h"
#include "SysUtils.h"

using namespace vcl;

namespace {

int unitUsers = 0;
OSVERSIONINFOA osVersion{};
IMalloc_NRC* shellMalloc = nullptr;
TQvModuleVersion comCtlVersion;
bool overlaysFixed = false;
int flushLock = 0;
TQvDeviceChangeHandler* deviceChangeHandler = nullptr;

const USHORT* ItemSize(LPCITEMIDLIST pidl) { return reinterpret_cast<const USHORT*>(pidl); }

LPCITEMIDLIST NextItem(LPCITEMIDLIST pidl)
{
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + *ItemSize(pidl));
}

bool IsEmptyList(LPCITEMIDLIST pidl) { return *ItemSize(pidl) == 0; }

// Bytes of the items of a list, without the terminator.
UINT ItemBytes(LPCITEMIDLIST pidl, int count)
{
    UINT bytes = 0;
    for (; count > 0 && !IsEmptyList(pidl); --count) {
        bytes += *ItemSize(pidl);
        pidl = NextItem(pidl);
    }
    return bytes;
}

void* AllocWith(IMalloc_NRC* malloc, SIZE_T size)
{
    return malloc ? malloc->Alloc(size) : ShellMemAlloc(size);
}

// A path for the shell: at most MAX_PATH wide characters.
std::wstring ShellPath(const AnsiString& path) { return AnsiToWide(path).substr(0, MAX_PATH); }

class DesktopFolder {
public:
    DesktopFolder() { ShellGetDesktopFolder(folder_); }
    ~DesktopFolder()
    {
        if (folder_) folder_->Release();
    }
    DesktopFolder(const DesktopFolder&) = delete;
    DesktopFolder& operator=(const DesktopFolder&) = delete;
    IShellFolder_NRC* operator->() const { return folder_; }
    explicit operator bool() const { return folder_ != nullptr; }
    IShellFolder_NRC* Get() const { return folder_; }

private:
    IShellFolder_NRC* folder_ = nullptr;
};

int FileInfoIconIndex(const void* pathOrPidl, DWORD attributes, UINT flags)
{
    SHFILEINFOA info{};
    SHGetFileInfoA(static_cast<LPCSTR>(pathOrPidl), attributes, &info, sizeof(info), flags | SHGFI_SYSICONINDEX);
    return info.iIcon;
}

DWORD FriendlyNameFlags(TQvFriendlyNameFlags flags)
{
    switch (flags) {
    case fnInFolder: return SHGDN_INFOLDER;
    case fnForParsing: return SHGDN_FORPARSING;
    case fnForEditing: return SHGDN_FOREDITING | SHGDN_INFOLDER;
    default: return SHGDN_NORMAL;
    }
}

bool IsLeadByte(const AnsiString& s, size_t i) { return IsDBCSLeadByte(static_cast<BYTE>(s[i])) != 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Platform and versions

bool IsWin95() { return osVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS; }
bool IsOSR2OrGreater() { return IsWin95() && LOWORD(osVersion.dwBuildNumber) > 1000; }
bool IsWinNT() { return osVersion.dwPlatformId == VER_PLATFORM_WIN32_NT; }
bool IsWin2000() { return IsWinNT() && osVersion.dwMajorVersion >= 5; }
bool HasWin95Shell() { return IsWin95() || (IsWinNT() && osVersion.dwMajorVersion >= 4); }

bool GetModuleVersion(const AnsiString& FileName, TQvModuleVersion& Version)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoA(FileName.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    Version.dwFileVersionLS = fixed->dwFileVersionLS;
    Version.dwFileVersionMS = fixed->dwFileVersionMS;
    return true;
}

const TQvModuleVersion& ComCtlVersion() { return comCtlVersion; }

// ---------------------------------------------------------------------------------------------------------
// Shell memory

IMalloc_NRC* ShellIMalloc() { return shellMalloc; }

void* ShellMemAlloc(SIZE_T Size) { return shellMalloc ? shellMalloc->Alloc(Size) : CoTaskMemAlloc(Size); }

void* ShellMemRealloc(void* P, SIZE_T Size)
{
    if (!P) return nullptr;
    return shellMalloc ? shellMalloc->Realloc(P, Size) : CoTaskMemRealloc(P, Size);
}

void ShellMemFree(void* P)
{
    if (!P) return;
    if (shellMalloc)
        shellMalloc->Free(P);
    else
        CoTaskMemFree(P);
}

// ---------------------------------------------------------------------------------------------------------
// Paths, PIDLs and names

HRESULT ShellGetDesktopFolder(IShellFolder_NRC*& Folder)
{
    IShellFolder* folder = nullptr;
    const HRESULT hr = SHGetDesktopFolder(&folder);
    Folder = SUCCEEDED(hr) ? reinterpret_cast<IShellFolder_NRC*>(folder) : nullptr;
    return hr;
}

HRESULT ShellGetFolderFromIdList(LPCITEMIDLIST Pidl, IShellFolder_NRC*& Folder)
{
    Folder = nullptr;
    if (!Pidl || IsEmptyList(Pidl)) return ShellGetDesktopFolder(Folder);
    DesktopFolder desktop;
    if (!desktop) return E_FAIL;
    void* folder = nullptr;
    const HRESULT hr = desktop->BindToObject(Pidl, nullptr, IID_IShellFolder_NRC, &folder);
    if (SUCCEEDED(hr)) Folder = static_cast<IShellFolder_NRC*>(folder);
    return hr;
}

HRESULT ShellGetIdListFromPath(const AnsiString& Path, LPITEMIDLIST& Pidl)
{
    Pidl = nullptr;
    DesktopFolder desktop;
    if (!desktop) return E_FAIL;
    std::wstring wide = ShellPath(Path);
    ULONG eaten = 0;
    return desktop->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &Pidl, nullptr);
}

AnsiString ShellGetPathFromIdList(LPCITEMIDLIST Pidl)
{
    char path[MAX_PATH] = {};
    if (!Pidl || !SHGetPathFromIDListA(Pidl, path)) return {};
    return path;
}

AnsiString ShellGetDisplayPathName(const AnsiString& Path)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(ShellGetIdListFromPath(Path, pidl))) return {};
    AnsiString result = ShellGetPathFromIdList(pidl);
    ShellMemFree(pidl);
    return result;
}

HRESULT ShellGetSpecialFolderIdList(HWND Owner, TCSIDL Csidl, LPITEMIDLIST& Pidl)
{
    Pidl = nullptr;
    return SHGetSpecialFolderLocation(Owner, Csidl, &Pidl);
}

AnsiString ShellGetSpecialFolderPath(HWND Owner, TCSIDL Csidl)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(ShellGetSpecialFolderIdList(Owner, Csidl, pidl))) return {};
    AnsiString result = ShellGetPathFromIdList(pidl);
    ShellMemFree(pidl);
    return result;
}

int ShellGetIconIndex(LPCITEMIDLIST Pidl, UINT Flags) { return FileInfoIconIndex(Pidl, 0, Flags | SHGFI_PIDL); }

int ShellGetIconIndexFromPath(const AnsiString& Path, UINT Flags)
{
    return FileInfoIconIndex(Path.c_str(), 0, Flags);
}

int ShellGetIconIndexFromExt(const AnsiString& Ext, UINT Flags)
{
    return FileInfoIconIndex(Ext.c_str(), FILE_ATTRIBUTE_NORMAL, Flags | SHGFI_USEFILEATTRIBUTES);
}

int ShellGetSpecialFolderIconIndex(TCSIDL Csidl, UINT Flags)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(ShellGetSpecialFolderIdList(nullptr, Csidl, pidl))) return -1;
    const int index = ShellGetIconIndex(pidl, Flags);
    ShellMemFree(pidl);
    return index;
}

bool ShellCSIDLEqualsIdList(LPCITEMIDLIST Pidl, TCSIDL Csidl)
{
    LPITEMIDLIST special = nullptr;
    if (FAILED(ShellGetSpecialFolderIdList(nullptr, Csidl, special)) || !special) return false;
    const bool equal = CompareAbsIdLists(Pidl, special) == 0;
    ShellMemFree(special);
    return equal;
}

TCSIDL ShellFindCSIDLFromIdList(LPCITEMIDLIST Pidl)
{
    for (int csidl = csidlDesktop; csidl < csidlNone; ++csidl)
        if (ShellCSIDLEqualsIdList(Pidl, static_cast<TCSIDL>(csidl))) return static_cast<TCSIDL>(csidl);
    return csidlNone;
}

AnsiString ShellGetFriendlyNameFromIdList(IShellFolder_NRC* Folder, LPCITEMIDLIST Pidl, TQvFriendlyNameFlags Flags)
{
    DesktopFolder desktop;
    IShellFolder_NRC* folder = Folder ? Folder : desktop.Get();
    if (!folder || !Pidl) return {};
    TStrRet name{};
    if (FAILED(folder->GetDisplayNameOf(Pidl, FriendlyNameFlags(Flags), &name))) return {};
    AnsiString result = StrretToString(Pidl, name);
    StrretFree(name);
    return result;
}

AnsiString ShellGetFriendlyNameForLastIdListElement(LPCITEMIDLIST Pidl)
{
    if (!Pidl) return {};
    TQvIdListArray items(Pidl);
    const int count = items.GetCount();
    if (count <= 1) return ShellGetFriendlyNameFromIdList(nullptr, Pidl, fnInFolder);
    IShellFolder_NRC* parent = nullptr;
    if (FAILED(ShellGetFolderFromIdList(items.GoUp(1), parent)) || !parent) return {};
    AnsiString result = ShellGetFriendlyNameFromIdList(parent, items.GetItem(count - 1), fnInFolder);
    parent->Release();
    return result;
}

HIMAGELIST ShellGetSystemImageList(TQvShellIconSize Size)
{
    const UINT sizeFlag = Size == iszSmall ? SHGFI_SMALLICON : SHGFI_LARGEICON;
    SHFILEINFOA info{};
    auto list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | sizeFlag));
    // Older shells lack the link and share overlays in the lists: add shell32's icons once.
    if (IsWinNT() && comCtlVersion.dwFileVersionMS >= 0x40047 && !overlaysFixed) {
        overlaysFixed = true;
        if (HMODULE shell32 = LoadLibraryW(L"shell32.dll")) {
            SHFILEINFOA other{};
            auto small = reinterpret_cast<HIMAGELIST>(
                SHGetFileInfoA("C:\\", 0, &other, sizeof(other), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
            auto large = reinterpret_cast<HIMAGELIST>(
                SHGetFileInfoA("C:\\", 0, &other, sizeof(other), SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
            const struct { HIMAGELIST list; int pixels; } targets[] = {{small, 16}, {large, 32}};
            for (const auto& target : targets) {
                if (!target.list) continue;
                for (int overlay = 1; overlay <= 2; ++overlay) {
                    auto icon = static_cast<HICON>(LoadImageW(shell32, MAKEINTRESOURCEW(28 + overlay), IMAGE_ICON,
                                                              target.pixels, target.pixels, 0));
                    if (!icon) continue;
                    const int index = ImageList_ReplaceIcon(target.list, -1, icon);
                    if (index >= 0) ImageList_SetOverlayImage(target.list, index, overlay);
                    DestroyIcon(icon);
                }
            }
            FreeLibrary(shell32);
        }
    }
    return list;
}

AnsiString StrretToString(LPCITEMIDLIST Pidl, const TStrRet& StrRet)
{
    switch (StrRet.uType) {
    case STRRET_WSTR: return StrRet.pOleStr ? WideToAnsi(StrRet.pOleStr) : AnsiString();
    case STRRET_OFFSET: return Pidl ? AnsiString(reinterpret_cast<const char*>(Pidl) + StrRet.uOffset) : AnsiString();
    case STRRET_CSTR: return AnsiString(StrRet.cStr, strnlen(StrRet.cStr, sizeof(StrRet.cStr)));
    default: return {};
    }
}

void StrretFree(TStrRet& StrRet)
{
    if (StrRet.uType == STRRET_WSTR && StrRet.pOleStr) {
        CoTaskMemFree(StrRet.pOleStr);
        StrRet.pOleStr = nullptr;
    }
}

UINT IdListLen(LPCITEMIDLIST Pidl) { return Pidl ? ItemBytes(Pidl, INT_MAX) + sizeof(USHORT) : 0; }

int CompareAbsIdLists(LPCITEMIDLIST A, LPCITEMIDLIST B)
{
    if (!A || !B) return A == B ? 0 : -1;
    if (IsEmptyList(A) || IsEmptyList(B)) return IsEmptyList(A) == IsEmptyList(B) ? 0 : -1;
    DesktopFolder desktop;
    if (!desktop) return 0x7FFFFFFF;
    const HRESULT hr = desktop->CompareIDs(0, A, B);
    if (FAILED(hr)) return 0x7FFFFFFF;
    return static_cast<short>(HRESULT_CODE(hr));
}

LPITEMIDLIST ConcatIdLists(IMalloc_NRC* Malloc, LPCITEMIDLIST A, LPCITEMIDLIST B)
{
    const UINT bytesA = A ? ItemBytes(A, INT_MAX) : 0;
    const UINT bytesB = B ? ItemBytes(B, INT_MAX) : 0;
    auto* result = static_cast<BYTE*>(AllocWith(Malloc, bytesA + bytesB + sizeof(USHORT)));
    if (!result) return nullptr;
    if (bytesA) std::memcpy(result, A, bytesA);
    if (bytesB) std::memcpy(result + bytesA, B, bytesB);
    std::memset(result + bytesA + bytesB, 0, sizeof(USHORT));
    return reinterpret_cast<LPITEMIDLIST>(result);
}

LPITEMIDLIST CopyIdList(IMalloc_NRC* Malloc, LPCITEMIDLIST A) { return ConcatIdLists(Malloc, A, nullptr); }

// ---------------------------------------------------------------------------------------------------------
// TQvIdListArray

TQvIdListArray::TQvIdListArray(LPCITEMIDLIST Pidl) : FPidl(Pidl) {}

TQvIdListArray::~TQvIdListArray() { ShellMemFree(FLast); }

int TQvIdListArray::GetCount() const
{
    int count = 0;
    if (FPidl)
        for (LPCITEMIDLIST item = FPidl; !IsEmptyList(item); item = NextItem(item)) ++count;
    return count;
}

LPITEMIDLIST TQvIdListArray::Produce(int first, int count)
{
    ShellMemFree(FLast);
    FLast = nullptr;
    LPCITEMIDLIST start = FPidl;
    for (int i = 0; i < first; ++i) start = NextItem(start);
    const UINT bytes = ItemBytes(start, count);
    auto* list = static_cast<BYTE*>(ShellMemAlloc(bytes + sizeof(USHORT)));
    if (!list) return nullptr;
    std::memcpy(list, start, bytes);
    std::memset(list + bytes, 0, sizeof(USHORT));
    FLast = reinterpret_cast<LPITEMIDLIST>(list);
    return FLast;
}

LPITEMIDLIST TQvIdListArray::GoUp(int N)
{
    const int count = GetCount();
    if (N < 0 || N > count) return nullptr;
    return Produce(0, count - N);
}

LPITEMIDLIST TQvIdListArray::GetItem(int I)
{
    if (I < 0 || I >= GetCount()) return nullptr;
    return Produce(I, 1);
}

// ---------------------------------------------------------------------------------------------------------
// TQvPidlList

TQvPidlList::~TQvPidlList() { Clear(); }

void TQvPidlList::CheckIndex(int I, bool allowEnd) const
{
    if (I < 0 || I > GetCount() || (I == GetCount() && !allowEnd))
        throw EListError(Format("List index out of bounds (%d)", {I}));
}

int TQvPidlList::Compare(LPCITEMIDLIST A, LPCITEMIDLIST B) const
{
    if (ShellFolder) return static_cast<short>(HRESULT_CODE(ShellFolder->CompareIDs(0, A, B)));
    const UINT lengthA = IdListLen(A), lengthB = IdListLen(B);
    const int bytes = std::memcmp(A, B, std::min(lengthA, lengthB));
    if (bytes != 0) return bytes < 0 ? -1 : 1;
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

int TQvPidlList::AddObject(LPITEMIDLIST Pidl, TObject* Obj)
{
    int index = GetCount();
    if (FSorted && BinarySearch(Pidl, index)) {
        if (Duplicates == dupIgnore) return index;
        if (Duplicates == dupError) throw Exception("TQvPidlList: Duplicate PIDL");
    }
    FEntries.insert(FEntries.begin() + index, Entry{Pidl, Obj});
    return index;
}

void TQvPidlList::InsertObject(int I, LPITEMIDLIST Pidl, TObject* Obj)
{
    CheckIndex(I, true);
    FEntries.insert(FEntries.begin() + I, Entry{Pidl, Obj});
}

void TQvPidlList::Delete(int I)
{
    CheckIndex(I);
    if (Malloc) Malloc->Free(FEntries[I].Pidl);
    FEntries.erase(FEntries.begin() + I);
}

void TQvPidlList::Clear()
{
    if (Malloc)
        for (const Entry& entry : FEntries) Malloc->Free(entry.Pidl);
    FEntries.clear();
}

bool TQvPidlList::BinarySearch(LPCITEMIDLIST Pidl, int& I) const
{
    bool found = false;
    int low = 0, high = GetCount() - 1;
    while (low <= high) {
        const int middle = (low + high) >> 1;
        const int c = Compare(FEntries[middle].Pidl, Pidl);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != dupAccept) low = middle;
            }
        }
    }
    I = low;
    return found;
}

bool TQvPidlList::LinearSearch(LPCITEMIDLIST Pidl, int& I) const
{
    for (I = 0; I < GetCount(); ++I)
        if (Compare(FEntries[I].Pidl, Pidl) == 0) return true;
    I = -1;
    return false;
}

int TQvPidlList::IndexOf(LPCITEMIDLIST Pidl) const
{
    int index = -1;
    const bool found = FSorted ? BinarySearch(Pidl, index) : LinearSearch(Pidl, index);
    return found ? index : -1;
}

void TQvPidlList::Sort()
{
    std::stable_sort(FEntries.begin(), FEntries.end(),
                     [this](const Entry& a, const Entry& b) { return Compare(a.Pidl, b.Pidl) < 0; });
}

void TQvPidlList::SetSorted(bool Value)
{
    if (Value && !FSorted) Sort();
    FSorted = Value;
}

LPITEMIDLIST TQvPidlList::GetPIDL(int I) const
{
    CheckIndex(I);
    return FEntries[I].Pidl;
}

TObject* TQvPidlList::GetObject(int I) const
{
    CheckIndex(I);
    return FEntries[I].Object;
}

void TQvPidlList::SetObject(int I, TObject* Obj)
{
    CheckIndex(I);
    FEntries[I].Object = Obj;
}

void TQvPidlList::SetCapacity(int Value)
{
    if (Value > GetCapacity()) FEntries.reserve(Value);
}

// ---------------------------------------------------------------------------------------------------------
// Shortcuts and file types

namespace {

bool Has(TLinkDataOptions options, TLinkDataOption option) { return (options & (1u << option)) != 0; }

class LinkFileObject {
public:
    LinkFileObject()
    {
        result_ = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA_NRC,
                                   reinterpret_cast<void**>(&link_));
        if (SUCCEEDED(result_))
            result_ = link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    }
    ~LinkFileObject()
    {
        if (file_) file_->Release();
        if (link_) link_->Release();
    }
    LinkFileObject(const LinkFileObject&) = delete;
    LinkFileObject& operator=(const LinkFileObject&) = delete;
    HRESULT Result() const { return result_; }
    IShellLink_NRC* operator->() const { return link_; }
    IPersistFile* File() const { return file_; }

private:
    HRESULT result_;
    IShellLink_NRC* link_ = nullptr;
    IPersistFile* file_ = nullptr;
};

// Runs the steps in order and stops at the first failure, whose code it keeps.
class Steps {
public:
    template <class F>
    Steps& Then(F&& step)
    {
        if (SUCCEEDED(result_)) result_ = step();
        return *this;
    }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_ = S_OK;
};

}  // namespace

HRESULT CreateShortcut(const AnsiString& LinkFile, const TLinkData& LinkData)
{
    LinkFileObject link;
    if (FAILED(link.Result())) return link.Result();
    const TLinkDataOptions o = LinkData.Options;
    return Steps()
        .Then([&] { return link->SetPath(LinkData.PathName.c_str()); })
        .Then([&] { return Has(o, ldoUseDesc) ? link->SetDescription(LinkData.Description.c_str()) : S_OK; })
        .Then([&] { return Has(o, ldoUseArgs) ? link->SetArguments(LinkData.Arguments.c_str()) : S_OK; })
        .Then([&] {
            return Has(o, ldoUseIcon) ? link->SetIconLocation(LinkData.IconLocation.c_str(), LinkData.IconIndex)
                                      : S_OK;
        })
        .Then([&] {
            return Has(o, ldoUseWorkDir) ? link->SetWorkingDirectory(LinkData.WorkingDirectory.c_str()) : S_OK;
        })
        .Then([&] { return Has(o, ldoUseHotKey) ? link->SetHotKey(LinkData.HotKey) : S_OK; })
        .Then([&] { return Has(o, ldoUseShowCmd) ? link->SetShowCmd(LinkData.ShowCmd) : S_OK; })
        .Then([&] { return link.File()->Save(AnsiToWide(LinkFile).c_str(), TRUE); })
        .Result();
}

HRESULT CreateQuickShortcut(const AnsiString& LinkFile, const AnsiString& Target)
{
    TLinkData data;
    data.PathName = Target;
    data.Description = Target;
    data.WorkingDirectory = ExtractFilePath(Target);
    data.Options = (1u << ldoUseDesc) | (1u << ldoUseWorkDir);
    return CreateShortcut(LinkFile, data);
}

HRESULT ResolveShortcut(const AnsiString& LinkFile, TLinkData& LinkData, bool WantIdList)
{
    LinkFileObject link;
    if (FAILED(link.Result())) return link.Result();
    char buffer[MAX_PATH + 1] = {};
    auto text = [&buffer] { return AnsiString(buffer); };
    LinkData.IdList = nullptr;
    return Steps()
        .Then([&] { return link.File()->Load(AnsiToWide(LinkFile).c_str(), STGM_READ); })
        .Then([&] {
            return LinkData.ResolveMode == 0 ? link->Resolve(nullptr, SLR_NO_UI)
                                             : link->Resolve(reinterpret_cast<HWND>(-1), SLR_ANY_MATCH);
        })
        .Then([&] {
            const HRESULT hr = link->GetPath(buffer, MAX_PATH, &LinkData.FindData, 0);
            LinkData.PathName = text();
            return hr;
        })
        .Then([&] {
            const HRESULT hr = link->GetArguments(buffer, MAX_PATH);
            LinkData.Arguments = text();
            return hr;
        })
        .Then([&] {
            const HRESULT hr = link->GetDescription(buffer, MAX_PATH);
            LinkData.Description = text();
            return hr;
        })
        .Then([&] {
            const HRESULT hr = link->GetIconLocation(buffer, MAX_PATH, &LinkData.IconIndex);
            LinkData.IconLocation = text();
            return hr;
        })
        .Then([&] {
            const HRESULT hr = link->GetWorkingDirectory(buffer, MAX_PATH);
            LinkData.WorkingDirectory = text();
            return hr;
        })
        .Then([&] { return link->GetShowCmd(&LinkData.ShowCmd); })
        .Then([&] { return link->GetHotKey(&LinkData.HotKey); })
        .Then([&] {
            LinkData.Options = AllLinkDataOptions;
            return WantIdList ? link->GetIDList(&LinkData.IdList) : S_OK;
        })
        .Result();
}

namespace {

// Default value of a key under HKEY_CLASSES_ROOT; nothing when the key or value is missing.
bool ClassesDefault(const AnsiString& key, AnsiString& value)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    char data[1024] = {};
    DWORD size = sizeof(data) - 1, type = 0;
    const bool ok = RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
                        ERROR_SUCCESS &&
                    (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(handle);
    if (ok) value = data;
    return ok;
}

}  // namespace

bool QvClsidFromFileType(const AnsiString& FileType, CLSID& Clsid)
{
    AnsiString value, clsid;
    if (!ClassesDefault(FileType, value)) return false;
    if (value.size() >= 6 && CompareText(value.substr(0, 6), "clsid\\") == 0)
        clsid = value.substr(6);
    else if (!ClassesDefault(FileType + "\\CLSID", clsid) && !ClassesDefault(value + "\\CLSID", clsid))
        return false;
    const std::wstring wide = AnsiToWide(clsid).substr(0, 79);
    return SUCCEEDED(CLSIDFromString(wide.c_str(), &Clsid));
}

// ---------------------------------------------------------------------------------------------------------
// Drive information

void FlushDriveInfoCache()
{
    if (flushLock > 0) return;
    LPITEMIDLIST drives = nullptr;
    if (FAILED(ShellGetSpecialFolderIdList(nullptr, csidlDrives, drives))) return;
    DesktopFolder desktop;
    if (desktop) {
        LPCITEMIDLIST items[] = {drives};
        SFGAOF attributes = SFGAO_VALIDATE;
        desktop->GetAttributesOf(1, items, &attributes);
    }
    ShellMemFree(drives);
}

void LockFlushDriveInfoCache() { ++flushLock; }

void UnlockFlushDriveInfoCache()
{
    if (flushLock > 0) --flushLock;
}

// ---------------------------------------------------------------------------------------------------------
// Strings

AnsiString FormatStrPos(const AnsiString& Fmt, const std::vector<AnsiString>& Args)
{
    if (Fmt.empty()) return {};
    constexpr size_t maxArgs = 50;
    if (Args.size() > maxArgs) throw Exception("FormatStrPos: Too many substitution strings");
    // The formatter takes inserts up to %99 from the array: missing ones read as empty strings, never
    // past the arguments given.
    std::vector<DWORD_PTR> inserts(99, reinterpret_cast<DWORD_PTR>(""));
    for (size_t i = 0; i < Args.size(); ++i) inserts[i] = reinterpret_cast<DWORD_PTR>(Args[i].c_str());
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                       Fmt.c_str(), 0, 0, reinterpret_cast<LPSTR>(&buffer), 0,
                       reinterpret_cast<va_list*>(inserts.data()));
    AnsiString result = length && buffer ? AnsiString(buffer, length) : AnsiString();
    if (buffer) LocalFree(buffer);
    return result;
}

AnsiString TrimRightDB(const AnsiString& S)
{
    // Walk forward so that trail bytes of double-byte characters are never taken for blanks.
    size_t keep = 0;
    for (size_t i = 0; i < S.size();) {
        if (IsLeadByte(S, i) && i + 1 < S.size()) {
            i += 2;
            keep = i;
        } else {
            if (static_cast<unsigned char>(S[i]) >= 33) keep = i + 1;
            ++i;
        }
    }
    return S.substr(0, keep);
}

void CopyCharDB(int& Index, const AnsiString& S, AnsiString& Dest)
{
    // Index is 1-based, as the layer's string positions are.
    const size_t i = static_cast<size_t>(Index - 1);
    if (Index < 1 || i >= S.size()) return;
    const size_t length = IsLeadByte(S, i) && i + 1 < S.size() ? 2 : 1;
    Dest.append(S, i, length);
    Index += static_cast<int>(length);
}

AnsiString EnsureTrailingCharDB(const AnsiString& S, char C)
{
    if (S.empty()) return S;
    // Ends with C as a single-byte character only when the last byte is not the trail of a lead byte.
    size_t last = 0;
    for (size_t i = 0; i < S.size(); i += IsLeadByte(S, i) && i + 1 < S.size() ? 2 : 1) last = i;
    const bool endsWithC = last == S.size() - 1 && S[last] == C;
    return endsWithC ? S : S + C;
}

void ParametizeCmdLineDB(const AnsiString& CmdLine, TStrings* List)
{
    enum class State { Between, Unquoted, Quoted } state = State::Between;
    AnsiString parameter;
    auto finish = [&] {
        parameter = TrimRightDB(parameter);
        if (!parameter.empty()) List->Add(parameter);
        parameter.clear();
        state = State::Between;
    };
    int index = 1;
    while (index <= static_cast<int>(CmdLine.size())) {
        const char c = CmdLine[index - 1];
        const bool single = !IsLeadByte(CmdLine, index - 1);
        switch (state) {
        case State::Between:
            if (single && (c == ' ' || c == '\t')) {
                ++index;
            } else if (single && c == '"') {
                state = State::Quoted;
                ++index;
            } else {
                state = State::Unquoted;
                CopyCharDB(index, CmdLine, parameter);
            }
            break;
        case State::Unquoted:
            if (single && (c == ' ' || c == '\t' || c == '"')) {
                finish();
                if (c == '"') state = State::Quoted;
                ++index;
            } else {
                CopyCharDB(index, CmdLine, parameter);
            }
            break;
        case State::Quoted:
            if (single && c == '"') {
                finish();
                ++index;
            } else {
                CopyCharDB(index, CmdLine, parameter);
            }
            break;
        }
    }
    finish();
}

// ---------------------------------------------------------------------------------------------------------
// Device changes

TQvDeviceChangeHandler::TQvDeviceChangeHandler()
{
    FWindow = AllocateHWnd(TWndMethod(this, &TQvDeviceChangeHandler::WndProc));
}

TQvDeviceChangeHandler::~TQvDeviceChangeHandler()
{
    DeallocateHWnd(FWindow);
    FList.clear();
}

void TQvDeviceChangeHandler::Add(const TQvDeviceChangeEvent& Method)
{
    FList.push_back(std::make_shared<TQvDeviceChangeEvent>(Method));
}

void TQvDeviceChangeHandler::Remove(const TQvDeviceChangeEvent& Method)
{
    auto found = std::find_if(FList.begin(), FList.end(), [&](const auto& entry) { return *entry == Method; });
    if (found != FList.end()) FList.erase(found);
}

void TQvDeviceChangeHandler::DeleteItem(int Index)
{
    if (Index < 0 || Index >= GetCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    FList.erase(FList.begin() + Index);
}

void TQvDeviceChangeHandler::BroadcastToList(TMessage& Msg)
{
    // Handlers may add or remove entries while they run: walk a copy, skip entries removed meanwhile,
    // and leave entries added meanwhile for the next notification.
    const auto entries = FList;
    for (const auto& entry : entries)
        if (std::find(FList.begin(), FList.end(), entry) != FList.end()) (*entry)(this, Msg);
}

void TQvDeviceChangeHandler::WndProc(TMessage& Msg)
{
    if (Msg.Msg == WM_DEVICECHANGE) {
        PostMessage(FWindow, QvDeviceChangeMessage, Msg.WParam, Msg.LParam);
        Msg.Result = DefWindowProc(FWindow, Msg.Msg, Msg.WParam, Msg.LParam);
    } else if (Msg.Msg == QvDeviceChangeMessage) {
        BroadcastToList(Msg);
    } else {
        Msg.Result = DefWindowProc(FWindow, Msg.Msg, Msg.WParam, Msg.LParam);
    }
}

TQvDeviceChangeHandler* QvDeviceChangeHandler()
{
    if (!deviceChangeHandler) deviceChangeHandler = new TQvDeviceChangeHandler();
    return deviceChangeHandler;
}

// ---------------------------------------------------------------------------------------------------------
// Unit start and end

QvShellUtilsUnit::QvShellUtilsUnit()
{
    if (unitUsers++ != 0) return;
    osVersion.dwOSVersionInfoSize = sizeof(osVersion);
    GetVersionExA(&osVersion);
    IMalloc* malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&malloc))) shellMalloc = reinterpret_cast<IMalloc_NRC*>(malloc);
    if (!GetModuleVersion("comctl32.dll", comCtlVersion)) comCtlVersion = TQvModuleVersion{};
}

QvShellUtilsUnit::~QvShellUtilsUnit()
{
    if (--unitUsers != 0) return;
    delete deviceChangeHandler;
    deviceChangeHandler = nullptr;
}

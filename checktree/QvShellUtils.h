// Shell utilities of the layer: platform and common-controls versions read once at start, the shell
// allocator, item ID lists (PIDLs) and paths, display names, icon indexes, special folders, shortcut files,
// file types, double-byte-aware string routines, and the device-change handler that hands WM_DEVICECHANGE
// on to registered methods.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Classes.h"
#include "Messages.h"
#include "QvShellIntf.h"

// Special folders by the platform's number; 1 and 12-15 are unnamed fillers.
enum TCSIDL : unsigned char {
    csidlDesktop = 0, csidl_None1 = 1, csidlPrograms = 2, csidlControls = 3, csidlPrinters = 4, csidlPersonal = 5,
    csidlFavorites = 6, csidlStartup = 7, csidlRecent = 8, csidlSendTo = 9, csidlBitBucket = 10,
    csidlStartMenu = 11, csidl_None2 = 12, csidl_None3 = 13, csidl_None4 = 14, csidl_None5 = 15,
    csidlDesktopDirectory = 16, csidlDrives = 17, csidlNetwork = 18, csidlNethood = 19, csidlFonts = 20,
    csidlTemplates = 21, csidlCommonStartMenu = 22, csidlCommonPrograms = 23, csidlCommonStartup = 24,
    csidlCommonDesktopDirectory = 25, csidlAppData = 26, csidlPrintHood = 27, csidlLocalAppData = 28,
    csidlAltStartup = 29, csidlCommonAltStartup = 30, csidlCommonFavorites = 31, csidlInternetCache = 32,
    csidlCookies = 33, csidlHistory = 34, csidlCommonAppData = 35, csidlWindows = 36, csidlSystem = 37,
    csidlProgramFiles = 38, csidlMyPictures = 39, csidlProfile = 40, csidlSystemX86 = 41,
    csidlProgramFilesX86 = 42, csidlProgramFilesCommon = 43, csidlProgramFilesCommonX86 = 44,
    csidlCommonTemplates = 45, csidlCommonDocuments = 46, csidlCommonAdminTools = 47, csidlAdminTools = 48,
    csidlConnections = 49, csidlNone = 50
};

enum TQvFriendlyNameFlags { fnNormal, fnInFolder, fnForParsing, fnForEditing };
enum TQvShellIconSize { iszSmall, iszLarge };

// A module's fixed file version: (release shl 16 or build) first, (major shl 16 or minor) second.
struct TQvModuleVersion {
    DWORD dwFileVersionLS = 0;
    DWORD dwFileVersionMS = 0;
};

// ---- Platform and versions (read once at unit start) ----
bool IsWin95();
bool IsOSR2OrGreater();
bool IsWinNT();
bool IsWin2000();
bool HasWin95Shell();
bool GetModuleVersion(const vcl::AnsiString& FileName, TQvModuleVersion& Version);
// Version of comctl32.dll as read at start; zero when it could not be read.
const TQvModuleVersion& ComCtlVersion();

// ---- Shell memory ----
IMalloc_NRC* ShellIMalloc();
void* ShellMemAlloc(SIZE_T Size);
void* ShellMemRealloc(void* P, SIZE_T Size);
void ShellMemFree(void* P);

// ---- Paths, PIDLs and names (PIDLs returned are the caller's, freed with ShellMemFree) ----
HRESULT ShellGetDesktopFolder(IShellFolder_NRC*& Folder);
HRESULT ShellGetFolderFromIdList(LPCITEMIDLIST Pidl, IShellFolder_NRC*& Folder);
HRESULT ShellGetIdListFromPath(const vcl::AnsiString& Path, LPITEMIDLIST& Pidl);
vcl::AnsiString ShellGetPathFromIdList(LPCITEMIDLIST Pidl);
vcl::AnsiString ShellGetDisplayPathName(const vcl::AnsiString& Path);
vcl::AnsiString ShellGetSpecialFolderPath(HWND Owner, TCSIDL Csidl);
HRESULT ShellGetSpecialFolderIdList(HWND Owner, TCSIDL Csidl, LPITEMIDLIST& Pidl);
int ShellGetIconIndex(LPCITEMIDLIST Pidl, UINT Flags);
int ShellGetIconIndexFromPath(const vcl::AnsiString& Path, UINT Flags);
int ShellGetIconIndexFromExt(const vcl::AnsiString& Ext, UINT Flags);
int ShellGetSpecialFolderIconIndex(TCSIDL Csidl, UINT Flags);
TCSIDL ShellFindCSIDLFromIdList(LPCITEMIDLIST Pidl);
bool ShellCSIDLEqualsIdList(LPCITEMIDLIST Pidl, TCSIDL Csidl);
vcl::AnsiString ShellGetFriendlyNameFromIdList(IShellFolder_NRC* Folder, LPCITEMIDLIST Pidl,
                                               TQvFriendlyNameFlags Flags);
vcl::AnsiString ShellGetFriendlyNameForLastIdListElement(LPCITEMIDLIST Pidl);
HIMAGELIST ShellGetSystemImageList(TQvShellIconSize Size);
vcl::AnsiString StrretToString(LPCITEMIDLIST Pidl, const TStrRet& StrRet);
void StrretFree(TStrRet& StrRet);
UINT IdListLen(LPCITEMIDLIST Pidl);
int CompareAbsIdLists(LPCITEMIDLIST A, LPCITEMIDLIST B);
LPITEMIDLIST ConcatIdLists(IMalloc_NRC* Malloc, LPCITEMIDLIST A, LPCITEMIDLIST B);
LPITEMIDLIST CopyIdList(IMalloc_NRC* Malloc, LPCITEMIDLIST A);

// The items of one absolute list (not owned) as new lists; the last list produced is owned and freed on
// the next call and on destruction.
class TQvIdListArray : public vcl::TObject {
public:
    explicit TQvIdListArray(LPCITEMIDLIST Pidl);
    ~TQvIdListArray() override;
    TQvIdListArray(const TQvIdListArray&) = delete;
    TQvIdListArray& operator=(const TQvIdListArray&) = delete;

    int GetCount() const;
    // The first Count - N items; nullptr when there are not that many.
    LPITEMIDLIST GoUp(int N);
    // Item I alone; nullptr for I out of range.
    LPITEMIDLIST GetItem(int I);

private:
    LPITEMIDLIST Produce(int first, int count);
    LPCITEMIDLIST FPidl;
    LPITEMIDLIST FLast = nullptr;
};

// PIDLs with an object each, optionally sorted by the shell folder's order or by their bytes.
class TQvPidlList : public vcl::TObject {
public:
    TQvPidlList() = default;
    ~TQvPidlList() override;
    TQvPidlList(const TQvPidlList&) = delete;
    TQvPidlList& operator=(const TQvPidlList&) = delete;

    int Add(LPITEMIDLIST Pidl) { return AddObject(Pidl, nullptr); }
    int AddObject(LPITEMIDLIST Pidl, vcl::TObject* Obj);
    void Insert(int I, LPITEMIDLIST Pidl) { InsertObject(I, Pidl, nullptr); }
    void InsertObject(int I, LPITEMIDLIST Pidl, vcl::TObject* Obj);
    void Delete(int I);
    void Clear();
    int IndexOf(LPCITEMIDLIST Pidl) const;
    void Sort();
    bool BinarySearch(LPCITEMIDLIST Pidl, int& I) const;
    bool LinearSearch(LPCITEMIDLIST Pidl, int& I) const;

    LPITEMIDLIST GetPIDL(int I) const;
    vcl::TObject* GetObject(int I) const;
    void SetObject(int I, vcl::TObject* Obj);
    int GetCount() const { return static_cast<int>(FEntries.size()); }
    int GetCapacity() const { return static_cast<int>(FEntries.capacity()); }
    void SetCapacity(int Value);
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);

    IShellFolder_NRC* ShellFolder = nullptr;  // compares when set
    IMalloc_NRC* Malloc = nullptr;            // frees the PIDLs when set
    vcl::TDuplicates Duplicates = vcl::dupError;

private:
    struct Entry {
        LPITEMIDLIST Pidl;
        vcl::TObject* Object;
    };
    int Compare(LPCITEMIDLIST A, LPCITEMIDLIST B) const;
    void CheckIndex(int I, bool allowEnd = false) const;
    std::vector<Entry> FEntries;
    bool FSorted = false;
};

// ---- Shortcuts and file types ----
enum TLinkDataOption { ldoUseDesc, ldoUseArgs, ldoUseIcon, ldoUseWorkDir, ldoUseHotKey, ldoUseShowCmd };
using TLinkDataOptions = unsigned char;  // bit (1 << TLinkDataOption)
constexpr TLinkDataOptions AllLinkDataOptions = 0x3F;

struct TLinkData {
    vcl::AnsiString PathName;
    TLinkDataOptions Options = 0;
    vcl::AnsiString Description;
    vcl::AnsiString Arguments;
    vcl::AnsiString IconLocation;
    int IconIndex = 0;
    vcl::AnsiString WorkingDirectory;
    int ShowCmd = SW_SHOWNORMAL;
    WORD HotKey = 0;
    unsigned char ResolveMode = 0;  // 0: no window; 1: may ask the user
    LPITEMIDLIST IdList = nullptr;  // the caller's, freed with ShellMemFree
    WIN32_FIND_DATAA FindData{};
};

HRESULT CreateShortcut(const vcl::AnsiString& LinkFile, const TLinkData& LinkData);
HRESULT CreateQuickShortcut(const vcl::AnsiString& LinkFile, const vcl::AnsiString& Target);
HRESULT ResolveShortcut(const vcl::AnsiString& LinkFile, TLinkData& LinkData, bool WantIdList);
bool QvClsidFromFileType(const vcl::AnsiString& FileType, CLSID& Clsid);

// ---- Drive information ----
void FlushDriveInfoCache();
void LockFlushDriveInfoCache();
void UnlockFlushDriveInfoCache();

// ---- Strings ----
vcl::AnsiString FormatStrPos(const vcl::AnsiString& Fmt, const std::vector<vcl::AnsiString>& Args);
void ParametizeCmdLineDB(const vcl::AnsiString& CmdLine, vcl::TStrings* List);
vcl::AnsiString TrimRightDB(const vcl::AnsiString& S);
void CopyCharDB(int& Index, const vcl::AnsiString& S, vcl::AnsiString& Dest);
vcl::AnsiString EnsureTrailingCharDB(const vcl::AnsiString& S, char C);

// ---- Device changes ----
using TQvDeviceChangeEvent = vcl::TEvent<vcl::TObject*, vcl::TMessage&>;

// One hidden window for the program: WM_DEVICECHANGE is answered at once and re-posted to the window as
// QvDeviceChangeMessage, whose arrival calls every registered method in the order they were added.
class TQvDeviceChangeHandler : public vcl::TObject {
public:
    TQvDeviceChangeHandler();
    ~TQvDeviceChangeHandler() override;
    TQvDeviceChangeHandler(const TQvDeviceChangeHandler&) = delete;
    TQvDeviceChangeHandler& operator=(const TQvDeviceChangeHandler&) = delete;

    void Add(const TQvDeviceChangeEvent& Method);
    // Removes the first entry equal to Method; nothing when there is none.
    void Remove(const TQvDeviceChangeEvent& Method);
    void DeleteItem(int Index);
    void BroadcastToList(vcl::TMessage& Msg);
    int GetCount() const { return static_cast<int>(FList.size()); }
    HWND GetHandle() const { return FWindow; }

private:
    void WndProc(vcl::TMessage& Msg);
    HWND FWindow = nullptr;
    // Shared, so that a broadcast in progress keeps the entries it is walking alive.
    std::vector<std::shared_ptr<TQvDeviceChangeEvent>> FList;
};

constexpr UINT QvDeviceChangeMessage = WM_USER + 100;

// The handler of the program, made on first use.
TQvDeviceChangeHandler* QvDeviceChangeHandler();

struct QvShellUtilsUnit {
    QvShellUtilsUnit();
    ~QvShellUtilsUnit();
};
static QvShellUtilsUnit qvShellUtilsUnit;

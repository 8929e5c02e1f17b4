// The shell's COM interfaces as plain abstract classes, called directly without reference-counting
// wrappers, and the COM start of the main thread: the first unit start initialises COM (single-threaded)
// on the thread that runs it, the last unit end uninitialises it.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

using TStrRet = STRRET;
using TShColInfo = SHELLDETAILS;
using TCMInvokeCommandInfo = CMINVOKECOMMANDINFO;

#define QV_NRC_METHOD(result) virtual result STDMETHODCALLTYPE

class IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) QueryInterface(REFIID iid, void** object) = 0;
    QV_NRC_METHOD(ULONG) AddRef() = 0;
    QV_NRC_METHOD(ULONG) Release() = 0;
};

class IOleWindow_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) GetWindow(HWND* window) = 0;
    QV_NRC_METHOD(HRESULT) ContextSensitiveHelp(BOOL enterMode) = 0;
};

class IMalloc_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(void*) Alloc(SIZE_T size) = 0;
    QV_NRC_METHOD(void*) Realloc(void* block, SIZE_T size) = 0;
    QV_NRC_METHOD(void) Free(void* block) = 0;
    QV_NRC_METHOD(SIZE_T) GetSize(void* block) = 0;
    QV_NRC_METHOD(int) DidAlloc(void* block) = 0;
    QV_NRC_METHOD(void) HeapMinimize() = 0;
};

class IShellDetails_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) GetDetailsOf(PCUITEMID_CHILD pidl, UINT column, TShColInfo* details) = 0;
    QV_NRC_METHOD(HRESULT) ColumnClick(UINT column) = 0;
};

class IContextMenu_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                            UINT flags) = 0;
    QV_NRC_METHOD(HRESULT) InvokeCommand(TCMInvokeCommandInfo* info) = 0;
    QV_NRC_METHOD(HRESULT) GetCommandString(UINT_PTR command, UINT type, UINT* reserved, LPSTR name,
                                            UINT maxChars) = 0;
};

class IContextMenu2_NRC : public IContextMenu_NRC {
public:
    QV_NRC_METHOD(HRESULT) HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class IEnumIDList_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched) = 0;
    QV_NRC_METHOD(HRESULT) Skip(ULONG count) = 0;
    QV_NRC_METHOD(HRESULT) Reset() = 0;
    QV_NRC_METHOD(HRESULT) Clone(IEnumIDList_NRC** copy) = 0;
};

class IShellFolder_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) ParseDisplayName(HWND owner, IBindCtx* context, LPWSTR displayName, ULONG* eaten,
                                            LPITEMIDLIST* pidl, ULONG* attributes) = 0;
    QV_NRC_METHOD(HRESULT) EnumObjects(HWND owner, SHCONTF flags, IEnumIDList_NRC** items) = 0;
    QV_NRC_METHOD(HRESULT) BindToObject(LPCITEMIDLIST pidl, IBindCtx* context, REFIID iid, void** object) = 0;
    QV_NRC_METHOD(HRESULT) BindToStorage(LPCITEMIDLIST pidl, IBindCtx* context, REFIID iid, void** object) = 0;
    QV_NRC_METHOD(HRESULT) CompareIDs(LPARAM how, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) = 0;
    QV_NRC_METHOD(HRESULT) CreateViewObject(HWND owner, REFIID iid, void** object) = 0;
    QV_NRC_METHOD(HRESULT) GetAttributesOf(UINT count, LPCITEMIDLIST* pidls, SFGAOF* attributes) = 0;
    QV_NRC_METHOD(HRESULT) GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST* pidls, REFIID iid, UINT* reserved,
                                         void** object) = 0;
    QV_NRC_METHOD(HRESULT) GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, TStrRet* name) = 0;
    QV_NRC_METHOD(HRESULT) SetNameOf(HWND owner, LPCITEMIDLIST pidl, LPCWSTR name, SHGDNF flags,
                                     LPITEMIDLIST* newPidl) = 0;
};

// Slots the layer never calls keep their places as placeholders.
class IShellFolder2_NRC : public IShellFolder_NRC {
public:
    QV_NRC_METHOD(HRESULT) F1() = 0;
    QV_NRC_METHOD(HRESULT) F2() = 0;
    QV_NRC_METHOD(HRESULT) F3() = 0;
    QV_NRC_METHOD(HRESULT) GetDefaultColumnState(UINT column, SHCOLSTATEF* flags) = 0;
    QV_NRC_METHOD(HRESULT) F5() = 0;
    QV_NRC_METHOD(HRESULT) GetDetailsOf(LPCITEMIDLIST pidl, UINT column, TShColInfo* details) = 0;
};

class IShellLink_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) GetPath(LPSTR file, int maxChars, WIN32_FIND_DATAA* findData, DWORD flags) = 0;
    QV_NRC_METHOD(HRESULT) GetIDList(LPITEMIDLIST* pidl) = 0;
    QV_NRC_METHOD(HRESULT) SetIDList(LPCITEMIDLIST pidl) = 0;
    QV_NRC_METHOD(HRESULT) GetDescription(LPSTR name, int maxChars) = 0;
    QV_NRC_METHOD(HRESULT) SetDescription(LPCSTR name) = 0;
    QV_NRC_METHOD(HRESULT) GetWorkingDirectory(LPSTR dir, int maxChars) = 0;
    QV_NRC_METHOD(HRESULT) SetWorkingDirectory(LPCSTR dir) = 0;
    QV_NRC_METHOD(HRESULT) GetArguments(LPSTR args, int maxChars) = 0;
    QV_NRC_METHOD(HRESULT) SetArguments(LPCSTR args) = 0;
    QV_NRC_METHOD(HRESULT) GetHotKey(WORD* hotKey) = 0;
    QV_NRC_METHOD(HRESULT) SetHotKey(WORD hotKey) = 0;
    QV_NRC_METHOD(HRESULT) GetShowCmd(int* showCmd) = 0;
    QV_NRC_METHOD(HRESULT) SetShowCmd(int showCmd) = 0;
    QV_NRC_METHOD(HRESULT) GetIconLocation(LPSTR iconPath, int maxChars, int* iconIndex) = 0;
    QV_NRC_METHOD(HRESULT) SetIconLocation(LPCSTR iconPath, int iconIndex) = 0;
    QV_NRC_METHOD(HRESULT) SetRelativePath(LPCSTR path, DWORD reserved) = 0;
    QV_NRC_METHOD(HRESULT) Resolve(HWND window, DWORD flags) = 0;
    QV_NRC_METHOD(HRESULT) SetPath(LPCSTR file) = 0;
};

class IEnumFormatEtc_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
    QV_NRC_METHOD(HRESULT) Skip(ULONG count) = 0;
    QV_NRC_METHOD(HRESULT) Reset() = 0;
    QV_NRC_METHOD(HRESULT) Clone(IEnumFormatEtc_NRC** copy) = 0;
};

class IDataObject_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
    QV_NRC_METHOD(HRESULT) GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
    QV_NRC_METHOD(HRESULT) QueryGetData(FORMATETC* format) = 0;
    QV_NRC_METHOD(HRESULT) GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
    QV_NRC_METHOD(HRESULT) SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
    QV_NRC_METHOD(HRESULT) EnumFormatEtc(DWORD direction, IEnumFormatEtc_NRC** formats) = 0;
    QV_NRC_METHOD(HRESULT) DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) = 0;
    QV_NRC_METHOD(HRESULT) DUnadvise(DWORD connection) = 0;
    QV_NRC_METHOD(HRESULT) EnumDAdvise(IEnumSTATDATA** advises) = 0;
};

class IDropTarget_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) DragEnter(IDataObject_NRC* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
    QV_NRC_METHOD(HRESULT) DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
    QV_NRC_METHOD(HRESULT) DragLeave() = 0;
    QV_NRC_METHOD(HRESULT) Drop(IDataObject_NRC* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
};

class IDropSource_NRC : public IUnknown_NRC {
public:
    QV_NRC_METHOD(HRESULT) QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
    QV_NRC_METHOD(HRESULT) GiveFeedback(DWORD effect) = 0;
};

#undef QV_NRC_METHOD

// Interface identities of the shell objects the layer asks for.
extern const IID IID_IShellFolder_NRC;
extern const IID IID_IShellLinkA_NRC;

struct QvShellIntfUnit {
    QvShellIntfUnit();
    ~QvShellIntfUnit();
};
static QvShellIntfUnit qvShellIntfUnit;

// The test application's side of TWAIN: identity, manager, source, capabilities, the event pump, file transfers.
#include "TwainClient.h"

#include <cstring>

namespace twainclient {
namespace {

std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

}  // namespace

bool InstallVirtualScanner(const std::wstring& builtSource) {
    wchar_t windows[MAX_PATH];
    if (!GetWindowsDirectoryW(windows, MAX_PATH)) return false;
    const std::wstring folder = std::wstring(windows) + L"\\twain_" + std::to_wstring(sizeof(void*) * 8);
    const std::wstring target = folder + L"\\gphoto2.ds";
    const std::string wanted = ReadWhole(builtSource);
    if (wanted.empty()) return false;
    // Test processes start side by side: one installs, the others find the file in place.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\PagorinVirtualScannerInstall");
    if (!mutex || WaitForSingleObject(mutex, 30000) == WAIT_TIMEOUT) {
        if (mutex) CloseHandle(mutex);
        return false;
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    bool installed = ReadWhole(target) == wanted;
    if (!installed) {
        const std::wstring fresh = target + L".new";
        installed = CopyFileW(builtSource.c_str(), fresh.c_str(), FALSE) &&
                    MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
        DeleteFileW(fresh.c_str());
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    HKEY key = nullptr;
    if (!installed || RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0,
                                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    static const wchar_t native[] = L"native";
    const bool set = RegSetValueExW(key, L"gphoto2.ds", 0, REG_SZ, reinterpret_cast<const BYTE*>(native),
                                    sizeof native) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

TwainClient::TwainClient() {
    application_.Version = {1, 0, TWLG_USA, TWCY_USA, "Lab test client"};
    application_.ProtocolMajor = 1;
    application_.ProtocolMinor = 9;
    application_.SupportedGroups = DG_CONTROL | DG_IMAGE;
    strcpy(application_.Manufacturer, "Pagorin Lab");
    strcpy(application_.ProductFamily, "Tests");
    strcpy(application_.ProductName, "TwainClient");
    window_ = CreateWindowExW(0, L"STATIC", L"TWAIN test client", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    module_ = LoadLibraryW(L"twain_32.dll");
    if (module_)
        entry_ = reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "DSM_Entry")));
}

TwainClient::~TwainClient() {
    CloseSource();
    if (managerOpen_) entry_(&application_, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window_);
    if (window_) DestroyWindow(window_);
    if (module_) FreeLibrary(module_);
}

TW_UINT16 TwainClient::Call(TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer, bool toSource) {
    if (!entry_) return TWRC_FAILURE;
    return entry_(&application_, toSource ? &source_ : nullptr, group, data, message, pointer);
}

TW_UINT16 TwainClient::OpenManager() {
    const TW_UINT16 result = Call(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window_, false);
    managerOpen_ = result == TWRC_SUCCESS;
    return result;
}

std::vector<TW_IDENTITY> TwainClient::Sources() {
    std::vector<TW_IDENTITY> found;
    TW_IDENTITY identity{};
    for (TW_UINT16 message = MSG_GETFIRST; Call(DG_CONTROL, DAT_IDENTITY, message, &identity, false) == TWRC_SUCCESS;
         message = MSG_GETNEXT) {
        found.push_back(identity);
        identity = {};
    }
    return found;
}

TW_UINT16 TwainClient::OpenSource(const std::string& productName) {
    for (const TW_IDENTITY& identity : Sources()) {
        if (productName != identity.ProductName) continue;
        source_ = identity;
        const TW_UINT16 result = Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_, false);
        sourceOpen_ = result == TWRC_SUCCESS;
        return result;
    }
    return TWRC_FAILURE;
}

TW_UINT16 TwainClient::CloseSource() {
    if (!sourceOpen_) return TWRC_SUCCESS;
    sourceOpen_ = false;
    return Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source_, false);
}

TW_UINT16 TwainClient::Condition() {
    TW_STATUS status{0xbeef, 0};
    Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

TW_UINT16 TwainClient::SetOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, GlobalAlloc(GHND, sizeof(TW_ONEVALUE))};
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(capability.hContainer));
    one->ItemType = itemType;
    one->Item = item;
    GlobalUnlock(capability.hContainer);
    const TW_UINT16 result = Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    GlobalFree(capability.hContainer);
    return result;
}

TW_UINT16 TwainClient::Query(TW_UINT16 message, TW_UINT16 cap, TW_UINT16& conType, std::string& container) {
    TW_CAPABILITY capability{cap, TWON_DONTCARE16, nullptr};
    const TW_UINT16 result = Call(DG_CONTROL, DAT_CAPABILITY, message, &capability);
    conType = capability.ConType;
    container.clear();
    if (result == TWRC_SUCCESS && capability.hContainer) {
        const void* memory = GlobalLock(capability.hContainer);
        container.assign(static_cast<const char*>(memory), GlobalSize(capability.hContainer));
        GlobalUnlock(capability.hContainer);
        GlobalFree(capability.hContainer);
    }
    return result;
}

TW_UINT16 TwainClient::Enable(bool showUi) {
    TW_USERINTERFACE ui{TW_BOOL(showUi), FALSE, window_};
    return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_UINT16 TwainClient::WaitForEvent(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TW_EVENT event{&msg, MSG_NULL};
            if (Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT) {
                if (event.TWMessage != MSG_NULL) return event.TWMessage;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return MSG_NULL;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - waited, QS_ALLINPUT);
    }
}

TW_UINT16 TwainClient::TransferFile(const std::wstring& path, TW_UINT16 format, TW_UINT16& pending) {
    TW_SETUPFILEXFER setup{};
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, setup.FileName, sizeof setup.FileName - 1, nullptr, nullptr);
    setup.Format = format;
    pending = 0;
    if (Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) != TWRC_SUCCESS) {
        transferCondition_ = Condition();
        return TWRC_FAILURE;
    }
    const TW_UINT16 result = Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    if (result != TWRC_XFERDONE) transferCondition_ = Condition();
    TW_PENDINGXFERS pendingTransfers{0xbeef, 0};
    if (result == TWRC_XFERDONE || result == TWRC_CANCEL || result == TWRC_FAILURE) {
        Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pendingTransfers);
        pending = pendingTransfers.Count;
    }
    return result;
}

}  // namespace twainclient

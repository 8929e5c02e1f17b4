// The TWAIN session: manager, source, capability negotiation, the event check and the page file transfers.
#include "Twain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "SettingsStore.h"
#include "Transactions.h"

namespace pagorin {
namespace {

// The source's condition after a failed call, in the operator's words where there are some.
std::string ConditionText(TW_UINT16 condition)
{
    switch (condition) {
    case TWCC_PAPERJAM: return "paper jam";
    case TWCC_PAPERDOUBLEFEED: return "double feed";
    default: return "condition code " + std::to_string(condition);
    }
}

bool CreateEmptyFile(const std::string& path)
{
    // A new file only: a page already there is never overwritten.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void CopyName(TW_STR32& field, const char* text)
{
    memset(field, 0, sizeof(field));
    strncpy(field, text, sizeof(field) - 2);
}

}  // namespace

TW_UINT16 PixelTypeOfName(const std::string& name)
{
    return TW_UINT16(CodeOfName(CodeTable::ColorModes, name).value_or(UnknownPixelType));
}

const char* FileExtension(int fileFormatCode)
{
    switch (fileFormatCode) {
    case TWFF_TIFF: return "tif";
    case TWFF_JFIF: return "jpg";
    case TWFF_PNG: return "png";
    default: return "bmp";
    }
}

TwainSession::TwainSession(ScanEvents& events) : events_(events)
{
    AppIdentity.Version = {1, 703, TWLG_USA, TWCY_USA, {}};
    // The first 32 characters of the version text.
    memcpy(AppIdentity.Version.Info, "TWAIN_32 Twacker 1.7.0.3  01/18/1999", 32);
    AppIdentity.ProtocolMajor = 1;
    AppIdentity.ProtocolMinor = 7;
    AppIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyName(AppIdentity.Manufacturer, "TWAIN Working Group");
    CopyName(AppIdentity.ProductFamily, "TWAIN Toolkit");
    CopyName(AppIdentity.ProductName, "TWACKER_32");
}

TwainSession::~TwainSession()
{
    CloseTwainManager();
    if (library_)
        FreeLibrary(library_);
}

void TwainSession::LoadManager()
{
    library_ = LoadLibraryA("TWAIN_32.DLL");
    if (!library_) {
        events_.Message("Load lib failed");
        return;
    }
    DsmEntry = reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(library_, "DSM_Entry")));
    if (!DsmEntry)
        events_.Message("Fetch entry failed");
}

TW_UINT16 TwainSession::CallDsmEntry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group, TW_UINT16 data,
                                     TW_UINT16 message, TW_MEMREF pointer)
{
    return DsmEntry ? DsmEntry(origin, destination, group, data, message, pointer) : TW_UINT16(TWRC_FAILURE);
}

TW_UINT16 TwainSession::CallManager(TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer)
{
    return CallDsmEntry(&AppIdentity, nullptr, DG_CONTROL, data, message, pointer);
}

TW_UINT16 TwainSession::CallSource(TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer)
{
    return CallDsmEntry(&AppIdentity, &SourceIdentity, group, data, message, pointer);
}

void TwainSession::OpenTwainManager(HWND parent)
{
    MainWindowHandle = parent;
    managerOpen_ = CallManager(DAT_PARENT, MSG_OPENDSM, &MainWindowHandle) == TWRC_SUCCESS;
}

void TwainSession::CloseTwainManager()
{
    CloseTwainSource();
    if (managerOpen_)
        CallManager(DAT_PARENT, MSG_CLOSEDSM, &MainWindowHandle);
    managerOpen_ = false;
}

std::vector<TW_IDENTITY> TwainSession::Sources()
{
    std::vector<TW_IDENTITY> sources;
    TW_IDENTITY identity{};
    for (TW_UINT16 message = MSG_GETFIRST; CallManager(DAT_IDENTITY, message, &identity) == TWRC_SUCCESS;
         message = MSG_GETNEXT) {
        identity.ProductName[sizeof(identity.ProductName) - 1] = '\0';
        sources.push_back(identity);
        identity = {};
    }
    return sources;
}

bool TwainSession::DefaultSource(TW_IDENTITY& identity)
{
    identity = {};
    if (CallManager(DAT_IDENTITY, MSG_GETDEFAULT, &identity) != TWRC_SUCCESS)
        return false;
    identity.ProductName[sizeof(identity.ProductName) - 1] = '\0';
    return true;
}

bool TwainSession::CloseTwainSource()
{
    if (!sourceOpen_)
        return true;
    DisableSource();
    scanning_ = false;
    sourceOpen_ = CallManager(DAT_IDENTITY, MSG_CLOSEDS, &SourceIdentity) != TWRC_SUCCESS;
    return !sourceOpen_;
}

void TwainSession::ChooseSource(const TW_IDENTITY& identity)
{
    CloseTwainSource();
    SourceIdentity = identity;
}

bool TwainSession::OpenTwainSourceByName(const std::string& name)
{
    CloseTwainSource();
    for (const TW_IDENTITY& identity : Sources()) {
        if (name != identity.ProductName)
            continue;
        SourceIdentity = identity;
        sourceOpen_ = CallManager(DAT_IDENTITY, MSG_OPENDS, &SourceIdentity) == TWRC_SUCCESS;
        break;
    }
    return sourceOpen_;
}

TwainSession::SetResult TwainSession::SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item)
{
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, GlobalAlloc(GHND, sizeof(TW_ONEVALUE))};
    if (!capability.hContainer)
        return SetResult::NoMemory;
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(capability.hContainer));
    one->ItemType = itemType;
    one->Item = item;
    GlobalUnlock(capability.hContainer);
    TW_UINT16 result = CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    GlobalFree(capability.hContainer);
    return result == TWRC_SUCCESS ? SetResult::Done : SetResult::Refused;
}

void TwainSession::StartScan()
{
    ScanSettings settings = events_.Settings();
    OpenTwainSourceByName(settings.Scanner);
    scanning_ = true;
    pages_ = 0;
    pageNumber_ = settings.PageNumber;
    if (!NegotiateScan(settings)) {
        EndScan(false, "");
        return;
    }
    EnableSource();
}

bool TwainSession::NegotiateScan(const ScanSettings& settings)
{
    TW_FIX32 resolution{TW_INT16(atoi(settings.Resolution.c_str())), 0};
    TW_UINT32 resolutionItem;
    memcpy(&resolutionItem, &resolution, sizeof(resolutionItem));
    const char* const resolutionMemory = "ICAP_XRESOLUTION twCapability.hContainer = GlobalAlloc() failed";
    struct Step {
        TW_UINT16 Cap, ItemType;
        TW_UINT32 Item;
        const char* Failed;  // null: a refusal is ignored
        bool Stops;          // a refusal ends the scan
        const char* NoMemory;
    };
    const Step steps[] = {
        {ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE, "ICAP_XFERMECH Failed", true,
         "ICAP_XFERMECH twCapability.hContainer = GlobalAlloc() failed"},
        {ICAP_PIXELTYPE, TWTY_UINT16, PixelTypeOfName(settings.ColorMode), "ICAP_PIXELTYPE Failed", false, ""},
        {ICAP_XRESOLUTION, TWTY_FIX32, resolutionItem, "ICAP_XRESOLUTION Failed", false, resolutionMemory},
        {ICAP_YRESOLUTION, TWTY_FIX32, resolutionItem, "ICAP_YRESOLUTION Failed", false, resolutionMemory},
        {CAP_FEEDERENABLED, TWTY_BOOL, TRUE, "CAP_FEEDERENABLED Failed", false, resolutionMemory},
        {CAP_DUPLEXENABLED, TWTY_BOOL, TRUE, nullptr, false, resolutionMemory},
    };
    for (const Step& step : steps) {
        if (step.Cap == CAP_DUPLEXENABLED && !settings.Duplex)
            continue;
        // A colour mode the table does not know is not offered to the source at all.
        SetResult result = step.Cap == ICAP_PIXELTYPE && step.Item == UnknownPixelType
                               ? SetResult::Refused
                               : SetCapability(step.Cap, step.ItemType, step.Item);
        if (result == SetResult::NoMemory) {
            if (*step.NoMemory)
                events_.Message(step.NoMemory);
            return false;
        }
        if (result == SetResult::Refused && step.Failed) {
            events_.Message(step.Failed);
            if (step.Stops)
                return false;
        }
    }
    return true;
}

void TwainSession::EnableSource()
{
    TW_USERINTERFACE ui{FALSE, FALSE, MainWindowHandle};
    TW_UINT16 result = CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (result != TWRC_SUCCESS && result != TWRC_CHECKSTATUS) {
        EndScan(false, "The scanner could not be started.");
        return;
    }
    sourceEnabled_ = true;
    readyTimer_ = SetTimer(nullptr, 0, ReadyTimeoutMs, nullptr);
}

void TwainSession::DisableSource()
{
    StopReadyTimer();
    if (!sourceEnabled_)
        return;
    TW_USERINTERFACE ui{FALSE, FALSE, MainWindowHandle};
    CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    sourceEnabled_ = false;
}

void TwainSession::StopReadyTimer()
{
    if (readyTimer_)
        KillTimer(nullptr, readyTimer_);
    readyTimer_ = 0;
}

void TwainSession::CheckEvent(MSG& message)
{
    // Only an enabled source has events; the transfer loop's own waits are not interrupted.
    if (!sourceEnabled_ || transferring_)
        return;
    if (message.message == WM_TIMER && !message.hwnd && readyTimer_ && message.wParam == readyTimer_) {
        EndScan(false, "The scanner sent no pages within " + std::to_string(ReadyTimeoutMs / 1000) + " seconds.");
        return;
    }
    TW_EVENT event{&message, MSG_NULL};
    CallSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    switch (event.TWMessage) {
    case MSG_NULL: return;
    case MSG_XFERREADY: StopReadyTimer(); TransferImageFiles(); return;
    // Nothing more will come: the source is disabled (it stays open) and the scan ends.
    case MSG_CLOSEDSREQ: EndScan(false, "MSG_CLOSEDSREQ"); return;
    case MSG_CLOSEDSOK: events_.Message("MSG_CLOSEDSOK"); return;
    case MSG_CUSTOMBASE: events_.Message("TWDE_CUSTOMEVENTS"); return;
    case TWDE_PAPERJAM: events_.Message("TWDE_PAPERJAM"); return;
    default: events_.Message("Message " + std::to_string(event.TWMessage) + " coming in."); return;
    }
}

void TwainSession::TransferImageFiles()
{
    transferring_ = true;
    events_.TransferStarting();
    const ScanSettings settings = events_.Settings();
    if (std::optional<int> code = CodeOfName(CodeTable::FileFormats, settings.FileFormat))
        FileFormatCode = *code;
    // Read once: what a message handled during a transfer changes does not redirect the pages.
    const std::string folder = settings.QueuePath + "\\" + settings.Transaction;
    bool hasPages = settings.TransactionHasPages;
    bool transfersLeft = true;  // the source holds pages (transfer state), so it must be reset before disabling
    std::string failure;
    TW_UINT16 result = TWRC_FAILURE;
    do {
        std::string name, path;
        do {
            char number[16];
            snprintf(number, sizeof(number), "%03d.", ++pageNumber_);
            name = settings.FileNaming + number + FileExtension(FileFormatCode);
            path = folder + "\\" + name;
        } while (FileExists(path));
        // The source takes at most 255 characters of a file name.
        if (settings.Transaction.empty() || path.size() >= sizeof(TW_STR255) || !CreateEmptyFile(path)) {
            failure = "Create target file error";
            break;
        }
        TW_SETUPFILEXFER setup{};
        strcpy(setup.FileName, path.c_str());
        setup.Format = TW_UINT16(FileFormatCode);
        if (CallSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) != TWRC_SUCCESS) {
            DeleteFileA(path.c_str());
            failure = "DG_CONTROL / DAT_SETUPFILEXFER / MSG_SET error";
            break;
        }
        // The page's mark stands while the source writes it: a page cut short by an abrupt end is not restored.
        const std::string mark = PartialPageName(path);
        HANDLE markFile = CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (markFile != INVALID_HANDLE_VALUE)
            CloseHandle(markFile);
        result = CallSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
        DeleteFileA(mark.c_str());
        if (result == TWRC_XFERDONE) {
            ++pages_;
            hasPages = true;
            events_.PageWritten(name);
        } else {
            DeleteFileA(path.c_str());
            failure = TransferFailure(result, name);
        }
        TW_UINT16 pending = 0;
        if (result == TWRC_XFERDONE || result == TWRC_CANCEL) {
            TW_PENDINGXFERS count{0, 0};
            TW_UINT16 ended = CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &count);
            pending = ended == TWRC_SUCCESS ? count.Count : 0;
            transfersLeft = ended != TWRC_SUCCESS || pending != 0;
        }
        // A transaction that would stay without any page gives the scan up.
        if (result != TWRC_XFERDONE && !hasPages)
            break;
        if (pending == 0)
            break;
    } while (result != TWRC_FAILURE);
    if (transfersLeft) {
        TW_PENDINGXFERS count{0, 0};
        CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &count);
    }
    transferring_ = false;
    EndScan(true, failure);
}

std::string TwainSession::TransferFailure(TW_UINT16 result, const std::string& fileName)
{
    if (result == TWRC_CANCEL)
        return "";
    std::string reason = "result code " + std::to_string(result);
    if (result == TWRC_FAILURE) {
        TW_STATUS status{TWCC_SUCCESS, 0};
        CallSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        reason = ConditionText(status.ConditionCode);
    }
    return "Scanning stopped at " + fileName + ": " + reason;
}

void TwainSession::EndScan(bool transferred, const std::string& failure)
{
    DisableSource();
    bool wasScanning = scanning_;
    scanning_ = false;
    if (!failure.empty()) {
        reportingStop_ = wasScanning;
        events_.Message(failure);
        reportingStop_ = false;
    }
    if (wasScanning)
        events_.ScanEnded({transferred, pages_, pageNumber_});
}

}  // namespace pagorin

// The data source's triplets and states. Every call is traced to the lab; transfers can be delayed and made to
// fail from the scenario, besides the scanner's own faults (paper jam, silence, refused capabilities).
#include "Scanner.h"

#include "Lab.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

namespace twain {
namespace {

const char kComponent[] = "Scanner";
const char kDefaultFileName[] = "TWAIN.TMP";

const std::map<std::wstring, TW_UINT16>& CapabilityNames() {
    static const std::map<std::wstring, TW_UINT16> names = {
        {L"CAP_XFERCOUNT", CAP_XFERCOUNT},
        {L"ICAP_PIXELTYPE", ICAP_PIXELTYPE},
        {L"ICAP_XFERMECH", ICAP_XFERMECH},
        {L"CAP_FEEDERENABLED", CAP_FEEDERENABLED},
        {L"CAP_DUPLEX", CAP_DUPLEX},
        {L"CAP_DUPLEXENABLED", CAP_DUPLEXENABLED},
        {L"ICAP_IMAGEFILEFORMAT", ICAP_IMAGEFILEFORMAT},
        {L"ICAP_XRESOLUTION", ICAP_XRESOLUTION},
        {L"ICAP_YRESOLUTION", ICAP_YRESOLUTION},
        {L"ICAP_SUPPORTEDSIZES", ICAP_SUPPORTEDSIZES},
    };
    return names;
}

void CopyName(char (&field)[34], const std::string& text) {
    memset(field, 0, sizeof field);
    strncpy(field, text.c_str(), sizeof field - 2);
}

std::string Ansi(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
    result.resize(strlen(result.c_str()));
    return result;
}

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, result.data(), length);
    result.resize(wcslen(result.c_str()));
    return result;
}

std::string Hex(unsigned value) {
    char text[16];
    snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

std::vector<std::wstring> PictureFiles(const std::wstring& folder) {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

// Page numbers run on across scans of one lab, as on a numbered stack of paper.
int ReservePageNumbers(int count) {
    lab::StateLock lock;
    const std::wstring path = lab::PathIn(L"scanner-pages.txt");
    const int first = std::max(1, atoi(lab::ReadWholeFile(path).value_or("1").c_str()));
    lab::WriteWholeFile(path, std::to_string(first + count));
    return first;
}

const char* TripletName(TW_UINT16 data, TW_UINT16 message) {
    static const std::map<TW_UINT16, const char*> datas = {{DAT_CAPABILITY, "CAPABILITY"},
                                                           {DAT_EVENT, "EVENT"},
                                                           {DAT_IDENTITY, "IDENTITY"},
                                                           {DAT_PENDINGXFERS, "PENDINGXFERS"},
                                                           {DAT_SETUPFILEXFER, "SETUPFILEXFER"},
                                                           {DAT_STATUS, "STATUS"},
                                                           {DAT_USERINTERFACE, "USERINTERFACE"},
                                                           {DAT_IMAGEFILEXFER, "IMAGEFILEXFER"},
                                                           {DAT_IMAGENATIVEXFER, "IMAGENATIVEXFER"},
                                                           {DAT_IMAGEINFO, "IMAGEINFO"}};
    static const std::map<TW_UINT16, const char*> messages = {{MSG_GET, "GET"},
                                                              {MSG_GETCURRENT, "GETCURRENT"},
                                                              {MSG_GETDEFAULT, "GETDEFAULT"},
                                                              {MSG_SET, "SET"},
                                                              {MSG_RESET, "RESET"},
                                                              {MSG_QUERYSUPPORT, "QUERYSUPPORT"},
                                                              {MSG_OPENDS, "OPENDS"},
                                                              {MSG_CLOSEDS, "CLOSEDS"},
                                                              {MSG_ENABLEDS, "ENABLEDS"},
                                                              {MSG_DISABLEDS, "DISABLEDS"},
                                                              {MSG_ENABLEDSUIONLY, "ENABLEDSUIONLY"},
                                                              {MSG_PROCESSEVENT, "PROCESSEVENT"},
                                                              {MSG_ENDXFER, "ENDXFER"},
                                                              {MSG_STOPFEEDER, "STOPFEEDER"}};
    static thread_local char name[48];
    const auto d = datas.find(data);
    const auto m = messages.find(message);
    snprintf(name, sizeof name, "%s.%s", d != datas.end() ? d->second : Hex(data).c_str(),
             m != messages.end() ? m->second : Hex(message).c_str());
    return name;
}

// The value a capability request carries, for the trace.
std::string RequestedValue(const TW_CAPABILITY& capability) {
    if (capability.ConType != TWON_ONEVALUE || !capability.hContainer) return {};
    const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(capability.hContainer));
    if (!one) return {};
    const std::string value = one->ItemType == TWTY_FIX32
                                  ? std::to_string(Fix32Whole(one->Item))
                                  : std::to_string(one->Item & (ItemSize(one->ItemType) == 2 ? 0xFFFF : 0xFFFFFFFF));
    GlobalUnlock(capability.hContainer);
    return "=" + value;
}

}  // namespace

ScannerSetup ScannerSetup::FromScenario() {
    const lab::Scenario scenario = lab::Scenario::Load();
    ScannerSetup setup;
    setup.productName = scenario.String(L"Scanner", L"ProductName", setup.productName);
    setup.sheets = int(std::clamp<long long>(scenario.Int(L"Scanner", L"Sheets", setup.sheets), 0, 100000));
    setup.duplex = scenario.Bool(L"Scanner", L"Duplex", false);
    setup.paperJamSheet = int(std::clamp<long long>(scenario.Int(L"Scanner", L"PaperJam", 0), 0, 100000));
    setup.neverSignals = scenario.Bool(L"Scanner", L"NeverSignals", false);
    setup.pageFolder = scenario.String(L"Scanner", L"PageFolder", L"");
    setup.offer.duplex = setup.duplex;
    setup.offer.fileTransfer = !scenario.Bool(L"Scanner", L"NoFileTransfer", false);
    for (const std::wstring& item : scenario.List(L"Scanner", L"RefuseCapabilities")) {
        std::wstring upper = item;
        for (auto& c : upper) c = towupper(c);
        const auto named = CapabilityNames().find(upper);
        setup.offer.refused.insert(named != CapabilityNames().end() ? named->second
                                                                    : TW_UINT16(wcstoul(item.c_str(), nullptr, 0)));
    }
    return setup;
}

Scanner::Scanner(std::function<void(DWORD)> armSignal)
    : armSignal_(std::move(armSignal)), capabilities_(setup_.offer) {}

TW_UINT16 Scanner::Entry(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer) {
    if (data == DAT_EVENT && message == MSG_PROCESSEVENT) {  // every message of the application: not traced
        if (pointer) static_cast<TW_EVENT*>(pointer)->TWMessage = MSG_NULL;
        return TWRC_NOTDSEVENT;
    }
    std::string arguments;
    if (data == DAT_CAPABILITY && pointer) {
        const auto& capability = *static_cast<TW_CAPABILITY*>(pointer);
        arguments = Hex(capability.Cap) + (message == MSG_SET ? RequestedValue(capability) : "");
    }
    if (data == DAT_SETUPFILEXFER && message == MSG_SET && pointer) {
        const auto& setup = *static_cast<TW_SETUPFILEXFER*>(pointer);
        arguments = lab::ToUtf8(Wide(std::string(setup.FileName, strnlen(setup.FileName, sizeof setup.FileName)))) +
                    "|" + std::to_string(setup.Format);
    }
    TW_UINT16 code;
    try {
        if (data != DAT_STATUS) condition_ = TWCC_SUCCESS;  // the status tells of the last other call
        const auto injected =
            data == DAT_STATUS ? std::nullopt : lab::InjectedFailure(kComponent, TripletName(data, message));
        code = injected ? Fail(TWCC_OPERATIONERROR, TW_UINT16(*injected))
                        : Dispatch(origin, group, data, message, pointer);
    } catch (const std::exception& error) {
        arguments += std::string(arguments.empty() ? "" : " ") + error.what();
        code = Fail(TWCC_BUMMER);
    }
    lab::Trace(kComponent, TripletName(data, message), arguments,
               std::to_string(code) + (code == TWRC_FAILURE ? " cc=" + std::to_string(condition_) : "") +
                   " state=" + std::to_string(state_));
    return code;
}

TW_UINT16 Scanner::Fail(TW_UINT16 condition, TW_UINT16 code) {
    condition_ = condition;
    return code;
}

TW_UINT16 Scanner::Dispatch(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message,
                            TW_MEMREF pointer) {
    if (group == DG_IMAGE) {
        if (data == DAT_IMAGEFILEXFER && message == MSG_GET) return ImageFileTransfer();
        return Fail(TWCC_BADPROTOCOL);
    }
    if (group != DG_CONTROL) return Fail(TWCC_BADPROTOCOL);
    switch (data) {
        case DAT_IDENTITY: return IdentityCall(origin, message, pointer);
        case DAT_USERINTERFACE: return UserInterface(message);
        case DAT_CAPABILITY: return CapabilityCall(message, static_cast<TW_CAPABILITY*>(pointer));
        case DAT_SETUPFILEXFER: return SetupFileTransfer(message, static_cast<TW_SETUPFILEXFER*>(pointer));
        case DAT_PENDINGXFERS: return PendingTransfers(message, static_cast<TW_PENDINGXFERS*>(pointer));
        case DAT_STATUS:
            if (message != MSG_GET || !pointer) return Fail(TWCC_BADPROTOCOL);
            static_cast<TW_STATUS*>(pointer)->ConditionCode = condition_;
            static_cast<TW_STATUS*>(pointer)->Reserved = 0;
            condition_ = TWCC_SUCCESS;
            return TWRC_SUCCESS;
        default: return Fail(TWCC_BADPROTOCOL);
    }
}

TW_UINT16 Scanner::IdentityCall(pTW_IDENTITY origin, TW_UINT16 message, TW_MEMREF pointer) {
    auto* identity = static_cast<pTW_IDENTITY>(pointer);
    switch (message) {
        case MSG_GET: {
            if (!identity) return Fail(TWCC_BADVALUE);
            const TW_UINT32 id = identity->Id;
            *identity = {};
            identity->Id = id;
            identity->Version = {1, 0, TWLG_USA, TWCY_USA, {}};
            CopyName(identity->Version.Info, "Pagorin lab scanner 1.0");
            identity->ProtocolMajor = 1;
            identity->ProtocolMinor = 9;
            identity->SupportedGroups = DG_CONTROL | DG_IMAGE;
            CopyName(identity->Manufacturer, "Pagorin Lab");
            CopyName(identity->ProductFamily, "Virtual Scanner");
            CopyName(identity->ProductName, Ansi(ScannerSetup::FromScenario().productName));
            return TWRC_SUCCESS;
        }
        case MSG_OPENDS:
            if (state_ != 3) return Fail(TWCC_MAXCONNECTIONS);
            if (!identity || !origin) return Fail(TWCC_BADVALUE);
            application_ = *origin;
            identity_ = *identity;
            setup_ = ScannerSetup::FromScenario();
            capabilities_ = Capabilities(setup_.offer);
            fileName_ = kDefaultFileName;
            state_ = 4;
            return TWRC_SUCCESS;
        case MSG_CLOSEDS:
            if (state_ == 3) return Fail(TWCC_SEQERROR);
            Close();  // also from an enabled source: the application may close without disabling first
            return TWRC_SUCCESS;
        default: return Fail(TWCC_BADPROTOCOL);
    }
}

void Scanner::Close() {
    armSignal_(INFINITE);
    pages_.clear();
    transferred_ = false;
    state_ = 3;
}

TW_UINT16 Scanner::UserInterface(TW_UINT16 message) {
    switch (message) {
        case MSG_ENABLEDS:
            if (state_ != 4) return Fail(TWCC_SEQERROR);
            LoadPaper();
            state_ = 5;
            // Without a window of its own the source starts scanning at once; it tells the application when ready.
            if (!setup_.neverSignals) armSignal_(lab::DelayMs(kComponent, "ready"));
            return TWRC_SUCCESS;
        case MSG_DISABLEDS:
            if (state_ != 5 && state_ != 6) return Fail(TWCC_SEQERROR);
            armSignal_(INFINITE);
            pages_.clear();
            state_ = 4;
            return TWRC_SUCCESS;
        default: return Fail(TWCC_BADPROTOCOL);
    }
}

void Scanner::LoadPaper() {
    pages_.clear();
    transferred_ = false;
    const std::vector<std::wstring> files =
        setup_.pageFolder.empty() ? std::vector<std::wstring>{} : PictureFiles(setup_.pageFolder);
    const int sides = setup_.duplex && capabilities_.Current(CAP_DUPLEXENABLED) ? 2 : 1;
    int count = setup_.pageFolder.empty() ? setup_.sheets * sides : int(files.size());
    if (setup_.paperJamSheet > 0) count = std::min(count, (setup_.paperJamSheet - 1) * sides + 1);
    const TW_UINT32 limit = capabilities_.Current(CAP_XFERCOUNT);
    if (limit != 0xFFFF && limit > 0) count = std::min(count, int(limit));
    if (count == 0) return;
    const int first = ReservePageNumbers(count);
    for (int index = 0; index < count; ++index) {
        const bool jams = setup_.paperJamSheet > 0 && index / sides + 1 == setup_.paperJamSheet;
        const std::wstring side = sides == 2 ? (index % 2 ? L"back" : L"front") : L"";
        pages_.push_back({first + index, side, files.empty() ? L"" : files[index], jams});
    }
}

TW_UINT16 Scanner::Announce() {
    if (state_ != 5) return MSG_NULL;
    if (pages_.empty()) return MSG_CLOSEDSREQ;
    state_ = 6;
    return MSG_XFERREADY;
}

TW_UINT16 Scanner::CapabilityCall(TW_UINT16 message, TW_CAPABILITY* capability) {
    if (!capability) return Fail(TWCC_BADVALUE);
    if (state_ < 4) return Fail(TWCC_SEQERROR);
    capability->hContainer = message == MSG_SET ? capability->hContainer : nullptr;
    const Outcome outcome = capabilities_.Handle(message, *capability, state_ == 4);
    return outcome.code == TWRC_SUCCESS ? TW_UINT16(TWRC_SUCCESS) : Fail(outcome.condition, outcome.code);
}

TW_UINT16 Scanner::SetupFileTransfer(TW_UINT16 message, TW_SETUPFILEXFER* setup) {
    if (!setup_.offer.fileTransfer) return Fail(TWCC_BADPROTOCOL);
    if (state_ < 4 || state_ > 6) return Fail(TWCC_SEQERROR);
    if (!setup) return Fail(TWCC_BADVALUE);
    switch (message) {
        case MSG_SET: {
            const size_t length = strnlen(setup->FileName, sizeof setup->FileName);
            if (length == 0 || length == sizeof setup->FileName) return Fail(TWCC_BADVALUE);
            if (!capabilities_.Choose(ICAP_IMAGEFILEFORMAT, setup->Format)) return Fail(TWCC_BADVALUE);
            fileName_.assign(setup->FileName, length);
            return TWRC_SUCCESS;
        }
        case MSG_RESET:
            fileName_ = kDefaultFileName;
            capabilities_.Choose(ICAP_IMAGEFILEFORMAT, TWFF_BMP);
            [[fallthrough]];
        case MSG_GET:
        case MSG_GETDEFAULT: {
            const bool current = message != MSG_GETDEFAULT;
            memset(setup->FileName, 0, sizeof setup->FileName);
            strncpy(setup->FileName, current ? fileName_.c_str() : kDefaultFileName, sizeof setup->FileName - 1);
            setup->Format = current ? TW_UINT16(capabilities_.Current(ICAP_IMAGEFILEFORMAT)) : TW_UINT16(TWFF_BMP);
            setup->VRefNum = 0;
            return TWRC_SUCCESS;
        }
        default: return Fail(TWCC_BADPROTOCOL);
    }
}

TW_UINT16 Scanner::ImageFileTransfer() {
    if (state_ != 6 || transferred_) return Fail(TWCC_SEQERROR);
    if (!setup_.offer.fileTransfer || capabilities_.Current(ICAP_XFERMECH) != TWSX_FILE) return Fail(TWCC_SEQERROR);
    const Page page = pages_.front();
    lab::Delay(kComponent, "page");
    if (page.jams) {
        pages_.erase(pages_.begin() + 1, pages_.end());  // the feeder stops at the jammed sheet
        return Fail(TWCC_PAPERJAM);
    }
    const PageSpec spec{
        TW_UINT16(capabilities_.Current(ICAP_IMAGEFILEFORMAT)), TW_UINT16(capabilities_.Current(ICAP_PIXELTYPE)),
        unsigned(capabilities_.Current(ICAP_XRESOLUTION)), unsigned(capabilities_.Current(ICAP_YRESOLUTION)),
        TW_UINT16(capabilities_.Current(ICAP_SUPPORTEDSIZES))};
    const std::wstring path = Wide(fileName_);
    try {
        if (page.sourceFile.empty())
            WriteGeneratedPage(spec, page.number, page.side, path);
        else
            WriteFilePage(spec, page.sourceFile, path);
    } catch (const std::exception&) {
        DeleteFileW(path.c_str());  // never leave half a page behind
        return Fail(TWCC_FILEWRITEERROR);
    }
    transferred_ = true;
    state_ = 7;
    return TWRC_XFERDONE;
}

TW_UINT16 Scanner::PendingTransfers(TW_UINT16 message, TW_PENDINGXFERS* pending) {
    if (!pending) return Fail(TWCC_BADVALUE);
    switch (message) {
        case MSG_ENDXFER:
            if (state_ != 6 && state_ != 7) return Fail(TWCC_SEQERROR);
            pages_.pop_front();  // transferred, or given up by the application
            transferred_ = false;
            state_ = pages_.empty() ? 5 : 6;
            break;
        case MSG_RESET:
            if (state_ != 6) return Fail(TWCC_SEQERROR);
            pages_.clear();
            state_ = 5;
            break;
        case MSG_GET:
            if (state_ < 4) return Fail(TWCC_SEQERROR);
            break;
        default: return Fail(TWCC_BADPROTOCOL);
    }
    pending->Count = state_ >= 6 ? TW_UINT16(std::min<size_t>(pages_.size(), 0xFFFE)) : 0;
    pending->EOJ = 0;
    return TWRC_SUCCESS;
}

}  // namespace twain

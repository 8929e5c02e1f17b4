// Scanning through the TWAIN source manager TWAIN_32.DLL: the manager and the data source, the scan settings
// negotiated as capabilities, the event check every message of the main thread passes, and the file transfer
// of the pages. Plain code on the main thread: what a scan needs from the window comes in as `ScanSettings`,
// what it gives back goes out through `ScanEvents`.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TwainTypes.h"

namespace pagorin {

// What a scan reads from the main window.
struct ScanSettings {
    std::string Scanner;     // product name of the source
    std::string ColorMode;   // "Black and White", "Grayscale", "24-bit Color"
    std::string Resolution;  // dots per inch, as shown
    std::string FileFormat;  // "TIFF", "BMP", "JPG", "PNG"
    bool Duplex = false;     // the duplex box is shown and ticked
    std::string FileNaming;  // page name prefix
    std::string QueuePath;
    std::string Transaction;  // folder name of the transaction receiving the pages; empty without one
    bool TransactionHasPages = false;
    int PageNumber = 0;  // number of the last page named in the transaction
};

// How a scan ended.
struct ScanResult {
    bool Transferred = false;  // the source had pages ready and the transfer loop ran
    int Pages = 0;             // page files written by this scan
    int PageNumber = 0;        // number of the last page named
};

// The window's side of a scan. The calls come on the main thread from inside the event check.
class ScanEvents {
public:
    virtual ~ScanEvents() = default;
    virtual ScanSettings Settings() = 0;
    // The source has pages ready; their transfer begins.
    virtual void TransferStarting() = 0;
    // A page file was written in the transaction's folder (its name without the folder).
    virtual void PageWritten(const std::string& fileName) = 0;
    // Once per scan started, however it ended.
    virtual void ScanEnded(const ScanResult& result) = 0;
    // A fixed English text for the operator.
    virtual void Message(const std::string& text) = 0;
};

// Pixel types and file formats by the names the main window shows.
constexpr TW_UINT16 UnknownPixelType = 0xFFFF;
TW_UINT16 PixelTypeOfName(const std::string& name);
// The file extension of a file-format code: tif, jpg, png, else bmp.
const char* FileExtension(int fileFormatCode);

class TwainSession {
public:
    explicit TwainSession(ScanEvents& events);
    ~TwainSession();
    TwainSession(const TwainSession&) = delete;
    TwainSession& operator=(const TwainSession&) = delete;

    // Loads TWAIN_32.DLL and its entry, telling the operator when either is missing; scanning then finds nothing.
    void LoadManager();
    bool Loaded() const { return DsmEntry != nullptr; }

    // DSM_Entry(origin, destination, ...); TWRC_FAILURE without calling when the entry is missing.
    TW_UINT16 CallDsmEntry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group, TW_UINT16 data,
                           TW_UINT16 message, TW_MEMREF pointer);
    TW_UINT16 CallManager(TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer);
    TW_UINT16 CallSource(TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer);

    void OpenTwainManager(HWND parent);
    void CloseTwainManager();
    // The identities of the sources the manager knows, in its order.
    std::vector<TW_IDENTITY> Sources();
    bool DefaultSource(TW_IDENTITY& identity);
    // Closes an open source (disabling it first when enabled); true when nothing was open or it closed.
    bool CloseTwainSource();
    // Closes the open source and makes `identity` the one to open next.
    void ChooseSource(const TW_IDENTITY& identity);
    // Opens the source with this product name (exact, case-sensitive); nothing is opened when none has it.
    bool OpenTwainSourceByName(const std::string& name);
    bool SourceOpen() const { return sourceOpen_; }

    // A capability set to one value in a TW_ONEVALUE container.
    enum class SetResult { Done, Refused, NoMemory };
    SetResult SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item);

    // The scan start: opens the settings' source, sets its capabilities and enables it without its own window.
    // Every way it ends reaches ScanEvents::ScanEnded, also a stop right here.
    void StartScan();
    // Also while the operator reads why a scan stopped: until then the scan holds its transaction.
    bool Scanning() const { return scanning_ || reportingStop_; }
    // The event check, for every message of the main thread: the source's events, and the bound on how long
    // an enabled source may stay silent.
    void CheckEvent(MSG& message);
    // How long an enabled source may take to announce its first page.
    DWORD ReadyTimeoutMs = 60000;

    TW_IDENTITY AppIdentity{};
    TW_IDENTITY SourceIdentity{};
    int FileFormatCode = TWFF_BMP;

private:
    bool NegotiateScan(const ScanSettings& settings);
    void EnableSource();
    void TransferImageFiles();
    // Ends the source's transfers and disables it, then tells the window: `failure` first, then the end.
    void EndScan(bool transferred, const std::string& failure);
    std::string TransferFailure(TW_UINT16 result, const std::string& fileName);
    // Back from enabled to open, with the bound on the source's silence stopped.
    void DisableSource();
    void StopReadyTimer();

    ScanEvents& events_;
    HMODULE library_ = nullptr;
    DSMENTRYPROC DsmEntry = nullptr;
    HWND MainWindowHandle = nullptr;  // the manager may keep a pointer to it
    bool managerOpen_ = false, sourceOpen_ = false, sourceEnabled_ = false;
    bool scanning_ = false, transferring_ = false, reportingStop_ = false;
    UINT_PTR readyTimer_ = 0;
    int pages_ = 0, pageNumber_ = 0;
};

}  // namespace pagorin

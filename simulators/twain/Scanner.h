// The virtual scanner as a TWAIN data source: its states (closed, open, enabled, transfer ready, transferring),
// the triplets it answers, its paper and the faults the lab scenario injects. The manager glue lives apart.
#pragma once

#include "Capabilities.h"
#include "PageImage.h"
#include "TwainTypes.h"

#include <deque>
#include <functional>
#include <string>

namespace twain {

// The scanner as the scenario's [Scanner] section describes it.
struct ScannerSetup {
    std::wstring productName = L"Pagorin Virtual Scanner";
    int sheets = 3;
    bool duplex = false;        // a two-sided feeder
    int paperJamSheet = 0;      // the sheet that jams, 0 none
    bool neverSignals = false;  // enabled, but never announces a transfer
    Offer offer;
    std::wstring pageFolder;  // pictures to deliver instead of generated pages

    static ScannerSetup FromScenario();
};

class Scanner {
public:
    // `armSignal` is asked to call Announce after the given milliseconds, on the application's thread;
    // INFINITE cancels a signal not yet given.
    explicit Scanner(std::function<void(DWORD)> armSignal);

    TW_UINT16 Entry(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer);

    // What an enabled source tells the application through the manager: MSG_XFERREADY (the source is now
    // ready to transfer), MSG_CLOSEDSREQ (no paper in the feeder) or MSG_NULL (nothing).
    TW_UINT16 Announce();

    int State() const { return state_; }
    TW_IDENTITY& Identity() { return identity_; }
    TW_IDENTITY& Application() { return application_; }

private:
    struct Page {
        int number;
        std::wstring side;
        std::wstring sourceFile;
        bool jams;
    };

    TW_UINT16 Dispatch(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer);
    TW_UINT16 IdentityCall(pTW_IDENTITY origin, TW_UINT16 message, TW_MEMREF pointer);
    TW_UINT16 UserInterface(TW_UINT16 message);
    TW_UINT16 CapabilityCall(TW_UINT16 message, TW_CAPABILITY* capability);
    TW_UINT16 SetupFileTransfer(TW_UINT16 message, TW_SETUPFILEXFER* setup);
    TW_UINT16 ImageFileTransfer();
    TW_UINT16 PendingTransfers(TW_UINT16 message, TW_PENDINGXFERS* pending);
    TW_UINT16 Fail(TW_UINT16 condition, TW_UINT16 code = TWRC_FAILURE);
    void LoadPaper();
    void Close();

    std::function<void(DWORD)> armSignal_;
    ScannerSetup setup_;
    Capabilities capabilities_;
    TW_IDENTITY identity_{};
    TW_IDENTITY application_{};
    int state_ = 3;
    TW_UINT16 condition_ = TWCC_SUCCESS;
    std::string fileName_;  // of the next file transfer, ANSI
    std::deque<Page> pages_;
    bool transferred_ = false;  // the current page has been written (state 7)
};

}  // namespace twain

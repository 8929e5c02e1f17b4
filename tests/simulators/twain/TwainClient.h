// A small TWAIN application for the tests and the benchmark: it installs the virtual scanner where Wine's
// source manager looks for sources, and drives the manager (TWAIN_32.DLL) with a hidden window and a pump.
#pragma once

#include "TwainTypes.h"

#include <string>
#include <vector>

namespace twainclient {

// Copies the built source over the manager's gphoto2.ds (in twain_32 or twain_64 of the Windows folder, by the
// pointer size) and makes Wine load it as a native DLL. Unchanged files are left alone. False on failure.
bool InstallVirtualScanner(const std::wstring& builtSource);

class TwainClient {
public:
    TwainClient();
    ~TwainClient();
    TwainClient(const TwainClient&) = delete;
    TwainClient& operator=(const TwainClient&) = delete;

    bool Loaded() const { return entry_ != nullptr; }
    // A triplet to the manager (destination null) or to the open source.
    TW_UINT16 Call(TW_UINT32 group, TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer, bool toSource = true);

    TW_UINT16 OpenManager();
    std::vector<TW_IDENTITY> Sources();
    TW_UINT16 OpenSource(const std::string& productName);
    TW_UINT16 CloseSource();
    // The source's condition code of its last failure.
    TW_UINT16 Condition();

    TW_UINT16 SetOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item);
    // A capability query; the container's bytes and type are returned, the container freed.
    TW_UINT16 Query(TW_UINT16 message, TW_UINT16 cap, TW_UINT16& conType, std::string& container);

    TW_UINT16 Enable(bool showUi = false);
    // Pumps the window's messages through the source until it signals an event; MSG_NULL when none came in time.
    TW_UINT16 WaitForEvent(DWORD timeoutMs);

    // One file transfer: set-up, transfer, end. Gives the transfer's result and the pending count after it.
    TW_UINT16 TransferFile(const std::wstring& path, TW_UINT16 format, TW_UINT16& pending);
    // The condition code of the last transfer that did not end with XFERDONE, read before ending it.
    TW_UINT16 TransferCondition() const { return transferCondition_; }

    const TW_IDENTITY& Source() const { return source_; }

private:
    HMODULE module_ = nullptr;
    DSMENTRYPROC entry_ = nullptr;
    HWND window_ = nullptr;
    TW_IDENTITY application_{};
    TW_IDENTITY source_{};
    bool managerOpen_ = false;
    bool sourceOpen_ = false;
    TW_UINT16 transferCondition_ = TWCC_SUCCESS;
};

}  // namespace twainclient
